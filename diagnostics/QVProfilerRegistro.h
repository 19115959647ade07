// The records of the profiler files: the call-trace records (kinds 0 to 2,
// file "QVProfiler.log" in the base module's program directory) and the error
// records (kind 3, the monthly error files). One record is one tab-separated
// line; each file starts with the header line of its kind. Texts are kept in
// UTF-8 and the files are written in Windows-1252.
#pragma once

#include <array>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <zenta/QVUnknown.h>

#include "diagnostics/QVDF_Profiler.h"

namespace zenta {

enum class TipoRegistroProfiler : int {
    Entrou = 0,    // call start
    Saiu = 1,      // call end
    CoCreate = 2,  // object creation
    Erro = 3,      // error record
};

// "ENTROU", "SAIU", "COCREATE" or "ERRO".
std::string_view NomeTipoRegistro(TipoRegistroProfiler tipo);

// Memory figures in bytes: available and total physical memory of the machine
// and the process's resident set. 0 when unknown.
struct MemoriaProcesso {
    long long llDisponivel = 0;
    long long llTotal = 0;
    long long llComponente = 0;
};
MemoriaProcesso LeMemoriaProcesso();

// The running program's file name (the process column of a record).
const std::string& NomeProcessoAtual();

inline constexpr std::size_t kQuantidadeParametros = 9;

struct RegistroProfiler {
    TipoRegistroProfiler tipo = TipoRegistroProfiler::Erro;
    std::chrono::system_clock::time_point instante;
    // The profiler context's identity.
    std::string strEmpresa;
    USHORT usUsuario = 0;
    ULONG ulSessao = 0;
    // The stored initialisation record; its identity columns are written only
    // when it carries the control byte 'B'.
    std::optional<_REG_DF_INICIALIZAPS> inicializacao;
    std::string strClasseFuncao;
    MemoriaProcesso memoria;
    // Kinds 0 to 2: duration (milliseconds) and memory change; empty when not measured.
    std::optional<long long> llDuracao;
    std::optional<long long> llDeltaMemoria;
    // Kind 3: the error columns.
    std::string strVersaoFarol;
    std::string strVersaoSO;
    std::string strArquivo;
    unsigned uLinha = 0;
    std::string strLog;
    std::array<std::string, kQuantidadeParametros> parametros;
};

// A record of the given kind for a profiler context: time stamp now, the
// context's company, user and session (read through IQVDF_Profiler) and its
// stored initialisation record. The memory figures are left for the caller.
RegistroProfiler NovoRegistro(TipoRegistroProfiler tipo, const CQVContextoProfiler& contexto,
                              std::string_view classeFuncao);

// The header line of a kind's file, with its line break.
const std::string& CabecalhoRegistro(TipoRegistroProfiler tipo);

// The record's line, with its line break, in UTF-8. Line breaks inside the
// fields become blanks, and so do tabs everywhere but in the error text (whose
// tabs separate its own parts).
std::string LinhaRegistro(const RegistroProfiler& registro);

// The file a record goes to: kind 3 to the monthly error file
// "QVProfilerErros_Base_AAAAMM.log" in the company's data directory of the
// base module, or, without a company or with a company name that cannot be a
// directory, "QVProfilerErros_Pgms_AAAAMM.log" in the base module's program
// directory; kinds 0 to 2 to "QVProfiler.log" in the program directory.
// Empty when there is no directory to write to.
std::filesystem::path ArquivoRegistro(const RegistroProfiler& registro);

// "QVProfilerErros_Base_" or "QVProfilerErros_Pgms_" with "%04d%02d" and
// ".log"; the year is held to 1848..4717 and the month to 1..99.
std::string NomeArquivoErros(bool comEmpresa, int ano, int mes);

// Appends one line (UTF-8, written in Windows-1252) to a file, creating the
// file with its header first when it does not exist yet and its directory
// when missing. Each line is one write on a file opened for appending, so
// concurrent writers, threads or processes, never mix their lines, and only
// the one who creates the file writes the header. False on failure; never
// throws.
bool AcrescentaLinhaArquivo(const std::filesystem::path& arquivo, std::string_view cabecalho,
                            std::string_view linha);

// Chooses the file, builds the line and appends it. False on failure; never
// throws.
bool GravaRegistro(const RegistroProfiler& registro);

}  // namespace zenta
