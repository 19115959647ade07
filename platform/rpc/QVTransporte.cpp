#include "platform/rpc/QVTransporte.h"

#include <fstream>
#include <sstream>

namespace zenta::rpc {

void ConfiguraServidor(grpc::ServerBuilder& construtor) {
    construtor.SetMaxReceiveMessageSize(kTamanhoMaximoMensagem);
    construtor.SetMaxSendMessageSize(kTamanhoMaximoMensagem);
    construtor.AddChannelArgument(GRPC_ARG_KEEPALIVE_TIME_MS, kIntervaloPingMs);
    construtor.AddChannelArgument(GRPC_ARG_KEEPALIVE_TIMEOUT_MS, kEsperaPingMs);
    construtor.AddChannelArgument(GRPC_ARG_KEEPALIVE_PERMIT_WITHOUT_CALLS, 1);
    construtor.AddChannelArgument(GRPC_ARG_HTTP2_MIN_RECV_PING_INTERVAL_WITHOUT_DATA_MS, kIntervaloPingMs / 2);
    construtor.AddChannelArgument(GRPC_ARG_HTTP2_MAX_PING_STRIKES, 0);
}

grpc::ChannelArguments ArgumentosCanal() {
    grpc::ChannelArguments args;
    args.SetMaxReceiveMessageSize(kTamanhoMaximoMensagem);
    args.SetMaxSendMessageSize(kTamanhoMaximoMensagem);
    args.SetInt(GRPC_ARG_KEEPALIVE_TIME_MS, kIntervaloPingMs);
    args.SetInt(GRPC_ARG_KEEPALIVE_TIMEOUT_MS, kEsperaPingMs);
    args.SetInt(GRPC_ARG_KEEPALIVE_PERMIT_WITHOUT_CALLS, 1);
    args.SetInt(GRPC_ARG_HTTP2_MAX_PINGS_WITHOUT_DATA, 0);
    return args;
}

std::optional<std::string> LeArquivoTexto(const std::string& caminho) {
    if (caminho.empty()) return std::nullopt;
    std::ifstream in(caminho, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::optional<grpc::SslServerCredentialsOptions> OpcoesTlsServidor(const ConfiguracaoAplicacao& config) {
    auto certificado = LeArquivoTexto(config.certificadoTls);
    auto chave = LeArquivoTexto(config.chaveTls);
    auto autoridade = LeArquivoTexto(config.autoridadeTls);
    if (!certificado || !chave || !autoridade) return std::nullopt;
    grpc::SslServerCredentialsOptions opcoes(GRPC_SSL_REQUEST_AND_REQUIRE_CLIENT_CERTIFICATE_AND_VERIFY);
    opcoes.pem_root_certs = *autoridade;
    opcoes.pem_key_cert_pairs.push_back({*chave, *certificado});
    return opcoes;
}

std::optional<grpc::SslCredentialsOptions> OpcoesTlsCliente(const ConfiguracaoAplicacao& config) {
    auto autoridade = LeArquivoTexto(config.autoridadeTls);
    auto certificado = LeArquivoTexto(config.certificadoClienteTls);
    auto chave = LeArquivoTexto(config.chaveClienteTls);
    if (!autoridade || !certificado || !chave) return std::nullopt;
    grpc::SslCredentialsOptions opcoes;
    opcoes.pem_root_certs = *autoridade;
    opcoes.pem_private_key = *chave;
    opcoes.pem_cert_chain = *certificado;
    return opcoes;
}

}  // namespace zenta::rpc
