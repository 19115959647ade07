// zenta: the local server of the preventive-maintenance service. Started by
// a client's activation (or by hand, or by a service manager) it serves until
// it has been idle for the idle time-out; with -RegServer, -UnregServer,
// -RegServerPerUser or -UnregServerPerUser (or '/' instead of '-') it writes
// or removes its registration and ends. The exit code is the run's HRESULT.
//
// SIGTERM, SIGINT and SIGHUP end the run as a quit message does: the class
// objects are revoked and the socket removed before the process exits. Calls
// still running get a few seconds; then, or at a second signal, the process
// ends regardless (zenta::EncerraPorSinais).
#include <signal.h>

#include <thread>

#include "platform/WinUser.h"
#include "server/ZENTAModule.h"

int main(int argc, char** argv) {
    // Blocked here, before any thread starts, so that every thread inherits
    // the mask and only the waiting thread receives them.
    sigset_t sinais;
    sigemptyset(&sinais);
    sigaddset(&sinais, SIGTERM);
    sigaddset(&sinais, SIGINT);
    sigaddset(&sinais, SIGHUP);
    ::pthread_sigmask(SIG_BLOCK, &sinais, nullptr);
    std::thread(zenta::EncerraPorSinais, sinais, GetCurrentThreadId(), zenta::kGracaTerminoPadrao).detach();

    zenta::CZENTAModule modulo;
    modulo.DefineLinhaComando(zenta::LinhaComandoDe(argc, argv));
    return modulo.WinMain(SW_SHOWDEFAULT);
}
