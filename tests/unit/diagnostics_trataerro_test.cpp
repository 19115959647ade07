// The message library: reports through TrataErro and its queries.

#include <dlfcn.h>

#include "diagnostics/QVCodigosErro.h"
#include "diagnostics/QVErrorLog.h"
#include "diagnostics/QVTrataErro.h"
#include "diagnostics/qvmens/QVMens.h"
#include "support/ArquivosLog.h"
#include "support/RegistroTeste.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;
using zenta::teste::Colunas;
using zenta::teste::SufixoMesAtual;

namespace {

std::filesystem::path DiretorioBinarios() {
    const char* bin = std::getenv("ZENTA_TEST_BIN");
    return bin != nullptr ? std::filesystem::path(bin) : DiretorioDestaBiblioteca();
}

class BibliotecaMensagens : public ::testing::Test {
protected:
    teste::ZentaHomeTemporario m_home;
};

}  // namespace

TEST_F(BibliotecaMensagens, ReportReachesTheLibraryNextToTheServerLibrary) {
    EXPECT_EQ(std::filesystem::canonical(DiretorioDestaBiblioteca()), std::filesystem::canonical(DiretorioBinarios()));
    TrataErro(static_cast<ULONG>(QV_CONTEXTO_RELATORIO_ERRO), E_FAIL, 0x7FFFFFFF, "S\xC3\xA3o Jo\xC3\xA3o", "quadro.cpp",
              42, 1, "pilha\tcom\nduas linhas\\");
    const auto linhas = teste::LinhasDe(m_home.Raiz() / "programs/DF/QVMens.log");
    ASSERT_EQ(linhas.size(), 1u);
    const auto c = Colunas(linhas[0]);
    ASSERT_EQ(c.size(), 8u);
    EXPECT_EQ(c[1], "0x81080BB1");
    EXPECT_EQ(c[2], "0x80004005");
    EXPECT_EQ(c[3], "S\xE3o Jo\xE3o");  // Windows-1252
    EXPECT_EQ(c[4], "quadro.cpp");
    EXPECT_EQ(c[5], "42");
    EXPECT_EQ(std::filesystem::path(c[6]).filename(), "zenta_tests");
    EXPECT_EQ(c[7], "pilha\\tcom\\nduas linhas\\\\");
}

TEST_F(BibliotecaMensagens, LibraryFindsTheProgramDirectoryInTheRegistry) {
    const std::filesystem::path outro = m_home.Raiz() / "outro lugar";
    teste::DefineRegistro("SOFTWARE\\Wow6432Node\\QV Sistemas\\DF", "Path", outro.string());

    TrataErro(static_cast<ULONG>(QV_CONTEXTO_RELATORIO_ERRO), E_ABORT, 0x7FFFFFFF, "", "a.cpp", 1, 1, "texto");
    // The error log without a company lands in the same directory.
    QVGravaLogErroTexto({}, "F", "a.cpp", 1, "texto");
    const auto linhas = teste::LinhasDe(outro / "QVMens.log");
    ASSERT_EQ(linhas.size(), 1u);
    EXPECT_EQ(Colunas(linhas[0])[2], "0x80004004");
    EXPECT_EQ(teste::ArquivosAbaixo(outro).size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(m_home.Raiz() / "programs"));
}

TEST_F(BibliotecaMensagens, DescriptionsAndFacilitiesOfTheLibrary) {
    const CBibliotecaMensagens biblioteca(DiretorioBinarios() / "libQVMens.so");
    ASSERT_TRUE(biblioteca.Carregada());
    EXPECT_EQ(biblioteca.DescricaoHresult(E_QVCR_ARQUIVO_NAO_EXISTE), "E_QVCR_ARQUIVO_NAO_EXISTE: Arquivo não existe");
    EXPECT_EQ(biblioteca.DescricaoHresult(E_FAIL), "");
    EXPECT_EQ(biblioteca.EhFacilidadeDaBiblioteca(249), std::optional<bool>(true));
    EXPECT_EQ(biblioteca.EhFacilidadeDaBiblioteca(270), std::optional<bool>(false));
    EXPECT_EQ(biblioteca.EhFacilidadeDaBiblioteca(FACILITY_WIN32), std::optional<bool>(false));
}

TEST_F(BibliotecaMensagens, DescriptionExportRespectsTheBuffer) {
    void* handle = dlopen((DiretorioBinarios() / "libQVMens.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    const auto descricao = reinterpret_cast<PFN_QVGetDescricaoHRESULT>(dlsym(handle, QVMENS_EXPORT_DESCRICAO));
    ASSERT_NE(descricao, nullptr);
    char buffer[6] = "xxxxx";
    EXPECT_EQ(descricao(E_QVCR_ARQUIVO_NAO_EXISTE, buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "E_QVC");
    EXPECT_EQ(descricao(E_QVCR_ARQUIVO_NAO_EXISTE, nullptr, 100), 1);
    EXPECT_EQ(descricao(E_QVCR_ARQUIVO_NAO_EXISTE, buffer, 0), 1);
    EXPECT_STREQ(buffer, "E_QVC");
    EXPECT_EQ(descricao(E_FAIL, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    dlclose(handle);
}

TEST_F(BibliotecaMensagens, MissingLibraryOrExportIsSilentlySkipped) {
    const CBibliotecaMensagens ausente(m_home.Raiz() / "libQVMens.so");
    EXPECT_FALSE(ausente.Carregada());
    EXPECT_FALSE(ausente.TrataErro(1, E_FAIL, 0x7FFFFFFF, "", "a.cpp", 1, 1, "x"));
    EXPECT_EQ(ausente.DescricaoHresult(E_QVCR_ARQUIVO_NAO_EXISTE), "");
    EXPECT_EQ(ausente.EhFacilidadeDaBiblioteca(264), std::nullopt);

    // A library without the exports.
    const CBibliotecaMensagens semExports(ZENTA_FALHA_PWRITE_LIB);
    EXPECT_TRUE(semExports.Carregada());
    EXPECT_FALSE(semExports.TrataErro(1, E_FAIL, 0x7FFFFFFF, "", "a.cpp", 1, 1, "x"));
    EXPECT_EQ(semExports.EhFacilidadeDaBiblioteca(264), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(m_home.Raiz() / "programs"));
}
