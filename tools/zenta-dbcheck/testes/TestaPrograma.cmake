# End-to-end test of zenta-dbcheck: sample files written by the engine pass
# (exit 0, no output), the same files with a stray byte appended fail (exit
# 1, with the matching findings), and a usage error exits 2.
#
#   cmake -DAMOSTRAS=<sample writer> -DDBCHECK=<zenta-dbcheck> -DWORK_DIR=<dir> -P TestaPrograma.cmake

function(executa esperado saida_var)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE saida ERROR_VARIABLE erros)
    if(NOT rc EQUAL esperado)
        message(FATAL_ERROR "${ARGN}\nexit ${rc}, expected ${esperado}\nstdout:\n${saida}\nstderr:\n${erros}")
    endif()
    set(${saida_var} "${saida}" PARENT_SCOPE)
endfunction()

function(exige_texto saida texto)
    string(FIND "${saida}" "${texto}" pos)
    if(pos EQUAL -1)
        message(FATAL_ERROR "expected \"${texto}\" in the output:\n${saida}")
    endif()
endfunction()

executa(0 dir ${AMOSTRAS} ${WORK_DIR})
string(STRIP "${dir}" dir)
set(tipado "${dir}/GETIPADO.dat")
set(texto "${dir}/GETEXTO.dat")

# Good files: clean.
executa(0 saida ${DBCHECK} --tamanho-registro 16 --quantidade 3 ${tipado})
executa(0 saida2 ${DBCHECK} --texto --quantidade 3 ${texto})
if(NOT "${saida}${saida2}" STREQUAL "")
    message(FATAL_ERROR "clean files gave output:\n${saida}${saida2}")
endif()

# Bad files: one stray byte after the data.
file(APPEND ${tipado} "x")
executa(1 saida ${DBCHECK} --tamanho-registro 16 ${tipado})
exige_texto("${saida}" "tamanhoDados")
exige_texto("${saida}" "E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE 0x81080C08")
exige_texto("${saida}" "E_QVCR_ARQUIVO_NAO_EH_MOD_ESTRUTURA 0x810809D8")
file(APPEND ${texto} "x")
executa(1 saida ${DBCHECK} --texto ${texto})
exige_texto("${saida}" "itemTruncado")

# Usage errors and files that cannot be opened.
executa(2 saida ${DBCHECK} --texto --tamanho-registro 16 ${tipado})
executa(2 saida ${DBCHECK} --tamanho-registro 0 ${tipado})
executa(2 saida ${DBCHECK})
executa(2 saida ${DBCHECK} ${dir}/NAOEXISTE.dat)
executa(2 saida ${DBCHECK} ${dir})
