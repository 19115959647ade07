#include "diagnostics/QVSEH.h"

#include <cxxabi.h>
#include <elfutils/libdwfl.h>
#include <signal.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "diagnostics/QVGuardaFalhas.h"

namespace zenta {

namespace {

struct EntradaTabela {
    DWORD dwCodigo;
    uint32_t uHresult;
};

// The caught fault codes and their results.
constexpr EntradaTabela kTabela[] = {
    {EXCEPTION_ACCESS_VIOLATION, 0x8004EAC5u},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, 0x8004EAC6u},
    {EXCEPTION_BREAKPOINT, 0x8004EAC7u},
    {EXCEPTION_DATATYPE_MISALIGNMENT, 0x8004EAC8u},
    {EXCEPTION_FLT_DENORMAL_OPERAND, 0x8004EAC9u},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, 0x8004EACAu},
    {EXCEPTION_FLT_INEXACT_RESULT, 0x8004EACBu},
    {EXCEPTION_FLT_INVALID_OPERATION, 0x8004EACCu},
    {EXCEPTION_FLT_OVERFLOW, 0x8004EACDu},
    {EXCEPTION_FLT_STACK_CHECK, 0x8004EACEu},
    {EXCEPTION_FLT_UNDERFLOW, 0x8004EACFu},
    {EXCEPTION_GUARD_PAGE, 0x8004EAD0u},
    {EXCEPTION_ILLEGAL_INSTRUCTION, 0x8004EAD1u},
    {EXCEPTION_IN_PAGE_ERROR, 0x8004EAD2u},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, 0x8004EAD3u},
    {EXCEPTION_INT_OVERFLOW, 0x8004EAD4u},
    {EXCEPTION_INVALID_DISPOSITION, 0x8004EAD5u},
    {EXCEPTION_INVALID_HANDLE, 0x8004EAD6u},
    {EXCEPTION_NONCONTINUABLE_EXCEPTION, 0x8004EAD7u},
    {EXCEPTION_PRIV_INSTRUCTION, 0x8004EAD8u},
    {EXCEPTION_SINGLE_STEP, 0x8004EAD9u},
    {EXCEPTION_STACK_OVERFLOW, 0x8004EADAu},
};
static_assert(sizeof kTabela / sizeof kTabela[0] == 22);

constexpr int kMaximoQuadros = 15;
// The longest name of a frame, as the symbol lookup gives it.
constexpr std::size_t kTamanhoMaximoNome = 1024;

thread_local DWORD t_ultimoCodigo = 0;
thread_local std::string t_ultimaPilha;

// The symbol lookup and the unwinder are not made to run on several threads
// at once: one walk at a time.
std::mutex g_travaPercurso;

// ---- The walk ------------------------------------------------------------------

struct EstadoPercurso {
    const CQVContextoFalha* pContexto = nullptr;
    Dwfl* pDwfl = nullptr;
    pid_t tid = 0;
    bool bThreadEntregue = false;
    int iQuadros = 0;
    std::string texto;
};

// Reads one word of the faulting thread's memory: the copy of its stack
// where there is one, never the part of the stack reused since the fault,
// anything else without risk of faulting.
bool LeMemoria(Dwfl*, Dwarf_Addr endereco, Dwarf_Word* resultado, void* arg) {
    const auto* estado = static_cast<const EstadoPercurso*>(arg);
    const CQVContextoFalha& c = *estado->pContexto;
    if (endereco >= c.uInicioCopia && endereco - c.uInicioCopia < c.nCopia &&
        c.nCopia - (endereco - c.uInicioCopia) >= sizeof(Dwarf_Word)) {
        std::memcpy(resultado, c.pCopia + (endereco - c.uInicioCopia), sizeof(Dwarf_Word));
        return true;
    }
    if (endereco >= c.uInicioCopia && endereco < c.uInicioIntacto) return false;
    iovec local{resultado, sizeof(Dwarf_Word)};
    iovec remoto{reinterpret_cast<void*>(endereco), sizeof(Dwarf_Word)};
    if (process_vm_readv(getpid(), &local, 1, &remoto, 1, 0) == static_cast<ssize_t>(sizeof(Dwarf_Word))) return true;
    // Where the process may not read itself that way: the callers' part of
    // this thread's own stack is there to read directly.
    if (c.uInicioIntacto != 0 && endereco >= c.uInicioIntacto && endereco < c.uFimPilha &&
        c.uFimPilha - endereco >= sizeof(Dwarf_Word)) {
        std::memcpy(resultado, reinterpret_cast<const void*>(endereco), sizeof(Dwarf_Word));
        return true;
    }
    return false;
}

pid_t ProximaThread(Dwfl*, void* arg, void** argThread) {
    auto* estado = static_cast<EstadoPercurso*>(arg);
    if (estado->bThreadEntregue) return 0;
    estado->bThreadEntregue = true;
    *argThread = arg;
    return estado->tid;
}

bool ObtemThread(Dwfl*, pid_t tid, void* arg, void** argThread) {
    *argThread = arg;
    return tid == static_cast<EstadoPercurso*>(arg)->tid;
}

bool RegistrosIniciais(Dwfl_Thread* thread, void* arg) {
    const CQVContextoFalha& c = *static_cast<EstadoPercurso*>(arg)->pContexto;
    Dwarf_Word registros[CQVContextoFalha::kRegistros];
    for (std::size_t i = 0; i < CQVContextoFalha::kRegistros; ++i) registros[i] = c.registros[i];
    if (!dwfl_thread_state_registers(thread, 0, CQVContextoFalha::kRegistros, registros)) return false;
    dwfl_thread_state_register_pc(thread, c.registros[CQVContextoFalha::kRegistros - 1]);
    return true;
}

std::string Demangle(const char* nome) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> texto(abi::__cxa_demangle(nome, nullptr, nullptr, &status),
                                                      &std::free);
    if (status == 0 && texto) return zenta::NomeQuadroPilha(texto.get());
    return nome;
}

bool EhFuncaoFinal(const std::string& nome) { return nome == "main" || nome == "raise" || nome == "gsignal"; }

int VisitaQuadro(Dwfl_Frame* quadro, void* arg) {
    auto* estado = static_cast<EstadoPercurso*>(arg);
    if (estado->iQuadros >= kMaximoQuadros) return DWARF_CB_ABORT;
    ++estado->iQuadros;
    Dwarf_Addr pc = 0;
    bool ativacao = false;
    if (!dwfl_frame_pc(quadro, &pc, &ativacao) || pc == 0) return DWARF_CB_ABORT;
    // A return address points after the call; its line is the call's.
    const Dwarf_Addr busca = ativacao ? pc : pc - 1;
    Dwfl_Module* modulo = dwfl_addrmodule(estado->pDwfl, busca);
    const char* simbolo = modulo != nullptr ? dwfl_module_addrname(modulo, busca) : nullptr;
    if (simbolo == nullptr || *simbolo == '\0') return DWARF_CB_OK;
    std::string nome = Demangle(simbolo);
    if (nome.size() > kTamanhoMaximoNome) nome.resize(kTamanhoMaximoNome);
    estado->texto += nome;
    if (Dwfl_Line* linha = dwfl_module_getsrc(modulo, busca); linha != nullptr) {
        int numero = 0;
        if (dwfl_lineinfo(linha, nullptr, &numero, nullptr, nullptr, nullptr) != nullptr && numero > 0)
            estado->texto += " (" + std::to_string(numero) + ")";
    }
    estado->texto += '\n';
    return EhFuncaoFinal(nome) ? DWARF_CB_ABORT : DWARF_CB_OK;
}

// Separate debug information only from this machine (by build id, as the
// distribution installs it): a fault must never wait for a debug-info
// server on the network, whatever the environment asks for.
int ProcuraDepuracaoLocal(Dwfl_Module* modulo, void** dados, const char* nomeModulo, Dwarf_Addr base,
                          const char* arquivo, const char* arquivoDebugLink, GElf_Word crcDebugLink,
                          char** nomeArquivoDepuracao) {
    return dwfl_build_id_find_debuginfo(modulo, dados, nomeModulo, base, arquivo, arquivoDebugLink, crcDebugLink,
                                        nomeArquivoDepuracao);
}

std::string PercorreComLibdw(const CQVContextoFalha& contexto) {
    static char* caminhoDepuracao = nullptr;
    static const Dwfl_Callbacks kChamadas = {dwfl_linux_proc_find_elf, ProcuraDepuracaoLocal, nullptr,
                                             &caminhoDepuracao};
    static const Dwfl_Thread_Callbacks kChamadasThread = {ProximaThread, ObtemThread, LeMemoria, RegistrosIniciais,
                                                          nullptr, nullptr};
    std::unique_ptr<Dwfl, decltype(&dwfl_end)> dwfl(dwfl_begin(&kChamadas), &dwfl_end);
    if (!dwfl) return {};
    dwfl_report_begin(dwfl.get());
    if (dwfl_linux_proc_report(dwfl.get(), getpid()) != 0) return {};
    if (dwfl_report_end(dwfl.get(), nullptr, nullptr) != 0) return {};
    EstadoPercurso estado;
    estado.pContexto = &contexto;
    estado.pDwfl = dwfl.get();
    estado.tid = gettid();
    if (!dwfl_attach_state(dwfl.get(), nullptr, getpid(), &kChamadasThread, &estado)) return {};
    dwfl_getthread_frames(dwfl.get(), estado.tid, VisitaQuadro, &estado);
    return estado.texto;
}

}  // namespace

CQVSEH::~CQVSEH() = default;

bool CQVSEH::EhCodigoCapturado(DWORD dwCodigo) noexcept {
    for (const EntradaTabela& entrada : kTabela)
        if (entrada.dwCodigo == dwCodigo) return true;
    return false;
}

HRESULT CQVSEH::Traduz(DWORD dwCodigo) {
    for (const EntradaTabela& entrada : kTabela)
        if (entrada.dwCodigo == dwCodigo) return static_cast<HRESULT>(entrada.uHresult);
    if (dwCodigo == QV_CODIGO_EXCECAO_0x80000029) return static_cast<HRESULT>(0x8004EADBu);
    return static_cast<HRESULT>(0x8004EE47u);
}

HRESULT CQVSEH::Traduz() const { return Traduz(t_ultimoCodigo); }

DWORD CQVSEH::UltimoCodigo() { return t_ultimoCodigo; }

const std::string& CQVSEH::UltimaPilha() { return t_ultimaPilha; }

LONG CQVSEH::Filtro(const CQVContextoFalha& contexto) {
    t_ultimoCodigo = contexto.dwCodigo;
    t_ultimaPilha.clear();
    if (!EhCodigoCapturado(contexto.dwCodigo)) return EXCEPTION_CONTINUE_SEARCH;
    t_ultimaPilha = PercorrePilha(contexto);
    return EXCEPTION_EXECUTE_HANDLER;
}

std::string CQVSEH::PercorrePilha(const CQVContextoFalha& contexto) {
    if (!contexto.bTemRegistros) return {};
    try {
        const std::lock_guard<std::mutex> trava(g_travaPercurso);
        // The walk reads what a fault left behind; should it fault itself,
        // the text is simply empty.
        std::string texto;
        CQVFalhaCapturada falha;
        zenta::ExecutaComGuarda(
            [&]() -> HRESULT {
                texto = PercorreComLibdw(contexto);
                return S_OK;
            },
            falha, false);
        return falha.dwCodigo == 0 ? texto : std::string();
    } catch (...) {
        return {};
    }
}

DWORD CodigoExcecaoDoSinal(const CQVCausaSinal& causa) noexcept {
    switch (causa.iSinal) {
        case SIGSEGV:
            if (causa.bPilhaEsgotada) return EXCEPTION_STACK_OVERFLOW;
#ifdef SEGV_BNDERR
            if (causa.iCausa == SEGV_BNDERR) return EXCEPTION_ARRAY_BOUNDS_EXCEEDED;
#endif
            // A general-protection fault (SI_KERNEL) is also what a
            // privileged instruction gives.
            if (causa.iCausa == SI_KERNEL && causa.bInstrucaoPrivilegiada) return EXCEPTION_PRIV_INSTRUCTION;
            return EXCEPTION_ACCESS_VIOLATION;
        case SIGBUS:
            if (causa.iCausa == BUS_ADRALN) return EXCEPTION_DATATYPE_MISALIGNMENT;
            return EXCEPTION_IN_PAGE_ERROR;
        case SIGFPE: {
            // x87 status word and MXCSR share the meaning of their low flag bits.
            constexpr uint32_t kDenormal = 0x02;
            constexpr uint32_t kUnderflow = 0x10;
            constexpr uint32_t kPilhaX87 = 0x40;
            switch (causa.iCausa) {
                case FPE_INTDIV: return EXCEPTION_INT_DIVIDE_BY_ZERO;
                case FPE_INTOVF: return EXCEPTION_INT_OVERFLOW;
                case FPE_FLTDIV: return EXCEPTION_FLT_DIVIDE_BY_ZERO;
                case FPE_FLTOVF: return EXCEPTION_FLT_OVERFLOW;
                case FPE_FLTUND:
                    if ((causa.uEstadoPontoFlutuante & kDenormal) != 0 &&
                        (causa.uEstadoPontoFlutuante & kUnderflow) == 0)
                        return EXCEPTION_FLT_DENORMAL_OPERAND;
                    return EXCEPTION_FLT_UNDERFLOW;
                case FPE_FLTRES: return EXCEPTION_FLT_INEXACT_RESULT;
                case FPE_FLTSUB: return EXCEPTION_ARRAY_BOUNDS_EXCEEDED;
                case FPE_FLTINV:
                    if ((causa.uEstadoPontoFlutuante & kPilhaX87) != 0) return EXCEPTION_FLT_STACK_CHECK;
                    return EXCEPTION_FLT_INVALID_OPERATION;
                default:
                    // Raised by the program itself: a division by zero is what
                    // the signal stands for.
                    return causa.iCausa > 0 ? EXCEPTION_FLT_INVALID_OPERATION : EXCEPTION_INT_DIVIDE_BY_ZERO;
            }
        }
        case SIGILL:
            if (causa.iCausa == ILL_PRVOPC || causa.iCausa == ILL_PRVREG) return EXCEPTION_PRIV_INSTRUCTION;
            return EXCEPTION_ILLEGAL_INSTRUCTION;
        case SIGTRAP:
            if (causa.iCausa == TRAP_TRACE || causa.iCausa == TRAP_HWBKPT
#ifdef TRAP_BRANCH
                || causa.iCausa == TRAP_BRANCH
#endif
            )
                return EXCEPTION_SINGLE_STEP;
            return EXCEPTION_BREAKPOINT;
        default: return 0;
    }
}

bool EhInstrucaoPrivilegiada(const unsigned char* bytes, std::size_t n) noexcept {
    std::size_t i = 0;
    // Legacy and REX prefixes.
    while (i < n && i < 14) {
        const unsigned char b = bytes[i];
        const bool prefixo = b == 0x66 || b == 0x67 || b == 0xF0 || b == 0xF2 || b == 0xF3 || b == 0x2E || b == 0x36 ||
                             b == 0x3E || b == 0x26 || b == 0x64 || b == 0x65 || (b >= 0x40 && b <= 0x4F);
        if (!prefixo) break;
        ++i;
    }
    if (i >= n) return false;
    const unsigned char op = bytes[i];
    if (op == 0xF4 || op == 0xFA || op == 0xFB) return true;                    // hlt, cli, sti
    if ((op >= 0xE4 && op <= 0xE7) || (op >= 0xEC && op <= 0xEF)) return true;  // in, out
    if (op >= 0x6C && op <= 0x6F) return true;                                  // ins, outs
    if (op != 0x0F || i + 1 >= n) return false;
    const unsigned char op2 = bytes[i + 1];
    return op2 == 0x06 || op2 == 0x08 || op2 == 0x09 ||  // clts, invd, wbinvd
           (op2 >= 0x20 && op2 <= 0x23) ||                // mov to/from control and debug registers
           op2 == 0x30 || op2 == 0x32;                    // wrmsr, rdmsr
}

std::string NomeQuadroPilha(std::string_view nome) {
    // Cloned copies of a function: "f(int) [clone .cold]".
    for (std::size_t clone; (clone = nome.rfind(" [clone ")) != std::string_view::npos && nome.back() == ']';)
        nome = nome.substr(0, clone);
    // Qualifiers after the parameter list.
    for (bool cortou = true; cortou;) {
        cortou = false;
        for (const std::string_view sufixo : {" const", " volatile", " &&", " &", " noexcept"}) {
            if (nome.size() > sufixo.size() && nome.substr(nome.size() - sufixo.size()) == sufixo) {
                nome.remove_suffix(sufixo.size());
                cortou = true;
            }
        }
    }
    // The parameter list: the group of parentheses that ends the name.
    if (!nome.empty() && nome.back() == ')') {
        int profundidade = 0;
        for (std::size_t i = nome.size(); i-- > 0;) {
            if (nome[i] == ')') ++profundidade;
            else if (nome[i] == '(' && --profundidade == 0) {
                nome = nome.substr(0, i);
                break;
            }
        }
    }
    // The return type of a template instance: up to the last blank outside
    // brackets, parentheses and braces (operator names are skipped whole).
    std::size_t inicio = 0;
    int profundidade = 0;
    for (std::size_t i = 0; i < nome.size(); ++i) {
        if (nome.substr(i, 8) == "operator") {
            i += 8;
            while (i < nome.size() && std::strchr("<>=-!+*/%^&|~,[]", nome[i]) != nullptr) ++i;
            if (i < nome.size() && nome[i] == '(' && i + 1 < nome.size() && nome[i + 1] == ')') ++i;
            continue;
        }
        const char c = nome[i];
        if (c == '<' || c == '(' || c == '{' || c == '[') ++profundidade;
        else if (c == '>' || c == ')' || c == '}' || c == ']') --profundidade;
        else if (c == ' ' && profundidade == 0) inicio = i + 1;
    }
    return std::string(nome.substr(inicio));
}

}  // namespace zenta
