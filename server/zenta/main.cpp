// zenta: the local server of the preventive-maintenance service. Started by
// a client's activation (or by hand, or by a service manager) it serves until
// it has been idle for the idle time-out; with -RegServer, -UnregServer,
// -RegServerPerUser or -UnregServerPerUser (or '/' instead of '-') it writes
// or removes its registration and ends. The exit code is the run's HRESULT.
//
// SIGTERM, SIGINT and SIGHUP end the run as a quit message does: the class
// objects are revoked and the socket removed before the process exits.
#include <signal.h>

#include <chrono>
#include <thread>

#include "platform/WinUser.h"
#include "server/ZENTAModule.h"

namespace {

// Waits for a termination signal and posts the quit message to the main
// thread (retrying until its message queue exists).
void AguardaSinais(sigset_t sinais, DWORD threadPrincipal) {
    int sinal = 0;
    if (::sigwait(&sinais, &sinal) != 0) return;
    while (!PostThreadMessageA(threadPrincipal, WM_QUIT, 0, 0))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace

int main(int argc, char** argv) {
    // Blocked here, before any thread starts, so that every thread inherits
    // the mask and only the waiting thread receives them.
    sigset_t sinais;
    sigemptyset(&sinais);
    sigaddset(&sinais, SIGTERM);
    sigaddset(&sinais, SIGINT);
    sigaddset(&sinais, SIGHUP);
    ::pthread_sigmask(SIG_BLOCK, &sinais, nullptr);
    std::thread(AguardaSinais, sinais, GetCurrentThreadId()).detach();

    CZENTAModule modulo;
    modulo.DefineLinhaComando(zenta::LinhaComandoDe(argc, argv));
    return modulo.WinMain(SW_SHOWDEFAULT);
}
