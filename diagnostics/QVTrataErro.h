// The ERP's message library, loaded by name for each use: the error report
// `TrataErro` and the description and facility queries of the error log.
// A missing library or export is silently skipped.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

namespace zenta {

// Sends an error report to the message library's "QVTrataErroExported" with
// the context code, the HRESULT, the limit, the company, the source file and
// line, the flag, 0, this program's full file name and the text. Texts are
// UTF-8 (text that is Windows-1252 already passes unchanged); the library
// gets them in Windows-1252.
void TrataErro(ULONG ulContexto, HRESULT hr, LONG lLimite, std::string_view empresa, std::string_view arquivo,
               ULONG ulLinha, LONG lFlag, std::string_view texto);

// One loading of the message library, freed when the object goes.
class CBibliotecaMensagens {
public:
    // The library next to the one holding this code, else "libQVMens.so"
    // through the loader's usual search.
    CBibliotecaMensagens();
    // Exactly this file.
    explicit CBibliotecaMensagens(const std::filesystem::path& caminho);
    ~CBibliotecaMensagens();
    CBibliotecaMensagens(const CBibliotecaMensagens&) = delete;
    CBibliotecaMensagens& operator=(const CBibliotecaMensagens&) = delete;

    bool Carregada() const { return m_handle != nullptr; }

    // False when the library or the export is missing.
    bool TrataErro(ULONG ulContexto, HRESULT hr, LONG lLimite, std::string_view empresa, std::string_view arquivo,
                   ULONG ulLinha, LONG lFlag, std::string_view texto) const;
    // "QVGetDescricaoHRESULT", in UTF-8; empty when unknown or missing.
    std::string DescricaoHresult(HRESULT hr) const;
    // "EhFacilityMT"; no value when the library or the export is missing.
    std::optional<bool> EhFacilidadeDaBiblioteca(uint32_t facility) const;

private:
    void* Simbolo(const char* nome) const;

    void* m_handle = nullptr;
};

// The directory of the shared object that holds this code.
std::filesystem::path DiretorioDestaBiblioteca();

// This program's full file name.
std::string NomeArquivoPrograma();

}  // namespace zenta
