// CQVGE_ManutencaoPreventiva: the service object clients create. Each slot of
// IQVGE_ManutencaoPreventiva runs the logic operation of the same name in the
// call frame of T_QVUnknown.
#pragma once

#include <zenta/IQVGE_ManutencaoPreventiva.h>

#include "logic/BaseManutencaoPreventiva.h"
#include "server/QVUnknownT.h"

namespace zenta {

template <>
struct T_QVNomeInterface<IQVGE_ManutencaoPreventiva> {
    static constexpr const char* kNome = "IQVGE_ManutencaoPreventiva";
    static constexpr const IID& kIID = IID_IQVGE_ManutencaoPreventiva;
};

class CQVGE_ManutencaoPreventiva final
    : public T_QVUnknown<IQVGE_ManutencaoPreventiva, CBaseManutencaoPreventiva> {
public:
    using T_QVUnknown::T_QVUnknown;

    // Creates an object stand-alone (answering `riid`) or aggregated by
    // `pUnkOuter` (then `riid` must be IID_IUnknown).
    static HRESULT CriaInstancia(IUnknown* pUnkOuter, REFIID riid, void** ppv);

    HRESULT STDMETHODCALLTYPE LePropriedades(_REG_CADASTRO_PROPRIEDADES_PS* pRegPropriedades) override;
    HRESULT STDMETHODCALLTYPE GravaPropriedades(_REG_CADASTRO_PROPRIEDADES_PS regPropriedades) override;
    HRESULT STDMETHODCALLTYPE BuscaPonteiros(_REG_FILTRO_CADASTRO_MANUTENCAO_PS regFiltro,
                                             _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) override;
    HRESULT STDMETHODCALLTYPE BuscaRegistros(_REG_LISTA_PTRS_CADASTRO_PS regPonteiros,
                                             _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegListaRegistros) override;
    HRESULT STDMETHODCALLTYPE Grava(LONG* pPosicao, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS RegCadastro) override;
    HRESULT STDMETHODCALLTYPE Le(LONG lPos, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegCadastro) override;
    HRESULT STDMETHODCALLTYPE GeraRelatorioCadastro(
        _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS regRelatorio) override;
    HRESULT STDMETHODCALLTYPE ExcluiManutencoes(ULONGLONG regDmcAssistec) override;
    HRESULT STDMETHODCALLTYPE GeraRelatorioMovimentacao(
        _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS regRelatorio) override;
    HRESULT STDMETHODCALLTYPE GravaMedidorSubstituido(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS RegCadastro,
                                                      _REG_CADASTRO_MEDIDORES_PS regMedidor) override;
    HRESULT STDMETHODCALLTYPE GravaHistoricoMedicao(LONG* pPosicao,
                                                    _REG_CADASTRO_HISTORICO_MEDICOES_PS* pRegMedicao) override;
    HRESULT STDMETHODCALLTYPE GravaMedicaoAtual(_REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao, LONG bGravarHistorico,
                                                LONG bCalcularMedicao) override;
    HRESULT STDMETHODCALLTYPE LeMedicaoAtual(LONG lPos, _REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao) override;
    HRESULT STDMETHODCALLTYPE BuscaPonteirosMedicaoAtual(_REG_FILTRO_MEDICAO_PS regFiltro,
                                                         _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) override;
    HRESULT STDMETHODCALLTYPE BuscaRegistrosMedicaoAtual(
        _REG_LISTA_PTRS_CADASTRO_PS regPonteiros, _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS* pRegListaRegistros) override;
    HRESULT STDMETHODCALLTYPE BuscaPonteirosHistoricoMedicao(_REG_FILTRO_HISTORICO_MEDICAO_PS regFiltro,
                                                             _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) override;
    HRESULT STDMETHODCALLTYPE BuscaRegistrosHistoricoMedicao(
        _REG_LISTA_PONTEIROS_DATA_PS regPonteiros, _REG_LISTA_HISTORICO_MEDICOES_PS* pRegListaRegistros) override;
    HRESULT STDMETHODCALLTYPE GravaMovimentacao(_REG_MOVIMENTACAO_MANUT_PREV_PS pRegMovimentacao,
                                                ULONGLONG* pRegDMCGravado) override;
    HRESULT STDMETHODCALLTYPE BuscaPonteirosMovimentacao(_REG_MOVIMENTACAO_FILTRO_PS regFiltro,
                                                         _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) override;
    HRESULT STDMETHODCALLTYPE LeMovimentacao(ULONGLONG dmcChave,
                                             _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao) override;
    HRESULT STDMETHODCALLTYPE LeMovimentacaoLight(ULONGLONG dmcChave,
                                                  _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao) override;
    HRESULT STDMETHODCALLTYPE BuscaRegistrosMovimentacao(
        _REG_LISTA_PONTEIROS_DATA_PS regPonteiros, _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) override;
    HRESULT STDMETHODCALLTYPE BuscaMovimentacoesDiarias(
        _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) override;
    HRESULT STDMETHODCALLTYPE BuscaMovimentosPelaManutencao(
        ULONG lCodigoManutencao, _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) override;
    HRESULT STDMETHODCALLTYPE BuscaTreeMovimentacaoEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                                LONG bTrazerSomenteAtivos) override;
    HRESULT STDMETHODCALLTYPE BuscaTreeMovimentacaoProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                            LONG bTrazerSomenteAtivos) override;
    HRESULT STDMETHODCALLTYPE BuscaRegistroTreeEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                            LONG bTrazerSomenteAtivos) override;
    HRESULT STDMETHODCALLTYPE BuscaRegistroTreeProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                        LONG bTrazerSomenteAtivos) override;

protected:
    std::string NomeRastreio(const char* metodo) const override {
        return std::string("CQVGE_ManutencaoPreventiva::") + metodo;
    }
};

}  // namespace zenta
