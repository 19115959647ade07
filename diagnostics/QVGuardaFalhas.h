// The machine-fault guard of a call: runs a business operation so that a
// fault inside it becomes an HRESULT instead of ending the process. Until
// faults are caught, the operation simply runs; a caught fault fills the
// fault code and the stack text for the report.
#pragma once

#include <string>

#include <zenta/WinTypes.h>

#include "diagnostics/QVCodigosErro.h"

struct CQVFalhaCapturada {
    DWORD dwCodigo = 0;  // the Windows exception code of the fault
    std::string sPilha;  // the stack text, one frame a line
};

template <class Operacao>
HRESULT QVExecutaComGuarda(Operacao&& operacao, CQVFalhaCapturada& falha) {
    falha = {};
    return operacao();
}
