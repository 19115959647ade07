// Writes that fail part-way (a full disk lets half the bytes land) are undone:
// the file keeps its bytes, length and header, the object its records, and
// later writes go where they belong. When the undo itself fails, the object
// refuses to write on and the file is not taken for sound on the next load.

#include <span>
#include <string_view>

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVFile.h"
#include "core/qvdatabase/QVFileSingleReg.h"
#include "support/MotorFalhas.h"
#include "support/MotorTeste.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using namespace zenta::teste;

// What a write must carry to be torn: old bytes written back pass.
constexpr std::string_view MARCA = "RASGA";

REG_TESTE Marcado(ULONG codigo) { return Reg(codigo, codigo % 10, MARCA); }

std::vector<REG_TESTE> Marcados(ULONG primeiro, std::size_t n) {
    std::vector<REG_TESTE> v;
    for (std::size_t i = 0; i < n; ++i) v.push_back(Marcado(primeiro + static_cast<ULONG>(i)));
    return v;
}

using Tipado = CQVFile<REG_TESTE>;
constexpr const char* NOME_TIPADO = "GERASGO.dat";
constexpr const char* NOME_TEXTO = "GERASGOTXT.dat";
constexpr const char* NOME_UNICO = "GERASGOUNI.dat";

class GravacaoRasgadaTeste : public ::testing::Test {
protected:
    // Tears the next `m_rasgar` writes that carry MARCA (half their bytes
    // land, then the write fails as on a full disk); can make cuts fail.
    GravacaoRasgadaTeste()
        : m_camada(std::make_shared<CamadaFalhas>([this](const Passo& p) {
              if (p.tipo == PassoSO::trunca && m_falhaTrunca) return kFalha;
              if (p.tipo != PassoSO::grava || m_rasgar <= 0 || p.bytes.find(MARCA) == std::string_view::npos)
                  return kPassa;
              --m_rasgar;
              ++m_rasgadas;
              return kRasgaDiscoCheio;
          })),
          m_escopo(m_camada, PoliticaRapida(2, 3)) {}
    fs::path Caminho(const char* nome) const { return DadosGE(m_home) / nome; }
    std::string Disco(const char* nome) const { return LeArquivo(Caminho(nome)); }
    static ULONGLONG TamanhoDadosCabecalho(const std::string& bytes) { return CabecalhoDe(bytes).ullTamanhoDados; }

    std::unique_ptr<Tipado> NovoTipado() {
        auto arq = std::make_unique<Tipado>(NOME_TIPADO, &m_db);
        EXPECT_EQ(arq->Inicializa("EMP", 7, 42), S_OK);
        return arq;
    }
    std::unique_ptr<Tipado> TipadoCom(const std::vector<ULONG>& codigos) {
        auto arq = NovoTipado();
        std::vector<REG_TESTE> regs;
        for (const ULONG c : codigos) regs.push_back(Reg(c, c % 10, "ok"));
        ULONGLONG pos = 0;
        EXPECT_EQ(arq->GravaColecao(pos, regs), S_OK);
        return arq;
    }
    // The records a fresh object loads from disk.
    std::vector<ULONG> CodigosNoDisco() {
        auto arq = NovoTipado();
        std::vector<ULONG> v = CodigosDe(*arq);
        arq->Finaliza();
        return v;
    }

    std::unique_ptr<CQVTextFile> NovoTexto() {
        auto arq = std::make_unique<CQVTextFile>(NOME_TEXTO, &m_db);
        EXPECT_EQ(arq->Inicializa("EMP", 7, 42), S_OK);
        return arq;
    }
    std::unique_ptr<CQVTextFile> TextoCom(const std::vector<std::string>& textos) {
        auto arq = NovoTexto();
        ULONGLONG pos = 0;
        EXPECT_EQ(arq->GravaColecao(pos, std::span<const std::string>(textos)), S_OK);
        return arq;
    }
    std::vector<std::string> TextosNoDisco() {
        auto arq = NovoTexto();
        std::vector<std::string> v = TextosDe(*arq);
        arq->Finaliza();
        return v;
    }

    ZentaHomeTemporario m_home;
    std::atomic<int> m_rasgar{0};
    std::atomic<int> m_rasgadas{0};
    std::atomic<bool> m_falhaTrunca{false};
    std::shared_ptr<CamadaFalhas> m_camada;
    zenta::EscopoArquivoSO m_escopo;
    zenta::CQVContainerArquivosSimples m_db{QV_MODULO_GE};
};

// ---- Typed files ---------------------------------------------------------------------

// (attempts per write, records appended): 4 records tear at a record
// boundary, 3 in the middle of one.
class AnexoRasgadoTeste : public GravacaoRasgadaTeste,
                          public ::testing::WithParamInterface<std::tuple<unsigned, std::size_t>> {};

TEST_P(AnexoRasgadoTeste, FailedAppendLeavesTheFileAsItWas) {
    const auto [tentativas, quantidade] = GetParam();
    zenta::DefineTentativasArquivo(PoliticaRapida(2, tentativas));
    auto arq = TipadoCom({1, 2});
    ASSERT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
    const std::string antes = Disco(NOME_TIPADO);

    m_rasgar = 1000;
    ULONGLONG pos = 0;
    EXPECT_EQ(arq->GravaColecao(pos, Marcados(10, quantidade)), E_QVDATABASE_eDiskFull);
    EXPECT_EQ(m_rasgadas.load(), static_cast<int>(tentativas));  // every attempt tore
    EXPECT_EQ(pos, 0u);
    EXPECT_EQ(Disco(NOME_TIPADO), antes);
    EXPECT_EQ(CodigosDe(*arq), (std::vector<ULONG>{1, 2}));
    ULONGLONG achado = 0;
    EXPECT_EQ(arq->ExisteIndex(10, achado, 0), S_OK);
    EXPECT_EQ(achado, 0u);

    m_rasgar = 0;
    pos = 0;
    ASSERT_EQ(arq->Grava(pos, Reg(3)), S_OK);
    EXPECT_EQ(pos, 3u);
    ASSERT_EQ(arq->Finaliza(), S_OK);
    const std::string depois = Disco(NOME_TIPADO);
    EXPECT_EQ(depois.size(), 240u + 3 * 16u);
    EXPECT_EQ(TamanhoDadosCabecalho(depois), 3 * 16u);
    EXPECT_EQ(CodigosNoDisco(), (std::vector<ULONG>{1, 2, 3}));
}

INSTANTIATE_TEST_SUITE_P(TentativasEQuantidades, AnexoRasgadoTeste,
                         ::testing::Combine(::testing::Values(1u, 3u), ::testing::Values(std::size_t{3}, std::size_t{4})));

TEST_F(GravacaoRasgadaTeste, RewriteTornHalfWayIsRestored) {
    auto arq = TipadoCom({1, 2, 3, 4});
    ASSERT_EQ(arq->IncluiIndex(ChaveCodigo, 0, false, false), S_OK);
    const std::string antes = Disco(NOME_TIPADO);

    // Inside the file: half of the two records lands over record 2.
    m_rasgar = 1000;
    ULONGLONG pos = 2;
    EXPECT_EQ(arq->GravaColecao(pos, Marcados(20, 2)), E_QVDATABASE_eDiskFull);
    EXPECT_EQ(Disco(NOME_TIPADO), antes);
    EXPECT_EQ(CodigosDe(*arq), (std::vector<ULONG>{1, 2, 3, 4}));
    ULONGLONG achado = 0;
    EXPECT_EQ(arq->ExisteIndex(2, achado, 0), S_OK);
    EXPECT_EQ(achado, 2u);

    // Running past the end: record 4 is overwritten and the file grows.
    pos = 4;
    EXPECT_EQ(arq->GravaColecao(pos, Marcados(40, 3)), E_QVDATABASE_eDiskFull);
    EXPECT_EQ(Disco(NOME_TIPADO), antes);
    EXPECT_EQ(CodigosDe(*arq), (std::vector<ULONG>{1, 2, 3, 4}));

    m_rasgar = 0;
    pos = 2;
    ASSERT_EQ(arq->GravaColecao(pos, std::vector<REG_TESTE>{Reg(20), Reg(30)}), S_OK);
    pos = 0;
    ASSERT_EQ(arq->Grava(pos, Reg(5)), S_OK);
    EXPECT_EQ(pos, 5u);
    ASSERT_EQ(arq->Finaliza(), S_OK);
    EXPECT_EQ(CodigosNoDisco(), (std::vector<ULONG>{1, 20, 30, 4, 5}));
}

TEST_F(GravacaoRasgadaTeste, FailedUndoRefusesFurtherWritesAndTheFileIsNotTakenAsSound) {
    auto arq = TipadoCom({1, 2});
    const std::string antes = Disco(NOME_TIPADO);
    m_rasgar = 1000;
    m_falhaTrunca = true;
    ULONGLONG pos = 0;
    EXPECT_EQ(arq->GravaColecao(pos, Marcados(10, 4)), E_QVDATABASE_eHardIO);  // the cut's failure
    EXPECT_EQ(m_rasgadas.load(), 1);  // not tried again next to the stray bytes

    // The layer works again, but the object no longer knows its file.
    m_rasgar = 0;
    m_falhaTrunca = false;
    const int gravacoes = m_camada->gravacoes.load();
    pos = 0;
    EXPECT_EQ(arq->Grava(pos, Reg(3)), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
    pos = 1;
    EXPECT_EQ(arq->Grava(pos, Reg(9)), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
    EXPECT_EQ(m_camada->gravacoes.load(), gravacoes);
    EXPECT_EQ(CodigosDe(*arq), (std::vector<ULONG>{1, 2}));  // reads go on from memory

    // Closing leaves the header's data length at the last good state: the
    // stray records are never read as data; being whole records of a write
    // never acknowledged, the next load cuts them off.
    arq->Finaliza();
    const std::string depois = Disco(NOME_TIPADO);
    EXPECT_EQ(depois.size(), antes.size() + 2 * 16u);
    EXPECT_EQ(depois.substr(0, antes.size()), antes);
    EXPECT_EQ(CodigosNoDisco(), (std::vector<ULONG>{1, 2}));
    EXPECT_EQ(Disco(NOME_TIPADO).substr(240), antes.substr(240));
}

// A process that dies between a write's bytes and its header update leaves
// bytes past the header's data length. Whole records (whole text items, the
// first record of a single-record file) are that write, never acknowledged:
// the next writable open cuts them off. Anything else is refused untouched.
TEST_F(GravacaoRasgadaTeste, UnacknowledgedAppendIsCutOffAndOtherStrayBytesRefused) {
    TipadoCom({1, 2})->Finaliza();
    TextoCom({"um"})->Finaliza();
    {
        CQVFileSingleReg<REG_TESTE> unico(NOME_UNICO, &m_db);
        ASSERT_EQ(unico.Inicializa("EMP", 7, 42), S_OK);
        ASSERT_EQ(unico.GravaVersaoArquivo(1), S_OK);  // created, header only
        unico.Finaliza();
    }
    const auto registro = [](ULONG c) { return BytesDe(Reg(c)); };
    const std::string item("\x03\0\0\0abc", 7);
    struct Caso {
        const char* nome;
        const char* arquivo;
        std::string acrescimo;
        HRESULT esperado;
    };
    const Caso casos[] = {
        {"two whole records", NOME_TIPADO, registro(3) + registro(4), S_OK},
        {"a record and a half", NOME_TIPADO, registro(3) + registro(4).substr(0, 8), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE},
        {"two whole items", NOME_TEXTO, item + item, S_OK},
        {"an item cut short", NOME_TEXTO, item.substr(0, 5), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE},
        {"first record of a single-record file", NOME_UNICO, registro(5), S_OK},
        {"two records on a single-record file", NOME_UNICO, registro(5) + registro(6), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE},
    };
    for (const Caso& caso : casos) {
        const std::string antes = Disco(caso.arquivo);
        GravaBytes(Caminho(caso.arquivo), antes + caso.acrescimo);
        HRESULT hr = E_FAIL;
        if (std::string_view(caso.arquivo) == NOME_TIPADO) {
            Tipado arq(NOME_TIPADO, &m_db);
            hr = arq.Inicializa("EMP", 7, 42);
            if (SUCCEEDED(hr)) {
                EXPECT_EQ(CodigosDe(arq), (std::vector<ULONG>{1, 2})) << caso.nome;
            }
            arq.Finaliza();
        } else if (std::string_view(caso.arquivo) == NOME_TEXTO) {
            CQVTextFile arq(NOME_TEXTO, &m_db);
            hr = arq.Inicializa("EMP", 7, 42);
            if (SUCCEEDED(hr)) {
                EXPECT_EQ(TextosDe(arq), (std::vector<std::string>{"um"})) << caso.nome;
            }
            arq.Finaliza();
        } else {
            CQVFileSingleReg<REG_TESTE> arq(NOME_UNICO, &m_db);
            hr = arq.Inicializa("EMP", 7, 42);
            arq.Finaliza();
        }
        EXPECT_EQ(hr, caso.esperado) << caso.nome;
        // Cut back to the data before (the header's stamps moved on), or untouched.
        const std::string depois = Disco(caso.arquivo);
        if (SUCCEEDED(caso.esperado)) {
            EXPECT_EQ(depois.substr(240), antes.substr(240)) << caso.nome;
            EXPECT_EQ(TamanhoDadosCabecalho(depois), antes.size() - 240) << caso.nome;
        } else {
            EXPECT_EQ(depois, antes + caso.acrescimo) << caso.nome;
        }
        GravaBytes(Caminho(caso.arquivo), antes);
    }
}

TEST_F(GravacaoRasgadaTeste, SingleRecordFileTornWriteIsUndone) {
    using Unico = CQVFileSingleReg<REG_TESTE>;
    {
        // First record: what landed is cut back to the bare header.
        Unico arq(NOME_UNICO, &m_db);
        ASSERT_EQ(arq.Inicializa("EMP", 7, 42), S_OK);
        m_rasgar = 1000;
        EXPECT_EQ(arq.Grava(Marcado(1)), E_QVDATABASE_eDiskFull);
        EXPECT_EQ(Disco(NOME_UNICO).size(), 240u);
        EXPECT_EQ(arq.GetQtdRegistros(), 0u);
        m_rasgar = 0;
        ASSERT_EQ(arq.Grava(Reg(1)), S_OK);
        const std::string antes = Disco(NOME_UNICO);

        // Rewrite: the old record is written back.
        m_rasgar = 1000;
        EXPECT_EQ(arq.Grava(Marcado(2)), E_QVDATABASE_eDiskFull);
        EXPECT_EQ(Disco(NOME_UNICO), antes);
        REG_TESTE lido{};
        EXPECT_EQ(arq.Le(lido), S_OK);
        EXPECT_EQ(lido.lCodigo, 1u);
        ASSERT_EQ(arq.Finaliza(), S_OK);
    }
    Unico recarga(NOME_UNICO, &m_db);
    ASSERT_EQ(recarga.Inicializa("EMP", 7, 42), S_OK);
    REG_TESTE lido{};
    EXPECT_EQ(recarga.Le(lido), S_OK);
    EXPECT_EQ(lido.lCodigo, 1u);
}

// ---- Text files ----------------------------------------------------------------------

class TextoRasgadoTeste : public GravacaoRasgadaTeste, public ::testing::WithParamInterface<unsigned> {};

TEST_P(TextoRasgadoTeste, FailedAppendLeavesTheFileAsItWas) {
    zenta::DefineTentativasArquivo(PoliticaRapida(2, GetParam()));
    auto arq = TextoCom({"um"});
    const std::string antes = Disco(NOME_TEXTO);

    m_rasgar = 1000;
    ULONGLONG pos = 0;
    EXPECT_EQ(arq->Grava(pos, "RASGA um texto mais longo"), E_QVDATABASE_eDiskFull);
    EXPECT_EQ(m_rasgadas.load(), static_cast<int>(GetParam()));
    EXPECT_EQ(Disco(NOME_TEXTO), antes);
    EXPECT_EQ(arq->GetQtdRegistros(), 1u);

    m_rasgar = 0;
    pos = 0;
    ASSERT_EQ(arq->Grava(pos, "dois"), S_OK);
    EXPECT_EQ(pos, 2u);
    ASSERT_EQ(arq->Finaliza(), S_OK);
    EXPECT_EQ(TextosNoDisco(), (std::vector<std::string>{"um", "dois"}));
}

INSTANTIATE_TEST_SUITE_P(Tentativas, TextoRasgadoTeste, ::testing::Values(1u, 3u));

TEST_F(GravacaoRasgadaTeste, TextRewriteTornHalfWayIsRestored) {
    auto arq = TextoCom({"velho1", "velho2", "ultimo"});
    const std::string antes = Disco(NOME_TEXTO);

    // Two items of 10 bytes: the first 10 land, over the whole first item.
    m_rasgar = 1000;
    ULONGLONG pos = 1;
    const std::vector<std::string> dentro = {"RASGA1", "RASGA2"};
    EXPECT_EQ(arq->GravaColecao(pos, std::span<const std::string>(dentro)), E_QVDATABASE_eDiskFull);
    EXPECT_EQ(Disco(NOME_TEXTO), antes);

    // Over the last item and past the end.
    pos = 3;
    const std::vector<std::string> alem = {"RASGA3", "um texto que passa do fim"};
    EXPECT_EQ(arq->GravaColecao(pos, std::span<const std::string>(alem)), E_QVDATABASE_eDiskFull);
    EXPECT_EQ(Disco(NOME_TEXTO), antes);
    EXPECT_EQ(TextosDe(*arq), (std::vector<std::string>{"velho1", "velho2", "ultimo"}));

    m_rasgar = 0;
    pos = 2;
    ASSERT_EQ(arq->Grava(pos, "novo-2"), S_OK);
    pos = 0;
    ASSERT_EQ(arq->Grava(pos, "quatro"), S_OK);
    EXPECT_EQ(pos, 4u);
    ASSERT_EQ(arq->Finaliza(), S_OK);
    EXPECT_EQ(TextosNoDisco(), (std::vector<std::string>{"velho1", "novo-2", "ultimo", "quatro"}));
}

TEST_F(GravacaoRasgadaTeste, TextFailedUndoRefusesFurtherWrites) {
    auto arq = TextoCom({"um"});
    m_rasgar = 1000;
    m_falhaTrunca = true;
    ULONGLONG pos = 0;
    EXPECT_EQ(arq->Grava(pos, "RASGA texto"), E_QVDATABASE_eHardIO);
    EXPECT_EQ(m_rasgadas.load(), 1);

    m_rasgar = 0;
    m_falhaTrunca = false;
    const int gravacoes = m_camada->gravacoes.load();
    pos = 0;
    EXPECT_EQ(arq->Grava(pos, "dois"), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
    EXPECT_EQ(m_camada->gravacoes.load(), gravacoes);
    arq->Finaliza();
    CQVTextFile recarga(NOME_TEXTO, &m_db);
    EXPECT_EQ(recarga.Inicializa("EMP", 7, 42), E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
}

// ---- The file layer ------------------------------------------------------------------

TEST(ArquivoSOTrunca, CutsAndExtendsTheOpenFile) {
    ZentaHomeTemporario home;
    const fs::path caminho = home.Raiz() / "trunca.bin";
    const auto so = zenta::CriaSistemaArquivosReal();
    std::unique_ptr<zenta::IArquivoAberto> arq;
    ASSERT_TRUE(so->Abre(caminho, zenta::AberturaSO::leituraGravacaoCriacao, arq).Ok());
    ASSERT_TRUE(arq->Grava(0, "abcdefgh", 8).Ok());
    ASSERT_TRUE(arq->Trunca(3).Ok());
    uint64_t tamanho = 0;
    ASSERT_TRUE(arq->Tamanho(tamanho).Ok());
    EXPECT_EQ(tamanho, 3u);
    ASSERT_TRUE(arq->Trunca(5).Ok());
    arq.reset();
    EXPECT_EQ(LeArquivo(caminho), std::string("abc\0\0", 5));
}

}  // namespace
