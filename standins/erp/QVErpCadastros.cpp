// The master data of the ERP stand-in. One fixed description per table drives
// the checks of an import document, the SQL (table and column names come only
// from it; values are always bound) and the JSON of a listing. A new table
// comes as a new migration in QVErpBanco.cpp plus its line in kTabelas.
//
// Registrations are keyed by their code and have a name; price rows
// (preco_produto) are keyed by product, grade items and price table and
// have no name. Currency values are a JSON integer of ten-thousandths or a
// text in US form ("12.50"), stored and listed as given.
#include "standins/erp/QVErpCadastros.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <variant>

#include "platform/QVDiretorios.h"
#include "standins/erp/QVErpBanco.h"
#include "diagnostics/QVCheck.h"
#include "values/QVCurrency.h"

namespace zenta {

namespace {

using nlohmann::json;

constexpr int64_t kCodigoMaximo = 4294967295;  // ULONG
constexpr int64_t kUsuarioMaximo = 65535;      // USHORT
constexpr int64_t kTabelaPrecoMaxima = 65535;  // USHORT

enum class TipoColuna { Inteiro, Texto, Moeda };

struct Coluna {
    std::string_view nome;
    TipoColuna tipo;
    bool obrigatoria;
    int64_t minimo = 0;  // integers only
    int64_t maximo = 0;
    bool zeroQuandoAusente = false;  // integers only: left out or null is 0
};

constexpr Coluna Codigo(int64_t maximo = kCodigoMaximo) { return {"codigo", TipoColuna::Inteiro, true, 1, maximo}; }
constexpr Coluna Nome() { return {"nome", TipoColuna::Texto, true}; }
constexpr Coluna Texto(std::string_view nome) { return {nome, TipoColuna::Texto, false}; }
// The code of another registration.
constexpr Coluna Referencia(std::string_view nome) { return {nome, TipoColuna::Inteiro, false, 1, kCodigoMaximo}; }
constexpr Coluna Moeda(std::string_view nome, bool obrigatoria) { return {nome, TipoColuna::Moeda, obrigatoria}; }
constexpr Coluna TabelaPreco(bool obrigatoria) {
    return {"tabela_preco", TipoColuna::Inteiro, obrigatoria, 1, kTabelaPrecoMaxima};
}
// A grade item of a price row: 0 (none) when left out.
constexpr Coluna Grade(std::string_view nome) { return {nome, TipoColuna::Inteiro, false, 0, kCodigoMaximo, true}; }

template <std::size_t N>
constexpr std::array<std::string_view, N> NomesDe(const Coluna (&colunas)[N]) {
    std::array<std::string_view, N> nomes{};
    for (std::size_t i = 0; i < N; ++i) nomes[i] = colunas[i].nome;
    return nomes;
}

// Columns in the order of the table's CREATE TABLE (migration 3; the columns
// migration 4 added come last).
constexpr Coluna kFilial[] = {Codigo(), Nome()};
constexpr Coluna kUsuario[] = {Codigo(kUsuarioMaximo), Nome(), Texto("email")};
constexpr Coluna kMunicipio[] = {Codigo(), Nome(), Texto("uf")};
constexpr Coluna kCliente[] = {Codigo(),          Nome(),          Referencia("municipio"),
                               Texto("endereco"), Texto("email"), TabelaPreco(false)};
constexpr Coluna kMarca[] = {Codigo(), Nome()};
constexpr Coluna kModelo[] = {Codigo(), Nome(), Referencia("marca")};
constexpr Coluna kTipoEquipamento[] = {Codigo(), Nome()};
constexpr Coluna kEquipamento[] = {Codigo(),          Nome(),           Referencia("marca"), Referencia("modelo"),
                                   Referencia("tipo"), Texto("nr_serie"), Referencia("filial")};
constexpr Coluna kUnidadeMedida[] = {Codigo(), Texto("sigla"), Nome(),
                                     {"casas_decimais", TipoColuna::Inteiro, false, 0, 4}};
constexpr Coluna kProduto[] = {Codigo(), Nome(), Referencia("unidade")};
constexpr Coluna kItemGrade[] = {Codigo(), Nome()};
constexpr Coluna kServico[] = {Codigo(), Nome(), Referencia("unidade"), Moeda("valor", false)};
// The report tables (migration 6).
constexpr Coluna kEquipamentoCadastro[] = {Codigo(), Nome(), Texto("referencia")};
constexpr Coluna kClienteComercial[] = {Codigo(), Nome(), Texto("nome_curto")};
constexpr Coluna kLocalEstoque[] = {Codigo(), Nome(), Referencia("filial")};
// Its first five columns are its key.
constexpr Coluna kPrecoProduto[] = {
    {"produto", TipoColuna::Inteiro, true, 1, kCodigoMaximo}, Grade("grade1"), Grade("grade2"), Grade("grade3"),
    TabelaPreco(true), Moeda("preco_venda", true)};

// Reposition data and balances: the product position and branch are the key.
constexpr Coluna kReposicaoProduto[] = {
    {"produto", TipoColuna::Inteiro, true, 1, kCodigoMaximo}, Grade("grade1"), Grade("grade2"), Grade("grade3"),
    {"filial", TipoColuna::Inteiro, true, 1, kCodigoMaximo}, Moeda("estoque_minimo", false),
    Moeda("ponto_pedido", false)};
constexpr Coluna kSaldoEstoque[] = {
    {"produto", TipoColuna::Inteiro, true, 1, kCodigoMaximo}, Grade("grade1"), Grade("grade2"), Grade("grade3"),
    {"filial", TipoColuna::Inteiro, true, 1, kCodigoMaximo}, Moeda("saldo", true)};

constexpr auto kNomesFilial = NomesDe(kFilial);
constexpr auto kNomesUsuario = NomesDe(kUsuario);
constexpr auto kNomesMunicipio = NomesDe(kMunicipio);
constexpr auto kNomesCliente = NomesDe(kCliente);
constexpr auto kNomesMarca = NomesDe(kMarca);
constexpr auto kNomesModelo = NomesDe(kModelo);
constexpr auto kNomesTipoEquipamento = NomesDe(kTipoEquipamento);
constexpr auto kNomesEquipamento = NomesDe(kEquipamento);
constexpr auto kNomesUnidadeMedida = NomesDe(kUnidadeMedida);
constexpr auto kNomesProduto = NomesDe(kProduto);
constexpr auto kNomesItemGrade = NomesDe(kItemGrade);
constexpr auto kNomesServico = NomesDe(kServico);
constexpr auto kNomesPrecoProduto = NomesDe(kPrecoProduto);
constexpr auto kNomesReposicaoProduto = NomesDe(kReposicaoProduto);
constexpr auto kNomesSaldoEstoque = NomesDe(kSaldoEstoque);
constexpr auto kNomesEquipamentoCadastro = NomesDe(kEquipamentoCadastro);
constexpr auto kNomesClienteComercial = NomesDe(kClienteComercial);
constexpr auto kNomesLocalEstoque = NomesDe(kLocalEstoque);

struct Tabela {
    std::string_view nome;
    std::span<const Coluna> colunas;
    std::span<const std::string_view> nomesColunas;
    std::size_t colunasChave = 1;  // the leading columns that make the key
};

// In import order: the registrations others name come first.
constexpr Tabela kTabelas[] = {
    {"filial", kFilial, kNomesFilial},
    {"usuario", kUsuario, kNomesUsuario},
    {"municipio", kMunicipio, kNomesMunicipio},
    {"cliente", kCliente, kNomesCliente},
    {"marca", kMarca, kNomesMarca},
    {"modelo", kModelo, kNomesModelo},
    {"tipo_equipamento", kTipoEquipamento, kNomesTipoEquipamento},
    {"equipamento", kEquipamento, kNomesEquipamento},
    {"unidade_medida", kUnidadeMedida, kNomesUnidadeMedida},
    {"produto", kProduto, kNomesProduto},
    {"item_grade", kItemGrade, kNomesItemGrade},
    {"servico", kServico, kNomesServico},
    {"preco_produto", kPrecoProduto, kNomesPrecoProduto, 5},
    {"reposicao_produto", kReposicaoProduto, kNomesReposicaoProduto, 5},
    {"saldo_estoque", kSaldoEstoque, kNomesSaldoEstoque, 5},
    {"equipamento_cadastro", kEquipamentoCadastro, kNomesEquipamentoCadastro},
    {"cliente_comercial", kClienteComercial, kNomesClienteComercial},
    {"local_estoque", kLocalEstoque, kNomesLocalEstoque},
};
constexpr std::size_t kQuantidadeTabelas = sizeof kTabelas / sizeof kTabelas[0];

constexpr std::array<std::string_view, kQuantidadeTabelas> NomesTabelas() {
    std::array<std::string_view, kQuantidadeTabelas> nomes{};
    for (std::size_t i = 0; i < kQuantidadeTabelas; ++i) nomes[i] = kTabelas[i].nome;
    return nomes;
}
constexpr auto kNomesTabelas = NomesTabelas();

// A table keyed by one column is a registration: its code first and a
// required name (NomeCadastroErp relies on both). Every key column is an
// integer that always has a value.
constexpr bool DescricoesCoerentes() {
    for (const Tabela& t : kTabelas) {
        if (t.colunasChave == 0 || t.colunasChave >= t.colunas.size()) return false;
        for (std::size_t i = 0; i < t.colunasChave; ++i) {
            const Coluna& c = t.colunas[i];
            if (c.tipo != TipoColuna::Inteiro || !(c.obrigatoria || c.zeroQuandoAusente)) return false;
        }
        if (t.colunasChave > 1) continue;
        if (t.colunas[0].nome != "codigo") return false;
        bool temNome = false;
        for (const Coluna& c : t.colunas)
            if (c.nome == "nome") temNome = c.tipo == TipoColuna::Texto && c.obrigatoria;
        if (!temNome) return false;
    }
    return true;
}
static_assert(DescricoesCoerentes(), "every table has its key first; registrations have a code and a name");

bool Registro(const Tabela& t) { return t.colunasChave == 1; }

const Tabela* AchaTabela(std::string_view nome) {
    for (const Tabela& t : kTabelas)
        if (t.nome == nome) return &t;
    return nullptr;
}

// ---- Checks of the document's texts ----------------------------------------

// Why a text may not be stored, or null when it may. Texts are shown to
// people in terminals and tables: control characters (C0, DEL and C1, which
// terminals may take as escape sequences) are refused with malformed UTF-8.
const char* ProblemaDoTexto(std::string_view texto) {
    if (texto.size() > kTextoMaximoCadastroErp) return "texto com mais de 200 bytes";
    const auto* p = reinterpret_cast<const unsigned char*>(texto.data());
    const std::size_t n = texto.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned c = p[i];
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F) return "texto com caractere de controle";
            ++i;
            continue;
        }
        std::size_t tamanho = 0;
        uint32_t ponto = 0;
        uint32_t minimo = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            tamanho = 2, ponto = c & 0x1F, minimo = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            tamanho = 3, ponto = c & 0x0F, minimo = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            tamanho = 4, ponto = c & 0x07, minimo = 0x10000;
        } else {
            return "texto que não é UTF-8";
        }
        if (n - i < tamanho) return "texto que não é UTF-8";
        for (std::size_t k = 1; k < tamanho; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return "texto que não é UTF-8";
            ponto = (ponto << 6) | (p[i + k] & 0x3Fu);
        }
        if (ponto < minimo || ponto > 0x10FFFF || (ponto >= 0xD800 && ponto <= 0xDFFF)) return "texto que não é UTF-8";
        if (ponto >= 0x80 && ponto <= 0x9F) return "texto com caractere de controle";
        i += tamanho;
    }
    return nullptr;
}

// A text read from the file as it may be shown: a file changed by other
// means may hold what an import refuses. Malformed UTF-8 and control
// characters become U+FFFD; the rest is kept.
std::string TextoParaMostrar(std::string texto) {
    if (texto.size() <= kTextoMaximoCadastroErp && ProblemaDoTexto(texto) == nullptr) return texto;
    std::string saida;
    saida.reserve(texto.size());
    constexpr std::string_view kSubstituto = "\xEF\xBF\xBD";
    for (std::size_t i = 0; i < texto.size();) {
        // The longest well-formed, allowed sequence starting here, if any.
        std::size_t aceito = 0;
        for (std::size_t tamanho = 1; tamanho <= 4 && i + tamanho <= texto.size(); ++tamanho) {
            if (ProblemaDoTexto(std::string_view(texto).substr(i, tamanho)) == nullptr) {
                aceito = tamanho;
                break;
            }
        }
        if (aceito == 0) {
            saida += kSubstituto;
            ++i;
        } else {
            saida.append(texto, i, aceito);
            i += aceito;
        }
    }
    return saida;
}

// ---- The document, checked ---------------------------------------------------

using Valor = std::variant<std::monostate, int64_t, std::string>;

struct TabelaImportada {
    const Tabela* tabela = nullptr;
    std::vector<std::vector<Valor>> linhas;  // one value per column
};

std::string Local(const Tabela& t, std::size_t indice, std::string_view campo) {
    std::string local(t.nome);
    local += '[';
    local += std::to_string(indice);
    local += ']';
    if (!campo.empty()) {
        local += '.';
        local += campo;
    }
    return local;
}

HRESULT Recusa(std::string& erro, std::string local, std::string_view motivo) {
    erro = std::move(local);
    erro += ": ";
    erro += motivo;
    return E_INVALIDARG;
}

// A field name as it may be quoted in a message: at most 40 bytes of it,
// through the same rules as the stored texts.
std::string CampoCitavel(const std::string& campo) {
    std::string citado = TextoParaMostrar(campo.substr(0, 40));
    if (campo.size() > 40) citado += "...";
    return citado;
}

HRESULT ConverteValor(const Tabela& t, std::size_t indice, const Coluna& c, const json& valor, Valor& saida,
                      std::string& erro) {
    saida = std::monostate{};
    if (valor.is_null()) {
        if (c.obrigatoria) return Recusa(erro, Local(t, indice, c.nome), "campo obrigatório sem valor");
        if (c.zeroQuandoAusente) saida = int64_t{0};
        return S_OK;
    }
    if (c.tipo == TipoColuna::Moeda) {
        if (valor.is_number_integer()) {
            if (valor.is_number_unsigned() && valor.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX))
                return Recusa(erro, Local(t, indice, c.nome), "número fora do intervalo: " + valor.dump());
            saida = valor.get<int64_t>();
            return S_OK;
        }
        if (!valor.is_string())
            return Recusa(erro, Local(t, indice, c.nome),
                          "tipo errado: esperado valor em texto (\"12.50\") ou inteiro em décimos de milésimo");
        const auto& texto = valor.get_ref<const std::string&>();
        if (const char* problema = ProblemaDoTexto(texto)) return Recusa(erro, Local(t, indice, c.nome), problema);
        CQVCurrency moeda;
        if (texto.empty() || FAILED(moeda.SetTexto(texto, false)))
            return Recusa(erro, Local(t, indice, c.nome), "valor que não é um número: " + valor.dump());
        saida = texto;
        return S_OK;
    }
    if (c.tipo == TipoColuna::Inteiro) {
        int64_t numero = 0;
        bool noIntervalo = true;
        if (valor.is_number_unsigned()) {
            const auto v = valor.get<uint64_t>();
            noIntervalo = v <= static_cast<uint64_t>(c.maximo);
            numero = noIntervalo ? static_cast<int64_t>(v) : 0;
        } else if (valor.is_number_integer()) {
            numero = valor.get<int64_t>();
        } else {
            return Recusa(erro, Local(t, indice, c.nome), "tipo errado: esperado número inteiro");
        }
        if (!noIntervalo || numero < c.minimo || numero > c.maximo)
            return Recusa(erro, Local(t, indice, c.nome),
                          "número fora do intervalo " + std::to_string(c.minimo) + ".." + std::to_string(c.maximo) +
                              ": " + valor.dump());
        saida = numero;
        return S_OK;
    }
    if (!valor.is_string()) return Recusa(erro, Local(t, indice, c.nome), "tipo errado: esperado texto");
    const auto& texto = valor.get_ref<const std::string&>();
    if (const char* problema = ProblemaDoTexto(texto)) return Recusa(erro, Local(t, indice, c.nome), problema);
    if (texto.empty() && c.obrigatoria) return Recusa(erro, Local(t, indice, c.nome), "texto vazio");
    saida = texto;
    return S_OK;
}

HRESULT ConverteLinha(const Tabela& t, std::size_t indice, const json& linha, std::vector<Valor>& valores,
                      std::string& erro) {
    if (!linha.is_object()) return Recusa(erro, Local(t, indice, {}), "linha que não é um objeto JSON");
    for (const auto& [campo, valor] : linha.items()) {
        bool conhecido = false;
        for (const Coluna& c : t.colunas) conhecido = conhecido || c.nome == campo;
        if (!conhecido) return Recusa(erro, Local(t, indice, CampoCitavel(campo)), "campo desconhecido");
    }
    valores.assign(t.colunas.size(), Valor{});
    for (std::size_t i = 0; i < t.colunas.size(); ++i) {
        const Coluna& c = t.colunas[i];
        const auto it = linha.find(c.nome);
        if (it == linha.end()) {
            if (c.obrigatoria) return Recusa(erro, Local(t, indice, c.nome), "campo obrigatório ausente");
            if (c.zeroQuandoAusente) valores[i] = int64_t{0};
            continue;
        }
        const HRESULT hr = ConverteValor(t, indice, c, *it, valores[i], erro);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// The whole document checked into `tabelas` (in import order) before
// anything is written.
HRESULT ConverteDocumento(const json& documento, std::vector<TabelaImportada>& tabelas, std::string& erro) {
    tabelas.clear();
    if (!documento.is_object()) {
        erro = "documento: esperado um objeto JSON { \"<tabela>\": [ ... ] }";
        return E_INVALIDARG;
    }
    for (const auto& [nome, conteudo] : documento.items()) {
        if (AchaTabela(nome) == nullptr) {
            erro = CampoCitavel(nome) + ": tabela desconhecida";
            return E_INVALIDARG;
        }
        if (!conteudo.is_array()) {
            erro = nome + ": esperado um array de linhas";
            return E_INVALIDARG;
        }
    }
    for (const Tabela& t : kTabelas) {
        const auto it = documento.find(t.nome);
        if (it == documento.end()) continue;
        TabelaImportada importada;
        importada.tabela = &t;
        importada.linhas.resize(it->size());
        for (std::size_t i = 0; i < it->size(); ++i) {
            const HRESULT hr = ConverteLinha(t, i, (*it)[i], importada.linhas[i], erro);
            if (FAILED(hr)) return hr;
        }
        tabelas.push_back(std::move(importada));
    }
    return S_OK;
}

// The key columns, comma-separated.
std::string ColunasChave(const Tabela& t) {
    std::string chave;
    for (std::size_t i = 0; i < t.colunasChave; ++i) {
        if (i > 0) chave += ", ";
        chave += t.colunas[i].nome;
    }
    return chave;
}

// "INSERT INTO t (a, b, c) VALUES (?1, ?2, ?3) ON CONFLICT (a) DO UPDATE
// SET b = excluded.b, c = excluded.c": a row of the same key is updated in
// place, every other column replaced.
std::string SqlGrava(const Tabela& t) {
    std::string colunas, parametros, atualiza;
    for (std::size_t i = 0; i < t.colunas.size(); ++i) {
        const std::string_view nome = t.colunas[i].nome;
        if (i > 0) {
            colunas += ", ";
            parametros += ", ";
        }
        colunas += nome;
        parametros += '?';
        parametros += std::to_string(i + 1);
        if (i >= t.colunasChave) {
            if (!atualiza.empty()) atualiza += ", ";
            atualiza += std::string(nome) + " = excluded." + std::string(nome);
        }
    }
    return "INSERT INTO " + std::string(t.nome) + " (" + colunas + ") VALUES (" + parametros +
           ") ON CONFLICT (" + ColunasChave(t) + ") DO UPDATE SET " + atualiza;
}

HRESULT GravaTabela(sqlite3* db, const TabelaImportada& importada) {
    ErpComando grava(db, SqlGrava(*importada.tabela));
    QV_CHECK(grava.Prepara());
    for (const std::vector<Valor>& valores : importada.linhas) {
        for (std::size_t i = 0; i < valores.size(); ++i) {
            const int parametro = static_cast<int>(i + 1);
            if (const auto* numero = std::get_if<int64_t>(&valores[i])) {
                QV_CHECK(grava.Liga(parametro, *numero));
            } else if (const auto* texto = std::get_if<std::string>(&valores[i])) {
                QV_CHECK(grava.LigaTexto(parametro, *texto));
            } else {
                QV_CHECK(grava.LigaNulo(parametro));
            }
        }
        QV_CHECK(grava.Executa());
    }
    return S_OK;
}

// The shared connection to a company's file.
HRESULT BancoDaEmpresa(std::string_view empresa, std::shared_ptr<ErpBanco>& banco) {
    std::filesystem::path arquivo;
    QV_CHECK(ErpBanco::Caminho(empresa, arquivo));
    QV_CHECK(ErpBanco::Compartilhado(arquivo, banco));
    return S_OK;
}

std::string TextoFalha(std::string_view passo, HRESULT hr) {
    char codigo[16];
    std::snprintf(codigo, sizeof codigo, "0x%08X", static_cast<unsigned>(hr));
    return std::string(passo) + ": falha " + codigo;
}

}  // namespace

std::span<const std::string_view> TabelasCadastroErp() { return kNomesTabelas; }

std::span<const std::string_view> ColunasCadastroErp(std::string_view tabela) {
    const Tabela* t = AchaTabela(tabela);
    return t != nullptr ? t->nomesColunas : std::span<const std::string_view>();
}

HRESULT CadastrosErpAbertos::Abre(std::string_view empresa) {
    m_banco.reset();
    try {
        QV_CHECK(BancoDaEmpresa(empresa, m_banco));
        return S_OK;
    } catch (const std::bad_alloc&) {
        m_banco.reset();
        return E_OUTOFMEMORY;
    }
}

HRESULT ImportaCadastrosErp(std::string_view empresa, const nlohmann::json& documento, ResumoImportacaoErp& resumo,
                            std::string& erro) {
    resumo.linhasPorTabela.clear();
    erro.clear();
    try {
        if (!QVNomeEmpresaValido(empresa)) {
            erro = "nome de empresa inválido";
            QV_CHECK(E_QV_NOME_EMPRESA_INVALIDO);
        }
        std::vector<TabelaImportada> tabelas;
        if (const HRESULT hr = ConverteDocumento(documento, tabelas, erro); FAILED(hr)) {
            QV_LOG_HR(hr, "ImportaCadastrosErp: " + erro);
            return hr;
        }
        std::shared_ptr<ErpBanco> banco;
        if (const HRESULT hr = BancoDaEmpresa(empresa, banco); FAILED(hr)) {
            erro = TextoFalha("abertura do banco do ERP", hr);
            return hr;
        }
        const auto passos = [&](sqlite3* db) -> HRESULT {
            for (const TabelaImportada& importada : tabelas) QV_CHECK(GravaTabela(db, importada));
            return S_OK;
        };
        if (const HRESULT hr = banco->Transacao(passos); FAILED(hr)) {
            erro = TextoFalha("gravação no banco do ERP", hr);
            QV_LOG_HR(hr, "banco->Transacao(passos)");
            return hr;
        }
        for (const TabelaImportada& importada : tabelas)
            resumo.linhasPorTabela.emplace_back(std::string(importada.tabela->nome), importada.linhas.size());
        return S_OK;
    } catch (const std::bad_alloc&) {
        erro = "memória insuficiente";
        resumo.linhasPorTabela.clear();
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        erro = e.what();
        resumo.linhasPorTabela.clear();
        return E_UNEXPECTED;
    }
}

HRESULT NomeCadastroErp(std::string_view empresa, std::string_view tabela, ULONG codigo, std::string& nome) {
    nome.clear();
    try {
        const Tabela* t = AchaTabela(tabela);
        if (t == nullptr || !Registro(*t)) QV_CHECK(E_INVALIDARG);
        std::shared_ptr<ErpBanco> banco;
        QV_CHECK(BancoDaEmpresa(empresa, banco));
        bool achou = false;
        const auto passos = [&](sqlite3* db) -> HRESULT {
            ErpComando consulta(db, "SELECT nome FROM " + std::string(t->nome) + " WHERE codigo = ?1");
            QV_CHECK(consulta.PreparaEPassa({static_cast<int64_t>(codigo)}, achou));
            if (achou) nome = TextoParaMostrar(consulta.Texto(0));
            return S_OK;
        };
        QV_CHECK(banco->Leitura(passos));
        return achou ? S_OK : S_FALSE;
    } catch (const std::bad_alloc&) {
        nome.clear();
        return E_OUTOFMEMORY;
    } catch (...) {
        nome.clear();
        return E_UNEXPECTED;
    }
}

HRESULT ListaCadastroErp(std::string_view empresa, std::string_view tabela, nlohmann::json& linhas) {
    try {
        linhas = json::array();
        const Tabela* t = AchaTabela(tabela);
        if (t == nullptr) QV_CHECK(E_INVALIDARG);
        std::shared_ptr<ErpBanco> banco;
        QV_CHECK(BancoDaEmpresa(empresa, banco));
        // Every column in order; a currency column is followed by its type.
        std::string sql = "SELECT ";
        for (std::size_t i = 0; i < t->colunas.size(); ++i) {
            if (i > 0) sql += ", ";
            sql += t->colunas[i].nome;
            if (t->colunas[i].tipo == TipoColuna::Moeda) sql += ", typeof(" + std::string(t->colunas[i].nome) + ")";
        }
        sql += " FROM " + std::string(t->nome) + " ORDER BY " + ColunasChave(*t);
        json lidas = json::array();
        const auto passos = [&](sqlite3* db) -> HRESULT {
            ErpComando consulta(db, sql);
            QV_CHECK(consulta.Prepara());
            for (bool linha = true;;) {
                QV_CHECK(consulta.Passo(linha));
                if (!linha) break;
                json objeto = json::object();
                int coluna = 0;
                for (const Coluna& c : t->colunas) {
                    json& valor = objeto[std::string(c.nome)];
                    if (consulta.Nulo(coluna)) valor = nullptr;
                    else if (c.tipo == TipoColuna::Inteiro) valor = consulta.Inteiro(coluna);
                    else if (c.tipo == TipoColuna::Moeda && consulta.Texto(coluna + 1) == "integer")
                        valor = consulta.Inteiro(coluna);
                    else valor = TextoParaMostrar(consulta.Texto(coluna));
                    coluna += c.tipo == TipoColuna::Moeda ? 2 : 1;
                }
                lidas.push_back(std::move(objeto));
            }
            return S_OK;
        };
        QV_CHECK(banco->Leitura(passos));
        linhas = std::move(lidas);
        return S_OK;
    } catch (const std::bad_alloc&) {
        linhas = nullptr;
        return E_OUTOFMEMORY;
    } catch (...) {
        linhas = nullptr;
        return E_UNEXPECTED;
    }
}

}  // namespace zenta
