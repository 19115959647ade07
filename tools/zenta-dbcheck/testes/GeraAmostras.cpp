// Writes sample files through the engine for the end-to-end test of
// zenta-dbcheck: with ZENTA_HOME set to the given directory, company "EMP",
// module GE, a typed file "GETIPADO.dat" of three 16-byte records and a text
// file "GETEXTO.dat" of three texts. Prints the module's data directory.
//
//   zenta-dbcheck-amostras DIRECTORY
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVFile.h"
#include "core/qvdatabase/QVTextFile.h"

using namespace zenta;

namespace {

#pragma pack(push, 1)
struct REG_AMOSTRA {
    ULONG lCodigo;
    ULONG lGrupo;
    char szNome[8];
};
#pragma pack(pop)
static_assert(sizeof(REG_AMOSTRA) == 16);

int Falha(const char* passo, HRESULT hr) {
    std::fprintf(stderr, "zenta-dbcheck-amostras: %s failed: 0x%08X\n", passo, static_cast<unsigned>(hr));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zenta-dbcheck-amostras DIRECTORY\n");
        return 2;
    }
    const std::filesystem::path raiz = std::filesystem::absolute(argv[1]);
    const std::filesystem::path dados = raiz / "data" / "EMP" / "GE";
    // Only the samples of an earlier run go; nothing else in the directory is touched.
    std::error_code ec;
    for (const char* nome : {"GETIPADO.dat", "GETIPADO.cab", "GETEXTO.dat", "GETEXTO.cab"})
        std::filesystem::remove(dados / nome, ec);
    std::filesystem::create_directories(dados, ec);
    ::setenv("ZENTA_HOME", raiz.c_str(), 1);

    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    {
        CQVFile<REG_AMOSTRA> arquivo("GETIPADO.dat", &db);
        if (const HRESULT hr = arquivo.Inicializa("EMP", 7, 42); FAILED(hr)) return Falha("CQVFile::Inicializa", hr);
        for (ULONG i = 1; i <= 3; ++i) {
            REG_AMOSTRA reg{};
            reg.lCodigo = i;
            reg.lGrupo = i % 2;
            std::snprintf(reg.szNome, sizeof reg.szNome, "reg%u", static_cast<unsigned>(i));
            ULONGLONG posicao = QVDATABASE_POSICAO_NOVO_REGISTRO;
            if (const HRESULT hr = arquivo.Grava(posicao, reg); FAILED(hr)) return Falha("CQVFile::Grava", hr);
        }
        arquivo.Finaliza();
    }
    {
        CQVTextFile arquivo("GETEXTO.dat", &db);
        if (const HRESULT hr = arquivo.Inicializa("EMP", 7, 42); FAILED(hr)) return Falha("CQVTextFile::Inicializa", hr);
        for (const std::string_view texto : {std::string_view("abc"), std::string_view(""), std::string_view("observação")}) {
            ULONGLONG posicao = QVDATABASE_POSICAO_NOVO_REGISTRO;
            if (const HRESULT hr = arquivo.Grava(posicao, texto); FAILED(hr)) return Falha("CQVTextFile::Grava", hr);
        }
        arquivo.Finaliza();
    }
    std::printf("%s\n", dados.c_str());
    return 0;
}
