#include "platform/CrtInvalidParameter.h"

#include <cstring>

namespace {
thread_local _invalid_parameter_handler t_handler = nullptr;

// Reports and sets errno; answers `codigo` so callers can return it.
errno_t Rejeita(const wchar_t* expressao, const wchar_t* funcao, unsigned linha, errno_t codigo) {
    errno = codigo;
    _invalid_parameter(expressao, funcao, L"CrtInvalidParameter.cpp", linha, 0);
    return codigo;
}
}  // namespace

_invalid_parameter_handler _set_thread_local_invalid_parameter_handler(_invalid_parameter_handler handler) {
    const auto anterior = t_handler;
    t_handler = handler;
    return anterior;
}

_invalid_parameter_handler _get_thread_local_invalid_parameter_handler() { return t_handler; }

void _invalid_parameter(const wchar_t* expression, const wchar_t* function, const wchar_t* file, unsigned int line,
                        uintptr_t reserved) {
    if (t_handler != nullptr) t_handler(expression, function, file, line, reserved);
}

errno_t strncpy_s(char* destino, size_t tamanho, const char* origem, size_t quantidade) {
    if (destino == nullptr || tamanho == 0)
        return Rejeita(L"(destino != NULL && tamanho > 0)", L"strncpy_s", __LINE__, EINVAL);
    if (origem == nullptr) {
        destino[0] = 0;
        return Rejeita(L"(origem != NULL)", L"strncpy_s", __LINE__, EINVAL);
    }
    size_t n = 0;
    while (n < quantidade && origem[n] != 0) ++n;
    if (n >= tamanho) {
        destino[0] = 0;
        return Rejeita(L"(\"Buffer is too small\" && 0)", L"strncpy_s", __LINE__, ERANGE);
    }
    std::memcpy(destino, origem, n);
    destino[n] = 0;
    return 0;
}

errno_t strcpy_s(char* destino, size_t tamanho, const char* origem) {
    return strncpy_s(destino, tamanho, origem, static_cast<size_t>(-1));
}

errno_t memcpy_s(void* destino, size_t tamanho, const void* origem, size_t quantidade) {
    if (quantidade == 0) return 0;
    if (destino == nullptr) return Rejeita(L"(destino != NULL)", L"memcpy_s", __LINE__, EINVAL);
    if (origem == nullptr) {
        std::memset(destino, 0, tamanho);
        return Rejeita(L"(origem != NULL)", L"memcpy_s", __LINE__, EINVAL);
    }
    if (tamanho < quantidade) {
        std::memset(destino, 0, tamanho);
        return Rejeita(L"(\"Buffer is too small\" && 0)", L"memcpy_s", __LINE__, ERANGE);
    }
    std::memmove(destino, origem, quantidade);
    return 0;
}
