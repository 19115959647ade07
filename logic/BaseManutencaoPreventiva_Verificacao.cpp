// Due dates and order generation: the daily verification run by the first
// start-up of each day, the verification of the plans of every recorded
// reading, the order a due maintenance opens, its notice record and its
// e-mail, and each technician's list of the day's new orders.
//
// Both verifications run under the company's write lock, so that two
// sessions never count the same days or open the same order twice. The lock
// is recursive: the plan, reading and order saves called from here take it
// again.
#include "logic/BaseManutencaoPreventiva.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/QVCheck.h"
#include "records/QVCamposRegistro.h"
#include "platform/CodePage.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/QVMesAno.h"

namespace zenta {

namespace {

using zenta::CopiaEquipamento;
using zenta::CopiaTexto;
using zenta::TextoCampo;

constexpr HRESULT kNaoEncontrado = HRESULT_FROM_WIN32(1168u);  // ERROR_NOT_FOUND

// a - b for currency, held at the ends of the range instead of wrapping.
LONGLONG SubtraiSaturado(LONGLONG a, LONGLONG b) {
    LONGLONG r = 0;
    if (!__builtin_sub_overflow(a, b, &r)) return r;
    return b < 0 ? std::numeric_limits<LONGLONG>::max() : std::numeric_limits<LONGLONG>::min();
}

// The frequency's observation: the bytes up to the first zero inside the
// `ulQtdBytes` given (all of them when there is none).
std::string_view TextoObservacao(const _REG_DF_TEXTOPS& texto) {
    if (texto.ulQtdBytes == 0 || texto.pTexto == nullptr) return {};
    const void* fim = std::memchr(texto.pTexto, 0, texto.ulQtdBytes);
    const std::size_t tamanho =
        fim != nullptr ? static_cast<std::size_t>(static_cast<const BYTE*>(fim) - texto.pTexto) : texto.ulQtdBytes;
    return {reinterpret_cast<const char*>(texto.pTexto), tamanho};
}

// The growth a reading shows on the plan's meter. While the meter was
// never replaced, counting starts at the frequency's initial value: a
// meter that stood below it counts from there, not from below it.
LONGLONG AumentoMedicao(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m, const _REG_CADASTRO_MEDIDORES_PS& medidor,
                        LONGLONG vQuantidade) {
    LONGLONG desde = medidor.vQuantidadeAtual.int64;
    if (medidor.lQuantidadeMedidoresSubstituidos == 0 && desde < m.frequenciaPS.vMedicaoInicial.int64)
        desde = m.frequenciaPS.vMedicaoInicial.int64;
    return SubtraiSaturado(vQuantidade, desde);
}

// The ERP's accessors for `sessao`. While its start-up runs (the daily
// verification) the session does not count as initialised and has none:
// `local`, a plain access object of the same company, user and session,
// lends them for as long as it lives.
HRESULT AcessosDaSessao(CQVBaseParaRotinas& sessao, CQVBaseParaRotinas& local, CQVAcessoServidores& acessos) {
    acessos = {};
    CQVBaseParaRotinas* origem = &sessao;
    if (!sessao.EstaInicializado()) {
        local.SetUsaConexaoDefault(true);
        const HRESULT hr = local.Inicializa(sessao.GetEmpresa(), sessao.GetUsuario(),
                                            static_cast<LONG>(sessao.GetNumeroSessao()));
        if (FAILED(hr)) return hr;
        origem = &local;
    }
    const HRESULT hr = origem->GetAcessoServidores(acessos);
    if (FAILED(hr)) return hr;
    return acessos.pEmpresarial != nullptr && acessos.pGerenciador != nullptr ? S_OK : E_NOTIMPL;
}

// Frees a list of plans (and everything they hold) at the end of a scope.
class LiberaPlanosNoFim {
public:
    explicit LiberaPlanosNoFim(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS& lista) : m_lista(lista) {}
    ~LiberaPlanosNoFim() {
        if (m_lista.pRegistros != nullptr)
            for (ULONG i = 0; i < m_lista.lQtdRegistros; ++i) zenta::LiberaListasPlano(m_lista.pRegistros[i]);
        CoTaskMemFree(m_lista.pRegistros);
        m_lista = {};
    }
    LiberaPlanosNoFim(const LiberaPlanosNoFim&) = delete;
    LiberaPlanosNoFim& operator=(const LiberaPlanosNoFim&) = delete;

private:
    _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS& m_lista;
};

// Frees a list of orders at the end of a scope.
class LiberaOrdensNoFim {
public:
    explicit LiberaOrdensNoFim(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS& lista) : m_lista(lista) {}
    ~LiberaOrdensNoFim() {
        if (m_lista.pRegistros != nullptr)
            for (ULONG i = 0; i < m_lista.lQtdRegistros; ++i) zenta::LiberaListasMovimentacao(m_lista.pRegistros[i]);
        CoTaskMemFree(m_lista.pRegistros);
        m_lista = {};
    }
    LiberaOrdensNoFim(const LiberaOrdensNoFim&) = delete;
    LiberaOrdensNoFim& operator=(const LiberaOrdensNoFim&) = delete;

private:
    _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS& m_lista;
};

// Whether a reading's identification is exactly a plan's: every code equal
// (0 included) and the serial number equal without regard to case. A plan
// filter treats zero codes and an empty serial as "any"; a reading of one
// identification must never count down the plans of another.
bool MesmaIdentificacao(const _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS& id,
                        const _REG_CADASTRO_HISTORICO_MEDICOES_PS& leitura) {
    return id.lEquipamento == leitura.lEquipamento && id.lProduto == leitura.lProduto &&
           id.lMarca == leitura.lMarca && id.lModelo == leitura.lModelo && id.lTipo == leitura.lTipo &&
           id.lGrade1 == leitura.lGrade1 && id.lGrade2 == leitura.lGrade2 && id.lGrade3 == leitura.lGrade3 &&
           zenta::IguaisSemCaixa(TextoCampo(id.szNrSerie), TextoCampo(leitura.szNrSerie));
}

// The plan's client in force today: the first in list order whose period
// holds today, a bound of 0 leaving that side open (so a client with no
// dates at all is always in force). Null when there is none.
const _REG_CADASTRO_MANUTENCAO_CLIENTE_PS* ClienteVigente(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano,
                                                         ULONG hoje) {
    const auto& clientes = plano.listaClientes;
    for (ULONG i = 0; clientes.pClientes != nullptr && i < clientes.lQtdClientes; ++i) {
        const _REG_CADASTRO_MANUTENCAO_CLIENTE_PS& c = clientes.pClientes[i];
        if ((c.dataInicial == 0 || c.dataInicial <= hoje) && (c.dataFinal == 0 || hoje <= c.dataFinal)) return &c;
    }
    return nullptr;
}

}  // namespace

// ---- The rules of one maintenance ------------------------------------------------------------

ULONG DataBaseContagem(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao, ULONG dataRearme) {
    // A finished order re-arms the maintenance on the day it is finished,
    // but the save that re-arms it puts its last count back on the
    // frequency's first day: counted from there, a maintenance whose first
    // day lies an interval in the past would fall due again at once.
    return dataRearme > regManutencao.dataUltimaVerificacaoMedicao ? dataRearme
                                                                    : regManutencao.dataUltimaVerificacaoMedicao;
}

ULONG PrimeiroDiaTesteTempo(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao, ULONG dataBase) {
    const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f = regManutencao.frequenciaPS;
    // Not before the frequency's first day nor before the day counting
    // starts; then on the day the days still to run (a signed count, taken
    // in 64 bits so that no pair of stored values can wrap it) are used up.
    LONGLONG dia = static_cast<LONGLONG>(dataBase) + static_cast<LONG>(regManutencao.lQuantidadeDiasFalta);
    dia = std::max({dia, static_cast<LONGLONG>(f.dataInicial), static_cast<LONGLONG>(dataBase)});
    if (dia > static_cast<LONGLONG>(std::numeric_limits<ULONG>::max())) return 0;
    // Never after the contract's end.
    if (regManutencao.dataFinalContrato != 0 && dia > static_cast<LONGLONG>(regManutencao.dataFinalContrato)) return 0;
    return static_cast<ULONG>(dia);
}

bool PassaTesteTempo(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao, ULONG hoje, ULONG dataBase) {
    // Due from its first day on, until the contract's end.
    const ULONG primeiro = PrimeiroDiaTesteTempo(regManutencao, dataBase);
    if (primeiro == 0 || hoje < primeiro) return false;
    return regManutencao.dataFinalContrato == 0 || hoje <= regManutencao.dataFinalContrato;
}

bool PassaTesteMedicao(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao,
                       const _REG_CADASTRO_MEDIDORES_PS& regMedidor, CY vQuantidade, ULONG dataGravacao) {
    const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f = regManutencao.frequenciaPS;
    if (vQuantidade.int64 == 0) return false;
    if (regManutencao.dataFinalContrato != 0 && dataGravacao > regManutencao.dataFinalContrato) return false;
    if (regMedidor.lQuantidadeMedidoresSubstituidos == 0 && vQuantidade.int64 < f.vMedicaoInicial.int64) return false;
    const LONGLONG aumento = AumentoMedicao(regManutencao, regMedidor, vQuantidade.int64);
    return SubtraiSaturado(regManutencao.vQuantidadeFalta.int64, aumento) <= 0;
}

bool ManutencaoVencida(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao, bool bTempo, bool bMedicao) {
    switch (regManutencao.frequenciaPS.lTipoFrequencia) {
        case 1: return bMedicao || bTempo;  // time and meter: either
        case 2: return bTempo;              // time only
        case 3: return bMedicao;            // meter only
        // Kind 4 combines both tests and is due only when BOTH pass: the
        // counterpart of kind 1's "either". (The rule "the meter test passes
        // or the time test does not" would open an order on almost every
        // reading.)
        case 4: return bTempo && bMedicao;
        default: return false;
    }
}

std::string AssuntoEmailAviso() { return Utf8ParaCp1252("Aviso de Equipamento para Manutenção"); }

std::string CorpoEmailAviso(std::string_view sNomeUsuario, ULONG lCodigoManutencao, std::string_view sDescricao,
                            const std::string (&partes)[3], std::string_view sNrSerie, ULONG dataPrevista) {
    // "Prezado Sr.: %s \n\nManutenção: Nº %d\n\nInformamos que o equipamento
    // %s%s%s%s - %s foi encaminhado aos seus cuidados.\n\nPrevisão: %s\n\n
    // Atenciosamente.", built piece by piece: the names are data, never a
    // format.
    std::string corpo = Utf8ParaCp1252("Prezado Sr.: ");
    corpo += Utf8ParaCp1252(sNomeUsuario);
    corpo += Utf8ParaCp1252(" \n\nManutenção: Nº ");
    corpo += std::to_string(lCodigoManutencao);
    corpo += Utf8ParaCp1252("\n\nInformamos que o equipamento ");
    corpo += Utf8ParaCp1252(sDescricao);
    for (const std::string& parte : partes) corpo += Utf8ParaCp1252(parte);
    corpo += " - ";
    corpo += sNrSerie;  // already Windows-1252
    corpo += Utf8ParaCp1252(" foi encaminhado aos seus cuidados.\n\nPrevisão: ");
    corpo += REG_QVDMA(dataPrevista).Formata(REG_QVDMA::ESTILO_DMAAAA, '/');
    corpo += "\n\nAtenciosamente.";
    return corpo;
}

// ---- Lookups ---------------------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::LeSituacaoOrdensManutencao(ULONG lCodigoManutencao,
                                                               SituacaoOrdensManutencao& situacao) {
    situacao = {};
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    // Every order of the maintenance counts, whatever month it is filed
    // under: any open one blocks a new order, and days count from the
    // latest day one was finished (an order's last save set its day). The
    // months that hold the maintenance's orders, then their month files'
    // maintenance-code indexes, give the orders.
    auto& arquivo = m_pDataBase->m_MovManutPrev;
    std::vector<ULONGLONG> chavesMes;
    QV_CHECK(MesesDaManutencao(lCodigoManutencao, chavesMes));
    std::vector<ULONGLONG> posicoes;
    for (const ULONGLONG chave : chavesMes) {
        QV_CHECK(PosicoesDaManutencaoNoMes(lCodigoManutencao, chave, posicoes));
        for (const ULONGLONG pos : posicoes) {
            REG_MOVIMENTACAO_MANUT_PREV_V1 ordem{};
            QV_CHECK(arquivo.Le(chave, pos, ordem));
            if (ordem.lSituacao == 0) situacao.bAberta = true;
            if ((ordem.lSituacao == 1 || ordem.lSituacao == 2) && ordem.dataConclusao > situacao.dataRearme)
                situacao.dataRearme = ordem.dataConclusao;
        }
    }
    if (situacao.bAberta) situacao.dataRearme = 0;
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::LeSituacoesOrdens(std::unordered_map<ULONG, SituacaoOrdensManutencao>& situacoes) {
    situacoes.clear();
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    // What LeSituacaoOrdensManutencao gives each code, from every order once.
    auto& arquivo = m_pDataBase->m_MovManutPrev;
    for (const ULONGLONG chave : arquivo.GetChaves()) {
        const ULONGLONG total = arquivo.GetQtdRegistros(chave);
        for (ULONGLONG pos = 1; pos <= total; ++pos) {
            REG_MOVIMENTACAO_MANUT_PREV_V1 ordem{};
            QV_CHECK(arquivo.Le(chave, pos, ordem));
            SituacaoOrdensManutencao& situacao = situacoes[ULONG{ordem.lCodigoManutencao}];  // packed: a copy
            if (ordem.lSituacao == 0) situacao.bAberta = true;
            if ((ordem.lSituacao == 1 || ordem.lSituacao == 2) && ordem.dataConclusao > situacao.dataRearme)
                situacao.dataRearme = ordem.dataConclusao;
        }
    }
    for (auto& [codigo, situacao] : situacoes)
        if (situacao.bAberta) situacao.dataRearme = 0;
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::BuscaPlanosDaMedicao(const _REG_CADASTRO_HISTORICO_MEDICOES_PS& regMedicao,
                                                        _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regPlanos) {
    regPlanos = {};
    _REG_FILTRO_CADASTRO_MANUTENCAO_PS filtro;
    std::memset(&filtro, 0, sizeof filtro);
    CopiaEquipamento(filtro, regMedicao);
    filtro.lTipoIdentificacao = 2;

    // The candidates: the plans whose identification has the reading's key
    // (ascending), or every plan should the file have lost its index
    // between registration and lookup. Each passes the plan filter, as a
    // search of plans would apply it, and then the exact comparison.
    CQVFile<REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1>& arquivo = m_pDataBase->m_ManutencaoPreventiva;
    QV_CHECK(m_pDataBase->IndexaIdentificacoes());
    std::vector<ULONGLONG> candidatos;
    const HRESULT hr = arquivo.ExisteIndex(zenta::ChaveIdentificacaoMedicao(regMedicao), candidatos,
                                           zenta::INDICE_PLANO_IDENTIFICACAO);
    if (hr == E_QVCR_COLUNA_INDEXACAO_INVALIDA) {
        candidatos.clear();
        const ULONGLONG total = arquivo.GetQtdRegistros();
        for (ULONGLONG pos = 1; pos <= total; ++pos) candidatos.push_back(pos);
    } else {
        QV_CHECK(hr);
    }

    // The filter's zero codes and empty serial match anything: only the
    // plans of exactly this identification are kept.
    std::vector<ULONG> mesmos;
    for (const ULONGLONG pos : candidatos) {
        REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 mestre{};
        QV_CHECK(arquivo.Le(pos, mestre));
        bool bPassa = false;
        QV_CHECK(Filtra(filtro, mestre, static_cast<ULONG>(pos), bPassa));
        if (!bPassa) continue;
        _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS id;
        std::memset(&id, 0, sizeof id);
        CopiaEquipamento(id, mestre);
        if (MesmaIdentificacao(id, regMedicao)) mesmos.push_back(static_cast<ULONG>(pos));
    }
    if (mesmos.empty()) return S_OK;
    _REG_LISTA_PTRS_CADASTRO_PS selecionados{};
    selecionados.lQtdPtrs = static_cast<ULONG>(mesmos.size());
    selecionados.pPonteiros = mesmos.data();
    QV_CHECK(BuscaRegistros(selecionados, &regPlanos));
    return S_OK;
}

// ---- Saving a counted plan ----------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::RegravaContagemPlano(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro,
                                                        bool bMedidor) {
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    const ULONGLONG uiPosicao = regCadastro.lPonteiroRegistro;
    // The stored master as it is: only the pointers this save renews change.
    REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 mestre{};
    QV_CHECK(db.m_ManutencaoPreventiva.Le(uiPosicao, mestre));

    ULONG lManutencoes = 0;
    QV_CHECK(GravaManutencoes(regCadastro, lManutencoes));
    regCadastro.lManutencoes = lManutencoes;
    mestre.lManutencoes = lManutencoes;
    mestre.lQtdManutencoes = regCadastro.listaManutencoes.lQtdManutencoes;

    if (bMedidor) {
        // The meter as a new record, as every plan save writes it.
        ULONG lMedidor = 0;
        QV_CHECK(GravaMedidor(regCadastro.idEquipamentoPS.regMedidorAtual, lMedidor));
        regCadastro.idEquipamentoPS.lMedidor = lMedidor;
        mestre.lMedidor = lMedidor;
        mestre.lPonteiroMedicao = regCadastro.lPonteiroMedicao;
    }

    ULONGLONG posGravar = uiPosicao;
    QV_CHECK(db.m_ManutencaoPreventiva.Grava(posGravar, mestre));
    return S_OK;
}

// ---- The daily verification ------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::FazVerificacaoDatasManutencao() {
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    bool bVerificouDia = false;
    {
        const EscopoAvisos avisos(*this);
        // One session of the company at a time: a second session that starts
        // while the first verifies waits, then finds the day verified.
        std::lock_guard trava(m_pDataBase->m_travaGravacao);
        _REG_CADASTRO_PROPRIEDADES_PS antes{}, depois{};
        QV_CHECK(LePropriedades(&antes));
        QV_CHECK(ExecutaVerificacaoDatas());
        QV_CHECK(LePropriedades(&depois));
        bVerificouDia = depois.dataUltimaVerificacaoMedicao != antes.dataUltimaVerificacaoMedicao;
    }
    // Once a day, what the mail server did not take is tried again.
    if (bVerificouDia) ReenviaEmailsPendentes();
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::ExecutaVerificacaoDatas() {
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    const ULONG hoje = REG_QVDMA::Hoje().GetData();

    // A company that has never had plans, notices or properties (a new
    // one) has nothing to verify or clear: its directory is left as it is.
    // One whose plans are gone still has its notice list emptied and its
    // day recorded below.
    if (db.m_ManutencaoPreventiva.GetQtdRegistros() == 0 && !db.m_MovimentacoesDia.ExisteArquivo() &&
        !db.m_ManutencaoPropriedades.ExisteArquivo()) {
        QV_CHECK(AtualizaPropriedades());
        return S_OK;
    }

    // 1. Once a day.
    _REG_CADASTRO_PROPRIEDADES_PS propriedades;
    std::memset(&propriedades, 0, sizeof propriedades);
    QV_CHECK(LePropriedades(&propriedades));
    if (propriedades.dataUltimaVerificacaoMedicao >= hoje) {
        QV_CHECK(AtualizaPropriedades());
        return S_OK;
    }

    // 2. and 3. The notice list holds the orders of the current day only.
    //    Notices of orders opened today stay: a verification that failed
    //    part-way today and runs again must not take them from their
    //    technicians (the orders it opened are not opened twice).
    if (db.m_MovimentacoesDia.ExisteArquivo()) {
        std::vector<REG_MOVIMENTACOES_DIARIAS_V1> deHoje;
        const ULONGLONG total = db.m_MovimentacoesDia.GetQtdRegistros();
        for (ULONGLONG pos = 1; pos <= total; ++pos) {
            REG_MOVIMENTACOES_DIARIAS_V1 aviso{};
            QV_CHECK(db.m_MovimentacoesDia.Le(pos, aviso));
            const REG_QVDMC chave = REG_QVDMC().SetDMC(
                aviso.lPonteiroMovimentacao, REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV, aviso.maMovimentacao);
            REG_MOVIMENTACAO_MANUT_PREV_V1 ordem{};
            if (SUCCEEDED(db.m_MovManutPrev.Le(QVMAToChave(chave.GetMa()), chave.GetPonteiro(), ordem)) &&
                ordem.dataPrevista == hoje)
                deHoje.push_back(aviso);
        }
        if (deHoje.size() != total) QV_CHECK(db.m_MovimentacoesDia.SetConteudo(deHoje));
    }
    QV_CHECK(AtualizaPropriedades());

    // 4. Every plan not excluded, with its maintenances, clients and meter.
    //    Only active plans are verified, so only they are read: a damaged
    //    plan that is not active does not stop the start-up.
    _REG_FILTRO_CADASTRO_MANUTENCAO_PS filtro;
    std::memset(&filtro, 0, sizeof filtro);
    filtro.lTipoIdentificacao = 2;
    filtro.bAtivo = 1;
    _REG_LISTA_PTRS_CADASTRO_PS ponteiros{};
    QV_CHECK(BuscaPonteiros(filtro, &ponteiros));
    const std::unique_ptr<ULONG, decltype(&CoTaskMemFree)> liberaPonteiros(ponteiros.pPonteiros, &CoTaskMemFree);
    _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS planos{};
    const LiberaPlanosNoFim liberaPlanos(planos);
    QV_CHECK(BuscaRegistros(ponteiros, &planos));

    // 5. The active plans, in file order. The situation of every
    //    maintenance's orders is read once, and kept up to date below as
    //    orders are opened.
    std::unordered_map<ULONG, SituacaoOrdensManutencao> situacoes;
    QV_CHECK(LeSituacoesOrdens(situacoes));
    for (ULONG p = 0; planos.pRegistros != nullptr && p < planos.lQtdRegistros; ++p) {
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano = planos.pRegistros[p];
        if (plano.idEquipamentoPS.lSituacao != 1) continue;
        bool bContou = false;
        for (ULONG i = 0; i < plano.listaManutencoes.lQtdManutencoes; ++i) {
            _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m = plano.listaManutencoes.pManutencoes[i];
            const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f = m.frequenciaPS;
            // 5.1 An open order: nothing to count or open.
            const auto itSituacao = situacoes.find(m.lCodigoManutencao);
            const SituacaoOrdensManutencao situacao =
                itSituacao != situacoes.end() ? itSituacao->second : SituacaoOrdensManutencao{};
            if (situacao.bAberta) continue;
            // 5.2 Only the kinds counted by days are verified at start-up.
            if (f.lTipoFrequencia != 1 && f.lTipoFrequencia != 2) continue;
            const ULONG dataBase = zenta::DataBaseContagem(m, situacao.dataRearme);
            if (zenta::PassaTesteTempo(m, hoje, dataBase)) {
                // The reading of the day the order is opened on: the plan's
                // identification, no value (the meter stays where it is).
                _REG_CADASTRO_MEDICAO_ATUAL_PS medicao;
                std::memset(&medicao, 0, sizeof medicao);
                _REG_CADASTRO_HISTORICO_MEDICOES_PS& r = medicao.regMedicaoAtual;
                const _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS& id = plano.idEquipamentoPS;
                CopiaEquipamento(r, id);
                r.lPonteiroCadastro = plano.lPonteiroRegistro;
                r.dataMedicaoCalculo = hoje;
                r.dataMedicaoInformada = hoje;
                // The plan is active, and so is its current reading: a
                // zero here would take it off the list of active readings.
                r.cMedicaoAtiva = 1;
                r.lQtdCasasDecimais = f.lQtdCasasDecimaisMedicao;
                QV_CHECK(GeraMovimentacao(plano, m, medicao));
                QV_CHECK(LeSituacaoOrdensManutencao(m.lCodigoManutencao, situacoes[m.lCodigoManutencao]));
                QV_CHECK(GravaMedicaoAtual(&medicao, TRUE, FALSE));
            }
            // 5.3 The days since the last count.
            // Counting is under way from here: the save below keeps the
            // counters (arming them again would put the last count back on
            // the frequency's first day, or on today when it has none, and
            // such a maintenance would never fall due).
            if (hoje >= f.dataInicial) {
                m.dataUltimaVerificacaoMedicao = hoje;
                m.lQuantidadeDiasFalta = zenta::DiasDescontados(
                    m.lQuantidadeDiasFalta, static_cast<LONGLONG>(hoje) - static_cast<LONGLONG>(dataBase));
                m.bTemMedicaoInformada = 1;
                bContou = true;
            }
        }
        // One save per plan, after all its maintenances were counted.
        if (bContou) QV_CHECK(RegravaContagemPlano(plano, false));
    }

    // 6. The day is verified; no change-log entry is written for this.
    propriedades.dataUltimaVerificacaoMedicao = hoje;
    propriedades.ucNaoGravarLog = 1;
    QV_CHECK(GravaPropriedades(propriedades));
    return S_OK;
}

// ---- Verification on a reading ----------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::VerificaManutencoesMedicao(const _REG_CADASTRO_MEDICAO_ATUAL_PS& regMedicao) {
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    std::lock_guard trava(m_pDataBase->m_travaGravacao);
    const _REG_CADASTRO_HISTORICO_MEDICOES_PS& r = regMedicao.regMedicaoAtual;

    // 1. The plans of the reading's identification.
    _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS planos{};
    const LiberaPlanosNoFim liberaPlanos(planos);
    QV_CHECK(BuscaPlanosDaMedicao(r, planos));

    for (ULONG p = 0; planos.pRegistros != nullptr && p < planos.lQtdRegistros; ++p) {
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano = planos.pRegistros[p];
        // 2. Each maintenance against the reading.
        for (ULONG i = 0; i < plano.listaManutencoes.lQtdManutencoes; ++i)
            QV_CHECK(VerificaFrequenciaMedicao(plano, plano.listaManutencoes.pManutencoes[i], regMedicao));
        // 3. The plan's meter follows the reading; a reading without value
        //    (0) leaves it where it is, as it leaves the stored reading.
        if (r.vQuantidadeMedicao.int64 != 0)
            plano.idEquipamentoPS.regMedidorAtual.vQuantidadeAtual.int64 = r.vQuantidadeMedicao.int64;
        if (plano.lPonteiroMedicao == 0) plano.lPonteiroMedicao = regMedicao.lPonteiroRegistro;
        QV_CHECK(RegravaContagemPlano(plano, true));
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::VerificaFrequenciaMedicao(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro,
                                                             _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao,
                                                             const _REG_CADASTRO_MEDICAO_ATUAL_PS& regMedicaoTotal) {
    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m = regManutencao;
    const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f = m.frequenciaPS;
    const _REG_CADASTRO_HISTORICO_MEDICOES_PS& r = regMedicaoTotal.regMedicaoAtual;
    const _REG_CADASTRO_MEDIDORES_PS& medidor = regCadastro.idEquipamentoPS.regMedidorAtual;
    const ULONG hoje = REG_QVDMA::Hoje().GetData();

    // 1. and 2. Only active plans, and no order while one is open.
    SituacaoOrdensManutencao situacao;
    QV_CHECK(LeSituacaoOrdensManutencao(m.lCodigoManutencao, situacao));
    if (regCadastro.idEquipamentoPS.lSituacao != 1 || situacao.bAberta) return S_OK;

    // 3. Due or not, with the counters as they stand before this reading.
    const ULONG dataBase = zenta::DataBaseContagem(m, situacao.dataRearme);
    const bool bTempo = zenta::PassaTesteTempo(m, hoje, dataBase);
    const bool bMedicao = zenta::PassaTesteMedicao(m, medidor, r.vQuantidadeMedicao, r.dataGravacao);
    const bool bVencida = zenta::ManutencaoVencida(m, bTempo, bMedicao);

    // 4. The meter's growth. A reading without value (0) is no growth: it
    //    would count the whole meter back up.
    const bool bAbaixoInicial =
        medidor.lQuantidadeMedidoresSubstituidos == 0 && r.vQuantidadeMedicao.int64 <= f.vMedicaoInicial.int64;
    if (r.vQuantidadeMedicao.int64 != 0 && !bAbaixoInicial) {
        const LONGLONG aumento = AumentoMedicao(m, medidor, r.vQuantidadeMedicao.int64);
        m.vQuantidadeFalta.int64 = SubtraiSaturado(m.vQuantidadeFalta.int64, aumento);
        // The plan's meter as stored, against which the reading counts.
        REG_CADASTRO_MEDIDORES_V1 armazenado{};
        QV_CHECK(m_pDataBase->m_Medidores.Le(regCadastro.idEquipamentoPS.lMedidor, armazenado));
        if (r.vQuantidadeMedicao.int64 != armazenado.vQuantidadeAtual.int64) m.bTemMedicaoInformada = 1;
    }

    // 5. The days since the last count, for the kinds that count days.
    if (f.lTipoFrequencia != 3 && hoje >= f.dataInicial) {
        m.dataUltimaVerificacaoMedicao = hoje;
        m.lQuantidadeDiasFalta = zenta::DiasDescontados(m.lQuantidadeDiasFalta,
                                                        static_cast<LONGLONG>(hoje) - static_cast<LONGLONG>(dataBase));
        m.bTemMedicaoInformada = 1;
    }

    // 6. The order.
    if (bVencida) QV_CHECK(GeraMovimentacao(regCadastro, m, regMedicaoTotal));
    return S_OK;
}

// ---- Order generation -------------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::GeraMovimentacao(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro,
                                                    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao,
                                                    const _REG_CADASTRO_MEDICAO_ATUAL_PS& regMedicao) {
    const REG_QVDMA hoje = REG_QVDMA::Hoje();
    const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m = regManutencao;
    const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f = m.frequenciaPS;
    const _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS& id = regCadastro.idEquipamentoPS;

    // 1. The client in force; none, no order.
    const _REG_CADASTRO_MANUTENCAO_CLIENTE_PS* pCliente = ClienteVigente(regCadastro, hoje.GetData());
    if (pCliente == nullptr) return S_OK;

    // 2. The order.
    _REG_MOVIMENTACAO_MANUT_PREV_PS ordem;
    std::memset(&ordem, 0, sizeof ordem);
    ordem.dmcChave = REG_QVDMC().SetDMC(0, REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV, hoje.GetMa()).Get64();
    ordem.lFilial = id.lFilial;
    ordem.lEquipamento = id.lEquipamento;
    ordem.lMarca = id.lMarca;
    ordem.lModelo = id.lModelo;
    ordem.lTipo = id.lTipo;
    ordem.lProduto = id.lProduto;
    ordem.lPonteiroGrade1 = id.lGrade1;
    ordem.lPonteiroGrade2 = id.lGrade2;
    ordem.lPonteiroGrade3 = id.lGrade3;
    ordem.lCliente = pCliente->lCliente;
    ordem.lSituacao = 0;
    ordem.lPonteiroCadastro = regCadastro.lPonteiroRegistro;
    ordem.lTecnico = m.lTecnico;
    ordem.lCodigoManutencao = m.lCodigoManutencao;
    ordem.dataPrevista = hoje.GetData();
    ordem.horaDuracao.int64 = f.horaDuracao.int64;
    ordem.vFrequenciaMedicao.int64 = f.vFrequenciaMedicao.int64;
    ordem.vQuantidadeMedicao.int64 = regMedicao.regMedicaoAtual.vQuantidadeMedicao.int64;
    ordem.lQtdCasasDecimais = f.lQtdCasasDecimaisMedicao;
    CopiaTexto(ordem.szNrSerie, id.szNrSerie);
    CopiaTexto(ordem.szParadaManutencao, f.szParadaManutencao);
    const std::unique_ptr<OLECHAR, decltype(&SysFreeString)> observacao(
        zenta::Cp1252ParaBstr(TextoObservacao(f.szObservacao)), &SysFreeString);
    if (observacao == nullptr) QV_CHECK(E_OUTOFMEMORY);
    ordem.bsObservacao = observacao.get();

    // 3. The name: the linked service's, else the maintenance's own. A
    //    service no longer registered falls back to the maintenance's name:
    //    failing here would leave the maintenance due and every start-up
    //    failing on it.
    CopiaTexto(ordem.szNomeManutencao, m.szNomeManutencao);
    if (m.lServicoCadastro != 0) {
        CQVBaseParaRotinas local;
        CQVAcessoServidores acessos;
        QV_CHECK(AcessosDaSessao(*this, local, acessos));
        const auto GetAcessoEmpresarial = [&acessos]() { return acessos.pEmpresarial; };
        CQVDadosDF_Servico servico;
        const HRESULT hr = GetAcessoEmpresarial()->LeServico(m.lServicoCadastro, &servico);
        if (SUCCEEDED(hr)) {
            CopiaTexto(ordem.szNomeManutencao, zenta::Utf8ParaCp1252(servico.GetNome()));
        } else if (hr == kNaoEncontrado) {
            QV_LOG_HR(hr, "GetAcessoEmpresarial()->LeServico(lServicoCadastro) (the maintenance's name is used)");
        } else {
            QV_LOG_HR(hr, "GetAcessoEmpresarial()->LeServico(lServicoCadastro)");
            return hr;
        }
    }

    // 4. Products with their stock places, and services: planned quantity
    //    as both the planned and the used one.
    const auto& produtosPlano = m.listaProdutos;
    const ULONG qtdProdutos = produtosPlano.pProdutos != nullptr ? produtosPlano.lQtdProdutos : 0;
    std::vector<_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS> produtos(qtdProdutos);
    std::vector<std::vector<_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS>> locais(qtdProdutos);
    for (ULONG i = 0; i < qtdProdutos; ++i) {
        const _REG_CADASTRO_MANUTENCAO_PRODUTO_PS& planejado = produtosPlano.pProdutos[i];
        _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& produto = produtos[i];
        std::memset(&produto, 0, sizeof produto);
        produto.lProduto = planejado.lProduto;
        produto.lGrade1 = planejado.lGrade1;
        produto.lGrade2 = planejado.lGrade2;
        produto.lGrade3 = planejado.lGrade3;
        produto.lTecnico = planejado.lTecnico;
        produto.vQuantidadePrevista.int64 = planejado.vQuantidadePrevista.int64;
        produto.vQuantidadeUtilizada.int64 = planejado.vQuantidadePrevista.int64;
        const auto& locaisPlano = planejado.listaLocal;
        if (locaisPlano.pLocaisEstoque == nullptr || locaisPlano.lQtdEstoque == 0) continue;
        locais[i].resize(locaisPlano.lQtdEstoque);
        for (ULONG l = 0; l < locaisPlano.lQtdEstoque; ++l) {
            std::memset(&locais[i][l], 0, sizeof locais[i][l]);
            zenta::CopiaLocalEstoque(locais[i][l], locaisPlano.pLocaisEstoque[l]);
        }
        produto.listaLocal.lQtdEstoque = locaisPlano.lQtdEstoque;
        produto.listaLocal.pLocaisEstoque = locais[i].data();
    }
    ordem.listaProdutos.lQtdProdutos = qtdProdutos;
    ordem.listaProdutos.pProdutos = produtos.empty() ? nullptr : produtos.data();

    const auto& servicosPlano = m.listaServicos;
    const ULONG qtdServicos = servicosPlano.pServicos != nullptr ? servicosPlano.lQtdServicos : 0;
    std::vector<_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS> servicos(qtdServicos);
    for (ULONG i = 0; i < qtdServicos; ++i) {
        const _REG_CADASTRO_MANUTENCAO_SERVICO_PS& planejado = servicosPlano.pServicos[i];
        _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS& servico = servicos[i];
        std::memset(&servico, 0, sizeof servico);
        servico.lServico = planejado.lServico;
        servico.lTecnico = planejado.lTecnico;
        servico.vQuantidadePrevista.int64 = planejado.vQuantidadePrevista.int64;
        servico.vQuantidadeUtilizada.int64 = planejado.vQuantidadePrevista.int64;
    }
    ordem.listaServicos.lQtdServicos = qtdServicos;
    ordem.listaServicos.pServicos = servicos.empty() ? nullptr : servicos.data();

    // 5. and 6. The maintenance has its order; the order is saved.
    regManutencao.bMovimentacaoGerada = 1;
    ULONGLONG uiChave = 0;
    QV_CHECK(GravaMovimentacao(ordem, &uiChave));
    const REG_QVDMC chave(uiChave);

    // 8. The notice record, before the e-mail: the order is saved, and a
    //    failed e-mail must not cost its technician the notice too.
    QV_CHECK(AtualizaPropriedades());
    if (GetPropriedades().cAvisarComTelaAviso != 0) {
        REG_MOVIMENTACOES_DIARIAS_V1 aviso;
        std::memset(static_cast<void*>(&aviso), 0, sizeof aviso);
        aviso.lPonteiroMovimentacao = chave.GetPonteiro();
        aviso.bMostrado = 0;
        aviso.maMovimentacao = chave.GetMa();
        ULONGLONG posAviso = 0;
        QV_CHECK(m_pDataBase->m_MovimentacoesDia.Grava(posAviso, aviso));
    }

    // 7. The technician's e-mail, sent once the company's write lock is let go.
    if (regManutencao.lTecnico != 0) {
        AvisoEmailPendente aviso{};
        aviso.id = regCadastro.idEquipamentoPS;
        aviso.lTecnico = regManutencao.lTecnico;
        aviso.lCodigoManutencao = regManutencao.lCodigoManutencao;
        aviso.dataPrevista = ordem.dataPrevista;
        std::lock_guard travaAvisos(m_travaAvisosPendentes);
        m_avisosPendentes.push_back(aviso);
    }
    return S_OK;
}

// ---- Sending the e-mail notices --------------------------------------------------------------

namespace {
// How deep the calling thread is in operations of one logic object that may
// queue notices. Operations never nest across objects: entering another
// object's operation means the recorded one was left without unwinding (a
// machine fault ends a call that way, and its object is disposed of), and
// counting starts again.
thread_local const void* t_baseAvisos = nullptr;
thread_local int t_profundidadeAvisos = 0;
}  // namespace

CBaseManutencaoPreventiva::EscopoAvisos::EscopoAvisos(CBaseManutencaoPreventiva& base) : m_base(base) {
    if (t_baseAvisos != &base) {
        t_baseAvisos = &base;
        t_profundidadeAvisos = 0;
    }
    ++t_profundidadeAvisos;
}

CBaseManutencaoPreventiva::EscopoAvisos::~EscopoAvisos() {
    if (--t_profundidadeAvisos == 0) m_base.EnviaAvisosPendentes();
}

void CBaseManutencaoPreventiva::EnviaAvisosPendentes() {
    std::vector<AvisoEmailPendente> avisos;
    {
        std::lock_guard trava(m_travaAvisosPendentes);
        avisos.swap(m_avisosPendentes);
    }
    for (const AvisoEmailPendente& aviso : avisos) {
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano;
        std::memset(&plano, 0, sizeof plano);
        plano.idEquipamentoPS = aviso.id;
        _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS manutencao;
        std::memset(&manutencao, 0, sizeof manutencao);
        manutencao.lTecnico = aviso.lTecnico;
        manutencao.lCodigoManutencao = aviso.lCodigoManutencao;
        if (const HRESULT hr = EnviaEmailAviso(plano, manutencao, aviso.dataPrevista); FAILED(hr))
            QV_LOG_HR(hr, "EnviaEmailAviso(plano, manutencao, dataPrevista) (the order is saved; no e-mail)");
    }
}

void CBaseManutencaoPreventiva::ReenviaEmailsPendentes() {
    CQVBaseParaRotinas local;
    CQVAcessoServidores acessos;
    HRESULT hr = AcessosDaSessao(*this, local, acessos);
    if (SUCCEEDED(hr)) hr = acessos.pEmpresarial->ReenviaEmailsPendentes();
    if (FAILED(hr)) QV_LOG_HR(hr, "ReenviaEmailsPendentes() (the messages wait for the next send)");
}

// ---- E-mail notice -------------------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::EnviaEmailAviso(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro,
                                                   const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& regManutencao,
                                                   ULONG dataPrevista) {
    // 1. Wanted at all.
    QV_CHECK(AtualizaPropriedades());
    if (regManutencao.lTecnico == 0 || GetPropriedades().cAvisarPorEmail == 0) return S_OK;
    // Users have 16-bit codes: a wider technician code names no user (cut
    // to 16 bits it would name somebody else).
    if (regManutencao.lTecnico > 0xFFFFu) return S_OK;

    CQVBaseParaRotinas local;
    CQVAcessoServidores acessos;
    QV_CHECK(AcessosDaSessao(*this, local, acessos));
    const auto GetAcessoEmpresarial = [&acessos]() { return acessos.pEmpresarial; };
    const auto GetAcessoGerenciador = [&acessos]() { return acessos.pGerenciador; };

    // 2. The technician, with an address.
    CQVDadosDF_Usuario dadosUsuario;
    QV_CHECK(GetAcessoEmpresarial()->LeUsuario(static_cast<USHORT>(regManutencao.lTecnico), &dadosUsuario));
    if (dadosUsuario.GetEmail().empty()) return S_OK;

    // 3. What the item is: the equipment with its brand, model and type, or
    //    the product with its grade items.
    const _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS& id = regCadastro.idEquipamentoPS;
    std::string sDescricao;
    std::string partes[3];
    const auto Parte = [](const std::string& nome) { return nome.empty() ? std::string() : " - " + nome; };
    if (id.lEquipamento != 0) {
        std::string sMarca, sModelo, sTipo;
        QV_CHECK(GetAcessoGerenciador()->LeBufferEquipamentoAST(id.lEquipamento, &sDescricao));
        QV_CHECK(GetAcessoGerenciador()->LeBufferMarcaAST(id.lMarca, &sMarca));
        QV_CHECK(GetAcessoGerenciador()->LeBufferModeloAST(id.lModelo, &sModelo));
        QV_CHECK(GetAcessoGerenciador()->LeBufferTipoAST(id.lTipo, &sTipo));
        partes[0] = Parte(sMarca);
        partes[1] = Parte(sModelo);
        partes[2] = Parte(sTipo);
    } else {
        CQVPosicaoProduto posicao;
        posicao.lProduto = id.lProduto;
        // Grade items are 16-bit pointers in the enterprise module.
        posicao.lGrade1 = static_cast<USHORT>(id.lGrade1);
        posicao.lGrade2 = static_cast<USHORT>(id.lGrade2);
        posicao.lGrade3 = static_cast<USHORT>(id.lGrade3);
        CQVDadosDF_ProdutoEx produto;
        QV_CHECK(GetAcessoEmpresarial()->LeProdutoEx(posicao, &produto));
        sDescricao = produto.GetNome();
        for (int g = 0; g < 3; ++g) partes[g] = Parte(produto.GetDescricaoGrade(g));
    }

    // 4. and 5. The message.
    CQVDadosEmail dadosEmail;
    dadosEmail.destinatarios.push_back(dadosUsuario.GetEmail());
    dadosEmail.sAssunto = zenta::AssuntoEmailAviso();
    CQVParteEmail corpo;
    corpo.iTipo = 6;
    corpo.sConteudo = zenta::CorpoEmailAviso(dadosUsuario.GetNome(), regManutencao.lCodigoManutencao, sDescricao,
                                             partes, TextoCampo(id.szNrSerie), dataPrevista);
    dadosEmail.partes.push_back(std::move(corpo));
    QV_CHECK(GetAcessoEmpresarial()->EnviaEmail(dadosEmail));
    return S_OK;
}

// ---- The day's notices ------------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::BuscaMovimentacoesDiarias(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) {
    if (pRegListaRegistros == nullptr) QV_CHECK(E_POINTER);
    pRegListaRegistros->lQtdRegistros = 0;
    pRegListaRegistros->lFiller = 0;
    pRegListaRegistros->pFiller = nullptr;
    pRegListaRegistros->pRegistros = nullptr;
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;

    QV_CHECK(AtualizaPropriedades());
    if (GetPropriedades().cAvisarComTelaAviso == 0) return S_OK;
    // Reading and marking are one step: two sessions of the same user get
    // each notice once between them.
    std::lock_guard trava(db.m_travaGravacao);
    auto& arquivo = db.m_MovimentacoesDia;
    if (!arquivo.ExisteArquivo()) return S_OK;
    const ULONGLONG total = arquivo.GetQtdRegistros();
    if (total == 0) return S_OK;

    // The user's notices not shown yet, in position order; all are read
    // before any is marked, so that a failed call marks none.
    std::vector<ULONGLONG> posicoes;
    std::vector<REG_MOVIMENTACOES_DIARIAS_V1> avisos;
    std::vector<_REG_MOVIMENTACAO_MANUT_PREV_PS> ordens;
    _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS lidas{};
    const LiberaOrdensNoFim liberaLidas(lidas);
    const auto Libera = [&ordens]() {
        for (auto& o : ordens) zenta::LiberaListasMovimentacao(o);
        ordens.clear();
    };
    const ULONG usuario = GetUsuario();
    for (ULONGLONG pos = 1; pos <= total; ++pos) {
        REG_MOVIMENTACOES_DIARIAS_V1 aviso{};
        if (const HRESULT hr = arquivo.Le(pos, aviso); FAILED(hr)) {
            Libera();
            QV_CHECK(hr);
        }
        if (aviso.bMostrado != 0) continue;
        const REG_QVDMC chave =
            REG_QVDMC().SetDMC(aviso.lPonteiroMovimentacao, REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV,
                               aviso.maMovimentacao);
        // The order's record tells whose notice it is; only the calling
        // user's orders are read whole. An order that cannot be read is
        // left out (logged) and its notice stays unshown: it must not cost
        // every technician the list.
        _REG_MOVIMENTACAO_MANUT_PREV_PS ordem;
        if (const HRESULT hr = LeMovimentacaoInterna(chave.Get64(), ordem, false); FAILED(hr)) {
            QV_LOG_HR(hr, "LeMovimentacaoInterna(aviso) (the notice is left out)");
            continue;
        }
        if (ordem.lTecnico != usuario) continue;
        if (const HRESULT hr = LeMovimentacaoInterna(chave.Get64(), ordem, true); FAILED(hr)) {
            zenta::LiberaListasMovimentacao(ordem);
            QV_LOG_HR(hr, "LeMovimentacaoInterna(aviso) (the notice is left out)");
            continue;
        }
        ordens.push_back(ordem);
        posicoes.push_back(pos);
        avisos.push_back(aviso);
    }
    if (ordens.empty()) return S_OK;

    _REG_MOVIMENTACAO_MANUT_PREV_PS* pOrdens = nullptr;
    if (const HRESULT hr = zenta::AlocaArray(ordens.size(), pOrdens); FAILED(hr)) {
        Libera();
        QV_CHECK(hr);
    }
    std::memcpy(static_cast<void*>(pOrdens), ordens.data(), ordens.size() * sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS));
    // From here the orders' lists belong to the array.
    lidas.lQtdRegistros = static_cast<ULONG>(ordens.size());
    lidas.pRegistros = pOrdens;
    ordens.clear();

    for (std::size_t i = 0; i < posicoes.size(); ++i) {
        avisos[i].bMostrado = 1;
        ULONGLONG pos = posicoes[i];
        QV_CHECK(arquivo.Grava(pos, avisos[i]));
    }
    *pRegListaRegistros = lidas;
    lidas = {};
    return S_OK;
}

}  // namespace zenta
