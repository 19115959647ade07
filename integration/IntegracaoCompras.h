// Purchase requests of a maintenance order: the order's lines that ask for
// purchasing become requests in the ERP's purchasing module, and the keys of
// the requests made come back to be kept with the order.
#pragma once

#include <vector>

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "access/QVBaseParaRotinas.h"

class CIntegracaoCompras : public CQVBaseParaRotinas {
public:
    CIntegracaoCompras() = default;
    ~CIntegracaoCompras() override;

    // Asks purchasing for the order's lines whose bGerarSolicitacaoCompras is 1;
    // `solicitacoes` receives the keys of the requests of the order
    // (those it already had and the new ones). An order with no such line
    // asks for nothing and keeps the requests it had.
    HRESULT FazSolicitacaoCompra(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regPs, std::vector<ULONGLONG>& solicitacoes);
};
