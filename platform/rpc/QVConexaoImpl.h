// What a client connection does underneath, in the transport's messages:
// over gRPC (other machines, or a gRPC client of the local socket) or over
// the local channel's frames (QVQuadros.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/rpc/QVConexaoCliente.h"
#include "platform/rpc/zenta_rpc.pb.h"

namespace zenta::rpc {

struct Conexao::Impl {
    virtual ~Impl() = default;
    // Transport failures as HRESULTs (HR_RPC_S_SERVER_UNAVAILABLE,
    // RPC_E_DISCONNECTED, ...); S_OK when the answer came.
    virtual HRESULT Ativa(const proto::PedidoAtivacao& pedido, proto::RespostaAtivacao* resposta) = 0;
    virtual HRESULT Chama(const proto::PedidoChamada& pedido, proto::RespostaChamada* resposta) = 0;
    // Waits at most ten seconds: a server that does not answer loses the
    // object with the session.
    virtual void Libera(const proto::PedidoLiberacao& pedido) = 0;
    virtual HRESULT Eco() = 0;
    virtual HRESULT Estado(proto::EstadoServidor* resposta) = 0;
    virtual bool Viva() const = 0;
    virtual TrafegoConexao Trafego() const { return {}; }

    std::uint64_t idSessao = 0;
};

// The local channel's connection to the socket at `caminho`.
HRESULT AbreConexaoLocal(const std::string& caminho, std::chrono::milliseconds espera,
                         std::unique_ptr<Conexao::Impl>* impl);

}  // namespace zenta::rpc
