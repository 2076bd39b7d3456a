#include <windows.h>

#include "app/win/CuewireApp.h"
#include "link/LinkProtocol.h"
#include "video/win/VirtualFrameBufferAllocator.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    // The link's message number comes first: other copies may already be asking.
    const UINT linkMessage =
        RegisterWindowMessageW(reinterpret_cast<const wchar_t*>(cuewire::kLinkMessageName));
    cuewire::CVirtualFrameBufferAllocator frameBuffers;
    cuewire::CCuewireApp app(instance, linkMessage, frameBuffers);
    return app.Run();
}
