#include "access/QVUltimoErro.h"

#include <algorithm>
#include <cstring>

namespace zenta {

namespace {
template <size_t N>
void CopiaTexto(char (&destino)[N], const std::string& origem) {
    const size_t n = std::min(origem.size(), N - 1);
    std::memcpy(destino, origem.data(), n);
    std::memset(destino + n, 0, N - n);
}
}  // namespace

void CQVDadosDF_Erro::CopiarPara(_REG_DF_ERROPS* p) const {
    if (p == nullptr) return;
    std::memset(p, 0, sizeof *p);
    p->hr = hr;
    p->nCodigoErro = nCodigoErro;
    p->lCodigoMensagem = lCodigoMensagem;
    p->iRegistro = iRegistro;
    p->iItem = iItem;
    p->lCodigoCampo = lCodigoCampo;
    p->nModuloMensagem = nModuloMensagem;
    p->nTipoErro = nTipoErro;
    p->usNumeroServidor = usNumeroServidor;
    CopiaTexto(p->cMensagem, sMensagem);
    CopiaTexto(p->szEmpresa, sEmpresa);
}

void CQVUltimoErro::SetErro(const CQVDadosDF_Erro& erro) {
    std::lock_guard lock(m_trava);
    m_erro = erro;
}

CQVDadosDF_Erro CQVUltimoErro::GetErro() {
    std::lock_guard lock(m_trava);
    return m_erro;
}

CQVDadosDF_Erro CQVUltimoErro::GetErro() const {
    std::lock_guard lock(m_trava);
    return m_erro;
}

void CQVUltimoErro::LimpaErro() {
    std::lock_guard lock(m_trava);
    m_erro = CQVDadosDF_Erro{};
}

}  // namespace zenta
