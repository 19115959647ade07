// What every fuzz target of the engine sets up once: a private ZENTA_HOME
// (in memory when /dev/shm exists: every engine write is flushed, and there
// the flushes cost nothing), one attempt per open and write with no pause (a
// failure is the input's, not a busy file's), and the message library held
// loaded for good (each log line loads and unloads it otherwise). Then, per
// input, a clean company data directory and the input written as a file.
#pragma once

#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "core/qvdatabase/QVArquivoSO.h"
#include "diagnostics/qvmens/QVMens.h"
#include "support/ZentaHomeTemporario.h"

namespace zenta::fuzz {

using zenta::teste::LeArquivo;

// A property the input broke: the fuzzer reports the crash with its input.
inline void Exige(bool condicao) {
    if (!condicao) std::abort();
}

// The private ZENTA_HOME, prepared on the first call.
inline const std::filesystem::path& Ambiente() {
    static const bool naMemoria = [] {
        std::error_code ec;
        if (std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory("/dev/shm", ec))
            ::setenv("TMPDIR", "/dev/shm", 0);
        return true;
    }();
    static zenta::teste::ZentaHomeTemporario home;
    static const bool politica = [] {
        zenta::PoliticaTentativas p;
        p.tentativasAbertura = 1;
        p.tentativasGravacao = 1;
        p.pausa = std::chrono::milliseconds(0);
        zenta::DefineTentativasArquivo(p);
        return true;
    }();
    static void* const mensagens = dlopen(QVMENS_NOME_BIBLIOTECA, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    (void)naMemoria;
    (void)politica;
    (void)mensagens;
    return home.Raiz();
}

// The module's data directory of company "EMP", emptied.
inline std::filesystem::path DiretorioLimpo() {
    const std::filesystem::path empresa = Ambiente() / "data" / "EMP";
    std::error_code ec;
    std::filesystem::remove_all(empresa, ec);
    std::filesystem::create_directories(empresa / "GE", ec);
    return empresa / "GE";
}

inline void EscreveArquivo(const std::filesystem::path& caminho, std::string_view conteudo) {
    std::ofstream arquivo(caminho, std::ios::binary | std::ios::trunc);
    arquivo.write(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
}

}  // namespace zenta::fuzz
