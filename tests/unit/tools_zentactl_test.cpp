// zentactl end to end: the built program run in a fresh $ZENTA_HOME, its
// exit status, standard output (tables or --json), standard error, the
// reports it writes, and verification on days set with --data or faketime.

#include <sstream>

#include <nlohmann/json.hpp>

#include "support/RelatorioTeste.h"
#include "support/ZentaHomeTemporario.h"
#include "support/ZentactlTeste.h"
#include "tools/zentactl/Erros.h"
#include "tools/zentactl/Tabela.h"
#include "tools/zentactl/Valores.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/QVMesAno.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using zenta::ctl::ErroUso;
using ::testing::HasSubstr;

CY Cy(LONGLONG v) {
    CY c;
    c.int64 = v;
    return c;
}

// ---- Values typed on the command line and values shown to people ----------

TEST(ZentactlValores, DatasMesesEHorasSoValidos) {
    using namespace zenta::ctl;
    EXPECT_EQ(LeData("2026-03-15", "--data"), REG_QVDMA(15, 3, 2026).GetData());
    EXPECT_EQ(LeData("2024-02-29", "--data"), REG_QVDMA(29, 2, 2024).GetData());
    EXPECT_EQ(LeData("", "--data"), 0u);
    for (const char* ruim : {"2023-02-29", "2026-13-01", "2026-00-10", "2026-1-01", "26-03-15", "2026/03/15",
                             "1847-12-31", "4718-01-01", "2026-03-15x", "abcd-ef-gh"})
        EXPECT_THROW(LeData(ruim, "--data"), ErroUso) << ruim;

    EXPECT_EQ(LeMesAno("2026-03", "--de"), QVMAFromMesAno(3, 2026));
    EXPECT_EQ(LeMesAno("", "--de"), 0);
    for (const char* ruim : {"2026-3", "2026-13", "2026-00", "202603", "2026-03-01"})
        EXPECT_THROW(LeMesAno(ruim, "--de"), ErroUso) << ruim;

    EXPECT_EQ(LeHora("08:30", "--hora"), 8 * 3600 + 30 * 60);
    EXPECT_EQ(LeHora("23:59:59", "--hora"), 86399);
    for (const char* ruim : {"24:00", "12:60", "8:30", "08:30:60", "0830", "", "08-30"})
        EXPECT_THROW(LeHora(ruim, "--hora"), ErroUso) << ruim;
}

TEST(ZentactlValores, QuantidadesEChavesSemEstouro) {
    using namespace zenta::ctl;
    EXPECT_EQ(LeQuantidade("1250.5", "q").int64, 12'505'000);
    EXPECT_EQ(LeQuantidade("1250,5", "q").int64, 12'505'000);  // a decimal comma too
    EXPECT_EQ(LeQuantidade("-0.0001", "q").int64, -1);
    EXPECT_EQ(LeQuantidade("0", "q").int64, 0);
    EXPECT_EQ(LeQuantidade("900000000000000", "q").int64, 9'000'000'000'000'000'000LL);
    for (const char* ruim : {"", "-", ".5", "1.23456", "1e3", "12a", "1 000", "9000000000000000", "--1"})
        EXPECT_THROW(LeQuantidade(ruim, "q"), ErroUso) << ruim;

    EXPECT_EQ(LeNumero64("18446744073709551615", "--dmc"), 18446744073709551615ull);
    for (const char* ruim : {"18446744073709551616", "", "-1", "12x", "999999999999999999999"})
        EXPECT_THROW(LeNumero64(ruim, "--dmc"), ErroUso) << ruim;
}

TEST(ZentactlValores, SerieCabeNoCampoComTerminador) {
    char campo[8];
    std::memset(campo, 'x', sizeof campo);
    zenta::ctl::CopiaSerie(campo, sizeof campo, "Ação-1");  // 6 bytes in Windows-1252
    EXPECT_STREQ(campo, "A\xE7\xE3o-1");
    EXPECT_NO_THROW(zenta::ctl::CopiaSerie(campo, sizeof campo, "1234567"));
    EXPECT_THROW(zenta::ctl::CopiaSerie(campo, sizeof campo, "12345678"), ErroUso);
    EXPECT_THROW(zenta::ctl::CopiaSerie(campo, sizeof campo, std::string("a\0b", 3)), ErroUso);
}

TEST(ZentactlValores, FormatosParaPessoas) {
    using namespace zenta::ctl;
    EXPECT_EQ(FormataData(REG_QVDMA(5, 1, 2026).GetData()), "05/01/2026");
    EXPECT_EQ(FormataData(0), "");
    EXPECT_EQ(FormataMesAno(QVMAFromMesAno(12, 2026)), "12/2026");
    EXPECT_EQ(FormataHora(8 * 3600 + 5 * 60 + 59), "08:05");
    EXPECT_EQ(FormataHora(0), "");

    // Half away from zero; no "-0,00"; more than 4 decimals shows 4.
    for (const auto& [bruto, casas, texto] :
         {std::tuple{12'505'000LL, 2, "1250,50"}, {12'505'000LL, 0, "1251"}, {-12'505'000LL, 0, "-1251"},
          {15'000LL, 4, "1,5000"}, {-4LL, 2, "0,00"}, {99'999LL, 1, "10,0"}, {1LL, 9, "0,0001"},
          {LONGLONG{INT64_MIN}, 4, "-922337203685477,5808"}, {LONGLONG{INT64_MAX}, 0, "922337203685478"}})
        EXPECT_EQ(FormataMoeda(Cy(bruto), casas), texto) << bruto << " " << casas;
}

TEST(ZentactlValores, TabelaAlinhaPorCaracteresUtf8) {
    zenta::ctl::Tabela t({"Nome", ">Qtd", "Obs"});
    t.Linha({"Óleo", "12,5", "ok"});
    t.Linha({"Filtro de ar", "1", ""});
    std::ostringstream saida;
    t.Imprime(saida);
    EXPECT_EQ(saida.str(),
              "Nome           Qtd  Obs\n"
              "------------  ----  ---\n"
              "Óleo          12,5  ok\n"
              "Filtro de ar     1\n");
}

using Resultado = zenta::teste::ResultadoZentactl;

// A plan for an equipment with one monthly maintenance.
constexpr const char* kPlano = R"({
  "idEquipamentoPS": {"lFilial": 1, "lEquipamento": 10, "lSituacao": 1, "szNrSerie": "ABC"},
  "listaManutencoes": {"pManutencoes": [
    {"frequenciaPS": {"lTipoFrequencia": 2, "lTipoFrequenciaTempo": 1, "lFrequenciaTempo": 30},
     "szNomeManutencao": "Mensal", "listaServicos": {"pServicos": [{"lServico": 3, "vQuantidadePrevista": "1.5"}]}},
    {"frequenciaPS": {"lTipoFrequencia": 3, "vFrequenciaMedicao": "500", "lQtdCasasDecimaisMedicao": 1},
     "szNomeManutencao": "500 horas"}
  ]}
})";

constexpr const char* kCadastros = R"({
  "filial": [{"codigo": 1, "nome": "Matriz"}, {"codigo": 2, "nome": "Filial Sul"}],
  "usuario": [{"codigo": 1, "nome": "Administrador", "email": "adm@exemplo.example"}],
  "equipamento": [{"codigo": 10, "nome": "Prensa hidráulica", "nr_serie": "ABC", "filial": 1}]
})";

class Zentactl : public zenta::teste::ZentactlTeste {
protected:
    // The --json answer of a command that must succeed.
    json Json(const std::vector<std::string>& argumentos, const std::string& entrada = "") {
        return ExecutaOk(argumentos, entrada).Json();
    }
    // A command that must fail with status 1 naming `trecho` in standard
    // error; gives standard error.
    std::string Falha(const std::vector<std::string>& argumentos, const std::string& trecho,
                      const std::string& entrada = "") {
        const Resultado r = Executa(argumentos, entrada);
        EXPECT_EQ(r.status, 1) << trecho;
        EXPECT_THAT(r.erro, HasSubstr(trecho));
        return r.erro;
    }
    // Saves kPlano (or `documento`) as a new plan and returns its position.
    long SalvaPlano(const std::string& documento = kPlano) {
        return Json({"--json", "plans", "save", "--file", Arquivo("plano.json", documento)})
            .at("lPonteiroRegistro")
            .get<long>();
    }
};

TEST_F(Zentactl, AjudaEmCadaNivelEErrosDeUso) {
    for (const std::vector<std::string>& nivel : std::vector<std::vector<std::string>>{{"--help"}, {"orders", "save", "--help"}}) {
        const Resultado r = Executa(nivel);
        EXPECT_EQ(r.status, 0) << nivel.front();
        EXPECT_THAT(r.saida, HasSubstr("Usage:")) << nivel.front();
    }
    // Usage errors exit 2 and never reach the service: one of each kind (no
    // command, unknown or incomplete command, a missing option, a global
    // option, a number, a choice, a date, a month, a text too long, two forms
    // at once).
    for (const std::vector<std::string>& uso : std::vector<std::vector<std::string>>{
             {}, {"plans"}, {"plans", "bogus"}, {"plans", "show"}, {"plans", "show", "0"}, {"readings", "record"},
             {"--usuario", "0", "plans", "find"},
             {"orders", "find", "--tipo-identificacao", "5"}, {"orders", "find", "--de", "2026-02-30"},
             {"readings", "history", "--serie", "A", "--de", "2026-13"}, {"plans", "find", "--serie", std::string(60, 'x')},
             {"plans", "exclude", "--dmc", "1", "--ponteiro", "5", "--mes", "2026-03"}}) {
        const Resultado r = Executa(uso);
        EXPECT_EQ(r.status, 2) << (uso.empty() ? "(nothing)" : uso.back()) << ": " << r.erro;
    }
}

TEST_F(Zentactl, ErpImportaELista) {
    const json importa = Json({"--json", "erp", "import", Arquivo("erp.json", kCadastros)});
    EXPECT_EQ(importa.at("filial"), 2);
    EXPECT_EQ(importa.at("equipamento"), 1);

    // People get a table with the UTF-8 names, the codes aligned right; an
    // unknown table is a usage error.
    EXPECT_THAT(ExecutaOk({"erp", "list", "equipamento"}).saida, HasSubstr("    10  Prensa hidráulica"));
    EXPECT_EQ(Executa({"erp", "list", "sqlite_master"}).status, 2);

    // A bad document is refused whole, naming the place.
    const std::string ruim = Falha({"erp", "import", "-"}, "zentactl: erp import: 0x80070057 E_INVALIDARG: ",
                                   R"({"filial": [{"codigo": 3, "nome": "Nova"}], "planeta": []})");
    EXPECT_THAT(ruim, HasSubstr("planeta"));
    EXPECT_EQ(Json({"--json", "erp", "list", "filial"}).size(), 2u);
}

TEST_F(Zentactl, ExclusaoPelaChaveDeOrigem) {
    // A plan that came from record 5 of March 2026 (any movement kind).
    REG_QVDMC origem;
    origem.SetDMC(5, 31, QVMAFromMesAno(3, 2026));
    std::string documento = kPlano;
    documento.insert(documento.find('{') + 1, "\"dmcOrigem\": " + std::to_string(origem.Get64()) + ",");
    const long plano = SalvaPlano(documento);
    const long outro = SalvaPlano();
    ASSERT_NE(plano, 0);

    // Another month: nothing changes.
    ASSERT_EQ(Executa({"plans", "exclude", "--ponteiro", "5", "--mes", "2026-04"}).status, 0);
    EXPECT_EQ(Json({"--json", "plans", "find", "--ponteiros"}), json({plano, outro}));

    ExecutaOk({"plans", "exclude", "--ponteiro", "5", "--mes", "2026-03"});
    EXPECT_EQ(Json({"--json", "plans", "find", "--ponteiros"}), json({outro}));
    EXPECT_EQ(Json({"--json", "plans", "find", "--ponteiros", "--excluidos"}), json({plano, outro}));

    // The raw key does the same; both forms at once are a usage error.
    ASSERT_EQ(Executa({"plans", "exclude", "--dmc", std::to_string(origem.Get64())}).status, 0);
    EXPECT_EQ(Executa({"plans", "exclude", "--dmc", "99999999999999999999"}).status, 2);
}

TEST_F(Zentactl, MedicaoGravadaEEncontrada) {
    const json grava = Json({"--json", "readings", "record", "--equipamento", "5", "--serie", "Xyz-1", "--quantidade",
                             "1250.5", "--casas-decimais", "2", "--plano", "9", "--data", "2026-03-15", "--hora",
                             "08:30", "--historico", "--sem-calculo"});
    const long posicao = grava.at("lPonteiroRegistro").get<long>();
    EXPECT_EQ(grava.at("regMedicaoAtual").at("lTecnico"), 1);  // --usuario's default

    // For people: the decimals of the meter, dates DD/MM/YYYY, time HH:MM.
    const Resultado mostra = ExecutaOk({"readings", "show", std::to_string(posicao)});
    EXPECT_THAT(mostra.saida, HasSubstr("1250,50"));
    EXPECT_THAT(mostra.saida, HasSubstr("15/03/2026 08:30"));
    EXPECT_EQ(Json({"--json", "readings", "history", "--serie", "XYZ-1"}).size(), 1u);

    // Typed on the command line, a reading keeps the plan and decimals of
    // the stored reading of its identification (serial in any case), unless
    // told; a file is taken as it is.
    const json tipada = Json({"--json", "readings", "record", "--sem-calculo", "--equipamento", "5", "--serie",
                              "xyz-1", "--quantidade", "1400"});
    EXPECT_EQ(tipada.at("lPonteiroRegistro").get<long>(), posicao);
    EXPECT_EQ(tipada.at("regMedicaoAtual").at("lPonteiroCadastro"), 9);
    EXPECT_EQ(tipada.at("regMedicaoAtual").at("lQtdCasasDecimais"), 2);
    const json outra = Json({"--json", "readings", "record", "--file", "-", "--sem-calculo"},
                            R"({"lEquipamento": 5, "szNrSerie": "XYZ-1", "vQuantidadeMedicao": "1300"})");
    EXPECT_EQ(outra.at("lPonteiroRegistro").get<long>(), posicao);
    EXPECT_EQ(outra.at("regMedicaoAtual").at("lPonteiroCadastro"), 0);
    const json outroItem = Json(
        {"--json", "readings", "record", "--sem-calculo", "--equipamento", "5", "--marca", "1", "--serie", "XYZ-1"});
    EXPECT_NE(outroItem.at("lPonteiroRegistro").get<long>(), posicao);  // another brand: another identification
    EXPECT_EQ(outroItem.at("regMedicaoAtual").at("lPonteiroCadastro"), 0);
}

TEST_F(Zentactl, ErrosSaemComONomeDoCodigo) {
    const struct {
        std::vector<std::string> argumentos;
        const char* entrada;
        const char* trecho;  // in standard error
    } casos[] = {
        {{"plans", "show", "99"}, "", "E_QVCR_"},
        {{"properties", "set", "--file", "nao-existe.json"}, "", "0x80070002 ERROR_FILE_NOT_FOUND"},
        {{"properties", "set", "--file", "-"}, R"({"lQtdDiasAviso": -1})",
         "zentactl: properties set: 0x80070057 E_INVALIDARG: campo lQtdDiasAviso"},
        {{"plans", "save", "--file", "-"}, "{ isto não é json", "E_INVALIDARG"},
    };
    for (const auto& caso : casos) Falha(caso.argumentos, caso.trecho, caso.entrada);

    // A partial properties file changes only what it names.
    ASSERT_EQ(Executa({"properties", "set", "--file", "-"}, R"({"szNomeCampoDinamico1": "Chassi"})").status, 0);
    ASSERT_EQ(Executa({"properties", "set", "--file", "-"}, R"({"lQtdDiasAviso": 15})").status, 0);
    const json propriedades = Json({"--json", "properties", "show"});
    EXPECT_EQ(propriedades.at("szNomeCampoDinamico1"), "Chassi");
    EXPECT_EQ(propriedades.at("lQtdDiasAviso"), 15);
}

TEST_F(Zentactl, DemoCompletaERecusaEmpresaComPlanos) {
    // Another company's data must survive the demo's --recriar.
    ASSERT_EQ(Executa({"--empresa", "OUTRA", "erp", "import", Arquivo("erp.json", kCadastros)}).status, 0);

    // The demo ends writing both reports as PDF files, and tells people where.
    const Resultado demo = ExecutaOk({"demo"});
    const fs::path relatorios = m_home.Raiz() / "relatorios-demo" / "DEMO";
    for (const std::string& trecho : std::vector<std::string>{"Torno CNC TX-500", "every 3 months", "every 500,0 h", "1722,4",
                                                               "Maintenance orders", "concluded", "Service orders",
                                                               "-000001", (relatorios / "ordens.pdf").string()})
        EXPECT_THAT(demo.saida, HasSubstr(trecho)) << trecho;
    const std::string textoPlanos = zenta::teste::TextoPdf(relatorios / "planos.pdf");
    for (const char* trecho : {"Cadastro de Manutenção Preventiva", "Empresa: DEMO", "Plano: 1", "TOR-001",
                               "Manutenções", "Clientes", "BOAVISTA", "Página 1 de"})
        EXPECT_THAT(textoPlanos, HasSubstr(trecho)) << trecho;
    const std::string textoOrdens = zenta::teste::TextoPdf(relatorios / "ordens.pdf");
    for (const char* trecho : {"Ordens de Manutenção Preventiva", "Situação: Aberta", "Situação: Concluída",
                               "Produtos", "Serviços", "Almoxarifado central"})
        EXPECT_THAT(textoOrdens, HasSubstr(trecho)) << trecho;

    EXPECT_THAT(Falha({"demo"}, "already has 4 plans"), HasSubstr("--recriar"));

    const json recriada = Json({"--json", "demo", "--recriar"});
    EXPECT_EQ(recriada.at("planos"), json({1, 2, 3, 4}));
    EXPECT_EQ(recriada.at("relatorios"),
              json({(relatorios / "planos.pdf").string(), (relatorios / "ordens.pdf").string()}));
    EXPECT_EQ(Json({"--json", "plans", "find"}).size(), 4u);
    EXPECT_EQ(Json({"--empresa", "OUTRA", "--json", "erp", "list", "filial"}).size(), 2u);

    // Hostile company names never name a directory to remove; names that are
    // not UTF-8 of Windows-1252 characters would all have become "?".
    for (const char* nome : {"..", ".", "a/b", "", "\xFF", "\xE6\x97\xA5"})
        EXPECT_NE(Executa({"--empresa", nome, "demo", "--recriar"}).status, 0) << nome;
    EXPECT_TRUE(fs::exists(m_home.Raiz() / "data" / "OUTRA"));
    EXPECT_FALSE(fs::exists(m_home.Raiz() / "data" / "?"));

    // `report plans` takes the find filters, --model and --out.
    fs::create_directories(m_home.Raiz() / "relatorios");
    Arquivo("relatorios/lista.modelo", "formato = csv\ncampos = 101, 119, 102\n");
    const fs::path csv = m_home.Raiz() / "ativos.csv";
    const std::string escrito =
        ExecutaOk({"report", "plans", "--ativo", "--filial", "1", "--model", "lista", "--out", csv.string()}).saida;
    EXPECT_THAT(escrito, HasSubstr("Report written to " + csv.string()));
    const std::string texto = zenta::teste::LeArquivo(csv);
    EXPECT_THAT(texto, HasSubstr("Plano;Situação;Filial\r\n"));
    EXPECT_THAT(texto, HasSubstr("1;Ativo;1\r\n"));
    EXPECT_EQ(texto.find("Inativo"), std::string::npos) << texto;
    // Without --out: the default name in the current directory, with the model's extension.
    const fs::path anterior = fs::current_path();
    fs::current_path(m_home.Raiz());
    const Resultado padrao = ExecutaOk({"--json", "report", "plans", "--model", "lista"});
    fs::current_path(anterior);
    EXPECT_EQ(padrao.Json().at("arquivo").get<std::string>(), (m_home.Raiz() / "relatorio-planos.csv").string());
    EXPECT_TRUE(fs::exists(m_home.Raiz() / "relatorio-planos.csv"));

    // `report orders`: a filter that matches nothing writes no file.
    const fs::path pdf = m_home.Raiz() / "nada.pdf";
    EXPECT_THAT(ExecutaOk({"report", "orders", "--cliente", "999", "--out", pdf.string()}).saida,
                HasSubstr("No order matches the filter"));
    const json nenhum = Json({"--json", "report", "orders", "--cliente", "999", "--out", pdf.string()});
    EXPECT_TRUE(nenhum.at("arquivo").is_null());
    EXPECT_FALSE(fs::exists(pdf));
    ExecutaOk({"report", "orders", "--concluido", "--out", pdf.string()});
    EXPECT_THAT(zenta::teste::TextoPdf(pdf), HasSubstr("Troca de óleo"));
}

// ---- Maintenance orders ------------------------------------------------------

class ZentactlOrdens : public Zentactl {
protected:
    void SetUp() override {
        m_plano = SalvaPlano();
        ASSERT_NE(m_plano, 0);
        const json plano = Json({"--json", "plans", "show", std::to_string(m_plano)});
        m_codigo = plano.at("listaManutencoes").at("pManutencoes")[0].at("lCodigoManutencao").get<long>();
    }

    // An order of the plan's first maintenance: equipment 10 of branch 1, one
    // product (21) taken from stock place 3, one service.
    json Ordem(int situacao, const std::string& prevista = "2026-05-12") const {
        json ordem = json::parse(R"({
          "lFilial": 1, "lCliente": 4, "lEquipamento": 10, "szNrSerie": "ABC", "szNomeManutencao": "Mensal",
          "listaProdutos": {"pProdutos": [{"lProduto": 21, "lTecnico": 1, "vQuantidadePrevista": "2",
            "vQuantidadeUtilizada": "2",
            "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 3, "vQuantidadeEs": "2"}]}}]},
          "listaServicos": {"pServicos": [{"lServico": 3, "lTecnico": 1, "vQuantidadeUtilizada": "1.5"}]}
        })");
        ordem["lSituacao"] = situacao;
        ordem["lPonteiroCadastro"] = m_plano;
        ordem["lCodigoManutencao"] = m_codigo;
        ordem["dataPrevista"] = prevista;
        return ordem;
    }

    // Saves `ordem` (from a file) and returns the --json answer.
    json Salva(const json& ordem) {
        return Json({"--json", "orders", "save", "--file", Arquivo("ordem.json", ordem.dump())});
    }
    json Mostra(const std::string& chave) { return Json({"--json", "orders", "show", chave}); }

    long m_plano = 0;
    long m_codigo = 0;
};

TEST_F(ZentactlOrdens, PosicaoZeroCriaOrdensEAChaveDevolvidaRegravaAMesma) {
    const Resultado primeira = ExecutaOk({"orders", "save", "--file", Arquivo("ordem.json", Ordem(0).dump())});
    // For people: MM/YYYY-NNNNNN of the current month.
    int mes = 0, ano = 0;
    QVMAToMesAno(QVMAAtual(), mes, ano);
    char esperado[32];
    std::snprintf(esperado, sizeof esperado, "%02d/%04d-000001\n", mes, ano);
    EXPECT_EQ(primeira.saida, esperado);

    const json segunda = Salva(Ordem(0));
    const REG_QVDMC chave(segunda.at("dmcChave").get<ULONGLONG>());
    EXPECT_EQ(chave.GetPonteiro(), 2u);
    EXPECT_EQ(chave.GetTipoMovimento(), 84);
    EXPECT_EQ(segunda.at("chave").get<std::string>() + "\n", std::string(esperado).replace(8, 6, "000002"));

    // Saved back as shown: the same order, one version more; the MM/YYYY-N
    // form names it too.
    const std::string numero = std::to_string(chave.Get64());
    json lida = Mostra(numero);
    lida["szNomeManutencao"] = "Mensal revista";
    EXPECT_EQ(Salva(lida).at("dmcChave").get<ULONGLONG>(), chave.Get64());
    const json depois = Mostra(segunda.at("chave").get<std::string>());
    EXPECT_EQ(depois.at("lVersaoRegistro"), 2);
    EXPECT_EQ(depois.at("szNomeManutencao"), "Mensal revista");
    EXPECT_EQ(depois.at("listaServicos").at("pServicos")[0].at("vQuantidadeUtilizada"), "1.5");
    EXPECT_EQ(Json({"--json", "orders", "find"}).size(), 2u);
    EXPECT_TRUE(Json({"--json", "orders", "show", numero, "--light"}).at("listaProdutos").at("pProdutos").empty());
    EXPECT_EQ(Json({"--json", "orders", "of-maintenance", std::to_string(m_codigo)}).size(), 2u);
}

TEST_F(ZentactlOrdens, ChavesRuinsSaemComONomeDoCodigo) {
    int mes = 0, ano = 0;
    QVMAToMesAno(QVMAAtual(), mes, ano);
    const std::string doMes = std::to_string(mes) + "/" + std::to_string(ano) + "-";
    // Not an order key at all: refused before the service is asked.
    const REG_QVDMC outroTipo(REG_QVDMC().SetDMC(1, 30, QVMAAtual()));
    const REG_QVDMC semPosicao(REG_QVDMC().SetDMC(0, 84, QVMAAtual()));
    for (const std::string& ruim :
         {std::string("13/2026-1"), std::string("00/2026-1"), doMes + "0", doMes + "4294967296", doMes + "x",
          std::string("2026-05-1"), std::string("abc"), std::string("0"), std::string("99999999999999999999"),
          std::to_string(outroTipo.Get64()), std::to_string(semPosicao.Get64())}) {
        SCOPED_TRACE(ruim);
        Falha({"orders", "show", ruim}, "zentactl: orders show: 0x80070057 E_INVALIDARG: ");
    }
    // Well formed but not there: the engine's own code.
    const std::string ausente = Falha({"orders", "show", doMes + "7"}, " E_QVDATABASE_MEMBRO_GRUPO_NAO_EXISTE: ");
    EXPECT_EQ(ausente.rfind("zentactl: LeMovimentacao: 0x", 0), 0u) << ausente;
    ASSERT_FALSE(Salva(Ordem(0)).empty());
    Falha({"orders", "show", doMes + "7"}, " E_QVCR_");

    // A file whose key is not an order's, or a rewrite of an order that does
    // not exist, saves nothing.
    json ordem = Ordem(0);
    ordem["dmcChave"] = outroTipo.Get64();
    Falha({"orders", "save", "--file", Arquivo("ordem.json", ordem.dump())}, "E_INVALIDARG");
    ordem["dmcChave"] = REG_QVDMC().SetDMC(7, 84, QVMAAtual()).Get64();
    Falha({"orders", "save", "--file", Arquivo("ordem.json", ordem.dump())}, "zentactl: GravaMovimentacao: 0x");
    EXPECT_EQ(Json({"--json", "orders", "find"}).size(), 1u);  // the one saved above

    for (const char* os : {"2026-01-1", "1/2026", "01/2026-0"}) EXPECT_EQ(Executa({"erp", "close-os", os}).status, 1) << os;
    EXPECT_EQ(Executa({"orders", "find", "--os", "1/2026"}).status, 1);
}

// ---- verify, notices and plans counters: on days set with --data or, for a
// whole process, under faketime ------------------------------------------------

constexpr const char* kCadastrosVerificacao = R"({
  "usuario": [{"codigo": 1, "nome": "Administrador"}, {"codigo": 2, "nome": "Outro"}],
  "cliente": [{"codigo": 5, "nome": "Cliente Bom"}],
  "equipamento": [{"codigo": 10, "nome": "Prensa hidráulica"}]
})";

// A plan whose maintenance of 10 days (technician 1, the default user)
// starts on 1 January 2030, with a client always in force.
constexpr const char* kPlanoVerificacao = R"({
  "idEquipamentoPS": {"lFilial": 1, "lEquipamento": 10, "lSituacao": 1, "szNrSerie": "PR-1"},
  "listaClientes": {"pClientes": [{"lCliente": 5}]},
  "listaManutencoes": {"pManutencoes": [
    {"frequenciaPS": {"lTipoFrequencia": 2, "lTipoFrequenciaTempo": 1, "lFrequenciaTempo": 10,
                      "dataInicial": "2030-01-01"},
     "szNomeManutencao": "Lubrificação", "lTecnico": 1}
  ]}
})";

class ZentactlVerificacao : public Zentactl {
protected:
    void SetUp() override {
        ASSERT_EQ(Executa({"erp", "import", Arquivo("erp.json", kCadastrosVerificacao)}).status, 0);
        ASSERT_EQ(Executa({"properties", "set", "--file", Arquivo("prop.json", R"({"cAvisarComTelaAviso": 1})")}).status, 0);
        m_plano = SalvaPlano(kPlanoVerificacao);
    }

    // zentactl as a whole process living on `dia` (faketime), which must succeed.
    Resultado ExecutaNoDia(const std::string& dia, const std::vector<std::string>& argumentos) {
        const Resultado r = Executa(argumentos, "",
                                    "ASAN_OPTIONS=verify_asan_link_order=0 faketime " +
                                        zenta::teste::AspasShell(dia + " 09:00:00") + " ");
        EXPECT_EQ(r.status, 0) << r.erro;
        return r;
    }

    json Contadores() { return Json({"--json", "plans", "counters", "--plano", std::to_string(m_plano)}); }

    long m_plano = 0;
};

TEST_F(ZentactlVerificacao, VerifyNoDiaAbreAOrdemEOAvisoChegaUmaVez) {
    const json j = Json({"--json", "verify", "--data", "2030-01-10"});
    EXPECT_EQ(std::make_tuple(j.at("hoje"), j.at("dataUltimaVerificacao"), j.at("ordens")),
              std::make_tuple(json("2030-01-10"), json("2030-01-10"), json::array()));
    json c = Contadores();
    ASSERT_EQ(c.size(), 1u);
    // Counted, not re-armed: one day still to run from the day's count.
    EXPECT_EQ(std::make_tuple(c[0].at("lQuantidadeDiasFalta"), c[0].at("dataUltimaVerificacaoMedicao"), c[0].at("ordemAberta")),
              std::make_tuple(json(1), json("2030-01-10"), json(false)));

    const json dia = Json({"--json", "verify", "--data", "2030-01-11"});
    ASSERT_EQ(dia.at("ordens").size(), 1u);
    const json ordem = dia.at("ordens")[0];
    EXPECT_EQ(std::make_tuple(ordem.at("szNomeManutencao"), ordem.at("lCliente"), ordem.at("lTecnico")),
              std::make_tuple(json("Lubrificação"), json(5), json(1)));

    // The same day again verifies nothing new.
    EXPECT_EQ(Json({"--json", "verify", "--data", "2030-01-11"}).at("ordens").size(), 1u);
    c = Contadores();
    EXPECT_EQ(std::make_tuple(c[0].at("bMovimentacaoGerada"), c[0].at("ordemAberta"), c[0].at("vencida")),
              std::make_tuple(json(true), json(true), json(false)));

    // Another user has no notice; the technician gets it once.
    EXPECT_TRUE(Json({"--usuario", "2", "--json", "notices"}).empty());
    const Resultado tabela = ExecutaOk({"notices"});
    for (const char* trecho : {"Prensa hidráulica", "PR-1", "Lubrificação", "Cliente Bom", "11/01/2030"})
        EXPECT_THAT(tabela.saida, HasSubstr(trecho)) << trecho;
    EXPECT_TRUE(Json({"--json", "notices"}).empty());
    EXPECT_THAT(Executa({"notices"}).saida, HasSubstr("(none)"));

    // Usage and operation errors.
    EXPECT_EQ(Executa({"verify", "--data", "2030-02-30"}).status, 2);
    EXPECT_EQ(Executa({"plans", "counters", "1", "--plano", "1"}).status, 2);
    Falha({"plans", "counters", "--plano", "99"}, "E_INVALIDARG");
    Falha({"plans", "counters", "999"}, "999");
}

TEST_F(ZentactlVerificacao, ContadoresMostramQuandoVenceNumProcessoSobFaketime) {
    // A whole process on 11 January 2030, without --data: the maintenance is
    // due by its counters; its start-up opens the order.
    const json contadores = ExecutaNoDia("2030-01-10", {"--json", "plans", "counters"}).Json();
    ASSERT_EQ(contadores.size(), 1u);
    EXPECT_EQ(contadores[0].at("vencida"), false);
    const long codigo = contadores[0].at("lCodigoManutencao").get<long>();

    const json verifica = ExecutaNoDia("2030-01-11", {"--json", "verify"}).Json();
    EXPECT_EQ(verifica.at("hoje"), "2030-01-11");
    EXPECT_EQ(verifica.at("ordens").size(), 1u);

    const std::string saida = ExecutaNoDia("2030-01-11", {"plans", "counters", std::to_string(codigo)}).saida;
    EXPECT_THAT(saida, HasSubstr("open order"));
    EXPECT_THAT(saida, HasSubstr("Lubrificação"));
}

}  // namespace
