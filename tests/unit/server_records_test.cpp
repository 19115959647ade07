// Interface records against their wire bytes: bytes laid down at the wire
// offsets must come back through the right fields, and fields written through
// the structs must land at the wire offsets.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

static_assert(std::endian::native == std::endian::little, "the wire is little-endian");

namespace {

// A record's wire image, built byte by byte at the offsets clients use.
template <class T>
class Wire {
public:
    Wire() { bytes_.fill(0); }
    explicit Wire(const T& rec) { std::memcpy(bytes_.data(), &rec, sizeof(T)); }

    void PutLE(size_t off, uint64_t v, size_t n) {
        ASSERT_LE(off + n, sizeof(T));
        for (size_t i = 0; i < n; ++i) bytes_[off + i] = static_cast<BYTE>(v >> (8 * i));
    }
    void Fill(size_t off, size_t n, BYTE marker) {
        ASSERT_LE(off + n, sizeof(T));
        std::memset(bytes_.data() + off, marker, n);
    }
    void PutPtr(size_t off, const void* p) { PutLE(off, reinterpret_cast<uintptr_t>(p), 8); }

    uint64_t GetLE(size_t off, size_t n) const {
        uint64_t v = 0;
        for (size_t i = 0; i < n; ++i) v |= static_cast<uint64_t>(bytes_[off + i]) << (8 * i);
        return v;
    }
    const void* GetPtr(size_t off) const { return reinterpret_cast<const void*>(GetLE(off, 8)); }

    T Read() const {
        T rec;
        std::memcpy(&rec, bytes_.data(), sizeof(T));
        return rec;
    }

private:
    std::array<BYTE, sizeof(T)> bytes_{};
};

// Every byte of a text or filler field carries the marker painted at its offset.
::testing::AssertionResult Painted(const void* field, size_t n, BYTE marker) {
    const auto* p = static_cast<const BYTE*>(field);
    for (size_t i = 0; i < n; ++i)
        if (p[i] != marker)
            return ::testing::AssertionFailure() << "byte " << i << " is " << int{p[i]} << ", want " << int{marker};
    return ::testing::AssertionSuccess();
}

// Packed fields sit at any address: compare copies, never references to them.
template <class V>
V Val(V v) {
    return v;
}

struct Span {
    size_t off;
    size_t size;
};

}  // namespace

TEST(ServerRecords, ClienteKeepsDatesOnTwoByteBoundaries) {
    // Text fields painted over their whole length, numbers right after them:
    // a text one byte too long, or padding before dataInicial, shows here.
    static constexpr Span kTextos[] = {{8, 52}, {60, 42}, {102, 12}, {114, 62}, {176, 22}, {198, 12}, {210, 32}, {258, 6}};
    Wire<_REG_CADASTRO_MANUTENCAO_CLIENTE_PS> w;
    w.PutLE(0, 0x01020304u, 4);
    w.PutLE(4, 0x05060708u, 4);
    for (size_t i = 0; i < std::size(kTextos); ++i) w.Fill(kTextos[i].off, kTextos[i].size, static_cast<BYTE>(0xA0 + i));
    w.PutLE(242, 0x11223344u, 4);
    w.PutLE(246, 0x55667788u, 4);
    w.PutLE(250, 0xFFFFFFFFu, 4);
    w.PutLE(254, 0x00000002u, 4);

    const auto c = w.Read();
    EXPECT_EQ(Val(c.lCliente), 0x01020304u);
    EXPECT_EQ(Val(c.lMunicipio), 0x05060708u);
    EXPECT_TRUE(Painted(c.szLocalFisico, sizeof c.szLocalFisico, 0xA0));
    EXPECT_TRUE(Painted(c.szEndereco, sizeof c.szEndereco, 0xA1));
    EXPECT_TRUE(Painted(c.szNumero, sizeof c.szNumero, 0xA2));
    EXPECT_TRUE(Painted(c.szComplemento, sizeof c.szComplemento, 0xA3));
    EXPECT_TRUE(Painted(c.szBairro, sizeof c.szBairro, 0xA4));
    EXPECT_TRUE(Painted(c.szCEP, sizeof c.szCEP, 0xA5));
    EXPECT_TRUE(Painted(c.szContato, sizeof c.szContato, 0xA6));
    EXPECT_TRUE(Painted(c.szFiller, sizeof c.szFiller, 0xA7));
    EXPECT_EQ(Val(c.dataInicial), 0x11223344u);
    EXPECT_EQ(Val(c.dataFinal), 0x55667788u);
    EXPECT_EQ(Val(c.bSemNumero), -1);
    EXPECT_EQ(Val(c.bFiller), 2);

    // And back: dates written through the struct land at 242 and 246.
    _REG_CADASTRO_MANUTENCAO_CLIENTE_PS novo{};
    novo.dataInicial = 45000;
    novo.dataFinal = 45365;
    const Wire<_REG_CADASTRO_MANUTENCAO_CLIENTE_PS> out(novo);
    EXPECT_EQ(out.GetLE(242, 4), 45000u);
    EXPECT_EQ(out.GetLE(246, 4), 45365u);
    EXPECT_EQ(out.GetLE(238, 4), 0u);
}

TEST(ServerRecords, IdentificacaoEquipamentoTextsAtOddOffsets) {
    static constexpr Span kTextos[] = {{76, 12},  {88, 22},  {110, 12}, {122, 52}, {174, 52}, {226, 52}, {278, 52},
                                       {330, 52}, {382, 52}, {434, 52}, {486, 52}, {538, 52}, {590, 2}};
    Wire<_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS> w;
    w.PutLE(0, 10'000, 8);          // regMedidorAtual.vQuantidadeInicial = 1.0000
    w.PutLE(8, 1'234'567, 8);       // regMedidorAtual.vQuantidadeAtual = 123.4567
    w.PutLE(24, 3, 4);              // regMedidorAtual.lQuantidadeMedidoresSubstituidos
    w.PutLE(28, 2, 1);              // regMedidorAtual.cTipoUnidadeMedida
    w.Fill(29, 3, 0x5A);            // regMedidorAtual.szFiller
    for (size_t i = 0; i < 11; ++i) w.PutLE(32 + 4 * i, 100 + i, 4);  // lFilial .. lMedidor
    for (size_t i = 0; i < std::size(kTextos); ++i) w.Fill(kTextos[i].off, kTextos[i].size, static_cast<BYTE>(0xB0 + i));

    const auto id = w.Read();
    EXPECT_EQ(Val(id.regMedidorAtual.vQuantidadeInicial.int64), 10'000);
    EXPECT_EQ(Val(id.regMedidorAtual.vQuantidadeAtual.int64), 1'234'567);
    EXPECT_EQ(Val(id.regMedidorAtual.lQuantidadeMedidoresSubstituidos), 3u);
    EXPECT_EQ(Val(id.regMedidorAtual.cTipoUnidadeMedida), 2);
    EXPECT_TRUE(Painted(id.regMedidorAtual.szFiller, 3, 0x5A));
    const ULONG numeros[] = {id.lFilial, id.lEquipamento, id.lProduto, id.lGrade1, id.lGrade2, id.lGrade3,
                             id.lMarca,  id.lModelo,      id.lTipo,    id.lSituacao, id.lMedidor};
    for (size_t i = 0; i < std::size(numeros); ++i) EXPECT_EQ(numeros[i], 100 + i) << "field " << i;
    const std::pair<const char*, size_t> textos[] = {
        {id.szCodigo, sizeof id.szCodigo},
        {id.szCapacidade, sizeof id.szCapacidade},
        {id.szAnoFabricacao, sizeof id.szAnoFabricacao},
        {id.szNrSerie, sizeof id.szNrSerie},
        {id.szNrPatrimonial, sizeof id.szNrPatrimonial},
        {id.szMotor, sizeof id.szMotor},
        {id.szFabricante, sizeof id.szFabricante},
        {id.szCampoDinamico1, sizeof id.szCampoDinamico1},
        {id.szCampoDinamico2, sizeof id.szCampoDinamico2},
        {id.szCampoDinamico3, sizeof id.szCampoDinamico3},
        {id.szCampoDinamico4, sizeof id.szCampoDinamico4},
        {id.szCampoDinamico5, sizeof id.szCampoDinamico5},
        {reinterpret_cast<const char*>(id.cFiller), sizeof id.cFiller},
    };
    for (size_t i = 0; i < std::size(textos); ++i)
        EXPECT_TRUE(Painted(textos[i].first, textos[i].second, static_cast<BYTE>(0xB0 + i))) << "text " << i;

    // Nested by value inside the plan registration: same bytes at the start.
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    plano.idEquipamentoPS = id;
    plano.cOrigem = 7;
    const Wire<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> out(plano);
    EXPECT_EQ(out.GetLE(8, 8), 1'234'567u);
    EXPECT_EQ(out.GetLE(538, 1), 0xBBu);
    EXPECT_EQ(out.GetLE(624, 1), 7u);
}

TEST(ServerRecords, MovimentacaoReadsKeysPointersCurrencyAndTexts) {
    _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS servicos[2]{};
    ULONGLONG compras[1]{};
    char16_t ocorrencia[] = u"x";

    Wire<_REG_MOVIMENTACAO_MANUT_PREV_PS> w;
    w.PutLE(0, 0x0123456789ABCDEFull, 8);  // dmcChave
    w.PutLE(68, 77, 4);                    // lObservacao
    w.PutLE(76, 3, 4);                     // lVersaoRegistro
    w.PutPtr(80, ocorrencia);              // bsOcorrencia
    w.PutLE(100, 1, 4);                    // bGerarOS
    w.PutLE(132, 45001, 4);                // dataCancelamento
    w.PutLE(160, 2, 4);                    // listaServicos.lQtdServicos
    w.PutPtr(176, servicos);               // listaServicos.pServicos
    w.PutLE(208, 1, 4);                    // listaIntegracoesCompras.lQtdDMC
    w.PutPtr(224, compras);                // listaIntegracoesCompras.pDMC
    w.PutLE(252, 86'399, 4);               // horaFim
    w.PutLE(256, static_cast<uint64_t>(-25'000), 8);  // horaEfetiva = -2.5 h
    w.Fill(390, 102, 0xC1);                // szMotivoCancelamento
    w.Fill(492, 122, 0xC2);                // szNomeManutencao
    w.Fill(666, 52, 0xC3);                 // szParadaManutencao
    w.Fill(718, 2, 0xC4);                  // szFiller

    const auto m = w.Read();
    EXPECT_EQ(Val(m.dmcChave), 0x0123456789ABCDEFull);
    EXPECT_EQ(Val(m.lObservacao), 77u);
    EXPECT_EQ(Val(m.lVersaoRegistro), 3u);
    EXPECT_EQ(Val(m.bsOcorrencia), ocorrencia);
    EXPECT_EQ(Val(m.bsObservacao), nullptr);
    EXPECT_EQ(Val(m.bGerarOS), 1);
    EXPECT_EQ(Val(m.dataCancelamento), 45001u);
    EXPECT_EQ(Val(m.listaProdutos.lQtdProdutos), 0u);
    EXPECT_EQ(Val(m.listaServicos.lQtdServicos), 2u);
    EXPECT_EQ(Val(m.listaServicos.pServicos), servicos);
    EXPECT_EQ(Val(m.listaIntegracoesCompras.lQtdDMC), 1u);
    EXPECT_EQ(Val(m.listaIntegracoesCompras.pDMC), compras);
    EXPECT_EQ(Val(m.horaFim), 86'399);
    EXPECT_EQ(Val(m.horaEfetiva.int64), -25'000);
    EXPECT_TRUE(Painted(m.szMotivoCancelamento, sizeof m.szMotivoCancelamento, 0xC1));
    EXPECT_TRUE(Painted(m.szNomeManutencao, sizeof m.szNomeManutencao, 0xC2));
    EXPECT_TRUE(Painted(m.szParadaManutencao, sizeof m.szParadaManutencao, 0xC3));
    EXPECT_TRUE(Painted(m.szFiller, sizeof m.szFiller, 0xC4));

    // Written through the struct, the relationship list lands at 184..207.
    _REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS rel[1]{};
    _REG_MOVIMENTACAO_MANUT_PREV_PS novo{};
    novo.listaRelacionamentos.lQtdRelacionamentoOS = 1;
    novo.listaRelacionamentos.pRelacionamentos = rel;
    novo.dataPrevista = 45100;
    const Wire<_REG_MOVIMENTACAO_MANUT_PREV_PS> out(novo);
    EXPECT_EQ(out.GetLE(184, 4), 1u);
    EXPECT_EQ(out.GetPtr(200), rel);
    EXPECT_EQ(out.GetLE(232, 4), 45100u);
}

TEST(ServerRecords, FieldSizesAddUpToRecordSize) {
#define ZS(T, f) sizeof(T::f)
    struct Linha {
        const char* nome;
        size_t tamanho;
        size_t soma;
    };
    using Med = _REG_CADASTRO_MEDIDORES_PS;
    using Loc = _REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS;
    using Fre = _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS;
    using Txt = _REG_DF_TEXTOPS;
    using Dmc = _QV_DMCPS;
    using Ptr = _REG_PTR_DATA_PS;
    using Rel = _REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS;
    using Fhm = _REG_FILTRO_HISTORICO_MEDICAO_PS;
    using Ma = _REG_CADASTRO_MEDICAO_ATUAL_PS;
    const Linha linhas[] = {
        {"_REG_CADASTRO_MEDIDORES_PS", sizeof(Med),
         ZS(Med, vQuantidadeInicial) + ZS(Med, vQuantidadeAtual) + ZS(Med, lPonteiroUnMedida) +
             ZS(Med, lPonteiroCadastro) + ZS(Med, lQuantidadeMedidoresSubstituidos) + ZS(Med, cTipoUnidadeMedida) +
             ZS(Med, szFiller)},
        {"_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS", sizeof(Loc),
         ZS(Loc, cConteudoImportado) + ZS(Loc, cTipoProducao) + ZS(Loc, cFiller) + ZS(Loc, lPonteiroLocal) +
             ZS(Loc, lPonteiroLote) + ZS(Loc, lPonteiroForLote) + ZS(Loc, lPonteiroVolume) +
             ZS(Loc, lPonteiroForEPTETPE) + ZS(Loc, lPonteiroCliEPTETPE) + ZS(Loc, lPonteiroControleFCI) +
             ZS(Loc, lFiller) + ZS(Loc, vQuantidadeEs) + ZS(Loc, vPIUnitaria)},
        {"_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS", sizeof(Fre),
         ZS(Fre, szParadaManutencao) + ZS(Fre, szFiller) + ZS(Fre, lTipoFrequenciaTempo) +
             ZS(Fre, lFrequenciaLimiteTempo) + ZS(Fre, lQtdCasasDecimaisMedicao) + ZS(Fre, lTipoFrequencia) +
             ZS(Fre, lObservacao) + ZS(Fre, lFrequenciaTempo) + ZS(Fre, dataInicial) + ZS(Fre, dataFiller) +
             ZS(Fre, horaDuracao) + ZS(Fre, vMedicaoInicial) + ZS(Fre, vFrequenciaMedicao) +
             ZS(Fre, vFrequenciaLimiteMedicao) + ZS(Fre, szObservacao)},
        {"_REG_DF_TEXTOPS", sizeof(Txt), ZS(Txt, ulQtdBytes) + ZS(Txt, cFiller) + ZS(Txt, pTexto) + ZS(Txt, pFiller)},
        {"_QV_DMCPS", sizeof(Dmc), ZS(Dmc, lChaveModulo) + ZS(Dmc, iData) + ZS(Dmc, cFiller)},
        {"_REG_PTR_DATA_PS", sizeof(Ptr), ZS(Ptr, dataPonteiro) + ZS(Ptr, usFiller) + ZS(Ptr, lPonteiro)},
        {"_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS", sizeof(Rel),
         ZS(Rel, dmcMovimentacao) + ZS(Rel, lPtrOS) + ZS(Rel, maOS) + ZS(Rel, lFiller)},
        {"_REG_FILTRO_HISTORICO_MEDICAO_PS", sizeof(Fhm),
         ZS(Fhm, regFiltro) + ZS(Fhm, dataInicialPeriodo) + ZS(Fhm, dataFinalPeriodo) + ZS(Fhm, lFiller)},
        {"_REG_CADASTRO_MEDICAO_ATUAL_PS", sizeof(Ma), ZS(Ma, regMedicaoAtual) + ZS(Ma, lPonteiroRegistro) + ZS(Ma, lFiller)},
    };
#undef ZS
    for (const auto& l : linhas) EXPECT_EQ(l.soma, l.tamanho) << l.nome;
}

namespace {

// Every list record: count at 0, filler at 4, reserved pointer at 8 and the
// typed element pointer at 16. E is given explicitly, so a list pointing at
// the wrong element type does not compile.
template <class E, class T>
void ExpectListShape(const char* nome, ULONG T::*qtd, ULONG T::*filler, void* T::*reservado, E* T::*elementos) {
    static_assert(sizeof(T) == 24);
    SCOPED_TRACE(nome);
    alignas(8) T lista{};
    std::vector<E> itens(3);
    lista.*qtd = 0xA1A2A3A4u;
    lista.*filler = 0xB1B2B3B4u;
    lista.*reservado = &lista;
    lista.*elementos = itens.data();
    const Wire<T> w(lista);
    EXPECT_EQ(w.GetLE(0, 4), 0xA1A2A3A4u);
    EXPECT_EQ(w.GetLE(4, 4), 0xB1B2B3B4u);
    EXPECT_EQ(w.GetPtr(8), &lista);
    EXPECT_EQ(w.GetPtr(16), itens.data());
}

}  // namespace

#define ZENTA_LIST(E, T, qtd, filler, reservado, elementos) \
    ExpectListShape<E>(#T, &T::qtd, &T::filler, &T::reservado, &T::elementos)

TEST(ServerRecords, ListsShareOneShape) {
    ZENTA_LIST(ULONG, _REG_LISTA_PTRS_CADASTRO_PS, lQtdPtrs, lFiller, cFiller, pPonteiros);
    ZENTA_LIST(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lQtdRegistros,
               lFiller, cFiller, pRegistros);
    ZENTA_LIST(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, _REG_LISTA_CADASTRO_MANUTENCOES_PS, lQtdManutencoes, lFiller,
               pFiller, pManutencoes);
    ZENTA_LIST(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, _REG_LISTA_CADASTRO_PRODUTO_PS, lQtdProdutos, lFiller, pFiller,
               pProdutos);
    ZENTA_LIST(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, _REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS, lQtdEstoque, lFiller,
               pFiller, pLocaisEstoque);
    ZENTA_LIST(_REG_CADASTRO_MANUTENCAO_SERVICO_PS, _REG_LISTA_CADASTRO_SERVICO_PS, lQtdServicos, lFiller, pFiller,
               pServicos);
    ZENTA_LIST(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, _REG_LISTA_CADASTRO_CLIENTES_PS, lQtdClientes, lFiller, pFiller,
               pClientes);
    ZENTA_LIST(_REG_CADASTRO_MEDICAO_ATUAL_PS, _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS, lQtdRegistros, lFiller, cFiller,
               pRegistros);
    ZENTA_LIST(_REG_PTR_DATA_PS, _REG_LISTA_PONTEIROS_DATA_PS, lQtdPonteiros, lFiller, cFiller, pPonteiros);
    ZENTA_LIST(_REG_CADASTRO_HISTORICO_MEDICOES_PS, _REG_LISTA_HISTORICO_MEDICOES_PS, lQtdRegistros, lFiller, cFiller,
               pRegistros);
    ZENTA_LIST(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, _REG_LISTA_MOVIMENTACAO_PRODUTO_PS, lQtdProdutos, lFiller,
               pFiller, pProdutos);
    ZENTA_LIST(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, _REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS, lQtdEstoque, lFiller,
               pFiller, pLocaisEstoque);
    ZENTA_LIST(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, _REG_LISTA_MOVIMENTACAO_SERVICO_PS, lQtdServicos, lFiller,
               pFiller, pServicos);
    ZENTA_LIST(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS, _REG_LISTA_RELACIONAMENTO_OS_PS, lQtdRelacionamentoOS, lFiller,
               pFiller, pRelacionamentos);
    ZENTA_LIST(ULONGLONG, _REG_LISTA_DMC_PS, lQtdDMC, lFiller, pFiller, pDMC);
    ZENTA_LIST(_REG_MOVIMENTACAO_MANUT_PREV_PS, _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS, lQtdRegistros, lFiller,
               pFiller, pRegistros);
    ZENTA_LIST(_REG_ITEM_TREE_PS, _REG_LISTA_ITENS_TREE_PS, lQtdItens, lFiller, cFiller, pItens);
}

#undef ZENTA_LIST
