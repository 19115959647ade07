// The maintenance order report through the service interface: master
// fields, product and service rows side by side, the stock location field
// ("Vários." for two or more), quantities with exactly two decimals cut, and
// a filter that matches nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <zenta/zenta.h>

#include "standins/erp/QVErpCadastros.h"
#include "platform/CodePage.h"
#include "support/EmpresaTeste.h"
#include "support/RelatorioTeste.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using zenta::teste::Bstr;
using zenta::teste::LeCsv;

constexpr const char* kEmpresa = "RELMOV";


// The column of a field in the default order (every declared field).
std::size_t Coluna(LONG codigo) {
    if (codigo < 200) return static_cast<std::size_t>(codigo - 101);
    if (codigo < 300) return static_cast<std::size_t>(28 + codigo - 201);
    return static_cast<std::size_t>(37 + codigo - 301);
}

class RelatorioMovimento : public zenta::teste::EmpresaTeste {
protected:
    RelatorioMovimento() : EmpresaTeste(kEmpresa) {}
    void SetUp() override {
        const auto erp = nlohmann::json::parse(R"({
            "usuario": [{"codigo": 7, "nome": "Ana Técnica"}, {"codigo": 8, "nome": "Bruno"}],
            "produto": [{"codigo": 21, "nome": "Filtro de óleo"}, {"codigo": 22, "nome": "Graxa"}],
            "item_grade": [{"codigo": 3, "nome": "Azul marinho"}],
            "servico": [{"codigo": 31, "nome": "Revisão geral"}],
            "equipamento_cadastro": [{"codigo": 10, "nome": "Compressor de ar", "referencia": "CMP-10"}],
            "cliente": [{"codigo": 5, "nome": "Metalúrgica Souza"}],
            "cliente_comercial": [{"codigo": 5, "nome": "Metalúrgica Souza Ltda.", "nome_curto": "SOUZA"}],
            "local_estoque": [{"codigo": 3, "nome": "Almoxarifado"}, {"codigo": 4, "nome": "Depósito"}]
        })");
        zenta::ResumoImportacaoErp resumo;
        std::string erro;
        ASSERT_EQ(zenta::ImportaCadastrosErp(kEmpresa, erp, resumo, erro), S_OK) << erro;
        EmpresaTeste::SetUp();
        fs::create_directories(m_home.Raiz() / "relatorios");
        std::ofstream(m_home.Raiz() / "relatorios" / "csv.modelo") << "formato = csv\n";
    }

    // An order of equipment 10 for customer 5: product 21 on two locations,
    // product 22 on one, product 21 on none; one service.
    ULONGLONG GravaOrdem() {
        nlohmann::json json = nlohmann::json::parse(R"({
          "lFilial": 1, "lCliente": 5, "lEquipamento": 10, "lTecnico": 7, "dataPrevista": "2026-03-10",
          "dataInicio": "2026-03-11", "horaInicio": 30600, "horaDuracao": "2.5", "vFrequenciaMedicao": "500.0999",
          "szNomeManutencao": "Revisão", "szParadaManutencao": "Parada total", "bsOcorrencia": "Vazamento na válvula",
          "listaProdutos": {"pProdutos": [
            {"lProduto": 21, "lGrade1": 3, "lTecnico": 7, "vQuantidadePrevista": "2.9999",
             "vQuantidadeUtilizada": "1234.5678", "listaLocal": {"pLocaisEstoque": [
               {"lPonteiroLocal": 3, "vQuantidadeEs": "1"}, {"lPonteiroLocal": 4, "vQuantidadeEs": "1"}]}},
            {"lProduto": 22, "vQuantidadePrevista": "1",
             "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 4, "vQuantidadeEs": "1"}]}},
            {"lProduto": 21}]},
          "listaServicos": {"pServicos": [
            {"lServico": 31, "lTecnico": 8, "vQuantidadePrevista": "0.0005", "vQuantidadeUtilizada": "-1.5001"}]}
        })");
        json["dmcChave"] = REG_QVDMC().SetDMC(0, 84, REG_QVDMA(1, 3, 2026).GetMa()).Get64();
        zenta::teste::RegistroJson<_REG_MOVIMENTACAO_MANUT_PREV_PS> o(json);
        ULONGLONG chave = 0;
        EXPECT_EQ(m_servico->GravaMovimentacao(o.r, &chave), S_OK);
        return chave;
    }

    HRESULT Gera(const _REG_MOVIMENTACAO_FILTRO_PS& filtro, const fs::path& destino, const std::string& modelo) {
        Bstr arquivo(destino.string()), relatorio(modelo);
        _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS r{};
        r.filtro = filtro;
        r.bsArquivoTemp = arquivo.b;
        r.bsRelatorio = relatorio.b;
        return m_servico->GeraRelatorioMovimentacao(r);
    }
    static _REG_MOVIMENTACAO_FILTRO_PS FiltroTodos() {
        _REG_MOVIMENTACAO_FILTRO_PS f{};
        f.lTipoIdentificacao = 2;
        return f;
    }
};

TEST_F(RelatorioMovimento, FieldsOfTheOrderItsProductsAndServices) {
    GravaOrdem();
    const fs::path destino = m_home.Raiz() / "ordens.csv";
    ASSERT_EQ(Gera(FiltroTodos(), destino, "csv"), S_OK);
    const auto csv = LeCsv(destino);
    ASSERT_EQ(csv.size(), 4u);  // captions and three product rows
    ASSERT_EQ(csv[0].size(), 41u);
    EXPECT_EQ(csv[0][Coluna(209)], "Local de estoque");
    // Every caption once: products and services both have planned and used quantities.
    EXPECT_EQ(std::set<std::string>(csv[0].begin(), csv[0].end()).size(), csv[0].size());
    EXPECT_EQ(csv[0][Coluna(206)], "Qtde. prevista (Produtos)");
    EXPECT_EQ(csv[0][Coluna(303)], "Qtde. prevista (Serviços)");
    struct Celula {
        std::size_t linha;
        LONG campo;
        std::string texto;
    } celulas[] = {
        // What tells orders apart: key as clients show it, status, maintenance.
        {1, 126, "03/2026-000001"}, {1, 127, "Aberta"}, {1, 128, "Revisão"}, {1, 101, "CMP-10"}, {1, 108, "SOUZA"},
        {1, 109, "Metalúrgica Souza Ltda."}, {1, 111, "10/03/2026"}, {1, 114, "500,09"}, {1, 115, "2,50"},
        {1, 119, "Ana Técnica"}, {1, 120, "11/03/2026"}, {1, 121, "08:30"}, {1, 124, "Vazamento na válvula"},
        // Product rows: codes, names, grade descriptions cut to their 5 characters, marked.
        {1, 201, "21"}, {1, 202, "Filtro de óleo"}, {1, 203, "Azul…"}, {2, 202, "Graxa"},
        // The service shares the first row; the rows past it have none.
        {1, 301, "31"}, {1, 302, "Revisão geral"}, {2, 301, ""},
        // The stock location: "Vários." for two or more, the name for one, empty for none.
        {1, 209, "Vários."}, {2, 209, "Depósito"}, {3, 209, ""},
        // Quantities with exactly two decimals, cut.
        {1, 206, "2,99"}, {1, 207, "1.234,56"}, {3, 206, "0,00"}, {1, 303, "0,00"}, {1, 304, "-1,50"},
    };
    for (const Celula& c : celulas)
        EXPECT_EQ(csv[c.linha][Coluna(c.campo)], c.texto) << "row " << c.linha << ", field " << c.campo;
    // Master fields are copied onto every row.
    for (std::size_t l = 1; l < csv.size(); ++l) EXPECT_EQ(csv[l][Coluna(101)], "CMP-10") << l;

    // A filter that matches nothing: 0x406C2 and no file.
    _REG_MOVIMENTACAO_FILTRO_PS f = FiltroTodos();
    f.lCliente = 99;
    EXPECT_EQ(Gera(f, m_home.Raiz() / "nada.pdf", ""), static_cast<HRESULT>(0x406C2));
    EXPECT_FALSE(fs::exists(m_home.Raiz() / "nada.pdf"));
}

}  // namespace
