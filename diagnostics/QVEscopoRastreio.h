// The tracing scope of a call: opened at the start of every interface call
// and closed on every way out of it. Writes nothing until call tracing is
// configured; the scope keeps its place in the call frame.
#pragma once

#include <string_view>

#include "diagnostics/QVDF_Profiler.h"

class CQVEscopoRastreio {
public:
    explicit CQVEscopoRastreio(const CQVContextoProfiler& contexto) : m_contexto(contexto) {}
    CQVEscopoRastreio(const CQVEscopoRastreio&) = delete;
    CQVEscopoRastreio& operator=(const CQVEscopoRastreio&) = delete;
    ~CQVEscopoRastreio() { Fecha(); }

    void Inicia(std::string_view funcao, std::string_view arquivo, unsigned linha) {
        m_funcao = funcao;
        m_arquivo = arquivo;
        m_linha = linha;
    }
    void Fecha() {}

private:
    CQVContextoProfiler m_contexto;
    std::string_view m_funcao;
    std::string_view m_arquivo;
    unsigned m_linha = 0;
};
