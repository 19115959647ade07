// The tracing scope of a call: opened at the start of every interface call
// and closed on every way out of it. When call tracing is switched on in
// "log.ini" (QVConfiguracaoRastreio.h), it writes an "ENTROU" record when
// the call starts and a "SAIU" record, with the duration and the change of
// the process's memory, when it ends, to "QVProfiler.log" in the base
// module's program directory; the creation of an object writes a
// "COCREATE" record.
#pragma once

#include <array>
#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "diagnostics/QVDF_Profiler.h"
#include "diagnostics/QVProfilerRegistro.h"

namespace zenta {

class CQVEscopoRastreio {
public:
    // A name/value parameter of a traced call, written "name = value".
    using Parametro = std::pair<std::string_view, std::string_view>;

    explicit CQVEscopoRastreio(const CQVContextoProfiler& contexto) : m_contexto(contexto) {}
    CQVEscopoRastreio(const CQVEscopoRastreio&) = delete;
    CQVEscopoRastreio& operator=(const CQVEscopoRastreio&) = delete;
    ~CQVEscopoRastreio() { Fecha(); }

    // Begins the scope of a call with the traced class and function name,
    // where it is written and up to nine parameters (more are ignored).
    void Inicia(std::string_view funcao, std::string_view arquivo, unsigned linha,
                std::initializer_list<Parametro> parametros = {});
    // Begins the scope of an object's creation: writes "COCREATE" when
    // "CoCreateInstance" is on; its closing writes nothing.
    void IniciaCriacao(std::string_view funcao, std::string_view arquivo, unsigned linha);
    // Ends the scope; never throws.
    void Fecha() noexcept;

    bool Iniciado() const { return m_bIniciado; }

private:
    void Prepara(std::string_view funcao, std::string_view arquivo, unsigned linha,
                 std::initializer_list<Parametro> parametros);
    void Grava(zenta::TipoRegistroProfiler tipo) const;

    CQVContextoProfiler m_contexto;
    std::string m_funcao;
    std::string m_arquivo;
    unsigned m_linha = 0;
    std::array<std::string, zenta::kQuantidadeParametros> m_parametros;
    std::chrono::steady_clock::time_point m_inicio;
    bool m_bMediuMemoria = false;
    long long m_llMemoriaInicial = 0;
    bool m_bIniciado = false;
    bool m_bCriacao = false;
    // Kept for the closing record.
    std::optional<long long> m_llDuracao;
    std::optional<long long> m_llDeltaMemoria;
};

}  // namespace zenta
