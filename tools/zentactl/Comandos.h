// The command groups of zentactl. Each group adds its subcommands to the
// program's CLI11 application; a leaf subcommand's callback stores the work
// to run in the context, which main runs after the whole line has parsed.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/zentactl/Cadastros.h"
#include "tools/zentactl/Sessao.h"
#include "values/QVDMC.h"

namespace zenta::ctl {

struct Contexto {
    OpcoesGlobais opcoes;
    std::function<void()> acao;
    // The exit status of an action that ends without failing (server
    // status answers 3 or 4 that way).
    int codigoSaida = 0;

    Sessao& Sessao_() {
        if (!m_sessao) m_sessao = std::make_unique<Sessao>(opcoes);
        return *m_sessao;
    }
    IQVGE_ManutencaoPreventiva& Servico() { return Sessao_().Servico(); }
    void Verifica(HRESULT hr, std::string_view operacao) { Sessao_().Verifica(hr, operacao); }
    CadastrosErp& Erp() {
        if (!m_erp) m_erp = std::make_unique<CadastrosErp>(opcoes.EmpresaCp1252());
        return *m_erp;
    }
    // Ends the service object (and COM) before the program returns.
    void Encerra() {
        m_sessao.reset();
        m_erp.reset();
    }

private:
    std::unique_ptr<Sessao> m_sessao;
    std::unique_ptr<CadastrosErp> m_erp;
};

void RegistraPropriedades(CLI::App& app, Contexto& ctx);
void RegistraPlanos(CLI::App& app, Contexto& ctx);
void RegistraMedicoes(CLI::App& app, Contexto& ctx);
void RegistraArvores(CLI::App& app, Contexto& ctx);
void RegistraErp(CLI::App& app, Contexto& ctx);
void RegistraOrdens(CLI::App& app, Contexto& ctx);
void RegistraVerificacao(CLI::App& app, Contexto& ctx);
void RegistraRelatorios(CLI::App& app, Contexto& ctx);
void RegistraPrevisao(CLI::App& app, Contexto& ctx);
void RegistraDemo(CLI::App& app, Contexto& ctx);
void RegistraServidor(CLI::App& app, Contexto& ctx);

// Shared by the plan and demo commands: prints plans for people.
void ImprimePlano(Contexto& ctx, const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano);
void ImprimeListaPlanos(Contexto& ctx, const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS* planos, ULONG quantidade);
// Shared by the reading and demo commands.
void ImprimeMedicoes(Contexto& ctx, const _REG_CADASTRO_MEDICAO_ATUAL_PS* medicoes, ULONG quantidade);
void ImprimeHistorico(Contexto& ctx, const _REG_PTR_DATA_PS* ponteiros, const _REG_CADASTRO_HISTORICO_MEDICOES_PS* medicoes,
                      ULONG quantidade);
// Shared by the tree and demo commands.
void ImprimeArvore(Contexto& ctx, const _REG_LISTA_ITENS_TREE_PS& itens);

// The steps of the commands, for the demo. Each throws FalhaOperacao.
void GravaPropriedadesDeJson(Contexto& ctx, const nlohmann::json& documento);
LONG GravaPlanoDeJson(Contexto& ctx, const nlohmann::json& documento, LONG posicao, const char* operacao);
std::vector<ULONG> BuscaPlanos(Contexto& ctx, const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& filtro);
void MostraPlanos(Contexto& ctx, std::vector<ULONG>& posicoes);
void MostraMedicoes(Contexto& ctx, const _REG_FILTRO_MEDICAO_PS& filtro, bool somentePonteiros);
void MostraHistorico(Contexto& ctx, const _REG_FILTRO_HISTORICO_MEDICAO_PS& filtro);
void SubstituiMedidor(Contexto& ctx, LONG plano, const nlohmann::json& documento);
void MostraArvore(Contexto& ctx, const char* nome, bool somenteAtivos);
// Orders: save from a JSON document (the key written), list every order,
// show one in full, the key as people read it ("MM/YYYY-NNNNNN").
REG_QVDMC GravaOrdemDeJson(Contexto& ctx, const nlohmann::json& documento, const char* operacao);
void MostraOrdens(Contexto& ctx);
void MostraOrdem(Contexto& ctx, REG_QVDMC chave);
std::string TextoChaveOrdem(REG_QVDMC chave);
// Reports: writes the plan (order) report of `filtro` with the model
// `modelo` at the absolute path `saida`; returns the service's answer
// (0x406C2 when nothing matched).
HRESULT GeraRelatorioPlanos(Contexto& ctx, const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& filtro, const std::string& modelo,
                            const std::string& saida);
HRESULT GeraRelatorioOrdens(Contexto& ctx, const _REG_MOVIMENTACAO_FILTRO_PS& filtro, const std::string& modelo,
                            const std::string& saida);

}  // namespace zenta::ctl
