// The session base of every object that works for a client: company, user
// and session, and the initialise/finalise chain that subclasses extend.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

namespace zenta {

class CQVInicializador {
public:
    CQVInicializador() = default;
    CQVInicializador(const CQVInicializador&) = delete;
    CQVInicializador& operator=(const CQVInicializador&) = delete;
    virtual ~CQVInicializador() = default;

    // Takes the context and runs OnInicializa. An initialised object is
    // finalised first, so a second call initialises it again. A company
    // that is not empty must be usable as one directory name
    // (E_QV_NOME_EMPRESA_INVALIDO otherwise).
    HRESULT Inicializa(std::string_view empresa, USHORT usuario, LONG sessao);
    // Copies the context of an initialised object (E_INVALIDARG otherwise).
    HRESULT Inicializa(const CQVInicializador& origem);
    // Runs OnFinaliza and forgets the context; harmless when not initialised.
    HRESULT Finaliza();

    bool EstaInicializado() const { return m_bInicializado.load(std::memory_order_acquire); }

    std::string GetEmpresa() const;
    USHORT GetUsuario() const;
    LONG GetNumeroSessao() const;

protected:
    // Overridden by subclasses, which call their base's version first
    // (OnInicializa) or last (OnFinaliza).
    virtual HRESULT OnInicializa() { return S_OK; }
    virtual HRESULT OnFinaliza() { return S_OK; }

private:
    mutable std::mutex m_trava;
    std::string m_sEmpresa;
    USHORT m_usUsuario = 0;
    LONG m_lSessao = 0;
    std::atomic<bool> m_bInicializado{false};
};

}  // namespace zenta
