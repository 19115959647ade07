// Temporary: replaced by the real error-log writer.
#include <cstdio>
#include "diagnostics/QVCheck.h"

void QVGravaLogErroHr(const CQVContextoProfiler&, std::string_view funcao, std::string_view arquivo, unsigned linha,
                      std::string_view expressao, HRESULT hr) {
    std::fprintf(stderr, "%.*s %.*s:%u hr = %.*s = %#X\n", int(funcao.size()), funcao.data(), int(arquivo.size()),
                 arquivo.data(), linha, int(expressao.size()), expressao.data(), unsigned(hr));
}
void QVGravaLogErroTexto(const CQVContextoProfiler&, std::string_view, std::string_view, unsigned, std::string_view) {}
CQVContextoProfiler QVProfilerDoEscopo() { return {}; }
