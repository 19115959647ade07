// zenta-demo: creates a service object in-process, initialises it for a demo
// company and reports each step and its result.
//
//   zenta-demo [--empresa NAME] [--usuario N] [--sessao N]
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <zenta/zenta.h>

namespace {

const char* Descreve(HRESULT hr) {
    switch (static_cast<uint32_t>(hr)) {
        case 0x00000000u: return "S_OK";
        case 0x80004001u: return "E_NOTIMPL (not supported by this service)";
        case 0x810809C7u: return "data written by a newer version";
        case 0x810809CFu: return "no company";
        case 0x81080A04u: return "refused: object not initialised";
        case 0x81080AA8u: return "refused: no logic object";
        case 0x81080BFDu: return "E_QVCR_VERSAO_INCOMPATIVEL";
        case 0x81080C17u: return "E_QVCR_CRC_INICIALIZACAO_INVALIDO";
        case 0x81080C19u: return "E_QVCR_ESTRUTURA_INICIALIZACAO_INVALIDA";
        case 0x8007007Bu: return "invalid company name";
        default: return FAILED(hr) ? "failure" : "success";
    }
}

void Mostra(const char* passo, HRESULT hr) {
    std::printf("%-44s 0x%08" PRIX32 "  %s\n", passo, static_cast<uint32_t>(hr), Descreve(hr));
}

void Copia(char* destino, size_t tamanho, const char* origem) {
    std::snprintf(destino, tamanho, "%s", origem);
}

int Uso() {
    std::fprintf(stderr, "usage: zenta-demo [--empresa NAME] [--usuario N] [--sessao N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string empresa = "DEMO";
    unsigned long usuario = 1;
    unsigned long sessao = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string opcao = argv[i];
        if (i + 1 >= argc) return Uso();
        const char* valor = argv[++i];
        if (opcao == "--empresa") empresa = valor;
        else if (opcao == "--usuario") usuario = std::strtoul(valor, nullptr, 10);
        else if (opcao == "--sessao") sessao = std::strtoul(valor, nullptr, 10);
        else return Uso();
    }

    const char* home = std::getenv("ZENTA_HOME");
    std::printf("zenta-demo: company \"%s\", user %lu, session %lu, ZENTA_HOME=%s\n\n", empresa.c_str(), usuario,
                sessao, home != nullptr ? home : "(default)");

    Mostra("CoInitializeEx", CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    IQVGE_ManutencaoPreventiva* servico = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&servico));
    Mostra("CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva)", hr);
    if (FAILED(hr)) return 1;

    LONG vivo = 0;
    Mostra("KeepAlive", servico->KeepAlive(&vivo));
    _REG_CADASTRO_PROPRIEDADES_PS propriedades{};
    Mostra("LePropriedades before Inicializa_Padrao", servico->LePropriedades(&propriedades));

    _REG_DF_INICIALIZAPS registro{};
    registro.ulUsuario = static_cast<ULONG>(usuario);
    registro.ulNumeroSessao = static_cast<ULONG>(sessao);
    registro.ulLinhaFonte = __LINE__;
    registro.usVersaoFarol = QV_VERSAO_FAROL;
    Copia(registro.szEmpresa, sizeof registro.szEmpresa, empresa.c_str());
    Copia(registro.szAplicativo, sizeof registro.szAplicativo, "zenta-demo");
    Copia(registro.szModuleName, sizeof registro.szModuleName, "zenta-demo");
    Copia(registro.szArquivoFonte, sizeof registro.szArquivoFonte, "main.cpp");
    registro.cControle = QV_CONTROLE_INICIALIZACAO;

    _REG_DF_INICIALIZAPS adulterado = registro;
    QVAssinaInicializacao(adulterado);
    adulterado.ulNumeroSessao ^= 1;  // changed after sealing
    Mostra("Inicializa_Padrao with a broken CRC", servico->Inicializa_Padrao(adulterado));

    QVAssinaInicializacao(registro);
    hr = servico->Inicializa_Padrao(registro);
    Mostra("Inicializa_Padrao", hr);

    Mostra("LePropriedades", servico->LePropriedades(&propriedades));

    _REG_CADASTRO_PROPRIEDADES_PS novas = propriedades;
    novas.cAvisarDataProximaManutencaoComAntecedencia = 1;
    novas.cAvisarPorEmail = 1;
    novas.lQtdDiasAviso = 15;
    Copia(novas.szNomeCampoDinamico1, sizeof novas.szNomeCampoDinamico1, "Chassi");
    Mostra("GravaPropriedades (15 days' notice)", servico->GravaPropriedades(novas));
    _REG_CADASTRO_PROPRIEDADES_PS lidas{};
    Mostra("LePropriedades", servico->LePropriedades(&lidas));
    std::printf("%-44s notice %s, e-mail %s, %u days, field 1 \"%.32s\"\n", "  properties now",
                lidas.cAvisarDataProximaManutencaoComAntecedencia ? "on" : "off", lidas.cAvisarPorEmail ? "on" : "off",
                static_cast<unsigned>(lidas.lQtdDiasAviso), lidas.szNomeCampoDinamico1);

    // Anything else of the interface is still to come.
    Mostra("Le(1)", servico->Le(1, nullptr));
    _REG_DF_ERROPS erro{};
    Mostra("GetUltimoErro", servico->GetUltimoErro(&erro));

    const ULONG restantes = servico->Release();
    std::printf("%-44s %lu references left\n", "Release", static_cast<unsigned long>(restantes));
    CoUninitialize();
    if (home != nullptr) {
        const std::filesystem::path dados = std::filesystem::path(home) / "data" / empresa / "GE";
        std::error_code ec;
        std::size_t arquivos = 0;
        for (const auto& item : std::filesystem::directory_iterator(dados, ec))
            if (item.is_regular_file()) ++arquivos;
        std::printf("\n%zu files in the company's database directory %s\n", arquivos, dados.c_str());
    }
    std::printf("Failures are written to the error log under ZENTA_HOME (QVProfilerErros_*.log).\n");
    return SUCCEEDED(hr) ? 0 : 1;
}
