// Text for the system's Windows-1252 files and libraries, from texts that are
// UTF-8 (the source code's and the host's) or already Windows-1252 (the
// company and other texts taken as they came from a client's record).
#pragma once

#include <string>
#include <string_view>

namespace zenta {

// Every well-formed UTF-8 sequence becomes its Windows-1252 byte ('?' when
// the code page lacks the character); any byte that is not part of one is
// taken as Windows-1252 already and passes unchanged.
std::string Utf8OuCp1252ParaCp1252(std::string_view texto);

}  // namespace zenta
