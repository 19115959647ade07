# The systemd user unit of the local server (server/systemd/zenta.service),
# with the installed program's path, installed where systemd looks for the
# units of users' service managers.
#
# The directory is <libdir>/systemd/user; where the library directory is a
# multiarch one (lib/<triplet>, as GNUInstallDirs picks for the /usr prefix
# on Debian), systemd would not look there, so lib/systemd/user is used.
if(CMAKE_INSTALL_LIBDIR MATCHES "^lib/")
    set(_zenta_unidade_padrao "lib/systemd/user")
else()
    set(_zenta_unidade_padrao "${CMAKE_INSTALL_LIBDIR}/systemd/user")
endif()
set(ZENTA_SYSTEMD_USER_UNIT_DIR "${_zenta_unidade_padrao}" CACHE STRING
    "Where the systemd user unit of the local server is installed (relative to the prefix)")

set(ZENTA_EXECUTAVEL "${CMAKE_INSTALL_FULL_BINDIR}/zenta")
configure_file(${CMAKE_CURRENT_LIST_DIR}/zenta.service ${CMAKE_BINARY_DIR}/systemd/zenta.service @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/systemd/zenta.service DESTINATION ${ZENTA_SYSTEMD_USER_UNIT_DIR})
