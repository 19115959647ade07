// The indexed lookups of the logic against a plain walk of the same files:
// the orders of a maintenance (by month, then position) and the current
// reading of an identification (the lowest position whose codes are equal
// and whose serial is equal without regard to case), on a mixed data set of
// several months, rewritten plans and serials differing only in case; and
// the indexes kept right across sessions, reloads and a replaced file.

#include <zenta/zenta.h>

#include "logic/BaseManutencaoPreventiva.h"
#include "records/QVCamposRegistro.h"
#include "support/EmpresaTeste.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/QVMesAno.h"

using namespace zenta;

namespace {

using zenta::teste::NovoServico;
using zenta::teste::Servico;

constexpr const char* kEmpresa = "INDICES";

using Ordens = std::vector<std::pair<USHORT, ULONG>>;  // (month/year, position)

struct Identificacao {
    ULONG equipamento = 0;
    ULONG produto = 0;
    ULONG marca = 0;
    const char* serie = "";
};

class Indices : public zenta::teste::EmpresaTeste {
protected:
    Indices() : EmpresaTeste(kEmpresa) {}

    CQVDataBase_GE_ManutencaoPreventiva& Db() {
        CQVDataBase_GE_ManutencaoPreventiva* db = CBaseManutencaoPreventiva::m_ContainerFacade.GetDataBase(kEmpresa);
        EXPECT_NE(db, nullptr);
        return *db;
    }

    // A plan of `qtd` maintenances; returns its position and their codes.
    std::vector<ULONG> NovoPlano(ULONG equipamento, ULONG qtd, LONG& posicao, const char* serie = "",
                                 ULONG produto = 0) {
        posicao = zenta::teste::GravaPlano(*m_servico, equipamento,
                                           std::vector(qtd, zenta::teste::ManutencaoTempo(30, "Revisao")), serie, produto);
        return Codigos(posicao);
    }
    std::vector<ULONG> Codigos(LONG posicao) { return zenta::teste::CodigosDoPlano(*m_servico, posicao); }
    // Saves the plan again as read: its runs are written anew.
    void RegravaPlano(LONG posicao) {
        zenta::teste::PlanoLido lido;
        ASSERT_EQ(m_servico->Le(posicao, &lido.p), S_OK);
        EXPECT_EQ(m_servico->Grava(&posicao, lido.p), S_OK);
    }

    void NovaOrdem(LONG plano, ULONG codigo, int mes, int ano) {
        _REG_MOVIMENTACAO_MANUT_PREV_PS o{};
        const USHORT ma = REG_QVDMA(1, mes, ano).GetMa();
        o.dmcChave = REG_QVDMC().SetDMC(0, REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV, ma).Get64();
        o.lFilial = 1;
        o.lPonteiroCadastro = static_cast<ULONG>(plano);
        o.lCodigoManutencao = codigo;
        o.lEquipamento = 10;
        o.lSituacao = 2;
        o.dataPrevista = REG_QVDMA(5, mes, ano).GetData();
        std::snprintf(o.szNomeManutencao, sizeof o.szNomeManutencao, "Revisao");
        ULONGLONG chave = 0;
        EXPECT_EQ(m_servico->GravaMovimentacao(o, &chave), S_OK);
    }

    // The orders of a maintenance as the service lists them.
    Ordens DoServico(IQVGE_ManutencaoPreventiva& servico, ULONG codigo) {
        _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS lista{};
        EXPECT_EQ(servico.BuscaMovimentosPelaManutencao(codigo, &lista), S_OK);
        Ordens ordens;
        for (ULONG i = 0; i < lista.lQtdRegistros; ++i) {
            const REG_QVDMC chave(lista.pRegistros[i].dmcChave);
            EXPECT_EQ(lista.pRegistros[i].lCodigoManutencao, codigo);
            ordens.emplace_back(chave.GetMa(), chave.GetPonteiro());
        }
        zenta::LiberaRegistro(lista);
        return ordens;
    }
    // The same by walking every order of every month, oldest month first.
    Ordens Percorrendo(ULONG codigo) {
        auto& grupo = Db().m_MovManutPrev;
        Ordens ordens;
        for (const auto& [ma, chave] : zenta::MesesEmOrdem(grupo.GetChaves()))
            for (ULONGLONG pos = 1; pos <= grupo.GetQtdRegistros(chave); ++pos) {
                REG_MOVIMENTACAO_MANUT_PREV_V1 r{};
                EXPECT_EQ(grupo.Le(chave, pos, r), S_OK);
                if (r.lCodigoManutencao == codigo) ordens.emplace_back(ma, static_cast<ULONG>(pos));
            }
        return ordens;
    }

    // Records a reading of an identification; returns the position written.
    ULONG GravaLeitura(IQVGE_ManutencaoPreventiva& servico, const Identificacao& id, LONGLONG valor) {
        _REG_CADASTRO_MEDICAO_ATUAL_PS m{};
        m.regMedicaoAtual.lEquipamento = id.equipamento;
        m.regMedicaoAtual.lProduto = id.produto;
        m.regMedicaoAtual.lMarca = id.marca;
        std::snprintf(m.regMedicaoAtual.szNrSerie, sizeof m.regMedicaoAtual.szNrSerie, "%s", id.serie);
        m.regMedicaoAtual.vQuantidadeMedicao.int64 = valor;
        m.regMedicaoAtual.cMedicaoAtiva = 1;
        EXPECT_EQ(servico.GravaMedicaoAtual(&m, FALSE, FALSE), S_OK);
        return m.lPonteiroRegistro;
    }
    // The lowest position of the identification by walking the file; 0 for none.
    ULONG PosicaoPercorrendo(const Identificacao& id) {
        auto& arquivo = Db().m_MedicaoAtual;
        for (ULONGLONG pos = 1; pos <= arquivo.GetQtdRegistros(); ++pos) {
            REG_CADASTRO_MEDICAO_ATUAL_V1 r{};
            EXPECT_EQ(arquivo.Le(pos, r), S_OK);
            if (r.lEquipamento == id.equipamento && r.lProduto == id.produto && r.lMarca == id.marca &&
                r.lModelo == 0 && r.lTipo == 0 && r.lGrade1 == 0 && r.lGrade2 == 0 && r.lGrade3 == 0 &&
                zenta::IguaisSemCaixa(zenta::TextoCampo(r.szNrSerie), id.serie))
                return static_cast<ULONG>(pos);
        }
        return 0;
    }
    // The stored value of the reading at a position.
    LONGLONG Valor(ULONG pos) {
        REG_CADASTRO_MEDICAO_ATUAL_V1 r{};
        EXPECT_EQ(Db().m_MedicaoAtual.Le(pos, r), S_OK);
        return r.vQuantidadeMedicao.int64;
    }
};

// The orders of each maintenance, and filters naming one order (answered
// from the month and position they name, without walking the rest), are
// what a walk of every month finds, across months, rewrites, sessions and a
// reload.
TEST_F(Indices, OrdersOfAMaintenanceAndFiltersNamingOneMatchTheWalk) {
    LONG planoA = 0, planoB = 0;
    const std::vector<ULONG> a = NovoPlano(10, 2, planoA);
    const std::vector<ULONG> b = NovoPlano(11, 1, planoB);
    ASSERT_EQ(a.size(), 2u);
    ASSERT_EQ(b.size(), 1u);
    // Orders in several months, written out of month order and interleaved.
    NovaOrdem(planoA, a[0], 3, 2026);
    NovaOrdem(planoB, b[0], 3, 2026);
    NovaOrdem(planoA, a[1], 1, 2027);
    NovaOrdem(planoA, a[0], 11, 2025);
    RegravaPlano(planoA);
    RegravaPlano(planoB);
    EXPECT_EQ(Codigos(planoA), a) << "a rewritten plan keeps its maintenance codes";
    NovaOrdem(planoA, a[0], 3, 2026);
    NovaOrdem(planoB, b[0], 1, 2027);
    NovaOrdem(planoA, a[0], 1, 2027);

    const std::vector<ULONG> todos{a[0], a[1], b[0], 0, b[0] + a[0] + 1000};  // 0 and a code nobody has
    for (const ULONG codigo : todos) EXPECT_EQ(DoServico(*m_servico, codigo), Percorrendo(codigo)) << codigo;
    const USHORT marco = REG_QVDMA(1, 3, 2026).GetMa();
    const USHORT janeiro = REG_QVDMA(1, 1, 2027).GetMa();
    const Ordens esperadas{{REG_QVDMA(1, 11, 2025).GetMa(), 1}, {marco, 1}, {marco, 3}, {janeiro, 3}};
    EXPECT_EQ(DoServico(*m_servico, a[0]), esperadas) << "oldest month first, then by position";

    // A second session of the company writes; the first sees its orders.
    Servico outra = NovoServico(kEmpresa, 8, 43);
    ASSERT_TRUE(outra);
    std::swap(m_servico, outra);
    NovaOrdem(planoB, b[0], 2, 2027);  // a new month
    NovaOrdem(planoA, a[1], 3, 2026);
    std::swap(m_servico, outra);
    for (const ULONG codigo : todos) {
        EXPECT_EQ(DoServico(*m_servico, codigo), Percorrendo(codigo)) << codigo;
        EXPECT_EQ(DoServico(*outra, codigo), Percorrendo(codigo)) << codigo;
    }
    EXPECT_EQ(DoServico(*m_servico, b[0]).back(), (std::pair<USHORT, ULONG>{REG_QVDMA(1, 2, 2027).GetMa(), 1}));

    const USHORT vazio = REG_QVDMA(1, 5, 2026).GetMa();
    const std::pair<USHORT, ULONG> chaves[] = {{marco, 2}, {marco, 0}, {0, 1}, {0, 3}, {janeiro, 2},
                                               {marco, 4}, {marco, 5}, {vazio, 1}, {vazio, 0}};
    for (const auto& [ma, posicao] : chaves) {
        _REG_MOVIMENTACAO_FILTRO_PS filtro{};
        filtro.lTipoIdentificacao = 2;
        const ULONGLONG dmc = REG_QVDMC().SetDMC(posicao, REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV, ma).Get64();
        std::memcpy(&filtro.dmcMovimentacao, &dmc, sizeof dmc);
        _REG_LISTA_PONTEIROS_DATA_PS ptrs{};
        ASSERT_EQ(m_servico->BuscaPonteirosMovimentacao(filtro, &ptrs), S_OK);
        Ordens achadas;
        for (ULONG i = 0; i < ptrs.lQtdPonteiros; ++i)
            achadas.emplace_back(ptrs.pPonteiros[i].dataPonteiro, ptrs.pPonteiros[i].lPonteiro);
        CoTaskMemFree(ptrs.pPonteiros);
        Ordens esperadasFiltro;
        for (const ULONG codigo : {a[0], a[1], b[0]})
            for (const auto& ordem : Percorrendo(codigo))
                if ((ma == 0 || ordem.first == ma) && (posicao == 0 || ordem.second == posicao))
                    esperadasFiltro.push_back(ordem);
        std::sort(esperadasFiltro.begin(), esperadasFiltro.end());
        EXPECT_EQ(achadas, esperadasFiltro) << ma << "/" << posicao;
    }

    // Every session closed: the next loads the files again and indexes them.
    outra.reset();
    m_servico.reset();
    m_servico = NovoServico(kEmpresa);
    for (const ULONG codigo : todos) EXPECT_EQ(DoServico(*m_servico, codigo), Percorrendo(codigo)) << codigo;
}

TEST_F(Indices, TheCurrentReadingFoundIsTheWalksAcrossSerialCaseSessionsAndAReplacedFile) {
    const Identificacao serieMaiuscula{10, 0, 0, "AB-\xC7" "1"};
    const Identificacao serieMinuscula{10, 0, 0, "ab-\xE7" "1"};  // the same, other case (C-cedilla)
    const Identificacao outroProduto{10, 5, 0, "AB-\xC7" "1"};
    const Identificacao outraMarca{10, 0, 3, "ab-\xE7" "1"};
    const Identificacao semSerie{10, 0, 0, ""};

    const ULONG p1 = GravaLeitura(*m_servico, serieMaiuscula, 100);
    const ULONG p2 = GravaLeitura(*m_servico, outroProduto, 200);
    const ULONG p3 = GravaLeitura(*m_servico, outraMarca, 300);
    const ULONG p4 = GravaLeitura(*m_servico, semSerie, 400);
    EXPECT_EQ((std::vector<ULONG>{p1, p2, p3, p4}), (std::vector<ULONG>{1, 2, 3, 4}));
    EXPECT_EQ(zenta::ChaveIdentificacaoMedicao(10, 0, 0, 0, 0, 0, 0, 0, "AB-\xC7" "1"),
              zenta::ChaveIdentificacaoMedicao(10, 0, 0, 0, 0, 0, 0, 0, "ab-\xE7" "1"));

    // The other case rewrites the same record; each identification keeps its own.
    EXPECT_EQ(GravaLeitura(*m_servico, serieMinuscula, 150), p1);
    EXPECT_EQ(Valor(p1), 150);
    EXPECT_EQ(GravaLeitura(*m_servico, outraMarca, 350), p3);
    EXPECT_EQ(GravaLeitura(*m_servico, semSerie, 0), p4);
    EXPECT_EQ(Valor(p4), 400) << "a reading without value keeps the stored one";
    EXPECT_EQ(Db().m_MedicaoAtual.GetQtdRegistros(), 4u);

    // A duplicate of an identification written straight to the file (as an
    // older program could have left it): the lowest position is the one.
    REG_CADASTRO_MEDICAO_ATUAL_V1 duplicada{};
    ASSERT_EQ(Db().m_MedicaoAtual.Le(p2, duplicada), S_OK);
    std::snprintf(duplicada.szNrSerie, sizeof duplicada.szNrSerie, "ab-\xE7" "1");
    ULONGLONG pos = 0;
    ASSERT_EQ(Db().m_MedicaoAtual.Grava(pos, duplicada), S_OK);
    EXPECT_EQ(GravaLeitura(*m_servico, outroProduto, 250), p2);
    EXPECT_EQ(PosicaoPercorrendo(outroProduto), p2);

    // A second session sees the first's new identification and rewrites it.
    const Identificacao nova{77, 0, 0, "Nova"};
    const ULONG p6 = GravaLeitura(*m_servico, nova, 10);
    Servico outra = NovoServico(kEmpresa, 8, 43);
    ASSERT_TRUE(outra);
    EXPECT_EQ(GravaLeitura(*outra, Identificacao{77, 0, 0, "NOVA"}, 20), p6);
    EXPECT_EQ(Valor(p6), 20);

    // The file replaced whole (its index is dropped with the old content):
    // the next recording indexes the new content.
    std::vector<REG_CADASTRO_MEDICAO_ATUAL_V1> conteudo(2);
    conteudo[0].lEquipamento = 77;
    std::snprintf(conteudo[0].szNrSerie, sizeof conteudo[0].szNrSerie, "nova");
    conteudo[1] = conteudo[0];
    conteudo[1].lEquipamento = 10;
    ASSERT_EQ(Db().m_MedicaoAtual.SetConteudo(conteudo), S_OK);
    EXPECT_EQ(Db().m_MedicaoAtual.GetQtdIndices(), 0u);
    EXPECT_EQ(GravaLeitura(*outra, nova, 30), 1u);
    EXPECT_EQ(GravaLeitura(*m_servico, Identificacao{10, 0, 0, "NOVA"}, 40), 2u);
    EXPECT_EQ(GravaLeitura(*m_servico, serieMaiuscula, 50), 3u) << "gone with the old content: appended";
    EXPECT_EQ(Db().m_MedicaoAtual.GetQtdIndices(), 1u);

    // Every session closed: the next loads the file again and finds each
    // identification where the walk does.
    outra.reset();
    m_servico.reset();
    m_servico = NovoServico(kEmpresa);
    for (const Identificacao& id : {nova, serieMinuscula, Identificacao{10, 0, 0, "nova"}})
        EXPECT_EQ(GravaLeitura(*m_servico, id, 60), PosicaoPercorrendo(id)) << id.serie;
    EXPECT_EQ(Db().m_MedicaoAtual.GetQtdRegistros(), 3u);
}

}  // namespace
