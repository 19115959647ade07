// COM library calls: apartment bookkeeping per thread, the task allocator and
// in-process activation through the class table.
#include <zenta/ObjBase.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/QVClassTable.h"

namespace {

struct Apartamento {
    unsigned contagem = 0;
    DWORD modo = 0;
};
thread_local Apartamento t_apartamento;

struct Entrada {
    CLSID clsid;
    IClassFactory* fabrica;
};

std::mutex& TravaTabela() {
    static std::mutex trava;
    return trava;
}
std::vector<Entrada>& Tabela() {
    static std::vector<Entrada> tabela;
    return tabela;
}

// Takes a reference to the class object of `clsid`, or null.
IClassFactory* AchaFabrica(REFCLSID clsid) {
    std::lock_guard lock(TravaTabela());
    for (auto& e : Tabela()) {
        if (e.clsid == clsid) {
            e.fabrica->AddRef();
            return e.fabrica;
        }
    }
    return nullptr;
}

constexpr DWORD kModoApartamento = COINIT_APARTMENTTHREADED;

}  // namespace

namespace zenta {

HRESULT RegistraClasseInproc(REFCLSID clsid, IClassFactory* fabrica) {
    if (fabrica == nullptr) return E_POINTER;
    fabrica->AddRef();
    IClassFactory* antiga = nullptr;
    {
        std::lock_guard lock(TravaTabela());
        bool achou = false;
        for (auto& e : Tabela()) {
            if (e.clsid == clsid) {
                antiga = e.fabrica;
                e.fabrica = fabrica;
                achou = true;
            }
        }
        if (!achou) Tabela().push_back({clsid, fabrica});
    }
    if (antiga != nullptr) antiga->Release();
    return S_OK;
}

void RemoveClasseInproc(REFCLSID clsid) {
    IClassFactory* antiga = nullptr;
    {
        std::lock_guard lock(TravaTabela());
        auto& tabela = Tabela();
        for (auto it = tabela.begin(); it != tabela.end(); ++it) {
            if (it->clsid == clsid) {
                antiga = it->fabrica;
                tabela.erase(it);
                break;
            }
        }
    }
    if (antiga != nullptr) antiga->Release();
}

}  // namespace zenta

HRESULT CoInitializeEx(LPVOID, DWORD dwCoInit) {
    const DWORD modo = dwCoInit & kModoApartamento;
    if (t_apartamento.contagem > 0) {
        if (t_apartamento.modo != modo) return RPC_E_CHANGED_MODE;
        ++t_apartamento.contagem;
        return S_FALSE;
    }
    t_apartamento.modo = modo;
    t_apartamento.contagem = 1;
    return S_OK;
}

void CoUninitialize() {
    if (t_apartamento.contagem > 0) --t_apartamento.contagem;
}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID, REFIID riid, LPVOID* ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (t_apartamento.contagem == 0) return CO_E_NOTINITIALIZED;
    if ((dwClsContext & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    IClassFactory* fabrica = AchaFabrica(rclsid);
    if (fabrica == nullptr) return REGDB_E_CLASSNOTREG;
    const HRESULT hr = fabrica->QueryInterface(riid, ppv);
    fabrica->Release();
    return hr;
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    IClassFactory* fabrica = nullptr;
    HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&fabrica));
    if (FAILED(hr)) return hr;
    hr = fabrica->CreateInstance(pUnkOuter, riid, ppv);
    fabrica->Release();
    return hr;
}

HRESULT CoCreateInstanceEx(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsCtx, COSERVERINFO* pServerInfo,
                           DWORD dwCount, MULTI_QI* pResults) {
    if (dwCount == 0 || pResults == nullptr) return E_INVALIDARG;
    for (DWORD i = 0; i < dwCount; ++i) {
        if (pResults[i].pIID == nullptr) return E_INVALIDARG;
        pResults[i].pItf = nullptr;
        pResults[i].hr = E_NOINTERFACE;
    }
    if (pServerInfo != nullptr) {
        if (pServerInfo->pwszName != nullptr && pServerInfo->pwszName[0] != 0) return E_INVALIDARG;
        if (const COAUTHINFO* auth = pServerInfo->pAuthInfo; auth != nullptr) {
            if (auth->dwAuthnSvc != RPC_C_AUTHN_NONE && auth->dwAuthnSvc != RPC_C_AUTHN_WINNT &&
                auth->dwAuthnSvc != RPC_C_AUTHN_DEFAULT)
                return E_INVALIDARG;
        }
    }
    IUnknown* objeto = nullptr;
    const HRESULT hr = CoCreateInstance(rclsid, pUnkOuter, dwClsCtx, IID_IUnknown, reinterpret_cast<void**>(&objeto));
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

HRESULT CoSetProxyBlanket(IUnknown* pProxy, DWORD, DWORD, LPWSTR, DWORD, DWORD, void*, DWORD) {
    return pProxy == nullptr ? E_INVALIDARG : S_OK;
}

LPVOID CoTaskMemAlloc(size_t cb) { return std::malloc(cb == 0 ? 1 : cb); }

LPVOID CoTaskMemRealloc(LPVOID pv, size_t cb) { return std::realloc(pv, cb == 0 ? 1 : cb); }

void CoTaskMemFree(LPVOID pv) { std::free(pv); }
