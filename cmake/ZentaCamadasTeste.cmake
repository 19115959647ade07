# The layers hold at build time: a source of the engine's layer that includes
# a logic header does not compile (camadas.motor_nao_ve_logica), while the
# same source including a header of a layer below it does
# (camadas.motor_ve_acesso). Both targets stay out of the normal build.
foreach(_fonte MotorIncluiLogica MotorIncluiAcesso)
    add_library(zenta_camada_${_fonte} OBJECT EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/tests/camadas/${_fonte}.cpp)
    target_include_directories(zenta_camada_${_fonte} PRIVATE
        $<TARGET_PROPERTY:zenta_core,INCLUDE_DIRECTORIES>)
    target_compile_features(zenta_camada_${_fonte} PRIVATE cxx_std_20)
endforeach()
add_test(NAME camadas.motor_nao_ve_logica
         COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target zenta_camada_MotorIncluiLogica)
add_test(NAME camadas.motor_ve_acesso
         COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target zenta_camada_MotorIncluiAcesso)
# Each runs the build tool in this build tree: never two at once.
set_tests_properties(camadas.motor_nao_ve_logica PROPERTIES WILL_FAIL TRUE RESOURCE_LOCK zenta_arvore_build)
set_tests_properties(camadas.motor_ve_acesso PROPERTIES RESOURCE_LOCK zenta_arvore_build)
