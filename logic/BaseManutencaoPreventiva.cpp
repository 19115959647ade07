#include "logic/BaseManutencaoPreventiva.h"

#ifdef ZENTA_OPERACOES_TESTE
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#endif

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

#ifdef ZENTA_OPERACOES_TESTE
// ---- TEST BUILDS ONLY: faults on purpose ---------------------------------------
// Each fault is a real machine fault that no compiler may remove or turn into
// something else: the addresses and divisors are read through volatile.

namespace zenta {

volatile uintptr_t g_enderecoTesteInvalido = 16;  // never mapped
volatile bool g_testeRecursaoContinua = true;

__attribute__((noinline)) int FalhaTesteViolacaoAcesso() {
    auto* destino = reinterpret_cast<volatile int*>(g_enderecoTesteInvalido);
    *destino = 1;
    return *destino;
}

__attribute__((noinline)) int FalhaTesteDivisaoPorZero(int numerador) {
    volatile int zero = 0;
    int divisor = zero;
    int quociente = numerador;
#if defined(__x86_64__)
    // The machine's division itself: in C++ a division by zero is undefined
    // and could be checked away.
    __asm__ volatile("cltd\n\tidivl %1" : "+a"(quociente) : "r"(divisor) : "edx", "cc");
#else
    quociente = divisor != 0 ? numerador / divisor : (std::abort(), 0);
#endif
    return quociente;
}

__attribute__((noinline)) unsigned FalhaTesteEstouroPilha(unsigned profundidade) {
    volatile char bloco[512];
    bloco[profundidade % sizeof bloco] = static_cast<char>(profundidade & 0x7F);
    if (!g_testeRecursaoContinua) return bloco[profundidade % sizeof bloco];
    return FalhaTesteEstouroPilha(profundidade + 1) + static_cast<unsigned>(bloco[profundidade % sizeof bloco]);
}

}  // namespace zenta

HRESULT CBaseManutencaoPreventiva::FuncaoGenerica(ULONG ulFuncao, const _REG_CR_LISTA_BYTESPS& regInps,
                                                  _REG_CR_LISTA_BYTESPS** ppregOutps) {
    const char* ativas = std::getenv("ZENTA_OPERACOES_TESTE");
    if (ativas == nullptr || std::strcmp(ativas, "1") != 0)
        return CQVBaseParaRotinas::FuncaoGenerica(ulFuncao, regInps, ppregOutps);
    if (ppregOutps != nullptr) *ppregOutps = nullptr;
    switch (ulFuncao) {
        case kTesteViolacaoAcesso: return zenta::FalhaTesteViolacaoAcesso() == 0 ? S_OK : S_FALSE;
        case kTesteDivisaoPorZero: return zenta::FalhaTesteDivisaoPorZero(7) == 0 ? S_OK : S_FALSE;
        case kTesteEstouroPilha: return zenta::FalhaTesteEstouroPilha(0) == 0 ? S_OK : S_FALSE;
        case kTesteExcecao: throw std::runtime_error("falha de teste");
        default: return CQVBaseParaRotinas::FuncaoGenerica(ulFuncao, regInps, ppregOutps);
    }
}
#endif
