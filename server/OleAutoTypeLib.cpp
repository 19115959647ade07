// Type-library loading and registration (see OleAutoTypeLib.h).
#include "server/OleAutoTypeLib.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include <zenta/OleAuto.h>

#include "diagnostics/QVEventLog.h"
#include "platform/Registry.h"
#include "platform/Resource.h"
#include "server/QVBibliotecaTipos.h"

namespace {

constexpr const char* kClasses = "Software\\Classes\\";
constexpr std::uintmax_t kTamanhoMaximoArquivo = 16u * 1024u * 1024u;

std::string Utf8DeUtf16(const OLECHAR* texto) {
    std::string saida;
    if (texto == nullptr) return saida;
    for (const OLECHAR* p = texto; *p != 0; ++p) {
        std::uint32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint32_t>(p[1]) - 0xDC00);
            ++p;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            saida.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            saida.push_back(static_cast<char>(0xC0 | (c >> 6)));
            saida.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            saida.push_back(static_cast<char>(0xE0 | (c >> 12)));
            saida.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            saida.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            saida.push_back(static_cast<char>(0xF0 | (c >> 18)));
            saida.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            saida.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            saida.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return saida;
}

BSTR BstrAscii(const std::string& texto) {
    std::u16string largo(texto.begin(), texto.end());
    return SysAllocStringLen(largo.data(), static_cast<UINT>(largo.size()));
}

// Splits a final "\N" (resource number) off a library path.
std::string SeparaNumero(std::string caminho, unsigned& numero) {
    numero = 1;
    const size_t barra = caminho.rfind('\\');
    if (barra == std::string::npos || barra + 1 >= caminho.size() || caminho.size() - barra > 6) return caminho;
    unsigned valor = 0;
    for (size_t i = barra + 1; i < caminho.size(); ++i) {
        if (caminho[i] < '0' || caminho[i] > '9') return caminho;
        valor = valor * 10 + static_cast<unsigned>(caminho[i] - '0');
    }
    if (valor == 0 || valor > 0xFFFF) return caminho;
    numero = valor;
    caminho.resize(barra);
    return caminho;
}

class CQVTypeLib final : public ITypeLib {
public:
    explicit CQVTypeLib(zenta::BibliotecaTipos biblioteca) : m_biblioteca(std::move(biblioteca)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID_ITypeLib) return E_NOINTERFACE;
        *ppv = static_cast<ITypeLib*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_referencias; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG restantes = --m_referencias;
        if (restantes == 0) delete this;
        return restantes;
    }

    UINT STDMETHODCALLTYPE GetTypeInfoCount() override {
        return static_cast<UINT>(m_biblioteca.registros.size() + m_biblioteca.interfaces.size());
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT index, TYPEKIND* pTKind) override {
        if (pTKind == nullptr) return E_INVALIDARG;
        if (index >= GetTypeInfoCount()) return TYPE_E_ELEMENTNOTFOUND;
        *pTKind = index < m_biblioteca.registros.size() ? TKIND_RECORD : TKIND_INTERFACE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeGuid(UINT index, GUID* pGuid) override {
        if (pGuid == nullptr) return E_INVALIDARG;
        if (index >= GetTypeInfoCount()) return TYPE_E_ELEMENTNOTFOUND;
        *pGuid = index < m_biblioteca.registros.size() ? GUID{}
                                                         : m_biblioteca.interfaces[index - m_biblioteca.registros.size()].iid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR** ppTLibAttr) override {
        if (ppTLibAttr == nullptr) return E_INVALIDARG;
        *ppTLibAttr = new (std::nothrow) TLIBATTR{m_biblioteca.libid, m_biblioteca.lcid, SYS_WIN64,
                                                  m_biblioteca.versaoMaior, m_biblioteca.versaoMenor, m_biblioteca.flags};
        return *ppTLibAttr != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetDocumentation(INT index, BSTR* pBstrName, BSTR* pBstrDocString, DWORD* pdwHelpContext,
                                               BSTR* pBstrHelpFile) override {
        const std::string* nome = nullptr;
        const auto qtdRegistros = m_biblioteca.registros.size();
        if (index == -1) nome = &m_biblioteca.nome;
        else if (index < 0 || static_cast<UINT>(index) >= GetTypeInfoCount()) return TYPE_E_ELEMENTNOTFOUND;
        else if (static_cast<size_t>(index) < qtdRegistros) nome = &m_biblioteca.registros[static_cast<size_t>(index)].nome;
        else nome = &m_biblioteca.interfaces[static_cast<size_t>(index) - qtdRegistros].nome;
        if (pBstrDocString != nullptr) *pBstrDocString = nullptr;
        if (pdwHelpContext != nullptr) *pdwHelpContext = 0;
        if (pBstrHelpFile != nullptr) *pBstrHelpFile = nullptr;
        if (pBstrName != nullptr) {
            *pBstrName = BstrAscii(*nome);
            if (*pBstrName == nullptr) return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR* pTLibAttr) override { delete pTLibAttr; }

private:
    ~CQVTypeLib() = default;

    zenta::BibliotecaTipos m_biblioteca;
    std::atomic<ULONG> m_referencias{1};
};

// ---- Registry steps -------------------------------------------------------------------
struct Raiz {
    HKEY colmeia;
    std::string prefixo;  // "Software\\Classes\\"
};

HRESULT Hr(LSTATUS status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<uint32_t>(status)); }

HRESULT DefineTexto(const Raiz& raiz, const std::string& chave, const char* nome, const std::string& texto) {
    HKEY h = nullptr;
    LSTATUS status = RegCreateKeyExA(raiz.colmeia, (raiz.prefixo + chave).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_WRITE, nullptr, &h, nullptr);
    if (status != ERROR_SUCCESS) return TYPE_E_REGISTRYACCESS;
    status = RegSetValueExA(h, nome, 0, REG_SZ, reinterpret_cast<const BYTE*>(texto.c_str()),
                            static_cast<DWORD>(texto.size() + 1));
    RegCloseKey(h);
    return status == ERROR_SUCCESS ? S_OK : TYPE_E_REGISTRYACCESS;
}

std::string TextoLocal(const Raiz& raiz, const std::string& chave, const std::string& valor) {
    return zenta::RegLeTexto(raiz.colmeia, raiz.prefixo + chave, valor).value_or("");
}

std::string Versao(WORD maior, WORD menor) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x.%x", maior, menor);
    return buffer;
}

std::string ChaveLocale(LCID lcid) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", lcid);
    return buffer;
}

const char* NomeSyskind(SYSKIND s) {
    switch (s) {
        case SYS_WIN16: return "win16";
        case SYS_WIN32: return "win32";
        case SYS_MAC: return "mac";
        case SYS_WIN64: return "win64";
    }
    return nullptr;
}

// The direct subkeys of a key.
std::vector<std::string> Subchaves(const Raiz& raiz, const std::string& chave) {
    std::vector<std::string> nomes;
    HKEY h = nullptr;
    if (RegOpenKeyExA(raiz.colmeia, (raiz.prefixo + chave).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return nomes;
    for (DWORD i = 0;; ++i) {
        char nome[256];
        DWORD tamanho = sizeof nome;
        const LSTATUS status = RegEnumKeyExA(h, i, nome, &tamanho, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS) nomes.emplace_back(nome, tamanho);
    }
    RegCloseKey(h);
    return nomes;
}

bool Vazia(const Raiz& raiz, const std::string& chave) { return zenta::RegChaveVazia(raiz.colmeia, raiz.prefixo + chave); }

bool MesmoGuid(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

HRESULT Registra(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir, const Raiz& raiz) {
    if (ptlib == nullptr || szFullPath == nullptr) return E_INVALIDARG;
    const std::string caminho = Utf8DeUtf16(szFullPath);
    if (caminho.empty() || caminho.find_first_of("\r\n") != std::string::npos) return E_INVALIDARG;
    unsigned numero = 0;
    std::string ajuda = Utf8DeUtf16(szHelpDir);
    if (ajuda.empty()) ajuda = std::filesystem::path(SeparaNumero(caminho, numero)).parent_path().string();
    if (ajuda.find_first_of("\r\n") != std::string::npos) return E_INVALIDARG;

    TLIBATTR* atributos = nullptr;
    HRESULT hr = ptlib->GetLibAttr(&atributos);
    if (FAILED(hr)) return hr;
    const TLIBATTR attr = *atributos;
    ptlib->ReleaseTLibAttr(atributos);
    BSTR nomeBiblioteca = nullptr;
    hr = ptlib->GetDocumentation(-1, &nomeBiblioteca, nullptr, nullptr, nullptr);
    if (FAILED(hr)) return hr;
    const std::string nome = Utf8DeUtf16(nomeBiblioteca);
    SysFreeString(nomeBiblioteca);

    const std::string libid = zenta::TextoGuid(attr.guid);
    const std::string versao = Versao(attr.wMajorVerNum, attr.wMinorVerNum);
    const std::string chaveVersao = "TypeLib\\" + libid + "\\" + versao;
    const char* plataforma = NomeSyskind(attr.syskind);
    if (plataforma == nullptr) return E_INVALIDARG;
    if (FAILED(hr = DefineTexto(raiz, chaveVersao, "", nome))) return hr;
    if (FAILED(hr = DefineTexto(raiz, chaveVersao + "\\FLAGS", "", std::to_string(attr.wLibFlags)))) return hr;
    if (FAILED(hr = DefineTexto(raiz, chaveVersao + "\\HELPDIR", "", ajuda))) return hr;
    if (FAILED(hr = DefineTexto(raiz, chaveVersao + "\\" + ChaveLocale(attr.lcid) + "\\" + plataforma, "", caminho)))
        return hr;

    const UINT qtd = ptlib->GetTypeInfoCount();
    for (UINT i = 0; i < qtd; ++i) {
        TYPEKIND tipo = TKIND_RECORD;
        if (FAILED(ptlib->GetTypeInfoType(i, &tipo)) || (tipo != TKIND_INTERFACE && tipo != TKIND_DISPATCH)) continue;
        GUID iid{};
        BSTR nomeInterface = nullptr;
        if (FAILED(hr = ptlib->GetTypeGuid(i, &iid))) return hr;
        if (FAILED(hr = ptlib->GetDocumentation(static_cast<INT>(i), &nomeInterface, nullptr, nullptr, nullptr)))
            return hr;
        const std::string nomeItf = Utf8DeUtf16(nomeInterface);
        SysFreeString(nomeInterface);
        const std::string chave = "Interface\\" + zenta::TextoGuid(iid);
        // An interface another library describes (a shared base interface
        // registered by another server) keeps its registration.
        const std::string dona = TextoLocal(raiz, chave + "\\TypeLib", "");
        if (!dona.empty() && !MesmoGuid(dona, libid)) continue;
        if (FAILED(hr = DefineTexto(raiz, chave, "", nomeItf))) return hr;
        if (FAILED(hr = DefineTexto(raiz, chave + "\\ProxyStubClsid32", "", zenta::TextoGuid(CLSID_PSOAInterface))))
            return hr;
        if (FAILED(hr = DefineTexto(raiz, chave + "\\TypeLib", "", libid))) return hr;
        if (FAILED(hr = DefineTexto(raiz, chave + "\\TypeLib", "Version", versao))) return hr;
    }
    return S_OK;
}

HRESULT Desregistra(REFGUID libID, WORD maior, WORD menor, LCID lcid, SYSKIND syskind, const Raiz& raiz) {
    const char* plataforma = NomeSyskind(syskind);
    if (plataforma == nullptr) return E_INVALIDARG;
    const std::string libid = zenta::TextoGuid(libID);
    const std::string versao = Versao(maior, menor);
    const std::string chaveLib = "TypeLib\\" + libid;
    const std::string chaveVersao = chaveLib + "\\" + versao;
    const std::string chaveLocale = chaveVersao + "\\" + ChaveLocale(lcid);
    HKEY h = nullptr;
    if (RegOpenKeyExA(raiz.colmeia, (raiz.prefixo + chaveLocale + "\\" + plataforma).c_str(), 0, KEY_READ, &h) !=
        ERROR_SUCCESS)
        return TYPE_E_REGISTRYACCESS;
    RegCloseKey(h);

    // The interfaces this library and version describe.
    for (const auto& iid : Subchaves(raiz, "Interface")) {
        const std::string chave = "Interface\\" + iid;
        if (!MesmoGuid(TextoLocal(raiz, chave + "\\TypeLib", ""), libid) ||
            TextoLocal(raiz, chave + "\\TypeLib", "Version") != versao)
            continue;
        if (RegDeleteTreeA(raiz.colmeia, (raiz.prefixo + chave).c_str()) != ERROR_SUCCESS) return TYPE_E_REGISTRYACCESS;
    }

    LSTATUS status = RegDeleteTreeA(raiz.colmeia, (raiz.prefixo + chaveLocale + "\\" + plataforma).c_str());
    if (status != ERROR_SUCCESS) return Hr(status);
    if (Vazia(raiz, chaveLocale)) RegDeleteKeyA(raiz.colmeia, (raiz.prefixo + chaveLocale).c_str());
    // The version key goes when no other locale is registered under it.
    bool outrosLocales = false;
    for (const auto& sub : Subchaves(raiz, chaveVersao))
        if (!MesmoGuid(sub, "FLAGS") && !MesmoGuid(sub, "HELPDIR")) outrosLocales = true;
    if (!outrosLocales) RegDeleteTreeA(raiz.colmeia, (raiz.prefixo + chaveVersao).c_str());
    if (Vazia(raiz, chaveLib)) RegDeleteKeyA(raiz.colmeia, (raiz.prefixo + chaveLib).c_str());
    return S_OK;
}

const Raiz kMaquina{HKEY_LOCAL_MACHINE, kClasses};
const Raiz kUsuario{HKEY_CURRENT_USER, kClasses};

}  // namespace

HRESULT LoadTypeLib(LPCOLESTR szFile, ITypeLib** pptlib) {
    if (pptlib == nullptr) return E_POINTER;
    *pptlib = nullptr;
    if (szFile == nullptr) return E_INVALIDARG;
    unsigned numero = 1;
    const std::string inteiro = Utf8DeUtf16(szFile);
    std::string caminho = inteiro;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(caminho, ec)) caminho = SeparaNumero(inteiro, numero);
    const auto tamanho = std::filesystem::file_size(caminho, ec);
    if (ec) return TYPE_E_CANTLOADLIBRARY;

    std::string bytes;
    char magia[4] = {};
    {
        std::ifstream in(caminho, std::ios::binary);
        if (!in) return TYPE_E_CANTLOADLIBRARY;
        in.read(magia, sizeof magia);
    }
    if (std::string_view(magia, 4) == "\x7F" "ELF") {
        const HRESULT hr = zenta::LeRecurso(caminho, "TYPELIB", numero, bytes);
        if (FAILED(hr)) return hr == HR_ERROR_RESOURCE_DATA_NOT_FOUND ? TYPE_E_CANTLOADLIBRARY : hr;
    } else {
        if (tamanho > kTamanhoMaximoArquivo) return TYPE_E_INVDATAREAD;
        std::ifstream in(caminho, std::ios::binary);
        bytes.resize(static_cast<size_t>(tamanho));
        if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return TYPE_E_CANTLOADLIBRARY;
    }
    zenta::BibliotecaTipos biblioteca;
    const HRESULT hr = zenta::LeBibliotecaTipos(bytes, biblioteca);
    if (FAILED(hr)) return hr;
    *pptlib = new (std::nothrow) CQVTypeLib(std::move(biblioteca));
    return *pptlib != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir) {
    return Registra(ptlib, szFullPath, szHelpDir, kMaquina);
}

HRESULT RegisterTypeLibForUser(ITypeLib* ptlib, OLECHAR* szFullPath, OLECHAR* szHelpDir) {
    return Registra(ptlib, szFullPath, szHelpDir, kUsuario);
}

HRESULT UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid, SYSKIND syskind) {
    return Desregistra(libID, wVerMajor, wVerMinor, lcid, syskind, kMaquina);
}

HRESULT UnRegisterTypeLibForUser(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid, SYSKIND syskind) {
    return Desregistra(libID, wVerMajor, wVerMinor, lcid, syskind, kUsuario);
}
