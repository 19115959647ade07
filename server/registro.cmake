# Registration of the local server: the registrar, the interface description
# and the type library.
target_sources(zenta PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/QVRegistrador.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVRegistroServidor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVDescricaoInterface.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVBibliotecaTipos.cpp
)
