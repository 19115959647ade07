// zentactl's link to the service: one service object, created in the class's
// local server when one is registered or listening (else in this process),
// initialised for the company, user and session of the command line, and
// the failure type every command reports through.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include <zenta/zenta.h>

#include "tools/zentactl/Erros.h"

namespace zenta::ctl {

// The symbolic name of a result code ("E_NOTIMPL", "E_QVCR_..."), else "?".
std::string NomeHresult(HRESULT hr);

// Options every command shares.
struct OpcoesGlobais {
    std::string empresa = "DEMO";  // UTF-8 as typed
    unsigned usuario = 1;
    unsigned long sessao = 1;
    bool json = false;
    // Create the service in this process even when a local server is
    // registered or running (--inproc).
    bool inproc = false;
    // The machine whose server the calls go to ("host" or "host:port",
    // --servidor); empty: as the registry says.
    std::string servidor;

    // The company as the service and the ERP stand-in take it (Windows-1252).
    std::string EmpresaCp1252() const;
};

class Sessao {
public:
    explicit Sessao(const OpcoesGlobais& opcoes);
    ~Sessao();
    Sessao(const Sessao&) = delete;
    Sessao& operator=(const Sessao&) = delete;

    // The initialised service object (created on first use).
    IQVGE_ManutencaoPreventiva& Servico();

    // Throws FalhaOperacao for a failed `hr`, with the service's last-error
    // message when it has one.
    void Verifica(HRESULT hr, std::string_view operacao);

private:
    const OpcoesGlobais& m_opcoes;
    bool m_comIniciado = false;
    IQVGE_ManutencaoPreventiva* m_servico = nullptr;
    bool m_inicializado = false;
};

// A JSON document from a file, or from standard input for "-".
nlohmann::json LeDocumentoJson(const std::string& arquivo, std::string_view operacao);

// Prints a JSON value on standard output, indented.
void ImprimeJson(const nlohmann::json& valor);

// The record `registro` as JSON; a record without a JSON form is a failure
// of `operacao`.
template <class T>
nlohmann::json ParaJson(const T& registro, std::string_view operacao);

// JSON -> record; a document that does not fit the record is a failure of
// `operacao` naming the field (E_INVALIDARG).
template <class T>
void DeJson(const nlohmann::json& documento, T& registro, std::string_view operacao);

// Frees what an [out] record holds when it goes out of scope.
template <class T>
class Liberador {
public:
    explicit Liberador(T& registro) : m_registro(registro) {}
    ~Liberador();
    Liberador(const Liberador&) = delete;
    Liberador& operator=(const Liberador&) = delete;

private:
    T& m_registro;
};

}  // namespace zenta::ctl

#include "tools/zentactl/SessaoImpl.h"
