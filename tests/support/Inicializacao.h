// Initialisation records for tests.
#pragma once

#include <cstdio>
#include <string>

#include <zenta/zenta.h>

namespace zenta::teste {

inline _REG_DF_INICIALIZAPS RegistroInicializacao(const std::string& empresa = "DEMO", ULONG usuario = 7,
                                                  ULONG sessao = 42) {
    _REG_DF_INICIALIZAPS reg{};
    reg.ulUsuario = usuario;
    reg.ulNumeroSessao = sessao;
    reg.ulLinhaFonte = 123;
    reg.usVersaoFarol = QV_VERSAO_FAROL;
    std::snprintf(reg.szEmpresa, sizeof reg.szEmpresa, "%s", empresa.c_str());
    std::snprintf(reg.szAplicativo, sizeof reg.szAplicativo, "teste");
    std::snprintf(reg.szModuleName, sizeof reg.szModuleName, "zenta_tests");
    std::snprintf(reg.szArquivoFonte, sizeof reg.szArquivoFonte, "teste.cpp");
    std::snprintf(reg.szNomeUsuarioDominio, sizeof reg.szNomeUsuarioDominio, "dominio\\usuario");
    reg.cControle = QV_CONTROLE_INICIALIZACAO;
    QVAssinaInicializacao(reg);
    return reg;
}

}  // namespace zenta::teste
