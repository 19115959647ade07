// Stock pre-withdrawal of maintenance orders: the records that reach the
// stock stand-in, byte for byte, for each merge rule; removal by key and
// branch; refused input and failures of the stock module.

#include <array>

#include "standins/erp/QVErpBanco.h"
#include "integration/IntegracaoEstoque.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

namespace {

using Bytes = std::array<unsigned char, 104>;

// A location of a product line; every compared field has a distinct value.
_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS Local(LONGLONG quantidade, LONGLONG valorUnitario = 25000) {
    _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS l{};
    l.cConteudoImportado = '1';
    l.cTipoProducao = 'P';
    l.cFiller[0] = 0xEE;  // not copied
    l.lPonteiroLocal = 3;
    l.lPonteiroLote = 0x11111111;
    l.lPonteiroForLote = 0x22222222;
    l.lPonteiroVolume = 0x33333333;
    l.lPonteiroForEPTETPE = 0x44444444;
    l.lPonteiroCliEPTETPE = 0x55555555;
    l.lPonteiroControleFCI = 0x66666666;
    l.lFiller = 0xEEEEEEEE;
    l.vQuantidadeEs.int64 = quantidade;
    l.vPIUnitaria.int64 = valorUnitario;
    return l;
}

// An order built from product lines, each with its locations.
class Ordem {
public:
    Ordem& Linha(ULONG produto, LONGLONG prevista, std::vector<_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS> locais,
                 ULONG grade1 = 1, ULONG grade2 = 2, ULONG grade3 = 3) {
        _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS p{};
        p.lProduto = produto;
        p.lGrade1 = grade1;
        p.lGrade2 = grade2;
        p.lGrade3 = grade3;
        p.lTecnico = 0xEEEE;
        p.vQuantidadePrevista.int64 = prevista;
        p.vQuantidadeUtilizada.int64 = 999;
        m_produtos.push_back(p);
        m_locais.push_back(std::move(locais));
        return *this;
    }
    const _REG_MOVIMENTACAO_MANUT_PREV_PS& Registro(ULONG filial = 1) {
        m_reg = {};
        m_reg.dmcChave = REG_QVDMC().SetDMC(5, 84, 0x1234).Get64();
        m_reg.lFilial = filial;
        for (std::size_t i = 0; i < m_produtos.size(); ++i) {
            m_produtos[i].listaLocal.lQtdEstoque = static_cast<ULONG>(m_locais[i].size());
            m_produtos[i].listaLocal.pLocaisEstoque = m_locais[i].empty() ? nullptr : m_locais[i].data();
        }
        m_reg.listaProdutos.lQtdProdutos = static_cast<ULONG>(m_produtos.size());
        m_reg.listaProdutos.pProdutos = m_produtos.empty() ? nullptr : m_produtos.data();
        return m_reg;
    }

private:
    std::vector<_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS> m_produtos;
    std::vector<std::vector<_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS>> m_locais;
    _REG_MOVIMENTACAO_MANUT_PREV_PS m_reg{};
};

Bytes BytesDe(const REG_ES_PREBAIXAPS& r) {
    Bytes b;
    std::memcpy(b.data(), &r, sizeof r);
    return b;
}

// The expected record: what the line and its location carry, the areas
// reserved to the stock module zero.
Bytes Esperado(ULONG produto, USHORT g1, USHORT g2, USHORT g3, LONGLONG quantidade,
               const _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS& l) {
    return BytesDe({.lProduto = produto, .usGrade1 = g1, .usGrade2 = g2, .usGrade3 = g3, .cReservado1 = {},
                    .vQuantidade = {.int64 = quantidade}, .vPrecoUnitario = {.int64 = l.vPIUnitaria.int64},
                    .lPonteiroLote = l.lPonteiroLote, .lPonteiroForLote = l.lPonteiroForLote,
                    .lPonteiroVolume = l.lPonteiroVolume, .lPonteiroForEPTETPE = l.lPonteiroForEPTETPE,
                    .lPonteiroCliEPTETPE = l.lPonteiroCliEPTETPE, .lPonteiroControleFCI = l.lPonteiroControleFCI,
                    .cReservado2 = {}, .usLocal = static_cast<USHORT>(l.lPonteiroLocal), .cReservado3 = {},
                    .cTipoProducao = static_cast<BYTE>(l.cTipoProducao), .cReservado4 = 0,
                    .cConteudoImportado = static_cast<BYTE>(l.cConteudoImportado), .cReservado5 = {}});
}

class EstoqueTeste : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_integracao.Inicializa("ACME", 7, 42), S_OK); }

    std::filesystem::path Arquivo() const {
        std::filesystem::path arquivo;
        EXPECT_EQ(ErpBanco::Caminho("ACME", arquivo), S_OK);
        return arquivo;
    }
    // What the stock stand-in holds for the key and branch.
    std::vector<Bytes> Gravados(REG_QVDMC chave = kChave, USHORT filial = 1) const {
        std::shared_ptr<ErpBanco> banco;
        EXPECT_EQ(ErpBanco::Compartilhado(Arquivo(), banco), S_OK);
        std::vector<REG_ES_PREBAIXAPS> registros;
        if (banco) {
            EXPECT_EQ(banco->LePreBaixas(chave, filial, registros), S_OK);
        }
        std::vector<Bytes> bytes;
        for (const auto& r : registros) bytes.push_back(BytesDe(r));
        return bytes;
    }
    std::string LogDaEmpresa() const {
        std::string texto;
        const auto dir = m_home.Raiz() / "data/ACME/DF";
        for (const auto& nome : zenta::teste::ArquivosAbaixo(dir))
            if (nome.rfind("QVProfilerErros_Base_", 0) == 0) texto += zenta::teste::LeArquivo(dir / nome);
        return texto;
    }

    static inline const REG_QVDMC kChave = REG_QVDMC().SetDMC(5, 84, 0x1234);
    zenta::teste::ZentaHomeTemporario m_home;
    CIntegracaoEstoque m_integracao;
};

// Nothing to withdraw, or a quantity beyond the currency's range: the stock
// module is never called.
TEST_F(EstoqueTeste, NothingToWithdrawOrAQuantityOutOfRangeSendsNothing) {
    Ordem semLinhas;
    EXPECT_EQ(m_integracao.EfetuaBaixaNoEstoque(semLinhas.Registro(), kChave), S_OK);
    Ordem semLocais;
    semLocais.Linha(10, 10000, {}).Linha(11, 10000, {});
    EXPECT_EQ(m_integracao.EfetuaBaixaNoEstoque(semLocais.Registro(), kChave), S_OK);
    Ordem grande;
    grande.Linha(10, INT64_MAX, {Local(INT64_MAX - 5)}).Linha(10, 10, {Local(10)});
    EXPECT_EQ(m_integracao.EfetuaBaixaNoEstoque(grande.Registro(), kChave), DISP_E_OVERFLOW);
    EXPECT_FALSE(std::filesystem::exists(Arquivo()));
}

// What one line reserves: each location its own quantity, the planned
// quantity only for a single location without one, never above the plan.
TEST_F(EstoqueTeste, EachLocationReservesItsOwnQuantityUpToThePlan) {
    auto lugar = [](ULONG local, LONGLONG quantidade) {
        auto l = Local(quantidade);
        l.lPonteiroLocal = local;
        return l;
    };
    struct Caso {
        const char* nome;
        LONGLONG prevista;
        std::vector<_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS> locais;
        std::vector<LONGLONG> reservados;
    } casos[] = {
        {"oil change: 10 at place 1, 2.5 at place 2", 125000, {lugar(1, 100000), lugar(2, 25000)}, {100000, 25000}},
        {"one location without a quantity takes the plan", 125000, {lugar(1, 0)}, {125000}},
        {"one location with a quantity takes its own", 125000, {lugar(1, 50000)}, {50000}},
        {"matching locations add up", 50000, {lugar(3, 20000), lugar(3, 7000)}, {27000}},
        {"locations beyond the plan are cut to it", 30000, {lugar(1, 20000), lugar(2, 20000), lugar(4, 5000)},
         {20000, 10000}},
        {"a negative or empty location reserves nothing", 30000, {lugar(1, -5000), lugar(2, 0)}, {}},
    };
    for (const Caso& caso : casos) {
        Ordem ordem;
        ordem.Linha(10, caso.prevista, caso.locais);
        ASSERT_EQ(m_integracao.EfetuaBaixaNoEstoque(ordem.Registro(), kChave), S_OK) << caso.nome;
        std::vector<LONGLONG> reservados;
        for (const Bytes& b : Gravados()) {
            LONGLONG q = 0;
            std::memcpy(&q, b.data() + 40, sizeof q);
            reservados.push_back(q);
        }
        EXPECT_EQ(reservados, caso.reservados) << caso.nome;
        ASSERT_EQ(m_integracao.LimparBaixaNoEstoque(kChave, 1), S_OK);
    }
}

TEST_F(EstoqueTeste, RecordsMatchOnGradesProductionTypeAndEveryPointer) {
    // Locations of 0.7 differing from the first by one field each: none is merged.
    const std::function<void(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS&)> diferencas[] = {
        [](auto& l) { l.vPIUnitaria.int64 += 1; },     [](auto& l) { l.cConteudoImportado = '2'; },
        [](auto& l) { l.lPonteiroLote += 1; },         [](auto& l) { l.lPonteiroControleFCI += 1; },
        [](auto& l) { l.lPonteiroLocal = 4; },         [](auto& l) { l.cTipoProducao = 'X'; },
    };
    std::vector<_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS> locais = {Local(20000)};
    for (const auto& muda : diferencas) {
        locais.push_back(Local(7000));
        muda(locais.back());
    }
    Ordem ordem;
    ordem.Linha(10, 900000, locais);
    ASSERT_EQ(m_integracao.EfetuaBaixaNoEstoque(ordem.Registro(), kChave), S_OK);
    std::vector<Bytes> esperados;
    for (const auto& l : locais) esperados.push_back(Esperado(10, 1, 2, 3, l.vQuantidadeEs.int64, l));
    EXPECT_EQ(Gravados(), esperados);

    // Product 604 at place 1 in two grades: one record per grade; a later
    // line of the same grades adds to the first line's record.
    const auto lugar1 = Local(0);
    Ordem grades;
    grades.Linha(604, 20000, {lugar1}, 1, 0, 0).Linha(604, 40000, {lugar1}, 2, 0, 0).Linha(604, 10000, {lugar1}, 1, 0, 0);
    ASSERT_EQ(m_integracao.EfetuaBaixaNoEstoque(grades.Registro(), kChave), S_OK);
    EXPECT_EQ(Gravados(), (std::vector<Bytes>{Esperado(604, 1, 0, 0, 30000, lugar1),
                                              Esperado(604, 2, 0, 0, 40000, lugar1)}));
}

TEST_F(EstoqueTeste, RecordsOfEachProductStayTogetherInOrder) {
    auto x = Local(1);
    x.lPonteiroLote = 1;
    auto y = Local(2);
    y.lPonteiroLote = 2;
    Ordem ordem;
    ordem.Linha(10, 100, {x}).Linha(20, 200, {x}).Linha(10, 300, {y}).Linha(20, 400, {y, x});
    ASSERT_EQ(m_integracao.EfetuaBaixaNoEstoque(ordem.Registro(), kChave), S_OK);
    const std::vector<Bytes> produto10 = {Esperado(10, 1, 2, 3, 1, x), Esperado(10, 1, 2, 3, 2, y)};
    const std::vector<Bytes> produto20 = {Esperado(20, 1, 2, 3, 2, x), Esperado(20, 1, 2, 3, 2, y)};
    const auto gravados = Gravados();
    // The order of the products carries no meaning.
    const bool dezPrimeiro = !gravados.empty() && gravados[0] == produto10[0];
    std::vector<Bytes> esperados = dezPrimeiro ? produto10 : produto20;
    const auto& segundo = dezPrimeiro ? produto20 : produto10;
    esperados.insert(esperados.end(), segundo.begin(), segundo.end());
    EXPECT_EQ(gravados, esperados);
}

TEST_F(EstoqueTeste, LocationsAndGradesBeyondSixteenBitsAreRefusedByName) {
    auto alto = Local(1000);
    alto.lPonteiroLocal = 65536;  // the first value past 16 bits
    struct Caso {
        ULONG grade1;
        _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS local;
        const char* nomeado;
    } casos[] = {{1, alto, "65536"}, {0x10000, Local(1000), "65536"}};
    for (const Caso& caso : casos) {
        Ordem ordem;
        ordem.Linha(10, 50000, {caso.local}, caso.grade1);
        std::vector<REG_ES_PREBAIXAPS> registros;
        std::string erro;
        EXPECT_EQ(m_integracao.MontaPreBaixas(ordem.Registro(), registros, erro), E_INVALIDARG);
        EXPECT_THAT(erro, ::testing::HasSubstr(caso.nomeado));
        EXPECT_THAT(erro, ::testing::HasSubstr("produto 10"));
        EXPECT_EQ(m_integracao.EfetuaBaixaNoEstoque(ordem.Registro(), kChave), E_INVALIDARG);
    }
    EXPECT_FALSE(std::filesystem::exists(Arquivo()));  // nothing reached the stock module
}

TEST_F(EstoqueTeste, ClearingAddressesKind84OfTheSamePointerAndMonth) {
    Ordem ordem;
    ordem.Linha(10, 50000, {Local(1)});
    ASSERT_EQ(m_integracao.EfetuaBaixaNoEstoque(ordem.Registro(), kChave), S_OK);
    const REG_QVDMC outraChave = REG_QVDMC().SetDMC(6, 84, 0x1234);
    ASSERT_EQ(m_integracao.EfetuaBaixaNoEstoque(ordem.Registro(), outraChave), S_OK);
    ASSERT_EQ(m_integracao.EfetuaBaixaNoEstoque(ordem.Registro(2), kChave), S_OK);

    // The client's key of another kind still reaches the kind-84 records;
    // the branch is cut to 16 bits.
    ASSERT_EQ(m_integracao.LimparBaixaNoEstoque(REG_QVDMC().SetDMC(5, 12, 0x1234), 0x10001), S_OK);
    EXPECT_TRUE(Gravados(kChave, 1).empty());
    EXPECT_EQ(Gravados(kChave, 2).size(), 1u);
    EXPECT_EQ(Gravados(outraChave, 1).size(), 1u);
    EXPECT_EQ(m_integracao.LimparBaixaNoEstoque(kChave, 1), S_OK);
}

TEST_F(EstoqueTeste, ListsWithoutTheirItemsAreRefusedBeforeSending) {
    Ordem ordem;
    ordem.Linha(10, 50000, {Local(1)});
    ASSERT_EQ(m_integracao.EfetuaBaixaNoEstoque(ordem.Registro(), kChave), S_OK);
    const auto antes = Gravados();

    _REG_MOVIMENTACAO_MANUT_PREV_PS semProdutos = ordem.Registro();
    semProdutos.listaProdutos.pProdutos = nullptr;
    EXPECT_EQ(m_integracao.EfetuaBaixaNoEstoque(semProdutos, kChave), E_POINTER);

    // A later line without its locations stops the whole order.
    Ordem semLocais;
    semLocais.Linha(11, 1, {Local(1)}).Linha(12, 1, {Local(1)});
    _REG_MOVIMENTACAO_MANUT_PREV_PS reg = semLocais.Registro();
    std::vector<_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS> linhas(reg.listaProdutos.pProdutos,
                                                                reg.listaProdutos.pProdutos + 2);
    linhas[1].listaLocal.pLocaisEstoque = nullptr;
    reg.listaProdutos.pProdutos = linhas.data();
    EXPECT_EQ(m_integracao.EfetuaBaixaNoEstoque(reg, kChave), E_POINTER);
    EXPECT_EQ(Gravados(), antes);
}

TEST_F(EstoqueTeste, StockFailuresAreLoggedAndReturned) {
    std::filesystem::create_directories(Arquivo().parent_path());
    std::ofstream(Arquivo(), std::ios::binary) << std::string(4096, 'x');
    constexpr HRESULT kCorrompido = HRESULT_FROM_WIN32(1392u);
    Ordem ordem;
    ordem.Linha(10, 50000, {Local(1)});
    EXPECT_EQ(m_integracao.EfetuaBaixaNoEstoque(ordem.Registro(), kChave), kCorrompido);
    EXPECT_EQ(m_integracao.LimparBaixaNoEstoque(kChave, 1), kCorrompido);
    const std::string log = LogDaEmpresa();
    EXPECT_THAT(log, ::testing::HasSubstr("\tCIntegracaoEstoque::EfetuaBaixaNoEstoque\t"));
    EXPECT_THAT(log, ::testing::HasSubstr("hr = GetAcessoEstoque()->GravaPreBaixa(rDMCMovimentacao, (USHORT) "
                       "regMovimentacao.lFilial, &arrBaixas)"));
    EXPECT_THAT(log, ::testing::HasSubstr("hr = GetAcessoEstoque()->ExcluiPreBaixa(REG_QVDMC().SetDMC(dmcChave.GetPonteiro(), "
                       "REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV, dmcChave.GetMa()), (USHORT)lFilial)"));

    CIntegracaoEstoque naoIniciada;
    EXPECT_EQ(naoIniciada.LimparBaixaNoEstoque(kChave, 1), CO_E_NOTINITIALIZED);
}

}  // namespace
