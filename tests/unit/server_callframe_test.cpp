// The call frame around logic operations: results, thrown exceptions, bad
// library arguments, machine-fault results and the default access.
#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>

#include "access/QVUltimoErro.h"
#include "diagnostics/QVException.h"
#include "server/QVUnknownT.h"
#include "support/Inicializacao.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

namespace {

// {0C6E0D2A-5F7B-4E55-9E0B-6C0D8E0F1A21}
constexpr IID IID_ITesteQuadro = {0x0c6e0d2a, 0x5f7b, 0x4e55, {0x9e, 0x0b, 0x6c, 0x0d, 0x8e, 0x0f, 0x1a, 0x21}};

struct ITesteQuadro : IQVUnknown {
    virtual HRESULT STDMETHODCALLTYPE Executa(LONG acao) = 0;

protected:
    ~ITesteQuadro() = default;
};

std::atomic<int> g_logicasVivas{0};
// Locks a faulting operation takes and never lets go of itself.
zenta::CQVTrava g_trava;
zenta::CQVTravaRecursiva g_travaRecursiva;
zenta::CQVTravaLeituraEscrita g_travaLeituraEscrita;
std::atomic<bool> g_falhaInicializacao{false};

class CLogicaTeste : public CQVBaseParaRotinas, public CQVUltimoErro {
public:
    static constexpr const char* kNomeClasse = "CLogicaTeste";
    CLogicaTeste() { ++g_logicasVivas; }
    ~CLogicaTeste() override {
        Finaliza();
        --g_logicasVivas;
    }

    HRESULT Executa(LONG acao) {
        switch (acao) {
            case 0: return S_OK;
            case 1: return E_FAIL;
            case 2: throw std::bad_alloc();
            case 3: throw std::runtime_error("x");
            case 4: throw 3.5;
            case 8: throw new CQVException(0u, 9u, 5u);  // freed by the frame (LeakSanitizer would say otherwise)
            case 5: {  // a checked copy into a buffer that is too small
                char pequeno[4];
                strcpy_s(pequeno, sizeof pequeno, "grande demais");
                return S_OK;
            }
            case 6: return static_cast<HRESULT>(0x8004EAC5u);  // what the fault guard answers for an access violation
            case 9: {  // a fault with locks of every registered kind held
                g_trava.lock();
                g_travaRecursiva.lock();
                g_travaRecursiva.lock();
                g_travaLeituraEscrita.lock_shared();
                raise(SIGSEGV);
                return S_OK;
            }
            case 7:  // the default access is this object during the call
                return CQVBaseParaRotinas::GetAcessoServidoresDefault() == this ? S_OK : E_UNEXPECTED;
            default: return E_INVALIDARG;
        }
    }

protected:
    HRESULT OnInicializa() override { return g_falhaInicializacao ? E_ACCESSDENIED : S_OK; }
};

}  // namespace

template <>
struct zenta::T_QVNomeInterface<ITesteQuadro> {
    static constexpr const char* kNome = "ITesteQuadro";
    static constexpr const IID& kIID = IID_ITesteQuadro;
};

namespace {

class CObjetoTeste final : public T_QVUnknown<ITesteQuadro, CLogicaTeste> {
public:
    HRESULT STDMETHODCALLTYPE Executa(LONG acao) override {
        return ChamadaProtegida("Executa", QV_ARQUIVO, __LINE__, [acao](CLogicaTeste& base) { return base.Executa(acao); });
    }

protected:
    std::string NomeRastreio(const char* metodo) const override { return std::string("CObjetoTeste::") + metodo; }
};

class Quadro : public ::testing::Test {
protected:
    void SetUp() override {
        g_falhaInicializacao = false;
        m_objeto = new CObjetoTeste();
        m_objeto->AddRef();
    }
    void TearDown() override {
        m_objeto->Release();
        EXPECT_EQ(g_logicasVivas.load(), 0);
    }
    zenta::teste::ZentaHomeTemporario m_home;
    CObjetoTeste* m_objeto = nullptr;
};

TEST_F(Quadro, TranslatesResultsAndThrownExceptions) {
    ASSERT_EQ(m_objeto->Inicializa_Padrao(zenta::teste::RegistroInicializacao()), S_OK);
    EXPECT_EQ(m_objeto->Executa(0), S_OK);
    EXPECT_EQ(m_objeto->Executa(1), E_FAIL);
    EXPECT_EQ(m_objeto->Executa(2), static_cast<HRESULT>(0x8004EA64u));
    EXPECT_EQ(m_objeto->Executa(3), static_cast<HRESULT>(0x8004EA65u));
    EXPECT_EQ(m_objeto->Executa(4), static_cast<HRESULT>(0x8004EA66u));
    EXPECT_EQ(m_objeto->Executa(8), static_cast<HRESULT>(0x80040005u));
    // ERANGE (34) from the checked copy, handed back through the handler.
    EXPECT_EQ(m_objeto->Executa(5), static_cast<HRESULT>(0x8004EAFBu));
    EXPECT_EQ(m_objeto->Executa(7), S_OK);
    EXPECT_EQ(CQVBaseParaRotinas::GetAcessoServidoresDefault(), nullptr);
    // The object is still usable after all of them.
    EXPECT_EQ(m_objeto->Executa(0), S_OK);

    const std::string log = zenta::teste::LeArquivo(
        m_home.Raiz() / "data/DEMO/DF" /
        std::filesystem::directory_iterator(m_home.Raiz() / "data/DEMO/DF")->path().filename());
    EXPECT_NE(log.find("CObjetoTeste::Executa"), std::string::npos);
    EXPECT_NE(log.find("hr = pfInSEHFuncao()"), std::string::npos);
    EXPECT_NE(log.find("hr = QVTranslateThrownExceptionToHresult()"), std::string::npos);
}

TEST_F(Quadro, FailedStartUpDisposesTheLogic) {
    g_falhaInicializacao = true;
    EXPECT_EQ(m_objeto->Inicializa_Padrao(zenta::teste::RegistroInicializacao()), E_ACCESSDENIED);
    EXPECT_EQ(g_logicasVivas.load(), 0);
    g_falhaInicializacao = false;
    EXPECT_EQ(m_objeto->Inicializa_Padrao(zenta::teste::RegistroInicializacao()), static_cast<HRESULT>(0x81080AA8u));
}

TEST_F(Quadro, MachineFaultReleasesTheLocksTheCallHeld) {
    ASSERT_EQ(m_objeto->Inicializa_Padrao(zenta::teste::RegistroInicializacao()), S_OK);
    EXPECT_EQ(m_objeto->Executa(9), static_cast<HRESULT>(0x8004EAC5u));
    // Another thread finds every lock free (the recursive one taken twice).
    std::thread([] {
        EXPECT_TRUE(g_trava.try_lock());
        EXPECT_TRUE(g_travaRecursiva.try_lock());
        EXPECT_TRUE(g_travaLeituraEscrita.try_lock());
        g_trava.unlock();
        g_travaRecursiva.unlock();
        g_travaLeituraEscrita.unlock();
    }).join();
    EXPECT_FALSE(zenta::ProcessoComprometido());
}

// A machine fault disposes of the logic while other threads are calling.
TEST_F(Quadro, MachineFaultDisposesTheLogicButNotTheObject) {
    ASSERT_EQ(m_objeto->Inicializa_Padrao(zenta::teste::RegistroInicializacao()), S_OK);
    std::atomic<bool> parar{false};
    std::vector<std::thread> chamadores;
    for (int i = 0; i < 3; ++i) {
        chamadores.emplace_back([&] {
            while (!parar) {
                const HRESULT hr = m_objeto->Executa(7);
                EXPECT_TRUE(hr == S_OK || hr == static_cast<HRESULT>(0x81080A04u));
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(m_objeto->Executa(6), static_cast<HRESULT>(0x8004EAC5u));
    parar = true;
    for (auto& t : chamadores) t.join();
    // The fault disposed of the logic but not of the object.
    EXPECT_EQ(g_logicasVivas.load(), 0);
    EXPECT_EQ(m_objeto->Executa(0), static_cast<HRESULT>(0x81080A04u));
    EXPECT_EQ(m_objeto->Inicializa_Padrao(zenta::teste::RegistroInicializacao()), static_cast<HRESULT>(0x81080AA8u));
    LONG ok = 0;
    EXPECT_EQ(m_objeto->KeepAlive(&ok), S_OK);
}

}  // namespace
