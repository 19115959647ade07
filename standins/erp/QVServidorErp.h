// What the ERP stand-in's outside servers share: turning whatever an
// operation throws into a result code, binding a server to the company its
// initialisation record names, and the class object that the in-process
// class table holds for each of them.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <new>

#include <zenta/QVUnknown.h>
#include <zenta/Unknwn.h>

#include "diagnostics/QVCheck.h"
#include "diagnostics/QVCodigosErro.h"
#include "standins/erp/QVErpBanco.h"

namespace zenta {

// Runs one server operation: whatever it throws becomes a result code.
template <class F>
HRESULT ProtegidoErp(F&& operacao) noexcept {
    try {
        return operacao();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// The stand-in database of the company an initialisation record names,
// after checking the record as the service object does (version, CRC, a
// terminated company name usable as a directory).
HRESULT BancoDaInicializacao(const _REG_DF_INICIALIZAPS& regps, std::shared_ptr<ErpBanco>& banco);

// The class object of a stand-in server whose instances `Cria` makes. It
// lives as long as the library; counts are kept for the COM contract.
template <HRESULT (*Cria)(REFIID, void**)>
class CFabricaErp final : public IClassFactory {
public:
    virtual ~CFabricaErp() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_cRef; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override {
        if (ppv != nullptr) *ppv = nullptr;
        if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
        return Cria(riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    std::atomic<ULONG> m_cRef{1};
};

// What every stand-in server object shares: its count, the interfaces it
// answers for (IUnknown and `Iids`, each as `TInterface`), and the company
// database Inicializa_Padrao binds it to.
template <class TInterface, const IID&... Iids>
class CServidorErp : public TInterface {
public:
    virtual ~CServidorErp() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || ((riid == Iids) || ...)) {
            *ppv = static_cast<TInterface*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG restantes = --m_cRef;
        if (restantes == 0) delete this;
        return restantes;
    }

    HRESULT STDMETHODCALLTYPE Inicializa_Padrao(_REG_DF_INICIALIZAPS regps) override {
        return ProtegidoErp([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(BancoDaInicializacao(regps, banco));
            std::lock_guard lock(m_trava);
            m_banco = std::move(banco);
            return S_OK;
        });
    }

protected:
    // The database Inicializa_Padrao bound the server to.
    HRESULT Banco(std::shared_ptr<ErpBanco>& banco) {
        std::lock_guard lock(m_trava);
        banco = m_banco;
        return banco ? S_OK : QV_E_NAO_INICIALIZADO;
    }

private:
    std::atomic<ULONG> m_cRef{1};
    std::mutex m_trava;
    std::shared_ptr<ErpBanco> m_banco;
};

// Makes a stand-in server of class T and hands out its interface `riid`.
template <class T>
HRESULT CriaServidorErp(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    auto* objeto = new (std::nothrow) T;
    if (objeto == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = objeto->QueryInterface(riid, ppv);
    objeto->Release();
    return hr;
}

}  // namespace zenta
