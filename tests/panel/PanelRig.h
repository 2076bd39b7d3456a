#pragma once
// One running copy of the panel with fake ports, on a desktop that may hold
// other copies.
#include <gtest/gtest.h>

#include "link/LinkBroadcast.h"
#include "panel/Panel.h"
#include "panel/LinkFollower.h"
#include "res/resource.h"
#include "tests/fakes/FakeNdiRuntime.h"
#include "tests/fakes/FakePanelWindow.h"
#include "tests/fakes/FakePorts.h"
#include "tests/fakes/LinkBus.h"
#include "tests/fakes/OutputRig.h"

namespace cuewire::testing {

struct PanelCopy {
    PanelCopy(SharedDesktop& desktop, FakeNdiRuntime& runtime, uint32_t processId)
        : desktop(desktop),
          bus(desktop),
          linkBroadcast(bus),
          linkFollower(linkBroadcast),
          outputRig({runtime, frameBuffers, canvas, pictures, &wait, &linkFollower, &preview,
                     &surfaceBlocks}),
          output(outputRig.output),
          numberClaims(desktop.claims, desktop.session),
          panel(PanelPorts{window, window, window, window, window, bus, numberClaims, output}) {
        window.processId = processId;
        window.onEditChanged = [this] { panel.OnTextChanged(); };
        pictures.Add(IDB_SPLASH, 720, 276, 32, 0x80ffffff);
        pictures.Add(IDB_BACKGROUND, 480, 270, 32, 0x00102030);
        receiver = desktop.Join(
            [this](uint64_t code, int64_t value) { panel.OnLinkMessage(code, value); });
    }
    ~PanelCopy() { desktop.Leave(receiver); }

    void Start() {
        ASSERT_TRUE(panel.OnInitDialog());
        desktop.Pump();
    }
    // A platform timer fires only while it runs.
    void Fire(int id) {
        ASSERT_TRUE(window.TimerRunning(id)) << "timer " << id << " is not running";
        panel.OnTimer(id);
        desktop.Pump();
    }
    void StartAndNumber() {
        Start();
        Fire(kTimerNumbering);
    }
    void StartAndRun() {
        StartAndNumber();
        Fire(kTimerStartupEnd);
    }
    bool Key(int virtualKey, bool shift = false, bool rightAlt = false,
             KeyMessage message = KeyMessage::kKeyDown) {
        const bool taken = panel.PreTranslateKey(message, virtualKey, {shift, rightAlt});
        desktop.Pump();
        return taken;
    }
    uint32_t OutputPixel(int x, int y) { return outputRig.Pixel(x, y); }

    SharedDesktop& desktop;
    SharedDesktop::Bus bus;
    CLinkBroadcast linkBroadcast;
    CLinkFollower linkFollower;  // the text link follows the output
    FakePanelWindow window;
    CountingFrameBuffers frameBuffers;
    CountingFrameBuffers surfaceBlocks;
    BlockTextCanvas canvas;
    MemoryPictures pictures;
    RecordingWait wait;
    RecordingPreviewWindow preview;
    COutputRig outputRig;
    COutput& output;
    TableClaims numberClaims;
    CPanel panel;
    int receiver = -1;
};

}  // namespace cuewire::testing
