#pragma once
#include <windows.h>

#include <optional>

#include "video/TextCanvas.h"
#include "video/win/PrivateFont.h"

namespace cuewire {

// The text canvas on GDI: every drawing creates its memory context, bitmap and
// font afresh and releases them before it returns. UI thread only.
class CGdiTextCanvas final : public ITextCanvas {
  public:
    // `referenceWindow` supplies the reference drawing context (null: the screen);
    // `fontModule` holds the bundled face. Neither is owned.
    CGdiTextCanvas(HWND referenceWindow, HINSTANCE fontModule);
    ~CGdiTextCanvas() override;
    CGdiTextCanvas(const CGdiTextCanvas&) = delete;
    CGdiTextCanvas& operator=(const CGdiTextCanvas&) = delete;

    CanvasResult DrawLine(std::u16string_view text, int cellHeight, int width, int height,
                          uint32_t* pixels) override;

    // For tests: called with the canvas context after the text is drawn and
    // before it is read back, while the font is still selected.
    using DrawnHook = void (*)(void* context, HDC canvas);
    void SetDrawnHookForTesting(DrawnHook hook, void* context) {
        m_drawnHook = hook;
        m_drawnHookContext = context;
    }

  private:
    HFONT CreateLineFont(HDC reference, int cellHeight);
    const wchar_t* PreferredFace(HDC reference);

    HWND m_hReferenceWindow;  // not owned
    HINSTANCE m_hFontModule;  // not owned
    bool m_bFaceChosen = false;
    const wchar_t* m_pszFace = nullptr;
    std::optional<CPrivateFont> m_bundledFont;  // registered only when needed
    DrawnHook m_drawnHook = nullptr;
    void* m_drawnHookContext = nullptr;
};

}  // namespace cuewire
