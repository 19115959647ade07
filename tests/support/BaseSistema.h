// Commands the platform's and the server's tests run, this test program
// among them, run again as a client in a process of its own.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace zenta::teste {

// Starts a command; its output (stderr included) is read by TerminaComando.
inline FILE* IniciaComando(const std::string& comando) { return ::popen((comando + " 2>&1").c_str(), "r"); }
// Waits for the command's end: its exit status (-1 when it did not exit) and what it wrote.
inline int TerminaComando(FILE* f, std::string* saida = nullptr) {
    std::string texto;
    char buffer[512];
    while (f != nullptr && std::fgets(buffer, sizeof buffer, f) != nullptr) texto += buffer;
    const int status = f != nullptr ? ::pclose(f) : -1;
    if (saida != nullptr) *saida = texto;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
inline int ExecutaComando(const std::string& comando, std::string* saida = nullptr) {
    return TerminaComando(IniciaComando(comando), saida);
}
// This test program run again with only the disabled test `suite`.DISABLED_`nome`.
inline FILE* IniciaTesteFilho(const std::string& suite, const std::string& nome) {
    return IniciaComando("'/proc/" + std::to_string(::getpid()) +
                         "/exe' --gtest_also_run_disabled_tests --gtest_filter=" + suite + ".DISABLED_" + nome);
}

}  // namespace zenta::teste
