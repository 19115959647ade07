// The ERP stand-in's master data as zentactl uses it: names of codes for the
// tables people read (each table loaded once per run), the import and the
// listing of the `erp` commands.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include <zenta/WinTypes.h>

namespace zenta::ctl {

class CadastrosErp {
public:
    explicit CadastrosErp(std::string empresaCp1252) : m_empresa(std::move(empresaCp1252)) {}

    // The row of a code, null when unknown (or the stand-in cannot be read:
    // names only decorate the output, they never fail a command).
    const nlohmann::json* Linha(std::string_view tabela, ULONG codigo);
    std::string Nome(std::string_view tabela, ULONG codigo);
    // "12 Name" / "12" for an unknown code / "" for 0.
    std::string Codigo(std::string_view tabela, ULONG codigo);
    // Decimals of a unit of measure; `padrao` when unknown.
    unsigned CasasUnidade(ULONG unidade, unsigned padrao);
    // Decimals of a product's or service's unit; `padrao` when unknown.
    unsigned CasasDe(std::string_view tabela, ULONG codigo, unsigned padrao);

private:
    std::string m_empresa;
    std::map<std::string, std::map<ULONG, nlohmann::json>, std::less<>> m_tabelas;
};

// `erp import`: the rows imported per table, in import order. Throws
// FalhaOperacao.
std::vector<std::pair<std::string, std::size_t>> ImportaCadastros(const std::string& empresaCp1252,
                                                                  const nlohmann::json& documento);
// `erp list`: the rows of one table. Throws FalhaOperacao.
nlohmann::json ListaCadastro(const std::string& empresaCp1252, const std::string& tabela);
// The tables an import may hold.
std::vector<std::string> TabelasCadastro();
// The columns of a table in listing order (empty when unknown).
std::vector<std::string> ColunasCadastro(const std::string& tabela);

}  // namespace zenta::ctl
