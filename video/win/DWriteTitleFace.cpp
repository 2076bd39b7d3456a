#include "video/win/DWriteTitleFace.h"

#include <cmath>

#include "res/resource.h"

namespace cuewire {

namespace {

std::wstring FirstName(IDWriteLocalizedStrings* names) {
    UINT32 index = 0;
    BOOL exists = FALSE;
    if (FAILED(names->FindLocaleName(L"en-us", &index, &exists)) || !exists) {
        index = 0;
    }
    UINT32 length = 0;
    if (FAILED(names->GetStringLength(index, &length))) {
        return {};
    }
    std::wstring name(length + 1, L'\0');
    if (FAILED(names->GetString(index, name.data(), length + 1))) {
        return {};
    }
    name.resize(length);
    return name;
}

// GDI's cell is the OS/2 table's Windows ascent plus descent; DirectWrite's
// metrics give the typographic ones instead when the font asks for them, which
// would set titles a sixth larger than before. Left as they are without a table.
void WindowsAscentDescent(IDWriteFont* font, float& ascent, float& descent) {
    CComRef<IDWriteFontFace> face;
    if (FAILED(font->CreateFontFace(face.Put()))) {
        return;
    }
    const void* data = nullptr;
    UINT32 size = 0;
    void* context = nullptr;
    BOOL exists = FALSE;
    if (FAILED(face->TryGetFontTable(DWRITE_MAKE_OPENTYPE_TAG('O', 'S', '/', '2'), &data, &size,
                                     &context, &exists)) ||
        !exists) {
        return;
    }
    constexpr UINT32 kWinAscent = 74, kWinDescent = 76;  // big-endian uint16 fields
    if (data && size >= kWinDescent + 2) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        const auto field = [bytes](UINT32 at) { return float((bytes[at] << 8) | bytes[at + 1]); };
        if (field(kWinAscent) + field(kWinDescent) > 0) {
            ascent = field(kWinAscent);
            descent = field(kWinDescent);
        }
    }
    face->ReleaseFontTable(context);
}

}  // namespace

// The typeface titles are set in ships only with some office suites; where it
// is missing the bundled Libre Franklin Medium, a close relative, stands in.
CDWriteTitleFace::CDWriteTitleFace(IDWriteFactory* factory, HINSTANCE fontModule) {
    if (!UseSystemFamily(factory, kTitleFamily)) {
        UseBundledFace(factory, fontModule);
    }
}

CDWriteTitleFace::~CDWriteTitleFace() {
    // The collection's fonts read through the loader: drop them first.
    m_collection.Reset();
    if (m_loaderFactory && m_loader) {
        m_loaderFactory->UnregisterFontFileLoader(m_loader.Get());
    }
}

int CDWriteTitleFace::AscentForCell(int cellHeight) const {
    return static_cast<int>(std::lround(cellHeight * m_fAscentPerCell));
}

bool CDWriteTitleFace::UseSystemFamily(IDWriteFactory* factory, const wchar_t* family) {
    CComRef<IDWriteFontCollection> system;
    if (FAILED(factory->GetSystemFontCollection(system.Put(), FALSE))) {
        return false;
    }
    UINT32 index = 0;
    BOOL exists = FALSE;
    CComRef<IDWriteFontFamily> found;
    if (FAILED(system->FindFamilyName(family, &index, &exists)) || !exists ||
        FAILED(system->GetFontFamily(index, found.Put())) || !TakeFont(found.Get(), family)) {
        return false;
    }
    m_collection = std::move(system);
    return true;
}

bool CDWriteTitleFace::UseBundledFace(IDWriteFactory* factory, HINSTANCE fontModule) {
    HRSRC resource = FindResourceW(fontModule, MAKEINTRESOURCEW(IDR_LIBRE_FRANKLIN), RT_RCDATA);
    HGLOBAL loaded = resource ? LoadResource(fontModule, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(fontModule, resource) : 0;
    CComRef<IDWriteFactory5> factory5;
    factory->QueryInterface(__uuidof(IDWriteFactory5), reinterpret_cast<void**>(factory5.Put()));
    if (!data || size == 0 || !factory5) {
        return false;
    }
    CComRef<IDWriteInMemoryFontFileLoader> loader;
    if (FAILED(factory5->CreateInMemoryFontFileLoader(loader.Put())) ||
        FAILED(factory5->RegisterFontFileLoader(loader.Get()))) {
        return false;
    }
    m_loaderFactory = std::move(factory5);
    m_loader = std::move(loader);

    // Resource memory lives as long as the module; no owner, so DirectWrite copies it.
    CComRef<IDWriteFontFile> file;
    CComRef<IDWriteFontSetBuilder1> builder;
    CComRef<IDWriteFontSet> set;
    CComRef<IDWriteFontCollection1> collection;
    CComRef<IDWriteFontFamily> family;
    CComRef<IDWriteLocalizedStrings> names;
    if (FAILED(m_loader->CreateInMemoryFontFileReference(m_loaderFactory.Get(), data, size, nullptr,
                                                         file.Put())) ||
        FAILED(m_loaderFactory->CreateFontSetBuilder(builder.Put())) ||
        FAILED(builder->AddFontFile(file.Get())) || FAILED(builder->CreateFontSet(set.Put())) ||
        FAILED(m_loaderFactory->CreateFontCollectionFromFontSet(set.Get(), collection.Put())) ||
        collection->GetFontFamilyCount() == 0 ||
        FAILED(static_cast<IDWriteFontCollection*>(collection.Get())
                   ->GetFontFamily(0, family.Put())) ||
        FAILED(family->GetFamilyNames(names.Put()))) {
        return false;
    }
    if (!TakeFont(family.Get(), FirstName(names.Get()))) {
        return false;
    }
    m_collection = collection.As<IDWriteFontCollection>();
    return true;
}

bool CDWriteTitleFace::TakeFont(IDWriteFontFamily* family, std::wstring name) {
    CComRef<IDWriteFont> font;
    if (name.empty() ||
        FAILED(family->GetFirstMatchingFont(DWRITE_FONT_WEIGHT_MEDIUM, DWRITE_FONT_STRETCH_NORMAL,
                                            DWRITE_FONT_STYLE_NORMAL, font.Put()))) {
        return false;
    }
    DWRITE_FONT_METRICS metrics = {};
    font->GetMetrics(&metrics);
    float ascent = metrics.ascent, descent = metrics.descent;
    WindowsAscentDescent(font.Get(), ascent, descent);
    const float cellUnits = ascent + descent;
    if (cellUnits <= 0 || metrics.designUnitsPerEm == 0) {
        return false;
    }
    m_strFamily = std::move(name);
    m_weight = font->GetWeight();
    m_stretch = font->GetStretch();
    m_style = font->GetStyle();
    m_fEmPerCell = metrics.designUnitsPerEm / cellUnits;
    m_fAscentPerCell = ascent / cellUnits;
    return true;
}

}  // namespace cuewire
