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
struct IQVGE_ASTMov;

// A customer's commercial data: its price table (1 when it has none).
struct CQVDadosDF_CFRT {
    USHORT usPonteiroTabelaPreco = 1;
    USHORT GetPonteiroTabelaPreco() const { return usPonteiroTabelaPreco; }
};

// Where a product's price is asked for: the product and its grade items.
struct CQVPosicaoProduto {
    ULONG lProduto = 0;
    ULONG lGrade1 = 0;
    ULONG lGrade2 = 0;
    ULONG lGrade3 = 0;
};

// A product's price at a price table.
struct CQVDadosGE_Preco {
    CY vPrecoVenda{};
    CY GetPrecoVendaV8() const { return vPrecoVenda; }
};

// A service's data as the technical-assistance items take it: its value.
struct CQVDadosDF_Servico {
    CY vValor{};
    CY GetValor() const { return vValor; }
};

// A user of the ERP: name and e-mail address (empty when none), in UTF-8.
struct CQVDadosDF_Usuario {
    std::string sNome;
    std::string sEmail;
    const std::string& GetNome() const { return sNome; }
    const std::string& GetEmail() const { return sEmail; }
};

// One part of an e-mail: its kind (6 = a text part whose bytes are the
// message's body, in Windows-1252) and its bytes.
struct CQVParteEmail {
    int iTipo = 0;
    std::string sConteudo;
};

// An e-mail for the enterprise module to send: recipients' addresses, the
// subject (Windows-1252) and its parts in order.
struct CQVDadosEmail {
    std::vector<std::string> destinatarios;
    std::string sAssunto;
    std::vector<CQVParteEmail> partes;
};

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
    // The customer's commercial data. A customer that is not registered
    // fails with HRESULT_FROM_WIN32(ERROR_NOT_FOUND); one without a price
    // table, and no customer (code 0), answer table 1.
    virtual HRESULT LeBufferCFRTLibPla(ULONG lCliente, CQVDadosDF_CFRT* pDados) = 0;
    // The sale price of a product at a price table: the price of its exact
    // grade items, else its price without grade items. No price is S_FALSE
    // with price 0.
    virtual HRESULT LePrecoProduto(const CQVPosicaoProduto& regPosicaops, USHORT usPonteiroTabelaPreco,
                                   CQVDadosGE_Preco* pDados) = 0;
    // A service's data (its value; 0 when it has none). A service that is
    // not registered fails with HRESULT_FROM_WIN32(ERROR_NOT_FOUND).
    virtual HRESULT LeBufferServico(ULONG lServico, CQVDadosDF_Servico* pDados) = 0;
    // A user's name and e-mail address. A user that is not registered fails
    // with HRESULT_FROM_WIN32(ERROR_NOT_FOUND).
    virtual HRESULT LeUsuario(USHORT usUsuario, CQVDadosDF_Usuario* pDados) = 0;

    // ---- purchase requests ----

    // ---- notices and e-mail ----

    // Sends an e-mail (or keeps it where the installation says mail goes).
    // E_INVALIDARG for a message without recipients.
    virtual HRESULT EnviaEmail(const CQVDadosEmail& dadosEmail) = 0;

    // ---- reports ----
};

struct IQVAcessoGerenciador {
    virtual ~IQVAcessoGerenciador() = default;

    // The technical-assistance module's service orders, initialised for the
    // session; the caller releases the reference.
    virtual HRESULT GetIGEAssistec(IQVGE_ASTMov** ppIAssistec) = 0;

    // ---- notices and e-mail ----

    // ---- reports ----
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

    // ---- purchase requests ----

    // ---- reports ----
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
