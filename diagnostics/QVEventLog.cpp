#include "diagnostics/QVEventLog.h"

#include <syslog.h>

#include <cstdio>

#include "diagnostics/QVNomesHresult.h"
#include "diagnostics/QVTrataErro.h"

namespace zenta {

std::string TextoGuid(REFGUID guid) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), static_cast<unsigned>(guid.Data2),
                  static_cast<unsigned>(guid.Data3), guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                  guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return buffer;
}

std::string TextoEventLog(REFCLSID clsid, HRESULT hr, std::string_view programa) {
    const std::string textoSistema(TextoSistemaHresult(hr).substr(0, 255));
    const std::string textoPrograma(programa.substr(0, 4096));
    const std::string textoClsid = TextoGuid(clsid);
    char buffer[4600];
    const int n = std::snprintf(buffer, sizeof buffer, "\nHR: 0x%X (%s)\nCLSID: %s\nPrograma: %s\n",
                                static_cast<unsigned>(hr), textoSistema.c_str(), textoClsid.c_str(),
                                textoPrograma.c_str());
    if (n < 0) return {};
    return std::string(buffer, static_cast<std::size_t>(n) < sizeof buffer ? static_cast<std::size_t>(n)
                                                                             : sizeof buffer - 1);
}

int PrioridadeEventLog(WORD tipoEvento) {
    switch (tipoEvento) {
        case EVENTLOG_ERROR_TYPE: return LOG_ERR;
        case EVENTLOG_WARNING_TYPE:
        case EVENTLOG_AUDIT_FAILURE: return LOG_WARNING;
        default: return LOG_INFO;
    }
}

void QVGravaEventLog(REFCLSID clsid, HRESULT hr, WORD tipoEvento, std::string_view texto) {
    try {
        const std::string detalhe = zenta::TextoEventLog(clsid, hr, zenta::NomeArquivoPrograma());
        const std::string mensagem(texto.substr(0, 8192));
        // Register the source, report, deregister.
        openlog("QV Sistemas", LOG_PID, LOG_USER);
        syslog(zenta::PrioridadeEventLog(tipoEvento), "[0x%08X] %s%s", static_cast<unsigned>(hr), mensagem.c_str(),
               detalhe.c_str());
        closelog();
    } catch (...) {
        // The event log never disturbs the operation it reports on.
    }
}

}  // namespace zenta
