// zenta-dbcheck: checks record files of the database against their on-disk
// format, independently of the engine that wrote them. One line per finding
// on standard output; exit 0 when every file is clean, 1 when a check
// failed, 2 for a usage error or a file that cannot be opened.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tools/zenta-dbcheck/FonteBytes.h"
#include "tools/zenta-dbcheck/VerificaArquivo.h"

namespace {

using namespace zenta::dbcheck;

int Uso(const char* motivo) {
    if (motivo != nullptr) std::fprintf(stderr, "zenta-dbcheck: %s\n", motivo);
    std::fprintf(stderr,
                 "usage: zenta-dbcheck [options] FILE...\n"
                 "  --tamanho-registro N  the data must be whole records of N bytes\n"
                 "  --registro-unico      with --tamanho-registro: one record or none (a single-record file)\n"
                 "  --texto               the data is a text file's item chain\n"
                 "  --quantidade N        the number of records or texts expected\n"
                 "  --nome NAME           the name the header must store (default: the file's own name)\n"
                 "  --verboso             also describe each file, and each text item\n");
    return 2;
}

// A decimal number without sign; false on anything else or on overflow.
bool LeNumero(std::string_view s, uint64_t& valor) {
    if (s.empty()) return false;
    valor = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
        const auto d = static_cast<uint64_t>(c - '0');
        if (valor > (UINT64_MAX - d) / 10) return false;
        valor = valor * 10 + d;
    }
    return true;
}

void Descreve(const std::string& rotulo, const ResultadoVerificacao& r, const OpcoesVerificacao& opcoes) {
    std::printf("%s: %" PRIu64 " bytes, ", rotulo.c_str(), r.tamanhoArquivo);
    if (r.possuiCabecalho) {
        std::printf("header version %u, %" PRIu64 " updates, session %" PRIu64 ", user %" PRIu32 ", data version %u",
                    r.cabecalho.versao, r.cabecalho.contadorAtualizacoes, r.cabecalho.sessao, r.cabecalho.usuario,
                    r.cabecalho.versaoArquivo);
    } else if (r.cabecalhoDanificado) {
        std::printf("damaged header");
    } else {
        std::printf("no header");
    }
    std::printf(", %" PRIu64 " data bytes from offset %" PRIu64, r.tamanhoDados, r.inicioDados);
    if (opcoes.texto) std::printf(", %" PRIu64 " texts", r.quantidade);
    else if (opcoes.tamanhoRegistro != 0) std::printf(", %" PRIu64 " records", r.quantidade);
    std::printf(", %zu findings\n", r.achados.size());
    for (std::size_t i = 0; i < r.itens.size(); ++i)
        std::printf("%s: text %zu at data offset %" PRIu64 ", %" PRIu32 " bytes\n", rotulo.c_str(), i + 1,
                    r.itens[i].offset, r.itens[i].tamanho);
}

}  // namespace

int main(int argc, char** argv) {
    OpcoesVerificacao opcoes;
    bool verboso = false;
    std::vector<std::string> arquivos;
    bool fimOpcoes = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (fimOpcoes || arg.empty() || arg[0] != '-') {
            arquivos.emplace_back(arg);
            continue;
        }
        auto valor = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--") {
            fimOpcoes = true;
        } else if (arg == "--tamanho-registro") {
            const char* v = valor();
            if (v == nullptr || !LeNumero(v, opcoes.tamanhoRegistro) || opcoes.tamanhoRegistro == 0)
                return Uso("--tamanho-registro needs a record size of at least 1 byte");
        } else if (arg == "--registro-unico") {
            opcoes.registroUnico = true;
        } else if (arg == "--texto") {
            opcoes.texto = true;
        } else if (arg == "--quantidade") {
            const char* v = valor();
            uint64_t n = 0;
            if (v == nullptr || !LeNumero(v, n) || n > static_cast<uint64_t>(INT64_MAX))
                return Uso("--quantidade needs a count");
            opcoes.quantidade = static_cast<int64_t>(n);
        } else if (arg == "--nome") {
            const char* v = valor();
            if (v == nullptr || *v == '\0') return Uso("--nome needs a file name");
            opcoes.nomeEsperado = v;
        } else if (arg == "--verboso") {
            verboso = true;
        } else if (arg == "--help" || arg == "-h") {
            Uso(nullptr);
            return 0;
        } else {
            return Uso(("unknown option " + std::string(arg)).c_str());
        }
    }
    if (arquivos.empty()) return Uso("no file to check");
    if (opcoes.texto && opcoes.tamanhoRegistro != 0) return Uso("--texto and --tamanho-registro exclude each other");
    if (opcoes.registroUnico && opcoes.tamanhoRegistro == 0) return Uso("--registro-unico needs --tamanho-registro");
    if (opcoes.quantidade >= 0 && !opcoes.texto && opcoes.tamanhoRegistro == 0)
        return Uso("--quantidade needs --texto or --tamanho-registro");
    opcoes.guardaItens = verboso && opcoes.texto;

    int codigoSaida = 0;
    for (const std::string& arquivo : arquivos) {
        std::string erro;
        const auto fonte = FonteArquivo::Abre(arquivo, erro);
        if (!fonte) {
            std::fprintf(stderr, "zenta-dbcheck: %s: %s\n", arquivo.c_str(), erro.c_str());
            codigoSaida = 2;
            continue;
        }
        const std::string nome = std::filesystem::path(arquivo).filename().string();
        const ResultadoVerificacao r = Verifica(*fonte, nome, opcoes);
        for (const Achado& a : r.achados) std::printf("%s\n", FormataAchado(arquivo, a).c_str());
        if (verboso) Descreve(arquivo, r, opcoes);
        if (!r.Limpo() && codigoSaida == 0) codigoSaida = 1;
    }
    std::fflush(stdout);
    return codigoSaida;
}
