# Kernel event objects (the exe module's shutdown event). Included from
# server/CMakeLists.txt; the guard lets platform/CMakeLists.txt include it too.
include_guard(GLOBAL)
target_sources(zenta_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Synch.cpp)
