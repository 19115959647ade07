# Warnings and sanitizers shared by every target of the project.
add_library(zenta_warnings INTERFACE)
target_compile_options(zenta_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough
    $<$<CXX_COMPILER_ID:GNU>:-Wno-packed-not-aligned>
    # GCC 12 at -O3 reports -Wrestrict and -Wnull-dereference inside the
    # standard library's string code it inlined, where nothing can be null
    # or overlap; optimised builds of that compiler leave those two out, every
    # other build keeps them.
    $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>,$<CONFIG:Release>>:-Wno-restrict$<SEMICOLON>-Wno-null-dereference>)
if(ZENTA_WERROR)
    target_compile_options(zenta_warnings INTERFACE -Werror)
endif()

if(ZENTA_SANITIZE)
    string(REPLACE ";" "," _zenta_san "${ZENTA_SANITIZE}")
    add_compile_options(-fsanitize=${_zenta_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${_zenta_san})
endif()
