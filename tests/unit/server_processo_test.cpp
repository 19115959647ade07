// The local server as its clients meet it: a real `zenta` process,
// registered per user in a scratch $ZENTA_HOME, started by a client's
// CoCreateInstance, shared by clients in other processes, releasing the
// objects of a client that was killed, and ending on its own when idle.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <zenta/zenta.h>

#include "platform/Registry.h"
#include "platform/rpc/QVAtivacao.h"
#include "platform/rpc/QVEnderecos.h"
#include "support/BaseSistema.h"
#include "support/RegistroTeste.h"
#include "support/Espera.h"
#include "support/Inicializacao.h"
#include "support/ServicoTeste.h"
#include "support/ZentaHomeTemporario.h"

namespace {

using namespace std::chrono_literals;
using zenta::teste::EstadoServidor;
using zenta::teste::EsperaAte;
namespace fs = std::filesystem;

fs::path Executavel() {
    const char* bin = std::getenv("ZENTA_TEST_BIN");
    return fs::path(bin != nullptr ? bin : ".") / "zenta";
}

// A service object from the local server (or as `contexto` asks).
HRESULT CriaServico(IQVGE_ManutencaoPreventiva** p, DWORD contexto = CLSCTX_LOCAL_SERVER) {
    return CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, contexto, IID_IQVGE_ManutencaoPreventiva,
                            reinterpret_cast<void**>(p));
}

// The installation's idle time-out of the server (nullopt: the real one).
void DefineTempoOcioso(std::optional<DWORD> ms) {
    const std::string chave = "SOFTWARE\\Wow6432Node\\QV Sistemas";
    if (ms) zenta::teste::DefineRegistro(chave, "TempoOciosoMs", *ms);
    else zenta::teste::DefineRegistro(chave, "TempoOciosoMs", std::string());  // no DWORD: the real one
}

class ServidorLocal : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(Executavel())) << Executavel();
        // The server's idle time-out is short unless a test wants the real one.
        DefineTempoOcioso(1500);
    }
    void TearDown() override {
        // No server outlives its test.
        if (auto estado = EstadoServidor()) {
            ::kill(static_cast<pid_t>(estado->pid), SIGKILL);
        }
    }
    void Registra() {
        std::string saida;
        ASSERT_EQ(zenta::teste::ExecutaComando("'" + Executavel().string() + "' -RegServerPerUser", &saida), 0) << saida;
    }
    // The disabled test `nome` of the suite ServidorLocalCliente, as a client in its own process.
    static FILE* IniciaCliente(const std::string& nome) {
        return zenta::teste::IniciaTesteFilho("ServidorLocalCliente", nome);
    }
    static std::string TerminaCliente(FILE* f) {
        std::string texto;
        zenta::teste::TerminaComando(f, &texto);
        return texto;
    }

    zenta::teste::ZentaHomeTemporario m_home;
};

// A client's CoCreateInstance starts the server, which takes nothing of the
// client's environment but its home and pins none of its folders; calls run
// as in process; SIGTERM (with the real idle time-out, so that the signal
// ends it) takes the socket along and leaves the proxy a transport failure.
TEST_F(ServidorLocal, ClienteIniciaOServidorEChamaComoEmProcesso) {
    DefineTempoOcioso(std::nullopt);
    Registra();
    EXPECT_FALSE(EstadoServidor().has_value());
    const fs::path pastaCliente = m_home.Raiz() / "cliente";
    fs::create_directories(pastaCliente);
    const fs::path pastaAnterior = fs::current_path();
    fs::current_path(pastaCliente);
    ::setenv("ZENTA_OPERACOES_TESTE", "1", 1);
    ::setenv("ZENTA_VARIAVEL_DO_CLIENTE", "x", 1);
    zenta::teste::ComEscopo com;
    IQVGE_ManutencaoPreventiva* p = nullptr;
    const HRESULT hr = CriaServico(&p);
    ::unsetenv("ZENTA_OPERACOES_TESTE");
    ::unsetenv("ZENTA_VARIAVEL_DO_CLIENTE");
    fs::current_path(pastaAnterior);
    ASSERT_EQ(hr, S_OK);
    const auto estado = EstadoServidor();
    ASSERT_TRUE(estado.has_value());
    EXPECT_NE(estado->pid, static_cast<std::uint32_t>(::getpid()));
    EXPECT_EQ(fs::path(estado->executavel), Executavel());
    EXPECT_EQ(estado->objetos, 1u);
    const std::string proc = "/proc/" + std::to_string(estado->pid);
    std::set<std::string> nomes;
    std::string home;
    std::istringstream ambiente(zenta::teste::LeArquivo(proc + "/environ"));
    for (std::string variavel; std::getline(ambiente, variavel, '\0');) {
        const std::string nome = variavel.substr(0, variavel.find('='));
        if (nome.find("SAN_OPTIONS") == std::string::npos) nomes.insert(nome);
        if (nome == "ZENTA_HOME") home = variavel.substr(nome.size() + 1);
    }
    EXPECT_EQ(nomes, (std::set<std::string>{"HOME", "LANG", "LOGNAME", "PATH", "USER", "ZENTA_HOME", "ZENTA_RUN_DIR"}));
    EXPECT_EQ(fs::path(home), fs::absolute(m_home.Raiz()).lexically_normal());
    EXPECT_EQ(fs::read_symlink(proc + "/cwd"), fs::path("/"));

    LONG ok = 0;
    EXPECT_EQ(p->KeepAlive(&ok), S_OK);
    EXPECT_NE(ok, 0);
    ASSERT_EQ(p->Inicializa_Padrao(zenta::teste::RegistroInicializacao("DEMO")), S_OK);
    _REG_CADASTRO_PROPRIEDADES_PS propriedades{};
    EXPECT_EQ(p->LePropriedades(&propriedades), S_OK);
    // CLSCTX_ALL prefers the registered local server.
    IQVGE_ManutencaoPreventiva* segundo = nullptr;
    ASSERT_EQ(CriaServico(&segundo, CLSCTX_ALL), S_OK);
    EXPECT_EQ(EstadoServidor()->objetos, 2u);
    segundo->Release();
    EXPECT_TRUE(EsperaAte([] { auto e = EstadoServidor(); return e && e->objetos == 1; }, 5s));

    ASSERT_EQ(::kill(static_cast<pid_t>(estado->pid), SIGTERM), 0);
    EXPECT_TRUE(EsperaAte([&] { return ::kill(static_cast<pid_t>(estado->pid), 0) != 0; }, 10s));
    EXPECT_FALSE(fs::exists(zenta::rpc::SocketDaClasse(CLSID_QVGE_ManutencaoPreventiva)));
    const HRESULT falha = p->KeepAlive(&ok);
    EXPECT_TRUE(falha == HR_RPC_S_SERVER_UNAVAILABLE || falha == RPC_E_DISCONNECTED) << std::hex << falha;
    p->Release();
}

// Clients in processes of their own.
TEST(ServidorLocalCliente, DISABLED_CriaEImprimePid) {
    zenta::teste::ComEscopo com;
    IQVGE_ManutencaoPreventiva* p = nullptr;
    const HRESULT hr = CriaServico(&p);
    ASSERT_EQ(hr, S_OK);
    LONG ok = 0;
    ASSERT_EQ(p->KeepAlive(&ok), S_OK);
    std::shared_ptr<zenta::rpc::Conexao> conexao;
    ASSERT_EQ(zenta::rpc::ConexaoLocal(CLSID_QVGE_ManutencaoPreventiva, &conexao), S_OK);
    zenta::rpc::EstadoRemoto estado;
    ASSERT_EQ(conexao->Estado(&estado), S_OK);
    std::printf("pid=%u\n", estado.pid);
    std::fflush(stdout);
    std::this_thread::sleep_for(300ms);
    p->Release();
}

TEST(ServidorLocalCliente, DISABLED_CriaEMorre) {
    zenta::teste::ComEscopo com;
    IQVGE_ManutencaoPreventiva* p = nullptr;
    ASSERT_EQ(CriaServico(&p), S_OK);
    ASSERT_EQ(p->Inicializa_Padrao(zenta::teste::RegistroInicializacao("DEMO")), S_OK);
    std::printf("criado\n");
    std::fflush(stdout);
    ::kill(::getpid(), SIGKILL);
}

TEST_F(ServidorLocal, ClientesQueChegamJuntosEncontramUmSoServidor) {
    Registra();
    std::vector<FILE*> clientes;
    for (int i = 0; i < 4; ++i) clientes.push_back(IniciaCliente("CriaEImprimePid"));
    std::set<std::string> pids;
    for (FILE* f : clientes) {
        const std::string saida = TerminaCliente(f);
        const auto pos = saida.find("pid=");
        ASSERT_NE(pos, std::string::npos) << saida;
        pids.insert(saida.substr(pos, saida.find('\n', pos) - pos));
    }
    EXPECT_EQ(pids.size(), 1u);
}

TEST_F(ServidorLocal, ClienteMortoTemSeusObjetosLiberadosEOServidorTerminaOcioso) {
    Registra();
    const std::string saida = TerminaCliente(IniciaCliente("CriaEMorre"));
    ASSERT_NE(saida.find("criado"), std::string::npos) << saida;
    // The server noticed the client's end and released its object...
    std::optional<zenta::rpc::EstadoRemoto> estado;
    ASSERT_TRUE(EsperaAte([&] { estado = EstadoServidor(); return !estado || estado->objetos == 0; }, 10s));
    // ...and, idle, ends by itself and takes its socket along.
    EXPECT_TRUE(EsperaAte([] { return !EstadoServidor().has_value(); }, 15s));
    EXPECT_FALSE(fs::exists(zenta::rpc::SocketDaClasse(CLSID_QVGE_ManutencaoPreventiva)));
}

}  // namespace
