#include "core/qvdatabase/QVArquivoSO.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "platform/QVDiretorios.h"
#include "diagnostics/QVGuardaFalhas.h"
#include "platform/Registry.h"

namespace zenta {

CausaArquivo CausaDeErrno(int erro, bool criando) {
    switch (erro) {
        case 0: return CausaArquivo::nenhuma;
        case ENOENT: return criando ? CausaArquivo::caminhoInvalido : CausaArquivo::arquivoNaoEncontrado;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP: return CausaArquivo::caminhoInvalido;
        case EISDIR:
        case EBADF:
        case ENXIO:
        case ENODEV: return CausaArquivo::arquivoInvalido;
        case EMFILE:
        case ENFILE: return CausaArquivo::muitosArquivosAbertos;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY: return CausaArquivo::acessoNegado;
        case EMLINK: return CausaArquivo::diretorioCheio;
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return CausaArquivo::discoCheio;
        case EINVAL:
        case ESPIPE:
        case EOVERFLOW: return CausaArquivo::posicionamentoInvalido;
        case EIO: return CausaArquivo::erroFisico;
        case EAGAIN:
        case EBUSY: return CausaArquivo::violacaoCompartilhamento;
        case EDEADLK:
        case ENOLCK: return CausaArquivo::violacaoBloqueio;
        default: return CausaArquivo::generica;
    }
}

namespace {

ResultadoArquivo FalhaErrno(int erro, bool criando = false) {
    return ResultadoArquivo::Falha(CausaDeErrno(erro, criando), erro);
}

// Takes the whole-file write lock of an open file description without
// waiting. Locks of one description never conflict with themselves, so two
// file objects of one process conflict exactly like two processes.
bool TravaEscrita(int fd) {
    struct flock trava {};
    trava.l_type = F_WRLCK;
    trava.l_whence = SEEK_SET;
    trava.l_start = 0;
    trava.l_len = 0;
    trava.l_pid = 0;
    while (::fcntl(fd, F_OFD_SETLK, &trava) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

// Files opened inside a guarded call, with the opening thread and the
// guard's serial number: a machine fault caught by that guard abandons them
// (AbandonaArquivosAposFalha), because the frames that owned them are gone
// and would otherwise keep their locks for the life of the process.
struct AberturaGuardada {
    std::thread::id thread;
    uint64_t uSerie;
    int fd;
};
std::mutex g_travaAbertos;
std::unordered_map<const void*, AberturaGuardada> g_abertosGuardados;

// Lets go of the open file descriptions of the files the faulting thread
// opened since the guard's arming: each descriptor is pointed at /dev/null
// opened read-only (dup2 is atomic), so that the file's lock goes with its
// description, the number is not handed to another open while an abandoned
// object may still use it, and every later write through it fails
// (reads find nothing).
void AbandonaArquivosAposFalha(uint64_t uSerie) {
    static const int fdNulo = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const std::lock_guard trava(g_travaAbertos);
    const std::thread::id eu = std::this_thread::get_id();
    for (auto it = g_abertosGuardados.begin(); it != g_abertosGuardados.end();) {
        if (it->second.thread == eu && it->second.uSerie >= uSerie) {
            if (fdNulo >= 0) {
                while (::dup2(fdNulo, it->second.fd) < 0 && errno == EINTR) {
                }
            }
            it = g_abertosGuardados.erase(it);
        } else {
            ++it;
        }
    }
}

[[maybe_unused]] const bool g_acaoRegistrada = [] {
    RegistraAcaoAposFalha(&AbandonaArquivosAposFalha);
    return true;
}();

class ArquivoPosix final : public IArquivoAberto {
public:
    explicit ArquivoPosix(int fd) : m_fd(fd) {
        if (const uint64_t serie = SerieGuardaAtual(); serie != 0) {
            const std::lock_guard trava(g_travaAbertos);
            g_abertosGuardados[this] = AberturaGuardada{std::this_thread::get_id(), serie, fd};
        }
    }
    ~ArquivoPosix() override {
        {
            const std::lock_guard trava(g_travaAbertos);
            g_abertosGuardados.erase(this);
        }
        ::close(m_fd);
    }
    ArquivoPosix(const ArquivoPosix&) = delete;
    ArquivoPosix& operator=(const ArquivoPosix&) = delete;

    ResultadoArquivo Le(uint64_t posicao, void* destino, std::size_t tamanho, std::size_t& lidos) override {
        lidos = 0;
        auto* p = static_cast<unsigned char*>(destino);
        while (lidos < tamanho) {
            const uint64_t onde = posicao + lidos;
            if (onde > static_cast<uint64_t>(INT64_MAX)) return ResultadoArquivo::Falha(CausaArquivo::posicionamentoInvalido);
            const ssize_t n = ::pread(m_fd, p + lidos, tamanho - lidos, static_cast<off_t>(onde));
            if (n < 0) {
                if (errno == EINTR) continue;
                return FalhaErrno(errno);
            }
            if (n == 0) break;
            lidos += static_cast<std::size_t>(n);
        }
        return ResultadoArquivo::Sucesso();
    }

    ResultadoArquivo Grava(uint64_t posicao, const void* origem, std::size_t tamanho) override {
        std::size_t gravados = 0;
        const auto* p = static_cast<const unsigned char*>(origem);
        while (gravados < tamanho) {
            const uint64_t onde = posicao + gravados;
            if (onde > static_cast<uint64_t>(INT64_MAX)) return ResultadoArquivo::Falha(CausaArquivo::posicionamentoInvalido);
            const ssize_t n = ::pwrite(m_fd, p + gravados, tamanho - gravados, static_cast<off_t>(onde));
            if (n < 0) {
                if (errno == EINTR) continue;
                return FalhaErrno(errno);
            }
            if (n == 0) return ResultadoArquivo::Falha(CausaArquivo::discoCheio);
            gravados += static_cast<std::size_t>(n);
        }
        return ResultadoArquivo::Sucesso();
    }

    ResultadoArquivo Tamanho(uint64_t& tamanho) override {
        struct stat st {};
        if (::fstat(m_fd, &st) != 0) return FalhaErrno(errno);
        tamanho = static_cast<uint64_t>(st.st_size);
        return ResultadoArquivo::Sucesso();
    }

    ResultadoArquivo Sincroniza() override {
        if (::fsync(m_fd) != 0) return FalhaErrno(errno);
        return ResultadoArquivo::Sucesso();
    }

    ResultadoArquivo Trunca(uint64_t tamanho) override {
        if (tamanho > static_cast<uint64_t>(INT64_MAX)) return ResultadoArquivo::Falha(CausaArquivo::posicionamentoInvalido);
        while (::ftruncate(m_fd, static_cast<off_t>(tamanho)) != 0) {
            if (errno != EINTR) return FalhaErrno(errno);
        }
        return ResultadoArquivo::Sucesso();
    }

private:
    int m_fd;
};

// Opens a file only to see whether a writer holds it; the probe's own lock
// goes with its descriptor. Success when nobody holds it or it is missing.
ResultadoArquivo VerificaSemEscritor(const std::filesystem::path& caminho, int& fdTrava) {
    fdTrava = -1;
    const int fd = ::open(caminho.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        // Missing, or not writable for us (read-only file): nothing to probe.
        if (errno == ENOENT || errno == EACCES || errno == EPERM || errno == EROFS || errno == ELOOP ||
            errno == EISDIR)
            return ResultadoArquivo::Sucesso();
        return FalhaErrno(errno);
    }
    if (!TravaEscrita(fd)) {
        const int erro = errno;
        ::close(fd);
        if (erro == EAGAIN || erro == EACCES) return ResultadoArquivo::Falha(CausaArquivo::violacaoCompartilhamento, erro);
        return FalhaErrno(erro);
    }
    fdTrava = fd;
    return ResultadoArquivo::Sucesso();
}

class SistemaArquivosPosix final : public ISistemaArquivos {
public:
    ResultadoArquivo Abre(const std::filesystem::path& caminho, AberturaSO modo,
                          std::unique_ptr<IArquivoAberto>& arquivo) override {
        arquivo.reset();
        int flags = O_CLOEXEC | O_NOFOLLOW;
        bool criando = false;
        switch (modo) {
            case AberturaSO::leituraSemBloqueio: flags |= O_RDONLY; break;
            case AberturaSO::leituraGravacao: flags |= O_RDWR; break;
            case AberturaSO::leituraGravacaoCriacao:
            case AberturaSO::criacaoTruncada:
                flags |= O_RDWR | O_CREAT;
                criando = true;
                break;
        }
        int fd = -1;
        do {
            fd = ::open(caminho.c_str(), flags, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return FalhaErrno(errno, criando);

        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return ResultadoArquivo::Falha(CausaArquivo::arquivoInvalido);
        }
        if (modo != AberturaSO::leituraSemBloqueio) {
            if (!TravaEscrita(fd)) {
                const int erro = errno;
                ::close(fd);
                if (erro == EAGAIN || erro == EACCES)
                    return ResultadoArquivo::Falha(CausaArquivo::violacaoCompartilhamento, erro);
                return FalhaErrno(erro);
            }
            // The name may have been renamed over or deleted between our open
            // and our lock: then the lock guards a file nobody reaches any
            // more, and the open is tried again.
            struct stat atual {};
            if (::stat(caminho.c_str(), &atual) != 0 || atual.st_ino != st.st_ino || atual.st_dev != st.st_dev) {
                ::close(fd);
                return ResultadoArquivo::Falha(CausaArquivo::violacaoCompartilhamento);
            }
            if (modo == AberturaSO::criacaoTruncada && ::ftruncate(fd, 0) != 0) {
                const int erro = errno;
                ::close(fd);
                return FalhaErrno(erro);
            }
        }
        arquivo = std::make_unique<ArquivoPosix>(fd);
        return ResultadoArquivo::Sucesso();
    }

    bool Existe(const std::filesystem::path& caminho) override {
        struct stat st {};
        return ::lstat(caminho.c_str(), &st) == 0;
    }

    bool SomenteLeitura(const std::filesystem::path& caminho) override {
        struct stat st {};
        if (::stat(caminho.c_str(), &st) != 0) return false;
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    }

    bool Identidade(const std::filesystem::path& caminho, IdentidadeArquivo& identidade) override {
        struct stat st {};
        if (::stat(caminho.c_str(), &st) != 0) return false;
        identidade.dispositivo = st.st_dev;
        identidade.inode = st.st_ino;
        identidade.tamanho = static_cast<uint64_t>(st.st_size);
        identidade.modificacaoNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        identidade.mudancaNs = static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
        return true;
    }

    std::vector<std::string> ListaDiretorio(const std::filesystem::path& diretorio) override {
        std::vector<std::string> nomes;
        DIR* d = ::opendir(diretorio.c_str());
        if (d == nullptr) return nomes;
        while (const dirent* e = ::readdir(d)) {
            const std::string nome = e->d_name;
            if (nome != "." && nome != "..") nomes.push_back(nome);
        }
        ::closedir(d);
        return nomes;
    }

    ResultadoArquivo CriaDiretorios(const std::filesystem::path& diretorio) override {
        std::error_code ec;
        std::filesystem::create_directories(diretorio, ec);
        if (ec) return FalhaErrno(ec.value(), true);
        return ResultadoArquivo::Sucesso();
    }

    ResultadoArquivo Remove(const std::filesystem::path& caminho) override {
        int fdTrava = -1;
        const ResultadoArquivo r = VerificaSemEscritor(caminho, fdTrava);
        if (!r.Ok()) return r;
        int erro = 0;
        if (::unlink(caminho.c_str()) != 0 && errno != ENOENT) erro = errno;
        if (fdTrava >= 0) ::close(fdTrava);
        if (erro != 0) return FalhaErrno(erro);
        return ResultadoArquivo::Sucesso();
    }

    ResultadoArquivo Renomeia(const std::filesystem::path& origem, const std::filesystem::path& destino,
                              bool verificaDestino) override {
        int fdTrava = -1;
        if (verificaDestino) {
            const ResultadoArquivo r = VerificaSemEscritor(destino, fdTrava);
            if (!r.Ok()) return r;
        }
        int erro = 0;
        if (::rename(origem.c_str(), destino.c_str()) != 0) erro = errno;
        if (fdTrava >= 0) ::close(fdTrava);
        if (erro != 0) return FalhaErrno(erro);
        return ResultadoArquivo::Sucesso();
    }

    ResultadoArquivo SincronizaDiretorio(const std::filesystem::path& diretorio) override {
        const int fd = ::open(diretorio.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return FalhaErrno(errno);
        const int r = ::fsync(fd);
        const int erro = errno;
        ::close(fd);
        if (r != 0 && erro != EINVAL) return FalhaErrno(erro);
        return ResultadoArquivo::Sucesso();
    }

    void Pausa(std::chrono::milliseconds duracao) override {
        if (duracao.count() > 0) std::this_thread::sleep_for(duracao);
    }

    ResultadoArquivo TravaDiretorio(const std::filesystem::path& diretorio,
                                    std::unique_ptr<IArquivoAberto>& trava) override {
        trava.reset();
        int fd = -1;
        do {
            fd = ::open(diretorio.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return FalhaErrno(errno);
        // A lock of the open file description, like the files' own: two
        // holders in one process conflict like two processes.
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR) continue;
            const int erro = errno;
            ::close(fd);
            if (erro == EWOULDBLOCK) return ResultadoArquivo::Falha(CausaArquivo::violacaoCompartilhamento, erro);
            return FalhaErrno(erro);
        }
        trava = std::make_unique<ArquivoPosix>(fd);
        return ResultadoArquivo::Sucesso();
    }
};

std::mutex g_travaSistema;
std::shared_ptr<ISistemaArquivos> g_sistema;
std::optional<PoliticaTentativas> g_politica;

// The process's own policy: the engine's counts, and the wait for a busy
// file from the registry (read once; 0 or absent gives the default).
PoliticaTentativas PoliticaPadrao() {
    static const PoliticaTentativas padrao = [] {
        PoliticaTentativas p;
        const auto valor = RegLeDword(HKEY_LOCAL_MACHINE, QV_CHAVE_REGISTRO, "QVDataBase_EsperaArquivoOcupadoMs");
        p.esperaOcupado = valor.has_value() && *valor != 0 ? std::chrono::milliseconds(*valor) : kEsperaOcupadoPadrao;
        return p;
    }();
    return padrao;
}

}  // namespace

std::shared_ptr<ISistemaArquivos> CriaSistemaArquivosReal() { return std::make_shared<SistemaArquivosPosix>(); }

std::shared_ptr<ISistemaArquivos> ArquivoSO() {
    const std::lock_guard trava(g_travaSistema);
    if (!g_sistema) g_sistema = CriaSistemaArquivosReal();
    return g_sistema;
}

void DefineArquivoSO(std::shared_ptr<ISistemaArquivos> sistema) {
    const std::lock_guard trava(g_travaSistema);
    g_sistema = sistema ? std::move(sistema) : CriaSistemaArquivosReal();
}

PoliticaTentativas TentativasArquivo() {
    {
        const std::lock_guard trava(g_travaSistema);
        if (g_politica) return *g_politica;
    }
    return PoliticaPadrao();
}

void DefineTentativasArquivo(const PoliticaTentativas& politica) {
    const std::lock_guard trava(g_travaSistema);
    g_politica = politica;
}

ResultadoArquivo RenomeiaComTentativas(const std::filesystem::path& origem, const std::filesystem::path& destino,
                                       bool verificaDestino) {
    const auto so = ArquivoSO();
    const PoliticaTentativas politica = TentativasArquivo();
    const unsigned tentativas = politica.tentativasGravacao == 0 ? 1 : politica.tentativasGravacao;
    ResultadoArquivo r;
    for (unsigned i = 0; i < tentativas; ++i) {
        if (i > 0) so->Pausa(politica.pausa);
        r = so->Renomeia(origem, destino, verificaDestino);
        if (r.Ok()) break;
    }
    return r;
}

}  // namespace zenta
