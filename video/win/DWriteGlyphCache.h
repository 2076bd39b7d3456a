#pragma once
#include <windows.h>
#include <dwrite_2.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace cuewire {

// One glyph's coverage as DirectWrite rasterises it, greyscale, one byte a
// pixel, placed relative to the whole pixel its origin falls in.
struct GlyphCoverage {
    RECT bounds = {};              // relative to the origin's pixel; empty for a blank glyph
    const BYTE* bytes = nullptr;   // (right - left) x (bottom - top), row after row
};

// The glyphs a line was drawn with, rasterised once and kept: a title line
// mostly repeats the letters of the lines before it at the same size, and
// rasterising every glyph of every line again costs more than the rest of
// the composition. Glyphs are told apart by face, size, index and where in
// its pixel the origin falls, to a quarter pixel. The table and the store are
// allocated on first use and never grow; when either is full, everything is
// dropped and the glyphs are rasterised again as lines need them. Holds a
// reference to each face it keeps glyphs of. UI thread only.
class CDWriteGlyphCache {
  public:
    CDWriteGlyphCache() = default;
    ~CDWriteGlyphCache();
    CDWriteGlyphCache(const CDWriteGlyphCache&) = delete;
    CDWriteGlyphCache& operator=(const CDWriteGlyphCache&) = delete;

    // The glyph of `run` at `glyph`, its origin at `originX`, `originY`; false
    // when DirectWrite cannot rasterise it or no memory is left for the cache.
    bool Find(IDWriteFactory2* factory, const DWRITE_GLYPH_RUN& run, UINT32 glyph,
              DWRITE_MEASURING_MODE mode, float originX, float originY, GlyphCoverage& coverage);

    // Glyphs rasterised since the cache was made.
    long Rasterised() const { return m_nRasterised; }
    // Drops every kept glyph and the references to their faces.
    void Clear();

  private:
    struct Key {
        IDWriteFontFace* face = nullptr;  // a reference held while the entry lives
        float emSize = 0;
        uint16_t index = 0;
        uint8_t phaseX = 0, phaseY = 0;   // quarter pixels
        bool sideways = false;
        bool operator==(const Key&) const = default;
    };
    struct Entry {
        Key key;
        RECT bounds = {};
        size_t offset = 0;  // into m_store
        bool used = false;
    };

    bool Prepare();
    static size_t Hash(const Key& key);
    Entry* Slot(const Key& key);
    bool Rasterise(IDWriteFactory2* factory, const DWRITE_GLYPH_RUN& run, UINT32 glyph,
                   DWRITE_MEASURING_MODE mode, const Key& key);

    std::vector<Entry> m_entries;  // open addressing, a power of two long
    std::unique_ptr<BYTE[]> m_store;  // every kept glyph's coverage, end to end
    size_t m_nStoreUsed = 0;
    size_t m_nEntriesUsed = 0;
    long m_nRasterised = 0;
};

}  // namespace cuewire
