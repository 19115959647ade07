#include "diagnostics/QVTexto1252.h"

#include "platform/CodePage.h"

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
