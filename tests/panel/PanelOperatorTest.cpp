#include <gtest/gtest.h>

#include "link/LinkCodes.h"
#include "panel/Text.h"
#include "panel/VideoModes.h"
#include "video/PixelFormat.h"
#include "tests/panel/PanelRig.h"

namespace cuewire {
namespace {

using namespace cuewire::testing;

constexpr int kBoxCentreX = 640, kBoxCentreY = 611;  // inside the drawn line at 1280 x 720

class PanelOperatorTest : public ::testing::Test {
  protected:
    void SetUp() override { copy.StartAndRun(); }

    bool TextShown() { return copy.OutputPixel(91, 552) == kTextBoxBlack; }
    std::vector<LinkMessage> LinkTraffic() {
        std::vector<LinkMessage> traffic;
        for (const LinkMessage& m : desktop.log) {
            if (m.code >= 8) {
                traffic.push_back(m);
            }
        }
        return traffic;
    }

    SharedDesktop desktop;
    FakeNdiRuntime runtime;
    PanelCopy copy{desktop, runtime, 1};
};

TEST_F(PanelOperatorTest, TheSameTextTakesItselfOffAndComesBack) {
    copy.window.Type(IDC_SLOT_EDIT_FIRST, u"Word");
    for (bool expected : {true, false, true}) {
        EXPECT_TRUE(copy.Key(kVirtualKeyF3));
        EXPECT_EQ(TextShown(), expected);
    }
    copy.window.Type(IDC_SLOT_EDIT_FIRST + 1, u"Other");
    copy.panel.OnSlotKeyClicked(1);  // a new text replaces the shown one
    EXPECT_TRUE(TextShown());
    EXPECT_EQ(copy.canvas.texts.back(), u"Other");
    copy.panel.OnSlotKeyClicked(5);  // an empty slot takes any text off
    EXPECT_FALSE(TextShown());
}

TEST_F(PanelOperatorTest, CopyModeAppendsWithALeadingSpaceAndReturnPutsItLive) {
    copy.window.Type(IDC_SLOT_EDIT_FIRST, u"A");
    copy.panel.ToggleSlotMode(0);
    EXPECT_EQ(copy.window.slotCaptions[0], u"Copy");
    EXPECT_EQ(copy.window.slotStates[0], kSlotCopy);
    copy.Key(kVirtualKeyF3);
    copy.Key(kVirtualKeyF3);
    EXPECT_EQ(copy.window.controls.m_strEntry, u" A A");
    EXPECT_FALSE(TextShown()) << "copying shows nothing";
    EXPECT_TRUE(copy.Key(kVirtualKeyReturn));
    EXPECT_EQ(copy.canvas.texts.back(), u" A A") << "drawn with its leading space";
    EXPECT_EQ(copy.panel.Live(), u" A A");

    copy.window.Type(IDC_SLOT_EDIT_FIRST + 3, u"typing");
    EXPECT_EQ(copy.panel.Live(), u"A A") << "any typing trims the live text";
    EXPECT_EQ(copy.canvas.texts.back(), u" A A") << "the output keeps what it drew";
    copy.panel.OnVideoModeClicked();
    EXPECT_EQ(copy.canvas.texts.back(), u"A A") << "redrawn without the space";

    copy.panel.ToggleSlotMode(0);
    EXPECT_EQ(copy.window.slotCaptions[0], u"Go Live");
}

TEST_F(PanelOperatorTest, ShiftClearsASlotAndTheOutputKeepsItsText) {
    copy.window.Type(IDC_SLOT_EDIT_FIRST + 1, u"Keep");
    copy.Key(0x73);
    copy.Key(0x73, /*shift=*/true);
    EXPECT_EQ(copy.window.controls.m_strSlot[1], u"");
    EXPECT_TRUE(TextShown());
}

TEST_F(PanelOperatorTest, EscapeClearsTheOutputAndEntryAndReturnAfterItShowsNothing) {
    copy.window.Type(IDC_ENTRY, u"On air");
    copy.Key(kVirtualKeyReturn);
    EXPECT_TRUE(TextShown());
    EXPECT_TRUE(copy.Key(kVirtualKeyEscape));
    EXPECT_FALSE(TextShown());
    EXPECT_EQ(copy.window.controls.m_strEntry, u"");
    EXPECT_EQ(copy.panel.Live(), u"");
    EXPECT_EQ(copy.panel.PreviousLive(), u"On air");
    copy.Key(kVirtualKeyReturn);
    EXPECT_FALSE(TextShown());
}

TEST_F(PanelOperatorTest, AltKeysToggleSlotsAndNeverReachTheCloseHandling) {
    copy.window.Type(IDC_SLOT_EDIT_FIRST + 7, u"Seven");
    EXPECT_TRUE(copy.Key(0x73, false, false, KeyMessage::kSysKeyDown));  // Alt+F4
    EXPECT_EQ(copy.window.slotStates[1], kSlotCopy);
    EXPECT_EQ(copy.window.endResult, -1);
    EXPECT_TRUE(copy.Key(kVirtualKeyF10, false, false, KeyMessage::kSysKeyDown));  // left Alt+F10
    EXPECT_TRUE(TextShown());
    EXPECT_TRUE(copy.Key(kVirtualKeyF10, false, true, KeyMessage::kSysKeyDown));  // right Alt+F10
    EXPECT_EQ(copy.window.slotCaptions[7], u"Copy");
}

TEST_F(PanelOperatorTest, HeldCopyKeyAppendsOncePerRepeatInOrder) {
    copy.window.Type(IDC_SLOT_EDIT_FIRST + 2, u"xy");
    copy.panel.ToggleSlotMode(2);
    for (int repeat = 0; repeat < 90; ++repeat) {
        copy.Key(0x74);
    }
    std::u16string expected;
    for (int repeat = 0; repeat < 90; ++repeat) {
        expected += u" xy";
    }
    EXPECT_EQ(copy.window.controls.m_strEntry, expected);
    EXPECT_FALSE(TextShown());
}

TEST_F(PanelOperatorTest, AnEntryLineGrownPast20000UnitsGoesLiveWholeAndOverTheLink) {
    copy.window.controls.m_bLink = true;
    copy.panel.OnLinkTickClicked();
    copy.window.Type(IDC_SLOT_EDIT_FIRST, std::u16string(200, u'z'));
    copy.panel.ToggleSlotMode(0);
    for (int press = 0; press < 100; ++press) {
        copy.Key(kVirtualKeyF3);
    }
    ASSERT_EQ(copy.window.controls.m_strEntry.size(), 20100u);
    desktop.log.clear();
    copy.Key(kVirtualKeyReturn);
    EXPECT_EQ(copy.canvas.texts.back().size(), 20100u);
    EXPECT_TRUE(TextShown());
    EXPECT_EQ(LinkTraffic().size(), 20102u);
    EXPECT_EQ(LinkTraffic().back(), (LinkMessage{10, kLinkMarker}));
}

TEST_F(PanelOperatorTest, ModeChangeRedrawsTheShownTextAtTheNewSizeAndSendsTheLinkAgain) {
    copy.window.controls.m_bLink = true;
    copy.window.Type(IDC_SLOT_EDIT_FIRST, u"Hi");
    copy.Key(kVirtualKeyF3);
    desktop.log.clear();

    copy.window.controls.m_nResolution = 1;
    copy.window.controls.m_nRate = 1;
    copy.panel.OnVideoModeClicked();
    EXPECT_EQ(copy.window.controlTexts[IDC_MODE_LABEL], u"1920 x 1080 - 29.97 fps");
    EXPECT_EQ(copy.canvas.cellHeights.back(), 126);
    EXPECT_EQ(copy.OutputPixel(137, 828), kTextBoxBlack);
    EXPECT_EQ(runtime.lastSentFrame.xres, 1920);
    EXPECT_EQ(runtime.lastSentFrame.frame_rate_D, 1001);
    const std::vector<std::string> names = runtime.FunctionNames();
    EXPECT_EQ(std::vector<std::string>(names.end() - 4, names.end()),
              (std::vector<std::string>{"send_destroy", "send_create",
                                        "send_add_connection_metadata", "send_video"}))
        << "the source leaves, the frame is composed, the source comes back and gets it";
    EXPECT_EQ(runtime.calls[runtime.calls.size() - 3].senderName, "Bryvo Cuewire 1");
    EXPECT_EQ(LinkTraffic(),
              (std::vector<LinkMessage>{{8, kLinkMarker}, {9, 'H'}, {9, 'i'}, {10, kLinkMarker}}));
    // The 1080-line frame as it went out, at half size.
    EXPECT_EQ(copy.preview.lastDescription.width, 960) << "the sent frame reaches the preview";
    EXPECT_EQ(copy.preview.lastDescription.height, -540);
    const auto* shown = reinterpret_cast<const uint32_t*>(copy.preview.lastBits);
    EXPECT_EQ(shown[(828 / 2) * 960 + 137 / 2 + 1], kTextBoxBlack);
}

TEST_F(PanelOperatorTest, ChoosingTheCheckedRadioAgainAppliesTheModeAgain) {
    const int creates = runtime.Count("send_create");
    const int destroys = runtime.Count("send_destroy");
    copy.panel.OnVideoModeClicked();
    copy.panel.OnVideoModeClicked();
    EXPECT_EQ(runtime.Count("send_create"), creates + 2);
    EXPECT_EQ(runtime.Count("send_destroy"), destroys + 2);
    EXPECT_EQ(runtime.liveSenders, 1);
}

TEST_F(PanelOperatorTest, AlphaOffSendsBgrxAndLinkOptionChangesNoPixel) {
    copy.window.controls.m_bAlpha = false;
    copy.panel.OnVideoModeClicked();
    EXPECT_EQ(runtime.lastSentFrame.FourCC, kFourCcBgrx);
    const int sends = runtime.sendsWithFrame;
    copy.window.controls.m_bLink = true;
    copy.panel.OnLinkTickClicked();
    EXPECT_TRUE(copy.panel.LinkTicked());
    EXPECT_EQ(runtime.sendsWithFrame, sends);
}

TEST_F(PanelOperatorTest, LinkCarriesEachCompositionOnlyFromTheFirstCopy) {
    copy.window.controls.m_bLink = true;
    copy.panel.OnLinkTickClicked();
    copy.window.Type(IDC_SLOT_EDIT_FIRST, u"Hi");
    desktop.log.clear();
    copy.Key(kVirtualKeyF3);
    copy.Key(kVirtualKeyF3);
    copy.Key(kVirtualKeyF3);
    copy.Key(kVirtualKeyEscape);
    EXPECT_EQ(LinkTraffic(), (std::vector<LinkMessage>{{8, kLinkMarker},
                                                       {9, 'H'},
                                                       {9, 'i'},
                                                       {10, kLinkMarker},
                                                       {11, 0},
                                                       {8, kLinkMarker},
                                                       {9, 'H'},
                                                       {9, 'i'},
                                                       {10, kLinkMarker},
                                                       {11, 0}}));

    PanelCopy second(desktop, runtime, 2);
    second.StartAndRun();
    ASSERT_EQ(second.panel.Instance(), 1);
    second.window.controls.m_bLink = true;
    second.panel.OnLinkTickClicked();
    second.window.Type(IDC_ENTRY, u"Quiet");
    desktop.log.clear();
    second.Key(kVirtualKeyReturn);
    second.Key(kVirtualKeyEscape);
    EXPECT_TRUE(LinkTraffic().empty());
}

TEST_F(PanelOperatorTest, SystemMenuCommandsAndWebLinks) {
    // Through the same table as the window's menu.
    const auto menu = [this](int command) {
        return copy.panel.OnSystemCommand(SystemCommandFor(command));
    };
    menu(IDM_ALWAYS_ON_TOP);
    EXPECT_FALSE(copy.window.menuChecks[IDM_ALWAYS_ON_TOP]);
    EXPECT_FALSE(copy.window.topmost);
    menu(IDM_ALWAYS_ON_TOP | 0x3);  // the low four bits are the platform's
    EXPECT_TRUE(copy.window.menuChecks[IDM_ALWAYS_ON_TOP]);
    EXPECT_TRUE(copy.window.topmost);

    EXPECT_TRUE(menu(IDM_ABOUTBOX));
    EXPECT_EQ(copy.window.aboutVersions, std::vector<std::u16string>{u"1.0.0.6"});
    EXPECT_FALSE(menu(0xF010)) << "move and the platform's other commands go to the platform";

    menu(IDM_ONLINE_HELP);
    // One F1 press: the key-down goes on to the dialog, the notice opens help.
    EXPECT_FALSE(copy.Key(kVirtualKeyF1));
    EXPECT_EQ(copy.window.pages.size(), 1u) << "the F1 key-down opens nothing";
    EXPECT_TRUE(copy.Key(kVirtualKeyF1, false, false, KeyMessage::kHelpNotice));
    for (int id : {IDC_LINK_MAKER, IDC_LINK_NDI, IDC_LINK_SOCIAL, IDC_LINK_VIDEO}) {
        const ControlClick click = ClickOn(id);
        ASSERT_EQ(click.event, ControlEvent::kWebLink) << id;
        copy.panel.OnWebLinkClicked(click.page);
    }
    EXPECT_EQ(
        copy.window.pages,
        (std::vector<WebPage>{WebPage::kHelp, WebPage::kHelp, WebPage::kMakerSite,
                              WebPage::kNdiSite, WebPage::kMakerSocial, WebPage::kMakerVideo}));
}

TEST_F(PanelOperatorTest, ACloseFromTheSystemIsExitWithItsQuestion) {
    // As End task sends it: SC_CLOSE, whose low four bits are the platform's.
    const auto close = [this] {
        return copy.panel.OnSystemCommand(SystemCommandFor(0xF060 | 0x2));
    };
    copy.window.answers = {MessageBoxAnswer::kCancel, MessageBoxAnswer::kOk};
    runtime.calls.clear();
    EXPECT_TRUE(close()) << "no default processing: it would close nothing or kill";
    EXPECT_EQ(copy.window.messages.back(), u"OK to exit?|Quit Cuewire");
    EXPECT_EQ(copy.window.endResult, -1) << "declined, the panel stays";
    copy.panel.OnTimer(kTimerResend);
    EXPECT_EQ(runtime.FunctionNames(), std::vector<std::string>{"send_video"});
    EXPECT_TRUE(close());
    EXPECT_EQ(copy.window.endResult, CPanel::kEndResultCancel);
    EXPECT_EQ(runtime.FunctionNames(), (std::vector<std::string>{"send_video", "send_video(null)",
                                                                 "send_destroy", "destroy"}));
}

TEST_F(PanelOperatorTest, UnusualTextsReachTheCanvasWhole) {
    struct Case {
        std::u16string typed, drawn;
    };
    const Case cases[] = {
        {u"x", u"x"},
        {std::u16string(37, u'm'), std::u16string(37, u'm')},
        {std::u16string(10000, u'w'), std::u16string(10000, u'w')},
        {u"\U0001F3AC cue", u"\U0001F3AC cue"},
        {u"e\u0301\u0301", u"e\u0301\u0301"},
        {u"\u05E9\u05DC\u05D5\u05DD", u"\u05E9\u05DC\u05D5\u05DD"},
        // Control characters have no glyph: each is drawn as a space.
        {u"tab\there\x01\x7f", u"tab here  "},
    };
    for (const Case& c : cases) {
        copy.window.Type(IDC_ENTRY, c.typed);
        copy.Key(kVirtualKeyReturn);
        EXPECT_EQ(copy.canvas.texts.back(), c.drawn);
        EXPECT_TRUE(TextShown());
        copy.Key(kVirtualKeyEscape);
    }
}

TEST(PanelText, TrimAndModeLabel) {
    struct Case {
        std::u16string in, out;
    } cases[] = {
        {u"  a b  ", u"a b"}, {u"\t\r\n", u""}, {u"\u00A0x\u3000", u"x"}, {u"", u""}, {u"x", u"x"}};
    for (Case c : cases) {
        TrimWhiteSpace(c.in);
        EXPECT_EQ(c.in, c.out);
    }
    EXPECT_EQ(ModeLabel(1280, 720, 30000, 1200), u"1280 x 720 - 25.00 fps");
    EXPECT_EQ(ModeLabel(1920, 1080, 30000, 1001), u"1920 x 1080 - 29.97 fps");
    EXPECT_EQ(ModeLabel(1920, 1080, 30000, 1000), u"1920 x 1080 - 30.00 fps");
}

}  // namespace
}  // namespace cuewire
