#include "tools/zentactl/Sessao.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/QVDiretorios.h"
#include "core/qvdatabase/QVGroupFileBase.h"
#include "diagnostics/QVNomesHresult.h"
#include "diagnostics/QVTrataErro.h"
#include "platform/CodePage.h"
#include "platform/rpc/QVAtivacao.h"

namespace zenta::ctl {

std::string NomeHresult(HRESULT hr) {
    if (const auto nome = NomeSimbolicoHresult(hr); !nome.empty()) return std::string(nome);
    if (const auto nome = NomeCodigoSistema(hr); !nome.empty()) return std::string(nome);
    if (const auto nome = TextoSistemaHresult(hr); !nome.empty()) return std::string(nome);
    return "?";
}

// The company name as the records carry it. A name given in the command line
// must be UTF-8 made only of Windows-1252 characters: any other byte or
// character would become '?', and two different names one company.
std::string OpcoesGlobais::EmpresaCp1252() const {
    std::string cp1252 = Utf8ParaCp1252(empresa);
    if (Cp1252ParaUtf8(cp1252) != empresa)
        throw FalhaOperacao("--empresa", E_QV_NOME_EMPRESA_INVALIDO,
                            "the company name is not UTF-8 text of Windows-1252 characters");
    return cp1252;
}

Sessao::Sessao(const OpcoesGlobais& opcoes) : m_opcoes(opcoes) {}

Sessao::~Sessao() {
    if (m_servico != nullptr) m_servico->Release();
    if (m_comIniciado) CoUninitialize();
}

namespace {

// Copies a text into a fixed field, refusing one that does not fit rather
// than cutting it (a cut company name would be another company).
bool CopiaCampo(char* destino, std::size_t tamanho, const std::string& origem) {
    if (origem.size() >= tamanho) return false;
    std::memset(destino, 0, tamanho);
    std::memcpy(destino, origem.data(), origem.size());
    return true;
}

}  // namespace

IQVGE_ManutencaoPreventiva& Sessao::Servico() {
    if (m_inicializado) return *m_servico;
    if (m_servico != nullptr) throw FalhaOperacao("Inicializa_Padrao", E_FAIL, "the service was not initialised");
    if (!m_comIniciado) {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (FAILED(hr)) throw FalhaOperacao("CoInitializeEx", hr, "COM could not be initialised");
        m_comIniciado = true;
    }
    // CLSCTX_ALL prefers the local server (registered or listening) and
    // falls back to this process when the class has none.
    const DWORD contexto = m_opcoes.inproc ? CLSCTX_INPROC_SERVER : CLSCTX_ALL;
    IQVGE_ManutencaoPreventiva* servico = nullptr;
    HRESULT hr = S_OK;
    if (!m_opcoes.servidor.empty()) {
        // --servidor: the server on that machine, whatever the registry says.
        std::u16string maquina(m_opcoes.servidor.begin(), m_opcoes.servidor.end());
        COSERVERINFO info{};
        info.pwszName = maquina.data();
        MULTI_QI qi{&IID_IQVGE_ManutencaoPreventiva, nullptr, S_OK};
        hr = CoCreateInstanceEx(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_REMOTE_SERVER, &info, 1, &qi);
        if (SUCCEEDED(hr)) hr = qi.hr;
        servico = static_cast<IQVGE_ManutencaoPreventiva*>(qi.pItf);
        if (FAILED(hr) || servico == nullptr)
            throw FalhaOperacao("CoCreateInstanceEx", FAILED(hr) ? hr : E_NOINTERFACE,
                                "the server on " + m_opcoes.servidor + " could not be reached");
    } else {
        hr = CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, contexto, IID_IQVGE_ManutencaoPreventiva,
                              reinterpret_cast<void**>(&servico));
    }
    if (FAILED(hr) || servico == nullptr)
        throw FalhaOperacao("CoCreateInstance", FAILED(hr) ? hr : E_NOINTERFACE,
                            !m_opcoes.inproc && rpc::TemServidorLocal(CLSID_QVGE_ManutencaoPreventiva)
                                ? "the local server could not create the service (--inproc creates it in this process)"
                                : "the service could not be created");
    m_servico = servico;

    _REG_DF_INICIALIZAPS registro{};
    registro.ulUsuario = m_opcoes.usuario;
    registro.ulNumeroSessao = static_cast<ULONG>(m_opcoes.sessao);
    registro.ulLinhaFonte = __LINE__;
    registro.usVersaoFarol = QV_VERSAO_FAROL;
    if (!CopiaCampo(registro.szEmpresa, sizeof registro.szEmpresa, m_opcoes.EmpresaCp1252()))
        throw ErroUso("--empresa: a company name has at most 47 characters");
    CopiaCampo(registro.szAplicativo, sizeof registro.szAplicativo, "zentactl");
    CopiaCampo(registro.szModuleName, sizeof registro.szModuleName, "zentactl");
    CopiaCampo(registro.szArquivoFonte, sizeof registro.szArquivoFonte, "Sessao.cpp");
    registro.cControle = QV_CONTROLE_INICIALIZACAO;
    QVAssinaInicializacao(registro);
    hr = m_servico->Inicializa_Padrao(registro);
    Verifica(hr, "Inicializa_Padrao");
    m_inicializado = true;
    return *m_servico;
}

void Sessao::Verifica(HRESULT hr, std::string_view operacao) {
    if (SUCCEEDED(hr)) return;
    std::string mensagem;
    if (m_servico != nullptr) {
        _REG_DF_ERROPS erro{};
        if (SUCCEEDED(m_servico->GetUltimoErro(&erro))) {
            erro.cMensagem[sizeof erro.cMensagem - 1] = '\0';
            mensagem = Cp1252ParaUtf8(erro.cMensagem);
        }
    }
    // No message recorded for the failure: the code's own description.
    if (mensagem.empty()) {
        mensagem = zenta::CBibliotecaMensagens().DescricaoHresult(hr);
        // The description may begin with the code's name, which the line shows already.
        const std::string nome(zenta::NomeCodigoSistema(hr));
        if (!nome.empty() && mensagem.rfind(nome + ": ", 0) == 0) mensagem.erase(0, nome.size() + 2);
    }
    if (mensagem.empty()) mensagem = std::string(zenta::MensagemHresult(hr));
    if (mensagem.empty()) mensagem = "no message";
    throw FalhaOperacao(std::string(operacao), hr, mensagem);
}

nlohmann::json LeDocumentoJson(const std::string& arquivo, std::string_view operacao) {
    std::string texto;
    if (arquivo == "-") {
        std::ostringstream out;
        out << std::cin.rdbuf();
        texto = out.str();
    } else {
        std::ifstream in(arquivo, std::ios::binary);
        if (!in)
            throw FalhaOperacao(std::string(operacao), HRESULT_FROM_WIN32(2u), "cannot open \"" + arquivo + "\"");
        std::ostringstream out;
        out << in.rdbuf();
        texto = out.str();
    }
    try {
        return nlohmann::json::parse(texto);
    } catch (const nlohmann::json::exception& e) {
        throw FalhaOperacao(std::string(operacao), E_INVALIDARG,
                            (arquivo == "-" ? std::string("standard input") : arquivo) + ": " + e.what());
    }
}

void ImprimeJson(const nlohmann::json& valor) {
    std::cout << valor.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

}  // namespace zenta::ctl
