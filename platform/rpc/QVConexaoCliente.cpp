#include "platform/rpc/QVConexaoCliente.h"

#include <atomic>
#include <cstring>
#include <thread>

#include <grpcpp/grpcpp.h>

#include "platform/rpc/QVConexaoImpl.h"
#include "platform/rpc/QVTransporte.h"
#include "platform/rpc/zenta_rpc.grpc.pb.h"

namespace zenta::rpc {
namespace {

namespace pb = zenta::rpc::proto;

std::string Bytes(REFGUID g) { return std::string(reinterpret_cast<const char*>(&g), sizeof g); }

// A failure of the transport as the caller of a method sees it: nothing
// reached the server, or the call was cut off.
HRESULT HresultDe(const grpc::Status& status) {
    switch (status.error_code()) {
        case grpc::StatusCode::OK:
            return S_OK;
        case grpc::StatusCode::UNAVAILABLE:
            return HR_RPC_S_SERVER_UNAVAILABLE;
        case grpc::StatusCode::RESOURCE_EXHAUSTED:
            return E_OUTOFMEMORY;
        case grpc::StatusCode::UNAUTHENTICATED:
        case grpc::StatusCode::PERMISSION_DENIED:
            return E_ACCESSDENIED;
        default:
            return RPC_E_DISCONNECTED;
    }
}

// The channel of one remote object: its calls go through the connection, and
// its end releases the object in the server.
class CanalRemoto final : public CanalObjeto {
public:
    CanalRemoto(std::shared_ptr<Conexao> conexao, std::uint64_t objeto)
        : m_conexao(std::move(conexao)), m_objeto(objeto) {}
    ~CanalRemoto() override { m_conexao->Libera(m_objeto); }
    HRESULT Chama(REFIID iid, ULONG slot, std::string_view entrada, std::string& saida) override {
        return m_conexao->Chama(m_objeto, iid, slot, entrada, saida);
    }

private:
    std::shared_ptr<Conexao> m_conexao;
    std::uint64_t m_objeto;
};

// The connection over gRPC: a session stream the server ends when it shuts
// down, and unary calls.
class ImplGrpc final : public Conexao::Impl {
public:
    ~ImplGrpc() override {
        // Ending the session releases in the server whatever is left of ours.
        contextoSessao.TryCancel();
        if (vigia.joinable()) vigia.join();
        if (sessao) sessao->Finish();
    }
    HRESULT Ativa(const pb::PedidoAtivacao& pedido, pb::RespostaAtivacao* resposta) override {
        grpc::ClientContext contexto;
        return HresultDe(stub->Ativa(&contexto, pedido, resposta));
    }
    HRESULT Chama(const pb::PedidoChamada& pedido, pb::RespostaChamada* resposta) override {
        grpc::ClientContext contexto;
        return HresultDe(stub->Chama(&contexto, pedido, resposta));
    }
    void Libera(const pb::PedidoLiberacao& pedido) override {
        pb::Vazio vazio;
        grpc::ClientContext contexto;
        contexto.set_deadline(std::chrono::system_clock::now() + std::chrono::seconds(10));
        (void)stub->Libera(&contexto, pedido, &vazio);
    }
    HRESULT Eco() override {
        pb::Vazio pedido, resposta;
        grpc::ClientContext contexto;
        return HresultDe(stub->Eco(&contexto, pedido, &resposta));
    }
    HRESULT Estado(pb::EstadoServidor* resposta) override {
        pb::Vazio pedido;
        grpc::ClientContext contexto;
        contexto.set_deadline(std::chrono::system_clock::now() + std::chrono::seconds(10));
        return HresultDe(stub->Estado(&contexto, pedido, resposta));
    }
    bool Viva() const override { return viva; }

    std::shared_ptr<grpc::Channel> canal;
    std::unique_ptr<pb::QVExportador::Stub> stub;
    grpc::ClientContext contextoSessao;
    std::unique_ptr<grpc::ClientReaderWriter<pb::PedidoSessao, pb::EventoSessao>> sessao;
    std::atomic<bool> viva{true};
    std::thread vigia;  // waits for the server to end the session
};

}  // namespace

Conexao::Conexao(std::unique_ptr<Impl> impl, std::string alvo) : m_impl(std::move(impl)), m_alvo(std::move(alvo)) {}

HRESULT Conexao::Abre(const std::string& alvo, std::shared_ptr<grpc::ChannelCredentials> credenciais,
                      std::chrono::milliseconds espera, std::shared_ptr<Conexao>* conexao) {
    constexpr std::string_view kUnix = "unix:";
    if (alvo.compare(0, kUnix.size(), kUnix) != 0) return AbreGrpc(alvo, std::move(credenciais), espera, conexao);
    conexao->reset();
    std::unique_ptr<Impl> impl;
    const HRESULT hr = AbreConexaoLocal(alvo.substr(kUnix.size()), espera, &impl);
    if (FAILED(hr)) return hr;
    conexao->reset(new Conexao(std::move(impl), alvo));
    return S_OK;
}

HRESULT Conexao::AbreGrpc(const std::string& alvo, std::shared_ptr<grpc::ChannelCredentials> credenciais,
                          std::chrono::milliseconds espera, std::shared_ptr<Conexao>* conexao) {
    conexao->reset();
    auto impl = std::make_unique<ImplGrpc>();
    impl->canal = grpc::CreateCustomChannel(alvo, credenciais, ArgumentosCanal());
    // The first attempt decides: a refused connection or handshake is not
    // retried until the time runs out.
    const auto limite = std::chrono::system_clock::now() + espera;
    for (grpc_connectivity_state estado = impl->canal->GetState(true); estado != GRPC_CHANNEL_READY;
         estado = impl->canal->GetState(true)) {
        if (estado == GRPC_CHANNEL_TRANSIENT_FAILURE || estado == GRPC_CHANNEL_SHUTDOWN ||
            !impl->canal->WaitForStateChange(estado, limite))
            return HR_RPC_S_SERVER_UNAVAILABLE;
    }
    impl->stub = pb::QVExportador::NewStub(impl->canal);
    impl->sessao = impl->stub->Sessao(&impl->contextoSessao);
    pb::EventoSessao evento;
    if (!impl->sessao->Read(&evento) || evento.sessao() == 0) {
        impl->contextoSessao.TryCancel();
        impl->sessao->Finish();
        impl->sessao.reset();
        return HR_RPC_S_SERVER_UNAVAILABLE;
    }
    impl->idSessao = evento.sessao();
    ImplGrpc* bruto = impl.get();
    impl->vigia = std::thread([bruto] {
        pb::EventoSessao outro;
        while (bruto->sessao->Read(&outro)) {
        }
        bruto->viva = false;
    });
    conexao->reset(new Conexao(std::move(impl), alvo));
    return S_OK;
}

Conexao::~Conexao() = default;

bool Conexao::Viva() const { return m_impl->Viva(); }

TrafegoConexao Conexao::Trafego() const { return m_impl->Trafego(); }

HRESULT Conexao::CriaObjeto(REFCLSID clsid, REFIID iid, void** ppv) {
    *ppv = nullptr;
    const InterfaceRemota* funcoes = InterfaceRemotaDe(iid);
    if (funcoes == nullptr) return E_NOINTERFACE;
    pb::PedidoAtivacao pedido;
    pedido.set_sessao(m_impl->idSessao);
    pedido.set_clsid(Bytes(clsid));
    pedido.set_iid(Bytes(iid));
    pb::RespostaAtivacao resposta;
    const HRESULT hr = m_impl->Ativa(pedido, &resposta);
    if (FAILED(hr)) return hr;
    if (FAILED(resposta.hr())) return resposta.hr();
    // From here the object exists in the server: the channel releases it
    // when the proxy goes, or at once when no proxy can be made.
    auto canal = std::make_shared<CanalRemoto>(shared_from_this(), resposta.objeto());
    return funcoes->criaProxy(std::move(canal), iid, ppv);
}

HRESULT Conexao::Chama(std::uint64_t objeto, REFIID iid, ULONG slot, std::string_view entrada, std::string& saida) {
    saida.clear();
    pb::PedidoChamada pedido;
    pedido.set_sessao(m_impl->idSessao);
    pedido.set_objeto(objeto);
    pedido.set_iid(Bytes(iid));
    pedido.set_slot(slot);
    pedido.set_argumentos(entrada.data(), entrada.size());
    pb::RespostaChamada resposta;
    const HRESULT hr = m_impl->Chama(pedido, &resposta);
    if (FAILED(hr)) return hr;
    saida = std::move(*resposta.mutable_resultados());
    return resposta.hr();
}

void Conexao::Libera(std::uint64_t objeto) {
    if (!m_impl->Viva()) return;  // the server is gone, and the object with it
    pb::PedidoLiberacao pedido;
    pedido.set_sessao(m_impl->idSessao);
    pedido.set_objeto(objeto);
    m_impl->Libera(pedido);
}

HRESULT Conexao::Eco() { return m_impl->Eco(); }

HRESULT Conexao::Estado(EstadoRemoto* estado) {
    pb::EstadoServidor resposta;
    const HRESULT hr = m_impl->Estado(&resposta);
    if (FAILED(hr)) return hr;
    estado->pid = resposta.pid();
    estado->executavel = resposta.executavel();
    estado->enderecos.assign(resposta.enderecos().begin(), resposta.enderecos().end());
    estado->sessoes = resposta.sessoes();
    estado->objetos = resposta.objetos();
    estado->suspenso = resposta.suspenso();
    estado->nivelAutenticacao = resposta.nivel_autenticacao();
    return S_OK;
}

}  // namespace zenta::rpc
