#include "video/Composer.h"

#include <algorithm>
#include <cstring>

#include "res/resource.h"
#include "video/PixelFormat.h"

namespace cuewire {

namespace {

// The part of a destination that a w x h surface placed at x, y covers.
Rect Placed(int32_t x, int32_t y, int32_t w, int32_t h, int32_t destWidth, int32_t destHeight) {
    return {std::max(0, x), std::max(0, y), std::min(x + w, destWidth),
            std::min(y + h, destHeight)};
}

void ZeroRect(uint32_t* pixels, int32_t width, const Rect& rect) {
    if (rect.Empty()) {
        return;
    }
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        std::fill_n(pixels + static_cast<size_t>(y) * width + rect.left, rect.right - rect.left,
                    kTransparentBlack);
    }
}

void CopyRect(const uint32_t* from, uint32_t* to, int32_t width, const Rect& rect) {
    if (rect.Empty()) {
        return;
    }
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        const size_t start = static_cast<size_t>(y) * width + rect.left;
        std::memcpy(to + start, from + start, static_cast<size_t>(rect.right - rect.left) * 4);
    }
}

// C0 controls, DEL and C1 controls: no font has a glyph for them.
bool IsControlCharacter(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7f && unit <= 0x9f);
}

// Drawn pixels become opaque; the untouched black becomes the box's black.
inline uint32_t Keyed(uint32_t p) {
    return p != 0 ? (p | kAlphaMask) : kTextBoxBlack;
}

}  // namespace

bool COutputComposer::HoldsFrame(const CDrawSurface& surface, int32_t width, int32_t height) {
    return width > 0 && height > 0 &&
           static_cast<long long>(width) * height <= surface.CapacityPixels();
}

void COutputComposer::ComposeStartupFrame(const FrameBuffer& frame) {
    const int32_t width = frame.width, height = frame.height;
    // Blended over the background, never over the last frame: blended again
    // and again, the banner's soft edges would darken with every composition.
    ResetProgrammeToBackground();
    if (HoldsFrame(m_surfProgramme, width, height)) {
        m_surfStartup.CompositeOnto(Anchor::kCentre, kCompositeBlend, m_surfProgramme.Pixels(),
                                    width, height);
        const int32_t w = m_surfStartup.Width(), h = m_surfStartup.Height();
        if (m_programmeKnown.Describes(m_surfProgramme.Pixels(), width, height)) {
            m_programmeKnown.content = m_programmeKnown.content.Union(
                Placed((width - w) / 2, (height - h) / 2, w, h, width, height));
        } else {
            m_programmeKnown = {};
        }
    }
    WriteFrame(frame);
}

void COutputComposer::ComposeTextFrame(const FrameBuffer& frame, std::u16string_view live) {
    ResetProgrammeToBackground();
    // Without a canvas the box keeps what it held; a short read-back is not keyed.
    const bool keyed =
        m_surfText.DrawTextLine(m_canvas, DrawableLine(live)) == CanvasResult::kDrawn;
    PlaceTextBox(frame.width, frame.height, keyed);
    WriteFrame(frame);
}

void COutputComposer::ComposeEmptyFrame(const FrameBuffer& frame) {
    ClearProgramme();
    WriteFrame(frame);
}

// A pasted tab or line break would show as the font's missing-glyph box, and
// some renderers drop the letters after a separator; drawn as a space each, it
// still parts the words. The live text, and what the link sends, keep them.
std::u16string_view COutputComposer::DrawableLine(std::u16string_view text) {
    m_strDrawnLine.assign(text.begin(), text.end());
    std::replace_if(m_strDrawnLine.begin(), m_strDrawnLine.end(), IsControlCharacter, u' ');
    return m_strDrawnLine;
}

// The programme as a copy of the background. A clear background over a
// programme that is clear outside a known part needs only that part cleared.
void COutputComposer::ResetProgrammeToBackground() {
    const int32_t w = m_surfBackground.Width(), h = m_surfBackground.Height();
    if (m_bBackgroundClear && ProgrammeIsFull(w, h) &&
        m_programmeKnown.Describes(m_surfProgramme.Pixels(), w, h)) {
        ZeroRect(m_surfProgramme.Pixels(), w, m_programmeKnown.content);
        m_programmeKnown.content = {};
        return;
    }
    const bool copied = m_surfProgramme.CopyFrom(m_surfBackground) == 1;
    if (copied && m_bBackgroundClear && ProgrammeIsFull(w, h)) {
        m_programmeKnown = {m_surfProgramme.Pixels(), w, h, {}};
    } else {
        m_programmeKnown = {};
    }
}

void COutputComposer::ClearProgramme() {
    const int32_t w = m_surfProgramme.Width(), h = m_surfProgramme.Height();
    if (ProgrammeIsFull(w, h) && m_programmeKnown.Describes(m_surfProgramme.Pixels(), w, h)) {
        ZeroRect(m_surfProgramme.Pixels(), w, m_programmeKnown.content);
    } else {
        m_surfProgramme.Fill(kTransparentBlack);
    }
    m_programmeKnown =
        ProgrammeIsFull(w, h) ? KnownContent{m_surfProgramme.Pixels(), w, h, {}} : KnownContent{};
}

// Keys the box and copies it to the bottom centre of the programme, a row at
// a time while the row is still in the cache.
void COutputComposer::PlaceTextBox(int32_t width, int32_t height, bool keyed) {
    uint32_t* box = m_surfText.Pixels();
    const int32_t w = m_surfText.Width(), h = m_surfText.Height();
    uint32_t* programme = m_surfProgramme.Pixels();
    const bool placing =
        HoldsFrame(m_surfProgramme, width, height) && m_surfText.Has32BitPixels() && programme;
    Rect placed;
    if (placing) {
        const TextBoxGeometry geometry = TextBoxGeometry::For(width, height);
        const int32_t x = (width - w) / 2;
        const int32_t y = height - h - geometry.bottomMargin;
        placed = Placed(x, y, w, h, width, height);
        // The box's rows and columns that land inside the programme.
        const int32_t firstColumn = placed.left - x, columns = placed.right - placed.left;
        for (int32_t row = 0; row < h; ++row) {
            uint32_t* source = box + static_cast<size_t>(row) * w;
            const int32_t destRow = y + row;
            const bool lands = !placed.Empty() && destRow >= placed.top && destRow < placed.bottom;
            uint32_t* dest =
                lands ? programme + static_cast<size_t>(destRow) * width + placed.left : nullptr;
            if (keyed) {
                for (int32_t column = 0; column < w; ++column) {
                    source[column] = Keyed(source[column]);
                }
            }
            if (dest) {
                std::memcpy(dest, source + firstColumn, static_cast<size_t>(columns) * 4);
            }
        }
    } else if (keyed && box) {
        const int32_t count = m_surfText.PixelCount();
        for (int32_t i = 0; i < count; ++i) {
            box[i] = Keyed(box[i]);
        }
    }
    if (!placing) {
        return;
    }
    if (m_programmeKnown.Describes(programme, width, height)) {
        m_programmeKnown.content = m_programmeKnown.content.Union(placed);
    } else {
        m_programmeKnown = {};
    }
}

// The programme into the frame buffer. Where both are known, only the pixels
// that either may hold other than transparent black are copied.
void COutputComposer::WriteFrame(const FrameBuffer& frame) {
    uint32_t* dest = frame.pixels;
    const int32_t w = frame.width, h = frame.height;
    KnownContent& known = KnownFor(dest);
    if (!dest || !ProgrammeIsFull(w, h)) {
        m_surfProgramme.CompositeOnto(Anchor::kCentre, kCompositeCopy, dest, w, h);
        known = {};
        return;
    }
    const uint32_t* programme = m_surfProgramme.Pixels();
    const bool programmeKnown = m_programmeKnown.Describes(programme, w, h);
    if (programmeKnown && known.Describes(dest, w, h)) {
        CopyRect(programme, dest, w, known.content.Union(m_programmeKnown.content));
    } else {
        std::memcpy(dest, programme, static_cast<size_t>(w) * h * 4);
    }
    known = programmeKnown ? KnownContent{dest, w, h, m_programmeKnown.content} : KnownContent{};
}

// The output alternates between two buffers; one not seen before takes the
// place of the one not written last.
KnownContent& COutputComposer::KnownFor(const uint32_t* pixels) {
    for (int32_t i = 0; i < 2; ++i) {
        if (pixels && m_frameKnown[i].pixels == pixels) {
            m_nLastFrame = i;
            return m_frameKnown[i];
        }
    }
    m_nLastFrame = m_nLastFrame == 0 ? 1 : 0;
    return m_frameKnown[m_nLastFrame];
}

bool COutputComposer::ProgrammeIsFull(int32_t width, int32_t height) const {
    return width > 0 && height > 0 && m_surfProgramme.Holds32BitFrame(width, height);
}

// The steps keep their order: the picture is scaled first, as at start, so
// that the background takes the new size from it; then the text box follows
// the size; then the background is reset to transparent black, which is what
// every composition starts from. The picture itself only ever reaches the
// preview, before the copy has a number.
void COutputComposer::ApplySize(int32_t width, int32_t height) {
    ScaleBackground(width, height);
    RebuildTextSurface(width, height);
    ResetBackground(width, height);
}

void COutputComposer::ResetBackground(int32_t width, int32_t height) {
    // Without its picture the background would stay empty and no text could
    // ever reach the output: give it the output size by hand.
    if (m_surfBackground.Width() != width || m_surfBackground.Height() != height ||
        m_surfBackground.BitsPerPixel() != 32) {
        m_surfBackground.Resize(width, height);
    }
    m_surfBackground.Fill(kTransparentBlack);
    m_bBackgroundClear = m_surfBackground.Holds32BitFrame(width, height);
    ResetProgrammeToBackground();
}

void COutputComposer::RebuildTextSurface(int32_t width, int32_t height) {
    const TextBoxGeometry box = TextBoxGeometry::For(width, height);
    if (!m_surfText.Resize(box.width, box.height)) {
        return;  // text compositions then show only the background
    }
    m_surfText.Fill(kOpaqueBlack);
}

void COutputComposer::LoadPictures(int32_t width, int32_t height) {
    m_surfSplash.LoadBitmapResource(m_pictures, IDB_SPLASH);
    m_bBackgroundClear = false;
    m_surfBackground.LoadBitmapResource(m_pictures, IDB_BACKGROUND);
    ScaleBackground(width, height);
}

void COutputComposer::PrepareStartupFrame() {
    m_surfStartup.CopyFrom(m_surfSplash);
}

void COutputComposer::ScaleBackground(int32_t width, int32_t height) {
    if (m_surfBackground.HasLoadedBitmap()) {
        m_bBackgroundClear = false;
        m_surfBackground.ScaleBitmap(width, height);
    }
}

}  // namespace cuewire
