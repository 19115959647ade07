// Waiting in tests for what another thread or process brings about, and the
// state of the running local server.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include <zenta/zenta.h>

#include "platform/rpc/QVAtivacao.h"
#include "platform/rpc/QVConexaoCliente.h"

namespace zenta::teste {

// Polls `condicao` until it holds (true) or `limite` passes (false).
inline bool EsperaAte(const std::function<bool()>& condicao,
                      std::chrono::milliseconds limite = std::chrono::seconds(10)) {
    const auto fim = std::chrono::steady_clock::now() + limite;
    while (!condicao()) {
        if (std::chrono::steady_clock::now() >= fim) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// The state of the running server of the service's class, or nothing when none answers.
inline std::optional<zenta::rpc::EstadoRemoto> EstadoServidor() {
    std::shared_ptr<zenta::rpc::Conexao> conexao;
    if (FAILED(zenta::rpc::ConexaoLocal(CLSID_QVGE_ManutencaoPreventiva, &conexao))) return std::nullopt;
    zenta::rpc::EstadoRemoto estado;
    if (FAILED(conexao->Estado(&estado))) return std::nullopt;
    return estado;
}

}  // namespace zenta::teste
