// Records that clients and scripts hand in as JSON: whatever the document
// holds, the conversion refuses it cleanly or gives a record that converts
// back to the same JSON and frees without a leak. The first byte picks the
// record; the rest is the document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "records/QVDescricaoTipos.h"
#include "server/QVJsonRegistros.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    if (tamanho == 0) return 0;
    const auto descricoes = zenta::TodasDescricoes();
    const zenta::DescricaoRegistro& desc = *descricoes[dados[0] % descricoes.size()];
    const nlohmann::json entrada =
        nlohmann::json::parse(dados + 1, dados + tamanho, nullptr, /*allow_exceptions=*/false);
    if (entrada.is_discarded()) return 0;

    std::vector<unsigned char> registro(desc.tamanho, 0xCD);
    std::string erro;
    if (FAILED(zenta::JsonParaRegistro(desc, entrada, registro.data(), erro))) {
        // A refusal leaves the record zeroed, with nothing allocated.
        for (unsigned char byte : registro)
            if (byte != 0) std::abort();
        return 0;
    }
    nlohmann::json saida;
    if (FAILED(zenta::RegistroParaJson(desc, registro.data(), saida, erro))) std::abort();
    std::vector<unsigned char> copia(desc.tamanho, 0);
    if (FAILED(zenta::JsonParaRegistro(desc, saida, copia.data(), erro))) std::abort();
    nlohmann::json deNovo;
    if (FAILED(zenta::RegistroParaJson(desc, copia.data(), deNovo, erro)) || deNovo != saida) std::abort();
    zenta::LiberaRegistro(desc, registro.data());
    zenta::LiberaRegistro(desc, copia.data());
    return 0;
}
