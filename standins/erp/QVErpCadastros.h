// The master data of the ERP stand-in: branches, users, towns, clients,
// makers, models and kinds of equipment, equipments, units, products, grade
// items and services, each keyed by the ERP's code with its name (tables of
// schema version 3, described in QVErpBanco.cpp), and the sale prices of
// products per price table (version 4). Loaded from a JSON document
// (`zentactl erp import`) and read back to show names for codes.
//
// Texts are UTF-8 here and in the file. Nothing here throws; failures come
// back as an HRESULT and are written to the error log.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include <zenta/WinTypes.h>

namespace zenta {

class ErpBanco;

// The longest text a master-data field may hold, in UTF-8 bytes.
inline constexpr std::size_t kTextoMaximoCadastroErp = 200;

// Tables a JSON import document may hold, in import order.
std::span<const std::string_view> TabelasCadastroErp();

// The columns of a table in the table's order, its key first ("codigo" for
// registrations; product, grades and price table for "preco_produto"): the keys of
// every object ListaCadastroErp gives, in the order to show them (empty for
// a table not in the list).
std::span<const std::string_view> ColunasCadastroErp(std::string_view tabela);

struct ResumoImportacaoErp {
    // The tables the document held, in import order, with their row counts.
    std::vector<std::pair<std::string, std::size_t>> linhasPorTabela;
};

// Imports master data into a company's stand-in file from a JSON document
// { "<table>": [ { "codigo": 1, "nome": "...", ... }, ... ], ... }: rows are
// inserted or replaced by code (a field left out of a replaced row becomes
// empty), all in one transaction (all or nothing). Every field but "codigo"
// and "nome" may be left out or null. Price rows are keyed by "produto",
// "grade1".."grade3" (0 when left out) and "tabela_preco", with a required
// "preco_venda"; currency fields take an integer of ten-thousandths or a
// text in US form ("12.50").
// E_INVALIDARG with `erro` naming table, row index (from 0) and field
// ("cliente[2].email: ...") for an unknown table or field, a missing code or
// name, a wrong type, a code out of range, a text too long (over 200 bytes),
// empty (a name), not UTF-8 or holding control characters; nothing is
// written then. The company name is checked as elsewhere
// (E_QV_NOME_EMPRESA_INVALIDO). Other failures also leave a text in `erro`.
HRESULT ImportaCadastrosErp(std::string_view empresa, const nlohmann::json& documento,
                            ResumoImportacaoErp& resumo, std::string& erro);

// The name of a code in a table ("" and S_FALSE when there is none);
// E_INVALIDARG for a table not in the list or without names (preco_produto).
HRESULT NomeCadastroErp(std::string_view empresa, std::string_view tabela, ULONG codigo, std::string& nome);

// Every row of a table as JSON objects, by code (for `zentactl erp list`):
// an array of objects holding every column, null where the row has no value.
// E_INVALIDARG for a table not in the list.
HRESULT ListaCadastroErp(std::string_view empresa, std::string_view tabela, nlohmann::json& linhas);

// Holds a company's stand-in file open while it lives: NomeCadastroErp and
// ListaCadastroErp called meanwhile for that company share its connection
// instead of opening and closing the file each time (some microseconds a
// name instead of most of a millisecond). For a program showing many names
// in a row. Let it go before the company's files are removed.
class CadastrosErpAbertos {
public:
    // The company name is checked as elsewhere; the file is created when missing.
    HRESULT Abre(std::string_view empresa);
    void Fecha() { m_banco.reset(); }
    bool Aberto() const { return m_banco != nullptr; }

private:
    std::shared_ptr<ErpBanco> m_banco;
};

}  // namespace zenta
