// The server module's counts: live service objects and class-factory locks.
// The server process ends itself some time after both have dropped to zero.
#pragma once

#include <atomic>

#include <zenta/WinTypes.h>

namespace zenta {

class QVModulo {
public:
    static QVModulo& Instancia();

    void IncrementaObjetos() { m_lObjetos.fetch_add(1, std::memory_order_relaxed); }
    void DecrementaObjetos() { m_lObjetos.fetch_sub(1, std::memory_order_acq_rel); }
    void Trava() { m_lTravas.fetch_add(1, std::memory_order_relaxed); }
    void Destrava() { m_lTravas.fetch_sub(1, std::memory_order_acq_rel); }

    LONG Objetos() const { return m_lObjetos.load(std::memory_order_acquire); }
    LONG Travas() const { return m_lTravas.load(std::memory_order_acquire); }

private:
    std::atomic<LONG> m_lObjetos{0};
    std::atomic<LONG> m_lTravas{0};
};

}  // namespace zenta
