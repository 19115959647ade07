// Names of HRESULTs and of their parts for the error log, and the errno to
// HRESULT table. All texts are UTF-8 and live as long as the program.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include <zenta/WinTypes.h>

namespace zenta {

// "SEVERITY_ERROR" or "SEVERITY_SUCCESS".
std::string_view NomeSeveridade(HRESULT hr);

// The Windows SDK FACILITY_* name, the ERP facility name, else
// "Desconhecido ou novo código de FACILITY".
std::string_view NomeFacilidade(uint32_t facility);

// The Windows SDK ERROR_* name of a Win32 error number; empty when unknown.
std::string_view NomeErroWin32(uint32_t erro);

// The Windows SDK symbolic name of a well-known HRESULT (E_FAIL, CO_E_…,
// RPC_E_…); empty when unknown.
std::string_view NomeSimbolicoHresult(HRESULT hr);

// The name of one of the system's own codes (E_QVCR_…); empty when unknown.
std::string_view NomeCodigoSistema(HRESULT hr);

// The "CODE" name of the error-log line. Facility 4 has none. For the other
// facilities it is the Win32 ERROR_* name of the code, unless the facility
// belongs to the ERP's message library, whose codes are named by the system's
// own table instead. `facilidadeDaBiblioteca` is the library's answer to
// "EhFacilityMT"; without an answer (no library) the ERP facilities are
// recognised from the system's own facility list.
std::string_view NomeCodigoHresult(HRESULT hr, std::optional<bool> facilidadeDaBiblioteca);

// The enterprise data layer's built-in descriptions of its facility-4 report
// ("DFSREL: ") and product ("DFSPRO: ") codes; empty for any other code.
std::string_view DescricaoInternaFacilidadeItf(HRESULT hr);

// The host's errno value to HRESULT. The run-time library's errno list
// (EPERM 1 to EFAULT 14, EBUSY 16 to ENOTTY 25, EFBIG 27 to ERANGE 34,
// EDEADLK, ENAMETOOLONG, ENOLCK, ENOSYS, ENOTEMPTY, EILSEQ) gives the codes
// 0x8004EADC up to 0x8004EB01 in that order; any other value, 0 included,
// gives 0x8004EA60.
HRESULT HresultDeErrno(int valorErrno);

// The system's text for an HRESULT, as the event log wants it: the symbolic
// name, the system's own code name, or for Win32 results the ERROR_* name;
// empty when none is known.
std::string_view TextoSistemaHresult(HRESULT hr);

// A short description (Portuguese, UTF-8) of a code the system returns: the
// system's own codes, the engine's file failures, the translated and the
// platform's codes; empty for a code the system never returns.
std::string_view MensagemHresult(HRESULT hr);

}  // namespace zenta
