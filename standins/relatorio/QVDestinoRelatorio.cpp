#include "standins/relatorio/QVDestinoRelatorio.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <string_view>

#include "platform/QVDiretorios.h"
#include "platform/QVHome.h"
#include "platform/Registry.h"

namespace zenta {
namespace {

namespace fs = std::filesystem;

// The folders below $ZENTA_HOME where the system keeps its own files.
constexpr std::string_view kPastasDoSistema[] = {"data", "registry", "programs", "Mensagens", "run", "relatorios"};

// The reports this server wrote, one line per file: device, inode, size and
// modification time. It only ever grows to this size; then it starts again
// (a forgotten report is merely no longer replaced without being removed).
constexpr off_t kTamanhoMaximoIndice = 1 << 20;

fs::path ArquivoIndice() { return ZentaHome() / "run" / "relatorios-gerados"; }

std::string LinhaIndice(const struct stat& st) {
    char linha[128];
    std::snprintf(linha, sizeof linha, "%ju %ju %jd %jd %ld\n", static_cast<uintmax_t>(st.st_dev),
                  static_cast<uintmax_t>(st.st_ino), static_cast<intmax_t>(st.st_size),
                  static_cast<intmax_t>(st.st_mtim.tv_sec), static_cast<long>(st.st_mtim.tv_nsec));
    return linha;
}

// Whether `st` (a regular file) is a report this server wrote and nobody
// changed since.
bool RelatorioGerado(const struct stat& st) {
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) return false;
    const int fd = ::open(ArquivoIndice().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    struct stat indice{};
    std::string texto;
    if (::fstat(fd, &indice) == 0 && S_ISREG(indice.st_mode) && indice.st_size <= kTamanhoMaximoIndice) {
        ::flock(fd, LOCK_SH);
        texto.resize(static_cast<std::size_t>(indice.st_size));
        const ssize_t n = ::pread(fd, texto.data(), texto.size(), 0);
        texto.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    ::close(fd);
    const std::string linha = LinhaIndice(st);
    return texto.rfind(linha, 0) == 0 || texto.find("\n" + linha) != std::string::npos;
}

void LembraRelatorio(const fs::path& destino) {
    struct stat st{};
    if (::lstat(destino.c_str(), &st) != 0) return;
    std::error_code ec;
    fs::create_directories(ArquivoIndice().parent_path(), ec);
    const int fd = ::open(ArquivoIndice().c_str(), O_RDWR | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return;
    struct stat indice{};
    if (::fstat(fd, &indice) == 0 && S_ISREG(indice.st_mode)) {
        ::flock(fd, LOCK_EX);
        if (::fstat(fd, &indice) == 0 && indice.st_size > kTamanhoMaximoIndice) {
            [[maybe_unused]] const int r = ::ftruncate(fd, 0);
        }
        const std::string linha = LinhaIndice(st);
        [[maybe_unused]] const ssize_t n = ::write(fd, linha.data(), linha.size());
    }
    ::close(fd);
}

// `caminho` below `pasta` (both canonical), or the folder itself.
bool Abaixo(const fs::path& caminho, const fs::path& pasta) {
    auto c = caminho.begin();
    for (auto p = pasta.begin(); p != pasta.end(); ++p, ++c) {
        if (p->empty()) continue;  // a trailing separator
        if (c == caminho.end() || *c != *p) return false;
    }
    return true;
}

fs::path Canonico(const fs::path& caminho) {
    std::error_code ec;
    fs::path c = fs::canonical(caminho, ec);
    return ec ? fs::path() : c;
}

}  // namespace

fs::path PastaRelatorios() {
    const auto valor = RegLeTexto(HKEY_LOCAL_MACHINE, QV_CHAVE_REGISTRO, "PastaRelatorios");
    if (!valor || valor->empty() || !fs::path(*valor).is_absolute()) return {};
    return fs::path(*valor);
}

HRESULT VerificaDestinoRelatorio(const fs::path& destino, const Chamador& chamador, std::string& erro) {
    const fs::path nome = destino.filename();
    if (!destino.is_absolute() || nome.empty() || nome == "." || nome == "..") {
        erro = "arquivo de destino inválido: é preciso um caminho absoluto com nome de arquivo";
        return E_INVALIDARG;
    }
    // Decided on the real folder, whatever links the path goes through.
    const fs::path pasta = Canonico(destino.parent_path());
    if (pasta.empty()) {
        erro = "o diretório do arquivo de destino não existe: " + destino.parent_path().string();
        return E_INVALIDARG;
    }
    const fs::path real = pasta / nome;
    const fs::path pastaRelatorios = PastaRelatorios().empty() ? fs::path() : Canonico(PastaRelatorios());
    const bool naPastaRelatorios = !pastaRelatorios.empty() && Abaixo(pasta, pastaRelatorios);

    if (!ChamadorEhUsuarioProprio(chamador) && !naPastaRelatorios) {
        erro = pastaRelatorios.empty()
                   ? "acesso negado: esta instalação não configura uma pasta de relatórios (PastaRelatorios) para "
                     "clientes de outros usuários ou de outras máquinas"
                   : "acesso negado: o relatório só pode ser gravado na pasta de relatórios " +
                         pastaRelatorios.string();
        return E_ACCESSDENIED;
    }
    if (!naPastaRelatorios) {
        if (const fs::path home = Canonico(ZentaHome()); !home.empty() && Abaixo(real, home) && real != home) {
            const fs::path primeira = *real.lexically_relative(home).begin();
            for (const std::string_view reservada : kPastasDoSistema) {
                if (primeira == fs::path(reservada)) {
                    erro = "acesso negado: o destino fica numa pasta de arquivos do sistema: " + (home / primeira).string();
                    return E_ACCESSDENIED;
                }
            }
        }
    }
    struct stat st{};
    if (::lstat(real.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            erro = "o destino existe e não é um arquivo comum: " + destino.string();
            return E_INVALIDARG;
        }
        if (!RelatorioGerado(st)) {
            erro = "o destino já existe e não é um relatório gerado por este servidor; remova-o antes para "
                   "substituí-lo: " + destino.string();
            return E_QV_RELATORIO_DESTINO_EXISTE;
        }
    }
    return S_OK;
}

HRESULT ColocaRelatorio(const fs::path& parcial, const fs::path& destino, std::string& erro) {
    struct stat st{};
    const bool substitui = ::lstat(destino.c_str(), &st) == 0 && RelatorioGerado(st);
    int resultado = 0;
    if (substitui) {
        resultado = ::rename(parcial.c_str(), destino.c_str());
    } else {
        // A file that appeared since the check is never written over.
        resultado = ::renameat2(AT_FDCWD, parcial.c_str(), AT_FDCWD, destino.c_str(), RENAME_NOREPLACE);
        if (resultado != 0 && (errno == EINVAL || errno == ENOSYS)) {
            resultado = ::link(parcial.c_str(), destino.c_str());
            if (resultado == 0) ::unlink(parcial.c_str());
        }
    }
    if (resultado != 0) {
        const int e = errno;
        if (e == EEXIST) {
            erro = "o destino já existe e não é um relatório gerado por este servidor: " + destino.string();
            return E_QV_RELATORIO_DESTINO_EXISTE;
        }
        erro = "não foi possível pôr o relatório no destino: " + destino.string();
        return HRESULT_FROM_WIN32(e == EACCES || e == EPERM ? 5u : 29u);
    }
    LembraRelatorio(destino);
    return S_OK;
}

}  // namespace zenta
