// Group files: member names from the key, discovery among look-alike names,
// members created by their first write, reopening, the family's indexes,
// deletion and concurrent use of different members.

#include <map>

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVGroupFile.h"
#include "support/MotorFalhas.h"
#include "support/MotorTeste.h"
#include "support/ArquivosLog.h"
#include "values/QVMesAno.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using namespace zenta::teste;

// A member's record carries its key in lGrupo.
using Grupo = CQVGroupFile<REG_TESTE>;
constexpr const char* PADRAO = "GEMOVTESTE??????.dat";

ULONGLONG Chave(int mes, int ano) { return QVMAToChave(QVMAFromMesAno(mes, ano)); }
REG_TESTE Mov(ULONG codigo, ULONGLONG chave) { return Reg(codigo, static_cast<ULONG>(chave), "mov"); }

class QVGroupFileTeste : public ::testing::Test {
protected:
    QVGroupFileTeste() : m_escopo(nullptr, PoliticaRapida()), m_db(QV_MODULO_GE) {}
    fs::path Dados() const { return DadosGE(m_home); }
    // Every entry of the data directory with its bytes (directories as "<dir>").
    std::map<std::string, std::string> Conteudo() const {
        std::map<std::string, std::string> m;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(Dados(), ec))
            m[e.path().filename().string()] = e.is_symlink()     ? "<link>"
                                              : e.is_directory() ? "<dir>"
                                                                 : LeArquivo(e.path());
        return m;
    }
    // Writes records under keys through a group of its own, then closes it.
    void Popula(const std::vector<std::pair<ULONGLONG, ULONG>>& registros) {
        Grupo g(PADRAO, &m_db);
        ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
        for (const auto& [chave, codigo] : registros) {
            ULONGLONG pos = 0;
            ASSERT_EQ(g.Grava(chave, pos, Mov(codigo, chave)), S_OK);
        }
        ASSERT_EQ(g.Finaliza(), S_OK);
    }

    ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
    zenta::CQVContainerArquivosSimples m_db;
};

TEST(QVGroupFileNomes, MemberNamesPatternsAndStrictMemberMatch) {
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    Grupo g("gemov??????.DAT", &db);
    EXPECT_EQ(g.GetNomeArquivo(), "GEMOV??????.dat");
    std::string nome;
    EXPECT_EQ(g.GetNomeArquivoMembro(Chave(7, 2022), nome), S_OK);
    EXPECT_EQ(nome, "GEMOV072022.dat");
    EXPECT_EQ(g.GetNomeArquivoMembro(0, nome), S_OK);
    EXPECT_EQ(nome, "GEMOV000000.dat");
    // A key wider than the run would never be found again.
    EXPECT_EQ(g.GetNomeArquivoMembro(1234567, nome), E_QVCR_NOME_ARQUIVO_GROUP_INVALIDO);
    EXPECT_TRUE(nome.empty());

    for (const char* valido : {"GEMOVMANUT??????.dat", "??????.dat", "GEMOV??"})
        EXPECT_TRUE(zenta::PadraoGrupoValido(valido)) << valido;
    for (const char* invalido : {"GEMOVMANUT.dat", "GE??MOV??.dat", "GEMOV??X.dat", "GEMOV.??", "../GEMOV??.dat",
                                 "sub/GEMOV??.dat", "sub\\GEMOV??.dat"})
        EXPECT_FALSE(zenta::PadraoGrupoValido(invalido)) << invalido;
    ULONGLONG chave = 99;
    EXPECT_TRUE(zenta::CasaMembroGrupo("gemov07.DAT", "GEMOV??.dat", chave));
    EXPECT_EQ(chave, 7u);
    for (const auto& [membro, padrao] : {std::pair{"GEMOV1..dat", "GEMOV??.dat"}, {"GEMOV1.", "GEMOV??"},
                                         {"GEMOV-1.dat", "GEMOV??.dat"},
                                         // Twenty nines do not fit 64 bits: not a member rather than a wrapped key.
                                         {"X99999999999999999999.dat", "X????????????????????.dat"}})
        EXPECT_FALSE(zenta::CasaMembroGrupo(membro, padrao, chave)) << membro;
    EXPECT_TRUE(zenta::CasaMembroGrupo("X18446744073709551615.dat", "X????????????????????.dat", chave));
    EXPECT_EQ(chave, 18446744073709551615ull);
}

TEST_F(QVGroupFileTeste, InvalidPatternRefusesStartUpAndWrites) {
    for (const char* padrao : {"GEMOVTESTE.dat", "GE??MOV??.dat", "../GEMOV??.dat", "sub/GEMOV??.dat"}) {
        Grupo g(padrao, &m_db);
        EXPECT_EQ(g.Inicializa("EMP", 7, 42), E_QVCR_NOME_ARQUIVO_GROUP_INVALIDO) << padrao;
        ULONGLONG pos = 0;
        EXPECT_EQ(g.Grava(1, pos, Mov(1, 1)), E_QVCR_NOME_ARQUIVO_GROUP_INVALIDO) << padrao;
    }
    // Nothing was created anywhere (the error log aside).
    for (const std::string& nome : ArquivosAbaixo(m_home.Raiz()))
        EXPECT_EQ(nome.find("GEMOV"), std::string::npos) << nome;
}

TEST_F(QVGroupFileTeste, DiscoveryLoadsMembersAndLeavesLookAlikesUntouched) {
    Popula({{Chave(6, 2022), 61}, {Chave(7, 2022), 71}, {Chave(7, 2022), 72}});
    // Names that look like members but are not; their bytes would not even load.
    for (const char* nome : {"GEMOVTESTE07202A.dat", "GEMOVTESTE0720222.dat", "GEMOVTESTE07202.dat",
                             "GEMOVTESTE072022.txt", "GEMOVTESTE072022.srk", "GEMOVTESTE072022.dat.bak",
                             "XEMOVTESTE072022.dat", "GEMOVTESTE 72022.dat", "GEMOVTESTE+72022.dat",
                             "GEMOVTESTE-72022.dat", "GEMOVTESTE0x1F22.dat", "GEMOVTESTE.dat"})
        GravaBytes(Dados() / nome, "xyz");
    fs::create_directory(Dados() / "GEMOVTESTE082022.dat");
    fs::create_symlink(Dados() / "GEMOVTESTE072022.dat", Dados() / "GEMOVTESTE092022.dat");
    // The members' headers are brought up to date when they close; the
    // look-alikes must not change at all.
    const auto SemelhantesDe = [](std::map<std::string, std::string> m) {
        m.erase("GEMOVTESTE062022.dat");
        m.erase("GEMOVTESTE072022.dat");
        return m;
    };
    const auto antes = SemelhantesDe(Conteudo());
    ASSERT_EQ(antes.size(), 14u);

    Grupo g(PADRAO, &m_db);
    ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(g.GetChaves(), (std::vector<ULONGLONG>{Chave(6, 2022), Chave(7, 2022)}));
    EXPECT_EQ(g.GetQtdRegistros(), 3u);
    REG_TESTE r{};
    EXPECT_EQ(g.Le(Chave(7, 2022), 2, &r), S_OK);
    EXPECT_EQ(r.lCodigo, 72u);
    r.lCodigo = 5;
    EXPECT_EQ(g.Le(Chave(5, 2022), 1, &r), E_QVDATABASE_MEMBRO_GRUPO_NAO_EXISTE);
    EXPECT_EQ(r.lCodigo, 0u);  // zeroed on failure
    EXPECT_EQ(g.Le(Chave(7, 2022), 3, &r), E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    ASSERT_EQ(g.Finaliza(), S_OK);
    EXPECT_EQ(SemelhantesDe(Conteudo()), antes);
}

TEST_F(QVGroupFileTeste, MemberNamedInAnotherLetterCaseIsFound) {
    REG_TESTE regs[2] = {Mov(1, Chave(3, 2023)), Mov(2, Chave(3, 2023))};
    GravaBytes(Dados() / "gemovteste032023.DAT", std::string(reinterpret_cast<const char*>(regs), sizeof regs));
    Grupo g(PADRAO, &m_db);
    ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(g.GetChaves(), std::vector<ULONGLONG>{Chave(3, 2023)});
    REG_TESTE r{};
    EXPECT_EQ(g.Le(Chave(3, 2023), 2, &r), S_OK);
    EXPECT_EQ(r.lCodigo, 2u);
}

TEST_F(QVGroupFileTeste, MemberFileIsCreatedOnlyByItsFirstWrite) {
    Grupo g(PADRAO, &m_db);
    ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
    const ULONGLONG k = Chave(7, 2022);
    EXPECT_EQ(g.GetQtdArquivos(), 0u);
    EXPECT_EQ(g.GetQtdRegistros(k), 0u);
    std::vector<ULONGLONG> lista{1, 2};
    EXPECT_EQ(g.ExisteIndex(k, 10, lista, 0), S_OK);
    EXPECT_TRUE(lista.empty());
    // Neither an empty collection nor a refused write leaves a member or a file.
    ULONGLONG pos = 0;
    EXPECT_EQ(g.GravaColecao(k, pos, std::vector<REG_TESTE>{}), S_OK);
    pos = 3;
    EXPECT_EQ(g.Grava(k, pos, Mov(1, k)), E_QVCR_POSICAO_GRAVACAO_SUPERIOR_QUANTIDADE_ARQUIVO);
    EXPECT_FALSE(g.ExisteMembro(k));
    EXPECT_TRUE(ArquivosAbaixo(Dados()).empty());

    for (ULONG c = 1; c <= 2; ++c) {
        pos = 0;
        ASSERT_EQ(g.Grava(k, pos, Mov(c, k)), S_OK);
        EXPECT_EQ(pos, c);
    }
    EXPECT_EQ(ArquivosAbaixo(Dados()), std::vector<std::string>{"GEMOVTESTE072022.dat"});
    const std::string bytes = LeArquivo(Dados() / "GEMOVTESTE072022.dat");
    ASSERT_EQ(bytes.size(), 240u + 2 * sizeof(REG_TESTE));
    EXPECT_EQ(bytes[0], 1);  // header version 1
}

TEST_F(QVGroupFileTeste, FamilyIndexesApplyToNewAndFoundMembers) {
    const ULONGLONG a = Chave(6, 2022), b = Chave(7, 2022);
    {
        Grupo g(PADRAO, &m_db);
        ASSERT_EQ(g.IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
        ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
        ULONGLONG pos = 0;
        ASSERT_EQ(g.Grava(a, pos, Mov(10, a)), S_OK);
        pos = 0;
        ASSERT_EQ(g.Grava(b, pos, Mov(10, b)), S_OK);  // indexes are per member
        pos = 0;
        EXPECT_EQ(g.Grava(a, pos, Mov(10, a)), E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA);
        EXPECT_EQ(g.GetQtdRegistros(a), 1u);
        ASSERT_EQ(g.Finaliza(), S_OK);
        // Definitions outlive a re-initialisation and reach the members found on disk.
        ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
        ULONGLONG achada = 0;
        EXPECT_EQ(g.ExisteIndex(b, 10, achada, 0), S_OK);
        EXPECT_EQ(achada, 1u);
    }
    Grupo g(PADRAO, &m_db);
    ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(g.IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
    EXPECT_EQ(g.IncluiIndex(ChaveCodigo, 0, false, true), E_QVCR_COLUNA_INDEXACAO_INVALIDA);
    std::vector<ULONGLONG> lista;
    EXPECT_EQ(g.ExisteIndex(a, 10, lista, 0), S_OK);
    EXPECT_EQ(lista, std::vector<ULONGLONG>{1});
    ULONGLONG pos = 0;
    EXPECT_EQ(g.Grava(b, pos, Mov(10, b)), E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA);
}

TEST_F(QVGroupFileTeste, DeletionRemovesEveryMemberAndNothingElse) {
    Popula({{Chave(6, 2022), 1}, {Chave(7, 2022), 2}});
    GravaBytes(Dados() / "GEMOVTESTE07202A.dat", "xyz");
    GravaBytes(Dados() / "GEMOVTESTE072022.txt", "xyz");
    Grupo g(PADRAO, &m_db);
    ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(g.DeletaArquivo(), S_OK);
    EXPECT_EQ(g.GetQtdArquivos(), 0u);
    EXPECT_EQ(g.GetQtdRegistros(), 0u);
    const auto resto = Conteudo();
    EXPECT_EQ(resto.size(), 2u);
    EXPECT_TRUE(resto.contains("GEMOVTESTE07202A.dat") && resto.contains("GEMOVTESTE072022.txt"));
    ULONGLONG pos = 0;
    ASSERT_EQ(g.Grava(Chave(6, 2022), pos, Mov(3, Chave(6, 2022))), S_OK);
    EXPECT_EQ(pos, 1u);
}

TEST_F(QVGroupFileTeste, MembersLoadWhenFirstReachedAndADamagedOneFailsOnlyItsOwnCalls) {
    Popula({{Chave(6, 2022), 1}, {Chave(7, 2022), 2}, {Chave(8, 2022), 3}});
    const fs::path danificado = Dados() / "GEMOVTESTE072022.dat";
    const std::string bom = LeArquivo(danificado);
    GravaBytes(danificado, std::string(17, 'x'));
    Grupo g(PADRAO, &m_db);
    ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(g.GetChaves(), (std::vector<ULONGLONG>{Chave(6, 2022), Chave(7, 2022), Chave(8, 2022)}));
    REG_TESTE r{};
    for (int vez = 0; vez < 2; ++vez) {  // a failed load is tried again
        EXPECT_EQ(g.Le(Chave(7, 2022), 1, r), E_QVCR_ARQUIVO_NAO_EH_MOD_ESTRUTURA);
        ULONGLONG pos = 0;
        EXPECT_EQ(g.Grava(Chave(7, 2022), pos, Mov(9, Chave(7, 2022))), E_QVCR_ARQUIVO_NAO_EH_MOD_ESTRUTURA);
    }
    ASSERT_EQ(g.Le(Chave(8, 2022), 1, r), S_OK);
    EXPECT_EQ(r.lCodigo, 3u);
    const std::string log = LeArquivo(m_home.Raiz() / "data" / "EMP" / "DF" /
                                      ("QVProfilerErros_Base_" + SufixoMesAtual() + ".log"));
    EXPECT_NE(log.find("membro.Inicializa"), std::string::npos);
    // Put right on disk, the month loads at its next call.
    GravaBytes(danificado, bom);
    EXPECT_EQ(g.GetQtdRegistros(Chave(7, 2022)), 1u);
    EXPECT_EQ(g.GetQtdRegistros(), 3u);
}

TEST_F(QVGroupFileTeste, ConcurrentReadersAndWritersOfDifferentMembers) {
    constexpr int ESCRITORES = 4;
    constexpr ULONG POR_ESCRITOR = 40;
    // The readers also race to the first load of months found on disk.
    Popula({{Chave(12, 2023), 1}, {Chave(1, 2023), 1}, {Chave(2, 2023), 1}, {Chave(3, 2023), 1}});
    Grupo g(PADRAO, &m_db);
    ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
    std::atomic<bool> fim{false};
    std::atomic<int> falhas{0};
    std::vector<std::thread> threads;
    for (int e = 0; e < ESCRITORES; ++e)
        threads.emplace_back([&, e] {
            const ULONGLONG k = Chave(e + 1, 2024);
            for (ULONG i = 1; i <= POR_ESCRITOR; ++i) {
                ULONGLONG pos = 0;
                if (FAILED(g.Grava(k, pos, Mov(i, k))) || pos != i) ++falhas;
            }
        });
    for (int l = 0; l < 2; ++l)
        threads.emplace_back([&] {
            while (!fim.load()) {
                for (const ULONGLONG k : g.GetChaves()) {
                    const ULONGLONG n = g.GetQtdRegistros(k);
                    REG_TESTE r{};
                    if (n > 0 && (FAILED(g.Le(k, n, r)) || r.lGrupo != k)) ++falhas;
                }
                (void)g.GetQtdRegistros();
            }
        });
    for (int e = 0; e < ESCRITORES; ++e) threads[static_cast<std::size_t>(e)].join();
    fim = true;
    for (std::size_t t = ESCRITORES; t < threads.size(); ++t) threads[t].join();
    EXPECT_EQ(falhas.load(), 0);
    EXPECT_EQ(g.GetQtdRegistros(), 4u + ESCRITORES * POR_ESCRITOR);
    ASSERT_EQ(g.Finaliza(), S_OK);

    Grupo reaberto(PADRAO, &m_db);
    ASSERT_EQ(reaberto.Inicializa("EMP", 7, 42), S_OK);
    for (int e = 0; e < ESCRITORES; ++e) {
        const ULONGLONG k = Chave(e + 1, 2024);
        ASSERT_EQ(reaberto.GetQtdRegistros(k), POR_ESCRITOR);
        for (ULONG i = 1; i <= POR_ESCRITOR; ++i) {
            REG_TESTE r{};
            ASSERT_EQ(reaberto.Le(k, i, r), S_OK);
            EXPECT_EQ(r.lCodigo, i);
        }
    }
}

}  // namespace

// An index kept across members names, for every key, each member holding it
// (perhaps more, never fewer), whether the members were written before or
// after its table was made, written over, found on disk or indexed late, and
// forgets them with the files.
TEST_F(QVGroupFileTeste, IndexAcrossMembersNamesEveryMemberHoldingAKey) {
    std::vector<ULONGLONG> meses;
    for (int m = 1; m <= 8; ++m) meses.push_back(Chave(m, 2021 + m % 3));
    const auto confere = [&](const Grupo& g, const char* quando) {
        SCOPED_TRACE(quando);
        std::map<ULONG, std::vector<ULONGLONG>> esperado;  // code -> members holding it, ascending
        for (const ULONGLONG k : g.GetChaves())
            for (ULONGLONG p = 1; p <= g.GetQtdRegistros(k); ++p) {
                REG_TESTE r{};
                ASSERT_EQ(g.Le(k, p, r), S_OK);
                auto& lista = esperado[r.lCodigo];
                if (lista.empty() || lista.back() != k) lista.push_back(k);
            }
        for (ULONG codigo = 1; codigo <= 12; ++codigo) {
            std::vector<ULONGLONG> membros;
            ASSERT_EQ(g.MembrosComChave(codigo, 0, membros), S_OK);
            EXPECT_TRUE(std::is_sorted(membros.begin(), membros.end()));
            for (const ULONGLONG k : esperado[codigo])
                EXPECT_TRUE(std::binary_search(membros.begin(), membros.end(), k)) << "code " << codigo << " in " << k;
        }
    };
    {
        Grupo g(PADRAO, &m_db);
        ASSERT_EQ(g.IncluiIndex(ChaveCodigo, 0, false, true, true), S_OK);
        ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
        std::vector<ULONGLONG> membros;
        EXPECT_EQ(g.MembrosComChave(1, 1, membros), E_QVCR_COLUNA_INDEXACAO_INVALIDA);
        unsigned semente = 7;
        const auto proximo = [&](unsigned n) { return (semente = semente * 1103515245u + 12345u) / 65536u % n; };
        // The table is made by the first look, with some members there, and
        // kept by the writes after it (new members among them).
        for (int i = 0; i < 200; ++i) {
            if (i == 40) confere(g, "made");
            const ULONGLONG k = meses[proximo(meses.size())];
            // One write in four goes over a record already there, with another code.
            ULONGLONG pos = (g.GetQtdRegistros(k) > 0 && proximo(4) == 0) ? 1 + proximo(g.GetQtdRegistros(k)) : 0;
            ASSERT_EQ(g.Grava(k, pos, Mov(1 + proximo(12), k)), S_OK);
        }
        confere(g, "written");
        ASSERT_EQ(g.Finaliza(), S_OK);
        ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
        confere(g, "found on disk");
    }
    Grupo g(PADRAO, &m_db);
    ASSERT_EQ(g.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(g.IncluiIndex(ChaveCodigo, 0, false, true, true), S_OK);
    confere(g, "indexed after start-up");
    ASSERT_EQ(g.DeletaArquivo(), S_OK);
    std::vector<ULONGLONG> membros;
    ASSERT_EQ(g.MembrosComChave(3, 0, membros), S_OK);
    EXPECT_TRUE(membros.empty());
}
