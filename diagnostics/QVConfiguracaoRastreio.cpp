#include "diagnostics/QVConfiguracaoRastreio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <mutex>

#include "platform/QVDiretorios.h"
#include "platform/QVModulos.h"

namespace zenta {

namespace {

char Minuscula(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string EmMinusculas(std::string_view texto) {
    std::string saida(texto);
    for (char& c : saida) c = Minuscula(c);
    return saida;
}

std::string_view Apara(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Words separated by ';', ',' or blanks.
std::vector<std::string> Palavras(std::string_view texto) {
    std::vector<std::string> palavras;
    std::string atual;
    for (const char c : texto) {
        if (c == ';' || c == ',' || c == ' ' || c == '\t') {
            if (!atual.empty()) palavras.push_back(std::move(atual));
            atual.clear();
        } else {
            atual.push_back(c);
        }
    }
    if (!atual.empty()) palavras.push_back(std::move(atual));
    return palavras;
}

constexpr std::string_view kClassesMotor[] = {"CQVDataBase", "CQVFile",     "CQVGroupFile", "CQVGroupTextFile",
                                              "T_QVGroupFileChave", "CQVTextFile", "CQVFileCopia"};

// The longest text of a string key, as the profile API's buffer takes it.
constexpr std::size_t kTamanhoMaximoTexto = 259;

struct EstadoConfiguracao {
    std::mutex trava;
    std::shared_ptr<const CQVConfiguracaoRastreio> atual;
    std::chrono::steady_clock::time_point lida;
    bool bInvalida = true;
};

// Never destroyed: objects released while the process ends still trace.
EstadoConfiguracao& Estado() {
    static EstadoConfiguracao* const estado = new EstadoConfiguracao;
    return *estado;
}

}  // namespace

CQVArquivoIni CQVArquivoIni::DoTexto(std::string_view texto) {
    CQVArquivoIni ini;
    if (texto.size() > kTamanhoMaximoArquivo) texto = texto.substr(0, kTamanhoMaximoArquivo);
    if (texto.substr(0, 3) == "\xEF\xBB\xBF") texto.remove_prefix(3);
    std::map<std::string, std::string>* secao = nullptr;
    while (!texto.empty()) {
        const std::size_t fim = texto.find('\n');
        const std::string_view linhaBruta = texto.substr(0, fim);
        texto = fim == std::string_view::npos ? std::string_view() : texto.substr(fim + 1);
        if (linhaBruta.size() > kTamanhoMaximoLinha) continue;
        const std::string_view linha = Apara(linhaBruta);
        if (linha.empty() || linha.front() == ';' || linha.front() == '#') continue;
        if (linha.front() == '[') {
            const std::size_t fecha = linha.find(']');
            if (fecha == std::string_view::npos) {
                secao = nullptr;
                continue;
            }
            // The first section of a name counts; a repeated one is skipped.
            const std::string nome = EmMinusculas(Apara(linha.substr(1, fecha - 1)));
            secao = ini.m_secoes.count(nome) != 0 ? nullptr : &ini.m_secoes[nome];
            continue;
        }
        const std::size_t igual = linha.find('=');
        if (secao == nullptr || igual == std::string_view::npos) continue;
        const std::string chave = EmMinusculas(Apara(linha.substr(0, igual)));
        if (chave.empty()) continue;
        std::string_view valor = Apara(linha.substr(igual + 1));
        if (valor.size() >= 2 && (valor.front() == '"' || valor.front() == '\'') && valor.back() == valor.front())
            valor = valor.substr(1, valor.size() - 2);
        secao->emplace(chave, std::string(valor));
    }
    return ini;
}

CQVArquivoIni CQVArquivoIni::Le(const std::filesystem::path& arquivo) {
    // Only a regular file: a pipe or a device put in its place must not
    // block or flood the reader.
    const int fd = open(arquivo.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return {};
    struct stat estado {};
    std::string texto;
    if (fstat(fd, &estado) == 0 && S_ISREG(estado.st_mode)) {
        texto.resize(kTamanhoMaximoArquivo);
        std::size_t lido = 0;
        while (lido < texto.size()) {
            const ssize_t n = read(fd, texto.data() + lido, texto.size() - lido);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            lido += static_cast<std::size_t>(n);
        }
        texto.resize(lido);
    }
    close(fd);
    return DoTexto(texto);
}

const std::string* CQVArquivoIni::Valor(std::string_view secao, std::string_view chave) const {
    const auto s = m_secoes.find(EmMinusculas(secao));
    if (s == m_secoes.end()) return nullptr;
    const auto c = s->second.find(EmMinusculas(chave));
    return c == s->second.end() ? nullptr : &c->second;
}

int CQVArquivoIni::Inteiro(std::string_view secao, std::string_view chave, int padrao) const {
    const std::string* valor = Valor(secao, chave);
    if (valor == nullptr || valor->empty()) return padrao;
    std::size_t i = 0;
    bool negativo = false;
    if (i < valor->size() && ((*valor)[i] == '-' || (*valor)[i] == '+')) negativo = (*valor)[i++] == '-';
    long long numero = 0;
    for (; i < valor->size() && (*valor)[i] >= '0' && (*valor)[i] <= '9'; ++i) {
        numero = numero * 10 + ((*valor)[i] - '0');
        if (numero > INT_MAX) numero = INT_MAX;
    }
    return negativo ? 0 : static_cast<int>(numero);
}

std::string CQVArquivoIni::Texto(std::string_view secao, std::string_view chave, std::string_view padrao,
                                 std::size_t maximo) const {
    const std::string* valor = Valor(secao, chave);
    const std::string_view texto = valor != nullptr ? std::string_view(*valor) : padrao;
    return std::string(texto.substr(0, maximo));
}

CQVConfiguracaoRastreio CQVConfiguracaoRastreio::DoIni(const CQVArquivoIni& ini) {
    constexpr std::string_view kSecao = "Log";
    CQVConfiguracaoRastreio c;
    c.iEntrada = ini.Inteiro(kSecao, "Entrada", 0);
    c.iSaida = ini.Inteiro(kSecao, "Saida", 0);
    c.iCoCreateInstance = ini.Inteiro(kSecao, "CoCreateInstance", 0);
    c.iPerformance = ini.Inteiro(kSecao, "Performance", 0);
    c.iMemory = ini.Inteiro(kSecao, "Memory", 0);
    c.iTimeoutConfig = ini.Inteiro(kSecao, "TimeoutConfig", 600);
    c.strProcessos = EmMinusculas(ini.Texto(kSecao, "Processos", "todos", kTamanhoMaximoTexto));
    c.processos = Palavras(c.strProcessos);
    c.strQVDataBase = ini.Texto(kSecao, "QVDataBase", "0", kTamanhoMaximoTexto);
    const std::string qvDataBase = EmMinusculas(Apara(c.strQVDataBase));
    if (qvDataBase == "1" || qvDataBase == "todos") c.bQVDataBaseTodos = true;
    else if (qvDataBase != "0") c.partesQVDataBase = Palavras(c.strQVDataBase);
    return c;
}

bool CQVConfiguracaoRastreio::Habilitado() const {
    if ((Performance() || Memory()) && !Entrada() && !Saida()) return false;
    return Entrada() || Saida() || CoCreateInstance();
}

bool CQVConfiguracaoRastreio::FiltroProcesso(std::string_view nomeProcesso) const {
    const std::string nome = EmMinusculas(nomeProcesso);
    for (const std::string& palavra : processos)
        if (palavra == "todos" || nome.find(palavra) != std::string::npos) return true;
    return false;
}

bool CQVConfiguracaoRastreio::FiltroClasse(std::string_view classeFuncao) const {
    if (bQVDataBaseTodos) return true;
    if (!partesQVDataBase.empty()) {
        for (const std::string& parte : partesQVDataBase)
            if (classeFuncao.find(parte) != std::string_view::npos) return true;
        return false;
    }
    for (const std::string_view classe : kClassesMotor)
        if (classeFuncao.find(classe) != std::string_view::npos) return false;
    return true;
}

std::filesystem::path ArquivoConfiguracaoRastreio() {
    const std::filesystem::path programas = QVDiretorioProgramaModulo(QV_MODULO_DF);
    return programas.empty() ? programas : programas / "log.ini";
}

std::shared_ptr<const CQVConfiguracaoRastreio> ConfiguracaoRastreio() {
    EstadoConfiguracao& estado = Estado();
    const auto agora = std::chrono::steady_clock::now();
    const std::lock_guard<std::mutex> trava(estado.trava);
    const bool vencida =
        estado.atual == nullptr || estado.bInvalida ||
        agora - estado.lida >= std::chrono::seconds(static_cast<long long>(estado.atual->iTimeoutConfig));
    if (vencida) {
        try {
            const std::filesystem::path arquivo = ArquivoConfiguracaoRastreio();
            estado.atual = std::make_shared<const CQVConfiguracaoRastreio>(CQVConfiguracaoRastreio::DoIni(
                arquivo.empty() ? CQVArquivoIni() : CQVArquivoIni::Le(arquivo)));
        } catch (...) {
            if (estado.atual == nullptr) estado.atual = std::make_shared<const CQVConfiguracaoRastreio>();
        }
        estado.lida = agora;
        estado.bInvalida = false;
    }
    return estado.atual;
}

void InvalidaConfiguracaoRastreio() {
    EstadoConfiguracao& estado = Estado();
    const std::lock_guard<std::mutex> trava(estado.trava);
    estado.bInvalida = true;
}

}  // namespace zenta
