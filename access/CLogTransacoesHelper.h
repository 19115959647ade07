// The enterprise change log as the modules write it: take the context of a
// session, add information lines, then write one entry for a record key with
// a log kind and an operation letter.
//
//   CLogTransacoesHelper log;
//   QV_CHECK(log.Inicializa(this));
//   QV_CHECK(log.AdicionaInformacao('N', "Alteração ..."));
//   QV_CHECK(log.Grava(REG_QVDMC(), E_GE_REGISTRO_LOG::eLogAssistec, 'A'));
//
// One object is used by one thread at a time.
#pragma once

#include <string_view>
#include <vector>

#include "access/QVAcessoServidores.h"
#include "access/QVBaseParaRotinas.h"
#include "values/QVDMC.h"

namespace zenta {

// Log kinds of the equipment-management module.
enum E_GE_REGISTRO_LOG : LONG {
    eLogAssistec = 155,  // technical assistance and preventive maintenance
};

class CLogTransacoesHelper : public CQVBaseParaRotinas {
public:
    CLogTransacoesHelper() = default;
    ~CLogTransacoesHelper() override;

    using CQVBaseParaRotinas::Inicializa;
    // Takes company, user and session of an initialised object (E_POINTER
    // for none, E_INVALIDARG when it is not initialised).
    HRESULT Inicializa(const CQVInicializador* origem);

    // Adds an information line. The text is the ERP's Windows-1252; UTF-8
    // text (the source code's literals) is converted to it.
    HRESULT AdicionaInformacao(char cTag, std::string_view texto);

    // Writes one entry with the lines added since the last entry and
    // forgets them once written; on failure they stay for another try.
    HRESULT Grava(REG_QVDMC dmcChave, LONG lTipoLog, char cOperacao);

    const std::vector<CQVInformacaoLog>& GetInformacoes() const { return m_informacoes; }

private:
    std::vector<CQVInformacaoLog> m_informacoes;
};

}  // namespace zenta
