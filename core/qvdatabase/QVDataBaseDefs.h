// Shared definitions of the record-file engine: open modes, the codes of file
// failures, record positions and the 240-byte file header on disk.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <zenta/WinTypes.h>

#include "diagnostics/QVCodigosErro.h"

namespace zenta {

static_assert(std::endian::native == std::endian::little,
              "the engine writes its headers and records in the machine's byte order, which must be little-endian");

// Open modes; the values are the framework's open flags.
enum EQVDataBase_ModoAbertura : UINT {
    eModoInvalido = 0,
    eModoLeituraGravacao = 0x2022,         // read/write, deny writers, must exist, never truncated
    eModoLeituraSemBloqueio = 0x2040,      // read only, deny nobody
    eModoLeituraGravacaoCriacao = 0x3022,  // read/write, deny writers, created when missing, never truncated
};

// Flags of the deletion of CQVDataBaseUtil::DeletaArquivo.
enum EQVDataBase_DeletaArquivoFlag : UINT {
    eNenhum = 0,
    eRemoverDoControleCriacaoArquivosInMemory = 0x1,
};

// Positions count from 1; a write at position 0 appends.
inline constexpr ULONGLONG QVDATABASE_POSICAO_NOVO_REGISTRO = 0;

// The engine's version written to and checked against file headers.
inline constexpr USHORT QVDATABASE_VERSAO_MOTOR = 127;

// The creation-control file, which never has a header.
inline constexpr std::string_view QVDATABASE_NOME_ARQUIVO_CONTROLE = "QVDATABASE_FILE_CTRL.dat";

// ---- File failures ----------------------------------------------------------
// X(name as logged, value)
#define QV_EXCECOES_ARQUIVO(X)            \
    X(eBadSeek, 0x80043E8Cu)              \
    X(eEndOfFile, 0x80043E95u)            \
    X(eHardIO, 0x80043EA7u)               \
    X(eFileNotFound, 0x80043EB7u)         \
    X(eBadPath, 0x80043EBFu)              \
    X(eTooManyOpenFiles, 0x80043EC7u)     \
    X(eAccessDenied, 0x80043ED0u)         \
    X(eQVReadOnly, 0x80043ED1u)           \
    X(eInvalidFile, 0x80043EE2u)          \
    X(eDirectoryFull, 0x80043EE5u)        \
    X(eSharingViolation, 0x80043EEEu)     \
    X(eLockViolation, 0x80043F00u)        \
    X(eDiskFull, 0x80043F08u)             \
    X(eQVGenericError, 0x80043F10u)

#define QV_DEFINE_EXCECAO_ARQUIVO_(nome, valor) \
    inline constexpr HRESULT E_QVDATABASE_##nome = static_cast<HRESULT>(valor);
QV_EXCECOES_ARQUIVO(QV_DEFINE_EXCECAO_ARQUIVO_)
#undef QV_DEFINE_EXCECAO_ARQUIVO_

// A deletion that still finds the file after its last attempt.
inline constexpr HRESULT E_QVCR_ARQUIVO_NAO_REMOVIDO = static_cast<HRESULT>(0x810809F2u);
// The data directory of a module came back empty.
inline constexpr HRESULT E_QVCR_PATH_DADOS_VAZIO = static_cast<HRESULT>(0x81080A5Fu);

// ---- Record date-time ----------------------------------------------------------
// Low 38 bits: day number (REG_QVDMA) × 86,400 + seconds of the local time.
using QVDATAHORA_REGISTRO = ULONGLONG;
inline constexpr ULONGLONG QVDATAHORA_MASCARA = (1ull << 38) - 1;

// ---- File header, version 1 ----------------------------------------------------------
#pragma pack(push, 1)
struct REG_QVDATABASE_CABECALHO_V1 {
    USHORT usVersaoCabecalho;            // 1; 0 = no header
    BYTE cZero1[6];
    ULONGLONG ullCrcVersao;              // CRC-64 of bytes 0-1
    ULONGLONG ullCrcCrcVersao;           // CRC-64 of bytes 8-15
    QVDATAHORA_REGISTRO dhAtualizacao;   // last update
    QVDATAHORA_REGISTRO dhCriacao;       // header created
    QVDATAHORA_REGISTRO dhCriacaoOriginal;  // header created; never changed
    QVDATAHORA_REGISTRO dhAlteracaoEmpresa;
    QVDATAHORA_REGISTRO dhAlteracaoComputador;
    ULONGLONG ullTamanhoDadosCabecalho;  // 216
    ULONGLONG ullTamanhoDados;           // file length - 240
    ULONGLONG ullContadorAtualizacoes;
    ULONGLONG ullSessao;
    BYTE cZero2[4];
    ULONG ulUsuario;
    USHORT usVersaoArquivo;
    USHORT usVersaoMotorCriacao;
    USHORT usVersaoMotorModificacao;
    USHORT usVoltasContador;
    char szNomeArquivo[24];
    char szEmpresa[24];
    char szEmpresaAnterior[24];
    char szComputador[16];
    char szComputadorAnterior[16];
    BYTE cZero3[16];
    ULONGLONG ullCrcCabecalho;           // CRC-64 of bytes 24-231
};
#pragma pack(pop)

inline constexpr std::size_t QVDATABASE_TAMANHO_CABECALHO = 240;
inline constexpr std::size_t QVDATABASE_TAMANHO_PREFIXO_CABECALHO = 24;
inline constexpr ULONGLONG QVDATABASE_TAMANHO_DADOS_CABECALHO = 216;

static_assert(sizeof(REG_QVDATABASE_CABECALHO_V1) == QVDATABASE_TAMANHO_CABECALHO);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, ullCrcVersao) == 8);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, ullCrcCrcVersao) == 16);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, dhAtualizacao) == 24);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, dhCriacao) == 32);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, dhCriacaoOriginal) == 40);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, dhAlteracaoEmpresa) == 48);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, dhAlteracaoComputador) == 56);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, ullTamanhoDadosCabecalho) == 64);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, ullTamanhoDados) == 72);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, ullContadorAtualizacoes) == 80);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, ullSessao) == 88);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, cZero2) == 96);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, ulUsuario) == 100);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, usVersaoArquivo) == 104);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, usVersaoMotorCriacao) == 106);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, usVersaoMotorModificacao) == 108);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, usVoltasContador) == 110);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, szNomeArquivo) == 112);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, szEmpresa) == 136);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, szEmpresaAnterior) == 160);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, szComputador) == 184);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, szComputadorAnterior) == 200);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, cZero3) == 216);
static_assert(offsetof(REG_QVDATABASE_CABECALHO_V1, ullCrcCabecalho) == 232);

// The name of a record type as written in the source ("REG_QVDMC"), for the
// files' type-name slot. A record of the system's own namespace is named
// without it: the name is part of the file format.
template <class T>
constexpr std::string_view NomeTipoRegistro() {
    std::string_view s = __PRETTY_FUNCTION__;
    const std::size_t inicio = s.find("T = ");
    if (inicio == std::string_view::npos) return "Invalid";
    s = s.substr(inicio + 4);
    const std::size_t fim = s.find_first_of(";]");
    if (fim != std::string_view::npos) s = s.substr(0, fim);
    if (s.starts_with("struct ")) s = s.substr(7);
    if (s.starts_with("class ")) s = s.substr(6);
    if (s.starts_with("zenta::") && s.find("::", 7) == std::string_view::npos) s = s.substr(7);
    return s;
}

}  // namespace zenta
