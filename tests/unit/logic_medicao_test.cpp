// Meter readings through the service object as a client uses it: the current
// reading of an identification, the month files of the history, the reading
// filter, plan saves and meter replacement, refused input.

#include <zenta/zenta.h>

#include "diagnostics/QVCodigosErro.h"
#include "server/QVJsonRegistros.h"
#include "support/EmpresaTeste.h"
#include "values/QVDMA.h"
#include "values/QVMesAno.h"
#include "values/RelogioSistema.h"

using namespace zenta;

namespace {

using zenta::RelogioFixoEscopo;

// A fixed clock at 08:30 of a day.
zenta::RelogioSistema::Instante Dia(int ano, int mes, int dia) { return {ano, mes, dia, 8, 30, 0}; }
ULONG Data(int ano, int mes, int dia) { return REG_QVDMA(dia, mes, ano).GetData(); }

_REG_CADASTRO_MEDICAO_ATUAL_PS Leitura(ULONG equipamento, ULONG produto, const char* serie, LONGLONG quantidade,
                                       BYTE ativa = 1, ULONG plano = 0) {
    _REG_CADASTRO_MEDICAO_ATUAL_PS r{};
    r.regMedicaoAtual.lEquipamento = equipamento;
    r.regMedicaoAtual.lProduto = produto;
    std::strncpy(r.regMedicaoAtual.szNrSerie, serie, sizeof r.regMedicaoAtual.szNrSerie - 1);
    r.regMedicaoAtual.vQuantidadeMedicao.int64 = quantidade;
    r.regMedicaoAtual.cMedicaoAtiva = ativa;
    r.regMedicaoAtual.lPonteiroCadastro = plano;
    return r;
}

_REG_FILTRO_MEDICAO_PS FiltroTodos() {
    _REG_FILTRO_MEDICAO_PS f{};
    f.lTipoIdentificacao = 2;  // equipment and products
    return f;
}

class Medicao : public zenta::teste::EmpresaTeste {
protected:
    Medicao() : EmpresaTeste("DEMO") {}
    ULONG Grava(_REG_CADASTRO_MEDICAO_ATUAL_PS r, LONG historico = 0) {
        EXPECT_EQ(m_servico->GravaMedicaoAtual(&r, historico, 0), S_OK);
        return r.lPonteiroRegistro;
    }
    _REG_CADASTRO_MEDICAO_ATUAL_PS Le(ULONG pos) {
        _REG_CADASTRO_MEDICAO_ATUAL_PS r{};
        EXPECT_EQ(m_servico->LeMedicaoAtual(static_cast<LONG>(pos), &r), S_OK);
        return r;
    }
    std::vector<ULONG> Atuais(const _REG_FILTRO_MEDICAO_PS& filtro) {
        _REG_LISTA_PTRS_CADASTRO_PS l{};
        EXPECT_EQ(m_servico->BuscaPonteirosMedicaoAtual(filtro, &l), S_OK);
        std::vector<ULONG> v(l.pPonteiros, l.pPonteiros + l.lQtdPtrs);
        CoTaskMemFree(l.pPonteiros);
        return v;
    }
    // The months of the history entries found.
    std::vector<USHORT> MesesHistorico(const _REG_FILTRO_HISTORICO_MEDICAO_PS& filtro,
                                       std::vector<_REG_PTR_DATA_PS>* ponteiros = nullptr) {
        _REG_LISTA_PONTEIROS_DATA_PS l{};
        EXPECT_EQ(m_servico->BuscaPonteirosHistoricoMedicao(filtro, &l), S_OK);
        std::vector<USHORT> meses;
        for (ULONG i = 0; i < l.lQtdPonteiros; ++i) meses.push_back(l.pPonteiros[i].dataPonteiro);
        if (ponteiros) ponteiros->assign(l.pPonteiros, l.pPonteiros + l.lQtdPonteiros);
        CoTaskMemFree(l.pPonteiros);
        return meses;
    }
    std::vector<_REG_CADASTRO_HISTORICO_MEDICOES_PS> LeHistorico(std::vector<_REG_PTR_DATA_PS> ponteiros) {
        _REG_LISTA_HISTORICO_MEDICOES_PS l{};
        const _REG_LISTA_PONTEIROS_DATA_PS entrada{static_cast<ULONG>(ponteiros.size()), 0, nullptr, ponteiros.data()};
        EXPECT_EQ(m_servico->BuscaRegistrosHistoricoMedicao(entrada, &l), S_OK);
        std::vector<_REG_CADASTRO_HISTORICO_MEDICOES_PS> v(l.pRegistros, l.pRegistros + l.lQtdRegistros);
        CoTaskMemFree(l.pRegistros);
        return v;
    }
};

TEST_F(Medicao, HistoricoPorMesEmOrdemDeCalendarioComPeriodoExcluido) {
    // December 2025 (key 122025) comes before January 2026 (key 12026).
    const int meses[][2] = {{2025, 12}, {2026, 1}, {2026, 3}, {2026, 4}, {2026, 5}, {2026, 6}};
    for (const auto& [ano, mes] : meses) {
        RelogioFixoEscopo relogio(Dia(ano, mes, 15));
        Grava(Leitura(10, 0, "Serie-H", mes * 100, 1, 4), 1);
    }
    // The server fills in who read and when; the one current reading of the
    // serial was rewritten each month.
    const auto atual = Le(1).regMedicaoAtual;
    EXPECT_EQ(std::make_tuple(atual.dataMedicaoInformada, atual.horaMedicaoInformada, atual.lTecnico),
              std::make_tuple(Data(2026, 6, 15), LONG{8 * 3600 + 30 * 60}, 7u));
    EXPECT_EQ(Atuais(FiltroTodos()), std::vector<ULONG>{1});
    EXPECT_TRUE(std::filesystem::exists(Dados("GEMPCADHISME032026.dat")));

    _REG_FILTRO_HISTORICO_MEDICAO_PS f{};
    f.regFiltro.lTipoIdentificacao = 2;
    EXPECT_TRUE(MesesHistorico(f).empty());  // neither serial nor plan
    std::strcpy(f.regFiltro.szNrSerie, "SERIE-h");
    std::vector<_REG_PTR_DATA_PS> ponteiros;
    EXPECT_EQ(MesesHistorico(f, &ponteiros),
              (std::vector<USHORT>{QVMAFromMesAno(12, 2025), QVMAFromMesAno(1, 2026), QVMAFromMesAno(3, 2026),
                                   QVMAFromMesAno(4, 2026), QVMAFromMesAno(5, 2026), QVMAFromMesAno(6, 2026)}));
    const auto registros = LeHistorico(ponteiros);
    ASSERT_EQ(registros.size(), 6u);
    EXPECT_EQ(registros[2].dataGravacao, Data(2026, 3, 15));
    EXPECT_EQ(registros[2].vQuantidadeMedicao.int64, 300);

    f.dataInicialPeriodo = QVMAFromMesAno(3, 2026);
    f.dataFinalPeriodo = QVMAFromMesAno(6, 2026);
    EXPECT_EQ(MesesHistorico(f), (std::vector<USHORT>{QVMAFromMesAno(4, 2026), QVMAFromMesAno(5, 2026)}));
    f = {};
    f.regFiltro.lTipoIdentificacao = 2;
    f.regFiltro.lPonteiroCadastro = 4;
    EXPECT_EQ(MesesHistorico(f).size(), 6u);
}

TEST_F(Medicao, FiltroDeLeiturasAtuais) {
    RelogioFixoEscopo relogio(Dia(2026, 3, 10));
    const ULONG e1 = Grava(Leitura(1, 0, "Xy-01", 1)), e2 = Grava(Leitura(2, 0, "", 1));
    const ULONG p3 = Grava(Leitura(0, 3, "", 1));
    Grava(Leitura(0, 4, "", 1, 0));  // inactive: never listed
    EXPECT_EQ(Atuais(FiltroTodos()), (std::vector<ULONG>{e1, e2, p3}));
    EXPECT_FALSE(std::filesystem::exists(Dados("GEMPCADHISME032026.dat")));  // no history asked for

    ULONG codigos[] = {3, 2, 4};
    _REG_FILTRO_MEDICAO_PS f = FiltroTodos();
    f.lQtdPonteirosIdentificacao = 3;
    f.pPonteirosIdentificacao = codigos;
    f.lTipoIdentificacao = 1;  // equipment codes
    EXPECT_EQ(Atuais(f), (std::vector<ULONG>{e2}));
    f.lTipoIdentificacao = 0;  // product codes
    EXPECT_EQ(Atuais(f), (std::vector<ULONG>{p3}));
    f = FiltroTodos();
    f.bSomenteEquipamentos = 1;
    EXPECT_EQ(Atuais(f), (std::vector<ULONG>{e1, e2}));
    f = FiltroTodos();
    f.bSomenteProdutos = 1;
    EXPECT_EQ(Atuais(f), (std::vector<ULONG>{p3}));
    f = FiltroTodos();
    std::strcpy(f.szNrSerie, "xY-01");
    EXPECT_EQ(Atuais(f), (std::vector<ULONG>{e1}));

    ULONG posicoes[] = {p3, e2};
    _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS l{};
    ASSERT_EQ(m_servico->BuscaRegistrosMedicaoAtual({2, 0, nullptr, posicoes}, &l), S_OK);
    ASSERT_EQ(l.lQtdRegistros, 2u);
    EXPECT_EQ(l.pRegistros[0].regMedicaoAtual.lProduto, 3u);
    EXPECT_EQ(l.pRegistros[1].lPonteiroRegistro, e2);
    CoTaskMemFree(l.pRegistros);
}

TEST_F(Medicao, EntradaHostilRecusadaSemGravarNada) {
    _REG_CADASTRO_MEDICAO_ATUAL_PS semFim = Leitura(1, 0, "", 1);
    std::memset(semFim.regMedicaoAtual.szNrSerie, 'A', sizeof semFim.regMedicaoAtual.szNrSerie);
    EXPECT_EQ(m_servico->GravaMedicaoAtual(&semFim, 1, 1), E_INVALIDARG);
    LONG posicao = 0;
    EXPECT_EQ(m_servico->GravaHistoricoMedicao(&posicao, &semFim.regMedicaoAtual), E_INVALIDARG);
    EXPECT_FALSE(std::filesystem::exists(Dados("GEMPMED.dat")));
    EXPECT_EQ(m_servico->GravaMedicaoAtual(nullptr, 0, 0), E_POINTER);
    EXPECT_EQ(m_servico->BuscaPonteirosHistoricoMedicao({}, nullptr), E_POINTER);
    _REG_FILTRO_MEDICAO_PS f = FiltroTodos();
    f.lQtdPonteirosIdentificacao = 2;  // codes without array
    _REG_LISTA_PTRS_CADASTRO_PS ptrs{};
    EXPECT_EQ(m_servico->BuscaPonteirosMedicaoAtual(f, &ptrs), E_INVALIDARG);

    // Positions 0 and past the end: the engine's codes; a failed list read hands nothing out.
    const ULONG pos = Grava(Leitura(1, 0, "", 1), 1);
    _REG_CADASTRO_MEDICAO_ATUAL_PS r{};
    EXPECT_EQ(m_servico->LeMedicaoAtual(0, &r), E_QVCR_TENTATIVA_LER_POSICAO_ZERO);
    EXPECT_EQ(m_servico->LeMedicaoAtual(-1, &r), E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    ULONG ruins[] = {pos, 2};
    _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS atuais{};
    EXPECT_EQ(m_servico->BuscaRegistrosMedicaoAtual({2, 0, nullptr, ruins}, &atuais),
              E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    EXPECT_EQ(atuais.pRegistros, nullptr);
    // History items naming no month or no record come back zeroed.
    const auto lidos = LeHistorico({{QVMAAtual(), 0, 1}, {0, 0, 1}, {40000, 0, 1}, {QVMAAtual(), 0, 9}});
    ASSERT_EQ(lidos.size(), 4u);
    EXPECT_EQ(lidos[0].lEquipamento, 1u);
    for (std::size_t i = 1; i < lidos.size(); ++i) EXPECT_EQ(lidos[i].lEquipamento + lidos[i].dataGravacao, 0u) << i;

    // A list holding the caller's array is overwritten, not freed: the caller frees it.
    void* doChamador = CoTaskMemAlloc(16);
    _REG_LISTA_PTRS_CADASTRO_PS lista{1, 0, nullptr, static_cast<ULONG*>(doChamador)};
    ASSERT_EQ(m_servico->BuscaPonteirosMedicaoAtual(FiltroTodos(), &lista), S_OK);
    ASSERT_EQ(lista.lQtdPtrs, 1u);
    EXPECT_EQ(lista.pPonteiros[0], pos);
    CoTaskMemFree(lista.pPonteiros);
    CoTaskMemFree(doChamador);
}

TEST_F(Medicao, PlanoRegravadoRefazLeituraEMedidorSubstituidoConta) {
    const ULONG outra = Grava(Leitura(99, 0, "OUTRO", 123));
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    plano.idEquipamentoPS.lEquipamento = 31;
    plano.idEquipamentoPS.lSituacao = 1;
    std::strcpy(plano.idEquipamentoPS.szNrSerie, "MED-1");
    LONG posicao = 0;
    const HRESULT hr = m_servico->Grava(&posicao, plano);  // no maintenance yet: no reading
    ASSERT_EQ(hr, S_OK);

    // Saved again with a maintenance: no reading has its identification, so
    // its own is recorded and the other identification's stays as it was.
    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS manutencao{};
    manutencao.frequenciaPS.lTipoFrequencia = 3;
    plano.listaManutencoes = {1, 0, nullptr, &manutencao};
    plano.lPonteiroRegistro = static_cast<ULONG>(posicao);
    ASSERT_EQ(m_servico->Grava(&posicao, plano), S_OK);
    const std::vector<ULONG> atuais = Atuais(FiltroTodos());
    ASSERT_EQ(atuais.size(), 2u);
    EXPECT_EQ(Le(outra).regMedicaoAtual.vQuantidadeMedicao.int64, 123);
    EXPECT_EQ(Le(atuais[1]).regMedicaoAtual.lPonteiroCadastro, static_cast<ULONG>(posicao));
    EXPECT_EQ(Grava(Leitura(31, 0, "med-1", 500, 1, static_cast<ULONG>(posicao))), atuais[1]);

    RelogioFixoEscopo relogio(Dia(2026, 7, 1));
    _REG_CADASTRO_MEDIDORES_PS medidor{};
    medidor.lQuantidadeMedidoresSubstituidos = 77;  // the server counts, not the caller
    ASSERT_EQ(m_servico->GravaMedidorSubstituido(plano, medidor), S_OK);
    ASSERT_EQ(m_servico->GravaMedidorSubstituido(plano, medidor), S_OK);
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS lido{};
    ASSERT_EQ(m_servico->Le(posicao, &lido), S_OK);
    EXPECT_EQ(lido.idEquipamentoPS.regMedidorAtual.lQuantidadeMedidoresSubstituidos, 2u);
    zenta::LiberaRegistro(lido);
    // Each save recorded the plan's reading again: same record, today's
    // date, standing where the new meter stands.
    EXPECT_EQ(Atuais(FiltroTodos()), atuais);
    EXPECT_EQ(Le(atuais[1]).regMedicaoAtual.vQuantidadeMedicao.int64, medidor.vQuantidadeAtual.int64);
    EXPECT_EQ(Le(atuais[1]).regMedicaoAtual.dataGravacao, Data(2026, 7, 1));
}

}  // namespace
