#pragma once
#include <windows.h>

#include <memory>

#include "win32/DialogWindow.h"
#include "win32/GdiOwners.h"
#include "video/win/ScaledPicture.h"

namespace cuewire {

// The support dialog: a modeless window beside the panel with the maker's shop
// picture and links to the maker's pages. It opens once, when the panel is first
// shown, and hides itself after 19.531 seconds or when cancelled; the window
// lives on, hidden, until the application ends. UI thread only.
class CSupportDialog final : public CDialogWindow {
  public:
    // The object only: the window is created by ShowBesidePanel. Null when it
    // cannot be made; never throws.
    static std::unique_ptr<CSupportDialog> Create(HINSTANCE instance, HWND parent) noexcept;
    ~CSupportDialog() override;

    // Moves the panel left, creates the window and shows it beside the panel's
    // old place, centred vertically on it. Does nothing once the window exists.
    void ShowBesidePanel(HWND panel);

  protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    CSupportDialog(HINSTANCE instance, HWND parent);
    void OnInitDialog();
    void ShowLogos(int dpi);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnTimer(UINT_PTR id);
    bool OnCommand(int id);
    // Gives `picture` to the picture control and releases the image it hands back,
    // unless that image is one of ours.
    void ShowPicture(HBITMAP picture);

    HWND m_hParent;                // not owned: the panel
    CBitmapObject m_firstPicture;  // the shop picture, bitmap 190, at the window's scale
    HWND m_hPicture = nullptr;     // a child of the dialog, destroyed with it
    CScaledPicture m_socialLogo;   // 2105 at the window's scale
    CScaledPicture m_videoLogo;    // 2106 at the window's scale
};

}  // namespace cuewire
