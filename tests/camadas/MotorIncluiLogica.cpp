// Compiled with the engine's include root, this must not build: the engine
// sits below the logic and cannot see its headers.
#include "logic/BaseManutencaoPreventiva.h"
