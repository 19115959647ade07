// The record-file base: header creation, validation and insertion, open
// modes and sharing between writers, and the single-record file.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "platform/QVDiretorios.h"
#include "platform/QVModulos.h"
#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "core/qvdatabase/QVFileBase.h"
#include "core/qvdatabase/QVFileSingleReg.h"
#include "support/MotorTeste.h"
#include "support/ZentaHomeTemporario.h"
#include "values/QVCrc64.h"

namespace {

#pragma pack(push, 1)
struct REG_TESTE_UNICO {
    ULONG lCodigo;
    char szNome[28];
};
#pragma pack(pop)
static_assert(sizeof(REG_TESTE_UNICO) == 32);

namespace fs = std::filesystem;
using zenta::teste::LeArquivo;

void GravaBytes(const fs::path& caminho, const std::string& bytes) {
    fs::create_directories(caminho.parent_path());
    std::ofstream out(caminho, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

REG_TESTE_UNICO Registro(ULONG codigo, const char* nome) {
    REG_TESTE_UNICO r{};
    r.lCodigo = codigo;
    std::strncpy(r.szNome, nome, sizeof r.szNome - 1);
    return r;
}

std::string BytesDe(const REG_TESTE_UNICO& r) { return std::string(reinterpret_cast<const char*>(&r), sizeof r); }

using zenta::teste::CabecalhoDe;

// Counts the writes that reach the files.
class ContaGravacoes final : public zenta::SistemaArquivosRepassador {
public:
    ContaGravacoes() : SistemaArquivosRepassador(zenta::CriaSistemaArquivosReal()) {}
    zenta::ResultadoArquivo Abre(const fs::path& caminho, zenta::AberturaSO modo,
                                 std::unique_ptr<zenta::IArquivoAberto>& arquivo) override {
        const zenta::ResultadoArquivo r = m_base->Abre(caminho, modo, arquivo);
        if (r.Ok()) arquivo = std::make_unique<Contador>(std::move(arquivo), m_gravacoes);
        return r;
    }
    int Gravacoes() const { return m_gravacoes.load(); }

private:
    class Contador final : public zenta::IArquivoAberto {
    public:
        Contador(std::unique_ptr<zenta::IArquivoAberto> a, std::atomic<int>& n) : m_a(std::move(a)), m_n(n) {}
        zenta::ResultadoArquivo Le(uint64_t p, void* d, std::size_t t, std::size_t& l) override { return m_a->Le(p, d, t, l); }
        zenta::ResultadoArquivo Grava(uint64_t p, const void* o, std::size_t t) override {
            ++m_n;
            return m_a->Grava(p, o, t);
        }
        zenta::ResultadoArquivo Tamanho(uint64_t& t) override { return m_a->Tamanho(t); }
        zenta::ResultadoArquivo Sincroniza() override { return m_a->Sincroniza(); }
        zenta::ResultadoArquivo Trunca(uint64_t t) override { return m_a->Trunca(t); }

    private:
        std::unique_ptr<zenta::IArquivoAberto> m_a;
        std::atomic<int>& m_n;
    };
    std::atomic<int> m_gravacoes{0};
};

// Fails every rename: a header insertion cut short before its last step.
class FalhaRenomeia final : public zenta::SistemaArquivosRepassador {
public:
    FalhaRenomeia() : SistemaArquivosRepassador(zenta::CriaSistemaArquivosReal()) {}
    zenta::ResultadoArquivo Renomeia(const fs::path&, const fs::path&, bool) override {
        return zenta::ResultadoArquivo::Falha(zenta::CausaArquivo::erroFisico, EIO);
    }
};

class QVFileBaseTeste : public ::testing::Test {
protected:
    QVFileBaseTeste() : m_escopo(nullptr, zenta::teste::PoliticaRapida()) {}
    fs::path Dados() const { return m_home.Raiz() / "data" / "EMP" / "GE"; }
    fs::path Caminho(const std::string& nome) const { return Dados() / nome; }

    // A file with a valid header as the engine writes it, then changed by `muda`.
    std::string ArquivoComCabecalhoAlterado(const std::function<void(REG_QVDATABASE_CABECALHO_V1&)>& muda,
                                            bool recalculaCrc = true) {
        {
            zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
            CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
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

    HRESULT Abre(const std::string& nome) {
        zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
        CQVFileSingleReg<REG_TESTE_UNICO> arq(nome, &db);
        const HRESULT hr = arq.Inicializa("EMP", 7, 42);
        arq.Finaliza();
        return hr;
    }

    zenta::teste::ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
};

// ---- Names, modes, codes ---------------------------------------------------------------

TEST(QVDataBaseUtil, NamesAndModes) {
    EXPECT_EQ(zenta::NormalizaNomeArquivo("gempCadManPrev.DAT"), "GEMPCADMANPREV.dat");
    EXPECT_EQ(zenta::NormalizaNomeArquivo("semextensao"), "SEMEXTENSAO");
    EXPECT_EQ(zenta::NomeComExtensao("GEMPMED.dat", "cab"), "GEMPMED.cab");
    EXPECT_STREQ(CQVDataBaseUtil::ModoAberturaToString(eModoInvalido), "Invalido");
    EXPECT_STREQ(CQVDataBaseUtil::ModoAberturaToString(eModoLeituraGravacao), "LeituraGravacao");
    EXPECT_STREQ(CQVDataBaseUtil::ModoAberturaToString(eModoLeituraSemBloqueio), "LeituraSemBloqueio");
    EXPECT_STREQ(CQVDataBaseUtil::ModoAberturaToString(eModoLeituraGravacaoCriacao), "LeituraGravacaoCriacao");
    EXPECT_STREQ(CQVDataBaseUtil::ModoAberturaToString(0x1234), "Desconhecido");

    ULONGLONG chave = 0;
    EXPECT_TRUE(zenta::CasaPadraoGrupo("gemovmanut072022.DAT", "GEMOVMANUT??????.dat", chave));
    EXPECT_EQ(chave, 72022u);
    EXPECT_FALSE(zenta::CasaPadraoGrupo("GEMOVMANUT07A022.dat", "GEMOVMANUT??????.dat", chave));
    EXPECT_FALSE(zenta::CasaPadraoGrupo("GEMOVMANUT0720221.dat", "GEMOVMANUT??????.dat", chave));
}

TEST(QVDataBaseUtil, PathsStayInsideTheDataDirectory) {
    zenta::teste::ZentaHomeTemporario home;
    fs::path p;
    EXPECT_EQ(CQVDataBaseUtil::GetPathArquivo(QV_MODULO_GE, "EMP", "GEMPMED.dat", p), S_OK);
    EXPECT_EQ(p, home.Raiz() / "data" / "EMP" / "GE" / "GEMPMED.dat");
    for (const char* nome : {"", ".", "..", "../x.dat", "a/b.dat", "a\\b.dat"})
        EXPECT_EQ(CQVDataBaseUtil::GetPathArquivo(QV_MODULO_GE, "EMP", nome, p), E_QVDATABASE_NOME_ARQUIVO_INVALIDO)
            << nome;
    EXPECT_EQ(CQVDataBaseUtil::GetPathArquivo(QV_MODULO_GE, "../X", "A.dat", p), E_QV_NOME_EMPRESA_INVALIDO);
}

TEST(QVFileBase, FileFailureCodes) {
    EXPECT_EQ(CQVFileBase::CodigoExcecaoArquivo(zenta::CausaArquivo::fimArquivo), static_cast<HRESULT>(0x80043E95u));
    EXPECT_EQ(CQVFileBase::CodigoExcecaoArquivo(zenta::CausaArquivo::posicionamentoInvalido),
              static_cast<HRESULT>(0x80043E8Cu));
    EXPECT_EQ(CQVFileBase::CodigoExcecaoArquivo(zenta::CausaArquivo::violacaoCompartilhamento),
              static_cast<HRESULT>(0x80043EEEu));
    EXPECT_EQ(CQVFileBase::CodigoExcecaoArquivo(zenta::CausaArquivo::muitosArquivosAbertos),
              static_cast<HRESULT>(0x80043F10u));
    EXPECT_STREQ(CQVFileBase::NomeExcecaoArquivo(static_cast<HRESULT>(0x80043F08u)), "eDiskFull");
    EXPECT_STREQ(CQVFileBase::NomeExcecaoArquivo(static_cast<HRESULT>(0x80043ED1u)), "eQVReadOnly");
    for (uint32_t fatal : {0x80043E8Cu, 0x80043E95u, 0x80043EA7u, 0x80043EB7u, 0x80043EBFu, 0x81080AACu, 0x81080AADu})
        EXPECT_TRUE(CQVFileBase::EhUmaExcecaoFatal(static_cast<HRESULT>(fatal))) << std::hex << fatal;
    for (uint32_t naoFatal : {0x80043EEEu, 0x80043F08u, 0x80043ED0u, 0x80043F10u})
        EXPECT_FALSE(CQVFileBase::EhUmaExcecaoFatal(static_cast<HRESULT>(naoFatal))) << std::hex << naoFatal;
}

TEST(QVFileBase, VersionOnePrefixIsConstant) {
    REG_QVDATABASE_CABECALHO_V1 c{};
    zenta::PreenchePrefixoCabecalhoV1(c);
    const unsigned char um[2] = {1, 0};
    EXPECT_EQ(c.ullCrcVersao, zenta::QVCrc64(um, 2));
    EXPECT_EQ(c.ullCrcCrcVersao, zenta::QVCrc64(&c.ullCrcVersao, 8));
}

// ---- Header creation -------------------------------------------------------------------

TEST_F(QVFileBaseTeste, FirstWriteCreatesHeaderAndRecord) {
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVFileSingleReg<REG_TESTE_UNICO> arq("geunico.DAT", &db);
    EXPECT_EQ(arq.GetNomeArquivo(), "GEUNICO.dat");
    EXPECT_EQ(arq.GetNomeTipoRegistro(), "{anonymous}::REG_TESTE_UNICO");
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_FALSE(arq.EstaAberto());
    EXPECT_EQ(arq.GetQtdRegistros(), 0u);
    REG_TESTE_UNICO lido = Registro(9, "lixo");
    EXPECT_EQ(arq.Le(lido), E_QVCR_ARQUIVO_NAO_EXISTE);
    EXPECT_EQ(lido.lCodigo, 0u);
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.dat")));

    ASSERT_EQ(arq.Grava(Registro(5, "cinco")), S_OK);
    EXPECT_EQ(arq.GetQtdRegistros(), 1u);
    const std::string bytes = LeArquivo(Caminho("GEUNICO.dat"));
    ASSERT_EQ(bytes.size(), 240u + 32u);
    EXPECT_EQ(bytes.substr(240), BytesDe(Registro(5, "cinco")));
    const REG_QVDATABASE_CABECALHO_V1 c = CabecalhoDe(bytes);
    EXPECT_EQ(c.usVersaoCabecalho, 1);
    EXPECT_EQ(c.ullTamanhoDadosCabecalho, 216u);
    EXPECT_EQ(c.ullTamanhoDados, 32u);
    EXPECT_EQ(c.ullCrcCabecalho, zenta::CrcCabecalho(c));
    EXPECT_EQ(c.ullSessao, 42u);
    EXPECT_EQ(c.ulUsuario, 7u);
    EXPECT_EQ(c.usVersaoArquivo, 1);
    EXPECT_EQ(c.usVersaoMotorCriacao, 127);
    EXPECT_EQ(c.usVersaoMotorModificacao, 127);
    EXPECT_STREQ(c.szNomeArquivo, "GEUNICO.dat");
    EXPECT_STREQ(c.szEmpresa, "EMP");
    EXPECT_GE(c.ullContadorAtualizacoes, 1u);
    EXPECT_EQ(c.dhCriacao, c.dhCriacaoOriginal);
    EXPECT_EQ(c.dhCriacao & ~QVDATAHORA_MASCARA, 0u);
    for (BYTE b : c.cZero1) EXPECT_EQ(b, 0);
    for (BYTE b : c.cZero3) EXPECT_EQ(b, 0);
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.cab")));

    arq.Finaliza();
    CQVFileSingleReg<REG_TESTE_UNICO> outro("GEUNICO.dat", &db);
    ASSERT_EQ(outro.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(outro.Le(lido), S_OK);
    EXPECT_EQ(BytesDe(lido), BytesDe(Registro(5, "cinco")));
}

TEST_F(QVFileBaseTeste, HeaderLongNamesKeepTheirLast23Characters) {
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUMNOMEDEARQUIVOMUITOLONGO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMPRESA_COM_UM_NOME_BEM_COMPRIDO", 7, 42), S_OK);
    ASSERT_EQ(arq.Grava(Registro(1, "x")), S_OK);
    const REG_QVDATABASE_CABECALHO_V1 c = CabecalhoDe(
        LeArquivo(m_home.Raiz() / "data" / "EMPRESA_COM_UM_NOME_BEM_COMPRIDO" / "GE" / "GEUMNOMEDEARQUIVOMUITOLONGO.dat"));
    EXPECT_STREQ(c.szNomeArquivo, "DEARQUIVOMUITOLONGO.dat");
    EXPECT_STREQ(c.szEmpresa, "OM_UM_NOME_BEM_COMPRIDO");
    arq.Finaliza();
    // The truncated name still matches on the next open.
    CQVFileSingleReg<REG_TESTE_UNICO> outro("GEUMNOMEDEARQUIVOMUITOLONGO.dat", &db);
    EXPECT_EQ(outro.Inicializa("EMPRESA_COM_UM_NOME_BEM_COMPRIDO", 7, 42), S_OK);
}

TEST_F(QVFileBaseTeste, UnchangedWriteDoesNotTouchTheDisk) {
    auto conta = std::make_shared<ContaGravacoes>();
    zenta::EscopoArquivoSO escopo(conta, zenta::teste::PoliticaRapida());
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(arq.Grava(Registro(5, "cinco")), S_OK);
    const std::string antes = LeArquivo(Caminho("GEUNICO.dat"));
    const int gravacoes = conta->Gravacoes();
    EXPECT_EQ(arq.Grava(Registro(5, "cinco")), S_OK);
    EXPECT_EQ(conta->Gravacoes(), gravacoes);
    EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")), antes);

    EXPECT_EQ(arq.Grava(Registro(6, "seis")), S_OK);
    EXPECT_GT(conta->Gravacoes(), gravacoes);
    const REG_QVDATABASE_CABECALHO_V1 depois = CabecalhoDe(LeArquivo(Caminho("GEUNICO.dat")));
    EXPECT_EQ(depois.ullContadorAtualizacoes, CabecalhoDe(antes).ullContadorAtualizacoes + 1);
}

TEST_F(QVFileBaseTeste, ZeroByteFileIsRefusedAndACreationCutShortLeavesNoFile) {
    // A file is only ever given its name with its header: zero bytes is a
    // file that lost its content, refused in every mode and left as it is.
    GravaBytes(Caminho("GEUNICO.dat"), "");
    EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
    {
        zenta::CQVContainerArquivosSimples leitura(QV_MODULO_GE);
        leitura.SetLeituraSemBloqueio(true);
        CQVFileSingleReg<REG_TESTE_UNICO> leitor("GEUNICO.dat", &leitura);
        EXPECT_EQ(leitor.Inicializa("EMP", 7, 42), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
    }
    EXPECT_EQ(fs::file_size(Caminho("GEUNICO.dat")), 0u);
    fs::remove(Caminho("GEUNICO.dat"));

    // A creation that never reaches its rename leaves only the twin, which
    // the next writer clears; the file then reads as missing, and is made.
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    {
        CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
        ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
        zenta::EscopoArquivoSO falha(std::make_shared<FalhaRenomeia>(), zenta::teste::PoliticaRapida());
        EXPECT_NE(arq.Grava(Registro(1, "um")), S_OK);
    }
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.dat")));
    GravaBytes(Caminho("GEUNICO.cab"), std::string(240, 'c'));  // as a kill before the rename leaves it
    CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.cab")));
    ASSERT_EQ(arq.Grava(Registro(2, "dois")), S_OK);
    EXPECT_EQ(CabecalhoDe(LeArquivo(Caminho("GEUNICO.dat"))).ullTamanhoDados, sizeof(REG_TESTE_UNICO));
}

TEST_F(QVFileBaseTeste, HeaderlessFileGainsHeaderWithItsRecordsBehind) {
    const std::string registro = BytesDe(Registro(3, "legado"));
    GravaBytes(Caminho("GEUNICO.dat"), registro);
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    const std::string bytes = LeArquivo(Caminho("GEUNICO.dat"));
    ASSERT_EQ(bytes.size(), 240u + registro.size());
    EXPECT_EQ(bytes.substr(240), registro);
    EXPECT_EQ(CabecalhoDe(bytes).ullTamanhoDados, registro.size());
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.cab")));
    REG_TESTE_UNICO lido{};
    ASSERT_EQ(arq.Le(lido), S_OK);
    EXPECT_EQ(BytesDe(lido), registro);
}

TEST_F(QVFileBaseTeste, PrefixThatFailsItsChecksIsHeaderlessData) {
    // First u16 zero, then the prefix CRCs wrong: both are data, not a header.
    std::string dados(32, '\0');
    dados[5] = 'x';
    GravaBytes(Caminho("GEUNICO.dat"), dados);
    ASSERT_EQ(Abre("GEUNICO.dat"), S_OK);
    EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")).substr(240), dados);

    std::string quase(32, '\0');
    REG_QVDATABASE_CABECALHO_V1 c{};
    zenta::PreenchePrefixoCabecalhoV1(c);
    c.ullCrcCrcVersao ^= 1;
    std::memcpy(quase.data(), &c, 24);
    GravaBytes(Caminho("GEOUTRO.dat"), quase);
    ASSERT_EQ(Abre("GEOUTRO.dat"), S_OK);
    EXPECT_EQ(LeArquivo(Caminho("GEOUTRO.dat")).substr(240), quase);
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
        zenta::EscopoArquivoSO falha(std::make_shared<FalhaRenomeia>(), zenta::teste::PoliticaRapida());
        EXPECT_EQ(Abre("GEUNICO.dat"), E_QVDATABASE_eHardIO);
    }
    EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")), registro);
    EXPECT_EQ(LeArquivo(Caminho("GEUNICO.cab")).size(), 240u + registro.size());
    EXPECT_EQ(Abre("GEUNICO.dat"), S_OK);
    EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")).substr(240), registro);
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.cab")));
}

// Fails the k-th step of a header insertion: creating the copy, each write
// to it, flushing it, the rename, the directory flush.
class FalhaNoPasso final : public zenta::SistemaArquivosRepassador {
public:
    explicit FalhaNoPasso(int passo) : SistemaArquivosRepassador(zenta::CriaSistemaArquivosReal()), m_falhar(passo) {}
    zenta::ResultadoArquivo Abre(const fs::path& caminho, zenta::AberturaSO modo,
                                 std::unique_ptr<zenta::IArquivoAberto>& arquivo) override {
        if (modo != zenta::AberturaSO::criacaoTruncada) return m_base->Abre(caminho, modo, arquivo);
        if (Passo()) return Falha();
        const zenta::ResultadoArquivo r = m_base->Abre(caminho, modo, arquivo);
        if (r.Ok()) arquivo = std::make_unique<Copia>(std::move(arquivo), *this);
        return r;
    }
    zenta::ResultadoArquivo Renomeia(const fs::path& o, const fs::path& d, bool v) override {
        return Passo() ? Falha() : m_base->Renomeia(o, d, v);
    }
    zenta::ResultadoArquivo SincronizaDiretorio(const fs::path& d) override {
        return Passo() ? Falha() : m_base->SincronizaDiretorio(d);
    }
    int Passos() const { return m_passos; }

private:
    bool Passo() { return ++m_passos == m_falhar; }
    static zenta::ResultadoArquivo Falha() { return zenta::ResultadoArquivo::Falha(zenta::CausaArquivo::erroFisico, EIO); }
    class Copia final : public zenta::IArquivoAberto {
    public:
        Copia(std::unique_ptr<zenta::IArquivoAberto> a, FalhaNoPasso& dono) : m_a(std::move(a)), m_dono(dono) {}
        zenta::ResultadoArquivo Le(uint64_t p, void* d, std::size_t t, std::size_t& l) override { return m_a->Le(p, d, t, l); }
        zenta::ResultadoArquivo Grava(uint64_t p, const void* o, std::size_t t) override {
            if (m_dono.Passo()) {
                (void)m_a->Grava(p, o, t / 2);
                return Falha();
            }
            return m_a->Grava(p, o, t);
        }
        zenta::ResultadoArquivo Tamanho(uint64_t& t) override { return m_a->Tamanho(t); }
        zenta::ResultadoArquivo Sincroniza() override { return m_dono.Passo() ? Falha() : m_a->Sincroniza(); }
        zenta::ResultadoArquivo Trunca(uint64_t t) override { return m_a->Trunca(t); }

    private:
        std::unique_ptr<zenta::IArquivoAberto> m_a;
        FalhaNoPasso& m_dono;
    };
    int m_falhar;
    int m_passos = 0;
};

TEST_F(QVFileBaseTeste, HeaderInsertionFailingAtAnyStepKeepsTheRecords) {
    const std::string registro = BytesDe(Registro(3, "legado"));
    bool chegouAoFim = false;
    for (int passo = 1; passo < 20 && !chegouAoFim; ++passo) {
        GravaBytes(Caminho("GEUNICO.dat"), registro);
        fs::remove(Caminho("GEUNICO.cab"));
        auto falha = std::make_shared<FalhaNoPasso>(passo);
        HRESULT hr = S_OK;
        {
            zenta::EscopoArquivoSO escopo(falha, zenta::teste::PoliticaRapida());
            hr = Abre("GEUNICO.dat");
        }
        chegouAoFim = falha->Passos() < passo;
        const std::string depois = LeArquivo(Caminho("GEUNICO.dat"));
        if (FAILED(hr)) {
            // Either untouched or already complete: never half of each.
            EXPECT_TRUE(depois == registro || (depois.size() == 240 + registro.size() && depois.substr(240) == registro))
                << "passo " << passo;
        }
        // The next open clears any copy left and gives the file its header
        // with its record behind.
        zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
        CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
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
        const std::string registro = BytesDe(Registro(1, nome));
        GravaBytes(Caminho(nome), registro);
        zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
        CQVFileSingleReg<REG_TESTE_UNICO> arq(nome, &db);
        EXPECT_EQ(arq.Inicializa("EMP", 7, 42), S_OK) << nome;
        EXPECT_EQ(arq.Grava(Registro(2, nome)), S_OK) << nome;
        arq.Finaliza();
        EXPECT_EQ(LeArquivo(Caminho(nome)), BytesDe(Registro(2, nome))) << nome;
        fs::remove(Caminho(nome));
    }
}

TEST_F(QVFileBaseTeste, ContainerWithoutHeadersWritesBareRecords) {
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    db.SetSemCabecalho(true);
    CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(arq.Grava(Registro(2, "dois")), S_OK);
    EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")), BytesDe(Registro(2, "dois")));
}

TEST_F(QVFileBaseTeste, TraTwinBlocksInitialisation) {
    GravaBytes(Caminho("GEUNICO.tra"), "x");
    EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_ARQUIVO_TRA_ENCONTRADO);
}

TEST_F(QVFileBaseTeste, NameDifferingOnlyInCaseIsRenamedOnWritableOpen) {
    GravaBytes(Caminho("geUnico.DAT"), BytesDe(Registro(4, "caixa")));
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_TRUE(arq.ExisteArquivo());
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
    };
    const Caso casos[] = {
        {"tamanho do cabecalho", [](auto& c) { c.ullTamanhoDadosCabecalho = 215; },
         E_QVCR_TAMANHO_CABECALHO_NAO_CONFERE},
        {"comprimento dos dados", [](auto& c) { c.ullTamanhoDados = 31; }, E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE},
        {"versao de criacao", [](auto& c) { c.usVersaoMotorCriacao = 128; },
         E_QVCR_VERSAO_SISTEMA_INFERIOR_VERSAO_CRIACAO_CABECALHO},
        {"versao de modificacao", [](auto& c) { c.usVersaoMotorModificacao = 128; },
         E_QVCR_VERSAO_SISTEMA_INFERIOR_VERSAO_MODIFICACAO_ARQUIVO},
        {"nome", [](auto& c) { std::strcpy(c.szNomeArquivo, "GEOUTRO.dat"); }, E_QVCR_NOME_ARQUIVO_NAO_CONFERE},
        // Earlier checks win: a wrong size with a wrong name reports the size.
        {"tamanho antes do nome",
         [](auto& c) {
             c.ullTamanhoDadosCabecalho = 1;
             std::strcpy(c.szNomeArquivo, "GEOUTRO.dat");
         },
         E_QVCR_TAMANHO_CABECALHO_NAO_CONFERE},
        // A whole record past the length of a file that fails a later check is not cut off.
        {"comprimento antes do nome",
         [](auto& c) {
             c.ullTamanhoDados = 0;
             std::strcpy(c.szNomeArquivo, "GEOUTRO.dat");
         },
         E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE},
    };
    for (const Caso& caso : casos) {
        const std::string bytes = ArquivoComCabecalhoAlterado(caso.muda);
        EXPECT_EQ(Abre("GEUNICO.dat"), caso.esperado) << caso.nome;
        EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")), bytes) << caso.nome << ": the file must stay untouched";
        fs::remove(Caminho("GEUNICO.dat"));
    }
}

TEST_F(QVFileBaseTeste, HeaderByteChangedFailsItsCrc) {
    const std::string bytes = ArquivoComCabecalhoAlterado([](auto& c) { c.szEmpresa[1] ^= 0x20; }, false);
    EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_CRC_CABECALHO_NAO_CONFERE);
    EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")), bytes);
}

TEST_F(QVFileBaseTeste, SizeIsCheckedBeforeTheCrcAndTheCrcBeforeTheLength) {
    // Size field wrong and CRC left stale: the size is reported.
    ArquivoComCabecalhoAlterado([](auto& c) { c.ullTamanhoDadosCabecalho = 217; }, false);
    EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_TAMANHO_CABECALHO_NAO_CONFERE);
    fs::remove(Caminho("GEUNICO.dat"));
    // Stale CRC and a stray byte: the CRC is reported.
    std::string bytes = ArquivoComCabecalhoAlterado([](auto& c) { c.ulUsuario = 99; }, false);
    GravaBytes(Caminho("GEUNICO.dat"), bytes + "x");
    EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_CRC_CABECALHO_NAO_CONFERE);
}

TEST_F(QVFileBaseTeste, HeaderVersionTwoIsRefused) {
    ArquivoComCabecalhoAlterado([](auto& c) {
        c.usVersaoCabecalho = 2;
        c.ullCrcVersao = zenta::QVCrc64(&c.usVersaoCabecalho, 2);
        c.ullCrcCrcVersao = zenta::QVCrc64(&c.ullCrcVersao, 8);
    });
    EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_VERSAO_CABECALHO_SUPERIOR_VERSAO_SISTEMA);
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
        zenta::CQVContainerArquivosSimples leitura(QV_MODULO_GE);
        leitura.SetLeituraSemBloqueio(true);
        CQVFileSingleReg<REG_TESTE_UNICO> leitor("GEUNICO.dat", &leitura);
        EXPECT_EQ(leitor.Inicializa("EMP", 7, 42), E_QVCR_CRC_CABECALHO_NAO_CONFERE) << i;
        leitor.Finaliza();
        EXPECT_EQ(LeArquivo(Caminho("GEUNICO.dat")), bytes) << i;
        fs::remove(Caminho("GEUNICO.dat"));
    }
}

TEST_F(QVFileBaseTeste, StrayByteFailsTheLengthCheck) {
    std::string bytes = ArquivoComCabecalhoAlterado([](auto&) {});
    bytes += 'x';
    GravaBytes(Caminho("GEUNICO.dat"), bytes);
    EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
}

TEST_F(QVFileBaseTeste, NameIsComparedWithoutRegardToCase) {
    ArquivoComCabecalhoAlterado([](auto& c) { std::strcpy(c.szNomeArquivo, "geunico.DAT"); });
    EXPECT_EQ(Abre("GEUNICO.dat"), S_OK);
}

TEST_F(QVFileBaseTeste, NoLockReaderSkipsHeaderChecks) {
    ArquivoComCabecalhoAlterado([](auto& c) { c.usVersaoMotorModificacao = 200; });
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    db.SetLeituraSemBloqueio(true);
    CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(arq.GetModoAbertura(), eModoLeituraSemBloqueio);
    REG_TESTE_UNICO lido{};
    ASSERT_EQ(arq.Le(lido), S_OK);
    EXPECT_EQ(lido.lCodigo, 1u);
}

// ---- Single-record files -------------------------------------------------------------

TEST_F(QVFileBaseTeste, SingleRecordFileOfWrongLengthFailsToLoad) {
    GravaBytes(Caminho("GEUNICO.dat"), std::string(33, 'a'));
    EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_ARQUIVO_SINGLE_REG_NAO_TEM_TAMANHO_ESTRUTURA);
    GravaBytes(Caminho("GEUNICO.dat"), std::string(31, 'a'));
    fs::remove(Caminho("GEUNICO.cab"));
    EXPECT_EQ(Abre("GEUNICO.dat"), E_QVCR_ARQUIVO_SINGLE_REG_NAO_TEM_TAMANHO_ESTRUTURA);
}

TEST_F(QVFileBaseTeste, DeletedFileLeavesObjectInitialisedOnNothing) {
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(arq.Grava(Registro(1, "um")), S_OK);
    ASSERT_EQ(arq.DeletaArquivo(), S_OK);
    EXPECT_FALSE(fs::exists(Caminho("GEUNICO.dat")));
    EXPECT_TRUE(arq.EstaInicializado());
    EXPECT_EQ(arq.GetEmpresa(), "EMP");
    EXPECT_EQ(arq.GetQtdRegistros(), 0u);
    REG_TESTE_UNICO lido{};
    EXPECT_EQ(arq.Le(lido), E_QVCR_ARQUIVO_NAO_EXISTE);
}

TEST_F(QVFileBaseTeste, DataVersionIsStoredInTheHeader) {
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(arq.GravaVersaoArquivo(9), S_OK);
    EXPECT_EQ(CabecalhoDe(LeArquivo(Caminho("GEUNICO.dat"))).usVersaoArquivo, 9);
}

TEST_F(QVFileBaseTeste, LeSingleRegReadsWithoutTakingTheFile) {
    CQVInicializador contexto;
    ASSERT_EQ(contexto.Inicializa("EMP", 7, 42), S_OK);
    REG_TESTE_UNICO lido = Registro(9, "lixo");
    EXPECT_EQ(CQVDataBaseUtil::LeSingleReg(&contexto, QV_MODULO_GE, &lido, "GEUNICO.dat"), S_OK);
    EXPECT_EQ(lido.lCodigo, 0u);

    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(arq.Grava(Registro(5, "cinco")), S_OK);
    // The writer keeps the file open; the reader is not refused.
    EXPECT_EQ(CQVDataBaseUtil::LeSingleReg(&contexto, QV_MODULO_GE, &lido, "GEUNICO.dat"), S_OK);
    EXPECT_EQ(BytesDe(lido), BytesDe(Registro(5, "cinco")));
}

// ---- Sharing between writers -------------------------------------------------------------

TEST_F(QVFileBaseTeste, SecondWriterInTheSameProcessIsRefused) {
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVFileSingleReg<REG_TESTE_UNICO> primeiro("GEUNICO.dat", &db);
    ASSERT_EQ(primeiro.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(primeiro.Grava(Registro(1, "um")), S_OK);

    CQVFileSingleReg<REG_TESTE_UNICO> segundo("GEUNICO.dat", &db);
    EXPECT_EQ(segundo.Inicializa("EMP", 7, 43), E_QVDATABASE_eSharingViolation);

    zenta::CQVContainerArquivosSimples leitura(QV_MODULO_GE);
    leitura.SetLeituraSemBloqueio(true);
    CQVFileSingleReg<REG_TESTE_UNICO> leitor("GEUNICO.dat", &leitura);
    ASSERT_EQ(leitor.Inicializa("EMP", 7, 44), S_OK);
    REG_TESTE_UNICO lido{};
    ASSERT_EQ(leitor.Le(lido), S_OK);
    EXPECT_EQ(lido.lCodigo, 1u);

    // Deleting a file held by a writer is refused like on the server's own system.
    EXPECT_EQ(CQVDataBaseUtil::DeletaArquivo(&leitor, QV_MODULO_GE, "GEUNICO.dat", eNenhum), E_QVCR_ARQUIVO_NAO_REMOVIDO);
    EXPECT_TRUE(fs::exists(Caminho("GEUNICO.dat")));
}

TEST_F(QVFileBaseTeste, SecondWriterInAnotherProcessIsRefusedWhileNoLockReaderReads) {
    {
        zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
        CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
        ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
        ASSERT_EQ(arq.Grava(Registro(1, "um")), S_OK);
        arq.Finaliza();
    }
    int pronto[2];
    int fim[2];
    ASSERT_EQ(::pipe(pronto), 0);
    ASSERT_EQ(::pipe(fim), 0);
    const pid_t filho = ::fork();
    ASSERT_GE(filho, 0);
    if (filho == 0) {
        // The other process: holds the file open for writing until told to stop.
        ::close(pronto[0]);
        ::close(fim[1]);
        int status = 1;
        {
            zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
            CQVFileSingleReg<REG_TESTE_UNICO> arq("GEUNICO.dat", &db);
            if (arq.Inicializa("EMP", 8, 99) == S_OK && arq.Grava(Registro(2, "dois")) == S_OK) status = 0;
            const char c = status == 0 ? 'k' : 'e';
            (void)!::write(pronto[1], &c, 1);
            char d;
            (void)!::read(fim[0], &d, 1);
        }
        ::_exit(status);
    }
    ::close(pronto[1]);
    ::close(fim[0]);
    char c = 0;
    ASSERT_EQ(::read(pronto[0], &c, 1), 1);
    ASSERT_EQ(c, 'k');

    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVFileSingleReg<REG_TESTE_UNICO> escritor("GEUNICO.dat", &db);
    EXPECT_EQ(escritor.Inicializa("EMP", 7, 42), E_QVDATABASE_eSharingViolation);

    zenta::CQVContainerArquivosSimples leitura(QV_MODULO_GE);
    leitura.SetLeituraSemBloqueio(true);
    CQVFileSingleReg<REG_TESTE_UNICO> leitor("GEUNICO.dat", &leitura);
    ASSERT_EQ(leitor.Inicializa("EMP", 7, 42), S_OK);
    REG_TESTE_UNICO lido{};
    ASSERT_EQ(leitor.Le(lido), S_OK);
    EXPECT_EQ(lido.lCodigo, 2u);

    (void)!::write(fim[1], "x", 1);
    int status = -1;
    ASSERT_EQ(::waitpid(filho, &status, 0), filho);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(pronto[0]);
    ::close(fim[1]);

    // Once the other writer is gone, the file opens for writing again.
    EXPECT_EQ(escritor.Inicializa("EMP", 7, 42), S_OK);
}

}  // namespace
