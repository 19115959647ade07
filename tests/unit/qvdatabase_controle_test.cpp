// The file-creation control: the list file, its "tra" twin, the directory
// marker, and two processes changing the list at once.

#include "core/qvdatabase/QVDataBaseControleCriacaoArquivos.h"
#include "support/MotorTeste.h"
#include "support/BaseDadosTeste.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using namespace zenta::teste;

class ControleTeste : public ::testing::Test {
protected:
    ControleTeste() : m_escopo(nullptr, PoliticaRapida()) { EXPECT_EQ(m_ctx.Inicializa("EMP", 7, 42), S_OK); }
    fs::path Dados() const { return DadosGE(m_home); }
    fs::path Controle() const { return Dados() / "QVDATABASE_FILE_CTRL.dat"; }
    fs::path Gemeo() const { return Dados() / "QVDATABASE_FILE_CTRL.tra"; }
    std::vector<std::string> Lista() {
        std::vector<std::string> lista;
        EXPECT_EQ(CQVDataBaseControleCriacaoArquivos::LeLista(m_ctx, QV_MODULO_GE, lista), S_OK);
        return lista;
    }
    // Creates the file, then opens the existing file for writing.
    void CriaEAbre(CQVDataBaseTeste& db) {
        ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
        ULONGLONG pos = 0;
        ASSERT_EQ(db.m_Pai.Grava(pos, REG_TESTE_PAI{}), S_OK);
        db.Finaliza();
        ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    }

    ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
    CQVInicializador m_ctx;
};

TEST_F(ControleTeste, AnExistingFileOpenedForWritingIsListedOnceAndDeletingItTakesItOut) {
    CQVDataBaseTeste db;
    db.m_bCompacta = false;
    CriaEAbre(db);
    db.Finaliza();
    ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    db.Finaliza();
    EXPECT_EQ(Lista(), (std::vector<std::string>{"TSPAI.dat"}));
    // A headerless text file.
    EXPECT_EQ(LeArquivo(Controle()), std::string("\x09\0\0\0TSPAI.dat", 13));
    EXPECT_FALSE(fs::exists(Gemeo()));
    EXPECT_FALSE(fs::exists(CQVArqMarca::Caminho(Dados(), "GE", 1)));
    for (const char* nome : {"TSPAI.cab", "TSPAI.srk", "TSPAI.tra", "QVDATABASE_FILE_CTRL.dat"})
        EXPECT_FALSE(CQVDataBaseControleCriacaoArquivos::NomeControlado(nome)) << nome;

    ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    ULONGLONG pos = 0;
    ASSERT_EQ(db.m_Neto.Grava(pos, REG_TESTE_NETO{}), S_OK);
    db.Finaliza();
    ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(Lista(), (std::vector<std::string>{"TSPAI.dat", "TSNETO.dat"}));
    ASSERT_EQ(db.m_Pai.DeletaArquivo(), S_OK);
    EXPECT_EQ(Lista(), (std::vector<std::string>{"TSNETO.dat"}));
    EXPECT_FALSE(fs::exists(Gemeo()));
    db.Finaliza();
}

TEST_F(ControleTeste, ATwinLeftByAnUnfinishedRewriteIsRemovedAndTheListKept) {
    CQVDataBaseTeste db;
    db.m_bCompacta = false;
    CriaEAbre(db);
    db.Finaliza();
    const std::string lista = LeArquivo(Controle());
    std::ofstream(Gemeo(), std::ios::binary) << std::string("\x50\0\0\0meio", 8);
    {
        // A reader without locking neither fails nor writes.
        CQVDataBaseTeste leitor;
        leitor.SetLeituraSemBloqueio(true);
        ASSERT_EQ(leitor.Inicializa("EMP", 7, 42), S_OK);
        EXPECT_EQ(leitor.m_Pai.GetQtdRegistros(), 1u);
        leitor.Finaliza();
        EXPECT_TRUE(fs::exists(Gemeo()));
    }
    ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    db.Finaliza();
    EXPECT_FALSE(fs::exists(Gemeo()));
    EXPECT_EQ(LeArquivo(Controle()), lista);
}

TEST_F(ControleTeste, ATwinWhileAnotherHoldsTheMarkerStopsWithTraFound) {
    fs::create_directories(Dados());
    std::ofstream(Gemeo()) << "x";
    CQVArqMarca outro;
    ASSERT_EQ(outro.Marca(Dados(), "GE", 1), S_OK);
    CQVDataBaseTeste db;
    db.m_bCompacta = false;
    EXPECT_EQ(db.Inicializa("EMP", 7, 42), E_QVCR_ARQUIVO_TRA_ENCONTRADO);
    db.Finaliza();
    outro.Libera();
    EXPECT_FALSE(fs::exists(CQVArqMarca::Caminho(Dados(), "GE", 1)));
    EXPECT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_FALSE(fs::exists(Gemeo()));
    db.Finaliza();
}

TEST_F(ControleTeste, TheMarkerIsHeldByOneAtATime) {
    EXPECT_EQ(CQVArqMarca::Caminho("/d", "GE", 1), fs::path("/d/GEXXMARCA1.dat"));
    CQVArqMarca a, b;
    ASSERT_EQ(a.Marca(Dados(), "GE", 1), S_OK);
    EXPECT_TRUE(fs::exists(Dados() / "GEXXMARCA1.dat"));
    EXPECT_EQ(b.Marca(Dados(), "GE", 1), E_QVDATABASE_eSharingViolation);
    EXPECT_EQ(b.Marca(Dados(), "GE", 2), S_OK);  // another number is another marker
    a.Libera();
    EXPECT_FALSE(fs::exists(Dados() / "GEXXMARCA1.dat"));
    EXPECT_EQ(a.Marca(Dados(), "GE", 1), S_OK);
}

TEST_F(ControleTeste, AListedFileThatIsMissingIsAnInconsistency) {
    CQVDataBaseControleCriacaoArquivos controle(QV_MODULO_GE, "tsfantasma.DAT");
    ASSERT_EQ(controle.GetNomeArquivo(), "TSFANTASMA.dat");
    ASSERT_EQ(controle.Inicializa(m_ctx), S_OK);
    ASSERT_EQ(controle.CriaControleCriacaoArquivos(), S_OK);
    EXPECT_EQ(controle.GerenciaControleCriacaoArquivos(eModoLeituraGravacao),
              E_QVCR_INCONSISTENCIA_CONTROLE_CRIACAO_ARQUIVOS);
    EXPECT_EQ(controle.GerenciaControleCriacaoArquivos(eModoLeituraGravacaoCriacao), S_OK);  // only for writers of existing files
    controle.DesabilitaControleCriacaoArquivos();
    EXPECT_EQ(controle.GerenciaControleCriacaoArquivos(eModoLeituraGravacao), S_OK);
    EXPECT_TRUE(Lista().empty());
}

TEST_F(ControleTeste, TwoProcessesChangingTheListAtOnceLoseNothing) {
    zenta::PoliticaTentativas paciente;
    paciente.tentativasAbertura = 20000;
    paciente.tentativasGravacao = 500;
    paciente.pausa = std::chrono::milliseconds(1);
    const zenta::EscopoArquivoSO escopo(nullptr, paciente);
    constexpr int N = 25;
    const auto nome = [](char processo, int i) { return std::string("P") + processo + std::to_string(i) + ".dat"; };
    // Each process adds N names and takes every third one out again.
    const auto trabalha = [&](char processo) -> bool {
        CQVInicializador ctx;
        if (FAILED(ctx.Inicializa("EMP", 7, 42))) return false;
        for (int i = 0; i < N; ++i) {
            CQVDataBaseControleCriacaoArquivos c(QV_MODULO_GE, nome(processo, i));
            if (FAILED(c.Inicializa(ctx)) || FAILED(c.CriaControleCriacaoArquivos())) return false;
            if (i % 3 == 0 && FAILED(c.RemoveControleCriacaoArquivos())) return false;
        }
        return true;
    };
    fs::create_directories(Dados());
    const pid_t filho = ::fork();
    ASSERT_GE(filho, 0);
    if (filho == 0) ::_exit(trabalha('B') ? 0 : 1);
    const bool ok = trabalha('A');
    int status = 0;
    ASSERT_EQ(::waitpid(filho, &status, 0), filho);
    ASSERT_TRUE(ok);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    std::set<std::string> esperado;
    for (const char p : {'A', 'B'})
        for (int i = 0; i < N; ++i)
            if (i % 3 != 0) esperado.insert(nome(p, i));
    const std::vector<std::string> lista = Lista();
    EXPECT_EQ(std::set<std::string>(lista.begin(), lista.end()), esperado);
    EXPECT_EQ(lista.size(), esperado.size());  // no name twice
    EXPECT_FALSE(fs::exists(Gemeo()));
}

}  // namespace
