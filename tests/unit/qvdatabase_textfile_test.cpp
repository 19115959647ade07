// The text file: its item chain on disk, reads by position, appends and
// rewrites, and the refusal of corrupt chains.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVFileBase.h"
#include "core/qvdatabase/QVTextFile.h"
#include "support/MotorTeste.h"
#include "support/ArquivosLog.h"
#include "support/ZentaHomeTemporario.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using zenta::teste::LeArquivo;

constexpr const char* NOME = "GETEXTO.dat";

void GravaBytes(const fs::path& caminho, const std::string& bytes) {
    fs::create_directories(caminho.parent_path());
    std::ofstream out(caminho, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// One item of the chain as it must be on disk: u32 length, then the characters.
std::string Item(const std::string& texto) {
    const uint32_t n = static_cast<uint32_t>(texto.size());
    return std::string(reinterpret_cast<const char*>(&n), 4) + texto;
}
std::string Campo(uint32_t n) { return std::string(reinterpret_cast<const char*>(&n), 4); }

using zenta::teste::CabecalhoDe;

// Counts the writes that reach the files; with `falhaParcial` the first write
// lands only its first half and then fails, as a full disk would.
class CamadaTeste final : public zenta::SistemaArquivosRepassador {
public:
    explicit CamadaTeste(bool falhaParcial = false)
        : SistemaArquivosRepassador(zenta::CriaSistemaArquivosReal()), m_falhaParcial(falhaParcial) {}
    zenta::ResultadoArquivo Abre(const fs::path& caminho, zenta::AberturaSO modo,
                                 std::unique_ptr<zenta::IArquivoAberto>& arquivo) override {
        const zenta::ResultadoArquivo r = m_base->Abre(caminho, modo, arquivo);
        if (r.Ok()) arquivo = std::make_unique<Arquivo>(std::move(arquivo), *this);
        return r;
    }
    int Gravacoes() const { return m_gravacoes.load(); }
    bool m_falhaParcial;
    std::atomic<int> m_gravacoes{0};

private:
    class Arquivo final : public zenta::IArquivoAberto {
    public:
        Arquivo(std::unique_ptr<zenta::IArquivoAberto> a, CamadaTeste& c) : m_a(std::move(a)), m_c(c) {}
        zenta::ResultadoArquivo Le(uint64_t p, void* d, std::size_t t, std::size_t& l) override { return m_a->Le(p, d, t, l); }
        zenta::ResultadoArquivo Grava(uint64_t p, const void* o, std::size_t t) override {
            ++m_c.m_gravacoes;
            if (m_c.m_falhaParcial && t > 1) {
                m_c.m_falhaParcial = false;
                (void)m_a->Grava(p, o, t / 2);
                return zenta::ResultadoArquivo::Falha(zenta::CausaArquivo::discoCheio, ENOSPC);
            }
            return m_a->Grava(p, o, t);
        }
        zenta::ResultadoArquivo Tamanho(uint64_t& t) override { return m_a->Tamanho(t); }
        zenta::ResultadoArquivo Sincroniza() override { return m_a->Sincroniza(); }
        zenta::ResultadoArquivo Trunca(uint64_t t) override { return m_a->Trunca(t); }

    private:
        std::unique_ptr<zenta::IArquivoAberto> m_a;
        CamadaTeste& m_c;
    };
};

class QVTextFileTeste : public ::testing::Test {
protected:
    QVTextFileTeste() : m_escopo(nullptr, zenta::teste::PoliticaRapida()) {}
    fs::path Caminho(const std::string& nome = NOME) const { return m_home.Raiz() / "data" / "EMP" / "GE" / nome; }
    std::string Disco() const { return LeArquivo(Caminho()); }

    // A file holding `textos`, written by the engine (with its header unless `semCabecalho`).
    void CriaArquivo(const std::vector<std::string>& textos, bool semCabecalho = false) {
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

    zenta::teste::ZentaHomeTemporario m_home;
    zenta::EscopoArquivoSO m_escopo;
    zenta::CQVContainerArquivosSimples m_db{QV_MODULO_GE};
};

// ---- Chain on disk, appends, reads ---------------------------------------------------

TEST_F(QVTextFileTeste, AppendToMissingFileWritesItemsBehindHeader) {
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(arq.GetQtdRegistros(), 0u);
    std::string lido = "lixo";
    EXPECT_EQ(arq.Le(1, lido), E_QVCR_ARQUIVO_NAO_EXISTE);
    EXPECT_TRUE(lido.empty());

    ULONGLONG pos = 0;
    ASSERT_EQ(arq.Grava(pos, "abc"), S_OK);
    EXPECT_EQ(pos, 1u);
    std::string bytes = Disco();
    ASSERT_EQ(bytes.size(), 240u + 7u);
    EXPECT_EQ(bytes.substr(240), "\x03\x00\x00\x00" "abc"s);
    EXPECT_EQ(CabecalhoDe(bytes).ullTamanhoDados, 7u);

    pos = 0;
    ASSERT_EQ(arq.Grava(pos, ""), S_OK);
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(Disco().substr(240), Item("abc") + Item(""));
    ASSERT_EQ(arq.Le(2, lido), S_OK);
    EXPECT_EQ(lido, "");
}

TEST_F(QVTextFileTeste, TextsRoundTripThroughCloseAndReopen) {
    const std::vector<std::string> textos = {"abc", "", "a\0b\0"s, "Manuten\xE7\xE3o", std::string(70000, 'x')};
    CriaArquivo(textos);
    EXPECT_EQ(Disco().substr(240), Item(textos[0]) + Item(textos[1]) + Item(textos[2]) + Item(textos[3]) + Item(textos[4]));

    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    ASSERT_EQ(arq.GetQtdRegistros(), textos.size());
    for (std::size_t i = 0; i < textos.size(); ++i) {
        std::string lido;
        ASSERT_EQ(arq.Le(i + 1, lido), S_OK);
        EXPECT_EQ(lido, textos[i]) << i;
    }
    // A collection appended after a reload continues the numbering.
    ULONGLONG pos = 0;
    const std::vector<std::string> mais = {"seis", "sete"};
    ASSERT_EQ(arq.GravaColecao(pos, std::span<const std::string>(mais)), S_OK);
    EXPECT_EQ(pos, 6u);
    std::string lido;
    ASSERT_EQ(arq.Le(7, lido), S_OK);
    EXPECT_EQ(lido, "sete");
}

TEST_F(QVTextFileTeste, ReadRefusalsLeaveAnEmptyText) {
    CriaArquivo({"um"});
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    std::string lido = "lixo";
    EXPECT_EQ(arq.Le(0, lido), E_QVCR_TENTATIVA_LER_POSICAO_ZERO);
    EXPECT_TRUE(lido.empty());
    lido = "lixo";
    EXPECT_EQ(arq.Le(2, lido), E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    EXPECT_TRUE(lido.empty());
    ULONGLONG pos = 3;
    EXPECT_EQ(arq.Grava(pos, "x"), E_QVCR_POSICAO_GRAVACAO_SUPERIOR_QUANTIDADE_ARQUIVO);
}

// ---- Rewrites ------------------------------------------------------------------------------

TEST_F(QVTextFileTeste, SameLengthRewriteStaysInPlaceAndMayRunPastTheEnd) {
    CriaArquivo({"um", "dois", "tres"});
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    ULONGLONG pos = 2;
    ASSERT_EQ(arq.Grava(pos, "DOIS"), S_OK);
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(Disco().substr(240), Item("um") + Item("DOIS") + Item("tres"));

    // Rewriting the last text and adding one after it.
    pos = 3;
    const std::vector<std::string> fim = {"TRES", "quatro"};
    ASSERT_EQ(arq.GravaColecao(pos, std::span<const std::string>(fim)), S_OK);
    EXPECT_EQ(arq.GetQtdRegistros(), 4u);
    arq.Finaliza();
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    std::string lido;
    ASSERT_EQ(arq.Le(4, lido), S_OK);
    EXPECT_EQ(lido, "quatro");
    ASSERT_EQ(arq.Le(2, lido), S_OK);
    EXPECT_EQ(lido, "DOIS");
}

TEST_F(QVTextFileTeste, RewriteWithAnotherLengthIsRefusedWhole) {
    CriaArquivo({"um", "dois", "tres"});
    auto camada = std::make_shared<CamadaTeste>();
    zenta::EscopoArquivoSO escopo(camada, zenta::teste::PoliticaRapida());
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    const std::string antes = Disco();
    const int gravacoes = camada->Gravacoes();

    ULONGLONG pos = 2;
    EXPECT_EQ(arq.Grava(pos, "dois!"), E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA);
    EXPECT_EQ(arq.Grava(pos, "doi"), E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA);
    // The first text would fit; the second does not: nothing of the run is written.
    const std::vector<std::string> run = {"UM", "DOIS", "tresss"};
    pos = 1;
    EXPECT_EQ(arq.GravaColecao(pos, std::span<const std::string>(run)), E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA);
    EXPECT_EQ(pos, 1u);
    EXPECT_EQ(camada->Gravacoes(), gravacoes);
    EXPECT_EQ(Disco(), antes);
    std::string lido;
    ASSERT_EQ(arq.Le(1, lido), S_OK);
    EXPECT_EQ(lido, "um");

    // The way to change a text's length: append it and keep its new position.
    pos = 0;
    ASSERT_EQ(arq.Grava(pos, "dois!"), S_OK);
    EXPECT_EQ(pos, 4u);
}

TEST_F(QVTextFileTeste, UnchangedWriteDoesNotTouchTheDisk) {
    CriaArquivo({"um", "dois"});
    auto camada = std::make_shared<CamadaTeste>();
    zenta::EscopoArquivoSO escopo(camada, zenta::teste::PoliticaRapida());
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    const std::string antes = Disco();
    const int gravacoes = camada->Gravacoes();
    ULONGLONG pos = 1;
    const std::vector<std::string> iguais = {"um", "dois"};
    EXPECT_FALSE(arq.PrecisaGravar(1, std::vector<std::string_view>{"um", "dois"}));
    EXPECT_TRUE(arq.PrecisaGravar(2, std::vector<std::string_view>{"dois", "tres"}));
    ASSERT_EQ(arq.GravaColecao(pos, std::span<const std::string>(iguais)), S_OK);
    EXPECT_EQ(camada->Gravacoes(), gravacoes);
    EXPECT_EQ(Disco(), antes);
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
    const auto linhas = zenta::teste::LinhasDe(m_home.Raiz() / "data/EMP/DF" /
                                               ("QVProfilerErros_Base_" + zenta::teste::SufixoMesAtual() + ".log"));
    bool achou = false;
    for (const std::string& linha : linhas)
        if (linha.find("hr = 0x81080C5E") != std::string::npos && linha.find("Arquivo = GETEXTO.dat") != std::string::npos)
            achou = linha.find("Posi\xE7\xE3o = 3\tRegistro = 9\tQtd. Registros = 2") != std::string::npos;
    EXPECT_TRUE(achou);
}

TEST_F(QVTextFileTeste, HeaderDataLengthThatDisagreesWithTheChainIsRefused) {
    // An item cut short past the data length (a whole one is an append
    // never acknowledged, which the open cuts off).
    CriaArquivo({"um"});
    const std::string arquivo = Disco() + Item("intruso").substr(0, 6);
    GravaBytes(Caminho(), arquivo);
    EXPECT_EQ(Carrega(), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
    EXPECT_EQ(Disco(), arquivo);
}

TEST_F(QVTextFileTeste, HeaderlessFileGainsHeaderWithItsChainBehind) {
    const std::string cadeia = Item("legado") + Item("") + Item("fim");
    GravaBytes(Caminho(), cadeia);
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(arq.GetQtdRegistros(), 3u);
    const std::string bytes = Disco();
    ASSERT_EQ(bytes.size(), 240u + cadeia.size());
    EXPECT_EQ(bytes.substr(240), cadeia);
    std::string lido;
    ASSERT_EQ(arq.Le(3, lido), S_OK);
    EXPECT_EQ(lido, "fim");
}

TEST_F(QVTextFileTeste, ContainerWithoutHeadersWritesTheBareChain) {
    CriaArquivo({"um", "", "tres"}, true);
    EXPECT_EQ(Disco(), Item("um") + Item("") + Item("tres"));
    EXPECT_EQ(Carrega(true), S_OK);
}

TEST_F(QVTextFileTeste, CompactionContainerHandsOutTheTextsWithTheirOffsets) {
    CriaArquivo({"abc", "", "de"});
    CQVTextFile normal(NOME, &m_db);
    ASSERT_EQ(normal.Inicializa("EMP", 7, 42), S_OK);
    EXPECT_EQ(normal.GetPtrRegistros(), nullptr);
    normal.Finaliza();

    zenta::CQVContainerArquivosSimples shrink(QV_MODULO_GE);
    shrink.SetEhContainerShrink(true);
    CQVTextFile arq(NOME, &shrink);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    const CQVTextosArquivo* registros = arq.GetPtrRegistros();
    ASSERT_NE(registros, nullptr);
    ASSERT_EQ(registros->size(), 3u);
    EXPECT_EQ((*registros)[0].uiOffset, 0u);
    EXPECT_EQ((*registros)[1].uiOffset, 7u);
    EXPECT_EQ((*registros)[2].uiOffset, 11u);
    EXPECT_EQ((*registros)[2].sTexto, "de");
}

TEST_F(QVTextFileTeste, AppendsNeverMoveTheTextsHeld) {
    // An append that moved the texts already held would cost as much as the
    // file holds.
    zenta::CQVContainerArquivosSimples shrink(QV_MODULO_GE);
    shrink.SetEhContainerShrink(true);
    CQVTextFile arq(NOME, &shrink);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    const CQVTextFileRegistro* primeiro = nullptr;
    for (int i = 0; i < 2000; ++i) {
        ULONGLONG pos = 0;
        ASSERT_EQ(arq.Grava(pos, "texto " + std::to_string(i)), S_OK);
        ASSERT_EQ(pos, static_cast<ULONGLONG>(i + 1));
        const CQVTextosArquivo* registros = arq.GetPtrRegistros();
        ASSERT_NE(registros, nullptr);
        if (i == 0) primeiro = &registros->front();
        ASSERT_EQ(&registros->front(), primeiro) << i;
    }
    std::string lido;
    ASSERT_EQ(arq.Le(1234, lido), S_OK);
    EXPECT_EQ(lido, "texto 1233");
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
    auto camada = std::make_shared<CamadaTeste>(false);
    zenta::EscopoArquivoSO escopo(camada, zenta::teste::PoliticaRapida());
    CQVTextFile arq(NOME, &m_db);
    ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
    camada->m_falhaParcial = true;
    ULONGLONG pos = 0;
    const std::vector<std::string> novos = {"dois", "tres"};
    ASSERT_EQ(arq.GravaColecao(pos, std::span<const std::string>(novos)), S_OK);
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(Disco().substr(240), Item("um") + Item("dois") + Item("tres"));
    arq.Finaliza();
    EXPECT_EQ(Carrega(), S_OK);
}

}  // namespace
