// A service object as a client creates it, for tests that go through the
// interface: created in-process or, when the suite runs with
// ZENTA_TESTE_REMOTO=1, through the object transport from the server this
// test program offers (support/AmbienteRemoto.cpp); initialised for a
// company, released at the end of its scope.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <zenta/zenta.h>

#include "platform/rpc/QVAtivacao.h"
#include "support/Inicializacao.h"

namespace zenta::teste {

// The class context tests create the service in.
inline DWORD ContextoServico() {
    static const bool remoto = [] {
        const char* valor = std::getenv("ZENTA_TESTE_REMOTO");
        return valor != nullptr && std::string(valor) == "1";
    }();
    return remoto ? CLSCTX_LOCAL_SERVER : CLSCTX_INPROC_SERVER;
}

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
    EXPECT_EQ(CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, ContextoServico(),
                               IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&p)),
              S_OK);
    if (p == nullptr) return Servico();
    EXPECT_EQ(p->Inicializa_Padrao(RegistroInicializacao(empresa, usuario, sessao)), S_OK) << empresa;
    return Servico(p);
}

// Like NovoServico, but when the suite runs out of process the object comes
// over a connection of its own: to the server, a client apart from every
// other.
inline Servico NovoServicoClienteProprio(const std::string& empresa, ULONG usuario, ULONG sessao) {
    if (ContextoServico() != CLSCTX_LOCAL_SERVER) return NovoServico(empresa, usuario, sessao);
    std::shared_ptr<zenta::rpc::Conexao> conexao;
    EXPECT_EQ(zenta::rpc::NovaConexaoLocal(CLSID_QVGE_ManutencaoPreventiva, &conexao), S_OK);
    if (!conexao) return Servico();
    IQVGE_ManutencaoPreventiva* p = nullptr;
    EXPECT_EQ(conexao->CriaObjeto(CLSID_QVGE_ManutencaoPreventiva, IID_IQVGE_ManutencaoPreventiva,
                                  reinterpret_cast<void**>(&p)),
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
