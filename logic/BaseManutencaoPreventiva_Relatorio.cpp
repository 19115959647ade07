// The two reports of the service: registered plans and maintenance orders,
// each written by its report object (reports/) for the request's filter.
#include "diagnostics/QVCheck.h"
#include "platform/CodePage.h"
#include "logic/BaseManutencaoPreventiva.h"
#include "reports/RelatorioCadastroManPrev.h"
#include "reports/RelatorioMovimentoManPrev.h"

namespace zenta {

namespace {

// A report's failure with its reason as the last error, for GetUltimoErro:
// "the destination folder does not exist" says more than the result code.
template <class TRelatorio>
void RegistraFalhaRelatorio(CQVUltimoErro& ultimo, HRESULT hr, TRelatorio& relatorio, const std::string& empresa) {
    if (SUCCEEDED(hr)) return;
    CQVDadosDF_Erro erro;
    erro.hr = hr;
    erro.nCodigoErro = hr;
    erro.sMensagem = zenta::Utf8ParaCp1252(relatorio.GetMotivoErro());
    erro.sEmpresa = empresa;
    ultimo.SetErro(erro);
}

}  // namespace

HRESULT CBaseManutencaoPreventiva::GeraRelatorioCadastro(
    const _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regRelatorio) {
    CRelatorioCadastroManPrev RelCadManPrev;
    if (const HRESULT hr = RelCadManPrev.Inicializa(this); FAILED(hr)) {
        QV_LOG_HR(hr, "RelCadManPrev.Inicializa(this)");
        return hr;
    }
    LimpaErro();
    const HRESULT hr = RelCadManPrev.EmiteRelatorio(regRelatorio);
    RegistraFalhaRelatorio(*this, hr, RelCadManPrev, GetEmpresa());
    return hr;
}

HRESULT CBaseManutencaoPreventiva::GeraRelatorioMovimento(
    const _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS& regRelatorio) {
    CRelatorioMovimentoManPrev RelMovManPrev;
    if (const HRESULT hr = RelMovManPrev.Inicializa(this); FAILED(hr)) {
        QV_LOG_HR(hr, "RelMovManPrev.Inicializa(this)");
        return hr;
    }
    LimpaErro();
    const HRESULT hr = RelMovManPrev.EmiteRelatorio(regRelatorio);
    RegistraFalhaRelatorio(*this, hr, RelMovManPrev, GetEmpresa());
    return hr;
}

}  // namespace zenta
