// BSTR: a 32-bit byte count, the UTF-16 characters and a terminating zero,
// handed out as a pointer to the first character.
#include <cstdlib>
#include <cstring>
#include <limits>

#include <zenta/OleAuto.h>

namespace {
constexpr size_t kPrefixo = sizeof(uint32_t);

size_t Comprimento(const OLECHAR* psz) {
    size_t n = 0;
    while (psz[n] != 0) ++n;
    return n;
}
}  // namespace

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch) {
    if (cch > (std::numeric_limits<uint32_t>::max() - kPrefixo - sizeof(OLECHAR)) / sizeof(OLECHAR)) return nullptr;
    const size_t bytes = static_cast<size_t>(cch) * sizeof(OLECHAR);
    auto* bloco = static_cast<unsigned char*>(std::malloc(kPrefixo + bytes + sizeof(OLECHAR)));
    if (bloco == nullptr) return nullptr;
    const uint32_t prefixo = static_cast<uint32_t>(bytes);
    std::memcpy(bloco, &prefixo, kPrefixo);
    auto* texto = reinterpret_cast<OLECHAR*>(bloco + kPrefixo);
    if (pch != nullptr) std::memcpy(texto, pch, bytes);
    else std::memset(texto, 0, bytes);
    texto[cch] = 0;
    return texto;
}

BSTR SysAllocString(const OLECHAR* psz) {
    if (psz == nullptr) return nullptr;
    const size_t n = Comprimento(psz);
    if (n > std::numeric_limits<UINT>::max()) return nullptr;
    return SysAllocStringLen(psz, static_cast<UINT>(n));
}

void SysFreeString(BSTR bstr) {
    if (bstr == nullptr) return;
    std::free(reinterpret_cast<unsigned char*>(bstr) - kPrefixo);
}

UINT SysStringByteLen(BSTR bstr) {
    if (bstr == nullptr) return 0;
    uint32_t prefixo = 0;
    std::memcpy(&prefixo, reinterpret_cast<unsigned char*>(bstr) - kPrefixo, kPrefixo);
    return prefixo;
}

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(OLECHAR); }
