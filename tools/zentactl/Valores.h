// Values typed on the command line: dates, months, times, quantities, keys
// and serial numbers. A value that does not parse is a usage error (ErroUso).
#pragma once

#include <cstddef>
#include <string>

#include <zenta/WinTypes.h>

namespace zenta::ctl {

// A UTF-8 serial number into a Windows-1252 field of `tamanho` bytes (with
// its terminator); too long, or holding a zero byte, is a usage error.
void CopiaSerie(char* campo, std::size_t tamanho, const std::string& serie);

ULONG LeData(const std::string& texto, const char* opcao);     // "YYYY-MM-DD"; "" -> 0
USHORT LeMesAno(const std::string& texto, const char* opcao);  // "YYYY-MM"; "" -> 0
LONG LeHora(const std::string& texto, const char* opcao);      // "HH:MM[:SS]" -> seconds
CY LeQuantidade(const std::string& texto, const char* opcao);  // "123.4567" or "123,4567"
ULONGLONG LeNumero64(const std::string& texto, const char* opcao);

}  // namespace zenta::ctl
