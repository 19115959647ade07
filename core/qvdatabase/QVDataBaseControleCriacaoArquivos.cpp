#include "core/qvdatabase/QVDataBaseControleCriacaoArquivos.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVDataBase.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "core/qvdatabase/QVFileBase.h"
#include "core/qvdatabase/QVFileCopia.h"
#include "core/qvdatabase/QVTextFile.h"
#include "diagnostics/QVCheck.h"

namespace zenta {

namespace {

// The module code in the marker's name: the module's short name.
std::string CodigoModulo(int eModulo) {
    const std::string_view sigla = QVSiglaModulo(eModulo);
    return sigla.empty() ? std::to_string(eModulo) : std::string(sigla);
}

HRESULT CodigoFalhaArquivo(const zenta::ResultadoArquivo& r) {
    switch (r.causa) {
        case zenta::CausaArquivo::violacaoCompartilhamento: return E_QVDATABASE_eSharingViolation;
        case zenta::CausaArquivo::violacaoBloqueio: return E_QVDATABASE_eLockViolation;
        default: return CQVFileBase::CodigoExcecaoArquivo(r.causa);
    }
}

// The lists last read in this process, by control file, each with the
// identity of the version it was read from. Every open of a data file asks
// whether the list names it; a start-up opens every file of the company, so
// reading the whole list each time would grow with the square of the files.
struct ListaLida {
    zenta::IdentidadeArquivo identidade;
    std::vector<std::string> nomes;  // sorted
};
std::mutex g_mutexListas;
std::map<std::string, ListaLida> g_listasLidas;
constexpr std::size_t kMaximoListasLidas = 64;

void EsqueceListaLida(const std::filesystem::path& controle) {
    const std::lock_guard trava(g_mutexListas);
    g_listasLidas.erase(controle.string());
}

}  // namespace

// ---- Directory marker -------------------------------------------------------------

std::filesystem::path CQVArqMarca::Caminho(const std::filesystem::path& diretorio, std::string_view sCodigoModulo,
                                           int iNumero) {
    // "%s%sXXMARCA%d" with the directory ending in its separator, then ".dat".
    std::string nome(sCodigoModulo);
    nome += "XXMARCA";
    nome += std::to_string(iNumero);
    nome += ".dat";
    return diretorio / nome;
}

HRESULT CQVArqMarca::Marca(const std::filesystem::path& diretorio, std::string_view sCodigoModulo, int iNumero) {
    Libera();
    const auto so = zenta::ArquivoSO();
    if (const zenta::ResultadoArquivo r = so->CriaDiretorios(diretorio); !r.Ok()) QV_CHECK(CodigoFalhaArquivo(r));
    m_sCaminho = Caminho(diretorio, sCodigoModulo, iNumero);
    // The open takes the writer's lock and makes sure the name still leads
    // to the locked file (not one a releasing holder just deleted); a marker
    // another holds is waited for within the policy's bound.
    const zenta::ResultadoArquivo r = zenta::TentaAbrir(
        [&] { return so->Abre(m_sCaminho, zenta::AberturaSO::leituraGravacaoCriacao, m_pArquivo); },
        [](const zenta::ResultadoArquivo& falha) {
            return falha.causa == zenta::CausaArquivo::caminhoInvalido ||
                   falha.causa == zenta::CausaArquivo::arquivoInvalido;
        });
    if (r.Ok()) return S_OK;
    m_pArquivo.reset();
    QV_CHECK(CodigoFalhaArquivo(r));
    return S_OK;
}

void CQVArqMarca::Libera() {
    if (!m_pArquivo) return;
    m_pArquivo.reset();
    // Deleting after the lock is gone: a process that took the marker in
    // between keeps it (its lock makes the deletion fail), and one that opened
    // the deleted file finds its name gone and opens again.
    (void)zenta::ArquivoSO()->Remove(m_sCaminho);
}

// ---- Control ---------------------------------------------------------------------------

CQVDataBaseControleCriacaoArquivos::CQVDataBaseControleCriacaoArquivos(int eModulo, std::string_view sNomeArquivo)
    : m_eModulo(eModulo), m_sNomeArquivo(zenta::NormalizaNomeArquivo(sNomeArquivo)) {}

CQVDataBaseControleCriacaoArquivos::~CQVDataBaseControleCriacaoArquivos() = default;

bool CQVDataBaseControleCriacaoArquivos::NomeControlado(std::string_view sNomeArquivo) {
    if (zenta::IgualSemCaixa(sNomeArquivo, QVDATABASE_NOME_ARQUIVO_CONTROLE)) return false;
    const std::string_view ext = zenta::ExtensaoArquivo(sNomeArquivo);
    return !(zenta::IgualSemCaixa(ext, "cab") || zenta::IgualSemCaixa(ext, "srk") || zenta::IgualSemCaixa(ext, "tra"));
}

HRESULT CQVDataBaseControleCriacaoArquivos::CaminhoControle(std::filesystem::path& sCaminho) const {
    return CQVDataBaseUtil::GetPathArquivo(m_eModulo, m_contexto.GetEmpresa(), QVDATABASE_NOME_ARQUIVO_CONTROLE,
                                           sCaminho);
}

HRESULT CQVDataBaseControleCriacaoArquivos::Inicializa(const CQVInicializador& contexto) {
    QV_CHECK(m_contexto.Inicializa(contexto.GetEmpresa(), contexto.GetUsuario(), contexto.GetNumeroSessao()));
    if (!NomeControlado(m_sNomeArquivo)) return S_OK;
    std::filesystem::path controle;
    QV_CHECK(CaminhoControle(controle));
    const std::filesystem::path tra =
        controle.parent_path() / zenta::NomeComExtensao(QVDATABASE_NOME_ARQUIVO_CONTROLE, "tra");
    if (!zenta::ArquivoSO()->Existe(tra)) return S_OK;
    // A reader that takes no lock neither uses the list nor writes: it
    // leaves the twin to the next writer.
    if (const auto* pArquivo = dynamic_cast<const CQVFileBase*>(&contexto)) {
        const zenta::IQVDataBaseContainer* pDataBase = pArquivo->GetDataBase();
        if (pDataBase != nullptr && pDataBase->GetLeituraSemBloqueio()) return S_OK;
    }
    // A twin is written only by the marker's holder: one found by a holder
    // is left by a rewrite that did not finish, and AlteraLista removes it.
    const HRESULT hr = AlteraLista([](std::vector<std::string>&) { return false; });
    if (FAILED(hr)) {
        QV_LOG_HR(hr, "AlteraLista()");
        QV_CHECK(E_QVCR_ARQUIVO_TRA_ENCONTRADO);
    }
    return S_OK;
}

HRESULT CQVDataBaseControleCriacaoArquivos::Finaliza() {
    m_contexto.Finaliza();
    return S_OK;
}

HRESULT CQVDataBaseControleCriacaoArquivos::GerenciaControleCriacaoArquivos(EQVDataBase_ModoAbertura eModoAbertura) {
    if (eModoAbertura != eModoLeituraGravacao) return S_OK;
    if (!NomeControlado(m_sNomeArquivo)) return S_OK;
    if (m_bDesabilitado) {
        QV_CHECK(RemoveControleCriacaoArquivos());
        return S_OK;
    }
    bool bPossui = false;
    QV_CHECK(ListadoNaCopia(bPossui));
    if (!bPossui) {
        QV_CHECK(CriaControleCriacaoArquivos());
        return S_OK;
    }
    std::filesystem::path caminho;
    QV_CHECK(CQVDataBaseUtil::GetPathArquivo(m_eModulo, m_contexto.GetEmpresa(), m_sNomeArquivo, caminho));
    std::filesystem::path noDisco;
    if (zenta::LocalizaArquivoNoDisco(caminho.parent_path(), m_sNomeArquivo, noDisco)) return S_OK;
    // A listed file that is missing is only judged on the list as it is now.
    QV_CHECK(PossuiControleCriacaoArquivos(bPossui));
    if (!bPossui) {
        QV_CHECK(CriaControleCriacaoArquivos());
        return S_OK;
    }
    QV_CHECK(E_QVCR_INCONSISTENCIA_CONTROLE_CRIACAO_ARQUIVOS);
    return S_OK;
}

HRESULT CQVDataBaseControleCriacaoArquivos::ListadoNaCopia(bool& bListado) {
    bListado = false;
    std::filesystem::path controle;
    QV_CHECK(CaminhoControle(controle));
    // The identity is taken before the read: a change in between leaves a
    // copy under an identity the list no longer has, which is read again.
    zenta::IdentidadeArquivo identidade;
    if (!zenta::ArquivoSO()->Identidade(controle, identidade)) {
        QV_CHECK(PossuiControleCriacaoArquivos(bListado));
        return S_OK;
    }
    const std::string chave = controle.string();
    {
        const std::lock_guard trava(g_mutexListas);
        const auto it = g_listasLidas.find(chave);
        if (it != g_listasLidas.end() && it->second.identidade == identidade) {
            bListado = std::binary_search(it->second.nomes.begin(), it->second.nomes.end(), m_sNomeArquivo);
            return S_OK;
        }
    }
    ListaLida lida{identidade, {}};
    QV_CHECK(LeLista(m_contexto, m_eModulo, lida.nomes));
    std::sort(lida.nomes.begin(), lida.nomes.end());
    bListado = std::binary_search(lida.nomes.begin(), lida.nomes.end(), m_sNomeArquivo);
    const std::lock_guard trava(g_mutexListas);
    if (g_listasLidas.size() >= kMaximoListasLidas) g_listasLidas.clear();
    g_listasLidas[chave] = std::move(lida);
    return S_OK;
}

HRESULT CQVDataBaseControleCriacaoArquivos::LeLista(const CQVInicializador& contexto, int eModulo,
                                                    std::vector<std::string>& aLista) {
    aLista.clear();
    CQVDataBase db(eModulo);
    db.SetLeituraSemBloqueio(true);
    db.SetEhContainerShrink(true);
    db.SetControleCriacaoArquivosAtivo(false);
    CQVTextFile qvTextFile(QVDATABASE_NOME_ARQUIVO_CONTROLE, &db);
    QV_CHECK(qvTextFile.Inicializa(contexto.GetEmpresa(), contexto.GetUsuario(), contexto.GetNumeroSessao()));
    if (const CQVTextosArquivo* pTextos = qvTextFile.GetPtrRegistros()) {
        aLista.reserve(pTextos->size());
        for (const CQVTextFileRegistro r : *pTextos) aLista.emplace_back(r.sTexto);
    }
    qvTextFile.Finaliza();
    return S_OK;
}

HRESULT CQVDataBaseControleCriacaoArquivos::PossuiControleCriacaoArquivos(bool& bPossui) {
    bPossui = false;
    std::vector<std::string> aLista;
    QV_CHECK(LeLista(m_contexto, m_eModulo, aLista));
    bPossui = std::find(aLista.begin(), aLista.end(), m_sNomeArquivo) != aLista.end();
    return S_OK;
}

HRESULT CQVDataBaseControleCriacaoArquivos::GravaLista(const std::vector<std::string>& aLista) {
    const std::string sNomeTra = zenta::NomeComExtensao(QVDATABASE_NOME_ARQUIVO_CONTROLE, "tra");
    {
        zenta::CQVContainerArquivosSimples trabalho(m_eModulo);
        CQVFileCopia tra(sNomeTra, &trabalho);
        QV_CHECK(tra.Inicializa(m_contexto));
        std::string dados;
        for (const std::string& nome : aLista) {
            const ULONG tamanho = static_cast<ULONG>(nome.size());
            char bytes[sizeof tamanho];
            std::memcpy(bytes, &tamanho, sizeof tamanho);
            dados.append(bytes, sizeof bytes);
            dados += nome;
        }
        QV_CHECK(tra.GravaBytes(0, dados.data(), dados.size()));
        QV_CHECK(tra.SincronizaArquivo());
        tra.Finaliza();
    }
    std::filesystem::path controle;
    QV_CHECK(CaminhoControle(controle));
    EsqueceListaLida(controle);
    QV_CHECK(CQVDataBaseUtil::RenomeiaArquivoTRA(&m_contexto, m_eModulo, QVDATABASE_NOME_ARQUIVO_CONTROLE));
    EsqueceListaLida(controle);
    return S_OK;
}

template <class Muda>
HRESULT CQVDataBaseControleCriacaoArquivos::AlteraLista(Muda&& muda) {
    std::filesystem::path controle;
    QV_CHECK(CaminhoControle(controle));
    CQVArqMarca marca;
    QV_CHECK(marca.Marca(controle.parent_path(), CodigoModulo(m_eModulo), NUMERO_MARCA));
    const std::string sNomeTra = zenta::NomeComExtensao(QVDATABASE_NOME_ARQUIVO_CONTROLE, "tra");
    if (zenta::ArquivoSO()->Existe(controle.parent_path() / sNomeTra)) {
        // Left by a holder that did not finish: the list itself is whole.
        QV_CHECK(CQVDataBaseUtil::DeletaArquivo(&m_contexto, m_eModulo, sNomeTra, eNenhum));
        QVGravaLogErroTexto(QVProfilerDoEscopo(), QV_FUNCAO, QV_ARQUIVO, __LINE__,
                            "Arquivo \"" + sNomeTra + "\" de uma regravação não concluída removido");
    }
    std::vector<std::string> aLista;
    QV_CHECK(LeLista(m_contexto, m_eModulo, aLista));
    if (!muda(aLista)) return S_OK;
    QV_CHECK(GravaLista(aLista));
    return S_OK;
}

HRESULT CQVDataBaseControleCriacaoArquivos::CriaControleCriacaoArquivos() {
    if (!NomeControlado(m_sNomeArquivo)) return S_OK;
    const std::string& nome = m_sNomeArquivo;
    QV_CHECK(AlteraLista([&nome](std::vector<std::string>& aLista) {
        if (std::find(aLista.begin(), aLista.end(), nome) != aLista.end()) return false;
        aLista.push_back(nome);
        return true;
    }));
    return S_OK;
}

HRESULT CQVDataBaseControleCriacaoArquivos::RemoveControleCriacaoArquivos() {
    if (!NomeControlado(m_sNomeArquivo)) return S_OK;
    // Nothing to take out of a list that is not there (a fresh directory).
    std::filesystem::path controle;
    QV_CHECK(CaminhoControle(controle));
    const auto so = zenta::ArquivoSO();
    if (!so->Existe(controle) &&
        !so->Existe(controle.parent_path() / zenta::NomeComExtensao(QVDATABASE_NOME_ARQUIVO_CONTROLE, "tra")))
        return S_OK;
    const std::string& nome = m_sNomeArquivo;
    const bool bPadrao = nome.find('?') != std::string::npos;
    QV_CHECK(AlteraLista([&nome, bPadrao](std::vector<std::string>& aLista) {
        const auto sai = [&](const std::string& entrada) {
            if (!bPadrao) return entrada == nome;
            ULONGLONG chave = 0;
            return zenta::CasaPadraoGrupo(entrada, nome, chave);
        };
        const auto fim = std::remove_if(aLista.begin(), aLista.end(), sai);
        if (fim == aLista.end()) return false;
        aLista.erase(fim, aLista.end());
        return true;
    }));
    return S_OK;
}

}  // namespace zenta
