// What the server library offers to its clients. The library is built with
// every symbol hidden; ZENTA_API marks the calls of these headers, the only
// names it exports. The same mark serves the library and its clients.
#pragma once

#if defined(__GNUC__) || defined(__clang__)
#define ZENTA_API __attribute__((visibility("default")))
#else
#define ZENTA_API
#endif
