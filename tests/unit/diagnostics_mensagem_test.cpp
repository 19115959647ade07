// Message lookup in the message-text files.

#include "diagnostics/QVMensagem.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

namespace {

class Mensagem : public ::testing::Test {
protected:
    void Grava(const std::string& nome, const std::string& conteudo) {
        std::filesystem::create_directories(m_home.Raiz() / "Mensagens");
        std::ofstream(m_home.Raiz() / "Mensagens" / nome, std::ios::binary) << conteudo;
    }
    zenta::teste::ZentaHomeTemporario m_home;
};

}  // namespace

TEST_F(Mensagem, LineOfTheCodeFromColumnNine) {
    Grava("QVGEMens.txt",
          "00011   Outra\n"
          "12      Primeira linha\\nSegunda linha\n"
          "12      Repetida\n"
          "0013    Windows\\n\r\n"
          "14\n"
          "   15   Com espa\xE7os\n");
    EXPECT_EQ(CQVMensagem(12, 9).GetMensagem(), "Primeira linha\nSegunda linha");
    EXPECT_EQ(CQVMensagem(11, 9).GetMensagem(), "Outra");
    // Only the line's own break is dropped, also a Windows one.
    EXPECT_EQ(CQVMensagem(13, 9).GetMensagem(), "Windows\n");
    EXPECT_EQ(CQVMensagem(14, 9).GetMensagem(), "");
    EXPECT_EQ(CQVMensagem(15, 9).GetMensagem(), "Com espa\xE7os");
    EXPECT_EQ(CQVMensagem(99, 9).GetMensagem(), "");
    EXPECT_EQ(CQVMensagem::ArquivoMensagens(1), m_home.Raiz() / "Mensagens/QVDFMens.txt");
    EXPECT_EQ(CQVMensagem::ArquivoMensagens(999), m_home.Raiz() / "Mensagens/QVMens.txt");
}

TEST_F(Mensagem, LongLinesAreCutAndTheirRestIsNoLine) {
    const std::string longa = "5       " + std::string(1017, 'a') + "12      Falsa\n";
    const std::string maior = "7       " + std::string(2000, 'b') + "\n";
    Grava("QVDFMens.txt", longa + maior + "12      Verdadeira\n99999999999999999999 estouro\n");
    EXPECT_EQ(CQVMensagem(12, 1).GetMensagem(), "Verdadeira");
    EXPECT_EQ(CQVMensagem(7, 1).GetMensagem(), std::string(1016, 'b'));
    EXPECT_EQ(CQVMensagem(5, 1).GetMensagem(), std::string(1016, 'a'));
}

TEST_F(Mensagem, MissingFileShowsAMessageBoxAndGivesNothing) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(CQVMensagem(12, 9).GetMensagem(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Erro: Não foi possível abrir o arquivo texto de Mensagens " +
                  (m_home.Raiz() / "Mensagens/QVGEMens.txt").string() +
                  ". Caso o caminho esteja correto, atualize o arquivo.\n");
}
