// The proxy and the stub of IQVGE_ManutencaoPreventiva: each method is
// described once by its slot and the kind of each parameter (QVEmpacotamento.h);
// the proxy method and the stub's table entry are generated from that line.
#include "server/QVProxyStubManutencaoPreventiva.h"

#include <iterator>
#include <new>
#include <type_traits>

#include "diagnostics/QVCheck.h"
#include "server/QVEmpacotamento.h"

namespace zenta {

namespace {

using zenta::Entrada;
using zenta::EntradaArray;
using zenta::EntradaSaida;
using zenta::Metodo;
using zenta::Saida;
using zenta::SaidaRegistroAlocado;
using zenta::SaidaSubstitui;
using I = IQVGE_ManutencaoPreventiva;

// ---- IQVUnknown -----------------------------------------------------------------------
using M3 = Metodo<3, &I::Inicializa_Padrao, Entrada<_REG_DF_INICIALIZAPS>>;
using M4 = Metodo<4, &I::KeepAlive, Saida<LONG>>;
using M5 = Metodo<5, &I::GetUltimoErro, Saida<_REG_DF_ERROPS>>;
using M6 = Metodo<6, &I::FuncaoGenerica, Entrada<ULONG>, Entrada<_REG_CR_LISTA_BYTESPS>,
                  SaidaRegistroAlocado<_REG_CR_LISTA_BYTESPS>>;
using M7 = Metodo<7, &I::AlteracaoMultiplaCadastro, Entrada<ULONG>, EntradaArray<ULONG, 0>, Entrada<ULONG>,
                  EntradaArray<_REG_CR_ALTERACAOPS, 2>>;
using M8 = Metodo<8, &I::AlteracaoMultiplaMovimento, Entrada<ULONG>, EntradaArray<ULONGLONG, 0>, Entrada<ULONG>,
                  EntradaArray<_REG_CR_ALTERACAOPS, 2>>;
using M9 = Metodo<9, &I::CadastroTeveMovimentacao, Entrada<ULONG>, Entrada<ULONG>, Saida<LONG>>;

// ---- IQVGE_ManutencaoPreventiva ---------------------------------------------------------
using M10 = Metodo<10, &I::LePropriedades, Saida<_REG_CADASTRO_PROPRIEDADES_PS>>;
using M11 = Metodo<11, &I::GravaPropriedades, Entrada<_REG_CADASTRO_PROPRIEDADES_PS>>;
using M12 = Metodo<12, &I::BuscaPonteiros, Entrada<_REG_FILTRO_CADASTRO_MANUTENCAO_PS>, Saida<_REG_LISTA_PTRS_CADASTRO_PS>>;
using M13 = Metodo<13, &I::BuscaRegistros, Entrada<_REG_LISTA_PTRS_CADASTRO_PS>,
                   Saida<_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS>>;
using M14 = Metodo<14, &I::Grava, EntradaSaida<LONG>, Entrada<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS>>;
using M15 = Metodo<15, &I::Le, Entrada<LONG>, Saida<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS>>;
using M16 = Metodo<16, &I::GeraRelatorioCadastro, Entrada<_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS>>;
using M17 = Metodo<17, &I::ExcluiManutencoes, Entrada<ULONGLONG>>;
using M18 = Metodo<18, &I::GeraRelatorioMovimentacao, Entrada<_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS>>;
using M19 = Metodo<19, &I::GravaMedidorSubstituido, Entrada<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS>,
                   Entrada<_REG_CADASTRO_MEDIDORES_PS>>;
using M20 = Metodo<20, &I::GravaHistoricoMedicao, EntradaSaida<LONG>, EntradaSaida<_REG_CADASTRO_HISTORICO_MEDICOES_PS>>;
using M21 = Metodo<21, &I::GravaMedicaoAtual, EntradaSaida<_REG_CADASTRO_MEDICAO_ATUAL_PS>, Entrada<LONG>, Entrada<LONG>>;
using M22 = Metodo<22, &I::LeMedicaoAtual, Entrada<LONG>, Saida<_REG_CADASTRO_MEDICAO_ATUAL_PS>>;
using M23 = Metodo<23, &I::BuscaPonteirosMedicaoAtual, Entrada<_REG_FILTRO_MEDICAO_PS>, Saida<_REG_LISTA_PTRS_CADASTRO_PS>>;
using M24 = Metodo<24, &I::BuscaRegistrosMedicaoAtual, Entrada<_REG_LISTA_PTRS_CADASTRO_PS>,
                   Saida<_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS>>;
using M25 = Metodo<25, &I::BuscaPonteirosHistoricoMedicao, Entrada<_REG_FILTRO_HISTORICO_MEDICAO_PS>,
                   Saida<_REG_LISTA_PONTEIROS_DATA_PS>>;
using M26 = Metodo<26, &I::BuscaRegistrosHistoricoMedicao, Entrada<_REG_LISTA_PONTEIROS_DATA_PS>,
                   Saida<_REG_LISTA_HISTORICO_MEDICOES_PS>>;
using M27 = Metodo<27, &I::GravaMovimentacao, Entrada<_REG_MOVIMENTACAO_MANUT_PREV_PS>, Saida<ULONGLONG>>;
using M28 = Metodo<28, &I::BuscaPonteirosMovimentacao, Entrada<_REG_MOVIMENTACAO_FILTRO_PS>,
                   Saida<_REG_LISTA_PONTEIROS_DATA_PS>>;
using M29 = Metodo<29, &I::LeMovimentacao, Entrada<ULONGLONG>, Saida<_REG_MOVIMENTACAO_MANUT_PREV_PS>>;
using M30 = Metodo<30, &I::LeMovimentacaoLight, Entrada<ULONGLONG>, Saida<_REG_MOVIMENTACAO_MANUT_PREV_PS>>;
using M31 = Metodo<31, &I::BuscaRegistrosMovimentacao, Entrada<_REG_LISTA_PONTEIROS_DATA_PS>,
                   Saida<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS>>;
using M32 = Metodo<32, &I::BuscaMovimentacoesDiarias, Saida<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS>>;
using M33 = Metodo<33, &I::BuscaMovimentosPelaManutencao, Entrada<ULONG>, Saida<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS>>;
using M34 = Metodo<34, &I::BuscaTreeMovimentacaoEquipamentos, SaidaSubstitui<_REG_LISTA_ITENS_TREE_PS>, Entrada<LONG>>;
using M35 = Metodo<35, &I::BuscaTreeMovimentacaoProdutos, SaidaSubstitui<_REG_LISTA_ITENS_TREE_PS>, Entrada<LONG>>;
using M36 = Metodo<36, &I::BuscaRegistroTreeEquipamentos, SaidaSubstitui<_REG_LISTA_ITENS_TREE_PS>, Entrada<LONG>>;
using M37 = Metodo<37, &I::BuscaRegistroTreeProdutos, SaidaSubstitui<_REG_LISTA_ITENS_TREE_PS>, Entrada<LONG>>;

// The stub's table, indexed by slot - 3.
constexpr zenta::DespachoMetodo kDespachos[] = {
    &M3::Despacha,  &M4::Despacha,  &M5::Despacha,  &M6::Despacha,  &M7::Despacha,  &M8::Despacha,
    &M9::Despacha,  &M10::Despacha, &M11::Despacha, &M12::Despacha, &M13::Despacha, &M14::Despacha,
    &M15::Despacha, &M16::Despacha, &M17::Despacha, &M18::Despacha, &M19::Despacha, &M20::Despacha,
    &M21::Despacha, &M22::Despacha, &M23::Despacha, &M24::Despacha, &M25::Despacha, &M26::Despacha,
    &M27::Despacha, &M28::Despacha, &M29::Despacha, &M30::Despacha, &M31::Despacha, &M32::Despacha,
    &M33::Despacha, &M34::Despacha, &M35::Despacha, &M36::Despacha, &M37::Despacha,
};
constexpr ULONG kPrimeiroSlot = 3;
constexpr ULONG kUltimoSlotQVUnknown = 9;
constexpr ULONG kUltimoSlot = 37;
static_assert(std::size(kDespachos) == kUltimoSlot - kPrimeiroSlot + 1);

// Runs one message on `objeto` for slots 3 to `ultimoSlot`. A request larger
// than the installation's limit is refused before any of it is decoded; an
// answer larger than its limit is dropped rather than sent (the client gets
// the refusal and can ask for less).
HRESULT DespachaSlot(IUnknown* objeto, ULONG slot, ULONG ultimoSlot, std::string_view entrada, std::string& saida) {
    saida.clear();
    if (objeto == nullptr) QV_CHECK(E_POINTER);
    if (slot < kPrimeiroSlot || slot > ultimoSlot) QV_CHECK(HR_RPC_X_BAD_STUB_DATA);
    const zenta::LimitesMensagem& limites = zenta::LimitesMensagemServidor();
    if (entrada.size() > limites.bytesPedido) QV_CHECK(zenta::E_QV_MENSAGEM_EXCEDE_LIMITE);
    bool recusada = false;
    const HRESULT hr = kDespachos[slot - kPrimeiroSlot](objeto, entrada, saida, recusada);
    // The method's own failures are the object's to log; a message refused
    // before the method ran is logged here.
    if (recusada) QV_LOG_HR(hr, "kDespachos[slot - kPrimeiroSlot](objeto, entrada, saida, recusada)");
    if (saida.size() > limites.bytesResposta) {
        std::string().swap(saida);
        QV_CHECK(zenta::E_QV_MENSAGEM_EXCEDE_LIMITE);
    }
    return hr;
}

// Registers the proxy and the stub when the library is loaded.
const bool g_registrada = [] {
    zenta::rpc::RegistraInterfaceRemota(
        IID_IQVGE_ManutencaoPreventiva,
        {&zenta::CriaProxyManutencaoPreventiva, &zenta::DespachaManutencaoPreventiva});
    zenta::rpc::RegistraInterfaceRemota(IID_IQVUnknown,
                                        {&zenta::CriaProxyManutencaoPreventiva, &zenta::DespachaQVUnknown});
    return true;
}();

}  // namespace

// ---- Proxy -------------------------------------------------------------------------------

CQVProxyManutencaoPreventiva::CQVProxyManutencaoPreventiva(std::shared_ptr<zenta::rpc::CanalObjeto> canal)
    : m_canal(std::move(canal)) {}

HRESULT CQVProxyManutencaoPreventiva::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IQVUnknown && riid != IID_IQVGE_ManutencaoPreventiva)
        return E_NOINTERFACE;
    *ppv = static_cast<IQVGE_ManutencaoPreventiva*>(this);
    AddRef();
    return S_OK;
}

ULONG CQVProxyManutencaoPreventiva::AddRef() { return ++m_cRef; }

ULONG CQVProxyManutencaoPreventiva::Release() {
    const ULONG restante = --m_cRef;
    if (restante == 0) delete this;
    return restante;
}

// Slots of IQVUnknown go to the remote object's IQVUnknown, the others to
// its IQVGE_ManutencaoPreventiva.
template <class M, class... A>
HRESULT CQVProxyManutencaoPreventiva::Chama(A... args) {
    const IID& iid =
        std::is_same_v<typename M::Interface, IQVUnknown> ? IID_IQVUnknown : IID_IQVGE_ManutencaoPreventiva;
    const HRESULT hr = M::ChamaRemoto(*m_canal, iid, args...);
    if (hr == RPC_E_INVALID_DATA) QV_LOG_HR(hr, "M::ChamaRemoto(*m_canal, iid, args...)");
    return hr;
}

HRESULT CQVProxyManutencaoPreventiva::Inicializa_Padrao(_REG_DF_INICIALIZAPS regps) { return Chama<M3>(regps); }
HRESULT CQVProxyManutencaoPreventiva::KeepAlive(LONG* pbOK) { return Chama<M4>(pbOK); }
HRESULT CQVProxyManutencaoPreventiva::GetUltimoErro(_REG_DF_ERROPS* pregErrops) { return Chama<M5>(pregErrops); }
HRESULT CQVProxyManutencaoPreventiva::FuncaoGenerica(ULONG ulFuncao, _REG_CR_LISTA_BYTESPS regInps, _REG_CR_LISTA_BYTESPS** ppregOutps) { return Chama<M6>(ulFuncao, regInps, ppregOutps); }
HRESULT CQVProxyManutencaoPreventiva::AlteracaoMultiplaCadastro(ULONG ulQuantidade, ULONG* pulPonteiros, ULONG ulQuantidadeAlteracoes, _REG_CR_ALTERACAOPS* pregps) { return Chama<M7>(ulQuantidade, pulPonteiros, ulQuantidadeAlteracoes, pregps); }
HRESULT CQVProxyManutencaoPreventiva::AlteracaoMultiplaMovimento(ULONG ulQuantidade, ULONGLONG* pregPonteiros, ULONG ulQuantidadeAlteracoes, _REG_CR_ALTERACAOPS* pregps) { return Chama<M8>(ulQuantidade, pregPonteiros, ulQuantidadeAlteracoes, pregps); }
HRESULT CQVProxyManutencaoPreventiva::CadastroTeveMovimentacao(ULONG eTipoCadastro, ULONG ulPonteiroCadastro, LONG* pbTeveMovimentacao) { return Chama<M9>(eTipoCadastro, ulPonteiroCadastro, pbTeveMovimentacao); }
HRESULT CQVProxyManutencaoPreventiva::LePropriedades(_REG_CADASTRO_PROPRIEDADES_PS* pRegPropriedades) { return Chama<M10>(pRegPropriedades); }
HRESULT CQVProxyManutencaoPreventiva::GravaPropriedades(_REG_CADASTRO_PROPRIEDADES_PS regPropriedades) { return Chama<M11>(regPropriedades); }
HRESULT CQVProxyManutencaoPreventiva::BuscaPonteiros(_REG_FILTRO_CADASTRO_MANUTENCAO_PS regFiltro, _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) { return Chama<M12>(regFiltro, pregPonteiros); }
HRESULT CQVProxyManutencaoPreventiva::BuscaRegistros(_REG_LISTA_PTRS_CADASTRO_PS regPonteiros, _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegListaRegistros) { return Chama<M13>(regPonteiros, pRegListaRegistros); }
HRESULT CQVProxyManutencaoPreventiva::Grava(LONG* pPosicao, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS RegCadastro) { return Chama<M14>(pPosicao, RegCadastro); }
HRESULT CQVProxyManutencaoPreventiva::Le(LONG lPos, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegCadastro) { return Chama<M15>(lPos, pRegCadastro); }
HRESULT CQVProxyManutencaoPreventiva::GeraRelatorioCadastro(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS regRelatorio) { return Chama<M16>(regRelatorio); }
HRESULT CQVProxyManutencaoPreventiva::ExcluiManutencoes(ULONGLONG regDmcAssistec) { return Chama<M17>(regDmcAssistec); }
HRESULT CQVProxyManutencaoPreventiva::GeraRelatorioMovimentacao(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS regRelatorio) { return Chama<M18>(regRelatorio); }
HRESULT CQVProxyManutencaoPreventiva::GravaMedidorSubstituido(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS RegCadastro, _REG_CADASTRO_MEDIDORES_PS regMedidor) { return Chama<M19>(RegCadastro, regMedidor); }
HRESULT CQVProxyManutencaoPreventiva::GravaHistoricoMedicao(LONG* pPosicao, _REG_CADASTRO_HISTORICO_MEDICOES_PS* pRegMedicao) { return Chama<M20>(pPosicao, pRegMedicao); }
HRESULT CQVProxyManutencaoPreventiva::GravaMedicaoAtual(_REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao, LONG bGravarHistorico, LONG bCalcularMedicao) { return Chama<M21>(pRegMedicao, bGravarHistorico, bCalcularMedicao); }
HRESULT CQVProxyManutencaoPreventiva::LeMedicaoAtual(LONG lPos, _REG_CADASTRO_MEDICAO_ATUAL_PS* pRegMedicao) { return Chama<M22>(lPos, pRegMedicao); }
HRESULT CQVProxyManutencaoPreventiva::BuscaPonteirosMedicaoAtual(_REG_FILTRO_MEDICAO_PS regFiltro, _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) { return Chama<M23>(regFiltro, pregPonteiros); }
HRESULT CQVProxyManutencaoPreventiva::BuscaRegistrosMedicaoAtual(_REG_LISTA_PTRS_CADASTRO_PS regPonteiros, _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS* pRegListaRegistros) { return Chama<M24>(regPonteiros, pRegListaRegistros); }
HRESULT CQVProxyManutencaoPreventiva::BuscaPonteirosHistoricoMedicao(_REG_FILTRO_HISTORICO_MEDICAO_PS regFiltro, _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) { return Chama<M25>(regFiltro, pregPonteiros); }
HRESULT CQVProxyManutencaoPreventiva::BuscaRegistrosHistoricoMedicao(_REG_LISTA_PONTEIROS_DATA_PS regPonteiros, _REG_LISTA_HISTORICO_MEDICOES_PS* pRegListaRegistros) { return Chama<M26>(regPonteiros, pRegListaRegistros); }
HRESULT CQVProxyManutencaoPreventiva::GravaMovimentacao(_REG_MOVIMENTACAO_MANUT_PREV_PS pRegMovimentacao, ULONGLONG* pRegDMCGravado) { return Chama<M27>(pRegMovimentacao, pRegDMCGravado); }
HRESULT CQVProxyManutencaoPreventiva::BuscaPonteirosMovimentacao(_REG_MOVIMENTACAO_FILTRO_PS regFiltro, _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) { return Chama<M28>(regFiltro, pregPonteiros); }
HRESULT CQVProxyManutencaoPreventiva::LeMovimentacao(ULONGLONG dmcChave, _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao) { return Chama<M29>(dmcChave, pRegMovimentacao); }
HRESULT CQVProxyManutencaoPreventiva::LeMovimentacaoLight(ULONGLONG dmcChave, _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao) { return Chama<M30>(dmcChave, pRegMovimentacao); }
HRESULT CQVProxyManutencaoPreventiva::BuscaRegistrosMovimentacao(_REG_LISTA_PONTEIROS_DATA_PS regPonteiros, _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) { return Chama<M31>(regPonteiros, pRegListaRegistros); }
HRESULT CQVProxyManutencaoPreventiva::BuscaMovimentacoesDiarias(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) { return Chama<M32>(pRegListaRegistros); }
HRESULT CQVProxyManutencaoPreventiva::BuscaMovimentosPelaManutencao(ULONG lCodigoManutencao, _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) { return Chama<M33>(lCodigoManutencao, pRegListaRegistros); }
HRESULT CQVProxyManutencaoPreventiva::BuscaTreeMovimentacaoEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos) { return Chama<M34>(plistaItens, bTrazerSomenteAtivos); }
HRESULT CQVProxyManutencaoPreventiva::BuscaTreeMovimentacaoProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos) { return Chama<M35>(plistaItens, bTrazerSomenteAtivos); }
HRESULT CQVProxyManutencaoPreventiva::BuscaRegistroTreeEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos) { return Chama<M36>(plistaItens, bTrazerSomenteAtivos); }
HRESULT CQVProxyManutencaoPreventiva::BuscaRegistroTreeProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens, LONG bTrazerSomenteAtivos) { return Chama<M37>(plistaItens, bTrazerSomenteAtivos); }

// ---- Entry points of the transport ------------------------------------------------------------

HRESULT CriaProxyManutencaoPreventiva(std::shared_ptr<rpc::CanalObjeto> canal, REFIID iid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (canal == nullptr) return E_INVALIDARG;
    if (iid != IID_IUnknown && iid != IID_IQVUnknown && iid != IID_IQVGE_ManutencaoPreventiva) return E_NOINTERFACE;
    auto* proxy = new (std::nothrow) CQVProxyManutencaoPreventiva(std::move(canal));
    if (proxy == nullptr) return E_OUTOFMEMORY;
    proxy->AddRef();
    const HRESULT hr = proxy->QueryInterface(iid, ppv);
    proxy->Release();
    return hr;
}

HRESULT DespachaManutencaoPreventiva(IUnknown* objeto, ULONG slot, std::string_view entrada, std::string& saida) {
    return DespachaSlot(objeto, slot, kUltimoSlot, entrada, saida);
}

HRESULT DespachaQVUnknown(IUnknown* objeto, ULONG slot, std::string_view entrada, std::string& saida) {
    return DespachaSlot(objeto, slot, kUltimoSlotQVUnknown, entrada, saida);
}

}  // namespace zenta
