// REG_QVHMS: a time of day as seconds since midnight (0 to 86,399) in 32
// bits. Built only from a valid hour, minute and second; anything else gives
// 0, which is also midnight. A plain value: records on disk hold it as four bytes.
#pragma once

#include <compare>
#include <type_traits>

#include <zenta/WinTypes.h>

namespace zenta {

#pragma pack(push, 1)
struct REG_QVHMS {
    ULONG lSegundos = 0;

    constexpr REG_QVHMS() = default;
    constexpr explicit REG_QVHMS(ULONG segundos) : lSegundos(segundos) {}
    REG_QVHMS(int hora, int minuto, int segundo) { SetHMS(hora, minuto, segundo); }

    // Hour below 24, minute and second below 60, else 0.
    REG_QVHMS& SetHMS(int hora, int minuto, int segundo);
    // From a whole number HHMMSS (235959 is 23:59:59).
    REG_QVHMS& SetHHMMSS(ULONG hhmmss);
    // From minutes since midnight.
    REG_QVHMS& SetMinutosDia(ULONG minutos);
    // The current local time (see zenta::RelogioSistema).
    REG_QVHMS& SetAgora();
    static REG_QVHMS Agora() { return REG_QVHMS().SetAgora(); }

    constexpr ULONG GetSegundosDia() const { return lSegundos; }
    int GetHora() const { return static_cast<int>(lSegundos / 3600u); }
    int GetMinuto() const { return static_cast<int>(lSegundos / 60u % 60u); }
    int GetSegundo() const { return static_cast<int>(lSegundos % 60u); }
    void GetHMS(int& hora, int& minuto, int& segundo) const;

    // hour * 10,000 + minute * 100 + second
    ULONG GetHHMMSS() const;
    // hour * 100 + minute
    ULONG GetHHMM() const;
    // hour * 60 + minute
    ULONG GetMinutosDia() const;
    // Keeps hour and minute.
    REG_QVHMS& ZeraSegundos();

    constexpr auto operator<=>(const REG_QVHMS&) const = default;
};
#pragma pack(pop)

static_assert(sizeof(REG_QVHMS) == 4);
static_assert(alignof(REG_QVHMS) == 1);
static_assert(std::is_trivially_copyable_v<REG_QVHMS>);

}  // namespace zenta
