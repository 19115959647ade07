// Maintenance plans through the service object as a client uses it: saving
// with every child, reading back, the maintenance codes, the filter,
// exclusion by origin, the trees, and input that must be refused with
// nothing written.

#include <nlohmann/json.hpp>
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

// An equipment plan (or a product plan when `produto` is set) as a client
// builds it, with one time maintenance of 3 months, one service, one product
// on two stock places, and one client.
nlohmann::json Plano(ULONG equipamento, ULONG produto = 0, const char* serie = "SN-1", ULONG situacao = 1) {
    nlohmann::json p = nlohmann::json::parse(R"({
      "idEquipamentoPS": {"lFilial": 1, "lMarca": 3, "lModelo": 4, "lTipo": 5, "szFabricante": "Fábrica",
                          "regMedidorAtual": {"vQuantidadeInicial": "100", "lPonteiroUnMedida": 2}},
      "listaManutencoes": {"pManutencoes": [{"szNomeManutencao": "Revisão trimestral", "lTecnico": 7,
        "frequenciaPS": {"lTipoFrequencia": 2, "lTipoFrequenciaTempo": 3, "lFrequenciaTempo": 3,
                         "lFrequenciaLimiteTempo": 5, "lQtdCasasDecimaisMedicao": 2, "vFrequenciaMedicao": "500",
                         "dataInicial": "2026-03-01", "szParadaManutencao": "Parada total", "szObservacao": "Trocar o óleo"},
        "listaServicos": {"pServicos": [{"lServico": 11, "lTecnico": 7, "vQuantidadePrevista": "2"}]},
        "listaProdutos": {"pProdutos": [{"lProduto": 21, "lGrade1": 2, "vQuantidadePrevista": "3",
          "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 31, "vQuantidadeEs": "1"},
                                            {"lPonteiroLocal": 32, "lPonteiroLote": 5}]}}]}}]},
      "listaClientes": {"pClientes": [{"lCliente": 41, "szEndereco": "Rua A", "dataInicial": "2026-01-01"}]}
    })");
    p["idEquipamentoPS"].update(
        {{"lEquipamento", equipamento}, {"lProduto", produto}, {"szNrSerie", serie}, {"lSituacao", situacao}});
    return p;
}
// Texts are Windows-1252 inside records.
const std::string kObservacao = "Trocar o \xF3leo";
using Registro = zenta::teste::RegistroJson<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS>;

class Planos : public zenta::teste::EmpresaTeste {
protected:
    Planos() : EmpresaTeste("PLANOS") {}

    LONG Grava(const nlohmann::json& p, LONG posicao = 0) {
        const Registro plano(p);
        EXPECT_EQ(m_servico->Grava(&posicao, plano.r), S_OK);
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
    const nlohmann::json p = Plano(10);
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
    nlohmann::json novo = Plano(10);
    auto& manutencoes = novo["listaManutencoes"]["pManutencoes"];
    manutencoes.push_back(manutencoes[0]);
    EXPECT_EQ(Grava(novo), 3);
    PlanoLido terceiro;
    ASSERT_EQ(m_servico->Le(3, &terceiro.p), S_OK);
    const ULONG novoCodigo = terceiro.p.listaManutencoes.pManutencoes[0].lCodigoManutencao;
    EXPECT_GT(novoCodigo, codigo);
    EXPECT_EQ(terceiro.p.listaManutencoes.pManutencoes[1].lCodigoManutencao, novoCodigo + 1);
}

TEST_F(Planos, ReadingBackGivesEveryChildTheMeterAndTheObservation) {
    nlohmann::json p = Plano(10);
    const ULONGLONG origem = REG_QVDMC().SetDMC(9, 12, REG_QVDMA(1, 5, 2026).GetMa()).Get64();
    p.update({{"cOrigem", 2}, {"dmcOrigem", origem}});
    const LONG pos = Grava(p);
    PlanoLido lido;
    ASSERT_EQ(m_servico->Le(pos, &lido.p), S_OK);
    const auto& pl = lido.p;
    const auto& id = pl.idEquipamentoPS;
    EXPECT_EQ(std::tie(pl.lPonteiroRegistro, pl.lUsuarioUltimaAlteracao, pl.cOrigem, pl.dmcOrigem,
                       id.regMedidorAtual.vQuantidadeInicial.int64, id.regMedidorAtual.lPonteiroUnMedida),
              std::make_tuple(1u, 7u, BYTE{2}, origem, Moeda(100).int64, 2u));
    EXPECT_EQ(std::string(id.szNrSerie) + "|" + id.szFabricante, "SN-1|F\xE1" "brica");
    ASSERT_EQ(std::tie(pl.listaClientes.lQtdClientes, pl.listaManutencoes.lQtdManutencoes), std::make_tuple(1u, 1u));
    EXPECT_EQ(pl.listaClientes.pClientes[0].lCliente, 41u);
    EXPECT_STREQ(pl.listaClientes.pClientes[0].szEndereco, "Rua A");
    const auto& m = pl.listaManutencoes.pManutencoes[0];
    EXPECT_EQ(std::string(m.szNomeManutencao) + "|" + m.frequenciaPS.szParadaManutencao,
              "Revis\xE3o trimestral|Parada total");
    ASSERT_EQ(m.frequenciaPS.szObservacao.ulQtdBytes, kObservacao.size() + 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.frequenciaPS.szObservacao.pTexto)), kObservacao);
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
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(obs.pTexto)), kObservacao);
}

TEST_F(Planos, TheFilterSelectsByStatusKindSerialClientAndFrequencyStart) {
    nlohmann::json produto = Plano(0, 21, "p", 1);
    produto["listaClientes"]["pClientes"][0]["lCliente"] = 42;
    produto["listaManutencoes"]["pManutencoes"][0]["frequenciaPS"]["dataInicial"] = "2026-04-15";
    for (const auto& p : {Plano(10, 0, "ABC", 1), Plano(11, 0, "x", 2), Plano(12, 0, "y", 3), Plano(13, 0, "z", 4),
                          produto})
        Grava(p);

    const struct {
        const char* nome;
        void (*muda)(_REG_FILTRO_CADASTRO_MANUTENCAO_PS&);
        std::vector<ULONG> achados;
    } campos[] = {
        {"no status flag: every status", [](auto&) {}, {1, 2, 3, 4, 5}},
        {"active or concluded", [](auto& g) { g.bAtivo = g.bConcluido = 1; }, {1, 4, 5}},
        {"equipment plans only", [](auto& g) { g.lTipoIdentificacao = 1; }, {1, 2, 3, 4}},
        {"product plans only", [](auto& g) { g.lTipoIdentificacao = 0; }, {5}},
        {"equipment codes",
         [](auto& g) {
             static ULONG codigos[] = {11, 13};
             g.lTipoIdentificacao = 1;
             g.lQtdPonteirosIdentificacao = 2;
             g.pPonteirosIdentificacao = codigos;
         },
         {2, 4}},
        {"serial without regard to case", [](auto& g) { std::snprintf(g.szNrSerie, sizeof g.szNrSerie, "abc"); }, {1}},
        {"client", [](auto& g) { g.lCliente = 42; }, {5}},
        {"frequency start", [](auto& g) { g.dataInicialFrequencia = REG_QVDMA(15, 4, 2026).GetData(); }, {5}},
        {"position", [](auto& g) { g.lPonteiroRegistro = 3; }, {3}},
        {"position past the file", [](auto& g) { g.lPonteiroRegistro = 9; }, {}},
        {"equipment and brand", [](auto& g) { g.lEquipamento = 12; g.lMarca = 3; }, {3}},
    };
    for (const auto& c : campos) {
        auto f = Filtro();
        c.muda(f);
        EXPECT_EQ(Busca(f), c.achados) << c.nome;
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
    nlohmann::json a = Plano(10), b = Plano(10), c = Plano(30);
    a["dmcOrigem"] = REG_QVDMC().SetDMC(9, 12, maio).Get64();
    b["dmcOrigem"] = REG_QVDMC().SetDMC(9, 77, maio).Get64();  // another module: same record
    c["dmcOrigem"] = REG_QVDMC().SetDMC(9, 12, static_cast<USHORT>(maio + 1)).Get64();
    for (const auto& p : {a, b, c, Plano(0, 21)}) Grava(p);

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
    ASSERT_EQ(Grava(Plano(10)), 1);
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
    using Manutencao = _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS;
    void (*const ruins[])(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS&, Manutencao&) = {
        [](auto& p, auto&) { std::memset(p.idEquipamentoPS.szNrSerie, 'X', sizeof p.idEquipamentoPS.szNrSerie); },
        [](auto&, auto& m) { std::memset(m.szNomeManutencao, 'N', sizeof m.szNomeManutencao); },
        [](auto&, auto& m) { m.frequenciaPS.szObservacao.ulQtdBytes = 3; },  // "Tro", no zero
        [](auto& p, auto&) { p.listaClientes.pClientes = nullptr; },
        [](auto&, auto& m) { m.listaProdutos.pProdutos = nullptr; },
    };
    LONG pos = 0;
    for (std::size_t i = 0; i < std::size(ruins); ++i) {
        const Registro plano(Plano(10));
        auto ruim = plano.r;  // changed apart from what the record owns and frees
        Manutencao m = ruim.listaManutencoes.pManutencoes[0];
        ruim.listaManutencoes.pManutencoes = &m;
        ruins[i](ruim, m);
        EXPECT_EQ(m_servico->Grava(&pos, ruim), E_INVALIDARG) << i;
    }

    // Another plan's record written over this one; a position past the file.
    nlohmann::json outro = Plano(10);
    outro["lPonteiroRegistro"] = 5;
    LONG um = 1, longe = 9, negativa = -1;
    EXPECT_EQ(m_servico->Grava(&um, Registro(outro).r), E_INVALIDARG);
    const Registro qualquer(Plano(10));
    EXPECT_EQ(m_servico->Grava(&longe, qualquer.r), kPosicaoAlemDoArquivo);
    EXPECT_EQ(m_servico->Grava(&negativa, qualquer.r), E_INVALIDARG);
    EXPECT_EQ(m_servico->Grava(nullptr, qualquer.r), E_POINTER);

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
                const Registro p(Plano(static_cast<ULONG>(1000 + i * 100 + j)));
                LONG pos = 0;
                EXPECT_EQ(servico->Grava(&pos, p.r), S_OK);
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
