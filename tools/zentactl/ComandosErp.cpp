// `erp import` and `erp list`: the ERP stand-in's master data.
#include <algorithm>
#include <iostream>

#include "tools/zentactl/Comandos.h"
#include "tools/zentactl/Tabela.h"

namespace zenta::ctl {

namespace {

std::string Celula(const nlohmann::json& v) {
    if (v.is_null()) return {};
    if (v.is_string()) return v.get<std::string>();
    return v.dump();
}

void ImprimeLinhas(const std::string& tabelaErp, const nlohmann::json& linhas) {
    // Columns: the table's own order; code and name first for any other.
    std::vector<std::string> colunas = ColunasCadastro(tabelaErp);
    if (colunas.empty()) colunas = {"codigo", "nome"};
    for (const auto& linha : linhas) {
        if (!linha.is_object()) continue;
        for (const auto& [chave, valor] : linha.items())
            if (std::find(colunas.begin(), colunas.end(), chave) == colunas.end()) colunas.push_back(chave);
    }
    std::vector<std::string> cabecalho;
    for (const auto& c : colunas) cabecalho.push_back(c == "codigo" ? ">codigo" : c);
    Tabela tabela(cabecalho);
    for (const auto& linha : linhas) {
        std::vector<std::string> celulas;
        for (const auto& c : colunas) celulas.push_back(linha.is_object() && linha.contains(c) ? Celula(linha[c]) : "");
        tabela.Linha(std::move(celulas));
    }
    tabela.Imprime(std::cout);
}

}  // namespace

void ImportaErp(Contexto& ctx, const nlohmann::json& documento) {
    const auto resumo = ImportaCadastros(ctx.opcoes.EmpresaCp1252(), documento);
    if (ctx.opcoes.json) {
        nlohmann::json saida = nlohmann::json::object();
        for (const auto& [t, n] : resumo) saida[t] = n;
        return ImprimeJson(saida);
    }
    Tabela tabela({"Table", ">Rows"});
    for (const auto& [t, n] : resumo) tabela.Linha({t, std::to_string(n)});
    tabela.Imprime(std::cout);
}

void RegistraErp(CLI::App& app, Contexto& ctx) {
    auto* grupo = app.add_subcommand("erp", "Master data of the ERP stand-in");
    grupo->require_subcommand(1);

    auto* import = grupo->add_subcommand(
        "import", "Import master data from a JSON file {\"<table>\": [{\"codigo\": 1, \"nome\": \"...\"}, ...]} (all or nothing)");
    auto arquivo = std::make_shared<std::string>();
    import->add_option("FILE", *arquivo, "JSON file, or - for standard input")->required();
    import->callback([&ctx, arquivo] {
        ctx.acao = [&ctx, arquivo] { ImportaErp(ctx, LeDocumentoJson(*arquivo, "erp import")); };
    });

    std::string tabelas;
    for (const auto& t : TabelasCadastro()) tabelas += (tabelas.empty() ? "" : " ") + t;
    auto* list = grupo->add_subcommand("list", "List the rows of a table" + (tabelas.empty() ? "" : ": " + tabelas));
    auto tabela = std::make_shared<std::string>();
    list->add_option("TABLE", *tabela, "Table name")->required();
    list->callback([&ctx, tabela] {
        ctx.acao = [&ctx, tabela] {
            const nlohmann::json linhas = ListaCadastro(ctx.opcoes.EmpresaCp1252(), *tabela);
            if (ctx.opcoes.json) return ImprimeJson(linhas);
            ImprimeLinhas(*tabela, linhas);
        };
    });
}

}  // namespace zenta::ctl
