// The cost of reaching the service in its local server against reaching it
// in this process, measured in the same run:
//
//   RoundTrip/Grpc: one empty call and its answer on the connection the
//     proxy uses (the transport's floor);
//   KeepAlive/LocalServer and KeepAlive/InProc: the interface's cheapest
//     method through the out-of-process proxy and on the object itself;
//   LePlano/LocalServer and LePlano/InProc: reading a plan with three
//     maintenances (services, products with stock places) and two clients.
//
// The bench registers the `zenta` built next to it per user in a scratch
// $ZENTA_HOME and creates the out-of-process object with
// CLSCTX_LOCAL_SERVER, which starts it. Each object writes its plan into a
// company of its own, so that the two processes never open the same files.
// At the end it prints KeepAlive/LocalServer over RoundTrip/Grpc (the share
// of the proxy, messages and stub beyond the bare round trip; target within
// 1.5) and the out-of-process plan read over the in-process one, then ends
// the server.
#include <benchmark/benchmark.h>

#include "bench/RelatorTempos.h"

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include <zenta/zenta.h>

#include "access/erp/QVErpCadastros.h"
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
    IQVGE_ManutencaoPreventiva* local = nullptr;
    std::shared_ptr<zenta::rpc::Conexao> conexao;
    LONG planoRemoto = 0;
    LONG planoLocal = 0;
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
}

// Releases both objects and ends the server: SIGTERM, then SIGKILL if it
// has not gone within ten seconds.
void Encerra() {
    pid_t pid = 0;
    zenta::rpc::EstadoRemoto estado;
    if (g_ambiente.conexao && SUCCEEDED(g_ambiente.conexao->Estado(&estado))) pid = static_cast<pid_t>(estado.pid);
    g_ambiente.remoto->Release();
    g_ambiente.local->Release();
    g_ambiente.conexao.reset();
    CoUninitialize();
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    const auto limite = std::chrono::steady_clock::now() + 10s;
    while (::kill(pid, 0) == 0 && std::chrono::steady_clock::now() < limite) std::this_thread::sleep_for(20ms);
    if (::kill(pid, 0) == 0) ::kill(pid, SIGKILL);
}

void RoundTripGrpc(benchmark::State& state) {
    for (auto _ : state) {
        const HRESULT hr = g_ambiente.conexao->Eco();
        if (FAILED(hr)) state.SkipWithError("Eco failed");
    }
}

void KeepAlive(benchmark::State& state, bool fora) {
    IQVGE_ManutencaoPreventiva* servico = fora ? g_ambiente.remoto : g_ambiente.local;
    for (auto _ : state) {
        LONG ok = 0;
        if (FAILED(servico->KeepAlive(&ok)) || ok == 0) state.SkipWithError("KeepAlive failed");
        benchmark::DoNotOptimize(ok);
    }
}

void LePlano(benchmark::State& state, bool fora) {
    IQVGE_ManutencaoPreventiva* servico = fora ? g_ambiente.remoto : g_ambiente.local;
    const LONG posicao = fora ? g_ambiente.planoRemoto : g_ambiente.planoLocal;
    for (auto _ : state) {
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
        if (FAILED(servico->Le(posicao, &plano))) state.SkipWithError("Le failed");
        benchmark::DoNotOptimize(plano.listaManutencoes.pManutencoes);
        zenta::LiberaRegistro(plano);
    }
}

BENCHMARK(RoundTripGrpc)->Name("RoundTrip/Grpc")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(KeepAlive, LocalServer, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(KeepAlive, InProc, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LePlano, LocalServer, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LePlano, InProc, false)->Unit(benchmark::kMicrosecond);


}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Static: removed at exit, also when a step fails.
    static zenta::teste::ZentaHomeTemporario home;
    Prepara();

    zenta::bench::RelatorTempos relator;
    benchmark::RunSpecifiedBenchmarks(&relator);
    std::printf("\nRatios (same run):\n");
    relator.Razao("KeepAlive/LocalServer", "RoundTrip/Grpc", 1.5);
    relator.Razao("LePlano/LocalServer", "LePlano/InProc", 0);
    Encerra();
    benchmark::Shutdown();
    return 0;
}
