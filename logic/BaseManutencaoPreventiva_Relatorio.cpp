// The two reports of the service: registered plans and maintenance orders,
// each written by its report object (reports/) for the request's filter.
#include "diagnostics/QVCheck.h"
#include "logic/BaseManutencaoPreventiva.h"
#include "reports/RelatorioCadastroManPrev.h"
#include "reports/RelatorioMovimentoManPrev.h"

HRESULT CBaseManutencaoPreventiva::GeraRelatorioCadastro(
    const _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regRelatorio) {
    CRelatorioCadastroManPrev RelCadManPrev;
    if (const HRESULT hr = RelCadManPrev.Inicializa(this); FAILED(hr)) {
        QV_LOG_HR(hr, "RelCadManPrev.Inicializa(this)");
        return hr;
    }
    return RelCadManPrev.EmiteRelatorio(regRelatorio);
}

HRESULT CBaseManutencaoPreventiva::GeraRelatorioMovimento(
    const _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS& regRelatorio) {
    CRelatorioMovimentoManPrev RelMovManPrev;
    if (const HRESULT hr = RelMovManPrev.Inicializa(this); FAILED(hr)) {
        QV_LOG_HR(hr, "RelMovManPrev.Inicializa(this)");
        return hr;
    }
    return RelMovManPrev.EmiteRelatorio(regRelatorio);
}
