// Service orders raised by concluded maintenance orders, through the service
// object and the ERP stand-in: the record and its blocks as the
// technical-assistance module receives them, the link kept by the order,
// rewriting the open linked order instead of raising a new one, a new one
// once it is closed, one section per technician, prices from the client's
// price table, and failures logged with the step that failed.

#include <nlohmann/json.hpp>
#include <zenta/zenta.h>

#include "access/IQVGE_ASTMov.h"
#include "records/QVCamposRegistro.h"
#include "standins/erp/QVAssistecErp.h"
#include "standins/erp/QVErpBanco.h"
#include "support/EmpresaTeste.h"
#include "support/Inicializacao.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/QVMesAno.h"
#include "values/RelogioSistema.h"

using namespace zenta;

namespace {

using zenta::teste::OrdemLida;
using zenta::teste::ValorBruto;

constexpr const char* kEmpresa = "ORDENSOS";

struct OrdensServicoLidas {
    REG_AST_LISTA_ORDEM_SERVICO_PS lista{};
    ~OrdensServicoLidas() { zenta::LiberaListaOrdemServico(lista); }
    const REG_AST_ORDEM_SERVICO_PS& operator[](ULONG i) const { return lista.pRegistros[i]; }
};

// ---- The fixture ------------------------------------------------------------------------

class OrdensServico : public zenta::teste::EmpresaTeste {
protected:
    OrdensServico() : EmpresaTeste(kEmpresa) {}
    void SetUp() override {
        EmpresaTeste::SetUp();
        // Clients with and without a price table, prices at tables 1 and 2
        // (one for a grade item), and services with values as text and as
        // ten-thousandths.
        ASSERT_EQ(Banco()->ExecutaSql(
                      "INSERT INTO cliente (codigo, nome, tabela_preco) VALUES (5, 'Cliente', 2), (6, 'Sem tabela', NULL);"
                      "INSERT INTO preco_produto VALUES (21, 0, 0, 0, 1, '1.00'), (21, 0, 0, 0, 2, '12.50'),"
                      " (21, 4, 0, 0, 2, 150000), (22, 0, 0, 0, 2, 70000);"
                      "INSERT INTO servico (codigo, nome, valor) VALUES (31, 'Troca', '45.5'), (32, 'Limpeza', 30000),"
                      " (33, 'Sem valor', NULL);"),
                  S_OK);
        m_plano = zenta::teste::GravaPlano(*m_servico, 10, {zenta::teste::ManutencaoTempo(10)});
        m_codigo = zenta::teste::CodigosDoPlano(*m_servico, m_plano).at(0);
    }

    // A concluded order asking for a service order: client 5, technician 3,
    // product 21 (2 used, on two stock places) and service 31 (1 used),
    // both by technician 3.
    nlohmann::json Ordem() const {
        nlohmann::json o = nlohmann::json::parse(R"({
          "lFilial": 1, "lCliente": 5, "lSituacao": 1, "bGerarOS": 1, "lEquipamento": 10, "lMarca": 11,
          "lModelo": 12, "lTipo": 13, "lPonteiroGrade1": 14, "lPonteiroGrade2": 15, "lPonteiroGrade3": 16, "lTecnico": 3,
          "szNomeManutencao": "Limpeza", "szNrSerie": "SN-É",
          "listaProdutos": {"pProdutos": [{"lTecnico": 3, "lProduto": 21, "vQuantidadeUtilizada": "2",
            "listaLocal": {"pLocaisEstoque": [
              {"cTipoProducao": 2, "cConteudoImportado": 1, "lPonteiroLocal": 3, "lPonteiroLote": 4,
               "lPonteiroForLote": 5, "lPonteiroVolume": 6, "lPonteiroForEPTETPE": 7, "lPonteiroCliEPTETPE": 8,
               "lPonteiroControleFCI": 9, "vPIUnitaria": "0.0033", "vQuantidadeEs": "1"},
              {"lPonteiroLocal": 20, "vQuantidadeEs": "1"}]}}]},
          "listaServicos": {"pServicos": [{"lTecnico": 3, "lServico": 31, "vQuantidadeUtilizada": "1"}]}
        })");
        o["dmcChave"] = REG_QVDMC().SetDMC(0, 84, m_maio).Get64();
        o["lPonteiroCadastro"] = m_plano;
        o["lCodigoManutencao"] = m_codigo;
        return o;
    }
    static nlohmann::json Item(const char* codigo, ULONG tecnico, ULONG item, const char* usado, ULONG grade1 = 0) {
        nlohmann::json i = {{codigo, item}, {"lTecnico", tecnico}, {"vQuantidadeUtilizada", usado}};
        if (grade1 != 0) i["lGrade1"] = grade1;
        return i;
    }

    ULONGLONG Grava(const nlohmann::json& ordem) {
        zenta::teste::RegistroJson<_REG_MOVIMENTACAO_MANUT_PREV_PS> o(ordem);
        ULONGLONG chave = 0;
        EXPECT_EQ(m_servico->GravaMovimentacao(o.r, &chave), S_OK);
        return chave;
    }
    // The order, saved open first so that it has its key, then concluded.
    ULONGLONG Conclui(nlohmann::json ordem) {
        ordem["lSituacao"] = 0;
        ordem["dmcChave"] = Grava(ordem);
        ordem["lVersaoRegistro"] = 1;
        ordem["lSituacao"] = 1;
        return Grava(ordem);
    }
    // Saves the order as read back, changed by `muda`; gives the result.
    template <class F>
    HRESULT Regrava(ULONGLONG chave, F muda) {
        OrdemLida lida;
        EXPECT_EQ(m_servico->LeMovimentacao(chave, &lida.ordem), S_OK);
        muda(lida.ordem);
        ULONGLONG gravada = 0;
        return m_servico->GravaMovimentacao(lida.ordem, &gravada);
    }
    void Links(ULONGLONG chave, std::vector<_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS>& links) {
        OrdemLida lida;
        ASSERT_EQ(m_servico->LeMovimentacao(chave, &lida.ordem), S_OK);
        const auto& l = lida.ordem.listaRelacionamentos;
        links.assign(l.pRelacionamentos, l.pRelacionamentos + l.lQtdRelacionamentoOS);
    }
    void LeOrdensServico(std::vector<REG_AST_CHAVE_PS> chaves, OrdensServicoLidas& lidas) {
        IQVGE_ASTMov* p = nullptr;
        ASSERT_EQ(zenta::CriaAssistecErp(IID_IQVGE_ASTMov, reinterpret_cast<void**>(&p)), S_OK);
        EXPECT_EQ(p->Inicializa_Padrao(zenta::teste::RegistroInicializacao(kEmpresa)), S_OK);
        REG_AST_LISTA_CHAVES_PS regChaves{static_cast<ULONG>(chaves.size()), 0, nullptr, chaves.data()};
        EXPECT_EQ(p->BuscaRegistros(regChaves, &lidas.lista, 2), S_OK);
        p->Release();
        ASSERT_EQ(lidas.lista.lQtdRegistros, chaves.size());
    }
    int64_t QuantidadeOrdensServico() { return zenta::teste::QuantidadeOrdensServicoErp(kEmpresa); }
    std::string Log() const { return zenta::teste::TextoDosLogs(m_home.Raiz()); }

    const zenta::RelogioFixoEscopo m_relogio{{2026, 5, 4, 5, 6, 7}};
    const USHORT m_maio = QVMAFromMesAno(5, 2026);
    LONG m_plano = 0;
    ULONG m_codigo = 0;
};

TEST_F(OrdensServico, AConcludedOrderRaisesAServiceOrderWithEveryFieldInItsPlaceAndLinksIt) {
    const nlohmann::json ordem = Ordem();
    const ULONGLONG chave = Conclui(ordem);
    ASSERT_NE(chave, 0u);

    std::vector<_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS> links;
    Links(chave, links);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].dmcMovimentacao, chave);
    EXPECT_EQ(links[0].lPtrOS, 1u);
    EXPECT_EQ(links[0].maOS, m_maio);

    // The module reads the record by offset: (offset, width, value) of what
    // the order puts there.
    struct Campo {
        std::size_t deslocamento, largura;
        ULONG valor;
    };
    const auto Confere = [](const void* registro, std::initializer_list<Campo> campos, const char* nome) {
        for (const Campo& c : campos) {
            ULONG lido = 0;  // little-endian, as the module reads it
            std::memcpy(&lido, static_cast<const BYTE*>(registro) + c.deslocamento, c.largura);
            EXPECT_EQ(lido, c.valor) << nome << " +" << c.deslocamento;
        }
    };
    OrdensServicoLidas lidas;
    LeOrdensServico({{m_maio, 0, 1}}, lidas);
    const REG_AST_ORDEM_SERVICO_PS& os = lidas[0];
    const ULONG hoje = REG_QVDMA(4, 5, 2026).GetData();
    // Kind, status, hour of the save, branch, client, technician, sections,
    // dates (the conclusion: the day of the save), the order as origin.
    Confere(&os,
            {{3, 1, 3}, {6, 1, 0}, {8, 1, 1}, {64, 2, 5 * 60 + 6}, {72, 4, 1}, {76, 4, 1}, {84, 4, 5}, {100, 4, 3},
             {132, 4, 1}, {244, 4, 1}, {312, 4, hoje}, {316, 4, hoje}, {424, 2, m_maio}, {428, 4, 1},
             {1520, 4, REG_QVDMC(chave).GetPonteiro()}, {1524, 2, m_maio}},
            "os");
    ASSERT_NE(os.pEquipamento, nullptr);
    // Grades, brand, model, kind, equipment, product.
    Confere(os.pEquipamento, {{48, 4, 14}, {52, 4, 15}, {56, 4, 16}, {64, 4, 11}, {68, 4, 12}, {72, 4, 13},
                              {76, 4, 10}, {80, 4, 0}},
            "equipamento");
    EXPECT_EQ(std::u16string(os.pEquipamento->bsNrSerie), u"SN-É") << "Windows-1252 on the order, UTF-16 in the BSTR";
    ASSERT_NE(os.pTecnicos, nullptr);
    const REG_AST_TECNICO_PS& t = os.pTecnicos[0];
    // Hour, technician, services, products, items, date.
    Confere(&t, {{8, 2, 5 * 60 + 6}, {24, 4, 3}, {28, 4, 1}, {36, 4, 1}, {84, 4, 2}, {104, 4, hoje}}, "tecnico");
    ASSERT_NE(t.pItens, nullptr);

    // The product at the client's price table (12.50 at table 2) with its
    // stock places as the order gave them; the service valued as registered.
    const REG_AST_ITEM_PS& produto = t.pItens[0];
    Confere(&produto, {{3, 1, 1}, {4, 1, 1}, {40, 4, 2}, {44, 4, 21}, {76, 4, 2}}, "produto");
    EXPECT_EQ(produto.vQuantidade.int64, 20000);
    EXPECT_EQ(produto.vValorUnitario.int64, 125000);
    ASSERT_NE(produto.pLocais, nullptr);
    Confere(&produto.pLocais[0], {{0, 1, 2}, {1, 1, 1}, {8, 4, 3}, {12, 4, 4}, {16, 4, 5}, {20, 4, 6}, {24, 4, 7},
                                  {28, 4, 8}, {32, 4, 9}},
            "local");
    EXPECT_EQ(produto.pLocais[0].vPIUnitaria.int64, 33);
    EXPECT_EQ(produto.pLocais[0].vQuantidadeEs.int64, 10000);
    EXPECT_EQ(produto.pLocais[1].lPonteiroLocal, 20u);
    const REG_AST_ITEM_PS& servico = t.pItens[1];
    Confere(&servico, {{3, 1, 1}, {4, 1, 0}, {40, 4, 2}, {44, 4, 31}}, "servico");
    EXPECT_EQ(servico.vQuantidade.int64, 10000);
    EXPECT_EQ(servico.vValorUnitario.int64, 455000) << "45.5 from the service";
    EXPECT_EQ(servico.pLocais, nullptr);
}

// One job, one service order: saved concluded again it rewrites the open
// one, which follows the order's customer; while it is open the order is
// neither reopened nor cancelled; once closed (billed) no other is raised.
TEST_F(OrdensServico, OneOrderHasOneServiceOrderThatFollowsItsCustomerWhileOpen) {
    const nlohmann::json ordem = Ordem();
    const ULONGLONG chave = Conclui(ordem);

    // Read back, used 5 instead of 2, billed to customer 6 (no price table).
    ASSERT_EQ(Regrava(chave,
                      [](auto& o) {
                          o.listaProdutos.pProdutos[0].vQuantidadeUtilizada = ValorBruto(50000);
                          o.lCliente = 6;
                      }),
              S_OK);
    {
        OrdensServicoLidas lidas;
        LeOrdensServico({{m_maio, 0, 1}}, lidas);
        EXPECT_EQ(lidas[0].lCliente, 6u);
        ASSERT_EQ(lidas[0].lQtdTecnicos, 1u);
        EXPECT_EQ(lidas[0].pTecnicos[0].pItens[0].vQuantidade.int64, 50000);
        EXPECT_EQ(lidas[0].pTecnicos[0].pItens[0].vValorUnitario.int64, 10000) << "1.00 at table 1";
    }
    // Handed in without its link: the stored link rules, nothing is raised.
    ASSERT_EQ(Regrava(chave, [](auto& o) { o.listaRelacionamentos.lQtdRelacionamentoOS = 0; }), S_OK);
    EXPECT_EQ(QuantidadeOrdensServico(), 1);

    // Reopening or cancelling while it is open is refused, stock untouched.
    for (const ULONG situacao : {0u, 2u}) {
        EXPECT_EQ(Regrava(chave, [situacao](auto& o) { o.lSituacao = situacao; }), E_ACCESSDENIED) << situacao;
        EXPECT_THAT(zenta::teste::UltimoErro(*m_servico), ::testing::HasSubstr("ordem de servi\xE7o aberta"));
    }
    std::vector<REG_ES_PREBAIXAPS> reservas;
    ASSERT_EQ(Banco()->LePreBaixas(REG_QVDMC(chave), 1, reservas), S_OK);
    EXPECT_TRUE(reservas.empty());

    // Closed in the module: saved concluded again, no second one for the same
    // work, and the closed one no longer follows the order's customer.
    ASSERT_EQ(zenta::FechaOrdemServicoErp(kEmpresa, m_maio, 1), S_OK);
    ASSERT_EQ(Regrava(chave, [](auto& o) { o.lCliente = 5; }), S_OK);
    EXPECT_EQ(QuantidadeOrdensServico(), 1);
    {
        OrdensServicoLidas lidas;
        LeOrdensServico({{m_maio, 0, 1}}, lidas);
        EXPECT_EQ(lidas[0].lCliente, 6u);
    }
    std::vector<_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS> links;
    Links(chave, links);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].dmcMovimentacao, chave);
    // And now it may be cancelled.
    EXPECT_EQ(Regrava(chave, [](auto& o) { o.lSituacao = 2; }), S_OK);
    EXPECT_EQ(QuantidadeOrdensServico(), 1);
}

// One section per technician with only their lines, products first; prices
// from the client's table, table 1 for a client without one; reads that
// fail are logged with their step and the item keeps what was filled.
TEST_F(OrdensServico, TwoTechniciansGetOneSectionEachWithOnlyTheirLinesProductsFirst) {
    nlohmann::json falha = Ordem();
    falha["lCliente"] = 77;  // not registered: price table 1
    falha["listaServicos"]["pServicos"][0]["lServico"] = 99;  // not registered: no value
    Conclui(falha);
    EXPECT_THAT(Log(), ::testing::HasSubstr("CBaseManutencaoPreventiva::AdicionaProdutos"));
    EXPECT_THAT(Log(), ::testing::HasSubstr("CBaseManutencaoPreventiva::AdicionaServicos"));
    nlohmann::json ordem = Ordem();
    ordem["listaProdutos"]["pProdutos"] = {Item("lProduto", 8, 21, "1", 4),  // grade 4 has its own price at table 2
                                           Item("lProduto", 9, 22, "2")};
    ordem["listaServicos"]["pServicos"] = {Item("lServico", 9, 31, "3"), Item("lServico", 10, 32, "4"),
                                           Item("lServico", 8, 33, "5")};
    Conclui(ordem);
    // Client 6 has no table, and an order without a client has none: table
    // 1 without a failure.
    const std::size_t tamanhoLog = Log().size();
    for (const int cliente : {6, 0}) {
        nlohmann::json outra = Ordem();
        outra["lCliente"] = cliente;
        Conclui(outra);
    }
    EXPECT_EQ(Log().size(), tamanhoLog) << "nothing failed";

    OrdensServicoLidas lidas;
    LeOrdensServico({{m_maio, 0, 1}, {m_maio, 0, 2}, {m_maio, 0, 3}, {m_maio, 0, 4}}, lidas);
    const REG_AST_ORDEM_SERVICO_PS& os = lidas[1];
    ASSERT_EQ(os.lQtdTecnicos, 3u);
    const auto* t = os.pTecnicos;
    EXPECT_EQ(t[0].lTecnico, 8u);
    EXPECT_EQ(t[1].lTecnico, 9u);
    EXPECT_EQ(t[2].lTecnico, 10u) << "service-only technicians come after the product ones";

    // Per section: items, products, services; per item: code, product flag, value, quantity.
    const auto Secao = [](const REG_AST_TECNICO_PS& secao) {
        return std::make_tuple(secao.lQtdItens, secao.lQtdProdutos, secao.lQtdServicos);
    };
    const auto Item = [](const REG_AST_ITEM_PS& i) {
        return std::make_tuple(i.lProdServ, i.ucProduto, i.vValorUnitario.int64, i.vQuantidade.int64);
    };
    ASSERT_EQ(Secao(t[0]), std::make_tuple(2u, 1u, 1u));
    EXPECT_EQ(Item(t[0].pItens[0]), std::make_tuple(21u, BYTE{1}, 150000LL, 10000LL));
    EXPECT_EQ(t[0].pItens[0].lGrade1, 4u);
    EXPECT_EQ(Item(t[0].pItens[1]), std::make_tuple(33u, BYTE{0}, 0LL, 50000LL)) << "a service without a value";
    ASSERT_EQ(Secao(t[1]), std::make_tuple(2u, 1u, 1u));
    EXPECT_EQ(Item(t[1].pItens[0]), std::make_tuple(22u, BYTE{1}, 70000LL, 20000LL));
    EXPECT_EQ(t[1].pItens[1].lProdServ, 31u);
    ASSERT_EQ(Secao(t[2]), std::make_tuple(1u, 0u, 1u));
    EXPECT_EQ(Item(t[2].pItens[0]), std::make_tuple(32u, BYTE{0}, 30000LL, 40000LL));

    // Per item: code, price table, value, quantity.
    const auto Preco = [](const REG_AST_ITEM_PS& i) {
        return std::make_tuple(i.lProdServ, i.lTabelaPreco, i.vValorUnitario.int64, i.vQuantidade.int64);
    };
    const REG_AST_TECNICO_PS& semCadastro = lidas[0].pTecnicos[0];
    EXPECT_EQ(Preco(semCadastro.pItens[0]), std::make_tuple(21u, 1u, 10000LL, 20000LL)) << "1.00 at table 1";
    EXPECT_EQ(semCadastro.pItens[0].lQtdLocais, 2u);
    EXPECT_EQ(Preco(semCadastro.pItens[1]), std::make_tuple(99u, 1u, 0LL, 10000LL));
    EXPECT_EQ(Preco(lidas[2].pTecnicos[0].pItens[0]), std::make_tuple(21u, 1u, 10000LL, 20000LL));
    EXPECT_EQ(Preco(lidas[3].pTecnicos[0].pItens[1]), std::make_tuple(31u, 1u, 455000LL, 10000LL));
}

TEST_F(OrdensServico, AModuleThatFailsStopsTheSaveWithItsCodeAndALogLine) {
    const nlohmann::json ordem = Ordem();
    const ULONGLONG chave = Conclui(ordem);
    ASSERT_EQ(Banco()->ExecutaSql("DROP TABLE ordem_servico"), S_OK);

    // Linked: the search fails.
    OrdemLida lida;
    ASSERT_EQ(m_servico->LeMovimentacao(chave, &lida.ordem), S_OK);
    ULONGLONG gravada = 1;
    EXPECT_TRUE(FAILED(m_servico->GravaMovimentacao(lida.ordem, &gravada)));
    EXPECT_EQ(gravada, 0u);
    // Not linked: storing the new one fails.
    zenta::teste::RegistroJson<_REG_MOVIMENTACAO_MANUT_PREV_PS> nova(Ordem());
    EXPECT_TRUE(FAILED(m_servico->GravaMovimentacao(nova.r, &gravada)));
    EXPECT_EQ(gravada, 0u);

    const std::string log = Log();
    EXPECT_THAT(log, ::testing::HasSubstr("CBaseManutencaoPreventiva::GeraOS"));
    EXPECT_THAT(log, ::testing::HasSubstr("CBaseManutencaoPreventiva::VerificaOSGeradas"));

    // The order kept its one link: nothing half-written.
    std::vector<_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS> links;
    Links(chave, links);
    EXPECT_EQ(links.size(), 1u);
}

}  // namespace
