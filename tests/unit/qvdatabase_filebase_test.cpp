// The record-file base: header creation, validation and insertion, open
// modes and sharing between writers, and the single-record file.

#include "platform/QVDiretorios.h"
#include "platform/QVModulos.h"
#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "core/qvdatabase/QVFileBase.h"
#include "core/qvdatabase/QVFileSingleReg.h"
#include "support/MotorFalhas.h"
#include "support/MotorTeste.h"
#include "support/ZentaHomeTemporario.h"
#include "values/QVCrc64.h"

using namespace zenta;

namespace {

#pragma pack(push, 1)
struct REG_TESTE_UNICO {
    ULONG lCodigo;
    char szNome[28];
};
#pragma pack(pop)
static_assert(sizeof(REG_TESTE_UNICO) == 32);

namespace fs = std::filesystem;
using zenta::teste::CabecalhoDe;
using zenta::teste::GravaBytes;
using zenta::teste::LeArquivo;
using Unico = CQVFileSingleReg<REG_TESTE_UNICO>;

REG_TESTE_UNICO Registro(ULONG codigo, const char* nome) {
    REG_TESTE_UNICO r{};
    r.lCodigo = codigo;
    std::strncpy(r.szNome, nome, sizeof r.szNome - 1);
    return r;
}

std::string BytesDe(const REG_TESTE_UNICO& r) { return std::string(reinterpret_cast<const char*>(&r), sizeof r); }

std::shared_ptr<zenta::teste::CamadaFalhas> FalhaRenomeia() {
    return std::make_shared<zenta::teste::CamadaFalhas>([](const zenta::teste::Passo& p) {
        return p.tipo == zenta::teste::PassoSO::renomeia ? zenta::teste::kFalha : zenta::teste::kPassa;
    });
}

class QVFileBaseTeste : public ::testing::Test {
protected:
    QVFileBaseTeste() : m_escopo(nullptr, zenta::teste::PoliticaRapida()) {}
    fs::path Caminho(const std::string& nome) const { return m_home.Raiz() / "data" / "EMP" / "GE" / nome; }

    // A file with a valid header as the engine writes it, then changed by `muda`.
    std::string ArquivoComCabecalhoAlterado(const std::function<void(REG_QVDATABASE_CABECALHO_V1&)>& muda,
                                            bool recalculaCrc = true) {
        {
            zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
            Unico arq("GEUNICO.dat", &db);
            EXPECT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
            EXPECT_EQ(arq.Grava(Registro(1, "um")), S_OK);
            arq.Finaliza();
        }
        std::string bytes = LeArquivo(Caminho("GEUNICO.dat"));
        REG_QVDATABASE_CABECALHO_V1 c = CabecalhoDe(bytes);
        muda(c);
        if (recalculaCrc) c.ullCrcCabecalho = zenta::CrcCabecalho(c);
        bytes.replace(0, sizeof c, reinterpret_cast<const char*>(&c), sizeof c);
        GravaBytes(Caminho("GEUNICO.dat"), bytes);
        return bytes;
    }

    HRESULT Abre(const std::string& nome, bool semBloqueio = false) {
        zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
        db.SetLeituraSemBloqueio(semBloqueio);
        Unico arq(nome, &db);
        const HRESULT hr = arq.Inicializa("EMP", 7, 42);
        arq.Finaliza();
        return hr;
    }

    zenta::teste::ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
};

TEST(QVDataBaseUtil, NamesAndPathsStayInsideTheDataDirectory) {
    EXPECT_EQ(zenta::NormalizaNomeArquivo("gempCadManPrev.DAT"), "GEMPCADMANPREV.dat");
    ULONGLONG chave = 0;
    EXPECT_TRUE(zenta::CasaPadraoGrupo("gemovmanut072022.DAT", "GEMOVMANUT??????.dat", chave));
    EXPECT_EQ(chave, 72022u);
    EXPECT_FALSE(zenta::CasaPadraoGrupo("GEMOVMANUT07A022.dat", "GEMOVMANUT??????.dat", chave));
    EXPECT_FALSE(zenta::CasaPadraoGrupo("GEMOVMANUT0720221.dat", "GEMOVMANUT??????.dat", chave));

    zenta::teste::ZentaHomeTemporario home;
    fs::path p;
    EXPECT_EQ(CQVDataBaseUtil::GetPathArquivo(QV_MODULO_GE, "EMP", "GEMPMED.dat", p), S_OK);
    EXPECT_EQ(p, home.Raiz() / "data" / "EMP" / "GE" / "GEMPMED.dat");
    for (const char* nome : {"", ".", "..", "../x.dat", "a/b.dat", "a\\b.dat"})
        EXPECT_EQ(CQVDataBaseUtil::GetPathArquivo(QV_MODULO_GE, "EMP", nome, p), E_QVDATABASE_NOME_ARQUIVO_INVALIDO)
            << nome;
    EXPECT_EQ(CQVDataBaseUtil::GetPathArquivo(QV_MODULO_GE, "../X", "A.dat", p), E_QV_NOME_EMPRESA_INVALIDO);
}

// ---- Header creation and insertion ----------------------------------------------------------

TEST_F(QVFileBaseTeste, FirstWriteCreatesHeaderAndRecord) {
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    Unico arq("geunico.DAT", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    REG_TESTE_UNICO lido = Registro(9, "lixo");
    EXPECT_EQ(arq.Le(lido), E_QVCR_ARQUIVO_NAO_EXISTE);
    EXPECT_EQ(lido.lCodigo, 0u);
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.dat")));

    ASSERT_EQ(arq.Grava(Registro(5, "cinco")), S_OK);
    const std::string bytes = LeArquivo(Caminho("GEUNICO.dat"));
    ASSERT_EQ(bytes.size(), 240u + 32u);
    EXPECT_EQ(bytes.substr(240), BytesDe(Registro(5, "cinco")));
    const REG_QVDATABASE_CABECALHO_V1 c = CabecalhoDe(bytes);
    EXPECT_EQ(c.ullTamanhoDadosCabecalho, 216u);
    EXPECT_EQ(c.ullTamanhoDados, 32u);
    EXPECT_EQ(c.ullCrcCabecalho, zenta::CrcCabecalho(c));
    EXPECT_EQ(c.ullSessao, 42u);
    EXPECT_EQ(c.ulUsuario, 7u);
    EXPECT_EQ(c.usVersaoMotorCriacao, 127);
    EXPECT_STREQ(c.szNomeArquivo, "GEUNICO.dat");
    EXPECT_STREQ(c.szEmpresa, "EMP");
    EXPECT_EQ(c.dhCriacao & ~QVDATAHORA_MASCARA, 0u);
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.cab")));
    // The same record again leaves the file as it is; another counts one update.
    ASSERT_EQ(arq.Grava(Registro(5, "cinco")), S_OK);
    EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")), bytes);
    ASSERT_EQ(arq.Grava(Registro(6, "seis")), S_OK);
    EXPECT_EQ(CabecalhoDe(LeArquivo(Caminho("GEUNICO.dat"))).ullContadorAtualizacoes, c.ullContadorAtualizacoes + 1);
}

TEST_F(QVFileBaseTeste, HeaderLongNamesKeepTheirLast23Characters) {
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    Unico arq("GEUMNOMEDEARQUIVOMUITOLONGO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMPRESA_COM_UM_NOME_BEM_COMPRIDO", 7, 42), S_OK);
    ASSERT_EQ(arq.Grava(Registro(1, "x")), S_OK);
    const REG_QVDATABASE_CABECALHO_V1 c = CabecalhoDe(
        LeArquivo(m_home.Raiz() / "data" / "EMPRESA_COM_UM_NOME_BEM_COMPRIDO" / "GE" / "GEUMNOMEDEARQUIVOMUITOLONGO.dat"));
    EXPECT_STREQ(c.szNomeArquivo, "DEARQUIVOMUITOLONGO.dat");
    EXPECT_STREQ(c.szEmpresa, "OM_UM_NOME_BEM_COMPRIDO");
    arq.Finaliza();
    // The truncated name still matches on the next open.
    Unico outro("GEUMNOMEDEARQUIVOMUITOLONGO.dat", &db);
    EXPECT_EQ(outro.Inicializa("EMPRESA_COM_UM_NOME_BEM_COMPRIDO", 7, 42), S_OK);
}

TEST_F(QVFileBaseTeste, ZeroByteFileIsRefusedAndACreationCutShortLeavesNoFile) {
    // A file is only ever given its name with its header: zero bytes is a
    // file that lost its content, refused in every mode and left as it is.
    GravaBytes(Caminho("GEUNICO.dat"), "");
    EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
    EXPECT_EQ(Abre("GEUNICO.dat", true), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
    EXPECT_EQ(fs::file_size(Caminho("GEUNICO.dat")), 0u);
    fs::remove(Caminho("GEUNICO.dat"));

    // A creation that never reaches its rename leaves only the twin, which
    // the next writer clears; the file then reads as missing, and is made.
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    {
        Unico arq("GEUNICO.dat", &db);
        ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
        zenta::EscopoArquivoSO falha(FalhaRenomeia(), zenta::teste::PoliticaRapida());
        EXPECT_NE(arq.Grava(Registro(1, "um")), S_OK);
    }
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.dat")));
    GravaBytes(Caminho("GEUNICO.cab"), std::string(240, 'c'));  // as a kill before the rename leaves it
    Unico arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.cab")));
    ASSERT_EQ(arq.Grava(Registro(2, "dois")), S_OK);
    EXPECT_EQ(CabecalhoDe(LeArquivo(Caminho("GEUNICO.dat"))).ullTamanhoDados, sizeof(REG_TESTE_UNICO));
}

TEST_F(QVFileBaseTeste, HeaderlessDataGainsHeaderWithItsRecordsBehind) {
    // Plain records; a first u16 of zero; a valid prefix with a wrong second CRC.
    REG_QVDATABASE_CABECALHO_V1 c{};
    zenta::PreenchePrefixoCabecalhoV1(c);
    c.ullCrcCrcVersao ^= 1;
    std::string quase(32, '\0');
    std::memcpy(quase.data(), &c, 24);
    std::string zero(32, '\0');
    zero[5] = 'x';
    for (const std::string& dados : {BytesDe(Registro(3, "legado")), zero, quase}) {
        GravaBytes(Caminho("GEUNICO.dat"), dados);
        zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
        Unico arq("GEUNICO.dat", &db);
        ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
        const std::string bytes = LeArquivo(Caminho("GEUNICO.dat"));
        ASSERT_EQ(bytes.size(), 240u + dados.size());
        EXPECT_EQ(bytes.substr(240), dados);
        EXPECT_EQ(CabecalhoDe(bytes).ullTamanhoDados, dados.size());
        EXPECT_FALSE(fs::exists(Caminho("GEUNICO.cab")));
        REG_TESTE_UNICO lido{};
        ASSERT_EQ(arq.Le(lido), S_OK);
        EXPECT_EQ(BytesDe(lido), dados);
        arq.Finaliza();
        fs::remove(Caminho("GEUNICO.dat"));
    }
}

TEST_F(QVFileBaseTeste, LeftOverCabCopyIsRemovedAndTheInsertionRunsAgain) {
    // A copy cut short, an empty one (a kill right after its creation) and a
    // complete one whose rename failed: the file is intact each time.
    const std::string registro = BytesDe(Registro(3, "legado"));
    for (const std::string& resto : {std::string("resto"), std::string()}) {
        GravaBytes(Caminho("GEUNICO.dat"), registro);
        GravaBytes(Caminho("GEUNICO.cab"), resto);
        EXPECT_EQ(Abre("GEUNICO.dat"), S_OK);
        EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")).substr(240), registro);
        EXPECT_FALSE(fs::exists(Caminho("GEUNICO.cab")));
    }
    GravaBytes(Caminho("GEUNICO.dat"), registro);
    {
        zenta::EscopoArquivoSO falha(FalhaRenomeia(), zenta::teste::PoliticaRapida());
        EXPECT_EQ(Abre("GEUNICO.dat"), E_QVDATABASE_eHardIO);
    }
    EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")), registro);
    EXPECT_EQ(LeArquivo(Caminho("GEUNICO.cab")).size(), 240u + registro.size());
    EXPECT_EQ(Abre("GEUNICO.dat"), S_OK);
    EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")).substr(240), registro);
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.cab")));
}

TEST_F(QVFileBaseTeste, HeaderInsertionFailingAtAnyStepKeepsTheRecords) {
    // Fails the k-th step of the insertion: creating the copy, each write to
    // it (half of it landing), flushing it, the rename, the directory flush.
    const std::string registro = BytesDe(Registro(3, "legado"));
    bool chegouAoFim = false;
    for (int passo = 1; passo < 20 && !chegouAoFim; ++passo) {
        GravaBytes(Caminho("GEUNICO.dat"), registro);
        fs::remove(Caminho("GEUNICO.cab"));
        int passos = 0;
        auto falha = std::make_shared<zenta::teste::CamadaFalhas>([&](const zenta::teste::Passo& p) {
            using zenta::teste::PassoSO;
            if (p.tipo == PassoSO::remove || p.tipo == PassoSO::trunca) return zenta::teste::kPassa;
            if ((p.tipo == PassoSO::grava || p.tipo == PassoSO::sincroniza) && p.nome != "GEUNICO.cab")
                return zenta::teste::kPassa;
            if (++passos != passo) return zenta::teste::kPassa;
            if (p.tipo != PassoSO::grava) return zenta::teste::kFalha;
            return zenta::teste::Resposta{zenta::teste::Resposta::rasga, zenta::CausaArquivo::erroFisico};
        });
        HRESULT hr = S_OK;
        {
            zenta::EscopoArquivoSO escopo(falha, zenta::teste::PoliticaRapida());
            hr = Abre("GEUNICO.dat");
        }
        chegouAoFim = passos < passo;
        const std::string depois = LeArquivo(Caminho("GEUNICO.dat"));
        if (FAILED(hr)) {
            // Either untouched or already complete: never half of each.
            EXPECT_TRUE(depois == registro || (depois.size() == 240 + registro.size() && depois.substr(240) == registro))
                << "passo " << passo;
        }
        // The next open clears any copy left and gives the file its header
        // with its record behind.
        zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
        Unico arq("GEUNICO.dat", &db);
        ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK) << "passo " << passo;
        REG_TESTE_UNICO lido{};
        ASSERT_EQ(arq.Le(lido), S_OK);
        EXPECT_EQ(BytesDe(lido), registro) << "passo " << passo;
        EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")).size(), 240u + registro.size());
    }
    EXPECT_TRUE(chegouAoFim);
}

TEST_F(QVFileBaseTeste, WorkFilesAndControlFileNeverGetAHeader) {
    for (const char* nome : {"GEUNICO.cab", "GEUNICO.srk", "GEUNICO.tra", "QVDATABASE_FILE_CTRL.dat"}) {
        GravaBytes(Caminho(nome), BytesDe(Registro(1, nome)));
        zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
        Unico arq(nome, &db);
        EXPECT_EQ(arq.Inicializa("EMP", 7, 42), S_OK) << nome;
        EXPECT_EQ(arq.Grava(Registro(2, nome)), S_OK) << nome;
        arq.Finaliza();
        EXPECT_EQ(LeArquivo(Caminho(nome)), BytesDe(Registro(2, nome))) << nome;
        fs::remove(Caminho(nome));
    }
    GravaBytes(Caminho("GEUNICO.tra"), "x");
    EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_ARQUIVO_TRA_ENCONTRADO);
}

TEST_F(QVFileBaseTeste, NameDifferingOnlyInCaseIsRenamedOnWritableOpen) {
    GravaBytes(Caminho("geUnico.DAT"), BytesDe(Registro(4, "caixa")));
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    Unico arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_TRUE(fs::exists(Caminho("GEUNICO.dat")));
    EXPECT_FALSE(fs::exists(Caminho("geUnico.DAT")));
    REG_TESTE_UNICO lido{};
    ASSERT_EQ(arq.Le(lido), S_OK);
    EXPECT_EQ(lido.lCodigo, 4u);
}

// ---- Header validation, one check at a time ------------------------------------

TEST_F(QVFileBaseTeste, HeaderValidationFailuresInOrder) {
    struct Caso {
        const char* nome;
        std::function<void(REG_QVDATABASE_CABECALHO_V1&)> muda;
        HRESULT esperado;
        bool recalculaCrc = true;
        std::string sobra = "";
    };
    const auto nome = [](auto& c) { std::strcpy(c.szNomeArquivo, "GEOUTRO.dat"); };
    const Caso casos[] = {
        {"tamanho do cabecalho", [](auto& c) { c.ullTamanhoDadosCabecalho = 215; },
         E_QVCR_TAMANHO_CABECALHO_NAO_CONFERE},
        {"comprimento dos dados", [](auto& c) { c.ullTamanhoDados = 31; }, E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE},
        {"byte a mais", [](auto&) {}, E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE, true, "x"},
        {"versao de criacao", [](auto& c) { c.usVersaoMotorCriacao = 128; },
         E_QVCR_VERSAO_SISTEMA_INFERIOR_VERSAO_CRIACAO_CABECALHO},
        {"versao de modificacao", [](auto& c) { c.usVersaoMotorModificacao = 128; },
         E_QVCR_VERSAO_SISTEMA_INFERIOR_VERSAO_MODIFICACAO_ARQUIVO},
        {"nome", nome, E_QVCR_NOME_ARQUIVO_NAO_CONFERE},
        {"crc", [](auto& c) { c.szEmpresa[1] ^= 0x20; }, E_QVCR_CRC_CABECALHO_NAO_CONFERE, false},
        {"versao 2",
         [](auto& c) {
             c.usVersaoCabecalho = 2;
             c.ullCrcVersao = zenta::QVCrc64(&c.usVersaoCabecalho, 2);
             c.ullCrcCrcVersao = zenta::QVCrc64(&c.ullCrcVersao, 8);
         },
         E_QVCR_VERSAO_CABECALHO_SUPERIOR_VERSAO_SISTEMA},
        // Earlier checks win: the size before the CRC, the CRC before the
        // length, the size and the length before the name.
        {"tamanho antes do crc", [](auto& c) { c.ullTamanhoDadosCabecalho = 217; },
         E_QVCR_TAMANHO_CABECALHO_NAO_CONFERE, false},
        {"crc antes do comprimento", [](auto& c) { c.ulUsuario = 99; }, E_QVCR_CRC_CABECALHO_NAO_CONFERE, false, "x"},
        {"tamanho antes do nome",
         [&](auto& c) {
             c.ullTamanhoDadosCabecalho = 1;
             nome(c);
         },
         E_QVCR_TAMANHO_CABECALHO_NAO_CONFERE},
        // A whole record past the length of a file that fails a later check is not cut off.
        {"comprimento antes do nome",
         [&](auto& c) {
             c.ullTamanhoDados = 0;
             nome(c);
         },
         E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE},
        {"nome sem distinguir caixa", [](auto& c) { std::strcpy(c.szNomeArquivo, "geunico.DAT"); }, S_OK},
    };
    for (const Caso& caso : casos) {
        const std::string bytes = ArquivoComCabecalhoAlterado(caso.muda, caso.recalculaCrc) + caso.sobra;
        GravaBytes(Caminho("GEUNICO.dat"), bytes);
        EXPECT_EQ(Abre("GEUNICO.dat"), caso.esperado) << caso.nome;
        if (FAILED(caso.esperado)) {
            EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")), bytes) << caso.nome << ": the file must stay untouched";
        }
        fs::remove(Caminho("GEUNICO.dat"));
    }
}

TEST_F(QVFileBaseTeste, DamagedHeaderIsRefusedNeverReadAsRecords) {
    // Each damage leaves what is left of the header recognisable; every mode,
    // the reader without lock included, refuses it and the file stays as it is.
    const std::function<void(std::string&)> danos[] = {
        [](std::string& b) { b[0] = 0; },                       // version zeroed
        [](std::string& b) { b[9] ^= 0x10; },                   // first prefix CRC
        [](std::string& b) { b[17] ^= 0x10; },                  // second prefix CRC
        [](std::string& b) { std::fill_n(b.begin(), 24, 0); },  // whole prefix, body intact
        [](std::string& b) { b[0] = 0; b[40] ^= 0x10; },        // version and body: the first CRC tells
        [](std::string& b) { b[9] ^= 0x10; b[40] ^= 0x10; },    // first CRC and body: the second tells
    };
    for (std::size_t i = 0; i < std::size(danos); ++i) {
        std::string bytes = ArquivoComCabecalhoAlterado([](auto&) {});
        danos[i](bytes);
        GravaBytes(Caminho("GEUNICO.dat"), bytes);
        EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_CRC_CABECALHO_NAO_CONFERE) << i;
        EXPECT_EQ(Abre("GEUNICO.dat", true), E_QVCR_CRC_CABECALHO_NAO_CONFERE) << i;
        EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")), bytes) << i;
        fs::remove(Caminho("GEUNICO.dat"));
    }
}

TEST_F(QVFileBaseTeste, NoLockReaderSkipsHeaderChecks) {
    ArquivoComCabecalhoAlterado([](auto& c) { c.usVersaoMotorModificacao = 200; });
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    db.SetLeituraSemBloqueio(true);
    Unico arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    REG_TESTE_UNICO lido{};
    ASSERT_EQ(arq.Le(lido), S_OK);
    EXPECT_EQ(lido.lCodigo, 1u);
}

// ---- Single-record files and sharing between writers ----------------------------------------

TEST_F(QVFileBaseTeste, SingleRecordFileOfWrongLengthFailsToLoad) {
    for (const std::size_t n : {33u, 31u}) {
        GravaBytes(Caminho("GEUNICO.dat"), std::string(n, 'a'));
        fs::remove(Caminho("GEUNICO.cab"));
        EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_ARQUIVO_SINGLE_REG_NAO_TEM_TAMANHO_ESTRUTURA) << n;
    }
}

TEST_F(QVFileBaseTeste, SecondWriterInTheSameProcessIsRefusedWhileReadersRead) {
    CQVInicializador contexto;
    ASSERT_EQ(contexto.Inicializa("EMP", 7, 42), S_OK);
    REG_TESTE_UNICO lido = Registro(9, "lixo");
    EXPECT_EQ(CQVDataBaseUtil::LeSingleReg(&contexto, QV_MODULO_GE, &lido, "GEUNICO.dat"), S_OK);
    EXPECT_EQ(lido.lCodigo, 0u);

    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    Unico primeiro("GEUNICO.dat", &db);
    ASSERT_EQ(primeiro.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(primeiro.Grava(Registro(1, "um")), S_OK);
    Unico segundo("GEUNICO.dat", &db);
    EXPECT_EQ(segundo.Inicializa("EMP", 7, 43), E_QVDATABASE_eSharingViolation);

    EXPECT_EQ(CQVDataBaseUtil::LeSingleReg(&contexto, QV_MODULO_GE, &lido, "GEUNICO.dat"), S_OK);
    EXPECT_EQ(lido.lCodigo, 1u);
    zenta::CQVContainerArquivosSimples leitura(QV_MODULO_GE);
    leitura.SetLeituraSemBloqueio(true);
    Unico leitor("GEUNICO.dat", &leitura);
    ASSERT_EQ(leitor.Inicializa("EMP", 7, 44), S_OK);
    // Deleting a file held by a writer is refused like on the server's own system.
    EXPECT_EQ(CQVDataBaseUtil::DeletaArquivo(&leitor, QV_MODULO_GE, "GEUNICO.dat", eNenhum), E_QVCR_ARQUIVO_NAO_REMOVIDO);
    EXPECT_TRUE(fs::exists(Caminho("GEUNICO.dat")));
}

TEST_F(QVFileBaseTeste, SecondWriterInAnotherProcessIsRefusedWhileNoLockReaderReads) {
    ASSERT_EQ(Abre("GEUNICO.dat"), S_OK);
    int pronto[2];
    int fim[2];
    ASSERT_EQ(::pipe(pronto), 0);
    ASSERT_EQ(::pipe(fim), 0);
    const pid_t filho = ::fork();
    ASSERT_GE(filho, 0);
    if (filho == 0) {
        // The other process: holds the file open for writing until told to stop.
        int status = 1;
        {
            zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
            Unico arq("GEUNICO.dat", &db);
            if (arq.Inicializa("EMP", 8, 99) == S_OK && arq.Grava(Registro(2, "dois")) == S_OK) status = 0;
            const char c = status == 0 ? 'k' : 'e';
            (void)!::write(pronto[1], &c, 1);
            char d;
            (void)!::read(fim[0], &d, 1);
        }
        ::_exit(status);
    }
    char c = 0;
    ASSERT_EQ(::read(pronto[0], &c, 1), 1);
    ASSERT_EQ(c, 'k');

    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    Unico escritor("GEUNICO.dat", &db);
    EXPECT_EQ(escritor.Inicializa("EMP", 7, 42), E_QVDATABASE_eSharingViolation);
    zenta::CQVContainerArquivosSimples leitura(QV_MODULO_GE);
    leitura.SetLeituraSemBloqueio(true);
    Unico leitor("GEUNICO.dat", &leitura);
    ASSERT_EQ(leitor.Inicializa("EMP", 7, 42), S_OK);
    REG_TESTE_UNICO lido{};
    ASSERT_EQ(leitor.Le(lido), S_OK);
    EXPECT_EQ(lido.lCodigo, 2u);

    (void)!::write(fim[1], "x", 1);
    int status = -1;
    ASSERT_EQ(::waitpid(filho, &status, 0), filho);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int d : {pronto[0], pronto[1], fim[0], fim[1]}) ::close(d);
    // Once the other writer is gone, the file opens for writing again.
    EXPECT_EQ(escritor.Inicializa("EMP", 7, 42), S_OK);
}

}  // namespace
