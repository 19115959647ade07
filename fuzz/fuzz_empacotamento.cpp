// Call messages as a stub receives them from another process: whatever the
// bytes, reading a record refuses them and leaves the record zeroed, or
// gives a record that writes back exactly the bytes it consumed and frees
// without a leak. The first byte picks the record among every interface
// record and those of IQVUnknown; the rest is the message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "records/QVDescricaoTipos.h"
#include "server/QVEmpacotamento.h"
#include "server/QVJsonRegistros.h"

namespace {

const std::vector<const zenta::DescricaoRegistro*>& Descricoes() {
    static const std::vector<const zenta::DescricaoRegistro*> lista = [] {
        const auto todas = zenta::TodasDescricoes();
        std::vector<const zenta::DescricaoRegistro*> v(todas.begin(), todas.end());
        v.push_back(&zenta::DescricaoDe<_REG_DF_INICIALIZAPS>());
        v.push_back(&zenta::DescricaoDe<_REG_DF_ERROPS>());
        v.push_back(&zenta::DescricaoDe<_REG_CR_LISTA_BYTESPS>());
        v.push_back(&zenta::DescricaoDe<_REG_CR_ALTERACAOPS>());
        return v;
    }();
    return lista;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    if (tamanho == 0) return 0;
    const auto& descricoes = Descricoes();
    const zenta::DescricaoRegistro& desc = *descricoes[dados[0] % descricoes.size()];
    const std::string_view mensagem(reinterpret_cast<const char*>(dados + 1), tamanho - 1);

    zenta::LeitorMensagem leitor(mensagem, HR_RPC_X_BAD_STUB_DATA);
    std::vector<unsigned char> registro(desc.tamanho, 0xCD);
    const HRESULT hr = zenta::LeRegistro(leitor, desc, registro.data());
    if (FAILED(hr)) {
        if (hr != HR_RPC_X_BAD_STUB_DATA && hr != E_OUTOFMEMORY) std::abort();
        for (unsigned char byte : registro)
            if (byte != 0) std::abort();
        return 0;
    }
    std::string escrita;
    zenta::EscritorMensagem escritor(escrita);
    zenta::EscreveRegistro(escritor, desc, registro.data());
    if (escrita != mensagem.substr(0, mensagem.size() - leitor.Restantes())) std::abort();
    zenta::LiberaRegistro(desc, registro.data());
    return 0;
}
