// COM library calls: apartment bookkeeping per thread, the task allocator and
// the in-process class table. Activation in a local or remote server lives
// with the object transport (platform/rpc/QVAtivacaoCom.cpp).
#include <zenta/ObjBase.h>

#include <cstdio>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
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

// Threads that entered the multithreaded apartment. While there is one, every
// thread of the process that made no call of its own belongs to it
// implicitly, as the threads that carry calls into a local server do.
std::atomic<int> g_threadsMta{0};

}  // namespace

namespace zenta {

bool ComDisponivel() { return t_apartamento.contagem > 0 || g_threadsMta.load() > 0; }

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
    if (modo == COINIT_MULTITHREADED) ++g_threadsMta;
    return S_OK;
}

void CoUninitialize() {
    if (t_apartamento.contagem == 0) return;
    if (--t_apartamento.contagem == 0 && t_apartamento.modo == COINIT_MULTITHREADED) --g_threadsMta;
}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID, REFIID riid, LPVOID* ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (!zenta::ComDisponivel()) return CO_E_NOTINITIALIZED;
    if ((dwClsContext & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    IClassFactory* fabrica = AchaFabrica(rclsid);
    if (fabrica == nullptr) return REGDB_E_CLASSNOTREG;
    const HRESULT hr = fabrica->QueryInterface(riid, ppv);
    fabrica->Release();
    return hr;
}

HRESULT CoSetProxyBlanket(IUnknown* pProxy, DWORD, DWORD, LPWSTR, DWORD, DWORD, void*, DWORD) {
    return pProxy == nullptr ? E_INVALIDARG : S_OK;
}

LPVOID CoTaskMemAlloc(size_t cb) { return std::malloc(cb == 0 ? 1 : cb); }

LPVOID CoTaskMemRealloc(LPVOID pv, size_t cb) { return std::realloc(pv, cb == 0 ? 1 : cb); }

void CoTaskMemFree(LPVOID pv) { std::free(pv); }

int StringFromGUID2(REFGUID rguid, char* lpsz, int cchMax) {
    constexpr int kTamanho = 39;  // 38 characters and the terminator
    if (lpsz == nullptr || cchMax < kTamanho) return 0;
    std::snprintf(lpsz, kTamanho, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", rguid.Data1, rguid.Data2,
                  rguid.Data3, rguid.Data4[0], rguid.Data4[1], rguid.Data4[2], rguid.Data4[3], rguid.Data4[4],
                  rguid.Data4[5], rguid.Data4[6], rguid.Data4[7]);
    return kTamanho;
}

HRESULT CLSIDFromString(const char* lpsz, CLSID* pclsid) {
    if (lpsz == nullptr || pclsid == nullptr) return E_INVALIDARG;
    // Exactly 38 characters: braces, 32 hex digits and hyphens at 9, 14, 19, 24.
    if (std::strlen(lpsz) != 38 || lpsz[0] != '{' || lpsz[37] != '}') return CO_E_CLASSSTRING;
    uint8_t bytes[16];
    int n = 0;
    for (int i = 1; i < 37;) {
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (lpsz[i] != '-') return CO_E_CLASSSTRING;
            ++i;
            continue;
        }
        auto digito = [](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            return -1;
        };
        const int alto = digito(lpsz[i]), baixo = digito(lpsz[i + 1]);
        if (alto < 0 || baixo < 0) return CO_E_CLASSSTRING;
        bytes[n++] = static_cast<uint8_t>(alto * 16 + baixo);
        i += 2;
    }
    GUID g{};
    g.Data1 = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
    g.Data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
    g.Data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
    std::memcpy(g.Data4, bytes + 8, 8);
    *pclsid = g;
    return S_OK;
}
