// Where reports may be written, by whom, and what they may replace.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/QVDiretorios.h"
#include "standins/relatorio/QVDestinoRelatorio.h"
#include "platform/Registry.h"
#include "support/RegistroTeste.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using zenta::Chamador;
using zenta::EOrigemChamador;

void DefinePastaRelatorios(const std::string& pasta) {
    zenta::teste::DefineRegistro(QV_CHAVE_REGISTRO, "PastaRelatorios", pasta);
}

class DestinoRelatorio : public ::testing::Test {
protected:
    void SetUp() override {
        std::string modelo = (fs::temp_directory_path() / "zenta-fora-XXXXXX").string();
        ASSERT_NE(::mkdtemp(modelo.data()), nullptr);
        m_fora = modelo;
        m_saida = m_home.Raiz() / "saida";
        for (const fs::path& pasta : {m_saida, m_home.Raiz() / "data" / "DEMO" / "GE", m_home.Raiz() / "registry"})
            fs::create_directories(pasta);
        fs::create_directory_symlink(m_fora, m_saida / "atalho");
        std::ofstream(m_fora / "alheio.txt") << "de outro";
        std::ofstream(m_home.Raiz() / "registry" / "HKLM.reg") << "";
        DefinePastaRelatorios(m_saida.string());
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_fora, ec);
    }
    static HRESULT Verifica(EOrigemChamador origem, const fs::path& destino) {
        std::string erro;
        const HRESULT hr = zenta::VerificaDestinoRelatorio(destino, Chamador{origem}, erro);
        EXPECT_EQ(FAILED(hr), !erro.empty()) << destino;
        return hr;
    }

    zenta::teste::ZentaHomeTemporario m_home;
    fs::path m_fora;
    fs::path m_saida;
};

TEST_F(DestinoRelatorio, EachCallerReachesOnlyWhatItMay) {
    const fs::path home = m_home.Raiz();
    struct Caso {
        EOrigemChamador origem;
        fs::path destino;
        HRESULT esperado;
    };
    const Caso casos[] = {
        // The server's own user: anywhere but the system's folders.
        {EOrigemChamador::Processo, m_fora / "a.pdf", S_OK},
        {EOrigemChamador::UsuarioProprio, home / "a.pdf", S_OK},
        {EOrigemChamador::UsuarioProprio, m_saida / "a.pdf", S_OK},
        {EOrigemChamador::Processo, home / "data" / "DEMO" / "GE" / "GEMPMED.dat", E_ACCESSDENIED},
        {EOrigemChamador::UsuarioProprio, home / "registry" / "HKLM.reg", E_ACCESSDENIED},
        {EOrigemChamador::UsuarioProprio, m_saida / ".." / "data" / "novo.pdf", E_ACCESSDENIED},
        // Other users and other machines: the report folder only, links resolved.
        {EOrigemChamador::OutroUsuario, m_saida / "a.pdf", S_OK},
        {EOrigemChamador::Tcp, m_saida / "a.pdf", S_OK},
        {EOrigemChamador::OutroUsuario, m_fora / "a.pdf", E_ACCESSDENIED},
        {EOrigemChamador::Tcp, home / "a.pdf", E_ACCESSDENIED},
        {EOrigemChamador::Tcp, m_saida / "atalho" / "a.pdf", E_ACCESSDENIED},
        {EOrigemChamador::Tcp, m_saida / ".." / "registry" / "HKLM.reg", E_ACCESSDENIED},
        // No caller replaces a file that is not one of this server's reports.
        {EOrigemChamador::Processo, m_fora / "alheio.txt", E_QV_RELATORIO_DESTINO_EXISTE},
        {EOrigemChamador::Processo, m_fora / "..", E_INVALIDARG},
    };
    for (const Caso& caso : casos)
        EXPECT_EQ(Verifica(caso.origem, caso.destino), caso.esperado)
            << static_cast<int>(caso.origem) << " " << caso.destino;

    // Without a configured folder, other users and machines reach nothing.
    DefinePastaRelatorios("");
    EXPECT_EQ(Verifica(EOrigemChamador::Tcp, m_saida / "a.pdf"), E_ACCESSDENIED);
    EXPECT_EQ(Verifica(EOrigemChamador::UsuarioProprio, m_saida / "a.pdf"), S_OK);
}

TEST_F(DestinoRelatorio, OnlyAReportThisServerWroteIsReplaced) {
    const fs::path destino = m_fora / "r.pdf";
    const auto escreve = [&](const char* texto) {
        const fs::path parcial = m_fora / "r.pdf.parcial";
        std::ofstream(parcial) << texto;
        std::string erro;
        return zenta::ColocaRelatorio(parcial, destino, erro);
    };
    ASSERT_EQ(escreve("primeiro"), S_OK);
    EXPECT_EQ(Verifica(EOrigemChamador::Processo, destino), S_OK);
    ASSERT_EQ(escreve("segundo"), S_OK);
    EXPECT_EQ(zenta::teste::LeArquivo(destino), "segundo");

    // Changed by someone else, it is no longer the server's to replace; nor
    // is a file that appears after the check.
    std::ofstream(destino, std::ios::app) << " mudado";
    EXPECT_EQ(Verifica(EOrigemChamador::Processo, destino), E_QV_RELATORIO_DESTINO_EXISTE);
    EXPECT_EQ(escreve("terceiro"), E_QV_RELATORIO_DESTINO_EXISTE);
    EXPECT_EQ(zenta::teste::LeArquivo(destino), "segundo mudado");
}

}  // namespace
