// The type library "ZENTALib": the interface description matches the
// declared interfaces, the file reads back to the same library with every
// record and method, the build's generator writes exactly that file, hostile
// bytes are refused, and LoadTypeLib finds it in a file or a program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include <zenta/IQVGE_ManutencaoPreventiva.h>
#include <zenta/OleAuto.h>
#include "server/OleAutoTypeLib.h"

#include "platform/Resource.h"
#include "server/QVBibliotecaTipos.h"
#include "server/QVDescricaoInterface.h"
#include "support/ZentaHomeTemporario.h"

using zenta::BibliotecaTipos;
using zenta::teste::LeArquivo;
using zenta::teste::ZentaHomeTemporario;

namespace {

namespace fs = std::filesystem;

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

TEST(BibliotecaTipos, RoundTripKeepsEveryRecordAndMethod) {
    const BibliotecaTipos original = zenta::BibliotecaZenta();
    EXPECT_EQ(original.registros.size(), 4 + zenta::TodasDescricoes().size());
    BibliotecaTipos lida;
    ASSERT_EQ(zenta::LeBibliotecaTipos(Bytes(), lida), S_OK);
    EXPECT_EQ(lida, original);
    ASSERT_EQ(lida.interfaces.size(), 2u);
    const auto& grava = lida.interfaces[1].metodos[4];
    EXPECT_EQ(lida.registros.at(grava.parametros[1].registro).nome, "_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS");
}

TEST(BibliotecaTipos, TheBuildsGeneratorWritesTheSameFile) {
    ZentaHomeTemporario home;
    const fs::path tlb = home.Raiz() / "ZENTALib.tlb";
    ASSERT_EQ(std::system((std::string(ZENTA_TLBGEN_PROGRAMA) + " " + tlb.string()).c_str()), 0);
    EXPECT_EQ(LeArquivo(tlb), Bytes());
}

TEST(BibliotecaTipos, HostileBytesAreRefused) {
    const std::string bom = Bytes();
    ASSERT_EQ(Le(bom), S_OK);
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

TEST(BibliotecaTipos, LoadTypeLibReadsAFileOrAProgramsResource) {
    ZentaHomeTemporario home;
    const fs::path tlb = home.Raiz() / "ZENTALib.tlb";
    std::ofstream(tlb, std::ios::binary) << Bytes();
    const fs::path modulo = home.Raiz() / "modulo";
    std::ofstream(home.Raiz() / "base.bin") << "x";
    ASSERT_EQ(std::system((std::string(ZENTA_OBJCOPY) + " -I binary -O elf64-x86-64 -B i386:x86-64 " +
                           (home.Raiz() / "base.bin").string() + " " + modulo.string() +
                           " && " + ZENTA_OBJCOPY + " --add-section .rsrc.TYPELIB.3=" + tlb.string() + " " +
                           modulo.string())
                              .c_str()),
              0);

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
