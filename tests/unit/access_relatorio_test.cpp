// The report generator on its own: model files and hostile report names,
// the line protocol (master and subordinate lines, columns described once,
// values cut to their size), CSV quoting, the partial file that only
// Finaliza(TRUE) puts in place, Windows-1252 texts in the PDF, and the
// hours-and-minutes duration form; where reports may be written, by whom,
// and what they may replace.

#include <stdlib.h>

#include "access/QVDadosAcessoRelatorio.h"
#include "standins/relatorio/ModeloRelatorio.h"
#include "standins/relatorio/MontaRelatorio.h"
#include "platform/QVDiretorios.h"
#include "platform/Registry.h"
#include "reports/FormatosRelatorio.h"
#include "standins/relatorio/QVDestinoRelatorio.h"
#include "support/RegistroTeste.h"
#include "support/RelatorioTeste.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;

class Gerador : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_home.Raiz() / "relatorios"); }
    void Modelo(const std::string& nome, const std::string& texto) {
        std::ofstream(m_home.Raiz() / "relatorios" / (nome + ".modelo"), std::ios::binary) << texto;
    }
    fs::path Destino(const char* nome) const { return m_home.Raiz() / nome; }

    // Two blocks: a master line with one subordinate line, then a master alone.
    static void PassaLinhas(CMontaRelatorio& m) {
        ASSERT_EQ(m.InicializaLinha(), S_OK);
        ASSERT_EQ(m.AdicionaDetalhe(101, 1, 10, "Código", true, 1, ""), S_OK);
        ASSERT_EQ(m.Adiciona("A1", 10), S_OK);
        ASSERT_EQ(m.AdicionaDetalhe(201, 1, 5, "Item", false, 2, "Itens"), S_OK);
        ASSERT_EQ(m.Adiciona("parafuso", 5), S_OK);  // cut to 5 characters, the last one "…"
        ASSERT_EQ(m.InicializaLinhaSubordinada(), S_OK);
        ASSERT_EQ(m.AdicionaDetalhe(101, 1, 10, "outro", true, 1, ""), S_OK);  // described already
        ASSERT_EQ(m.Adiciona("A1", 10), S_OK);
        ASSERT_EQ(m.Adiciona("porca; \"M8\"", 20), S_OK);
        ASSERT_EQ(m.FinalizaLinhaSubordinada(), S_OK);
        ASSERT_EQ(m.FinalizaLinha(), S_OK);
        ASSERT_EQ(m.InicializaLinha(), S_OK);
        ASSERT_EQ(m.Adiciona("=2+3", 10), S_OK);
        ASSERT_EQ(m.Adiciona("ação", 3), S_OK);
        ASSERT_EQ(m.FinalizaLinha(), S_OK);
    }

    zenta::teste::ZentaHomeTemporario m_home;
};

TEST(ModeloRelatorio, ParsesTitleFormatSubordinatesAndFieldsInOrder) {
    ModeloRelatorio m;
    std::string erro;
    ASSERT_EQ(zenta::InterpretaModelo("\xEF\xBB\xBF# c\n\n Titulo = Meu título \nformato=CSV\r\nsubordinadas = não\n"
                                      "campos = 3, 1,\ncampos=2\n",
                                      m, erro),
              S_OK)
        << erro;
    EXPECT_EQ(m.sTitulo, "Meu título");
    EXPECT_EQ(m.formato, FormatoSaidaRelatorio::Csv);
    EXPECT_FALSE(m.bSubordinadas);
    EXPECT_EQ(m.campos, (std::vector<LONG>{3, 1, 2}));
}

TEST(ModeloRelatorio, RefusesWhatItDoesNotUnderstand) {
    for (const char* texto : {"cor = azul\n", "formato = xls\n", "campos = 1, x\n", "campos = 1, 1\n", "campos = -4\n",
                              "campos = 1,,2\n", "subordinadas = talvez\n", "sem igual\n", "titulo = \x01\n",
                              "campos = 99999999999\n"}) {
        ModeloRelatorio m;
        std::string erro;
        EXPECT_EQ(zenta::InterpretaModelo(texto, m, erro), E_INVALIDARG) << texto;
        EXPECT_THAT(erro, ::testing::HasSubstr("linha 1"));
    }
    std::string muitos = "campos = ";
    for (int i = 1; i <= 1001; ++i) muitos += std::to_string(i) + ",";
    ModeloRelatorio m;
    std::string erro;
    EXPECT_EQ(zenta::InterpretaModelo(muitos, m, erro), E_INVALIDARG);
}

TEST(ModeloRelatorio, NamesNeverLeaveTheModelDirectory) {
    for (const char* nome : {"planos", "a.b", "x_y-1", ""}) EXPECT_TRUE(zenta::NomeModeloValido(nome)) << nome;
    for (const char* nome : {"..", ".", "../x", "a/b", "a\\b", ".oculto", "a b", "a\nb", "ção"})
        EXPECT_FALSE(zenta::NomeModeloValido(nome)) << nome;
    EXPECT_FALSE(zenta::NomeModeloValido(std::string(65, 'a')));
}

TEST_F(Gerador, ModelFileOrDefaultsAndItsLimits) {
    ModeloRelatorio m;
    std::string erro;
    ASSERT_EQ(zenta::CarregaModelo("", m, erro), S_OK);
    EXPECT_FALSE(m.bArquivo);
    EXPECT_TRUE(m.campos.empty());
    EXPECT_FALSE(m.bFormato);
    // A name without its file is refused, naming the file looked for.
    EXPECT_EQ(zenta::CarregaModelo("EQ", m, erro), HRESULT_FROM_WIN32(2u));
    EXPECT_THAT(erro, ::testing::HasSubstr((m_home.Raiz() / "relatorios" / "EQ.modelo").string()));
    Modelo("grande", std::string(70 * 1024, '#'));
    EXPECT_EQ(zenta::CarregaModelo("grande", m, erro), E_INVALIDARG);
    fs::create_directories(m_home.Raiz() / "relatorios" / "dir.modelo");
    EXPECT_EQ(zenta::CarregaModelo("dir", m, erro), E_INVALIDARG);
    Modelo("ok", "campos = 7\n");
    ASSERT_EQ(zenta::CarregaModelo("ok", m, erro), S_OK);
    EXPECT_TRUE(m.bArquivo);
    EXPECT_EQ(m.campos, std::vector<LONG>{7});
}

TEST_F(Gerador, LinesBecomeBlocksAndCsvQuotesWhatSpreadsheetsWouldMisread) {
    Modelo("csv", "formato = csv\ntitulo = Teste\n");
    CMontaRelatorio m;
    ASSERT_EQ(m.Inicializa("EMP", 1, 1, "GE", "c", Destino("r.csv").string(), "csv", TRUE), S_OK);
    EXPECT_EQ(m.GetUtilizaLinhaSub(TRUE), TRUE);
    PassaLinhas(m);
    const auto& doc = m.GetDocumento();
    // Values are cut by characters, not bytes ("aç…"), and only when they
    // do not fit: the file below shows them.
    ASSERT_EQ(doc.colunas.size(), 2u);
    EXPECT_TRUE(doc.colunas[0].bMestre);
    ASSERT_EQ(doc.blocos.size(), 2u);
    EXPECT_EQ(doc.blocos[0].linhas.size(), 2u);
    ASSERT_EQ(m.GeraRelatorio(), S_OK);
    EXPECT_FALSE(fs::exists(Destino("r.csv")));  // not in place before Finaliza(TRUE)
    ASSERT_EQ(m.Finaliza(TRUE), S_OK);
    EXPECT_EQ(zenta::teste::LeArquivo(Destino("r.csv")),
              "\xEF\xBB\xBF"
              "Código;Item\r\nA1;para…\r\nA1;\"porca; \"\"M8\"\"\"\r\n'=2+3;aç…\r\n");
    // Nothing else is left in the directory.
    std::size_t arquivos = 0;
    for (const auto& e : fs::directory_iterator(m_home.Raiz())) arquivos += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(arquivos, 1u);
}

TEST_F(Gerador, ProtocolViolationsAndAbandonedReportsLeaveNothing) {
    {
        CMontaRelatorio m;
        EXPECT_EQ(m.InicializaLinha(), E_UNEXPECTED);  // not initialised
        ASSERT_EQ(m.Inicializa("EMP", 1, 1, "GE", "c", Destino("a.pdf").string(), "", TRUE), S_OK);
        EXPECT_EQ(m.Adiciona("x", 1), E_UNEXPECTED);  // no line open
        EXPECT_EQ(m.InicializaLinhaSubordinada(), E_UNEXPECTED);
        ASSERT_EQ(m.InicializaLinha(), S_OK);
        EXPECT_EQ(m.InicializaLinha(), E_UNEXPECTED);  // the block is still open
        EXPECT_EQ(m.GeraRelatorio(), E_UNEXPECTED);
        ASSERT_EQ(m.FinalizaLinha(), S_OK);
        ASSERT_EQ(m.GeraRelatorio(), S_OK);
        // Destroyed without Finaliza(TRUE): the partial file goes too.
    }
    for (const auto& e : fs::directory_iterator(m_home.Raiz()))
        EXPECT_EQ(e.path().filename().string().find("a.pdf"), std::string::npos) << e.path();
    CMontaRelatorio m;
    EXPECT_EQ(m.Inicializa("EMP", 1, 1, "GE", "c", "", "", TRUE), E_INVALIDARG);
    EXPECT_EQ(m.Inicializa("EMP", 1, 1, "GE", "c", std::string("/tmp/a\0b", 8), "", TRUE), E_INVALIDARG);
    std::string campo, rotulo;
    LONG tamanho = 1, tipo = 1;
    EXPECT_EQ(m.GetCampoRelatorioIntegrado(1000001, rotulo, tamanho, tipo), E_QV_RELATORIO_CAMPO_INTEGRADO);
    EXPECT_EQ(tamanho, 0);
}

TEST_F(Gerador, PdfWithoutSubordinatesIsOneTableAndKeepsAccentedLetters) {
    Modelo("plano", "subordinadas = nao\ntitulo = Relação de peças\n");
    CMontaRelatorio m;
    ASSERT_EQ(m.Inicializa("Empresa Ação", 1, 1, "GE", "c", Destino("r.pdf").string(), "plano", TRUE), S_OK);
    EXPECT_EQ(m.GetUtilizaLinhaSub(TRUE), FALSE);
    EXPECT_EQ(m.GetUtilizaLinhaSub(FALSE), TRUE);
    ASSERT_EQ(m.InicializaLinha(), S_OK);
    ASSERT_EQ(m.AdicionaDetalhe(1, 1, 50, "Descrição", true, 1, ""), S_OK);
    ASSERT_EQ(m.Adiciona("Óleo hidráulico – 20 L", 50), S_OK);
    ASSERT_EQ(m.FinalizaLinha(), S_OK);
    EXPECT_EQ(m.InicializaLinhaSubordinada(), E_UNEXPECTED);  // none in this model
    ASSERT_EQ(m.GeraRelatorio(), S_OK);
    ASSERT_EQ(m.Finaliza(TRUE), S_OK);
    const std::string texto = zenta::teste::TextoPdf(Destino("r.pdf"), false);
    for (const char* esperado : {"Relação de peças", "Empresa: Empresa Ação", "Descrição", "Óleo hidráulico – 20 L",
                                 "Página 1 de 1"})
        EXPECT_THAT(texto, ::testing::HasSubstr(esperado)) << esperado;
}

// The model's format when it names one, else the destination's extension;
// a model that contradicts the extension is refused with its reason.
TEST_F(Gerador, FormatComesFromTheModelElseTheExtension) {
    Modelo("csv", "formato = csv\n");
    Modelo("livre", "titulo = Sem formato\n");
    struct Caso {
        const char* modelo;
        const char* destino;
        HRESULT hr;
        FormatoSaidaRelatorio formato;
        const char* motivo;
    } casos[] = {
        {"", "a.csv", S_OK, FormatoSaidaRelatorio::Csv, ""},
        {"", "a.PDF", S_OK, FormatoSaidaRelatorio::Pdf, ""},
        {"", "a.txt", S_OK, FormatoSaidaRelatorio::Pdf, ""},
        {"livre", "a.csv", S_OK, FormatoSaidaRelatorio::Csv, ""},
        {"csv", "a.Csv", S_OK, FormatoSaidaRelatorio::Csv, ""},
        {"csv", "a", S_OK, FormatoSaidaRelatorio::Csv, ""},
        {"csv", "a.pdf", E_INVALIDARG, {}, "extensão .pdf"},
        {"EQ", "a.pdf", HRESULT_FROM_WIN32(2u), {}, "EQ.modelo"},
        {"", "falta/a.pdf", E_INVALIDARG, {}, "não existe"},
    };
    for (const Caso& c : casos) {
        CMontaRelatorio m;
        EXPECT_EQ(m.Inicializa("EMP", 1, 1, "GE", "c", Destino(c.destino).string(), c.modelo, TRUE), c.hr)
            << c.modelo << " " << c.destino;
        if (c.hr == S_OK) {
            EXPECT_EQ(m.GetFormato(), c.formato) << c.modelo << " " << c.destino;
        }
        EXPECT_THAT(m.GetErro(), ::testing::HasSubstr(c.motivo));
    }
}

TEST(DocumentoRelatorio, CaptionsAreMadeUniqueByGroupThenCode) {
    std::vector<zenta::ColunaRelatorio> colunas(5);
    colunas[0] = {101, 1, 5, "Grade 1", true, false, 1, ""};
    colunas[1] = {206, 1, 5, "Qtde. prevista", false, false, 2, "Produtos"};
    colunas[2] = {303, 1, 5, "Qtde. prevista", false, false, 3, "Serviços"};
    colunas[3] = {203, 1, 5, "Grade 1", false, false, 2, "Produtos"};
    colunas[4] = {204, 1, 5, "Grade 1", false, false, 2, "Produtos"};
    EXPECT_EQ(zenta::RotulosUnicos(colunas),
              (std::vector<std::string>{"Grade 1", "Qtde. prevista (Produtos)", "Qtde. prevista (Serviços)",
                                        "Grade 1 (Produtos) [203]", "Grade 1 (Produtos) [204]"}));
}

TEST(FormatosRelatorio, DurationsInHoursAndMinutes) {
    // 59.994 minutes round up into the hour; 0.6 minutes round to one.
    const std::pair<long long, const char*> casos[] = {{15000, "1:30"}, {2500, "0:15"},   {20000, "2:00"},
                                                       {19999, "2:00"}, {10100, "1:01"},  {-17500, "-1:45"},
                                                       {12345670000, "1.234.567:00"}};
    for (const auto& [bruto, texto] : casos) {
        CY v{};
        v.int64 = bruto;
        EXPECT_EQ(DuracaoRelatorio(v), texto) << bruto;
    }
    CY minimo{};
    minimo.int64 = INT64_MIN;
    EXPECT_LT(CQVValorHoras::ConverteCentesimalParaHoras(minimo).int64, 0);
    EXPECT_EQ(zenta::DataRelatorio(0), "");
    EXPECT_EQ(zenta::HoraRelatorio(86400), "");
    EXPECT_EQ(zenta::HoraRelatorio(3600 * 23 + 59 * 60), "23:59");
}

// ---- Where reports may be written, by whom, and what they may replace ----------

void DefinePastaRelatorios(const std::string& pasta) {
    zenta::teste::DefineRegistro(QV_CHAVE_REGISTRO, "PastaRelatorios", pasta);
}

class DestinoRelatorio : public ::testing::Test {
protected:
    void SetUp() override {
        std::string modelo = (fs::temp_directory_path() / "zenta-fora-XXXXXX").string();
        ASSERT_NE(::mkdtemp(modelo.data()), nullptr);
        m_fora = modelo;
        m_saida = m_home.Raiz() / "saida";
        for (const fs::path& pasta : {m_saida, m_home.Raiz() / "data" / "DEMO" / "GE", m_home.Raiz() / "registry"})
            fs::create_directories(pasta);
        fs::create_directory_symlink(m_fora, m_saida / "atalho");
        std::ofstream(m_fora / "alheio.txt") << "de outro";
        std::ofstream(m_home.Raiz() / "registry" / "HKLM.reg") << "";
        DefinePastaRelatorios(m_saida.string());
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_fora, ec);
    }
    static HRESULT Verifica(EOrigemChamador origem, const fs::path& destino) {
        std::string erro;
        const HRESULT hr = zenta::VerificaDestinoRelatorio(destino, Chamador{origem}, erro);
        EXPECT_EQ(FAILED(hr), !erro.empty()) << destino;
        return hr;
    }

    zenta::teste::ZentaHomeTemporario m_home;
    fs::path m_fora;
    fs::path m_saida;
};

TEST_F(DestinoRelatorio, EachCallerReachesOnlyWhatItMay) {
    const fs::path home = m_home.Raiz();
    struct Caso {
        EOrigemChamador origem;
        fs::path destino;
        HRESULT esperado;
    };
    const Caso casos[] = {
        // The server's own user: anywhere but the system's folders.
        {EOrigemChamador::Processo, m_fora / "a.pdf", S_OK},
        {EOrigemChamador::UsuarioProprio, home / "a.pdf", S_OK},
        {EOrigemChamador::UsuarioProprio, m_saida / "a.pdf", S_OK},
        {EOrigemChamador::Processo, home / "data" / "DEMO" / "GE" / "GEMPMED.dat", E_ACCESSDENIED},
        {EOrigemChamador::UsuarioProprio, home / "registry" / "HKLM.reg", E_ACCESSDENIED},
        {EOrigemChamador::UsuarioProprio, m_saida / ".." / "data" / "novo.pdf", E_ACCESSDENIED},
        // Other users and other machines: the report folder only, links resolved.
        {EOrigemChamador::OutroUsuario, m_saida / "a.pdf", S_OK},
        {EOrigemChamador::Tcp, m_saida / "a.pdf", S_OK},
        {EOrigemChamador::OutroUsuario, m_fora / "a.pdf", E_ACCESSDENIED},
        {EOrigemChamador::Tcp, home / "a.pdf", E_ACCESSDENIED},
        {EOrigemChamador::Tcp, m_saida / "atalho" / "a.pdf", E_ACCESSDENIED},
        {EOrigemChamador::Tcp, m_saida / ".." / "registry" / "HKLM.reg", E_ACCESSDENIED},
        // No caller replaces a file that is not one of this server's reports.
        {EOrigemChamador::Processo, m_fora / "alheio.txt", E_QV_RELATORIO_DESTINO_EXISTE},
        {EOrigemChamador::Processo, m_fora / "..", E_INVALIDARG},
    };
    for (const Caso& caso : casos)
        EXPECT_EQ(Verifica(caso.origem, caso.destino), caso.esperado)
            << static_cast<int>(caso.origem) << " " << caso.destino;

    // Without a configured folder, other users and machines reach nothing.
    DefinePastaRelatorios("");
    EXPECT_EQ(Verifica(EOrigemChamador::Tcp, m_saida / "a.pdf"), E_ACCESSDENIED);
    EXPECT_EQ(Verifica(EOrigemChamador::UsuarioProprio, m_saida / "a.pdf"), S_OK);
}

TEST_F(DestinoRelatorio, OnlyAReportThisServerWroteIsReplaced) {
    const fs::path destino = m_fora / "r.pdf";
    const auto escreve = [&](const char* texto) {
        const fs::path parcial = m_fora / "r.pdf.parcial";
        std::ofstream(parcial) << texto;
        std::string erro;
        return zenta::ColocaRelatorio(parcial, destino, erro);
    };
    ASSERT_EQ(escreve("primeiro"), S_OK);
    EXPECT_EQ(Verifica(EOrigemChamador::Processo, destino), S_OK);
    ASSERT_EQ(escreve("segundo"), S_OK);
    EXPECT_EQ(zenta::teste::LeArquivo(destino), "segundo");

    // Changed by someone else, it is no longer the server's to replace; nor
    // is a file that appears after the check.
    std::ofstream(destino, std::ios::app) << " mudado";
    EXPECT_EQ(Verifica(EOrigemChamador::Processo, destino), E_QV_RELATORIO_DESTINO_EXISTE);
    EXPECT_EQ(escreve("terceiro"), E_QV_RELATORIO_DESTINO_EXISTE);
    EXPECT_EQ(zenta::teste::LeArquivo(destino), "segundo mudado");
}

}  // namespace
