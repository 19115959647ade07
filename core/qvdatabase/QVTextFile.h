// A file of texts of any length, one per position (from 1), held whole in
// memory and written through on every change. A record refers to its text by
// the text's position.
//
// On disk, after the optional 240-byte header, the texts are a chain of
// items, back to back, one per position in position order: a little-endian
// u32 length L, then the L bytes of the text (no terminator). There is no
// count, index or trailer; the number of texts is found by walking the chain.
//
// Texts are byte strings in the program's 8-bit character set (Windows-1252)
// and may hold any byte, zero included.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <zenta/WinTypes.h>

#include "core/qvdatabase/QVFileBase.h"
#include "core/qvdatabase/QVMemoriaRegistros.h"

namespace zenta {

// One text of a text file: where its item starts in the data area (counted
// from the end of the header) and the text itself, as held by the file.
struct CQVTextFileRegistro {
    ULONGLONG uiOffset = 0;
    std::string_view sTexto;
};

// The texts of a file in position order, held as the file's data area holds
// them: the items back to back (length field, then text) and each item's
// offset. A load is one read, with no allocation per text; a rewrite (same
// length) goes over the same bytes; an append adds at the end, into room
// kept for half as much again, so that appends cost the same however many
// texts the file holds (the room grows by half each time it runs out).
class CQVTextosArquivo {
public:
    std::size_t size() const noexcept { return m_offsets.size(); }
    bool empty() const noexcept { return m_offsets.empty(); }
    CQVTextFileRegistro operator[](std::size_t i) const noexcept;
    CQVTextFileRegistro front() const noexcept { return (*this)[0]; }
    CQVTextFileRegistro back() const noexcept { return (*this)[size() - 1]; }

    class const_iterator {
    public:
        using value_type = CQVTextFileRegistro;
        using difference_type = std::ptrdiff_t;
        const_iterator() = default;
        const_iterator(const CQVTextosArquivo* textos, std::size_t i) : m_textos(textos), m_i(i) {}
        CQVTextFileRegistro operator*() const noexcept { return (*m_textos)[m_i]; }
        const_iterator& operator++() noexcept {
            ++m_i;
            return *this;
        }
        const_iterator operator++(int) noexcept {
            const_iterator antes = *this;
            ++m_i;
            return antes;
        }
        bool operator==(const const_iterator& o) const noexcept { return m_i == o.m_i; }

    private:
        const CQVTextosArquivo* m_textos = nullptr;
        std::size_t m_i = 0;
    };
    const_iterator begin() const noexcept { return {this, 0}; }
    const_iterator end() const noexcept { return {this, size()}; }

    // The bytes of the data area the texts take (the end of the last item).
    ULONGLONG FimDados() const noexcept { return m_dados.size(); }
    // The data area's bytes from `offset` on.
    const unsigned char* Bytes(ULONGLONG offset) const noexcept { return m_dados.data() + offset; }

    // Takes a checked data area and the offsets of its items.
    void Adota(CQVRegistros<unsigned char>&& dados, CQVRegistros<ULONGLONG>&& offsets) noexcept;
    // Makes room for `bytes` more of data area and `itens` more texts
    // (throws std::bad_alloc), so that Escreve needs no memory.
    void Reserva(std::size_t bytes, std::size_t itens);
    // Writes items (as on disk) from `offset` on: over texts of the same
    // lengths, then past the end, where each item is a new text.
    void Escreve(ULONGLONG offset, std::span<const unsigned char> itens) noexcept;
    void Libera() noexcept;

private:
    CQVRegistros<unsigned char> m_dados;
    CQVRegistros<ULONGLONG> m_offsets;
};

class CQVTextFile : public CQVFileBase {
public:
    CQVTextFile(std::string_view sNomeArquivo, zenta::IQVDataBaseContainer* pDataBase);
    ~CQVTextFile() override;

    // The number of texts.
    ULONGLONG GetQtdRegistros() const override;

    // Copies the text at a position; `sTexto` is emptied first.
    HRESULT Le(ULONGLONG uiPosicao, std::string& sTexto) const;
    HRESULT Le(ULONGLONG uiPosicao, std::string* pTexto) const;

    // Writes one text at `uiPosicao`, or appends it when `uiPosicao` is 0
    // (`uiPosicao` then receives its position).
    HRESULT Grava(ULONGLONG& uiPosicao, std::string_view sTexto);

    // Writes consecutive texts from `uiPosicao` on, or appends them when it is
    // 0 (`uiPosicao` then receives the position of the first). A text that
    // replaces a stored one must have the stored text's byte length: the
    // items that follow it on disk cannot move, so a text of another length is
    // refused with E_QVCR_ARQUIVO_TEXTO_QUANTIDADE_CARACTERES_INVALIDA and
    // nothing is written. Texts past the last position are added.
    HRESULT GravaColecao(ULONGLONG& uiPosicao, std::span<const std::string_view> aRegistros);
    HRESULT GravaColecao(ULONGLONG& uiPosicao, std::span<const std::string> aRegistros);

    // True for an append, a write reaching past the last text, or a text that
    // differs in length or content from the one at its position.
    bool PrecisaGravar(ULONGLONG uiPosicao, std::span<const std::string_view> aRegistros) const;

    // The write itself, without lock, retry or comparison; the file must be
    // open for writing. It refuses what GravaColecao refuses.
    HRESULT GravaRegistros(ULONGLONG& uiPosicao, std::span<const std::string_view> aRegistros);

    // The address of the texts, for a compaction container only; else null.
    CQVTextosArquivo* GetPtrRegistros();

protected:
    HRESULT OnInicializa() override;
    HRESULT OnFinaliza() override;
    // An append cut short before its header update leaves whole items.
    bool AcrescimoInteiro(uint64_t inicio, uint64_t tamanho) override;

private:
    // Refusals that need no disk: a position past the last text, a text too
    // long for its length field, a rewrite with another length. Logged.
    HRESULT ValidaGravacao(ULONGLONG uiPosicao, std::span<const std::string_view> aRegistros) const;
    // The open file's data area must be exactly the chain held in memory.
    HRESULT ConfereTamanhoDisco();
    // Disk, then memory, then header; `bAlterou` tells whether disk and
    // memory changed. A disk write that fails is undone before returning.
    HRESULT GravaRegistrosInterno(ULONGLONG& uiPosicao, std::span<const std::string_view> aRegistros,
                                  bool& bAlterou);
    // Reads the open file's data area and walks its chain; with `pRegistros`
    // the texts are kept there, without it the chain is only checked.
    HRESULT LeCadeia(CQVTextosArquivo* pRegistros);
    // The end of the last item in the data area.
    ULONGLONG FimDados() const;

    CQVTextosArquivo m_aRegistros;
};

}  // namespace zenta
