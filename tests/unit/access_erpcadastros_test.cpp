// The ERP stand-in's master data: import of a JSON document, names and
// listings read back, replacement by code, all-or-nothing imports, the
// migration of an older file, hostile input, and prices.

#include <nlohmann/json.hpp>

#include "platform/QVDiretorios.h"
#include "standins/erp/QVErpCadastros.h"
#include "support/ErpTeste.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

using nlohmann::json;

namespace {

// A document touching every table and every column.
json DocumentoCompleto() {
    return json::parse(R"({
        "servico": [ { "codigo": 7, "nome": "Troca de óleo", "unidade": 2, "valor": "45.50" } ],
        "filial": [ { "codigo": 2, "nome": "Filial Sul" }, { "codigo": 1, "nome": "Matriz" } ],
        "usuario": [ { "codigo": 65535, "nome": "João", "email": "joao@exemplo.com" } ],
        "municipio": [ { "codigo": 4314902, "nome": "Porto Alegre", "uf": "RS" } ],
        "cliente": [ { "codigo": 4294967295, "nome": "Cliente Ação", "municipio": 4314902,
                       "endereco": "Rua A, 1", "email": "c@exemplo.com", "tabela_preco": 3 } ],
        "marca": [ { "codigo": 3, "nome": "Marca X" } ],
        "modelo": [ { "codigo": 4, "nome": "Modelo Y", "marca": 3 } ],
        "tipo_equipamento": [ { "codigo": 5, "nome": "Compressor" } ],
        "equipamento": [ { "codigo": 6, "nome": "Compressor 1", "marca": 3, "modelo": 4, "tipo": 5,
                           "nr_serie": "ABC-123", "filial": 1 } ],
        "unidade_medida": [ { "codigo": 2, "sigla": "H", "nome": "Hora", "casas_decimais": 2 } ],
        "produto": [ { "codigo": 8, "nome": "Óleo 20W", "unidade": 2 } ],
        "item_grade": [ { "codigo": 9, "nome": "Azul" } ],
        "preco_produto": [ { "produto": 8, "grade1": 9, "grade2": 0, "grade3": 0, "tabela_preco": 3,
                             "preco_venda": 125000 } ],
        "reposicao_produto": [ { "produto": 8, "grade1": 9, "grade2": 0, "grade3": 0, "filial": 1,
                                 "estoque_minimo": "2.5", "ponto_pedido": 50000 } ],
        "saldo_estoque": [ { "produto": 8, "grade1": 9, "grade2": 0, "grade3": 0, "filial": 1, "saldo": "-1.25" } ],
        "equipamento_cadastro": [ { "codigo": 6, "nome": "Compressor de ar", "referencia": "REF-1" } ],
        "cliente_comercial": [ { "codigo": 4294967295, "nome": "Ação Comércio Ltda", "nome_curto": "Ação" } ],
        "local_estoque": [ { "codigo": 3, "nome": "Almoxarifado", "filial": 1 } ]
    })");
}

class ErpCadastrosTeste : public ::testing::Test {
protected:
    static HRESULT Importa(const json& documento, std::string* erro = nullptr, ResumoImportacaoErp* resumo = nullptr) {
        ResumoImportacaoErp r;
        std::string e;
        return ImportaCadastrosErp("ACME", documento, resumo ? *resumo : r, erro ? *erro : e);
    }
    static std::string Nome(const char* tabela, ULONG codigo) {
        std::string nome = "lixo";
        const HRESULT hr = NomeCadastroErp("ACME", tabela, codigo, nome);
        EXPECT_TRUE(hr == S_OK || hr == S_FALSE) << tabela << " " << codigo;
        EXPECT_EQ(hr == S_FALSE, nome.empty());
        return nome;
    }
    static json Lista(const char* tabela) {
        json linhas;
        EXPECT_EQ(ListaCadastroErp("ACME", tabela, linhas), S_OK) << tabela;
        return linhas;
    }
    // Every table's rows: what the file holds, as far as the API tells.
    static json Tudo() {
        json tudo = json::object();
        for (std::string_view tabela : TabelasCadastroErp()) tudo[std::string(tabela)] = Lista(std::string(tabela).c_str());
        return tudo;
    }
    std::shared_ptr<ErpBanco> Banco() const { return teste::BancoErp("ACME"); }

    teste::ZentaHomeTemporario m_home;
};

TEST_F(ErpCadastrosTeste, ImportedRowsComeBackAsNamesAndListsInEveryTable) {
    const auto tabelas = TabelasCadastroErp();
    ResumoImportacaoErp resumo;
    std::string erro;
    const json documento = DocumentoCompleto();
    ASSERT_EQ(Importa(documento, &erro, &resumo), S_OK) << erro;
    EXPECT_TRUE(erro.empty());
    // In import order whatever the document's order, with the row counts.
    ASSERT_EQ(resumo.linhasPorTabela.size(), tabelas.size());
    for (std::size_t i = 0; i < tabelas.size(); ++i) {
        EXPECT_EQ(resumo.linhasPorTabela[i].first, tabelas[i]);
        EXPECT_EQ(resumo.linhasPorTabela[i].second, tabelas[i] == "filial" ? 2u : 1u);
    }

    EXPECT_EQ(Nome("filial", 2), "Filial Sul");
    EXPECT_EQ(Nome("usuario", 65535), "João");
    EXPECT_EQ(Nome("cliente", 4294967295u), "Cliente Ação");
    // Codes without a row, and codes of another table, have no name.
    EXPECT_EQ(Nome("filial", 3), "");
    EXPECT_EQ(Nome("filial", 0), "");
    EXPECT_EQ(Nome("marca", 4), "");

    // Listings round-trip by code: every row of the document (which gives
    // every column) comes back field for field; columns not given are null.
    for (std::string_view tabela : tabelas) {
        json esperado = documento[std::string(tabela)];
        std::sort(esperado.begin(), esperado.end(),
                  [](const json& a, const json& b) { return a["codigo"] < b["codigo"]; });
        EXPECT_EQ(Lista(std::string(tabela).c_str()), esperado) << tabela;
    }
    ASSERT_EQ(Importa(json::parse(R"({"usuario": [{"codigo": 1, "nome": "Ana"}]})")), S_OK);
    EXPECT_EQ(Lista("usuario")[0], json::parse(R"({"codigo": 1, "nome": "Ana", "email": null})"));

    // A listing imports again as it is.
    const json antes = Tudo();
    ASSERT_EQ(Importa(antes, &erro), S_OK) << erro;
    EXPECT_EQ(Tudo(), antes);

    // An empty document is no failure and writes nothing.
    ASSERT_EQ(Importa(json::object(), &erro, &resumo), S_OK);
    EXPECT_TRUE(resumo.linhasPorTabela.empty());
}

TEST_F(ErpCadastrosTeste, ReimportReplacesRowsByCodeAndKeepsTheOthers) {
    ASSERT_EQ(Importa(DocumentoCompleto()), S_OK);
    const json documento = json::parse(R"({
        "filial": [ { "codigo": 1, "nome": "Matriz Nova" }, { "codigo": 10, "nome": "Filial Norte" },
                    { "codigo": 10, "nome": "Filial Norte 2" } ],
        "cliente": [ { "codigo": 4294967295, "nome": "Cliente B", "email": null } ]
    })");
    ResumoImportacaoErp resumo;
    ASSERT_EQ(Importa(documento, nullptr, &resumo), S_OK);
    EXPECT_EQ(resumo.linhasPorTabela, (decltype(resumo.linhasPorTabela){{"filial", 3}, {"cliente", 1}}));

    EXPECT_EQ(Nome("filial", 1), "Matriz Nova");
    EXPECT_EQ(Nome("filial", 2), "Filial Sul");      // not in the document: kept
    EXPECT_EQ(Nome("filial", 10), "Filial Norte 2");  // the last row of a code wins
    EXPECT_EQ(Lista("filial").size(), 3u);
    // The replaced row holds what the document gave, nothing of the old one.
    EXPECT_EQ(Lista("cliente"), json::parse(R"([{"codigo": 4294967295, "nome": "Cliente B", "municipio": null,
                                                 "endereco": null, "email": null, "tabela_preco": null}])"));
    EXPECT_EQ(Nome("equipamento", 6), "Compressor 1");
}

TEST_F(ErpCadastrosTeste, ABadRowAnywhereLeavesTheFileAsItWasAndNamesThePlace) {
    ASSERT_EQ(Importa(DocumentoCompleto()), S_OK);
    const json antes = Tudo();

    const std::string texto200(200, 'a');
    const std::string texto201Utf8 = std::string(199, 'a') + "ç";  // 201 bytes, 200 characters
    std::string texto200Utf8;
    for (int i = 0; i < 100; ++i) texto200Utf8 += "ç";
    struct Caso {
        json linha;
        std::string tabela;
        std::string erro;  // the start of the message
    };
    const std::vector<Caso> casos = {
        {{{"codigo", 1}, {"nome", "x"}, {"cor", "azul"}}, "marca", "marca[1].cor: "},
        {{{"nome", "x"}}, "marca", "marca[1].codigo: "},
        {{{"codigo", 1}}, "marca", "marca[1].nome: "},
        {{{"codigo", 1}, {"nome", nullptr}}, "marca", "marca[1].nome: "},
        {{{"codigo", 1}, {"nome", ""}}, "marca", "marca[1].nome: "},
        {{{"codigo", "1"}, {"nome", "x"}}, "marca", "marca[1].codigo: "},
        {{{"codigo", 1.0}, {"nome", "x"}}, "marca", "marca[1].codigo: "},
        {{{"codigo", 1}, {"nome", 5}}, "marca", "marca[1].nome: "},
        {{{"codigo", 0}, {"nome", "x"}}, "marca", "marca[1].codigo: "},
        {{{"codigo", -1}, {"nome", "x"}}, "marca", "marca[1].codigo: "},
        {{{"codigo", 4294967296}, {"nome", "x"}}, "marca", "marca[1].codigo: "},
        {{{"codigo", 65536}, {"nome", "x"}}, "usuario", "usuario[1].codigo: "},
        {{{"codigo", 1}, {"nome", "x"}, {"marca", 0}}, "modelo", "modelo[1].marca: "},
        {{{"codigo", 1}, {"nome", "x"}, {"casas_decimais", 5}}, "unidade_medida",
         "unidade_medida[1].casas_decimais: "},
        {{{"codigo", 1}, {"nome", "x"}, {"casas_decimais", -1}}, "unidade_medida",
         "unidade_medida[1].casas_decimais: "},
        {{{"codigo", 1}, {"nome", texto200 + "a"}}, "marca", "marca[1].nome: texto com mais de 200 bytes"},
        {{{"codigo", 1}, {"nome", texto201Utf8}}, "marca", "marca[1].nome: texto com mais de 200 bytes"},
        {{{"codigo", 1}, {"nome", "x"}, {"email", std::string(300, 'e')}}, "usuario", "usuario[1].email: "},
        {{{"codigo", 1}, {"nome", "a\xC3"}}, "marca", "marca[1].nome: texto que não é UTF-8"},
        {{{"codigo", 1}, {"nome", "\xC0\xAF"}}, "marca", "marca[1].nome: texto que não é UTF-8"},
        {{{"codigo", 1}, {"nome", "\xED\xA0\x80"}}, "marca", "marca[1].nome: texto que não é UTF-8"},
        {{{"codigo", 1}, {"nome", "a\x1B[2J"}}, "marca", "marca[1].nome: texto com caractere de controle"},
        {{{"codigo", 1}, {"nome", "a\xC2\x9B" "2J"}}, "marca", "marca[1].nome: texto com caractere de controle"},
        {{{"codigo", 1}, {"nome", "x"}, {"endereco", "linha 1\nlinha 2"}}, "cliente", "cliente[1].endereco: "},
        {json::array({1, 2}), "marca", "marca[1]: "},
        {"marca", "marca", "marca[1]: "},
    };
    for (const Caso& caso : casos) {
        // Good rows in tables before and after the bad one, and before it in its own table.
        json documento = {{"filial", {{{"codigo", 1}, {"nome", "Trocada"}}}},
                          {"servico", {{{"codigo", 70}, {"nome", "Novo"}}}}};
        documento[caso.tabela] = json::array({{{"codigo", 2}, {"nome", "Boa"}}, caso.linha});
        std::string erro;
        ResumoImportacaoErp resumo;
        EXPECT_EQ(Importa(documento, &erro, &resumo), E_INVALIDARG) << caso.linha.dump();
        EXPECT_EQ(erro.rfind(caso.erro, 0), 0u) << erro;
        EXPECT_TRUE(resumo.linhasPorTabela.empty());
    }
    EXPECT_EQ(Tudo(), antes);

    // The limits themselves are fine.
    ASSERT_EQ(Importa({{"marca", {{{"codigo", 1}, {"nome", texto200}}}},
                       {"usuario", {{{"codigo", 65535}, {"nome", texto200Utf8}}}},
                       {"unidade_medida", {{{"codigo", 1}, {"nome", "Un"}, {"casas_decimais", 0}}}}}),
              S_OK);
    EXPECT_EQ(Nome("marca", 1), texto200);
    EXPECT_EQ(Nome("usuario", 65535), texto200Utf8);

    // Whole-document faults.
    std::string erro;
    EXPECT_EQ(Importa(json::array(), &erro), E_INVALIDARG);
    EXPECT_EQ(erro.rfind("documento: ", 0), 0u) << erro;
    EXPECT_EQ(Importa({{"marca", {{"codigo", 1}, {"nome", "x"}}}}, &erro), E_INVALIDARG);
    EXPECT_EQ(erro, "marca: esperado um array de linhas");
}

TEST_F(ErpCadastrosTeste, AFailureWhileWritingRollsBackTheWholeImport) {
    ASSERT_EQ(Importa(DocumentoCompleto()), S_OK);
    const json antes = Tudo();
    // The last table of the import order refuses its rows once the others are written.
    ASSERT_EQ(Banco()->ExecutaSql("CREATE TRIGGER recusa BEFORE INSERT ON servico BEGIN"
                                  " SELECT RAISE(ABORT, 'recusado'); END"),
              S_OK);
    std::string erro;
    const json documento = {{"filial", {{{"codigo", 1}, {"nome", "Trocada"}}, {{"codigo", 50}, {"nome", "Nova"}}}},
                            {"servico", {{{"codigo", 71}, {"nome", "Novo"}}}}};
    EXPECT_EQ(Importa(documento, &erro), E_INVALIDARG);  // SQLite's constraint failure
    EXPECT_FALSE(erro.empty());
    EXPECT_EQ(Tudo(), antes);
    // The connection is usable afterwards.
    ASSERT_EQ(Banco()->ExecutaSql("DROP TRIGGER recusa"), S_OK);
    ASSERT_EQ(Importa(documento, &erro), S_OK) << erro;
    EXPECT_EQ(Nome("filial", 50), "Nova");
}

TEST_F(ErpCadastrosTeste, UnknownTablesAreRefusedEverywhere) {
    std::string erro;
    ResumoImportacaoErp resumo;
    const json documento = {{"filial", {{{"codigo", 1}, {"nome", "Matriz"}}}}, {"esquema_versao", json::array()}};
    EXPECT_EQ(Importa(documento, &erro, &resumo), E_INVALIDARG);
    EXPECT_EQ(erro, "esquema_versao: tabela desconhecida");
    EXPECT_EQ(Nome("filial", 1), "");  // nothing of the document was written

    // Names that look like SQL never reach a statement.
    for (const char* tabela : {"prebaixa", "esquema_versao", "filial; DROP TABLE filial", "filial--", "FILIAL", ""}) {
        std::string nome = "x";
        EXPECT_EQ(NomeCadastroErp("ACME", tabela, 1, nome), E_INVALIDARG) << tabela;
        EXPECT_TRUE(nome.empty());
        json linhas = json::array({1});
        EXPECT_EQ(ListaCadastroErp("ACME", tabela, linhas), E_INVALIDARG) << tabela;
        EXPECT_TRUE(ColunasCadastroErp(tabela).empty());
        EXPECT_EQ(Importa({{tabela, json::array()}}, &erro), E_INVALIDARG);
    }
    // A long hostile table name is cut in the message.
    EXPECT_EQ(Importa({{std::string(1000, 'z'), json::array()}}, &erro), E_INVALIDARG);
    EXPECT_LT(erro.size(), 100u);
    ASSERT_EQ(Importa({{"filial", documento["filial"]}}), S_OK);
    EXPECT_EQ(Nome("filial", 1), "Matriz");
}

TEST_F(ErpCadastrosTeste, AVersion2FileMigratesKeepingItsPreWithdrawals) {
    std::filesystem::path arquivo;
    ASSERT_EQ(ErpBanco::Caminho("ACME", arquivo), S_OK);
    REG_ES_PREBAIXAPS registro{};
    registro.lProduto = 8;
    registro.vQuantidade.int64 = 15000;
    const REG_QVDMC chave = REG_QVDMC().SetDMC(1, 84, 0x1234);
    {
        std::shared_ptr<ErpBanco> v2;
        ASSERT_EQ(ErpBanco::Abre(arquivo, v2, 2), S_OK);
        ASSERT_EQ(v2->GravaPreBaixas(chave, 1, {registro, registro}), S_OK);
        EXPECT_NE(v2->ExecutaSql("SELECT count(*) FROM filial"), S_OK);  // no master data yet
    }
    std::string erro;
    ASSERT_EQ(Importa(DocumentoCompleto(), &erro), S_OK) << erro;

    auto banco = Banco();
    std::vector<int> versoes;
    ASSERT_EQ(banco->VersoesAplicadas(versoes), S_OK);
    EXPECT_EQ(versoes, teste::TodasAsVersoesErp());
    std::vector<REG_ES_PREBAIXAPS> lidos;
    ASSERT_EQ(banco->LePreBaixas(chave, 1, lidos), S_OK);
    ASSERT_EQ(lidos.size(), 2u);
    EXPECT_EQ(std::memcmp(&lidos[1], &registro, sizeof registro), 0);
    EXPECT_EQ(Nome("filial", 1), "Matriz");
}

TEST_F(ErpCadastrosTeste, HostileCompanyNamesAreRefusedAndCreateNothing) {
    const json documento = DocumentoCompleto();
    const std::vector<std::string> hostis = {"", ".", "..", "../ACME", "A/B", "A\\B", "A\nB", std::string(48, 'A')};
    for (const std::string& empresa : hostis) {
        ResumoImportacaoErp resumo;
        std::string erro;
        EXPECT_EQ(ImportaCadastrosErp(empresa, documento, resumo, erro), E_QV_NOME_EMPRESA_INVALIDO) << empresa;
        EXPECT_FALSE(erro.empty());
        EXPECT_TRUE(resumo.linhasPorTabela.empty());
        std::string nome = "x";
        EXPECT_EQ(NomeCadastroErp(empresa, "filial", 1, nome), E_QV_NOME_EMPRESA_INVALIDO) << empresa;
        EXPECT_TRUE(nome.empty());
        json linhas;
        EXPECT_EQ(ListaCadastroErp(empresa, "filial", linhas), E_QV_NOME_EMPRESA_INVALIDO) << empresa;
    }
    // Only the error log was written; no directory of any company came to be.
    for (const auto& nome : teste::ArquivosAbaixo(m_home.Raiz()))
        EXPECT_EQ(nome.rfind("programs/DF/QVProfilerErros_", 0), 0u) << nome;
    EXPECT_FALSE(std::filesystem::exists(m_home.Raiz() / "data"));
    EXPECT_FALSE(std::filesystem::exists(m_home.Raiz() / "ACME"));

    // A company holds its own master data.
    ResumoImportacaoErp resumo;
    std::string erro;
    ASSERT_EQ(ImportaCadastrosErp("OUTRA", {{"filial", {{{"codigo", 1}, {"nome", "Outra"}}}}}, resumo, erro), S_OK);
    ASSERT_EQ(Importa(documento), S_OK);
    std::string nome;
    EXPECT_EQ(NomeCadastroErp("OUTRA", "filial", 1, nome), S_OK);
    EXPECT_EQ(nome, "Outra");
    EXPECT_EQ(Nome("filial", 1), "Matriz");
}

TEST_F(ErpCadastrosTeste, AHolderKeepsTheCompanysConnectionWhileNamesAreRead) {
    ASSERT_EQ(Importa(DocumentoCompleto()), S_OK);
    CadastrosErpAbertos abertos;
    EXPECT_EQ(abertos.Abre("../ACME"), E_QV_NOME_EMPRESA_INVALIDO);
    EXPECT_FALSE(abertos.Aberto());
    ASSERT_EQ(abertos.Abre("ACME"), S_OK);
    std::weak_ptr<ErpBanco> fraco = Banco();
    EXPECT_FALSE(fraco.expired());
    for (int i = 0; i < 50; ++i) EXPECT_EQ(Nome("equipamento", 6), "Compressor 1");
    EXPECT_EQ(fraco.lock(), Banco());  // the same connection all along
    abertos.Fecha();
    EXPECT_TRUE(fraco.expired());
}

TEST_F(ErpCadastrosTeste, TextsChangedBehindTheImportAreShownSafely) {
    ASSERT_EQ(Importa(DocumentoCompleto()), S_OK);
    ASSERT_EQ(Banco()->ExecutaSql("UPDATE marca SET nome = CAST(X'41FF1B5B324A42' AS TEXT) WHERE codigo = 3"), S_OK);
    EXPECT_EQ(Nome("marca", 3), "A\xEF\xBF\xBD\xEF\xBF\xBD[2JB");
    const json linhas = Lista("marca");
    ASSERT_EQ(linhas.size(), 1u);
    EXPECT_NO_THROW(static_cast<void>(linhas.dump()));
}

// ---- Prices: rows keyed by product, grade items and price table, currency
// values as integers or US texts, the client's price table and the service's value.

TEST_F(ErpCadastrosTeste, PriceRowsAreKeyedByProductGradesAndTableAndKeepTheirForm) {
    std::string erro;
    ASSERT_EQ(Importa(json::parse(R"({"preco_produto": [
        {"produto": 21, "tabela_preco": 2, "preco_venda": "12.50"},
        {"produto": 21, "grade1": 4, "tabela_preco": 2, "preco_venda": 150000},
        {"produto": 20, "grade1": null, "tabela_preco": 1, "preco_venda": "0.0001"}]})"), &erro), S_OK) << erro;
    // Replaced by its key, grades left out meaning 0.
    ASSERT_EQ(Importa(json::parse(R"({"preco_produto": [{"produto": 21, "tabela_preco": 2, "preco_venda": 99}]})"), &erro),
              S_OK) << erro;
    EXPECT_EQ(Lista("preco_produto"), json::parse(R"([
        {"produto": 20, "grade1": 0, "grade2": 0, "grade3": 0, "tabela_preco": 1, "preco_venda": "0.0001"},
        {"produto": 21, "grade1": 0, "grade2": 0, "grade3": 0, "tabela_preco": 2, "preco_venda": 99},
        {"produto": 21, "grade1": 4, "grade2": 0, "grade3": 0, "tabela_preco": 2, "preco_venda": 150000}])"));
    // Price rows have no names.
    std::string nome;
    EXPECT_EQ(NomeCadastroErp("ACME", "preco_produto", 21, nome), E_INVALIDARG);

    ASSERT_EQ(Importa(json::parse(R"({"cliente": [{"codigo": 5, "nome": "C", "tabela_preco": 65535}],
                                      "servico": [{"codigo": 7, "nome": "S", "valor": -5}]})"), &erro), S_OK) << erro;
    EXPECT_EQ(Lista("cliente")[0]["tabela_preco"], 65535);
    EXPECT_EQ(Lista("servico")[0]["valor"], -5);
}

TEST_F(ErpCadastrosTeste, WrongPricesAndTablesAreRefusedNamingTheField) {
    const auto preco = [](json campos) {
        json linha = {{"produto", 21}, {"tabela_preco", 2}, {"preco_venda", 1}};
        linha.update(campos);
        return json{{"preco_produto", {linha}}};
    };
    const struct {
        json documento;
        const char* erro;
    } casos[] = {
        {{{"preco_produto", {{{"produto", 21}, {"tabela_preco", 2}}}}}, "preco_produto[0].preco_venda"},
        {preco({{"preco_venda", "doze"}}), "preco_produto[0].preco_venda"},
        {preco({{"preco_venda", 12.5}}), "preco_produto[0].preco_venda"},
        {preco({{"preco_venda", ""}}), "preco_produto[0].preco_venda"},
        {preco({{"preco_venda", 18446744073709551615u}}), "preco_produto[0].preco_venda"},
        {preco({{"tabela_preco", 0}}), "preco_produto[0].tabela_preco"},
        {preco({{"produto", 0}}), "preco_produto[0].produto"},
        {preco({{"grade2", -1}}), "preco_produto[0].grade2"},
        {{{"cliente", {{{"codigo", 1}, {"nome", "C"}, {"tabela_preco", 65536}}}}}, "cliente[0].tabela_preco"},
        {{{"servico", {{{"codigo", 1}, {"nome", "S"}, {"valor", "1\x1b[2J"}}}}}, "servico[0].valor"},
    };
    for (const auto& caso : casos) {
        std::string erro;
        EXPECT_EQ(Importa(caso.documento, &erro), E_INVALIDARG) << caso.documento.dump();
        EXPECT_EQ(erro.rfind(caso.erro, 0), 0u) << erro;
    }
    EXPECT_TRUE(Lista("preco_produto").empty());
}

}  // namespace
