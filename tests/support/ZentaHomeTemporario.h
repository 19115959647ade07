// A fresh $ZENTA_HOME for one test, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace zenta::teste {

class ZentaHomeTemporario {
public:
    ZentaHomeTemporario() {
        std::string modelo = (std::filesystem::temp_directory_path() / "zenta-teste-XXXXXX").string();
        if (::mkdtemp(modelo.data()) == nullptr) std::abort();
        m_raiz = modelo;
        if (const char* antigo = std::getenv("ZENTA_HOME")) m_anterior = antigo;
        ::setenv("ZENTA_HOME", m_raiz.c_str(), 1);
    }
    ~ZentaHomeTemporario() {
        if (m_anterior) ::setenv("ZENTA_HOME", m_anterior->c_str(), 1);
        else ::unsetenv("ZENTA_HOME");
        std::error_code ec;
        std::filesystem::remove_all(m_raiz, ec);
    }
    ZentaHomeTemporario(const ZentaHomeTemporario&) = delete;
    ZentaHomeTemporario& operator=(const ZentaHomeTemporario&) = delete;

    const std::filesystem::path& Raiz() const { return m_raiz; }

private:
    std::filesystem::path m_raiz;
    std::optional<std::string> m_anterior;
};

inline std::string LeArquivo(const std::filesystem::path& caminho) {
    std::ifstream in(caminho, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline std::vector<std::string> LinhasDe(const std::filesystem::path& caminho) {
    std::vector<std::string> linhas;
    std::istringstream in(LeArquivo(caminho));
    for (std::string linha; std::getline(in, linha);) linhas.push_back(linha);
    return linhas;
}

// Every file below `raiz`, relative to it.
inline std::vector<std::string> ArquivosAbaixo(const std::filesystem::path& raiz) {
    std::vector<std::string> nomes;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(raiz, ec);
         it != std::filesystem::recursive_directory_iterator(); ++it)
        if (it->is_regular_file()) nomes.push_back(std::filesystem::relative(it->path(), raiz).string());
    return nomes;
}

}  // namespace zenta::teste
