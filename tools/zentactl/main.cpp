// zentactl: the command-line client of the preventive-maintenance service.
// It creates the service object in the class's local server when one is
// registered or listening (starting it if needed), else on the machine the
// application's RemoteServerName names, else in this process (always with
// --inproc; --servidor names the machine), initialises it for a company and
// calls its interface; the ERP stand-in's master data are reached directly.
//
//   zentactl [--empresa NAME] [--usuario N] [--sessao N] [--json] [--inproc | --servidor HOST[:PORT]]
//            GROUP COMMAND ...
//
// Exit status: 0 done, 1 an operation failed (reported on standard error as
// "zentactl: <operation>: 0x<HRESULT> <NAME>: <message>"), 2 usage error;
// `server status` also answers 3 (registered, not running) and 4 (not
// registered).
#include <cinttypes>
#include <cstdio>
#include <iostream>

#include <CLI/CLI.hpp>

#include "tools/zentactl/Comandos.h"

int main(int argc, char** argv) {
    using namespace zenta::ctl;
    Contexto ctx;
    CLI::App app{"zentactl: command-line client of the preventive-maintenance service"};
    app.name("zentactl");
    app.require_subcommand(1);
    // Global options may also come after the subcommands ("erp list filial --json").
    app.fallthrough();
    app.add_option("--empresa", ctx.opcoes.empresa, "Company")->capture_default_str();
    app.add_option("--usuario", ctx.opcoes.usuario, "User code (1..65535)")
        ->capture_default_str()
        ->check(CLI::Range(1u, 65535u));
    app.add_option("--sessao", ctx.opcoes.sessao, "Session number")
        ->capture_default_str()
        ->check(CLI::Range(0ul, 0xFFFFFFFFul));
    app.add_flag("--json", ctx.opcoes.json, "Machine output: the records' JSON form");
    auto* inproc = app.add_flag("--inproc", ctx.opcoes.inproc,
                                "Create the service in this process, even when a local server is registered or running");
    app.add_option("--servidor", ctx.opcoes.servidor,
                   "Call the server on this machine (HOST or HOST:PORT, over TLS with the registry's client "
                   "certificate); without it, RemoteServerName in the application's key when no local server is set up")
        ->excludes(inproc)
        ->check([](const std::string& v) {
            for (const char c : v)
                if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) > 0x7E)
                    return std::string("a host name or address, ASCII without blanks");
            return v.empty() ? std::string("a host name or address") : std::string();
        });
    app.footer("Exit status: 0 done, 1 an operation failed, 2 usage error; \"server status\" also 3 (registered, "
               "not running) and 4 (not registered).");

    RegistraPropriedades(app, ctx);
    RegistraPlanos(app, ctx);
    RegistraMedicoes(app, ctx);
    RegistraArvores(app, ctx);
    RegistraErp(app, ctx);
    RegistraOrdens(app, ctx);  // after the erp group: adds erp close-os
    RegistraVerificacao(app, ctx);  // after the plans group: adds plans counters
    RegistraRelatorios(app, ctx);
    RegistraPrevisao(app, ctx);  // after the report group: adds report forecast
    RegistraDemo(app, ctx);
    RegistraServidor(app, ctx);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int codigo = app.exit(e);
        return codigo == 0 ? 0 : 2;
    } catch (const ErroUso& e) {
        std::fprintf(stderr, "zentactl: %s\n", e.what());
        return 2;
    }

    int status = 0;
    try {
        if (ctx.acao) ctx.acao();
        status = ctx.codigoSaida;
    } catch (const FalhaOperacao& f) {
        std::cout.flush();
        std::fprintf(stderr, "zentactl: %s: 0x%08" PRIX32 " %s: %s\n", f.Operacao().c_str(),
                     static_cast<uint32_t>(f.Hr()), NomeHresult(f.Hr()).c_str(), f.Mensagem().c_str());
        status = 1;
    } catch (const ErroUso& e) {
        std::cout.flush();
        std::fprintf(stderr, "zentactl: %s\n", e.what());
        status = 2;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::fprintf(stderr, "zentactl: %s\n", e.what());
        status = 1;
    }
    ctx.Encerra();
    std::cout.flush();
    return status;
}
