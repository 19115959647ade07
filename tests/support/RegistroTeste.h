// Values of the installation's registry written by tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/Registry.h"

namespace zenta::teste {

// Writes `valor` under HKEY_LOCAL_MACHINE\`chave`, creating the key.
inline void DefineRegistro(const std::string& chave, const char* valor, DWORD tipo, const void* dados,
                           std::size_t tamanho) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, chave.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(h, valor, 0, tipo, static_cast<const BYTE*>(dados), static_cast<DWORD>(tamanho)),
              ERROR_SUCCESS);
    RegCloseKey(h);
}
inline void DefineRegistro(const std::string& chave, const char* valor, const std::string& texto) {
    DefineRegistro(chave, valor, REG_SZ, texto.c_str(), texto.size() + 1);
}
inline void DefineRegistro(const std::string& chave, const char* valor, DWORD numero) {
    DefineRegistro(chave, valor, REG_DWORD, &numero, sizeof numero);
}

}  // namespace zenta::teste
