// The text file: its item chain on disk, reads by position, appends and
// rewrites, and the refusal of corrupt chains.

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVFileBase.h"
#include "support/ArquivosLog.h"
#include "support/MotorFalhas.h"
#include "support/MotorTeste.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using namespace zenta::teste;
using Textos = std::vector<std::string>;

constexpr const char* NOME = "GETEXTO.dat";

std::string Campo(uint32_t n) { return std::string(reinterpret_cast<const char*>(&n), 4); }
// One item of the chain as it must be on disk: u32 length, then the characters.
std::string Item(const std::string& texto) { return Campo(static_cast<uint32_t>(texto.size())) + texto; }

class QVTextFileTeste : public ::testing::Test {
protected:
    QVTextFileTeste() : m_escopo(nullptr, PoliticaRapida()) {}
    fs::path Caminho(const std::string& nome = NOME) const { return DadosGE(m_home) / nome; }
    std::string Disco() const { return LeArquivo(Caminho()); }

    // A file holding `textos`, written by the engine (with its header unless `semCabecalho`).
    void CriaArquivo(const Textos& textos, bool semCabecalho = false) {
        zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
        db.SetSemCabecalho(semCabecalho);
        CQVTextFile arq(NOME, &db);
        ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
        ULONGLONG pos = 0;
        ASSERT_EQ(arq.GravaColecao(pos, std::span<const std::string>(textos)), S_OK);
        ASSERT_EQ(arq.Finaliza(), S_OK);
    }
    HRESULT Carrega(bool semCabecalho = false) {
        zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
        db.SetSemCabecalho(semCabecalho);
        CQVTextFile arq(NOME, &db);
        const HRESULT hr = arq.Inicializa("EMP", 7, 42);
        arq.Finaliza();
        return hr;
    }

    ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
    zenta::CQVContainerArquivosSimples m_db{QV_MODULO_GE};
};

// ---- Chain on disk, appends, reads, rewrites ----------------------------------------------------

TEST_F(QVTextFileTeste, AppendsWriteItemsBehindTheHeaderAndReadRefusalsLeaveAnEmptyText) {
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    std::string lido = "lixo";
    EXPECT_EQ(arq.Le(1, lido), E_QVCR_ARQUIVO_NAO_EXISTE);
    EXPECT_TRUE(lido.empty());
    for (const std::string texto : {"abc", ""}) {
        ULONGLONG pos = 0;
        ASSERT_EQ(arq.Grava(pos, texto), S_OK);
        EXPECT_EQ(pos, arq.GetQtdRegistros());
    }
    const std::string bytes = Disco();
    EXPECT_EQ(bytes.substr(240), "\x03\x00\x00\x00" "abc"s + Campo(0));
    EXPECT_EQ(CabecalhoDe(bytes).ullTamanhoDados, 11u);
    lido = "lixo";
    EXPECT_EQ(arq.Le(0, lido), E_QVCR_TENTATIVA_LER_POSICAO_ZERO);
    EXPECT_TRUE(lido.empty());
    lido = "lixo";
    EXPECT_EQ(arq.Le(3, lido), E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    EXPECT_TRUE(lido.empty());
    ULONGLONG pos = 4;
    EXPECT_EQ(arq.Grava(pos, "x"), E_QVCR_POSICAO_GRAVACAO_SUPERIOR_QUANTIDADE_ARQUIVO);
}

TEST_F(QVTextFileTeste, TextsRoundTripThroughCloseAndReopenAndSameLengthRewritesStayInPlace) {
    const Textos textos = {"abc", "", "a\0b\0"s, "Manuten\xE7\xE3o", std::string(70000, 'x')};
    CriaArquivo(textos);
    EXPECT_EQ(Disco().substr(240), Item(textos[0]) + Item(textos[1]) + Item(textos[2]) + Item(textos[3]) + Item(textos[4]));
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(TextosDe(arq), textos);
    // A collection appended after a reload continues the numbering.
    ULONGLONG pos = 0;
    const Textos mais = {"seis", "sete"};
    ASSERT_EQ(arq.GravaColecao(pos, std::span<const std::string>(mais)), S_OK);
    EXPECT_EQ(pos, 6u);
    // A rewrite of the same length stays in place, and may run past the end.
    pos = 2;
    ASSERT_EQ(arq.Grava(pos, ""), S_OK);
    pos = 1;
    ASSERT_EQ(arq.Grava(pos, "ABC"), S_OK);
    EXPECT_EQ(pos, 1u);
    EXPECT_EQ(Disco().substr(240, 7), Item("ABC"));
    pos = 7;
    const Textos fim = {"SETE", "oito"};
    ASSERT_EQ(arq.GravaColecao(pos, std::span<const std::string>(fim)), S_OK);
    arq.Finaliza();
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(arq.GetQtdRegistros(), 8u);
    std::string lido;
    ASSERT_EQ(arq.Le(8, lido), S_OK);
    EXPECT_EQ(lido, "oito");
    ASSERT_EQ(arq.Le(1, lido), S_OK);
    EXPECT_EQ(lido, "ABC");
}

TEST_F(QVTextFileTeste, RewriteWithAnotherLengthIsRefusedWholeAndAnUnchangedOneWritesNothing) {
    CriaArquivo({"um", "dois", "tres"});
    auto camada = std::make_shared<CamadaFalhas>();
    zenta::EscopoArquivoSO escopo(camada, PoliticaRapida());
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    const std::string antes = Disco();
    const int gravacoes = camada->gravacoes;

    ULONGLONG pos = 2;
    EXPECT_EQ(arq.Grava(pos, "dois!"), E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA);
    EXPECT_EQ(arq.Grava(pos, "doi"), E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA);
    // The first text would fit; the second does not: nothing of the run is written.
    const Textos run = {"UM", "DOIS", "tresss"};
    pos = 1;
    EXPECT_EQ(arq.GravaColecao(pos, std::span<const std::string>(run)), E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA);
    EXPECT_EQ(pos, 1u);
    const Textos iguais = {"um", "dois"};
    EXPECT_FALSE(arq.PrecisaGravar(1, std::vector<std::string_view>{"um", "dois"}));
    EXPECT_TRUE(arq.PrecisaGravar(2, std::vector<std::string_view>{"dois", "TRES"}));
    ASSERT_EQ(arq.GravaColecao(pos, std::span<const std::string>(iguais)), S_OK);
    EXPECT_EQ(camada->gravacoes, gravacoes);
    EXPECT_EQ(Disco(), antes);
    EXPECT_EQ(TextosDe(arq), (Textos{"um", "dois", "tres"}));
    // The way to change a text's length: append it and keep its new position.
    pos = 0;
    ASSERT_EQ(arq.Grava(pos, "dois!"), S_OK);
    EXPECT_EQ(pos, 4u);
}

// ---- Hostile files ---------------------------------------------------------------------------

TEST_F(QVTextFileTeste, CorruptChainsAreRefusedAndLeftUntouched) {
    const std::string bom = Item("abc") + Item("");
    const struct {
        const char* nome;
        std::string dados;
    } casos[] = {
        {"length field cut", bom + "\x02\x00"s},
        {"text cut", bom + Item("abcdef").substr(0, 7)},
        {"length beyond the end", Campo(5) + "abcd"},
        {"length beyond the whole area", bom + Campo(0xFFFFFFFFu) + "x"},
    };
    for (const bool comCabecalho : {true, false}) {
        for (const auto& caso : casos) {
            std::string arquivo = caso.dados;
            if (comCabecalho) {
                // A sound header in front, its data length and CRC matching the bad chain.
                CriaArquivo({"x"});
                REG_QVDATABASE_CABECALHO_V1 c = CabecalhoDe(Disco());
                c.ullTamanhoDados = caso.dados.size();
                c.ullCrcCabecalho = zenta::CrcCabecalho(c);
                arquivo = std::string(reinterpret_cast<const char*>(&c), sizeof c) + caso.dados;
            }
            GravaBytes(Caminho(), arquivo);
            EXPECT_EQ(Carrega(), E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA)
                << caso.nome << (comCabecalho ? " (header)" : "");
            EXPECT_EQ(Disco(), arquivo) << caso.nome;
            EXPECT_FALSE(fs::exists(Caminho("GETEXTO.cab"))) << caso.nome;
            fs::remove(Caminho());
        }
    }
}

TEST_F(QVTextFileTeste, CorruptChainIsLoggedWithTheBadItemsPosition) {
    // Two sound items, then a third that claims 9 characters where 2 remain.
    GravaBytes(Caminho(), Item("um") + Item("") + Campo(9) + "xy");
    ASSERT_EQ(Carrega(), E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA);
    const auto linhas = LinhasDe(m_home.Raiz() / "data/EMP/DF" /
                                               ("QVProfilerErros_Base_" + SufixoMesAtual() + ".log"));
    bool achou = false;
    for (const std::string& linha : linhas)
        if (linha.find("hr = 0x81080C5E") != std::string::npos && linha.find("Arquivo = GETEXTO.dat") != std::string::npos)
            achou = linha.find("Posi\xE7\xE3o = 3\tRegistro = 9\tQtd. Registros = 2") != std::string::npos;
    EXPECT_TRUE(achou);
}

TEST_F(QVTextFileTeste, HeaderlessChainGainsHeaderUnlessTheContainerHasNone) {
    const std::string cadeia = Item("legado") + Item("") + Item("fim");
    GravaBytes(Caminho(), cadeia);
    EXPECT_EQ(Carrega(true), S_OK);
    EXPECT_EQ(Disco(), cadeia);
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(TextosDe(arq), (Textos{"legado", "", "fim"}));
    const std::string bytes = Disco();
    ASSERT_EQ(bytes.size(), 240u + cadeia.size());
    EXPECT_EQ(bytes.substr(240), cadeia);
    arq.Finaliza();
    fs::remove(Caminho());
    CriaArquivo({"um", "", "tres"}, true);
    EXPECT_EQ(Disco(), Item("um") + Item("") + Item("tres"));
}

TEST_F(QVTextFileTeste, CompactionContainerHandsOutTheTextsWithTheirOffsets) {
    CriaArquivo({"abc", "", "de"});
    zenta::CQVContainerArquivosSimples shrink(QV_MODULO_GE);
    shrink.SetEhContainerShrink(true);
    CQVTextFile arq(NOME, &shrink);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    const CQVTextosArquivo* registros = arq.GetPtrRegistros();
    ASSERT_NE(registros, nullptr);
    ASSERT_EQ(registros->size(), 3u);
    EXPECT_EQ((*registros)[1].uiOffset, 7u);
    EXPECT_EQ((*registros)[2].uiOffset, 11u);
    EXPECT_EQ((*registros)[2].sTexto, "de");
    // Appends past the room the load left, a rewrite among them.
    for (int i = 0; i < 2000; ++i) {
        ULONGLONG pos = 0;
        ASSERT_EQ(arq.Grava(pos, "texto " + std::to_string(i)), S_OK);
        ASSERT_EQ(pos, static_cast<ULONGLONG>(i) + 4);
    }
    ULONGLONG pos = 1;
    ASSERT_EQ(arq.Grava(pos, "xyz"), S_OK);
    std::string lido;
    ASSERT_EQ(arq.Le(1237, lido), S_OK);
    EXPECT_EQ(lido, "texto 1233");
    ASSERT_EQ(arq.Le(1, lido), S_OK);
    EXPECT_EQ(lido, "xyz");
    EXPECT_EQ(arq.GetPtrRegistros()->back().sTexto, "texto 1999");
}

// ---- Writes against the disk ---------------------------------------------------------------

TEST_F(QVTextFileTeste, FileChangedBehindTheObjectRefusesWrites) {
    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    db.SetSemCabecalho(true);
    CQVTextFile arq(NOME, &db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    ULONGLONG pos = 0;
    ASSERT_EQ(arq.Grava(pos, "meu"), S_OK);
    // Another writer's item the object never loaded: appending after it
    // would hand out a wrong position, appending over it would destroy it.
    const std::string arquivo = Disco() + Item("alheio");
    GravaBytes(Caminho(), arquivo);
    pos = 0;
    EXPECT_EQ(arq.Grava(pos, "outro"), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
    EXPECT_EQ(Disco(), arquivo);
}

TEST_F(QVTextFileTeste, RetryAfterPartialWriteCompletesTheAppendOnce) {
    CriaArquivo({"um"});
    bool rasga = false;
    zenta::EscopoArquivoSO escopo(std::make_shared<CamadaFalhas>([&](const Passo& p) {
        if (!rasga || p.tipo != PassoSO::grava || p.bytes.size() <= 1) return kPassa;
        rasga = false;
        return kRasgaDiscoCheio;
    }), PoliticaRapida());
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    rasga = true;
    ULONGLONG pos = 0;
    const Textos novos = {"dois", "tres"};
    ASSERT_EQ(arq.GravaColecao(pos, std::span<const std::string>(novos)), S_OK);
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(Disco().substr(240), Item("um") + Item("dois") + Item("tres"));
    arq.Finaliza();
    EXPECT_EQ(Carrega(), S_OK);
}

}  // namespace
