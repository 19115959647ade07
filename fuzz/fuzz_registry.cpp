// The registry files are text anyone with access to the machine can edit:
// whatever they hold, reading them must never crash.
#include <cstddef>
#include <cstdint>
#include <fstream>

#include "platform/Registry.h"
#include "support/ZentaHomeTemporario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    static zenta::teste::ZentaHomeTemporario home;
    std::filesystem::create_directories(home.Raiz() / "registry");
    {
        std::ofstream arquivo(home.Raiz() / "registry/HKLM.reg", std::ios::binary | std::ios::trunc);
        arquivo.write(reinterpret_cast<const char*>(dados), static_cast<std::streamsize>(tamanho));
    }
    (void)zenta::RegLeTexto(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\QV Sistemas\\DF", "Path");
    (void)zenta::RegLeDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\QV Sistemas", "DesabilitaAutenticacaoDCOM");
    return 0;
}
