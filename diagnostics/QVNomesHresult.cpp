#include "diagnostics/QVNomesHresult.h"

#include <cerrno>

#include "diagnostics/QVCodigosErro.h"

namespace zenta {

namespace {

struct Nome {
    uint32_t valor;
    std::string_view nome;
};

template <std::size_t N>
std::string_view Procura(const Nome (&tabela)[N], uint32_t valor) {
    for (const Nome& n : tabela)
        if (n.valor == valor) return n.nome;
    return {};
}

constexpr Nome kFacilidadesWindows[] = {
    {0, "FACILITY_NULL"},
    {1, "FACILITY_RPC"},
    {2, "FACILITY_DISPATCH"},
    {3, "FACILITY_STORAGE"},
    {4, "FACILITY_ITF"},
    {7, "FACILITY_WIN32"},
    {8, "FACILITY_WINDOWS"},
    {9, "FACILITY_SSPI"},
    {10, "FACILITY_CONTROL"},
    {11, "FACILITY_CERT"},
    {12, "FACILITY_INTERNET"},
    {13, "FACILITY_MEDIASERVER"},
    {14, "FACILITY_MSMQ"},
    {15, "FACILITY_SETUPAPI"},
    {16, "FACILITY_SCARD"},
    {17, "FACILITY_COMPLUS"},
    {18, "FACILITY_AAF"},
    {19, "FACILITY_URT"},
    {20, "FACILITY_ACS"},
    {21, "FACILITY_DPLAY"},
    {22, "FACILITY_UMI"},
    {23, "FACILITY_SXS"},
    {24, "FACILITY_WINDOWS_CE"},
    {25, "FACILITY_HTTP"},
    {26, "FACILITY_USERMODE_COMMONLOG"},
    {27, "FACILITY_WER"},
    {31, "FACILITY_USERMODE_FILTER_MANAGER"},
    {32, "FACILITY_BACKGROUNDCOPY"},
    {33, "FACILITY_CONFIGURATION"},
    {34, "FACILITY_STATE_MANAGEMENT"},
    {35, "FACILITY_METADIRECTORY"},
    {36, "FACILITY_WINDOWSUPDATE"},
    {37, "FACILITY_DIRECTORYSERVICE"},
    {38, "FACILITY_GRAPHICS"},
    {39, "FACILITY_SHELL"},
    {40, "FACILITY_TPM_SERVICES"},
    {41, "FACILITY_TPM_SOFTWARE"},
    {48, "FACILITY_PLA"},
    {49, "FACILITY_FVE"},
    {50, "FACILITY_FWP"},
    {51, "FACILITY_WINRM"},
    {52, "FACILITY_NDIS"},
    {53, "FACILITY_USERMODE_HYPERVISOR"},
    {54, "FACILITY_CMI"},
    {55, "FACILITY_USERMODE_VIRTUALIZATION"},
    {56, "FACILITY_USERMODE_VOLMGR"},
    {57, "FACILITY_BCD"},
    {58, "FACILITY_USERMODE_VHD"},
    {60, "FACILITY_SDIAG"},
    {61, "FACILITY_WEBSERVICES"},
    {80, "FACILITY_WINDOWS_DEFENDER"},
    {81, "FACILITY_OPC"},
    {2168, "FACILITY_DIRECTMUSIC"},
    {2169, "FACILITY_DIRECT3D10"},
    {2170, "FACILITY_DXGI"},
    {2171, "FACILITY_DXGI_DDI"},
    {2172, "FACILITY_DIRECT3D11"},
    {2200, "FACILITY_WINCODEC_DWRITE_DWM"},
    {2201, "FACILITY_DIRECT2D"},
};

#define QV_NOME_FACILIDADE_ERP_(nome, numero) {numero, #nome},
constexpr Nome kFacilidadesErp[] = {QV_FACILIDADES_ERP(QV_NOME_FACILIDADE_ERP_)};
#undef QV_NOME_FACILIDADE_ERP_

constexpr Nome kErrosWin32[] = {
    {0, "ERROR_SUCCESS"},
    {1, "ERROR_INVALID_FUNCTION"},
    {2, "ERROR_FILE_NOT_FOUND"},
    {3, "ERROR_PATH_NOT_FOUND"},
    {4, "ERROR_TOO_MANY_OPEN_FILES"},
    {5, "ERROR_ACCESS_DENIED"},
    {6, "ERROR_INVALID_HANDLE"},
    {7, "ERROR_ARENA_TRASHED"},
    {8, "ERROR_NOT_ENOUGH_MEMORY"},
    {9, "ERROR_INVALID_BLOCK"},
    {10, "ERROR_BAD_ENVIRONMENT"},
    {11, "ERROR_BAD_FORMAT"},
    {12, "ERROR_INVALID_ACCESS"},
    {13, "ERROR_INVALID_DATA"},
    {14, "ERROR_OUTOFMEMORY"},
    {15, "ERROR_INVALID_DRIVE"},
    {16, "ERROR_CURRENT_DIRECTORY"},
    {17, "ERROR_NOT_SAME_DEVICE"},
    {18, "ERROR_NO_MORE_FILES"},
    {19, "ERROR_WRITE_PROTECT"},
    {20, "ERROR_BAD_UNIT"},
    {21, "ERROR_NOT_READY"},
    {22, "ERROR_BAD_COMMAND"},
    {23, "ERROR_CRC"},
    {24, "ERROR_BAD_LENGTH"},
    {25, "ERROR_SEEK"},
    {26, "ERROR_NOT_DOS_DISK"},
    {27, "ERROR_SECTOR_NOT_FOUND"},
    {28, "ERROR_OUT_OF_PAPER"},
    {29, "ERROR_WRITE_FAULT"},
    {30, "ERROR_READ_FAULT"},
    {31, "ERROR_GEN_FAILURE"},
    {32, "ERROR_SHARING_VIOLATION"},
    {33, "ERROR_LOCK_VIOLATION"},
    {34, "ERROR_WRONG_DISK"},
    {36, "ERROR_SHARING_BUFFER_EXCEEDED"},
    {38, "ERROR_HANDLE_EOF"},
    {39, "ERROR_HANDLE_DISK_FULL"},
    {50, "ERROR_NOT_SUPPORTED"},
    {51, "ERROR_REM_NOT_LIST"},
    {52, "ERROR_DUP_NAME"},
    {53, "ERROR_BAD_NETPATH"},
    {54, "ERROR_NETWORK_BUSY"},
    {55, "ERROR_DEV_NOT_EXIST"},
    {56, "ERROR_TOO_MANY_CMDS"},
    {57, "ERROR_ADAP_HDW_ERR"},
    {58, "ERROR_BAD_NET_RESP"},
    {59, "ERROR_UNEXP_NET_ERR"},
    {60, "ERROR_BAD_REM_ADAP"},
    {61, "ERROR_PRINTQ_FULL"},
    {62, "ERROR_NO_SPOOL_SPACE"},
    {63, "ERROR_PRINT_CANCELLED"},
    {64, "ERROR_NETNAME_DELETED"},
    {65, "ERROR_NETWORK_ACCESS_DENIED"},
    {66, "ERROR_BAD_DEV_TYPE"},
    {67, "ERROR_BAD_NET_NAME"},
    {68, "ERROR_TOO_MANY_NAMES"},
    {69, "ERROR_TOO_MANY_SESS"},
    {70, "ERROR_SHARING_PAUSED"},
    {71, "ERROR_REQ_NOT_ACCEP"},
    {72, "ERROR_REDIR_PAUSED"},
    {80, "ERROR_FILE_EXISTS"},
    {82, "ERROR_CANNOT_MAKE"},
    {83, "ERROR_FAIL_I24"},
    {84, "ERROR_OUT_OF_STRUCTURES"},
    {85, "ERROR_ALREADY_ASSIGNED"},
    {86, "ERROR_INVALID_PASSWORD"},
    {87, "ERROR_INVALID_PARAMETER"},
    {88, "ERROR_NET_WRITE_FAULT"},
    {89, "ERROR_NO_PROC_SLOTS"},
    {100, "ERROR_TOO_MANY_SEMAPHORES"},
    {101, "ERROR_EXCL_SEM_ALREADY_OWNED"},
    {102, "ERROR_SEM_IS_SET"},
    {103, "ERROR_TOO_MANY_SEM_REQUESTS"},
    {104, "ERROR_INVALID_AT_INTERRUPT_TIME"},
    {105, "ERROR_SEM_OWNER_DIED"},
    {106, "ERROR_SEM_USER_LIMIT"},
    {107, "ERROR_DISK_CHANGE"},
    {108, "ERROR_DRIVE_LOCKED"},
    {109, "ERROR_BROKEN_PIPE"},
    {110, "ERROR_OPEN_FAILED"},
    {111, "ERROR_BUFFER_OVERFLOW"},
    {112, "ERROR_DISK_FULL"},
    {113, "ERROR_NO_MORE_SEARCH_HANDLES"},
    {114, "ERROR_INVALID_TARGET_HANDLE"},
    {117, "ERROR_INVALID_CATEGORY"},
    {118, "ERROR_INVALID_VERIFY_SWITCH"},
    {119, "ERROR_BAD_DRIVER_LEVEL"},
    {120, "ERROR_CALL_NOT_IMPLEMENTED"},
    {121, "ERROR_SEM_TIMEOUT"},
    {122, "ERROR_INSUFFICIENT_BUFFER"},
    {123, "ERROR_INVALID_NAME"},
    {124, "ERROR_INVALID_LEVEL"},
    {125, "ERROR_NO_VOLUME_LABEL"},
    {126, "ERROR_MOD_NOT_FOUND"},
    {127, "ERROR_PROC_NOT_FOUND"},
    {128, "ERROR_WAIT_NO_CHILDREN"},
    {129, "ERROR_CHILD_NOT_COMPLETE"},
    {130, "ERROR_DIRECT_ACCESS_HANDLE"},
    {131, "ERROR_NEGATIVE_SEEK"},
    {132, "ERROR_SEEK_ON_DEVICE"},
    {144, "ERROR_DIR_NOT_ROOT"},
    {145, "ERROR_DIR_NOT_EMPTY"},
    {158, "ERROR_NOT_LOCKED"},
    {161, "ERROR_BAD_PATHNAME"},
    {170, "ERROR_BUSY"},
    {183, "ERROR_ALREADY_EXISTS"},
    {203, "ERROR_ENVVAR_NOT_FOUND"},
    {206, "ERROR_FILENAME_EXCED_RANGE"},
    {232, "ERROR_NO_DATA"},
    {233, "ERROR_PIPE_NOT_CONNECTED"},
    {234, "ERROR_MORE_DATA"},
    {258, "WAIT_TIMEOUT"},
    {259, "ERROR_NO_MORE_ITEMS"},
    {267, "ERROR_DIRECTORY"},
    {288, "ERROR_NOT_OWNER"},
    {299, "ERROR_PARTIAL_COPY"},
    {487, "ERROR_INVALID_ADDRESS"},
    {534, "ERROR_ARITHMETIC_OVERFLOW"},
    {535, "ERROR_PIPE_CONNECTED"},
    {536, "ERROR_PIPE_LISTENING"},
    {995, "ERROR_OPERATION_ABORTED"},
    {996, "ERROR_IO_INCOMPLETE"},
    {997, "ERROR_IO_PENDING"},
    {998, "ERROR_NOACCESS"},
    {1001, "ERROR_STACK_OVERFLOW"},
    {1009, "ERROR_BADDB"},
    {1010, "ERROR_BADKEY"},
    {1011, "ERROR_CANTOPEN"},
    {1012, "ERROR_CANTREAD"},
    {1013, "ERROR_CANTWRITE"},
    {1014, "ERROR_REGISTRY_RECOVERED"},
    {1015, "ERROR_REGISTRY_CORRUPT"},
    {1016, "ERROR_REGISTRY_IO_FAILED"},
    {1017, "ERROR_NOT_REGISTRY_FILE"},
    {1018, "ERROR_KEY_DELETED"},
    {1053, "ERROR_SERVICE_REQUEST_TIMEOUT"},
    {1060, "ERROR_SERVICE_DOES_NOT_EXIST"},
    {1062, "ERROR_SERVICE_NOT_ACTIVE"},
    {1114, "ERROR_DLL_INIT_FAILED"},
    {1155, "ERROR_NO_ASSOCIATION"},
    {1223, "ERROR_CANCELLED"},
    {1326, "ERROR_LOGON_FAILURE"},
    {1332, "ERROR_NONE_MAPPED"},
    {1400, "ERROR_INVALID_WINDOW_HANDLE"},
    {1450, "ERROR_NO_SYSTEM_RESOURCES"},
    {1460, "ERROR_TIMEOUT"},
    {1056, "ERROR_SERVICE_ALREADY_RUNNING"},
    {1722, "RPC_S_SERVER_UNAVAILABLE"},
    {1726, "RPC_S_CALL_FAILED"},
    {1727, "RPC_S_CALL_FAILED_DNE"},
    {1753, "EPT_S_NOT_REGISTERED"},
    {1783, "RPC_X_BAD_STUB_DATA"},
    {1784, "ERROR_INVALID_USER_BUFFER"},
    {1816, "ERROR_NOT_ENOUGH_QUOTA"},
    {2250, "ERROR_NOT_CONNECTED"},
};

constexpr Nome kHresults[] = {
    {0x00000000u, "S_OK"},
    {0x00000001u, "S_FALSE"},
    {0x8000FFFFu, "E_UNEXPECTED"},
    {0x8000000Au, "E_PENDING"},
    {0x80004001u, "E_NOTIMPL"},
    {0x80004002u, "E_NOINTERFACE"},
    {0x80004003u, "E_POINTER"},
    {0x80004004u, "E_ABORT"},
    {0x80004005u, "E_FAIL"},
    {0x8007000Eu, "E_OUTOFMEMORY"},
    {0x80070057u, "E_INVALIDARG"},
    {0x80070006u, "E_HANDLE"},
    {0x80070005u, "E_ACCESSDENIED"},
    {0x80004006u, "CO_E_INIT_TLS"},
    {0x80004007u, "CO_E_INIT_SHARED_ALLOCATOR"},
    {0x80004008u, "CO_E_INIT_MEMORY_ALLOCATOR"},
    {0x80004009u, "CO_E_INIT_CLASS_CACHE"},
    {0x8000400Au, "CO_E_INIT_RPC_CHANNEL"},
    {0x800401F0u, "CO_E_NOTINITIALIZED"},
    {0x800401F1u, "CO_E_ALREADYINITIALIZED"},
    {0x800401F2u, "CO_E_CANTDETERMINECLASS"},
    {0x800401F3u, "CO_E_CLASSSTRING"},
    {0x800401F4u, "CO_E_IIDSTRING"},
    {0x800401F5u, "CO_E_APPNOTFOUND"},
    {0x800401F6u, "CO_E_APPSINGLEUSE"},
    {0x800401F7u, "CO_E_ERRORINAPP"},
    {0x800401F8u, "CO_E_DLLNOTFOUND"},
    {0x800401F9u, "CO_E_ERRORINDLL"},
    {0x800401FAu, "CO_E_WRONGOSFORAPP"},
    {0x800401FBu, "CO_E_OBJNOTREG"},
    {0x800401FCu, "CO_E_OBJISREG"},
    {0x800401FDu, "CO_E_OBJNOTCONNECTED"},
    {0x800401FEu, "CO_E_APPDIDNTREG"},
    {0x800401FFu, "CO_E_RELEASED"},
    {0x80080001u, "CO_E_CLASS_CREATE_FAILED"},
    {0x80080002u, "CO_E_SCM_ERROR"},
    {0x80080003u, "CO_E_SCM_RPC_FAILURE"},
    {0x80080004u, "CO_E_BAD_PATH"},
    {0x80080005u, "CO_E_SERVER_EXEC_FAILURE"},
    {0x80080006u, "CO_E_OBJSRV_RPC_FAILURE"},
    {0x80080008u, "CO_E_SERVER_STOPPING"},
    {0x80010001u, "RPC_E_CALL_REJECTED"},
    {0x80010002u, "RPC_E_CALL_CANCELED"},
    {0x80010003u, "RPC_E_CANTPOST_INSENDCALL"},
    {0x80010004u, "RPC_E_CANTCALLOUT_INASYNCCALL"},
    {0x80010005u, "RPC_E_CANTCALLOUT_INEXTERNALCALL"},
    {0x80010006u, "RPC_E_CONNECTION_TERMINATED"},
    {0x80010007u, "RPC_E_SERVER_DIED"},
    {0x80010008u, "RPC_E_CLIENT_DIED"},
    {0x80010009u, "RPC_E_INVALID_DATAPACKET"},
    {0x8001000Au, "RPC_E_CANTTRANSMIT_CALL"},
    {0x8001000Bu, "RPC_E_CLIENT_CANTMARSHAL_DATA"},
    {0x8001000Cu, "RPC_E_CLIENT_CANTUNMARSHAL_DATA"},
    {0x8001000Du, "RPC_E_SERVER_CANTMARSHAL_DATA"},
    {0x8001000Eu, "RPC_E_SERVER_CANTUNMARSHAL_DATA"},
    {0x8001000Fu, "RPC_E_INVALID_DATA"},
    {0x80010010u, "RPC_E_INVALID_PARAMETER"},
    {0x80010011u, "RPC_E_CANTCALLOUT_AGAIN"},
    {0x80010012u, "RPC_E_SERVER_DIED_DNE"},
    {0x80010100u, "RPC_E_SYS_CALL_FAILED"},
    {0x80010101u, "RPC_E_OUT_OF_RESOURCES"},
    {0x80010102u, "RPC_E_ATTEMPTED_MULTITHREAD"},
    {0x80010103u, "RPC_E_NOT_REGISTERED"},
    {0x80010104u, "RPC_E_FAULT"},
    {0x80010105u, "RPC_E_SERVERFAULT"},
    {0x80010106u, "RPC_E_CHANGED_MODE"},
    {0x80010107u, "RPC_E_INVALIDMETHOD"},
    {0x80010108u, "RPC_E_DISCONNECTED"},
    {0x80010109u, "RPC_E_RETRY"},
    {0x8001010Au, "RPC_E_SERVERCALL_RETRYLATER"},
    {0x8001010Bu, "RPC_E_SERVERCALL_REJECTED"},
    {0x8001010Cu, "RPC_E_INVALID_CALLDATA"},
    {0x8001010Du, "RPC_E_CANTCALLOUT_ININPUTSYNCCALL"},
    {0x8001010Eu, "RPC_E_WRONG_THREAD"},
    {0x8001010Fu, "RPC_E_THREAD_NOT_INIT"},
    {0x80010110u, "RPC_E_VERSION_MISMATCH"},
    {0x80010111u, "RPC_E_INVALID_HEADER"},
    {0x80010112u, "RPC_E_INVALID_EXTENSION"},
    {0x80010113u, "RPC_E_INVALID_IPID"},
    {0x80010114u, "RPC_E_INVALID_OBJECT"},
    {0x80010115u, "RPC_S_CALLPENDING"},
    {0x80010116u, "RPC_S_WAITONTIMER"},
    {0x80010117u, "RPC_E_CALL_COMPLETE"},
    {0x80010118u, "RPC_E_UNSECURE_CALL"},
    {0x80010119u, "RPC_E_TOO_LATE"},
    {0x8001011Au, "RPC_E_NO_GOOD_SECURITY_PACKAGES"},
    {0x8001011Bu, "RPC_E_ACCESS_DENIED"},
    {0x8001011Cu, "RPC_E_REMOTE_DISABLED"},
    {0x8001011Du, "RPC_E_INVALID_OBJREF"},
    {0x8001011Eu, "RPC_E_NO_CONTEXT"},
    {0x8001011Fu, "RPC_E_TIMEOUT"},
    {0x80010120u, "RPC_E_NO_SYNC"},
    {0x8001FFFFu, "RPC_E_UNEXPECTED"},
    {0x80040100u, "DRAGDROP_E_NOTREGISTERED"},
    {0x80040101u, "DRAGDROP_E_ALREADYREGISTERED"},
    {0x80040102u, "DRAGDROP_E_INVALIDHWND"},
    {0x80040110u, "CLASS_E_NOAGGREGATION"},
    {0x80040111u, "CLASS_E_CLASSNOTAVAILABLE"},
    {0x80040112u, "CLASS_E_NOTLICENSED"},
    {0x80040150u, "REGDB_E_READREGDB"},
    {0x80040151u, "REGDB_E_WRITEREGDB"},
    {0x80040152u, "REGDB_E_KEYMISSING"},
    {0x80040153u, "REGDB_E_INVALIDVALUE"},
    {0x80040154u, "REGDB_E_CLASSNOTREG"},
    {0x80040155u, "REGDB_E_IIDNOTREG"},
    {0x80020001u, "DISP_E_UNKNOWNINTERFACE"},
    {0x80020003u, "DISP_E_MEMBERNOTFOUND"},
    {0x80020004u, "DISP_E_PARAMNOTFOUND"},
    {0x80020005u, "DISP_E_TYPEMISMATCH"},
    {0x80020006u, "DISP_E_UNKNOWNNAME"},
    {0x80020007u, "DISP_E_NONAMEDARGS"},
    {0x80020008u, "DISP_E_BADVARTYPE"},
    {0x80020009u, "DISP_E_EXCEPTION"},
    {0x8002000Au, "DISP_E_OVERFLOW"},
    {0x8002000Bu, "DISP_E_BADINDEX"},
    {0x8002000Cu, "DISP_E_UNKNOWNLCID"},
    {0x8002000Du, "DISP_E_ARRAYISLOCKED"},
    {0x8002000Eu, "DISP_E_BADPARAMCOUNT"},
    {0x8002000Fu, "DISP_E_PARAMNOTOPTIONAL"},
    {0x80020010u, "DISP_E_BADCALLEE"},
    {0x80020011u, "DISP_E_NOTACOLLECTION"},
    {0x80020012u, "DISP_E_DIVBYZERO"},
    {0x80020013u, "DISP_E_BUFFERTOOSMALL"},
    {0x80028018u, "TYPE_E_INVDATAREAD"},
    {0x80028019u, "TYPE_E_UNSUPFORMAT"},
    {0x8002801Cu, "TYPE_E_REGISTRYACCESS"},
    {0x8002802Bu, "TYPE_E_ELEMENTNOTFOUND"},
    {0x80029C4Au, "TYPE_E_CANTLOADLIBRARY"},
};

// Names of the codes the engine and the exception translation give, which
// the SDK does not name: for texts shown to people (the error log keeps the
// SDK's names only).
constexpr Nome kNomesInternos[] = {
    // The record-file engine's file failures (facility 4).
    {0x80043E8Cu, "E_QVDATABASE_eBadSeek"},
    {0x80043E95u, "E_QVDATABASE_eEndOfFile"},
    {0x80043EA7u, "E_QVDATABASE_eHardIO"},
    {0x80043EB7u, "E_QVDATABASE_eFileNotFound"},
    {0x80043EBFu, "E_QVDATABASE_eBadPath"},
    {0x80043EC7u, "E_QVDATABASE_eTooManyOpenFiles"},
    {0x80043ED0u, "E_QVDATABASE_eAccessDenied"},
    {0x80043ED1u, "E_QVDATABASE_eQVReadOnly"},
    {0x80043EE2u, "E_QVDATABASE_eInvalidFile"},
    {0x80043EE5u, "E_QVDATABASE_eDirectoryFull"},
    {0x80043EEEu, "E_QVDATABASE_eSharingViolation"},
    {0x80043F00u, "E_QVDATABASE_eLockViolation"},
    {0x80043F08u, "E_QVDATABASE_eDiskFull"},
    {0x80043F10u, "E_QVDATABASE_eQVGenericError"},
    {0x810809D7u, "E_QVDATABASE_MEMBRO_GRUPO_NAO_EXISTE"},
    // What thrown exceptions are translated to.
    {0x8004EA60u, "QV_E_ERRNO_SEM_CODIGO"},
    {0x8004EA61u, "QV_E_QVEXCEPTION_SEM_ERRO_SO"},
    {0x8004EA62u, "QV_E_EXCECAO_MEMORIA"},
    {0x8004EA63u, "QV_E_EXCECAO_FRAMEWORK"},
    {0x8004EA64u, "QV_E_BAD_ALLOC"},
    {0x8004EA65u, "QV_E_STD_EXCEPTION"},
    {0x8004EA66u, "QV_E_EXCECAO_DESCONHECIDA"},
    {0x8004EA67u, "QV_E_EXCECAO_ARGUMENTO_INVALIDO"},
};

#define QV_NOME_CODIGO_(nome, valor, descricao) {valor, #nome},
constexpr Nome kCodigosSistema[] = {QV_CODIGOS_SISTEMA(QV_NOME_CODIGO_)};
#undef QV_NOME_CODIGO_

// The enterprise data layer's report and product codes (facility 4).
constexpr Nome kDescricoesItf[] = {
    {0x8004A001u, "DFSREL: Relatório não encontrado."},
    {0x8004A002u, "DFSREL: Modelo de relatório inválido."},
    {0x8004A003u, "DFSREL: Não foi possível gerar o arquivo do relatório."},
    {0x8004A004u, "DFSREL: Não há registros para o relatório."},
    {0x8004A101u, "DFSPRO: Produto não encontrado."},
    {0x8004A102u, "DFSPRO: Produto inativo."},
    {0x8004A103u, "DFSPRO: Unidade de medida do produto não encontrada."},
    {0x8004A104u, "DFSPRO: Preço do produto não encontrado."},
};

// Descriptions of the codes the system returns that carry no text of their
// own elsewhere, so that no failure reaches a user without one.
constexpr Nome kMensagens[] = {
    {0x00000000u, "Operação concluída"},
    {0x00000001u, "Operação concluída sem resultado"},
    {0x8000FFFFu, "Falha inesperada"},
    {0x80004001u, "Operação não implementada"},
    {0x80004002u, "Interface não suportada"},
    {0x80004003u, "Ponteiro inválido"},
    {0x80004004u, "Operação interrompida"},
    {0x80004005u, "Falha não especificada"},
    {0x8007000Eu, "Memória insuficiente"},
    {0x80070057u, "Argumento inválido"},
    {0x80070006u, "Identificador inválido"},
    {0x80070005u, "Acesso negado"},
    {0x80070002u, "Arquivo não encontrado"},
    {0x80070050u, "O arquivo já existe"},
    {0x80070718u, "O pedido ou a resposta excede o tamanho máximo configurado"},
    {0x8007001Fu, "Falha de um dispositivo do sistema"},
    {0x8007007Bu, "Nome inválido: o nome de arquivo, diretório ou empresa não é aceito"},
    {0x800700CEu, "Nome de arquivo ou caminho longo demais"},
    {0x8007000Du, "Dados inválidos"},
    {0x80070420u, "O servidor já está em execução"},
    {0x80070715u, "Recurso não encontrado no executável"},
    {0x80070716u, "Tipo de recurso não encontrado no executável"},
    {0x80070717u, "Nome de recurso não encontrado no executável"},
    {0x800706BAu, "O servidor não está disponível"},
    {0x800706BEu, "A chamada ao servidor falhou"},
    {0x800706F7u, "Dados da chamada inválidos"},
    {0x800401F0u, "COM não foi inicializado"},
    {0x800401F3u, "Identificador de classe inválido"},
    {0x800401FCu, "Classe já registrada"},
    {0x800401FDu, "Objeto desconectado do servidor"},
    {0x80080005u, "Não foi possível iniciar o servidor"},
    {0x80080008u, "O servidor está encerrando"},
    {0x80010106u, "O modo de concorrência já foi definido"},
    {0x80010108u, "O servidor se desconectou"},
    {0x8001000Fu, "Dados inválidos na chamada"},
    {0x80010105u, "Falha no servidor durante a chamada"},
    {0x80010119u, "Tarde demais para a operação"},
    {0x80040110u, "A classe não admite agregação"},
    {0x80040111u, "Classe não disponível"},
    {0x80040154u, "Classe não registrada"},
    {0x80020005u, "Tipo incompatível"},
    {0x8002000Au, "Estouro na conversão de valor"},
    {0x80020012u, "Divisão por zero"},
    {0x80028018u, "Erro ao ler a biblioteca de tipos"},
    {0x80028019u, "Formato da biblioteca de tipos não suportado"},
    {0x8002801Cu, "Erro ao acessar o registro da biblioteca de tipos"},
    {0x8002802Bu, "Elemento não encontrado na biblioteca de tipos"},
    {0x80029C4Au, "Não foi possível carregar a biblioteca de tipos"},
    {0x80043E8Cu, "Posicionamento inválido no arquivo"},
    {0x80043E95u, "Fim de arquivo inesperado"},
    {0x80043EA7u, "Erro de entrada e saída no arquivo"},
    {0x80043EB7u, "Arquivo não encontrado"},
    {0x80043EBFu, "Caminho inválido"},
    {0x80043EC7u, "Arquivos abertos demais"},
    {0x80043ED0u, "Acesso ao arquivo negado"},
    {0x80043ED1u, "Arquivo somente para leitura"},
    {0x80043EE2u, "Arquivo inválido"},
    {0x80043EE5u, "Diretório cheio"},
    {0x80043EEEu, "Arquivo em uso por outro processo; tente novamente"},
    {0x80043F00u, "Região do arquivo bloqueada por outro processo"},
    {0x80043F08u, "Disco cheio"},
    {0x80043F10u, "Falha no acesso ao arquivo"},
    {0x810809D7u, "Membro inexistente no arquivo de grupo"},
    {0x80070032u, "Operação não suportada"},
    {0x800704C9u, "Conexão recusada pelo servidor de e-mail"},
    {0x80072AF9u, "Servidor de e-mail não encontrado"},
    {0x800705B4u, "Tempo esgotado"},
    {0x8007052Eu, "Usuário ou senha recusados pelo servidor de e-mail"},
    {0x800710E0u, "Pedido recusado pelo servidor de e-mail"},
    {0x8007064Au, "Configuração inválida"},
    {0x8004EA60u, "Erro da biblioteca de execução"},
    {0x8004EA61u, "Exceção sem erro do sistema"},
    {0x8004EA62u, "Memória insuficiente"},
    {0x8004EA63u, "Exceção não tratada"},
    {0x8004EA64u, "Memória insuficiente"},
    {0x8004EA65u, "Exceção não tratada"},
    {0x8004EA66u, "Exceção desconhecida"},
    {0x8004EA67u, "Argumento inválido"},
};

#define QV_MENSAGEM_CODIGO_(nome, valor, descricao) {valor, descricao},
constexpr Nome kMensagensSistema[] = {QV_CODIGOS_SISTEMA(QV_MENSAGEM_CODIGO_)};
#undef QV_MENSAGEM_CODIGO_

constexpr std::string_view kFacilidadeDesconhecida = "Desconhecido ou novo código de FACILITY";

}  // namespace

std::string_view NomeSeveridade(HRESULT hr) {
    return HRESULT_SEVERITY(hr) == SEVERITY_ERROR ? "SEVERITY_ERROR" : "SEVERITY_SUCCESS";
}

std::string_view NomeFacilidade(uint32_t facility) {
    // The ERP's numbers come first: the range 249..269 is the ERP's own.
    if (std::string_view nome = Procura(kFacilidadesErp, facility); !nome.empty()) return nome;
    if (std::string_view nome = Procura(kFacilidadesWindows, facility); !nome.empty()) return nome;
    return kFacilidadeDesconhecida;
}

std::string_view NomeErroWin32(uint32_t erro) { return Procura(kErrosWin32, erro); }

std::string_view NomeSimbolicoHresult(HRESULT hr) { return Procura(kHresults, static_cast<uint32_t>(hr)); }

std::string_view NomeCodigoSistema(HRESULT hr) { return Procura(kCodigosSistema, static_cast<uint32_t>(hr)); }

std::string_view NomeCodigoHresult(HRESULT hr, std::optional<bool> facilidadeDaBiblioteca) {
    const uint32_t facility = HRESULT_FACILITY(hr);
    if (facility == FACILITY_ITF) return {};
    const bool daBiblioteca =
        facilidadeDaBiblioteca.has_value() ? *facilidadeDaBiblioteca : QVEhFacilidadeErp(facility);
    if (daBiblioteca) return NomeCodigoSistema(hr);
    return NomeErroWin32(HRESULT_CODE(hr));
}

std::string_view DescricaoInternaFacilidadeItf(HRESULT hr) {
    return Procura(kDescricoesItf, static_cast<uint32_t>(hr));
}

HRESULT HresultDeErrno(int valorErrno) {
    // The codes follow the run-time library's errno list in its order; they
    // are matched by meaning, so that the host's own numbering of the values
    // above 34 gives the code of the same error.
    static constexpr int kErros[] = {
        EPERM,  ENOENT, ESRCH,  EINTR,  EIO,    ENXIO,   E2BIG,  ENOEXEC, EBADF,   ECHILD,       EAGAIN, ENOMEM,
        EACCES, EFAULT, EBUSY,  EEXIST, EXDEV,  ENODEV,  ENOTDIR, EISDIR, EINVAL,  ENFILE,       EMFILE, ENOTTY,
        EFBIG,  ENOSPC, ESPIPE, EROFS,  EMLINK, EPIPE,   EDOM,   ERANGE,  EDEADLK, ENAMETOOLONG, ENOLCK, ENOSYS,
        ENOTEMPTY, EILSEQ,
    };
    static_assert(sizeof(kErros) / sizeof(kErros[0]) == 38, "0x8004EADC up to 0x8004EB01");
    if (valorErrno == 0) return QV_E_ERRNO_SEM_CODIGO;
    for (uint32_t i = 0; i < sizeof(kErros) / sizeof(kErros[0]); ++i)
        if (kErros[i] == valorErrno) return static_cast<HRESULT>(0x8004EADCu + i);
    // STRUNCATE (80), the last code of the list, is not an errno of this host.
    return QV_E_ERRNO_SEM_CODIGO;
}

// After the system's own names come those of the engine's and the exception
// translation's codes.
std::string_view TextoSistemaHresult(HRESULT hr) {
    if (std::string_view nome = NomeSimbolicoHresult(hr); !nome.empty()) return nome;
    if (std::string_view nome = NomeCodigoSistema(hr); !nome.empty()) return nome;
    if (std::string_view nome = Procura(kNomesInternos, static_cast<uint32_t>(hr)); !nome.empty()) return nome;
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return NomeErroWin32(HRESULT_CODE(hr));
    return {};
}

std::string_view MensagemHresult(HRESULT hr) {
    if (QVEhResultadoFalhaMaquina(hr)) return "Falha de máquina durante a chamada";
    const auto valor = static_cast<uint32_t>(hr);
    if (valor >= static_cast<uint32_t>(QV_E_ERRNO_PRIMEIRO) && valor <= static_cast<uint32_t>(QV_E_ERRNO_ULTIMO))
        return "Erro do sistema operacional";
    if (std::string_view texto = Procura(kMensagensSistema, static_cast<uint32_t>(hr)); !texto.empty()) return texto;
    if (std::string_view texto = Procura(kMensagens, static_cast<uint32_t>(hr)); !texto.empty()) return texto;
    return DescricaoInternaFacilidadeItf(hr);
}

}  // namespace zenta
