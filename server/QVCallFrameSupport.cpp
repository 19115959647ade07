#include "server/QVCallFrameSupport.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cwchar>
#include <string>

#include "access/QVBaseParaRotinas.h"
#include "diagnostics/QVNomesHresult.h"
#include "diagnostics/QVCheck.h"
#include "diagnostics/QVTrataErro.h"
#include "platform/CrtInvalidParameter.h"
#include "server/QVModulo.h"

namespace zenta {
namespace {

thread_local unsigned t_linhaMetodo = 0;
thread_local const char* t_arquivoMetodo = "";

std::string Estreita(const wchar_t* texto) {
    std::string saida;
    if (texto == nullptr) return saida;
    for (; *texto != 0; ++texto) saida.push_back(*texto < 0x100 ? static_cast<char>(*texto) : '?');
    return saida;
}

// Reports the bad argument and leaves the call with the HRESULT of errno.
void TrataParametroInvalido(const wchar_t* expressao, const wchar_t* funcao, const wchar_t* arquivo,
                            unsigned int linha, uintptr_t) {
    const HRESULT hr = HresultDeErrno(errno);  // before anything here can change it
    const std::string texto = "Expression = " + Estreita(expressao) + "\tFunction = " + Estreita(funcao) +
                              "\tFile = " + Estreita(arquivo) + "\tLine = " + std::to_string(linha);
    const CQVBaseParaRotinas* acesso = CQVBaseParaRotinas::GetAcessoServidoresDefault();
    const std::string empresa = acesso != nullptr ? acesso->GetEmpresa() : std::string();
    TrataErro(static_cast<ULONG>(QV_CONTEXTO_RELATORIO_ERRO), hr, 0x7FFFFFFF, empresa, t_arquivoMetodo, t_linhaMetodo, 1, texto);
    throw static_cast<long>(hr);
}

}  // namespace

void InstalaTratadorParametroInvalido() { _set_thread_local_invalid_parameter_handler(&TrataParametroInvalido); }

CQVContextoParametroInvalido::CQVContextoParametroInvalido(unsigned linha, const char* arquivo)
    : m_linhaAnterior(t_linhaMetodo), m_arquivoAnterior(t_arquivoMetodo) {
    t_linhaMetodo = linha;
    t_arquivoMetodo = arquivo;
    InstalaTratadorParametroInvalido();
}

CQVContextoParametroInvalido::~CQVContextoParametroInvalido() {
    t_linhaMetodo = m_linhaAnterior;
    t_arquivoMetodo = m_arquivoAnterior;
}

CQVTrocaAcessoDefault::~CQVTrocaAcessoDefault() {
    if (m_bTrocou) CQVBaseParaRotinas::SetAcessoDefault(nullptr);
}

void CQVTrocaAcessoDefault::Troca(CQVBaseParaRotinas* base) {
    CQVBaseParaRotinas::SetAcessoDefault(base);
    m_bTrocou = true;
}

namespace {
std::atomic<bool> g_comprometido{false};
}  // namespace

void ComprometeProcesso(const std::string& empresa) {
    if (g_comprometido.exchange(true)) return;
    QVGravaLogErroTexto(CQVContextoProfiler{}, "zenta::ComprometeProcesso", QV_ARQUIVO, __LINE__,
                        "Falha de máquina sem liberação comprovada (empresa \"" + empresa +
                            "\"): o processo não aceita novas chamadas e termina");
    // The local server waits for termination signals on a thread of its own
    // and ends its run from there; a process that only holds the service
    // in-process has no such thread and is left running.
    if (QVModulo::Instancia().EhServidorLocal()) ::kill(::getpid(), SIGTERM);
}

bool ProcessoComprometido() { return g_comprometido.load(); }

void RelataFalhaMaquina(HRESULT hr, const std::string& empresa, const char* arquivo, unsigned linha,
                        const std::string& pilha) {
    TrataErro(static_cast<ULONG>(QV_CONTEXTO_RELATORIO_ERRO), hr, 0x7FFFFFFF, empresa, arquivo, linha, 1, pilha);
}

}  // namespace zenta
