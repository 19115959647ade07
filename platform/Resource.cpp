// Resources as ELF sections. Only what is needed to find a section by name
// is read: the file header, the section header table and the section-name
// string table; a resource's bytes are read when it is loaded. Everything is
// checked against the file's real size first, so a damaged or hostile file
// gives an error, never a read outside it.
#include "platform/Resource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace {

static_assert(std::endian::native == std::endian::little, "module files are read as little-endian");

#pragma pack(push, 1)
// The ELF file header, 64-bit form.
struct CabecalhoElf64 {
    std::uint8_t ident[16];
    std::uint16_t tipo;
    std::uint16_t maquina;
    std::uint32_t versao;
    std::uint64_t entrada;
    std::uint64_t offsetProgramas;
    std::uint64_t offsetSecoes;
    std::uint32_t flags;
    std::uint16_t tamanhoCabecalho;
    std::uint16_t tamanhoPrograma;
    std::uint16_t qtdProgramas;
    std::uint16_t tamanhoSecao;
    std::uint16_t qtdSecoes;
    std::uint16_t indiceNomes;
};
// One entry of the section header table, 64-bit form.
struct SecaoElf64 {
    std::uint32_t nome;
    std::uint32_t tipo;
    std::uint64_t flags;
    std::uint64_t endereco;
    std::uint64_t offset;
    std::uint64_t tamanho;
    std::uint32_t link;
    std::uint32_t info;
    std::uint64_t alinhamento;
    std::uint64_t tamanhoEntrada;
};
#pragma pack(pop)
static_assert(sizeof(CabecalhoElf64) == 64);
static_assert(offsetof(CabecalhoElf64, offsetSecoes) == 40);
static_assert(offsetof(CabecalhoElf64, tamanhoSecao) == 58);
static_assert(offsetof(CabecalhoElf64, qtdSecoes) == 60);
static_assert(offsetof(CabecalhoElf64, indiceNomes) == 62);
static_assert(sizeof(SecaoElf64) == 64);
static_assert(offsetof(SecaoElf64, offset) == 24);
static_assert(offsetof(SecaoElf64, tamanho) == 32);
static_assert(offsetof(SecaoElf64, link) == 40);

constexpr std::uint8_t kClasse64 = 2;
constexpr std::uint8_t kLittleEndian = 1;
constexpr std::uint8_t kVersaoAtual = 1;
constexpr std::uint32_t kSecaoNobits = 8;
constexpr std::uint32_t kSecaoStrtab = 3;
constexpr std::uint16_t kIndiceEstendido = 0xFFFF;
// Section tables and name tables beyond these are not those of a program.
constexpr std::uint64_t kMaxSecoes = 65536;
constexpr std::uint64_t kMaxTabelaNomes = 16u * 1024u * 1024u;
constexpr std::string_view kPrefixo = ".rsrc.";

HRESULT HresultErrno(int erro) { return HRESULT_FROM_WIN32(static_cast<uint32_t>(erro == ENOENT ? 2 : erro == EACCES ? 5 : 31)); }

class Arquivo {
public:
    explicit Arquivo(const std::filesystem::path& caminho) : m_fd(::open(caminho.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~Arquivo() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Arquivo(const Arquivo&) = delete;
    Arquivo& operator=(const Arquivo&) = delete;

    bool Aberto() const { return m_fd >= 0; }
    std::optional<std::uint64_t> Tamanho() const {
        struct stat st {};
        if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
        return static_cast<std::uint64_t>(st.st_size);
    }
    // Reads exactly `n` bytes at `offset`.
    bool Le(std::uint64_t offset, void* destino, std::size_t n) const {
        auto* p = static_cast<char*>(destino);
        while (n > 0) {
            const ssize_t lido = ::pread(m_fd, p, n, static_cast<off_t>(offset));
            if (lido < 0 && errno == EINTR) continue;
            if (lido <= 0) return false;
            p += lido;
            n -= static_cast<std::size_t>(lido);
            offset += static_cast<std::uint64_t>(lido);
        }
        return true;
    }

private:
    int m_fd;
};

// Whether [offset, offset + tamanho) lies inside a file of `total` bytes.
bool Dentro(std::uint64_t offset, std::uint64_t tamanho, std::uint64_t total) {
    return offset <= total && tamanho <= total - offset;
}

// ".rsrc.<type>.<number>": the type in letters, digits and '_', the number
// 1 to 65535 in decimal without leading zeros.
bool LeNomeSecao(std::string_view nome, std::string& tipo, unsigned& numero) {
    if (nome.substr(0, kPrefixo.size()) != kPrefixo) return false;
    nome.remove_prefix(kPrefixo.size());
    const size_t ponto = nome.rfind('.');
    if (ponto == std::string_view::npos || ponto == 0) return false;
    const std::string_view t = nome.substr(0, ponto);
    const std::string_view n = nome.substr(ponto + 1);
    if (!std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isalnum(c) || c == '_'; })) return false;
    if (n.empty() || n.size() > 5 || n.front() == '0') return false;
    unsigned valor = 0;
    for (char c : n) {
        if (c < '0' || c > '9') return false;
        valor = valor * 10 + static_cast<unsigned>(c - '0');
    }
    if (valor > 0xFFFF) return false;
    tipo.assign(t);
    numero = valor;
    return true;
}

bool MesmoTipo(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

}  // namespace

namespace zenta {

std::string NomeSecaoRecurso(std::string_view tipo, unsigned numero) {
    return std::string(kPrefixo) + std::string(tipo) + "." + std::to_string(numero);
}

std::filesystem::path ArquivoProgramaAtual() { return "/proc/self/exe"; }

HRESULT ModuloRecursos::Abre(const std::filesystem::path& arquivo) {
    m_arquivo = arquivo;
    m_recursos.clear();
    const Arquivo f(arquivo);
    if (!f.Aberto()) return HresultErrno(errno);
    const auto total = f.Tamanho();
    if (!total) return HR_ERROR_RESOURCE_DATA_NOT_FOUND;

    CabecalhoElf64 cab{};
    if (*total < sizeof cab || !f.Le(0, &cab, sizeof cab)) return HR_ERROR_RESOURCE_DATA_NOT_FOUND;
    if (std::memcmp(cab.ident, "\x7F" "ELF", 4) != 0 || cab.ident[4] != kClasse64 || cab.ident[5] != kLittleEndian ||
        cab.ident[6] != kVersaoAtual || cab.tamanhoSecao != sizeof(SecaoElf64) || cab.offsetSecoes == 0)
        return HR_ERROR_RESOURCE_DATA_NOT_FOUND;

    // Section 0 carries the real count and name-table index when they do not
    // fit the header's 16-bit fields.
    SecaoElf64 zero{};
    if (!Dentro(cab.offsetSecoes, sizeof zero, *total) || !f.Le(cab.offsetSecoes, &zero, sizeof zero))
        return HR_ERROR_RESOURCE_DATA_NOT_FOUND;
    const std::uint64_t qtd = cab.qtdSecoes != 0 ? cab.qtdSecoes : zero.tamanho;
    const std::uint64_t indiceNomes = cab.indiceNomes != kIndiceEstendido ? cab.indiceNomes : zero.link;
    if (qtd == 0 || qtd > kMaxSecoes || !Dentro(cab.offsetSecoes, qtd * sizeof(SecaoElf64), *total) ||
        indiceNomes == 0 || indiceNomes >= qtd)
        return HR_ERROR_RESOURCE_DATA_NOT_FOUND;

    std::vector<SecaoElf64> secoes(static_cast<std::size_t>(qtd));
    if (!f.Le(cab.offsetSecoes, secoes.data(), secoes.size() * sizeof(SecaoElf64)))
        return HR_ERROR_RESOURCE_DATA_NOT_FOUND;
    const SecaoElf64& tabela = secoes[static_cast<std::size_t>(indiceNomes)];
    if (tabela.tipo != kSecaoStrtab || tabela.tamanho == 0 || tabela.tamanho > kMaxTabelaNomes ||
        !Dentro(tabela.offset, tabela.tamanho, *total))
        return HR_ERROR_RESOURCE_DATA_NOT_FOUND;
    std::string nomes(static_cast<std::size_t>(tabela.tamanho), '\0');
    if (!f.Le(tabela.offset, nomes.data(), nomes.size()) || nomes.back() != '\0')
        return HR_ERROR_RESOURCE_DATA_NOT_FOUND;

    for (const auto& secao : secoes) {
        if (secao.nome >= nomes.size()) return HR_ERROR_RESOURCE_DATA_NOT_FOUND;
        const std::string_view nome(nomes.c_str() + secao.nome);  // ends inside: the table ends with a zero
        Recurso recurso;
        if (!LeNomeSecao(nome, recurso.tipo, recurso.numero)) continue;
        // A resource must have its bytes in the file and be of a sane size.
        if (secao.tipo == kSecaoNobits || !Dentro(secao.offset, secao.tamanho, *total) ||
            secao.tamanho > kTamanhoMaximo)
            return HR_ERROR_RESOURCE_DATA_NOT_FOUND;
        recurso.offset = secao.offset;
        recurso.tamanho = secao.tamanho;
        m_recursos.push_back(std::move(recurso));
    }
    return S_OK;
}

std::optional<Recurso> ModuloRecursos::Acha(std::string_view tipo, unsigned numero) const {
    for (const auto& r : m_recursos)
        if (r.numero == numero && MesmoTipo(r.tipo, tipo)) return r;
    return std::nullopt;
}

HRESULT ModuloRecursos::Carrega(const Recurso& recurso, std::string& dados) const {
    dados.clear();
    if (recurso.tamanho > kTamanhoMaximo) return E_INVALIDARG;
    const Arquivo f(m_arquivo);
    if (!f.Aberto()) return HresultErrno(errno);
    // The file may have changed since it was opened: check again.
    const auto total = f.Tamanho();
    if (!total || !Dentro(recurso.offset, recurso.tamanho, *total)) return HR_ERROR_RESOURCE_DATA_NOT_FOUND;
    dados.resize(static_cast<std::size_t>(recurso.tamanho));
    if (!dados.empty() && !f.Le(recurso.offset, dados.data(), dados.size())) {
        dados.clear();
        return HR_ERROR_RESOURCE_DATA_NOT_FOUND;
    }
    return S_OK;
}

HRESULT LeRecurso(const std::filesystem::path& modulo, std::string_view tipo, unsigned numero, std::string& dados) {
    dados.clear();
    ModuloRecursos m;
    const HRESULT hr = m.Abre(modulo);
    if (FAILED(hr)) return hr;
    const auto recurso = m.Acha(tipo, numero);
    if (!recurso) {
        const bool temTipo = std::any_of(m.Recursos().begin(), m.Recursos().end(),
                                         [&](const Recurso& r) { return MesmoTipo(r.tipo, tipo); });
        return temTipo ? HR_ERROR_RESOURCE_NAME_NOT_FOUND : HR_ERROR_RESOURCE_TYPE_NOT_FOUND;
    }
    return m.Carrega(*recurso, dados);
}

}  // namespace zenta
