// The module's on-disk records against their file bytes, and the file and
// link tables against the record types and the engine's naming rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "core/qvdatabase/QVDataBaseDefs.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "core/qvdatabase/QVGroupFileBase.h"
#include "schema/ArquivosManutencaoPreventiva.h"
#include "schema/RegistrosManutencaoPreventiva.h"
#include "values/QVMesAno.h"

namespace {

using namespace zenta;

// A record's file image, built byte by byte at the offsets the stored files use.
template <class T>
class Bytes {
public:
    Bytes() { b_.fill(0); }
    explicit Bytes(const T& reg) { std::memcpy(b_.data(), &reg, sizeof(T)); }

    void Poe(std::size_t off, uint64_t v, std::size_t n) {
        ASSERT_LE(off + n, sizeof(T));
        for (std::size_t i = 0; i < n; ++i) b_[off + i] = static_cast<BYTE>(v >> (8 * i));
    }
    void PoeTexto(std::size_t off, std::string_view s) {
        ASSERT_LE(off + s.size(), sizeof(T));
        std::memcpy(b_.data() + off, s.data(), s.size());
    }
    uint64_t Le(std::size_t off, std::size_t n) const {
        uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i) v |= static_cast<uint64_t>(b_[off + i]) << (8 * i);
        return v;
    }
    BYTE operator[](std::size_t i) const { return b_[i]; }
    T Registro() const {
        T reg;
        std::memcpy(static_cast<void*>(&reg), b_.data(), sizeof(T));
        return reg;
    }

private:
    std::array<BYTE, sizeof(T)> b_{};
};

// A packed field by value: gtest's macros take references, which must not
// bind to a field at an unaligned address.
template <class V>
V Val(V v) {
    return v;
}

REG_QVDMC ChaveOrdem(ULONG ponteiro, USHORT ma) {
    REG_QVDMC dmc;
    dmc.SetDMC(ponteiro, MOVIMENTO_GERENCIADOR_MANUT_PREV, ma);
    return dmc;
}

// ---- Records with fields at odd offsets --------------------------------------------

TEST(SchemaRegistros, PlanoLeCamposDesalinhadosDosBytes) {
    const REG_QVDMC dmc = ChaveOrdem(123456, 2100);
    Bytes<REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1> b;
    b.Poe(40, 17, 4);
    b.Poe(56, 3, 4);
    b.Poe(62, 0xFFFFFFFEu, 4);  // bExcluido -2
    b.PoeTexto(78, "2019");
    b.PoeTexto(90, "500 kg");
    b.PoeTexto(528, "campo 5");
    b.Poe(580, 'M', 1);
    b.Poe(582, dmc.Get64(), 8);
    b.Poe(590, 0xA1B2C3D4u, 4);
    b.Poe(594, 42, 4);

    const auto reg = b.Registro();
    EXPECT_EQ(Val(reg.lManutencoes), 17u);
    EXPECT_EQ(Val(reg.lMedidor), 3u);
    EXPECT_EQ(Val(reg.bExcluido), -2);
    EXPECT_STREQ(reg.szAnoFabricacao, "2019");
    EXPECT_STREQ(reg.szCapacidade, "500 kg");
    EXPECT_STREQ(reg.szCampoDinamico5, "campo 5");
    EXPECT_EQ(Val(reg.cOrigem), 'M');
    const REG_QVDMC& origem = reg.dmcOrigem;  // a key at an odd offset binds to a reference
    EXPECT_EQ(origem.GetPonteiro(), 123456u);
    EXPECT_EQ(origem.GetMa(), 2100);
    EXPECT_EQ(origem.GetTipoMovimento(), MOVIMENTO_GERENCIADOR_MANUT_PREV);
    EXPECT_EQ(Val(reg.lPonteiroMedicao), 0xA1B2C3D4u);
    EXPECT_EQ(Val(reg.lUsuarioUltimaAlteracao), 42u);
}

TEST(SchemaRegistros, PlanoNovoTemZerosSoNasFaixasDeEnchimento) {
    // Every byte set, then only the zero fields cleared: the zero bytes must
    // be exactly 60-61, 66-77, 581 and 598-639.
    REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 reg;
    std::memset(static_cast<void*>(&reg), 0xFF, sizeof reg);
    std::memset(reg.cZero1, 0, sizeof reg.cZero1);
    std::memset(reg.cZero2, 0, sizeof reg.cZero2);
    std::memset(reg.cZero3, 0, sizeof reg.cZero3);
    std::memset(reg.cZero4, 0, sizeof reg.cZero4);
    const Bytes<REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1> b(reg);
    for (std::size_t i = 0; i < sizeof reg; ++i) {
        const bool zero = (i >= 60 && i <= 61) || (i >= 66 && i <= 77) || i == 581 || i >= 598;
        EXPECT_EQ(b[i] == 0, zero) << "byte " << i;
    }
    // A value-initialised record is all zero.
    const Bytes<REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1> novo(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1{});
    for (std::size_t i = 0; i < sizeof reg; ++i) EXPECT_EQ(novo[i], 0) << "byte " << i;
}

TEST(SchemaRegistros, ManutencaoGravaCamposDesalinhadosNosOffsets) {
    REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1 reg{};
    std::memset(reg.szNomeManutencao, 'N', sizeof reg.szNomeManutencao);  // full width, no terminator
    reg.lServicoCadastro = 0x01020304u;
    reg.lServicosManutencao = 9;
    reg.lQtdServicos = 2;
    reg.lProdutosManutencao = 11;
    reg.lQtdProdutos = 4;
    reg.dataUltimaVerificacaoMedicao = 55519;
    reg.vQuantidadeFalta.int64 = -12345678901LL;
    reg.bMovimentacaoGerada = 1;
    reg.bTemMedicaoInformada = 1;

    const Bytes<REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1> b(reg);
    EXPECT_EQ(b[121], 'N');
    EXPECT_EQ(b.Le(122, 4), 0x01020304u);
    EXPECT_EQ(b.Le(134, 4), 9u);
    EXPECT_EQ(b.Le(138, 4), 2u);
    EXPECT_EQ(b.Le(142, 4), 11u);
    EXPECT_EQ(b.Le(146, 4), 4u);
    EXPECT_EQ(b.Le(162, 4), 55519u);
    EXPECT_EQ(static_cast<int64_t>(b.Le(166, 8)), -12345678901LL);
    EXPECT_EQ(b[174], 1);
    EXPECT_EQ(b[175], 1);
    for (std::size_t i = 176; i < sizeof reg; ++i) EXPECT_EQ(b[i], 0) << "byte " << i;
}

TEST(SchemaRegistros, ClienteEMedicoesLeemCamposDesalinhados) {
    Bytes<REG_CADASTRO_MANUTENCAO_CLIENTE_V1> bc;
    bc.PoeTexto(102, "123A");
    bc.PoeTexto(198, "01310-100");
    bc.Poe(242, 55519, 4);
    bc.Poe(246, 55884, 4);
    bc.Poe(250, 1, 4);
    const auto cli = bc.Registro();
    EXPECT_STREQ(cli.szNumero, "123A");
    EXPECT_STREQ(cli.szCEP, "01310-100");
    EXPECT_EQ(Val(cli.dataInicial), 55519u);
    EXPECT_EQ(Val(cli.dataFinal), 55884u);
    EXPECT_EQ(Val(cli.bSemNumero), 1);

    // The 64-bit time at offset 4; the current reading has the same layout.
    Bytes<REG_CADASTRO_HISTORICO_MEDICOES_V1> bh;
    bh.Poe(0, 55519, 4);
    bh.Poe(4, 0x0000000100000002ull, 8);
    bh.Poe(12, 55520, 4);
    bh.PoeTexto(52, "SN-77");
    bh.Poe(108, 1234500, 8);
    bh.Poe(120, 86399, 4);
    bh.Poe(128, 1, 1);
    const auto hist = bh.Registro();
    EXPECT_EQ(Val(hist.dataMedicaoCalculo), 55519u);
    EXPECT_EQ(Val(hist.horaMedicaoCalculo), 0x0000000100000002LL);
    EXPECT_EQ(Val(hist.dataGravacao), 55520u);
    EXPECT_STREQ(hist.szNrSerie, "SN-77");
    EXPECT_EQ(Val(hist.vQuantidadeMedicao.int64), 1234500);
    EXPECT_EQ(Val(hist.horaMedicaoInformada), 86399);
    EXPECT_EQ(Val(hist.cMedicaoAtiva), 1);

    REG_CADASTRO_MEDICAO_ATUAL_V1 atual;
    std::memcpy(static_cast<void*>(&atual), &hist, sizeof atual);
    EXPECT_EQ(Val(atual.horaMedicaoCalculo), Val(hist.horaMedicaoCalculo));
    EXPECT_EQ(Val(atual.dataGravacao), Val(hist.dataGravacao));
    EXPECT_STREQ(atual.szNrSerie, "SN-77");
    EXPECT_EQ(Val(atual.vQuantidadeMedicao.int64), 1234500);
    EXPECT_EQ(Val(atual.horaMedicaoInformada), 86399);
    EXPECT_EQ(Val(atual.cMedicaoAtiva), 1);
}

TEST(SchemaRegistros, OrdemTextosDeLarguraCheiaNaoInvademVizinhos) {
    REG_MOVIMENTACAO_MANUT_PREV_V1 reg{};
    reg.dmcChave = ChaveOrdem(77, 2100);
    std::memset(reg.szMotivoProrrogacao, 'P', sizeof reg.szMotivoProrrogacao);
    std::memset(reg.szMotivoCancelamento, 'C', sizeof reg.szMotivoCancelamento);
    std::memset(reg.szNomeManutencao, 'N', sizeof reg.szNomeManutencao);
    std::memset(reg.szNrSerie, 'S', sizeof reg.szNrSerie);
    std::memset(reg.szParadaManutencao, 'Z', sizeof reg.szParadaManutencao);
    reg.lQtdRelacionamentoOS = 3;
    reg.lRelacionamentoOS = 8;
    reg.horaFim = 3600;
    reg.horaEfetiva.int64 = 15000;
    reg.lPtrIntegracaoCompras = 5;
    reg.lQtdDMC = 2;
    reg.lVersaoRegistro = 7;

    const Bytes<REG_MOVIMENTACAO_MANUT_PREV_V1> b(reg);
    EXPECT_EQ(b.Le(0, 8), ChaveOrdem(77, 2100).Get64());
    EXPECT_EQ(b.Le(92, 4), 3u);
    EXPECT_EQ(b.Le(96, 4), 8u);
    EXPECT_EQ(b.Le(140, 4), 3600u);
    EXPECT_EQ(b.Le(144, 8), 15000u);
    const std::array<std::pair<std::size_t, char>, 10> limites{{{176, 'P'}, {277, 'P'}, {278, 'C'}, {379, 'C'},
                                                                {380, 'N'}, {501, 'N'}, {502, 'S'}, {553, 'S'},
                                                                {554, 'Z'}, {605, 'Z'}}};
    for (const auto& [off, c] : limites) EXPECT_EQ(b[off], c) << "byte " << off;
    EXPECT_EQ(b.Le(606, 4), 5u);
    EXPECT_EQ(b.Le(610, 4), 2u);
    EXPECT_EQ(b.Le(614, 4), 7u);
    for (std::size_t i = 618; i < sizeof reg; ++i) EXPECT_EQ(b[i], 0) << "byte " << i;
}

TEST(SchemaRegistros, RelacionamentoGuardaChaveNoOffset6) {
    const REG_QVDMC dmc = ChaveOrdem(0xFFFFFFFFu, 34440);
    REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1 reg{};
    reg.lPtrOS = 99;
    reg.maOS = 2100;
    reg.dmcMovimentacao = dmc;
    const Bytes<REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1> b(reg);
    EXPECT_EQ(b.Le(0, 4), 99u);
    EXPECT_EQ(b.Le(4, 2), 2100u);
    EXPECT_EQ(b.Le(6, 8), dmc.Get64());  // across the 8-byte boundary
    EXPECT_EQ(b.Le(14, 2), 0u);
    const auto lido = b.Registro();
    EXPECT_EQ(lido.dmcMovimentacao, dmc);
    EXPECT_EQ(lido.dmcMovimentacao.GetPonteiro(), 0xFFFFFFFFu);
    EXPECT_EQ(lido.dmcMovimentacao.GetMa(), 34440);
}

TEST(SchemaRegistros, AvisoDiarioEPropriedadesNosOffsets) {
    Bytes<REG_MOVIMENTACOES_DIARIAS_V1> bd;
    bd.Poe(0, 12, 4);
    bd.Poe(4, 1, 4);
    bd.Poe(8, 2100, 2);
    const auto aviso = bd.Registro();
    EXPECT_EQ(Val(aviso.lPonteiroMovimentacao), 12u);
    EXPECT_EQ(Val(aviso.bMostrado), 1u);
    EXPECT_EQ(Val(aviso.maMovimentacao), 2100);

    Bytes<REG_CADASTRO_PROPRIEDADES_V1> bp;
    bp.Poe(2, 1, 1);
    bp.Poe(4, 15, 4);
    bp.Poe(8, 55519, 4);
    bp.PoeTexto(12, "Cor");
    bp.PoeTexto(140, "Voltagem");
    const auto prop = bp.Registro();
    EXPECT_EQ(Val(prop.cAvisarComTelaAviso), 1);
    EXPECT_EQ(Val(prop.lQtdDiasAviso), 15u);
    EXPECT_EQ(Val(prop.dataUltimaVerificacaoMedicao), 55519u);
    EXPECT_STREQ(prop.szNomeCampoDinamico1, "Cor");
    EXPECT_STREQ(prop.szNomeCampoDinamico5, "Voltagem");
}

// ---- The file table ---------------------------------------------------------------------

bool EhPadraoGrupo(std::string_view nome) { return nome.find('?') != std::string_view::npos; }

TEST(SchemaArquivos, NomesSaoNomesValidosDoMotor) {
    std::array<std::string_view, ARQUIVOS_GE_MANUTENCAO_PREVENTIVA.size() + 1> nomes{};
    for (std::size_t i = 0; i < ARQUIVOS_GE_MANUTENCAO_PREVENTIVA.size(); ++i)
        nomes[i] = ARQUIVOS_GE_MANUTENCAO_PREVENTIVA[i].sNomeArquivo;
    nomes.back() = NOME_ARQUIVO_VERSAO_MANUTENCAO_PREVENTIVA;

    std::set<std::string> vistos;
    for (std::string_view nome : nomes) {
        SCOPED_TRACE(std::string(nome));
        EXPECT_TRUE(NomeArquivoValido(nome));
        EXPECT_EQ(NormalizaNomeArquivo(nome), nome);  // upper-case base, lower-case extension
        ASSERT_TRUE(nome.ends_with(".dat"));
        const std::string_view base = nome.substr(0, nome.size() - 4);
        EXPECT_TRUE(std::all_of(base.begin(), base.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '?';
        }));
        std::string minusculo(nome);
        for (char& c : minusculo) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_TRUE(vistos.insert(minusculo).second) << "two files share a name";
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

template <class T>
void EsperaTipo(const DescricaoArquivoGE& arq) {
    EXPECT_EQ(arq.sTipoRegistro, NomeTipoRegistro<T>()) << arq.sMembro;
    EXPECT_EQ(arq.tamanhoRegistro, sizeof(T)) << arq.sMembro;
}

TEST(SchemaArquivos, TabelaNomeiaOsTiposETamanhosDosMembros) {
    // Sizes as the module's file list gives them, in member order.
    constexpr std::array<std::size_t, 21> tamanhos{640, 384, 256, 256, 64, 128, 64, 256, 32, 16, 16,
                                                   1024, 128, 256, 640, 128, 64, 64, 8, 0, 0};
    std::set<std::string_view> membros;
    for (std::size_t i = 0; i < tamanhos.size(); ++i) {
        const DescricaoArquivoGE& arq = ARQUIVOS_GE_MANUTENCAO_PREVENTIVA[i];
        EXPECT_EQ(arq.tamanhoRegistro, tamanhos[i]) << arq.sMembro;
        EXPECT_TRUE(arq.sMembro.starts_with("m_"));
        EXPECT_TRUE(membros.insert(arq.sMembro).second);
        EXPECT_EQ(BuscaArquivoGE(arq.sNomeArquivo), &arq);
        EXPECT_EQ(arq.eTipo == ETipoArquivoGE::eArquivoTexto, arq.sTipoRegistro.empty());
    }
    EXPECT_EQ(BuscaArquivoGE(NOME_ARQUIVO_VERSAO_MANUTENCAO_PREVENTIVA), nullptr);  // not a member

    EsperaTipo<REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1>(ARQUIVO_MANUTENCAO_PREVENTIVA);
    EsperaTipo<REG_CADASTRO_MANUTENCAO_CLIENTE_V1>(ARQUIVO_MANUTENCAO_CLIENTE);
    EsperaTipo<REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1>(ARQUIVO_MANUTENCAO_EQUIPAMENTO);
    EsperaTipo<REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1>(ARQUIVO_MANUTENCAO_FREQUENCIA);
    EsperaTipo<REG_CADASTRO_MANUTENCAO_SERVICO_V1>(ARQUIVO_MANUTENCAO_SERVICO);
    EsperaTipo<REG_CADASTRO_MANUTENCAO_PRODUTO_V1>(ARQUIVO_MANUTENCAO_PRODUTO);
    EsperaTipo<REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1>(ARQUIVO_MANUTENCAO_LOCAL_PRODUTO);
    EsperaTipo<REG_CADASTRO_MEDICAO_ATUAL_V1>(ARQUIVO_MEDICAO_ATUAL);
    EsperaTipo<REG_CADASTRO_MEDIDORES_V1>(ARQUIVO_MEDIDORES);
    EsperaTipo<REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1>(ARQUIVO_RELACIONAMENTO_MOV_OS);
    EsperaTipo<REG_MOVIMENTACOES_DIARIAS_V1>(ARQUIVO_MOVIMENTACOES_DIA);
    EsperaTipo<REG_CADASTRO_PROPRIEDADES_V1>(ARQUIVO_MANUTENCAO_PROPRIEDADES);
    EsperaTipo<REG_MOVIMENTACAO_PROPRIEDADES_V1>(ARQUIVO_MOVIMENTACAO_PROPRIEDADES);
    EsperaTipo<REG_CADASTRO_HISTORICO_MEDICOES_V1>(ARQUIVO_HISTORICO_MEDICOES);
    EsperaTipo<REG_MOVIMENTACAO_MANUT_PREV_V1>(ARQUIVO_MOV_MANUT_PREV);
    EsperaTipo<REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1>(ARQUIVO_MOV_PRODUTO_MANUT_PREV);
    EsperaTipo<REG_MOVIMENTACAO_LOCAL_PRODUTO_V1>(ARQUIVO_MOV_LOCAL_PRODUTO);
    EsperaTipo<REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1>(ARQUIVO_MOV_SERVICO_MANUT_PREV);
    EsperaTipo<REG_QVDMC>(ARQUIVO_MOV_INTEGRACAO_COMPRAS);
}

// ---- The link tables -----------------------------------------------------------------

// A zeroed record of type T with `v` written at `off`.
template <class T>
T ComU32(std::size_t off, ULONG v) {
    T reg{};
    std::memcpy(reinterpret_cast<BYTE*>(&reg) + off, &v, sizeof v);
    return reg;
}

TEST(SchemaLigacoes, CamposDaTabelaSaoOsCamposDosRegistros) {
    using P = REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1;
    using E = REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1;
    using R = REG_CADASTRO_MANUTENCAO_PRODUTO_V1;
    using M = REG_MOVIMENTACAO_MANUT_PREV_V1;
    const auto& c = LIGACOES_CADASTRO_GE;
    EXPECT_EQ(Val(ComU32<P>(c[0].campoPrimeiro.offset, 7).lClientes), 7u);
    EXPECT_EQ(Val(ComU32<P>(c[0].campoQtd.offset, 7).lQtdClientes), 7u);
    EXPECT_EQ(Val(ComU32<P>(c[1].campoPrimeiro.offset, 7).lManutencoes), 7u);
    EXPECT_EQ(Val(ComU32<P>(c[1].campoQtd.offset, 7).lQtdManutencoes), 7u);
    EXPECT_EQ(Val(ComU32<E>(c[2].campoPrimeiro.offset, 7).lServicosManutencao), 7u);
    EXPECT_EQ(Val(ComU32<E>(c[2].campoQtd.offset, 7).lQtdServicos), 7u);
    EXPECT_EQ(Val(ComU32<E>(c[3].campoPrimeiro.offset, 7).lProdutosManutencao), 7u);
    EXPECT_EQ(Val(ComU32<E>(c[3].campoQtd.offset, 7).lQtdProdutos), 7u);
    EXPECT_EQ(Val(ComU32<R>(c[4].campoPrimeiro.offset, 7).lLocalEstoque), 7u);
    EXPECT_EQ(Val(ComU32<R>(c[4].campoQtd.offset, 7).lQtdEstoque), 7u);
    // The offsets of the registration links in the stored files.
    const std::array<std::pair<std::size_t, std::size_t>, 5> offsets{{{48, 52}, {40, 44}, {134, 138}, {142, 146},
                                                                       {28, 32}}};
    for (std::size_t i = 0; i < c.size(); ++i) {
        EXPECT_EQ(c[i].campoPrimeiro.offset, offsets[i].first) << c[i].campoPrimeiro.sNome;
        EXPECT_EQ(c[i].campoQtd.offset, offsets[i].second) << c[i].campoQtd.sNome;
    }

    const auto& m = LIGACOES_MOVIMENTACAO_GE;
    EXPECT_EQ(Val(ComU32<M>(m[2].campoPrimeiro.offset, 7).lRelacionamentoOS), 7u);
    EXPECT_EQ(Val(ComU32<M>(m[2].campoQtd.offset, 7).lQtdRelacionamentoOS), 7u);
    EXPECT_EQ(Val(ComU32<M>(m[3].campoQtd.offset, 7).lQtdDMC), 7u);

    const auto& t = LIGACOES_TEXTO_GE;
    EXPECT_EQ(t[0].campo.offset, 52u);
    EXPECT_EQ(Val(ComU32<REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1>(t[0].campo.offset, 7).lObservacao), 7u);
    EXPECT_EQ(Val(ComU32<M>(t[1].campo.offset, 7).lObservacao), 7u);
    EXPECT_EQ(Val(ComU32<M>(t[2].campo.offset, 7).lOcorrencia), 7u);
}

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

TEST(SchemaLigacoes, LigacoesApontamParaArquivosDoBanco) {
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
}

TEST(SchemaLigacoes, CompactacaoDoPaiAntesDoFilhoComoPai) {
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
