# Call messages of the interfaces served out of process: the record codec
# and the proxy and stub of IQVGE_ManutencaoPreventiva.
target_sources(zenta_server PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/QVEmpacotamento.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVProxyStubManutencaoPreventiva.cpp
)
