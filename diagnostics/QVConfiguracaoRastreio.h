// The switches of call tracing: the file "log.ini" in the base module's
// program directory, section "Log". The configuration is process-wide, read
// at its first use and again whenever "TimeoutConfig" seconds have passed
// since the last reading, so that tracing is switched on and off without a
// restart.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zenta {

// A small INI reader: "[Section]" lines, "key=value" lines, comments from
// ';' or '#' at the start of a line; names compare without regard to case;
// the first of repeated sections and keys counts; blanks around names and
// values and one pair of surrounding quotes are dropped. Lines longer than
// 1,024 bytes and lines without '=' are skipped; only the first 64 KiB of a
// file are read.
class CQVArquivoIni {
public:
    static constexpr std::size_t kTamanhoMaximoArquivo = 64 * 1024;
    static constexpr std::size_t kTamanhoMaximoLinha = 1024;

    // An empty file when it cannot be read.
    static CQVArquivoIni Le(const std::filesystem::path& arquivo);
    static CQVArquivoIni DoTexto(std::string_view texto);

    // The value of a key; null when the section or the key is missing.
    const std::string* Valor(std::string_view secao, std::string_view chave) const;
    // As the profile API reads an integer: the leading decimal number of the
    // value (optional sign), 0 when there is none and also when negative;
    // `padrao` when the key is missing or empty.
    int Inteiro(std::string_view secao, std::string_view chave, int padrao) const;
    // The value cut to `maximo` bytes; `padrao` when the key is missing.
    std::string Texto(std::string_view secao, std::string_view chave, std::string_view padrao,
                      std::size_t maximo) const;

private:
    // section (lower case) -> key (lower case) -> value
    std::map<std::string, std::map<std::string, std::string>> m_secoes;
};

struct CQVConfiguracaoRastreio {
    int iEntrada = 0;
    int iSaida = 0;
    int iCoCreateInstance = 0;
    int iPerformance = 0;
    int iMemory = 0;
    int iTimeoutConfig = 600;
    std::string strProcessos = "todos";  // lower case
    std::vector<std::string> processos;
    std::string strQVDataBase = "0";
    bool bQVDataBaseTodos = false;
    std::vector<std::string> partesQVDataBase;

    // An integer switch counts as on only when it is exactly 1.
    bool Entrada() const { return iEntrada == 1; }
    bool Saida() const { return iSaida == 1; }
    bool CoCreateInstance() const { return iCoCreateInstance == 1; }
    bool Performance() const { return iPerformance == 1; }
    bool Memory() const { return iMemory == 1; }

    // False when "Performance" or "Memory" is on while neither "Entrada" nor
    // "Saida" is; otherwise whether "Entrada", "Saida" or "CoCreateInstance" is.
    bool Habilitado() const;
    // True when "Processos" lists "todos", or the process name (compared in
    // lower case) contains one of the listed words.
    bool FiltroProcesso(std::string_view nomeProcesso) const;
    // The engine's classes: with "QVDataBase" "1" or "todos" everything is
    // traced; with a list only names containing one of its parts; otherwise
    // everything but the names containing one of the engine's classes.
    bool FiltroClasse(std::string_view classeFuncao) const;

    static CQVConfiguracaoRastreio DoIni(const CQVArquivoIni& ini);
};

// The file "log.ini" of the base module's program directory.
std::filesystem::path ArquivoConfiguracaoRastreio();

// The configuration in force, read again when it is due.
std::shared_ptr<const CQVConfiguracaoRastreio> ConfiguracaoRastreio();

// Makes the next use read the file again, whatever the time-out (for a
// change of the program directory, and for tests).
void InvalidaConfiguracaoRastreio();

}  // namespace zenta
