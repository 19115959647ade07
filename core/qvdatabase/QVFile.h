// A file of fixed-size records of type T, held whole in memory and written
// through on every change, with in-memory indexes from a 64-bit key of a
// record to the positions (from 1, ascending) of the records that have it.
// Each index is one open-addressing table (keys and their first position
// side by side in one array): a lookup touches one or two cache lines, and
// a key held by a single record needs no allocation of its own.
#pragma once

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <absl/container/inlined_vector.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <mutex>
#include <new>
#include <shared_mutex>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/qvdatabase/QVDataBaseUtil.h"
#include "core/qvdatabase/QVFileBase.h"
#include "core/qvdatabase/QVMemoriaRegistros.h"
#include "diagnostics/QVCheck.h"
#include "values/QVCrc64.h"

namespace zenta {

// The key of a text for the text forms of ExisteIndex: CRC-64 of its
// characters, no terminator. A get-key method that indexes a text field
// computes its key the same way.
inline ULONGLONG QVChaveIndexTexto(std::string_view sTexto) { return zenta::QVCrc64(sTexto.data(), sTexto.size()); }

template <class T>
class CQVFile : public CQVFileBase {
    static_assert(std::is_trivially_copyable_v<T>, "records are written to disk byte for byte");

public:
    // The get-key method: the record and the index column give the record's key.
    using GetChaveIndexMethod = std::function<ULONGLONG(const T& reg, UINT uiColunaIndexacao)>;

    CQVFile(std::string_view sNomeArquivo, zenta::IQVDataBaseContainer* pDataBase) : CQVFileBase(sNomeArquivo, pDataBase) {}
    ~CQVFile() override = default;

    // ---- Reads (shared lock) -------------------------------------------------------

    ULONGLONG GetQtdRegistros() const override {
        std::shared_lock trava(m_lock);
        return m_aRegistros.size();
    }

    const void* GetArrayData() const override {
        std::shared_lock trava(m_lock);
        return m_aRegistros.empty() ? nullptr : m_aRegistros.data();
    }

    std::string GetNomeTipoRegistro() const override { return std::string(zenta::NomeTipoRegistro<T>()); }

    const void* GetRegData(ULONGLONG uiPosicao) const override {
        std::shared_lock trava(m_lock);
        if (m_aRegistros.empty()) return nullptr;
        if (uiPosicao == QVDATABASE_POSICAO_NOVO_REGISTRO) return m_aRegistros.data();
        if (uiPosicao > m_aRegistros.size()) return nullptr;
        return &m_aRegistros[uiPosicao - 1];
    }

    // Copies the record at a position; a refusal leaves `*pReg` zeroed.
    HRESULT Le(ULONGLONG uiPosicao, T* pReg) const {
        if (pReg == nullptr) return E_POINTER;
        std::shared_lock trava(m_lock);
        if (uiPosicao != 0 && uiPosicao <= m_aRegistros.size() && EstaAberto()) {
            std::memcpy(static_cast<void*>(pReg), &m_aRegistros[uiPosicao - 1], sizeof(T));
            return S_OK;
        }
        std::memset(static_cast<void*>(pReg), 0, sizeof(T));
        if (uiPosicao == 0) return E_QVCR_TENTATIVA_LER_POSICAO_ZERO;
        if (!EstaAberto()) return E_QVCR_ARQUIVO_NAO_EXISTE;
        GravaLogErroMotor(QV_FUNCAO, QV_ARQUIVO, __LINE__, E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO,
                          uiPosicao, sizeof(T), m_aRegistros.size());
        return E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO;
    }
    HRESULT Le(ULONGLONG uiPosicao, T& reg) const { return Le(uiPosicao, &reg); }

    // The address of the record array, for a compaction container only.
    zenta::CQVRegistros<T>* GetPtrRegistros() {
        return m_pDataBase != nullptr && m_pDataBase->GetEhContainerShrink() ? &m_aRegistros : nullptr;
    }

    // ---- Writes (exclusive lock) ----------------------------------------------------

    HRESULT Grava(ULONGLONG& uiPosicao, const T& reg) { return GravaColecao(uiPosicao, std::span<const T>(&reg, 1)); }

    // Writes consecutive records from `uiPosicao` on, or appends them when it
    // is 0 (`uiPosicao` then receives the first new position).
    HRESULT GravaColecao(ULONGLONG& uiPosicao, std::span<const T> aRegistros) {
        if (aRegistros.empty()) return S_OK;
        std::unique_lock trava(m_lock);
        if (uiPosicao > m_aRegistros.size()) {
            GravaLogErroMotor(QV_FUNCAO, QV_ARQUIVO, __LINE__, E_QVCR_POSICAO_GRAVACAO_SUPERIOR_QUANTIDADE_ARQUIVO,
                              uiPosicao, sizeof(T), m_aRegistros.size());
            return E_QVCR_POSICAO_GRAVACAO_SUPERIOR_QUANTIDADE_ARQUIVO;
        }
        if (!PrecisaGravar(uiPosicao, aRegistros)) return S_OK;
        QV_CHECK(ConfereGravacaoPermitida());
        QV_CHECK(AbreArquivo(eModoLeituraGravacaoCriacao));

        const zenta::PoliticaTentativas politica = zenta::TentativasArquivo();
        const unsigned tentativas = politica.tentativasGravacao == 0 ? 1 : politica.tentativasGravacao;
        HRESULT hr = S_OK;
        for (unsigned i = 0; i < tentativas; ++i) {
            if (i > 0) zenta::ArquivoSO()->Pausa(politica.pausa);
            bool bAlterou = false;
            hr = GravaRegistrosInterno(uiPosicao, aRegistros, bAlterou);
            // Once the records reached the disk and memory, trying again
            // would write them twice: the failure is returned as it is. A
            // failed attempt that could not be undone ends the retries too.
            if (SUCCEEDED(hr) || bAlterou || EhUmaExcecaoFatal(hr) || GravacaoRecusada()) break;
        }
        return hr;
    }
    HRESULT GravaColecao(ULONGLONG& uiPosicao, const std::vector<T>& aRegistros) {
        return GravaColecao(uiPosicao, std::span<const T>(aRegistros));
    }

    // True for an append, a write past the last record, or any differing byte.
    bool PrecisaGravar(ULONGLONG uiPosicao, std::span<const T> aRegistros) const {
        if (uiPosicao == QVDATABASE_POSICAO_NOVO_REGISTRO) return true;
        if (uiPosicao - 1 + aRegistros.size() > m_aRegistros.size()) return true;
        return std::memcmp(&m_aRegistros[uiPosicao - 1], aRegistros.data(), aRegistros.size_bytes()) != 0;
    }

    // The write itself, without lock, retry or comparison.
    HRESULT GravaRegistros(ULONGLONG& uiPosicao, std::span<const T> aRegistros) {
        bool bAlterou = false;
        return GravaRegistrosInterno(uiPosicao, aRegistros, bAlterou);
    }

    HRESULT SetRegData(ULONGLONG& uiPosicao, const void* pData) override {
        if (pData == nullptr) return E_POINTER;
        T reg;
        std::memcpy(static_cast<void*>(&reg), pData, sizeof(T));
        return Grava(uiPosicao, reg);
    }

    HRESULT SetArrayData(const void* pData, std::size_t tamanho) override {
        if (pData == nullptr && tamanho != 0) return E_POINTER;
        std::vector<T> aNovo(tamanho / sizeof(T));
        if (!aNovo.empty()) std::memcpy(static_cast<void*>(aNovo.data()), pData, aNovo.size() * sizeof(T));
        return SetConteudo(aNovo);
    }

    // Replaces the whole file. An empty collection deletes the file; any
    // other is written whole, behind a new header, to the file's "cab" copy
    // and renamed over the file, so that the file is at every moment either
    // the old content or the new. The object is then loaded again from disk;
    // index definitions do not survive and must be registered again.
    HRESULT SetConteudo(const std::vector<T>& aNovoConteudo) {
        std::unique_lock trava(m_lock);
        if (aNovoConteudo.size() == m_aRegistros.size() &&
            (aNovoConteudo.empty() ||
             std::memcmp(aNovoConteudo.data(), m_aRegistros.data(), aNovoConteudo.size() * sizeof(T)) == 0))
            return S_OK;
        CQVInicializador contexto;
        QV_CHECK(contexto.Inicializa(GetEmpresa(), GetUsuario(), CQVInicializador::GetNumeroSessao()));
        if (aNovoConteudo.empty()) {
            // Closed (unlocked) for the deletion; the creation control still
            // holds its context until the object is finalised.
            FechaArquivo();
            const HRESULT hr = CQVDataBaseUtil::DeletaArquivo(&contexto, m_eModulo, m_sNomeArquivo,
                                                              eRemoverDoControleCriacaoArquivosInMemory,
                                                              m_ControleCriacaoArquivos.get());
            Finaliza();
            QV_CHECK(Inicializa(contexto));
            QV_CHECK(hr);
            return S_OK;
        }
        // The replacement leaves the file closed, so finalising does not
        // touch it; a failed replacement leaves the old file, loaded again.
        const HRESULT hr = SubstituiDadosArquivo(aNovoConteudo.data(), aNovoConteudo.size() * sizeof(T));
        Finaliza();
        QV_CHECK(Inicializa(contexto));
        QV_CHECK(hr);
        return S_OK;
    }

    // ---- Indexes ----------------------------------------------------------------------

    // Adds an index as the next column (`uiColunaIndexacao` may not be below
    // the number of indexes) and fills it from the records. A zero or
    // repeated key found there fails the call; the index stays, holding
    // every record's key.
    HRESULT IncluiIndex(GetChaveIndexMethod pGetChave, UINT uiColunaIndexacao, bool bPermiteChaveZerada,
                        bool bPermiteChaveRepetida) {
        std::unique_lock trava(m_lock);
        if (!pGetChave || uiColunaIndexacao < m_aIndex.size()) return E_QVCR_COLUNA_INDEXACAO_INVALIDA;
        CQVIndexEntry entrada;
        entrada.m_pGetChaveIndexMethod = std::move(pGetChave);
        entrada.m_bPermiteChaveZerada = bPermiteChaveZerada;
        entrada.m_bPermiteChaveRepetida = bPermiteChaveRepetida;
        m_aIndex.push_back(std::move(entrada));
        return PreencheIndex(m_aIndex.back(), static_cast<UINT>(m_aIndex.size() - 1));
    }

    // The positions of a key, ascending; an absent key gives an empty list.
    HRESULT ExisteIndex(ULONGLONG uiPosicaoIndex, std::vector<ULONGLONG>& listaPosicao, UINT uiColunaIndexacao) const {
        std::shared_lock trava(m_lock);
        listaPosicao.clear();
        if (uiColunaIndexacao >= m_aIndex.size()) return E_QVCR_COLUNA_INDEXACAO_INVALIDA;
        const auto& mapa = m_aIndex[uiColunaIndexacao].m_mapa;
        const auto it = mapa.find(uiPosicaoIndex);
        if (it == mapa.end()) return S_OK;
        if (it->second.empty()) return E_QVCR_COLUNA_INDEXACAO_INVALIDA;
        listaPosicao.assign(it->second.begin(), it->second.end());
        return S_OK;
    }

    // The lowest position of a key; `uiPosicao` is left as it was when the key is absent.
    HRESULT ExisteIndex(ULONGLONG uiPosicaoIndex, ULONGLONG& uiPosicao, UINT uiColunaIndexacao) const {
        std::shared_lock trava(m_lock);
        if (uiColunaIndexacao >= m_aIndex.size()) return E_QVCR_COLUNA_INDEXACAO_INVALIDA;
        const auto& mapa = m_aIndex[uiColunaIndexacao].m_mapa;
        const auto it = mapa.find(uiPosicaoIndex);
        if (it == mapa.end()) return S_OK;
        if (it->second.empty()) return E_QVCR_COLUNA_INDEXACAO_INVALIDA;
        uiPosicao = it->second.front();
        return S_OK;
    }

    HRESULT ExisteIndex(std::string_view sTexto, ULONGLONG& uiPosicao, UINT uiColunaIndexacao) const {
        return ExisteIndex(QVChaveIndexTexto(sTexto), uiPosicao, uiColunaIndexacao);
    }
    HRESULT ExisteIndex(std::string_view sTexto, std::vector<ULONGLONG>& listaPosicao, UINT uiColunaIndexacao) const {
        return ExisteIndex(QVChaveIndexTexto(sTexto), listaPosicao, uiColunaIndexacao);
    }

    std::size_t GetQtdIndices() const {
        std::shared_lock trava(m_lock);
        return m_aIndex.size();
    }

    // Calls `fn(key)` once for every key an index holds, in no order.
    template <class Fn>
    HRESULT ParaCadaChaveIndex(UINT uiColunaIndexacao, Fn&& fn) const {
        std::shared_lock trava(m_lock);
        if (uiColunaIndexacao >= m_aIndex.size()) return E_QVCR_COLUNA_INDEXACAO_INVALIDA;
        for (const auto& [chave, posicoes] : m_aIndex[uiColunaIndexacao].m_mapa) fn(chave);
        return S_OK;
    }

protected:
    HRESULT OnInicializa() override {
        m_aRegistros.clear();
        QV_CHECK(CQVFileBase::OnInicializa());
        QV_CHECK(AbreArquivo(eModoLeituraGravacao));
        if (!EstaAberto()) return S_OK;
        uint64_t tamanho = 0;
        if (const zenta::ResultadoArquivo r = TamanhoArquivo(tamanho); !r.Ok()) {
            const HRESULT hr = CatchInicializacao(r);
            FechaArquivo();
            return hr;
        }
        const ULONGLONG seek = GetSeekCabecalho();
        if (tamanho < seek) {
            FechaArquivo();
            QV_CHECK(E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
        }
        const uint64_t dados = tamanho - seek;
        if (dados % sizeof(T) != 0) {
            FechaArquivo();
            QV_CHECK(E_QVCR_ARQUIVO_NAO_EH_MOD_ESTRUTURA);
        }
        try {
            // Room for half as many again: the first appends after a load
            // do not move every record (untouched room costs no memory).
            // The new records are not zeroed: the read below fills them.
            const auto quantidade = static_cast<std::size_t>(dados / sizeof(T));
            m_aRegistros.reserve(quantidade + quantidade / 2);
            m_aRegistros.resize(quantidade);
        } catch (const std::bad_alloc&) {
            // A file too large for memory is refused, and not left locked.
            m_aRegistros.clear();
            FechaArquivo();
            QV_CHECK(E_OUTOFMEMORY);
        }
        if (!m_aRegistros.empty()) {
            const zenta::ResultadoArquivo r = LeDados(seek, m_aRegistros.data(), m_aRegistros.size() * sizeof(T));
            if (!r.Ok()) {
                m_aRegistros.clear();
                const HRESULT hr = CatchInicializacao(r);
                FechaArquivo();
                return hr;
            }
        }
        return S_OK;
    }

    // An append cut short before its header update leaves whole records.
    bool AcrescimoInteiro(uint64_t, uint64_t tamanho) override { return tamanho % sizeof(T) == 0; }

    HRESULT OnFinaliza() override {
        m_aRegistros.clear();
        m_aRegistros.shrink_to_fit();
        m_aIndex.clear();
        return CQVFileBase::OnFinaliza();
    }

private:
    // The positions of one key, ascending; most keys have one, held in place.
    using ListaPosicoes = absl::InlinedVector<ULONGLONG, 1>;

    struct CQVIndexEntry {
        absl::flat_hash_map<ULONGLONG, ListaPosicoes> m_mapa;
        GetChaveIndexMethod m_pGetChaveIndexMethod;
        bool m_bPermiteChaveZerada = false;
        bool m_bPermiteChaveRepetida = false;
    };

    // The keys of the new records of one write, computed once by ValidaIndex
    // and used again by AtualizaIndex (one record's keys need no allocation).
    using ChavesNovas = absl::InlinedVector<ULONGLONG, 1>;

    // Fills a new index from every record in one pass, the table sized for
    // them first. A zero or repeated key the index does not allow gives the
    // first such record's refusal; every record's key is held all the same.
    HRESULT PreencheIndex(CQVIndexEntry& indice, UINT coluna) {
        indice.m_mapa.reserve(m_aRegistros.size());
        HRESULT hr = S_OK;
        for (std::size_t i = 0; i < m_aRegistros.size(); ++i) {
            const ULONGLONG chave = indice.m_pGetChaveIndexMethod(m_aRegistros[i], coluna);
            if (chave == 0 && !indice.m_bPermiteChaveZerada && SUCCEEDED(hr)) hr = E_QVCR_INDEXACAO_COM_POSICAO_ZERO;
            auto [it, nova] = indice.m_mapa.try_emplace(chave);
            if (!nova && !indice.m_bPermiteChaveRepetida && SUCCEEDED(hr)) hr = E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA;
            it->second.push_back(i + 1);
        }
        return hr;
    }

    // Checks the new records' keys against one index.
    HRESULT ValidaIndex(std::size_t coluna, ULONGLONG uiPosicao, std::span<const T> aRegistros,
                        ChavesNovas& chaves) const {
        const CQVIndexEntry& indice = m_aIndex[coluna];
        chaves.clear();
        chaves.reserve(aRegistros.size());
        // Keys given to earlier records of this same write: a no-repeat index
        // refuses them too, or it would end up holding a repeat.
        absl::flat_hash_set<ULONGLONG> daColecao;
        for (std::size_t i = 0; i < aRegistros.size(); ++i) {
            const ULONGLONG chave = indice.m_pGetChaveIndexMethod(aRegistros[i], static_cast<UINT>(coluna));
            chaves.push_back(chave);
            if (chave == 0 && !indice.m_bPermiteChaveZerada) return E_QVCR_INDEXACAO_COM_POSICAO_ZERO;
            if (indice.m_bPermiteChaveRepetida) continue;
            const auto it = indice.m_mapa.find(chave);
            if (it != indice.m_mapa.end() && !it->second.empty()) {
                const bool propria = uiPosicao != QVDATABASE_POSICAO_NOVO_REGISTRO && it->second.front() == uiPosicao + i;
                if (!propria) return E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA;
            }
            if (aRegistros.size() > 1 && !daColecao.insert(chave).second) return E_QVCR_CHAVE_DE_INDEXACAO_REPETIDA;
        }
        return S_OK;
    }

    // Adds the positions of the new records (from `uiPrimeira` on) to one index.
    void AtualizaIndex(std::size_t coluna, ULONGLONG uiPrimeira, const ChavesNovas& chaves) {
        CQVIndexEntry& indice = m_aIndex[coluna];
        if (indice.m_mapa.empty()) indice.m_mapa.reserve(chaves.size());
        // Each position goes straight to its place in its key's ascending
        // list: an append lands at the end, a rewritten record back where it
        // was. Sorting the whole list again would cost, on every write, as
        // much as the key has records (and a key may hold a whole month).
        for (std::size_t i = 0; i < chaves.size(); ++i) {
            ListaPosicoes& lista = indice.m_mapa[chaves[i]];
            const ULONGLONG posicao = uiPrimeira + i;
            if (lista.empty() || lista.back() < posicao) lista.push_back(posicao);
            else lista.insert(std::lower_bound(lista.begin(), lista.end(), posicao), posicao);
        }
    }

    // Takes the positions `uiPosicao` .. `uiPosicao` + `uiQuantidade` - 1
    // (those that exist) out of every index, by the keys of the records now there.
    void RemoveIndex(ULONGLONG uiPosicao, ULONGLONG uiQuantidade) {
        if (uiQuantidade == 0 || m_aIndex.empty() || uiPosicao == 0) return;
        const ULONGLONG ultima = std::min<ULONGLONG>(uiPosicao + uiQuantidade - 1, m_aRegistros.size());
        for (std::size_t coluna = 0; coluna < m_aIndex.size(); ++coluna) {
            CQVIndexEntry& indice = m_aIndex[coluna];
            for (ULONGLONG p = uiPosicao; p <= ultima; ++p) {
                const ULONGLONG chave = indice.m_pGetChaveIndexMethod(m_aRegistros[p - 1], static_cast<UINT>(coluna));
                auto it = indice.m_mapa.find(chave);
                if (it == indice.m_mapa.end()) continue;
                auto& lista = it->second;
                // The list is ascending: the position is found by halving.
                const auto itPosicao = std::lower_bound(lista.begin(), lista.end(), p);
                if (itPosicao != lista.end() && *itPosicao == p) lista.erase(itPosicao);
                if (lista.empty()) indice.m_mapa.erase(it);
            }
        }
    }

    // The write: indexes checked first, then the disk, memory and indexes;
    // `bAlterou` tells whether the records reached the disk and memory. A
    // disk write that fails is undone before returning (DesfazGravacao), so
    // that the file holds exactly the records in memory again.
    HRESULT GravaRegistrosInterno(ULONGLONG& uiPosicao, std::span<const T> aRegistros, bool& bAlterou) {
        bAlterou = false;
        if (aRegistros.empty()) return S_OK;
        QV_CHECK(ConfereGravacaoPermitida());
        if (uiPosicao > m_aRegistros.size()) return E_QVCR_POSICAO_GRAVACAO_SUPERIOR_QUANTIDADE_ARQUIVO;
        absl::InlinedVector<ChavesNovas, 4> chaves(m_aIndex.size());
        for (std::size_t coluna = 0; coluna < m_aIndex.size(); ++coluna) {
            const HRESULT hr = ValidaIndex(coluna, uiPosicao, aRegistros, chaves[coluna]);
            if (FAILED(hr)) return hr;
        }
        // Room for the new records is made before the disk is written, so
        // that memory can always follow the disk. A file that grows gets room
        // for half as many again, as a load gives it: after a write of many
        // records at once (a new month's file) the next append must not move
        // them all.
        const std::size_t fimEscrita =
            static_cast<std::size_t>(uiPosicao == QVDATABASE_POSICAO_NOVO_REGISTRO ? m_aRegistros.size() : uiPosicao - 1) +
            aRegistros.size();
        if (fimEscrita > m_aRegistros.capacity()) {
            try {
                m_aRegistros.reserve(fimEscrita + fimEscrita / 2);
            } catch (const std::bad_alloc&) {
                return E_OUTOFMEMORY;
            }
        }
        // Appends go after the records held in memory, which are exactly the
        // file's: a failed write is undone before anything else happens.
        const ULONGLONG seek = GetSeekCabecalho();
        const ULONGLONG primeira =
            uiPosicao == QVDATABASE_POSICAO_NOVO_REGISTRO ? m_aRegistros.size() + 1 : uiPosicao;
        const zenta::ResultadoArquivo r =
            GravaDados(seek + (primeira - 1) * sizeof(T), aRegistros.data(), aRegistros.size_bytes());
        if (!r.Ok()) {
            const HRESULT hr = CatchGravacao(r);
            // What landed is cut off past the records held in memory; the
            // records of a rewrite that it may have overwritten are written
            // back from memory.
            const std::size_t quantidade = m_aRegistros.size();
            const std::size_t indice = static_cast<std::size_t>(primeira - 1);
            const std::size_t sobrepostos = indice < quantidade ? std::min(aRegistros.size(), quantidade - indice) : 0;
            QV_CHECK(DesfazGravacao(seek + quantidade * sizeof(T), [&]() -> zenta::ResultadoArquivo {
                if (sobrepostos == 0) return zenta::ResultadoArquivo::Sucesso();
                return GravaDados(seek + indice * sizeof(T), &m_aRegistros[indice], sobrepostos * sizeof(T));
            }));
            return hr;
        }
        bAlterou = true;

        if (uiPosicao != QVDATABASE_POSICAO_NOVO_REGISTRO) {
            RemoveIndex(uiPosicao, aRegistros.size());
            const std::size_t fim = static_cast<std::size_t>(uiPosicao - 1) + aRegistros.size();
            if (fim > m_aRegistros.size()) m_aRegistros.resize(fim);
            std::memcpy(static_cast<void*>(&m_aRegistros[uiPosicao - 1]), aRegistros.data(), aRegistros.size_bytes());
        } else {
            uiPosicao = primeira;
            m_aRegistros.insert(m_aRegistros.end(), aRegistros.begin(), aRegistros.end());
        }
        for (std::size_t coluna = 0; coluna < m_aIndex.size(); ++coluna) AtualizaIndex(coluna, uiPosicao, chaves[coluna]);
        QV_CHECK(AtualizaArquivo());
        return S_OK;
    }

    zenta::CQVRegistros<T> m_aRegistros;
    std::vector<CQVIndexEntry> m_aIndex;
};

}  // namespace zenta
