// The colour button and indicator where they run: drawn into memory or onto the
// screen of the test display, and read back pixel by pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "controls/win/ColButton.h"
#include "controls/win/ColStatic.h"
#include "panel/win/SlotColours.h"
#include "res/resource.h"
#include "win32/BitmapFormat.h"

namespace cuewire {
namespace {

// The first slot's mode button and key label, filled as the panel fills them.
constexpr int kButtonId = IDC_SLOT_MODE_1;
constexpr int kLabelId = IDC_SLOT_KEY_1;

// A parent window with one owner-drawn button and one notifying static, which
// records the notifications its children send.
class TestParent {
  public:
    TestParent() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"CuewireColourControlsTest";
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        RegisterClassW(&windowClass);
        m_hWnd = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"colour controls",
                                 WS_POPUP | WS_VISIBLE, 40, 40, 300, 120, nullptr, nullptr,
                                 windowClass.hInstance, this);
        m_hButton = CreateWindowExW(0, L"BUTTON", L"Go live", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                                    10, 10, 68, 24, m_hWnd, reinterpret_cast<HMENU>(kButtonId),
                                    windowClass.hInstance, nullptr);
        m_hLabel = CreateWindowExW(0, L"STATIC", L"F3", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 100, 10,
                                   30, 22, m_hWnd, reinterpret_cast<HMENU>(kLabelId),
                                   windowClass.hInstance, nullptr);
    }
    ~TestParent() { DestroyWindow(m_hWnd); }

    HWND m_hWnd = nullptr;
    HWND m_hButton = nullptr;
    HWND m_hLabel = nullptr;
    CColButton* m_pButton = nullptr;  // not owned; gets WM_DRAWITEM when set
    std::optional<NMHDR> m_lastNotify;
    WPARAM m_lastNotifyWParam = 0;
    std::vector<WPARAM> m_commands;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TestParent*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) {
            switch (message) {
                case WM_NOTIFY:
                    self->m_lastNotify = *reinterpret_cast<const NMHDR*>(lParam);
                    self->m_lastNotifyWParam = wParam;
                    return 0;
                case WM_COMMAND:
                    self->m_commands.push_back(wParam);
                    return 0;
                case WM_DRAWITEM:
                    if (self->m_pButton) {
                        self->m_pButton->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                        return TRUE;
                    }
                    break;
                default:
                    break;
            }
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// 32-bit top-down pixels, as COLORREF values (red in the low byte).
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> values;

    COLORREF At(int x, int y) const { return values[static_cast<size_t>(y * width + x)]; }

    // The bounding box of pixels darker than `level` in every channel.
    RECT DarkBox(int level = 96) const {
        RECT box = {width, height, -1, -1};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const COLORREF p = At(x, y);
                if (GetRValue(p) < level && GetGValue(p) < level && GetBValue(p) < level) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
            }
        }
        return box;
    }
};

Pixels ReadBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
    Pixels pixels{width, height, std::vector<COLORREF>(static_cast<size_t>(width * height))};
    BITMAPINFO format = TopDown32BitFormat(width, height);
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.values.data(), &format,
              DIB_RGB_COLORS);
    // GetDIBits gives 0x00RRGGBB; turn into COLORREF 0x00BBGGRR.
    for (COLORREF& p : pixels.values) {
        p = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    return pixels;
}

// One DrawItem into a memory bitmap of the button's size, in the button's font.
struct ItemDrawing {
    Pixels pixels;
    int backgroundModeAfter = 0;
};

ItemDrawing DrawButton(CColButton& button, bool pressed) {
    RECT rect = {};
    GetClientRect(button.m_hWnd, &rect);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, rect.right, rect.bottom);
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    // The button selects its font before asking its owner to draw; so do we.
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(button.m_hWnd, WM_GETFONT, 0, 0));
    const HGDIOBJ oldFont = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, OPAQUE);

    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = kButtonId;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = pressed ? ODS_SELECTED : 0;
    item.hwndItem = button.m_hWnd;
    item.hDC = dc;
    item.rcItem = rect;
    button.DrawItem(item);

    ItemDrawing drawing;
    drawing.backgroundModeAfter = GetBkMode(dc);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    drawing.pixels = ReadBitmap(dc, bitmap, rect.right, rect.bottom);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return drawing;
}

// What a window shows on the screen of the test display.
// Asks the label to repaint, as its owner does, and lets the paint happen now.
void RepaintNow(CColStatic& label) {
    label.Invalidate();
    UpdateWindow(label.m_hWnd);
    PumpMessages();
}

Pixels ReadScreen(HWND window) {
    RECT rect = {};
    GetClientRect(window, &rect);
    const HDC source = GetDC(window);
    const HDC dc = CreateCompatibleDC(source);
    const HBITMAP bitmap = CreateCompatibleBitmap(source, rect.right, rect.bottom);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, rect.right, rect.bottom, source, 0, 0, SRCCOPY);
    SelectObject(dc, old);
    Pixels pixels = ReadBitmap(dc, bitmap, rect.right, rect.bottom);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(window, source);
    return pixels;
}

TEST(ColourButton, FillsTheFaceInsideTheEdgeWithTheStatesColour) {
    struct Case {
        const char* name;
        int state;
        std::optional<COLORREF> face;  // none: the system's button face
    };
    const Case cases[] = {
        {"no state, no fill", 0, std::nullopt},
        {"Go Live", 1, kGoLiveModeFill},
        {"Copy", 2, kCopyModeFill},
        {"beyond the table, no fill", 5, std::nullopt},
        {"negative, no fill", -1, std::nullopt},
    };
    TestParent parent;
    CColButton button;
    ASSERT_TRUE(button.Attach(parent.m_hWnd, kButtonId));
    button.m_crFill[1] = kGoLiveModeFill;
    button.m_crFill[2] = kCopyModeFill;
    SetWindowTextW(button.m_hWnd, L"");
    const int edgeX = GetSystemMetrics(SM_CXEDGE);
    const int edgeY = GetSystemMetrics(SM_CYEDGE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        button.m_nState = c.state;
        const Pixels pixels = DrawButton(button, false).pixels;
        const COLORREF expected = c.face.value_or(GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(pixels.At(edgeX, edgeY), expected);
        EXPECT_EQ(pixels.At(pixels.width - edgeX - 1, pixels.height - edgeY - 1), expected);
        EXPECT_EQ(pixels.At(pixels.width / 2, pixels.height / 2), expected);
        if (c.face) {
            // The outermost pixels keep the frame's colours.
            EXPECT_NE(pixels.At(0, 0), expected);
            EXPECT_NE(pixels.At(pixels.width - 1, pixels.height - 1), expected);
        }
    }
}

TEST(ColourButton, CentresItsCaptionAndMovesItOneDownRightWhenHeld) {
    TestParent parent;
    CColButton button;
    ASSERT_TRUE(button.Attach(parent.m_hWnd, kButtonId));
    button.m_crFill[1] = kGoLiveModeFill;
    button.m_nState = 1;
    SetWindowTextW(button.m_hWnd, L"Go live");

    const ItemDrawing up = DrawButton(button, false);
    const ItemDrawing held = DrawButton(button, true);
    const RECT upBox = up.pixels.DarkBox();
    const RECT heldBox = held.pixels.DarkBox();
    ASSERT_LT(upBox.left, upBox.right) << "no caption drawn";
    EXPECT_EQ(heldBox.left - upBox.left, 1);
    EXPECT_EQ(heldBox.top - upBox.top, 1);
    // Centred: the ink leaves about as much room on the left as on the right.
    EXPECT_LE(std::abs((upBox.left) - (up.pixels.width - upBox.right)), 3);
    // Drawn on a transparent background, and the caller's mode is given back.
    EXPECT_EQ(up.pixels.At(upBox.left, upBox.top - 1), kGoLiveModeFill);
    EXPECT_EQ(up.backgroundModeAfter, OPAQUE);
}

TEST(ColourButton, DrawsAmpersandsLiterally) {
    TestParent parent;
    CColButton button;
    ASSERT_TRUE(button.Attach(parent.m_hWnd, kButtonId));
    // With prefix processing a lone ampersand would draw nothing.
    SetWindowTextW(button.m_hWnd, L"&");
    const RECT box = DrawButton(button, false).pixels.DarkBox();
    EXPECT_LT(box.left, box.right);
}

TEST(ColourButton, ReportsARightClickToItsParentAndLeavesTheLeftButtonToTheButton) {
    TestParent parent;
    CColButton button;
    ASSERT_TRUE(button.Attach(parent.m_hWnd, kButtonId));

    SendMessageW(button.m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(parent.m_lastNotify.has_value());
    EXPECT_EQ(parent.m_lastNotify->hwndFrom, button.m_hWnd);
    EXPECT_EQ(parent.m_lastNotify->idFrom, static_cast<UINT_PTR>(kButtonId));
    EXPECT_EQ(static_cast<int>(parent.m_lastNotify->code), NM_RCLICK);
    EXPECT_EQ(parent.m_lastNotifyWParam, static_cast<WPARAM>(kButtonId));
    EXPECT_TRUE(parent.m_commands.empty());

    // The platform presses the button and reports the click when released.
    SendMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(SendMessageW(button.m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageW(button.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpMessages();
    ASSERT_EQ(parent.m_commands.size(), 1u);
    EXPECT_EQ(parent.m_commands[0], MAKEWPARAM(kButtonId, BN_CLICKED));
}

TEST(ColourButton, AttachesOnceAndOnlyToAnExistingControl) {
    TestParent parent;
    CColButton button;
    EXPECT_FALSE(button.Attach(parent.m_hWnd, 4242));
    EXPECT_TRUE(button.Attach(parent.m_hWnd, kButtonId));
    EXPECT_FALSE(button.Attach(parent.m_hWnd, kButtonId));
}

TEST(ColourButton, StopsListeningWhenEitherTheObjectOrTheWindowGoesFirst) {
    {
        TestParent parent;
        {
            CColButton button;
            ASSERT_TRUE(button.Attach(parent.m_hWnd, kButtonId));
        }
        // The button lives on without the object: a right click reaches nobody.
        SendMessageW(parent.m_hButton, WM_RBUTTONUP, 0, 0);
        EXPECT_FALSE(parent.m_lastNotify.has_value());
    }
    auto parent = std::make_unique<TestParent>();
    CColButton button;
    ASSERT_TRUE(button.Attach(parent->m_hWnd, kButtonId));
    parent.reset();
    EXPECT_EQ(button.m_hWnd, nullptr);
}

TEST(ColourIndicator, PaintsItsClientAreaAndCentresItsTextInTheSystemFont) {
    TestParent parent;
    CColStatic label;
    ASSERT_TRUE(label.Attach(parent.m_hWnd, kLabelId));
    // A font the owner gives the label is not used: this one is far taller.
    const HFONT large = CreateFontW(-40, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                    L"Liberation Sans");
    SendMessageW(label.m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(large), FALSE);
    label.m_crFill[2] = kKeyLabelFill;
    label.m_nState = 2;
    RepaintNow(label);

    const Pixels pixels = ReadScreen(label.m_hWnd);
    EXPECT_EQ(pixels.At(0, 0), kKeyLabelFill);
    EXPECT_EQ(pixels.At(pixels.width - 1, pixels.height - 1), kKeyLabelFill);
    const RECT box = pixels.DarkBox();
    ASSERT_LT(box.left, box.right) << "no text drawn";

    // Where the system font puts "F3" centred in the client area.
    const HDC dc = GetDC(label.m_hWnd);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, L"F3", 2, &extent);
    ReleaseDC(label.m_hWnd, dc);
    const int left = pixels.width / 2 - extent.cx / 2;
    EXPECT_GE(box.left, left);
    EXPECT_LE(box.right, left + extent.cx);
    EXPECT_LE(box.bottom - box.top, extent.cy);
    EXPECT_LE(std::abs(box.left - (pixels.width - box.right)), 3);
    SendMessageW(label.m_hWnd, WM_SETFONT, 0, FALSE);
    DeleteObject(large);
}

TEST(ColourIndicator, CutsTextWiderThanItselfOnBothSides) {
    TestParent parent;
    CColStatic label;
    ASSERT_TRUE(label.Attach(parent.m_hWnd, kLabelId));
    label.m_crFill[2] = kKeyLabelFill;
    label.m_nState = 2;
    SetWindowTextW(label.m_hWnd, L"MMMMMMMMMMMM");
    RepaintNow(label);

    const RECT box = ReadScreen(label.m_hWnd).DarkBox();
    RECT client = {};
    GetClientRect(label.m_hWnd, &client);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, client.right);
}

TEST(ColourIndicator, WithoutAStateLeavesTheBackgroundUnpainted) {
    TestParent parent;
    CColStatic label;
    ASSERT_TRUE(label.Attach(parent.m_hWnd, kLabelId));
    label.m_crFill[2] = kKeyLabelFill;
    label.m_nState = 0;
    SetWindowTextW(label.m_hWnd, L"");
    RepaintNow(label);
    const Pixels pixels = ReadScreen(label.m_hWnd);
    EXPECT_NE(pixels.At(pixels.width / 2, pixels.height / 2), kKeyLabelFill);
}

}  // namespace
}  // namespace cuewire
