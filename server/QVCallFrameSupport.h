// What the call frame of a service object needs around the logic call: the
// per-thread invalid-parameter handler and what it reports, the switch of the
// access layer's default access, and the report of a machine fault.
#pragma once

#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

#include "diagnostics/QVCodigosErro.h"
#include "diagnostics/QVTranslateException.h"

namespace zenta {

class CQVBaseParaRotinas;

// Installs the frame's handler for bad arguments to checked library
// functions on the calling thread; it stays installed after the call. The
// handler reports the fault to the message library and throws the HRESULT
// of the thread's errno as a `long`, which the frame's translation of thrown
// exceptions turns back into the call's result.
void InstalaTratadorParametroInvalido();

// The method's source line and file that the handler reports, for the
// duration of one frame on the calling thread.
class CQVContextoParametroInvalido {
public:
    CQVContextoParametroInvalido(unsigned linha, const char* arquivo);
    ~CQVContextoParametroInvalido();
    CQVContextoParametroInvalido(const CQVContextoParametroInvalido&) = delete;
    CQVContextoParametroInvalido& operator=(const CQVContextoParametroInvalido&) = delete;

private:
    unsigned m_linhaAnterior;
    const char* m_arquivoAnterior;
};

// Makes a session object the default access for the rest of the frame and
// clears it again on every way out.
class CQVTrocaAcessoDefault {
public:
    CQVTrocaAcessoDefault() = default;
    ~CQVTrocaAcessoDefault();
    CQVTrocaAcessoDefault(const CQVTrocaAcessoDefault&) = delete;
    CQVTrocaAcessoDefault& operator=(const CQVTrocaAcessoDefault&) = delete;
    void Troca(CQVBaseParaRotinas* base);

private:
    bool m_bTrocou = false;
};

// Sends the report of a machine fault caught in a call to the message library.
void RelataFalhaMaquina(HRESULT hr, const std::string& empresa, const char* arquivo, unsigned linha,
                        const std::string& pilha);

// A machine fault whose release could not be proven (see
// CQVFalhaCapturada::bRecursosLiberados): the process takes no more business
// calls (ProcessoComprometido) and, when it is the local server, ends as on
// a termination signal: the running calls finish, the class objects are
// revoked and the next activation starts a fresh process. Used in-process
// the client's process is not ended; every later call is refused instead.
void ComprometeProcesso(const std::string& empresa);
bool ProcessoComprometido();

}  // namespace zenta
