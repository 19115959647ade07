# Registry classes view and program resources. Type-library loading and
# registration read the server's type-library format: server/registro.cmake.
target_sources(zenta_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Resource.cpp
)
