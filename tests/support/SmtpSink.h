// A small SMTP server for tests: listens on 127.0.0.1 at a port the system
// picks, answers one client at a time (EHLO, MAIL, RCPT, DATA, QUIT) on its
// own thread and keeps every message it accepts. It can refuse at a chosen
// step, or stay silent to let a client's timeout show.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zenta::teste {

class SmtpSink {
public:
    enum class Modo {
        Aceita,         // accepts every message
        RecusaMail,     // 550 to MAIL FROM
        RecusaRcpt,     // 550 to every RCPT TO
        RecusaDados,    // 554 after the message's final dot
        Mudo,           // accepts the connection and never says a word
    };

    struct Mensagem {
        std::string sRemetente;                  // MAIL FROM:<...> without brackets
        std::vector<std::string> destinatarios;  // RCPT TO:<...> without brackets
        std::string sDados;                      // the message, dot-stuffing undone, CRLF kept
    };

    explicit SmtpSink(Modo modo = Modo::Aceita) : m_modo(modo) {
        m_escuta = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_escuta < 0) std::abort();
        sockaddr_in endereco{};
        endereco.sin_family = AF_INET;
        endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        endereco.sin_port = 0;
        socklen_t tamanho = sizeof endereco;
        if (::bind(m_escuta, reinterpret_cast<sockaddr*>(&endereco), sizeof endereco) != 0 ||
            ::listen(m_escuta, 8) != 0 ||
            ::getsockname(m_escuta, reinterpret_cast<sockaddr*>(&endereco), &tamanho) != 0)
            std::abort();
        m_porta = ntohs(endereco.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }

    ~SmtpSink() {
        m_parar = true;
        m_thread.join();
        ::close(m_escuta);
    }
    SmtpSink(const SmtpSink&) = delete;
    SmtpSink& operator=(const SmtpSink&) = delete;

    unsigned short Porta() const { return m_porta; }

    // The messages accepted so far.
    std::vector<Mensagem> Mensagens() const {
        std::lock_guard lock(m_trava);
        return m_mensagens;
    }
    // Connections accepted so far.
    int Conexoes() const { return m_conexoes; }

    // A port on 127.0.0.1 where nobody listens (bound, then released).
    static unsigned short PortaFechada() {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in endereco{};
        endereco.sin_family = AF_INET;
        endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t tamanho = sizeof endereco;
        if (s < 0 || ::bind(s, reinterpret_cast<sockaddr*>(&endereco), sizeof endereco) != 0 ||
            ::getsockname(s, reinterpret_cast<sockaddr*>(&endereco), &tamanho) != 0)
            std::abort();
        ::close(s);
        return ntohs(endereco.sin_port);
    }

private:
    // Waits up to 100 ms for `fd` to be readable; false when stopping.
    bool Espera(int fd, bool& pronto) const {
        pollfd p{fd, POLLIN, 0};
        pronto = ::poll(&p, 1, 100) > 0;
        return !m_parar;
    }

    void Serve() {
        while (!m_parar) {
            bool pronto = false;
            if (!Espera(m_escuta, pronto)) return;
            if (!pronto) continue;
            const int cliente = ::accept4(m_escuta, nullptr, nullptr, SOCK_CLOEXEC);
            if (cliente < 0) continue;
            ++m_conexoes;
            Sessao(cliente);
            ::close(cliente);
        }
    }

    bool Envia(int fd, const std::string& texto) const {
        std::size_t feito = 0;
        while (feito < texto.size()) {
            const ssize_t n = ::send(fd, texto.data() + feito, texto.size() - feito, MSG_NOSIGNAL);
            if (n <= 0) return false;
            feito += static_cast<std::size_t>(n);
        }
        return true;
    }

    // One CRLF-terminated line without its CRLF; false at end or stop.
    bool Linha(int fd, std::string& buffer, std::string& linha) const {
        for (;;) {
            const std::size_t fim = buffer.find("\r\n");
            if (fim != std::string::npos) {
                linha = buffer.substr(0, fim);
                buffer.erase(0, fim + 2);
                return true;
            }
            bool pronto = false;
            if (!Espera(fd, pronto)) return false;
            if (!pronto) continue;
            char bloco[4096];
            const ssize_t n = ::recv(fd, bloco, sizeof bloco, 0);
            if (n <= 0) return false;
            buffer.append(bloco, static_cast<std::size_t>(n));
        }
    }

    static std::string EntreColchetes(const std::string& linha) {
        const std::size_t a = linha.find('<');
        const std::size_t b = linha.rfind('>');
        return a == std::string::npos || b == std::string::npos || b < a ? std::string()
                                                                         : linha.substr(a + 1, b - a - 1);
    }

    static bool Comeca(const std::string& linha, const char* comando) {
        return ::strncasecmp(linha.c_str(), comando, std::strlen(comando)) == 0;
    }

    void Sessao(int fd) {
        std::string buffer;
        std::string linha;
        if (m_modo == Modo::Mudo) {
            // Reads and drops whatever comes until the client gives up.
            while (Linha(fd, buffer, linha)) {
            }
            return;
        }
        if (!Envia(fd, "220 sink ESMTP\r\n")) return;
        Mensagem atual;
        while (Linha(fd, buffer, linha)) {
            std::string resposta;
            if (Comeca(linha, "EHLO")) {
                resposta = "250-sink\r\n250 8BITMIME\r\n";
            } else if (Comeca(linha, "MAIL FROM:")) {
                atual = {};
                atual.sRemetente = EntreColchetes(linha);
                resposta = m_modo == Modo::RecusaMail ? "550 sender refused\r\n" : "250 OK\r\n";
            } else if (Comeca(linha, "RCPT TO:")) {
                atual.destinatarios.push_back(EntreColchetes(linha));
                resposta = m_modo == Modo::RecusaRcpt ? "550 no such user\r\n" : "250 OK\r\n";
            } else if (Comeca(linha, "DATA")) {
                if (!Envia(fd, "354 go ahead\r\n")) return;
                std::string dados;
                bool fim = false;
                while (Linha(fd, buffer, linha)) {
                    if (linha == ".") {
                        fim = true;
                        break;
                    }
                    if (!linha.empty() && linha[0] == '.') linha.erase(0, 1);
                    dados += linha + "\r\n";
                }
                if (!fim) return;
                atual.sDados = std::move(dados);
                if (m_modo == Modo::RecusaDados) {
                    resposta = "554 message refused\r\n";
                } else {
                    std::lock_guard lock(m_trava);
                    m_mensagens.push_back(std::move(atual));
                    resposta = "250 queued\r\n";
                }
                atual = {};
            } else if (Comeca(linha, "QUIT")) {
                Envia(fd, "221 bye\r\n");
                return;
            } else {
                resposta = "502 not implemented\r\n";
            }
            if (!Envia(fd, resposta)) return;
        }
    }

    const Modo m_modo;
    int m_escuta = -1;
    unsigned short m_porta = 0;
    std::atomic<bool> m_parar{false};
    std::atomic<int> m_conexoes{0};
    mutable std::mutex m_trava;
    std::vector<Mensagem> m_mensagens;
    std::thread m_thread;
};

}  // namespace zenta::teste
