#include "diagnostics/QVEscopoRastreio.h"

#include "diagnostics/QVConfiguracaoRastreio.h"

namespace zenta {

namespace {

bool FiltrosPassam(const zenta::CQVConfiguracaoRastreio& configuracao, std::string_view funcao) {
    return configuracao.FiltroProcesso(zenta::NomeProcessoAtual()) && configuracao.FiltroClasse(funcao);
}

}  // namespace

void CQVEscopoRastreio::Prepara(std::string_view funcao, std::string_view arquivo, unsigned linha,
                                std::initializer_list<Parametro> parametros) {
    m_funcao = funcao;
    m_arquivo = arquivo;
    m_linha = linha;
    std::size_t i = 0;
    for (const Parametro& parametro : parametros) {
        if (i >= m_parametros.size()) break;
        m_parametros[i++] = std::string(parametro.first) + " = " + std::string(parametro.second);
    }
    m_inicio = std::chrono::steady_clock::now();
}

void CQVEscopoRastreio::Inicia(std::string_view funcao, std::string_view arquivo, unsigned linha,
                               std::initializer_list<Parametro> parametros) {
    try {
        const auto configuracao = zenta::ConfiguracaoRastreio();
        if (!configuracao->Habilitado()) return;
        Prepara(funcao, arquivo, linha, parametros);
        m_bCriacao = false;
        if (FiltrosPassam(*configuracao, m_funcao)) {
            if (configuracao->Memory()) {
                m_llMemoriaInicial = zenta::LeMemoriaProcesso().llComponente;
                m_bMediuMemoria = true;
            }
            if (configuracao->Entrada()) Grava(zenta::TipoRegistroProfiler::Entrou);
        }
        m_bIniciado = true;
    } catch (...) {
        // Tracing never disturbs the call it traces.
    }
}

void CQVEscopoRastreio::IniciaCriacao(std::string_view funcao, std::string_view arquivo, unsigned linha) {
    try {
        const auto configuracao = zenta::ConfiguracaoRastreio();
        if (!configuracao->Habilitado()) return;
        Prepara(funcao, arquivo, linha, {});
        m_bCriacao = true;
        if (configuracao->CoCreateInstance() && FiltrosPassam(*configuracao, m_funcao))
            Grava(zenta::TipoRegistroProfiler::CoCreate);
        m_bIniciado = true;
    } catch (...) {
    }
}

void CQVEscopoRastreio::Fecha() noexcept {
    if (!m_bIniciado) return;
    m_bIniciado = false;
    if (m_bCriacao) return;
    try {
        const auto configuracao = zenta::ConfiguracaoRastreio();
        if (!configuracao->Habilitado() || !configuracao->Saida() || !FiltrosPassam(*configuracao, m_funcao)) return;
        if (configuracao->Performance()) {
            m_llDuracao = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                                m_inicio)
                              .count();
        }
        if (configuracao->Memory() && m_bMediuMemoria)
            m_llDeltaMemoria = zenta::LeMemoriaProcesso().llComponente - m_llMemoriaInicial;
        Grava(zenta::TipoRegistroProfiler::Saiu);
    } catch (...) {
    }
}

void CQVEscopoRastreio::Grava(zenta::TipoRegistroProfiler tipo) const {
    zenta::RegistroProfiler registro = zenta::NovoRegistro(tipo, m_contexto, m_funcao);
    registro.memoria = zenta::LeMemoriaProcesso();
    if (tipo == zenta::TipoRegistroProfiler::Saiu) {
        registro.llDuracao = m_llDuracao;
        registro.llDeltaMemoria = m_llDeltaMemoria;
    }
    registro.strArquivo = m_arquivo;
    registro.uLinha = m_linha;
    registro.parametros = m_parametros;
    zenta::GravaRegistro(registro);
}

}  // namespace zenta
