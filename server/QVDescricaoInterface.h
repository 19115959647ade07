// The description of the service's interfaces: IQVUnknown (slots 3 to 9) and
// IQVGE_ManutencaoPreventiva (slots 10 to 37). Per method its name, slot and
// parameters; per parameter its name, direction, C type and, where the
// argument is a record (by value or through pointers), the record's
// description. The type library is written from these tables.
#pragma once

#include <cstdint>
#include <span>

#include <zenta/WinTypes.h>

#include "records/QVDescricaoTipos.h"

namespace zenta {

enum class DirecaoParametro : std::uint8_t {
    Entrada = 1,       // [in]
    Saida = 2,         // [out]
    EntradaSaida = 3,  // [in, out]
};

struct DescricaoParametro {
    const char* nome;
    DirecaoParametro direcao;
    const char* tipoC;                  // as declared, e.g. "long*", "_REG_DF_ERROPS*"
    const DescricaoRegistro* registro;  // the record the argument is or points to; null otherwise
};

struct DescricaoMetodo {
    const char* nome;
    unsigned slot;  // position in the vtable, IUnknown's three counted
    std::span<const DescricaoParametro> parametros;
};

struct DescricaoInterface {
    const char* nome;
    const IID* iid;
    const DescricaoInterface* base;  // null: derives from IUnknown
    std::span<const DescricaoMetodo> metodos;
};

const DescricaoInterface& DescricaoIQVUnknown();
const DescricaoInterface& DescricaoIQVGE_ManutencaoPreventiva();

// The records of IQVUnknown (_REG_DF_INICIALIZAPS, _REG_CR_LISTA_BYTESPS,
// _REG_CR_ALTERACAOPS, _REG_DF_ERROPS), in that order; TodasDescricoes
// lists the service interface's records only.
std::span<const DescricaoRegistro* const> DescricoesRegistrosIQVUnknown();

}  // namespace zenta
