#include "diagnostics/QVMensagem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/QVDiretorios.h"
#include "platform/QVModulos.h"
#include "platform/CodePage.h"
#include "platform/WinUser.h"

namespace zenta {

namespace {

constexpr std::size_t kTamanhoMaximoLinha = 1024;
constexpr std::size_t kColunaTexto = 8;

struct FechaArquivo {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Reads one line of at most kTamanhoMaximoLinha characters (with its line
// break); the rest of a longer line is skipped, so that it is never taken for
// a line of its own. False at the end of the file.
bool LeLinha(std::FILE* arquivo, std::string& linha) {
    char buffer[kTamanhoMaximoLinha + 2];
    if (std::fgets(buffer, sizeof buffer, arquivo) == nullptr) return false;
    linha.assign(buffer);
    if (!linha.empty() && linha.back() != '\n') {
        int c;
        while ((c = std::fgetc(arquivo)) != EOF && c != '\n') {
        }
        if (linha.size() > kTamanhoMaximoLinha) linha.resize(kTamanhoMaximoLinha);
    }
    return true;
}

// The message number at the start of a line, as atoi reads it, but without
// atoi's undefined result on overflow.
long long NumeroDaLinha(const std::string& linha) {
    errno = 0;
    const long long n = std::strtoll(linha.c_str(), nullptr, 10);
    return errno == ERANGE ? -1 : n;
}

std::string TextoDaLinha(const std::string& linha) {
    if (linha.size() <= kColunaTexto) return {};
    std::string texto;
    texto.reserve(linha.size() - kColunaTexto);
    for (std::size_t i = kColunaTexto; i < linha.size(); ++i) {
        if (linha[i] == '\\' && i + 1 < linha.size() && linha[i + 1] == 'n') {
            texto.push_back('\n');
            ++i;
        } else {
            texto.push_back(linha[i]);
        }
    }
    // The line's own break (also a Windows "\r\n") is not part of the text.
    if (!texto.empty() && texto.back() == '\n') {
        texto.pop_back();
        if (!texto.empty() && texto.back() == '\r') texto.pop_back();
    }
    return texto;
}

}  // namespace

std::filesystem::path CQVMensagem::ArquivoMensagens(ULONG ulModulo) {
    const int modulo = ulModulo <= 0x7FFFFFFFu ? static_cast<int>(ulModulo) : -1;
    return QVDiretorioMensagens() / ("QV" + std::string(QVSiglaModulo(modulo)) + "Mens.txt");
}

CQVMensagem::CQVMensagem(ULONG ulCodigo, ULONG ulModulo) {
    const std::filesystem::path caminho = ArquivoMensagens(ulModulo);
    std::unique_ptr<std::FILE, FechaArquivo> arquivo(std::fopen(caminho.c_str(), "r"));
    if (!arquivo) {
        const std::string aviso = zenta::Utf8OuCp1252ParaCp1252(
            "Não foi possível abrir o arquivo texto de Mensagens " + caminho.string() +
            ". Caso o caminho esteja correto, atualize o arquivo.");
        MessageBoxA(nullptr, aviso.c_str(), "Erro", MB_ICONEXCLAMATION);
        return;
    }
    std::string linha;
    while (LeLinha(arquivo.get(), linha)) {
        if (NumeroDaLinha(linha) == static_cast<long long>(ulCodigo)) {
            m_strMensagem = TextoDaLinha(linha);
            return;
        }
    }
}

}  // namespace zenta
