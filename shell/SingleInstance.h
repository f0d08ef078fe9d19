// Only one copy of the program runs at a time: the running copy holds the named
// mutex "tomarin" until its process ends.
#pragma once

#include <windows.h>

// Returns true when this copy may run; it then owns the mutex for the rest of the
// process's life (the handle is never closed; the system releases it at exit).
// Returns false when another copy runs, holding no handle to the mutex.
bool AcquireSingleInstance();

// The warning shown to a refused copy; returns once the user dismisses it.
void ShowAlreadyRunningWarning();
