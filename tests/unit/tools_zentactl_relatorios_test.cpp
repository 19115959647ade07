// `zentactl report plans|orders` end to end, on the demo company: the filter
// options, --model and --out, a filter that matches nothing, and the demo's
// two PDF reports.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/RelatorioTeste.h"
#include "support/ZentactlTeste.h"

namespace {

namespace fs = std::filesystem;
using Resultado = zenta::teste::ResultadoZentactl;
using zenta::teste::TextoPdf;

class ZentactlRelatorios : public zenta::teste::ZentactlTeste {
protected:
    void SetUp() override {
        const Resultado demo = Executa({"--json", "demo"});
        ASSERT_EQ(demo.status, 0) << demo.erro;
        m_demo = demo.Json();
    }
    nlohmann::json m_demo;
};

TEST_F(ZentactlRelatorios, DemoEndsWritingBothReportsAsPdf) {
    ASSERT_EQ(m_demo.at("relatorios").size(), 2u);
    const fs::path planos = m_demo.at("relatorios")[0].get<std::string>();
    const fs::path ordens = m_demo.at("relatorios")[1].get<std::string>();
    EXPECT_EQ(planos.parent_path(), m_home.Raiz() / "relatorios-demo" / "DEMO");
    const std::string textoPlanos = TextoPdf(planos);
    for (const char* trecho : {"Cadastro de Manutenção Preventiva", "Empresa: DEMO", "Plano: 1", "TOR-001",
                               "Manutenções", "Clientes", "BOAVISTA", "Página 1 de"})
        EXPECT_NE(textoPlanos.find(trecho), std::string::npos) << trecho << "\n" << textoPlanos;
    const std::string textoOrdens = TextoPdf(ordens);
    for (const char* trecho : {"Ordens de Manutenção Preventiva", "Situação: Aberta", "Situação: Concluída",
                               "Produtos", "Serviços", "Almoxarifado central"})
        EXPECT_NE(textoOrdens.find(trecho), std::string::npos) << trecho << "\n" << textoOrdens;

    // People are told where the files are.
    const Resultado pessoas = Executa({"--empresa", "OUTRA", "demo"});
    ASSERT_EQ(pessoas.status, 0) << pessoas.erro;
    EXPECT_NE(pessoas.saida.find((m_home.Raiz() / "relatorios-demo" / "OUTRA" / "ordens.pdf").string()),
              std::string::npos)
        << pessoas.saida;
}

TEST_F(ZentactlRelatorios, PlansReportTakesTheFindFiltersModelAndOut) {
    fs::create_directories(m_home.Raiz() / "relatorios");
    std::ofstream(m_home.Raiz() / "relatorios" / "lista.modelo") << "formato = csv\ncampos = 101, 119, 102\n";
    const fs::path csv = m_home.Raiz() / "ativos.csv";
    const Resultado r = Executa({"report", "plans", "--ativo", "--filial", "1", "--model", "lista", "--out", csv.string()});
    ASSERT_EQ(r.status, 0) << r.erro;
    EXPECT_NE(r.saida.find("Report written to " + csv.string()), std::string::npos) << r.saida;
    const std::string texto = zenta::teste::LeArquivo(csv);
    EXPECT_NE(texto.find("Plano;Situação;Filial\r\n"), std::string::npos) << texto;
    EXPECT_NE(texto.find("1;Ativo;1\r\n"), std::string::npos) << texto;
    EXPECT_EQ(texto.find("Inativo"), std::string::npos) << texto;

    // Without --out: the default name in the current directory, with the model's extension.
    const fs::path anterior = fs::current_path();
    fs::current_path(m_home.Raiz());
    const Resultado padrao = Executa({"--json", "report", "plans", "--model", "lista"});
    fs::current_path(anterior);
    ASSERT_EQ(padrao.status, 0) << padrao.erro;
    EXPECT_EQ(padrao.Json().at("arquivo").get<std::string>(), (m_home.Raiz() / "relatorio-planos.csv").string());
    EXPECT_TRUE(fs::exists(m_home.Raiz() / "relatorio-planos.csv"));
}

TEST_F(ZentactlRelatorios, OrdersReportWithNothingMatchingWritesNoFile) {
    const fs::path pdf = m_home.Raiz() / "nada.pdf";
    const Resultado r = Executa({"report", "orders", "--cliente", "999", "--out", pdf.string()});
    ASSERT_EQ(r.status, 0) << r.erro;
    EXPECT_NE(r.saida.find("No order matches the filter"), std::string::npos) << r.saida;
    EXPECT_FALSE(fs::exists(pdf));
    const Resultado json = Executa({"--json", "report", "orders", "--cliente", "999", "--out", pdf.string()});
    ASSERT_EQ(json.status, 0) << json.erro;
    EXPECT_TRUE(json.Json().at("arquivo").is_null());

    const fs::path todas = m_home.Raiz() / "todas.pdf";
    const Resultado ok = Executa({"report", "orders", "--concluido", "--out", todas.string()});
    ASSERT_EQ(ok.status, 0) << ok.erro;
    EXPECT_NE(TextoPdf(todas).find("Troca de óleo"), std::string::npos);
}

}  // namespace
