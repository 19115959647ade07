// The module's file and link tables against the engine's naming rules and
// the order start-up compaction needs.

#include <array>
#include <string_view>

#include "core/qvdatabase/QVDataBaseUtil.h"
#include "core/qvdatabase/QVGroupFileBase.h"
#include "schema/ArquivosManutencaoPreventiva.h"
#include "values/QVMesAno.h"

namespace {

using namespace zenta;

// ---- The file table ---------------------------------------------------------------------

bool EhPadraoGrupo(std::string_view nome) { return nome.find('?') != std::string_view::npos; }

TEST(SchemaArquivos, NomesSaoNomesValidosDoMotor) {
    std::array<std::string_view, ARQUIVOS_GE_MANUTENCAO_PREVENTIVA.size() + 1> nomes{};
    for (std::size_t i = 0; i < ARQUIVOS_GE_MANUTENCAO_PREVENTIVA.size(); ++i)
        nomes[i] = ARQUIVOS_GE_MANUTENCAO_PREVENTIVA[i].sNomeArquivo;
    nomes.back() = NOME_ARQUIVO_VERSAO_MANUTENCAO_PREVENTIVA;

    std::set<std::string_view> vistos;
    for (std::string_view nome : nomes) {
        SCOPED_TRACE(std::string(nome));
        EXPECT_TRUE(NomeArquivoValido(nome));
        // Upper-case base, lower-case extension: names that differ only in case are equal.
        EXPECT_EQ(NormalizaNomeArquivo(nome), nome);
        ASSERT_TRUE(nome.ends_with(".dat"));
        const std::string_view base = nome.substr(0, nome.size() - 4);
        EXPECT_TRUE(std::all_of(base.begin(), base.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '?';
        }));
        EXPECT_TRUE(vistos.insert(nome).second) << "two files share a name";
    }
}

TEST(SchemaArquivos, SoGruposTemRunDeInterrogacoesComChaveMesAno) {
    for (const DescricaoArquivoGE& arq : ARQUIVOS_GE_MANUTENCAO_PREVENTIVA) {
        SCOPED_TRACE(std::string(arq.sNomeArquivo));
        const bool grupo = arq.eTipo == ETipoArquivoGE::eArquivoGrupo;
        EXPECT_EQ(EhPadraoGrupo(arq.sNomeArquivo), grupo);
        if (!grupo) continue;
        EXPECT_TRUE(PadraoGrupoValido(arq.sNomeArquivo));
        // One run of six, right before the extension.
        const std::size_t ini = arq.sNomeArquivo.find('?');
        EXPECT_EQ(arq.sNomeArquivo.substr(ini), "??????.dat");
        // Every month/year key fits the run and is found again from the name.
        for (const USHORT ma : {QVMAFromMesAno(1, 1848), QVMAFromMesAno(7, 2022), QVMA_MAXIMO}) {
            std::string membro;
            ASSERT_TRUE(NomeMembroGrupo(arq.sNomeArquivo, QVMAToChave(ma), membro));
            ULONGLONG chave = 0;
            EXPECT_TRUE(CasaMembroGrupo(membro, arq.sNomeArquivo, chave));
            EXPECT_EQ(chave, QVMAToChave(ma));
        }
    }
    std::string julho;
    ASSERT_TRUE(NomeMembroGrupo(NOME_ARQUIVO_MOV_MANUT_PREV, QVMAToChave(QVMAFromMesAno(7, 2022)), julho));
    EXPECT_EQ(julho, "GEMOVMANUT072022.dat");
}

// ---- The link tables -----------------------------------------------------------------

void EsperaLigacaoFilhos(const LigacaoFilhosGE& lig, bool cadastro) {
    SCOPED_TRACE(std::string(lig.sArquivoPai) + " -> " + std::string(lig.sArquivoFilho));
    const DescricaoArquivoGE* pai = BuscaArquivoGE(lig.sArquivoPai);
    const DescricaoArquivoGE* filho = BuscaArquivoGE(lig.sArquivoFilho);
    ASSERT_NE(pai, nullptr);
    ASSERT_NE(filho, nullptr);
    EXPECT_NE(filho->eTipo, ETipoArquivoGE::eArquivoTexto);
    if (cadastro) {  // compacted as CQVFile parent and child
        EXPECT_EQ(pai->eTipo, ETipoArquivoGE::eArquivoTipado);
        EXPECT_EQ(filho->eTipo, ETipoArquivoGE::eArquivoTipado);
    }
    EXPECT_LE(lig.campoPrimeiro.offset + sizeof(ULONG), pai->tamanhoRegistro);
    EXPECT_LE(lig.campoQtd.offset + sizeof(ULONG), pai->tamanhoRegistro);
    const std::size_t a = lig.campoPrimeiro.offset, b = lig.campoQtd.offset;
    EXPECT_TRUE(a + sizeof(ULONG) <= b || b + sizeof(ULONG) <= a) << "the two fields overlap";
}

TEST(SchemaLigacoes, LigacoesApontamParaArquivosDoBancoNaOrdemDaCompactacao) {
    for (const LigacaoFilhosGE& lig : LIGACOES_CADASTRO_GE) EsperaLigacaoFilhos(lig, true);
    for (const LigacaoFilhosGE& lig : LIGACOES_MOVIMENTACAO_GE) EsperaLigacaoFilhos(lig, false);
    for (const LigacaoTextoGE& lig : LIGACOES_TEXTO_GE) {
        SCOPED_TRACE(std::string(lig.sArquivoPai) + " -> " + std::string(lig.sArquivoTexto));
        const DescricaoArquivoGE* pai = BuscaArquivoGE(lig.sArquivoPai);
        const DescricaoArquivoGE* texto = BuscaArquivoGE(lig.sArquivoTexto);
        ASSERT_NE(pai, nullptr);
        ASSERT_NE(texto, nullptr);
        EXPECT_EQ(texto->eTipo, ETipoArquivoGE::eArquivoTexto);
        EXPECT_LE(lig.campo.offset + sizeof(ULONG), pai->tamanhoRegistro);
        // Start-up compaction reads the parents from a plain record file.
        if (lig.bCompactadoNaInicializacao) {
            EXPECT_EQ(pai->eTipo, ETipoArquivoGE::eArquivoTipado);
        }
    }

    // A child file is compacted against its parent before it is compacted,
    // as a parent, against its own children.
    const auto& c = LIGACOES_CADASTRO_GE;
    for (std::size_t i = 0; i < c.size(); ++i)
        for (std::size_t j = 0; j < c.size(); ++j)
            if (c[i].sArquivoFilho == c[j].sArquivoPai) {
                EXPECT_LT(i, j) << c[i].sArquivoFilho;
            }
    // Every child file has one parent link only: two would compact it twice.
    std::set<std::string_view> filhos;
    for (const LigacaoFilhosGE& lig : c) EXPECT_TRUE(filhos.insert(lig.sArquivoFilho).second);
}

}  // namespace
