// The forecast: the time rule it shares with the daily verification, the
// meter estimate from the reading history, the combination by kind, and a
// company whose forecast for 120 days is checked against the orders the
// daily verification opens on each of those days.

#include <map>

#include <zenta/zenta.h>

#include "standins/erp/QVErpBanco.h"
#include "logic/BaseManutencaoPreventiva.h"
#include "logic/PrevisaoManutencao.h"
#include "records/QVCamposRegistro.h"
#include "support/EmpresaTeste.h"
#include "values/QVDMA.h"
#include "values/RelogioSistema.h"

using namespace zenta;

namespace {

using zenta::teste::Moeda;

using zenta::ItemPrevisao;
using zenta::LeituraMedidor;
using zenta::RelogioSistema;

// The first day the time test passes is exactly where it starts passing.
TEST(Previsao, FirstDayOfTheTimeTestIsWhereTheTestStartsPassing) {
    for (const LONG falta : {-40, -1, 0, 1, 10, 15, 45}) {
        for (const ULONG contrato : {0u, 115u, 200u}) {
            _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS m{};
            m.frequenciaPS.dataInicial = 105;
            m.lQuantidadeDiasFalta = static_cast<ULONG>(falta);
            m.dataFinalContrato = contrato;
            const ULONG primeiro = zenta::PrimeiroDiaTesteTempo(m, 100);
            ULONG visto = 0;
            for (ULONG dia = 90; dia < 220 && visto == 0; ++dia)
                if (zenta::PassaTesteTempo(m, dia, 100)) visto = dia;
            EXPECT_EQ(primeiro, visto) << falta << " " << contrato;
            EXPECT_TRUE(primeiro == 0 || primeiro >= 105u) << falta << " " << contrato;  // never before the first day
        }
    }
}

// The meter's day from the history of the last 90 days; kinds combine the
// two days as the verification combines the two tests.
TEST(Previsao, MeterEstimateAndCombinationByKind) {
    const ULONG hoje = 1000;
    const std::vector<LeituraMedidor> leituras = {
        {800, 0}, {940, 1000 * 10000LL}, {960, 1200 * 10000LL}, {990, 1500 * 10000LL}};  // 10 a day since 940
    double porDia = 0;
    ASSERT_TRUE(zenta::UsoMedioDiario(leituras, hoje, porDia));
    EXPECT_DOUBLE_EQ(porDia, 10.0);
    EXPECT_FALSE(zenta::UsoMedioDiario({{990, 5}}, hoje, porDia));                  // one reading
    EXPECT_FALSE(zenta::UsoMedioDiario({{800, 5}, {990, 9}}, hoje, porDia));        // one in the last 90 days
    EXPECT_TRUE(zenta::UsoMedioDiario({{910, 0}, {990, 9}}, hoje, porDia));         // the 90th day back counts
    EXPECT_FALSE(zenta::UsoMedioDiario({{990, 5}, {990, 9}}, hoje, porDia));        // one day

    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    plano.idEquipamentoPS.regMedidorAtual.vQuantidadeAtual = Moeda(1500);
    const struct {
        ULONG tipo;
        LONG diasFalta;  // from the day counted, 990
        LONGLONG falta;  // meter still to run: 10 a day
        ULONG vencimento;
        bool semEstimativa;
        ULONG contrato = 0;
        LONGLONG inicial = 0;   // the frequency's initial meter value
        ULONG substituidos = 0;  // meters replaced
    } casos[] = {
        {1, 30, 105, 1001, false},  // meter first: 990 + ceil(10.5)
        {1, 5, 500, 1000, false},   // time first, already past: today
        {2, 30, 105, 1020, false},
        {3, 30, 105, 1001, false},
        {3, 30, -5, 1000, false},   // the next reading makes it due
        {4, 30, 105, 1020, false},  // both: the later
        {4, 30, 400, 1030, false},
        {3, 30, 105, 1001, false, 1001},             // on the contract's last day
        {3, 30, 105, 1051, false, 0, 2000},          // the meter still 500 below the initial value
        {3, 30, 105, 1001, false, 0, 2000, 1},       // a replaced meter counts from where it stands
    };
    for (const auto& c : casos) {
        _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS m{};
        m.frequenciaPS.lTipoFrequencia = c.tipo;
        m.dataUltimaVerificacaoMedicao = 990;
        m.lQuantidadeDiasFalta = static_cast<ULONG>(c.diasFalta);
        m.vQuantidadeFalta = Moeda(c.falta);
        m.dataFinalContrato = c.contrato;
        m.frequenciaPS.vMedicaoInicial = Moeda(c.inicial);
        plano.idEquipamentoPS.regMedidorAtual.lQuantidadeMedidoresSubstituidos = c.substituidos;
        const ItemPrevisao item = zenta::PreveManutencao(plano, m, false, 0, leituras, hoje);
        EXPECT_EQ(item.dataVencimento, c.vencimento) << c.tipo << " " << c.diasFalta << " " << c.falta;
        EXPECT_EQ(item.bSemEstimativa, c.semEstimativa);
    }
    // Without history a meter maintenance has no estimate; kind 1 still has its time.
    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS m{};
    m.frequenciaPS.lTipoFrequencia = 3;
    m.vQuantidadeFalta = Moeda(10);
    EXPECT_TRUE(zenta::PreveManutencao(plano, m, false, 0, {}, hoje).bSemEstimativa);
    EXPECT_EQ(zenta::PreveManutencao(plano, m, false, 0, {}, hoje).dataVencimento, 0u);
    m.frequenciaPS.lTipoFrequencia = 1;
    m.dataUltimaVerificacaoMedicao = 990;
    m.lQuantidadeDiasFalta = 20;
    EXPECT_EQ(zenta::PreveManutencao(plano, m, false, 0, {}, hoje).dataVencimento, 1010u);
    EXPECT_FALSE(zenta::PreveManutencao(plano, m, false, 0, {}, hoje).bSemEstimativa);
}

// A company of time maintenances of every unit, first day, limit, contract
// end and a re-armed one: the forecast made on day 0 for 120 days names
// exactly the days on which the daily verification then opens their orders.
class PrevisaoEmpresa : public zenta::teste::EmpresaTeste {
protected:
    PrevisaoEmpresa() : EmpresaTeste("PREVISAO") {}
    void SetUp() override {
        Dia(0);
        EmpresaTeste::SetUp();
        ASSERT_EQ(Banco()->ExecutaSql("INSERT INTO usuario (codigo, nome) VALUES (7, 'Carlos'), (8, 'Ana');"), S_OK);
    }
    void TearDown() override {
        EmpresaTeste::TearDown();
        RelogioSistema::RestauraRelogioReal();
    }
    static ULONG Dia0() { return REG_QVDMA(2, 3, 2026).GetData(); }
    void Dia(LONG n) {
        const REG_QVDMA d(static_cast<ULONG>(static_cast<LONG>(Dia0()) + n));
        RelogioSistema::DefineInstanteFixo({d.GetAno(), d.GetMes(), d.GetDia(), 8, 30, 0});
    }
    struct Manutencao {
        ULONG tipo, unidade, intervalo, limite;
        LONG inicio;     // first day, from day 0 (relative)
        LONG contrato;   // contract end from day 0, 0: open
        ULONG tecnico;
    };
    // One plan per maintenance (equipment = its index), saved today.
    void Grava(ULONG equipamento, const Manutencao& d) {
        _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS m{};
        std::snprintf(m.szNomeManutencao, sizeof m.szNomeManutencao, "M%lu", static_cast<unsigned long>(equipamento));
        m.frequenciaPS.lTipoFrequencia = d.tipo;
        m.frequenciaPS.lTipoFrequenciaTempo = d.unidade;
        m.frequenciaPS.lFrequenciaTempo = d.intervalo;
        m.frequenciaPS.lFrequenciaLimiteTempo = d.limite;
        m.frequenciaPS.vFrequenciaMedicao = Moeda(1000);
        m.frequenciaPS.dataInicial = static_cast<ULONG>(static_cast<LONG>(Dia0()) + d.inicio);
        m.dataFinalContrato = d.contrato == 0 ? 0 : static_cast<ULONG>(static_cast<LONG>(Dia0()) + d.contrato);
        m.lTecnico = d.tecnico;
        _REG_CADASTRO_MANUTENCAO_CLIENTE_PS c{};
        c.lCliente = 5;
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
        plano.idEquipamentoPS.lFilial = 1;
        plano.idEquipamentoPS.lEquipamento = equipamento;
        plano.idEquipamentoPS.lSituacao = 1;
        std::snprintf(plano.idEquipamentoPS.szNrSerie, sizeof plano.idEquipamentoPS.szNrSerie, "S%lu",
                      static_cast<unsigned long>(equipamento));
        plano.listaManutencoes = {1, 0, nullptr, &m};
        plano.listaClientes = {1, 0, nullptr, &c};
        LONG posicao = 0;
        ASSERT_EQ(m_servico->Grava(&posicao, plano), S_OK);
    }
    // The days of a maintenance's orders, oldest first; with `pConcluidas`
    // its open orders are finished today and counted there.
    std::vector<ULONG> DiasDasOrdens(ULONG codigo, ULONG* pConcluidas = nullptr) {
        _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS l{};
        EXPECT_EQ(m_servico->BuscaMovimentosPelaManutencao(codigo, &l), S_OK);
        std::vector<ULONG> dias;
        for (ULONG i = 0; i < l.lQtdRegistros; ++i) {
            dias.push_back(l.pRegistros[i].dataPrevista);
            if (pConcluidas != nullptr && l.pRegistros[i].lSituacao == 0) {
                _REG_MOVIMENTACAO_MANUT_PREV_PS o = l.pRegistros[i];
                o.lSituacao = 1;
                ULONGLONG chave = 0;
                EXPECT_EQ(m_servico->GravaMovimentacao(o, &chave), S_OK);
                ++*pConcluidas;
            }
            zenta::LiberaListasMovimentacao(l.pRegistros[i]);
        }
        CoTaskMemFree(l.pRegistros);
        return dias;
    }
};

TEST_F(PrevisaoEmpresa, ForecastNamesTheDaysTheVerificationOpensOrdersOn) {
    // A maintenance whose order was opened and finished before day 0: its
    // count restarts from the day it was finished.
    Dia(-20);
    Abre();
    Grava(1, {2, 1, 10, 0, -20, 0, 7});
    Dia(-10);
    Abre();
    ULONG concluida = 0;
    ASSERT_EQ(DiasDasOrdens(1).size(), 1u);
    Dia(-7);
    Abre();
    DiasDasOrdens(1, &concluida);  // finished on day -7
    ASSERT_EQ(concluida, 1u);

    Dia(0);
    Abre();
    const Manutencao manutencoes[] = {
        {2, 1, 10, 0, 0, 0, 7},     // every 10 days from today
        {2, 2, 2, 0, -3, 0, 8},     // every 2 weeks from 3 days ago
        {2, 3, 1, 5, 0, 0, 7},      // monthly, 5 days early
        {1, 1, 45, 0, 0, 0, 8},     // time or meter, no readings
        {2, 1, 7, 0, 20, 0, 7},     // starts in 20 days
        {2, 1, 10, 0, 0, 5, 7},     // the contract ends first: never
        {2, 3, 3, 0, -100, 0, 8},   // overdue: today
        {2, 4, 1, 0, -300, 0, 7},   // yearly
        {2, 1, 200, 0, 0, 0, 7},    // past the forecast's days
        {2, 1, 120, 0, 0, 0, 7},    // on the forecast's last day
    };
    for (ULONG i = 0; i < std::size(manutencoes); ++i) Grava(10 + i, manutencoes[i]);

    std::vector<ItemPrevisao> itens;
    zenta::FiltroPrevisao filtro;
    filtro.hoje = Dia0();
    filtro.dias = 120;
    ASSERT_EQ(zenta::MontaPrevisao(*m_servico, filtro, itens), S_OK);
    std::map<ULONG, ULONG> previsto;        // maintenance -> day
    std::map<std::string, ULONG> porNome;   // "M<equipment>" -> day
    for (const ItemPrevisao& item : itens) {
        previsto[item.lCodigoManutencao] = item.dataVencimento;
        porNome[item.sNome] = item.dataVencimento;
    }
    // Only one technician's.
    std::vector<ItemPrevisao> deAna;
    filtro.tecnico = 8;
    ASSERT_EQ(zenta::MontaPrevisao(*m_servico, filtro, deAna), S_OK);
    for (const ItemPrevisao& item : deAna) EXPECT_EQ(item.lTecnico, 8u);
    EXPECT_EQ(deAna.size(), 3u);

    // The verification, day by day.
    for (LONG n = 0; n <= 120; ++n) {
        Dia(n);
        Abre();
    }
    std::map<ULONG, ULONG> aberto;  // maintenance -> first order from day 0 on
    for (ULONG codigo = 1; codigo <= 200; ++codigo)
        for (const ULONG dia : DiasDasOrdens(codigo))
            if (dia >= Dia0() && aberto.count(codigo) == 0) aberto[codigo] = dia;
    EXPECT_EQ(previsto, aberto);
    EXPECT_EQ(porNome["M1"], Dia0() + 3);   // finished on day -7, every 10 days
    EXPECT_EQ(porNome["M10"], Dia0() + 10);
    EXPECT_EQ(porNome["M16"], Dia0());      // overdue
    EXPECT_EQ(porNome.count("M15"), 0u);    // the contract ends first
    EXPECT_EQ(porNome.count("M18"), 0u);    // beyond 120 days
    EXPECT_EQ(porNome["M19"], Dia0() + 120);
}

}  // namespace
