// Text conversions between the ERP's 8-bit texts (Windows-1252), UTF-16
// (OLECHAR, BSTR) and UTF-8, with the two Windows calls that do it and C++
// helpers over them.
//
// Supported code pages: CP_ACP and CP_THREAD_ACP (both Windows-1252 here),
// 1252 and CP_UTF8. The 1252 table is Windows' own: 0x80..0x9F map to the
// typographic characters, and the five bytes it leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same number, so
// every byte survives a round trip. Converting to 1252 never substitutes a
// look-alike ("best fit"): a character without a byte becomes the default
// character, '?' unless the caller gives another.
#pragma once

#include <string>
#include <string_view>

#include <zenta/OleAuto.h>
#include <zenta/WinTypes.h>

#define CP_ACP 0
#define CP_THREAD_ACP 3
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400

#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_NO_UNICODE_TRANSLATION 1113L

// Converts cbMultiByte bytes (-1: up to and including the terminating zero)
// into lpWideCharStr. With cchWideChar 0 only the number of UTF-16 units
// needed is returned. Returns the number of units written, or 0 on failure
// (see zenta::UltimoErroConversao). Invalid UTF-8 becomes U+FFFD unless
// MB_ERR_INVALID_CHARS asks for failure.
STDAPI_(int) MultiByteToWideChar(UINT CodePage, DWORD dwFlags, const char* lpMultiByteStr, int cbMultiByte,
                                 OLECHAR* lpWideCharStr, int cchWideChar);

// Converts cchWideChar units (-1: up to and including the terminating zero)
// into lpMultiByteStr. With cbMultiByte 0 only the number of bytes needed is
// returned. For 1252, characters without a byte become *lpDefaultChar (or
// '?') and *lpUsedDefaultChar is set; for UTF-8 both must be null, and lone
// surrogates become U+FFFD unless WC_ERR_INVALID_CHARS asks for failure.
STDAPI_(int) WideCharToMultiByte(UINT CodePage, DWORD dwFlags, const OLECHAR* lpWideCharStr, int cchWideChar,
                                 char* lpMultiByteStr, int cbMultiByte, const char* lpDefaultChar,
                                 BOOL* lpUsedDefaultChar);

namespace zenta {

// The failure reason of the calling thread's last failed conversion call
// (ERROR_INVALID_PARAMETER, ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_FLAGS,
// ERROR_NO_UNICODE_TRANSLATION), as Windows' GetLastError would report it.
DWORD UltimoErroConversao();

std::u16string Cp1252ParaUtf16(std::string_view texto);
// Characters without a 1252 byte, and lone surrogates, become '?'.
std::string Utf16ParaCp1252(std::u16string_view texto);
std::string Cp1252ParaUtf8(std::string_view texto);
// Invalid UTF-8 and characters without a 1252 byte become '?'.
std::string Utf8ParaCp1252(std::string_view texto);
// A new BSTR (free it with SysFreeString); null only when memory runs out.
BSTR Cp1252ParaBstr(std::string_view texto);
// The whole BSTR by its length prefix (embedded zeros included); null gives "".
std::string BstrParaCp1252(BSTR bstr);

// For texts that may be UTF-8 (the source code's and the host's) or already
// Windows-1252 (texts taken as they came from a client's record): every
// well-formed UTF-8 sequence becomes its Windows-1252 byte ('?' when the code
// page lacks the character); any byte that is not part of one is taken as
// Windows-1252 already and passes unchanged.
std::string Utf8OuCp1252ParaCp1252(std::string_view texto);

}  // namespace zenta
