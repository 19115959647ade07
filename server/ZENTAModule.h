// The module of the zenta executable: the local server of
// CQVGE_ManutencaoPreventiva.
#pragma once

#include "server/QVExeModule.h"

namespace zenta {

class CZENTAModule : public CQVExeModuleT<CZENTAModule> {
public:
    // Offers the class object of CQVGE_ManutencaoPreventiva (the only class
    // of the server). A failure to note it marks the module failed.
    CZENTAModule();
};

extern template class CAtlExeModuleT<CZENTAModule>;
extern template class CQVExeModuleT<CZENTAModule>;

}  // namespace zenta
