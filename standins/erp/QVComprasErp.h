// The ERP stand-in's purchasing server: purchase requests
// (IQVCM_SolicitacaoCompra) kept in the company's stand-in file, tables
// solicitacao_compra and solicitacao_compra_item (schema version 5,
// described in QVErpBanco.cpp). The class is in the in-process class table
// as CLSID_QVCM_SolicitacaoCompra and is created through COM like the
// module's own server.
//
// Every input is checked before anything is stored: an item count without
// its items, or more keys than kMaxChavesListaSolicitacoes, is refused with
// E_INVALIDARG.
#pragma once

#include <string_view>
#include <vector>

#include "access/IQVCM_SolicitacaoCompra.h"

namespace zenta {

inline constexpr ULONG kMaxChavesListaSolicitacoes = 10000;
// Movement kind of the stand-in's request keys.
inline constexpr USHORT kTipoMovimentoSolicitacaoCompra = 31;

// A new, not yet initialised instance (the class object's CreateInstance).
HRESULT CriaComprasErp(REFIID riid, void** ppv);

// A stored request as people look at it: its key, whether it may still
// change, its record (item pointer null) and its items.
struct SolicitacaoCompraErp {
    ULONGLONG chave = 0;
    bool podeAlterar = true;
    alignas(8) REG_CM_SOLICITACAO_COMPRA_PS registro{};
    std::vector<REG_CM_ITEM_SOLICITACAO_PS> itens;
};

// The requests of a company, in key order; with `origem` not 0 only those
// that document asked for.
HRESULT ListaSolicitacoesCompraErp(std::string_view empresa, ULONGLONG origem,
                                   std::vector<SolicitacaoCompraErp>& solicitacoes);

// Purchasing takes a request over, as a buyer does: from then on it may no
// longer change and is never deleted. S_FALSE when the company holds no
// such request.
HRESULT TornaSolicitacaoInalteravelErp(std::string_view empresa, ULONGLONG chave);

}  // namespace zenta
