#pragma once
#include <windows.h>

#include <optional>

namespace cuewire {

// A dialog control whose messages we see first, through the common controls'
// subclassing; the object itself travels as the subclass's reference data.
// UI thread only.
class CSubclassedControl {
  public:
    CSubclassedControl(const CSubclassedControl&) = delete;
    CSubclassedControl& operator=(const CSubclassedControl&) = delete;

    // Binds to the dialog's control `id`; false when there is no such control
    // or this object is already bound.
    bool Attach(HWND dialog, int id);
    // Asks the platform to redraw the control, erasing its background.
    void Invalidate();

    HWND m_hWnd = nullptr;  // not owned: a control of the dialog

  protected:
    CSubclassedControl() = default;
    // Stops listening to the control if it still exists.
    ~CSubclassedControl();
    // A message for the control: a result when it is handled here and must not
    // reach the control, nothing to let the control have it.
    virtual std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR subclassId, DWORD_PTR self);
    void Detach();
};

}  // namespace cuewire
