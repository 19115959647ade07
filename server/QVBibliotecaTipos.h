// The type library "ZENTALib": the description of the interfaces and their
// records that the server carries (resource 1 of type "TYPELIB") and
// registers. Its file format is this system's own:
//
//   header (104 bytes, below), then six tables, each where the header says:
//     records     16 bytes each: name, size, first field, field count
//     fields      24 bytes each: name, offset, size, kind (TipoCampo), the
//                 record it refers to (index or kSemIndice), the offset of
//                 its count field
//     interfaces  32 bytes each: IID, name, base interface (index or
//                 kSemIndice), first method, method count
//     methods     16 bytes each: name, vtable slot, first parameter, count
//     parameters  16 bytes each: name, C type, record (index or kSemIndice),
//                 direction (1 [in], 2 [out], 3 [in, out])
//     texts       zero-terminated ASCII names; every name above is an offset
//                 into this table
//
// All integers are little-endian; the header ends with the CRC-64 of every
// byte after it. A record's fields, an interface's methods and a method's
// parameters are runs of their tables. The reader takes the file as hostile:
// every offset, count, index, kind and text is checked before use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/OleAutoTypeLib.h"
#include <zenta/WinTypes.h>

#include "records/QVDescricaoTipos.h"

namespace zenta {

inline constexpr std::uint32_t kSemIndice = 0xFFFFFFFFu;

struct CampoBiblioteca {
    std::string nome;
    std::uint32_t offset = 0;
    std::uint32_t tamanho = 0;
    TipoCampo tipo = TipoCampo::U8;
    std::uint32_t registro = kSemIndice;  // Registro, Lista, TextoDf: index of the record
    std::uint32_t offsetContagem = 0;     // Lista, ArrayU32, ArrayDmc, BytesDf
    bool operator==(const CampoBiblioteca&) const = default;
};

struct RegistroBiblioteca {
    std::string nome;
    std::uint32_t tamanho = 0;
    std::vector<CampoBiblioteca> campos;
    bool operator==(const RegistroBiblioteca&) const = default;
};

struct ParametroBiblioteca {
    std::string nome;
    std::uint8_t direcao = 1;  // 1 [in], 2 [out], 3 [in, out]
    std::string tipoC;
    std::uint32_t registro = kSemIndice;
    bool operator==(const ParametroBiblioteca&) const = default;
};

struct MetodoBiblioteca {
    std::string nome;
    std::uint32_t slot = 0;
    std::vector<ParametroBiblioteca> parametros;
    bool operator==(const MetodoBiblioteca&) const = default;
};

struct InterfaceBiblioteca {
    std::string nome;
    GUID iid{};
    std::uint32_t base = kSemIndice;
    std::vector<MetodoBiblioteca> metodos;
    bool operator==(const InterfaceBiblioteca& o) const {
        return nome == o.nome && iid == o.iid && base == o.base && metodos == o.metodos;
    }
};

struct BibliotecaTipos {
    std::string nome;
    GUID libid{};
    WORD versaoMaior = 0;
    WORD versaoMenor = 0;
    LCID lcid = 0;
    WORD flags = 0;
    std::vector<RegistroBiblioteca> registros;
    std::vector<InterfaceBiblioteca> interfaces;
    bool operator==(const BibliotecaTipos& o) const {
        return nome == o.nome && libid == o.libid && versaoMaior == o.versaoMaior && versaoMenor == o.versaoMenor &&
               lcid == o.lcid && flags == o.flags && registros == o.registros && interfaces == o.interfaces;
    }
};

// "ZENTALib" 1.0, locale 0x409: the records of IQVUnknown, then every
// interface record in declaration order; IQVUnknown and
// IQVGE_ManutencaoPreventiva with their methods.
BibliotecaTipos BibliotecaZenta();

// The file's bytes. E_INVALIDARG when the library itself is inconsistent
// (an index out of range, a name that is no plain ASCII text).
HRESULT EscreveBibliotecaTipos(const BibliotecaTipos& biblioteca, std::string& bytes);

// Reads and checks a file: TYPE_E_UNSUPFORMAT when it is not a library of
// this format and version, TYPE_E_INVDATAREAD when it is damaged.
HRESULT LeBibliotecaTipos(std::string_view bytes, BibliotecaTipos& biblioteca);

}  // namespace zenta
