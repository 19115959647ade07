// The profiler context: who a log or trace line is written for.
#pragma once

#include <string>

#include <zenta/QVUnknown.h>

namespace zenta {

// Company, user and session of the object a line is written for. The service
// object and every session-based object (CQVBaseParaRotinas) implement it.
struct IQVDF_Profiler {
    virtual std::string GetEmpresa() const = 0;
    virtual USHORT GetUsuario() const = 0;
    virtual ULONG GetNumeroSessao() const = 0;

protected:
    ~IQVDF_Profiler() = default;
};

// What the error log and the trace scopes take: the context and, when the
// caller keeps one, its stored initialisation record (its identity columns
// are written only when that record carries the control byte 'B').
struct CQVContextoProfiler {
    const IQVDF_Profiler* pProfiler = nullptr;
    const _REG_DF_INICIALIZAPS* pInicializacao = nullptr;
};

// The context of code that runs outside any session object: the access
// layer's process-wide default access, or an empty context when there is none.
// Session objects declare a member of the same name, so QV_CHECK inside their
// members picks their own context.
CQVContextoProfiler QVProfilerDoEscopo();

}  // namespace zenta
