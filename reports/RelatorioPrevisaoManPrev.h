// The forecast report: a chart of the maintenances due per week and
// technician above the list of them (PDF), or the list alone (CSV), written
// through the report generator. The format follows the destination's
// extension.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <zenta/WinTypes.h>

#include "records/ItemPrevisao.h"
#include "standins/relatorio/DocumentoRelatorio.h"

namespace zenta {

struct RelatorioPrevisao {
    std::string sEmpresa;  // UTF-8
    ULONG hoje = 0;
    ULONG dias = 30;
    // People's names of technicians and items (UTF-8), as the caller knows them.
    std::function<std::string(ULONG)> nomeTecnico;
    std::function<std::string(const ItemPrevisao&)> nomeItem;
};

// The Monday of the week of a day.
ULONG SegundaDaSemana(ULONG dia);

// The chart's data: one category per week from today's to the last day's,
// one series per technician (in order of code), the counts of items with a
// known day.
GraficoRelatorio GraficoPrevisao(const RelatorioPrevisao& relatorio, const std::vector<ItemPrevisao>& itens);

// Writes the report at `destino` (an absolute path). On failure `erro` says why.
HRESULT EmiteRelatorioPrevisao(const RelatorioPrevisao& relatorio, const std::vector<ItemPrevisao>& itens,
                               const std::string& destino, std::string& erro);

}  // namespace zenta
