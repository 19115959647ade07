#include "core/qvdatabase/QVTextFile.h"

#include "core/qvdatabase/QVMemoriaRegistros.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <shared_mutex>

#include "diagnostics/QVCheck.h"

namespace zenta {

namespace {

// Size of the length field in front of each text.
constexpr ULONGLONG TAMANHO_CAMPO_COMPRIMENTO = sizeof(uint32_t);

// Walks the item chain of a data area of `tamanho` bytes, calling
// `item(offset, comprimento)` for each well-formed item. An item whose length
// field does not fit in what remains, or whose length exceeds the bytes after
// its length field or the whole area, ends the walk: false, with that item's
// offset and the length it claims (what remains when the field itself is cut).
template <class Item>
bool PercorreCadeia(const unsigned char* dados, uint64_t tamanho, Item&& item, uint64_t& offsetFalha,
                    uint64_t& comprimentoFalha) {
    uint64_t offset = 0;
    while (offset < tamanho) {
        const uint64_t resta = tamanho - offset;
        if (resta < TAMANHO_CAMPO_COMPRIMENTO) {
            offsetFalha = offset;
            comprimentoFalha = resta;
            return false;
        }
        uint32_t comprimento = 0;
        std::memcpy(&comprimento, dados + offset, sizeof comprimento);
        if (comprimento > resta - TAMANHO_CAMPO_COMPRIMENTO || comprimento > tamanho) {
            offsetFalha = offset;
            comprimentoFalha = comprimento;
            return false;
        }
        item(offset, comprimento);
        offset += TAMANHO_CAMPO_COMPRIMENTO + comprimento;
    }
    return true;
}

}  // namespace

// ---- The texts in memory ----------------------------------------------------------

CQVTextFileRegistro CQVTextosArquivo::operator[](std::size_t i) const noexcept {
    const ULONGLONG offset = m_offsets[i];
    uint32_t comprimento = 0;
    std::memcpy(&comprimento, m_dados.data() + offset, sizeof comprimento);
    const char* texto = reinterpret_cast<const char*>(m_dados.data() + offset + TAMANHO_CAMPO_COMPRIMENTO);
    return {offset, std::string_view(texto, comprimento)};
}

void CQVTextosArquivo::Adota(CQVRegistros<unsigned char>&& dados, CQVRegistros<ULONGLONG>&& offsets) noexcept {
    m_dados = std::move(dados);
    m_offsets = std::move(offsets);
}

void CQVTextosArquivo::Reserva(std::size_t bytes, std::size_t itens) {
    if (bytes > m_dados.capacity() - m_dados.size()) {
        const std::size_t n = m_dados.size() + bytes;
        m_dados.reserve(n + n / 2);
    }
    if (itens > m_offsets.capacity() - m_offsets.size()) {
        const std::size_t n = m_offsets.size() + itens;
        m_offsets.reserve(n + n / 2);
    }
}

void CQVTextosArquivo::Escreve(ULONGLONG offset, std::span<const unsigned char> itens) noexcept {
    const std::size_t antigoFim = m_dados.size();
    const std::size_t fim = static_cast<std::size_t>(offset) + itens.size();
    if (fim > antigoFim) m_dados.resize(fim);  // within the room Reserva made
    std::memcpy(m_dados.data() + offset, itens.data(), itens.size());
    for (std::size_t o = antigoFim; o < fim;) {
        m_offsets.push_back(o);
        uint32_t comprimento = 0;
        std::memcpy(&comprimento, m_dados.data() + o, sizeof comprimento);
        o += TAMANHO_CAMPO_COMPRIMENTO + comprimento;
    }
}

void CQVTextosArquivo::Libera() noexcept {
    CQVRegistros<unsigned char>().swap(m_dados);
    CQVRegistros<ULONGLONG>().swap(m_offsets);
}

CQVTextFile::CQVTextFile(std::string_view sNomeArquivo, zenta::IQVDataBaseContainer* pDataBase)
    : CQVFileBase(sNomeArquivo, pDataBase) {}

CQVTextFile::~CQVTextFile() = default;

// ---- Loading ---------------------------------------------------------------------

HRESULT CQVTextFile::OnInicializa() {
    m_aRegistros.Libera();
    QV_CHECK(CQVFileBase::OnInicializa());

    // A file without a header gains one on its first writable open. Its
    // chain is checked before, through a read-only open, so that a corrupt
    // file is refused as it is instead of being moved behind a new header.
    if (GerenciarCabecalho() && !(m_pDataBase != nullptr && m_pDataBase->GetLeituraSemBloqueio())) {
        QV_CHECK(AbreArquivo(eModoLeituraSemBloqueio));
        const HRESULT hr = EstaAberto() && GetSeekCabecalho() == 0 ? LeCadeia(nullptr) : S_OK;
        FechaArquivo();
        if (FAILED(hr)) return hr;
    }

    QV_CHECK(AbreArquivo(eModoLeituraGravacao));
    if (!EstaAberto()) return S_OK;
    const HRESULT hr = LeCadeia(&m_aRegistros);
    if (FAILED(hr)) {
        // Closed without a header update: a file that fails to load is left untouched.
        m_aRegistros.Libera();
        FechaArquivo();
        return hr;
    }
    return S_OK;
}

HRESULT CQVTextFile::OnFinaliza() {
    m_aRegistros.Libera();
    return CQVFileBase::OnFinaliza();
}

bool CQVTextFile::AcrescimoInteiro(uint64_t inicio, uint64_t tamanho) {
    // One append of texts, not a file's worth of stray bytes.
    constexpr uint64_t kMaximo = uint64_t{64} << 20;
    if (tamanho > kMaximo) return false;
    std::vector<unsigned char> dados(static_cast<std::size_t>(tamanho));
    if (!LeDados(inicio, dados.data(), dados.size()).Ok()) return false;
    uint64_t offsetFalha = 0;
    uint64_t comprimentoFalha = 0;
    return zenta::PercorreCadeia(dados.data(), tamanho, [](uint64_t, uint32_t) {}, offsetFalha, comprimentoFalha);
}

HRESULT CQVTextFile::LeCadeia(CQVTextosArquivo* pRegistros) {
    uint64_t tamanho = 0;
    if (const zenta::ResultadoArquivo r = TamanhoArquivo(tamanho); !r.Ok()) return CatchInicializacao(r);
    const ULONGLONG seek = GetSeekCabecalho();
    if (tamanho < seek) QV_CHECK(E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
    const uint64_t tamanhoDados = tamanho - seek;
    if (tamanhoDados == 0) return S_OK;

    try {
        if (tamanhoDados > std::numeric_limits<std::size_t>::max()) throw std::bad_alloc();
        // The data area is read whole and kept as it is (with room for half
        // as much again): the texts are its items.
        const auto tamanhoArea = static_cast<std::size_t>(tamanhoDados);
        zenta::CQVRegistros<unsigned char> dados;
        dados.reserve(tamanhoArea + tamanhoArea / 2);
        dados.resize(tamanhoArea);
        if (const zenta::ResultadoArquivo r = LeDados(seek, dados.data(), tamanhoArea); !r.Ok())
            return CatchInicializacao(r);

        // First the whole chain is checked, so that a corrupt file costs no
        // more memory.
        std::size_t quantidade = 0;
        uint64_t offsetFalha = 0;
        uint64_t comprimentoFalha = 0;
        if (!zenta::PercorreCadeia(
                dados.data(), tamanhoDados, [&](uint64_t, uint32_t) { ++quantidade; }, offsetFalha,
                comprimentoFalha)) {
            // The engine's line: the position of the bad item, the length it
            // claims and the number of sound items before it.
            GravaLogErroMotor(QV_FUNCAO, QV_ARQUIVO, __LINE__, E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA,
                              quantidade + 1, static_cast<std::size_t>(comprimentoFalha), quantidade);
            return E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA;
        }
        if (pRegistros == nullptr) return S_OK;

        zenta::CQVRegistros<ULONGLONG> offsets;
        offsets.reserve(quantidade + quantidade / 2);
        zenta::PercorreCadeia(
            dados.data(), tamanhoDados, [&](uint64_t offset, uint32_t) { offsets.push_back(offset); }, offsetFalha,
            comprimentoFalha);
        pRegistros->Adota(std::move(dados), std::move(offsets));
    } catch (const std::bad_alloc&) {
        QV_LOG_HR(QV_E_BAD_ALLOC, "LeCadeia()");
        return QV_E_BAD_ALLOC;
    }
    return S_OK;
}

ULONGLONG CQVTextFile::FimDados() const { return m_aRegistros.FimDados(); }

// ---- Reads (shared lock) ------------------------------------------------------------

ULONGLONG CQVTextFile::GetQtdRegistros() const {
    std::shared_lock trava(m_lock);
    return m_aRegistros.size();
}

HRESULT CQVTextFile::Le(ULONGLONG uiPosicao, std::string* pTexto) const {
    if (pTexto == nullptr) return E_POINTER;
    return Le(uiPosicao, *pTexto);
}

HRESULT CQVTextFile::Le(ULONGLONG uiPosicao, std::string& sTexto) const {
    sTexto.clear();
    if (uiPosicao == 0) return E_QVCR_TENTATIVA_LER_POSICAO_ZERO;
    std::shared_lock trava(m_lock);
    if (!EstaAberto()) return E_QVCR_ARQUIVO_NAO_EXISTE;
    if (uiPosicao > m_aRegistros.size()) {
        GravaLogErroMotor(QV_FUNCAO, QV_ARQUIVO, __LINE__, E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO, uiPosicao,
                          0, m_aRegistros.size());
        return E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO;
    }
    sTexto.assign(m_aRegistros[uiPosicao - 1].sTexto);
    return S_OK;
}

CQVTextosArquivo* CQVTextFile::GetPtrRegistros() {
    return m_pDataBase != nullptr && m_pDataBase->GetEhContainerShrink() ? &m_aRegistros : nullptr;
}

// ---- Writes (exclusive lock) --------------------------------------------------------

HRESULT CQVTextFile::Grava(ULONGLONG& uiPosicao, std::string_view sTexto) {
    return GravaColecao(uiPosicao, std::span<const std::string_view>(&sTexto, 1));
}

HRESULT CQVTextFile::GravaColecao(ULONGLONG& uiPosicao, std::span<const std::string> aRegistros) {
    const std::vector<std::string_view> aTextos(aRegistros.begin(), aRegistros.end());
    return GravaColecao(uiPosicao, std::span<const std::string_view>(aTextos));
}

HRESULT CQVTextFile::GravaColecao(ULONGLONG& uiPosicao, std::span<const std::string_view> aRegistros) {
    if (aRegistros.empty()) return S_OK;
    std::unique_lock trava(m_lock);
    if (const HRESULT hr = ValidaGravacao(uiPosicao, aRegistros); FAILED(hr)) return hr;
    if (!PrecisaGravar(uiPosicao, aRegistros)) return S_OK;
    QV_CHECK(ConfereGravacaoPermitida());
    QV_CHECK(AbreArquivo(eModoLeituraGravacaoCriacao));
    // Checked once, before the first attempt: a failed attempt is undone
    // before the next one, so the file still matches the chain in memory.
    QV_CHECK(ConfereTamanhoDisco());

    const zenta::PoliticaTentativas politica = zenta::TentativasArquivo();
    const unsigned tentativas = politica.tentativasGravacao == 0 ? 1 : politica.tentativasGravacao;
    HRESULT hr = S_OK;
    for (unsigned i = 0; i < tentativas; ++i) {
        if (i > 0) zenta::ArquivoSO()->Pausa(politica.pausa);
        bool bAlterou = false;
        hr = GravaRegistrosInterno(uiPosicao, aRegistros, bAlterou);
        // Once the texts reached the disk and memory, trying again would
        // append them twice: the failure (of the header update) is returned
        // as it is. A failed attempt that could not be undone ends the retries too.
        if (SUCCEEDED(hr) || bAlterou || EhUmaExcecaoFatal(hr) || GravacaoRecusada()) break;
    }
    return hr;
}

bool CQVTextFile::PrecisaGravar(ULONGLONG uiPosicao, std::span<const std::string_view> aRegistros) const {
    if (uiPosicao == QVDATABASE_POSICAO_NOVO_REGISTRO) return true;
    const ULONGLONG quantidade = m_aRegistros.size();
    if (uiPosicao > quantidade || aRegistros.size() > quantidade - (uiPosicao - 1)) return true;
    for (std::size_t i = 0; i < aRegistros.size(); ++i)
        if (aRegistros[i] != m_aRegistros[static_cast<std::size_t>(uiPosicao - 1) + i].sTexto) return true;
    return false;
}

HRESULT CQVTextFile::GravaRegistros(ULONGLONG& uiPosicao, std::span<const std::string_view> aRegistros) {
    if (aRegistros.empty()) return S_OK;
    if (const HRESULT hr = ValidaGravacao(uiPosicao, aRegistros); FAILED(hr)) return hr;
    QV_CHECK(ConfereGravacaoPermitida());
    QV_CHECK(ConfereTamanhoDisco());
    bool bAlterou = false;
    return GravaRegistrosInterno(uiPosicao, aRegistros, bAlterou);
}

HRESULT CQVTextFile::ValidaGravacao(ULONGLONG uiPosicao, std::span<const std::string_view> aRegistros) const {
    const ULONGLONG quantidade = m_aRegistros.size();
    if (uiPosicao > quantidade) {
        GravaLogErroMotor(QV_FUNCAO, QV_ARQUIVO, __LINE__, E_QVCR_POSICAO_GRAVACAO_SUPERIOR_QUANTIDADE_ARQUIVO,
                          uiPosicao, aRegistros.front().size(), quantidade);
        return E_QVCR_POSICAO_GRAVACAO_SUPERIOR_QUANTIDADE_ARQUIVO;
    }
    for (std::size_t i = 0; i < aRegistros.size(); ++i) {
        const ULONGLONG uiAlvo = uiPosicao == QVDATABASE_POSICAO_NOVO_REGISTRO ? quantidade + 1 + i : uiPosicao + i;
        const std::size_t comprimento = aRegistros[i].size();
        // The length field holds at most 4 GiB - 1 characters. A rewrite
        // cannot change a text's length: the new item goes over the old one
        // and the items after it stay where they are, so a longer text would
        // overwrite the next item and a shorter one leave bytes of the old
        // one behind as a corrupt item. Such a write is refused whole, before
        // anything reaches the disk; the caller appends the text instead
        // (position 0) and stores its new position.
        const bool bLongoDemais = comprimento > std::numeric_limits<uint32_t>::max();
        const bool bOutroComprimento = uiAlvo <= quantidade && comprimento != m_aRegistros[uiAlvo - 1].sTexto.size();
        if (bLongoDemais || bOutroComprimento) {
            GravaLogErroMotor(QV_FUNCAO, QV_ARQUIVO, __LINE__, E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA,
                              uiAlvo, comprimento, quantidade);
            return E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA;
        }
    }
    return S_OK;
}

HRESULT CQVTextFile::ConfereTamanhoDisco() {
    // Appends go at the end of the chain this object holds, and the
    // positions it hands out count its texts. A file that another writer
    // changed, or that a failed earlier write left longer, no longer matches
    // them: writing would overwrite texts or hand out wrong positions.
    uint64_t tamanho = 0;
    if (const zenta::ResultadoArquivo r = TamanhoArquivo(tamanho); !r.Ok()) return CatchGravacao(r);
    const ULONGLONG seek = GetSeekCabecalho();
    if (tamanho < seek || tamanho - seek != FimDados()) {
        QV_LOG_HR(E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE, "TamanhoArquivo() - GetSeekCabecalho() == FimDados()");
        return E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE;
    }
    return S_OK;
}

HRESULT CQVTextFile::GravaRegistrosInterno(ULONGLONG& uiPosicao, std::span<const std::string_view> aRegistros,
                                           bool& bAlterou) {
    bAlterou = false;
    if (aRegistros.empty()) return S_OK;
    QV_CHECK(ConfereGravacaoPermitida());
    const std::size_t quantidade = m_aRegistros.size();
    const bool bAnexa = uiPosicao == QVDATABASE_POSICAO_NOVO_REGISTRO;
    const std::size_t indicePrimeiro = bAnexa ? quantidade : static_cast<std::size_t>(uiPosicao - 1);
    const ULONGLONG offsetInicio = bAnexa ? FimDados() : m_aRegistros[indicePrimeiro].uiOffset;

    // Everything that allocates comes before the disk write, so that memory
    // always follows a write that reached the disk.
    std::vector<unsigned char> itens;
    std::size_t tamanhoItens = 0;
    for (const std::string_view texto : aRegistros) tamanhoItens += zenta::TAMANHO_CAMPO_COMPRIMENTO + texto.size();
    const std::size_t alemDoFim = indicePrimeiro + aRegistros.size() > quantidade
                                      ? indicePrimeiro + aRegistros.size() - quantidade
                                      : 0;
    try {
        itens.reserve(tamanhoItens);
        const ULONGLONG fimEscrita = offsetInicio + tamanhoItens;
        m_aRegistros.Reserva(
            fimEscrita > FimDados() ? static_cast<std::size_t>(fimEscrita - FimDados()) : 0, alemDoFim);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    for (const std::string_view texto : aRegistros) {
        const uint32_t comprimento = static_cast<uint32_t>(texto.size());
        const auto* campo = reinterpret_cast<const unsigned char*>(&comprimento);
        itens.insert(itens.end(), campo, campo + sizeof comprimento);
        itens.insert(itens.end(), texto.begin(), texto.end());
    }

    const ULONGLONG seek = GetSeekCabecalho();
    const zenta::ResultadoArquivo r = GravaDados(seek + offsetInicio, itens.data(), itens.size());
    if (!r.Ok()) {
        const HRESULT hr = CatchGravacao(r);
        // What landed past the chain held in memory is cut off, and the
        // items a rewrite may have overwritten (same lengths, so the same
        // places) are written back from memory.
        const ULONGLONG fimSobrepostos = std::min(FimDados(), offsetInicio + itens.size());
        QV_CHECK(DesfazGravacao(seek + FimDados(), [&]() -> zenta::ResultadoArquivo {
            if (fimSobrepostos <= offsetInicio) return zenta::ResultadoArquivo::Sucesso();
            return GravaDados(seek + offsetInicio, m_aRegistros.Bytes(offsetInicio),
                              static_cast<std::size_t>(fimSobrepostos - offsetInicio));
        }));
        return hr;
    }
    bAlterou = true;

    // Texts at existing positions keep their item offsets (same lengths);
    // the others follow one another from the old end of the chain.
    m_aRegistros.Escreve(offsetInicio, itens);
    if (bAnexa) uiPosicao = quantidade + 1;
    QV_CHECK(AtualizaArquivo());
    return S_OK;
}

}  // namespace zenta
