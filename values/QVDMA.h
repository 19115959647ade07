// REG_QVDMA: a date as the ERP stores it, a 32-bit serial day number of the
// proleptic Gregorian calendar (1847-12-31 is 1, 2000-01-01 is 55,519) with 0
// meaning "no date". Valid dates run from 1848-01-01 (2) to 4717-12-31
// (1,048,247). A plain value: records on disk hold it as four bytes.
#pragma once

#include <compare>
#include <cstddef>
#include <string>
#include <type_traits>

#include <zenta/WinTypes.h>

namespace zenta {

#pragma pack(push, 1)
struct REG_QVDMA {
    ULONG lData = 0;

    // Text styles of Formata (the others give month and year only, see below).
    enum EstiloData : int {
        ESTILO_DMA = 0,          // day month two-digit-year
        ESTILO_DMAAAA = 1,       // day month four-digit-year
        ESTILO_MDA = 2,          // month day two-digit-year
        ESTILO_MDAAAA = 3,       // month day four-digit-year
        ESTILO_AMD = 4,          // two-digit-year month day
        ESTILO_AAAAMD = 5,       // four-digit-year month day
        ESTILO_EXTENSO = 6,      // "dd de <month name> de yyyy"
        ESTILO_MA = 7,           // month two-digit-year
        ESTILO_MAAAA = 8,        // month four-digit-year
        ESTILO_AAAAM = 9,        // four-digit-year month
        ESTILO_AM = 10,          // two-digit-year month
        ESTILO_MES_EXTENSO = 11, // "<month name> de yyyy"
        ESTILO_DIA = 12,         // day only
    };

    constexpr REG_QVDMA() = default;
    constexpr explicit REG_QVDMA(ULONG numeroDia) : lData(numeroDia) {}
    REG_QVDMA(int dia, int mes, int ano) { SetDMA(dia, mes, ano); }

    // ---- Building and splitting ------------------------------------------
    // Two-digit years are widened (0..83 to 20xx, 84..99 to 19xx); a day past
    // the month's end is cut to it; day 0, a month outside 1..12 or a year
    // outside 1848..4717 gives no date.
    REG_QVDMA& SetDMA(int dia, int mes, int ano);
    // No date splits into 0, 0, 0.
    void GetDMA(int& dia, int& mes, int& ano) const;
    int GetDia() const;
    int GetMes() const;
    int GetAno() const;

    constexpr ULONG GetData() const { return lData; }
    constexpr bool EstaVazia() const { return lData == 0; }

    // ---- Today and derived dates ------------------------------------------
    static REG_QVDMA Hoje();
    REG_QVDMA& SetHoje() { return *this = Hoje(); }
    REG_QVDMA PrimeiroDiaMes() const;
    REG_QVDMA UltimoDiaMes() const;
    static REG_QVDMA PrimeiroDiaAnoAtual();
    static REG_QVDMA UltimoDiaAnoAtual();

    // 1 = Sunday .. 7 = Saturday; 0 for no date.
    int GetDiaSemana() const;
    // 1 for 1 January; 0 for no date.
    int GetDiaAno() const;
    // Week 1 is the one holding 1 January, weeks starting on Sunday; 0 for no date.
    int GetSemanaAno() const;

    // ---- Other encodings -----------------------------------------------
    // year * 10,000 + month * 100 + day; 0 for no date.
    ULONG GetAAAAMMDD() const;
    REG_QVDMA& SetAAAAMMDD(ULONG aaaammdd);
    // The 16-bit legacy day count (1 is 1850-01-01, 65,535 is 2029-06-04,
    // 18,322 the non-existent 29 February 1900). Dates it cannot hold give 0.
    USHORT GetDataCurta() const;
    REG_QVDMA& SetDataCurta(USHORT curta);
    // Month/year code of the date's month; 0 for no date.
    USHORT GetMa() const;
    // The given day of the month of `ma`, cut to the month's length.
    REG_QVDMA& SetMa(USHORT ma, int dia);

    // ---- Arithmetic -----------------------------------------------------
    // Results outside the stored range give no date, never a wrapped number.
    REG_QVDMA& SomaDias(LONG dias);
    REG_QVDMA& SomaMeses(LONG meses);  // keeps the day, cut to the new month
    REG_QVDMA& SomaAnos(LONG anos);    // 29 February becomes 28 in a common year
    LONG DiferencaDias(REG_QVDMA outra) const {
        return static_cast<LONG>(static_cast<LONGLONG>(lData) - static_cast<LONGLONG>(outra.lData));
    }

    // ---- Text -----------------------------------------------------------
    // Writes the date in `estilo` with `separador` between the numbers (0 for
    // none) into a buffer of `tamanho` bytes, terminating zero included. With
    // `anoQuatroDigitos`, the two-digit-year styles write four digits for
    // years outside 1984..2083. Returns false and writes an empty text (when
    // there is room for it) if the buffer is too small or there is no date.
    bool Formata(char* psz, size_t tamanho, int estilo, char separador = 0, bool anoQuatroDigitos = false) const;
    std::string Formata(int estilo, char separador = 0, bool anoQuatroDigitos = false) const;
    // The same for loose day, month and year: a day above 31, a month above
    // 12 or a year from 101 to 1847 or from 4718 on gives the empty text.
    static bool FormataDMA(int dia, int mes, int ano, char* psz, size_t tamanho, int estilo, char separador = 0,
                           bool anoQuatroDigitos = false);

    // Portuguese names in Windows-1252 ("Mar\xE7o"); empty outside 1..12 / 1..7.
    static const char* NomeMes(int mes);
    static const char* NomeDiaSemana(int diaSemana);  // 1 = "Domingo"

    constexpr auto operator<=>(const REG_QVDMA&) const = default;
};
#pragma pack(pop)

static_assert(sizeof(REG_QVDMA) == 4);
static_assert(alignof(REG_QVDMA) == 1);
static_assert(std::is_trivially_copyable_v<REG_QVDMA>);

}  // namespace zenta
