// The enterprise module's e-mail: an Internet message (RFC 5322, MIME text in
// UTF-8) built from the ERP's Windows-1252 texts, sent over SMTP to the
// server the installation configures, or, when none is configured, kept in
// the company's Maildir below $ZENTA_HOME/mail so that no notice is lost.
//
// Configuration: HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\QV Sistemas\Email
//   "ServidorSMTP"  REG_SZ    host name or address; absent or empty: Maildir
//   "PortaSMTP"     REG_DWORD 1..65535; default 25 (465 with "TLS" 2)
//   "Remetente"     REG_SZ    the sender's address (required with a server)
//   "UsuarioSMTP"   REG_SZ    optional login; needs "TLS" 1 or 2
//   "SenhaSMTP"     REG_SZ    its password
//   "TLS"           REG_DWORD 0 none, 1 STARTTLS required, 2 implicit TLS
//   "TimeoutSMTP"   REG_DWORD seconds for the whole exchange, 1..600 (60)
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <zenta/WinTypes.h>

#include "access/QVAcessoServidores.h"
#include "diagnostics/QVDF_Profiler.h"

namespace zenta {

inline constexpr const char* kChaveRegistroEmail = "SOFTWARE\\Wow6432Node\\QV Sistemas\\Email";

// Named failures of a send (Windows' own codes for the same conditions).
inline constexpr HRESULT E_QV_EMAIL_CONEXAO_RECUSADA = HRESULT_FROM_WIN32(1225u);    // ERROR_CONNECTION_REFUSED
inline constexpr HRESULT E_QV_EMAIL_SERVIDOR_NAO_ACHADO = HRESULT_FROM_WIN32(11001u); // WSAHOST_NOT_FOUND
inline constexpr HRESULT E_QV_EMAIL_TEMPO_ESGOTADO = HRESULT_FROM_WIN32(1460u);      // ERROR_TIMEOUT
inline constexpr HRESULT E_QV_EMAIL_LOGIN_RECUSADO = HRESULT_FROM_WIN32(1326u);      // ERROR_LOGON_FAILURE
inline constexpr HRESULT E_QV_EMAIL_RECUSADO = HRESULT_FROM_WIN32(4320u);            // ERROR_REQUEST_REFUSED
inline constexpr HRESULT E_QV_EMAIL_CONFIGURACAO = HRESULT_FROM_WIN32(1610u);        // ERROR_BAD_CONFIGURATION

// The Maildir folder (inside the company's Maildir) where messages the
// server could not send wait for the next send.
inline constexpr const char* kPastaCaixaSaidaEmail = ".Saida";

// Limits on what one message may carry.
inline constexpr std::size_t kMaxDestinatariosEmail = 100;
inline constexpr std::size_t kMaxAssuntoEmail = 998;
inline constexpr std::size_t kMaxCorpoEmail = 4u * 1024u * 1024u;

// Where and how mail goes.
struct ConfiguracaoEmail {
    std::string sServidor;  // empty: keep in the Maildir
    unsigned uPorta = 25;
    std::string sRemetente;
    std::string sUsuario;
    std::string sSenha;
    unsigned uTls = 0;  // 0 none, 1 STARTTLS required, 2 implicit TLS
    unsigned msConexao = 10000;
    unsigned msTotal = 60000;
};

// An address as the envelope and the headers take it: local@domain in
// printable ASCII, without blanks, quotes, brackets, separators or control
// characters, within RFC 5321's lengths.
bool EnderecoEmailValido(std::string_view endereco);

// A Windows-1252 header text without control characters (CR, LF, TAB, DEL,
// the C1 range's undefined bytes) and within kMaxAssuntoEmail bytes.
bool TextoCabecalhoEmailValido(std::string_view texto);

// Reads the configuration from the registry; E_QV_EMAIL_CONFIGURACAO for a
// value out of range, an invalid host or sender, or a login without TLS.
HRESULT LeConfiguracaoEmail(ConfiguracaoEmail& configuracao);

// The whole message, CRLF-terminated lines: Date (the system clock's local
// time), From, To, Subject (RFC 2047, UTF-8), Message-ID, MIME-Version and a
// text/plain UTF-8 quoted-printable body made of the parts of kind 6 in
// order. E_INVALIDARG for no or bad recipients, a bad sender or subject, a
// part of another kind, or more than the limits.
HRESULT MontaMensagemEmail(const CQVDadosEmail& dados, std::string_view remetente, std::string& mensagem);

// Sends and keeps messages; failures are written to the error log of the
// context it was made with.
class EnvioEmailErp {
public:
    explicit EnvioEmailErp(CQVContextoProfiler contexto) : m_contexto(contexto) {}

    // Checks the company and the message, reads the configuration, and sends
    // it (a server is configured) or keeps it in the company's Maildir.
    // E_QV_NOME_EMPRESA_INVALIDO for a company that is not a directory name.
    HRESULT Envia(std::string_view empresa, const CQVDadosEmail& dados);
    HRESULT Envia(std::string_view empresa, const CQVDadosEmail& dados, const ConfiguracaoEmail& configuracao);

    // One SMTP exchange with the configured server: envelope sender and
    // recipients, then the message as it is. Bounded by the timeouts.
    HRESULT EnviaSmtp(const ConfiguracaoEmail& configuracao, const std::vector<std::string>& destinatarios,
                      const std::string& mensagem);

    // Writes the message into $ZENTA_HOME/mail/<company>/new through tmp/,
    // under a unique Maildir name; `arquivo` receives the final path.
    HRESULT GravaMaildir(std::string_view empresa, const std::string& mensagem, std::filesystem::path* arquivo);

    // A message the server did not take (unreachable, refused) waits in the
    // company's outbox, a Maildir folder (kPastaCaixaSaidaEmail); every send
    // first sends what waits there, oldest first, each removed once the
    // server took it (or, with no server configured any more, moved to the
    // Maildir). The first failure stops the round and is returned.
    HRESULT ReenviaCaixaSaida(std::string_view empresa);
    HRESULT ReenviaCaixaSaida(std::string_view empresa, const ConfiguracaoEmail& configuracao);
    static std::filesystem::path PastaCaixaSaida(std::string_view empresa);

    CQVContextoProfiler QVProfilerDoEscopo() const { return m_contexto; }

private:
    // Writes a message into the Maildir `pasta` (below $ZENTA_HOME), as GravaMaildir.
    HRESULT GravaPasta(const std::filesystem::path& pasta, const std::string& mensagem,
                       std::filesystem::path* arquivo);

    CQVContextoProfiler m_contexto;
};

}  // namespace zenta
