// The run-time library's per-thread handler for a bad argument to a checked
// library function, and the checked string copies that call it. A handler
// that returns lets the function fail with errno set (EINVAL or ERANGE); a
// handler may also throw to leave the call.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>

typedef int errno_t;
typedef void (*_invalid_parameter_handler)(const wchar_t* expression, const wchar_t* function, const wchar_t* file,
                                           unsigned int line, uintptr_t reserved);

// Installs the calling thread's handler and answers the previous one.
_invalid_parameter_handler _set_thread_local_invalid_parameter_handler(_invalid_parameter_handler handler);
_invalid_parameter_handler _get_thread_local_invalid_parameter_handler();

// Reports a bad argument to the thread's handler (nothing happens without one).
void _invalid_parameter(const wchar_t* expression, const wchar_t* function, const wchar_t* file, unsigned int line,
                        uintptr_t reserved);

// Copies a zero-terminated text into a buffer of `tamanho` bytes. A null
// argument, a zero size or a text that does not fit is reported to the
// handler; the destination is then left empty and EINVAL/ERANGE returned.
errno_t strcpy_s(char* destino, size_t tamanho, const char* origem);
// As strcpy_s, copying at most `quantidade` characters.
errno_t strncpy_s(char* destino, size_t tamanho, const char* origem, size_t quantidade);
// Copies `quantidade` bytes into a buffer of `tamanho` bytes.
errno_t memcpy_s(void* destino, size_t tamanho, const void* origem, size_t quantidade);


