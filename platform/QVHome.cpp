#include "platform/QVHome.h"

#include <cstdlib>

namespace zenta {

std::filesystem::path ZentaHome() {
    if (const char* home = std::getenv("ZENTA_HOME"); home != nullptr && *home != '\0') return home;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0')
        return std::filesystem::path(xdg) / "zenta";
    const char* usuario = std::getenv("HOME");
    return std::filesystem::path(usuario != nullptr && *usuario != '\0' ? usuario : "/tmp") / ".local/share/zenta";
}

}  // namespace zenta
