// The database container (registry, switches, initialisation order), the
// facade (one database per company, one conversion), deletion's change-log
// texts and the crash-safe whole-content replacement of a typed file.

#include "core/qvdatabase/QVDataBaseControleCriacaoArquivos.h"
#include "core/qvdatabase/QVDataBaseFacade.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "support/MotorFalhas.h"
#include "support/MotorTeste.h"
#include "support/BaseDadosTeste.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using namespace zenta::teste;

class BaseDadosTeste : public ::testing::Test {
protected:
    BaseDadosTeste() : m_escopo(nullptr, PoliticaRapida()) {}
    fs::path Dados(const std::string& empresa = "EMP") const { return m_home.Raiz() / "data" / empresa / "GE"; }
    std::vector<std::string> Controle(const std::string& empresa = "EMP") {
        CQVInicializador ctx;
        EXPECT_EQ(ctx.Inicializa(empresa, 7, 42), S_OK);
        std::vector<std::string> lista;
        EXPECT_EQ(CQVDataBaseControleCriacaoArquivos::LeLista(ctx, QV_MODULO_GE, lista), S_OK);
        return lista;
    }

    ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
};

// A file that notes when it is initialised and finalised, and may fail.
class ArquivoEspiao final : public CQVFileBase {
public:
    ArquivoEspiao(std::string_view nome, zenta::IQVDataBaseContainer* db, std::vector<std::string>& diario,
                  HRESULT falha = S_OK)
        : CQVFileBase(nome, db), m_diario(diario), m_falha(falha) {}

protected:
    HRESULT OnInicializa() override {
        m_diario.push_back("+" + GetNomeArquivo() + "@" + GetEmpresa());
        return m_falha;
    }
    HRESULT OnFinaliza() override {
        m_diario.push_back("-" + GetNomeArquivo());
        return S_OK;
    }

private:
    std::vector<std::string>& m_diario;
    HRESULT m_falha;
};

TEST_F(BaseDadosTeste, FilesStartInNameOrderWithTheContextAndTheFirstFailureEndsIt) {
    std::vector<std::string> diario;
    CQVDataBase db(QV_MODULO_GE);
    ArquivoEspiao c("c.dat", &db, diario);
    ArquivoEspiao a("A.dat", &db, diario);
    auto b = std::make_unique<ArquivoEspiao>("b.dat", &db, diario, E_QVCR_ARQUIVO_NAO_EXISTE);
    ASSERT_EQ(db.GetFiles().size(), 3u);
    EXPECT_EQ(db.Inicializa("EMP", 7, 42), E_QVCR_ARQUIVO_NAO_EXISTE);
    EXPECT_EQ(diario, (std::vector<std::string>{"+A.dat@EMP", "+B.dat@EMP"}));

    b.reset();  // a file that goes leaves the registry
    ASSERT_EQ(db.GetFiles().size(), 2u);
    diario.clear();
    ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(db.Finaliza(), S_OK);
    // A.dat stayed loaded after the failed start-up; starting again restarts it.
    EXPECT_EQ(diario, (std::vector<std::string>{"-A.dat", "+A.dat@EMP", "+C.dat@EMP", "-A.dat", "-C.dat"}));
}

TEST_F(BaseDadosTeste, DisabledCreationControlTakesFilesAddedAfterwardsOutOfTheList) {
    {
        CQVDataBaseTeste db;
        ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
        ULONGLONG pos = 0;
        ASSERT_EQ(db.m_Pai.Grava(pos, REG_TESTE_PAI{}), S_OK);
        db.Finaliza();
        ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);  // the existing file opened for writing is listed
        db.Finaliza();
    }
    EXPECT_EQ(Controle(), (std::vector<std::string>{"TSPAI.dat"}));
    CQVDataBase db(QV_MODULO_GE);
    db.SetDesabilitaControleCriacaoArquivos(true);
    CQVFile<REG_TESTE_PAI> pai(NOME_PAI, &db);
    ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    db.Finaliza();
    EXPECT_TRUE(Controle().empty());
}

// ---- Facade ----------------------------------------------------------------------------

std::atomic<int> g_conversoes{0};
std::atomic<HRESULT> g_resultadoConversao{S_OK};

class ServicoTeste final : public CQVDataBaseFacade<CQVDataBaseTeste> {
public:
    using CQVDataBaseFacade::m_ContainerFacade;
    HRESULT Abre(const std::string& empresa) {
        const HRESULT hr = Inicializa(empresa, 7, 42);
        if (FAILED(hr)) return hr;
        return QVDataBaseInicializa();
    }

protected:
    HRESULT ExecutaConversao() override {
        ++g_conversoes;
        return g_resultadoConversao.load();
    }
};

TEST_F(BaseDadosTeste, ServiceObjectsOfACompanyShareOneDatabaseAndConvertOnce) {
    g_conversoes = 0;
    ServicoTeste s1, s2, outro;
    ASSERT_EQ(s1.Abre("FACA"), S_OK);
    ASSERT_EQ(s2.Abre("FACA"), S_OK);
    ASSERT_NE(s1.m_pDataBase, nullptr);
    EXPECT_EQ(s1.m_pDataBase, s2.m_pDataBase);
    EXPECT_EQ(g_conversoes.load(), 1);
    EXPECT_EQ(s1.m_pDataBase->GetEmpresa(), "FACA");
    ASSERT_EQ(outro.Abre("FACB"), S_OK);
    EXPECT_NE(outro.m_pDataBase, s1.m_pDataBase);
    EXPECT_EQ(g_conversoes.load(), 2);

    s1.Finaliza();
    EXPECT_EQ(ServicoTeste::m_ContainerFacade.GetDataBase("FACA"), s2.m_pDataBase);
    s2.Finaliza();
    EXPECT_EQ(ServicoTeste::m_ContainerFacade.GetDataBase("FACA"), nullptr);
    // A later object of the company opens the database again, without converting.
    ServicoTeste s3;
    ASSERT_EQ(s3.Abre("FACA"), S_OK);
    EXPECT_EQ(g_conversoes.load(), 2);
    s3.Finaliza();
    outro.Finaliza();
}

TEST_F(BaseDadosTeste, ConcurrentStartUpsOfACompanyBuildOneDatabase) {
    g_conversoes = 0;
    constexpr int N = 8;
    std::vector<std::unique_ptr<ServicoTeste>> servicos;
    for (int i = 0; i < N; ++i) servicos.push_back(std::make_unique<ServicoTeste>());
    std::vector<std::thread> threads;
    std::atomic<int> falhas{0};
    for (int i = 0; i < N; ++i)
        threads.emplace_back([&, i] {
            if (FAILED(servicos[i]->Abre("FACC"))) ++falhas;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(falhas.load(), 0);
    EXPECT_EQ(g_conversoes.load(), 1);
    for (int i = 1; i < N; ++i) EXPECT_EQ(servicos[i]->m_pDataBase, servicos[0]->m_pDataBase);
    for (auto& s : servicos) s->Finaliza();
    EXPECT_EQ(ServicoTeste::m_ContainerFacade.GetDataBase("FACC"), nullptr);
}

TEST_F(BaseDadosTeste, NoCompanyAFailedConversionOrAFailedStartUpOpensNothing) {
    ServicoTeste semEmpresa;
    EXPECT_EQ(semEmpresa.Abre(""), E_QVCR_INICIALIZACAO_QVDATABASE_SEM_EMPRESA);
    EXPECT_EQ(semEmpresa.m_pDataBase, nullptr);

    g_conversoes = 0;
    g_resultadoConversao = static_cast<HRESULT>(0x810809C7u);
    ServicoTeste s;
    EXPECT_EQ(s.Abre("FACD"), static_cast<HRESULT>(0x810809C7u));
    EXPECT_EQ(s.m_pDataBase, nullptr);
    EXPECT_FALSE(fs::exists(Dados("FACD") / "QVDATABASE_FILE_CTRL.dat"));
    g_resultadoConversao = S_OK;
    ServicoTeste t;
    EXPECT_EQ(t.Abre("FACD"), S_OK);  // tried again, and this time it holds
    EXPECT_EQ(g_conversoes.load(), 2);
    t.Finaliza();
    s.Finaliza();

    // A start-up that fails leaves no database behind.
    fs::create_directories(Dados("FACE"));
    std::ofstream(Dados("FACE") / NOME_PAI, std::ios::binary) << std::string(33, 'x');  // not a multiple of 32
    ServicoTeste falha;
    EXPECT_EQ(falha.Abre("FACE"), E_QVCR_ARQUIVO_NAO_EH_MOD_ESTRUTURA);
    EXPECT_EQ(falha.m_pDataBase, nullptr);
    EXPECT_EQ(ServicoTeste::m_ContainerFacade.GetDataBase("FACE"), nullptr);
}

// ---- Deletion and the change log ----------------------------------------------------------

class LogEspiao final : public zenta::IQVLogAlteracoesArquivos {
public:
    std::string NomeUsuario(const CQVInicializador&) override { return "Jo\xE3o"; }
    HRESULT GravaLog(const CQVInicializador&, int eModulo, std::string_view arquivo, std::string_view texto) override {
        entradas.push_back(std::to_string(eModulo) + "|" + std::string(arquivo) + "|" + std::string(texto));
        return S_OK;
    }
    std::vector<std::string> entradas;
};

TEST_F(BaseDadosTeste, EachDeletionWritesItsChangeLogTextAndAGroupPatternTakesOnlyMembers) {
    LogEspiao log;
    CQVDataBase db(QV_MODULO_GE);
    db.SetLogAlteracoesArquivos(&log);
    fs::create_directories(Dados());
    for (const char* n : {"X1.dat", "X2.dat", "X3.dat"}) std::ofstream(Dados() / n) << "x";

    ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(CQVDataBaseUtil::DeletaArquivo(&db, QV_MODULO_GE, "X1.dat", eNenhum), S_OK);
    ASSERT_EQ(CQVDataBaseUtil::DeletaArquivo(&db, QV_MODULO_GE, "NENHUM.dat", eNenhum), S_OK);  // missing: no entry
    {
        const zenta::EscopoConversaoBaseDados conversao;
        ASSERT_EQ(CQVDataBaseUtil::DeletaArquivo(&db, QV_MODULO_GE, "X2.dat", eNenhum), S_OK);
    }
    ASSERT_EQ(db.Inicializa("EMP", 0, 42), S_OK);
    ASSERT_EQ(CQVDataBaseUtil::DeletaArquivo(&db, QV_MODULO_GE, "X3.dat", eNenhum), S_OK);
    EXPECT_EQ(log.entradas, (std::vector<std::string>{
                                "9|X1.dat|Arquivo \"X1.dat\" removido pelo usu\xE1rio \"Jo\xE3o\"",
                                "9|X2.dat|Arquivo \"X2.dat\" removido durante a convers\xE3o da base de dados",
                                "9|X3.dat|Arquivo \"X3.dat\" removido sem informa\xE7\xE3o de usu\xE1rio logado",
                            }));
    EXPECT_FALSE(fs::exists(Dados() / "X1.dat"));

    // A group pattern removes every member and nothing else, one entry each.
    const char* membros[] = {"GEMOV062022.dat", "GEMOV072022.dat", "gemov082022.DAT"};
    const char* outros[] = {"GEMOV07202X.dat", "GEMOV0720222.dat", "GEMOV072022.srk", "GEMOVX.dat"};
    for (const char* n : membros) std::ofstream(Dados() / n) << "m";
    for (const char* n : outros) std::ofstream(Dados() / n) << "o";
    ASSERT_EQ(CQVDataBaseUtil::DeletaArquivo(&db, QV_MODULO_GE, "GEMOV??????.dat", eNenhum), S_OK);
    for (const char* n : membros) EXPECT_FALSE(fs::exists(Dados() / n)) << n;
    for (const char* n : outros) EXPECT_TRUE(fs::exists(Dados() / n)) << n;
    EXPECT_EQ(log.entradas.size(), 6u);
    db.Finaliza();
}

// ---- Whole-content replacement ---------------------------------------------------------------

TEST_F(BaseDadosTeste, SetConteudoReplacesTheFileWholeOrNotAtAll) {
    bool falhaRenomeia = false;
    const zenta::EscopoArquivoSO escopo(std::make_shared<CamadaFalhas>([&](const Passo& p) {
        return falhaRenomeia && p.tipo == PassoSO::renomeia ? kFalha : kPassa;
    }), PoliticaRapida());
    CQVDataBaseTeste db;
    db.m_bCompacta = false;
    ASSERT_EQ(db.Inicializa("EMP", 7, 42), S_OK);
    std::vector<REG_TESTE_PAI> tres(3), dois(2);
    for (ULONG i = 0; i < 3; ++i) tres[i].lCodigo = i + 1;
    for (ULONG i = 0; i < 2; ++i) dois[i].lCodigo = 10 + i;
    ASSERT_EQ(db.m_Pai.SetConteudo(tres), S_OK);
    const std::string antes = LeArquivo(Dados() / NOME_PAI);
    ASSERT_EQ(antes.size(), 240u + 3 * sizeof(REG_TESTE_PAI));

    falhaRenomeia = true;
    EXPECT_TRUE(FAILED(db.m_Pai.SetConteudo(dois)));
    EXPECT_EQ(LeArquivo(Dados() / NOME_PAI), antes);  // the old file, whole
    EXPECT_EQ(db.m_Pai.GetQtdRegistros(), 3u);        // and loaded again

    falhaRenomeia = false;
    ASSERT_EQ(db.m_Pai.SetConteudo(dois), S_OK);
    REG_TESTE_PAI r{};
    ASSERT_EQ(db.m_Pai.GetQtdRegistros(), 2u);
    ASSERT_EQ(db.m_Pai.Le(2, r), S_OK);
    EXPECT_EQ(r.lCodigo, 11u);
    EXPECT_FALSE(fs::exists(Dados() / "TSPAI.cab"));
    db.Finaliza();
}

}  // namespace
