// The operating-system file layer under the record-file engine: open, read and
// write at an offset, length, flush, delete and rename, with the sharing rules
// the engine relies on between threads and processes:
//   - a writer (read/write open) denies other writers: its open takes an
//     open-file-description write lock over the whole file, and a second
//     writer's open fails with a sharing violation whether it comes from this
//     process or another;
//   - a reader without locking takes no lock and is never refused;
//   - deleting or renaming over a file held by a writer is a sharing violation.
// The layer is reached through ArquivoSO(); tests install their own (fault
// injection, counting) with EscopoArquivoSO. The retry counts and the pause
// between attempts of the engine live here too, so tests need not wait.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zenta {

// Why a file operation failed; the values are the framework's file-exception
// causes (CFileException in diagnostics/QVException.h).
enum class CausaArquivo : int {
    nenhuma = 0,
    generica = 1,
    arquivoNaoEncontrado = 2,
    caminhoInvalido = 3,
    muitosArquivosAbertos = 4,
    acessoNegado = 5,
    arquivoInvalido = 6,
    diretorioCheio = 8,
    posicionamentoInvalido = 9,
    erroFisico = 10,
    violacaoCompartilhamento = 11,
    violacaoBloqueio = 12,
    discoCheio = 13,
    fimArquivo = 14,
};

struct ResultadoArquivo {
    CausaArquivo causa = CausaArquivo::nenhuma;
    int erroSO = 0;  // errno, 0 when not from the system

    bool Ok() const { return causa == CausaArquivo::nenhuma; }
    static ResultadoArquivo Sucesso() { return {}; }
    static ResultadoArquivo Falha(CausaArquivo c, int e = 0) { return {c, e}; }
};

// The cause of an errno value of open/read/write/rename/unlink. `criando`
// tells an open that creates: a missing component is then a bad path.
CausaArquivo CausaDeErrno(int erro, bool criando = false);

// How a file is opened.
enum class AberturaSO {
    leituraSemBloqueio,      // read only, no lock, denies nobody
    leituraGravacao,         // read/write, must exist, denies other writers
    leituraGravacaoCriacao,  // read/write, created when missing, never truncated, denies other writers
    criacaoTruncada,         // read/write, created or emptied, denies other writers (work copies)
};

// One open file. Destroying it closes the file and releases its lock.
class IArquivoAberto {
public:
    virtual ~IArquivoAberto() = default;
    // Reads up to `tamanho` bytes at `posicao`; `lidos` is what came (less at the end of the file).
    virtual ResultadoArquivo Le(uint64_t posicao, void* destino, std::size_t tamanho, std::size_t& lidos) = 0;
    // Writes all `tamanho` bytes at `posicao` (a short write is a failure).
    virtual ResultadoArquivo Grava(uint64_t posicao, const void* origem, std::size_t tamanho) = 0;
    virtual ResultadoArquivo Tamanho(uint64_t& tamanho) = 0;
    // Brings the file's data to stable storage.
    virtual ResultadoArquivo Sincroniza() = 0;
    // Sets the file's length to `tamanho` bytes: what lies beyond is cut off
    // (a longer length adds zeros). The engine cuts off what a failed write
    // left past the end of the data it holds. A layer that cannot do it
    // reports a failure (the default); the engine then refuses further
    // writes to that file rather than keep writing next to stray bytes.
    virtual ResultadoArquivo Trunca(uint64_t /*tamanho*/) { return ResultadoArquivo::Falha(CausaArquivo::generica); }
};

// What tells one version of a file from another without reading it: writing
// a file or replacing it by rename gives it another identity.
struct IdentidadeArquivo {
    uint64_t dispositivo = 0;
    uint64_t inode = 0;
    uint64_t tamanho = 0;
    int64_t modificacaoNs = 0;
    int64_t mudancaNs = 0;
    bool operator==(const IdentidadeArquivo&) const = default;
};

class ISistemaArquivos {
public:
    virtual ~ISistemaArquivos() = default;
    virtual ResultadoArquivo Abre(const std::filesystem::path& caminho, AberturaSO modo,
                                  std::unique_ptr<IArquivoAberto>& arquivo) = 0;
    // False also when the path cannot be examined.
    virtual bool Existe(const std::filesystem::path& caminho) = 0;
    // True when the file carries no write permission for anyone (the read-only attribute).
    virtual bool SomenteLeitura(const std::filesystem::path& caminho) = 0;
    // The file's identity; false when it cannot be examined or the layer
    // keeps none (then callers read the file instead of trusting a copy).
    virtual bool Identidade(const std::filesystem::path& /*caminho*/, IdentidadeArquivo& /*identidade*/) {
        return false;
    }
    // Names of the entries of a directory (no "." or ".."); empty when it cannot be listed.
    virtual std::vector<std::string> ListaDiretorio(const std::filesystem::path& diretorio) = 0;
    virtual ResultadoArquivo CriaDiretorios(const std::filesystem::path& diretorio) = 0;
    // Deletes a file; a file held by a writer is a sharing violation; a missing file is success.
    virtual ResultadoArquivo Remove(const std::filesystem::path& caminho) = 0;
    // Moves `origem` over `destino`, replacing it. With `verificaDestino` a
    // destination held by a writer is a sharing violation; without it the
    // caller holds that writer's lock itself.
    virtual ResultadoArquivo Renomeia(const std::filesystem::path& origem, const std::filesystem::path& destino,
                                      bool verificaDestino) = 0;
    // Makes the directory's entries (after a create, rename or delete) durable.
    virtual ResultadoArquivo SincronizaDiretorio(const std::filesystem::path& diretorio) = 0;
    // The pause between attempts.
    virtual void Pausa(std::chrono::milliseconds duracao) = 0;
    // Takes an exclusive lock on a directory, held until `trava` is
    // destroyed (or its holder dies), without waiting: a lock another holder
    // has is a sharing violation, from this process or another. Nothing is
    // written to the directory.
    virtual ResultadoArquivo TravaDiretorio(const std::filesystem::path& diretorio,
                                            std::unique_ptr<IArquivoAberto>& trava) = 0;
};

// The real layer on POSIX files with open-file-description locks.
std::shared_ptr<ISistemaArquivos> CriaSistemaArquivosReal();

// The layer in use (the real one unless a test installed another).
std::shared_ptr<ISistemaArquivos> ArquivoSO();
void DefineArquivoSO(std::shared_ptr<ISistemaArquivos> sistema);  // null restores the real one

// Retry counts of the engine: opening a busy file, writing, deleting and
// renaming; the pause between attempts; and how long an open waits for a
// file (or marker) another writer holds: after its counted attempts it goes
// on trying, with pauses growing up to 50 ms, until `esperaOcupado` has
// passed since its first attempt. Zero here waits no longer than the
// counted attempts; the process's own policy takes the registry value
// "QVDataBase_EsperaArquivoOcupadoMs" (default 30,000 ms), so that a
// start-up waits out another process's use of the company, compaction
// included, within a bound and never without one.
struct PoliticaTentativas {
    unsigned tentativasAbertura = 500;
    unsigned tentativasGravacao = 50;
    std::chrono::milliseconds pausa{10};
    std::chrono::milliseconds esperaOcupado{0};
};
inline constexpr std::chrono::milliseconds kEsperaOcupadoPadrao{30000};
PoliticaTentativas TentativasArquivo();
void DefineTentativasArquivo(const PoliticaTentativas& politica);

// Whether a failure is another writer holding the file.
inline bool OcupadoPorOutro(CausaArquivo causa) {
    return causa == CausaArquivo::violacaoCompartilhamento || causa == CausaArquivo::violacaoBloqueio;
}

// Runs `tentativa` (an open, answering a ResultadoArquivo) under the policy
// in use until it succeeds, fails in a way `definitiva` says no waiting
// cures, or runs out: the counted attempts `pausa` apart, then, while the
// file is busy (OcupadoPorOutro), until `esperaOcupado` has passed. Answers
// the last result.
template <class Tentativa, class Definitiva>
ResultadoArquivo TentaAbrir(Tentativa&& tentativa, Definitiva&& definitiva) {
    const auto so = ArquivoSO();
    const PoliticaTentativas politica = TentativasArquivo();
    const unsigned tentativas = politica.tentativasAbertura == 0 ? 1 : politica.tentativasAbertura;
    const auto limite = std::chrono::steady_clock::now() + politica.esperaOcupado;
    constexpr std::chrono::milliseconds kPausaMaxima{50};
    std::chrono::milliseconds pausaOcupado = std::max(politica.pausa, std::chrono::milliseconds(1));
    ResultadoArquivo r;
    for (unsigned i = 1;; ++i) {
        r = tentativa();
        if (r.Ok() || definitiva(r)) return r;
        if (i < tentativas) {
            so->Pausa(politica.pausa);
            continue;
        }
        if (!OcupadoPorOutro(r.causa) || std::chrono::steady_clock::now() >= limite) return r;
        so->Pausa(pausaOcupado);
        pausaOcupado = std::min(pausaOcupado * 2, kPausaMaxima);
    }
}

// Moves `origem` over `destino` (see ISistemaArquivos::Renomeia) as often as
// the policy in use allows writes to be tried, `pausa` apart, until it
// succeeds. Answers the last result; the directory is not synced.
ResultadoArquivo RenomeiaComTentativas(const std::filesystem::path& origem, const std::filesystem::path& destino,
                                       bool verificaDestino);

// Installs a layer and/or a retry policy for the lifetime of the object (tests).
class EscopoArquivoSO {
public:
    explicit EscopoArquivoSO(std::shared_ptr<ISistemaArquivos> sistema) : m_politicaAnterior(TentativasArquivo()) {
        DefineArquivoSO(std::move(sistema));
    }
    EscopoArquivoSO(std::shared_ptr<ISistemaArquivos> sistema, const PoliticaTentativas& politica)
        : EscopoArquivoSO(std::move(sistema)) {
        DefineTentativasArquivo(politica);
    }
    ~EscopoArquivoSO() {
        DefineArquivoSO(nullptr);
        DefineTentativasArquivo(m_politicaAnterior);
    }
    EscopoArquivoSO(const EscopoArquivoSO&) = delete;
    EscopoArquivoSO& operator=(const EscopoArquivoSO&) = delete;

private:
    PoliticaTentativas m_politicaAnterior;
};

// A layer that passes every call to another; tests derive from it and
// override the calls they want to count or fail.
class SistemaArquivosRepassador : public ISistemaArquivos {
public:
    explicit SistemaArquivosRepassador(std::shared_ptr<ISistemaArquivos> base) : m_base(std::move(base)) {}
    ResultadoArquivo Abre(const std::filesystem::path& caminho, AberturaSO modo,
                          std::unique_ptr<IArquivoAberto>& arquivo) override {
        return m_base->Abre(caminho, modo, arquivo);
    }
    bool Existe(const std::filesystem::path& caminho) override { return m_base->Existe(caminho); }
    bool SomenteLeitura(const std::filesystem::path& caminho) override { return m_base->SomenteLeitura(caminho); }
    std::vector<std::string> ListaDiretorio(const std::filesystem::path& diretorio) override {
        return m_base->ListaDiretorio(diretorio);
    }
    ResultadoArquivo CriaDiretorios(const std::filesystem::path& diretorio) override {
        return m_base->CriaDiretorios(diretorio);
    }
    ResultadoArquivo Remove(const std::filesystem::path& caminho) override { return m_base->Remove(caminho); }
    ResultadoArquivo Renomeia(const std::filesystem::path& origem, const std::filesystem::path& destino,
                              bool verificaDestino) override {
        return m_base->Renomeia(origem, destino, verificaDestino);
    }
    ResultadoArquivo SincronizaDiretorio(const std::filesystem::path& diretorio) override {
        return m_base->SincronizaDiretorio(diretorio);
    }
    void Pausa(std::chrono::milliseconds duracao) override { m_base->Pausa(duracao); }
    ResultadoArquivo TravaDiretorio(const std::filesystem::path& diretorio,
                                    std::unique_ptr<IArquivoAberto>& trava) override {
        return m_base->TravaDiretorio(diretorio, trava);
    }

protected:
    std::shared_ptr<ISistemaArquivos> m_base;
};

}  // namespace zenta
