# Registration of the local server: the registrar, the interface description
# and the type library, with the type-library calls of OLE Automation
# (zenta/OleAutoTypeLib.h) over it.
target_sources(zenta_server PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/OleAutoTypeLib.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVRegistrador.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVRegistroServidor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVDescricaoInterface.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVBibliotecaTipos.cpp
)
