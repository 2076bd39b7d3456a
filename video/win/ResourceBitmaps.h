#pragma once
#include <windows.h>

#include "video/BitmapResources.h"

namespace cuewire {

// Bitmap resources of a module, read as 32-bit top-down pixels.
class CResourceBitmaps final : public IBitmapResources {
  public:
    explicit CResourceBitmaps(HINSTANCE module) : m_hModule(module) {}

    bool Load(int resourceId, LoadedBitmap& out) override;

  private:
    HINSTANCE m_hModule;  // not owned
};

}  // namespace cuewire
