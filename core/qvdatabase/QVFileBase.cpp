#include "core/qvdatabase/QVFileBase.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/QVDiretorios.h"
#include "platform/QVModulos.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "core/qvdatabase/QVFileCopia.h"
#include "diagnostics/QVCheck.h"
#include "diagnostics/QVErrorLog.h"
#include "diagnostics/QVTrataErro.h"
#include "platform/CodePage.h"
#include "platform/Registry.h"
#include "values/QVCrc64.h"
#include "values/QVDMA.h"
#include "values/RelogioSistema.h"

namespace zenta {

namespace {

// Size of the pieces of one read or write.
constexpr std::size_t TAMANHO_PEDACO = std::size_t{1} << 30;

// Header management switched off for the machine ("read once per process").
bool CabecalhoDesabilitadoRegistro() {
    static const bool desabilitado = [] {
        const auto valor = RegLeDword(HKEY_LOCAL_MACHINE, QV_CHAVE_REGISTRO, "QVDataBase_DesabilitaCabecalho");
        return valor.has_value() && *valor != 0;
    }();
    return desabilitado;
}

// The last `maximo` bytes of a text.
std::string_view Ultimos(std::string_view texto, std::size_t maximo) {
    return texto.size() > maximo ? texto.substr(texto.size() - maximo) : texto;
}

// Copies a text into a fixed field, NUL-terminated and zero-padded.
template <std::size_t N>
void CopiaCampo(char (&campo)[N], std::string_view texto) {
    std::memset(campo, 0, N);
    const std::string_view t = texto.substr(0, std::min(texto.size(), N - 1));
    std::memcpy(campo, t.data(), t.size());
}

// The text of a fixed field, up to its first NUL.
template <std::size_t N>
std::string_view TextoCampo(const char (&campo)[N]) {
    std::size_t n = 0;
    while (n < N && campo[n] != '\0') ++n;
    return std::string_view(campo, n);
}

// Compares without regard to letter case over at most `maximo` characters,
// stopping at the first NUL of either side.
bool IgualSemCaixaLimitado(std::string_view a, std::string_view b, std::size_t maximo) {
    a = a.substr(0, std::min(a.size(), maximo));
    b = b.substr(0, std::min(b.size(), maximo));
    return IgualSemCaixa(a, b);
}

}  // namespace

QVDATAHORA_REGISTRO DataHoraRegistroAgora() {
    const RelogioSistema::Instante agora = RelogioSistema::Agora();
    const REG_QVDMA dia(agora.dia, agora.mes, agora.ano);
    const ULONGLONG segundos = static_cast<ULONGLONG>(dia.GetData()) * 86400u +
                               static_cast<ULONGLONG>(agora.hora) * 3600u + static_cast<ULONGLONG>(agora.minuto) * 60u +
                               static_cast<ULONGLONG>(agora.segundo);
    return segundos & QVDATAHORA_MASCARA;
}

std::string NomeComputadorCabecalho() {
    // Asked of the system at most once a second: every header update names
    // the computer, and the call would otherwise cost a system call per write.
    static std::mutex trava;
    static std::string nomeGuardado;
    static std::chrono::steady_clock::time_point lido{};
    const auto agora = std::chrono::steady_clock::now();
    std::lock_guard guarda(trava);
    if (lido != std::chrono::steady_clock::time_point{} && agora - lido < std::chrono::seconds(1)) return nomeGuardado;
    char nome[256] = {};
    if (::gethostname(nome, sizeof nome - 1) != 0) return {};
    std::string s(nome);
    if (const std::size_t ponto = s.find('.'); ponto != std::string::npos) s.resize(ponto);
    s = Utf8OuCp1252ParaCp1252(s);
    if (s.size() > 15) s.resize(15);
    nomeGuardado = s;
    lido = agora;
    return s;
}

void PreenchePrefixoCabecalhoV1(REG_QVDATABASE_CABECALHO_V1& cabecalho) {
    cabecalho.usVersaoCabecalho = 1;
    std::memset(cabecalho.cZero1, 0, sizeof cabecalho.cZero1);
    cabecalho.ullCrcVersao = QVCrc64(&cabecalho.usVersaoCabecalho, sizeof cabecalho.usVersaoCabecalho);
    cabecalho.ullCrcCrcVersao = QVCrc64(&cabecalho.ullCrcVersao, sizeof cabecalho.ullCrcVersao);
}

ULONGLONG CrcCabecalho(const REG_QVDATABASE_CABECALHO_V1& cabecalho) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&cabecalho);
    return QVCrc64(bytes + 24, 208);
}

// ---- Construction ---------------------------------------------------------------

CQVFileBase::CQVFileBase(std::string_view sNomeArquivo, zenta::IQVDataBaseContainer* pDataBase)
    : m_sNomeArquivo(zenta::NormalizaNomeArquivo(sNomeArquivo)),
      m_eModulo(pDataBase != nullptr ? pDataBase->GetModulo() : QV_MODULO_GE),
      m_pDataBase(pDataBase) {
    m_ControleCriacaoArquivos = m_pDataBase != nullptr
                                    ? m_pDataBase->CriaControleCriacaoArquivos(m_eModulo, m_sNomeArquivo)
                                    : std::make_unique<zenta::CQVControleCriacaoArquivosInativo>();
    if (!m_ControleCriacaoArquivos) m_ControleCriacaoArquivos = std::make_unique<zenta::CQVControleCriacaoArquivosInativo>();
    if (m_pDataBase != nullptr) m_pDataBase->AddFile(this);
    LimpaEstadoCabecalho();
}

CQVFileBase::~CQVFileBase() {
    if (m_pDataBase != nullptr) m_pDataBase->RemoveFile(this);
    m_pArquivo.reset();
}

void CQVFileBase::SetModulo(int eModulo) {
    m_eModulo = eModulo;
    m_ControleCriacaoArquivos->SetModulo(eModulo);
}

void CQVFileBase::DesabilitaControleCriacaoArquivos() { m_ControleCriacaoArquivos->DesabilitaControleCriacaoArquivos(); }

void CQVFileBase::LimpaEstadoCabecalho() {
    m_bCabecalhoDanificado = false;
    std::memset(&m_Cabecalho, 0, sizeof m_Cabecalho);
    m_bCabecalhoVerificado = false;
    m_bPossuiCabecalho = false;
    m_bCabecalhoCompleto = false;
}

// ---- Life cycle -----------------------------------------------------------------

HRESULT CQVFileBase::OnInicializa() {
    QV_CHECK(CQVDataBaseUtil::GetPathArquivo(m_eModulo, GetEmpresa(), m_sNomeArquivo, m_sPathArquivo));
    // A "tra" twin marks an unfinished rewrite of the control file; the
    // control file itself and the twins are exempt.
    if (m_sNomeArquivo != QVDATABASE_NOME_ARQUIVO_CONTROLE && zenta::ExtensaoArquivo(m_sNomeArquivo) != "tra") {
        const std::filesystem::path tra =
            m_sPathArquivo.parent_path() / zenta::NomeComExtensao(m_sNomeArquivo, "tra");
        if (zenta::ArquivoSO()->Existe(tra)) QV_CHECK(E_QVCR_ARQUIVO_TRA_ENCONTRADO);
    }
    QV_CHECK(m_ControleCriacaoArquivos->Inicializa(*this));
    LimpaEstadoCabecalho();
    m_bGravacaoRecusada = false;
    return S_OK;
}

HRESULT CQVFileBase::OnFinaliza() {
    HRESULT hr = S_OK;
    if (m_pArquivo) {
        hr = AtualizaArquivo();
        if (FAILED(hr)) QV_LOG_HR(hr, "AtualizaArquivo()");
    }
    m_pArquivo.reset();
    m_eModoAbertura = eModoInvalido;
    LimpaEstadoCabecalho();
    m_bGravacaoRecusada = false;
    const HRESULT hrControle = m_ControleCriacaoArquivos->Finaliza();
    if (SUCCEEDED(hr) && FAILED(hrControle)) hr = hrControle;
    return hr;
}

HRESULT CQVFileBase::FechaArquivo() {
    m_eModoAbertura = eModoInvalido;
    LimpaEstadoCabecalho();
    m_pArquivo.reset();
    return S_OK;
}

HRESULT CQVFileBase::AtualizaArquivo() {
    if (m_pArquivo && (m_eModoAbertura == eModoLeituraGravacao || m_eModoAbertura == eModoLeituraGravacaoCriacao))
        return AtualizaCabecalho();
    return S_OK;
}

bool CQVFileBase::ExisteArquivo() const {
    std::filesystem::path caminho = m_sPathArquivo;
    if (caminho.empty() && FAILED(CQVDataBaseUtil::GetPathArquivo(m_eModulo, GetEmpresa(), m_sNomeArquivo, caminho)))
        return false;
    std::filesystem::path noDisco;
    return zenta::LocalizaArquivoNoDisco(caminho.parent_path(), m_sNomeArquivo, noDisco);
}

HRESULT CQVFileBase::DeletaArquivo() {
    std::unique_lock trava(m_lock);
    const std::string empresa = GetEmpresa();
    const USHORT usuario = GetUsuario();
    const LONG sessao = CQVInicializador::GetNumeroSessao();
    FechaArquivo();
    QV_CHECK(CQVDataBaseUtil::DeletaArquivo(this, m_eModulo, m_sNomeArquivo, eRemoverDoControleCriacaoArquivosInMemory,
                                            m_ControleCriacaoArquivos.get()));
    Finaliza();
    QV_CHECK(Inicializa(empresa, usuario, sessao));
    return S_OK;
}

HRESULT CQVFileBase::GravaVersaoArquivo(USHORT usVersaoArquivo) {
    if (!GerenciarCabecalho()) return S_OK;
    std::unique_lock trava(m_lock);
    QV_CHECK(AbreArquivo(eModoLeituraGravacaoCriacao));
    if (!m_pArquivo || !m_bCabecalhoCompleto) return S_OK;
    m_Cabecalho.usVersaoArquivo = usVersaoArquivo;
    QV_CHECK(AtualizaArquivo());
    return S_OK;
}

// ---- Opening --------------------------------------------------------------------

HRESULT CQVFileBase::RenomeiaCaixaNoDisco(const std::filesystem::path& noDisco) {
    const zenta::ResultadoArquivo r = zenta::RenomeiaComTentativas(noDisco, m_sPathArquivo, true);
    if (!r.Ok()) return CodigoExcecaoArquivo(r.causa);
    (void)zenta::ArquivoSO()->SincronizaDiretorio(m_sPathArquivo.parent_path());
    return S_OK;
}

HRESULT CQVFileBase::AbreSO(const std::filesystem::path& caminho, EQVDataBase_ModoAbertura eModoAbertura) {
    zenta::AberturaSO modo = zenta::AberturaSO::leituraGravacao;
    if (eModoAbertura == eModoLeituraSemBloqueio) modo = zenta::AberturaSO::leituraSemBloqueio;
    else if (eModoAbertura == eModoLeituraGravacaoCriacao) modo = zenta::AberturaSO::leituraGravacaoCriacao;

    const auto so = zenta::ArquivoSO();
    // A file another writer holds is waited for within the policy's bound.
    const zenta::ResultadoArquivo r = zenta::TentaAbrir(
        [&] { return so->Abre(caminho, modo, m_pArquivo); },
        [](const zenta::ResultadoArquivo& falha) {
            // Failures that waiting cannot cure end at once.
            return falha.causa == zenta::CausaArquivo::caminhoInvalido ||
                   falha.causa == zenta::CausaArquivo::arquivoInvalido ||
                   falha.causa == zenta::CausaArquivo::diretorioCheio;
        });
    if (r.Ok()) return S_OK;
    if (r.causa == zenta::CausaArquivo::caminhoInvalido) {
        QV_LOG_HR(E_QVDATABASE_eBadPath, "eBadPath");
        return E_QVDATABASE_eBadPath;
    }
    if (r.causa == zenta::CausaArquivo::arquivoInvalido) {
        QV_LOG_HR(E_QVDATABASE_eInvalidFile, "eInvalidFile");
        return E_QVDATABASE_eInvalidFile;
    }
    if (r.causa == zenta::CausaArquivo::diretorioCheio) {
        QV_LOG_HR(E_QVDATABASE_eDirectoryFull, "eDirectoryFull");
        return E_QVDATABASE_eDirectoryFull;
    }
    HRESULT hr = E_QVDATABASE_eQVGenericError;
    switch (r.causa) {
        case zenta::CausaArquivo::muitosArquivosAbertos: hr = E_QVDATABASE_eTooManyOpenFiles; break;
        case zenta::CausaArquivo::acessoNegado:
            hr = so->SomenteLeitura(caminho) ? E_QVDATABASE_eQVReadOnly : E_QVDATABASE_eAccessDenied;
            break;
        case zenta::CausaArquivo::violacaoCompartilhamento: hr = E_QVDATABASE_eSharingViolation; break;
        case zenta::CausaArquivo::violacaoBloqueio: hr = E_QVDATABASE_eLockViolation; break;
        case zenta::CausaArquivo::discoCheio: hr = E_QVDATABASE_eDiskFull; break;
        default: break;
    }
    QV_LOG_HR(hr, NomeExcecaoArquivo(hr));
    return hr;
}

HRESULT CQVFileBase::AbreArquivo(EQVDataBase_ModoAbertura eModoAbertura) {
    if (m_pDataBase != nullptr && m_pDataBase->GetLeituraSemBloqueio()) eModoAbertura = eModoLeituraSemBloqueio;
    if (m_pArquivo && m_eModoAbertura == eModoAbertura) return S_OK;
    if (m_pArquivo || m_eModoAbertura != eModoInvalido) FechaArquivo();

    QV_CHECK(CQVDataBaseUtil::GetPathArquivo(m_eModulo, GetEmpresa(), m_sNomeArquivo, m_sPathArquivo));
    const auto so = zenta::ArquivoSO();
    std::filesystem::path noDisco;
    const bool existe = zenta::LocalizaArquivoNoDisco(m_sPathArquivo.parent_path(), m_sNomeArquivo, noDisco);
    // A missing file is an empty file for every mode that does not create
    // (a writer clears what a creation cut short left).
    if (eModoAbertura != eModoLeituraGravacaoCriacao && !existe) {
        if (eModoAbertura == eModoLeituraGravacao) RemoveCriacaoInterrompida();
        return S_OK;
    }

    QV_CHECK(m_ControleCriacaoArquivos->GerenciaControleCriacaoArquivos(eModoAbertura));

    // A writer brings a name that differs only in letter case to the stored form.
    if (existe && eModoAbertura != eModoLeituraSemBloqueio && noDisco != m_sPathArquivo) {
        QV_CHECK(RenomeiaCaixaNoDisco(noDisco));
        noDisco = m_sPathArquivo;
    }
    if (eModoAbertura == eModoLeituraGravacao) QV_CHECK(AtualizaArquivo());

    std::filesystem::path caminho = existe ? noDisco : m_sPathArquivo;
    if (!existe) {
        const zenta::ResultadoArquivo r = so->CriaDiretorios(m_sPathArquivo.parent_path());
        if (!r.Ok()) QV_CHECK(CodigoExcecaoArquivo(r.causa));
        if (GerenciarCabecalho()) QV_CHECK(CriaArquivoComCabecalho());
    }
    QV_CHECK(AbreSO(caminho, eModoAbertura));
    m_eModoAbertura = eModoAbertura;
    LimpaEstadoCabecalho();
    // A compaction container takes the one zero-byte file the
    // engine itself leaves: a child file a compaction emptied (its twin, like
    // every twin, has no header), which then gets its header; the parents'
    // runs, checked by the compaction, prove it holds nothing.
    const bool bVazioDeCompactacao = m_pDataBase != nullptr && m_pDataBase->GetEhContainerShrink();
    if (GerenciarCabecalho() && !m_bCriandoCabecalho && !bVazioDeCompactacao) {
        // A file of a kind with a header is never created without one
        // (CriaArquivoComCabecalho): one of zero bytes lost its content and
        // is refused, in every mode, never read as empty.
        uint64_t tamanho = 0;
        const zenta::ResultadoArquivo r = TamanhoArquivo(tamanho);
        if (!r.Ok() || tamanho == 0) {
            FechaArquivo();
            if (!r.Ok()) return CatchInicializacao(r);
            QV_CHECK(E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
        }
    }
    if (GerenciarCabecalho() && !PossuiCabecalho() && m_bCabecalhoDanificado) {
        // Refused for every mode, readers without lock included, and left untouched.
        FechaArquivo();
        QV_CHECK(E_QVCR_CRC_CABECALHO_NAO_CONFERE);
    }
    if (eModoAbertura != eModoLeituraSemBloqueio) {
        const HRESULT hr = GerenciaCabecalho();
        if (FAILED(hr)) {
            // A file whose header fails its checks is left as it is, closed.
            FechaArquivo();
            return hr;
        }
    }
    return S_OK;
}

// ---- File failures ----------------------------------------------------------------

bool CQVFileBase::EhUmaExcecaoFatal(HRESULT hr) {
    return hr == E_QVDATABASE_eBadSeek || hr == E_QVDATABASE_eEndOfFile || hr == E_QVDATABASE_eHardIO ||
           hr == E_QVDATABASE_eFileNotFound || hr == E_QVDATABASE_eBadPath || hr == E_QVCR_INDEXACAO_COM_POSICAO_ZERO ||
           hr == E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA;
}

HRESULT CQVFileBase::CodigoExcecaoArquivo(zenta::CausaArquivo causa) {
    switch (causa) {
        case zenta::CausaArquivo::nenhuma: return S_OK;
        case zenta::CausaArquivo::fimArquivo: return E_QVDATABASE_eEndOfFile;
        case zenta::CausaArquivo::posicionamentoInvalido: return E_QVDATABASE_eBadSeek;
        case zenta::CausaArquivo::erroFisico: return E_QVDATABASE_eHardIO;
        case zenta::CausaArquivo::arquivoNaoEncontrado: return E_QVDATABASE_eFileNotFound;
        case zenta::CausaArquivo::caminhoInvalido: return E_QVDATABASE_eBadPath;
        case zenta::CausaArquivo::acessoNegado: return E_QVDATABASE_eAccessDenied;
        case zenta::CausaArquivo::arquivoInvalido: return E_QVDATABASE_eInvalidFile;
        case zenta::CausaArquivo::violacaoCompartilhamento: return E_QVDATABASE_eSharingViolation;
        case zenta::CausaArquivo::violacaoBloqueio: return E_QVDATABASE_eLockViolation;
        case zenta::CausaArquivo::discoCheio: return E_QVDATABASE_eDiskFull;
        default: return E_QVDATABASE_eQVGenericError;
    }
}

const char* CQVFileBase::NomeExcecaoArquivo(HRESULT hr) {
#define QV_NOME_EXCECAO_ARQUIVO_(nome, valor) \
    if (hr == static_cast<HRESULT>(valor)) return #nome;
    QV_EXCECOES_ARQUIVO(QV_NOME_EXCECAO_ARQUIVO_)
#undef QV_NOME_EXCECAO_ARQUIVO_
    return "eQVGenericError";
}

HRESULT CQVFileBase::CatchInicializacao(const zenta::ResultadoArquivo& falha) {
    const HRESULT hr = falha.Ok() ? E_QVDATABASE_eQVGenericError : CodigoExcecaoArquivo(falha.causa);
    QV_LOG_HR(hr, NomeExcecaoArquivo(hr));
    return hr;
}

HRESULT CQVFileBase::CatchGravacao(const zenta::ResultadoArquivo& falha) {
    const HRESULT hr = falha.Ok() ? E_QVDATABASE_eQVGenericError : CodigoExcecaoArquivo(falha.causa);
    QV_LOG_HR(hr, NomeExcecaoArquivo(hr));
    return hr;
}

namespace {

// The description of a code: the message library's, else the system's own table.
std::string DescricaoCodigo(HRESULT hr) {
    std::string descricao = zenta::CBibliotecaMensagens().DescricaoHresult(hr);
    if (!descricao.empty()) return descricao;
#define QV_DESCRICAO_CODIGO_(nome, valor, texto) \
    if (hr == static_cast<HRESULT>(valor)) return texto;
    QV_CODIGOS_SISTEMA(QV_DESCRICAO_CODIGO_)
#undef QV_DESCRICAO_CODIGO_
    return {};
}

}  // namespace

void CQVFileBase::GravaLogErroMotor(std::string_view funcao, std::string_view fonte, unsigned linha, HRESULT hr, ULONGLONG uiPosicao,
                                    std::size_t tamanhoRegistro, ULONGLONG qtdRegistros) const {
    try {
        const std::string texto = zenta::TextoErroMotor(hr, DescricaoCodigo(hr), m_sNomeArquivo,
                                                        static_cast<int>(uiPosicao), static_cast<int>(tamanhoRegistro),
                                                        static_cast<int64_t>(qtdRegistros));
        QVGravaLogErroTexto(QVProfilerDoEscopo(), funcao, fonte, linha, texto);
    } catch (...) {
        // The error log never disturbs the operation it reports on.
    }
}

// ---- Raw access -------------------------------------------------------------------

zenta::ResultadoArquivo CQVFileBase::LeDados(uint64_t posicao, void* destino, std::size_t tamanho) {
    if (!m_pArquivo) return zenta::ResultadoArquivo::Falha(zenta::CausaArquivo::arquivoInvalido);
    auto* p = static_cast<unsigned char*>(destino);
    std::size_t feito = 0;
    while (feito < tamanho) {
        const std::size_t pedaco = std::min(tamanho - feito, zenta::TAMANHO_PEDACO);
        std::size_t lidos = 0;
        const zenta::ResultadoArquivo r = m_pArquivo->Le(posicao + feito, p + feito, pedaco, lidos);
        if (!r.Ok()) return r;
        if (lidos != pedaco) return zenta::ResultadoArquivo::Falha(zenta::CausaArquivo::fimArquivo);
        feito += pedaco;
    }
    return zenta::ResultadoArquivo::Sucesso();
}

zenta::ResultadoArquivo CQVFileBase::GravaDados(uint64_t posicao, const void* origem, std::size_t tamanho) {
    if (!m_pArquivo) return zenta::ResultadoArquivo::Falha(zenta::CausaArquivo::arquivoInvalido);
    const auto* p = static_cast<const unsigned char*>(origem);
    std::size_t feito = 0;
    while (feito < tamanho) {
        const std::size_t pedaco = std::min(tamanho - feito, zenta::TAMANHO_PEDACO);
        const zenta::ResultadoArquivo r = m_pArquivo->Grava(posicao + feito, p + feito, pedaco);
        if (!r.Ok()) return r;
        feito += pedaco;
    }
    return zenta::ResultadoArquivo::Sucesso();
}

zenta::ResultadoArquivo CQVFileBase::TamanhoArquivo(uint64_t& tamanho) {
    tamanho = 0;
    if (!m_pArquivo) return zenta::ResultadoArquivo::Falha(zenta::CausaArquivo::arquivoInvalido);
    return m_pArquivo->Tamanho(tamanho);
}

zenta::ResultadoArquivo CQVFileBase::TruncaDados(uint64_t tamanho) {
    if (!m_pArquivo) return zenta::ResultadoArquivo::Falha(zenta::CausaArquivo::arquivoInvalido);
    return m_pArquivo->Trunca(tamanho);
}

HRESULT CQVFileBase::ConfereGravacaoPermitida() {
    if (!m_bGravacaoRecusada) return S_OK;
    QV_LOG_HR(E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE, "ConfereGravacaoPermitida()");
    return E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE;
}

// ---- Header ---------------------------------------------------------------------------

bool CQVFileBase::GerenciarCabecalho() const {
    if (m_eModulo == QVDATABASE_MODULO_SEM_CABECALHO) return false;
    if (zenta::CabecalhoDesabilitadoRegistro()) return false;
    if (m_pDataBase != nullptr && m_pDataBase->GetSemCabecalho()) return false;
    const std::string_view ext = zenta::ExtensaoArquivo(m_sNomeArquivo);
    if (ext == "cab" || ext == "srk" || ext == "tra") return false;
    if (m_sNomeArquivo == QVDATABASE_NOME_ARQUIVO_CONTROLE) return false;
    return true;
}

bool CQVFileBase::PossuiCabecalho() {
    if (m_bCabecalhoVerificado) return m_bPossuiCabecalho;
    m_bCabecalhoVerificado = true;
    m_bPossuiCabecalho = false;
    const std::string_view ext = zenta::ExtensaoArquivo(m_sNomeArquivo);
    if (ext == "cab" || ext == "srk" || ext == "tra" || m_sNomeArquivo == QVDATABASE_NOME_ARQUIVO_CONTROLE)
        return false;
    if (!m_pArquivo) return false;
    uint64_t tamanho = 0;
    if (!TamanhoArquivo(tamanho).Ok() || tamanho < QVDATABASE_TAMANHO_PREFIXO_CABECALHO) return false;
    REG_QVDATABASE_CABECALHO_V1 lido{};
    if (!LeDados(0, &lido, QVDATABASE_TAMANHO_PREFIXO_CABECALHO).Ok()) return false;
    std::memcpy(&m_Cabecalho, &lido, QVDATABASE_TAMANHO_PREFIXO_CABECALHO);
    m_bPossuiCabecalho = lido.usVersaoCabecalho != 0 &&
                         lido.ullCrcVersao == zenta::QVCrc64(&lido.usVersaoCabecalho, sizeof lido.usVersaoCabecalho) &&
                         lido.ullCrcCrcVersao == zenta::QVCrc64(&lido.ullCrcVersao, sizeof lido.ullCrcVersao);
    if (!m_bPossuiCabecalho && tamanho >= QVDATABASE_TAMANHO_CABECALHO) {
        // A prefix that fails its test but still carries one of the version-1
        // constants, or in front of a header body whose own CRC holds, is a
        // damaged header, not records: reading it as records would turn the
        // header into data and the data into the wrong positions.
        REG_QVDATABASE_CABECALHO_V1 v1{};
        zenta::PreenchePrefixoCabecalhoV1(v1);
        REG_QVDATABASE_CABECALHO_V1 completo{};
        const bool bCorpo = LeDados(0, &completo, sizeof completo).Ok() &&
                            completo.ullTamanhoDadosCabecalho == QVDATABASE_TAMANHO_DADOS_CABECALHO &&
                            zenta::CrcCabecalho(completo) == completo.ullCrcCabecalho;
        m_bCabecalhoDanificado =
            bCorpo || lido.ullCrcVersao == v1.ullCrcVersao || lido.ullCrcCrcVersao == v1.ullCrcCrcVersao;
    }
    return m_bPossuiCabecalho;
}

ULONGLONG CQVFileBase::GetSeekCabecalho() {
    return PossuiCabecalho() && m_Cabecalho.usVersaoCabecalho == 1 ? QVDATABASE_TAMANHO_CABECALHO : 0;
}

HRESULT CQVFileBase::GerenciaCabecalho() {
    if (!GerenciarCabecalho() || !m_pArquivo) return S_OK;
    if (PossuiCabecalho()) return ValidaCabecalho();
    return CriaCabecalho();
}

HRESULT CQVFileBase::ValidaCabecalho() {
    REG_QVDATABASE_CABECALHO_V1 lido{};
    const zenta::ResultadoArquivo r = LeDados(0, &lido, QVDATABASE_TAMANHO_PREFIXO_CABECALHO);
    if (!r.Ok()) return CatchInicializacao(r);
    std::memcpy(&m_Cabecalho, &lido, QVDATABASE_TAMANHO_PREFIXO_CABECALHO);
    if (lido.usVersaoCabecalho != 1) QV_CHECK(E_QVCR_VERSAO_CABECALHO_SUPERIOR_VERSAO_SISTEMA);
    QV_CHECK(ValidaCabecalhoV01());
    return S_OK;
}

HRESULT CQVFileBase::LeCabecalhoCompleto() {
    // A file cut inside its header reads as zeros past its end, which the
    // size check below refuses.
    REG_QVDATABASE_CABECALHO_V1 lido{};
    std::size_t lidos = 0;
    const zenta::ResultadoArquivo r = m_pArquivo->Le(0, &lido, sizeof lido, lidos);
    if (!r.Ok()) return CatchInicializacao(r);
    m_Cabecalho = lido;
    m_bCabecalhoCompleto = true;
    return S_OK;
}

HRESULT CQVFileBase::ValidaCabecalhoV01() {
    QV_CHECK(LeCabecalhoCompleto());
    uint64_t tamanho = 0;
    if (const zenta::ResultadoArquivo r = TamanhoArquivo(tamanho); !r.Ok()) return CatchInicializacao(r);
    const REG_QVDATABASE_CABECALHO_V1& c = m_Cabecalho;
    // The checks in their order; `bComprimento` false leaves the data length out.
    const auto confere = [&](bool bComprimento) -> HRESULT {
        if (c.ullTamanhoDadosCabecalho != QVDATABASE_TAMANHO_DADOS_CABECALHO) return E_QVCR_TAMANHO_CABECALHO_NAO_CONFERE;
        if (zenta::CrcCabecalho(c) != c.ullCrcCabecalho) return E_QVCR_CRC_CABECALHO_NAO_CONFERE;
        if (bComprimento &&
            (tamanho < QVDATABASE_TAMANHO_CABECALHO || c.ullTamanhoDados != tamanho - QVDATABASE_TAMANHO_CABECALHO))
            return E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE;
        if (c.usVersaoMotorCriacao > QVDATABASE_VERSAO_MOTOR) return E_QVCR_VERSAO_SISTEMA_INFERIOR_VERSAO_CRIACAO_CABECALHO;
        if (c.usVersaoMotorModificacao > QVDATABASE_VERSAO_MOTOR)
            return E_QVCR_VERSAO_SISTEMA_INFERIOR_VERSAO_MODIFICACAO_ARQUIVO;
        if (!zenta::IgualSemCaixaLimitado(zenta::TextoCampo(c.szNomeArquivo), zenta::Ultimos(m_sNomeArquivo, 23), 24))
            return E_QVCR_NOME_ARQUIVO_NAO_CONFERE;
        return S_OK;
    };
    HRESULT hr = confere(true);
    // Only the length is wrong: bytes of a write never acknowledged may be cut off.
    if (hr == E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE && SUCCEEDED(confere(false))) {
        hr = DescartaAcrescimoNaoConfirmado(tamanho);
        if (SUCCEEDED(hr)) hr = confere(true);
    }
    if (FAILED(hr)) {
        m_bCabecalhoCompleto = false;
        QV_CHECK(hr);
    }
    return S_OK;
}

HRESULT CQVFileBase::DescartaAcrescimoNaoConfirmado(uint64_t& tamanho) {
    // Every write puts its bytes on disk first and the header's data length
    // last, and is acknowledged only after both: bytes past the data length
    // are a write whose header update never came (the process died in
    // between). When they are exactly whole records (whole text items) that
    // write was never acknowledged and the file before it is sound: the
    // bytes are cut off and the cut logged. Anything else past the end, or a
    // file shorter than its header says, is damage and is refused.
    const uint64_t fimDados = QVDATABASE_TAMANHO_CABECALHO + m_Cabecalho.ullTamanhoDados;
    if (m_Cabecalho.ullTamanhoDados > UINT64_MAX - QVDATABASE_TAMANHO_CABECALHO || tamanho <= fimDados) return S_OK;
    if (m_eModoAbertura != eModoLeituraGravacao && m_eModoAbertura != eModoLeituraGravacaoCriacao) return S_OK;
    const uint64_t excesso = tamanho - fimDados;
    if (!AcrescimoInteiro(fimDados, excesso)) return S_OK;
    zenta::ResultadoArquivo r = TruncaDados(fimDados);
    if (r.Ok()) r = m_pArquivo->Sincroniza();
    if (!r.Ok()) return CatchInicializacao(r);
    tamanho = fimDados;
    QVGravaLogErroTexto(QVProfilerDoEscopo(), QV_FUNCAO, QV_ARQUIVO, __LINE__,
                        "Gravação não confirmada descartada\tArquivo = " + m_sNomeArquivo +
                            "\tBytes = " + std::to_string(excesso) + "\tTamanho dados = " +
                            std::to_string(m_Cabecalho.ullTamanhoDados));
    return S_OK;
}

HRESULT CQVFileBase::GeraDadosCabecalho() {
    uint64_t tamanho = 0;
    if (const zenta::ResultadoArquivo r = TamanhoArquivo(tamanho); !r.Ok()) return CatchGravacao(r);
    MontaCabecalhoNovo(m_Cabecalho, tamanho);
    return S_OK;
}

void CQVFileBase::MontaCabecalhoNovo(REG_QVDATABASE_CABECALHO_V1& c, uint64_t tamanhoDados) const {
    std::memset(&c, 0, sizeof c);
    zenta::PreenchePrefixoCabecalhoV1(c);
    const QVDATAHORA_REGISTRO agora = zenta::DataHoraRegistroAgora();
    c.dhAtualizacao = agora;
    c.dhCriacao = agora;
    c.dhCriacaoOriginal = agora;
    c.ullTamanhoDadosCabecalho = QVDATABASE_TAMANHO_DADOS_CABECALHO;
    c.ullTamanhoDados = tamanhoDados;
    c.ullSessao = static_cast<ULONGLONG>(GetNumeroSessao());
    c.ulUsuario = static_cast<ULONG>(GetUsuario());
    c.usVersaoArquivo = 1;
    c.usVersaoMotorCriacao = QVDATABASE_VERSAO_MOTOR;
    c.usVersaoMotorModificacao = QVDATABASE_VERSAO_MOTOR;
    zenta::CopiaCampo(c.szNomeArquivo, zenta::Ultimos(m_sNomeArquivo, 23));
    const std::string empresa = zenta::Utf8OuCp1252ParaCp1252(GetEmpresa());
    zenta::CopiaCampo(c.szEmpresa, zenta::Ultimos(empresa, 23));
    zenta::CopiaCampo(c.szComputador, zenta::NomeComputadorCabecalho());
    c.ullCrcCabecalho = zenta::CrcCabecalho(c);
}

HRESULT CQVFileBase::CriaCabecalho() {
    // The reopen after the insertion must find the header: a file that still
    // lacks it then is not given a second one on top.
    if (m_bCriandoCabecalho) QV_CHECK(E_QVDATABASE_eQVGenericError);
    QV_CHECK(GeraDadosCabecalho());
    const uint64_t tamanhoOriginal = m_Cabecalho.ullTamanhoDados;
    const auto so = zenta::ArquivoSO();
    const std::filesystem::path gemeo = m_sPathArquivo.parent_path() / zenta::NomeComExtensao(m_sNomeArquivo, "cab");

    // Records already in the file move behind the header through the "cab"
    // copy. An empty file goes the same way, so that a header is never seen
    // half written. A copy found here was left by an attempt that did not
    // finish (a kill, a failed step): the copy only ever replaces the file by
    // a rename, which is whole or not at all, and this object holds the
    // file's lock, so no other writer is making it now. The file is
    // therefore what it was before that attempt and the copy holds nothing
    // the file lacks: it is removed (and logged), and the insertion runs
    // again. Only a copy that cannot be removed still blocks.
    if (so->Existe(gemeo)) {
        const zenta::ResultadoArquivo r = so->Remove(gemeo);
        if (!r.Ok() || so->Existe(gemeo)) QV_CHECK(E_QVCR_ARQUIVO_CAB_ENCONTRADO);
        QVGravaLogErroTexto(QVProfilerDoEscopo(), QV_FUNCAO, QV_ARQUIVO, __LINE__,
                            "Cópia \"" + gemeo.filename().string() + "\" de uma inclusão de cabeçalho interrompida removida; \"" +
                                m_sNomeArquivo + "\" mantido como estava");
    }

    {
        std::unique_ptr<zenta::IArquivoAberto> copia;
        zenta::ResultadoArquivo r = so->Abre(gemeo, zenta::AberturaSO::criacaoTruncada, copia);
        if (!r.Ok()) return CatchGravacao(r);
        r = copia->Grava(0, &m_Cabecalho, sizeof m_Cabecalho);
        if (!r.Ok()) return CatchGravacao(r);
        std::vector<unsigned char> buffer;
        uint64_t feito = 0;
        while (feito < tamanhoOriginal) {
            const std::size_t pedaco =
                static_cast<std::size_t>(std::min<uint64_t>(tamanhoOriginal - feito, std::size_t{1} << 24));
            buffer.resize(pedaco);
            r = LeDados(feito, buffer.data(), pedaco);
            if (!r.Ok()) return CatchGravacao(r);
            r = copia->Grava(QVDATABASE_TAMANHO_CABECALHO + feito, buffer.data(), pedaco);
            if (!r.Ok()) return CatchGravacao(r);
            feito += pedaco;
        }
        r = copia->Sincroniza();
        if (!r.Ok()) return CatchGravacao(r);
    }

    // The copy replaces the file while this object still holds the file's
    // lock, so no other writer can slip in between; then the directory entry
    // is made durable and the file opened again.
    zenta::ResultadoArquivo r = zenta::RenomeiaComTentativas(gemeo, m_sPathArquivo, false);
    if (!r.Ok()) return CatchGravacao(r);
    r = so->SincronizaDiretorio(m_sPathArquivo.parent_path());
    if (!r.Ok()) return CatchGravacao(r);

    const EQVDataBase_ModoAbertura modo = m_eModoAbertura;
    FechaArquivo();
    m_bCriandoCabecalho = true;
    const HRESULT hr = AbreArquivo(modo == eModoInvalido ? eModoLeituraGravacao : modo);
    m_bCriandoCabecalho = false;
    QV_CHECK(hr);
    return S_OK;
}

HRESULT CQVFileBase::CriaArquivoComCabecalho() {
    // The new file is written whole, its header and nothing else, under its
    // "cab" twin, brought to disk and only then given its name: the name
    // never leads to a file without its header. A creation cut short leaves
    // only the twin, beside no file, which the next writer removes
    // (RemoveCriacaoInterrompida); nothing was ever stored in it.
    const auto so = zenta::ArquivoSO();
    const std::filesystem::path gemeo = m_sPathArquivo.parent_path() / zenta::NomeComExtensao(m_sNomeArquivo, "cab");
    if (so->Existe(gemeo)) {
        const zenta::ResultadoArquivo r = so->Remove(gemeo);
        if (!r.Ok() || so->Existe(gemeo)) QV_CHECK(E_QVCR_ARQUIVO_CAB_ENCONTRADO);
    }
    std::unique_ptr<zenta::IArquivoAberto> copia;
    zenta::ResultadoArquivo r = so->Abre(gemeo, zenta::AberturaSO::criacaoTruncada, copia);
    if (!r.Ok()) return CatchGravacao(r);
    REG_QVDATABASE_CABECALHO_V1 cabecalho{};
    MontaCabecalhoNovo(cabecalho, 0);
    r = copia->Grava(0, &cabecalho, sizeof cabecalho);
    if (r.Ok()) r = copia->Sincroniza();
    // The twin stays open, and so locked, until it has its name. A file that
    // came meanwhile is not replaced: the twin is dropped and that one opened.
    if (r.Ok() && !so->Existe(m_sPathArquivo)) {
        r = so->Renomeia(gemeo, m_sPathArquivo, true);
        if (r.Ok()) r = so->SincronizaDiretorio(m_sPathArquivo.parent_path());
    }
    copia.reset();
    if (so->Existe(gemeo)) (void)so->Remove(gemeo);
    if (!r.Ok()) return CatchGravacao(r);
    return S_OK;
}

void CQVFileBase::RemoveCriacaoInterrompida() {
    if (!GerenciarCabecalho()) return;
    const auto so = zenta::ArquivoSO();
    const std::filesystem::path gemeo = m_sPathArquivo.parent_path() / zenta::NomeComExtensao(m_sNomeArquivo, "cab");
    if (!so->Existe(gemeo)) return;
    // Held by a creation still running (its writer keeps it locked): left alone.
    if (!so->Remove(gemeo).Ok()) return;
    QVGravaLogErroTexto(QVProfilerDoEscopo(), QV_FUNCAO, QV_ARQUIVO, __LINE__,
                        "Cópia \"" + gemeo.filename().string() + "\" de uma criação interrompida removida; \"" +
                            m_sNomeArquivo + "\" não existe");
}

HRESULT CQVFileBase::AtualizaCabecalho() {
    if (!GerenciarCabecalho() || !m_pArquivo) return S_OK;
    // The file holds bytes of a failed write that could not be cut off: the
    // header keeps the data length of the last good state.
    QV_CHECK(ConfereGravacaoPermitida());
    if (!PossuiCabecalho()) return S_OK;
    if (!m_bCabecalhoCompleto) QV_CHECK(LeCabecalhoCompleto());
    REG_QVDATABASE_CABECALHO_V1& c = m_Cabecalho;
    uint64_t tamanho = 0;
    if (const zenta::ResultadoArquivo r = TamanhoArquivo(tamanho); !r.Ok()) return CatchGravacao(r);
    const QVDATAHORA_REGISTRO agora = zenta::DataHoraRegistroAgora();
    c.dhAtualizacao = agora;
    c.ullTamanhoDados = tamanho >= QVDATABASE_TAMANHO_CABECALHO ? tamanho - QVDATABASE_TAMANHO_CABECALHO : 0;
    if (c.ullContadorAtualizacoes == UINT64_MAX) {
        c.ullContadorAtualizacoes = 0;
        ++c.usVoltasContador;
    } else {
        ++c.ullContadorAtualizacoes;
    }
    c.ullSessao = static_cast<ULONGLONG>(GetNumeroSessao());
    c.ulUsuario = static_cast<ULONG>(GetUsuario());
    c.usVersaoMotorModificacao = QVDATABASE_VERSAO_MOTOR;

    const std::string empresa = zenta::Utf8OuCp1252ParaCp1252(GetEmpresa());
    const std::string_view empresaCampo = zenta::Ultimos(empresa, 23);
    if (!zenta::IgualSemCaixaLimitado(empresaCampo, zenta::TextoCampo(c.szEmpresa), 24)) {
        std::memcpy(c.szEmpresaAnterior, c.szEmpresa, sizeof c.szEmpresa);
        zenta::CopiaCampo(c.szEmpresa, empresaCampo);
        c.dhAlteracaoEmpresa = agora;
    }
    const std::string computador = zenta::NomeComputadorCabecalho();
    if (!zenta::IgualSemCaixaLimitado(computador, zenta::TextoCampo(c.szComputador), 16)) {
        std::memcpy(c.szComputadorAnterior, c.szComputador, sizeof c.szComputador);
        zenta::CopiaCampo(c.szComputador, computador);
        c.dhAlteracaoComputador = agora;
    }
    std::memset(c.cZero2, 0, sizeof c.cZero2);
    std::memset(c.cZero3, 0, sizeof c.cZero3);
    c.ullCrcCabecalho = zenta::CrcCabecalho(c);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&c);
    const zenta::ResultadoArquivo r = GravaDados(24, bytes + 24, QVDATABASE_TAMANHO_CABECALHO - 24);
    if (!r.Ok()) return CatchGravacao(r);
    return S_OK;
}

HRESULT CQVFileBase::SincronizaArquivo() {
    if (!m_pArquivo) return S_OK;
    const zenta::ResultadoArquivo r = m_pArquivo->Sincroniza();
    if (!r.Ok()) return CatchGravacao(r);
    return S_OK;
}

HRESULT CQVFileBase::SubstituiDadosArquivo(const void* pDados, std::size_t tamanho) {
    QV_CHECK(CQVDataBaseUtil::GetPathArquivo(m_eModulo, GetEmpresa(), m_sNomeArquivo, m_sPathArquivo));
    const bool bCabecalho = GerenciarCabecalho();
    {
        // The copy lives in a work container of the same module; its
        // initialisation removes a copy left behind by an earlier attempt.
        zenta::CQVContainerArquivosSimples trabalho(m_eModulo);
        CQVFileCopia copia(zenta::NomeComExtensao(m_sNomeArquivo, "cab"), &trabalho);
        QV_CHECK(copia.Inicializa(GetEmpresa(), GetUsuario(), CQVInicializador::GetNumeroSessao()));
        uint64_t offset = 0;
        if (bCabecalho) {
            REG_QVDATABASE_CABECALHO_V1 cabecalho{};
            MontaCabecalhoNovo(cabecalho, tamanho);
            QV_CHECK(copia.GravaBytes(0, &cabecalho, sizeof cabecalho));
            offset = sizeof cabecalho;
        }
        if (tamanho != 0) QV_CHECK(copia.GravaBytes(offset, pDados, tamanho));
        QV_CHECK(copia.SincronizaArquivo());
        copia.Finaliza();
    }
    // A writer's open holds the file's lock: the rename goes over it without
    // letting another writer in between. Otherwise the destination is checked.
    const bool bTravado = m_pArquivo && m_eModoAbertura != eModoLeituraSemBloqueio;
    const UINT eFlags = bTravado ? zenta::eQVDataBase_DestinoTravadoPeloChamador : eNenhum;
    const HRESULT hr = CQVDataBaseUtil::RenomeiaArquivoCAB(this, m_eModulo, m_sNomeArquivo, eFlags);
    FechaArquivo();
    QV_CHECK(hr);
    return S_OK;
}

}  // namespace zenta
