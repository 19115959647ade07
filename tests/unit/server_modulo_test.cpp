// The local server's module: registration switches, the start-up sequence,
// the single lock count and the shutdown monitor (with a short idle
// time-out in place of the real 50 seconds).

#include <optional>

#include <zenta/zenta.h>

#include "server/QVExeModule.h"
#include "server/QVModulo.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

namespace {
using namespace std::chrono_literals;

using Relogio = std::chrono::steady_clock;
using std::chrono::milliseconds;
using zenta::EComandoRegistro;

constexpr DWORD kOciosoMs = 150;

// A module whose COM steps are recorded instead of carried out.
class CModuloTeste : public CQVExeModuleT<CModuloTeste> {
public:
    static HRESULT InitializeCom() { return s_hrInicializa; }
    HRESULT RegisterServer(bool porUsuario) {
        registros.push_back({true, porUsuario});
        return hrRegistro;
    }
    HRESULT UnregisterServer(bool porUsuario) {
        registros.push_back({false, porUsuario});
        return hrRegistro;
    }
    HRESULT Run() {
        ++execucoes;
        return S_FALSE;
    }
    HRESULT SuspendClassObjects() {
        ++suspensoes;
        if (travaAoSuspender.exchange(false)) Lock();
        return S_OK;
    }
    HRESULT ResumeClassObjects() {
        ++retomadas;
        return S_OK;
    }

    struct Registro {
        bool registra;
        bool porUsuario;
    };
    static inline HRESULT s_hrInicializa = S_OK;
    HRESULT hrRegistro = S_OK;
    std::vector<Registro> registros;
    int execucoes = 0;
    std::atomic<int> suspensoes{0};
    std::atomic<int> retomadas{0};
    std::atomic<bool> travaAoSuspender{false};  // a client slips in during suspension
};

// Takes every message off the calling thread's queue.
void EsvaziaFila() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// When WM_QUIT reached the calling thread within `limite`.
std::optional<Relogio::time_point> EsperaQuit(milliseconds limite) {
    const auto fim = Relogio::now() + limite;
    MSG msg;
    while (Relogio::now() < fim) {
        if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return Relogio::now();
        std::this_thread::sleep_for(milliseconds(2));
    }
    return std::nullopt;
}

class Monitor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(zenta::QVModulo::Instancia().Travas(), 0) << "an earlier test left locks behind";
        EsvaziaFila();
        m_modulo.DefineTempoOcioso(kOciosoMs);
        ASSERT_EQ(m_modulo.StartMonitor(), S_OK);
    }
    void TearDown() override { EsvaziaFila(); }

    CModuloTeste m_modulo;
};

}  // namespace

TEST(LinhaComando, SwitchesAfterSlashOrHyphenInAnyCaseAsWholeWordsTheFirstWinning) {
    using E = EComandoRegistro;
    const std::pair<const char*, E> casos[] = {
        {"/RegServer", E::RegServer},
        {"-Embedding -rEgSeRvEr", E::RegServer},
        {"-RegServer\t-x", E::RegServer},
        {"/UNREGSERVERPERUSER", E::UnregServerPerUser},
        {"-RegServerPerUser -RegServer", E::RegServerPerUser},
        // Scanning resumes just past an introducer.
        {"--UnregServer", E::UnregServer},
        {"-Automation /x /UnregServer", E::UnregServer},
    };
    for (const auto& [linha, esperado] : casos) EXPECT_EQ(zenta::ComandoRegistroDe(linha), esperado) << linha;
    for (const char* linha : {"-RegServerX", "-RegServe", "RegServer", "-Reg Server", "", "-", "/ -",
                              "-RegServer/x", "-UnregServerPerUserX"})
        EXPECT_EQ(zenta::ComandoRegistroDe(linha), E::Nenhum) << linha;
    const char* const argv[] = {"/opt/zenta/bin/zenta", "-Embedding", "/RegServer", nullptr};
    EXPECT_EQ(zenta::LinhaComandoDe(3, argv), "-Embedding /RegServer");
    EXPECT_EQ(zenta::LinhaComandoDe(5, argv), "-Embedding /RegServer");  // stops at the terminating null
}

TEST(TempoOcioso, TheInstallationCanOnlyShortenIt) {
    EXPECT_EQ(zenta::TempoOciosoDe(std::nullopt), 50000u);
    EXPECT_EQ(zenta::TempoOciosoDe(200u), 200u);
    for (const DWORD valor : {0u, 50001u, 0xFFFFFFFFu}) EXPECT_EQ(zenta::TempoOciosoDe(valor), 50000u) << valor;
}

// A termination signal ends the process within its grace even when the run
// never gets to end (a call that never returns holds it); a second signal
// ends it at once.
TEST(EncerraPorSinaisDeathTest, EndsWithinTheGraceWhateverStillRuns) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Caso {
        int sinais;
        std::chrono::milliseconds graca;
    };
    for (const Caso caso : {Caso{1, 300ms}, Caso{2, 60'000ms}}) {
        const auto inicio = std::chrono::steady_clock::now();
        EXPECT_EXIT(
            {
                sigset_t sinais;
                sigemptyset(&sinais);
                sigaddset(&sinais, SIGTERM);
                ::pthread_sigmask(SIG_BLOCK, &sinais, nullptr);
                std::thread(zenta::EncerraPorSinais, sinais, GetCurrentThreadId(), caso.graca).detach();
                for (int i = 0; i < caso.sinais; ++i) {
                    ::kill(::getpid(), SIGTERM);
                    std::this_thread::sleep_for(100ms);
                }
                // The main thread never takes its quit message.
                for (;;) std::this_thread::sleep_for(1s);
            },
            ::testing::ExitedWithCode(128 + SIGTERM), "");
        EXPECT_LT(std::chrono::steady_clock::now() - inicio, 5s) << caso.sinais;
    }
}

TEST(WinMain, ARegistrationSwitchEndsWithItsResultAndWithoutOneTheServerRuns) {
    // A failure never becomes a successful exit status.
    for (const HRESULT hr : {S_OK, HRESULT{-1}, E_ACCESSDENIED}) EXPECT_EQ(zenta::CodigoSaida(hr), hr);
    EXPECT_EQ(zenta::CodigoSaida(static_cast<HRESULT>(0x80040100u)), 255);  // low byte 0
    CModuloTeste::s_hrInicializa = S_OK;
    using Caso = std::tuple<const char*, HRESULT, bool, bool>;
    for (const auto& [linha, hr, registra, porUsuario] :
         {Caso{"-Embedding /RegServerPerUser", E_ACCESSDENIED, true, true}, Caso{"-unregserver", S_OK, false, false}}) {
        CModuloTeste modulo;
        modulo.hrRegistro = hr;
        modulo.DefineLinhaComando(linha);
        EXPECT_EQ(modulo.WinMain(SW_SHOWDEFAULT), hr) << linha;
        ASSERT_EQ(modulo.registros.size(), 1u);
        EXPECT_EQ(modulo.registros[0].registra, registra);
        EXPECT_EQ(modulo.registros[0].porUsuario, porUsuario);
        EXPECT_EQ(modulo.execucoes, 0);
    }
    CModuloTeste modulo;
    modulo.DefineLinhaComando("-Embedding");
    EXPECT_EQ(modulo.WinMain(SW_SHOWDEFAULT), S_FALSE);
    EXPECT_EQ(modulo.execucoes, 1);
    EXPECT_TRUE(modulo.registros.empty());

    // A thread already in another apartment is tolerated only for the .NET
    // runtime, which this process never loads.
    for (const HRESULT hr : {RPC_E_CHANGED_MODE, E_ACCESSDENIED}) {
        CModuloTeste::s_hrInicializa = hr;
        CModuloTeste falha;
        falha.DefineLinhaComando("-RegServer");
        EXPECT_EQ(falha.WinMain(SW_SHOWDEFAULT), hr);
        EXPECT_EQ(falha.execucoes, 0);
        EXPECT_TRUE(falha.registros.empty());
    }
    CModuloTeste::s_hrInicializa = S_OK;
}

TEST(LockCount, IsOneAtomicCountWithAHookOnReachingZero) {
    auto& modulo = zenta::QVModulo::Instancia();
    ASSERT_EQ(modulo.Travas(), 0);
    std::atomic<int> chamadas{0};
    modulo.DefineAoLiberarUltima([](void* c) { ++*static_cast<std::atomic<int>*>(c); }, &chamadas);

    EXPECT_FALSE(modulo.Destrava());  // nothing to release: stays 0, no hook
    EXPECT_EQ(modulo.Travas(), 0);
    EXPECT_EQ(chamadas.load(), 0);

    std::vector<std::thread> threads;
    modulo.Trava();
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&modulo] {
            for (int i = 0; i < 20000; ++i) {
                modulo.Trava();
                modulo.Destrava();
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(modulo.Travas(), 1);
    EXPECT_EQ(chamadas.load(), 0);  // never reached zero while the first lock was held
    EXPECT_TRUE(modulo.Destrava());
    EXPECT_EQ(chamadas.load(), 1);

    modulo.DefineAoLiberarUltima(nullptr, nullptr);
    modulo.Trava();
    modulo.Destrava();
    EXPECT_EQ(chamadas.load(), 1);
}

TEST(LockCount, ObjectsAndLockServerCountThroughTheClassFactory) {
    zenta::teste::ZentaHomeTemporario home;
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    auto& modulo = zenta::QVModulo::Instancia();
    ASSERT_EQ(modulo.Travas(), 0);
    IClassFactory* fabrica = nullptr;
    ASSERT_EQ(CoGetClassObject(CLSID_QVGE_ManutencaoPreventiva, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(&fabrica)),
              S_OK);

    EXPECT_EQ(fabrica->LockServer(FALSE), E_UNEXPECTED);  // unbalanced unlock refused
    EXPECT_EQ(modulo.Travas(), 0);
    EXPECT_EQ(fabrica->LockServer(TRUE), S_OK);
    EXPECT_EQ(modulo.Travas(), 1);

    IUnknown* objeto = nullptr;
    ASSERT_EQ(fabrica->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&objeto)), S_OK);
    EXPECT_EQ(modulo.Travas(), 2);
    // Failed creations leave the count as it was.
    void* nada = nullptr;
    EXPECT_EQ(fabrica->CreateInstance(objeto, IID_IQVGE_ManutencaoPreventiva, &nada), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(fabrica->CreateInstance(nullptr, IID_IClassFactory, &nada), E_NOINTERFACE);
    EXPECT_EQ(modulo.Travas(), 2);

    EXPECT_EQ(objeto->Release(), 0u);
    EXPECT_EQ(modulo.Travas(), 1);
    EXPECT_EQ(fabrica->LockServer(FALSE), S_OK);
    EXPECT_EQ(modulo.Travas(), 0);
    fabrica->Release();
    CoUninitialize();
}

TEST_F(Monitor, TheProcessWaitsForTheFirstObjectAndANewOneWithinTheTimeOutKeepsItAlive) {
    EXPECT_FALSE(EsperaQuit(milliseconds(3 * kOciosoMs)));
    m_modulo.Lock();
    m_modulo.Unlock();
    std::this_thread::sleep_for(milliseconds(kOciosoMs / 2));
    m_modulo.Lock();  // a new object before the time-out
    EXPECT_FALSE(EsperaQuit(milliseconds(3 * kOciosoMs)));
    EXPECT_EQ(m_modulo.suspensoes.load(), 0);

    m_modulo.Unlock();
    const auto liberacao = Relogio::now();
    const auto quit = EsperaQuit(milliseconds(20 * kOciosoMs));
    ASSERT_TRUE(quit);
    EXPECT_GE(*quit - liberacao, milliseconds(kOciosoMs));
    EXPECT_EQ(m_modulo.suspensoes.load(), 1);
    EXPECT_EQ(m_modulo.retomadas.load(), 0);
}

TEST_F(Monitor, AnObjectThatComesAndGoesStartsTheIdlePeriodAgain) {
    m_modulo.Lock();
    m_modulo.Unlock();
    std::this_thread::sleep_for(milliseconds(kOciosoMs * 6 / 10));
    // Taken before the second object comes: its release, where the new idle
    // period starts, can only be later.
    const auto segunda = Relogio::now();
    std::thread cliente([this] {  // released on another thread, as RPC threads do
        m_modulo.Lock();
        m_modulo.Unlock();
    });
    cliente.join();
    const auto quit = EsperaQuit(milliseconds(20 * kOciosoMs));
    ASSERT_TRUE(quit);
    EXPECT_GE(*quit - segunda, milliseconds(kOciosoMs));
    EXPECT_EQ(m_modulo.suspensoes.load(), 1);
}

TEST_F(Monitor, AClientArrivingDuringSuspensionResumesTheClasses) {
    m_modulo.travaAoSuspender = true;
    m_modulo.Lock();
    m_modulo.Unlock();
    EXPECT_FALSE(EsperaQuit(milliseconds(4 * kOciosoMs)));
    EXPECT_EQ(m_modulo.suspensoes.load(), 1);
    EXPECT_EQ(m_modulo.retomadas.load(), 1);
    EXPECT_EQ(m_modulo.GetLockCount(), 1);

    m_modulo.Unlock();
    ASSERT_TRUE(EsperaQuit(milliseconds(20 * kOciosoMs)));
    EXPECT_EQ(m_modulo.suspensoes.load(), 2);
}

TEST(MonitorParada, AModuleEndingFirstStopsItsMonitorWithoutPostingQuit) {
    ASSERT_EQ(zenta::QVModulo::Instancia().Travas(), 0);
    EsvaziaFila();
    {
        CModuloTeste modulo;
        modulo.DefineTempoOcioso(kOciosoMs);
        ASSERT_EQ(modulo.StartMonitor(), S_OK);
        EXPECT_EQ(modulo.StartMonitor(), E_UNEXPECTED);  // one monitor at a time
        modulo.Lock();
        modulo.Unlock();  // the monitor is in its idle wait when the module goes
    }
    // The hook went with the module: releases touch nothing.
    auto& contagem = zenta::QVModulo::Instancia();
    contagem.Trava();
    contagem.Destrava();
    EXPECT_FALSE(EsperaQuit(milliseconds(2 * kOciosoMs)));
}
