#include "standins/erp/QVEmailErp.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <random>

#include "platform/QVDiretorios.h"
#include "diagnostics/QVCheck.h"
#include "diagnostics/QVNomesHresult.h"
#include "platform/CodePage.h"
#include "platform/QVHome.h"
#include "platform/Registry.h"
#include "values/RelogioSistema.h"

namespace zenta {

namespace {

constexpr int kParteTexto = 6;  // a part whose bytes are the body, Windows-1252

// ---- validation ----------------------------------------------------------------

bool CaractereDominio(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// A host name (letters, digits, '-' and '.' labels) or a bracketed IPv6
// literal: nothing that could change the meaning of the URL it goes into.
bool ServidorValido(std::string_view servidor) {
    if (servidor.empty() || servidor.size() > 253) return false;
    if (servidor.front() == '[') {
        if (servidor.size() < 3 || servidor.back() != ']') return false;
        for (const char c : servidor.substr(1, servidor.size() - 2))
            if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return false;
        return true;
    }
    if (servidor.front() == '.' || servidor.front() == '-' || servidor.back() == '-') return false;
    char anterior = 0;
    for (const char c : servidor) {
        if (!CaractereDominio(c)) return false;
        if (c == '.' && anterior == '.') return false;
        anterior = c;
    }
    return true;
}

// ---- encodings -----------------------------------------------------------------

std::string Base64(std::string_view bytes) {
    static constexpr char kAlfabeto[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string saida;
    saida.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t v = (static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16) |
                           (static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8) |
                           static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 2]));
        saida += kAlfabeto[(v >> 18) & 63];
        saida += kAlfabeto[(v >> 12) & 63];
        saida += kAlfabeto[(v >> 6) & 63];
        saida += kAlfabeto[v & 63];
    }
    const std::size_t resto = bytes.size() - i;
    if (resto > 0) {
        uint32_t v = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
        if (resto == 2) v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        saida += kAlfabeto[(v >> 18) & 63];
        saida += kAlfabeto[(v >> 12) & 63];
        saida += resto == 2 ? kAlfabeto[(v >> 6) & 63] : '=';
        saida += '=';
    }
    return saida;
}

// The subject as RFC 2047 encoded words ("B" encoding, UTF-8), each of at
// most 36 bytes of whole characters so that every header line stays within
// 76 characters; words after the first go on folded lines.
std::string AssuntoCodificado(std::string_view utf8) {
    constexpr std::size_t kBytesPorPalavra = 36;
    std::string saida;
    std::size_t inicio = 0;
    while (inicio < utf8.size()) {
        std::size_t fim = std::min(utf8.size(), inicio + kBytesPorPalavra);
        // Never cut a character: back off continuation bytes (10xxxxxx).
        while (fim < utf8.size() && fim > inicio + 1 && (static_cast<unsigned char>(utf8[fim]) & 0xC0) == 0x80) --fim;
        if (!saida.empty()) saida += "\r\n ";
        saida += "=?UTF-8?B?";
        saida += Base64(utf8.substr(inicio, fim - inicio));
        saida += "?=";
        inicio = fim;
    }
    return saida;
}

// Line ends of any form (CRLF, LF, CR) as CRLF, and a final CRLF.
std::string LinhasCrlf(std::string_view texto) {
    std::string saida;
    saida.reserve(texto.size() + texto.size() / 32 + 2);
    for (std::size_t i = 0; i < texto.size(); ++i) {
        const char c = texto[i];
        if (c == '\r') {
            if (i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
            saida += "\r\n";
        } else if (c == '\n') {
            saida += "\r\n";
        } else {
            saida += c;
        }
    }
    if (saida.size() < 2 || saida.compare(saida.size() - 2, 2, "\r\n") != 0) saida += "\r\n";
    return saida;
}

// Quoted-printable (RFC 2045) of a text with CRLF line ends: hard line
// breaks kept, lines of at most 76 characters through soft breaks, '=',
// controls and 8-bit bytes escaped, a blank ending a line escaped.
std::string QuotedPrintable(std::string_view texto) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string saida;
    saida.reserve(texto.size() + texto.size() / 4);
    std::size_t inicio = 0;
    while (inicio < texto.size()) {
        std::size_t fim = texto.find("\r\n", inicio);
        if (fim == std::string_view::npos) fim = texto.size();
        const std::string_view linha = texto.substr(inicio, fim - inicio);
        std::size_t coluna = 0;
        for (std::size_t i = 0; i < linha.size(); ++i) {
            const auto u = static_cast<unsigned char>(linha[i]);
            const bool ultimo = i + 1 == linha.size();
            const bool literal = (u >= 33 && u <= 126 && u != '=') || ((u == ' ' || u == '\t') && !ultimo);
            char unidade[3];
            std::size_t tamanho = 1;
            if (literal) {
                unidade[0] = static_cast<char>(u);
            } else {
                unidade[0] = '=';
                unidade[1] = kHex[u >> 4];
                unidade[2] = kHex[u & 15];
                tamanho = 3;
            }
            // Room for the unit and, unless the line ends with it, a soft break '='.
            const std::size_t limite = ultimo ? 76 : 75;
            if (coluna + tamanho > limite) {
                saida += "=\r\n";
                coluna = 0;
            }
            saida.append(unidade, tamanho);
            coluna += tamanho;
        }
        if (fim < texto.size()) saida += "\r\n";
        inicio = fim + 2;
    }
    return saida;
}

// "Sun, 06 Dec 2026 18:33:37 -0300" for the system clock's local instant.
std::string DataRfc5322() {
    const RelogioSistema::Instante agora = RelogioSistema::Agora();
    std::tm tm{};
    tm.tm_year = agora.ano - 1900;
    tm.tm_mon = agora.mes - 1;
    tm.tm_mday = agora.dia;
    tm.tm_hour = agora.hora;
    tm.tm_min = agora.minuto;
    tm.tm_sec = agora.segundo;
    tm.tm_isdst = -1;
    const std::time_t instante = std::mktime(&tm);  // also fills the weekday
    long deslocamento = 0;
    std::tm local{};
    if (instante != static_cast<std::time_t>(-1) && localtime_r(&instante, &local) != nullptr)
        deslocamento = local.tm_gmtoff / 60;
    static constexpr const char* kDias[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMeses[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int diaSemana = tm.tm_wday >= 0 && tm.tm_wday <= 6 ? tm.tm_wday : 0;
    const int mes = tm.tm_mon >= 0 && tm.tm_mon <= 11 ? tm.tm_mon : 0;
    const char sinal = deslocamento < 0 ? '-' : '+';
    const long absoluto = deslocamento < 0 ? -deslocamento : deslocamento;
    char texto[64];
    std::snprintf(texto, sizeof texto, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDias[diaSemana], tm.tm_mday,
                  kMeses[mes], tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec, sinal, absoluto / 60,
                  absoluto % 60);
    return texto;
}

uint64_t Aleatorio64() {
    static std::mutex trava;
    static std::mt19937_64 gerador{[] {
        std::random_device dispositivo;
        return (static_cast<uint64_t>(dispositivo()) << 32) ^ dispositivo() ^
               static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    }()};
    std::lock_guard lock(trava);
    return gerador();
}

// This machine's name, or "localhost" when it has none usable.
std::string NomeMaquina() {
    char nome[256] = {};
    if (::gethostname(nome, sizeof nome - 1) != 0 || nome[0] == 0) return "localhost";
    return nome;
}

// The sender of the message: the configured one, or a local address when
// mail only goes to the Maildir and nobody set one.
std::string RemetentePadrao(const ConfiguracaoEmail& configuracao) {
    return configuracao.sRemetente.empty() ? std::string("zenta@localhost") : configuracao.sRemetente;
}

// ---- SMTP --------------------------------------------------------------------------

HRESULT IniciaCurl() {
    static std::once_flag uma;
    static CURLcode resultado = CURLE_OK;
    std::call_once(uma, [] { resultado = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return resultado == CURLE_OK ? S_OK : E_FAIL;
}

struct LeituraMensagem {
    const std::string* pTexto = nullptr;
    std::size_t posicao = 0;
};

size_t LeParteMensagem(char* destino, size_t tamanho, size_t quantidade, void* usuario) {
    auto* leitura = static_cast<LeituraMensagem*>(usuario);
    const std::size_t capacidade = tamanho * quantidade;
    const std::size_t resta = leitura->pTexto->size() - leitura->posicao;
    const std::size_t n = std::min(capacidade, resta);
    if (n > 0) std::memcpy(destino, leitura->pTexto->data() + leitura->posicao, n);
    leitura->posicao += n;
    return n;
}

struct CurlFacil {
    CURL* p = curl_easy_init();
    curl_slist* destinatarios = nullptr;
    ~CurlFacil() {
        curl_slist_free_all(destinatarios);
        if (p != nullptr) curl_easy_cleanup(p);
    }
    CurlFacil() = default;
    CurlFacil(const CurlFacil&) = delete;
    CurlFacil& operator=(const CurlFacil&) = delete;
};

// The code a failed transfer becomes: the conditions a caller may act on by
// name, everything else E_FAIL.
HRESULT ResultadoCurl(CURLcode codigo, long respostaSmtp) {
    switch (codigo) {
    case CURLE_COULDNT_CONNECT:
        return E_QV_EMAIL_CONEXAO_RECUSADA;
    case CURLE_COULDNT_RESOLVE_HOST:
        return E_QV_EMAIL_SERVIDOR_NAO_ACHADO;
    case CURLE_OPERATION_TIMEDOUT:
        return E_QV_EMAIL_TEMPO_ESGOTADO;
    case CURLE_LOGIN_DENIED:
        return E_QV_EMAIL_LOGIN_RECUSADO;
    case CURLE_OUT_OF_MEMORY:
        return E_OUTOFMEMORY;
    default:
        // The server answered with a refusal (4xx or 5xx) at some step.
        if (respostaSmtp >= 400 && respostaSmtp <= 599) return E_QV_EMAIL_RECUSADO;
        return E_FAIL;
    }
}

// ---- Maildir -----------------------------------------------------------------------

HRESULT CriaDiretorio(const std::filesystem::path& caminho) {
    if (::mkdir(caminho.c_str(), 0700) == 0) return S_OK;
    if (errno != EEXIST) return HresultDeErrno(errno);
    struct stat st {};
    // An existing entry must be a real directory: a link could lead outside.
    if (::lstat(caminho.c_str(), &st) != 0) return HresultDeErrno(errno);
    return S_ISDIR(st.st_mode) ? S_OK : HRESULT_FROM_WIN32(267u);  // ERROR_DIRECTORY
}

HRESULT EscreveTudo(int fd, const std::string& texto) {
    std::size_t escrito = 0;
    while (escrito < texto.size()) {
        const ssize_t n = ::write(fd, texto.data() + escrito, texto.size() - escrito);
        if (n < 0) {
            if (errno == EINTR) continue;
            return HresultDeErrno(errno);
        }
        escrito += static_cast<std::size_t>(n);
    }
    return S_OK;
}

// The machine name in a Maildir file name: '/' and ':' written as octal
// escapes, as the convention asks.
std::string MaquinaMaildir() {
    std::string saida;
    for (const char c : NomeMaquina()) {
        if (c == '/') saida += "\\057";
        else if (c == ':') saida += "\\072";
        else saida += c;
    }
    return saida;
}

}  // namespace

// ---- public ----------------------------------------------------------------------

bool EnderecoEmailValido(std::string_view endereco) {
    if (endereco.empty() || endereco.size() > 254) return false;
    const std::size_t arroba = endereco.find('@');
    if (arroba == std::string_view::npos || arroba == 0 || arroba > 64) return false;
    if (endereco.find('@', arroba + 1) != std::string_view::npos) return false;
    const std::string_view local = endereco.substr(0, arroba);
    const std::string_view dominio = endereco.substr(arroba + 1);
    for (const char c : local) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F) return false;
        if (std::strchr("<>()[]\\,;:\"", c) != nullptr) return false;
    }
    if (local.front() == '.' || local.back() == '.' || local.find("..") != std::string_view::npos) return false;
    return ServidorValido(dominio);
}

bool TextoCabecalhoEmailValido(std::string_view texto) {
    if (texto.size() > kMaxAssuntoEmail) return false;
    for (const char c : texto) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return false;
        // Windows-1252 leaves these undefined; they stand for C1 controls.
        if (u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D) return false;
    }
    return true;
}

HRESULT LeConfiguracaoEmail(ConfiguracaoEmail& configuracao) {
    configuracao = {};
    const std::string chave = kChaveRegistroEmail;
    configuracao.sServidor = RegLeTexto(HKEY_LOCAL_MACHINE, chave, "ServidorSMTP").value_or("");
    configuracao.sRemetente = RegLeTexto(HKEY_LOCAL_MACHINE, chave, "Remetente").value_or("");
    configuracao.sUsuario = RegLeTexto(HKEY_LOCAL_MACHINE, chave, "UsuarioSMTP").value_or("");
    configuracao.sSenha = RegLeTexto(HKEY_LOCAL_MACHINE, chave, "SenhaSMTP").value_or("");
    const DWORD tls = RegLeDword(HKEY_LOCAL_MACHINE, chave, "TLS").value_or(0);
    const DWORD porta = RegLeDword(HKEY_LOCAL_MACHINE, chave, "PortaSMTP").value_or(tls == 2 ? 465 : 25);
    const DWORD segundos = RegLeDword(HKEY_LOCAL_MACHINE, chave, "TimeoutSMTP").value_or(60);

    if (tls > 2) QV_CHECK(E_QV_EMAIL_CONFIGURACAO);
    if (porta < 1 || porta > 65535) QV_CHECK(E_QV_EMAIL_CONFIGURACAO);
    if (segundos < 1 || segundos > 600) QV_CHECK(E_QV_EMAIL_CONFIGURACAO);
    configuracao.uTls = static_cast<unsigned>(tls);
    configuracao.uPorta = static_cast<unsigned>(porta);
    configuracao.msTotal = static_cast<unsigned>(segundos) * 1000u;
    configuracao.msConexao = std::min(configuracao.msTotal, 10000u);

    if (!configuracao.sRemetente.empty() && !EnderecoEmailValido(configuracao.sRemetente))
        QV_CHECK(E_QV_EMAIL_CONFIGURACAO);
    if (configuracao.sServidor.empty()) return S_OK;  // the Maildir needs nothing else
    if (!ServidorValido(configuracao.sServidor)) QV_CHECK(E_QV_EMAIL_CONFIGURACAO);
    if (configuracao.sRemetente.empty()) QV_CHECK(E_QV_EMAIL_CONFIGURACAO);
    // A password is never sent over a connection anyone can read.
    if (!configuracao.sUsuario.empty() && configuracao.uTls == 0) QV_CHECK(E_QV_EMAIL_CONFIGURACAO);
    return S_OK;
}

HRESULT MontaMensagemEmail(const CQVDadosEmail& dados, std::string_view remetente, std::string& mensagem) {
    mensagem.clear();
    if (dados.destinatarios.empty() || dados.destinatarios.size() > kMaxDestinatariosEmail) return E_INVALIDARG;
    for (const std::string& destinatario : dados.destinatarios)
        if (!EnderecoEmailValido(destinatario)) return E_INVALIDARG;
    if (!EnderecoEmailValido(remetente)) return E_INVALIDARG;
    if (!TextoCabecalhoEmailValido(dados.sAssunto)) return E_INVALIDARG;
    std::string corpo1252;
    for (const CQVParteEmail& parte : dados.partes) {
        // Only text parts exist here; dropping another kind would lose it unseen.
        if (parte.iTipo != kParteTexto) return E_INVALIDARG;
        if (parte.sConteudo.size() > kMaxCorpoEmail - corpo1252.size()) return E_INVALIDARG;
        corpo1252 += parte.sConteudo;
    }
    // A text handed over with its C terminator: the zero is no part of it.
    while (!corpo1252.empty() && corpo1252.back() == '\0') corpo1252.pop_back();

    const std::size_t arroba = remetente.find('@');
    const std::string dominio(remetente.substr(arroba + 1));
    char id[40];
    std::snprintf(id, sizeof id, "%016llx.%08x", static_cast<unsigned long long>(Aleatorio64()),
                  static_cast<unsigned>(::getpid()));

    std::string m;
    m += "Date: " + DataRfc5322() + "\r\n";
    m += "From: ";
    m += remetente;
    m += "\r\n";
    m += "To: ";
    for (std::size_t i = 0; i < dados.destinatarios.size(); ++i) {
        if (i > 0) m += ",\r\n ";
        m += dados.destinatarios[i];
    }
    m += "\r\n";
    m += "Subject: " + AssuntoCodificado(Cp1252ParaUtf8(dados.sAssunto)) + "\r\n";
    m += "Message-ID: <" + std::string(id) + "@" + dominio + ">\r\n";
    m += "MIME-Version: 1.0\r\n";
    m += "Content-Type: text/plain; charset=UTF-8\r\n";
    m += "Content-Transfer-Encoding: quoted-printable\r\n";
    m += "\r\n";
    m += QuotedPrintable(LinhasCrlf(Cp1252ParaUtf8(corpo1252)));
    mensagem = std::move(m);
    return S_OK;
}

HRESULT EnvioEmailErp::Envia(std::string_view empresa, const CQVDadosEmail& dados) {
    ConfiguracaoEmail configuracao;
    QV_CHECK(LeConfiguracaoEmail(configuracao));
    QV_CHECK(Envia(empresa, dados, configuracao));
    return S_OK;
}

HRESULT EnvioEmailErp::Envia(std::string_view empresa, const CQVDadosEmail& dados,
                             const ConfiguracaoEmail& configuracao) {
    if (!QVNomeEmpresaValido(empresa)) QV_CHECK(E_QV_NOME_EMPRESA_INVALIDO);
    std::string mensagem;
    QV_CHECK(MontaMensagemEmail(dados, RemetentePadrao(configuracao), mensagem));
    if (configuracao.sServidor.empty()) {
        QV_CHECK(GravaMaildir(empresa, mensagem, nullptr));
        return S_OK;
    }
    // What waits from earlier failures goes first; while the server
    // refuses, the new message waits behind them.
    HRESULT hr = ReenviaCaixaSaida(empresa, configuracao);
    if (SUCCEEDED(hr)) hr = EnviaSmtp(configuracao, dados.destinatarios, mensagem);
    if (FAILED(hr)) {
        // Not lost: it waits in the outbox for the next send.
        QV_CHECK(GravaPasta(PastaCaixaSaida(empresa), mensagem, nullptr));
        return hr;
    }
    return S_OK;
}

std::filesystem::path EnvioEmailErp::PastaCaixaSaida(std::string_view empresa) {
    return ZentaHome() / "mail" / Cp1252ParaUtf8(empresa) / kPastaCaixaSaidaEmail;
}

namespace {

// The envelope recipients of a message this system built: the addresses of
// its To header (one per line, comma-separated).
std::vector<std::string> DestinatariosDaMensagem(const std::string& mensagem) {
    std::vector<std::string> destinatarios;
    const std::size_t fimCabecalho = mensagem.find("\r\n\r\n");
    std::size_t inicio = mensagem.rfind("\r\nTo: ", fimCabecalho);
    if (mensagem.compare(0, 4, "To: ") == 0) inicio = 0;
    else if (inicio == std::string::npos) return destinatarios;
    else inicio += 2;
    inicio += 4;
    std::size_t fim = inicio;
    while (true) {
        fim = mensagem.find("\r\n", fim);
        if (fim == std::string::npos || fim + 2 >= mensagem.size() || mensagem[fim + 2] != ' ') break;
        fim += 2;
    }
    std::string campo = mensagem.substr(inicio, fim == std::string::npos ? std::string::npos : fim - inicio);
    std::size_t pos = 0;
    while (pos <= campo.size()) {
        std::size_t virgula = campo.find(',', pos);
        if (virgula == std::string::npos) virgula = campo.size();
        std::string endereco = campo.substr(pos, virgula - pos);
        endereco.erase(std::remove_if(endereco.begin(), endereco.end(),
                                      [](unsigned char c) { return c == ' ' || c == '\r' || c == '\n'; }),
                       endereco.end());
        if (!endereco.empty()) destinatarios.push_back(endereco);
        pos = virgula + 1;
    }
    return destinatarios;
}

}  // namespace

HRESULT EnvioEmailErp::ReenviaCaixaSaida(std::string_view empresa) {
    ConfiguracaoEmail configuracao;
    QV_CHECK(LeConfiguracaoEmail(configuracao));
    QV_CHECK(ReenviaCaixaSaida(empresa, configuracao));
    return S_OK;
}

HRESULT EnvioEmailErp::ReenviaCaixaSaida(std::string_view empresa, const ConfiguracaoEmail& configuracao) {
    if (!QVNomeEmpresaValido(empresa)) QV_CHECK(E_QV_NOME_EMPRESA_INVALIDO);
    const std::filesystem::path novas = PastaCaixaSaida(empresa) / "new";
    std::error_code ec;
    if (!std::filesystem::is_directory(novas, ec)) return S_OK;
    std::vector<std::filesystem::path> arquivos;
    for (const auto& entrada : std::filesystem::directory_iterator(novas, ec))
        if (entrada.is_regular_file(ec)) arquivos.push_back(entrada.path());
    // Oldest first: the names begin with the time they were kept.
    std::sort(arquivos.begin(), arquivos.end());
    for (const auto& arquivo : arquivos) {
        std::string mensagem;
        {
            std::FILE* f = std::fopen(arquivo.c_str(), "rb");
            if (f == nullptr) continue;
            char bloco[65536];
            std::size_t n = 0;
            while ((n = std::fread(bloco, 1, sizeof bloco, f)) > 0 && mensagem.size() <= kMaxCorpoEmail * 4)
                mensagem.append(bloco, n);
            std::fclose(f);
        }
        if (configuracao.sServidor.empty()) {
            // No server any more: it goes where mail goes without one.
            QV_CHECK(GravaMaildir(empresa, mensagem, nullptr));
        } else {
            const std::vector<std::string> destinatarios = DestinatariosDaMensagem(mensagem);
            if (destinatarios.empty()) {
                QV_LOG_HR(E_INVALIDARG, "ReenviaCaixaSaida(" + arquivo.string() + "): no recipients, left in the outbox");
                continue;
            }
            const HRESULT hr = EnviaSmtp(configuracao, destinatarios, mensagem);
            if (hr == E_QV_EMAIL_RECUSADO || hr == E_INVALIDARG) {
                // The server will never take this one: it is kept aside
                // (cur/) so that it does not hold up the others.
                QV_LOG_HR(hr, "ReenviaCaixaSaida(" + arquivo.string() + "): refused, kept in cur/");
                ::rename(arquivo.c_str(), (arquivo.parent_path().parent_path() / "cur" / arquivo.filename()).c_str());
                continue;
            }
            QV_CHECK(hr);
        }
        ::unlink(arquivo.c_str());
    }
    return S_OK;
}

HRESULT EnvioEmailErp::EnviaSmtp(const ConfiguracaoEmail& configuracao, const std::vector<std::string>& destinatarios,
                                 const std::string& mensagem) {
    if (!ServidorValido(configuracao.sServidor) || configuracao.uPorta < 1 || configuracao.uPorta > 65535 ||
        configuracao.uTls > 2 || !EnderecoEmailValido(configuracao.sRemetente))
        QV_CHECK(E_QV_EMAIL_CONFIGURACAO);
    if (destinatarios.empty() || destinatarios.size() > kMaxDestinatariosEmail) QV_CHECK(E_INVALIDARG);
    for (const std::string& destinatario : destinatarios)
        if (!EnderecoEmailValido(destinatario)) QV_CHECK(E_INVALIDARG);
    QV_CHECK(IniciaCurl());

    CurlFacil curl;
    if (curl.p == nullptr) QV_CHECK(E_OUTOFMEMORY);
    for (const std::string& destinatario : destinatarios) {
        curl_slist* lista = curl_slist_append(curl.destinatarios, ("<" + destinatario + ">").c_str());
        if (lista == nullptr) QV_CHECK(E_OUTOFMEMORY);
        curl.destinatarios = lista;
    }
    const std::string url = std::string(configuracao.uTls == 2 ? "smtps://" : "smtp://") + configuracao.sServidor +
                            ":" + std::to_string(configuracao.uPorta);
    const std::string remetente = "<" + configuracao.sRemetente + ">";
    LeituraMensagem leitura{&mensagem, 0};
    char erro[CURL_ERROR_SIZE] = {};

    // Every option below is one libcurl takes on this build; a refusal would
    // mean the library lacks SMTP, which the configuration step reports.
    CURLcode opcao = CURLE_OK;
    const auto define = [&](CURLoption o, auto valor) {
        if (opcao == CURLE_OK) opcao = curl_easy_setopt(curl.p, o, valor);
    };
    define(CURLOPT_ERRORBUFFER, erro);
    define(CURLOPT_URL, url.c_str());
    define(CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    define(CURLOPT_NOSIGNAL, 1L);
    define(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::min(configuracao.msConexao, configuracao.msTotal)));
    define(CURLOPT_TIMEOUT_MS, static_cast<long>(configuracao.msTotal));
    define(CURLOPT_USE_SSL, static_cast<long>(configuracao.uTls == 0 ? CURLUSESSL_NONE : CURLUSESSL_ALL));
    define(CURLOPT_MAIL_FROM, remetente.c_str());
    define(CURLOPT_MAIL_RCPT, curl.destinatarios);
    define(CURLOPT_UPLOAD, 1L);
    define(CURLOPT_READFUNCTION, &LeParteMensagem);
    define(CURLOPT_READDATA, &leitura);
    if (!configuracao.sUsuario.empty()) {
        define(CURLOPT_USERNAME, configuracao.sUsuario.c_str());
        define(CURLOPT_PASSWORD, configuracao.sSenha.c_str());
    }
    if (opcao != CURLE_OK) {
        QV_LOG_HR(E_QV_EMAIL_CONFIGURACAO, std::string("curl_easy_setopt: ") + curl_easy_strerror(opcao));
        return E_QV_EMAIL_CONFIGURACAO;
    }

    const CURLcode codigo = curl_easy_perform(curl.p);
    if (codigo != CURLE_OK) {
        long resposta = 0;
        curl_easy_getinfo(curl.p, CURLINFO_RESPONSE_CODE, &resposta);
        const HRESULT hr = ResultadoCurl(codigo, resposta);
        std::string texto = "curl_easy_perform(" + url + "): " + (erro[0] != 0 ? erro : curl_easy_strerror(codigo));
        if (resposta != 0) texto += " (SMTP " + std::to_string(resposta) + ")";
        QV_LOG_HR(hr, texto);
        return hr;
    }
    return S_OK;
}

HRESULT EnvioEmailErp::GravaMaildir(std::string_view empresa, const std::string& mensagem,
                                    std::filesystem::path* arquivo) {
    if (arquivo != nullptr) arquivo->clear();
    if (!QVNomeEmpresaValido(empresa)) QV_CHECK(E_QV_NOME_EMPRESA_INVALIDO);
    QV_CHECK(GravaPasta(ZentaHome() / "mail" / Cp1252ParaUtf8(empresa), mensagem, arquivo));
    return S_OK;
}

HRESULT EnvioEmailErp::GravaPasta(const std::filesystem::path& pasta, const std::string& mensagem,
                                  std::filesystem::path* arquivo) {
    if (arquivo != nullptr) arquivo->clear();
    std::error_code ec;
    std::filesystem::create_directories(ZentaHome(), ec);
    if (ec) QV_CHECK(HresultDeErrno(ec.value()));
    // Every folder from $ZENTA_HOME down, each a real directory.
    std::filesystem::path caminho = ZentaHome();
    for (const auto& parte : std::filesystem::relative(pasta, ZentaHome())) {
        caminho /= parte;
        QV_CHECK(CriaDiretorio(caminho));
    }
    QV_CHECK(CriaDiretorio(pasta / "tmp"));
    QV_CHECK(CriaDiretorio(pasta / "new"));
    QV_CHECK(CriaDiretorio(pasta / "cur"));

    // time.M<microseconds>P<pid>Q<count>R<random>.host: unique within the
    // process by the count, across processes by the pid, across restarts by
    // time and chance.
    static std::atomic<unsigned long> contador{0};
    const auto agora = std::chrono::system_clock::now().time_since_epoch();
    const auto segundos = std::chrono::duration_cast<std::chrono::seconds>(agora);
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(agora - segundos);
    const std::string maquina = MaquinaMaildir();
    std::filesystem::path temporario;
    std::string nome;
    int fd = -1;
    for (int tentativa = 0; tentativa < 8 && fd < 0; ++tentativa) {
        char base[128];
        std::snprintf(base, sizeof base, "%lld.M%06lldP%ldQ%luR%08x.", static_cast<long long>(segundos.count()),
                      static_cast<long long>(micros.count()), static_cast<long>(::getpid()), ++contador,
                      static_cast<unsigned>(Aleatorio64()));
        nome = base + maquina;
        temporario = pasta / "tmp" / nome;
        fd = ::open(temporario.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno != EEXIST) QV_CHECK(HresultDeErrno(errno));
    }
    if (fd < 0) QV_CHECK(HresultDeErrno(EEXIST));

    HRESULT hr = EscreveTudo(fd, mensagem);
    if (SUCCEEDED(hr) && ::fsync(fd) != 0) hr = HresultDeErrno(errno);
    if (::close(fd) != 0 && SUCCEEDED(hr)) hr = HresultDeErrno(errno);
    const std::filesystem::path final = pasta / "new" / nome;
    if (SUCCEEDED(hr) && ::rename(temporario.c_str(), final.c_str()) != 0) hr = HresultDeErrno(errno);
    if (FAILED(hr)) {
        ::unlink(temporario.c_str());
        QV_LOG_HR(hr, "GravaMaildir(" + temporario.string() + ")");
        return hr;
    }
    // The rename is durable once the directory is.
    const int dir = ::open((pasta / "new").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    if (arquivo != nullptr) *arquivo = final;
    return S_OK;
}

}  // namespace zenta
