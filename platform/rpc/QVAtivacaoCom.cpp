// COM activation through the object transport: creation in the class's local
// server, on the machine its application's RemoteServerName names, or
// in-process through the class table; process security and the class
// objects a local server offers.
#include <zenta/ObjBase.h>

#include <atomic>
#include <string>

#include "platform/QVClassTable.h"
#include "platform/rpc/QVAtivacao.h"
#include "platform/rpc/QVEnderecos.h"
#include "platform/rpc/QVExportador.h"

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (!zenta::ComDisponivel()) return CO_E_NOTINITIALIZED;
    // A local server, when the class has one and the caller accepts it, is
    // preferred: it is where every client of the class meets the same
    // objects' process.
    if ((dwClsContext & CLSCTX_LOCAL_SERVER) != 0 && zenta::rpc::TemServidorLocal(rclsid)) {
        if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;  // no aggregation across processes
        return zenta::rpc::AtivaServidorLocal(rclsid, riid, ppv);
    }
    // Without a local server, a class whose application names a
    // RemoteServerName is created on that machine, as DCOM does: a
    // workstation configured for the company's server must never work
    // unknowingly on its own (empty) data in this process.
    if ((dwClsContext & CLSCTX_REMOTE_SERVER) != 0) {
        const std::string remoto = zenta::rpc::ConfiguracaoDaClasse(rclsid).servidorRemoto;
        if (!remoto.empty()) {
            if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
            return zenta::rpc::AtivaServidorRemoto(rclsid, remoto, riid, ppv);
        }
    }
    IClassFactory* fabrica = nullptr;
    HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&fabrica));
    if (FAILED(hr)) return hr;
    hr = fabrica->CreateInstance(pUnkOuter, riid, ppv);
    fabrica->Release();
    return hr;
}

HRESULT CoInitializeSecurity(void*, LONG, void*, void*, DWORD dwAuthnLevel, DWORD dwImpLevel, void*, DWORD, void*) {
    static std::atomic<bool> chamada{false};
    if (chamada.exchange(true)) return RPC_E_TOO_LATE;
    zenta::rpc::DefineSegurancaProcesso(dwAuthnLevel, dwImpLevel);
    return S_OK;
}

HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags, LPDWORD lpdwRegister) {
    if (pUnk == nullptr || lpdwRegister == nullptr) return E_INVALIDARG;
    *lpdwRegister = 0;
    if ((dwClsContext & CLSCTX_LOCAL_SERVER) == 0) return E_INVALIDARG;
    return zenta::rpc::RegistraClasseLocal(rclsid, pUnk, flags, lpdwRegister);
}

HRESULT CoRevokeClassObject(DWORD dwRegister) { return zenta::rpc::RevogaClasseLocal(dwRegister); }
HRESULT CoResumeClassObjects() { return zenta::rpc::RetomaClassesLocais(); }
HRESULT CoSuspendClassObjects() { return zenta::rpc::SuspendeClassesLocais(); }

HRESULT CoCreateInstanceEx(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsCtx, COSERVERINFO* pServerInfo,
                           DWORD dwCount, MULTI_QI* pResults) {
    if (dwCount == 0 || pResults == nullptr) return E_INVALIDARG;
    for (DWORD i = 0; i < dwCount; ++i) {
        if (pResults[i].pIID == nullptr) return E_INVALIDARG;
        pResults[i].pItf = nullptr;
        pResults[i].hr = E_NOINTERFACE;
    }
    std::string maquina;
    if (pServerInfo != nullptr) {
        // Machine names are host names or addresses: ASCII only.
        for (const OLECHAR* c = pServerInfo->pwszName; c != nullptr && *c != 0; ++c) {
            if (*c > 0x7E || *c <= 0x20) return E_INVALIDARG;
            maquina.push_back(static_cast<char>(*c));
        }
        if (const COAUTHINFO* auth = pServerInfo->pAuthInfo; auth != nullptr) {
            if (auth->dwAuthnSvc != RPC_C_AUTHN_NONE && auth->dwAuthnSvc != RPC_C_AUTHN_WINNT &&
                auth->dwAuthnSvc != RPC_C_AUTHN_DEFAULT)
                return E_INVALIDARG;
        }
    }
    IUnknown* objeto = nullptr;
    HRESULT hr;
    if (!maquina.empty()) {
        if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
        if ((dwClsCtx & CLSCTX_REMOTE_SERVER) == 0) return E_INVALIDARG;
        if (!zenta::ComDisponivel()) return CO_E_NOTINITIALIZED;
        // The first interface asked for is the one the proxy is made for.
        hr = zenta::rpc::AtivaServidorRemoto(rclsid, maquina, *pResults[0].pIID, reinterpret_cast<void**>(&objeto));
    } else {
        hr = CoCreateInstance(rclsid, pUnkOuter, dwClsCtx, IID_IUnknown, reinterpret_cast<void**>(&objeto));
    }
    if (FAILED(hr)) return hr;
    DWORD obtidas = 0;
    for (DWORD i = 0; i < dwCount; ++i) {
        pResults[i].hr = objeto->QueryInterface(*pResults[i].pIID, reinterpret_cast<void**>(&pResults[i].pItf));
        if (SUCCEEDED(pResults[i].hr)) ++obtidas;
    }
    objeto->Release();
    if (obtidas == dwCount) return S_OK;
    return obtidas == 0 ? E_NOINTERFACE : CO_S_NOTALLINTERFACES;
}
