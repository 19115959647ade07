// The last failure an object recorded, as clients fetch it with GetUltimoErro.
#pragma once

#include <mutex>
#include <string>

#include <zenta/QVUnknown.h>

namespace zenta {

// The access layer's error data: the fields of the last-error record.
class CQVDadosDF_Erro {
public:
    HRESULT hr = S_OK;
    LONG nCodigoErro = 0;
    LONG lCodigoMensagem = 0;
    LONG iRegistro = 0;
    LONG iItem = 0;
    LONG lCodigoCampo = 0;
    USHORT nModuloMensagem = 0;
    SHORT nTipoErro = 0;
    USHORT usNumeroServidor = 0;
    std::string sMensagem;  // Windows-1252
    std::string sEmpresa;

    // Fills the wire record; texts are cut to fit and always zero-terminated,
    // fillers zeroed. A null target is ignored.
    void CopiarPara(_REG_DF_ERROPS* pregErrops) const;
};

// Keeps the last error of an object. Any thread may set or read it.
class CQVUltimoErro {
public:
    void SetErro(const CQVDadosDF_Erro& erro);
    // A copy of the last error (all zero when none was recorded).
    CQVDadosDF_Erro GetErro();
    CQVDadosDF_Erro GetErro() const;
    void LimpaErro();

private:
    mutable std::mutex m_trava;
    CQVDadosDF_Erro m_erro;
};

}  // namespace zenta
