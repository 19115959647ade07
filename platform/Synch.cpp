#include "platform/Synch.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct Evento {
    std::mutex trava;
    std::condition_variable sinal;
    bool manual = false;
    bool sinalizado = false;
};

struct TabelaHandles {
    std::mutex trava;
    std::map<std::uintptr_t, std::shared_ptr<Evento>> eventos;
    // Starts above zero so that no handle is null; never wraps in practice
    // (64-bit) and, if it did, a number in use is skipped.
    std::uintptr_t proximo = 1;
};

TabelaHandles& Tabela() {
    static TabelaHandles tabela;
    return tabela;
}

std::shared_ptr<Evento> EventoDe(HANDLE h) {
    const auto chave = reinterpret_cast<std::uintptr_t>(h);
    auto& tabela = Tabela();
    std::lock_guard lock(tabela.trava);
    const auto it = tabela.eventos.find(chave);
    return it == tabela.eventos.end() ? nullptr : it->second;
}

}  // namespace

HANDLE CreateEventA(void* lpEventAttributes, BOOL bManualReset, BOOL bInitialState, const char* lpName) {
    if (lpEventAttributes != nullptr || (lpName != nullptr && lpName[0] != '\0')) return nullptr;
    try {
        auto evento = std::make_shared<Evento>();
        evento->manual = bManualReset != FALSE;
        evento->sinalizado = bInitialState != FALSE;
        auto& tabela = Tabela();
        std::lock_guard lock(tabela.trava);
        std::uintptr_t chave = tabela.proximo;
        while (chave == 0 || tabela.eventos.count(chave) != 0) ++chave;
        tabela.proximo = chave + 1;
        tabela.eventos.emplace(chave, std::move(evento));
        return reinterpret_cast<HANDLE>(chave);
    } catch (...) {
        return nullptr;
    }
}

BOOL SetEvent(HANDLE hEvent) {
    const auto evento = EventoDe(hEvent);
    if (!evento) return FALSE;
    {
        std::lock_guard lock(evento->trava);
        evento->sinalizado = true;
    }
    if (evento->manual) evento->sinal.notify_all();
    else evento->sinal.notify_one();
    return TRUE;
}

BOOL ResetEvent(HANDLE hEvent) {
    const auto evento = EventoDe(hEvent);
    if (!evento) return FALSE;
    std::lock_guard lock(evento->trava);
    evento->sinalizado = false;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    const auto evento = EventoDe(hHandle);
    if (!evento) return WAIT_FAILED;
    std::unique_lock lock(evento->trava);
    const auto sinalizado = [&evento] { return evento->sinalizado; };
    if (dwMilliseconds == INFINITE) {
        evento->sinal.wait(lock, sinalizado);
    } else if (!evento->sinal.wait_for(lock, std::chrono::milliseconds(dwMilliseconds), sinalizado)) {
        return WAIT_TIMEOUT;
    }
    if (!evento->manual) evento->sinalizado = false;
    return WAIT_OBJECT_0;
}

BOOL CloseHandle(HANDLE hObject) {
    std::shared_ptr<Evento> evento;  // released outside the table's lock
    const auto chave = reinterpret_cast<std::uintptr_t>(hObject);
    auto& tabela = Tabela();
    std::lock_guard lock(tabela.trava);
    const auto it = tabela.eventos.find(chave);
    if (it == tabela.eventos.end()) return FALSE;
    evento = std::move(it->second);
    tabela.eventos.erase(it);
    return TRUE;
}
