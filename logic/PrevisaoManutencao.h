// The forecast: which active maintenances fall due in the coming days, and
// for whom, judged by the daily verification's own rules with nothing
// written. By time, the day comes from zenta::PrimeiroDiaTesteTempo, the
// function the verification tests each day against; by meter, the day is
// estimated from the identification's reading history (the average daily
// use over the readings of the last 90 days).
#pragma once

#include <string>
#include <vector>

#include <zenta/IQVGE_ManutencaoPreventiva.h>
#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "records/ItemPrevisao.h"

namespace zenta {

// A reading of the history: its day and value (ten-thousandths).
struct LeituraMedidor {
    ULONG data = 0;
    LONGLONG quantidade = 0;
};

// The readings' average growth per day over the days [hoje - 90, hoje]:
// false with fewer than two readings on different days in that span.
bool UsoMedioDiario(const std::vector<LeituraMedidor>& leituras, ULONG hoje, double& porDia);

// One maintenance on `hoje`: its newest order open or not, the day that
// order was finished (`dataRearme`, 0 for none) and the plan's readings.
// Kind 1 falls due on the earlier of its time and meter days, 2 by time,
// 3 by meter, 4 when both have come; a day already past is today.
ItemPrevisao PreveManutencao(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano,
                             const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& manutencao, bool bOrdemAberta,
                             ULONG dataRearme, const std::vector<LeituraMedidor>& leituras, ULONG hoje);

struct FiltroPrevisao {
    ULONG hoje = 0;
    ULONG dias = 30;     // the days after today the forecast covers
    ULONG tecnico = 0;   // 0: every technician
};

// Every maintenance of the active plans that falls due within
// [hoje, hoje + dias], or whose meter gives no estimate, read through the
// service's interface (in-process, local or remote alike), in order of day,
// technician, plan and maintenance.
HRESULT MontaPrevisao(IQVGE_ManutencaoPreventiva& servico, const FiltroPrevisao& filtro,
                      std::vector<ItemPrevisao>& itens);

}  // namespace zenta
