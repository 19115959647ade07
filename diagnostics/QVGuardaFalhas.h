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
// Locks that the abandoned frames held stay held; a fault inside the memory
// allocator or another library that keeps global state can still leave the
// process unable to go on. That is the price of going on after a fault at all.
//
// Guards nest on a thread and run on many threads at once. A thrown C++
// exception passes through the guard untouched.
#pragma once

#include <setjmp.h>
#include <signal.h>

#include <cstdint>
#include <string>
#include <utility>

#include <zenta/WinTypes.h>

#include "diagnostics/QVCodigosErro.h"
#include "diagnostics/QVSEH.h"

struct CQVFalhaCapturada {
    DWORD dwCodigo = 0;  // the Windows exception code of the fault
    std::string sPilha;  // the stack text, one frame a line
};

namespace zenta {

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

}  // namespace zenta

// The guard of the call frame: the operation's result, or the HRESULT of a
// caught fault with its code and stack text in `falha`.
template <class Operacao>
HRESULT QVExecutaComGuarda(Operacao&& operacao, CQVFalhaCapturada& falha) {
    return zenta::ExecutaComGuarda(std::forward<Operacao>(operacao), falha, true);
}
