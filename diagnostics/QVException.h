// The exception classes that the call frame may catch and translate into
// HRESULTs (QVTranslateException.h). The framework classes are thrown as
// pointers (`throw new CQVException(...)`) and freed with Delete() by whoever
// handles them; CQVExceptionEx and _com_error are thrown by value.
//
// Texts of these classes are Windows-1252, as the message-text files and the
// message box take them.
#pragma once

#include <string>

#include <zenta/WinTypes.h>

#include "platform/WinUser.h"

namespace zenta {

// Base of the framework exceptions.
class CException {
public:
    CException() = default;
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;
    virtual ~CException();

    // Copies the exception's message into the buffer; false when it has none.
    virtual BOOL GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const;
    // Shows the exception's message in a message box.
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);
    // Frees an exception that was thrown as a pointer.
    void Delete() { delete this; }
};

// A file operation failed; m_lOsError is the Windows error number.
class CFileException : public CException {
public:
    enum { none = 0, genericException = 1, fileNotFound = 2, badPath = 3, tooManyOpenFiles = 4, accessDenied = 5,
           invalidFile = 6, removeCurrentDir = 7, directoryFull = 8, badSeek = 9, hardIO = 10, sharingViolation = 11,
           lockViolation = 12, diskFull = 13, endOfFile = 14 };

    explicit CFileException(int cause = none, LONG lOsError = -1, std::string strFileName = {});

    int m_cause;
    LONG m_lOsError;
    std::string m_strFileName;
};

class CMemoryException : public CException {};

class CInvalidArgException : public CException {};

// The system's own exception: a message of a module's message-text file, or a
// text of its own, with the Windows error number that caused it.
class CQVException : public CException {
public:
    CQVException(ULONG ulCodigoMensagem, ULONG ulModulo, ULONG ulErroSO);
    // A text of its own; the message code is 0.
    CQVException(std::string strMensagem, ULONG ulModulo, ULONG ulErroSO);
    ~CQVException() override;

    // This class answers false: its text comes from GetMensagem.
    BOOL GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
    // Message box captioned with the module's short name, with the
    // GetMensagem text (or "Erro desconhecido encontrado. Código (%d)") and,
    // for a system error, "\nErro do SO: %d - %s". Without an icon flag the
    // exclamation icon is used.
    int ReportError(UINT nType = MB_OK, UINT nMessageID = 0) override;
    // The stored text; when it is empty, first filled from the message-text
    // file of (message code, module).
    virtual std::string GetMensagem();

    ULONG m_ulCodigoMensagem;
    ULONG m_ulModulo;
    ULONG m_ulErroSO;
    std::string m_strMensagem;
};

// The system's exception thrown by value, carrying its HRESULT and where it
// was raised.
class CQVExceptionEx {
public:
    explicit CQVExceptionEx(HRESULT hrErro, LONG lCodigoErro_ = 0, LONG lCodigoMensagem_ = 0,
                            std::string strMensagem_ = {}, std::string strMensagemComplementar_ = {},
                            std::string strArquivoFonte_ = {}, ULONG ulLinhaFonte_ = 0, std::string strFuncao_ = {});
    CQVExceptionEx(const CQVExceptionEx&) = default;
    CQVExceptionEx(CQVExceptionEx&&) = default;
    CQVExceptionEx& operator=(const CQVExceptionEx&) = default;
    CQVExceptionEx& operator=(CQVExceptionEx&&) = default;
    virtual ~CQVExceptionEx();

    HRESULT hr;
    LONG lCodigoErro;
    LONG lCodigoMensagem;
    std::string strMensagem;
    std::string strMensagemComplementar;
    std::string strArquivoFonte;
    ULONG ulLinhaFonte;
    std::string strFuncao;
};

// The structured-exception translator CQVSEH is in QVSEH.h.

}  // namespace zenta

// A COM error thrown by value.
class _com_error {
public:
    explicit _com_error(HRESULT hr) noexcept : m_hr(hr) {}
    _com_error(const _com_error&) = default;
    _com_error& operator=(const _com_error&) = default;
    virtual ~_com_error();

    HRESULT Error() const noexcept { return m_hr; }

private:
    HRESULT m_hr;
};
