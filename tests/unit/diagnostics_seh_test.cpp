// The machine-fault guard and translator: faults of every kind become their
// HRESULTs with a stack text, on any thread, nested, and only inside a
// guarded call.

#include <barrier>
#include <stdexcept>

#include "diagnostics/QVGuardaFalhas.h"
#include "diagnostics/QVSEH.h"

using namespace zenta;

namespace {

// ---- Faults on purpose: real machine faults no compiler can remove ------------
volatile uintptr_t g_enderecoInvalido = 16;
volatile int g_zero = 0;
volatile bool g_recursaoContinua = true;

__attribute__((noinline)) HRESULT EscreveEnderecoInvalido() {
    *reinterpret_cast<volatile int*>(g_enderecoInvalido) = 1;
    return S_OK;
}

__attribute__((noinline)) HRESULT DivideInteiroPorZero() {
    int quociente = 7;
    const int divisor = g_zero;
    __asm__ volatile("cltd\n\tidivl %1" : "+a"(quociente) : "r"(divisor) : "edx", "cc");
    return quociente;
}

__attribute__((noinline)) unsigned RecursaoSemFim(unsigned n) {
    volatile char bloco[256];
    bloco[n % sizeof bloco] = static_cast<char>(n);
    if (!g_recursaoContinua) return 0;
    return RecursaoSemFim(n + 1) + static_cast<unsigned>(bloco[n % sizeof bloco]);
}

__attribute__((noinline)) HRESULT ExecutaInstrucaoIlegal() {
    __asm__ volatile("ud2");
    return S_OK;
}

__attribute__((noinline)) HRESULT ExecutaPontoParada() {
    __asm__ volatile("int3");
    return S_OK;
}

__attribute__((noinline)) HRESULT ExecutaInstrucaoPrivilegiada() {
    __asm__ volatile("hlt");
    return S_OK;
}

std::string PrimeiraLinha(const std::string& texto) { return texto.substr(0, texto.find('\n')); }

// The handler installed for the signal, whichever form it takes.
void* TratadorAtual(int sinal) {
    struct sigaction atual {};
    sigaction(sinal, nullptr, &atual);
    return (atual.sa_flags & SA_SIGINFO) != 0 ? reinterpret_cast<void*>(atual.sa_sigaction)
                                             : reinterpret_cast<void*>(atual.sa_handler);
}

}  // namespace

// ---- The translator -------------------------------------------------------------

TEST(TradutorFalhas, CodesNotCaughtGetTheCatchAll) {
    EXPECT_FALSE(CQVSEH::EhCodigoCapturado(0x80000029u));
    EXPECT_EQ(static_cast<uint32_t>(CQVSEH::Traduz(0x80000029u)), 0x8004EADBu);
    EXPECT_TRUE(QVEhResultadoFalhaMaquina(CQVSEH::Traduz(0x80000029u)));
    EXPECT_EQ(static_cast<uint32_t>(CQVSEH::Traduz(QV_CODIGO_EXCECAO_CPP)), 0x8004EE47u);
    EXPECT_EQ(static_cast<uint32_t>(CQVSEH::Traduz(0u)), 0x8004EE47u);
}

TEST(TradutorFalhas, FilterPassesALanguageExceptionOnAndRemembersTheCode) {
    CQVSEH seh;
    CQVContextoFalha contexto;
    contexto.dwCodigo = QV_CODIGO_EXCECAO_CPP;
    EXPECT_EQ(seh.Filtro(contexto), EXCEPTION_CONTINUE_SEARCH);
    EXPECT_EQ(CQVSEH::UltimoCodigo(), QV_CODIGO_EXCECAO_CPP);
    EXPECT_EQ(static_cast<uint32_t>(seh.Traduz()), 0x8004EE47u);
    contexto.dwCodigo = EXCEPTION_INT_DIVIDE_BY_ZERO;  // no registers: no stack text
    EXPECT_EQ(seh.Filtro(contexto), EXCEPTION_EXECUTE_HANDLER);
    EXPECT_EQ(static_cast<uint32_t>(seh.Traduz()), 0x8004EAD3u);
    EXPECT_TRUE(CQVSEH::UltimaPilha().empty());
}

TEST(TradutorFalhas, AStackThatCannotBeReadGivesAnEmptyText) {
    CQVContextoFalha contexto;
    contexto.dwCodigo = EXCEPTION_ACCESS_VIOLATION;
    contexto.bTemRegistros = true;  // all zero: no frame to start from
    EXPECT_TRUE(CQVSEH::PercorrePilha(contexto).empty());
    contexto.registros[7] = 16;                          // stack pointer in unmapped memory
    contexto.registros[CQVContextoFalha::kRegistros - 1] = 0x1000;  // program counter in no module
    EXPECT_TRUE(CQVSEH::PercorrePilha(contexto).empty());
}

TEST(TradutorFalhas, SignalAndCauseGiveTheWindowsCode) {
    using zenta::CodigoExcecaoDoSinal;
    using zenta::CQVCausaSinal;
    EXPECT_EQ(CodigoExcecaoDoSinal({SIGSEGV, SEGV_ACCERR, true}), EXCEPTION_STACK_OVERFLOW);
    EXPECT_EQ(CodigoExcecaoDoSinal({SIGSEGV, SI_KERNEL, false, true}), EXCEPTION_PRIV_INSTRUCTION);
    EXPECT_EQ(CodigoExcecaoDoSinal({SIGSEGV, SI_KERNEL}), EXCEPTION_ACCESS_VIOLATION);
    EXPECT_EQ(CodigoExcecaoDoSinal({SIGBUS, BUS_ADRALN}), EXCEPTION_DATATYPE_MISALIGNMENT);
    // The floating-point status word tells what the cause code does not.
    EXPECT_EQ(CodigoExcecaoDoSinal({SIGFPE, FPE_FLTUND, false, false, 0x10}), EXCEPTION_FLT_UNDERFLOW);
    EXPECT_EQ(CodigoExcecaoDoSinal({SIGFPE, FPE_FLTUND, false, false, 0x02}), EXCEPTION_FLT_DENORMAL_OPERAND);
    EXPECT_EQ(CodigoExcecaoDoSinal({SIGFPE, FPE_FLTINV, false, false, 0x41}), EXCEPTION_FLT_STACK_CHECK);
    EXPECT_EQ(CodigoExcecaoDoSinal({SIGFPE, SI_TKILL}), EXCEPTION_INT_DIVIDE_BY_ZERO);
    EXPECT_EQ(CodigoExcecaoDoSinal({SIGTRAP, TRAP_HWBKPT}), EXCEPTION_SINGLE_STEP);
}

TEST(TradutorFalhas, PrivilegedInstructionsAreRecognisedBehindPrefixes) {
    const unsigned char outComPrefixo[] = {0x66, 0xEE};
    const unsigned char movCr[] = {0x48, 0x0F, 0x22, 0xD8};
    const unsigned char ud2[] = {0x0F, 0x0B};
    EXPECT_TRUE(zenta::EhInstrucaoPrivilegiada(outComPrefixo, sizeof outComPrefixo));
    EXPECT_TRUE(zenta::EhInstrucaoPrivilegiada(movCr, sizeof movCr));
    EXPECT_FALSE(zenta::EhInstrucaoPrivilegiada(ud2, sizeof ud2));
    EXPECT_FALSE(zenta::EhInstrucaoPrivilegiada(outComPrefixo, 1));  // cut short
}

TEST(TradutorFalhas, FrameNamesLoseParametersAndReturnTypes) {
    using zenta::NomeQuadroPilha;
    EXPECT_EQ(NomeQuadroPilha("(anonymous namespace)::Falha(int)"), "(anonymous namespace)::Falha");
    EXPECT_EQ(NomeQuadroPilha("long T_QVUnknown<I, B>::Quadro<F>(std::string const&, F&&)"),
              "T_QVUnknown<I, B>::Quadro<F>");
    EXPECT_EQ(NomeQuadroPilha("A::f()::{lambda(int)#1}::operator()(int) const"), "A::f()::{lambda(int)#1}::operator()");
    EXPECT_EQ(NomeQuadroPilha("std::ostream& operator<< <int>(std::ostream&, int)"), "operator<< <int>");
    EXPECT_EQ(NomeQuadroPilha("f(int) [clone .cold]"), "f");
}

// ---- The guard ------------------------------------------------------------------

class GuardaFalhas : public ::testing::Test {
protected:
    void SetUp() override {
        m_segvAntes = TratadorAtual(SIGSEGV);
        sigaltstack(nullptr, &m_pilhaAntes);
    }
    void TearDown() override {
        // Outside guarded calls, the handlers and the alternate stack are
        // the ones that were there before.
        EXPECT_EQ(zenta::QuantidadeGuardasAtivas(), 0);
        EXPECT_EQ(TratadorAtual(SIGSEGV), m_segvAntes);
        stack_t depois{};
        sigaltstack(nullptr, &depois);
        EXPECT_EQ(depois.ss_sp, m_pilhaAntes.ss_sp);
        EXPECT_EQ(depois.ss_flags & SS_DISABLE, m_pilhaAntes.ss_flags & SS_DISABLE);
    }

    void* m_segvAntes = nullptr;
    stack_t m_pilhaAntes{};
};

TEST_F(GuardaFalhas, EachKindOfFaultGivesItsResultNamingTheFaultingFunctionFirst) {
    CQVFalhaCapturada falha;
    falha.dwCodigo = 1;
    EXPECT_EQ(QVExecutaComGuarda([] { return static_cast<HRESULT>(0x81080AA8u); }, falha),
              static_cast<HRESULT>(0x81080AA8u));
    EXPECT_EQ(falha.dwCodigo, 0u);

    // Every kind of fault gives its own result; the stack text is "name
    // (line)", innermost first, at most 15 lines down to the caller.
    struct Caso {
        HRESULT (*operacao)();
        uint32_t hr;
        DWORD codigo;
        const char* funcao;
    };
    const Caso casos[] = {
        {&EscreveEnderecoInvalido, 0x8004EAC5u, EXCEPTION_ACCESS_VIOLATION, "EscreveEnderecoInvalido ("},
        {&DivideInteiroPorZero, 0x8004EAD3u, EXCEPTION_INT_DIVIDE_BY_ZERO, "DivideInteiroPorZero"},
        {&ExecutaInstrucaoIlegal, 0x8004EAD1u, EXCEPTION_ILLEGAL_INSTRUCTION, "ExecutaInstrucaoIlegal"},
        {&ExecutaPontoParada, 0x8004EAC7u, EXCEPTION_BREAKPOINT, "ExecutaPontoParada"},
        {&ExecutaInstrucaoPrivilegiada, 0x8004EAD8u, EXCEPTION_PRIV_INSTRUCTION, "ExecutaInstrucaoPrivilegiada"},
    };
    for (const Caso& caso : casos) {
        EXPECT_EQ(static_cast<uint32_t>(QVExecutaComGuarda(caso.operacao, falha)), caso.hr) << caso.funcao;
        EXPECT_EQ(falha.dwCodigo, caso.codigo) << caso.funcao;
        EXPECT_NE(PrimeiraLinha(falha.sPilha).find(caso.funcao), std::string::npos) << falha.sPilha;
        EXPECT_NE(falha.sPilha.find("GuardaFalhas_EachKindOfFaultGivesItsResultNamingTheFaultingFunctionFirst_Test::"
                                    "TestBody"),
                  std::string::npos)
            << falha.sPilha;
        EXPECT_LE(std::count(falha.sPilha.begin(), falha.sPilha.end(), '\n'), 15);
        EXPECT_EQ(falha.sPilha.back(), '\n');
    }
}

TEST_F(GuardaFalhas, StackOverflowIsCaughtOnTheAlternateStack) {
    CQVFalhaCapturada falha;
    EXPECT_EQ(static_cast<uint32_t>(QVExecutaComGuarda([] { return static_cast<HRESULT>(RecursaoSemFim(0)); }, falha)),
              0x8004EADAu);
    EXPECT_EQ(falha.dwCodigo, EXCEPTION_STACK_OVERFLOW);
    // The 15 innermost frames are all the recursion.
    EXPECT_NE(PrimeiraLinha(falha.sPilha).find("RecursaoSemFim"), std::string::npos) << falha.sPilha;
    // And the thread goes on working normally.
    EXPECT_EQ(QVExecutaComGuarda([] { return S_OK; }, falha), S_OK);
}

TEST_F(GuardaFalhas, NestedGuardsEachCatchTheirOwnFaultAndThrownExceptionsPassThrough) {
    CQVFalhaCapturada externa;
    CQVFalhaCapturada interna;
    HRESULT hrInterno = S_OK;
    const HRESULT hr = QVExecutaComGuarda(
        [&] {
            hrInterno = QVExecutaComGuarda([] { return DivideInteiroPorZero(); }, interna);
            EXPECT_EQ(zenta::QuantidadeGuardasAtivas(), 1);
            return EscreveEnderecoInvalido();  // after the inner guard: the outer one's
        },
        externa);
    EXPECT_EQ(static_cast<uint32_t>(hrInterno), 0x8004EAD3u);
    EXPECT_EQ(interna.dwCodigo, EXCEPTION_INT_DIVIDE_BY_ZERO);
    EXPECT_EQ(static_cast<uint32_t>(hr), 0x8004EAC5u);
    EXPECT_EQ(externa.dwCodigo, EXCEPTION_ACCESS_VIOLATION);

    // Thrown exceptions pass through the guard, which is gone afterwards:
    // the next fault is caught by a new one as usual.
    CQVFalhaCapturada falha;
    EXPECT_THROW(QVExecutaComGuarda([]() -> HRESULT { throw std::runtime_error("x"); }, falha), std::runtime_error);
    EXPECT_EQ(falha.dwCodigo, 0u);
    EXPECT_EQ(static_cast<uint32_t>(QVExecutaComGuarda([] { return EscreveEnderecoInvalido(); }, falha)), 0x8004EAC5u);
}

TEST_F(GuardaFalhas, ThreadsFaultingAtOnceKeepTheirOwnCodesAndTexts) {
    constexpr int kRodadas = 8;
    std::barrier largada(2);
    std::atomic<int> erros{0};
    auto trabalho = [&](bool divisao) {
        for (int i = 0; i < kRodadas; ++i) {
            largada.arrive_and_wait();
            CQVFalhaCapturada falha;
            const HRESULT hr = divisao ? QVExecutaComGuarda([] { return DivideInteiroPorZero(); }, falha)
                                       : QVExecutaComGuarda([] { return EscreveEnderecoInvalido(); }, falha);
            const uint32_t esperado = divisao ? 0x8004EAD3u : 0x8004EAC5u;
            const char* funcao = divisao ? "DivideInteiroPorZero" : "EscreveEnderecoInvalido";
            if (static_cast<uint32_t>(hr) != esperado || PrimeiraLinha(falha.sPilha).find(funcao) == std::string::npos)
                ++erros;
        }
    };
    std::thread a(trabalho, true);
    std::thread b(trabalho, false);
    a.join();
    b.join();
    EXPECT_EQ(erros.load(), 0);
}

// A fault outside any guarded call ends the process as it would have, also
// while another thread is inside one (the guard's handlers are installed).
TEST(GuardaFalhasMorte, AFaultOutsideAGuardedCallKeepsTheDefaultBehaviour) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto morreu = [](int estado) {
        // Killed by the fault; or, under a sanitizer, its report (which
        // exits or aborts).
        return (WIFSIGNALED(estado) && (WTERMSIG(estado) == SIGSEGV || WTERMSIG(estado) == SIGABRT)) ||
               (WIFEXITED(estado) && WEXITSTATUS(estado) != 0);
    };
    EXPECT_EXIT(
        {
            std::atomic<bool> dentro{false};
            std::atomic<bool> fim{false};
            std::thread guardada([&] {
                CQVFalhaCapturada falha;
                QVExecutaComGuarda(
                    [&] {
                        dentro = true;
                        while (!fim) std::this_thread::yield();
                        return S_OK;
                    },
                    falha);
            });
            while (!dentro) std::this_thread::yield();
            EscreveEnderecoInvalido();
            fim = true;
            guardada.join();
            std::exit(0);
        },
        morreu, "");
}
