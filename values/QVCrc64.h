// CRC-64 with the ECMA-182 polynomial in its reflected, table-driven form
// (polynomial 0xC96C5795D7870F42), no final XOR. Guards initialisation
// records, file headers and text keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zenta {

// Continues `semente` over the bytes; 0 starts a new CRC.
uint64_t QVCrc64(const void* dados, size_t tamanho, uint64_t semente = 0);

inline uint64_t QVCrc64(std::span<const std::byte> dados, uint64_t semente = 0) {
    return QVCrc64(dados.data(), dados.size(), semente);
}

}  // namespace zenta
