#include "core/qvdatabase/QVMemoriaRegistros.h"

namespace {

struct Registro {
    std::uint64_t valor;
    char resto[56];
};

// Arrays on both sides of the size that moves them to a mapping of their
// own keep what they hold through growth and copies, and a mapped one
// starts on a 2 MiB boundary so its whole pages can be huge.
TEST(MemoriaRegistros, ArraysKeepTheirRecordsOnBothSidesOfTheMappingSize) {
    const std::size_t limite = zenta::kRegistrosEmMapeamento / sizeof(Registro);
    for (const std::size_t n : {std::size_t{1}, limite - 1, limite, limite * 3 + 7}) {
        zenta::CQVRegistros<Registro> registros;
        registros.resize(n);
        for (std::size_t i = 0; i < n; ++i) registros[i].valor = i * 2654435761u;
        if (n >= limite) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(registros.data()) % (std::uintptr_t{2} << 20), 0u) << n;
        }
        registros.reserve(n * 2);
        registros.push_back(Registro{7, {}});
        const zenta::CQVRegistros<Registro> copia(registros);
        ASSERT_EQ(copia.size(), n + 1);
        for (std::size_t i = 0; i < n; i += 4093) ASSERT_EQ(copia[i].valor, i * 2654435761u) << n << " " << i;
        EXPECT_EQ(copia.back().valor, 7u);
    }
}

}  // namespace
