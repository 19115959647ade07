// Registration of the local server: the application and class entries of the
// classes registry (written by the registrar scripts the executable carries)
// and the registration of its type library.
#pragma once

#include <filesystem>

#include <zenta/WinTypes.h>

namespace zenta {

// Writes the application entries, the class entries and the type library
// registration for the executable at `modulo` (its full path), under the
// machine's classes or, with `porUsuario`, under HKCU\Software\Classes.
HRESULT RegistraServidor(const std::filesystem::path& modulo, bool porUsuario);

// Removes what RegistraServidor wrote (keys the scripts mark as never
// removed stay).
HRESULT DesregistraServidor(const std::filesystem::path& modulo, bool porUsuario);

}  // namespace zenta
