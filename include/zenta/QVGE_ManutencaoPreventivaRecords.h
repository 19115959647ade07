// Records of the IQVGE_ManutencaoPreventiva interface: the packed wire layouts
// its clients are built against. Offsets, sizes, fillers and field order are
// fixed; every size and every field offset is checked below.
//
// Lists share one shape: count (u32), filler (u32), reserved pointer, pointer
// to the first element. All records are first named in the type library's
// order; each is then defined after the records it holds by value.
#pragma once

#include <cstddef>

#include <zenta/WinTypes.h>

static_assert(sizeof(void*) == 8, "the interface records hold 8-byte pointers");

struct _REG_CADASTRO_PROPRIEDADES_PS;
struct _REG_FILTRO_CADASTRO_MANUTENCAO_PS;
struct _REG_LISTA_PTRS_CADASTRO_PS;
struct _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS;
struct _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS;
struct _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS;
struct _REG_CADASTRO_MEDIDORES_PS;
struct _REG_LISTA_CADASTRO_MANUTENCOES_PS;
struct _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS;
struct _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS;
struct _REG_DF_TEXTOPS;
struct _REG_LISTA_CADASTRO_PRODUTO_PS;
struct _REG_CADASTRO_MANUTENCAO_PRODUTO_PS;
struct _REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS;
struct _REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS;
struct _REG_LISTA_CADASTRO_SERVICO_PS;
struct _REG_CADASTRO_MANUTENCAO_SERVICO_PS;
struct _REG_LISTA_CADASTRO_CLIENTES_PS;
struct _REG_CADASTRO_MANUTENCAO_CLIENTE_PS;
struct _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS;
struct _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS;
struct _REG_MOVIMENTACAO_FILTRO_PS;
struct _QV_DMCPS;
struct _REG_CADASTRO_HISTORICO_MEDICOES_PS;
struct _REG_CADASTRO_MEDICAO_ATUAL_PS;
struct _REG_FILTRO_MEDICAO_PS;
struct _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS;
struct _REG_FILTRO_HISTORICO_MEDICAO_PS;
struct _REG_LISTA_PONTEIROS_DATA_PS;
struct _REG_PTR_DATA_PS;
struct _REG_LISTA_HISTORICO_MEDICOES_PS;
struct _REG_MOVIMENTACAO_MANUT_PREV_PS;
struct _REG_LISTA_MOVIMENTACAO_PRODUTO_PS;
struct _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS;
struct _REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS;
struct _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS;
struct _REG_LISTA_MOVIMENTACAO_SERVICO_PS;
struct _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS;
struct _REG_LISTA_RELACIONAMENTO_OS_PS;
struct _REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS;
struct _REG_LISTA_DMC_PS;
struct _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS;
struct _REG_LISTA_ITENS_TREE_PS;
struct _REG_ITEM_TREE_PS;

#pragma pack(push, 1)

// Service properties: advance notice of the next maintenance, names of the user-named extra fields (184 bytes).
struct _REG_CADASTRO_PROPRIEDADES_PS {
    BYTE cAvisarDataProximaManutencaoComAntecedencia;
    BYTE cAvisarPorEmail;
    BYTE cAvisarComTelaAviso;
    BYTE cFiller[5];
    ULONG lQtdDiasAviso;
    ULONG dataUltimaVerificacaoMedicao;
    char szNomeCampoDinamico1[32];
    char szNomeCampoDinamico2[32];
    char szNomeCampoDinamico3[32];
    char szNomeCampoDinamico4[32];
    char szNomeCampoDinamico5[32];
    BYTE ucNaoGravarLog;
    BYTE ucFiller[7];
};
static_assert(sizeof(_REG_CADASTRO_PROPRIEDADES_PS) == 184);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, cAvisarDataProximaManutencaoComAntecedencia) == 0);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, cAvisarPorEmail) == 1);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, cAvisarComTelaAviso) == 2);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, cFiller) == 3);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, lQtdDiasAviso) == 8);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, dataUltimaVerificacaoMedicao) == 12);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, szNomeCampoDinamico1) == 16);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, szNomeCampoDinamico2) == 48);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, szNomeCampoDinamico3) == 80);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, szNomeCampoDinamico4) == 112);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, szNomeCampoDinamico5) == 144);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, ucNaoGravarLog) == 176);
static_assert(offsetof(_REG_CADASTRO_PROPRIEDADES_PS, ucFiller) == 177);

// Filter of plan registrations: branch, customer, status, identification and serial number (160 bytes).
struct _REG_FILTRO_CADASTRO_MANUTENCAO_PS {
    ULONG lFilial;
    ULONG lCliente;
    LONG bAtivo;
    LONG bInativo;
    LONG bCancelado;
    LONG bConcluido;
    LONG bTrazerExcluido;
    LONG bFiller;
    ULONG lEquipamento;
    ULONG lMarca;
    ULONG lModelo;
    ULONG lTipo;
    ULONG lProduto;
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    ULONG lPonteiroRegistro;
    ULONG lFiller2;
    char szNrSerie[56];
    ULONG lQtdPonteirosIdentificacao;
    ULONG lTipoIdentificacao;
    ULONG* pPonteirosIdentificacao;
    void* cFiller;
    ULONG dataInicialFrequencia;
    ULONG lFiller;
};
static_assert(sizeof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS) == 160);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lFilial) == 0);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lCliente) == 4);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bAtivo) == 8);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bInativo) == 12);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bCancelado) == 16);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bConcluido) == 20);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bTrazerExcluido) == 24);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, bFiller) == 28);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lEquipamento) == 32);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lMarca) == 36);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lModelo) == 40);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lTipo) == 44);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lProduto) == 48);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lGrade1) == 52);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lGrade2) == 56);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lGrade3) == 60);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lPonteiroRegistro) == 64);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lFiller2) == 68);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, szNrSerie) == 72);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lQtdPonteirosIdentificacao) == 128);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lTipoIdentificacao) == 132);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, pPonteirosIdentificacao) == 136);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, cFiller) == 144);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, dataInicialFrequencia) == 152);
static_assert(offsetof(_REG_FILTRO_CADASTRO_MANUTENCAO_PS, lFiller) == 156);

// List of registration record pointers (24 bytes).
struct _REG_LISTA_PTRS_CADASTRO_PS {
    ULONG lQtdPtrs;
    ULONG lFiller;
    void* cFiller;
    ULONG* pPonteiros;
};
static_assert(sizeof(_REG_LISTA_PTRS_CADASTRO_PS) == 24);
static_assert(offsetof(_REG_LISTA_PTRS_CADASTRO_PS, lQtdPtrs) == 0);
static_assert(offsetof(_REG_LISTA_PTRS_CADASTRO_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_PTRS_CADASTRO_PS, cFiller) == 8);
static_assert(offsetof(_REG_LISTA_PTRS_CADASTRO_PS, pPonteiros) == 16);

// List of preventive-maintenance plan registrations (24 bytes).
struct _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS {
    ULONG lQtdRegistros;
    ULONG lFiller;
    void* cFiller;
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegistros;
};
static_assert(sizeof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS) == 24);
static_assert(offsetof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lQtdRegistros) == 0);
static_assert(offsetof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS, cFiller) == 8);
static_assert(offsetof(_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS, pRegistros) == 16);

// Meter registration: start and current quantity, unit of measure, replaced meters (32 bytes).
struct _REG_CADASTRO_MEDIDORES_PS {
    CY vQuantidadeInicial;
    CY vQuantidadeAtual;
    ULONG lPonteiroUnMedida;
    ULONG lPonteiroCadastro;
    ULONG lQuantidadeMedidoresSubstituidos;
    BYTE cTipoUnidadeMedida;
    char szFiller[3];
};
static_assert(sizeof(_REG_CADASTRO_MEDIDORES_PS) == 32);
static_assert(offsetof(_REG_CADASTRO_MEDIDORES_PS, vQuantidadeInicial) == 0);
static_assert(offsetof(_REG_CADASTRO_MEDIDORES_PS, vQuantidadeAtual) == 8);
static_assert(offsetof(_REG_CADASTRO_MEDIDORES_PS, lPonteiroUnMedida) == 16);
static_assert(offsetof(_REG_CADASTRO_MEDIDORES_PS, lPonteiroCadastro) == 20);
static_assert(offsetof(_REG_CADASTRO_MEDIDORES_PS, lQuantidadeMedidoresSubstituidos) == 24);
static_assert(offsetof(_REG_CADASTRO_MEDIDORES_PS, cTipoUnidadeMedida) == 28);
static_assert(offsetof(_REG_CADASTRO_MEDIDORES_PS, szFiller) == 29);

// Identification of the equipment or product under maintenance, with its current meter (592 bytes).
struct _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS {
    _REG_CADASTRO_MEDIDORES_PS regMedidorAtual;
    ULONG lFilial;
    ULONG lEquipamento;
    ULONG lProduto;
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    ULONG lMarca;
    ULONG lModelo;
    ULONG lTipo;
    ULONG lSituacao;
    ULONG lMedidor;
    char szCodigo[12];
    char szCapacidade[22];
    char szAnoFabricacao[12];
    char szNrSerie[52];
    char szNrPatrimonial[52];
    char szMotor[52];
    char szFabricante[52];
    char szCampoDinamico1[52];
    char szCampoDinamico2[52];
    char szCampoDinamico3[52];
    char szCampoDinamico4[52];
    char szCampoDinamico5[52];
    BYTE cFiller[2];
};
static_assert(sizeof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS) == 592);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, regMedidorAtual) == 0);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lFilial) == 32);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lEquipamento) == 36);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lProduto) == 40);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lGrade1) == 44);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lGrade2) == 48);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lGrade3) == 52);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lMarca) == 56);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lModelo) == 60);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lTipo) == 64);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lSituacao) == 68);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, lMedidor) == 72);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCodigo) == 76);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCapacidade) == 88);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szAnoFabricacao) == 110);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szNrSerie) == 122);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szNrPatrimonial) == 174);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szMotor) == 226);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szFabricante) == 278);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCampoDinamico1) == 330);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCampoDinamico2) == 382);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCampoDinamico3) == 434);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCampoDinamico4) == 486);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCampoDinamico5) == 538);
static_assert(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, cFiller) == 590);

// List of the maintenances of a plan registration (24 bytes).
struct _REG_LISTA_CADASTRO_MANUTENCOES_PS {
    ULONG lQtdManutencoes;
    ULONG lFiller;
    void* pFiller;
    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS* pManutencoes;
};
static_assert(sizeof(_REG_LISTA_CADASTRO_MANUTENCOES_PS) == 24);
static_assert(offsetof(_REG_LISTA_CADASTRO_MANUTENCOES_PS, lQtdManutencoes) == 0);
static_assert(offsetof(_REG_LISTA_CADASTRO_MANUTENCOES_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_CADASTRO_MANUTENCOES_PS, pFiller) == 8);
static_assert(offsetof(_REG_LISTA_CADASTRO_MANUTENCOES_PS, pManutencoes) == 16);

// List of the customers of a plan registration (24 bytes).
struct _REG_LISTA_CADASTRO_CLIENTES_PS {
    ULONG lQtdClientes;
    ULONG lFiller;
    void* pFiller;
    _REG_CADASTRO_MANUTENCAO_CLIENTE_PS* pClientes;
};
static_assert(sizeof(_REG_LISTA_CADASTRO_CLIENTES_PS) == 24);
static_assert(offsetof(_REG_LISTA_CADASTRO_CLIENTES_PS, lQtdClientes) == 0);
static_assert(offsetof(_REG_LISTA_CADASTRO_CLIENTES_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_CADASTRO_CLIENTES_PS, pFiller) == 8);
static_assert(offsetof(_REG_LISTA_CADASTRO_CLIENTES_PS, pClientes) == 16);

// Preventive-maintenance plan registration: identification, maintenances and customers (696 bytes).
struct _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS {
    _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS idEquipamentoPS;
    LONG bExcluido;
    LONG bFiller;
    ULONG lIndentificacaoEquipamento;
    ULONG lPonteiroRegistro;
    ULONG lManutencoes;
    ULONG lClientes;
    ULONG lUsuarioUltimaAlteracao;
    ULONG lPonteiroMedicao;
    BYTE cOrigem;
    char szFiller[7];
    ULONGLONG dmcOrigem;
    ULONGLONG dmcFiller;
    _REG_LISTA_CADASTRO_MANUTENCOES_PS listaManutencoes;
    _REG_LISTA_CADASTRO_CLIENTES_PS listaClientes;
};
static_assert(sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS) == 696);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, idEquipamentoPS) == 0);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bExcluido) == 592);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bFiller) == 596);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lIndentificacaoEquipamento) == 600);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lPonteiroRegistro) == 604);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lManutencoes) == 608);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lClientes) == 612);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lUsuarioUltimaAlteracao) == 616);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, lPonteiroMedicao) == 620);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, cOrigem) == 624);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, szFiller) == 625);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, dmcOrigem) == 632);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, dmcFiller) == 640);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, listaManutencoes) == 648);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS, listaClientes) == 672);

// Text of any length: byte count and pointer to the bytes (24 bytes).
struct _REG_DF_TEXTOPS {
    ULONG ulQtdBytes;
    BYTE cFiller[4];
    BYTE* pTexto;
    void* pFiller;
};
static_assert(sizeof(_REG_DF_TEXTOPS) == 24);
static_assert(offsetof(_REG_DF_TEXTOPS, ulQtdBytes) == 0);
static_assert(offsetof(_REG_DF_TEXTOPS, cFiller) == 4);
static_assert(offsetof(_REG_DF_TEXTOPS, pTexto) == 8);
static_assert(offsetof(_REG_DF_TEXTOPS, pFiller) == 16);

// Maintenance frequency by time and/or meter, with stoppage, start date, duration and remark (144 bytes).
struct _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS {
    char szParadaManutencao[52];
    char szFiller[4];
    ULONG lTipoFrequenciaTempo;
    ULONG lFrequenciaLimiteTempo;
    ULONG lQtdCasasDecimaisMedicao;
    ULONG lTipoFrequencia;
    ULONG lObservacao;
    ULONG lFrequenciaTempo;
    ULONG dataInicial;
    ULONG dataFiller;
    CY horaDuracao;
    CY vMedicaoInicial;
    CY vFrequenciaMedicao;
    CY vFrequenciaLimiteMedicao;
    _REG_DF_TEXTOPS szObservacao;
};
static_assert(sizeof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS) == 144);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, szParadaManutencao) == 0);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, szFiller) == 52);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lTipoFrequenciaTempo) == 56);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lFrequenciaLimiteTempo) == 60);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lQtdCasasDecimaisMedicao) == 64);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lTipoFrequencia) == 68);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lObservacao) == 72);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, lFrequenciaTempo) == 76);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, dataInicial) == 80);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, dataFiller) == 84);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, horaDuracao) == 88);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, vMedicaoInicial) == 96);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, vFrequenciaMedicao) == 104);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, vFrequenciaLimiteMedicao) == 112);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS, szObservacao) == 120);

// List of the products of a maintenance (24 bytes).
struct _REG_LISTA_CADASTRO_PRODUTO_PS {
    ULONG lQtdProdutos;
    ULONG lFiller;
    void* pFiller;
    _REG_CADASTRO_MANUTENCAO_PRODUTO_PS* pProdutos;
};
static_assert(sizeof(_REG_LISTA_CADASTRO_PRODUTO_PS) == 24);
static_assert(offsetof(_REG_LISTA_CADASTRO_PRODUTO_PS, lQtdProdutos) == 0);
static_assert(offsetof(_REG_LISTA_CADASTRO_PRODUTO_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_CADASTRO_PRODUTO_PS, pFiller) == 8);
static_assert(offsetof(_REG_LISTA_CADASTRO_PRODUTO_PS, pProdutos) == 16);

// List of the services of a maintenance (24 bytes).
struct _REG_LISTA_CADASTRO_SERVICO_PS {
    ULONG lQtdServicos;
    ULONG lFiller;
    void* pFiller;
    _REG_CADASTRO_MANUTENCAO_SERVICO_PS* pServicos;
};
static_assert(sizeof(_REG_LISTA_CADASTRO_SERVICO_PS) == 24);
static_assert(offsetof(_REG_LISTA_CADASTRO_SERVICO_PS, lQtdServicos) == 0);
static_assert(offsetof(_REG_LISTA_CADASTRO_SERVICO_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_CADASTRO_SERVICO_PS, pFiller) == 8);
static_assert(offsetof(_REG_LISTA_CADASTRO_SERVICO_PS, pServicos) == 16);

// One maintenance of a plan: frequency, name, technician, products and services (384 bytes).
struct _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS {
    _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS frequenciaPS;
    CY vQuantidadeFalta;
    CY vFiller;
    ULONG lNomeManutencao;
    ULONG lServicoCadastro;
    ULONG lServicosManutencao;
    ULONG lProdutosManutencao;
    ULONG dataUltimaVerificacaoMedicao;
    ULONG dataFinalContrato;
    ULONG lQuantidadeDiasFalta;
    ULONG lFrequencia;
    char szNomeManutencao[122];
    BYTE cFiller[6];
    LONG bMovimentacaoGerada;
    LONG bTemMedicaoInformada;
    ULONG lTecnico;
    ULONG lCodigoManutencao;
    _REG_LISTA_CADASTRO_PRODUTO_PS listaProdutos;
    _REG_LISTA_CADASTRO_SERVICO_PS listaServicos;
};
static_assert(sizeof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS) == 384);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, frequenciaPS) == 0);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, vQuantidadeFalta) == 144);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, vFiller) == 152);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lNomeManutencao) == 160);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lServicoCadastro) == 164);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lServicosManutencao) == 168);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lProdutosManutencao) == 172);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, dataUltimaVerificacaoMedicao) == 176);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, dataFinalContrato) == 180);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lQuantidadeDiasFalta) == 184);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lFrequencia) == 188);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, szNomeManutencao) == 192);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, cFiller) == 314);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, bMovimentacaoGerada) == 320);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, bTemMedicaoInformada) == 324);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lTecnico) == 328);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, lCodigoManutencao) == 332);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, listaProdutos) == 336);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS, listaServicos) == 360);

// List of the stock locations of a maintenance product (24 bytes).
struct _REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS {
    ULONG lQtdEstoque;
    ULONG lFiller;
    void* pFiller;
    _REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS* pLocaisEstoque;
};
static_assert(sizeof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS) == 24);
static_assert(offsetof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS, lQtdEstoque) == 0);
static_assert(offsetof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS, pFiller) == 8);
static_assert(offsetof(_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS, pLocaisEstoque) == 16);

// Product of a maintenance: grid, technician, planned quantity and stock locations (64 bytes).
struct _REG_CADASTRO_MANUTENCAO_PRODUTO_PS {
    ULONG lProduto;
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    ULONG lTecnico;
    ULONG lLocalEstoque;
    CY vQuantidadePrevista;
    CY vFiller;
    _REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS listaLocal;
};
static_assert(sizeof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS) == 64);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lProduto) == 0);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lGrade1) == 4);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lGrade2) == 8);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lGrade3) == 12);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lTecnico) == 16);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, lLocalEstoque) == 20);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, vQuantidadePrevista) == 24);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, vFiller) == 32);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_PRODUTO_PS, listaLocal) == 40);

// Stock location of a maintenance product: location, batch, volume and quantity (56 bytes).
struct _REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS {
    BYTE cConteudoImportado;
    BYTE cTipoProducao;
    BYTE cFiller[6];
    ULONG lPonteiroLocal;
    ULONG lPonteiroLote;
    ULONG lPonteiroForLote;
    ULONG lPonteiroVolume;
    ULONG lPonteiroForEPTETPE;
    ULONG lPonteiroCliEPTETPE;
    ULONG lPonteiroControleFCI;
    ULONG lFiller;
    CY vQuantidadeEs;
    CY vPIUnitaria;
};
static_assert(sizeof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS) == 56);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, cConteudoImportado) == 0);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, cTipoProducao) == 1);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, cFiller) == 2);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroLocal) == 8);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroLote) == 12);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroForLote) == 16);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroVolume) == 20);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroForEPTETPE) == 24);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroCliEPTETPE) == 28);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lPonteiroControleFCI) == 32);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, lFiller) == 36);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, vQuantidadeEs) == 40);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS, vPIUnitaria) == 48);

// Service of a maintenance: service, technician and planned quantity (24 bytes).
struct _REG_CADASTRO_MANUTENCAO_SERVICO_PS {
    ULONG lServico;
    ULONG lTecnico;
    CY vQuantidadePrevista;
    CY vFiller;
};
static_assert(sizeof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS) == 24);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS, lServico) == 0);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS, lTecnico) == 4);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS, vQuantidadePrevista) == 8);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_SERVICO_PS, vFiller) == 16);

// Customer of a plan: physical location, street address, contact and contract period (264 bytes).
struct _REG_CADASTRO_MANUTENCAO_CLIENTE_PS {
    ULONG lCliente;
    ULONG lMunicipio;
    char szLocalFisico[52];
    char szEndereco[42];
    char szNumero[12];
    char szComplemento[62];
    char szBairro[22];
    char szCEP[12];
    char szContato[32];
    ULONG dataInicial;
    ULONG dataFinal;
    LONG bSemNumero;
    LONG bFiller;
    char szFiller[6];
};
static_assert(sizeof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS) == 264);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, lCliente) == 0);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, lMunicipio) == 4);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szLocalFisico) == 8);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szEndereco) == 60);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szNumero) == 102);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szComplemento) == 114);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szBairro) == 176);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szCEP) == 198);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szContato) == 210);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, dataInicial) == 242);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, dataFinal) == 246);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, bSemNumero) == 250);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, bFiller) == 254);
static_assert(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, szFiller) == 258);

// Plan registration report request: filter, report component, temporary file and report (192 bytes).
struct _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS {
    _REG_FILTRO_CADASTRO_MANUTENCAO_PS filtro;
    BSTR bsComponente;
    BSTR bsArquivoTemp;
    BSTR bsRelatorio;
    BSTR bsFiller;
};
static_assert(sizeof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS) == 192);
static_assert(offsetof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS, filtro) == 0);
static_assert(offsetof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bsComponente) == 160);
static_assert(offsetof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bsArquivoTemp) == 168);
static_assert(offsetof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bsRelatorio) == 176);
static_assert(offsetof(_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS, bsFiller) == 184);

// Record key of a per-month file as a record (the same 8 bytes as the 64-bit key) (8 bytes).
struct _QV_DMCPS {
    LONG lChaveModulo;
    USHORT iData;
    BYTE cFiller[2];
};
static_assert(sizeof(_QV_DMCPS) == 8);
static_assert(offsetof(_QV_DMCPS, lChaveModulo) == 0);
static_assert(offsetof(_QV_DMCPS, iData) == 4);
static_assert(offsetof(_QV_DMCPS, cFiller) == 6);

// Filter of maintenance orders: identification, status, period, service order and serial number (168 bytes).
struct _REG_MOVIMENTACAO_FILTRO_PS {
    ULONG lCliente;
    ULONG lEquipamento;
    ULONG lMarca;
    ULONG lModelo;
    ULONG lTipo;
    ULONG lProduto;
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    LONG bAtivo;
    LONG bConcluido;
    LONG bCancelado;
    ULONG dataInicialPeriodo;
    ULONG dataFinalPeriodo;
    ULONG lQtdPonteirosIdentificacao;
    ULONG lTipoIdentificacao;
    ULONG lPonteiroCadastro;
    ULONG lFiller;
    ULONG lPtrOS;
    USHORT maOS;
    USHORT lFiller2;
    _QV_DMCPS dmcMovimentacao;
    _QV_DMCPS dmcFiller;
    ULONG* pPonteirosIdentificacao;
    void* cFiller;
    char szNrSerie[52];
    char szFiller[4];
};
static_assert(sizeof(_REG_MOVIMENTACAO_FILTRO_PS) == 168);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lCliente) == 0);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lEquipamento) == 4);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lMarca) == 8);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lModelo) == 12);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lTipo) == 16);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lProduto) == 20);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lGrade1) == 24);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lGrade2) == 28);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lGrade3) == 32);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, bAtivo) == 36);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, bConcluido) == 40);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, bCancelado) == 44);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, dataInicialPeriodo) == 48);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, dataFinalPeriodo) == 52);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lQtdPonteirosIdentificacao) == 56);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lTipoIdentificacao) == 60);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lPonteiroCadastro) == 64);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lFiller) == 68);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lPtrOS) == 72);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, maOS) == 76);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, lFiller2) == 78);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, dmcMovimentacao) == 80);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, dmcFiller) == 88);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, pPonteirosIdentificacao) == 96);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, cFiller) == 104);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, szNrSerie) == 112);
static_assert(offsetof(_REG_MOVIMENTACAO_FILTRO_PS, szFiller) == 164);

// Maintenance order report request: filter, report component, temporary file and report (200 bytes).
struct _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS {
    _REG_MOVIMENTACAO_FILTRO_PS filtro;
    BSTR bsComponente;
    BSTR bsArquivoTemp;
    BSTR bsRelatorio;
    BSTR bsFiller;
};
static_assert(sizeof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS) == 200);
static_assert(offsetof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS, filtro) == 0);
static_assert(offsetof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS, bsComponente) == 168);
static_assert(offsetof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS, bsArquivoTemp) == 176);
static_assert(offsetof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS, bsRelatorio) == 184);
static_assert(offsetof(_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS, bsFiller) == 192);

// Meter reading: identification, technician, calculated and entered date and time, quantity (152 bytes).
struct _REG_CADASTRO_HISTORICO_MEDICOES_PS {
    ULONG lEquipamento;
    ULONG lProduto;
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    ULONG lTipo;
    ULONG lMarca;
    ULONG lModelo;
    char szNrSerie[52];
    BYTE cMedicaoAtiva;
    char szFiller[3];
    ULONG lTecnico;
    ULONG lPonteiroCadastro;
    ULONG dataMedicaoCalculo;
    ULONG dataGravacao;
    LONGLONG horaMedicaoCalculo;
    LONGLONG horaFiller;
    ULONG dataMedicaoInformada;
    LONG horaMedicaoInformada;
    CY vQuantidadeMedicao;
    CY vFiller;
    ULONG lQtdCasasDecimais;
    ULONG lFiller2;
};
static_assert(sizeof(_REG_CADASTRO_HISTORICO_MEDICOES_PS) == 152);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lEquipamento) == 0);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lProduto) == 4);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lGrade1) == 8);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lGrade2) == 12);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lGrade3) == 16);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lTipo) == 20);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lMarca) == 24);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lModelo) == 28);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, szNrSerie) == 32);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, cMedicaoAtiva) == 84);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, szFiller) == 85);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lTecnico) == 88);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lPonteiroCadastro) == 92);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, dataMedicaoCalculo) == 96);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, dataGravacao) == 100);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, horaMedicaoCalculo) == 104);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, horaFiller) == 112);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, dataMedicaoInformada) == 120);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, horaMedicaoInformada) == 124);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, vQuantidadeMedicao) == 128);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, vFiller) == 136);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lQtdCasasDecimais) == 144);
static_assert(offsetof(_REG_CADASTRO_HISTORICO_MEDICOES_PS, lFiller2) == 148);

// Current meter reading with its record pointer (160 bytes).
struct _REG_CADASTRO_MEDICAO_ATUAL_PS {
    _REG_CADASTRO_HISTORICO_MEDICOES_PS regMedicaoAtual;
    ULONG lPonteiroRegistro;
    ULONG lFiller;
};
static_assert(sizeof(_REG_CADASTRO_MEDICAO_ATUAL_PS) == 160);
static_assert(offsetof(_REG_CADASTRO_MEDICAO_ATUAL_PS, regMedicaoAtual) == 0);
static_assert(offsetof(_REG_CADASTRO_MEDICAO_ATUAL_PS, lPonteiroRegistro) == 152);
static_assert(offsetof(_REG_CADASTRO_MEDICAO_ATUAL_PS, lFiller) == 156);

// Filter of meter readings: equipment or product identification and serial number (128 bytes).
struct _REG_FILTRO_MEDICAO_PS {
    ULONG lEquipamento;
    ULONG lMarca;
    ULONG lModelo;
    ULONG lTipo;
    ULONG lProduto;
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    LONG bSomenteProdutos;
    LONG bSomenteEquipamentos;
    ULONG lQtdPonteirosIdentificacao;
    ULONG lTipoIdentificacao;
    ULONG lPonteiroCadastro;
    ULONG lFiller;
    ULONG* pPonteirosIdentificacao;
    void* cFiller;
    char szNrSerie[52];
    char szFiller[4];
};
static_assert(sizeof(_REG_FILTRO_MEDICAO_PS) == 128);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lEquipamento) == 0);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lMarca) == 4);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lModelo) == 8);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lTipo) == 12);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lProduto) == 16);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lGrade1) == 20);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lGrade2) == 24);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lGrade3) == 28);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, bSomenteProdutos) == 32);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, bSomenteEquipamentos) == 36);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lQtdPonteirosIdentificacao) == 40);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lTipoIdentificacao) == 44);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lPonteiroCadastro) == 48);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, lFiller) == 52);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, pPonteirosIdentificacao) == 56);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, cFiller) == 64);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, szNrSerie) == 72);
static_assert(offsetof(_REG_FILTRO_MEDICAO_PS, szFiller) == 124);

// List of current meter readings (24 bytes).
struct _REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS {
    ULONG lQtdRegistros;
    ULONG lFiller;
    void* cFiller;
    _REG_CADASTRO_MEDICAO_ATUAL_PS* pRegistros;
};
static_assert(sizeof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS) == 24);
static_assert(offsetof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS, lQtdRegistros) == 0);
static_assert(offsetof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS, cFiller) == 8);
static_assert(offsetof(_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS, pRegistros) == 16);

// Filter of the meter reading history: reading filter and month/year period (136 bytes).
struct _REG_FILTRO_HISTORICO_MEDICAO_PS {
    _REG_FILTRO_MEDICAO_PS regFiltro;
    USHORT dataInicialPeriodo;
    USHORT dataFinalPeriodo;
    ULONG lFiller;
};
static_assert(sizeof(_REG_FILTRO_HISTORICO_MEDICAO_PS) == 136);
static_assert(offsetof(_REG_FILTRO_HISTORICO_MEDICAO_PS, regFiltro) == 0);
static_assert(offsetof(_REG_FILTRO_HISTORICO_MEDICAO_PS, dataInicialPeriodo) == 128);
static_assert(offsetof(_REG_FILTRO_HISTORICO_MEDICAO_PS, dataFinalPeriodo) == 130);
static_assert(offsetof(_REG_FILTRO_HISTORICO_MEDICAO_PS, lFiller) == 132);

// List of record pointers with their month/year (24 bytes).
struct _REG_LISTA_PONTEIROS_DATA_PS {
    ULONG lQtdPonteiros;
    ULONG lFiller;
    void* cFiller;
    _REG_PTR_DATA_PS* pPonteiros;
};
static_assert(sizeof(_REG_LISTA_PONTEIROS_DATA_PS) == 24);
static_assert(offsetof(_REG_LISTA_PONTEIROS_DATA_PS, lQtdPonteiros) == 0);
static_assert(offsetof(_REG_LISTA_PONTEIROS_DATA_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_PONTEIROS_DATA_PS, cFiller) == 8);
static_assert(offsetof(_REG_LISTA_PONTEIROS_DATA_PS, pPonteiros) == 16);

// Record pointer with its month/year (8 bytes).
struct _REG_PTR_DATA_PS {
    USHORT dataPonteiro;
    USHORT usFiller;
    ULONG lPonteiro;
};
static_assert(sizeof(_REG_PTR_DATA_PS) == 8);
static_assert(offsetof(_REG_PTR_DATA_PS, dataPonteiro) == 0);
static_assert(offsetof(_REG_PTR_DATA_PS, usFiller) == 2);
static_assert(offsetof(_REG_PTR_DATA_PS, lPonteiro) == 4);

// List of meter readings of the history (24 bytes).
struct _REG_LISTA_HISTORICO_MEDICOES_PS {
    ULONG lQtdRegistros;
    ULONG lFiller;
    void* cFiller;
    _REG_CADASTRO_HISTORICO_MEDICOES_PS* pRegistros;
};
static_assert(sizeof(_REG_LISTA_HISTORICO_MEDICOES_PS) == 24);
static_assert(offsetof(_REG_LISTA_HISTORICO_MEDICOES_PS, lQtdRegistros) == 0);
static_assert(offsetof(_REG_LISTA_HISTORICO_MEDICOES_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_HISTORICO_MEDICOES_PS, cFiller) == 8);
static_assert(offsetof(_REG_LISTA_HISTORICO_MEDICOES_PS, pRegistros) == 16);

// List of the products of a maintenance order (24 bytes).
struct _REG_LISTA_MOVIMENTACAO_PRODUTO_PS {
    ULONG lQtdProdutos;
    ULONG lFiller;
    void* pFiller;
    _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS* pProdutos;
};
static_assert(sizeof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS) == 24);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS, lQtdProdutos) == 0);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS, pFiller) == 8);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_PRODUTO_PS, pProdutos) == 16);

// List of the services of a maintenance order (24 bytes).
struct _REG_LISTA_MOVIMENTACAO_SERVICO_PS {
    ULONG lQtdServicos;
    ULONG lFiller;
    void* pFiller;
    _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS* pServicos;
};
static_assert(sizeof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS) == 24);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS, lQtdServicos) == 0);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS, pFiller) == 8);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_SERVICO_PS, pServicos) == 16);

// List of the service-order links of a maintenance order (24 bytes).
struct _REG_LISTA_RELACIONAMENTO_OS_PS {
    ULONG lQtdRelacionamentoOS;
    ULONG lFiller;
    void* pFiller;
    _REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS* pRelacionamentos;
};
static_assert(sizeof(_REG_LISTA_RELACIONAMENTO_OS_PS) == 24);
static_assert(offsetof(_REG_LISTA_RELACIONAMENTO_OS_PS, lQtdRelacionamentoOS) == 0);
static_assert(offsetof(_REG_LISTA_RELACIONAMENTO_OS_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_RELACIONAMENTO_OS_PS, pFiller) == 8);
static_assert(offsetof(_REG_LISTA_RELACIONAMENTO_OS_PS, pRelacionamentos) == 16);

// List of record keys (24 bytes).
struct _REG_LISTA_DMC_PS {
    ULONG lQtdDMC;
    ULONG lFiller;
    void* pFiller;
    ULONGLONG* pDMC;
};
static_assert(sizeof(_REG_LISTA_DMC_PS) == 24);
static_assert(offsetof(_REG_LISTA_DMC_PS, lQtdDMC) == 0);
static_assert(offsetof(_REG_LISTA_DMC_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_DMC_PS, pFiller) == 8);
static_assert(offsetof(_REG_LISTA_DMC_PS, pDMC) == 16);

// Maintenance order: identification, status, dates, products, services and links (720 bytes).
struct _REG_MOVIMENTACAO_MANUT_PREV_PS {
    ULONGLONG dmcChave;
    ULONG lFilial;
    ULONG lCliente;
    ULONG lSituacao;
    ULONG lPonteiroCadastro;
    ULONG lEquipamento;
    ULONG lMarca;
    ULONG lModelo;
    ULONG lTipo;
    ULONG lProduto;
    ULONG lServicosMovimentacao;
    ULONG lPonteiroGrade1;
    ULONG lPonteiroGrade2;
    ULONG lPonteiroGrade3;
    ULONG lTecnico;
    ULONG lOcorrencia;
    ULONG lObservacao;
    ULONG lPtrIntegracaoCompras;
    ULONG lVersaoRegistro;
    BSTR bsOcorrencia;
    BSTR bsObservacao;
    ULONG lProdutosMovimentacao;
    LONG bGerarOS;
    LONG bOSIntegrada;
    LONG bFiller;
    ULONG lUsuarioConclusao;
    ULONG lCodigoManutencao;
    ULONG lRelacionamentoOS;
    ULONG lQtdCasasDecimais;
    ULONG dataConclusao;
    ULONG dataCancelamento;
    _REG_LISTA_MOVIMENTACAO_PRODUTO_PS listaProdutos;
    _REG_LISTA_MOVIMENTACAO_SERVICO_PS listaServicos;
    _REG_LISTA_RELACIONAMENTO_OS_PS listaRelacionamentos;
    _REG_LISTA_DMC_PS listaIntegracoesCompras;
    ULONG dataPrevista;
    ULONG dataProrrogacao;
    ULONG dataInicio;
    ULONG dataFim;
    LONG horaInicio;
    LONG horaFim;
    CY horaEfetiva;
    CY horaDuracao;
    CY vFrequenciaMedicao;
    CY vQuantidadeMedicao;
    char szMotivoProrrogacao[102];
    char szMotivoCancelamento[102];
    char szNomeManutencao[122];
    char szNrSerie[52];
    char szParadaManutencao[52];
    char szFiller[2];
};
static_assert(sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS) == 720);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dmcChave) == 0);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lFilial) == 8);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lCliente) == 12);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lSituacao) == 16);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lPonteiroCadastro) == 20);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lEquipamento) == 24);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lMarca) == 28);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lModelo) == 32);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lTipo) == 36);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lProduto) == 40);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lServicosMovimentacao) == 44);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lPonteiroGrade1) == 48);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lPonteiroGrade2) == 52);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lPonteiroGrade3) == 56);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lTecnico) == 60);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lOcorrencia) == 64);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lObservacao) == 68);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lPtrIntegracaoCompras) == 72);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lVersaoRegistro) == 76);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, bsOcorrencia) == 80);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, bsObservacao) == 88);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lProdutosMovimentacao) == 96);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, bGerarOS) == 100);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, bOSIntegrada) == 104);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, bFiller) == 108);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lUsuarioConclusao) == 112);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lCodigoManutencao) == 116);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lRelacionamentoOS) == 120);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, lQtdCasasDecimais) == 124);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataConclusao) == 128);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataCancelamento) == 132);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, listaProdutos) == 136);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, listaServicos) == 160);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, listaRelacionamentos) == 184);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, listaIntegracoesCompras) == 208);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataPrevista) == 232);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataProrrogacao) == 236);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataInicio) == 240);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, dataFim) == 244);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, horaInicio) == 248);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, horaFim) == 252);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, horaEfetiva) == 256);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, horaDuracao) == 264);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, vFrequenciaMedicao) == 272);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, vQuantidadeMedicao) == 280);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szMotivoProrrogacao) == 288);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szMotivoCancelamento) == 390);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szNomeManutencao) == 492);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szNrSerie) == 614);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szParadaManutencao) == 666);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szFiller) == 718);

// List of the stock locations of a maintenance order product (24 bytes).
struct _REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS {
    ULONG lQtdEstoque;
    ULONG lFiller;
    void* pFiller;
    _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS* pLocaisEstoque;
};
static_assert(sizeof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS) == 24);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS, lQtdEstoque) == 0);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS, pFiller) == 8);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS, pLocaisEstoque) == 16);

// Product of a maintenance order: grid, technician, planned and used quantity, stock locations (72 bytes).
struct _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS {
    ULONG lProduto;
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    ULONG lTecnico;
    ULONG lLocalEstoque;
    LONG bGerarSolicitacaoCompras;
    LONG bFiller;
    CY vQuantidadePrevista;
    CY vQuantidadeUtilizada;
    _REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS listaLocal;
};
static_assert(sizeof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS) == 72);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lProduto) == 0);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lGrade1) == 4);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lGrade2) == 8);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lGrade3) == 12);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lTecnico) == 16);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, lLocalEstoque) == 20);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, bGerarSolicitacaoCompras) == 24);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, bFiller) == 28);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, vQuantidadePrevista) == 32);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, vQuantidadeUtilizada) == 40);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS, listaLocal) == 48);

// Stock location of a maintenance order product: location, batch, volume and quantity (56 bytes).
struct _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS {
    BYTE cConteudoImportado;
    BYTE cTipoProducao;
    BYTE cFiller[6];
    ULONG lPonteiroLocal;
    ULONG lPonteiroLote;
    ULONG lPonteiroForLote;
    ULONG lPonteiroVolume;
    ULONG lPonteiroForEPTETPE;
    ULONG lPonteiroCliEPTETPE;
    ULONG lPonteiroControleFCI;
    ULONG lFiller;
    CY vQuantidadeEs;
    CY vPIUnitaria;
};
static_assert(sizeof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS) == 56);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, cConteudoImportado) == 0);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, cTipoProducao) == 1);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, cFiller) == 2);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroLocal) == 8);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroLote) == 12);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroForLote) == 16);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroVolume) == 20);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroForEPTETPE) == 24);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroCliEPTETPE) == 28);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lPonteiroControleFCI) == 32);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, lFiller) == 36);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, vQuantidadeEs) == 40);
static_assert(offsetof(_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS, vPIUnitaria) == 48);

// Service of a maintenance order: service, technician, planned and used quantity (32 bytes).
struct _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS {
    ULONG lServico;
    ULONG lTecnico;
    LONG bGerarSolicitacaoCompras;
    LONG bFiller;
    CY vQuantidadePrevista;
    CY vQuantidadeUtilizada;
};
static_assert(sizeof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS) == 32);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, lServico) == 0);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, lTecnico) == 4);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, bGerarSolicitacaoCompras) == 8);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, bFiller) == 12);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, vQuantidadePrevista) == 16);
static_assert(offsetof(_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS, vQuantidadeUtilizada) == 24);

// Link between a maintenance order and a service order (16 bytes).
struct _REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS {
    ULONGLONG dmcMovimentacao;
    ULONG lPtrOS;
    USHORT maOS;
    USHORT lFiller;
};
static_assert(sizeof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS) == 16);
static_assert(offsetof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS, dmcMovimentacao) == 0);
static_assert(offsetof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS, lPtrOS) == 8);
static_assert(offsetof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS, maOS) == 12);
static_assert(offsetof(_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS, lFiller) == 14);

// List of maintenance orders (24 bytes).
struct _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS {
    ULONG lQtdRegistros;
    ULONG lFiller;
    void* pFiller;
    _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegistros;
};
static_assert(sizeof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS) == 24);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS, lQtdRegistros) == 0);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS, pFiller) == 8);
static_assert(offsetof(_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS, pRegistros) == 16);

// Tree view item list (24 bytes).
struct _REG_LISTA_ITENS_TREE_PS {
    ULONG lQtdItens;
    ULONG lFiller;
    void* cFiller;
    _REG_ITEM_TREE_PS* pItens;
};
static_assert(sizeof(_REG_LISTA_ITENS_TREE_PS) == 24);
static_assert(offsetof(_REG_LISTA_ITENS_TREE_PS, lQtdItens) == 0);
static_assert(offsetof(_REG_LISTA_ITENS_TREE_PS, lFiller) == 4);
static_assert(offsetof(_REG_LISTA_ITENS_TREE_PS, cFiller) == 8);
static_assert(offsetof(_REG_LISTA_ITENS_TREE_PS, pItens) == 16);

// Tree view item: record pointer and type (8 bytes).
struct _REG_ITEM_TREE_PS {
    ULONG lPonteiro;
    ULONG lTipo;
};
static_assert(sizeof(_REG_ITEM_TREE_PS) == 8);
static_assert(offsetof(_REG_ITEM_TREE_PS, lPonteiro) == 0);
static_assert(offsetof(_REG_ITEM_TREE_PS, lTipo) == 4);
#pragma pack(pop)
