#include "integration/IntegracaoCompras.h"

#include "diagnostics/QVCheck.h"

CIntegracaoCompras::~CIntegracaoCompras() { Finaliza(); }

HRESULT CIntegracaoCompras::FazSolicitacaoCompra(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regPs,
                                                 std::vector<ULONGLONG>& solicitacoes) {
    const auto& chaves = regPs.listaIntegracoesCompras;
    solicitacoes.assign(chaves.pDMC, chaves.pDMC + chaves.lQtdDMC);
    // A cancelled order leaves its requests as they are.
    if (regPs.lSituacao == 2) return S_OK;
    bool bPedeCompra = false;
    for (ULONG i = 0; i < regPs.listaProdutos.lQtdProdutos; ++i)
        bPedeCompra = bPedeCompra || regPs.listaProdutos.pProdutos[i].bGerarSolicitacaoCompras == 1;
    for (ULONG i = 0; i < regPs.listaServicos.lQtdServicos; ++i)
        bPedeCompra = bPedeCompra || regPs.listaServicos.pServicos[i].bGerarSolicitacaoCompras == 1;
    if (!bPedeCompra) return S_OK;
    // The purchasing module is reached through the ERP stand-in's servers,
    // which do not offer it yet.
    QV_CHECK(E_NOTIMPL);
    return S_OK;
}
