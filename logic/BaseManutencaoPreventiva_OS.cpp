// The service orders an order raises in the technical-assistance module, and
// the order's links to them in the relationship file.
#include "logic/BaseManutencaoPreventiva.h"

#include <cstring>
#include <vector>

#include "diagnostics/QVCheck.h"
#include "logic/QVCamposRegistro.h"
#include "values/QVDMC.h"

// The technical-assistance module is reached through the ERP stand-in's
// servers, which do not offer it yet: a concluded order that asks for a
// service order cannot be saved until they do.
HRESULT CBaseManutencaoPreventiva::GeraOS(_REG_MOVIMENTACAO_MANUT_PREV_PS& regPs, REG_PTR_OS& regPtrOSGerada) {
    bool bSobrescreveu = false;
    if (const HRESULT hr = VerificaOSGeradas(regPs, bSobrescreveu); FAILED(hr)) {
        QV_LOG_HR(hr, "VerificaOSGeradas(regMovimentacao, bSobrescreveu)");
        return hr;
    }
    if (bSobrescreveu) return S_OK;
    regPtrOSGerada = {};
    QV_CHECK(E_NOTIMPL);
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::VerificaOSGeradas(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                                     bool& bSobrescreveu) {
    bSobrescreveu = false;
    if (regMovimentacao.listaRelacionamentos.lQtdRelacionamentoOS == 0) return S_OK;
    QV_CHECK(E_NOTIMPL);
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::GravaRelacionamentoMovimentacaoOS(_REG_MOVIMENTACAO_MANUT_PREV_PS& regPs) {
    const auto& lista = regPs.listaRelacionamentos;
    std::vector<REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1> arrRelacionamento(lista.lQtdRelacionamentoOS);
    for (ULONG i = 0; i < lista.lQtdRelacionamentoOS; ++i) {
        REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1& r = arrRelacionamento[i];
        std::memset(static_cast<void*>(&r), 0, sizeof r);
        r.lPtrOS = lista.pRelacionamentos[i].lPtrOS;
        r.maOS = lista.pRelacionamentos[i].maOS;
        r.dmcMovimentacao = REG_QVDMC(lista.pRelacionamentos[i].dmcMovimentacao);
    }
    ULONGLONG uiPosicao = 0;
    QV_CHECK(m_pDataBase->m_RelacionamentoMovOS.GravaColecao(uiPosicao, arrRelacionamento));
    regPs.lRelacionamentoOS = static_cast<ULONG>(uiPosicao);
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::LeRelacionamentoMovimentacaoOS(_REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao) {
    auto& lista = regMovimentacao.listaRelacionamentos;
    const ULONG quantidade = lista.lQtdRelacionamentoOS;
    lista.pRelacionamentos = nullptr;
    lista.lQtdRelacionamentoOS = 0;
    if (quantidade == 0) return S_OK;
    auto& arquivo = m_pDataBase->m_RelacionamentoMovOS;
    const ULONGLONG primeiro = regMovimentacao.lRelacionamentoOS;
    if (primeiro == 0 || primeiro > arquivo.GetQtdRegistros() || quantidade > arquivo.GetQtdRegistros() - primeiro + 1)
        QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    QV_CHECK(zenta::AlocaArray(quantidade, lista.pRelacionamentos));
    lista.lQtdRelacionamentoOS = quantidade;
    for (ULONG i = 0; i < quantidade; ++i) {
        REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1 reg{};
        QV_CHECK(arquivo.Le(primeiro + i, reg));
        lista.pRelacionamentos[i].dmcMovimentacao = reg.dmcMovimentacao.Get64();
        lista.pRelacionamentos[i].lPtrOS = reg.lPtrOS;
        lista.pRelacionamentos[i].maOS = reg.maOS;
    }
    return S_OK;
}
