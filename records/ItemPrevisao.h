// One maintenance of the forecast and the day it falls due: what the
// forecast (logic/PrevisaoManutencao.h) computes and its report
// (reports/RelatorioPrevisaoManPrev.h) prints.
#pragma once

#include <string>

#include <zenta/WinTypes.h>

namespace zenta {

struct ItemPrevisao {
    ULONG lPonteiroPlano = 0;
    ULONG lCodigoManutencao = 0;
    ULONG lTipoFrequencia = 0;
    ULONG lTecnico = 0;
    ULONG lEquipamento = 0;
    ULONG lProduto = 0;
    std::string sNome;     // the maintenance's name (UTF-8)
    std::string sNrSerie;  // UTF-8
    ULONG dataTempo = 0;      // the day it falls due by time (0: not by time)
    ULONG dataMedidor = 0;    // the day the meter is expected to make it due (0: no estimate)
    bool bSemEstimativa = false;  // the meter decides and the history cannot tell when
    ULONG dataVencimento = 0;     // the day it falls due (0: unknown)
    bool bOrdemAberta = false;    // an order is open: no other is opened meanwhile
};

}  // namespace zenta
