// The event-log report's text.

#include <zenta/Unknwn.h>

#include "diagnostics/QVCodigosErro.h"
#include "diagnostics/QVEventLog.h"

using namespace zenta;

TEST(EventLog, TextNamesResultClassAndProgram) {
    EXPECT_EQ(TextoEventLog(IID_IClassFactory, static_cast<HRESULT>(0x800706BAu), "/opt/zenta/bin/servidor"),
              "\nHR: 0x800706BA (RPC_S_SERVER_UNAVAILABLE)\nCLSID: {00000001-0000-0000-C000-000000000046}\n"
              "Programa: /opt/zenta/bin/servidor\n");
    EXPECT_EQ(TextoEventLog(IID_IUnknown, static_cast<HRESULT>(0x81080001u), ""),
              "\nHR: 0x81080001 ()\nCLSID: {00000000-0000-0000-C000-000000000046}\nPrograma: \n");
    // Reporting never fails, with or without a system log to receive it.
    QVGravaEventLog(IID_IUnknown, E_QVCR_CHAMADA_DCOM_NAO_PERMITIDA, EVENTLOG_INFORMATION_TYPE, "teste do registro");
}
