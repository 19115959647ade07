// The enterprise accessor's e-mail: the message it builds, its delivery over
// SMTP to a sink on the loopback, its Maildir when no server is configured,
// servers that refuse or do not answer, and hostile recipients, subjects and
// company names.

#include "access/QVBaseParaRotinas.h"
#include "platform/QVDiretorios.h"
#include "standins/erp/QVEmailErp.h"
#include "support/RegistroTeste.h"
#include "support/SmtpSink.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

using zenta::teste::SmtpSink;

namespace {

// The notice's subject and body as the caller hands them over (Windows-1252).
const std::string kAssunto = "Aviso de Equipamento para Manuten\xE7\xE3o";
const std::string kCorpo =
    "Prezado Sr.: Jo\xE3o \n\nManuten\xE7\xE3o: N\xBA 7\n\n.\nInformamos que o equipamento Compressor - ABC-1 foi "
    "encaminhado aos seus cuidados, com uma linha longa o bastante para ser quebrada em duas.\n\nAtenciosamente.";
const std::string kCorpoUtf8 =
    "Prezado Sr.: João \r\n\r\nManutenção: Nº 7\r\n\r\n.\r\nInformamos que o equipamento Compressor - ABC-1 foi "
    "encaminhado aos seus cuidados, com uma linha longa o bastante para ser quebrada em duas.\r\n\r\nAtenciosamente."
    "\r\n";

CQVDadosEmail Aviso(std::vector<std::string> destinatarios = {"tecnico@oficina.com.br"}) {
    CQVDadosEmail dados;
    dados.destinatarios = std::move(destinatarios);
    dados.sAssunto = kAssunto;
    dados.partes.push_back({6, kCorpo});
    return dados;
}

int Hex(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

std::string DecodificaQp(const std::string& texto) {
    std::string saida;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] != '=') saida += texto[i];
        else if (texto.compare(i + 1, 2, "\r\n") == 0) i += 2;
        else saida += static_cast<char>(Hex(texto[i + 1]) * 16 + Hex(texto[i + 2])), i += 2;
    }
    return saida;
}

std::string DecodificaBase64(const std::string& texto) {
    const std::string alfabeto = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string saida;
    uint32_t acumulado = 0;
    int bits = 0;
    for (const char c : texto) {
        if (c == '=') break;
        acumulado = (acumulado << 6) | static_cast<uint32_t>(alfabeto.find(c));
        if ((bits += 6) >= 8) saida += static_cast<char>((acumulado >> (bits -= 8)) & 0xFF);
    }
    return saida;
}

// The header's value, folded lines joined; RFC 2047 words decoded when asked.
std::string Cabecalho(const std::string& mensagem, const std::string& nome, bool decodifica = false) {
    const std::string cabecalhos = "\r\n" + mensagem.substr(0, mensagem.find("\r\n\r\n") + 2);
    std::size_t p = cabecalhos.find("\r\n" + nome + ": ");
    if (p == std::string::npos) return "<none>";
    p += 4 + nome.size();
    std::string valor;
    for (std::size_t fim; (fim = cabecalhos.find("\r\n", p)) != std::string::npos; p = fim + 2) {
        valor += cabecalhos.substr(p, fim - p);
        if (fim + 2 >= cabecalhos.size() || cabecalhos[fim + 2] != ' ') break;
    }
    if (!decodifica) return valor;
    std::string texto;
    for (std::size_t a = 0; (a = valor.find("=?UTF-8?B?", a)) != std::string::npos;) {
        const std::size_t b = valor.find("?=", a + 10);
        texto += DecodificaBase64(valor.substr(a + 10, b - a - 10));
        a = b + 2;
    }
    return texto;
}

std::string Corpo(const std::string& mensagem) { return DecodificaQp(mensagem.substr(mensagem.find("\r\n\r\n") + 4)); }

// Every line CRLF-terminated, none longer than 78 characters.
void ExpectLinhasBemFormadas(const std::string& mensagem) {
    ASSERT_GE(mensagem.size(), 2u);
    EXPECT_EQ(mensagem.substr(mensagem.size() - 2), "\r\n");
    std::size_t inicio = 0;
    for (std::size_t i = 0; i < mensagem.size(); ++i) {
        if (mensagem[i] == '\n') {
            EXPECT_TRUE(i > 0 && mensagem[i - 1] == '\r') << "bare LF at " << i;
            EXPECT_LE(i - 1 - inicio, 78u) << mensagem.substr(inicio, i - inicio);
            inicio = i + 1;
        } else if (mensagem[i] == '\r') {
            EXPECT_TRUE(i + 1 < mensagem.size() && mensagem[i + 1] == '\n') << "bare CR at " << i;
        }
    }
}

template <class T>
void DefineRegistro(const char* valor, const T& dado) {
    zenta::teste::DefineRegistro(zenta::kChaveRegistroEmail, valor, dado);
}

class CSessao : public CQVBaseParaRotinas {
public:
    ~CSessao() override { Finaliza(); }
};

class Email : public ::testing::Test {
protected:
    // Sends through the accessor of a session of `empresa`.
    HRESULT EnviaPeloAcesso(const CQVDadosEmail& dados, const std::string& empresa = "ACME") {
        CSessao sessao;
        EXPECT_EQ(sessao.Inicializa(empresa, 1, 1), S_OK);
        CQVAcessoServidores acessos;
        EXPECT_EQ(sessao.GetAcessoServidores(acessos), S_OK);
        return acessos.pEmpresarial ? acessos.pEmpresarial->EnviaEmail(dados) : E_POINTER;
    }
    ConfiguracaoEmail Sink(const SmtpSink& sink) const {
        ConfiguracaoEmail c;
        c.sServidor = "127.0.0.1";
        c.uPorta = sink.Porta();
        c.sRemetente = "manutencao@empresa.com.br";
        c.msTotal = 5000;
        return c;
    }
    std::vector<std::string> Arquivos(const std::string& sub) const {
        return zenta::teste::ArquivosAbaixo(m_home.Raiz() / sub);
    }
    std::string LogErros() const {
        std::string log;
        for (const std::string& a : zenta::teste::ArquivosAbaixo(m_home.Raiz()))
            if (a.find("QVProfilerErros") != std::string::npos) log += zenta::teste::LeArquivo(m_home.Raiz() / a);
        return log;
    }
    zenta::teste::ZentaHomeTemporario m_home;
};

TEST_F(Email, MessageIsMimeUtf8WithEncodedSubjectAndQuotedPrintableBody) {
    std::string m;
    ASSERT_EQ(zenta::MontaMensagemEmail(Aviso({"a@x.com", "b.c@y.org"}), "de@empresa.com.br", m), S_OK);
    ExpectLinhasBemFormadas(m);
    EXPECT_EQ(Cabecalho(m, "From"), "de@empresa.com.br");
    EXPECT_EQ(Cabecalho(m, "To"), "a@x.com, b.c@y.org");
    EXPECT_EQ(Cabecalho(m, "Subject", true), "Aviso de Equipamento para Manutenção");
    EXPECT_EQ(Cabecalho(m, "MIME-Version"), "1.0");
    EXPECT_EQ(Cabecalho(m, "Content-Type"), "text/plain; charset=UTF-8");
    EXPECT_EQ(Cabecalho(m, "Content-Transfer-Encoding"), "quoted-printable");
    const std::string id = Cabecalho(m, "Message-ID");
    EXPECT_TRUE(id.front() == '<' && id.find("@empresa.com.br>") != std::string::npos) << id;
    const std::string data = Cabecalho(m, "Date");
    EXPECT_EQ(data.size(), 31u) << data;  // "Sun, 06 Dec 2026 18:33:37 -0300"
    // The blank ending the first line survives as =20; the text as UTF-8.
    EXPECT_THAT(m, ::testing::HasSubstr("Jo=C3=A3o=20\r\n"));
    EXPECT_EQ(Corpo(m), kCorpoUtf8);

    // Two messages never share an id.
    std::string outra;
    ASSERT_EQ(zenta::MontaMensagemEmail(Aviso(), "de@empresa.com.br", outra), S_OK);
    EXPECT_NE(Cabecalho(outra, "Message-ID"), id);

    // Text parts follow one another; a C terminator at the end is dropped.
    CQVDadosEmail partes = Aviso();
    partes.partes = {{6, "Linha 1\n"}, {6, std::string("Linha 2\0", 8)}};
    ASSERT_EQ(zenta::MontaMensagemEmail(partes, "de@empresa.com.br", m), S_OK);
    EXPECT_EQ(Corpo(m), "Linha 1\r\nLinha 2\r\n");

    // A long subject is split into several words without cutting a character.
    CQVDadosEmail longo = Aviso();
    longo.sAssunto.clear();
    for (int i = 0; i < 30; ++i) longo.sAssunto += "a\xE7\xE3o ";
    ASSERT_EQ(zenta::MontaMensagemEmail(longo, "de@empresa.com.br", m), S_OK);
    ExpectLinhasBemFormadas(m);
    std::string esperado;
    for (int i = 0; i < 30; ++i) esperado += "ação ";
    EXPECT_EQ(Cabecalho(m, "Subject", true), esperado);
}

TEST_F(Email, SmtpDeliversEnvelopeHeadersAndBodyIntact) {
    SmtpSink sink;
    DefineRegistro("ServidorSMTP", "127.0.0.1");
    DefineRegistro("PortaSMTP", sink.Porta());
    DefineRegistro("Remetente", "manutencao@empresa.com.br");
    ASSERT_EQ(EnviaPeloAcesso(Aviso({"tecnico@oficina.com.br", "chefe@oficina.com.br"})), S_OK);

    const auto mensagens = sink.Mensagens();
    ASSERT_EQ(mensagens.size(), 1u);
    const SmtpSink::Mensagem& r = mensagens[0];
    EXPECT_EQ(r.sRemetente, "manutencao@empresa.com.br");
    EXPECT_EQ(r.destinatarios, (std::vector<std::string>{"tecnico@oficina.com.br", "chefe@oficina.com.br"}));
    ExpectLinhasBemFormadas(r.sDados);
    EXPECT_EQ(Cabecalho(r.sDados, "From"), "manutencao@empresa.com.br");
    EXPECT_EQ(Cabecalho(r.sDados, "Subject", true), "Aviso de Equipamento para Manutenção");
    // The lone "." line went through dot-stuffing and came back.
    EXPECT_EQ(Corpo(r.sDados), kCorpoUtf8);
    EXPECT_TRUE(Arquivos("mail").empty());
}

TEST_F(Email, WithoutServerEachMessageIsOneFileInTheCompanysMaildir) {
    const std::string empresa = "OFICINA A\xC7\xC3O";  // Windows-1252, as sessions carry it
    ASSERT_EQ(EnviaPeloAcesso(Aviso(), empresa), S_OK);
    ASSERT_EQ(EnviaPeloAcesso(Aviso(), empresa), S_OK);

    const std::filesystem::path pasta = m_home.Raiz() / "mail" / "OFICINA AÇÃO";
    const auto novos = Arquivos("mail/OFICINA AÇÃO/new");
    ASSERT_EQ(novos.size(), 2u);
    EXPECT_NE(novos[0], novos[1]);
    EXPECT_TRUE(Arquivos("mail/OFICINA AÇÃO/tmp").empty());
    EXPECT_TRUE(std::filesystem::is_directory(pasta / "cur"));
    EXPECT_EQ(Arquivos("mail").size(), 2u);
    for (const std::string& nome : novos) {
        EXPECT_EQ(nome.find(':'), std::string::npos) << nome;  // no flags on a new message
        const std::string m = zenta::teste::LeArquivo(pasta / "new" / nome);
        EXPECT_EQ(Cabecalho(m, "To"), "tecnico@oficina.com.br");
        EXPECT_EQ(Corpo(m), kCorpoUtf8);
    }
}

TEST_F(Email, RefusingSilentOrAbsentServersFailQuicklyWithNamedCodes) {
    const struct {
        SmtpSink::Modo modo;
        HRESULT esperado;
    } casos[] = {
        {SmtpSink::Modo::RecusaMail, zenta::E_QV_EMAIL_RECUSADO},
        {SmtpSink::Modo::RecusaRcpt, zenta::E_QV_EMAIL_RECUSADO},
        {SmtpSink::Modo::RecusaDados, zenta::E_QV_EMAIL_RECUSADO},
        {SmtpSink::Modo::Mudo, zenta::E_QV_EMAIL_TEMPO_ESGOTADO},
    };
    EnvioEmailErp envio(CQVContextoProfiler{});
    for (const auto& caso : casos) {
        SmtpSink sink(caso.modo);
        ConfiguracaoEmail c = Sink(sink);
        c.msTotal = 1000;
        const auto inicio = std::chrono::steady_clock::now();
        EXPECT_EQ(envio.Envia("ACME", Aviso(), c), caso.esperado) << static_cast<int>(caso.modo);
        EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(4));
        EXPECT_TRUE(sink.Mensagens().empty());
    }
    // Nobody listening.
    SmtpSink referencia;
    ConfiguracaoEmail c = Sink(referencia);
    c.uPorta = SmtpSink::PortaFechada();
    EXPECT_EQ(envio.Envia("ACME", Aviso(), c), zenta::E_QV_EMAIL_CONEXAO_RECUSADA);
    // STARTTLS required from a server that does not offer it: nothing goes in clear.
    c = Sink(referencia);
    c.uTls = 1;
    EXPECT_TRUE(FAILED(envio.Envia("ACME", Aviso(), c)));
    EXPECT_TRUE(referencia.Mensagens().empty());
    // No failure falls back to the Maildir behind the caller's back (the
    // messages wait in the outbox); the library's reason is in the error log.
    for (const std::string& arquivo : Arquivos("mail")) EXPECT_THAT(arquivo, ::testing::HasSubstr(".Saida"));
    EXPECT_NE(LogErros().find("curl_easy_perform(smtp://127.0.0.1:"), std::string::npos);
}

TEST_F(Email, HeaderInjectionBadAddressesAndForeignPartsAreRefused) {
    SmtpSink sink;
    EnvioEmailErp envio(CQVContextoProfiler{});
    const std::vector<std::string> enderecos = {
        "a@x.com\r\nBcc: b@y.com", "a@x.com\n", "a@x.com\r", "a\t@x.com", "a b@x.com", "<a@x.com>", "a@x.com, b@y.com",
        "a@@x.com", "@x.com", "a@", "a@x..com", "a@x.com/", "\"a\"@x.com", "a@[1.2.3.4", "", "jo\xE3o@x.com"};
    for (const std::string& endereco : enderecos) {
        EXPECT_EQ(envio.Envia("ACME", Aviso({"ok@x.com", endereco}), Sink(sink)), E_INVALIDARG) << endereco;
        EXPECT_EQ(envio.Envia("ACME", Aviso({endereco}), ConfiguracaoEmail{}), E_INVALIDARG) << endereco;
    }
    for (const std::string& assunto : std::vector<std::string>{"Aviso\r\nBcc: b@y.com", "Aviso\n", "Aviso\t1",
                                                                std::string("A\0B", 3), "A\x7F", "A\x81",
                                                                std::string(999, 'a')}) {
        CQVDadosEmail dados = Aviso();
        dados.sAssunto = assunto;
        EXPECT_EQ(envio.Envia("ACME", dados, Sink(sink)), E_INVALIDARG) << assunto;
    }
    CQVDadosEmail outraParte = Aviso();
    outraParte.partes.push_back({3, "anexo"});
    EXPECT_EQ(envio.Envia("ACME", outraParte, Sink(sink)), E_INVALIDARG);
    EXPECT_EQ(envio.Envia("ACME", Aviso(std::vector<std::string>(101, "a@x.com")), Sink(sink)), E_INVALIDARG);
    EXPECT_EQ(EnviaPeloAcesso(Aviso({})), E_INVALIDARG);
    EXPECT_EQ(sink.Conexoes(), 0);
    EXPECT_TRUE(Arquivos("mail").empty());
}

TEST_F(Email, CompanyNamesThatAreNoDirectoryNameAreRefused) {
    EnvioEmailErp envio(CQVContextoProfiler{});
    for (const std::string& empresa :
         std::vector<std::string>{"", ".", "..", "../fora", "a/b", "a\\b", "a\nb", std::string(48, 'E')}) {
        EXPECT_EQ(envio.Envia(empresa, Aviso(), ConfiguracaoEmail{}), E_QV_NOME_EMPRESA_INVALIDO) << empresa;
        std::filesystem::path arquivo = "x";
        EXPECT_EQ(envio.GravaMaildir(empresa, "m\r\n", &arquivo), E_QV_NOME_EMPRESA_INVALIDO) << empresa;
        EXPECT_TRUE(arquivo.empty());
    }
    EXPECT_TRUE(Arquivos("mail").empty());
    EXPECT_FALSE(std::filesystem::exists(m_home.Raiz() / "fora"));
    EXPECT_FALSE(std::filesystem::exists(m_home.Raiz() / "mail" / "a"));
}

TEST_F(Email, ConfigurationIsReadFromTheRegistryAndBadValuesAreRefused) {
    ConfiguracaoEmail c;
    ASSERT_EQ(zenta::LeConfiguracaoEmail(c), S_OK);
    EXPECT_TRUE(c.sServidor.empty());
    EXPECT_EQ(c.uPorta, 25u);

    DefineRegistro("ServidorSMTP", "smtp.empresa.com.br");
    DefineRegistro("Remetente", "pm@empresa.com.br");
    DefineRegistro("TLS", 2);
    DefineRegistro("TimeoutSMTP", 30);
    ASSERT_EQ(zenta::LeConfiguracaoEmail(c), S_OK);
    EXPECT_EQ(c.sServidor, "smtp.empresa.com.br");
    EXPECT_EQ(c.uPorta, 465u) << "implicit TLS defaults to its own port";
    EXPECT_EQ(c.uTls, 2u);
    EXPECT_EQ(c.msTotal, 30000u);
    EXPECT_EQ(c.msConexao, 10000u);

    // Each bad value is refused, and the next good one accepted again.
    const auto recusa = [&](const char* nome, const auto& ruim, const auto& bom) {
        DefineRegistro(nome, ruim);
        EXPECT_EQ(LeConfiguracaoEmail(c), E_QV_EMAIL_CONFIGURACAO) << nome;
        DefineRegistro(nome, bom);
        EXPECT_EQ(LeConfiguracaoEmail(c), S_OK) << nome;
    };
    recusa("PortaSMTP", 0, 587);
    recusa("PortaSMTP", 70000, 587);
    recusa("TLS", 3, 1);
    recusa("TimeoutSMTP", 0, 60);
    recusa("ServidorSMTP", "host/../x?y", "[::1]");
    recusa("Remetente", "Manutencao <pm@empresa.com.br>", "pm@empresa.com.br");
    // A login never goes over a connection in clear.
    DefineRegistro("UsuarioSMTP", "pm");
    recusa("TLS", 0, 1);
}

}  // namespace
