// Call tracing: the "log.ini" switches, the filters, the scopes and their
// records in "QVProfiler.log", and the service's calls traced end to end.

#include <zenta/zenta.h>

#include "diagnostics/QVConfiguracaoRastreio.h"
#include "diagnostics/QVEscopoRastreio.h"
#include "support/ArquivosLog.h"
#include "support/Inicializacao.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

using zenta::CQVArquivoIni;
using zenta::CQVConfiguracaoRastreio;

namespace {

constexpr std::size_t kColunaFuncao = 4;
constexpr std::size_t kColunaEmpresaInicializacao = 10;
constexpr std::size_t kColunaTipo = 21;
constexpr std::size_t kColunaDuracao = 25;
constexpr std::size_t kColunaDelta = 26;
constexpr std::size_t kColunaParametro1 = 27;
constexpr std::size_t kColunas = 36;

CQVConfiguracaoRastreio Configuracao(const std::string& texto) {
    return CQVConfiguracaoRastreio::DoIni(CQVArquivoIni::DoTexto(texto));
}

// A scratch $ZENTA_HOME with a "log.ini" of our choosing.
class Rastreio : public ::testing::Test {
protected:
    void SetUp() override { zenta::InvalidaConfiguracaoRastreio(); }
    void TearDown() override { zenta::InvalidaConfiguracaoRastreio(); }

    void EscreveIni(const std::string& secaoLog) {
        const auto diretorio = m_home.Raiz() / "programs/DF";
        std::filesystem::create_directories(diretorio);
        std::ofstream(diretorio / "log.ini") << "[Log]\n" << secaoLog;
    }
    // The records of "QVProfiler.log", header left out, each as its columns.
    std::vector<std::vector<std::string>> Registros() const {
        std::vector<std::vector<std::string>> registros;
        const auto linhas = zenta::teste::LinhasDe(m_home.Raiz() / "programs/DF/QVProfiler.log");
        for (std::size_t i = 1; i < linhas.size(); ++i) registros.push_back(zenta::teste::Colunas(linhas[i]));
        return registros;
    }
    std::size_t Quantos(const std::string& tipo, const std::string& funcao) const {
        std::size_t n = 0;
        for (const auto& r : Registros()) n += r.size() > kColunaTipo && r[kColunaTipo] == tipo && r[kColunaFuncao] == funcao;
        return n;
    }
    void Escopo(const std::string& funcao) {
        CQVEscopoRastreio escopo(CQVContextoProfiler{nullptr, &m_inicializacao});
        escopo.Inicia(funcao, "teste.cpp", 10);
    }

    zenta::teste::ZentaHomeTemporario m_home;
    _REG_DF_INICIALIZAPS m_inicializacao = zenta::teste::RegistroInicializacao("ACME");
};

}  // namespace

// ---- The INI reader -----------------------------------------------------------

TEST(ArquivoIni, ReadsSectionsAndKeysWithoutRegardToCaseFirstOneCounting) {
    const CQVArquivoIni ini = CQVArquivoIni::DoTexto(
        "\xEF\xBB\xBF; comment\r\n"
        "chave = fora de secao\n"
        "[ log ]\r\n"
        "  Entrada = 1 \r\n"
        "ENTRADA=2\n"
        "# another comment\n"
        "sem igual\n"
        "Processos=\"zenta; demo\"\n"
        "[Outra]\n"
        "Entrada=3\n"
        "[LOG]\n"
        "Saida=1\n");
    ASSERT_NE(ini.Valor("Log", "entrada"), nullptr);
    EXPECT_EQ(*ini.Valor("Log", "entrada"), "1");
    EXPECT_EQ(*ini.Valor("log", "PROCESSOS"), "zenta; demo");
    EXPECT_EQ(*ini.Valor("Outra", "Entrada"), "3");
    EXPECT_EQ(ini.Valor("Log", "Saida"), nullptr);  // in the repeated section
    EXPECT_EQ(ini.Valor("Log", "chave"), nullptr);
    EXPECT_EQ(ini.Valor("Nada", "Entrada"), nullptr);
}

TEST(ArquivoIni, OverlongLinesAndFilesAreCutWithoutHarm) {
    std::string texto = "[Log]\nEntrada=" + std::string(2000, '1') + "\nSaida=1\n";
    CQVArquivoIni ini = CQVArquivoIni::DoTexto(texto);
    EXPECT_EQ(ini.Valor("Log", "Entrada"), nullptr);
    EXPECT_EQ(*ini.Valor("Log", "Saida"), "1");
    texto = "[Log]\n" + std::string(CQVArquivoIni::kTamanhoMaximoArquivo, '\n') + "Saida=1\n";
    ini = CQVArquivoIni::DoTexto(texto);
    EXPECT_EQ(ini.Valor("Log", "Saida"), nullptr);
    EXPECT_EQ(CQVArquivoIni::Le("/nao/existe/log.ini").Valor("Log", "Saida"), nullptr);
}

// ---- The switches and filters ---------------------------------------------------

TEST(ConfiguracaoRastreio, SwitchesProcessFilterAndEngineClasses) {
    EXPECT_FALSE(Configuracao("[Log]\nPerformance=1\n").Habilitado());
    EXPECT_FALSE(Configuracao("[Log]\nMemory=1\nCoCreateInstance=1\n").Habilitado());
    EXPECT_TRUE(Configuracao("[Log]\nPerformance=1\nSaida=1\n").Habilitado());
    EXPECT_TRUE(Configuracao("[Log]\nCoCreateInstance=1\n").Habilitado());
    EXPECT_FALSE(Configuracao("[Log]\nSaida=2\n").Habilitado());

    // The process filter matches listed words in lower case.
    const CQVConfiguracaoRastreio lista = Configuracao("[Log]\nProcessos=Outro, ZENTA;demo\n");
    EXPECT_EQ(lista.strProcessos, "outro, zenta;demo");
    EXPECT_TRUE(lista.FiltroProcesso("Zenta-Demo"));
    EXPECT_FALSE(lista.FiltroProcesso("cliente"));
    EXPECT_TRUE(Configuracao("[Log]\nProcessos=x todos\n").FiltroProcesso("cliente"));
    EXPECT_FALSE(Configuracao("[Log]\nProcessos=\n").FiltroProcesso("cliente"));
    const CQVConfiguracaoRastreio longo = Configuracao("[Log]\nProcessos=" + std::string(300, 'a') + "\n");
    EXPECT_EQ(longo.strProcessos.size(), 259u);

    // Engine classes are left out unless named.
    const CQVConfiguracaoRastreio padrao = Configuracao("[Log]\nEntrada=1\n");
    EXPECT_TRUE(padrao.FiltroClasse("CQVGE_ManutencaoPreventiva::Le"));
    for (const char* motor : {"CQVDataBase::Abre", "CQVFile<REG>::Le", "T_QVGroupFileChave::Le", "CQVFileCopia::Copia"})
        EXPECT_FALSE(padrao.FiltroClasse(motor)) << motor;
    EXPECT_TRUE(Configuracao("[Log]\nQVDataBase=TODOS\n").FiltroClasse("CQVFile::Le"));
    EXPECT_TRUE(Configuracao("[Log]\nQVDataBase=1\n").FiltroClasse("CQVFile::Le"));
    const CQVConfiguracaoRastreio classes = Configuracao("[Log]\nQVDataBase=CQVTextFile;CQVGroupFile\n");
    EXPECT_TRUE(classes.FiltroClasse("CQVTextFile::Le"));
    EXPECT_FALSE(classes.FiltroClasse("CQVFile::Le"));
    EXPECT_FALSE(classes.FiltroClasse("CQVGE_ManutencaoPreventiva::Le"));
}

// ---- Scopes and records -----------------------------------------------------------

TEST_F(Rastreio, EntryAndExitRecordsCarryTheCallersIdentityAndTheMeasures) {
    EscreveIni("Entrada=1\nSaida=1\nPerformance=1\nMemory=1\nProcessos=todos\n");
    {
        CQVEscopoRastreio escopo(CQVContextoProfiler{nullptr, &m_inicializacao});
        escopo.Inicia("CQVGE_ManutencaoPreventiva::Grava", "teste.cpp", 10, {{"lPos", "3"}});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const auto linhas = zenta::teste::LinhasDe(m_home.Raiz() / "programs/DF/QVProfiler.log");
    ASSERT_EQ(linhas.size(), 3u);
    EXPECT_EQ(linhas[0].rfind("Data\tHora\tProcesso\t", 0), 0u);
    EXPECT_NE(linhas[0].find("\tDuracao\tDeltaMemoria\tParameter1\t"), std::string::npos);
    const auto registros = Registros();
    ASSERT_EQ(registros[0].size(), kColunas);
    ASSERT_EQ(registros[1].size(), kColunas);
    EXPECT_EQ(registros[0][kColunaTipo], "ENTROU");
    EXPECT_EQ(registros[1][kColunaTipo], "SAIU");
    EXPECT_EQ(registros[0][kColunaFuncao], "CQVGE_ManutencaoPreventiva::Grava");
    EXPECT_EQ(registros[0][kColunaEmpresaInicializacao], "ACME");
    EXPECT_EQ(registros[0][kColunaParametro1], "lPos = 3");
    EXPECT_TRUE(registros[0][kColunaDuracao].empty());
    EXPECT_GE(std::stoll(registros[1][kColunaDuracao]), 15);
    EXPECT_FALSE(registros[1][kColunaDelta].empty());
}

TEST_F(Rastreio, NothingWithoutSwitchesEntryOnlyWritesNoExitAndExitAloneNoEntry) {
    // Without "log.ini", or with only measures, nothing is written.
    Escopo("CQVGE_ManutencaoPreventiva::Le");
    EscreveIni("Performance=1\nMemory=1\nTimeoutConfig=0\n");
    zenta::InvalidaConfiguracaoRastreio();
    Escopo("CQVGE_ManutencaoPreventiva::Le");
    EXPECT_FALSE(std::filesystem::exists(m_home.Raiz() / "programs/DF/QVProfiler.log"));

    EscreveIni("Entrada=1\nProcessos=todos\nTimeoutConfig=0\n");
    Escopo("CQVGE_ManutencaoPreventiva::Le");
    Escopo("CQVGE_ManutencaoPreventiva::Le");
    EXPECT_EQ(Quantos("ENTROU", "CQVGE_ManutencaoPreventiva::Le"), 2u);
    EXPECT_EQ(Quantos("SAIU", "CQVGE_ManutencaoPreventiva::Le"), 0u);

    EscreveIni("Saida=1\nTimeoutConfig=0\n");
    Escopo("CQVGE_ManutencaoPreventiva::Grava");
    EXPECT_EQ(Quantos("ENTROU", "CQVGE_ManutencaoPreventiva::Grava"), 0u);
    EXPECT_EQ(Quantos("SAIU", "CQVGE_ManutencaoPreventiva::Grava"), 1u);
    // Without the control byte 'B' the initialisation columns stay empty.
    m_inicializacao.cControle = 0;
    Escopo("CQVGE_ManutencaoPreventiva::Le");
    EXPECT_EQ(Registros().back()[kColunaEmpresaInicializacao], "");
}

TEST_F(Rastreio, EngineScopesAndOtherProcessesAreLeftOutAndCreationsTracedWhenAsked) {
    EscreveIni("Entrada=1\n");
    Escopo("CQVFile<REG_X>::Le");
    Escopo("CQVGE_ManutencaoPreventiva::Le");
    const auto registros = Registros();
    ASSERT_EQ(registros.size(), 1u);
    EXPECT_EQ(registros[0][kColunaFuncao], "CQVGE_ManutencaoPreventiva::Le");
    zenta::InvalidaConfiguracaoRastreio();
    EscreveIni("Entrada=1\nProcessos=outro-programa\n");
    Escopo("CQVGE_ManutencaoPreventiva::Le");
    EXPECT_EQ(Registros().size(), 1u);

    // Object creation writes COCREATE when asked, and calls then nothing.
    zenta::InvalidaConfiguracaoRastreio();
    EscreveIni("CoCreateInstance=1\n");
    {
        CQVEscopoRastreio escopo(CQVContextoProfiler{});
        escopo.IniciaCriacao("T_QVUnknown<struct I,class B>::T_QVUnknown", "teste.cpp", 1);
    }
    Escopo("CQVGE_ManutencaoPreventiva::Le");
    ASSERT_EQ(Registros().size(), 2u);
    EXPECT_EQ(Registros().back()[kColunaTipo], "COCREATE");
}

TEST_F(Rastreio, ChangedLogIniTakesEffectAfterTheTimeOut) {
    EscreveIni("Entrada=1\nTimeoutConfig=1\n");
    Escopo("CQVGE_ManutencaoPreventiva::Le");
    EscreveIni("Entrada=0\nTimeoutConfig=1\n");
    Escopo("CQVGE_ManutencaoPreventiva::Le");  // still the old switches
    EXPECT_EQ(Registros().size(), 2u);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    Escopo("CQVGE_ManutencaoPreventiva::Le");
    EXPECT_EQ(Registros().size(), 2u);
    EscreveIni("Entrada=1\nTimeoutConfig=1\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    Escopo("CQVGE_ManutencaoPreventiva::Le");
    EXPECT_EQ(Registros().size(), 3u);
}

// ---- The service's calls, end to end ---------------------------------------------

TEST_F(Rastreio, EveryServiceCallWritesOneEntryRecord) {
    EscreveIni("Entrada=1\nProcessos=todos\n");
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    IQVGE_ManutencaoPreventiva* p = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&p)),
              S_OK);
    ASSERT_EQ(p->Inicializa_Padrao(zenta::teste::RegistroInicializacao("ACME")), S_OK);
    _REG_CADASTRO_PROPRIEDADES_PS propriedades{};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(p->LePropriedades(&propriedades), S_OK);
    EXPECT_EQ(p->Release(), 0u);
    CoUninitialize();

    EXPECT_EQ(Quantos("ENTROU", "CQVGE_ManutencaoPreventiva::LePropriedades"), 3u);
    EXPECT_EQ(Quantos("ENTROU",
                      "T_QVUnknown<struct IQVGE_ManutencaoPreventiva,class CBaseManutencaoPreventiva>::Inicializa_Padrao"),
              1u);
    for (const auto& r : Registros()) {
        EXPECT_EQ(r[kColunaTipo], "ENTROU");
        if (r[kColunaFuncao] == "CQVGE_ManutencaoPreventiva::LePropriedades") {
            EXPECT_EQ(r[kColunaEmpresaInicializacao], "ACME");
        }
    }
}
