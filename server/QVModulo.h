// The server module's lock count: one lock for every live service object and
// one for every class-factory LockServer(TRUE) not yet undone. The server
// process ends itself some time after the count has dropped to zero; its
// module learns of that through the release hook. Used in-process (no
// executable around it) the count is kept all the same and no hook is set.
#pragma once

#include <atomic>
#include <mutex>

#include <zenta/WinTypes.h>

namespace zenta {

class QVModulo {
public:
    // Called when a release brings the count to zero, on the releasing
    // thread, while the hook cannot be changed (it must not call back into
    // DefineAoLiberarUltima).
    using AoLiberarUltimaFn = void (*)(void* contexto);

    static QVModulo& Instancia();

    // Adds a lock; returns the new count.
    LONG Trava() { return m_lTravas.fetch_add(1, std::memory_order_acq_rel) + 1; }

    // Removes a lock. A release without a lock to undo (an unbalanced
    // LockServer(FALSE)) changes nothing and answers false: letting the
    // count go negative would end the process while objects live, or keep
    // it alive for ever.
    bool Destrava() {
        LONG atual = m_lTravas.load(std::memory_order_acquire);
        do {
            if (atual <= 0) return false;
        } while (!m_lTravas.compare_exchange_weak(atual, atual - 1, std::memory_order_acq_rel,
                                                  std::memory_order_acquire));
        if (atual == 1) {
            std::lock_guard lock(m_travaGancho);
            if (m_pfnAoLiberar != nullptr) m_pfnAoLiberar(m_pContexto);
        }
        return true;
    }

    LONG Travas() const { return m_lTravas.load(std::memory_order_acquire); }

    // Whether the module runs as the local server (its shutdown monitor set the hook).
    bool EhServidorLocal() {
        std::lock_guard lock(m_travaGancho);
        return m_pfnAoLiberar != nullptr;
    }

    // Installs the hook (null: none). Once this returns, the previous hook is
    // not running and will not be called again.
    void DefineAoLiberarUltima(AoLiberarUltimaFn funcao, void* contexto) {
        std::lock_guard lock(m_travaGancho);
        m_pfnAoLiberar = funcao;
        m_pContexto = contexto;
    }

private:
    std::atomic<LONG> m_lTravas{0};
    std::mutex m_travaGancho;
    AoLiberarUltimaFn m_pfnAoLiberar = nullptr;
    void* m_pContexto = nullptr;
};

}  // namespace zenta
