#include "core/qvdatabase/QVDataBaseUtil.h"

#include "platform/QVDiretorios.h"
#include "access/QVInicializador.h"
#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVFileBase.h"
#include "diagnostics/QVCheck.h"
#include "platform/CodePage.h"

namespace zenta {

namespace {
thread_local bool t_emConversao = false;
}  // namespace

EscopoConversaoBaseDados::EscopoConversaoBaseDados() : m_bAnterior(t_emConversao) { t_emConversao = true; }
EscopoConversaoBaseDados::~EscopoConversaoBaseDados() { t_emConversao = m_bAnterior; }
bool EmConversaoBaseDados() { return t_emConversao; }

std::string TextoLogRemocao(std::string_view sNomeArquivo, USHORT usUsuario, std::string_view sNomeUsuario,
                            bool bConversao) {
    std::string texto = "Arquivo \"";
    texto += sNomeArquivo;
    if (bConversao) {
        texto += "\" removido durante a conversão da base de dados";
    } else if (usUsuario != 0) {
        texto += "\" removido pelo usuário \"";
        if (sNomeUsuario.empty()) texto += std::to_string(usUsuario);
        else texto += sNomeUsuario;
        texto += "\"";
    } else {
        texto += "\" removido sem informação de usuário logado";
    }
    return texto;
}

IQVDataBaseContainer* ContainerDoContexto(const CQVInicializador* pContexto) {
    if (pContexto == nullptr) return nullptr;
    auto* p = const_cast<CQVInicializador*>(pContexto);
    if (auto* pArquivo = dynamic_cast<CQVFileBase*>(p)) return pArquivo->GetDataBase();
    return dynamic_cast<IQVDataBaseContainer*>(p);
}

namespace {

char Maiuscula(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char Minuscula(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool NomeArquivoValido(std::string_view sNome) {
    if (sNome.empty() || sNome == "." || sNome == "..") return false;
    for (const char c : sNome) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '/' || c == '\\') return false;
    }
    return true;
}

std::string NormalizaNomeArquivo(std::string_view sNome) {
    std::string s(sNome);
    const std::size_t ponto = s.rfind('.');
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = (ponto != std::string::npos && i > ponto) ? Minuscula(s[i]) : Maiuscula(s[i]);
    return s;
}

std::string_view ExtensaoArquivo(std::string_view sNome) {
    const std::size_t ponto = sNome.rfind('.');
    return ponto == std::string_view::npos ? std::string_view{} : sNome.substr(ponto + 1);
}

std::string NomeComExtensao(std::string_view sNome, std::string_view sExtensao) {
    const std::size_t ponto = sNome.rfind('.');
    std::string s(ponto == std::string_view::npos ? sNome : sNome.substr(0, ponto));
    s += '.';
    s += sExtensao;
    return s;
}

bool IgualSemCaixa(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Maiuscula(a[i]) != Maiuscula(b[i])) return false;
    return true;
}

bool CasaPadraoGrupo(std::string_view sNome, std::string_view sPadrao, ULONGLONG& uiChave) {
    uiChave = 0;
    const std::size_t primeira = sPadrao.find('?');
    if (primeira == std::string_view::npos || sNome.size() != sPadrao.size()) return false;
    for (std::size_t i = 0; i < sPadrao.size(); ++i)
        if (sPadrao[i] != '?' && Maiuscula(sPadrao[i]) != Maiuscula(sNome[i])) return false;
    std::size_t fim = sNome.rfind('.');
    if (fim == std::string_view::npos || fim <= primeira) fim = sPadrao.find_last_of('?') + 1;
    ULONGLONG chave = 0;
    for (std::size_t i = primeira; i < fim; ++i) {
        const char c = sNome[i];
        if (c < '0' || c > '9') return false;
        const ULONGLONG digito = static_cast<ULONGLONG>(c - '0');
        if (chave > (UINT64_MAX - digito) / 10) return false;
        chave = chave * 10 + digito;
    }
    uiChave = chave;
    return true;
}

bool LocalizaArquivoNoDisco(const std::filesystem::path& diretorio, std::string_view sNome,
                            std::filesystem::path& noDisco) {
    const auto so = ArquivoSO();
    const std::filesystem::path exato = diretorio / std::string(sNome);
    if (so->Existe(exato)) {
        noDisco = exato;
        return true;
    }
    for (const std::string& entrada : so->ListaDiretorio(diretorio)) {
        if (IgualSemCaixa(entrada, sNome)) {
            noDisco = diretorio / entrada;
            return true;
        }
    }
    noDisco.clear();
    return false;
}

HRESULT CQVDataBaseUtil::GetPathDados(int eModulo, std::string_view sEmpresa, std::filesystem::path& sPathDados) {
    sPathDados.clear();
    const HRESULT hr = QVDiretorioDadosModulo(eModulo, sEmpresa, sPathDados);
    if (FAILED(hr)) return hr;
    if (sPathDados.empty()) return E_QVCR_PATH_DADOS_VAZIO;
    return S_OK;
}

HRESULT CQVDataBaseUtil::TravaUsoDados(int eModulo, std::string_view sEmpresa,
                                       std::unique_ptr<zenta::IArquivoAberto>& trava) {
    trava.reset();
    std::filesystem::path dados;
    QV_CHECK(GetPathDados(eModulo, sEmpresa, dados));
    const auto so = zenta::ArquivoSO();
    if (const zenta::ResultadoArquivo r = so->CriaDiretorios(dados); !r.Ok())
        QV_CHECK(CQVFileBase::CodigoExcecaoArquivo(r.causa));
    const zenta::ResultadoArquivo r = zenta::TentaAbrir([&] { return so->TravaDiretorio(dados, trava); },
                                                        [](const zenta::ResultadoArquivo& falha) {
                                                            return !zenta::OcupadoPorOutro(falha.causa);
                                                        });
    if (!r.Ok()) {
        trava.reset();
        QV_CHECK(CQVFileBase::CodigoExcecaoArquivo(r.causa));
    }
    return S_OK;
}

HRESULT CQVDataBaseUtil::GetPathArquivo(int eModulo, std::string_view sEmpresa, std::string_view sNomeArquivo,
                                        std::filesystem::path& sPathArquivo) {
    sPathArquivo.clear();
    if (!zenta::NomeArquivoValido(sNomeArquivo)) return E_QVDATABASE_NOME_ARQUIVO_INVALIDO;
    std::filesystem::path dados;
    const HRESULT hr = GetPathDados(eModulo, sEmpresa, dados);
    if (FAILED(hr)) return hr;
    sPathArquivo = dados / std::string(sNomeArquivo);
    return S_OK;
}

const char* CQVDataBaseUtil::ModoAberturaToString(UINT eModoAbertura) {
    switch (eModoAbertura) {
        case eModoInvalido: return "Invalido";
        case eModoLeituraGravacao: return "LeituraGravacao";
        case eModoLeituraSemBloqueio: return "LeituraSemBloqueio";
        case eModoLeituraGravacaoCriacao: return "LeituraGravacaoCriacao";
        default: return "Desconhecido";
    }
}

namespace {

// Deletes one file, retrying while it is still there.
HRESULT DeletaUmArquivo(const std::filesystem::path& caminho) {
    const auto so = zenta::ArquivoSO();
    const zenta::PoliticaTentativas politica = zenta::TentativasArquivo();
    const unsigned tentativas = politica.tentativasGravacao == 0 ? 1 : politica.tentativasGravacao;
    for (unsigned i = 0; i < tentativas; ++i) {
        if (i > 0) so->Pausa(politica.pausa);
        (void)so->Remove(caminho);
        if (!so->Existe(caminho)) {
            (void)so->SincronizaDiretorio(caminho.parent_path());
            return S_OK;
        }
    }
    return E_QVCR_ARQUIVO_NAO_REMOVIDO;
}

}  // namespace

namespace {

// Writes the change-log entry of one deleted file. The deletion stands
// whatever the log answers: a failure is reported in the error log only.
void GravaLogRemocao(const CQVInicializador& contexto, int eModulo, std::string_view sNomeArquivo) {
    if (eModulo == zenta::QVDATABASE_MODULO_SEM_LOG) return;
    zenta::IQVDataBaseContainer* pDataBase = zenta::ContainerDoContexto(&contexto);
    if (pDataBase == nullptr) return;
    zenta::IQVLogAlteracoesArquivos& log = pDataBase->GetLogAlteracoesArquivos();
    const bool bConversao = zenta::EmConversaoBaseDados();
    const USHORT usuario = contexto.GetUsuario();
    std::string nomeUsuario;
    if (!bConversao && usuario != 0) nomeUsuario = zenta::Cp1252ParaUtf8(log.NomeUsuario(contexto));
    const std::string texto =
        zenta::Utf8ParaCp1252(zenta::TextoLogRemocao(sNomeArquivo, usuario, nomeUsuario, bConversao));
    const HRESULT hr = log.GravaLog(contexto, eModulo, sNomeArquivo, texto);
    if (FAILED(hr)) QV_LOG_HR(hr, "log.GravaLog(contexto, eModulo, sNomeArquivo, texto)");
}

}  // namespace

HRESULT CQVDataBaseUtil::DeletaArquivo(const CQVInicializador* pContexto, int eModulo, std::string_view sNomeArquivo,
                                       UINT eFlags, zenta::IQVControleCriacaoArquivos* pControle) {
    if (pContexto == nullptr) return E_INVALIDARG;
    const std::string empresa = pContexto->GetEmpresa();
    if (sNomeArquivo.find('?') == std::string_view::npos) {
        std::filesystem::path caminho;
        QV_CHECK(GetPathArquivo(eModulo, empresa, sNomeArquivo, caminho));
        std::filesystem::path noDisco;
        if (zenta::LocalizaArquivoNoDisco(caminho.parent_path(), caminho.filename().string(), noDisco)) {
            QV_CHECK(DeletaUmArquivo(noDisco));
            GravaLogRemocao(*pContexto, eModulo, noDisco.filename().string());
        }
    } else {
        std::filesystem::path dados;
        QV_CHECK(GetPathDados(eModulo, empresa, dados));
        for (const std::string& entrada : zenta::ArquivoSO()->ListaDiretorio(dados)) {
            ULONGLONG chave = 0;
            if (zenta::CasaPadraoGrupo(entrada, sNomeArquivo, chave)) {
                QV_CHECK(DeletaUmArquivo(dados / entrada));
                GravaLogRemocao(*pContexto, eModulo, entrada);
            }
        }
    }
    if ((eFlags & eRemoverDoControleCriacaoArquivosInMemory) != 0) {
        if (pControle != nullptr) {
            QV_CHECK(pControle->RemoveControleCriacaoArquivos());
        } else if (zenta::IQVDataBaseContainer* pDataBase = zenta::ContainerDoContexto(pContexto)) {
            std::unique_ptr<zenta::IQVControleCriacaoArquivos> controle =
                pDataBase->CriaControleCriacaoArquivos(eModulo, sNomeArquivo);
            if (controle) {
                QV_CHECK(controle->Inicializa(*pContexto));
                const HRESULT hr = controle->RemoveControleCriacaoArquivos();
                (void)controle->Finaliza();
                QV_CHECK(hr);
            }
        }
    }
    return S_OK;
}

namespace {

HRESULT RenomeiaUmArquivo(const std::filesystem::path& gemeo, const std::filesystem::path& destino, bool verificaDestino) {
    const zenta::ResultadoArquivo r = zenta::RenomeiaComTentativas(gemeo, destino, verificaDestino);
    if (r.Ok()) return zenta::ArquivoSO()->SincronizaDiretorio(destino.parent_path()).Ok() ? S_OK : E_QVDATABASE_eHardIO;
    return r.causa == zenta::CausaArquivo::violacaoCompartilhamento ? E_QVDATABASE_eSharingViolation
                                                                     : E_QVDATABASE_eQVGenericError;
}

}  // namespace

HRESULT CQVDataBaseUtil::RenomeiaArquivoEXT(const CQVInicializador* pContexto, int eModulo,
                                            std::string_view sNomeArquivo, std::string_view sExtensao, UINT eFlags) {
    if (pContexto == nullptr) return E_INVALIDARG;
    const std::string empresa = pContexto->GetEmpresa();
    const auto so = zenta::ArquivoSO();
    const bool verificaDestino = (eFlags & zenta::eQVDataBase_DestinoTravadoPeloChamador) == 0;
    eFlags &= ~zenta::eQVDataBase_DestinoTravadoPeloChamador;
    if (sNomeArquivo.find('?') == std::string_view::npos) {
        std::filesystem::path caminho;
        QV_CHECK(GetPathArquivo(eModulo, empresa, sNomeArquivo, caminho));
        const std::filesystem::path gemeo = caminho.parent_path() / zenta::NomeComExtensao(sNomeArquivo, sExtensao);
        if (so->Existe(gemeo)) {
            QV_CHECK(RenomeiaUmArquivo(gemeo, caminho, verificaDestino));
        } else if (so->Existe(caminho)) {
            QV_CHECK(DeletaArquivo(pContexto, eModulo, sNomeArquivo, eFlags));
        }
        return S_OK;
    }
    // A group pattern: every member's twin replaces its member.
    std::filesystem::path dados;
    QV_CHECK(GetPathDados(eModulo, empresa, dados));
    const std::string padraoGemeo = zenta::NomeComExtensao(sNomeArquivo, sExtensao);
    for (const std::string& entrada : so->ListaDiretorio(dados)) {
        ULONGLONG chave = 0;
        if (zenta::CasaPadraoGrupo(entrada, padraoGemeo, chave)) {
            const std::string membro = zenta::NomeComExtensao(entrada, zenta::ExtensaoArquivo(sNomeArquivo));
            QV_CHECK(RenomeiaUmArquivo(dados / entrada, dados / membro, verificaDestino));
        }
    }
    return S_OK;
}

}  // namespace zenta
