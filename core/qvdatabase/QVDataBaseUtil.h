// Paths, names, deletion and renames of the engine's files. Every path the
// engine uses is a file name joined to the company's data directory of a
// module; a name that could reach outside that directory is refused.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVDataBaseContainer.h"
#include "core/qvdatabase/QVDataBaseDefs.h"

namespace zenta {

class CQVInicializador;

// A file name that is not one plain name (empty, "." or "..", holding '/',
// '\\' or a control character).
inline constexpr HRESULT E_QVDATABASE_NOME_ARQUIVO_INVALIDO = HRESULT_FROM_WIN32(123u);  // ERROR_INVALID_NAME

// A flag of RenomeiaArquivoEXT: the caller holds the writer's lock of the
// file being replaced (its own open), so the rename goes over it instead of
// waiting for that writer to leave.
inline constexpr UINT eQVDataBase_DestinoTravadoPeloChamador = 0x100;

// A module whose deletions are not written to the change log.
inline constexpr int QVDATABASE_MODULO_SEM_LOG = -8;

// Marks the calling thread as running the data conversion of a database for
// the lifetime of the object: deletions then say so in the change log.
class EscopoConversaoBaseDados {
public:
    EscopoConversaoBaseDados();
    ~EscopoConversaoBaseDados();
    EscopoConversaoBaseDados(const EscopoConversaoBaseDados&) = delete;
    EscopoConversaoBaseDados& operator=(const EscopoConversaoBaseDados&) = delete;

private:
    bool m_bAnterior;
};
bool EmConversaoBaseDados();

// The change-log text of a deletion (UTF-8): during a conversion, with the
// user's name when the user code is valid (non-zero), or without a user.
std::string TextoLogRemocao(std::string_view sNomeArquivo, USHORT usUsuario, std::string_view sNomeUsuario,
                            bool bConversao);

// The container behind a context: the context itself when it is a container,
// the file's container when it is a file; null otherwise.
IQVDataBaseContainer* ContainerDoContexto(const CQVInicializador* pContexto);

class CQVDataBaseUtil {
public:
    // The data directory of a module for a company.
    static HRESULT GetPathDados(int eModulo, std::string_view sEmpresa, std::filesystem::path& sPathDados);
    // That directory joined with a file name.
    static HRESULT GetPathArquivo(int eModulo, std::string_view sEmpresa, std::string_view sNomeArquivo,
                                  std::filesystem::path& sPathArquivo);

    // Takes the module's data directory of a company (created when missing)
    // for this process's use: an exclusive lock of the directory, held
    // until `trava` goes. Another holder is waited for within the bound of a
    // busy file (zenta::TentaAbrir); after it, E_QVDATABASE_eSharingViolation.
    static HRESULT TravaUsoDados(int eModulo, std::string_view sEmpresa, std::unique_ptr<zenta::IArquivoAberto>& trava);

    // "Invalido", "LeituraGravacao", "LeituraSemBloqueio", "LeituraGravacaoCriacao", else "Desconhecido".
    static const char* ModoAberturaToString(UINT eModoAbertura);

    // Deletes a file of the module's data directory, or every member of a
    // group pattern (a name with a run of '?'). A missing file is success.
    // Each file is tried up to the write retry count with the pause between;
    // a file still present then gives E_QVCR_ARQUIVO_NAO_REMOVIDO. Each file
    // deleted is written to the change log of the context's container
    // (TextoLogRemocao), unless the module is QVDATABASE_MODULO_SEM_LOG. With
    // eRemoverDoControleCriacaoArquivosInMemory the file is also taken out of
    // the creation control: `pControle` when given, else a control built by
    // the context's container for the file.
    static HRESULT DeletaArquivo(const CQVInicializador* pContexto, int eModulo, std::string_view sNomeArquivo,
                                 UINT eFlags, zenta::IQVControleCriacaoArquivos* pControle = nullptr);

    // Reads the one record of a single-record file through a reader that
    // takes no lock; a missing or empty file gives a zeroed record and S_OK.
    // Defined with CQVFileSingleReg (QVFileSingleReg.h).
    template <class T>
    static HRESULT LeSingleReg(const CQVInicializador* pContexto, int eModulo, T* pReg, std::string_view sNomeArquivo);

    // Replaces a file by its twin with the extension `sExtensao`: the twin is
    // moved over the file (retried like a write) and the directory entry made
    // durable; without a twin, an existing file is deleted. With
    // zenta::eQVDataBase_DestinoTravadoPeloChamador in `eFlags` the caller
    // holds the file's writer lock itself.
    static HRESULT RenomeiaArquivoEXT(const CQVInicializador* pContexto, int eModulo, std::string_view sNomeArquivo,
                                      std::string_view sExtensao, UINT eFlags = eNenhum);
    static HRESULT RenomeiaArquivoCAB(const CQVInicializador* pContexto, int eModulo, std::string_view sNomeArquivo,
                                      UINT eFlags = eNenhum) {
        return RenomeiaArquivoEXT(pContexto, eModulo, sNomeArquivo, "cab", eFlags);
    }
    static HRESULT RenomeiaArquivoSRK(const CQVInicializador* pContexto, int eModulo, std::string_view sNomeArquivo,
                                      UINT eFlags = eNenhum) {
        return RenomeiaArquivoEXT(pContexto, eModulo, sNomeArquivo, "srk", eFlags);
    }
    static HRESULT RenomeiaArquivoTRA(const CQVInicializador* pContexto, int eModulo, std::string_view sNomeArquivo,
                                      UINT eFlags = eNenhum) {
        return RenomeiaArquivoEXT(pContexto, eModulo, sNomeArquivo, "tra", eFlags);
    }
};

// A plain file name: not empty, not "." or "..", no '/', '\\' or control character.
bool NomeArquivoValido(std::string_view sNome);

// The stored form of a file name: the part before the last '.' upper-cased,
// the extension lower-cased ("gempcadmanprev.DAT" gives "GEMPCADMANPREV.dat").
std::string NormalizaNomeArquivo(std::string_view sNome);

// The extension after the last '.', empty without one.
std::string_view ExtensaoArquivo(std::string_view sNome);

// The name with its extension replaced (or added).
std::string NomeComExtensao(std::string_view sNome, std::string_view sExtensao);

// ASCII comparison without regard to letter case.
bool IgualSemCaixa(std::string_view a, std::string_view b);

// Whether `sNome` is a member of the group pattern `sPadrao`: same length,
// every other character equal without regard to case, '?' matching any one
// character, and the characters from the first '?' up to the last '.' all
// decimal digits; `uiChave` receives them as a number. A pattern without '?'
// matches nothing.
bool CasaPadraoGrupo(std::string_view sNome, std::string_view sPadrao, ULONGLONG& uiChave);

// The file of `sNome` in `diretorio` as it is on disk: the exact name when
// present, else an entry equal to it without regard to letter case. False
// when neither exists.
bool LocalizaArquivoNoDisco(const std::filesystem::path& diretorio, std::string_view sNome,
                            std::filesystem::path& noDisco);

}  // namespace zenta
