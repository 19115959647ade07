// A group of typed record files of type T (CQVFile<T> members), each record
// addressed by (key, position): the key picks the member file, the position
// counts from 1 inside it. The first write under a new key creates the member
// and, with it, its file.
#pragma once

#include <absl/container/flat_hash_map.h>
#include <absl/container/inlined_vector.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/qvdatabase/QVFile.h"
#include "core/qvdatabase/QVGroupFileBase.h"
#include "diagnostics/QVCheck.h"

namespace zenta {

template <class T>
class CQVGroupFile : public CQVGroupFileBase {
    static_assert(std::is_trivially_copyable_v<T>, "records are written to disk byte for byte");

public:
    using GetChaveIndexMethod = typename CQVFile<T>::GetChaveIndexMethod;

    CQVGroupFile(std::string_view sNomeArquivo, zenta::IQVDataBaseContainer* pDataBase)
        : CQVGroupFileBase(sNomeArquivo, pDataBase) {}
    ~CQVGroupFile() override = default;

    using CQVGroupFileBase::ExisteIndex;
    using CQVGroupFileBase::GetQtdRegistros;

    std::string GetNomeTipoRegistro() const override { return std::string(zenta::NomeTipoRegistro<T>()); }

    std::unique_ptr<IQVFileBase> NewFile(std::string_view sNomeArquivo,
                                         zenta::IQVDataBaseContainer* pDataBase) override {
        auto pQVFile = std::make_unique<CQVFile<T>>(sNomeArquivo, pDataBase);
        if (pDataBase != nullptr) pDataBase->RemoveFile(pQVFile.get());
        return pQVFile;
    }

    // ---- Reads (group lock shared, then the member's) -----------------------------

    // Copies the record at a position of the member of a key; `*pReg` is
    // zeroed first. No member: E_QVDATABASE_MEMBRO_GRUPO_NAO_EXISTE.
    HRESULT Le(ULONGLONG uiChaveNomeArquivo, ULONGLONG uiPosicao, T* pReg) const {
        if (pReg == nullptr) return E_POINTER;
        std::memset(static_cast<void*>(pReg), 0, sizeof(T));
        std::shared_lock trava(m_lockMapa);
        IQVFileBase* pQVFileInterface = nullptr;
        QV_CHECK(LookupMapFiles(uiChaveNomeArquivo, pQVFileInterface));
        const CQVFile<T>* pQVFile = dynamic_cast<const CQVFile<T>*>(pQVFileInterface);
        if (pQVFile == nullptr) return E_NOINTERFACE;
        QV_CHECK(pQVFile->Le(uiPosicao, pReg));
        return S_OK;
    }
    HRESULT Le(ULONGLONG uiChaveNomeArquivo, ULONGLONG uiPosicao, T& reg) const {
        return Le(uiChaveNomeArquivo, uiPosicao, &reg);
    }

    // ---- Writes (group lock exclusive, then the member's) -------------------------

    HRESULT Grava(ULONGLONG uiChaveNomeArquivo, ULONGLONG& uiPosicao, const T& reg) {
        return GravaColecao(uiChaveNomeArquivo, uiPosicao, std::span<const T>(&reg, 1));
    }

    // Writes consecutive records into the member of a key from `uiPosicao`
    // on, or appends them when it is 0 (`uiPosicao` then receives the first
    // new position). A key without member gets one, named from the pattern;
    // its file is created by this write. When that first write fails and
    // leaves no file, the new member is dropped again.
    HRESULT GravaColecao(ULONGLONG uiChaveNomeArquivo, ULONGLONG& uiPosicao, std::span<const T> aRegistros) {
        // Nothing to write: no member is created for it.
        if (aRegistros.empty()) return S_OK;
        std::unique_lock trava(m_lockMapa);
        IQVFileBase* pQVFileInterface = nullptr;
        QV_CHECK(LookupMapFiles(uiChaveNomeArquivo, pQVFileInterface, false));
        bool bNovo = false;
        if (pQVFileInterface == nullptr) {
            QV_CHECK(CriaMembro(uiChaveNomeArquivo, pQVFileInterface));
            bNovo = true;
        }
        CQVFile<T>* pQVFile = dynamic_cast<CQVFile<T>*>(pQVFileInterface);
        if (pQVFile == nullptr) {
            if (bNovo) DescartaMembro(uiChaveNomeArquivo);
            return E_NOINTERFACE;
        }
        const HRESULT hr = pQVFile->GravaColecao(uiPosicao, aRegistros);
        // Noted whatever the outcome: a write that failed half-way may have
        // left some records in the member.
        AnotaMembro(uiChaveNomeArquivo, aRegistros);
        if (FAILED(hr)) {
            QV_LOG_HR(hr, "pQVFile->GravaColecao(uiPosicao, aRegistros)");
            if (bNovo && pQVFile->GetQtdRegistros() == 0 && !pQVFile->ExisteArquivo())
                DescartaMembro(uiChaveNomeArquivo);
            return hr;
        }
        return S_OK;
    }
    HRESULT GravaColecao(ULONGLONG uiChaveNomeArquivo, ULONGLONG& uiPosicao, const std::vector<T>& aRegistros) {
        return GravaColecao(uiChaveNomeArquivo, uiPosicao, std::span<const T>(aRegistros));
    }

    // ---- Indexes of the family -------------------------------------------------------

    // Defines an index for every member, present and future, as the next
    // column (`uiColunaIndexacao` may not be below the number of definitions,
    // else E_QVCR_COLUNA_INDEXACAO_INVALIDA). Every present member is indexed
    // at once; a member whose records hold a zero or repeated key fails the
    // call (the first such failure is returned) but keeps the index, as the
    // others do, so every member has the same columns.
    //
    // `bEntreMembros` also keeps, for each key, the members that hold it, so
    // that MembrosComChave finds a key's members without asking each member
    // (a key spread over a few of many members: a maintenance's orders over
    // years of month files). That table is made by the first MembrosComChave
    // after a start-up, from the members' own indexes, and kept by every
    // write after it: a start-up does not pay for it.
    HRESULT IncluiIndex(GetChaveIndexMethod pGetChave, UINT uiColunaIndexacao, bool bPermiteChaveZerada,
                        bool bPermiteChaveRepetida, bool bEntreMembros = false) {
        std::unique_lock trava(m_lockMapa);
        if (!pGetChave || uiColunaIndexacao < m_aIndex.size()) return E_QVCR_COLUNA_INDEXACAO_INVALIDA;
        m_aIndex.push_back(CQVGroupIndexEntry{std::move(pGetChave), bPermiteChaveZerada, bPermiteChaveRepetida,
                                              bEntreMembros, {}});
        const auto coluna = static_cast<UINT>(m_aIndex.size() - 1);
        CQVGroupIndexEntry& entrada = m_aIndex.back();
        HRESULT hrPrimeira = S_OK;
        for (const auto& [chave, pMembro] : Membros()) {
            // A member not loaded yet gets every definition when it loads.
            if (MembroPendente(chave)) continue;
            auto* pQVFile = dynamic_cast<CQVFile<T>*>(pMembro.get());
            if (pQVFile == nullptr) continue;
            const HRESULT hr = pQVFile->IncluiIndex(entrada.m_pGetChaveIndexMethod, coluna, entrada.m_bPermiteChaveZerada,
                                                    entrada.m_bPermiteChaveRepetida);
            if (FAILED(hr)) {
                QV_LOG_HR(hr, "pQVFile->IncluiIndex(...)");
                if (SUCCEEDED(hrPrimeira)) hrPrimeira = hr;
            }
        }
        return hrPrimeira;
    }

    // The members that may hold a key of an index kept across members,
    // ascending: every member holding it, and perhaps one whose record held
    // it before being written over (its own index then finds nothing).
    // E_QVCR_COLUNA_INDEXACAO_INVALIDA for an index not kept so.
    HRESULT MembrosComChave(ULONGLONG uiChaveIndex, UINT uiColunaIndexacao, std::vector<ULONGLONG>& membros) const {
        membros.clear();
        std::shared_lock trava(m_lockMapa);
        if (uiColunaIndexacao >= m_aIndex.size() || !m_aIndex[uiColunaIndexacao].m_bEntreMembros)
            return E_QVCR_COLUNA_INDEXACAO_INVALIDA;
        // The table is made from every member's index: the members not
        // loaded yet load first (a member that cannot be loaded gives its
        // failure now, as a read of it would).
        QV_CHECK(CarregaPendentes());
        // Readers share the group's lock: the table is made, and read, under
        // a lock of its own. Writers hold the group's lock alone.
        std::lock_guard travaTabela(m_travaEntreMembros);
        const CQVGroupIndexEntry& entrada = m_aIndex[uiColunaIndexacao];
        if (!entrada.m_bMontado) {
            for (const auto& membro : Membros()) {
                const ULONGLONG chaveMembro = membro.first;
                if (const auto* pQVFile = dynamic_cast<const CQVFile<T>*>(membro.second.get()))
                    (void)pQVFile->ParaCadaChaveIndex(uiColunaIndexacao, [&](ULONGLONG chaveIndex) {
                        AnotaMembroDaChave(entrada, chaveIndex, chaveMembro);
                    });
            }
            entrada.m_bMontado = true;
        }
        const auto it = entrada.m_membros.find(uiChaveIndex);
        if (it != entrada.m_membros.end()) membros.assign(it->second.begin(), it->second.end());
        return S_OK;
    }

    // The number of index definitions of the family.
    std::size_t GetQtdIndices() const {
        std::shared_lock trava(m_lockMapa);
        return m_aIndex.size();
    }

protected:
    // Applies every definition, in order, to one member; the caller holds
    // the group's lock (and, for a member found on disk, the load's).
    HRESULT IncluiIndex(ULONGLONG uiChaveNomeArquivo, IQVFileBase* pQVFileInterface) override {
        auto* pQVFile = dynamic_cast<CQVFile<T>*>(pQVFileInterface);
        if (pQVFile == nullptr) return E_NOINTERFACE;
        for (std::size_t idx = 0; idx < m_aIndex.size(); ++idx) {
            const auto coluna = static_cast<UINT>(idx);
            QV_CHECK(pQVFile->IncluiIndex(m_aIndex[idx].m_pGetChaveIndexMethod, coluna,
                                          m_aIndex[idx].m_bPermiteChaveZerada, m_aIndex[idx].m_bPermiteChaveRepetida));
            // A member added to a table already made: its keys join it. A
            // member loaded under a shared group lock takes the table's lock.
            CQVGroupIndexEntry& entrada = m_aIndex[idx];
            std::lock_guard travaTabela(m_travaEntreMembros);
            if (entrada.m_bMontado)
                (void)pQVFile->ParaCadaChaveIndex(
                    coluna, [&](ULONGLONG chave) { AnotaMembroDaChave(entrada, chave, uiChaveNomeArquivo); });
        }
        return S_OK;
    }

    void EsqueceMembros() override {
        for (CQVGroupIndexEntry& entrada : m_aIndex) {
            entrada.m_membros = {};
            entrada.m_bMontado = false;
        }
    }

    HRESULT ExisteIndexMembro(const IQVFileBase& membro, ULONGLONG uiPosicaoIndex, ULONGLONG& uiPosicao,
                              UINT uiColunaIndexacao) const override {
        const auto* pQVFile = dynamic_cast<const CQVFile<T>*>(&membro);
        if (pQVFile == nullptr) return E_NOINTERFACE;
        return pQVFile->ExisteIndex(uiPosicaoIndex, uiPosicao, uiColunaIndexacao);
    }

    HRESULT ExisteIndexMembro(const IQVFileBase& membro, ULONGLONG uiPosicaoIndex,
                              std::vector<ULONGLONG>& listaPosicao, UINT uiColunaIndexacao) const override {
        const auto* pQVFile = dynamic_cast<const CQVFile<T>*>(&membro);
        if (pQVFile == nullptr) return E_NOINTERFACE;
        return pQVFile->ExisteIndex(uiPosicaoIndex, listaPosicao, uiColunaIndexacao);
    }

private:
    // The members holding one key, ascending; most keys are in a few.
    using ListaMembros = absl::InlinedVector<ULONGLONG, 2>;

    struct CQVGroupIndexEntry {
        GetChaveIndexMethod m_pGetChaveIndexMethod;
        bool m_bPermiteChaveZerada = false;
        bool m_bPermiteChaveRepetida = false;
        bool m_bEntreMembros = false;
        // Kept across members: key -> the members that hold it, once made.
        mutable absl::flat_hash_map<ULONGLONG, ListaMembros> m_membros;
        mutable bool m_bMontado = false;
    };

    static void AnotaMembroDaChave(const CQVGroupIndexEntry& entrada, ULONGLONG uiChaveIndex, ULONGLONG uiChaveMembro) {
        ListaMembros& membros = entrada.m_membros[uiChaveIndex];
        const auto pos = std::lower_bound(membros.begin(), membros.end(), uiChaveMembro);
        if (pos == membros.end() || *pos != uiChaveMembro) membros.insert(pos, uiChaveMembro);
    }

    // The keys of records written to a member, noted for every index kept
    // across members; the caller holds the group's lock exclusive.
    void AnotaMembro(ULONGLONG uiChaveMembro, std::span<const T> aRegistros) {
        for (std::size_t idx = 0; idx < m_aIndex.size(); ++idx) {
            CQVGroupIndexEntry& entrada = m_aIndex[idx];
            if (!entrada.m_bMontado) continue;
            for (const T& reg : aRegistros)
                AnotaMembroDaChave(entrada, entrada.m_pGetChaveIndexMethod(reg, static_cast<UINT>(idx)), uiChaveMembro);
        }
    }

    // The index definitions of the family, guarded by the group's lock.
    std::vector<CQVGroupIndexEntry> m_aIndex;
    // Makes and reads the tables of indexes kept across members while the
    // group's lock is held shared; taken after the group's, before a member's.
    mutable std::mutex m_travaEntreMembros;
};

}  // namespace zenta
