// Purchase requests of maintenance orders, through the service object and
// the purchasing stand-in: what is requested on each save, what purchasing
// keeps, rounding by the unit, the request's fields; and the creation of the
// purchasing server with its installation switch and retries.

#include <nlohmann/json.hpp>
#include <zenta/zenta.h>

#include "access/QVComPtr.h"
#include "core/qvdatabase/QVDataBaseDefs.h"
#include "standins/erp/QVErpBanco.h"
#include "standins/erp/QVErpCadastros.h"
#include "standins/erp/QVProvedorErp.h"
#include "standins/erp/QVServidorErp.h"
#include "integration/IntegracaoCompras.h"
#include "records/QVCamposRegistro.h"
#include "platform/QVClassTable.h"
#include "support/ComprasTeste.h"
#include "support/EmpresaTeste.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"

using namespace zenta;

namespace {

using zenta::teste::SolicitacoesErp;
using zenta::teste::ValorBruto;

constexpr const char* kEmpresa = "COMPRAS";

// Fields of packed records are compared by value, never by reference.
template <class T>
T V(T valor) {
    return valor;
}
LONGLONG Q(CY valor) { return valor.int64; }

// Units with 0, 2 and 4 decimals; products and services kept in them.
constexpr const char* kCadastros = R"({
  "filial": [{"codigo": 1, "nome": "Matriz"}],
  "unidade_medida": [{"codigo": 1, "sigla": "UN", "nome": "Unidade", "casas_decimais": 0},
                     {"codigo": 2, "sigla": "L", "nome": "Litro", "casas_decimais": 2},
                     {"codigo": 3, "sigla": "KG", "nome": "Quilo", "casas_decimais": 4}],
  "produto": [{"codigo": 21, "nome": "Filtro", "unidade": 1},
              {"codigo": 22, "nome": "Oleo", "unidade": 2},
              {"codigo": 23, "nome": "Graxa", "unidade": 3}],
  "servico": [{"codigo": 31, "nome": "Mao de obra", "unidade": 2}],
  "reposicao_produto": [{"produto": 22, "grade1": 5, "filial": 1, "estoque_minimo": "3", "ponto_pedido": "7.5"}],
  "saldo_estoque": [{"produto": 22, "grade1": 5, "filial": 1, "saldo": "12.25"}]
})";

class Compras : public zenta::teste::EmpresaTeste {
protected:
    Compras() : EmpresaTeste(kEmpresa) {}
    void SetUp() override {
        zenta::ResumoImportacaoErp resumo;
        std::string erro;
        ASSERT_EQ(zenta::ImportaCadastrosErp(kEmpresa, nlohmann::json::parse(kCadastros), resumo, erro), S_OK) << erro;
        EmpresaTeste::SetUp();
        // Finishing an order re-arms its plan: every order here has one.
        m_plano = zenta::teste::GravaPlano(*m_servico, 10, {});
    }

    // An open order of May 2026 (no plan) with the given lines.
    struct Ordem {
        _REG_MOVIMENTACAO_MANUT_PREV_PS o{};
        std::vector<_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS> produtos;
        std::vector<_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS> servicos;
        std::vector<ULONGLONG> compras;

        Ordem() {
            o.dmcChave = REG_QVDMC().SetDMC(0, 84, REG_QVDMA(1, 5, 2026).GetMa()).Get64();
            o.lFilial = 1;
            o.lSituacao = 0;
        }
        void Produto(ULONG produto, ULONG grade1, LONGLONG quantidade, LONG flag = 1) {
            _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS p{};
            p.lProduto = produto;
            p.lGrade1 = grade1;
            p.bGerarSolicitacaoCompras = flag;
            p.vQuantidadeUtilizada = ValorBruto(quantidade);
            produtos.push_back(p);
        }
        void Servico(ULONG servico, LONGLONG quantidade, LONG flag = 1) {
            _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS s{};
            s.lServico = servico;
            s.bGerarSolicitacaoCompras = flag;
            s.vQuantidadeUtilizada = ValorBruto(quantidade);
            servicos.push_back(s);
        }
        const _REG_MOVIMENTACAO_MANUT_PREV_PS& Registro() {
            o.listaProdutos = {static_cast<ULONG>(produtos.size()), 0, nullptr, produtos.data()};
            o.listaServicos = {static_cast<ULONG>(servicos.size()), 0, nullptr, servicos.data()};
            o.listaIntegracoesCompras = {static_cast<ULONG>(compras.size()), 0, nullptr, compras.data()};
            return o;
        }
    };

    // Saves the order and takes back its key and request keys as stored.
    void Grava(Ordem& ordem) {
        ULONGLONG chave = 0;
        ASSERT_EQ(m_servico->GravaMovimentacao(ordem.Registro(), &chave), S_OK);
        ordem.o.dmcChave = chave;
        zenta::teste::OrdemLida lida;
        ASSERT_EQ(m_servico->LeMovimentacao(chave, &lida.ordem), S_OK);
        ordem.o.lVersaoRegistro = lida.ordem.lVersaoRegistro;
        const auto& compras = lida.ordem.listaIntegracoesCompras;
        ordem.compras.assign(compras.pDMC, compras.pDMC + compras.lQtdDMC);
    }

    LONG m_plano = 0;
};

TEST_F(Compras, EachSaveReplacesTheChangeableRequestAndCancellingDropsIt) {
    Ordem ordem;
    ordem.o.lPonteiroCadastro = static_cast<ULONG>(m_plano);
    ordem.Produto(21, 0, 20000);
    ordem.Produto(21, 0, 10000);  // the same product twice: two items
    ordem.Produto(23, 0, 10000, 2);  // flagged with another value: not requested
    ordem.Servico(31, 15000);
    Grava(ordem);
    ASSERT_EQ(ordem.compras.size(), 1u);
    auto lista = SolicitacoesErp(kEmpresa);
    ASSERT_EQ(lista.size(), 1u);
    EXPECT_EQ(lista[0].chave, ordem.compras[0]);
    EXPECT_EQ(V(lista[0].registro.dmcOrigem), ordem.o.dmcChave);
    ASSERT_EQ(lista[0].itens.size(), 3u);
    EXPECT_EQ(V(lista[0].itens[0].lPonteiroProdutoServico), 21u);
    EXPECT_EQ(V(lista[0].itens[1].lPonteiroProdutoServico), 21u);
    EXPECT_EQ(V(lista[0].itens[2].cTipo), 'S');

    // Saved again: the old request is deleted and a new one made.
    const ULONGLONG primeira = ordem.compras[0];
    Grava(ordem);
    lista = SolicitacoesErp(kEmpresa);
    ASSERT_EQ(lista.size(), 1u);
    EXPECT_NE(lista[0].chave, primeira);
    EXPECT_EQ(ordem.compras, std::vector<ULONGLONG>{lista[0].chave});

    // Cancelled: the request purchasing may still change goes with the order.
    ordem.o.lSituacao = 2;
    Grava(ordem);
    EXPECT_TRUE(ordem.compras.empty());
    EXPECT_TRUE(SolicitacoesErp(kEmpresa).empty());
}

TEST_F(Compras, RequestsPurchasingTookOverStayAndWhatTheyCoverIsNotAskedAgain) {
    Ordem ordem;
    ordem.Produto(22, 5, 20000);
    ordem.Produto(22, 5, 10000);
    ordem.Servico(31, 10000);
    Grava(ordem);
    ASSERT_EQ(ordem.compras.size(), 1u);
    const ULONGLONG tomada = ordem.compras[0];
    ASSERT_EQ(zenta::TornaSolicitacaoInalteravelErp(kEmpresa, tomada), S_OK);

    // 3 litres already asked for; the order now uses 4 + 1: one summed item of 2.
    ordem.produtos[0].vQuantidadeUtilizada = ValorBruto(40000);
    Grava(ordem);
    ASSERT_EQ(ordem.compras.size(), 2u);
    EXPECT_EQ(ordem.compras[0], tomada);
    auto lista = SolicitacoesErp(kEmpresa, ordem.o.dmcChave);
    ASSERT_EQ(lista.size(), 2u);
    ASSERT_EQ(lista[1].itens.size(), 1u);  // the service is covered
    const REG_CM_ITEM_SOLICITACAO_PS item = lista[1].itens[0];
    EXPECT_EQ(std::make_tuple(V(item.lPonteiroProdutoServico), V(item.usGrade1), V(item.usUnidadeMedida),
                              Q(item.vQuantidade), Q(item.vSaldoEstoque), Q(item.vPontoPedido), Q(item.vEstoqueMinimo)),
              std::make_tuple(ULONG{22}, USHORT{5}, USHORT{2}, 20000LL, 122500LL, 75000LL, 30000LL));

    // Covered completely: nothing more is sent.
    ordem.produtos[0].vQuantidadeUtilizada = ValorBruto(20000);
    Grava(ordem);
    EXPECT_EQ(ordem.compras, std::vector<ULONGLONG>{tomada});
    EXPECT_EQ(SolicitacoesErp(kEmpresa, ordem.o.dmcChave).size(), 1u);

    // Nothing flagged: the changeable one goes, the one purchasing holds
    // stays named by the order.
    for (auto& p : ordem.produtos) p.bGerarSolicitacaoCompras = 0;
    for (auto& s : ordem.servicos) s.bGerarSolicitacaoCompras = 0;
    Grava(ordem);
    EXPECT_EQ(ordem.compras, std::vector<ULONGLONG>{tomada});
    EXPECT_EQ(SolicitacoesErp(kEmpresa).size(), 1u);
}

// What is needed is at least what is asked for: quantities round up to the
// unit's decimals, and nothing comes to an item of 0.
TEST_F(Compras, QuantitiesRoundUpToTheUnitsDecimalsAndTheRequestCarriesItsOrigin) {
    struct Linha {
        ULONG produto;
        LONGLONG usado;
        LONGLONG pedido;  // 0: no item
    } linhas[] = {
        {21, 19999, 20000},  // whole units
        {21, 6000, 10000},   // 0.6 of a whole unit is 1
        {21, 0, 0},          // nothing used: no item
        {22, 12390, 12400},  // two decimals: 1.239 is 1.24
        {22, 12300, 12300},
        {23, 12345, 12345},  // four decimals
    };
    Ordem ordem;
    std::vector<LONGLONG> esperados;
    for (const Linha& l : linhas) {
        ordem.Produto(l.produto, 0, l.usado);
        if (l.pedido != 0) esperados.push_back(l.pedido);
    }
    Grava(ordem);
    auto lista = SolicitacoesErp(kEmpresa);
    ASSERT_EQ(lista.size(), 1u);
    std::vector<LONGLONG> pedidos;
    for (const auto& item : lista[0].itens) pedidos.push_back(Q(item.vQuantidade));
    EXPECT_EQ(pedidos, esperados);
    const REG_CM_SOLICITACAO_COMPRA_PS& r = lista[0].registro;
    EXPECT_EQ(V(r.usQtdItens), esperados.size());
    EXPECT_EQ(V(r.usFilial), 1u);
    EXPECT_EQ(V(r.dataSolicitacao).GetData(), REG_QVDMA::Hoje().GetData());
    EXPECT_STREQ(r.szOrigem, "0526-000001");
    const auto* bytes = reinterpret_cast<const unsigned char*>(&lista[0].itens[0]);
    EXPECT_EQ(bytes[81], 0);
    EXPECT_EQ(bytes[85], 0);

    // 5.6 whole units needed, 2 of them taken over by purchasing: 4 more
    // are asked for, 6 in all, and later saves ask for nothing of 0.
    Ordem outra;
    outra.Produto(21, 0, 20000);
    Grava(outra);
    ASSERT_EQ(zenta::TornaSolicitacaoInalteravelErp(kEmpresa, outra.compras[0]), S_OK);
    outra.produtos[0].vQuantidadeUtilizada = ValorBruto(56000);
    Grava(outra);
    Grava(outra);
    LONGLONG total = 0;
    for (const auto& s : SolicitacoesErp(kEmpresa, outra.o.dmcChave))
        for (const auto& item : s.itens) {
            EXPECT_GT(Q(item.vQuantidade), 0);
            total += Q(item.vQuantidade);
        }
    EXPECT_EQ(total, 60000);
    EXPECT_EQ(outra.compras.size(), 2u);

    for (const auto& [codigo, casas] : {std::pair{0, 0}, {1, 2}, {2, 4}, {7, 0}})
        EXPECT_EQ(zenta::CasasDoCodigoUnidade(codigo), casas) << codigo;
    EXPECT_EQ(zenta::CodigoCasasDecimais(1), 1);  // one decimal kept in two
    EXPECT_EQ(zenta::CodigoCasasDecimais(3), 2);
}

// The flag is one byte on file: it reads back as given, so saving back what
// was read asks for nothing new; a value the byte cannot hold is refused.
TEST_F(Compras, APurchaseFlagIsKeptAsGivenAndOneThatDoesNotFitIsRefused) {
    Ordem ordem;
    ordem.Produto(21, 0, 10000, 2);
    ordem.Servico(31, 10000, 2);
    Grava(ordem);
    _REG_MOVIMENTACAO_MANUT_PREV_PS lida{};
    ASSERT_EQ(m_servico->LeMovimentacao(ordem.o.dmcChave, &lida), S_OK);
    EXPECT_EQ(lida.listaProdutos.pProdutos[0].bGerarSolicitacaoCompras, 2);
    EXPECT_EQ(lida.listaServicos.pServicos[0].bGerarSolicitacaoCompras, 2);
    ULONGLONG chave = 0;
    EXPECT_EQ(m_servico->GravaMovimentacao(lida, &chave), S_OK);
    zenta::LiberaListasMovimentacao(lida);
    EXPECT_TRUE(SolicitacoesErp(kEmpresa).empty());

    for (const LONG flag : {256, -1}) {
        Ordem outra;
        outra.Produto(21, 0, 10000, flag);
        EXPECT_EQ(m_servico->GravaMovimentacao(outra.Registro(), &chave), E_INVALIDARG) << flag;
        EXPECT_THAT(zenta::teste::UltimoErro(*m_servico), ::testing::HasSubstr("bGerarSolicitacaoCompras"));
    }
}

// A save that fails on a product purchasing does not know changes nothing
// anywhere: the order's request and pre-withdrawal stay, and the stored
// order still names its request.
TEST_F(Compras, AProductPurchasingDoesNotKnowStopsTheSaveBeforeAnythingChanges) {
    Ordem ordem;
    ordem.Produto(22, 5, 10000);
    _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS local{};
    local.lPonteiroLocal = 1;
    ordem.produtos[0].vQuantidadePrevista = ValorBruto(10000);
    ordem.produtos[0].listaLocal = {1, 0, nullptr, &local};
    Grava(ordem);
    ASSERT_EQ(ordem.compras.size(), 1u);
    auto preBaixas = [&]() {
        std::vector<REG_ES_PREBAIXAPS> registros;
        EXPECT_EQ(zenta::teste::BancoErp(kEmpresa)->LePreBaixas(REG_QVDMC(ordem.o.dmcChave), 1, registros), S_OK);
        return registros.size();
    };
    ASSERT_EQ(preBaixas(), 1u);

    const auto compras = ordem.compras;
    ordem.Produto(99, 0, 10000);
    ULONGLONG chave = 1;
    EXPECT_EQ(m_servico->GravaMovimentacao(ordem.Registro(), &chave), HRESULT_FROM_WIN32(1168u));  // ERROR_NOT_FOUND
    EXPECT_EQ(chave, 0u);
    EXPECT_THAT(zenta::teste::UltimoErro(*m_servico), ::testing::HasSubstr("Produto 99"));

    EXPECT_EQ(preBaixas(), 1u);
    const auto lista = SolicitacoesErp(kEmpresa);
    ASSERT_EQ(lista.size(), 1u);
    EXPECT_EQ(lista[0].chave, compras[0]);
    _REG_MOVIMENTACAO_MANUT_PREV_PS lida{};
    ASSERT_EQ(m_servico->LeMovimentacao(ordem.o.dmcChave, &lida), S_OK);
    EXPECT_EQ(std::vector<ULONGLONG>(lida.listaIntegracoesCompras.pDMC,
                                     lida.listaIntegracoesCompras.pDMC + lida.listaIntegracoesCompras.lQtdDMC),
              compras);
    zenta::LiberaListasMovimentacao(lida);
}

// Two copies of one order, or a new order naming another's request: the
// stored order's keys rule, and the stale copy is refused.
TEST_F(Compras, AStaleCopyIsRefusedAndACallerCannotClaimAnotherOrdersRequest) {
    Ordem ordem;
    ordem.Produto(21, 0, 30000);
    Grava(ordem);
    Ordem copia = ordem;
    Grava(ordem);  // the first user saves again
    ULONGLONG chave = 0;
    EXPECT_EQ(m_servico->GravaMovimentacao(copia.Registro(), &chave), HRESULT_FROM_WIN32(33u));
    EXPECT_THAT(zenta::teste::UltimoErro(*m_servico), ::testing::HasSubstr("leia-a de novo"));
    auto lista = SolicitacoesErp(kEmpresa);
    ASSERT_EQ(lista.size(), 1u) << "one changeable request for one need";
    EXPECT_EQ(lista[0].chave, ordem.compras[0]);

    // A new order handed in with that key neither deletes nor names it.
    Ordem intrusa;
    intrusa.compras = ordem.compras;
    Grava(intrusa);
    EXPECT_TRUE(intrusa.compras.empty());
    lista = SolicitacoesErp(kEmpresa);
    ASSERT_EQ(lista.size(), 1u);
    EXPECT_EQ(lista[0].chave, ordem.compras[0]);
}

// ---- Creating the purchasing server -------------------------------------------------

// A class whose first creations find its server unreachable.
std::atomic<int> g_falhasRestantes{0};
HRESULT CriaInstavel(REFIID riid, void** ppv) {
    if (g_falhasRestantes.fetch_sub(1) > 0) return HR_RPC_S_SERVER_UNAVAILABLE;
    return zenta::CriaComprasErp(riid, ppv);
}
// {7C3A1E52-0B6D-4F8E-9A41-2D5E8F6B3CFF}
constexpr CLSID kClasseInstavel = {0x7c3a1e52, 0x0b6d, 0x4f8e, {0x9a, 0x41, 0x2d, 0x5e, 0x8f, 0x6b, 0x3c, 0xff}};

TEST(CriacaoServidor, RetriesAnUnreachableServerOnlyWhenAskedAndObeysTheInstallationSwitch) {
    zenta::teste::ZentaHomeTemporario home;
    zenta::teste::ComEscopo com;
    static zenta::CFabricaErp<CriaInstavel> fabrica;
    ASSERT_EQ(zenta::RegistraClasseInproc(kClasseInstavel, &fabrica), S_OK);
    zenta::DefineEsperaTentativasCriacao(1);

    CQVComPtr<IQVCM_SolicitacaoCompra> p;
    g_falhasRestantes = 3;
    EXPECT_EQ(p.CoCreateInstance(kClasseInstavel), S_OK);
    EXPECT_TRUE(p);
    g_falhasRestantes = 1;
    EXPECT_EQ(p.CoCreateInstance(kClasseInstavel, eQVCCI_LOG_FAILURE), HR_RPC_S_SERVER_UNAVAILABLE);
    EXPECT_FALSE(p);
    g_falhasRestantes = 1000;
    EXPECT_EQ(p.CoCreateInstance(kClasseInstavel, eQVCCI_RETRY), HR_RPC_S_SERVER_UNAVAILABLE);
    EXPECT_LE(g_falhasRestantes.load(), 500);

    // The installation forbids creating servers from here.
    std::filesystem::create_directories(home.Raiz() / "registry");
    std::ofstream(home.Raiz() / "registry/HKLM.reg")
        << "Windows Registry Editor Version 5.00\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\QV Sistemas\\LocalizacaoModulo]\r\n"
           "\"LocalizacaoCRQV\"=dword:00000001\r\n";
    g_falhasRestantes = 0;
    EXPECT_EQ(p.CoCreateInstance(kClasseInstavel), E_QVCR_CHAMADA_DCOM_NAO_PERMITIDA);
    zenta::RemoveClasseInproc(kClasseInstavel);
    zenta::DefineEsperaTentativasCriacao(100);
}

TEST(CriacaoServidor, SecuritySettingsFollowTheTwoSwitches) {
    // (authentication off, encryption off) -> (level, service, impersonation); authentication off rules.
    const auto Seguranca = [](DWORD autenticacao, DWORD encriptacao) {
        const QVSegurancaCom s = QVSegurancaComDe(autenticacao, encriptacao);
        return std::make_tuple(s.dwAuthnLevel, s.dwAuthnSvc, s.dwImpLevel);
    };
    EXPECT_EQ(Seguranca(0, 0), std::make_tuple(RPC_C_AUTHN_LEVEL_PKT_PRIVACY, RPC_C_AUTHN_WINNT, RPC_C_IMP_LEVEL_IMPERSONATE));
    EXPECT_EQ(Seguranca(0, 1), std::make_tuple(RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_AUTHN_WINNT, RPC_C_IMP_LEVEL_IMPERSONATE));
    EXPECT_EQ(Seguranca(1, 1), std::make_tuple(RPC_C_AUTHN_LEVEL_NONE, RPC_C_AUTHN_NONE, RPC_C_IMP_LEVEL_IMPERSONATE));
}

}  // namespace
