// Maintenance plans: saving a plan with its children, reading it back,
// selecting, excluding, and the trees of equipment and products.
#include "logic/BaseManutencaoPreventiva.h"

HRESULT CBaseManutencaoPreventiva::BuscaPonteiros(const _REG_FILTRO_CADASTRO_MANUTENCAO_PS&, _REG_LISTA_PTRS_CADASTRO_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaRegistros(const _REG_LISTA_PTRS_CADASTRO_PS&, _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::Grava(LONG*, const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS&) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::Le(LONG, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::ExcluiManutencoes(ULONGLONG) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaTreeMovimentacaoEquipamentos(_REG_LISTA_ITENS_TREE_PS*, LONG) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaTreeMovimentacaoProdutos(_REG_LISTA_ITENS_TREE_PS*, LONG) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaRegistroTreeEquipamentos(_REG_LISTA_ITENS_TREE_PS*, LONG) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaRegistroTreeProdutos(_REG_LISTA_ITENS_TREE_PS*, LONG) { return E_NOTIMPL; }
