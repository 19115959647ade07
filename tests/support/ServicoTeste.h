// A service object as a client creates it, for tests that go through the
// interface: created in-process, initialised for a company, released at the
// end of its scope.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <zenta/zenta.h>

#include "support/Inicializacao.h"

namespace zenta::teste {

struct LiberaServico {
    void operator()(IQVGE_ManutencaoPreventiva* p) const {
        if (p != nullptr) p->Release();
    }
};
using Servico = std::unique_ptr<IQVGE_ManutencaoPreventiva, LiberaServico>;

// A new service object initialised for `empresa`; a failed initialisation
// fails the test and still returns the object.
inline Servico NovoServico(const std::string& empresa = "DEMO", ULONG usuario = 7, ULONG sessao = 42) {
    IQVGE_ManutencaoPreventiva* p = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&p)),
              S_OK);
    if (p == nullptr) return Servico();
    EXPECT_EQ(p->Inicializa_Padrao(RegistroInicializacao(empresa, usuario, sessao)), S_OK) << empresa;
    return Servico(p);
}

// CoInitializeEx for the length of a scope.
class ComEscopo {
public:
    ComEscopo() { EXPECT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    ~ComEscopo() { CoUninitialize(); }
    ComEscopo(const ComEscopo&) = delete;
    ComEscopo& operator=(const ComEscopo&) = delete;
};

}  // namespace zenta::teste
