// Calendar arithmetic shared by the date, month/year and key types: the
// proleptic Gregorian calendar restricted to the years the ERP stores
// (1848 to 4717) and its serial day numbers (1847-12-31 is day 1).
#pragma once

namespace zenta::calendario {

inline constexpr int kAnoMinimo = 1848;
inline constexpr int kAnoMaximo = 4717;

constexpr bool EhBissexto(int ano) { return (ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0; }

// Days of `mes` (1..12) in `ano`; 0 for a month out of range.
constexpr int DiasNoMes(int mes, int ano) {
    constexpr int kDias[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mes < 1 || mes > 12) return 0;
    return mes == 2 && EhBissexto(ano) ? 29 : kDias[mes - 1];
}

// Stored two-digit years: 0..83 are 2000..2083, 84..99 are 1984..1999.
// Anything else is already a full year.
constexpr int ExpandeAno(int ano) {
    if (ano >= 0 && ano <= 83) return ano + 2000;
    if (ano >= 84 && ano <= 99) return ano + 1900;
    return ano;
}

constexpr bool AnoValido(int ano) { return ano >= kAnoMinimo && ano <= kAnoMaximo; }

// Serial number of a date already known to be valid (full year, day within
// the month). Counts days of whole years since 1848, the days before the
// month, and the leap days up to the year; January and February of a leap
// year come before its own leap day.
constexpr long long NumeroDoDia(int dia, int mes, int ano) {
    constexpr int kAntes[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    long long n = static_cast<long long>(ano - kAnoMinimo) * 365 + kAntes[mes - 1] + dia + ano / 4 - ano / 100 + ano / 400 - 446;
    if (EhBissexto(ano) && mes <= 2) --n;
    return n;
}

// The last serial number the ERP stores: 4717-12-31.
inline constexpr long long kUltimoDia = NumeroDoDia(31, 12, kAnoMaximo);
static_assert(NumeroDoDia(31, 12, 1847 + 1) == 367);
static_assert(kUltimoDia == 1048247);

}  // namespace zenta::calendario
