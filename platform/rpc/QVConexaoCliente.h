// The client side of the object transport: one connection per server a
// process talks to, holding the session whose end releases the process's
// objects there, and the channel each proxy calls its object through. A
// local server's socket is reached over the local channel's frames
// (QVQuadros.h), another machine over gRPC.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <zenta/Unknwn.h>

#include "platform/rpc/QVInterfaceRemota.h"

namespace grpc {
class ChannelCredentials;
}

namespace zenta::rpc {

struct EstadoRemoto {
    std::uint32_t pid = 0;
    std::string executavel;
    std::vector<std::string> enderecos;
    std::uint32_t sessoes = 0;
    std::uint32_t objetos = 0;
    bool suspenso = false;
    DWORD nivelAutenticacao = 0;
};

// Bytes a connection's calls put on and took off a local socket.
struct TrafegoConexao {
    std::uint64_t enviados = 0;
    std::uint64_t recebidos = 0;
};

class Conexao : public std::enable_shared_from_this<Conexao> {
public:
    struct Impl;

    // Connects to `alvo` ("unix:/path" of a local server, or a gRPC target
    // "host:port" with `credenciais`) and opens the session.
    // HR_RPC_S_SERVER_UNAVAILABLE when nothing answers within `espera`.
    static HRESULT Abre(const std::string& alvo, std::shared_ptr<grpc::ChannelCredentials> credenciais,
                        std::chrono::milliseconds espera, std::shared_ptr<Conexao>* conexao);
    // As Abre, but over gRPC also for a "unix:" target.
    static HRESULT AbreGrpc(const std::string& alvo, std::shared_ptr<grpc::ChannelCredentials> credenciais,
                            std::chrono::milliseconds espera, std::shared_ptr<Conexao>* conexao);
    ~Conexao();
    Conexao(const Conexao&) = delete;
    Conexao& operator=(const Conexao&) = delete;

    // Creates an object of `clsid` in the server and a proxy for `iid` on it.
    HRESULT CriaObjeto(REFCLSID clsid, REFIID iid, void** ppv);
    HRESULT Chama(std::uint64_t objeto, REFIID iid, ULONG slot, std::string_view entrada, std::string& saida);
    void Libera(std::uint64_t objeto);
    // One empty call and its answer: the bare cost of a round trip.
    HRESULT Eco();
    HRESULT Estado(EstadoRemoto* estado);
    // False once the server ended the session (it shut down or went away).
    bool Viva() const;
    const std::string& Alvo() const { return m_alvo; }
    // Over a local socket, what the calls so far have sent and received,
    // frames included; zero over gRPC.
    TrafegoConexao Trafego() const;

private:
    explicit Conexao(std::unique_ptr<Impl> impl, std::string alvo);
    std::unique_ptr<Impl> m_impl;
    std::string m_alvo;
};

}  // namespace zenta::rpc
