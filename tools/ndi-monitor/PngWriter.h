#pragma once
#include <wincodec.h>

#include <cstdint>
#include <string>

#include "win32/ComRef.h"

namespace cuewire {

// Saves frames as 8-bit RGBA PNG files through the platform's imaging
// component. Create and use it inside the thread's COM apartment.
class CPngWriter {
  public:
    // Creates the imaging factory; S_OK, or why there is none, which every
    // Write then returns too.
    HRESULT Open();

    // Writes 32-bit pixels (bytes blue, green, red, alpha; rows top-down) to
    // `path`. With `opaque` the alpha byte is ignored and written as 255.
    // S_OK, or the failure, in which case no file is left behind.
    HRESULT Write(const std::wstring& path, const uint8_t* pixels, int width, int height,
                  int stride, bool opaque) const;

  private:
    HRESULT Encode(const std::wstring& path, const uint8_t* pixels, int width, int height,
                   bool& created) const;

    CComRef<IWICImagingFactory> m_factory;
    HRESULT m_opened = E_UNEXPECTED;  // why there is no factory, until Open
};

}  // namespace cuewire
