// zenta-tlbgen <file>: writes the type library "ZENTALib" that the server
// executable carries as its resource "TYPELIB" 1. Run by the build after the
// executable is linked (cmake/ZentaRecursos.cmake).
#include <cstdio>
#include <fstream>
#include <string>

#include "server/QVBibliotecaTipos.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: %s <arquivo.tlb>\n", argv[0]);
        return 2;
    }
    std::string bytes;
    const HRESULT hr = zenta::EscreveBibliotecaTipos(zenta::BibliotecaZenta(), bytes);
    if (FAILED(hr)) {
        std::fprintf(stderr, "zenta-tlbgen: biblioteca de tipos inconsistente (0x%08X)\n", static_cast<unsigned>(hr));
        return 1;
    }
    const std::string destino = argv[1];
    const std::string temporario = destino + ".tmp";
    {
        std::ofstream out(temporario, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::fprintf(stderr, "zenta-tlbgen: nao foi possivel gravar %s\n", temporario.c_str());
            return 1;
        }
    }
    if (std::rename(temporario.c_str(), destino.c_str()) != 0) {
        std::fprintf(stderr, "zenta-tlbgen: nao foi possivel gravar %s\n", destino.c_str());
        return 1;
    }
    return 0;
}
