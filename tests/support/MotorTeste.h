// Shared pieces of the record-file engine's tests.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVDataBaseDefs.h"

namespace zenta::teste {

// Retries without pauses: `tentativas` attempts per open and per write.
inline zenta::PoliticaTentativas PoliticaRapida(unsigned tentativasAbertura = 3, unsigned tentativasGravacao = 3) {
    zenta::PoliticaTentativas p;
    p.tentativasAbertura = tentativasAbertura;
    p.tentativasGravacao = tentativasGravacao;
    p.pausa = std::chrono::milliseconds(0);
    return p;
}

// The header at the start of a file's bytes (zero where they are short).
inline REG_QVDATABASE_CABECALHO_V1 CabecalhoDe(const std::string& bytes) {
    REG_QVDATABASE_CABECALHO_V1 c{};
    std::memcpy(&c, bytes.data(), std::min(bytes.size(), sizeof c));
    return c;
}

}  // namespace zenta::teste
