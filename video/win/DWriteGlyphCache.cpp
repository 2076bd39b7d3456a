#include "video/win/DWriteGlyphCache.h"

#include <cmath>
#include <cstring>
#include <new>

#include "win32/ComRef.h"

namespace cuewire {

namespace {

// Room for the glyphs of many lines at 1080: a capital there takes about
// 100 x 130 pixels; CJK glyphs take up to the whole cell squared.
constexpr size_t kEntries = 2048;  // a power of two
constexpr size_t kStoreBytes = 8 * 1024 * 1024;
constexpr int kPhases = 4;

uint8_t Phase(float position) {
    const float fraction = position - std::floor(position);
    return uint8_t(std::lround(fraction * kPhases) % kPhases);
}

}  // namespace

CDWriteGlyphCache::~CDWriteGlyphCache() {
    Clear();
}

bool CDWriteGlyphCache::Prepare() {
    if (m_store) {
        return true;
    }
    try {
        m_entries.resize(kEntries);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Left uninitialised: the system hands a block this large over as zero
    // pages, which cost no memory until glyphs are written into them.
    m_store.reset(new (std::nothrow) BYTE[kStoreBytes]);
    return static_cast<bool>(m_store);
}

bool CDWriteGlyphCache::Find(IDWriteFactory2* factory, const DWRITE_GLYPH_RUN& run, UINT32 glyph,
                             DWRITE_MEASURING_MODE mode, float originX, float originY,
                             GlyphCoverage& coverage) {
    if (!Prepare()) {
        return false;
    }
    const Key key{run.fontFace, run.fontEmSize, run.glyphIndices[glyph], Phase(originX),
                  Phase(originY), run.isSideways != FALSE};
    const Entry* entry = Slot(key);
    if (!entry->used) {
        if (!Rasterise(factory, run, glyph, mode, key)) {
            return false;
        }
        entry = Slot(key);
    }
    coverage.bounds = entry->bounds;
    coverage.bytes = m_store.get() + entry->offset;
    return true;
}

size_t CDWriteGlyphCache::Hash(const Key& key) {
    uint32_t size;
    std::memcpy(&size, &key.emSize, sizeof size);
    size_t h = reinterpret_cast<uintptr_t>(key.face) >> 4;
    h = h * 31 + size;
    h = h * 31 + key.index;
    h = h * 31 + key.phaseX * kPhases + key.phaseY;
    return h ^ (h >> 17);
}

CDWriteGlyphCache::Entry* CDWriteGlyphCache::Slot(const Key& key) {
    size_t i = Hash(key) & (kEntries - 1);
    while (m_entries[i].used && !(m_entries[i].key == key)) {
        i = (i + 1) & (kEntries - 1);
    }
    return &m_entries[i];
}

bool CDWriteGlyphCache::Rasterise(IDWriteFactory2* factory, const DWRITE_GLYPH_RUN& run,
                                  UINT32 glyph, DWRITE_MEASURING_MODE mode, const Key& key) {
    // The glyph alone, left to right, its origin where it falls inside its pixel.
    const FLOAT advance = 0.0f;
    const DWRITE_GLYPH_OFFSET offset = {};
    DWRITE_GLYPH_RUN single = run;
    single.glyphCount = 1;
    single.glyphIndices = &run.glyphIndices[glyph];
    single.glyphAdvances = &advance;
    single.glyphOffsets = &offset;
    single.bidiLevel = 0;
    CComRef<IDWriteGlyphRunAnalysis> analysis;
    // Natural widths with symmetric antialiasing, greyscale: no coloured
    // fringes, which a keyed white line on video would show.
    if (FAILED(factory->CreateGlyphRunAnalysis(
            &single, nullptr, DWRITE_RENDERING_MODE_NATURAL_SYMMETRIC, mode,
            DWRITE_GRID_FIT_MODE_DEFAULT, DWRITE_TEXT_ANTIALIAS_MODE_GRAYSCALE,
            float(key.phaseX) / kPhases, float(key.phaseY) / kPhases, analysis.Put()))) {
        return false;
    }
    RECT bounds = {};
    if (FAILED(analysis->GetAlphaTextureBounds(DWRITE_TEXTURE_ALIASED_1x1, &bounds))) {
        return false;
    }
    if (IsRectEmpty(&bounds)) {
        bounds = {};
    }
    const size_t bytes = size_t(bounds.right - bounds.left) * size_t(bounds.bottom - bounds.top);
    if (bytes > kStoreBytes) {
        return false;
    }
    // A table three quarters full probes long: start again, as with a full store.
    if (m_nStoreUsed + bytes > kStoreBytes || m_nEntriesUsed + 1 > kEntries * 3 / 4) {
        Clear();
    }
    if (bytes > 0 && FAILED(analysis->CreateAlphaTexture(DWRITE_TEXTURE_ALIASED_1x1, &bounds,
                                                         m_store.get() + m_nStoreUsed,
                                                         UINT32(bytes)))) {
        return false;
    }
    key.face->AddRef();
    *Slot(key) = {key, bounds, m_nStoreUsed, true};
    m_nStoreUsed += bytes;
    ++m_nEntriesUsed;
    ++m_nRasterised;
    return true;
}

void CDWriteGlyphCache::Clear() {
    for (Entry& entry : m_entries) {
        if (entry.used) {
            entry.key.face->Release();
            entry = {};
        }
    }
    m_nStoreUsed = 0;
    m_nEntriesUsed = 0;
}

}  // namespace cuewire
