// The module of a local-server executable: COM start-up with the process's
// DCOM security, the registration switches of the command line, and the run
// that offers the class objects, pumps the main thread's messages and ends
// the process some time after the last object and lock have gone.
//
// CAtlExeModuleT<T> is the generic machinery; CQVExeModuleT<T> adds what the
// ERP's servers share (security from the installation's settings,
// registration through zenta::RegistraServidor, the idle time-out). T, the
// executable's module class, derives from CQVExeModuleT<T>, adds its classes
// with AdicionaClasse in its constructor and may replace any of the steps
// called through T (InitializeCom, ObtemObjetoClasse, SuspendClassObjects,
// ResumeClassObjects, RegisterServer, UnregisterServer).
#pragma once

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include <zenta/ObjBase.h>
#include <zenta/Unknwn.h>
#include <zenta/WinTypes.h>

#include "access/QVComPtr.h"
#include "diagnostics/QVCheck.h"
#include "platform/Registry.h"
#include "platform/Synch.h"
#include "platform/WinUser.h"
#include "server/QVModulo.h"
#include "server/QVRegistroServidor.h"

namespace zenta {

// The registration switches of the command line.
enum class EComandoRegistro { Nenhum, RegServer, UnregServer, RegServerPerUser, UnregServerPerUser };

namespace detalhe {

inline bool IguaisSemCaixa(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace detalhe

// The first registration switch of `linha`: a switch introducer ('-' or
// '/') followed by one of the switch words, compared without regard to case
// as a whole word (ended by a blank, a tab or the end of the line). Words
// after an introducer that match none are skipped and the scan goes on just
// past that introducer.
inline EComandoRegistro ComandoRegistroDe(std::string_view linha) {
    struct Chave {
        std::string_view palavra;
        EComandoRegistro comando;
    };
    static constexpr Chave kChaves[] = {
        {"UnregServer", EComandoRegistro::UnregServer},
        {"RegServer", EComandoRegistro::RegServer},
        {"UnregServerPerUser", EComandoRegistro::UnregServerPerUser},
        {"RegServerPerUser", EComandoRegistro::RegServerPerUser},
    };
    for (std::size_t i = 0; i < linha.size(); ++i) {
        if (linha[i] != '-' && linha[i] != '/') continue;
        std::size_t fim = i + 1;
        while (fim < linha.size() && linha[fim] != ' ' && linha[fim] != '\t') ++fim;
        const std::string_view palavra = linha.substr(i + 1, fim - i - 1);
        for (const Chave& chave : kChaves) {
            if (detalhe::IguaisSemCaixa(palavra, chave.palavra)) return chave.comando;
        }
    }
    return EComandoRegistro::Nenhum;
}

// The process's command line as one text: the arguments after the program's
// name, separated by blanks.
inline std::string LinhaComandoDe(int argc, const char* const* argv) {
    std::string linha;
    for (int i = 1; i < argc && argv != nullptr; ++i) {
        if (argv[i] == nullptr) break;
        if (!linha.empty()) linha += ' ';
        linha += argv[i];
    }
    return linha;
}

// How long the server stays up with no objects and no locks.
inline constexpr DWORD kTempoOciosoPadraoMs = 50000;

// The idle time-out given the installation's DWORD value "TempoOciosoMs"
// under HKLM\SOFTWARE\Wow6432Node\QV Sistemas (nullopt: absent). The value
// can only shorten the time-out, so that tests can watch a server end
// without waiting 50 seconds: anything but 1 to 50000 is ignored. The
// setting is the installation's, never the starting client's.
inline DWORD TempoOciosoDe(std::optional<DWORD> valor) {
    if (!valor || *valor == 0 || *valor > kTempoOciosoPadraoMs) return kTempoOciosoPadraoMs;
    return *valor;
}

// The process's exit code for WinMain's result. A parent sees only the low
// 8 bits of an exit code here, so a failure whose low byte is 0 would read as
// success: such a result ends the process with 255 instead.
inline int CodigoSaida(int resultado) {
    if (resultado < 0 && (static_cast<unsigned>(resultado) & 0xFFu) == 0) return 255;
    return resultado;
}

// How long running calls get to finish once a termination signal came.
inline constexpr std::chrono::milliseconds kGracaTerminoPadrao{3000};

// The exit status of a process that a termination signal ended while calls
// still ran: the shell's convention for a death by that signal.
inline int CodigoSaidaSinal(int sinal) { return 128 + sinal; }

// Serves the termination signals of `sinais` (blocked in every thread) for
// the whole process: the first one posts the quit message to the main
// thread, so that the run ends as on idleness (class objects revoked, socket
// removed); if the process has not ended `graca` later, or another signal
// comes meanwhile, it ends at once with CodigoSaidaSinal, whatever calls
// still run. A call that never returns cannot keep the process alive.
[[noreturn]] inline void EncerraPorSinais(sigset_t sinais, DWORD threadPrincipal, std::chrono::milliseconds graca) {
    int sinal = 0;
    while (::sigwait(&sinais, &sinal) != 0) {
    }
    // The main thread may not have its message queue yet: posting is
    // retried, within the same grace.
    const auto limite = std::chrono::steady_clock::now() + graca;
    bool postado = false;
    for (;;) {
        if (!postado) postado = PostThreadMessageA(threadPrincipal, WM_QUIT, 0, 0) != FALSE;
        auto resta = limite - std::chrono::steady_clock::now();
        if (resta <= std::chrono::steady_clock::duration::zero()) break;
        if (!postado) resta = std::min<std::chrono::steady_clock::duration>(resta, std::chrono::milliseconds(10));
        const auto s = std::chrono::duration_cast<std::chrono::seconds>(resta);
        const timespec espera{static_cast<time_t>(s.count()),
                              static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(resta - s).count())};
        if (::sigtimedwait(&sinais, nullptr, &espera) > 0) break;
    }
    ::_exit(CodigoSaidaSinal(sinal));
}

// The full path of the running executable, empty when it cannot be read.
inline std::filesystem::path CaminhoExecutavel() {
    std::error_code erro;
    auto caminho = std::filesystem::read_symlink("/proc/self/exe", erro);
    if (erro) return {};
    return caminho;
}

// The process's security levels, taken from the installation's DCOM
// settings when the process security is initialised.
inline DWORD g_dwAuthnLevel = RPC_C_AUTHN_LEVEL_PKT_PRIVACY;
inline DWORD g_dwImpLevel = RPC_C_IMP_LEVEL_IMPERSONATE;

// The process security: every authentication service, the levels of the
// installation's settings, no descriptor and no capabilities. A failure is
// written to the error log and returned.
inline HRESULT QVCoInitializeSecurity() {
    const QVSegurancaCom& seguranca = QVSegurancaComProcesso();
    g_dwAuthnLevel = seguranca.dwAuthnLevel;
    g_dwImpLevel = seguranca.dwImpLevel;
    QV_CHECK(CoInitializeSecurity(0, -1, nullptr, nullptr, g_dwAuthnLevel, g_dwImpLevel, nullptr, EOAC_NONE, nullptr));
    return S_OK;
}

template <class T>
class CAtlExeModuleT {
public:
    // One class object the module offers.
    struct EntradaClasse {
        CLSID clsid;
        IUnknown* pObjetoClasse = nullptr;  // held between registration and revocation
        DWORD dwCookie = 0;
    };

    // Construction sets aside the class-object list; when even that fails
    // the module is marked failed and WinMain ends at once with -1.
    CAtlExeModuleT() noexcept {
        try {
            m_entradas.reserve(4);
        } catch (...) {
            m_bFalhou = true;
        }
    }

    // A run always revokes its class objects before it returns; should one
    // have been left (an exception out of the run), COM keeps its own
    // reference and only the module's is dropped here.
    ~CAtlExeModuleT() {
        ParaMonitor();
        for (EntradaClasse& entrada : m_entradas) {
            if (entrada.pObjetoClasse != nullptr) entrada.pObjetoClasse->Release();
            entrada.pObjetoClasse = nullptr;
        }
    }

    CAtlExeModuleT(const CAtlExeModuleT&) = delete;
    CAtlExeModuleT& operator=(const CAtlExeModuleT&) = delete;

    // The command line the registration switches are looked for in.
    void DefineLinhaComando(std::string linha) { m_sLinhaComando = std::move(linha); }

    // The process's whole life. `nShowCmd` is not used (there is no window).
    int WinMain(int /*nShowCmd*/) {
        T* pT = static_cast<T*>(this);
        if (m_bFalhou) return -1;

        HRESULT hr = pT->InitializeCom();
        if (FAILED(hr)) {
            // A thread the .NET runtime had already put in a single-threaded
            // apartment may go on as it is. That runtime is never loaded in
            // this process, so every failure ends it here.
            if (hr != RPC_E_CHANGED_MODE || !T::RuntimeNetCarregado()) return hr;
        } else {
            m_bComInitialized = true;
        }

        if (pT->ParseCommandLine(m_sLinhaComando, &hr)) hr = pT->Run();

        if (m_bComInitialized) {
            CoUninitialize();
            m_bComInitialized = false;
        }
        return hr;
    }

    // COM for the multithreaded apartment.
    static HRESULT InitializeCom() { return CoInitializeEx(nullptr, COINIT_MULTITHREADED); }

    // Whether the .NET runtime's library is loaded in the process: never.
    static bool RuntimeNetCarregado() { return false; }

    // Carries out a registration switch of `linha`; false (with its result in
    // `*pnRetCode`) when one was found and the process should end, true when
    // the server is to run.
    bool ParseCommandLine(std::string_view linha, HRESULT* pnRetCode) {
        T* pT = static_cast<T*>(this);
        HRESULT hr = S_OK;
        switch (zenta::ComandoRegistroDe(linha)) {
            case zenta::EComandoRegistro::Nenhum:
                *pnRetCode = S_OK;
                return true;
            case zenta::EComandoRegistro::UnregServer: hr = pT->UnregisterServer(false); break;
            case zenta::EComandoRegistro::RegServer: hr = pT->RegisterServer(false); break;
            case zenta::EComandoRegistro::UnregServerPerUser: hr = pT->UnregisterServer(true); break;
            case zenta::EComandoRegistro::RegServerPerUser: hr = pT->RegisterServer(true); break;
        }
        *pnRetCode = hr;
        return false;
    }

    // Offers the class objects, pumps messages until WM_QUIT, revokes them.
    HRESULT Run() {
        T* pT = static_cast<T*>(this);
        HRESULT hr = pT->PreMessageLoop();
        if (SUCCEEDED(hr)) {
            pT->RunMessageLoop();
            hr = pT->PostMessageLoop();
        }
        return hr;
    }

    HRESULT PreMessageLoop() {
        T* pT = static_cast<T*>(this);
        HRESULT hr = StartMonitor();
        if (FAILED(hr)) return hr;
        hr = RegisterClassObjects(CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE | REGCLS_SUSPENDED);
        if (FAILED(hr)) {
            ParaMonitor();
            return hr;
        }
        hr = pT->ResumeClassObjects();
        if (FAILED(hr)) {
            RevokeClassObjects();
            ParaMonitor();
            return hr;
        }
        return S_OK;
    }

    void RunMessageLoop() {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    HRESULT PostMessageLoop() {
        const HRESULT hr = RevokeClassObjects();
        ParaMonitor();
        return hr;
    }

    // ---- Class objects --------------------------------------------------------
    // Adds a class the module offers (its class object comes from
    // T::ObtemObjetoClasse when the classes are registered).
    HRESULT AdicionaClasse(REFCLSID clsid) {
        try {
            m_entradas.push_back(EntradaClasse{clsid});
            return S_OK;
        } catch (...) {
            m_bFalhou = true;
            return E_OUTOFMEMORY;
        }
    }

    // The class object of `clsid`: the one the server library placed in the
    // in-process class table.
    static HRESULT ObtemObjetoClasse(REFCLSID clsid, IUnknown** ppUnk) {
        return CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IUnknown, reinterpret_cast<void**>(ppUnk));
    }

    // Registers every class object; on a failure those already registered are
    // revoked and the failure returned.
    HRESULT RegisterClassObjects(DWORD dwClsContext, DWORD dwFlags) {
        for (EntradaClasse& entrada : m_entradas) {
            IUnknown* pUnk = nullptr;
            HRESULT hr = T::ObtemObjetoClasse(entrada.clsid, &pUnk);
            if (SUCCEEDED(hr) && pUnk == nullptr) hr = E_UNEXPECTED;
            if (SUCCEEDED(hr)) {
                hr = CoRegisterClassObject(entrada.clsid, pUnk, dwClsContext, dwFlags, &entrada.dwCookie);
                if (FAILED(hr)) pUnk->Release();
            }
            if (FAILED(hr)) {
                RevokeClassObjects();
                return hr;
            }
            entrada.pObjetoClasse = pUnk;
        }
        return S_OK;
    }

    // Revokes every registered class object; the first failure is returned.
    HRESULT RevokeClassObjects() {
        HRESULT hrPrimeiro = S_OK;
        for (EntradaClasse& entrada : m_entradas) {
            if (entrada.pObjetoClasse == nullptr) continue;
            const HRESULT hr = CoRevokeClassObject(entrada.dwCookie);
            if (FAILED(hr) && SUCCEEDED(hrPrimeiro)) hrPrimeiro = hr;
            entrada.pObjetoClasse->Release();
            entrada.pObjetoClasse = nullptr;
            entrada.dwCookie = 0;
        }
        return hrPrimeiro;
    }

    HRESULT ResumeClassObjects() { return CoResumeClassObjects(); }
    HRESULT SuspendClassObjects() { return CoSuspendClassObjects(); }

    // ---- Lock count -------------------------------------------------------------
    LONG Lock() { return zenta::QVModulo::Instancia().Trava(); }
    bool Unlock() { return zenta::QVModulo::Instancia().Destrava(); }
    LONG GetLockCount() const { return zenta::QVModulo::Instancia().Travas(); }

    // ---- Shutdown monitor -----------------------------------------------------
    // Creates the shutdown event, makes the lock count signal it and starts
    // the monitor thread, which will post WM_QUIT to the calling thread.
    HRESULT StartMonitor() {
        if (m_monitor.joinable()) return E_UNEXPECTED;
        // The calling thread pumps the messages: give it its queue now, so
        // that the monitor can always post to it.
        MSG msg;
        PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        m_dwMainThreadID = GetCurrentThreadId();
        m_bPararMonitor.store(false);
        const HANDLE hEvento = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (hEvento == nullptr) return E_FAIL;
        m_hEventShutdown.store(hEvento);
        zenta::QVModulo::Instancia().DefineAoLiberarUltima(&CAtlExeModuleT::AoLiberarUltima, this);
        try {
            m_monitor = std::thread([this] { MonitorShutdown(); });
        } catch (...) {
            zenta::QVModulo::Instancia().DefineAoLiberarUltima(nullptr, nullptr);
            CloseHandle(m_hEventShutdown.exchange(nullptr));
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    // The idle time-out in milliseconds.
    DWORD TempoOcioso() const { return m_dwTimeOut; }
    void DefineTempoOcioso(DWORD dwMilissegundos) { m_dwTimeOut = dwMilissegundos; }

protected:
    // The monitor's loop; see StartMonitor.
    void MonitorShutdown() {
        T* pT = static_cast<T*>(this);
        const HANDLE hEvento = m_hEventShutdown.load();
        for (;;) {
            if (WaitForSingleObject(hEvento, INFINITE) != WAIT_OBJECT_0 || m_bPararMonitor.load()) break;
            DWORD dwEspera;
            do {
                m_bActivity.store(false);
                dwEspera = WaitForSingleObject(hEvento, m_dwTimeOut);
            } while (dwEspera == WAIT_OBJECT_0 && !m_bPararMonitor.load());
            if (dwEspera == WAIT_FAILED || m_bPararMonitor.load()) break;
            if (!m_bActivity.load() && GetLockCount() == 0) {
                pT->SuspendClassObjects();
                if (!m_bActivity.load() && GetLockCount() == 0) break;
                // A client came while the classes were being suspended: the
                // process lives on, so it takes new clients again.
                const HRESULT hr = pT->ResumeClassObjects();
                if (FAILED(hr)) QV_LOG_HR(hr, "CoResumeClassObjects()");
            }
        }
        // No release may signal the event once it is closed.
        zenta::QVModulo::Instancia().DefineAoLiberarUltima(nullptr, nullptr);
        CloseHandle(m_hEventShutdown.exchange(nullptr));
        if (!m_bPararMonitor.load()) PostThreadMessageA(m_dwMainThreadID, WM_QUIT, 0, 0);
    }

    // Stops the monitor if it still runs (the message loop ended by other
    // means, or the run failed) and waits for its thread.
    void ParaMonitor() {
        if (!m_monitor.joinable()) return;
        m_bPararMonitor.store(true);
        if (const HANDLE hEvento = m_hEventShutdown.load(); hEvento != nullptr) SetEvent(hEvento);
        m_monitor.join();
    }

    std::vector<EntradaClasse> m_entradas;

private:
    // The lock count reached zero: note the activity and wake the monitor.
    static void AoLiberarUltima(void* contexto) {
        auto* modulo = static_cast<CAtlExeModuleT*>(contexto);
        modulo->m_bActivity.store(true);
        if (const HANDLE hEvento = modulo->m_hEventShutdown.load(); hEvento != nullptr) SetEvent(hEvento);
    }

    // Module state; the lock count itself is zenta::QVModulo's.
    DWORD m_dwMainThreadID = GetCurrentThreadId();
    std::atomic<HANDLE> m_hEventShutdown{nullptr};  // auto-reset
    DWORD m_dwTimeOut = zenta::kTempoOciosoPadraoMs;
    std::atomic<bool> m_bActivity{false};
    bool m_bComInitialized = false;

    bool m_bFalhou = false;
    std::atomic<bool> m_bPararMonitor{false};
    std::thread m_monitor;
    std::string m_sLinhaComando;
};

// The ERP servers' module: COM with the installation's DCOM security,
// registration through the server's registrar, and an idle time-out that the
// installation may shorten (see zenta::TempoOciosoDe).
template <class T>
class CQVExeModuleT : public CAtlExeModuleT<T> {
public:
    CQVExeModuleT() {
        this->DefineTempoOcioso(
            zenta::TempoOciosoDe(zenta::RegLeDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\QV Sistemas", "TempoOciosoMs")));
    }

    // The multithreaded apartment, then the process security. When the
    // security fails the apartment is left again, so that the caller, which
    // ends the process with the failure, has nothing to undo.
    static HRESULT InitializeCom() {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (FAILED(hr)) return hr;
        hr = QVCoInitializeSecurity();
        if (FAILED(hr)) CoUninitialize();
        return hr;
    }

    HRESULT RegisterServer(bool bPorUsuario) {
        const auto caminho = zenta::CaminhoExecutavel();
        if (caminho.empty()) return E_FAIL;
        return zenta::RegistraServidor(caminho, bPorUsuario);
    }

    HRESULT UnregisterServer(bool bPorUsuario) {
        const auto caminho = zenta::CaminhoExecutavel();
        if (caminho.empty()) return E_FAIL;
        return zenta::DesregistraServidor(caminho, bPorUsuario);
    }
};

}  // namespace zenta
