#include "access/QVInicializador.h"

#include "platform/QVDiretorios.h"

namespace zenta {

HRESULT CQVInicializador::Inicializa(std::string_view empresa, USHORT usuario, LONG sessao) {
    if (!empresa.empty() && !QVNomeEmpresaValido(empresa)) return E_QV_NOME_EMPRESA_INVALIDO;
    if (EstaInicializado()) Finaliza();
    {
        std::lock_guard lock(m_trava);
        m_sEmpresa.assign(empresa);
        m_usUsuario = usuario;
        m_lSessao = sessao;
    }
    const HRESULT hr = OnInicializa();
    m_bInicializado.store(SUCCEEDED(hr), std::memory_order_release);
    return hr;
}

HRESULT CQVInicializador::Inicializa(const CQVInicializador& origem) {
    if (&origem == this || !origem.EstaInicializado()) return E_INVALIDARG;
    return Inicializa(origem.GetEmpresa(), origem.GetUsuario(), origem.GetNumeroSessao());
}

HRESULT CQVInicializador::Finaliza() {
    if (!m_bInicializado.exchange(false, std::memory_order_acq_rel)) return S_OK;
    const HRESULT hr = OnFinaliza();
    std::lock_guard lock(m_trava);
    m_sEmpresa.clear();
    m_usUsuario = 0;
    m_lSessao = 0;
    return hr;
}

std::string CQVInicializador::GetEmpresa() const {
    std::lock_guard lock(m_trava);
    return m_sEmpresa;
}

USHORT CQVInicializador::GetUsuario() const {
    std::lock_guard lock(m_trava);
    return m_usUsuario;
}

LONG CQVInicializador::GetNumeroSessao() const {
    std::lock_guard lock(m_trava);
    return m_lSessao;
}

}  // namespace zenta
