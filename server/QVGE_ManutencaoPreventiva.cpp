#include "server/QVGE_ManutencaoPreventiva.h"

#include "platform/QVClassTable.h"

namespace zenta {

HRESULT CQVGE_ManutencaoPreventiva::CriaInstancia(IUnknown* pUnkOuter, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter != nullptr && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    auto* objeto = new (std::nothrow) CQVGE_ManutencaoPreventiva(pUnkOuter);
    if (objeto == nullptr) return E_OUTOFMEMORY;
    IUnknown* interno = objeto->GetUnknownInterno();
    interno->AddRef();
    const HRESULT hr = interno->QueryInterface(riid, ppv);
    interno->Release();
    return hr;
}

// Each slot hands its arguments unchanged to the logic operation; records
// passed by value reach it as a read-only reference to this call's copy.
HRESULT CQVGE_ManutencaoPreventiva::LePropriedades(_REG_CADASTRO_PROPRIEDADES_PS* pRegPropriedades) {
    return ChamadaProtegida("LePropriedades", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.LePropriedades(pRegPropriedades); });
}

HRESULT CQVGE_ManutencaoPreventiva::GravaPropriedades(_REG_CADASTRO_PROPRIEDADES_PS regPropriedades) {
    return ChamadaProtegida("GravaPropriedades", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.GravaPropriedades(regPropriedades); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaPonteiros(_REG_FILTRO_CADASTRO_MANUTENCAO_PS regFiltro, _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) {
    return ChamadaProtegida("BuscaPonteiros", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaPonteiros(regFiltro, pregPonteiros); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaRegistros(_REG_LISTA_PTRS_CADASTRO_PS regPonteiros, _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegListaRegistros) {
    return ChamadaProtegida("BuscaRegistros", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaRegistros(regPonteiros, pRegListaRegistros); });
}

HRESULT CQVGE_ManutencaoPreventiva::Grava(LONG* pPosicao, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS RegCadastro) {
    return ChamadaProtegida("Grava", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.Grava(pPosicao, RegCadastro); });
}

HRESULT CQVGE_ManutencaoPreventiva::Le(LONG lPos, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegCadastro) {
    return ChamadaProtegida("Le", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.Le(lPos, pRegCadastro); });
}

HRESULT CQVGE_ManutencaoPreventiva::GeraRelatorioCadastro(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS regRelatorio) {
    return ChamadaProtegida("GeraRelatorioCadastro", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.GeraRelatorioCadastro(regRelatorio); });
}

HRESULT CQVGE_ManutencaoPreventiva::ExcluiManutencoes(ULONGLONG regDmcAssistec) {
    return ChamadaProtegida("ExcluiManutencoes", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.ExcluiManutencoes(regDmcAssistec); });
}

HRESULT CQVGE_ManutencaoPreventiva::GeraRelatorioMovimentacao(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS regRelatorio) {
    return ChamadaProtegida("GeraRelatorioMovimentacao", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.GeraRelatorioMovimento(regRelatorio); });
}

HRESULT CQVGE_ManutencaoPreventiva::GravaMedidorSubstituido(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS RegCadastro, _REG_CADASTRO_MEDIDORES_PS regMedidor) {
    return ChamadaProtegida("GravaMedidorSubstituido", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.GravaMedidorSubstituido(RegCadastro, regMedidor); });
}

HRESULT CQVGE_ManutencaoPreventiva::GravaHistoricoMedicao(LONG* pPosicao, _REG_CADASTRO_HISTORICO_MEDICOES_PS* pRegMedicao) {
    return ChamadaProtegida("GravaHistoricoMedicao", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.GravaHistoricoMedicao(pPosicao, pRegMedicao); });
}

HRESULT CQVGE_ManutencaoPreventiva::GravaMedicaoAtual(_REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao, LONG bGravarHistorico, LONG bCalcularMedicao) {
    return ChamadaProtegida("GravaMedicaoAtual", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.GravaMedicaoAtual(pRegMedicao, bGravarHistorico, bCalcularMedicao); });
}

HRESULT CQVGE_ManutencaoPreventiva::LeMedicaoAtual(LONG lPos, _REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao) {
    return ChamadaProtegida("LeMedicaoAtual", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.LeMedicaoAtual(lPos, pRegMedicao); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaPonteirosMedicaoAtual(_REG_FILTRO_MEDICAO_PS regFiltro, _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) {
    return ChamadaProtegida("BuscaPonteirosMedicaoAtual", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaPonteirosMedicaoAtual(regFiltro, pregPonteiros); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaRegistrosMedicaoAtual(_REG_LISTA_PTRS_CADASTRO_PS regPonteiros, _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS* pRegListaRegistros) {
    return ChamadaProtegida("BuscaRegistrosMedicaoAtual", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaRegistrosMedicaoAtual(regPonteiros, pRegListaRegistros); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaPonteirosHistoricoMedicao(_REG_FILTRO_HISTORICO_MEDICAO_PS regFiltro, _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) {
    return ChamadaProtegida("BuscaPonteirosHistoricoMedicao", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaPonteirosHistoricoMedicao(regFiltro, pregPonteiros); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaRegistrosHistoricoMedicao(_REG_LISTA_PONTEIROS_DATA_PS regPonteiros, _REG_LISTA_HISTORICO_MEDICOES_PS* pRegListaRegistros) {
    return ChamadaProtegida("BuscaRegistrosHistoricoMedicao", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaRegistrosHistoricoMedicao(regPonteiros, pRegListaRegistros); });
}

HRESULT CQVGE_ManutencaoPreventiva::GravaMovimentacao(_REG_MOVIMENTACAO_MANUT_PREV_PS pRegMovimentacao, ULONGLONG* pRegDMCGravado) {
    return ChamadaProtegida("GravaMovimentacao", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.GravaMovimentacao(pRegMovimentacao, pRegDMCGravado); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaPonteirosMovimentacao(_REG_MOVIMENTACAO_FILTRO_PS regFiltro, _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) {
    return ChamadaProtegida("BuscaPonteirosMovimentacao", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaPonteirosMovimentacao(regFiltro, pregPonteiros); });
}

HRESULT CQVGE_ManutencaoPreventiva::LeMovimentacao(ULONGLONG dmcChave, _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao) {
    return ChamadaProtegida("LeMovimentacao", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.LeMovimentacao(dmcChave, pRegMovimentacao); });
}

HRESULT CQVGE_ManutencaoPreventiva::LeMovimentacaoLight(ULONGLONG dmcChave, _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao) {
    return ChamadaProtegida("LeMovimentacaoLight", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.LeMovimentacaoLight(dmcChave, pRegMovimentacao); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaRegistrosMovimentacao(_REG_LISTA_PONTEIROS_DATA_PS regPonteiros, _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) {
    return ChamadaProtegida("BuscaRegistrosMovimentacao", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaRegistrosMovimentacao(regPonteiros, pRegListaRegistros); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaMovimentacoesDiarias(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) {
    return ChamadaProtegida("BuscaMovimentacoesDiarias", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaMovimentacoesDiarias(pRegListaRegistros); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaMovimentosPelaManutencao(ULONG lCodigoManutencao, _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) {
    return ChamadaProtegida("BuscaMovimentosPelaManutencao", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaMovimentosPelaManutencao(lCodigoManutencao, pRegListaRegistros); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaTreeMovimentacaoEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos) {
    return ChamadaProtegida("BuscaTreeMovimentacaoEquipamentos", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaTreeMovimentacaoEquipamentos(plistaItens, bTrazerSomenteAtivos); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaTreeMovimentacaoProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos) {
    return ChamadaProtegida("BuscaTreeMovimentacaoProdutos", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaTreeMovimentacaoProdutos(plistaItens, bTrazerSomenteAtivos); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaRegistroTreeEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos) {
    return ChamadaProtegida("BuscaRegistroTreeEquipamentos", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaRegistroTreeEquipamentos(plistaItens, bTrazerSomenteAtivos); });
}

HRESULT CQVGE_ManutencaoPreventiva::BuscaRegistroTreeProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos) {
    return ChamadaProtegida("BuscaRegistroTreeProdutos", QV_ARQUIVO, __LINE__, [&](CBaseManutencaoPreventiva& base) { return base.BuscaRegistroTreeProdutos(plistaItens, bTrazerSomenteAtivos); });
}

}  // namespace zenta
