// The on-disk records of the preventive-maintenance module's files. The
// record-file engine writes them byte for byte, so these layouts are the
// module's file format: packed, little-endian, with 32- and 64-bit fields at
// whatever offset the format puts them (134, 142, 166, 582, ...). Every size
// and every field offset is checked below.
//
// Field types:
//   - counts, codes and record positions: ULONG (positions count from 1,
//     0 = none; a run of children is a first position and a count);
//   - dates (`data…`): ULONG day numbers of REG_QVDMA, 0 = no date. Plain
//     numbers rather than REG_QVDMA because the service copies them to and
//     from the interface records, which hold ULONG, and because REG_QVDMA's
//     constructors would make records non-trivial (the single-record files
//     clear their record with memset);
//   - times of day (`hora…`, 32 bits): LONG seconds of REG_QVHMS;
//     `horaMedicaoCalculo` is 64 bits; `horaDuracao`/`horaEfetiva` are hours
//     as currency;
//   - currency (`v…`): CY, the signed count of ten-thousandths;
//   - 32-bit booleans (`b…`, i32): LONG; one-byte flags and codes: BYTE;
//   - record keys (`dmc…`): REG_QVDMC, which is exactly the 8-byte key,
//     aligned to 1 and trivially copyable. Unlike a packed ULONGLONG field,
//     a key at offset 6 or 582 can be bound to a REG_QVDMC& or pointed to
//     without a misaligned access, and it reads its pointer and month/year
//     through its own members; the purchase-request key file holds the same
//     type as its records. The interface's 64-bit form is Get64() /
//     REG_QVDMC(ULONGLONG);
//   - texts: char arrays of the field's full width;
//   - bytes written as zero: BYTE arrays `cZeroN`.
//
// A freshly value-initialised record (`REG_… reg{}`) is all zero bytes, as
// a new record must be written.
#pragma once

#include <cstddef>
#include <type_traits>

#include <zenta/WinTypes.h>

#include "values/QVDMC.h"

namespace zenta {

#pragma pack(push, 1)

// ---- Plan registration ------------------------------------------------------

// Master record of a maintenance plan ("GEMPCADMANPREV.dat"). Texts are
// NUL-terminated within their fields.
struct REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 {
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
    ULONG lManutencoes;     // first maintenance in "GEMPCADMA.dat"
    ULONG lQtdManutencoes;
    ULONG lClientes;        // first client place in "GEMPCADMACLI.dat"
    ULONG lQtdClientes;
    ULONG lMedidor;         // position of the plan's meter in "GEMPMEDIDOR.dat"
    BYTE cZero1[2];
    LONG bExcluido;
    BYTE cZero2[12];
    char szAnoFabricacao[12];
    char szCapacidade[22];
    char szNrSerie[52];
    char szNrPatrimonial[52];
    char szMotor[52];
    char szFabricante[52];
    char szCampoDinamico1[52];
    char szCampoDinamico2[52];
    char szCampoDinamico3[52];
    char szCampoDinamico4[52];
    char szCampoDinamico5[52];
    BYTE cOrigem;
    BYTE cZero3[1];
    REG_QVDMC dmcOrigem;
    ULONG lPonteiroMedicao;
    ULONG lUsuarioUltimaAlteracao;  // user code of the last writer
    BYTE cZero4[42];
};

// One client place of a plan ("GEMPCADMACLI.dat"). Texts are NUL-terminated.
struct REG_CADASTRO_MANUTENCAO_CLIENTE_V1 {
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
    BYTE cZero1[130];
};

// One planned service of a maintenance ("GEMPCADMASR.dat").
struct REG_CADASTRO_MANUTENCAO_SERVICO_V1 {
    ULONG lServico;
    ULONG lTecnico;
    CY vQuantidadePrevista;
    BYTE cZero1[48];
};

// One planned product of a maintenance ("GEMPCADMAPR.dat").
struct REG_CADASTRO_MANUTENCAO_PRODUTO_V1 {
    ULONG lProduto;
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    CY vQuantidadePrevista;
    ULONG lTecnico;
    ULONG lLocalEstoque;  // first stock place in "GEMPCADMALEPR.dat"
    ULONG lQtdEstoque;
    BYTE cZero1[92];
};

// One stock place of a planned product ("GEMPCADMALEPR.dat").
struct REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1 {
    CY vQuantidadeEs;
    CY vPIUnitaria;
    ULONG lPonteiroLocal;
    ULONG lPonteiroLote;
    ULONG lPonteiroForLote;
    ULONG lPonteiroVolume;
    ULONG lPonteiroForEPTETPE;
    ULONG lPonteiroCliEPTETPE;
    ULONG lPonteiroControleFCI;
    BYTE cConteudoImportado;
    BYTE cTipoProducao;
    BYTE cZero1[18];
};

// One maintenance of a plan ("GEMPCADMA.dat").
struct REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1 {
    char szNomeManutencao[122];  // NUL-terminated
    ULONG lServicoCadastro;
    ULONG lFrequencia;           // position of its frequency in "GEMPCADMAFR.dat"
    ULONG lTecnico;
    ULONG lServicosManutencao;   // first planned service in "GEMPCADMASR.dat"
    ULONG lQtdServicos;
    ULONG lProdutosManutencao;   // first planned product in "GEMPCADMAPR.dat"
    ULONG lQtdProdutos;
    ULONG lCodigoManutencao;
    ULONG lQuantidadeDiasFalta;
    ULONG dataFinalContrato;
    ULONG dataUltimaVerificacaoMedicao;
    CY vQuantidadeFalta;
    BYTE bMovimentacaoGerada;    // 0 or 1
    BYTE bTemMedicaoInformada;   // 0 or 1
    BYTE cZero1[80];
};

// The frequency of one maintenance ("GEMPCADMAFR.dat").
struct REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1 {
    ULONG lFrequenciaTempo;
    ULONG lFrequenciaLimiteTempo;
    ULONG lTipoFrequenciaTempo;
    BYTE cZero1[4];
    ULONG lTipoFrequencia;
    ULONG lQtdCasasDecimaisMedicao;
    CY vFrequenciaMedicao;
    CY vFrequenciaLimiteMedicao;
    CY vMedicaoInicial;
    ULONG dataInicial;
    ULONG lObservacao;  // text position in "GEMPCADMAFRTXT.dat", 0 = none
    CY horaDuracao;
    char szParadaManutencao[52];  // NUL-terminated
    BYTE cZero2[140];
};

// ---- Meters and readings ----------------------------------------------------

// One meter reading of the history ("GEMPCADHISME<mmaaaa>.dat", keyed by the
// month/year of dataGravacao).
struct REG_CADASTRO_HISTORICO_MEDICOES_V1 {
    ULONG dataMedicaoCalculo;
    LONGLONG horaMedicaoCalculo;
    ULONG dataGravacao;
    ULONG dataMedicaoInformada;
    ULONG lEquipamento;
    ULONG lProduto;
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    ULONG lMarca;
    ULONG lModelo;
    ULONG lTipo;
    char szNrSerie[52];  // NUL-terminated
    ULONG lTecnico;
    CY vQuantidadeMedicao;
    ULONG lQtdCasasDecimais;
    LONG horaMedicaoInformada;
    ULONG lPonteiroCadastro;  // position of the plan the reading belongs to
    BYTE cMedicaoAtiva;
    BYTE cZero1[127];
};

// The current reading of a meter ("GEMPMED.dat"): the history record's
// fields at the same offsets (checked below), as a type of its own so that
// each file carries its own record type; horaMedicaoInformada holds the time
// the service settles for the reading.
struct REG_CADASTRO_MEDICAO_ATUAL_V1 {
    ULONG dataMedicaoCalculo;
    LONGLONG horaMedicaoCalculo;
    ULONG dataGravacao;
    ULONG dataMedicaoInformada;
    ULONG lEquipamento;
    ULONG lProduto;
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    ULONG lMarca;
    ULONG lModelo;
    ULONG lTipo;
    char szNrSerie[52];
    ULONG lTecnico;
    CY vQuantidadeMedicao;
    ULONG lQtdCasasDecimais;
    LONG horaMedicaoInformada;
    ULONG lPonteiroCadastro;
    BYTE cMedicaoAtiva;
    BYTE cZero1[127];
};

// One meter ("GEMPMEDIDOR.dat").
struct REG_CADASTRO_MEDIDORES_V1 {
    CY vQuantidadeInicial;
    CY vQuantidadeAtual;
    ULONG lPonteiroUnMedida;
    ULONG lPonteiroCadastro;  // position of the plan the meter belongs to
    ULONG lQuantidadeMedidoresSubstituidos;
    BYTE cTipoUnidadeMedida;
    BYTE cZero1[3];
};

// ---- Maintenance orders -----------------------------------------------------

// One maintenance order ("GEMOVMANUT<mmaaaa>.dat", keyed by the month/year
// of recording). Its item runs (products, services, purchase-request keys)
// lie in the member files of the same key; its service-order links in
// "GEMPRELMOVOS.dat". The texts are copied at their full width and padded
// with zero bytes: a text that fills its field has no terminator, so they
// are read with a bound (strnlen), never as C strings.
struct REG_MOVIMENTACAO_MANUT_PREV_V1 {
    REG_QVDMC dmcChave;  // the order's own key
    ULONG lFilial;
    ULONG lCliente;
    ULONG lSituacao;
    ULONG lPonteiroCadastro;  // position of the plan
    ULONG lEquipamento;
    ULONG lMarca;
    ULONG lModelo;
    ULONG lProduto;
    ULONG lTipo;
    LONG bGerarOS;
    LONG bOSIntegrada;
    ULONG lPonteiroGrade1;
    ULONG lPonteiroGrade2;
    ULONG lPonteiroGrade3;
    ULONG lTecnico;
    ULONG lOcorrencia;             // text position in "GEMOVMANUTTXT.dat"
    ULONG lObservacao;             // text position in "GEMOVMANUTTXT.dat"
    ULONG lProdutosMovimentacao;   // first product, same month file key
    ULONG lQtdProdutos;
    ULONG lServicosMovimentacao;   // first service, same month file key
    ULONG lQtdServicos;
    ULONG lQtdRelacionamentoOS;    // the count comes before its first position here
    ULONG lRelacionamentoOS;       // first link in "GEMPRELMOVOS.dat"
    ULONG lQtdCasasDecimais;
    ULONG lUsuarioConclusao;
    ULONG lCodigoManutencao;
    ULONG dataPrevista;
    ULONG dataProrrogacao;
    ULONG dataInicio;
    ULONG dataFim;
    ULONG dataCancelamento;
    ULONG dataConclusao;
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
    ULONG lPtrIntegracaoCompras;   // first purchase-request key, same month file key
    ULONG lQtdDMC;
    ULONG lVersaoRegistro;
    BYTE cZero1[22];
};

// One product of an order ("GEMOVPROMANUT<mmaaaa>.dat").
struct REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1 {
    ULONG lProduto;
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    CY vQuantidadePrevista;
    CY vQuantidadeUtilizada;
    ULONG lTecnico;
    ULONG lLocalEstoque;  // first stock place, same month file key
    ULONG lQtdEstoque;
    BYTE bGerarSolicitacaoCompras;
    BYTE cZero1[83];
};

// One stock place of an order's product ("GEMOVLEPROD<mmaaaa>.dat"): the
// fields of the planned product's stock place at the same offsets (checked
// below).
struct REG_MOVIMENTACAO_LOCAL_PRODUTO_V1 {
    CY vQuantidadeEs;
    CY vPIUnitaria;
    ULONG lPonteiroLocal;
    ULONG lPonteiroLote;
    ULONG lPonteiroForLote;
    ULONG lPonteiroVolume;
    ULONG lPonteiroForEPTETPE;
    ULONG lPonteiroCliEPTETPE;
    ULONG lPonteiroControleFCI;
    BYTE cConteudoImportado;
    BYTE cTipoProducao;
    BYTE cZero1[18];
};

// One service of an order ("GEMOVSERMANUT<mmaaaa>.dat").
struct REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1 {
    ULONG lServico;
    ULONG lTecnico;
    CY vQuantidadePrevista;
    CY vQuantidadeUtilizada;
    BYTE bGerarSolicitacaoCompras;
    BYTE cZero1[39];
};

// One link from a maintenance order to a service order of the
// technical-assistance module ("GEMPRELMOVOS.dat").
struct REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1 {
    ULONG lPtrOS;
    USHORT maOS;                // month/year code of the service order
    REG_QVDMC dmcMovimentacao;  // the maintenance order's key, at offset 6
    BYTE cZero1[2];
};

// One entry of the daily notice list ("GEMOVDIA.dat").
struct REG_MOVIMENTACOES_DIARIAS_V1 {
    ULONG lPonteiroMovimentacao;  // the order's position in its month file (the pointer of its key)
    ULONG bMostrado;              // 0 when written by order generation, 1 once shown
    USHORT maMovimentacao;        // month/year code of the order
    BYTE cZero1[6];
};

// ---- Single-record files ----------------------------------------------------

// The module's properties, the one record of "GEMPCADPROP.dat". Captions hold
// at most 31 characters and a terminator.
struct REG_CADASTRO_PROPRIEDADES_V1 {
    BYTE cAvisarDataProximaManutencaoComAntecedencia;
    BYTE cAvisarPorEmail;
    BYTE cAvisarComTelaAviso;
    BYTE cZero1[1];
    ULONG lQtdDiasAviso;
    ULONG dataUltimaVerificacaoMedicao;
    char szNomeCampoDinamico1[32];
    char szNomeCampoDinamico2[32];
    char szNomeCampoDinamico3[32];
    char szNomeCampoDinamico4[32];
    char szNomeCampoDinamico5[32];
    BYTE cZero2[852];
};

// The one record of "GEMPMOVPROP.dat": 128 bytes whose contents no operation
// of the module reads or writes. The file is kept (opened and loaded with
// the others) and its bytes are carried unchanged.
struct REG_MOVIMENTACAO_PROPRIEDADES_V1 {
    BYTE cReservado[128];
};

// The record of the version file "GEMANUTENCAOPREVENTIVAVS.dat": the data
// version of the module; the bytes after it are not read or written here.
struct REG_GE_MANUTENCAO_PREVENTIVA_VERSAO {
    USHORT usVersao;
    BYTE cNaoUsado[14];
};

#pragma pack(pop)

// ---- Layout checks ------------------------------------------------------------

// What the engine relies on: byte-for-byte copies and offsetof.
#define QV_REGISTRO_EM_DISCO(T, tamanho)                                              \
    static_assert(sizeof(T) == (tamanho), #T ": size");                              \
    static_assert(alignof(T) == 1, #T ": packed");                                   \
    static_assert(std::is_trivially_copyable_v<T>, #T ": written byte for byte");    \
    static_assert(std::is_standard_layout_v<T>, #T ": fields at fixed offsets")

#define QV_OFFSET(T, campo, offset) static_assert(offsetof(T, campo) == (offset), #T "::" #campo)

QV_REGISTRO_EM_DISCO(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, 640);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lFilial, 0);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lEquipamento, 4);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lProduto, 8);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lGrade1, 12);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lGrade2, 16);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lGrade3, 20);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lMarca, 24);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lModelo, 28);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lTipo, 32);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lSituacao, 36);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lManutencoes, 40);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lQtdManutencoes, 44);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lClientes, 48);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lQtdClientes, 52);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lMedidor, 56);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, cZero1, 60);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, bExcluido, 62);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, cZero2, 66);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, szAnoFabricacao, 78);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, szCapacidade, 90);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, szNrSerie, 112);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, szNrPatrimonial, 164);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, szMotor, 216);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, szFabricante, 268);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, szCampoDinamico1, 320);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, szCampoDinamico2, 372);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, szCampoDinamico3, 424);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, szCampoDinamico4, 476);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, szCampoDinamico5, 528);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, cOrigem, 580);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, cZero3, 581);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, dmcOrigem, 582);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lPonteiroMedicao, 590);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lUsuarioUltimaAlteracao, 594);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, cZero4, 598);

QV_REGISTRO_EM_DISCO(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, 384);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, lCliente, 0);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, lMunicipio, 4);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, szLocalFisico, 8);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, szEndereco, 60);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, szNumero, 102);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, szComplemento, 114);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, szBairro, 176);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, szCEP, 198);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, szContato, 210);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, dataInicial, 242);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, dataFinal, 246);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, bSemNumero, 250);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_CLIENTE_V1, cZero1, 254);

QV_REGISTRO_EM_DISCO(REG_CADASTRO_MANUTENCAO_SERVICO_V1, 64);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_SERVICO_V1, lServico, 0);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_SERVICO_V1, lTecnico, 4);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_SERVICO_V1, vQuantidadePrevista, 8);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_SERVICO_V1, cZero1, 16);

QV_REGISTRO_EM_DISCO(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, 128);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, lProduto, 0);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, lGrade1, 4);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, lGrade2, 8);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, lGrade3, 12);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, vQuantidadePrevista, 16);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, lTecnico, 24);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, lLocalEstoque, 28);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, lQtdEstoque, 32);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, cZero1, 36);

QV_REGISTRO_EM_DISCO(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, 64);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, vQuantidadeEs, 0);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, vPIUnitaria, 8);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, lPonteiroLocal, 16);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, lPonteiroLote, 20);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, lPonteiroForLote, 24);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, lPonteiroVolume, 28);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, lPonteiroForEPTETPE, 32);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, lPonteiroCliEPTETPE, 36);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, lPonteiroControleFCI, 40);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, cConteudoImportado, 44);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, cTipoProducao, 45);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1, cZero1, 46);

QV_REGISTRO_EM_DISCO(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, 256);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, szNomeManutencao, 0);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lServicoCadastro, 122);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lFrequencia, 126);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lTecnico, 130);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lServicosManutencao, 134);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lQtdServicos, 138);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lProdutosManutencao, 142);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lQtdProdutos, 146);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lCodigoManutencao, 150);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lQuantidadeDiasFalta, 154);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, dataFinalContrato, 158);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, dataUltimaVerificacaoMedicao, 162);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, vQuantidadeFalta, 166);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, bMovimentacaoGerada, 174);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, bTemMedicaoInformada, 175);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, cZero1, 176);

QV_REGISTRO_EM_DISCO(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, 256);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, lFrequenciaTempo, 0);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, lFrequenciaLimiteTempo, 4);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, lTipoFrequenciaTempo, 8);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, cZero1, 12);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, lTipoFrequencia, 16);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, lQtdCasasDecimaisMedicao, 20);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, vFrequenciaMedicao, 24);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, vFrequenciaLimiteMedicao, 32);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, vMedicaoInicial, 40);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, dataInicial, 48);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, lObservacao, 52);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, horaDuracao, 56);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, szParadaManutencao, 64);
QV_OFFSET(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, cZero2, 116);

QV_REGISTRO_EM_DISCO(REG_CADASTRO_HISTORICO_MEDICOES_V1, 256);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, dataMedicaoCalculo, 0);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, horaMedicaoCalculo, 4);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, dataGravacao, 12);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, dataMedicaoInformada, 16);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, lEquipamento, 20);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, lProduto, 24);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, lGrade1, 28);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, lGrade2, 32);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, lGrade3, 36);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, lMarca, 40);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, lModelo, 44);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, lTipo, 48);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, szNrSerie, 52);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, lTecnico, 104);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, vQuantidadeMedicao, 108);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, lQtdCasasDecimais, 116);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, horaMedicaoInformada, 120);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, lPonteiroCadastro, 124);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, cMedicaoAtiva, 128);
QV_OFFSET(REG_CADASTRO_HISTORICO_MEDICOES_V1, cZero1, 129);

// The current reading has the history record's layout, field for field.
QV_REGISTRO_EM_DISCO(REG_CADASTRO_MEDICAO_ATUAL_V1, 256);
#ifdef __cpp_lib_is_layout_compatible  // not in every compiler this project builds with
static_assert(std::is_layout_compatible_v<REG_CADASTRO_MEDICAO_ATUAL_V1, REG_CADASTRO_HISTORICO_MEDICOES_V1>);
#endif
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, dataMedicaoCalculo, 0);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, horaMedicaoCalculo, 4);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, dataGravacao, 12);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, dataMedicaoInformada, 16);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, lEquipamento, 20);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, lProduto, 24);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, lGrade1, 28);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, lGrade2, 32);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, lGrade3, 36);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, lMarca, 40);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, lModelo, 44);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, lTipo, 48);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, szNrSerie, 52);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, lTecnico, 104);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, vQuantidadeMedicao, 108);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, lQtdCasasDecimais, 116);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, horaMedicaoInformada, 120);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, lPonteiroCadastro, 124);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, cMedicaoAtiva, 128);
QV_OFFSET(REG_CADASTRO_MEDICAO_ATUAL_V1, cZero1, 129);

QV_REGISTRO_EM_DISCO(REG_CADASTRO_MEDIDORES_V1, 32);
QV_OFFSET(REG_CADASTRO_MEDIDORES_V1, vQuantidadeInicial, 0);
QV_OFFSET(REG_CADASTRO_MEDIDORES_V1, vQuantidadeAtual, 8);
QV_OFFSET(REG_CADASTRO_MEDIDORES_V1, lPonteiroUnMedida, 16);
QV_OFFSET(REG_CADASTRO_MEDIDORES_V1, lPonteiroCadastro, 20);
QV_OFFSET(REG_CADASTRO_MEDIDORES_V1, lQuantidadeMedidoresSubstituidos, 24);
QV_OFFSET(REG_CADASTRO_MEDIDORES_V1, cTipoUnidadeMedida, 28);
QV_OFFSET(REG_CADASTRO_MEDIDORES_V1, cZero1, 29);

QV_REGISTRO_EM_DISCO(REG_MOVIMENTACAO_MANUT_PREV_V1, 640);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, dmcChave, 0);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lFilial, 8);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lCliente, 12);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lSituacao, 16);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lPonteiroCadastro, 20);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lEquipamento, 24);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lMarca, 28);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lModelo, 32);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lProduto, 36);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lTipo, 40);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, bGerarOS, 44);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, bOSIntegrada, 48);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lPonteiroGrade1, 52);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lPonteiroGrade2, 56);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lPonteiroGrade3, 60);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lTecnico, 64);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lOcorrencia, 68);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lObservacao, 72);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lProdutosMovimentacao, 76);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lQtdProdutos, 80);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lServicosMovimentacao, 84);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lQtdServicos, 88);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lQtdRelacionamentoOS, 92);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lRelacionamentoOS, 96);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lQtdCasasDecimais, 100);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lUsuarioConclusao, 104);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lCodigoManutencao, 108);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, dataPrevista, 112);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, dataProrrogacao, 116);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, dataInicio, 120);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, dataFim, 124);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, dataCancelamento, 128);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, dataConclusao, 132);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, horaInicio, 136);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, horaFim, 140);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, horaEfetiva, 144);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, horaDuracao, 152);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, vFrequenciaMedicao, 160);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, vQuantidadeMedicao, 168);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, szMotivoProrrogacao, 176);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, szMotivoCancelamento, 278);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, szNomeManutencao, 380);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, szNrSerie, 502);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, szParadaManutencao, 554);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lPtrIntegracaoCompras, 606);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lQtdDMC, 610);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, lVersaoRegistro, 614);
QV_OFFSET(REG_MOVIMENTACAO_MANUT_PREV_V1, cZero1, 618);

QV_REGISTRO_EM_DISCO(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, 128);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, lProduto, 0);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, lGrade1, 4);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, lGrade2, 8);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, lGrade3, 12);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, vQuantidadePrevista, 16);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, vQuantidadeUtilizada, 24);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, lTecnico, 32);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, lLocalEstoque, 36);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, lQtdEstoque, 40);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, bGerarSolicitacaoCompras, 44);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, cZero1, 45);

// An order's stock place has the planned stock place's layout, field for field.
QV_REGISTRO_EM_DISCO(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, 64);
#ifdef __cpp_lib_is_layout_compatible
static_assert(
    std::is_layout_compatible_v<REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1>);
#endif
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, vQuantidadeEs, 0);
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, vPIUnitaria, 8);
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, lPonteiroLocal, 16);
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, lPonteiroLote, 20);
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, lPonteiroForLote, 24);
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, lPonteiroVolume, 28);
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, lPonteiroForEPTETPE, 32);
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, lPonteiroCliEPTETPE, 36);
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, lPonteiroControleFCI, 40);
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, cConteudoImportado, 44);
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, cTipoProducao, 45);
QV_OFFSET(REG_MOVIMENTACAO_LOCAL_PRODUTO_V1, cZero1, 46);

QV_REGISTRO_EM_DISCO(REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1, 64);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1, lServico, 0);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1, lTecnico, 4);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1, vQuantidadePrevista, 8);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1, vQuantidadeUtilizada, 16);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1, bGerarSolicitacaoCompras, 24);
QV_OFFSET(REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1, cZero1, 25);

QV_REGISTRO_EM_DISCO(REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1, 16);
QV_OFFSET(REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1, lPtrOS, 0);
QV_OFFSET(REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1, maOS, 4);
QV_OFFSET(REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1, dmcMovimentacao, 6);
QV_OFFSET(REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1, cZero1, 14);

QV_REGISTRO_EM_DISCO(REG_MOVIMENTACOES_DIARIAS_V1, 16);
QV_OFFSET(REG_MOVIMENTACOES_DIARIAS_V1, lPonteiroMovimentacao, 0);
QV_OFFSET(REG_MOVIMENTACOES_DIARIAS_V1, bMostrado, 4);
QV_OFFSET(REG_MOVIMENTACOES_DIARIAS_V1, maMovimentacao, 8);
QV_OFFSET(REG_MOVIMENTACOES_DIARIAS_V1, cZero1, 10);

QV_REGISTRO_EM_DISCO(REG_CADASTRO_PROPRIEDADES_V1, 1024);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, cAvisarDataProximaManutencaoComAntecedencia, 0);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, cAvisarPorEmail, 1);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, cAvisarComTelaAviso, 2);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, cZero1, 3);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, lQtdDiasAviso, 4);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, dataUltimaVerificacaoMedicao, 8);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, szNomeCampoDinamico1, 12);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, szNomeCampoDinamico2, 44);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, szNomeCampoDinamico3, 76);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, szNomeCampoDinamico4, 108);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, szNomeCampoDinamico5, 140);
QV_OFFSET(REG_CADASTRO_PROPRIEDADES_V1, cZero2, 172);

QV_REGISTRO_EM_DISCO(REG_MOVIMENTACAO_PROPRIEDADES_V1, 128);

QV_REGISTRO_EM_DISCO(REG_GE_MANUTENCAO_PREVENTIVA_VERSAO, 16);
QV_OFFSET(REG_GE_MANUTENCAO_PREVENTIVA_VERSAO, usVersao, 0);
QV_OFFSET(REG_GE_MANUTENCAO_PREVENTIVA_VERSAO, cNaoUsado, 2);

#undef QV_OFFSET
#undef QV_REGISTRO_EM_DISCO

}  // namespace zenta
