#include "logic/PrevisaoManutencao.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

#include "diagnostics/QVCheck.h"
#include "logic/BaseManutencaoPreventiva.h"
#include "records/QVCamposRegistro.h"
#include "platform/CodePage.h"

namespace zenta {

namespace {

constexpr ULONG kDiasHistorico = 90;

template <std::size_t N>
std::string Texto(const char (&campo)[N]) {
    return Cp1252ParaUtf8(std::string_view(campo, strnlen(campo, N)));
}

// The history's readings of the plan at `lPonteiroPlano`.
HRESULT LeiturasDoPlano(IQVGE_ManutencaoPreventiva& servico, ULONG lPonteiroPlano,
                        std::vector<LeituraMedidor>& leituras) {
    leituras.clear();
    _REG_FILTRO_HISTORICO_MEDICAO_PS filtro;
    std::memset(&filtro, 0, sizeof filtro);
    filtro.regFiltro.lTipoIdentificacao = 2;
    filtro.regFiltro.lPonteiroCadastro = lPonteiroPlano;
    _REG_LISTA_PONTEIROS_DATA_PS ponteiros{};
    QV_CHECK(servico.BuscaPonteirosHistoricoMedicao(filtro, &ponteiros));
    _REG_LISTA_HISTORICO_MEDICOES_PS lista{};
    const HRESULT hr = ponteiros.lQtdPonteiros == 0 ? S_OK : servico.BuscaRegistrosHistoricoMedicao(ponteiros, &lista);
    CoTaskMemFree(ponteiros.pPonteiros);
    QV_CHECK(hr);
    for (ULONG i = 0; lista.pRegistros != nullptr && i < lista.lQtdRegistros; ++i) {
        const _REG_CADASTRO_HISTORICO_MEDICOES_PS& r = lista.pRegistros[i];
        if (r.vQuantidadeMedicao.int64 == 0) continue;  // a reading without value
        const ULONG dia = r.dataMedicaoInformada != 0 ? r.dataMedicaoInformada : r.dataGravacao;
        leituras.push_back({dia, r.vQuantidadeMedicao.int64});
    }
    CoTaskMemFree(lista.pRegistros);
    return S_OK;
}

}  // namespace

bool UsoMedioDiario(const std::vector<LeituraMedidor>& leituras, ULONG hoje, double& porDia) {
    porDia = 0;
    const ULONG inicio = hoje > kDiasHistorico ? hoje - kDiasHistorico : 0;
    const LeituraMedidor* primeira = nullptr;
    const LeituraMedidor* ultima = nullptr;
    for (const LeituraMedidor& l : leituras) {
        if (l.data < inicio || l.data > hoje) continue;
        if (primeira == nullptr || l.data < primeira->data) primeira = &l;
        if (ultima == nullptr || l.data >= ultima->data) ultima = &l;
    }
    if (primeira == nullptr || ultima->data == primeira->data) return false;
    porDia = static_cast<double>(ultima->quantidade - primeira->quantidade) / 10000.0 /
             static_cast<double>(ultima->data - primeira->data);
    return true;
}

ItemPrevisao PreveManutencao(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano,
                             const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m, bool bOrdemAberta, ULONG dataRearme,
                             const std::vector<LeituraMedidor>& leituras, ULONG hoje) {
    const _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS& id = plano.idEquipamentoPS;
    const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f = m.frequenciaPS;
    ItemPrevisao item;
    item.lPonteiroPlano = plano.lPonteiroRegistro;
    item.lCodigoManutencao = m.lCodigoManutencao;
    item.lTipoFrequencia = f.lTipoFrequencia;
    item.lTecnico = m.lTecnico;
    item.lEquipamento = id.lEquipamento;
    item.lProduto = id.lProduto;
    item.sNome = Texto(m.szNomeManutencao);
    item.sNrSerie = Texto(id.szNrSerie);
    item.bOrdemAberta = bOrdemAberta;
    const bool bTempo = f.lTipoFrequencia == 1 || f.lTipoFrequencia == 2 || f.lTipoFrequencia == 4;
    const bool bMedidor = f.lTipoFrequencia == 1 || f.lTipoFrequencia == 3 || f.lTipoFrequencia == 4;

    if (bTempo) {
        const ULONG dia = PrimeiroDiaTesteTempo(m, DataBaseContagem(m, dataRearme));
        if (dia != 0) item.dataTempo = std::max(dia, hoje);
    }
    if (bMedidor) {
        // What the meter still has to run: the counter, plus the stretch up
        // to the initial value while the meter stands below it.
        const _REG_CADASTRO_MEDIDORES_PS& medidor = id.regMedidorAtual;
        LONGLONG falta = m.vQuantidadeFalta.int64;
        if (medidor.lQuantidadeMedidoresSubstituidos == 0 && medidor.vQuantidadeAtual.int64 < f.vMedicaoInicial.int64)
            falta += f.vMedicaoInicial.int64 - medidor.vQuantidadeAtual.int64;
        double porDia = 0;
        if (!UsoMedioDiario(leituras, hoje, porDia) || porDia <= 0) {
            item.bSemEstimativa = true;
        } else {
            ULONG ultima = 0;
            for (const LeituraMedidor& l : leituras)
                if (l.data <= hoje) ultima = std::max(ultima, l.data);
            const double dias = falta <= 0 ? 0 : std::ceil(static_cast<double>(falta) / 10000.0 / porDia);
            const double dia = static_cast<double>(ultima) + dias;
            if (dia < 4.0e9) item.dataMedidor = std::max(static_cast<ULONG>(dia), hoje);
        }
        // Past the contract's end no reading makes it due.
        if (m.dataFinalContrato != 0 && item.dataMedidor > m.dataFinalContrato) item.dataMedidor = 0;
    }

    switch (f.lTipoFrequencia) {
        case 1:
            item.dataVencimento = item.dataTempo == 0     ? item.dataMedidor
                                  : item.dataMedidor == 0 ? item.dataTempo
                                                          : std::min(item.dataTempo, item.dataMedidor);
            item.bSemEstimativa = item.bSemEstimativa && item.dataTempo == 0;
            break;
        case 2: item.dataVencimento = item.dataTempo; break;
        case 3: item.dataVencimento = item.dataMedidor; break;
        case 4:
            item.dataVencimento =
                item.dataTempo == 0 || item.dataMedidor == 0 ? 0 : std::max(item.dataTempo, item.dataMedidor);
            break;
        default: break;
    }
    return item;
}

HRESULT MontaPrevisao(IQVGE_ManutencaoPreventiva& servico, const FiltroPrevisao& filtro,
                      std::vector<ItemPrevisao>& itens) {
    itens.clear();
    // The plans the daily verification reads: active, not excluded.
    _REG_FILTRO_CADASTRO_MANUTENCAO_PS filtroPlanos;
    std::memset(&filtroPlanos, 0, sizeof filtroPlanos);
    filtroPlanos.lTipoIdentificacao = 2;
    filtroPlanos.bAtivo = 1;
    _REG_LISTA_PTRS_CADASTRO_PS ponteiros{};
    QV_CHECK(servico.BuscaPonteiros(filtroPlanos, &ponteiros));
    _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS planos{};
    const HRESULT hrPlanos = ponteiros.lQtdPtrs == 0 ? S_OK : servico.BuscaRegistros(ponteiros, &planos);
    CoTaskMemFree(ponteiros.pPonteiros);
    struct LiberaPlanos {
        _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS& l;
        ~LiberaPlanos() {
            for (ULONG i = 0; l.pRegistros != nullptr && i < l.lQtdRegistros; ++i) LiberaListasPlano(l.pRegistros[i]);
            CoTaskMemFree(l.pRegistros);
        }
    } libera{planos};
    QV_CHECK(hrPlanos);

    const ULONG limite = filtro.hoje + filtro.dias;
    for (ULONG p = 0; planos.pRegistros != nullptr && p < planos.lQtdRegistros; ++p) {
        const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano = planos.pRegistros[p];
        if (plano.idEquipamentoPS.lSituacao != 1) continue;
        const auto& lista = plano.listaManutencoes;
        std::vector<LeituraMedidor> leituras;
        bool bLeituras = false;
        for (ULONG i = 0; lista.pManutencoes != nullptr && i < lista.lQtdManutencoes; ++i) {
            const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m = lista.pManutencoes[i];
            if (filtro.tecnico != 0 && m.lTecnico != filtro.tecnico) continue;
            // The newest order: open, or finished on a day the count restarts from.
            _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS ordens{};
            QV_CHECK(servico.BuscaMovimentosPelaManutencao(m.lCodigoManutencao, &ordens));
            bool bAberta = false;
            ULONG dataRearme = 0;
            if (ordens.pRegistros != nullptr && ordens.lQtdRegistros != 0) {
                const _REG_MOVIMENTACAO_MANUT_PREV_PS& ultima = ordens.pRegistros[ordens.lQtdRegistros - 1];
                bAberta = ultima.lSituacao == 0;
                if (ultima.lSituacao == 1 || ultima.lSituacao == 2) dataRearme = ultima.dataConclusao;
            }
            for (ULONG o = 0; ordens.pRegistros != nullptr && o < ordens.lQtdRegistros; ++o)
                LiberaListasMovimentacao(ordens.pRegistros[o]);
            CoTaskMemFree(ordens.pRegistros);
            const ULONG tipo = m.frequenciaPS.lTipoFrequencia;
            if (!bLeituras && tipo != 2) {
                QV_CHECK(LeiturasDoPlano(servico, plano.lPonteiroRegistro, leituras));
                bLeituras = true;
            }
            ItemPrevisao item = PreveManutencao(plano, m, bAberta, dataRearme, leituras, filtro.hoje);
            const bool bNoPrazo = item.dataVencimento != 0 && item.dataVencimento <= limite;
            if (bNoPrazo || (item.dataVencimento == 0 && item.bSemEstimativa)) itens.push_back(std::move(item));
        }
    }
    // Unknown days last.
    std::stable_sort(itens.begin(), itens.end(), [](const ItemPrevisao& a, const ItemPrevisao& b) {
        const auto chave = [](const ItemPrevisao& i) {
            return std::make_tuple(i.dataVencimento == 0 ? 0xFFFFFFFFu : i.dataVencimento, i.lTecnico,
                                   i.lPonteiroPlano, i.lCodigoManutencao);
        };
        return chave(a) < chave(b);
    });
    return S_OK;
}

}  // namespace zenta
