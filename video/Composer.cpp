#include "video/Composer.h"

#include <algorithm>
#include <cstring>

#include "video/PixelFormat.h"

namespace cuewire {

namespace {

bool HoldsFrame(const CDrawSurface& surface, int32_t width, int32_t height) {
    return width > 0 && height > 0 &&
           static_cast<long long>(width) * height <= surface.CapacityPixels();
}

// The part of a destination that a w x h surface placed at x, y covers.
Rect Placed(int32_t x, int32_t y, int32_t w, int32_t h, int32_t destWidth,
                 int32_t destHeight) {
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

// A step that throws (a text too long for the memory left) must not leave the
// half-written buffer as the one the re-send hands over, nor the re-send shut
// out: until the new frame is sent, the output stays as it was.
class COutputComposer::CUnsentFrameUndo {
  public:
    explicit CUnsentFrameUndo(COutputComposer& composer)
        : m_composer(composer), m_bTextShownBefore(composer.m_bTextShown) {}
    ~CUnsentFrameUndo() {
        if (!m_bSent) {
            m_composer.m_sender.SwitchToNextFrame();
            m_composer.m_bTextShown = m_bTextShownBefore;
        }
        m_composer.m_bComposing = 0;
    }
    CUnsentFrameUndo(const CUnsentFrameUndo&) = delete;
    CUnsentFrameUndo& operator=(const CUnsentFrameUndo&) = delete;
    void Sent() { m_bSent = true; }

  private:
    COutputComposer& m_composer;
    int32_t m_bTextShownBefore;
    bool m_bSent = false;
};

void COutputComposer::ComposeAndSend(const CompositionInput& input) {
    m_bComposing = 1;
    CUnsentFrameUndo undo(*this);
    // Never write the buffer the runtime may still be reading: take the other one.
    const int32_t frame = m_sender.SwitchToNextFrame();
    m_bTextShown = 0;

    const bool startup = m_bStartupPending == 1;
    if (startup) {
        ComposeStartupFrame(input);
    } else if (m_bTextPending == 1) {
        ComposeTextFrame(input);
    } else {
        ClearProgramme();
    }
    WriteFrame(frame, input);

    m_wait.Wait(kSettleMilliseconds);
    TellFollower(input, startup);
    m_sender.SendFrame(frame);
    undo.Sent();
    HandProgrammeToPreview(input);
}

void COutputComposer::TellFollower(const CompositionInput& input, bool startup) {
    // The start-up frame draws no text, so it tells the follower nothing.
    if (!input.announce || startup) {
        return;
    }
    if (m_bTextShown) {
        m_follower.TextShown(input.live);
    } else {
        m_follower.TextCleared();
    }
}

void COutputComposer::ComposeStartupFrame(const CompositionInput& input) {
    m_wait.Wait(kSettleMilliseconds);
    m_wait.Wait(kSettleMilliseconds);
    // Blended over the background, never over the last frame: blended again
    // and again, the banner's soft edges would darken with every composition.
    ResetProgrammeToBackground();
    if (HoldsFrame(m_surfProgramme, input.width, input.height)) {
        m_surfStartup.CompositeOnto(Anchor::kCentre, kCompositeBlend, m_surfProgramme.Pixels(),
                                    input.width, input.height);
        const int32_t w = m_surfStartup.Width(), h = m_surfStartup.Height();
        if (m_programmeKnown.Describes(m_surfProgramme.Pixels(), input.width, input.height)) {
            m_programmeKnown.content = m_programmeKnown.content.Union(Placed(
                (input.width - w) / 2, (input.height - h) / 2, w, h, input.width, input.height));
        } else {
            m_programmeKnown = {};
        }
    }
}

void COutputComposer::ComposeTextFrame(const CompositionInput& input) {
    ResetProgrammeToBackground();
    // Without a canvas the box keeps what it held; a short read-back is not keyed.
    const bool keyed =
        m_surfText.DrawTextLine(m_canvas, DrawableLine(input.live)) == CanvasResult::kDrawn;
    PlaceTextBox(input, keyed);
    m_bTextPending = 0;
    m_bTextShown = 1;
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
void COutputComposer::PlaceTextBox(const CompositionInput& input, bool keyed) {
    uint32_t* box = m_surfText.Pixels();
    const int32_t w = m_surfText.Width(), h = m_surfText.Height();
    uint32_t* programme = m_surfProgramme.Pixels();
    const bool placing = HoldsFrame(m_surfProgramme, input.width, input.height) &&
                         m_surfText.Has32BitPixels() && programme;
    Rect placed;
    if (placing) {
        const TextBoxGeometry geometry = TextBoxGeometry::For(input.width, input.height);
        const int32_t x = (input.width - w) / 2;
        const int32_t y = input.height - h - geometry.bottomMargin;
        placed = Placed(x, y, w, h, input.width, input.height);
        // The box's rows and columns that land inside the programme.
        const int32_t firstColumn = placed.left - x, columns = placed.right - placed.left;
        for (int32_t row = 0; row < h; ++row) {
            uint32_t* source = box + static_cast<size_t>(row) * w;
            const int32_t destRow = y + row;
            const bool lands = !placed.Empty() && destRow >= placed.top && destRow < placed.bottom;
            uint32_t* dest =
                lands ? programme + static_cast<size_t>(destRow) * input.width + placed.left
                      : nullptr;
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
    if (m_programmeKnown.Describes(programme, input.width, input.height)) {
        m_programmeKnown.content = m_programmeKnown.content.Union(placed);
    } else {
        m_programmeKnown = {};
    }
}

// The programme into the frame buffer. Where both are known, only the pixels
// that either may hold other than transparent black are copied.
void COutputComposer::WriteFrame(int32_t frame, const CompositionInput& input) {
    uint32_t* dest = m_sender.FramePixels(frame);
    const int32_t w = input.width, h = input.height;
    if (!dest || frame < 0 || frame > 1 || !ProgrammeIsFull(w, h)) {
        m_surfProgramme.CompositeOnto(Anchor::kCentre, kCompositeCopy, dest, w, h);
        if (frame >= 0 && frame <= 1) {
            m_frameKnown[frame] = {};
        }
        return;
    }
    const uint32_t* programme = m_surfProgramme.Pixels();
    KnownContent& known = m_frameKnown[frame];
    const bool programmeKnown = m_programmeKnown.Describes(programme, w, h);
    if (programmeKnown && known.Describes(dest, w, h)) {
        CopyRect(programme, dest, w, known.content.Union(m_programmeKnown.content));
    } else {
        std::memcpy(dest, programme, static_cast<size_t>(w) * h * 4);
    }
    known = programmeKnown ? KnownContent{dest, w, h, m_programmeKnown.content} : KnownContent{};
}

bool COutputComposer::ProgrammeIsFull(int32_t width, int32_t height) const {
    return width > 0 && height > 0 && m_surfProgramme.Holds32BitFrame(width, height);
}

void COutputComposer::HandProgrammeToPreview(const CompositionInput& input) {
    if (!HoldsFrame(m_surfProgramme, input.width, input.height)) {
        return;
    }
    const NDIlib_video_frame_v2_t* sent = m_sender.Frame(m_sender.CurrentFrame());
    // Descriptors not filled yet carry no aspect; every frame of ours is 16:9.
    const float aspect =
        sent && sent->picture_aspect_ratio > 0.0f ? sent->picture_aspect_ratio : kAspect16By9;
    m_preview.SetFrame(reinterpret_cast<const uint8_t*>(m_surfProgramme.Pixels()), input.width,
                       input.height, input.width * 4, kFourCcRgba, aspect);
    m_preview.Refresh();
}

// The steps keep their order: the picture is scaled first, as at start, so
// that the background takes the new size from it; then the text box follows
// the size; then the background is reset to transparent black, which is what
// every composition starts from. The picture itself only ever reaches the
// preview, before the copy has a number.
void COutputComposer::ApplySize(int32_t width, int32_t height) {
    ScaleBackground(width, height);
    if (m_bTextShown) {
        m_bTextPending = 1;
    }
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
    m_surfSplash.LoadBitmapResource(m_pictures, kSplashPictureId);
    m_bBackgroundClear = false;
    m_surfBackground.LoadBitmapResource(m_pictures, kBackgroundPictureId);
    ScaleBackground(width, height);
    if (HoldsFrame(m_surfBackground, width, height)) {
        m_preview.SetFrame(reinterpret_cast<const uint8_t*>(m_surfBackground.Pixels()), width,
                           height, width * 4, kFourCcRgba, kAspect16By9);
        m_preview.Refresh();
    }
}

void COutputComposer::ArmStartupFrame() {
    m_surfStartup.CopyFrom(m_surfSplash);
    m_bStartupPending = 1;
}

bool COutputComposer::EndStartup() {
    const bool armed = m_bStartupPending == 1;
    m_bStartupPending = 0;
    return armed;
}

void COutputComposer::ScaleBackground(int32_t width, int32_t height) {
    if (m_surfBackground.HasLoadedBitmap()) {
        m_bBackgroundClear = false;
        m_surfBackground.ScaleBitmap(width, height);
    }
}

}  // namespace cuewire
