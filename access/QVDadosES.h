// The stock module's records and data objects that the system hands to it.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>

#include <zenta/WinTypes.h>

namespace zenta {

// ---- REG_ES_PREBAIXAPS ------------------------------------------------------
// A pre-withdrawal: a quantity of a product (with its grid) reserved at a
// stock location for a document, here a maintenance order. 104 bytes; what
// this system does not fill stays zero (the reserved areas are the stock
// module's own).
#pragma pack(push, 1)
struct REG_ES_PREBAIXAPS {
    ULONG lProduto;              // product code
    USHORT usGrade1;             // grid pointers (16 bits)
    USHORT usGrade2;
    USHORT usGrade3;
    BYTE cReservado1[30];
    CY vQuantidade;              // quantity to reserve
    CY vPrecoUnitario;           // unit value
    ULONG lPonteiroLote;         // lot
    ULONG lPonteiroForLote;      // supplier of the lot
    ULONG lPonteiroVolume;       // volume
    ULONG lPonteiroForEPTETPE;   // EPTETPE supplier
    ULONG lPonteiroCliEPTETPE;   // EPTETPE customer
    ULONG lPonteiroControleFCI;  // FCI control
    BYTE cReservado2[4];
    USHORT usLocal;              // stock location (16 bits)
    BYTE cReservado3[6];
    BYTE cTipoProducao;          // production type
    BYTE cReservado4;
    BYTE cConteudoImportado;     // imported-content flag
    BYTE cReservado5[9];
};
#pragma pack(pop)
static_assert(sizeof(REG_ES_PREBAIXAPS) == 104);
static_assert(alignof(REG_ES_PREBAIXAPS) == 1);
static_assert(std::is_trivially_copyable_v<REG_ES_PREBAIXAPS>);
static_assert(offsetof(REG_ES_PREBAIXAPS, lProduto) == 0);
static_assert(offsetof(REG_ES_PREBAIXAPS, usGrade1) == 4);
static_assert(offsetof(REG_ES_PREBAIXAPS, usGrade2) == 6);
static_assert(offsetof(REG_ES_PREBAIXAPS, usGrade3) == 8);
static_assert(offsetof(REG_ES_PREBAIXAPS, cReservado1) == 10);
static_assert(offsetof(REG_ES_PREBAIXAPS, vQuantidade) == 40);
static_assert(offsetof(REG_ES_PREBAIXAPS, vPrecoUnitario) == 48);
static_assert(offsetof(REG_ES_PREBAIXAPS, lPonteiroLote) == 56);
static_assert(offsetof(REG_ES_PREBAIXAPS, lPonteiroForLote) == 60);
static_assert(offsetof(REG_ES_PREBAIXAPS, lPonteiroVolume) == 64);
static_assert(offsetof(REG_ES_PREBAIXAPS, lPonteiroForEPTETPE) == 68);
static_assert(offsetof(REG_ES_PREBAIXAPS, lPonteiroCliEPTETPE) == 72);
static_assert(offsetof(REG_ES_PREBAIXAPS, lPonteiroControleFCI) == 76);
static_assert(offsetof(REG_ES_PREBAIXAPS, cReservado2) == 80);
static_assert(offsetof(REG_ES_PREBAIXAPS, usLocal) == 84);
static_assert(offsetof(REG_ES_PREBAIXAPS, cReservado3) == 86);
static_assert(offsetof(REG_ES_PREBAIXAPS, cTipoProducao) == 92);
static_assert(offsetof(REG_ES_PREBAIXAPS, cReservado4) == 93);
static_assert(offsetof(REG_ES_PREBAIXAPS, cConteudoImportado) == 94);
static_assert(offsetof(REG_ES_PREBAIXAPS, cReservado5) == 95);

// ---- Data objects -----------------------------------------------------------
// A data object holding one record of a module, copied in and out whole.
template <class REG>
class T_QVDadosRegistro {
    static_assert(std::is_trivially_copyable_v<REG>);

public:
    // E_POINTER for a null source; the held record is then left as it was.
    HRESULT CopiarDe(const REG* pReg) {
        if (pReg == nullptr) return E_POINTER;
        std::memcpy(&m_reg, pReg, sizeof m_reg);
        return S_OK;
    }
    HRESULT CopiarPara(REG* pReg) const {
        if (pReg == nullptr) return E_POINTER;
        std::memcpy(pReg, &m_reg, sizeof m_reg);
        return S_OK;
    }
    const REG& GetRegistro() const { return m_reg; }

private:
    REG m_reg{};
};

// One pre-withdrawal of the stock module.
class CQVDadosES_PreBaixa : public T_QVDadosRegistro<REG_ES_PREBAIXAPS> {};

// ---- Stock balances -------------------------------------------------------------
#pragma pack(push, 1)
// Where a balance is asked for: a product with its grid pointers and a
// branch (32 bytes).
struct REG_ES_KEY_SALDOS_PS {
    ULONG lProduto;
    USHORT usGrade1;
    USHORT usGrade2;
    USHORT usGrade3;
    USHORT usFilial;
    BYTE cReservado12[20];
};
static_assert(sizeof(REG_ES_KEY_SALDOS_PS) == 32);
static_assert(offsetof(REG_ES_KEY_SALDOS_PS, usGrade1) == 4);
static_assert(offsetof(REG_ES_KEY_SALDOS_PS, usFilial) == 10);

// A product's stock balances at a branch (408 bytes); the system reads the
// balance at 32, every other byte is the stock module's.
struct REG_ES_SALDOS_PS {
    BYTE cReservado0[32];
    CY vSaldo;
    BYTE cReservado40[368];
};
static_assert(sizeof(REG_ES_SALDOS_PS) == 408);
static_assert(offsetof(REG_ES_SALDOS_PS, vSaldo) == 32);
#pragma pack(pop)

// The stock module's movement interface, as far as balances go. Reference
// counted; the holder releases it.
struct IQVES_Movimento {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // The balance of a product at a branch; nothing stored is a zero balance.
    virtual HRESULT LeSaldo(const REG_ES_KEY_SALDOS_PS& regKeySaldos, REG_ES_SALDOS_PS* pRegSaldos) = 0;

protected:
    ~IQVES_Movimento() = default;
};

}  // namespace zenta
