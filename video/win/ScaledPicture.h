#pragma once
#include <windows.h>

#include <initializer_list>

#include "win32/GdiOwners.h"

namespace cuewire {

// Bitmap resource `resourceId` at the size it has at `dpi`: at 96 DPI the
// resource itself, at other scales resampled by area averaging to its size
// scaled from 96 DPI, opaque. Null when it cannot be loaded. The caller owns it.
HBITMAP LoadPictureForDpi(HINSTANCE module, int resourceId, int dpi);

// Gives a bitmap picture control (SS_BITMAP) `picture` and releases the image
// the control hands back (the template's own picture, or a copy the control
// made of an earlier one), unless it is one of `keep`: images the caller owns.
void GivePicture(HWND control, HBITMAP picture, std::initializer_list<HBITMAP> keep = {});

// A bitmap picture control's image at the window's scale: the picture the
// template gave it, resampled when the scale is not 100 %. The control takes
// the picture's size. UI thread only.
class CScaledPicture {
  public:
    // Shows `resourceId` in `control` at `dpi`. At 96 DPI a control that still
    // shows its template picture is left as it is.
    void Show(HWND control, HINSTANCE module, int resourceId, int dpi);

  private:
    CBitmapObject m_picture;  // null while the control shows its template picture
};

}  // namespace cuewire
