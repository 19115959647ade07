// Meter readings: the current reading of each identification, the monthly
// history and meter replacement.
//
// A reading is identified by equipment, product, brand, model, type, the
// three grades and the serial number (without regard to case); the current
// readings file holds at most one record per identification written here.
// History entries go to the month file of the day they are recorded.
#include "logic/BaseManutencaoPreventiva.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>
#include <vector>

#include "diagnostics/QVCheck.h"
#include "records/QVCamposRegistro.h"
#include "records/QVLiberaRegistro.h"
#include "values/QVDMA.h"
#include "values/QVHMS.h"
#include "values/QVMesAno.h"

namespace zenta {

namespace {

// Whether a list of `quantidade` positions may be answered record by record:
// no longer than the file holds records, except for short lists, which are
// answered item by item whatever they name.
bool QuantidadeAdmissivel(ULONG quantidade, ULONGLONG registrosNoArquivo) {
    constexpr ULONG kListaCurta = 1024;
    return quantidade <= kListaCurta || quantidade <= registrosNoArquivo;
}

using zenta::CopiaEquipamento;
using zenta::CopiaTexto;
using zenta::TextoCampo;

// ---- Stored form <-> interface form --------------------------------------------------
// The current reading and the history entry are stored with the same fields
// (every field of the interface reading except its fillers), so one pair of
// conversions serves both record types. Currency is copied through its
// 64-bit member: in the packed stored records it sits at an odd offset.

template <class TArmazenado>
void ParaArmazenado(const _REG_CADASTRO_HISTORICO_MEDICOES_PS& origem, TArmazenado& destino) {
    destino = TArmazenado{};
    destino.dataMedicaoCalculo = origem.dataMedicaoCalculo;
    destino.horaMedicaoCalculo = origem.horaMedicaoCalculo;
    destino.dataGravacao = origem.dataGravacao;
    destino.dataMedicaoInformada = origem.dataMedicaoInformada;
    CopiaEquipamento(destino, origem);
    destino.lTecnico = origem.lTecnico;
    destino.vQuantidadeMedicao.int64 = origem.vQuantidadeMedicao.int64;
    destino.lQtdCasasDecimais = origem.lQtdCasasDecimais;
    destino.horaMedicaoInformada = origem.horaMedicaoInformada;
    destino.lPonteiroCadastro = origem.lPonteiroCadastro;
    destino.cMedicaoAtiva = origem.cMedicaoAtiva;
}

template <class TArmazenado>
void ParaInterface(const TArmazenado& origem, _REG_CADASTRO_HISTORICO_MEDICOES_PS& destino) {
    destino = _REG_CADASTRO_HISTORICO_MEDICOES_PS{};
    // A stored serial without its terminator (a damaged file) loses its last
    // character rather than leaving the client a text without end.
    CopiaEquipamento(destino, origem);
    destino.cMedicaoAtiva = origem.cMedicaoAtiva;
    destino.lTecnico = origem.lTecnico;
    destino.lPonteiroCadastro = origem.lPonteiroCadastro;
    destino.dataMedicaoCalculo = origem.dataMedicaoCalculo;
    destino.dataGravacao = origem.dataGravacao;
    destino.horaMedicaoCalculo = origem.horaMedicaoCalculo;
    destino.dataMedicaoInformada = origem.dataMedicaoInformada;
    destino.horaMedicaoInformada = origem.horaMedicaoInformada;
    destino.vQuantidadeMedicao.int64 = origem.vQuantidadeMedicao.int64;
    destino.lQtdCasasDecimais = origem.lQtdCasasDecimais;
}

// ---- Identification and filter ---------------------------------------------------------

// Whether a stored reading has the identification of an interface reading.
template <class TArmazenado>
bool MesmaIdentificacao(const TArmazenado& armazenado, const _REG_CADASTRO_HISTORICO_MEDICOES_PS& leitura) {
    return armazenado.lEquipamento == leitura.lEquipamento && armazenado.lProduto == leitura.lProduto &&
           armazenado.lMarca == leitura.lMarca && armazenado.lModelo == leitura.lModelo &&
           armazenado.lTipo == leitura.lTipo && armazenado.lGrade1 == leitura.lGrade1 &&
           armazenado.lGrade2 == leitura.lGrade2 && armazenado.lGrade3 == leitura.lGrade3 &&
           zenta::IguaisSemCaixa(TextoCampo(armazenado.szNrSerie), TextoCampo(leitura.szNrSerie));
}

// The lowest position of the current reading of an identification, 0 when
// there is none; `armazenado` receives that record. The identification
// index gives the candidates (positions ascending, possibly of other
// identifications with the same key); should the file have lost its index
// between registration and lookup, every record is a candidate.
HRESULT BuscaMedicaoAtual(CQVDataBase_GE_ManutencaoPreventiva& db, const _REG_CADASTRO_HISTORICO_MEDICOES_PS& leitura,
                          ULONGLONG& uiPosicao, REG_CADASTRO_MEDICAO_ATUAL_V1& armazenado) {
    uiPosicao = 0;
    armazenado = REG_CADASTRO_MEDICAO_ATUAL_V1{};
    CQVFile<REG_CADASTRO_MEDICAO_ATUAL_V1>& arquivo = db.m_MedicaoAtual;
    QV_CHECK(db.IndexaIdentificacoes());
    std::vector<ULONGLONG> candidatos;
    const HRESULT hr = arquivo.ExisteIndex(zenta::ChaveIdentificacaoMedicao(leitura), candidatos,
                                           zenta::INDICE_MEDICAO_IDENTIFICACAO);
    if (hr == E_QVCR_COLUNA_INDEXACAO_INVALIDA) {
        candidatos.clear();
        const ULONGLONG qtdRegistros = arquivo.GetQtdRegistros();
        for (ULONGLONG pos = 1; pos <= qtdRegistros; ++pos) candidatos.push_back(pos);
    } else {
        QV_CHECK(hr);
    }
    for (const ULONGLONG pos : candidatos) {
        REG_CADASTRO_MEDICAO_ATUAL_V1 reg{};
        QV_CHECK(arquivo.Le(pos, reg));
        if (!MesmaIdentificacao(reg, leitura)) continue;
        uiPosicao = pos;
        armazenado = reg;
        return S_OK;
    }
    return S_OK;
}

// A reading from a client can be stored: its serial number ends inside its field.
HRESULT ConfereLeitura(const _REG_CADASTRO_HISTORICO_MEDICOES_PS& leitura) {
    return zenta::TextoTerminado(leitura.szNrSerie) ? S_OK : E_INVALIDARG;
}

// The reading filter, checked once and with its codes copied out of the
// client's array.
class FiltroMedicao {
public:
    // E_INVALIDARG for a serial without terminator or codes without array.
    HRESULT Prepara(const _REG_FILTRO_MEDICAO_PS& filtro) {
        if (!zenta::TextoTerminado(filtro.szNrSerie)) return E_INVALIDARG;
        if (filtro.lQtdPonteirosIdentificacao != 0 && filtro.pPonteirosIdentificacao == nullptr) return E_INVALIDARG;
        m_filtro = filtro;
        m_codigos.assign(filtro.pPonteirosIdentificacao,
                         filtro.pPonteirosIdentificacao + filtro.lQtdPonteirosIdentificacao);
        return S_OK;
    }

    // Whether a stored reading passes; the first failing condition rejects.
    template <class TArmazenado>
    bool Aceita(const TArmazenado& reg) const {
        const _REG_FILTRO_MEDICAO_PS& f = m_filtro;
        if (!zenta::PassaIdentificacao(f.lTipoIdentificacao, m_codigos.data(), static_cast<ULONG>(m_codigos.size()),
                                       reg.lEquipamento, reg.lProduto))
            return false;
        if (f.lPonteiroCadastro != 0 && f.lPonteiroCadastro != reg.lPonteiroCadastro) return false;
        if (f.bSomenteEquipamentos != 0 && reg.lProduto != 0) return false;
        if (f.bSomenteProdutos != 0 && reg.lEquipamento != 0) return false;
        if (!Igual(f.lEquipamento, reg.lEquipamento) || !Igual(f.lMarca, reg.lMarca) ||
            !Igual(f.lModelo, reg.lModelo) || !Igual(f.lTipo, reg.lTipo) || !Igual(f.lProduto, reg.lProduto) ||
            !Igual(f.lGrade1, reg.lGrade1) || !Igual(f.lGrade2, reg.lGrade2) || !Igual(f.lGrade3, reg.lGrade3))
            return false;
        const std::string_view serie = TextoCampo(f.szNrSerie);
        if (!serie.empty() && !zenta::IguaisSemCaixa(serie, TextoCampo(reg.szNrSerie))) return false;
        return true;
    }

private:
    // A condition that is set (non-zero) must be equal.
    static bool Igual(ULONG condicao, ULONG valor) { return condicao == 0 || condicao == valor; }

    _REG_FILTRO_MEDICAO_PS m_filtro{};
    std::vector<ULONG> m_codigos;
};

// Whether a month/year code names a month (1 is January 1848).
bool MesAnoValido(USHORT ma) { return ma >= 1 && ma <= QVMA_MAXIMO; }

// A position handed in by a client as the engine takes it: a negative
// number becomes a position beyond any file, which the engine refuses.
ULONGLONG PosicaoDoCliente(LONG lPos) { return static_cast<ULONG>(lPos); }

// Frees the lists a plan read with Le holds when the scope ends.
class LiberaPlanoNoFim {
public:
    explicit LiberaPlanoNoFim(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano) : m_plano(plano) {}
    ~LiberaPlanoNoFim() { zenta::LiberaRegistro(m_plano); }
    LiberaPlanoNoFim(const LiberaPlanoNoFim&) = delete;
    LiberaPlanoNoFim& operator=(const LiberaPlanoNoFim&) = delete;

private:
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& m_plano;
};

}  // namespace

// ---- Current reading ---------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::PosicaoMedicaoAtual(const _REG_CADASTRO_HISTORICO_MEDICOES_PS& leitura,
                                                        ULONGLONG& uiPosicao, REG_CADASTRO_MEDICAO_ATUAL_V1& armazenado) {
    QV_CHECK(BuscaMedicaoAtual(*m_pDataBase, leitura, uiPosicao, armazenado));
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::GravaMedicaoAtual(_REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao, LONG bGravarHistorico,
                                                     LONG bCalcularMedicao) {
    if (pRegMedicao == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    _REG_CADASTRO_HISTORICO_MEDICOES_PS& leitura = pRegMedicao->regMedicaoAtual;
    QV_CHECK(ConfereLeitura(leitura));
    QV_CHECK(ValidaDominioMedicao(leitura));
    // The search and the write are one step for every session of the
    // company: two sessions recording a new identification at once must not
    // both append.
    const EscopoAvisos avisos(*this);  // e-mail notices go out once the lock is let go
    std::lock_guard trava(m_pDataBase->m_travaGravacao);
    CQVFile<REG_CADASTRO_MEDICAO_ATUAL_V1>& arquivo = m_pDataBase->m_MedicaoAtual;

    // 1. Dates and time the server settles.
    const ULONG hoje = REG_QVDMA::Hoje().GetData();
    leitura.dataGravacao = hoje;
    if (leitura.dataMedicaoInformada == 0) leitura.dataMedicaoInformada = hoje;
    if (leitura.horaMedicaoInformada == 0)
        leitura.horaMedicaoInformada = static_cast<LONG>(REG_QVHMS::Agora().GetSegundosDia());

    // 2. The stored reading of the same identification, if any: it is
    // rewritten, and a reading without value keeps the meter where it was.
    ULONGLONG uiPosicao = QVDATABASE_POSICAO_NOVO_REGISTRO;
    REG_CADASTRO_MEDICAO_ATUAL_V1 armazenado{};
    QV_CHECK(BuscaMedicaoAtual(*m_pDataBase, leitura, uiPosicao, armazenado));
    if (uiPosicao != QVDATABASE_POSICAO_NOVO_REGISTRO && leitura.vQuantidadeMedicao.int64 == 0)
        leitura.vQuantidadeMedicao.int64 = armazenado.vQuantidadeMedicao.int64;

    // 3. The technician defaults to the calling user.
    if (leitura.lTecnico == 0) leitura.lTecnico = GetUsuario();

    // 4. Write.
    REG_CADASTRO_MEDICAO_ATUAL_V1 reg{};
    ParaArmazenado(leitura, reg);
    QV_CHECK(arquivo.Grava(uiPosicao, reg));
    pRegMedicao->lPonteiroRegistro = static_cast<ULONG>(uiPosicao);

    // 5. and 6. The current reading is written by now: a failure of the
    // verification or of the history leaves it so.
    if (bCalcularMedicao != 0) QV_CHECK(VerificaManutencoesMedicao(*pRegMedicao));
    if (bGravarHistorico != 0) {
        LONG lPosicaoHistorico = 0;
        QV_CHECK(GravaHistoricoMedicao(&lPosicaoHistorico, &leitura));
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::LeMedicaoAtual(LONG lPos, _REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao) {
    if (pRegMedicao == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    REG_CADASTRO_MEDICAO_ATUAL_V1 reg{};
    QV_CHECK(m_pDataBase->m_MedicaoAtual.Le(PosicaoDoCliente(lPos), reg));
    *pRegMedicao = _REG_CADASTRO_MEDICAO_ATUAL_PS{};
    ParaInterface(reg, pRegMedicao->regMedicaoAtual);
    pRegMedicao->lPonteiroRegistro = static_cast<ULONG>(lPos);
    return S_OK;
}

// ---- History -----------------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::GravaHistoricoMedicao(LONG* pPosicao,
                                                         _REG_CADASTRO_HISTORICO_MEDICOES_PS* pRegMedicao) {
    if (pPosicao == nullptr || pRegMedicao == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    QV_CHECK(ConfereLeitura(*pRegMedicao));

    const REG_QVDMA hoje = REG_QVDMA::Hoje();
    pRegMedicao->dataGravacao = hoje.GetData();
    REG_CADASTRO_HISTORICO_MEDICOES_V1 reg{};
    ParaArmazenado(*pRegMedicao, reg);
    // The month file of the recording day; the group creates it on its first write.
    const ULONGLONG uiChave = QVMAToChave(hoje.GetMa());
    ULONGLONG uiPosicao = PosicaoDoCliente(*pPosicao);
    QV_CHECK(m_pDataBase->m_HistoricoMedicoes.Grava(uiChave, uiPosicao, reg));
    *pPosicao = static_cast<LONG>(uiPosicao);
    return S_OK;
}

// ---- Redoing the initial reading -----------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::RefazMedicaoInicial(const _REG_CADASTRO_MEDICAO_ATUAL_PS& regMedicaoAtual) {
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    QV_CHECK(ConfereLeitura(regMedicaoAtual.regMedicaoAtual));
    std::lock_guard trava(m_pDataBase->m_travaGravacao);
    ULONGLONG pos = 0;
    REG_CADASTRO_MEDICAO_ATUAL_V1 armazenado{};
    QV_CHECK(BuscaMedicaoAtual(*m_pDataBase, regMedicaoAtual.regMedicaoAtual, pos, armazenado));
    if (pos != 0) {
        // Recorded again as stored: its recording date becomes today, its
        // quantity stays and the plans of the identification are verified.
        _REG_CADASTRO_MEDICAO_ATUAL_PS leitura{};
        ParaInterface(armazenado, leitura.regMedicaoAtual);
        leitura.lPonteiroRegistro = static_cast<ULONG>(pos);
        QV_CHECK(GravaMedicaoAtual(&leitura, 0, 1));
        return S_OK;
    }

    // No current reading has this identification (the plan's reading was
    // lost, or the plan was saved before it had one). Rewriting any other
    // record would overwrite another identification's meter, so the given
    // reading itself becomes the identification's current reading: the plan
    // gets its reading and nobody else's changes. Its position is the one
    // the write finds, not the one it came with.
    _REG_CADASTRO_MEDICAO_ATUAL_PS leitura = regMedicaoAtual;
    leitura.lPonteiroRegistro = 0;
    QV_CHECK(GravaMedicaoAtual(&leitura, 0, 1));
    return S_OK;
}

// ---- Meter replacement ---------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::GravaMedidorSubstituido(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& RegCadastro,
                                                           const _REG_CADASTRO_MEDIDORES_PS& regMedidor) {
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    // Plan positions are signed at the interface; a larger one names no plan.
    if (RegCadastro.lPonteiroRegistro > static_cast<ULONG>(std::numeric_limits<LONG>::max())) QV_CHECK(E_INVALIDARG);
    LONG lPosicao = static_cast<LONG>(RegCadastro.lPonteiroRegistro);

    // Read, count and save as one step: two replacements at once must both count.
    const EscopoAvisos avisos(*this);  // e-mail notices go out once the lock is let go
    std::lock_guard trava(m_pDataBase->m_travaGravacao);
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    const LiberaPlanoNoFim liberaPlano(plano);
    QV_CHECK(Le(lPosicao, &plano));

    // The new meter counts the meters the plan has had; the plan gets a new
    // meter record when it is saved.
    _REG_CADASTRO_MEDIDORES_PS medidor = regMedidor;
    std::memset(medidor.szFiller, 0, sizeof medidor.szFiller);
    const ULONG ulSubstituidos = plano.idEquipamentoPS.regMedidorAtual.lQuantidadeMedidoresSubstituidos;
    medidor.lQuantidadeMedidoresSubstituidos = ulSubstituidos + 1;
    plano.idEquipamentoPS.lMedidor = 0;
    plano.idEquipamentoPS.regMedidorAtual = medidor;

    // The identification's current reading is the old meter's last one: it
    // now stands where the new meter starts, or the save's verification
    // would count the old meter's reading as growth of the new one.
    _REG_CADASTRO_HISTORICO_MEDICOES_PS identificacao{};
    const auto& id = plano.idEquipamentoPS;
    CopiaEquipamento(identificacao, id);
    ULONGLONG posMedicao = 0;
    REG_CADASTRO_MEDICAO_ATUAL_V1 atual{};
    QV_CHECK(BuscaMedicaoAtual(*m_pDataBase, identificacao, posMedicao, atual));
    if (posMedicao != 0 && atual.vQuantidadeMedicao.int64 != medidor.vQuantidadeAtual.int64) {
        atual.vQuantidadeMedicao.int64 = medidor.vQuantidadeAtual.int64;
        atual.dataGravacao = REG_QVDMA::Hoje().GetData();
        QV_CHECK(m_pDataBase->m_MedicaoAtual.Grava(posMedicao, atual));
    }
    QV_CHECK(Grava(&lPosicao, plano));
    return S_OK;
}

// ---- Selections ------------------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::BuscaPonteirosMedicaoAtual(const _REG_FILTRO_MEDICAO_PS& regFiltro,
                                                              _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) {
    if (pregPonteiros == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    FiltroMedicao filtro;
    QV_CHECK(filtro.Prepara(regFiltro));

    const CQVFile<REG_CADASTRO_MEDICAO_ATUAL_V1>& arquivo = m_pDataBase->m_MedicaoAtual;
    std::vector<ULONG> posicoes;
    const ULONGLONG qtdRegistros = arquivo.GetQtdRegistros();
    for (ULONGLONG pos = 1; pos <= qtdRegistros; ++pos) {
        REG_CADASTRO_MEDICAO_ATUAL_V1 reg{};
        QV_CHECK(arquivo.Le(pos, reg));
        // Only readings of active plans are current.
        if (reg.cMedicaoAtiva != 0 && filtro.Aceita(reg)) posicoes.push_back(static_cast<ULONG>(pos));
    }

    ULONG* pPonteiros = nullptr;
    QV_CHECK(zenta::AlocaArray(posicoes.size(), pPonteiros));
    if (!posicoes.empty()) std::memcpy(pPonteiros, posicoes.data(), posicoes.size() * sizeof(ULONG));
    // A list the caller handed in with an array keeps that array: it is the caller's.
    pregPonteiros->lQtdPtrs = static_cast<ULONG>(posicoes.size());
    pregPonteiros->lFiller = 0;
    pregPonteiros->cFiller = nullptr;
    pregPonteiros->pPonteiros = pPonteiros;
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::BuscaRegistrosMedicaoAtual(
    const _REG_LISTA_PTRS_CADASTRO_PS& regPonteiros, _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS* pRegListaRegistros) {
    if (pRegListaRegistros == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    if (regPonteiros.lQtdPtrs == 0) return S_OK;
    if (regPonteiros.pPonteiros == nullptr) QV_CHECK(E_INVALIDARG);
    // More items than the file holds records cannot all be readings: the
    // count is refused before anything is allocated for it.
    if (!QuantidadeAdmissivel(regPonteiros.lQtdPtrs, m_pDataBase->m_MedicaoAtual.GetQtdRegistros()))
        QV_CHECK(E_INVALIDARG);

    _REG_CADASTRO_MEDICAO_ATUAL_PS* pRegistros = nullptr;
    QV_CHECK(zenta::AlocaArray(regPonteiros.lQtdPtrs, pRegistros));
    for (ULONG i = 0; i < regPonteiros.lQtdPtrs; ++i) {
        const ULONG ulPosicao = regPonteiros.pPonteiros[i];
        // Positions above the signed range name no record: the engine refuses them.
        const LONG lPos =
            ulPosicao > static_cast<ULONG>(std::numeric_limits<LONG>::max()) ? -1 : static_cast<LONG>(ulPosicao);
        const HRESULT hr = LeMedicaoAtual(lPos, &pRegistros[i]);
        if (FAILED(hr)) {
            CoTaskMemFree(pRegistros);
            QV_LOG_HR(hr, "LeMedicaoAtual(lPos, &pRegistros[i])");
            return hr;
        }
    }
    pRegListaRegistros->lQtdRegistros = regPonteiros.lQtdPtrs;
    pRegListaRegistros->lFiller = 0;
    pRegListaRegistros->cFiller = nullptr;
    pRegListaRegistros->pRegistros = pRegistros;
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::BuscaPonteirosHistoricoMedicao(const _REG_FILTRO_HISTORICO_MEDICAO_PS& regFiltro,
                                                                  _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) {
    if (pregPonteiros == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    FiltroMedicao filtro;
    QV_CHECK(filtro.Prepara(regFiltro.regFiltro));

    std::vector<_REG_PTR_DATA_PS> ponteiros;
    // The history is searched only for a serial number or a plan.
    if (!TextoCampo(regFiltro.regFiltro.szNrSerie).empty() || regFiltro.regFiltro.lPonteiroCadastro != 0) {
        const auto& historico = m_pDataBase->m_HistoricoMedicoes;
        const auto meses = zenta::MesesEmOrdem(historico.GetChaves());
        for (const auto& [ma, uiChave] : meses) {
            // Both bounds of the period are excluded.
            if (regFiltro.dataInicialPeriodo != 0 && ma <= regFiltro.dataInicialPeriodo) continue;
            if (regFiltro.dataFinalPeriodo != 0 && ma >= regFiltro.dataFinalPeriodo) continue;
            const ULONGLONG qtdRegistros = historico.GetQtdRegistros(uiChave);
            for (ULONGLONG pos = 1; pos <= qtdRegistros; ++pos) {
                REG_CADASTRO_HISTORICO_MEDICOES_V1 reg{};
                QV_CHECK(historico.Le(uiChave, pos, reg));
                if (!filtro.Aceita(reg)) continue;
                _REG_PTR_DATA_PS ponteiro{};
                ponteiro.dataPonteiro = ma;
                ponteiro.lPonteiro = static_cast<ULONG>(pos);
                ponteiros.push_back(ponteiro);
            }
        }
    }

    _REG_PTR_DATA_PS* pPonteiros = nullptr;
    QV_CHECK(zenta::AlocaArray(ponteiros.size(), pPonteiros));
    if (!ponteiros.empty()) std::memcpy(pPonteiros, ponteiros.data(), ponteiros.size() * sizeof(_REG_PTR_DATA_PS));
    pregPonteiros->lQtdPonteiros = static_cast<ULONG>(ponteiros.size());
    pregPonteiros->lFiller = 0;
    pregPonteiros->cFiller = nullptr;
    pregPonteiros->pPonteiros = pPonteiros;
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::BuscaRegistrosHistoricoMedicao(
    const _REG_LISTA_PONTEIROS_DATA_PS& regPonteiros, _REG_LISTA_HISTORICO_MEDICOES_PS* pRegListaRegistros) {
    if (pRegListaRegistros == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    if (regPonteiros.lQtdPonteiros != 0 && regPonteiros.pPonteiros == nullptr) QV_CHECK(E_INVALIDARG);
    const auto& historico = m_pDataBase->m_HistoricoMedicoes;
    // No more items than the history holds records over all its months,
    // checked before anything is allocated for them.
    if (!QuantidadeAdmissivel(regPonteiros.lQtdPonteiros, historico.GetQtdRegistros())) QV_CHECK(E_INVALIDARG);

    _REG_CADASTRO_HISTORICO_MEDICOES_PS* pRegistros = nullptr;
    QV_CHECK(zenta::AlocaArray(regPonteiros.lQtdPonteiros, pRegistros));
    for (ULONG i = 0; i < regPonteiros.lQtdPonteiros; ++i) {
        const _REG_PTR_DATA_PS ponteiro = regPonteiros.pPonteiros[i];
        // An item that names no month, or whose record cannot be read, stays zeroed.
        if (!MesAnoValido(ponteiro.dataPonteiro)) continue;
        REG_CADASTRO_HISTORICO_MEDICOES_V1 reg{};
        if (FAILED(historico.Le(QVMAToChave(ponteiro.dataPonteiro), ponteiro.lPonteiro, reg))) continue;
        ParaInterface(reg, pRegistros[i]);
    }
    pRegListaRegistros->lQtdRegistros = regPonteiros.lQtdPonteiros;
    pRegListaRegistros->lFiller = 0;
    pRegListaRegistros->cFiller = nullptr;
    pRegListaRegistros->pRegistros = pRegistros;
    return S_OK;
}

// The meter verification of a recorded reading (VerificaManutencoesMedicao)
// is in BaseManutencaoPreventiva_Verificacao.cpp.

}  // namespace zenta
