// The accessors through which the system reaches the ERP's other modules:
// the enterprise module (users, products, services, units, branches,
// customers, e-mail, the change log), the manager module (equipment
// registrations, technical assistance) and the stock module. Each operation
// answers an HRESULT and fills its out-values. The operations are declared
// by the features that call them; the ERP stand-in implements them.
#pragma once

#include <zenta/WinTypes.h>

class CQVBaseParaRotinas;

struct IQVAcessoEmpresarial {
    virtual ~IQVAcessoEmpresarial() = default;
};

struct IQVAcessoGerenciador {
    virtual ~IQVAcessoGerenciador() = default;
};

struct IQVAcessoEstoque {
    virtual ~IQVAcessoEstoque() = default;
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
