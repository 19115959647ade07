// The accessors through which the system reaches the ERP's other modules:
// the enterprise module (users, products, services, units, branches,
// customers, e-mail, the change log), the manager module (equipment
// registrations, technical assistance) and the stock module. Each operation
// answers an HRESULT and fills its out-values. The operations are declared
// by the features that call them; the ERP stand-in implements them.
#pragma once

#include <string>
#include <vector>

#include <zenta/WinTypes.h>

#include "access/QVColecoes.h"
#include "access/QVDadosES.h"
#include "values/QVDMC.h"

class CQVBaseParaRotinas;

// One information line of a change-log entry: a one-letter tag ('N' for a
// note) and its text, in Windows-1252.
struct CQVInformacaoLog {
    char cTag = 0;
    std::string sTexto;
};

// A change-log entry: the key of the record it is about (an empty key when
// it is about no one record), the log kind (the ERP's numbering, such as
// eLogAssistec 155), the operation letter ('A' for an alteration) and its
// information lines in order. User, session and time
// are the accessor's session's.
struct CQVEntradaLog {
    REG_QVDMC dmcChave;
    LONG lTipoLog = 0;
    char cOperacao = 0;
    std::vector<CQVInformacaoLog> informacoes;
};

struct IQVAcessoEmpresarial {
    virtual ~IQVAcessoEmpresarial() = default;

    // Writes one entry in the enterprise change log.
    virtual HRESULT GravaLog(const CQVEntradaLog& entrada) = 0;
};

struct IQVAcessoGerenciador {
    virtual ~IQVAcessoGerenciador() = default;
};

struct IQVAcessoEstoque {
    virtual ~IQVAcessoEstoque() = default;

    // Stores the given records as the pre-withdrawals of a document (key and
    // branch), replacing whatever that key and branch held before, all or
    // nothing. E_POINTER for a null list.
    virtual HRESULT GravaPreBaixa(REG_QVDMC dmcChave, USHORT usFilial,
                                  const CQVVector<CQVDadosES_PreBaixa>* parrBaixas) = 0;
    // Removes every pre-withdrawal stored under the key and branch (none
    // stored is success).
    virtual HRESULT ExcluiPreBaixa(REG_QVDMC dmcChave, USHORT usFilial) = 0;
};

// The three accessors of one session. They stay owned by the provider and
// live at least as long as the session object that asked for them.
struct CQVAcessoServidores {
    IQVAcessoEmpresarial* pEmpresarial = nullptr;
    IQVAcessoGerenciador* pGerenciador = nullptr;
    IQVAcessoEstoque* pEstoque = nullptr;
};

// Supplies the accessors for a session; installed once per process.
struct IQVProvedorAcesso {
    virtual ~IQVProvedorAcesso() = default;
    virtual HRESULT Conecta(const CQVBaseParaRotinas& sessao, CQVAcessoServidores& acessos) = 0;
    virtual void Desconecta(const CQVBaseParaRotinas& sessao) = 0;
};

// Installs the process's provider (null removes it). The provider must
// outlive every session object.
void QVRegistraProvedorAcesso(IQVProvedorAcesso* provedor);
IQVProvedorAcesso* QVProvedorAcesso();
