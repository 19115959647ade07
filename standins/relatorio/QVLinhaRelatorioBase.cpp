#include "standins/relatorio/QVLinhaRelatorioBase.h"

namespace zenta {

CQVCampoRelatorio* CQVLinhaRelatorioBase::AchaCampo(LONG lCodigo) {
    for (CQVCampoRelatorio& c : m_campos)
        if (c.GetCodigo() == lCodigo) return &c;
    return nullptr;
}

const CQVCampoRelatorio* CQVLinhaRelatorioBase::AchaCampo(LONG lCodigo) const {
    for (const CQVCampoRelatorio& c : m_campos)
        if (c.GetCodigo() == lCodigo) return &c;
    return nullptr;
}

void CQVLinhaRelatorioBase::SetValor(LONG lCodigo, std::string_view valor) {
    if (CQVCampoRelatorio* campo = AchaCampo(lCodigo)) {
        campo->SetValor(valor);
        return;
    }
    m_extras[lCodigo] = std::string(valor);
}

const std::string& CQVLinhaRelatorioBase::GetValor(LONG lCodigo) const {
    static const std::string vazio;
    if (const CQVCampoRelatorio* campo = AchaCampo(lCodigo)) return campo->GetValor();
    const auto it = m_extras.find(lCodigo);
    return it != m_extras.end() ? it->second : vazio;
}

void CQVLinhaRelatorioBase::CopiarCampos(const CQVLinhaRelatorioBase& origem) {
    for (const CQVCampoRelatorio& c : origem.m_campos) SetValor(c.GetCodigo(), c.GetValor());
    for (const auto& [codigo, valor] : origem.m_extras) SetValor(codigo, valor);
    m_chaves = origem.m_chaves;
}

void CQVLinhaRelatorioBase::CopiarCamposLinhaMestre(const CQVLinhaRelatorioBase& mestre) {
    for (const CQVCampoRelatorio& c : mestre.m_campos)
        if (mestre.EhCampoMestre(c.GetCodigo())) SetValor(c.GetCodigo(), c.GetValor());
}

void CQVLinhaRelatorioBase::LimparCampos() {
    for (CQVCampoRelatorio& c : m_campos) c.Limpa();
    m_extras.clear();
    m_chaves.clear();
}

void CQVLinhaRelatorioBase::AdicionaChavePesquisa(LONG lTipo, ULONG lPonteiro) {
    for (CQVChavePesquisaRelatorio& chave : m_chaves) {
        if (chave.lTipo == lTipo) {
            chave.lPonteiro = lPonteiro;
            return;
        }
    }
    m_chaves.push_back({lTipo, lPonteiro});
}

bool CQVLinhaRelatorioBase::TemChavePesquisa(LONG lTipo) const {
    for (const CQVChavePesquisaRelatorio& chave : m_chaves)
        if (chave.lTipo == lTipo) return true;
    return false;
}

}  // namespace zenta
