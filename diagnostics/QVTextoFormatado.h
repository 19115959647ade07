// A refusal's message built printf-style (Windows-1252 texts), for the
// steps that tell the caller which product or field they refused.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace zenta {

// The formatted text, cut at 255 bytes.
__attribute__((format(printf, 1, 2))) inline std::string TextoFormatado(const char* formato, ...) {
    char texto[256];
    va_list argumentos;
    va_start(argumentos, formato);
    std::vsnprintf(texto, sizeof texto, formato, argumentos);
    va_end(argumentos);
    return texto;
}

}  // namespace zenta
