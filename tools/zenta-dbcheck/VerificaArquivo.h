// An independent check of a record file's on-disk format: the optional
// 240-byte header (the prefix rule, both prefix CRCs, every field's range,
// the header CRC, the stored data length), the stored file name, and the
// data behind the header, as fixed-size records or as a text file's item
// chain. It is written from the format alone and shares no code with the
// engine that writes the files (only the CRC-64 primitive), so that a
// mistake of the engine shows up here as a finding.
//
// The file is treated as hostile: every read is bounded by the file's size
// and every length is checked before it is used.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/zenta-dbcheck/FonteBytes.h"

static_assert(std::endian::native == std::endian::little, "the header is read as little-endian fields");

namespace zenta::dbcheck {

// ---- The format ------------------------------------------------------------------------

inline constexpr uint64_t TAMANHO_CABECALHO = 240;
inline constexpr uint64_t TAMANHO_PREFIXO = 24;
inline constexpr uint64_t TAMANHO_DADOS_CABECALHO = 216;
inline constexpr uint16_t VERSAO_MOTOR = 127;
inline constexpr uint64_t MASCARA_DATA_HORA = (1ull << 38) - 1;

#pragma pack(push, 1)
struct CabecalhoV1 {
    uint16_t versao;                    // 0: 1 (0 = no header)
    uint8_t zero1[6];                   // 2
    uint64_t crcVersao;                 // 8: CRC-64 of bytes 0-1
    uint64_t crcCrcVersao;              // 16: CRC-64 of bytes 8-15
    uint64_t dhAtualizacao;             // 24
    uint64_t dhCriacao;                 // 32
    uint64_t dhCriacaoOriginal;         // 40
    uint64_t dhAlteracaoEmpresa;        // 48: 0 until the first change
    uint64_t dhAlteracaoComputador;     // 56: 0 until the first change
    uint64_t tamanhoDadosCabecalho;     // 64: 216
    uint64_t tamanhoDados;              // 72: file length - 240
    uint64_t contadorAtualizacoes;      // 80
    uint64_t sessao;                    // 88: a 32-bit number, zero-extended
    uint8_t zero2[4];                   // 96
    uint32_t usuario;                   // 100: a 16-bit number, zero-extended
    uint16_t versaoArquivo;             // 104
    uint16_t versaoMotorCriacao;        // 106: at most 127
    uint16_t versaoMotorModificacao;    // 108: at most 127
    uint16_t voltasContador;            // 110
    char nomeArquivo[24];               // 112: last 23 characters of the name, NUL-terminated, zero-padded
    char empresa[24];                   // 136
    char empresaAnterior[24];           // 160
    char computador[16];                // 184
    char computadorAnterior[16];        // 200
    uint8_t zero3[16];                  // 216
    uint64_t crcCabecalho;              // 232: CRC-64 of bytes 24-231
};
#pragma pack(pop)

static_assert(sizeof(CabecalhoV1) == TAMANHO_CABECALHO);
static_assert(offsetof(CabecalhoV1, crcVersao) == 8);
static_assert(offsetof(CabecalhoV1, crcCrcVersao) == 16);
static_assert(offsetof(CabecalhoV1, dhAtualizacao) == 24);
static_assert(offsetof(CabecalhoV1, dhCriacao) == 32);
static_assert(offsetof(CabecalhoV1, dhCriacaoOriginal) == 40);
static_assert(offsetof(CabecalhoV1, dhAlteracaoEmpresa) == 48);
static_assert(offsetof(CabecalhoV1, dhAlteracaoComputador) == 56);
static_assert(offsetof(CabecalhoV1, tamanhoDadosCabecalho) == 64);
static_assert(offsetof(CabecalhoV1, tamanhoDados) == 72);
static_assert(offsetof(CabecalhoV1, contadorAtualizacoes) == 80);
static_assert(offsetof(CabecalhoV1, sessao) == 88);
static_assert(offsetof(CabecalhoV1, zero2) == 96);
static_assert(offsetof(CabecalhoV1, usuario) == 100);
static_assert(offsetof(CabecalhoV1, versaoArquivo) == 104);
static_assert(offsetof(CabecalhoV1, versaoMotorCriacao) == 106);
static_assert(offsetof(CabecalhoV1, versaoMotorModificacao) == 108);
static_assert(offsetof(CabecalhoV1, voltasContador) == 110);
static_assert(offsetof(CabecalhoV1, nomeArquivo) == 112);
static_assert(offsetof(CabecalhoV1, empresa) == 136);
static_assert(offsetof(CabecalhoV1, empresaAnterior) == 160);
static_assert(offsetof(CabecalhoV1, computador) == 184);
static_assert(offsetof(CabecalhoV1, computadorAnterior) == 200);
static_assert(offsetof(CabecalhoV1, zero3) == 216);
static_assert(offsetof(CabecalhoV1, crcCabecalho) == 232);

// The codes the engine answers when it meets each fault on loading a file.
inline constexpr uint32_t E_VERSAO_CABECALHO_SUPERIOR_VERSAO_SISTEMA = 0x81080A3Eu;
inline constexpr uint32_t E_CRC_CABECALHO_NAO_CONFERE = 0x81080A3Fu;
inline constexpr uint32_t E_NOME_ARQUIVO_NAO_CONFERE = 0x81080A43u;
inline constexpr uint32_t E_TAMANHO_CABECALHO_NAO_CONFERE = 0x81080C07u;
inline constexpr uint32_t E_TAMANHO_ARQUIVO_NAO_CONFERE = 0x81080C08u;
inline constexpr uint32_t E_VERSAO_SISTEMA_INFERIOR_VERSAO_CRIACAO_CABECALHO = 0x81080C09u;
inline constexpr uint32_t E_VERSAO_SISTEMA_INFERIOR_VERSAO_MODIFICACAO_ARQUIVO = 0x81080C0Au;
inline constexpr uint32_t E_ARQUIVO_NAO_EH_MOD_ESTRUTURA = 0x810809D8u;
inline constexpr uint32_t E_ARQUIVO_SINGLE_REG_NAO_TEM_TAMANHO_ESTRUTURA = 0x810809E7u;
inline constexpr uint32_t E_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA = 0x81080C5Eu;

// The name of one of the codes above ("E_QVCR_..."); null for any other.
const char* NomeCodigo(uint32_t codigo);

// ---- Findings ----------------------------------------------------------------------------

enum class TipoAchado {
    leitura,                 // bytes a check needed could not be read
    prefixoDanificado,       // a header whose prefix fails the rule: the engine takes the file as headerless data
    cabecalhoIndevido,       // a header on a file that never has one (control file, "srk", "tra")
    versaoCabecalho,         // a header version other than 1
    cabecalhoTruncado,       // a header prefix in a file shorter than 240 bytes
    bytesReservados,         // bytes 2-7, 96-99 or 216-231 not zero
    dataHora,                // a date-time stamp out of its range
    tamanhoDadosCabecalho,   // offset 64 is not 216
    crcCabecalho,            // offset 232 is not the CRC-64 of bytes 24-231
    tamanhoDados,            // offset 72 is not file length - 240
    sessao,                  // offset 88 holds more than 32 bits
    usuario,                 // offset 100 holds more than 16 bits
    versaoMotorCriacao,      // offset 106 is 0 or above 127
    versaoMotorModificacao,  // offset 108 is 0 or above 127
    campoTexto,              // a text field without its NUL, or a name not zero-padded, or no company
    nomeArquivo,             // the stored name is not the file's
    tamanhoRegistro,         // the data is not a whole number of records
    registroUnico,           // a single-record file whose data is not one record
    itemTruncado,            // fewer than 4 bytes left where a text item's length should be
    itemExcedente,           // a text item's length runs past the end of the data
    quantidade,              // not the expected number of records or texts
};

struct Achado {
    TipoAchado tipo;
    uint64_t offset;      // byte offset in the file the finding is about
    uint32_t codigo;      // the code the engine answers for it on loading; 0 when it does not check it
    std::string texto;
};

const char* NomeTipoAchado(TipoAchado tipo);

// ---- Checking ------------------------------------------------------------------------------

struct OpcoesVerificacao {
    // Size of one record; 0 leaves the data unchecked (unless `texto`).
    uint64_t tamanhoRegistro = 0;
    // The file holds exactly one record (or none) of `tamanhoRegistro` bytes.
    bool registroUnico = false;
    // The data is a text file's item chain.
    bool texto = false;
    // Expected number of records or texts; negative when not checked.
    int64_t quantidade = -1;
    // The name the header must store; empty: the file's own name (for a
    // work copy with the extension "cab", the name with the extension "dat").
    std::string nomeEsperado;
    // Keep the item list of a text file in the result.
    bool guardaItens = false;
};

struct ItemTexto {
    uint64_t offset;   // from the start of the data area
    uint32_t tamanho;  // length of the text
};

struct ResultadoVerificacao {
    uint64_t tamanhoArquivo = 0;
    bool possuiCabecalho = false;   // by the prefix rule
    bool cabecalhoDanificado = false;
    CabecalhoV1 cabecalho{};        // as read (zero when there is none)
    uint64_t inicioDados = 0;       // 240 behind a header, else 0
    uint64_t tamanhoDados = 0;
    uint64_t quantidade = 0;        // records (whole ones) or texts walked
    std::vector<ItemTexto> itens;   // with `guardaItens`
    std::vector<Achado> achados;

    bool Limpo() const { return achados.empty(); }
    bool Tem(TipoAchado tipo) const;
};

// Whether a 24-byte prefix passes the header rule: version not 0, the u64 at
// 8 is the CRC-64 of bytes 0-1 and the u64 at 16 the CRC-64 of bytes 8-15.
bool PrefixoValido(const std::byte* prefixo24);

// Whether a file of this name never has a header: the control file and the
// work files with the extensions "srk" and "tra".
bool NomeSemCabecalho(std::string_view nomeArquivo);

// Checks the bytes of `fonte` as the file named `nomeArquivo` (its name
// without directory).
ResultadoVerificacao Verifica(const IFonteBytes& fonte, std::string_view nomeArquivo, const OpcoesVerificacao& opcoes);

// One output line for a finding: "<rotulo>: offset N: <tipo>: <texto> [<code name> 0x...]".
std::string FormataAchado(std::string_view rotulo, const Achado& achado);

}  // namespace zenta::dbcheck
