# The layers of the server library. Each layer is an object library whose
# only include root, besides the public headers, is a directory of the build
# tree holding links to its own source folders and to those of the layers it
# may use (and, through them, of the layers those use): an include of a
# higher layer finds no file and does not compile. libzenta.so, and the
# static library of the internals (zenta_internos), are made of the objects
# of every layer.
#
#   zenta_camada(<name> PASTAS <folder>... [USA <layer>...])
#
# creates the object library zenta_<name>, its include root
# ${ZENTA_CAMADAS_DIR}/<name>, and adds its objects to both libraries.
set(ZENTA_CAMADAS_DIR ${CMAKE_BINARY_DIR}/camadas)

function(zenta_camada nome)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "PASTAS;USA")
    set(pastas ${arg_PASTAS})
    set(camadas ${nome})
    foreach(usada IN LISTS arg_USA)
        get_property(pastas_usada GLOBAL PROPERTY ZENTA_CAMADA_${usada}_PASTAS)
        get_property(camadas_usada GLOBAL PROPERTY ZENTA_CAMADA_${usada}_CAMADAS)
        if(NOT camadas_usada)
            message(FATAL_ERROR "Layer ${nome} uses ${usada}, which is not defined before it")
        endif()
        list(APPEND pastas ${pastas_usada})
        list(APPEND camadas ${camadas_usada})
    endforeach()
    list(REMOVE_DUPLICATES pastas)
    list(REMOVE_DUPLICATES camadas)
    set_property(GLOBAL PROPERTY ZENTA_CAMADA_${nome}_PASTAS ${pastas})
    set_property(GLOBAL PROPERTY ZENTA_CAMADA_${nome}_CAMADAS ${camadas})
    set_property(GLOBAL APPEND PROPERTY ZENTA_CAMADAS ${nome})

    set(raiz ${ZENTA_CAMADAS_DIR}/${nome})
    file(REMOVE_RECURSE ${raiz})
    foreach(pasta IN LISTS pastas)
        cmake_path(GET pasta PARENT_PATH pai)
        file(MAKE_DIRECTORY ${raiz}/${pai})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${pasta} ${raiz}/${pasta} SYMBOLIC)
    endforeach()

    add_library(zenta_${nome} OBJECT)
    target_include_directories(zenta_${nome} PRIVATE
        ${raiz} ${PROJECT_SOURCE_DIR}/include)
    target_compile_features(zenta_${nome} PRIVATE cxx_std_20)
    target_link_libraries(zenta_${nome} PRIVATE zenta_warnings)
    if(ZENTA_OPERACOES_TESTE)
        target_compile_definitions(zenta_${nome} PRIVATE ZENTA_OPERACOES_TESTE=1)
    endif()
    zenta_objetos_ocultos(zenta_${nome})
    target_link_libraries(zenta PRIVATE zenta_${nome})
    target_link_libraries(zenta_internos PRIVATE zenta_${nome})
endfunction()

# Objects of the library: compiled with every symbol hidden (only what
# ZENTA_API marks is exported) and put both in libzenta.so and in the
# internals' static library.
function(zenta_objetos_ocultos alvo)
    set_target_properties(${alvo} PROPERTIES
        C_VISIBILITY_PRESET hidden
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# The include root of a layer, for targets outside the library that belong
# to it (the server's program).
function(zenta_raiz_camada alvo camada)
    target_include_directories(${alvo} PRIVATE ${ZENTA_CAMADAS_DIR}/${camada})
endfunction()
