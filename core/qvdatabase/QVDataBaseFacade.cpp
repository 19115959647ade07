#include "core/qvdatabase/QVDataBaseFacade.h"

namespace zenta {

std::mutex& TravaFacadeBaseDados() {
    static std::mutex trava;
    return trava;
}

}  // namespace zenta
