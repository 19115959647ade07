# The SDK: public headers under include/zenta, the library and a CMake package
# so that an outside project does find_package(zenta) and links zenta::zenta.
include(CMakePackageConfigHelpers)

install(DIRECTORY include/zenta
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h")
install(TARGETS zenta EXPORT zentaTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS QVMens LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT zentaTargets NAMESPACE zenta:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zenta)
# A test build's library answers the generic functions that fault on purpose:
# fine for the tests' own installation, never for shipping.
if(ZENTA_OPERACOES_TESTE)
    install(CODE [[message(WARNING "This library is a test build (ZENTA_OPERACOES_TESTE): it carries "
                          "generic functions that fault on purpose. Install from the release preset.")]])
endif()

configure_package_config_file(cmake/zentaConfig.cmake.in ${CMAKE_BINARY_DIR}/zentaConfig.cmake
    INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zenta)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/zentaConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/zentaConfig.cmake ${CMAKE_BINARY_DIR}/zentaConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zenta)
