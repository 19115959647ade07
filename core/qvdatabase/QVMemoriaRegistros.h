// Memory for a record file's array of records. A file is loaded whole, so a
// large company's first load of the day is mostly the cost of memory: every
// page faulted in, zeroed by the system, zeroed again by the array and then
// overwritten by the read. The allocator here takes each cost once:
//   - new records are left uninitialised (a load reads over them, an append
//     copies over them), so the array never writes zeros of its own;
//   - an array that can hold a whole huge page gets a mapping of its own,
//     starting on a 2 MiB boundary and advised for huge pages, so a load
//     faults once per 2 MiB instead of once per 4 KiB for all but its last
//     stretch; it is given back whole when freed, and never mixes with the
//     heap's small blocks.
#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace zenta {

// From this size on (one huge page) an array gets its own mapping.
inline constexpr std::size_t kRegistrosEmMapeamento = std::size_t{2} << 20;

void* AlocaMemoriaRegistros(std::size_t bytes);                 // throws std::bad_alloc
void LiberaMemoriaRegistros(void* memoria, std::size_t bytes) noexcept;

template <class T>
struct AlocadorRegistros {
    using value_type = T;

    AlocadorRegistros() noexcept = default;
    template <class U>
    AlocadorRegistros(const AlocadorRegistros<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(AlocaMemoriaRegistros(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { LiberaMemoriaRegistros(p, n * sizeof(T)); }

    // A new element without a value is left as the memory holds it.
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <class U>
    bool operator==(const AlocadorRegistros<U>&) const noexcept {
        return true;
    }
};

// The records of a file as held in memory.
template <class T>
using CQVRegistros = std::vector<T, AlocadorRegistros<T>>;

}  // namespace zenta
