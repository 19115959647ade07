// `report plans|orders`: the service's two reports, written to a file.
//
//   zentactl report plans  [plan filter options]  [--model NAME] [--out FILE]
//   zentactl report orders [order filter options] [--model NAME] [--out FILE]
//
// The filter options are those of `plans find` and `orders find`. NAME is a
// model of $ZENTA_HOME/relatorios (NAME.modelo); without one every field is
// shown. FILE defaults to relatorio-planos.pdf / relatorio-ordens.pdf (.csv
// when the model writes CSV) in the current directory.
#include <cstring>
#include <filesystem>
#include <iostream>
#include <limits>
#include <memory>

#include "standins/relatorio/ModeloRelatorio.h"
#include "platform/CodePage.h"
#include "tools/zentactl/Comandos.h"
#include "tools/zentactl/Opcoes.h"
#include "tools/zentactl/Valores.h"

namespace zenta::ctl {

namespace {

namespace fs = std::filesystem;

constexpr HRESULT kSemRegistros = static_cast<HRESULT>(0x000406C2);

struct OpcoesRelatorio {
    std::string modelo;
    std::string saida;
};

struct LiberaBstr {
    void operator()(OLECHAR* b) const { SysFreeString(b); }
};
using BstrPtr = std::unique_ptr<OLECHAR, LiberaBstr>;

// A UTF-8 text as a BSTR (UTF-16).
BstrPtr ParaBstr(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::u16string texto(static_cast<std::size_t>(n > 0 ? n : 0), u'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), texto.data(), n);
    BstrPtr b(SysAllocStringLen(texto.data(), static_cast<UINT>(texto.size())));
    if (!b) throw std::bad_alloc();
    return b;
}

// The absolute path of the report file: --out, else the default name with
// the extension of the model's format.
fs::path Destino(const OpcoesRelatorio& o, const char* nomePadrao) {
    if (!o.saida.empty()) return fs::absolute(fs::path(o.saida));
    ModeloRelatorio modelo;
    std::string erro;
    const bool csv = SUCCEEDED(CarregaModelo(o.modelo, modelo, erro)) && modelo.formato == FormatoSaidaRelatorio::Csv;
    return fs::absolute(fs::path(std::string(nomePadrao) + (csv ? ".csv" : ".pdf")));
}

void Informa(Contexto& ctx, HRESULT hr, const fs::path& destino, const char* nada) {
    if (ctx.opcoes.json) {
        ImprimeJson({{"arquivo", hr == kSemRegistros ? nlohmann::json(nullptr) : nlohmann::json(destino.string())},
                     {"registros", hr != kSemRegistros}});
        return;
    }
    if (hr == kSemRegistros) {
        std::cout << nada << "; no report written\n";
        return;
    }
    std::cout << "Report written to " << destino.string() << '\n';
}

struct OpcoesPlanos : FiltroPlanos {
    OpcoesRelatorio relatorio;
};

void RelatorioPlanos(Contexto& ctx, OpcoesPlanos& o) {
    const _REG_FILTRO_CADASTRO_MANUTENCAO_PS f = MontaFiltroPlanos(o);
    const fs::path destino = Destino(o.relatorio, "relatorio-planos");
    const HRESULT hr = GeraRelatorioPlanos(ctx, f, o.relatorio.modelo, destino.string());
    Informa(ctx, hr, destino, "No plan matches the filter");
}

struct OpcoesOrdens : FiltroOrdens {
    OpcoesRelatorio relatorio;
};

void RelatorioOrdens(Contexto& ctx, OpcoesOrdens& o) {
    const _REG_MOVIMENTACAO_FILTRO_PS f = MontaFiltroOrdens(o, "report orders");
    const fs::path destino = Destino(o.relatorio, "relatorio-ordens");
    const HRESULT hr = GeraRelatorioOrdens(ctx, f, o.relatorio.modelo, destino.string());
    Informa(ctx, hr, destino, "No order matches the filter");
}

void AdicionaOpcoesRelatorio(CLI::App& comando, OpcoesRelatorio& o) {
    comando.add_option("--model", o.modelo, "Report model: $ZENTA_HOME/relatorios/NAME.modelo (none: every field, PDF)");
    comando.add_option("--out", o.saida, "File to write (default: relatorio-<kind>.pdf or .csv here)");
}

}  // namespace

HRESULT GeraRelatorioPlanos(Contexto& ctx, const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& filtro, const std::string& modelo,
                            const std::string& saida) {
    _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS r{};
    r.filtro = filtro;
    const BstrPtr arquivo = ParaBstr(saida);
    const BstrPtr nome = ParaBstr(modelo);
    const BstrPtr componente = ParaBstr("zentactl");
    r.bsArquivoTemp = arquivo.get();
    r.bsRelatorio = nome.get();
    r.bsComponente = componente.get();
    const HRESULT hr = ctx.Servico().GeraRelatorioCadastro(r);
    ctx.Verifica(hr, "GeraRelatorioCadastro");
    return hr;
}

HRESULT GeraRelatorioOrdens(Contexto& ctx, const _REG_MOVIMENTACAO_FILTRO_PS& filtro, const std::string& modelo,
                            const std::string& saida) {
    _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS r{};
    r.filtro = filtro;
    const BstrPtr arquivo = ParaBstr(saida);
    const BstrPtr nome = ParaBstr(modelo);
    const BstrPtr componente = ParaBstr("zentactl");
    r.bsArquivoTemp = arquivo.get();
    r.bsRelatorio = nome.get();
    r.bsComponente = componente.get();
    const HRESULT hr = ctx.Servico().GeraRelatorioMovimentacao(r);
    ctx.Verifica(hr, "GeraRelatorioMovimentacao");
    return hr;
}

void RegistraRelatorios(CLI::App& app, Contexto& ctx) {
    auto* grupo = app.add_subcommand("report", "Reports of plans and maintenance orders (PDF or CSV)");
    grupo->require_subcommand(1);

    auto* planos = grupo->add_subcommand("plans", "Report of the plans that pass a filter (no option: every plan)");
    auto p = std::make_shared<OpcoesPlanos>();
    AdicionaOpcoesFiltroPlanos(*planos, *p);
    AdicionaOpcoesRelatorio(*planos, p->relatorio);
    planos->callback([&ctx, p] { ctx.acao = [&ctx, p] { RelatorioPlanos(ctx, *p); }; });

    auto* ordens = grupo->add_subcommand("orders", "Report of the orders that pass a filter (no option: every order)");
    auto o = std::make_shared<OpcoesOrdens>();
    AdicionaOpcoesFiltroOrdens(*ordens, *o);
    AdicionaOpcoesRelatorio(*ordens, o->relatorio);
    ordens->callback([&ctx, o] { ctx.acao = [&ctx, o] { RelatorioOrdens(ctx, *o); }; });
}

}  // namespace zenta::ctl
