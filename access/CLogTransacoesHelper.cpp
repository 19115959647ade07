#include "access/CLogTransacoesHelper.h"

#include "diagnostics/QVCheck.h"
#include "platform/CodePage.h"

namespace zenta {

CLogTransacoesHelper::~CLogTransacoesHelper() { Finaliza(); }

HRESULT CLogTransacoesHelper::Inicializa(const CQVInicializador* origem) {
    if (origem == nullptr) QV_CHECK(E_POINTER);
    QV_CHECK(CQVBaseParaRotinas::Inicializa(*origem));
    return S_OK;
}

HRESULT CLogTransacoesHelper::AdicionaInformacao(char cTag, std::string_view texto) {
    m_informacoes.push_back({cTag, zenta::Utf8OuCp1252ParaCp1252(texto)});
    return S_OK;
}

HRESULT CLogTransacoesHelper::Grava(REG_QVDMC dmcChave, LONG lTipoLog, char cOperacao) {
    CQVAcessoServidores acessos;
    QV_CHECK(GetAcessoServidores(acessos));
    if (acessos.pEmpresarial == nullptr) QV_CHECK(E_NOTIMPL);
    CQVEntradaLog entrada;
    entrada.dmcChave = dmcChave;
    entrada.lTipoLog = lTipoLog;
    entrada.cOperacao = cOperacao;
    entrada.informacoes = m_informacoes;
    QV_CHECK(acessos.pEmpresarial->GravaLog(entrada));
    m_informacoes.clear();
    return S_OK;
}

}  // namespace zenta
