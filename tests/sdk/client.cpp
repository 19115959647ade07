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
    CONFERE(p->Release() == 0);
    CoUninitialize();

    std::printf("%s\n", g_falhas == 0 ? "sdk client: ok" : "sdk client: FAILED");
    return g_falhas == 0 ? 0 : 1;
}
