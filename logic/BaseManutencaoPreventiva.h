// The preventive-maintenance logic behind the service object: one object per
// client session. It opens its company's database through the facade (one
// database object per company and process, shared by every session of that
// company), starts the stock integration and runs the daily due-date
// verification.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "access/QVBaseParaRotinas.h"
#include "access/QVUltimoErro.h"
#include "core/qvdatabase/QVDataBaseFacade.h"
#include "integration/IntegracaoEstoque.h"
#include "reports/QVConsultaManutencaoPreventiva.h"
#include "schema/QVDataBase_GE_ManutencaoPreventiva.h"

namespace zenta {

struct IQVGE_ASTMov;
struct REG_AST_ORDEM_SERVICO_PS;
struct REG_AST_TECNICO_PS;

// The module's data were written by a newer version of the system.
inline constexpr HRESULT E_GE_VERSAO_DADOS_SUPERIOR = static_cast<HRESULT>(0x810809C7u);
// The highest data version this system reads as it is.
inline constexpr USHORT kVersaoDadosManutencaoPreventiva = 1;
// The change-log text of a properties change.
inline constexpr const char* kTextoLogPropriedades = "Alteração das Propriedades - Manutenção Preventiva";

// ---- The due-date rules of one maintenance (BaseManutencaoPreventiva_Verificacao.cpp) ----
// Pure functions of a maintenance's counters, shared by the service and the
// command-line client that shows them.

// The day from which a maintenance's days run: its last count, or the day
// its last order was finished (`dataRearme`, 0 for none) when that is later.
ULONG DataBaseContagem(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao, ULONG dataRearme);
// The first day on which the time test passes, the days counted from
// `dataBase`; 0 when it never does (the contract ends first). The daily
// verification and the forecast both judge by it.
ULONG PrimeiroDiaTesteTempo(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao, ULONG dataBase);
// The time test on day `hoje`, the days counted from `dataBase`.
bool PassaTesteTempo(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao, ULONG hoje, ULONG dataBase);
// The meter test of a reading of `vQuantidade` recorded on `dataGravacao`
// against the plan's stored meter (counted from the frequency's initial
// value while the meter was never replaced and stands below it). A reading
// without value (0) never passes.
bool PassaTesteMedicao(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao,
                       const _REG_CADASTRO_MEDIDORES_PS& regMedidor, CY vQuantidade, ULONG dataGravacao);
// Whether the maintenance is due, given which of the two tests passed.
bool ManutencaoVencida(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao, bool bTempo, bool bMedicao);
// The e-mail notice's subject and body (Windows-1252) from the technician's
// name, the maintenance code, the item's description parts (name, then the
// three " - " parts; UTF-8), the serial number (Windows-1252) and the
// planned day.
std::string AssuntoEmailAviso();
std::string CorpoEmailAviso(std::string_view sNomeUsuario, ULONG lCodigoManutencao, std::string_view sDescricao,
                            const std::string (&partes)[3], std::string_view sNrSerie, ULONG dataPrevista);

class CBaseManutencaoPreventiva
    : public CQVDataBaseFacade<CQVDataBase_GE_ManutencaoPreventiva, CQVBaseParaRotinas>,
      public CQVUltimoErro,
      public IQVConsultaManutencaoPreventiva {
public:
    static constexpr const char* kNomeClasse = "CBaseManutencaoPreventiva";

    CBaseManutencaoPreventiva() = default;
    ~CBaseManutencaoPreventiva() override;

    // Properties
    HRESULT LePropriedades(_REG_CADASTRO_PROPRIEDADES_PS* pRegPropriedades);
    HRESULT GravaPropriedades(const _REG_CADASTRO_PROPRIEDADES_PS& regPropriedades);
    // Maintenance plans
    HRESULT BuscaPonteiros(const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& regFiltro,
                           _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) override;
    HRESULT BuscaRegistros(const _REG_LISTA_PTRS_CADASTRO_PS& regPonteiros,
                           _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegListaRegistros) override;
    HRESULT Grava(LONG* pPosicao, const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& RegCadastro);
    HRESULT Le(LONG lPos, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegCadastro);
    HRESULT GeraRelatorioCadastro(const _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regRelatorio);
    HRESULT ExcluiManutencoes(ULONGLONG regDmcAssistec);
    HRESULT GeraRelatorioMovimento(const _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS& regRelatorio);
    // Meter readings
    HRESULT GravaMedidorSubstituido(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& RegCadastro,
                                    const _REG_CADASTRO_MEDIDORES_PS& regMedidor);
    HRESULT GravaHistoricoMedicao(LONG* pPosicao, _REG_CADASTRO_HISTORICO_MEDICOES_PS* pRegMedicao);
    HRESULT GravaMedicaoAtual(_REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao, LONG bGravarHistorico,
                              LONG bCalcularMedicao);
    HRESULT LeMedicaoAtual(LONG lPos, _REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao);
    HRESULT BuscaPonteirosMedicaoAtual(const _REG_FILTRO_MEDICAO_PS& regFiltro,
                                       _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros);
    HRESULT BuscaRegistrosMedicaoAtual(const _REG_LISTA_PTRS_CADASTRO_PS& regPonteiros,
                                       _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS* pRegListaRegistros);
    HRESULT BuscaPonteirosHistoricoMedicao(const _REG_FILTRO_HISTORICO_MEDICAO_PS& regFiltro,
                                           _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros);
    HRESULT BuscaRegistrosHistoricoMedicao(const _REG_LISTA_PONTEIROS_DATA_PS& regPonteiros,
                                           _REG_LISTA_HISTORICO_MEDICOES_PS* pRegListaRegistros);
    // Maintenance orders
    HRESULT GravaMovimentacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS& pRegMovimentacao, ULONGLONG* pRegDMCGravado);
    HRESULT BuscaPonteirosMovimentacao(const _REG_MOVIMENTACAO_FILTRO_PS& regFiltro,
                                       _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) override;
    HRESULT LeMovimentacao(ULONGLONG dmcChave, _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao);
    HRESULT LeMovimentacaoLight(ULONGLONG dmcChave, _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao);
    HRESULT BuscaRegistrosMovimentacao(const _REG_LISTA_PONTEIROS_DATA_PS& regPonteiros,
                                       _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) override;
    HRESULT BuscaMovimentacoesDiarias(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros);
    HRESULT BuscaMovimentosPelaManutencao(ULONG lCodigoManutencao,
                                          _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros);
    // Trees of equipment and products
    HRESULT BuscaTreeMovimentacaoEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos);
    HRESULT BuscaTreeMovimentacaoProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos);
    HRESULT BuscaRegistroTreeEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos);
    HRESULT BuscaRegistroTreeProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos);

#ifdef ZENTA_OPERACOES_TESTE
    // ---- TEST BUILDS ONLY (CMake option ZENTA_OPERACOES_TESTE) ----------------
    // Generic functions that fail on purpose, for the tests of the call
    // frame's machine-fault guard. They answer only while the environment
    // variable ZENTA_OPERACOES_TESTE is "1"; otherwise, and for every other
    // number, the access layer's FuncaoGenerica answers.
    static constexpr ULONG kTesteViolacaoAcesso = 0x7E570001u;  // writes to an unmapped address
    static constexpr ULONG kTesteDivisaoPorZero = 0x7E570002u;  // integer division by zero
    static constexpr ULONG kTesteEstouroPilha = 0x7E570003u;    // endless recursion
    static constexpr ULONG kTesteExcecao = 0x7E570004u;         // throws std::runtime_error
    HRESULT FuncaoGenerica(ULONG ulFuncao, const _REG_CR_LISTA_BYTESPS& regInps, _REG_CR_LISTA_BYTESPS** ppregOutps);
#endif

    // A copy of m_Propriedades.
    _REG_CADASTRO_PROPRIEDADES_PS GetPropriedades() const override;
    // The reports work for this object's session.
    const CQVInicializador& GetSessaoConsulta() const override { return *this; }

    // The stock integration, initialised once at start-up (used by order saving).
    CIntegracaoEstoque m_IntegraEstoque;

protected:
    // Start-up: access base, the company's database (data version checked
    // once per company and process), stock integration, daily verification.
    // A start-up that fails lets go of what it had taken.
    HRESULT OnInicializa() override;
    // Stock integration, then the facade (the company's database) and the access base.
    HRESULT OnFinaliza() override;
    // The module's data conversion: refuses data of a version above 1.
    HRESULT ExecutaConversao() override;

    // Reloads m_Propriedades from the properties file.
    HRESULT AtualizaPropriedades();
    // The daily due-date verification; it also refreshes m_Propriedades.
    HRESULT FazVerificacaoDatasManutencao();

    // ---- Meter readings (BaseManutencaoPreventiva_Medicao.cpp) -------------------------
    // Records again the stored current reading of the reading's identification
    // (a plan was saved again); the reading's own values other than its
    // identification are not used.
    HRESULT RefazMedicaoInicial(const _REG_CADASTRO_MEDICAO_ATUAL_PS& regMedicaoAtual);
    // Counts the plans of a recorded reading's identification down and opens
    // the orders that fall due.
    HRESULT VerificaManutencoesMedicao(const _REG_CADASTRO_MEDICAO_ATUAL_PS& regMedicao);

    // ---- Due dates and order generation (BaseManutencaoPreventiva_Verificacao.cpp) -----
    // One maintenance against a recorded reading: counts it down (in the
    // caller's copy, which the caller saves) and opens its order when due.
    HRESULT VerificaFrequenciaMedicao(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro,
                                      _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao,
                                      const _REG_CADASTRO_MEDICAO_ATUAL_PS& regMedicaoTotal);
    // Builds and saves the order of a due maintenance (nothing when the plan
    // has no client in force), with its notice record and e-mail; marks the
    // caller's copy of the maintenance as having its order.
    HRESULT GeraMovimentacao(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro,
                             _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao,
                             const _REG_CADASTRO_MEDICAO_ATUAL_PS& regMedicao);
    // E-mails the maintenance's technician that an order is waiting.
    HRESULT EnviaEmailAviso(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro,
                            const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao, ULONG dataPrevista);
    // E-mail notices of the orders opened under the company's write lock
    // wait here and are sent once the calling thread's outermost operation
    // has let the lock go (EscopoAvisos): a mail server is never talked to
    // while the company is locked, and no mail problem fails an operation
    // whose work is stored (a failure is logged; the message waits in the
    // company's outbox for the next send).
    struct AvisoEmailPendente {
        _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS id;
        ULONG lTecnico;
        ULONG lCodigoManutencao;
        ULONG dataPrevista;
    };
    class EscopoAvisos {
    public:
        explicit EscopoAvisos(CBaseManutencaoPreventiva& base);
        ~EscopoAvisos();
        EscopoAvisos(const EscopoAvisos&) = delete;
        EscopoAvisos& operator=(const EscopoAvisos&) = delete;

    private:
        CBaseManutencaoPreventiva& m_base;
    };
    void EnviaAvisosPendentes();
    // Tries again the messages waiting in the outbox (once a day).
    void ReenviaEmailsPendentes();
    // What the orders of a maintenance say about it: whether any of its
    // orders is open, and the latest day one of them was finished (0 when
    // one is open or there is none).
    struct SituacaoOrdensManutencao {
        bool bAberta = false;
        ULONG dataRearme = 0;
    };
    HRESULT LeSituacaoOrdensManutencao(ULONG lCodigoManutencao, SituacaoOrdensManutencao& situacao);
    // The same for every maintenance that has orders, from one pass over the
    // orders (the daily verification asks for every maintenance: one lookup
    // per maintenance and month file would cost maintenances x months).
    HRESULT LeSituacoesOrdens(std::unordered_map<ULONG, SituacaoOrdensManutencao>& situacoes);
    // The positions of a maintenance's orders in one month file, ascending
    // (through the month's maintenance-code index).
    HRESULT PosicoesDaManutencaoNoMes(ULONG lCodigoManutencao, ULONGLONG uiChaveMes, std::vector<ULONGLONG>& posicoes);
    // The months (order file keys) that may hold orders of a maintenance.
    HRESULT MesesDaManutencao(ULONG lCodigoManutencao, std::vector<ULONGLONG>& chavesMes);
    // The stored record of a maintenance's newest order; `achou` false when
    // it has none.
    HRESULT LeUltimaOrdemDaManutencao(ULONG lCodigoManutencao, bool& achou, REG_MOVIMENTACAO_MANUT_PREV_V1& ultima);
    // The plans (not excluded) whose identification is the reading's: the
    // one lookup from a reading's identification to its plans.
    HRESULT BuscaPlanosDaMedicao(const _REG_CADASTRO_HISTORICO_MEDICOES_PS& regMedicao,
                                 _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regPlanos);
    // Saves a plan's counted maintenances (and with `bMedidor` its meter and
    // reading pointer) and rewrites its master record at its position.
    HRESULT RegravaContagemPlano(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro, bool bMedidor);

    // ---- Checks on what a client hands in (BaseManutencaoPreventiva_Validacao.cpp) -----
    // Refuses a field: the last-error record and the error log name it and
    // its value; returns `hr`.
    HRESULT RecusaCampo(HRESULT hr, std::string_view sCampo, long long valor);
    // Each field of a plan, order or reading inside its domain, and every
    // position a client may hand in inside its file.
    HRESULT ValidaDominioPlano(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano);
    HRESULT ValidaDominioMovimentacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS& ordem);
    HRESULT ValidaDominioMedicao(const _REG_CADASTRO_HISTORICO_MEDICOES_PS& leitura);

    // ---- Maintenance plans (BaseManutencaoPreventiva_Cadastro.cpp) ---------------------
    // Reads a plan's maintenances into its list (allocated with the task
    // allocator); `bCompleto` also reads their services and products.
    HRESULT LeManutencoes(const REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1& regMestre,
                          _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro, bool bCompleto);
    // Reads a plan's clients into its list.
    HRESULT LeClientes(const REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1& regMestre,
                       _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro);
    // Writes a plan's maintenances (and their frequencies, services,
    // products and stock places) as new runs; `lManutencoes` receives the
    // position of the first. New maintenances get their codes and every
    // maintenance not counting yet is armed from its frequency.
    // Writes the meter as a new record and gives its position.
    HRESULT GravaMedidor(const _REG_CADASTRO_MEDIDORES_PS& regMedidor, ULONG& lMedidor);
    HRESULT GravaManutencoes(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro, ULONG& lManutencoes);
    // Whether a plan other than the one at `uiPosicao` (and not excluded)
    // has the reading's identification.
    HRESULT OutroPlanoComIdentificacao(const _REG_CADASTRO_HISTORICO_MEDICOES_PS& leitura, ULONG uiPosicao, bool& bHa);
    // The position (0 for none) and record of the current reading of an
    // identification.
    HRESULT PosicaoMedicaoAtual(const _REG_CADASTRO_HISTORICO_MEDICOES_PS& leitura, ULONGLONG& uiPosicao,
                                REG_CADASTRO_MEDICAO_ATUAL_V1& armazenado);
    // The highest maintenance code the company has given (0 for none).
    HRESULT MaiorCodigoManutencao(ULONG& lMaior);
    // The plan at a position with all its children and its meter; on failure
    // the lists already allocated stay in `plano` for the caller to free.
    HRESULT LePlano(ULONG uiPosicao, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano);
    // Whether a stored plan at `uiPosicao` passes the plan filter.
    HRESULT Filtra(const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& regFiltro,
                   const REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1& regCadastro, ULONG uiPosicao, bool& bPassa);
    // ---- Maintenance orders (BaseManutencaoPreventiva_Movimentacao.cpp) ----------------
    // The order at a key; `bCompleto` also reads its lists, texts, links and
    // purchase-request keys (allocated for the caller).
    HRESULT LeMovimentacaoInterna(ULONGLONG dmcChave, _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                  bool bCompleto);
    // Whether a stored order at (month file, position) passes the order filter.
    HRESULT FiltraMovimentacao(const _REG_MOVIMENTACAO_FILTRO_PS& regFiltro,
                               const REG_MOVIMENTACAO_MANUT_PREV_V1& regMov, ULONGLONG uiChaveMes, ULONG uiPosicao,
                               bool& bPassa);
    // The order's purchase-request keys as a new run of its month; sets
    // lPtrIntegracaoCompras.
    HRESULT GravaIntegracaoCompras(_REG_MOVIMENTACAO_MANUT_PREV_PS& regPs, USHORT maGravacao);
    HRESULT LeIntegracaoCompras(_REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao, ULONGLONG uiChaveMes);
    // A finished order re-arms its plan's maintenance of the same code; a plan
    // that no longer has it is left as it is.
    HRESULT RearmaManutencaoDaMovimentacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regPs);
    // Refuses an order save: `mensagem` (Windows-1252) becomes the object's
    // last error and a line of the error log; gives back `hr`.
    HRESULT RecusaMovimentacao(HRESULT hr, const std::string& mensagem, unsigned linha);

    // ---- Service-order link (BaseManutencaoPreventiva_OS.cpp) --------------------------
    // The key of a service order in the technical-assistance module.
    struct REG_PTR_OS {
        USHORT maOS = 0;
        ULONG lPtrOS = 0;
    };
    // Raises (or rewrites) the service order of a concluded order.
    HRESULT GeraOS(_REG_MOVIMENTACAO_MANUT_PREV_PS& regPs, REG_PTR_OS& regPtrOSGerada);
    // Whether a service order linked to the order is still open in the
    // technical-assistance module.
    HRESULT OSVinculadaAberta(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao, bool& bAberta);
    // Rewrites the open service orders already linked to the order.
    HRESULT VerificaOSGeradas(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao, bool& bSobrescreveu);
    // The order's links as a new run of the relationship file; sets lRelacionamentoOS.
    HRESULT GravaRelacionamentoMovimentacaoOS(_REG_MOVIMENTACAO_MANUT_PREV_PS& regPs);
    // Fills the order's link list from the relationship file.
    HRESULT LeRelacionamentoMovimentacaoOS(_REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao);
    // The technician sections of a service order from the order's lines, one
    // per distinct technician in order of first appearance (task allocator,
    // into regAst.pTecnicos and regAst.lQtdTecnicos).
    HRESULT MontaTecnicosOS(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao, REG_AST_ORDEM_SERVICO_PS& regAst);
    // The product (then the service) items of one technician's section, from
    // its first product (first service) slot on.
    HRESULT AdicionaProdutos(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao, REG_AST_TECNICO_PS& regTecnico,
                             IQVAcessoEmpresarial* pEmpresarial);
    HRESULT AdicionaServicos(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao, REG_AST_TECNICO_PS& regTecnico,
                             IQVAcessoEmpresarial* pEmpresarial);
    // The technical-assistance module's service orders for this session.
    HRESULT GetIGEAssistec(IQVGE_ASTMov*& pIAssitec);

    // The distinct equipment (or product) codes of the plans, or of the orders.
    HRESULT BuscaTreeCadastro(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos, bool bEquipamentos);
    HRESULT BuscaTreeMovimentacao(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos,
                                  bool bEquipamentos);

private:
    // The steps of OnInicializa, which undoes them when one fails.
    HRESULT ExecutaInicializacao();
    // The daily verification's work, under the company's write lock.
    HRESULT ExecutaVerificacaoDatas();

    std::mutex m_travaAvisosPendentes;
    std::vector<AvisoEmailPendente> m_avisosPendentes;

    // The properties in interface form; refreshed by AtualizaPropriedades.
    mutable std::mutex m_travaPropriedades;
    _REG_CADASTRO_PROPRIEDADES_PS m_Propriedades{};
};

}  // namespace zenta
