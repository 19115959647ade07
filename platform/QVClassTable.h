// The in-process class table behind CoCreateInstance: a server library
// registers the class objects it serves when it is loaded.
#pragma once

#include <zenta/Unknwn.h>

namespace zenta {

// Makes `fabrica` the class object of `clsid` for in-process activation. The
// table keeps a reference. Registering a class again replaces the old entry.
HRESULT RegistraClasseInproc(REFCLSID clsid, IClassFactory* fabrica);

// Removes the class; later creations answer REGDB_E_CLASSNOTREG.
void RemoveClasseInproc(REFCLSID clsid);

// Whether the calling thread may make COM calls: it entered an apartment, or
// some thread of the process entered the multithreaded one.
bool ComDisponivel();

}  // namespace zenta
