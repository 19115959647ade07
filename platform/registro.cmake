# Registry classes view, program resources and type-library registration.
target_sources(zenta PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Resource.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OleAutoTypeLib.cpp
)
