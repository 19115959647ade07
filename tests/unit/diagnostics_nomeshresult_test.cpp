// Names of HRESULTs and their parts, and the errno translation.

#include <cerrno>

#include "diagnostics/QVCodigosErro.h"
#include "diagnostics/QVNomesHresult.h"

using namespace zenta;

TEST(NomesHresult, CodeNameFollowsTheOwnerOfTheFacility) {
    // Facility 4 has no code name.
    EXPECT_EQ(NomeCodigoHresult(static_cast<HRESULT>(0x80040005u), std::nullopt), "");
    // Windows facilities: the Win32 name of the code.
    EXPECT_EQ(NomeCodigoHresult(E_ACCESSDENIED, false), "ERROR_ACCESS_DENIED");
    EXPECT_EQ(NomeCodigoHresult(HRESULT_FROM_WIN32(32), std::nullopt), "ERROR_SHARING_VIOLATION");
    // A facility the message library claims: the system's own name, never a Win32 one.
    EXPECT_EQ(NomeCodigoHresult(E_QVCR_VERSAO_INCOMPATIVEL, true), "E_QVCR_VERSAO_INCOMPATIVEL");
    EXPECT_EQ(NomeCodigoHresult(static_cast<HRESULT>(0x81080002u), true), "");
    // Without a library the ERP's facilities are still recognised...
    EXPECT_EQ(NomeCodigoHresult(static_cast<HRESULT>(0x81080002u), std::nullopt), "");
    // ...and a library that disowns the facility gets the Win32 name.
    EXPECT_EQ(NomeCodigoHresult(static_cast<HRESULT>(0x81080002u), false), "ERROR_FILE_NOT_FOUND");
}

TEST(ErrnoParaHresult, FollowsTheRunTimeLibrarysList) {
    // The errors above ERANGE keep their codes whatever number the host gives them.
    for (const auto& [erro, hr] : {std::pair{0, 0x8004EA60u}, {15, 0x8004EA60u}, {EPERM, 0x8004EADCu},
                                   {34, 0x8004EAFBu}, {EDEADLK, 0x8004EAFCu}, {EILSEQ, 0x8004EB01u},
                                   {-1, 0x8004EA60u}, {100000, 0x8004EA60u}})
        EXPECT_EQ(HresultDeErrno(erro), static_cast<HRESULT>(hr)) << erro;
}

TEST(CodigosErro, MachineFaultRange) {
    for (const uint32_t hr : {0x8004EAC5u, 0x8004EE47u}) EXPECT_TRUE(QVEhResultadoFalhaMaquina(static_cast<HRESULT>(hr)));
    for (const uint32_t hr : {0x8004EADCu, 0x8004EAC4u}) EXPECT_FALSE(QVEhResultadoFalhaMaquina(static_cast<HRESULT>(hr)));
}

// Every code the system hands back carries a name and a description, so a
// failure never reaches a user as a bare number.
TEST(NomesHresult, EveryReturnedCodeHasANameAndAMessage) {
    std::vector<uint32_t> codigos = {
        0x80043EEEu, 0x80043F10u, 0x80043EB7u, 0x80043F08u, 0x810809D7u, 0x8007007Bu, 0x80070057u, 0x800706BAu,
        0x800706F7u, 0x80070005u, 0x80004001u, 0x8007000Eu, 0x80080005u, 0x80080008u, 0x80010108u, 0x80040154u,
        0x8004EA65u, 0x8004EA60u, 0x80070420u,
    };
#define QV_CODIGO_TESTE_(nome, valor, descricao) codigos.push_back(valor);
    QV_CODIGOS_SISTEMA(QV_CODIGO_TESTE_)
#undef QV_CODIGO_TESTE_
    for (const uint32_t codigo : codigos) {
        const auto hr = static_cast<HRESULT>(codigo);
        EXPECT_FALSE(TextoSistemaHresult(hr).empty()) << std::hex << codigo;
        EXPECT_FALSE(MensagemHresult(hr).empty()) << std::hex << codigo;
    }
    EXPECT_EQ(TextoSistemaHresult(static_cast<HRESULT>(0x80043EEEu)), "E_QVDATABASE_eSharingViolation");
    EXPECT_FALSE(MensagemHresult(static_cast<HRESULT>(0x8004EAC5u)).empty());
    EXPECT_TRUE(MensagemHresult(static_cast<HRESULT>(0x81080001u)).empty());
}
