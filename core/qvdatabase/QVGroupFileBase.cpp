#include "core/qvdatabase/QVGroupFileBase.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <set>
#include <system_error>

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "diagnostics/QVCheck.h"

namespace zenta {

namespace {

// Where the run of '?' of a valid pattern starts and how long it is.
struct RunChave {
    std::size_t inicio = 0;
    std::size_t largura = 0;
};

bool LocalizaRun(std::string_view sPadrao, RunChave& run) {
    const std::size_t primeira = sPadrao.find('?');
    if (primeira == std::string_view::npos) return false;
    const std::size_t ultima = sPadrao.find_last_of('?');
    for (std::size_t i = primeira; i <= ultima; ++i)
        if (sPadrao[i] != '?') return false;  // more than one run
    // The run ends the name or stands right before the extension, so that a
    // member's key is exactly the digits between the prefix and the ".".
    const std::size_t fim = ultima + 1;
    const std::size_t ponto = sPadrao.rfind('.');
    if (fim != sPadrao.size() && !(ponto != std::string_view::npos && ponto == fim)) return false;
    // A run inside the extension ("X.??") is refused as well: the key stands
    // in the name, before the ".".
    if (ponto != std::string_view::npos && ponto < primeira) return false;
    run.inicio = primeira;
    run.largura = fim - primeira;
    return true;
}

// Only regular files can be members: a directory, device, pipe or symbolic
// link named like a member is left alone.
bool EhArquivoRegular(const std::filesystem::path& caminho) {
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::symlink_status(caminho, ec);
    return !ec && st.type() == std::filesystem::file_type::regular;
}

}  // namespace

bool PadraoGrupoValido(std::string_view sPadrao) {
    RunChave run;
    return NomeArquivoValido(sPadrao) && LocalizaRun(sPadrao, run);
}

bool NomeMembroGrupo(std::string_view sPadrao, ULONGLONG uiChave, std::string& sNomeMembro) {
    sNomeMembro.clear();
    RunChave run;
    if (!NomeArquivoValido(sPadrao) || !LocalizaRun(sPadrao, run)) return false;
    std::string digitos = std::to_string(uiChave);
    // A key wider than the run would give a name that the discovery never
    // finds again: its records would be lost at the next start-up.
    if (digitos.size() > run.largura) return false;
    digitos.insert(0, run.largura - digitos.size(), '0');
    sNomeMembro.assign(sPadrao);
    sNomeMembro.replace(run.inicio, run.largura, digitos);
    return true;
}

bool CasaMembroGrupo(std::string_view sNome, std::string_view sPadrao, ULONGLONG& uiChave) {
    uiChave = 0;
    RunChave run;
    if (!NomeArquivoValido(sPadrao) || !LocalizaRun(sPadrao, run)) return false;
    if (sNome.size() != sPadrao.size()) return false;
    const std::size_t fim = run.inicio + run.largura;
    if (!IgualSemCaixa(sNome.substr(0, run.inicio), sPadrao.substr(0, run.inicio)) ||
        !IgualSemCaixa(sNome.substr(fim), sPadrao.substr(fim)))
        return false;
    ULONGLONG chave = 0;
    for (std::size_t i = run.inicio; i < fim; ++i) {
        const char c = sNome[i];
        if (c < '0' || c > '9') return false;
        const auto digito = static_cast<ULONGLONG>(c - '0');
        if (chave > (UINT64_MAX - digito) / 10) return false;
        chave = chave * 10 + digito;
    }
    uiChave = chave;
    return true;
}

std::vector<ULONGLONG> ChavesMembrosGrupo(const std::filesystem::path& diretorio, std::string_view sPadrao) {
    std::set<ULONGLONG> chaves;
    if (!PadraoGrupoValido(sPadrao)) return {};
    for (const std::string& entrada : ArquivoSO()->ListaDiretorio(diretorio)) {
        ULONGLONG chave = 0;
        if (!CasaMembroGrupo(entrada, sPadrao, chave)) continue;
        if (!EhArquivoRegular(diretorio / entrada)) continue;
        chaves.insert(chave);
    }
    return {chaves.begin(), chaves.end()};
}

// ---- Construction ---------------------------------------------------------------

CQVGroupFileBase::CQVGroupFileBase(std::string_view sNomeArquivo, zenta::IQVDataBaseContainer* pDataBase)
    : m_sNomeArquivo(zenta::NormalizaNomeArquivo(sNomeArquivo)),
      m_eModulo(pDataBase != nullptr ? pDataBase->GetModulo() : QV_MODULO_GE),
      m_pDataBase(pDataBase) {
    if (m_pDataBase != nullptr) m_pDataBase->AddFile(this);
}

CQVGroupFileBase::~CQVGroupFileBase() {
    // OnFinaliza of this class (the derived part is gone by now) closes the
    // members, bringing their headers up to date.
    Finaliza();
    {
        std::unique_lock trava(m_lockMapa);
        (void)FinalizaMembros();
    }
    if (m_pDataBase != nullptr) m_pDataBase->RemoveFile(this);
}

// ---- Names ----------------------------------------------------------------------

HRESULT CQVGroupFileBase::GetNomeArquivoMembro(ULONGLONG uiChaveNomeArquivo, std::string& sNomeMembro) const {
    if (!zenta::NomeMembroGrupo(m_sNomeArquivo, uiChaveNomeArquivo, sNomeMembro))
        return E_QVCR_NOME_ARQUIVO_GROUP_INVALIDO;
    return S_OK;
}

// ---- Life cycle -----------------------------------------------------------------

HRESULT CQVGroupFileBase::ConstroiMembro(ULONGLONG uiChaveNomeArquivo, std::unique_ptr<IQVFileBase>& membro) {
    membro.reset();
    std::string sNomeMembro;
    QV_CHECK(GetNomeArquivoMembro(uiChaveNomeArquivo, sNomeMembro));
    membro = NewFile(sNomeMembro, m_pDataBase);
    if (!membro) return E_OUTOFMEMORY;
    membro->SetModulo(GetModulo());
    if (m_bControleCriacaoDesabilitado.load(std::memory_order_relaxed)) membro->DesabilitaControleCriacaoArquivos();
    return S_OK;
}

HRESULT CQVGroupFileBase::FinalizaMembros() {
    HRESULT hrPrimeira = S_OK;
    for (auto& [chave, pQVFile] : m_mapFiles) {
        const HRESULT hr = pQVFile->Finaliza();
        if (FAILED(hr)) {
            QV_LOG_HR(hr, "pQVFile->Finaliza()");
            if (SUCCEEDED(hrPrimeira)) hrPrimeira = hr;
        }
    }
    m_mapFiles.clear();
    {
        std::lock_guard travaCarga(m_travaCarga);
        m_pendentes.clear();
        m_qtdPendentes.store(0, std::memory_order_release);
    }
    EsqueceMembros();
    return hrPrimeira;
}

HRESULT CQVGroupFileBase::OnInicializa() {
    QV_CHECK(IQVFileBase::OnInicializa());
    if (!zenta::PadraoGrupoValido(m_sNomeArquivo)) QV_CHECK(E_QVCR_NOME_ARQUIVO_GROUP_INVALIDO);

    // The members live in the module's data directory, the directory of the
    // pattern's prefix.
    std::filesystem::path sPathDados;
    QV_CHECK(CQVDataBaseUtil::GetPathDados(GetModulo(), GetEmpresa(), sPathDados));

    std::unique_lock trava(m_lockMapa);
    // Members left by an earlier start-up that failed half-way.
    (void)FinalizaMembros();
    for (const ULONGLONG chave : zenta::ChavesMembrosGrupo(sPathDados, m_sNomeArquivo)) {
        std::unique_ptr<IQVFileBase> pQVFile;
        const HRESULT hr = ConstroiMembro(chave, pQVFile);
        if (FAILED(hr)) {
            (void)FinalizaMembros();
            return hr;
        }
        m_mapFiles[chave] = std::move(pQVFile);
        std::lock_guard travaCarga(m_travaCarga);
        m_pendentes.insert(chave);
        m_qtdPendentes.store(m_pendentes.size(), std::memory_order_release);
    }
    // A member's creation cut short leaves its "cab" twin beside no member
    // (CQVFileBase::CriaArquivoComCabecalho); a writer removes it.
    if (m_pDataBase == nullptr || !m_pDataBase->GetLeituraSemBloqueio()) {
        const std::string sPadraoCab = zenta::NomeComExtensao(m_sNomeArquivo, "cab");
        const auto so = zenta::ArquivoSO();
        for (const ULONGLONG chave : zenta::ChavesMembrosGrupo(sPathDados, sPadraoCab)) {
            std::string sNomeCab;
            if (m_mapFiles.count(chave) != 0 || !zenta::NomeMembroGrupo(sPadraoCab, chave, sNomeCab)) continue;
            if (so->Remove(sPathDados / sNomeCab).Ok())
                QVGravaLogErroTexto(QVProfilerDoEscopo(), QV_FUNCAO, QV_ARQUIVO, __LINE__,
                                    "Cópia \"" + sNomeCab + "\" de uma criação interrompida removida");
        }
    }
    return S_OK;
}

HRESULT CQVGroupFileBase::OnFinaliza() {
    std::unique_lock trava(m_lockMapa);
    return FinalizaMembros();
}

// ---- Member map -----------------------------------------------------------------

HRESULT CQVGroupFileBase::LookupMapFiles(ULONGLONG uiChaveNomeArquivo, IQVFileBase*& pQVFileInterface,
                                         bool bErroSeNaoExistir) const {
    pQVFileInterface = nullptr;
    const auto it = m_mapFiles.find(uiChaveNomeArquivo);
    if (it == m_mapFiles.end()) return bErroSeNaoExistir ? E_QVDATABASE_MEMBRO_GRUPO_NAO_EXISTE : S_OK;
    if (m_qtdPendentes.load(std::memory_order_acquire) != 0) {
        std::lock_guard travaCarga(m_travaCarga);
        if (m_pendentes.contains(uiChaveNomeArquivo)) QV_CHECK(CarregaMembro(uiChaveNomeArquivo, *it->second));
    }
    pQVFileInterface = it->second.get();
    return S_OK;
}

HRESULT CQVGroupFileBase::CarregaMembro(ULONGLONG uiChaveNomeArquivo, IQVFileBase& membro) const {
    // The group's context; the member is taken out of the waiting ones only
    // once loaded and indexed.
    HRESULT hr = membro.Inicializa(GetEmpresa(), GetUsuario(), CQVInicializador::GetNumeroSessao());
    if (FAILED(hr)) {
        QV_LOG_HR(hr, "membro.Inicializa(...)");
        (void)membro.Finaliza();
        return hr;
    }
    // Index definitions registered before the load hold for it as for a new member.
    hr = const_cast<CQVGroupFileBase*>(this)->IncluiIndex(uiChaveNomeArquivo, &membro);
    if (FAILED(hr)) {
        QV_LOG_HR(hr, "IncluiIndex(...)");
        (void)membro.Finaliza();
        return hr;
    }
    m_pendentes.erase(uiChaveNomeArquivo);
    m_qtdPendentes.store(m_pendentes.size(), std::memory_order_release);
    return S_OK;
}

HRESULT CQVGroupFileBase::CarregaPendentes() const {
    if (m_qtdPendentes.load(std::memory_order_acquire) == 0) return S_OK;
    std::lock_guard travaCarga(m_travaCarga);
    HRESULT hrPrimeira = S_OK;
    for (const ULONGLONG chave : std::vector<ULONGLONG>(m_pendentes.begin(), m_pendentes.end())) {
        const HRESULT hr = CarregaMembro(chave, *m_mapFiles.at(chave));
        if (FAILED(hr) && SUCCEEDED(hrPrimeira)) hrPrimeira = hr;
    }
    return hrPrimeira;
}

bool CQVGroupFileBase::MembroPendente(ULONGLONG uiChaveNomeArquivo) const {
    if (m_qtdPendentes.load(std::memory_order_acquire) == 0) return false;
    std::lock_guard travaCarga(m_travaCarga);
    return m_pendentes.contains(uiChaveNomeArquivo);
}

HRESULT CQVGroupFileBase::CriaMembro(ULONGLONG uiChaveNomeArquivo, IQVFileBase*& pQVFileInterface) {
    pQVFileInterface = nullptr;
    std::unique_ptr<IQVFileBase> pNovo;
    QV_CHECK(ConstroiMembro(uiChaveNomeArquivo, pNovo));
    HRESULT hr = pNovo->Inicializa(GetEmpresa(), GetUsuario(), CQVInicializador::GetNumeroSessao());
    if (FAILED(hr)) {
        QV_LOG_HR(hr, "pQVFileInterface->Inicializa(this)");
        (void)pNovo->Finaliza();
        return hr;
    }
    hr = IncluiIndex(uiChaveNomeArquivo, pNovo.get());
    if (FAILED(hr)) {
        QV_LOG_HR(hr, "IncluiIndex(pQVFileInterface)");
        (void)pNovo->Finaliza();
        return hr;
    }
    pQVFileInterface = pNovo.get();
    m_mapFiles[uiChaveNomeArquivo] = std::move(pNovo);
    return S_OK;
}

void CQVGroupFileBase::DescartaMembro(ULONGLONG uiChaveNomeArquivo) {
    const auto it = m_mapFiles.find(uiChaveNomeArquivo);
    if (it == m_mapFiles.end()) return;
    (void)it->second->Finaliza();
    m_mapFiles.erase(it);
}

std::vector<ULONGLONG> CQVGroupFileBase::GetChaves() const {
    std::shared_lock trava(m_lockMapa);
    std::vector<ULONGLONG> chaves;
    chaves.reserve(m_mapFiles.size());
    for (const auto& [chave, pQVFile] : m_mapFiles) chaves.push_back(chave);
    return chaves;
}

std::size_t CQVGroupFileBase::GetQtdArquivos() const {
    std::shared_lock trava(m_lockMapa);
    return m_mapFiles.size();
}

bool CQVGroupFileBase::ExisteMembro(ULONGLONG uiChaveNomeArquivo) const {
    std::shared_lock trava(m_lockMapa);
    return m_mapFiles.contains(uiChaveNomeArquivo);
}

// ---- Counts and index lookups (shared lock) ----------------------------------------

ULONGLONG CQVGroupFileBase::GetQtdRegistros() const {
    std::shared_lock trava(m_lockMapa);
    // A member that cannot be loaded counts as empty, as a missing one does.
    (void)CarregaPendentes();
    ULONGLONG total = 0;
    for (const auto& [chave, pQVFile] : m_mapFiles)
        if (!MembroPendente(chave)) total += pQVFile->GetQtdRegistros();
    return total;
}

ULONGLONG CQVGroupFileBase::GetQtdRegistros(ULONGLONG uiChaveNomeArquivo) const {
    std::shared_lock trava(m_lockMapa);
    IQVFileBase* pQVFileInterface = nullptr;
    if (FAILED(LookupMapFiles(uiChaveNomeArquivo, pQVFileInterface, false)) || pQVFileInterface == nullptr) return 0;
    return pQVFileInterface->GetQtdRegistros();
}

HRESULT CQVGroupFileBase::ExisteIndex(ULONGLONG uiChaveNomeArquivo, ULONGLONG uiPosicaoIndex, ULONGLONG& uiPosicao,
                                      UINT uiColunaIndexacao) const {
    std::shared_lock trava(m_lockMapa);
    IQVFileBase* pQVFileInterface = nullptr;
    QV_CHECK(LookupMapFiles(uiChaveNomeArquivo, pQVFileInterface, false));
    if (pQVFileInterface == nullptr) return S_OK;
    return ExisteIndexMembro(*pQVFileInterface, uiPosicaoIndex, uiPosicao, uiColunaIndexacao);
}

HRESULT CQVGroupFileBase::ExisteIndex(ULONGLONG uiChaveNomeArquivo, ULONGLONG uiPosicaoIndex,
                                      std::vector<ULONGLONG>& listaPosicao, UINT uiColunaIndexacao) const {
    listaPosicao.clear();
    std::shared_lock trava(m_lockMapa);
    IQVFileBase* pQVFileInterface = nullptr;
    QV_CHECK(LookupMapFiles(uiChaveNomeArquivo, pQVFileInterface, false));
    if (pQVFileInterface == nullptr) return S_OK;
    return ExisteIndexMembro(*pQVFileInterface, uiPosicaoIndex, listaPosicao, uiColunaIndexacao);
}

// ---- Changes of the whole group (exclusive lock) -----------------------------------

HRESULT CQVGroupFileBase::DeletaArquivo() {
    std::unique_lock trava(m_lockMapa);
    while (!m_mapFiles.empty()) {
        const auto it = m_mapFiles.begin();
        // A member is deleted as a loaded file: its name, lock and place in
        // the file-creation list.
        IQVFileBase* pMembro = nullptr;
        QV_CHECK(LookupMapFiles(it->first, pMembro));
        QV_CHECK(it->second->DeletaArquivo());
        (void)it->second->Finaliza();
        m_mapFiles.erase(it);
    }
    // Only once every member is gone: a deletion stopped half-way leaves
    // members whose keys must still be found.
    EsqueceMembros();
    return S_OK;
}

void CQVGroupFileBase::SetModulo(int eModulo) {
    std::unique_lock trava(m_lockMapa);
    m_eModulo.store(eModulo, std::memory_order_relaxed);
    for (auto& [chave, pQVFile] : m_mapFiles) pQVFile->SetModulo(eModulo);
}

void CQVGroupFileBase::DesabilitaControleCriacaoArquivos() {
    std::unique_lock trava(m_lockMapa);
    m_bControleCriacaoDesabilitado.store(true, std::memory_order_relaxed);
    for (auto& [chave, pQVFile] : m_mapFiles) pQVFile->DesabilitaControleCriacaoArquivos();
}

void CQVGroupFileBase::FechaMembrosSemAtualizar() {
    std::unique_lock trava(m_lockMapa);
    for (const auto& [chave, pMembro] : m_mapFiles)
        if (auto* pArquivo = dynamic_cast<CQVFileBase*>(pMembro.get())) pArquivo->FechaArquivo();
}

}  // namespace zenta
