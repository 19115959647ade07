#include "diagnostics/QVException.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/QVModulos.h"
#include "diagnostics/QVMensagem.h"
#include "diagnostics/QVNomesHresult.h"
#include "platform/CodePage.h"

namespace zenta {

CException::~CException() = default;

BOOL CException::GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext) const {
    if (lpszError != nullptr && nMaxError > 0) lpszError[0] = '\0';
    if (pnHelpContext != nullptr) *pnHelpContext = 0;
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID) {
    char texto[512];
    if (GetErrorMessage(texto, sizeof texto)) return MessageBoxA(nullptr, texto, nullptr, nType);
    if (nMessageID != 0) {
        std::snprintf(texto, sizeof texto, "Erro %u", nMessageID);
        return MessageBoxA(nullptr, texto, nullptr, nType);
    }
    const std::string semMensagem = zenta::Utf8OuCp1252ParaCp1252("Nenhuma mensagem de erro disponível.");
    return MessageBoxA(nullptr, semMensagem.c_str(), nullptr, nType);
}

CFileException::CFileException(int cause, LONG lOsError, std::string strFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(std::move(strFileName)) {}

CQVException::CQVException(ULONG ulCodigoMensagem, ULONG ulModulo, ULONG ulErroSO)
    : m_ulCodigoMensagem(ulCodigoMensagem), m_ulModulo(ulModulo), m_ulErroSO(ulErroSO) {}

CQVException::CQVException(std::string strMensagem, ULONG ulModulo, ULONG ulErroSO)
    : m_ulCodigoMensagem(0), m_ulModulo(ulModulo), m_ulErroSO(ulErroSO), m_strMensagem(std::move(strMensagem)) {}

CQVException::~CQVException() = default;

BOOL CQVException::GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext) const {
    return CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
}

std::string CQVException::GetMensagem() {
    if (m_strMensagem.empty()) m_strMensagem = CQVMensagem(m_ulCodigoMensagem, m_ulModulo).GetMensagem();
    return m_strMensagem;
}

int CQVException::ReportError(UINT nType, UINT) {
    std::string texto = GetMensagem();
    if (texto.empty()) {
        char buffer[96];
        std::snprintf(buffer, sizeof buffer, "Erro desconhecido encontrado. Código (%d)",
                      static_cast<int>(m_ulCodigoMensagem));
        texto = zenta::Utf8OuCp1252ParaCp1252(buffer);
    }
    if (m_ulErroSO != 0) {
        const std::string_view nome = zenta::NomeErroWin32(m_ulErroSO);
        char buffer[160];
        std::snprintf(buffer, sizeof buffer, "\nErro do SO: %d - %.*s", static_cast<int>(m_ulErroSO),
                      static_cast<int>(nome.size()), nome.data());
        texto += buffer;
    }
    if ((nType & MB_ICONMASK) == 0) nType |= MB_ICONEXCLAMATION;
    std::string titulo(QVSiglaModulo(static_cast<int>(m_ulModulo)));
    if (titulo.empty()) titulo = "Erro";
    return MessageBoxA(nullptr, texto.c_str(), titulo.c_str(), nType);
}

CQVExceptionEx::CQVExceptionEx(HRESULT hrErro, LONG lCodigoErro_, LONG lCodigoMensagem_, std::string strMensagem_,
                               std::string strMensagemComplementar_, std::string strArquivoFonte_,
                               ULONG ulLinhaFonte_, std::string strFuncao_)
    : hr(hrErro),
      lCodigoErro(lCodigoErro_),
      lCodigoMensagem(lCodigoMensagem_),
      strMensagem(std::move(strMensagem_)),
      strMensagemComplementar(std::move(strMensagemComplementar_)),
      strArquivoFonte(std::move(strArquivoFonte_)),
      ulLinhaFonte(ulLinhaFonte_),
      strFuncao(std::move(strFuncao_)) {}

CQVExceptionEx::~CQVExceptionEx() = default;

}  // namespace zenta

_com_error::~_com_error() = default;
