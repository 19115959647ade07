// `plans save|show|find|exclude`: maintenance plans.
#include <cstring>
#include <iostream>
#include <limits>

#include "platform/CodePage.h"
#include "tools/zentactl/Comandos.h"
#include "tools/zentactl/Opcoes.h"
#include "tools/zentactl/Tabela.h"
#include "values/QVDMC.h"

namespace zenta::ctl {

namespace {

std::string Texto(const char* campo, std::size_t tamanho) {
    return Cp1252ParaUtf8(std::string_view(campo, strnlen(campo, tamanho)));
}
// A record's text field in UTF-8 (read up to its end even without a terminator).
template <std::size_t N>
std::string Texto(const char (&campo)[N]) {
    return Texto(campo, N);
}

const char* NomeSituacao(ULONG situacao) {
    switch (situacao) {
        case 1: return "active";
        case 2: return "inactive";
        case 3: return "cancelled";
        case 4: return "concluded";
        default: return "?";
    }
}

std::string Situacao(ULONG situacao) {
    const std::string nome = NomeSituacao(situacao);
    return nome == "?" ? std::to_string(situacao) : nome;
}

const char* UnidadeTempo(ULONG tipo, bool plural) {
    switch (tipo) {
        case 1: return plural ? "days" : "day";
        case 2: return plural ? "weeks" : "week";
        case 3: return plural ? "months" : "month";
        case 4: return plural ? "years" : "year";
        default: return "?";
    }
}

std::string Sigla(Contexto& ctx, ULONG unidade) {
    const nlohmann::json* linha = ctx.Erp().Linha("unidade_medida", unidade);
    if (linha == nullptr) return {};
    const auto sigla = linha->find("sigla");
    return sigla != linha->end() && sigla->is_string() ? sigla->get<std::string>() : std::string();
}

std::string Frequencia(Contexto& ctx, const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f, ULONG unidade) {
    std::string tempo;
    if (f.lFrequenciaTempo != 0)
        tempo = "every " + std::to_string(f.lFrequenciaTempo) + " " + UnidadeTempo(f.lTipoFrequenciaTempo, f.lFrequenciaTempo != 1);
    std::string medidor;
    if (f.vFrequenciaMedicao.int64 != 0) {
        const std::string sigla = Sigla(ctx, unidade);
        medidor = "every " + FormataMoeda(f.vFrequenciaMedicao, f.lQtdCasasDecimaisMedicao) + (sigla.empty() ? "" : " " + sigla);
    }
    switch (f.lTipoFrequencia) {
        case 2: return tempo;
        case 3: return medidor;
        default:
            if (tempo.empty()) return medidor;
            if (medidor.empty()) return tempo;
            return tempo + " or " + medidor;
    }
}

std::string Item(Contexto& ctx, const _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS& id) {
    if (id.lEquipamento != 0) return ctx.Erp().Codigo("equipamento", id.lEquipamento);
    std::string item = ctx.Erp().Codigo("produto", id.lProduto);
    for (const ULONG g : {id.lGrade1, id.lGrade2, id.lGrade3})
        if (g != 0) item += " / " + ctx.Erp().Codigo("item_grade", g);
    return item;
}

std::vector<std::string> Legendas(Contexto& ctx) {
    _REG_CADASTRO_PROPRIEDADES_PS p{};
    std::vector<std::string> legendas;
    const bool lidas = SUCCEEDED(ctx.Servico().LePropriedades(&p));
    for (const char* campo : {p.szNomeCampoDinamico1, p.szNomeCampoDinamico2, p.szNomeCampoDinamico3,
                              p.szNomeCampoDinamico4, p.szNomeCampoDinamico5}) {
        std::string legenda = lidas ? Texto(campo, sizeof p.szNomeCampoDinamico1) : std::string();
        legendas.push_back(legenda.empty() ? "Field " + std::to_string(legendas.size() + 1) : legenda);
    }
    return legendas;
}

}  // namespace

void ImprimePlano(Contexto& ctx, const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano) {
    const auto& id = plano.idEquipamentoPS;
    const auto& medidor = id.regMedidorAtual;
    // The meter counts in the decimals of its maintenances, else its unit's.
    unsigned casasMedidor = ctx.Erp().CasasUnidade(medidor.lPonteiroUnMedida, 2);
    if (plano.listaManutencoes.lQtdManutencoes > 0 && plano.listaManutencoes.pManutencoes != nullptr)
        casasMedidor = plano.listaManutencoes.pManutencoes[0].frequenciaPS.lQtdCasasDecimaisMedicao;
    const std::string sigla = Sigla(ctx, medidor.lPonteiroUnMedida);
    const auto legendas = Legendas(ctx);
    std::cout << "Plan " << plano.lPonteiroRegistro << (plano.bExcluido ? " (excluded)" : "") << '\n';
    ImprimeCampos(std::cout, {
        {"Status", Situacao(id.lSituacao)},
        {"Branch", ctx.Erp().Codigo("filial", id.lFilial)},
        {"Equipment", ctx.Erp().Codigo("equipamento", id.lEquipamento)},
        {"Product", ctx.Erp().Codigo("produto", id.lProduto)},
        {"Grade 1", ctx.Erp().Codigo("item_grade", id.lGrade1)},
        {"Grade 2", ctx.Erp().Codigo("item_grade", id.lGrade2)},
        {"Grade 3", ctx.Erp().Codigo("item_grade", id.lGrade3)},
        {"Brand", ctx.Erp().Codigo("marca", id.lMarca)},
        {"Model", ctx.Erp().Codigo("modelo", id.lModelo)},
        {"Type", ctx.Erp().Codigo("tipo_equipamento", id.lTipo)},
        {"Serial number", Texto(id.szNrSerie)},
        {"Asset number", Texto(id.szNrPatrimonial)},
        {"Capacity", Texto(id.szCapacidade)},
        {"Year made", Texto(id.szAnoFabricacao)},
        {"Engine", Texto(id.szMotor)},
        {"Maker", Texto(id.szFabricante)},
        {legendas[0], Texto(id.szCampoDinamico1)},
        {legendas[1], Texto(id.szCampoDinamico2)},
        {legendas[2], Texto(id.szCampoDinamico3)},
        {legendas[3], Texto(id.szCampoDinamico4)},
        {legendas[4], Texto(id.szCampoDinamico5)},
        {"Meter", FormataMoeda(medidor.vQuantidadeAtual, casasMedidor) + (sigla.empty() ? "" : " " + sigla) +
                      " (started at " + FormataMoeda(medidor.vQuantidadeInicial, casasMedidor) + ", " +
                      std::to_string(medidor.lQuantidadeMedidoresSubstituidos) + " replaced)"},
        {"Current reading", plano.lPonteiroMedicao != 0 ? std::to_string(plano.lPonteiroMedicao) : std::string()},
        {"Changed by", ctx.Erp().Codigo("usuario", plano.lUsuarioUltimaAlteracao)},
        {"Origin", plano.cOrigem != 0 || plano.dmcOrigem != 0
                       ? std::to_string(plano.cOrigem) + " / key " + std::to_string(plano.dmcOrigem)
                       : std::string()},
    });

    const auto& lm = plano.listaManutencoes;
    std::cout << "\nMaintenances\n";
    Tabela manutencoes({">Code", "Name", "Frequency", "Starts", ">Days left", ">Meter left", "Technician", "Contract ends",
                        "Order open"});
    for (ULONG i = 0; lm.pManutencoes != nullptr && i < lm.lQtdManutencoes; ++i) {
        const auto& m = lm.pManutencoes[i];
        std::string nome = Texto(m.szNomeManutencao);
        if (nome.empty()) nome = ctx.Erp().Nome("servico", m.lServicoCadastro);
        manutencoes.Linha({std::to_string(m.lCodigoManutencao), nome, Frequencia(ctx, m.frequenciaPS, medidor.lPonteiroUnMedida),
                           FormataData(m.frequenciaPS.dataInicial),
                           std::to_string(static_cast<LONG>(m.lQuantidadeDiasFalta)),  // overdue: negative
                           FormataMoeda(m.vQuantidadeFalta, m.frequenciaPS.lQtdCasasDecimaisMedicao),
                           ctx.Erp().Codigo("usuario", m.lTecnico), FormataData(m.dataFinalContrato),
                           SimNao(m.bMovimentacaoGerada)});
    }
    manutencoes.Imprime(std::cout);

    for (ULONG i = 0; lm.pManutencoes != nullptr && i < lm.lQtdManutencoes; ++i) {
        const auto& m = lm.pManutencoes[i];
        if (m.listaServicos.lQtdServicos == 0 && m.listaProdutos.lQtdProdutos == 0) continue;
        std::cout << "\nMaintenance " << m.lCodigoManutencao << ": services and products\n";
        Tabela itens({"Kind", "Item", "Technician", ">Planned", "Stock places"});
        for (ULONG s = 0; m.listaServicos.pServicos != nullptr && s < m.listaServicos.lQtdServicos; ++s) {
            const auto& sv = m.listaServicos.pServicos[s];
            itens.Linha({"service", ctx.Erp().Codigo("servico", sv.lServico), ctx.Erp().Codigo("usuario", sv.lTecnico),
                         FormataMoeda(sv.vQuantidadePrevista, ctx.Erp().CasasDe("servico", sv.lServico, 2)), ""});
        }
        for (ULONG p = 0; m.listaProdutos.pProdutos != nullptr && p < m.listaProdutos.lQtdProdutos; ++p) {
            const auto& pr = m.listaProdutos.pProdutos[p];
            std::string item = ctx.Erp().Codigo("produto", pr.lProduto);
            for (const ULONG g : {pr.lGrade1, pr.lGrade2, pr.lGrade3})
                if (g != 0) item += " / " + ctx.Erp().Codigo("item_grade", g);
            const unsigned casas = ctx.Erp().CasasDe("produto", pr.lProduto, 2);
            std::string locais;
            for (ULONG l = 0; pr.listaLocal.pLocaisEstoque != nullptr && l < pr.listaLocal.lQtdEstoque; ++l) {
                const auto& local = pr.listaLocal.pLocaisEstoque[l];
                if (!locais.empty()) locais += ", ";
                locais += "place " + std::to_string(local.lPonteiroLocal) + ": " + FormataMoeda(local.vQuantidadeEs, casas);
                if (local.lPonteiroLote != 0) locais += " (lot " + std::to_string(local.lPonteiroLote) + ")";
            }
            itens.Linha({"product", item, ctx.Erp().Codigo("usuario", pr.lTecnico),
                         FormataMoeda(pr.vQuantidadePrevista, casas), locais});
        }
        itens.Imprime(std::cout);
    }

    const auto& lc = plano.listaClientes;
    std::cout << "\nClients\n";
    Tabela clientes({"Client", "City", "Address", "Contact", "From", "To"});
    for (ULONG i = 0; lc.pClientes != nullptr && i < lc.lQtdClientes; ++i) {
        const auto& c = lc.pClientes[i];
        std::string endereco = Texto(c.szEndereco);
        const std::string numero = c.bSemNumero ? std::string("s/n") : Texto(c.szNumero);
        if (!numero.empty()) endereco += ", " + numero;
        const std::string bairro = Texto(c.szBairro);
        if (!bairro.empty()) endereco += " - " + bairro;
        clientes.Linha({ctx.Erp().Codigo("cliente", c.lCliente), ctx.Erp().Codigo("municipio", c.lMunicipio), endereco,
                        Texto(c.szContato), FormataData(c.dataInicial), FormataData(c.dataFinal)});
    }
    clientes.Imprime(std::cout);
}

void ImprimeListaPlanos(Contexto& ctx, const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS* planos, ULONG quantidade) {
    Tabela tabela({">Pos", "Status", "Branch", "Item", "Brand", "Model", "Serial", ">Maint.", "Excluded"});
    for (ULONG i = 0; planos != nullptr && i < quantidade; ++i) {
        const auto& p = planos[i];
        const auto& id = p.idEquipamentoPS;
        tabela.Linha({std::to_string(p.lPonteiroRegistro), Situacao(id.lSituacao), ctx.Erp().Codigo("filial", id.lFilial),
                      Item(ctx, id), ctx.Erp().Codigo("marca", id.lMarca), ctx.Erp().Codigo("modelo", id.lModelo),
                      Texto(id.szNrSerie), std::to_string(p.listaManutencoes.lQtdManutencoes),
                      p.bExcluido ? "yes" : ""});
    }
    tabela.Imprime(std::cout);
}

LONG GravaPlanoDeJson(Contexto& ctx, const nlohmann::json& documento, LONG posicao, const char* operacao) {
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    DeJson(documento, plano, operacao);
    Liberador<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> libera(plano);
    // The position written is the one asked for: 0 saves a new plan whatever
    // the file says it was.
    plano.lPonteiroRegistro = static_cast<ULONG>(posicao);
    ctx.Verifica(ctx.Servico().Grava(&posicao, plano), "Grava");
    return posicao;
}

// Positions of the plans that pass `filtro`.
std::vector<ULONG> BuscaPlanos(Contexto& ctx, const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& filtro) {
    _REG_LISTA_PTRS_CADASTRO_PS lista{};
    Liberador<_REG_LISTA_PTRS_CADASTRO_PS> libera(lista);
    ctx.Verifica(ctx.Servico().BuscaPonteiros(filtro, &lista), "BuscaPonteiros");
    std::vector<ULONG> posicoes;
    if (lista.pPonteiros != nullptr) posicoes.assign(lista.pPonteiros, lista.pPonteiros + lista.lQtdPtrs);
    return posicoes;
}

// Prints the plans at `posicoes` (table or JSON array).
void MostraPlanos(Contexto& ctx, std::vector<ULONG>& posicoes) {
    _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS planos{};
    Liberador<_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS> libera(planos);
    if (!posicoes.empty()) {
        _REG_LISTA_PTRS_CADASTRO_PS pedido{};
        pedido.lQtdPtrs = static_cast<ULONG>(posicoes.size());
        pedido.pPonteiros = posicoes.data();
        ctx.Verifica(ctx.Servico().BuscaRegistros(pedido, &planos), "BuscaRegistros");
    }
    if (ctx.opcoes.json) {
        nlohmann::json saida = nlohmann::json::array();
        for (ULONG i = 0; planos.pRegistros != nullptr && i < planos.lQtdRegistros; ++i)
            saida.push_back(ParaJson(planos.pRegistros[i], "BuscaRegistros"));
        return ImprimeJson(saida);
    }
    ImprimeListaPlanos(ctx, planos.pRegistros, planos.lQtdRegistros);
}

namespace {

struct OpcoesPlanosFind : FiltroPlanos {
    bool ponteiros = false;
};

void Find(Contexto& ctx, OpcoesPlanosFind& o) {
    const _REG_FILTRO_CADASTRO_MANUTENCAO_PS f = MontaFiltroPlanos(o);
    std::vector<ULONG> posicoes = BuscaPlanos(ctx, f);
    if (o.ponteiros) {
        if (ctx.opcoes.json) return ImprimeJson(posicoes);
        for (const ULONG p : posicoes) std::cout << p << '\n';
        return;
    }
    MostraPlanos(ctx, posicoes);
}

void Show(Contexto& ctx, LONG posicao) {
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    Liberador<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> libera(plano);
    ctx.Verifica(ctx.Servico().Le(posicao, &plano), "Le");
    if (ctx.opcoes.json) return ImprimeJson(ParaJson(plano, "Le"));
    ImprimePlano(ctx, plano);
}

struct OpcoesExclude {
    std::string dmc;
    ULONG ponteiro = 0;
    std::string mes;
    unsigned tipoMovimento = 0;
};

void Exclude(Contexto& ctx, const OpcoesExclude& o) {
    REG_QVDMC chave;
    if (!o.dmc.empty()) {
        if (o.ponteiro != 0 || !o.mes.empty()) throw ErroUso("plans exclude: give --dmc or --ponteiro with --mes, not both");
        chave = REG_QVDMC(LeNumero64(o.dmc, "--dmc"));
    } else {
        if (o.ponteiro == 0 || o.mes.empty()) throw ErroUso("plans exclude: give --dmc KEY, or --ponteiro N with --mes YYYY-MM");
        chave.SetDMC(o.ponteiro, static_cast<USHORT>(o.tipoMovimento), LeMesAno(o.mes, "--mes"));
    }
    ctx.Verifica(ctx.Servico().ExcluiManutencoes(chave.Get64()), "ExcluiManutencoes");
    if (ctx.opcoes.json) return ImprimeJson({{"dmc", chave.Get64()}});
    std::cout << "Plans from key " << chave.Get64() << " (record " << chave.GetPonteiro() << ", "
              << FormataMesAno(chave.GetMa()) << ") marked excluded\n";
}

}  // namespace

void RegistraPlanos(CLI::App& app, Contexto& ctx) {
    auto* grupo = app.add_subcommand("plans", "Maintenance plans");
    grupo->require_subcommand(1);

    auto* save = grupo->add_subcommand("save", "Save a plan from a JSON file and print the position written");
    auto arquivo = std::make_shared<std::string>();
    auto posicao = std::make_shared<LONG>(0);
    save->add_option("--file", *arquivo, "JSON file (the plan record), or - for standard input")->required();
    save->add_option("--posicao", *posicao, "Position of the plan to rewrite (0: a new plan)")
        ->check(CLI::Range(0, std::numeric_limits<LONG>::max()));
    save->callback([&ctx, arquivo, posicao] {
        ctx.acao = [&ctx, arquivo, posicao] {
            const LONG escrita = GravaPlanoDeJson(ctx, LeDocumentoJson(*arquivo, "plans save"), *posicao, "plans save");
            if (ctx.opcoes.json) return ImprimeJson({{"lPonteiroRegistro", escrita}});
            std::cout << escrita << '\n';
        };
    });

    auto* show = grupo->add_subcommand("show", "Show the plan at a position");
    auto pos = std::make_shared<LONG>(0);
    show->add_option("POS", *pos, "Position of the plan")->required()->check(CLI::Range(1, std::numeric_limits<LONG>::max()));
    show->callback([&ctx, pos] { ctx.acao = [&ctx, pos] { Show(ctx, *pos); }; });

    auto* find = grupo->add_subcommand("find", "List the plans that pass a filter (no option: every plan)");
    auto o = std::make_shared<OpcoesPlanosFind>();
    AdicionaOpcoesFiltroPlanos(*find, *o);
    find->add_flag("--ponteiros", o->ponteiros, "Positions only");
    find->callback([&ctx, o] { ctx.acao = [&ctx, o] { Find(ctx, *o); }; });

    auto* exclude = grupo->add_subcommand("exclude", "Mark excluded the plans that came from a technical-assistance record");
    auto e = std::make_shared<OpcoesExclude>();
    exclude->add_option("--dmc", e->dmc, "The record's 64-bit key");
    exclude->add_option("--ponteiro", e->ponteiro, "The record's position (with --mes)");
    exclude->add_option("--mes", e->mes, "The record's month (YYYY-MM)");
    exclude->add_option("--tipo-movimento", e->tipoMovimento, "Movement kind of the key (not compared)")
        ->check(CLI::Range(0u, 4095u));
    exclude->callback([&ctx, e] { ctx.acao = [&ctx, e] { Exclude(ctx, *e); }; });
}

}  // namespace zenta::ctl
