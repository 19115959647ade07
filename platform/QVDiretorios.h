// Where the system keeps things on a machine, all below $ZENTA_HOME:
//   data of module M for company C:   data/C/M      (M: the module's short name)
//   program directory of module M:    the registry value "Path" under
//                                     HKLM\SOFTWARE\Wow6432Node\QV Sistemas\M,
//                                     else programs/M
//   message-text files:               Mensagens
#pragma once

#include <filesystem>
#include <string_view>

#include <zenta/WinTypes.h>

namespace zenta {

// The registry key of the system's configuration.
inline constexpr const char* QV_CHAVE_REGISTRO = "SOFTWARE\\Wow6432Node\\QV Sistemas";

// A company name that cannot be used as one directory name below the data
// root: empty, "." or "..", holding '/', '\\' or a control character, or too
// long for its 48-byte field (47 characters and the terminator). Company
// names are Windows-1252 text; their directories are named in UTF-8.
#define E_QV_NOME_EMPRESA_INVALIDO HRESULT_FROM_WIN32(123u) /* ERROR_INVALID_NAME */

// Checks a company name for use as one path component.
bool QVNomeEmpresaValido(std::string_view empresa);

// The data directory of a module for a company; E_QV_NOME_EMPRESA_INVALIDO
// for a name that is not a safe path component, E_INVALIDARG for an unknown module.
HRESULT QVDiretorioDadosModulo(int modulo, std::string_view empresa, std::filesystem::path& diretorio);

// The program directory of a module (empty path for an unknown module).
std::filesystem::path QVDiretorioProgramaModulo(int modulo);

// The directory of the message-text files.
std::filesystem::path QVDiretorioMensagens();

}  // namespace zenta
