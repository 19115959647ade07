#include "diagnostics/QVGuardaFalhas.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>

namespace zenta {

// What a thread needs for its guarded calls, allocated at its first one and
// freed when it ends. The signal handler only reads and writes what is here.
struct CQVRecursosThreadFalhas {
    CQVGuardaSinais* pGuardaAtual = nullptr;
    // The thread's stack, lowest and highest address (0 when unknown).
    uintptr_t uPilhaBaixa = 0;
    uintptr_t uPilhaAlta = 0;
    // The alternate signal stack of this thread's guarded calls.
    void* pPilhaAlternativa = nullptr;
    // The copy of the stack taken at a fault.
    unsigned char* pCopia = nullptr;
    // A pipe for reading memory without faulting, where the process may not
    // read its own memory with process_vm_readv.
    int tubo[2] = {-1, -1};
    CQVContextoFalha contexto;
};

namespace {

constexpr int kSinais[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP};
constexpr std::size_t kQuantidadeSinais = sizeof kSinais / sizeof kSinais[0];
constexpr std::size_t kTamanhoPilhaAlternativa = 64 * 1024;
// An alternate stack that is already there (a sanitizer's, the program's)
// is used when it has at least this much room.
constexpr std::size_t kPilhaAlternativaMinima = 16 * 1024;
// How much of the stack above the faulting stack pointer is kept for the
// stack text: far more than 15 frames need.
constexpr std::size_t kTamanhoCopia = 128 * 1024;
// A stack-overflow fault lies in the guard area below the stack.
constexpr uintptr_t kAreaGuardaPilha = 1024 * 1024;
constexpr uintptr_t kPedacoLeitura = 4096;

// Installation of the handlers, counted over all guarded calls of the process.
std::mutex g_travaInstalacao;
int g_guardasAtivas = 0;
std::atomic<int> g_guardasAtivasLeitura{0};
// The handlers that were there before, for faults that are not ours. Written
// under the lock before the handlers are installed.
struct sigaction g_anteriores[kQuantidadeSinais];

// Whether process_vm_readv works on this process (some sandboxes forbid it).
std::atomic<int> g_leituraProcessoFunciona{-1};

thread_local CQVRecursosThreadFalhas* t_recursos = nullptr;

struct DonoRecursos {
    bool bAtivo = false;
    ~DonoRecursos() {
        CQVRecursosThreadFalhas* r = t_recursos;
        if (r == nullptr) return;
        t_recursos = nullptr;
        if (r->pPilhaAlternativa != nullptr) munmap(r->pPilhaAlternativa, kTamanhoPilhaAlternativa);
        if (r->pCopia != nullptr) munmap(r->pCopia, kTamanhoCopia);
        if (r->tubo[0] >= 0) close(r->tubo[0]);
        if (r->tubo[1] >= 0) close(r->tubo[1]);
        delete r;
    }
};
thread_local DonoRecursos t_dono;

int IndiceSinal(int sinal) noexcept {
    for (std::size_t i = 0; i < kQuantidadeSinais; ++i)
        if (kSinais[i] == sinal) return static_cast<int>(i);
    return -1;
}

// Copies up to `n` bytes from `origem` without faulting on memory that is
// not there; answers how many bytes were copied from the start. Safe inside
// a signal handler. Raw system calls: the memory read is not the program's
// own access, and sanitizers must not judge it as one.
std::size_t LeSemFalhar(uintptr_t origem, unsigned char* destino, std::size_t n, const int* tubo) noexcept {
    std::size_t lido = 0;
    const long pid = syscall(SYS_getpid);
    while (lido < n) {
        std::size_t pedaco = kPedacoLeitura - ((origem + lido) % kPedacoLeitura);
        if (pedaco > n - lido) pedaco = n - lido;
        long k;
        if (g_leituraProcessoFunciona.load(std::memory_order_relaxed) != 0) {
            iovec local{destino + lido, pedaco};
            iovec remoto{reinterpret_cast<void*>(origem + lido), pedaco};
            k = syscall(SYS_process_vm_readv, pid, &local, 1ul, &remoto, 1ul, 0ul);
        } else {
            if (tubo == nullptr || tubo[0] < 0) break;
            k = syscall(SYS_write, tubo[1], reinterpret_cast<void*>(origem + lido), pedaco);
            if (k > 0) k = syscall(SYS_read, tubo[0], destino + lido, static_cast<std::size_t>(k));
        }
        if (k <= 0) break;
        lido += static_cast<std::size_t>(k);
        if (static_cast<std::size_t>(k) < pedaco) break;
    }
    return lido;
}

void VerificaLeituraProcesso() {
    if (g_leituraProcessoFunciona.load() >= 0) return;
    const uint64_t valor = 0x5A5A5A5A5A5A5A5Aull;
    uint64_t copia = 0;
    iovec local{&copia, sizeof copia};
    iovec remoto{const_cast<uint64_t*>(&valor), sizeof valor};
    const long k = syscall(SYS_process_vm_readv, syscall(SYS_getpid), &local, 1ul, &remoto, 1ul, 0ul);
    g_leituraProcessoFunciona.store(k == static_cast<long>(sizeof valor) && copia == valor ? 1 : 0);
}

// Hands a signal that is not a fault of a guarded call to whoever had it
// before; with nobody, the default action ends the process as it would have.
void Encadeia(int sinal, siginfo_t* info, void* contexto) noexcept {
    const int indice = IndiceSinal(sinal);
    if (indice < 0) return;
    const struct sigaction& anterior = g_anteriores[indice];
    const bool enviado = info == nullptr || info->si_code <= 0;
    if ((anterior.sa_flags & SA_SIGINFO) != 0) {
        if (anterior.sa_sigaction != nullptr) {
            anterior.sa_sigaction(sinal, info, contexto);
            return;
        }
    } else if (anterior.sa_handler == SIG_IGN) {
        if (enviado) return;
    } else if (anterior.sa_handler != SIG_DFL && anterior.sa_handler != nullptr) {
        anterior.sa_handler(sinal);
        return;
    }
    struct sigaction padrao {};
    padrao.sa_handler = SIG_DFL;
    sigemptyset(&padrao.sa_mask);
    sigaction(sinal, &padrao, nullptr);
    // A fault happens again when the instruction is run again on return; a
    // trap or a sent signal must be sent again (it waits, blocked, until the
    // handler returns).
    if (enviado || sinal == SIGTRAP) raise(sinal);
}

void Tratador(int sinal, siginfo_t* info, void* contextoBruto) {
    const int errnoSalvo = errno;
    CQVRecursosThreadFalhas* recursos = t_recursos;
    CQVGuardaSinais* guarda = recursos != nullptr ? recursos->pGuardaAtual : nullptr;
    // A fault of this thread, or a signal it raised itself; not one sent
    // from outside.
    const bool daThread = info != nullptr && (info->si_code > 0 || (info->si_code == SI_TKILL &&
                                                                     info->si_pid == static_cast<pid_t>(syscall(SYS_getpid))));
    if (guarda == nullptr || !guarda->m_bArmada || !daThread) {
        Encadeia(sinal, info, contextoBruto);
        errno = errnoSalvo;
        return;
    }

    CQVContextoFalha& c = recursos->contexto;
    c = CQVContextoFalha{};
    c.iSinal = sinal;
    c.iCausa = info->si_code;
    c.uEndereco = reinterpret_cast<uintptr_t>(info->si_addr);
    CQVCausaSinal causa;
    causa.iSinal = sinal;
    causa.iCausa = info->si_code;
    uintptr_t sp = 0;
#if defined(__x86_64__)
    const auto* uc = static_cast<const ucontext_t*>(contextoBruto);
    const greg_t* r = uc->uc_mcontext.gregs;
    constexpr int kOrdemDwarf[CQVContextoFalha::kRegistros] = {
        REG_RAX, REG_RDX, REG_RCX, REG_RBX, REG_RSI, REG_RDI, REG_RBP, REG_RSP, REG_R8,
        REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15, REG_RIP};
    for (std::size_t i = 0; i < CQVContextoFalha::kRegistros; ++i)
        c.registros[i] = static_cast<uint64_t>(r[kOrdemDwarf[i]]);
    c.bTemRegistros = true;
    sp = static_cast<uintptr_t>(r[REG_RSP]);
    if (uc->uc_mcontext.fpregs != nullptr)
        causa.uEstadoPontoFlutuante = uc->uc_mcontext.fpregs->swd | uc->uc_mcontext.fpregs->mxcsr;
    if (sinal == SIGSEGV && info->si_code == SI_KERNEL) {
        unsigned char instrucao[16];
        const std::size_t n =
            LeSemFalhar(static_cast<uintptr_t>(r[REG_RIP]), instrucao, sizeof instrucao, recursos->tubo);
        causa.bInstrucaoPrivilegiada = EhInstrucaoPrivilegiada(instrucao, n);
    }
#endif
    if (sinal == SIGSEGV && recursos->uPilhaBaixa != 0) {
        const uintptr_t baixa = recursos->uPilhaBaixa;
        const uintptr_t endereco = c.uEndereco;
        causa.bPilhaEsgotada = endereco + kAreaGuardaPilha >= baixa && endereco < baixa + 2 * kPedacoLeitura;
    }
    c.dwCodigo = CodigoExcecaoDoSinal(causa);
    if (!CQVSEH::EhCodigoCapturado(c.dwCodigo)) {
        Encadeia(sinal, info, contextoBruto);
        errno = errnoSalvo;
        return;
    }

    // The stack from the faulting stack pointer up to the guard's frame:
    // after the return into the guard it is reused.
    if (c.bTemRegistros && guarda->m_bComPilha) {
        uintptr_t inicio = sp;
        if (recursos->uPilhaBaixa != 0 && inicio < recursos->uPilhaBaixa && guarda->m_uQuadro > recursos->uPilhaBaixa)
            inicio = recursos->uPilhaBaixa;
        uintptr_t fim = guarda->m_uQuadro;
        if (fim > inicio && fim - inicio > kTamanhoCopia) fim = inicio + kTamanhoCopia;
        std::size_t n = 0;
        if (fim > inicio && recursos->pCopia != nullptr)
            n = LeSemFalhar(inicio, recursos->pCopia, fim - inicio, recursos->tubo);
        c.uInicioCopia = inicio;
        c.pCopia = recursos->pCopia;
        c.nCopia = n;
        c.uInicioIntacto = guarda->m_uQuadro;
        c.uFimPilha = recursos->uPilhaAlta;
    }

    // The guard is spent: a fault from here on belongs to the one around it.
    guarda->m_bArmada = false;
    recursos->pGuardaAtual = guarda->m_pAnterior;
    siglongjmp(guarda->m_salto, 1);
}

CQVRecursosThreadFalhas* RecursosDaThread() {
    if (t_recursos != nullptr) return t_recursos;
    t_dono.bAtivo = true;  // registers the clean-up at the thread's end
    auto* r = new CQVRecursosThreadFalhas;
    pthread_attr_t atributos;
    if (pthread_getattr_np(pthread_self(), &atributos) == 0) {
        void* base = nullptr;
        std::size_t tamanho = 0;
        if (pthread_attr_getstack(&atributos, &base, &tamanho) == 0) {
            r->uPilhaBaixa = reinterpret_cast<uintptr_t>(base);
            r->uPilhaAlta = r->uPilhaBaixa + tamanho;
        }
        pthread_attr_destroy(&atributos);
    }
    void* copia = mmap(nullptr, kTamanhoCopia, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    r->pCopia = copia != MAP_FAILED ? static_cast<unsigned char*>(copia) : nullptr;
    VerificaLeituraProcesso();
    if (g_leituraProcessoFunciona.load() == 0 && pipe2(r->tubo, O_CLOEXEC | O_NONBLOCK) != 0) r->tubo[0] = r->tubo[1] = -1;
    t_recursos = r;
    return r;
}

// Gives the thread an alternate signal stack unless it has a big enough
// one; true when it did, with the one it replaced in `anterior`.
bool PreparaPilhaAlternativa(CQVRecursosThreadFalhas* r, stack_t& anterior) {
    stack_t atual{};
    if (sigaltstack(nullptr, &atual) != 0) return false;
    if ((atual.ss_flags & SS_DISABLE) == 0 && atual.ss_size >= kPilhaAlternativaMinima) return false;
    if (r->pPilhaAlternativa == nullptr) {
        void* pilha =
            mmap(nullptr, kTamanhoPilhaAlternativa, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (pilha == MAP_FAILED) return false;
        r->pPilhaAlternativa = pilha;
    }
    stack_t nova{};
    nova.ss_sp = r->pPilhaAlternativa;
    nova.ss_size = kTamanhoPilhaAlternativa;
    nova.ss_flags = 0;
    if (sigaltstack(&nova, nullptr) != 0) return false;
    anterior = atual;
    return true;
}

void RestauraPilhaAlternativa(stack_t anterior) {
    if ((anterior.ss_flags & SS_DISABLE) != 0) {
        anterior.ss_sp = nullptr;
        anterior.ss_size = 0;
        anterior.ss_flags = SS_DISABLE;
    }
    sigaltstack(&anterior, nullptr);
}

void InstalaTratadores() {
    const std::lock_guard<std::mutex> trava(g_travaInstalacao);
    if (g_guardasAtivas++ == 0) {
        struct sigaction acao {};
        acao.sa_sigaction = &Tratador;
        acao.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&acao.sa_mask);
        for (std::size_t i = 0; i < kQuantidadeSinais; ++i) sigaction(kSinais[i], &acao, &g_anteriores[i]);
    }
    g_guardasAtivasLeitura.store(g_guardasAtivas);
}

void RemoveTratadores() {
    const std::lock_guard<std::mutex> trava(g_travaInstalacao);
    if (--g_guardasAtivas == 0) {
        for (std::size_t i = 0; i < kQuantidadeSinais; ++i) sigaction(kSinais[i], &g_anteriores[i], nullptr);
    }
    g_guardasAtivasLeitura.store(g_guardasAtivas);
}

}  // namespace

namespace {

// The ledger of what the thread's guarded calls hold (see the header).
struct EntradaLivro {
    void* pRecurso;
    FnLiberaRecurso pfnLibera;
};
constexpr std::size_t kEntradasLivro = 256;
struct LivroRecursos {
    EntradaLivro entradas[kEntradasLivro];
    std::size_t n = 0;
    unsigned uTransbordos = 0;  // records missed since the thread began
};
thread_local LivroRecursos t_livro;

std::atomic<uint64_t> g_serieGuardas{0};

constexpr int kMaximoAcoes = 8;
std::atomic<FnAcaoAposFalha> g_acoes[kMaximoAcoes];
std::atomic<int> g_quantidadeAcoes{0};

bool GuardaArmadaNaThread() noexcept {
    const CQVRecursosThreadFalhas* r = t_recursos;
    return r != nullptr && r->pGuardaAtual != nullptr && r->pGuardaAtual->m_bArmada;
}

}  // namespace

void RegistraRecursoMantido(void* recurso, FnLiberaRecurso libera) noexcept {
    if (!GuardaArmadaNaThread()) return;
    LivroRecursos& livro = t_livro;
    if (livro.n == kEntradasLivro) {
        ++livro.uTransbordos;
        return;
    }
    livro.entradas[livro.n++] = EntradaLivro{recurso, libera};
}

void RemoveRecursoMantido(void* recurso) noexcept {
    LivroRecursos& livro = t_livro;
    for (std::size_t i = livro.n; i > 0; --i) {
        if (livro.entradas[i - 1].pRecurso != recurso) continue;
        for (std::size_t j = i; j < livro.n; ++j) livro.entradas[j - 1] = livro.entradas[j];
        --livro.n;
        return;
    }
}

uint64_t SerieGuardaAtual() noexcept {
    const CQVRecursosThreadFalhas* r = t_recursos;
    return r != nullptr && r->pGuardaAtual != nullptr ? r->pGuardaAtual->m_uSerie : 0;
}

void RegistraAcaoAposFalha(FnAcaoAposFalha acao) noexcept {
    const int i = g_quantidadeAcoes.fetch_add(1);
    if (i < kMaximoAcoes) g_acoes[i].store(acao);
}

CQVGuardaSinais::CQVGuardaSinais(const void* quadro, bool comPilha)
    : m_uQuadro(reinterpret_cast<uintptr_t>(quadro)), m_pRecursos(RecursosDaThread()), m_bComPilha(comPilha) {
    m_pAnterior = m_pRecursos->pGuardaAtual;
    m_bTrocouPilha = PreparaPilhaAlternativa(m_pRecursos, m_pilhaAnterior);
    InstalaTratadores();
}

CQVGuardaSinais::~CQVGuardaSinais() {
    // Whatever is still recorded above the guard's depth outlives the call
    // on purpose (a lock handed on): it is not this guard's to release.
    if (m_bArmada && t_livro.n > m_uLivroBase) t_livro.n = m_uLivroBase;
    m_bArmada = false;
    m_pRecursos->pGuardaAtual = m_pAnterior;
    RemoveTratadores();
    if (m_bTrocouPilha) RestauraPilhaAlternativa(m_pilhaAnterior);
}

void CQVGuardaSinais::Arma() noexcept {
    m_uLivroBase = t_livro.n;
    m_uTransbordosBase = t_livro.uTransbordos;
    m_uSerie = g_serieGuardas.fetch_add(1) + 1;
    m_bArmada = true;
    m_pRecursos->pGuardaAtual = this;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

HRESULT CQVGuardaSinais::TrataFalha(CQVFalhaCapturada& falha) {
    std::atomic_signal_fence(std::memory_order_seq_cst);
    const CQVContextoFalha contexto = m_pRecursos->contexto;
    falha.dwCodigo = contexto.dwCodigo;
    // First what the abandoned frames held, innermost first, so that nothing
    // after this (the stack walk, the report, other threads) waits on it.
    LivroRecursos& livro = t_livro;
    while (livro.n > m_uLivroBase) {
        const EntradaLivro e = livro.entradas[--livro.n];
        e.pfnLibera(e.pRecurso);
    }
    falha.bRecursosLiberados = livro.uTransbordos == m_uTransbordosBase;
    const int acoes = std::min(g_quantidadeAcoes.load(), kMaximoAcoes);
    for (int i = 0; i < acoes; ++i)
        if (const FnAcaoAposFalha acao = g_acoes[i].load()) acao(m_uSerie);
    if (m_bComPilha) {
        CQVSEH seh;
        seh.Filtro(contexto);
        falha.sPilha = CQVSEH::UltimaPilha();
    }
    return CQVSEH::Traduz(contexto.dwCodigo);
}

int QuantidadeGuardasAtivas() { return g_guardasAtivasLeitura.load(); }

}  // namespace zenta
