// The interface records' type description and the JSON form it drives:
// every description covers its record exactly, records survive record ->
// JSON -> record unchanged (nested lists, BSTRs, texts with accents),
// hostile JSON is refused naming the field and leaves nothing allocated.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <zenta/ObjBase.h>
#include <zenta/OleAuto.h>
#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "records/QVDescricaoTipos.h"
#include "server/QVDescricaoInterface.h"
#include "server/QVJsonRegistros.h"

using nlohmann::json;
using zenta::DescricaoCampo;
using zenta::DescricaoRegistro;
using zenta::TipoCampo;

namespace {

std::size_t TamanhoDoTipo(const DescricaoCampo& c) {
    switch (c.tipo) {
        case TipoCampo::U8: return 1;
        case TipoCampo::U16:
        case TipoCampo::MesAno: return 2;
        case TipoCampo::U32:
        case TipoCampo::I32:
        case TipoCampo::Data:
        case TipoCampo::Hora:
        case TipoCampo::Contagem: return 4;
        case TipoCampo::U64:
        case TipoCampo::I64:
        case TipoCampo::Moeda:
        case TipoCampo::ChaveDmc:
        case TipoCampo::Bstr:
        case TipoCampo::Lista:
        case TipoCampo::ArrayU32:
        case TipoCampo::ArrayDmc:
        case TipoCampo::BytesDf: return 8;
        case TipoCampo::TextoDf: return sizeof(_REG_DF_TEXTOPS);
        case TipoCampo::Registro: return c.registro->tamanho;
        case TipoCampo::Texto:
        case TipoCampo::Filler: return c.tamanho;
    }
    return 0;
}

bool TemPonteiro(TipoCampo t) {
    return t == TipoCampo::Lista || t == TipoCampo::ArrayU32 || t == TipoCampo::ArrayDmc || t == TipoCampo::BytesDf;
}

TEST(DescricaoTipos, EveryRecordIsCoveredExactlyByItsFields) {
    ASSERT_EQ(zenta::TodasDescricoes().size(), 44u);
    std::vector<const DescricaoRegistro*> todas(zenta::TodasDescricoes().begin(), zenta::TodasDescricoes().end());
    for (const DescricaoRegistro* d : todas) EXPECT_EQ(zenta::DescricaoPorNome(d->nome), d) << d->nome;
    // The records of the base interface too.
    for (const DescricaoRegistro* d : zenta::DescricoesRegistrosIQVUnknown()) todas.push_back(d);
    for (const DescricaoRegistro* d : todas) {
        SCOPED_TRACE(d->nome);
        std::size_t proximo = 0;
        for (const DescricaoCampo& c : d->campos) {
            SCOPED_TRACE(c.nome);
            EXPECT_EQ(c.offset, proximo) << "gap or overlap";
            EXPECT_GT(c.tamanho, 0u);
            EXPECT_EQ(c.tamanho, TamanhoDoTipo(c));
            proximo = c.offset + c.tamanho;
            if (c.tipo == TipoCampo::Registro || c.tipo == TipoCampo::Lista || c.tipo == TipoCampo::TextoDf) {
                EXPECT_NE(c.registro, nullptr);
            }
            if (TemPonteiro(c.tipo)) {
                bool achou = false;
                for (const DescricaoCampo& k : d->campos)
                    achou |= k.offset == c.offsetContagem && k.tipo == TipoCampo::Contagem;
                EXPECT_TRUE(achou) << "count field of a list/array";
            }
        }
        EXPECT_EQ(proximo, d->tamanho);
    }
    EXPECT_EQ(zenta::DescricaoPorNome("_REG_INEXISTENTE_PS"), nullptr);
}

template <class T>
bool Zerado(const T& r) {
    const T zero{};
    return std::memcmp(&r, &zero, sizeof(T)) == 0;
}

const json kPlano = json::parse(R"({
  "idEquipamentoPS": {
    "regMedidorAtual": {"vQuantidadeInicial": "1500.25", "vQuantidadeAtual": "-0.0001", "cTipoUnidadeMedida": 2},
    "lFilial": 1, "lEquipamento": 7, "szCodigo": "EQ-01", "szNrSerie": "Série Ação",
    "szFabricante": "Máquinas Ñandú", "lSituacao": 1
  },
  "lPonteiroRegistro": 4294967295, "dmcOrigem": 18446744073709551615, "bExcluido": -1,
  "listaManutencoes": {"pManutencoes": [
    {"frequenciaPS": {"szParadaManutencao": "Troca de óleo", "dataInicial": "2024-02-29",
                      "horaDuracao": "2.5", "vFrequenciaMedicao": "922337203685477.5807",
                      "szObservacao": "Observação: verificar pressão"},
     "szNomeManutencao": "Revisão €", "dataFinalContrato": "4717-12-31", "lCodigoManutencao": 3,
     "listaProdutos": {"pProdutos": [
        {"lProduto": 10, "vQuantidadePrevista": "3",
         "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 5, "vQuantidadeEs": "1.5"},
                                           {"lPonteiroLocal": 6, "cTipoProducao": 255}]}}]},
     "listaServicos": {"pServicos": [{"lServico": 4, "vQuantidadePrevista": "-922337203685477.5808"}]}},
    {"frequenciaPS": {"dataInicial": null, "szObservacao": ""}, "szNomeManutencao": "Segunda"}
  ]},
  "listaClientes": {"pClientes": [{"lCliente": 9, "szEndereco": "Rua São João", "dataInicial": "1848-01-01"}]}
})");

TEST(JsonRegistros, PlanWithNestedListsRoundTripsUnchanged) {
    std::string erro;
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS a{}, b{};
    ASSERT_EQ(zenta::JsonParaRegistro(kPlano, a, erro), S_OK) << erro;

    // The record holds Windows-1252 bytes, counts and task-allocator arrays.
    EXPECT_STREQ(a.idEquipamentoPS.szNrSerie, "S\xE9rie A\xE7\xE3o");
    EXPECT_EQ(a.idEquipamentoPS.regMedidorAtual.vQuantidadeInicial.int64, 15002500);
    EXPECT_EQ(a.idEquipamentoPS.regMedidorAtual.vQuantidadeAtual.int64, -1);
    ASSERT_EQ(a.listaManutencoes.lQtdManutencoes, 2u);
    const auto& m0 = a.listaManutencoes.pManutencoes[0];
    EXPECT_STREQ(m0.szNomeManutencao, "Revis\xE3o \x80");
    EXPECT_EQ(m0.frequenciaPS.szObservacao.ulQtdBytes, 30u);  // text and its zero
    EXPECT_STREQ(reinterpret_cast<const char*>(m0.frequenciaPS.szObservacao.pTexto),
                 "Observa\xE7\xE3o: verificar press\xE3o");
    ASSERT_EQ(m0.listaProdutos.pProdutos[0].listaLocal.lQtdEstoque, 2u);
    EXPECT_EQ(m0.listaProdutos.pProdutos[0].listaLocal.pLocaisEstoque[1].cTipoProducao, 255);
    EXPECT_EQ(a.listaManutencoes.pManutencoes[1].frequenciaPS.szObservacao.pTexto, nullptr);

    json j;
    ASSERT_EQ(zenta::RegistroParaJson(a, j, erro), S_OK) << erro;
    EXPECT_EQ(j["idEquipamentoPS"]["szFabricante"], "Máquinas Ñandú");
    EXPECT_EQ(j["listaManutencoes"]["pManutencoes"][0]["frequenciaPS"]["horaDuracao"], "2.5");
    EXPECT_EQ(j["listaManutencoes"]["pManutencoes"][1]["dataFinalContrato"], nullptr);
    EXPECT_FALSE(j.contains("szFiller"));

    ASSERT_EQ(zenta::JsonParaRegistro(j, b, erro), S_OK) << erro;
    json j2;
    ASSERT_EQ(zenta::RegistroParaJson(b, j2, erro), S_OK);
    EXPECT_EQ(j, j2);

    zenta::LiberaRegistro(a);
    zenta::LiberaRegistro(b);
    EXPECT_EQ(a.listaManutencoes.pManutencoes, nullptr);
    EXPECT_EQ(a.listaManutencoes.lQtdManutencoes, 0u);
}

TEST(JsonRegistros, FlatRecordBuiltByHandRoundTripsByteEqual) {
    _REG_CADASTRO_MANUTENCAO_CLIENTE_PS c{};
    c.lCliente = 12;
    std::strcpy(c.szEndereco, "Pra\xE7" "a da Concei\xE7\xE3o");
    std::strcpy(c.szContato, "Jos\xE9");
    c.dataInicial = 55519;  // 2000-01-01
    c.bSemNumero = 1;
    json j;
    std::string erro;
    ASSERT_EQ(zenta::RegistroParaJson(c, j, erro), S_OK) << erro;
    EXPECT_EQ(j["dataInicial"], "2000-01-01");
    _REG_CADASTRO_MANUTENCAO_CLIENTE_PS d{};
    ASSERT_EQ(zenta::JsonParaRegistro(j, d, erro), S_OK) << erro;
    EXPECT_EQ(std::memcmp(&c, &d, sizeof c), 0);
}

TEST(JsonRegistros, OrderWithBstrsKeysAndMonthsRoundTrips) {
    const json entrada = json::parse(R"({
      "dmcChave": 1234605616436508552, "bsOcorrencia": "Vazamento no cárter", "bsObservacao": "",
      "szNrSerie": "Ω",
      "horaInicio": -5, "horaEfetiva": "0.0001", "szMotivoCancelamento": "ÿ",
      "listaIntegracoesCompras": {"pDMC": [1, 18446744073709551615]},
      "listaRelacionamentos": {"pRelacionamentos": [{"dmcMovimentacao": 5, "lPtrOS": 2, "maOS": "2023-03"}]}
    })");
    std::string erro;
    _REG_MOVIMENTACAO_MANUT_PREV_PS a{}, b{};
    ASSERT_EQ(zenta::JsonParaRegistro(entrada, a, erro), S_OK) << erro;
    EXPECT_EQ(SysStringLen(a.bsOcorrencia), 19u);
    EXPECT_STREQ(a.szNrSerie, "?");  // no Windows-1252 byte for it
    EXPECT_NE(a.bsObservacao, nullptr);
    EXPECT_EQ(a.listaRelacionamentos.pRelacionamentos[0].maOS, 3 + (2023 - 1848) * 12);
    json j;
    ASSERT_EQ(zenta::RegistroParaJson(a, j, erro), S_OK) << erro;
    EXPECT_EQ(j["bsOcorrencia"], "Vazamento no cárter");
    EXPECT_EQ(j["bsObservacao"], "");
    EXPECT_EQ(j["bsOcorrencia"].get<std::string>().size(), 20u);
    EXPECT_EQ(j["listaRelacionamentos"]["pRelacionamentos"][0]["maOS"], "2023-03");
    ASSERT_EQ(zenta::JsonParaRegistro(j, b, erro), S_OK) << erro;
    json j2;
    ASSERT_EQ(zenta::RegistroParaJson(b, j2, erro), S_OK);
    EXPECT_EQ(j, j2);
    zenta::LiberaRegistro(a);
    zenta::LiberaRegistro(b);
    EXPECT_EQ(a.bsOcorrencia, nullptr);

    for (const std::string mes : {"2023-00", "2023-13"}) {
        _REG_MOVIMENTACAO_MANUT_PREV_PS c{};
        const json ruim = json::parse(R"({"listaRelacionamentos": {"pRelacionamentos": [{"maOS": ")" + mes + R"("}]}})");
        EXPECT_EQ(zenta::JsonParaRegistro(ruim, c, erro), E_INVALIDARG) << mes;
        EXPECT_NE(erro.find("maOS"), std::string::npos) << erro;
    }
}

struct Recusa {
    const char* json;
    const char* campo;  // the message must name it
};

TEST(JsonRegistros, HostileInputIsRefusedNamingTheFieldWithNothingLeft) {
    const Recusa casos[] = {
        {R"({"idEquipamentoPS": {"szCodigo": "123456789012"}})", "idEquipamentoPS.szCodigo"},
        {R"({"idEquipamentoPS": {"lFilial": -1}})", "idEquipamentoPS.lFilial"},
        {R"({"lPonteiroRegistro": 4294967296})", "lPonteiroRegistro"},
        {R"({"bExcluido": 2147483648})", "bExcluido"},
        {R"({"cOrigem": 256})", "cOrigem"},
        {R"({"lClientes": "1"})", "lClientes"},
        {R"({"lClientes": 1.5})", "lClientes"},
        {R"({"cFiller": 0})", "cFiller"},
        {R"({"szFiller": "x"})", "szFiller"},
        {R"({"idEquipamentoPS": []})", "idEquipamentoPS"},
        {R"({"listaClientes": {"lQtdClientes": 1}})", "listaClientes.lQtdClientes"},
        {R"({"listaClientes": {"pClientes": {}}})", "listaClientes.pClientes"},
        {R"({"listaClientes": {"pClientes": [{"dataInicial": "2023-02-29"}]}})", "pClientes[0].dataInicial"},
        {R"({"listaClientes": {"pClientes": [{"dataInicial": "0023-01-01"}]}})", "pClientes[0].dataInicial"},
        {R"({"listaClientes": {"pClientes": [{"szBairro": "a\u0000b"}]}})", "pClientes[0].szBairro"},
        {R"({"idEquipamentoPS": {"regMedidorAtual": {"vQuantidadeAtual": "1.23456"}}})", "vQuantidadeAtual"},
        {R"({"idEquipamentoPS": {"regMedidorAtual": {"vQuantidadeAtual": "922337203685477.5808"}}})",
         "vQuantidadeAtual"},
        {R"({"idEquipamentoPS": {"regMedidorAtual": {"vQuantidadeAtual": 1}}})", "vQuantidadeAtual"},
        {R"({"idEquipamentoPS": {"regMedidorAtual": {"vQuantidadeAtual": "1,5"}}})", "vQuantidadeAtual"},
        {R"({"idEquipamentoPS": {"regMedidorAtual": {"vQuantidadeAtual": "."}}})", "vQuantidadeAtual"},
        // Failures after arrays, texts and nested lists were already allocated.
        {R"({"listaManutencoes": {"pManutencoes": [
             {"frequenciaPS": {"szObservacao": "texto"}, "listaServicos": {"pServicos": [{"lServico": 1}]}},
             {"szNomeManutencao": "ok", "listaProdutos": {"pProdutos": [{"listaLocal": {"pLocaisEstoque": [
                 {"lPonteiroLocal": 1}, {"vQuantidadeEs": "x"}]}}]}}]}})",
         "listaManutencoes.pManutencoes[1].listaProdutos.pProdutos[0].listaLocal.pLocaisEstoque[1].vQuantidadeEs"},
    };
    for (const Recusa& caso : casos) {
        SCOPED_TRACE(caso.json);
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS r;
        std::memset(&r, 0xAB, sizeof r);
        std::string erro;
        EXPECT_EQ(zenta::JsonParaRegistro(json::parse(caso.json), r, erro), E_INVALIDARG);
        EXPECT_NE(erro.find(caso.campo), std::string::npos) << erro;
        EXPECT_TRUE(Zerado(r));
    }
}

TEST(JsonRegistros, TextLimitCountsWindows1252Bytes) {
    std::string erro;
    _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS r{};
    // Eleven accented letters: 22 bytes of UTF-8, 11 bytes (plus the zero) in the field.
    EXPECT_EQ(zenta::JsonParaRegistro(json{{"szCodigo", "ÇÇÇÇÇÇÇÇÇÇÇ"}}, r, erro), S_OK) << erro;
    EXPECT_EQ(std::strlen(r.szCodigo), 11u);
    EXPECT_EQ(zenta::JsonParaRegistro(json{{"szCodigo", "ÇÇÇÇÇÇÇÇÇÇÇÇ"}}, r, erro), E_INVALIDARG);
}

TEST(JsonRegistros, RecordsWithoutAJsonFormAreRefused) {
    const auto recusa = [](const auto& registro, const char* campo) {
        json j;
        std::string erro;
        EXPECT_EQ(zenta::RegistroParaJson(registro, j, erro), E_INVALIDARG) << campo;
        EXPECT_NE(erro.find(campo), std::string::npos) << erro;
    };
    _REG_CADASTRO_MANUTENCAO_CLIENTE_PS c{};
    std::memset(c.szBairro, 'x', sizeof c.szBairro);  // no terminator
    recusa(c, "szBairro");
    _REG_CADASTRO_MANUTENCAO_CLIENTE_PS d{};
    d.dataFinal = 1048248;  // one day past 4717-12-31
    recusa(d, "dataFinal");
    _REG_LISTA_PTRS_CADASTRO_PS l{};
    l.lQtdPtrs = 3;  // a count with no array behind it
    recusa(l, "pPonteiros");
    char texto[] = {'a', 'b'};  // the byte count must end on the zero
    recusa(_REG_DF_TEXTOPS{2, {}, reinterpret_cast<BYTE*>(texto), nullptr}, "pTexto");
}

TEST(JsonRegistros, LiberaRegistroFreesWhatAClientReceived) {
    // A filter holding a pointer array and a report record holding BSTRs, as
    // a client would get them back: freeing them leaves no leak (LeakSanitizer).
    std::string erro;
    _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS r{};
    ASSERT_EQ(zenta::JsonParaRegistro(json::parse(R"({"filtro": {"pPonteirosIdentificacao": [3, 4, 5],
        "dmcMovimentacao": {"lChaveModulo": -2, "iData": 7}, "szNrSerie": "abc"},
        "bsComponente": "relatório Ω 😀", "bsArquivoTemp": "/tmp/x"})"),
                                      r, erro),
              S_OK)
        << erro;
    EXPECT_EQ(r.filtro.pPonteirosIdentificacao[2], 5u);
    EXPECT_EQ(SysStringLen(r.bsComponente), 14u);  // BSTRs keep every character: Ω and a surrogate pair
    json j;
    ASSERT_EQ(zenta::RegistroParaJson(r, j, erro), S_OK) << erro;
    EXPECT_EQ(j["bsComponente"], "relatório Ω 😀");
    zenta::LiberaRegistro(r);
    EXPECT_EQ(r.filtro.pPonteirosIdentificacao, nullptr);
    EXPECT_EQ(r.filtro.lQtdPonteirosIdentificacao, 0u);
    EXPECT_EQ(r.bsComponente, nullptr);
    zenta::LiberaRegistro(r);  // a second free finds nothing left
}

}  // namespace
