// `verify`, `notices` and `plans counters`: the daily due-date verification,
// the calling user's new orders, and the counters of the plans'
// maintenances with whether each is due.
//
// The service runs the day's verification when it starts (once per day and
// company): `verify` starts it, under another day with --data.
#include <cstring>
#include <iostream>
#include <limits>

#include "logic/BaseManutencaoPreventiva.h"
#include "platform/CodePage.h"
#include "platform/rpc/QVAtivacao.h"
#include "tools/zentactl/Comandos.h"
#include "tools/zentactl/Tabela.h"
#include "tools/zentactl/Valores.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/RelogioSistema.h"

namespace zenta::ctl {

namespace {

template <std::size_t N>
std::string Texto(const char (&campo)[N]) {
    return Cp1252ParaUtf8(std::string_view(campo, strnlen(campo, N)));
}

// "YYYY-MM-DD" for JSON; null for no date.
nlohmann::json DataJson(ULONG dia) {
    if (dia == 0) return nullptr;
    return REG_QVDMA(dia).Formata(REG_QVDMA::ESTILO_AAAAMD, '-');
}

// Currency for JSON: a decimal text with a point ("-12.5").
std::string MoedaJson(CY valor) {
    std::string texto = FormataMoeda(valor, 4);
    for (char& c : texto)
        if (c == ',') c = '.';
    while (texto.find('.') != std::string::npos && (texto.back() == '0' || texto.back() == '.')) {
        const bool ponto = texto.back() == '.';
        texto.pop_back();
        if (ponto) break;
    }
    return texto;
}

std::string Chave(ULONGLONG dmc) {
    const REG_QVDMC chave(dmc);
    char numero[16];
    std::snprintf(numero, sizeof numero, "%06lu", static_cast<unsigned long>(chave.GetPonteiro()));
    return FormataMesAno(chave.GetMa()) + "-" + numero;
}

std::string Item(Contexto& ctx, ULONG equipamento, ULONG produto) {
    return equipamento != 0 ? ctx.Erp().Codigo("equipamento", equipamento) : ctx.Erp().Codigo("produto", produto);
}

void ImprimeOrdens(Contexto& ctx, const _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS& lista) {
    Tabela tabela({"Key", "Item", "Serial", ">Plan", ">Maint.", "Name", "Client", "Technician", "Planned"});
    for (ULONG i = 0; lista.pRegistros != nullptr && i < lista.lQtdRegistros; ++i) {
        const auto& o = lista.pRegistros[i];
        tabela.Linha({Chave(o.dmcChave), Item(ctx, o.lEquipamento, o.lProduto), Texto(o.szNrSerie),
                      std::to_string(o.lPonteiroCadastro), std::to_string(o.lCodigoManutencao),
                      Texto(o.szNomeManutencao), ctx.Erp().Codigo("cliente", o.lCliente),
                      ctx.Erp().Codigo("usuario", o.lTecnico), FormataData(o.dataPrevista)});
    }
    tabela.Imprime(std::cout);
}

nlohmann::json OrdensJson(const _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS& lista, const char* operacao) {
    nlohmann::json saida = nlohmann::json::array();
    for (ULONG i = 0; lista.pRegistros != nullptr && i < lista.lQtdRegistros; ++i)
        saida.push_back(ParaJson(lista.pRegistros[i], operacao));
    return saida;
}

// ---- verify ---------------------------------------------------------------------------------

void Verify(Contexto& ctx, const std::string& data) {
    if (!data.empty()) {
        // Only a service in this process runs on this process's clock: a
        // local server would verify its own today.
        if (!ctx.opcoes.inproc && rpc::TemServidorLocal(CLSID_QVGE_ManutencaoPreventiva))
            throw ErroUso("verify --data: the local server verifies its own today; use --inproc to verify another day");
        // The process's clock stands on that day (at the current time)
        // before the service starts: its start-up verifies that day.
        const REG_QVDMA dia(LeData(data, "--data"));
        const RelogioSistema::Instante agora = RelogioSistema::Agora();
        RelogioSistema::DefineInstanteFixo(
            {dia.GetAno(), dia.GetMes(), dia.GetDia(), agora.hora, agora.minuto, agora.segundo});
    }
    IQVGE_ManutencaoPreventiva& servico = ctx.Servico();
    _REG_CADASTRO_PROPRIEDADES_PS propriedades{};
    ctx.Verifica(servico.LePropriedades(&propriedades), "LePropriedades");

    // The orders planned for today: the verification's, and any other.
    const ULONG hoje = REG_QVDMA::Hoje().GetData();
    _REG_MOVIMENTACAO_FILTRO_PS filtro{};
    filtro.lTipoIdentificacao = 2;
    filtro.dataInicialPeriodo = hoje - 1;  // both bounds excluded
    filtro.dataFinalPeriodo = hoje + 1;
    _REG_LISTA_PONTEIROS_DATA_PS ponteiros{};
    Liberador<_REG_LISTA_PONTEIROS_DATA_PS> liberaPonteiros(ponteiros);
    ctx.Verifica(servico.BuscaPonteirosMovimentacao(filtro, &ponteiros), "BuscaPonteirosMovimentacao");
    _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS ordens{};
    Liberador<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS> liberaOrdens(ordens);
    ctx.Verifica(servico.BuscaRegistrosMovimentacao(ponteiros, &ordens), "BuscaRegistrosMovimentacao");

    if (ctx.opcoes.json)
        return ImprimeJson({{"hoje", DataJson(hoje)},
                            {"dataUltimaVerificacao", DataJson(propriedades.dataUltimaVerificacaoMedicao)},
                            {"ordens", OrdensJson(ordens, "verify")}});
    std::cout << "Verified on " << FormataData(propriedades.dataUltimaVerificacaoMedicao) << " (today "
              << FormataData(hoje) << ")\nOrders planned for today:\n";
    ImprimeOrdens(ctx, ordens);
}

// ---- notices --------------------------------------------------------------------------------

void Notices(Contexto& ctx) {
    _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS ordens{};
    Liberador<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS> libera(ordens);
    ctx.Verifica(ctx.Servico().BuscaMovimentacoesDiarias(&ordens), "BuscaMovimentacoesDiarias");
    if (ctx.opcoes.json) return ImprimeJson(OrdensJson(ordens, "notices"));
    ImprimeOrdens(ctx, ordens);
}

// ---- plans counters ---------------------------------------------------------------------------

struct OpcoesContadores {
    ULONG codigo = 0;  // one maintenance
    LONG plano = 0;    // one plan
};

// The state of one maintenance as the service would judge it today with the
// meter where it stands.
struct Contagem {
    bool bAberta = false;
    bool bVencida = false;
};

Contagem Avalia(Contexto& ctx, const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano,
                const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m) {
    _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS ordens{};
    Liberador<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS> libera(ordens);
    ctx.Verifica(ctx.Servico().BuscaMovimentosPelaManutencao(m.lCodigoManutencao, &ordens),
                 "BuscaMovimentosPelaManutencao");
    Contagem c;
    ULONG dataRearme = 0;
    // Any open order blocks; days count from the latest finished one.
    for (ULONG i = 0; ordens.pRegistros != nullptr && i < ordens.lQtdRegistros; ++i) {
        const auto& ordem = ordens.pRegistros[i];
        if (ordem.lSituacao == 0) c.bAberta = true;
        if ((ordem.lSituacao == 1 || ordem.lSituacao == 2) && ordem.dataConclusao > dataRearme)
            dataRearme = ordem.dataConclusao;
    }
    const ULONG hoje = REG_QVDMA::Hoje().GetData();
    const auto& medidor = plano.idEquipamentoPS.regMedidorAtual;
    const ULONG tipo = m.frequenciaPS.lTipoFrequencia;
    const bool bTempo = tipo != 3 && PassaTesteTempo(m, hoje, DataBaseContagem(m, dataRearme));
    const bool bMedicao = tipo != 2 && PassaTesteMedicao(m, medidor, medidor.vQuantidadeAtual, hoje);
    c.bVencida = plano.idEquipamentoPS.lSituacao == 1 && !c.bAberta && ManutencaoVencida(m, bTempo, bMedicao);
    return c;
}

void Contadores(Contexto& ctx, const OpcoesContadores& o) {
    IQVGE_ManutencaoPreventiva& servico = ctx.Servico();
    _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS planos{};
    Liberador<_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS> liberaPlanos(planos);
    {
        _REG_FILTRO_CADASTRO_MANUTENCAO_PS filtro{};
        filtro.lTipoIdentificacao = 2;
        filtro.lPonteiroRegistro = static_cast<ULONG>(o.plano);
        _REG_LISTA_PTRS_CADASTRO_PS ponteiros{};
        Liberador<_REG_LISTA_PTRS_CADASTRO_PS> liberaPonteiros(ponteiros);
        ctx.Verifica(servico.BuscaPonteiros(filtro, &ponteiros), "BuscaPonteiros");
        if (o.plano != 0 && ponteiros.lQtdPtrs == 0)
            throw FalhaOperacao("plans counters", E_INVALIDARG, "there is no plan at position " + std::to_string(o.plano));
        ctx.Verifica(servico.BuscaRegistros(ponteiros, &planos), "BuscaRegistros");
    }

    nlohmann::json saida = nlohmann::json::array();
    Tabela tabela({">Plan", ">Maint.", "Name", ">Kind", ">Days to run", "Last count", ">Qty to run", "Order",
                   "Counting", "Due"});
    bool bAchou = false;
    for (ULONG p = 0; planos.pRegistros != nullptr && p < planos.lQtdRegistros; ++p) {
        const auto& plano = planos.pRegistros[p];
        for (ULONG i = 0; plano.listaManutencoes.pManutencoes != nullptr && i < plano.listaManutencoes.lQtdManutencoes;
             ++i) {
            const auto& m = plano.listaManutencoes.pManutencoes[i];
            if (o.codigo != 0 && m.lCodigoManutencao != o.codigo) continue;
            bAchou = true;
            const Contagem c = Avalia(ctx, plano, m);
            const LONG dias = static_cast<LONG>(m.lQuantidadeDiasFalta);
            if (ctx.opcoes.json) {
                saida.push_back({{"lPonteiroCadastro", plano.lPonteiroRegistro},
                                 {"lCodigoManutencao", m.lCodigoManutencao},
                                 {"szNomeManutencao", Texto(m.szNomeManutencao)},
                                 {"lTipoFrequencia", m.frequenciaPS.lTipoFrequencia},
                                 {"lQuantidadeDiasFalta", dias},
                                 {"dataUltimaVerificacaoMedicao", DataJson(m.dataUltimaVerificacaoMedicao)},
                                 {"vQuantidadeFalta", MoedaJson(m.vQuantidadeFalta)},
                                 {"bMovimentacaoGerada", m.bMovimentacaoGerada != 0},
                                 {"bTemMedicaoInformada", m.bTemMedicaoInformada != 0},
                                 {"ordemAberta", c.bAberta},
                                 {"vencida", c.bVencida}});
                continue;
            }
            const ULONG tipo = m.frequenciaPS.lTipoFrequencia;
            tabela.Linha({std::to_string(plano.lPonteiroRegistro), std::to_string(m.lCodigoManutencao),
                          Texto(m.szNomeManutencao), std::to_string(tipo),
                          tipo == 3 ? std::string() : std::to_string(dias),
                          FormataData(m.dataUltimaVerificacaoMedicao),
                          tipo == 2 ? std::string() : FormataMoeda(m.vQuantidadeFalta, m.frequenciaPS.lQtdCasasDecimaisMedicao),
                          m.bMovimentacaoGerada != 0 ? "generated" : "", SimNao(m.bTemMedicaoInformada),
                          c.bAberta ? "open order" : SimNao(c.bVencida)});
        }
    }
    if (o.codigo != 0 && !bAchou)
        throw FalhaOperacao("plans counters", E_INVALIDARG, "no plan has maintenance " + std::to_string(o.codigo));
    if (ctx.opcoes.json) return ImprimeJson(saida);
    tabela.Imprime(std::cout);
}

}  // namespace

void RegistraVerificacao(CLI::App& app, Contexto& ctx) {
    auto* verify = app.add_subcommand("verify", "Run the daily due-date verification (once per day and company)");
    auto data = std::make_shared<std::string>();
    verify->add_option("--data", *data, "Verify as on this day (YYYY-MM-DD): the clock of this run stands on it");
    verify->callback([&ctx, data] { ctx.acao = [&ctx, data] { Verify(ctx, *data); }; });

    auto* notices = app.add_subcommand("notices", "The calling user's new orders of the day (each shown once)");
    notices->callback([&ctx] { ctx.acao = [&ctx] { Notices(ctx); }; });

    // `plans counters` belongs to the plans group (registered first).
    CLI::App* planos = app.get_subcommand("plans");
    auto* counters = planos->add_subcommand("counters", "The maintenances' counters and whether each is due");
    auto o = std::make_shared<OpcoesContadores>();
    counters->add_option("CODE", o->codigo, "One maintenance code")->check(CLI::Range(1ul, 0xFFFFFFFFul));
    counters->add_option("--plano", o->plano, "The maintenances of the plan at this position")
        ->check(CLI::Range(1, std::numeric_limits<LONG>::max()));
    counters->callback([&ctx, o] {
        if (o->codigo != 0 && o->plano != 0) throw ErroUso("plans counters: give CODE or --plano, not both");
        ctx.acao = [&ctx, o] { Contadores(ctx, *o); };
    });
}

}  // namespace zenta::ctl
