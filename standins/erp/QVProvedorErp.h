// The ERP stand-in as the process's access provider: every initialised
// session gets its enterprise, manager and stock accessors from here, all
// working on the company's stand-in database (QVErpBanco.h). Installed when
// the server library is loaded.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "access/QVAcessoServidores.h"
#include "standins/erp/QVErpBanco.h"

namespace zenta {

// The ERP's decimal-places code of a unit kept with `casas` decimals
// (0: whole units, 1: two decimals, 2: four).
USHORT CodigoCasasDecimais(int64_t casas);

class ProvedorErp final : public IQVProvedorAcesso {
public:
    // The one instance of the process; it is never destroyed, so sessions
    // that end while the process exits still find it.
    static ProvedorErp& Instancia();

    // Gives the session its accessors. The company's database is opened at
    // the first operation, not here; a company name that cannot name a
    // directory is refused here with the directory functions' code.
    HRESULT Conecta(const CQVBaseParaRotinas& sessao, CQVAcessoServidores& acessos) override;
    void Desconecta(const CQVBaseParaRotinas& sessao) override;

    // Number of sessions connected (tests).
    std::size_t SessoesConectadas();

    struct Conjunto;

private:
    ProvedorErp() = default;

    std::mutex m_trava;
    std::map<const CQVBaseParaRotinas*, std::unique_ptr<Conjunto>> m_sessoes;
};

}  // namespace zenta
