// Tables of the interface records. Offsets and sizes come from offsetof and
// sizeof on the packed structs, so they follow the header; the field list of
// each record is checked by the tests to cover the record exactly.
#include "records/QVDescricaoTipos.h"

#include <algorithm>

namespace zenta {

extern const DescricaoRegistro kREG_CADASTRO_PROPRIEDADES_PS;
extern const DescricaoRegistro kREG_FILTRO_CADASTRO_MANUTENCAO_PS;
extern const DescricaoRegistro kREG_LISTA_PTRS_CADASTRO_PS;
extern const DescricaoRegistro kREG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS;
extern const DescricaoRegistro kREG_CADASTRO_MEDIDORES_PS;
extern const DescricaoRegistro kREG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS;
extern const DescricaoRegistro kREG_LISTA_CADASTRO_MANUTENCOES_PS;
extern const DescricaoRegistro kREG_LISTA_CADASTRO_CLIENTES_PS;
extern const DescricaoRegistro kREG_CADASTRO_MANUTENCAO_PREVENTIVA_PS;
extern const DescricaoRegistro kREG_DF_TEXTOPS;
extern const DescricaoRegistro kREG_CADASTRO_MANUTENCAO_FREQUENCIA_PS;
extern const DescricaoRegistro kREG_LISTA_CADASTRO_PRODUTO_PS;
extern const DescricaoRegistro kREG_LISTA_CADASTRO_SERVICO_PS;
extern const DescricaoRegistro kREG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS;
extern const DescricaoRegistro kREG_LISTA_CADASTRO_LOCAL_PRODUTO_PS;
extern const DescricaoRegistro kREG_CADASTRO_MANUTENCAO_PRODUTO_PS;
extern const DescricaoRegistro kREG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS;
extern const DescricaoRegistro kREG_CADASTRO_MANUTENCAO_SERVICO_PS;
extern const DescricaoRegistro kREG_CADASTRO_MANUTENCAO_CLIENTE_PS;
extern const DescricaoRegistro kREG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS;
extern const DescricaoRegistro kQV_DMCPS;
extern const DescricaoRegistro kREG_MOVIMENTACAO_FILTRO_PS;
extern const DescricaoRegistro kREG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS;
extern const DescricaoRegistro kREG_CADASTRO_HISTORICO_MEDICOES_PS;
extern const DescricaoRegistro kREG_CADASTRO_MEDICAO_ATUAL_PS;
extern const DescricaoRegistro kREG_FILTRO_MEDICAO_PS;
extern const DescricaoRegistro kREG_LISTA_CADASTRO_MEDICAO_ATUAL_PS;
extern const DescricaoRegistro kREG_FILTRO_HISTORICO_MEDICAO_PS;
extern const DescricaoRegistro kREG_LISTA_PONTEIROS_DATA_PS;
extern const DescricaoRegistro kREG_PTR_DATA_PS;
extern const DescricaoRegistro kREG_LISTA_HISTORICO_MEDICOES_PS;
extern const DescricaoRegistro kREG_LISTA_MOVIMENTACAO_PRODUTO_PS;
extern const DescricaoRegistro kREG_LISTA_MOVIMENTACAO_SERVICO_PS;
extern const DescricaoRegistro kREG_LISTA_RELACIONAMENTO_OS_PS;
extern const DescricaoRegistro kREG_LISTA_DMC_PS;
extern const DescricaoRegistro kREG_MOVIMENTACAO_MANUT_PREV_PS;
extern const DescricaoRegistro kREG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS;
extern const DescricaoRegistro kREG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS;
extern const DescricaoRegistro kREG_MOVIMENTACAO_LOCAL_PRODUTO_PS;
extern const DescricaoRegistro kREG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS;
extern const DescricaoRegistro kREG_RELACIONAMENTO_MOVIMENTACAO_OS_PS;
extern const DescricaoRegistro kREG_LISTA_MOVIMENTACAO_MANUT_PREV_PS;
extern const DescricaoRegistro kREG_LISTA_ITENS_TREE_PS;
extern const DescricaoRegistro kREG_ITEM_TREE_PS;

constexpr DescricaoCampo kCamposREG_CADASTRO_PROPRIEDADES_PS[] = {
    {"cAvisarDataProximaManutencaoComAntecedencia", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, cAvisarDataProximaManutencaoComAntecedencia), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::cAvisarDataProximaManutencaoComAntecedencia), TipoCampo::U8, nullptr, 0},
    {"cAvisarPorEmail", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, cAvisarPorEmail), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::cAvisarPorEmail), TipoCampo::U8, nullptr, 0},
    {"cAvisarComTelaAviso", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, cAvisarComTelaAviso), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::cAvisarComTelaAviso), TipoCampo::U8, nullptr, 0},
    {"cFiller", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, cFiller), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"lQtdDiasAviso", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, lQtdDiasAviso), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::lQtdDiasAviso), TipoCampo::U32, nullptr, 0},
    {"dataUltimaVerificacaoMedicao", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, dataUltimaVerificacaoMedicao), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::dataUltimaVerificacaoMedicao), TipoCampo::Data, nullptr, 0},
    {"szNomeCampoDinamico1", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, szNomeCampoDinamico1), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::szNomeCampoDinamico1), TipoCampo::Texto, nullptr, 0},
    {"szNomeCampoDinamico2", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, szNomeCampoDinamico2), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::szNomeCampoDinamico2), TipoCampo::Texto, nullptr, 0},
    {"szNomeCampoDinamico3", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, szNomeCampoDinamico3), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::szNomeCampoDinamico3), TipoCampo::Texto, nullptr, 0},
    {"szNomeCampoDinamico4", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, szNomeCampoDinamico4), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::szNomeCampoDinamico4), TipoCampo::Texto, nullptr, 0},
    {"szNomeCampoDinamico5", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, szNomeCampoDinamico5), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::szNomeCampoDinamico5), TipoCampo::Texto, nullptr, 0},
    {"ucNaoGravarLog", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, ucNaoGravarLog), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::ucNaoGravarLog), TipoCampo::U8, nullptr, 0},
    {"ucFiller", offsetof(_REG_CADASTRO_PROPRIEDADES_PS, ucFiller), sizeof(_REG_CADASTRO_PROPRIEDADES_PS::ucFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_PROPRIEDADES_PS = {"_REG_CADASTRO_PROPRIEDADES_PS", sizeof(_REG_CADASTRO_PROPRIEDADES_PS), kCamposREG_CADASTRO_PROPRIEDADES_PS};

constexpr DescricaoCampo kCamposREG_FILTRO_CADASTRO_MANUTENCAO_PS[] = {
    {"lFilial", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lFilial), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lFilial), TipoCampo::U32, nullptr, 0},
    {"lCliente", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lCliente), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lCliente), TipoCampo::U32, nullptr, 0},
    {"bAtivo", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bAtivo), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::bAtivo), TipoCampo::I32, nullptr, 0},
    {"bInativo", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bInativo), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::bInativo), TipoCampo::I32, nullptr, 0},
    {"bCancelado", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bCancelado), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::bCancelado), TipoCampo::I32, nullptr, 0},
    {"bConcluido", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bConcluido), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::bConcluido), TipoCampo::I32, nullptr, 0},
    {"bTrazerExcluido", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bTrazerExcluido), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::bTrazerExcluido), TipoCampo::I32, nullptr, 0},
    {"bFiller", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bFiller), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::bFiller), TipoCampo::Filler, nullptr, 0},
    {"lEquipamento", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lEquipamento), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lEquipamento), TipoCampo::U32, nullptr, 0},
    {"lMarca", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lMarca), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lMarca), TipoCampo::U32, nullptr, 0},
    {"lModelo", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lModelo), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lModelo), TipoCampo::U32, nullptr, 0},
    {"lTipo", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lTipo), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lTipo), TipoCampo::U32, nullptr, 0},
    {"lProduto", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lProduto), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lProduto), TipoCampo::U32, nullptr, 0},
    {"lGrade1", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lGrade1), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lGrade1), TipoCampo::U32, nullptr, 0},
    {"lGrade2", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lGrade2), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lGrade2), TipoCampo::U32, nullptr, 0},
    {"lGrade3", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lGrade3), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lGrade3), TipoCampo::U32, nullptr, 0},
    {"lPonteiroRegistro", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lPonteiroRegistro), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lPonteiroRegistro), TipoCampo::U32, nullptr, 0},
    {"lFiller2", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lFiller2), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lFiller2), TipoCampo::Filler, nullptr, 0},
    {"szNrSerie", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, szNrSerie), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::szNrSerie), TipoCampo::Texto, nullptr, 0},
    {"lQtdPonteirosIdentificacao", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lQtdPonteirosIdentificacao), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lQtdPonteirosIdentificacao), TipoCampo::Contagem, nullptr, 0},
    {"lTipoIdentificacao", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lTipoIdentificacao), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lTipoIdentificacao), TipoCampo::U32, nullptr, 0},
    {"pPonteirosIdentificacao", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, pPonteirosIdentificacao), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::pPonteirosIdentificacao), TipoCampo::ArrayU32, nullptr, offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lQtdPonteirosIdentificacao)},
    {"cFiller", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, cFiller), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"dataInicialFrequencia", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, dataInicialFrequencia), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::dataInicialFrequencia), TipoCampo::Data, nullptr, 0},
    {"lFiller", offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lFiller), sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_FILTRO_CADASTRO_MANUTENCAO_PS = {"_REG_FILTRO_CADASTRO_MANUTENCAO_PS", sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS), kCamposREG_FILTRO_CADASTRO_MANUTENCAO_PS};

constexpr DescricaoCampo kCamposREG_LISTA_PTRS_CADASTRO_PS[] = {
    {"lQtdPtrs", offsetof(_REG_LISTA_PTRS_CADASTRO_PS, lQtdPtrs), sizeof(_REG_LISTA_PTRS_CADASTRO_PS::lQtdPtrs), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_PTRS_CADASTRO_PS, lFiller), sizeof(_REG_LISTA_PTRS_CADASTRO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"cFiller", offsetof(_REG_LISTA_PTRS_CADASTRO_PS, cFiller), sizeof(_REG_LISTA_PTRS_CADASTRO_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"pPonteiros", offsetof(_REG_LISTA_PTRS_CADASTRO_PS, pPonteiros), sizeof(_REG_LISTA_PTRS_CADASTRO_PS::pPonteiros), TipoCampo::ArrayU32, nullptr, offsetof(_REG_LISTA_PTRS_CADASTRO_PS, lQtdPtrs)},
};
constexpr DescricaoRegistro kREG_LISTA_PTRS_CADASTRO_PS = {"_REG_LISTA_PTRS_CADASTRO_PS", sizeof(_REG_LISTA_PTRS_CADASTRO_PS), kCamposREG_LISTA_PTRS_CADASTRO_PS};

constexpr DescricaoCampo kCamposREG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS[] = {
    {"lQtdRegistros", offsetof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lQtdRegistros), sizeof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS::lQtdRegistros), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lFiller), sizeof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"cFiller", offsetof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS, cFiller), sizeof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"pRegistros", offsetof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS, pRegistros), sizeof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS::pRegistros), TipoCampo::Lista, &kREG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, offsetof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lQtdRegistros)},
};
constexpr DescricaoRegistro kREG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS = {"_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS", sizeof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS), kCamposREG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS};

constexpr DescricaoCampo kCamposREG_CADASTRO_MEDIDORES_PS[] = {
    {"vQuantidadeInicial", offsetof(_REG_CADASTRO_MEDIDORES_PS, vQuantidadeInicial), sizeof(_REG_CADASTRO_MEDIDORES_PS::vQuantidadeInicial), TipoCampo::Moeda, nullptr, 0},
    {"vQuantidadeAtual", offsetof(_REG_CADASTRO_MEDIDORES_PS, vQuantidadeAtual), sizeof(_REG_CADASTRO_MEDIDORES_PS::vQuantidadeAtual), TipoCampo::Moeda, nullptr, 0},
    {"lPonteiroUnMedida", offsetof(_REG_CADASTRO_MEDIDORES_PS, lPonteiroUnMedida), sizeof(_REG_CADASTRO_MEDIDORES_PS::lPonteiroUnMedida), TipoCampo::U32, nullptr, 0},
    {"lPonteiroCadastro", offsetof(_REG_CADASTRO_MEDIDORES_PS, lPonteiroCadastro), sizeof(_REG_CADASTRO_MEDIDORES_PS::lPonteiroCadastro), TipoCampo::U32, nullptr, 0},
    {"lQuantidadeMedidoresSubstituidos", offsetof(_REG_CADASTRO_MEDIDORES_PS, lQuantidadeMedidoresSubstituidos), sizeof(_REG_CADASTRO_MEDIDORES_PS::lQuantidadeMedidoresSubstituidos), TipoCampo::U32, nullptr, 0},
    {"cTipoUnidadeMedida", offsetof(_REG_CADASTRO_MEDIDORES_PS, cTipoUnidadeMedida), sizeof(_REG_CADASTRO_MEDIDORES_PS::cTipoUnidadeMedida), TipoCampo::U8, nullptr, 0},
    {"szFiller", offsetof(_REG_CADASTRO_MEDIDORES_PS, szFiller), sizeof(_REG_CADASTRO_MEDIDORES_PS::szFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_MEDIDORES_PS = {"_REG_CADASTRO_MEDIDORES_PS", sizeof(_REG_CADASTRO_MEDIDORES_PS), kCamposREG_CADASTRO_MEDIDORES_PS};

constexpr DescricaoCampo kCamposREG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS[] = {
    {"regMedidorAtual", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, regMedidorAtual), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::regMedidorAtual), TipoCampo::Registro, &kREG_CADASTRO_MEDIDORES_PS, 0},
    {"lFilial", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lFilial), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::lFilial), TipoCampo::U32, nullptr, 0},
    {"lEquipamento", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lEquipamento), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::lEquipamento), TipoCampo::U32, nullptr, 0},
    {"lProduto", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lProduto), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::lProduto), TipoCampo::U32, nullptr, 0},
    {"lGrade1", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lGrade1), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::lGrade1), TipoCampo::U32, nullptr, 0},
    {"lGrade2", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lGrade2), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::lGrade2), TipoCampo::U32, nullptr, 0},
    {"lGrade3", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lGrade3), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::lGrade3), TipoCampo::U32, nullptr, 0},
    {"lMarca", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lMarca), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::lMarca), TipoCampo::U32, nullptr, 0},
    {"lModelo", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lModelo), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::lModelo), TipoCampo::U32, nullptr, 0},
    {"lTipo", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lTipo), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::lTipo), TipoCampo::U32, nullptr, 0},
    {"lSituacao", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lSituacao), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::lSituacao), TipoCampo::U32, nullptr, 0},
    {"lMedidor", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lMedidor), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::lMedidor), TipoCampo::U32, nullptr, 0},
    {"szCodigo", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCodigo), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szCodigo), TipoCampo::Texto, nullptr, 0},
    {"szCapacidade", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCapacidade), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szCapacidade), TipoCampo::Texto, nullptr, 0},
    {"szAnoFabricacao", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szAnoFabricacao), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szAnoFabricacao), TipoCampo::Texto, nullptr, 0},
    {"szNrSerie", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szNrSerie), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szNrSerie), TipoCampo::Texto, nullptr, 0},
    {"szNrPatrimonial", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szNrPatrimonial), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szNrPatrimonial), TipoCampo::Texto, nullptr, 0},
    {"szMotor", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szMotor), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szMotor), TipoCampo::Texto, nullptr, 0},
    {"szFabricante", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szFabricante), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szFabricante), TipoCampo::Texto, nullptr, 0},
    {"szCampoDinamico1", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCampoDinamico1), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szCampoDinamico1), TipoCampo::Texto, nullptr, 0},
    {"szCampoDinamico2", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCampoDinamico2), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szCampoDinamico2), TipoCampo::Texto, nullptr, 0},
    {"szCampoDinamico3", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCampoDinamico3), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szCampoDinamico3), TipoCampo::Texto, nullptr, 0},
    {"szCampoDinamico4", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCampoDinamico4), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szCampoDinamico4), TipoCampo::Texto, nullptr, 0},
    {"szCampoDinamico5", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCampoDinamico5), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::szCampoDinamico5), TipoCampo::Texto, nullptr, 0},
    {"cFiller", offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, cFiller), sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS::cFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS = {"_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS", sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS), kCamposREG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS};

constexpr DescricaoCampo kCamposREG_LISTA_CADASTRO_MANUTENCOES_PS[] = {
    {"lQtdManutencoes", offsetof(_REG_LISTA_CADASTRO_MANUTENCOES_PS, lQtdManutencoes), sizeof(_REG_LISTA_CADASTRO_MANUTENCOES_PS::lQtdManutencoes), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_CADASTRO_MANUTENCOES_PS, lFiller), sizeof(_REG_LISTA_CADASTRO_MANUTENCOES_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pFiller", offsetof(_REG_LISTA_CADASTRO_MANUTENCOES_PS, pFiller), sizeof(_REG_LISTA_CADASTRO_MANUTENCOES_PS::pFiller), TipoCampo::Filler, nullptr, 0},
    {"pManutencoes", offsetof(_REG_LISTA_CADASTRO_MANUTENCOES_PS, pManutencoes), sizeof(_REG_LISTA_CADASTRO_MANUTENCOES_PS::pManutencoes), TipoCampo::Lista, &kREG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, offsetof(_REG_LISTA_CADASTRO_MANUTENCOES_PS, lQtdManutencoes)},
};
constexpr DescricaoRegistro kREG_LISTA_CADASTRO_MANUTENCOES_PS = {"_REG_LISTA_CADASTRO_MANUTENCOES_PS", sizeof(_REG_LISTA_CADASTRO_MANUTENCOES_PS), kCamposREG_LISTA_CADASTRO_MANUTENCOES_PS};

constexpr DescricaoCampo kCamposREG_LISTA_CADASTRO_CLIENTES_PS[] = {
    {"lQtdClientes", offsetof(_REG_LISTA_CADASTRO_CLIENTES_PS, lQtdClientes), sizeof(_REG_LISTA_CADASTRO_CLIENTES_PS::lQtdClientes), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_CADASTRO_CLIENTES_PS, lFiller), sizeof(_REG_LISTA_CADASTRO_CLIENTES_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pFiller", offsetof(_REG_LISTA_CADASTRO_CLIENTES_PS, pFiller), sizeof(_REG_LISTA_CADASTRO_CLIENTES_PS::pFiller), TipoCampo::Filler, nullptr, 0},
    {"pClientes", offsetof(_REG_LISTA_CADASTRO_CLIENTES_PS, pClientes), sizeof(_REG_LISTA_CADASTRO_CLIENTES_PS::pClientes), TipoCampo::Lista, &kREG_CADASTRO_MANUTENCAO_CLIENTE_PS, offsetof(_REG_LISTA_CADASTRO_CLIENTES_PS, lQtdClientes)},
};
constexpr DescricaoRegistro kREG_LISTA_CADASTRO_CLIENTES_PS = {"_REG_LISTA_CADASTRO_CLIENTES_PS", sizeof(_REG_LISTA_CADASTRO_CLIENTES_PS), kCamposREG_LISTA_CADASTRO_CLIENTES_PS};

constexpr DescricaoCampo kCamposREG_CADASTRO_MANUTENCAO_PREVENTIVA_PS[] = {
    {"idEquipamentoPS", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, idEquipamentoPS), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::idEquipamentoPS), TipoCampo::Registro, &kREG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, 0},
    {"bExcluido", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bExcluido), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::bExcluido), TipoCampo::I32, nullptr, 0},
    {"bFiller", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bFiller), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::bFiller), TipoCampo::Filler, nullptr, 0},
    {"lIndentificacaoEquipamento", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lIndentificacaoEquipamento), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::lIndentificacaoEquipamento), TipoCampo::U32, nullptr, 0},
    {"lPonteiroRegistro", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lPonteiroRegistro), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::lPonteiroRegistro), TipoCampo::U32, nullptr, 0},
    {"lManutencoes", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lManutencoes), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::lManutencoes), TipoCampo::U32, nullptr, 0},
    {"lClientes", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lClientes), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::lClientes), TipoCampo::U32, nullptr, 0},
    {"lUsuarioUltimaAlteracao", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lUsuarioUltimaAlteracao), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::lUsuarioUltimaAlteracao), TipoCampo::U32, nullptr, 0},
    {"lPonteiroMedicao", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lPonteiroMedicao), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::lPonteiroMedicao), TipoCampo::U32, nullptr, 0},
    {"cOrigem", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, cOrigem), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::cOrigem), TipoCampo::U8, nullptr, 0},
    {"szFiller", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, szFiller), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::szFiller), TipoCampo::Filler, nullptr, 0},
    {"dmcOrigem", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, dmcOrigem), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::dmcOrigem), TipoCampo::ChaveDmc, nullptr, 0},
    {"dmcFiller", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, dmcFiller), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::dmcFiller), TipoCampo::Filler, nullptr, 0},
    {"listaManutencoes", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, listaManutencoes), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::listaManutencoes), TipoCampo::Registro, &kREG_LISTA_CADASTRO_MANUTENCOES_PS, 0},
    {"listaClientes", offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, listaClientes), sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS::listaClientes), TipoCampo::Registro, &kREG_LISTA_CADASTRO_CLIENTES_PS, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_MANUTENCAO_PREVENTIVA_PS = {"_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS", sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS), kCamposREG_CADASTRO_MANUTENCAO_PREVENTIVA_PS};

constexpr DescricaoCampo kCamposREG_DF_TEXTOPS[] = {
    {"ulQtdBytes", offsetof(_REG_DF_TEXTOPS, ulQtdBytes), sizeof(_REG_DF_TEXTOPS::ulQtdBytes), TipoCampo::Contagem, nullptr, 0},
    {"cFiller", offsetof(_REG_DF_TEXTOPS, cFiller), sizeof(_REG_DF_TEXTOPS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"pTexto", offsetof(_REG_DF_TEXTOPS, pTexto), sizeof(_REG_DF_TEXTOPS::pTexto), TipoCampo::BytesDf, nullptr, offsetof(_REG_DF_TEXTOPS, ulQtdBytes)},
    {"pFiller", offsetof(_REG_DF_TEXTOPS, pFiller), sizeof(_REG_DF_TEXTOPS::pFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_DF_TEXTOPS = {"_REG_DF_TEXTOPS", sizeof(_REG_DF_TEXTOPS), kCamposREG_DF_TEXTOPS};

constexpr DescricaoCampo kCamposREG_CADASTRO_MANUTENCAO_FREQUENCIA_PS[] = {
    {"szParadaManutencao", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, szParadaManutencao), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::szParadaManutencao), TipoCampo::Texto, nullptr, 0},
    {"szFiller", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, szFiller), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::szFiller), TipoCampo::Filler, nullptr, 0},
    {"lTipoFrequenciaTempo", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lTipoFrequenciaTempo), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::lTipoFrequenciaTempo), TipoCampo::U32, nullptr, 0},
    {"lFrequenciaLimiteTempo", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lFrequenciaLimiteTempo), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::lFrequenciaLimiteTempo), TipoCampo::U32, nullptr, 0},
    {"lQtdCasasDecimaisMedicao", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lQtdCasasDecimaisMedicao), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::lQtdCasasDecimaisMedicao), TipoCampo::U32, nullptr, 0},
    {"lTipoFrequencia", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lTipoFrequencia), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::lTipoFrequencia), TipoCampo::U32, nullptr, 0},
    {"lObservacao", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lObservacao), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::lObservacao), TipoCampo::U32, nullptr, 0},
    {"lFrequenciaTempo", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lFrequenciaTempo), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::lFrequenciaTempo), TipoCampo::U32, nullptr, 0},
    {"dataInicial", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, dataInicial), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::dataInicial), TipoCampo::Data, nullptr, 0},
    {"dataFiller", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, dataFiller), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::dataFiller), TipoCampo::Filler, nullptr, 0},
    {"horaDuracao", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, horaDuracao), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::horaDuracao), TipoCampo::Moeda, nullptr, 0},
    {"vMedicaoInicial", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, vMedicaoInicial), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::vMedicaoInicial), TipoCampo::Moeda, nullptr, 0},
    {"vFrequenciaMedicao", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, vFrequenciaMedicao), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::vFrequenciaMedicao), TipoCampo::Moeda, nullptr, 0},
    {"vFrequenciaLimiteMedicao", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, vFrequenciaLimiteMedicao), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::vFrequenciaLimiteMedicao), TipoCampo::Moeda, nullptr, 0},
    {"szObservacao", offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, szObservacao), sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS::szObservacao), TipoCampo::TextoDf, &kREG_DF_TEXTOPS, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_MANUTENCAO_FREQUENCIA_PS = {"_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS", sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS), kCamposREG_CADASTRO_MANUTENCAO_FREQUENCIA_PS};

constexpr DescricaoCampo kCamposREG_LISTA_CADASTRO_PRODUTO_PS[] = {
    {"lQtdProdutos", offsetof(_REG_LISTA_CADASTRO_PRODUTO_PS, lQtdProdutos), sizeof(_REG_LISTA_CADASTRO_PRODUTO_PS::lQtdProdutos), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_CADASTRO_PRODUTO_PS, lFiller), sizeof(_REG_LISTA_CADASTRO_PRODUTO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pFiller", offsetof(_REG_LISTA_CADASTRO_PRODUTO_PS, pFiller), sizeof(_REG_LISTA_CADASTRO_PRODUTO_PS::pFiller), TipoCampo::Filler, nullptr, 0},
    {"pProdutos", offsetof(_REG_LISTA_CADASTRO_PRODUTO_PS, pProdutos), sizeof(_REG_LISTA_CADASTRO_PRODUTO_PS::pProdutos), TipoCampo::Lista, &kREG_CADASTRO_MANUTENCAO_PRODUTO_PS, offsetof(_REG_LISTA_CADASTRO_PRODUTO_PS, lQtdProdutos)},
};
constexpr DescricaoRegistro kREG_LISTA_CADASTRO_PRODUTO_PS = {"_REG_LISTA_CADASTRO_PRODUTO_PS", sizeof(_REG_LISTA_CADASTRO_PRODUTO_PS), kCamposREG_LISTA_CADASTRO_PRODUTO_PS};

constexpr DescricaoCampo kCamposREG_LISTA_CADASTRO_SERVICO_PS[] = {
    {"lQtdServicos", offsetof(_REG_LISTA_CADASTRO_SERVICO_PS, lQtdServicos), sizeof(_REG_LISTA_CADASTRO_SERVICO_PS::lQtdServicos), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_CADASTRO_SERVICO_PS, lFiller), sizeof(_REG_LISTA_CADASTRO_SERVICO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pFiller", offsetof(_REG_LISTA_CADASTRO_SERVICO_PS, pFiller), sizeof(_REG_LISTA_CADASTRO_SERVICO_PS::pFiller), TipoCampo::Filler, nullptr, 0},
    {"pServicos", offsetof(_REG_LISTA_CADASTRO_SERVICO_PS, pServicos), sizeof(_REG_LISTA_CADASTRO_SERVICO_PS::pServicos), TipoCampo::Lista, &kREG_CADASTRO_MANUTENCAO_SERVICO_PS, offsetof(_REG_LISTA_CADASTRO_SERVICO_PS, lQtdServicos)},
};
constexpr DescricaoRegistro kREG_LISTA_CADASTRO_SERVICO_PS = {"_REG_LISTA_CADASTRO_SERVICO_PS", sizeof(_REG_LISTA_CADASTRO_SERVICO_PS), kCamposREG_LISTA_CADASTRO_SERVICO_PS};

constexpr DescricaoCampo kCamposREG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS[] = {
    {"frequenciaPS", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, frequenciaPS), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::frequenciaPS), TipoCampo::Registro, &kREG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, 0},
    {"vQuantidadeFalta", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, vQuantidadeFalta), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::vQuantidadeFalta), TipoCampo::Moeda, nullptr, 0},
    {"vFiller", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, vFiller), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::vFiller), TipoCampo::Filler, nullptr, 0},
    {"lNomeManutencao", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lNomeManutencao), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::lNomeManutencao), TipoCampo::U32, nullptr, 0},
    {"lServicoCadastro", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lServicoCadastro), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::lServicoCadastro), TipoCampo::U32, nullptr, 0},
    {"lServicosManutencao", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lServicosManutencao), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::lServicosManutencao), TipoCampo::U32, nullptr, 0},
    {"lProdutosManutencao", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lProdutosManutencao), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::lProdutosManutencao), TipoCampo::U32, nullptr, 0},
    {"dataUltimaVerificacaoMedicao", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, dataUltimaVerificacaoMedicao), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::dataUltimaVerificacaoMedicao), TipoCampo::Data, nullptr, 0},
    {"dataFinalContrato", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, dataFinalContrato), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::dataFinalContrato), TipoCampo::Data, nullptr, 0},
    {"lQuantidadeDiasFalta", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lQuantidadeDiasFalta), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::lQuantidadeDiasFalta), TipoCampo::I32, nullptr, 0},
    {"lFrequencia", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lFrequencia), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::lFrequencia), TipoCampo::U32, nullptr, 0},
    {"szNomeManutencao", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, szNomeManutencao), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::szNomeManutencao), TipoCampo::Texto, nullptr, 0},
    {"cFiller", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, cFiller), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"bMovimentacaoGerada", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, bMovimentacaoGerada), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::bMovimentacaoGerada), TipoCampo::I32, nullptr, 0},
    {"bTemMedicaoInformada", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, bTemMedicaoInformada), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::bTemMedicaoInformada), TipoCampo::I32, nullptr, 0},
    {"lTecnico", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lTecnico), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::lTecnico), TipoCampo::U32, nullptr, 0},
    {"lCodigoManutencao", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lCodigoManutencao), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::lCodigoManutencao), TipoCampo::U32, nullptr, 0},
    {"listaProdutos", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, listaProdutos), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::listaProdutos), TipoCampo::Registro, &kREG_LISTA_CADASTRO_PRODUTO_PS, 0},
    {"listaServicos", offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, listaServicos), sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS::listaServicos), TipoCampo::Registro, &kREG_LISTA_CADASTRO_SERVICO_PS, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS = {"_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS", sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS), kCamposREG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS};

constexpr DescricaoCampo kCamposREG_LISTA_CADASTRO_LOCAL_PRODUTO_PS[] = {
    {"lQtdEstoque", offsetof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS, lQtdEstoque), sizeof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS::lQtdEstoque), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS, lFiller), sizeof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pFiller", offsetof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS, pFiller), sizeof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS::pFiller), TipoCampo::Filler, nullptr, 0},
    {"pLocaisEstoque", offsetof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS, pLocaisEstoque), sizeof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS::pLocaisEstoque), TipoCampo::Lista, &kREG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, offsetof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS, lQtdEstoque)},
};
constexpr DescricaoRegistro kREG_LISTA_CADASTRO_LOCAL_PRODUTO_PS = {"_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS", sizeof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS), kCamposREG_LISTA_CADASTRO_LOCAL_PRODUTO_PS};

constexpr DescricaoCampo kCamposREG_CADASTRO_MANUTENCAO_PRODUTO_PS[] = {
    {"lProduto", offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lProduto), sizeof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS::lProduto), TipoCampo::U32, nullptr, 0},
    {"lGrade1", offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lGrade1), sizeof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS::lGrade1), TipoCampo::U32, nullptr, 0},
    {"lGrade2", offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lGrade2), sizeof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS::lGrade2), TipoCampo::U32, nullptr, 0},
    {"lGrade3", offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lGrade3), sizeof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS::lGrade3), TipoCampo::U32, nullptr, 0},
    {"lTecnico", offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lTecnico), sizeof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS::lTecnico), TipoCampo::U32, nullptr, 0},
    {"lLocalEstoque", offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lLocalEstoque), sizeof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS::lLocalEstoque), TipoCampo::U32, nullptr, 0},
    {"vQuantidadePrevista", offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, vQuantidadePrevista), sizeof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS::vQuantidadePrevista), TipoCampo::Moeda, nullptr, 0},
    {"vFiller", offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, vFiller), sizeof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS::vFiller), TipoCampo::Filler, nullptr, 0},
    {"listaLocal", offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, listaLocal), sizeof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS::listaLocal), TipoCampo::Registro, &kREG_LISTA_CADASTRO_LOCAL_PRODUTO_PS, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_MANUTENCAO_PRODUTO_PS = {"_REG_CADASTRO_MANUTENCAO_PRODUTO_PS", sizeof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS), kCamposREG_CADASTRO_MANUTENCAO_PRODUTO_PS};

constexpr DescricaoCampo kCamposREG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS[] = {
    {"cConteudoImportado", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, cConteudoImportado), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::cConteudoImportado), TipoCampo::U8, nullptr, 0},
    {"cTipoProducao", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, cTipoProducao), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::cTipoProducao), TipoCampo::U8, nullptr, 0},
    {"cFiller", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, cFiller), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"lPonteiroLocal", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroLocal), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::lPonteiroLocal), TipoCampo::U32, nullptr, 0},
    {"lPonteiroLote", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroLote), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::lPonteiroLote), TipoCampo::U32, nullptr, 0},
    {"lPonteiroForLote", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroForLote), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::lPonteiroForLote), TipoCampo::U32, nullptr, 0},
    {"lPonteiroVolume", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroVolume), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::lPonteiroVolume), TipoCampo::U32, nullptr, 0},
    {"lPonteiroForEPTETPE", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroForEPTETPE), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::lPonteiroForEPTETPE), TipoCampo::U32, nullptr, 0},
    {"lPonteiroCliEPTETPE", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroCliEPTETPE), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::lPonteiroCliEPTETPE), TipoCampo::U32, nullptr, 0},
    {"lPonteiroControleFCI", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroControleFCI), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::lPonteiroControleFCI), TipoCampo::U32, nullptr, 0},
    {"lFiller", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lFiller), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"vQuantidadeEs", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, vQuantidadeEs), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::vQuantidadeEs), TipoCampo::Moeda, nullptr, 0},
    {"vPIUnitaria", offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, vPIUnitaria), sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS::vPIUnitaria), TipoCampo::Moeda, nullptr, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS = {"_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS", sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS), kCamposREG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS};

constexpr DescricaoCampo kCamposREG_CADASTRO_MANUTENCAO_SERVICO_PS[] = {
    {"lServico", offsetof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS, lServico), sizeof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS::lServico), TipoCampo::U32, nullptr, 0},
    {"lTecnico", offsetof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS, lTecnico), sizeof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS::lTecnico), TipoCampo::U32, nullptr, 0},
    {"vQuantidadePrevista", offsetof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS, vQuantidadePrevista), sizeof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS::vQuantidadePrevista), TipoCampo::Moeda, nullptr, 0},
    {"vFiller", offsetof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS, vFiller), sizeof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS::vFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_MANUTENCAO_SERVICO_PS = {"_REG_CADASTRO_MANUTENCAO_SERVICO_PS", sizeof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS), kCamposREG_CADASTRO_MANUTENCAO_SERVICO_PS};

constexpr DescricaoCampo kCamposREG_CADASTRO_MANUTENCAO_CLIENTE_PS[] = {
    {"lCliente", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, lCliente), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::lCliente), TipoCampo::U32, nullptr, 0},
    {"lMunicipio", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, lMunicipio), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::lMunicipio), TipoCampo::U32, nullptr, 0},
    {"szLocalFisico", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szLocalFisico), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::szLocalFisico), TipoCampo::Texto, nullptr, 0},
    {"szEndereco", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szEndereco), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::szEndereco), TipoCampo::Texto, nullptr, 0},
    {"szNumero", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szNumero), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::szNumero), TipoCampo::Texto, nullptr, 0},
    {"szComplemento", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szComplemento), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::szComplemento), TipoCampo::Texto, nullptr, 0},
    {"szBairro", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szBairro), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::szBairro), TipoCampo::Texto, nullptr, 0},
    {"szCEP", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szCEP), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::szCEP), TipoCampo::Texto, nullptr, 0},
    {"szContato", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szContato), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::szContato), TipoCampo::Texto, nullptr, 0},
    {"dataInicial", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, dataInicial), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::dataInicial), TipoCampo::Data, nullptr, 0},
    {"dataFinal", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, dataFinal), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::dataFinal), TipoCampo::Data, nullptr, 0},
    {"bSemNumero", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, bSemNumero), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::bSemNumero), TipoCampo::I32, nullptr, 0},
    {"bFiller", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, bFiller), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::bFiller), TipoCampo::Filler, nullptr, 0},
    {"szFiller", offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szFiller), sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS::szFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_MANUTENCAO_CLIENTE_PS = {"_REG_CADASTRO_MANUTENCAO_CLIENTE_PS", sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS), kCamposREG_CADASTRO_MANUTENCAO_CLIENTE_PS};

constexpr DescricaoCampo kCamposREG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS[] = {
    {"filtro", offsetof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS, filtro), sizeof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS::filtro), TipoCampo::Registro, &kREG_FILTRO_CADASTRO_MANUTENCAO_PS, 0},
    {"bsComponente", offsetof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bsComponente), sizeof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS::bsComponente), TipoCampo::Bstr, nullptr, 0},
    {"bsArquivoTemp", offsetof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bsArquivoTemp), sizeof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS::bsArquivoTemp), TipoCampo::Bstr, nullptr, 0},
    {"bsRelatorio", offsetof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bsRelatorio), sizeof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS::bsRelatorio), TipoCampo::Bstr, nullptr, 0},
    {"bsFiller", offsetof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bsFiller), sizeof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS::bsFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS = {"_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS", sizeof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS), kCamposREG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS};

constexpr DescricaoCampo kCamposQV_DMCPS[] = {
    {"lChaveModulo", offsetof(_QV_DMCPS, lChaveModulo), sizeof(_QV_DMCPS::lChaveModulo), TipoCampo::I32, nullptr, 0},
    {"iData", offsetof(_QV_DMCPS, iData), sizeof(_QV_DMCPS::iData), TipoCampo::U16, nullptr, 0},
    {"cFiller", offsetof(_QV_DMCPS, cFiller), sizeof(_QV_DMCPS::cFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kQV_DMCPS = {"_QV_DMCPS", sizeof(_QV_DMCPS), kCamposQV_DMCPS};

constexpr DescricaoCampo kCamposREG_MOVIMENTACAO_FILTRO_PS[] = {
    {"lCliente", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lCliente), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lCliente), TipoCampo::U32, nullptr, 0},
    {"lEquipamento", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lEquipamento), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lEquipamento), TipoCampo::U32, nullptr, 0},
    {"lMarca", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lMarca), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lMarca), TipoCampo::U32, nullptr, 0},
    {"lModelo", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lModelo), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lModelo), TipoCampo::U32, nullptr, 0},
    {"lTipo", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lTipo), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lTipo), TipoCampo::U32, nullptr, 0},
    {"lProduto", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lProduto), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lProduto), TipoCampo::U32, nullptr, 0},
    {"lGrade1", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lGrade1), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lGrade1), TipoCampo::U32, nullptr, 0},
    {"lGrade2", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lGrade2), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lGrade2), TipoCampo::U32, nullptr, 0},
    {"lGrade3", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lGrade3), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lGrade3), TipoCampo::U32, nullptr, 0},
    {"bAtivo", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, bAtivo), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::bAtivo), TipoCampo::I32, nullptr, 0},
    {"bConcluido", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, bConcluido), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::bConcluido), TipoCampo::I32, nullptr, 0},
    {"bCancelado", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, bCancelado), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::bCancelado), TipoCampo::I32, nullptr, 0},
    {"dataInicialPeriodo", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, dataInicialPeriodo), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::dataInicialPeriodo), TipoCampo::Data, nullptr, 0},
    {"dataFinalPeriodo", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, dataFinalPeriodo), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::dataFinalPeriodo), TipoCampo::Data, nullptr, 0},
    {"lQtdPonteirosIdentificacao", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lQtdPonteirosIdentificacao), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lQtdPonteirosIdentificacao), TipoCampo::Contagem, nullptr, 0},
    {"lTipoIdentificacao", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lTipoIdentificacao), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lTipoIdentificacao), TipoCampo::U32, nullptr, 0},
    {"lPonteiroCadastro", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lPonteiroCadastro), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lPonteiroCadastro), TipoCampo::U32, nullptr, 0},
    {"lFiller", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lFiller), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"lPtrOS", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lPtrOS), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lPtrOS), TipoCampo::U32, nullptr, 0},
    {"maOS", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, maOS), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::maOS), TipoCampo::MesAno, nullptr, 0},
    {"lFiller2", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lFiller2), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::lFiller2), TipoCampo::Filler, nullptr, 0},
    {"dmcMovimentacao", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, dmcMovimentacao), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::dmcMovimentacao), TipoCampo::Registro, &kQV_DMCPS, 0},
    {"dmcFiller", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, dmcFiller), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::dmcFiller), TipoCampo::Filler, nullptr, 0},
    {"pPonteirosIdentificacao", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, pPonteirosIdentificacao), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::pPonteirosIdentificacao), TipoCampo::ArrayU32, nullptr, offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lQtdPonteirosIdentificacao)},
    {"cFiller", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, cFiller), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"szNrSerie", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, szNrSerie), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::szNrSerie), TipoCampo::Texto, nullptr, 0},
    {"szFiller", offsetof(_REG_MOVIMENTACAO_FILTRO_PS, szFiller), sizeof(_REG_MOVIMENTACAO_FILTRO_PS::szFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_MOVIMENTACAO_FILTRO_PS = {"_REG_MOVIMENTACAO_FILTRO_PS", sizeof(_REG_MOVIMENTACAO_FILTRO_PS), kCamposREG_MOVIMENTACAO_FILTRO_PS};

constexpr DescricaoCampo kCamposREG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS[] = {
    {"filtro", offsetof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS, filtro), sizeof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS::filtro), TipoCampo::Registro, &kREG_MOVIMENTACAO_FILTRO_PS, 0},
    {"bsComponente", offsetof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS, bsComponente), sizeof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS::bsComponente), TipoCampo::Bstr, nullptr, 0},
    {"bsArquivoTemp", offsetof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS, bsArquivoTemp), sizeof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS::bsArquivoTemp), TipoCampo::Bstr, nullptr, 0},
    {"bsRelatorio", offsetof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS, bsRelatorio), sizeof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS::bsRelatorio), TipoCampo::Bstr, nullptr, 0},
    {"bsFiller", offsetof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS, bsFiller), sizeof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS::bsFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS = {"_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS", sizeof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS), kCamposREG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS};

constexpr DescricaoCampo kCamposREG_CADASTRO_HISTORICO_MEDICOES_PS[] = {
    {"lEquipamento", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lEquipamento), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lEquipamento), TipoCampo::U32, nullptr, 0},
    {"lProduto", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lProduto), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lProduto), TipoCampo::U32, nullptr, 0},
    {"lGrade1", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lGrade1), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lGrade1), TipoCampo::U32, nullptr, 0},
    {"lGrade2", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lGrade2), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lGrade2), TipoCampo::U32, nullptr, 0},
    {"lGrade3", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lGrade3), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lGrade3), TipoCampo::U32, nullptr, 0},
    {"lTipo", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lTipo), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lTipo), TipoCampo::U32, nullptr, 0},
    {"lMarca", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lMarca), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lMarca), TipoCampo::U32, nullptr, 0},
    {"lModelo", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lModelo), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lModelo), TipoCampo::U32, nullptr, 0},
    {"szNrSerie", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, szNrSerie), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::szNrSerie), TipoCampo::Texto, nullptr, 0},
    {"cMedicaoAtiva", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, cMedicaoAtiva), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::cMedicaoAtiva), TipoCampo::U8, nullptr, 0},
    {"szFiller", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, szFiller), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::szFiller), TipoCampo::Filler, nullptr, 0},
    {"lTecnico", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lTecnico), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lTecnico), TipoCampo::U32, nullptr, 0},
    {"lPonteiroCadastro", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lPonteiroCadastro), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lPonteiroCadastro), TipoCampo::U32, nullptr, 0},
    {"dataMedicaoCalculo", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, dataMedicaoCalculo), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::dataMedicaoCalculo), TipoCampo::Data, nullptr, 0},
    {"dataGravacao", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, dataGravacao), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::dataGravacao), TipoCampo::Data, nullptr, 0},
    {"horaMedicaoCalculo", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, horaMedicaoCalculo), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::horaMedicaoCalculo), TipoCampo::I64, nullptr, 0},
    {"horaFiller", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, horaFiller), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::horaFiller), TipoCampo::Filler, nullptr, 0},
    {"dataMedicaoInformada", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, dataMedicaoInformada), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::dataMedicaoInformada), TipoCampo::Data, nullptr, 0},
    {"horaMedicaoInformada", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, horaMedicaoInformada), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::horaMedicaoInformada), TipoCampo::Hora, nullptr, 0},
    {"vQuantidadeMedicao", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, vQuantidadeMedicao), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::vQuantidadeMedicao), TipoCampo::Moeda, nullptr, 0},
    {"vFiller", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, vFiller), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::vFiller), TipoCampo::Filler, nullptr, 0},
    {"lQtdCasasDecimais", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lQtdCasasDecimais), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lQtdCasasDecimais), TipoCampo::U32, nullptr, 0},
    {"lFiller2", offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lFiller2), sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS::lFiller2), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_HISTORICO_MEDICOES_PS = {"_REG_CADASTRO_HISTORICO_MEDICOES_PS", sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS), kCamposREG_CADASTRO_HISTORICO_MEDICOES_PS};

constexpr DescricaoCampo kCamposREG_CADASTRO_MEDICAO_ATUAL_PS[] = {
    {"regMedicaoAtual", offsetof(_REG_CADASTRO_MEDICAO_ATUAL_PS, regMedicaoAtual), sizeof(_REG_CADASTRO_MEDICAO_ATUAL_PS::regMedicaoAtual), TipoCampo::Registro, &kREG_CADASTRO_HISTORICO_MEDICOES_PS, 0},
    {"lPonteiroRegistro", offsetof(_REG_CADASTRO_MEDICAO_ATUAL_PS, lPonteiroRegistro), sizeof(_REG_CADASTRO_MEDICAO_ATUAL_PS::lPonteiroRegistro), TipoCampo::U32, nullptr, 0},
    {"lFiller", offsetof(_REG_CADASTRO_MEDICAO_ATUAL_PS, lFiller), sizeof(_REG_CADASTRO_MEDICAO_ATUAL_PS::lFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_CADASTRO_MEDICAO_ATUAL_PS = {"_REG_CADASTRO_MEDICAO_ATUAL_PS", sizeof(_REG_CADASTRO_MEDICAO_ATUAL_PS), kCamposREG_CADASTRO_MEDICAO_ATUAL_PS};

constexpr DescricaoCampo kCamposREG_FILTRO_MEDICAO_PS[] = {
    {"lEquipamento", offsetof(_REG_FILTRO_MEDICAO_PS, lEquipamento), sizeof(_REG_FILTRO_MEDICAO_PS::lEquipamento), TipoCampo::U32, nullptr, 0},
    {"lMarca", offsetof(_REG_FILTRO_MEDICAO_PS, lMarca), sizeof(_REG_FILTRO_MEDICAO_PS::lMarca), TipoCampo::U32, nullptr, 0},
    {"lModelo", offsetof(_REG_FILTRO_MEDICAO_PS, lModelo), sizeof(_REG_FILTRO_MEDICAO_PS::lModelo), TipoCampo::U32, nullptr, 0},
    {"lTipo", offsetof(_REG_FILTRO_MEDICAO_PS, lTipo), sizeof(_REG_FILTRO_MEDICAO_PS::lTipo), TipoCampo::U32, nullptr, 0},
    {"lProduto", offsetof(_REG_FILTRO_MEDICAO_PS, lProduto), sizeof(_REG_FILTRO_MEDICAO_PS::lProduto), TipoCampo::U32, nullptr, 0},
    {"lGrade1", offsetof(_REG_FILTRO_MEDICAO_PS, lGrade1), sizeof(_REG_FILTRO_MEDICAO_PS::lGrade1), TipoCampo::U32, nullptr, 0},
    {"lGrade2", offsetof(_REG_FILTRO_MEDICAO_PS, lGrade2), sizeof(_REG_FILTRO_MEDICAO_PS::lGrade2), TipoCampo::U32, nullptr, 0},
    {"lGrade3", offsetof(_REG_FILTRO_MEDICAO_PS, lGrade3), sizeof(_REG_FILTRO_MEDICAO_PS::lGrade3), TipoCampo::U32, nullptr, 0},
    {"bSomenteProdutos", offsetof(_REG_FILTRO_MEDICAO_PS, bSomenteProdutos), sizeof(_REG_FILTRO_MEDICAO_PS::bSomenteProdutos), TipoCampo::I32, nullptr, 0},
    {"bSomenteEquipamentos", offsetof(_REG_FILTRO_MEDICAO_PS, bSomenteEquipamentos), sizeof(_REG_FILTRO_MEDICAO_PS::bSomenteEquipamentos), TipoCampo::I32, nullptr, 0},
    {"lQtdPonteirosIdentificacao", offsetof(_REG_FILTRO_MEDICAO_PS, lQtdPonteirosIdentificacao), sizeof(_REG_FILTRO_MEDICAO_PS::lQtdPonteirosIdentificacao), TipoCampo::Contagem, nullptr, 0},
    {"lTipoIdentificacao", offsetof(_REG_FILTRO_MEDICAO_PS, lTipoIdentificacao), sizeof(_REG_FILTRO_MEDICAO_PS::lTipoIdentificacao), TipoCampo::U32, nullptr, 0},
    {"lPonteiroCadastro", offsetof(_REG_FILTRO_MEDICAO_PS, lPonteiroCadastro), sizeof(_REG_FILTRO_MEDICAO_PS::lPonteiroCadastro), TipoCampo::U32, nullptr, 0},
    {"lFiller", offsetof(_REG_FILTRO_MEDICAO_PS, lFiller), sizeof(_REG_FILTRO_MEDICAO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pPonteirosIdentificacao", offsetof(_REG_FILTRO_MEDICAO_PS, pPonteirosIdentificacao), sizeof(_REG_FILTRO_MEDICAO_PS::pPonteirosIdentificacao), TipoCampo::ArrayU32, nullptr, offsetof(_REG_FILTRO_MEDICAO_PS, lQtdPonteirosIdentificacao)},
    {"cFiller", offsetof(_REG_FILTRO_MEDICAO_PS, cFiller), sizeof(_REG_FILTRO_MEDICAO_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"szNrSerie", offsetof(_REG_FILTRO_MEDICAO_PS, szNrSerie), sizeof(_REG_FILTRO_MEDICAO_PS::szNrSerie), TipoCampo::Texto, nullptr, 0},
    {"szFiller", offsetof(_REG_FILTRO_MEDICAO_PS, szFiller), sizeof(_REG_FILTRO_MEDICAO_PS::szFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_FILTRO_MEDICAO_PS = {"_REG_FILTRO_MEDICAO_PS", sizeof(_REG_FILTRO_MEDICAO_PS), kCamposREG_FILTRO_MEDICAO_PS};

constexpr DescricaoCampo kCamposREG_LISTA_CADASTRO_MEDICAO_ATUAL_PS[] = {
    {"lQtdRegistros", offsetof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS, lQtdRegistros), sizeof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS::lQtdRegistros), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS, lFiller), sizeof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"cFiller", offsetof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS, cFiller), sizeof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"pRegistros", offsetof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS, pRegistros), sizeof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS::pRegistros), TipoCampo::Lista, &kREG_CADASTRO_MEDICAO_ATUAL_PS, offsetof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS, lQtdRegistros)},
};
constexpr DescricaoRegistro kREG_LISTA_CADASTRO_MEDICAO_ATUAL_PS = {"_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS", sizeof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS), kCamposREG_LISTA_CADASTRO_MEDICAO_ATUAL_PS};

constexpr DescricaoCampo kCamposREG_FILTRO_HISTORICO_MEDICAO_PS[] = {
    {"regFiltro", offsetof(_REG_FILTRO_HISTORICO_MEDICAO_PS, regFiltro), sizeof(_REG_FILTRO_HISTORICO_MEDICAO_PS::regFiltro), TipoCampo::Registro, &kREG_FILTRO_MEDICAO_PS, 0},
    {"dataInicialPeriodo", offsetof(_REG_FILTRO_HISTORICO_MEDICAO_PS, dataInicialPeriodo), sizeof(_REG_FILTRO_HISTORICO_MEDICAO_PS::dataInicialPeriodo), TipoCampo::MesAno, nullptr, 0},
    {"dataFinalPeriodo", offsetof(_REG_FILTRO_HISTORICO_MEDICAO_PS, dataFinalPeriodo), sizeof(_REG_FILTRO_HISTORICO_MEDICAO_PS::dataFinalPeriodo), TipoCampo::MesAno, nullptr, 0},
    {"lFiller", offsetof(_REG_FILTRO_HISTORICO_MEDICAO_PS, lFiller), sizeof(_REG_FILTRO_HISTORICO_MEDICAO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_FILTRO_HISTORICO_MEDICAO_PS = {"_REG_FILTRO_HISTORICO_MEDICAO_PS", sizeof(_REG_FILTRO_HISTORICO_MEDICAO_PS), kCamposREG_FILTRO_HISTORICO_MEDICAO_PS};

constexpr DescricaoCampo kCamposREG_LISTA_PONTEIROS_DATA_PS[] = {
    {"lQtdPonteiros", offsetof(_REG_LISTA_PONTEIROS_DATA_PS, lQtdPonteiros), sizeof(_REG_LISTA_PONTEIROS_DATA_PS::lQtdPonteiros), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_PONTEIROS_DATA_PS, lFiller), sizeof(_REG_LISTA_PONTEIROS_DATA_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"cFiller", offsetof(_REG_LISTA_PONTEIROS_DATA_PS, cFiller), sizeof(_REG_LISTA_PONTEIROS_DATA_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"pPonteiros", offsetof(_REG_LISTA_PONTEIROS_DATA_PS, pPonteiros), sizeof(_REG_LISTA_PONTEIROS_DATA_PS::pPonteiros), TipoCampo::Lista, &kREG_PTR_DATA_PS, offsetof(_REG_LISTA_PONTEIROS_DATA_PS, lQtdPonteiros)},
};
constexpr DescricaoRegistro kREG_LISTA_PONTEIROS_DATA_PS = {"_REG_LISTA_PONTEIROS_DATA_PS", sizeof(_REG_LISTA_PONTEIROS_DATA_PS), kCamposREG_LISTA_PONTEIROS_DATA_PS};

constexpr DescricaoCampo kCamposREG_PTR_DATA_PS[] = {
    {"dataPonteiro", offsetof(_REG_PTR_DATA_PS, dataPonteiro), sizeof(_REG_PTR_DATA_PS::dataPonteiro), TipoCampo::MesAno, nullptr, 0},
    {"usFiller", offsetof(_REG_PTR_DATA_PS, usFiller), sizeof(_REG_PTR_DATA_PS::usFiller), TipoCampo::Filler, nullptr, 0},
    {"lPonteiro", offsetof(_REG_PTR_DATA_PS, lPonteiro), sizeof(_REG_PTR_DATA_PS::lPonteiro), TipoCampo::U32, nullptr, 0},
};
constexpr DescricaoRegistro kREG_PTR_DATA_PS = {"_REG_PTR_DATA_PS", sizeof(_REG_PTR_DATA_PS), kCamposREG_PTR_DATA_PS};

constexpr DescricaoCampo kCamposREG_LISTA_HISTORICO_MEDICOES_PS[] = {
    {"lQtdRegistros", offsetof(_REG_LISTA_HISTORICO_MEDICOES_PS, lQtdRegistros), sizeof(_REG_LISTA_HISTORICO_MEDICOES_PS::lQtdRegistros), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_HISTORICO_MEDICOES_PS, lFiller), sizeof(_REG_LISTA_HISTORICO_MEDICOES_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"cFiller", offsetof(_REG_LISTA_HISTORICO_MEDICOES_PS, cFiller), sizeof(_REG_LISTA_HISTORICO_MEDICOES_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"pRegistros", offsetof(_REG_LISTA_HISTORICO_MEDICOES_PS, pRegistros), sizeof(_REG_LISTA_HISTORICO_MEDICOES_PS::pRegistros), TipoCampo::Lista, &kREG_CADASTRO_HISTORICO_MEDICOES_PS, offsetof(_REG_LISTA_HISTORICO_MEDICOES_PS, lQtdRegistros)},
};
constexpr DescricaoRegistro kREG_LISTA_HISTORICO_MEDICOES_PS = {"_REG_LISTA_HISTORICO_MEDICOES_PS", sizeof(_REG_LISTA_HISTORICO_MEDICOES_PS), kCamposREG_LISTA_HISTORICO_MEDICOES_PS};

constexpr DescricaoCampo kCamposREG_LISTA_MOVIMENTACAO_PRODUTO_PS[] = {
    {"lQtdProdutos", offsetof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS, lQtdProdutos), sizeof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS::lQtdProdutos), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS, lFiller), sizeof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pFiller", offsetof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS, pFiller), sizeof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS::pFiller), TipoCampo::Filler, nullptr, 0},
    {"pProdutos", offsetof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS, pProdutos), sizeof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS::pProdutos), TipoCampo::Lista, &kREG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, offsetof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS, lQtdProdutos)},
};
constexpr DescricaoRegistro kREG_LISTA_MOVIMENTACAO_PRODUTO_PS = {"_REG_LISTA_MOVIMENTACAO_PRODUTO_PS", sizeof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS), kCamposREG_LISTA_MOVIMENTACAO_PRODUTO_PS};

constexpr DescricaoCampo kCamposREG_LISTA_MOVIMENTACAO_SERVICO_PS[] = {
    {"lQtdServicos", offsetof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS, lQtdServicos), sizeof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS::lQtdServicos), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS, lFiller), sizeof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pFiller", offsetof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS, pFiller), sizeof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS::pFiller), TipoCampo::Filler, nullptr, 0},
    {"pServicos", offsetof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS, pServicos), sizeof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS::pServicos), TipoCampo::Lista, &kREG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, offsetof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS, lQtdServicos)},
};
constexpr DescricaoRegistro kREG_LISTA_MOVIMENTACAO_SERVICO_PS = {"_REG_LISTA_MOVIMENTACAO_SERVICO_PS", sizeof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS), kCamposREG_LISTA_MOVIMENTACAO_SERVICO_PS};

constexpr DescricaoCampo kCamposREG_LISTA_RELACIONAMENTO_OS_PS[] = {
    {"lQtdRelacionamentoOS", offsetof(_REG_LISTA_RELACIONAMENTO_OS_PS, lQtdRelacionamentoOS), sizeof(_REG_LISTA_RELACIONAMENTO_OS_PS::lQtdRelacionamentoOS), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_RELACIONAMENTO_OS_PS, lFiller), sizeof(_REG_LISTA_RELACIONAMENTO_OS_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pFiller", offsetof(_REG_LISTA_RELACIONAMENTO_OS_PS, pFiller), sizeof(_REG_LISTA_RELACIONAMENTO_OS_PS::pFiller), TipoCampo::Filler, nullptr, 0},
    {"pRelacionamentos", offsetof(_REG_LISTA_RELACIONAMENTO_OS_PS, pRelacionamentos), sizeof(_REG_LISTA_RELACIONAMENTO_OS_PS::pRelacionamentos), TipoCampo::Lista, &kREG_RELACIONAMENTO_MOVIMENTACAO_OS_PS, offsetof(_REG_LISTA_RELACIONAMENTO_OS_PS, lQtdRelacionamentoOS)},
};
constexpr DescricaoRegistro kREG_LISTA_RELACIONAMENTO_OS_PS = {"_REG_LISTA_RELACIONAMENTO_OS_PS", sizeof(_REG_LISTA_RELACIONAMENTO_OS_PS), kCamposREG_LISTA_RELACIONAMENTO_OS_PS};

constexpr DescricaoCampo kCamposREG_LISTA_DMC_PS[] = {
    {"lQtdDMC", offsetof(_REG_LISTA_DMC_PS, lQtdDMC), sizeof(_REG_LISTA_DMC_PS::lQtdDMC), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_DMC_PS, lFiller), sizeof(_REG_LISTA_DMC_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pFiller", offsetof(_REG_LISTA_DMC_PS, pFiller), sizeof(_REG_LISTA_DMC_PS::pFiller), TipoCampo::Filler, nullptr, 0},
    {"pDMC", offsetof(_REG_LISTA_DMC_PS, pDMC), sizeof(_REG_LISTA_DMC_PS::pDMC), TipoCampo::ArrayDmc, nullptr, offsetof(_REG_LISTA_DMC_PS, lQtdDMC)},
};
constexpr DescricaoRegistro kREG_LISTA_DMC_PS = {"_REG_LISTA_DMC_PS", sizeof(_REG_LISTA_DMC_PS), kCamposREG_LISTA_DMC_PS};

constexpr DescricaoCampo kCamposREG_MOVIMENTACAO_MANUT_PREV_PS[] = {
    {"dmcChave", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dmcChave), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::dmcChave), TipoCampo::ChaveDmc, nullptr, 0},
    {"lFilial", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lFilial), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lFilial), TipoCampo::U32, nullptr, 0},
    {"lCliente", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lCliente), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lCliente), TipoCampo::U32, nullptr, 0},
    {"lSituacao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lSituacao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lSituacao), TipoCampo::U32, nullptr, 0},
    {"lPonteiroCadastro", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lPonteiroCadastro), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lPonteiroCadastro), TipoCampo::U32, nullptr, 0},
    {"lEquipamento", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lEquipamento), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lEquipamento), TipoCampo::U32, nullptr, 0},
    {"lMarca", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lMarca), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lMarca), TipoCampo::U32, nullptr, 0},
    {"lModelo", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lModelo), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lModelo), TipoCampo::U32, nullptr, 0},
    {"lTipo", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lTipo), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lTipo), TipoCampo::U32, nullptr, 0},
    {"lProduto", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lProduto), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lProduto), TipoCampo::U32, nullptr, 0},
    {"lServicosMovimentacao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lServicosMovimentacao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lServicosMovimentacao), TipoCampo::U32, nullptr, 0},
    {"lPonteiroGrade1", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lPonteiroGrade1), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lPonteiroGrade1), TipoCampo::U32, nullptr, 0},
    {"lPonteiroGrade2", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lPonteiroGrade2), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lPonteiroGrade2), TipoCampo::U32, nullptr, 0},
    {"lPonteiroGrade3", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lPonteiroGrade3), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lPonteiroGrade3), TipoCampo::U32, nullptr, 0},
    {"lTecnico", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lTecnico), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lTecnico), TipoCampo::U32, nullptr, 0},
    {"lOcorrencia", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lOcorrencia), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lOcorrencia), TipoCampo::U32, nullptr, 0},
    {"lObservacao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lObservacao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lObservacao), TipoCampo::U32, nullptr, 0},
    {"lPtrIntegracaoCompras", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lPtrIntegracaoCompras), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lPtrIntegracaoCompras), TipoCampo::U32, nullptr, 0},
    {"lVersaoRegistro", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lVersaoRegistro), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lVersaoRegistro), TipoCampo::U32, nullptr, 0},
    {"bsOcorrencia", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, bsOcorrencia), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::bsOcorrencia), TipoCampo::Bstr, nullptr, 0},
    {"bsObservacao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, bsObservacao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::bsObservacao), TipoCampo::Bstr, nullptr, 0},
    {"lProdutosMovimentacao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lProdutosMovimentacao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lProdutosMovimentacao), TipoCampo::U32, nullptr, 0},
    {"bGerarOS", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, bGerarOS), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::bGerarOS), TipoCampo::I32, nullptr, 0},
    {"bOSIntegrada", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, bOSIntegrada), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::bOSIntegrada), TipoCampo::I32, nullptr, 0},
    {"bFiller", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, bFiller), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::bFiller), TipoCampo::Filler, nullptr, 0},
    {"lUsuarioConclusao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lUsuarioConclusao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lUsuarioConclusao), TipoCampo::U32, nullptr, 0},
    {"lCodigoManutencao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lCodigoManutencao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lCodigoManutencao), TipoCampo::U32, nullptr, 0},
    {"lRelacionamentoOS", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lRelacionamentoOS), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lRelacionamentoOS), TipoCampo::U32, nullptr, 0},
    {"lQtdCasasDecimais", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lQtdCasasDecimais), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::lQtdCasasDecimais), TipoCampo::U32, nullptr, 0},
    {"dataConclusao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataConclusao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::dataConclusao), TipoCampo::Data, nullptr, 0},
    {"dataCancelamento", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataCancelamento), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::dataCancelamento), TipoCampo::Data, nullptr, 0},
    {"listaProdutos", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, listaProdutos), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::listaProdutos), TipoCampo::Registro, &kREG_LISTA_MOVIMENTACAO_PRODUTO_PS, 0},
    {"listaServicos", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, listaServicos), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::listaServicos), TipoCampo::Registro, &kREG_LISTA_MOVIMENTACAO_SERVICO_PS, 0},
    {"listaRelacionamentos", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, listaRelacionamentos), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::listaRelacionamentos), TipoCampo::Registro, &kREG_LISTA_RELACIONAMENTO_OS_PS, 0},
    {"listaIntegracoesCompras", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, listaIntegracoesCompras), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::listaIntegracoesCompras), TipoCampo::Registro, &kREG_LISTA_DMC_PS, 0},
    {"dataPrevista", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataPrevista), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::dataPrevista), TipoCampo::Data, nullptr, 0},
    {"dataProrrogacao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataProrrogacao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::dataProrrogacao), TipoCampo::Data, nullptr, 0},
    {"dataInicio", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataInicio), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::dataInicio), TipoCampo::Data, nullptr, 0},
    {"dataFim", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataFim), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::dataFim), TipoCampo::Data, nullptr, 0},
    {"horaInicio", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, horaInicio), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::horaInicio), TipoCampo::Hora, nullptr, 0},
    {"horaFim", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, horaFim), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::horaFim), TipoCampo::Hora, nullptr, 0},
    {"horaEfetiva", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, horaEfetiva), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::horaEfetiva), TipoCampo::Moeda, nullptr, 0},
    {"horaDuracao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, horaDuracao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::horaDuracao), TipoCampo::Moeda, nullptr, 0},
    {"vFrequenciaMedicao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, vFrequenciaMedicao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::vFrequenciaMedicao), TipoCampo::Moeda, nullptr, 0},
    {"vQuantidadeMedicao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, vQuantidadeMedicao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::vQuantidadeMedicao), TipoCampo::Moeda, nullptr, 0},
    {"szMotivoProrrogacao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szMotivoProrrogacao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::szMotivoProrrogacao), TipoCampo::Texto, nullptr, 0},
    {"szMotivoCancelamento", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szMotivoCancelamento), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::szMotivoCancelamento), TipoCampo::Texto, nullptr, 0},
    {"szNomeManutencao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szNomeManutencao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::szNomeManutencao), TipoCampo::Texto, nullptr, 0},
    {"szNrSerie", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szNrSerie), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::szNrSerie), TipoCampo::Texto, nullptr, 0},
    {"szParadaManutencao", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szParadaManutencao), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::szParadaManutencao), TipoCampo::Texto, nullptr, 0},
    {"szFiller", offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szFiller), sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS::szFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_MOVIMENTACAO_MANUT_PREV_PS = {"_REG_MOVIMENTACAO_MANUT_PREV_PS", sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS), kCamposREG_MOVIMENTACAO_MANUT_PREV_PS};

constexpr DescricaoCampo kCamposREG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS[] = {
    {"lQtdEstoque", offsetof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS, lQtdEstoque), sizeof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS::lQtdEstoque), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS, lFiller), sizeof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pFiller", offsetof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS, pFiller), sizeof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS::pFiller), TipoCampo::Filler, nullptr, 0},
    {"pLocaisEstoque", offsetof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS, pLocaisEstoque), sizeof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS::pLocaisEstoque), TipoCampo::Lista, &kREG_MOVIMENTACAO_LOCAL_PRODUTO_PS, offsetof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS, lQtdEstoque)},
};
constexpr DescricaoRegistro kREG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS = {"_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS", sizeof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS), kCamposREG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS};

constexpr DescricaoCampo kCamposREG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS[] = {
    {"lProduto", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lProduto), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS::lProduto), TipoCampo::U32, nullptr, 0},
    {"lGrade1", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lGrade1), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS::lGrade1), TipoCampo::U32, nullptr, 0},
    {"lGrade2", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lGrade2), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS::lGrade2), TipoCampo::U32, nullptr, 0},
    {"lGrade3", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lGrade3), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS::lGrade3), TipoCampo::U32, nullptr, 0},
    {"lTecnico", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lTecnico), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS::lTecnico), TipoCampo::U32, nullptr, 0},
    {"lLocalEstoque", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lLocalEstoque), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS::lLocalEstoque), TipoCampo::U32, nullptr, 0},
    {"bGerarSolicitacaoCompras", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, bGerarSolicitacaoCompras), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS::bGerarSolicitacaoCompras), TipoCampo::I32, nullptr, 0},
    {"bFiller", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, bFiller), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS::bFiller), TipoCampo::Filler, nullptr, 0},
    {"vQuantidadePrevista", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, vQuantidadePrevista), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS::vQuantidadePrevista), TipoCampo::Moeda, nullptr, 0},
    {"vQuantidadeUtilizada", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, vQuantidadeUtilizada), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS::vQuantidadeUtilizada), TipoCampo::Moeda, nullptr, 0},
    {"listaLocal", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, listaLocal), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS::listaLocal), TipoCampo::Registro, &kREG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS, 0},
};
constexpr DescricaoRegistro kREG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS = {"_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS", sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS), kCamposREG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS};

constexpr DescricaoCampo kCamposREG_MOVIMENTACAO_LOCAL_PRODUTO_PS[] = {
    {"cConteudoImportado", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, cConteudoImportado), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::cConteudoImportado), TipoCampo::U8, nullptr, 0},
    {"cTipoProducao", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, cTipoProducao), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::cTipoProducao), TipoCampo::U8, nullptr, 0},
    {"cFiller", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, cFiller), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"lPonteiroLocal", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroLocal), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::lPonteiroLocal), TipoCampo::U32, nullptr, 0},
    {"lPonteiroLote", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroLote), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::lPonteiroLote), TipoCampo::U32, nullptr, 0},
    {"lPonteiroForLote", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroForLote), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::lPonteiroForLote), TipoCampo::U32, nullptr, 0},
    {"lPonteiroVolume", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroVolume), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::lPonteiroVolume), TipoCampo::U32, nullptr, 0},
    {"lPonteiroForEPTETPE", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroForEPTETPE), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::lPonteiroForEPTETPE), TipoCampo::U32, nullptr, 0},
    {"lPonteiroCliEPTETPE", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroCliEPTETPE), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::lPonteiroCliEPTETPE), TipoCampo::U32, nullptr, 0},
    {"lPonteiroControleFCI", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroControleFCI), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::lPonteiroControleFCI), TipoCampo::U32, nullptr, 0},
    {"lFiller", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lFiller), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"vQuantidadeEs", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, vQuantidadeEs), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::vQuantidadeEs), TipoCampo::Moeda, nullptr, 0},
    {"vPIUnitaria", offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, vPIUnitaria), sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS::vPIUnitaria), TipoCampo::Moeda, nullptr, 0},
};
constexpr DescricaoRegistro kREG_MOVIMENTACAO_LOCAL_PRODUTO_PS = {"_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS", sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS), kCamposREG_MOVIMENTACAO_LOCAL_PRODUTO_PS};

constexpr DescricaoCampo kCamposREG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS[] = {
    {"lServico", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, lServico), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS::lServico), TipoCampo::U32, nullptr, 0},
    {"lTecnico", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, lTecnico), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS::lTecnico), TipoCampo::U32, nullptr, 0},
    {"bGerarSolicitacaoCompras", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, bGerarSolicitacaoCompras), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS::bGerarSolicitacaoCompras), TipoCampo::I32, nullptr, 0},
    {"bFiller", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, bFiller), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS::bFiller), TipoCampo::Filler, nullptr, 0},
    {"vQuantidadePrevista", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, vQuantidadePrevista), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS::vQuantidadePrevista), TipoCampo::Moeda, nullptr, 0},
    {"vQuantidadeUtilizada", offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, vQuantidadeUtilizada), sizeof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS::vQuantidadeUtilizada), TipoCampo::Moeda, nullptr, 0},
};
constexpr DescricaoRegistro kREG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS = {"_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS", sizeof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS), kCamposREG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS};

constexpr DescricaoCampo kCamposREG_RELACIONAMENTO_MOVIMENTACAO_OS_PS[] = {
    {"dmcMovimentacao", offsetof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS, dmcMovimentacao), sizeof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS::dmcMovimentacao), TipoCampo::ChaveDmc, nullptr, 0},
    {"lPtrOS", offsetof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS, lPtrOS), sizeof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS::lPtrOS), TipoCampo::U32, nullptr, 0},
    {"maOS", offsetof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS, maOS), sizeof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS::maOS), TipoCampo::MesAno, nullptr, 0},
    {"lFiller", offsetof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS, lFiller), sizeof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS::lFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_RELACIONAMENTO_MOVIMENTACAO_OS_PS = {"_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS", sizeof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS), kCamposREG_RELACIONAMENTO_MOVIMENTACAO_OS_PS};

constexpr DescricaoCampo kCamposREG_LISTA_MOVIMENTACAO_MANUT_PREV_PS[] = {
    {"lQtdRegistros", offsetof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS, lQtdRegistros), sizeof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS::lQtdRegistros), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS, lFiller), sizeof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"pFiller", offsetof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS, pFiller), sizeof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS::pFiller), TipoCampo::Filler, nullptr, 0},
    {"pRegistros", offsetof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS, pRegistros), sizeof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS::pRegistros), TipoCampo::Lista, &kREG_MOVIMENTACAO_MANUT_PREV_PS, offsetof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS, lQtdRegistros)},
};
constexpr DescricaoRegistro kREG_LISTA_MOVIMENTACAO_MANUT_PREV_PS = {"_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS", sizeof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS), kCamposREG_LISTA_MOVIMENTACAO_MANUT_PREV_PS};

constexpr DescricaoCampo kCamposREG_LISTA_ITENS_TREE_PS[] = {
    {"lQtdItens", offsetof(_REG_LISTA_ITENS_TREE_PS, lQtdItens), sizeof(_REG_LISTA_ITENS_TREE_PS::lQtdItens), TipoCampo::Contagem, nullptr, 0},
    {"lFiller", offsetof(_REG_LISTA_ITENS_TREE_PS, lFiller), sizeof(_REG_LISTA_ITENS_TREE_PS::lFiller), TipoCampo::Filler, nullptr, 0},
    {"cFiller", offsetof(_REG_LISTA_ITENS_TREE_PS, cFiller), sizeof(_REG_LISTA_ITENS_TREE_PS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"pItens", offsetof(_REG_LISTA_ITENS_TREE_PS, pItens), sizeof(_REG_LISTA_ITENS_TREE_PS::pItens), TipoCampo::Lista, &kREG_ITEM_TREE_PS, offsetof(_REG_LISTA_ITENS_TREE_PS, lQtdItens)},
};
constexpr DescricaoRegistro kREG_LISTA_ITENS_TREE_PS = {"_REG_LISTA_ITENS_TREE_PS", sizeof(_REG_LISTA_ITENS_TREE_PS), kCamposREG_LISTA_ITENS_TREE_PS};

constexpr DescricaoCampo kCamposREG_ITEM_TREE_PS[] = {
    {"lPonteiro", offsetof(_REG_ITEM_TREE_PS, lPonteiro), sizeof(_REG_ITEM_TREE_PS::lPonteiro), TipoCampo::U32, nullptr, 0},
    {"lTipo", offsetof(_REG_ITEM_TREE_PS, lTipo), sizeof(_REG_ITEM_TREE_PS::lTipo), TipoCampo::U32, nullptr, 0},
};
constexpr DescricaoRegistro kREG_ITEM_TREE_PS = {"_REG_ITEM_TREE_PS", sizeof(_REG_ITEM_TREE_PS), kCamposREG_ITEM_TREE_PS};

constexpr const DescricaoRegistro* kTodos[] = {
    &kREG_CADASTRO_PROPRIEDADES_PS,
    &kREG_FILTRO_CADASTRO_MANUTENCAO_PS,
    &kREG_LISTA_PTRS_CADASTRO_PS,
    &kREG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS,
    &kREG_CADASTRO_MEDIDORES_PS,
    &kREG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS,
    &kREG_LISTA_CADASTRO_MANUTENCOES_PS,
    &kREG_LISTA_CADASTRO_CLIENTES_PS,
    &kREG_CADASTRO_MANUTENCAO_PREVENTIVA_PS,
    &kREG_DF_TEXTOPS,
    &kREG_CADASTRO_MANUTENCAO_FREQUENCIA_PS,
    &kREG_LISTA_CADASTRO_PRODUTO_PS,
    &kREG_LISTA_CADASTRO_SERVICO_PS,
    &kREG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS,
    &kREG_LISTA_CADASTRO_LOCAL_PRODUTO_PS,
    &kREG_CADASTRO_MANUTENCAO_PRODUTO_PS,
    &kREG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS,
    &kREG_CADASTRO_MANUTENCAO_SERVICO_PS,
    &kREG_CADASTRO_MANUTENCAO_CLIENTE_PS,
    &kREG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS,
    &kQV_DMCPS,
    &kREG_MOVIMENTACAO_FILTRO_PS,
    &kREG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS,
    &kREG_CADASTRO_HISTORICO_MEDICOES_PS,
    &kREG_CADASTRO_MEDICAO_ATUAL_PS,
    &kREG_FILTRO_MEDICAO_PS,
    &kREG_LISTA_CADASTRO_MEDICAO_ATUAL_PS,
    &kREG_FILTRO_HISTORICO_MEDICAO_PS,
    &kREG_LISTA_PONTEIROS_DATA_PS,
    &kREG_PTR_DATA_PS,
    &kREG_LISTA_HISTORICO_MEDICOES_PS,
    &kREG_LISTA_MOVIMENTACAO_PRODUTO_PS,
    &kREG_LISTA_MOVIMENTACAO_SERVICO_PS,
    &kREG_LISTA_RELACIONAMENTO_OS_PS,
    &kREG_LISTA_DMC_PS,
    &kREG_MOVIMENTACAO_MANUT_PREV_PS,
    &kREG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS,
    &kREG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS,
    &kREG_MOVIMENTACAO_LOCAL_PRODUTO_PS,
    &kREG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS,
    &kREG_RELACIONAMENTO_MOVIMENTACAO_OS_PS,
    &kREG_LISTA_MOVIMENTACAO_MANUT_PREV_PS,
    &kREG_LISTA_ITENS_TREE_PS,
    &kREG_ITEM_TREE_PS,
};

template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_PROPRIEDADES_PS>() {
    return kREG_CADASTRO_PROPRIEDADES_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_FILTRO_CADASTRO_MANUTENCAO_PS>() {
    return kREG_FILTRO_CADASTRO_MANUTENCAO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_PTRS_CADASTRO_PS>() {
    return kREG_LISTA_PTRS_CADASTRO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS>() {
    return kREG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MEDIDORES_PS>() {
    return kREG_CADASTRO_MEDIDORES_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS>() {
    return kREG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_MANUTENCOES_PS>() {
    return kREG_LISTA_CADASTRO_MANUTENCOES_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_CLIENTES_PS>() {
    return kREG_LISTA_CADASTRO_CLIENTES_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS>() {
    return kREG_CADASTRO_MANUTENCAO_PREVENTIVA_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_DF_TEXTOPS>() {
    return kREG_DF_TEXTOPS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS>() {
    return kREG_CADASTRO_MANUTENCAO_FREQUENCIA_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_PRODUTO_PS>() {
    return kREG_LISTA_CADASTRO_PRODUTO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_SERVICO_PS>() {
    return kREG_LISTA_CADASTRO_SERVICO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS>() {
    return kREG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS>() {
    return kREG_LISTA_CADASTRO_LOCAL_PRODUTO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_PRODUTO_PS>() {
    return kREG_CADASTRO_MANUTENCAO_PRODUTO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS>() {
    return kREG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_SERVICO_PS>() {
    return kREG_CADASTRO_MANUTENCAO_SERVICO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_CLIENTE_PS>() {
    return kREG_CADASTRO_MANUTENCAO_CLIENTE_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS>() {
    return kREG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_QV_DMCPS>() {
    return kQV_DMCPS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_MOVIMENTACAO_FILTRO_PS>() {
    return kREG_MOVIMENTACAO_FILTRO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS>() {
    return kREG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_HISTORICO_MEDICOES_PS>() {
    return kREG_CADASTRO_HISTORICO_MEDICOES_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MEDICAO_ATUAL_PS>() {
    return kREG_CADASTRO_MEDICAO_ATUAL_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_FILTRO_MEDICAO_PS>() {
    return kREG_FILTRO_MEDICAO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS>() {
    return kREG_LISTA_CADASTRO_MEDICAO_ATUAL_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_FILTRO_HISTORICO_MEDICAO_PS>() {
    return kREG_FILTRO_HISTORICO_MEDICAO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_PONTEIROS_DATA_PS>() {
    return kREG_LISTA_PONTEIROS_DATA_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_PTR_DATA_PS>() {
    return kREG_PTR_DATA_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_HISTORICO_MEDICOES_PS>() {
    return kREG_LISTA_HISTORICO_MEDICOES_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_MOVIMENTACAO_PRODUTO_PS>() {
    return kREG_LISTA_MOVIMENTACAO_PRODUTO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_MOVIMENTACAO_SERVICO_PS>() {
    return kREG_LISTA_MOVIMENTACAO_SERVICO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_RELACIONAMENTO_OS_PS>() {
    return kREG_LISTA_RELACIONAMENTO_OS_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_DMC_PS>() {
    return kREG_LISTA_DMC_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_MOVIMENTACAO_MANUT_PREV_PS>() {
    return kREG_MOVIMENTACAO_MANUT_PREV_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS>() {
    return kREG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS>() {
    return kREG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS>() {
    return kREG_MOVIMENTACAO_LOCAL_PRODUTO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS>() {
    return kREG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS>() {
    return kREG_RELACIONAMENTO_MOVIMENTACAO_OS_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS>() {
    return kREG_LISTA_MOVIMENTACAO_MANUT_PREV_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_ITENS_TREE_PS>() {
    return kREG_LISTA_ITENS_TREE_PS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_ITEM_TREE_PS>() {
    return kREG_ITEM_TREE_PS;
}

// ---- Records of IQVUnknown ------------------------------------------------
// Described like the interface's own records so that one walker carries
// every argument; they are not part of TodasDescricoes, which lists the
// interface's records only. nTipoErro (SHORT) is carried by its size.

constexpr DescricaoCampo kCamposREG_DF_INICIALIZAPS[] = {
    {"ulUsuario", offsetof(_REG_DF_INICIALIZAPS, ulUsuario), sizeof(_REG_DF_INICIALIZAPS::ulUsuario), TipoCampo::U32, nullptr, 0},
    {"ulNumeroSessao", offsetof(_REG_DF_INICIALIZAPS, ulNumeroSessao), sizeof(_REG_DF_INICIALIZAPS::ulNumeroSessao), TipoCampo::U32, nullptr, 0},
    {"ulLinhaFonte", offsetof(_REG_DF_INICIALIZAPS, ulLinhaFonte), sizeof(_REG_DF_INICIALIZAPS::ulLinhaFonte), TipoCampo::U32, nullptr, 0},
    // The reserved fields are covered by uiCRC: they travel as they are, so
    // that a record signed with non-zero reserved bytes still checks.
    {"ulFiller", offsetof(_REG_DF_INICIALIZAPS, ulFiller), sizeof(_REG_DF_INICIALIZAPS::ulFiller), TipoCampo::U32, nullptr, 0},
    {"usVersaoFarol", offsetof(_REG_DF_INICIALIZAPS, usVersaoFarol), sizeof(_REG_DF_INICIALIZAPS::usVersaoFarol), TipoCampo::U16, nullptr, 0},
    {"usFiller", offsetof(_REG_DF_INICIALIZAPS, usFiller), sizeof(_REG_DF_INICIALIZAPS::usFiller), TipoCampo::Texto, nullptr, 0},
    {"szEmpresa", offsetof(_REG_DF_INICIALIZAPS, szEmpresa), sizeof(_REG_DF_INICIALIZAPS::szEmpresa), TipoCampo::Texto, nullptr, 0},
    {"szAplicativo", offsetof(_REG_DF_INICIALIZAPS, szAplicativo), sizeof(_REG_DF_INICIALIZAPS::szAplicativo), TipoCampo::Texto, nullptr, 0},
    {"szModuleName", offsetof(_REG_DF_INICIALIZAPS, szModuleName), sizeof(_REG_DF_INICIALIZAPS::szModuleName), TipoCampo::Texto, nullptr, 0},
    {"szArquivoFonte", offsetof(_REG_DF_INICIALIZAPS, szArquivoFonte), sizeof(_REG_DF_INICIALIZAPS::szArquivoFonte), TipoCampo::Texto, nullptr, 0},
    {"szNomeUsuarioDominio", offsetof(_REG_DF_INICIALIZAPS, szNomeUsuarioDominio), sizeof(_REG_DF_INICIALIZAPS::szNomeUsuarioDominio), TipoCampo::Texto, nullptr, 0},
    {"cControle", offsetof(_REG_DF_INICIALIZAPS, cControle), sizeof(_REG_DF_INICIALIZAPS::cControle), TipoCampo::U8, nullptr, 0},
    {"cWTS", offsetof(_REG_DF_INICIALIZAPS, cWTS), sizeof(_REG_DF_INICIALIZAPS::cWTS), TipoCampo::U8, nullptr, 0},
    {"szFiller", offsetof(_REG_DF_INICIALIZAPS, szFiller), sizeof(_REG_DF_INICIALIZAPS::szFiller), TipoCampo::Texto, nullptr, 0},
    {"uiCRC", offsetof(_REG_DF_INICIALIZAPS, uiCRC), sizeof(_REG_DF_INICIALIZAPS::uiCRC), TipoCampo::U64, nullptr, 0},
};
constexpr DescricaoRegistro kREG_DF_INICIALIZAPS = {"_REG_DF_INICIALIZAPS", sizeof(_REG_DF_INICIALIZAPS), kCamposREG_DF_INICIALIZAPS};

constexpr DescricaoCampo kCamposREG_DF_ERROPS[] = {
    {"hr", offsetof(_REG_DF_ERROPS, hr), sizeof(_REG_DF_ERROPS::hr), TipoCampo::I32, nullptr, 0},
    {"nCodigoErro", offsetof(_REG_DF_ERROPS, nCodigoErro), sizeof(_REG_DF_ERROPS::nCodigoErro), TipoCampo::I32, nullptr, 0},
    {"lCodigoMensagem", offsetof(_REG_DF_ERROPS, lCodigoMensagem), sizeof(_REG_DF_ERROPS::lCodigoMensagem), TipoCampo::I32, nullptr, 0},
    {"iRegistro", offsetof(_REG_DF_ERROPS, iRegistro), sizeof(_REG_DF_ERROPS::iRegistro), TipoCampo::I32, nullptr, 0},
    {"iItem", offsetof(_REG_DF_ERROPS, iItem), sizeof(_REG_DF_ERROPS::iItem), TipoCampo::I32, nullptr, 0},
    {"lCodigoCampo", offsetof(_REG_DF_ERROPS, lCodigoCampo), sizeof(_REG_DF_ERROPS::lCodigoCampo), TipoCampo::I32, nullptr, 0},
    {"nModuloMensagem", offsetof(_REG_DF_ERROPS, nModuloMensagem), sizeof(_REG_DF_ERROPS::nModuloMensagem), TipoCampo::U16, nullptr, 0},
    {"nTipoErro", offsetof(_REG_DF_ERROPS, nTipoErro), sizeof(_REG_DF_ERROPS::nTipoErro), TipoCampo::U16, nullptr, 0},
    {"usNumeroServidor", offsetof(_REG_DF_ERROPS, usNumeroServidor), sizeof(_REG_DF_ERROPS::usNumeroServidor), TipoCampo::U16, nullptr, 0},
    {"cMensagem", offsetof(_REG_DF_ERROPS, cMensagem), sizeof(_REG_DF_ERROPS::cMensagem), TipoCampo::Texto, nullptr, 0},
    {"szEmpresa", offsetof(_REG_DF_ERROPS, szEmpresa), sizeof(_REG_DF_ERROPS::szEmpresa), TipoCampo::Texto, nullptr, 0},
    {"cFiller", offsetof(_REG_DF_ERROPS, cFiller), sizeof(_REG_DF_ERROPS::cFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_DF_ERROPS = {"_REG_DF_ERROPS", sizeof(_REG_DF_ERROPS), kCamposREG_DF_ERROPS};

constexpr DescricaoCampo kCamposREG_CR_LISTA_BYTESPS[] = {
    {"ulQtdBytes", offsetof(_REG_CR_LISTA_BYTESPS, ulQtdBytes), sizeof(_REG_CR_LISTA_BYTESPS::ulQtdBytes), TipoCampo::Contagem, nullptr, 0},
    {"cFiller", offsetof(_REG_CR_LISTA_BYTESPS, cFiller), sizeof(_REG_CR_LISTA_BYTESPS::cFiller), TipoCampo::Filler, nullptr, 0},
    {"pListaBytes", offsetof(_REG_CR_LISTA_BYTESPS, pListaBytes), sizeof(_REG_CR_LISTA_BYTESPS::pListaBytes), TipoCampo::BytesDf, nullptr, offsetof(_REG_CR_LISTA_BYTESPS, ulQtdBytes)},
    {"pFiller", offsetof(_REG_CR_LISTA_BYTESPS, pFiller), sizeof(_REG_CR_LISTA_BYTESPS::pFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_CR_LISTA_BYTESPS = {"_REG_CR_LISTA_BYTESPS", sizeof(_REG_CR_LISTA_BYTESPS), kCamposREG_CR_LISTA_BYTESPS};

constexpr DescricaoCampo kCamposREG_CR_ALTERACAOPS[] = {
    {"regDados", offsetof(_REG_CR_ALTERACAOPS, regDados), sizeof(_REG_CR_ALTERACAOPS::regDados), TipoCampo::Registro, &kREG_CR_LISTA_BYTESPS, 0},
    {"ulTipoAlteracao", offsetof(_REG_CR_ALTERACAOPS, ulTipoAlteracao), sizeof(_REG_CR_ALTERACAOPS::ulTipoAlteracao), TipoCampo::U32, nullptr, 0},
    {"ulFiller", offsetof(_REG_CR_ALTERACAOPS, ulFiller), sizeof(_REG_CR_ALTERACAOPS::ulFiller), TipoCampo::Filler, nullptr, 0},
};
constexpr DescricaoRegistro kREG_CR_ALTERACAOPS = {"_REG_CR_ALTERACAOPS", sizeof(_REG_CR_ALTERACAOPS), kCamposREG_CR_ALTERACAOPS};

template <>
const DescricaoRegistro& DescricaoDe<_REG_DF_INICIALIZAPS>() {
    return kREG_DF_INICIALIZAPS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_DF_ERROPS>() {
    return kREG_DF_ERROPS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CR_LISTA_BYTESPS>() {
    return kREG_CR_LISTA_BYTESPS;
}
template <>
const DescricaoRegistro& DescricaoDe<_REG_CR_ALTERACAOPS>() {
    return kREG_CR_ALTERACAOPS;
}

std::span<const DescricaoRegistro* const> TodasDescricoes() { return kTodos; }

const DescricaoRegistro* DescricaoPorNome(std::string_view nome) {
    const auto it = std::find_if(std::begin(kTodos), std::end(kTodos),
                                 [&](const DescricaoRegistro* d) { return nome == d->nome; });
    return it == std::end(kTodos) ? nullptr : *it;
}

}  // namespace zenta
