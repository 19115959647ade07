#include "access/QVComPtr.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "diagnostics/QVEventLog.h"
#include "diagnostics/QVTrataErro.h"
#include "platform/Registry.h"

namespace zenta {

namespace {

constexpr const char* kChaveInstalacao = "SOFTWARE\\Wow6432Node\\QV Sistemas";
constexpr int kTentativasCriacao = 500;
std::atomic<unsigned> g_esperaTentativaMs{100};

// The machine a class is configured to run on, as the ping command may take
// it: letters, digits, dots, hyphens and colons only; anything else is not
// run.
std::string ServidorRemotoDaClasse(REFCLSID rclsid) {
    const std::string clsid = zenta::TextoGuid(rclsid);
    const auto appId = zenta::RegLeTexto(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + clsid, "AppID");
    if (!appId || appId->empty()) return {};
    const auto nome =
        zenta::RegLeTexto(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\AppID\\" + *appId, "RemoteServerName");
    if (!nome || nome->empty() || nome->size() > 253) return {};
    for (const char c : *nome) {
        const bool valido = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                            c == '-' || c == ':';
        if (!valido) return {};
    }
    return *nome;
}

// The output of "ping" for the server (at most 64 KiB of it).
std::string SaidaPing(const std::string& servidor) {
    const std::string comando = "ping -c 4 -W 1 " + servidor + " 2>&1";
    FILE* processo = popen(comando.c_str(), "r");
    if (processo == nullptr) return "ping " + servidor + ": could not be run";
    std::string saida;
    char bloco[1024];
    std::size_t lidos;
    while ((lidos = std::fread(bloco, 1, sizeof bloco, processo)) > 0) {
        if (saida.size() < 64 * 1024) saida.append(bloco, lidos);
    }
    pclose(processo);
    return saida;
}

void EventoCriacao(REFCLSID rclsid, HRESULT hr, WORD tipo, const std::string& mensagem) {
    QVGravaEventLog(rclsid, hr, tipo, mensagem);
}

}  // namespace

void DefineEsperaTentativasCriacao(unsigned milissegundos) { g_esperaTentativaMs.store(milissegundos); }

QVSegurancaCom QVSegurancaComDe(DWORD desabilitaAutenticacao, DWORD desabilitaEncriptacao) {
    QVSegurancaCom s;
    if (desabilitaAutenticacao != 0) {
        s.dwAuthnLevel = RPC_C_AUTHN_LEVEL_NONE;
        s.dwAuthnSvc = RPC_C_AUTHN_NONE;
    } else if (desabilitaEncriptacao != 0) {
        s.dwAuthnLevel = RPC_C_AUTHN_LEVEL_DEFAULT;
    }
    return s;
}

const QVSegurancaCom& QVSegurancaComProcesso() {
    static const QVSegurancaCom seguranca =
        QVSegurancaComDe(zenta::RegLeDword(HKEY_LOCAL_MACHINE, kChaveInstalacao, "DesabilitaAutenticacaoDCOM").value_or(0),
                         zenta::RegLeDword(HKEY_LOCAL_MACHINE, kChaveInstalacao, "DesabilitaEncriptacaoDCOM").value_or(0));
    return seguranca;
}

HRESULT QVCoSetProxyBlanket(IUnknown* pProxy) {
    const QVSegurancaCom& s = QVSegurancaComProcesso();
    return CoSetProxyBlanket(pProxy, s.dwAuthnSvc, s.dwAuthzSvc, nullptr, s.dwAuthnLevel, s.dwImpLevel, nullptr,
                             EOAC_NONE);
}

HRESULT QVCoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsCtx, REFIID riid, void** ppv,
                           DWORD eFlags) {
    if (ppv == nullptr) QV_CHECK(E_POINTER);
    *ppv = nullptr;

    // The installation may forbid creating servers from here.
    if (zenta::RegLeDword(HKEY_LOCAL_MACHINE, std::string(kChaveInstalacao) + "\\LocalizacaoModulo", "LocalizacaoCRQV")
            .value_or(0) != 0) {
        QV_LOG_HR(E_QVCR_CHAMADA_DCOM_NAO_PERMITIDA, "E_QVCR_CHAMADA_DCOM_NAO_PERMITIDA");
        return E_QVCR_CHAMADA_DCOM_NAO_PERMITIDA;
    }

    const QVSegurancaCom& seguranca = QVSegurancaComProcesso();
    COAUTHINFO autenticacao{seguranca.dwAuthnSvc, seguranca.dwAuthzSvc, nullptr, seguranca.dwAuthnLevel,
                            seguranca.dwImpLevel, nullptr, EOAC_NONE};
    COSERVERINFO csi{0, nullptr, &autenticacao, 0};
    MULTI_QI mqi{&riid, nullptr, S_OK};
    const bool registra = (eFlags & eQVCCI_LOG_FAILURE) != 0;

    for (int tentativa = 0;; ++tentativa) {
        mqi = {&riid, nullptr, S_OK};
        HRESULT hr = CoCreateInstanceEx(rclsid, pUnkOuter, dwClsCtx, &csi, 1, &mqi);
        if (SUCCEEDED(hr)) {
            if (tentativa >= 2) {
                char texto[64];
                std::snprintf(texto, sizeof texto, "Instancia estabelecida com sucesso na vez %d", tentativa);
                EventoCriacao(rclsid, hr, EVENTLOG_WARNING_TYPE, texto);
            }
            break;
        }
        if (hr == E_INVALIDARG) {
            // A description this host does not take: once more without it.
            mqi = {&riid, nullptr, S_OK};
            hr = CoCreateInstanceEx(rclsid, pUnkOuter, dwClsCtx, nullptr, 1, &mqi);
            if (FAILED(hr)) {
                QV_LOG_HR(hr, "CoCreateInstanceEx(rclsid, pUnkOuter, dwClsCtx, nullptr, 1, &mqi)");
                return hr;
            }
            break;
        }
        if (hr == HR_RPC_S_SERVER_UNAVAILABLE) {
            const bool ultima = tentativa + 1 >= kTentativasCriacao;
            if ((eFlags & eQVCCI_RETRY) == 0 || ultima) {
                if (registra) EventoCriacao(rclsid, hr, EVENTLOG_ERROR_TYPE, "\n\nErro instanciando servidor");
                return hr;
            }
            if (tentativa == 0 && registra) {
                EventoCriacao(rclsid, hr, EVENTLOG_WARNING_TYPE,
                              "\n\nA primeira tentativa de instanciar o servidor falhou");
                if (const std::string servidor = ServidorRemotoDaClasse(rclsid); !servidor.empty())
                    EventoCriacao(rclsid, hr, EVENTLOG_ERROR_TYPE, SaidaPing(servidor));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(g_esperaTentativaMs.load()));
            continue;
        }
        QV_LOG_HR(hr, "CoCreateInstanceEx(rclsid, pUnkOuter, dwClsCtx, &csi, 1, &mqi)");
        return hr;
    }

    if (FAILED(mqi.hr) || mqi.pItf == nullptr) {
        // Created, but the object does not have the interface asked for.
        if (mqi.pItf != nullptr) mqi.pItf->Release();
        const HRESULT hr = FAILED(mqi.hr) ? mqi.hr : E_NOINTERFACE;
        QV_LOG_HR(hr, "CoCreateInstanceEx(rclsid, pUnkOuter, dwClsCtx, &csi, 1, &mqi)");
        return hr;
    }
    if (const HRESULT hr = QVCoSetProxyBlanket(mqi.pItf); FAILED(hr)) QV_LOG_HR(hr, "QVCoSetProxyBlanket(mqi.pItf)");
    *ppv = mqi.pItf;
    return S_OK;
}

}  // namespace zenta
