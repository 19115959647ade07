// `zentactl report plans|orders` end to end, on the demo company: the filter
// options, --model and --out, a filter that matches nothing, and the demo's
// two PDF reports.
#include <gmock/gmock.h>
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

using ZentactlRelatorios = zenta::teste::ZentactlTeste;

// One demo company for every report run: the demo's own two PDFs, the
// plans report with the find filters, --model and --out (or the default
// name), and an orders report that matches nothing.
TEST_F(ZentactlRelatorios, DemoEndsWritingBothReportsAsPdf) {
    const nlohmann::json demo = ExecutaOk({"--json", "demo"}).Json();
    ASSERT_EQ(demo.at("relatorios").size(), 2u);
    const fs::path planos = demo.at("relatorios")[0].get<std::string>();
    EXPECT_EQ(planos.parent_path(), m_home.Raiz() / "relatorios-demo" / "DEMO");
    for (const char* trecho : {"Cadastro de Manutenção Preventiva", "Empresa: DEMO", "Plano: 1", "TOR-001",
                               "Manutenções", "Clientes", "BOAVISTA", "Página 1 de"})
        EXPECT_THAT(TextoPdf(planos), ::testing::HasSubstr(trecho)) << trecho;
    const std::string textoOrdens = TextoPdf(demo.at("relatorios")[1].get<std::string>());
    for (const char* trecho : {"Ordens de Manutenção Preventiva", "Situação: Aberta", "Situação: Concluída",
                               "Produtos", "Serviços", "Almoxarifado central"})
        EXPECT_THAT(textoOrdens, ::testing::HasSubstr(trecho)) << trecho;
    // People are told where the files are.
    const Resultado pessoas = ExecutaOk({"--empresa", "OUTRA", "demo"});
    EXPECT_THAT(pessoas.saida, ::testing::HasSubstr((m_home.Raiz() / "relatorios-demo" / "OUTRA" / "ordens.pdf").string()));

    fs::create_directories(m_home.Raiz() / "relatorios");
    std::ofstream(m_home.Raiz() / "relatorios" / "lista.modelo") << "formato = csv\ncampos = 101, 119, 102\n";
    const fs::path csv = m_home.Raiz() / "ativos.csv";
    const Resultado r = ExecutaOk({"report", "plans", "--ativo", "--filial", "1", "--model", "lista", "--out", csv.string()});
    EXPECT_THAT(r.saida, ::testing::HasSubstr("Report written to " + csv.string()));
    const std::string texto = zenta::teste::LeArquivo(csv);
    EXPECT_THAT(texto, ::testing::HasSubstr("Plano;Situação;Filial\r\n"));
    EXPECT_THAT(texto, ::testing::HasSubstr("1;Ativo;1\r\n"));
    EXPECT_EQ(texto.find("Inativo"), std::string::npos) << texto;
    // Without --out: the default name in the current directory, with the model's extension.
    const fs::path anterior = fs::current_path();
    fs::current_path(m_home.Raiz());
    const Resultado padrao = Executa({"--json", "report", "plans", "--model", "lista"});
    fs::current_path(anterior);
    ASSERT_EQ(padrao.status, 0) << padrao.erro;
    EXPECT_EQ(padrao.Json().at("arquivo").get<std::string>(), (m_home.Raiz() / "relatorio-planos.csv").string());
    EXPECT_TRUE(fs::exists(m_home.Raiz() / "relatorio-planos.csv"));

    const fs::path pdf = m_home.Raiz() / "nada.pdf";
    EXPECT_THAT(ExecutaOk({"report", "orders", "--cliente", "999", "--out", pdf.string()}).saida,
                ::testing::HasSubstr("No order matches the filter"));
    EXPECT_TRUE(ExecutaOk({"--json", "report", "orders", "--cliente", "999", "--out", pdf.string()}).Json().at("arquivo").is_null());
    EXPECT_FALSE(fs::exists(pdf));
    const fs::path todas = m_home.Raiz() / "todas.pdf";
    ExecutaOk({"report", "orders", "--concluido", "--out", todas.string()});
    EXPECT_THAT(TextoPdf(todas), ::testing::HasSubstr("Troca de óleo"));
}

}  // namespace
