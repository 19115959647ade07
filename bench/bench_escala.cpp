// Whole operations of the service, called through its interface in this
// process, on a small company (1,000 orders over two years) and on a large
// one (100,000 orders over ten years; plans, readings and texts in
// proportion, see EmpresaEscala.h), both in the same run: a company grows in
// records and in months of history. At the end each operation's large/small ratio is printed
// against the limit 1.5, from wall-clock and from CPU time: an operation whose
// cost grows with the company shows a ratio far above it.
//
// Operations that write add to the company as they run: they run a fixed
// number of iterations, so that the small company stays small. The daily
// verification reads every plan, so it is compared per plan verified; the
// reports print one plan or one order each.
//
// `bench_escala --inicio` measures instead the start-up of a company of
// 100,000 and of 1,000,000 orders over ten years of month files: the first
// session of a day (compaction, load, indexes, verification), a later session
// while the company is open, and the resident memory against the size of the
// company's files.
#include <benchmark/benchmark.h>

#include "bench/EmpresaEscala.h"
#include "bench/RelatorTempos.h"

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "platform/CodePage.h"
#include "support/ZentaHomeTemporario.h"

namespace {

namespace fs = std::filesystem;
using zenta::bench::Confere;
using zenta::bench::Empresa;
using zenta::bench::Falha;

struct Aberta {
    Empresa empresa;
    IQVGE_ManutencaoPreventiva* sessao = nullptr;  // keeps the company loaded
};
std::map<std::string, Aberta>& Abertas() {
    static std::map<std::string, Aberta> abertas;
    return abertas;
}

fs::path Home() {
    static zenta::teste::ZentaHomeTemporario home;
    return home.Raiz();
}

void ImportaCadastros(const std::string& empresa) {
    zenta::ResumoImportacaoErp resumo;
    std::string erro;
    if (FAILED(zenta::ImportaCadastrosErp(empresa, nlohmann::json::parse(zenta::ctl::demo::kCadastrosErp), resumo,
                                          erro))) {
        std::fprintf(stderr, "bench_escala: master data of %s: %s\n", empresa.c_str(), erro.c_str());
        std::exit(1);
    }
}

fs::path DiretorioDados(const std::string& empresa) {
    fs::path dir;
    Confere(zenta::CQVDataBaseUtil::GetPathDados(zenta::QV_MODULO_GE, empresa, dir), "GetPathDados");
    return dir;
}

// Opens company `nome` with `planos` plans (saved through the service, or
// copied from company `modelo` when it is given) and adds `ordens` orders
// over `meses` months.
void AbreEmpresa(const std::string& nome, ULONG planos, ULONG ordens, int meses, const std::string& modelo = {}) {
    ImportaCadastros(nome);
    const auto inicio = std::chrono::steady_clock::now();
    if (!modelo.empty()) {
        const fs::path de = DiretorioDados(modelo), para = DiretorioDados(nome);
        fs::create_directories(para.parent_path());
        fs::remove_all(para);
        fs::copy(de, para, fs::copy_options::recursive);
    }
    IQVGE_ManutencaoPreventiva* s = zenta::bench::NovaSessao(nome);
    if (modelo.empty()) zenta::bench::GravaPlanos(s, planos);
    Aberta a;
    a.empresa = zenta::bench::AcrescentaOrdens(nome, ordens, meses);
    a.sessao = s;
    const std::chrono::duration<double> d = std::chrono::steady_clock::now() - inicio;
    std::printf("%s: %u orders, %zu plans built in %.1f s\n", nome.c_str(), ordens, a.empresa.planos.size(), d.count());
    Abertas()[nome] = std::move(a);
}

// A fixed walk over the company's records: the same sequence for both sizes,
// spread over the whole file.
struct Passo {
    std::size_t i = 0;
    std::size_t Proximo(std::size_t n) { return (i++ * 7919u + 13u) % n; }
};

// ---- Orders ------------------------------------------------------------------------------

// The order documents: bare (no products, services or texts), or full (two
// products, one with two stock places, two services, both texts, a product
// and a service flagged for purchase).
constexpr std::string_view kOrdemSimples = R"json({
  "lSituacao": 0, "lCliente": 101, "lTecnico": 7, "lFilial": 1, "dataPrevista": "2026-04-05",
  "lEquipamento": 1001, "lMarca": 1, "lModelo": 10, "lTipo": 1
})json";
constexpr std::string_view kOrdemCompleta = R"json({
  "lSituacao": 0, "lCliente": 101, "lTecnico": 7, "lFilial": 1, "dataPrevista": "2026-04-05",
  "lEquipamento": 1001, "lMarca": 1, "lModelo": 10, "lTipo": 1,
  "horaDuracao": "4", "szParadaManutencao": "Parada de 4 horas",
  "bsObservacao": "Verificar folgas do barramento e lubrificação.",
  "bsOcorrencia": "Ruído no cabeçote ao partir.",
  "listaServicos": {"pServicos": [{"lServico": 1, "lTecnico": 7, "vQuantidadePrevista": "4"},
                                  {"lServico": 2, "lTecnico": 7, "vQuantidadePrevista": "1", "bGerarSolicitacaoCompras": 1}]},
  "listaProdutos": {"pProdutos": [
    {"lProduto": 502, "lTecnico": 7, "vQuantidadePrevista": "1",
     "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 1, "vQuantidadeEs": "1"}]}},
    {"lProduto": 501, "lTecnico": 7, "vQuantidadePrevista": "12.5", "bGerarSolicitacaoCompras": 1,
     "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 1, "vQuantidadeEs": "10"},
                                       {"lPonteiroLocal": 2, "vQuantidadeEs": "2.5"}]}}
  ]}
})json";

_REG_MOVIMENTACAO_MANUT_PREV_PS OrdemDe(std::string_view documento) {
    _REG_MOVIMENTACAO_MANUT_PREV_PS o{};
    std::string erro;
    if (FAILED(zenta::JsonParaRegistro(nlohmann::json::parse(documento), o, erro))) {
        std::fprintf(stderr, "bench_escala: order: %s\n", erro.c_str());
        std::exit(1);
    }
    return o;
}

void GravaOrdemCom(benchmark::State& state, const char* empresa, bool bCompleta) {
    Aberta& a = Abertas().at(empresa);
    _REG_MOVIMENTACAO_MANUT_PREV_PS o = OrdemDe(bCompleta ? kOrdemCompleta : kOrdemSimples);
    Passo passo;
    for (auto _ : state) {
        const std::size_t m = passo.Proximo(a.empresa.codigos.size());
        o.dmcChave = 0;
        o.lCodigoManutencao = a.empresa.codigos[m];
        o.lPonteiroCadastro = static_cast<ULONG>(a.empresa.planos[m / 2]);
        ULONGLONG chave = 0;
        Confere(a.sessao->GravaMovimentacao(o, &chave), "GravaMovimentacao");
    }
    zenta::LiberaRegistro(o);
}
void GravaOrdemSimples(benchmark::State& state, const char* empresa) { GravaOrdemCom(state, empresa, false); }
void GravaOrdemCompleta(benchmark::State& state, const char* empresa) { GravaOrdemCom(state, empresa, true); }

// Saves an existing order again with a new observation (status open).
void RegravaOrdem(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    Passo passo;
    for (auto _ : state) {
        const ULONGLONG chave = a.empresa.ordens[passo.Proximo(a.empresa.ordens.size())];
        _REG_MOVIMENTACAO_MANUT_PREV_PS o{};
        Confere(a.sessao->LeMovimentacao(chave, &o), "LeMovimentacao");
        SysFreeString(o.bsObservacao);
        o.bsObservacao = zenta::Cp1252ParaBstr("Revisada de novo.");
        o.lSituacao = 0;
        ULONGLONG gravada = 0;
        Confere(a.sessao->GravaMovimentacao(o, &gravada), "GravaMovimentacao");
        zenta::LiberaRegistro(o);
    }
}

void LeOrdem(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    Passo passo;
    for (auto _ : state) {
        _REG_MOVIMENTACAO_MANUT_PREV_PS o{};
        Confere(a.sessao->LeMovimentacao(a.empresa.ordens[passo.Proximo(a.empresa.ordens.size())], &o),
                "LeMovimentacao");
        benchmark::DoNotOptimize(o.listaProdutos.pProdutos);
        zenta::LiberaRegistro(o);
    }
}

// Finds one order by its key (the filter a client uses to pick an order).
void BuscaOrdemPelaChave(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    Passo passo;
    for (auto _ : state) {
        const ULONGLONG chave = a.empresa.ordens[passo.Proximo(a.empresa.ordens.size())];
        _REG_MOVIMENTACAO_FILTRO_PS filtro{};
        filtro.lTipoIdentificacao = 2;
        std::memcpy(&filtro.dmcMovimentacao, &chave, sizeof chave);
        _REG_LISTA_PONTEIROS_DATA_PS ponteiros{};
        Confere(a.sessao->BuscaPonteirosMovimentacao(filtro, &ponteiros), "BuscaPonteirosMovimentacao");
        if (ponteiros.lQtdPonteiros != 1) Falha("BuscaPonteirosMovimentacao (quantidade)", E_UNEXPECTED);
        _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS ordens{};
        Confere(a.sessao->BuscaRegistrosMovimentacao(ponteiros, &ordens), "BuscaRegistrosMovimentacao");
        zenta::LiberaRegistro(ordens);
        zenta::LiberaRegistro(ponteiros);
    }
}

// The orders of one maintenance (five in both companies).
void BuscaOrdensDaManutencao(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    Passo passo;
    for (auto _ : state) {
        _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS ordens{};
        Confere(a.sessao->BuscaMovimentosPelaManutencao(a.empresa.codigos[passo.Proximo(a.empresa.codigos.size())],
                                                        &ordens),
                "BuscaMovimentosPelaManutencao");
        zenta::LiberaRegistro(ordens);
    }
}

// ---- Plans and readings --------------------------------------------------------------------

void RegravaPlano(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    Passo passo;
    for (auto _ : state) {
        LONG posicao = a.empresa.planos[passo.Proximo(a.empresa.planos.size())];
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
        Confere(a.sessao->Le(posicao, &plano), "Le");
        plano.idEquipamentoPS.lFilial = plano.idEquipamentoPS.lFilial == 1 ? 2 : 1;
        Confere(a.sessao->Grava(&posicao, plano), "Grava");
        zenta::LiberaRegistro(plano);
    }
}

void LePlano(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    Passo passo;
    for (auto _ : state) {
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
        Confere(a.sessao->Le(a.empresa.planos[passo.Proximo(a.empresa.planos.size())], &plano), "Le");
        benchmark::DoNotOptimize(plano.listaManutencoes.pManutencoes);
        zenta::LiberaRegistro(plano);
    }
}

// A reading of a plan's meter, kept in the history, with its plans verified.
void GravaMedicao(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    Passo passo;
    LONGLONG valor = 2'000;
    for (auto _ : state) {
        const std::size_t plano = passo.Proximo(a.empresa.planos.size());
        _REG_CADASTRO_MEDICAO_ATUAL_PS m{};
        _REG_CADASTRO_HISTORICO_MEDICOES_PS& r = m.regMedicaoAtual;
        r.lEquipamento = 1001;
        r.lMarca = 1;
        r.lModelo = 10;
        r.lTipo = 1;
        std::snprintf(r.szNrSerie, sizeof r.szNrSerie, "%s", zenta::bench::Serie(plano).c_str());
        r.vQuantidadeMedicao.int64 = (++valor) * 10'000;
        r.lQtdCasasDecimais = 1;
        r.cMedicaoAtiva = 1;
        Confere(a.sessao->GravaMedicaoAtual(&m, TRUE, TRUE), "GravaMedicaoAtual");
    }
}

// ---- Sessions and the daily verification ------------------------------------------------------

// A session of a company that is open and verified today: create, initialise, release.
void InicioSessao(benchmark::State& state, const char* empresa) {
    for (auto _ : state) {
        IQVGE_ManutencaoPreventiva* s = zenta::bench::NovaSessao(empresa, 43);
        s->Release();
    }
}

// The first session of a day: it verifies every plan. Compared per plan.
void VerificacaoDiaria(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    for (auto _ : state) {
        state.PauseTiming();
        zenta::bench::DiaVerificado(a.sessao, 0);
        state.ResumeTiming();
        IQVGE_ManutencaoPreventiva* s = zenta::bench::NovaSessao(empresa, 44);
        s->Release();
    }
    state.counters["plans"] = static_cast<double>(a.empresa.planos.size());
}

// ---- Reports ------------------------------------------------------------------------------

std::string ArquivoRelatorio(const char* empresa, const char* nome) {
    return (Home() / (std::string(empresa) + "-" + nome + ".pdf")).string();
}

void RelatorioPlano(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    const std::string arquivo = ArquivoRelatorio(empresa, "plano");
    Passo passo;
    for (auto _ : state) {
        _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS r{};
        r.filtro.lTipoIdentificacao = 2;
        r.filtro.lPonteiroRegistro = static_cast<ULONG>(a.empresa.planos[passo.Proximo(a.empresa.planos.size())]);
        r.bsArquivoTemp = zenta::Cp1252ParaBstr(arquivo);
        const HRESULT hr = a.sessao->GeraRelatorioCadastro(r);
        SysFreeString(r.bsArquivoTemp);
        Confere(hr, "GeraRelatorioCadastro");
    }
}

void RelatorioOrdem(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    const std::string arquivo = ArquivoRelatorio(empresa, "ordem");
    Passo passo;
    for (auto _ : state) {
        const ULONGLONG chave = a.empresa.ordens[passo.Proximo(a.empresa.ordens.size())];
        _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS r{};
        r.filtro.lTipoIdentificacao = 2;
        std::memcpy(&r.filtro.dmcMovimentacao, &chave, sizeof chave);
        r.bsArquivoTemp = zenta::Cp1252ParaBstr(arquivo);
        const HRESULT hr = a.sessao->GeraRelatorioMovimentacao(r);
        SysFreeString(r.bsArquivoTemp);
        Confere(hr, "GeraRelatorioMovimentacao");
    }
}

constexpr const char* kPequena = "ESCALA1K";
constexpr const char* kGrande = "ESCALA100K";

// Writes run a fixed count; reads run for their minimum time.
constexpr int kIteracoesEscrita = 400;

#define ESCALA(funcao, ...)                                                                                  \
    BENCHMARK_CAPTURE(funcao, 1k, kPequena __VA_OPT__(, ) __VA_ARGS__)->Unit(benchmark::kMicrosecond);       \
    BENCHMARK_CAPTURE(funcao, 100k, kGrande __VA_OPT__(, ) __VA_ARGS__)->Unit(benchmark::kMicrosecond)
#define ESCALA_ESCRITA(funcao, ...)                                                                           \
    BENCHMARK_CAPTURE(funcao, 1k, kPequena __VA_OPT__(, ) __VA_ARGS__)                                        \
        ->Unit(benchmark::kMicrosecond)                                                                       \
        ->Iterations(kIteracoesEscrita);                                                                      \
    BENCHMARK_CAPTURE(funcao, 100k, kGrande __VA_OPT__(, ) __VA_ARGS__)                                       \
        ->Unit(benchmark::kMicrosecond)                                                                       \
        ->Iterations(kIteracoesEscrita)

void RegistraEscala() {
    ESCALA_ESCRITA(GravaOrdemSimples);
    ESCALA_ESCRITA(GravaOrdemCompleta);
    ESCALA_ESCRITA(RegravaOrdem);
    ESCALA(LeOrdem);
    ESCALA(BuscaOrdemPelaChave);
    ESCALA(BuscaOrdensDaManutencao);
    ESCALA_ESCRITA(RegravaPlano);
    ESCALA(LePlano);
    ESCALA_ESCRITA(GravaMedicao);
    ESCALA(InicioSessao);
    BENCHMARK_CAPTURE(VerificacaoDiaria, 1k, kPequena)->Unit(benchmark::kMillisecond)->Iterations(20);
    BENCHMARK_CAPTURE(VerificacaoDiaria, 100k, kGrande)->Unit(benchmark::kMillisecond)->Iterations(5);
    ESCALA(RelatorioPlano);
    ESCALA(RelatorioOrdem);
}

// The shared reporter, remembering the CPU time of each run too: on a
// machine shared with other work the wall-clock time of a call also holds
// the time it waited for a core.
class RelatorEscala : public zenta::bench::RelatorTempos {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Iteration) m_cpu[r.benchmark_name()] = r.GetAdjustedCPUTime();
        RelatorTempos::ReportRuns(runs);
    }
    double Cpu(const std::string& nome) const {
        for (const auto& [n, t] : m_cpu)
            if (n.compare(0, nome.size(), nome) == 0) return t;
        return 0;
    }

private:
    std::map<std::string, double> m_cpu;
};

void ImprimeRazao(const std::string& nome, double grande, double pequena, double cpuGrande, double cpuPequena) {
    if (grande <= 0 || pequena <= 0 || cpuGrande <= 0 || cpuPequena <= 0) return;
    const double razao = grande / pequena, razaoCpu = cpuGrande / cpuPequena;
    std::printf("%-26s wall %6.2f  cpu %6.2f  (limit 1.5: %s)\n", nome.c_str(), razao, razaoCpu,
                std::min(razao, razaoCpu) <= 1.5 ? "ok" : "OVER");
}

void RazoesEscala(const RelatorEscala& relator) {
    std::printf("\nRatios (100,000-order company / 1,000-order company, same run; wall-clock and CPU time):\n");
    for (const char* op : {"GravaOrdemSimples", "GravaOrdemCompleta", "RegravaOrdem", "LeOrdem", "BuscaOrdemPelaChave",
                           "BuscaOrdensDaManutencao", "RegravaPlano", "LePlano", "GravaMedicao", "InicioSessao",
                           "RelatorioPlano", "RelatorioOrdem"}) {
        const std::string g = std::string(op) + "/100k", p = std::string(op) + "/1k";
        ImprimeRazao(op, relator.Tempo(g), relator.Tempo(p), relator.Cpu(g), relator.Cpu(p));
    }
    // Per plan verified.
    const double planosG = static_cast<double>(Abertas().at(kGrande).empresa.planos.size());
    const double planosP = static_cast<double>(Abertas().at(kPequena).empresa.planos.size());
    ImprimeRazao("VerificacaoDiaria per plan", relator.Tempo("VerificacaoDiaria/100k") / planosG,
                 relator.Tempo("VerificacaoDiaria/1k") / planosP, relator.Cpu("VerificacaoDiaria/100k") / planosG,
                 relator.Cpu("VerificacaoDiaria/1k") / planosP);
}

// ---- Start-up and memory (--inicio) -------------------------------------------------------------

// The resident memory of this process and its peak, in bytes.
void Memoria(double& residente, double& pico) {
    residente = pico = 0;
    std::ifstream in("/proc/self/status");
    for (std::string linha; std::getline(in, linha);) {
        double kb = 0;
        if (std::sscanf(linha.c_str(), "VmRSS: %lf kB", &kb) == 1) residente = kb * 1024;
        if (std::sscanf(linha.c_str(), "VmHWM: %lf kB", &kb) == 1) pico = kb * 1024;
    }
}

double TamanhoArquivos(const std::string& empresa) {
    const fs::path dir = DiretorioDados(empresa);
    double total = 0;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file()) total += static_cast<double>(e.file_size());
    return total;
}

// The first session of a day on a company nobody holds: compaction, load,
// indexes, verification of every plan. The resident memory is taken with
// the company loaded and its builder's memory given back.
void PrimeiroInicioDoDia(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    double base = 0, pico = 0;
    // Untimed: the company's first load after its month files were written
    // in bulk enters each new file in the file-creation list, which a
    // company pays for once per file, not every day.
    a.sessao->Release();
    a.sessao = zenta::bench::NovaSessao(empresa);
    for (auto _ : state) {
        state.PauseTiming();
        zenta::bench::DiaVerificado(a.sessao, 0);
        a.sessao->Release();
        a.sessao = nullptr;
        malloc_trim(0);
        Memoria(base, pico);
        state.ResumeTiming();
        a.sessao = zenta::bench::NovaSessao(empresa);
    }
    malloc_trim(0);
    double residente = 0;
    Memoria(residente, pico);
    const double arquivos = TamanhoArquivos(empresa);
    state.counters["files_MB"] = arquivos / 1e6;
    state.counters["rss_MB"] = residente / 1e6;
    state.counters["rss_before_MB"] = base / 1e6;
    state.counters["rss_peak_MB"] = pico / 1e6;
    state.counters["rss_per_file_byte"] = (residente - base) / arquivos;
}

// A session that is not the first of the day, on a company nobody holds:
// the company is loaded again, nothing is verified.
void InicioSemOutraSessao(benchmark::State& state, const char* empresa) {
    Aberta& a = Abertas().at(empresa);
    for (auto _ : state) {
        state.PauseTiming();
        a.sessao->Release();
        a.sessao = nullptr;
        state.ResumeTiming();
        a.sessao = zenta::bench::NovaSessao(empresa);
    }
}

constexpr const char* kInicio100k = "INICIO100K";
constexpr const char* kInicio1M = "INICIO1M";

void RegistraInicio() {
    for (const char* e : {kInicio100k, kInicio1M}) {
        const std::string sufixo = e == std::string(kInicio100k) ? "100k" : "1M";
        benchmark::RegisterBenchmark(("PrimeiroInicioDoDia/" + sufixo).c_str(), PrimeiroInicioDoDia, e)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark(("InicioSemOutraSessao/" + sufixo).c_str(), InicioSemOutraSessao, e)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark(("InicioSessao/" + sufixo).c_str(), InicioSessao, e)->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool bInicio = false;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--inicio") {
            bInicio = true;
            for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            break;
        }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Home();
    Confere(CoInitializeEx(nullptr, COINIT_MULTITHREADED), "CoInitializeEx");
    if (bInicio) {
        // Both companies share one set of 10,000 plans (20,000
        // maintenances), saved once and copied; their orders and history
        // are ten years of month files.
        {
            const std::string modelo = "MODELO";
            ImportaCadastros(modelo);
            IQVGE_ManutencaoPreventiva* s = zenta::bench::NovaSessao(modelo);
            zenta::bench::GravaPlanos(s, 10'000);
            s->Release();
        }
        AbreEmpresa(kInicio100k, 0, 100'000, 120, "MODELO");
        AbreEmpresa(kInicio1M, 0, 1'000'000, 120, "MODELO");
        RegistraInicio();
    } else {
        AbreEmpresa(kPequena, 100, 1'000, 24);
        AbreEmpresa(kGrande, 10'000, 100'000, 120);
        RegistraEscala();
    }

    RelatorEscala relator;
    benchmark::RunSpecifiedBenchmarks(&relator);
    if (bInicio) {
        std::printf("\nRatios (same run):\n");
        relator.Razao("PrimeiroInicioDoDia/1M", "PrimeiroInicioDoDia/100k", 0);
        relator.Razao("InicioSessao/1M", "InicioSessao/100k", 1.5);
    } else {
        RazoesEscala(relator);
    }
    for (auto& [nome, a] : Abertas())
        if (a.sessao != nullptr) a.sessao->Release();
    Abertas().clear();
    CoUninitialize();
    benchmark::Shutdown();
    return 0;
}
