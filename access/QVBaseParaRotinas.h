// The session base of the logic, database, integration and report classes:
// the context taken from the initialisation record, the accessors of the
// ERP's modules, and the default access that code without an object of its
// own (error log lines, for one) works for.
#pragma once

#include <filesystem>
#include <optional>

#include <zenta/QVUnknown.h>

#include "access/QVAcessoServidores.h"
#include "access/QVInicializador.h"
#include "diagnostics/QVDF_Profiler.h"

namespace zenta {

class CQVBaseParaRotinas : public CQVInicializador, public IQVDF_Profiler {
public:
    CQVBaseParaRotinas() = default;
    ~CQVBaseParaRotinas() override;

    using CQVInicializador::Inicializa;
    // Initialises from a client's initialisation record: the company must be
    // terminated within its field and usable as a directory name
    // (E_QV_NOME_EMPRESA_INVALIDO), the user must fit the ERP's 16-bit user
    // codes (E_INVALIDARG). The record is kept for log lines.
    HRESULT Inicializa(const _REG_DF_INICIALIZAPS& regps);

    // IQVDF_Profiler
    std::string GetEmpresa() const override { return CQVInicializador::GetEmpresa(); }
    USHORT GetUsuario() const override { return CQVInicializador::GetUsuario(); }
    ULONG GetNumeroSessao() const override { return static_cast<ULONG>(CQVInicializador::GetNumeroSessao()); }

    // The context of this object for the checked steps of its members.
    CQVContextoProfiler QVProfilerDoEscopo() const;

    // The default access: the calling thread's current session object. The
    // service object's call frame sets it at the start of a call and clears
    // it at the end, so each call sees its own object even when calls of
    // several objects run at once.
    static void SetAcessoDefault(CQVBaseParaRotinas* base);
    static CQVBaseParaRotinas* GetAcessoServidoresDefault();

    void SetUsaConexaoDefault(bool usa) { m_bUsaConexaoDefault = usa; }
    bool GetUsaConexaoDefault() const { return m_bUsaConexaoDefault; }

    // The accessors of the ERP's modules for this session (E_NOTIMPL when the
    // process has no provider, CO_E_NOTINITIALIZED before initialisation).
    HRESULT GetAcessoServidores(CQVAcessoServidores& acessos);

    // The data directory of a module for this session's company.
    HRESULT GetDiretorioDadosModulo(int modulo, std::filesystem::path& diretorio) const;

    // The generic call of IQVUnknown. No generic function is defined for this
    // module: every number answers E_NOTIMPL and no output list.
    HRESULT FuncaoGenerica(ULONG ulFuncao, const _REG_CR_LISTA_BYTESPS& regInps, _REG_CR_LISTA_BYTESPS** ppregOutps);

    CQVBaseParaRotinas* GetBaseParaRotinas() { return this; }

protected:
    HRESULT OnFinaliza() override;

private:
    mutable std::mutex m_travaRegistro;
    std::optional<_REG_DF_INICIALIZAPS> m_regInicializacao;
    bool m_bUsaConexaoDefault = false;
    bool m_bConectado = false;
    CQVAcessoServidores m_acessos;
};

// The initialisation record an outside server takes to work for the same
// session: this object's company, user and session, sealed with its CRC. A
// company that does not fit the record leaves its name empty, and the
// server then refuses the record.
_REG_DF_INICIALIZAPS ProfilerToRegInicializaPS(const CQVBaseParaRotinas* base);

}  // namespace zenta
