#pragma once
#include <windows.h>

#include "video/PixelBlockAllocator.h"

namespace cuewire {

// The application: wires the Win32 adapters to the panel and runs the panel
// modally. When the panel ends, the application ends with it.
class CCuewireApp {
  public:
    // `linkMessage` was registered before anything else ran; `frameBuffers`
    // outlives the application.
    CCuewireApp(HINSTANCE instance, UINT linkMessage, IPixelBlockAllocator& frameBuffers)
        : m_hInstance(instance), m_nLinkMessage(linkMessage), m_frameBuffers(frameBuffers) {}

    // Returns the process's exit code.
    int Run();

  private:
    HINSTANCE m_hInstance;  // not owned
    UINT m_nLinkMessage;
    IPixelBlockAllocator& m_frameBuffers;  // not owned
};

}  // namespace cuewire
