// Includes the engine's public declarations with the visibility that exports them
// from the shared library; on Windows the module definition file names the exports.
#pragma once

#include <windows.h>

#if !defined(_WIN32)
#pragma GCC visibility push(default)
#endif
#include "engine/engine_api.h"
#include "cvlpage/diagnostics.h"
#if !defined(_WIN32)
#pragma GCC visibility pop
#endif
