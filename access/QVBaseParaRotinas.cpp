#include "access/QVBaseParaRotinas.h"

#include <atomic>
#include <cstring>

#include "platform/QVDiretorios.h"

namespace zenta {

namespace {
thread_local CQVBaseParaRotinas* t_acessoDefault = nullptr;
std::atomic<IQVProvedorAcesso*> g_provedor{nullptr};
}  // namespace

void QVRegistraProvedorAcesso(IQVProvedorAcesso* provedor) { g_provedor.store(provedor); }
IQVProvedorAcesso* QVProvedorAcesso() { return g_provedor.load(); }

// The context of code outside any session object: the calling thread's
// default access, when a call frame has set one.
CQVContextoProfiler QVProfilerDoEscopo() {
    const CQVBaseParaRotinas* base = CQVBaseParaRotinas::GetAcessoServidoresDefault();
    return base != nullptr ? base->QVProfilerDoEscopo() : CQVContextoProfiler{};
}

CQVBaseParaRotinas::~CQVBaseParaRotinas() {
    if (t_acessoDefault == this) t_acessoDefault = nullptr;
    // Subclasses have finalised themselves; release what this level holds.
    if (m_bConectado) {
        if (auto* provedor = QVProvedorAcesso()) provedor->Desconecta(*this);
        m_bConectado = false;
    }
}

HRESULT CQVBaseParaRotinas::Inicializa(const _REG_DF_INICIALIZAPS& regps) {
    const void* fim = std::memchr(regps.szEmpresa, 0, sizeof regps.szEmpresa);
    if (fim == nullptr) return E_QV_NOME_EMPRESA_INVALIDO;
    if (regps.ulUsuario > 0xFFFFu) return E_INVALIDARG;
    {
        std::lock_guard lock(m_travaRegistro);
        m_regInicializacao = regps;
    }
    const HRESULT hr = CQVInicializador::Inicializa(std::string_view(regps.szEmpresa),
                                                    static_cast<USHORT>(regps.ulUsuario),
                                                    static_cast<LONG>(regps.ulNumeroSessao));
    if (FAILED(hr)) {
        std::lock_guard lock(m_travaRegistro);
        m_regInicializacao.reset();
    }
    return hr;
}

CQVContextoProfiler CQVBaseParaRotinas::QVProfilerDoEscopo() const {
    std::lock_guard lock(m_travaRegistro);
    return {this, m_regInicializacao ? &*m_regInicializacao : nullptr};
}

void CQVBaseParaRotinas::SetAcessoDefault(CQVBaseParaRotinas* base) { t_acessoDefault = base; }

CQVBaseParaRotinas* CQVBaseParaRotinas::GetAcessoServidoresDefault() { return t_acessoDefault; }

HRESULT CQVBaseParaRotinas::GetAcessoServidores(CQVAcessoServidores& acessos) {
    acessos = {};
    if (!EstaInicializado()) return CO_E_NOTINITIALIZED;
    IQVProvedorAcesso* provedor = QVProvedorAcesso();
    if (provedor == nullptr) return E_NOTIMPL;
    std::lock_guard lock(m_travaRegistro);
    if (!m_bConectado) {
        const HRESULT hr = provedor->Conecta(*this, m_acessos);
        if (FAILED(hr)) return hr;
        m_bConectado = true;
    }
    acessos = m_acessos;
    return S_OK;
}

HRESULT CQVBaseParaRotinas::GetDiretorioDadosModulo(int modulo, std::filesystem::path& diretorio) const {
    return QVDiretorioDadosModulo(modulo, GetEmpresa(), diretorio);
}

HRESULT CQVBaseParaRotinas::FuncaoGenerica(ULONG, const _REG_CR_LISTA_BYTESPS&, _REG_CR_LISTA_BYTESPS** ppregOutps) {
    if (ppregOutps != nullptr) *ppregOutps = nullptr;
    return E_NOTIMPL;
}

HRESULT CQVBaseParaRotinas::OnFinaliza() {
    std::lock_guard lock(m_travaRegistro);
    if (m_bConectado) {
        if (auto* provedor = QVProvedorAcesso()) provedor->Desconecta(*this);
        m_bConectado = false;
        m_acessos = {};
    }
    return S_OK;
}

_REG_DF_INICIALIZAPS ProfilerToRegInicializaPS(const CQVBaseParaRotinas* base) {
    _REG_DF_INICIALIZAPS regps;
    std::memset(&regps, 0, sizeof regps);
    regps.usVersaoFarol = QV_VERSAO_FAROL;
    regps.cControle = QV_CONTROLE_INICIALIZACAO;
    std::memcpy(regps.szAplicativo, "zenta", 5);
    std::memcpy(regps.szModuleName, "zenta", 5);
    if (base != nullptr) {
        regps.ulUsuario = base->CQVInicializador::GetUsuario();
        regps.ulNumeroSessao = static_cast<ULONG>(base->CQVInicializador::GetNumeroSessao());
        const std::string empresa = base->CQVInicializador::GetEmpresa();
        if (empresa.size() < sizeof regps.szEmpresa) std::memcpy(regps.szEmpresa, empresa.data(), empresa.size());
    }
    QVAssinaInicializacao(regps);
    return regps;
}

}  // namespace zenta
