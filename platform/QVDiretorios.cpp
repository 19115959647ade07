#include "platform/QVDiretorios.h"

#include "platform/QVModulos.h"
#include "platform/CodePage.h"
#include "platform/QVHome.h"
#include "platform/Registry.h"

namespace zenta {

bool QVNomeEmpresaValido(std::string_view empresa) {
    // The company field holds 48 bytes with its terminator.
    if (empresa.empty() || empresa.size() > 47) return false;
    if (empresa == "." || empresa == "..") return false;
    for (const char c : empresa) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '/' || c == '\\') return false;
        // The bytes Windows-1252 leaves undefined stand for control characters.
        if (u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D) return false;
    }
    return true;
}

HRESULT QVDiretorioDadosModulo(int modulo, std::string_view empresa, std::filesystem::path& diretorio) {
    diretorio.clear();
    const std::string_view sigla = QVSiglaModulo(modulo);
    if (sigla.empty()) return E_INVALIDARG;
    if (!QVNomeEmpresaValido(empresa)) return E_QV_NOME_EMPRESA_INVALIDO;
    // The company comes in Windows-1252, as clients' records carry it; the
    // directory is named in the host's UTF-8.
    diretorio = zenta::ZentaHome() / "data" / zenta::Cp1252ParaUtf8(empresa) / std::string(sigla);
    return S_OK;
}

std::filesystem::path QVDiretorioProgramaModulo(int modulo) {
    const std::string_view sigla = QVSiglaModulo(modulo);
    if (sigla.empty()) return {};
    const std::string chave = std::string(QV_CHAVE_REGISTRO) + "\\" + std::string(sigla);
    if (auto caminho = zenta::RegLeTexto(HKEY_LOCAL_MACHINE, chave, "Path"); caminho && !caminho->empty())
        return std::filesystem::path(*caminho);
    return zenta::ZentaHome() / "programs" / std::string(sigla);
}

std::filesystem::path QVDiretorioMensagens() { return zenta::ZentaHome() / "Mensagens"; }

}  // namespace zenta
