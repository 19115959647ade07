// Start-up of the preventive-maintenance logic for a company and its
// properties, through the service object as a client creates it: the
// company's database (shared, converted once, released), the data version
// check, corrupt and inconsistent files, properties with their change-log
// entry, and processes starting one company at once.

#include <iterator>
#include <map>

#include <zenta/zenta.h>

#include "standins/erp/QVErpBanco.h"
#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVFileBase.h"
#include "core/qvdatabase/QVFileSingleReg.h"
#include "logic/BaseManutencaoPreventiva.h"
#include "platform/CodePage.h"
#include "server/QVJsonRegistros.h"
#include "support/EmpresaTeste.h"
#include "support/ErpTeste.h"
#include "support/Inicializacao.h"
#include "support/ServicoTeste.h"
#include "support/ZentaHomeTemporario.h"
#include "values/RelogioSistema.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
using zenta::teste::LeArquivo;
using zenta::teste::RegistroInicializacao;

constexpr HRESULT kVersaoSuperior = static_cast<HRESULT>(0x810809C7u);
constexpr HRESULT kSemEmpresa = static_cast<HRESULT>(0x810809CFu);

using zenta::teste::Servico;

// A new service object of the class context given, started for `empresa`:
// what its start-up answered (E_FAIL when the object could not be created).
HRESULT Inicia(const std::string& empresa, Servico& s, DWORD contexto = CLSCTX_INPROC_SERVER) {
    IQVGE_ManutencaoPreventiva* p = nullptr;
    if (FAILED(CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, contexto, IID_IQVGE_ManutencaoPreventiva,
                                reinterpret_cast<void**>(&p))))
        return E_FAIL;
    s.reset(p);
    return p->Inicializa_Padrao(RegistroInicializacao(empresa));
}

// Writes the company's data version file as an older or newer program would.
void GravaVersao(const char* empresa, USHORT versao) {
    zenta::CQVContainerArquivosSimples c(QV_MODULO_GE);
    CQVFileSingleReg<REG_GE_MANUTENCAO_PREVENTIVA_VERSAO> arquivo("GEMANUTENCAOPREVENTIVAVS.dat", &c);
    ASSERT_EQ(arquivo.Inicializa(empresa, 7, 42), S_OK);
    REG_GE_MANUTENCAO_PREVENTIVA_VERSAO reg{};
    reg.usVersao = versao;
    ASSERT_EQ(arquivo.Grava(reg), S_OK);
    arquivo.Finaliza();
}

class Inicializacao : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override { CoUninitialize(); }

    // A new service object; `hr` receives what its initialisation answered.
    Servico Novo(const std::string& empresa, HRESULT& hr) {
        Servico s;
        hr = Inicia(empresa, s, zenta::teste::ContextoServico());
        EXPECT_TRUE(s) << empresa;
        return s;
    }
    Servico Novo(const std::string& empresa) {
        HRESULT hr = E_FAIL;
        Servico s = Novo(empresa, hr);
        EXPECT_EQ(hr, S_OK) << empresa;
        return s;
    }

    fs::path Dados(const std::string& empresa) const { return m_home.Raiz() / "data" / empresa / "GE"; }
    static CQVDataBase_GE_ManutencaoPreventiva* Base(const std::string& empresa) {
        return CBaseManutencaoPreventiva::m_ContainerFacade.GetDataBase(empresa);
    }
    // Every file of a directory with its bytes.
    static std::map<std::string, std::string> Conteudo(const fs::path& dir) {
        std::map<std::string, std::string> m;
        for (const auto& e : fs::directory_iterator(dir)) m[e.path().filename().string()] = LeArquivo(e.path());
        return m;
    }
    // The names of the files that differ between two contents (none when equal).
    static std::set<std::string> Diferencas(const std::map<std::string, std::string>& a,
                                            const std::map<std::string, std::string>& b) {
        std::vector<std::pair<std::string, std::string>> d;
        std::set_symmetric_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(d));
        std::set<std::string> nomes;
        for (const auto& par : d) nomes.insert(par.first);
        return nomes;
    }
    // Starts the company expecting `esperado`: no database is opened and the
    // files are left as they were (but for the creation control, unless
    // `controle`), also after the object is released.
    void PartidaRecusada(const std::string& empresa, HRESULT esperado, bool controle = true) {
        auto antes = Conteudo(Dados(empresa));
        HRESULT hr = S_OK;
        Servico s = Novo(empresa, hr);
        EXPECT_EQ(hr, esperado);
        EXPECT_EQ(Base(empresa), nullptr);
        s.reset();
        auto depois = Conteudo(Dados(empresa));
        if (!controle) {
            antes.erase("QVDATABASE_FILE_CTRL.dat");
            depois.erase("QVDATABASE_FILE_CTRL.dat");
        }
        EXPECT_EQ(Diferencas(depois, antes), std::set<std::string>{});
    }
    static std::vector<zenta::ErpLinhaLog> Logs(const std::string& empresa) {
        std::vector<zenta::ErpLinhaLog> linhas;
        EXPECT_EQ(zenta::teste::BancoErp(empresa)->LeLogs(linhas), S_OK);
        return linhas;
    }

    zenta::teste::ZentaHomeTemporario m_home;
};

_REG_CADASTRO_PROPRIEDADES_PS Propriedades() {
    _REG_CADASTRO_PROPRIEDADES_PS p{};
    p.cAvisarDataProximaManutencaoComAntecedencia = 1;
    p.cAvisarPorEmail = 0;
    p.cAvisarComTelaAviso = 1;
    p.lQtdDiasAviso = 15;
    p.dataUltimaVerificacaoMedicao = 45678;
    std::strcpy(p.szNomeCampoDinamico1, "Cor");
    std::strcpy(p.szNomeCampoDinamico2, "Pot\xEAncia");  // Windows-1252, as clients send it
    std::strcpy(p.szNomeCampoDinamico4, "Tens\xE3o nominal");
    std::memset(p.szNomeCampoDinamico5, 'Z', sizeof p.szNomeCampoDinamico5);  // no terminator
    return p;
}

// ---- Properties ---------------------------------------------------------------------------

TEST_F(Inicializacao, PropertiesAreStoredReadBackAndLoggedOnce) {
    Servico s = Novo("PROPA");
    // A directory without files starts empty: nothing is created before the first write.
    EXPECT_FALSE(fs::exists(Dados("PROPA") / "GEMPCADPROP.dat"));
    _REG_CADASTRO_PROPRIEDADES_PS lido{};
    ASSERT_EQ(s->LePropriedades(&lido), S_OK);
    const _REG_CADASTRO_PROPRIEDADES_PS zero{};
    EXPECT_EQ(std::memcmp(&lido, &zero, sizeof lido), 0);
    // With nothing stored, the caller's record stays as it was given.
    const _REG_CADASTRO_PROPRIEDADES_PS gravado = Propriedades();
    _REG_CADASTRO_PROPRIEDADES_PS sujo = gravado;
    ASSERT_EQ(s->LePropriedades(&sujo), S_OK);
    EXPECT_EQ(std::memcmp(&sujo, &gravado, sizeof sujo), 0);

    ASSERT_EQ(s->GravaPropriedades(gravado), S_OK);
    lido = {};
    lido.ucNaoGravarLog = 1;  // not stored: stays as the caller gave it
    ASSERT_EQ(s->LePropriedades(&lido), S_OK);
    _REG_CADASTRO_PROPRIEDADES_PS esperado = gravado;
    esperado.szNomeCampoDinamico5[sizeof esperado.szNomeCampoDinamico5 - 1] = '\0';  // cut to 31 and terminated
    esperado.ucNaoGravarLog = 1;
    EXPECT_EQ(std::memcmp(&lido, &esperado, sizeof lido), 0);

    // Exactly one change-log entry: kind 155, alteration, the session's user and session.
    auto logs = Logs("PROPA");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(std::tie(logs[0].lTipoLog, logs[0].cOperacao, logs[0].usUsuario, logs[0].lSessao),
              std::make_tuple(155, 'A', USHORT{7}, 42));
    EXPECT_EQ(logs[0].dmcChave.Get64(), 0u);
    ASSERT_EQ(logs[0].informacoes.size(), 1u);
    EXPECT_EQ(logs[0].informacoes[0].cTag, 'N');
    EXPECT_EQ(logs[0].informacoes[0].sTexto, zenta::Utf8OuCp1252ParaCp1252(zenta::kTextoLogPropriedades));

    // Without the log: the properties change, no entry is written.
    _REG_CADASTRO_PROPRIEDADES_PS semLog = gravado;
    semLog.lQtdDiasAviso = 30;
    semLog.ucNaoGravarLog = 1;
    ASSERT_EQ(s->GravaPropriedades(semLog), S_OK);
    lido = {};
    ASSERT_EQ(s->LePropriedades(&lido), S_OK);
    EXPECT_EQ(lido.lQtdDiasAviso, 30u);
    EXPECT_EQ(lido.ucNaoGravarLog, 0);
    EXPECT_EQ(Logs("PROPA").size(), 1u);

    EXPECT_EQ(s->LePropriedades(nullptr), E_POINTER);
}

// ---- The company's database ------------------------------------------------------------------

TEST_F(Inicializacao, ObjectsOfACompanyShareOneDatabaseConvertedOnce) {
    Servico a = Novo("PARTA");
    CQVDataBase_GE_ManutencaoPreventiva* base = Base("PARTA");
    ASSERT_NE(base, nullptr);

    // A version file that appears now is not read again in this process.
    GravaVersao("PARTA", 2);
    Servico b = Novo("PARTA");
    EXPECT_EQ(Base("PARTA"), base);
    ASSERT_EQ(a->GravaPropriedades(Propriedades()), S_OK);
    _REG_CADASTRO_PROPRIEDADES_PS lido{};
    ASSERT_EQ(b->LePropriedades(&lido), S_OK);
    EXPECT_EQ(lido.lQtdDiasAviso, 15u);

    a.reset();
    EXPECT_EQ(Base("PARTA"), base);
    const std::string antes = LeArquivo(Dados("PARTA") / "GEMPCADPROP.dat");
    b.reset();
    EXPECT_EQ(Base("PARTA"), nullptr);
    // Closing brought the header up to date once more.
    const std::string depois = LeArquivo(Dados("PARTA") / "GEMPCADPROP.dat");
    REG_QVDATABASE_CABECALHO_V1 cabAntes{}, cabDepois{};
    std::memcpy(&cabAntes, antes.data(), sizeof cabAntes);
    std::memcpy(&cabDepois, depois.data(), sizeof cabDepois);
    EXPECT_EQ(cabDepois.ullContadorAtualizacoes, cabAntes.ullContadorAtualizacoes + 1);
    EXPECT_EQ(cabDepois.ullCrcCabecalho, zenta::CrcCabecalho(cabDepois));
    EXPECT_EQ(depois.substr(240), antes.substr(240));

    // Still converted in this process: a new object starts.
    Servico c = Novo("PARTA");
    EXPECT_NE(Base("PARTA"), nullptr);
}

TEST_F(Inicializacao, NewerDataVersionOrNoCompanyOpensNothing) {
    fs::create_directories(Dados("VERS"));
    GravaVersao("VERS", 2);
    const auto antes = Conteudo(Dados("VERS"));
    HRESULT hr = S_OK;
    Servico s = Novo("VERS", hr);
    EXPECT_EQ(hr, kVersaoSuperior);
    EXPECT_EQ(Base("VERS"), nullptr);
    EXPECT_EQ(Diferencas(Conteudo(Dados("VERS")), antes), std::set<std::string>{});
    _REG_CADASTRO_PROPRIEDADES_PS lido{};
    EXPECT_EQ(s->LePropriedades(&lido), static_cast<HRESULT>(0x81080A04u));  // the session did not start

    // Version 1 needs no conversion; the failed check is made again.
    GravaVersao("VERS", 1);
    Servico t = Novo("VERS");
    EXPECT_NE(Base("VERS"), nullptr);

    // Straight on the logic object, as the service's frame would call it.
    CBaseManutencaoPreventiva semEmpresa;
    EXPECT_EQ(semEmpresa.Inicializa("", 7, 42), kSemEmpresa);
    EXPECT_EQ(semEmpresa.m_pDataBase, nullptr);
    EXPECT_FALSE(semEmpresa.EstaInicializado());
}

TEST_F(Inicializacao, CorruptMemberFailsStartUpWithTheEngineCodeAndTouchesNothing) {
    {
        Servico s = Novo("CORR");
        CQVDataBase_GE_ManutencaoPreventiva* base = Base("CORR");
        ASSERT_NE(base, nullptr);
        ASSERT_EQ(s->GravaPropriedades(Propriedades()), S_OK);
        // Files before and after the properties in name order, a group member among them.
        ULONGLONG pos = 0;
        REG_MOVIMENTACAO_MANUT_PREV_V1 ordem{};
        ordem.lFilial = 1;
        ASSERT_EQ(base->m_MovManutPrev.Grava(122026, pos, ordem), S_OK);
        pos = 0;
        ASSERT_EQ(base->m_ManutencaoPreventiva.Grava(pos, REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1{}), S_OK);
        pos = 0;
        ASSERT_EQ(base->m_Medidores.Grava(pos, REG_CADASTRO_MEDIDORES_V1{}), S_OK);
    }
    // A start-up in between lists every existing file in the creation control,
    // so that what follows is a directory in its steady state.
    Novo("CORR").reset();
    {
        std::ofstream(Dados("CORR") / "GEMPCADPROP.dat", std::ios::binary | std::ios::app) << 'x';
    }
    ASSERT_TRUE(fs::exists(Dados("CORR") / "GEMOVMANUT122026.dat"));
    PartidaRecusada("CORR", E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE);
}

// ---- Start-up compaction ---------------------------------------------------------------------

TEST_F(Inicializacao, ParentWithAFirstChildButNoCountStopsStartUp) {
    {
        Servico s = Novo("INCO");
        ULONGLONG pos = 0;
        REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 plano{};
        plano.lClientes = 5;
        ASSERT_EQ(Base("INCO")->m_ManutencaoPreventiva.Grava(pos, plano), S_OK);
        pos = 0;
        ASSERT_EQ(Base("INCO")->m_ManutencaoCliente.GravaColecao(pos, std::vector(5, REG_CADASTRO_MANUTENCAO_CLIENTE_V1{})), S_OK);
    }
    // The data files are left as they are; the creation control may list the
    // client file, which was only created so far, at its first writable open.
    PartidaRecusada("INCO", E_QVCR_INCONSISTENCIA_CHAVE_QUANTIDADE, false);
}

// ---- Several processes on one company ---------------------------------------------------------

// Counts the compaction twins renamed over their files.
class ContaCompactacoes final : public zenta::SistemaArquivosRepassador {
public:
    ContaCompactacoes() : SistemaArquivosRepassador(zenta::CriaSistemaArquivosReal()) {}
    zenta::ResultadoArquivo Renomeia(const fs::path& o, const fs::path& d, bool v) override {
        const zenta::ResultadoArquivo r = m_base->Renomeia(o, d, v);
        if (r.Ok() && o.extension() == ".srk") ++renomeados;
        return r;
    }
    int renomeados = 0;
};

// A plan of one maintenance every 500 units of its meter (nothing for the
// day's verification to count), with a remark.
HRESULT GravaPlano(IQVGE_ManutencaoPreventiva& s, LONG& posicao, ULONG equipamento, const char* observacao) {
    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS m{};
    std::snprintf(m.szNomeManutencao, sizeof m.szNomeManutencao, "Limpeza");
    m.frequenciaPS.lTipoFrequencia = 3;
    m.frequenciaPS.vFrequenciaMedicao.int64 = 500 * 10000;
    m.frequenciaPS.szObservacao.ulQtdBytes = static_cast<ULONG>(std::strlen(observacao) + 1);
    m.frequenciaPS.szObservacao.pTexto = reinterpret_cast<BYTE*>(const_cast<char*>(observacao));
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    plano.idEquipamentoPS.lEquipamento = equipamento;
    plano.idEquipamentoPS.lSituacao = 1;
    plano.listaManutencoes = {1, 0, nullptr, &m};
    return s.Grava(&posicao, plano);
}

// Every plan save (and the daily count of a plan) writes a new meter and a
// new frequency per maintenance; start-up keeps only those the plans and
// maintenances point at, and the plans read back the same. A plan pointing
// past the meter file (damage) leaves that file as it is and still starts.
TEST_F(Inicializacao, StartUpDropsTheMetersAndFrequenciesNoPlanPointsAt) {
    LONG primeiro = 0, segundo = 0;
    {
        Servico s = Novo("SOBRA");
        for (int i = 0; i < 3; ++i) ASSERT_EQ(GravaPlano(*s, primeiro, 10, i == 2 ? "final" : "antes"), S_OK);
        ASSERT_EQ(GravaPlano(*s, segundo, 20, "outro"), S_OK);
        EXPECT_GE(Base("SOBRA")->m_ManutencaoFrequencia.GetQtdRegistros(), 4u);
        EXPECT_GE(Base("SOBRA")->m_Medidores.GetQtdRegistros(), 4u);
    }
    Servico s = Novo("SOBRA");
    EXPECT_EQ(Base("SOBRA")->m_ManutencaoFrequencia.GetQtdRegistros(), 2u);
    EXPECT_EQ(Base("SOBRA")->m_Medidores.GetQtdRegistros(), 2u);
    for (const auto& [posicao, observacao] : {std::pair{primeiro, "final"}, std::pair{segundo, "outro"}}) {
        zenta::teste::PlanoLido lido;
        ASSERT_EQ(s->Le(posicao, &lido.p), S_OK);
        ASSERT_EQ(lido.p.listaManutencoes.lQtdManutencoes, 1u);
        const auto& f = lido.p.listaManutencoes.pManutencoes[0].frequenciaPS;
        EXPECT_EQ(f.vFrequenciaMedicao.int64, 500 * 10000);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.szObservacao.pTexto)), observacao);
        EXPECT_NE(lido.p.idEquipamentoPS.lMedidor, 0u);
    }

    ULONGLONG pos = 0;
    REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 perdido{};
    perdido.lMedidor = 99;
    ASSERT_EQ(Base("SOBRA")->m_ManutencaoPreventiva.Grava(pos, perdido), S_OK);
    ASSERT_EQ(GravaPlano(*s, primeiro, 10, "final"), S_OK);  // meters and frequencies left behind
    const ULONGLONG medidores = Base("SOBRA")->m_Medidores.GetQtdRegistros();
    s.reset();
    s = Novo("SOBRA");
    EXPECT_EQ(Base("SOBRA")->m_Medidores.GetQtdRegistros(), medidores);
    EXPECT_EQ(Base("SOBRA")->m_ManutencaoFrequencia.GetQtdRegistros(), 2u);
}

// Clients in several processes, each using the company in-process, start it
// at once on a new day: each start-up waits for the process before it (its
// compaction and its use of the files), past the counted open attempts,
// readers as well as writers; all succeed and exactly one compacts what the
// day before left.
TEST(PartidaConcorrente, ProcessesStartingOneCompanyAtOnceWaitAndCompactOnce) {
    EXPECT_EQ(zenta::TentativasArquivo().esperaOcupado, zenta::kEsperaOcupadoPadrao);
    zenta::teste::ZentaHomeTemporario home;
    constexpr const char* kEmpresa = "PARTIDA";
    {
        const zenta::RelogioFixoEscopo dia({2026, 5, 10, 9, 0, 0});
        zenta::teste::ComEscopo com;
        Servico s = zenta::teste::NovoServico(kEmpresa);
        ASSERT_TRUE(s);
        LONG posicao = 0;
        ASSERT_EQ(GravaPlano(*s, posicao, 10, "primeira"), S_OK);
        ASSERT_EQ(GravaPlano(*s, posicao, 10, "reescrita"), S_OK);  // old runs and text for compaction
    }

    constexpr int kProcessos = 4;
    int partida[2];
    ASSERT_EQ(::pipe(partida), 0);
    std::vector<pid_t> filhos;
    for (int i = 0; i < kProcessos; ++i) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(partida[1]);
            char c = 0;
            if (::read(partida[0], &c, 1) != 1) ::_exit(1);
            // Open attempts alone (0.2 s) would not outlast the others.
            zenta::PoliticaTentativas politica;
            politica.tentativasAbertura = 20;
            politica.esperaOcupado = std::chrono::seconds(20);
            auto conta = std::make_shared<ContaCompactacoes>();
            const zenta::EscopoArquivoSO escopo(conta, politica);
            const zenta::RelogioFixoEscopo dia({2026, 5, 11, 9, 0, 0});
            zenta::teste::ComEscopo com;
            Servico s;
            if (Inicia(kEmpresa, s) != S_OK) ::_exit(1);
            HRESULT hr = S_OK;
            if (i % 2 == 0) {
                _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS lido{};
                hr = s->Le(1, &lido);
                if (SUCCEEDED(hr)) zenta::LiberaRegistro(lido);
            } else {
                _REG_CADASTRO_PROPRIEDADES_PS propriedades{};
                propriedades.lQtdDiasAviso = static_cast<ULONG>(i);
                propriedades.ucNaoGravarLog = 1;
                hr = s->GravaPropriedades(propriedades);  // rewritten in place: nothing left to compact
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the company stays in use
            s.reset();
            ::_exit(hr != S_OK ? 1 : conta->renomeados > 0 ? 2 : 0);
        }
        filhos.push_back(pid);
    }
    ::close(partida[0]);
    const std::string todos(kProcessos, 'x');
    ASSERT_EQ(::write(partida[1], todos.data(), todos.size()), static_cast<ssize_t>(todos.size()));
    ::close(partida[1]);
    int compactaram = 0;
    for (const pid_t pid : filhos) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_NE(WEXITSTATUS(status), 1) << "a start-up or call was refused";
        if (WEXITSTATUS(status) == 2) ++compactaram;
    }
    EXPECT_EQ(compactaram, 1);
    for (const auto& e : fs::directory_iterator(home.Raiz() / "data" / kEmpresa / "GE"))
        EXPECT_NE(e.path().extension(), ".srk") << e.path();
}

// A company without any file yet is still one process's at a time: another
// process's start-up waits for it and, past its bound, is refused.
TEST(PartidaConcorrente, ACompanyWithoutFilesIsUsedByOneProcessAtATime) {
    zenta::teste::ZentaHomeTemporario home;
    int pronto[2], fim[2];
    ASSERT_EQ(::pipe(pronto), 0);
    ASSERT_EQ(::pipe(fim), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The other process: uses the company until told to stop.
        zenta::teste::ComEscopo com;
        Servico s;
        const char c = Inicia("VAZIA", s) == S_OK ? 'k' : 'e';
        (void)!::write(pronto[1], &c, 1);
        char d;
        (void)!::read(fim[0], &d, 1);
        s.reset();
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(pronto[0], &c, 1), 1);
    ASSERT_EQ(c, 'k');
    zenta::teste::ComEscopo com;
    {
        zenta::PoliticaTentativas politica;
        politica.tentativasAbertura = 1;
        politica.esperaOcupado = std::chrono::milliseconds(200);
        const zenta::EscopoArquivoSO escopo(nullptr, politica);
        Servico s;
        EXPECT_EQ(Inicia("VAZIA", s), E_QVDATABASE_eSharingViolation);
    }
    (void)!::write(fim[1], "x", 1);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(zenta::teste::NovoServico("VAZIA"));  // once it is done
}

}  // namespace
