// Typed record files: loading, reads, writes, appends, whole-content
// replacement, write retries and the in-memory indexes.

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVFile.h"
#include "support/MotorFalhas.h"
#include "support/MotorTeste.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using namespace zenta::teste;
using Posicoes = std::vector<ULONGLONG>;
using Codigos = std::vector<ULONG>;

using Arquivo = CQVFile<REG_TESTE>;

ULONGLONG ChaveNome(const REG_TESTE& r, UINT) {
    return QVChaveIndexTexto(std::string_view(r.szNome, strnlen(r.szNome, sizeof r.szNome)));
}

class QVFileTeste : public ::testing::Test {
protected:
    QVFileTeste() : m_escopo(nullptr, PoliticaRapida(3, 4)), m_db(QV_MODULO_GE) {}
    fs::path Caminho(const std::string& nome = "GETIPADO.dat") const { return DadosGE(m_home) / nome; }
    std::unique_ptr<Arquivo> Novo() {
        auto arq = std::make_unique<Arquivo>("GETIPADO.dat", &m_db);
        EXPECT_EQ(arq->Inicializa("EMP", 7, 42), S_OK);
        return arq;
    }
    // A file with records of the given codes at positions 1..n.
    std::unique_ptr<Arquivo> ComRegistros(const Codigos& codigos) {
        auto arq = Novo();
        std::vector<REG_TESTE> regs;
        for (ULONG c : codigos) regs.push_back(Reg(c, c % 10));
        ULONGLONG pos = 0;
        EXPECT_EQ(arq->GravaColecao(pos, regs), S_OK);
        return arq;
    }
    static Posicoes PosicoesDe(const Arquivo& arq, ULONGLONG chave, UINT coluna = 0) {
        Posicoes v;
        EXPECT_EQ(arq.ExisteIndex(chave, v, coluna), S_OK);
        return v;
    }
    // Record writes (not the header's, at offset 24) fail with `m_causa`
    // while `m_falhas` lasts, half their bytes landing.
    std::shared_ptr<CamadaFalhas> FalhaGravacoes() {
        return std::make_shared<CamadaFalhas>([this](const Passo& p) {
            if (p.tipo != PassoSO::grava || p.posicao == 24 || m_falhas <= 0) return kPassa;
            --m_falhas;
            return Resposta{Resposta::rasga, m_causa};
        });
    }
    int m_falhas = 0;
    zenta::CausaArquivo m_causa = zenta::CausaArquivo::discoCheio;

    ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
    zenta::CQVContainerArquivosSimples m_db;
};

// ---- Loading, reading, writing ---------------------------------------------------------------

TEST_F(QVFileTeste, MissingFileIsEmptyAndRecordsSurviveAReload) {
    auto arq = Novo();
    REG_TESTE r = Reg(9, 9, "lixo");
    EXPECT_EQ(arq->Le(0, &r), E_QVCR_TENTATIVA_LER_POSICAO_ZERO);
    EXPECT_EQ(r.lCodigo, 0u);
    EXPECT_EQ(arq->Le(1, &r), E_QVCR_ARQUIVO_NAO_EXISTE);
    EXPECT_FALSE(fs::exists(Caminho()));

    { auto escrito = ComRegistros({11, 12, 13}); }
    arq = Novo();
    EXPECT_EQ(CodigosDe(*arq), (Codigos{11, 12, 13}));
    EXPECT_EQ(static_cast<const REG_TESTE*>(arq->GetRegData(3))->lCodigo, 13u);
    EXPECT_EQ(arq->GetRegData(4), nullptr);
}

TEST_F(QVFileTeste, ReadPastTheEndFailsAndLogsTheEngineLine) {
    auto arq = ComRegistros({1, 2, 3, 4, 5});
    REG_TESTE r = Reg(1);
    EXPECT_EQ(arq->Le(9, &r), E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    EXPECT_EQ(r.lCodigo, 0u);
    bool achou = false;
    for (const std::string& nome : ArquivosAbaixo(m_home.Raiz())) {
        if (nome.find("QVProfilerErros") == std::string::npos) continue;
        const std::string log = LeArquivo(m_home.Raiz() / nome);
        achou |= log.find("hr = 0x810809DA\t") != std::string::npos &&
                 log.find("\tArquivo = GETIPADO.dat\t") != std::string::npos &&
                 log.find(" = 9\tRegistro = 16\tQtd. Registros = 5") != std::string::npos;
    }
    EXPECT_TRUE(achou);
}

TEST_F(QVFileTeste, AppendsRewritesAndWritesBeyondTheCount) {
    auto arq = ComRegistros({1, 2, 3, 4, 5});
    ULONGLONG pos = QVDATABASE_POSICAO_NOVO_REGISTRO;
    ASSERT_EQ(arq->Grava(pos, Reg(6)), S_OK);
    EXPECT_EQ(pos, 6u);
    // A collection at the last position rewrites it and grows the file.
    pos = 6;
    ASSERT_EQ(arq->GravaColecao(pos, std::vector<REG_TESTE>{Reg(60), Reg(70)}), S_OK);
    EXPECT_EQ(pos, 6u);
    const std::string antes = LeArquivo(Caminho());
    EXPECT_EQ(antes.size(), 240u + 7 * 16);
    pos = 9;
    EXPECT_EQ(arq->Grava(pos, Reg(90)), E_QVCR_POSICAO_GRAVACAO_SUPERIOR_QUANTIDADE_ARQUIVO);
    EXPECT_EQ(LeArquivo(Caminho()), antes);
    arq.reset();
    EXPECT_EQ(CodigosDe(*Novo()), (Codigos{1, 2, 3, 4, 5, 60, 70}));
}

TEST_F(QVFileTeste, UnchangedRecordsDoNotTouchTheDisk) {
    auto conta = FalhaGravacoes();
    zenta::EscopoArquivoSO escopo(conta, PoliticaRapida(3, 4));
    auto arq = ComRegistros({1, 2, 3});
    const std::string antes = LeArquivo(Caminho());
    const int gravacoes = conta->gravacoes;
    ULONGLONG pos = 2;
    const std::vector<REG_TESTE> iguais = {Reg(2, 2), Reg(3, 3)};
    EXPECT_EQ(arq->GravaColecao(pos, iguais), S_OK);
    EXPECT_EQ(conta->gravacoes, gravacoes);
    EXPECT_EQ(LeArquivo(Caminho()), antes);
    EXPECT_FALSE(arq->PrecisaGravar(2, iguais));
    EXPECT_TRUE(arq->PrecisaGravar(3, iguais));  // runs past the end
}

TEST_F(QVFileTeste, FailedWritesAreRetriedUpToTheCountOrAFatalCodeWithoutDuplicatingAnAppend) {
    auto falha = FalhaGravacoes();
    zenta::EscopoArquivoSO escopo(falha, PoliticaRapida(3, 4));
    auto arq = ComRegistros({1, 2});
    m_falhas = 2;
    ULONGLONG pos = 0;
    ASSERT_EQ(arq->Grava(pos, Reg(3)), S_OK);
    EXPECT_EQ(pos, 3u);

    m_falhas = 100;
    int antes = falha->gravacoes;
    pos = 0;
    EXPECT_EQ(arq->Grava(pos, Reg(4)), E_QVDATABASE_eDiskFull);
    EXPECT_EQ(falha->gravacoes - antes, 4);  // the whole retry count
    m_causa = zenta::CausaArquivo::erroFisico;
    antes = falha->gravacoes;
    pos = 0;
    EXPECT_EQ(arq->Grava(pos, Reg(4)), E_QVDATABASE_eHardIO);
    EXPECT_EQ(falha->gravacoes - antes, 1);  // a fatal code is not tried again
    EXPECT_EQ(CodigosDe(*arq), (Codigos{1, 2, 3}));
    arq.reset();
    m_falhas = 0;
    EXPECT_EQ(CodigosDe(*Novo()), (Codigos{1, 2, 3}));
}

TEST_F(QVFileTeste, SetConteudoReplacesOrRemovesTheFileAndDeletionDropsIndexes) {
    auto arq = ComRegistros({1, 2, 3});
    ASSERT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
    const auto mtime = fs::last_write_time(Caminho());
    EXPECT_EQ(arq->SetConteudo({Reg(1, 1), Reg(2, 2), Reg(3, 3)}), S_OK);
    EXPECT_EQ(fs::last_write_time(Caminho()), mtime);
    EXPECT_EQ(arq->GetQtdIndices(), 1u);

    ASSERT_EQ(arq->SetConteudo({Reg(9), Reg(8)}), S_OK);
    EXPECT_EQ(CodigosDe(*arq), (Codigos{9, 8}));
    EXPECT_EQ(arq->GetQtdIndices(), 0u);  // definitions do not survive
    EXPECT_EQ(LeArquivo(Caminho()).size(), 240u + 32u);

    ASSERT_EQ(arq->SetConteudo({}), S_OK);
    EXPECT_FALSE(fs::exists(Caminho()));
    const REG_TESTE bloco[2] = {Reg(4), Reg(5)};
    ASSERT_EQ(arq->SetArrayData(bloco, sizeof bloco + 3), S_OK);  // a partial record is dropped
    EXPECT_EQ(CodigosDe(*arq), (Codigos{4, 5}));
    // Deleting the file drops records and index definitions; the next write starts at 1.
    ASSERT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
    ASSERT_EQ(arq->DeletaArquivo(), S_OK);
    EXPECT_FALSE(fs::exists(Caminho()));
    EXPECT_EQ(arq->GetQtdIndices(), 0u);
    ULONGLONG pos = 0;
    ASSERT_EQ(arq->Grava(pos, Reg(3)), S_OK);
    EXPECT_EQ(pos, 1u);
}

// ---- Indexes -----------------------------------------------------------------------------

TEST_F(QVFileTeste, IndexColumnsAndLookups) {
    auto arq = ComRegistros({10, 20, 30});
    EXPECT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
    EXPECT_EQ(arq->IncluiIndex(ChaveGrupo, 0, true, true), E_QVCR_COLUNA_INDEXACAO_INVALIDA);
    EXPECT_EQ(arq->IncluiIndex(ChaveGrupo, 1, true, true), S_OK);
    ULONGLONG pos = 77;
    EXPECT_EQ(arq->ExisteIndex(20, pos, 0), S_OK);
    EXPECT_EQ(pos, 2u);
    pos = 77;
    EXPECT_EQ(arq->ExisteIndex(25, pos, 0), S_OK);
    EXPECT_EQ(pos, 77u);  // absent: left as it was
    EXPECT_EQ(arq->ExisteIndex(20, pos, 2), E_QVCR_COLUNA_INDEXACAO_INVALIDA);
    EXPECT_EQ(PosicoesDe(*arq, 0, 1), (Posicoes{1, 2, 3}));  // group 0, zero allowed
    // A repeat index lists positions ascending, through rewrites and appends.
    pos = 2;
    ASSERT_EQ(arq->Grava(pos, Reg(20, 5)), S_OK);
    pos = 0;
    ASSERT_EQ(arq->GravaColecao(pos, std::vector<REG_TESTE>{Reg(40, 5), Reg(50, 0)}), S_OK);
    EXPECT_EQ(PosicoesDe(*arq, 5, 1), (Posicoes{2, 4}));
    EXPECT_EQ(PosicoesDe(*arq, 0, 1), (Posicoes{1, 3, 5}));
    ULONGLONG menor = 0;
    ASSERT_EQ(arq->ExisteIndex(0, menor, 1), S_OK);
    EXPECT_EQ(menor, 1u);
}

TEST_F(QVFileTeste, NoRepeatIndexKeepsOwnKeyRefusesAnotherAndFreesARewrittenOne) {
    auto arq = ComRegistros({10, 20, 30});
    ASSERT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
    ULONGLONG pos = 2;
    EXPECT_EQ(arq->Grava(pos, Reg(20, 5, "novo")), S_OK);  // own key, other bytes

    const std::string antes = LeArquivo(Caminho());
    pos = 2;
    EXPECT_EQ(arq->Grava(pos, Reg(30)), E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA);
    pos = 0;
    EXPECT_EQ(arq->Grava(pos, Reg(10)), E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA);
    EXPECT_EQ(pos, 0u);
    pos = 0;
    EXPECT_EQ(arq->Grava(pos, Reg(0)), E_QVCR_INDEXACAO_COM_POSICAO_ZERO);
    pos = 0;
    EXPECT_EQ(arq->GravaColecao(pos, std::vector<REG_TESTE>{Reg(40), Reg(40)}),
              E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA);
    // Nothing changed: disk, memory and index.
    EXPECT_EQ(LeArquivo(Caminho()), antes);
    EXPECT_EQ(CodigosDe(*arq), (Codigos{10, 20, 30}));
    EXPECT_EQ(PosicoesDe(*arq, 30), (Posicoes{3}));
    EXPECT_TRUE(PosicoesDe(*arq, 40).empty());

    pos = 2;
    ASSERT_EQ(arq->Grava(pos, Reg(25)), S_OK);
    EXPECT_TRUE(PosicoesDe(*arq, 20).empty());
    EXPECT_EQ(PosicoesDe(*arq, 25), (Posicoes{2}));
    pos = 0;
    EXPECT_EQ(arq->Grava(pos, Reg(20)), S_OK);  // the freed key can be taken now
    EXPECT_EQ(PosicoesDe(*arq, 20), (Posicoes{4}));
}

TEST_F(QVFileTeste, IndexOverRepeatsFailsButStaysAndTextKeysAreTheCrc) {
    auto arq = ComRegistros({10, 10, 30});
    EXPECT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA);
    EXPECT_EQ(arq->GetQtdIndices(), 1u);
    EXPECT_EQ(PosicoesDe(*arq, 10), (Posicoes{1, 2}));

    ASSERT_EQ(arq->SetConteudo({Reg(1, 0, "bomba"), Reg(2, 0, "valvula")}), S_OK);
    ASSERT_EQ(arq->IncluiIndex(ChaveNome, 0, false, false), S_OK);
    ULONGLONG achada = 0;
    ASSERT_EQ(arq->ExisteIndex(std::string_view("valvula"), achada, 0), S_OK);
    EXPECT_EQ(achada, 2u);
}

TEST_F(QVFileTeste, ReadersAndAWriterShareOneFile) {
    auto arq = ComRegistros({1});
    ASSERT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
    std::atomic<bool> fim{false};
    std::atomic<int> falhas{0};
    std::vector<std::thread> leitores;
    for (int t = 0; t < 2; ++t) {
        leitores.emplace_back([&] {
            while (!fim.load()) {
                const ULONGLONG qtd = arq->GetQtdRegistros();
                REG_TESTE r{};
                // Records are only ever appended with code = position.
                if (arq->Le(qtd, &r) != S_OK || r.lCodigo != qtd) ++falhas;
                ULONGLONG pos = 0;
                if (arq->ExisteIndex(qtd, pos, 0) != S_OK || pos != qtd) ++falhas;
            }
        });
    }
    for (ULONG c = 2; c <= 60; ++c) {
        ULONGLONG pos = 0;
        ASSERT_EQ(arq->Grava(pos, Reg(c)), S_OK);
        ASSERT_EQ(pos, c);
    }
    fim = true;
    for (auto& t : leitores) t.join();
    EXPECT_EQ(falhas.load(), 0);
}

}  // namespace
