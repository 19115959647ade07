#include "server/ZENTAModule.h"

#include <zenta/IQVGE_ManutencaoPreventiva.h>

namespace zenta {

CZENTAModule::CZENTAModule() { AdicionaClasse(CLSID_QVGE_ManutencaoPreventiva); }

// Every step of the run, instantiated once here for the executable.
template class CAtlExeModuleT<CZENTAModule>;
template class CQVExeModuleT<CZENTAModule>;

}  // namespace zenta
