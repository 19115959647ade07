// The life simulator: lives a company's life through the service interface,
// day after day, with the clock under its control, and after every day checks
// what must hold whatever the users did. Deterministic for a seed: a broken
// invariant prints the seed, the day, the last operations and the invariant,
// so that the same command line reproduces it.
//
// Each day the first session really starts the company afresh (every service
// object of the day before was released, so the database is loaded and
// compacted again and the daily verification runs), then a random mix of what
// users do runs on one or two sessions, with the mail server down on some
// days. The checks read the stored records and the ERP stand-in's tables
// directly and recompute what the rules give, without the service's code;
// every file of the company goes through the disk check.
//
//   zenta_simulacao --dias N --semente S [--empresa NOME] [--desliga INVARIANTE]... [--verboso]
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include <zenta/zenta.h>

#include "access/IQVCM_SolicitacaoCompra.h"
#include "access/IQVGE_ASTMov.h"
#include "access/QVDadosES.h"
#include "standins/erp/QVAssistecErp.h"
#include "standins/erp/QVComprasErp.h"
#include "standins/erp/QVEmailErp.h"
#include "standins/erp/QVErpCadastros.h"
#include "platform/Registry.h"
#include "schema/RegistrosManutencaoPreventiva.h"
#include "server/QVJsonRegistros.h"
#include "support/Inicializacao.h"
#include "support/SmtpSink.h"
#include "tools/zenta-dbcheck/FonteBytes.h"
#include "tools/zenta-dbcheck/VerificaArquivo.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/QVMesAno.h"
#include "values/RelogioSistema.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

constexpr LONGLONG kUnidade = 10000;  // currency: ten-thousandths

// ---- Dates and values ----------------------------------------------------------------------

std::string TextoData(ULONG dia) {
    if (dia == 0) return "0";
    int d = 0, m = 0, a = 0;
    REG_QVDMA(dia).GetDMA(d, m, a);
    char s[16];
    std::snprintf(s, sizeof s, "%04d-%02d-%02d", a, m, d);
    return s;
}
std::string Valor(LONGLONG v) {  // currency as decimal text
    char s[40];
    std::snprintf(s, sizeof s, "%s%lld.%04lld", v < 0 ? "-" : "", std::llabs(v) / kUnidade, std::llabs(v) % kUnidade);
    return s;
}
std::string Hex(ULONGLONG v) {
    char s[24];
    std::snprintf(s, sizeof s, "0x%llX", static_cast<unsigned long long>(v));
    return s;
}
std::string Chave(ULONGLONG dmc) {
    const REG_QVDMC k(dmc);
    return std::to_string(QVMAGetMes(k.GetMa())) + "/" + std::to_string(QVMAGetAno(k.GetMa())) + "#" +
           std::to_string(k.GetPonteiro());
}
ULONGLONG NovaChave(ULONG ponteiro, USHORT ma) {
    REG_QVDMC k;
    k.SetDMC(ponteiro, MOVIMENTO_GERENCIADOR_MANUT_PREV, ma);
    return k.Get64();
}

// The clock the service sees: the simulated day, eight in the morning.
std::mutex g_travaRelogio;
ULONG g_hoje = 0;
void DefineHoje(ULONG dia) {
    std::lock_guard t(g_travaRelogio);
    g_hoje = dia;
}
zenta::RelogioSistema::Instante Agora() {
    std::lock_guard t(g_travaRelogio);
    zenta::RelogioSistema::Instante i;
    REG_QVDMA(g_hoje).GetDMA(i.dia, i.mes, i.ano);
    i.hora = 8;
    return i;
}

// ---- A broken invariant ------------------------------------------------------------------

struct Violacao : std::runtime_error {
    std::string invariante;
    Violacao(std::string inv, const std::string& texto) : std::runtime_error(texto), invariante(std::move(inv)) {}
};

// ---- Records as a client holds them --------------------------------------------------------

template <class T>
struct Reg {
    T r{};
    Reg() = default;
    Reg(const Reg&) = delete;
    Reg& operator=(const Reg&) = delete;
    ~Reg() { zenta::LiberaRegistro(r); }
};
template <class T>
json ParaJson(const T& r) {
    json j;
    std::string erro;
    if (zenta::RegistroParaJson(r, j, erro) != S_OK) throw std::runtime_error("RegistroParaJson: " + erro);
    return j;
}
template <class T>
void DeJson(const json& j, Reg<T>& reg) {
    std::string erro;
    if (zenta::JsonParaRegistro(j, reg.r, erro) != S_OK) throw std::runtime_error("JsonParaRegistro: " + erro);
}

struct LiberaServico {
    void operator()(IQVGE_ManutencaoPreventiva* p) const {
        if (p != nullptr) p->Release();
    }
};
using Servico = std::unique_ptr<IQVGE_ManutencaoPreventiva, LiberaServico>;

// ---- The company's files as stored -----------------------------------------------------------

// The records of a file, read straight into place (after its header when it
// has one): the files are read several times a day, and a long life makes
// them large.
template <class T>
std::vector<T> Registros(const fs::path& p) {
    std::vector<T> v;
    std::ifstream in(p, std::ios::binary | std::ios::ate);
    if (!in) return v;
    const auto tamanho = static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0));
    std::array<std::byte, 24> prefixo{};
    std::size_t ini = 0;
    in.seekg(0);
    if (tamanho >= prefixo.size() && in.read(reinterpret_cast<char*>(prefixo.data()), prefixo.size()) &&
        zenta::dbcheck::PrefixoValido(prefixo.data()))
        ini = 240;
    v.resize(tamanho > ini ? (tamanho - ini) / sizeof(T) : 0);
    in.seekg(static_cast<std::streamoff>(ini));
    if (!v.empty() && !in.read(reinterpret_cast<char*>(v.data()), static_cast<std::streamsize>(v.size() * sizeof(T))))
        v.clear();
    return v;
}
// The run [primeiro, primeiro + qtd) of a child file (1-based); empty when it does not fit.
template <class T>
std::vector<T> Corrida(const std::vector<T>& arq, ULONG primeiro, ULONG qtd, bool& fora) {
    if (qtd == 0) return {};
    if (primeiro == 0 || static_cast<ULONGLONG>(primeiro) + qtd - 1 > arq.size()) {
        fora = true;
        return {};
    }
    return std::vector<T>(arq.begin() + (primeiro - 1), arq.begin() + (primeiro - 1 + qtd));
}

// The members of a per-month family: month/year code → path.
std::map<USHORT, fs::path> Grupo(const fs::path& dir, const std::string& prefixo) {
    std::map<USHORT, fs::path> m;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        const std::string n = e.path().filename().string();
        if (n.size() != prefixo.size() + 10 || n.compare(0, prefixo.size(), prefixo) != 0 ||
            n.substr(n.size() - 4) != ".dat")
            continue;
        const std::string num = n.substr(prefixo.size(), 6);
        if (num.find_first_not_of("0123456789") != std::string::npos) continue;
        const ULONG chave = static_cast<ULONG>(std::stoul(num));
        m[QVMAFromMesAno(static_cast<int>(chave / 10000), static_cast<int>(chave % 10000))] = e.path();
    }
    return m;
}

// A reserved quantity's place: product, grades, stock place, lot, production type.
using LugarReserva = std::tuple<ULONG, USHORT, USHORT, USHORT, USHORT, ULONG, BYTE>;

struct Ordem {
    ULONGLONG chave = 0;
    REG_MOVIMENTACAO_MANUT_PREV_V1 r{};
    std::map<LugarReserva, LONGLONG> reserva;  // what its lines make it reserve
    std::vector<ULONGLONG> compras;            // its purchase-request keys
    std::vector<REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1> os;
    bool corridaFora = false;
};

struct Manutencao {
    ULONG plano = 0;  // position of the plan
    REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1 m{};
    REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1 f{};
};

// Identification of a plan or reading (the serial compared without regard to case).
using Identificacao = std::tuple<ULONG, ULONG, ULONG, ULONG, ULONG, ULONG, ULONG, ULONG, std::string>;
template <class T>
Identificacao IdDe(const T& r) {
    std::string s(r.szNrSerie, strnlen(r.szNrSerie, sizeof r.szNrSerie));
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return {r.lEquipamento, r.lProduto, r.lGrade1, r.lGrade2, r.lGrade3, r.lMarca, r.lModelo, r.lTipo, s};
}

struct Retrato {
    std::vector<REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1> planos;
    std::vector<std::vector<Manutencao>> manutencoesDoPlano;  // per plan, in list order
    std::vector<std::vector<REG_CADASTRO_MANUTENCAO_CLIENTE_V1>> clientesDoPlano;
    std::vector<REG_CADASTRO_MEDIDORES_V1> medidores;
    std::vector<REG_CADASTRO_MEDICAO_ATUAL_V1> medicoes;
    std::vector<Ordem> ordens;
    std::vector<std::string> corridasFora;  // runs named past their file's end
};

Retrato LeRetrato(const fs::path& dir) {
    Retrato r;
    r.planos = Registros<REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1>(dir / "GEMPCADMANPREV.dat");
    const auto manut = Registros<REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1>(dir / "GEMPCADMA.dat");
    const auto freq = Registros<REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1>(dir / "GEMPCADMAFR.dat");
    const auto cli = Registros<REG_CADASTRO_MANUTENCAO_CLIENTE_V1>(dir / "GEMPCADMACLI.dat");
    r.medidores = Registros<REG_CADASTRO_MEDIDORES_V1>(dir / "GEMPMEDIDOR.dat");
    r.medicoes = Registros<REG_CADASTRO_MEDICAO_ATUAL_V1>(dir / "GEMPMED.dat");
    for (std::size_t p = 0; p < r.planos.size(); ++p) {
        const auto& pl = r.planos[p];
        bool fora = false;
        std::vector<Manutencao> lista;
        for (const auto& m : Corrida(manut, pl.lManutencoes, pl.lQtdManutencoes, fora)) {
            Manutencao x;
            x.plano = static_cast<ULONG>(p + 1);
            x.m = m;
            if (m.lFrequencia != 0 && m.lFrequencia <= freq.size()) x.f = freq[m.lFrequencia - 1];
            else fora = true;
            lista.push_back(x);
        }
        r.clientesDoPlano.push_back(Corrida(cli, pl.lClientes, pl.lQtdClientes, fora));
        r.manutencoesDoPlano.push_back(std::move(lista));
        if (fora) r.corridasFora.push_back("plano " + std::to_string(p + 1));
    }
    const auto rel = Registros<REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1>(dir / "GEMPRELMOVOS.dat");
    const auto produtos = Grupo(dir, "GEMOVPROMANUT");
    const auto locais = Grupo(dir, "GEMOVLEPROD");
    const auto compras = Grupo(dir, "GEMOVICM");
    for (const auto& [ma, caminho] : Grupo(dir, "GEMOVMANUT")) {
        const auto ordens = Registros<REG_MOVIMENTACAO_MANUT_PREV_V1>(caminho);
        const auto prod = produtos.count(ma) ? Registros<REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1>(produtos.at(ma))
                                             : std::vector<REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1>{};
        const auto loc = locais.count(ma) ? Registros<REG_MOVIMENTACAO_LOCAL_PRODUTO_V1>(locais.at(ma))
                                          : std::vector<REG_MOVIMENTACAO_LOCAL_PRODUTO_V1>{};
        const auto cmp = compras.count(ma) ? Registros<REG_QVDMC>(compras.at(ma)) : std::vector<REG_QVDMC>{};
        for (std::size_t i = 0; i < ordens.size(); ++i) {
            Ordem o;
            o.chave = NovaChave(static_cast<ULONG>(i + 1), ma);
            o.r = ordens[i];
            for (const auto& p : Corrida(prod, o.r.lProdutosMovimentacao, o.r.lQtdProdutos, o.corridaFora)) {
                const auto ls = Corrida(loc, p.lLocalEstoque, p.lQtdEstoque, o.corridaFora);
                for (const auto& l : ls) {
                    LONGLONG q = l.vQuantidadeEs.int64;
                    // A single place without a quantity of its own takes the line's.
                    if (ls.size() == 1 && q == 0) q = p.vQuantidadePrevista.int64;
                    const LugarReserva lugar{p.lProduto, static_cast<USHORT>(p.lGrade1), static_cast<USHORT>(p.lGrade2),
                                             static_cast<USHORT>(p.lGrade3), static_cast<USHORT>(l.lPonteiroLocal),
                                             l.lPonteiroLote, l.cTipoProducao};
                    o.reserva[lugar] += q;
                }
            }
            std::erase_if(o.reserva, [](const auto& e) { return e.second == 0; });
            for (const auto& k : Corrida(cmp, o.r.lPtrIntegracaoCompras, o.r.lQtdDMC, o.corridaFora))
                o.compras.push_back(k.Get64());
            o.os = Corrida(rel, o.r.lRelacionamentoOS, o.r.lQtdRelacionamentoOS, o.corridaFora);
            if (o.corridaFora) r.corridasFora.push_back("ordem " + Chave(o.chave));
            r.ordens.push_back(std::move(o));
        }
    }
    return r;
}

// ---- The ERP stand-in's tables, read as the other modules read them -----------------------------

struct OrdemServicoErp {
    USHORT ma;
    ULONG ptr;
    bool fechada;
    ULONGLONG origem;  // the maintenance order it was raised for
};
struct SolicitacaoErp {
    ULONGLONG chave;
    bool podeAlterar;
    ULONGLONG origem;
    std::vector<LONGLONG> quantidades;
};
struct Erp {
    std::map<ULONGLONG, std::map<LugarReserva, LONGLONG>> reservas;  // by order key
    std::map<ULONGLONG, std::set<ULONG>> filiaisReserva;
    std::vector<OrdemServicoErp> ordensServico;
    std::vector<SolicitacaoErp> solicitacoes;
};

Erp LeErp(const fs::path& arquivo) {
    Erp e;
    if (!fs::exists(arquivo)) return e;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(arquivo.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("erp: " + arquivo.string());
    }
    sqlite3_busy_timeout(db, 15000);
    auto consulta = [&](const char* sql, const std::function<void(sqlite3_stmt*)>& linha) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) return;  // table not created yet
        while (sqlite3_step(st) == SQLITE_ROW) linha(st);
        sqlite3_finalize(st);
    };
    auto blob = [](sqlite3_stmt* st, int col, void* destino, std::size_t tam) {
        if (static_cast<std::size_t>(sqlite3_column_bytes(st, col)) == tam)
            std::memcpy(destino, sqlite3_column_blob(st, col), tam);
    };
    consulta("SELECT chave, filial, registro FROM prebaixa", [&](sqlite3_stmt* st) {
        REG_ES_PREBAIXAPS p{};
        blob(st, 2, &p, sizeof p);
        const auto chave = static_cast<ULONGLONG>(sqlite3_column_int64(st, 0));
        const LugarReserva lugar{p.lProduto, p.usGrade1, p.usGrade2, p.usGrade3, p.usLocal, p.lPonteiroLote, p.cTipoProducao};
        e.reservas[chave][lugar] += p.vQuantidade.int64;
        e.filiaisReserva[chave].insert(static_cast<ULONG>(sqlite3_column_int64(st, 1)));
    });
    consulta("SELECT mes_ano, ponteiro, fechada, registro FROM ordem_servico", [&](sqlite3_stmt* st) {
        REG_AST_ORDEM_SERVICO_PS os{};
        blob(st, 3, &os, sizeof os);
        e.ordensServico.push_back({static_cast<USHORT>(sqlite3_column_int(st, 0)),
                                   static_cast<ULONG>(sqlite3_column_int64(st, 1)), sqlite3_column_int(st, 2) != 0,
                                   NovaChave(os.lPtrOrigem, os.maOrigem)});
    });
    consulta("SELECT chave, pode_alterar, origem FROM solicitacao_compra ORDER BY chave", [&](sqlite3_stmt* st) {
        e.solicitacoes.push_back({static_cast<ULONGLONG>(sqlite3_column_int64(st, 0)), sqlite3_column_int(st, 1) != 0,
                                  static_cast<ULONGLONG>(sqlite3_column_int64(st, 2)), {}});
    });
    for (auto& s : e.solicitacoes) {
        const std::string sql = "SELECT registro FROM solicitacao_compra_item WHERE chave = " +
                                std::to_string(static_cast<LONGLONG>(s.chave));
        consulta(sql.c_str(), [&](sqlite3_stmt* st) {
            REG_CM_ITEM_SOLICITACAO_PS item{};
            blob(st, 0, &item, sizeof item);
            s.quantidades.push_back(item.vQuantidade.int64);
        });
    }
    sqlite3_close(db);
    return e;
}

// ---- Disk check of every file -------------------------------------------------------------------

struct FormatoArquivo {
    const char* nome;  // file name, or a family's prefix (ends in '?')
    uint64_t tamanho;
    bool unico;
    bool texto;
};
constexpr FormatoArquivo kFormatos[] = {
    {"GEMPCADMANPREV.dat", 640, false, false}, {"GEMPCADMACLI.dat", 384, false, false},
    {"GEMPCADMA.dat", 256, false, false},      {"GEMPCADMAFR.dat", 256, false, false},
    {"GEMPCADMASR.dat", 64, false, false},     {"GEMPCADMAPR.dat", 128, false, false},
    {"GEMPCADMALEPR.dat", 64, false, false},   {"GEMPMED.dat", 256, false, false},
    {"GEMPMEDIDOR.dat", 32, false, false},     {"GEMPRELMOVOS.dat", 16, false, false},
    {"GEMOVDIA.dat", 16, false, false},        {"GEMPCADPROP.dat", 1024, true, false},
    {"GEMPMOVPROP.dat", 128, true, false},     {"GEMANUTENCAOPREVENTIVAVS.dat", 16, true, false},
    {"GEMPCADMAFRTXT.dat", 0, false, true},    {"GEMOVMANUTTXT.dat", 0, false, true},
    {"GEMPCADHISME?", 256, false, false},      {"GEMOVMANUT?", 640, false, false},
    {"GEMOVPROMANUT?", 128, false, false},     {"GEMOVLEPROD?", 64, false, false},
    {"GEMOVSERMANUT?", 64, false, false},      {"GEMOVICM?", 8, false, false},
};

// Every file's findings; `quantidades` receives each file's number of records or texts.
std::vector<std::string> VerificaDisco(const fs::path& dir, std::map<std::string, uint64_t>& quantidades) {
    std::vector<std::string> achados;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (!e.is_regular_file()) continue;
        const std::string n = e.path().filename().string();
        zenta::dbcheck::OpcoesVerificacao op;
        for (const auto& f : kFormatos) {
            const std::string nome = f.nome;
            const bool familia = nome.back() == '?';
            const bool casa = familia ? (n.size() == nome.size() - 1 + 10 && n.compare(0, nome.size() - 1, nome, 0,
                                                                                     nome.size() - 1) == 0)
                                      : n == nome;
            if (!casa) continue;
            op.tamanhoRegistro = f.tamanho;
            op.registroUnico = f.unico;
            op.texto = f.texto;
            break;
        }
        std::string erro;
        const auto fonte = zenta::dbcheck::FonteArquivo::Abre(e.path(), erro);
        if (!fonte) {
            achados.push_back(n + ": " + erro);
            continue;
        }
        const auto r = zenta::dbcheck::Verifica(*fonte, n, op);
        quantidades[n] = r.quantidade;
        for (const auto& a : r.achados) achados.push_back(zenta::dbcheck::FormataAchado(n, a));
    }
    return achados;
}

// ---- The master data of the ERP stand-in --------------------------------------------------------

const char* const kCadastros = R"json({
  "filial": [{"codigo": 1, "nome": "Matriz"}, {"codigo": 2, "nome": "Filial Norte"}, {"codigo": 3, "nome": "Filial Sul"}],
  "usuario": [
    {"codigo": 1, "nome": "Administrador", "email": "admin@simula.example"},
    {"codigo": 7, "nome": "Carlos", "email": "carlos@simula.example"},
    {"codigo": 8, "nome": "Ana", "email": "ana@simula.example"},
    {"codigo": 9, "nome": "Bruno sem correio"}
  ],
  "municipio": [{"codigo": 3550308, "nome": "São Paulo", "uf": "SP"}],
  "cliente": [
    {"codigo": 101, "nome": "Metalúrgica Boa Vista", "municipio": 3550308, "email": "m@boavista.example", "tabela_preco": 1},
    {"codigo": 102, "nome": "Padaria Pão Quente", "municipio": 3550308, "tabela_preco": 2}
  ],
  "marca": [{"codigo": 1, "nome": "Atlas"}, {"codigo": 2, "nome": "Ferraz"}],
  "modelo": [{"codigo": 10, "nome": "TX-500", "marca": 1}, {"codigo": 11, "nome": "CP-20", "marca": 2}],
  "tipo_equipamento": [{"codigo": 1, "nome": "Torno"}, {"codigo": 2, "nome": "Compressor"}],
  "equipamento": [
    {"codigo": 1001, "nome": "Torno 1", "marca": 1, "modelo": 10, "tipo": 1, "nr_serie": "T-1", "filial": 1},
    {"codigo": 1002, "nome": "Torno 2", "marca": 1, "modelo": 10, "tipo": 1, "nr_serie": "T-2", "filial": 1},
    {"codigo": 1003, "nome": "Compressor 1", "marca": 2, "modelo": 11, "tipo": 2, "nr_serie": "C-1", "filial": 2},
    {"codigo": 1004, "nome": "Compressor 2", "marca": 2, "modelo": 11, "tipo": 2, "nr_serie": "C-2", "filial": 3}
  ],
  "unidade_medida": [
    {"codigo": 1, "sigla": "h", "nome": "Hora", "casas_decimais": 1},
    {"codigo": 2, "sigla": "UN", "nome": "Unidade", "casas_decimais": 0},
    {"codigo": 3, "sigla": "L", "nome": "Litro", "casas_decimais": 2}
  ],
  "produto": [
    {"codigo": 501, "nome": "Óleo", "unidade": 3}, {"codigo": 502, "nome": "Filtro", "unidade": 2},
    {"codigo": 503, "nome": "Correia", "unidade": 2}, {"codigo": 504, "nome": "Bomba", "unidade": 2}
  ],
  "item_grade": [{"codigo": 1, "nome": "110 V"}, {"codigo": 2, "nome": "220 V"}],
  "servico": [
    {"codigo": 1, "nome": "Revisão", "unidade": 1, "valor": "90.00"},
    {"codigo": 2, "nome": "Troca de óleo", "unidade": 1, "valor": "60.00"},
    {"codigo": 3, "nome": "Inspeção", "unidade": 1}
  ],
  "preco_produto": [
    {"produto": 501, "tabela_preco": 1, "preco_venda": "25.00"},
    {"produto": 502, "tabela_preco": 1, "preco_venda": "40.00"},
    {"produto": 502, "tabela_preco": 2, "preco_venda": "42.00"}
  ],
  "local_estoque": [
    {"codigo": 1, "nome": "Almoxarifado", "filial": 1}, {"codigo": 2, "nome": "Depósito", "filial": 2},
    {"codigo": 3, "nome": "Oficina", "filial": 3}
  ]
})json";

// What can be maintained: equipment (code, brand, model, type, serials it
// may carry) and products with grades.
struct Item {
    ULONG equipamento, produto, grade1, marca, modelo, tipo;
    const char* series[2];
};
constexpr Item kItens[] = {
    {1001, 0, 0, 1, 10, 1, {"T-1", "t-1b"}}, {1002, 0, 0, 1, 10, 1, {"T-2", "T-2B"}},
    {1003, 0, 0, 2, 11, 2, {"C-1", "C-1B"}}, {1004, 0, 0, 2, 11, 2, {"C-2", "c-2b"}},
    {0, 504, 1, 0, 0, 0, {"B-1", "B-1X"}},   {0, 504, 2, 0, 0, 0, {"B-2", "B-2X"}},
};

// ---- The simulation -------------------------------------------------------------------------------

struct Opcoes {
    int dias = 120;
    unsigned long long semente = 1;
    std::string empresa = "SIMULA";
    std::set<std::string> desligadas;
    bool verboso = false;
    std::string home;  // ZENTA_HOME to use and keep; a temporary one otherwise
};

int Uso(const char* motivo = nullptr) {
    if (motivo != nullptr) std::fprintf(stderr, "zenta_simulacao: %s\n", motivo);
    std::fprintf(stderr, "uso: zenta_simulacao [--dias N] [--semente S] [--empresa NOME] [--home DIR]\n"
                         "                      [--desliga INVARIANTE|OPERACAO]... [--verboso]\n");
    return 2;
}

class Simulacao {
public:
    explicit Simulacao(const Opcoes& o) : m_op(o), m_rng(o.semente) {}

    int Executa();

private:
    using Operacao = void (Simulacao::*)();
    struct TipoOperacao {
        const char* nome;
        int peso;
        Operacao faz;
    };
    static const TipoOperacao kOperacoes[];

    // Random helpers.
    int Sorteia(int de, int ate) { return std::uniform_int_distribution<int>(de, ate)(m_rng); }
    bool Chance(int porCento) { return Sorteia(1, 100) <= porCento; }
    template <class C>
    auto& Um(C& c) { return c[static_cast<std::size_t>(Sorteia(0, static_cast<int>(std::size(c)) - 1))]; }

    fs::path Dados() const { return m_home / "data" / m_op.empresa / "GE"; }
    IQVGE_ManutencaoPreventiva& Sessao() { return (m_b && Chance(40)) ? *m_b : *m_a; }
    Servico Abre(ULONG usuario, ULONG sessao, HRESULT& hr);
    void Registra(const std::string& texto, HRESULT hr);
    void Viola(const std::string& invariante, const std::string& texto);

    // Building records.
    json NovaManutencao();
    json NovoPlano(const Item& item, const char* serie);
    json LinhasDoPlano(const json& manutencao, json& produtos, json& servicos);
    void DefineMailServidor(bool fora);

    // Operations.
    void OpNovoPlano();
    void OpEditaPlano();
    void OpCopiaPlano();
    void OpMudaIdentificacao();
    void OpAtivacao();
    void OpLeitura();
    void OpSubstituiMedidor();
    void OpNovaOrdem();
    void OpEditaOrdem();
    void OpConcluiOrdem();
    void OpCancelaOrdem();
    void OpCorrigeFinalizada();
    void OpSalvaCopiaAntiga();
    void OpFechaOS();
    void OpTomaSolicitacao();
    void OpSegundaSessao();
    void OpAvisos();
    void OpExcluiManual();

    bool LePlano(ULONG pos, json& plano);
    HRESULT GravaPlano(ULONG& pos, const json& plano);
    HRESULT GravaOrdem(const json& ordem, ULONGLONG& chave);
    bool OrdemAberta(ULONG codigo);
    void Finaliza(const json& ordem, ULONG situacao);

    // Invariants.
    void ConfereManha(const Retrato& r);
    void ConfereDia();
    // Whether an invariant or an operation (a kind, or "edita plano: <what>")
    // is on: --desliga turns one off while a fault it meets is open.
    bool Ligada(const char* nome) const { return m_op.desligadas.count(nome) == 0; }

    Opcoes m_op;
    std::mt19937_64 m_rng;
    fs::path m_home;
    ULONG m_hoje = 0;
    int m_dia = 0;
    Servico m_a, m_b;
    std::deque<std::string> m_ultimas;
    std::vector<ULONG> m_planos;                    // positions of the plans saved
    std::set<ULONG> m_codigosRemovidos;             // maintenance codes edited out of their plans
    std::map<ULONG, ULONG> m_base;                  // code → day its day count last started
    std::vector<ULONGLONG> m_ordens;                // keys of orders known (generated or saved)
    std::vector<ULONGLONG> m_abertas;               // open orders at the start of the day
    std::vector<json> m_copiasAntigas;              // orders as read some time ago
    std::map<std::string, std::map<std::string, int>> m_resultados;  // operation → result → count
    unsigned short m_portaFechada = 0;
    long m_operacoes = 0;
    std::chrono::steady_clock::time_point m_relogio = std::chrono::steady_clock::now();
    const std::chrono::steady_clock::time_point m_inicio = std::chrono::steady_clock::now();
};

const Simulacao::TipoOperacao Simulacao::kOperacoes[] = {
    {"novo plano", 6, &Simulacao::OpNovoPlano},
    {"edita plano", 12, &Simulacao::OpEditaPlano},
    {"copia plano", 2, &Simulacao::OpCopiaPlano},
    {"muda identificacao", 3, &Simulacao::OpMudaIdentificacao},
    {"ativa ou desativa plano", 3, &Simulacao::OpAtivacao},
    {"leitura", 14, &Simulacao::OpLeitura},
    {"substitui medidor", 2, &Simulacao::OpSubstituiMedidor},
    {"nova ordem", 5, &Simulacao::OpNovaOrdem},
    {"edita ordem", 10, &Simulacao::OpEditaOrdem},
    {"conclui ordem", 10, &Simulacao::OpConcluiOrdem},
    {"cancela ordem", 3, &Simulacao::OpCancelaOrdem},
    {"corrige ordem finalizada", 3, &Simulacao::OpCorrigeFinalizada},
    {"salva copia antiga", 2, &Simulacao::OpSalvaCopiaAntiga},
    {"fecha OS no ERP", 4, &Simulacao::OpFechaOS},
    {"compras assume solicitacao", 4, &Simulacao::OpTomaSolicitacao},
    {"segunda sessao", 4, &Simulacao::OpSegundaSessao},
    {"avisos do dia", 3, &Simulacao::OpAvisos},
    {"exclui planos manuais", 1, &Simulacao::OpExcluiManual},
};

void Simulacao::Registra(const std::string& texto, HRESULT hr) {
    const std::string resultado = hr == S_OK ? "S_OK" : Hex(static_cast<ULONG>(hr));
    m_ultimas.push_back("dia " + std::to_string(m_dia) + " (" + TextoData(m_hoje) + "): " + texto + " -> " + resultado);
    if (m_ultimas.size() > 25) m_ultimas.pop_front();
    if (m_op.verboso) {
        const auto agora = std::chrono::steady_clock::now();
        std::printf("%s (%lld ms)\n", m_ultimas.back().c_str(),
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(agora - m_relogio).count()));
        m_relogio = agora;
    }
    const std::string nome = texto.substr(0, texto.find(':'));
    ++m_resultados[nome][resultado];
}

void Simulacao::Viola(const std::string& invariante, const std::string& texto) { throw Violacao(invariante, texto); }

Servico Simulacao::Abre(ULONG usuario, ULONG sessao, HRESULT& hr) {
    IQVGE_ManutencaoPreventiva* p = nullptr;
    hr = CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_INPROC_SERVER, IID_IQVGE_ManutencaoPreventiva,
                          reinterpret_cast<void**>(&p));
    if (FAILED(hr)) return Servico();
    Servico s(p);
    hr = p->Inicializa_Padrao(zenta::teste::RegistroInicializacao(m_op.empresa, usuario, sessao));
    return s;
}

void Simulacao::DefineMailServidor(bool fora) {
    HKEY h = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, zenta::kChaveRegistroEmail, 0, nullptr, 0, KEY_WRITE, nullptr, &h,
                        nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("registro do correio");
    if (fora) {
        const std::string servidor = "127.0.0.1";
        const DWORD porta = m_portaFechada, espera = 2;
        RegSetValueExA(h, "ServidorSMTP", 0, REG_SZ, reinterpret_cast<const BYTE*>(servidor.c_str()),
                       static_cast<DWORD>(servidor.size() + 1));
        RegSetValueExA(h, "PortaSMTP", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&porta), sizeof porta);
        RegSetValueExA(h, "TimeoutSMTP", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&espera), sizeof espera);
    } else {
        RegDeleteValueA(h, "ServidorSMTP");  // no server: messages wait in the Maildir
    }
    RegCloseKey(h);
}

// ---- Building plans ---------------------------------------------------------------------------------

json Simulacao::NovaManutencao() {
    const int tipo = std::array<int, 6>{1, 2, 2, 3, 1, 4}[static_cast<std::size_t>(Sorteia(0, 5))];
    json f = {{"lTipoFrequencia", tipo}, {"lQtdCasasDecimaisMedicao", 1}, {"horaDuracao", "2"}};
    if (tipo != 3) {
        const int unidade = Sorteia(1, 3);
        f["lTipoFrequenciaTempo"] = unidade;
        f["lFrequenciaTempo"] = unidade == 1 ? Sorteia(3, 40) : unidade == 2 ? Sorteia(1, 6) : Sorteia(1, 2);
        if (Chance(20)) f["lFrequenciaLimiteTempo"] = Sorteia(1, 2);
    }
    if (tipo != 2) {
        f["vMedicaoInicial"] = std::to_string(Sorteia(0, 1) * 100);
        f["vFrequenciaMedicao"] = std::to_string(Sorteia(2, 10) * 50);
    }
    const int inicio = Sorteia(0, 9);
    if (inicio > 0) f["dataInicial"] = TextoData(m_hoje + static_cast<ULONG>(Sorteia(-60, 10)));
    if (Chance(50)) f["szObservacao"] = "Observação " + std::to_string(Sorteia(1, 999));
    json m = {{"frequenciaPS", f},
              {"szNomeManutencao", "Manutenção " + std::to_string(Sorteia(1, 99))},
              {"lTecnico", std::array<int, 4>{7, 8, 9, 7}[static_cast<std::size_t>(Sorteia(0, 3))]}};
    if (Chance(50)) m["lServicoCadastro"] = Sorteia(1, 3);
    if (Chance(15)) m["dataFinalContrato"] = TextoData(m_hoje + static_cast<ULONG>(Sorteia(10, 200)));
    json produtos = json::array(), servicos = json::array();
    LinhasDoPlano(m, produtos, servicos);
    m["listaProdutos"] = {{"pProdutos", produtos}};
    m["listaServicos"] = {{"pServicos", servicos}};
    return m;
}

// Random product and service lines for a plan's maintenance or an order.
json Simulacao::LinhasDoPlano(const json& manutencao, json& produtos, json& servicos) {
    const int tecnico = manutencao.value("lTecnico", 7);
    const int minimo = Ligada("listas vazias") ? 0 : 1;
    for (int i = Sorteia(minimo, 2); i > 0; --i)
        servicos.push_back({{"lServico", Sorteia(1, 3)}, {"lTecnico", tecnico}, {"vQuantidadePrevista", std::to_string(Sorteia(1, 4))}});
    for (int i = Sorteia(minimo, 3); i > 0; --i) {
        const int produto = Sorteia(501, 504);
        json locais = json::array();
        LONGLONG total = 0;
        for (int k = Sorteia(minimo, 2); k > 0; --k) {
            const LONGLONG q = Sorteia(0, 3) == 0 ? 0 : Sorteia(1, 30) * 2500;
            total += q;
            json l = {{"lPonteiroLocal", Sorteia(1, 3)}, {"vQuantidadeEs", Valor(q)}};
            if (Chance(30)) l["lPonteiroLote"] = Sorteia(70, 72);
            locais.push_back(l);
        }
        json p = {{"lProduto", produto}, {"lTecnico", tecnico},
                  {"vQuantidadePrevista", Valor(total != 0 ? total : Sorteia(1, 8) * kUnidade)},
                  {"listaLocal", {{"pLocaisEstoque", locais}}}};
        if (produto == 504) p["lGrade1"] = Sorteia(1, 2);
        produtos.push_back(p);
    }
    return json();
}

json Simulacao::NovoPlano(const Item& item, const char* serie) {
    json id = {{"lFilial", Sorteia(1, 3)}, {"lSituacao", Chance(85) ? 1 : 2}, {"szNrSerie", serie}};
    if (item.equipamento != 0) {
        id["lEquipamento"] = item.equipamento;
        id["lMarca"] = item.marca;
        id["lModelo"] = item.modelo;
        id["lTipo"] = item.tipo;
        const std::string inicial = std::to_string(Sorteia(0, 20) * 100);
        id["regMedidorAtual"] = {{"vQuantidadeInicial", inicial}, {"vQuantidadeAtual", inicial},
                                 {"lPonteiroUnMedida", 1}, {"cTipoUnidadeMedida", 1}};
    } else {
        id["lProduto"] = item.produto;
        id["lGrade1"] = item.grade1;
    }
    json manutencoes = json::array();
    for (int i = Sorteia(1, 3); i > 0; --i) manutencoes.push_back(NovaManutencao());
    json clientes = json::array();
    const int c = Sorteia(0, 5);
    if (c >= 1) clientes.push_back({{"lCliente", 101}, {"lMunicipio", 3550308}, {"szEndereco", "Rua A"}});
    if (c >= 4) {
        clientes[0]["dataInicial"] = TextoData(m_hoje - static_cast<ULONG>(Sorteia(0, 30)));
        if (c == 5) clientes[0]["dataFinal"] = TextoData(m_hoje + static_cast<ULONG>(Sorteia(0, 90)));
        clientes.push_back({{"lCliente", 102}, {"lMunicipio", 3550308}, {"dataInicial", TextoData(m_hoje)}});
    }
    return {{"idEquipamentoPS", id}, {"listaManutencoes", {{"pManutencoes", manutencoes}}},
            {"listaClientes", {{"pClientes", clientes}}}};
}

bool Simulacao::LePlano(ULONG pos, json& plano) {
    Reg<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> r;
    const HRESULT hr = Sessao().Le(static_cast<LONG>(pos), &r.r);
    if (hr != S_OK) {
        Registra("le plano: " + std::to_string(pos), hr);
        return false;
    }
    plano = ParaJson(r.r);
    return true;
}

HRESULT Simulacao::GravaPlano(ULONG& pos, const json& plano) {
    Reg<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> r;
    DeJson(plano, r);
    LONG p = static_cast<LONG>(pos);
    const HRESULT hr = Sessao().Grava(&p, r.r);
    if (hr == S_OK) pos = static_cast<ULONG>(p);
    return hr;
}

// The day count of every maintenance of a plan saved anew starts at its
// first day (today when it has none).
void RegistraBases(const json& plano, std::map<ULONG, ULONG>& base, ULONG hoje, bool conhecida) {
    for (const auto& m : plano["listaManutencoes"].value("pManutencoes", json::array())) {
        const ULONG codigo = m.value("lCodigoManutencao", 0u);
        if (codigo == 0) continue;
        if (!conhecida) {
            base.erase(codigo);
            continue;
        }
        const json& f = m["frequenciaPS"];
        ULONG inicio = hoje;
        if (f.contains("dataInicial") && f["dataInicial"].is_string()) {
            int a = 0, me = 0, d = 0;
            std::sscanf(f["dataInicial"].get<std::string>().c_str(), "%d-%d-%d", &a, &me, &d);
            inicio = REG_QVDMA(d, me, a).GetData();
        }
        base[codigo] = inicio;
    }
}

void Simulacao::OpNovoPlano() {
    const Item& item = Um(kItens);
    json plano = NovoPlano(item, item.series[0]);
    ULONG pos = 0;
    const HRESULT hr = GravaPlano(pos, plano);
    Registra("novo plano: " + std::string(item.series[0]) + " em " + std::to_string(pos), hr);
    if (hr != S_OK) return;
    m_planos.push_back(pos);
    json lido;
    if (LePlano(pos, lido)) RegistraBases(lido, m_base, m_hoje, true);
}

void Simulacao::OpEditaPlano() {
    if (m_planos.empty()) return;
    const ULONG pos = Um(m_planos);
    json plano;
    if (!LePlano(pos, plano)) return;
    json& manutencoes = plano["listaManutencoes"]["pManutencoes"];
    std::string oque;
    std::set<ULONG> antes;
    for (const auto& m : manutencoes) antes.insert(m.value("lCodigoManutencao", 0u));
    bool frequenciaMudou = false;
    switch (Sorteia(0, 8)) {
        case 8:  // stored positions from somewhere else: the server keeps to its own
            if (manutencoes.empty()) return;
            Um(manutencoes)["frequenciaPS"]["lObservacao"] = Sorteia(1, 5000);
            Um(manutencoes)["lServicosManutencao"] = Sorteia(1, 5000);
            plano["lPonteiroMedicao"] = Sorteia(1, 5000);
            oque = "ponteiros alheios";
            break;
        case 0:  // every service of a maintenance removed
            if (manutencoes.empty() || !Ligada("listas vazias")) return;
            Um(manutencoes)["listaServicos"]["pServicos"] = json::array();
            oque = "servicos esvaziados";
            break;
        case 1: {  // every stock place of a product removed, or every product
            if (manutencoes.empty() || !Ligada("listas vazias")) return;
            json& produtos = Um(manutencoes)["listaProdutos"]["pProdutos"];
            if (!produtos.empty() && Chance(50)) {
                Um(produtos)["listaLocal"]["pLocaisEstoque"] = json::array();
                oque = "locais esvaziados";
            } else {
                produtos = json::array();
                oque = "produtos esvaziados";
            }
            break;
        }
        case 2: {  // lists refilled
            if (manutencoes.empty()) return;
            json& m = Um(manutencoes);
            json produtos = json::array(), servicos = json::array();
            LinhasDoPlano(m, produtos, servicos);
            m["listaProdutos"]["pProdutos"] = produtos;
            m["listaServicos"]["pServicos"] = servicos;
            oque = "listas refeitas";
            break;
        }
        case 3:  // a maintenance added
            manutencoes.push_back(NovaManutencao());
            oque = "manutencao incluida";
            break;
        case 4:  // a maintenance removed
            if (manutencoes.empty()) return;
            manutencoes.erase(manutencoes.begin() + Sorteia(0, static_cast<int>(manutencoes.size()) - 1));
            oque = "manutencao removida";
            break;
        case 5: {  // its frequency changed
            if (manutencoes.empty()) return;
            json& f = Um(manutencoes)["frequenciaPS"];
            if (f.value("lTipoFrequencia", 0) == 3) return;
            f["lFrequenciaTempo"] = Sorteia(3, 30);
            f["lTipoFrequenciaTempo"] = 1;
            frequenciaMudou = true;
            oque = "frequencia mudada";
            break;
        }
        case 6:  // the clients changed
            plano["listaClientes"]["pClientes"] = NovoPlano(kItens[0], "x")["listaClientes"]["pClientes"];
            oque = "clientes mudados";
            break;
        default:  // only texts
            if (manutencoes.empty()) return;
            Um(manutencoes)["frequenciaPS"]["szObservacao"] = "Revisto no dia " + TextoData(m_hoje);
            oque = "observacao mudada";
            break;
    }
    if (!Ligada(("edita plano: " + oque).c_str())) return;
    ULONG p = pos;
    const HRESULT hr = GravaPlano(p, plano);
    Registra("edita plano: " + std::to_string(pos) + " " + oque, hr);
    if (hr != S_OK) return;
    json lido;
    if (!LePlano(pos, lido)) return;
    std::set<ULONG> depois;
    for (const auto& m : lido["listaManutencoes"].value("pManutencoes", json::array())) {
        const ULONG codigo = m.value("lCodigoManutencao", 0u);
        depois.insert(codigo);
        if (!antes.count(codigo)) RegistraBases(json{{"listaManutencoes", {{"pManutencoes", {m}}}}}, m_base, m_hoje, true);
        else if (frequenciaMudou) m_base.erase(codigo);  // re-armed from a new frequency: not followed
    }
    for (ULONG c : antes)
        if (!depois.count(c)) m_codigosRemovidos.insert(c);
}

void Simulacao::OpCopiaPlano() {
    if (m_planos.empty()) return;
    const ULONG origem = Um(m_planos);
    json plano;
    if (!LePlano(origem, plano)) return;
    ULONG pos = 0;
    const HRESULT hr = GravaPlano(pos, plano);
    Registra("copia plano: " + std::to_string(origem) + " em " + std::to_string(pos), hr);
    if (hr != S_OK) return;
    m_planos.push_back(pos);
    json lido;
    if (LePlano(pos, lido)) RegistraBases(lido, m_base, m_hoje, false);  // a copy's counters are the original's
}

void Simulacao::OpMudaIdentificacao() {
    if (m_planos.empty()) return;
    const ULONG pos = Um(m_planos);
    json plano;
    if (!LePlano(pos, plano)) return;
    json& id = plano["idEquipamentoPS"];
    // Another serial of the same item: sometimes one another plan already uses.
    const std::string atual = id.value("szNrSerie", "");
    std::string nova;
    for (const Item& it : kItens)
        if (it.equipamento == id.value("lEquipamento", 0u) && it.produto == id.value("lProduto", 0u) &&
            it.grade1 == id.value("lGrade1", 0u))
            nova = atual == it.series[0] ? it.series[1] : it.series[0];
    if (nova.empty()) return;
    id["szNrSerie"] = nova;
    ULONG p = pos;
    const HRESULT hr = GravaPlano(p, plano);
    Registra("muda identificacao: plano " + std::to_string(pos) + " " + atual + " -> " + nova, hr);
}

void Simulacao::OpAtivacao() {
    if (m_planos.empty()) return;
    const ULONG pos = Um(m_planos);
    json plano;
    if (!LePlano(pos, plano)) return;
    const int situacao = plano["idEquipamentoPS"].value("lSituacao", 1) == 1 ? 2 : 1;
    plano["idEquipamentoPS"]["lSituacao"] = situacao;
    ULONG p = pos;
    const HRESULT hr = GravaPlano(p, plano);
    Registra("ativa ou desativa plano: " + std::to_string(pos) + " situacao " + std::to_string(situacao), hr);
}

void Simulacao::OpLeitura() {
    if (m_planos.empty()) return;
    const ULONG pos = Um(m_planos);
    json plano;
    if (!LePlano(pos, plano)) return;
    const json& id = plano["idEquipamentoPS"];
    LONGLONG atual = 0;
    if (id.contains("regMedidorAtual")) {
        const std::string v = id["regMedidorAtual"].value("vQuantidadeAtual", "0");
        atual = static_cast<LONGLONG>(std::stod(v) * kUnidade + 0.5);
    }
    LONGLONG nova = atual + Sorteia(0, 400) * kUnidade;
    if (Chance(5)) nova = 0;
    if (Chance(5)) nova = atual / 2;
    json m = {{"lEquipamento", id.value("lEquipamento", 0u)}, {"lProduto", id.value("lProduto", 0u)},
              {"lGrade1", id.value("lGrade1", 0u)},         {"lMarca", id.value("lMarca", 0u)},
              {"lModelo", id.value("lModelo", 0u)},         {"lTipo", id.value("lTipo", 0u)},
              {"szNrSerie", id.value("szNrSerie", "")},     {"lTecnico", 7},
              {"vQuantidadeMedicao", Valor(nova)},         {"lQtdCasasDecimais", 1},
              {"cMedicaoAtiva", 1},                         {"dataMedicaoInformada", TextoData(m_hoje)},
              {"dataMedicaoCalculo", TextoData(m_hoje)}};
    const bool comPlano = Chance(60);
    if (comPlano) m["lPonteiroCadastro"] = pos;
    Reg<_REG_CADASTRO_MEDICAO_ATUAL_PS> r;
    DeJson(json{{"regMedicaoAtual", m}}, r);
    const bool historico = Chance(50);
    const HRESULT hr = Sessao().GravaMedicaoAtual(&r.r, historico ? 1 : 0, 1);
    Registra("leitura: plano " + std::to_string(pos) + " " + Valor(nova) + (comPlano ? " com plano" : " sem plano") +
                 (historico ? " com historico" : ""),
             hr);
}

void Simulacao::OpSubstituiMedidor() {
    if (m_planos.empty()) return;
    const ULONG pos = Um(m_planos);
    Reg<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> cadastro;
    cadastro.r.lPonteiroRegistro = pos;
    _REG_CADASTRO_MEDIDORES_PS medidor{};
    medidor.lPonteiroUnMedida = 1;
    medidor.cTipoUnidadeMedida = 1;
    const HRESULT hr = Sessao().GravaMedidorSubstituido(cadastro.r, medidor);
    Registra("substitui medidor: plano " + std::to_string(pos), hr);
}

// ---- Orders -----------------------------------------------------------------------------------

HRESULT Simulacao::GravaOrdem(const json& ordem, ULONGLONG& chave) {
    Reg<_REG_MOVIMENTACAO_MANUT_PREV_PS> r;
    DeJson(ordem, r);
    chave = 0;
    const HRESULT hr = Sessao().GravaMovimentacao(r.r, &chave);
    if (hr == S_OK && std::find(m_ordens.begin(), m_ordens.end(), chave) == m_ordens.end()) m_ordens.push_back(chave);
    return hr;
}

bool Simulacao::OrdemAberta(ULONG codigo) {
    Reg<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS> lista;
    if (Sessao().BuscaMovimentosPelaManutencao(codigo, &lista.r) != S_OK) return true;
    for (ULONG i = 0; i < lista.r.lQtdRegistros; ++i)
        if (lista.r.pRegistros[i].lSituacao == 0) return true;
    return false;
}

void Simulacao::OpNovaOrdem() {
    if (m_planos.empty()) return;
    const ULONG pos = Um(m_planos);
    json plano;
    if (!LePlano(pos, plano)) return;
    const json& id = plano["idEquipamentoPS"];
    json manutencoes = plano["listaManutencoes"].value("pManutencoes", json::array());
    ULONG codigo = 0;
    json produtos = json::array(), servicos = json::array();
    if (!manutencoes.empty() && Chance(80)) {
        const json& m = Um(manutencoes);
        codigo = m.value("lCodigoManutencao", 0u);
        produtos = m["listaProdutos"].value("pProdutos", json::array());
        servicos = m["listaServicos"].value("pServicos", json::array());
    } else {
        LinhasDoPlano(json::object(), produtos, servicos);
    }
    // A user opens an order only for a maintenance without one.
    const int situacao = Chance(70) ? 0 : Chance(60) ? 1 : 2;
    if (codigo != 0 && situacao == 0 && OrdemAberta(codigo)) codigo = 0;
    // Filed in this month, or in another (a correction, a late entry).
    int mes = 0, ano = 0;
    QVMAToMesAno(REG_QVDMA(m_hoje).GetMa(), mes, ano);
    if (Chance(15)) {
        mes += Sorteia(-2, 2);
        if (mes < 1) mes += 12, --ano;
        if (mes > 12) mes -= 12, ++ano;
    }
    json ordem = {{"dmcChave", NovaChave(0, QVMAFromMesAno(mes, ano))},
                  {"lFilial", id.value("lFilial", 1u)},
                  {"lCliente", 101},
                  {"lSituacao", situacao},
                  {"lPonteiroCadastro", pos},
                  {"lEquipamento", id.value("lEquipamento", 0u)},
                  {"lMarca", id.value("lMarca", 0u)},
                  {"lModelo", id.value("lModelo", 0u)},
                  {"lTipo", id.value("lTipo", 0u)},
                  {"lProduto", id.value("lProduto", 0u)},
                  {"lPonteiroGrade1", id.value("lGrade1", 0u)},
                  {"szNrSerie", id.value("szNrSerie", "")},
                  {"lTecnico", 7},
                  {"lCodigoManutencao", codigo},
                  {"bGerarOS", Chance(50) ? 1 : 0},
                  {"dataPrevista", TextoData(m_hoje)},
                  {"listaProdutos", {{"pProdutos", produtos}}},
                  {"listaServicos", {{"pServicos", servicos}}}};
    if (situacao == 2) ordem["dataCancelamento"] = TextoData(m_hoje);
    ULONGLONG chave = 0;
    const HRESULT hr = GravaOrdem(ordem, chave);
    Registra("nova ordem: plano " + std::to_string(pos) + " manutencao " + std::to_string(codigo) + " situacao " +
                 std::to_string(situacao) + " mes " + std::to_string(mes) + "/" + std::to_string(ano) + " -> " +
                 Chave(chave),
             hr);
    if (hr == S_OK && situacao != 0 && codigo != 0) m_base[codigo] = m_hoje;
}

void Simulacao::OpEditaOrdem() {
    if (m_abertas.empty()) return;
    const ULONGLONG chave = Um(m_abertas);
    Reg<_REG_MOVIMENTACAO_MANUT_PREV_PS> lida;
    HRESULT hr = Sessao().LeMovimentacao(chave, &lida.r);
    if (hr != S_OK) return Registra("le ordem: " + Chave(chave), hr);
    json ordem = ParaJson(lida.r);
    if (Chance(30)) m_copiasAntigas.push_back(ordem);
    if (m_copiasAntigas.size() > 8) m_copiasAntigas.erase(m_copiasAntigas.begin());
    std::string oque;
    json& produtos = ordem["listaProdutos"]["pProdutos"];
    json& servicos = ordem["listaServicos"]["pServicos"];
    switch (Sorteia(0, 4)) {
        case 0:
            ordem["lFilial"] = Sorteia(1, 3);
            oque = "filial " + std::to_string(ordem["lFilial"].get<int>());
            break;
        case 1: {
            json p = json::array(), s = json::array();
            LinhasDoPlano(json::object(), p, s);
            produtos = p;
            servicos = s;
            oque = "linhas refeitas";
            break;
        }
        case 2:  // purchase asked for some lines
            for (auto& p : produtos)
                if (Chance(50)) p["bGerarSolicitacaoCompras"] = 1;
            for (auto& s : servicos)
                if (Chance(30)) s["bGerarSolicitacaoCompras"] = 1;
            oque = "compras pedidas";
            break;
        case 3:  // quantities used differ from the planned ones
            for (auto& p : produtos) p["vQuantidadeUtilizada"] = Valor(Sorteia(0, 40) * 2500);
            oque = "quantidades usadas";
            break;
        default:
            ordem["bsOcorrencia"] = "Ocorrência " + std::to_string(Sorteia(1, 999));
            oque = "ocorrencia";
            break;
    }
    ULONGLONG gravada = 0;
    hr = GravaOrdem(ordem, gravada);
    Registra("edita ordem: " + Chave(chave) + " " + oque, hr);
}

void Simulacao::Finaliza(const json& lida, ULONG situacao) {
    json ordem = lida;
    ordem["lSituacao"] = situacao;
    if (situacao == 1) {
        ordem["bGerarOS"] = Chance(60) ? 1 : 0;
        ordem["dataInicio"] = ordem["dataFim"] = TextoData(m_hoje);
        for (auto& p : ordem["listaProdutos"]["pProdutos"])
            if (Chance(30)) p["bGerarSolicitacaoCompras"] = 1;
    } else {
        ordem["dataCancelamento"] = TextoData(m_hoje);
        ordem["szMotivoCancelamento"] = "Cancelada";
    }
    ULONGLONG chave = 0;
    const HRESULT hr = GravaOrdem(ordem, chave);
    const ULONG codigo = ordem.value("lCodigoManutencao", 0u);
    Registra(std::string(situacao == 1 ? "conclui ordem: " : "cancela ordem: ") + Chave(ordem.value("dmcChave", 0ull)) +
                 " manutencao " + std::to_string(codigo),
             hr);
    if (hr == S_OK && codigo != 0) m_base[codigo] = m_hoje;
    if (hr == S_OK) std::erase(m_abertas, chave);
}

void Simulacao::OpConcluiOrdem() {
    if (m_abertas.empty()) return;
    const ULONGLONG chave = Um(m_abertas);
    Reg<_REG_MOVIMENTACAO_MANUT_PREV_PS> lida;
    const HRESULT hr = Sessao().LeMovimentacao(chave, &lida.r);
    if (hr != S_OK) return Registra("le ordem: " + Chave(chave), hr);
    if (lida.r.lSituacao != 0) return;
    Finaliza(ParaJson(lida.r), 1);
}

void Simulacao::OpCancelaOrdem() {
    if (m_abertas.empty()) return;
    const ULONGLONG chave = Um(m_abertas);
    Reg<_REG_MOVIMENTACAO_MANUT_PREV_PS> lida;
    const HRESULT hr = Sessao().LeMovimentacao(chave, &lida.r);
    if (hr != S_OK) return Registra("le ordem: " + Chave(chave), hr);
    if (lida.r.lSituacao != 0) return;
    Finaliza(ParaJson(lida.r), 2);
}

// A finished order corrected later (its occurrence): it keeps its day and
// re-arms nothing, so its maintenance's day count goes on.
void Simulacao::OpCorrigeFinalizada() {
    if (m_ordens.empty()) return;
    const ULONGLONG chave = Um(m_ordens);
    Reg<_REG_MOVIMENTACAO_MANUT_PREV_PS> lida;
    HRESULT hr = Sessao().LeMovimentacao(chave, &lida.r);
    if (hr != S_OK) return Registra("le ordem: " + Chave(chave), hr);
    if (lida.r.lSituacao == 0) return;
    json ordem = ParaJson(lida.r);
    ordem["bsOcorrencia"] = "Corrigida em " + TextoData(m_hoje);
    ULONGLONG gravada = 0;
    hr = GravaOrdem(ordem, gravada);
    Registra("corrige ordem finalizada: " + Chave(chave) + " situacao " + std::to_string(lida.r.lSituacao), hr);
}

// Two users editing one order: the older copy is saved after the newer.
void Simulacao::OpSalvaCopiaAntiga() {
    if (m_copiasAntigas.empty()) return;
    const json ordem = Um(m_copiasAntigas);
    ULONGLONG chave = 0;
    const HRESULT hr = GravaOrdem(ordem, chave);
    Registra("salva copia antiga: " + Chave(ordem.value("dmcChave", 0ull)) + " versao " +
                 std::to_string(ordem.value("lVersaoRegistro", 0u)),
             hr);
}

void Simulacao::OpFechaOS() {
    const Erp erp = LeErp(m_home / "data" / m_op.empresa / "DF" / "erp.sqlite");
    std::vector<OrdemServicoErp> abertas;
    for (const auto& os : erp.ordensServico)
        if (!os.fechada) abertas.push_back(os);
    if (abertas.empty()) return;
    const auto& os = Um(abertas);
    const HRESULT hr = zenta::FechaOrdemServicoErp(m_op.empresa, os.ma, os.ptr);
    Registra("fecha OS no ERP: " + std::to_string(os.ma) + "#" + std::to_string(os.ptr), hr);
}

void Simulacao::OpTomaSolicitacao() {
    const Erp erp = LeErp(m_home / "data" / m_op.empresa / "DF" / "erp.sqlite");
    std::vector<ULONGLONG> alteraveis;
    for (const auto& s : erp.solicitacoes)
        if (s.podeAlterar) alteraveis.push_back(s.chave);
    if (alteraveis.empty()) return;
    const ULONGLONG chave = Um(alteraveis);
    const HRESULT hr = zenta::TornaSolicitacaoInalteravelErp(m_op.empresa, chave);
    Registra("compras assume solicitacao: " + Hex(chave), hr);
}

void Simulacao::OpSegundaSessao() {
    if (m_b) return;
    HRESULT hr = S_OK;
    m_b = Abre(8, 43, hr);
    Registra("segunda sessao: usuario 8", hr);
    if (hr != S_OK) Viola("a empresa inicia", "a segunda sessao do dia falhou: " + Hex(static_cast<ULONG>(hr)));
}

void Simulacao::OpAvisos() {
    Reg<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS> lista;
    const HRESULT hr = Sessao().BuscaMovimentacoesDiarias(&lista.r);
    Registra("avisos do dia: " + std::to_string(lista.r.lQtdRegistros), hr);
}

// No plan was entered through the technical-assistance module: hiding its
// plans (origin 0) hides none.
void Simulacao::OpExcluiManual() {
    const HRESULT hr = Sessao().ExcluiManutencoes(0);
    Registra("exclui planos manuais: origem 0", hr);
}

// ---- Invariants ------------------------------------------------------------------------------

// After the day's first start-up: every active maintenance that the rules
// make due has its open order, and day counts follow their last reset.
void Simulacao::ConfereManha(const Retrato& r) {
    std::map<ULONG, int> abertas;
    for (const auto& o : r.ordens)
        if (o.r.lSituacao == 0 && o.r.lCodigoManutencao != 0) ++abertas[o.r.lCodigoManutencao];
    for (std::size_t p = 0; p < r.planos.size(); ++p) {
        const auto& pl = r.planos[p];
        bool clienteVigente = false;
        for (const auto& c : r.clientesDoPlano[p]) {
            if ((c.dataInicial == 0 && c.dataFinal == 0) ||
                ((c.dataInicial == 0 || c.dataInicial <= m_hoje) && (c.dataFinal == 0 || m_hoje <= c.dataFinal))) {
                clienteVigente = true;
                break;
            }
        }
        for (const auto& x : r.manutencoesDoPlano[p]) {
            const ULONG codigo = x.m.lCodigoManutencao;
            if (abertas.count(codigo)) continue;
            const ULONG tipo = x.f.lTipoFrequencia;
            const bool temTempo = tipo == 1 || tipo == 2;
            const std::string nome = "plano " + std::to_string(p + 1) + " manutencao " + std::to_string(codigo);
            const auto dias = static_cast<LONG>(x.m.lQuantidadeDiasFalta);
            // Day count: what is left equals the interval less the days since its last reset.
            const auto it = m_base.find(codigo);
            if (Ligada("contagem de dias") && (tipo == 1 || tipo == 2 || tipo == 4) && it != m_base.end() &&
                x.f.dataInicial <= m_hoje) {
                static constexpr LONGLONG kFator[] = {0, 1, 7, 30, 365};
                const LONGLONG fator = x.f.lTipoFrequenciaTempo <= 4 ? kFator[x.f.lTipoFrequenciaTempo] : 0;
                const LONGLONG armado = static_cast<LONGLONG>(x.f.lFrequenciaTempo) * fator - x.f.lFrequenciaLimiteTempo;
                // Days are not counted before the frequency's first day,
                // whenever the reset.
                // (Packed fields are copied before std::max binds them.)
                const ULONG inicial = x.f.dataInicial;
                const ULONG contada = x.m.dataUltimaVerificacaoMedicao;
                const ULONG base = std::max(it->second, inicial);
                // Not counted since its reset: the stored last count may still be the frequency's first day.
                const ULONG ultima = std::max(contada, base);
                const LONGLONG esperado = armado - (static_cast<LONGLONG>(ultima) - static_cast<LONGLONG>(base));
                if (dias != esperado)
                    Viola("contagem de dias", nome + ": faltam " + std::to_string(dias) + " dias, o intervalo de " +
                                                  std::to_string(armado) + " contado desde " + TextoData(base) +
                                                  " ate " + TextoData(x.m.dataUltimaVerificacaoMedicao) + " da " +
                                                  std::to_string(esperado));
            }
            if (!Ligada("vencida tem ordem") || !temTempo || pl.lSituacao != 1 || pl.bExcluido != 0 || !clienteVigente)
                continue;
            if (x.f.dataInicial > m_hoje || (x.m.dataFinalContrato != 0 && m_hoje > x.m.dataFinalContrato)) continue;
            if (x.m.dataUltimaVerificacaoMedicao > m_hoje) continue;
            const LONGLONG falta = static_cast<LONGLONG>(dias) -
                                   (static_cast<LONGLONG>(m_hoje) - static_cast<LONGLONG>(x.m.dataUltimaVerificacaoMedicao));
            if (falta < 1)
                Viola("vencida tem ordem", nome + ": vencida (faltam " + std::to_string(falta) + " dias) sem ordem aberta");
        }
    }
}

void Simulacao::ConfereDia() {
    const fs::path dir = Dados();
    std::map<std::string, uint64_t> quantidades;
    const auto achados = VerificaDisco(dir, quantidades);
    if (Ligada("disco") && !achados.empty())
        Viola("disco", achados.front() + " (" + std::to_string(achados.size()) + " achados)");
    const Retrato r = LeRetrato(dir);
    if (!r.corridasFora.empty()) Viola("disco", "lista alem do fim do arquivo: " + r.corridasFora.front());
    // Every text, meter and notice a record names is there.
    if (Ligada("ponteiros")) {
        const uint64_t textosPlano = quantidades["GEMPCADMAFRTXT.dat"], textosOrdem = quantidades["GEMOVMANUTTXT.dat"];
        for (const auto& lista : r.manutencoesDoPlano)
            for (const auto& x : lista)
                if (x.f.lObservacao > textosPlano)
                    Viola("ponteiros", "manutencao " + std::to_string(x.m.lCodigoManutencao) + " nomeia o texto " +
                                           std::to_string(x.f.lObservacao) + " de " + std::to_string(textosPlano));
        for (const auto& o : r.ordens)
            if (o.r.lObservacao > textosOrdem || o.r.lOcorrencia > textosOrdem)
                Viola("ponteiros", "ordem " + Chave(o.chave) + " nomeia um texto alem dos " + std::to_string(textosOrdem));
        for (std::size_t p = 0; p < r.planos.size(); ++p)
            if (r.planos[p].lMedidor > r.medidores.size() || r.planos[p].lPonteiroMedicao > r.medicoes.size())
                Viola("ponteiros", "plano " + std::to_string(p + 1) + " nomeia um medidor ou leitura que nao existe");
        std::set<ULONGLONG> chaves;
        for (const auto& o : r.ordens) chaves.insert(o.chave);
        for (const auto& a : Registros<REG_MOVIMENTACOES_DIARIAS_V1>(dir / "GEMOVDIA.dat"))
            if (!chaves.count(NovaChave(a.lPonteiroMovimentacao, a.maMovimentacao)))
                Viola("ponteiros", "aviso da ordem " + Chave(NovaChave(a.lPonteiroMovimentacao, a.maMovimentacao)) +
                                       " que nao existe");
    }

    // Maintenance codes are unique; every order's maintenance exists or was edited out.
    std::map<ULONG, ULONG> planoDoCodigo;
    for (const auto& lista : r.manutencoesDoPlano)
        for (const auto& x : lista) {
            const ULONG c = x.m.lCodigoManutencao;
            if (Ligada("codigos unicos") && (c == 0 || planoDoCodigo.count(c)))
                Viola("codigos unicos", "codigo " + std::to_string(c) + " nos planos " + std::to_string(planoDoCodigo[c]) +
                                            " e " + std::to_string(x.plano));
            planoDoCodigo[c] = x.plano;
        }
    std::map<ULONG, std::vector<ULONGLONG>> abertasDoCodigo;
    std::map<ULONGLONG, const Ordem*> ordemDaChave;
    for (const auto& o : r.ordens) {
        ordemDaChave[o.chave] = &o;
        const ULONG c = o.r.lCodigoManutencao;
        if (c == 0) continue;
        if (Ligada("manutencao da ordem") && !planoDoCodigo.count(c) && !m_codigosRemovidos.count(c))
            Viola("manutencao da ordem", "ordem " + Chave(o.chave) + " da manutencao " + std::to_string(c) + " que nao existe");
        if (o.r.lSituacao == 0) abertasDoCodigo[c].push_back(o.chave);
    }
    if (Ligada("uma ordem aberta"))
        for (const auto& [c, chaves] : abertasDoCodigo)
            if (chaves.size() > 1)
                Viola("uma ordem aberta", "manutencao " + std::to_string(c) + " com ordens abertas " + Chave(chaves[0]) +
                                              " e " + Chave(chaves[1]));

    // No plan the users saved was hidden.
    if (Ligada("planos visiveis"))
        for (ULONG pos : m_planos)
            if (pos == 0 || pos > r.planos.size() || r.planos[pos - 1].bExcluido != 0)
                Viola("planos visiveis", "plano " + std::to_string(pos) + " excluido ou ausente");

    // One current reading per identification; each plan's meter is that reading.
    std::map<Identificacao, const REG_CADASTRO_MEDICAO_ATUAL_V1*> leituras;
    for (const auto& m : r.medicoes) {
        if (Ligada("uma leitura") && leituras.count(IdDe(m)))
            Viola("uma leitura", "duas leituras atuais da serie " + std::get<8>(IdDe(m)));
        leituras[IdDe(m)] = &m;
    }
    if (Ligada("medidor e leitura"))
        for (std::size_t p = 0; p < r.planos.size(); ++p) {
            const auto& pl = r.planos[p];
            const auto it = leituras.find(IdDe(pl));
            // Hidden plans are no longer followed by readings.
            if (pl.bExcluido != 0 || pl.lMedidor == 0 || pl.lMedidor > r.medidores.size() || it == leituras.end())
                continue;
            const LONGLONG medidor = r.medidores[pl.lMedidor - 1].vQuantidadeAtual.int64;
            const LONGLONG leitura = it->second->vQuantidadeMedicao.int64;
            if (leitura != 0 && medidor != leitura)
                Viola("medidor e leitura", "plano " + std::to_string(p + 1) + " medidor " + Valor(medidor) +
                                               ", leitura atual da serie " + std::get<8>(IdDe(pl)) + " " + Valor(leitura));
        }

    // The ERP stand-in's tables against the orders.
    const Erp erp = LeErp(m_home / "data" / m_op.empresa / "DF" / "erp.sqlite");
    if (Ligada("prerretiradas")) {
        for (const auto& [chave, reservas] : erp.reservas) {
            const auto it = ordemDaChave.find(chave);
            if (it == ordemDaChave.end() || it->second->r.lSituacao != 0)
                Viola("prerretiradas", "prerretirada da ordem " + Chave(chave) +
                                           (it == ordemDaChave.end() ? " que nao existe" : " que nao esta aberta"));
            const Ordem& o = *it->second;
            if (erp.filiaisReserva.at(chave) != std::set<ULONG>{o.r.lFilial & 0xFFFFu})
                Viola("prerretiradas", "prerretirada da ordem " + Chave(chave) + " em outra filial que a " +
                                           std::to_string(o.r.lFilial));
            if (Ligada("quantidade reservada") && reservas != o.reserva) {
                LONGLONG reservado = 0, planejado = 0;
                for (const auto& e : reservas) reservado += e.second;
                for (const auto& e : o.reserva) planejado += e.second;
                Viola("quantidade reservada", "ordem " + Chave(chave) + " reserva " + Valor(reservado) + " em " +
                                           std::to_string(reservas.size()) + " lugares, suas linhas pedem " +
                                           Valor(planejado) + " em " + std::to_string(o.reserva.size()));
            }
        }
        for (const auto& o : r.ordens)
            if (o.r.lSituacao == 0 && !o.reserva.empty() && !erp.reservas.count(o.chave))
                Viola("prerretiradas", "ordem aberta " + Chave(o.chave) + " sem prerretirada");
    }
    if (Ligada("ordens de servico")) {
        std::map<std::pair<USHORT, ULONG>, std::vector<ULONGLONG>> quemNomeia;
        for (const auto& o : r.ordens)
            for (const auto& l : o.os) quemNomeia[{l.maOS, l.lPtrOS}].push_back(o.chave);
        std::map<ULONGLONG, int> abertasDaOrdem;
        std::set<std::pair<USHORT, ULONG>> existentes;
        for (const auto& os : erp.ordensServico) {
            const std::string nome = "OS " + std::to_string(os.ma) + "#" + std::to_string(os.ptr);
            existentes.insert({os.ma, os.ptr});
            const auto& nomeiam = quemNomeia[{os.ma, os.ptr}];
            if (nomeiam.size() != 1)
                Viola("ordens de servico", nome + " nomeada por " + std::to_string(nomeiam.size()) + " ordens");
            if (nomeiam[0] != os.origem)
                Viola("ordens de servico", nome + " da ordem " + Chave(os.origem) + " nomeada pela ordem " + Chave(nomeiam[0]));
            if (!os.fechada && ++abertasDaOrdem[os.origem] > 1)
                Viola("ordens de servico", "ordem " + Chave(os.origem) + " com duas OS abertas");
        }
        for (const auto& [k, chaves] : quemNomeia)
            if (!existentes.count(k))
                Viola("ordens de servico", "ordem " + Chave(chaves[0]) + " nomeia a OS " + std::to_string(k.first) + "#" +
                                               std::to_string(k.second) + " que nao existe");
    }
    if (Ligada("solicitacoes")) {
        std::map<ULONGLONG, std::vector<ULONGLONG>> quemNomeia;
        for (const auto& o : r.ordens)
            for (ULONGLONG k : o.compras) quemNomeia[k].push_back(o.chave);
        std::set<ULONGLONG> existentes;
        for (const auto& s : erp.solicitacoes) {
            existentes.insert(s.chave);
            const std::string nome = "solicitacao " + Hex(s.chave);
            if (REG_QVDMC(s.origem).GetTipoMovimento() != MOVIMENTO_GERENCIADOR_MANUT_PREV) continue;
            const auto& nomeiam = quemNomeia[s.chave];
            if (nomeiam.size() != 1)
                Viola("solicitacoes", nome + " da ordem " + Chave(s.origem) + " nomeada por " +
                                          std::to_string(nomeiam.size()) + " ordens");
            if (nomeiam[0] != s.origem)
                Viola("solicitacoes", nome + " da ordem " + Chave(s.origem) + " nomeada pela ordem " + Chave(nomeiam[0]));
            if (Ligada("itens de compra")) {
                if (s.quantidades.empty()) Viola("itens de compra", nome + " sem itens");
                for (LONGLONG q : s.quantidades)
                    if (q <= 0) Viola("itens de compra", nome + " com item de quantidade " + Valor(q));
            }
            const auto it = ordemDaChave.find(s.origem);
            if (Ligada("compra de cancelada") && s.podeAlterar && it != ordemDaChave.end() &&
                it->second->r.lSituacao == 2)
                Viola("compra de cancelada", nome + " ainda alteravel da ordem cancelada " + Chave(s.origem));
        }
        for (const auto& [k, chaves] : quemNomeia)
            if (!existentes.count(k))
                Viola("solicitacoes", "ordem " + Chave(chaves[0]) + " nomeia a solicitacao " + Hex(k) + " que nao existe");
    }
}

// ---- The days ----------------------------------------------------------------------------------

int Simulacao::Executa() {
    // In memory when the machine offers it: the engine syncs every file it
    // replaces, and a life of many days would mostly wait for the disk.
    std::error_code ec;
    const fs::path raiz = fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm")
                                                                                              : fs::temp_directory_path();
    std::string modelo = (raiz / "zenta-simulacao-XXXXXX").string();
    if (!m_op.home.empty()) {
        m_home = m_op.home;  // kept afterwards, to be looked at
        if (!fs::create_directories(m_home, ec)) return Uso("--home: give a directory that does not exist");
    } else if (::mkdtemp(modelo.data()) != nullptr) {
        m_home = modelo;
    } else {
        return 2;
    }
    ::setenv("ZENTA_HOME", m_home.c_str(), 1);
    m_portaFechada = zenta::teste::SmtpSink::PortaFechada();
    zenta::RelogioSistema::DefineFonte(&Agora);
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;

    int codigo = 0;
    const ULONG primeiro = REG_QVDMA(5, 1, 2026).GetData();
    int totalPeso = 0;
    for (const auto& t : kOperacoes) totalPeso += t.peso;
    try {
        zenta::ResumoImportacaoErp resumo;
        std::string erro;
        if (zenta::ImportaCadastrosErp(m_op.empresa, json::parse(kCadastros), resumo, erro) != S_OK)
            throw std::runtime_error("cadastros do ERP: " + erro);
        for (m_dia = 1; m_dia <= m_op.dias; ++m_dia) {
            m_hoje = primeiro + static_cast<ULONG>(m_dia - 1);
            DefineHoje(m_hoje);
            const bool correioFora = Chance(15) && Ligada("correio fora do ar");
            DefineMailServidor(correioFora);
            if (correioFora) Registra("correio fora do ar", S_OK);
            HRESULT hr = S_OK;
            m_a = Abre(7, 42, hr);
            Registra("primeira sessao do dia", hr);
            if (hr != S_OK) Viola("a empresa inicia", "a primeira sessao do dia falhou: " + Hex(static_cast<ULONG>(hr)));
            if (m_dia == 1) {
                Reg<_REG_CADASTRO_PROPRIEDADES_PS> prop;
                DeJson(json{{"cAvisarPorEmail", 1}, {"cAvisarComTelaAviso", 1}, {"lQtdDiasAviso", 5}}, prop);
                Registra("propriedades", m_a->GravaPropriedades(prop.r));
            }
            const Retrato manha = LeRetrato(Dados());
            ConfereManha(manha);
            // Orders open at the start of the day, for the users to work on.
            m_abertas.clear();
            for (const auto& o : manha.ordens)
                if (o.r.lSituacao == 0) m_abertas.push_back(o.chave);
            for (int n = Sorteia(3, 9); n > 0; --n) {
                int sorteio = Sorteia(1, totalPeso);
                for (const auto& t : kOperacoes) {
                    if ((sorteio -= t.peso) > 0) continue;
                    if (Ligada(t.nome)) (this->*t.faz)();
                    ++m_operacoes;
                    break;
                }
            }
            m_b.reset();
            m_a.reset();
            ConfereDia();
            // Where a long life stands: every 100 days, or every day with --verboso.
            if (m_op.verboso || m_dia % 100 == 0) {
                const auto segundos =
                    std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - m_inicio).count();
                std::printf("dia %d (%s): %ld operacoes, %zu planos, %zu ordens gravadas, %lld s\n", m_dia,
                            TextoData(m_hoje).c_str(), m_operacoes, m_planos.size(), m_ordens.size(),
                            static_cast<long long>(segundos));
                std::fflush(stdout);
            }
        }
        std::printf("semente %llu: %d dias, %ld operacoes, %zu planos, todas as invariantes valem (%lld s)\n",
                    m_op.semente, m_op.dias, m_operacoes, m_planos.size(),
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - m_inicio)
                            .count()));
        if (m_op.verboso)
            for (const auto& [op, resultados] : m_resultados) {
                std::printf("  %-28s", op.c_str());
                for (const auto& [res, n] : resultados) std::printf(" %s×%d", res.c_str(), n);
                std::printf("\n");
            }
    } catch (const Violacao& v) {
        std::printf("INVARIANTE VIOLADA: %s\n  %s\n  semente %llu, dia %d (%s)\n  ultimas operacoes:\n", v.invariante.c_str(),
                    v.what(), m_op.semente, m_dia, TextoData(m_hoje).c_str());
        for (const auto& l : m_ultimas) std::printf("    %s\n", l.c_str());
        std::printf("  reproduzir: zenta_simulacao --dias %d --semente %llu --verboso\n", m_dia, m_op.semente);
        codigo = 1;
    } catch (const std::exception& e) {
        std::printf("erro da simulacao: %s (semente %llu, dia %d)\n", e.what(), m_op.semente, m_dia);
        codigo = 2;
    }
    m_b.reset();
    m_a.reset();
    CoUninitialize();
    zenta::RelogioSistema::RestauraRelogioReal();
    if (m_op.home.empty()) fs::remove_all(m_home, ec);
    return codigo;
}

}  // namespace

int main(int argc, char** argv) {
    Opcoes o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];  // --desliga takes an invariant's or an operation's name
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--verboso") {
            o.verboso = true;
            continue;
        }
        if (v == nullptr) return Uso();
        ++i;
        if (a == "--dias") o.dias = std::atoi(v);
        else if (a == "--semente") o.semente = std::strtoull(v, nullptr, 10);
        else if (a == "--empresa") o.empresa = v;
        else if (a == "--desliga") o.desligadas.insert(v);
        else if (a == "--home") o.home = v;
        else return Uso();
    }
    if (o.dias < 1) return Uso();
    return Simulacao(o).Executa();
}
