// The machine-fault guard of a call: runs a business operation so that a
// machine fault inside it (invalid memory access, division by zero, stack
// overflow, illegal instruction, trap) becomes an HRESULT instead of ending
// the process.
//
// On Linux the faults are the signals SIGSEGV, SIGBUS, SIGFPE, SIGILL and
// SIGTRAP. While at least one guarded call runs anywhere in the process, the
// guard's handlers are installed for them (and the previous ones put back
// when the last guarded call ends). The handler runs on an alternate signal
// stack, so that a stack overflow is caught too. On a thread inside a
// guarded call it records the fault (its Windows exception code, the
// registers and a copy of the stack) and leaves the operation with
// siglongjmp back into the guard, which then runs the filter of CQVSEH (the
// stack text) and answers the fault's HRESULT. The frames between the guard
// and the fault are abandoned without running their destructors: the state
// they held can no longer be trusted, which is why the call frame disposes
// of the logic object afterwards. A fault on any other thread, or a signal
// sent by another process, goes to the handler that was there before (or
// gets the default action, ending the process as usual).
//
// The handler itself does only what is safe inside a signal handler: it
// reads the registers from the signal context and copies the stack with
// plain system calls into buffers the thread allocated beforehand. The
// stack walk, which allocates memory and reads debug information, runs after
// the siglongjmp, on the copy: were it to run in the handler, a fault inside
// the memory allocator would deadlock it. The copy is needed because the
// faulting frames lie below the guard's frame, where the code after the
// siglongjmp puts its own.
//
// What the abandoned frames held is let go of where the system knows it:
// the locks of the registered kinds below (CQVTrava, CQVTravaRecursiva,
// CQVTravaLeituraEscrita) record themselves, while a guarded call runs, in
// a ledger of the calling thread, and a caught fault releases every lock
// recorded since its guard was armed, innermost first; then the actions
// registered with RegistraAcaoAposFalha run (the file layer lets go of the
// files the call opened, and with them their locks). A fault is "proven
// clean" when the ledger recorded everything (it holds a fixed number of
// entries; beyond that it cannot prove anything). Locks of other kinds (the
// memory allocator's, other libraries') are not known: a fault inside such
// code can still leave the process unable to go on, and the caller decides
// from what it knows whether to go on (see bRecursosLiberados).
//
// Guards nest on a thread and run on many threads at once. A thrown C++
// exception passes through the guard untouched.
#pragma once

#include <setjmp.h>
#include <signal.h>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <utility>

#include <zenta/WinTypes.h>

#include "diagnostics/QVCodigosErro.h"
#include "diagnostics/QVSEH.h"

namespace zenta {

struct CQVFalhaCapturada {
    DWORD dwCodigo = 0;  // the Windows exception code of the fault
    std::string sPilha;  // the stack text, one frame a line
    // Every lock the call was recorded holding was released, and the ledger
    // missed none (false when it overflowed).
    bool bRecursosLiberados = true;
};

struct CQVRecursosThreadFalhas;

// One guarded call on the calling thread. Lives in the frame that called
// sigsetjmp on PontoRetorno(); see ExecutaComGuarda.
class CQVGuardaSinais {
public:
    // `quadro`: an address at or above the stack pointer of the frame that
    // holds the return point; the stack from there up belongs to the callers.
    // `comPilha`: build the stack text of a caught fault.
    CQVGuardaSinais(const void* quadro, bool comPilha);
    ~CQVGuardaSinais();
    CQVGuardaSinais(const CQVGuardaSinais&) = delete;
    CQVGuardaSinais& operator=(const CQVGuardaSinais&) = delete;

    sigjmp_buf& PontoRetorno() noexcept { return m_salto; }
    // Makes this the thread's innermost guard; call after sigsetjmp answered 0.
    void Arma() noexcept;
    // Back from a fault: runs the filter, fills `falha` and answers the
    // fault's HRESULT.
    HRESULT TrataFalha(CQVFalhaCapturada& falha);

    // For the signal handler.
    sigjmp_buf m_salto;
    CQVGuardaSinais* m_pAnterior = nullptr;
    uintptr_t m_uQuadro;
    CQVRecursosThreadFalhas* m_pRecursos;
    bool m_bComPilha;
    bool m_bArmada = false;
    // The ledger's depth and overflow count when the guard was armed, and
    // the guard's serial number (RegistraAcaoAposFalha).
    std::size_t m_uLivroBase = 0;
    unsigned m_uTransbordosBase = 0;
    uint64_t m_uSerie = 0;
    // The alternate signal stack this guard put in place, and the one before.
    bool m_bTrocouPilha = false;
    stack_t m_pilhaAnterior{};
};

// Runs `operacao` (returning an HRESULT) under a guard. `comPilha` false
// leaves the stack text out (used by the stack walk itself).
template <class Operacao>
HRESULT ExecutaComGuarda(Operacao&& operacao, CQVFalhaCapturada& falha, bool comPilha) {
    falha = {};
    CQVGuardaSinais guarda(__builtin_frame_address(0), comPilha);
    if (sigsetjmp(guarda.PontoRetorno(), 1) == 0) {
        guarda.Arma();
        return operacao();
    }
    return guarda.TrataFalha(falha);
}

// The number of guarded calls running in the process (for tests).
int QuantidadeGuardasAtivas();

// ---- What a guarded call holds ----------------------------------------------------------

using FnLiberaRecurso = void (*)(void* recurso);
// Records that the calling thread holds `recurso` now, which `libera` lets go
// of. Nothing is recorded outside a guarded call.
void RegistraRecursoMantido(void* recurso, FnLiberaRecurso libera) noexcept;
// The thread let go of `recurso` itself (the latest record of it goes).
void RemoveRecursoMantido(void* recurso) noexcept;
// The serial number of the calling thread's innermost armed guard; 0 outside
// any. Serial numbers grow over the whole process.
uint64_t SerieGuardaAtual() noexcept;
// An action run on the faulting thread after every caught fault, given the
// serial number of the guard that caught it: it lets go of what the thread
// acquired since (what carries a serial at least that high). Registered once
// per process, before any fault (static initialisation); at most 8.
using FnAcaoAposFalha = void (*)(uint64_t serieGuarda);
void RegistraAcaoAposFalha(FnAcaoAposFalha acao) noexcept;

// Locks that record themselves in the ledger (usable with std::lock_guard,
// std::unique_lock, std::shared_lock like the standard ones they wrap): the
// exclusive side of any standard mutex, and the shared side of a shared one.
template <class TMutex>
class CQVTravaRegistrada {
public:
    void lock() {
        m_trava.lock();
        RegistraRecursoMantido(this, &LiberaExclusiva);
    }
    bool try_lock() {
        if (!m_trava.try_lock()) return false;
        RegistraRecursoMantido(this, &LiberaExclusiva);
        return true;
    }
    void unlock() {
        RemoveRecursoMantido(this);
        m_trava.unlock();
    }
    void lock_shared() {
        m_trava.lock_shared();
        RegistraRecursoMantido(this, &LiberaCompartilhada);
    }
    bool try_lock_shared() {
        if (!m_trava.try_lock_shared()) return false;
        RegistraRecursoMantido(this, &LiberaCompartilhada);
        return true;
    }
    void unlock_shared() {
        RemoveRecursoMantido(this);
        m_trava.unlock_shared();
    }

private:
    static void LiberaExclusiva(void* p) { static_cast<CQVTravaRegistrada*>(p)->m_trava.unlock(); }
    static void LiberaCompartilhada(void* p) { static_cast<CQVTravaRegistrada*>(p)->m_trava.unlock_shared(); }
    TMutex m_trava;
};

using CQVTrava = CQVTravaRegistrada<std::mutex>;
using CQVTravaRecursiva = CQVTravaRegistrada<std::recursive_mutex>;
using CQVTravaLeituraEscrita = CQVTravaRegistrada<std::shared_mutex>;

// The guard of the call frame: the operation's result, or the HRESULT of a
// caught fault with its code and stack text in `falha`.
template <class Operacao>
HRESULT QVExecutaComGuarda(Operacao&& operacao, CQVFalhaCapturada& falha) {
    return zenta::ExecutaComGuarda(std::forward<Operacao>(operacao), falha, true);
}

}  // namespace zenta
