#include "platform/rpc/QVAtivacao.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include <grpcpp/grpcpp.h>

#include <zenta/ObjBase.h>

#include "platform/QVHome.h"
#include "platform/rpc/QVExportador.h"
#include "platform/rpc/QVTransporte.h"

namespace zenta::rpc {
namespace {

using namespace std::chrono_literals;

std::atomic<long long> g_esperaInicioMs{30'000};

// Connections in use, by target: proxies keep them alive; a connection whose
// server ended the session is not reused.
std::mutex& TravaConexoes() {
    static std::mutex trava;
    return trava;
}
std::map<std::string, std::weak_ptr<Conexao>>& Conexoes() {
    static std::map<std::string, std::weak_ptr<Conexao>> conexoes;
    return conexoes;
}

std::shared_ptr<Conexao> ConexaoGuardada(const std::string& alvo) {
    std::lock_guard lock(TravaConexoes());
    auto it = Conexoes().find(alvo);
    if (it == Conexoes().end()) return nullptr;
    auto conexao = it->second.lock();
    if (conexao && conexao->Viva()) return conexao;
    Conexoes().erase(it);
    return nullptr;
}

void GuardaConexao(const std::shared_ptr<Conexao>& conexao) {
    std::lock_guard lock(TravaConexoes());
    Conexoes()[conexao->Alvo()] = conexao;
}

void EsqueceConexao(const std::shared_ptr<Conexao>& conexao) {
    std::lock_guard lock(TravaConexoes());
    auto it = Conexoes().find(conexao->Alvo());
    if (it != Conexoes().end() && it->second.lock() == conexao) Conexoes().erase(it);
}

// Connects to the class's socket when one is there and answers.
HRESULT ConectaSocket(REFCLSID clsid, std::chrono::milliseconds espera, std::shared_ptr<Conexao>* conexao) {
    const std::filesystem::path socket = SocketDaClasse(clsid);
    const std::string alvo = "unix:" + socket.string();
    if (auto guardada = ConexaoGuardada(alvo)) {
        *conexao = std::move(guardada);
        return S_OK;
    }
    std::error_code ec;
    if (!std::filesystem::is_socket(socket, ec)) return REGDB_E_CLASSNOTREG;
    const HRESULT hr = Conexao::Abre(alvo, grpc::InsecureChannelCredentials(), espera, conexao);
    if (SUCCEEDED(hr)) GuardaConexao(*conexao);
    return hr;
}

// An exclusive lock on a file for the length of a scope.
class TravaArquivo {
public:
    explicit TravaArquivo(const std::filesystem::path& caminho)
        : m_fd(::open(caminho.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~TravaArquivo() {
        if (m_fd >= 0) ::close(m_fd);
    }
    TravaArquivo(const TravaArquivo&) = delete;
    TravaArquivo& operator=(const TravaArquivo&) = delete;
    bool Obtida() const { return m_fd >= 0; }

private:
    int m_fd;
};

// Whether a server process holds the class's ownership lock.
bool ServidorPresente(REFCLSID clsid) {
    const int fd = ::open(TravaServidorDaClasse(clsid).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool presente = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return presente;
}

// Waits until no server holds the class's ownership lock.
bool EsperaServidorSair(REFCLSID clsid, std::chrono::milliseconds espera) {
    const auto limite = std::chrono::steady_clock::now() + espera;
    while (ServidorPresente(clsid)) {
        if (std::chrono::steady_clock::now() >= limite) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// The environment a started server gets: what it needs to find its home and
// run directory (the client's, made absolute, so that both meet at the same
// socket), its user's name and home, a fixed PATH and locale, and nothing
// else of the client's. What configures the server comes from the registry;
// a client's variables (test switches, preloaded libraries, settings) never
// reach a server that serves every client.
std::vector<std::string> AmbienteServidor() {
    std::vector<std::string> ambiente;
    std::error_code ec;
    const auto absoluto = [&](const std::filesystem::path& p) {
        auto a = std::filesystem::absolute(p, ec);
        return (ec ? p : a).lexically_normal().string();
    };
    ambiente.push_back("ZENTA_HOME=" + absoluto(ZentaHome()));
    ambiente.push_back("ZENTA_RUN_DIR=" + absoluto(DiretorioRun()));
    ambiente.push_back("PATH=/usr/local/bin:/usr/bin:/bin");
    ambiente.push_back("LANG=C.UTF-8");
    passwd registro{};
    passwd* usuario = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::geteuid(), &registro, buffer.data(), buffer.size(), &usuario) == 0 && usuario != nullptr) {
        ambiente.push_back(std::string("HOME=") + usuario->pw_dir);
        ambiente.push_back(std::string("USER=") + usuario->pw_name);
        ambiente.push_back(std::string("LOGNAME=") + usuario->pw_name);
    }
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // Sanitizer builds only: their reports follow the same settings as the
    // rest of the run.
    for (const char* nome : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS"})
        if (const char* valor = std::getenv(nome); valor != nullptr) ambiente.push_back(std::string(nome) + "=" + valor);
#endif
    return ambiente;
}

// Starts the executable as COM starts a local server, with "-Embedding",
// detached from the client: its own session, the root as working folder (it
// pins no folder of the client's), standard streams on /dev/null, no
// descriptor of ours and an environment of its own (AmbienteServidor), so
// that it outlives the client and holds none of its pipes. Answers the
// server's pid, or 0 when it could not start.
pid_t IniciaExecutavel(const std::string& executavel) {
    // Everything the child needs is built before the fork.
    const std::vector<std::string> ambiente = AmbienteServidor();
    std::vector<char*> envp;
    for (const std::string& variavel : ambiente) envp.push_back(const_cast<char*>(variavel.c_str()));
    envp.push_back(nullptr);
    int aviso[2];
    if (::pipe2(aviso, O_CLOEXEC) != 0) return 0;
    const pid_t filho = ::fork();
    if (filho < 0) {
        ::close(aviso[0]);
        ::close(aviso[1]);
        return 0;
    }
    if (filho == 0) {
        // Only async-signal-safe calls from here on.
        ::setsid();
        const pid_t neto = ::fork();
        if (neto != 0) {
            // The grandchild's pid (or the failure) goes to the client first.
            const pid_t resultado = neto < 0 ? 0 : neto;
            [[maybe_unused]] auto n = ::write(aviso[1], &resultado, sizeof resultado);
            ::_exit(0);
        }
        const int nulo = ::open("/dev/null", O_RDWR);
        if (nulo >= 0) {
            ::dup2(nulo, 0);
            ::dup2(nulo, 1);
            ::dup2(nulo, 2);
        }
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        // The pipe stays open across exec only for its failure report.
        ::fcntl(aviso[1], F_SETFD, FD_CLOEXEC);
        [[maybe_unused]] const int raiz = ::chdir("/");
        // No signal the client blocked or ignored stays so in the server.
        sigset_t nenhum;
        ::sigemptyset(&nenhum);
        ::sigprocmask(SIG_SETMASK, &nenhum, nullptr);
        for (const int sinal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) ::signal(sinal, SIG_DFL);
        char* const argv[] = {const_cast<char*>(executavel.c_str()), const_cast<char*>("-Embedding"), nullptr};
        ::execve(executavel.c_str(), argv, envp.data());
        const int erro = -errno;
        [[maybe_unused]] auto n = ::write(aviso[1], &erro, sizeof erro);
        ::_exit(127);
    }
    ::close(aviso[1]);
    int status = 0;
    ::waitpid(filho, &status, 0);
    pid_t neto = 0;
    int erroExec = 0;
    const bool leuPid = ::read(aviso[0], &neto, sizeof neto) == sizeof neto;
    // The second message comes only when exec failed; end of file when it
    // succeeded.
    const bool falhou = ::read(aviso[0], &erroExec, sizeof erroExec) == sizeof erroExec;
    ::close(aviso[0]);
    return leuPid && !falhou ? neto : 0;
}

// The server is not our child (an intermediate process started it), so it
// never lingers as our zombie: gone means gone.
bool ProcessoVivo(pid_t pid) { return ::kill(pid, 0) == 0; }

// The class's running server, started when none listens.
HRESULT GaranteServidorLocal(REFCLSID clsid, std::shared_ptr<Conexao>* conexao) {
    const HRESULT hr = ConectaSocket(clsid, 2s, conexao);
    if (SUCCEEDED(hr)) return S_OK;
    // Without a registration there is nothing to start: a socket that does
    // not answer stays unreachable.
    const auto registro = LocalServerRegistrado(clsid);
    if (!registro) return hr;

    std::error_code ec;
    std::filesystem::create_directories(DiretorioRun(), ec);
    // One client at a time starts the server; the others find it running
    // when their turn comes.
    TravaArquivo trava(TravaInicioDaClasse(clsid));
    if (!trava.Obtida()) return E_ACCESSDENIED;
    if (SUCCEEDED(ConectaSocket(clsid, 2s, conexao))) return S_OK;

    const auto espera = std::chrono::milliseconds(g_esperaInicioMs.load());
    const auto limite = std::chrono::steady_clock::now() + espera;
    // A server that holds the class but does not answer is starting or
    // ending: wait for it to answer or to go.
    while (ServidorPresente(clsid)) {
        if (SUCCEEDED(ConectaSocket(clsid, 200ms, conexao))) return S_OK;
        if (std::chrono::steady_clock::now() >= limite) return CO_E_SERVER_EXEC_FAILURE;
        std::this_thread::sleep_for(20ms);
    }
    const pid_t pid = IniciaExecutavel(registro->executavel);
    if (pid == 0) return CO_E_SERVER_EXEC_FAILURE;
    while (std::chrono::steady_clock::now() < limite) {
        if (SUCCEEDED(ConectaSocket(clsid, 200ms, conexao))) return S_OK;
        if (!ProcessoVivo(pid)) return CO_E_SERVER_EXEC_FAILURE;
        std::this_thread::sleep_for(20ms);
    }
    return CO_E_SERVER_EXEC_FAILURE;
}

}  // namespace

void DefineEsperaInicioServidor(std::chrono::milliseconds espera) { g_esperaInicioMs = espera.count(); }

bool TemServidorLocal(REFCLSID clsid) {
    if (LocalServerRegistrado(clsid)) return true;
    std::error_code ec;
    return std::filesystem::is_socket(SocketDaClasse(clsid), ec);
}

HRESULT ConexaoLocal(REFCLSID clsid, std::shared_ptr<Conexao>* conexao) { return ConectaSocket(clsid, 2s, conexao); }

HRESULT NovaConexaoLocal(REFCLSID clsid, std::shared_ptr<Conexao>* conexao) {
    return Conexao::Abre("unix:" + SocketDaClasse(clsid).string(), grpc::InsecureChannelCredentials(), 5s, conexao);
}

HRESULT AtivaServidorLocal(REFCLSID clsid, REFIID iid, void** ppv) {
    *ppv = nullptr;
    HRESULT hr = CO_E_SERVER_EXEC_FAILURE;
    // A server found ending is waited for and replaced, once.
    for (int tentativa = 0; tentativa < 2; ++tentativa) {
        std::shared_ptr<Conexao> conexao;
        hr = GaranteServidorLocal(clsid, &conexao);
        if (FAILED(hr)) return hr;
        hr = conexao->CriaObjeto(clsid, iid, ppv);
        if (hr == CO_E_SERVER_STOPPING || hr == HR_RPC_S_SERVER_UNAVAILABLE || hr == RPC_E_DISCONNECTED) {
            EsqueceConexao(conexao);
            conexao.reset();
            if (!EsperaServidorSair(clsid, std::chrono::milliseconds(g_esperaInicioMs.load()))) return hr;
            continue;
        }
        return hr;
    }
    return hr;
}

HRESULT AtivaServidorRemoto(REFCLSID clsid, const std::string& maquina, REFIID iid, void** ppv) {
    *ppv = nullptr;
    if (maquina.empty() || maquina.find_first_of("/ \t\r\n") != std::string::npos) return E_INVALIDARG;
    const ConfiguracaoAplicacao config = ConfiguracaoDaClasse(clsid);
    std::string alvo = maquina;
    // "host", "host:port", "[v6]:port"; a bare host takes the application's port.
    const bool temPorta = maquina.back() != ']' && maquina.find(':') != std::string::npos &&
                          (maquina.front() == '[' || maquina.find(':') == maquina.rfind(':'));
    if (!temPorta) {
        if (config.portaTcp == 0 || config.portaTcp > 65535) return REGDB_E_CLASSNOTREG;
        alvo += ":" + std::to_string(config.portaTcp);
    }
    std::shared_ptr<grpc::ChannelCredentials> credenciais;
    if (NivelAutenticacaoProcesso() == RPC_C_AUTHN_LEVEL_NONE) {
        credenciais = grpc::InsecureChannelCredentials();
    } else {
        auto opcoes = OpcoesTlsCliente(config);
        if (!opcoes) return E_ACCESSDENIED;
        credenciais = grpc::SslCredentials(*opcoes);
    }
    std::shared_ptr<Conexao> conexao = ConexaoGuardada(alvo);
    if (!conexao) {
        const HRESULT hr = Conexao::Abre(alvo, credenciais, 10s, &conexao);
        if (FAILED(hr)) return hr;
        GuardaConexao(conexao);
    }
    return conexao->CriaObjeto(clsid, iid, ppv);
}

}  // namespace zenta::rpc
