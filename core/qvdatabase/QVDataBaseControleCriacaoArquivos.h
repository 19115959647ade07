// The file-creation control: the list of the data files a module has created
// in a company's data directory, kept in the text file
// "QVDATABASE_FILE_CTRL.dat" (one entry per file, its normalised name; never
// given a header). Every change of the list is made by the holder of the
// directory marker (CQVArqMarca) and written whole to the twin
// "QVDATABASE_FILE_CTRL.tra", which is then renamed over the list: a reader,
// which takes no lock, sees the old list or the new one, never a part.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <zenta/WinTypes.h>

#include "access/QVInicializador.h"
#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVDataBaseContainer.h"
#include "core/qvdatabase/QVDataBaseDefs.h"

namespace zenta {

// The directory marker: a file in the data directory named
// "<directory>/<module code>XXMARCA<number>.dat", created and held with
// exclusive access (a writer's lock on an open file description, which the
// system releases when the holder dies) and deleted when released. Holding it
// serialises changes of the control file between processes and threads.
class CQVArqMarca {
public:
    CQVArqMarca() = default;
    ~CQVArqMarca() { Libera(); }
    CQVArqMarca(const CQVArqMarca&) = delete;
    CQVArqMarca& operator=(const CQVArqMarca&) = delete;

    // The marker's path for a data directory, module code and number.
    static std::filesystem::path Caminho(const std::filesystem::path& diretorio, std::string_view sCodigoModulo,
                                         int iNumero);

    // Takes the marker, trying as often and as long as an open of a busy file.
    HRESULT Marca(const std::filesystem::path& diretorio, std::string_view sCodigoModulo, int iNumero);
    // Releases and deletes the marker; harmless when not held.
    void Libera();
    bool Marcado() const { return m_pArquivo != nullptr; }

private:
    std::filesystem::path m_sCaminho;
    std::unique_ptr<zenta::IArquivoAberto> m_pArquivo;
};

class CQVDataBaseControleCriacaoArquivos final : public zenta::IQVControleCriacaoArquivos {
public:
    // The number in the name of the marker of the control file.
    static constexpr int NUMERO_MARCA = 1;

    CQVDataBaseControleCriacaoArquivos(int eModulo, std::string_view sNomeArquivo);
    ~CQVDataBaseControleCriacaoArquivos() override;

    // Takes the file's context. A "tra" twin of the control file left by a
    // rewrite that did not finish is removed under the marker (the old list
    // is whole); when the marker cannot be had, E_QVCR_ARQUIVO_TRA_ENCONTRADO.
    // A file of a container that reads without locking leaves the twin alone.
    HRESULT Inicializa(const CQVInicializador& contexto) override;
    HRESULT Finaliza() override;

    // Run by every open of the file: acts for eModoLeituraGravacao only. A
    // disabled control takes the file out of the list; else a file that is
    // not listed is added, and a listed file that does not exist is
    // E_QVCR_INCONSISTENCIA_CONTROLE_CRIACAO_ARQUIVOS. The control file and
    // the work files ("cab", "srk", "tra") are never listed.
    HRESULT GerenciaControleCriacaoArquivos(EQVDataBase_ModoAbertura eModoAbertura) override;
    // Whether the file's name is in the list (read without locking).
    HRESULT PossuiControleCriacaoArquivos(bool& bPossui);
    // The same answer from this process's copy of the list while the
    // control file keeps the identity the copy was read at.
    HRESULT ListadoNaCopia(bool& bListado);
    // Adds the file's name to the list, under the marker, unless it is there.
    HRESULT CriaControleCriacaoArquivos();
    // Takes the file's name (or, for a group pattern, every member's) out of
    // the list, under the marker.
    HRESULT RemoveControleCriacaoArquivos() override;
    void DesabilitaControleCriacaoArquivos() override { m_bDesabilitado = true; }
    void SetModulo(int eModulo) override { m_eModulo = eModulo; }

    bool GetDesabilitado() const { return m_bDesabilitado; }
    const std::string& GetNomeArquivo() const { return m_sNomeArquivo; }

    // Whether a file of this name is kept in the list.
    static bool NomeControlado(std::string_view sNomeArquivo);

    // Reads the list of a module's data directory without locking; a missing
    // file is an empty list.
    static HRESULT LeLista(const CQVInicializador& contexto, int eModulo, std::vector<std::string>& aLista);

private:
    // Changes the list under the marker: `muda` edits it and tells whether
    // anything changed; a changed list is written to the twin and renamed over.
    template <class Muda>
    HRESULT AlteraLista(Muda&& muda);
    HRESULT GravaLista(const std::vector<std::string>& aLista);
    HRESULT CaminhoControle(std::filesystem::path& sCaminho) const;

    int m_eModulo;
    std::string m_sNomeArquivo;
    bool m_bDesabilitado = false;
    CQVInicializador m_contexto;
};

}  // namespace zenta
