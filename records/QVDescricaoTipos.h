// The system's own description of its interface records: per record its name
// and size, per field its name, offset, size and kind, and for nested
// records, lists and arrays the record or count they refer to. One generic
// walker (freeing, the JSON form, the out-of-process marshalling) reads these
// tables instead of carrying code per record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>
#include <zenta/QVUnknown.h>

namespace zenta {

// A value read from or written to a record's bytes at a field's offset: the
// records are packed, so a field is copied, never referred to.
template <class T>
T LeNoRegistro(const unsigned char* base, std::size_t offset) {
    T v;
    std::memcpy(&v, base + offset, sizeof v);
    return v;
}

template <class T>
void GravaNoRegistro(unsigned char* base, std::size_t offset, T v) {
    std::memcpy(base + offset, &v, sizeof v);
}

enum class TipoCampo : std::uint8_t {
    U8,        // BYTE
    U16,       // USHORT
    U32,       // ULONG
    I32,       // LONG (also the interface's BOOL-like b... fields)
    U64,       // ULONGLONG
    I64,       // LONGLONG
    Moeda,     // CY, 1/10,000 units
    Data,      // ULONG day number, 0 = no date
    MesAno,    // USHORT month/year code, 0 = no month
    Hora,      // LONG time of day
    ChaveDmc,  // ULONGLONG record key
    Texto,     // char[n], Windows-1252, zero-terminated inside the field
    Bstr,      // BSTR
    Filler,    // reserved bytes (and reserved pointers): never carry data
    Registro,  // a record held by value (`registro`)
    Contagem,  // ULONG count of the list/array/bytes that names it
    Lista,     // pointer to `registro` elements, count at `offsetContagem`
    ArrayU32,  // pointer to ULONGs, count at `offsetContagem`
    ArrayDmc,  // pointer to ULONGLONG keys, count at `offsetContagem`
    BytesDf,   // BYTE* of a _REG_DF_TEXTOPS, byte count at `offsetContagem`
    TextoDf,   // a _REG_DF_TEXTOPS held by value, carried as one text
};

struct DescricaoRegistro;

struct DescricaoCampo {
    const char* nome;
    std::size_t offset;
    std::size_t tamanho;
    TipoCampo tipo;
    const DescricaoRegistro* registro;  // Registro, Lista, TextoDf
    std::size_t offsetContagem;         // Lista, ArrayU32, ArrayDmc, BytesDf
};

struct DescricaoRegistro {
    const char* nome;
    std::size_t tamanho;
    std::span<const DescricaoCampo> campos;
};

// Every interface record, in the header's order of definition.
std::span<const DescricaoRegistro* const> TodasDescricoes();

// The description named `nome` (e.g. "_REG_ITEM_TREE_PS"); null if none.
const DescricaoRegistro* DescricaoPorNome(std::string_view nome);

// The description of record type T (defined for every interface record).
template <class T>
const DescricaoRegistro& DescricaoDe();

template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_PROPRIEDADES_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_FILTRO_CADASTRO_MANUTENCAO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_PTRS_CADASTRO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MEDIDORES_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_MANUTENCOES_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_CLIENTES_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_DF_TEXTOPS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_PRODUTO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_SERVICO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_LOCAL_PRODUTO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_PRODUTO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_SERVICO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MANUTENCAO_CLIENTE_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_QV_DMCPS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_MOVIMENTACAO_FILTRO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_HISTORICO_MEDICOES_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CADASTRO_MEDICAO_ATUAL_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_FILTRO_MEDICAO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_CADASTRO_MEDICAO_ATUAL_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_FILTRO_HISTORICO_MEDICAO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_PONTEIROS_DATA_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_PTR_DATA_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_HISTORICO_MEDICOES_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_MOVIMENTACAO_PRODUTO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_MOVIMENTACAO_SERVICO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_RELACIONAMENTO_OS_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_DMC_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_MOVIMENTACAO_MANUT_PREV_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_MOVIMENTACAO_LOCAL_PRODUTO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_LISTA_ITENS_TREE_PS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_ITEM_TREE_PS>();

// The records of IQVUnknown (not in TodasDescricoes).
template <>
const DescricaoRegistro& DescricaoDe<_REG_DF_INICIALIZAPS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_DF_ERROPS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CR_LISTA_BYTESPS>();
template <>
const DescricaoRegistro& DescricaoDe<_REG_CR_ALTERACAOPS>();

}  // namespace zenta
