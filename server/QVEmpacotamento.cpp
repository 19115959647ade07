// The generic walker behind the call messages: one function each way over a
// record's description, recursing into nested records and list elements.
#include "server/QVEmpacotamento.h"

#include <zenta/OleAuto.h>

#include "platform/Registry.h"

namespace zenta {

namespace {

// Deeper than any record of the interfaces nests (a plan's stock places sit
// at depth 6); a description can never make the reader recurse further.
constexpr int kProfundidadeMaxima = 16;
constexpr const char* kChaveConfiguracao = "SOFTWARE\\Wow6432Node\\QV Sistemas";
constexpr ULONG kBstrNulo = 0xFFFFFFFFu;
constexpr BYTE kSemElementos = 0;
constexpr BYTE kComElementos = 1;

// Bytes of one element in memory.
std::size_t TamanhoElemento(const DescricaoCampo& c) {
    switch (c.tipo) {
        case TipoCampo::Lista: return c.registro->tamanho;
        case TipoCampo::ArrayU32: return sizeof(ULONG);
        case TipoCampo::ArrayDmc: return sizeof(ULONGLONG);
        default: return 1;  // BytesDf
    }
}

// ---- Writing ---------------------------------------------------------------------

void Escreve(EscritorMensagem& e, const DescricaoRegistro& desc, const unsigned char* reg) {
    for (const DescricaoCampo& c : desc.campos) {
        const std::size_t o = c.offset;
        switch (c.tipo) {
            case TipoCampo::U8:
            case TipoCampo::U16:
            case TipoCampo::U32:
            case TipoCampo::I32:
            case TipoCampo::U64:
            case TipoCampo::I64:
            case TipoCampo::Moeda:
            case TipoCampo::Data:
            case TipoCampo::MesAno:
            case TipoCampo::Hora:
            case TipoCampo::ChaveDmc: e.EscreveEscalar(reg + o, c.tamanho); break;
            case TipoCampo::Texto: e.EscreveBytes(reg + o, c.tamanho); break;
            case TipoCampo::Bstr: {
                const BSTR b = LeNoRegistro<BSTR>(reg, o);
                if (b == nullptr) {
                    e.EscreveU32(kBstrNulo);
                    break;
                }
                const UINT n = SysStringLen(b);
                e.EscreveU32(n);
                e.EscreveBytes(b, static_cast<std::size_t>(n) * sizeof(OLECHAR));
                break;
            }
            case TipoCampo::Registro:
            case TipoCampo::TextoDf: Escreve(e, *c.registro, reg + o); break;
            case TipoCampo::Lista:
            case TipoCampo::ArrayU32:
            case TipoCampo::ArrayDmc:
            case TipoCampo::BytesDf: {
                const ULONG n = LeNoRegistro<ULONG>(reg, c.offsetContagem);
                const auto* p = LeNoRegistro<const unsigned char*>(reg, o);
                if (p == nullptr || n == 0) {
                    // A non-null array of no elements carries nothing; a
                    // null one keeps its count for the callee to judge.
                    e.EscreveU8(kSemElementos);
                    e.EscreveU32(p == nullptr ? n : 0);
                    break;
                }
                e.EscreveU8(kComElementos);
                e.EscreveU32(n);
                if (c.tipo == TipoCampo::Lista) {
                    for (ULONG i = 0; i < n; ++i) Escreve(e, *c.registro, p + i * c.registro->tamanho);
                } else {
                    e.EscreveBytes(p, n * TamanhoElemento(c));
                }
                break;
            }
            case TipoCampo::Filler:
            case TipoCampo::Contagem: break;
        }
    }
}

// ---- Reading ---------------------------------------------------------------------

std::size_t Minimo(const DescricaoRegistro& desc, int profundidade) {
    if (profundidade > kProfundidadeMaxima) return 0;
    std::size_t total = 0;
    for (const DescricaoCampo& c : desc.campos) {
        switch (c.tipo) {
            case TipoCampo::Filler:
            case TipoCampo::Contagem: break;
            case TipoCampo::Bstr: total += sizeof(ULONG); break;
            case TipoCampo::Registro:
            case TipoCampo::TextoDf: total += Minimo(*c.registro, profundidade + 1); break;
            case TipoCampo::Lista:
            case TipoCampo::ArrayU32:
            case TipoCampo::ArrayDmc:
            case TipoCampo::BytesDf: total += sizeof(BYTE) + sizeof(ULONG); break;
            default: total += c.tamanho; break;  // scalars and fixed texts
        }
    }
    return total;
}

// Reads the fields of `desc` into `reg` (zeroed by the caller). On failure
// the record may hold allocations already made: pointer and count are
// stored together before any element is read, so LiberaRegistro frees
// exactly what exists.
HRESULT Le(LeitorMensagem& l, const DescricaoRegistro& desc, unsigned char* reg, int profundidade) {
    if (profundidade > kProfundidadeMaxima) return l.Recusa();
    for (const DescricaoCampo& c : desc.campos) {
        const std::size_t o = c.offset;
        switch (c.tipo) {
            case TipoCampo::U8:
            case TipoCampo::U16:
            case TipoCampo::U32:
            case TipoCampo::I32:
            case TipoCampo::U64:
            case TipoCampo::I64:
            case TipoCampo::Moeda:
            case TipoCampo::Data:
            case TipoCampo::MesAno:
            case TipoCampo::Hora:
            case TipoCampo::ChaveDmc:
            case TipoCampo::Texto:
                if (!l.LeBytes(reg + o, c.tamanho)) return l.Recusa();
                break;
            case TipoCampo::Bstr: {
                ULONG n = 0;
                if (!l.LeU32(n)) return l.Recusa();
                if (n == kBstrNulo) break;
                if (n > l.Restantes() / sizeof(OLECHAR)) return l.Recusa();
                const BSTR b = SysAllocStringLen(nullptr, n);
                if (b == nullptr) return E_OUTOFMEMORY;
                GravaNoRegistro(reg, o, b);
                if (!l.LeBytes(b, static_cast<std::size_t>(n) * sizeof(OLECHAR))) return l.Recusa();
                break;
            }
            case TipoCampo::Registro:
            case TipoCampo::TextoDf: {
                const HRESULT hr = Le(l, *c.registro, reg + o, profundidade + 1);
                if (FAILED(hr)) return hr;
                break;
            }
            case TipoCampo::Lista:
            case TipoCampo::ArrayU32:
            case TipoCampo::ArrayDmc:
            case TipoCampo::BytesDf: {
                BYTE marca = 0;
                ULONG n = 0;
                if (!l.LeU8(marca) || !l.LeU32(n)) return l.Recusa();
                if (marca == kSemElementos) {
                    GravaNoRegistro(reg, c.offsetContagem, n);
                    break;
                }
                if (marca != kComElementos || n == 0) return l.Recusa();
                const std::size_t tamanho = TamanhoElemento(c);
                const std::size_t minimo =
                    c.tipo == TipoCampo::Lista
                        ? std::max<std::size_t>(1, Minimo(*c.registro, profundidade + 1))
                        : tamanho;
                if (n > l.Restantes() / minimo) return l.Recusa();
                void* p = CoTaskMemAlloc(n * tamanho);
                if (p == nullptr) return E_OUTOFMEMORY;
                std::memset(p, 0, n * tamanho);
                GravaNoRegistro(reg, o, p);
                GravaNoRegistro(reg, c.offsetContagem, n);
                auto* elementos = static_cast<unsigned char*>(p);
                if (c.tipo != TipoCampo::Lista) {
                    if (!l.LeBytes(elementos, n * tamanho)) return l.Recusa();
                    break;
                }
                for (ULONG i = 0; i < n; ++i) {
                    const HRESULT hr = Le(l, *c.registro, elementos + i * tamanho, profundidade + 1);
                    if (FAILED(hr)) return hr;
                }
                break;
            }
            case TipoCampo::Filler:
            case TipoCampo::Contagem: break;
        }
    }
    return S_OK;
}

}  // namespace

void EscreveRegistro(EscritorMensagem& escritor, const DescricaoRegistro& desc, const void* registro) {
    Escreve(escritor, desc, static_cast<const unsigned char*>(registro));
}

HRESULT LeRegistro(LeitorMensagem& leitor, const DescricaoRegistro& desc, void* registro) {
    auto* reg = static_cast<unsigned char*>(registro);
    std::memset(reg, 0, desc.tamanho);
    const HRESULT hr = Le(leitor, desc, reg, 0);
    if (FAILED(hr)) {
        LiberaRegistro(desc, reg);
        std::memset(reg, 0, desc.tamanho);
    }
    return hr;
}

std::size_t TamanhoMinimoNaMensagem(const DescricaoRegistro& desc) { return Minimo(desc, 0); }

bool RegistroSemPonteiros(const DescricaoRegistro& desc) {
    for (const DescricaoCampo& campo : desc.campos) {
        switch (campo.tipo) {
            case TipoCampo::Bstr:
            case TipoCampo::Lista:
            case TipoCampo::ArrayU32:
            case TipoCampo::ArrayDmc:
            case TipoCampo::BytesDf:
                return false;
            case TipoCampo::Registro:
            case TipoCampo::TextoDf:
                if (campo.registro != nullptr && !RegistroSemPonteiros(*campo.registro)) return false;
                break;
            default:
                break;
        }
    }
    return true;
}

LimitesMensagem LimitesMensagemDe(std::optional<DWORD> bytesPedido, std::optional<DWORD> bytesResposta) {
    LimitesMensagem limites = kLimitesMensagemPadrao;
    if (bytesPedido && *bytesPedido != 0) limites.bytesPedido = *bytesPedido;
    if (bytesResposta && *bytesResposta != 0) limites.bytesResposta = *bytesResposta;
    return limites;
}

const LimitesMensagem& LimitesMensagemServidor() {
    static const LimitesMensagem limites =
        LimitesMensagemDe(RegLeDword(HKEY_LOCAL_MACHINE, kChaveConfiguracao, "TamanhoMaximoPedido"),
                          RegLeDword(HKEY_LOCAL_MACHINE, kChaveConfiguracao, "TamanhoMaximoResposta"));
    return limites;
}

}  // namespace zenta
