// T_QVUnknown<I, TBase>: the shell of a service object. It owns one logic
// object of class TBase and turns every interface call into a guarded call
// of it: the initialisation gate, the tracing scope, the default-access
// switch, the machine-fault guard, the translation of thrown exceptions, the
// error-log line of every failure and the disposal of a logic object whose
// state a machine fault has made untrustworthy.
//
// The generic IQVUnknown methods live here; the class that serves interface I
// derives from this template and forwards each of its own slots through
// ChamadaProtegida.
#pragma once

#include <sched.h>

#include <atomic>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include <zenta/QVUnknown.h>

#include "access/QVBaseParaRotinas.h"
#include "diagnostics/QVCheck.h"
#include "diagnostics/QVEscopoRastreio.h"
#include "diagnostics/QVGuardaFalhas.h"
#include "platform/CrtInvalidParameter.h"
#include "server/QVCallFrameSupport.h"
#include "server/QVModulo.h"

namespace zenta {

// The interface's name as trace labels write it ("struct IQVGE_...").
template <class I>
struct T_QVNomeInterface;

template <class I, class TBase>
class T_QVUnknown : public IQVDF_Profiler, public I {
public:
    // Creates the logic object at once. A failed creation leaves it null and
    // every later call is refused by the initialisation gate.
    explicit T_QVUnknown(IUnknown* pUnkOuter = nullptr)
        : m_interno(this), m_pExterno(pUnkOuter != nullptr ? pUnkOuter : &m_interno) {
        std::memset(&m_regInicializacao, 0, sizeof m_regInicializacao);
        sched_yield();
        zenta::InstalaTratadorParametroInvalido();
        {
            // The object's creation: a "COCREATE" record when creations are traced.
            CQVEscopoRastreio escopo(CQVContextoProfiler{});
            escopo.IniciaCriacao(Rotulo("T_QVUnknown"), QV_ARQUIVO, __LINE__);
        }
        CQVFalhaCapturada falha;
        try {
            m_hrConstruct = QVExecutaComGuarda(
                [this] {
                    std::lock_guard lock(m_travaBase);
                    m_pBase = std::make_shared<TBase>();
                    return S_OK;
                },
                falha);
        } catch (...) {
            m_hrConstruct = TraduzELiberaExcecao();
        }
        if (m_hrConstruct != S_OK) LogaFalha(Rotulo("T_QVUnknown"), QV_ARQUIVO, __LINE__, "m_hrConstruct", m_hrConstruct);
        zenta::QVModulo::Instancia().Trava();
    }

    T_QVUnknown(const T_QVUnknown&) = delete;
    T_QVUnknown& operator=(const T_QVUnknown&) = delete;

    virtual ~T_QVUnknown() {
        {
            CQVEscopoRastreio escopo(CQVContextoProfiler{});
            escopo.Inicia(Rotulo("~T_QVUnknown"), QV_ARQUIVO, __LINE__);
        }
        CQVFalhaCapturada falha;
        try {
            m_hrConstruct = QVExecutaComGuarda(
                [this] {
                    DescartaBase();
                    return S_OK;
                },
                falha);
        } catch (...) {
            m_hrConstruct = TraduzELiberaExcecao();
        }
        if (m_hrConstruct != S_OK) LogaFalha(Rotulo("~T_QVUnknown"), QV_ARQUIVO, __LINE__, "m_hrConstruct", m_hrConstruct);
        zenta::QVModulo::Instancia().Destrava();
    }

    // The non-delegating unknown, handed to an aggregating outer object.
    IUnknown* GetUnknownInterno() { return &m_interno; }

    // ---- IUnknown: delegates to the outer object when aggregated ----------
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        return m_pExterno->QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_pExterno->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_pExterno->Release(); }

    // ---- IQVDF_Profiler: the logic object's context -------------------------
    std::string GetEmpresa() const override {
        const auto base = Base();
        return base ? base->GetEmpresa() : std::string();
    }
    USHORT GetUsuario() const override {
        const auto base = Base();
        return base ? base->GetUsuario() : USHORT{0};
    }
    ULONG GetNumeroSessao() const override {
        const auto base = Base();
        return base ? base->GetNumeroSessao() : ULONG{0};
    }

    // ---- IQVUnknown ---------------------------------------------------------
    HRESULT STDMETHODCALLTYPE Inicializa_Padrao(_REG_DF_INICIALIZAPS regps) override {
        const std::string rotulo = Rotulo("Inicializa_Padrao");
        if (regps.usVersaoFarol != QV_VERSAO_FAROL) {
            LogaFalha(rotulo, QV_ARQUIVO, __LINE__, "E_QVCR_VERSAO_INCOMPATIVEL", E_QVCR_VERSAO_INCOMPATIVEL);
            return E_QVCR_VERSAO_INCOMPATIVEL;
        }
        if (QVCalculaCrc64(&regps, QV_TAMANHO_CRC_INICIALIZACAO, 0) != regps.uiCRC) {
            LogaFalha(rotulo, QV_ARQUIVO, __LINE__, "E_QVCR_CRC_INICIALIZACAO_INVALIDO", E_QVCR_CRC_INICIALIZACAO_INVALIDO);
            return E_QVCR_CRC_INICIALIZACAO_INVALIDO;
        }
        if (regps.szAplicativo[0] == 0 || regps.szModuleName[0] == 0 || regps.szArquivoFonte[0] == 0 ||
            regps.ulLinhaFonte == 0 || regps.cControle != QV_CONTROLE_INICIALIZACAO) {
            LogaFalha(rotulo, QV_ARQUIVO, __LINE__, "E_QVCR_ESTRUTURA_INICIALIZACAO_INVALIDA",
                      E_QVCR_ESTRUTURA_INICIALIZACAO_INVALIDA);
            return E_QVCR_ESTRUTURA_INICIALIZACAO_INVALIDA;
        }
        {
            std::lock_guard lock(m_travaRegistro);
            m_regInicializacao = regps;
        }
        const HRESULT hr = Quadro(rotulo, QV_ARQUIVO, __LINE__, false,
                                  [&regps](TBase& base) { return base.CQVBaseParaRotinas::Inicializa(regps); });
        const auto base = Base();
        if (base && SUCCEEDED(hr) && base->EstaInicializado()) return hr;
        DescartaBase();
        if (FAILED(hr)) {
            std::lock_guard lock(m_travaRegistro);
            std::memset(&m_regInicializacao, 0, sizeof m_regInicializacao);
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE KeepAlive(LONG* pbOK) override {
        if (pbOK != nullptr) *pbOK = 1;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetUltimoErro(_REG_DF_ERROPS* pregErrops) override {
        if (pregErrops != nullptr) std::memset(pregErrops, 0, sizeof *pregErrops);
        if (const auto base = Base()) base->GetErro().CopiarPara(pregErrops);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE FuncaoGenerica(ULONG ulFuncao, _REG_CR_LISTA_BYTESPS regInps,
                                             _REG_CR_LISTA_BYTESPS** ppregOutps) override {
        return ChamadaProtegida("FuncaoGenerica", QV_ARQUIVO, __LINE__, [&](TBase& base) {
            return base.FuncaoGenerica(ulFuncao, regInps, ppregOutps);
        });
    }

    HRESULT STDMETHODCALLTYPE AlteracaoMultiplaCadastro(ULONG ulQuantidade, ULONG* pulPonteiros,
                                                        ULONG ulQuantidadeAlteracoes,
                                                        _REG_CR_ALTERACAOPS* pregps) override {
        std::vector<_REG_CR_ALTERACAOPS> lista;
        if (!CopiaAlteracoes(ulQuantidadeAlteracoes, pregps, lista)) return E_POINTER;
        if (ulQuantidade == 0) return S_OK;
        if (pulPonteiros == nullptr) return E_POINTER;
        for (ULONG i = 0; i < ulQuantidade; ++i) {
            const ULONG ulPonteiro = pulPonteiros[i];
            const HRESULT hr = OnAlteracaoMultiplaCadastro(ulPonteiro, lista);
            if (hr != S_OK) {
                LogaFalha(Rotulo("AlteracaoMultiplaCadastro"), QV_ARQUIVO, __LINE__,
                          "OnAlteracaoMultiplaCadastro(ulPonteiro, listaAlteracoes)", hr);
                return hr;
            }
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE AlteracaoMultiplaMovimento(ULONG ulQuantidade, ULONGLONG* pregPonteiros,
                                                         ULONG ulQuantidadeAlteracoes,
                                                         _REG_CR_ALTERACAOPS* pregps) override {
        std::vector<_REG_CR_ALTERACAOPS> lista;
        if (!CopiaAlteracoes(ulQuantidadeAlteracoes, pregps, lista)) return E_POINTER;
        if (ulQuantidade == 0) return S_OK;
        if (pregPonteiros == nullptr) return E_POINTER;
        for (ULONG i = 0; i < ulQuantidade; ++i) {
            const ULONGLONG* regDMC = &pregPonteiros[i];
            const HRESULT hr = OnAlteracaoMultiplaMovimento(regDMC, lista);
            if (hr != S_OK) {
                LogaFalha(Rotulo("AlteracaoMultiplaMovimento"), QV_ARQUIVO, __LINE__,
                          "OnAlteracaoMultiplaMovimento(regDMC, listaAlteracoes)", hr);
                return hr;
            }
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE CadastroTeveMovimentacao(ULONG, ULONG, LONG*) override { return E_NOTIMPL; }

protected:
    // Hooks of the multiple-change calls; this server supports neither.
    virtual HRESULT OnAlteracaoMultiplaMovimento(const ULONGLONG* /*regDMC*/,
                                                 const std::vector<_REG_CR_ALTERACAOPS>& /*listaAlteracoes*/) {
        return E_NOTIMPL;
    }
    virtual HRESULT OnAlteracaoMultiplaCadastro(ULONG /*ulPonteiro*/,
                                                const std::vector<_REG_CR_ALTERACAOPS>& /*listaAlteracoes*/) {
        return E_NOTIMPL;
    }

    // Runs a business operation of the served interface in the call frame.
    // `metodo` is the method's name, `arquivo` and `linha` where it is written.
    template <class Operacao>
    HRESULT ChamadaProtegida(const char* metodo, const char* arquivo, unsigned linha, Operacao&& operacao) {
        return Quadro(NomeRastreio(metodo), arquivo, linha, true, std::forward<Operacao>(operacao));
    }

    // The trace name of a slot of the served interface ("CQV..::Metodo").
    virtual std::string NomeRastreio(const char* metodo) const = 0;

    // The context the object's own log lines are written for.
    CQVContextoProfiler QVProfilerDoEscopo() const { return {this, &m_regInicializacao}; }

private:
    // The non-delegating unknown: identity and the object's own count.
    class CUnknownInterno final : public IUnknown {
    public:
        explicit CUnknownInterno(T_QVUnknown* dono) : m_pDono(dono) {}
        virtual ~CUnknownInterno() = default;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
            if (ppv == nullptr) return E_POINTER;
            *ppv = nullptr;
            if (riid == IID_IUnknown) {
                *ppv = static_cast<IUnknown*>(this);
                AddRef();
                return S_OK;
            }
            if (riid == IID_IQVUnknown || riid == T_QVNomeInterface<I>::kIID) {
                *ppv = static_cast<I*>(m_pDono);
                m_pDono->AddRef();
                return S_OK;
            }
            return E_NOINTERFACE;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++m_pDono->m_cRef; }
        ULONG STDMETHODCALLTYPE Release() override {
            const ULONG restante = --m_pDono->m_cRef;
            if (restante == 0) delete m_pDono;
            return restante;
        }

    private:
        T_QVUnknown* m_pDono;
    };

    // Inside a catch handler: the result of the exception being handled,
    // which is freed when it was thrown as a pointer.
    static HRESULT TraduzELiberaExcecao() {
        const HRESULT hr = QVTranslateThrownExceptionToHresult();
        QVLiberaExcecaoLancada();
        return hr;
    }

    static std::string Rotulo(const char* metodo) {
        return std::string("T_QVUnknown<struct ") + T_QVNomeInterface<I>::kNome + ",class " + TBase::kNomeClasse +
               ">::" + metodo;
    }

    std::shared_ptr<TBase> Base() const {
        std::lock_guard lock(m_travaBase);
        return m_pBase;
    }

    // Drops the logic object. Calls still running on it keep it alive until
    // they return; it is destroyed by the last of them.
    void DescartaBase() {
        std::shared_ptr<TBase> antigo;
        {
            std::lock_guard lock(m_travaBase);
            antigo.swap(m_pBase);
        }
        antigo.reset();
    }

    void LogaFalha(const std::string& funcao, const char* arquivo, unsigned linha, const char* expressao,
                   HRESULT hr) const {
        QVGravaLogErroHr(QVProfilerDoEscopo(), funcao, arquivo, linha, expressao, hr);
    }

    static bool CopiaAlteracoes(ULONG quantidade, const _REG_CR_ALTERACAOPS* origem,
                                std::vector<_REG_CR_ALTERACAOPS>& lista) {
        if (quantidade == 0) return true;
        if (origem == nullptr) return false;
        lista.assign(origem, origem + quantidade);
        return true;
    }

    // The call frame. `comPortao`: refuse the call unless the logic object
    // is initialised (every call but Inicializa_Padrao).
    template <class Operacao>
    HRESULT Quadro(const std::string& rotulo, const char* arquivo, unsigned linha, bool comPortao,
                   Operacao&& operacao) {
        std::shared_ptr<TBase> base = Base();
        if (comPortao && (!base || !base->EstaInicializado())) return QV_E_NAO_INICIALIZADO;
        // After a fault whose release could not be proven the process takes no more calls.
        if (comPortao && zenta::ProcessoComprometido()) return QV_E_NAO_INICIALIZADO;
        // No yield of the processor here: on a busy machine it hands the
        // rest of the time slice to other processes, and every call then
        // waits behind them (a local plan read took half as long again).
        zenta::CQVContextoParametroInvalido contextoParametro(linha, arquivo);
        CQVEscopoRastreio escopo(QVProfilerDoEscopo());
        escopo.Inicia(rotulo, arquivo, linha);
        const std::string empresa = base ? base->GetEmpresa() : std::string();

        HRESULT hr = S_OK;
        bool lancou = false;
        bool liberado = true;
        zenta::CQVTrocaAcessoDefault trocaAcesso;
        // The company's database is held for the whole call (reloaded first
        // when a fault of another call left it untrusted).
        std::shared_lock<zenta::CQVTravaLeituraEscrita> usoBaseDados;
        try {
            if (base) {
                CQVBaseParaRotinas* acesso = base->GetBaseParaRotinas();
                if (acesso != nullptr && acesso->EstaInicializado()) trocaAcesso.Troca(acesso);
            }
            CQVFalhaCapturada falha;
            if constexpr (requires(TBase & b, std::shared_lock<zenta::CQVTravaLeituraEscrita>& u) { b.QVDataBaseUso(u); }) {
                // Guarded too: a fault in a reload lets go of the company as well.
                if (base) hr = QVExecutaComGuarda([&] { return base->QVDataBaseUso(usoBaseDados); }, falha);
            }
            if (SUCCEEDED(hr))
                hr = QVExecutaComGuarda(
                    [&]() -> HRESULT { return base ? operacao(*base) : QV_E_SEM_OBJETO_LOGICA; }, falha);
            liberado = falha.bRecursosLiberados;
            if (falha.dwCodigo != 0)
                zenta::RelataFalhaMaquina(hr, empresa, arquivo, linha, falha.sPilha);
            if (FAILED(hr)) LogaFalha(rotulo, arquivo, linha, "pfInSEHFuncao()", hr);
        } catch (...) {
            lancou = true;
            hr = TraduzELiberaExcecao();
            if (hr != 0) LogaFalha(rotulo, arquivo, linha, "QVTranslateThrownExceptionToHresult()", hr);
        }
        if (!lancou && QVEhResultadoFalhaMaquina(hr)) {
            // What the call changed in the company's memory is not used
            // again: the database is loaded from disk at its next use. When
            // the fault's release could not be proven, the process stops
            // taking calls and ends once the others are done.
            if constexpr (requires(TBase & b) { b.QVDataBaseDescartaAposFalha(); }) {
                if (base) base->QVDataBaseDescartaAposFalha();
            }
            if (!liberado) zenta::ComprometeProcesso(empresa);
            if (usoBaseDados.owns_lock()) usoBaseDados.unlock();
            base.reset();
            try {
                DescartaBase();
            } catch (...) {
                const HRESULT hrDescarte = TraduzELiberaExcecao();
                if (hrDescarte != 0)
                    LogaFalha(rotulo, arquivo, linha, "QVTranslateThrownExceptionToHresult()", hrDescarte);
            }
        }
        return hr;
    }

    CUnknownInterno m_interno;
    IUnknown* m_pExterno;
    std::atomic<ULONG> m_cRef{0};

    mutable std::mutex m_travaRegistro;
    _REG_DF_INICIALIZAPS m_regInicializacao;

    mutable std::mutex m_travaBase;
    std::shared_ptr<TBase> m_pBase;
    HRESULT m_hrConstruct = S_OK;
};

}  // namespace zenta
