// A report as the generator collects it before writing it: its columns (the
// fields the model chose, in the model's order) and its blocks, one per
// master line with the subordinate lines under it. Texts are UTF-8. The PDF
// and CSV writers lay the same document out for people and for spreadsheets.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <zenta/WinTypes.h>

namespace zenta {

struct ColunaRelatorio {
    LONG lCodigo = 0;
    LONG lTipo = 1;     // 1 text, 8 date, 7 integrated number
    LONG lTamanho = 0;  // characters the field holds
    std::string sRotulo;
    bool bMestre = false;  // shown in the master block rather than in the rows
    // A master column that heads its block (on the block's shaded bar, with
    // the other heading columns); without any, the first master column does.
    bool bCabecalho = false;
    int iGrupo = 0;        // rows' columns of one group share a table
    std::string sTituloGrupo;
};

// One line: a text per column, in the columns' order.
struct LinhaDocumento {
    std::vector<std::string> valores;
    // The line's search keys (kind, read pointer) as the report gave them.
    std::vector<std::pair<LONG, ULONG>> chaves;
};

// A master line (linhas[0]) and the subordinate lines under it. The master
// line is also the first row of the block's tables.
struct BlocoDocumento {
    std::vector<LinhaDocumento> linhas;
};

// A bar chart drawn above the list on the first page: per category (x
// axis) one bar stacked from its series, one shade per series, with a
// legend. Texts are UTF-8.
struct GraficoRelatorio {
    std::string sTitulo;
    std::vector<std::string> categorias;
    std::vector<std::string> series;
    std::vector<std::vector<int>> valores;  // [category][series]
};

struct DocumentoRelatorio {
    std::string sTitulo;
    std::string sEmpresa;
    std::string sEmissao;  // "dd/mm/aaaa hh:mm"
    bool bSubordinadas = true;
    std::vector<ColunaRelatorio> colunas;
    std::vector<BlocoDocumento> blocos;
    GraficoRelatorio grafico;  // no categories: no chart (the CSV never has one)
};

// The column's caption: its label, else "Campo <code>".
std::string RotuloColuna(const ColunaRelatorio& coluna);

// The captions of all columns, each one once: a caption that two columns
// share gets its group's title in parentheses, and one still shared after
// that its field code.
std::vector<std::string> RotulosUnicos(const std::vector<ColunaRelatorio>& colunas);

// A semicolon-separated file for spreadsheets: UTF-8 with a byte-order mark,
// CRLF line ends, a caption row (captions made unique), then one row per line (master and
// subordinate lines alike) with every column. Fields holding the separator,
// quotes or line breaks are quoted; a text that a spreadsheet would take as a
// formula gets a leading apostrophe.
HRESULT EscreveCsv(const DocumentoRelatorio& documento, const std::filesystem::path& arquivo);

// A PDF laid out for people: A4 landscape; on every page the title, the
// company, the time of issue and "Página N de M"; per block the master
// fields as captioned values, then the subordinate rows as tables, one per
// group of columns, with only the rows that have something in the group.
// Texts are written in Windows-1252 with built-in fonts.
HRESULT EscrevePdf(const DocumentoRelatorio& documento, const std::filesystem::path& arquivo);

}  // namespace zenta
