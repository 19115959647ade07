// Method tables of IQVUnknown and IQVGE_ManutencaoPreventiva, in slot order.
// Names, directions and C types are those of the interface declarations
// (include/zenta); the tests check that the slots run from 3 to 37
// without a gap.
#include "server/QVDescricaoInterface.h"

#include <zenta/IQVGE_ManutencaoPreventiva.h>

namespace zenta {

namespace {

using D = DirecaoParametro;

}  // namespace

// ---- IQVUnknown ---------------------------------------------------------------
// The record descriptions live in another unit: these tables are built on
// first use.
const DescricaoInterface& DescricaoIQVUnknown() {
#define R(T) &DescricaoDe<T>()
    static const DescricaoParametro Inicializa_Padrao[] = {
        {"regps", D::Entrada, "_REG_DF_INICIALIZAPS", R(_REG_DF_INICIALIZAPS)}};
    static const DescricaoParametro KeepAlive[] = {{"pbOK", D::Saida, "long*", nullptr}};
    static const DescricaoParametro GetUltimoErro[] = {{"pregErrops", D::Saida, "_REG_DF_ERROPS*", R(_REG_DF_ERROPS)}};
    static const DescricaoParametro FuncaoGenerica[] = {
        {"ulFuncao", D::Entrada, "unsigned long", nullptr},
        {"regInps", D::Entrada, "_REG_CR_LISTA_BYTESPS", R(_REG_CR_LISTA_BYTESPS)},
        {"ppregOutps", D::Saida, "_REG_CR_LISTA_BYTESPS**", R(_REG_CR_LISTA_BYTESPS)},
    };
    static const DescricaoParametro AlteracaoMultiplaCadastro[] = {
        {"ulQuantidade", D::Entrada, "unsigned long", nullptr},
        {"pulPonteiros", D::Entrada, "unsigned long*", nullptr},
        {"ulQuantidadeAlteracoes", D::Entrada, "unsigned long", nullptr},
        {"pregps", D::Entrada, "_REG_CR_ALTERACAOPS*", R(_REG_CR_ALTERACAOPS)},
    };
    static const DescricaoParametro AlteracaoMultiplaMovimento[] = {
        {"ulQuantidade", D::Entrada, "unsigned long", nullptr},
        {"pregPonteiros", D::Entrada, "unsigned __int64*", nullptr},
        {"ulQuantidadeAlteracoes", D::Entrada, "unsigned long", nullptr},
        {"pregps", D::Entrada, "_REG_CR_ALTERACAOPS*", R(_REG_CR_ALTERACAOPS)},
    };
    static const DescricaoParametro CadastroTeveMovimentacao[] = {
        {"eTipoCadastro", D::Entrada, "unsigned long", nullptr},
        {"ulPonteiroCadastro", D::Entrada, "unsigned long", nullptr},
        {"pbTeveMovimentacao", D::Saida, "long*", nullptr},
    };
#undef R
    static const DescricaoMetodo metodos[] = {
        {"Inicializa_Padrao", 3, Inicializa_Padrao},
        {"KeepAlive", 4, KeepAlive},
        {"GetUltimoErro", 5, GetUltimoErro},
        {"FuncaoGenerica", 6, FuncaoGenerica},
        {"AlteracaoMultiplaCadastro", 7, AlteracaoMultiplaCadastro},
        {"AlteracaoMultiplaMovimento", 8, AlteracaoMultiplaMovimento},
        {"CadastroTeveMovimentacao", 9, CadastroTeveMovimentacao},
    };
    static const DescricaoInterface descricao = {"IQVUnknown", &IID_IQVUnknown, nullptr, metodos};
    return descricao;
}

std::span<const DescricaoRegistro* const> DescricoesRegistrosIQVUnknown() {
    static const DescricaoRegistro* const registros[] = {
        &DescricaoDe<_REG_DF_INICIALIZAPS>(), &DescricaoDe<_REG_CR_LISTA_BYTESPS>(),
        &DescricaoDe<_REG_CR_ALTERACAOPS>(), &DescricaoDe<_REG_DF_ERROPS>()};
    return registros;
}

// ---- IQVGE_ManutencaoPreventiva ---------------------------------------------------
const DescricaoInterface& DescricaoIQVGE_ManutencaoPreventiva() {
#define R(T) &DescricaoDe<T>()
    static const DescricaoParametro LePropriedades[] = {
        {"pRegPropriedades", D::Saida, "_REG_CADASTRO_PROPRIEDADES_PS*", R(_REG_CADASTRO_PROPRIEDADES_PS)}};
    static const DescricaoParametro GravaPropriedades[] = {
        {"regPropriedades", D::Entrada, "_REG_CADASTRO_PROPRIEDADES_PS", R(_REG_CADASTRO_PROPRIEDADES_PS)}};
    static const DescricaoParametro BuscaPonteiros[] = {
        {"regFiltro", D::Entrada, "_REG_FILTRO_CADASTRO_MANUTENCAO_PS", R(_REG_FILTRO_CADASTRO_MANUTENCAO_PS)},
        {"pregPonteiros", D::Saida, "_REG_LISTA_PTRS_CADASTRO_PS*", R(_REG_LISTA_PTRS_CADASTRO_PS)}};
    static const DescricaoParametro BuscaRegistros[] = {
        {"regPonteiros", D::Entrada, "_REG_LISTA_PTRS_CADASTRO_PS", R(_REG_LISTA_PTRS_CADASTRO_PS)},
        {"pRegListaRegistros", D::Saida, "_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS*",
         R(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS)}};
    static const DescricaoParametro Grava[] = {
        {"pPosicao", D::EntradaSaida, "long*", nullptr},
        {"RegCadastro", D::Entrada, "_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS", R(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS)}};
    static const DescricaoParametro Le[] = {
        {"lPos", D::Entrada, "long", nullptr},
        {"pRegCadastro", D::Saida, "_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS*", R(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS)}};
    static const DescricaoParametro GeraRelatorioCadastro[] = {
        {"regRelatorio", D::Entrada, "_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS",
         R(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS)}};
    static const DescricaoParametro ExcluiManutencoes[] = {{"regDmcAssistec", D::Entrada, "unsigned __int64", nullptr}};
    static const DescricaoParametro GeraRelatorioMovimentacao[] = {
        {"regRelatorio", D::Entrada, "_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS",
         R(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS)}};
    static const DescricaoParametro GravaMedidorSubstituido[] = {
        {"RegCadastro", D::Entrada, "_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS", R(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS)},
        {"regMedidor", D::Entrada, "_REG_CADASTRO_MEDIDORES_PS", R(_REG_CADASTRO_MEDIDORES_PS)}};
    static const DescricaoParametro GravaHistoricoMedicao[] = {
        {"pPosicao", D::EntradaSaida, "long*", nullptr},
        {"pRegMedicao", D::Entrada, "_REG_CADASTRO_HISTORICO_MEDICOES_PS*", R(_REG_CADASTRO_HISTORICO_MEDICOES_PS)}};
    static const DescricaoParametro GravaMedicaoAtual[] = {
        {"pRegMedicao", D::Entrada, "_REG_CADASTRO_MEDICAO_ATUAL_PS*", R(_REG_CADASTRO_MEDICAO_ATUAL_PS)},
        {"bGravarHistorico", D::Entrada, "long", nullptr},
        {"bCalcularMedicao", D::Entrada, "long", nullptr}};
    static const DescricaoParametro LeMedicaoAtual[] = {
        {"lPos", D::Entrada, "long", nullptr},
        {"pRegMedicao", D::Saida, "_REG_CADASTRO_MEDICAO_ATUAL_PS*", R(_REG_CADASTRO_MEDICAO_ATUAL_PS)}};
    static const DescricaoParametro BuscaPonteirosMedicaoAtual[] = {
        {"regFiltro", D::Entrada, "_REG_FILTRO_MEDICAO_PS", R(_REG_FILTRO_MEDICAO_PS)},
        {"pregPonteiros", D::Saida, "_REG_LISTA_PTRS_CADASTRO_PS*", R(_REG_LISTA_PTRS_CADASTRO_PS)}};
    static const DescricaoParametro BuscaRegistrosMedicaoAtual[] = {
        {"regPonteiros", D::Entrada, "_REG_LISTA_PTRS_CADASTRO_PS", R(_REG_LISTA_PTRS_CADASTRO_PS)},
        {"pRegListaRegistros", D::Saida, "_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS*",
         R(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS)}};
    static const DescricaoParametro BuscaPonteirosHistoricoMedicao[] = {
        {"regFiltro", D::Entrada, "_REG_FILTRO_HISTORICO_MEDICAO_PS", R(_REG_FILTRO_HISTORICO_MEDICAO_PS)},
        {"pregPonteiros", D::Saida, "_REG_LISTA_PONTEIROS_DATA_PS*", R(_REG_LISTA_PONTEIROS_DATA_PS)}};
    static const DescricaoParametro BuscaRegistrosHistoricoMedicao[] = {
        {"regPonteiros", D::Entrada, "_REG_LISTA_PONTEIROS_DATA_PS", R(_REG_LISTA_PONTEIROS_DATA_PS)},
        {"pRegListaRegistros", D::Saida, "_REG_LISTA_HISTORICO_MEDICOES_PS*", R(_REG_LISTA_HISTORICO_MEDICOES_PS)}};
    static const DescricaoParametro GravaMovimentacao[] = {
        {"pRegMovimentacao", D::Entrada, "_REG_MOVIMENTACAO_MANUT_PREV_PS", R(_REG_MOVIMENTACAO_MANUT_PREV_PS)},
        {"pRegDMCGravado", D::Saida, "unsigned __int64*", nullptr}};
    static const DescricaoParametro BuscaPonteirosMovimentacao[] = {
        {"regFiltro", D::Entrada, "_REG_MOVIMENTACAO_FILTRO_PS", R(_REG_MOVIMENTACAO_FILTRO_PS)},
        {"pregPonteiros", D::Saida, "_REG_LISTA_PONTEIROS_DATA_PS*", R(_REG_LISTA_PONTEIROS_DATA_PS)}};
    static const DescricaoParametro LeMovimentacao[] = {
        {"dmcChave", D::Entrada, "unsigned __int64", nullptr},
        {"pRegMovimentacao", D::Saida, "_REG_MOVIMENTACAO_MANUT_PREV_PS*", R(_REG_MOVIMENTACAO_MANUT_PREV_PS)}};
    static const DescricaoParametro LeMovimentacaoLight[] = {
        {"dmcChave", D::Entrada, "unsigned __int64", nullptr},
        {"pRegMovimentacao", D::Saida, "_REG_MOVIMENTACAO_MANUT_PREV_PS*", R(_REG_MOVIMENTACAO_MANUT_PREV_PS)}};
    static const DescricaoParametro BuscaRegistrosMovimentacao[] = {
        {"regPonteiros", D::Entrada, "_REG_LISTA_PONTEIROS_DATA_PS", R(_REG_LISTA_PONTEIROS_DATA_PS)},
        {"pRegListaRegistros", D::Saida, "_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS*",
         R(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS)}};
    static const DescricaoParametro BuscaMovimentacoesDiarias[] = {
        {"pRegListaRegistros", D::Saida, "_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS*",
         R(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS)}};
    static const DescricaoParametro BuscaMovimentosPelaManutencao[] = {
        {"lCodigoManutencao", D::Entrada, "unsigned long", nullptr},
        {"pRegListaRegistros", D::Saida, "_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS*",
         R(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS)}};
    static const DescricaoParametro Arvore[] = {
        {"plistaItens", D::Saida, "_REG_LISTA_ITENS_TREE_PS*", R(_REG_LISTA_ITENS_TREE_PS)},
        {"bTrazerSomenteAtivos", D::Entrada, "long", nullptr}};
#undef R

    static const DescricaoMetodo metodos[] = {
        {"LePropriedades", 10, LePropriedades},
        {"GravaPropriedades", 11, GravaPropriedades},
        {"BuscaPonteiros", 12, BuscaPonteiros},
        {"BuscaRegistros", 13, BuscaRegistros},
        {"Grava", 14, Grava},
        {"Le", 15, Le},
        {"GeraRelatorioCadastro", 16, GeraRelatorioCadastro},
        {"ExcluiManutencoes", 17, ExcluiManutencoes},
        {"GeraRelatorioMovimentacao", 18, GeraRelatorioMovimentacao},
        {"GravaMedidorSubstituido", 19, GravaMedidorSubstituido},
        {"GravaHistoricoMedicao", 20, GravaHistoricoMedicao},
        {"GravaMedicaoAtual", 21, GravaMedicaoAtual},
        {"LeMedicaoAtual", 22, LeMedicaoAtual},
        {"BuscaPonteirosMedicaoAtual", 23, BuscaPonteirosMedicaoAtual},
        {"BuscaRegistrosMedicaoAtual", 24, BuscaRegistrosMedicaoAtual},
        {"BuscaPonteirosHistoricoMedicao", 25, BuscaPonteirosHistoricoMedicao},
        {"BuscaRegistrosHistoricoMedicao", 26, BuscaRegistrosHistoricoMedicao},
        {"GravaMovimentacao", 27, GravaMovimentacao},
        {"BuscaPonteirosMovimentacao", 28, BuscaPonteirosMovimentacao},
        {"LeMovimentacao", 29, LeMovimentacao},
        {"LeMovimentacaoLight", 30, LeMovimentacaoLight},
        {"BuscaRegistrosMovimentacao", 31, BuscaRegistrosMovimentacao},
        {"BuscaMovimentacoesDiarias", 32, BuscaMovimentacoesDiarias},
        {"BuscaMovimentosPelaManutencao", 33, BuscaMovimentosPelaManutencao},
        {"BuscaTreeMovimentacaoEquipamentos", 34, Arvore},
        {"BuscaTreeMovimentacaoProdutos", 35, Arvore},
        {"BuscaRegistroTreeEquipamentos", 36, Arvore},
        {"BuscaRegistroTreeProdutos", 37, Arvore},
    };
    static const DescricaoInterface descricao = {"IQVGE_ManutencaoPreventiva", &IID_IQVGE_ManutencaoPreventiva,
                                                 &DescricaoIQVUnknown(), metodos};
    return descricao;
}

}  // namespace zenta
