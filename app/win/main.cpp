#include <windows.h>

#include "app/win/CuewireApp.h"
#include "app/win/DllSearch.h"
#include "link/LinkCodes.h"
#include "video/win/VirtualPixelBlockAllocator.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    // Before anything loads a library by name.
    cuewire::RestrictDllSearchToSystem();
    // The link's message number next: other copies may already be asking.
    const UINT linkMessage =
        RegisterWindowMessageW(reinterpret_cast<const wchar_t*>(cuewire::kLinkMessageName));
    cuewire::CVirtualPixelBlockAllocator frameBuffers;
    cuewire::CCuewireApp app(instance, linkMessage, frameBuffers);
    return app.Run();
}
