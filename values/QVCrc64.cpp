#include "values/QVCrc64.h"

#include <zenta/QVUnknown.h>

#include <array>

namespace zenta {
namespace {

constexpr uint64_t kPolinomioRefletido = 0xC96C5795D7870F42ull;

constexpr std::array<uint64_t, 256> MontaTabela() {
    std::array<uint64_t, 256> tabela{};
    for (uint64_t i = 0; i < 256; ++i) {
        uint64_t crc = i;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ kPolinomioRefletido : crc >> 1;
        tabela[i] = crc;
    }
    return tabela;
}

constexpr auto kTabela = MontaTabela();
static_assert(kTabela[128] == kPolinomioRefletido, "entry 128 is the reflected polynomial");

}  // namespace

uint64_t QVCrc64(const void* dados, size_t tamanho, uint64_t semente) {
    const auto* p = static_cast<const unsigned char*>(dados);
    uint64_t crc = semente;
    for (size_t i = 0; i < tamanho; ++i) crc = (crc >> 8) ^ kTabela[(crc ^ p[i]) & 0xFF];
    return crc;
}

}  // namespace zenta

ULONGLONG QVCalculaCrc64(const void* pDados, size_t cb, ULONGLONG semente) {
    return pDados == nullptr ? semente : zenta::QVCrc64(pDados, cb, semente);
}
