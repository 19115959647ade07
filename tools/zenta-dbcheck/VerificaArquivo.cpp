#include "tools/zenta-dbcheck/VerificaArquivo.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "values/QVCrc64.h"

namespace zenta::dbcheck {

namespace {

// ---- Small helpers --------------------------------------------------------------------

char MinusculaAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IgualSemCaixa(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (MinusculaAscii(a[i]) != MinusculaAscii(b[i])) return false;
    return true;
}

std::string_view Extensao(std::string_view nome) {
    const std::size_t ponto = nome.rfind('.');
    return ponto == std::string_view::npos ? std::string_view{} : nome.substr(ponto + 1);
}

std::string_view Ultimos(std::string_view s, std::size_t n) { return s.size() <= n ? s : s.substr(s.size() - n); }

// A field's text up to its NUL (or its whole width when there is none).
std::string_view TextoCampo(const char* campo, std::size_t largura) {
    const void* nul = std::memchr(campo, 0, largura);
    return std::string_view(campo, nul == nullptr ? largura : static_cast<std::size_t>(static_cast<const char*>(nul) - campo));
}

// Bytes of a file shown in a message: printable ASCII as it is, the rest as \xNN.
std::string Visivel(std::string_view s) {
    std::string out;
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\' && c != '"') {
            out += c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        }
    }
    return out;
}

std::string Hex64(uint64_t v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%016" PRIX64, v);
    return buf;
}

bool TodosZero(const uint8_t* p, std::size_t n) {
    return std::all_of(p, p + n, [](uint8_t b) { return b == 0; });
}

uint64_t U64(const std::byte* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
uint16_t U16(const std::byte* p) {
    uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The two constant prefix CRCs of a version-1 header.
uint64_t CrcVersao1() {
    const std::array<std::byte, 2> versao{std::byte{1}, std::byte{0}};
    return zenta::QVCrc64(versao.data(), versao.size());
}
uint64_t CrcCrcVersao1() {
    const uint64_t crc = CrcVersao1();
    return zenta::QVCrc64(&crc, sizeof crc);
}

// ---- The checks ---------------------------------------------------------------------------

class Verificacao {
public:
    Verificacao(const IFonteBytes& fonte, std::string_view nomeArquivo, const OpcoesVerificacao& opcoes)
        : m_fonte(fonte), m_nome(nomeArquivo), m_opcoes(opcoes) {}

    ResultadoVerificacao Executa() {
        m_r.tamanhoArquivo = m_fonte.Tamanho();
        if (!VerificaCabecalho()) return std::move(m_r);
        m_r.tamanhoDados = m_r.tamanhoArquivo - m_r.inicioDados;
        m_semCodigo = m_r.cabecalhoDanificado;
        if (m_opcoes.texto) VerificaCadeiaTextos();
        else if (m_opcoes.tamanhoRegistro != 0) VerificaRegistros();
        return std::move(m_r);
    }

private:
    void Acha(TipoAchado tipo, uint64_t offset, uint32_t codigo, std::string texto) {
        // Behind a damaged prefix the engine does not see a header at all:
        // none of the findings is what it would answer.
        m_r.achados.push_back(Achado{tipo, offset, m_semCodigo ? 0u : codigo, std::move(texto)});
    }

    // Decides whether there is a header and checks it. False when the data
    // cannot be located (nothing more to check).
    bool VerificaCabecalho() {
        std::array<std::byte, TAMANHO_CABECALHO> bytes{};
        const uint64_t tamanho = m_r.tamanhoArquivo;
        const std::size_t lidos = static_cast<std::size_t>(std::min<uint64_t>(tamanho, TAMANHO_CABECALHO));
        if (!m_fonte.Le(0, bytes.data(), lidos)) {
            Acha(TipoAchado::leitura, 0, 0, "the first " + std::to_string(lidos) + " bytes could not be read");
            return false;
        }
        const bool semCabecalho = NomeSemCabecalho(m_nome);
        // A file of a kind with a header is created with it: one of zero
        // bytes lost its content, and the engine refuses it.
        if (tamanho == 0 && !semCabecalho) {
            Acha(TipoAchado::tamanhoDados, 0, E_TAMANHO_ARQUIVO_NAO_CONFERE,
                 "the file is empty: a file of this kind always holds its header");
            return false;
        }
        // Files shorter than the prefix, and the files that never have a
        // header, are data from their first byte.
        if (tamanho < TAMANHO_PREFIXO) return true;
        m_r.possuiCabecalho = PrefixoValido(bytes.data());
        if (!m_r.possuiCabecalho) {
            if (semCabecalho || !PareceCabecalho(bytes.data(), tamanho)) return true;
            m_r.cabecalhoDanificado = true;
        }
        std::memcpy(&m_r.cabecalho, bytes.data(), bytes.size());
        const CabecalhoV1& c = m_r.cabecalho;

        if (m_r.possuiCabecalho && semCabecalho) {
            // The engine reads these files as plain data: nothing more about
            // the header matters to it.
            Acha(TipoAchado::cabecalhoIndevido, 0, 0,
                 "the file has a header, but a file named \"" + Visivel(m_nome) + "\" never has one");
            return true;
        }
        if (m_r.possuiCabecalho && c.versao != 1) {
            Acha(TipoAchado::versaoCabecalho, 0, E_VERSAO_CABECALHO_SUPERIOR_VERSAO_SISTEMA,
                 "header version " + std::to_string(c.versao) + ", only version 1 is known");
            return false;
        }
        if (m_r.cabecalhoDanificado) {
            m_semCodigo = true;
            VerificaPrefixoDanificado(bytes.data());
        }
        if (tamanho < TAMANHO_CABECALHO) {
            Acha(TipoAchado::cabecalhoTruncado, tamanho, 0,
                 "the file has a header prefix but only " + std::to_string(tamanho) + " of the header's 240 bytes");
            return false;
        }
        VerificaCamposV1(bytes.data());
        m_semCodigo = false;
        m_r.inicioDados = TAMANHO_CABECALHO;
        return true;
    }

    // A prefix that fails the rule but keeps enough of a version-1 header
    // to be one: a constant prefix CRC, a prefix CRC that matches its
    // bytes, or the header's own size field and CRC.
    static bool PareceCabecalho(const std::byte* b, uint64_t tamanho) {
        const uint64_t crc8 = U64(b + 8);
        const uint64_t crc16 = U64(b + 16);
        if (crc8 == CrcVersao1() || crc16 == CrcCrcVersao1()) return true;
        if (U16(b) != 0 && crc8 == zenta::QVCrc64(b, 2)) return true;
        if (crc8 != 0 && crc16 == zenta::QVCrc64(b + 8, 8)) return true;
        return tamanho >= TAMANHO_CABECALHO && U64(b + 64) == TAMANHO_DADOS_CABECALHO &&
               U64(b + 232) == zenta::QVCrc64(b + 24, 208);
    }

    void VerificaPrefixoDanificado(const std::byte* b) {
        const CabecalhoV1& c = m_r.cabecalho;
        const std::string efeito = "; the engine takes the whole file as data without a header";
        if (c.versao != 1)
            Acha(TipoAchado::prefixoDanificado, 0, 0,
                 "header version field is " + std::to_string(c.versao) + " in a damaged version-1 header" + efeito);
        const uint64_t crc8 = zenta::QVCrc64(b, 2);
        if (c.crcVersao != crc8)
            Acha(TipoAchado::prefixoDanificado, 8, 0,
                 "prefix CRC at offset 8 is " + Hex64(c.crcVersao) + ", the CRC-64 of bytes 0-1 is " + Hex64(crc8) + efeito);
        const uint64_t crc16 = zenta::QVCrc64(b + 8, 8);
        if (c.crcCrcVersao != crc16)
            Acha(TipoAchado::prefixoDanificado, 16, 0,
                 "prefix CRC at offset 16 is " + Hex64(c.crcCrcVersao) + ", the CRC-64 of bytes 8-15 is " + Hex64(crc16) +
                     efeito);
    }

    void VerificaCamposV1(const std::byte* b) {
        const CabecalhoV1& c = m_r.cabecalho;
        const uint64_t tamanho = m_r.tamanhoArquivo;

        // First the engine's own validation, in its order.
        if (c.tamanhoDadosCabecalho != TAMANHO_DADOS_CABECALHO)
            Acha(TipoAchado::tamanhoDadosCabecalho, 64, E_TAMANHO_CABECALHO_NAO_CONFERE,
                 "header data size is " + std::to_string(c.tamanhoDadosCabecalho) + ", must be 216");
        const uint64_t crc = zenta::QVCrc64(b + 24, 208);
        if (c.crcCabecalho != crc)
            Acha(TipoAchado::crcCabecalho, 232, E_CRC_CABECALHO_NAO_CONFERE,
                 "header CRC is " + Hex64(c.crcCabecalho) + ", the CRC-64 of bytes 24-231 is " + Hex64(crc));
        if (c.tamanhoDados != tamanho - TAMANHO_CABECALHO)
            Acha(TipoAchado::tamanhoDados, 72, E_TAMANHO_ARQUIVO_NAO_CONFERE,
                 "stored data length is " + std::to_string(c.tamanhoDados) + ", the file holds " +
                     std::to_string(tamanho - TAMANHO_CABECALHO) + " bytes after the header");
        VerificaVersaoMotor(TipoAchado::versaoMotorCriacao, 106, c.versaoMotorCriacao,
                            E_VERSAO_SISTEMA_INFERIOR_VERSAO_CRIACAO_CABECALHO, "creating");
        VerificaVersaoMotor(TipoAchado::versaoMotorModificacao, 108, c.versaoMotorModificacao,
                            E_VERSAO_SISTEMA_INFERIOR_VERSAO_MODIFICACAO_ARQUIVO, "last modifying");
        VerificaNome();

        // Then the ranges of the other fields.
        if (!TodosZero(c.zero1, sizeof c.zero1))
            Acha(TipoAchado::bytesReservados, 2, 0, "bytes 2-7 of the header are not zero");
        VerificaDataHora(24, c.dhAtualizacao, "last update", true);
        VerificaDataHora(32, c.dhCriacao, "creation", true);
        VerificaDataHora(40, c.dhCriacaoOriginal, "original creation", true);
        VerificaDataHora(48, c.dhAlteracaoEmpresa, "company change", false);
        VerificaDataHora(56, c.dhAlteracaoComputador, "computer change", false);
        if (c.sessao > 0xFFFFFFFFull)
            Acha(TipoAchado::sessao, 88, 0, "session number " + std::to_string(c.sessao) + " does not fit 32 bits");
        if (!TodosZero(c.zero2, sizeof c.zero2))
            Acha(TipoAchado::bytesReservados, 96, 0, "bytes 96-99 of the header are not zero");
        if (c.usuario > 0xFFFFu)
            Acha(TipoAchado::usuario, 100, 0, "user code " + std::to_string(c.usuario) + " does not fit 16 bits");
        VerificaCampoTexto(136, c.empresa, sizeof c.empresa, "company");
        if (TextoCampo(c.empresa, sizeof c.empresa).empty())
            Acha(TipoAchado::campoTexto, 136, 0, "the company field is empty");
        VerificaCampoTexto(160, c.empresaAnterior, sizeof c.empresaAnterior, "previous company");
        VerificaCampoTexto(184, c.computador, sizeof c.computador, "computer name");
        VerificaCampoTexto(200, c.computadorAnterior, sizeof c.computadorAnterior, "previous computer name");
        if (!TodosZero(c.zero3, sizeof c.zero3))
            Acha(TipoAchado::bytesReservados, 216, 0, "bytes 216-231 of the header are not zero");
    }

    void VerificaVersaoMotor(TipoAchado tipo, uint64_t offset, uint16_t versao, uint32_t codigo, const char* qual) {
        if (versao > VERSAO_MOTOR)
            Acha(tipo, offset, codigo,
                 std::string(qual) + " engine version is " + std::to_string(versao) + ", above this engine's 127");
        else if (versao == 0)
            Acha(tipo, offset, 0, std::string(qual) + " engine version is 0");
    }

    void VerificaDataHora(uint64_t offset, uint64_t valor, const char* qual, bool obrigatorio) {
        if ((valor & ~MASCARA_DATA_HORA) != 0)
            Acha(TipoAchado::dataHora, offset, 0,
                 std::string(qual) + " stamp " + Hex64(valor) + " has bits set above bit 37");
        else if (obrigatorio && valor == 0)
            Acha(TipoAchado::dataHora, offset, 0, std::string(qual) + " stamp is 0");
    }

    void VerificaCampoTexto(uint64_t offset, const char* campo, std::size_t largura, const char* qual) {
        if (std::memchr(campo, 0, largura) == nullptr)
            Acha(TipoAchado::campoTexto, offset, 0,
                 std::string(qual) + " field has no NUL in its " + std::to_string(largura) + " bytes");
    }

    void VerificaNome() {
        const CabecalhoV1& c = m_r.cabecalho;
        const std::string_view guardado = TextoCampo(c.nomeArquivo, sizeof c.nomeArquivo);
        VerificaCampoTexto(112, c.nomeArquivo, sizeof c.nomeArquivo, "file name");
        const auto* campo = reinterpret_cast<const uint8_t*>(c.nomeArquivo);
        if (guardado.size() < sizeof c.nomeArquivo &&
            !TodosZero(campo + guardado.size(), sizeof c.nomeArquivo - guardado.size()))
            Acha(TipoAchado::campoTexto, 112 + guardado.size(), 0, "file name field is not zero-padded after its NUL");

        std::string esperado = m_opcoes.nomeEsperado;
        if (esperado.empty()) {
            esperado = std::string(m_nome);
            // A work copy carries the header of the file it is to replace.
            if (IgualSemCaixa(Extensao(esperado), "cab")) esperado.replace(esperado.size() - 3, 3, "dat");
        }
        const std::string_view ultimos = Ultimos(esperado, 23);
        if (!IgualSemCaixa(guardado, ultimos))
            Acha(TipoAchado::nomeArquivo, 112, E_NOME_ARQUIVO_NAO_CONFERE,
                 "stored file name \"" + Visivel(guardado) + "\" is not \"" + Visivel(ultimos) + "\"");
    }

    void VerificaRegistros() {
        const uint64_t n = m_opcoes.tamanhoRegistro;
        const uint64_t dados = m_r.tamanhoDados;
        if (m_opcoes.registroUnico) {
            if (dados != 0 && dados != n)
                Acha(TipoAchado::registroUnico, m_r.inicioDados, E_ARQUIVO_SINGLE_REG_NAO_TEM_TAMANHO_ESTRUTURA,
                     "a single-record file holds " + std::to_string(dados) + " data bytes, its record has " +
                         std::to_string(n));
            m_r.quantidade = dados == n ? 1 : 0;
        } else {
            const uint64_t resto = dados % n;
            if (resto != 0)
                Acha(TipoAchado::tamanhoRegistro, m_r.inicioDados + (dados - resto), E_ARQUIVO_NAO_EH_MOD_ESTRUTURA,
                     std::to_string(dados) + " data bytes are not a whole number of " + std::to_string(n) +
                         "-byte records: " + std::to_string(resto) + " bytes left over");
            m_r.quantidade = dados / n;
        }
        VerificaQuantidade("records");
    }

    // Walks the items (u32 length, then the text) from the start of the data
    // to its end. A broken chain ends the walk: nothing after it can be placed.
    void VerificaCadeiaTextos() {
        const uint64_t fim = m_r.tamanhoArquivo;
        uint64_t pos = m_r.inicioDados;
        JanelaLeitura janela(m_fonte, fim);
        while (pos < fim) {
            const uint64_t resta = fim - pos;
            const uint64_t offsetItem = pos - m_r.inicioDados;
            if (resta < 4) {
                Acha(TipoAchado::itemTruncado, pos, E_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA,
                     "text item " + std::to_string(m_r.quantidade + 1) + " at data offset " + std::to_string(offsetItem) +
                         ": only " + std::to_string(resta) + " bytes left for its 4-byte length");
                return;
            }
            uint32_t tamanho = 0;
            if (!janela.LeU32(pos, tamanho)) {
                Acha(TipoAchado::leitura, pos, 0, "the length of a text item could not be read");
                return;
            }
            if (tamanho > resta - 4) {
                Acha(TipoAchado::itemExcedente, pos, E_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA,
                     "text item " + std::to_string(m_r.quantidade + 1) + " at data offset " + std::to_string(offsetItem) +
                         " claims " + std::to_string(tamanho) + " bytes, only " + std::to_string(resta - 4) + " follow");
                return;
            }
            if (m_opcoes.guardaItens) m_r.itens.push_back(ItemTexto{offsetItem, tamanho});
            ++m_r.quantidade;
            pos += 4 + static_cast<uint64_t>(tamanho);
        }
        VerificaQuantidade("texts");
    }

    void VerificaQuantidade(const char* oque) {
        if (m_opcoes.quantidade >= 0 && m_r.quantidade != static_cast<uint64_t>(m_opcoes.quantidade))
            Acha(TipoAchado::quantidade, m_r.inicioDados, 0,
                 "the file holds " + std::to_string(m_r.quantidade) + " " + oque + ", expected " +
                     std::to_string(m_opcoes.quantidade));
    }

    // Reads the item lengths through a window of the file, so that a chain of
    // many small items costs few reads.
    class JanelaLeitura {
    public:
        JanelaLeitura(const IFonteBytes& fonte, uint64_t fim) : m_fonte(fonte), m_fim(fim), m_buffer(64 * 1024) {}
        bool LeU32(uint64_t pos, uint32_t& valor) {
            if (pos < m_base || pos - m_base + 4 > m_tamanho) {
                const uint64_t n = std::min<uint64_t>(m_buffer.size(), m_fim - pos);
                if (n < 4 || !m_fonte.Le(pos, m_buffer.data(), static_cast<std::size_t>(n))) return false;
                m_base = pos;
                m_tamanho = n;
            }
            std::memcpy(&valor, m_buffer.data() + (pos - m_base), sizeof valor);
            return true;
        }

    private:
        const IFonteBytes& m_fonte;
        uint64_t m_fim;
        std::vector<std::byte> m_buffer;
        uint64_t m_base = 0;
        uint64_t m_tamanho = 0;
    };

    const IFonteBytes& m_fonte;
    std::string_view m_nome;
    const OpcoesVerificacao& m_opcoes;
    ResultadoVerificacao m_r;
    bool m_semCodigo = false;
};

}  // namespace

const char* NomeCodigo(uint32_t codigo) {
    switch (codigo) {
        case E_VERSAO_CABECALHO_SUPERIOR_VERSAO_SISTEMA: return "E_QVCR_VERSAO_CABECALHO_SUPERIOR_VERSAO_SISTEMA";
        case E_CRC_CABECALHO_NAO_CONFERE: return "E_QVCR_CRC_CABECALHO_NAO_CONFERE";
        case E_NOME_ARQUIVO_NAO_CONFERE: return "E_QVCR_NOME_ARQUIVO_NAO_CONFERE";
        case E_TAMANHO_CABECALHO_NAO_CONFERE: return "E_QVCR_TAMANHO_CABECALHO_NAO_CONFERE";
        case E_TAMANHO_ARQUIVO_NAO_CONFERE: return "E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE";
        case E_VERSAO_SISTEMA_INFERIOR_VERSAO_CRIACAO_CABECALHO:
            return "E_QVCR_VERSAO_SISTEMA_INFERIOR_VERSAO_CRIACAO_CABECALHO";
        case E_VERSAO_SISTEMA_INFERIOR_VERSAO_MODIFICACAO_ARQUIVO:
            return "E_QVCR_VERSAO_SISTEMA_INFERIOR_VERSAO_MODIFICACAO_ARQUIVO";
        case E_ARQUIVO_NAO_EH_MOD_ESTRUTURA: return "E_QVCR_ARQUIVO_NAO_EH_MOD_ESTRUTURA";
        case E_ARQUIVO_SINGLE_REG_NAO_TEM_TAMANHO_ESTRUTURA: return "E_QVCR_ARQUIVO_SINGLE_REG_NAO_TEM_TAMANHO_ESTRUTURA";
        case E_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA: return "E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA";
        default: return nullptr;
    }
}

const char* NomeTipoAchado(TipoAchado tipo) {
    switch (tipo) {
        case TipoAchado::leitura: return "leitura";
        case TipoAchado::prefixoDanificado: return "prefixoDanificado";
        case TipoAchado::cabecalhoIndevido: return "cabecalhoIndevido";
        case TipoAchado::versaoCabecalho: return "versaoCabecalho";
        case TipoAchado::cabecalhoTruncado: return "cabecalhoTruncado";
        case TipoAchado::bytesReservados: return "bytesReservados";
        case TipoAchado::dataHora: return "dataHora";
        case TipoAchado::tamanhoDadosCabecalho: return "tamanhoDadosCabecalho";
        case TipoAchado::crcCabecalho: return "crcCabecalho";
        case TipoAchado::tamanhoDados: return "tamanhoDados";
        case TipoAchado::sessao: return "sessao";
        case TipoAchado::usuario: return "usuario";
        case TipoAchado::versaoMotorCriacao: return "versaoMotorCriacao";
        case TipoAchado::versaoMotorModificacao: return "versaoMotorModificacao";
        case TipoAchado::campoTexto: return "campoTexto";
        case TipoAchado::nomeArquivo: return "nomeArquivo";
        case TipoAchado::tamanhoRegistro: return "tamanhoRegistro";
        case TipoAchado::registroUnico: return "registroUnico";
        case TipoAchado::itemTruncado: return "itemTruncado";
        case TipoAchado::itemExcedente: return "itemExcedente";
        case TipoAchado::quantidade: return "quantidade";
    }
    return "?";
}

bool ResultadoVerificacao::Tem(TipoAchado tipo) const {
    return std::any_of(achados.begin(), achados.end(), [tipo](const Achado& a) { return a.tipo == tipo; });
}

bool PrefixoValido(const std::byte* prefixo24) {
    return U16(prefixo24) != 0 && U64(prefixo24 + 8) == zenta::QVCrc64(prefixo24, 2) &&
           U64(prefixo24 + 16) == zenta::QVCrc64(prefixo24 + 8, 8);
}

bool NomeSemCabecalho(std::string_view nomeArquivo) {
    const std::string_view ext = Extensao(nomeArquivo);
    return IgualSemCaixa(nomeArquivo, "QVDATABASE_FILE_CTRL.dat") || IgualSemCaixa(ext, "srk") ||
           IgualSemCaixa(ext, "tra");
}

ResultadoVerificacao Verifica(const IFonteBytes& fonte, std::string_view nomeArquivo, const OpcoesVerificacao& opcoes) {
    return Verificacao(fonte, nomeArquivo, opcoes).Executa();
}

std::string FormataAchado(std::string_view rotulo, const Achado& achado) {
    std::string linha = std::string(rotulo) + ": offset " + std::to_string(achado.offset) + ": " +
                        NomeTipoAchado(achado.tipo) + ": " + achado.texto;
    if (achado.codigo != 0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%08" PRIX32, achado.codigo);
        const char* nome = NomeCodigo(achado.codigo);
        linha += std::string(" [") + (nome != nullptr ? nome : "?") + " " + buf + "]";
    }
    return linha;
}

}  // namespace zenta::dbcheck
