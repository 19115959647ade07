// The walker that frees an interface record's arrays, BSTRs and texts over
// its description, recursing into nested records and list elements.
#include "records/QVLiberaRegistro.h"

#include <cstring>

#include <zenta/ObjBase.h>
#include <zenta/OleAuto.h>

namespace zenta {

namespace {

void Libera(const DescricaoRegistro& desc, unsigned char* reg) {
    for (const DescricaoCampo& c : desc.campos) {
        const std::size_t o = c.offset;
        switch (c.tipo) {
            case TipoCampo::Registro:
            case TipoCampo::TextoDf: Libera(*c.registro, reg + o); break;
            case TipoCampo::Bstr:
                SysFreeString(LeNoRegistro<BSTR>(reg, o));
                GravaNoRegistro<BSTR>(reg, o, nullptr);
                break;
            case TipoCampo::Lista:
            case TipoCampo::ArrayU32:
            case TipoCampo::ArrayDmc:
            case TipoCampo::BytesDf: {
                auto* p = LeNoRegistro<unsigned char*>(reg, o);
                if (p != nullptr && c.tipo == TipoCampo::Lista) {
                    const ULONG n = LeNoRegistro<ULONG>(reg, c.offsetContagem);
                    for (ULONG i = 0; i < n; ++i) Libera(*c.registro, p + i * c.registro->tamanho);
                }
                CoTaskMemFree(p);
                GravaNoRegistro<void*>(reg, o, nullptr);
                GravaNoRegistro<ULONG>(reg, c.offsetContagem, 0);
                break;
            }
            default: break;
        }
    }
}

}  // namespace

void LiberaRegistro(const DescricaoRegistro& desc, void* registro) {
    if (registro != nullptr) Libera(desc, static_cast<unsigned char*>(registro));
}

}  // namespace zenta
