// Maintenance orders through the service object: keys and versions, full and
// light reads, an order without a plan, the filter with its excluded period
// bounds, the order trees. (What a save does to stock and to the plan's
// counters, the life simulator checks; the orders of a maintenance, in their
// order, the index tests.)

#include <nlohmann/json.hpp>
#include <zenta/zenta.h>

#include "standins/erp/QVErpBanco.h"
#include "records/QVCamposRegistro.h"
#include "platform/CodePage.h"
#include "support/ComprasTeste.h"
#include "support/EmpresaTeste.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/RelogioSistema.h"

using namespace zenta;

namespace {

using zenta::teste::OrdemLida;

constexpr const char* kEmpresa = "ORDENS";

class Ordens : public zenta::teste::EmpresaTeste {
protected:
    Ordens() : EmpresaTeste(kEmpresa) {}

    // A plan of one equipment with one maintenance of 10 days; returns the
    // plan's position and the maintenance's code.
    void NovoPlano(LONG& posicao, ULONG& codigo) {
        posicao = zenta::teste::GravaPlano(*m_servico, 10, {zenta::teste::ManutencaoTempo(10)});
        codigo = zenta::teste::CodigosDoPlano(*m_servico, posicao).at(0);
    }

    // An order of the plan with one product on two stock places and one
    // service, naming the purchase request `compra` when one is given.
    struct Ordem : zenta::teste::RegistroJson<_REG_MOVIMENTACAO_MANUT_PREV_PS> {
        _REG_MOVIMENTACAO_MANUT_PREV_PS& o = r;
        Ordem(LONG plano, ULONG codigo, USHORT ma, ULONG dataPrevista, ULONGLONG compra = 0)
            : RegistroJson(Json(compra)) {
            o.dmcChave = REG_QVDMC().SetDMC(0, 84, ma).Get64();
            o.lPonteiroCadastro = static_cast<ULONG>(plano);
            o.lCodigoManutencao = codigo;
            o.dataPrevista = dataPrevista;
        }
        static nlohmann::json Json(ULONGLONG compra) {
            nlohmann::json j = nlohmann::json::parse(R"({"lFilial": 1, "lEquipamento": 10, "szNomeManutencao": "Limpeza",
              "szNrSerie": "SN-9", "bsObservacao": "Observação",
              "listaProdutos": {"pProdutos": [{"lProduto": 21, "vQuantidadePrevista": "3", "listaLocal": {"pLocaisEstoque": [
                {"lPonteiroLocal": 3, "vQuantidadeEs": "1"}, {"lPonteiroLocal": 4, "lPonteiroLote": 8, "vQuantidadeEs": "2"}]}}]},
              "listaServicos": {"pServicos": [{"lServico": 31, "vQuantidadeUtilizada": "1"}]}})");
            if (compra != 0) j["listaIntegracoesCompras"] = {{"pDMC", {compra}}};
            return j;
        }
    };

    // Saves the order and takes back the version it was saved with, as a
    // screen that goes on editing it does.
    ULONGLONG Grava(_REG_MOVIMENTACAO_MANUT_PREV_PS& ordem) {
        ULONGLONG chave = 0;
        EXPECT_EQ(m_servico->GravaMovimentacao(ordem, &chave), S_OK);
        OrdemLida leve;
        if (chave != 0 && m_servico->LeMovimentacaoLight(chave, &leve.ordem) == S_OK)
            ordem.lVersaoRegistro = leve.ordem.lVersaoRegistro;
        return chave;
    }
    size_t PreBaixas(ULONGLONG chave, USHORT filial = 1) {
        std::vector<REG_ES_PREBAIXAPS> registros;
        EXPECT_EQ(Banco()->LePreBaixas(REG_QVDMC(chave), filial, registros), S_OK);
        return registros.size();
    }
};

TEST_F(Ordens, NewOrdersGetKeysRewritesCountVersionsAndReadsGiveEveryList) {
    LONG plano = 0;
    ULONG codigo = 0;
    NovoPlano(plano, codigo);
    const USHORT maio = REG_QVDMA(1, 5, 2026).GetMa();
    // A new order names no request the caller hands in: purchasing keeps it.
    Ordem ordem(plano, codigo, maio, REG_QVDMA(12, 5, 2026).GetData(), zenta::teste::NovaSolicitacaoErp(kEmpresa, true));
    const REG_QVDMC primeira(Grava(ordem.o));
    const REG_QVDMC segunda(Grava(ordem.o));
    EXPECT_EQ(std::make_tuple(primeira.GetPonteiro(), segunda.GetPonteiro(), primeira.GetTipoMovimento(), primeira.GetMa()),
              std::make_tuple(1u, 2u, 84, maio));

    OrdemLida lida;
    ASSERT_EQ(m_servico->LeMovimentacao(segunda.Get64(), &lida.ordem), S_OK);
    const auto& o = lida.ordem;
    EXPECT_EQ(std::tie(o.dmcChave, o.lVersaoRegistro, o.lUsuarioConclusao, o.dataConclusao),
              std::make_tuple(segunda.Get64(), 1u, 7u, REG_QVDMA::Hoje().GetData()));
    EXPECT_STREQ(o.szNrSerie, "SN-9");
    ASSERT_EQ(o.listaProdutos.lQtdProdutos, 1u);
    ASSERT_EQ(o.listaProdutos.pProdutos[0].listaLocal.lQtdEstoque, 2u);
    EXPECT_EQ(o.listaProdutos.pProdutos[0].listaLocal.pLocaisEstoque[1].lPonteiroLote, 8u);
    ASSERT_EQ(o.listaServicos.lQtdServicos, 1u);
    EXPECT_EQ(o.listaServicos.pServicos[0].lServico, 31u);
    EXPECT_EQ(o.listaIntegracoesCompras.lQtdDMC, 0u);
    EXPECT_EQ(zenta::teste::SolicitacoesErp(kEmpresa).size(), 1u);
    EXPECT_EQ(zenta::BstrParaCp1252(o.bsObservacao), "Observa\xE7\xE3o");
    EXPECT_EQ(zenta::BstrParaCp1252(o.bsOcorrencia), "");

    // Saved again with its key: the same order, one version more.
    _REG_MOVIMENTACAO_MANUT_PREV_PS regravada = lida.ordem;
    EXPECT_EQ(Grava(regravada), segunda.Get64());
    // The copy read before that save is refused: saved, it would undo it.
    ULONGLONG recusada = 0;
    EXPECT_EQ(m_servico->GravaMovimentacao(lida.ordem, &recusada), HRESULT_FROM_WIN32(33u));  // ERROR_LOCK_VIOLATION
    OrdemLida leve;
    ASSERT_EQ(m_servico->LeMovimentacaoLight(segunda.Get64(), &leve.ordem), S_OK);
    EXPECT_EQ(leve.ordem.lVersaoRegistro, 2u);
    EXPECT_EQ(leve.ordem.listaProdutos.pProdutos, nullptr) << "a light read leaves the lists empty";
    EXPECT_EQ(leve.ordem.bsObservacao, nullptr);

    // A key that is not there changes nothing.
    Ordem fantasma(plano, codigo, maio, 0);
    fantasma.o.dmcChave = REG_QVDMC().SetDMC(9, 84, maio).Get64();
    ULONGLONG chave = 1;
    EXPECT_EQ(m_servico->GravaMovimentacao(fantasma.o, &chave), static_cast<HRESULT>(0x810809DAu));
    EXPECT_EQ(chave, 0u);
}

// An order without a plan is finished like any other. (Where the reservation
// of an order goes as its branch and status change, the simulator checks.)
TEST_F(Ordens, AnOrderWithoutAPlanFinishes) {
    Ordem ordem(0, 0, REG_QVDMA(1, 6, 2026).GetMa(), 0);
    const ULONGLONG chave = ordem.o.dmcChave = Grava(ordem.o);
    EXPECT_EQ(PreBaixas(chave), 2u);
    ordem.o.lSituacao = 1;
    EXPECT_EQ(Grava(ordem.o), chave);
    EXPECT_EQ(PreBaixas(chave), 0u);
}

TEST_F(Ordens, ThePeriodExcludesItsBoundsAndTheTreesSeeOrdersNotCancelled) {
    LONG plano = 0;
    ULONG codigo = 0;
    NovoPlano(plano, codigo);
    // Orders planned for days 9 to 21 of March, in March's file; one in
    // January of the next year and one in December, whose keys sort before
    // and after March's.
    const USHORT marco = REG_QVDMA(1, 3, 2026).GetMa();
    for (int dia = 9; dia <= 21; ++dia) {
        Ordem o(plano, codigo, marco, REG_QVDMA(dia, 3, 2026).GetData());
        o.o.lSituacao = 2;  // cancelled: no pre-withdrawal to make
        Grava(o.o);
    }
    Ordem janeiro(plano, codigo, REG_QVDMA(1, 1, 2027).GetMa(), REG_QVDMA(5, 1, 2027).GetData());
    Ordem dezembro(plano, codigo, REG_QVDMA(1, 12, 2026).GetMa(), REG_QVDMA(5, 12, 2026).GetData());
    janeiro.o.lSituacao = dezembro.o.lSituacao = 2;
    Grava(janeiro.o);
    Grava(dezembro.o);

    _REG_MOVIMENTACAO_FILTRO_PS filtro{};
    filtro.lTipoIdentificacao = 2;
    filtro.dataInicialPeriodo = REG_QVDMA(10, 3, 2026).GetData();
    filtro.dataFinalPeriodo = REG_QVDMA(20, 3, 2026).GetData();
    _REG_LISTA_PONTEIROS_DATA_PS ptrs{};
    ASSERT_EQ(m_servico->BuscaPonteirosMovimentacao(filtro, &ptrs), S_OK);
    ASSERT_EQ(ptrs.lQtdPonteiros, 9u) << "days 11 to 19";
    EXPECT_EQ(ptrs.pPonteiros[0].lPonteiro, 3u);
    EXPECT_EQ(ptrs.pPonteiros[0].dataPonteiro, marco);
    _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS lista{};
    ASSERT_EQ(m_servico->BuscaRegistrosMovimentacao(ptrs, &lista), S_OK);
    ASSERT_EQ(lista.lQtdRegistros, 9u);
    EXPECT_EQ(lista.pRegistros[8].dataPrevista, REG_QVDMA(19, 3, 2026).GetData());
    zenta::LiberaRegistro(lista);
    CoTaskMemFree(ptrs.pPonteiros);

    // The order trees see the equipment of orders that are not cancelled.
    _REG_LISTA_ITENS_TREE_PS arvore{};
    ASSERT_EQ(m_servico->BuscaTreeMovimentacaoEquipamentos(&arvore, FALSE), S_OK);
    EXPECT_EQ(arvore.lQtdItens, 0u);
    Ordem aberta(plano, codigo, marco, 0);
    Grava(aberta.o);
    ASSERT_EQ(m_servico->BuscaTreeMovimentacaoEquipamentos(&arvore, TRUE), S_OK);
    ASSERT_EQ(arvore.lQtdItens, 1u);
    EXPECT_EQ(arvore.pItens[0].lPonteiro, 10u);
    CoTaskMemFree(arvore.pItens);
}

TEST_F(Ordens, BadInputIsRefusedBeforeAnythingChanges) {
    LONG plano = 0;
    ULONG codigo = 0;
    NovoPlano(plano, codigo);
    Ordem ordem(plano, codigo, REG_QVDMA(1, 5, 2026).GetMa(), 0);
    std::memset(ordem.o.szNrSerie, 'S', sizeof ordem.o.szNrSerie);
    ULONGLONG chave = 0;
    EXPECT_EQ(m_servico->GravaMovimentacao(ordem.o, &chave), E_INVALIDARG);
    Ordem semArray(plano, codigo, REG_QVDMA(1, 5, 2026).GetMa(), 0);
    auto& locais = semArray.o.listaProdutos.pProdutos[0].listaLocal;
    auto* const guardados = std::exchange(locais.pLocaisEstoque, nullptr);  // a count without its array
    EXPECT_EQ(m_servico->GravaMovimentacao(semArray.o, &chave), E_INVALIDARG);
    EXPECT_EQ(m_servico->GravaMovimentacao(semArray.o, nullptr), E_POINTER);
    locais.pLocaisEstoque = guardados;
    _REG_LISTA_PONTEIROS_DATA_PS ptrs{};
    _REG_MOVIMENTACAO_FILTRO_PS filtro{};
    filtro.lTipoIdentificacao = 2;
    ASSERT_EQ(m_servico->BuscaPonteirosMovimentacao(filtro, &ptrs), S_OK);
    EXPECT_EQ(ptrs.lQtdPonteiros, 0u);
    OrdemLida nada;
    EXPECT_EQ(m_servico->LeMovimentacao(REG_QVDMC().SetDMC(1, 84, REG_QVDMA(1, 5, 2026).GetMa()).Get64(),
                                        &nada.ordem),
              static_cast<HRESULT>(0x810809D7u))
        << "no month file";
}

}  // namespace
