// Registration of the local server: the classes view of the registry (the
// user's classes over the machine's), the registrar's script semantics
// (NoRemove, ForceRemove, Delete, replacements, malformed scripts refused
// before any write), resources read from ELF files built here with objcopy
// (hostile headers refused), and whole registrations: register then
// unregister leaves the hive files byte for byte as they were, per user
// touches only HKCU; and the type library "ZENTALib": the interface
// description matches the declared interfaces, the file reads back to the same
// library, the build's generator writes exactly that file, hostile bytes are
// refused, and LoadTypeLib finds it in a file or a program.

#include <random>

#include <zenta/IQVGE_ManutencaoPreventiva.h>
#include <zenta/OleAuto.h>
#include "server/OleAutoTypeLib.h"

#include "diagnostics/QVEventLog.h"
#include "platform/Registry.h"
#include "platform/Resource.h"
#include "server/QVBibliotecaTipos.h"
#include "server/QVDescricaoInterface.h"
#include "server/QVRegistrador.h"
#include "server/QVRegistroServidor.h"
#include "support/ZentaHomeTemporario.h"

using zenta::BibliotecaTipos;
using zenta::Registrador;
using zenta::teste::LeArquivo;
using zenta::teste::ZentaHomeTemporario;

namespace {

namespace fs = std::filesystem;

void DefineTexto(HKEY raiz, const std::string& chave, const char* nome, const std::string& texto) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExA(raiz, chave.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(h, nome, 0, REG_SZ, reinterpret_cast<const BYTE*>(texto.c_str()),
                             static_cast<DWORD>(texto.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(h);
}

void Escreve(const fs::path& arquivo, const std::string& texto) {
    fs::create_directories(arquivo.parent_path());
    std::ofstream(arquivo, std::ios::binary) << texto;
}

std::string Texto(HKEY raiz, const std::string& chave, const std::string& valor = "") {
    return zenta::RegLeTexto(raiz, chave, valor).value_or("<ausente>");
}

bool Existe(HKEY raiz, const std::string& chave) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(raiz, chave.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

std::vector<std::string> Subchaves(HKEY raiz, const std::string& chave) {
    std::vector<std::string> nomes;
    HKEY h = nullptr;
    if (RegOpenKeyExA(raiz, chave.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return nomes;
    char nome[256];
    for (DWORD i = 0;; ++i) {
        DWORD tamanho = sizeof nome;
        if (RegEnumKeyExA(h, i, nome, &tamanho, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        nomes.emplace_back(nome, tamanho);
    }
    RegCloseKey(h);
    return nomes;
}

std::string Hive(const ZentaHomeTemporario& home, const char* nome) {
    const fs::path arquivo = home.Raiz() / "registry" / nome;
    return fs::exists(arquivo) ? LeArquivo(arquivo) : std::string("<sem arquivo>");
}

void Executa(const std::string& comando) { ASSERT_EQ(std::system(comando.c_str()), 0) << comando; }

// A small ELF file (a relocatable object made of a few bytes) carrying the
// given sections, as the build adds resources to the server.
fs::path ConstroiModulo(const fs::path& pasta, const std::vector<std::pair<std::string, fs::path>>& secoes) {
    fs::create_directories(pasta);
    const fs::path base = pasta / "base.bin";
    Escreve(base, "conteudo qualquer do programa");
    const fs::path modulo = pasta / "zenta";
    Executa(std::string(ZENTA_OBJCOPY) + " -I binary -O elf64-x86-64 -B i386:x86-64 " + base.string() + " " +
            modulo.string());
    if (secoes.empty()) return modulo;
    std::string comando = ZENTA_OBJCOPY;
    for (const auto& [nome, arquivo] : secoes) comando += " --add-section " + nome + "=" + arquivo.string();
    Executa(comando + " " + modulo.string());
    return modulo;
}

// The server's module: the generator's library and the two scripts.
fs::path ConstroiModuloServidor(const fs::path& pasta, bool comBiblioteca = true) {
    fs::create_directories(pasta);
    const fs::path tlb = pasta / "ZENTALib.tlb";
    Executa(std::string(ZENTA_TLBGEN_PROGRAMA) + " " + tlb.string());
    std::vector<std::pair<std::string, fs::path>> secoes = {
        {".rsrc.REGISTRY.101", fs::path(ZENTA_SCRIPTS_REGISTRO) / "ZENTA.rgs"},
        {".rsrc.REGISTRY.106", fs::path(ZENTA_SCRIPTS_REGISTRO) / "QVGE_ManutencaoPreventiva.rgs"}};
    if (comBiblioteca) secoes.emplace_back(".rsrc.TYPELIB.1", tlb);
    return ConstroiModulo(pasta, secoes);
}

const std::string kClsid = zenta::TextoGuid(CLSID_QVGE_ManutencaoPreventiva);
const std::string kAppId = zenta::TextoGuid(APPID_ZENTA);
const std::string kLibId = zenta::TextoGuid(LIBID_ZENTALib);
const std::string kIidServico = zenta::TextoGuid(IID_IQVGE_ManutencaoPreventiva);
const std::string kIidBase = zenta::TextoGuid(IID_IQVUnknown);

std::string Bytes() {
    std::string bytes;
    EXPECT_EQ(zenta::EscreveBibliotecaTipos(zenta::BibliotecaZenta(), bytes), S_OK);
    return bytes;
}

// Stores a new CRC after a deliberate change, so that the change itself is
// what the reader meets.
void Sela(std::string& bytes) {
    const ULONGLONG crc = QVCalculaCrc64(bytes.data() + 104, bytes.size() - 104, 0);
    std::memcpy(bytes.data() + 96, &crc, 8);
}

template <class T>
void Poe(std::string& bytes, size_t offset, T valor) {
    std::memcpy(bytes.data() + offset, &valor, sizeof valor);
}

std::uint32_t U32(const std::string& bytes, size_t offset) {
    std::uint32_t v = 0;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

HRESULT Le(const std::string& bytes) {
    BibliotecaTipos b;
    return zenta::LeBibliotecaTipos(bytes, b);
}

std::u16string Largo(const std::string& s) { return std::u16string(s.begin(), s.end()); }

}  // namespace

// ---- The classes view -------------------------------------------------------------

TEST(RegistroClasses, ReadsUserBeforeMachineListsBothAndWritesToTheMachine) {
    ZentaHomeTemporario home;
    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\ZENTA.X", "", "maquina");
    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\ZENTA.X", "SoMaquina", "m");
    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\ZENTA.X\\Maquina", "", "1");
    DefineTexto(HKEY_CURRENT_USER, "Software\\Classes\\zenta.x", "", "usuario");
    DefineTexto(HKEY_CURRENT_USER, "Software\\Classes\\ZENTA.X\\Usuario", "", "2");

    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "ZENTA.X"), "usuario");
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "ZENTA.X", "SoMaquina"), "m");
    EXPECT_EQ(Subchaves(HKEY_CLASSES_ROOT, "ZENTA.X"), (std::vector<std::string>{"Maquina", "Usuario"}));

    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "ZENTA.X", 0, KEY_READ, &h), ERROR_SUCCESS);
    DWORD valores = 0;
    EXPECT_EQ(RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valores, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(valores, 2u);  // the default value once, the user's
    RegCloseKey(h);

    // Writes go to the machine only.
    DefineTexto(HKEY_CURRENT_USER, "Software\\Classes\\ZENTA.Y", "", "usuario");
    const std::string usuario = Hive(home, "HKCU.reg");
    DefineTexto(HKEY_CLASSES_ROOT, "ZENTA.Y", "", "novo");
    EXPECT_EQ(Hive(home, "HKCU.reg"), usuario);
    EXPECT_EQ(Texto(HKEY_LOCAL_MACHINE, "Software\\Classes\\ZENTA.Y"), "novo");
    // The user's value still hides the machine's in the merged view.
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "ZENTA.Y"), "usuario");
    EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "ZENTA.Y"), ERROR_SUCCESS);
    EXPECT_FALSE(Existe(HKEY_LOCAL_MACHINE, "Software\\Classes\\ZENTA.Y"));
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "ZENTA.Y"), "usuario");
    EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, ""), ERROR_ACCESS_DENIED);
}

// ---- The registrar ------------------------------------------------------------------

TEST(Registrador, NoRemoveForceRemoveDeleteAndForeignEntries) {
    ZentaHomeTemporario home;
    // Entries someone else wrote, below keys the script names.
    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\Raiz\\Outro", "", "fica");
    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\Comum", "Alheio", "fica");
    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\Forcada\\Velha", "", "sai no registro");
    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\Apagar\\Sub", "", "sai");
    const std::string script =
        "HKCR\n{\n"
        "  NoRemove Raiz\n  {\n    Minha = s 'a'\n  }\n"
        "  Comum = s 'padrao'\n  {\n    val Nome = s 'v'\n    val Numero = d '0x10'\n  }\n"
        "  ForceRemove Forcada = s 'f'\n  {\n    Nova\n  }\n"
        "  Delete Apagar\n  {\n    Ignorada = s 'nunca escrita'\n  }\n"
        "}\n";
    Registrador r;
    ASSERT_EQ(r.Registra(script), S_OK);
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "Raiz\\Minha"), "a");
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "Comum"), "padrao");
    EXPECT_EQ(zenta::RegLeDword(HKEY_CLASSES_ROOT, "Comum", "Numero").value_or(0), 16u);
    EXPECT_EQ(Subchaves(HKEY_CLASSES_ROOT, "Forcada"), std::vector<std::string>{"Nova"});
    EXPECT_FALSE(Existe(HKEY_CLASSES_ROOT, "Apagar"));

    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\Forcada\\Depois", "", "sai no desregistro");
    ASSERT_EQ(r.Desregistra(script), S_OK);
    EXPECT_EQ(Subchaves(HKEY_CLASSES_ROOT, "Raiz"), std::vector<std::string>{"Outro"});
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "Comum", "Alheio"), "fica");
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "Comum"), "<ausente>");
    EXPECT_FALSE(zenta::RegLeDword(HKEY_CLASSES_ROOT, "Comum", "Numero"));
    EXPECT_FALSE(Existe(HKEY_CLASSES_ROOT, "Forcada"));
    // Unregistering again finds nothing to do and succeeds.
    EXPECT_EQ(r.Desregistra(script), S_OK);
}

TEST(Registrador, MalformedScriptsChangeNothingAndReplacementsAreText) {
    ZentaHomeTemporario home;
    Registrador r;
    r.AdicionaSubstituicao("MODULE", "/x");
    const char* ruins[] = {
        "HKCR { A = s 'b' ",                 // body never closed
        "HKCR { A = s 'sem fim }\n}",        // quote never closed
        "HKCR { A = x 'b' }",                // unknown value type
        "HKCR { A = d '4294967296' }",       // beyond 32 bits
        "HKCR { A = d '12z' }",              // not a number
        "HKCR { A = s '%DESCONHECIDO%' }",   // unknown replacement
        "HKCR { A = s '%MODULE' }",          // replacement never closed
        "HKXX { A }",                        // unknown root
        "HKCR { 'a\\b' }",                   // a name that reaches another key
        "HKCR { NoRemove ForceRemove A }",   // contradicting flags
        "HKCR { val = s 'x' }",              // value without a name
        "HKCR { Ok = s 'escrito?' } HKCR {", // good first part, broken end
        "HKCR { A \x01 }",                   // control character
    };
    for (const char* script : ruins) {
        EXPECT_EQ(r.Registra(script), HR_ERROR_INVALID_DATA) << script;
        EXPECT_EQ(r.Desregistra(script), HR_ERROR_INVALID_DATA) << script;
    }
    // Nesting deeper than any script needs.
    std::string fundo = "HKCR {\n";
    for (int i = 0; i < 40; ++i) fundo += "K {\n";
    for (int i = 0; i < 41; ++i) fundo += "}\n";
    EXPECT_EQ(r.Registra(fundo), HR_ERROR_INVALID_DATA);
    EXPECT_FALSE(fs::exists(home.Raiz() / "registry/HKLM.reg"));
    EXPECT_FALSE(fs::exists(home.Raiz() / "registry/HKCU.reg"));

    // Replacements are text, even with quotes and braces; a root moved to the user's classes.
    Registrador usuario;
    const std::string modulo = "/opt/it's {zenta}/zenta = 100%";
    usuario.AdicionaSubstituicao("module", modulo);
    usuario.DefineRaiz("HKCR", HKEY_CURRENT_USER, "Software\\Classes");
    const std::string script = "HKCR\n{\n\t'Chave com {chaves}' = s '%MODULE%'\n\t{\n\t\tval 'Nome '' aspas' = s "
                               "'100%% certo'\n\t}\n}\n";
    ASSERT_EQ(usuario.Registra(script), S_OK);
    EXPECT_EQ(Texto(HKEY_CURRENT_USER, "Software\\Classes\\Chave com {chaves}"), modulo);
    EXPECT_EQ(Texto(HKEY_CURRENT_USER, "Software\\Classes\\Chave com {chaves}", "Nome ' aspas"), "100% certo");
    EXPECT_FALSE(fs::exists(home.Raiz() / "registry/HKLM.reg"));
}

// ---- Resources ---------------------------------------------------------------------

// Sections found by type and number; damaged headers refused, not followed.
TEST(Recursos, FindsSectionsByTypeAndNumberAndRefusesDamagedHeaders) {
    ZentaHomeTemporario home;
    const fs::path pasta = home.Raiz() / "modulo";
    Escreve(pasta / "a.bin", std::string(300, 'r'));
    Escreve(pasta / "b.bin", std::string("com\0zero", 8));
    const fs::path modulo =
        ConstroiModulo(pasta, {{".rsrc.REGISTRY.101", pasta / "a.bin"}, {".rsrc.TYPELIB.1", pasta / "b.bin"}});
    std::string dados;
    EXPECT_EQ(zenta::LeRecurso(modulo, "REGISTRY", 101, dados), S_OK);
    EXPECT_EQ(dados, std::string(300, 'r'));
    EXPECT_EQ(zenta::LeRecurso(modulo, "typelib", 1, dados), S_OK);
    EXPECT_EQ(dados, std::string("com\0zero", 8));
    EXPECT_EQ(zenta::LeRecurso(modulo, "REGISTRY", 106, dados), HR_ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(zenta::LeRecurso(modulo, "ICON", 1, dados), HR_ERROR_RESOURCE_TYPE_NOT_FOUND);
    EXPECT_TRUE(dados.empty());
    EXPECT_EQ(zenta::LeRecurso(pasta / "a.bin", "REGISTRY", 101, dados), HR_ERROR_RESOURCE_DATA_NOT_FOUND);
    EXPECT_TRUE(FAILED(zenta::LeRecurso(pasta / "nao-existe", "REGISTRY", 101, dados)));

    // The running program is a sound ELF file too.
    zenta::ModuloRecursos proprio;
    EXPECT_EQ(proprio.Abre(zenta::ArquivoProgramaAtual()), S_OK);

    const std::string original = LeArquivo(modulo);
    const fs::path copia = pasta / "copia";

    // Every cut of the file is refused or read correctly, never past its end.
    for (size_t n = 0; n < original.size(); n += 7) {
        Escreve(copia, original.substr(0, n));
        const HRESULT hr = zenta::LeRecurso(copia, "REGISTRY", 101, dados);
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(dados, std::string(300, 'r'));
        }
    }

    // The resource's own section header pointing outside the file.
    std::uint64_t offsetSecoes = 0;
    std::memcpy(&offsetSecoes, original.data() + 40, 8);
    std::uint16_t qtd = 0;
    std::memcpy(&qtd, original.data() + 60, 2);
    bool achou = false;
    for (std::uint16_t i = 0; i < qtd; ++i) {
        const size_t secao = static_cast<size_t>(offsetSecoes) + i * 64u;
        std::uint64_t tamanho = 0;
        std::memcpy(&tamanho, original.data() + secao + 32, 8);
        if (tamanho != 300) continue;
        achou = true;
        std::string ruim = original;
        const std::uint64_t enorme = 0xFFFFFFFFFFFFFF00ull;
        std::memcpy(ruim.data() + secao + 32, &enorme, 8);
        Escreve(copia, ruim);
        EXPECT_EQ(zenta::LeRecurso(copia, "REGISTRY", 101, dados), HR_ERROR_RESOURCE_DATA_NOT_FOUND);
        ruim = original;
        std::memcpy(ruim.data() + secao + 24, &enorme, 8);
        Escreve(copia, ruim);
        EXPECT_EQ(zenta::LeRecurso(copia, "REGISTRY", 101, dados), HR_ERROR_RESOURCE_DATA_NOT_FOUND);
    }
    EXPECT_TRUE(achou);

    const auto comByte = [&](size_t offset, std::uint8_t valor) {
        std::string ruim = original;
        ruim[offset] = static_cast<char>(valor);
        Escreve(copia, ruim);
        return zenta::LeRecurso(copia, "REGISTRY", 101, dados);
    };
    EXPECT_EQ(comByte(4, 1), HR_ERROR_RESOURCE_DATA_NOT_FOUND);     // 32-bit class
    EXPECT_EQ(comByte(5, 2), HR_ERROR_RESOURCE_DATA_NOT_FOUND);     // big-endian
    EXPECT_EQ(comByte(62, 0xEE), HR_ERROR_RESOURCE_DATA_NOT_FOUND); // name table index beyond the sections
    EXPECT_EQ(comByte(58, 40), HR_ERROR_RESOURCE_DATA_NOT_FOUND);   // section header size

    // Random damage anywhere in the headers ends in an answer, not a crash.
    std::mt19937 aleatorio(1234);
    for (int i = 0; i < 300; ++i) {
        std::string ruim = original;
        for (int k = 0; k < 4; ++k) {
            const size_t onde = aleatorio() % 2 == 0 ? aleatorio() % 64
                                                     : static_cast<size_t>(offsetSecoes) + aleatorio() % (qtd * 64u);
            if (onde < ruim.size()) ruim[onde] = static_cast<char>(aleatorio());
        }
        Escreve(copia, ruim);
        const HRESULT hr = zenta::LeRecurso(copia, "REGISTRY", 101, dados);
        if (SUCCEEDED(hr)) {
            EXPECT_LE(dados.size(), ruim.size());
        }
    }
}

// ---- The whole registration ------------------------------------------------------

// Register, unregister, a module without its resources, per user: each
// leaves the hive files byte for byte as they were.
TEST(RegistroServidor, RegisterWritesTheEntriesAndUnregisterRestoresTheHivesExactly) {
    ZentaHomeTemporario home;
    // A machine that has its classes, another server's registration and
    // the ERP's shared base interface registered by another library.
    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\AppID\\{11111111-2222-3333-4444-555555555555}", "", "OUTRO");
    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\CLSID\\{11111111-2222-3333-4444-555555555555}", "", "Outra Class");
    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\Interface\\" + kIidBase, "", "IQVUnknown");
    DefineTexto(HKEY_LOCAL_MACHINE, "Software\\Classes\\Interface\\" + kIidBase + "\\TypeLib", "",
                "{99999999-0000-0000-0000-000000000001}");
    DefineTexto(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\QV Sistemas", "Versao", "1");
    const fs::path modulo = ConstroiModuloServidor(home.Raiz() / "bin");
    const std::string maquina = Hive(home, "HKLM.reg");
    ASSERT_EQ(zenta::RegistraServidor(modulo, false), S_OK);

    // The entries whose values are computed at registration: the module's
    // paths, the GUIDs, the proxy class.
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "AppID\\ZENTA.EXE", "AppID"), kAppId);
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "ZENTA.QVGE_ManutencaoPreventiva\\CLSID"), kClsid);
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "CLSID\\" + kClsid + "\\LocalServer32"), modulo.string());
    const std::string lib = "TypeLib\\" + kLibId + "\\1.0";
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, lib + "\\409\\win64"), modulo.string());
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, lib + "\\HELPDIR"), modulo.parent_path().string());
    const std::string itf = "Interface\\" + kIidServico;
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, itf + "\\ProxyStubClsid32"), zenta::TextoGuid(CLSID_PSOAInterface));
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, itf + "\\TypeLib"), kLibId);
    // The shared base interface stays with the library that registered it.
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "Interface\\" + kIidBase + "\\TypeLib"), "{99999999-0000-0000-0000-000000000001}");
    EXPECT_FALSE(fs::exists(home.Raiz() / "registry/HKCU.reg"));

    // Registering twice is the same registration.
    const std::string registrado = Hive(home, "HKLM.reg");
    ASSERT_EQ(zenta::RegistraServidor(modulo, false), S_OK);
    EXPECT_EQ(Hive(home, "HKLM.reg"), registrado);

    ASSERT_EQ(zenta::DesregistraServidor(modulo, false), S_OK);
    EXPECT_EQ(Hive(home, "HKLM.reg"), maquina);
    EXPECT_FALSE(fs::exists(home.Raiz() / "registry/HKCU.reg"));
    EXPECT_EQ(zenta::DesregistraServidor(modulo, false), S_OK);
    EXPECT_EQ(Hive(home, "HKLM.reg"), maquina);

    // A module without its resources registers nothing.
    const fs::path semBiblioteca = ConstroiModuloServidor(home.Raiz() / "incompleto", false);
    EXPECT_EQ(zenta::RegistraServidor(semBiblioteca, false), HR_ERROR_RESOURCE_TYPE_NOT_FOUND);
    const fs::path nada = ConstroiModulo(home.Raiz() / "vazio", {});
    EXPECT_EQ(zenta::RegistraServidor(nada, false), HR_ERROR_RESOURCE_TYPE_NOT_FOUND);
    EXPECT_EQ(zenta::RegistraServidor(home.Raiz() / "nao-existe", true), HRESULT_FROM_WIN32(2));
    EXPECT_EQ(Hive(home, "HKLM.reg"), maquina);

    // Per user: only the user's classes are written.
    ASSERT_EQ(zenta::RegistraServidor(modulo, true), S_OK);
    EXPECT_EQ(Hive(home, "HKLM.reg"), maquina);
    EXPECT_EQ(Texto(HKEY_CURRENT_USER, "Software\\Classes\\CLSID\\" + kClsid + "\\LocalServer32"), modulo.string());
    // Seen through the merged view, next to the machine's own classes.
    EXPECT_EQ(Texto(HKEY_CLASSES_ROOT, "CLSID\\" + kClsid + "\\LocalServer32"), modulo.string());
    EXPECT_EQ(Subchaves(HKEY_CLASSES_ROOT, "CLSID").size(), 2u);

    ASSERT_EQ(zenta::DesregistraServidor(modulo, true), S_OK);
    EXPECT_EQ(Hive(home, "HKLM.reg"), maquina);
    // Only the keys the scripts never remove are left, empty.
    EXPECT_EQ(Subchaves(HKEY_CURRENT_USER, "Software\\Classes"), (std::vector<std::string>{"AppID", "CLSID"}));
    EXPECT_TRUE(zenta::RegChaveVazia(HKEY_CURRENT_USER, "Software\\Classes\\AppID"));
    EXPECT_TRUE(zenta::RegChaveVazia(HKEY_CURRENT_USER, "Software\\Classes\\CLSID"));
}

// ---- The type library "ZENTALib" -------------------------------------------

TEST(DescricaoInterface, MethodsFillTheSlotsInOrder) {
    const auto& base = zenta::DescricaoIQVUnknown();
    const auto& servico = zenta::DescricaoIQVGE_ManutencaoPreventiva();
    EXPECT_EQ(servico.base, &base);
    EXPECT_EQ(*servico.iid, IID_IQVGE_ManutencaoPreventiva);
    ASSERT_EQ(base.metodos.size(), 7u);
    ASSERT_EQ(servico.metodos.size(), 28u);
    unsigned slot = 3;
    std::set<std::string> nomes;
    for (const auto* itf : {&base, &servico})
        for (const auto& m : itf->metodos) {
            EXPECT_EQ(m.slot, slot++) << m.nome;
            EXPECT_TRUE(nomes.insert(m.nome).second) << m.nome;
            for (const auto& p : m.parametros) {
                // A record argument names its record; its C type starts with it.
                if (p.registro != nullptr) {
                    EXPECT_EQ(std::string(p.tipoC).rfind(p.registro->nome, 0), 0u) << m.nome << " " << p.nome;
                } else {
                    EXPECT_EQ(std::string(p.tipoC).find("_REG"), std::string::npos) << m.nome << " " << p.nome;
                }
            }
        }
    EXPECT_EQ(slot, 38u);
    EXPECT_EQ(servico.metodos[4].parametros[0].direcao, zenta::DirecaoParametro::EntradaSaida);  // Grava's position
}

// The file reads back to the same library; hostile bytes are refused.
TEST(BibliotecaTipos, RoundTripKeepsEveryRecordAndMethodAndHostileBytesAreRefused) {
    const BibliotecaTipos original = zenta::BibliotecaZenta();
    EXPECT_EQ(original.registros.size(), 4 + zenta::TodasDescricoes().size());
    const std::string bom = Bytes();
    BibliotecaTipos lida;
    ASSERT_EQ(zenta::LeBibliotecaTipos(bom, lida), S_OK);
    EXPECT_EQ(lida, original);
    ASSERT_EQ(lida.interfaces.size(), 2u);
    const auto& grava = lida.interfaces[1].metodos[4];
    EXPECT_EQ(lida.registros.at(grava.parametros[1].registro).nome, "_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS");

    // Any cut, and any single changed byte (the CRC or a check catches it).
    for (size_t n = 0; n < bom.size(); n += 13) EXPECT_TRUE(FAILED(Le(bom.substr(0, n)))) << n;
    std::mt19937 aleatorio(42);
    for (int i = 0; i < 200; ++i) {
        std::string ruim = bom;
        const size_t onde = aleatorio() % ruim.size();
        ruim[onde] = static_cast<char>(ruim[onde] ^ (1 + aleatorio() % 255));
        EXPECT_TRUE(FAILED(Le(ruim))) << onde;
    }
    std::string ruim = bom;
    ruim[0] = 'X';
    EXPECT_EQ(Le(ruim), TYPE_E_UNSUPFORMAT);
    ruim = bom;
    Poe<std::uint16_t>(ruim, 8, 2);
    EXPECT_EQ(Le(ruim), TYPE_E_UNSUPFORMAT);

    // Changes that keep a valid CRC: each must be caught by its own check.
    const std::uint32_t registros = U32(bom, 48), campos = U32(bom, 56), interfaces = U32(bom, 64);
    const std::uint32_t metodos = U32(bom, 72), parametros = U32(bom, 80), textos = U32(bom, 88);
    const auto comMudanca = [&](auto muda) {
        std::string b = bom;
        muda(b);
        Sela(b);
        return Le(b);
    };
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint32_t>(b, 52, 0x7FFFFFFF); }), TYPE_E_INVDATAREAD);  // record count
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint32_t>(b, 56, 0xFFFFFFF0u); }), TYPE_E_INVDATAREAD); // table offset
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint32_t>(b, registros + 12, 100000); }), TYPE_E_INVDATAREAD);
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint32_t>(b, campos + 0, 0xFFFFFF); }), TYPE_E_INVDATAREAD);
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint32_t>(b, campos + 4, 0xFFFFFFFF); }), TYPE_E_INVDATAREAD);
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint8_t>(b, campos + 12, 200); }), TYPE_E_INVDATAREAD);
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint32_t>(b, campos + 16, 5); }), TYPE_E_INVDATAREAD);
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint32_t>(b, interfaces + 20, 0); }), TYPE_E_INVDATAREAD);  // own base: a cycle
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint32_t>(b, interfaces + 32 + 20, 7); }), TYPE_E_INVDATAREAD);
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint32_t>(b, metodos + 4, 1); }), TYPE_E_INVDATAREAD);  // slot of IUnknown
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint8_t>(b, parametros + 12, 4); }), TYPE_E_INVDATAREAD);
    EXPECT_EQ(comMudanca([&](std::string& b) { Poe<std::uint32_t>(b, parametros + 8, 999); }), TYPE_E_INVDATAREAD);
    EXPECT_EQ(comMudanca([&](std::string& b) { b[b.size() - 1] = 'x'; }), TYPE_E_INVDATAREAD);  // texts not ended
    EXPECT_EQ(comMudanca([&](std::string& b) { b[textos] = '\x01'; }), TYPE_E_INVDATAREAD);     // not a name
}

TEST(BibliotecaTipos, WriterRefusesAnInconsistentLibrary) {
    BibliotecaTipos b = zenta::BibliotecaZenta();
    b.registros[0].campos[0].registro = 9999;
    std::string bytes;
    EXPECT_EQ(zenta::EscreveBibliotecaTipos(b, bytes), E_INVALIDARG);
    EXPECT_TRUE(bytes.empty());
    b = zenta::BibliotecaZenta();
    b.interfaces[1].metodos[0].nome = "com\nquebra";
    EXPECT_EQ(zenta::EscreveBibliotecaTipos(b, bytes), E_INVALIDARG);
}

// The build's generator writes exactly the library, which LoadTypeLib reads
// from the file or from a program's resource.
TEST(BibliotecaTipos, TheGeneratorsFileLoadsFromTheFileOrAProgramsResource) {
    ZentaHomeTemporario home;
    const fs::path tlb = home.Raiz() / "ZENTALib.tlb";
    Executa(std::string(ZENTA_TLBGEN_PROGRAMA) + " " + tlb.string());
    EXPECT_EQ(LeArquivo(tlb), Bytes());
    const fs::path modulo = ConstroiModulo(home.Raiz(), {{".rsrc.TYPELIB.3", tlb}});

    for (const std::string& caminho : {tlb.string(), modulo.string() + "\\3"}) {
        ITypeLib* lib = nullptr;
        ASSERT_EQ(LoadTypeLib(Largo(caminho).c_str(), &lib), S_OK) << caminho;
        EXPECT_EQ(lib->GetTypeInfoCount(), 4 + zenta::TodasDescricoes().size() + 2);
        TLIBATTR* attr = nullptr;
        ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
        EXPECT_EQ(attr->guid, LIBID_ZENTALib);
        EXPECT_EQ(attr->lcid, 0x409u);
        EXPECT_EQ(attr->wMajorVerNum, 1);
        lib->ReleaseTLibAttr(attr);
        BSTR nome = nullptr;
        ASSERT_EQ(lib->GetDocumentation(-1, &nome, nullptr, nullptr, nullptr), S_OK);
        EXPECT_EQ(std::u16string(nome), u"ZENTALib");
        SysFreeString(nome);
        const UINT ultimo = lib->GetTypeInfoCount() - 1;
        TYPEKIND tipo = TKIND_RECORD;
        GUID iid{};
        EXPECT_EQ(lib->GetTypeInfoType(ultimo, &tipo), S_OK);
        EXPECT_EQ(tipo, TKIND_INTERFACE);
        EXPECT_EQ(lib->GetTypeGuid(ultimo, &iid), S_OK);
        EXPECT_EQ(iid, IID_IQVGE_ManutencaoPreventiva);
        EXPECT_EQ(lib->GetTypeInfoType(ultimo + 1, &tipo), TYPE_E_ELEMENTNOTFOUND);
        EXPECT_EQ(lib->Release(), 0u);
    }
    ITypeLib* lib = nullptr;
    EXPECT_EQ(LoadTypeLib(Largo(modulo.string()).c_str(), &lib), HR_ERROR_RESOURCE_NAME_NOT_FOUND);  // no number 1
    EXPECT_EQ(LoadTypeLib(Largo((home.Raiz() / "base.bin").string()).c_str(), &lib), TYPE_E_UNSUPFORMAT);
    EXPECT_EQ(lib, nullptr);
}
