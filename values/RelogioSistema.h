// The local date and time as the server sees it. Everything that asks for
// "today" or "now" goes through here, so that tests can run the due-date
// logic on any day by installing a clock of their own.
#pragma once

#include <functional>

namespace zenta {

class RelogioSistema {
public:
    // A local calendar instant: year, month 1..12, day 1..31, hour 0..23,
    // minute and second 0..59.
    struct Instante {
        int ano = 0;
        int mes = 0;
        int dia = 0;
        int hora = 0;
        int minuto = 0;
        int segundo = 0;
    };
    using Fonte = std::function<Instante()>;

    // The installed test clock when there is one, else the machine's local time.
    static Instante Agora();

    // Installs a clock for the whole process; an empty function restores the
    // machine's clock. Meant for tests: callers on other threads see the
    // change at their next call.
    static void DefineFonte(Fonte fonte);
    static void DefineInstanteFixo(const Instante& instante);
    static void RestauraRelogioReal() { DefineFonte(nullptr); }
};

// Installs a fixed instant for the lifetime of the object (tests).
class RelogioFixoEscopo {
public:
    explicit RelogioFixoEscopo(const RelogioSistema::Instante& instante) { RelogioSistema::DefineInstanteFixo(instante); }
    ~RelogioFixoEscopo() { RelogioSistema::RestauraRelogioReal(); }
    RelogioFixoEscopo(const RelogioFixoEscopo&) = delete;
    RelogioFixoEscopo& operator=(const RelogioFixoEscopo&) = delete;
};

}  // namespace zenta
