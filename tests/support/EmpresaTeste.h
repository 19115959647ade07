// A company as tests that go through the service use it: a fresh
// $ZENTA_HOME, the service initialised for the company, its ERP stand-in,
// and the plans, orders and lists tests save and read back.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>
#include <zenta/zenta.h>

#include "records/QVCamposRegistro.h"
#include "server/QVJsonRegistros.h"
#include "support/ErpTeste.h"
#include "support/ServicoTeste.h"
#include "support/ZentaHomeTemporario.h"

namespace zenta::teste {

// A maintenance every `dias` days.
inline _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS ManutencaoTempo(ULONG dias, const char* nome = "Limpeza") {
    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS m{};
    std::snprintf(m.szNomeManutencao, sizeof m.szNomeManutencao, "%s", nome);
    m.frequenciaPS.lTipoFrequencia = 2;
    m.frequenciaPS.lTipoFrequenciaTempo = 1;
    m.frequenciaPS.lFrequenciaTempo = dias;
    return m;
}

// Records read from the service, freed as a client frees an [out] record.
struct PlanoLido {
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS p{};
    ~PlanoLido() { zenta::LiberaRegistro(p); }
};
struct OrdemLida {
    _REG_MOVIMENTACAO_MANUT_PREV_PS ordem{};
    ~OrdemLida() { zenta::LiberaListasMovimentacao(ordem); }
};

// The orders of a maintenance, oldest first, freed with everything they hold.
struct OrdensLidas {
    _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS lista{};
    ~OrdensLidas() { zenta::LiberaRegistro(lista); }
    ULONG Quantidade() const { return lista.lQtdRegistros; }
    const _REG_MOVIMENTACAO_MANUT_PREV_PS& operator[](ULONG i) const { return lista.pRegistros[i]; }
};
inline std::unique_ptr<OrdensLidas> OrdensDaManutencao(IQVGE_ManutencaoPreventiva& s, ULONG codigo) {
    auto ordens = std::make_unique<OrdensLidas>();
    EXPECT_EQ(s.BuscaMovimentosPelaManutencao(codigo, &ordens->lista), S_OK);
    return ordens;
}

// A record from its JSON form (texts in UTF-8, currency as decimal text,
// dates as YYYY-MM-DD), freed with its lists at the end of the scope.
template <class T>
struct RegistroJson {
    T r{};
    explicit RegistroJson(const nlohmann::json& json) {
        std::string erro;
        EXPECT_EQ(zenta::JsonParaRegistro(json, r, erro), S_OK) << erro;
    }
    ~RegistroJson() { zenta::LiberaRegistro(r); }
    RegistroJson(const RegistroJson&) = delete;
    RegistroJson& operator=(const RegistroJson&) = delete;
};

// Saves the plan given as JSON as a new plan; its position.
inline LONG GravaPlanoJson(IQVGE_ManutencaoPreventiva& s, const nlohmann::json& json) {
    RegistroJson<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> plano(json);
    LONG posicao = 0;
    EXPECT_EQ(s.Grava(&posicao, plano.r), S_OK);
    return posicao;
}

// A plan of equipment `equipamento` with the maintenances given; its position.
inline LONG GravaPlano(IQVGE_ManutencaoPreventiva& s, ULONG equipamento,
                       std::vector<_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS> manutencoes, const char* serie = "",
                       ULONG produto = 0) {
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    plano.idEquipamentoPS.lEquipamento = equipamento;
    plano.idEquipamentoPS.lProduto = produto;
    plano.idEquipamentoPS.lSituacao = 1;
    std::snprintf(plano.idEquipamentoPS.szNrSerie, sizeof plano.idEquipamentoPS.szNrSerie, "%s", serie);
    plano.listaManutencoes = {static_cast<ULONG>(manutencoes.size()), 0, nullptr, manutencoes.data()};
    LONG posicao = 0;
    EXPECT_EQ(s.Grava(&posicao, plano), S_OK);
    return posicao;
}

// The codes of a plan's maintenances, in its order.
inline std::vector<ULONG> CodigosDoPlano(IQVGE_ManutencaoPreventiva& s, LONG posicao) {
    PlanoLido lido;
    EXPECT_EQ(s.Le(posicao, &lido.p), S_OK);
    std::vector<ULONG> codigos;
    for (ULONG i = 0; i < lido.p.listaManutencoes.lQtdManutencoes; ++i)
        codigos.push_back(lido.p.listaManutencoes.pManutencoes[i].lCodigoManutencao);
    return codigos;
}

// The message of the service's last error.
inline std::string UltimoErro(IQVGE_ManutencaoPreventiva& s) {
    _REG_DF_ERROPS erro{};
    EXPECT_EQ(s.GetUltimoErro(&erro), S_OK);
    return erro.cMensagem;
}

// Everything the error-log files below `raiz` hold so far.
inline std::string TextoDosLogs(const std::filesystem::path& raiz) {
    std::string texto;
    for (const auto& e : std::filesystem::recursive_directory_iterator(raiz))
        if (e.is_regular_file() && e.path().extension() == ".log") texto += LeArquivo(e.path());
    return texto;
}

// The fixture: a company's service, released before its home goes.
class EmpresaTeste : public ::testing::Test {
protected:
    explicit EmpresaTeste(std::string empresa) : m_empresa(std::move(empresa)) {}
    void SetUp() override { Abre(); }
    void TearDown() override { m_servico.reset(); }

    // A new session of the company (a start-up: the daily verification).
    void Abre(ULONG usuario = 7) {
        m_servico.reset();
        m_servico = NovoServico(m_empresa, usuario);
        ASSERT_TRUE(m_servico);
    }
    std::shared_ptr<zenta::ErpBanco> Banco() const { return BancoErp(m_empresa); }
    std::filesystem::path Dados(const char* arquivo = "") const {
        return m_home.Raiz() / "data" / m_empresa / "GE" / arquivo;
    }

    const std::string m_empresa;
    ComEscopo m_com;
    ZentaHomeTemporario m_home;
    Servico m_servico;
};

}  // namespace zenta::teste
