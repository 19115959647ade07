#include "core/qvdatabase/QVDataBase.h"

#include <algorithm>
#include <unordered_map>

#include "platform/QVDiretorios.h"
#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVDataBaseControleCriacaoArquivos.h"
#include "core/qvdatabase/QVGroupFileBase.h"
#include "diagnostics/QVTrataErro.h"
#include "platform/Registry.h"
#include "values/QVCrc64.h"

namespace zenta {

HRESULT ValidaCorridasFilhos(const std::vector<CorridaFilhos>& aCorridas, ULONGLONG uiQtdFilhos, ULONGLONG& uiSoma) {
    uiSoma = 0;
    for (const CorridaFilhos& c : aCorridas) {
        if ((c.uiPrimeiro == 0) != (c.uiQtd == 0)) return E_QVCR_INCONSISTENCIA_CHAVE_QUANTIDADE;
    }
    for (const CorridaFilhos& c : aCorridas) {
        if (c.uiQtd == 0) continue;
        // A run reaching past the child file cannot be copied.
        if (c.uiPrimeiro > uiQtdFilhos || c.uiQtd > uiQtdFilhos - c.uiPrimeiro + 1)
            return E_QVCR_INCONSISTENCIA_RELACIONAMENTO_ARQUIVO_PAI_FILHO;
        uiSoma += c.uiQtd;
        if (uiSoma > uiQtdFilhos) return E_QVCR_INCONSISTENCIA_RELACIONAMENTO_ARQUIVO_PAI_FILHO;
    }
    return S_OK;
}

bool FormamLayoutCompactado(const std::vector<CorridaFilhos>& aCorridas, ULONGLONG uiQtdGemeo) {
    ULONGLONG uiProximo = 1;
    for (const CorridaFilhos& c : aCorridas) {
        if ((c.uiPrimeiro == 0) != (c.uiQtd == 0)) return false;
        if (c.uiQtd == 0) continue;
        if (c.uiPrimeiro != uiProximo) return false;
        uiProximo += c.uiQtd;
    }
    return uiProximo - 1 == uiQtdGemeo;
}

bool CorridasDentro(const std::vector<CorridaFilhos>& aCorridas, ULONGLONG uiQtd) {
    for (const CorridaFilhos& c : aCorridas) {
        if ((c.uiPrimeiro == 0) != (c.uiQtd == 0)) return false;
        if (c.uiQtd == 0) continue;
        if (c.uiPrimeiro > uiQtd || c.uiQtd > uiQtd - c.uiPrimeiro + 1) return false;
    }
    return true;
}

bool CorridasPresentesNoOriginal(const std::vector<CorridaFilhos>& aCorridas, const void* pGemeo, ULONGLONG uiQtdGemeo,
                                 const void* pOriginal, ULONGLONG uiQtdOriginal, std::size_t tamanho) {
    const auto* gemeo = static_cast<const unsigned char*>(pGemeo);
    const auto* original = static_cast<const unsigned char*>(pOriginal);
    // Positions of the original by the CRC of their record, to find where a
    // run may start.
    std::unordered_multimap<ULONGLONG, ULONGLONG> inicio;
    inicio.reserve(static_cast<std::size_t>(uiQtdOriginal));
    for (ULONGLONG p = 0; p < uiQtdOriginal; ++p) inicio.emplace(QVCrc64(original + p * tamanho, tamanho), p);
    for (const CorridaFilhos& c : aCorridas) {
        if (c.uiQtd == 0) continue;
        if (c.uiPrimeiro == 0 || c.uiPrimeiro - 1 + c.uiQtd > uiQtdGemeo) return false;
        const unsigned char* run = gemeo + (c.uiPrimeiro - 1) * tamanho;
        const std::size_t bytes = static_cast<std::size_t>(c.uiQtd) * tamanho;
        bool achou = false;
        const auto [de, ate] = inicio.equal_range(QVCrc64(run, tamanho));
        for (auto it = de; it != ate && !achou; ++it) {
            const ULONGLONG p = it->second;
            if (p + c.uiQtd <= uiQtdOriginal && std::memcmp(original + p * tamanho, run, bytes) == 0) achou = true;
        }
        if (!achou) return false;
    }
    return true;
}

HRESULT CompactaPonteiros(const std::vector<ULONG>& aPonteiros, ULONGLONG uiQtdFilhos,
                               std::vector<ULONGLONG>& aNovaPosicao, ULONGLONG& uiQtdMantidos) {
    aNovaPosicao.clear();
    uiQtdMantidos = 0;
    for (const ULONG p : aPonteiros)
        if (p > uiQtdFilhos) return E_QVCR_INCONSISTENCIA_RELACIONAMENTO_ARQUIVO_PAI_FILHO;
    aNovaPosicao.assign(static_cast<std::size_t>(uiQtdFilhos) + 1, 0);
    for (const ULONG p : aPonteiros)
        if (p != 0) aNovaPosicao[p] = 1;
    for (std::size_t p = 1; p < aNovaPosicao.size(); ++p)
        if (aNovaPosicao[p] != 0) aNovaPosicao[p] = ++uiQtdMantidos;
    return S_OK;
}

bool PonteirosFormamLayoutCompactado(const std::vector<ULONG>& aPonteiros, ULONGLONG uiQtdGemeo) {
    std::vector<bool> visto(static_cast<std::size_t>(uiQtdGemeo) + 1, false);
    ULONGLONG uiVistos = 0;
    for (const ULONG p : aPonteiros) {
        if (p == 0) continue;
        if (p > uiQtdGemeo) return false;
        if (!visto[p]) {
            visto[p] = true;
            ++uiVistos;
        }
    }
    return uiVistos == uiQtdGemeo;
}

bool TextosSubsequenciaDoOriginal(const CQVTextosArquivo& aGemeo, const CQVTextosArquivo& aOriginal) {
    std::size_t j = 0;
    for (const CQVTextFileRegistro t : aGemeo) {
        while (j < aOriginal.size() && aOriginal[j].sTexto != t.sTexto) ++j;
        if (j == aOriginal.size()) return false;
        ++j;
    }
    return true;
}

bool ShrinkDesabilitado() {
    const std::string programa = std::filesystem::path(NomeArquivoPrograma()).filename().string();
    if (programa.empty()) return false;
    const std::string chave = std::string(QV_CHAVE_REGISTRO) + "\\DesabilitaShrink";
    const auto valor = RegLeDword(HKEY_LOCAL_MACHINE, chave, programa);
    return valor.has_value() && *valor != 0;
}

// ---- Container ----------------------------------------------------------------------------

CQVDataBase::CQVDataBase(int eModulo) : m_eModulo(eModulo) {}

CQVDataBase::~CQVDataBase() {
    // Files still registered outlive the container: they forget it is gone
    // only through their own destruction, so the registry is simply dropped.
    std::lock_guard trava(m_travaArquivos);
    m_mapFiles.clear();
}

int CQVDataBase::GetModulo() const { return m_eModulo.load(); }

void CQVDataBase::SetModulo(int eModulo) {
    m_eModulo = eModulo;
    for (IQVFileBase* pFile : GetFiles()) pFile->SetModulo(eModulo);
}

void CQVDataBase::AddFile(IQVFileBase* pFile) {
    if (pFile == nullptr) return;
    {
        std::lock_guard trava(m_travaArquivos);
        m_mapFiles.emplace(pFile->GetNomeArquivo(), pFile);
    }
    if (m_bDesabilitaControle) pFile->DesabilitaControleCriacaoArquivos();
}

void CQVDataBase::RemoveFile(IQVFileBase* pFile) {
    std::lock_guard trava(m_travaArquivos);
    for (auto it = m_mapFiles.begin(); it != m_mapFiles.end(); ++it) {
        if (it->second == pFile) {
            m_mapFiles.erase(it);
            return;
        }
    }
}

std::vector<IQVFileBase*> CQVDataBase::GetFiles() const {
    std::lock_guard trava(m_travaArquivos);
    std::vector<IQVFileBase*> arquivos;
    arquivos.reserve(m_mapFiles.size());
    for (const auto& [nome, pFile] : m_mapFiles) arquivos.push_back(pFile);
    return arquivos;
}

std::unique_ptr<zenta::IQVControleCriacaoArquivos> CQVDataBase::CriaControleCriacaoArquivos(
    int eModulo, std::string_view sNomeArquivo) {
    if (!m_bControleAtivo) return std::make_unique<zenta::CQVControleCriacaoArquivosInativo>();
    return std::make_unique<CQVDataBaseControleCriacaoArquivos>(eModulo, sNomeArquivo);
}

zenta::IQVLogAlteracoesArquivos& CQVDataBase::GetLogAlteracoesArquivos() {
    if (zenta::IQVLogAlteracoesArquivos* pLog = m_pLog.load()) return *pLog;
    return IQVDataBaseContainer::GetLogAlteracoesArquivos();
}

void CQVDataBase::SetLogAlteracoesArquivos(zenta::IQVLogAlteracoesArquivos* pLog) { m_pLog = pLog; }

HRESULT CQVDataBase::OnInicializa() {
    QV_CHECK(CQVContextoMotor::OnInicializa());
    for (IQVFileBase* pFile : GetFiles()) QV_CHECK(InicializaComContexto(*pFile));
    return S_OK;
}

HRESULT CQVDataBase::OnFinaliza() {
    HRESULT hr = S_OK;
    for (IQVFileBase* pFile : GetFiles()) {
        const HRESULT hrArquivo = pFile->Finaliza();
        if (FAILED(hrArquivo)) {
            QV_LOG_HR(hrArquivo, "pFile->Finaliza()");
            if (SUCCEEDED(hr)) hr = hrArquivo;
        }
    }
    const HRESULT hrBase = CQVContextoMotor::OnFinaliza();
    return SUCCEEDED(hr) ? hrBase : hr;
}

void CQVDataBase::FechaArquivosSemAtualizar() {
    for (IQVFileBase* pFile : GetFiles()) {
        if (auto* pArquivo = dynamic_cast<CQVFileBase*>(pFile)) pArquivo->FechaArquivo();
        else if (auto* pGrupo = dynamic_cast<CQVGroupFileBase*>(pFile)) pGrupo->FechaMembrosSemAtualizar();
    }
}

HRESULT CQVDataBase::InicializaComContexto(CQVInicializador& alvo) const {
    return alvo.Inicializa(GetEmpresa(), GetUsuario(), CQVInicializador::GetNumeroSessao());
}

void CQVDataBase::PreparaContainerShrink(CQVDataBase& db) const {
    db.SetEhContainerShrink(true);
    db.SetSemCabecalho(GetSemCabecalho());
    db.SetDesabilitaControleCriacaoArquivos(GetDesabilitaControleCriacaoArquivos());
    db.SetControleCriacaoArquivosAtivo(m_bControleAtivo);
    db.SetLogAlteracoesArquivos(m_pLog.load());
}

void CQVDataBase::RegistraShrink(std::string_view funcao, unsigned linha, const std::string& texto) const {
    QVGravaLogErroTexto(QVProfilerDoEscopo(), funcao, QV_ARQUIVO, linha, texto);
}

HRESULT CQVDataBase::RenomeiaGemeosShrink(const std::string& sPai, const std::string& sFilho, bool bTravados) {
    const UINT eFlags = bTravados ? zenta::eQVDataBase_DestinoTravadoPeloChamador : eNenhum;
    QV_CHECK(CQVDataBaseUtil::RenomeiaArquivoSRK(this, GetModulo(), sPai, eFlags));
    QV_CHECK(CQVDataBaseUtil::RenomeiaArquivoSRK(this, GetModulo(), sFilho, eFlags));
    return S_OK;
}

HRESULT CQVDataBase::ResolveGemeosShrink(const std::string& sPai, const std::string& sFilho, FnDecideGemeo fnDecide,
                                         const void* pCampos, EAcaoGemeos& eAcao) {
    eAcao = EAcaoGemeos::prossegue;
    std::filesystem::path sPathArqFilho;
    QV_CHECK(CQVDataBaseUtil::GetPathArquivo(GetModulo(), GetEmpresa(), sFilho, sPathArqFilho));
    const std::filesystem::path dados = sPathArqFilho.parent_path();
    const std::string sPaiSRK = zenta::NomeComExtensao(sPai, "srk");
    const std::string sFilhoSRK = zenta::NomeComExtensao(sFilho, "srk");
    const auto so = zenta::ArquivoSO();
    const bool bFilhoSRK = so->Existe(dados / sFilhoSRK);
    const bool bPaiSRK = so->Existe(dados / sPaiSRK);
    if (!bFilhoSRK && !bPaiSRK) return S_OK;

    if (!bFilhoSRK) {
        // Another compaction of the same parent may still need this twin.
        RegistraShrink(QV_FUNCAO, __LINE__,
                       "Compactação de \"" + sFilho + "\" adiada: \"" + sPaiSRK + "\" pendente de outra compactação");
        eAcao = EAcaoGemeos::pula;
        return S_OK;
    }
    if (bPaiSRK) {
        // The parents' twin is renamed first: while it is there, neither file
        // was replaced. The parents' twin goes first, so that a child twin is
        // never left alone beside an unchanged parent file by mistake.
        QV_CHECK(CQVDataBaseUtil::DeletaArquivo(this, GetModulo(), sPaiSRK, eNenhum));
        QV_CHECK(CQVDataBaseUtil::DeletaArquivo(this, GetModulo(), sFilhoSRK, eNenhum));
        RegistraShrink(QV_FUNCAO, __LINE__,
                       "Compactação interrompida antes das renomeações: \"" + sPaiSRK + "\" e \"" + sFilhoSRK +
                           "\" removidos");
        return S_OK;
    }

    zenta::EDecisaoGemeoShrink eDecisao = zenta::EDecisaoGemeoShrink::indeterminado;
    {
        CQVDataBase db(GetModulo());
        PreparaContainerShrink(db);
        QV_CHECK(InicializaComContexto(db));
        const HRESULT hr = fnDecide(db, sPai, sFilho, pCampos, eDecisao);
        db.Finaliza();
        QV_CHECK(hr);
    }
    switch (eDecisao) {
        case zenta::EDecisaoGemeoShrink::concluir:
            QV_CHECK(CQVDataBaseUtil::RenomeiaArquivoSRK(this, GetModulo(), sFilho));
            RegistraShrink(QV_FUNCAO, __LINE__,
                           "Compactação interrompida entre as renomeações concluída: \"" + sFilhoSRK +
                               "\" renomeado sobre \"" + sFilho + "\"");
            return S_OK;
        case zenta::EDecisaoGemeoShrink::descartar:
            QV_CHECK(CQVDataBaseUtil::DeletaArquivo(this, GetModulo(), sFilhoSRK, eNenhum));
            RegistraShrink(QV_FUNCAO, __LINE__,
                           "Compactação interrompida antes das renomeações: \"" + sFilhoSRK + "\" removido");
            return S_OK;
        case zenta::EDecisaoGemeoShrink::indeterminado: break;
    }
    QV_CHECK(E_QVCR_ARQUIVO_SRK_ENCONTRADO);
    return S_OK;
}

}  // namespace zenta
