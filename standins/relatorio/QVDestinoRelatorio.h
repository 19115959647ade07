// Where a report may be written and what it may replace.
//
// A report goes to the file a client names (bsArquivoTemp). Clients other
// than the server's own user (users the application permits on its socket,
// clients over TCP) write only below the installation's report folder: the
// REG_SZ value "PastaRelatorios" under
// HKLM\SOFTWARE\Wow6432Node\QV Sistemas, an absolute path. For every
// client, a report never goes into the folders where the system keeps its
// own files below $ZENTA_HOME (data, registry, programs, Mensagens, run,
// relatorios), unless that is the report folder, and it never replaces a
// file that is not a report this server wrote: to write over another file,
// the client removes it first.
#pragma once

#include <filesystem>
#include <string>

#include <zenta/WinTypes.h>

#include "platform/QVChamador.h"

namespace zenta {

// The destination exists and is not a report this server wrote.
inline constexpr HRESULT E_QV_RELATORIO_DESTINO_EXISTE = HRESULT_FROM_WIN32(80u);  // ERROR_FILE_EXISTS

// The installation's report folder, empty when none is configured.
std::filesystem::path PastaRelatorios();

// Whether `chamador` may have a report written at `destino` (absolute, in an
// existing folder). E_ACCESSDENIED outside what the caller may reach,
// E_QV_RELATORIO_DESTINO_EXISTE for an existing file that is not one of this
// server's reports, E_INVALIDARG for a destination that is no file name;
// `erro` then says why (UTF-8).
HRESULT VerificaDestinoRelatorio(const std::filesystem::path& destino, const Chamador& chamador, std::string& erro);

// Moves the written report `parcial` to `destino`: over an existing file
// only when that file is a report this server wrote, never over one that
// appeared since the check; the report is then remembered as this server's.
HRESULT ColocaRelatorio(const std::filesystem::path& parcial, const std::filesystem::path& destino, std::string& erro);

}  // namespace zenta
