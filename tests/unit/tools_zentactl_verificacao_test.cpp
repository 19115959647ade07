// zentactl's `verify`, `notices` and `plans counters` end to end: the built
// program in a fresh $ZENTA_HOME, on days set with --data or, for a whole
// process, under faketime.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/ZentactlTeste.h"

namespace {

using nlohmann::json;
using Resultado = zenta::teste::ResultadoZentactl;

constexpr const char* kCadastros = R"({
  "usuario": [{"codigo": 1, "nome": "Administrador"}, {"codigo": 2, "nome": "Outro"}],
  "cliente": [{"codigo": 5, "nome": "Cliente Bom"}],
  "equipamento": [{"codigo": 10, "nome": "Prensa hidráulica"}]
})";

// A plan whose maintenance of 10 days (technician 1, the default user)
// starts on 1 January 2030, with a client always in force.
constexpr const char* kPlano = R"({
  "idEquipamentoPS": {"lFilial": 1, "lEquipamento": 10, "lSituacao": 1, "szNrSerie": "PR-1"},
  "listaClientes": {"pClientes": [{"lCliente": 5}]},
  "listaManutencoes": {"pManutencoes": [
    {"frequenciaPS": {"lTipoFrequencia": 2, "lTipoFrequenciaTempo": 1, "lFrequenciaTempo": 10,
                      "dataInicial": "2030-01-01"},
     "szNomeManutencao": "Lubrificação", "lTecnico": 1}
  ]}
})";

class ZentactlVerificacao : public zenta::teste::ZentactlTeste {
protected:
    void SetUp() override {
        ASSERT_EQ(Executa({"erp", "import", Arquivo("erp.json", kCadastros)}).status, 0);
        ASSERT_EQ(Executa({"properties", "set", "--file", Arquivo("prop.json", R"({"cAvisarComTelaAviso": 1})")}).status, 0);
        const Resultado r = ExecutaOk({"--json", "plans", "save", "--file", Arquivo("plano.json", kPlano)});
        m_plano = r.Json().at("lPonteiroRegistro").get<long>();
    }

    // zentactl as a whole process living on `dia` (faketime).
    Resultado ExecutaNoDia(const std::string& dia, const std::vector<std::string>& argumentos) {
        return Executa(argumentos, "",
                       "ASAN_OPTIONS=verify_asan_link_order=0 faketime " + zenta::teste::AspasShell(dia + " 09:00:00") + " ");
    }

    json Contadores() {
        const Resultado r = Executa({"--json", "plans", "counters", "--plano", std::to_string(m_plano)});
        EXPECT_EQ(r.status, 0) << r.erro;
        return r.status == 0 ? r.Json() : json::array();
    }

    long m_plano = 0;
};

TEST_F(ZentactlVerificacao, VerifyNoDiaAbreAOrdemEOAvisoChegaUmaVez) {
    Resultado antes = ExecutaOk({"--json", "verify", "--data", "2030-01-10"});
    const json j = antes.Json();
    EXPECT_EQ(std::make_tuple(j.at("hoje"), j.at("dataUltimaVerificacao"), j.at("ordens")),
              std::make_tuple(json("2030-01-10"), json("2030-01-10"), json::array()));
    json c = Contadores();
    ASSERT_EQ(c.size(), 1u);
    // Counted, not re-armed: one day still to run from the day's count.
    EXPECT_EQ(std::make_tuple(c[0].at("lQuantidadeDiasFalta"), c[0].at("dataUltimaVerificacaoMedicao"), c[0].at("ordemAberta")),
              std::make_tuple(json(1), json("2030-01-10"), json(false)));

    const Resultado dia = ExecutaOk({"--json", "verify", "--data", "2030-01-11"});
    ASSERT_EQ(dia.Json().at("ordens").size(), 1u);
    const json ordem = dia.Json().at("ordens")[0];
    EXPECT_EQ(std::make_tuple(ordem.at("szNomeManutencao"), ordem.at("lCliente"), ordem.at("lTecnico")),
              std::make_tuple(json("Lubrificação"), json(5), json(1)));

    // The same day again verifies nothing new.
    EXPECT_EQ(Executa({"--json", "verify", "--data", "2030-01-11"}).Json().at("ordens").size(), 1u);
    c = Contadores();
    EXPECT_EQ(std::make_tuple(c[0].at("bMovimentacaoGerada"), c[0].at("ordemAberta"), c[0].at("vencida")),
              std::make_tuple(json(true), json(true), json(false)));

    // Another user has no notice; the technician gets it once.
    const Resultado outro = ExecutaOk({"--usuario", "2", "--json", "notices"});
    EXPECT_TRUE(outro.Json().empty());
    const Resultado tabela = ExecutaOk({"notices"});
    for (const char* trecho : {"Prensa hidráulica", "PR-1", "Lubrificação", "Cliente Bom", "11/01/2030"})
        EXPECT_THAT(tabela.saida, ::testing::HasSubstr(trecho)) << trecho;
    EXPECT_TRUE(Executa({"--json", "notices"}).Json().empty());
    EXPECT_THAT(Executa({"notices"}).saida, ::testing::HasSubstr("(none)"));

    // Usage and operation errors.
    EXPECT_EQ(Executa({"verify", "--data", "2030-02-30"}).status, 2);
    EXPECT_EQ(Executa({"plans", "counters", "1", "--plano", "1"}).status, 2);
    const Resultado semPlano = Executa({"plans", "counters", "--plano", "99"});
    EXPECT_EQ(semPlano.status, 1);
    EXPECT_THAT(semPlano.erro, ::testing::HasSubstr("E_INVALIDARG"));
    const Resultado semManutencao = Executa({"plans", "counters", "999"});
    EXPECT_EQ(semManutencao.status, 1);
    EXPECT_THAT(semManutencao.erro, ::testing::HasSubstr("999"));
}

TEST_F(ZentactlVerificacao, ContadoresMostramQuandoVenceNumProcessoSobFaketime) {
    // A whole process on 11 January 2030, without --data: the maintenance is
    // due by its counters; its start-up opens the order.
    Resultado r = ExecutaNoDia("2030-01-10", {"--json", "plans", "counters"});
    ASSERT_EQ(r.status, 0) << r.erro;
    ASSERT_EQ(r.Json().size(), 1u);
    EXPECT_EQ(r.Json()[0].at("vencida"), false);
    const long codigo = r.Json()[0].at("lCodigoManutencao").get<long>();

    r = ExecutaNoDia("2030-01-11", {"--json", "verify"});
    ASSERT_EQ(r.status, 0) << r.erro;
    EXPECT_EQ(r.Json().at("hoje"), "2030-01-11");
    EXPECT_EQ(r.Json().at("ordens").size(), 1u);

    r = ExecutaNoDia("2030-01-11", {"plans", "counters", std::to_string(codigo)});
    ASSERT_EQ(r.status, 0) << r.erro;
    EXPECT_THAT(r.saida, ::testing::HasSubstr("open order"));
    EXPECT_THAT(r.saida, ::testing::HasSubstr("Lubrificação"));
}

}  // namespace
