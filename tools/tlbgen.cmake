# zenta-tlbgen: writes the type library the server executable carries
# (see cmake/ZentaRecursos.cmake). It takes from the internals only the
# objects the type library's writer needs.
add_executable(zenta-tlbgen ${CMAKE_CURRENT_LIST_DIR}/zenta-tlbgen/main.cpp)
target_include_directories(zenta-tlbgen PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(zenta-tlbgen PRIVATE zenta_internos zenta_warnings)
set_target_properties(zenta-tlbgen PROPERTIES BUILD_RPATH "$ORIGIN")

include(${PROJECT_SOURCE_DIR}/cmake/ZentaRecursos.cmake)

if(ZENTA_BUILD_TESTS)
    # The registration tests build a small module carrying the resources the
    # way the build does: they need the generator, the scripts and objcopy.
    function(zenta_tlbgen_testes)
        add_dependencies(zenta_tests zenta-tlbgen)
        target_compile_definitions(zenta_tests PRIVATE
            ZENTA_TLBGEN_PROGRAMA="$<TARGET_FILE:zenta-tlbgen>"
            ZENTA_SCRIPTS_REGISTRO="${ZENTA_SCRIPTS_REGISTRO_DIR}"
            ZENTA_OBJCOPY="${ZENTA_OBJCOPY}")
    endfunction()
    cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL zenta_tlbgen_testes)
endif()
