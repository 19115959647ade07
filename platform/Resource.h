// Resources carried by a program file. On this host a program is an ELF
// file; its resources are sections added after linking, one per resource,
// named ".rsrc.<type>.<number>" (".rsrc.TYPELIB.1", ".rsrc.REGISTRY.101").
// The calls follow the find / load / size steps of resource access: a module
// is opened, a resource is found in it by type and number, then its bytes
// are read. Module files are hostile input: every header, offset and size is
// checked against the file before it is used.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <zenta/WinTypes.h>

// HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND): the file is no program
// that could carry resources (not ELF, or a damaged one).
#define HR_ERROR_RESOURCE_DATA_NOT_FOUND static_cast<HRESULT>(0x80070714u)
// HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND)
#define HR_ERROR_RESOURCE_TYPE_NOT_FOUND static_cast<HRESULT>(0x80070715u)
// HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND)
#define HR_ERROR_RESOURCE_NAME_NOT_FOUND static_cast<HRESULT>(0x80070716u)

namespace zenta {

// The section name of resource `numero` of type `tipo`.
std::string NomeSecaoRecurso(std::string_view tipo, unsigned numero);

// The running program's own file.
std::filesystem::path ArquivoProgramaAtual();

// A resource found in a module: where its bytes lie in the file.
struct Recurso {
    std::string tipo;
    unsigned numero = 0;
    std::uint64_t offset = 0;
    std::uint64_t tamanho = 0;
};

class ModuloRecursos {
public:
    // Largest resource read: the type library and the scripts are far smaller.
    static constexpr std::uint64_t kTamanhoMaximo = 16u * 1024u * 1024u;

    // Reads and checks the module's section table. S_OK, an errno-based
    // HRESULT when the file cannot be read, or HR_ERROR_RESOURCE_DATA_NOT_FOUND
    // for a file that is not a sound 64-bit little-endian ELF file.
    HRESULT Abre(const std::filesystem::path& arquivo);

    // Finds resource `numero` of type `tipo` (the type compared without
    // regard to case); nullopt when the module has none.
    std::optional<Recurso> Acha(std::string_view tipo, unsigned numero) const;

    // Its size in bytes.
    static std::uint64_t Tamanho(const Recurso& recurso) { return recurso.tamanho; }

    // Reads the resource's bytes from the module file.
    HRESULT Carrega(const Recurso& recurso, std::string& dados) const;

    // Every resource of the module, in section order.
    const std::vector<Recurso>& Recursos() const { return m_recursos; }

private:
    std::filesystem::path m_arquivo;
    std::vector<Recurso> m_recursos;
};

// Opens `modulo`, finds and reads resource `numero` of type `tipo`:
// HR_ERROR_RESOURCE_TYPE_NOT_FOUND when the module has no resource of that
// type, HR_ERROR_RESOURCE_NAME_NOT_FOUND when it has others of the type.
HRESULT LeRecurso(const std::filesystem::path& modulo, std::string_view tipo, unsigned numero, std::string& dados);

}  // namespace zenta
