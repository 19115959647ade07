#include "core/qvdatabase/QVMemoriaRegistros.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace zenta {

namespace {

constexpr std::size_t kPaginaGrande = std::size_t{2} << 20;
constexpr std::size_t kPagina = 4096;

std::size_t Arredonda(std::size_t bytes, std::size_t unidade) { return (bytes + unidade - 1) / unidade * unidade; }

}  // namespace

void* AlocaMemoriaRegistros(std::size_t bytes) {
    if (bytes < kRegistrosEmMapeamento) {
        void* p = std::malloc(bytes == 0 ? 1 : bytes);
        if (p == nullptr) throw std::bad_alloc();
        return p;
    }
    // A mapping one huge page longer than asked, trimmed to start on a huge
    // page, so that every whole 2 MiB of the array can be one page. Its end
    // is not rounded up to a huge page: the last stretch gets small pages,
    // so that what an array does not use never becomes resident with it.
    const std::size_t tamanho = Arredonda(bytes, kPagina);
    void* bruto = ::mmap(nullptr, tamanho + kPaginaGrande, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (bruto == MAP_FAILED) throw std::bad_alloc();
    const auto inicioBruto = reinterpret_cast<std::uintptr_t>(bruto);
    const std::uintptr_t inicio = Arredonda(inicioBruto, kPaginaGrande);
    if (inicio > inicioBruto) ::munmap(bruto, inicio - inicioBruto);
    const std::size_t cauda = kPaginaGrande - (inicio - inicioBruto);
    if (cauda > 0) ::munmap(reinterpret_cast<void*>(inicio + tamanho), cauda);
#ifdef MADV_HUGEPAGE
    // Only advice: without huge pages the mapping keeps small ones.
    (void)::madvise(reinterpret_cast<void*>(inicio), tamanho, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(inicio);
}

void LiberaMemoriaRegistros(void* memoria, std::size_t bytes) noexcept {
    if (memoria == nullptr) return;
    if (bytes < kRegistrosEmMapeamento) {
        std::free(memoria);
        return;
    }
    ::munmap(memoria, Arredonda(bytes, kPagina));
}

}  // namespace zenta
