// `demo [--recriar]`: builds a demo company through the same steps as the
// other commands (master data, properties, plans, readings with history, a
// meter replacement, orders) and shows the result, ending with both reports
// written as PDF files.
#include <cstring>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "platform/QVDiretorios.h"
#include "platform/QVModulos.h"
#include "records/QVCamposRegistro.h"
#include "platform/QVHome.h"
#include "tools/zentactl/Comandos.h"
#include "tools/zentactl/DadosDemo.h"
#include "tools/zentactl/Tabela.h"

namespace zenta::ctl {

namespace {

namespace fs = std::filesystem;

// Removes $ZENTA_HOME/data/<company> and nothing else: the name must be a
// valid company name, and the directory must sit directly below the data root.
void RemoveDadosEmpresa(const std::string& empresaCp1252) {
    if (!QVNomeEmpresaValido(empresaCp1252)) throw ErroUso("--empresa: not a valid company name");
    fs::path modulo;
    const HRESULT hr = QVDiretorioDadosModulo(QV_MODULO_GE, empresaCp1252, modulo);
    if (FAILED(hr)) throw FalhaOperacao("demo --recriar", hr, "the company's data directory cannot be named");
    const fs::path empresa = modulo.parent_path().lexically_normal();
    const fs::path raiz = (ZentaHome() / "data").lexically_normal();
    if (empresa.parent_path() != raiz || empresa.filename().empty() || empresa.filename() == "." ||
        empresa.filename() == "..")
        throw std::runtime_error("demo --recriar: refusing to remove " + empresa.string());
    std::error_code ec;
    if (fs::is_symlink(empresa, ec)) {
        fs::remove(empresa, ec);  // the link only, never what it points to
    } else {
        fs::remove_all(empresa, ec);
    }
    if (ec) throw FalhaOperacao("demo --recriar", HRESULT_FROM_WIN32(5u), empresa.string() + ": " + ec.message());
}

_REG_FILTRO_CADASTRO_MANUTENCAO_PS FiltroTodos() {
    _REG_FILTRO_CADASTRO_MANUTENCAO_PS f{};
    f.lTipoIdentificacao = 2;
    f.bTrazerExcluido = 1;
    return f;
}

void Titulo(const std::string& texto) { std::cout << '\n' << texto << '\n' << std::string(LarguraUtf8(texto), '=') << '\n'; }

// Records a reading for the plan at `posicao`, with the plan's own
// identification so that it is the plan's current reading.
LONG GravaMedicaoDoPlano(Contexto& ctx, LONG posicao, const nlohmann::json& dados) {
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    Liberador<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> libera(plano);
    ctx.Verifica(ctx.Servico().Le(posicao, &plano), "Le");
    const auto& id = plano.idEquipamentoPS;
    _REG_CADASTRO_MEDICAO_ATUAL_PS atual{};
    auto& m = atual.regMedicaoAtual;
    nlohmann::json leitura = dados;
    leitura.erase("plano");
    leitura.erase("historico");
    DeJson(leitura, m, "demo");
    zenta::CopiaEquipamento(m, id);
    m.cMedicaoAtiva = id.lSituacao == 1 ? 1 : 0;
    m.lPonteiroCadastro = static_cast<ULONG>(posicao);
    if (plano.listaManutencoes.lQtdManutencoes > 0 && plano.listaManutencoes.pManutencoes != nullptr)
        m.lQtdCasasDecimais = plano.listaManutencoes.pManutencoes[0].frequenciaPS.lQtdCasasDecimaisMedicao;
    const bool historico = dados.value("historico", false);
    ctx.Verifica(ctx.Servico().GravaMedicaoAtual(&atual, historico ? 1 : 0, 1), "GravaMedicaoAtual");
    return static_cast<LONG>(atual.lPonteiroRegistro);
}

// An order document for the plan at `posicao` and its maintenance of index
// `manutencao`: the template with the plan's identification, branch, serial
// number and the maintenance's code and name.
nlohmann::json OrdemDoPlano(Contexto& ctx, LONG posicao, std::size_t manutencao, std::string_view modelo) {
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    Liberador<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> libera(plano);
    ctx.Verifica(ctx.Servico().Le(posicao, &plano), "Le");
    const nlohmann::json lido = ParaJson(plano, "Le");
    const nlohmann::json& id = lido.at("idEquipamentoPS");
    const nlohmann::json& m = lido.at("listaManutencoes").at("pManutencoes").at(manutencao);
    nlohmann::json ordem = nlohmann::json::parse(modelo);
    for (const char* campo : {"lFilial", "lEquipamento", "lMarca", "lModelo", "lTipo", "lProduto", "szNrSerie"})
        ordem[campo] = id.at(campo);
    ordem["lPonteiroGrade1"] = id.at("lGrade1");
    ordem["lPonteiroGrade2"] = id.at("lGrade2");
    ordem["lPonteiroGrade3"] = id.at("lGrade3");
    ordem["lPonteiroCadastro"] = posicao;
    ordem["lCodigoManutencao"] = m.at("lCodigoManutencao");
    ordem["szNomeManutencao"] = m.at("szNomeManutencao");
    return ordem;
}

void Demo(Contexto& ctx, bool recriar) {
    const std::string empresa = ctx.opcoes.EmpresaCp1252();
    if (recriar) RemoveDadosEmpresa(empresa);
    const bool pessoas = !ctx.opcoes.json;

    const std::vector<ULONG> existentes = BuscaPlanos(ctx, FiltroTodos());
    if (!existentes.empty())
        throw std::runtime_error("demo: company \"" + ctx.opcoes.empresa + "\" already has " +
                                 std::to_string(existentes.size()) +
                                 " plans; run \"zentactl --empresa " + ctx.opcoes.empresa +
                                 " demo --recriar\" to remove its data and build it again");

    nlohmann::json resumo = nlohmann::json::object();
    resumo["empresa"] = ctx.opcoes.empresa;
    nlohmann::json cadastros = nlohmann::json::object();
    for (const auto& [tabela, linhas] : ImportaCadastros(empresa, nlohmann::json::parse(demo::kCadastrosErp)))
        cadastros[tabela] = linhas;
    resumo["cadastros"] = cadastros;
    GravaPropriedadesDeJson(ctx, nlohmann::json::parse(demo::kPropriedades));

    std::vector<LONG> planos;
    for (const std::string_view documento : demo::Planos())
        planos.push_back(GravaPlanoDeJson(ctx, nlohmann::json::parse(documento), 0, "demo"));
    resumo["planos"] = planos;

    nlohmann::json medicoes = nlohmann::json::array();
    for (const auto& dados : nlohmann::json::parse(demo::kMedicoes)) {
        const auto indice = dados.at("plano").get<std::size_t>();
        medicoes.push_back(GravaMedicaoDoPlano(ctx, planos.at(indice), dados));
    }
    resumo["medicoes"] = medicoes;

    SubstituiMedidor(ctx, planos.at(0), nlohmann::json::parse(demo::kMedidorNovo));
    resumo["medidorSubstituido"] = planos.at(0);

    const REG_QVDMC aberta = GravaOrdemDeJson(ctx, OrdemDoPlano(ctx, planos.at(0), 0, demo::kOrdemAberta), "demo");
    const REG_QVDMC concluida = GravaOrdemDeJson(ctx, OrdemDoPlano(ctx, planos.at(0), 1, demo::kOrdemConcluida), "demo");
    resumo["ordens"] = {TextoChaveOrdem(aberta), TextoChaveOrdem(concluida)};

    // Last step: both reports as PDF files in $ZENTA_HOME/relatorios-demo/<company>/.
    const fs::path dirRelatorios = ZentaHome() / "relatorios-demo" / ctx.opcoes.empresa;
    fs::create_directories(dirRelatorios);
    const std::string pdfPlanos = (dirRelatorios / "planos.pdf").string();
    const std::string pdfOrdens = (dirRelatorios / "ordens.pdf").string();
    _REG_MOVIMENTACAO_FILTRO_PS todasOrdens{};
    todasOrdens.lTipoIdentificacao = 2;
    GeraRelatorioPlanos(ctx, FiltroTodos(), "", pdfPlanos);
    GeraRelatorioOrdens(ctx, todasOrdens, "", pdfOrdens);
    resumo["relatorios"] = {pdfPlanos, pdfOrdens};

    if (!pessoas) return ImprimeJson(resumo);

    std::cout << "Demo company \"" << ctx.opcoes.empresa << "\" built: master data imported, properties set, "
              << planos.size() << " plans saved, " << medicoes.size() << " readings recorded, the meter of plan "
              << planos.at(0) << " replaced, an open and a concluded maintenance order saved.\n";
    Titulo("Plans");
    std::vector<ULONG> todos = BuscaPlanos(ctx, FiltroTodos());
    MostraPlanos(ctx, todos);
    Titulo("The first plan in detail");
    {
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
        Liberador<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> libera(plano);
        ctx.Verifica(ctx.Servico().Le(planos.at(0), &plano), "Le");
        ImprimePlano(ctx, plano);
    }
    Titulo("Current readings");
    _REG_FILTRO_MEDICAO_PS filtro{};
    filtro.lTipoIdentificacao = 2;
    MostraMedicoes(ctx, filtro, false);
    Titulo("Reading history of TX500-0042");
    _REG_FILTRO_HISTORICO_MEDICAO_PS historico{};
    historico.regFiltro.lTipoIdentificacao = 2;
    std::memcpy(historico.regFiltro.szNrSerie, "TX500-0042", sizeof "TX500-0042");
    MostraHistorico(ctx, historico);
    Titulo("Maintenance orders");
    MostraOrdens(ctx);
    Titulo("The concluded order and its service order");
    MostraOrdem(ctx, concluida);
    Titulo("Equipment with plans");
    MostraArvore(ctx, "equipment", false);
    Titulo("Products with plans");
    MostraArvore(ctx, "products", false);
    Titulo("Reports");
    std::cout << "Plan registration report (PDF): " << pdfPlanos << '\n'
              << "Maintenance order report (PDF): " << pdfOrdens << '\n';
}

}  // namespace

void RegistraDemo(CLI::App& app, Contexto& ctx) {
    auto* demo = app.add_subcommand("demo", "Build a demo company: master data, properties, plans, readings, a meter replacement, orders");
    auto recriar = std::make_shared<bool>(false);
    demo->add_flag("--recriar", *recriar, "Remove the company's data first ($ZENTA_HOME/data/<company>)");
    demo->callback([&ctx, recriar] { ctx.acao = [&ctx, recriar] { Demo(ctx, *recriar); }; });
}

}  // namespace zenta::ctl
