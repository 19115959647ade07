// `properties show` and `properties set`.
#include <cstring>
#include <iostream>

#include "platform/CodePage.h"
#include "tools/zentactl/Comandos.h"
#include "tools/zentactl/Tabela.h"

namespace zenta::ctl {

namespace {

std::string Texto(const char* campo, std::size_t tamanho) {
    return Cp1252ParaUtf8(std::string_view(campo, strnlen(campo, tamanho)));
}

void Mostra(Contexto& ctx) {
    _REG_CADASTRO_PROPRIEDADES_PS p{};
    ctx.Verifica(ctx.Servico().LePropriedades(&p), "LePropriedades");
    if (ctx.opcoes.json) return ImprimeJson(ParaJson(p, "LePropriedades"));
    ImprimeCampos(std::cout, {
        {"Notice of next maintenance", SimNao(p.cAvisarDataProximaManutencaoComAntecedencia)},
        {"Notice by e-mail", SimNao(p.cAvisarPorEmail)},
        {"Notice on screen", SimNao(p.cAvisarComTelaAviso)},
        {"Days of notice", std::to_string(p.lQtdDiasAviso)},
        {"Last meter check", FormataData(p.dataUltimaVerificacaoMedicao)},
        {"Field 1", Texto(p.szNomeCampoDinamico1, sizeof p.szNomeCampoDinamico1)},
        {"Field 2", Texto(p.szNomeCampoDinamico2, sizeof p.szNomeCampoDinamico2)},
        {"Field 3", Texto(p.szNomeCampoDinamico3, sizeof p.szNomeCampoDinamico3)},
        {"Field 4", Texto(p.szNomeCampoDinamico4, sizeof p.szNomeCampoDinamico4)},
        {"Field 5", Texto(p.szNomeCampoDinamico5, sizeof p.szNomeCampoDinamico5)},
        {"Change log off", SimNao(p.ucNaoGravarLog)},
    });
}

}  // namespace

// The file's fields replace those of the stored properties; fields it does
// not name keep their values.
void GravaPropriedadesDeJson(Contexto& ctx, const nlohmann::json& documento) {
    if (!documento.is_object()) throw FalhaOperacao("properties set", E_INVALIDARG, "expected a JSON object");
    _REG_CADASTRO_PROPRIEDADES_PS atuais{};
    ctx.Verifica(ctx.Servico().LePropriedades(&atuais), "LePropriedades");
    nlohmann::json completo = ParaJson(atuais, "LePropriedades");
    completo.update(documento);
    _REG_CADASTRO_PROPRIEDADES_PS novas{};
    DeJson(completo, novas, "properties set");
    ctx.Verifica(ctx.Servico().GravaPropriedades(novas), "GravaPropriedades");
}

void RegistraPropriedades(CLI::App& app, Contexto& ctx) {
    auto* grupo = app.add_subcommand("properties", "The service's properties");
    grupo->require_subcommand(1);
    grupo->add_subcommand("show", "Show the properties")->callback([&ctx] { ctx.acao = [&ctx] { Mostra(ctx); }; });
    auto* set = grupo->add_subcommand("set", "Change the properties from a JSON file (the fields it names)");
    auto arquivo = std::make_shared<std::string>();
    set->add_option("--file", *arquivo, "JSON file, or - for standard input")->required();
    set->callback([&ctx, arquivo] {
        ctx.acao = [&ctx, arquivo] {
            GravaPropriedadesDeJson(ctx, LeDocumentoJson(*arquivo, "properties set"));
            if (!ctx.opcoes.json) Mostra(ctx);
            else {
                _REG_CADASTRO_PROPRIEDADES_PS p{};
                ctx.Verifica(ctx.Servico().LePropriedades(&p), "LePropriedades");
                ImprimeJson(ParaJson(p, "LePropriedades"));
            }
        };
    });
}

}  // namespace zenta::ctl
