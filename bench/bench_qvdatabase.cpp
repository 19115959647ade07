// The record-file engine against SQLite on the same 640-byte records.
//
// SQLite runs as close to the engine's durability as it goes: WAL journal,
// synchronous=OFF (the engine writes through to the operating system without
// syncing each record), prepared statements, rows keyed by rowid = position.
// After the timings, each engine operation is printed as a ratio of SQLite's
// time for the same work, measured in this run.
#include <benchmark/benchmark.h>

#include "bench/RelatorTempos.h"
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/qvdatabase/QVFile.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

namespace {

#pragma pack(push, 1)
struct REG_BENCH {
    ULONG lChave;
    ULONG lPonteiro;
    char szTexto[120];
    BYTE cDados[512];
};
#pragma pack(pop)
static_assert(sizeof(REG_BENCH) == 640);

constexpr ULONGLONG kQtdRegistros = 100'000;
constexpr const char* kEmpresa = "BENCH";

REG_BENCH Registro(ULONG i) {
    REG_BENCH r{};
    r.lChave = i * 7 + 1;
    r.lPonteiro = i;
    std::snprintf(r.szTexto, sizeof r.szTexto, "registro %u", i);
    std::memset(r.cDados, static_cast<int>(i & 0xFF), sizeof r.cDados);
    return r;
}

zenta::teste::ZentaHomeTemporario& Home() {
    static zenta::teste::ZentaHomeTemporario home;
    return home;
}

// ---- The engine ------------------------------------------------------------

struct Motor {
    std::unique_ptr<CQVFile<REG_BENCH>> arquivo;

    static void Prepara() {
        static bool pronto = false;
        if (pronto) return;
        Home();
        CQVFile<REG_BENCH> arquivo("BENCH.dat", nullptr);
        if (FAILED(arquivo.Inicializa(kEmpresa, 1, 1))) std::abort();
        std::vector<REG_BENCH> registros;
        registros.reserve(kQtdRegistros);
        for (ULONG i = 0; i < kQtdRegistros; ++i) registros.push_back(Registro(i));
        ULONGLONG posicao = QVDATABASE_POSICAO_NOVO_REGISTRO;
        if (FAILED(arquivo.GravaColecao(posicao, registros))) std::abort();
        arquivo.Finaliza();
        pronto = true;
    }
    void Abre() {
        Prepara();
        arquivo = std::make_unique<CQVFile<REG_BENCH>>("BENCH.dat", nullptr);
        if (FAILED(arquivo->Inicializa(kEmpresa, 1, 1))) std::abort();
    }
};

void Motor_Carga(benchmark::State& state) {
    Motor::Prepara();
    for (auto _ : state) {
        CQVFile<REG_BENCH> arquivo("BENCH.dat", nullptr);
        if (FAILED(arquivo.Inicializa(kEmpresa, 1, 1))) state.SkipWithError("load");
        benchmark::DoNotOptimize(arquivo.GetQtdRegistros());
    }
}

void Motor_LePosicao(benchmark::State& state) {
    Motor m;
    m.Abre();
    std::mt19937 gerador(1);
    std::uniform_int_distribution<ULONGLONG> posicoes(1, kQtdRegistros);
    REG_BENCH r;
    for (auto _ : state) {
        if (FAILED(m.arquivo->Le(posicoes(gerador), r))) state.SkipWithError("read");
        benchmark::DoNotOptimize(r);
    }
}

void Motor_Inclui(benchmark::State& state) {
    Motor m;
    m.Abre();
    static ULONG i = kQtdRegistros;  // the benchmark runs several times: keys stay unique
    for (auto _ : state) {
        ULONGLONG posicao = QVDATABASE_POSICAO_NOVO_REGISTRO;
        if (FAILED(m.arquivo->Grava(posicao, Registro(i++)))) state.SkipWithError("append");
    }
}

void Motor_Regrava(benchmark::State& state) {
    Motor m;
    m.Abre();
    REG_BENCH r = Registro(5);
    for (auto _ : state) {
        ++r.lPonteiro;  // a real change, so the write reaches the disk
        ULONGLONG posicao = 6;
        if (FAILED(m.arquivo->Grava(posicao, r))) state.SkipWithError("rewrite");
    }
}

void Motor_BuscaIndice(benchmark::State& state) {
    Motor m;
    m.Abre();
    if (FAILED(m.arquivo->IncluiIndex([](const REG_BENCH& r, UINT) { return ULONGLONG{r.lChave}; }, 0, false, false)))
        state.SkipWithError("index");
    std::mt19937 gerador(2);
    std::uniform_int_distribution<ULONG> chaves(0, kQtdRegistros - 1);
    for (auto _ : state) {
        ULONGLONG posicao = 0;
        if (FAILED(m.arquivo->ExisteIndex(ULONGLONG{chaves(gerador) * 7 + 1}, posicao, 0)) || posicao == 0)
            state.SkipWithError("lookup");
        benchmark::DoNotOptimize(posicao);
    }
}

// ---- SQLite ----------------------------------------------------------------

struct Sqlite {
    sqlite3* db = nullptr;
    ~Sqlite() { sqlite3_close(db); }

    static std::string Caminho() { return (Home().Raiz() / "bench.sqlite").string(); }

    void Abre() {
        Prepara();
        if (sqlite3_open(Caminho().c_str(), &db) != SQLITE_OK) std::abort();
        Executa("PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF;");
    }
    void Executa(const char* sql) const {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
    }
    sqlite3_stmt* Prepara(const char* sql) const {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) std::abort();
        return st;
    }
    static void Prepara() {
        static bool pronto = false;
        if (pronto) return;
        Sqlite s;
        if (sqlite3_open(Caminho().c_str(), &s.db) != SQLITE_OK) std::abort();
        s.Executa("PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF;"
                  "CREATE TABLE r (id INTEGER PRIMARY KEY, chave INTEGER NOT NULL, dados BLOB NOT NULL);"
                  "CREATE UNIQUE INDEX r_chave ON r (chave);");
        s.Executa("BEGIN");
        sqlite3_stmt* st = s.Prepara("INSERT INTO r (id, chave, dados) VALUES (?, ?, ?)");
        for (ULONG i = 0; i < kQtdRegistros; ++i) {
            const REG_BENCH r = Registro(i);
            sqlite3_bind_int64(st, 1, i + 1);
            sqlite3_bind_int64(st, 2, r.lChave);
            sqlite3_bind_blob(st, 3, &r, sizeof r, SQLITE_TRANSIENT);
            if (sqlite3_step(st) != SQLITE_DONE) std::abort();
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        s.Executa("COMMIT");
        pronto = true;
    }
};

void Sqlite_Carga(benchmark::State& state) {
    Sqlite::Prepara();
    for (auto _ : state) {
        Sqlite s;
        s.Abre();
        std::vector<REG_BENCH> registros;
        sqlite3_stmt* st = s.Prepara("SELECT dados FROM r ORDER BY id");
        while (sqlite3_step(st) == SQLITE_ROW) {
            REG_BENCH r;
            std::memcpy(&r, sqlite3_column_blob(st, 0), sizeof r);
            registros.push_back(r);
        }
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(registros.data());
    }
}

void Sqlite_LePosicao(benchmark::State& state) {
    Sqlite s;
    s.Abre();
    sqlite3_stmt* st = s.Prepara("SELECT dados FROM r WHERE id = ?");
    std::mt19937 gerador(1);
    std::uniform_int_distribution<ULONGLONG> posicoes(1, kQtdRegistros);
    REG_BENCH r;
    for (auto _ : state) {
        sqlite3_bind_int64(st, 1, static_cast<sqlite3_int64>(posicoes(gerador)));
        if (sqlite3_step(st) != SQLITE_ROW) state.SkipWithError("read");
        std::memcpy(&r, sqlite3_column_blob(st, 0), sizeof r);
        sqlite3_reset(st);
        benchmark::DoNotOptimize(r);
    }
    sqlite3_finalize(st);
}

void Sqlite_Inclui(benchmark::State& state) {
    Sqlite s;
    s.Abre();
    sqlite3_stmt* st = s.Prepara("INSERT INTO r (chave, dados) VALUES (?, ?)");
    static ULONG i = 10 * kQtdRegistros;  // keys the other benchmarks do not use, unique across runs
    for (auto _ : state) {
        const REG_BENCH r = Registro(i++);
        sqlite3_bind_int64(st, 1, r.lChave);
        sqlite3_bind_blob(st, 2, &r, sizeof r, SQLITE_TRANSIENT);
        if (sqlite3_step(st) != SQLITE_DONE) state.SkipWithError("append");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

void Sqlite_Regrava(benchmark::State& state) {
    Sqlite s;
    s.Abre();
    sqlite3_stmt* st = s.Prepara("UPDATE r SET dados = ? WHERE id = 6");
    REG_BENCH r = Registro(5);
    for (auto _ : state) {
        ++r.lPonteiro;
        sqlite3_bind_blob(st, 1, &r, sizeof r, SQLITE_TRANSIENT);
        if (sqlite3_step(st) != SQLITE_DONE) state.SkipWithError("rewrite");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

void Sqlite_BuscaIndice(benchmark::State& state) {
    Sqlite s;
    s.Abre();
    sqlite3_stmt* st = s.Prepara("SELECT id FROM r WHERE chave = ?");
    std::mt19937 gerador(2);
    std::uniform_int_distribution<ULONG> chaves(0, kQtdRegistros - 1);
    for (auto _ : state) {
        sqlite3_bind_int64(st, 1, chaves(gerador) * 7 + 1);
        if (sqlite3_step(st) != SQLITE_ROW) state.SkipWithError("lookup");
        benchmark::DoNotOptimize(sqlite3_column_int64(st, 0));
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

BENCHMARK(Motor_Carga)->Unit(benchmark::kMillisecond);
BENCHMARK(Sqlite_Carga)->Unit(benchmark::kMillisecond);
BENCHMARK(Motor_LePosicao);
BENCHMARK(Sqlite_LePosicao);
BENCHMARK(Motor_Inclui);
BENCHMARK(Sqlite_Inclui);
BENCHMARK(Motor_Regrava);
BENCHMARK(Sqlite_Regrava);
BENCHMARK(Motor_BuscaIndice);
BENCHMARK(Sqlite_BuscaIndice);

// Prints the usual table and, at the end, the engine's times as ratios of SQLite's.
class RelatorComRazoes : public zenta::bench::RelatorTempos {
public:
    void ImprimeRazoes() const {
        std::printf("\nEngine time as a ratio of SQLite's (below 1: the engine is faster; speed-up = 1 / ratio)\n");
        for (const char* op : {"Carga", "LePosicao", "Inclui", "Regrava", "BuscaIndice"}) {
            const double motor = Tempo(std::string("Motor_") + op);
            const double sqlite = Tempo(std::string("Sqlite_") + op);
            if (motor <= 0 || sqlite <= 0) continue;
            const double razao = motor / sqlite;
            std::printf("  %-12s ratio %.3f  (engine %.1fx faster)\n", op, razao, 1.0 / razao);
        }
    }

};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RelatorComRazoes relator;
    benchmark::RunSpecifiedBenchmarks(&relator);
    relator.ImprimeRazoes();
    benchmark::Shutdown();
    return 0;
}
