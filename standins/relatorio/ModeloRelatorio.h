// Report models: small text files under $ZENTA_HOME/relatorios/ that say
// which fields a report shows and how. A model named "NOME" is the file
// $ZENTA_HOME/relatorios/NOME.modelo, UTF-8, at most 64 KiB:
//
//   # comment lines and blank lines are ignored
//   titulo = Planos de manutenção por equipamento
//   formato = pdf                 pdf (default) or csv
//   subordinadas = sim            sim (default) or nao: rows under each master block
//   campos = 101, 103, 120, 201   field codes in the order shown; may repeat
//   campos = 301, 305             over several lines (appended)
//
// The empty report name is the default model: every field the report
// declares, in declaration order, with subordinate rows; a name without its
// model file is refused. A model without "formato" leaves the format to the
// destination's extension. The name is taken
// from a client: only letters, digits, '_', '-' and '.' (not first), at most
// 64 characters, so that it always names a file directly in that directory.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <zenta/WinTypes.h>

namespace zenta {

enum class FormatoSaidaRelatorio { Pdf, Csv };

struct ModeloRelatorio {
    bool bArquivo = false;  // read from a model file
    std::string sTitulo;    // UTF-8; empty: the report's own title
    FormatoSaidaRelatorio formato = FormatoSaidaRelatorio::Pdf;
    bool bFormato = false;  // the model names its format
    bool bSubordinadas = true;
    std::vector<LONG> campos;  // empty: every declared field
};

inline constexpr std::size_t kTamanhoMaximoModelo = 64 * 1024;
inline constexpr std::size_t kCamposMaximoModelo = 1000;
inline constexpr std::size_t kNomeMaximoModelo = 64;

// Whether a report name may name a model file (see above). The empty name
// is valid: no model.
bool NomeModeloValido(std::string_view nome);

// The directory of the models: $ZENTA_HOME/relatorios.
std::filesystem::path DiretorioModelos();

// Parses a model's text. E_INVALIDARG with `erro` naming the line for an
// unknown key, a bad value, a code that is not a positive number, a repeated
// code, more than kCamposMaximoModelo codes or a title over 200 bytes.
HRESULT InterpretaModelo(std::string_view texto, ModeloRelatorio& modelo, std::string& erro);

// The model of a report name: the defaults for the empty name;
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) for a name without its file
// (`erro` names the file looked for); E_INVALIDARG for a name that is not
// valid, a file that is too large, not a regular file, or does not parse
// (`erro` says why).
HRESULT CarregaModelo(std::string_view nome, ModeloRelatorio& modelo, std::string& erro);

}  // namespace zenta
