// The registry stand-in: one text file per hive in the registry export format.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\QV Sistemas\DF]
//   "Path"="/srv/erp/df/"
//   "DesabilitaAutenticacaoDCOM"=dword:00000001
//
// Files are small, so every read parses the file again: a change made by
// another process is seen at once. Writers serialise on a lock file and
// replace the hive with a rename, so a reader sees the old or the new file,
// never half of one.
#include "platform/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/QVHome.h"

struct QVRegKey {
    int colmeia;         // 0 HKLM, 1 HKCU
    std::string caminho; // subkey path below the hive, backslash-separated, as first written
};

namespace {

constexpr const char* kCabecalho = "Windows Registry Editor Version 5.00";
const char* const kNomesColmeia[] = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"};
const char* const kArquivosColmeia[] = {"HKLM.reg", "HKCU.reg"};

struct Valor {
    std::string nome;  // as written; empty for the default value "@"
    DWORD tipo = REG_NONE;
    std::string dados;  // REG_SZ: the text; REG_DWORD/REG_QWORD: little-endian bytes
};

struct Chave {
    std::string caminho;  // as written
    std::vector<Valor> valores;
};

// Keys by lower-case path, so that lookups ignore case as the registry does.
using Colmeia = std::map<std::string, Chave>;

std::string Minusculas(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Normalises a subkey: backslashes only, no leading, trailing or doubled separators.
std::string NormalizaCaminho(std::string_view bruto) {
    std::string saida;
    for (char c : bruto) {
        if (c == '/') c = '\\';
        if (c == '\\' && (saida.empty() || saida.back() == '\\')) continue;
        saida.push_back(c);
    }
    while (!saida.empty() && saida.back() == '\\') saida.pop_back();
    return saida;
}

std::string Junta(const std::string& base, const char* sub) {
    const std::string resto = NormalizaCaminho(sub != nullptr ? sub : "");
    if (base.empty()) return resto;
    if (resto.empty()) return base;
    return base + "\\" + resto;
}

std::filesystem::path ArquivoColmeia(int colmeia) { return zenta::ZentaHome() / "registry" / kArquivosColmeia[colmeia]; }

void RelataLinhaInvalida(const std::filesystem::path& arquivo, size_t numero, const std::string& linha) {
    syslog(LOG_WARNING, "registro: linha %zu de %s ignorada: %.120s", numero, arquivo.c_str(), linha.c_str());
}

// Reads a quoted text starting at s[pos] == '"'; handles \\ and \" escapes.
bool LeTextoEntreAspas(const std::string& s, size_t& pos, std::string& saida) {
    if (pos >= s.size() || s[pos] != '"') return false;
    ++pos;
    saida.clear();
    while (pos < s.size()) {
        const char c = s[pos++];
        if (c == '"') return true;
        if (c == '\\') {
            if (pos >= s.size()) return false;
            saida.push_back(s[pos++]);
        } else {
            saida.push_back(c);
        }
    }
    return false;
}

bool LeDados(const std::string& texto, Valor& valor) {
    if (!texto.empty() && texto.front() == '"') {
        size_t pos = 0;
        if (!LeTextoEntreAspas(texto, pos, valor.dados) || pos != texto.size()) return false;
        valor.tipo = REG_SZ;
        return true;
    }
    if (texto.rfind("dword:", 0) == 0) {
        const std::string hex = texto.substr(6);
        if (hex.size() != 8 || !std::all_of(hex.begin(), hex.end(), [](unsigned char c) { return std::isxdigit(c); }))
            return false;
        const auto v = static_cast<DWORD>(std::stoul(hex, nullptr, 16));
        valor.tipo = REG_DWORD;
        valor.dados.assign(reinterpret_cast<const char*>(&v), sizeof v);
        return true;
    }
    if (texto.rfind("hex(b):", 0) == 0) {
        std::string bytes;
        std::stringstream in(texto.substr(7));
        std::string par;
        while (std::getline(in, par, ',')) {
            if (par.size() != 2 || !std::isxdigit(static_cast<unsigned char>(par[0])) ||
                !std::isxdigit(static_cast<unsigned char>(par[1])))
                return false;
            bytes.push_back(static_cast<char>(std::stoul(par, nullptr, 16)));
        }
        if (bytes.size() != 8) return false;
        valor.tipo = REG_QWORD;
        valor.dados = bytes;
        return true;
    }
    return false;
}

// The largest hive file read: far above any real one, it keeps a stray
// file from being taken whole into memory.
constexpr std::size_t kTamanhoMaximoColmeia = 16u << 20;

// Appends code point `cp` to `saida` in UTF-8.
void AcrescentaUtf8(std::string& saida, std::uint32_t cp) {
    if (cp < 0x80) {
        saida.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        saida.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        saida.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        saida.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        saida.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        saida.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        saida.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        saida.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        saida.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        saida.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// UTF-16LE (without its byte-order mark) to UTF-8; false on an odd length or
// a broken surrogate pair.
bool Utf16LeParaUtf8(std::string_view bytes, std::string& saida) {
    if (bytes.size() % 2 != 0) return false;
    saida.clear();
    saida.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t u = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (u >= 0xDC00 && u <= 0xDFFF) return false;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 3 >= bytes.size()) return false;
            const std::uint32_t baixo =
                static_cast<unsigned char>(bytes[i + 2]) | (static_cast<unsigned char>(bytes[i + 3]) << 8);
            if (baixo < 0xDC00 || baixo > 0xDFFF) return false;
            u = 0x10000 + ((u - 0xD800) << 10) + (baixo - 0xDC00);
            i += 2;
        }
        AcrescentaUtf8(saida, u);
    }
    return true;
}

// The hive file's text in UTF-8: read whole, from a regular file only (a
// FIFO or device is never opened for reading, so nothing waits on it), in
// UTF-16LE with its byte-order mark (as registry exports are written) or in
// UTF-8 with or without one. An absent file is an empty text. False when the
// file is there but cannot be read as a hive: not a regular file, too large,
// not text (broken UTF-16, zero bytes), or text that does not begin with the
// export header.
bool LeTextoColmeia(const std::filesystem::path& arquivo, std::string& texto) {
    texto.clear();
    const int fd = ::open(arquivo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR;
    struct stat st{};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              static_cast<std::uint64_t>(st.st_size) <= kTamanhoMaximoColmeia;
    std::string bruto;
    if (ok) {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) ok = false;
            if (n <= 0) break;
            bruto.append(buffer, static_cast<std::size_t>(n));
            if (bruto.size() > kTamanhoMaximoColmeia) {
                ok = false;
                break;
            }
        }
    }
    ::close(fd);
    if (!ok) return false;
    if (bruto.rfind("\xFF\xFE", 0) == 0) {
        if (!Utf16LeParaUtf8(std::string_view(bruto).substr(2), texto)) return false;
    } else {
        texto = bruto.rfind("\xEF\xBB\xBF", 0) == 0 ? bruto.substr(3) : std::move(bruto);
    }
    // Text has no zero bytes: a file with them is something else.
    if (texto.find('\0') != std::string::npos) return false;
    const auto inicio = texto.find_first_not_of(" \t\r\n");
    if (inicio == std::string::npos) {
        texto.clear();
        return true;
    }
    return texto.compare(inicio, std::strlen(kCabecalho), kCabecalho) == 0;
}

// The hive's keys. A file that cannot be read as a hive reads as an empty one
// (reported), and `*legivel` says so, so that no writer replaces it.
Colmeia LeColmeia(int colmeia, bool* legivel = nullptr) {
    Colmeia saida;
    const auto arquivo = ArquivoColmeia(colmeia);
    std::string texto;
    const bool ok = LeTextoColmeia(arquivo, texto);
    if (legivel != nullptr) *legivel = ok;
    if (!ok) {
        syslog(LOG_WARNING, "registro: %s ilegível; lido como vazio e nunca reescrito", arquivo.c_str());
        return saida;
    }
    std::istringstream in(texto);
    const std::string prefixo = std::string(kNomesColmeia[colmeia]) + "\\";
    std::string linha;
    Chave* atual = nullptr;
    size_t numero = 0;
    bool cabecalho = false;
    while (std::getline(in, linha)) {
        ++numero;
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        const auto primeiro = linha.find_first_not_of(" \t");
        if (primeiro == std::string::npos || linha[primeiro] == ';') continue;
        linha.erase(0, primeiro);
        if (!cabecalho && linha == kCabecalho) {
            cabecalho = true;
            continue;
        }
        if (linha.front() == '[') {
            atual = nullptr;
            if (linha.back() != ']' || linha.size() < 3) {
                RelataLinhaInvalida(arquivo, numero, linha);
                continue;
            }
            const std::string nome = linha.substr(1, linha.size() - 2);
            if (Minusculas(nome).rfind(Minusculas(prefixo), 0) != 0 && Minusculas(nome) != Minusculas(kNomesColmeia[colmeia])) {
                RelataLinhaInvalida(arquivo, numero, linha);
                continue;
            }
            const std::string caminho = NormalizaCaminho(nome.size() > prefixo.size() ? nome.substr(prefixo.size()) : "");
            auto& chave = saida[Minusculas(caminho)];
            chave.caminho = caminho;
            atual = &chave;
            continue;
        }
        Valor valor;
        size_t pos = 0;
        if (atual == nullptr) {
            RelataLinhaInvalida(arquivo, numero, linha);
            continue;
        }
        if (linha.front() == '@') {
            pos = 1;
        } else if (!LeTextoEntreAspas(linha, pos, valor.nome)) {
            RelataLinhaInvalida(arquivo, numero, linha);
            continue;
        }
        if (pos >= linha.size() || linha[pos] != '=' || !LeDados(linha.substr(pos + 1), valor)) {
            RelataLinhaInvalida(arquivo, numero, linha);
            continue;
        }
        auto& valores = atual->valores;
        const auto chaveNome = Minusculas(valor.nome);
        auto it = std::find_if(valores.begin(), valores.end(),
                               [&](const Valor& v) { return Minusculas(v.nome) == chaveNome; });
        if (it != valores.end()) *it = valor;
        else valores.push_back(valor);
    }
    return saida;
}

std::string Escapa(const std::string& s) {
    std::string saida;
    for (char c : s) {
        if (c == '\\' || c == '"') saida.push_back('\\');
        saida.push_back(c);
    }
    return saida;
}

std::string Serializa(int colmeia, const Colmeia& dados) {
    std::ostringstream out;
    out << kCabecalho << "\r\n";
    for (const auto& [_, chave] : dados) {
        out << "\r\n[" << kNomesColmeia[colmeia];
        if (!chave.caminho.empty()) out << '\\' << chave.caminho;
        out << "]\r\n";
        for (const auto& v : chave.valores) {
            if (v.nome.empty()) out << '@';
            else out << '"' << Escapa(v.nome) << '"';
            out << '=';
            if (v.tipo == REG_SZ) {
                out << '"' << Escapa(v.dados) << '"';
            } else if (v.tipo == REG_DWORD) {
                DWORD d = 0;
                std::memcpy(&d, v.dados.data(), sizeof d);
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", d);
                out << buf;
            } else {
                out << "hex(b):";
                for (size_t i = 0; i < v.dados.size(); ++i) {
                    char buf[4];
                    std::snprintf(buf, sizeof buf, "%s%02x", i ? "," : "", static_cast<unsigned char>(v.dados[i]));
                    out << buf;
                }
            }
            out << "\r\n";
        }
    }
    return out.str();
}

bool GravaTudo(int fd, const std::string& dados) {
    size_t feito = 0;
    while (feito < dados.size()) {
        const ssize_t n = ::write(fd, dados.data() + feito, dados.size() - feito);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        feito += static_cast<size_t>(n);
    }
    return true;
}

// A change that found nothing to do: the hive is left as it is.
constexpr LSTATUS kSemMudanca = -1;

// Changes a hive under the writers' lock: read, change, write a twin, rename.
// `mudanca` returns ERROR_SUCCESS to have the hive written, kSemMudanca to
// leave the file untouched, or an error.
template <class Mudanca>
LSTATUS AlteraColmeia(int colmeia, Mudanca&& mudanca) {
    const auto arquivo = ArquivoColmeia(colmeia);
    std::error_code ec;
    std::filesystem::create_directories(arquivo.parent_path(), ec);
    const auto trava = arquivo.string() + ".lock";
    const int fdTrava = ::open(trava.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fdTrava < 0) return ERROR_CANTWRITE;
    while (::flock(fdTrava, LOCK_EX) != 0 && errno == EINTR) {
    }
    bool legivel = true;
    Colmeia dados = LeColmeia(colmeia, &legivel);
    // A hive that could not be read is never replaced: its keys would be lost.
    LSTATUS status = legivel ? mudanca(dados) : ERROR_BADDB;
    if (status == kSemMudanca) {
        status = ERROR_SUCCESS;
    } else if (status == ERROR_SUCCESS) {
        static std::atomic<unsigned> sequencia{0};
        const auto gemeo = arquivo.string() + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(++sequencia);
        const int fd = ::open(gemeo.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            status = ERROR_CANTWRITE;
        } else {
            const bool ok = GravaTudo(fd, Serializa(colmeia, dados)) && ::fsync(fd) == 0;
            ::close(fd);
            if (!ok || ::rename(gemeo.c_str(), arquivo.c_str()) != 0) {
                ::unlink(gemeo.c_str());
                status = ERROR_CANTWRITE;
            }
        }
    }
    ::flock(fdTrava, LOCK_UN);
    ::close(fdTrava);
    return status;
}

// Hives as handles name them: 0 HKLM, 1 HKCU, 2 the merged classes view,
// whose paths are relative to the classes keys of both hives.
constexpr int kClasses = 2;
constexpr const char* kCaminhoClasses = "Software\\Classes";

bool ChavePredefinida(HKEY h) { return h == HKEY_LOCAL_MACHINE || h == HKEY_CURRENT_USER || h == HKEY_CLASSES_ROOT; }

bool Resolve(HKEY h, int& colmeia, std::string& caminho) {
    caminho.clear();
    if (h == HKEY_LOCAL_MACHINE) {
        colmeia = 0;
        return true;
    }
    if (h == HKEY_CURRENT_USER) {
        colmeia = 1;
        return true;
    }
    if (h == HKEY_CLASSES_ROOT) {
        colmeia = kClasses;
        return true;
    }
    if (h == nullptr) return false;
    colmeia = h->colmeia;
    caminho = h->caminho;
    return true;
}

struct Local {
    int colmeia;
    std::string caminho;
};

// Where reads of a key look, in order: the user's classes before the machine's.
std::vector<Local> LocaisLeitura(int colmeia, const std::string& caminho) {
    if (colmeia != kClasses) return {Local{colmeia, caminho}};
    const std::string completo = Junta(kCaminhoClasses, caminho.c_str());
    return {Local{1, completo}, Local{0, completo}};
}

// Where writes to a key go.
Local LocalEscrita(int colmeia, const std::string& caminho) {
    if (colmeia != kClasses) return Local{colmeia, caminho};
    return Local{0, Junta(kCaminhoClasses, caminho.c_str())};
}

bool TemDescendentes(const Colmeia& dados, const std::string& chaveMinuscula) {
    if (chaveMinuscula.empty()) return !dados.empty();
    const std::string prefixo = chaveMinuscula + "\\";
    const auto it = dados.lower_bound(prefixo);
    return it != dados.end() && it->first.rfind(prefixo, 0) == 0;
}

// A key exists when it was written or something below it was; the hive's own
// root always exists.
bool Existe(const Colmeia& dados, const std::string& chaveMinuscula) {
    return chaveMinuscula.empty() || dados.count(chaveMinuscula) != 0 || TemDescendentes(dados, chaveMinuscula);
}

// The direct subkeys of a key (by lower-case name, as first spelled).
void AcrescentaSubchaves(const Colmeia& dados, const std::string& chaveMinuscula, std::map<std::string, std::string>& nomes) {
    const std::string prefixo = chaveMinuscula.empty() ? std::string() : chaveMinuscula + "\\";
    for (auto it = dados.lower_bound(prefixo); it != dados.end() && it->first.rfind(prefixo, 0) == 0; ++it) {
        const size_t fim = it->first.find('\\', prefixo.size());
        const size_t tamanho = (fim == std::string::npos ? it->first.size() : fim) - prefixo.size();
        const std::string minuscula = it->first.substr(prefixo.size(), tamanho);
        const std::string grafia = it->second.caminho.size() == it->first.size()
                                       ? it->second.caminho.substr(prefixo.size(), tamanho)
                                       : minuscula;
        nomes.try_emplace(minuscula, grafia);
    }
}

const Valor* AchaValor(const Chave& chave, const char* nome) {
    const std::string procurado = Minusculas(nome != nullptr ? nome : "");
    for (const auto& v : chave.valores)
        if (Minusculas(v.nome) == procurado) return &v;
    return nullptr;
}

// What a read sees of one key: whether it exists, its subkeys and its values
// (the first location's value wins when both have one of the same name).
struct Visao {
    bool existe = false;
    std::map<std::string, std::string> subchaves;
    std::vector<Valor> valores;
};

Visao VeChave(int colmeia, const std::string& caminho) {
    Visao visao;
    for (const auto& local : LocaisLeitura(colmeia, caminho)) {
        const Colmeia dados = LeColmeia(local.colmeia);
        const std::string chave = Minusculas(local.caminho);
        if (!Existe(dados, chave)) continue;
        visao.existe = true;
        AcrescentaSubchaves(dados, chave, visao.subchaves);
        const auto it = dados.find(chave);
        if (it == dados.end()) continue;
        for (const auto& v : it->second.valores) {
            const bool repetido = std::any_of(visao.valores.begin(), visao.valores.end(), [&](const Valor& ja) {
                return Minusculas(ja.nome) == Minusculas(v.nome);
            });
            if (!repetido) visao.valores.push_back(v);
        }
    }
    return visao;
}

// Copies a name into a caller's buffer as the enumeration calls do.
LSTATUS CopiaNome(const std::string& nome, char* destino, DWORD* tamanho) {
    if (destino == nullptr || tamanho == nullptr) return ERROR_INVALID_PARAMETER;
    if (*tamanho < nome.size() + 1) {
        *tamanho = static_cast<DWORD>(nome.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(destino, nome.c_str(), nome.size() + 1);
    *tamanho = static_cast<DWORD>(nome.size());
    return ERROR_SUCCESS;
}

// Hands a value's data back as RegQueryValueExA does.
LSTATUS EntregaValor(const Valor& valor, DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
    if (lpType != nullptr) *lpType = valor.tipo;
    const size_t precisa = valor.dados.size() + (valor.tipo == REG_SZ ? 1 : 0);
    if (lpcbData == nullptr) return ERROR_SUCCESS;
    const DWORD disponivel = *lpcbData;
    *lpcbData = static_cast<DWORD>(precisa);
    if (lpData == nullptr) return ERROR_SUCCESS;
    if (disponivel < precisa) return ERROR_MORE_DATA;
    std::memcpy(lpData, valor.dados.data(), valor.dados.size());
    if (valor.tipo == REG_SZ) lpData[valor.dados.size()] = 0;
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD, DWORD, HKEY* phkResult) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    int colmeia = 0;
    std::string base;
    if (!Resolve(hKey, colmeia, base)) return ERROR_INVALID_HANDLE;
    const std::string caminho = Junta(base, lpSubKey);
    if (!caminho.empty()) {
        bool existe = false;
        for (const auto& local : LocaisLeitura(colmeia, caminho))
            if (Existe(LeColmeia(local.colmeia), Minusculas(local.caminho))) {
                existe = true;
                break;
            }
        if (!existe) return ERROR_FILE_NOT_FOUND;
    }
    *phkResult = new QVRegKey{colmeia, caminho};
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD, char*, DWORD, DWORD, void*, HKEY* phkResult,
                        DWORD* lpdwDisposition) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    int colmeia = 0;
    std::string base;
    if (!Resolve(hKey, colmeia, base)) return ERROR_INVALID_HANDLE;
    const std::string caminho = Junta(base, lpSubKey);
    if (caminho.find_first_of("\r\n") != std::string::npos) return ERROR_INVALID_PARAMETER;
    const Local destino = LocalEscrita(colmeia, caminho);
    bool criada = false;
    const LSTATUS status = AlteraColmeia(destino.colmeia, [&](Colmeia& dados) -> LSTATUS {
        const std::string chave = Minusculas(destino.caminho);
        if (Existe(dados, chave)) return kSemMudanca;
        auto& nova = dados[chave];
        nova.caminho = destino.caminho;
        criada = true;
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS) return status;
    if (lpdwDisposition != nullptr) *lpdwDisposition = criada ? 1u : 2u;  // REG_CREATED_NEW_KEY / REG_OPENED_EXISTING_KEY
    *phkResult = new QVRegKey{colmeia, caminho};
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY hKey) {
    if (hKey == nullptr) return ERROR_INVALID_HANDLE;
    if (!ChavePredefinida(hKey)) delete hKey;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD*, DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
    int colmeia = 0;
    std::string caminho;
    if (!Resolve(hKey, colmeia, caminho)) return ERROR_INVALID_HANDLE;
    if (lpData != nullptr && lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
    for (const auto& local : LocaisLeitura(colmeia, caminho)) {
        const Colmeia dados = LeColmeia(local.colmeia);
        const auto it = dados.find(Minusculas(local.caminho));
        if (it == dados.end()) continue;
        if (const Valor* valor = AchaValor(it->second, lpValueName)) return EntregaValor(*valor, lpType, lpData, lpcbData);
    }
    return ERROR_FILE_NOT_FOUND;
}

LSTATUS RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
    int colmeia = 0;
    std::string caminho;
    if (!Resolve(hKey, colmeia, caminho)) return ERROR_INVALID_HANDLE;
    Valor valor;
    valor.nome = lpValueName != nullptr ? lpValueName : "";
    valor.tipo = dwType;
    switch (dwType) {
        case REG_SZ: {
            const char* texto = reinterpret_cast<const char*>(lpData);
            size_t n = 0;
            while (texto != nullptr && n < cbData && texto[n] != 0) ++n;
            valor.dados.assign(texto != nullptr ? texto : "", n);
            if (valor.dados.find_first_of("\r\n") != std::string::npos) return ERROR_INVALID_PARAMETER;
            break;
        }
        case REG_DWORD:
        case REG_QWORD: {
            const DWORD tamanho = dwType == REG_DWORD ? 4 : 8;
            if (lpData == nullptr || cbData != tamanho) return ERROR_INVALID_PARAMETER;
            valor.dados.assign(reinterpret_cast<const char*>(lpData), tamanho);
            break;
        }
        default:
            return ERROR_INVALID_PARAMETER;
    }
    if (valor.nome.find_first_of("\r\n") != std::string::npos) return ERROR_INVALID_PARAMETER;
    const Local destino = LocalEscrita(colmeia, caminho);
    return AlteraColmeia(destino.colmeia, [&](Colmeia& dados) -> LSTATUS {
        auto [it, nova] = dados.try_emplace(Minusculas(destino.caminho));
        if (nova) it->second.caminho = destino.caminho;
        auto& valores = it->second.valores;
        const auto nome = Minusculas(valor.nome);
        auto existente = std::find_if(valores.begin(), valores.end(),
                                      [&](const Valor& v) { return Minusculas(v.nome) == nome; });
        if (existente != valores.end()) *existente = valor;
        else valores.push_back(valor);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteValueA(HKEY hKey, const char* lpValueName) {
    int colmeia = 0;
    std::string caminho;
    if (!Resolve(hKey, colmeia, caminho)) return ERROR_INVALID_HANDLE;
    const std::string nome = Minusculas(lpValueName != nullptr ? lpValueName : "");
    const Local destino = LocalEscrita(colmeia, caminho);
    return AlteraColmeia(destino.colmeia, [&](Colmeia& dados) -> LSTATUS {
        const auto it = dados.find(Minusculas(destino.caminho));
        if (it == dados.end()) return ERROR_FILE_NOT_FOUND;
        auto& valores = it->second.valores;
        const auto antes = valores.size();
        std::erase_if(valores, [&](const Valor& v) { return Minusculas(v.nome) == nome; });
        return valores.size() == antes ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteTreeA(HKEY hKey, const char* lpSubKey) {
    int colmeia = 0;
    std::string base;
    if (!Resolve(hKey, colmeia, base)) return ERROR_INVALID_HANDLE;
    const std::string relativo = Junta(base, lpSubKey);
    if (relativo.empty()) return ERROR_ACCESS_DENIED;  // never the whole hive or the whole classes view
    const Local destino = LocalEscrita(colmeia, relativo);
    const std::string alvo = Minusculas(destino.caminho);
    return AlteraColmeia(destino.colmeia, [&](Colmeia& dados) -> LSTATUS {
        const auto antes = dados.size();
        std::erase_if(dados, [&](const auto& par) { return par.first == alvo || par.first.rfind(alvo + "\\", 0) == 0; });
        return dados.size() == antes ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteKeyA(HKEY hKey, const char* lpSubKey) {
    int colmeia = 0;
    std::string base;
    if (!Resolve(hKey, colmeia, base)) return ERROR_INVALID_HANDLE;
    const std::string relativo = Junta(base, lpSubKey);
    if (relativo.empty()) return ERROR_ACCESS_DENIED;
    const Local destino = LocalEscrita(colmeia, relativo);
    const std::string alvo = Minusculas(destino.caminho);
    return AlteraColmeia(destino.colmeia, [&](Colmeia& dados) -> LSTATUS {
        if (TemDescendentes(dados, alvo)) return ERROR_ACCESS_DENIED;
        return dados.erase(alvo) != 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LSTATUS RegEnumKeyExA(HKEY hKey, DWORD dwIndex, char* lpName, DWORD* lpcchName, DWORD*, char* lpClass,
                      DWORD* lpcchClass, void*) {
    int colmeia = 0;
    std::string caminho;
    if (!Resolve(hKey, colmeia, caminho)) return ERROR_INVALID_HANDLE;
    const Visao visao = VeChave(colmeia, caminho);
    if (!visao.existe) return ERROR_FILE_NOT_FOUND;
    if (dwIndex >= visao.subchaves.size()) return ERROR_NO_MORE_ITEMS;
    const auto it = std::next(visao.subchaves.begin(), static_cast<std::ptrdiff_t>(dwIndex));
    if (lpClass != nullptr && lpcchClass != nullptr && *lpcchClass > 0) {
        lpClass[0] = 0;
        *lpcchClass = 0;
    }
    return CopiaNome(it->second, lpName, lpcchName);
}

LSTATUS RegEnumValueA(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName, DWORD*, DWORD* lpType,
                      BYTE* lpData, DWORD* lpcbData) {
    int colmeia = 0;
    std::string caminho;
    if (!Resolve(hKey, colmeia, caminho)) return ERROR_INVALID_HANDLE;
    if (lpData != nullptr && lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
    const Visao visao = VeChave(colmeia, caminho);
    if (!visao.existe) return ERROR_FILE_NOT_FOUND;
    if (dwIndex >= visao.valores.size()) return ERROR_NO_MORE_ITEMS;
    const Valor& valor = visao.valores[dwIndex];
    const LSTATUS status = CopiaNome(valor.nome, lpValueName, lpcchValueName);
    if (status != ERROR_SUCCESS) return status;
    return EntregaValor(valor, lpType, lpData, lpcbData);
}

LSTATUS RegQueryInfoKeyA(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD*, DWORD* lpcSubKeys,
                         DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                         DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen, DWORD* lpcbSecurityDescriptor, void*) {
    int colmeia = 0;
    std::string caminho;
    if (!Resolve(hKey, colmeia, caminho)) return ERROR_INVALID_HANDLE;
    const Visao visao = VeChave(colmeia, caminho);
    if (!visao.existe) return ERROR_FILE_NOT_FOUND;
    if (lpClass != nullptr && lpcchClass != nullptr && *lpcchClass > 0) lpClass[0] = 0;
    if (lpcchClass != nullptr) *lpcchClass = 0;
    if (lpcbMaxClassLen != nullptr) *lpcbMaxClassLen = 0;
    if (lpcbSecurityDescriptor != nullptr) *lpcbSecurityDescriptor = 0;
    size_t maiorSubchave = 0;
    for (const auto& [_, nome] : visao.subchaves) maiorSubchave = std::max(maiorSubchave, nome.size());
    size_t maiorNome = 0;
    size_t maiorDado = 0;
    for (const auto& v : visao.valores) {
        maiorNome = std::max(maiorNome, v.nome.size());
        maiorDado = std::max(maiorDado, v.dados.size() + (v.tipo == REG_SZ ? 1 : 0));
    }
    if (lpcSubKeys != nullptr) *lpcSubKeys = static_cast<DWORD>(visao.subchaves.size());
    if (lpcbMaxSubKeyLen != nullptr) *lpcbMaxSubKeyLen = static_cast<DWORD>(maiorSubchave);
    if (lpcValues != nullptr) *lpcValues = static_cast<DWORD>(visao.valores.size());
    if (lpcbMaxValueNameLen != nullptr) *lpcbMaxValueNameLen = static_cast<DWORD>(maiorNome);
    if (lpcbMaxValueLen != nullptr) *lpcbMaxValueLen = static_cast<DWORD>(maiorDado);
    return ERROR_SUCCESS;
}

namespace zenta {

std::optional<std::string> RegLeTexto(HKEY raiz, const std::string& chave, const std::string& valor) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(raiz, chave.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return std::nullopt;
    DWORD tipo = 0;
    DWORD tamanho = 0;
    std::optional<std::string> saida;
    if (RegQueryValueExA(h, valor.c_str(), nullptr, &tipo, nullptr, &tamanho) == ERROR_SUCCESS && tipo == REG_SZ) {
        std::string texto(tamanho, '\0');
        if (RegQueryValueExA(h, valor.c_str(), nullptr, &tipo, reinterpret_cast<BYTE*>(texto.data()), &tamanho) ==
            ERROR_SUCCESS) {
            texto.resize(tamanho > 0 ? tamanho - 1 : 0);
            saida = std::move(texto);
        }
    }
    RegCloseKey(h);
    return saida;
}

std::optional<DWORD> RegLeDword(HKEY raiz, const std::string& chave, const std::string& valor) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(raiz, chave.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return std::nullopt;
    DWORD tipo = 0;
    DWORD dado = 0;
    DWORD tamanho = sizeof dado;
    std::optional<DWORD> saida;
    if (RegQueryValueExA(h, valor.c_str(), nullptr, &tipo, reinterpret_cast<BYTE*>(&dado), &tamanho) == ERROR_SUCCESS &&
        tipo == REG_DWORD)
        saida = dado;
    RegCloseKey(h);
    return saida;
}

bool RegChaveVazia(HKEY raiz, const std::string& chave) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(raiz, chave.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    DWORD subchaves = 0;
    DWORD valores = 0;
    const LSTATUS status = RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, &subchaves, nullptr, nullptr, &valores,
                                            nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(h);
    return status == ERROR_SUCCESS && subchaves == 0 && valores == 0;
}

}  // namespace zenta
