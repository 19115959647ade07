#include "tools/zenta-dbcheck/FonteBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

namespace zenta::dbcheck {

namespace {

bool DentroDe(uint64_t tamanho, uint64_t posicao, std::size_t n) {
    return posicao <= tamanho && n <= tamanho - posicao;
}

}  // namespace

bool FonteMemoria::Le(uint64_t posicao, void* destino, std::size_t n) const {
    if (!DentroDe(m_dados.size(), posicao, n)) return false;
    if (n != 0) std::memcpy(destino, m_dados.data() + posicao, n);
    return true;
}

std::unique_ptr<FonteArquivo> FonteArquivo::Abre(const std::filesystem::path& caminho, std::string& erro) {
    // O_NONBLOCK: a FIFO put in the file's place must not hang the check.
    const int fd = ::open(caminho.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        erro = std::strerror(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        erro = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        erro = "not a regular file";
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FonteArquivo>(new FonteArquivo(fd, static_cast<uint64_t>(st.st_size)));
}

FonteArquivo::~FonteArquivo() { ::close(m_fd); }

bool FonteArquivo::Le(uint64_t posicao, void* destino, std::size_t n) const {
    if (!DentroDe(m_tamanho, posicao, n)) return false;
    if (posicao > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) return false;
    auto* p = static_cast<char*>(destino);
    while (n > 0) {
        const ssize_t lidos = ::pread(m_fd, p, n, static_cast<off_t>(posicao));
        if (lidos < 0 && errno == EINTR) continue;
        // An error, or the file got shorter since it was measured.
        if (lidos <= 0) return false;
        p += lidos;
        posicao += static_cast<uint64_t>(lidos);
        n -= static_cast<std::size_t>(lidos);
    }
    return true;
}

}  // namespace zenta::dbcheck
