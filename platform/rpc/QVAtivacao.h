// Activation of objects in other processes: finding the class's server,
// starting it when none listens (one server per class, however many clients
// start at once), and asking it for a new object.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <zenta/Unknwn.h>

#include "platform/rpc/QVConexaoCliente.h"
#include "platform/rpc/QVEnderecos.h"

namespace zenta::rpc {

// True when the class has a local server: registered, or one is listening.
bool TemServidorLocal(REFCLSID clsid);

// Creates an object of `clsid` in its local server, starting the registered
// executable when no server listens, and returns a proxy for `iid`.
// REGDB_E_CLASSNOTREG when there is neither; CO_E_SERVER_EXEC_FAILURE when
// the server could not be started or did not answer in time.
HRESULT AtivaServidorLocal(REFCLSID clsid, REFIID iid, void** ppv);

// Creates an object of `clsid` in the server running on `maquina` ("host" or
// "host:port"; without a port, the application's TCP port) and returns a
// proxy for `iid`. The connection uses TLS with the application's client
// certificate unless the process's authentication level is none.
HRESULT AtivaServidorRemoto(REFCLSID clsid, const std::string& maquina, REFIID iid, void** ppv);

// The connection to the class's local server, without starting one
// (REGDB_E_CLASSNOTREG when it has no socket, HR_RPC_S_SERVER_UNAVAILABLE
// when its socket does not answer). Shared with the proxies
// created through it.
HRESULT ConexaoLocal(REFCLSID clsid, std::shared_ptr<Conexao>* conexao);

// A connection of its own to the class's local server, shared with no one:
// to the server, a client apart from every other in this process.
HRESULT NovaConexaoLocal(REFCLSID clsid, std::shared_ptr<Conexao>* conexao);

// How long a client waits for a starting server (tests shorten it).
void DefineEsperaInicioServidor(std::chrono::milliseconds espera);

}  // namespace zenta::rpc
