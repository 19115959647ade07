#include "values/QVHMS.h"

#include "values/RelogioSistema.h"

namespace zenta {

REG_QVHMS& REG_QVHMS::SetHMS(int hora, int minuto, int segundo) {
    const bool valido = hora >= 0 && hora < 24 && minuto >= 0 && minuto < 60 && segundo >= 0 && segundo < 60;
    lSegundos = valido ? static_cast<ULONG>(hora * 3600 + minuto * 60 + segundo) : 0;
    return *this;
}

REG_QVHMS& REG_QVHMS::SetHHMMSS(ULONG hhmmss) {
    // Hours beyond 24 are refused before they can grow past an int.
    if (hhmmss / 10000u >= 24u) return *this = REG_QVHMS();
    return SetHMS(static_cast<int>(hhmmss / 10000u), static_cast<int>(hhmmss % 10000u / 100u),
                  static_cast<int>(hhmmss % 100u));
}

REG_QVHMS& REG_QVHMS::SetMinutosDia(ULONG minutos) {
    if (minutos / 60u >= 24u) return *this = REG_QVHMS();
    return SetHMS(static_cast<int>(minutos / 60u), static_cast<int>(minutos % 60u), 0);
}

REG_QVHMS& REG_QVHMS::SetAgora() {
    const auto agora = zenta::RelogioSistema::Agora();
    return SetHMS(agora.hora, agora.minuto, agora.segundo);
}

void REG_QVHMS::GetHMS(int& hora, int& minuto, int& segundo) const {
    hora = GetHora();
    minuto = GetMinuto();
    segundo = GetSegundo();
}

ULONG REG_QVHMS::GetHHMMSS() const {
    return static_cast<ULONG>(GetHora()) * 10000u + static_cast<ULONG>(GetMinuto()) * 100u +
           static_cast<ULONG>(GetSegundo());
}

ULONG REG_QVHMS::GetHHMM() const { return static_cast<ULONG>(GetHora()) * 100u + static_cast<ULONG>(GetMinuto()); }

ULONG REG_QVHMS::GetMinutosDia() const { return lSegundos / 60u; }

REG_QVHMS& REG_QVHMS::ZeraSegundos() {
    lSegundos -= lSegundos % 60u;
    return *this;
}

}  // namespace zenta
