// The class object of CQVGE_ManutencaoPreventiva, registered in the
// in-process class table when the server library is loaded.
#include <new>

#include "platform/QVClassTable.h"
#include "server/QVGE_ManutencaoPreventiva.h"

namespace zenta {

namespace {

class CFabricaManutencaoPreventiva final : public IClassFactory {
public:
    virtual ~CFabricaManutencaoPreventiva() = default;

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
    // The class object lives as long as the library; counts are kept only
    // for the COM contract.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_cRef; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override {
        return CQVGE_ManutencaoPreventiva::CriaInstancia(pUnkOuter, riid, ppv);
    }
    // A lock on the module's count; an unlock without a lock to undo is
    // refused and leaves the count as it was.
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override {
        if (fLock) {
            zenta::QVModulo::Instancia().Trava();
            return S_OK;
        }
        return zenta::QVModulo::Instancia().Destrava() ? S_OK : E_UNEXPECTED;
    }

private:
    std::atomic<ULONG> m_cRef{1};
};

CFabricaManutencaoPreventiva& Fabrica() {
    static CFabricaManutencaoPreventiva fabrica;
    return fabrica;
}

// Registers the class when the library is loaded.
const bool g_registrada = [] {
    zenta::RegistraClasseInproc(CLSID_QVGE_ManutencaoPreventiva, &Fabrica());
    return true;
}();

}  // namespace

QVModulo& QVModulo::Instancia() {
    static QVModulo modulo;
    return modulo;
}

}  // namespace zenta
