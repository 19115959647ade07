// The context every object of the engine works in: company, user and
// session (the company names the data directory and, with the others, is
// written into file headers and error-log lines), with the initialise and
// finalise chain files and containers extend. Nothing of the session's
// accessors: the session side builds the engine's objects with its context.
#pragma once

#include <string>

#include <zenta/WinTypes.h>

#include "access/QVInicializador.h"
#include "diagnostics/QVDF_Profiler.h"

namespace zenta {

class CQVContextoMotor : public CQVInicializador, public IQVDF_Profiler {
public:
    // IQVDF_Profiler: the context of the engine's log lines.
    std::string GetEmpresa() const override { return CQVInicializador::GetEmpresa(); }
    USHORT GetUsuario() const override { return CQVInicializador::GetUsuario(); }
    ULONG GetNumeroSessao() const override { return static_cast<ULONG>(CQVInicializador::GetNumeroSessao()); }
    // The context of the checked steps of the object's members.
    CQVContextoProfiler QVProfilerDoEscopo() const { return CQVContextoProfiler{this, nullptr}; }
};

}  // namespace zenta
