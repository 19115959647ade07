#include "platform/rpc/QVExportador.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include <grpcpp/grpcpp.h>
#include <grpcpp/server_posix.h>

#include <zenta/ObjBase.h>

#include "platform/QVChamador.h"
#include "platform/rpc/QVEnderecos.h"
#include "platform/rpc/QVInterfaceRemota.h"
#include "platform/rpc/QVQuadros.h"
#include "platform/rpc/QVTransporte.h"
#include "platform/rpc/zenta_rpc.grpc.pb.h"

namespace zenta::rpc {
namespace {

namespace pb = zenta::rpc::proto;

std::atomic<DWORD> g_nivelAutenticacao{RPC_C_AUTHN_LEVEL_DEFAULT};

// One object handed out to a client session. The exporter holds one
// reference to the interface the client asked for; calls in flight hold the
// entry itself, so a release while a call runs takes effect after it.
struct Objeto {
    IUnknown* itf = nullptr;
    IID iid{};
    const InterfaceRemota* funcoes = nullptr;
    std::uint64_t sessao = 0;
    ~Objeto() {
        if (itf != nullptr) itf->Release();
    }
};

struct Classe {
    DWORD cookie = 0;
    CLSID clsid{};
    IClassFactory* fabrica = nullptr;
    bool suspensa = true;
    int fdTravaServidor = -1;  // held while this process serves the class
    int fdEscuta = -1;
    std::filesystem::path socket;
};

bool GuidDe(const std::string& bytes, GUID* g) {
    if (bytes.size() != sizeof(GUID)) return false;
    std::memcpy(g, bytes.data(), sizeof(GUID));
    return true;
}

class Exportador;

// Connections of the local channel served at once; more are refused.
constexpr int kMaximoLigacoesLocais = 512;
// How long a new connection may take to say which protocol it speaks, and to
// send its first frame.
constexpr int kEsperaApresentacaoMs = 10'000;
// How long revoking the last class waits for local-channel calls in flight.
constexpr int kEsperaAtendentesS = 5;
constexpr auto kMaximoQuadro = static_cast<std::uint32_t>(kTamanhoMaximoMensagem);

// The gRPC service: unary calls on the server's worker threads (a call may
// run for as long as the service needs), the session stream as a reactor
// that costs no thread while it waits.
class Servico final : public pb::QVExportador::WithCallbackMethod_Sessao<pb::QVExportador::Service> {
public:
    explicit Servico(Exportador& exportador) : m_exportador(exportador) {}
    // The stream is served by the reactor below, never by the blocking form.
    using pb::QVExportador::WithCallbackMethod_Sessao<pb::QVExportador::Service>::Sessao;

    grpc::ServerBidiReactor<pb::PedidoSessao, pb::EventoSessao>* Sessao(grpc::CallbackServerContext*) override;
    grpc::Status Ativa(grpc::ServerContext*, const pb::PedidoAtivacao* pedido, pb::RespostaAtivacao* resposta) override;
    grpc::Status Chama(grpc::ServerContext*, const pb::PedidoChamada* pedido, pb::RespostaChamada* resposta) override;
    grpc::Status Libera(grpc::ServerContext*, const pb::PedidoLiberacao* pedido, pb::Vazio*) override;
    grpc::Status Estado(grpc::ServerContext*, const pb::Vazio*, pb::EstadoServidor* resposta) override;
    grpc::Status Eco(grpc::ServerContext*, const pb::Vazio*, pb::Vazio*) override { return grpc::Status::OK; }

private:
    Exportador& m_exportador;
};

class Exportador {
public:
    HRESULT Registra(REFCLSID clsid, IUnknown* pUnk, DWORD flags, DWORD* cookie);
    HRESULT Revoga(DWORD cookie);
    HRESULT Retoma();
    HRESULT Suspende();
    EstadoExportador Estado();

    // `dono`: the process of a local-channel session, whose call
    // connections only it may join; 0 for a gRPC session.
    std::uint64_t NovaSessao(pid_t dono = 0);
    void EncerraSessao(std::uint64_t sessao);
    bool SessaoDoProcesso(std::uint64_t sessao, pid_t processo);
    HRESULT Ativa(std::uint64_t sessao, REFCLSID clsid, REFIID iid, std::uint64_t* objeto);
    void Ativa(std::uint64_t sessao, const pb::PedidoAtivacao& pedido, pb::RespostaAtivacao* resposta);
    void Chama(std::uint64_t sessao, const pb::PedidoChamada& pedido, pb::RespostaChamada* resposta);
    void Estado(pb::EstadoServidor* resposta);
    HRESULT Chama(std::uint64_t sessao, std::uint64_t objeto, REFIID iid, ULONG slot, std::string_view entrada,
                  std::string& saida);
    void Libera(std::uint64_t sessao, std::uint64_t objeto);
    // The caller behind a connection's peer address.
    Chamador ChamadorDe(const std::string& peer);

private:
    std::uint64_t NovoIdentificador();  // with m_trava held
    HRESULT IniciaServidor();           // with m_trava held
    HRESULT AbreSocket(Classe& classe);  // with m_trava held
    void FechaSocket(Classe& classe);    // with m_trava held
    void LacoAceitacao();
    std::unique_ptr<grpc::Server> Desliga();  // with m_trava held
    // The thread of one accepted connection: hands a gRPC client to gRPC and
    // serves a local-channel client itself.
    void Atende(int fd, ucred credencial);
    void AtendeLocal(int fd, ucred credencial);

    std::mutex m_trava;
    std::vector<Classe> m_classes;
    DWORD m_proximoCookie = 1;
    std::unordered_map<std::uint64_t, std::shared_ptr<Objeto>> m_objetos;
    std::unordered_map<std::uint64_t, std::unordered_set<std::uint64_t>> m_sessoes;
    std::unordered_map<std::uint64_t, pid_t> m_donosSessao;  // local-channel sessions
    std::mt19937_64 m_aleatorio{std::random_device{}()};
    std::vector<std::string> m_enderecos;
    std::vector<uid_t> m_usuariosPermitidos;  // besides the server's own user
    std::unordered_map<int, uid_t> m_usuarioPorFd;  // the peer of each accepted socket

    std::unique_ptr<Servico> m_servico;
    std::unique_ptr<grpc::Server> m_servidor;
    std::thread m_aceitacao;
    int m_acorda[2] = {-1, -1};  // wakes the accepting loop when the sockets change
    std::atomic<bool> m_parar{false};
    // Accepted connections whose thread has not ended: their sockets, so
    // that a shutdown can end their reads, and their count.
    std::unordered_set<int> m_ligacoes;
    int m_atendentes = 0;
    std::condition_variable m_semAtendentes;
};

Exportador& Instancia() {
    // Never destroyed: gRPC threads may still answer while the process exits.
    static Exportador* exportador = new Exportador;
    return *exportador;
}

// ---- Session stream ------------------------------------------------------------

class ReatorSessao final : public grpc::ServerBidiReactor<pb::PedidoSessao, pb::EventoSessao> {
public:
    explicit ReatorSessao(Exportador& exportador) : m_exportador(exportador), m_sessao(exportador.NovaSessao()) {
        m_evento.set_sessao(m_sessao);
        StartWrite(&m_evento);
        StartRead(&m_pedido);
    }
    void OnWriteDone(bool) override { Termina(false); }
    // The client never sends anything: a read ends when the client closes
    // the stream, goes away or the server shuts down.
    void OnReadDone(bool ok) override {
        if (ok) StartRead(&m_pedido);
        else Termina(true);
    }
    void OnDone() override {
        m_exportador.EncerraSessao(m_sessao);
        delete this;
    }

private:
    // Finish comes once both the write and the reads are over.
    void Termina(bool leitura) {
        std::lock_guard lock(m_trava);
        (leitura ? m_leituraAcabou : m_escritaAcabou) = true;
        if (m_leituraAcabou && m_escritaAcabou && !m_terminado) {
            m_terminado = true;
            Finish(grpc::Status::OK);
        }
    }

    Exportador& m_exportador;
    std::uint64_t m_sessao;
    pb::EventoSessao m_evento;
    pb::PedidoSessao m_pedido;
    std::mutex m_trava;
    bool m_leituraAcabou = false;
    bool m_escritaAcabou = false;
    bool m_terminado = false;
};

grpc::ServerBidiReactor<pb::PedidoSessao, pb::EventoSessao>* Servico::Sessao(grpc::CallbackServerContext*) {
    return new ReatorSessao(m_exportador);
}

grpc::Status Servico::Ativa(grpc::ServerContext*, const pb::PedidoAtivacao* pedido, pb::RespostaAtivacao* resposta) {
    m_exportador.Ativa(pedido->sessao(), *pedido, resposta);
    return grpc::Status::OK;
}

grpc::Status Servico::Chama(grpc::ServerContext* contexto, const pb::PedidoChamada* pedido,
                            pb::RespostaChamada* resposta) {
    // The service sees who calls (report destinations depend on it).
    const EscopoChamador escopo(m_exportador.ChamadorDe(contexto->peer()));
    m_exportador.Chama(pedido->sessao(), *pedido, resposta);
    return grpc::Status::OK;
}

grpc::Status Servico::Libera(grpc::ServerContext*, const pb::PedidoLiberacao* pedido, pb::Vazio*) {
    m_exportador.Libera(pedido->sessao(), pedido->objeto());
    return grpc::Status::OK;
}

grpc::Status Servico::Estado(grpc::ServerContext*, const pb::Vazio*, pb::EstadoServidor* resposta) {
    m_exportador.Estado(resposta);
    return grpc::Status::OK;
}

// ---- Messages, whichever way they came ----------------------------------------------

void Exportador::Ativa(std::uint64_t sessao, const pb::PedidoAtivacao& pedido, pb::RespostaAtivacao* resposta) {
    CLSID clsid;
    IID iid;
    if (!GuidDe(pedido.clsid(), &clsid) || !GuidDe(pedido.iid(), &iid)) {
        resposta->set_hr(E_INVALIDARG);
        return;
    }
    std::uint64_t objeto = 0;
    resposta->set_hr(Ativa(sessao, clsid, iid, &objeto));
    resposta->set_objeto(objeto);
}

void Exportador::Chama(std::uint64_t sessao, const pb::PedidoChamada& pedido, pb::RespostaChamada* resposta) {
    IID iid;
    if (!GuidDe(pedido.iid(), &iid)) {
        resposta->set_hr(HR_RPC_X_BAD_STUB_DATA);
        return;
    }
    std::string saida;
    resposta->set_hr(Chama(sessao, pedido.objeto(), iid, pedido.slot(), pedido.argumentos(), saida));
    resposta->set_resultados(std::move(saida));
}

void Exportador::Estado(pb::EstadoServidor* resposta) {
    const EstadoExportador estado = Estado();
    resposta->set_pid(static_cast<std::uint32_t>(::getpid()));
    std::error_code ec;
    resposta->set_executavel(std::filesystem::read_symlink("/proc/self/exe", ec).string());
    for (const auto& e : estado.enderecos) resposta->add_enderecos(e);
    resposta->set_sessoes(estado.sessoes);
    resposta->set_objetos(estado.objetos);
    resposta->set_suspenso(estado.suspenso);
    resposta->set_nivel_autenticacao(NivelAutenticacaoProcesso());
}

// ---- Class table -----------------------------------------------------------------

HRESULT Exportador::Registra(REFCLSID clsid, IUnknown* pUnk, DWORD flags, DWORD* cookie) {
    if (pUnk == nullptr || cookie == nullptr) return E_INVALIDARG;
    *cookie = 0;
    IClassFactory* fabrica = nullptr;
    if (FAILED(pUnk->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&fabrica)))) return E_NOINTERFACE;
    bool retomar = false;
    {
        std::lock_guard lock(m_trava);
        for (const auto& c : m_classes) {
            if (c.clsid == clsid) {
                fabrica->Release();
                return CO_E_OBJISREG;
            }
        }
        Classe classe;
        classe.cookie = m_proximoCookie++;
        classe.clsid = clsid;
        classe.fabrica = fabrica;
        m_classes.push_back(classe);
        *cookie = classe.cookie;
        retomar = (flags & REGCLS_SUSPENDED) == 0;
    }
    return retomar ? Retoma() : S_OK;
}

HRESULT Exportador::Revoga(DWORD cookie) {
    IClassFactory* fabrica = nullptr;
    std::unique_ptr<grpc::Server> servidor;
    std::unique_ptr<Servico> servico;
    {
        std::lock_guard lock(m_trava);
        auto it = std::find_if(m_classes.begin(), m_classes.end(), [&](const Classe& c) { return c.cookie == cookie; });
        if (it == m_classes.end()) return E_INVALIDARG;
        FechaSocket(*it);
        fabrica = it->fabrica;
        m_classes.erase(it);
        if (m_classes.empty()) {
            servidor = Desliga();
            servico = std::move(m_servico);
        }
    }
    if (servidor) {
        // Calls in flight get a moment to finish; sessions are cancelled.
        servidor->Shutdown(std::chrono::system_clock::now() + std::chrono::seconds(2));
        servidor->Wait();
        if (m_aceitacao.joinable()) m_aceitacao.join();
        std::unordered_map<std::uint64_t, std::shared_ptr<Objeto>> restantes;
        {
            // Local-channel calls in flight finish and answer; then their
            // threads see the end of their reads. A call that never returns
            // does not hold the revocation: after the wait the objects are
            // left to the calls still using them (the process is ending).
            std::unique_lock lock(m_trava);
            if (m_semAtendentes.wait_for(lock, std::chrono::seconds(kEsperaAtendentesS),
                                         [this] { return m_atendentes == 0; })) {
                restantes.swap(m_objetos);
                m_sessoes.clear();
                m_donosSessao.clear();
                m_enderecos.clear();
            }
        }
        restantes.clear();
        servico.reset();
    }
    fabrica->Release();
    return S_OK;
}

std::unique_ptr<grpc::Server> Exportador::Desliga() {
    m_parar = true;
    for (const int fd : m_ligacoes) ::shutdown(fd, SHUT_RD);
    if (m_acorda[1] >= 0) {
        const char c = 0;
        [[maybe_unused]] const auto n = ::write(m_acorda[1], &c, 1);
    }
    return std::move(m_servidor);
}

HRESULT Exportador::Retoma() {
    std::lock_guard lock(m_trava);
    if (m_classes.empty()) return S_OK;
    if (!m_servidor) {
        const HRESULT hr = IniciaServidor();
        if (FAILED(hr)) return hr;
    }
    for (auto& c : m_classes) {
        if (c.fdEscuta < 0) {
            const HRESULT hr = AbreSocket(c);
            if (FAILED(hr)) return hr;
        }
        c.suspensa = false;
    }
    const char c = 0;
    [[maybe_unused]] const auto n = ::write(m_acorda[1], &c, 1);
    return S_OK;
}

HRESULT Exportador::Suspende() {
    std::lock_guard lock(m_trava);
    for (auto& c : m_classes) c.suspensa = true;
    return S_OK;
}

EstadoExportador Exportador::Estado() {
    std::lock_guard lock(m_trava);
    EstadoExportador estado;
    estado.enderecos = m_enderecos;
    estado.sessoes = static_cast<std::uint32_t>(m_sessoes.size());
    estado.objetos = static_cast<std::uint32_t>(m_objetos.size());
    estado.suspenso = std::all_of(m_classes.begin(), m_classes.end(), [](const Classe& c) { return c.suspensa; });
    return estado;
}

HRESULT Exportador::IniciaServidor() {
    const ConfiguracaoAplicacao config = ConfiguracaoDaClasse(m_classes.front().clsid);
    grpc::ServerBuilder construtor;
    ConfiguraServidor(construtor);
    if (config.portaTcp != 0) {
        if (config.portaTcp > 65535) return E_INVALIDARG;
        std::shared_ptr<grpc::ServerCredentials> credenciais;
        if (NivelAutenticacaoProcesso() == RPC_C_AUTHN_LEVEL_NONE) {
            credenciais = grpc::InsecureServerCredentials();
        } else {
            auto opcoes = OpcoesTlsServidor(config);
            if (!opcoes) return HR_ERROR_FILE_NOT_FOUND;
            credenciais = grpc::SslServerCredentials(*opcoes);
        }
        construtor.AddListeningPort("[::]:" + std::to_string(config.portaTcp), credenciais);
        m_enderecos.push_back("tcp:" + std::to_string(config.portaTcp) +
                              (NivelAutenticacaoProcesso() == RPC_C_AUTHN_LEVEL_NONE ? "" : " (tls)"));
    }
    m_servico = std::make_unique<Servico>(*this);
    construtor.RegisterService(m_servico.get());
    m_servidor = construtor.BuildAndStart();
    if (!m_servidor) {
        m_servico.reset();
        m_enderecos.clear();
        return HR_RPC_S_SERVER_UNAVAILABLE;
    }
    if (m_acorda[0] < 0 && ::pipe2(m_acorda, O_CLOEXEC | O_NONBLOCK) != 0) return E_FAIL;
    m_parar = false;
    if (m_aceitacao.joinable()) m_aceitacao.join();
    m_aceitacao = std::thread([this] { LacoAceitacao(); });
    return S_OK;
}

HRESULT Exportador::AbreSocket(Classe& classe) {
    const std::filesystem::path dir = DiretorioRun();
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const ConfiguracaoAplicacao config = ConfiguracaoDaClasse(classe.clsid);
    // Other users reach the socket only when the application permits some;
    // their credentials are checked on every connection anyway.
    ::chmod(dir.c_str(), config.usuariosPermitidos.empty() ? 0700 : 0711);
    // Read once here: the accepting loop checks every connection against it.
    m_usuariosPermitidos = config.usuariosPermitidos;

    // One server per class: the ownership lock decides, and only its holder
    // may replace a socket file left behind by a server that died.
    const std::filesystem::path trava = TravaServidorDaClasse(classe.clsid);
    const int fdTrava = ::open(trava.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fdTrava < 0) return E_ACCESSDENIED;
    if (::flock(fdTrava, LOCK_EX | LOCK_NB) != 0) {
        ::close(fdTrava);
        return HR_ERROR_SERVICE_ALREADY_RUNNING;
    }
    if (::ftruncate(fdTrava, 0) == 0) {
        const std::string pid = std::to_string(::getpid()) + "\n";
        [[maybe_unused]] const auto n = ::pwrite(fdTrava, pid.data(), pid.size(), 0);
    }

    classe.socket = SocketDaClasse(classe.clsid);
    sockaddr_un endereco{};
    endereco.sun_family = AF_UNIX;
    if (classe.socket.native().size() >= sizeof endereco.sun_path) {
        ::close(fdTrava);
        return HR_ERROR_FILENAME_EXCED_RANGE;
    }
    std::memcpy(endereco.sun_path, classe.socket.c_str(), classe.socket.native().size() + 1);
    ::unlink(classe.socket.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&endereco), sizeof endereco) != 0 ||
        ::listen(fd, 64) != 0) {
        const int erro = errno;
        if (fd >= 0) ::close(fd);
        ::close(fdTrava);
        return erro == EACCES ? E_ACCESSDENIED : HR_ERROR_GEN_FAILURE;
    }
    ::chmod(classe.socket.c_str(), config.usuariosPermitidos.empty() ? 0600 : 0666);
    classe.fdTravaServidor = fdTrava;
    classe.fdEscuta = fd;
    m_enderecos.push_back("unix:" + classe.socket.string());
    return S_OK;
}

void Exportador::FechaSocket(Classe& classe) {
    if (classe.fdEscuta >= 0) {
        // The file goes before the lock, so that a successor's socket is
        // never removed by us.
        ::unlink(classe.socket.c_str());
        ::close(classe.fdEscuta);
        classe.fdEscuta = -1;
        std::erase(m_enderecos, "unix:" + classe.socket.string());
    }
    if (classe.fdTravaServidor >= 0) {
        ::close(classe.fdTravaServidor);
        classe.fdTravaServidor = -1;
    }
}

// Accepts connections on every class socket, checks who is calling and
// hands the connection to gRPC.
void Exportador::LacoAceitacao() {
    const uid_t proprio = ::geteuid();
    while (!m_parar) {
        std::vector<pollfd> fds;
        std::vector<uid_t> permitidos;
        grpc::Server* servidor = nullptr;
        {
            std::lock_guard lock(m_trava);
            fds.push_back({m_acorda[0], POLLIN, 0});
            for (const auto& c : m_classes)
                if (c.fdEscuta >= 0) fds.push_back({c.fdEscuta, POLLIN, 0});
            permitidos = m_usuariosPermitidos;
            servidor = m_servidor.get();
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents != 0) {
            char lixo[64];
            while (::read(m_acorda[0], lixo, sizeof lixo) > 0) {
            }
            continue;
        }
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if ((fds[i].revents & POLLIN) == 0) continue;
            std::lock_guard lock(m_trava);
            if (m_parar || servidor == nullptr) break;
            // The socket may have been closed meanwhile: accept only from one
            // that is still listed.
            if (std::none_of(m_classes.begin(), m_classes.end(), [&](const Classe& c) { return c.fdEscuta == fds[i].fd; }))
                continue;
            const int fd = ::accept4(fds[i].fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0) continue;
            ucred credencial{};
            socklen_t tamanho = sizeof credencial;
            const bool conhecido = ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credencial, &tamanho) == 0;
            const bool permitido = conhecido && (credencial.uid == proprio ||
                                                 std::find(permitidos.begin(), permitidos.end(), credencial.uid) !=
                                                     permitidos.end());
            if (!permitido || m_atendentes >= kMaximoLigacoesLocais) {
                ::close(fd);
                continue;
            }
            try {
                std::thread([this, fd, credencial] { Atende(fd, credencial); }).detach();
            } catch (const std::system_error&) {
                ::close(fd);
                continue;
            }
            m_usuarioPorFd[fd] = credencial.uid;
            m_ligacoes.insert(fd);
            ++m_atendentes;
        }
    }
}

// What a new connection speaks, from its first bytes: the local channel's
// preface (consumed), HTTP/2's client preface (left for gRPC), or neither.
enum class Protocolo { Nenhum, Local, Grpc };

Protocolo ProtocoloDe(int fd) {
    static constexpr std::string_view kHttp2{"PRI * HT"};
    static_assert(kHttp2.size() == quadros::kPrefacio.size());
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(kEsperaApresentacaoMs);
    char inicio[quadros::kPrefacio.size()];
    for (;;) {
        const auto resta =
            std::chrono::duration_cast<std::chrono::milliseconds>(limite - std::chrono::steady_clock::now()).count();
        if (resta <= 0) return Protocolo::Nenhum;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(resta)) < 0 && errno != EINTR) return Protocolo::Nenhum;
        const ssize_t n = ::recv(fd, inicio, sizeof inicio, MSG_PEEK);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return Protocolo::Nenhum;
        const std::string_view visto(inicio, static_cast<std::size_t>(n));
        if (visto == quadros::kPrefacio) {
            return ::recv(fd, inicio, sizeof inicio, 0) == n ? Protocolo::Local : Protocolo::Nenhum;
        }
        if (visto == kHttp2) return Protocolo::Grpc;
        if (!quadros::kPrefacio.starts_with(visto) && !kHttp2.starts_with(visto)) return Protocolo::Nenhum;
        // Part of a preface so far: the rest is on its way.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void Exportador::Atende(int fd, ucred credencial) {
    const Protocolo protocolo = ProtocoloDe(fd);
    if (protocolo == Protocolo::Local) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) AtendeLocal(fd, credencial);
    }
    std::lock_guard lock(m_trava);
    m_ligacoes.erase(fd);
    if (protocolo == Protocolo::Grpc && !m_parar && m_servidor)
        grpc::AddInsecureChannelFromFd(m_servidor.get(), fd);
    else
        ::close(fd);
    --m_atendentes;
    m_semAtendentes.notify_all();
}

// One local-channel connection: its first frame opens a session (the
// connection then only waits for its end) or joins one of the same process;
// then requests are served one after the other, each answered before the
// next is read. A frame that is not a request of the protocol ends the
// connection.
void Exportador::AtendeLocal(int fd, ucred credencial) {
    const pid_t processo = credencial.pid;
    // The service sees who calls (report destinations depend on it).
    const EscopoChamador escopo(Chamador{credencial.uid == ::geteuid() ? EOrigemChamador::UsuarioProprio
                                                                      : EOrigemChamador::OutroUsuario,
                                         credencial.uid});
    quadros::Tipo tipo{};
    std::string corpo;
    pb::PedidoSessao abertura;
    if (!quadros::RecebeQuadro(fd, &tipo, corpo, kMaximoQuadro, kEsperaApresentacaoMs) ||
        tipo != quadros::Tipo::Sessao || !abertura.ParseFromString(corpo))
        return;
    pb::EventoSessao evento;
    if (abertura.sessao() == 0) {
        const std::uint64_t sessao = NovaSessao(processo);
        evento.set_sessao(sessao);
        if (quadros::EnviaQuadro(fd, quadros::Tipo::Sessao, evento)) {
            // The client writes nothing more here: whatever comes, or the
            // end of the stream, ends the session.
            char c;
            while (::recv(fd, &c, 1, 0) < 0 && errno == EINTR) {
            }
        }
        EncerraSessao(sessao);
        return;
    }
    const std::uint64_t sessao = abertura.sessao();
    if (!SessaoDoProcesso(sessao, processo)) {
        (void)quadros::EnviaQuadro(fd, quadros::Tipo::Sessao, evento);  // sessao 0: refused
        return;
    }
    evento.set_sessao(sessao);
    if (!quadros::EnviaQuadro(fd, quadros::Tipo::Sessao, evento)) return;

    pb::PedidoChamada chamada;
    pb::RespostaChamada respostaChamada;
    while (quadros::RecebeQuadro(fd, &tipo, corpo, kMaximoQuadro)) {
        bool enviado = false;
        switch (tipo) {
            case quadros::Tipo::Chama: {
                if (!chamada.ParseFromString(corpo)) return;
                respostaChamada.Clear();
                Chama(sessao, chamada, &respostaChamada);
                enviado = quadros::EnviaQuadro(fd, tipo, respostaChamada);
                break;
            }
            case quadros::Tipo::Ativa: {
                pb::PedidoAtivacao pedido;
                pb::RespostaAtivacao resposta;
                if (!pedido.ParseFromString(corpo)) return;
                Ativa(sessao, pedido, &resposta);
                enviado = quadros::EnviaQuadro(fd, tipo, resposta);
                break;
            }
            case quadros::Tipo::Libera: {
                pb::PedidoLiberacao pedido;
                if (!pedido.ParseFromString(corpo)) return;
                Libera(sessao, pedido.objeto());
                enviado = quadros::EnviaQuadro(fd, tipo, pb::Vazio{});
                break;
            }
            case quadros::Tipo::Estado: {
                pb::EstadoServidor resposta;
                Estado(&resposta);
                enviado = quadros::EnviaQuadro(fd, tipo, resposta);
                break;
            }
            case quadros::Tipo::Eco:
                enviado = quadros::EnviaQuadro(fd, tipo, pb::Vazio{});
                break;
            default:
                return;
        }
        if (!enviado) return;
    }
}

// ---- Sessions and objects ------------------------------------------------------------

std::uint64_t Exportador::NovoIdentificador() {
    for (;;) {
        const std::uint64_t id = m_aleatorio();
        if (id != 0 && !m_objetos.contains(id) && !m_sessoes.contains(id)) return id;
    }
}

std::uint64_t Exportador::NovaSessao(pid_t dono) {
    std::lock_guard lock(m_trava);
    const std::uint64_t id = NovoIdentificador();
    m_sessoes.emplace(id, std::unordered_set<std::uint64_t>{});
    if (dono != 0) m_donosSessao.emplace(id, dono);
    return id;
}

bool Exportador::SessaoDoProcesso(std::uint64_t sessao, pid_t processo) {
    std::lock_guard lock(m_trava);
    auto it = m_donosSessao.find(sessao);
    return it != m_donosSessao.end() && it->second == processo;
}

void Exportador::EncerraSessao(std::uint64_t sessao) {
    std::vector<std::shared_ptr<Objeto>> liberar;
    {
        std::lock_guard lock(m_trava);
        auto it = m_sessoes.find(sessao);
        if (it == m_sessoes.end()) return;
        for (const std::uint64_t id : it->second) {
            if (auto o = m_objetos.find(id); o != m_objetos.end()) {
                liberar.push_back(std::move(o->second));
                m_objetos.erase(o);
            }
        }
        m_sessoes.erase(it);
        m_donosSessao.erase(sessao);
    }
    // The objects go outside the lock: their destruction runs service code.
    liberar.clear();
}

HRESULT Exportador::Ativa(std::uint64_t sessao, REFCLSID clsid, REFIID iid, std::uint64_t* objeto) {
    *objeto = 0;
    const InterfaceRemota* funcoes = InterfaceRemotaDe(iid);
    IClassFactory* fabrica = nullptr;
    {
        std::lock_guard lock(m_trava);
        if (!m_sessoes.contains(sessao)) return RPC_E_DISCONNECTED;
        auto it = std::find_if(m_classes.begin(), m_classes.end(), [&](const Classe& c) { return c.clsid == clsid; });
        if (it == m_classes.end()) return REGDB_E_CLASSNOTREG;
        if (it->suspensa) return CO_E_SERVER_STOPPING;
        if (funcoes == nullptr) return E_NOINTERFACE;
        fabrica = it->fabrica;
        fabrica->AddRef();
    }
    auto novo = std::make_shared<Objeto>();
    const HRESULT hr = fabrica->CreateInstance(nullptr, iid, reinterpret_cast<void**>(&novo->itf));
    fabrica->Release();
    if (FAILED(hr)) return hr;
    if (novo->itf == nullptr) return E_NOINTERFACE;
    novo->iid = iid;
    novo->funcoes = funcoes;
    novo->sessao = sessao;
    std::lock_guard lock(m_trava);
    auto s = m_sessoes.find(sessao);
    if (s == m_sessoes.end()) return RPC_E_DISCONNECTED;  // the client went away meanwhile
    const std::uint64_t id = NovoIdentificador();
    m_objetos.emplace(id, std::move(novo));
    s->second.insert(id);
    *objeto = id;
    return S_OK;
}

HRESULT Exportador::Chama(std::uint64_t sessao, std::uint64_t objeto, REFIID iid, ULONG slot, std::string_view entrada,
                          std::string& saida) {
    std::shared_ptr<Objeto> alvo;
    {
        std::lock_guard lock(m_trava);
        auto it = m_objetos.find(objeto);
        // An object is reached only from the session that created it.
        if (it == m_objetos.end() || it->second->sessao != sessao) return CO_E_OBJNOTCONNECTED;
        alvo = it->second;
    }
    // A proxy calls each method through the interface that declares it (a
    // base interface's methods through the base's IID): the object is asked
    // for that interface, as COM's stubs are made per interface.
    const InterfaceRemota* funcoes = alvo->funcoes;
    IUnknown* itf = alvo->itf;
    bool liberar = false;
    if (alvo->iid != iid) {
        funcoes = InterfaceRemotaDe(iid);
        if (funcoes == nullptr || FAILED(alvo->itf->QueryInterface(iid, reinterpret_cast<void**>(&itf))))
            return E_NOINTERFACE;
        liberar = true;
    }
    HRESULT hr;
    try {
        hr = funcoes->despacha(itf, slot, entrada, saida);
    } catch (...) {
        saida.clear();
        hr = RPC_E_SERVERFAULT;
    }
    if (liberar) itf->Release();
    return hr;
}

Chamador Exportador::ChamadorDe(const std::string& peer) {
    // Sockets accepted here are named "fd:<n>"; anything else came over TCP.
    if (peer.rfind("fd:", 0) != 0) return Chamador{EOrigemChamador::Tcp};
    int fd = -1;
    try {
        fd = std::stoi(peer.substr(3));
    } catch (...) {
        return Chamador{EOrigemChamador::OutroUsuario};
    }
    std::lock_guard lock(m_trava);
    const auto it = m_usuarioPorFd.find(fd);
    if (it == m_usuarioPorFd.end()) return Chamador{EOrigemChamador::OutroUsuario};
    return Chamador{it->second == ::geteuid() ? EOrigemChamador::UsuarioProprio : EOrigemChamador::OutroUsuario,
                    it->second};
}

void Exportador::Libera(std::uint64_t sessao, std::uint64_t objeto) {
    std::shared_ptr<Objeto> liberar;
    {
        std::lock_guard lock(m_trava);
        auto it = m_objetos.find(objeto);
        if (it == m_objetos.end() || it->second->sessao != sessao) return;
        liberar = std::move(it->second);
        m_objetos.erase(it);
        if (auto s = m_sessoes.find(sessao); s != m_sessoes.end()) s->second.erase(objeto);
    }
}

}  // namespace

void DefineSegurancaProcesso(DWORD nivelAutenticacao, DWORD) { g_nivelAutenticacao = nivelAutenticacao; }
DWORD NivelAutenticacaoProcesso() { return g_nivelAutenticacao; }

HRESULT RegistraClasseLocal(REFCLSID clsid, IUnknown* pUnk, DWORD flags, DWORD* cookie) {
    return Instancia().Registra(clsid, pUnk, flags, cookie);
}
HRESULT RevogaClasseLocal(DWORD cookie) { return Instancia().Revoga(cookie); }
HRESULT RetomaClassesLocais() { return Instancia().Retoma(); }
HRESULT SuspendeClassesLocais() { return Instancia().Suspende(); }
EstadoExportador EstadoDoExportador() { return Instancia().Estado(); }

}  // namespace zenta::rpc
