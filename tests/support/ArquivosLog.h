// Reading the error-log files in tests.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace zenta::teste {

// The tab-separated fields of a log line.
inline std::vector<std::string> Colunas(const std::string& linha) {
    std::vector<std::string> colunas;
    std::size_t inicio = 0;
    for (;;) {
        const std::size_t tab = linha.find('\t', inicio);
        colunas.push_back(linha.substr(inicio, tab - inicio));
        if (tab == std::string::npos) return colunas;
        inicio = tab + 1;
    }
}

// "YYYYMM" of today, the suffix of the month's error file.
inline std::string SufixoMesAtual() {
    const std::time_t agora = std::time(nullptr);
    std::tm data{};
    localtime_r(&agora, &data);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d", data.tm_year + 1900, data.tm_mon + 1);
    return buffer;
}

}  // namespace zenta::teste
