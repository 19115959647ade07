// The ERP stand-in: its SQLite file and schema versions, the connection its
// sessions share, concurrent writers of the change log and the stock
// pre-withdrawals in threads and processes, and damaged files.

#include "access/CLogTransacoesHelper.h"
#include "access/QVBaseParaRotinas.h"
#include "platform/QVDiretorios.h"
#include "standins/erp/QVErpBanco.h"
#include "standins/erp/QVProvedorErp.h"
#include "support/ErpTeste.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;
using zenta::teste::TodasAsVersoesErp;

namespace {

constexpr HRESULT kArquivoCorrompido = HRESULT_FROM_WIN32(1392u);  // ERROR_FILE_CORRUPT

class CSessao : public CQVBaseParaRotinas {
public:
    ~CSessao() override { Finaliza(); }
};

// The calling thread's default access for a scope, as the call frame sets it.
class AcessoDefaultEscopo {
public:
    explicit AcessoDefaultEscopo(CQVBaseParaRotinas* base) { CQVBaseParaRotinas::SetAcessoDefault(base); }
    ~AcessoDefaultEscopo() { CQVBaseParaRotinas::SetAcessoDefault(nullptr); }
    AcessoDefaultEscopo(const AcessoDefaultEscopo&) = delete;
    AcessoDefaultEscopo& operator=(const AcessoDefaultEscopo&) = delete;
};

REG_ES_PREBAIXAPS PreBaixa(ULONG produto, LONGLONG quantidade) {
    REG_ES_PREBAIXAPS r{};
    r.lProduto = produto;
    r.vQuantidade.int64 = quantidade;
    r.usLocal = 3;
    return r;
}

HRESULT Grava(IQVAcessoEstoque* estoque, REG_QVDMC chave, USHORT filial,
              const std::vector<REG_ES_PREBAIXAPS>& registros) {
    CQVVector<CQVDadosES_PreBaixa> lista;
    for (const auto& r : registros) {
        CQVDadosES_PreBaixa d;
        d.CopiarDe(&r);
        lista.push_back(d);
    }
    return estoque->GravaPreBaixa(chave, filial, &lista);
}

REG_QVDMC Chave(ULONG ponteiro) { return REG_QVDMC().SetDMC(ponteiro, 84, 0x1234); }

// `vezes` change-log lines and pre-withdrawals written by a session of
// its own, as writer `escritor`; the first failure, if any.
HRESULT EscreveComoSessao(int escritor, int vezes) {
    CSessao sessao;
    CLogTransacoesHelper log;
    HRESULT hr = sessao.Inicializa("ACME", 1, escritor);
    if (SUCCEEDED(hr)) hr = log.Inicializa(&sessao);
    CQVAcessoServidores acessos;
    if (SUCCEEDED(hr)) hr = sessao.GetAcessoServidores(acessos);
    for (int i = 0; i < vezes && SUCCEEDED(hr); ++i) {
        log.AdicionaInformacao('N', "linha");
        hr = log.Grava(REG_QVDMC(), eLogAssistec, 'A');
        if (SUCCEEDED(hr))
            hr = Grava(acessos.pEstoque, Chave(static_cast<ULONG>(escritor * 1000 + i)), 1, {PreBaixa(1, i), PreBaixa(2, i)});
    }
    return hr;
}

class ErpTeste : public ::testing::Test {
protected:
    std::filesystem::path Arquivo(const char* empresa = "ACME") const {
        std::filesystem::path arquivo;
        EXPECT_EQ(ErpBanco::Caminho(empresa, arquivo), S_OK);
        return arquivo;
    }
    std::shared_ptr<ErpBanco> Banco(const char* empresa = "ACME") const { return zenta::teste::BancoErp(empresa); }
    static CQVAcessoServidores Acessos(CSessao& sessao) {
        CQVAcessoServidores acessos;
        EXPECT_EQ(sessao.GetAcessoServidores(acessos), S_OK);
        return acessos;
    }
    // Nothing lost: the change-log lines and pre-withdrawals the file holds.
    void ConfereTotais(std::size_t linhasLog, int64_t preBaixas) const {
        std::vector<ErpLinhaLog> logs;
        ASSERT_EQ(Banco()->LeLogs(logs), S_OK);
        EXPECT_EQ(logs.size(), linhasLog);
        for (const auto& l : logs) EXPECT_EQ(l.informacoes.size(), 1u);
        int64_t n = 0;
        ASSERT_EQ(Banco()->ContaPreBaixas(n), S_OK);
        EXPECT_EQ(n, preBaixas);
    }

    zenta::teste::ZentaHomeTemporario m_home;
};

TEST_F(ErpTeste, CreatesTheCurrentSchemaInTheBaseModuleDirectory) {
    std::shared_ptr<ErpBanco> banco;
    ASSERT_EQ(ErpBanco::Abre(Arquivo(), banco), S_OK);
    EXPECT_EQ(banco->Arquivo(), m_home.Raiz() / "data/ACME/DF/erp.sqlite");
    EXPECT_TRUE(std::filesystem::is_regular_file(banco->Arquivo()));
    int versao = 0;
    ASSERT_EQ(banco->VersaoEsquema(versao), S_OK);
    EXPECT_EQ(versao, zenta::kVersaoEsquemaErp);
    std::vector<int> versoes;
    ASSERT_EQ(banco->VersoesAplicadas(versoes), S_OK);
    EXPECT_EQ(versoes, TodasAsVersoesErp());

    // Company names go through the directory rules, never into a path as such.
    std::filesystem::path arquivo;
    EXPECT_EQ(ErpBanco::Caminho("../ACME", arquivo), E_QV_NOME_EMPRESA_INVALIDO);
    EXPECT_TRUE(arquivo.empty());
    CSessao semEmpresa;
    ASSERT_EQ(semEmpresa.Inicializa("", 1, 1), S_OK);
    const AcessoDefaultEscopo acessoDefault(&semEmpresa);  // the refusal must not wait for the session's lock
    CQVAcessoServidores acessos;
    EXPECT_EQ(semEmpresa.GetAcessoServidores(acessos), E_QV_NOME_EMPRESA_INVALIDO);
    EXPECT_EQ(acessos.pEstoque, nullptr);
}

TEST_F(ErpTeste, MigrationsRunInOrderOnceAndKeepData) {
    {
        std::shared_ptr<ErpBanco> v1;
        ASSERT_EQ(ErpBanco::Abre(Arquivo(), v1, 1), S_OK);
        std::vector<int> versoes;
        ASSERT_EQ(v1->VersoesAplicadas(versoes), S_OK);
        EXPECT_EQ(versoes, std::vector<int>{1});
        // Version 1 has the change log but no pre-withdrawals yet.
        ASSERT_EQ(v1->GravaLog({REG_QVDMC(9), 155, 'A', {{'N', "antes"}}}, 1, 2, "2026-01-01 00:00:00"), S_OK);
        int64_t n = 0;
        EXPECT_NE(v1->ContaPreBaixas(n), S_OK);
    }
    for (int vez = 0; vez < 2; ++vez) {
        std::shared_ptr<ErpBanco> banco;
        ASSERT_EQ(ErpBanco::Abre(Arquivo(), banco), S_OK);
        std::vector<int> versoes;
        ASSERT_EQ(banco->VersoesAplicadas(versoes), S_OK);
        EXPECT_EQ(versoes, TodasAsVersoesErp());
        std::vector<ErpLinhaLog> logs;
        ASSERT_EQ(banco->LeLogs(logs), S_OK);
        ASSERT_EQ(logs.size(), 1u);
        EXPECT_EQ(logs[0].informacoes[0].sTexto, "antes");
    }
    ConfereTotais(1, 0);

    // A file from a newer schema is left alone.
    {
        std::shared_ptr<ErpBanco> banco;
        ASSERT_EQ(ErpBanco::Abre(Arquivo(), banco), S_OK);
        ASSERT_EQ(banco->ExecutaSql("INSERT INTO esquema_versao VALUES (" + std::to_string(zenta::kVersaoEsquemaErp + 1) +
                                     ", 'futura', '')"),
                  S_OK);
    }
    std::shared_ptr<ErpBanco> banco;
    EXPECT_EQ(ErpBanco::Abre(Arquivo(), banco), zenta::E_ERP_ESQUEMA_SUPERIOR);
    EXPECT_EQ(banco, nullptr);
}

TEST_F(ErpTeste, SessionsShareOneConnectionAndReleaseIt) {
    auto& provedor = zenta::ProvedorErp::Instancia();
    EXPECT_EQ(QVProvedorAcesso(), &provedor);
    const std::size_t antes = provedor.SessoesConectadas();
    std::weak_ptr<ErpBanco> fraco;
    {
        CSessao a, b;
        ASSERT_EQ(a.Inicializa("ACME", 1, 1), S_OK);
        ASSERT_EQ(b.Inicializa("ACME", 2, 2), S_OK);
        ASSERT_EQ(Acessos(a).pEstoque->ExcluiPreBaixa(Chave(1), 1), S_OK);
        ASSERT_EQ(Acessos(b).pEstoque->ExcluiPreBaixa(Chave(1), 1), S_OK);
        EXPECT_EQ(provedor.SessoesConectadas(), antes + 2);
        fraco = Banco();
        EXPECT_EQ(fraco.use_count(), 2);  // one connection, held by the two sessions
    }
    EXPECT_EQ(provedor.SessoesConectadas(), antes);
    EXPECT_TRUE(fraco.expired());
}

TEST_F(ErpTeste, ConcurrentThreadsLoseNothing) {
    constexpr int kPorEscritor = 60;
    // Two sessions share the process's connection; two more connections of
    // their own contend for the file as other processes would.
    std::vector<std::thread> escritores;
    std::vector<HRESULT> resultados(4, S_OK);
    for (int t = 0; t < 2; ++t) escritores.emplace_back([&, t] { resultados[t] = EscreveComoSessao(t, kPorEscritor); });
    for (int t = 2; t < 4; ++t) {
        escritores.emplace_back([&, t] {
            std::shared_ptr<ErpBanco> proprio;
            if (FAILED(resultados[t] = ErpBanco::Abre(Arquivo(), proprio))) return;
            for (int i = 0; i < kPorEscritor && SUCCEEDED(resultados[t]); ++i) {
                resultados[t] = proprio->GravaLog({REG_QVDMC(), 155, 'A', {{'N', "x"}}}, 1, t, "agora");
                if (SUCCEEDED(resultados[t]))
                    resultados[t] = proprio->GravaPreBaixas(Chave(static_cast<ULONG>(t * 1000 + i)), 1,
                                                            {PreBaixa(1, i), PreBaixa(2, i)});
            }
        });
    }
    for (auto& e : escritores) e.join();
    for (HRESULT hr : resultados) EXPECT_EQ(hr, S_OK);
    ConfereTotais(4u * kPorEscritor, 4 * 2 * kPorEscritor);
}

TEST_F(ErpTeste, ConcurrentProcessesLoseNothing) {
    constexpr int kPorProcesso = 60;
    constexpr int kProcessos = 2;
    std::vector<pid_t> filhos;
    for (int p = 0; p < kProcessos; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) ::_exit(EscreveComoSessao(p, kPorProcesso) == S_OK ? 0 : 1);
        filhos.push_back(pid);
    }
    for (pid_t pid : filhos) {
        int estado = 0;
        ASSERT_EQ(::waitpid(pid, &estado, 0), pid);
        ASSERT_TRUE(WIFEXITED(estado));
        EXPECT_EQ(WEXITSTATUS(estado), 0);
    }
    ConfereTotais(kProcessos * kPorProcesso, kProcessos * 2 * kPorProcesso);
}

TEST_F(ErpTeste, DamagedFileFailsWithACodeAndALogLine) {
    std::filesystem::create_directories(Arquivo().parent_path());
    std::ofstream(Arquivo(), std::ios::binary) << std::string(8192, 'x');
    std::shared_ptr<ErpBanco> banco;
    EXPECT_EQ(ErpBanco::Abre(Arquivo(), banco), kArquivoCorrompido);
    EXPECT_EQ(banco, nullptr);

    CSessao sessao;
    ASSERT_EQ(sessao.Inicializa("ACME", 7, 42), S_OK);
    const AcessoDefaultEscopo acessoDefault(&sessao);
    IQVAcessoEstoque* estoque = Acessos(sessao).pEstoque;
    EXPECT_EQ(Grava(estoque, Chave(1), 1, {PreBaixa(1, 1)}), kArquivoCorrompido);
    EXPECT_EQ(estoque->ExcluiPreBaixa(Chave(1), 1), kArquivoCorrompido);
    CLogTransacoesHelper log;
    ASSERT_EQ(log.Inicializa(&sessao), S_OK);
    log.AdicionaInformacao('N', "x");
    EXPECT_EQ(log.Grava(REG_QVDMC(), eLogAssistec, 'A'), kArquivoCorrompido);
    EXPECT_EQ(log.GetInformacoes().size(), 1u);  // kept for another try

    // The failures went to the company's error log.
    std::string textoLog;
    for (const auto& nome : zenta::teste::ArquivosAbaixo(m_home.Raiz() / "data/ACME/DF"))
        if (nome.rfind("QVProfilerErros_Base_", 0) == 0)
            textoLog += zenta::teste::LeArquivo(m_home.Raiz() / "data/ACME/DF" / nome);
    EXPECT_THAT(textoLog, ::testing::HasSubstr("m_sessao.Banco(banco)"));
    EXPECT_THAT(textoLog, ::testing::HasSubstr("file is not a database"));

    // A file whose pages were damaged after a good start: reading fails, no crash.
    ASSERT_EQ(ErpBanco::Abre(Arquivo("BETA"), banco), S_OK);
    std::vector<REG_ES_PREBAIXAPS> muitos(200, PreBaixa(1, 1));
    ASSERT_EQ(banco->GravaPreBaixas(Chave(1), 1, muitos), S_OK);
    ASSERT_EQ(banco->ExecutaSql("PRAGMA wal_checkpoint(TRUNCATE)"), S_OK);
    banco.reset();
    {
        std::fstream f(Arquivo("BETA"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096 * 2 + 100);
        f << std::string(20000, '\xFF');
    }
    HRESULT hr = ErpBanco::Abre(Arquivo("BETA"), banco);
    if (SUCCEEDED(hr)) {
        std::vector<REG_ES_PREBAIXAPS> lidos;
        hr = banco->LePreBaixas(Chave(1), 1, lidos);
    }
    EXPECT_EQ(hr, kArquivoCorrompido);
}

}  // namespace
