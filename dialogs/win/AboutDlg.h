#pragma once
#include <windows.h>

#include <string>

#include "win32/DialogWindow.h"
#include "video/win/ScaledPicture.h"

namespace cuewire {

// The About box: the program's version, the NDI runtime's version number, the
// build's word size and the maker. Lives only while it is open.
class CAboutDlg final : public CDialogWindow {
  public:
    // `ndiVersionDescription` is the runtime's own description (NDIlib_version),
    // in the system's narrow code page; null when no runtime is loaded.
    CAboutDlg(HINSTANCE instance, std::wstring programVersion, const char* ndiVersionDescription);

  protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnInitDialog();

    std::wstring m_strVersion;         // four numbers joined by points, or empty
    std::wstring m_strNdiDescription;  // converted from the runtime's narrow text
    CScaledPicture m_logo;             // the maker's logo at the window's scale
};

// Opens the About box modally over `owner` (null: no owner) and returns when it closes.
void ShowAboutBox(HINSTANCE instance, HWND owner, const std::wstring& programVersion,
                  const char* ndiVersionDescription);

}  // namespace cuewire
