#pragma once

namespace cuewire {

// Makes every later load by name search the system's folders only, never the
// current folder or PATH, where another program may have left a file. Run it
// first thing at start, before anything can load a library.
void RestrictDllSearchToSystem();

}  // namespace cuewire
