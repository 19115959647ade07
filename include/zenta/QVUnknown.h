// IQVUnknown: the common base interface of the ERP's servers, with its
// initialisation, generic-call, multiple-change and last-error records.
#pragma once

#include <zenta/Unknwn.h>

#pragma pack(push, 1)

// Initialisation record handed to Inicializa_Padrao (296 bytes).
struct _REG_DF_INICIALIZAPS {
    ULONG ulUsuario;
    ULONG ulNumeroSessao;
    ULONG ulLinhaFonte;
    ULONG ulFiller;
    USHORT usVersaoFarol;
    USHORT usFiller[3];
    char szEmpresa[48];
    char szAplicativo[48];
    char szModuleName[48];
    char szArquivoFonte[64];
    char szNomeUsuarioDominio[32];
    char cControle;
    BYTE cWTS;
    char szFiller[22];
    ULONGLONG uiCRC;
};
static_assert(sizeof(_REG_DF_INICIALIZAPS) == 296);
static_assert(offsetof(_REG_DF_INICIALIZAPS, usVersaoFarol) == 16);
static_assert(offsetof(_REG_DF_INICIALIZAPS, szEmpresa) == 24);
static_assert(offsetof(_REG_DF_INICIALIZAPS, szAplicativo) == 72);
static_assert(offsetof(_REG_DF_INICIALIZAPS, szModuleName) == 120);
static_assert(offsetof(_REG_DF_INICIALIZAPS, szArquivoFonte) == 168);
static_assert(offsetof(_REG_DF_INICIALIZAPS, szNomeUsuarioDominio) == 232);
static_assert(offsetof(_REG_DF_INICIALIZAPS, cControle) == 264);
static_assert(offsetof(_REG_DF_INICIALIZAPS, cWTS) == 265);
static_assert(offsetof(_REG_DF_INICIALIZAPS, szFiller) == 266);
static_assert(offsetof(_REG_DF_INICIALIZAPS, uiCRC) == 288);

// The version every initialisation record must carry.
inline constexpr USHORT QV_VERSAO_FAROL = 127;
// The control byte every initialisation record must carry.
inline constexpr char QV_CONTROLE_INICIALIZACAO = 'B';
// uiCRC covers bytes 0 to 287 of the record.
inline constexpr size_t QV_TAMANHO_CRC_INICIALIZACAO = 288;

// A run of bytes (24 bytes).
struct _REG_CR_LISTA_BYTESPS {
    ULONG ulQtdBytes;
    BYTE cFiller[4];
    BYTE* pListaBytes;
    void* pFiller;
};
static_assert(sizeof(_REG_CR_LISTA_BYTESPS) == 24);
static_assert(offsetof(_REG_CR_LISTA_BYTESPS, pListaBytes) == 8);
static_assert(offsetof(_REG_CR_LISTA_BYTESPS, pFiller) == 16);

// One change of a multiple-change call (32 bytes).
struct _REG_CR_ALTERACAOPS {
    _REG_CR_LISTA_BYTESPS regDados;
    ULONG ulTipoAlteracao;
    ULONG ulFiller;
};
static_assert(sizeof(_REG_CR_ALTERACAOPS) == 32);
static_assert(offsetof(_REG_CR_ALTERACAOPS, ulTipoAlteracao) == 24);

// The last-error record filled by GetUltimoErro (480 bytes).
struct _REG_DF_ERROPS {
    HRESULT hr;
    LONG nCodigoErro;
    LONG lCodigoMensagem;
    LONG iRegistro;
    LONG iItem;
    LONG lCodigoCampo;
    USHORT nModuloMensagem;
    SHORT nTipoErro;
    USHORT usNumeroServidor;
    char cMensagem[302];
    char szEmpresa[48];
    BYTE cFiller[100];
};
static_assert(sizeof(_REG_DF_ERROPS) == 480);
static_assert(offsetof(_REG_DF_ERROPS, nModuloMensagem) == 24);
static_assert(offsetof(_REG_DF_ERROPS, nTipoErro) == 26);
static_assert(offsetof(_REG_DF_ERROPS, usNumeroServidor) == 28);
static_assert(offsetof(_REG_DF_ERROPS, cMensagem) == 30);
static_assert(offsetof(_REG_DF_ERROPS, szEmpresa) == 332);
static_assert(offsetof(_REG_DF_ERROPS, cFiller) == 380);

#pragma pack(pop)

// CRC-64 (ECMA-182 polynomial, reflected, no final XOR) as uiCRC uses it:
// QVCalculaCrc64(&reg, QV_TAMANHO_CRC_INICIALIZACAO, 0). `semente` continues
// an earlier CRC; 0 starts a new one.
STDAPI_(ULONGLONG) ZENTA_API QVCalculaCrc64(const void* pDados, size_t cb, ULONGLONG semente);

// Seals a filled initialisation record: stores the CRC of its first 288 bytes.
inline void QVAssinaInicializacao(_REG_DF_INICIALIZAPS& regps) {
    regps.uiCRC = QVCalculaCrc64(&regps, QV_TAMANHO_CRC_INICIALIZACAO, 0);
}

// {6220BC12-AA61-4FB9-A2D9-DD68AAA3D091}
inline constexpr IID IID_IQVUnknown = {0x6220bc12, 0xaa61, 0x4fb9, {0xa2, 0xd9, 0xdd, 0x68, 0xaa, 0xa3, 0xd0, 0x91}};

struct IQVUnknown : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Inicializa_Padrao(_REG_DF_INICIALIZAPS regps) = 0;
    virtual HRESULT STDMETHODCALLTYPE KeepAlive(LONG* pbOK) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetUltimoErro(_REG_DF_ERROPS* pregErrops) = 0;
    virtual HRESULT STDMETHODCALLTYPE FuncaoGenerica(ULONG ulFuncao, _REG_CR_LISTA_BYTESPS regInps,
                                                     _REG_CR_LISTA_BYTESPS** ppregOutps) = 0;
    virtual HRESULT STDMETHODCALLTYPE AlteracaoMultiplaCadastro(ULONG ulQuantidade, ULONG* pulPonteiros,
                                                                ULONG ulQuantidadeAlteracoes,
                                                                _REG_CR_ALTERACAOPS* pregps) = 0;
    virtual HRESULT STDMETHODCALLTYPE AlteracaoMultiplaMovimento(ULONG ulQuantidade, ULONGLONG* pregPonteiros,
                                                                 ULONG ulQuantidadeAlteracoes,
                                                                 _REG_CR_ALTERACAOPS* pregps) = 0;
    virtual HRESULT STDMETHODCALLTYPE CadastroTeveMovimentacao(ULONG eTipoCadastro, ULONG ulPonteiroCadastro,
                                                               LONG* pbTeveMovimentacao) = 0;

protected:
    ~IQVUnknown() = default;
};
