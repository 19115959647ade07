// The members of a group are found among whatever a data directory holds:
// for any set of directory entries, discovery must end with a code, never a
// crash, and when it succeeds its members are exactly the regular files whose
// names match the pattern, each readable at every position it reports.
//
// The input is a list of entries separated by '\n'. The first byte of an
// entry chooses its kind (modulo 4: 0 and 1 a regular file, 2 a directory,
// 3 a symbolic link leading out of the data directory); the rest is the name,
// optionally followed by '\t' and the file's bytes. A name starting with '#'
// stands for the pattern's prefix and extension around the rest
// ("#072022" is "GEF072022.dat"), so that the fuzzer reaches members easily.
#include <set>

#include "fuzz/AmbienteFuzz.h"
#include "platform/QVModulos.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "core/qvdatabase/QVGroupFile.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;

constexpr const char* PADRAO = "GEF??????.dat";
constexpr ULONGLONG CHAVE_NOVA = 123456;

#pragma pack(push, 1)
struct REG_FUZZ_GRUPO {
    ULONG lCodigo;
    ULONG lValor;
};
#pragma pack(pop)
static_assert(sizeof(REG_FUZZ_GRUPO) == 8);

using zenta::fuzz::Exige;

// A name the file system takes as one entry of the directory.
bool NomeUtilizavel(const std::string& nome) {
    return !nome.empty() && nome.size() <= 200 && nome != "." && nome != ".." &&
           nome.find('/') == std::string::npos && nome.find('\0') == std::string::npos;
}

void CriaEntrada(const fs::path& dir, std::string_view entrada) {
    if (entrada.empty()) return;
    const unsigned tipo = static_cast<unsigned char>(entrada[0]) % 4u;
    entrada.remove_prefix(1);
    const std::size_t tab = entrada.find('\t');
    std::string nome(entrada.substr(0, tab));
    const std::string_view conteudo = tab == std::string_view::npos ? std::string_view{} : entrada.substr(tab + 1);
    if (!nome.empty() && nome[0] == '#') nome = "GEF" + nome.substr(1) + ".dat";
    if (!NomeUtilizavel(nome)) return;
    std::error_code ec;
    const fs::path caminho = dir / nome;
    if (fs::exists(fs::symlink_status(caminho, ec))) return;
    if (tipo == 2) {
        fs::create_directory(caminho, ec);
    } else if (tipo == 3) {
        fs::create_directory_symlink("../..", caminho, ec);
    } else {
        zenta::fuzz::EscreveArquivo(caminho, conteudo);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    // A clean company directory each run.
    const fs::path dir = zenta::fuzz::DiretorioLimpo();
    std::error_code ec;

    const std::string_view entrada(reinterpret_cast<const char*>(dados), tamanho);
    for (std::size_t inicio = 0; inicio <= entrada.size();) {
        const std::size_t fim = std::min(entrada.find('\n', inicio), entrada.size());
        CriaEntrada(dir, entrada.substr(inicio, fim - inicio));
        inicio = fim + 1;
    }

    // The members the directory holds: regular files matching the pattern.
    std::set<ULONGLONG> esperadas;
    bool chaveNovaOcupada = false;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        const std::string nome = e.path().filename().string();
        if (zenta::IgualSemCaixa(nome.substr(0, 9), "GEF123456")) chaveNovaOcupada = true;
        ULONGLONG chave = 0;
        if (zenta::CasaMembroGrupo(nome, PADRAO, chave) && e.is_regular_file() && !e.is_symlink())
            esperadas.insert(chave);
    }
    const auto achadas = zenta::ChavesMembrosGrupo(dir, PADRAO);
    Exige(std::set<ULONGLONG>(achadas.begin(), achadas.end()) == esperadas);

    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVGroupFile<REG_FUZZ_GRUPO> grupo(PADRAO, &db);
    if (FAILED(grupo.Inicializa("EMP", 1, 1))) {
        Exige(grupo.GetQtdArquivos() == 0);
        grupo.Finaliza();
        return 0;
    }

    const auto chaves = grupo.GetChaves();
    Exige(std::set<ULONGLONG>(chaves.begin(), chaves.end()) == esperadas);
    ULONGLONG total = 0;
    for (const ULONGLONG chave : chaves) {
        Exige(chave < 1000000);
        const ULONGLONG n = grupo.GetQtdRegistros(chave);
        REG_FUZZ_GRUPO reg{};
        for (ULONGLONG p = 1; p <= n && p <= 64; ++p) Exige(SUCCEEDED(grupo.Le(chave, p, reg)));
        Exige(FAILED(grupo.Le(chave, n + 1, reg)));
        total += n;
    }
    Exige(grupo.GetQtdRegistros() == total);

    // A new key gets its member by its first write, readable at once.
    if (!chaveNovaOcupada && !esperadas.contains(CHAVE_NOVA)) {
        ULONGLONG posicao = 0;
        Exige(SUCCEEDED(grupo.Grava(CHAVE_NOVA, posicao, REG_FUZZ_GRUPO{7, 9})) && posicao == 1);
        REG_FUZZ_GRUPO reg{};
        Exige(SUCCEEDED(grupo.Le(CHAVE_NOVA, 1, reg)) && reg.lCodigo == 7);
        Exige(fs::is_regular_file(dir / "GEF123456.dat", ec));
    }
    grupo.Finaliza();
    return 0;
}
