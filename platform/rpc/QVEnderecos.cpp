#include "platform/rpc/QVEnderecos.h"

#include <pwd.h>

#include <cstdlib>

#include <zenta/ObjBase.h>

#include "platform/QVHome.h"
#include "platform/Registry.h"

namespace zenta::rpc {

std::string TextoGuid(REFGUID guid) {
    char texto[40];
    StringFromGUID2(guid, texto, static_cast<int>(sizeof texto));
    return texto;
}

std::filesystem::path DiretorioRun() {
    if (const char* run = std::getenv("ZENTA_RUN_DIR"); run != nullptr && *run != '\0') return run;
    return ZentaHome() / "run";
}

std::filesystem::path SocketDaClasse(REFCLSID clsid) { return DiretorioRun() / (TextoGuid(clsid) + ".sock"); }
std::filesystem::path TravaInicioDaClasse(REFCLSID clsid) {
    return DiretorioRun() / (TextoGuid(clsid) + ".inicio");
}
std::filesystem::path TravaServidorDaClasse(REFCLSID clsid) {
    return DiretorioRun() / (TextoGuid(clsid) + ".servidor");
}

std::optional<RegistroLocalServer> LocalServerRegistrado(REFCLSID clsid) {
    const std::string chave = "CLSID\\" + TextoGuid(clsid) + "\\LocalServer32";
    // A per-user registration hides the machine's, as the merged classes
    // root shows them.
    if (auto exe = RegLeTexto(HKEY_CURRENT_USER, "Software\\Classes\\" + chave, ""); exe && !exe->empty())
        return RegistroLocalServer{*exe, "HKCU"};
    if (auto exe = RegLeTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + chave, ""); exe && !exe->empty())
        return RegistroLocalServer{*exe, "HKLM"};
    return std::nullopt;
}

std::vector<uid_t> UsuariosDe(const std::string& lista) {
    std::vector<uid_t> uids;
    std::size_t i = 0;
    while (i < lista.size()) {
        const std::size_t fim = lista.find_first_of(", \t", i);
        const std::string nome = lista.substr(i, fim == std::string::npos ? std::string::npos : fim - i);
        i = fim == std::string::npos ? lista.size() : fim + 1;
        if (nome.empty()) continue;
        if (nome.find_first_not_of("0123456789") == std::string::npos && nome.size() <= 9) {
            uids.push_back(static_cast<uid_t>(std::stoul(nome)));
            continue;
        }
        struct passwd pw {};
        struct passwd* achado = nullptr;
        char buffer[4096];
        if (::getpwnam_r(nome.c_str(), &pw, buffer, sizeof buffer, &achado) == 0 && achado != nullptr)
            uids.push_back(achado->pw_uid);
    }
    return uids;
}

ConfiguracaoAplicacao ConfiguracaoDaClasse(REFCLSID clsid) {
    ConfiguracaoAplicacao config;
    // The class's key names its application; the application's key (in the
    // same hive: per-user before machine) holds the values.
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        const auto appid = RegLeTexto(hive, "Software\\Classes\\CLSID\\" + TextoGuid(clsid), "AppID");
        if (!appid) continue;
        const std::string chave = "Software\\Classes\\AppID\\" + *appid;
        auto texto = [&](const char* valor) { return RegLeTexto(hive, chave, valor).value_or(""); };
        config.portaTcp = RegLeDword(hive, chave, "PortaTcp").value_or(0);
        config.certificadoTls = texto("CertificadoTls");
        config.chaveTls = texto("ChaveTls");
        config.autoridadeTls = texto("AutoridadeTls");
        config.usuariosPermitidos = UsuariosDe(texto("UsuariosPermitidos"));
        config.servidorRemoto = texto("RemoteServerName");
        config.certificadoClienteTls = texto("CertificadoClienteTls");
        config.chaveClienteTls = texto("ChaveClienteTls");
        break;
    }
    return config;
}

}  // namespace zenta::rpc
