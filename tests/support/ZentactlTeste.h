// Runs the built zentactl in a fresh $ZENTA_HOME and gives its exit status,
// standard output and standard error, for end-to-end tests of the client.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/ZentaHomeTemporario.h"

#ifndef ZENTACTL_PROGRAMA
#error "ZENTACTL_PROGRAMA (the path of the built zentactl) is defined by tools/CMakeLists.txt"
#endif

namespace zenta::teste {

struct ResultadoZentactl {
    int status = -1;
    std::string saida;
    std::string erro;
    nlohmann::json Json() const { return nlohmann::json::parse(saida); }
};

// Quotes a word for /bin/sh.
inline std::string AspasShell(const std::string& s) {
    std::string r = "'";
    for (const char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return r + "'";
}

class ZentactlTeste : public ::testing::Test {
protected:
    // `prefixo`, when given, is a shell command line zentactl runs under
    // (faketime, say).
    ResultadoZentactl Executa(const std::vector<std::string>& argumentos, const std::string& entrada = "",
                              const std::string& prefixo = "") {
        const std::filesystem::path dir = m_home.Raiz();
        {
            std::ofstream in(dir / "stdin.txt", std::ios::binary | std::ios::trunc);
            in << entrada;
        }
        std::string comando = prefixo + AspasShell(ZENTACTL_PROGRAMA);
        for (const auto& a : argumentos) comando += " " + AspasShell(a);
        comando += " <" + AspasShell((dir / "stdin.txt").string()) + " >" +
                   AspasShell((dir / "stdout.txt").string()) + " 2>" + AspasShell((dir / "stderr.txt").string());
        const int r = std::system(comando.c_str());
        ResultadoZentactl res;
        res.status = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
        res.saida = LeArquivo(dir / "stdout.txt");
        res.erro = LeArquivo(dir / "stderr.txt");
        return res;
    }

    // Executa, failing the test unless zentactl exits 0.
    ResultadoZentactl ExecutaOk(const std::vector<std::string>& argumentos, const std::string& entrada = "") {
        ResultadoZentactl r = Executa(argumentos, entrada);
        EXPECT_EQ(r.status, 0) << r.erro;
        return r;
    }

    // Writes `conteudo` to a file in the scratch home and gives its path.
    std::string Arquivo(const std::string& nome, const std::string& conteudo) {
        const std::filesystem::path caminho = m_home.Raiz() / nome;
        std::ofstream out(caminho, std::ios::binary | std::ios::trunc);
        out << conteudo;
        return caminho.string();
    }

    ZentaHomeTemporario m_home;
};

}  // namespace zenta::teste
