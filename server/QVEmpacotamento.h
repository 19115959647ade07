// The call messages of interfaces served out of process: a compact
// little-endian byte codec, the interface records written and read through
// their descriptions (QVDescricaoTipos.h), and the parameter kinds from which
// a proxy method and its stub are generated.
//
// Record form, field by field in description order:
//   scalars (U8 ... ChaveDmc)   their bytes, little-endian
//   Texto                       the field's fixed bytes
//   Bstr                        u32 length in UTF-16 units (0xFFFFFFFF = null BSTR), then the units
//   Filler, Contagem            nothing (a receiver zeroes fillers and reserved pointers; counts
//                               travel with their lists)
//   Registro, TextoDf           the nested record
//   Lista, ArrayU32, ArrayDmc,  u8 1 = elements follow, u32 count, then the elements;
//   BytesDf                     u8 0 = no elements, u32 count kept as given (a null array with
//                               a count reaches the callee as the caller wrote it, so the callee
//                               refuses it as it would in-process)
//
// A reader takes every length and count as hostile: it is checked against
// the bytes left before anything is allocated, nesting is bounded, and a
// record that fails to read is left zeroed with everything it allocated
// freed. What the reader builds is allocated as the in-process service
// allocates it (CoTaskMemAlloc for arrays and texts, SysAllocString for
// BSTRs), so it is freed the same way (LiberaRegistro).
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include <zenta/ObjBase.h>
#include <zenta/WinTypes.h>

#include "platform/rpc/QVInterfaceRemota.h"
#include "records/QVDescricaoTipos.h"
#include "server/QVJsonRegistros.h"

namespace zenta {

static_assert(std::endian::native == std::endian::little,
              "records are little-endian in memory and on the wire; a big-endian host needs byte swapping");

// Appends values to a message.
class EscritorMensagem {
public:
    explicit EscritorMensagem(std::string& destino) : m_destino(destino) {}

    void EscreveU8(BYTE v) { m_destino.push_back(static_cast<char>(v)); }
    void EscreveU32(ULONG v) { EscreveBytes(&v, sizeof v); }
    // A scalar of 1, 2, 4 or 8 bytes as it lies in memory (little-endian).
    void EscreveEscalar(const void* valor, std::size_t tamanho) { EscreveBytes(valor, tamanho); }
    void EscreveBytes(const void* dados, std::size_t tamanho) {
        if (tamanho != 0) m_destino.append(static_cast<const char*>(dados), tamanho);
    }

private:
    std::string& m_destino;
};

// Reads values from a message without ever reading past its end. Every read
// answers false when the message has fewer bytes left than it needs.
// `codigoRecusa` is what the side reading answers for a message that does
// not fit: HR_RPC_X_BAD_STUB_DATA for a stub, RPC_E_INVALID_DATA for a proxy.
class LeitorMensagem {
public:
    LeitorMensagem(std::string_view dados, HRESULT codigoRecusa) : m_dados(dados), m_codigoRecusa(codigoRecusa) {}

    bool LeU8(BYTE& v) { return LeBytes(&v, sizeof v); }
    bool LeU32(ULONG& v) { return LeBytes(&v, sizeof v); }
    bool LeEscalar(void* valor, std::size_t tamanho) { return LeBytes(valor, tamanho); }
    bool LeBytes(void* destino, std::size_t tamanho) {
        if (tamanho > m_dados.size() - m_posicao) return false;
        if (tamanho != 0) std::memcpy(destino, m_dados.data() + m_posicao, tamanho);
        m_posicao += tamanho;
        return true;
    }

    std::size_t Restantes() const { return m_dados.size() - m_posicao; }
    bool Fim() const { return m_posicao == m_dados.size(); }
    HRESULT Recusa() const { return m_codigoRecusa; }

private:
    std::string_view m_dados;
    std::size_t m_posicao = 0;
    HRESULT m_codigoRecusa;
};

// Appends `registro`. Throws std::bad_alloc (or std::length_error) when the
// message cannot grow.
void EscreveRegistro(EscritorMensagem& escritor, const DescricaoRegistro& desc, const void* registro);

// Reads a record into `registro`, overwriting it. S_OK, the reader's refusal
// code for a message that does not fit the description, or E_OUTOFMEMORY; on
// failure the record is zeroed and nothing stays allocated.
HRESULT LeRegistro(LeitorMensagem& leitor, const DescricaoRegistro& desc, void* registro);

// The fewest bytes a record of `desc` takes in a message: what a count of
// such records must at least find left before an array of them is allocated.
std::size_t TamanhoMinimoNaMensagem(const DescricaoRegistro& desc);

// True when a record of `desc` holds no pointer anywhere (no list, array,
// byte run or BSTR, also in nested records): its bytes alone are its value.
bool RegistroSemPonteiros(const DescricaoRegistro& desc);

// ---- Arguments -----------------------------------------------------------------
// How one argument type is written and read: scalars by their size, records
// through their description.
template <class T>
struct CodecArgumento {
    static void Escreve(EscritorMensagem& e, const T& v) {
        if constexpr (std::is_arithmetic_v<T>) e.EscreveEscalar(&v, sizeof v);
        else EscreveRegistro(e, DescricaoDe<T>(), &v);
    }
    static HRESULT Le(LeitorMensagem& l, T& v) {
        if constexpr (std::is_arithmetic_v<T>) {
            return l.LeEscalar(&v, sizeof v) ? S_OK : l.Recusa();
        } else {
            return LeRegistro(l, DescricaoDe<T>(), &v);
        }
    }
    static void Libera(T& v) {
        if constexpr (!std::is_arithmetic_v<T>) LiberaRegistro(DescricaoDe<T>(), &v);
    }
    static std::size_t Minimo() {
        if constexpr (std::is_arithmetic_v<T>) return sizeof(T);
        else return TamanhoMinimoNaMensagem(DescricaoDe<T>());
    }
    // Values without pointers can also travel to the object as they are.
    static bool SemPonteiros() {
        if constexpr (std::is_arithmetic_v<T>) return true;
        else return RegistroSemPonteiros(DescricaoDe<T>());
    }
};

// Reads the presence byte of a pointer argument: 0 (null) or 1.
inline HRESULT LePresenca(LeitorMensagem& l, bool& presente) {
    BYTE b = 0;
    if (!l.LeU8(b) || b > 1) return l.Recusa();
    presente = b == 1;
    return S_OK;
}

// ---- Parameter kinds ----------------------------------------------------------------
// The records are packed (alignment 1); the copies the proxy and the stub
// keep sit at the alignment of an 8-byte pointer, as a caller's own record
// variables do, so code that takes references to their pointer fields finds
// them aligned.
inline constexpr std::size_t kAlinhamentoArgumento = 8;

// Each kind says, for one parameter, what the proxy sends and takes back
// (`Cliente`) and what the stub reads, hands to the method, sends back and
// frees (`Servidor`). A pointer argument carries a presence byte, so that a
// null the proxy lets through reaches the object as null.

// [in] by value: a scalar or a record.
template <class T>
struct Entrada {
    using Parametro = T;

    class Cliente {
    public:
        explicit Cliente(const T& valor) : m_valor(valor) {}
        template <class Brutos>
        void EscrevePedido(EscritorMensagem& e, const Brutos&) const {
            CodecArgumento<T>::Escreve(e, m_valor);
        }
        bool EsperaResposta() const { return false; }
        HRESULT LeResposta(LeitorMensagem&) { return S_OK; }
        void Entrega() {}
        void Descarta() {}
        void ZeraSaida() {}

    private:
        const T& m_valor;
    };

    class Servidor {
    public:
        Servidor() = default;
        Servidor(const Servidor&) = delete;
        Servidor& operator=(const Servidor&) = delete;
        ~Servidor() { CodecArgumento<T>::Libera(m_valor); }
        template <class Estados>
        HRESULT LePedido(LeitorMensagem& l, const Estados&) {
            return CodecArgumento<T>::Le(l, m_valor);
        }
        // A record passed by value reaches the method as a copy of this one,
        // which keeps (and frees) what its pointers hold.
        T Argumento() const { return m_valor; }
        void EscreveResposta(EscritorMensagem&) const {}
        const T& Valor() const { return m_valor; }

    private:
        alignas(kAlinhamentoArgumento) T m_valor{};
    };
};

// A pointer to a scalar or a record the method writes through. The null
// pointer is carried and the object answers for it itself, as it does
// in-process (an uninitialised object refuses the call before it looks at
// its arguments).
//
//   Saida<T>           [out]. A value without pointers also travels to the
//                      object, so that what the method leaves alone (a field
//                      it does not fill, a result on a refused call) stays as
//                      the caller had it, as in-process. A record with
//                      pointers starts from zero in the server: the caller's
//                      pointers mean nothing there. When the call never ran,
//                      the caller's value is zeroed.
//   SaidaSubstitui<T>  [out] for methods that free the list they are handed
//                      before filling it: the caller's record is freed before
//                      the answer replaces it.
//   EntradaSaida<T>    [in, out]: the value always travels both ways; the
//                      caller's nested allocations (CoTaskMemAlloc /
//                      SysAllocString) are freed before the answer replaces
//                      it; a call that never ran leaves the value as it was.
template <class T, bool kEntrada, bool kLiberaAnterior>
struct ArgumentoPonteiro {
    using Parametro = T*;

    static bool Envia() { return kEntrada || CodecArgumento<T>::SemPonteiros(); }

    class Cliente {
    public:
        explicit Cliente(T* destino) : m_destino(destino) {}
        template <class Brutos>
        void EscrevePedido(EscritorMensagem& e, const Brutos&) const {
            e.EscreveU8(m_destino != nullptr ? 1 : 0);
            if (m_destino != nullptr && Envia()) CodecArgumento<T>::Escreve(e, *m_destino);
        }
        bool EsperaResposta() const { return m_destino != nullptr; }
        HRESULT LeResposta(LeitorMensagem& l) {
            if (m_destino == nullptr) return S_OK;
            const HRESULT hr = CodecArgumento<T>::Le(l, m_recebido);
            m_recebeu = SUCCEEDED(hr);
            return hr;
        }
        void Entrega() {
            if (m_destino != nullptr) {
                if constexpr (kLiberaAnterior) CodecArgumento<T>::Libera(*m_destino);
                *m_destino = m_recebido;
            }
            m_recebeu = false;
        }
        void Descarta() {
            if (m_recebeu) CodecArgumento<T>::Libera(m_recebido);
            m_recebeu = false;
        }
        void ZeraSaida() {
            if constexpr (!kEntrada) {
                if (m_destino != nullptr) std::memset(static_cast<void*>(m_destino), 0, sizeof(T));
            }
        }

    private:
        T* m_destino;
        alignas(kAlinhamentoArgumento) T m_recebido{};
        bool m_recebeu = false;
    };

    class Servidor {
    public:
        Servidor() = default;
        Servidor(const Servidor&) = delete;
        Servidor& operator=(const Servidor&) = delete;
        ~Servidor() { CodecArgumento<T>::Libera(m_valor); }
        template <class Estados>
        HRESULT LePedido(LeitorMensagem& l, const Estados&) {
            const HRESULT hr = LePresenca(l, m_presente);
            if (FAILED(hr) || !m_presente || !Envia()) return hr;
            return CodecArgumento<T>::Le(l, m_valor);
        }
        T* Argumento() { return m_presente ? &m_valor : nullptr; }
        void EscreveResposta(EscritorMensagem& e) const {
            if (m_presente) CodecArgumento<T>::Escreve(e, m_valor);
        }

    private:
        alignas(kAlinhamentoArgumento) T m_valor{};
        bool m_presente = false;
    };
};
template <class T>
using Saida = ArgumentoPonteiro<T, false, false>;
template <class T>
using SaidaSubstitui = ArgumentoPonteiro<T, false, true>;
template <class T>
using EntradaSaida = ArgumentoPonteiro<T, true, true>;

// [in] array of T whose element count is the ULONG parameter at position
// `kContagem` (which comes before it). A null array is carried as null.
template <class T, std::size_t kContagem>
struct EntradaArray {
    using Parametro = T*;

    class Cliente {
    public:
        explicit Cliente(T* origem) : m_origem(origem) {}
        template <class Brutos>
        void EscrevePedido(EscritorMensagem& e, const Brutos& brutos) const {
            static_assert(std::is_same_v<std::tuple_element_t<kContagem, Brutos>, ULONG>,
                          "the count of an array is a ULONG parameter");
            e.EscreveU8(m_origem != nullptr ? 1 : 0);
            if (m_origem == nullptr) return;
            const ULONG n = std::get<kContagem>(brutos);
            for (ULONG i = 0; i < n; ++i) CodecArgumento<T>::Escreve(e, m_origem[i]);
        }
        bool EsperaResposta() const { return false; }
        HRESULT LeResposta(LeitorMensagem&) { return S_OK; }
        void Entrega() {}
        void Descarta() {}
        void ZeraSaida() {}

    private:
        const T* m_origem;
    };

    class Servidor {
    public:
        Servidor() = default;
        Servidor(const Servidor&) = delete;
        Servidor& operator=(const Servidor&) = delete;
        ~Servidor() {
            for (T& e : m_elementos) CodecArgumento<T>::Libera(e);
        }
        template <class Estados>
        HRESULT LePedido(LeitorMensagem& l, const Estados& estados) {
            HRESULT hr = LePresenca(l, m_presente);
            if (FAILED(hr) || !m_presente) return hr;
            const ULONG n = std::get<kContagem>(estados).Valor();
            // Every element takes at least this many bytes: a count the
            // message cannot hold is refused before the array exists.
            const std::size_t minimo = std::max<std::size_t>(1, CodecArgumento<T>::Minimo());
            if (n > l.Restantes() / minimo) return l.Recusa();
            try {
                // One element at least: a non-null array of none stays non-null.
                m_elementos.resize(std::max<std::size_t>(n, 1));
            } catch (const std::bad_alloc&) {
                return E_OUTOFMEMORY;
            }
            for (ULONG i = 0; i < n && SUCCEEDED(hr); ++i) hr = CodecArgumento<T>::Le(l, m_elementos[i]);
            return hr;
        }
        T* Argumento() { return m_presente ? m_elementos.data() : nullptr; }
        void EscreveResposta(EscritorMensagem&) const {}

    private:
        std::vector<T> m_elementos;
        bool m_presente = false;
    };
};

// [out] T**: the callee hands out a record it allocated with CoTaskMemAlloc
// (or null). The receiving side allocates it the same way. A null T** is
// carried: the object answers for it.
template <class T>
struct SaidaRegistroAlocado {
    using Parametro = T**;

    class Cliente {
    public:
        explicit Cliente(T** destino) : m_destino(destino) {}
        template <class Brutos>
        void EscrevePedido(EscritorMensagem& e, const Brutos&) const {
            e.EscreveU8(m_destino != nullptr ? 1 : 0);
        }
        bool EsperaResposta() const { return m_destino != nullptr; }
        HRESULT LeResposta(LeitorMensagem& l) {
            if (m_destino == nullptr) return S_OK;
            bool presente = false;
            HRESULT hr = LePresenca(l, presente);
            if (FAILED(hr) || !presente) return hr;
            m_recebido = static_cast<T*>(CoTaskMemAlloc(sizeof(T)));
            if (m_recebido == nullptr) return E_OUTOFMEMORY;
            std::memset(static_cast<void*>(m_recebido), 0, sizeof(T));
            hr = CodecArgumento<T>::Le(l, *m_recebido);
            if (FAILED(hr)) {
                CoTaskMemFree(m_recebido);
                m_recebido = nullptr;
            }
            return hr;
        }
        void Entrega() {
            if (m_destino != nullptr) *m_destino = m_recebido;
            m_recebido = nullptr;
        }
        void Descarta() {
            if (m_recebido != nullptr) {
                CodecArgumento<T>::Libera(*m_recebido);
                CoTaskMemFree(m_recebido);
            }
            m_recebido = nullptr;
        }
        void ZeraSaida() {
            if (m_destino != nullptr) *m_destino = nullptr;
        }

    private:
        T** m_destino;
        T* m_recebido = nullptr;
    };

    class Servidor {
    public:
        Servidor() = default;
        Servidor(const Servidor&) = delete;
        Servidor& operator=(const Servidor&) = delete;
        ~Servidor() {
            if (m_valor != nullptr) {
                CodecArgumento<T>::Libera(*m_valor);
                CoTaskMemFree(m_valor);
            }
        }
        template <class Estados>
        HRESULT LePedido(LeitorMensagem& l, const Estados&) {
            return LePresenca(l, m_presente);
        }
        T** Argumento() { return m_presente ? &m_valor : nullptr; }
        void EscreveResposta(EscritorMensagem& e) const {
            if (!m_presente) return;
            e.EscreveU8(m_valor != nullptr ? 1 : 0);
            if (m_valor != nullptr) CodecArgumento<T>::Escreve(e, *m_valor);
        }

    private:
        T* m_valor = nullptr;
        bool m_presente = false;
    };
};

// ---- Methods ----------------------------------------------------------------------------

template <class P>
struct InterfaceDoMetodo;
template <class I, class... A>
struct InterfaceDoMetodo<HRESULT (STDMETHODCALLTYPE I::*)(A...)> {
    using Tipo = I;
    using Parametros = std::tuple<A...>;
};

// One method of an interface: its slot, the member it calls and the kind of
// each parameter, in order. The kinds must give the member's exact
// parameter types.
template <ULONG kSlotMetodo, auto kMembro, class... K>
struct Metodo {
    using Interface = typename InterfaceDoMetodo<decltype(kMembro)>::Tipo;
    static_assert(std::is_same_v<typename InterfaceDoMetodo<decltype(kMembro)>::Parametros,
                                 std::tuple<typename K::Parametro...>>,
                  "the parameter kinds do not match the method");
    static constexpr ULONG kSlot = kSlotMetodo;

    // Proxy side: marshals the arguments, calls over `canal`, and puts the
    // [out] values in place, also when the method failed. A message back that
    // does not fit is refused with RPC_E_INVALID_DATA, leaving [out]
    // arguments zeroed and nothing allocated.
    static HRESULT ChamaRemoto(rpc::CanalObjeto& canal, REFIID iid, typename K::Parametro... args) {
        const std::tuple<typename K::Parametro...> brutos(args...);
        std::tuple<typename K::Cliente...> partes(args...);
        std::string entrada;
        try {
            EscritorMensagem e(entrada);
            std::apply([&](const auto&... p) { (p.EscrevePedido(e, brutos), ...); }, partes);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (const std::length_error&) {
            return E_OUTOFMEMORY;
        }
        std::string saida;
        const HRESULT hr = canal.Chama(iid, kSlot, entrada, saida);

        const bool espera = std::apply([](const auto&... p) { return (false || ... || p.EsperaResposta()); }, partes);
        auto zera = [&] { std::apply([](auto&... p) { (p.ZeraSaida(), ...); }, partes); };
        if (!espera) return saida.empty() ? hr : RPC_E_INVALID_DATA;
        if (saida.empty()) {
            // The call did not run (the transport or the stub refused it).
            zera();
            return FAILED(hr) ? hr : RPC_E_INVALID_DATA;
        }
        LeitorMensagem l(saida, RPC_E_INVALID_DATA);
        HRESULT hrLeitura = S_OK;
        std::apply([&](auto&... p) { ((hrLeitura = SUCCEEDED(hrLeitura) ? p.LeResposta(l) : hrLeitura), ...); },
                   partes);
        if (SUCCEEDED(hrLeitura) && !l.Fim()) hrLeitura = RPC_E_INVALID_DATA;
        if (FAILED(hrLeitura)) {
            std::apply([](auto&... p) { (p.Descarta(), ...); }, partes);
            zera();
            return hrLeitura;
        }
        std::apply([](auto&... p) { (p.Entrega(), ...); }, partes);
        return hr;
    }

    // Stub side: reads the [in] arguments, runs the method on `objeto` and
    // marshals its [out] arguments into `saida`, also when it failed.
    // `recusada` tells a message refused before the method ran (the result is
    // then the refusal code and `saida` is empty).
    static HRESULT Despacha(IUnknown* objeto, std::string_view entrada, std::string& saida, bool& recusada) {
        saida.clear();
        recusada = false;
        std::tuple<typename K::Servidor...> estados;
        LeitorMensagem l(entrada, HR_RPC_X_BAD_STUB_DATA);
        HRESULT hr = S_OK;
        std::apply([&](auto&... s) { ((hr = SUCCEEDED(hr) ? s.LePedido(l, estados) : hr), ...); }, estados);
        if (SUCCEEDED(hr) && !l.Fim()) hr = HR_RPC_X_BAD_STUB_DATA;
        if (FAILED(hr)) {
            recusada = true;
            return hr;
        }
        auto* alvo = static_cast<Interface*>(objeto);
        hr = std::apply([&](auto&... s) { return (alvo->*kMembro)(s.Argumento()...); }, estados);
        try {
            EscritorMensagem e(saida);
            std::apply([&](const auto&... s) { (s.EscreveResposta(e), ...); }, estados);
        } catch (const std::exception&) {
            saida.clear();
            recusada = true;
            return E_OUTOFMEMORY;
        }
        return hr;
    }
};

// A request or an answer larger than the server's limit.
inline constexpr HRESULT E_QV_MENSAGEM_EXCEDE_LIMITE = HRESULT_FROM_WIN32(1816u);  // ERROR_NOT_ENOUGH_QUOTA

// How large a request the server decodes and how large an answer it sends:
// the DWORD values "TamanhoMaximoPedido" and "TamanhoMaximoResposta" (bytes)
// under HKLM\SOFTWARE\Wow6432Node\QV Sistemas, read once per process;
// absent or 0, 16 MiB and 64 MiB. They bound what one client makes the
// server hold for a call, whatever the transport would carry.
struct LimitesMensagem {
    std::size_t bytesPedido;
    std::size_t bytesResposta;
};
inline constexpr LimitesMensagem kLimitesMensagemPadrao{16u << 20, 64u << 20};
LimitesMensagem LimitesMensagemDe(std::optional<DWORD> bytesPedido, std::optional<DWORD> bytesResposta);
const LimitesMensagem& LimitesMensagemServidor();

// The stub function of one method, as a table keyed by slot holds it.
using DespachoMetodo = HRESULT (*)(IUnknown* objeto, std::string_view entrada, std::string& saida, bool& recusada);

}  // namespace zenta
