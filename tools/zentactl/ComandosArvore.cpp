// `tree equipment|products|order-equipment|order-products`: the equipment and
// products that have plans or maintenance orders.
#include <algorithm>
#include <iostream>
#include <vector>

#include "tools/zentactl/Comandos.h"
#include "tools/zentactl/Tabela.h"

namespace zenta::ctl {

void ImprimeArvore(Contexto& ctx, const _REG_LISTA_ITENS_TREE_PS& itens) {
    // The service gives the items in no particular order: by kind and code.
    std::vector<_REG_ITEM_TREE_PS> ordenados;
    if (itens.pItens != nullptr) ordenados.assign(itens.pItens, itens.pItens + itens.lQtdItens);
    std::sort(ordenados.begin(), ordenados.end(), [](const _REG_ITEM_TREE_PS& a, const _REG_ITEM_TREE_PS& b) {
        return a.lTipo != b.lTipo ? a.lTipo > b.lTipo : a.lPonteiro < b.lPonteiro;
    });
    Tabela tabela({"Kind", ">Code", "Name"});
    for (const auto& item : ordenados) {
        const bool equipamento = item.lTipo == 1;
        tabela.Linha({equipamento ? "equipment" : "product", std::to_string(item.lPonteiro),
                      ctx.Erp().Nome(equipamento ? "equipamento" : "produto", item.lPonteiro)});
    }
    tabela.Imprime(std::cout);
}

namespace {

using MetodoArvore = HRESULT (STDMETHODCALLTYPE IQVGE_ManutencaoPreventiva::*)(_REG_LISTA_ITENS_TREE_PS*, LONG);

struct Arvore {
    const char* nome;
    const char* descricao;
    MetodoArvore metodo;
    const char* operacao;
};

constexpr Arvore kArvores[] = {
    {"equipment", "Equipment with plans", &IQVGE_ManutencaoPreventiva::BuscaRegistroTreeEquipamentos,
     "BuscaRegistroTreeEquipamentos"},
    {"products", "Products with plans", &IQVGE_ManutencaoPreventiva::BuscaRegistroTreeProdutos,
     "BuscaRegistroTreeProdutos"},
    {"order-equipment", "Equipment with maintenance orders", &IQVGE_ManutencaoPreventiva::BuscaTreeMovimentacaoEquipamentos,
     "BuscaTreeMovimentacaoEquipamentos"},
    {"order-products", "Products with maintenance orders", &IQVGE_ManutencaoPreventiva::BuscaTreeMovimentacaoProdutos,
     "BuscaTreeMovimentacaoProdutos"},
};

}  // namespace

void MostraArvore(Contexto& ctx, const char* nome, bool somenteAtivos) {
    for (const Arvore& a : kArvores) {
        if (std::string_view(a.nome) != nome) continue;
        _REG_LISTA_ITENS_TREE_PS itens{};
        Liberador<_REG_LISTA_ITENS_TREE_PS> libera(itens);
        IQVGE_ManutencaoPreventiva& servico = ctx.Servico();
        ctx.Verifica((servico.*a.metodo)(&itens, somenteAtivos ? 1 : 0), a.operacao);
        if (ctx.opcoes.json) return ImprimeJson(ParaJson(itens, a.operacao));
        return ImprimeArvore(ctx, itens);
    }
}

void RegistraArvores(CLI::App& app, Contexto& ctx) {
    auto* grupo = app.add_subcommand("tree", "Equipment and products that have plans or orders");
    grupo->require_subcommand(1);
    for (const Arvore& a : kArvores) {
        auto* comando = grupo->add_subcommand(a.nome, a.descricao);
        auto ativos = std::make_shared<bool>(false);
        comando->add_flag("--ativos", *ativos, "Active plans (open orders) only");
        const char* nome = a.nome;
        comando->callback([&ctx, ativos, nome] { ctx.acao = [&ctx, ativos, nome] { MostraArvore(ctx, nome, *ativos); }; });
    }
}

}  // namespace zenta::ctl
