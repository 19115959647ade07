// The server side of the object transport: the classes this process offers
// to others, the objects it has handed out, grouped by client session, and
// the endpoints they are reached on.
//
// Endpoints: one Unix-domain socket per class in the run directory, accepted
// by our own loop so that the peer's credentials are checked before the
// connection reaches gRPC (only the server's own user and the application's
// permitted users get through); and, when the application names a TCP port,
// one TCP endpoint for other machines: TLS with client certificates unless
// the process's authentication level is RPC_C_AUTHN_LEVEL_NONE, which the
// installation sets to turn authentication off.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <zenta/Unknwn.h>

namespace zenta::rpc {

// The process security CoInitializeSecurity set; before any call, the
// default level.
void DefineSegurancaProcesso(DWORD nivelAutenticacao, DWORD nivelPersonificacao);
DWORD NivelAutenticacaoProcesso();

// Counts of what the process currently serves.
struct EstadoExportador {
    std::vector<std::string> enderecos;
    std::uint32_t sessoes = 0;
    std::uint32_t objetos = 0;
    bool suspenso = true;
};

// The process's class table for other processes.
HRESULT RegistraClasseLocal(REFCLSID clsid, IUnknown* pUnk, DWORD flags, DWORD* cookie);
HRESULT RevogaClasseLocal(DWORD cookie);
HRESULT RetomaClassesLocais();
HRESULT SuspendeClassesLocais();
EstadoExportador EstadoDoExportador();

}  // namespace zenta::rpc
