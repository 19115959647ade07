// Registration of the local server: script 101 (application), script 106
// (class), then the type library; unregistration in the reverse order. The
// scripts and the library are read from the executable's resources before
// anything is written, so an executable without them changes nothing.
#include "server/QVRegistroServidor.h"

#include <string>

#include <zenta/IQVGE_ManutencaoPreventiva.h>
#include "server/OleAutoTypeLib.h"

#include "diagnostics/QVCheck.h"
#include "diagnostics/QVEventLog.h"
#include "platform/Registry.h"
#include "platform/Resource.h"
#include "server/QVRegistrador.h"

namespace zenta {

namespace {

constexpr unsigned kScriptAplicacao = 101;
constexpr unsigned kScriptClasse = 106;
constexpr unsigned kBibliotecaTipos = 1;

struct Recursos {
    std::string aplicacao;
    std::string classe;
};

HRESULT LeRecursos(const std::filesystem::path& modulo, Recursos& recursos) {
    QV_CHECK(LeRecurso(modulo, "REGISTRY", kScriptAplicacao, recursos.aplicacao));
    QV_CHECK(LeRecurso(modulo, "REGISTRY", kScriptClasse, recursos.classe));
    std::string biblioteca;
    QV_CHECK(LeRecurso(modulo, "TYPELIB", kBibliotecaTipos, biblioteca));
    return S_OK;
}

void PreparaRegistrador(Registrador& registrador, const std::filesystem::path& modulo, bool porUsuario) {
    registrador.AdicionaSubstituicao("MODULE", modulo.string());
    registrador.AdicionaSubstituicao("APPID", TextoGuid(APPID_ZENTA));
    if (porUsuario) registrador.DefineRaiz("HKCR", HKEY_CURRENT_USER, "Software\\Classes");
    else registrador.DefineRaiz("HKCR", HKEY_LOCAL_MACHINE, "Software\\Classes");
}

// A UTF-8 path as UTF-16; false when it is no valid UTF-8.
bool Utf16DeUtf8(const std::string& texto, std::u16string& saida) {
    saida.clear();
    for (size_t i = 0; i < texto.size();) {
        const auto c = static_cast<unsigned char>(texto[i]);
        const size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > texto.size()) return false;
        char32_t ponto = n == 1 ? c : c & (0x7F >> n);
        for (size_t k = 1; k < n; ++k) {
            const auto seguinte = static_cast<unsigned char>(texto[i + k]);
            if ((seguinte & 0xC0) != 0x80) return false;
            ponto = (ponto << 6) | (seguinte & 0x3F);
        }
        if (ponto > 0x10FFFF || (ponto >= 0xD800 && ponto <= 0xDFFF)) return false;
        if (ponto >= 0x10000) {
            ponto -= 0x10000;
            saida.push_back(static_cast<char16_t>(0xD800 + (ponto >> 10)));
            saida.push_back(static_cast<char16_t>(0xDC00 + (ponto & 0x3FF)));
        } else {
            saida.push_back(static_cast<char16_t>(ponto));
        }
        i += n;
    }
    return true;
}

HRESULT RegistraBiblioteca(const std::filesystem::path& modulo, bool porUsuario) {
    std::u16string caminho;
    if (!Utf16DeUtf8(modulo.string(), caminho)) return E_INVALIDARG;
    ITypeLib* biblioteca = nullptr;
    QV_CHECK(LoadTypeLib(caminho.c_str(), &biblioteca));
    const HRESULT hr = porUsuario ? RegisterTypeLibForUser(biblioteca, caminho.data(), nullptr)
                                  : RegisterTypeLib(biblioteca, caminho.c_str(), nullptr);
    biblioteca->Release();
    if (FAILED(hr)) QV_LOG_HR(hr, porUsuario ? "RegisterTypeLibForUser(pTypeLib, szModule, nullptr)"
                                             : "RegisterTypeLib(pTypeLib, szModule, nullptr)");
    return hr;
}

HRESULT DesregistraBiblioteca(bool porUsuario) {
    const HRESULT hr = porUsuario ? UnRegisterTypeLibForUser(LIBID_ZENTALib, 1, 0, 0x409, SYS_WIN64)
                                  : UnRegisterTypeLib(LIBID_ZENTALib, 1, 0, 0x409, SYS_WIN64);
    // A library that is not registered has nothing to remove.
    if (hr == TYPE_E_REGISTRYACCESS) return S_OK;
    if (FAILED(hr)) QV_LOG_HR(hr, porUsuario ? "UnRegisterTypeLibForUser(LIBID_ZENTALib, 1, 0, 0x409, SYS_WIN64)"
                                             : "UnRegisterTypeLib(LIBID_ZENTALib, 1, 0, 0x409, SYS_WIN64)");
    return hr;
}

}  // namespace

HRESULT RegistraServidor(const std::filesystem::path& caminho, bool porUsuario) {
    std::error_code ec;
    const std::filesystem::path modulo = std::filesystem::absolute(caminho, ec);
    if (ec) return E_INVALIDARG;
    Recursos recursos;
    QV_CHECK(LeRecursos(modulo, recursos));
    Registrador registrador;
    PreparaRegistrador(registrador, modulo, porUsuario);
    QV_CHECK(registrador.Registra(recursos.aplicacao));
    HRESULT hr = registrador.Registra(recursos.classe);
    if (SUCCEEDED(hr)) {
        hr = RegistraBiblioteca(modulo, porUsuario);
        if (FAILED(hr)) registrador.Desregistra(recursos.classe);
    }
    if (FAILED(hr)) {
        // Nothing half-registered is left behind.
        registrador.Desregistra(recursos.aplicacao);
        QV_LOG_HR(hr, "RegistraServidor");
    }
    return hr;
}

HRESULT DesregistraServidor(const std::filesystem::path& caminho, bool porUsuario) {
    std::error_code ec;
    const std::filesystem::path modulo = std::filesystem::absolute(caminho, ec);
    if (ec) return E_INVALIDARG;
    Recursos recursos;
    QV_CHECK(LeRecursos(modulo, recursos));
    Registrador registrador;
    PreparaRegistrador(registrador, modulo, porUsuario);
    QV_CHECK(registrador.Desregistra(recursos.classe));
    QV_CHECK(registrador.Desregistra(recursos.aplicacao));
    QV_CHECK(DesregistraBiblioteca(porUsuario));
    return S_OK;
}

}  // namespace zenta
