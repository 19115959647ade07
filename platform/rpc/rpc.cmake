# The object transport: gRPC services generated from zenta_rpc.proto.
find_package(Protobuf REQUIRED)
find_package(gRPC CONFIG REQUIRED)
find_program(ZENTA_GRPC_CPP_PLUGIN grpc_cpp_plugin REQUIRED)

set(_rpc_proto ${CMAKE_CURRENT_LIST_DIR}/zenta_rpc.proto)
set(_rpc_out ${CMAKE_BINARY_DIR}/gerado/platform/rpc)
set(_rpc_srcs ${_rpc_out}/zenta_rpc.pb.cc ${_rpc_out}/zenta_rpc.grpc.pb.cc)
set(_rpc_hdrs ${_rpc_out}/zenta_rpc.pb.h ${_rpc_out}/zenta_rpc.grpc.pb.h)
add_custom_command(
    OUTPUT ${_rpc_srcs} ${_rpc_hdrs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_rpc_out}
    COMMAND ${Protobuf_PROTOC_EXECUTABLE} --proto_path=${CMAKE_CURRENT_LIST_DIR} --cpp_out=${_rpc_out}
            --grpc_out=${_rpc_out} --plugin=protoc-gen-grpc=${ZENTA_GRPC_CPP_PLUGIN} ${_rpc_proto}
    DEPENDS ${_rpc_proto}
    COMMENT "Generating the object transport's messages and services"
    VERBATIM)

# Generated code is compiled without the project's warnings.
add_library(zenta_rpc_gerado OBJECT ${_rpc_srcs})
target_include_directories(zenta_rpc_gerado PUBLIC ${CMAKE_BINARY_DIR}/gerado)
target_link_libraries(zenta_rpc_gerado PUBLIC gRPC::grpc++ protobuf::libprotobuf)
set_target_properties(zenta_rpc_gerado PROPERTIES POSITION_INDEPENDENT_CODE ON)

zenta_objetos_ocultos(zenta_rpc_gerado)
target_sources(zenta PRIVATE $<TARGET_OBJECTS:zenta_rpc_gerado>)
target_sources(zenta_internos PRIVATE $<TARGET_OBJECTS:zenta_rpc_gerado>)
target_sources(zenta_rpc PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/QVInterfaceRemota.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVEnderecos.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVTransporte.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVExportador.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVConexaoCliente.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVConexaoLocal.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVQuadros.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVAtivacao.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QVAtivacaoCom.cpp)
# The transport's sources include the generated headers: they wait for them.
add_dependencies(zenta_rpc zenta_rpc_gerado)
target_include_directories(zenta_rpc PRIVATE ${CMAKE_BINARY_DIR}/gerado)
target_link_libraries(zenta_rpc PRIVATE gRPC::grpc++ protobuf::libprotobuf)
