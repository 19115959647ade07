// A workstation: a client in a home of its own whose registry only names
// the server's machine (RemoteServerName) and its TLS client certificate
// reaches the server running in another home over TCP on the loopback,
// through CoCreateInstance and through zentactl, and its data land in the
// server's home.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <zenta/zenta.h>

#include "platform/Registry.h"
#include "platform/rpc/QVEnderecos.h"
#include "support/Inicializacao.h"
#include "support/RegistroTeste.h"
#include "support/ServicoTeste.h"
#include "support/SmtpSink.h"
#include "support/ZentactlTeste.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Resultado = zenta::teste::ResultadoZentactl;

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
        HRESULT hr = E_FAIL;
        // The server may still be starting.
        for (const auto fim = std::chrono::steady_clock::now() + 15s;
             FAILED(hr) && std::chrono::steady_clock::now() < fim; std::this_thread::sleep_for(100ms))
            hr = CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_REMOTE_SERVER,
                                  IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&servico));
        ASSERT_EQ(hr, S_OK);
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
    Resultado r = ExecutaOk({"--empresa", "REMOTA2", "--json", "properties", "set", "--file", "-"}, R"({"lQtdDiasAviso": 4})");
    EXPECT_TRUE(fs::exists(m_servidor / "data" / "REMOTA2" / "GE"));
    r = Executa({"--servidor", "localhost:" + std::to_string(m_porta), "--empresa", "REMOTA2", "--json", "properties",
                 "show"});
    ASSERT_EQ(r.status, 0) << r.erro;
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
