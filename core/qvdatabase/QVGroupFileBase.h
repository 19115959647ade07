// A family of typed record files of one record type, one member file per key,
// all named from one pattern in which a run of '?' stands for the key
// ("GEMOVMANUT??????.dat" holds GEMOVMANUT072022.dat for July 2022). This
// base holds the pattern, the member map and its lock, discovers the members
// on disk and creates a member the first time a record is written under a new
// key; CQVGroupFile<T> adds the typed reads and writes.
//
// A member found on disk at start-up is loaded when first reached (a read,
// a write, a count or an index lookup under its key), not by the start-up:
// a company with years of month files pays at start-up only for the months
// its first day touches, and holds in memory only those.
//
// Locks: the member map has its own reader/writer lock, always taken before
// the lock of a member (group, then member). A member's first load happens
// under the map's lock, shared or exclusive, and under a lock of its own
// taken after it.
#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

#include <zenta/WinTypes.h>

#include "core/qvdatabase/QVDataBaseContainer.h"
#include "core/qvdatabase/QVFileBase.h"

namespace zenta {

// No member file for the key of a read.
inline constexpr HRESULT E_QVDATABASE_MEMBRO_GRUPO_NAO_EXISTE = static_cast<HRESULT>(0x810809D7u);

class CQVGroupFileBase : public IQVFileBase {
public:
    // Normalises and keeps the pattern, takes the module of the container and
    // registers with it. Nothing is read; the pattern is checked when the
    // group is initialised.
    CQVGroupFileBase(std::string_view sNomeArquivo, zenta::IQVDataBaseContainer* pDataBase);
    // Finalises (when still initialised) and destroys every member.
    ~CQVGroupFileBase() override;
    CQVGroupFileBase(const CQVGroupFileBase&) = delete;
    CQVGroupFileBase& operator=(const CQVGroupFileBase&) = delete;

    // ---- IQVFileBase -------------------------------------------------------------------
    // Deletes every member file, in ascending key order, and empties the group.
    HRESULT DeletaArquivo() override;
    // Closes every member file without bringing its header up to date (a
    // database whose memory is no longer trusted); finalising afterwards
    // writes nothing.
    void FechaMembrosSemAtualizar();
    // The pattern.
    std::string GetNomeArquivo() const override { return m_sNomeArquivo; }
    int GetModulo() const override { return m_eModulo.load(std::memory_order_relaxed); }
    // Changes the module of the group and of every member.
    void SetModulo(int eModulo) override;
    // Records over all members.
    ULONGLONG GetQtdRegistros() const override;
    // Passed to every member, present and future.
    void DesabilitaControleCriacaoArquivos() override;
    // A group has no single record array: raw access by position alone is refused.
    const void* GetArrayData() const override { return nullptr; }
    HRESULT SetArrayData(const void*, std::size_t) override { return E_NOTIMPL; }
    std::string GetNomeTipoRegistro() const override { return "Invalid"; }
    const void* GetRegData(ULONGLONG) const override { return nullptr; }
    HRESULT SetRegData(ULONGLONG&, const void*) override { return E_NOTIMPL; }

    // ---- Members -----------------------------------------------------------------------
    // Records of the member of a key; 0 when there is none.
    virtual ULONGLONG GetQtdRegistros(ULONGLONG uiChaveNomeArquivo) const;
    // Builds a member object for a file name on a container, out of the
    // container's list of files (members are reached only through their
    // group). It is not initialised.
    virtual std::unique_ptr<IQVFileBase> NewFile(std::string_view sNomeArquivo,
                                                 zenta::IQVDataBaseContainer* pDataBase) = 0;
    // The lowest position of a key in an index of the member of
    // `uiChaveNomeArquivo`; S_OK and `uiPosicao` left as it was when the
    // member does not exist.
    virtual HRESULT ExisteIndex(ULONGLONG uiChaveNomeArquivo, ULONGLONG uiPosicaoIndex, ULONGLONG& uiPosicao,
                                UINT uiColunaIndexacao) const;
    // Every position of a key, ascending; an empty list when the member does not exist.
    virtual HRESULT ExisteIndex(ULONGLONG uiChaveNomeArquivo, ULONGLONG uiPosicaoIndex,
                                std::vector<ULONGLONG>& listaPosicao, UINT uiColunaIndexacao) const;

    // The keys that have a member, ascending.
    std::vector<ULONGLONG> GetChaves() const;
    // The number of members.
    std::size_t GetQtdArquivos() const;
    // Whether the key has a member.
    bool ExisteMembro(ULONGLONG uiChaveNomeArquivo) const;

    // The member file name of a key: the pattern with its run of '?' replaced
    // by the key in decimal, zero-padded to the run's width.
    // E_QVCR_NOME_ARQUIVO_GROUP_INVALIDO for an invalid pattern or a key with
    // more digits than the run holds.
    HRESULT GetNomeArquivoMembro(ULONGLONG uiChaveNomeArquivo, std::string& sNomeMembro) const;

protected:
    // Discovers the members on disk; each is loaded when first reached.
    HRESULT OnInicializa() override;
    // Finalises and destroys every member.
    HRESULT OnFinaliza() override;

    // Applies the family's index definitions to the member of a key.
    virtual HRESULT IncluiIndex(ULONGLONG uiChaveNomeArquivo, IQVFileBase* pQVFileInterface) = 0;
    // Every member was closed or deleted: what a derived kind keeps about
    // them goes too (the caller holds m_lockMapa exclusive).
    virtual void EsqueceMembros() {}
    // ExisteIndex on an existing member (the group's lock is held shared).
    virtual HRESULT ExisteIndexMembro(const IQVFileBase& membro, ULONGLONG uiPosicaoIndex, ULONGLONG& uiPosicao,
                                      UINT uiColunaIndexacao) const = 0;
    virtual HRESULT ExisteIndexMembro(const IQVFileBase& membro, ULONGLONG uiPosicaoIndex,
                                      std::vector<ULONGLONG>& listaPosicao, UINT uiColunaIndexacao) const = 0;

    // The member of a key, loaded, the caller holding m_lockMapa. Absent:
    // with `bErroSeNaoExistir` E_QVDATABASE_MEMBRO_GRUPO_NAO_EXISTE, else
    // S_OK and null. A member whose load fails gives the failure and stays
    // unloaded: the next lookup tries again.
    HRESULT LookupMapFiles(ULONGLONG uiChaveNomeArquivo, IQVFileBase*& pQVFileInterface,
                           bool bErroSeNaoExistir = true) const;
    // Loads every member not loaded yet; the first failure is returned. The
    // caller holds m_lockMapa.
    HRESULT CarregaPendentes() const;
    // Whether the member of a key was found on disk and not loaded yet; the
    // caller holds m_lockMapa.
    bool MembroPendente(ULONGLONG uiChaveNomeArquivo) const;
    // Builds, initialises with the group's context and indexes the member of a
    // new key and adds it to the map; the caller holds m_lockMapa exclusive.
    HRESULT CriaMembro(ULONGLONG uiChaveNomeArquivo, IQVFileBase*& pQVFileInterface);
    // Takes a member out of the map again (its first write failed and left no
    // file); the caller holds m_lockMapa exclusive.
    void DescartaMembro(ULONGLONG uiChaveNomeArquivo);
    // Every member in ascending key order; the caller holds m_lockMapa.
    const std::map<ULONGLONG, std::unique_ptr<IQVFileBase>>& Membros() const { return m_mapFiles; }

    zenta::IQVDataBaseContainer* GetDataBase() const { return m_pDataBase; }

    // Guards the member map (and the index definitions of derived kinds).
    mutable zenta::CQVTravaLeituraEscrita m_lockMapa;

private:
    // Builds a member object for a key and applies the group's switches.
    HRESULT ConstroiMembro(ULONGLONG uiChaveNomeArquivo, std::unique_ptr<IQVFileBase>& membro);
    // Finalises and destroys every member; the first failure is returned.
    HRESULT FinalizaMembros();
    // Loads a member found on disk: initialised with the group's context
    // and given the family's index definitions. The caller holds m_lockMapa
    // and m_travaCarga.
    HRESULT CarregaMembro(ULONGLONG uiChaveNomeArquivo, IQVFileBase& membro) const;

    const std::string m_sNomeArquivo;
    std::atomic<int> m_eModulo;
    zenta::IQVDataBaseContainer* const m_pDataBase;
    std::atomic<bool> m_bControleCriacaoDesabilitado{false};
    std::map<ULONGLONG, std::unique_ptr<IQVFileBase>> m_mapFiles;
    // The keys of members found on disk and not loaded yet, and their
    // number (read without a lock: once every member is loaded a lookup
    // takes no lock of its own). Both are changed, and the set read, under
    // m_lockMapa (shared or exclusive) and m_travaCarga.
    mutable std::set<ULONGLONG> m_pendentes;
    mutable std::atomic<std::size_t> m_qtdPendentes{0};
    // Serialises first loads made under a shared map lock.
    mutable std::mutex m_travaCarga;
};

// Whether a group pattern is usable: one plain file name (no directory part)
// holding exactly one run of '?', which ends the name or stands immediately
// before its extension.
bool PadraoGrupoValido(std::string_view sPadrao);

// The member name of a key for a pattern (see GetNomeArquivoMembro); false for
// an invalid pattern or a key that does not fit the run.
bool NomeMembroGrupo(std::string_view sPadrao, ULONGLONG uiChave, std::string& sNomeMembro);

// Whether a file name is a member of a valid pattern: the pattern's length,
// every character outside the run equal without regard to letter case, and
// only decimal digits in the run; `uiChave` receives them as a number.
bool CasaMembroGrupo(std::string_view sNome, std::string_view sPadrao, ULONGLONG& uiChave);

// The keys of the members of a pattern among the entries of a directory:
// regular files whose names have the pattern's length, match it with each '?'
// standing for one character (letter case ignored) and hold only decimal
// digits in the run. Entries of other kinds and look-alike names are ignored;
// a key found twice (names differing in letter case) appears once.
std::vector<ULONGLONG> ChavesMembrosGrupo(const std::filesystem::path& diretorio, std::string_view sPadrao);

}  // namespace zenta
