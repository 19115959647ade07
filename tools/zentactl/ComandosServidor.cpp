// `server status [--json]`: where the service's class is registered as a
// local server, where that server listens, when it answers what it serves,
// and where this program's calls go (this process, the local server or a
// server on another machine). It never starts a server.
//
// Exit status: 0 a server answers, 3 registered but none answers,
// 4 not registered (and none answers).
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/QVHome.h"
#include "platform/rpc/QVAtivacao.h"
#include "platform/rpc/QVEnderecos.h"
#include "tools/zentactl/Comandos.h"
#include "tools/zentactl/Tabela.h"

namespace zenta::ctl {

namespace {

constexpr int kSaidaNaoExecutando = 3;
constexpr int kSaidaNaoRegistrado = 4;

// The RPC_C_AUTHN_LEVEL_* names, for people.
std::string NomeNivelAutenticacao(DWORD nivel) {
    switch (nivel) {
        case RPC_C_AUTHN_LEVEL_DEFAULT: return "0 (default)";
        case RPC_C_AUTHN_LEVEL_NONE: return "1 (none)";
        case 2: return "2 (connect)";
        case 3: return "3 (call)";
        case 4: return "4 (packet)";
        case 5: return "5 (packet integrity)";
        case RPC_C_AUTHN_LEVEL_PKT_PRIVACY: return "6 (packet privacy)";
        default: return std::to_string(nivel);
    }
}

std::string Juntos(const std::vector<std::string>& textos) {
    std::string r;
    for (const auto& t : textos) r += (r.empty() ? "" : ", ") + t;
    return r;
}

// Where this program's calls of the service go, as CoCreateInstance
// decides: "inproc", "local" or "remote", and for people.
std::pair<std::string, std::string> DestinoChamadas(Contexto& ctx, bool bServidorLocal) {
    if (ctx.opcoes.inproc) return {"inproc", "this process (--inproc): the data under " + ZentaHome().string()};
    if (!ctx.opcoes.servidor.empty()) return {"remote", "the server on " + ctx.opcoes.servidor + " (--servidor)"};
    if (bServidorLocal) return {"local", "the local server"};
    const std::string remoto = rpc::ConfiguracaoDaClasse(CLSID_QVGE_ManutencaoPreventiva).servidorRemoto;
    if (!remoto.empty()) return {"remote", "the server on " + remoto + " (RemoteServerName)"};
    return {"inproc", "this process (no local server, no RemoteServerName): the data under " + ZentaHome().string()};
}

void Estado(Contexto& ctx) {
    const CLSID& clsid = CLSID_QVGE_ManutencaoPreventiva;
    const auto registro = rpc::LocalServerRegistrado(clsid);
    const std::filesystem::path socket = rpc::SocketDaClasse(clsid);
    const auto [ondeVao, ondeVaoTexto] = DestinoChamadas(ctx, rpc::TemServidorLocal(clsid));

    // The connection is only looked at: ConexaoLocal never starts a server.
    std::optional<rpc::EstadoRemoto> servidor;
    HRESULT hrConexao = S_OK;
    {
        std::shared_ptr<rpc::Conexao> conexao;
        hrConexao = rpc::ConexaoLocal(clsid, &conexao);
        if (SUCCEEDED(hrConexao)) {
            rpc::EstadoRemoto estado;
            hrConexao = conexao->Estado(&estado);
            if (SUCCEEDED(hrConexao)) servidor = std::move(estado);
        }
    }
    ctx.codigoSaida = servidor ? 0 : registro ? kSaidaNaoExecutando : kSaidaNaoRegistrado;

    if (ctx.opcoes.json) {
        nlohmann::json saida = {
            {"clsid", rpc::TextoGuid(clsid)},
            {"registered", registro.has_value()},
            {"registration", registro ? nlohmann::json(registro->onde) : nlohmann::json(nullptr)},
            {"registeredExecutable", registro ? nlohmann::json(registro->executavel) : nlohmann::json(nullptr)},
            {"socket", socket.string()},
            {"answers", servidor.has_value()},
            {"callsGoTo", ondeVao},
            {"callsGoToText", ondeVaoTexto},
        };
        if (servidor) {
            saida["server"] = {
                {"pid", servidor->pid},
                {"executable", servidor->executavel},
                {"endpoints", servidor->enderecos},
                {"sessions", servidor->sessoes},
                {"objects", servidor->objetos},
                {"suspended", servidor->suspenso},
                {"authenticationLevel", servidor->nivelAutenticacao},
            };
        }
        return ImprimeJson(saida);
    }

    std::string onde = "no";
    if (registro) onde = registro->onde == "HKCU" ? "per user (HKCU)" : "for the machine (" + registro->onde + ")";
    std::string responde = "yes";
    if (!servidor) {
        std::error_code ec;
        responde = std::filesystem::exists(socket, ec)
                       ? "no (the socket does not answer: " + NomeHresult(hrConexao) + ")"
                       : "no (not running)";
    }
    std::vector<std::pair<std::string, std::string>> campos = {
        {"Class", rpc::TextoGuid(clsid)},
        {"Registered", onde},
        {"Registered executable", registro ? registro->executavel : std::string()},
        {"Socket", socket.string()},
        {"Answers", responde},
        {"Calls go to", ondeVaoTexto},
    };
    if (servidor) {
        campos.insert(campos.end(), {
            {"Pid", std::to_string(servidor->pid)},
            {"Executable", servidor->executavel},
            {"Endpoints", Juntos(servidor->enderecos)},
            // This command's own connection is one of them.
            {"Client sessions", std::to_string(servidor->sessoes) + " (this one included)"},
            {"Objects alive", std::to_string(servidor->objetos)},
            {"Suspended", servidor->suspenso ? "yes" : "no"},
            {"Authentication level", NomeNivelAutenticacao(servidor->nivelAutenticacao)},
        });
    }
    ImprimeCampos(std::cout, campos);
}

}  // namespace

void RegistraServidor(CLI::App& app, Contexto& ctx) {
    auto* grupo = app.add_subcommand("server", "The service's local server");
    grupo->require_subcommand(1);
    auto* status = grupo->add_subcommand(
        "status", "Where the local server is registered and listens and, when it answers, what it serves "
                  "(never starts it)");
    status->footer("Exit status: 0 the server answers, 3 registered but not running, 4 not registered.");
    status->callback([&ctx] { ctx.acao = [&ctx] { Estado(ctx); }; });
}

}  // namespace zenta::ctl
