// Writer and reader of the type-library file; the layout is described in the
// header. The reader copies every table entry out of the bytes (no aligned
// access into the buffer) and checks it before anything refers to it.
#include "server/QVBibliotecaTipos.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>

#include <zenta/IQVGE_ManutencaoPreventiva.h>

#include "server/QVDescricaoInterface.h"

namespace zenta {

namespace {

#pragma pack(push, 1)
struct TabelaArquivo {
    std::uint32_t offset;
    std::uint32_t quantidade;  // entries; for the texts, bytes
};
struct CabecalhoArquivo {
    char assinatura[8];
    std::uint16_t versaoFormato;
    std::uint16_t reservado;
    std::uint32_t tamanhoTotal;
    GUID libid;
    std::uint16_t versaoMaior;
    std::uint16_t versaoMenor;
    std::uint32_t lcid;
    std::uint32_t flags;
    std::uint32_t nome;
    TabelaArquivo registros;
    TabelaArquivo campos;
    TabelaArquivo interfaces;
    TabelaArquivo metodos;
    TabelaArquivo parametros;
    TabelaArquivo textos;
    std::uint64_t crc;
};
struct RegistroArquivo {
    std::uint32_t nome;
    std::uint32_t tamanho;
    std::uint32_t primeiroCampo;
    std::uint32_t qtdCampos;
};
struct CampoArquivo {
    std::uint32_t nome;
    std::uint32_t offset;
    std::uint32_t tamanho;
    std::uint8_t tipo;
    std::uint8_t reservado[3];
    std::uint32_t registro;
    std::uint32_t offsetContagem;
};
struct InterfaceArquivo {
    GUID iid;
    std::uint32_t nome;
    std::uint32_t base;
    std::uint32_t primeiroMetodo;
    std::uint32_t qtdMetodos;
};
struct MetodoArquivo {
    std::uint32_t nome;
    std::uint32_t slot;
    std::uint32_t primeiroParametro;
    std::uint32_t qtdParametros;
};
struct ParametroArquivo {
    std::uint32_t nome;
    std::uint32_t tipoC;
    std::uint32_t registro;
    std::uint8_t direcao;
    std::uint8_t reservado[3];
};
#pragma pack(pop)
static_assert(sizeof(TabelaArquivo) == 8);
static_assert(sizeof(CabecalhoArquivo) == 104);
static_assert(offsetof(CabecalhoArquivo, tamanhoTotal) == 12);
static_assert(offsetof(CabecalhoArquivo, libid) == 16);
static_assert(offsetof(CabecalhoArquivo, versaoMaior) == 32);
static_assert(offsetof(CabecalhoArquivo, lcid) == 36);
static_assert(offsetof(CabecalhoArquivo, nome) == 44);
static_assert(offsetof(CabecalhoArquivo, registros) == 48);
static_assert(offsetof(CabecalhoArquivo, textos) == 88);
static_assert(offsetof(CabecalhoArquivo, crc) == 96);
static_assert(sizeof(RegistroArquivo) == 16);
static_assert(sizeof(CampoArquivo) == 24);
static_assert(offsetof(CampoArquivo, tipo) == 12);
static_assert(offsetof(CampoArquivo, registro) == 16);
static_assert(sizeof(InterfaceArquivo) == 32);
static_assert(offsetof(InterfaceArquivo, nome) == 16);
static_assert(sizeof(MetodoArquivo) == 16);
static_assert(sizeof(ParametroArquivo) == 16);
static_assert(offsetof(ParametroArquivo, direcao) == 12);

constexpr char kAssinatura[8] = {'Z', 'E', 'N', 'T', 'A', 'T', 'L', 'B'};
constexpr std::uint16_t kVersaoFormato = 1;
// Bounds no sound library comes near; they keep a hostile file's counts from
// turning into large allocations.
constexpr std::uint32_t kMaxEntradas = 65536;
constexpr std::uint32_t kMaxTamanhoRegistro = 1u << 20;
constexpr std::uint32_t kMaxSlot = 4096;
constexpr std::size_t kMaxTexto = 255;
constexpr auto kUltimoTipo = static_cast<std::uint8_t>(TipoCampo::TextoDf);

bool TextoValido(std::string_view t) {
    return !t.empty() && t.size() <= kMaxTexto &&
           std::all_of(t.begin(), t.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

bool UsaRegistro(TipoCampo t) { return t == TipoCampo::Registro || t == TipoCampo::Lista || t == TipoCampo::TextoDf; }
bool UsaContagem(TipoCampo t) {
    return t == TipoCampo::Lista || t == TipoCampo::ArrayU32 || t == TipoCampo::ArrayDmc || t == TipoCampo::BytesDf;
}

// Texts, each kept once.
class TabelaTextos {
public:
    std::uint32_t Offset(const std::string& texto) {
        const auto [it, novo] = m_offsets.try_emplace(texto, static_cast<std::uint32_t>(m_bytes.size()));
        if (novo) m_bytes.append(texto).push_back('\0');
        return it->second;
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::map<std::string, std::uint32_t> m_offsets;
    std::string m_bytes;
};

template <class T>
void Acrescenta(std::string& saida, const T& entrada) {
    saida.append(reinterpret_cast<const char*>(&entrada), sizeof entrada);
}

template <class T>
T Copia(std::string_view bytes, std::uint64_t offset) {
    T t;
    std::memcpy(&t, bytes.data() + offset, sizeof t);
    return t;
}

// Entry `i` of a table whose bounds were checked.
template <class T>
T Entrada(std::string_view bytes, const TabelaArquivo& t, std::uint32_t i) {
    return Copia<T>(bytes, t.offset + static_cast<std::uint64_t>(i) * sizeof(T));
}

// Whether a table of `qtd` entries of `tamanho` bytes fits after the header.
bool TabelaCabe(const TabelaArquivo& t, std::size_t tamanho, std::size_t total) {
    return t.quantidade <= kMaxEntradas && t.offset >= sizeof(CabecalhoArquivo) && t.offset <= total &&
           static_cast<std::uint64_t>(t.quantidade) * tamanho <= total - t.offset;
}

bool Faixa(std::uint32_t primeiro, std::uint32_t qtd, std::uint32_t total) {
    return primeiro <= total && qtd <= total - primeiro;
}

}  // namespace

BibliotecaTipos BibliotecaZenta() {
    BibliotecaTipos b;
    b.nome = "ZENTALib";
    b.libid = LIBID_ZENTALib;
    b.versaoMaior = 1;
    b.versaoMenor = 0;
    b.lcid = 0x409;

    std::vector<const DescricaoRegistro*> descricoes(DescricoesRegistrosIQVUnknown().begin(),
                                                     DescricoesRegistrosIQVUnknown().end());
    descricoes.insert(descricoes.end(), TodasDescricoes().begin(), TodasDescricoes().end());
    std::map<const DescricaoRegistro*, std::uint32_t> indices;
    for (const auto* d : descricoes) indices.emplace(d, static_cast<std::uint32_t>(indices.size()));
    const auto indice = [&](const DescricaoRegistro* d) {
        const auto it = indices.find(d);
        return it == indices.end() ? kSemIndice : it->second;
    };
    for (const auto* d : descricoes) {
        RegistroBiblioteca r{d->nome, static_cast<std::uint32_t>(d->tamanho), {}};
        for (const auto& c : d->campos)
            r.campos.push_back(CampoBiblioteca{c.nome, static_cast<std::uint32_t>(c.offset),
                                               static_cast<std::uint32_t>(c.tamanho), c.tipo, indice(c.registro),
                                               static_cast<std::uint32_t>(c.offsetContagem)});
        b.registros.push_back(std::move(r));
    }
    const DescricaoInterface* interfaces[] = {&DescricaoIQVUnknown(), &DescricaoIQVGE_ManutencaoPreventiva()};
    for (const auto* i : interfaces) {
        InterfaceBiblioteca ib{i->nome, *i->iid, i->base == nullptr ? kSemIndice : 0u, {}};
        for (const auto& m : i->metodos) {
            MetodoBiblioteca mb{m.nome, m.slot, {}};
            for (const auto& p : m.parametros)
                mb.parametros.push_back(
                    ParametroBiblioteca{p.nome, static_cast<std::uint8_t>(p.direcao), p.tipoC, indice(p.registro)});
            ib.metodos.push_back(std::move(mb));
        }
        b.interfaces.push_back(std::move(ib));
    }
    return b;
}

HRESULT EscreveBibliotecaTipos(const BibliotecaTipos& b, std::string& bytes) {
    bytes.clear();
    TabelaTextos textos;
    std::string registros, campos, interfaces, metodos, parametros;
    const auto qtdRegistros = static_cast<std::uint32_t>(b.registros.size());
    const auto texto = [&](const std::string& t, std::uint32_t& offset) {
        if (!TextoValido(t)) return false;
        offset = textos.Offset(t);
        return true;
    };
    std::uint32_t qtdCampos = 0, qtdMetodos = 0, qtdParametros = 0;
    if (!TextoValido(b.nome)) return E_INVALIDARG;
    for (const auto& r : b.registros) {
        RegistroArquivo ra{0, r.tamanho, qtdCampos, static_cast<std::uint32_t>(r.campos.size())};
        if (!texto(r.nome, ra.nome)) return E_INVALIDARG;
        Acrescenta(registros, ra);
        for (const auto& c : r.campos) {
            CampoArquivo ca{0, c.offset, c.tamanho, static_cast<std::uint8_t>(c.tipo), {}, c.registro, c.offsetContagem};
            if (!texto(c.nome, ca.nome) || (c.registro != kSemIndice && c.registro >= qtdRegistros)) return E_INVALIDARG;
            Acrescenta(campos, ca);
            ++qtdCampos;
        }
    }
    for (const auto& i : b.interfaces) {
        InterfaceArquivo ia{i.iid, 0, i.base, qtdMetodos, static_cast<std::uint32_t>(i.metodos.size())};
        if (!texto(i.nome, ia.nome) || (i.base != kSemIndice && i.base >= b.interfaces.size())) return E_INVALIDARG;
        Acrescenta(interfaces, ia);
        for (const auto& m : i.metodos) {
            MetodoArquivo ma{0, m.slot, qtdParametros, static_cast<std::uint32_t>(m.parametros.size())};
            if (!texto(m.nome, ma.nome)) return E_INVALIDARG;
            Acrescenta(metodos, ma);
            ++qtdMetodos;
            for (const auto& p : m.parametros) {
                ParametroArquivo pa{0, 0, p.registro, p.direcao, {}};
                if (!texto(p.nome, pa.nome) || !texto(p.tipoC, pa.tipoC) ||
                    (p.registro != kSemIndice && p.registro >= qtdRegistros))
                    return E_INVALIDARG;
                Acrescenta(parametros, pa);
                ++qtdParametros;
            }
        }
    }

    CabecalhoArquivo cab{};
    std::memcpy(cab.assinatura, kAssinatura, sizeof kAssinatura);
    cab.versaoFormato = kVersaoFormato;
    cab.libid = b.libid;
    cab.versaoMaior = b.versaoMaior;
    cab.versaoMenor = b.versaoMenor;
    cab.lcid = b.lcid;
    cab.flags = b.flags;
    cab.nome = textos.Offset(b.nome);
    std::string corpo;
    const auto tabela = [&](const std::string& dados, std::uint32_t quantidade) {
        const TabelaArquivo t{static_cast<std::uint32_t>(sizeof cab + corpo.size()), quantidade};
        corpo += dados;
        return t;
    };
    cab.registros = tabela(registros, qtdRegistros);
    cab.campos = tabela(campos, qtdCampos);
    cab.interfaces = tabela(interfaces, static_cast<std::uint32_t>(b.interfaces.size()));
    cab.metodos = tabela(metodos, qtdMetodos);
    cab.parametros = tabela(parametros, qtdParametros);
    cab.textos = tabela(textos.Bytes(), static_cast<std::uint32_t>(textos.Bytes().size()));
    cab.tamanhoTotal = static_cast<std::uint32_t>(sizeof cab + corpo.size());
    cab.crc = QVCalculaCrc64(corpo.data(), corpo.size(), 0);
    Acrescenta(bytes, cab);
    bytes += corpo;
    // Whatever was written must read back: the writer's own check.
    BibliotecaTipos releitura;
    if (FAILED(LeBibliotecaTipos(bytes, releitura))) {
        bytes.clear();
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT LeBibliotecaTipos(std::string_view bytes, BibliotecaTipos& b) {
    b = BibliotecaTipos{};
    if (bytes.size() < sizeof(CabecalhoArquivo)) return TYPE_E_UNSUPFORMAT;
    const auto cab = Copia<CabecalhoArquivo>(bytes, 0);
    if (std::memcmp(cab.assinatura, kAssinatura, sizeof kAssinatura) != 0 || cab.versaoFormato != kVersaoFormato)
        return TYPE_E_UNSUPFORMAT;
    if (cab.tamanhoTotal != bytes.size() || cab.flags > 0xFFFF) return TYPE_E_INVDATAREAD;
    const std::string_view corpo = bytes.substr(sizeof cab);
    if (QVCalculaCrc64(corpo.data(), corpo.size(), 0) != cab.crc) return TYPE_E_INVDATAREAD;
    const std::size_t total = bytes.size();
    if (!TabelaCabe(cab.registros, sizeof(RegistroArquivo), total) ||
        !TabelaCabe(cab.campos, sizeof(CampoArquivo), total) ||
        !TabelaCabe(cab.interfaces, sizeof(InterfaceArquivo), total) ||
        !TabelaCabe(cab.metodos, sizeof(MetodoArquivo), total) ||
        !TabelaCabe(cab.parametros, sizeof(ParametroArquivo), total) || cab.textos.offset < sizeof cab ||
        cab.textos.offset > total || cab.textos.quantidade > total - cab.textos.offset || cab.textos.quantidade == 0)
        return TYPE_E_INVDATAREAD;
    const std::string_view textos = bytes.substr(cab.textos.offset, cab.textos.quantidade);
    if (textos.back() != '\0') return TYPE_E_INVDATAREAD;
    const auto texto = [&](std::uint32_t offset, std::string& saida) {
        if (offset >= textos.size()) return false;
        saida.assign(textos.data() + offset);  // stops at a zero inside the table: it ends with one
        return TextoValido(saida);
    };

    if (!texto(cab.nome, b.nome)) return TYPE_E_INVDATAREAD;
    b.libid = cab.libid;
    b.versaoMaior = cab.versaoMaior;
    b.versaoMenor = cab.versaoMenor;
    b.lcid = cab.lcid;
    b.flags = static_cast<WORD>(cab.flags);

    const std::uint32_t qtdRegistros = cab.registros.quantidade;
    for (std::uint32_t i = 0; i < qtdRegistros; ++i) {
        const auto ra = Entrada<RegistroArquivo>(bytes, cab.registros, i);
        RegistroBiblioteca r;
        r.tamanho = ra.tamanho;
        if (!texto(ra.nome, r.nome) || ra.tamanho == 0 || ra.tamanho > kMaxTamanhoRegistro ||
            !Faixa(ra.primeiroCampo, ra.qtdCampos, cab.campos.quantidade))
            return TYPE_E_INVDATAREAD;
        b.registros.push_back(std::move(r));
    }
    // Fields after every record is known: a field's record is checked by size.
    for (std::uint32_t i = 0; i < qtdRegistros; ++i) {
        const auto ra = Entrada<RegistroArquivo>(bytes, cab.registros, i);
        auto& r = b.registros[i];
        for (std::uint32_t j = 0; j < ra.qtdCampos; ++j) {
            const auto ca = Entrada<CampoArquivo>(bytes, cab.campos, ra.primeiroCampo + j);
            CampoBiblioteca c;
            if (!texto(ca.nome, c.nome) || ca.tipo > kUltimoTipo || ca.tamanho == 0 || ca.offset > r.tamanho ||
                ca.tamanho > r.tamanho - ca.offset)
                return TYPE_E_INVDATAREAD;
            c.tipo = static_cast<TipoCampo>(ca.tipo);
            c.offset = ca.offset;
            c.tamanho = ca.tamanho;
            c.registro = ca.registro;
            c.offsetContagem = ca.offsetContagem;
            if (UsaRegistro(c.tipo) != (ca.registro != kSemIndice) ||
                (ca.registro != kSemIndice && ca.registro >= qtdRegistros))
                return TYPE_E_INVDATAREAD;
            if (c.tipo == TipoCampo::Registro && b.registros[ca.registro].tamanho != ca.tamanho) return TYPE_E_INVDATAREAD;
            if (UsaContagem(c.tipo) ? (ca.offsetContagem > r.tamanho || r.tamanho - ca.offsetContagem < 4)
                                    : ca.offsetContagem != 0)
                return TYPE_E_INVDATAREAD;
            r.campos.push_back(std::move(c));
        }
    }

    const std::uint32_t qtdInterfaces = cab.interfaces.quantidade;
    for (std::uint32_t i = 0; i < qtdInterfaces; ++i) {
        const auto ia = Entrada<InterfaceArquivo>(bytes, cab.interfaces, i);
        InterfaceBiblioteca itf;
        itf.iid = ia.iid;
        itf.base = ia.base;
        if (!texto(ia.nome, itf.nome) || !Faixa(ia.primeiroMetodo, ia.qtdMetodos, cab.metodos.quantidade) ||
            (ia.base != kSemIndice && ia.base >= qtdInterfaces))
            return TYPE_E_INVDATAREAD;
        for (std::uint32_t j = 0; j < ia.qtdMetodos; ++j) {
            const auto ma = Entrada<MetodoArquivo>(bytes, cab.metodos, ia.primeiroMetodo + j);
            MetodoBiblioteca m;
            m.slot = ma.slot;
            if (!texto(ma.nome, m.nome) || ma.slot < 3 || ma.slot > kMaxSlot ||
                !Faixa(ma.primeiroParametro, ma.qtdParametros, cab.parametros.quantidade))
                return TYPE_E_INVDATAREAD;
            for (std::uint32_t k = 0; k < ma.qtdParametros; ++k) {
                const auto pa = Entrada<ParametroArquivo>(bytes, cab.parametros, ma.primeiroParametro + k);
                ParametroBiblioteca p;
                p.direcao = pa.direcao;
                p.registro = pa.registro;
                if (!texto(pa.nome, p.nome) || !texto(pa.tipoC, p.tipoC) || pa.direcao < 1 || pa.direcao > 3 ||
                    (pa.registro != kSemIndice && pa.registro >= qtdRegistros))
                    return TYPE_E_INVDATAREAD;
                m.parametros.push_back(std::move(p));
            }
            itf.metodos.push_back(std::move(m));
        }
        b.interfaces.push_back(std::move(itf));
    }
    // A chain of base interfaces must end: a cycle would never reach IUnknown.
    for (std::uint32_t i = 0; i < qtdInterfaces; ++i) {
        std::uint32_t passo = b.interfaces[i].base;
        for (std::uint32_t n = 0; passo != kSemIndice; ++n) {
            if (n >= qtdInterfaces) return TYPE_E_INVDATAREAD;
            passo = b.interfaces[passo].base;
        }
    }
    return S_OK;
}

}  // namespace zenta
