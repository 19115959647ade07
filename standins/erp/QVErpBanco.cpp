// The ERP stand-in's SQLite database.
//
// Schema (version 4). Keys of the ERP (REG_QVDMC) are stored as their 64 bits
// read as a signed integer; texts are UTF-8 (the ERP's Windows-1252 texts are
// converted on the way in and back on the way out).
//
//   esquema_versao             one row per migration applied
//     versao       INTEGER PRIMARY KEY   1, 2, ... in the order applied
//     descricao    TEXT                  what the migration adds
//     aplicada_em  TEXT                  UTC time it was applied
//
//   log_transacao              the enterprise change log: one row per entry (version 1)
//     id           INTEGER PRIMARY KEY AUTOINCREMENT
//     chave        INTEGER   key of the record the entry is about (0: none)
//     tipo_log     INTEGER   log kind (155: technical assistance / maintenance)
//     operacao     TEXT      operation letter ('I', 'A', 'E')
//     usuario      INTEGER   user code of the session
//     sessao       INTEGER   session number
//     momento      TEXT      local time "YYYY-MM-DD HH:MM:SS"
//
//   log_transacao_informacao   the information lines of an entry (version 1)
//     id_log       INTEGER   log_transacao.id (deleted with it)
//     ordem        INTEGER   1, 2, ... in the order added
//     tag          TEXT      one-letter tag ('N': note)
//     texto        TEXT
//     PRIMARY KEY (id_log, ordem)
//
//   prebaixa                   the stock module's pre-withdrawals (version 2)
//     chave        INTEGER   key of the document (an order: kind 84, pointer, month/year)
//     filial       INTEGER   branch (16 bits)
//     sequencia    INTEGER   1, 2, ... in the order the records were given
//     produto      INTEGER   product code (a copy of the record's first field)
//     registro     BLOB      the 104-byte REG_ES_PREBAIXAPS as given
//     PRIMARY KEY (chave, filial, sequencia)
//
// Master data (version 3, "cadastros"; written by QVErpCadastros.cpp). Every
// table is keyed by the ERP's code of the registration and has its name:
//     codigo       INTEGER PRIMARY KEY   1 .. 4294967295 (usuario: 1 .. 65535)
//     nome         TEXT NOT NULL         UTF-8, at most 200 bytes
// The other columns may be NULL (not given). Codes of other registrations
// are plain integers, not foreign keys: a document may bring a registration
// before the ones it names, or without them.
//
//   filial                     branches
//   usuario                    users of the system
//     email        TEXT
//   municipio                  towns
//     uf           TEXT      state abbreviation
//   cliente                    clients
//     municipio    INTEGER   municipio.codigo
//     endereco     TEXT      street address
//     email        TEXT
//   marca                      equipment makers
//   modelo                     equipment models
//     marca        INTEGER   marca.codigo
//   tipo_equipamento           equipment kinds
//   equipamento                equipments
//     marca        INTEGER   marca.codigo
//     modelo       INTEGER   modelo.codigo
//     tipo         INTEGER   tipo_equipamento.codigo
//     nr_serie     TEXT      serial number
//     filial       INTEGER   filial.codigo
//   unidade_medida             units of measure (columns in this order)
//     sigla        TEXT      short symbol ("UN", "KG", "H")
//     nome
//     casas_decimais INTEGER 0 .. 4 decimals of quantities in the unit
//   produto                    products
//     unidade      INTEGER   unidade_medida.codigo
//   item_grade                 grade items of products (size, colour, ...)
//   servico                    services
//     unidade      INTEGER   unidade_medida.codigo
//
// Prices and service orders (version 4, "precos e ordens de servico").
// Currency values are stored as the ERP gives them: an INTEGER of
// ten-thousandths or a TEXT in US form ("12.50").
//
//   cliente                    + column
//     tabela_preco INTEGER   1 .. 65535, the client's price table (NULL: table 1)
//   servico                    + column
//     valor        currency  the value a service item takes (NULL: 0)
//   preco_produto              sale prices of products per price table
//     produto      INTEGER   produto.codigo
//     grade1..3    INTEGER   item_grade codes of the product's grades (0: none)
//     tabela_preco INTEGER   1 .. 65535
//     preco_venda  currency  unit sale price
//     PRIMARY KEY (produto, grade1, grade2, grade3, tabela_preco)
//   ordem_servico              the technical-assistance module's service
//                              orders (written by QVAssistecErp.cpp)
//     mes_ano      INTEGER   month/year code of the order (1 .. 65535)
//     ponteiro     INTEGER   1, 2, ... per month/year
//     fechada      INTEGER   1 once closed (by a person or by the record
//                            itself); the record read back then says so
//     registro     BLOB      the 1712-byte REG_AST_ORDEM_SERVICO_PS, its
//                            pointers zeroed
//     equipamento  BLOB      the 304-byte equipment block (NULL: none)
//     nr_serie     BLOB      the equipment's serial number, UTF-16 units
//     tecnicos     BLOB      the technician sections, each followed by its
//                            items, each followed by its locations, in
//                            order, pointers zeroed (sizes by their counts)
//     PRIMARY KEY (mes_ano, ponteiro)
//
// Purchasing (version 5, "compras"). Grade columns hold the products' grid
// pointers (0: none); branches are filial.codigo.
//
//   reposicao_produto          minimum stock and reorder point per product
//                              position and branch (currency, NULL: 0)
//   saldo_estoque              stock balance per product position and branch
//   solicitacao_compra         the purchasing module's purchase requests
//                              (written by QVComprasErp.cpp)
//     ponteiro     INTEGER   its pointer (1, 2, ...; never given twice, also
//                            after a deletion), part of the key
//     chave        INTEGER   the request's 64-bit key, as a signed integer
//     pode_alterar INTEGER   1 while the request may still change; 0 once
//                            purchasing took it over
//     origem       INTEGER   the key of the document that asked for it
//     registro     BLOB      the 184-byte REG_CM_SOLICITACAO_COMPRA_PS,
//                            item pointer zeroed
//   solicitacao_compra_item    its items in order (136-byte records, their
//                              module pointer zeroed)
//
// What the reports read (version 6, "relatorios"; imported with the master
// data, read by the accessors' report operations):
//
//   equipamento_cadastro       the equipment register's record of an equipment
//     codigo       INTEGER   equipamento.codigo
//     nome         TEXT      its description (second text field)
//     referencia   TEXT      its reference as people write it (first text field)
//   cliente_comercial          customers' commercial records
//     codigo       INTEGER   cliente.codigo
//     nome         TEXT      corporate name (second text field)
//     nome_curto   TEXT      short name (first text field)
//   local_estoque              stock locations
//     codigo       INTEGER   the location's pointer in the stock module
//     nome         TEXT
//     filial       INTEGER   filial.codigo
//
// A migration runs once, inside the same immediate transaction that records
// it in esquema_versao, so processes opening a file at the same time apply
// each one exactly once. New tables come as new migrations at the end of the
// list; a shipped migration is never changed.
#include "standins/erp/QVErpBanco.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <map>
#include <new>
#include <system_error>

#include "platform/QVDiretorios.h"
#include "platform/QVModulos.h"
#include "diagnostics/QVCheck.h"
#include "diagnostics/QVNomesHresult.h"
#include "platform/CodePage.h"

namespace zenta {

namespace {

struct Migracao {
    int versao;
    const char* descricao;
    const char* sql;
};

constexpr Migracao kMigracoes[] = {
    {1, "log de transacoes",
     "CREATE TABLE log_transacao ("
     " id INTEGER PRIMARY KEY AUTOINCREMENT,"
     " chave INTEGER NOT NULL,"
     " tipo_log INTEGER NOT NULL,"
     " operacao TEXT NOT NULL,"
     " usuario INTEGER NOT NULL,"
     " sessao INTEGER NOT NULL,"
     " momento TEXT NOT NULL);"
     "CREATE INDEX log_transacao_chave ON log_transacao (chave);"
     "CREATE TABLE log_transacao_informacao ("
     " id_log INTEGER NOT NULL REFERENCES log_transacao (id) ON DELETE CASCADE,"
     " ordem INTEGER NOT NULL,"
     " tag TEXT NOT NULL,"
     " texto TEXT NOT NULL,"
     " PRIMARY KEY (id_log, ordem)) WITHOUT ROWID;"},
    {2, "pre-baixas de estoque",
     "CREATE TABLE prebaixa ("
     " chave INTEGER NOT NULL,"
     " filial INTEGER NOT NULL,"
     " sequencia INTEGER NOT NULL,"
     " produto INTEGER NOT NULL,"
     " registro BLOB NOT NULL CHECK (length(registro) = 104),"
     " PRIMARY KEY (chave, filial, sequencia)) WITHOUT ROWID;"},
    {3, "cadastros",
     "CREATE TABLE filial ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL);"
     "CREATE TABLE usuario ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 65535),"
     " nome TEXT NOT NULL,"
     " email TEXT);"
     "CREATE TABLE municipio ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL,"
     " uf TEXT);"
     "CREATE TABLE cliente ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL,"
     " municipio INTEGER,"
     " endereco TEXT,"
     " email TEXT);"
     "CREATE TABLE marca ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL);"
     "CREATE TABLE modelo ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL,"
     " marca INTEGER);"
     "CREATE TABLE tipo_equipamento ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL);"
     "CREATE TABLE equipamento ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL,"
     " marca INTEGER,"
     " modelo INTEGER,"
     " tipo INTEGER,"
     " nr_serie TEXT,"
     " filial INTEGER);"
     "CREATE TABLE unidade_medida ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " sigla TEXT,"
     " nome TEXT NOT NULL,"
     " casas_decimais INTEGER CHECK (casas_decimais BETWEEN 0 AND 4));"
     "CREATE TABLE produto ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL,"
     " unidade INTEGER);"
     "CREATE TABLE item_grade ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL);"
     "CREATE TABLE servico ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL,"
     " unidade INTEGER);"},
    {4, "precos e ordens de servico",
     "ALTER TABLE cliente ADD COLUMN tabela_preco INTEGER CHECK (tabela_preco BETWEEN 1 AND 65535);"
     "ALTER TABLE servico ADD COLUMN valor CHECK (typeof(valor) IN ('integer', 'text', 'null'));"
     "CREATE TABLE preco_produto ("
     " produto INTEGER NOT NULL CHECK (produto BETWEEN 1 AND 4294967295),"
     " grade1 INTEGER NOT NULL CHECK (grade1 BETWEEN 0 AND 4294967295),"
     " grade2 INTEGER NOT NULL CHECK (grade2 BETWEEN 0 AND 4294967295),"
     " grade3 INTEGER NOT NULL CHECK (grade3 BETWEEN 0 AND 4294967295),"
     " tabela_preco INTEGER NOT NULL CHECK (tabela_preco BETWEEN 1 AND 65535),"
     " preco_venda NOT NULL CHECK (typeof(preco_venda) IN ('integer', 'text')),"
     " PRIMARY KEY (produto, grade1, grade2, grade3, tabela_preco)) WITHOUT ROWID;"
     "CREATE TABLE ordem_servico ("
     " mes_ano INTEGER NOT NULL CHECK (mes_ano BETWEEN 1 AND 65535),"
     " ponteiro INTEGER NOT NULL CHECK (ponteiro BETWEEN 1 AND 4294967295),"
     " fechada INTEGER NOT NULL DEFAULT 0 CHECK (fechada IN (0, 1)),"
     " registro BLOB NOT NULL CHECK (length(registro) = 1712),"
     " equipamento BLOB CHECK (equipamento IS NULL OR length(equipamento) = 304),"
     " nr_serie BLOB,"
     " tecnicos BLOB NOT NULL,"
     " PRIMARY KEY (mes_ano, ponteiro)) WITHOUT ROWID;"},
    {5, "compras",
     "CREATE TABLE reposicao_produto ("
     " produto INTEGER NOT NULL CHECK (produto BETWEEN 1 AND 4294967295),"
     " grade1 INTEGER NOT NULL CHECK (grade1 BETWEEN 0 AND 4294967295),"
     " grade2 INTEGER NOT NULL CHECK (grade2 BETWEEN 0 AND 4294967295),"
     " grade3 INTEGER NOT NULL CHECK (grade3 BETWEEN 0 AND 4294967295),"
     " filial INTEGER NOT NULL CHECK (filial BETWEEN 1 AND 4294967295),"
     " estoque_minimo CHECK (typeof(estoque_minimo) IN ('integer', 'text', 'null')),"
     " ponto_pedido CHECK (typeof(ponto_pedido) IN ('integer', 'text', 'null')),"
     " PRIMARY KEY (produto, grade1, grade2, grade3, filial)) WITHOUT ROWID;"
     "CREATE TABLE saldo_estoque ("
     " produto INTEGER NOT NULL CHECK (produto BETWEEN 1 AND 4294967295),"
     " grade1 INTEGER NOT NULL CHECK (grade1 BETWEEN 0 AND 4294967295),"
     " grade2 INTEGER NOT NULL CHECK (grade2 BETWEEN 0 AND 4294967295),"
     " grade3 INTEGER NOT NULL CHECK (grade3 BETWEEN 0 AND 4294967295),"
     " filial INTEGER NOT NULL CHECK (filial BETWEEN 1 AND 4294967295),"
     " saldo NOT NULL CHECK (typeof(saldo) IN ('integer', 'text')),"
     " PRIMARY KEY (produto, grade1, grade2, grade3, filial)) WITHOUT ROWID;"
     "CREATE TABLE solicitacao_compra ("
     " ponteiro INTEGER PRIMARY KEY AUTOINCREMENT CHECK (ponteiro BETWEEN 1 AND 4294967295),"
     " chave INTEGER NOT NULL UNIQUE,"
     " pode_alterar INTEGER NOT NULL DEFAULT 1 CHECK (pode_alterar IN (0, 1)),"
     " origem INTEGER NOT NULL,"
     " registro BLOB NOT NULL CHECK (length(registro) = 184));"
     "CREATE INDEX solicitacao_compra_origem ON solicitacao_compra (origem);"
     "CREATE TABLE solicitacao_compra_item ("
     " chave INTEGER NOT NULL REFERENCES solicitacao_compra (chave) ON DELETE CASCADE,"
     " ordem INTEGER NOT NULL,"
     " registro BLOB NOT NULL CHECK (length(registro) = 136),"
     " PRIMARY KEY (chave, ordem)) WITHOUT ROWID;"},
    {6, "relatorios",
     "CREATE TABLE equipamento_cadastro ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL,"
     " referencia TEXT);"
     "CREATE TABLE cliente_comercial ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL,"
     " nome_curto TEXT);"
     "CREATE TABLE local_estoque ("
     " codigo INTEGER PRIMARY KEY CHECK (codigo BETWEEN 1 AND 4294967295),"
     " nome TEXT NOT NULL,"
     " filial INTEGER);"},
};
static_assert(sizeof kMigracoes / sizeof kMigracoes[0] == kVersaoEsquemaErp,
              "one migration per schema version, in order");

constexpr int kPrimeiraVersaoIncompativel = kVersaoEsquemaErp + 1;
constexpr int kTentativasWal = 1500;  // 10 ms apart

const sqlite3_destructor_type kTransiente = reinterpret_cast<sqlite3_destructor_type>(static_cast<intptr_t>(-1));

// Logs an SQLite failure with the library's own text and gives its HRESULT.
HRESULT FalhaSqlite(sqlite3* db, int rc, std::string_view passo, std::string_view funcao, unsigned linha) {
    const HRESULT hr = HresultDeSqlite(rc);
    std::string texto(passo);
    texto += ": ";
    texto += (db != nullptr) ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    QVGravaLogErroHr(QVProfilerDoEscopo(), funcao, QV_ARQUIVO, linha, texto, hr);
    return hr;
}
#define QV_FALHA_SQLITE(db, rc, passo) FalhaSqlite((db), (rc), (passo), QV_FUNCAO, __LINE__)

int64_t ChaveSql(REG_QVDMC chave) { return static_cast<int64_t>(chave.Get64()); }
REG_QVDMC ChaveDeSql(int64_t valor) { return REG_QVDMC(static_cast<ULONGLONG>(valor)); }

using Comando = ErpComando;

HRESULT ExecutaScript(sqlite3* db, const char* sql) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return QV_FALHA_SQLITE(db, rc, sql);
    return S_OK;
}

std::string MomentoUtc() {
    const std::time_t agora = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&agora, &tm);
    char texto[32];
    std::strftime(texto, sizeof texto, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return texto;
}

// The Windows-1252 texts of the ERP as the database keeps them, and back.
std::string ParaBanco(std::string_view cp1252) { return Cp1252ParaUtf8(cp1252); }
std::string DoBanco(std::string_view utf8) { return Utf8ParaCp1252(utf8); }
char LetraDoBanco(std::string_view utf8) {
    const std::string letra = DoBanco(utf8);
    return letra.empty() ? '\0' : letra.front();
}

HRESULT ExcluiPreBaixasNaTransacao(sqlite3* db, REG_QVDMC dmcChave, USHORT usFilial) {
    Comando exclui(db, "DELETE FROM prebaixa WHERE chave = ?1 AND filial = ?2");
    QV_CHECK(exclui.Prepara());
    QV_CHECK(exclui.Liga(1, ChaveSql(dmcChave)));
    QV_CHECK(exclui.Liga(2, usFilial));
    QV_CHECK(exclui.Executa());
    return S_OK;
}

// The process's shared connections by file. Never destroyed: sessions may
// still let theirs go while the process exits.
struct Compartilhados {
    std::mutex trava;
    std::map<std::string, std::weak_ptr<ErpBanco>> abertos;
};
Compartilhados& TabelaCompartilhados() {
    static auto* tabela = new Compartilhados;
    return *tabela;
}

}  // namespace

ErpComando::~ErpComando() { sqlite3_finalize(m_st); }

HRESULT ErpComando::Prepara() {
    sqlite3_finalize(m_st);
    m_st = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, m_sql.data(), static_cast<int>(m_sql.size()), &m_st, nullptr);
    if (rc != SQLITE_OK) return QV_FALHA_SQLITE(m_db, rc, m_sql);
    return S_OK;
}

HRESULT ErpComando::Liga(int indice, int64_t valor) { return Verifica(sqlite3_bind_int64(m_st, indice, valor)); }

HRESULT ErpComando::LigaTexto(int indice, std::string_view utf8) {
    return Verifica(sqlite3_bind_text64(m_st, indice, utf8.data(), utf8.size(), kTransiente, SQLITE_UTF8));
}

HRESULT ErpComando::LigaBlob(int indice, const void* dados, std::size_t tamanho) {
    return Verifica(sqlite3_bind_blob64(m_st, indice, dados, tamanho, kTransiente));
}

HRESULT ErpComando::LigaNulo(int indice) { return Verifica(sqlite3_bind_null(m_st, indice)); }

HRESULT ErpComando::Passo(bool& linha) {
    linha = false;
    const int rc = sqlite3_step(m_st);
    if (rc == SQLITE_ROW) {
        linha = true;
        return S_OK;
    }
    if (rc == SQLITE_DONE) return S_OK;
    return QV_FALHA_SQLITE(m_db, rc, m_sql);
}

HRESULT ErpComando::Executa() {
    for (bool linha = true; linha;) QV_CHECK(Passo(linha));
    return Reinicia();
}

HRESULT ErpComando::PreparaEPassa(std::initializer_list<int64_t> valores, bool& linha) {
    QV_CHECK(Prepara());
    int indice = 0;
    for (const int64_t valor : valores) QV_CHECK(Liga(++indice, valor));
    QV_CHECK(Passo(linha));
    return S_OK;
}

HRESULT ErpComando::Reinicia() {
    sqlite3_reset(m_st);
    return Verifica(sqlite3_clear_bindings(m_st));
}

bool ErpComando::Nulo(int coluna) const { return sqlite3_column_type(m_st, coluna) == SQLITE_NULL; }

int64_t ErpComando::Inteiro(int coluna) const { return sqlite3_column_int64(m_st, coluna); }

std::string ErpComando::Texto(int coluna) const {
    const auto* p = sqlite3_column_text(m_st, coluna);
    const int n = sqlite3_column_bytes(m_st, coluna);
    return p != nullptr ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string();
}

std::string_view ErpComando::Blob(int coluna) const {
    const void* p = sqlite3_column_blob(m_st, coluna);
    const int n = sqlite3_column_bytes(m_st, coluna);
    return p != nullptr ? std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(n))
                        : std::string_view();
}

HRESULT ErpComando::Verifica(int rc) {
    if (rc != SQLITE_OK) return QV_FALHA_SQLITE(m_db, rc, m_sql);
    return S_OK;
}

HRESULT HresultDeSqlite(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return S_OK;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return HRESULT_FROM_WIN32(33u);  // ERROR_LOCK_VIOLATION
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return HRESULT_FROM_WIN32(1392u);  // ERROR_FILE_CORRUPT
    case SQLITE_CANTOPEN: return HRESULT_FROM_WIN32(110u);  // ERROR_OPEN_FAILED
    case SQLITE_FULL: return HRESULT_FROM_WIN32(112u);      // ERROR_DISK_FULL
    case SQLITE_IOERR: return HRESULT_FROM_WIN32(1117u);    // ERROR_IO_DEVICE
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return E_ACCESSDENIED;
    case SQLITE_NOMEM: return E_OUTOFMEMORY;
    case SQLITE_TOOBIG:
    case SQLITE_RANGE:
    case SQLITE_MISMATCH:
    case SQLITE_CONSTRAINT: return E_INVALIDARG;
    default: return E_FAIL;
    }
}

ErpBanco::~ErpBanco() {
    // A connection inherited through fork() belongs to the parent: closing
    // it here could end the parent's WAL as if it were the last user.
    if (m_db != nullptr && m_pidDono == static_cast<int>(::getpid())) sqlite3_close_v2(m_db);
}

HRESULT ErpBanco::Caminho(std::string_view empresa, std::filesystem::path& arquivo) {
    arquivo.clear();
    // Not logged here: a session asks while it holds its own lock, and its
    // log context would need that lock. Callers log.
    std::filesystem::path diretorio;
    const HRESULT hr = QVDiretorioDadosModulo(QV_MODULO_DF, empresa, diretorio);
    if (FAILED(hr)) return hr;
    arquivo = diretorio / kArquivoErp;
    return S_OK;
}

HRESULT ErpBanco::Abre(const std::filesystem::path& arquivo, std::shared_ptr<ErpBanco>& banco, int versaoAlvo) {
    banco.reset();
    if (arquivo.empty() || versaoAlvo < 0 || versaoAlvo > kVersaoEsquemaErp) return E_INVALIDARG;
    std::error_code ec;
    std::filesystem::create_directories(arquivo.parent_path(), ec);
    if (ec) QV_CHECK(HresultDeErrno(ec.value()));

    std::shared_ptr<ErpBanco> novo(new (std::nothrow) ErpBanco);
    if (!novo) return E_OUTOFMEMORY;
    novo->m_arquivo = arquivo;
    novo->m_pidDono = static_cast<int>(::getpid());
    const int rc = sqlite3_open_v2(arquivo.c_str(), &novo->m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) return QV_FALHA_SQLITE(novo->m_db, rc, "sqlite3_open_v2");
    sqlite3_extended_result_codes(novo->m_db, 1);
    sqlite3_busy_timeout(novo->m_db, kEsperaBloqueioErpMs);
    // WAL lets readers go on while one process writes (a file system that
    // cannot do it leaves the file in its rollback journal: still correct,
    // only slower). Switching a new file to WAL needs it alone for a moment,
    // which a process creating the same file at once may not allow: retried.
    for (int tentativa = 0;; ++tentativa) {
        const int rcWal = sqlite3_exec(novo->m_db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
        const bool ocupado = (rcWal & 0xFF) == SQLITE_BUSY || (rcWal & 0xFF) == SQLITE_LOCKED;
        if (rcWal == SQLITE_OK || !ocupado || tentativa >= kTentativasWal) {
            if (rcWal != SQLITE_OK) return QV_FALHA_SQLITE(novo->m_db, rcWal, "PRAGMA journal_mode = WAL");
            break;
        }
        ::usleep(10000);
    }
    QV_CHECK(ExecutaScript(novo->m_db, "PRAGMA synchronous = NORMAL; PRAGMA foreign_keys = ON;"));
    QV_CHECK(novo->Migra(versaoAlvo));
    banco = std::move(novo);
    return S_OK;
}

HRESULT ErpBanco::Compartilhado(const std::filesystem::path& arquivo, std::shared_ptr<ErpBanco>& banco) {
    banco.reset();
    std::error_code ec;
    std::filesystem::path absoluto = std::filesystem::absolute(arquivo, ec);
    if (ec) absoluto = arquivo;
    const std::string chave = absoluto.lexically_normal().string();
    const int pid = static_cast<int>(::getpid());
    Compartilhados& tabela = TabelaCompartilhados();
    {
        std::lock_guard lock(tabela.trava);
        auto it = tabela.abertos.find(chave);
        if (it != tabela.abertos.end()) {
            if (auto aberto = it->second.lock(); aberto && aberto->m_pidDono == pid) {
                banco = std::move(aberto);
                return S_OK;
            }
        }
    }
    // Opened outside the table's lock: an open may wait for another process.
    std::shared_ptr<ErpBanco> novo;
    QV_CHECK(Abre(absoluto, novo));
    std::lock_guard lock(tabela.trava);
    std::weak_ptr<ErpBanco>& vaga = tabela.abertos[chave];
    if (auto outro = vaga.lock(); outro && outro->m_pidDono == pid) {
        banco = std::move(outro);  // another thread was first; ours closes
        return S_OK;
    }
    vaga = novo;
    banco = std::move(novo);
    // Forget the files nobody uses any more.
    for (auto it = tabela.abertos.begin(); it != tabela.abertos.end();)
        it = it->second.expired() ? tabela.abertos.erase(it) : std::next(it);
    return S_OK;
}

HRESULT ErpBanco::Migra(int versaoAlvo) {
    // The highest version recorded; a file from a newer build is refused.
    const auto versaoAtual = [](sqlite3* db, int64_t& atual) -> HRESULT {
        Comando versao(db, "SELECT coalesce(max(versao), 0) FROM esquema_versao");
        QV_CHECK(versao.Prepara());
        bool linha = false;
        QV_CHECK(versao.Passo(linha));
        atual = linha ? versao.Inteiro(0) : 0;
        if (atual >= kPrimeiraVersaoIncompativel) QV_CHECK(E_ERP_ESQUEMA_SUPERIOR);
        return S_OK;
    };
    // Most opens find the file current: check that without taking the
    // write lock.
    bool atualizado = false;
    const auto verifica = [&](sqlite3* db) -> HRESULT {
        Comando existe(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'esquema_versao'");
        QV_CHECK(existe.Prepara());
        bool linha = false;
        QV_CHECK(existe.Passo(linha));
        if (!linha || existe.Inteiro(0) == 0) return S_OK;
        int64_t atual = 0;
        QV_CHECK(versaoAtual(db, atual));
        atualizado = atual >= versaoAlvo;
        return S_OK;
    };
    QV_CHECK(Leitura(verifica));
    if (atualizado) return S_OK;

    // Another process may be migrating the same file: the version is read
    // again under the write lock, and only what is still missing runs.
    const auto migra = [&](sqlite3* db) -> HRESULT {
        QV_CHECK(ExecutaScript(db, "CREATE TABLE IF NOT EXISTS esquema_versao ("
                                   " versao INTEGER PRIMARY KEY,"
                                   " descricao TEXT NOT NULL,"
                                   " aplicada_em TEXT NOT NULL)"));
        int64_t atual = 0;
        QV_CHECK(versaoAtual(db, atual));
        Comando registra(db, "INSERT INTO esquema_versao (versao, descricao, aplicada_em) VALUES (?1, ?2, ?3)");
        QV_CHECK(registra.Prepara());
        for (const Migracao& migracao : kMigracoes) {
            if (migracao.versao <= atual || migracao.versao > versaoAlvo) continue;
            QV_CHECK(ExecutaScript(db, migracao.sql));
            QV_CHECK(registra.Liga(1, migracao.versao));
            QV_CHECK(registra.LigaTexto(2, migracao.descricao));
            QV_CHECK(registra.LigaTexto(3, MomentoUtc()));
            QV_CHECK(registra.Executa());
        }
        return S_OK;
    };
    QV_CHECK(Transacao(migra));
    return S_OK;
}

HRESULT ErpBanco::Transacao(const std::function<HRESULT(sqlite3*)>& passos) {
    std::lock_guard lock(m_trava);
    QV_CHECK(ExecutaScript(m_db, "BEGIN IMMEDIATE"));
    HRESULT hr;
    try {
        hr = passos(m_db);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    } catch (...) {
        hr = E_UNEXPECTED;
    }
    if (SUCCEEDED(hr)) hr = ExecutaScript(m_db, "COMMIT");
    if (FAILED(hr) && sqlite3_get_autocommit(m_db) == 0) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return hr;
}

HRESULT ErpBanco::Leitura(const std::function<HRESULT(sqlite3*)>& passos) {
    std::lock_guard lock(m_trava);
    try {
        return passos(m_db);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT ErpBanco::VersaoEsquema(int& versao) {
    versao = 0;
    std::vector<int> versoes;
    QV_CHECK(VersoesAplicadas(versoes));
    if (!versoes.empty()) versao = versoes.back();
    return S_OK;
}

HRESULT ErpBanco::VersoesAplicadas(std::vector<int>& versoes) {
    versoes.clear();
    const auto passos = [&](sqlite3* db) -> HRESULT {
        Comando consulta(db, "SELECT versao FROM esquema_versao ORDER BY versao");
        QV_CHECK(consulta.Prepara());
        for (bool linha = true;;) {
            QV_CHECK(consulta.Passo(linha));
            if (!linha) break;
            versoes.push_back(static_cast<int>(consulta.Inteiro(0)));
        }
        return S_OK;
    };
    QV_CHECK(Leitura(passos));
    return S_OK;
}

HRESULT ErpBanco::GravaLog(const CQVEntradaLog& entrada, USHORT usUsuario, LONG lSessao, std::string_view momento) {
    const auto passos = [&](sqlite3* db) -> HRESULT {
        Comando insere(db, "INSERT INTO log_transacao (chave, tipo_log, operacao, usuario, sessao, momento)"
                           " VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
        QV_CHECK(insere.Prepara());
        QV_CHECK(insere.Liga(1, ChaveSql(entrada.dmcChave)));
        QV_CHECK(insere.Liga(2, entrada.lTipoLog));
        QV_CHECK(insere.LigaTexto(3, ParaBanco(std::string_view(&entrada.cOperacao, 1))));
        QV_CHECK(insere.Liga(4, usUsuario));
        QV_CHECK(insere.Liga(5, lSessao));
        QV_CHECK(insere.LigaTexto(6, momento));
        QV_CHECK(insere.Executa());
        const int64_t id = sqlite3_last_insert_rowid(db);

        Comando informacao(db, "INSERT INTO log_transacao_informacao (id_log, ordem, tag, texto)"
                               " VALUES (?1, ?2, ?3, ?4)");
        QV_CHECK(informacao.Prepara());
        int64_t ordem = 0;
        for (const CQVInformacaoLog& linha : entrada.informacoes) {
            QV_CHECK(informacao.Liga(1, id));
            QV_CHECK(informacao.Liga(2, ++ordem));
            QV_CHECK(informacao.LigaTexto(3, ParaBanco(std::string_view(&linha.cTag, 1))));
            QV_CHECK(informacao.LigaTexto(4, ParaBanco(linha.sTexto)));
            QV_CHECK(informacao.Executa());
        }
        return S_OK;
    };
    QV_CHECK(Transacao(passos));
    return S_OK;
}

HRESULT ErpBanco::LeLogs(std::vector<ErpLinhaLog>& linhas) {
    linhas.clear();
    const auto passos = [&](sqlite3* db) -> HRESULT {
        Comando consulta(db, "SELECT id, chave, tipo_log, operacao, usuario, sessao, momento"
                             " FROM log_transacao ORDER BY id");
        QV_CHECK(consulta.Prepara());
        for (bool linha = true;;) {
            QV_CHECK(consulta.Passo(linha));
            if (!linha) break;
            ErpLinhaLog log;
            log.id = consulta.Inteiro(0);
            log.dmcChave = ChaveDeSql(consulta.Inteiro(1));
            log.lTipoLog = static_cast<LONG>(consulta.Inteiro(2));
            log.cOperacao = LetraDoBanco(consulta.Texto(3));
            log.usUsuario = static_cast<USHORT>(consulta.Inteiro(4));
            log.lSessao = static_cast<LONG>(consulta.Inteiro(5));
            log.sMomento = consulta.Texto(6);
            linhas.push_back(std::move(log));
        }
        Comando informacoes(db, "SELECT tag, texto FROM log_transacao_informacao WHERE id_log = ?1 ORDER BY ordem");
        QV_CHECK(informacoes.Prepara());
        for (ErpLinhaLog& log : linhas) {
            QV_CHECK(informacoes.Liga(1, log.id));
            for (bool linha = true;;) {
                QV_CHECK(informacoes.Passo(linha));
                if (!linha) break;
                log.informacoes.push_back({LetraDoBanco(informacoes.Texto(0)), DoBanco(informacoes.Texto(1))});
            }
            QV_CHECK(informacoes.Reinicia());
        }
        return S_OK;
    };
    QV_CHECK(Leitura(passos));
    return S_OK;
}

HRESULT ErpBanco::GravaPreBaixas(REG_QVDMC dmcChave, USHORT usFilial, const std::vector<REG_ES_PREBAIXAPS>& registros) {
    const auto passos = [&](sqlite3* db) -> HRESULT {
        QV_CHECK(ExcluiPreBaixasNaTransacao(db, dmcChave, usFilial));
        Comando insere(db, "INSERT INTO prebaixa (chave, filial, sequencia, produto, registro)"
                           " VALUES (?1, ?2, ?3, ?4, ?5)");
        QV_CHECK(insere.Prepara());
        int64_t sequencia = 0;
        for (const REG_ES_PREBAIXAPS& registro : registros) {
            QV_CHECK(insere.Liga(1, ChaveSql(dmcChave)));
            QV_CHECK(insere.Liga(2, usFilial));
            QV_CHECK(insere.Liga(3, ++sequencia));
            QV_CHECK(insere.Liga(4, registro.lProduto));
            QV_CHECK(insere.LigaBlob(5, &registro, sizeof registro));
            QV_CHECK(insere.Executa());
        }
        return S_OK;
    };
    QV_CHECK(Transacao(passos));
    return S_OK;
}

HRESULT ErpBanco::ExcluiPreBaixas(REG_QVDMC dmcChave, USHORT usFilial) {
    const auto passos = [&](sqlite3* db) -> HRESULT { return ExcluiPreBaixasNaTransacao(db, dmcChave, usFilial); };
    QV_CHECK(Transacao(passos));
    return S_OK;
}

HRESULT ErpBanco::LePreBaixas(REG_QVDMC dmcChave, USHORT usFilial, std::vector<REG_ES_PREBAIXAPS>& registros) {
    registros.clear();
    const auto passos = [&](sqlite3* db) -> HRESULT {
        Comando consulta(db, "SELECT registro FROM prebaixa WHERE chave = ?1 AND filial = ?2 ORDER BY sequencia");
        QV_CHECK(consulta.Prepara());
        QV_CHECK(consulta.Liga(1, ChaveSql(dmcChave)));
        QV_CHECK(consulta.Liga(2, usFilial));
        for (bool linha = true;;) {
            QV_CHECK(consulta.Passo(linha));
            if (!linha) break;
            const std::string_view bytes = consulta.Blob(0);
            // The table's check keeps the size; a file edited by hand may not.
            if (bytes.size() != sizeof(REG_ES_PREBAIXAPS)) QV_CHECK(HresultDeSqlite(SQLITE_CORRUPT));
            REG_ES_PREBAIXAPS registro;
            std::memcpy(&registro, bytes.data(), sizeof registro);
            registros.push_back(registro);
        }
        return S_OK;
    };
    QV_CHECK(Leitura(passos));
    return S_OK;
}

HRESULT ErpBanco::ContaPreBaixas(int64_t& quantidade) {
    quantidade = 0;
    const auto passos = [&](sqlite3* db) -> HRESULT {
        Comando consulta(db, "SELECT count(*) FROM prebaixa");
        QV_CHECK(consulta.Prepara());
        bool linha = false;
        QV_CHECK(consulta.Passo(linha));
        if (linha) quantidade = consulta.Inteiro(0);
        return S_OK;
    };
    QV_CHECK(Leitura(passos));
    return S_OK;
}

HRESULT ErpBanco::ExecutaSql(const std::string& sql) {
    const auto passos = [&](sqlite3* db) -> HRESULT { return ExecutaScript(db, sql.c_str()); };
    QV_CHECK(Leitura(passos));
    return S_OK;
}

}  // namespace zenta
