// The machine registry, kept as text files in the registry export format:
// $ZENTA_HOME/registry/HKLM.reg for HKEY_LOCAL_MACHINE and
// $ZENTA_HOME/registry/HKCU.reg for HKEY_CURRENT_USER. A missing file is an
// empty hive; a malformed line is reported and skipped. Writers take a lock
// and replace the file atomically, so readers never see half a file.
//
// A key exists when the hive holds it or anything below it: the keys between
// a hive and a key written deeper down are there without taking a line of
// their own, and they go away with the last key below them.
//
// HKEY_CLASSES_ROOT is the merged view of the classes: a key or value is
// looked for in HKCU\Software\Classes first and then in
// HKLM\Software\Classes; subkeys and values of both are listed together.
// Writes and deletes through it go to HKLM\Software\Classes.
#pragma once

#include <zenta/WinTypes.h>

struct QVRegKey;
typedef QVRegKey* HKEY;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))

typedef LONG LSTATUS;
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_BADDB 1009L
#define ERROR_CANTWRITE 1013L

#define REG_NONE 0
#define REG_SZ 1
#define REG_DWORD 4
#define REG_QWORD 11

#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F

#define REG_OPTION_NON_VOLATILE 0

// Subkeys are backslash-separated and compared without regard to case.
LSTATUS RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD ulOptions, DWORD samDesired, HKEY* phkResult);
LSTATUS RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass, DWORD dwOptions,
                        DWORD samDesired, void* lpSecurityAttributes, HKEY* phkResult, DWORD* lpdwDisposition);
LSTATUS RegCloseKey(HKEY hKey);
// REG_SZ data come back zero-terminated, in the file's text (UTF-8);
// lpcbData in: buffer size, out: bytes needed (with the terminator).
LSTATUS RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                         DWORD* lpcbData);
LSTATUS RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                       DWORD cbData);
LSTATUS RegDeleteValueA(HKEY hKey, const char* lpValueName);
// Removes the key and everything below it.
LSTATUS RegDeleteTreeA(HKEY hKey, const char* lpSubKey);
// Removes the key and its values; a key that still has subkeys is refused
// with ERROR_ACCESS_DENIED.
LSTATUS RegDeleteKeyA(HKEY hKey, const char* lpSubKey);
// The `dwIndex`-th direct subkey, in the order of their names without
// regard to case. lpcchName in: buffer size with the terminator; out: the
// name's length without it. ERROR_NO_MORE_ITEMS past the last one. Class
// and time are not kept: lpClass gets "" and lpftLastWriteTime is untouched.
LSTATUS RegEnumKeyExA(HKEY hKey, DWORD dwIndex, char* lpName, DWORD* lpcchName, DWORD* lpReserved, char* lpClass,
                      DWORD* lpcchClass, void* lpftLastWriteTime);
// The `dwIndex`-th value of the key, in the order they were written (the
// default value's name is ""). Sizes as RegEnumKeyExA and RegQueryValueExA.
LSTATUS RegEnumValueA(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName, DWORD* lpReserved,
                      DWORD* lpType, BYTE* lpData, DWORD* lpcbData);
// Counts and longest lengths of the key's subkeys and values; class, security
// descriptor and time are not kept and come back as 0 / untouched.
LSTATUS RegQueryInfoKeyA(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD* lpReserved, DWORD* lpcSubKeys,
                         DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                         DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen, DWORD* lpcbSecurityDescriptor,
                         void* lpftLastWriteTime);

#include <optional>
#include <string>

namespace zenta {
// Convenience reads of one value under a root key; nullopt when absent or of another type.
std::optional<std::string> RegLeTexto(HKEY raiz, const std::string& chave, const std::string& valor);
std::optional<DWORD> RegLeDword(HKEY raiz, const std::string& chave, const std::string& valor);
// Whether the key exists and has neither values nor subkeys.
bool RegChaveVazia(HKEY raiz, const std::string& chave);
}  // namespace zenta
