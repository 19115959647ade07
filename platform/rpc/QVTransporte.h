// What both ends of the object transport agree on: message limits,
// keep-alive pings (so that a peer that vanished without closing its
// connection is noticed within a bounded time) and TLS material.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <grpcpp/grpcpp.h>
#include <grpcpp/security/server_credentials.h>

#include "platform/rpc/QVEnderecos.h"

namespace zenta::rpc {

// The largest call message either end accepts: larger ones are refused by
// the transport instead of being read into memory.
inline constexpr int kTamanhoMaximoMensagem = 256 * 1024 * 1024;
// Pings on an idle connection and how long an answer may take: a peer that
// is gone is noticed after at most their sum.
inline constexpr int kIntervaloPingMs = 20'000;
inline constexpr int kEsperaPingMs = 10'000;

void ConfiguraServidor(grpc::ServerBuilder& construtor);
grpc::ChannelArguments ArgumentosCanal();

// The server's TLS options from the application's certificate, key and
// client authority (clients must present a certificate it signed); nullopt
// when a file is missing or unreadable.
std::optional<grpc::SslServerCredentialsOptions> OpcoesTlsServidor(const ConfiguracaoAplicacao& config);
// A client's TLS credentials for a remote server: the authority that signed
// the server's certificate and this client's own certificate and key.
std::optional<grpc::SslCredentialsOptions> OpcoesTlsCliente(const ConfiguracaoAplicacao& config);

// The whole content of a file, or nullopt.
std::optional<std::string> LeArquivoTexto(const std::string& caminho);

}  // namespace zenta::rpc
