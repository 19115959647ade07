// Fault injection: the file layer fails (or the process dies) at each write,
// rename and delete step of header insertion, control-file rewrite and
// compaction in turn; a restart with new objects on the real layer must find
// every record and every link.

#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVDataBase.h"
#include "core/qvdatabase/QVDataBaseControleCriacaoArquivos.h"
#include "support/MotorFalhas.h"
#include "support/MotorTeste.h"
#include "support/BaseDadosTeste.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using namespace zenta::teste;

// Counts the write, rename and delete steps; fails the chosen one, or ends
// the process just before it.
class FalhaNoPasso {
public:
    enum class Modo { conta, falha, mata };
    FalhaNoPasso(Modo modo, int alvo)
        : m_camada(std::make_shared<CamadaFalhas>([this, modo, alvo](const Passo& p) {
              const char* tipo = p.tipo == PassoSO::grava ? "write " : p.tipo == PassoSO::renomeia ? "rename "
                                 : p.tipo == PassoSO::remove ? "delete " : nullptr;
              if (tipo == nullptr) return kPassa;
              const int n = ++m_passos;
              if (modo == Modo::conta) m_descricoes.push_back(tipo + p.nome);
              if (n != alvo) return kPassa;
              if (modo == Modo::mata) ::_exit(0);
              m_falhou = modo == Modo::falha;
              return m_falhou ? Resposta{Resposta::falha, p.tipo == PassoSO::grava ? zenta::CausaArquivo::discoCheio
                                                                                   : zenta::CausaArquivo::erroFisico}
                              : kPassa;
          })),
          m_escopo(m_camada, zenta::teste::PoliticaRapida(1, 1)) {}

    int Passos() const { return m_passos.load(); }
    const std::vector<std::string>& Descricoes() const { return m_descricoes; }
    bool Falhou() const { return m_falhou; }

private:
    std::atomic<int> m_passos{0};
    std::vector<std::string> m_descricoes;
    bool m_falhou = false;
    std::shared_ptr<CamadaFalhas> m_camada;
    const zenta::EscopoArquivoSO m_escopo;
};

class InjecaoFalhasTeste : public ::testing::Test {
protected:
    InjecaoFalhasTeste() : m_escopo(nullptr, zenta::teste::PoliticaRapida(1, 1)) {}
    // One attempt per step, so that a failed step is not hidden by a retry.
    fs::path Dados() const { return m_home.Raiz() / "data" / "EMP" / "GE"; }
    fs::path Copia() const { return m_home.Raiz() / "copia"; }

    void GuardaCopia() {
        fs::remove_all(Copia());
        fs::copy(Dados(), Copia(), fs::copy_options::recursive);
    }
    void RestauraCopia() {
        fs::remove_all(Dados());
        fs::copy(Copia(), Dados(), fs::copy_options::recursive);
    }

    // A restart: new objects, the real layer, the full start-up, which must
    // clear by itself whatever the interrupted action left ("cab", "srk").
    // `sPodeFaltar`: a file the interrupted action deleted, which the list
    // may still name (harmless: a listed file is only checked when it exists).
    void Reinicia(const Modelo& modelo, const std::string& caso, const std::string& sPodeFaltar = {}) {
        SCOPED_TRACE(caso);
        CQVDataBaseTeste db;
        ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
        ConfereModelo(db, modelo);
        db.Finaliza();
        for (const auto& e : fs::directory_iterator(Dados())) {
            EXPECT_NE(e.path().extension(), ".srk") << e.path();
            EXPECT_NE(e.path().extension(), ".cab") << e.path();
            EXPECT_NE(e.path().extension(), ".tra") << e.path();
        }
        // The control list loads and names only files that exist.
        CQVInicializador ctx;
        ASSERT_EQ(ctx.Inicializa("EMP", 7, 42), S_OK);
        std::vector<std::string> lista;
        ASSERT_EQ(CQVDataBaseControleCriacaoArquivos::LeLista(ctx, QV_MODULO_GE, lista), S_OK);
        for (const std::string& nome : lista) {
            if (nome == sPodeFaltar) continue;
            EXPECT_TRUE(fs::exists(Dados() / nome)) << nome;
        }
    }

    // Runs `acao` once counting its steps, then once per step with that step
    // failing, restarting after each.
    void FalhaCadaPasso(const std::function<HRESULT()>& acao, const Modelo& modelo, int minimoPassos,
                        const std::string& sPodeFaltar = {}) {
        GuardaCopia();
        int n = 0;
        {
            FalhaNoPasso so(FalhaNoPasso::Modo::conta, -1);
            ASSERT_EQ(acao(), S_OK);
            n = so.Passos();
        }
        ASSERT_GE(n, minimoPassos);
        Reinicia(modelo, "sem falha", sPodeFaltar);
        for (int k = 1; k <= n; ++k) {
            RestauraCopia();
            {
                FalhaNoPasso so(FalhaNoPasso::Modo::falha, k);
                (void)acao();
                EXPECT_TRUE(so.Falhou()) << "passo " << k;
            }
            Reinicia(modelo, "falha no passo " + std::to_string(k) + " de " + std::to_string(n), sPodeFaltar);
            if (HasFatalFailure()) return;
        }
    }

    // A start-up of the test database (compacting or not).
    static HRESULT Partida(bool bCompacta) {
        CQVDataBaseTeste db;
        db.m_bCompacta = bCompacta;
        const HRESULT hr = db.Inicializa("EMP", 7, 42);
        db.Finaliza();
        return hr;
    }

    Modelo GravaBase(bool bSemCabecalho) {
        CQVDataBaseTeste db;
        db.m_bCompacta = false;
        db.SetSemCabecalho(bSemCabecalho);
        EXPECT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
        Modelo m = GravaBaseComLixo(db, 5);
        db.Finaliza();
        return m;
    }

    ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
};

TEST_F(InjecaoFalhasTeste, HeaderInsertionSurvivesAFailureAtEveryStep) {
    const Modelo modelo = GravaBase(true);  // legacy files without headers
    FalhaCadaPasso([] { return Partida(false); }, modelo, 8);
}

TEST_F(InjecaoFalhasTeste, CompactionSurvivesAFailureAtEveryStep) {
    const Modelo modelo = GravaBase(false);
    ASSERT_EQ(Partida(false), S_OK);  // headers and control list in place
    FalhaCadaPasso([] { return Partida(true); }, modelo, 12);
}

TEST_F(InjecaoFalhasTeste, ControlFileRewriteSurvivesAFailureAtEveryStep) {
    const Modelo modelo = GravaBase(false);
    {
        CQVDataBase db(QV_MODULO_GE);
        CQVFile<REG_TESTE_NETO> extra("TSEXTRA.dat", &db);
        ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
        ULONGLONG pos = 0;
        ASSERT_EQ(extra.Grava(pos, REG_TESTE_NETO{}), S_OK);
        db.Finaliza();
    }
    ASSERT_EQ(Partida(false), S_OK);
    const auto acao = [] {
        CQVDataBase db(QV_MODULO_GE);
        CQVFile<REG_TESTE_NETO> extra("TSEXTRA.dat", &db);
        HRESULT hr = db.Inicializa("EMP", 7, 42);  // lists the file
        if (SUCCEEDED(hr)) hr = extra.DeletaArquivo();  // takes it out again
        db.Finaliza();
        return hr;
    };
    FalhaCadaPasso(acao, modelo, 4, "TSEXTRA.dat");
}

TEST_F(InjecaoFalhasTeste, CompactionSurvivesTheProcessDyingAroundEachRename) {
    const Modelo modelo = GravaBase(false);
    ASSERT_EQ(Partida(false), S_OK);
    GuardaCopia();
    std::vector<std::string> passos;
    {
        FalhaNoPasso so(FalhaNoPasso::Modo::conta, -1);
        ASSERT_EQ(Partida(true), S_OK);
        passos = so.Descricoes();
    }
    // Die just before each rename of a compaction twin and just after it.
    std::vector<int> alvos;
    for (std::size_t i = 0; i < passos.size(); ++i) {
        if (passos[i].rfind("rename ", 0) == 0 && passos[i].find(".srk") != std::string::npos) {
            alvos.push_back(static_cast<int>(i) + 1);
            alvos.push_back(static_cast<int>(i) + 2);
        }
    }
    ASSERT_GE(alvos.size(), 12u);  // three compactions, two renames each
    for (const int k : alvos) {
        RestauraCopia();
        const pid_t filho = ::fork();
        ASSERT_GE(filho, 0);
        if (filho == 0) {
            FalhaNoPasso so(FalhaNoPasso::Modo::mata, k);
            (void)Partida(true);
            ::_exit(2);  // the chosen step never came
        }
        int status = 0;
        ASSERT_EQ(::waitpid(filho, &status, 0), filho);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0) << "passo " << k;
        Reinicia(modelo, "morte antes do passo " + std::to_string(k) + " (" +
                             (k <= static_cast<int>(passos.size()) ? passos[k - 1] : "fim") + ")");
        if (HasFatalFailure()) return;
    }
}

}  // namespace
