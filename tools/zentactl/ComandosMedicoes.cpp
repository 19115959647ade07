// `readings record|show|find|history` and `meter replace`: meter readings.
#include <cstring>
#include <iostream>
#include <limits>

#include "platform/CodePage.h"
#include "tools/zentactl/Comandos.h"
#include "tools/zentactl/Opcoes.h"
#include "tools/zentactl/Tabela.h"

namespace zenta::ctl {

namespace {

std::string Texto(const char* campo, std::size_t tamanho) {
    return Cp1252ParaUtf8(std::string_view(campo, strnlen(campo, tamanho)));
}

std::string ItemMedicao(Contexto& ctx, const _REG_CADASTRO_HISTORICO_MEDICOES_PS& m) {
    if (m.lEquipamento != 0) return ctx.Erp().Codigo("equipamento", m.lEquipamento);
    std::string item = ctx.Erp().Codigo("produto", m.lProduto);
    for (const ULONG g : {m.lGrade1, m.lGrade2, m.lGrade3})
        if (g != 0) item += " / " + ctx.Erp().Codigo("item_grade", g);
    return item;
}

std::vector<std::string> LinhaMedicao(Contexto& ctx, const _REG_CADASTRO_HISTORICO_MEDICOES_PS& m) {
    std::string informada = FormataData(m.dataMedicaoInformada);
    const std::string hora = FormataHora(m.horaMedicaoInformada);
    if (!hora.empty()) informada += " " + hora;
    return {ItemMedicao(ctx, m),
            ctx.Erp().Codigo("marca", m.lMarca),
            ctx.Erp().Codigo("modelo", m.lModelo),
            Texto(m.szNrSerie, sizeof m.szNrSerie),
            FormataMoeda(m.vQuantidadeMedicao, m.lQtdCasasDecimais),
            informada,
            FormataData(m.dataGravacao),
            ctx.Erp().Codigo("usuario", m.lTecnico),
            m.lPonteiroCadastro != 0 ? std::to_string(m.lPonteiroCadastro) : std::string(),
            SimNao(m.cMedicaoAtiva)};
}

}  // namespace

void ImprimeMedicoes(Contexto& ctx, const _REG_CADASTRO_MEDICAO_ATUAL_PS* medicoes, ULONG quantidade) {
    Tabela tabela({">Pos", "Item", "Brand", "Model", "Serial", ">Reading", "Read on", "Recorded", "Technician", ">Plan",
                   "Active"});
    for (ULONG i = 0; medicoes != nullptr && i < quantidade; ++i) {
        std::vector<std::string> linha{std::to_string(medicoes[i].lPonteiroRegistro)};
        for (auto& c : LinhaMedicao(ctx, medicoes[i].regMedicaoAtual)) linha.push_back(std::move(c));
        tabela.Linha(std::move(linha));
    }
    tabela.Imprime(std::cout);
}

void ImprimeHistorico(Contexto& ctx, const _REG_PTR_DATA_PS* ponteiros, const _REG_CADASTRO_HISTORICO_MEDICOES_PS* medicoes,
                      ULONG quantidade) {
    Tabela tabela({"Month", ">Pos", "Item", "Brand", "Model", "Serial", ">Reading", "Read on", "Recorded", "Technician",
                   ">Plan", "Active"});
    for (ULONG i = 0; ponteiros != nullptr && medicoes != nullptr && i < quantidade; ++i) {
        std::vector<std::string> linha{FormataMesAno(ponteiros[i].dataPonteiro), std::to_string(ponteiros[i].lPonteiro)};
        for (auto& c : LinhaMedicao(ctx, medicoes[i])) linha.push_back(std::move(c));
        tabela.Linha(std::move(linha));
    }
    tabela.Imprime(std::cout);
}

namespace {

struct OpcoesRecord {
    std::string arquivo;
    bool historico = false, semCalculo = false;
    FiltroIdentificacao id;  // codes and kind unused here
    ULONG plano = 0, tecnico = 0, casas = 0;
    std::string quantidade, data, hora;
    bool inativa = false;
    std::vector<CLI::Option*> campos;  // the options that set a field
};

bool Dada(const CLI::Option* o) { return o != nullptr && o->count() > 0; }

char MinusculaCp1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return static_cast<char>(u + 0x20);
    return c;
}

bool MesmaIdentificacao(const _REG_CADASTRO_HISTORICO_MEDICOES_PS& a, const _REG_CADASTRO_HISTORICO_MEDICOES_PS& b) {
    if (a.lEquipamento != b.lEquipamento || a.lProduto != b.lProduto || a.lMarca != b.lMarca || a.lModelo != b.lModelo ||
        a.lTipo != b.lTipo || a.lGrade1 != b.lGrade1 || a.lGrade2 != b.lGrade2 || a.lGrade3 != b.lGrade3)
        return false;
    const std::size_t na = strnlen(a.szNrSerie, sizeof a.szNrSerie), nb = strnlen(b.szNrSerie, sizeof b.szNrSerie);
    if (na != nb) return false;
    for (std::size_t i = 0; i < na; ++i)
        if (MinusculaCp1252(a.szNrSerie[i]) != MinusculaCp1252(b.szNrSerie[i])) return false;
    return true;
}

// Takes the plan and the meter's decimals from the active current reading
// of the same identification, when there is one.
void CompletaComMedicaoGravada(Contexto& ctx, _REG_CADASTRO_HISTORICO_MEDICOES_PS& m, bool plano, bool casas) {
    _REG_FILTRO_MEDICAO_PS filtro{};
    filtro.lTipoIdentificacao = 2;
    filtro.lEquipamento = m.lEquipamento;
    filtro.lProduto = m.lProduto;
    std::memcpy(filtro.szNrSerie, m.szNrSerie, sizeof m.szNrSerie);
    _REG_LISTA_PTRS_CADASTRO_PS ponteiros{};
    Liberador<_REG_LISTA_PTRS_CADASTRO_PS> liberaPonteiros(ponteiros);
    ctx.Verifica(ctx.Servico().BuscaPonteirosMedicaoAtual(filtro, &ponteiros), "BuscaPonteirosMedicaoAtual");
    if (ponteiros.lQtdPtrs == 0) return;
    _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS lista{};
    Liberador<_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS> liberaLista(lista);
    ctx.Verifica(ctx.Servico().BuscaRegistrosMedicaoAtual(ponteiros, &lista), "BuscaRegistrosMedicaoAtual");
    for (ULONG i = 0; lista.pRegistros != nullptr && i < lista.lQtdRegistros; ++i) {
        const auto& gravada = lista.pRegistros[i].regMedicaoAtual;
        if (!MesmaIdentificacao(gravada, m)) continue;
        if (plano) m.lPonteiroCadastro = gravada.lPonteiroCadastro;
        if (casas) m.lQtdCasasDecimais = gravada.lQtdCasasDecimais;
        return;
    }
}

void Record(Contexto& ctx, OpcoesRecord& o, CLI::App& comando) {
    _REG_CADASTRO_MEDICAO_ATUAL_PS atual{};
    auto& m = atual.regMedicaoAtual;
    bool ativaDada = false;
    if (!o.arquivo.empty()) {
        const nlohmann::json doc = LeDocumentoJson(o.arquivo, "readings record");
        // A current reading ({"regMedicaoAtual": {...}}) or the reading itself.
        const bool comPosicao = doc.is_object() && doc.contains("regMedicaoAtual");
        if (comPosicao) DeJson(doc, atual, "readings record");
        else DeJson(doc, m, "readings record");
        const nlohmann::json& leitura = comPosicao ? doc["regMedicaoAtual"] : doc;
        ativaDada = leitura.is_object() && leitura.contains("cMedicaoAtiva");
    }
    bool algumCampo = !o.arquivo.empty();
    auto opcao = [&](const char* nome) { return comando.get_option_no_throw(nome); };
    auto u32 = [&](const char* nome, ULONG valor, ULONG& campo) {
        if (Dada(opcao(nome))) {
            campo = valor;
            algumCampo = true;
        }
    };
    u32("--equipamento", o.id.equipamento, m.lEquipamento);
    u32("--marca", o.id.marca, m.lMarca);
    u32("--modelo", o.id.modelo, m.lModelo);
    u32("--tipo", o.id.tipo, m.lTipo);
    u32("--produto", o.id.produto, m.lProduto);
    u32("--grade1", o.id.grade1, m.lGrade1);
    u32("--grade2", o.id.grade2, m.lGrade2);
    u32("--grade3", o.id.grade3, m.lGrade3);
    u32("--plano", o.plano, m.lPonteiroCadastro);
    u32("--tecnico", o.tecnico, m.lTecnico);
    u32("--casas-decimais", o.casas, m.lQtdCasasDecimais);
    if (Dada(opcao("--serie"))) {
        CopiaSerie(m.szNrSerie, sizeof m.szNrSerie, o.id.serie);
        algumCampo = true;
    }
    if (!o.quantidade.empty()) m.vQuantidadeMedicao = LeQuantidade(o.quantidade, "--quantidade");
    if (!o.data.empty()) m.dataMedicaoInformada = m.dataMedicaoCalculo = LeData(o.data, "--data");
    if (!o.hora.empty()) m.horaMedicaoInformada = LeHora(o.hora, "--hora");
    // A reading counts as active unless told otherwise: inactive readings are
    // left out of every search of current readings.
    if (o.inativa) m.cMedicaoAtiva = 0;
    else if (!ativaDada) m.cMedicaoAtiva = 1;
    if (!algumCampo) throw ErroUso("readings record: give --file or the identification (--equipamento, --produto, --serie, ...)");
    // Typed on the command line, a reading keeps what the stored current
    // reading of its identification knows and the line does not say: the
    // service writes the record as given, and would otherwise unlink the
    // reading from its plan.
    if (o.arquivo.empty() && (!Dada(opcao("--plano")) || !Dada(opcao("--casas-decimais"))))
        CompletaComMedicaoGravada(ctx, m, !Dada(opcao("--plano")), !Dada(opcao("--casas-decimais")));

    ctx.Verifica(ctx.Servico().GravaMedicaoAtual(&atual, o.historico ? 1 : 0, o.semCalculo ? 0 : 1), "GravaMedicaoAtual");
    if (ctx.opcoes.json) return ImprimeJson(ParaJson(atual, "GravaMedicaoAtual"));
    std::cout << atual.lPonteiroRegistro << '\n';
}

void Show(Contexto& ctx, LONG posicao) {
    _REG_CADASTRO_MEDICAO_ATUAL_PS atual{};
    ctx.Verifica(ctx.Servico().LeMedicaoAtual(posicao, &atual), "LeMedicaoAtual");
    if (ctx.opcoes.json) return ImprimeJson(ParaJson(atual, "LeMedicaoAtual"));
    ImprimeMedicoes(ctx, &atual, 1);
}

struct OpcoesFiltroMedicao {
    FiltroIdentificacao id;
    ULONG plano = 0;
    bool somenteProdutos = false, somenteEquipamentos = false, ponteiros = false;
    std::string de, ate;
};

void AdicionaOpcoesFiltro(CLI::App& comando, OpcoesFiltroMedicao& o) {
    AdicionaOpcoesIdentificacao(comando, o.id);
    comando.add_option("--plano", o.plano, "Position of the plan");
    comando.add_flag("--somente-produtos", o.somenteProdutos, "Product readings only");
    comando.add_flag("--somente-equipamentos", o.somenteEquipamentos, "Equipment readings only");
}

_REG_FILTRO_MEDICAO_PS Filtro(OpcoesFiltroMedicao& o) {
    _REG_FILTRO_MEDICAO_PS f{};
    f.lEquipamento = o.id.equipamento;
    f.lMarca = o.id.marca;
    f.lModelo = o.id.modelo;
    f.lTipo = o.id.tipo;
    f.lProduto = o.id.produto;
    f.lGrade1 = o.id.grade1;
    f.lGrade2 = o.id.grade2;
    f.lGrade3 = o.id.grade3;
    f.bSomenteProdutos = o.somenteProdutos;
    f.bSomenteEquipamentos = o.somenteEquipamentos;
    f.lTipoIdentificacao = o.id.tipoIdentificacao;
    f.lQtdPonteirosIdentificacao = static_cast<ULONG>(o.id.codigos.size());
    f.pPonteirosIdentificacao = o.id.codigos.empty() ? nullptr : o.id.codigos.data();
    f.lPonteiroCadastro = o.plano;
    CopiaSerie(f.szNrSerie, sizeof f.szNrSerie, o.id.serie);
    return f;
}

}  // namespace

// Positions of the current readings that pass `filtro`, then the readings.
void MostraMedicoes(Contexto& ctx, const _REG_FILTRO_MEDICAO_PS& filtro, bool somentePonteiros) {
    _REG_LISTA_PTRS_CADASTRO_PS ponteiros{};
    Liberador<_REG_LISTA_PTRS_CADASTRO_PS> liberaPonteiros(ponteiros);
    ctx.Verifica(ctx.Servico().BuscaPonteirosMedicaoAtual(filtro, &ponteiros), "BuscaPonteirosMedicaoAtual");
    if (somentePonteiros) {
        std::vector<ULONG> posicoes;
        if (ponteiros.pPonteiros != nullptr) posicoes.assign(ponteiros.pPonteiros, ponteiros.pPonteiros + ponteiros.lQtdPtrs);
        if (ctx.opcoes.json) return ImprimeJson(posicoes);
        for (const ULONG p : posicoes) std::cout << p << '\n';
        return;
    }
    _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS lista{};
    Liberador<_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS> liberaLista(lista);
    if (ponteiros.lQtdPtrs > 0)
        ctx.Verifica(ctx.Servico().BuscaRegistrosMedicaoAtual(ponteiros, &lista), "BuscaRegistrosMedicaoAtual");
    if (ctx.opcoes.json) {
        nlohmann::json saida = nlohmann::json::array();
        for (ULONG i = 0; lista.pRegistros != nullptr && i < lista.lQtdRegistros; ++i)
            saida.push_back(ParaJson(lista.pRegistros[i], "BuscaRegistrosMedicaoAtual"));
        return ImprimeJson(saida);
    }
    ImprimeMedicoes(ctx, lista.pRegistros, lista.lQtdRegistros);
}

void MostraHistorico(Contexto& ctx, const _REG_FILTRO_HISTORICO_MEDICAO_PS& filtro) {
    _REG_LISTA_PONTEIROS_DATA_PS ponteiros{};
    Liberador<_REG_LISTA_PONTEIROS_DATA_PS> liberaPonteiros(ponteiros);
    ctx.Verifica(ctx.Servico().BuscaPonteirosHistoricoMedicao(filtro, &ponteiros), "BuscaPonteirosHistoricoMedicao");
    _REG_LISTA_HISTORICO_MEDICOES_PS lista{};
    Liberador<_REG_LISTA_HISTORICO_MEDICOES_PS> liberaLista(lista);
    if (ponteiros.lQtdPonteiros > 0)
        ctx.Verifica(ctx.Servico().BuscaRegistrosHistoricoMedicao(ponteiros, &lista), "BuscaRegistrosHistoricoMedicao");
    const ULONG n = ponteiros.pPonteiros != nullptr && lista.pRegistros != nullptr
                        ? std::min(ponteiros.lQtdPonteiros, lista.lQtdRegistros)
                        : 0;
    if (ctx.opcoes.json) {
        nlohmann::json saida = nlohmann::json::array();
        for (ULONG i = 0; i < n; ++i)
            saida.push_back({{"ponteiro", ParaJson(ponteiros.pPonteiros[i], "BuscaPonteirosHistoricoMedicao")},
                             {"medicao", ParaJson(lista.pRegistros[i], "BuscaRegistrosHistoricoMedicao")}});
        return ImprimeJson(saida);
    }
    ImprimeHistorico(ctx, ponteiros.pPonteiros, lista.pRegistros, n);
}

void SubstituiMedidor(Contexto& ctx, LONG plano, const nlohmann::json& documento) {
    _REG_CADASTRO_MEDIDORES_PS medidor{};
    DeJson(documento, medidor, "meter replace");
    // The service reads the plan itself; only its position is needed.
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS cadastro{};
    cadastro.lPonteiroRegistro = static_cast<ULONG>(plano);
    ctx.Verifica(ctx.Servico().GravaMedidorSubstituido(cadastro, medidor), "GravaMedidorSubstituido");
}

void RegistraMedicoes(CLI::App& app, Contexto& ctx) {
    auto* grupo = app.add_subcommand("readings", "Meter readings");
    grupo->require_subcommand(1);

    auto* record = grupo->add_subcommand(
        "record", "Record the current reading of an identification (from a JSON file and/or options) and print its position");
    auto r = std::make_shared<OpcoesRecord>();
    record->add_option("--file", r->arquivo, "JSON file (a reading or a current reading), or - for standard input");
    record->add_flag("--historico", r->historico, "Also keep the reading in the month's history");
    record->add_flag("--sem-calculo", r->semCalculo, "Do not run the meter verification");
    record->add_option("--equipamento", r->id.equipamento, "Equipment code");
    record->add_option("--marca", r->id.marca, "Brand code");
    record->add_option("--modelo", r->id.modelo, "Model code");
    record->add_option("--tipo", r->id.tipo, "Equipment type code");
    record->add_option("--produto", r->id.produto, "Product code");
    record->add_option("--grade1", r->id.grade1, "Grade item 1");
    record->add_option("--grade2", r->id.grade2, "Grade item 2");
    record->add_option("--grade3", r->id.grade3, "Grade item 3");
    record->add_option("--serie", r->id.serie, "Serial number");
    record->add_option("--plano", r->plano, "Position of the plan");
    record->add_option("--tecnico", r->tecnico, "User who took the reading (default: --usuario)");
    record->add_option("--casas-decimais", r->casas, "Decimals of the meter")->check(CLI::Range(0u, 4u));
    record->add_option("--quantidade", r->quantidade, "Meter value (0 or none: keep the stored value)");
    record->add_option("--data", r->data, "Date of the reading (YYYY-MM-DD; default today)");
    record->add_option("--hora", r->hora, "Time of the reading (HH:MM; default now)");
    record->add_flag("--inativa", r->inativa, "Record the reading as inactive");
    record->callback([&ctx, r, record] { ctx.acao = [&ctx, r, record] { Record(ctx, *r, *record); }; });

    auto* show = grupo->add_subcommand("show", "Show the current reading at a position");
    auto pos = std::make_shared<LONG>(0);
    show->add_option("POS", *pos, "Position of the reading")->required()->check(CLI::Range(1, std::numeric_limits<LONG>::max()));
    show->callback([&ctx, pos] { ctx.acao = [&ctx, pos] { Show(ctx, *pos); }; });

    auto* find = grupo->add_subcommand("find", "List the active current readings that pass a filter");
    auto f = std::make_shared<OpcoesFiltroMedicao>();
    AdicionaOpcoesFiltro(*find, *f);
    find->add_flag("--ponteiros", f->ponteiros, "Positions only");
    find->callback([&ctx, f] { ctx.acao = [&ctx, f] { MostraMedicoes(ctx, Filtro(*f), f->ponteiros); }; });

    auto* history = grupo->add_subcommand(
        "history", "List the history of a serial number or plan; --de and --ate are excluded bounds");
    auto h = std::make_shared<OpcoesFiltroMedicao>();
    AdicionaOpcoesFiltro(*history, *h);
    history->add_option("--de", h->de, "Months after this one (YYYY-MM)");
    history->add_option("--ate", h->ate, "Months before this one (YYYY-MM)");
    history->callback([&ctx, h] {
        ctx.acao = [&ctx, h] {
            _REG_FILTRO_HISTORICO_MEDICAO_PS filtro{};
            filtro.regFiltro = Filtro(*h);
            filtro.dataInicialPeriodo = LeMesAno(h->de, "--de");
            filtro.dataFinalPeriodo = LeMesAno(h->ate, "--ate");
            MostraHistorico(ctx, filtro);
        };
    });

    auto* meter = app.add_subcommand("meter", "Meters of plans");
    meter->require_subcommand(1);
    auto* replace = meter->add_subcommand("replace", "Replace the meter of a plan (the plan counts one more replaced meter)");
    auto plano = std::make_shared<LONG>(0);
    auto arquivo = std::make_shared<std::string>();
    replace->add_option("--plano", *plano, "Position of the plan")->required()->check(CLI::Range(1, std::numeric_limits<LONG>::max()));
    replace->add_option("--file", *arquivo, "JSON file (the new meter), or - for standard input")->required();
    replace->callback([&ctx, plano, arquivo] {
        ctx.acao = [&ctx, plano, arquivo] {
            SubstituiMedidor(ctx, *plano, LeDocumentoJson(*arquivo, "meter replace"));
            _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS lido{};
            Liberador<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> libera(lido);
            ctx.Verifica(ctx.Servico().Le(*plano, &lido), "Le");
            if (ctx.opcoes.json) return ImprimeJson(ParaJson(lido.idEquipamentoPS.regMedidorAtual, "Le"));
            std::cout << "Plan " << *plano << ": meter replaced, "
                      << lido.idEquipamentoPS.regMedidorAtual.lQuantidadeMedidoresSubstituidos << " replaced so far\n";
        };
    });
}

}  // namespace zenta::ctl
