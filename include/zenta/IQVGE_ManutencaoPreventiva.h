// IQVGE_ManutencaoPreventiva: the preventive-maintenance service's interface,
// slots 10 to 37 after IUnknown (0-2) and IQVUnknown (3-9).
#pragma once

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>
#include <zenta/QVUnknown.h>

// {77961B60-03E3-4EA2-8846-2548B6AD093E}
inline constexpr CLSID CLSID_QVGE_ManutencaoPreventiva = {
    0x77961b60, 0x03e3, 0x4ea2, {0x88, 0x46, 0x25, 0x48, 0xb6, 0xad, 0x09, 0x3e}};
// {D8D9D136-6F2A-40F9-9ADD-6C62EA8E1571}
inline constexpr IID IID_IQVGE_ManutencaoPreventiva = {
    0xd8d9d136, 0x6f2a, 0x40f9, {0x9a, 0xdd, 0x6c, 0x62, 0xea, 0x8e, 0x15, 0x71}};
// Type library "ZENTALib" 1.0: {BE5CD5B9-61A0-4E59-AACF-08A7E2A1264E}
inline constexpr GUID LIBID_ZENTALib = {0xbe5cd5b9, 0x61a0, 0x4e59, {0xaa, 0xcf, 0x08, 0xa7, 0xe2, 0xa1, 0x26, 0x4e}};
// Application: {F2EDA5F7-FAA9-4EB7-A1F6-B983E8BE1837}
inline constexpr GUID APPID_ZENTA = {0xf2eda5f7, 0xfaa9, 0x4eb7, {0xa1, 0xf6, 0xb9, 0x83, 0xe8, 0xbe, 0x18, 0x37}};

struct IQVGE_ManutencaoPreventiva : IQVUnknown {
    // Properties
    virtual HRESULT STDMETHODCALLTYPE LePropriedades(_REG_CADASTRO_PROPRIEDADES_PS* pRegPropriedades) = 0;
    virtual HRESULT STDMETHODCALLTYPE GravaPropriedades(_REG_CADASTRO_PROPRIEDADES_PS regPropriedades) = 0;
    // Maintenance plans
    virtual HRESULT STDMETHODCALLTYPE BuscaPonteiros(_REG_FILTRO_CADASTRO_MANUTENCAO_PS regFiltro,
                                                     _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaRegistros(_REG_LISTA_PTRS_CADASTRO_PS regPonteiros,
                                                     _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegListaRegistros) = 0;
    virtual HRESULT STDMETHODCALLTYPE Grava(LONG* pPosicao, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS RegCadastro) = 0;
    virtual HRESULT STDMETHODCALLTYPE Le(LONG lPos, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegCadastro) = 0;
    virtual HRESULT STDMETHODCALLTYPE GeraRelatorioCadastro(
        _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS regRelatorio) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExcluiManutencoes(ULONGLONG regDmcAssistec) = 0;
    virtual HRESULT STDMETHODCALLTYPE GeraRelatorioMovimentacao(
        _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS regRelatorio) = 0;
    // Meter readings
    virtual HRESULT STDMETHODCALLTYPE GravaMedidorSubstituido(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS RegCadastro,
                                                              _REG_CADASTRO_MEDIDORES_PS regMedidor) = 0;
    virtual HRESULT STDMETHODCALLTYPE GravaHistoricoMedicao(LONG* pPosicao,
                                                            _REG_CADASTRO_HISTORICO_MEDICOES_PS* pRegMedicao) = 0;
    virtual HRESULT STDMETHODCALLTYPE GravaMedicaoAtual(_REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao,
                                                        LONG bGravarHistorico, LONG bCalcularMedicao) = 0;
    virtual HRESULT STDMETHODCALLTYPE LeMedicaoAtual(LONG lPos, _REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaPonteirosMedicaoAtual(_REG_FILTRO_MEDICAO_PS regFiltro,
                                                                 _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaRegistrosMedicaoAtual(
        _REG_LISTA_PTRS_CADASTRO_PS regPonteiros, _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS* pRegListaRegistros) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaPonteirosHistoricoMedicao(_REG_FILTRO_HISTORICO_MEDICAO_PS regFiltro,
                                                                     _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaRegistrosHistoricoMedicao(
        _REG_LISTA_PONTEIROS_DATA_PS regPonteiros, _REG_LISTA_HISTORICO_MEDICOES_PS* pRegListaRegistros) = 0;
    // Maintenance orders
    virtual HRESULT STDMETHODCALLTYPE GravaMovimentacao(_REG_MOVIMENTACAO_MANUT_PREV_PS pRegMovimentacao,
                                                        ULONGLONG* pRegDMCGravado) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaPonteirosMovimentacao(_REG_MOVIMENTACAO_FILTRO_PS regFiltro,
                                                                 _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) = 0;
    virtual HRESULT STDMETHODCALLTYPE LeMovimentacao(ULONGLONG dmcChave,
                                                     _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao) = 0;
    virtual HRESULT STDMETHODCALLTYPE LeMovimentacaoLight(ULONGLONG dmcChave,
                                                          _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaRegistrosMovimentacao(
        _REG_LISTA_PONTEIROS_DATA_PS regPonteiros, _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaMovimentacoesDiarias(
        _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaMovimentosPelaManutencao(
        ULONG lCodigoManutencao, _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) = 0;
    // Trees of equipment and products
    virtual HRESULT STDMETHODCALLTYPE BuscaTreeMovimentacaoEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                                        LONG bTrazerSomenteAtivos) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaTreeMovimentacaoProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                                    LONG bTrazerSomenteAtivos) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaRegistroTreeEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                                    LONG bTrazerSomenteAtivos) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuscaRegistroTreeProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                                LONG bTrazerSomenteAtivos) = 0;

protected:
    ~IQVGE_ManutencaoPreventiva() = default;
};
