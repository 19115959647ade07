#include <sys/stat.h>

#include "platform/Registry.h"
#include "support/ZentaHomeTemporario.h"

using zenta::teste::LeArquivo;
using zenta::teste::ZentaHomeTemporario;

namespace {
const std::string kChave = "SOFTWARE\\Wow6432Node\\QV Sistemas\\DF";

void Escreve(const std::filesystem::path& arquivo, const std::string& texto) {
    std::filesystem::create_directories(arquivo.parent_path());
    std::ofstream(arquivo, std::ios::binary) << texto;
}

// Opens `chave` for writing, creating it; the result of the call.
LONG Cria(HKEY raiz, const std::string& chave, HKEY* h, DWORD* disposicao = nullptr) {
    return RegCreateKeyExA(raiz, chave.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, h, disposicao);
}

LONG PoeDword(HKEY h, const std::string& nome, DWORD valor) {
    return RegSetValueExA(h, nome.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&valor), sizeof valor);
}
}  // namespace

TEST(Registry, ReadsAndWritesTheExportFormatIgnoringCaseAndSkippingBadLines) {
    ZentaHomeTemporario home;
    Escreve(home.Raiz() / "registry/HKLM.reg",
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\QV Sistemas\\DF]\r\n"
            "\"Path\"=\"C:\\\\QV\\\\DF\\\\ \\\"x\\\"\"\r\n"
            "garbage line without equals\r\n"
            "\"Bad\"=dword:12\r\n"
            "\"DesabilitaAutenticacaoDCOM\"=dword:00000001\r\n"
            "[HKEY_CLASSES_ROOT\\Wrong]\r\n"
            "\"Lost\"=\"x\"\r\n");
    EXPECT_EQ(zenta::RegLeTexto(HKEY_LOCAL_MACHINE, "software\\wow6432node\\qv sistemas\\df", "path").value_or("?"),
              "C:\\QV\\DF\\ \"x\"");
    EXPECT_EQ(zenta::RegLeDword(HKEY_LOCAL_MACHINE, kChave, "DesabilitaAutenticacaoDCOM").value_or(0), 1u);
    EXPECT_FALSE(zenta::RegLeDword(HKEY_LOCAL_MACHINE, kChave, "Bad"));
    EXPECT_FALSE(zenta::RegLeTexto(HKEY_LOCAL_MACHINE, kChave, "Lost"));
    // A text asked for as a number is not found.
    EXPECT_FALSE(zenta::RegLeDword(HKEY_LOCAL_MACHINE, kChave, "Path"));
    // A missing hive is empty.
    std::filesystem::remove(home.Raiz() / "registry/HKLM.reg");
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kChave.c_str(), 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(h, nullptr);

    // Writes round-trip through the export format; a tree is deleted whole.
    DWORD disposicao = 0;
    ASSERT_EQ(Cria(HKEY_CURRENT_USER, "Software\\Classes\\ZENTA.Teste", &h, &disposicao), ERROR_SUCCESS);
    EXPECT_EQ(disposicao, 1u);
    const char texto[] = "a \"quoted\" \\ text";
    EXPECT_EQ(RegSetValueExA(h, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(texto), sizeof texto), ERROR_SUCCESS);
    EXPECT_EQ(PoeDword(h, "Numero", 0xDEADBEEF), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(h, "Quebra", 0, REG_SZ, reinterpret_cast<const BYTE*>("a\nb"), 4),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(h);

    const std::string arquivo = LeArquivo(home.Raiz() / "registry/HKCU.reg");
    EXPECT_EQ(arquivo.rfind("Windows Registry Editor Version 5.00", 0), 0u);
    EXPECT_NE(arquivo.find("\"Numero\"=dword:deadbeef"), std::string::npos);
    EXPECT_EQ(zenta::RegLeTexto(HKEY_CURRENT_USER, "Software\\Classes\\ZENTA.Teste", "").value_or("?"), texto);

    // The small buffer is told the size it needs.
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\ZENTA.Teste", 0, KEY_READ, &h), ERROR_SUCCESS);
    char pequeno[4];
    DWORD tamanho = sizeof pequeno;
    EXPECT_EQ(RegQueryValueExA(h, "", nullptr, nullptr, reinterpret_cast<BYTE*>(pequeno), &tamanho), ERROR_MORE_DATA);
    EXPECT_EQ(tamanho, sizeof texto);
    RegCloseKey(h);

    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "software\\classes"), ERROR_SUCCESS);
    EXPECT_FALSE(zenta::RegLeTexto(HKEY_CURRENT_USER, "Software\\Classes\\ZENTA.Teste", ""));
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
}

TEST(Registry, ConcurrentWritersLoseNothing) {
    ZentaHomeTemporario home;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            HKEY h = nullptr;
            ASSERT_EQ(Cria(HKEY_LOCAL_MACHINE, kChave, &h), ERROR_SUCCESS);
            for (int i = 0; i < 10; ++i)
                EXPECT_EQ(PoeDword(h, "V" + std::to_string(t) + "_" + std::to_string(i), t * 100 + i), ERROR_SUCCESS);
            RegCloseKey(h);
        });
    }
    for (auto& th : threads) th.join();
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(zenta::RegLeDword(HKEY_LOCAL_MACHINE, kChave, "V" + std::to_string(t) + "_" + std::to_string(i))
                          .value_or(9999),
                      static_cast<DWORD>(t * 100 + i));
}

// A hive in either encoding of registry exports reads the same; a hive that
// cannot be read (garbage, a FIFO) is never waited on and never replaced.
TEST(Registry, ReadsUtf16AndUtf8AndNeverReplacesAnUnreadableHive) {
    ZentaHomeTemporario home;
    const auto arquivo = home.Raiz() / "registry/HKLM.reg";
    const std::string texto = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\" + kChave +
                              "]\r\n\"Path\"=\"/srv/aç\"\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char16_t c : u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\"
                            u"Wow6432Node\\QV Sistemas\\DF]\r\n\"Path\"=\"/srv/a\u00E7\"\r\n") {
        utf16.push_back(static_cast<char>(c & 0xFF));
        utf16.push_back(static_cast<char>(c >> 8));
    }
    utf16.resize(utf16.size() - 2);  // the literal's terminator
    for (const std::string& conteudo : {texto, "\xEF\xBB\xBF" + texto, utf16}) {
        Escreve(arquivo, conteudo);
        EXPECT_EQ(zenta::RegLeTexto(HKEY_LOCAL_MACHINE, kChave, "Path").value_or("?"), "/srv/aç");
        HKEY h = nullptr;
        ASSERT_EQ(Cria(HKEY_LOCAL_MACHINE, kChave, &h), ERROR_SUCCESS);
        EXPECT_EQ(PoeDword(h, "Novo", 1), ERROR_SUCCESS);
        RegCloseKey(h);
        EXPECT_EQ(zenta::RegLeTexto(HKEY_LOCAL_MACHINE, kChave, "Path").value_or("?"), "/srv/aç");
    }

    for (const std::string& ilegivel : {std::string("\x01\x02garbage\x00\xFF", 11), std::string("\xFF\xFE\x41"),
                                        std::string("no header\r\n[HKEY_LOCAL_MACHINE\\X]\r\n")}) {
        Escreve(arquivo, ilegivel);
        EXPECT_FALSE(zenta::RegLeTexto(HKEY_LOCAL_MACHINE, kChave, "Path"));
        HKEY h = nullptr;
        EXPECT_EQ(Cria(HKEY_LOCAL_MACHINE, kChave, &h), ERROR_BADDB);
        if (h != nullptr) RegCloseKey(h);
        EXPECT_EQ(LeArquivo(arquivo), ilegivel);
    }

    std::filesystem::remove(arquivo);
    ASSERT_EQ(::mkfifo(arquivo.c_str(), 0600), 0);
    EXPECT_FALSE(zenta::RegLeTexto(HKEY_LOCAL_MACHINE, kChave, "Path"));
    EXPECT_EQ(zenta::RegLeDword(HKEY_LOCAL_MACHINE, kChave, "Novo"), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_fifo(arquivo));
}
