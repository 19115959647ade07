// The database container of a module: it owns the registry of its files,
// initialises and finalises them as one database, carries the switches its
// files consult, and compacts parent/child files at start-up (ShrinkFile,
// ShrinkSingleText, ShrinkSingleFile).
//
// Compaction writes the compacted child file and the parents to twins with
// the extension "srk" (child twin first, each brought to disk), then renames
// the parents' twin over the parent file and the child's twin over the child
// file, holding both files' writer locks throughout. A compaction cut short
// at any point is resolved by the next one from what is on disk:
//   - a child twin beside a parent twin: the renames never began (the parent
//     twin is renamed first); both twins are dropped;
//   - a child twin alone, when the parents' child runs form exactly the
//     compacted layout of the twin (runs back to back from position 1 in
//     parent order, as many records as the twin, each run found record for
//     record in the old child file): the parents were renamed; the child
//     twin is renamed too, finishing the compaction;
//   - a child twin alone otherwise, when every run lies inside the old child
//     file: the parents still point into the old child file, so the renames
//     never began; the twin is dropped;
//   - anything else: E_QVCR_ARQUIVO_SRK_ENCONTRADO, files untouched.
// A parent twin without a child twin belongs to no compaction this one can
// finish (another pair with the same parent may): this compaction is skipped.
// What was done is written to the error log. The proofs rest on the
// compactions running in the same order at every start-up, a chain's upper
// pair before its lower, as the module's database does.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include <zenta/WinTypes.h>

#include "core/qvdatabase/QVContextoMotor.h"
#include "core/qvdatabase/QVDataBaseContainer.h"
#include "core/qvdatabase/QVDataBaseDefs.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "core/qvdatabase/QVFile.h"
#include "core/qvdatabase/QVTextFile.h"
#include "diagnostics/QVCheck.h"

namespace zenta {

// An unsigned 32-bit field of a record type, given by its byte offset
// (offsetof); checked at compile time to lie inside the record.
template <class T>
struct CampoU32 {
    std::size_t offset;
    // Not explicit: call sites pass offsetof(...) directly.
    consteval CampoU32(std::size_t o) : offset(o) {
        if (o + sizeof(ULONG) > sizeof(T)) throw "the field does not fit the record";
    }
};

template <class T>
ULONG LeCampoU32(const T& reg, CampoU32<T> campo) {
    ULONG v = 0;
    std::memcpy(&v, reinterpret_cast<const unsigned char*>(&reg) + campo.offset, sizeof v);
    return v;
}

template <class T>
void GravaCampoU32(T& reg, CampoU32<T> campo, ULONG v) {
    std::memcpy(reinterpret_cast<unsigned char*>(&reg) + campo.offset, &v, sizeof v);
}

// The run of children of one parent: first position (from 1) and count; 0 and
// 0 for a parent without children. For a text pointer, the count is 1.
struct CorridaFilhos {
    ULONGLONG uiPrimeiro = 0;
    ULONGLONG uiQtd = 0;
};

// Checks the parents' runs against a child file of `uiQtdFilhos` records:
// first and count both zero or both non-zero (E_QVCR_INCONSISTENCIA_CHAVE_QUANTIDADE),
// every run inside the file and the sum of the counts not above the number of
// children (E_QVCR_INCONSISTENCIA_RELACIONAMENTO_ARQUIVO_PAI_FILHO).
// `uiSoma` receives the sum.
HRESULT ValidaCorridasFilhos(const std::vector<CorridaFilhos>& aCorridas, ULONGLONG uiQtdFilhos, ULONGLONG& uiSoma);

// Whether the runs, in parent order, lie back to back from position 1 and
// cover exactly `uiQtdGemeo` records.
bool FormamLayoutCompactado(const std::vector<CorridaFilhos>& aCorridas, ULONGLONG uiQtdGemeo);

// Whether every run is well formed and lies inside a file of `uiQtd` records.
bool CorridasDentro(const std::vector<CorridaFilhos>& aCorridas, ULONGLONG uiQtd);

// Whether each run of the twin (records of `tamanho` bytes) appears, record for
// record, somewhere in the original file.
bool CorridasPresentesNoOriginal(const std::vector<CorridaFilhos>& aCorridas, const void* pGemeo, ULONGLONG uiQtdGemeo,
                                 const void* pOriginal, ULONGLONG uiQtdOriginal, std::size_t tamanho);

// The parents' pointers into a child file (texts or records), compacted: the
// children referred to keep their order; `aNovaPosicao[p]` is the new
// position of old child p (0 for one no parent refers to). Pointers above
// `uiQtdFilhos` fail with
// E_QVCR_INCONSISTENCIA_RELACIONAMENTO_ARQUIVO_PAI_FILHO.
HRESULT CompactaPonteiros(const std::vector<ULONG>& aPonteiros, ULONGLONG uiQtdFilhos,
                               std::vector<ULONGLONG>& aNovaPosicao, ULONGLONG& uiQtdMantidos);

// Whether the parents' text pointers form exactly the compacted layout of a
// twin of `uiQtdGemeo` texts (every position 1..n referred to, nothing beyond).
bool PonteirosFormamLayoutCompactado(const std::vector<ULONG>& aPonteiros, ULONGLONG uiQtdGemeo);

// Whether the twin's texts appear, in order, among the original's.
bool TextosSubsequenciaDoOriginal(const CQVTextosArquivo& aGemeo, const CQVTextosArquivo& aOriginal);

// Compaction switched off for this program (registry).
bool ShrinkDesabilitado();

// What the files on disk prove about a child twin left alone (see above).
enum class EDecisaoGemeoShrink { concluir, descartar, indeterminado };

class CQVDataBase : public CQVContextoMotor, public zenta::IQVDataBaseContainer {
public:
    explicit CQVDataBase(int eModulo);
    ~CQVDataBase() override;
    CQVDataBase(const CQVDataBase&) = delete;
    CQVDataBase& operator=(const CQVDataBase&) = delete;

    // ---- Module and switches --------------------------------------------------------------
    int GetModulo() const override;
    // Changes the module of the container and of every registered file.
    void SetModulo(int eModulo);
    bool GetLeituraSemBloqueio() const override { return m_bLeituraSemBloqueio; }
    bool GetSemCabecalho() const override { return m_bSemCabecalho; }
    bool GetEhContainerShrink() const override { return m_bShrink; }
    bool GetDesabilitaControleCriacaoArquivos() const { return m_bDesabilitaControle; }
    // Files open in eModoLeituraSemBloqueio whatever they ask; compaction is skipped.
    void SetLeituraSemBloqueio(bool b) { m_bLeituraSemBloqueio = b; }
    // Header management off for every file.
    void SetSemCabecalho(bool b) { m_bSemCabecalho = b; }
    // Files hand out their record arrays (GetPtrRegistros).
    void SetEhContainerShrink(bool b) { m_bShrink = b; }
    // Every file added afterwards gets DesabilitaControleCriacaoArquivos().
    void SetDesabilitaControleCriacaoArquivos(bool b) { m_bDesabilitaControle = b; }
    // Work containers of the creation control itself build their files
    // without a control (they must not change the list they read or write).
    void SetControleCriacaoArquivosAtivo(bool b) { m_bControleAtivo = b; }

    // ---- Registry -----------------------------------------------------------------------
    void AddFile(IQVFileBase* pFile) override;
    void RemoveFile(IQVFileBase* pFile) override;
    // The registered files in name order.
    std::vector<IQVFileBase*> GetFiles() const;
    std::unique_ptr<zenta::IQVControleCriacaoArquivos> CriaControleCriacaoArquivos(int eModulo,
                                                                                  std::string_view sNomeArquivo) override;

    // ---- Change log --------------------------------------------------------------------
    // The change log deletions write to; the no-op log until one is set. The
    // log must outlive the container.
    zenta::IQVLogAlteracoesArquivos& GetLogAlteracoesArquivos() override;
    void SetLogAlteracoesArquivos(zenta::IQVLogAlteracoesArquivos* pLog);

    // Closes every file (and group member) without bringing its header up to
    // date: what memory holds is not trusted and is not written; finalising
    // afterwards writes nothing.
    virtual void FechaArquivosSemAtualizar();

    // Initialises a file or container with this container's context.
    HRESULT InicializaComContexto(CQVInicializador& alvo) const;

    // ---- Compaction -----------------------------------------------------------------------
    // Compacts a child file to exactly the runs its parents refer to, and
    // points the parents at the new positions.
    template <class TPai, class TFilho>
    HRESULT ShrinkFile(CQVFile<TPai>& qvFilePaiSrc, CQVFile<TFilho>& qvFileFilhoSrc,
                       std::type_identity_t<zenta::CampoU32<TPai>> campoPrimeiro,
                       std::type_identity_t<zenta::CampoU32<TPai>> campoQtd);

    // Compacts a text file to exactly the texts its parents refer to (a text
    // referred to by several parents is kept once; texts keep their order).
    template <class TPai>
    HRESULT ShrinkSingleText(CQVFile<TPai>& qvFilePaiSrc, CQVTextFile& qvTextFileSrc,
                             std::type_identity_t<zenta::CampoU32<TPai>> campoTexto) {
        return ShrinkPonteiro(qvFilePaiSrc, qvTextFileSrc, campoTexto, true);
    }
    // The same for a child file of records each parent points at by one
    // position (0: none): a record pointed at by several parents is kept
    // once; records keep their order. A parent pointing past the child file
    // leaves both files as they are (written to the error log): these files
    // were once not compacted, and a company that started then still starts.
    template <class TPai, class TFilho>
    HRESULT ShrinkSingleFile(CQVFile<TPai>& qvFilePaiSrc, CQVFile<TFilho>& qvFileFilhoSrc,
                             std::type_identity_t<zenta::CampoU32<TPai>> campoPonteiro) {
        return ShrinkPonteiro(qvFilePaiSrc, qvFileFilhoSrc, campoPonteiro, false);
    }

protected:
    // Initialises the base, then every registered file in name order with
    // this container's context; the first failure ends it.
    HRESULT OnInicializa() override;
    // Finalises every registered file in name order, then the base.
    HRESULT OnFinaliza() override;

    // What to do about the twins of a compaction before it runs.
    enum class EAcaoGemeos { prossegue, pula };
    // Resolves twins left by a compaction cut short (see the file comment).
    // `fnDecide` loads what it needs and says whether the child twin is to be
    // finished (renamed), dropped, or cannot be proved.
    using FnDecideGemeo = HRESULT (*)(CQVDataBase&, const std::string&, const std::string&, const void*,
                                      zenta::EDecisaoGemeoShrink&);
    HRESULT ResolveGemeosShrink(const std::string& sPai, const std::string& sFilho, FnDecideGemeo fnDecide,
                                const void* pCampos, EAcaoGemeos& eAcao);
    // Renames the parent twin, then the child twin, over their files.
    HRESULT RenomeiaGemeosShrink(const std::string& sPai, const std::string& sFilho, bool bTravados);
    // Writes a line about a compaction to the error log.
    void RegistraShrink(std::string_view funcao, unsigned linha, const std::string& texto) const;
    // A work container of the same module for compaction.
    void PreparaContainerShrink(CQVDataBase& db) const;
    // Gives a child file a compaction emptied (zero bytes, no header) its
    // header, by opening it as a writer in a compaction container. A kill
    // before this is made good the same way by the next start-up's
    // compaction of the pair, which opens the file so first.
    template <class TArquivo>
    HRESULT CabecalhoDoVazio(const std::string& sNome) {
        CQVDataBase db(GetModulo());
        PreparaContainerShrink(db);
        TArquivo arquivo(sNome, &db);
        const HRESULT hr = InicializaComContexto(db);
        db.Finaliza();
        QV_CHECK(hr);
        return S_OK;
    }

private:
    // ShrinkSingleText and ShrinkSingleFile: `TArquivoFilho` is CQVTextFile
    // or a CQVFile.
    // `bRecusaForaDoArquivo`: a pointer past the child file fails the
    // compaction (and so the start-up) instead of skipping it.
    template <class TPai, class TArquivoFilho>
    HRESULT ShrinkPonteiro(CQVFile<TPai>& qvFilePaiSrc, TArquivoFilho& qvFilhoSrc, zenta::CampoU32<TPai> campo,
                           bool bRecusaForaDoArquivo);

    mutable std::mutex m_travaArquivos;
    std::multimap<std::string, IQVFileBase*> m_mapFiles;
    std::atomic<int> m_eModulo;
    std::atomic<bool> m_bLeituraSemBloqueio{false};
    std::atomic<bool> m_bSemCabecalho{false};
    std::atomic<bool> m_bShrink{false};
    std::atomic<bool> m_bDesabilitaControle{false};
    std::atomic<bool> m_bControleAtivo{true};
    std::atomic<zenta::IQVLogAlteracoesArquivos*> m_pLog{nullptr};
};

// ---- Compaction ---------------------------------------------------------------------------

// Loads a parent file, its child file and the child's twin and says what they
// prove (`pCampos`: the first-child and count fields).
template <class TPai, class TFilho>
HRESULT DecideGemeoFilhoShrink(CQVDataBase& db, const std::string& sPai, const std::string& sFilho,
                               const void* pCampos, EDecisaoGemeoShrink& eDecisao) {
    const auto& campos = *static_cast<const std::pair<CampoU32<TPai>, CampoU32<TPai>>*>(pCampos);
    eDecisao = EDecisaoGemeoShrink::indeterminado;
    CQVFile<TPai> pai(sPai, &db);
    CQVFile<TFilho> filho(sFilho, &db);
    CQVFile<TFilho> filhoSRK(NomeComExtensao(sFilho, "srk"), &db);
    if (const HRESULT hr = db.InicializaComContexto(pai); FAILED(hr)) return hr;
    if (const HRESULT hr = db.InicializaComContexto(filho); FAILED(hr)) return hr;
    // A twin cut inside a record cannot be whole; it loads as nothing.
    const bool bGemeoLegivel = SUCCEEDED(db.InicializaComContexto(filhoSRK));
    const auto* pPais = pai.GetPtrRegistros();
    const auto* pFilhos = filho.GetPtrRegistros();
    const auto* pGemeo = filhoSRK.GetPtrRegistros();
    if (pPais == nullptr || pFilhos == nullptr || pGemeo == nullptr) return E_UNEXPECTED;
    std::vector<CorridaFilhos> aCorridas;
    aCorridas.reserve(pPais->size());
    for (const TPai& reg : *pPais) aCorridas.push_back({LeCampoU32(reg, campos.first), LeCampoU32(reg, campos.second)});
    if (bGemeoLegivel && FormamLayoutCompactado(aCorridas, pGemeo->size()) &&
        CorridasPresentesNoOriginal(aCorridas, pGemeo->data(), pGemeo->size(), pFilhos->data(), pFilhos->size(),
                                    sizeof(TFilho)))
        eDecisao = EDecisaoGemeoShrink::concluir;
    else if (CorridasDentro(aCorridas, pFilhos->size()))
        eDecisao = EDecisaoGemeoShrink::descartar;
    // The files are let go without touching their headers.
    filhoSRK.FechaArquivo();
    filho.FechaArquivo();
    pai.FechaArquivo();
    return S_OK;
}

template <class TPai, class TFilho>
HRESULT CQVDataBase::ShrinkFile(CQVFile<TPai>& qvFilePaiSrc, CQVFile<TFilho>& qvFileFilhoSrc,
                                std::type_identity_t<zenta::CampoU32<TPai>> campoPrimeiro,
                                std::type_identity_t<zenta::CampoU32<TPai>> campoQtd) {
    if (GetLeituraSemBloqueio() || zenta::ShrinkDesabilitado()) return S_OK;
    const std::string sPai = qvFilePaiSrc.GetNomeArquivo();
    const std::string sFilho = qvFileFilhoSrc.GetNomeArquivo();

    std::pair<zenta::CampoU32<TPai>, zenta::CampoU32<TPai>> campos{campoPrimeiro, campoQtd};
    EAcaoGemeos eAcao = EAcaoGemeos::prossegue;
    QV_CHECK(ResolveGemeosShrink(sPai, sFilho, &zenta::DecideGemeoFilhoShrink<TPai, TFilho>, &campos, eAcao));
    if (eAcao == EAcaoGemeos::pula) return S_OK;

    CQVDataBase qvDataBase(GetModulo());
    PreparaContainerShrink(qvDataBase);
    CQVFile<TPai> qvFilePai(sPai, &qvDataBase);
    CQVFile<TFilho> qvFileFilho(sFilho, &qvDataBase);
    CQVFile<TPai> qvFilePaiSRK(zenta::NomeComExtensao(sPai, "srk"), &qvDataBase);
    CQVFile<TFilho> qvFileFilhoSRK(zenta::NomeComExtensao(sFilho, "srk"), &qvDataBase);
    QV_CHECK(InicializaComContexto(qvDataBase));

    const auto* pPais = qvFilePai.GetPtrRegistros();
    const auto* pFilhos = qvFileFilho.GetPtrRegistros();
    if (pPais == nullptr || pFilhos == nullptr) QV_CHECK(E_UNEXPECTED);
    // The twins were cleared above; one that came back since is not ours.
    if (qvFilePaiSRK.GetQtdRegistros() != 0 || qvFileFilhoSRK.GetQtdRegistros() != 0)
        QV_CHECK(E_QVCR_ARQUIVO_SRK_ENCONTRADO);

    std::vector<zenta::CorridaFilhos> aCorridas;
    aCorridas.reserve(pPais->size());
    for (const TPai& reg : *pPais)
        aCorridas.push_back({zenta::LeCampoU32(reg, campoPrimeiro), zenta::LeCampoU32(reg, campoQtd)});
    ULONGLONG uiSoma = 0;
    QV_CHECK(zenta::ValidaCorridasFilhos(aCorridas, pFilhos->size(), uiSoma));
    if (uiSoma == pFilhos->size()) return S_OK;  // nothing to reclaim

    std::vector<TFilho> aFilhos;
    aFilhos.reserve(static_cast<std::size_t>(uiSoma));
    std::vector<TPai> aPais(pPais->begin(), pPais->end());
    for (std::size_t i = 0; i < aPais.size(); ++i) {
        const zenta::CorridaFilhos& c = aCorridas[i];
        if (c.uiQtd == 0) continue;
        const ULONGLONG uiNovo = aFilhos.size() + 1;
        aFilhos.insert(aFilhos.end(), pFilhos->begin() + static_cast<std::ptrdiff_t>(c.uiPrimeiro - 1),
                       pFilhos->begin() + static_cast<std::ptrdiff_t>(c.uiPrimeiro - 1 + c.uiQtd));
        zenta::GravaCampoU32(aPais[i], campoPrimeiro, static_cast<ULONG>(uiNovo));
    }

    // Child twin first, each twin whole on disk before the next step: a
    // parent twin on disk implies a whole child twin.
    ULONGLONG uiPosicao = QVDATABASE_POSICAO_NOVO_REGISTRO;
    QV_CHECK(qvFileFilhoSRK.AbreArquivo(eModoLeituraGravacaoCriacao));
    QV_CHECK(qvFileFilhoSRK.GravaColecao(uiPosicao, aFilhos));
    QV_CHECK(qvFileFilhoSRK.SincronizaArquivo());
    uiPosicao = QVDATABASE_POSICAO_NOVO_REGISTRO;
    QV_CHECK(qvFilePaiSRK.AbreArquivo(eModoLeituraGravacaoCriacao));
    QV_CHECK(qvFilePaiSRK.GravaColecao(uiPosicao, aPais));
    QV_CHECK(qvFilePaiSRK.SincronizaArquivo());

    // The sources stay open (locked) through both renames, so that no other
    // writer reaches either file between them.
    const bool bTravados = qvFilePai.EstaAberto() && qvFileFilho.EstaAberto();
    const HRESULT hr = RenomeiaGemeosShrink(sPai, sFilho, bTravados);
    // The old files are let go without bringing their headers up to date.
    qvFilePai.FechaArquivo();
    qvFileFilho.FechaArquivo();
    qvFilePaiSRK.FechaArquivo();
    qvFileFilhoSRK.FechaArquivo();
    QV_CHECK(hr);
    // A file left with no record gets its header now; a parent of a chain
    // is emptied too when its own parent took all its records.
    if (aFilhos.empty()) QV_CHECK(CabecalhoDoVazio<CQVFile<TFilho>>(sFilho));
    if (aPais.empty()) QV_CHECK(CabecalhoDoVazio<CQVFile<TPai>>(sPai));
    return S_OK;
}

// The children a pointer compaction keeps, in their order (`aNova[p]`: the
// new position of old child p, 0 when it goes).
inline std::vector<std::string> FilhosMantidos(const CQVTextosArquivo& textos, const std::vector<ULONGLONG>& aNova,
                                               ULONGLONG uiMantidos) {
    std::vector<std::string> aFilhos;
    aFilhos.reserve(static_cast<std::size_t>(uiMantidos));
    for (std::size_t p = 1; p < aNova.size(); ++p)
        if (aNova[p] != 0) aFilhos.emplace_back(textos[p - 1].sTexto);
    return aFilhos;
}
template <class T>
std::vector<T> FilhosMantidos(const CQVRegistros<T>& registros, const std::vector<ULONGLONG>& aNova,
                              ULONGLONG uiMantidos) {
    std::vector<T> aFilhos;
    aFilhos.reserve(static_cast<std::size_t>(uiMantidos));
    for (std::size_t p = 1; p < aNova.size(); ++p)
        if (aNova[p] != 0) aFilhos.push_back(registros[p - 1]);
    return aFilhos;
}

inline HRESULT GravaFilhos(CQVTextFile& arquivo, ULONGLONG& uiPosicao, const std::vector<std::string>& aFilhos) {
    return arquivo.GravaColecao(uiPosicao, std::span<const std::string>(aFilhos));
}
template <class T>
HRESULT GravaFilhos(CQVFile<T>& arquivo, ULONGLONG& uiPosicao, const std::vector<T>& aFilhos) {
    return arquivo.GravaColecao(uiPosicao, aFilhos);
}

// Whether the twin's children appear, in order, among the original's.
inline bool FilhosSubsequenciaDoOriginal(const CQVTextosArquivo& aGemeo, const CQVTextosArquivo& aOriginal) {
    return TextosSubsequenciaDoOriginal(aGemeo, aOriginal);
}
template <class T>
bool FilhosSubsequenciaDoOriginal(const CQVRegistros<T>& aGemeo, const CQVRegistros<T>& aOriginal) {
    std::size_t j = 0;
    for (const T& r : aGemeo) {
        while (j < aOriginal.size() && std::memcmp(&aOriginal[j], &r, sizeof(T)) != 0) ++j;
        if (j == aOriginal.size()) return false;
        ++j;
    }
    return true;
}

// Loads a parent file, its child file of pointed-at children and the child's
// twin and says what they prove (`pCampo`: the pointer field).
template <class TPai, class TArquivoFilho>
HRESULT DecideGemeoPonteiroShrink(CQVDataBase& db, const std::string& sPai, const std::string& sFilho,
                                  const void* pCampo, EDecisaoGemeoShrink& eDecisao) {
    const auto campo = *static_cast<const CampoU32<TPai>*>(pCampo);
    eDecisao = EDecisaoGemeoShrink::indeterminado;
    CQVFile<TPai> pai(sPai, &db);
    TArquivoFilho filho(sFilho, &db);
    TArquivoFilho filhoSRK(NomeComExtensao(sFilho, "srk"), &db);
    if (const HRESULT hr = db.InicializaComContexto(pai); FAILED(hr)) return hr;
    if (const HRESULT hr = db.InicializaComContexto(filho); FAILED(hr)) return hr;
    const bool bGemeoLegivel = SUCCEEDED(db.InicializaComContexto(filhoSRK));
    const auto* pPais = pai.GetPtrRegistros();
    const auto* pFilhos = filho.GetPtrRegistros();
    const auto* pGemeo = filhoSRK.GetPtrRegistros();
    if (pPais == nullptr || pFilhos == nullptr || pGemeo == nullptr) return E_UNEXPECTED;
    std::vector<ULONG> aPonteiros;
    aPonteiros.reserve(pPais->size());
    for (const TPai& reg : *pPais) aPonteiros.push_back(LeCampoU32(reg, campo));
    std::vector<ULONGLONG> aNova;
    ULONGLONG uiMantidos = 0;
    if (bGemeoLegivel && PonteirosFormamLayoutCompactado(aPonteiros, pGemeo->size()) &&
        FilhosSubsequenciaDoOriginal(*pGemeo, *pFilhos))
        eDecisao = EDecisaoGemeoShrink::concluir;
    else if (SUCCEEDED(CompactaPonteiros(aPonteiros, pFilhos->size(), aNova, uiMantidos)))
        eDecisao = EDecisaoGemeoShrink::descartar;
    filhoSRK.FechaArquivo();
    filho.FechaArquivo();
    pai.FechaArquivo();
    return S_OK;
}

template <class TPai, class TArquivoFilho>
HRESULT CQVDataBase::ShrinkPonteiro(CQVFile<TPai>& qvFilePaiSrc, TArquivoFilho& qvFilhoSrc,
                                    zenta::CampoU32<TPai> campo, bool bRecusaForaDoArquivo) {
    if (GetLeituraSemBloqueio() || zenta::ShrinkDesabilitado()) return S_OK;
    const std::string sPai = qvFilePaiSrc.GetNomeArquivo();
    const std::string sFilho = qvFilhoSrc.GetNomeArquivo();

    EAcaoGemeos eAcao = EAcaoGemeos::prossegue;
    QV_CHECK(ResolveGemeosShrink(sPai, sFilho, &zenta::DecideGemeoPonteiroShrink<TPai, TArquivoFilho>, &campo, eAcao));
    if (eAcao == EAcaoGemeos::pula) return S_OK;

    CQVDataBase qvDataBase(GetModulo());
    PreparaContainerShrink(qvDataBase);
    CQVFile<TPai> qvFilePai(sPai, &qvDataBase);
    TArquivoFilho qvFilho(sFilho, &qvDataBase);
    CQVFile<TPai> qvFilePaiSRK(zenta::NomeComExtensao(sPai, "srk"), &qvDataBase);
    TArquivoFilho qvFilhoSRK(zenta::NomeComExtensao(sFilho, "srk"), &qvDataBase);
    QV_CHECK(InicializaComContexto(qvDataBase));

    const auto* pPais = qvFilePai.GetPtrRegistros();
    const auto* pFilhos = qvFilho.GetPtrRegistros();
    if (pPais == nullptr || pFilhos == nullptr) QV_CHECK(E_UNEXPECTED);
    if (qvFilePaiSRK.GetQtdRegistros() != 0 || qvFilhoSRK.GetQtdRegistros() != 0)
        QV_CHECK(E_QVCR_ARQUIVO_SRK_ENCONTRADO);

    std::vector<ULONG> aPonteiros;
    aPonteiros.reserve(pPais->size());
    for (const TPai& reg : *pPais) aPonteiros.push_back(zenta::LeCampoU32(reg, campo));
    std::vector<ULONGLONG> aNovaPosicao;
    ULONGLONG uiMantidos = 0;
    const HRESULT hrPonteiros = zenta::CompactaPonteiros(aPonteiros, pFilhos->size(), aNovaPosicao, uiMantidos);
    if (FAILED(hrPonteiros) && !bRecusaForaDoArquivo) {
        RegistraShrink(QV_FUNCAO, __LINE__,
                       "Compactação de \"" + sFilho + "\" não feita: \"" + sPai + "\" aponta além do arquivo");
        return S_OK;
    }
    QV_CHECK(hrPonteiros);
    if (uiMantidos == pFilhos->size()) return S_OK;  // every child is referred to

    const auto aFilhos = zenta::FilhosMantidos(*pFilhos, aNovaPosicao, uiMantidos);
    std::vector<TPai> aPais(pPais->begin(), pPais->end());
    for (std::size_t i = 0; i < aPais.size(); ++i)
        if (aPonteiros[i] != 0)
            zenta::GravaCampoU32(aPais[i], campo, static_cast<ULONG>(aNovaPosicao[aPonteiros[i]]));

    ULONGLONG uiPosicao = QVDATABASE_POSICAO_NOVO_REGISTRO;
    QV_CHECK(qvFilhoSRK.AbreArquivo(eModoLeituraGravacaoCriacao));
    QV_CHECK(zenta::GravaFilhos(qvFilhoSRK, uiPosicao, aFilhos));
    QV_CHECK(qvFilhoSRK.SincronizaArquivo());
    uiPosicao = QVDATABASE_POSICAO_NOVO_REGISTRO;
    QV_CHECK(qvFilePaiSRK.AbreArquivo(eModoLeituraGravacaoCriacao));
    QV_CHECK(qvFilePaiSRK.GravaColecao(uiPosicao, aPais));
    QV_CHECK(qvFilePaiSRK.SincronizaArquivo());

    const bool bTravados = qvFilePai.EstaAberto() && qvFilho.EstaAberto();
    const HRESULT hr = RenomeiaGemeosShrink(sPai, sFilho, bTravados);
    qvFilePai.FechaArquivo();
    qvFilho.FechaArquivo();
    qvFilePaiSRK.FechaArquivo();
    qvFilhoSRK.FechaArquivo();
    QV_CHECK(hr);
    if (aFilhos.empty()) QV_CHECK(CabecalhoDoVazio<TArquivoFilho>(sFilho));
    if (aPais.empty()) QV_CHECK(CabecalhoDoVazio<CQVFile<TPai>>(sPai));
    return S_OK;
}

}  // namespace zenta
