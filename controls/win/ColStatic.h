#pragma once
#include <windows.h>

namespace cuewire {

// A label that paints itself: its client area filled with the colour of its
// state and its window text centred in the system font and default text colour.
// The owner writes the public fields, then calls Invalidate. Clicks reach the
// parent through the template's notify style. UI thread only.
class CColStatic {
  public:
    CColStatic() = default;
    // Stops listening to the label if it still exists.
    ~CColStatic();
    CColStatic(const CColStatic&) = delete;
    CColStatic& operator=(const CColStatic&) = delete;

    // Binds to the dialog's static control `id`; false when there is no such
    // control or this object is already bound.
    bool Attach(HWND dialog, int id);
    // Asks the platform to repaint the label, erasing its background.
    void Invalidate();

    HWND m_hWnd = nullptr;  // not owned: a control of the dialog
    int m_nState = 0;       // 0 no fill; otherwise the m_crFill entry painted
    // Kept at 0 by the panel: no pushed frame, the default text colour, no outline.
    int m_bPushFrame = 0;
    int m_nTextColourIndex[6] = {};
    int m_nBorder = 0;
    COLORREF m_crFill[7] = {};  // entry 0 is never painted
    COLORREF m_crText[3] = {};
    COLORREF m_crBorderTopLeft = 0, m_crBorderBottomRight = 0;

  private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR subclassId, DWORD_PTR self);
    void Paint();
    void Detach();
};

}  // namespace cuewire
