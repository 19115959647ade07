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

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <thread>

#include <zenta/WinTypes.h>

#include "access/QVBaseParaRotinas.h"
#include "platform/QVModulos.h"
#include "core/qvdatabase/QVDataBase.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "diagnostics/QVCheck.h"
#include "diagnostics/QVGuardaFalhas.h"

namespace zenta {

// The process-wide lock of every facade's table and conversion record.
std::mutex& TravaFacadeBaseDados();

// The process-wide table from company to the one database object of that
// company, for one database class.
//
// After a machine fault inside a call, what the company's database holds in
// memory is not trusted: the call frame marks it (MarcaDescarte) and the
// database is loaded again from disk, in place, by the next call that uses
// it (Uso), once it has the company to itself; the files are the truth (a
// write cut short is undone or recovered when the files are opened again).
// Every call of a service object holds its company's use shared for its
// whole duration, so a reload never runs beside a call.
template <class TDataBase>
class CQVContainerFacade {
public:
    // How long a reload waits to have the company to itself.
    static constexpr std::chrono::seconds kEsperaRecarga{30};

    struct Entrada {
        zenta::CQVTrava trava;  // the process-wide lock may be taken while it is held, never the reverse
        unsigned uiUsuarios = 0;
        std::unique_ptr<TDataBase> pDataBase;
        // Held shared by every call using the database, exclusive by a reload.
        zenta::CQVTravaLeituraEscrita uso;
        // The memory is not trusted: load again before the next use.
        std::atomic<bool> bDescartar{false};
    };

    // The database of a company: created, given its module and initialised
    // with the caller's context the first time, handed out as it is later
    // (loaded again first when it was marked after a fault).
    HRESULT Inicializa(std::string_view sEmpresa, USHORT usUsuario, ULONG ulSessao, TDataBase*& pDataBase,
                       int eModulo) {
        std::shared_ptr<Entrada> entrada;
        return Inicializa(sEmpresa, usUsuario, ulSessao, pDataBase, eModulo, entrada);
    }
    // `pEntrada` holds the use counted for the caller from the moment it is
    // counted: were start-up abandoned by a machine fault, the caller still
    // gives the use back (Devolve) and the company's table does not keep it.
    HRESULT Inicializa(std::string_view sEmpresa, USHORT usUsuario, ULONG ulSessao, TDataBase*& pDataBase,
                       int eModulo, std::shared_ptr<Entrada>& pEntrada) {
        pDataBase = nullptr;
        pEntrada.reset();
        std::shared_ptr<Entrada> entrada;
        {
            std::lock_guard trava(zenta::TravaFacadeBaseDados());
            std::shared_ptr<Entrada>& e = m_mapEmpresas[std::string(sEmpresa)];
            if (!e) e = std::make_shared<Entrada>();
            entrada = e;
            ++entrada->uiUsuarios;
            pEntrada = entrada;
        }
        {
            std::lock_guard travaEntrada(entrada->trava);
            if (!entrada->pDataBase) {
                auto pNovo = std::make_unique<TDataBase>();
                pNovo->SetModulo(eModulo);
                const HRESULT hr = pNovo->Inicializa(sEmpresa, usUsuario, static_cast<LONG>(ulSessao));
                if (FAILED(hr)) {
                    // A database that did not start serves nobody: the next
                    // service object of the company starts a new one.
                    pNovo->Finaliza();
                    pEntrada.reset();
                    Solta(sEmpresa, entrada);
                    QV_CHECK(hr);
                }
                entrada->pDataBase = std::move(pNovo);
                entrada->bDescartar = false;
            }
        }
        if (entrada->bDescartar) {
            const HRESULT hr = Recarrega(*entrada, sEmpresa, usUsuario, ulSessao);
            if (FAILED(hr)) {
                pEntrada.reset();
                Solta(sEmpresa, entrada);
                QV_CHECK(hr);
            }
        }
        pDataBase = entrada->pDataBase.get();
        return S_OK;
    }

    // Gives back a use counted by Inicializa whose start-up never finished
    // (a machine fault abandoned it): the entry's database, when one was
    // made, is finalised with the last use, as by Finaliza.
    HRESULT Devolve(std::string_view sEmpresa, const std::shared_ptr<Entrada>& entrada) {
        if (!entrada) return S_OK;
        std::lock_guard travaEntrada(entrada->trava);
        return SoltaEFinaliza(sEmpresa, entrada);
    }

    // A service object of the company is done with the database; the last
    // one finalises and destroys it (without writing what memory holds when
    // it was marked after a fault).
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
        return SoltaEFinaliza(sEmpresa, entrada);
    }

    // The memory of the entry's database is no longer trusted (a machine
    // fault inside a call that used it).
    static void MarcaDescarte(Entrada& entrada) { entrada.bDescartar = true; }

    // The use of the entry's database for one call: reloaded first when it
    // was marked, then held shared until `uso` is released. A reload that
    // cannot have the company to itself within kEsperaRecarga, or fails,
    // leaves the mark and fails the call.
    static HRESULT Uso(Entrada& entrada, std::string_view sEmpresa, USHORT usUsuario, ULONG ulSessao,
                       std::shared_lock<zenta::CQVTravaLeituraEscrita>& uso) {
        if (entrada.bDescartar) QV_CHECK(Recarrega(entrada, sEmpresa, usUsuario, ulSessao));
        uso = std::shared_lock(entrada.uso);
        return S_OK;
    }

    // The database of a company, null when none is open (for tests and tools).
    TDataBase* GetDataBase(std::string_view sEmpresa) {
        std::lock_guard trava(zenta::TravaFacadeBaseDados());
        const auto it = m_mapEmpresas.find(std::string(sEmpresa));
        return it == m_mapEmpresas.end() ? nullptr : it->second->pDataBase.get();
    }

private:
    // Loads a marked database again from disk, in place (every service object
    // keeps its pointer), with the company to itself.
    static HRESULT Recarrega(Entrada& entrada, std::string_view sEmpresa, USHORT usUsuario, ULONG ulSessao) {
        std::unique_lock uso(entrada.uso, std::defer_lock);
        const auto limite = std::chrono::steady_clock::now() + kEsperaRecarga;
        while (!uso.try_lock()) {
            if (std::chrono::steady_clock::now() >= limite) QV_CHECK(E_QVDATABASE_eSharingViolation);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::lock_guard travaEntrada(entrada.trava);
        if (!entrada.bDescartar || !entrada.pDataBase) return S_OK;
        TDataBase& db = *entrada.pDataBase;
        static_cast<CQVDataBase&>(db).FechaArquivosSemAtualizar();
        db.Finaliza();
        QV_CHECK(db.Inicializa(sEmpresa, usUsuario, static_cast<LONG>(ulSessao)));
        entrada.bDescartar = false;
        return S_OK;
    }

    // Takes back one use of the entry (its lock held); the last one
    // finalises and destroys the database.
    HRESULT SoltaEFinaliza(std::string_view sEmpresa, const std::shared_ptr<Entrada>& entrada) {
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
        if (pFim) {
            if (entrada->bDescartar) static_cast<CQVDataBase&>(*pFim).FechaArquivosSemAtualizar();
            QV_CHECK(pFim->Finaliza());
        }
        return S_OK;
    }

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
    // A use of the company still counted here was never finalised: a machine
    // fault abandoned the start-up (or the call) that took it. It is given
    // back, so that the company's database is not kept for the life of the
    // process.
    ~CQVDataBaseFacade() override {
        if (const auto entrada = std::move(m_pEntrada)) {
            m_pDataBase = nullptr;
            const HRESULT hr = m_ContainerFacade.Devolve(m_sEmpresaEntrada, entrada);
            if (FAILED(hr)) QV_LOG_HR(hr, "m_ContainerFacade.Devolve(...)");
        }
    }

    // The module of the database.
    int GetModulo() const { return m_eModulo; }

    // Opens the company's database: refuses an empty company, runs the data
    // conversion once per company and process, then takes the company's
    // database from the process-wide table.
    HRESULT QVDataBaseInicializa() {
        if (this->GetEmpresa().empty()) QV_CHECK(E_QVCR_INICIALIZACAO_QVDATABASE_SEM_EMPRESA);
        QV_CHECK(ExecutaConversaoInterno());
        m_sEmpresaEntrada = this->GetEmpresa();
        QV_CHECK(m_ContainerFacade.Inicializa(this->GetEmpresa(), this->GetUsuario(), this->GetNumeroSessao(), m_pDataBase,
                                              GetModulo(), m_pEntrada));
        return S_OK;
    }

    // The use of the company's database for one call (see
    // CQVContainerFacade::Uso); nothing to hold before the database is open.
    HRESULT QVDataBaseUso(std::shared_lock<zenta::CQVTravaLeituraEscrita>& uso) {
        const std::shared_ptr<typename CQVContainerFacade<TDataBase>::Entrada> entrada = m_pEntrada;
        if (!entrada || m_pDataBase == nullptr) return S_OK;
        return CQVContainerFacade<TDataBase>::Uso(*entrada, this->GetEmpresa(), this->GetUsuario(),
                                                  this->GetNumeroSessao(), uso);
    }

    // A machine fault interrupted a call of this object: the company's
    // database is loaded again from disk before its next use.
    void QVDataBaseDescartaAposFalha() {
        if (const auto entrada = m_pEntrada) CQVContainerFacade<TDataBase>::MarcaDescarte(*entrada);
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
        HRESULT hr = S_OK;
        if (m_pDataBase != nullptr) {
            hr = m_ContainerFacade.Finaliza(this->GetEmpresa(), m_pDataBase);
            m_pEntrada.reset();
            if (FAILED(hr)) QV_LOG_HR(hr, "m_ContainerFacade.Finaliza(GetEmpresa(), m_pDataBase)");
        } else if (const auto entrada = std::move(m_pEntrada)) {
            // Counted, but its start-up was abandoned.
            hr = m_ContainerFacade.Devolve(m_sEmpresaEntrada, entrada);
            if (FAILED(hr)) QV_LOG_HR(hr, "m_ContainerFacade.Devolve(...)");
        }
        const HRESULT hrBase = TBase::OnFinaliza();
        return FAILED(hr) ? hr : hrBase;
    }

public:
    TDataBase* m_pDataBase = nullptr;

private:
    std::shared_ptr<typename CQVContainerFacade<TDataBase>::Entrada> m_pEntrada;
    // The company m_pEntrada was counted for.
    std::string m_sEmpresaEntrada;

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

}  // namespace zenta
