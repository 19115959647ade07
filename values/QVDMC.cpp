#include "values/QVDMC.h"

#include "values/Calendario.h"
#include "values/QVMesAno.h"

namespace zenta {

namespace cal = zenta::calendario;

namespace {
constexpr ULONG kMaiorValorData = (1u << 18) - 1u;
}

void REG_QVDMC::Monta(ULONG ponteiro, USHORT tipoMovimento, int tipoData, ULONG valorData) {
    if (tipoData == TIPO_DATA_NENHUMA || valorData == 0 || valorData > kMaiorValorData) {
        tipoData = TIPO_DATA_NENHUMA;
        valorData = 0;
    }
    uiChave = static_cast<ULONGLONG>(tipoData) | (static_cast<ULONGLONG>(tipoMovimento & 0xFFFu) << 2) |
              (static_cast<ULONGLONG>(ponteiro) << 14) | (static_cast<ULONGLONG>(valorData) << 46);
}

REG_QVDMC& REG_QVDMC::SetDMC(ULONG ponteiro, USHORT tipoMovimento, USHORT ma) {
    Monta(ponteiro, tipoMovimento, TIPO_DATA_MA, ma);
    return *this;
}

REG_QVDMC& REG_QVDMC::SetDMCData(ULONG ponteiro, USHORT tipoMovimento, REG_QVDMA data) {
    Monta(ponteiro, tipoMovimento, TIPO_DATA_COMPLETA, data.GetData());
    return *this;
}

REG_QVDMC& REG_QVDMC::SetDMCAno(ULONG ponteiro, USHORT tipoMovimento, int ano) {
    ano = cal::ExpandeAno(ano);
    Monta(ponteiro, tipoMovimento, TIPO_DATA_ANO, cal::AnoValido(ano) ? static_cast<ULONG>(ano) : 0);
    return *this;
}

REG_QVDMC& REG_QVDMC::SetDMCSemData(ULONG ponteiro, USHORT tipoMovimento) {
    Monta(ponteiro, tipoMovimento, TIPO_DATA_NENHUMA, 0);
    return *this;
}

REG_QVDMC& REG_QVDMC::SetPonteiro(ULONG ponteiro) {
    constexpr ULONGLONG kMascara = 0xFFFFFFFFull << 14;
    uiChave = (uiChave & ~kMascara) | (static_cast<ULONGLONG>(ponteiro) << 14);
    return *this;
}

USHORT REG_QVDMC::GetMa() const {
    const ULONG valor = GetValorData();
    switch (GetTipoData()) {
        case TIPO_DATA_ANO: return QVMAFromMesAno(1, static_cast<int>(valor));
        // A value beyond 16 bits cannot be a code; such a key has no month.
        case TIPO_DATA_MA: return valor <= 0xFFFFu ? static_cast<USHORT>(valor) : 0;
        case TIPO_DATA_COMPLETA: return REG_QVDMA(valor).GetMa();
        default: return 0;
    }
}

REG_QVDMA REG_QVDMC::GetDataCompleta() const {
    const ULONG valor = GetValorData();
    switch (GetTipoData()) {
        case TIPO_DATA_ANO: return REG_QVDMA(1, 1, static_cast<int>(valor));
        case TIPO_DATA_MA: return REG_QVDMA().SetMa(GetMa(), 1);
        case TIPO_DATA_COMPLETA: return REG_QVDMA(valor);
        default: return REG_QVDMA();
    }
}

int REG_QVDMC::GetAno() const { return GetDataCompleta().GetAno(); }

}  // namespace zenta
