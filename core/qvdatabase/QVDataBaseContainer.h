// What a file object needs of the database container that owns it and of its
// file-creation control. The container CQVDataBase (QVDataBase.h) and the
// creation control CQVDataBaseControleCriacaoArquivos
// (QVDataBaseControleCriacaoArquivos.h) implement these; work files and tests
// that need neither registry nor control use the simple container below.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

#include "core/qvdatabase/QVDataBaseDefs.h"

namespace zenta {

class CQVInicializador;
class IQVFileBase;

// The creation control of one file (module and file name).
class IQVControleCriacaoArquivos {
public:
    virtual ~IQVControleCriacaoArquivos() = default;
    // Takes the file's context when the file is initialised.
    virtual HRESULT Inicializa(const CQVInicializador& contexto) = 0;
    virtual HRESULT Finaliza() = 0;
    // Run by every open of the file before the operating system's open.
    virtual HRESULT GerenciaControleCriacaoArquivos(EQVDataBase_ModoAbertura eModoAbertura) = 0;
    // Takes the file out of the control list.
    virtual HRESULT RemoveControleCriacaoArquivos() = 0;
    virtual void DesabilitaControleCriacaoArquivos() = 0;
    virtual void SetModulo(int eModulo) = 0;
};

// A control that keeps no list: every step succeeds.
class CQVControleCriacaoArquivosInativo final : public IQVControleCriacaoArquivos {
public:
    HRESULT Inicializa(const CQVInicializador&) override { return S_OK; }
    HRESULT Finaliza() override { return S_OK; }
    HRESULT GerenciaControleCriacaoArquivos(EQVDataBase_ModoAbertura) override { return S_OK; }
    HRESULT RemoveControleCriacaoArquivos() override { return S_OK; }
    void DesabilitaControleCriacaoArquivos() override {}
    void SetModulo(int) override {}
};

// The ERP's change log as the engine writes to it: deletions of files. The
// access layer offers no change log yet; the ERP stand-in will implement this.
class IQVLogAlteracoesArquivos {
public:
    virtual ~IQVLogAlteracoesArquivos() = default;
    // The name of the context's user, for the log text; empty when unknown.
    virtual std::string NomeUsuario(const CQVInicializador& contexto) = 0;
    // Writes one entry about a file of a module; the text is Windows-1252.
    virtual HRESULT GravaLog(const CQVInicializador& contexto, int eModulo, std::string_view sNomeArquivo,
                             std::string_view sTexto) = 0;
};

// A change log that writes nothing.
class CQVLogAlteracoesArquivosNulo final : public IQVLogAlteracoesArquivos {
public:
    std::string NomeUsuario(const CQVInicializador&) override { return {}; }
    HRESULT GravaLog(const CQVInicializador&, int, std::string_view, std::string_view) override { return S_OK; }
};

// The container as its files see it.
class IQVDataBaseContainer {
public:
    virtual int GetModulo() const = 0;
    // Files open in eModoLeituraSemBloqueio whatever they ask for.
    virtual bool GetLeituraSemBloqueio() const = 0;
    // Header management is off for every file.
    virtual bool GetSemCabecalho() const = 0;
    // A compaction container: files hand out their record arrays.
    virtual bool GetEhContainerShrink() const = 0;
    // Registry of the files built on the container.
    virtual void AddFile(IQVFileBase* pFile) = 0;
    virtual void RemoveFile(IQVFileBase* pFile) = 0;
    // The creation control of a file built on this container.
    virtual std::unique_ptr<IQVControleCriacaoArquivos> CriaControleCriacaoArquivos(int eModulo,
                                                                                    std::string_view sNomeArquivo) {
        (void)eModulo;
        (void)sNomeArquivo;
        return std::make_unique<CQVControleCriacaoArquivosInativo>();
    }
    // The change log that deletions of this container's files write to.
    virtual IQVLogAlteracoesArquivos& GetLogAlteracoesArquivos() {
        static CQVLogAlteracoesArquivosNulo nulo;
        return nulo;
    }

protected:
    ~IQVDataBaseContainer() = default;
};

// A container that only carries a module number and the switches, and keeps
// no registry: for work files and tests.
class CQVContainerArquivosSimples final : public IQVDataBaseContainer {
public:
    explicit CQVContainerArquivosSimples(int eModulo) : m_eModulo(eModulo) {}

    int GetModulo() const override { return m_eModulo; }
    bool GetLeituraSemBloqueio() const override { return m_bLeituraSemBloqueio; }
    bool GetSemCabecalho() const override { return m_bSemCabecalho; }
    bool GetEhContainerShrink() const override { return m_bShrink; }
    void AddFile(IQVFileBase*) override {}
    void RemoveFile(IQVFileBase*) override {}

    void SetModulo(int eModulo) { m_eModulo = eModulo; }
    void SetLeituraSemBloqueio(bool b) { m_bLeituraSemBloqueio = b; }
    void SetSemCabecalho(bool b) { m_bSemCabecalho = b; }
    void SetEhContainerShrink(bool b) { m_bShrink = b; }

private:
    int m_eModulo;
    bool m_bLeituraSemBloqueio = false;
    bool m_bSemCabecalho = false;
    bool m_bShrink = false;
};

}  // namespace zenta
