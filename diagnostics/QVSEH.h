// The machine-fault translator of the call frame: which fault codes the
// guard of a call catches, the text of the call stack at the fault, and the
// table that turns a fault code into an HRESULT.
//
// Faults are named by their Windows exception codes, as the rest of the ERP
// knows them. On Linux a fault arrives as a signal; the guard's signal
// handler (QVGuardaFalhas.h) turns signal and cause into such a code and
// captures the registers and a copy of the stack at the fault in a
// CQVContextoFalha, which the filter then reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

// ---- Windows exception codes --------------------------------------------------
inline constexpr DWORD EXCEPTION_ACCESS_VIOLATION = 0xC0000005u;
inline constexpr DWORD EXCEPTION_ARRAY_BOUNDS_EXCEEDED = 0xC000008Cu;
inline constexpr DWORD EXCEPTION_BREAKPOINT = 0x80000003u;
inline constexpr DWORD EXCEPTION_DATATYPE_MISALIGNMENT = 0x80000002u;
inline constexpr DWORD EXCEPTION_FLT_DENORMAL_OPERAND = 0xC000008Du;
inline constexpr DWORD EXCEPTION_FLT_DIVIDE_BY_ZERO = 0xC000008Eu;
inline constexpr DWORD EXCEPTION_FLT_INEXACT_RESULT = 0xC000008Fu;
inline constexpr DWORD EXCEPTION_FLT_INVALID_OPERATION = 0xC0000090u;
inline constexpr DWORD EXCEPTION_FLT_OVERFLOW = 0xC0000091u;
inline constexpr DWORD EXCEPTION_FLT_STACK_CHECK = 0xC0000092u;
inline constexpr DWORD EXCEPTION_FLT_UNDERFLOW = 0xC0000093u;
inline constexpr DWORD EXCEPTION_GUARD_PAGE = 0x80000001u;
inline constexpr DWORD EXCEPTION_ILLEGAL_INSTRUCTION = 0xC000001Du;
inline constexpr DWORD EXCEPTION_IN_PAGE_ERROR = 0xC0000006u;
inline constexpr DWORD EXCEPTION_INT_DIVIDE_BY_ZERO = 0xC0000094u;
inline constexpr DWORD EXCEPTION_INT_OVERFLOW = 0xC0000095u;
inline constexpr DWORD EXCEPTION_INVALID_DISPOSITION = 0xC0000026u;
inline constexpr DWORD EXCEPTION_INVALID_HANDLE = 0xC0000008u;
inline constexpr DWORD EXCEPTION_NONCONTINUABLE_EXCEPTION = 0xC0000025u;
inline constexpr DWORD EXCEPTION_PRIV_INSTRUCTION = 0xC0000096u;
inline constexpr DWORD EXCEPTION_SINGLE_STEP = 0x80000004u;
inline constexpr DWORD EXCEPTION_STACK_OVERFLOW = 0xC00000FDu;

// Answers of the filter.
inline constexpr LONG EXCEPTION_EXECUTE_HANDLER = 1;
inline constexpr LONG EXCEPTION_CONTINUE_SEARCH = 0;

namespace zenta {

// Not caught; translated to 0x8004EADB.
inline constexpr DWORD QV_CODIGO_EXCECAO_0x80000029 = 0x80000029u;
// A thrown C++ exception, as the platform names it; never caught by the filter.
inline constexpr DWORD QV_CODIGO_EXCECAO_CPP = 0xE06D7363u;

// What the guard captured of a fault: its code and cause, the registers of
// the faulting thread (x86-64 DWARF numbering: rax, rdx, rcx, rbx, rsi, rdi,
// rbp, rsp, r8 to r15, then the program counter) and a copy of the stack
// from the faulting stack pointer up. From `uInicioIntacto` up, the stack
// is still the one of the fault (the callers of the guarded call); between
// the end of the copy and that address it has been reused since.
struct CQVContextoFalha {
    DWORD dwCodigo = 0;
    int iSinal = 0;
    int iCausa = 0;  // si_code
    uintptr_t uEndereco = 0;

    static constexpr std::size_t kRegistros = 17;
    bool bTemRegistros = false;
    uint64_t registros[kRegistros] = {};

    uintptr_t uInicioCopia = 0;
    const unsigned char* pCopia = nullptr;
    std::size_t nCopia = 0;
    uintptr_t uInicioIntacto = 0;
    uintptr_t uFimPilha = 0;  // highest address of the thread's stack, 0 when unknown
};

class CQVSEH {
public:
    CQVSEH() = default;
    CQVSEH(const CQVSEH&) = default;
    CQVSEH& operator=(const CQVSEH&) = default;
    virtual ~CQVSEH();

    // Records the fault code on the calling thread and, for a caught code,
    // the stack text too; EXCEPTION_EXECUTE_HANDLER for the 22 caught codes,
    // EXCEPTION_CONTINUE_SEARCH for any other.
    LONG Filtro(const CQVContextoFalha& contexto);

    // The call stack at the fault, innermost frame first, one frame a line:
    // the function's name and " (" + source line + ")" when the line is
    // known. At most 15 frames; frames without a name are left out; stops
    // after "main" or the function that raised the signal ("raise").
    // Empty when nothing can be read. The walks of all threads take turns.
    static std::string PercorrePilha(const CQVContextoFalha& contexto);

    // The HRESULT of a fault code: the table of caught codes, 0x8004EADB for
    // 0x80000029 and 0x8004EE47 for any other code.
    static HRESULT Traduz(DWORD dwCodigo);
    // The HRESULT of the code recorded by the last filter run on this thread.
    HRESULT Traduz() const;

    // True for the 22 caught codes. Safe inside a signal handler.
    static bool EhCodigoCapturado(DWORD dwCodigo) noexcept;

    // What the last filter run on this thread recorded.
    static DWORD UltimoCodigo();
    static const std::string& UltimaPilha();
};

// What the signal handler knows of a fault, for choosing its code.
struct CQVCausaSinal {
    int iSinal = 0;
    int iCausa = 0;                  // si_code
    bool bPilhaEsgotada = false;     // the faulting address lies at the end of the thread's stack
    bool bInstrucaoPrivilegiada = false;  // the faulting instruction is one that user code may not run
    uint32_t uEstadoPontoFlutuante = 0;   // x87 status word OR SSE MXCSR at the fault
};

// The Windows exception code of a fault signal. Safe inside a signal handler.
DWORD CodigoExcecaoDoSinal(const CQVCausaSinal& causa) noexcept;

// True when the bytes at the program counter (up to 15) start with an
// instruction that only the kernel may run (hlt, cli, sti, in, out, ...).
// Safe inside a signal handler.
bool EhInstrucaoPrivilegiada(const unsigned char* bytes, std::size_t n) noexcept;

// A frame's name as the stack text writes it: a demangled C++ name without
// its parameter list and return type ("ns::C::f" from "int ns::C::f(int) const").
std::string NomeQuadroPilha(std::string_view nomeDemangled);

}  // namespace zenta
