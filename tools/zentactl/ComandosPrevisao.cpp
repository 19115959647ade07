// `forecast` and `report forecast`: the maintenances of the active plans
// that fall due in the coming days, and for whom, by the daily
// verification's rules, with nothing written.
//
//   zentactl forecast [--dias N] [--tecnico T] [--json]
//   zentactl report forecast [--dias N] [--tecnico T] --out F.pdf|F.csv
#include <filesystem>
#include <iostream>

#include "logic/PrevisaoManutencao.h"
#include "reports/RelatorioPrevisaoManPrev.h"
#include "tools/zentactl/Comandos.h"
#include "tools/zentactl/Tabela.h"
#include "values/QVDMA.h"

namespace zenta::ctl {

namespace {

struct OpcoesPrevisao {
    ULONG dias = 30;
    ULONG tecnico = 0;
    std::string saida;
};

std::vector<ItemPrevisao> Preve(Contexto& ctx, const OpcoesPrevisao& o, FiltroPrevisao& filtro) {
    filtro.hoje = REG_QVDMA::Hoje().GetData();
    filtro.dias = o.dias;
    filtro.tecnico = o.tecnico;
    std::vector<ItemPrevisao> itens;
    ctx.Verifica(MontaPrevisao(ctx.Servico(), filtro, itens), "forecast");
    return itens;
}

std::string Item(Contexto& ctx, const ItemPrevisao& item) {
    return item.lEquipamento != 0 ? ctx.Erp().Codigo("equipamento", item.lEquipamento)
                                  : ctx.Erp().Codigo("produto", item.lProduto);
}

nlohmann::json Data(ULONG dia) {
    if (dia == 0) return nullptr;
    return REG_QVDMA(dia).Formata(REG_QVDMA::ESTILO_AAAAMD, '-');
}

void Forecast(Contexto& ctx, const OpcoesPrevisao& o) {
    FiltroPrevisao filtro;
    const std::vector<ItemPrevisao> itens = Preve(ctx, o, filtro);
    if (ctx.opcoes.json) {
        nlohmann::json saida = nlohmann::json::array();
        for (const ItemPrevisao& i : itens)
            saida.push_back({{"lPonteiroCadastro", i.lPonteiroPlano},
                             {"lCodigoManutencao", i.lCodigoManutencao},
                             {"szNomeManutencao", i.sNome},
                             {"lTipoFrequencia", i.lTipoFrequencia},
                             {"lTecnico", i.lTecnico},
                             {"lEquipamento", i.lEquipamento},
                             {"lProduto", i.lProduto},
                             {"szNrSerie", i.sNrSerie},
                             {"vencimento", Data(i.dataVencimento)},
                             {"porTempo", Data(i.dataTempo)},
                             {"porMedidor", Data(i.dataMedidor)},
                             {"semEstimativa", i.bSemEstimativa},
                             {"ordemAberta", i.bOrdemAberta}});
        return ImprimeJson(saida);
    }
    std::cout << "Due from " << FormataData(filtro.hoje) << " to " << FormataData(filtro.hoje + filtro.dias) << ":\n";
    Tabela tabela({"Due", "Technician", "Item", "Serial", ">Plan", ">Maint.", "Name", "By time", "By meter", "Order"});
    for (const ItemPrevisao& i : itens)
        tabela.Linha({i.dataVencimento != 0 ? FormataData(i.dataVencimento) : "no estimate",
                      ctx.Erp().Codigo("usuario", i.lTecnico), Item(ctx, i), i.sNrSerie,
                      std::to_string(i.lPonteiroPlano), std::to_string(i.lCodigoManutencao), i.sNome,
                      FormataData(i.dataTempo), i.bSemEstimativa ? "no estimate" : FormataData(i.dataMedidor),
                      i.bOrdemAberta ? "open" : ""});
    tabela.Imprime(std::cout);
}

void RelatorioForecast(Contexto& ctx, const OpcoesPrevisao& o) {
    FiltroPrevisao filtro;
    const std::vector<ItemPrevisao> itens = Preve(ctx, o, filtro);
    const std::filesystem::path destino = std::filesystem::absolute(o.saida);
    RelatorioPrevisao r;
    r.sEmpresa = ctx.opcoes.empresa;
    r.hoje = filtro.hoje;
    r.dias = filtro.dias;
    r.nomeTecnico = [&ctx](ULONG t) {
        const std::string nome = ctx.Erp().Nome("usuario", t);
        return nome.empty() ? (t == 0 ? std::string() : std::to_string(t)) : nome;
    };
    r.nomeItem = [&ctx](const ItemPrevisao& i) { return Item(ctx, i); };
    std::string erro;
    const HRESULT hr = EmiteRelatorioPrevisao(r, itens, destino.string(), erro);
    if (FAILED(hr)) throw FalhaOperacao("report forecast", hr, erro.empty() ? "the report was not written" : erro);
    if (ctx.opcoes.json) return ImprimeJson({{"arquivo", destino.string()}, {"registros", itens.size()}});
    std::cout << "Report written to " << destino.string() << '\n';
}

void AdicionaOpcoes(CLI::App& comando, OpcoesPrevisao& o) {
    comando.add_option("--dias", o.dias, "Days after today the forecast covers (default 30)")
        ->check(CLI::Range(0ul, 3660ul));
    comando.add_option("--tecnico", o.tecnico, "Only this technician's maintenances (user code)")
        ->check(CLI::Range(1ul, 0xFFFFul));
}

}  // namespace

void RegistraPrevisao(CLI::App& app, Contexto& ctx) {
    auto* forecast = app.add_subcommand("forecast", "Maintenances that fall due in the coming days, and for whom");
    auto o = std::make_shared<OpcoesPrevisao>();
    AdicionaOpcoes(*forecast, *o);
    forecast->callback([&ctx, o] { ctx.acao = [&ctx, o] { Forecast(ctx, *o); }; });

    // `report forecast` belongs to the report group (registered first).
    CLI::App* report = app.get_subcommand("report");
    auto* relatorio =
        report->add_subcommand("forecast", "The forecast as a report: a chart per week and technician, then the list");
    auto r = std::make_shared<OpcoesPrevisao>();
    AdicionaOpcoes(*relatorio, *r);
    relatorio->add_option("--out", r->saida, "File to write: .pdf or .csv")->required();
    relatorio->callback([&ctx, r] { ctx.acao = [&ctx, r] { RelatorioForecast(ctx, *r); }; });
}

}  // namespace zenta::ctl
