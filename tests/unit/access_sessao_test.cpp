// The session base: context, the initialise/finalise chain, directories and
// the per-thread default access.

#include "access/QVBaseParaRotinas.h"
#include "platform/QVDiretorios.h"
#include "access/QVUltimoErro.h"
#include "support/Inicializacao.h"
#include "support/RegistroTeste.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

namespace {

class CSessaoTeste : public CQVBaseParaRotinas {
public:
    ~CSessaoTeste() override { Finaliza(); }
    int m_inicios = 0;
    int m_fins = 0;

protected:
    HRESULT OnInicializa() override {
        ++m_inicios;
        return CQVBaseParaRotinas::OnInicializa();
    }
    HRESULT OnFinaliza() override {
        ++m_fins;
        return CQVBaseParaRotinas::OnFinaliza();
    }
};

TEST(Sessao, InitialisesFromTheRecordAndAgain) {
    CSessaoTeste sessao;
    EXPECT_FALSE(sessao.EstaInicializado());
    ASSERT_EQ(sessao.Inicializa(zenta::teste::RegistroInicializacao("ACME", 12, 345)), S_OK);
    EXPECT_TRUE(sessao.EstaInicializado());
    EXPECT_EQ(sessao.GetEmpresa(), "ACME");
    EXPECT_EQ(sessao.GetUsuario(), 12);
    EXPECT_EQ(sessao.GetNumeroSessao(), 345u);
    ASSERT_NE(sessao.QVProfilerDoEscopo().pInicializacao, nullptr);
    EXPECT_EQ(sessao.QVProfilerDoEscopo().pInicializacao->ulLinhaFonte, 123u);

    // Initialising again finalises first.
    ASSERT_EQ(sessao.Inicializa("OUTRA", 1, 2), S_OK);
    EXPECT_EQ(sessao.m_inicios, 2);
    EXPECT_EQ(sessao.m_fins, 1);
    EXPECT_EQ(sessao.GetEmpresa(), "OUTRA");

    // A copy takes the context of an initialised object only.
    CSessaoTeste copia;
    EXPECT_EQ(copia.Inicializa(CSessaoTeste{}), E_INVALIDARG);
    EXPECT_EQ(copia.Inicializa(sessao), S_OK);
    EXPECT_EQ(copia.GetEmpresa(), "OUTRA");
    EXPECT_EQ(copia.GetUsuario(), 1);

    EXPECT_EQ(sessao.Finaliza(), S_OK);
    EXPECT_FALSE(sessao.EstaInicializado());
    EXPECT_EQ(sessao.Finaliza(), S_OK);
    EXPECT_EQ(sessao.m_fins, 2);

    // Users beyond sixteen bits and unsafe companies are refused, leaving nothing initialised.
    CSessaoTeste recusada;
    EXPECT_EQ(recusada.Inicializa(zenta::teste::RegistroInicializacao("ACME", 70000)), E_INVALIDARG);
    EXPECT_EQ(recusada.Inicializa(zenta::teste::RegistroInicializacao("../x")), E_QV_NOME_EMPRESA_INVALIDO);
    EXPECT_FALSE(recusada.EstaInicializado());
    EXPECT_EQ(recusada.QVProfilerDoEscopo().pInicializacao, nullptr);
    EXPECT_EQ(recusada.m_inicios, 0);
}

TEST(Sessao, DefaultAccessBelongsToTheCallingThread) {
    CSessaoTeste a;
    CQVBaseParaRotinas::SetAcessoDefault(&a);
    CQVBaseParaRotinas* vistoNaOutra = &a;
    std::thread([&] { vistoNaOutra = CQVBaseParaRotinas::GetAcessoServidoresDefault(); }).join();
    EXPECT_EQ(vistoNaOutra, nullptr);
    EXPECT_EQ(CQVBaseParaRotinas::GetAcessoServidoresDefault(), &a);
    CQVBaseParaRotinas::SetAcessoDefault(nullptr);
}

TEST(Sessao, AccessorsComeFromTheProcessProvider) {
    zenta::teste::ZentaHomeTemporario home;
    CSessaoTeste sessao;
    CQVAcessoServidores acessos;
    EXPECT_EQ(sessao.GetAcessoServidores(acessos), CO_E_NOTINITIALIZED);
    ASSERT_EQ(sessao.Inicializa("ACME", 1, 1), S_OK);
    // The ERP stand-in installs itself when the library loads.
    ASSERT_EQ(sessao.GetAcessoServidores(acessos), S_OK);
    EXPECT_NE(acessos.pEmpresarial, nullptr);
    EXPECT_NE(acessos.pEstoque, nullptr);
    // Without a provider the accessors are honestly missing.
    IQVProvedorAcesso* provedor = QVProvedorAcesso();
    QVRegistraProvedorAcesso(nullptr);
    CSessaoTeste semProvedor;
    ASSERT_EQ(semProvedor.Inicializa("ACME", 1, 1), S_OK);
    EXPECT_EQ(semProvedor.GetAcessoServidores(acessos), E_NOTIMPL);
    QVRegistraProvedorAcesso(provedor);

    _REG_CR_LISTA_BYTESPS entrada{};
    _REG_CR_LISTA_BYTESPS* saida = reinterpret_cast<_REG_CR_LISTA_BYTESPS*>(&entrada);
    EXPECT_EQ(sessao.FuncaoGenerica(1, entrada, &saida), E_NOTIMPL);
    EXPECT_EQ(saida, nullptr);
}

TEST(Diretorios, StayBelowTheHome) {
    zenta::teste::ZentaHomeTemporario home;
    std::filesystem::path dir;
    ASSERT_EQ(QVDiretorioDadosModulo(9, "ACME", dir), S_OK);
    EXPECT_EQ(dir, home.Raiz() / "data/ACME/GE");
    for (const char* nome : {"", ".", "..", "a/b", "a\\b", "x\ny", "\x7f"})
        EXPECT_EQ(QVDiretorioDadosModulo(9, nome, dir), E_QV_NOME_EMPRESA_INVALIDO) << nome;
    EXPECT_EQ(QVDiretorioDadosModulo(9, std::string(48, 'A'), dir), E_QV_NOME_EMPRESA_INVALIDO);
    EXPECT_EQ(QVDiretorioDadosModulo(9, std::string(47, 'A'), dir), S_OK);
    ASSERT_EQ(QVDiretorioDadosModulo(9, "A\xE7\xE3o", dir), S_OK);  // "Ação" in Windows-1252
    EXPECT_EQ(dir, home.Raiz() / "data/A\u00e7\u00e3o/GE");
    EXPECT_EQ(QVDiretorioDadosModulo(9, "A\x81", dir), E_QV_NOME_EMPRESA_INVALIDO);
    EXPECT_EQ(QVDiretorioDadosModulo(99, "ACME", dir), E_INVALIDARG);
    EXPECT_TRUE(dir.empty());

    EXPECT_EQ(QVDiretorioProgramaModulo(1), home.Raiz() / "programs/DF");
    zenta::teste::DefineRegistro("SOFTWARE\\Wow6432Node\\QV Sistemas\\DF", "Path", std::string("/opt/erp/df"));
    EXPECT_EQ(QVDiretorioProgramaModulo(1), "/opt/erp/df");
    EXPECT_EQ(QVDiretorioMensagens(), home.Raiz() / "Mensagens");
}

TEST(UltimoErro, CopiesIntoTheWireRecordCuttingTexts) {
    CQVUltimoErro holder;
    CQVDadosDF_Erro erro;
    erro.hr = E_FAIL;
    erro.nModuloMensagem = 9;
    erro.sMensagem = std::string(400, 'm');
    erro.sEmpresa = "ACME";
    holder.SetErro(erro);
    _REG_DF_ERROPS reg;
    std::memset(&reg, 0xCC, sizeof reg);
    holder.GetErro().CopiarPara(&reg);
    EXPECT_EQ(reg.hr, E_FAIL);
    EXPECT_EQ(reg.nModuloMensagem, 9);
    EXPECT_EQ(std::strlen(reg.cMensagem), sizeof reg.cMensagem - 1);
    EXPECT_STREQ(reg.szEmpresa, "ACME");
    EXPECT_EQ(reg.cFiller[99], 0);
    holder.GetErro().CopiarPara(nullptr);
}

}  // namespace
