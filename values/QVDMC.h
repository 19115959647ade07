// REG_QVDMC: the 64-bit key of a record in a per-month file family, shared
// with the ERP's other modules.
//
//   bits  0..1   date kind: 0 none, 1 year, 2 month/year, 3 full date
//   bits  2..13  movement kind (12 bits; 84 is a preventive-maintenance order)
//   bits 14..45  record pointer (position in the month's file)
//   bits 46..63  date value (18 bits): year, month/year code or day number
//
// Interface records carry the same 8 bytes as an unsigned 64-bit number.
#pragma once

#include <type_traits>

#include <zenta/WinTypes.h>

#include "values/QVDMA.h"

namespace zenta {

#pragma pack(push, 1)
struct REG_QVDMC {
    ULONGLONG uiChave = 0;

    // Movement kind of a preventive-maintenance order.
    static constexpr USHORT MOVIMENTO_GERENCIADOR_MANUT_PREV = 84;

    enum TipoData : int { TIPO_DATA_NENHUMA = 0, TIPO_DATA_ANO = 1, TIPO_DATA_MA = 2, TIPO_DATA_COMPLETA = 3 };

    constexpr REG_QVDMC() = default;
    constexpr explicit REG_QVDMC(ULONGLONG chave) : uiChave(chave) {}

    // Pointer, movement kind and month/year code (date kind 2; kind 0 when
    // the code is 0). Movement kinds keep their low 12 bits.
    REG_QVDMC& SetDMC(ULONG ponteiro, USHORT tipoMovimento, USHORT ma);
    // With a full date (kind 3; kind 0 for no date). A day number too large
    // for the 18-bit field (after 2565-09-19) is stored as no date rather
    // than cut to another day.
    REG_QVDMC& SetDMCData(ULONG ponteiro, USHORT tipoMovimento, REG_QVDMA data);
    // With a year (kind 1); two-digit years are widened, a year outside
    // 1848..4717 gives kind 0.
    REG_QVDMC& SetDMCAno(ULONG ponteiro, USHORT tipoMovimento, int ano);
    // Without a date (kind 0).
    REG_QVDMC& SetDMCSemData(ULONG ponteiro, USHORT tipoMovimento);
    // Replaces the pointer only.
    REG_QVDMC& SetPonteiro(ULONG ponteiro);

    constexpr ULONGLONG Get64() const { return uiChave; }
    constexpr int GetTipoData() const { return static_cast<int>(uiChave & 0x3u); }
    constexpr USHORT GetTipoMovimento() const { return static_cast<USHORT>((uiChave >> 2) & 0xFFFu); }
    constexpr ULONG GetPonteiro() const { return static_cast<ULONG>((uiChave >> 14) & 0xFFFFFFFFu); }
    // The raw 18-bit date value.
    constexpr ULONG GetValorData() const { return static_cast<ULONG>(uiChave >> 46); }

    // Month/year code: kind 2 its value, kind 1 January of its year, kind 3
    // the date's month; 0 without a date.
    USHORT GetMa() const;
    // Kind 3 its day, kind 2 the first day of its month, kind 1 1 January
    // of its year, kind 0 no date.
    REG_QVDMA GetDataCompleta() const;
    // The year of any kind; 0 without a date.
    int GetAno() const;

    constexpr bool operator==(const REG_QVDMC&) const = default;

private:
    void Monta(ULONG ponteiro, USHORT tipoMovimento, int tipoData, ULONG valorData);
};
#pragma pack(pop)

static_assert(sizeof(REG_QVDMC) == 8);
static_assert(alignof(REG_QVDMC) == 1);
static_assert(std::is_trivially_copyable_v<REG_QVDMC>);

inline constexpr USHORT MOVIMENTO_GERENCIADOR_MANUT_PREV = REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV;

}  // namespace zenta
