// The system's own result codes, the codes that thrown exceptions, machine
// faults and errno values are translated to, and the facility numbers of the
// ERP. Header-only: the message library (diagnostics/qvmens) includes it too.
#pragma once

#include <cstdint>

#include <zenta/WinTypes.h>

namespace zenta {

// ---- Facilities --------------------------------------------------------------
// The ERP's modules own the facilities 249 to 269; 255 is the enterprise data
// layer and 264 the system's core.
#define QV_FACILITY_FI_FINANCEIRO 249
#define QV_FACILITY_CT_CONTABILIDADE 250
#define QV_FACILITY_FS_FISCAL 251
#define QV_FACILITY_FA_FATURAMENTO 252
#define QV_FACILITY_ES_ESTOQUE 253
#define QV_FACILITY_CM_COMPRAS 254
#define QV_FACILITY_DF_EMPRESARIAL 255
#define QV_FACILITY_GE_EQUIPAMENTOS 256
#define QV_FACILITY_VE_VENDAS 257
#define QV_FACILITY_PR_PRODUCAO 258
#define QV_FACILITY_RH_PESSOAL 259
#define QV_FACILITY_CP_CONTAS_PAGAR 260
#define QV_FACILITY_RC_CONTAS_RECEBER 261
#define QV_FACILITY_PT_PATRIMONIO 262
#define QV_FACILITY_TR_TRANSPORTE 263
#define QV_FACILITY_CR_CORE 264
#define QV_FACILITY_RL_RELATORIOS 265
#define QV_FACILITY_AS_ASSISTENCIA_TECNICA 266
#define QV_FACILITY_CX_CAIXA 267
#define QV_FACILITY_WF_FLUXO_TRABALHO 268
#define QV_FACILITY_IN_INTEGRACAO 269

#define QV_FACILITY_ERP_PRIMEIRA 249
#define QV_FACILITY_ERP_ULTIMA 269

// X(name, facility): every ERP facility with its name, in number order.
#define QV_FACILIDADES_ERP(X)                  \
    X(QV_FACILITY_FI_FINANCEIRO, 249)          \
    X(QV_FACILITY_CT_CONTABILIDADE, 250)       \
    X(QV_FACILITY_FS_FISCAL, 251)              \
    X(QV_FACILITY_FA_FATURAMENTO, 252)         \
    X(QV_FACILITY_ES_ESTOQUE, 253)             \
    X(QV_FACILITY_CM_COMPRAS, 254)             \
    X(QV_FACILITY_DF_EMPRESARIAL, 255)         \
    X(QV_FACILITY_GE_EQUIPAMENTOS, 256)        \
    X(QV_FACILITY_VE_VENDAS, 257)              \
    X(QV_FACILITY_PR_PRODUCAO, 258)            \
    X(QV_FACILITY_RH_PESSOAL, 259)             \
    X(QV_FACILITY_CP_CONTAS_PAGAR, 260)        \
    X(QV_FACILITY_RC_CONTAS_RECEBER, 261)      \
    X(QV_FACILITY_PT_PATRIMONIO, 262)          \
    X(QV_FACILITY_TR_TRANSPORTE, 263)          \
    X(QV_FACILITY_CR_CORE, 264)                \
    X(QV_FACILITY_RL_RELATORIOS, 265)          \
    X(QV_FACILITY_AS_ASSISTENCIA_TECNICA, 266) \
    X(QV_FACILITY_CX_CAIXA, 267)               \
    X(QV_FACILITY_WF_FLUXO_TRABALHO, 268)      \
    X(QV_FACILITY_IN_INTEGRACAO, 269)

inline constexpr bool QVEhFacilidadeErp(uint32_t facility) {
    return facility >= QV_FACILITY_ERP_PRIMEIRA && facility <= QV_FACILITY_ERP_ULTIMA;
}

// ---- The system's own codes --------------------------------------------------
// X(name, value, description): description in UTF-8, used by the message
// library to describe the code.
#define QV_CODIGOS_SISTEMA(X)                                                                                   \
    X(E_QVCR_INCONSISTENCIA_RELACIONAMENTO_ARQUIVO_PAI_FILHO, 0x810809C9u,                                      \
      "Inconsistência no relacionamento entre arquivo pai e arquivo filho")                                    \
    X(E_QVCR_INCONSISTENCIA_CHAVE_QUANTIDADE, 0x810809CAu, "Inconsistência entre chave e quantidade de registros") \
    X(E_QVCR_ARQUIVO_TRA_ENCONTRADO, 0x810809CBu, "Arquivo de trabalho TRA encontrado")                         \
    X(E_QVCR_INICIALIZACAO_QVDATABASE_SEM_EMPRESA, 0x810809CFu, "Inicialização do banco de dados sem empresa")  \
    X(E_QVCR_ARQUIVO_NAO_EH_MOD_ESTRUTURA, 0x810809D8u, "Arquivo não corresponde à estrutura do registro")      \
    X(E_QVCR_TENTATIVA_LER_POSICAO_ZERO, 0x810809D9u, "Tentativa de ler a posição zero")                        \
    X(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO, 0x810809DAu,                                          \
      "Posição de leitura superior à quantidade de registros do arquivo")                                      \
    X(E_QVCR_POSICAO_GRAVACAO_SUPERIOR_QUANTIDADE_ARQUIVO, 0x810809DBu,                                         \
      "Posição de gravação superior à quantidade de registros do arquivo")                                     \
    X(E_QVCR_ARQUIVO_NAO_EXISTE, 0x810809E3u, "Arquivo não existe")                                             \
    X(E_QVCR_ARQUIVO_SINGLE_REG_NAO_TEM_TAMANHO_ESTRUTURA, 0x810809E7u,                                         \
      "Arquivo de registro único com tamanho diferente da estrutura")                                          \
    X(E_QVCR_NOME_ARQUIVO_GROUP_INVALIDO, 0x810809F1u, "Nome de arquivo de grupo inválido")                      \
    X(QV_E_NAO_INICIALIZADO, 0x81080A04u, "Objeto de serviço não inicializado")                                 \
    X(E_QVCR_VERSAO_CABECALHO_SUPERIOR_VERSAO_SISTEMA, 0x81080A3Eu,                                             \
      "Cabeçalho do arquivo gravado por versão superior à do sistema")                                         \
    X(E_QVCR_CRC_CABECALHO_NAO_CONFERE, 0x81080A3Fu, "CRC do cabeçalho do arquivo não confere")                 \
    X(E_QVCR_NOME_ARQUIVO_NAO_CONFERE, 0x81080A43u, "Nome do arquivo não confere com o cabeçalho")             \
    X(E_QVCR_INCONSISTENCIA_CONTROLE_CRIACAO_ARQUIVOS, 0x81080A50u,                                             \
      "Inconsistência no controle de criação de arquivos")                                                     \
    X(QV_E_SEM_OBJETO_LOGICA, 0x81080AA8u, "Objeto de serviço sem objeto de lógica")                            \
    X(E_QVCR_COLUNA_INDEXACAO_INVALIDA, 0x81080AA9u, "Coluna de indexação inválida")                            \
    X(E_QVCR_INDEXACAO_COM_POSICAO_ZERO, 0x81080AACu, "Indexação com posição zero")                             \
    X(E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA, 0x81080AADu, "Chave de indexação repetida")                           \
    X(QV_CONTEXTO_RELATORIO_ERRO, 0x81080BB1u, "Relatório de erro do servidor")                                 \
    X(E_QVCR_VERSAO_INCOMPATIVEL, 0x81080BFDu, "Versão da estrutura de inicialização incompatível")             \
    X(E_QVCR_TAMANHO_CABECALHO_NAO_CONFERE, 0x81080C07u, "Tamanho do cabeçalho do arquivo não confere")         \
    X(E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE, 0x81080C08u, "Tamanho do arquivo não confere")                        \
    X(E_QVCR_VERSAO_SISTEMA_INFERIOR_VERSAO_CRIACAO_CABECALHO, 0x81080C09u,                                     \
      "Versão do sistema inferior à versão de criação do arquivo")                                             \
    X(E_QVCR_VERSAO_SISTEMA_INFERIOR_VERSAO_MODIFICACAO_ARQUIVO, 0x81080C0Au,                                   \
      "Versão do sistema inferior à versão de modificação do arquivo")                                         \
    X(E_QVCR_CRC_INICIALIZACAO_INVALIDO, 0x81080C17u, "CRC da estrutura de inicialização inválido")             \
    X(E_QVCR_ESTRUTURA_INICIALIZACAO_INVALIDA, 0x81080C19u, "Estrutura de inicialização inválida")              \
    X(E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA, 0x81080C5Eu,                                         \
      "Quantidade de caracteres do arquivo texto inválida")                                                    \
    X(E_QVCR_ARQUIVO_SRK_ENCONTRADO, 0x81080D05u, "Arquivo de compactação SRK encontrado")                      \
    X(E_QVCR_ARQUIVO_CAB_ENCONTRADO, 0x81080D06u, "Arquivo de trabalho CAB encontrado")                         \
    X(E_QVCR_CHAMADA_DCOM_NAO_PERMITIDA, 0x81080D21u, "Chamada de criação de objeto não permitida")             \
    X(ER_QVDF_CO_CREATE_INSTANCE_INTERFACE_NULA, 0x80FF0AF8u,                                                   \
      "Criação de objeto retornou sucesso sem interface")

#define QV_DEFINE_CODIGO_(nome, valor, descricao) inline constexpr HRESULT nome = static_cast<HRESULT>(valor);
QV_CODIGOS_SISTEMA(QV_DEFINE_CODIGO_)
#undef QV_DEFINE_CODIGO_

// ---- Translated codes (facility 4) -------------------------------------------
inline constexpr HRESULT QV_E_ERRNO_SEM_CODIGO = static_cast<HRESULT>(0x8004EA60u);        // errno without its own code
inline constexpr HRESULT QV_E_QVEXCEPTION_SEM_ERRO_SO = static_cast<HRESULT>(0x8004EA61u); // CQVException, system error 0
inline constexpr HRESULT QV_E_EXCECAO_MEMORIA = static_cast<HRESULT>(0x8004EA62u);         // CMemoryException
inline constexpr HRESULT QV_E_EXCECAO_FRAMEWORK = static_cast<HRESULT>(0x8004EA63u);       // any other CException
inline constexpr HRESULT QV_E_BAD_ALLOC = static_cast<HRESULT>(0x8004EA64u);               // std::bad_alloc
inline constexpr HRESULT QV_E_STD_EXCEPTION = static_cast<HRESULT>(0x8004EA65u);           // any other std::exception
inline constexpr HRESULT QV_E_EXCECAO_DESCONHECIDA = static_cast<HRESULT>(0x8004EA66u);    // anything else thrown
inline constexpr HRESULT QV_E_EXCECAO_ARGUMENTO_INVALIDO = static_cast<HRESULT>(0x8004EA67u);  // CInvalidArgException

// Machine faults: 0x8004EAC5 to 0x8004EADB and 0x8004EE47 for an unlisted fault code.
inline constexpr HRESULT QV_E_FALHA_MAQUINA_PRIMEIRA = static_cast<HRESULT>(0x8004EAC5u);
inline constexpr HRESULT QV_E_FALHA_MAQUINA_ULTIMA = static_cast<HRESULT>(0x8004EADBu);
inline constexpr HRESULT QV_E_FALHA_MAQUINA_OUTRA = static_cast<HRESULT>(0x8004EE47u);

// errno values: 0x8004EADC to 0x8004EB02.
inline constexpr HRESULT QV_E_ERRNO_PRIMEIRO = static_cast<HRESULT>(0x8004EADCu);
inline constexpr HRESULT QV_E_ERRNO_ULTIMO = static_cast<HRESULT>(0x8004EB02u);

// True for the results of a caught machine fault.
inline constexpr bool QVEhResultadoFalhaMaquina(HRESULT hr) {
    const uint32_t v = static_cast<uint32_t>(hr);
    return (v >= 0x8004EAC5u && v <= 0x8004EADBu) || v == 0x8004EE47u;
}

}  // namespace zenta
