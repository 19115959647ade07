// The object transport with a small interface of the test's own: activation
// through a class offered by this process, calls, releases, sessions that end
// with their client, suspension, and who may connect.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/file.h>

#include <cerrno>

#include <zenta/ObjBase.h>

#include <grpcpp/grpcpp.h>

#include "platform/rpc/QVAtivacao.h"
#include "platform/rpc/QVEnderecos.h"
#include "platform/rpc/QVExportador.h"
#include "platform/rpc/QVInterfaceRemota.h"
#include "platform/rpc/QVQuadros.h"
#include "support/BaseSistema.h"
#include "support/RegistroTeste.h"
#include "support/Espera.h"
#include "support/ServicoTeste.h"
#include "support/ZentaHomeTemporario.h"

namespace {

using namespace std::chrono_literals;
using zenta::teste::EsperaAte;

// {0E8F1B52-6C1D-4B7A-9E43-2D5C7A1F0B11}
constexpr CLSID CLSID_TesteEco = {0x0e8f1b52, 0x6c1d, 0x4b7a, {0x9e, 0x43, 0x2d, 0x5c, 0x7a, 0x1f, 0x0b, 0x11}};
// {5B2E7C90-1A3D-4F6E-8B21-9C0D4E7A3F22}
constexpr IID IID_ITesteEco = {0x5b2e7c90, 0x1a3d, 0x4f6e, {0x8b, 0x21, 0x9c, 0x0d, 0x4e, 0x7a, 0x3f, 0x22}};

struct ITesteEco : IUnknown {
    // Answers `texto` reversed; E_FAIL for "falha".
    virtual HRESULT STDMETHODCALLTYPE Inverte(const std::string& texto, std::string* resultado) = 0;
    virtual HRESULT STDMETHODCALLTYPE Pid(LONG* pid) = 0;

protected:
    ~ITesteEco() = default;
};

std::atomic<int> g_vivos{0};

// The reference count and the two interfaces the object and its proxy answer.
class UnknownEco : public ITesteEco {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid != IID_IUnknown && riid != IID_ITesteEco) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<ITesteEco*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = --m_cRef;
        if (n == 0) delete this;
        return n;
    }

protected:
    explicit UnknownEco(ULONG referencias) : m_cRef(referencias) {}
    virtual ~UnknownEco() = default;

private:
    std::atomic<ULONG> m_cRef;
};

class CTesteEco final : public UnknownEco {
public:
    CTesteEco() : UnknownEco(0) { ++g_vivos; }
    ~CTesteEco() override { --g_vivos; }
    HRESULT STDMETHODCALLTYPE Inverte(const std::string& texto, std::string* resultado) override {
        if (texto == "falha") return E_FAIL;
        resultado->assign(texto.rbegin(), texto.rend());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Pid(LONG* pid) override {
        *pid = static_cast<LONG>(::getpid());
        return S_OK;
    }
};

class CProxyTesteEco final : public UnknownEco {
public:
    explicit CProxyTesteEco(std::shared_ptr<zenta::rpc::CanalObjeto> canal) : UnknownEco(1), m_canal(std::move(canal)) {}
    HRESULT STDMETHODCALLTYPE Inverte(const std::string& texto, std::string* resultado) override {
        return m_canal->Chama(IID_ITesteEco, 3, texto, *resultado);
    }
    HRESULT STDMETHODCALLTYPE Pid(LONG* pid) override {
        std::string saida;
        const HRESULT hr = m_canal->Chama(IID_ITesteEco, 4, {}, saida);
        if (SUCCEEDED(hr) && saida.size() == sizeof(LONG)) std::memcpy(pid, saida.data(), sizeof(LONG));
        return hr;
    }

private:
    std::shared_ptr<zenta::rpc::CanalObjeto> m_canal;
};

HRESULT CriaProxyTesteEco(std::shared_ptr<zenta::rpc::CanalObjeto> canal, REFIID iid, void** ppv) {
    if (iid != IID_ITesteEco && iid != IID_IUnknown) return E_NOINTERFACE;
    *ppv = static_cast<ITesteEco*>(new CProxyTesteEco(std::move(canal)));
    return S_OK;
}

HRESULT DespachaTesteEco(IUnknown* objeto, ULONG slot, std::string_view entrada, std::string& saida) {
    auto* eco = static_cast<ITesteEco*>(objeto);
    if (slot == 3) return eco->Inverte(std::string(entrada), &saida);
    if (slot == 4) {
        LONG pid = 0;
        const HRESULT hr = eco->Pid(&pid);
        saida.assign(reinterpret_cast<const char*>(&pid), sizeof pid);
        return hr;
    }
    return HR_RPC_X_BAD_STUB_DATA;
}

class CFabricaTesteEco final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_cRef; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override {
        if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
        auto* objeto = new CTesteEco;
        objeto->AddRef();
        const HRESULT hr = objeto->QueryInterface(riid, ppv);
        objeto->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    ULONG Referencias() const { return m_cRef; }

private:
    std::atomic<ULONG> m_cRef{1};
};

const bool g_registrada = [] {
    zenta::rpc::RegistraInterfaceRemota(IID_ITesteEco, {&CriaProxyTesteEco, &DespachaTesteEco});
    return true;
}();

HRESULT CriaEco(ITesteEco** eco) {
    return CoCreateInstance(CLSID_TesteEco, nullptr, CLSCTX_LOCAL_SERVER, IID_ITesteEco, reinterpret_cast<void**>(eco));
}

// This process offers the test class for the length of a test.
class Transporte : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoRegisterClassObject(CLSID_TesteEco, &m_fabrica, CLSCTX_LOCAL_SERVER,
                                        REGCLS_MULTIPLEUSE | REGCLS_SUSPENDED, &m_cookie),
                  S_OK);
    }
    void TearDown() override {
        if (m_cookie != 0) {
            EXPECT_EQ(CoRevokeClassObject(m_cookie), S_OK);
        }
        EXPECT_EQ(g_vivos.load(), 0);
        EXPECT_EQ(m_fabrica.Referencias(), 1u);
    }
    ITesteEco* Cria(HRESULT esperado = S_OK) {
        ITesteEco* p = nullptr;
        EXPECT_EQ(CriaEco(&p), esperado);
        return p;
    }
    // The disabled test `nome` of the suite TransporteFilho, as a client in its own process.
    static int ExecutaFilho(const std::string& nome, std::string* saida) {
        return zenta::teste::TerminaComando(zenta::teste::IniciaTesteFilho("TransporteFilho", nome), saida);
    }

    zenta::teste::ZentaHomeTemporario m_home;
    zenta::teste::ComEscopo m_com;
    CFabricaTesteEco m_fabrica;
    DWORD m_cookie = 0;
};

TEST_F(Transporte, ClasseSuspensaNaoEOferecidaEDepoisChamadasVaoEVoltamDeVariasThreads) {
    // Suspended: no socket yet and nothing registered, so no local server.
    EXPECT_EQ(Cria(REGDB_E_CLASSNOTREG), nullptr);
    ASSERT_EQ(CoResumeClassObjects(), S_OK);
    EXPECT_TRUE(std::filesystem::is_socket(zenta::rpc::SocketDaClasse(CLSID_TesteEco)));
    EXPECT_EQ(std::filesystem::status(zenta::rpc::DiretorioRun()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    // One server per class: another process (here: a second registration in
    // this one) cannot take the class while the first serves it.
    CFabricaTesteEco outra;
    DWORD cookie = 0;
    EXPECT_EQ(CoRegisterClassObject(CLSID_TesteEco, &outra, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie),
              CO_E_OBJISREG);
    const int fd = ::open(zenta::rpc::TravaServidorDaClasse(CLSID_TesteEco).c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);

    ITesteEco* eco = Cria();
    ASSERT_NE(eco, nullptr);
    std::string resultado;
    const std::string longo = std::string("abc\0def", 7) + std::string(100000, 'x');
    EXPECT_EQ(eco->Inverte(longo, &resultado), S_OK);
    EXPECT_EQ(resultado, std::string(longo.rbegin(), longo.rend()));
    EXPECT_EQ(eco->Inverte("falha", &resultado), E_FAIL);
    // Calls from several threads on the same proxy each get their own answer.
    std::atomic<int> erros{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                const std::string texto = std::to_string(t) + ":" + std::to_string(i);
                std::string r;
                if (eco->Inverte(texto, &r) != S_OK || r != std::string(texto.rbegin(), texto.rend())) ++erros;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(erros.load(), 0);
    EXPECT_EQ(zenta::rpc::EstadoDoExportador().objetos, 1u);
    EXPECT_EQ(g_vivos.load(), 1);

    // QueryInterface stays in the proxy; the last Release ends the object.
    IUnknown* unk = nullptr;
    ASSERT_EQ(eco->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unk)), S_OK);
    EXPECT_EQ(eco->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&unk)), E_NOINTERFACE);
    eco->Release();
    EXPECT_EQ(g_vivos.load(), 1);
    eco->Release();
    EXPECT_TRUE(EsperaAte([] { return g_vivos == 0; }));
    EXPECT_EQ(zenta::rpc::EstadoDoExportador().objetos, 0u);
}

TEST_F(Transporte, SuspensaoRecusaNovosObjetosEMantemOsQueJaSairam) {
    ASSERT_EQ(CoResumeClassObjects(), S_OK);
    ITesteEco* eco = Cria();
    ASSERT_NE(eco, nullptr);
    ASSERT_EQ(CoSuspendClassObjects(), S_OK);
    zenta::rpc::DefineEsperaInicioServidor(300ms);
    EXPECT_EQ(Cria(CO_E_SERVER_STOPPING), nullptr);
    zenta::rpc::DefineEsperaInicioServidor(30s);
    LONG pid = 0;
    EXPECT_EQ(eco->Pid(&pid), S_OK);
    EXPECT_EQ(pid, ::getpid());
    eco->Release();

    // Revoking the class closes its socket: a proxy left over fails cleanly.
    ASSERT_EQ(CoResumeClassObjects(), S_OK);
    eco = Cria();
    ASSERT_NE(eco, nullptr);
    EXPECT_EQ(CoRevokeClassObject(m_cookie), S_OK);
    m_cookie = 0;
    EXPECT_FALSE(std::filesystem::exists(zenta::rpc::SocketDaClasse(CLSID_TesteEco)));
    EXPECT_EQ(g_vivos.load(), 0);
    EXPECT_NE(eco->Pid(&pid), S_OK);
    eco->Release();
}

TEST_F(Transporte, ObjetoSoEAlcancadoPelaSessaoQueOCriou) {
    ASSERT_EQ(CoResumeClassObjects(), S_OK);
    const std::string alvo = "unix:" + zenta::rpc::SocketDaClasse(CLSID_TesteEco).string();
    // The same socket serves the local channel and gRPC clients alike.
    for (const auto abre : {&zenta::rpc::Conexao::Abre, &zenta::rpc::Conexao::AbreGrpc}) {
        std::shared_ptr<zenta::rpc::Conexao> a, b;
        ASSERT_EQ(abre(alvo, grpc::InsecureChannelCredentials(), 5s, &a), S_OK);
        ASSERT_EQ(abre(alvo, grpc::InsecureChannelCredentials(), 5s, &b), S_OK);
        EXPECT_EQ(zenta::rpc::EstadoDoExportador().sessoes, 2u);
        ITesteEco* eco = nullptr;
        ASSERT_EQ(a->CriaObjeto(CLSID_TesteEco, IID_ITesteEco, reinterpret_cast<void**>(&eco)), S_OK);
        EXPECT_EQ(g_vivos.load(), 1);
        // Object identifiers are random and tied to their session: guessing
        // another client's objects gets nowhere, nor do unknown interfaces.
        std::string saida;
        for (std::uint64_t id = 0; id < 64; ++id)
            EXPECT_EQ(b->Chama(id, IID_ITesteEco, 3, "x", saida), CO_E_OBJNOTCONNECTED);
        void* outro = nullptr;
        EXPECT_EQ(a->CriaObjeto(CLSID_TesteEco, IID_IClassFactory, &outro), E_NOINTERFACE);
        EXPECT_EQ(b->CriaObjeto(IID_ITesteEco, IID_ITesteEco, &outro), REGDB_E_CLASSNOTREG);
        EXPECT_EQ(a->Eco(), S_OK);
        zenta::rpc::EstadoRemoto estado;
        ASSERT_EQ(a->Estado(&estado), S_OK);
        EXPECT_EQ(estado.pid, static_cast<std::uint32_t>(::getpid()));
        EXPECT_EQ(estado.objetos, 1u);
        eco->Release();
        EXPECT_EQ(g_vivos.load(), 0);
        b.reset();
        EXPECT_TRUE(EsperaAte([] { return zenta::rpc::EstadoDoExportador().sessoes == 1; }));
        a.reset();
        EXPECT_TRUE(EsperaAte([] { return zenta::rpc::EstadoDoExportador().sessoes == 0; }));
    }
}

using zenta::teste::DefineRegistro;

// Raw bytes on the class's socket, as a hostile local client sends them.
int ConectaBruto() {
    const std::string caminho = zenta::rpc::SocketDaClasse(CLSID_TesteEco).string();
    sockaddr_un endereco{};
    endereco.sun_family = AF_UNIX;
    std::memcpy(endereco.sun_path, caminho.c_str(), caminho.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&endereco), sizeof endereco), 0);
    return fd;
}

std::string Quadro(std::uint32_t tamanho, std::uint8_t tipo, std::string corpo = {}, std::uint8_t filler = 0) {
    std::string q(8, '\0');
    std::memcpy(q.data(), &tamanho, 4);
    q[4] = static_cast<char>(tipo);
    q[5] = static_cast<char>(filler);
    return q + corpo;
}

TEST_F(Transporte, CanalLocalFechaALigacaoDeQuemFogeDoProtocolo) {
    ASSERT_EQ(CoResumeClassObjects(), S_OK);
    ITesteEco* eco = Cria();
    ASSERT_NE(eco, nullptr);
    const std::string prefacio{zenta::rpc::quadros::kPrefacio};
    // A session id no one was given: 8 bytes of field 1 (fixed64).
    const std::string sessaoAlheia = std::string("\x09", 1) + "ABCDEFGH";
    const struct {
        const char* caso;
        std::string bytes;
    } casos[] = {
        {"another preface", std::string("GET / HTTP/1.1\r\n\r\n")},
        {"a call before the session", prefacio + Quadro(0, 3)},
        {"more than the limit", prefacio + Quadro(0xFFFFFFF0u, 1)},
        {"a filler that is not zero", prefacio + Quadro(0, 1, {}, 7)},
        {"an unknown kind", prefacio + Quadro(0, 99)},
        {"a message that does not parse", prefacio + Quadro(3, 1, "\xff\xff\xff")},
        {"joining a session never given", prefacio + Quadro(9, 1, sessaoAlheia) + Quadro(0, 6)},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        const int fd = ConectaBruto();
        ASSERT_EQ(::send(fd, c.bytes.data(), c.bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(c.bytes.size()));
        // The server closes the connection; a refused join is told so first
        // (session 0: an empty message) and gets no answer to its call.
        const timeval espera{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &espera, sizeof espera);
        std::string resposta;
        char buffer[64];
        ssize_t n;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) resposta.append(buffer, static_cast<std::size_t>(n));
        // Closed, not timed out (closing with bytes left unread resets).
        EXPECT_TRUE(n == 0 || errno == ECONNRESET) << "the connection was left open";
        EXPECT_TRUE(resposta.empty() || resposta == Quadro(0, 1)) << resposta.size();
        ::close(fd);
    }
    // Nothing of what was there is lost.
    std::string resultado;
    EXPECT_EQ(eco->Inverte("ok", &resultado), S_OK);
    EXPECT_EQ(resultado, "ko");
    EXPECT_EQ(zenta::rpc::EstadoDoExportador().sessoes, 1u);
    eco->Release();
}

// The client side of the tests below, in a process of its own.
TEST(TransporteFilho, DISABLED_CriaEMorre) {
    zenta::teste::ComEscopo com;
    ITesteEco* eco = nullptr;
    ASSERT_EQ(CriaEco(&eco), S_OK);
    ITesteEco* segundo = nullptr;
    ASSERT_EQ(CriaEco(&segundo), S_OK);
    std::printf("criados\n");
    std::fflush(stdout);
    ::kill(::getpid(), SIGKILL);  // no Release, no clean exit
}

TEST(TransporteFilho, DISABLED_OutroUsuario) {
    ASSERT_EQ(::setgid(65534), 0);
    ASSERT_EQ(::setuid(65534), 0);
    zenta::teste::ComEscopo com;
    zenta::rpc::DefineEsperaInicioServidor(1s);
    ITesteEco* eco = nullptr;
    const HRESULT hr = CriaEco(&eco);
    std::printf("hr=%08X\n", static_cast<unsigned>(hr));
    if (eco != nullptr) eco->Release();
}

TEST_F(Transporte, ClienteQueMorreTemSeusObjetosLiberados) {
    ASSERT_EQ(CoResumeClassObjects(), S_OK);
    std::string saida;
    ExecutaFilho("CriaEMorre", &saida);
    EXPECT_NE(saida.find("criados"), std::string::npos) << saida;
    EXPECT_TRUE(EsperaAte([] { return g_vivos == 0 && zenta::rpc::EstadoDoExportador().sessoes == 0; }))
        << g_vivos.load();
}

TEST_F(Transporte, SoOProprioUsuarioEOsPermitidosConectam) {
    if (::geteuid() != 0) GTEST_SKIP() << "changing users needs root";
    ASSERT_EQ(CoResumeClassObjects(), S_OK);
    // Every file the other user needs is open to it, so that only the check
    // of who connects stands in its way.
    namespace fs = std::filesystem;
    auto abre = [&] {
        fs::permissions(m_home.Raiz(), fs::perms::others_exec, fs::perm_options::add);
        fs::create_directories(m_home.Raiz() / "registry");
        fs::permissions(m_home.Raiz() / "registry", fs::perms::others_exec | fs::perms::others_read,
                        fs::perm_options::add);
        for (const auto& f : fs::directory_iterator(m_home.Raiz() / "registry"))
            fs::permissions(f.path(), fs::perms::others_read, fs::perm_options::add);
        fs::permissions(zenta::rpc::DiretorioRun(), fs::perms::others_exec, fs::perm_options::add);
        fs::permissions(zenta::rpc::SocketDaClasse(CLSID_TesteEco), fs::perms::all, fs::perm_options::add);
    };
    abre();
    std::string saida;
    ExecutaFilho("OutroUsuario", &saida);
    EXPECT_NE(saida.find("hr=800706BA"), std::string::npos) << saida;
    EXPECT_EQ(g_vivos.load(), 0);

    // Permitted by the application's key: the socket opens to that user.
    ASSERT_EQ(CoRevokeClassObject(m_cookie), S_OK);
    m_cookie = 0;
    const std::string appid = "{11111111-2222-3333-4444-555555555555}";
    DefineRegistro("Software\\Classes\\CLSID\\" + zenta::rpc::TextoGuid(CLSID_TesteEco), "AppID", appid);
    DefineRegistro("Software\\Classes\\AppID\\" + appid, "UsuariosPermitidos", "65534");
    ASSERT_EQ(CoRegisterClassObject(CLSID_TesteEco, &m_fabrica, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &m_cookie),
              S_OK);
    abre();
    ExecutaFilho("OutroUsuario", &saida);
    EXPECT_NE(saida.find("hr=00000000"), std::string::npos) << saida;
}

// A TCP port nothing listens on at the moment.
int PortaLivre() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in endereco{};
    endereco.sin_family = AF_INET;
    endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&endereco), sizeof endereco);
    socklen_t tamanho = sizeof endereco;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&endereco), &tamanho);
    ::close(fd);
    return ntohs(endereco.sin_port);
}

// Creates the object on "another machine" (this one, over TCP) as
// CoCreateInstanceEx does with a machine name.
HRESULT CriaRemoto(const std::string& maquina, ITesteEco** eco) {
    std::u16string nome(maquina.begin(), maquina.end());
    COSERVERINFO servidor{0, nome.data(), nullptr, 0};
    MULTI_QI qi{&IID_ITesteEco, nullptr, S_OK};
    const HRESULT hr = CoCreateInstanceEx(CLSID_TesteEco, nullptr, CLSCTX_REMOTE_SERVER, &servidor, 1, &qi);
    *eco = static_cast<ITesteEco*>(static_cast<void*>(qi.pItf));
    return hr;
}

TEST_F(Transporte, OutrasMaquinasPorTcpComTlsEClientesComCertificado) {
    namespace fs = std::filesystem;
    const fs::path pki = m_home.Raiz() / "pki";
    fs::create_directories(pki);
    // An authority, the server's certificate for localhost and a client's.
    const auto ssl = [&](const std::string& comando) {
        return std::system(("cd '" + pki.string() + "' && " + comando + " >/dev/null 2>&1").c_str());
    };
    const auto autoridade = [&](const std::string& nome) {
        return ssl("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=" + nome + " -keyout " + nome +
                   ".key -out " + nome + ".pem");
    };
    ASSERT_EQ(autoridade("ca"), 0);
    for (const std::string nome : {"servidor", "cliente"}) {
        ASSERT_EQ(ssl("openssl req -newkey rsa:2048 -nodes -subj /CN=localhost -keyout " + nome + ".key -out " + nome +
                      ".csr && printf 'subjectAltName=DNS:localhost' > " + nome + ".ext && openssl x509 -req -in " +
                      nome + ".csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile " + nome + ".ext -out " +
                      nome + ".pem"),
                  0);
    }
    ASSERT_EQ(CoRevokeClassObject(m_cookie), S_OK);
    m_cookie = 0;
    const int porta = PortaLivre();
    const std::string appid = "{11111111-2222-3333-4444-555555555555}";
    DefineRegistro("Software\\Classes\\CLSID\\" + zenta::rpc::TextoGuid(CLSID_TesteEco), "AppID", appid);
    const std::string chave = "Software\\Classes\\AppID\\" + appid;
    DefineRegistro(chave, "PortaTcp", static_cast<DWORD>(porta));
    DefineRegistro(chave, "CertificadoTls", (pki / "servidor.pem").string());
    DefineRegistro(chave, "ChaveTls", (pki / "servidor.key").string());
    DefineRegistro(chave, "AutoridadeTls", (pki / "ca.pem").string());
    ASSERT_EQ(CoRegisterClassObject(CLSID_TesteEco, &m_fabrica, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &m_cookie),
              S_OK);
    const auto enderecos = zenta::rpc::EstadoDoExportador().enderecos;
    EXPECT_NE(std::find(enderecos.begin(), enderecos.end(), "tcp:" + std::to_string(porta) + " (tls)"),
              enderecos.end());

    // Without a client certificate the client does not even try.
    const std::string maquina = "localhost:" + std::to_string(porta);
    ITesteEco* eco = nullptr;
    EXPECT_EQ(CriaRemoto(maquina, &eco), E_ACCESSDENIED);
    // With one the authority signed, calls go and come back.
    const auto certificadoCliente = [&](const std::string& nome) {
        DefineRegistro(chave, "CertificadoClienteTls", (pki / (nome + ".pem")).string());
        DefineRegistro(chave, "ChaveClienteTls", (pki / (nome + ".key")).string());
    };
    certificadoCliente("cliente");
    ASSERT_EQ(CriaRemoto(maquina, &eco), S_OK);
    std::string resultado;
    EXPECT_EQ(eco->Inverte("tls", &resultado), S_OK);
    EXPECT_EQ(resultado, "slt");
    eco->Release();
    // A certificate of another authority is refused by the server.
    ASSERT_EQ(autoridade("outro"), 0);
    certificadoCliente("outro");
    EXPECT_EQ(CriaRemoto(maquina, &eco), HR_RPC_S_SERVER_UNAVAILABLE);
    EXPECT_EQ(g_vivos.load(), 0);
    // Names that are no host names are refused before anything is tried.
    EXPECT_EQ(CriaRemoto("a b", &eco), E_INVALIDARG);
}

}  // namespace
