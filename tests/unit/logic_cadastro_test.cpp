// Maintenance plans through the service object as a client uses it: saving
// with every child, reading back, the maintenance codes, the filter,
// exclusion by origin, the trees, and input that must be refused with
// nothing written.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <zenta/zenta.h>

#include "core/qvdatabase/QVDataBaseDefs.h"
#include "support/EmpresaTeste.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/RelogioSistema.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using zenta::teste::ComEscopo;
using zenta::teste::Moeda;
using zenta::teste::NovoServicoClienteProprio;
using zenta::teste::PlanoLido;
using zenta::teste::Servico;

constexpr HRESULT kPosicaoAlemDoArquivo = static_cast<HRESULT>(0x810809DAu);

// A plan built as a client builds it, owning its lists.
struct PlanoTeste {
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    std::vector<_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS> manutencoes;
    std::vector<_REG_CADASTRO_MANUTENCAO_CLIENTE_PS> clientes;
    std::vector<_REG_CADASTRO_MANUTENCAO_SERVICO_PS> servicos;
    std::vector<_REG_CADASTRO_MANUTENCAO_PRODUTO_PS> produtos;
    std::vector<_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS> locais;
    std::string observacao;

    // An equipment plan (or a product plan when `produto` is set) with one
    // time maintenance of 3 months, one service, one product with two stock
    // places, and one client.
    explicit PlanoTeste(ULONG equipamento, ULONG produto = 0, const char* serie = "SN-1", ULONG situacao = 1) {
        auto& id = plano.idEquipamentoPS;
        id.lFilial = 1;
        id.lEquipamento = equipamento;
        id.lProduto = produto;
        id.lMarca = 3;
        id.lModelo = 4;
        id.lTipo = 5;
        id.lSituacao = situacao;
        std::snprintf(id.szNrSerie, sizeof id.szNrSerie, "%s", serie);
        std::snprintf(id.szFabricante, sizeof id.szFabricante, "F\xE1" "brica");
        id.regMedidorAtual.vQuantidadeInicial = Moeda(100);
        id.regMedidorAtual.lPonteiroUnMedida = 2;

        servicos.push_back({11, 7, Moeda(2), CY{}});
        locais.resize(2);
        locais[0].lPonteiroLocal = 31;
        locais[0].vQuantidadeEs = Moeda(1);
        locais[1].lPonteiroLocal = 32;
        locais[1].lPonteiroLote = 5;
        _REG_CADASTRO_MANUTENCAO_PRODUTO_PS p{};
        p.lProduto = 21;
        p.lGrade1 = 2;
        p.vQuantidadePrevista = Moeda(3);
        produtos.push_back(p);

        _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS m{};
        std::snprintf(m.szNomeManutencao, sizeof m.szNomeManutencao, "Revis\xE3o trimestral");
        m.frequenciaPS.lTipoFrequencia = 2;
        m.frequenciaPS.lTipoFrequenciaTempo = 3;
        m.frequenciaPS.lFrequenciaTempo = 3;
        m.frequenciaPS.lFrequenciaLimiteTempo = 5;
        m.frequenciaPS.lQtdCasasDecimaisMedicao = 2;
        m.frequenciaPS.vFrequenciaMedicao = Moeda(500);
        m.frequenciaPS.dataInicial = REG_QVDMA(1, 3, 2026).GetData();
        std::snprintf(m.frequenciaPS.szParadaManutencao, sizeof m.frequenciaPS.szParadaManutencao, "Parada total");
        m.lTecnico = 7;
        manutencoes.push_back(m);

        _REG_CADASTRO_MANUTENCAO_CLIENTE_PS c{};
        c.lCliente = 41;
        std::snprintf(c.szEndereco, sizeof c.szEndereco, "Rua A");
        c.dataInicial = REG_QVDMA(1, 1, 2026).GetData();
        clientes.push_back(c);
        observacao = "Trocar o \xF3leo";  // texts are Windows-1252 inside records
    }

    // The plan with its lists pointing into this object.
    const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& Monta() {
        produtos[0].listaLocal = {static_cast<ULONG>(locais.size()), 0, nullptr, locais.data()};
        for (auto& m : manutencoes) {
            m.listaServicos = {static_cast<ULONG>(servicos.size()), 0, nullptr, servicos.data()};
            m.listaProdutos = {static_cast<ULONG>(produtos.size()), 0, nullptr, produtos.data()};
            m.frequenciaPS.szObservacao.ulQtdBytes = static_cast<ULONG>(observacao.size() + 1);
            m.frequenciaPS.szObservacao.pTexto = reinterpret_cast<BYTE*>(observacao.data());
        }
        plano.listaManutencoes = {static_cast<ULONG>(manutencoes.size()), 0, nullptr, manutencoes.data()};
        plano.listaClientes = {static_cast<ULONG>(clientes.size()), 0, nullptr, clientes.data()};
        return plano;
    }
};

class Planos : public zenta::teste::EmpresaTeste {
protected:
    Planos() : EmpresaTeste("PLANOS") {}

    LONG Grava(PlanoTeste& p, LONG posicao = 0) {
        EXPECT_EQ(m_servico->Grava(&posicao, p.Monta()), S_OK);
        return posicao;
    }
    std::vector<ULONG> Busca(const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& filtro) {
        _REG_LISTA_PTRS_CADASTRO_PS lista{};
        EXPECT_EQ(m_servico->BuscaPonteiros(filtro, &lista), S_OK);
        std::vector<ULONG> posicoes(lista.pPonteiros, lista.pPonteiros + lista.lQtdPtrs);
        CoTaskMemFree(lista.pPonteiros);
        return posicoes;
    }
    static _REG_FILTRO_CADASTRO_MANUTENCAO_PS Filtro() {
        _REG_FILTRO_CADASTRO_MANUTENCAO_PS f{};
        f.lTipoIdentificacao = 2;
        return f;
    }
    std::uintmax_t Tamanho(const char* nome) const {
        std::error_code ec;
        const auto t = fs::file_size(Dados(nome), ec);
        return ec ? 0 : t;
    }

    // Saving a plan runs the due-date verification of its reading: the day is
    // the maintenances' first day, so nothing has been counted yet.
    zenta::RelogioFixoEscopo m_relogio{{2026, 3, 1, 10, 0, 0}};
};

TEST_F(Planos, SavedTwiceAsNewMakesTwoAndARewriteMovesEveryChildToNewRuns) {
    PlanoTeste p(10);
    EXPECT_EQ(Grava(p), 1);
    EXPECT_EQ(Grava(p), 2);
    EXPECT_EQ(Busca(Filtro()), (std::vector<ULONG>{1, 2}));

    PlanoLido antes;
    ASSERT_EQ(m_servico->Le(2, &antes.p), S_OK);
    const ULONG codigo = antes.p.listaManutencoes.pManutencoes[0].lCodigoManutencao;
    // Codes follow the highest code given, however often the verification
    // of the plan's reading rewrote the first plan's maintenances.
    EXPECT_EQ(codigo, 2u);

    // The client saves what it read, at the position it read it from.
    LONG posicao = 2;
    ASSERT_EQ(m_servico->Grava(&posicao, antes.p), S_OK);
    EXPECT_EQ(posicao, 2);
    EXPECT_EQ(Busca(Filtro()).size(), 2u);
    PlanoLido depois;
    ASSERT_EQ(m_servico->Le(2, &depois.p), S_OK);
    const auto& m0 = antes.p.listaManutencoes.pManutencoes[0];
    const auto& m1 = depois.p.listaManutencoes.pManutencoes[0];
    EXPECT_EQ(m1.lCodigoManutencao, codigo);
    EXPECT_NE(depois.p.lManutencoes, antes.p.lManutencoes);
    EXPECT_NE(depois.p.lClientes, antes.p.lClientes);
    EXPECT_NE(depois.p.idEquipamentoPS.lMedidor, antes.p.idEquipamentoPS.lMedidor);
    EXPECT_NE(m1.lFrequencia, m0.lFrequencia);
    EXPECT_NE(m1.lServicosManutencao, m0.lServicosManutencao);
    EXPECT_NE(m1.lProdutosManutencao, m0.lProdutosManutencao);
    EXPECT_NE(m1.listaProdutos.pProdutos[0].lLocalEstoque, m0.listaProdutos.pProdutos[0].lLocalEstoque);
    EXPECT_GT(m1.frequenciaPS.lObservacao, m0.frequenciaPS.lObservacao) << "a new text each save";

    // A new maintenance added later gets a code above every code given.
    PlanoTeste novo(10);
    novo.manutencoes.push_back(novo.manutencoes[0]);
    EXPECT_EQ(Grava(novo), 3);
    PlanoLido terceiro;
    ASSERT_EQ(m_servico->Le(3, &terceiro.p), S_OK);
    const ULONG novoCodigo = terceiro.p.listaManutencoes.pManutencoes[0].lCodigoManutencao;
    EXPECT_GT(novoCodigo, codigo);
    EXPECT_EQ(terceiro.p.listaManutencoes.pManutencoes[1].lCodigoManutencao, novoCodigo + 1);
}

TEST_F(Planos, ReadingBackGivesEveryChildTheMeterAndTheObservation) {
    PlanoTeste p(10);
    p.plano.cOrigem = 2;
    p.plano.dmcOrigem = REG_QVDMC().SetDMC(9, 12, REG_QVDMA(1, 5, 2026).GetMa()).Get64();
    const LONG pos = Grava(p);
    PlanoLido lido;
    ASSERT_EQ(m_servico->Le(pos, &lido.p), S_OK);
    const auto& pl = lido.p;
    const auto& id = pl.idEquipamentoPS;
    EXPECT_EQ(std::tie(pl.lPonteiroRegistro, pl.lUsuarioUltimaAlteracao, pl.cOrigem, pl.dmcOrigem,
                       id.regMedidorAtual.vQuantidadeInicial.int64, id.regMedidorAtual.lPonteiroUnMedida),
              std::make_tuple(1u, 7u, BYTE{2}, p.plano.dmcOrigem, Moeda(100).int64, 2u));
    EXPECT_EQ(std::string(id.szNrSerie) + "|" + id.szFabricante, "SN-1|F\xE1" "brica");
    ASSERT_EQ(std::tie(pl.listaClientes.lQtdClientes, pl.listaManutencoes.lQtdManutencoes), std::make_tuple(1u, 1u));
    EXPECT_EQ(pl.listaClientes.pClientes[0].lCliente, 41u);
    EXPECT_STREQ(pl.listaClientes.pClientes[0].szEndereco, "Rua A");
    const auto& m = pl.listaManutencoes.pManutencoes[0];
    EXPECT_EQ(std::string(m.szNomeManutencao) + "|" + m.frequenciaPS.szParadaManutencao,
              "Revis\xE3o trimestral|Parada total");
    ASSERT_EQ(m.frequenciaPS.szObservacao.ulQtdBytes, p.observacao.size() + 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.frequenciaPS.szObservacao.pTexto)), p.observacao);
    ASSERT_EQ(std::tie(m.listaServicos.lQtdServicos, m.listaProdutos.lQtdProdutos), std::make_tuple(1u, 1u));
    const auto& produto = m.listaProdutos.pProdutos[0];
    ASSERT_EQ(produto.listaLocal.lQtdEstoque, 2u);
    // Armed from the frequency: 3 months of 30 days less 5.
    EXPECT_EQ(std::tie(m.listaServicos.pServicos[0].lServico, produto.vQuantidadePrevista.int64,
                       produto.listaLocal.pLocaisEstoque[1].lPonteiroLote, m.lQuantidadeDiasFalta,
                       m.dataUltimaVerificacaoMedicao, m.vQuantidadeFalta.int64),
              std::make_tuple(11u, Moeda(3).int64, 5u, 85u, REG_QVDMA(1, 3, 2026).GetData(), Moeda(500).int64));

    // An empty observation leaves the previous one in force.
    LONG mesma = pos;
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS regravado = lido.p;
    regravado.listaManutencoes.pManutencoes[0].frequenciaPS.szObservacao.ulQtdBytes = 0;
    ASSERT_EQ(m_servico->Grava(&mesma, regravado), S_OK);
    PlanoLido outra;
    ASSERT_EQ(m_servico->Le(pos, &outra.p), S_OK);
    const auto& obs = outra.p.listaManutencoes.pManutencoes[0].frequenciaPS.szObservacao;
    ASSERT_NE(obs.pTexto, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(obs.pTexto)), p.observacao);
}

TEST_F(Planos, TheFilterSelectsByStatusKindSerialClientAndFrequencyStart) {
    PlanoTeste ativo(10, 0, "ABC", 1);
    PlanoTeste inativo(11, 0, "x", 2);
    PlanoTeste cancelado(12, 0, "y", 3);
    PlanoTeste concluido(13, 0, "z", 4);
    PlanoTeste produto(0, 21, "p", 1);
    produto.clientes[0].lCliente = 42;
    produto.manutencoes[0].frequenciaPS.dataInicial = REG_QVDMA(15, 4, 2026).GetData();
    for (PlanoTeste* p : {&ativo, &inativo, &cancelado, &concluido, &produto}) Grava(*p);

    auto f = Filtro();
    EXPECT_EQ(Busca(f), (std::vector<ULONG>{1, 2, 3, 4, 5})) << "no status flag: every status";
    f.bAtivo = 1;
    f.bConcluido = 1;
    EXPECT_EQ(Busca(f), (std::vector<ULONG>{1, 4, 5}));

    f = Filtro();
    f.lTipoIdentificacao = 1;
    EXPECT_EQ(Busca(f), (std::vector<ULONG>{1, 2, 3, 4})) << "equipment plans only";
    f.lTipoIdentificacao = 0;
    EXPECT_EQ(Busca(f), (std::vector<ULONG>{5})) << "product plans only";
    ULONG codigos[] = {11, 13};
    f.lTipoIdentificacao = 1;
    f.lQtdPonteirosIdentificacao = 2;
    f.pPonteirosIdentificacao = codigos;
    EXPECT_EQ(Busca(f), (std::vector<ULONG>{2, 4}));

    const struct {
        void (*muda)(_REG_FILTRO_CADASTRO_MANUTENCAO_PS&);
        std::vector<ULONG> achados;
    } campos[] = {
        {[](auto& g) { std::snprintf(g.szNrSerie, sizeof g.szNrSerie, "abc"); }, {1}},  // serial without regard to case
        {[](auto& g) { g.lCliente = 42; }, {5}},
        {[](auto& g) { g.dataInicialFrequencia = REG_QVDMA(15, 4, 2026).GetData(); }, {5}},
        {[](auto& g) { g.lPonteiroRegistro = 3; }, {3}},
        {[](auto& g) { g.lEquipamento = 12; g.lMarca = 3; }, {3}},
    };
    for (const auto& c : campos) {
        f = Filtro();
        c.muda(f);
        EXPECT_EQ(Busca(f), c.achados) << c.achados[0];
    }

    // BuscaRegistros hands the plans back in the order asked.
    ULONG posicoes[] = {4, 1};
    _REG_LISTA_PTRS_CADASTRO_PS ptrs{2, 0, nullptr, posicoes};
    _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS lista{};
    ASSERT_EQ(m_servico->BuscaRegistros(ptrs, &lista), S_OK);
    ASSERT_EQ(lista.lQtdRegistros, 2u);
    EXPECT_EQ(lista.pRegistros[0].idEquipamentoPS.lEquipamento, 13u);
    EXPECT_EQ(lista.pRegistros[1].idEquipamentoPS.lEquipamento, 10u);
    zenta::LiberaRegistro(lista);

    // Positions that are not there: refused, nothing handed out.
    ULONG fora[] = {1, 99};
    _REG_LISTA_PTRS_CADASTRO_PS ptrsFora{2, 0, nullptr, fora};
    _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS vazia{};
    EXPECT_EQ(m_servico->BuscaRegistros(ptrsFora, &vazia), kPosicaoAlemDoArquivo);
    EXPECT_EQ(vazia.pRegistros, nullptr);
    _REG_LISTA_PTRS_CADASTRO_PS nenhum{};
    EXPECT_EQ(m_servico->BuscaRegistros(nenhum, &vazia), S_OK);
    EXPECT_EQ(vazia.lQtdRegistros, 0u);
}

TEST_F(Planos, ExcludingMarksOnlyThePlansOfThatOriginAndTreesListDistinctCodes) {
    const USHORT maio = REG_QVDMA(1, 5, 2026).GetMa();
    PlanoTeste a(10), b(10), c(30), d(0, 21);
    a.plano.dmcOrigem = REG_QVDMC().SetDMC(9, 12, maio).Get64();
    b.plano.dmcOrigem = REG_QVDMC().SetDMC(9, 77, maio).Get64();  // another module: same record
    c.plano.dmcOrigem = REG_QVDMC().SetDMC(9, 12, static_cast<USHORT>(maio + 1)).Get64();
    for (PlanoTeste* p : {&a, &b, &c, &d}) Grava(*p);

    EXPECT_EQ(m_servico->ExcluiManutencoes(REG_QVDMC().SetDMC(1234, 12, maio).Get64()), S_OK);
    EXPECT_EQ(Busca(Filtro()).size(), 4u) << "no plan of that origin: nothing changes";
    EXPECT_EQ(m_servico->ExcluiManutencoes(REG_QVDMC().SetDMC(9, 12, maio).Get64()), S_OK);
    EXPECT_EQ(Busca(Filtro()), (std::vector<ULONG>{3, 4}));
    auto f = Filtro();
    f.bTrazerExcluido = 1;
    EXPECT_EQ(Busca(f), (std::vector<ULONG>{1, 2, 3, 4}));
    PlanoLido excluido;
    ASSERT_EQ(m_servico->Le(1, &excluido.p), S_OK);
    EXPECT_EQ(excluido.p.bExcluido, 1);

    _REG_LISTA_ITENS_TREE_PS arvore{};
    ASSERT_EQ(m_servico->BuscaRegistroTreeEquipamentos(&arvore, FALSE), S_OK);
    ASSERT_EQ(arvore.lQtdItens, 1u) << "excluded plans are not in the tree";
    EXPECT_EQ(arvore.pItens[0].lPonteiro, 30u);
    EXPECT_EQ(arvore.pItens[0].lTipo, 1u);
    // The list the caller passes back in is freed and replaced.
    ASSERT_EQ(m_servico->BuscaRegistroTreeProdutos(&arvore, TRUE), S_OK);
    ASSERT_EQ(arvore.lQtdItens, 1u);
    EXPECT_EQ(arvore.pItens[0].lPonteiro, 21u);
    EXPECT_EQ(arvore.pItens[0].lTipo, 0u);
    ASSERT_EQ(m_servico->BuscaTreeMovimentacaoEquipamentos(&arvore, FALSE), S_OK);
    EXPECT_EQ(arvore.lQtdItens, 0u) << "no orders yet";
    EXPECT_EQ(arvore.pItens, nullptr);
}

TEST_F(Planos, BadInputIsRefusedWithNothingWritten) {
    PlanoTeste bom(10);
    ASSERT_EQ(Grava(bom), 1);
    const auto tamanhos = [&] {
        std::vector<std::uintmax_t> t;
        for (const char* nome : {"GEMPCADMANPREV.dat", "GEMPCADMA.dat", "GEMPCADMAFR.dat", "GEMPCADMAFRTXT.dat",
                                 "GEMPCADMASR.dat", "GEMPCADMAPR.dat", "GEMPCADMALEPR.dat", "GEMPCADMACLI.dat",
                                 "GEMPMEDIDOR.dat"})
            t.push_back(Tamanho(nome));
        return t;
    };
    const auto antes = tamanhos();

    // Texts without their terminator, counts without their arrays.
    void (*const ruins[])(PlanoTeste&) = {
        [](PlanoTeste& p) { std::memset(p.plano.idEquipamentoPS.szNrSerie, 'X', sizeof p.plano.idEquipamentoPS.szNrSerie); },
        [](PlanoTeste& p) { std::memset(p.manutencoes[0].szNomeManutencao, 'N', sizeof p.manutencoes[0].szNomeManutencao); },
        [](PlanoTeste& p) { p.manutencoes[0].frequenciaPS.szObservacao.ulQtdBytes = 3; },  // "Tro", no zero
        [](PlanoTeste& p) { p.plano.listaClientes.pClientes = nullptr; },
        [](PlanoTeste& p) { p.manutencoes[0].listaProdutos.pProdutos = nullptr; },
    };
    LONG pos = 0;
    for (std::size_t i = 0; i < std::size(ruins); ++i) {
        PlanoTeste ruim(10);
        ruim.Monta();
        ruins[i](ruim);
        EXPECT_EQ(m_servico->Grava(&pos, ruim.plano), E_INVALIDARG) << i;
    }

    // Another plan's record written over this one; a position past the file.
    PlanoTeste outro(10);
    outro.plano.lPonteiroRegistro = 5;
    LONG um = 1;
    EXPECT_EQ(m_servico->Grava(&um, outro.Monta()), E_INVALIDARG);
    LONG longe = 9;
    PlanoTeste qualquer(10);
    EXPECT_EQ(m_servico->Grava(&longe, qualquer.Monta()), kPosicaoAlemDoArquivo);
    LONG negativa = -1;
    EXPECT_EQ(m_servico->Grava(&negativa, qualquer.Monta()), E_INVALIDARG);
    EXPECT_EQ(m_servico->Grava(nullptr, qualquer.Monta()), E_POINTER);

    EXPECT_EQ(tamanhos(), antes);
    EXPECT_EQ(pos, 0);

    // Reads of positions that are not there, and filters that lie.
    PlanoLido nada;
    EXPECT_EQ(m_servico->Le(2, &nada.p), kPosicaoAlemDoArquivo);
    EXPECT_EQ(nada.p.listaManutencoes.pManutencoes, nullptr);
    EXPECT_EQ(m_servico->Le(1, nullptr), E_POINTER);
    auto f = Filtro();
    f.lQtdPonteirosIdentificacao = 3;
    _REG_LISTA_PTRS_CADASTRO_PS lista{};
    EXPECT_EQ(m_servico->BuscaPonteiros(f, &lista), E_INVALIDARG);
    f = Filtro();
    std::memset(f.szNrSerie, 'a', sizeof f.szNrSerie);
    EXPECT_EQ(m_servico->BuscaPonteiros(f, &lista), E_INVALIDARG);
}

}  // namespace

namespace {

// Eight clients of one company saving and reading at the same time (out of
// process: eight connections, calls running on the server's worker threads):
// every new maintenance gets a code of its own.
TEST(PlanosConcorrentes, NewMaintenanceCodesNeverRepeatAcrossSessions) {
    zenta::teste::ZentaHomeTemporario home;
    ComEscopo com;
    constexpr int kSessoes = 8;
    constexpr int kPlanos = 4;
    std::vector<Servico> servicos;
    for (int i = 0; i < kSessoes; ++i)
        servicos.push_back(NovoServicoClienteProprio("CONCORRE", 7, static_cast<ULONG>(100 + i)));
    std::vector<std::thread> threads;
    for (int i = 0; i < kSessoes; ++i)
        threads.emplace_back([&, i] {
            ComEscopo comThread;
            auto& servico = servicos[static_cast<std::size_t>(i)];
            for (int j = 0; j < kPlanos; ++j) {
                PlanoTeste p(static_cast<ULONG>(1000 + i * 100 + j));
                LONG pos = 0;
                EXPECT_EQ(servico->Grava(&pos, p.Monta()), S_OK);
                PlanoLido lido;
                EXPECT_EQ(servico->Le(pos, &lido.p), S_OK);
                _REG_CADASTRO_PROPRIEDADES_PS propriedades{};
                EXPECT_EQ(servico->LePropriedades(&propriedades), S_OK);
            }
        });
    for (auto& t : threads) t.join();

    std::set<ULONG> codigos;
    for (LONG pos = 1; pos <= kSessoes * kPlanos; ++pos) {
        PlanoLido lido;
        ASSERT_EQ(servicos[0]->Le(pos, &lido.p), S_OK);
        codigos.insert(lido.p.listaManutencoes.pManutencoes[0].lCodigoManutencao);
    }
    EXPECT_EQ(codigos.size(), static_cast<std::size_t>(kSessoes * kPlanos));
}

}  // namespace
