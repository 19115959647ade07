// Creation of the ERP's outside servers: a smart pointer that creates its
// object by class identifier, through the one creation routine that honours
// the installation's switch against remote creation, retries a server that
// is not yet reachable, reports to the event log and applies the process's
// COM security to the proxy it gets.
#pragma once

#include <utility>

#include <zenta/ObjBase.h>
#include <zenta/Unknwn.h>
#include <zenta/WinTypes.h>

#include "diagnostics/QVCheck.h"
#include "diagnostics/QVCodigosErro.h"

namespace zenta {

// Flags of the creation routine.
enum EQVComPtrFlags : DWORD {
    eQVCCI_NENHUM = 0,
    eQVCCI_LOG_FAILURE = 1,  // failures to reach the server go to the event log
    eQVCCI_RETRY = 2,        // a server not yet reachable is tried again
};

// The process's COM security settings, read once from the installation's
// registry values "DesabilitaAutenticacaoDCOM" and "DesabilitaEncriptacaoDCOM"
// under HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\QV Sistemas.
struct QVSegurancaCom {
    DWORD dwAuthnSvc = RPC_C_AUTHN_WINNT;
    DWORD dwAuthzSvc = RPC_C_AUTHZ_NONE;
    DWORD dwAuthnLevel = RPC_C_AUTHN_LEVEL_PKT_PRIVACY;
    DWORD dwImpLevel = RPC_C_IMP_LEVEL_IMPERSONATE;
};
const QVSegurancaCom& QVSegurancaComProcesso();
// The settings those two values give (authentication off wins).
QVSegurancaCom QVSegurancaComDe(DWORD desabilitaAutenticacao, DWORD desabilitaEncriptacao);

// Creates an object of `rclsid` and asks it for `riid`: refused with
// E_QVCR_CHAMADA_DCOM_NAO_PERMITIDA when the installation switch
// "LocalizacaoCRQV" is set; with eQVCCI_RETRY, a server that is not
// reachable (0x800706BA) is tried up to 500 times, 100 ms apart.
HRESULT QVCoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsCtx, REFIID riid, void** ppv,
                           DWORD eFlags);

// Applies the process's COM security to a proxy.
HRESULT QVCoSetProxyBlanket(IUnknown* pProxy);

// The waits between creation attempts (tests shorten them).
void DefineEsperaTentativasCriacao(unsigned milissegundos);

// Owns one reference to an interface T (IID_T names its identifier).
template <class T>
class CQVComPtr {
public:
    CQVComPtr() = default;
    ~CQVComPtr() { Release(); }
    CQVComPtr(const CQVComPtr&) = delete;
    CQVComPtr& operator=(const CQVComPtr&) = delete;
    CQVComPtr(CQVComPtr&& outro) noexcept : m_pInterface(std::exchange(outro.m_pInterface, nullptr)) {}
    CQVComPtr& operator=(CQVComPtr&& outro) noexcept {
        if (this != &outro) {
            Release();
            m_pInterface = std::exchange(outro.m_pInterface, nullptr);
        }
        return *this;
    }

    // Creates the object of `rclsid` (releasing any interface held first).
    HRESULT CoCreateInstance(REFCLSID rclsid, DWORD eFlags = eQVCCI_LOG_FAILURE | eQVCCI_RETRY) {
        Release();
        const HRESULT hr = QVCoCreateInstance(rclsid, nullptr, CLSCTX_ALL, T::kIid,
                                              reinterpret_cast<void**>(&m_pInterface), eFlags);
        if (FAILED(hr)) {
            QV_LOG_HR(hr, "QVCoCreateInstance(rclsid, nullptr, CLSCTX_ALL, __uuidof(T), (void**) &m_pInterface, eFlags)");
            return hr;
        }
        if (m_pInterface == nullptr) {
            QV_LOG_HR(ER_QVDF_CO_CREATE_INSTANCE_INTERFACE_NULA, "ER_QVDF_CO_CREATE_INSTANCE_INTERFACE_NULA");
            return ER_QVDF_CO_CREATE_INSTANCE_INTERFACE_NULA;
        }
        return S_OK;
    }

    void Release() {
        if (m_pInterface != nullptr) std::exchange(m_pInterface, nullptr)->Release();
    }

    T* operator->() const { return m_pInterface; }
    T* Get() const { return m_pInterface; }
    explicit operator bool() const { return m_pInterface != nullptr; }

private:
    // Error-log lines of the creation name no session.
    static CQVContextoProfiler QVProfilerDoEscopo() { return ::zenta::QVProfilerDoEscopo(); }

    T* m_pInterface = nullptr;
};

}  // namespace zenta
