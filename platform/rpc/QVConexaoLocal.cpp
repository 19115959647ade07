// The client side of the local channel: the session's own connection, which
// carries nothing after it opened and whose end tells the server this client
// is gone, and a pool of call connections joined to the session. A call takes
// an idle connection (or opens one), writes its frame, reads the answer on
// the same thread and gives the connection back: a call is one write and one
// read on each side, and calls from several threads run side by side on
// connections of their own.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/rpc/QVConexaoImpl.h"
#include "platform/rpc/QVQuadros.h"
#include "platform/rpc/QVTransporte.h"

namespace zenta::rpc {
namespace {

namespace pb = zenta::rpc::proto;
using quadros::Tipo;

// Idle call connections kept per client connection; more are closed when
// given back.
constexpr std::size_t kLigacoesOciosas = 16;
constexpr int kEsperaRespostaCurtaMs = 10'000;
constexpr auto kMaximoQuadro = static_cast<std::uint32_t>(kTamanhoMaximoMensagem);

class ImplLocal final : public Conexao::Impl {
public:
    explicit ImplLocal(std::string caminho) : m_caminho(std::move(caminho)) {}
    ~ImplLocal() override {
        for (const int fd : m_ociosas) ::close(fd);
        // Closing the session's connection ends the session in the server.
        if (m_fdSessao >= 0) ::close(m_fdSessao);
    }
    ImplLocal(const ImplLocal&) = delete;
    ImplLocal& operator=(const ImplLocal&) = delete;

    HRESULT AbreSessao(std::chrono::milliseconds espera) {
        pb::PedidoSessao pedido;
        pb::EventoSessao evento;
        m_fdSessao = Apresenta(pedido, &evento, static_cast<int>(espera.count()));
        if (m_fdSessao < 0) return HR_RPC_S_SERVER_UNAVAILABLE;
        idSessao = evento.sessao();
        return S_OK;
    }

    HRESULT Ativa(const pb::PedidoAtivacao& pedido, pb::RespostaAtivacao* resposta) override {
        return Troca(Tipo::Ativa, pedido, resposta, -1);
    }
    HRESULT Chama(const pb::PedidoChamada& pedido, pb::RespostaChamada* resposta) override {
        return Troca(Tipo::Chama, pedido, resposta, -1);
    }
    void Libera(const pb::PedidoLiberacao& pedido) override {
        pb::Vazio vazio;
        (void)Troca(Tipo::Libera, pedido, &vazio, kEsperaRespostaCurtaMs);
    }
    HRESULT Eco() override {
        pb::Vazio pedido, resposta;
        return Troca(Tipo::Eco, pedido, &resposta, -1);
    }
    HRESULT Estado(pb::EstadoServidor* resposta) override {
        pb::Vazio pedido;
        return Troca(Tipo::Estado, pedido, resposta, kEsperaRespostaCurtaMs);
    }
    // The server never writes on the session's connection after answering
    // it: anything readable there is its end.
    bool Viva() const override {
        pollfd p{m_fdSessao, POLLIN | POLLRDHUP, 0};
        return ::poll(&p, 1, 0) == 0;
    }
    TrafegoConexao Trafego() const override { return {m_enviados.load(), m_recebidos.load()}; }

private:
    // A new connection to the socket with the preface and a Sessao frame
    // sent and its answer read into `evento`; -1 when the server is not
    // there, refuses or does not answer in time.
    int Apresenta(const pb::PedidoSessao& pedido, pb::EventoSessao* evento, int esperaMs) const {
        sockaddr_un endereco{};
        endereco.sun_family = AF_UNIX;
        if (m_caminho.size() >= sizeof endereco.sun_path) return -1;
        std::memcpy(endereco.sun_path, m_caminho.c_str(), m_caminho.size() + 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return -1;
        Tipo tipo{};
        std::string corpo;
        const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&endereco), sizeof endereco) == 0 &&
                        quadros::EnviaTudo(fd, quadros::kPrefacio) && quadros::EnviaQuadro(fd, Tipo::Sessao, pedido) &&
                        quadros::RecebeQuadro(fd, &tipo, corpo, kMaximoQuadro, esperaMs) &&
                        tipo == Tipo::Sessao && evento->ParseFromString(corpo) && evento->sessao() != 0;
        if (!ok) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    int Toma() {
        {
            std::lock_guard lock(m_trava);
            if (!m_ociosas.empty()) {
                const int fd = m_ociosas.back();
                m_ociosas.pop_back();
                return fd;
            }
        }
        pb::PedidoSessao pedido;
        pedido.set_sessao(idSessao);
        pb::EventoSessao evento;
        const int fd = Apresenta(pedido, &evento, kEsperaRespostaCurtaMs);
        if (fd >= 0 && evento.sessao() != idSessao) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    void Devolve(int fd) {
        {
            std::lock_guard lock(m_trava);
            if (m_ociosas.size() < kLigacoesOciosas) {
                m_ociosas.push_back(fd);
                return;
            }
        }
        ::close(fd);
    }

    // One request and its answer on a call connection. A connection that
    // failed midway is closed, never reused: its next frame could be the
    // answer of this call.
    HRESULT Troca(Tipo tipo, const google::protobuf::MessageLite& pedido, google::protobuf::MessageLite* resposta,
                  int esperaMs) {
        const int fd = Toma();
        if (fd < 0) return HR_RPC_S_SERVER_UNAVAILABLE;
        quadros::Contagem contagem;
        if (!quadros::EnviaQuadro(fd, tipo, pedido, &contagem)) {
            ::close(fd);
            return RPC_E_DISCONNECTED;
        }
        Tipo recebido{};
        std::string corpo;
        if (!quadros::RecebeQuadro(fd, &recebido, corpo, kMaximoQuadro, esperaMs, &contagem) || recebido != tipo ||
            !resposta->ParseFromString(corpo)) {
            ::close(fd);
            return RPC_E_DISCONNECTED;
        }
        m_enviados += contagem.enviados;
        m_recebidos += contagem.recebidos;
        Devolve(fd);
        return S_OK;
    }

    std::string m_caminho;
    int m_fdSessao = -1;
    std::mutex m_trava;
    std::vector<int> m_ociosas;
    std::atomic<std::uint64_t> m_enviados{0};
    std::atomic<std::uint64_t> m_recebidos{0};
};

}  // namespace

HRESULT AbreConexaoLocal(const std::string& caminho, std::chrono::milliseconds espera,
                         std::unique_ptr<Conexao::Impl>* impl) {
    auto local = std::make_unique<ImplLocal>(caminho);
    const HRESULT hr = local->AbreSessao(espera);
    if (FAILED(hr)) return hr;
    *impl = std::move(local);
    return S_OK;
}

}  // namespace zenta::rpc
