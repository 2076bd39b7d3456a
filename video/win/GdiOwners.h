#pragma once
// The GDI owners now live in the Win32 layer; this path stays for the text canvas and its tests.
#include "win32/GdiOwners.h"
