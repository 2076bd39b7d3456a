#include "app/win/CuewireApp.h"

#include <commctrl.h>

#include "app/win/SleepWait.h"
#include "link/win/LinkTransferThread.h"
#include "link/win/MachineNumberClaims.h"
#include "link/win/RegisteredMessageBus.h"
#include "panel/Panel.h"
#include "panel/LinkFollower.h"
#include "panel/win/PanelDialog.h"
#include "video/Output.h"
#include "video/win/DWriteTextCanvas.h"
#include "video/win/NdiRuntimeLoader.h"
#include "video/win/ResourceBitmaps.h"
#include "video/win/PreviewWindow.h"
#include "video/win/VirtualPixelBlockAllocator.h"

namespace cuewire {

int CCuewireApp::Run() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    // Everything the panel reaches, declared before the panel so that it
    // outlives it. A runtime that fails to load leaves an incomplete table, and
    // the panel reports "Cannot run NDI." itself.
    CNdiRuntimeLoader runtime;
    runtime.Load();
    CDWriteTextCanvas canvas(m_hInstance);
    CResourceBitmaps pictures(m_hInstance);
    CRegisteredMessageBus bus(m_nLinkMessage);
    // Posts the text link so that a long transfer never holds the panel; its
    // end drops what has not been posted yet.
    CLinkTransferThread link(bus);
    CMachineNumberClaims numberClaims;  // released by the panel's exit
    CSleepWait wait;
    // The surfaces' and the preview's buffers, apart from the frame buffers.
    CVirtualPixelBlockAllocator pixelBlocks;
    CPreviewWindow preview;
    // The text link follows what the output shows.
    CLinkFollower linkFollower(link);
    COutput output(OutputDevices{runtime.Runtime(), m_frameBuffers, canvas, pictures, wait, preview,
                                 pixelBlocks},
                   linkFollower);
    CPanelDialog window(m_hInstance, m_nLinkMessage, preview);
    CPanel panel(PanelPorts{window, window, window, window, window, bus, numberClaims, output});

    window.Run(panel);
    return 0;
}

}  // namespace cuewire
