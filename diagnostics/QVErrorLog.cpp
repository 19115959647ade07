#include "diagnostics/QVErrorLog.h"

#include <sys/utsname.h>

#include <cinttypes>
#include <cstdio>
#include <mutex>

#include "diagnostics/QVNomesHresult.h"
#include "diagnostics/QVProfilerRegistro.h"
#include "diagnostics/QVTrataErro.h"

namespace zenta {

#ifndef ZENTA_VERSAO_PROGRAMA
#define ZENTA_VERSAO_PROGRAMA "0.1.0.0"
#endif

namespace {

std::mutex g_mutexVersoes;
std::string g_versaoPrograma;
std::string g_versaoSO;

// Fills the two version texts once, under the process-wide lock.
void PreencheVersoes() {
    const std::lock_guard<std::mutex> trava(g_mutexVersoes);
    if (!g_versaoPrograma.empty()) return;
    utsname sistema{};
    g_versaoSO = FormataVersao(uname(&sistema) == 0 ? sistema.release : "");
    g_versaoPrograma = FormataVersao(ZENTA_VERSAO_PROGRAMA);
}

// Anything the writer calls (the directory lookups above all) may fail and
// log in turn; such a nested record is dropped instead of recursing.
thread_local bool t_gravando = false;

class GuardaReentrada {
public:
    GuardaReentrada() : m_ativa(!t_gravando) { t_gravando = true; }
    ~GuardaReentrada() {
        if (m_ativa) t_gravando = false;
    }
    GuardaReentrada(const GuardaReentrada&) = delete;
    GuardaReentrada& operator=(const GuardaReentrada&) = delete;
    bool Ativa() const { return m_ativa; }

private:
    bool m_ativa;
};

void GravaRegistroErro(const CQVContextoProfiler& contexto, std::string_view funcao, std::string_view arquivo,
                       unsigned linha, std::string texto, const MemoriaProcesso& memoria) {
    RegistroProfiler registro = NovoRegistro(TipoRegistroProfiler::Erro, contexto, funcao);
    registro.memoria = memoria;
    registro.strVersaoFarol = VersaoPrograma();
    registro.strVersaoSO = VersaoSistemaOperacional();
    registro.strArquivo = arquivo;
    registro.uLinha = linha;
    registro.strLog = std::move(texto);
    GravaRegistro(registro);
}

std::string Limitado(std::string_view texto) { return std::string(texto.substr(0, 4096)); }

}  // namespace

std::string FormataVersao(std::string_view release) {
    long partes[4] = {0, 0, 0, 0};
    std::size_t i = 0;
    for (int k = 0; k < 4; ++k) {
        if (i >= release.size() || release[i] < '0' || release[i] > '9') break;
        long valor = 0;
        while (i < release.size() && release[i] >= '0' && release[i] <= '9') {
            if (valor < 100000000) valor = valor * 10 + (release[i] - '0');
            ++i;
        }
        partes[k] = valor;
        if (i >= release.size() || (release[i] != '.' && release[i] != '-')) break;
        ++i;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%ld.%ld.%ld.%ld", partes[0], partes[1], partes[2], partes[3]);
    return buffer;
}

const std::string& VersaoPrograma() {
    PreencheVersoes();
    return g_versaoPrograma;
}

const std::string& VersaoSistemaOperacional() {
    PreencheVersoes();
    return g_versaoSO;
}

std::string TextoLogErroHr(std::string_view expressaoVerificada, HRESULT hr, std::string_view descricao,
                           std::optional<bool> facilidadeDaBiblioteca) {
    const std::string expressao = Limitado(expressaoVerificada);
    const std::string textoDescricao = Limitado(descricao);
    const std::string severidade(NomeSeveridade(hr));
    const std::string facilidade(NomeFacilidade(HRESULT_FACILITY(hr)));
    const std::string codigo(NomeCodigoHresult(hr, facilidadeDaBiblioteca));
    const std::string simbolico(NomeSimbolicoHresult(hr));
    char buffer[16384];
    const int n = std::snprintf(
        buffer, sizeof buffer, "%s\t%s = %#X %s\tSEVERITY = %d %s\tFACILITY = %d %s\tCODE = %d %s\tDescrição = %s",
        expressao.c_str(), "hr", static_cast<unsigned>(hr), textoDescricao.c_str(),
        static_cast<int>(HRESULT_SEVERITY(hr)), severidade.c_str(), static_cast<int>(HRESULT_FACILITY(hr)),
        facilidade.c_str(), static_cast<int>(HRESULT_CODE(hr)), codigo.c_str(), simbolico.c_str());
    if (n < 0) return {};
    return std::string(buffer, static_cast<std::size_t>(n) < sizeof buffer ? static_cast<std::size_t>(n)
                                                                             : sizeof buffer - 1);
}

std::string TextoLogErroHr(std::string_view expressaoVerificada, HRESULT hr) {
    const CBibliotecaMensagens biblioteca;
    const uint32_t facility = HRESULT_FACILITY(hr);
    const std::string descricao =
        facility == FACILITY_ITF ? std::string(DescricaoInternaFacilidadeItf(hr)) : biblioteca.DescricaoHresult(hr);
    return TextoLogErroHr(expressaoVerificada, hr, descricao, biblioteca.EhFacilidadeDaBiblioteca(facility));
}

std::string TextoErroMotor(HRESULT hr, std::string_view descricao, std::string_view arquivo, int posicao,
                           int registro, int64_t quantidadeRegistros) {
    const std::string textoDescricao = Limitado(descricao);
    const std::string textoArquivo = Limitado(arquivo);
    char buffer[9000];
    const int n = std::snprintf(buffer, sizeof buffer,
                                "hr = 0x%08X\tDescrição = %s\tArquivo = %s\tPosição = %d\tRegistro = %d\t"
                                "Qtd. Registros = %" PRId64,
                                static_cast<unsigned>(hr), textoDescricao.c_str(), textoArquivo.c_str(), posicao,
                                registro, quantidadeRegistros);
    if (n < 0) return {};
    return std::string(buffer, static_cast<std::size_t>(n) < sizeof buffer ? static_cast<std::size_t>(n)
                                                                             : sizeof buffer - 1);
}

void QVGravaLogErroHr(const CQVContextoProfiler& contexto, std::string_view funcao, std::string_view arquivo,
                      unsigned linha, std::string_view expressao, HRESULT hr) {
    try {
        const zenta::GuardaReentrada guarda;
        if (!guarda.Ativa()) return;
        const zenta::MemoriaProcesso memoria = zenta::LeMemoriaProcesso();
        zenta::PreencheVersoes();
        std::string verificada = "hr = ";
        verificada += expressao;
        zenta::GravaRegistroErro(contexto, funcao, arquivo, linha, zenta::TextoLogErroHr(verificada, hr), memoria);
    } catch (...) {
        // The error log never disturbs the operation it reports on.
    }
}

void QVGravaLogErroTexto(const CQVContextoProfiler& contexto, std::string_view funcao, std::string_view arquivo,
                         unsigned linha, std::string_view texto) {
    try {
        const zenta::GuardaReentrada guarda;
        if (!guarda.Ativa()) return;
        const zenta::MemoriaProcesso memoria = zenta::LeMemoriaProcesso();
        zenta::PreencheVersoes();
        zenta::GravaRegistroErro(contexto, funcao, arquivo, linha, std::string(texto), memoria);
    } catch (...) {
    }
}

}  // namespace zenta
