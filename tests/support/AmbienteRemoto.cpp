// With ZENTA_TESTE_REMOTO=1 this test program also acts as the service's
// local server: the service class is offered through the object transport
// on a socket of its own, so that tests creating the service with
// ContextoServico() call it through proxy, messages and stub exactly as a
// client in another process does, while sharing the test's data directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <zenta/zenta.h>

namespace {

class AmbienteRemoto final : public ::testing::Environment {
public:
    void SetUp() override {
        std::string modelo = (std::filesystem::temp_directory_path() / "zenta-run-XXXXXX").string();
        ASSERT_NE(::mkdtemp(modelo.data()), nullptr);
        m_run = modelo;
        ::setenv("ZENTA_RUN_DIR", m_run.c_str(), 1);
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        IClassFactory* fabrica = nullptr;
        ASSERT_EQ(CoGetClassObject(CLSID_QVGE_ManutencaoPreventiva, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                   reinterpret_cast<void**>(&fabrica)),
                  S_OK);
        ASSERT_EQ(CoRegisterClassObject(CLSID_QVGE_ManutencaoPreventiva, fabrica, CLSCTX_LOCAL_SERVER,
                                        REGCLS_MULTIPLEUSE, &m_cookie),
                  S_OK);
        fabrica->Release();
    }
    void TearDown() override {
        if (m_cookie != 0) {
            EXPECT_EQ(CoRevokeClassObject(m_cookie), S_OK);
        }
        CoUninitialize();
        std::error_code ec;
        std::filesystem::remove_all(m_run, ec);
        ::unsetenv("ZENTA_RUN_DIR");
    }

private:
    std::filesystem::path m_run;
    DWORD m_cookie = 0;
};

const bool g_registrado = [] {
    const char* valor = std::getenv("ZENTA_TESTE_REMOTO");
    if (valor != nullptr && std::string(valor) == "1") ::testing::AddGlobalTestEnvironment(new AmbienteRemoto);
    return true;
}();

}  // namespace
