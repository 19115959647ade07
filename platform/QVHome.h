// The one root of everything the system keeps on a machine.
#pragma once

#include <filesystem>

namespace zenta {

// $ZENTA_HOME; unset or empty, $XDG_DATA_HOME/zenta, else ~/.local/share/zenta.
// Read at each call so that tests and tools can point it elsewhere.
std::filesystem::path ZentaHome();

}  // namespace zenta
