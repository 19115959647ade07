#include "values/QVMesAno.h"

#include "values/Calendario.h"
#include "values/RelogioSistema.h"

namespace zenta {

namespace cal = zenta::calendario;

USHORT QVMAFromMesAno(int mes, int ano) {
    ano = cal::ExpandeAno(ano);
    if (mes < 1 || mes > 12 || !cal::AnoValido(ano)) return 0;
    return static_cast<USHORT>(mes + (ano - cal::kAnoMinimo) * 12);
}

void QVMAToMesAno(USHORT ma, int& mes, int& ano) {
    // Code 0 would split into December 1847 by the arithmetic; it means no month.
    if (ma == 0) {
        mes = ano = 0;
        return;
    }
    int anos = ma / 12;
    mes = ma - anos * 12;
    if (mes == 0) {
        mes = 12;
        --anos;
    }
    ano = anos + cal::kAnoMinimo;
}

int QVMAGetMes(USHORT ma) {
    int mes = 0, ano = 0;
    QVMAToMesAno(ma, mes, ano);
    return mes;
}

int QVMAGetAno(USHORT ma) {
    int mes = 0, ano = 0;
    QVMAToMesAno(ma, mes, ano);
    return ano;
}

ULONG QVMAToChave(USHORT ma) {
    int mes = 0, ano = 0;
    QVMAToMesAno(ma, mes, ano);
    return static_cast<ULONG>(mes) * 10000u + static_cast<ULONG>(ano);
}

USHORT QVChaveToMA(ULONG chave) {
    const ULONG mes = chave / 10000u;
    const ULONG ano = chave % 10000u;
    // Only full years name files; a key with a two-digit year is not one of ours.
    if (ano < static_cast<ULONG>(cal::kAnoMinimo) || mes > 12u) return 0;
    return QVMAFromMesAno(static_cast<int>(mes), static_cast<int>(ano));
}

USHORT QVMAAtual() {
    const auto agora = zenta::RelogioSistema::Agora();
    return QVMAFromMesAno(agora.mes, agora.ano);
}

}  // namespace zenta
