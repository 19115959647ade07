// zenta-dbcheck's checks against files the engine writes: clean files pass,
// and each corruption of one byte or field gives its finding. Where the
// engine itself refuses the corrupt file, it must refuse it with the code of
// the checker's first finding that names one.

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVFile.h"
#include "core/qvdatabase/QVFileSingleReg.h"
#include "diagnostics/QVCodigosErro.h"
#include "support/MotorFalhas.h"
#include "support/MotorTeste.h"
#include "tools/zenta-dbcheck/FonteBytes.h"
#include "tools/zenta-dbcheck/VerificaArquivo.h"
#include "values/QVCrc64.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using namespace zenta::dbcheck;
using zenta::teste::GravaBytes;
using zenta::teste::LeArquivo;
using zenta::teste::REG_TESTE;

#pragma pack(push, 1)
struct REG_CHECK_UNICO {
    BYTE dados[40];
};
#pragma pack(pop)

template <class V>
void Poe(std::string& bytes, std::size_t offset, V valor) {
    std::memcpy(bytes.data() + offset, &valor, sizeof valor);
}

// Recomputes the header CRC, so that a changed field is the only fault.
void RefazCrc(std::string& bytes) { Poe(bytes, 232, zenta::QVCrc64(bytes.data() + 24, 208)); }

class DbCheckTeste : public ::testing::Test {
protected:
    DbCheckTeste() : m_escopo(zenta::CriaSistemaArquivosReal(), zenta::teste::PoliticaRapida(2, 2)), m_db(QV_MODULO_GE) {}
    fs::path Caminho(const std::string& nome) const { return zenta::teste::DadosGE(m_home) / nome; }

    // A typed file of `n` records written, rewritten and closed by the engine.
    fs::path Tipado(ULONG n, const std::string& nome = "GECHECK.dat") {
        CQVFile<REG_TESTE> arq(nome, &m_db);
        EXPECT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
        std::vector<REG_TESTE> regs(n);
        for (ULONG i = 0; i < n; ++i) regs[i].lCodigo = i + 1;
        ULONGLONG pos = 0;
        EXPECT_EQ(arq.GravaColecao(pos, regs), S_OK);
        regs[0].lGrupo = 9;
        pos = 1;
        EXPECT_EQ(arq.Grava(pos, regs[0]), S_OK);
        arq.Finaliza();
        return Caminho(nome);
    }
    fs::path Textos(const std::vector<std::string>& textos, const std::string& nome = "GECHECKTXT.dat") {
        CQVTextFile arq(nome, &m_db);
        EXPECT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
        for (const std::string& t : textos) {
            ULONGLONG pos = 0;
            EXPECT_EQ(arq.Grava(pos, t), S_OK);
        }
        arq.Finaliza();
        return Caminho(nome);
    }

    static ResultadoVerificacao Verifica(const fs::path& caminho, const OpcoesVerificacao& opcoes = {}) {
        std::string erro;
        const auto fonte = FonteArquivo::Abre(caminho, erro);
        EXPECT_NE(fonte, nullptr) << erro;
        if (!fonte) return {};
        return zenta::dbcheck::Verifica(*fonte, caminho.filename().string(), opcoes);
    }
    static OpcoesVerificacao Registros(uint64_t tamanho, int64_t quantidade = -1) {
        OpcoesVerificacao o;
        o.tamanhoRegistro = tamanho;
        o.quantidade = quantidade;
        return o;
    }
    static OpcoesVerificacao Texto(int64_t quantidade = -1) {
        OpcoesVerificacao o;
        o.texto = true;
        o.quantidade = quantidade;
        o.guardaItens = true;
        return o;
    }
    static std::string Linhas(const ResultadoVerificacao& r) {
        std::string s;
        for (const Achado& a : r.achados) s += FormataAchado("f", a) + "\n";
        return s;
    }
    // The code of the first finding that names one: what the engine must answer.
    static HRESULT PrimeiroCodigo(const ResultadoVerificacao& r) {
        for (const Achado& a : r.achados)
            if (a.codigo != 0) return static_cast<HRESULT>(a.codigo);
        return S_OK;
    }
    HRESULT CarregaTipado(const std::string& nome = "GECHECK.dat") {
        CQVFile<REG_TESTE> arq(nome, &m_db);
        const HRESULT hr = arq.Inicializa("EMP", 7, 42);
        arq.Finaliza();
        return hr;
    }

    zenta::teste::ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
    zenta::CQVContainerArquivosSimples m_db;
};

// ---- Files as the engine writes them ------------------------------------------------------

TEST_F(DbCheckTeste, TypedFileWrittenByTheEngineIsCleanUntilRenamed) {
    const fs::path caminho = Tipado(5);
    const ResultadoVerificacao r = Verifica(caminho, Registros(16, 5));
    EXPECT_TRUE(r.Limpo()) << Linhas(r);
    EXPECT_EQ(r.inicioDados, 240u);
    EXPECT_EQ(uint64_t{r.cabecalho.sessao}, 42u);
    // Reopened, replaced and appended to by a later session, its data
    // version set: still clean.
    {
        CQVFile<REG_TESTE> arq("GECHECK.dat", &m_db);
        ASSERT_EQ(arq.Inicializa("EMP", 8, 43), S_OK);
        ASSERT_EQ(arq.SetConteudo(std::vector<REG_TESTE>{{1, 1, {}}, {2, 2, {}}}), S_OK);
        ULONGLONG pos = 0;
        ASSERT_EQ(arq.Grava(pos, REG_TESTE{6, 0, {}}), S_OK);
        ASSERT_EQ(arq.GravaVersaoArquivo(5), S_OK);
    }
    const ResultadoVerificacao depois = Verifica(caminho, Registros(16, 3));
    EXPECT_TRUE(depois.Limpo()) << Linhas(depois);
    EXPECT_EQ(uint64_t{depois.cabecalho.sessao}, 43u);
    EXPECT_EQ(uint64_t{depois.cabecalho.versaoArquivo}, 5u);

    // Renamed, it no longer matches its header, unless the name is expected.
    fs::copy_file(caminho, Caminho("GEOUTRO.dat"));
    EXPECT_TRUE(Verifica(Caminho("GEOUTRO.dat"), Registros(16)).Tem(TipoAchado::nomeArquivo));
    EXPECT_EQ(CarregaTipado("GEOUTRO.dat"), E_QVCR_NOME_ARQUIVO_NAO_CONFERE);
    OpcoesVerificacao o = Registros(16);
    o.nomeEsperado = "gecheck.DAT";
    EXPECT_TRUE(Verifica(Caminho("GEOUTRO.dat"), o).Limpo());
}

TEST_F(DbCheckTeste, SingleRecordFileIsOneRecordOrNone) {
    CQVFileSingleReg<REG_CHECK_UNICO> arq("GEUNICO.dat", &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    REG_CHECK_UNICO reg{};
    reg.dados[3] = 1;
    ASSERT_EQ(arq.Grava(reg), S_OK);
    arq.Finaliza();
    OpcoesVerificacao o = Registros(40, 1);
    o.registroUnico = true;
    const ResultadoVerificacao r = Verifica(Caminho("GEUNICO.dat"), o);
    EXPECT_TRUE(r.Limpo()) << Linhas(r);

    std::string bytes = LeArquivo(Caminho("GEUNICO.dat"));
    bytes.append(40, '\0');
    Poe<uint64_t>(bytes, 72, 80);
    RefazCrc(bytes);
    GravaBytes(Caminho("GEUNICO.dat"), bytes);
    const ResultadoVerificacao dois = Verifica(Caminho("GEUNICO.dat"), o);
    EXPECT_TRUE(dois.Tem(TipoAchado::registroUnico)) << Linhas(dois);
    EXPECT_EQ(arq.Inicializa("EMP", 7, 42), PrimeiroCodigo(dois));
}

TEST_F(DbCheckTeste, TextFileChainMatchesTheEngine) {
    const fs::path caminho = Textos({"abc", "", std::string("x\0y", 3), std::string(300, 'z')});
    const ResultadoVerificacao r = Verifica(caminho, Texto(4));
    EXPECT_TRUE(r.Limpo()) << Linhas(r);
    ASSERT_EQ(r.itens.size(), 4u);
    // The engine's own item offsets, from a compaction container.
    zenta::CQVContainerArquivosSimples shrink(QV_MODULO_GE);
    shrink.SetEhContainerShrink(true);
    CQVTextFile arq("GECHECKTXT.dat", &shrink);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    const CQVTextosArquivo* motor = arq.GetPtrRegistros();
    ASSERT_NE(motor, nullptr);
    ASSERT_EQ(motor->size(), r.itens.size());
    for (std::size_t i = 0; i < r.itens.size(); ++i) {
        EXPECT_EQ(r.itens[i].offset, (*motor)[i].uiOffset) << i;
        EXPECT_EQ(r.itens[i].tamanho, (*motor)[i].sTexto.size()) << i;
    }
}

TEST_F(DbCheckTeste, HeaderlessFilesAndTheirMigration) {
    // A legacy file: data from byte 0.
    std::string legado;
    for (int i = 0; i < 3; ++i) legado += std::string(16, static_cast<char>('a' + i));
    GravaBytes(Caminho("GECHECK.dat"), legado);
    ResultadoVerificacao r = Verifica(Caminho("GECHECK.dat"), Registros(16, 3));
    EXPECT_TRUE(r.Limpo()) << Linhas(r);
    EXPECT_FALSE(r.possuiCabecalho);
    EXPECT_EQ(r.inicioDados, 0u);
    // Its first writable open puts a header in front of the same records.
    EXPECT_EQ(CarregaTipado(), S_OK);
    r = Verifica(Caminho("GECHECK.dat"), Registros(16, 3));
    EXPECT_TRUE(r.Limpo()) << Linhas(r);
    EXPECT_TRUE(r.possuiCabecalho);
    EXPECT_EQ(LeArquivo(Caminho("GECHECK.dat")).substr(240), legado);

    // Files shorter than the prefix, and files that never have a header; an
    // empty one has lost its header, which the engine refuses.
    for (std::size_t n : {1u, 23u}) {
        GravaBytes(Caminho("GECURTO.dat"), std::string(n, '\x01'));
        EXPECT_TRUE(Verifica(Caminho("GECURTO.dat")).Limpo()) << n;
    }
    GravaBytes(Caminho("GECURTO.dat"), "");
    EXPECT_TRUE(Verifica(Caminho("GECURTO.dat")).Tem(TipoAchado::tamanhoDados));
    fs::copy_file(Caminho("GECHECK.dat"), Caminho("GECHECK.srk"));
    EXPECT_TRUE(Verifica(Caminho("GECHECK.srk")).Tem(TipoAchado::cabecalhoIndevido));
    // A "cab" work copy carries the header of the file it replaces.
    fs::copy_file(Caminho("GECHECK.dat"), Caminho("GECHECK.cab"));
    const ResultadoVerificacao cab = Verifica(Caminho("GECHECK.cab"), Registros(16, 3));
    EXPECT_TRUE(cab.Limpo()) << Linhas(cab);
}

// ---- One corruption at a time ---------------------------------------------------------------

struct Corrupcao {
    const char* nome;
    void (*altera)(std::string& bytes);
    TipoAchado esperado;
    bool motorRecusa;  // the engine's load fails, with the first named code
};

const Corrupcao kCorrupcoes[] = {
    {"prefix CRC at 8", [](std::string& b) { b[9] ^= 0x10; }, TipoAchado::prefixoDanificado, false},
    {"prefix CRC at 16", [](std::string& b) { b[20] ^= 0x01; }, TipoAchado::prefixoDanificado, false},
    {"version byte", [](std::string& b) { b[0] = 3; }, TipoAchado::prefixoDanificado, false},
    {"version 2 with its prefix CRCs",
     [](std::string& b) {
         b[0] = 2;
         Poe(b, 8, zenta::QVCrc64(b.data(), 2));
         Poe(b, 16, zenta::QVCrc64(b.data() + 8, 8));
     },
     TipoAchado::versaoCabecalho, true},
    {"header CRC", [](std::string& b) { b[235] ^= 0x40; }, TipoAchado::crcCabecalho, true},
    {"a byte under the header CRC", [](std::string& b) { b[90] ^= 0x01; }, TipoAchado::crcCabecalho, true},
    {"header data size", [](std::string& b) { Poe<uint64_t>(b, 64, 215); RefazCrc(b); },
     TipoAchado::tamanhoDadosCabecalho, true},
    // Not a whole number of records short: whole records past the stored
    // length are an append never acknowledged, which the engine cuts off.
    {"stored data length", [](std::string& b) { Poe<uint64_t>(b, 72, 20); RefazCrc(b); }, TipoAchado::tamanhoDados,
     true},
    {"a record tail", [](std::string& b) { b.push_back('x'); }, TipoAchado::tamanhoRegistro, true},
    {"a cut record", [](std::string& b) { b.pop_back(); }, TipoAchado::tamanhoDados, true},
    {"creating engine version", [](std::string& b) { Poe<uint16_t>(b, 106, 128); RefazCrc(b); },
     TipoAchado::versaoMotorCriacao, true},
    {"modifying engine version", [](std::string& b) { Poe<uint16_t>(b, 108, 200); RefazCrc(b); },
     TipoAchado::versaoMotorModificacao, true},
    {"stored name", [](std::string& b) { b[113] = 'X'; RefazCrc(b); }, TipoAchado::nomeArquivo, true},
    {"session above 32 bits", [](std::string& b) { Poe<uint64_t>(b, 88, 1ull << 32); RefazCrc(b); },
     TipoAchado::sessao, false},
    {"user above 16 bits", [](std::string& b) { Poe<uint32_t>(b, 100, 0x10000); RefazCrc(b); }, TipoAchado::usuario,
     false},
    {"reserved bytes 2-7", [](std::string& b) { b[5] = 1; }, TipoAchado::bytesReservados, false},
    {"reserved bytes 216-231", [](std::string& b) { b[220] = 1; RefazCrc(b); }, TipoAchado::bytesReservados, false},
    {"stamp bits above 37", [](std::string& b) { b[31] = 1; RefazCrc(b); }, TipoAchado::dataHora, false},
    {"company without NUL", [](std::string& b) { std::memset(b.data() + 136, 'E', 24); RefazCrc(b); },
     TipoAchado::campoTexto, false},
};

TEST_F(DbCheckTeste, EachCorruptionGivesItsFindingAndTheEnginesCode) {
    const std::string bom = LeArquivo(Tipado(4));
    ASSERT_TRUE(Verifica(Caminho("GECHECK.dat"), Registros(16, 4)).Limpo());
    for (const Corrupcao& c : kCorrupcoes) {
        SCOPED_TRACE(c.nome);
        std::string bytes = bom;
        c.altera(bytes);
        GravaBytes(Caminho("GECHECK.dat"), bytes);
        const ResultadoVerificacao r = Verifica(Caminho("GECHECK.dat"), Registros(16));
        EXPECT_TRUE(r.Tem(c.esperado)) << Linhas(r);
        if (c.motorRecusa) {
            EXPECT_NE(PrimeiroCodigo(r), S_OK) << Linhas(r);
            EXPECT_EQ(CarregaTipado(), PrimeiroCodigo(r)) << Linhas(r);
            // A refused file is left as it was.
            EXPECT_EQ(LeArquivo(Caminho("GECHECK.dat")), bytes);
        } else {
            EXPECT_EQ(PrimeiroCodigo(r), S_OK) << Linhas(r);
        }
    }
}

TEST_F(DbCheckTeste, TextItemCorruptions) {
    const std::string bom = LeArquivo(Textos({"abc", "", "observacao"}));
    struct Caso {
        const char* nome;
        void (*altera)(std::string& bytes);
        TipoAchado esperado;
    };
    const Caso casos[] = {
        {"last length too long", [](std::string& b) { Poe<uint32_t>(b, 240 + 11, 11); }, TipoAchado::itemExcedente},
        {"huge length", [](std::string& b) { Poe<uint32_t>(b, 240, 0xFFFFFFFFu); }, TipoAchado::itemExcedente},
        {"first length shorter", [](std::string& b) { Poe<uint32_t>(b, 240, 1); }, TipoAchado::itemExcedente},
        {"stray bytes after the chain", [](std::string& b) { b.append("zz"); }, TipoAchado::itemTruncado},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        std::string bytes = bom;
        c.altera(bytes);
        Poe<uint64_t>(bytes, 72, bytes.size() - 240);
        RefazCrc(bytes);
        GravaBytes(Caminho("GECHECKTXT.dat"), bytes);
        const ResultadoVerificacao r = Verifica(Caminho("GECHECKTXT.dat"), Texto());
        EXPECT_TRUE(r.Tem(c.esperado)) << Linhas(r);
        CQVTextFile arq("GECHECKTXT.dat", &m_db);
        EXPECT_EQ(arq.Inicializa("EMP", 7, 42), PrimeiroCodigo(r)) << Linhas(r);
        arq.Finaliza();
    }
    // A chain that walks cleanly but holds another number of texts.
    std::string bytes = bom;
    bytes.append(4, '\0');
    Poe<uint64_t>(bytes, 72, bytes.size() - 240);
    RefazCrc(bytes);
    GravaBytes(Caminho("GECHECKTXT.dat"), bytes);
    EXPECT_TRUE(Verifica(Caminho("GECHECKTXT.dat"), Texto(3)).Tem(TipoAchado::quantidade));
}

// ---- Hostile input and output ----------------------------------------------------------------

TEST(DbCheck, TruncatedAndDamagedHeadersAreNeverReadPastTheirEnd) {
    std::vector<std::byte> v(24);
    const uint16_t versao = 1;
    std::memcpy(v.data(), &versao, 2);
    const uint64_t crc8 = zenta::QVCrc64(v.data(), 2);
    std::memcpy(v.data() + 8, &crc8, 8);
    const uint64_t crc16 = zenta::QVCrc64(v.data() + 8, 8);
    std::memcpy(v.data() + 16, &crc16, 8);
    ASSERT_TRUE(PrefixoValido(v.data()));
    // Exactly sized, so that AddressSanitizer sees any read past the end.
    const auto dados = std::make_unique<std::byte[]>(v.size());
    std::memcpy(dados.get(), v.data(), v.size());
    FonteMemoria fonte({dados.get(), v.size()});
    OpcoesVerificacao o;
    o.texto = true;
    const ResultadoVerificacao r = Verifica(fonte, "GEX.dat", o);
    ASSERT_EQ(r.achados.size(), 1u);
    EXPECT_EQ(r.achados[0].tipo, TipoAchado::cabecalhoTruncado);

    std::byte b[8]{};
    EXPECT_FALSE(fonte.Le(20, b, 5));
    EXPECT_FALSE(fonte.Le(UINT64_MAX, b, 1));
    EXPECT_TRUE(fonte.Le(24, b, 0));
}

TEST(DbCheck, LinesNameTheEnginesCodes) {
    const Achado a{TipoAchado::crcCabecalho, 232, E_CRC_CABECALHO_NAO_CONFERE, "texto"};
    EXPECT_EQ(FormataAchado("ARQ.dat", a),
              "ARQ.dat: offset 232: crcCabecalho: texto [E_QVCR_CRC_CABECALHO_NAO_CONFERE 0x81080A3F]");
    const Achado b{TipoAchado::sessao, 88, 0, "x"};
    EXPECT_EQ(FormataAchado("ARQ.dat", b), "ARQ.dat: offset 88: sessao: x");
}

}  // namespace
