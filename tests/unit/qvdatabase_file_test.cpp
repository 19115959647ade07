// Typed record files: loading, reads, writes, appends, whole-content
// replacement, write retries and the in-memory indexes.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVFile.h"
#include "support/MotorTeste.h"
#include "support/ZentaHomeTemporario.h"

namespace {

namespace fs = std::filesystem;
using zenta::teste::LeArquivo;

#pragma pack(push, 1)
struct REG_TESTE_TIPADO {
    ULONG lCodigo;
    ULONG lGrupo;
    char szNome[8];
};
struct REG_TESTE_GRANDE {
    BYTE dados[640];
};
#pragma pack(pop)
static_assert(sizeof(REG_TESTE_TIPADO) == 16);
static_assert(sizeof(REG_TESTE_GRANDE) == 640);

using Arquivo = CQVFile<REG_TESTE_TIPADO>;

REG_TESTE_TIPADO Reg(ULONG codigo, ULONG grupo = 0, const char* nome = "") {
    REG_TESTE_TIPADO r{};
    r.lCodigo = codigo;
    r.lGrupo = grupo;
    std::strncpy(r.szNome, nome, sizeof r.szNome - 1);
    return r;
}

ULONGLONG ChaveCodigo(const REG_TESTE_TIPADO& r, UINT) { return r.lCodigo; }
ULONGLONG ChaveGrupo(const REG_TESTE_TIPADO& r, UINT) { return r.lGrupo; }
ULONGLONG ChaveNome(const REG_TESTE_TIPADO& r, UINT) {
    return QVChaveIndexTexto(std::string_view(r.szNome, strnlen(r.szNome, sizeof r.szNome)));
}

void GravaBytes(const fs::path& caminho, const std::string& bytes) {
    fs::create_directories(caminho.parent_path());
    std::ofstream out(caminho, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Fails the first `falhas` record writes with `causa`, and counts every write.
class FalhaGravacoes final : public zenta::SistemaArquivosRepassador {
public:
    FalhaGravacoes(int falhas, zenta::CausaArquivo causa)
        : SistemaArquivosRepassador(zenta::CriaSistemaArquivosReal()), m_falhas(falhas), m_causa(causa) {}
    zenta::ResultadoArquivo Abre(const fs::path& caminho, zenta::AberturaSO modo,
                                 std::unique_ptr<zenta::IArquivoAberto>& arquivo) override {
        const zenta::ResultadoArquivo r = m_base->Abre(caminho, modo, arquivo);
        if (r.Ok()) arquivo = std::make_unique<Arq>(std::move(arquivo), *this);
        return r;
    }
    int Gravacoes() const { return m_gravacoes.load(); }
    void Falha(int n, zenta::CausaArquivo causa = zenta::CausaArquivo::discoCheio) {
        m_causa = causa;
        m_falhas = n;
    }

private:
    class Arq final : public zenta::IArquivoAberto {
    public:
        Arq(std::unique_ptr<zenta::IArquivoAberto> a, FalhaGravacoes& dono) : m_a(std::move(a)), m_dono(dono) {}
        zenta::ResultadoArquivo Le(uint64_t p, void* d, std::size_t t, std::size_t& l) override { return m_a->Le(p, d, t, l); }
        zenta::ResultadoArquivo Grava(uint64_t p, const void* o, std::size_t t) override {
            ++m_dono.m_gravacoes;
            // Header writes (offset 24) pass; record writes may fail.
            if (p != 24 && m_dono.m_falhas > 0) {
                --m_dono.m_falhas;
                // A torn write: half the bytes reach the file before the failure.
                (void)m_a->Grava(p, o, t / 2);
                return zenta::ResultadoArquivo::Falha(m_dono.m_causa);
            }
            return m_a->Grava(p, o, t);
        }
        zenta::ResultadoArquivo Tamanho(uint64_t& t) override { return m_a->Tamanho(t); }
        zenta::ResultadoArquivo Sincroniza() override { return m_a->Sincroniza(); }
        zenta::ResultadoArquivo Trunca(uint64_t t) override { return m_a->Trunca(t); }

    private:
        std::unique_ptr<zenta::IArquivoAberto> m_a;
        FalhaGravacoes& m_dono;
    };
    std::atomic<int> m_falhas;
    std::atomic<zenta::CausaArquivo> m_causa;
    std::atomic<int> m_gravacoes{0};
};

class QVFileTeste : public ::testing::Test {
protected:
    QVFileTeste() : m_escopo(nullptr, zenta::teste::PoliticaRapida(3, 4)), m_db(QV_MODULO_GE) {}
    fs::path Caminho(const std::string& nome = "GETIPADO.dat") const {
        return m_home.Raiz() / "data" / "EMP" / "GE" / nome;
    }
    std::unique_ptr<Arquivo> Novo() {
        auto arq = std::make_unique<Arquivo>("GETIPADO.dat", &m_db);
        EXPECT_EQ(arq->Inicializa("EMP", 7, 42), S_OK);
        return arq;
    }
    // A file with records of the given codes at positions 1..n.
    std::unique_ptr<Arquivo> ComRegistros(const std::vector<ULONG>& codigos) {
        auto arq = Novo();
        std::vector<REG_TESTE_TIPADO> regs;
        for (ULONG c : codigos) regs.push_back(Reg(c, c % 10));
        ULONGLONG pos = 0;
        EXPECT_EQ(arq->GravaColecao(pos, regs), S_OK);
        return arq;
    }
    static std::vector<ULONG> Codigos(const Arquivo& arq) {
        std::vector<ULONG> v;
        for (ULONGLONG p = 1; p <= arq.GetQtdRegistros(); ++p) {
            REG_TESTE_TIPADO r{};
            EXPECT_EQ(arq.Le(p, &r), S_OK);
            v.push_back(r.lCodigo);
        }
        return v;
    }
    static std::vector<ULONGLONG> Posicoes(const Arquivo& arq, ULONGLONG chave, UINT coluna) {
        std::vector<ULONGLONG> v;
        EXPECT_EQ(arq.ExisteIndex(chave, v, coluna), S_OK);
        return v;
    }

    zenta::teste::ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
    zenta::CQVContainerArquivosSimples m_db;
};

// ---- Loading and reading ------------------------------------------------------------

TEST_F(QVFileTeste, MissingFileIsEmptyAndReadsReportIt) {
    auto arq = Novo();
    EXPECT_EQ(arq->GetQtdRegistros(), 0u);
    EXPECT_EQ(arq->GetNomeTipoRegistro(), "{anonymous}::REG_TESTE_TIPADO");
    REG_TESTE_TIPADO r = Reg(9, 9, "lixo");
    EXPECT_EQ(arq->Le(0, &r), E_QVCR_TENTATIVA_LER_POSICAO_ZERO);
    EXPECT_EQ(r.lCodigo, 0u);
    EXPECT_EQ(arq->Le(1, &r), E_QVCR_ARQUIVO_NAO_EXISTE);
    EXPECT_EQ(arq->GetArrayData(), nullptr);
    EXPECT_FALSE(fs::exists(Caminho()));
}

TEST_F(QVFileTeste, RecordsSurviveAReload) {
    { auto arq = ComRegistros({11, 12, 13}); }
    const std::string bytes = LeArquivo(Caminho());
    ASSERT_EQ(bytes.size(), 240u + 3 * 16);
    REG_QVDATABASE_CABECALHO_V1 c{};
    std::memcpy(&c, bytes.data(), sizeof c);
    EXPECT_EQ(c.ullTamanhoDados, 48u);
    auto arq = Novo();
    EXPECT_EQ(Codigos(*arq), (std::vector<ULONG>{11, 12, 13}));
    const auto* primeiro = static_cast<const REG_TESTE_TIPADO*>(arq->GetRegData(0));
    ASSERT_NE(primeiro, nullptr);
    EXPECT_EQ(primeiro->lCodigo, 11u);
    EXPECT_EQ(static_cast<const REG_TESTE_TIPADO*>(arq->GetRegData(3))->lCodigo, 13u);
    EXPECT_EQ(arq->GetRegData(4), nullptr);
    EXPECT_EQ(arq->GetPtrRegistros(), nullptr);
}

TEST_F(QVFileTeste, ReadPastTheEndFailsAndLogsTheEngineLine) {
    auto arq = ComRegistros({1, 2, 3, 4, 5});
    REG_TESTE_TIPADO r = Reg(1);
    EXPECT_EQ(arq->Le(9, &r), E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    EXPECT_EQ(r.lCodigo, 0u);
    bool achou = false;
    for (const std::string& nome : zenta::teste::ArquivosAbaixo(m_home.Raiz())) {
        if (nome.find("QVProfilerErros") == std::string::npos) continue;
        const std::string log = LeArquivo(m_home.Raiz() / nome);
        if (log.find("hr = 0x810809DA\t") != std::string::npos && log.find("\tArquivo = GETIPADO.dat\t") != std::string::npos &&
            log.find(" = 9\tRegistro = 16\tQtd. Registros = 5") != std::string::npos)
            achou = true;
    }
    EXPECT_TRUE(achou);
}

TEST_F(QVFileTeste, DataNotAMultipleOfTheRecordFailsToLoad) {
    GravaBytes(Caminho("GEGRANDE.dat"), std::string(641, 'x'));
    CQVFile<REG_TESTE_GRANDE> arq("GEGRANDE.dat", &m_db);
    EXPECT_EQ(arq.Inicializa("EMP", 7, 42), E_QVCR_ARQUIVO_NAO_EH_MOD_ESTRUTURA);
    EXPECT_FALSE(arq.EstaAberto());
}

// ---- Writing ----------------------------------------------------------------------------

TEST_F(QVFileTeste, AppendAtPositionZeroReturnsTheNewPosition) {
    auto arq = ComRegistros({1, 2, 3, 4, 5});
    ULONGLONG pos = QVDATABASE_POSICAO_NOVO_REGISTRO;
    ASSERT_EQ(arq->Grava(pos, Reg(6)), S_OK);
    EXPECT_EQ(pos, 6u);
    EXPECT_EQ(LeArquivo(Caminho()).size(), 240u + 6 * 16);
}

TEST_F(QVFileTeste, CollectionAtTheLastPositionRewritesItAndGrows) {
    auto arq = ComRegistros({1, 2, 3, 4, 5});
    ULONGLONG pos = 5;
    const std::vector<REG_TESTE_TIPADO> regs = {Reg(50), Reg(60), Reg(70)};
    ASSERT_EQ(arq->GravaColecao(pos, regs), S_OK);
    EXPECT_EQ(pos, 5u);
    EXPECT_EQ(Codigos(*arq), (std::vector<ULONG>{1, 2, 3, 4, 50, 60, 70}));
    arq.reset();
    EXPECT_EQ(Codigos(*Novo()), (std::vector<ULONG>{1, 2, 3, 4, 50, 60, 70}));
}

TEST_F(QVFileTeste, WriteBeyondTheCountIsRefused) {
    auto arq = ComRegistros({1, 2, 3, 4, 5});
    const std::string antes = LeArquivo(Caminho());
    ULONGLONG pos = 7;
    EXPECT_EQ(arq->Grava(pos, Reg(70)), E_QVCR_POSICAO_GRAVACAO_SUPERIOR_QUANTIDADE_ARQUIVO);
    EXPECT_EQ(arq->GetQtdRegistros(), 5u);
    EXPECT_EQ(LeArquivo(Caminho()), antes);
    ULONGLONG zero = 0;
    EXPECT_EQ(arq->GravaColecao(zero, std::vector<REG_TESTE_TIPADO>{}), S_OK);
    EXPECT_EQ(zero, 0u);
}

TEST_F(QVFileTeste, UnchangedRecordsDoNotTouchTheDisk) {
    auto conta = std::make_shared<FalhaGravacoes>(0, zenta::CausaArquivo::discoCheio);
    zenta::EscopoArquivoSO escopo(conta, zenta::teste::PoliticaRapida(3, 4));
    auto arq = ComRegistros({1, 2, 3});
    const std::string antes = LeArquivo(Caminho());
    const int gravacoes = conta->Gravacoes();
    ULONGLONG pos = 2;
    const std::vector<REG_TESTE_TIPADO> iguais = {Reg(2, 2), Reg(3, 3)};
    EXPECT_EQ(arq->GravaColecao(pos, iguais), S_OK);
    EXPECT_EQ(conta->Gravacoes(), gravacoes);
    EXPECT_EQ(LeArquivo(Caminho()), antes);
    EXPECT_FALSE(arq->PrecisaGravar(2, iguais));
    EXPECT_TRUE(arq->PrecisaGravar(3, iguais));  // runs past the end
    EXPECT_TRUE(arq->PrecisaGravar(0, iguais));
}

TEST_F(QVFileTeste, FailedWritesAreRetriedWithoutDuplicatingAnAppend) {
    auto falha = std::make_shared<FalhaGravacoes>(0, zenta::CausaArquivo::discoCheio);
    zenta::EscopoArquivoSO escopo(falha, zenta::teste::PoliticaRapida(3, 4));
    auto arq = ComRegistros({1, 2});
    falha->Falha(2);
    ULONGLONG pos = 0;
    ASSERT_EQ(arq->Grava(pos, Reg(3)), S_OK);
    EXPECT_EQ(pos, 3u);
    EXPECT_EQ(Codigos(*arq), (std::vector<ULONG>{1, 2, 3}));
    arq.reset();
    EXPECT_EQ(Codigos(*Novo()), (std::vector<ULONG>{1, 2, 3}));
}

TEST_F(QVFileTeste, WriteFailuresStopAtTheRetryCountOrAtAFatalCode) {
    auto falha = std::make_shared<FalhaGravacoes>(0, zenta::CausaArquivo::discoCheio);
    zenta::EscopoArquivoSO escopo(falha, zenta::teste::PoliticaRapida(3, 4));
    auto arq = ComRegistros({1});
    falha->Falha(100);
    int antes = falha->Gravacoes();
    ULONGLONG pos = 0;
    EXPECT_EQ(arq->Grava(pos, Reg(2)), E_QVDATABASE_eDiskFull);
    EXPECT_EQ(falha->Gravacoes() - antes, 4);  // the whole retry count
    EXPECT_EQ(arq->GetQtdRegistros(), 1u);

    falha->Falha(100, zenta::CausaArquivo::erroFisico);
    antes = falha->Gravacoes();
    pos = 0;
    EXPECT_EQ(arq->Grava(pos, Reg(2)), E_QVDATABASE_eHardIO);
    EXPECT_EQ(falha->Gravacoes() - antes, 1);  // a fatal code is not tried again
    EXPECT_EQ(arq->GetQtdRegistros(), 1u);
}

TEST_F(QVFileTeste, SetConteudoReplacesOrRemovesTheFile) {
    auto arq = ComRegistros({1, 2, 3});
    ASSERT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
    const auto mtime = fs::last_write_time(Caminho());
    const std::vector<REG_TESTE_TIPADO> iguais = {Reg(1, 1), Reg(2, 2), Reg(3, 3)};
    EXPECT_EQ(arq->SetConteudo(iguais), S_OK);
    EXPECT_EQ(fs::last_write_time(Caminho()), mtime);
    EXPECT_EQ(arq->GetQtdIndices(), 1u);

    ASSERT_EQ(arq->SetConteudo({Reg(9), Reg(8)}), S_OK);
    EXPECT_EQ(Codigos(*arq), (std::vector<ULONG>{9, 8}));
    EXPECT_EQ(arq->GetQtdIndices(), 0u);  // definitions do not survive
    EXPECT_EQ(LeArquivo(Caminho()).size(), 240u + 32u);

    ASSERT_EQ(arq->SetConteudo({}), S_OK);
    EXPECT_FALSE(fs::exists(Caminho()));
    REG_TESTE_TIPADO r{};
    EXPECT_EQ(arq->Le(1, &r), E_QVCR_ARQUIVO_NAO_EXISTE);

    const REG_TESTE_TIPADO bloco[2] = {Reg(4), Reg(5)};
    ASSERT_EQ(arq->SetArrayData(bloco, sizeof bloco + 3), S_OK);  // a partial record is dropped
    EXPECT_EQ(Codigos(*arq), (std::vector<ULONG>{4, 5}));
    ULONGLONG pos = 0;
    const REG_TESTE_TIPADO seis = Reg(6);
    ASSERT_EQ(arq->SetRegData(pos, &seis), S_OK);
    EXPECT_EQ(pos, 3u);
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
    std::vector<ULONGLONG> lista = {1};
    EXPECT_EQ(arq->ExisteIndex(25, lista, 0), S_OK);
    EXPECT_TRUE(lista.empty());
    EXPECT_EQ(arq->ExisteIndex(20, pos, 2), E_QVCR_COLUNA_INDEXACAO_INVALIDA);
    EXPECT_EQ(Posicoes(*arq, 0, 1), (std::vector<ULONGLONG>{1, 2, 3}));  // group 0, zero allowed
}

TEST_F(QVFileTeste, NoRepeatIndexKeepsOwnKeyAndRefusesAnother) {
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
    EXPECT_EQ(arq->GravaColecao(pos, std::vector<REG_TESTE_TIPADO>{Reg(40), Reg(40)}),
              E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA);

    // Nothing changed: disk, memory and index.
    EXPECT_EQ(LeArquivo(Caminho()), antes);
    EXPECT_EQ(Codigos(*arq), (std::vector<ULONG>{10, 20, 30}));
    EXPECT_EQ(Posicoes(*arq, 20, 0), (std::vector<ULONGLONG>{2}));
    EXPECT_EQ(Posicoes(*arq, 30, 0), (std::vector<ULONGLONG>{3}));
    EXPECT_TRUE(Posicoes(*arq, 40, 0).empty());
}

TEST_F(QVFileTeste, RewrittenKeyLeavesTheIndex) {
    auto arq = ComRegistros({10, 20, 30});
    ASSERT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
    ULONGLONG pos = 2;
    ASSERT_EQ(arq->Grava(pos, Reg(25)), S_OK);
    EXPECT_TRUE(Posicoes(*arq, 20, 0).empty());
    EXPECT_EQ(Posicoes(*arq, 25, 0), (std::vector<ULONGLONG>{2}));
    // The freed key can be taken by another record now.
    pos = 0;
    EXPECT_EQ(arq->Grava(pos, Reg(20)), S_OK);
    EXPECT_EQ(Posicoes(*arq, 20, 0), (std::vector<ULONGLONG>{4}));
}

TEST_F(QVFileTeste, RepeatIndexListsPositionsAscending) {
    auto arq = Novo();
    ASSERT_EQ(arq->IncluiIndex(ChaveGrupo, 0, true, true), S_OK);
    ULONGLONG pos = 0;
    ASSERT_EQ(arq->GravaColecao(pos, std::vector<REG_TESTE_TIPADO>{Reg(1, 5), Reg(2, 9), Reg(3, 9), Reg(4, 5)}), S_OK);
    EXPECT_EQ(Posicoes(*arq, 5, 0), (std::vector<ULONGLONG>{1, 4}));
    pos = 2;
    ASSERT_EQ(arq->Grava(pos, Reg(2, 5)), S_OK);
    EXPECT_EQ(Posicoes(*arq, 5, 0), (std::vector<ULONGLONG>{1, 2, 4}));
    EXPECT_EQ(Posicoes(*arq, 9, 0), (std::vector<ULONGLONG>{3}));
    pos = 0;
    ASSERT_EQ(arq->Grava(pos, Reg(5, 9)), S_OK);
    ULONGLONG menor = 0;
    ASSERT_EQ(arq->ExisteIndex(9, menor, 0), S_OK);
    EXPECT_EQ(menor, 3u);
    EXPECT_EQ(Posicoes(*arq, 9, 0), (std::vector<ULONGLONG>{3, 5}));
}

TEST_F(QVFileTeste, IndexOverExistingRepeatsFailsButStays) {
    auto arq = ComRegistros({10, 10, 30});
    EXPECT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA);
    EXPECT_EQ(arq->GetQtdIndices(), 1u);
    EXPECT_EQ(Posicoes(*arq, 10, 0), (std::vector<ULONGLONG>{1, 2}));
    EXPECT_EQ(Posicoes(*arq, 30, 0), (std::vector<ULONGLONG>{3}));
}

TEST_F(QVFileTeste, TextKeysAreTheCrcOfTheCharacters) {
    auto arq = Novo();
    ASSERT_EQ(arq->IncluiIndex(ChaveNome, 0, false, false), S_OK);
    ULONGLONG pos = 0;
    ASSERT_EQ(arq->GravaColecao(pos, std::vector<REG_TESTE_TIPADO>{Reg(1, 0, "bomba"), Reg(2, 0, "valvula")}), S_OK);
    ULONGLONG achada = 0;
    ASSERT_EQ(arq->ExisteIndex(std::string_view("valvula"), achada, 0), S_OK);
    EXPECT_EQ(achada, 2u);
    std::vector<ULONGLONG> lista;
    ASSERT_EQ(arq->ExisteIndex(std::string_view("bomba"), lista, 0), S_OK);
    EXPECT_EQ(lista, (std::vector<ULONGLONG>{1}));
    EXPECT_EQ(QVChaveIndexTexto("123456789"), 0x2B9C7EE4E2780C8Aull);
}

TEST_F(QVFileTeste, DeletingTheFileDropsRecordsAndIndexes) {
    auto arq = ComRegistros({1, 2});
    ASSERT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
    ASSERT_EQ(arq->DeletaArquivo(), S_OK);
    EXPECT_FALSE(fs::exists(Caminho()));
    EXPECT_EQ(arq->GetQtdRegistros(), 0u);
    EXPECT_EQ(arq->GetQtdIndices(), 0u);
    ULONGLONG pos = 0;
    ASSERT_EQ(arq->Grava(pos, Reg(3)), S_OK);
    EXPECT_EQ(pos, 1u);
}

// ---- Concurrency ----------------------------------------------------------------------------

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
                REG_TESTE_TIPADO r{};
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
    EXPECT_EQ(arq->GetQtdRegistros(), 60u);
}

}  // namespace
