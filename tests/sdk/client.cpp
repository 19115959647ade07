// A client built only against the installed SDK: creates the service,
// checks the refusals of the initialisation handshake, initialises it and
// checks the wire layout of the records it was compiled with.
#include <zenta/zenta.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

namespace {

int g_falhas = 0;

void Confere(bool condicao, const char* texto) {
    if (!condicao) {
        std::fprintf(stderr, "FALHOU: %s\n", texto);
        ++g_falhas;
    }
}
#define CONFERE(x) Confere((x), #x)

_REG_DF_INICIALIZAPS Registro() {
    _REG_DF_INICIALIZAPS r{};
    r.ulUsuario = 3;
    r.ulNumeroSessao = 99;
    r.ulLinhaFonte = __LINE__;
    r.usVersaoFarol = QV_VERSAO_FAROL;
    std::strcpy(r.szEmpresa, "SDK");
    std::strcpy(r.szAplicativo, "sdk_client");
    std::strcpy(r.szModuleName, "sdk_client");
    std::strcpy(r.szArquivoFonte, "client.cpp");
    r.cControle = 'B';
    QVAssinaInicializacao(r);
    return r;
}

std::string LogPgms(const char* home) {
    const std::time_t agora = std::time(nullptr);
    std::tm tm{};
    localtime_r(&agora, &tm);
    char nome[64];
    std::snprintf(nome, sizeof nome, "/programs/DF/QVProfilerErros_Pgms_%04d%02d.log", tm.tm_year + 1900, tm.tm_mon + 1);
    std::ifstream in(std::string(home) + nome);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string LeTexto(const std::string& caminho) {
    std::ifstream in(caminho);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

IQVGE_ManutencaoPreventiva* NovoObjetoInicializado() {
    IQVGE_ManutencaoPreventiva* p = nullptr;
    if (CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_INPROC_SERVER, IID_IQVGE_ManutencaoPreventiva,
                         reinterpret_cast<void**>(&p)) != S_OK ||
        p == nullptr)
        return nullptr;
    if (p->Inicializa_Padrao(Registro()) != S_OK) {
        p->Release();
        return nullptr;
    }
    return p;
}

// The generic functions that test builds of the server carry (they fail on
// purpose), active while ZENTA_OPERACOES_TESTE is "1".
constexpr ULONG kTesteViolacaoAcesso = 0x7E570001u;
constexpr ULONG kTesteDivisaoPorZero = 0x7E570002u;
constexpr ULONG kTesteEstouroPilha = 0x7E570003u;
constexpr ULONG kTesteExcecao = 0x7E570004u;

HRESULT Chama(IQVGE_ManutencaoPreventiva* p, ULONG funcao) {
    _REG_CR_LISTA_BYTESPS entrada{};
    _REG_CR_LISTA_BYTESPS* saida = nullptr;
    return p->FuncaoGenerica(funcao, entrada, &saida);
}

bool EhObjetoDescartado(IQVGE_ManutencaoPreventiva* p) {
    _REG_CADASTRO_PROPRIEDADES_PS propriedades{};
    return p->LePropriedades(&propriedades) == static_cast<HRESULT>(0x81080A04u);
}

// A machine fault inside a business call: the fault's result, a report with
// the stack text naming the faulting function, the object's logic disposed
// of, and the other objects of the company unharmed.
void ConfereFalhasMaquina(const char* home) {
    setenv("ZENTA_OPERACOES_TESTE", "1", 1);
    IQVGE_ManutencaoPreventiva* outro = NovoObjetoInicializado();
    CONFERE(outro != nullptr);
    if (outro == nullptr) return;
    const std::string relatorios = std::string(home) + "/programs/DF/QVMens.log";

    struct Caso {
        ULONG funcao;
        HRESULT hr;
        const char* funcaoQueFalha;
    };
    const Caso casos[] = {
        {kTesteViolacaoAcesso, static_cast<HRESULT>(0x8004EAC5u), "FalhaTesteViolacaoAcesso"},
        {kTesteDivisaoPorZero, static_cast<HRESULT>(0x8004EAD3u), "FalhaTesteDivisaoPorZero"},
        {kTesteEstouroPilha, static_cast<HRESULT>(0x8004EADAu), "FalhaTesteEstouroPilha"},
    };
    for (const Caso& caso : casos) {
        IQVGE_ManutencaoPreventiva* p = NovoObjetoInicializado();
        CONFERE(p != nullptr);
        if (p == nullptr) continue;
        const std::size_t antes = LeTexto(relatorios).size();
        const HRESULT hr = Chama(p, caso.funcao);
        if (hr != caso.hr) std::fprintf(stderr, "funcao 0x%08lX: 0x%08X\n", static_cast<unsigned long>(caso.funcao), static_cast<unsigned>(hr));
        CONFERE(hr == caso.hr);
        const std::string relatorio = LeTexto(relatorios).substr(antes);
        CONFERE(relatorio.find(caso.funcaoQueFalha) != std::string::npos);
        char codigo[16];
        std::snprintf(codigo, sizeof codigo, "0x%08X", static_cast<unsigned>(caso.hr));
        CONFERE(relatorio.find(codigo) != std::string::npos);
        CONFERE(EhObjetoDescartado(p));
        CONFERE(!EhObjetoDescartado(outro));
        CONFERE(p->Release() == 0);
    }

    // A thrown exception is the frame's translation, not a machine fault:
    // no report, and the object goes on.
    IQVGE_ManutencaoPreventiva* p = NovoObjetoInicializado();
    CONFERE(p != nullptr);
    if (p != nullptr) {
        const std::size_t antes = LeTexto(relatorios).size();
        CONFERE(Chama(p, kTesteExcecao) == static_cast<HRESULT>(0x8004EA65u));
        CONFERE(LeTexto(relatorios).size() == antes);
        CONFERE(!EhObjetoDescartado(p));
        CONFERE(p->Release() == 0);
    }
    CONFERE(outro->Release() == 0);
    unsetenv("ZENTA_OPERACOES_TESTE");
}

// Frees what the service handed out in a plan, as a COM client must.
void LiberaPlano(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano) {
    for (ULONG i = 0; i < plano.listaManutencoes.lQtdManutencoes; ++i) {
        _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m = plano.listaManutencoes.pManutencoes[i];
        CoTaskMemFree(m.frequenciaPS.szObservacao.pTexto);
        for (ULONG j = 0; j < m.listaProdutos.lQtdProdutos; ++j)
            CoTaskMemFree(m.listaProdutos.pProdutos[j].listaLocal.pLocaisEstoque);
        CoTaskMemFree(m.listaProdutos.pProdutos);
        CoTaskMemFree(m.listaServicos.pServicos);
    }
    CoTaskMemFree(plano.listaManutencoes.pManutencoes);
    CoTaskMemFree(plano.listaClientes.pClientes);
}

// A plan saved and read back as a client outside the project does, the
// lists handed out freed by the client.
void ConferePlanos(IQVGE_ManutencaoPreventiva* p) {
    _REG_CADASTRO_MANUTENCAO_SERVICO_PS servico{};
    servico.lServico = 5;
    _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS manutencao{};
    std::strcpy(manutencao.szNomeManutencao, "Lubrifica\xE7\xE3o");
    manutencao.frequenciaPS.lTipoFrequencia = 1;
    manutencao.frequenciaPS.lTipoFrequenciaTempo = 1;
    manutencao.frequenciaPS.lFrequenciaTempo = 10;
    char observacao[] = "Usar graxa azul";
    manutencao.frequenciaPS.szObservacao.ulQtdBytes = sizeof observacao;
    manutencao.frequenciaPS.szObservacao.pTexto = reinterpret_cast<BYTE*>(observacao);
    manutencao.listaServicos.lQtdServicos = 1;
    manutencao.listaServicos.pServicos = &servico;
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    plano.idEquipamentoPS.lEquipamento = 77;
    plano.idEquipamentoPS.lSituacao = 1;
    std::strcpy(plano.idEquipamentoPS.szNrSerie, "ABC-1");
    plano.listaManutencoes.lQtdManutencoes = 1;
    plano.listaManutencoes.pManutencoes = &manutencao;
    LONG posicao = 0;
    CONFERE(p->Grava(&posicao, plano) == S_OK && posicao == 1);
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS lido{};
    CONFERE(p->Le(1, &lido) == S_OK);
    CONFERE(lido.listaManutencoes.lQtdManutencoes == 1);
    if (lido.listaManutencoes.lQtdManutencoes == 1) {
        const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m = lido.listaManutencoes.pManutencoes[0];
        CONFERE(m.lCodigoManutencao != 0);
        CONFERE(m.frequenciaPS.szObservacao.ulQtdBytes == sizeof observacao);
        CONFERE(m.listaServicos.lQtdServicos == 1 && m.listaServicos.pServicos[0].lServico == 5);
    }
    LiberaPlano(lido);
}

}  // namespace

int main() {
    const char* home = std::getenv("ZENTA_HOME");
    if (home == nullptr) return 2;

    // The wire layout as this client sees it.
    CONFERE(sizeof(_REG_DF_INICIALIZAPS) == 296 && offsetof(_REG_DF_INICIALIZAPS, uiCRC) == 288);
    CONFERE(sizeof(_REG_DF_ERROPS) == 480);
    CONFERE(sizeof(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS) == 696);
    CONFERE(sizeof(_REG_MOVIMENTACAO_MANUT_PREV_PS) == 720 && offsetof(_REG_MOVIMENTACAO_MANUT_PREV_PS, szNrSerie) == 614);
    CONFERE(offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, dataInicial) == 242 &&
            offsetof(_REG_CADASTRO_MANUTENCAO_CLIENTE_PS, dataFinal) == 246);
    CONFERE(offsetof(_REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS, szCapacidade) == 88);
    CONFERE(sizeof(LONG) == 4 && sizeof(ULONG) == 4 && sizeof(HRESULT) == 4 && sizeof(ULONGLONG) == 8);
    CONFERE(QVCalculaCrc64("123456789", 9, 0) == 0x2B9C7EE4E2780C8Aull);

    CONFERE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    IQVGE_ManutencaoPreventiva* p = nullptr;
    CONFERE(CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&p)) == S_OK);
    if (p == nullptr) return 1;

    _REG_CADASTRO_PROPRIEDADES_PS propriedades{};
    CONFERE(p->LePropriedades(&propriedades) == static_cast<HRESULT>(0x81080A04u));

    _REG_DF_INICIALIZAPS r = Registro();
    r.usVersaoFarol = 1;
    QVAssinaInicializacao(r);
    CONFERE(p->Inicializa_Padrao(r) == static_cast<HRESULT>(0x81080BFDu));
    r = Registro();
    r.uiCRC ^= 1;
    CONFERE(p->Inicializa_Padrao(r) == static_cast<HRESULT>(0x81080C17u));
    r = Registro();
    r.cControle = 'b';
    QVAssinaInicializacao(r);
    CONFERE(p->Inicializa_Padrao(r) == static_cast<HRESULT>(0x81080C19u));

    const std::string log = LogPgms(home);
    CONFERE(log.rfind("Data\tHora\tProcesso\tUsuarioLocal\tClasseFuncao\t", 0) == 0);
    CONFERE(log.find("hr = E_QVCR_VERSAO_INCOMPATIVEL") != std::string::npos);
    CONFERE(log.find("hr = E_QVCR_CRC_INICIALIZACAO_INVALIDO") != std::string::npos);
    CONFERE(log.find("hr = E_QVCR_ESTRUTURA_INICIALIZACAO_INVALIDA") != std::string::npos);

    CONFERE(p->Inicializa_Padrao(Registro()) == S_OK);
    LONG ok = 0;
    CONFERE(p->KeepAlive(&ok) == S_OK && ok == 1);

    // Properties written are read back equal; the log flag is not stored.
    _REG_CADASTRO_PROPRIEDADES_PS escritas{};
    escritas.cAvisarPorEmail = 1;
    escritas.cAvisarComTelaAviso = 1;
    escritas.lQtdDiasAviso = 7;
    escritas.dataUltimaVerificacaoMedicao = 45000;
    std::strcpy(escritas.szNomeCampoDinamico1, "Cor");
    std::strcpy(escritas.szNomeCampoDinamico5, "Tens\xE3o");
    escritas.ucNaoGravarLog = 1;
    CONFERE(p->GravaPropriedades(escritas) == S_OK);
    _REG_CADASTRO_PROPRIEDADES_PS lidas{};
    CONFERE(p->LePropriedades(&lidas) == S_OK);
    escritas.ucNaoGravarLog = 0;
    CONFERE(std::memcmp(&lidas, &escritas, sizeof lidas) == 0);
    ConferePlanos(p);
    CONFERE(p->Release() == 0);

    ConfereFalhasMaquina(home);
    CoUninitialize();

    std::printf("%s\n", g_falhas == 0 ? "sdk client: ok" : "sdk client: FAILED");
    return g_falhas == 0 ? 0 : 1;
}
