// zentactl against the local server: the built `zenta` registered per user
// in the scratch $ZENTA_HOME, started by a zentactl command, watched with
// `server status` while it idles and after it ended, and left alone by
// --inproc; and a workstation reaching a server on another machine.

#include <optional>

#include <nlohmann/json.hpp>

#include <zenta/zenta.h>

#include "platform/Registry.h"
#include "platform/rpc/QVEnderecos.h"
#include "support/Espera.h"
#include "support/Inicializacao.h"
#include "support/RegistroTeste.h"
#include "support/ServicoTeste.h"
#include "support/SmtpSink.h"
#include "support/ZentactlTeste.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using nlohmann::json;
using Resultado = zenta::teste::ResultadoZentactl;

// The server program is built next to zentactl.
fs::path Servidor() { return fs::path(ZENTACTL_PROGRAMA).parent_path() / "zenta"; }

class ZentactlServidor : public zenta::teste::ZentactlTeste {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(Servidor())) << Servidor();
        // The socket must be the scratch home's, whatever the environment says.
        if (const char* run = std::getenv("ZENTA_RUN_DIR")) m_runAnterior = run;
        ::unsetenv("ZENTA_RUN_DIR");
        // The installation's idle time-out, read by the server zentactl starts.
        zenta::teste::DefineRegistro("SOFTWARE\\Wow6432Node\\QV Sistemas", "TempoOciosoMs", DWORD{3000});
    }
    void TearDown() override {
        // No server outlives the test.
        const Resultado r = Executa({"server", "status", "--json"});
        const json estado = json::parse(r.saida, nullptr, false);
        if (r.status == 0 && !estado.is_discarded() && estado.contains("server"))
            ::kill(static_cast<pid_t>(estado["server"].value("pid", 0L)), SIGKILL);
        if (m_runAnterior) ::setenv("ZENTA_RUN_DIR", m_runAnterior->c_str(), 1);
    }
    int ExecutaServidor(const std::string& chave) {
        const std::string comando = zenta::teste::AspasShell(Servidor().string()) + " " + chave + " >/dev/null 2>&1";
        const int r = std::system(comando.c_str());
        return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
    }
    // `server status --json` until `condicao` holds or `limite` passes.
    Resultado EsperaEstado(const std::function<bool(const Resultado&)>& condicao, std::chrono::milliseconds limite) {
        const auto fim = std::chrono::steady_clock::now() + limite;
        for (;;) {
            Resultado r = Executa({"server", "status", "--json"});
            if (condicao(r) || std::chrono::steady_clock::now() >= fim) return r;
            std::this_thread::sleep_for(100ms);
        }
    }

    std::optional<std::string> m_runAnterior;
};

TEST_F(ZentactlServidor, StatusAcompanhaRegistroInicioPeloComandoOciosidadeEDesregistro) {
    const std::string socket = zenta::rpc::SocketDaClasse(CLSID_QVGE_ManutencaoPreventiva).string();

    Resultado r = Executa({"server", "status", "--json"});
    EXPECT_EQ(r.status, 4) << r.saida << r.erro;
    EXPECT_EQ(std::make_tuple(r.Json().at("registered"), r.Json().at("answers"), r.Json().at("socket")),
              std::make_tuple(json(false), json(false), json(socket)));

    ASSERT_EQ(ExecutaServidor("-RegServerPerUser"), 0);
    r = Executa({"server", "status"});
    EXPECT_EQ(r.status, 3) << r.saida << r.erro;
    EXPECT_THAT(r.saida, ::testing::HasSubstr("per user (HKCU)"));
    EXPECT_THAT(r.saida, ::testing::HasSubstr(Servidor().string()));
    EXPECT_THAT(r.saida, ::testing::HasSubstr("no (not running)"));
    EXPECT_EQ(r.saida.find("Pid"), std::string::npos) << r.saida;
    // Another day cannot travel to a server that verifies its own today: a
    // usage error, and nothing starts.
    EXPECT_EQ(Executa({"verify", "--data", "2030-01-10"}).status, 2);

    // --inproc keeps the service in zentactl's process: nothing starts.
    ExecutaOk({"--inproc", "--json", "properties", "show"});
    EXPECT_EQ(Executa({"server", "status"}).status, 3);

    // Without it the command starts the registered server and runs there.
    r = ExecutaOk({"--json", "properties", "set", "--file", "-"}, R"({"lQtdDiasAviso": 17})");
    EXPECT_EQ(r.Json().at("lQtdDiasAviso"), 17);
    // The server idles with the command's object and session gone; status's
    // own session is the one left.
    r = EsperaEstado(
        [](const Resultado& e) {
            return e.status == 0 && e.Json().at("server").at("objects") == 0 && e.Json().at("server").at("sessions") == 1;
        },
        2s);
    ASSERT_EQ(r.status, 0) << r.saida << r.erro;
    const json estado = r.Json();
    EXPECT_EQ(estado.at("registration"), "HKCU");
    EXPECT_EQ(fs::path(estado.at("registeredExecutable").get<std::string>()), Servidor());
    const json& servidor = estado.at("server");
    const auto pid = static_cast<pid_t>(servidor.at("pid").get<long>());
    EXPECT_GT(pid, 0);
    EXPECT_EQ(fs::path(servidor.at("executable").get<std::string>()), Servidor());
    EXPECT_EQ(std::make_tuple(servidor.at("endpoints"), servidor.at("objects"), servidor.at("sessions"),
                              servidor.at("suspended"), servidor.at("authenticationLevel")),
              std::make_tuple(json::array({"unix:" + socket}), json(0), json(1), json(false), json(6)));
    const Resultado pessoas = Executa({"server", "status"});
    EXPECT_EQ(pessoas.status, 0);
    EXPECT_THAT(pessoas.saida, ::testing::HasSubstr("Pid:"));
    EXPECT_THAT(pessoas.saida, ::testing::HasSubstr(std::to_string(pid)));
    EXPECT_THAT(pessoas.saida, ::testing::HasSubstr("6 (packet privacy)"));

    // Idle past its time-out the server ends and status says so again; what
    // it wrote is in the scratch home's files, where --inproc reads it.
    r = EsperaEstado([](const Resultado& e) { return e.status != 0; }, 20s);
    EXPECT_EQ(r.status, 3) << r.saida << r.erro;
    // The process itself goes shortly after its socket.
    EXPECT_TRUE(zenta::teste::EsperaAte([pid] { return ::kill(pid, 0) != 0; }, 5s));
    EXPECT_EQ(ExecutaOk({"--inproc", "--json", "properties", "show"}).Json().at("lQtdDiasAviso"), 17);
    EXPECT_EQ(Executa({"server", "status"}).status, 3);

    ASSERT_EQ(ExecutaServidor("-UnregServerPerUser"), 0);
    r = Executa({"server", "status", "--json"});
    EXPECT_EQ(r.status, 4) << r.saida << r.erro;
    EXPECT_EQ(r.Json().at("registered"), false);
}

// ---- A workstation: a client in a home of its own whose registry only names
// the server's machine (RemoteServerName) and its TLS client certificate
// reaches the server running in another home over TCP on the loopback,
// through CoCreateInstance and through zentactl, and its data land in the
// server's home.

constexpr const char* kAppId = "{F2EDA5F7-FAA9-4EB7-A1F6-B983E8BE1837}";

class ClienteRemoto : public zenta::teste::ZentactlTeste {
protected:
    void SetUp() override {
        const fs::path pki = m_home.Raiz() / "pki";
        fs::create_directories(pki);
        const std::string ssl = "cd " + zenta::teste::AspasShell(pki.string()) + " && ";
        ASSERT_EQ(std::system((ssl + "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=ca -keyout ca.key "
                                     "-out ca.pem >/dev/null 2>&1").c_str()), 0);
        for (const std::string nome : {"servidor", "cliente"})
            ASSERT_EQ(std::system((ssl + "openssl req -newkey rsa:2048 -nodes -subj /CN=localhost -keyout " + nome +
                                   ".key -out " + nome + ".csr >/dev/null 2>&1 && printf 'subjectAltName=DNS:localhost' > " +
                                   nome + ".ext && openssl x509 -req -in " + nome + ".csr -CA ca.pem -CAkey ca.key "
                                   "-CAcreateserial -days 2 -extfile " + nome + ".ext -out " + nome + ".pem >/dev/null 2>&1")
                                      .c_str()),
                      0);
        m_porta = zenta::teste::SmtpSink::PortaFechada();
        const std::string clsid = zenta::rpc::TextoGuid(CLSID_QVGE_ManutencaoPreventiva);

        // The server's home: its application key opens the TLS endpoint.
        fs::create_directories(m_servidor / "registry");
        char porta[16];
        std::snprintf(porta, sizeof porta, "%08x", static_cast<unsigned>(m_porta));
        std::ofstream(m_servidor / "registry" / "HKLM.reg")
            << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\" << clsid
            << "]\r\n\"AppID\"=\"" << kAppId << "\"\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\AppID\\" << kAppId
            << "]\r\n\"PortaTcp\"=dword:" << porta << "\r\n\"CertificadoTls\"=\"" << (pki / "servidor.pem").string()
            << "\"\r\n\"ChaveTls\"=\"" << (pki / "servidor.key").string() << "\"\r\n\"AutoridadeTls\"=\""
            << (pki / "ca.pem").string() << "\"\r\n";
        const fs::path programa = fs::path(ZENTACTL_PROGRAMA).parent_path() / "zenta";
        m_pid = ::fork();
        ASSERT_GE(m_pid, 0);
        if (m_pid == 0) {
            ::setenv("ZENTA_HOME", m_servidor.c_str(), 1);
            ::unsetenv("ZENTA_RUN_DIR");
            ::execl(programa.c_str(), programa.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }

        // The workstation's home (this test's): only the class's application,
        // the server's machine and the client certificate.
        zenta::teste::DefineRegistro("Software\\Classes\\CLSID\\" + clsid, "AppID", kAppId);
        const std::string app = std::string("Software\\Classes\\AppID\\") + kAppId;
        zenta::teste::DefineRegistro(app, "RemoteServerName", "localhost:" + std::to_string(m_porta));
        zenta::teste::DefineRegistro(app, "CertificadoClienteTls", (pki / "cliente.pem").string());
        zenta::teste::DefineRegistro(app, "ChaveClienteTls", (pki / "cliente.key").string());
        zenta::teste::DefineRegistro(app, "AutoridadeTls", (pki / "ca.pem").string());
    }
    void TearDown() override {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        std::error_code ec;
        fs::remove_all(m_servidor, ec);
    }

    int m_porta = 0;
    pid_t m_pid = -1;
    fs::path m_servidor = fs::path(m_home.Raiz().string() + "-servidor");
};

TEST_F(ClienteRemoto, RegistryAloneTakesCallsToTheServerOnTheOtherMachine) {
    {
        zenta::teste::ComEscopo com;
        IQVGE_ManutencaoPreventiva* servico = nullptr;
        // The server may still be starting.
        ASSERT_TRUE(zenta::teste::EsperaAte([&servico] {
            return CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_REMOTE_SERVER,
                                    IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&servico)) == S_OK;
        }, 15s));
        ASSERT_EQ(servico->Inicializa_Padrao(zenta::teste::RegistroInicializacao("REMOTA")), S_OK);
        _REG_CADASTRO_PROPRIEDADES_PS p{};
        ASSERT_EQ(servico->LePropriedades(&p), S_OK);
        p.lQtdDiasAviso = 9;
        EXPECT_EQ(servico->GravaPropriedades(p), S_OK);
        servico->Release();
        // CLSCTX_ALL goes there too, not to this process's own data.
        ASSERT_EQ(CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_ALL, IID_IQVGE_ManutencaoPreventiva,
                                   reinterpret_cast<void**>(&servico)),
                  S_OK);
        ASSERT_EQ(servico->Inicializa_Padrao(zenta::teste::RegistroInicializacao("REMOTA")), S_OK);
        p = {};
        ASSERT_EQ(servico->LePropriedades(&p), S_OK);
        EXPECT_EQ(p.lQtdDiasAviso, 9u);
        servico->Release();
    }
    EXPECT_TRUE(fs::exists(m_servidor / "data" / "REMOTA" / "GE"));
    EXPECT_FALSE(fs::exists(m_home.Raiz() / "data" / "REMOTA"));

    // zentactl alike, by the registry or by --servidor, and it says where calls go.
    ExecutaOk({"--empresa", "REMOTA2", "--json", "properties", "set", "--file", "-"}, R"({"lQtdDiasAviso": 4})");
    EXPECT_TRUE(fs::exists(m_servidor / "data" / "REMOTA2" / "GE"));
    Resultado r = ExecutaOk({"--servidor", "localhost:" + std::to_string(m_porta), "--empresa", "REMOTA2", "--json",
                             "properties", "show"});
    EXPECT_EQ(r.Json().at("lQtdDiasAviso"), 4);
    EXPECT_FALSE(fs::exists(m_home.Raiz() / "data" / "REMOTA2"));
    r = Executa({"--json", "server", "status"});
    EXPECT_EQ(r.Json().at("callsGoTo"), "remote") << r.saida;
    r = Executa({"server", "status"});
    EXPECT_THAT(r.saida, ::testing::HasSubstr("the server on localhost:" + std::to_string(m_porta) + " (RemoteServerName)"));
    r = Executa({"--inproc", "--json", "server", "status"});
    EXPECT_EQ(r.Json().at("callsGoTo"), "inproc") << r.saida;

    // A client on another machine writes no report where the server has no
    // report folder for it: neither over the server's own files nor anywhere else.
    const fs::path hive = m_servidor / "registry" / "HKLM.reg";
    const std::string hiveAntes = zenta::teste::LeArquivo(hive);
    for (const fs::path& destino : {hive, m_home.Raiz() / "fora.pdf"}) {
        r = Executa({"--empresa", "REMOTA2", "report", "plans", "--out", destino.string()});
        EXPECT_NE(r.status, 0) << destino;
        EXPECT_THAT(r.erro, ::testing::HasSubstr("E_ACCESSDENIED"));
    }
    EXPECT_EQ(zenta::teste::LeArquivo(hive), hiveAntes);
    EXPECT_FALSE(fs::exists(m_home.Raiz() / "fora.pdf"));
}

}  // namespace
