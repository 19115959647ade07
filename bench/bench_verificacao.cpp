// The due-date verification and the recording of a reading at two sizes of
// data, measured in the same run; at the end each large size's time is
// printed as a ratio to the small size's.
//
//   Verificacao_*: the daily verification of 10,000 active plans (one
//   maintenance each) with 20,000 or 200,000 orders on file, in two shapes:
//     Historico: each plan's maintenance has two orders (an older finished
//       one and the newest, open); the other orders belong to maintenance
//       codes no plan holds any more (history of replaced maintenances).
//     Uniforme: the orders are spread evenly over the plans' maintenances
//       (2 or 20 each), the newest open. The verification reads every order
//       of a maintenance in full, so this shape does 10 times the reading.
//   BuscaOrdens_*: the order lookup alone (every plan's maintenance once),
//     with the number of orders it read.
//   GravaMedicao_*: recording a reading (rewriting the current reading of an
//     existing identification, with history and verification of its plans)
//     with 1,000 or 100,000 current readings on file and 200 plans.
//
// The plans are written through the logic once, in one company, and its
// files are copied to the company of each data set; the orders and the
// current readings are appended in bulk directly through the schema's files.
// The newest order of every maintenance is open, so the verification counts
// nothing and writes nothing: every iteration does the same work.
#include <benchmark/benchmark.h>

#include "bench/RelatorTempos.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "logic/BaseManutencaoPreventiva.h"
#include "records/QVCamposRegistro.h"
#include "server/QVJsonRegistros.h"
#include "support/ZentaHomeTemporario.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/QVMesAno.h"
#include "values/RelogioSistema.h"

using namespace zenta;

namespace {

constexpr ULONG kPlanosVerificacao = 10'000;
constexpr ULONG kPlanosMedicao = 200;
constexpr int kAno = 2026;
constexpr USHORT kModulo = REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV;

zenta::teste::ZentaHomeTemporario& Home() {
    static zenta::teste::ZentaHomeTemporario home;
    return home;
}

// The logic object with the daily verification reachable.
class Base : public CBaseManutencaoPreventiva {
public:
    using CBaseManutencaoPreventiva::FazVerificacaoDatasManutencao;
    ~Base() override { Finaliza(); }
};

void Falha(const char* passo, HRESULT hr) {
    std::fprintf(stderr, "bench_verificacao: %s failed: 0x%08X\n", passo, static_cast<unsigned>(hr));
    std::exit(1);
}
void Confere(HRESULT hr, const char* passo) {
    if (FAILED(hr)) Falha(passo, hr);
}

std::unique_ptr<Base> Abre(const std::string& empresa) {
    auto base = std::make_unique<Base>();
    Confere(base->Inicializa(empresa, 7, 42), "Inicializa");
    return base;
}

CQVDataBase_GE_ManutencaoPreventiva& Db(const std::string& empresa) {
    CQVDataBase_GE_ManutencaoPreventiva* db = CBaseManutencaoPreventiva::m_ContainerFacade.GetDataBase(empresa);
    if (db == nullptr) Falha("GetDataBase", E_POINTER);
    return *db;
}

std::filesystem::path Diretorio(const std::string& empresa) {
    std::filesystem::path p;
    Confere(CQVDataBaseUtil::GetPathDados(QV_MODULO_GE, empresa, p), "GetPathDados");
    return p;
}

// The day already verified, so that opening the company verifies nothing;
// 0 makes the next verification run.
void DiaVerificado(CBaseManutencaoPreventiva& base, ULONG dia) {
    _REG_CADASTRO_PROPRIEDADES_PS p;
    std::memset(&p, 0, sizeof p);
    Confere(base.LePropriedades(&p), "LePropriedades");
    p.dataUltimaVerificacaoMedicao = dia;
    Confere(base.GravaPropriedades(p), "GravaPropriedades");
}

// `qtd` active plans of one maintenance each (30 days, counted by time),
// identification equipment 1000 + i, serial "SN-i".
void GravaPlanos(CBaseManutencaoPreventiva& base, ULONG qtd) {
    for (ULONG i = 0; i < qtd; ++i) {
        _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS m{};
        std::snprintf(m.szNomeManutencao, sizeof m.szNomeManutencao, "Limpeza");
        m.frequenciaPS.lTipoFrequencia = 2;
        m.frequenciaPS.lTipoFrequenciaTempo = 1;
        m.frequenciaPS.lFrequenciaTempo = 30;
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
        plano.idEquipamentoPS.lEquipamento = 1000 + i;
        plano.idEquipamentoPS.lSituacao = 1;
        std::snprintf(plano.idEquipamentoPS.szNrSerie, sizeof plano.idEquipamentoPS.szNrSerie, "SN-%u", i);
        plano.listaManutencoes = {1, 0, nullptr, &m};
        LONG posicao = 0;
        Confere(base.Grava(&posicao, plano), "Grava (plano)");
    }
}

// The maintenance codes of the plans, each once, in file order (a plan save
// that follows a reading appends its maintenances' run again).
std::vector<ULONG> CodigosManutencao(const std::string& empresa) {
    auto& arquivo = Db(empresa).m_ManutencaoEquipamento;
    std::vector<ULONG> codigos;
    std::set<ULONG> vistos;
    for (ULONGLONG pos = 1; pos <= arquivo.GetQtdRegistros(); ++pos) {
        REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1 r{};
        Confere(arquivo.Le(pos, r), "Le (manutencao)");
        if (vistos.insert(r.lCodigoManutencao).second) codigos.push_back(r.lCodigoManutencao);
    }
    return codigos;
}

void CopiaEmpresa(const std::string& origem, const std::string& destino) {
    const std::filesystem::path de = Diretorio(origem), para = Diretorio(destino);
    std::filesystem::create_directories(para.parent_path());
    std::filesystem::copy(de, para, std::filesystem::copy_options::recursive);
}

// One order of a maintenance; `ma` is its month, `pos` its position there.
REG_MOVIMENTACAO_MANUT_PREV_V1 Ordem(ULONG codigo, USHORT ma, ULONG pos, bool bAberta) {
    REG_MOVIMENTACAO_MANUT_PREV_V1 r{};
    r.dmcChave.SetDMC(pos, kModulo, ma);
    r.lFilial = 1;
    r.lCodigoManutencao = codigo;
    r.lSituacao = bAberta ? 0 : 1;
    r.dataConclusao = bAberta ? 0 : REG_QVDMA(1, 1, kAno).GetData();
    r.lEquipamento = 1;
    return r;
}

// Appends the orders of a data set: `antigas` finished orders spread over
// January to November (by maintenance code), then the newest order of every
// plan's maintenance, open, in December.
void GravaOrdens(const std::string& empresa, const std::vector<ULONG>& antigas, const std::vector<ULONG>& codigos) {
    auto& grupo = Db(empresa).m_MovManutPrev;
    std::map<USHORT, std::vector<REG_MOVIMENTACAO_MANUT_PREV_V1>> porMes;
    for (std::size_t i = 0; i < antigas.size(); ++i) {
        const USHORT ma = REG_QVDMA(1, static_cast<int>(1 + (i * 11) / antigas.size()), kAno).GetMa();
        auto& mes = porMes[ma];
        mes.push_back(Ordem(antigas[i], ma, static_cast<ULONG>(mes.size() + 1), false));
    }
    const USHORT dezembro = REG_QVDMA(1, 12, kAno).GetMa();
    for (const ULONG codigo : codigos) {
        auto& mes = porMes[dezembro];
        mes.push_back(Ordem(codigo, dezembro, static_cast<ULONG>(mes.size() + 1), true));
    }
    for (const auto& [ma, ordens] : porMes) {
        ULONGLONG pos = 0;
        Confere(grupo.GravaColecao(QVMAToChave(ma), pos, ordens), "GravaColecao (ordens)");
    }
}

// ---- Data sets ------------------------------------------------------------------

// The open companies of the data sets, kept open for the whole run (a
// company's database stays loaded while one of its objects is open).
std::map<std::string, std::unique_ptr<Base>>& Abertas() {
    static std::map<std::string, std::unique_ptr<Base>> abertas;
    return abertas;
}

const ULONG kHoje = REG_QVDMA(15, 12, kAno).GetData();

void PreparaVerificacao() {
    const std::string modelo = "PLANOS";
    std::vector<ULONG> codigos;
    {
        auto base = Abre(modelo);
        GravaPlanos(*base, kPlanosVerificacao);
        DiaVerificado(*base, kHoje);
        codigos = CodigosManutencao(modelo);
    }
    ULONG retirado = 0;
    for (const ULONG c : codigos) retirado = std::max(retirado, c);
    struct Conjunto {
        const char* empresa;
        ULONG ordens;
        bool uniforme;
    };
    for (const Conjunto& c : {Conjunto{"HIST20K", 20'000, false}, Conjunto{"HIST200K", 200'000, false},
                              Conjunto{"UNIF20K", 20'000, true}, Conjunto{"UNIF200K", 200'000, true}}) {
        CopiaEmpresa(modelo, c.empresa);
        Abertas()[c.empresa] = Abre(c.empresa);
        // Every plan's newest order is one of the total; the older ones
        // either repeat the plans' codes or belong to retired ones.
        std::vector<ULONG> antigas;
        const ULONG qtdAntigas = c.ordens - static_cast<ULONG>(codigos.size());
        for (ULONG i = 0; i < qtdAntigas; ++i) {
            if (c.uniforme || i < codigos.size()) antigas.push_back(codigos[i % codigos.size()]);
            else antigas.push_back(retirado + 1 + i);
        }
        GravaOrdens(c.empresa, antigas, codigos);
    }
}

void PreparaMedicao() {
    for (const auto& [empresa, qtd] : {std::pair<std::string, ULONG>{"MED1K", 1'000}, {"MED100K", 100'000}}) {
        auto base = Abre(empresa);
        GravaPlanos(*base, kPlanosMedicao);
        DiaVerificado(*base, kHoje);
        // The current readings after the plans' own: equipment 500,000 + i.
        std::vector<REG_CADASTRO_MEDICAO_ATUAL_V1> leituras(qtd - kPlanosMedicao);
        for (ULONG i = 0; i < leituras.size(); ++i) {
            REG_CADASTRO_MEDICAO_ATUAL_V1& r = leituras[i];
            r.lEquipamento = 500'000 + i;
            std::snprintf(r.szNrSerie, sizeof r.szNrSerie, "sn-%u", i);
            r.dataGravacao = kHoje;
            r.cMedicaoAtiva = 1;
        }
        ULONGLONG pos = 0;
        Confere(Db(empresa).m_MedicaoAtual.GravaColecao(pos, leituras), "GravaColecao (leituras)");
        Abertas()[empresa] = std::move(base);
    }
}

// ---- Benchmarks -----------------------------------------------------------------

void Verificacao(benchmark::State& state, const char* empresa) {
    Base& base = *Abertas().at(empresa);
    for (auto _ : state) {
        state.PauseTiming();
        DiaVerificado(base, 0);
        state.ResumeTiming();
        Confere(base.FazVerificacaoDatasManutencao(), "FazVerificacaoDatasManutencao");
    }
}

// The orders of every plan's maintenance, as the verification asks for them.
void BuscaOrdens(benchmark::State& state, const char* empresa) {
    Base& base = *Abertas().at(empresa);
    const std::vector<ULONG> codigos = CodigosManutencao(empresa);
    double lidas = 0;
    for (auto _ : state) {
        lidas = 0;
        for (const ULONG codigo : codigos) {
            _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS ordens{};
            Confere(base.BuscaMovimentosPelaManutencao(codigo, &ordens), "BuscaMovimentosPelaManutencao");
            lidas += ordens.lQtdRegistros;
            zenta::LiberaRegistro(ordens);
        }
    }
    state.counters["maintenances"] = static_cast<double>(codigos.size());
    state.counters["orders_read"] = lidas;
}

void GravaMedicao(benchmark::State& state, const char* empresa) {
    Base& base = *Abertas().at(empresa);
    auto& arquivo = Db(empresa).m_MedicaoAtual;
    const ULONGLONG qtd = arquivo.GetQtdRegistros();
    // An identification in the middle of the bulk readings, its serial in other case.
    const ULONG i = static_cast<ULONG>(qtd - kPlanosMedicao) / 2;
    LONGLONG valor = 0;
    for (auto _ : state) {
        _REG_CADASTRO_MEDICAO_ATUAL_PS m;
        std::memset(&m, 0, sizeof m);
        m.regMedicaoAtual.lEquipamento = 500'000 + i;
        std::snprintf(m.regMedicaoAtual.szNrSerie, sizeof m.regMedicaoAtual.szNrSerie, "SN-%u", i);
        m.regMedicaoAtual.vQuantidadeMedicao.int64 = (++valor) * 10'000;
        m.regMedicaoAtual.cMedicaoAtiva = 1;
        Confere(base.GravaMedicaoAtual(&m, TRUE, TRUE), "GravaMedicaoAtual");
        // Rewritten where it was, never appended.
        if (m.lPonteiroRegistro == 0 || arquivo.GetQtdRegistros() != qtd) Falha("GravaMedicaoAtual (posicao)", E_UNEXPECTED);
    }
}

BENCHMARK_CAPTURE(Verificacao, Historico_20k, "HIST20K")->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Verificacao, Historico_200k, "HIST200K")->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Verificacao, Uniforme_20k, "UNIF20K")->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Verificacao, Uniforme_200k, "UNIF200K")->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BuscaOrdens, Historico_20k, "HIST20K")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuscaOrdens, Historico_200k, "HIST200K")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GravaMedicao, Leituras_1k, "MED1K")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GravaMedicao, Leituras_100k, "MED100K")->Unit(benchmark::kMicrosecond);


}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Home();
    zenta::RelogioSistema::DefineInstanteFixo({kAno, 12, 15, 8, 30, 0});
    const auto inicio = std::chrono::steady_clock::now();
    PreparaVerificacao();
    PreparaMedicao();
    const std::chrono::duration<double> preparo = std::chrono::steady_clock::now() - inicio;
    std::printf("data sets built in %.1f s\n", preparo.count());

    zenta::bench::RelatorTempos relator;
    benchmark::RunSpecifiedBenchmarks(&relator);
    std::printf("\nRatios (large data set / small data set, same run):\n");
    relator.Razao("Verificacao/Historico_200k", "Verificacao/Historico_20k", 1.5);
    relator.Razao("Verificacao/Uniforme_200k", "Verificacao/Uniforme_20k", 1.5);
    relator.Razao("GravaMedicao/Leituras_100k", "GravaMedicao/Leituras_1k", 1.5);
    Abertas().clear();
    zenta::RelogioSistema::RestauraRelogioReal();
    benchmark::Shutdown();
    return 0;
}
