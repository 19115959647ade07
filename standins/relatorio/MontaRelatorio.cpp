#include "standins/relatorio/MontaRelatorio.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <system_error>

#include "standins/relatorio/QVDestinoRelatorio.h"
#include "diagnostics/QVCheck.h"
#include "values/QVDMA.h"
#include "values/QVHMS.h"

namespace zenta {

namespace {

// A UTF-8 text cut to `n` characters (n <= 0: all of it). A text that does
// not fit keeps n - 1 characters and ends with "…", so that the reader sees
// it was cut.
std::string CortaCaracteres(std::string_view texto, LONG n) {
    if (n <= 0) return std::string(texto);
    std::size_t ultimo = 0;  // where the n-th character begins
    LONG contados = 0;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        if ((static_cast<unsigned char>(texto[i]) & 0xC0) == 0x80) continue;  // continuation byte
        if (contados == n - 1) ultimo = i;
        if (contados == n) return std::string(texto.substr(0, ultimo)) + "\u2026";
        ++contados;
    }
    return std::string(texto);
}

std::atomic<unsigned> g_sequenciaParcial{0};

}  // namespace

CMontaRelatorio::~CMontaRelatorio() { RemoveParcial(); }

void CMontaRelatorio::RemoveParcial() {
    if (m_parcial.empty()) return;
    std::error_code ec;
    std::filesystem::remove(m_parcial, ec);
    m_parcial.clear();
}

HRESULT CMontaRelatorio::Inicializa(std::string_view empresa, USHORT /*usUsuario*/, LONG /*lSessao*/,
                                    std::string_view /*modulo*/, std::string_view /*componente*/,
                                    std::string_view arquivoTemp, std::string_view relatorio,
                                    BOOL bTemLinhaSubordinada, std::string_view titulo) {
    RemoveParcial();
    m_doc = {};
    m_modelo = {};
    m_bInicializado = false;
    m_bLinhaAberta = m_bBlocoAberto = false;
    m_proximaColuna = m_colunasDescritas = 0;
    m_sErro.clear();

    namespace fs = std::filesystem;
    const fs::path destino(arquivoTemp);
    std::error_code ec;
    if (arquivoTemp.empty() || arquivoTemp.find('\0') != std::string_view::npos || !destino.is_absolute() ||
        !destino.has_filename()) {
        m_sErro = "arquivo de destino inválido: é preciso um caminho absoluto";
        QV_CHECK(E_INVALIDARG);
    }
    if (!fs::is_directory(destino.parent_path(), ec)) {
        m_sErro = "o diretório do arquivo de destino não existe: " + destino.parent_path().string();
        QV_CHECK(E_INVALIDARG);
    }
    const auto estado = fs::symlink_status(destino, ec);
    if (fs::exists(estado) && !fs::is_regular_file(estado)) {
        m_sErro = "o destino existe e não é um arquivo comum: " + destino.string();
        QV_CHECK(E_INVALIDARG);
    }
    if (const HRESULT hr = zenta::VerificaDestinoRelatorio(destino, zenta::ChamadorAtual(), m_sErro); FAILED(hr)) {
        QV_LOG_HR(hr, "VerificaDestinoRelatorio(destino, ChamadorAtual()): " + m_sErro);
        return hr;
    }
    if (const HRESULT hr = zenta::CarregaModelo(relatorio, m_modelo, m_sErro); FAILED(hr)) {
        QV_LOG_HR(hr, "CarregaModelo(relatorio): " + m_sErro);
        return hr;
    }
    // The destination's extension chooses the format when the model does
    // not; a model that chose the other one is refused rather than writing
    // a PDF into a ".csv" file (or the reverse).
    std::string extensao = destino.extension().string();
    for (char& c : extensao)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const bool bPdf = extensao == ".pdf", bCsv = extensao == ".csv";
    if (bPdf || bCsv) {
        const auto formato = bCsv ? zenta::FormatoSaidaRelatorio::Csv : zenta::FormatoSaidaRelatorio::Pdf;
        if (m_modelo.bFormato && m_modelo.formato != formato) {
            m_sErro = "o modelo \"" + std::string(relatorio) + "\" gera " +
                      (m_modelo.formato == zenta::FormatoSaidaRelatorio::Csv ? "CSV" : "PDF") +
                      ", e o arquivo de destino tem a extensão " + extensao;
            QV_CHECK(E_INVALIDARG);
        }
        m_modelo.formato = formato;
    }
    m_destino = destino;
    m_bQuerSubordinadas = bTemLinhaSubordinada != FALSE;
    m_doc.sTitulo = m_modelo.sTitulo.empty() ? std::string(titulo) : m_modelo.sTitulo;
    if (m_doc.sTitulo.empty()) m_doc.sTitulo = "Relatório";
    m_doc.sEmpresa = std::string(empresa);
    const REG_QVHMS agora = REG_QVHMS::Agora();
    char hora[32];
    std::snprintf(hora, sizeof hora, "%02d:%02d", agora.GetHora(), agora.GetMinuto());
    m_doc.sEmissao = REG_QVDMA::Hoje().Formata(REG_QVDMA::ESTILO_DMAAAA, '/') + " " + hora;
    m_doc.bSubordinadas = GetUtilizaLinhaSub(TRUE) != FALSE;
    m_bInicializado = true;
    return S_OK;
}

BOOL CMontaRelatorio::GetUtilizaLinhaSub(BOOL bDoModelo) const {
    if (bDoModelo == FALSE) return m_bQuerSubordinadas ? TRUE : FALSE;
    return m_bQuerSubordinadas && m_modelo.bSubordinadas ? TRUE : FALSE;
}

LONG CMontaRelatorio::GetCampoEscolhido(LONG lIndice) const {
    if (lIndice < 0 || static_cast<std::size_t>(lIndice) >= m_modelo.campos.size()) return 0;
    return m_modelo.campos[static_cast<std::size_t>(lIndice)];
}

HRESULT CMontaRelatorio::GetCampoRelatorioIntegrado(LONG lCodigo, std::string& texto, LONG& lTamanho,
                                                    LONG& lTipo) const {
    texto.clear();
    lTamanho = 0;
    lTipo = 0;
    QV_LOG_HR(E_QV_RELATORIO_CAMPO_INTEGRADO,
              "campo " + std::to_string(lCodigo) + " de outro módulo: esta instalação não oferece campos integrados");
    return E_QV_RELATORIO_CAMPO_INTEGRADO;
}

HRESULT CMontaRelatorio::InicializaLinha() {
    if (!m_bInicializado || m_bLinhaAberta || m_bBlocoAberto) QV_CHECK(E_UNEXPECTED);
    m_doc.blocos.emplace_back();
    m_doc.blocos.back().linhas.emplace_back();
    m_bLinhaAberta = m_bBlocoAberto = true;
    m_proximaColuna = 0;
    return S_OK;
}

HRESULT CMontaRelatorio::InicializaLinhaSubordinada() {
    if (!m_bInicializado || !m_bBlocoAberto || !m_doc.bSubordinadas) QV_CHECK(E_UNEXPECTED);
    auto& linhas = m_doc.blocos.back().linhas;
    // The master line's values are complete once its first subordinate line starts.
    linhas.back().valores.resize(m_doc.colunas.size());
    linhas.emplace_back();
    m_bLinhaAberta = true;
    m_proximaColuna = 0;
    return S_OK;
}

HRESULT CMontaRelatorio::AdicionaChavePesquisa(LONG lTipo, ULONG lPonteiro) {
    if (!m_bLinhaAberta) QV_CHECK(E_UNEXPECTED);
    m_doc.blocos.back().linhas.back().chaves.emplace_back(lTipo, lPonteiro);
    return S_OK;
}

HRESULT CMontaRelatorio::AdicionaDetalhe(LONG lCodigo, LONG lTipo, LONG lTamanho, std::string_view rotulo,
                                         bool bMestre, int iGrupo, std::string_view tituloGrupo,
                                         BOOL* pbAlteraTipo, bool bCabecalho) {
    if (pbAlteraTipo != nullptr) *pbAlteraTipo = FALSE;
    if (!m_bLinhaAberta) QV_CHECK(E_UNEXPECTED);
    if (m_proximaColuna < m_doc.colunas.size()) return S_OK;  // described before
    zenta::ColunaRelatorio coluna;
    coluna.lCodigo = lCodigo;
    coluna.lTipo = lTipo;
    coluna.lTamanho = lTamanho;
    coluna.sRotulo = std::string(rotulo);
    // Without subordinate lines there are no master blocks.
    coluna.bMestre = bMestre && m_doc.bSubordinadas;
    coluna.bCabecalho = bCabecalho && coluna.bMestre;
    coluna.iGrupo = iGrupo;
    coluna.sTituloGrupo = std::string(tituloGrupo);
    m_doc.colunas.push_back(std::move(coluna));
    ++m_colunasDescritas;
    return S_OK;
}

HRESULT CMontaRelatorio::Adiciona(std::string_view texto, LONG lTamanho) {
    if (!m_bLinhaAberta) QV_CHECK(E_UNEXPECTED);
    if (m_proximaColuna >= m_doc.colunas.size()) {
        // A column nobody described: shown with its position only.
        zenta::ColunaRelatorio coluna;
        coluna.lTamanho = lTamanho;
        coluna.iGrupo = -1;
        m_doc.colunas.push_back(std::move(coluna));
    }
    auto& valores = m_doc.blocos.back().linhas.back().valores;
    valores.resize(m_proximaColuna);
    valores.emplace_back(CortaCaracteres(texto, lTamanho));
    ++m_proximaColuna;
    return S_OK;
}

HRESULT CMontaRelatorio::FinalizaLinhaSubordinada() {
    if (!m_bLinhaAberta || !m_bBlocoAberto || m_doc.blocos.back().linhas.size() < 2) QV_CHECK(E_UNEXPECTED);
    m_doc.blocos.back().linhas.back().valores.resize(m_doc.colunas.size());
    m_bLinhaAberta = false;
    return S_OK;
}

HRESULT CMontaRelatorio::FinalizaLinha() {
    if (!m_bBlocoAberto) QV_CHECK(E_UNEXPECTED);
    for (auto& linha : m_doc.blocos.back().linhas) linha.valores.resize(m_doc.colunas.size());
    m_bLinhaAberta = m_bBlocoAberto = false;
    return S_OK;
}

HRESULT CMontaRelatorio::GeraRelatorio() {
    if (!m_bInicializado || m_bBlocoAberto) QV_CHECK(E_UNEXPECTED);
    RemoveParcial();
    // The partial file is created here, new, beside the destination: a name
    // that exists already (or a link put in its place) is never written through.
    std::filesystem::path parcial;
    int fd = -1;
    for (int tentativa = 0; tentativa < 100 && fd < 0; ++tentativa) {
        parcial = m_destino;
        parcial += "." + std::to_string(::getpid()) + "-" + std::to_string(g_sequenciaParcial++) + ".parcial";
        fd = ::open(parcial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        m_sErro = "não foi possível criar o arquivo do relatório ao lado de " + m_destino.string();
        QV_CHECK(HRESULT_FROM_WIN32(110u));  // ERROR_OPEN_FAILED
    }
    ::close(fd);
    m_parcial = parcial;
    const HRESULT hr = m_modelo.formato == zenta::FormatoSaidaRelatorio::Csv ? zenta::EscreveCsv(m_doc, m_parcial)
                                                                              : zenta::EscrevePdf(m_doc, m_parcial);
    if (FAILED(hr)) {
        RemoveParcial();
        m_sErro = "não foi possível gravar o relatório em " + m_destino.parent_path().string();
        QV_LOG_HR(hr, "Escreve(m_doc, m_parcial)");
        return hr;
    }
    return S_OK;
}

HRESULT CMontaRelatorio::Finaliza(BOOL bConfirma) {
    if (bConfirma == FALSE) {
        RemoveParcial();
        return S_OK;
    }
    if (m_parcial.empty()) QV_CHECK(E_UNEXPECTED);
    if (const HRESULT hr = zenta::ColocaRelatorio(m_parcial, m_destino, m_sErro); FAILED(hr)) {
        RemoveParcial();
        QV_LOG_HR(hr, "ColocaRelatorio(m_parcial, m_destino): " + m_sErro);
        return hr;
    }
    m_parcial.clear();
    return S_OK;
}

}  // namespace zenta
