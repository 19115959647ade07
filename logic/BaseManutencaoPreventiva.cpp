#include "logic/BaseManutencaoPreventiva.h"

#include <cstring>
#include <shared_mutex>
#include <string_view>

#include "access/CLogTransacoesHelper.h"
#include "platform/QVModulos.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "core/qvdatabase/QVFileSingleReg.h"
#include "diagnostics/QVCheck.h"

#ifdef ZENTA_OPERACOES_TESTE
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#endif

namespace zenta {

namespace {

// Copies a caption between the interface and the stored form: at most 31
// characters up to the first zero, the rest of the 32-byte field zero. A
// field of 32 characters without a terminator loses its last one.
template <std::size_t N, std::size_t M>
void CopiaLegenda(char (&destino)[N], const char (&origem)[M]) {
    static_assert(N == 32 && M == 32, "captions are 32-byte fields");
    const char* fim = static_cast<const char*>(std::memchr(origem, 0, N - 1));
    const std::size_t tamanho = fim != nullptr ? static_cast<std::size_t>(fim - origem) : N - 1;
    std::memset(destino, 0, N);
    std::memcpy(destino, origem, tamanho);
}

}  // namespace

CBaseManutencaoPreventiva::~CBaseManutencaoPreventiva() { Finaliza(); }

// ---- Start-up and end ----------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::OnInicializa() {
    const HRESULT hr = ExecutaInicializacao();
    if (FAILED(hr)) {
        // The object does not count as initialised, so it will not be
        // finalised: give back the company's database and the connections now.
        m_IntegraEstoque.Finaliza();
        CQVDataBaseFacade::OnFinaliza();
        std::lock_guard trava(m_travaPropriedades);
        std::memset(&m_Propriedades, 0, sizeof m_Propriedades);
    }
    return hr;
}

HRESULT CBaseManutencaoPreventiva::ExecutaInicializacao() {
    QV_CHECK(CQVBaseParaRotinas::OnInicializa());
    QV_CHECK(QVDataBaseInicializa());
    // The rest of start-up (the day's verification writes) uses the company's
    // database like any call: held shared, so that a reload after another
    // object's fault never runs beside it.
    std::shared_lock<zenta::CQVTravaLeituraEscrita> uso;
    QV_CHECK(QVDataBaseUso(uso));
    // Any answer but S_OK ends start-up with it.
    if (const HRESULT hr = m_IntegraEstoque.Inicializa(GetEmpresa(), GetUsuario(), static_cast<LONG>(GetNumeroSessao()));
        hr != S_OK) {
        QV_LOG_HR(hr, "m_IntegraEstoque.Inicializa(GetEmpresa(), GetUsuario(), GetNumeroSessao())");
        return hr;
    }
    const HRESULT hr = FazVerificacaoDatasManutencao();
    if (FAILED(hr)) QV_LOG_HR(hr, "FazVerificacaoDatasManutencao()");
    return hr;
}

HRESULT CBaseManutencaoPreventiva::OnFinaliza() {
    const HRESULT hrEstoque = m_IntegraEstoque.Finaliza();
    if (FAILED(hrEstoque)) QV_LOG_HR(hrEstoque, "m_IntegraEstoque.Finaliza()");
    const HRESULT hr = CQVDataBaseFacade::OnFinaliza();
    {
        std::lock_guard trava(m_travaPropriedades);
        std::memset(&m_Propriedades, 0, sizeof m_Propriedades);
    }
    return FAILED(hr) ? hr : hrEstoque;
}

HRESULT CBaseManutencaoPreventiva::ExecutaConversao() {
    // The object itself is not initialised until its start-up ends: the
    // version file is read with a local access object of the same session.
    CQVBaseParaRotinas acesso;
    acesso.SetUsaConexaoDefault(true);
    QV_CHECK(acesso.Inicializa(GetEmpresa(), GetUsuario(), static_cast<LONG>(GetNumeroSessao())));
    // A missing file reads as all zero: version 0.
    REG_GE_MANUTENCAO_PREVENTIVA_VERSAO regVersao{};
    QV_CHECK(CQVDataBaseUtil::LeSingleReg(&acesso, QV_MODULO_GE, &regVersao,
                                          zenta::NOME_ARQUIVO_VERSAO_MANUTENCAO_PREVENTIVA));
    if (regVersao.usVersao > zenta::kVersaoDadosManutencaoPreventiva) QV_CHECK(zenta::E_GE_VERSAO_DADOS_SUPERIOR);
    return S_OK;
}

// ---- Properties ------------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::LePropriedades(_REG_CADASTRO_PROPRIEDADES_PS* pRegPropriedades) {
    if (pRegPropriedades == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    CQVFileSingleReg<REG_CADASTRO_PROPRIEDADES_V1>& arquivo = m_pDataBase->m_ManutencaoPropriedades;
    // No file, or a file whose first write was cut short before its record:
    // no properties were ever saved, and the caller's record stays as it
    // was given (callers pass it zeroed). Otherwise the stored fields are
    // copied; fields that are not stored stay as the caller gave them.
    if (!arquivo.ExisteArquivo() || arquivo.GetQtdRegistros() == 0) return S_OK;
    REG_CADASTRO_PROPRIEDADES_V1 reg{};
    QV_CHECK(arquivo.Le(reg));
    pRegPropriedades->cAvisarDataProximaManutencaoComAntecedencia = reg.cAvisarDataProximaManutencaoComAntecedencia;
    pRegPropriedades->cAvisarPorEmail = reg.cAvisarPorEmail;
    pRegPropriedades->cAvisarComTelaAviso = reg.cAvisarComTelaAviso;
    pRegPropriedades->lQtdDiasAviso = reg.lQtdDiasAviso;
    pRegPropriedades->dataUltimaVerificacaoMedicao = reg.dataUltimaVerificacaoMedicao;
    CopiaLegenda(pRegPropriedades->szNomeCampoDinamico1, reg.szNomeCampoDinamico1);
    CopiaLegenda(pRegPropriedades->szNomeCampoDinamico2, reg.szNomeCampoDinamico2);
    CopiaLegenda(pRegPropriedades->szNomeCampoDinamico3, reg.szNomeCampoDinamico3);
    CopiaLegenda(pRegPropriedades->szNomeCampoDinamico4, reg.szNomeCampoDinamico4);
    CopiaLegenda(pRegPropriedades->szNomeCampoDinamico5, reg.szNomeCampoDinamico5);
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::AtualizaPropriedades() {
    _REG_CADASTRO_PROPRIEDADES_PS propriedades{};
    const HRESULT hr = LePropriedades(&propriedades);
    std::lock_guard trava(m_travaPropriedades);
    // A failed read leaves the properties all zero.
    m_Propriedades = SUCCEEDED(hr) ? propriedades : _REG_CADASTRO_PROPRIEDADES_PS{};
    return hr;
}

_REG_CADASTRO_PROPRIEDADES_PS CBaseManutencaoPreventiva::GetPropriedades() const {
    std::lock_guard trava(m_travaPropriedades);
    return m_Propriedades;
}

HRESULT CBaseManutencaoPreventiva::GravaPropriedades(const _REG_CADASTRO_PROPRIEDADES_PS& regPropriedades) {
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    REG_CADASTRO_PROPRIEDADES_V1 reg{};
    reg.cAvisarDataProximaManutencaoComAntecedencia = regPropriedades.cAvisarDataProximaManutencaoComAntecedencia;
    reg.cAvisarPorEmail = regPropriedades.cAvisarPorEmail;
    reg.cAvisarComTelaAviso = regPropriedades.cAvisarComTelaAviso;
    reg.lQtdDiasAviso = regPropriedades.lQtdDiasAviso;
    reg.dataUltimaVerificacaoMedicao = regPropriedades.dataUltimaVerificacaoMedicao;
    CopiaLegenda(reg.szNomeCampoDinamico1, regPropriedades.szNomeCampoDinamico1);
    CopiaLegenda(reg.szNomeCampoDinamico2, regPropriedades.szNomeCampoDinamico2);
    CopiaLegenda(reg.szNomeCampoDinamico3, regPropriedades.szNomeCampoDinamico3);
    CopiaLegenda(reg.szNomeCampoDinamico4, regPropriedades.szNomeCampoDinamico4);
    CopiaLegenda(reg.szNomeCampoDinamico5, regPropriedades.szNomeCampoDinamico5);
    QV_CHECK(m_pDataBase->m_ManutencaoPropriedades.Grava(reg));
    QV_CHECK(AtualizaPropriedades());
    if (regPropriedades.ucNaoGravarLog != 0) return S_OK;

    CLogTransacoesHelper log;
    QV_CHECK(log.Inicializa(this));
    QV_CHECK(log.AdicionaInformacao('N', zenta::kTextoLogPropriedades));
    QV_CHECK(log.Grava(REG_QVDMC(), E_GE_REGISTRO_LOG::eLogAssistec, 'A'));
    return S_OK;
}

#ifdef ZENTA_OPERACOES_TESTE
// ---- TEST BUILDS ONLY: faults on purpose ---------------------------------------
// Each fault is a real machine fault that no compiler may remove or turn into
// something else: the addresses and divisors are read through volatile.

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

}  // namespace zenta
