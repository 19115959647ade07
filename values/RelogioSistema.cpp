#include "values/RelogioSistema.h"

#include <ctime>
#include <memory>
#include <mutex>

namespace zenta {
namespace {

std::mutex g_mutex;
// Shared so that a caller can run the clock outside the lock while a test
// swaps it.
std::shared_ptr<const RelogioSistema::Fonte> g_fonte;

RelogioSistema::Instante RelogioLocal() {
    const std::time_t agora = std::time(nullptr);
    std::tm partes{};
    if (localtime_r(&agora, &partes) == nullptr) return {};
    return {partes.tm_year + 1900, partes.tm_mon + 1, partes.tm_mday, partes.tm_hour, partes.tm_min,
            // A leap second is reported as second 60; the time types stop at 59.
            partes.tm_sec > 59 ? 59 : partes.tm_sec};
}

}  // namespace

RelogioSistema::Instante RelogioSistema::Agora() {
    std::shared_ptr<const Fonte> fonte;
    {
        std::lock_guard<std::mutex> trava(g_mutex);
        fonte = g_fonte;
    }
    return fonte ? (*fonte)() : RelogioLocal();
}

void RelogioSistema::DefineFonte(Fonte fonte) {
    auto nova = fonte ? std::make_shared<const Fonte>(std::move(fonte)) : nullptr;
    std::lock_guard<std::mutex> trava(g_mutex);
    g_fonte = std::move(nova);
}

void RelogioSistema::DefineInstanteFixo(const Instante& instante) {
    DefineFonte([instante] { return instante; });
}

}  // namespace zenta
