#pragma once
#include <windows.h>

namespace cuewire {

// A font from the program's RCDATA resources, registered for this process only
// (AddFontMemResourceEx) for as long as this object lives.
class CPrivateFont {
  public:
    CPrivateFont(HINSTANCE module, int resourceId);
    ~CPrivateFont();
    CPrivateFont(const CPrivateFont&) = delete;
    CPrivateFont& operator=(const CPrivateFont&) = delete;

    bool Registered() const { return m_hFonts != nullptr; }

  private:
    HANDLE m_hFonts = nullptr;
};

// True when a font family of that name is installed for the drawing context.
bool IsFontFamilyInstalled(HDC dc, const wchar_t* family);

}  // namespace cuewire
