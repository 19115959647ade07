// Registry scripts: split into words, parsed into a tree of keys and values,
// then applied. Nothing touches the registry before the whole script has
// been understood.
#include "server/QVRegistrador.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "diagnostics/QVCheck.h"

namespace zenta {

namespace {

constexpr std::size_t kTamanhoMaximoScript = 1u << 20;
constexpr int kProfundidadeMaxima = 32;
constexpr std::size_t kTamanhoMaximoNome = 255;
constexpr std::size_t kTamanhoMaximoTexto = 4096;

std::string Maiusculas(std::string_view s) {
    std::string saida(s);
    std::transform(saida.begin(), saida.end(), saida.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return saida;
}

bool Igual(std::string_view a, std::string_view b) { return Maiusculas(a) == Maiusculas(b); }

enum class TipoPalavra { Palavra, Aspas, Abre, Fecha, Igual };

struct Palavra {
    TipoPalavra tipo;
    std::string texto;  // as written; replacements come later
};

// Splits a script into words. False on an unterminated quote, a line break
// inside quotes or a control character.
bool Separa(std::string_view script, std::vector<Palavra>& palavras) {
    size_t i = 0;
    while (i < script.size()) {
        const char c = script[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
        if (c == '=') {
            palavras.push_back({TipoPalavra::Igual, "="});
            ++i;
            continue;
        }
        if (c == '\'') {
            std::string texto;
            ++i;
            for (;;) {
                if (i >= script.size() || script[i] == '\r' || script[i] == '\n') return false;
                if (script[i] == '\'') {
                    if (i + 1 < script.size() && script[i + 1] == '\'') {
                        texto.push_back('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                texto.push_back(script[i++]);
            }
            palavras.push_back({TipoPalavra::Aspas, std::move(texto)});
            continue;
        }
        const size_t inicio = i;
        while (i < script.size() && script[i] != ' ' && script[i] != '\t' && script[i] != '\r' && script[i] != '\n' &&
               script[i] != '=' && script[i] != '\'') {
            if (static_cast<unsigned char>(script[i]) < 0x20 || script[i] == 0x7F) return false;
            ++i;
        }
        std::string texto(script.substr(inicio, i - inicio));
        const TipoPalavra tipo = texto == "{" ? TipoPalavra::Abre : texto == "}" ? TipoPalavra::Fecha : TipoPalavra::Palavra;
        palavras.push_back({tipo, std::move(texto)});
    }
    return true;
}

struct ValorScript {
    std::string nome;  // "" for a key's default value
    DWORD tipo = REG_SZ;
    std::string texto;
    DWORD numero = 0;
};

enum class Marca { Nenhuma, NoRemove, ForceRemove, Delete };

struct ChaveScript {
    std::string nome;
    Marca marca = Marca::Nenhuma;
    std::optional<ValorScript> padrao;
    std::vector<ValorScript> valores;
    std::vector<ChaveScript> filhas;
};

struct RaizScript {
    std::string raiz;  // HKCR, HKCU or HKLM
    std::vector<ValorScript> valores;
    std::vector<ChaveScript> filhas;
};

class Analisador {
public:
    Analisador(const std::vector<Palavra>& palavras, const std::map<std::string, std::string>& substituicoes)
        : m_palavras(palavras), m_substituicoes(substituicoes) {}

    bool Script(std::vector<RaizScript>& raizes) {
        while (m_pos < m_palavras.size()) {
            const Palavra& p = m_palavras[m_pos++];
            if (p.tipo != TipoPalavra::Palavra) return false;
            RaizScript raiz;
            const std::string nome = Maiusculas(p.texto);
            if (nome == "HKCR" || nome == "HKEY_CLASSES_ROOT") raiz.raiz = "HKCR";
            else if (nome == "HKCU" || nome == "HKEY_CURRENT_USER") raiz.raiz = "HKCU";
            else if (nome == "HKLM" || nome == "HKEY_LOCAL_MACHINE") raiz.raiz = "HKLM";
            else return false;
            if (!Espera(TipoPalavra::Abre) || !Corpo(raiz.valores, raiz.filhas, 1)) return false;
            raizes.push_back(std::move(raiz));
        }
        return true;
    }

private:
    bool Espera(TipoPalavra tipo) {
        if (m_pos >= m_palavras.size() || m_palavras[m_pos].tipo != tipo) return false;
        ++m_pos;
        return true;
    }

    bool Proxima(TipoPalavra tipo) const { return m_pos < m_palavras.size() && m_palavras[m_pos].tipo == tipo; }

    // Replaces %NAME% and %% in a text taken from the script.
    bool Substitui(const std::string& bruto, std::string& saida) const {
        saida.clear();
        for (size_t i = 0; i < bruto.size(); ++i) {
            if (bruto[i] != '%') {
                saida.push_back(bruto[i]);
                continue;
            }
            const size_t fim = bruto.find('%', i + 1);
            if (fim == std::string::npos) return false;
            if (fim == i + 1) {
                saida.push_back('%');
            } else {
                const auto it = m_substituicoes.find(Maiusculas(std::string_view(bruto).substr(i + 1, fim - i - 1)));
                if (it == m_substituicoes.end()) return false;
                saida += it->second;
            }
            i = fim;
        }
        return true;
    }

    bool Nome(std::string& nome, bool chave) {
        if (!Proxima(TipoPalavra::Palavra) && !Proxima(TipoPalavra::Aspas)) return false;
        if (!Substitui(m_palavras[m_pos++].texto, nome)) return false;
        if (nome.empty() || nome.size() > kTamanhoMaximoNome) return false;
        // A key name is one level: a backslash would reach other keys.
        return !chave || nome.find_first_of("\\/") == std::string::npos;
    }

    // "s 'text'" or "d 'n'" after an equals sign.
    bool Dado(ValorScript& valor) {
        if (!Proxima(TipoPalavra::Palavra)) return false;
        const std::string tipo = Maiusculas(m_palavras[m_pos++].texto);
        if (!Proxima(TipoPalavra::Aspas)) return false;
        std::string texto;
        if (!Substitui(m_palavras[m_pos++].texto, texto)) return false;
        if (tipo == "S") {
            if (texto.size() > kTamanhoMaximoTexto) return false;
            valor.tipo = REG_SZ;
            valor.texto = std::move(texto);
            return true;
        }
        if (tipo != "D" || texto.empty()) return false;
        const bool hexa = texto.size() > 2 && texto[0] == '0' && (texto[1] == 'x' || texto[1] == 'X');
        const std::string_view digitos = std::string_view(texto).substr(hexa ? 2 : 0);
        if (digitos.empty() || digitos.size() > 10) return false;
        std::uint64_t n = 0;
        for (char c : digitos) {
            const int d = std::isdigit(static_cast<unsigned char>(c))   ? c - '0'
                          : hexa && std::isxdigit(static_cast<unsigned char>(c)) ? std::toupper(c) - 'A' + 10
                                                                         : -1;
            if (d < 0) return false;
            n = n * (hexa ? 16 : 10) + static_cast<std::uint64_t>(d);
        }
        if (n > 0xFFFFFFFFu) return false;
        valor.tipo = REG_DWORD;
        valor.numero = static_cast<DWORD>(n);
        return true;
    }

    // The items of a body up to its closing brace.
    bool Corpo(std::vector<ValorScript>& valores, std::vector<ChaveScript>& filhas, int profundidade) {
        if (profundidade > kProfundidadeMaxima) return false;
        for (;;) {
            if (m_pos >= m_palavras.size()) return false;
            const Palavra& p = m_palavras[m_pos];
            if (p.tipo == TipoPalavra::Fecha) {
                ++m_pos;
                return true;
            }
            if (p.tipo == TipoPalavra::Palavra && Igual(p.texto, "val")) {
                ++m_pos;
                ValorScript valor;
                if (!Nome(valor.nome, false) || !Espera(TipoPalavra::Igual) || !Dado(valor)) return false;
                valores.push_back(std::move(valor));
                continue;
            }
            ChaveScript chave;
            while (Proxima(TipoPalavra::Palavra)) {
                const std::string& t = m_palavras[m_pos].texto;
                const Marca marca = Igual(t, "NoRemove")      ? Marca::NoRemove
                                    : Igual(t, "ForceRemove") ? Marca::ForceRemove
                                    : Igual(t, "Delete")      ? Marca::Delete
                                                              : Marca::Nenhuma;
                if (marca == Marca::Nenhuma) break;
                if (chave.marca != Marca::Nenhuma && chave.marca != marca) return false;
                chave.marca = marca;
                ++m_pos;
            }
            if (!Nome(chave.nome, true)) return false;
            if (Proxima(TipoPalavra::Igual)) {
                ++m_pos;
                ValorScript valor;
                if (!Dado(valor)) return false;
                chave.padrao = std::move(valor);
            }
            if (Proxima(TipoPalavra::Abre)) {
                ++m_pos;
                if (!Corpo(chave.valores, chave.filhas, profundidade + 1)) return false;
            }
            filhas.push_back(std::move(chave));
        }
    }

    const std::vector<Palavra>& m_palavras;
    const std::map<std::string, std::string>& m_substituicoes;
    size_t m_pos = 0;
};

HRESULT Hr(LSTATUS status) { return HRESULT_FROM_WIN32(static_cast<uint32_t>(status)); }

std::string Junta(const std::string& base, const std::string& nome) { return base.empty() ? nome : base + "\\" + nome; }

HRESULT GravaValor(HKEY colmeia, const std::string& caminho, const ValorScript& valor) {
    HKEY h = nullptr;
    LSTATUS status = RegCreateKeyExA(colmeia, caminho.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                     &h, nullptr);
    if (status == ERROR_SUCCESS) {
        if (valor.tipo == REG_SZ)
            status = RegSetValueExA(h, valor.nome.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(valor.texto.c_str()),
                                    static_cast<DWORD>(valor.texto.size() + 1));
        else
            status = RegSetValueExA(h, valor.nome.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&valor.numero),
                                    sizeof valor.numero);
        RegCloseKey(h);
    }
    if (status != ERROR_SUCCESS) {
        QV_LOG_HR(Hr(status), "RegSetValueExA(" + caminho + ", " + valor.nome + ")");
        return Hr(status);
    }
    return S_OK;
}

HRESULT ApagaArvore(HKEY colmeia, const std::string& caminho) {
    const LSTATUS status = RegDeleteTreeA(colmeia, caminho.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return S_OK;
    QV_LOG_HR(Hr(status), "RegDeleteTreeA(" + caminho + ")");
    return Hr(status);
}

bool Existe(HKEY colmeia, const std::string& caminho) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(colmeia, caminho.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

HRESULT RegistraChave(HKEY colmeia, const std::string& pai, const ChaveScript& chave) {
    const std::string caminho = Junta(pai, chave.nome);
    if (chave.marca == Marca::Delete) return ApagaArvore(colmeia, caminho);
    if (chave.marca == Marca::ForceRemove) {
        const HRESULT hr = ApagaArvore(colmeia, caminho);
        if (FAILED(hr)) return hr;
    }
    HKEY h = nullptr;
    const LSTATUS status = RegCreateKeyExA(colmeia, caminho.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                           nullptr, &h, nullptr);
    if (status != ERROR_SUCCESS) {
        QV_LOG_HR(Hr(status), "RegCreateKeyExA(" + caminho + ")");
        return Hr(status);
    }
    RegCloseKey(h);
    if (chave.padrao) QV_CHECK(GravaValor(colmeia, caminho, *chave.padrao));
    for (const auto& valor : chave.valores) QV_CHECK(GravaValor(colmeia, caminho, valor));
    for (const auto& filha : chave.filhas) QV_CHECK(RegistraChave(colmeia, caminho, filha));
    return S_OK;
}

HRESULT ApagaValor(HKEY colmeia, const std::string& caminho, const std::string& nome) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(colmeia, caminho.c_str(), 0, KEY_WRITE, &h) != ERROR_SUCCESS) return S_OK;
    const LSTATUS status = RegDeleteValueA(h, nome.c_str());
    RegCloseKey(h);
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return S_OK;
    QV_LOG_HR(Hr(status), "RegDeleteValueA(" + caminho + ", " + nome + ")");
    return Hr(status);
}

HRESULT DesregistraChave(HKEY colmeia, const std::string& pai, const ChaveScript& chave) {
    const std::string caminho = Junta(pai, chave.nome);
    if (chave.marca == Marca::Delete || !Existe(colmeia, caminho)) return S_OK;
    if (chave.marca == Marca::ForceRemove) return ApagaArvore(colmeia, caminho);
    for (const auto& filha : chave.filhas) QV_CHECK(DesregistraChave(colmeia, caminho, filha));
    for (const auto& valor : chave.valores) QV_CHECK(ApagaValor(colmeia, caminho, valor.nome));
    if (chave.marca == Marca::NoRemove) return S_OK;
    if (chave.padrao) QV_CHECK(ApagaValor(colmeia, caminho, ""));
    if (RegChaveVazia(colmeia, caminho)) {
        const LSTATUS status = RegDeleteKeyA(colmeia, caminho.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
            QV_LOG_HR(Hr(status), "RegDeleteKeyA(" + caminho + ")");
            return Hr(status);
        }
    }
    return S_OK;
}

}  // namespace

Registrador::Registrador() {
    m_raizes["HKCR"] = Raiz{HKEY_LOCAL_MACHINE, "Software\\Classes"};
    m_raizes["HKCU"] = Raiz{HKEY_CURRENT_USER, ""};
    m_raizes["HKLM"] = Raiz{HKEY_LOCAL_MACHINE, ""};
}

void Registrador::AdicionaSubstituicao(std::string_view nome, std::string_view valor) {
    m_substituicoes[Maiusculas(nome)] = std::string(valor);
}

void Registrador::DefineRaiz(std::string_view nome, HKEY colmeia, std::string_view prefixo) {
    m_raizes[Maiusculas(nome)] = Raiz{colmeia, std::string(prefixo)};
}

HRESULT Registrador::Registra(std::string_view script) { return Executa(script, true); }

HRESULT Registrador::Desregistra(std::string_view script) { return Executa(script, false); }

HRESULT Registrador::Executa(std::string_view script, bool registrar) {
    std::vector<Palavra> palavras;
    std::vector<RaizScript> raizes;
    if (script.size() > kTamanhoMaximoScript || !Separa(script, palavras) ||
        !Analisador(palavras, m_substituicoes).Script(raizes)) {
        QV_LOG_HR(HR_ERROR_INVALID_DATA, "script de registro mal formado");
        return HR_ERROR_INVALID_DATA;
    }
    const auto executaRaiz = [&](const RaizScript& r, bool registra) -> HRESULT {
        const Raiz& raiz = m_raizes.at(r.raiz);
        for (const auto& valor : r.valores) {
            const HRESULT hr = registra ? GravaValor(raiz.colmeia, raiz.prefixo, valor)
                                        : ApagaValor(raiz.colmeia, raiz.prefixo, valor.nome);
            if (FAILED(hr)) return hr;
        }
        for (const auto& chave : r.filhas) {
            const HRESULT hr = registra ? RegistraChave(raiz.colmeia, raiz.prefixo, chave)
                                        : DesregistraChave(raiz.colmeia, raiz.prefixo, chave);
            if (FAILED(hr)) return hr;
        }
        return S_OK;
    };
    if (!registrar) {
        for (const auto& r : raizes) QV_CHECK(executaRaiz(r, false));
        return S_OK;
    }
    for (const auto& r : raizes) {
        const HRESULT hr = executaRaiz(r, true);
        if (FAILED(hr)) {
            // A half-written registration is taken back, as far as it goes.
            for (const auto& desfaz : raizes) executaRaiz(desfaz, false);
            return hr;
        }
    }
    return S_OK;
}

}  // namespace zenta
