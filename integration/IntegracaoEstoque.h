// Stock pre-withdrawal of a maintenance order: the order's product lines
// become the stock module's pre-withdrawal records, filed under the order's
// key and branch in one call, and an order's pre-withdrawals are removed
// again before the order is saved anew.
#pragma once

#include <string>
#include <vector>

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "access/QVBaseParaRotinas.h"
#include "access/QVDadosES.h"
#include "values/QVDMC.h"

namespace zenta {

class CIntegracaoEstoque : public CQVBaseParaRotinas {
public:
    CIntegracaoEstoque() = default;
    ~CIntegracaoEstoque() override;

    // The records an order reserves, without sending anything. Each location
    // reserves its own quantity (vQuantidadeEs); a line that names a single
    // location without a quantity of its own reserves its planned quantity
    // there. A line never reserves more than it plans: its locations are
    // taken in order up to the planned quantity, and a location left with
    // nothing (or a negative quantity) reserves nothing.
    //
    // Records are kept per product: a location that matches a record already
    // made for the product (same grades, production type, lot, supplier of
    // the lot, volume, EPTETPE supplier and customer, FCI control, stock
    // location, unit value and imported-content flag) adds its quantity to
    // it; any other location gives a new record.
    //
    // A stock location or grade above 65535 does not fit the record: refused
    // with E_INVALIDARG and `erro` naming it (Windows-1252). A list whose
    // count is not zero but whose pointer is null is refused with E_POINTER;
    // a quantity sum beyond the currency range with DISP_E_OVERFLOW.
    HRESULT MontaPreBaixas(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                  std::vector<REG_ES_PREBAIXAPS>& registros, std::string& erro);

    // Pre-withdraws the products of the order (MontaPreBaixas) under
    // rDMCMovimentacao (the saved order's key as the caller built it: its
    // pointer, kind 84, its month/year) and the order's branch cut to 16
    // bits. Nothing is sent when no record results. Any result of the stock
    // module other than S_OK is logged and returned.
    HRESULT EfetuaBaixaNoEstoque(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao, REG_QVDMC rDMCMovimentacao);

    // Removes the pre-withdrawals of the order with key dmcChave (as the
    // client sent it; its movement kind is replaced by 84) and branch.
    HRESULT LimparBaixaNoEstoque(REG_QVDMC dmcChave, LONG lFilial);

private:
    HRESULT GetAcessoEstoque(IQVAcessoEstoque*& pEstoque);
};

}  // namespace zenta
