// Stock pre-withdrawal of a maintenance order: the order's product lines
// become the stock module's pre-withdrawal records, filed under the order's
// key and branch in one call, and an order's pre-withdrawals are removed
// again before the order is saved anew.
#pragma once

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "access/QVBaseParaRotinas.h"
#include "values/QVDMC.h"

class CIntegracaoEstoque : public CQVBaseParaRotinas {
public:
    CIntegracaoEstoque() = default;
    ~CIntegracaoEstoque() override;

    // Pre-withdraws the products of the order under rDMCMovimentacao (the
    // saved order's key as the caller built it: its pointer, kind 84, its
    // month/year) and the order's branch cut to 16 bits.
    //
    // Locations are merged per product: a location that matches a record
    // already made for the product (same lot, supplier of the lot, volume,
    // EPTETPE supplier and customer, FCI control, stock location, unit value
    // and imported-content flag) adds its quantity to it; any other location
    // gives a new record carrying its line's grades and planned quantity.
    // Nothing is sent when no record results. A list whose count is not zero
    // but whose pointer is null is refused with E_POINTER before anything is
    // sent; a quantity sum beyond the currency range with DISP_E_OVERFLOW.
    // Any result of the stock module other than S_OK is logged and returned.
    HRESULT EfetuaBaixaNoEstoque(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao, REG_QVDMC rDMCMovimentacao);

    // Removes the pre-withdrawals of the order with key dmcChave (as the
    // client sent it; its movement kind is replaced by 84) and branch.
    HRESULT LimparBaixaNoEstoque(REG_QVDMC dmcChave, LONG lFilial);

private:
    HRESULT GetAcessoEstoque(IQVAcessoEstoque*& pEstoque);
};
