// Due dates and order generation through the service object, on a clock the
// tests set: the daily verification of each start-up, the verification of
// recorded readings, the order a due maintenance opens, the day's notices
// and the e-mail notice.

#include <zenta/zenta.h>

#include "standins/erp/QVEmailErp.h"
#include "logic/BaseManutencaoPreventiva.h"
#include "records/QVCamposRegistro.h"
#include "platform/CodePage.h"
#include "support/EmpresaTeste.h"
#include "support/RegistroTeste.h"
#include "support/SmtpSink.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/RelogioSistema.h"

using namespace zenta;

namespace {

using zenta::RelogioSistema;
using zenta::teste::ComEscopo;
using zenta::teste::Moeda;
using zenta::teste::NovoServico;
using zenta::teste::PlanoLido;
using zenta::teste::Servico;

constexpr const char* kEmpresa = "VERIFICA";

ULONG Data(int ano, int mes, int dia) { return REG_QVDMA(dia, mes, ano).GetData(); }
// A date as a record's JSON form gives it; null for none.
nlohmann::json DataJson(ULONG data) {
    if (data == 0) return nullptr;
    const REG_QVDMA d(data);
    char s[11];
    std::snprintf(s, sizeof s, "%04d-%02d-%02d", d.GetAno(), d.GetMes(), d.GetDia());
    return s;
}

// The installation's mail server at a port of this machine.
void ConfiguraSmtp(DWORD porta) {
    zenta::teste::DefineRegistro(zenta::kChaveRegistroEmail, "ServidorSMTP", std::string("127.0.0.1"));
    zenta::teste::DefineRegistro(zenta::kChaveRegistroEmail, "Remetente", std::string("manutencao@empresa.example"));
    zenta::teste::DefineRegistro(zenta::kChaveRegistroEmail, "PortaSMTP", porta);
}

// What a maintenance of a test plan is.
struct Frequencia {
    ULONG tipo = 2;           // lTipoFrequencia
    ULONG dias = 10;          // interval in days
    LONGLONG medicao = 0;     // meter interval (whole units)
    LONGLONG inicial = 0;     // vMedicaoInicial (whole units)
    ULONG dataInicial = 0;
    ULONG dataFinalContrato = 0;
    ULONG servicoCadastro = 0;
    ULONG tecnico = 7;
};

// The plan's client.
struct Cliente {
    ULONG codigo = 5;
    ULONG dataInicial = 0;
    ULONG dataFinal = 0;
};

class Verificacao : public zenta::teste::EmpresaTeste {
protected:
    Verificacao() : EmpresaTeste(kEmpresa) {}
    void SetUp() override {
        Dia(2026, 3, 1);
        EmpresaTeste::SetUp();
        ASSERT_EQ(Banco()->ExecutaSql(
                      "INSERT INTO usuario (codigo, nome, email) VALUES (7, 'Carlos Mecânico', 'carlos@teste.example'),"
                      " (8, 'Ana', NULL);"
                      "INSERT INTO servico (codigo, nome) VALUES (31, 'Revisão geral');"
                      "INSERT INTO marca (codigo, nome) VALUES (2, 'Marca Boa');"
                      "INSERT INTO tipo_equipamento (codigo, nome) VALUES (4, 'Compressor');"
                      "INSERT INTO equipamento (codigo, nome) VALUES (10, 'Compressor de ar'), (11, 'Bomba');"),
                  S_OK);
    }
    void TearDown() override {
        EmpresaTeste::TearDown();
        RelogioSistema::RestauraRelogioReal();
    }

    // The clock at 08:30 of a day.
    void Dia(int ano, int mes, int dia) { RelogioSistema::DefineInstanteFixo({ano, mes, dia, 8, 30, 0}); }
    void DiasDepois(int dias) {
        REG_QVDMA d = REG_QVDMA::Hoje();
        d.SomaDias(dias);
        Dia(d.GetAno(), d.GetMes(), d.GetDia());
    }
    ULONG Hoje() const { return REG_QVDMA::Hoje().GetData(); }

    void Propriedades(BYTE tela, BYTE email) {
        _REG_CADASTRO_PROPRIEDADES_PS p{};
        ASSERT_EQ(m_servico->LePropriedades(&p), S_OK);
        p.cAvisarComTelaAviso = tela;
        p.cAvisarPorEmail = email;
        ASSERT_EQ(m_servico->GravaPropriedades(p), S_OK);
    }

    // A plan of equipment `equipamento` (brand 2, type 4, serial "SN-1")
    // with one maintenance as `f` says: one product on two stock places and
    // one service planned. Saved today; returns its position.
    LONG NovoPlano(const Frequencia& f, ULONG equipamento = 10, Cliente cliente = {}, LONGLONG medidor = 0,
                   ULONG produtoPlano = 0, ULONG grade1 = 0) {
        nlohmann::json plano = nlohmann::json::parse(R"({
          "idEquipamentoPS": {"lFilial": 1, "lMarca": 2, "lTipo": 4, "lSituacao": 1, "szNrSerie": "SN-1"},
          "listaManutencoes": {"pManutencoes": [{"szNomeManutencao": "Limpeza",
            "frequenciaPS": {"lTipoFrequenciaTempo": 1, "horaDuracao": "4", "szParadaManutencao": "Parada total",
                             "szObservacao": "Verificar correias"},
            "listaProdutos": {"pProdutos": [{"lProduto": 21, "lTecnico": 7, "vQuantidadePrevista": "3",
              "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 3, "vQuantidadeEs": "1"},
                                                {"lPonteiroLocal": 4, "lPonteiroLote": 8, "vQuantidadeEs": "2"}]}}]},
            "listaServicos": {"pServicos": [{"lServico": 31, "lTecnico": 7, "vQuantidadePrevista": "2"}]}}]}
        })");
        auto& id = plano["idEquipamentoPS"];
        id.update({{"lEquipamento", equipamento}, {"lProduto", produtoPlano}, {"lGrade1", grade1},
                   {"regMedidorAtual", {{"vQuantidadeAtual", std::to_string(medidor)}}}});
        auto& m = plano["listaManutencoes"]["pManutencoes"][0];
        m.update({{"dataFinalContrato", DataJson(f.dataFinalContrato)}, {"lServicoCadastro", f.servicoCadastro},
                  {"lTecnico", f.tecnico}});
        m["frequenciaPS"].update({{"lTipoFrequencia", f.tipo}, {"lFrequenciaTempo", f.dias},
                                  {"vFrequenciaMedicao", std::to_string(f.medicao)},
                                  {"vMedicaoInicial", std::to_string(f.inicial)}, {"dataInicial", DataJson(f.dataInicial)}});
        plano["listaClientes"]["pClientes"] = {{{"lCliente", cliente.codigo},
                                                {"dataInicial", DataJson(cliente.dataInicial)},
                                                {"dataFinal", DataJson(cliente.dataFinal)}}};
        return zenta::teste::GravaPlanoJson(*m_servico, plano);
    }

    // The plan's (first) maintenance as stored, without its lists.
    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS Manutencao(LONG plano) {
        PlanoLido lido;
        EXPECT_EQ(m_servico->Le(plano, &lido.p), S_OK);
        _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS m{};
        if (lido.p.listaManutencoes.lQtdManutencoes == 1) m = lido.p.listaManutencoes.pManutencoes[0];
        m.listaProdutos = {};
        m.listaServicos = {};
        m.frequenciaPS.szObservacao = {};
        return m;
    }
    // Rewrites the plan's maintenance counters as given (marked as counting).
    void DefineContadores(LONG plano, LONG diasFalta, LONGLONG quantidadeFalta) {
        PlanoLido lido;
        ASSERT_EQ(m_servico->Le(plano, &lido.p), S_OK);
        auto& m = lido.p.listaManutencoes.pManutencoes[0];
        m.bTemMedicaoInformada = 1;
        m.lQuantidadeDiasFalta = static_cast<ULONG>(diasFalta);
        m.vQuantidadeFalta = Moeda(quantidadeFalta);
        ASSERT_EQ(m_servico->Grava(&plano, lido.p), S_OK);
    }
    // The orders of the plan's maintenance, oldest first.
    std::unique_ptr<zenta::teste::OrdensLidas> OrdensDoPlano(LONG plano) {
        return zenta::teste::OrdensDaManutencao(*m_servico, Manutencao(plano).lCodigoManutencao);
    }

    // Records a reading of the plan's identification (equipment, brand 2,
    // type 4, "SN-1") with the meter at `quantidade`.
    void Leitura(LONGLONG quantidade, ULONG equipamento = 10, const char* serie = "SN-1") {
        _REG_CADASTRO_MEDICAO_ATUAL_PS r{};
        r.regMedicaoAtual.lEquipamento = equipamento;
        r.regMedicaoAtual.lMarca = 2;
        r.regMedicaoAtual.lTipo = 4;
        r.regMedicaoAtual.cMedicaoAtiva = 1;
        std::snprintf(r.regMedicaoAtual.szNrSerie, sizeof r.regMedicaoAtual.szNrSerie, "%s", serie);
        r.regMedicaoAtual.vQuantidadeMedicao = Moeda(quantidade);
        ASSERT_EQ(m_servico->GravaMedicaoAtual(&r, 1, 1), S_OK);
    }

    std::vector<_REG_MOVIMENTACAO_MANUT_PREV_PS> Avisos() {
        _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS l{};
        EXPECT_EQ(m_servico->BuscaMovimentacoesDiarias(&l), S_OK);
        std::vector<_REG_MOVIMENTACAO_MANUT_PREV_PS> v(l.pRegistros, l.pRegistros + l.lQtdRegistros);
        for (auto& o : v) zenta::LiberaListasMovimentacao(o);
        CoTaskMemFree(l.pRegistros);
        return v;
    }
};

// ---- The rules on their own ------------------------------------------------------------------

TEST(RegrasVencimento, TempoMedicaoECombinacaoPorTipo) {
    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS m{};
    m.frequenciaPS.dataInicial = 100;
    m.lQuantidadeDiasFalta = 10;
    EXPECT_TRUE(zenta::PassaTesteTempo(m, 110, 100));   // 10 - 10 = 0 < 1
    EXPECT_FALSE(zenta::PassaTesteTempo(m, 109, 100));  // 1 day still to run
    EXPECT_FALSE(zenta::PassaTesteTempo(m, 99, 90));    // before the first day
    EXPECT_FALSE(zenta::PassaTesteTempo(m, 120, 121));  // counted in the future
    m.lQuantidadeDiasFalta = static_cast<ULONG>(-5);    // overdue: signed
    EXPECT_TRUE(zenta::PassaTesteTempo(m, 100, 100));
    m.dataFinalContrato = 119;
    EXPECT_FALSE(zenta::PassaTesteTempo(m, 120, 100));
    EXPECT_EQ(zenta::DataBaseContagem(m, 0), 0u);
    m.dataUltimaVerificacaoMedicao = 100;
    EXPECT_EQ(zenta::DataBaseContagem(m, 130), 130u);
    EXPECT_EQ(zenta::DataBaseContagem(m, 90), 100u);

    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS n{};
    n.frequenciaPS.vMedicaoInicial = Moeda(1000);
    _REG_CADASTRO_MEDIDORES_PS medidor{};
    medidor.vQuantidadeAtual = Moeda(950);
    n.vQuantidadeFalta = Moeda(20);
    EXPECT_FALSE(zenta::PassaTesteMedicao(n, medidor, Moeda(999), 1));  // below the initial value
    // A meter below the initial value counts from the initial value.
    EXPECT_FALSE(zenta::PassaTesteMedicao(n, medidor, Moeda(1019), 1));
    EXPECT_TRUE(zenta::PassaTesteMedicao(n, medidor, Moeda(1020), 1));  // 20 - 20 = 0
    medidor.vQuantidadeAtual = Moeda(1050);
    EXPECT_FALSE(zenta::PassaTesteMedicao(n, medidor, Moeda(1069), 1));
    EXPECT_TRUE(zenta::PassaTesteMedicao(n, medidor, Moeda(1070), 1));
    n.vQuantidadeFalta = Moeda(100);
    EXPECT_FALSE(zenta::PassaTesteMedicao(n, medidor, Moeda(0), 1));    // no value
    medidor.lQuantidadeMedidoresSubstituidos = 1;
    medidor.vQuantidadeAtual = Moeda(0);
    EXPECT_TRUE(zenta::PassaTesteMedicao(n, medidor, Moeda(100), 1));  // a new meter starts low
    n.dataFinalContrato = 5;
    EXPECT_FALSE(zenta::PassaTesteMedicao(n, medidor, Moeda(100), 6));
    medidor.vQuantidadeAtual.int64 = std::numeric_limits<LONGLONG>::min();  // no wrap on hostile values
    n.dataFinalContrato = 0;
    EXPECT_TRUE(zenta::PassaTesteMedicao(n, medidor, Moeda(100), 6));
    medidor.vQuantidadeAtual.int64 = std::numeric_limits<LONGLONG>::max();  // nor past the top into "due"
    n.vQuantidadeFalta = Moeda(200);
    EXPECT_FALSE(zenta::PassaTesteMedicao(n, medidor, Moeda(100), 6));

    const bool combinacoes[4][2] = {{false, false}, {true, false}, {false, true}, {true, true}};
    const bool esperado[5][4] = {{false, false, false, false},  // unknown kind 0
                                 {false, true, true, true},     // 1: either
                                 {false, true, false, true},    // 2: time
                                 {false, false, true, true},    // 3: meter
                                 {false, false, false, true}};  // 4: both
    for (ULONG tipo = 0; tipo <= 4; ++tipo) {
        m.frequenciaPS.lTipoFrequencia = tipo;
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(zenta::ManutencaoVencida(m, combinacoes[c][0], combinacoes[c][1]), esperado[tipo][c])
                << tipo << " " << c;
    }
}

TEST(RegrasVencimento, TextoDoEmail) {
    const std::string partes[3] = {" - Marca Boa", "", " - Compressor"};
    const std::string corpo =
        zenta::CorpoEmailAviso("Carlos Mecânico", 12, "Compressor de ar", partes, "SN-\xC7", Data(2026, 3, 11));
    EXPECT_EQ(corpo, zenta::Utf8ParaCp1252("Prezado Sr.: Carlos Mecânico \n\nManutenção: Nº 12\n\nInformamos que o "
                                           "equipamento Compressor de ar - Marca Boa - Compressor - SN-Ç foi "
                                           "encaminhado aos seus cuidados.\n\nPrevisão: 11/03/2026\n\nAtenciosamente."));
    EXPECT_EQ(zenta::AssuntoEmailAviso(), "Aviso de Equipamento para Manuten\xE7\xE3o");
    // A name holding a format directive is text.
    const std::string vazias[3];
    EXPECT_THAT(zenta::CorpoEmailAviso("%s%n", 1, "x", vazias, "", 0), ::testing::HasSubstr("Sr.: %s%n \n"));
}

// ---- The daily verification ------------------------------------------------------------------

// Ten days counted fall due on the tenth day, eleven on the next; a plan
// whose client's term or whose contract has ended never does; a client
// without an end date is in force. The order opened holds the plan's and the
// maintenance's data.
TEST_F(Verificacao, DezDiasContadosVenceHojeOnzeNao) {
    const ULONG hoje = Hoje();
    const struct {
        Frequencia f;
        Cliente cliente;
        ULONG ordensDia10, ordensDia11;
    } planos[] = {
        {{.dias = 10, .servicoCadastro = 31}, {}, 1, 1},
        {{.dias = 11}, {}, 0, 1},
        {{.dias = 10}, {.codigo = 5, .dataInicial = hoje - 30, .dataFinal = hoje + 5}, 0, 0},
        {{.dias = 10, .servicoCadastro = 99}, {.codigo = 6, .dataInicial = hoje - 30}, 1, 1},  // a service no longer there
        {{.dias = 10, .dataFinalContrato = hoje + 9}, {}, 0, 0},  // ended the day before
        {{.dias = 10}, {.codigo = 5, .dataFinal = hoje + 10}, 1, 1},  // the client's last day
    };
    std::vector<LONG> pos;
    for (ULONG i = 0; i < std::size(planos); ++i) pos.push_back(NovoPlano(planos[i].f, 10 + i, planos[i].cliente));
    EXPECT_EQ(OrdensDoPlano(pos[0])->Quantidade(), 0u);

    DiasDepois(10);
    Abre();
    for (ULONG i = 0; i < std::size(planos); ++i) ASSERT_EQ(OrdensDoPlano(pos[i])->Quantidade(), planos[i].ordensDia10) << i;
    EXPECT_EQ((*OrdensDoPlano(pos[3]))[0].lCliente, 6u);
    EXPECT_STREQ((*OrdensDoPlano(pos[3]))[0].szNomeManutencao, "Limpeza");  // the maintenance's own name
    const auto ordens = OrdensDoPlano(pos[0]);
    const _REG_MOVIMENTACAO_MANUT_PREV_PS& o = (*ordens)[0];
    EXPECT_EQ(REG_QVDMC(o.dmcChave).GetMa(), REG_QVDMA::Hoje().GetMa());
    EXPECT_EQ(std::tie(o.lSituacao, o.lFilial, o.lCliente, o.lEquipamento, o.lMarca, o.lTipo, o.lPonteiroCadastro,
                       o.lTecnico, o.lCodigoManutencao, o.horaDuracao.int64, o.dataPrevista),
              std::make_tuple(0u, 1u, 5u, 10u, 2u, 4u, static_cast<ULONG>(pos[0]), 7u,
                              Manutencao(pos[0]).lCodigoManutencao, Moeda(4).int64, Hoje()));
    EXPECT_STREQ(o.szNrSerie, "SN-1");
    EXPECT_STREQ(o.szParadaManutencao, "Parada total");
    EXPECT_EQ(std::string(o.szNomeManutencao), zenta::Utf8ParaCp1252("Revisão geral"));  // the service's name
    EXPECT_EQ(zenta::BstrParaCp1252(o.bsObservacao), "Verificar correias");
    ASSERT_EQ(o.listaProdutos.lQtdProdutos, 1u);
    const auto& p = o.listaProdutos.pProdutos[0];
    ASSERT_EQ(p.listaLocal.lQtdEstoque, 2u);
    const auto& local = p.listaLocal.pLocaisEstoque[1];
    EXPECT_EQ(std::tie(p.lProduto, p.lTecnico, p.vQuantidadePrevista.int64, p.vQuantidadeUtilizada.int64,
                       local.lPonteiroLocal, local.lPonteiroLote, local.vQuantidadeEs.int64),
              std::make_tuple(21u, 7u, Moeda(3).int64, Moeda(3).int64, 4u, 8u, Moeda(2).int64));
    ASSERT_EQ(o.listaServicos.lQtdServicos, 1u);
    const auto& servico = o.listaServicos.pServicos[0];
    EXPECT_EQ(std::tie(servico.lServico, servico.vQuantidadePrevista.int64, servico.vQuantidadeUtilizada.int64),
              std::make_tuple(31u, Moeda(2).int64, Moeda(2).int64));
    // The day's reading was recorded for the plan, still active.
    _REG_FILTRO_MEDICAO_PS filtro{};
    filtro.lTipoIdentificacao = 2;
    filtro.lPonteiroCadastro = static_cast<ULONG>(pos[0]);
    _REG_LISTA_PTRS_CADASTRO_PS ativas{};
    ASSERT_EQ(m_servico->BuscaPonteirosMedicaoAtual(filtro, &ativas), S_OK);
    EXPECT_EQ(ativas.lQtdPtrs, 1u);
    CoTaskMemFree(ativas.pPonteiros);
    // The days were counted and kept: one day still to run.
    const auto m = Manutencao(pos[1]);
    EXPECT_EQ(static_cast<LONG>(m.lQuantidadeDiasFalta), 1);
    EXPECT_EQ(m.dataUltimaVerificacaoMedicao, Hoje());
    EXPECT_EQ(Manutencao(pos[0]).bMovimentacaoGerada, 1);
    _REG_CADASTRO_PROPRIEDADES_PS propriedades{};
    ASSERT_EQ(m_servico->LePropriedades(&propriedades), S_OK);
    EXPECT_EQ(propriedades.dataUltimaVerificacaoMedicao, Hoje());

    // Past its contract, neither days long overdue nor a reading make a maintenance due.
    DefineContadores(pos[4], -100, 0);
    DiasDepois(1);
    Abre();
    Leitura(1, 14);
    for (ULONG i = 0; i < std::size(planos); ++i) EXPECT_EQ(OrdensDoPlano(pos[i])->Quantidade(), planos[i].ordensDia11) << i;
}

TEST_F(Verificacao, DuasSessoesAoMesmoTempoUmaSoOrdem) {
    const LONG plano = NovoPlano({.dias = 10});
    m_servico.reset();
    DiasDepois(10);
    std::vector<std::thread> sessoes;
    for (ULONG usuario : {7u, 8u, 1u, 2u})
        sessoes.emplace_back([usuario] {
            ComEscopo com;
            Servico s = NovoServico(kEmpresa, usuario);
        });
    for (auto& t : sessoes) t.join();
    Abre();
    EXPECT_EQ(OrdensDoPlano(plano)->Quantidade(), 1u);
}

// ---- Readings --------------------------------------------------------------------------------

TEST_F(Verificacao, LeituraAbaixoDaMedicaoInicialNemDisparaNemConta) {
    const LONG plano = NovoPlano({.tipo = 3, .medicao = 100, .inicial = 1000});
    Leitura(900);
    EXPECT_EQ(OrdensDoPlano(plano)->Quantidade(), 0u);
    EXPECT_EQ(Manutencao(plano).vQuantidadeFalta.int64, Moeda(100).int64);
    Leitura(1000);  // at the initial value: still not counted
    EXPECT_EQ(Manutencao(plano).vQuantidadeFalta.int64, Moeda(100).int64);
    EXPECT_EQ(Manutencao(plano).bTemMedicaoInformada, 0) << "a later edit arms it again";
    Leitura(1060);
    EXPECT_EQ(Manutencao(plano).vQuantidadeFalta.int64, Moeda(40).int64);
    EXPECT_EQ(OrdensDoPlano(plano)->Quantidade(), 0u);
    Leitura(1100);
    const auto ordens = OrdensDoPlano(plano);
    ASSERT_EQ(ordens->Quantidade(), 1u);
    EXPECT_EQ((*ordens)[0].vQuantidadeMedicao.int64, Moeda(1100).int64);
}

TEST_F(Verificacao, Tipo4PrecisaDosDoisTestes) {
    const LONG plano = NovoPlano({.tipo = 4, .dias = 10, .medicao = 100}, 10, {}, 500);
    DiasDepois(2);
    Leitura(700);  // the meter passes (200 of 100), the time does not
    EXPECT_EQ(OrdensDoPlano(plano)->Quantidade(), 0u);
    EXPECT_EQ(Manutencao(plano).vQuantidadeFalta.int64, Moeda(-100).int64);

    const LONG outro = NovoPlano({.tipo = 4, .dias = 10, .medicao = 100}, 11, {}, 500);
    DiasDepois(10);
    Abre();  // kind 4 is not verified at start-up
    EXPECT_EQ(OrdensDoPlano(plano)->Quantidade(), 0u);
    Leitura(550, 11);  // the time passes, the meter does not (50 of 100)
    EXPECT_EQ(OrdensDoPlano(outro)->Quantidade(), 0u);
    Leitura(701);  // both
    EXPECT_EQ(OrdensDoPlano(plano)->Quantidade(), 1u);
}

// ---- Notices ------------------------------------------------------------------------------

TEST_F(Verificacao, SemAvisoEmTelaNaoHaAvisos) {
    // A company with properties but without plans still records the day of its verification.
    Propriedades(1, 0);
    DiasDepois(1);
    Abre();
    _REG_CADASTRO_PROPRIEDADES_PS lidas{};
    ASSERT_EQ(m_servico->LePropriedades(&lidas), S_OK);
    EXPECT_EQ(lidas.dataUltimaVerificacaoMedicao, Hoje());
    Propriedades(0, 0);
    const LONG plano = NovoPlano({.dias = 10});
    DiasDepois(10);
    Abre();
    ASSERT_EQ(OrdensDoPlano(plano)->Quantidade(), 1u);
    EXPECT_TRUE(Avisos().empty());
    // Turned on later, the day's earlier order has no notice.
    Propriedades(1, 0);
    EXPECT_TRUE(Avisos().empty());
}

TEST_F(Verificacao, AvisoChegaAoSeuTecnicoUmaVez) {
    Propriedades(1, 0);
    const LONG doSete = NovoPlano({.dias = 10, .tecnico = 7}, 10);
    const LONG doOito = NovoPlano({.dias = 10, .tecnico = 8}, 11);
    NovoPlano({.dias = 10, .tecnico = 1}, 12);
    DiasDepois(10);
    Abre(8);
    // A notice whose order cannot be read (past its month file) is left out
    // and logged; the list still goes out.
    REG_MOVIMENTACOES_DIARIAS_V1 perdido{};
    perdido.lPonteiroMovimentacao = 99;
    perdido.maMovimentacao = REG_QVDMA::Hoje().GetMa();
    ULONGLONG posicao = 0;
    ASSERT_EQ(CBaseManutencaoPreventiva::m_ContainerFacade.GetDataBase(kEmpresa)->m_MovimentacoesDia.Grava(posicao, perdido),
              S_OK);
    const auto avisosOito = Avisos();
    ASSERT_EQ(avisosOito.size(), 1u);
    EXPECT_EQ(avisosOito[0].lPonteiroCadastro, static_cast<ULONG>(doOito));
    EXPECT_TRUE(Avisos().empty());
    EXPECT_THAT(zenta::teste::TextoDosLogs(m_home.Raiz()), ::testing::HasSubstr("the notice is left out"));

    Abre(7);
    const auto avisosSete = Avisos();
    ASSERT_EQ(avisosSete.size(), 1u);
    EXPECT_EQ(avisosSete[0].lPonteiroCadastro, static_cast<ULONG>(doSete));
    EXPECT_EQ(avisosSete[0].dmcChave, (*OrdensDoPlano(doSete))[0].dmcChave);
    EXPECT_TRUE(Avisos().empty());

    // The next day's verification starts an empty list: user 1's notice of
    // yesterday, never shown, is gone.
    DiasDepois(1);
    Abre(1);
    EXPECT_TRUE(Avisos().empty());
}

TEST_F(Verificacao, EmailAoTecnicoQuandoPedido) {
    ASSERT_EQ(Banco()->ExecutaSql("INSERT INTO produto (codigo, nome) VALUES (40, 'Filtro');"
                                  "INSERT INTO item_grade (codigo, nome) VALUES (5, 'Azul');"),
              S_OK);
    zenta::teste::SmtpSink sink;
    ConfiguraSmtp(sink.Porta());
    Propriedades(1, 1);
    const LONG plano = NovoPlano({.dias = 10});
    const LONG doProduto = NovoPlano({.dias = 10}, 0, {}, 0, 40, 5);
    NovoPlano({.dias = 10, .tecnico = 8}, 11);  // a technician without an address: no e-mail
    DiasDepois(10);
    Abre();
    ASSERT_EQ(OrdensDoPlano(plano)->Quantidade(), 1u);
    ASSERT_EQ(OrdensDoPlano(doProduto)->Quantidade(), 1u);
    std::vector<std::string> mensagens;
    for (const auto& m : sink.Mensagens()) {
        EXPECT_EQ(m.destinatarios, std::vector<std::string>{"carlos@teste.example"});
        mensagens.push_back(m.sDados);
    }
    ASSERT_EQ(mensagens.size(), 2u);
    std::sort(mensagens.begin(), mensagens.end(), [](const std::string& a, const std::string& b) {
        return a.find("Filtro") < b.find("Filtro");  // the product's first (the other has none: npos)
    });
    // The names come from the ERP's tables: the equipment's, or the product's and its grade's.
    EXPECT_THAT(mensagens[1], ::testing::HasSubstr("o equipamento Compressor de ar - Marca Boa - Compressor - SN"));
    EXPECT_THAT(mensagens[1], ::testing::HasSubstr("Previs=C3=A3o: 11/03/2026"));
    EXPECT_THAT(mensagens[0], ::testing::HasSubstr("o equipamento Filtro - Azul - SN"));
    // Nothing went to the Maildir, and the notices are written as well.
    EXPECT_FALSE(std::filesystem::exists(m_home.Raiz() / "mail"));
    EXPECT_EQ(Avisos().size(), 2u);
}

// ---- A company's life: restarts, edits and failures -------------------------------------------

// A code an order still names stays taken after its maintenance has left its
// plan and, with the next compaction, the file; the company's only plan
// emptied so leaves it with empty files that still start.
TEST_F(Verificacao, ACodeAnOrderStillNamesIsNotGivenAgain) {
    const LONG vencido = NovoPlano({.dias = 10}, 20);
    const ULONG usado = Manutencao(vencido).lCodigoManutencao;
    DiasDepois(10);
    Abre();
    ASSERT_EQ(OrdensDoPlano(vencido)->Quantidade(), 1u);
    PlanoLido sem;
    ASSERT_EQ(m_servico->Le(vencido, &sem.p), S_OK);
    const ULONG quantas = sem.p.listaManutencoes.lQtdManutencoes;
    sem.p.listaManutencoes.lQtdManutencoes = 0;
    LONG posicao = vencido;
    ASSERT_EQ(m_servico->Grava(&posicao, sem.p), S_OK);
    sem.p.listaManutencoes.lQtdManutencoes = quantas;  // what the record frees
    Abre();
    EXPECT_GT(Manutencao(NovoPlano({.dias = 10}, 21)).lCodigoManutencao, usado);
}

// An observation kept by a position past the text file: refused before
// anything is written, the last error naming the field. (Plans edited down
// to empty lists, and the start-ups after them, the simulator lives.)
TEST_F(Verificacao, AnObservationPastTheTextFileIsRefusedNamingTheField) {
    const LONG plano = NovoPlano({.dias = 10});
    PlanoLido lido;
    ASSERT_EQ(m_servico->Le(plano, &lido.p), S_OK);
    auto& m = lido.p.listaManutencoes.pManutencoes[0];
    const auto arquivo = Dados("GEMPCADMA.dat");
    const auto tamanho = std::filesystem::file_size(arquivo);
    m.frequenciaPS.szObservacao.ulQtdBytes = 0;
    m.frequenciaPS.lObservacao = 999;
    LONG pos = plano;
    EXPECT_EQ(m_servico->Grava(&pos, lido.p), static_cast<HRESULT>(0x810809DAu));
    EXPECT_EQ(std::filesystem::file_size(arquivo), tamanho);
    EXPECT_THAT(zenta::teste::UltimoErro(*m_servico), ::testing::HasSubstr("lObservacao"));
}

TEST_F(Verificacao, AnOrderSavedConcludedKeepsItsKeyWhenTheReArmOpensAnother) {
    const LONG plano = NovoPlano({.dias = 10});
    // Another plan of the same identification whose meter maintenance is
    // due, waiting for its client (from tomorrow) to open its order.
    const LONG outro = NovoPlano({.tipo = 3, .medicao = 50}, 10, {.dataInicial = Hoje() + 1});
    Leitura(100);
    ASSERT_EQ(OrdensDoPlano(outro)->Quantidade(), 0u);
    DiasDepois(1);

    _REG_MOVIMENTACAO_MANUT_PREV_PS ordem{};
    ordem.dmcChave = REG_QVDMC().SetDMC(0, REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV, REG_QVDMA::Hoje().GetMa()).Get64();
    ordem.lFilial = 1;
    ordem.lCliente = 5;
    ordem.lSituacao = 1;
    ordem.lPonteiroCadastro = static_cast<ULONG>(plano);
    ordem.lCodigoManutencao = Manutencao(plano).lCodigoManutencao;
    ULONGLONG chave = 0;
    ASSERT_EQ(m_servico->GravaMovimentacao(ordem, &chave), S_OK);
    _REG_MOVIMENTACAO_MANUT_PREV_PS lida{};
    ASSERT_EQ(m_servico->LeMovimentacao(chave, &lida), S_OK);
    EXPECT_EQ(lida.lCodigoManutencao, ordem.lCodigoManutencao);
    EXPECT_EQ(lida.lSituacao, 1u);
    zenta::LiberaListasMovimentacao(lida);
    EXPECT_EQ(OrdensDoPlano(outro)->Quantidade(), 1u) << "the re-arm's verification opened the other order";
}

TEST_F(Verificacao, AMailServerDownFailsNothingAndTheMessageWaitsForTheNextSend) {
    ConfiguraSmtp(1);  // nothing listens there
    Propriedades(1, 1);
    const LONG plano = NovoPlano({.dias = 10});
    DiasDepois(10);
    Abre();  // the day's first start-up succeeds
    EXPECT_EQ(OrdensDoPlano(plano)->Quantidade(), 1u);
    EXPECT_EQ(Avisos().size(), 1u);
    const auto saida = m_home.Raiz() / "mail" / kEmpresa / ".Saida" / "new";
    const auto Esperando = [&saida] {
        std::error_code ec;
        std::size_t n = 0;
        for (auto it = std::filesystem::directory_iterator(saida, ec); !ec && it != std::filesystem::directory_iterator();
             ++it)
            ++n;
        return n;
    };
    EXPECT_EQ(Esperando(), 1u);

    zenta::teste::SmtpSink sink;
    ConfiguraSmtp(sink.Porta());
    DiasDepois(1);
    Abre();  // the next day's start-up sends what waited
    ASSERT_EQ(sink.Mensagens().size(), 1u);
    EXPECT_EQ(sink.Mensagens()[0].destinatarios, std::vector<std::string>{"carlos@teste.example"});
    EXPECT_EQ(Esperando(), 0u);
}

TEST_F(Verificacao, HostileRecordsAreRefusedNamingTheField) {
    const LONG plano = NovoPlano({.dias = 10});
    const ULONG codigo = Manutencao(plano).lCodigoManutencao;
    const auto ErroNomeia = [this](const char* campo) {
        EXPECT_THAT(zenta::teste::UltimoErro(*m_servico), ::testing::HasSubstr(campo)) << campo;
    };
    const struct {
        const char* campo;
        void (*muda)(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS&);
    } planos[] = {
        {"lSituacao", [](auto& p) { p.idEquipamentoPS.lSituacao = 0; }},
        {"lSituacao", [](auto& p) { p.idEquipamentoPS.lSituacao = 7; }},
        {"lTipoFrequencia", [](auto& p) { p.listaManutencoes.pManutencoes[0].frequenciaPS.lTipoFrequencia = 99; }},
        {"vFrequenciaMedicao", [](auto& p) { p.listaManutencoes.pManutencoes[0].frequenciaPS.vFrequenciaMedicao.int64 = -1; }},
        {"szObservacao",
         [](auto& p) {
             constexpr ULONG kBytes = 64 * 1024 + 2;  // one character past the default limit, and the zero
             auto& texto = p.listaManutencoes.pManutencoes[0].frequenciaPS.szObservacao;
             CoTaskMemFree(texto.pTexto);  // the record frees what it holds
             texto.pTexto = static_cast<BYTE*>(CoTaskMemAlloc(kBytes));
             std::memset(texto.pTexto, 'x', kBytes - 1);
             texto.pTexto[kBytes - 1] = 0;
             texto.ulQtdBytes = kBytes;
         }},
    };
    for (const auto& caso : planos) {
        PlanoLido lido;
        ASSERT_EQ(m_servico->Le(plano, &lido.p), S_OK);
        caso.muda(lido.p);
        LONG pos = 0;
        EXPECT_EQ(m_servico->Grava(&pos, lido.p), E_INVALIDARG) << caso.campo;
        ErroNomeia(caso.campo);
    }
    const struct {
        const char* campo;
        ULONG situacao, plano, codigo;
        UINT observacao = 0;  // characters of the remark
    } ordens[] = {{"lSituacao", 7, 1, codigo},
                  {"lPonteiroCadastro", 0, 999999, codigo},
                  {"lCodigoManutencao", 0, 1, 999999},
                  {"bsObservacao", 0, 1, codigo, 64 * 1024 + 1}};  // one character past the default limit
    for (const auto& caso : ordens) {
        _REG_MOVIMENTACAO_MANUT_PREV_PS o{};
        o.lSituacao = caso.situacao;
        o.lPonteiroCadastro = caso.plano;
        o.lCodigoManutencao = caso.codigo;
        const std::unique_ptr<OLECHAR, decltype(&SysFreeString)> observacao(
            SysAllocStringLen(nullptr, caso.observacao), &SysFreeString);
        std::fill_n(observacao.get(), caso.observacao, OLECHAR{'x'});
        o.bsObservacao = observacao.get();
        ULONGLONG chave = 0;
        EXPECT_EQ(m_servico->GravaMovimentacao(o, &chave), E_INVALIDARG) << caso.campo;
        ErroNomeia(caso.campo);
    }
    _REG_CADASTRO_MEDICAO_ATUAL_PS r{};
    r.regMedicaoAtual.vQuantidadeMedicao = Moeda(-5);
    EXPECT_EQ(m_servico->GravaMedicaoAtual(&r, 0, 1), E_INVALIDARG);
    ErroNomeia("vQuantidadeMedicao");
    _REG_FILTRO_CADASTRO_MANUTENCAO_PS filtro{};
    filtro.lTipoIdentificacao = 2;
    _REG_LISTA_PTRS_CADASTRO_PS lista{};
    ASSERT_EQ(m_servico->BuscaPonteiros(filtro, &lista), S_OK);
    EXPECT_EQ(lista.lQtdPtrs, 1u) << "nothing was stored";
    CoTaskMemFree(lista.pPonteiros);
    EXPECT_EQ(OrdensDoPlano(plano)->Quantidade(), 0u);
}

TEST_F(Verificacao, DaysToRunAreSignedAndHeldInRange) {
    // An interval too long for the counter is held at its top, never wrapped.
    const LONG plano = NovoPlano({.dias = 3000000000u});
    EXPECT_EQ(static_cast<LONG>(Manutencao(plano).lQuantidadeDiasFalta), std::numeric_limits<LONG>::max());
    DiasDepois(1);
    Abre();
    EXPECT_EQ(OrdensDoPlano(plano)->Quantidade(), 0u);
    EXPECT_EQ(zenta::DiasDescontados(static_cast<ULONG>(std::numeric_limits<LONG>::min()), 5),
              static_cast<ULONG>(std::numeric_limits<LONG>::min()));

    // Exchanged as a signed number, so that what is read can be written back.
    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS m{};
    m.lQuantidadeDiasFalta = static_cast<ULONG>(-19);
    nlohmann::json json;
    std::string erro;
    ASSERT_EQ(zenta::RegistroParaJson(m, json, erro), S_OK) << erro;
    EXPECT_EQ(json.at("lQuantidadeDiasFalta"), -19);
    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS volta{};
    ASSERT_EQ(zenta::JsonParaRegistro(json, volta, erro), S_OK) << erro;
    EXPECT_EQ(volta.lQuantidadeDiasFalta, m.lQuantidadeDiasFalta);
    zenta::LiberaRegistro(volta);
}

}  // namespace
