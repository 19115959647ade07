// Options shared by several commands.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>
#include <zenta/WinTypes.h>

#include "values/QVDMC.h"

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

// The plan filter's options (plans find, report plans).
struct FiltroPlanos {
    FiltroIdentificacao id;
    ULONG filial = 0, cliente = 0, posicao = 0;
    bool ativo = false, inativo = false, cancelado = false, concluido = false, excluidos = false;
    std::string dataFrequencia;
};
void AdicionaOpcoesFiltroPlanos(CLI::App& comando, FiltroPlanos& filtro);
// The filter record; its code list points into `filtro`, which must outlive it.
_REG_FILTRO_CADASTRO_MANUTENCAO_PS MontaFiltroPlanos(FiltroPlanos& filtro);

// The order filter's options (orders find, report orders).
struct FiltroOrdens {
    FiltroIdentificacao id;
    ULONG cliente = 0, plano = 0;
    bool ativo = false, concluido = false, cancelado = false;
    std::string de, ate, os, ordem;
};
void AdicionaOpcoesFiltroOrdens(CLI::App& comando, FiltroOrdens& filtro);
// The filter record (its code list points into `filtro`); a bad key or
// service order fails `operacao` with E_INVALIDARG.
_REG_MOVIMENTACAO_FILTRO_PS MontaFiltroOrdens(FiltroOrdens& filtro, const char* operacao);

// Fails `operacao` with E_INVALIDARG: `texto` is not `porque`.
[[noreturn]] void ChaveInvalida(const char* operacao, const std::string& texto, const char* porque);
// "MM/YYYY-N": month/year and a position from 1. False when the text does
// not have that form.
bool LeMesAnoPosicao(const std::string& s, USHORT& ma, ULONG& posicao);
// An order key typed by a person: "MM/YYYY-N" or the 64-bit number of an
// order (kind 84, a month and a position). Anything else fails `operacao`
// with E_INVALIDARG before the service is asked.
REG_QVDMC LeChaveOrdem(const std::string& s, const char* operacao);

}  // namespace zenta::ctl
