#include "platform/CodePage.h"

#include <climits>
#include <cstring>

namespace {

// ---- Code points ---------------------------------------------------------------

// Marks an ill-formed sequence; never a valid code point.
constexpr char32_t kInvalido = 0xFFFFFFFFu;
constexpr char32_t kSubstituto = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves
// undefined map to the C1 controls of the same value, as Windows maps them.
constexpr char16_t kCp1252Alto[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

char16_t DeCp1252(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kCp1252Alto[byte - 0x80] : static_cast<char16_t>(byte);
}

// The 1252 byte of a code point, or -1 when it has none.
int ParaCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kCp1252Alto[i] == cp) return 0x80 + i;
    return -1;
}

// Next code point of UTF-8 text at i. An ill-formed sequence gives
// kInvalido after consuming its maximal well-formed prefix, so that each bad
// stretch becomes one replacement character (the Unicode recommendation,
// which Windows follows).
char32_t ProximoUtf8(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i++]);
    if (b0 < 0x80) return b0;
    int continuacoes;
    char32_t cp;
    unsigned char menor = 0x80, maior = 0xBF;  // allowed range of the next byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        continuacoes = 1;
        cp = b0 & 0x1Fu;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        continuacoes = 2;
        cp = b0 & 0x0Fu;
        if (b0 == 0xE0) menor = 0xA0;  // overlong
        if (b0 == 0xED) maior = 0x9F;  // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        continuacoes = 3;
        cp = b0 & 0x07u;
        if (b0 == 0xF0) menor = 0x90;  // overlong
        if (b0 == 0xF4) maior = 0x8F;  // beyond U+10FFFF
    } else {
        return kInvalido;
    }
    for (int k = 0; k < continuacoes; ++k) {
        if (i >= s.size()) return kInvalido;
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < menor || b > maior) return kInvalido;  // not consumed: it may start the next character
        cp = (cp << 6) | (b & 0x3Fu);
        menor = 0x80;
        maior = 0xBF;
        ++i;
    }
    return cp;
}

// Next code point of UTF-16 text at i; a lone surrogate gives kInvalido.
char32_t ProximoUtf16(std::u16string_view s, size_t& i) {
    const char16_t u = s[i++];
    if (u < 0xD800 || u > 0xDFFF) return u;
    if (u <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
        const char32_t cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i] - 0xDC00u);
        ++i;
        return cp;
    }
    return kInvalido;
}

void AcrescentaUtf16(std::u16string& saida, char32_t cp) {
    if (cp < 0x10000) {
        saida.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        saida.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        saida.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void AcrescentaUtf8(std::string& saida, char32_t cp) {
    auto byte = [&saida](char32_t b) { saida.push_back(static_cast<char>(b)); };
    if (cp < 0x80) {
        byte(cp);
    } else if (cp < 0x800) {
        byte(0xC0 | (cp >> 6));
        byte(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        byte(0xE0 | (cp >> 12));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    } else {
        byte(0xF0 | (cp >> 18));
        byte(0x80 | ((cp >> 12) & 0x3F));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    }
}

// ---- Whole-text conversions ----------------------------------------------------

std::u16string DeCp1252(std::string_view texto) {
    std::u16string saida;
    saida.reserve(texto.size());
    for (char c : texto) saida.push_back(DeCp1252(static_cast<unsigned char>(c)));
    return saida;
}

// False only when `estrito` and the text is ill-formed.
bool DeUtf8(std::string_view texto, bool estrito, std::u16string& saida) {
    saida.reserve(texto.size());
    for (size_t i = 0; i < texto.size();) {
        const char32_t cp = ProximoUtf8(texto, i);
        if (cp == kInvalido && estrito) return false;
        AcrescentaUtf16(saida, cp == kInvalido ? kSubstituto : cp);
    }
    return true;
}

bool ParaUtf8(std::u16string_view texto, bool estrito, std::string& saida) {
    saida.reserve(texto.size());
    for (size_t i = 0; i < texto.size();) {
        const char32_t cp = ProximoUtf16(texto, i);
        if (cp == kInvalido && estrito) return false;
        AcrescentaUtf8(saida, cp == kInvalido ? kSubstituto : cp);
    }
    return true;
}

// Returns whether the default character had to be used. A surrogate pair is
// one character and gets one default character.
bool ParaCp1252(std::u16string_view texto, char padrao, std::string& saida) {
    bool usouPadrao = false;
    saida.reserve(texto.size());
    for (size_t i = 0; i < texto.size();) {
        const char32_t cp = ProximoUtf16(texto, i);
        const int byte = cp == kInvalido ? -1 : ParaCp1252(cp);
        if (byte < 0) usouPadrao = true;
        saida.push_back(byte < 0 ? padrao : static_cast<char>(byte));
    }
    return usouPadrao;
}

// ---- The Windows calls ---------------------------------------------------------

thread_local DWORD t_ultimoErro = 0;

int Falha(LONG erro) {
    t_ultimoErro = static_cast<DWORD>(erro);
    return 0;
}

enum class Pagina { Cp1252, Utf8, Desconhecida };

Pagina PaginaDe(UINT codePage) {
    switch (codePage) {
        case CP_ACP:
        case CP_THREAD_ACP:
        case 1252: return Pagina::Cp1252;
        case CP_UTF8: return Pagina::Utf8;
        default: return Pagina::Desconhecida;
    }
}

// Hands a converted text to the caller: its size for a size query, else the
// text if the buffer holds it.
template <class Ch>
int Entrega(const std::basic_string<Ch>& texto, Ch* destino, int capacidade) {
    if (texto.size() > static_cast<size_t>(INT_MAX)) return Falha(ERROR_INSUFFICIENT_BUFFER);
    const int tamanho = static_cast<int>(texto.size());
    if (capacidade == 0) return tamanho;
    if (capacidade < tamanho) return Falha(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(destino, texto.data(), texto.size() * sizeof(Ch));
    return tamanho;
}

size_t ComprimentoUtf16(const OLECHAR* texto) { return std::u16string_view(texto).size(); }

// Source and destination must not share memory (Windows refuses it too).
bool Sobrepoe(const void* origem, size_t bytesOrigem, const void* destino, size_t bytesDestino) {
    const auto* o = static_cast<const unsigned char*>(origem);
    const auto* d = static_cast<const unsigned char*>(destino);
    return destino != nullptr && bytesDestino > 0 && o < d + bytesDestino && d < o + bytesOrigem;
}

}  // namespace

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, const char* lpMultiByteStr, int cbMultiByte,
                        OLECHAR* lpWideCharStr, int cchWideChar) {
    if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && lpWideCharStr == nullptr))
        return Falha(ERROR_INVALID_PARAMETER);
    const Pagina pagina = PaginaDe(CodePage);
    if (pagina == Pagina::Desconhecida) return Falha(ERROR_INVALID_PARAMETER);
    const DWORD permitidas = pagina == Pagina::Utf8
                                 ? MB_ERR_INVALID_CHARS
                                 : MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;
    if ((dwFlags & ~permitidas) != 0 || (dwFlags & (MB_PRECOMPOSED | MB_COMPOSITE)) == (MB_PRECOMPOSED | MB_COMPOSITE))
        return Falha(ERROR_INVALID_FLAGS);

    // -1: the text and its terminating zero, which is converted like any character.
    const size_t bytes = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    if (Sobrepoe(lpMultiByteStr, bytes, lpWideCharStr, static_cast<size_t>(cchWideChar) * sizeof(OLECHAR)))
        return Falha(ERROR_INVALID_PARAMETER);
    const std::string_view origem(lpMultiByteStr, bytes);

    std::u16string convertido;
    if (pagina == Pagina::Cp1252) convertido = DeCp1252(origem);
    else if (!DeUtf8(origem, (dwFlags & MB_ERR_INVALID_CHARS) != 0, convertido))
        return Falha(ERROR_NO_UNICODE_TRANSLATION);
    return Entrega(convertido, lpWideCharStr, cchWideChar);
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, const OLECHAR* lpWideCharStr, int cchWideChar,
                        char* lpMultiByteStr, int cbMultiByte, const char* lpDefaultChar, BOOL* lpUsedDefaultChar) {
    if (lpWideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && lpMultiByteStr == nullptr))
        return Falha(ERROR_INVALID_PARAMETER);
    const Pagina pagina = PaginaDe(CodePage);
    if (pagina == Pagina::Desconhecida) return Falha(ERROR_INVALID_PARAMETER);
    // UTF-8 reaches every character: a default character makes no sense there.
    if (pagina == Pagina::Utf8 && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr))
        return Falha(ERROR_INVALID_PARAMETER);
    const DWORD permitidas = pagina == Pagina::Utf8 ? WC_ERR_INVALID_CHARS
                                                    : WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR |
                                                          WC_NO_BEST_FIT_CHARS;
    if ((dwFlags & ~permitidas) != 0) return Falha(ERROR_INVALID_FLAGS);

    const size_t unidades = cchWideChar == -1 ? ComprimentoUtf16(lpWideCharStr) + 1 : static_cast<size_t>(cchWideChar);
    if (Sobrepoe(lpWideCharStr, unidades * sizeof(OLECHAR), lpMultiByteStr, static_cast<size_t>(cbMultiByte)))
        return Falha(ERROR_INVALID_PARAMETER);
    const std::u16string_view origem(lpWideCharStr, unidades);

    std::string convertido;
    if (pagina == Pagina::Utf8) {
        if (!ParaUtf8(origem, (dwFlags & WC_ERR_INVALID_CHARS) != 0, convertido))
            return Falha(ERROR_NO_UNICODE_TRANSLATION);
        return Entrega(convertido, lpMultiByteStr, cbMultiByte);
    }
    const bool usouPadrao = ParaCp1252(origem, lpDefaultChar != nullptr ? *lpDefaultChar : '?', convertido);
    const int resultado = Entrega(convertido, lpMultiByteStr, cbMultiByte);
    if (resultado != 0 && lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = usouPadrao ? TRUE : FALSE;
    return resultado;
}

namespace zenta {

DWORD UltimoErroConversao() { return t_ultimoErro; }

std::u16string Cp1252ParaUtf16(std::string_view texto) { return DeCp1252(texto); }

std::string Utf16ParaCp1252(std::u16string_view texto) {
    std::string saida;
    ParaCp1252(texto, '?', saida);
    return saida;
}

std::string Cp1252ParaUtf8(std::string_view texto) {
    std::string saida;
    ParaUtf8(DeCp1252(texto), false, saida);
    return saida;
}

std::string Utf8ParaCp1252(std::string_view texto) {
    std::u16string utf16;
    DeUtf8(texto, false, utf16);
    // U+FFFD, the mark of invalid UTF-8, has no 1252 byte and becomes '?'.
    return Utf16ParaCp1252(utf16);
}

BSTR Cp1252ParaBstr(std::string_view texto) {
    if (texto.size() > UINT_MAX / sizeof(OLECHAR)) return nullptr;
    const std::u16string utf16 = DeCp1252(texto);
    return SysAllocStringLen(utf16.data(), static_cast<UINT>(utf16.size()));
}

std::string BstrParaCp1252(BSTR bstr) {
    if (bstr == nullptr) return {};
    return Utf16ParaCp1252(std::u16string_view(bstr, SysStringLen(bstr)));
}

}  // namespace zenta

namespace zenta {

namespace {


// Length of the well-formed UTF-8 sequence at `i` that encodes a character
// beyond ASCII; 0 when there is none.
std::size_t SequenciaUtf8(std::string_view t, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(t[k]); };
    const unsigned char c = b(i);
    std::size_t n = 0;
    char32_t cp = 0;
    char32_t minimo = 0;
    if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; minimo = 0x80; }
    else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; minimo = 0x800; }
    else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; minimo = 0x10000; }
    else return 0;
    if (i + n > t.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

}  // namespace

std::string Utf8OuCp1252ParaCp1252(std::string_view texto) {
    std::string saida;
    saida.reserve(texto.size());
    for (std::size_t i = 0; i < texto.size();) {
        if (static_cast<unsigned char>(texto[i]) < 0x80) {
            saida.push_back(texto[i++]);
        } else if (const std::size_t n = SequenciaUtf8(texto, i); n != 0) {
            saida += Utf8ParaCp1252(texto.substr(i, n));
            i += n;
        } else {
            saida.push_back(texto[i++]);
        }
    }
    return saida;
}

}  // namespace zenta
