#pragma once
// The guard's portable half now lives with the Win32 layer.
#include "win32/HandlerBarrier.h"
