// What a client hands in is checked against the domain of each field and
// against the company's files before anything is written: a value outside
// its domain is refused with E_INVALIDARG, a position past its file with the
// engine's code, and the object's last-error record names the field.
#include "logic/BaseManutencaoPreventiva.h"

#include <zenta/OleAuto.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/QVDiretorios.h"
#include "diagnostics/QVCheck.h"
#include "platform/CodePage.h"
#include "platform/Registry.h"

namespace zenta {

namespace {

// The longest text a client may store in one text field (a frequency's
// observation, an order's observation or occurrence), in bytes: the
// registry value "TamanhoMaximoTexto", 64 KiB when absent or 0. Every
// session of a company holds all of its texts in memory, so one huge text
// would cost every later session its size.
std::size_t TamanhoMaximoTexto() {
    static const std::size_t limite = [] {
        const auto valor = zenta::RegLeDword(HKEY_LOCAL_MACHINE, QV_CHAVE_REGISTRO, "TamanhoMaximoTexto");
        return valor.has_value() && *valor != 0 ? std::size_t{*valor} : std::size_t{64} * 1024;
    }();
    return limite;
}

}  // namespace

HRESULT CBaseManutencaoPreventiva::RecusaCampo(HRESULT hr, std::string_view sCampo, long long valor) {
    CQVDadosDF_Erro erro;
    erro.hr = hr;
    erro.nCodigoErro = static_cast<LONG>(hr);
    erro.sEmpresa = GetEmpresa();
    erro.sMensagem = zenta::Utf8ParaCp1252("Valor inválido no campo " + std::string(sCampo) + ": " +
                                           std::to_string(valor));
    SetErro(erro);
    QV_LOG_HR(hr, erro.sMensagem);
    return hr;
}

HRESULT CBaseManutencaoPreventiva::ValidaDominioPlano(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano) {
    const auto& id = plano.idEquipamentoPS;
    // 1 active, 2 inactive, 3 cancelled, 4 concluded.
    if (id.lSituacao < 1 || id.lSituacao > 4)
        return RecusaCampo(E_INVALIDARG, "idEquipamentoPS.lSituacao", id.lSituacao);
    const ULONGLONG uiTextos = m_pDataBase->m_ManutencaoFrequenciaTXT.GetQtdRegistros();
    for (ULONG i = 0; i < plano.listaManutencoes.lQtdManutencoes; ++i) {
        const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f = plano.listaManutencoes.pManutencoes[i].frequenciaPS;
        // The byte count includes the terminating zero.
        if (f.szObservacao.ulQtdBytes > TamanhoMaximoTexto() + 1)
            return RecusaCampo(E_INVALIDARG, "frequenciaPS.szObservacao", f.szObservacao.ulQtdBytes);
        if (f.lTipoFrequencia < 1 || f.lTipoFrequencia > 4)
            return RecusaCampo(E_INVALIDARG, "frequenciaPS.lTipoFrequencia", f.lTipoFrequencia);
        // Intervals, the meter's start and the planned hours are not negative.
        const struct {
            const char* sCampo;
            LONGLONG valor;
        } quantidades[] = {{"frequenciaPS.vFrequenciaMedicao", f.vFrequenciaMedicao.int64},
                           {"frequenciaPS.vFrequenciaLimiteMedicao", f.vFrequenciaLimiteMedicao.int64},
                           {"frequenciaPS.vMedicaoInicial", f.vMedicaoInicial.int64},
                           {"frequenciaPS.horaDuracao", f.horaDuracao.int64}};
        for (const auto& q : quantidades)
            if (q.valor < 0) return RecusaCampo(E_INVALIDARG, q.sCampo, q.valor);
        // An observation kept by its position (no text given) must be one
        // the text file holds: a position past it would be stored and stop
        // every later start-up's compaction.
        if (f.szObservacao.ulQtdBytes == 0 && f.lObservacao > uiTextos)
            return RecusaCampo(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO, "frequenciaPS.lObservacao",
                               f.lObservacao);
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::ValidaDominioMovimentacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS& ordem) {
    // Texts become one byte per character when stored.
    if (SysStringLen(ordem.bsObservacao) > TamanhoMaximoTexto())
        return RecusaCampo(E_INVALIDARG, "bsObservacao", SysStringLen(ordem.bsObservacao));
    if (SysStringLen(ordem.bsOcorrencia) > TamanhoMaximoTexto())
        return RecusaCampo(E_INVALIDARG, "bsOcorrencia", SysStringLen(ordem.bsOcorrencia));
    // 0 open, 1 concluded, 2 cancelled.
    if (ordem.lSituacao > 2) return RecusaCampo(E_INVALIDARG, "lSituacao", ordem.lSituacao);
    if (ordem.lPonteiroCadastro > m_pDataBase->m_ManutencaoPreventiva.GetQtdRegistros())
        return RecusaCampo(E_INVALIDARG, "lPonteiroCadastro", ordem.lPonteiroCadastro);
    // Only a code the company has given: another would be taken by a
    // maintenance created later.
    if (ordem.lCodigoManutencao != 0) {
        ULONG lMaior = 0;
        QV_CHECK(MaiorCodigoManutencao(lMaior));
        if (ordem.lCodigoManutencao > lMaior)
            return RecusaCampo(E_INVALIDARG, "lCodigoManutencao", ordem.lCodigoManutencao);
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::ValidaDominioMedicao(const _REG_CADASTRO_HISTORICO_MEDICOES_PS& leitura) {
    // A meter does not run below zero. (The plan pointer a client gives a
    // reading is only a filter's key; the reading follows its plan by its
    // identification.)
    if (leitura.vQuantidadeMedicao.int64 < 0)
        return RecusaCampo(E_INVALIDARG, "vQuantidadeMedicao", leitura.vQuantidadeMedicao.int64);
    return S_OK;
}

}  // namespace zenta
