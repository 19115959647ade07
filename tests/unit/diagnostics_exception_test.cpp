// The exception classes and their translation into HRESULTs.

#include <new>
#include <stdexcept>

#include "diagnostics/QVCodigosErro.h"
#include "diagnostics/QVException.h"
#include "diagnostics/QVTranslateException.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

namespace {

template <class Lanca>
HRESULT Traduz(Lanca&& lanca) {
    try {
        lanca();
    } catch (...) {
        return QVTranslateThrownExceptionToHresult();
    }
    ADD_FAILURE() << "nothing was thrown";
    return S_OK;
}

// Throws a framework exception as a pointer, translates it, then frees it:
// the translator must leave it alive.
template <class E>
HRESULT TraduzPonteiro(E* excecao) {
    const HRESULT hr = Traduz([excecao] { throw excecao; });
    excecao->Delete();
    return hr;
}

}  // namespace

TEST(TraducaoExcecao, EachKindInItsOrder) {
    EXPECT_EQ(Traduz([] { throw _com_error(E_POINTER); }), E_POINTER);
    EXPECT_EQ(Traduz([] { throw CQVExceptionEx(E_QVCR_ARQUIVO_NAO_EXISTE, 1, 2, "m"); }), E_QVCR_ARQUIVO_NAO_EXISTE);
    // A CQVException is a CException, but it is translated by its own rule.
    EXPECT_EQ(TraduzPonteiro(new CQVException(0u, 1, 5)), static_cast<HRESULT>(0x80040005u));
    EXPECT_EQ(TraduzPonteiro(new CQVException(12u, 1, 0)), static_cast<HRESULT>(0x8004EA61u));
    EXPECT_EQ(TraduzPonteiro(new CFileException(CFileException::sharingViolation, 32)),
              static_cast<HRESULT>(0x80070020u));
    EXPECT_EQ(TraduzPonteiro(new CFileException(CFileException::none, -1)), -1);
    // A thrown file exception is never a success.
    EXPECT_EQ(TraduzPonteiro(new CFileException(CFileException::none, 0)), static_cast<HRESULT>(0x8004EA63u));
    EXPECT_EQ(TraduzPonteiro(new CMemoryException), static_cast<HRESULT>(0x8004EA62u));
    EXPECT_EQ(TraduzPonteiro(new CInvalidArgException), static_cast<HRESULT>(0x8004EA67u));
    EXPECT_EQ(TraduzPonteiro(new CException), static_cast<HRESULT>(0x8004EA63u));
    EXPECT_EQ(Traduz([] { throw static_cast<long>(E_QVCR_VERSAO_INCOMPATIVEL); }), E_QVCR_VERSAO_INCOMPATIVEL);
    EXPECT_EQ(Traduz([] { throw HRESULT{E_ABORT}; }), E_ABORT);
    EXPECT_EQ(Traduz([] { throw std::bad_alloc(); }), static_cast<HRESULT>(0x8004EA64u));
    EXPECT_EQ(Traduz([] { throw std::runtime_error("x"); }), static_cast<HRESULT>(0x8004EA65u));
    EXPECT_EQ(Traduz([] { throw 2.5; }), static_cast<HRESULT>(0x8004EA66u));
    EXPECT_EQ(Traduz([] { throw "texto"; }), static_cast<HRESULT>(0x8004EA66u));
    EXPECT_EQ(QVTranslateThrownExceptionToHresult(), E_UNEXPECTED);  // outside a handler
}

class ExcecaoQV : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_home.Raiz() / "Mensagens");
        std::ofstream(m_home.Raiz() / "Mensagens/QVGEMens.txt", std::ios::binary)
            << "00012   Primeira\\nSegunda\n"
               "00013   Manuten\xE7\xE3o\n";
    }
    zenta::teste::ZentaHomeTemporario m_home;
};

TEST_F(ExcecaoQV, MessageComesFromTheMessageFileAndReportErrorShowsIt) {
    CQVException porCodigo(12u, 9, 0);
    EXPECT_EQ(porCodigo.GetMensagem(), "Primeira\nSegunda");
    EXPECT_EQ(porCodigo.m_strMensagem, "Primeira\nSegunda");
    CQVException porTexto(std::string("texto pr\xF3prio"), 9, 0);
    EXPECT_EQ(porTexto.m_ulCodigoMensagem, 0u);
    EXPECT_EQ(porTexto.GetMensagem(), "texto pr\xF3prio");
    char buffer[8] = "x";
    EXPECT_FALSE(porTexto.GetErrorMessage(buffer, sizeof buffer));

    // ReportError shows the module as caption, the text and the system error.
    CQVException conhecida(13u, 9, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(conhecida.ReportError(), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "GE: Manutenção\n");

    CQVException desconhecida(99u, 9, 5);
    testing::internal::CaptureStderr();
    EXPECT_EQ(desconhecida.ReportError(MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "GE: Erro desconhecido encontrado. Código (99)\nErro do SO: 5 - ERROR_ACCESS_DENIED\n");
}
