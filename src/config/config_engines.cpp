#include "config/config_window.h"

// The link has no block engines yet: Read and Program then end like a
// missing unit instead of starting a thread that does nothing.
EngineProcedure configurationReadEngine() { return nullptr; }
EngineProcedure configurationWriteEngine() { return nullptr; }
