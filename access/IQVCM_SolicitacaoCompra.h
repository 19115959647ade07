// IQVCM_SolicitacaoCompra: the purchasing module's purchase requests, as the
// maintenance orders reach them. A request travels as a 184-byte record
// pointing to its items (136 bytes each); only the fields the system sets or
// reads are named, every other byte belongs to the module and is zero when
// the system builds a request.
//
// Memory: a request handed to the module (Integracao_Inclui) stays the
// caller's, except the pointer the module may leave in each item's pExtra,
// which the caller frees with CoTaskMemFree. Lists the module hands out
// (LeLista) are allocated with the COM task allocator and become the
// caller's, freed with LiberaListaSolicitacoes.
#pragma once

#include <cstddef>

#include <zenta/ObjBase.h>
#include <zenta/QVGE_ManutencaoPreventivaRecords.h>
#include <zenta/QVUnknown.h>
#include <zenta/WinTypes.h>

#include "values/QVDMA.h"

namespace zenta {

#pragma pack(push, 1)

// One item of a purchase request: a product or a service (136 bytes).
struct REG_CM_ITEM_SOLICITACAO_PS {
    ULONG lPonteiroProdutoServico;
    USHORT usGrade1;
    USHORT usGrade2;
    USHORT usGrade3;
    BYTE cFiller10[22];
    CY vSaldoEstoque;    // products: stock balance at the request's branch
    CY vPontoPedido;     // products: reorder point
    CY vEstoqueMinimo;   // products: minimum stock
    CY vQuantidade;      // quantity requested
    BYTE cFiller64[8];
    USHORT usUnidadeMedida;
    BYTE cFiller74[6];
    char cTipo;  // 'P' product, 'S' service
    BYTE cReservado81;
    BYTE cFiller82[3];
    BYTE cReservado85;
    BYTE cFiller86[18];
    void* pExtra;  // the module's; freed by the caller after sending
    BYTE cFiller112[24];
};
static_assert(sizeof(REG_CM_ITEM_SOLICITACAO_PS) == 136);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, lPonteiroProdutoServico) == 0);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, usGrade1) == 4);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, usGrade2) == 6);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, usGrade3) == 8);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, vSaldoEstoque) == 32);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, vPontoPedido) == 40);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, vEstoqueMinimo) == 48);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, vQuantidade) == 56);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, usUnidadeMedida) == 72);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, cTipo) == 80);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, cReservado81) == 81);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, cReservado85) == 85);
static_assert(offsetof(REG_CM_ITEM_SOLICITACAO_PS, pExtra) == 104);

// A purchase request (184 bytes).
struct REG_CM_SOLICITACAO_COMPRA_PS {
    ULONGLONG dmcOrigem;  // the document that asked: the maintenance order's key
    BYTE cFiller8[32];
    REG_QVDMA dataSolicitacao;
    BYTE cFiller44[4];
    ULONG lReservado48;
    BYTE cFiller52[12];
    USHORT usFilial;
    USHORT usReservado66;
    BYTE cFiller68[12];
    USHORT usQtdItens;
    BYTE cFiller82[6];
    char szOrigem[52];  // "MMYY-NNNNNN": the order's month/year and pointer
    BYTE cFiller140;
    BYTE cReservado141;
    BYTE cFiller142[18];
    REG_CM_ITEM_SOLICITACAO_PS* pItens;
    BYTE cFiller168[16];
};
static_assert(sizeof(REG_CM_SOLICITACAO_COMPRA_PS) == 184);
static_assert(offsetof(REG_CM_SOLICITACAO_COMPRA_PS, dmcOrigem) == 0);
static_assert(offsetof(REG_CM_SOLICITACAO_COMPRA_PS, dataSolicitacao) == 40);
static_assert(offsetof(REG_CM_SOLICITACAO_COMPRA_PS, lReservado48) == 48);
static_assert(offsetof(REG_CM_SOLICITACAO_COMPRA_PS, usFilial) == 64);
static_assert(offsetof(REG_CM_SOLICITACAO_COMPRA_PS, usReservado66) == 66);
static_assert(offsetof(REG_CM_SOLICITACAO_COMPRA_PS, usQtdItens) == 80);
static_assert(offsetof(REG_CM_SOLICITACAO_COMPRA_PS, szOrigem) == 88);
static_assert(offsetof(REG_CM_SOLICITACAO_COMPRA_PS, cReservado141) == 141);
static_assert(offsetof(REG_CM_SOLICITACAO_COMPRA_PS, pItens) == 160);

// A list of purchase requests (24 bytes).
struct REG_CM_LISTA_SOLICITACAO_PS {
    ULONG lQtdSolicitacoes;
    ULONG lFiller;
    void* pFiller;
    REG_CM_SOLICITACAO_COMPRA_PS* pSolicitacoes;
};
static_assert(sizeof(REG_CM_LISTA_SOLICITACAO_PS) == 24);
static_assert(offsetof(REG_CM_LISTA_SOLICITACAO_PS, pSolicitacoes) == 16);

#pragma pack(pop)

// {7C3A1E52-0B6D-4F8E-9A41-2D5E8F6B3C01}
inline constexpr IID IID_IQVCM_SolicitacaoCompra = {0x7c3a1e52, 0x0b6d, 0x4f8e, {0x9a, 0x41, 0x2d, 0x5e, 0x8f, 0x6b, 0x3c, 0x01}};
// {7C3A1E52-0B6D-4F8E-9A41-2D5E8F6B3C02}: the purchasing module's server.
inline constexpr CLSID CLSID_QVCM_SolicitacaoCompra = {0x7c3a1e52, 0x0b6d, 0x4f8e, {0x9a, 0x41, 0x2d, 0x5e, 0x8f, 0x6b, 0x3c, 0x02}};

struct IQVCM_SolicitacaoCompra : IQVUnknown {
    static constexpr const IID& kIid = IID_IQVCM_SolicitacaoCompra;

    // One request per key, in the keys' order, in a list allocated for the
    // caller. A key the module no longer holds gives a request without items.
    virtual HRESULT STDMETHODCALLTYPE LeLista(_REG_LISTA_DMC_PS regChaves, REG_CM_LISTA_SOLICITACAO_PS* pRegLista) = 0;
    // Creates a request with its items; its key comes back in *prChaveOut.
    virtual HRESULT STDMETHODCALLTYPE Integracao_Inclui(REG_CM_SOLICITACAO_COMPRA_PS regSolicitacao,
                                                        ULONGLONG* prChaveOut) = 0;
    // Deletes a request that may still change (one no longer held is gone
    // already: success).
    virtual HRESULT STDMETHODCALLTYPE Integracao_Excluir(ULONGLONG dmcSolicitacao) = 0;
    // *pbPodeAlterar is nonzero while the request may still be changed or
    // deleted (a request no longer held may be replaced).
    virtual HRESULT STDMETHODCALLTYPE Integracao_PodeAlterar(ULONGLONG dmcSolicitacao, LONG* pbPodeAlterar) = 0;

protected:
    ~IQVCM_SolicitacaoCompra() = default;
};

// Frees a list LeLista handed out, with every request's items, and empties it.
inline void LiberaListaSolicitacoes(REG_CM_LISTA_SOLICITACAO_PS& lista) {
    if (lista.pSolicitacoes != nullptr) {
        for (ULONG i = 0; i < lista.lQtdSolicitacoes; ++i) CoTaskMemFree(lista.pSolicitacoes[i].pItens);
        CoTaskMemFree(lista.pSolicitacoes);
    }
    lista = {};
}

}  // namespace zenta
