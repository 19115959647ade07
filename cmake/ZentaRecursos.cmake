# Resources of the server executable. The program carries, as ELF sections
# added after linking (read back by platform/Resource.cpp):
#   .rsrc.TYPELIB.1       the type library "ZENTALib" (written by zenta-tlbgen)
#   .rsrc.REGISTRY.101    server/ZENTA.rgs, the application's registry script
#   .rsrc.REGISTRY.106    server/QVGE_ManutencaoPreventiva.rgs, the class's
# The sections are not loaded into memory; they are read from the file.
#
#   zenta_embute_recursos(<target>)
#
# adds them to <target>'s file every time it is linked, and relinks it when
# a script changes.

# Kept in the cache so that every directory (and deferred calls) sees them.
set(_zenta_scripts ${CMAKE_CURRENT_LIST_DIR}/../server)
cmake_path(NORMAL_PATH _zenta_scripts)
set(ZENTA_SCRIPTS_REGISTRO_DIR ${_zenta_scripts} CACHE INTERNAL "Registry scripts of the server")
if(CMAKE_OBJCOPY)
    set(ZENTA_OBJCOPY ${CMAKE_OBJCOPY} CACHE INTERNAL "objcopy used to add resources")
else()
    find_program(ZENTA_OBJCOPY_PROGRAMA NAMES objcopy REQUIRED)
    set(ZENTA_OBJCOPY ${ZENTA_OBJCOPY_PROGRAMA} CACHE INTERNAL "objcopy used to add resources")
endif()

function(zenta_embute_recursos alvo)
    set(_tlb ${CMAKE_CURRENT_BINARY_DIR}/${alvo}.ZENTALib.tlb)
    set(_rgs101 ${ZENTA_SCRIPTS_REGISTRO_DIR}/ZENTA.rgs)
    set(_rgs106 ${ZENTA_SCRIPTS_REGISTRO_DIR}/QVGE_ManutencaoPreventiva.rgs)
    # zenta-tlbgen may be defined after the caller's directory: dependencies
    # and generator expressions are resolved when the build is generated.
    add_dependencies(${alvo} zenta-tlbgen)
    set_property(TARGET ${alvo} APPEND PROPERTY LINK_DEPENDS ${_rgs101} ${_rgs106})
    add_custom_command(TARGET ${alvo} POST_BUILD
        COMMAND $<TARGET_FILE:zenta-tlbgen> ${_tlb}
        COMMAND ${ZENTA_OBJCOPY}
                --remove-section .rsrc.TYPELIB.1
                --remove-section .rsrc.REGISTRY.101
                --remove-section .rsrc.REGISTRY.106
                --add-section .rsrc.TYPELIB.1=${_tlb}
                --add-section .rsrc.REGISTRY.101=${_rgs101}
                --add-section .rsrc.REGISTRY.106=${_rgs106}
                $<TARGET_FILE:${alvo}>
        COMMENT "Recursos de ${alvo}: biblioteca de tipos e scripts de registro"
        VERBATIM)
endfunction()
