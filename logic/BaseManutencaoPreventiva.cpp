#include "logic/BaseManutencaoPreventiva.h"

CBaseManutencaoPreventiva::~CBaseManutencaoPreventiva() { Finaliza(); }

// Start-up of a session. The module's database opens here once it exists.
HRESULT CBaseManutencaoPreventiva::OnInicializa() { return CQVBaseParaRotinas::OnInicializa(); }

HRESULT CBaseManutencaoPreventiva::OnFinaliza() { return CQVBaseParaRotinas::OnFinaliza(); }

// Operations not built yet.
HRESULT CBaseManutencaoPreventiva::LePropriedades(_REG_CADASTRO_PROPRIEDADES_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::GravaPropriedades(const _REG_CADASTRO_PROPRIEDADES_PS&) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaPonteiros(const _REG_FILTRO_CADASTRO_MANUTENCAO_PS&, _REG_LISTA_PTRS_CADASTRO_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaRegistros(const _REG_LISTA_PTRS_CADASTRO_PS&, _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::Grava(LONG*, const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS&) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::Le(LONG, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::GeraRelatorioCadastro(const _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS&) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::ExcluiManutencoes(ULONGLONG) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::GeraRelatorioMovimento(const _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS&) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::GravaMedidorSubstituido(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS&, const _REG_CADASTRO_MEDIDORES_PS&) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::GravaHistoricoMedicao(LONG*, _REG_CADASTRO_HISTORICO_MEDICOES_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::GravaMedicaoAtual(_REG_CADASTRO_MEDICAO_ATUAL_PS*, LONG, LONG) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::LeMedicaoAtual(LONG, _REG_CADASTRO_MEDICAO_ATUAL_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaPonteirosMedicaoAtual(const _REG_FILTRO_MEDICAO_PS&, _REG_LISTA_PTRS_CADASTRO_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaRegistrosMedicaoAtual(const _REG_LISTA_PTRS_CADASTRO_PS&, _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaPonteirosHistoricoMedicao(const _REG_FILTRO_HISTORICO_MEDICAO_PS&, _REG_LISTA_PONTEIROS_DATA_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaRegistrosHistoricoMedicao(const _REG_LISTA_PONTEIROS_DATA_PS&, _REG_LISTA_HISTORICO_MEDICOES_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::GravaMovimentacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS&, ULONGLONG*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaPonteirosMovimentacao(const _REG_MOVIMENTACAO_FILTRO_PS&, _REG_LISTA_PONTEIROS_DATA_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::LeMovimentacao(ULONGLONG, _REG_MOVIMENTACAO_MANUT_PREV_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::LeMovimentacaoLight(ULONGLONG, _REG_MOVIMENTACAO_MANUT_PREV_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaRegistrosMovimentacao(const _REG_LISTA_PONTEIROS_DATA_PS&, _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaMovimentacoesDiarias(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaMovimentosPelaManutencao(ULONG, _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaTreeMovimentacaoEquipamentos(_REG_LISTA_ITENS_TREE_PS*, LONG) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaTreeMovimentacaoProdutos(_REG_LISTA_ITENS_TREE_PS*, LONG) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaRegistroTreeEquipamentos(_REG_LISTA_ITENS_TREE_PS*, LONG) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaRegistroTreeProdutos(_REG_LISTA_ITENS_TREE_PS*, LONG) { return E_NOTIMPL; }
