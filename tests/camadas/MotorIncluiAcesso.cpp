// Compiled with the engine's include root, this builds: the engine may use
// the session base below it. The counterpart of MotorIncluiLogica.cpp, so
// that its failure is known to come from the include alone.
#include "access/QVInicializador.h"
