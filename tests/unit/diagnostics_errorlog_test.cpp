// The error log: its free text, its files and their header, the record
// columns and concurrent writers.

#include <ctime>
#include <latch>
#include <regex>

#include "diagnostics/QVCodigosErro.h"
#include "diagnostics/QVErrorLog.h"
#include "diagnostics/QVProfilerRegistro.h"
#include "support/ArquivosLog.h"
#include "support/Inicializacao.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;
using zenta::teste::Colunas;
using zenta::teste::SufixoMesAtual;

namespace {

class PerfilTeste final : public IQVDF_Profiler {
public:
    explicit PerfilTeste(std::string empresa, USHORT usuario = 7, ULONG sessao = 42)
        : m_empresa(std::move(empresa)), m_usuario(usuario), m_sessao(sessao) {}
    std::string GetEmpresa() const override { return m_empresa; }
    USHORT GetUsuario() const override { return m_usuario; }
    ULONG GetNumeroSessao() const override { return m_sessao; }

private:
    std::string m_empresa;
    USHORT m_usuario;
    ULONG m_sessao;
};

std::chrono::system_clock::time_point Instante(int ano, int mes, int dia) {
    std::tm data{};
    data.tm_year = ano - 1900;
    data.tm_mon = mes - 1;
    data.tm_mday = dia;
    data.tm_hour = 12;
    data.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&data));
}

constexpr std::size_t kColunasErro = 39;

class LogErro : public ::testing::Test {
protected:
    std::filesystem::path ArquivoPgms() const {
        return m_home.Raiz() / "programs/DF" / ("QVProfilerErros_Pgms_" + SufixoMesAtual() + ".log");
    }
    teste::ZentaHomeTemporario m_home;
};

}  // namespace

TEST(TextoLogErro, CodesFieldByFieldEngineTextAndVersions) {
    EXPECT_EQ(TextoLogErroHr("hr = E_QVCR_VERSAO_INCOMPATIVEL", E_QVCR_VERSAO_INCOMPATIVEL, "", std::nullopt),
              "hr = E_QVCR_VERSAO_INCOMPATIVEL\thr = 0X81080BFD \tSEVERITY = 1 SEVERITY_ERROR\t"
              "FACILITY = 264 QV_FACILITY_CR_CORE\tCODE = 3069 E_QVCR_VERSAO_INCOMPATIVEL\tDescrição = ");
    // Windows codes, and facility four.
    EXPECT_EQ(TextoLogErroHr("hr = Abre()", E_ACCESSDENIED),
              "hr = Abre()\thr = 0X80070005 \tSEVERITY = 1 SEVERITY_ERROR\tFACILITY = 7 FACILITY_WIN32\t"
              "CODE = 5 ERROR_ACCESS_DENIED\tDescrição = E_ACCESSDENIED");
    EXPECT_EQ(TextoLogErroHr("hr = x", static_cast<HRESULT>(0x8004A101u)),
              "hr = x\thr = 0X8004A101 DFSPRO: Produto não encontrado.\tSEVERITY = 1 SEVERITY_ERROR\t"
              "FACILITY = 4 FACILITY_ITF\tCODE = 41217 \tDescrição = ");
    // The engine's text, and versions.
    EXPECT_EQ(TextoErroMotor(E_QVCR_TENTATIVA_LER_POSICAO_ZERO, "leitura", "GEMANUT.dat", 0, 5, 1234567890123LL),
              "hr = 0x810809D9\tDescrição = leitura\tArquivo = GEMANUT.dat\tPosição = 0\tRegistro = 5\t"
              "Qtd. Registros = 1234567890123");
    EXPECT_EQ(FormataVersao("6.1.0-18-amd64"), "6.1.0.18");
    EXPECT_EQ(FormataVersao("5.15.0-rc1"), "5.15.0.0");
    EXPECT_EQ(FormataVersao("garbage"), "0.0.0.0");
}

TEST_F(LogErro, RecordWithoutCompanyGoesToTheProgramsFileInWindows1252OneLineEach) {
    QVGravaLogErroHr({}, "CQVTeste::Metodo", "teste.cpp", 77, "E_QVCR_VERSAO_INCOMPATIVEL",
                     E_QVCR_VERSAO_INCOMPATIVEL);
    const std::vector<std::string> linhas = teste::LinhasDe(ArquivoPgms());
    ASSERT_EQ(linhas.size(), 2u);
    EXPECT_EQ(linhas[0] + "\n", CabecalhoRegistro(TipoRegistroProfiler::Erro));
    EXPECT_EQ(Colunas(linhas[0]).size(), kColunasErro);

    const std::vector<std::string> c = Colunas(linhas[1]);
    ASSERT_GE(c.size(), 30u);
    EXPECT_TRUE(std::regex_match(c[0], std::regex(R"(\d\d/\d\d/\d{4})")));
    EXPECT_TRUE(std::regex_match(c[1], std::regex(R"(\d\d:\d\d:\d\d\.\d{3})")));
    EXPECT_EQ(c[4], "CQVTeste::Metodo");
    EXPECT_EQ(c[6] + c[7] + c[8], "EU000S00000000");
    EXPECT_EQ(c[21], "ERRO");
    EXPECT_EQ(c[27], "teste.cpp");
    EXPECT_EQ(c[28], "77");
    // The free text, its own tabs included, described through the message
    // library (which claims the system's codes), in Windows-1252.
    std::string log;
    for (std::size_t i = 29; i < c.size(); ++i) log += (i > 29 ? "\t" : "") + c[i];
    EXPECT_EQ(log.substr(0, log.find("\tParameter")),
              "hr = E_QVCR_VERSAO_INCOMPATIVEL\thr = 0X81080BFD E_QVCR_VERSAO_INCOMPATIVEL: Vers\xE3o da estrutura de "
              "inicializa\xE7\xE3o incompat\xEDvel\tSEVERITY = 1 SEVERITY_ERROR\tFACILITY = 264 QV_FACILITY_CR_CORE\t"
              "CODE = 3069 E_QVCR_VERSAO_INCOMPATIVEL\tDescri\xE7\xE3o = \t\t\t\t\t\t\t\t\t");

    // Line breaks in fields never split a record.
    QVGravaLogErroTexto({}, "Classe::\nFuncao", "a\r\n.cpp", 3, "texto\ncom\rquebras\tem partes");
    const auto quebras = Colunas(teste::LinhasDe(ArquivoPgms()).at(2));
    EXPECT_EQ(quebras[4], "Classe:: Funcao");
    EXPECT_EQ(quebras[27], "a  .cpp");
    EXPECT_EQ(quebras[29], "texto com quebras");
    EXPECT_EQ(quebras[30], "em partes");
    EXPECT_EQ(teste::LinhasDe(ArquivoPgms()).size(), 3u);
}

TEST_F(LogErro, EachMonthHasAFileWithItsOwnHeader) {
    const PerfilTeste perfil("ACME");
    for (const auto& [ano, mes, dia] : {std::tuple{2024, 1, 3}, {2024, 1, 28}, {2024, 2, 1}}) {
        RegistroProfiler registro = NovoRegistro(TipoRegistroProfiler::Erro, {&perfil, nullptr}, "F");
        registro.instante = Instante(ano, mes, dia);
        registro.strLog = "dia " + std::to_string(dia);
        ASSERT_TRUE(GravaRegistro(registro));
    }
    const auto janeiro = teste::LinhasDe(m_home.Raiz() / "data/ACME/DF/QVProfilerErros_Base_202401.log");
    const auto fevereiro = teste::LinhasDe(m_home.Raiz() / "data/ACME/DF/QVProfilerErros_Base_202402.log");
    ASSERT_EQ(janeiro.size(), 3u);
    ASSERT_EQ(fevereiro.size(), 2u);
    EXPECT_EQ(janeiro[0], fevereiro[0]);
    EXPECT_EQ(janeiro[0].substr(0, 10), "Data\tHora\t");
    EXPECT_NE(janeiro[2].find("\tdia 28\t"), std::string::npos);
    EXPECT_EQ(Colunas(fevereiro[1])[6], "EACME");
}

TEST_F(LogErro, CompanyChoosesTheBaseFileAndBadNamesFallBack) {
    const PerfilTeste acme("ACME", 12, 345);
    QVGravaLogErroTexto({&acme, nullptr}, "F", "a.cpp", 1, "acme");
    const auto linhas =
        teste::LinhasDe(m_home.Raiz() / "data/ACME/DF" / ("QVProfilerErros_Base_" + SufixoMesAtual() + ".log"));
    ASSERT_EQ(linhas.size(), 2u);
    const auto c = Colunas(linhas[1]);
    EXPECT_EQ(c[6], "EACME");
    EXPECT_EQ(c[7], "U012");
    EXPECT_EQ(c[8], "S00000345");

    // A company that is no directory name never leads outside the home.
    const PerfilTeste malicioso("../../fora\nlinha");
    QVGravaLogErroTexto({&malicioso, nullptr}, "F", "a.cpp", 1, "fora");
    const auto pgms = teste::LinhasDe(ArquivoPgms());
    ASSERT_EQ(pgms.size(), 2u);
    EXPECT_EQ(Colunas(pgms[1])[6], "E../../fora linha");
    const std::vector<std::string> arquivos = teste::ArquivosAbaixo(m_home.Raiz());
    EXPECT_EQ(arquivos.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(m_home.Raiz().parent_path() / "fora"));
}

TEST_F(LogErro, InitialisationColumnsOnlyForControlByteB) {
    _REG_DF_INICIALIZAPS ini = teste::RegistroInicializacao("DEMO", 7, 42);
    const PerfilTeste perfil("DEMO");
    QVGravaLogErroTexto({&perfil, &ini}, "F", "a.cpp", 1, "com");
    ini.cControle = 'b';
    QVGravaLogErroTexto({&perfil, &ini}, "F", "a.cpp", 1, "sem");
    const auto linhas =
        teste::LinhasDe(m_home.Raiz() / "data/DEMO/DF" / ("QVProfilerErros_Base_" + SufixoMesAtual() + ".log"));
    ASSERT_EQ(linhas.size(), 3u);
    const auto com = Colunas(linhas[1]);
    const auto sem = Colunas(linhas[2]);
    ASSERT_EQ(com.size(), kColunasErro);
    ASSERT_EQ(sem.size(), kColunasErro);
    EXPECT_EQ(std::vector<std::string>(com.begin() + 10, com.begin() + 18),
              (std::vector<std::string>{"DEMO", "7", "42", "dominio\\usuario", "teste", "zenta_tests", "teste.cpp",
                                        "123"}));
    for (std::size_t i = 10; i <= 20; ++i) EXPECT_EQ(sem[i], "") << i;
    EXPECT_EQ(com[29], "com");
}

TEST_F(LogErro, ConcurrentWritersNeverMixTheirLines) {
    constexpr int kPorEscritor = 300;
    const std::string enchimento(3000, 'x');
    const auto escreve = [&](const std::string& quem) {
        for (int i = 0; i < kPorEscritor; ++i)
            QVGravaLogErroTexto({}, "F", "a.cpp", 1, quem + "-" + std::to_string(i) + "-" + enchimento);
    };
    const pid_t filho = fork();
    ASSERT_GE(filho, 0);
    if (filho == 0) {
        escreve("processo");
        _exit(0);
    }
    {
        std::latch largada(2);
        std::thread a([&] { largada.arrive_and_wait(); escreve("a"); });
        std::thread b([&] { largada.arrive_and_wait(); escreve("b"); });
        a.join();
        b.join();
    }
    int estado = 0;
    ASSERT_EQ(waitpid(filho, &estado, 0), filho);
    ASSERT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0);

    const auto linhas = teste::LinhasDe(ArquivoPgms());
    ASSERT_EQ(linhas.size(), 1u + 3 * kPorEscritor);
    EXPECT_EQ(linhas[0] + "\n", CabecalhoRegistro(TipoRegistroProfiler::Erro));
    std::set<std::string> vistos;
    for (std::size_t i = 1; i < linhas.size(); ++i) {
        const auto c = Colunas(linhas[i]);
        ASSERT_EQ(c.size(), kColunasErro) << "line " << i;
        ASSERT_EQ(c[21], "ERRO");
        const std::size_t fim = c[29].rfind('-');
        ASSERT_NE(fim, std::string::npos);
        EXPECT_EQ(c[29].substr(fim + 1), enchimento);
        vistos.insert(c[29].substr(0, fim));
    }
    EXPECT_EQ(vistos.size(), 3u * kPorEscritor);
    // The first writers raced for the header: one header, no temporary file left.
    EXPECT_EQ(teste::ArquivosAbaixo(m_home.Raiz()).size(), 1u);
}

TEST(ArquivoErros, NameHoldsYearAndMonth) {
    EXPECT_EQ(NomeArquivoErros(true, 2024, 3), "QVProfilerErros_Base_202403.log");
    EXPECT_EQ(NomeArquivoErros(false, 1500, 0), "QVProfilerErros_Pgms_184801.log");
    EXPECT_EQ(NomeArquivoErros(false, 9999, 100), "QVProfilerErros_Pgms_471799.log");
}
