#include "platform/rpc/QVInterfaceRemota.h"

#include <mutex>
#include <vector>

namespace zenta::rpc {
namespace {

struct Entrada {
    IID iid;
    InterfaceRemota funcoes;
};

std::mutex& Trava() {
    static std::mutex trava;
    return trava;
}
// Entries are never removed, so a pointer handed out stays valid; a
// registration again for the same IID replaces the functions in place.
std::vector<std::unique_ptr<Entrada>>& Tabela() {
    static std::vector<std::unique_ptr<Entrada>> tabela;
    return tabela;
}

}  // namespace

void RegistraInterfaceRemota(REFIID iid, InterfaceRemota funcoes) {
    std::lock_guard lock(Trava());
    for (auto& e : Tabela()) {
        if (e->iid == iid) {
            e->funcoes = funcoes;
            return;
        }
    }
    Tabela().push_back(std::make_unique<Entrada>(Entrada{iid, funcoes}));
}

const InterfaceRemota* InterfaceRemotaDe(REFIID iid) {
    std::lock_guard lock(Trava());
    for (auto& e : Tabela())
        if (e->iid == iid) return &e->funcoes;
    return nullptr;
}

}  // namespace zenta::rpc
