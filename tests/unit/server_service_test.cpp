// The service object as clients see it: creation, the initialisation
// handshake, the gate and the generic IQVUnknown methods; and the call frame
// every method runs in.

#include <new>
#include <stdexcept>

#include <zenta/zenta.h>

#include "access/QVUltimoErro.h"
#include "diagnostics/QVException.h"
#include "server/QVUnknownT.h"
#include "support/ArquivosLog.h"
#include "support/Inicializacao.h"
#include "support/ServicoTeste.h"
#include "support/ZentaHomeTemporario.h"

using zenta::teste::ArquivosAbaixo;
using zenta::teste::LeArquivo;
using zenta::teste::RegistroInicializacao;
using zenta::teste::ZentaHomeTemporario;

namespace {

HRESULT Cria(REFIID iid, void* p, DWORD contexto = CLSCTX_INPROC_SERVER, IUnknown* externo = nullptr,
             REFCLSID clsid = CLSID_QVGE_ManutencaoPreventiva) {
    return CoCreateInstance(clsid, externo, contexto, iid, static_cast<void**>(p));
}

constexpr HRESULT kNaoInicializado = static_cast<HRESULT>(0x81080A04u);
constexpr HRESULT kSemLogica = static_cast<HRESULT>(0x81080AA8u);

class Servico : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(Cria(IID_IQVGE_ManutencaoPreventiva, &m_p, zenta::teste::ContextoServico()), S_OK);
    }
    void TearDown() override {
        if (m_p != nullptr) {
            EXPECT_EQ(m_p->Release(), 0u);
        }
        CoUninitialize();
    }
    std::filesystem::path LogPgms() const {
        return m_home.Raiz() / "programs/DF" / ("QVProfilerErros_Pgms_" + zenta::teste::SufixoMesAtual() + ".log");
    }
    std::filesystem::path LogEmpresa(const std::string& empresa) const {
        return m_home.Raiz() / "data" / empresa / "DF" / ("QVProfilerErros_Base_" + zenta::teste::SufixoMesAtual() + ".log");
    }

    ZentaHomeTemporario m_home;
    IQVGE_ManutencaoPreventiva* m_p = nullptr;
};

// An outer object that aggregates the service.
class Externo final : public IUnknown {
public:
    virtual ~Externo() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        return m_interno->QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_cRef; }
    IUnknown* m_interno = nullptr;
    ULONG m_cRef = 1;
};

TEST(ServicoCriacao, NeedsComInitialisedAnswersItsInterfacesAndCanBeAggregated) {
    IUnknown* p = nullptr;
    EXPECT_EQ(Cria(IID_IUnknown, &p), CO_E_NOTINITIALIZED);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    EXPECT_EQ(Cria(IID_IUnknown, &p, CLSCTX_INPROC_SERVER, nullptr, LIBID_ZENTALib), REGDB_E_CLASSNOTREG);
    ASSERT_EQ(Cria(IID_IUnknown, &p), S_OK);
    IQVUnknown* base = nullptr;
    IQVGE_ManutencaoPreventiva* servico = nullptr;
    IUnknown* identidade = nullptr;
    void* nada = nullptr;
    EXPECT_EQ(p->QueryInterface(IID_IQVUnknown, reinterpret_cast<void**>(&base)), S_OK);
    EXPECT_EQ(p->QueryInterface(IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&servico)), S_OK);
    EXPECT_EQ(servico->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identidade)), S_OK);
    EXPECT_EQ(identidade, p);  // one identity whatever interface is asked
    EXPECT_EQ(p->QueryInterface(IID_IClassFactory, &nada), E_NOINTERFACE);
    EXPECT_EQ(nada, nullptr);
    identidade->Release();
    servico->Release();
    base->Release();
    EXPECT_EQ(p->Release(), 0u);

    // Aggregated only when the outer object asks for IUnknown; the inner
    // object's interfaces then count on and answer for the outer one.
    Externo externo;
    EXPECT_EQ(Cria(IID_IQVGE_ManutencaoPreventiva, &nada, CLSCTX_INPROC_SERVER, &externo), CLASS_E_NOAGGREGATION);
    ASSERT_EQ(Cria(IID_IUnknown, &externo.m_interno, CLSCTX_INPROC_SERVER, &externo), S_OK);
    ASSERT_EQ(externo.QueryInterface(IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&servico)), S_OK);
    EXPECT_EQ(externo.m_cRef, 2u);
    ASSERT_EQ(servico->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identidade)), S_OK);
    EXPECT_EQ(identidade, &externo);
    identidade->Release();
    servico->Release();
    EXPECT_EQ(externo.m_interno->Release(), 0u);
    CoUninitialize();
}

TEST_F(Servico, RefusesCallsBeforeInitialisationAndBadInitialisationRecordsThenAcceptsAGoodOne) {
    _REG_CADASTRO_PROPRIEDADES_PS propriedades{};
    EXPECT_EQ(m_p->LePropriedades(&propriedades), kNaoInicializado);
    LONG pos = 0;
    EXPECT_EQ(m_p->Le(1, nullptr), kNaoInicializado);
    EXPECT_EQ(m_p->GravaHistoricoMedicao(&pos, nullptr), kNaoInicializado);
    _REG_CR_LISTA_BYTESPS entrada{};
    _REG_CR_LISTA_BYTESPS* saida = nullptr;
    EXPECT_EQ(m_p->FuncaoGenerica(1, entrada, &saida), kNaoInicializado);

    // What needs no initialisation works, and nothing was logged.
    LONG ok = 0;
    EXPECT_EQ(m_p->KeepAlive(&ok), S_OK);
    EXPECT_EQ(ok, 1);
    _REG_DF_ERROPS erro;
    std::memset(&erro, 0xCC, sizeof erro);
    EXPECT_EQ(m_p->GetUltimoErro(&erro), S_OK);
    EXPECT_TRUE(std::all_of(reinterpret_cast<BYTE*>(&erro), reinterpret_cast<BYTE*>(&erro) + sizeof erro,
                            [](BYTE b) { return b == 0; }));
    LONG teve = 5;
    EXPECT_EQ(m_p->CadastroTeveMovimentacao(1, 2, &teve), E_NOTIMPL);
    EXPECT_EQ(teve, 5);
    EXPECT_TRUE(ArquivosAbaixo(m_home.Raiz()).empty());

    // Another version, a wrong CRC or one over the whole record, and fields
    // the structure check refuses.
    const struct {
        void (*altera)(_REG_DF_INICIALIZAPS& r);
        HRESULT esperado;
    } casos[] = {
        {[](_REG_DF_INICIALIZAPS& r) { r.usVersaoFarol = 126; QVAssinaInicializacao(r); }, static_cast<HRESULT>(0x81080BFDu)},
        {[](_REG_DF_INICIALIZAPS& r) { r.uiCRC = QVCalculaCrc64(&r, 296 - 8, 0) ^ 1; }, static_cast<HRESULT>(0x81080C17u)},
        {[](_REG_DF_INICIALIZAPS& r) { r.uiCRC = 0; r.uiCRC = QVCalculaCrc64(&r, sizeof r, 0); },
         static_cast<HRESULT>(0x81080C17u)},
        {[](_REG_DF_INICIALIZAPS& r) { r.cControle = 'b'; QVAssinaInicializacao(r); }, static_cast<HRESULT>(0x81080C19u)},
        {[](_REG_DF_INICIALIZAPS& r) { r.ulLinhaFonte = 0; QVAssinaInicializacao(r); }, static_cast<HRESULT>(0x81080C19u)},
        {[](_REG_DF_INICIALIZAPS& r) { r.szAplicativo[0] = 0; QVAssinaInicializacao(r); }, static_cast<HRESULT>(0x81080C19u)},
    };
    for (const auto& caso : casos) {
        auto registro = RegistroInicializacao();
        caso.altera(registro);
        EXPECT_EQ(m_p->Inicializa_Padrao(registro), caso.esperado) << &caso - casos;
    }

    // The refusals changed nothing: still refused, then a good record works.
    EXPECT_EQ(m_p->LePropriedades(&propriedades), kNaoInicializado);
    EXPECT_EQ(m_p->Inicializa_Padrao(RegistroInicializacao()), S_OK);
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS cadastro{};
    EXPECT_EQ(m_p->Le(1, &cadastro), static_cast<HRESULT>(0x810809E3u));  // no plan file yet

    // Each refusal wrote one line to the month's program error file, under its header.
    const auto linhas = zenta::teste::LinhasDe(LogPgms());
    ASSERT_EQ(linhas.size(), 7u);
    EXPECT_EQ(linhas[0].rfind("Data\tHora\tProcesso\t", 0), 0u);
    EXPECT_NE(linhas[1].find("hr = E_QVCR_VERSAO_INCOMPATIVEL"), std::string::npos);
    EXPECT_NE(linhas[1].find("Inicializa_Padrao"), std::string::npos);
    EXPECT_NE(linhas[2].find("hr = E_QVCR_CRC_INICIALIZACAO_INVALIDO"), std::string::npos);
    EXPECT_NE(linhas[4].find("hr = E_QVCR_ESTRUTURA_INICIALIZACAO_INVALIDA"), std::string::npos);
    // The failing business call after initialisation went to the company's file.
    const std::string empresa = LeArquivo(LogEmpresa("DEMO"));
    EXPECT_NE(empresa.find("CQVGE_ManutencaoPreventiva::Le\t"), std::string::npos);
    EXPECT_NE(empresa.find("hr = pfInSEHFuncao()"), std::string::npos);
}

TEST_F(Servico, UnsafeCompanyNameIsRefusedAndDisposesTheLogic) {
    for (const char* nome : {"..", "../fora", "a/b", "a\\b", "tab\tx"}) {
        IQVGE_ManutencaoPreventiva* p = nullptr;
        ASSERT_EQ(Cria(IID_IQVGE_ManutencaoPreventiva, &p, zenta::teste::ContextoServico()), S_OK);
        EXPECT_EQ(p->Inicializa_Padrao(RegistroInicializacao(nome)), static_cast<HRESULT>(0x8007007Bu)) << nome;
        // A failed initialisation disposes of the logic: a retry cannot succeed.
        EXPECT_EQ(p->Inicializa_Padrao(RegistroInicializacao()), kSemLogica);
        p->Release();
    }
    // A company field without a terminator is refused the same way.
    auto cheio = RegistroInicializacao();
    std::memset(cheio.szEmpresa, 'X', sizeof cheio.szEmpresa);
    QVAssinaInicializacao(cheio);
    EXPECT_EQ(m_p->Inicializa_Padrao(cheio), static_cast<HRESULT>(0x8007007Bu));
    for (const auto& arquivo : ArquivosAbaixo(m_home.Raiz())) EXPECT_EQ(arquivo.rfind("programs/DF/", 0), 0u) << arquivo;
    EXPECT_FALSE(std::filesystem::exists(m_home.Raiz().parent_path() / "fora"));
}

TEST_F(Servico, SecondInitialisationReinitialises) {
    EXPECT_EQ(m_p->Inicializa_Padrao(RegistroInicializacao("A")), S_OK);
    EXPECT_EQ(m_p->Inicializa_Padrao(RegistroInicializacao("B")), S_OK);
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS cadastro{};
    EXPECT_EQ(m_p->Le(1, &cadastro), static_cast<HRESULT>(0x810809E3u));  // no plan file yet
    EXPECT_TRUE(std::filesystem::exists(LogEmpresa("B")));
    EXPECT_FALSE(std::filesystem::exists(LogEmpresa("A")));
    // An empty company passes the record checks; the logic's start-up then
    // refuses a database without a company.
    EXPECT_EQ(m_p->Inicializa_Padrao(RegistroInicializacao("")), static_cast<HRESULT>(0x810809CFu));
}

TEST_F(Servico, MultipleChangeCallsRunTheHookPerEntry) {
    _REG_CR_ALTERACAOPS alteracoes[2]{};
    EXPECT_EQ(m_p->AlteracaoMultiplaCadastro(0, nullptr, 2, alteracoes), S_OK);
    ULONG ponteiros[3] = {1, 2, 3};
    EXPECT_EQ(m_p->AlteracaoMultiplaCadastro(3, ponteiros, 2, alteracoes), E_NOTIMPL);
    ULONGLONG chaves[2] = {10, 20};
    EXPECT_EQ(m_p->AlteracaoMultiplaMovimento(2, chaves, 0, nullptr), E_NOTIMPL);
    // One line each: the loop stops at the first hook's answer.
    const std::string log = LeArquivo(LogPgms());
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
    EXPECT_NE(log.find("hr = OnAlteracaoMultiplaCadastro(ulPonteiro, listaAlteracoes)"), std::string::npos);
    EXPECT_NE(log.find("hr = OnAlteracaoMultiplaMovimento(regDMC, listaAlteracoes)"), std::string::npos);
    // Counts that do not match the memory given are refused, not read.
    EXPECT_EQ(m_p->AlteracaoMultiplaCadastro(2, nullptr, 0, nullptr), E_POINTER);
    EXPECT_EQ(m_p->AlteracaoMultiplaCadastro(0, nullptr, 2, nullptr), E_POINTER);
}

}  // namespace

// ---- The call frame around logic operations: results, thrown exceptions,
// machine-fault results, the locks a faulting call held and the default access.

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
    std::string NomeRastreio(const char* metodo) const override { return "CObjetoTeste::" + std::string(metodo); }
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
    EXPECT_EQ(m_objeto->Inicializa_Padrao(zenta::teste::RegistroInicializacao()), kSemLogica);
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
                EXPECT_TRUE(hr == S_OK || hr == kNaoInicializado);
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(m_objeto->Executa(6), static_cast<HRESULT>(0x8004EAC5u));
    parar = true;
    for (auto& t : chamadores) t.join();
    // The fault disposed of the logic but not of the object.
    EXPECT_EQ(g_logicasVivas.load(), 0);
    EXPECT_EQ(m_objeto->Executa(0), kNaoInicializado);
    EXPECT_EQ(m_objeto->Inicializa_Padrao(zenta::teste::RegistroInicializacao()), kSemLogica);
    LONG ok = 0;
    EXPECT_EQ(m_objeto->KeepAlive(&ok), S_OK);
}

}  // namespace
