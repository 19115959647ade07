// Month/year codes and the keys of the per-month file families.
//
// A month/year code is month + (year - 1848) * 12 in 16 bits: 1 is January
// 1848, 34,440 is December 4717 and 0 means "no month". The key of a
// per-month file is the month's digits followed by the four digits of the
// year (month * 10,000 + year): March 2023 is 32023.
#pragma once

#include <zenta/WinTypes.h>

namespace zenta {

// The largest code: December 4717.
inline constexpr USHORT QVMA_MAXIMO = 34440;

// Code of (month, year); two-digit years are widened as stored dates are.
// A month outside 1..12 or a year outside 1848..4717 gives 0.
USHORT QVMAFromMesAno(int mes, int ano);

// Splits a code into month and year; 0 gives month 0 and year 0.
void QVMAToMesAno(USHORT ma, int& mes, int& ano);
int QVMAGetMes(USHORT ma);
int QVMAGetAno(USHORT ma);

// Key of the per-month file of a code: month * 10,000 + year (0 for no month).
ULONG QVMAToChave(USHORT ma);

// The code back from a key: month = key / 10,000, year = key % 10,000.
// A key that is not a valid month and year gives 0.
USHORT QVChaveToMA(ULONG chave);

// Code of the current month (local clock, see zenta::RelogioSistema).
USHORT QVMAAtual();

}  // namespace zenta
