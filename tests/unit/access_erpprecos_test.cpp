// Prices in the ERP stand-in's master data: price rows keyed by product,
// grade items and price table, currency values as integers or US texts, the
// client's price table and the service's value, and what an import refuses.
#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "standins/erp/QVErpCadastros.h"
#include "support/ZentaHomeTemporario.h"

namespace {

using nlohmann::json;

constexpr const char* kEmpresa = "PRECOS";

class ErpPrecos : public ::testing::Test {
protected:
    static HRESULT Importa(const char* documento, std::string* erro = nullptr) {
        zenta::ResumoImportacaoErp resumo;
        std::string e;
        return zenta::ImportaCadastrosErp(kEmpresa, json::parse(documento), resumo, erro ? *erro : e);
    }
    static json Lista(const char* tabela) {
        json linhas;
        EXPECT_EQ(zenta::ListaCadastroErp(kEmpresa, tabela, linhas), S_OK);
        return linhas;
    }

    zenta::teste::ZentaHomeTemporario m_home;
};

TEST_F(ErpPrecos, PriceRowsAreKeyedByProductGradesAndTableAndKeepTheirForm) {
    std::string erro;
    ASSERT_EQ(Importa(R"({"preco_produto": [
        {"produto": 21, "tabela_preco": 2, "preco_venda": "12.50"},
        {"produto": 21, "grade1": 4, "tabela_preco": 2, "preco_venda": 150000},
        {"produto": 20, "grade1": null, "tabela_preco": 1, "preco_venda": "0.0001"}]})",
                      &erro),
              S_OK)
        << erro;
    // Replaced by its key, grades left out meaning 0.
    ASSERT_EQ(Importa(R"({"preco_produto": [{"produto": 21, "tabela_preco": 2, "preco_venda": 99}]})", &erro), S_OK)
        << erro;
    EXPECT_EQ(Lista("preco_produto"), json::parse(R"([
        {"produto": 20, "grade1": 0, "grade2": 0, "grade3": 0, "tabela_preco": 1, "preco_venda": "0.0001"},
        {"produto": 21, "grade1": 0, "grade2": 0, "grade3": 0, "tabela_preco": 2, "preco_venda": 99},
        {"produto": 21, "grade1": 4, "grade2": 0, "grade3": 0, "tabela_preco": 2, "preco_venda": 150000}])"));
    // Price rows have no names.
    std::string nome;
    EXPECT_EQ(zenta::NomeCadastroErp(kEmpresa, "preco_produto", 21, nome), E_INVALIDARG);

    ASSERT_EQ(Importa(R"({"cliente": [{"codigo": 5, "nome": "C", "tabela_preco": 65535}],
                          "servico": [{"codigo": 7, "nome": "S", "valor": -5}]})",
                      &erro),
              S_OK)
        << erro;
    EXPECT_EQ(Lista("cliente")[0]["tabela_preco"], 65535);
    EXPECT_EQ(Lista("servico")[0]["valor"], -5);
}

TEST_F(ErpPrecos, WrongPricesAndTablesAreRefusedNamingTheField) {
    const struct {
        const char* documento;
        const char* erro;
    } casos[] = {
        {R"({"preco_produto": [{"produto": 21, "tabela_preco": 2}]})", "preco_produto[0].preco_venda"},
        {R"({"preco_produto": [{"produto": 21, "tabela_preco": 2, "preco_venda": "doze"}]})",
         "preco_produto[0].preco_venda"},
        {R"({"preco_produto": [{"produto": 21, "tabela_preco": 2, "preco_venda": 12.5}]})",
         "preco_produto[0].preco_venda"},
        {R"({"preco_produto": [{"produto": 21, "tabela_preco": 2, "preco_venda": ""}]})",
         "preco_produto[0].preco_venda"},
        {R"({"preco_produto": [{"produto": 21, "tabela_preco": 0, "preco_venda": 1}]})",
         "preco_produto[0].tabela_preco"},
        {R"({"preco_produto": [{"produto": 0, "tabela_preco": 1, "preco_venda": 1}]})", "preco_produto[0].produto"},
        {R"({"preco_produto": [{"produto": 1, "grade2": -1, "tabela_preco": 1, "preco_venda": 1}]})",
         "preco_produto[0].grade2"},
        {R"({"preco_produto": [{"produto": 1, "tabela_preco": 1, "preco_venda": 18446744073709551615}]})",
         "preco_produto[0].preco_venda"},
        {R"({"cliente": [{"codigo": 1, "nome": "C", "tabela_preco": 65536}]})", "cliente[0].tabela_preco"},
        {R"({"servico": [{"codigo": 1, "nome": "S", "valor": "1\u001b[2J"}]})", "servico[0].valor"},
    };
    for (const auto& caso : casos) {
        std::string erro;
        EXPECT_EQ(Importa(caso.documento, &erro), E_INVALIDARG) << caso.documento;
        EXPECT_EQ(erro.rfind(caso.erro, 0), 0u) << erro;
    }
    EXPECT_TRUE(Lista("preco_produto").empty());
}

}  // namespace
