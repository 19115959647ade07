// Start-up compaction of parent/child and parent/text files, and the
// resolution of twins left by a compaction cut short.

#include "support/MotorTeste.h"
#include "support/BaseDadosTeste.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using namespace zenta::teste;

class ShrinkTeste : public ::testing::Test {
protected:
    ShrinkTeste() : m_escopo(nullptr, PoliticaRapida()) {}
    fs::path Dados() const { return DadosGE(m_home); }
    bool Existe(const std::string& nome) const { return fs::exists(Dados() / nome); }

    // Writes a base with unreferenced runs and texts, then closes it.
    Modelo PreparaBase(ULONG n = 6) {
        CQVDataBaseTeste db;
        db.m_bCompacta = false;
        EXPECT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
        Modelo m = GravaBaseComLixo(db, n);
        db.Finaliza();
        return m;
    }

    // Writes records straight through a file object on a work container.
    template <class T>
    void Grava(const char* nome, const std::vector<T>& regs) {
        zenta::CQVContainerArquivosSimples c(QV_MODULO_GE);
        CQVFile<T> f(nome, &c);
        ASSERT_EQ(f.Inicializa("EMP", 7, 42), S_OK);
        ULONGLONG pos = 0;
        if (!regs.empty()) {
            ASSERT_EQ(f.GravaColecao(pos, regs), S_OK);
        }
        f.Finaliza();
    }

    template <class T>
    std::vector<T> Le(const char* nome) {
        zenta::CQVContainerArquivosSimples c(QV_MODULO_GE);
        c.SetLeituraSemBloqueio(true);
        CQVFile<T> f(nome, &c);
        EXPECT_EQ(f.Inicializa("EMP", 7, 42), S_OK);
        std::vector<T> regs(static_cast<std::size_t>(f.GetQtdRegistros()));
        for (std::size_t i = 0; i < regs.size(); ++i) EXPECT_EQ(f.Le(i + 1, regs[i]), S_OK);
        f.Finaliza();
        return regs;
    }

    // Runs the parent/child compaction alone on a database with no members.
    HRESULT ShrinkPaiFilho() {
        zenta::CQVContainerArquivosSimples nomes(QV_MODULO_GE);
        CQVFile<REG_TESTE_PAI> pai(NOME_PAI, &nomes);
        CQVFile<REG_TESTE_FILHO> filho(NOME_FILHO, &nomes);
        CQVDataBase db(QV_MODULO_GE);
        EXPECT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
        return db.ShrinkFile(pai, filho, offsetof(REG_TESTE_PAI, lFilhos), offsetof(REG_TESTE_PAI, lQtdFilhos));
    }

    static REG_TESTE_PAI Pai(ULONG codigo, ULONG primeiro, ULONG qtd, ULONG texto = 0) {
        REG_TESTE_PAI p{};
        p.lCodigo = codigo;
        p.lFilhos = primeiro;
        p.lQtdFilhos = qtd;
        p.lTexto = texto;
        return p;
    }
    static std::vector<REG_TESTE_FILHO> Filhos(ULONG n) {
        std::vector<REG_TESTE_FILHO> v(n);
        for (ULONG i = 0; i < n; ++i) {
            v[i].lCodigoPai = 900 + i + 1;  // the old position, to follow each record
            v[i].lSequencia = 1;
        }
        return v;
    }

    ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
};

TEST_F(ShrinkTeste, StartUpCompactsEveryChainAndTextsAndKeepsEveryLink) {
    const Modelo modelo = PreparaBase();
    {
        CQVDataBaseTeste antes;
        antes.m_bCompacta = false;
        ASSERT_EQ(antes.Inicializa("EMP", 7, 42), S_OK);
        ASSERT_GT(antes.m_Filho.GetQtdRegistros(), FilhosDoModelo(modelo));
        ASSERT_GT(antes.m_Texto.GetQtdRegistros(), TextosDoModelo(modelo));
        antes.Finaliza();
    }
    CQVDataBaseTeste db;
    ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(db.m_Filho.GetQtdRegistros(), FilhosDoModelo(modelo));
    EXPECT_EQ(db.m_Neto.GetQtdRegistros(), NetosDoModelo(modelo));
    EXPECT_EQ(db.m_Texto.GetQtdRegistros(), TextosDoModelo(modelo));
    ConfereModelo(db, modelo);
    // Compacted files got their header back on loading.
    EXPECT_EQ(db.m_Filho.GetSeekCabecalho(), 240u);
    db.Finaliza();
    for (const auto& e : fs::directory_iterator(Dados())) {
        EXPECT_NE(e.path().extension(), ".srk") << e.path();
        EXPECT_NE(e.path().extension(), ".cab") << e.path();
    }
}

TEST_F(ShrinkTeste, FullyReferencedChildFileIsLeftByteForByte) {
    Grava<REG_TESTE_FILHO>(NOME_FILHO, Filhos(3));
    Grava<REG_TESTE_PAI>(NOME_PAI, {Pai(1, 1, 2), Pai(2, 0, 0), Pai(3, 3, 1)});
    const std::string antes = LeArquivo(Dados() / NOME_FILHO);
    const std::string paiAntes = LeArquivo(Dados() / NOME_PAI);
    ASSERT_EQ(ShrinkPaiFilho(), S_OK);
    EXPECT_EQ(LeArquivo(Dados() / NOME_FILHO), antes);
    EXPECT_EQ(LeArquivo(Dados() / NOME_PAI), paiAntes);
    EXPECT_FALSE(Existe("TSFILHO.srk"));
    EXPECT_FALSE(Existe("TSPAI.srk"));
}

TEST_F(ShrinkTeste, InconsistentParentsStopStartUpAndChangeNothing) {
    struct Caso {
        const char* nome;
        REG_TESTE_PAI pai;
        HRESULT esperado;
    };
    const Caso casos[] = {
        {"first child without count", Pai(1, 5, 0), E_QVCR_INCONSISTENCIA_CHAVE_QUANTIDADE},
        {"count without first child", Pai(1, 0, 2), E_QVCR_INCONSISTENCIA_CHAVE_QUANTIDADE},
        {"run past the end", Pai(1, 3, 3), E_QVCR_INCONSISTENCIA_RELACIONAMENTO_ARQUIVO_PAI_FILHO},
        {"first child past the end", Pai(1, 9, 1), E_QVCR_INCONSISTENCIA_RELACIONAMENTO_ARQUIVO_PAI_FILHO},
    };
    for (const Caso& caso : casos) {
        fs::remove_all(Dados());
        Grava<REG_TESTE_FILHO>(NOME_FILHO, Filhos(4));
        Grava<REG_TESTE_PAI>(NOME_PAI, {Pai(2, 1, 1), caso.pai});
        const std::string filhoAntes = LeArquivo(Dados() / NOME_FILHO);
        const std::string paiAntes = LeArquivo(Dados() / NOME_PAI);
        CQVDataBaseTeste db;
        EXPECT_EQ(db.Inicializa("EMP", 7, 42), caso.esperado) << caso.nome;
        db.Finaliza();
        EXPECT_EQ(LeArquivo(Dados() / NOME_FILHO), filhoAntes) << caso.nome;
        EXPECT_EQ(LeArquivo(Dados() / NOME_PAI), paiAntes) << caso.nome;
        EXPECT_FALSE(Existe("TSFILHO.srk")) << caso.nome;
    }
}

TEST_F(ShrinkTeste, TextsKeepTheirOrderAndASharedTextIsKeptOnce) {
    {
        zenta::CQVContainerArquivosSimples c(QV_MODULO_GE);
        CQVTextFile t(NOME_TEXTO, &c);
        ASSERT_EQ(t.Inicializa("EMP", 7, 42), S_OK);
        for (const char* s : {"um", "dois", "três", "quatro", "cinco"}) {
            ULONGLONG pos = 0;
            ASSERT_EQ(t.Grava(pos, s), S_OK);
        }
        t.Finaliza();
    }
    Grava<REG_TESTE_PAI>(NOME_PAI, {Pai(1, 0, 0, 4), Pai(2, 0, 0, 2), Pai(3, 0, 0, 4), Pai(4, 0, 0, 0)});
    CQVDataBaseTeste db;
    ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(db.m_Texto.GetQtdRegistros(), 2u);
    std::string s;
    REG_TESTE_PAI p{};
    const char* esperados[] = {"quatro", "dois", "quatro", nullptr};
    for (ULONGLONG i = 1; i <= 4; ++i) {
        ASSERT_EQ(db.m_Pai.Le(i, p), S_OK);
        if (esperados[i - 1] == nullptr) {
            EXPECT_EQ(p.lTexto, 0u);
            continue;
        }
        ASSERT_EQ(db.m_Texto.Le(p.lTexto, s), S_OK);
        EXPECT_EQ(s, esperados[i - 1]);
    }
    ASSERT_EQ(db.m_Texto.Le(1, s), S_OK);
    EXPECT_EQ(s, "dois");  // old order kept: "dois" (2) before "quatro" (4)
}

TEST_F(ShrinkTeste, ReaderWithoutLockingSkipsCompaction) {
    Grava<REG_TESTE_FILHO>(NOME_FILHO, Filhos(7));
    Grava<REG_TESTE_PAI>(NOME_PAI, {Pai(1, 3, 2)});
    const std::string antes = LeArquivo(Dados() / NOME_FILHO);
    CQVDataBaseTeste db;
    db.SetLeituraSemBloqueio(true);
    ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(db.m_Filho.GetQtdRegistros(), 7u);
    db.Finaliza();
    EXPECT_EQ(LeArquivo(Dados() / NOME_FILHO), antes);
}

// ---- Twins left behind ----------------------------------------------------------------

class ShrinkGemeosTeste : public ShrinkTeste {
protected:
    // Children 1..7; parent 1 → 3..4, parent 2 → 7.
    void PreparaSeteFilhos() {
        Grava<REG_TESTE_FILHO>(NOME_FILHO, Filhos(7));
        Grava<REG_TESTE_PAI>(NOME_PAI, {Pai(1, 3, 2), Pai(2, 7, 1)});
    }
    void ConfereCompactado() {
        const auto filhos = Le<REG_TESTE_FILHO>(NOME_FILHO);
        ASSERT_EQ(filhos.size(), 3u);
        EXPECT_EQ(filhos[0].lCodigoPai, 903u);
        EXPECT_EQ(filhos[2].lCodigoPai, 907u);
        const auto pais = Le<REG_TESTE_PAI>(NOME_PAI);
        ASSERT_EQ(pais.size(), 2u);
        EXPECT_EQ(pais[0].lFilhos, 1u);
        EXPECT_EQ(pais[1].lFilhos, 3u);
        EXPECT_FALSE(Existe("TSFILHO.srk"));
        EXPECT_FALSE(Existe("TSPAI.srk"));
    }
    // Writes a headerless twin.
    template <class T>
    void GravaGemeo(const char* nome, const std::vector<T>& regs, std::size_t cortaBytes = 0) {
        const std::string bytes(reinterpret_cast<const char*>(regs.data()), regs.size() * sizeof(T) - cortaBytes);
        std::ofstream(Dados() / nome, std::ios::binary) << bytes;
    }
};

TEST_F(ShrinkGemeosTeste, TwinsOfACompactionCutShortAreFinishedOrDropped) {
    const auto filhos = Filhos(7);
    const struct {
        const char* nome;
        std::function<void()> deixa;
    } casos[] = {
        // No twin: runs 3..4 and 7 become 1..2 and 3.
        {"no twin", [] {}},
        // Both twins: the renames never began.
        {"both twins",
         [&] {
             GravaGemeo<REG_TESTE_FILHO>("TSFILHO.srk", Filhos(2));
             GravaGemeo<REG_TESTE_PAI>("TSPAI.srk", {Pai(1, 1, 2)});
         }},
        // The parents' twin was renamed; the child's was not: it is finished.
        {"child twin with parents in its layout",
         [&] {
             GravaGemeo<REG_TESTE_FILHO>("TSFILHO.srk", {filhos[2], filhos[3], filhos[6]});
             fs::remove(Dados() / NOME_PAI);
             GravaGemeo<REG_TESTE_PAI>(NOME_PAI, {Pai(1, 1, 2), Pai(2, 3, 1)});
         }},
        {"child twin cut short with old parents",
         [&] { GravaGemeo<REG_TESTE_FILHO>("TSFILHO.srk", {filhos[2], filhos[3]}, 5); }},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nome);
        fs::remove_all(Dados());
        PreparaSeteFilhos();
        caso.deixa();
        ASSERT_EQ(ShrinkPaiFilho(), S_OK);
        ConfereCompactado();
    }
}

TEST_F(ShrinkGemeosTeste, ChildTwinWhoseRecordsAreNotTheOldChildrenIsNotFinished) {
    // Parents form the twin's layout, but the twin does not hold old records:
    // it cannot be a compaction of this child file.
    PreparaSeteFilhos();
    fs::remove(Dados() / NOME_PAI);
    GravaGemeo<REG_TESTE_PAI>(NOME_PAI, {Pai(1, 1, 2), Pai(2, 3, 1)});
    GravaGemeo<REG_TESTE_FILHO>("TSFILHO.srk", Filhos(3));  // 901..903, not 903, 904, 907
    // The parents also fit the old file: the twin is dropped, nothing renamed.
    ASSERT_EQ(ShrinkPaiFilho(), S_OK);
    EXPECT_FALSE(Existe("TSFILHO.srk"));
    const auto filhos = Le<REG_TESTE_FILHO>(NOME_FILHO);
    ASSERT_EQ(filhos.size(), 3u);
    EXPECT_EQ(filhos[0].lCodigoPai, 901u);  // the runs 1..2 and 3 of the old file
}

TEST_F(ShrinkGemeosTeste, ChildTwinNothingCanExplainStopsWithSrkFound) {
    Grava<REG_TESTE_FILHO>(NOME_FILHO, Filhos(3));
    Grava<REG_TESTE_PAI>(NOME_PAI, {Pai(1, 5, 2)});
    GravaGemeo<REG_TESTE_FILHO>("TSFILHO.srk", Filhos(1));
    const std::string antes = LeArquivo(Dados() / NOME_FILHO);
    EXPECT_EQ(ShrinkPaiFilho(), E_QVCR_ARQUIVO_SRK_ENCONTRADO);
    EXPECT_TRUE(Existe("TSFILHO.srk"));
    EXPECT_EQ(LeArquivo(Dados() / NOME_FILHO), antes);
}

TEST_F(ShrinkGemeosTeste, LoneParentTwinSkipsTheCompactionAndIsKept) {
    PreparaSeteFilhos();
    GravaGemeo<REG_TESTE_PAI>("TSPAI.srk", {Pai(1, 1, 2)});
    const std::string antes = LeArquivo(Dados() / NOME_FILHO);
    ASSERT_EQ(ShrinkPaiFilho(), S_OK);
    EXPECT_EQ(LeArquivo(Dados() / NOME_FILHO), antes);
    EXPECT_TRUE(Existe("TSPAI.srk"));
}

}  // namespace
