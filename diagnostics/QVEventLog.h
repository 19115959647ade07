// Reports to the system log under the identity "QV Sistemas", the host's
// counterpart of the event log: a failed server creation or another error,
// with the HRESULT, the class identifier and the program.
#pragma once

#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

namespace zenta {

// Event types.
#define EVENTLOG_SUCCESS 0x0000
#define EVENTLOG_ERROR_TYPE 0x0001
#define EVENTLOG_WARNING_TYPE 0x0002
#define EVENTLOG_INFORMATION_TYPE 0x0004
#define EVENTLOG_AUDIT_SUCCESS 0x0008
#define EVENTLOG_AUDIT_FAILURE 0x0010

// Writes one entry: the caller's text followed by
// "\nHR: 0x%X (%s)\nCLSID: %s\nPrograma: %s\n"; the event type gives the
// priority (error: LOG_ERR, warning and audit failure: LOG_WARNING, others:
// LOG_INFO). Texts are UTF-8. Never fails.
void QVGravaEventLog(REFCLSID clsid, HRESULT hr, WORD tipoEvento, std::string_view texto);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string TextoGuid(REFGUID guid);

// "\nHR: 0x%X (%s)\nCLSID: %s\nPrograma: %s\n" with the system's text for the
// HRESULT (at most 255 characters).
std::string TextoEventLog(REFCLSID clsid, HRESULT hr, std::string_view programa);

// The system-log priority of an event type.
int PrioridadeEventLog(WORD tipoEvento);

}  // namespace zenta
