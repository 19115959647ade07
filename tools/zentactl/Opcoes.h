// Options shared by several commands.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include <zenta/WinTypes.h>

#include "tools/zentactl/Valores.h"

namespace zenta::ctl {

// The identification fields the plan and reading filters share.
struct FiltroIdentificacao {
    ULONG equipamento = 0, marca = 0, modelo = 0, tipo = 0, produto = 0, grade1 = 0, grade2 = 0, grade3 = 0;
    std::string serie;
    std::vector<ULONG> codigos;
    // 2 (both) by default: a zeroed filter field would mean "product plans only".
    ULONG tipoIdentificacao = 2;
};

void AdicionaOpcoesIdentificacao(CLI::App& comando, FiltroIdentificacao& filtro);

}  // namespace zenta::ctl
