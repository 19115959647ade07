// The cost of reaching the service in its local server against reaching it
// in this process and against the machine's floor, measured in the same run:
//
//   RoundTrip/UnixSocket/KeepAlive and .../LePlano: a bare request and
//     answer between this process and a child process over a Unix socket,
//     of the sizes the local channel puts on the socket for those calls
//     (the floor);
//   RoundTrip/Local and RoundTrip/Grpc: one empty call and its answer on the
//     local channel the proxy uses and on a gRPC connection to the same
//     socket;
//   KeepAlive/LocalServer, KeepAlive/Grpc and KeepAlive/InProc: the
//     interface's cheapest method through the out-of-process proxy on the
//     local channel, on gRPC, and on the object itself;
//   LePlano/...: reading a plan with three maintenances (services, products
//     with stock places) and two clients, the same three ways.
//
// The bench registers the `zenta` built next to it per user in a scratch
// $ZENTA_HOME and creates the out-of-process object with
// CLSCTX_LOCAL_SERVER, which starts it. Each object writes its plan into a
// company of its own, so that the two processes never open the same files.
// At the end it prints each local-channel call over the bare socket round
// trip of its size (limit 3), the gRPC calls over the local channel's and
// the out-of-process plan read over the in-process one, then ends the
// server.
#include <benchmark/benchmark.h>

#include "bench/RelatorTempos.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <grpcpp/grpcpp.h>
#include <nlohmann/json.hpp>

#include <zenta/zenta.h>

#include "standins/erp/QVErpCadastros.h"
#include "platform/rpc/QVAtivacao.h"
#include "server/QVJsonRegistros.h"
#include "support/Inicializacao.h"
#include "support/ZentaHomeTemporario.h"
#include "tools/zentactl/DadosDemo.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kEmpresaServidor = "REMOTO";
constexpr const char* kEmpresaLocal = "LOCAL";

[[noreturn]] void Falha(const char* passo, HRESULT hr) {
    std::fprintf(stderr, "bench_remoto: %s failed: 0x%08X\n", passo, static_cast<unsigned>(hr));
    std::exit(1);
}
void Confere(HRESULT hr, const char* passo) {
    if (FAILED(hr)) Falha(passo, hr);
}

// What the benchmarks call, built once by main.
struct Ambiente {
    IQVGE_ManutencaoPreventiva* remoto = nullptr;
    IQVGE_ManutencaoPreventiva* grpc = nullptr;  // in the same server, over gRPC
    IQVGE_ManutencaoPreventiva* local = nullptr;
    std::shared_ptr<zenta::rpc::Conexao> conexao;
    std::shared_ptr<zenta::rpc::Conexao> conexaoGrpc;
    LONG planoRemoto = 0;
    LONG planoLocal = 0;
    int fdEco = -1;  // the bare socket to the child process
    pid_t pidEco = 0;
};
Ambiente g_ambiente;

// The demo's lathe plan with the compressor's maintenance added and the
// pump's client: three maintenances with their services and products, two
// clients.
nlohmann::json PlanoDeTeste() {
    const auto planos = zenta::ctl::demo::Planos();
    nlohmann::json plano = nlohmann::json::parse(planos[0]);
    const nlohmann::json compressor = nlohmann::json::parse(planos[1]);
    const nlohmann::json bomba = nlohmann::json::parse(planos[2]);
    for (const auto& m : compressor.at("listaManutencoes").at("pManutencoes"))
        plano["listaManutencoes"]["pManutencoes"].push_back(m);
    for (const auto& c : bomba.at("listaClientes").at("pClientes")) plano["listaClientes"]["pClientes"].push_back(c);
    return plano;
}

// Master data and the plan for one company, through `servico`; answers the
// plan's position.
LONG PreparaEmpresa(IQVGE_ManutencaoPreventiva* servico, const char* empresa) {
    zenta::ResumoImportacaoErp resumo;
    std::string erro;
    if (FAILED(zenta::ImportaCadastrosErp(empresa, nlohmann::json::parse(zenta::ctl::demo::kCadastrosErp), resumo,
                                          erro))) {
        std::fprintf(stderr, "bench_remoto: master data of %s: %s\n", empresa, erro.c_str());
        std::exit(1);
    }
    Confere(servico->Inicializa_Padrao(zenta::teste::RegistroInicializacao(empresa)), "Inicializa_Padrao");
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    if (FAILED(zenta::JsonParaRegistro(PlanoDeTeste(), plano, erro))) {
        std::fprintf(stderr, "bench_remoto: plan: %s\n", erro.c_str());
        std::exit(1);
    }
    LONG posicao = 0;
    const HRESULT hr = servico->Grava(&posicao, plano);
    zenta::LiberaRegistro(plano);
    Confere(hr, "Grava");
    // The plan as read must hold what was written.
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS lido{};
    Confere(servico->Le(posicao, &lido), "Le");
    if (lido.listaManutencoes.lQtdManutencoes != 3 || lido.listaClientes.lQtdClientes != 2) {
        std::fprintf(stderr, "bench_remoto: the plan of %s came back with %u maintenances and %u clients\n", empresa,
                     static_cast<unsigned>(lido.listaManutencoes.lQtdManutencoes),
                     static_cast<unsigned>(lido.listaClientes.lQtdClientes));
        std::exit(1);
    }
    zenta::LiberaRegistro(lido);
    return posicao;
}

// The floor: a child process answering, on a Unix socket, each request of
// [u32 request size][u32 answer size][request size - 8 bytes] with as many
// bytes as asked for, over a socket pair. Forked before anything starts
// threads.
void IniciaEco() {
    int par[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, par) != 0) Falha("socketpair", E_FAIL);
    const pid_t pid = ::fork();
    if (pid < 0) Falha("fork", E_FAIL);
    if (pid == 0) {
        // A session of its own, as the activated server has: the scheduler
        // then treats the two servers alike.
        ::setsid();
        ::close(par[0]);
        const int fd = par[1];
        std::string buffer;
        auto recebe = [fd](char* p, std::size_t n) {
            while (n > 0) {
                const ssize_t r = ::recv(fd, p, n, 0);
                if (r <= 0) return false;
                p += r;
                n -= static_cast<std::size_t>(r);
            }
            return true;
        };
        for (;;) {
            std::uint32_t tamanhos[2];
            if (!recebe(reinterpret_cast<char*>(tamanhos), sizeof tamanhos)) ::_exit(0);
            buffer.resize(std::max<std::size_t>({tamanhos[0], tamanhos[1], 8}));
            if (!recebe(buffer.data(), tamanhos[0] - 8)) ::_exit(0);
            if (::send(fd, buffer.data(), tamanhos[1], MSG_NOSIGNAL) != static_cast<ssize_t>(tamanhos[1])) ::_exit(0);
        }
    }
    ::close(par[1]);
    g_ambiente.fdEco = par[0];
    g_ambiente.pidEco = pid;
}

void Prepara() {
    ::unsetenv("ZENTA_RUN_DIR");
    const fs::path servidor = fs::read_symlink("/proc/self/exe").parent_path() / "zenta";
    if (!fs::exists(servidor)) {
        std::fprintf(stderr, "bench_remoto: %s not found (the bench preset builds it)\n", servidor.c_str());
        std::exit(1);
    }
    const std::string registra = "'" + servidor.string() + "' -RegServerPerUser";
    const int status = std::system(registra.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_remoto: %s failed\n", registra.c_str());
        std::exit(1);
    }
    Confere(CoInitializeEx(nullptr, COINIT_MULTITHREADED), "CoInitializeEx");
    Confere(CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_LOCAL_SERVER,
                             IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&g_ambiente.remoto)),
            "CoCreateInstance (local server)");
    Confere(CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&g_ambiente.local)),
            "CoCreateInstance (in process)");
    // The proxy's own connection: the cache hands it back while the proxy
    // keeps it alive.
    Confere(zenta::rpc::ConexaoLocal(CLSID_QVGE_ManutencaoPreventiva, &g_ambiente.conexao), "ConexaoLocal");
    zenta::rpc::EstadoRemoto estado;
    Confere(g_ambiente.conexao->Estado(&estado), "Estado");
    if (estado.objetos != 1) {
        std::fprintf(stderr, "bench_remoto: the server holds %u objects, not the proxy's one\n", estado.objetos);
        std::exit(1);
    }
    g_ambiente.planoRemoto = PreparaEmpresa(g_ambiente.remoto, kEmpresaServidor);
    g_ambiente.planoLocal = PreparaEmpresa(g_ambiente.local, kEmpresaLocal);

    // A second object in the same server, over gRPC on the same socket.
    const std::string alvo = "unix:" + zenta::rpc::SocketDaClasse(CLSID_QVGE_ManutencaoPreventiva).string();
    Confere(zenta::rpc::Conexao::AbreGrpc(alvo, grpc::InsecureChannelCredentials(), 5s, &g_ambiente.conexaoGrpc),
            "Conexao::AbreGrpc");
    Confere(g_ambiente.conexaoGrpc->CriaObjeto(CLSID_QVGE_ManutencaoPreventiva, IID_IQVGE_ManutencaoPreventiva,
                                               reinterpret_cast<void**>(&g_ambiente.grpc)),
            "CriaObjeto (gRPC)");
    Confere(g_ambiente.grpc->Inicializa_Padrao(zenta::teste::RegistroInicializacao(kEmpresaServidor)),
            "Inicializa_Padrao (gRPC)");
}

// The bytes one call puts on the local socket and takes off it.
std::pair<std::uint32_t, std::uint32_t> TamanhosDe(const std::function<void()>& chamada) {
    const auto antes = g_ambiente.conexao->Trafego();
    chamada();
    const auto depois = g_ambiente.conexao->Trafego();
    return {static_cast<std::uint32_t>(depois.enviados - antes.enviados),
            static_cast<std::uint32_t>(depois.recebidos - antes.recebidos)};
}

// Releases both objects and ends the server: SIGTERM, then SIGKILL if it
// has not gone within ten seconds.
void Encerra() {
    pid_t pid = 0;
    zenta::rpc::EstadoRemoto estado;
    if (g_ambiente.conexao && SUCCEEDED(g_ambiente.conexao->Estado(&estado))) pid = static_cast<pid_t>(estado.pid);
    g_ambiente.remoto->Release();
    g_ambiente.grpc->Release();
    g_ambiente.local->Release();
    g_ambiente.conexao.reset();
    g_ambiente.conexaoGrpc.reset();
    ::close(g_ambiente.fdEco);
    ::waitpid(g_ambiente.pidEco, nullptr, 0);
    CoUninitialize();
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    const auto limite = std::chrono::steady_clock::now() + 10s;
    while (::kill(pid, 0) == 0 && std::chrono::steady_clock::now() < limite) std::this_thread::sleep_for(20ms);
    if (::kill(pid, 0) == 0) ::kill(pid, SIGKILL);
}

void RoundTripSocket(benchmark::State& state, std::uint32_t pedido, std::uint32_t resposta) {
    std::string saida(std::max<std::uint32_t>(pedido, 8), '\0');
    std::memcpy(saida.data(), &pedido, 4);
    std::memcpy(saida.data() + 4, &resposta, 4);
    std::string entrada(resposta, '\0');
    for (auto _ : state) {
        bool ok = ::send(g_ambiente.fdEco, saida.data(), saida.size(), MSG_NOSIGNAL) ==
                  static_cast<ssize_t>(saida.size());
        for (std::size_t lidos = 0; ok && lidos < resposta;) {
            const ssize_t r = ::recv(g_ambiente.fdEco, entrada.data() + lidos, resposta - lidos, 0);
            ok = r > 0;
            lidos += static_cast<std::size_t>(std::max<ssize_t>(r, 0));
        }
        if (!ok) state.SkipWithError("bare socket failed");
    }
}

void RoundTrip(benchmark::State& state, bool grpc) {
    zenta::rpc::Conexao& conexao = grpc ? *g_ambiente.conexaoGrpc : *g_ambiente.conexao;
    for (auto _ : state) {
        const HRESULT hr = conexao.Eco();
        if (FAILED(hr)) state.SkipWithError("Eco failed");
    }
}

enum class Via { LocalServer, Grpc, InProc };

IQVGE_ManutencaoPreventiva* ServicoPor(Via via) {
    return via == Via::LocalServer ? g_ambiente.remoto : via == Via::Grpc ? g_ambiente.grpc : g_ambiente.local;
}

void KeepAlive(benchmark::State& state, Via via) {
    IQVGE_ManutencaoPreventiva* servico = ServicoPor(via);
    for (auto _ : state) {
        LONG ok = 0;
        if (FAILED(servico->KeepAlive(&ok)) || ok == 0) state.SkipWithError("KeepAlive failed");
        benchmark::DoNotOptimize(ok);
    }
}

void LePlano(benchmark::State& state, Via via) {
    IQVGE_ManutencaoPreventiva* servico = ServicoPor(via);
    const LONG posicao = via == Via::InProc ? g_ambiente.planoLocal : g_ambiente.planoRemoto;
    for (auto _ : state) {
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
        if (FAILED(servico->Le(posicao, &plano))) state.SkipWithError("Le failed");
        benchmark::DoNotOptimize(plano.listaManutencoes.pManutencoes);
        zenta::LiberaRegistro(plano);
    }
}

// Registered once the sizes of the calls are known.
void RegistraBenchmarks() {
    const auto keepAlive = TamanhosDe([] {
        LONG ok = 0;
        Confere(g_ambiente.remoto->KeepAlive(&ok), "KeepAlive");
    });
    const auto le = TamanhosDe([] {
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
        Confere(g_ambiente.remoto->Le(g_ambiente.planoRemoto, &plano), "Le");
        zenta::LiberaRegistro(plano);
    });
    std::printf("Local channel bytes per call (request/answer): KeepAlive %u/%u, Le %u/%u\n", keepAlive.first,
                keepAlive.second, le.first, le.second);
    const auto us = benchmark::kMicrosecond;
    benchmark::RegisterBenchmark("RoundTrip/UnixSocket/KeepAlive", RoundTripSocket, keepAlive.first, keepAlive.second)
        ->Unit(us);
    benchmark::RegisterBenchmark("RoundTrip/UnixSocket/LePlano", RoundTripSocket, le.first, le.second)->Unit(us);
    benchmark::RegisterBenchmark("RoundTrip/Local", RoundTrip, false)->Unit(us);
    benchmark::RegisterBenchmark("RoundTrip/Grpc", RoundTrip, true)->Unit(us);
    benchmark::RegisterBenchmark("KeepAlive/LocalServer", KeepAlive, Via::LocalServer)->Unit(us);
    benchmark::RegisterBenchmark("KeepAlive/Grpc", KeepAlive, Via::Grpc)->Unit(us);
    benchmark::RegisterBenchmark("KeepAlive/InProc", KeepAlive, Via::InProc)->Unit(us);
    benchmark::RegisterBenchmark("LePlano/LocalServer", LePlano, Via::LocalServer)->Unit(us);
    benchmark::RegisterBenchmark("LePlano/Grpc", LePlano, Via::Grpc)->Unit(us);
    benchmark::RegisterBenchmark("LePlano/InProc", LePlano, Via::InProc)->Unit(us);
}


}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Static: removed at exit, also when a step fails.
    static zenta::teste::ZentaHomeTemporario home;
    IniciaEco();
    Prepara();
    RegistraBenchmarks();

    zenta::bench::RelatorTempos relator;
    benchmark::RunSpecifiedBenchmarks(&relator);
    std::printf("\nRatios (same run):\n");
    relator.Razao("KeepAlive/LocalServer", "RoundTrip/UnixSocket/KeepAlive", 3);
    relator.Razao("LePlano/LocalServer", "RoundTrip/UnixSocket/LePlano", 3);
    relator.Razao("RoundTrip/Grpc", "RoundTrip/Local", 0);
    relator.Razao("KeepAlive/Grpc", "KeepAlive/LocalServer", 0);
    relator.Razao("LePlano/Grpc", "LePlano/LocalServer", 0);
    relator.Razao("LePlano/LocalServer", "LePlano/InProc", 0);
    Encerra();
    benchmark::Shutdown();
    return 0;
}
