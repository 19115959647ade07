// The framing of the local channel: the transport's messages (zenta_rpc.proto)
// sent as they are over the class's Unix socket, one frame per message, each
// request answered by one frame of the same kind on the same connection.
//
// A connection opens with the 8-byte preface below (a gRPC client opens with
// HTTP/2's instead, which is how the server tells the two apart) followed by
// a Sessao frame: an empty one opens a new session, whose connection then
// carries nothing more and whose end ends the session; one naming a session
// joins that session's calls from the same process. Every frame is an 8-byte
// header and the serialised message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace google::protobuf {
class MessageLite;
}

namespace zenta::rpc::quadros {

inline constexpr std::string_view kPrefacio{"QVZL\x01\0\0\0", 8};

enum class Tipo : std::uint8_t {
    Sessao = 1,  // PedidoSessao -> EventoSessao (sessao 0: refused)
    Ativa = 2,   // PedidoAtivacao -> RespostaAtivacao
    Chama = 3,   // PedidoChamada -> RespostaChamada
    Libera = 4,  // PedidoLiberacao -> Vazio
    Estado = 5,  // Vazio -> EstadoServidor
    Eco = 6,     // Vazio -> Vazio
};

#pragma pack(push, 1)
struct CabecalhoQuadro {
    std::uint32_t tamanho;  // bytes of the message after the header, little-endian
    std::uint8_t tipo;
    std::uint8_t preenchimento[3];  // zero
};
#pragma pack(pop)
static_assert(sizeof(CabecalhoQuadro) == 8);
static_assert(offsetof(CabecalhoQuadro, tamanho) == 0);
static_assert(offsetof(CabecalhoQuadro, tipo) == 4);

// What one connection has put on and taken off its socket.
struct Contagem {
    std::uint64_t enviados = 0;
    std::uint64_t recebidos = 0;
};

// All of `dados` onto a blocking socket (no SIGPIPE when the peer is gone).
bool EnviaTudo(int fd, std::string_view dados);
// Exactly `n` bytes; false at the end of the stream or on an error. With
// `esperaMs` >= 0, also false when nothing arrives for that long.
bool RecebeTudo(int fd, char* destino, std::size_t n, int esperaMs = -1);

// Sends `mensagem` as one frame (header and message in one write).
bool EnviaQuadro(int fd, Tipo tipo, const google::protobuf::MessageLite& mensagem, Contagem* contagem = nullptr);
// Reads one frame into `corpo`. False at the end of the stream, on an error,
// a header with a filler that is not zero, or a message above `maximo`
// bytes: the body is read as it arrives, never allocated ahead from what the
// header claims.
bool RecebeQuadro(int fd, Tipo* tipo, std::string& corpo, std::uint32_t maximo, int esperaMs = -1,
                  Contagem* contagem = nullptr);

}  // namespace zenta::rpc::quadros
