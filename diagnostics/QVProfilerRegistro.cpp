#include "diagnostics/QVProfilerRegistro.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <system_error>

#include "platform/QVDiretorios.h"
#include "platform/QVModulos.h"
#include "platform/CodePage.h"

namespace zenta {

namespace {

// Longest text of one field; the error text may be longer.
constexpr std::size_t kTamanhoMaximoCampo = 2048;
constexpr std::size_t kTamanhoMaximoLog = 16384;

constexpr std::string_view kCabecalhoInicio =
    "Data\tHora\tProcesso\tUsuarioLocal\tClasseFuncao\tGuid\tEmpresa\tUsuario\tSessao\tThreadID\tEmpresa\tUsuario\t"
    "NumeroSessao\tUsuarioDominio\tAplicativo\tModuleName\tArquivoFonte\tLinhaFonte\tWTS\tFiller\tFiller\tTipo\t"
    "MemoriaDisponivel\tMemoriaTotal\tMemoriaComponente\t";
constexpr std::string_view kCabecalhoErro = "VersaoFarol\tVersaoSO\tArquivo\tLinha\tLog";
constexpr std::string_view kCabecalhoDesempenho = "Duracao\tDeltaMemoria";
constexpr std::string_view kCabecalhoFim =
    "\tParameter1\tParameter2\tParameter3\tParameter4\tParameter5\tParameter6\tParameter7\tParameter8\tParameter9\n";

constexpr std::size_t kColunasInicializacao = 11;

// A field's text: control characters (line breaks above all) become blanks,
// and so do tabs unless the field keeps them; cut at `maximo` bytes without
// splitting a UTF-8 sequence.
void AcrescentaCampo(std::string& linha, std::string_view texto, bool manterTab = false,
                     std::size_t maximo = kTamanhoMaximoCampo) {
    if (texto.size() > maximo) {
        std::size_t corte = maximo;
        while (corte > 0 && (static_cast<unsigned char>(texto[corte]) & 0xC0) == 0x80) --corte;
        texto = texto.substr(0, corte);
    }
    for (const char c : texto) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 && !(c == '\t' && manterTab)) linha.push_back(' ');
        else linha.push_back(c);
    }
}

void Separador(std::string& linha) { linha.push_back('\t'); }

// A zero-terminated text of a fixed-size field of a wire record (Windows-1252).
std::string TextoDoCampo(const char* campo, std::size_t tamanho) {
    return Cp1252ParaUtf8(std::string_view(campo, strnlen(campo, tamanho)));
}

std::string Numero(long long valor) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", valor);
    return buffer;
}

std::string NovoGuid() {
    thread_local std::mt19937_64 gerador{std::random_device{}()};
    const uint64_t a = gerador();
    const uint64_t b = gerador();
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%04X-%012" PRIX64 "}", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>((a >> 16) & 0xFFFFu), static_cast<unsigned>((a & 0x0FFFu) | 0x4000u),
                  static_cast<unsigned>(((b >> 48) & 0x3FFFu) | 0x8000u), static_cast<uint64_t>(b & 0xFFFFFFFFFFFFull));
    return buffer;
}

const std::string& NomeProcesso() {
    static const std::string nome = [] {
        char buffer[4096];
        const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n > 0) return std::filesystem::path(std::string(buffer, static_cast<std::size_t>(n))).filename().string();
        return std::string(program_invocation_short_name);
    }();
    return nome;
}

const std::string& UsuarioLocal() {
    static const std::string nome = [] {
        passwd entrada{};
        passwd* resultado = nullptr;
        char buffer[4096];
        if (getpwuid_r(geteuid(), &entrada, buffer, sizeof buffer, &resultado) == 0 && resultado != nullptr &&
            resultado->pw_name != nullptr)
            return std::string(resultado->pw_name);
        if (const char* usuario = std::getenv("USER"); usuario != nullptr) return std::string(usuario);
        return Numero(geteuid());
    }();
    return nome;
}

const std::string& CabecalhoDoTipo(bool erro) {
    static const std::string cabecalhoErro =
        std::string(kCabecalhoInicio) + std::string(kCabecalhoErro) + std::string(kCabecalhoFim);
    static const std::string cabecalhoDesempenho =
        std::string(kCabecalhoInicio) + std::string(kCabecalhoDesempenho) + std::string(kCabecalhoFim);
    return erro ? cabecalhoErro : cabecalhoDesempenho;
}

bool EscreveTudo(int fd, std::string_view dados) {
    while (!dados.empty()) {
        const ssize_t n = write(fd, dados.data(), dados.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        dados.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

constexpr mode_t kPermissaoArquivo = 0664;

// Makes the file appear with its header already in it: the header goes to a
// private temporary file that is then linked under the final name, which
// fails if another writer was first. So no record can ever come before the
// header. Where the file system has no hard links, the creator is the one
// whose exclusive create succeeds.
bool CriaComCabecalho(const std::filesystem::path& arquivo, std::string_view cabecalho) {
    std::string modelo = arquivo.string() + ".novo.XXXXXX";
    const int temporario = mkostemp(modelo.data(), O_CLOEXEC);
    if (temporario >= 0) {
        const bool escrito = EscreveTudo(temporario, cabecalho) && fchmod(temporario, kPermissaoArquivo) == 0;
        close(temporario);
        int resultado = escrito ? link(modelo.c_str(), arquivo.c_str()) : -1;
        const int erroLink = errno;
        unlink(modelo.c_str());
        if (resultado == 0 || (escrito && erroLink == EEXIST)) return true;
        if (!escrito || (erroLink != EPERM && erroLink != ENOTSUP && erroLink != EOPNOTSUPP && erroLink != EXDEV))
            return false;
    }
    const int fd =
        open(arquivo.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, kPermissaoArquivo);
    if (fd < 0) return errno == EEXIST;
    const bool escrito = EscreveTudo(fd, cabecalho);
    close(fd);
    return escrito;
}

int AbreParaAcrescentar(const std::filesystem::path& arquivo) {
    int fd;
    do {
        fd = open(arquivo.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

const std::string& NomeProcessoAtual() { return NomeProcesso(); }

std::string_view NomeTipoRegistro(TipoRegistroProfiler tipo) {
    switch (tipo) {
        case TipoRegistroProfiler::Entrou: return "ENTROU";
        case TipoRegistroProfiler::Saiu: return "SAIU";
        case TipoRegistroProfiler::CoCreate: return "COCREATE";
        case TipoRegistroProfiler::Erro: return "ERRO";
    }
    return {};
}

MemoriaProcesso LeMemoriaProcesso() {
    MemoriaProcesso memoria;
    if (std::FILE* f = std::fopen("/proc/meminfo", "re"); f != nullptr) {
        char linha[256];
        while (std::fgets(linha, sizeof linha, f) != nullptr) {
            long long kb = 0;
            if (std::sscanf(linha, "MemTotal: %lld kB", &kb) == 1) memoria.llTotal = kb * 1024;
            else if (std::sscanf(linha, "MemAvailable: %lld kB", &kb) == 1) memoria.llDisponivel = kb * 1024;
        }
        std::fclose(f);
    }
    if (std::FILE* f = std::fopen("/proc/self/statm", "re"); f != nullptr) {
        long long paginas = 0;
        long long residentes = 0;
        if (std::fscanf(f, "%lld %lld", &paginas, &residentes) == 2) {
            const long tamanhoPagina = sysconf(_SC_PAGESIZE);
            memoria.llComponente = residentes * (tamanhoPagina > 0 ? tamanhoPagina : 4096);
        }
        std::fclose(f);
    }
    return memoria;
}

RegistroProfiler NovoRegistro(TipoRegistroProfiler tipo, const CQVContextoProfiler& contexto,
                              std::string_view classeFuncao) {
    RegistroProfiler registro;
    registro.tipo = tipo;
    registro.instante = std::chrono::system_clock::now();
    if (contexto.pProfiler != nullptr) {
        registro.strEmpresa = contexto.pProfiler->GetEmpresa();
        registro.usUsuario = contexto.pProfiler->GetUsuario();
        registro.ulSessao = contexto.pProfiler->GetNumeroSessao();
    }
    if (contexto.pInicializacao != nullptr && contexto.pInicializacao->cControle == QV_CONTROLE_INICIALIZACAO)
        registro.inicializacao = *contexto.pInicializacao;
    registro.strClasseFuncao = classeFuncao;
    return registro;
}

const std::string& CabecalhoRegistro(TipoRegistroProfiler tipo) {
    return CabecalhoDoTipo(tipo == TipoRegistroProfiler::Erro);
}

std::string LinhaRegistro(const RegistroProfiler& r) {
    std::string linha;
    linha.reserve(512 + r.strLog.size());
    char buffer[64];

    const std::time_t segundos = std::chrono::system_clock::to_time_t(r.instante);
    const auto milissegundos =
        std::chrono::duration_cast<std::chrono::milliseconds>(r.instante.time_since_epoch()).count() % 1000;
    std::tm data{};
    localtime_r(&segundos, &data);
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d\t%02d:%02d:%02d.%03d", data.tm_mday, data.tm_mon + 1,
                  data.tm_year + 1900, data.tm_hour, data.tm_min, data.tm_sec,
                  static_cast<int>(milissegundos < 0 ? milissegundos + 1000 : milissegundos));
    linha += buffer;
    Separador(linha);
    AcrescentaCampo(linha, NomeProcesso());
    Separador(linha);
    AcrescentaCampo(linha, UsuarioLocal());
    Separador(linha);
    AcrescentaCampo(linha, r.strClasseFuncao);
    Separador(linha);
    linha += NovoGuid();
    Separador(linha);
    linha.push_back('E');
    AcrescentaCampo(linha, r.strEmpresa);
    std::snprintf(buffer, sizeof buffer, "\tU%03u\tS%08lu\tT%08d", static_cast<unsigned>(r.usUsuario),
                  static_cast<unsigned long>(r.ulSessao), static_cast<int>(gettid()));
    linha += buffer;

    if (r.inicializacao.has_value()) {
        const _REG_DF_INICIALIZAPS& ini = *r.inicializacao;
        Separador(linha);
        AcrescentaCampo(linha, TextoDoCampo(ini.szEmpresa, sizeof ini.szEmpresa));
        std::snprintf(buffer, sizeof buffer, "\t%lu\t%lu\t", static_cast<unsigned long>(ini.ulUsuario),
                      static_cast<unsigned long>(ini.ulNumeroSessao));
        linha += buffer;
        AcrescentaCampo(linha, TextoDoCampo(ini.szNomeUsuarioDominio, sizeof ini.szNomeUsuarioDominio));
        Separador(linha);
        AcrescentaCampo(linha, TextoDoCampo(ini.szAplicativo, sizeof ini.szAplicativo));
        Separador(linha);
        AcrescentaCampo(linha, TextoDoCampo(ini.szModuleName, sizeof ini.szModuleName));
        Separador(linha);
        AcrescentaCampo(linha, TextoDoCampo(ini.szArquivoFonte, sizeof ini.szArquivoFonte));
        std::snprintf(buffer, sizeof buffer, "\t%lu\t%u\t%lu\t%u", static_cast<unsigned long>(ini.ulLinhaFonte),
                      static_cast<unsigned>(ini.cWTS), static_cast<unsigned long>(ini.ulFiller),
                      static_cast<unsigned>(ini.usFiller[0]));
        linha += buffer;
    } else {
        linha.append(kColunasInicializacao, '\t');
    }

    Separador(linha);
    linha += NomeTipoRegistro(r.tipo);
    std::snprintf(buffer, sizeof buffer, "\t%lld\t%lld\t%lld\t", r.memoria.llDisponivel, r.memoria.llTotal,
                  r.memoria.llComponente);
    linha += buffer;

    if (r.tipo == TipoRegistroProfiler::Erro) {
        AcrescentaCampo(linha, r.strVersaoFarol);
        Separador(linha);
        AcrescentaCampo(linha, r.strVersaoSO);
        Separador(linha);
        AcrescentaCampo(linha, r.strArquivo);
        Separador(linha);
        linha += Numero(r.uLinha);
        Separador(linha);
        AcrescentaCampo(linha, r.strLog, true, kTamanhoMaximoLog);
    } else {
        if (r.llDuracao.has_value()) linha += Numero(*r.llDuracao);
        Separador(linha);
        if (r.llDeltaMemoria.has_value()) linha += Numero(*r.llDeltaMemoria);
    }
    for (const std::string& parametro : r.parametros) {
        Separador(linha);
        AcrescentaCampo(linha, parametro);
    }
    linha.push_back('\n');
    return linha;
}

std::string NomeArquivoErros(bool comEmpresa, int ano, int mes) {
    ano = ano < 1848 ? 1848 : (ano > 4717 ? 4717 : ano);
    mes = mes < 1 ? 1 : (mes > 99 ? 99 : mes);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "QVProfilerErros_%s_%04d%02d.log", comEmpresa ? "Base" : "Pgms", ano, mes);
    return buffer;
}

std::filesystem::path ArquivoRegistro(const RegistroProfiler& registro) {
    if (registro.tipo != TipoRegistroProfiler::Erro) {
        const std::filesystem::path programas = QVDiretorioProgramaModulo(QV_MODULO_DF);
        return programas.empty() ? programas : programas / "QVProfiler.log";
    }
    const std::time_t segundos = std::chrono::system_clock::to_time_t(registro.instante);
    std::tm data{};
    localtime_r(&segundos, &data);
    if (!registro.strEmpresa.empty()) {
        std::filesystem::path dados;
        if (SUCCEEDED(QVDiretorioDadosModulo(QV_MODULO_DF, registro.strEmpresa, dados)) && !dados.empty())
            return dados / NomeArquivoErros(true, data.tm_year + 1900, data.tm_mon + 1);
    }
    const std::filesystem::path programas = QVDiretorioProgramaModulo(QV_MODULO_DF);
    if (programas.empty()) return programas;
    return programas / NomeArquivoErros(false, data.tm_year + 1900, data.tm_mon + 1);
}

bool AcrescentaLinhaArquivo(const std::filesystem::path& arquivo, std::string_view cabecalho,
                            std::string_view linha) {
    if (arquivo.empty()) return false;
    int fd = -1;
    try {
        const std::string dados = Utf8OuCp1252ParaCp1252(linha);
        fd = AbreParaAcrescentar(arquivo);
        if (fd < 0 && errno == ENOENT) {
            std::error_code erro;
            std::filesystem::create_directories(arquivo.parent_path(), erro);
            if (!CriaComCabecalho(arquivo, Utf8OuCp1252ParaCp1252(cabecalho))) return false;
            fd = AbreParaAcrescentar(arquivo);
        }
        if (fd < 0) return false;
        // One write: in append mode the whole line lands at the end of the file at once.
        ssize_t n;
        do {
            n = write(fd, dados.data(), dados.size());
        } while (n < 0 && errno == EINTR);
        close(fd);
        return n == static_cast<ssize_t>(dados.size());
    } catch (...) {
        if (fd >= 0) close(fd);
        return false;
    }
}

bool GravaRegistro(const RegistroProfiler& registro) {
    try {
        return AcrescentaLinhaArquivo(ArquivoRegistro(registro), CabecalhoRegistro(registro.tipo),
                                      LinhaRegistro(registro));
    } catch (...) {
        return false;
    }
}

}  // namespace zenta
