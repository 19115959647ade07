// What every fuzz target of the engine sets up once: a private ZENTA_HOME
// (in memory when /dev/shm exists: every engine write is flushed, and there
// the flushes cost nothing), one attempt per open and write with no pause (a
// failure is the input's, not a busy file's), and the message library held
// loaded for good (each log line loads and unloads it otherwise). Then, per
// input, a clean company data directory and the input written as a file.
#pragma once

#include <dlfcn.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "core/qvdatabase/QVArquivoSO.h"
#include "diagnostics/qvmens/QVMens.h"
#include "support/ZentaHomeTemporario.h"
#include "values/QVCrc64.h"

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

template <class V>
void Poe(std::string& bytes, std::size_t offset, V valor) {
    std::memcpy(bytes.data() + offset, &valor, sizeof valor);
}

// Gives `bytes` as much of a sound header as `modo` asks, so that the fuzzer
// gets past the checks it cannot forge (the CRCs):
//   0  the bytes as they are;
//   1  a sound version-1 prefix over bytes 0-23 (reserved bytes 2-7 zeroed
//      when `zeraReservados`);
//   2  that, and the header CRC at 232 made to match bytes 24-231;
//   3  that, with the size, data length and name (`nome`) fields right as well.
inline std::string ComCabecalho(unsigned modo, std::string bytes, std::string_view nome, bool zeraReservados) {
    if (modo == 0) return bytes;
    if (bytes.size() < 24) bytes.resize(24, '\0');
    Poe<uint16_t>(bytes, 0, 1);
    if (zeraReservados) std::memset(bytes.data() + 2, 0, 6);
    Poe(bytes, 8, zenta::QVCrc64(bytes.data(), 2));
    Poe(bytes, 16, zenta::QVCrc64(bytes.data() + 8, 8));
    if (modo == 1) return bytes;
    if (bytes.size() < 240) bytes.resize(240, '\0');
    if (modo == 3) {
        Poe<uint64_t>(bytes, 64, 216);
        Poe<uint64_t>(bytes, 72, bytes.size() - 240);
        std::memset(bytes.data() + 112, 0, 24);
        std::memcpy(bytes.data() + 112, nome.data(), nome.size());
    }
    Poe(bytes, 232, zenta::QVCrc64(bytes.data() + 24, 208));
    return bytes;
}

}  // namespace zenta::fuzz
