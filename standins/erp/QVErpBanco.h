// The ERP stand-in's database: one SQLite file per company in the company's
// base-module data directory ($ZENTA_HOME/data/<company>/DF/erp.sqlite),
// holding what the system hands to the ERP's other modules. The schema and
// its versions are described in QVErpBanco.cpp.
//
// One connection per file and process, shared by every session of that
// company and serialised by a mutex; between processes the file is in WAL
// mode with a busy time-out, and every multi-row write is one immediate
// transaction. A failure comes back as an HRESULT (HresultDeSqlite) and is
// written to the error log; nothing here throws.
//
// A connection is never carried across fork(): a child process opens its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <initializer_list>
#include <string_view>
#include <vector>

#include <zenta/WinTypes.h>

#include "access/QVAcessoServidores.h"
#include "access/QVDadosES.h"
#include "values/QVDMC.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zenta {

// The stand-in's file name in the company's base-module data directory.
inline constexpr const char* kArquivoErp = "erp.sqlite";
// The schema version this build creates and understands.
inline constexpr int kVersaoEsquemaErp = 6;
// How long a statement waits for another connection's lock before failing.
inline constexpr int kEsperaBloqueioErpMs = 15000;

// A file whose schema is newer than this build knows: data written by a
// newer version of the system.
inline constexpr HRESULT E_ERP_ESQUEMA_SUPERIOR = static_cast<HRESULT>(0x810809C7u);

// An SQLite result as an HRESULT: S_OK for OK, ROW and DONE; otherwise
//   BUSY, LOCKED              ERROR_LOCK_VIOLATION (another connection holds the file)
//   CORRUPT, NOTADB           ERROR_FILE_CORRUPT
//   CANTOPEN                  ERROR_OPEN_FAILED
//   FULL                      ERROR_DISK_FULL
//   IOERR                     ERROR_IO_DEVICE
//   READONLY, PERM, AUTH      E_ACCESSDENIED
//   NOMEM                     E_OUTOFMEMORY
//   TOOBIG, RANGE, MISMATCH,
//   CONSTRAINT                E_INVALIDARG
//   anything else             E_FAIL
HRESULT HresultDeSqlite(int rc);

// One row of the change log as stored.
struct ErpLinhaLog {
    int64_t id = 0;
    REG_QVDMC dmcChave;
    LONG lTipoLog = 0;
    char cOperacao = 0;
    USHORT usUsuario = 0;
    LONG lSessao = 0;
    std::string sMomento;  // "YYYY-MM-DD HH:MM:SS", local time
    std::vector<CQVInformacaoLog> informacoes;
};

// One prepared statement of a connection, finalised on every path; a failure
// is logged with SQLite's own text. Used inside ErpBanco::Transacao and
// ErpBanco::Leitura by the stand-in's modules. The SQL text is copied.
class ErpComando {
public:
    ErpComando(sqlite3* db, std::string_view sql) : m_db(db), m_sql(sql) {}
    ~ErpComando();
    ErpComando(const ErpComando&) = delete;
    ErpComando& operator=(const ErpComando&) = delete;

    HRESULT Prepara();
    HRESULT Liga(int indice, int64_t valor);
    HRESULT LigaTexto(int indice, std::string_view utf8);
    HRESULT LigaBlob(int indice, const void* dados, std::size_t tamanho);
    HRESULT LigaNulo(int indice);
    // One step: `linha` tells whether a row came.
    HRESULT Passo(bool& linha);
    // Prepares the statement, binds `valores` to its parameters 1, 2, ... in
    // order and takes the first step.
    HRESULT PreparaEPassa(std::initializer_list<int64_t> valores, bool& linha);
    // Steps to the end, ignoring rows, then makes the statement ready again.
    HRESULT Executa();
    // Makes the statement ready to run again, with no values bound.
    HRESULT Reinicia();

    bool Nulo(int coluna) const;
    int64_t Inteiro(int coluna) const;
    std::string Texto(int coluna) const;
    std::string_view Blob(int coluna) const;

private:
    HRESULT Verifica(int rc);

    sqlite3* m_db;
    std::string m_sql;
    sqlite3_stmt* m_st = nullptr;
};

class ErpBanco {
public:
    ~ErpBanco();
    ErpBanco(const ErpBanco&) = delete;
    ErpBanco& operator=(const ErpBanco&) = delete;

    // Opens the file (created when missing, with its directory), switches it
    // to WAL and applies the migrations up to `versaoAlvo` in order. A file
    // whose schema is newer than kVersaoEsquemaErp fails with
    // E_ERP_ESQUEMA_SUPERIOR. Each call gives a connection of its own.
    static HRESULT Abre(const std::filesystem::path& arquivo, std::shared_ptr<ErpBanco>& banco,
                        int versaoAlvo = kVersaoEsquemaErp);

    // The stand-in file of a company (the company name is checked by the
    // directory functions). Writes no log line.
    static HRESULT Caminho(std::string_view empresa, std::filesystem::path& arquivo);

    // The process's shared connection to a file, opened on first use and
    // closed when its last user lets it go.
    static HRESULT Compartilhado(const std::filesystem::path& arquivo, std::shared_ptr<ErpBanco>& banco);

    const std::filesystem::path& Arquivo() const { return m_arquivo; }

    // The schema version recorded in the file, and every version applied.
    HRESULT VersaoEsquema(int& versao);
    HRESULT VersoesAplicadas(std::vector<int>& versoes);

    // ---- Change log -----------------------------------------------------
    HRESULT GravaLog(const CQVEntradaLog& entrada, USHORT usUsuario, LONG lSessao, std::string_view momento);
    HRESULT LeLogs(std::vector<ErpLinhaLog>& linhas);

    // ---- Stock pre-withdrawals ------------------------------------------
    // Replaces what the key and branch held by `registros` (none: removes).
    HRESULT GravaPreBaixas(REG_QVDMC dmcChave, USHORT usFilial, const std::vector<REG_ES_PREBAIXAPS>& registros);
    HRESULT ExcluiPreBaixas(REG_QVDMC dmcChave, USHORT usFilial);
    // The records of a key and branch in the order they were given.
    HRESULT LePreBaixas(REG_QVDMC dmcChave, USHORT usFilial, std::vector<REG_ES_PREBAIXAPS>& registros);
    HRESULT ContaPreBaixas(int64_t& quantidade);

    // Runs statements without results (maintenance and tests).
    HRESULT ExecutaSql(const std::string& sql);

    // ---- For the stand-in's other modules (master data, ...) ------------
    // Runs `passos` in one immediate transaction: committed when they
    // succeed, rolled back otherwise.
    HRESULT Transacao(const std::function<HRESULT(sqlite3*)>& passos);
    // Runs `passos` alone on the connection, outside any transaction.
    HRESULT Leitura(const std::function<HRESULT(sqlite3*)>& passos);

private:
    ErpBanco() = default;

    HRESULT Migra(int versaoAlvo);

    std::filesystem::path m_arquivo;
    sqlite3* m_db = nullptr;
    int m_pidDono = 0;  // the process that opened the connection
    std::mutex m_trava;
};

}  // namespace zenta
