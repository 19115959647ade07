// The facade through which a service's logic opens its module's database:
// one database object per company and process, shared by every service
// object of that company, with the module's data conversion run at most once
// per company and process before the database is first opened.
//
// The per-company table and the record of converted companies are guarded by
// one process-wide lock. A company's database is created and started under
// its own entry's lock, so that start-ups of other companies do not wait for
// it; the last service object of a company to finish finalises and destroys
// the database.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

#include "access/QVBaseParaRotinas.h"
#include "access/QVModulos.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "diagnostics/QVCheck.h"

namespace zenta {

// The process-wide lock of every facade's table and conversion record.
std::mutex& TravaFacadeBaseDados();

}  // namespace zenta

// The process-wide table from company to the one database object of that
// company, for one database class.
template <class TDataBase>
class CQVContainerFacade {
public:
    // The database of a company: created, given its module and initialised
    // with the caller's context the first time, handed out as it is later.
    HRESULT Inicializa(std::string_view sEmpresa, USHORT usUsuario, ULONG ulSessao, TDataBase*& pDataBase,
                       int eModulo) {
        pDataBase = nullptr;
        std::shared_ptr<Entrada> entrada;
        {
            std::lock_guard trava(zenta::TravaFacadeBaseDados());
            std::shared_ptr<Entrada>& e = m_mapEmpresas[std::string(sEmpresa)];
            if (!e) e = std::make_shared<Entrada>();
            entrada = e;
            ++entrada->uiUsuarios;
        }
        std::lock_guard travaEntrada(entrada->trava);
        if (!entrada->pDataBase) {
            auto pNovo = std::make_unique<TDataBase>();
            pNovo->SetModulo(eModulo);
            const HRESULT hr = pNovo->Inicializa(sEmpresa, usUsuario, static_cast<LONG>(ulSessao));
            if (FAILED(hr)) {
                // A database that did not start serves nobody: the next
                // service object of the company starts a new one.
                pNovo->Finaliza();
                Solta(sEmpresa, entrada);
                QV_CHECK(hr);
            }
            entrada->pDataBase = std::move(pNovo);
        }
        pDataBase = entrada->pDataBase.get();
        return S_OK;
    }

    // A service object of the company is done with the database; the last
    // one finalises and destroys it.
    HRESULT Finaliza(std::string_view sEmpresa, TDataBase*& pDataBase) {
        if (pDataBase == nullptr) return S_OK;
        pDataBase = nullptr;
        std::shared_ptr<Entrada> entrada;
        {
            std::lock_guard trava(zenta::TravaFacadeBaseDados());
            const auto it = m_mapEmpresas.find(std::string(sEmpresa));
            if (it == m_mapEmpresas.end()) return S_OK;
            entrada = it->second;
        }
        std::lock_guard travaEntrada(entrada->trava);
        std::unique_ptr<TDataBase> pFim;
        {
            std::lock_guard trava(zenta::TravaFacadeBaseDados());
            if (entrada->uiUsuarios > 0) --entrada->uiUsuarios;
            if (entrada->uiUsuarios == 0) {
                pFim = std::move(entrada->pDataBase);
                const auto it = m_mapEmpresas.find(std::string(sEmpresa));
                if (it != m_mapEmpresas.end() && it->second == entrada) m_mapEmpresas.erase(it);
            }
        }
        if (pFim) QV_CHECK(pFim->Finaliza());
        return S_OK;
    }

    // The database of a company, null when none is open (for tests and tools).
    TDataBase* GetDataBase(std::string_view sEmpresa) {
        std::lock_guard trava(zenta::TravaFacadeBaseDados());
        const auto it = m_mapEmpresas.find(std::string(sEmpresa));
        return it == m_mapEmpresas.end() ? nullptr : it->second->pDataBase.get();
    }

private:
    struct Entrada {
        std::mutex trava;  // the process-wide lock may be taken while it is held, never the reverse
        unsigned uiUsuarios = 0;
        std::unique_ptr<TDataBase> pDataBase;
    };

    // Takes back the use a failed start-up counted.
    void Solta(std::string_view sEmpresa, const std::shared_ptr<Entrada>& entrada) {
        std::lock_guard trava(zenta::TravaFacadeBaseDados());
        if (entrada->uiUsuarios > 0) --entrada->uiUsuarios;
        if (entrada->uiUsuarios == 0) {
            const auto it = m_mapEmpresas.find(std::string(sEmpresa));
            if (it != m_mapEmpresas.end() && it->second == entrada) m_mapEmpresas.erase(it);
        }
    }

    std::map<std::string, std::shared_ptr<Entrada>> m_mapEmpresas;
};

template <class TDataBase, class TBase = CQVBaseParaRotinas>
class CQVDataBaseFacade : public TBase {
public:
    explicit CQVDataBaseFacade(int eModulo = QV_MODULO_GE) : m_eModulo(eModulo) {}
    ~CQVDataBaseFacade() override = default;

    // The module of the database.
    int GetModulo() const { return m_eModulo; }

    // Opens the company's database: refuses an empty company, runs the data
    // conversion once per company and process, then takes the company's
    // database from the process-wide table.
    HRESULT QVDataBaseInicializa() {
        if (this->GetEmpresa().empty()) QV_CHECK(E_QVCR_INICIALIZACAO_QVDATABASE_SEM_EMPRESA);
        QV_CHECK(ExecutaConversaoInterno());
        QV_CHECK(m_ContainerFacade.Inicializa(this->GetEmpresa(), this->GetUsuario(), this->GetNumeroSessao(), m_pDataBase,
                                              GetModulo()));
        return S_OK;
    }

    // The process-wide table of this database class.
    static inline CQVContainerFacade<TDataBase> m_ContainerFacade;

protected:
    // The module's data conversion, supplied by the logic.
    virtual HRESULT ExecutaConversao() { return S_OK; }

    // Runs ExecutaConversao at most once per company and process: the record
    // of converted companies is checked, and checked again under the lock
    // the conversion runs under. A failed conversion is tried again next time.
    HRESULT ExecutaConversaoInterno() {
        const std::string empresa = this->GetEmpresa();
        {
            std::lock_guard trava(zenta::TravaFacadeBaseDados());
            if (EmpresasConvertidas().count(empresa) != 0) return S_OK;
        }
        std::lock_guard travaConversao(TravaConversao());
        {
            std::lock_guard trava(zenta::TravaFacadeBaseDados());
            if (EmpresasConvertidas().count(empresa) != 0) return S_OK;
        }
        {
            const zenta::EscopoConversaoBaseDados escopo;
            QV_CHECK(ExecutaConversao());
        }
        std::lock_guard trava(zenta::TravaFacadeBaseDados());
        EmpresasConvertidas().insert(empresa);
        return S_OK;
    }

    HRESULT OnFinaliza() override {
        const HRESULT hr = m_ContainerFacade.Finaliza(this->GetEmpresa(), m_pDataBase);
        if (FAILED(hr)) QV_LOG_HR(hr, "m_ContainerFacade.Finaliza(GetEmpresa(), m_pDataBase)");
        const HRESULT hrBase = TBase::OnFinaliza();
        return FAILED(hr) ? hr : hrBase;
    }

public:
    TDataBase* m_pDataBase = nullptr;

private:
    static std::set<std::string>& EmpresasConvertidas() {
        static std::set<std::string> empresas;
        return empresas;
    }
    // Conversions run one at a time, outside the table's lock, so that
    // service objects of companies already converted are not held up.
    static std::mutex& TravaConversao() {
        static std::mutex trava;
        return trava;
    }

    int m_eModulo;
};
