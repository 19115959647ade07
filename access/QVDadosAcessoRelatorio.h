// The records the reports read from the ERP's other modules through the
// accessors (access/QVAcessoServidores.h, sections "reports"): a branch, the
// equipment register's record of an equipment, a customer's commercial
// record and a stock location. Texts are UTF-8, empty when the ERP has none.
#pragma once

#include <string>

#include <zenta/WinTypes.h>

namespace zenta {

// A branch of the company.
struct CQVDadosDF_Filial {
    ULONG lFilial = 0;
    std::string sNome;
    const std::string& GetNome() const { return sNome; }
};

// An equipment as the technical-assistance module's equipment register keeps
// it: its reference (the first text field, as people write the equipment's
// identification) and its description (the second).
struct CQVDadosGE_CadEquipamento {
    ULONG lEquipamento = 0;
    std::string sReferencia;
    std::string sDescricao;
    const std::string& GetTexto1() const { return sReferencia; }
    const std::string& GetTexto2() const { return sDescricao; }
};

// A customer's commercial record: a short name (the first text field) and
// its corporate name (the second; the registration's name when the
// commercial record has none).
struct CQVDadosDF_ClienteComercial {
    ULONG lCliente = 0;
    std::string sNomeCurto;
    std::string sRazaoSocial;
    const std::string& GetTexto1() const { return sNomeCurto; }
    const std::string& GetTexto2() const { return sRazaoSocial; }
};

// A stock location of the stock module.
struct CQVDadosES_Local {
    ULONG lLocal = 0;
    std::string sNome;
    const std::string& GetNome() const { return sNome; }
};

}  // namespace zenta
