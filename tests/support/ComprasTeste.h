// Purchase requests as the purchasing module holds them, for tests: creates
// one directly in the company's stand-in and lists a company's requests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access/IQVCM_SolicitacaoCompra.h"
#include "access/QVBaseParaRotinas.h"
#include "standins/erp/QVComprasErp.h"

namespace zenta::teste {

// A request of one item (product 'P' or service 'S') for document `origem`;
// with `inalteravel` purchasing has taken it over. Gives its key.
inline ULONGLONG NovaSolicitacaoErp(const std::string& empresa, bool inalteravel, ULONGLONG origem = 0,
                                    ULONG ponteiro = 0, char tipo = 'P', LONGLONG quantidade = 0) {
    CQVBaseParaRotinas sessao;
    EXPECT_EQ(sessao.Inicializa(empresa, 1, 1), S_OK);
    IQVCM_SolicitacaoCompra* compras = nullptr;
    EXPECT_EQ(CriaComprasErp(IID_IQVCM_SolicitacaoCompra, reinterpret_cast<void**>(&compras)), S_OK);
    if (compras == nullptr) return 0;
    EXPECT_EQ(compras->Inicializa_Padrao(ProfilerToRegInicializaPS(&sessao)), S_OK);
    REG_CM_ITEM_SOLICITACAO_PS item{};
    item.lPonteiroProdutoServico = ponteiro;
    item.cTipo = tipo;
    item.vQuantidade.int64 = quantidade;
    REG_CM_SOLICITACAO_COMPRA_PS s{};
    s.dmcOrigem = origem;
    s.usQtdItens = ponteiro != 0 ? 1 : 0;
    s.pItens = ponteiro != 0 ? &item : nullptr;
    ULONGLONG chave = 0;
    EXPECT_EQ(compras->Integracao_Inclui(s, &chave), S_OK);
    compras->Release();
    if (inalteravel) {
        EXPECT_EQ(TornaSolicitacaoInalteravelErp(empresa, chave), S_OK);
    }
    return chave;
}

inline std::vector<SolicitacaoCompraErp> SolicitacoesErp(const std::string& empresa, ULONGLONG origem = 0) {
    std::vector<SolicitacaoCompraErp> lista;
    EXPECT_EQ(ListaSolicitacoesCompraErp(empresa, origem, lista), S_OK);
    return lista;
}

}  // namespace zenta::teste
