#pragma once
#include <windows.h>
#include <dwrite_3.h>

#include <string>

#include "win32/ComRef.h"

namespace cuewire {

// The face titles are set in, as DirectWrite sees it: "Franklin Gothic Medium"
// from the system's fonts when it is installed, otherwise the bundled Libre
// Franklin Medium, loaded from the program's resources into a collection of
// its own. Made once and kept; UI thread only.
class CDWriteTitleFace {
  public:
    static constexpr wchar_t kTitleFamily[] = L"Franklin Gothic Medium";

    // `fontModule` holds the bundled face (not owned).
    CDWriteTitleFace(IDWriteFactory* factory, HINSTANCE fontModule);
    ~CDWriteTitleFace();
    CDWriteTitleFace(const CDWriteTitleFace&) = delete;
    CDWriteTitleFace& operator=(const CDWriteTitleFace&) = delete;

    // Without either face, the family is asked of the system's fonts (a null
    // collection) and its metrics are a common face's.
    bool Found() const { return static_cast<bool>(m_collection); }
    IDWriteFontCollection* Collection() const { return m_collection.Get(); }
    const std::wstring& Family() const { return m_strFamily; }
    DWRITE_FONT_WEIGHT Weight() const { return m_weight; }
    DWRITE_FONT_STRETCH Stretch() const { return m_stretch; }
    DWRITE_FONT_STYLE Style() const { return m_style; }

    // GDI's cell height is ascent plus descent; DirectWrite asks for the em.
    float EmSizeForCell(int cellHeight) const { return cellHeight * m_fEmPerCell; }
    // Whole pixels from the cell's top to the baseline, as GDI rounds its ascent.
    int AscentForCell(int cellHeight) const;

  private:
    bool UseSystemFamily(IDWriteFactory* factory, const wchar_t* family);
    bool UseBundledFace(IDWriteFactory* factory, HINSTANCE fontModule);
    bool TakeFont(IDWriteFontFamily* family, std::wstring name);

    CComRef<IDWriteFactory5> m_loaderFactory;  // set while m_loader is registered
    CComRef<IDWriteInMemoryFontFileLoader> m_loader;
    CComRef<IDWriteFontCollection> m_collection;
    std::wstring m_strFamily = kTitleFamily;
    DWRITE_FONT_WEIGHT m_weight = DWRITE_FONT_WEIGHT_MEDIUM;
    DWRITE_FONT_STRETCH m_stretch = DWRITE_FONT_STRETCH_NORMAL;
    DWRITE_FONT_STYLE m_style = DWRITE_FONT_STYLE_NORMAL;
    float m_fEmPerCell = 1.0f;
    float m_fAscentPerCell = 0.8f;
};

}  // namespace cuewire
