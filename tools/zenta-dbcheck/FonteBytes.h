// Where the checker reads a record file from: a block in memory or a file on
// disk read with positioned reads. Every read is bounded by the size taken
// when the source was made; a read that would pass it, or that finds the
// file shorter than that size, fails instead of returning partial data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace zenta::dbcheck {

class IFonteBytes {
public:
    virtual ~IFonteBytes() = default;
    virtual uint64_t Tamanho() const = 0;
    // Reads exactly `n` bytes at `posicao`; false when they are not all there.
    virtual bool Le(uint64_t posicao, void* destino, std::size_t n) const = 0;
};

class FonteMemoria final : public IFonteBytes {
public:
    explicit FonteMemoria(std::span<const std::byte> dados) : m_dados(dados) {}
    uint64_t Tamanho() const override { return m_dados.size(); }
    bool Le(uint64_t posicao, void* destino, std::size_t n) const override;

private:
    std::span<const std::byte> m_dados;
};

class FonteArquivo final : public IFonteBytes {
public:
    // Opens a regular file read-only (never blocking on a FIFO or device);
    // null with the reason in `erro` when it cannot be opened or is not a
    // regular file.
    static std::unique_ptr<FonteArquivo> Abre(const std::filesystem::path& caminho, std::string& erro);
    ~FonteArquivo() override;
    FonteArquivo(const FonteArquivo&) = delete;
    FonteArquivo& operator=(const FonteArquivo&) = delete;

    uint64_t Tamanho() const override { return m_tamanho; }
    bool Le(uint64_t posicao, void* destino, std::size_t n) const override;

private:
    FonteArquivo(int fd, uint64_t tamanho) : m_fd(fd), m_tamanho(tamanho) {}
    int m_fd;
    uint64_t m_tamanho;
};

}  // namespace zenta::dbcheck
