// Freeing what an interface record holds, driven by its description
// (QVDescricaoTipos.h): the logic frees the records it reads back, clients
// free the [out] records they are handed.
#pragma once

#include "records/QVDescricaoTipos.h"

namespace zenta {

// Frees every array, BSTR and text the record holds, nested ones first, as a
// COM client frees an [out] record; pointers become null and counts 0.
void LiberaRegistro(const DescricaoRegistro& desc, void* registro);

template <class T>
void LiberaRegistro(T& registro) {
    LiberaRegistro(DescricaoDe<T>(), &registro);
}

}  // namespace zenta
