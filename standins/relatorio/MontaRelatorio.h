// The report generator: takes a report's lines field by field, in the order
// its model chose, and writes the report file (PDF or CSV, see
// ModeloRelatorio.h and DocumentoRelatorio.h).
//
// Use: Inicializa (loads the model, chooses the format); the report asks which fields the model
// chose (GetQtdeCampos, GetCampoEscolhido) and whether subordinate lines are
// used (GetUtilizaLinhaSub); then, per line, InicializaLinha (a master line)
// or InicializaLinhaSubordinada, AdicionaChavePesquisa, Adiciona per chosen
// field (described once with AdicionaDetalhe), FinalizaLinhaSubordinada or
// FinalizaLinha; then GeraRelatorio writes the file next to its destination
// and Finaliza(TRUE) puts it in place. A generator destroyed without
// Finaliza(TRUE) leaves no file behind.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <zenta/WinTypes.h>

#include "standins/relatorio/DocumentoRelatorio.h"
#include "standins/relatorio/ModeloRelatorio.h"

namespace zenta {

// The stand-in offers no fields of other modules.
inline constexpr HRESULT E_QV_RELATORIO_CAMPO_INTEGRADO = HRESULT_FROM_WIN32(50u);  // ERROR_NOT_SUPPORTED

class CMontaRelatorio {
public:
    CMontaRelatorio() = default;
    ~CMontaRelatorio();
    CMontaRelatorio(const CMontaRelatorio&) = delete;
    CMontaRelatorio& operator=(const CMontaRelatorio&) = delete;

    // Loads the model named `relatorio` (empty: the default, every field)
    // for a report of `modulo`/`componente` to be written at `arquivoTemp`.
    // The format is the model's when it names one, else the destination's
    // extension (".pdf", ".csv"), else PDF. E_INVALIDARG for a report name
    // that is not valid, a model that does not parse, a model format that
    // contradicts the destination's extension, or a destination that is
    // empty, relative, in a directory that does not exist, or an existing
    // entry that is not a regular file; HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
    // for a name without its model file. `titulo` is the report's own title
    // (UTF-8), used when the model has none.
    HRESULT Inicializa(std::string_view empresa, USHORT usUsuario, LONG lSessao, std::string_view modulo,
                       std::string_view componente, std::string_view arquivoTemp, std::string_view relatorio,
                       BOOL bTemLinhaSubordinada, std::string_view titulo = {});
    // Why the last step failed, for people (UTF-8); "" when nobody said.
    const std::string& GetErro() const { return m_sErro; }
    void SetErro(std::string sErro) { m_sErro = std::move(sErro); }
    // The format the report is written in.
    zenta::FormatoSaidaRelatorio GetFormato() const { return m_modelo.formato; }

    // With TRUE, whether the lines are laid out as master and subordinate
    // lines: the report wants them and the model uses them. With FALSE,
    // whether the report wants them.
    BOOL GetUtilizaLinhaSub(BOOL bDoModelo) const;
    // The fields the model chose (0: none named, every declared field).
    LONG GetQtdeCampos() const { return static_cast<LONG>(m_modelo.campos.size()); }
    LONG GetCampoEscolhido(LONG lIndice) const;
    // Text, size and type of a field of another module: none here.
    HRESULT GetCampoRelatorioIntegrado(LONG lCodigo, std::string& texto, LONG& lTamanho, LONG& lTipo) const;
    const zenta::ModeloRelatorio& GetModelo() const { return m_modelo; }

    // ---- Lines ------------------------------------------------------------
    HRESULT InicializaLinha();
    HRESULT InicializaLinhaSubordinada();
    HRESULT AdicionaChavePesquisa(LONG lTipo, ULONG lPonteiro);
    // The next chosen field's text (UTF-8), cut to `lTamanho` characters.
    HRESULT Adiciona(std::string_view texto, LONG lTamanho);
    // Describes the next column while the first lines are passed; a column
    // already described is left as it is. `pbAlteraTipo` (may be null)
    // receives whether the generator wants another type for it (never here).
    // `bCabecalho`: a master column that heads its block.
    HRESULT AdicionaDetalhe(LONG lCodigo, LONG lTipo, LONG lTamanho, std::string_view rotulo, bool bMestre,
                            int iGrupo, std::string_view tituloGrupo, BOOL* pbAlteraTipo = nullptr,
                            bool bCabecalho = false);
    HRESULT FinalizaLinhaSubordinada();
    HRESULT FinalizaLinha();

    // Writes the report to a file beside the destination.
    HRESULT GeraRelatorio();
    // TRUE: the written file replaces the destination; FALSE: it is removed.
    HRESULT Finaliza(BOOL bConfirma);

    // The document as collected (tests; the forecast adds its chart).
    const zenta::DocumentoRelatorio& GetDocumento() const { return m_doc; }
    zenta::DocumentoRelatorio& GetDocumento() { return m_doc; }

private:
    void RemoveParcial();

    zenta::ModeloRelatorio m_modelo;
    zenta::DocumentoRelatorio m_doc;
    std::filesystem::path m_destino;
    std::filesystem::path m_parcial;
    bool m_bInicializado = false;
    bool m_bQuerSubordinadas = false;
    bool m_bLinhaAberta = false;
    bool m_bBlocoAberto = false;
    std::size_t m_proximaColuna = 0;
    std::size_t m_colunasDescritas = 0;
    std::string m_sErro;
};

}  // namespace zenta
