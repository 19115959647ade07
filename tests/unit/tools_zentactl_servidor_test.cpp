// zentactl against the local server: the built `zenta` registered per user
// in the scratch $ZENTA_HOME, started by a zentactl command, watched with
// `server status` while it idles and after it ended, and left alone by
// --inproc.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <thread>

#include <nlohmann/json.hpp>

#include <zenta/zenta.h>

#include "platform/Registry.h"
#include "platform/rpc/QVEnderecos.h"
#include "support/RegistroTeste.h"
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
    r = Executa({"--inproc", "--json", "properties", "show"});
    ASSERT_EQ(r.status, 0) << r.erro;
    EXPECT_EQ(Executa({"server", "status"}).status, 3);

    // Without it the command starts the registered server and runs there.
    r = Executa({"--json", "properties", "set", "--file", "-"}, R"({"lQtdDiasAviso": 17})");
    ASSERT_EQ(r.status, 0) << r.erro;
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
    const auto fim = std::chrono::steady_clock::now() + 5s;
    while (::kill(pid, 0) == 0 && std::chrono::steady_clock::now() < fim) std::this_thread::sleep_for(20ms);
    EXPECT_NE(::kill(pid, 0), 0);
    r = Executa({"--inproc", "--json", "properties", "show"});
    ASSERT_EQ(r.status, 0) << r.erro;
    EXPECT_EQ(r.Json().at("lQtdDiasAviso"), 17);
    EXPECT_EQ(Executa({"server", "status"}).status, 3);

    ASSERT_EQ(ExecutaServidor("-UnregServerPerUser"), 0);
    r = Executa({"server", "status", "--json"});
    EXPECT_EQ(r.status, 4) << r.saida << r.erro;
    EXPECT_EQ(r.Json().at("registered"), false);
}

}  // namespace
