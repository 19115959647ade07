// Where a class's local server listens and how its application is
// configured: the run directory with one socket, one start-up lock and one
// ownership lock per class, and the transport values of the application's
// AppID key in the classes registry.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <zenta/WinTypes.h>

namespace zenta::rpc {

// "{XXXXXXXX-...}" of a GUID.
std::string TextoGuid(REFGUID guid);

// $ZENTA_RUN_DIR when set, else $ZENTA_HOME/run.
std::filesystem::path DiretorioRun();
// The class's Unix socket, "<run>/{CLSID}.sock".
std::filesystem::path SocketDaClasse(REFCLSID clsid);
// Clients starting the class's server take this lock, so that only one
// starts it: "<run>/{CLSID}.inicio".
std::filesystem::path TravaInicioDaClasse(REFCLSID clsid);
// The running server holds this lock for as long as it serves the class:
// "<run>/{CLSID}.servidor".
std::filesystem::path TravaServidorDaClasse(REFCLSID clsid);

// The executable registered for the class (LocalServer32), if any, and
// where: "HKCU" for a per-user registration, "HKLM" for the machine's.
struct RegistroLocalServer {
    std::string executavel;
    std::string onde;
};
std::optional<RegistroLocalServer> LocalServerRegistrado(REFCLSID clsid);

// The transport values of the class's application (HKCR\AppID\{AppID}, the
// AppID named by the class's key). Absent values keep these defaults.
struct ConfiguracaoAplicacao {
    // Server side: TCP port for other machines (0: none), the server's TLS
    // certificate and key, and the authority whose certificates clients
    // must present (PEM files).
    DWORD portaTcp = 0;
    std::string certificadoTls;
    std::string chaveTls;
    std::string autoridadeTls;
    // Users besides the server's own that may connect to its socket: names
    // or numeric ids, separated by commas or blanks.
    std::vector<uid_t> usuariosPermitidos;
    // Client side: the machine running the server ("host" or "host:port")
    // and this client's certificate and key for it.
    std::string servidorRemoto;
    std::string certificadoClienteTls;
    std::string chaveClienteTls;
};
ConfiguracaoAplicacao ConfiguracaoDaClasse(REFCLSID clsid);

// The numeric ids of a list of user names or ids; unknown names are skipped.
std::vector<uid_t> UsuariosDe(const std::string& lista);

}  // namespace zenta::rpc
