// The error log: one record of kind 3 ("ERRO") per failure, appended to the
// monthly error file of the profiler context (QVProfilerRegistro.h) whether or
// not call tracing is on. The writers QVGravaLogErroHr and QVGravaLogErroTexto
// are declared in QVCheck.h; they never fail and never throw.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "diagnostics/QVCheck.h"

namespace zenta {

// The free text of the error-log record of a failed HRESULT, made with
// "%s\t%s = %#X %s\tSEVERITY = %d %s\tFACILITY = %d %s\tCODE = %d %s\tDescrição = %s"
// from: the checked expression, "hr", the HRESULT, its description, the
// severity bit and name, the facility number and name, the code and its name,
// and the HRESULT's symbolic name. `descricao` and `facilidadeDaBiblioteca`
// are what the message library answered (see NomeCodigoHresult).
std::string TextoLogErroHr(std::string_view expressaoVerificada, HRESULT hr, std::string_view descricao,
                           std::optional<bool> facilidadeDaBiblioteca);

// The same, with the description and the facility's owner asked of the
// message library; for facility 4 the description is the enterprise data
// layer's built-in text.
std::string TextoLogErroHr(std::string_view expressaoVerificada, HRESULT hr);

// The record-file engine's error text:
// "hr = 0x%08X\tDescrição = %s\tArquivo = %s\tPosição = %d\tRegistro = %d\tQtd. Registros = <64-bit count>",
// for QVGravaLogErroTexto.
std::string TextoErroMotor(HRESULT hr, std::string_view descricao, std::string_view arquivo, int posicao,
                           int registro, int64_t quantidadeRegistros);

// The program's version and the operating system's (kernel release), both
// "%d.%d.%d.%d"; computed once per process.
const std::string& VersaoPrograma();
const std::string& VersaoSistemaOperacional();

// Up to four leading numbers of a release text separated by '.' or '-',
// missing ones 0: "6.1.0-18-amd64" gives "6.1.0.18".
std::string FormataVersao(std::string_view release);

}  // namespace zenta
