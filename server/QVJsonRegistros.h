// Interface records to and from JSON, driven by their descriptions
// (QVDescricaoTipos.h): dates "YYYY-MM-DD", month/year values "YYYY-MM"
// (null for none), currency as exact decimal text, texts in UTF-8 (Windows-
// 1252 inside records, UTF-16 in BSTRs), lists and arrays as JSON arrays,
// nested records as objects. Fillers and counts are never written: counts
// follow the arrays.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include <zenta/WinTypes.h>

#include "records/QVDescricaoTipos.h"
#include "records/QVLiberaRegistro.h"

namespace zenta {

// Record -> JSON object. E_INVALIDARG (with `erro` naming the field) for a
// value that has no JSON form: a text without its terminating zero, a date
// or month out of range, a list with a count but no array.
HRESULT RegistroParaJson(const DescricaoRegistro& desc, const void* registro, nlohmann::json& saida,
                         std::string& erro);

// JSON object -> record. The record is overwritten (zeroed first; fillers
// stay zero), arrays are allocated with CoTaskMemAlloc and BSTRs with
// SysAllocString, as an [in] record a client builds. On failure E_INVALIDARG
// (E_OUTOFMEMORY when memory runs out) with `erro` naming the field, and
// the record is left zeroed with nothing allocated.
HRESULT JsonParaRegistro(const DescricaoRegistro& desc, const nlohmann::json& entrada, void* registro,
                         std::string& erro);

template <class T>
HRESULT RegistroParaJson(const T& registro, nlohmann::json& saida, std::string& erro) {
    return RegistroParaJson(DescricaoDe<T>(), &registro, saida, erro);
}
template <class T>
HRESULT JsonParaRegistro(const nlohmann::json& entrada, T& registro, std::string& erro) {
    return JsonParaRegistro(DescricaoDe<T>(), entrada, &registro, erro);
}

}  // namespace zenta
