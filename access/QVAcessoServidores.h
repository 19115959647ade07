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

namespace zenta {

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

// A service: its value (what a technical-assistance item takes), its name
// (UTF-8) and its unit of measure.
struct CQVDadosDF_Servico {
    CY vValor{};
    std::string sNome;
    USHORT usUnidadeMedida = 0;
    CY GetValor() const { return vValor; }
    const std::string& GetNome() const { return sNome; }
    USHORT GetPonteiroUnidadeMedida() const { return usUnidadeMedida; }
};

// A product at a position (its grid pointers, 16 bits each), its name
// (UTF-8) and the unit its stock is kept in.
struct CQVDadosDF_Produto {
    ULONG lProduto = 0;
    USHORT usGrade1 = 0;
    USHORT usGrade2 = 0;
    USHORT usGrade3 = 0;
    std::string sNome;
    USHORT usUnidadeMedidaEstoque = 0;
    ULONG GetPonteiroProduto() const { return lProduto; }
    USHORT GetPonteiroGrade1() const { return usGrade1; }
    USHORT GetPonteiroGrade2() const { return usGrade2; }
    USHORT GetPonteiroGrade3() const { return usGrade3; }
    const std::string& GetNome() const { return sNome; }
    USHORT GetPonteiroUnidadeMedidaEstoque() const { return usUnidadeMedidaEstoque; }
};

// A product with the descriptions of its three grade items (UTF-8; empty
// for a grade it does not have).
struct CQVDadosDF_ProdutoEx : CQVDadosDF_Produto {
    std::string sDescricaoGrade[3];
    const std::string& GetDescricaoGrade(int i) const { return sDescricaoGrade[i]; }
};

// A unit of measure: its symbol, name and decimal-places code as the ERP
// keeps it (0: whole units, 1: two decimals, 2: four decimals).
struct CQVDadosDF_UnidadeMedida {
    std::string sSigla;
    std::string sNome;
    USHORT usCasasDecimais = 0;
    USHORT GetCasasDecimais() const { return usCasasDecimais; }
};
using CQVDadosDF_UnidadeMedidaProduto = CQVDadosDF_UnidadeMedida;
using CQVDadosDF_UnidadeMedidaServico = CQVDadosDF_UnidadeMedida;

// Where reposition data is asked for: a product position at a branch.
struct CQVKeyReposicaoProduto {
    ULONG lProduto = 0;
    USHORT usGrade1 = 0;
    USHORT usGrade2 = 0;
    USHORT usGrade3 = 0;
    USHORT usFilial = 0;
};

// A product's reposition data at a branch.
struct CQVDadosDF_ReposicaoProduto {
    CY vEstoqueMinimo{};
    CY vPontoPedidoReposicao{};
    CY GetEstoqueMinimo() const { return vEstoqueMinimo; }
    CY GetPontoPedidoReposicao() const { return vPontoPedidoReposicao; }
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

    // A product by its code (no grid: grade pointers 0), with its name and
    // stock unit; the Ex form also gives the position's grade item
    // descriptions. A product that is not registered fails with
    // HRESULT_FROM_WIN32(ERROR_NOT_FOUND), as every read below does.
    virtual HRESULT LeProduto(ULONG lProduto, CQVDadosDF_Produto* pDados) = 0;
    virtual HRESULT LeProdutoEx(const CQVPosicaoProduto& regPosicao, CQVDadosDF_ProdutoEx* pDados) = 0;
    // A service with its name and unit.
    virtual HRESULT LeServico(ULONG lServico, CQVDadosDF_Servico* pDados) = 0;
    // A unit of measure, by the unit's pointer; the product and service
    // forms read the units products and services are kept in.
    virtual HRESULT LeUnidadeMedida(USHORT usUnidade, CQVDadosDF_UnidadeMedida* pDados) = 0;
    virtual HRESULT LeUnidadeMedidaProduto(USHORT usUnidade, CQVDadosDF_UnidadeMedidaProduto* pDados) = 0;
    virtual HRESULT LeUnidadeMedidaServico(USHORT usUnidade, CQVDadosDF_UnidadeMedidaServico* pDados) = 0;
    // A product position's reposition data at a branch; none stored is
    // success with zeros and *pbAchou false.
    virtual HRESULT LeReposicaoProduto(const CQVKeyReposicaoProduto& key, CQVDadosDF_ReposicaoProduto* pDados,
                                       BOOL* pbAchou) = 0;

    // ---- notices and e-mail ----

    // Sends an e-mail (or keeps it where the installation says mail goes).
    // E_INVALIDARG for a message without recipients.
    virtual HRESULT EnviaEmail(const CQVDadosEmail& dadosEmail) = 0;
    // Tries again to send the messages that wait because the mail server
    // did not take them; S_OK when nothing waits.
    virtual HRESULT ReenviaEmailsPendentes() { return S_OK; }

    // ---- reports ----
    // The records of these operations are defined in
    // access/QVDadosAcessoRelatorio.h (named here without it).

    // A branch's name. A branch that is not registered fails with
    // HRESULT_FROM_WIN32(ERROR_NOT_FOUND).
    virtual HRESULT LeFilial(ULONG lFilial, struct CQVDadosDF_Filial* pDados) = 0;
    // A customer's commercial record (its corporate name is the
    // registration's name when the commercial record has none). A customer
    // that is not registered fails with HRESULT_FROM_WIN32(ERROR_NOT_FOUND).
    virtual HRESULT LeClienteComercial(ULONG lCliente, struct CQVDadosDF_ClienteComercial* pDados) = 0;
};

struct IQVAcessoGerenciador {
    virtual ~IQVAcessoGerenciador() = default;

    // The technical-assistance module's service orders, initialised for the
    // session; the caller releases the reference.
    virtual HRESULT GetIGEAssistec(IQVGE_ASTMov** ppIAssistec) = 0;

    // ---- notices and e-mail ----

    // The names (UTF-8) of an equipment, a brand, a model and an equipment
    // type of the manager module's registers, for the e-mail notice of an
    // order. Code 0 names none and answers an empty name; a code that is not
    // registered fails with HRESULT_FROM_WIN32(ERROR_NOT_FOUND). An accessor
    // that does not offer them answers E_NOTIMPL.
    virtual HRESULT LeBufferEquipamentoAST(ULONG lEquipamento, std::string* psNome) {
        return LeNomeNaoOferecido(lEquipamento, psNome);
    }
    virtual HRESULT LeBufferMarcaAST(ULONG lMarca, std::string* psNome) { return LeNomeNaoOferecido(lMarca, psNome); }
    virtual HRESULT LeBufferModeloAST(ULONG lModelo, std::string* psNome) {
        return LeNomeNaoOferecido(lModelo, psNome);
    }
    virtual HRESULT LeBufferTipoAST(ULONG lTipo, std::string* psNome) { return LeNomeNaoOferecido(lTipo, psNome); }
    static HRESULT LeNomeNaoOferecido(ULONG, std::string* psNome) {
        if (psNome != nullptr) psNome->clear();
        return E_NOTIMPL;
    }

    // ---- reports ----

    // The equipment register's record of an equipment (its two text
    // fields). An equipment that is not registered fails with
    // HRESULT_FROM_WIN32(ERROR_NOT_FOUND).
    virtual HRESULT LeCadastroEquipamento(ULONG lEquipamento, struct CQVDadosGE_CadEquipamento* pDados) = 0;
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

    // The stock module's movement interface, with a reference for the caller.
    virtual HRESULT GetIESMovimento(IQVES_Movimento*& pIESMovimento) = 0;

    // ---- reports ----

    // A stock location's name (`ulFlags` is reserved: 0). A location that is
    // not registered fails with HRESULT_FROM_WIN32(ERROR_NOT_FOUND).
    virtual HRESULT LeLocal(ULONG lLocal, struct CQVDadosES_Local* pLocal, ULONG ulFlags) = 0;
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

}  // namespace zenta
