// The proxy and the stub of IQVGE_ManutencaoPreventiva (and of its base
// IQVUnknown) over the object transport: the proxy turns each call into a
// call message on a channel to the object in the server process; the stub
// runs such a message on the real object. Both are registered with the
// transport for IID_IQVGE_ManutencaoPreventiva and IID_IQVUnknown when the
// library is loaded.
//
// Directions of the arguments (what travels each way):
//   3  Inicializa_Padrao               [in] record
//   4  KeepAlive                       [out] LONG*  (null carried: the object answers S_OK)
//   5  GetUltimoErro                   [out] record* (null carried: the object answers S_OK)
//   6  FuncaoGenerica                  [in] ULONG, [in] record, [out] record** (null carried)
//   7  AlteracaoMultiplaCadastro       [in] ULONG, [in] ULONG[count 1st], [in] ULONG, [in] record[count 3rd]
//   8  AlteracaoMultiplaMovimento      [in] ULONG, [in] ULONGLONG[count 1st], [in] ULONG, [in] record[count 3rd]
//   9  CadastroTeveMovimentacao        [in] ULONG, [in] ULONG, [out] LONG* (null carried)
//   10-37: the methods of IQVGE_ManutencaoPreventiva as its header declares
//   them: records by value and scalars [in], pointers [out], except
//   Grava's and GravaHistoricoMedicao's position and the readings of
//   GravaHistoricoMedicao and GravaMedicaoAtual, which are [in, out] (the
//   object writes the position, the recording date, the time, the user and
//   the reading's own position back into them).
// Null pointers are carried to the object, which answers for them as it does
// in-process. The tree methods (34-37) free the list they are handed before
// filling it; the proxy frees the caller's list the same way.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include <zenta/IQVGE_ManutencaoPreventiva.h>

#include "platform/rpc/QVInterfaceRemota.h"

namespace zenta {

class CQVProxyManutencaoPreventiva final : public IQVGE_ManutencaoPreventiva {
public:
    explicit CQVProxyManutencaoPreventiva(std::shared_ptr<zenta::rpc::CanalObjeto> canal);
    virtual ~CQVProxyManutencaoPreventiva() = default;
    CQVProxyManutencaoPreventiva(const CQVProxyManutencaoPreventiva&) = delete;
    CQVProxyManutencaoPreventiva& operator=(const CQVProxyManutencaoPreventiva&) = delete;

    // IUnknown: the proxy's own count; the last Release destroys it and
    // drops its reference to the channel.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IQVUnknown
    HRESULT STDMETHODCALLTYPE Inicializa_Padrao(_REG_DF_INICIALIZAPS regps) override;
    HRESULT STDMETHODCALLTYPE KeepAlive(LONG* pbOK) override;
    HRESULT STDMETHODCALLTYPE GetUltimoErro(_REG_DF_ERROPS* pregErrops) override;
    HRESULT STDMETHODCALLTYPE FuncaoGenerica(ULONG ulFuncao, _REG_CR_LISTA_BYTESPS regInps,
                                             _REG_CR_LISTA_BYTESPS** ppregOutps) override;
    HRESULT STDMETHODCALLTYPE AlteracaoMultiplaCadastro(ULONG ulQuantidade, ULONG* pulPonteiros,
                                                        ULONG ulQuantidadeAlteracoes,
                                                        _REG_CR_ALTERACAOPS* pregps) override;
    HRESULT STDMETHODCALLTYPE AlteracaoMultiplaMovimento(ULONG ulQuantidade, ULONGLONG* pregPonteiros,
                                                         ULONG ulQuantidadeAlteracoes,
                                                         _REG_CR_ALTERACAOPS* pregps) override;
    HRESULT STDMETHODCALLTYPE CadastroTeveMovimentacao(ULONG eTipoCadastro, ULONG ulPonteiroCadastro,
                                                       LONG* pbTeveMovimentacao) override;

    // IQVGE_ManutencaoPreventiva
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

private:
    template <class M, class... A>
    HRESULT Chama(A... args);

    std::shared_ptr<zenta::rpc::CanalObjeto> m_canal;
    std::atomic<ULONG> m_cRef{0};
};

// The transport's entry points for these interfaces (see QVInterfaceRemota.h).
// CriaProxyManutencaoPreventiva answers IID_IUnknown, IID_IQVUnknown and
// IID_IQVGE_ManutencaoPreventiva. DespachaManutencaoPreventiva runs slots 3
// to 37 on an IQVGE_ManutencaoPreventiva, DespachaQVUnknown slots 3 to 9 on
// an IQVUnknown; any other slot is refused with HR_RPC_X_BAD_STUB_DATA.
HRESULT CriaProxyManutencaoPreventiva(std::shared_ptr<rpc::CanalObjeto> canal, REFIID iid, void** ppv);
HRESULT DespachaManutencaoPreventiva(IUnknown* objeto, ULONG slot, std::string_view entrada, std::string& saida);
HRESULT DespachaQVUnknown(IUnknown* objeto, ULONG slot, std::string_view entrada, std::string& saida);

}  // namespace zenta
