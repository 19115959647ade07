#include "diagnostics/QVTrataErro.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>

#include "platform/CodePage.h"
#include "diagnostics/qvmens/QVMens.h"

namespace zenta {

namespace {

// Any symbol of this library, for dladdr.
void MarcadorDestaBiblioteca() {}

}  // namespace

std::filesystem::path DiretorioDestaBiblioteca() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&MarcadorDestaBiblioteca), &info) == 0 || info.dli_fname == nullptr)
        return {};
    std::error_code erro;
    std::filesystem::path arquivo = std::filesystem::canonical(info.dli_fname, erro);
    if (erro) arquivo = info.dli_fname;
    return arquivo.parent_path();
}

std::string NomeArquivoPrograma() {
    std::array<char, 4096> buffer{};
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

CBibliotecaMensagens::CBibliotecaMensagens() {
    const std::filesystem::path diretorio = DiretorioDestaBiblioteca();
    if (!diretorio.empty()) {
        const std::filesystem::path vizinha = diretorio / QVMENS_NOME_BIBLIOTECA;
        m_handle = dlopen(vizinha.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (m_handle == nullptr) m_handle = dlopen(QVMENS_NOME_BIBLIOTECA, RTLD_NOW | RTLD_LOCAL);
}

CBibliotecaMensagens::CBibliotecaMensagens(const std::filesystem::path& caminho)
    : m_handle(dlopen(caminho.c_str(), RTLD_NOW | RTLD_LOCAL)) {}

CBibliotecaMensagens::~CBibliotecaMensagens() {
    if (m_handle != nullptr) dlclose(m_handle);
}

void* CBibliotecaMensagens::Simbolo(const char* nome) const {
    return m_handle != nullptr ? dlsym(m_handle, nome) : nullptr;
}

bool CBibliotecaMensagens::TrataErro(ULONG ulContexto, HRESULT hr, LONG lLimite, std::string_view empresa,
                                     std::string_view arquivo, ULONG ulLinha, LONG lFlag,
                                     std::string_view texto) const {
    const auto funcao = reinterpret_cast<PFN_QVTrataErroExported>(Simbolo(QVMENS_EXPORT_TRATA_ERRO));
    if (funcao == nullptr) return false;
    const std::string empresa1252 = Utf8OuCp1252ParaCp1252(empresa);
    const std::string arquivo1252 = Utf8OuCp1252ParaCp1252(arquivo);
    const std::string programa1252 = Utf8OuCp1252ParaCp1252(NomeArquivoPrograma());
    const std::string texto1252 = Utf8OuCp1252ParaCp1252(texto);
    funcao(ulContexto, hr, lLimite, empresa1252.c_str(), arquivo1252.c_str(), ulLinha, lFlag, 0,
           programa1252.c_str(), texto1252.c_str());
    return true;
}

std::string CBibliotecaMensagens::DescricaoHresult(HRESULT hr) const {
    const auto funcao = reinterpret_cast<PFN_QVGetDescricaoHRESULT>(Simbolo(QVMENS_EXPORT_DESCRICAO));
    if (funcao == nullptr) return {};
    std::array<char, 1024> buffer{};
    if (funcao(hr, buffer.data(), static_cast<uint32_t>(buffer.size())) == 0) return {};
    buffer.back() = '\0';
    return Cp1252ParaUtf8(buffer.data());
}

std::optional<bool> CBibliotecaMensagens::EhFacilidadeDaBiblioteca(uint32_t facility) const {
    const auto funcao = reinterpret_cast<PFN_EhFacilityMT>(Simbolo(QVMENS_EXPORT_FACILITY));
    if (funcao == nullptr) return std::nullopt;
    return funcao(facility) != 0;
}

void TrataErro(ULONG ulContexto, HRESULT hr, LONG lLimite, std::string_view empresa, std::string_view arquivo,
               ULONG ulLinha, LONG lFlag, std::string_view texto) {
    try {
        const zenta::CBibliotecaMensagens biblioteca;
        biblioteca.TrataErro(ulContexto, hr, lLimite, empresa, arquivo, ulLinha, lFlag, texto);
    } catch (...) {
        // Reporting never changes the outcome of what is being reported.
    }
}

}  // namespace zenta
