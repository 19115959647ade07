// `orders save|show|find|of-maintenance` and `erp close-os`: maintenance
// orders, their service orders and the stock pre-withdrawals the ERP
// stand-in holds for them.
//
// An order key is shown as "MM/YYYY-NNNNNN" (the month of its files and its
// position there) and taken in that form or as the 64-bit number.
#include <cstdio>
#include <cstring>
#include <iostream>

#include "standins/erp/QVAssistecErp.h"
#include "standins/erp/QVComprasErp.h"
#include "standins/erp/QVErpBanco.h"
#include "records/QVCamposRegistro.h"
#include "core/qvdatabase/QVGroupFileBase.h"
#include "platform/CodePage.h"
#include "tools/zentactl/Comandos.h"
#include "tools/zentactl/Opcoes.h"
#include "tools/zentactl/Tabela.h"
#include "values/Calendario.h"
#include "values/QVMesAno.h"

namespace zenta::ctl {

namespace {

std::string Texto(const char* campo, std::size_t tamanho) {
    return Cp1252ParaUtf8(std::string_view(campo, strnlen(campo, tamanho)));
}
template <std::size_t N>
std::string Texto(const char (&campo)[N]) {
    return Texto(campo, N);
}

// The order's texts are kept in Windows-1252: shown through it.
std::string TextoBstr(BSTR texto) { return Cp1252ParaUtf8(BstrParaCp1252(texto)); }

std::string FormataPosicao(USHORT ma, ULONG posicao) {
    char numero[16];
    std::snprintf(numero, sizeof numero, "%06lu", static_cast<unsigned long>(posicao));
    const std::string mes = FormataMesAno(ma);
    return mes.empty() ? std::string(numero) : mes + "-" + numero;
}

std::string FormataChave(REG_QVDMC chave) { return FormataPosicao(chave.GetMa(), chave.GetPonteiro()); }

const char* Situacao(ULONG situacao) {
    switch (situacao) {
        case 0: return "open";
        case 1: return "concluded";
        case 2: return "cancelled";
        default: return "?";
    }
}

std::string Grades(Contexto& ctx, ULONG g1, ULONG g2, ULONG g3) {
    std::string texto;
    for (const ULONG g : {g1, g2, g3})
        if (g != 0) texto += " / " + ctx.Erp().Codigo("item_grade", g);
    return texto;
}

std::string Item(Contexto& ctx, const _REG_MOVIMENTACAO_MANUT_PREV_PS& o) {
    if (o.lEquipamento != 0) return ctx.Erp().Codigo("equipamento", o.lEquipamento);
    return ctx.Erp().Codigo("produto", o.lProduto) + Grades(ctx, o.lPonteiroGrade1, o.lPonteiroGrade2, o.lPonteiroGrade3);
}

void ImprimeListaOrdens(Contexto& ctx, const _REG_MOVIMENTACAO_MANUT_PREV_PS* ordens, ULONG quantidade) {
    Tabela tabela({"Key", "Status", "Branch", "Item", "Serial", ">Plan", ">Maint.", "Name", "Planned", "Saved",
                   ">Version", ">OS"});
    for (ULONG i = 0; ordens != nullptr && i < quantidade; ++i) {
        const auto& o = ordens[i];
        tabela.Linha({FormataChave(REG_QVDMC(o.dmcChave)), Situacao(o.lSituacao), ctx.Erp().Codigo("filial", o.lFilial),
                      Item(ctx, o), Texto(o.szNrSerie), std::to_string(o.lPonteiroCadastro),
                      std::to_string(o.lCodigoManutencao), Texto(o.szNomeManutencao), FormataData(o.dataPrevista),
                      FormataData(o.dataConclusao), std::to_string(o.lVersaoRegistro),
                      std::to_string(o.listaRelacionamentos.lQtdRelacionamentoOS)});
    }
    tabela.Imprime(std::cout);
}

void MostraLista(Contexto& ctx, const _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS& lista, const char* operacao) {
    if (ctx.opcoes.json) {
        nlohmann::json saida = nlohmann::json::array();
        for (ULONG i = 0; lista.pRegistros != nullptr && i < lista.lQtdRegistros; ++i)
            saida.push_back(ParaJson(lista.pRegistros[i], operacao));
        return ImprimeJson(saida);
    }
    ImprimeListaOrdens(ctx, lista.pRegistros, lista.lQtdRegistros);
}

// The stock pre-withdrawals the ERP stand-in holds for the order (its key
// and branch). Only decoration: an unreadable stand-in shows none.
std::vector<REG_ES_PREBAIXAPS> PreBaixas(Contexto& ctx, REG_QVDMC chave, ULONG filial) {
    std::vector<REG_ES_PREBAIXAPS> registros;
    // The stand-in keys them by a 16-bit branch: a wider one holds none.
    if (filial > 0xFFFFu) return registros;
    std::filesystem::path arquivo;
    std::shared_ptr<ErpBanco> banco;
    if (FAILED(ErpBanco::Caminho(ctx.opcoes.EmpresaCp1252(), arquivo)) || !std::filesystem::exists(arquivo) ||
        FAILED(ErpBanco::Compartilhado(arquivo, banco)) ||
        FAILED(banco->LePreBaixas(REG_QVDMC().SetDMC(chave.GetPonteiro(), MOVIMENTO_GERENCIADOR_MANUT_PREV, chave.GetMa()),
                                  static_cast<USHORT>(filial), registros)))
        registros.clear();
    return registros;
}

void ImprimeOrdem(Contexto& ctx, const _REG_MOVIMENTACAO_MANUT_PREV_PS& o, bool leve) {
    const REG_QVDMC chave(o.dmcChave);
    std::cout << "Order " << FormataChave(chave) << " (key " << chave.Get64() << ")\n";
    std::string execucao = FormataData(o.dataInicio);
    if (o.horaInicio != 0) execucao += " " + FormataHora(o.horaInicio);
    if (o.dataFim != 0 || o.horaFim != 0) execucao += " to " + FormataData(o.dataFim) + " " + FormataHora(o.horaFim);
    ImprimeCampos(std::cout, {
        {"Status", Situacao(o.lSituacao)},
        {"Branch", ctx.Erp().Codigo("filial", o.lFilial)},
        {"Client", ctx.Erp().Codigo("cliente", o.lCliente)},
        {"Plan", std::to_string(o.lPonteiroCadastro)},
        {"Maintenance", std::to_string(o.lCodigoManutencao) + " " + Texto(o.szNomeManutencao)},
        {"Item", Item(ctx, o)},
        {"Brand", ctx.Erp().Codigo("marca", o.lMarca)},
        {"Model", ctx.Erp().Codigo("modelo", o.lModelo)},
        {"Type", ctx.Erp().Codigo("tipo_equipamento", o.lTipo)},
        {"Serial number", Texto(o.szNrSerie)},
        {"Technician", ctx.Erp().Codigo("usuario", o.lTecnico)},
        {"Planned", FormataData(o.dataPrevista)},
        {"Stop", Texto(o.szParadaManutencao)},
        {"Planned hours", o.horaDuracao.int64 != 0 ? FormataMoeda(o.horaDuracao, 2) : std::string()},
        {"Meter", o.vQuantidadeMedicao.int64 != 0 || o.vFrequenciaMedicao.int64 != 0
                      ? FormataMoeda(o.vQuantidadeMedicao, o.lQtdCasasDecimais) + " (every " +
                            FormataMoeda(o.vFrequenciaMedicao, o.lQtdCasasDecimais) + ")"
                      : std::string()},
        {"Executed", execucao},
        {"Postponed to", FormataData(o.dataProrrogacao) +
                             (o.szMotivoProrrogacao[0] != '\0' ? ": " + Texto(o.szMotivoProrrogacao) : std::string())},
        {"Cancelled on", FormataData(o.dataCancelamento) +
                             (o.szMotivoCancelamento[0] != '\0' ? ": " + Texto(o.szMotivoCancelamento) : std::string())},
        {"Saved on", FormataData(o.dataConclusao)},
        {"Saved by", ctx.Erp().Codigo("usuario", o.lUsuarioConclusao)},
        {"Version", std::to_string(o.lVersaoRegistro)},
        {"Service order", o.bGerarOS ? std::string("raised on conclusion") : std::string("no")},
        {"Observation", TextoBstr(o.bsObservacao)},
        {"Occurrence", TextoBstr(o.bsOcorrencia)},
    });
    if (leve) return;

    std::cout << "\nProducts\n";
    Tabela produtos({"Product", "Technician", ">Planned", ">Used", "Purchase", "Stock places"});
    for (ULONG i = 0; o.listaProdutos.pProdutos != nullptr && i < o.listaProdutos.lQtdProdutos; ++i) {
        const auto& p = o.listaProdutos.pProdutos[i];
        const unsigned casas = ctx.Erp().CasasDe("produto", p.lProduto, 2);
        std::string locais;
        for (ULONG l = 0; p.listaLocal.pLocaisEstoque != nullptr && l < p.listaLocal.lQtdEstoque; ++l) {
            const auto& local = p.listaLocal.pLocaisEstoque[l];
            if (!locais.empty()) locais += ", ";
            locais += "place " + std::to_string(local.lPonteiroLocal) + ": " + FormataMoeda(local.vQuantidadeEs, casas);
            if (local.lPonteiroLote != 0) locais += " (lot " + std::to_string(local.lPonteiroLote) + ")";
        }
        produtos.Linha({ctx.Erp().Codigo("produto", p.lProduto) + Grades(ctx, p.lGrade1, p.lGrade2, p.lGrade3),
                        ctx.Erp().Codigo("usuario", p.lTecnico), FormataMoeda(p.vQuantidadePrevista, casas),
                        FormataMoeda(p.vQuantidadeUtilizada, casas), SimNao(p.bGerarSolicitacaoCompras), locais});
    }
    produtos.Imprime(std::cout);

    std::cout << "\nServices\n";
    Tabela servicos({"Service", "Technician", ">Planned", ">Used", "Purchase"});
    for (ULONG i = 0; o.listaServicos.pServicos != nullptr && i < o.listaServicos.lQtdServicos; ++i) {
        const auto& s = o.listaServicos.pServicos[i];
        const unsigned casas = ctx.Erp().CasasDe("servico", s.lServico, 2);
        servicos.Linha({ctx.Erp().Codigo("servico", s.lServico), ctx.Erp().Codigo("usuario", s.lTecnico),
                        FormataMoeda(s.vQuantidadePrevista, casas), FormataMoeda(s.vQuantidadeUtilizada, casas),
                        SimNao(s.bGerarSolicitacaoCompras)});
    }
    servicos.Imprime(std::cout);

    std::cout << "\nService orders\n";
    Tabela os({"Service order", ">Pointer"});
    const auto& lr = o.listaRelacionamentos;
    for (ULONG i = 0; lr.pRelacionamentos != nullptr && i < lr.lQtdRelacionamentoOS; ++i) {
        const auto& r = lr.pRelacionamentos[i];
        os.Linha({FormataPosicao(r.maOS, r.lPtrOS), std::to_string(r.lPtrOS)});
    }
    os.Imprime(std::cout);

    std::cout << "\nPurchase requests\n";
    Tabela compras({">Key", "May change", ">Items"});
    const auto& lc = o.listaIntegracoesCompras;
    std::vector<SolicitacaoCompraErp> solicitacoes;
    ListaSolicitacoesCompraErp(ctx.opcoes.EmpresaCp1252(), 0, solicitacoes);
    for (ULONG i = 0; lc.pDMC != nullptr && i < lc.lQtdDMC; ++i) {
        const SolicitacaoCompraErp* s = nullptr;
        for (const auto& candidata : solicitacoes)
            if (candidata.chave == lc.pDMC[i]) s = &candidata;
        compras.Linha({std::to_string(lc.pDMC[i]), s == nullptr ? "(gone)" : SimNao(s->podeAlterar ? 1 : 0),
                       s == nullptr ? "" : std::to_string(s->itens.size())});
    }
    compras.Imprime(std::cout);

    std::cout << "\nStock pre-withdrawals\n";
    Tabela baixas({"Product", ">Place", ">Quantity", ">Unit value", ">Lot"});
    for (const auto& b : PreBaixas(ctx, chave, o.lFilial)) {
        const unsigned casas = ctx.Erp().CasasDe("produto", b.lProduto, 2);
        baixas.Linha({ctx.Erp().Codigo("produto", b.lProduto) + Grades(ctx, b.usGrade1, b.usGrade2, b.usGrade3),
                      std::to_string(b.usLocal), FormataMoeda(b.vQuantidade, casas), FormataMoeda(b.vPrecoUnitario, 2),
                      b.lPonteiroLote != 0 ? std::to_string(b.lPonteiroLote) : std::string()});
    }
    baixas.Imprime(std::cout);
}

nlohmann::json ChaveJson(REG_QVDMC chave) { return {{"dmcChave", chave.Get64()}, {"chave", FormataChave(chave)}}; }

void Show(Contexto& ctx, const std::string& texto, bool leve) {
    const REG_QVDMC chave = LeChaveOrdem(texto, "orders show");
    _REG_MOVIMENTACAO_MANUT_PREV_PS ordem{};
    Liberador<_REG_MOVIMENTACAO_MANUT_PREV_PS> libera(ordem);
    const char* operacao = leve ? "LeMovimentacaoLight" : "LeMovimentacao";
    const HRESULT hr = leve ? ctx.Servico().LeMovimentacaoLight(chave.Get64(), &ordem)
                            : ctx.Servico().LeMovimentacao(chave.Get64(), &ordem);
    // The engine keeps no message for a month without orders: say so.
    if (hr == E_QVDATABASE_MEMBRO_GRUPO_NAO_EXISTE)
        throw FalhaOperacao(operacao, hr, "no orders were saved in " + FormataMesAno(chave.GetMa()));
    ctx.Verifica(hr, operacao);
    if (ctx.opcoes.json) {
        // A light read leaves the lists empty while their counts stay stored:
        // shown as read, the record has no JSON form.
        if (leve) {
            if (ordem.listaProdutos.pProdutos == nullptr) ordem.listaProdutos.lQtdProdutos = 0;
            if (ordem.listaServicos.pServicos == nullptr) ordem.listaServicos.lQtdServicos = 0;
            if (ordem.listaRelacionamentos.pRelacionamentos == nullptr) ordem.listaRelacionamentos.lQtdRelacionamentoOS = 0;
            if (ordem.listaIntegracoesCompras.pDMC == nullptr) ordem.listaIntegracoesCompras.lQtdDMC = 0;
        }
        return ImprimeJson(ParaJson(ordem, operacao));
    }
    ImprimeOrdem(ctx, ordem, leve);
}

void Find(Contexto& ctx, FiltroOrdens& o) {
    const _REG_MOVIMENTACAO_FILTRO_PS f = MontaFiltroOrdens(o, "orders find");

    _REG_LISTA_PONTEIROS_DATA_PS ponteiros{};
    Liberador<_REG_LISTA_PONTEIROS_DATA_PS> liberaPonteiros(ponteiros);
    ctx.Verifica(ctx.Servico().BuscaPonteirosMovimentacao(f, &ponteiros), "BuscaPonteirosMovimentacao");
    _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS lista{};
    Liberador<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS> liberaLista(lista);
    if (ponteiros.lQtdPonteiros > 0)
        ctx.Verifica(ctx.Servico().BuscaRegistrosMovimentacao(ponteiros, &lista), "BuscaRegistrosMovimentacao");
    MostraLista(ctx, lista, "BuscaRegistrosMovimentacao");
}

void DaManutencao(Contexto& ctx, ULONG codigo) {
    _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS lista{};
    Liberador<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS> libera(lista);
    ctx.Verifica(ctx.Servico().BuscaMovimentosPelaManutencao(codigo, &lista), "BuscaMovimentosPelaManutencao");
    MostraLista(ctx, lista, "BuscaMovimentosPelaManutencao");
}

void FechaOS(Contexto& ctx, const std::string& texto) {
    USHORT ma = 0;
    ULONG ptr = 0;
    if (!LeMesAnoPosicao(texto, ma, ptr)) ChaveInvalida("erp close-os", texto, "a service order (MM/YYYY-N)");
    const HRESULT hr = FechaOrdemServicoErp(ctx.opcoes.EmpresaCp1252(), ma, ptr);
    if (FAILED(hr)) throw FalhaOperacao("erp close-os", hr, "the service order could not be closed");
    if (hr == S_FALSE)
        throw FalhaOperacao("erp close-os", E_INVALIDARG, "the company has no service order " + FormataPosicao(ma, ptr));
    if (ctx.opcoes.json) return ImprimeJson({{"maOS", ma}, {"lPtrOS", ptr}, {"fechada", true}});
    std::cout << "Service order " << FormataPosicao(ma, ptr) << " closed\n";
}

// The purchasing stand-in's requests (of one order, or all), with their items.
void Solicitacoes(Contexto& ctx, const std::string& ordem) {
    ULONGLONG origem = 0;
    if (!ordem.empty()) origem = LeChaveOrdem(ordem, "erp purchases").Get64();
    std::vector<SolicitacaoCompraErp> lista;
    const HRESULT hr = ListaSolicitacoesCompraErp(ctx.opcoes.EmpresaCp1252(), origem, lista);
    if (FAILED(hr)) throw FalhaOperacao("erp purchases", hr, "the purchase requests could not be read");
    if (ctx.opcoes.json) {
        nlohmann::json saida = nlohmann::json::array();
        for (const auto& s : lista) {
            nlohmann::json itens = nlohmann::json::array();
            for (const auto& item : s.itens)
                itens.push_back({{"cTipo", std::string(1, item.cTipo)},
                                 {"lPonteiroProdutoServico", item.lPonteiroProdutoServico},
                                 {"usGrade1", item.usGrade1},
                                 {"usGrade2", item.usGrade2},
                                 {"usGrade3", item.usGrade3},
                                 {"vQuantidade", FormataMoeda(item.vQuantidade, 4)},
                                 {"vSaldoEstoque", FormataMoeda(item.vSaldoEstoque, 4)},
                                 {"vPontoPedido", FormataMoeda(item.vPontoPedido, 4)},
                                 {"vEstoqueMinimo", FormataMoeda(item.vEstoqueMinimo, 4)},
                                 {"usUnidadeMedida", item.usUnidadeMedida}});
            saida.push_back({{"chave", s.chave},
                             {"podeAlterar", s.podeAlterar},
                             {"dmcOrigem", s.registro.dmcOrigem},
                             {"szOrigem", Cp1252ParaUtf8(std::string(zenta::TextoCampo(s.registro.szOrigem)))},
                             {"usFilial", s.registro.usFilial},
                             {"itens", itens}});
        }
        return ImprimeJson(saida);
    }
    Tabela tabela({">Key", "Order", "Origin", "Date", ">Branch", "May change", "Item", ">Quantity"});
    for (const auto& s : lista) {
        const std::string origemTexto = s.registro.dmcOrigem == 0 ? "" : FormataChave(REG_QVDMC(s.registro.dmcOrigem));
        if (s.itens.empty())
            tabela.Linha({std::to_string(s.chave), origemTexto, std::string(zenta::TextoCampo(s.registro.szOrigem)),
                          FormataData(s.registro.dataSolicitacao.GetData()), std::to_string(s.registro.usFilial),
                          SimNao(s.podeAlterar ? 1 : 0), "(none)", ""});
        for (std::size_t i = 0; i < s.itens.size(); ++i) {
            const auto& item = s.itens[i];
            const bool produto = item.cTipo == 'P';
            const std::string nome = produto ? ctx.Erp().Codigo("produto", item.lPonteiroProdutoServico) +
                                                   Grades(ctx, item.usGrade1, item.usGrade2, item.usGrade3)
                                             : ctx.Erp().Codigo("servico", item.lPonteiroProdutoServico);
            const unsigned casas =
                ctx.Erp().CasasDe(produto ? "produto" : "servico", item.lPonteiroProdutoServico, 2);
            tabela.Linha({i == 0 ? std::to_string(s.chave) : "", i == 0 ? origemTexto : "",
                          i == 0 ? std::string(zenta::TextoCampo(s.registro.szOrigem)) : "",
                          i == 0 ? FormataData(s.registro.dataSolicitacao.GetData()) : "",
                          i == 0 ? std::to_string(s.registro.usFilial) : "", i == 0 ? SimNao(s.podeAlterar ? 1 : 0) : "",
                          nome, FormataMoeda(item.vQuantidade, casas)});
        }
    }
    tabela.Imprime(std::cout);
}

void TomaSolicitacao(Contexto& ctx, const std::string& texto) {
    const ULONGLONG chave = LeNumero64(texto, "KEY");
    const HRESULT hr = TornaSolicitacaoInalteravelErp(ctx.opcoes.EmpresaCp1252(), chave);
    if (FAILED(hr)) throw FalhaOperacao("erp take-request", hr, "the purchase request could not be taken over");
    if (hr == S_FALSE)
        throw FalhaOperacao("erp take-request", E_INVALIDARG, "the company has no purchase request " + texto);
    if (ctx.opcoes.json) return ImprimeJson({{"chave", chave}, {"podeAlterar", false}});
    std::cout << "Purchase request " << chave << " taken over by purchasing: it no longer changes\n";
}

}  // namespace

REG_QVDMC GravaOrdemDeJson(Contexto& ctx, const nlohmann::json& documento, const char* operacao) {
    _REG_MOVIMENTACAO_MANUT_PREV_PS ordem{};
    DeJson(documento, ordem, operacao);
    Liberador<_REG_MOVIMENTACAO_MANUT_PREV_PS> libera(ordem);
    // A key the file carries must be an order's: position 0 (a new order,
    // with or without its month) or a stored order's full key.
    const REG_QVDMC chave(ordem.dmcChave);
    if (ordem.dmcChave != 0 && (chave.GetTipoMovimento() != MOVIMENTO_GERENCIADOR_MANUT_PREV ||
                                (chave.GetPonteiro() != 0 && chave.GetMa() == 0)))
        throw FalhaOperacao(operacao, E_INVALIDARG,
                            "campo dmcChave: " + std::to_string(ordem.dmcChave) + " is not the key of a maintenance order");
    ULONGLONG gravada = 0;
    ctx.Verifica(ctx.Servico().GravaMovimentacao(ordem, &gravada), "GravaMovimentacao");
    return REG_QVDMC(gravada);
}

void MostraOrdens(Contexto& ctx) {
    FiltroOrdens todas;
    Find(ctx, todas);
}

void MostraOrdem(Contexto& ctx, REG_QVDMC chave) { Show(ctx, std::to_string(chave.Get64()), false); }

std::string TextoChaveOrdem(REG_QVDMC chave) { return FormataChave(chave); }

void RegistraOrdens(CLI::App& app, Contexto& ctx) {
    auto* grupo = app.add_subcommand("orders", "Maintenance orders");
    grupo->require_subcommand(1);

    auto* save = grupo->add_subcommand(
        "save", "Save an order from a JSON file and print its key (dmcChave 0 or absent: a new order)");
    auto arquivo = std::make_shared<std::string>();
    save->add_option("--file", *arquivo, "JSON file (the order record), or - for standard input")->required();
    save->callback([&ctx, arquivo] {
        ctx.acao = [&ctx, arquivo] {
            const REG_QVDMC chave = GravaOrdemDeJson(ctx, LeDocumentoJson(*arquivo, "orders save"), "orders save");
            if (ctx.opcoes.json) return ImprimeJson(ChaveJson(chave));
            std::cout << FormataChave(chave) << '\n';
        };
    });

    auto* show = grupo->add_subcommand("show", "Show an order with its lists, service orders and stock pre-withdrawals");
    auto chave = std::make_shared<std::string>();
    auto leve = std::make_shared<bool>(false);
    show->add_option("KEY", *chave, "Order key: MM/YYYY-N or the 64-bit number")->required();
    show->add_flag("--light", *leve, "The order record only (no lists, texts or links)");
    show->callback([&ctx, chave, leve] { ctx.acao = [&ctx, chave, leve] { Show(ctx, *chave, *leve); }; });

    auto* find = grupo->add_subcommand("find", "List the orders that pass a filter (no option: every order)");
    auto o = std::make_shared<FiltroOrdens>();
    AdicionaOpcoesFiltroOrdens(*find, *o);
    find->callback([&ctx, o] { ctx.acao = [&ctx, o] { Find(ctx, *o); }; });

    auto* manutencao = grupo->add_subcommand("of-maintenance", "List the orders of a maintenance, oldest first");
    auto codigo = std::make_shared<ULONG>(0);
    manutencao->add_option("CODE", *codigo, "Maintenance code")->required()->check(CLI::Range(1ul, 0xFFFFFFFFul));
    manutencao->callback([&ctx, codigo] { ctx.acao = [&ctx, codigo] { DaManutencao(ctx, *codigo); }; });

    // `erp close-os` belongs to the ERP stand-in's group (registered first).
    CLI::App* erp = app.get_subcommand("erp");
    auto* fecha = erp->add_subcommand("close-os", "Close a service order, as the technical-assistance module does");
    auto os = std::make_shared<std::string>();
    fecha->add_option("OS", *os, "Service order: MM/YYYY-N")->required();
    fecha->callback([&ctx, os] { ctx.acao = [&ctx, os] { FechaOS(ctx, *os); }; });

    auto* pedidos = erp->add_subcommand("purchases", "List the purchasing module's purchase requests with their items");
    auto ordem = std::make_shared<std::string>();
    pedidos->add_option("--ordem", *ordem, "Only those of one maintenance order (MM/YYYY-N or the 64-bit key)");
    pedidos->callback([&ctx, ordem] { ctx.acao = [&ctx, ordem] { Solicitacoes(ctx, *ordem); }; });

    auto* toma = erp->add_subcommand(
        "take-request", "Take a purchase request over, as purchasing does: it may no longer change or be deleted");
    auto pedido = std::make_shared<std::string>();
    toma->add_option("KEY", *pedido, "Purchase request key (the 64-bit number)")->required();
    toma->callback([&ctx, pedido] { ctx.acao = [&ctx, pedido] { TomaSolicitacao(ctx, *pedido); }; });
}

}  // namespace zenta::ctl
