#include "standins/relatorio/ModeloRelatorio.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <set>
#include <system_error>

#include "platform/QVHome.h"

namespace zenta {

namespace {

std::string_view Apara(std::string_view s) {
    const auto inicio = s.find_first_not_of(" \t\r");
    if (inicio == std::string_view::npos) return {};
    const auto fim = s.find_last_not_of(" \t\r");
    return s.substr(inicio, fim - inicio + 1);
}

std::string Minusculas(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

HRESULT Recusa(std::string& erro, std::size_t linha, std::string_view motivo) {
    erro = "linha " + std::to_string(linha) + ": " + std::string(motivo);
    return E_INVALIDARG;
}

// Whether the text is UTF-8 without control characters other than tab.
bool TextoAceitavel(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            if ((c < 0x20 && c != '\t') || c == 0x7F) return false;
            ++i;
            continue;
        }
        std::size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
        if (c >= 0xF5 || n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

}  // namespace

bool NomeModeloValido(std::string_view nome) {
    if (nome.size() > kNomeMaximoModelo) return false;
    if (!nome.empty() && nome.front() == '.') return false;
    return std::all_of(nome.begin(), nome.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
               c == '.';
    });
}

std::filesystem::path DiretorioModelos() { return ZentaHome() / "relatorios"; }

HRESULT InterpretaModelo(std::string_view texto, ModeloRelatorio& modelo, std::string& erro) {
    modelo = ModeloRelatorio{};
    modelo.bArquivo = true;
    erro.clear();
    if (texto.size() >= 3 && texto.substr(0, 3) == "\xEF\xBB\xBF") texto.remove_prefix(3);
    std::set<LONG> vistos;
    std::size_t numero = 0;
    while (!texto.empty()) {
        ++numero;
        const auto fim = texto.find('\n');
        std::string_view linha = texto.substr(0, fim);
        texto = fim == std::string_view::npos ? std::string_view() : texto.substr(fim + 1);
        linha = Apara(linha);
        if (linha.empty() || linha.front() == '#') continue;
        if (!TextoAceitavel(linha)) return Recusa(erro, numero, "texto que não é UTF-8 ou tem caracteres de controle");
        const auto igual = linha.find('=');
        if (igual == std::string_view::npos) return Recusa(erro, numero, "esperado \"chave = valor\"");
        const std::string chave = Minusculas(Apara(linha.substr(0, igual)));
        const std::string_view valor = Apara(linha.substr(igual + 1));
        if (chave == "titulo") {
            if (valor.size() > 200) return Recusa(erro, numero, "título com mais de 200 bytes");
            modelo.sTitulo = std::string(valor);
        } else if (chave == "formato") {
            const std::string v = Minusculas(valor);
            if (v == "pdf") modelo.formato = FormatoSaidaRelatorio::Pdf;
            else if (v == "csv") modelo.formato = FormatoSaidaRelatorio::Csv;
            else return Recusa(erro, numero, "formato desconhecido (pdf ou csv)");
            modelo.bFormato = true;
        } else if (chave == "subordinadas") {
            const std::string v = Minusculas(valor);
            if (v == "sim") modelo.bSubordinadas = true;
            else if (v == "nao" || v == "não") modelo.bSubordinadas = false;
            else return Recusa(erro, numero, "subordinadas: sim ou nao");
        } else if (chave == "campos") {
            std::string_view resto = valor;
            while (!resto.empty()) {
                const auto virgula = resto.find(',');
                const std::string_view item = Apara(resto.substr(0, virgula));
                resto = virgula == std::string_view::npos ? std::string_view() : resto.substr(virgula + 1);
                if (item.empty()) {
                    if (virgula == std::string_view::npos) break;
                    return Recusa(erro, numero, "código de campo vazio");
                }
                LONG codigo = 0;
                const auto [p, ec] = std::from_chars(item.data(), item.data() + item.size(), codigo);
                if (ec != std::errc() || p != item.data() + item.size() || codigo <= 0)
                    return Recusa(erro, numero, "código de campo inválido: " + std::string(item.substr(0, 20)));
                if (!vistos.insert(codigo).second)
                    return Recusa(erro, numero, "campo repetido: " + std::to_string(codigo));
                if (modelo.campos.size() >= kCamposMaximoModelo) return Recusa(erro, numero, "campos demais");
                modelo.campos.push_back(codigo);
            }
        } else {
            return Recusa(erro, numero, "chave desconhecida: " + chave.substr(0, 40));
        }
    }
    return S_OK;
}

HRESULT CarregaModelo(std::string_view nome, ModeloRelatorio& modelo, std::string& erro) {
    modelo = ModeloRelatorio{};
    erro.clear();
    if (!NomeModeloValido(nome)) {
        erro = "nome de relatório inválido";
        return E_INVALIDARG;
    }
    if (nome.empty()) return S_OK;
    const std::filesystem::path arquivo = DiretorioModelos() / (std::string(nome) + ".modelo");
    std::error_code ec;
    const auto estado = std::filesystem::symlink_status(arquivo, ec);
    if (ec || !std::filesystem::exists(estado)) {
        // A misspelt name must not pass unnoticed as the default model.
        erro = "modelo de relatório não encontrado: " + arquivo.string();
        return HRESULT_FROM_WIN32(2u);  // ERROR_FILE_NOT_FOUND
    }
    if (!std::filesystem::is_regular_file(estado)) {
        erro = arquivo.string() + ": não é um arquivo comum";
        return E_INVALIDARG;
    }
    const auto tamanho = std::filesystem::file_size(arquivo, ec);
    if (ec || tamanho > kTamanhoMaximoModelo) {
        erro = arquivo.string() + ": modelo com mais de 64 KiB";
        return E_INVALIDARG;
    }
    std::ifstream in(arquivo, std::ios::binary);
    if (!in) {
        erro = arquivo.string() + ": não foi possível ler";
        return HRESULT_FROM_WIN32(110u);  // ERROR_OPEN_FAILED
    }
    std::string texto(static_cast<std::size_t>(tamanho), '\0');
    in.read(texto.data(), static_cast<std::streamsize>(texto.size()));
    texto.resize(static_cast<std::size_t>(in.gcount()));
    const HRESULT hr = InterpretaModelo(texto, modelo, erro);
    if (FAILED(hr)) erro = arquivo.filename().string() + ": " + erro;
    return hr;
}

}  // namespace zenta
