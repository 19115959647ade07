// The generic walker behind the JSON form of the interface records: one
// function each way over a record's description, recursing into nested
// records and list elements.
#include "server/QVJsonRegistros.h"

#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

#include <zenta/ObjBase.h>
#include <zenta/OleAuto.h>

#include "platform/CodePage.h"
#include "values/Calendario.h"
#include "values/QVDMA.h"
#include "values/QVMesAno.h"

namespace zenta {

namespace {

using nlohmann::json;

// Bounds on what a record may claim to hold: a count beyond these is taken
// as damage, not as data.
constexpr ULONG kMaxElementos = 1u << 20;
constexpr ULONG kMaxBytesTexto = 1u << 20;
constexpr LCID kLocaleEua = 0x0409;  // '.' as the decimal separator

struct ErroCampo {
    HRESULT hr;
    std::string mensagem;
};

[[noreturn]] void Recusa(const std::string& caminho, const std::string& motivo, HRESULT hr = E_INVALIDARG) {
    throw ErroCampo{hr, "campo " + caminho + ": " + motivo};
}

// BSTRs are UTF-16: they go to and from UTF-8 directly, so no character is
// lost on the way (record texts, being Windows-1252, go through that page).
std::string BstrParaUtf8(BSTR b) {
    const int n = static_cast<int>(SysStringLen(b));
    if (n == 0) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, b, n, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return Cp1252ParaUtf8(BstrParaCp1252(b));
    std::string s(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, b, n, s.data(), bytes, nullptr, nullptr);
    return s;
}

BSTR Utf8ParaBstr(const std::string& s) {
    if (s.empty()) return SysAllocStringLen(u"", 0);
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return Cp1252ParaBstr(Utf8ParaCp1252(s));
    BSTR b = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (b != nullptr) MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), b, n);
    return b;
}

std::string DoisDigitos(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

// ---- Record -> JSON ------------------------------------------------------

std::string TextoMoeda(CY cy) {
    BSTR b = nullptr;
    if (FAILED(VarBstrFromCy(cy, kLocaleEua, 0, &b)) || b == nullptr) throw std::bad_alloc();
    std::string texto;
    for (UINT i = 0, n = SysStringLen(b); i < n; ++i) texto.push_back(static_cast<char>(b[i]));
    SysFreeString(b);
    return texto;
}

json TextoDfParaJson(const unsigned char* reg, std::size_t offContagem, std::size_t offPtr, const std::string& caminho) {
    const ULONG n = LeNoRegistro<ULONG>(reg, offContagem);
    if (n == 0) return "";
    if (n > kMaxBytesTexto) Recusa(caminho, "texto de " + std::to_string(n) + " bytes");
    const auto* p = LeNoRegistro<const char*>(reg, offPtr);
    if (p == nullptr) Recusa(caminho, "contagem sem texto");
    if (p[n - 1] != '\0' || std::memchr(p, 0, n - 1) != nullptr)
        Recusa(caminho, "texto sem o zero final na contagem de bytes");
    return Cp1252ParaUtf8(std::string_view(p, n - 1));
}

void ParaJson(const DescricaoRegistro& desc, const unsigned char* reg, json& saida, const std::string& prefixo);

json CampoParaJson(const DescricaoCampo& c, const unsigned char* reg, const std::string& caminho) {
    const std::size_t o = c.offset;
    switch (c.tipo) {
        case TipoCampo::U8: return LeNoRegistro<BYTE>(reg, o);
        case TipoCampo::U16: return LeNoRegistro<USHORT>(reg, o);
        case TipoCampo::U32: return LeNoRegistro<ULONG>(reg, o);
        case TipoCampo::I32:
        case TipoCampo::Hora: return LeNoRegistro<LONG>(reg, o);
        case TipoCampo::U64:
        case TipoCampo::ChaveDmc: return LeNoRegistro<ULONGLONG>(reg, o);
        case TipoCampo::I64: return LeNoRegistro<LONGLONG>(reg, o);
        case TipoCampo::Moeda: return TextoMoeda(LeNoRegistro<CY>(reg, o));
        case TipoCampo::Data: {
            const ULONG v = LeNoRegistro<ULONG>(reg, o);
            if (v == 0) return nullptr;
            if (v < 2 || v > calendario::kUltimoDia) Recusa(caminho, "data fora do calendário: " + std::to_string(v));
            int d = 0, m = 0, a = 0;
            REG_QVDMA(v).GetDMA(d, m, a);
            return std::to_string(a) + "-" + DoisDigitos(m) + "-" + DoisDigitos(d);
        }
        case TipoCampo::MesAno: {
            const USHORT v = LeNoRegistro<USHORT>(reg, o);
            if (v == 0) return nullptr;
            if (v > QVMA_MAXIMO) Recusa(caminho, "mês/ano fora do calendário: " + std::to_string(v));
            int m = 0, a = 0;
            QVMAToMesAno(v, m, a);
            return std::to_string(a) + "-" + DoisDigitos(m);
        }
        case TipoCampo::Texto: {
            const auto* p = reinterpret_cast<const char*>(reg + o);
            const void* fim = std::memchr(p, 0, c.tamanho);
            if (fim == nullptr) Recusa(caminho, "texto sem terminador no campo");
            return Cp1252ParaUtf8(std::string_view(p, static_cast<std::size_t>(static_cast<const char*>(fim) - p)));
        }
        case TipoCampo::Bstr: {
            const BSTR b = LeNoRegistro<BSTR>(reg, o);
            if (b == nullptr) return nullptr;
            return BstrParaUtf8(b);
        }
        case TipoCampo::Registro: {
            json j;
            ParaJson(*c.registro, reg + o, j, caminho + ".");
            return j;
        }
        case TipoCampo::Lista:
        case TipoCampo::ArrayU32:
        case TipoCampo::ArrayDmc: {
            const ULONG n = LeNoRegistro<ULONG>(reg, c.offsetContagem);
            const auto* p = LeNoRegistro<const unsigned char*>(reg, o);
            json j = json::array();
            if (n == 0) return j;
            if (n > kMaxElementos) Recusa(caminho, "contagem de " + std::to_string(n) + " elementos");
            if (p == nullptr) Recusa(caminho, "contagem de " + std::to_string(n) + " sem array");
            for (ULONG i = 0; i < n; ++i) {
                if (c.tipo == TipoCampo::ArrayU32) {
                    j.push_back(LeNoRegistro<ULONG>(p, i * sizeof(ULONG)));
                } else if (c.tipo == TipoCampo::ArrayDmc) {
                    j.push_back(LeNoRegistro<ULONGLONG>(p, i * sizeof(ULONGLONG)));
                } else {
                    json e;
                    ParaJson(*c.registro, p + i * c.registro->tamanho, e, caminho + "[" + std::to_string(i) + "].");
                    j.push_back(std::move(e));
                }
            }
            return j;
        }
        case TipoCampo::BytesDf: return TextoDfParaJson(reg, c.offsetContagem, o, caminho);
        case TipoCampo::TextoDf:
            return TextoDfParaJson(reg + o, offsetof(_REG_DF_TEXTOPS, ulQtdBytes), offsetof(_REG_DF_TEXTOPS, pTexto),
                                   caminho);
        case TipoCampo::Filler:
        case TipoCampo::Contagem: break;
    }
    return nullptr;
}

bool Carregado(TipoCampo t) { return t != TipoCampo::Filler && t != TipoCampo::Contagem; }

void ParaJson(const DescricaoRegistro& desc, const unsigned char* reg, json& saida, const std::string& prefixo) {
    saida = json::object();
    for (const DescricaoCampo& c : desc.campos) {
        if (Carregado(c.tipo)) saida[c.nome] = CampoParaJson(c, reg, prefixo + c.nome);
    }
}

// ---- JSON -> record ------------------------------------------------------

template <class T>
T Inteiro(const json& v, const std::string& caminho) {
    if (v.is_number_unsigned()) {
        const auto x = v.get<std::uint64_t>();
        if (std::in_range<T>(x)) return static_cast<T>(x);
    } else if (v.is_number_integer()) {
        const auto x = v.get<std::int64_t>();
        if (std::in_range<T>(x)) return static_cast<T>(x);
    } else {
        Recusa(caminho, "esperado um número inteiro");
    }
    Recusa(caminho, "número fora do intervalo: " + v.dump());
}

const std::string& Texto(const json& v, const std::string& caminho) {
    if (!v.is_string()) Recusa(caminho, "esperado um texto");
    const std::string& s = v.get_ref<const std::string&>();
    if (s.find('\0') != std::string::npos) Recusa(caminho, "texto com caractere nulo");
    return s;
}

// "-123.4567": an optional sign, digits, and at most four decimals; the
// value must fit a CY exactly.
CY Moeda(const json& v, const std::string& caminho) {
    const std::string& s = Texto(v, caminho);
    std::size_t i = 0;
    const bool negativo = !s.empty() && s[0] == '-';
    if (negativo) ++i;
    std::uint64_t inteiro = 0, fracao = 0;
    std::size_t digitos = 0, decimais = 0;
    constexpr std::uint64_t kLimite = std::uint64_t{1} << 63;  // |INT64_MIN|
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digitos) {
        inteiro = inteiro * 10 + static_cast<std::uint64_t>(s[i] - '0');
        if (inteiro > kLimite / 10000) Recusa(caminho, "valor monetário fora do intervalo: " + s);
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++decimais) {
            if (decimais == 4) Recusa(caminho, "valor monetário com mais de 4 decimais: " + s);
            fracao = fracao * 10 + static_cast<std::uint64_t>(s[i] - '0');
        }
        if (decimais == 0) digitos = 0;
    }
    if (digitos == 0 || i != s.size()) Recusa(caminho, "valor monetário inválido: \"" + s + "\"");
    for (std::size_t k = decimais; k < 4; ++k) fracao *= 10;
    const std::uint64_t magnitude = inteiro * 10000 + fracao;
    if (magnitude > (negativo ? kLimite : kLimite - 1)) Recusa(caminho, "valor monetário fora do intervalo: " + s);
    CY cy;
    cy.int64 = negativo ? static_cast<LONGLONG>(0 - magnitude) : static_cast<LONGLONG>(magnitude);
    return cy;
}

bool Digitos(const std::string& s, std::size_t de, std::size_t n, int& valor) {
    valor = 0;
    for (std::size_t i = de; i < de + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        valor = valor * 10 + (s[i] - '0');
    }
    return true;
}

ULONG Data(const json& v, const std::string& caminho) {
    if (v.is_null()) return 0;
    const std::string& s = Texto(v, caminho);
    int d = 0, m = 0, a = 0;
    if (s.size() != 10 || s[4] != '-' || s[7] != '-' || !Digitos(s, 0, 4, a) || !Digitos(s, 5, 2, m) ||
        !Digitos(s, 8, 2, d) || !calendario::AnoValido(a) || d < 1 || d > calendario::DiasNoMes(m, a))
        Recusa(caminho, "data inválida (AAAA-MM-DD): \"" + s + "\"");
    return REG_QVDMA(d, m, a).GetData();
}

USHORT MesAno(const json& v, const std::string& caminho) {
    if (v.is_null()) return 0;
    const std::string& s = Texto(v, caminho);
    int m = 0, a = 0;
    if (s.size() != 7 || s[4] != '-' || !Digitos(s, 0, 4, a) || !Digitos(s, 5, 2, m) || !calendario::AnoValido(a) ||
        m < 1 || m > 12)
        Recusa(caminho, "mês/ano inválido (AAAA-MM): \"" + s + "\"");
    return QVMAFromMesAno(m, a);
}

void* Aloca(std::size_t bytes, const std::string& caminho) {
    void* p = CoTaskMemAlloc(bytes);
    if (p == nullptr) Recusa(caminho, "memória insuficiente", E_OUTOFMEMORY);
    std::memset(p, 0, bytes);
    return p;
}

void TextoDfDeJson(const json& v, unsigned char* reg, std::size_t offContagem, std::size_t offPtr,
                   const std::string& caminho) {
    const std::string cp = Utf8ParaCp1252(Texto(v, caminho));
    if (cp.empty()) return;
    if (cp.size() + 1 > kMaxBytesTexto) Recusa(caminho, "texto maior que " + std::to_string(kMaxBytesTexto - 1) + " bytes");
    auto* p = static_cast<char*>(Aloca(cp.size() + 1, caminho));
    std::memcpy(p, cp.data(), cp.size());
    GravaNoRegistro(reg, offPtr, p);
    GravaNoRegistro(reg, offContagem, static_cast<ULONG>(cp.size() + 1));
}

void DeJson(const DescricaoRegistro& desc, const json& j, unsigned char* reg, const std::string& prefixo);

void CampoDeJson(const DescricaoCampo& c, const json& v, unsigned char* reg, const std::string& caminho) {
    const std::size_t o = c.offset;
    switch (c.tipo) {
        case TipoCampo::U8: GravaNoRegistro(reg, o, Inteiro<BYTE>(v, caminho)); break;
        case TipoCampo::U16: GravaNoRegistro(reg, o, Inteiro<USHORT>(v, caminho)); break;
        case TipoCampo::U32: GravaNoRegistro(reg, o, Inteiro<ULONG>(v, caminho)); break;
        case TipoCampo::I32:
        case TipoCampo::Hora: GravaNoRegistro(reg, o, Inteiro<LONG>(v, caminho)); break;
        case TipoCampo::U64:
        case TipoCampo::ChaveDmc: GravaNoRegistro(reg, o, Inteiro<ULONGLONG>(v, caminho)); break;
        case TipoCampo::I64: GravaNoRegistro(reg, o, Inteiro<LONGLONG>(v, caminho)); break;
        case TipoCampo::Moeda: GravaNoRegistro(reg, o, Moeda(v, caminho)); break;
        case TipoCampo::Data: GravaNoRegistro(reg, o, Data(v, caminho)); break;
        case TipoCampo::MesAno: GravaNoRegistro(reg, o, MesAno(v, caminho)); break;
        case TipoCampo::Texto: {
            const std::string cp = Utf8ParaCp1252(Texto(v, caminho));
            if (cp.size() >= c.tamanho) Recusa(caminho, "texto maior que " + std::to_string(c.tamanho - 1) + " bytes");
            std::memcpy(reg + o, cp.data(), cp.size());
            break;
        }
        case TipoCampo::Bstr: {
            if (v.is_null()) break;
            const BSTR b = Utf8ParaBstr(Texto(v, caminho));
            if (b == nullptr) Recusa(caminho, "memória insuficiente", E_OUTOFMEMORY);
            GravaNoRegistro(reg, o, b);
            break;
        }
        case TipoCampo::Registro: DeJson(*c.registro, v, reg + o, caminho + "."); break;
        case TipoCampo::Lista:
        case TipoCampo::ArrayU32:
        case TipoCampo::ArrayDmc: {
            if (!v.is_array()) Recusa(caminho, "esperado um array");
            if (v.size() > kMaxElementos) Recusa(caminho, "mais de " + std::to_string(kMaxElementos) + " elementos");
            const auto n = static_cast<ULONG>(v.size());
            if (n == 0) break;
            const std::size_t tamanho = c.tipo == TipoCampo::Lista    ? c.registro->tamanho
                                        : c.tipo == TipoCampo::ArrayU32 ? sizeof(ULONG)
                                                                        : sizeof(ULONGLONG);
            // Pointer and count are stored together before any element is
            // filled, so a failure further on frees exactly what exists.
            auto* p = static_cast<unsigned char*>(Aloca(tamanho * n, caminho));
            GravaNoRegistro(reg, o, p);
            GravaNoRegistro(reg, c.offsetContagem, n);
            for (ULONG i = 0; i < n; ++i) {
                const std::string ci = caminho + "[" + std::to_string(i) + "]";
                if (c.tipo == TipoCampo::ArrayU32) {
                    GravaNoRegistro(p, i * tamanho, Inteiro<ULONG>(v[i], ci));
                } else if (c.tipo == TipoCampo::ArrayDmc) {
                    GravaNoRegistro(p, i * tamanho, Inteiro<ULONGLONG>(v[i], ci));
                } else {
                    DeJson(*c.registro, v[i], p + i * tamanho, ci + ".");
                }
            }
            break;
        }
        case TipoCampo::BytesDf: TextoDfDeJson(v, reg, c.offsetContagem, o, caminho); break;
        case TipoCampo::TextoDf:
            TextoDfDeJson(v, reg + o, offsetof(_REG_DF_TEXTOPS, ulQtdBytes), offsetof(_REG_DF_TEXTOPS, pTexto), caminho);
            break;
        case TipoCampo::Filler:
        case TipoCampo::Contagem: break;
    }
}

void DeJson(const DescricaoRegistro& desc, const json& j, unsigned char* reg, const std::string& prefixo) {
    const std::string nomeObjeto = prefixo.empty() ? std::string(desc.nome) : prefixo.substr(0, prefixo.size() - 1);
    if (!j.is_object()) Recusa(nomeObjeto, "esperado um objeto");
    for (const auto& [chave, valor] : j.items()) {
        const DescricaoCampo* campo = nullptr;
        for (const DescricaoCampo& c : desc.campos) {
            if (Carregado(c.tipo) && chave == c.nome) campo = &c;
        }
        if (campo == nullptr) Recusa(prefixo + chave, std::string("campo desconhecido em ") + desc.nome);
        CampoDeJson(*campo, valor, reg, prefixo + chave);
    }
}

}  // namespace

HRESULT RegistroParaJson(const DescricaoRegistro& desc, const void* registro, nlohmann::json& saida,
                         std::string& erro) {
    erro.clear();
    try {
        json j;
        ParaJson(desc, static_cast<const unsigned char*>(registro), j, "");
        saida = std::move(j);
        return S_OK;
    } catch (const ErroCampo& e) {
        erro = e.mensagem;
        return e.hr;
    } catch (const std::bad_alloc&) {
        erro = "memória insuficiente";
        return E_OUTOFMEMORY;
    } catch (const nlohmann::json::exception& e) {
        erro = e.what();
        return E_INVALIDARG;
    }
}

HRESULT JsonParaRegistro(const DescricaoRegistro& desc, const nlohmann::json& entrada, void* registro,
                         std::string& erro) {
    erro.clear();
    auto* reg = static_cast<unsigned char*>(registro);
    std::memset(reg, 0, desc.tamanho);
    HRESULT hr = S_OK;
    try {
        DeJson(desc, entrada, reg, "");
        return S_OK;
    } catch (const ErroCampo& e) {
        erro = e.mensagem;
        hr = e.hr;
    } catch (const std::bad_alloc&) {
        erro = "memória insuficiente";
        hr = E_OUTOFMEMORY;
    } catch (const nlohmann::json::exception& e) {
        erro = e.what();
        hr = E_INVALIDARG;
    }
    LiberaRegistro(desc, reg);
    std::memset(reg, 0, desc.tamanho);
    return hr;
}

}  // namespace zenta
