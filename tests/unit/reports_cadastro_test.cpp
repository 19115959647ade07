// The plan registration and maintenance order reports through the service
// interface: what each field shows (situation texts, maintenance names,
// number and duration forms, ERP texts, stock locations), the rows under a
// plan or an order with their search keys, models and refused destinations,
// and a filter that matches nothing.

#include <nlohmann/json.hpp>

#include <zenta/zenta.h>

#include "standins/erp/QVErpCadastros.h"
#include "logic/BaseManutencaoPreventiva.h"
#include "platform/CodePage.h"
#include "reports/RelatorioCadastroManPrev.h"
#include "support/EmpresaTeste.h"
#include "support/RelatorioTeste.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using zenta::teste::Bstr;
using zenta::teste::LeCsv;

// A company with the given ERP master data, a report directory and a CSV model.
class RelatorioEmpresa : public zenta::teste::EmpresaTeste {
protected:
    RelatorioEmpresa(const char* empresa, const char* erp) : EmpresaTeste(empresa), m_erp(erp) {}
    void SetUp() override {
        zenta::ResumoImportacaoErp resumo;
        std::string erro;
        ASSERT_EQ(zenta::ImportaCadastrosErp(m_empresa, nlohmann::json::parse(m_erp), resumo, erro), S_OK) << erro;
        EmpresaTeste::SetUp();
        fs::create_directories(m_home.Raiz() / "relatorios");
        Modelo("csv", "formato = csv\n");
    }
    void Modelo(const std::string& nome, const std::string& texto) {
        std::ofstream(m_home.Raiz() / "relatorios" / (nome + ".modelo"), std::ios::binary) << texto;
    }

    // Each (row, field, text) as the CSV shows it, fields found by their column.
    using Csv = std::vector<std::vector<std::string>>;
    struct Celula {
        std::size_t linha;
        LONG campo;
        std::string texto;
    };
    static void ConfereCelulas(const Csv& csv, std::size_t (*coluna)(LONG), std::initializer_list<Celula> celulas) {
        for (const Celula& c : celulas) {
            ASSERT_LT(c.linha, csv.size());
            EXPECT_EQ(csv[c.linha][coluna(c.campo)], c.texto) << "row " << c.linha << ", field " << c.campo;
        }
    }

    const char* m_erp;
};

constexpr const char* kEmpresa = "RELCAD";

class RelatorioCadastro : public RelatorioEmpresa {
protected:
    RelatorioCadastro() : RelatorioEmpresa(kEmpresa, R"({
            "usuario": [{"codigo": 7, "nome": "Ana Técnica"}],
            "unidade_medida": [{"codigo": 4, "nome": "Hora", "sigla": "h"}],
            "produto": [{"codigo": 21, "nome": "Filtro de óleo"}, {"codigo": 22, "nome": "Graxa"}],
            "item_grade": [{"codigo": 3, "nome": "Azul"}],
            "servico": [{"codigo": 31, "nome": "Revisão geral"}, {"codigo": 32, "nome": "Limpeza"}],
            "equipamento": [{"codigo": 10, "nome": "Compressor"}],
            "equipamento_cadastro": [{"codigo": 10, "nome": "Compressor de ar 10 HP", "referencia": "CMP-10"}],
            "cliente": [{"codigo": 5, "nome": "Metalúrgica Souza"}, {"codigo": 6, "nome": "Padaria Sol"}],
            "cliente_comercial": [{"codigo": 5, "nome": "Metalúrgica Souza Ltda.", "nome_curto": "SOUZA"}]
        })") {}

    // Plan 1: equipment 10 with situation 5; maintenance "Lubrificação"
    // without a registration service (a product of 1.5 and two services),
    // then a maintenance whose registration service is 31; two customers.
    LONG GravaPlano1() {
        return m_plano1 = zenta::teste::GravaPlanoJson(*m_servico, nlohmann::json::parse(R"({
          "idEquipamentoPS": {"lFilial": 2, "lEquipamento": 10, "lSituacao": 3, "szNrSerie": "SN-77",
                              "szFabricante": "Indústria Beta", "regMedidorAtual": {"lPonteiroUnMedida": 4}},
          "listaManutencoes": {"pManutencoes": [
            {"szNomeManutencao": "Lubrificação",
             "frequenciaPS": {"lTipoFrequencia": 1, "lTipoFrequenciaTempo": 1, "lFrequenciaTempo": 30,
                              "lFrequenciaLimiteTempo": 35, "vFrequenciaMedicao": "300.1299",
                              "vMedicaoInicial": "12.5", "horaDuracao": "1.5", "dataInicial": "2026-03-15",
                              "szParadaManutencao": "Sim"},
             "listaProdutos": {"pProdutos": [{"lProduto": 21, "lGrade1": 3, "lTecnico": 7, "vQuantidadePrevista": "1.5"}]},
             "listaServicos": {"pServicos": [{"lServico": 31, "vQuantidadePrevista": "1.2345"},
                                             {"lServico": 32, "lTecnico": 7, "vQuantidadePrevista": "2"}]}},
            {"szNomeManutencao": "Nome próprio", "lServicoCadastro": 31,
             "frequenciaPS": {"lTipoFrequencia": 2, "lTipoFrequenciaTempo": 3, "lFrequenciaTempo": 6}}]},
          "listaClientes": {"pClientes": [
            {"lCliente": 5, "szEndereco": "Rua das Acácias", "szNumero": "120", "dataInicial": "2026-02-01"},
            {"lCliente": 6}]}
        })"));
    }

    // Plan 2: product 22 of branch 3, concluded, with no maintenances.
    LONG GravaPlano2() {
        return m_plano2 = zenta::teste::GravaPlanoJson(
                   *m_servico, {{"idEquipamentoPS", {{"lFilial", 3}, {"lProduto", 22}, {"lSituacao", 4}}}});
    }

    static _REG_FILTRO_CADASTRO_MANUTENCAO_PS FiltroTodos() {
        _REG_FILTRO_CADASTRO_MANUTENCAO_PS f{};
        f.lTipoIdentificacao = 2;
        return f;
    }

    HRESULT Gera(const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& filtro, const fs::path& destino, const std::string& modelo) {
        Bstr arquivo(destino.string()), relatorio(modelo), componente("GE_Relatorio");
        _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS r{};
        r.filtro = filtro;
        r.bsArquivoTemp = arquivo.b;
        r.bsRelatorio = relatorio.b;
        r.bsComponente = componente.b;
        return m_servico->GeraRelatorioCadastro(r);
    }

    static void ConfereCelulas(const Csv& csv, std::initializer_list<Celula> celulas) {
        RelatorioEmpresa::ConfereCelulas(csv, Coluna, celulas);
    }
    // Index of a field in the default (every field) column order.
    static std::size_t Coluna(LONG codigo) {
        static const LONG ordem[] = {101, 102, 103, 120, 104, 121, 119, 105, 106, 107, 108, 109, 110,
                                     111, 112, 113, 114, 115, 116, 117, 118, 201, 301, 302, 303, 304,
                                     305, 306, 307, 308, 309, 501, 502, 503, 504, 401, 402, 403, 404,
                                     405, 406, 407, 601, 602, 603, 604, 605, 606, 607, 608, 609, 610};
        for (std::size_t i = 0; i < std::size(ordem); ++i)
            if (ordem[i] == codigo) return i;
        ADD_FAILURE() << codigo;
        return 0;
    }

    LONG m_plano1 = 0;
    LONG m_plano2 = 0;
};

TEST_F(RelatorioCadastro, FieldsShowSituationTextsErpTextsNamesFrequenciesAndNumberForms) {
    GravaPlano1();
    GravaPlano2();
    ASSERT_EQ(Gera(FiltroTodos(), m_home.Raiz() / "planos.csv", "csv"), S_OK);
    const auto csv = LeCsv(m_home.Raiz() / "planos.csv");
    // Plan 1: maintenance 1 takes rows 1-2 (two services), maintenance 2 row 3; then plan 2's single row.
    ASSERT_EQ(csv.size(), 5u);
    EXPECT_EQ(csv[0][Coluna(119)], "Situação");
    ConfereCelulas(csv, {{1, 101, std::to_string(m_plano1)}, {1, 119, "Cancelado"}, {1, 103, "CMP-10"},
                         {1, 120, "Compressor de ar 10 HP"}, {1, 113, "Indústria Beta"},
                         {4, 101, std::to_string(m_plano2)}, {4, 119, "Concluído"}, {4, 121, "22"}, {4, 104, "Graxa"}});
    ConfereCelulas(csv, {
        // No registration service: its own name; else the registration service's name.
        {1, 201, "Lubrificação"}, {3, 201, "Revisão geral"}, {2, 201, ""},
        // Figures with their units: time in the frequency's unit, the limit
        // in days, meter figures in the meter's unit (2 decimals, cut).
        {1, 301, "30 dias"}, {3, 301, "6 meses"}, {1, 303, "300,12 h"}, {1, 305, "15/03/2026"},
        {1, 306, "12,50 h"}, {1, 307, "1:30"},  // 1.50 hours
        // Products and services: automatic decimals, names, technicians.
        {1, 402, "Filtro de óleo"}, {1, 403, "Azul"}, {1, 406, "1,50"}, {1, 407, "Ana Técnica"},
        {1, 502, "Revisão geral"}, {1, 503, "1,2345"}, {2, 503, "2,00"},
        // Customers fill the rows from the first; without a commercial
        // record, the registration's name.
        {1, 601, "SOUZA"}, {1, 602, "Metalúrgica Souza Ltda."}, {1, 610, "01/02/2026"}, {2, 602, "Padaria Sol"},
        {3, 602, ""}});
    // The master fields are copied to every row.
    for (std::size_t l = 1; l < 4; ++l) EXPECT_EQ(csv[l][Coluna(101)], std::to_string(m_plano1)) << l;

    // A filter that matches nothing: 0x406C2, and no file, not even a partial one beside it.
    _REG_FILTRO_CADASTRO_MANUTENCAO_PS f = FiltroTodos();
    f.lFilial = 99;
    EXPECT_EQ(Gera(f, m_home.Raiz() / "vazio.pdf", ""), static_cast<HRESULT>(0x406C2));
    for (const auto& e : fs::directory_iterator(m_home.Raiz())) EXPECT_EQ(e.path().string().find("vazio"), std::string::npos);
}

TEST_F(RelatorioCadastro, ModelChoosesFieldsInItsOrderAndRefusesUnknownOrIntegratedFields) {
    GravaPlano1();
    Modelo("curto", "# escolha\ntitulo = Curto\nformato = csv\ncampos = 201, 101\ncampos = 119\n");
    const fs::path destino = m_home.Raiz() / "curto.csv";
    ASSERT_EQ(Gera(FiltroTodos(), destino, "curto"), S_OK);
    const auto csv = LeCsv(destino);
    ASSERT_EQ(csv.size(), 4u);
    EXPECT_EQ(csv[0], (std::vector<std::string>{"Manutenção", "Plano", "Situação"}));
    EXPECT_EQ(csv[1], (std::vector<std::string>{"Lubrificação", std::to_string(m_plano1), "Cancelado"}));

    Modelo("errado", "formato = csv\ncampos = 101, 999\n");
    EXPECT_EQ(Gera(FiltroTodos(), m_home.Raiz() / "errado.csv", "errado"), E_INVALIDARG);
    Modelo("integrado", "formato = csv\ncampos = 101, 1000001\n");
    EXPECT_EQ(Gera(FiltroTodos(), m_home.Raiz() / "integrado.csv", "integrado"), E_QV_RELATORIO_CAMPO_INTEGRADO);
    EXPECT_FALSE(fs::exists(m_home.Raiz() / "errado.csv"));
    EXPECT_FALSE(fs::exists(m_home.Raiz() / "integrado.csv"));
}

// Every refusal carries its reason to the last-error record.
TEST_F(RelatorioCadastro, RefusedNamesAndDestinationsSayWhy) {
    GravaPlano1();
    fs::create_directories(m_home.Raiz() / "fora");
    std::ofstream(m_home.Raiz() / "fora" / "x.modelo") << "formato = csv\n";
    fs::create_symlink(m_home.Raiz() / "alvo", m_home.Raiz() / "link.pdf");
    const fs::path r = m_home.Raiz() / "r.pdf";
    const HRESULT kSemArquivo = HRESULT_FROM_WIN32(2u);
    const struct {
        fs::path destino;
        std::string modelo;
        HRESULT hr;
        std::string motivo;
    } casos[] = {
        {r, "../fora/x", E_INVALIDARG, "nome de relatório inválido"},
        {r, "..", E_INVALIDARG, "nome de relatório inválido"},
        {r, "/etc/passwd", E_INVALIDARG, "nome de relatório inválido"},
        {r, "nome com espaço", E_INVALIDARG, "nome de relatório inválido"},
        {r, "CSV", kSemArquivo, (m_home.Raiz() / "relatorios" / "CSV.modelo").string()},
        {r, "csv", E_INVALIDARG, "extensão .pdf"},
        {"relativo.pdf", "", E_INVALIDARG, "caminho absoluto"},
        {m_home.Raiz() / "nao-existe" / "r.pdf", "", E_INVALIDARG,
         "o diretório do arquivo de destino não existe: " + (m_home.Raiz() / "nao-existe").string()},
        {m_home.Raiz(), "", E_INVALIDARG, "não é um arquivo comum"},  // a directory
        {m_home.Raiz() / "link.pdf", "", E_INVALIDARG, "não é um arquivo comum"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(Gera(FiltroTodos(), c.destino, c.modelo), c.hr) << c.modelo << " " << c.destino;
        _REG_DF_ERROPS erro{};
        ASSERT_EQ(m_servico->GetUltimoErro(&erro), S_OK);
        EXPECT_EQ(erro.hr, c.hr);
        erro.cMensagem[sizeof erro.cMensagem - 1] = '\0';
        EXPECT_THAT(zenta::Cp1252ParaUtf8(erro.cMensagem), ::testing::HasSubstr(c.motivo));
    }
    EXPECT_FALSE(fs::exists(m_home.Raiz() / "alvo"));
    EXPECT_FALSE(fs::exists(r));
    // A report that succeeds leaves no old error behind.
    ASSERT_EQ(Gera(FiltroTodos(), m_home.Raiz() / "ok.csv", ""), S_OK);
    EXPECT_EQ(zenta::teste::LeArquivo(m_home.Raiz() / "ok.csv").substr(0, 3), "\xEF\xBB\xBF");  // CSV by extension
    _REG_DF_ERROPS erro{};
    ASSERT_EQ(m_servico->GetUltimoErro(&erro), S_OK);
    EXPECT_EQ(erro.hr, S_OK);
}

// The report object itself, for what the file does not show: rows created
// by copying the master line and the search keys of every row.
TEST_F(RelatorioCadastro, EveryRowCarriesOneKeyPerKindWithPointerZeroPastTheLast) {
    GravaPlano1();
    m_servico.reset();
    CBaseManutencaoPreventiva base;
    ASSERT_EQ(base.Inicializa(kEmpresa, 7, 42), S_OK);
    CRelatorioCadastroManPrev relatorio;
    ASSERT_EQ(relatorio.Inicializa(&base), S_OK);
    Bstr arquivo((m_home.Raiz() / "k.csv").string()), modelo("csv");
    _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS r{};
    r.filtro = FiltroTodos();
    r.bsArquivoTemp = arquivo.b;
    r.bsRelatorio = modelo.b;
    ASSERT_EQ(relatorio.EmiteRelatorio(r), S_OK);
    const auto& doc = relatorio.GetRelatorio().GetMontaRelatorio().GetDocumento();
    ASSERT_EQ(doc.blocos.size(), 1u);
    const auto& linhas = doc.blocos[0].linhas;
    ASSERT_EQ(linhas.size(), 3u);
    using Chaves = std::vector<std::pair<LONG, ULONG>>;
    auto ordenadas = [](Chaves c) {
        std::sort(c.begin(), c.end());
        return c;
    };
    EXPECT_EQ(ordenadas(linhas[0].chaves), (Chaves{{1, 21}, {2, 31}, {3, 5}}));
    EXPECT_EQ(ordenadas(linhas[1].chaves), (Chaves{{1, 0}, {2, 32}, {3, 6}}));
    EXPECT_EQ(ordenadas(linhas[2].chaves), (Chaves{{1, 0}, {2, 0}, {3, 0}}));
    base.Finaliza();
}

// ---- The maintenance order report: master fields, product and service rows
// side by side, the stock location ("Vários." for two or more), quantities
// with exactly two decimals cut.

// The column of a field in the default order (every declared field).
std::size_t ColunaMovimento(LONG codigo) {
    if (codigo < 200) return static_cast<std::size_t>(codigo - 101);
    if (codigo < 300) return static_cast<std::size_t>(28 + codigo - 201);
    return static_cast<std::size_t>(37 + codigo - 301);
}

class RelatorioMovimento : public RelatorioEmpresa {
protected:
    RelatorioMovimento() : RelatorioEmpresa("RELMOV", R"({
            "usuario": [{"codigo": 7, "nome": "Ana Técnica"}, {"codigo": 8, "nome": "Bruno"}],
            "produto": [{"codigo": 21, "nome": "Filtro de óleo"}, {"codigo": 22, "nome": "Graxa"}],
            "item_grade": [{"codigo": 3, "nome": "Azul marinho"}],
            "servico": [{"codigo": 31, "nome": "Revisão geral"}],
            "equipamento_cadastro": [{"codigo": 10, "nome": "Compressor de ar", "referencia": "CMP-10"}],
            "cliente": [{"codigo": 5, "nome": "Metalúrgica Souza"}],
            "cliente_comercial": [{"codigo": 5, "nome": "Metalúrgica Souza Ltda.", "nome_curto": "SOUZA"}],
            "local_estoque": [{"codigo": 3, "nome": "Almoxarifado"}, {"codigo": 4, "nome": "Depósito"}]
        })") {}

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
    EXPECT_EQ(csv[0][ColunaMovimento(209)], "Local de estoque");
    // Every caption once: products and services both have planned and used quantities.
    EXPECT_EQ(std::set<std::string>(csv[0].begin(), csv[0].end()).size(), csv[0].size());
    EXPECT_EQ(csv[0][ColunaMovimento(206)], "Qtde. prevista (Produtos)");
    EXPECT_EQ(csv[0][ColunaMovimento(303)], "Qtde. prevista (Serviços)");
    ConfereCelulas(csv, ColunaMovimento, {
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
    });
    // Master fields are copied onto every row.
    for (std::size_t l = 1; l < csv.size(); ++l) EXPECT_EQ(csv[l][ColunaMovimento(101)], "CMP-10") << l;

    // A filter that matches nothing: 0x406C2 and no file.
    _REG_MOVIMENTACAO_FILTRO_PS f = FiltroTodos();
    f.lCliente = 99;
    EXPECT_EQ(Gera(f, m_home.Raiz() / "nada.pdf", ""), static_cast<HRESULT>(0x406C2));
    EXPECT_FALSE(fs::exists(m_home.Raiz() / "nada.pdf"));
}

}  // namespace
