#pragma once

// windows.h for the windows' code. Its MessageBox macro would rename the runtime's MessageBox
// class wherever both are seen, so the macro goes; the code calls MessageBoxW by its own name.
#include <windows.h>

#undef MessageBox
