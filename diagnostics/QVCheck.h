// The checked step: evaluate an HRESULT, and on failure write one error-log
// line naming the function, the source file, the line and the text of the
// expression, then hand the code back to the caller.
#pragma once

#include <string_view>

#include <zenta/WinTypes.h>

#include "diagnostics/QVDF_Profiler.h"

namespace zenta {

// "Class::Method" out of a compiler's pretty function signature: drops the
// return type, the parameter list and template arguments of the function,
// and the system's own namespace: the logs name a function by its class
// and method alone.
constexpr std::string_view NomeFuncao(std::string_view assinatura) {
    // Cut the parameter list: the first '(' at template depth 0 that is not
    // part of an "operator()" name.
    std::size_t fim = assinatura.size();
    int profundidade = 0;
    for (std::size_t i = 0; i < assinatura.size(); ++i) {
        const char c = assinatura[i];
        if (c == '<') ++profundidade;
        else if (c == '>') --profundidade;
        else if (c == '(' && profundidade == 0) {
            if (i >= 8 && assinatura.substr(i - 8, 8) == "operator" ) continue;
            fim = i;
            break;
        }
    }
    std::string_view nome = assinatura.substr(0, fim);
    // Cut the return type: the last blank at template depth 0.
    profundidade = 0;
    std::size_t inicio = 0;
    for (std::size_t i = 0; i < nome.size(); ++i) {
        const char c = nome[i];
        if (c == '<') ++profundidade;
        else if (c == '>') --profundidade;
        else if (c == ' ' && profundidade == 0) inicio = i + 1;
    }
    nome = nome.substr(inicio);
    if (nome.starts_with("zenta::")) nome.remove_prefix(7);
    return nome;
}

// Writes the standard error-log line for a failed HRESULT: the expression
// field is "hr" + " = " + the expression text.
void QVGravaLogErroHr(const CQVContextoProfiler& contexto, std::string_view funcao, std::string_view arquivo,
                      unsigned linha, std::string_view expressao, HRESULT hr);

// Writes an error-log line with a free text already formatted by the caller.
void QVGravaLogErroTexto(const CQVContextoProfiler& contexto, std::string_view funcao, std::string_view arquivo,
                         unsigned linha, std::string_view texto);

#define QV_FUNCAO (::zenta::NomeFuncao(__PRETTY_FUNCTION__))
#define QV_ARQUIVO (__FILE_NAME__)

// Logs `hr` as the failure of the expression whose text is `texto`.
#define QV_LOG_HR(hr, texto) ::zenta::QVGravaLogErroHr(QVProfilerDoEscopo(), QV_FUNCAO, QV_ARQUIVO, __LINE__, (texto), (hr))

// Guarded step: on failure, logs and returns the code from the enclosing function.
#define QV_CHECK(expr)                           \
    do {                                         \
        const HRESULT qv_hr_passo_ = (expr);     \
        if (FAILED(qv_hr_passo_)) {              \
            QV_LOG_HR(qv_hr_passo_, #expr);      \
            return qv_hr_passo_;                 \
        }                                        \
    } while (0)

// Guarded step where any answer but S_OK stops: the code is logged and
// returned, success codes such as S_FALSE included.
#define QV_CHECK_OK(expr)                        \
    do {                                         \
        const HRESULT qv_hr_passo_ = (expr);     \
        if (qv_hr_passo_ != S_OK) {              \
            QV_LOG_HR(qv_hr_passo_, #expr);      \
            return qv_hr_passo_;                 \
        }                                        \
    } while (0)

}  // namespace zenta
