// The registrar: runs registry scripts to register or unregister a server.
//
// Script language (the subset the server's scripts use):
//
//   HKCR
//   {
//       NoRemove AppID
//       {
//           '%APPID%' = s 'ZENTA'
//           'ZENTA.EXE'
//           {
//               val AppID = s '%APPID%'
//           }
//       }
//   }
//
// - A script is a list of root keys (HKCR / HKEY_CLASSES_ROOT, HKCU /
//   HKEY_CURRENT_USER, HKLM / HKEY_LOCAL_MACHINE), each with a body in braces.
// - A body holds keys and named values. A key is its name, optionally
//   "= s 'text'" (its default value) or "= d 'n'" and optionally its own body.
//   A named value is "val Name = s 'text'" or "val Name = d 'n'" (decimal or
//   0x hexadecimal, 32 bits).
// - Names are plain words ({GUID} included) or quoted in single quotes, which
//   allows blanks and braces; a quote inside quotes is written twice. A brace
//   that opens or closes a body stands alone between blanks.
// - Flags before a key's name: NoRemove (unregistration leaves the key),
//   ForceRemove (registration first deletes the key with everything below it;
//   unregistration deletes it with everything below it), Delete
//   (registration deletes the key with everything below it and writes
//   nothing of it; unregistration leaves it).
// - %NAME% is replaced by the value given for NAME (in names and texts,
//   after the script was split into words, so a replacement's quotes or
//   braces are plain text); %% is a single %. An unknown name is an error.
//
// Unregistration deletes the values the script writes and then every key the
// script names that is empty afterwards (NoRemove keys excepted; their own
// default value is left with them); ForceRemove keys go with everything below.
// Keys that are missing are passed over.
//
// The script is parsed completely before anything is written: a malformed
// script changes nothing.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

#include "platform/Registry.h"

// HRESULT_FROM_WIN32(ERROR_INVALID_DATA): the script is malformed.
#define HR_ERROR_INVALID_DATA static_cast<HRESULT>(0x8007000Du)

namespace zenta {

class Registrador {
public:
    Registrador();

    // %nome% is replaced by `valor`. Names are compared without regard to case.
    void AdicionaSubstituicao(std::string_view nome, std::string_view valor);

    // Where root `nome` (HKCR, HKCU, HKLM) writes: below `prefixo` (e.g.
    // "Software\\Classes") of `colmeia`. By default HKCR is the machine's
    // classes (HKLM\Software\Classes), HKCU and HKLM are their hives.
    void DefineRaiz(std::string_view nome, HKEY colmeia, std::string_view prefixo);

    HRESULT Registra(std::string_view script);
    HRESULT Desregistra(std::string_view script);

private:
    struct Raiz {
        HKEY colmeia;
        std::string prefixo;
    };
    HRESULT Executa(std::string_view script, bool registrar);

    std::map<std::string, std::string> m_substituicoes;  // by upper-case name
    std::map<std::string, Raiz> m_raizes;                 // by upper-case short name
};

}  // namespace zenta
