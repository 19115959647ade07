// The text forms of the two maintenance reports: record texts, dates,
// times, quantities and durations as the report fields show them (UTF-8).
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

#include "platform/CodePage.h"
#include "values/QVCurrencyEx.h"

namespace zenta {

// Hours kept in hundredths of an hour (1.50 is an hour and a half) and in
// hours and minutes (1.30 is an hour and thirty minutes).
class CQVValorHoras {
public:
    // 1.50 gives 1.30; the minutes are rounded to the nearest whole minute
    // (60 carries into the hour); negative values keep their sign.
    static CY ConverteCentesimalParaHoras(CY valor);
};

// A record's Windows-1252 text field (up to its first zero, or the whole
// field) in UTF-8.
template <std::size_t N>
std::string TextoRelatorio(const char (&campo)[N]) {
    const void* fim = std::memchr(campo, 0, N);
    const std::size_t n = fim != nullptr ? static_cast<std::size_t>(static_cast<const char*>(fim) - campo) : N;
    return Cp1252ParaUtf8(std::string_view(campo, n));
}

// A Windows-1252 text of `tamanho` bytes up to its first zero, in UTF-8.
std::string TextoRelatorio(const unsigned char* bytes, std::size_t tamanho);

// A BSTR of the request in UTF-8 (null gives ""); lone surrogates become U+FFFD.
std::string BstrRelatorio(BSTR texto);

// A date as the reports write it ("dd/mm/aaaa"); "" for no date.
std::string DataRelatorio(ULONG data);
// A time of day in seconds as "hh:mm"; "" for a value that is not one.
std::string HoraRelatorio(LONG segundos);
// An order's key as clients show it: "mm/aaaa-nnnnnn" (month and year of
// its month file, its position there).
std::string ChaveOrdemRelatorio(ULONGLONG dmcChave);
// A number as "%u".
std::string NumeroRelatorio(ULONG numero);
// Quantities: automatic decimals (2 to 4) or a fixed number, cut.
inline std::string QuantidadeAutomatica(CY valor) { return CQVCurrencyEx::FormataValorAutomatico(valor); }
inline std::string QuantidadeFixa(CY valor, int casas) { return CQVCurrencyEx::FormataValor(valor, casas); }
// A duration in hundredths of an hour as hours and minutes: "1:30".
std::string DuracaoRelatorio(CY valor);

// Which of the texts the accessors fail with means "not registered": the
// reports print such a registration's fields empty instead of failing.
inline constexpr HRESULT kNaoCadastrado = HRESULT_FROM_WIN32(1168u);  // ERROR_NOT_FOUND

}  // namespace zenta
