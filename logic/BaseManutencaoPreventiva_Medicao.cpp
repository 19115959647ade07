// Meter readings: the current reading of each identification, the monthly
// history and meter replacement.
#include "logic/BaseManutencaoPreventiva.h"

HRESULT CBaseManutencaoPreventiva::GravaMedidorSubstituido(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS&, const _REG_CADASTRO_MEDIDORES_PS&) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::GravaHistoricoMedicao(LONG*, _REG_CADASTRO_HISTORICO_MEDICOES_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::GravaMedicaoAtual(_REG_CADASTRO_MEDICAO_ATUAL_PS*, LONG, LONG) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::LeMedicaoAtual(LONG, _REG_CADASTRO_MEDICAO_ATUAL_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaPonteirosMedicaoAtual(const _REG_FILTRO_MEDICAO_PS&, _REG_LISTA_PTRS_CADASTRO_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaRegistrosMedicaoAtual(const _REG_LISTA_PTRS_CADASTRO_PS&, _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaPonteirosHistoricoMedicao(const _REG_FILTRO_HISTORICO_MEDICAO_PS&, _REG_LISTA_PONTEIROS_DATA_PS*) { return E_NOTIMPL; }
HRESULT CBaseManutencaoPreventiva::BuscaRegistrosHistoricoMedicao(const _REG_LISTA_PONTEIROS_DATA_PS&, _REG_LISTA_HISTORICO_MEDICOES_PS*) { return E_NOTIMPL; }

// The count-down of the plans of a reading comes with the due-date verification.
HRESULT CBaseManutencaoPreventiva::VerificaManutencoesMedicao(const _REG_CADASTRO_MEDICAO_ATUAL_PS&) { return S_OK; }
HRESULT CBaseManutencaoPreventiva::RefazMedicaoInicial(const _REG_CADASTRO_MEDICAO_ATUAL_PS&) { return E_NOTIMPL; }
