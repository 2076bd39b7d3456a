#include "video/Composer.h"

#include <algorithm>

#include "video/PixelFormat.h"

namespace cuewire {

namespace {

bool HoldsFrame(const CDrawSurface& surface, int32_t width, int32_t height) {
    return width > 0 && height > 0 &&
           static_cast<long long>(width) * height <= surface.CapacityPixels();
}

// C0 controls, DEL and C1 controls: no font has a glyph for them.
bool IsControlCharacter(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7f && unit <= 0x9f);
}

}  // namespace

void COutputComposer::ComposeAndSend(const CompositionInput& input) {
    m_bComposing = 1;
    // Never write the buffer the runtime may still be reading: take the other one.
    const int32_t frame = m_sender.SwitchToNextFrame();
    m_bTextShown = 0;

    const bool startup = m_bStartupPending == 1;
    if (startup) {
        ComposeStartupFrame(input);
    } else if (m_bTextPending == 1) {
        ComposeTextFrame(input);
    } else {
        m_surfProgramme.Fill(kTransparentBlack);
    }
    m_surfProgramme.CompositeOnto(0, 0, Anchor::kCentre, kCompositeCopy,
                                  m_sender.FramePixels(frame), input.width, input.height);

    m_wait.Wait(kSettleMilliseconds);
    // The start-up frame draws no text, so it tells the link nothing.
    if (input.linkDue && !startup) {
        if (m_bTextShown) {
            m_link.SendText(input.live);
        } else {
            m_link.SendClear();
        }
    }
    m_sender.SendFrame(frame);
    HandProgrammeToPreview(input);
    m_bComposing = 0;
}

void COutputComposer::ComposeStartupFrame(const CompositionInput& input) {
    m_wait.Wait(kSettleMilliseconds);
    m_wait.Wait(kSettleMilliseconds);
    // Blended over whatever the programme holds; it is not cleared first.
    if (HoldsFrame(m_surfProgramme, input.width, input.height)) {
        m_surfStartup.CompositeOnto(0, 0, Anchor::kCentre, kCompositeBlend,
                                    m_surfProgramme.Pixels(), input.width, input.height);
    }
}

void COutputComposer::ComposeTextFrame(const CompositionInput& input) {
    m_surfProgramme.CopyFrom(m_surfBackground);
    DrawKeyedTextBox(input.live);
    if (HoldsFrame(m_surfProgramme, input.width, input.height)) {
        const TextBoxGeometry box = TextBoxGeometry::For(input.width, input.height);
        m_surfText.CompositeOnto(0, box.bottomMargin, Anchor::kBottomCentre, kCompositeCopy,
                                 m_surfProgramme.Pixels(), input.width, input.height);
    }
    m_bTextPending = 0;
    m_bTextShown = 1;
}

void COutputComposer::DrawKeyedTextBox(std::u16string_view text) {
    // A pasted tab or line break would show as the font's missing-glyph box, and
    // some renderers drop the letters after a separator; drawn as a space each, it
    // still parts the words. The live text, and what the link sends, keep them.
    m_strDrawnLine.assign(text.begin(), text.end());
    std::replace_if(m_strDrawnLine.begin(), m_strDrawnLine.end(), IsControlCharacter, u' ');
    // Without a canvas the box keeps what it held; a short read-back is not keyed.
    if (m_surfText.DrawTextLine(m_canvas, m_strDrawnLine) != CanvasResult::kDrawn) {
        return;
    }
    uint32_t* pixels = m_surfText.Pixels();
    const int32_t count = m_surfText.PixelCount();
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        pixels[i] = p != 0 ? (p | kAlphaMask) : kTextBoxBlack;
    }
}

void COutputComposer::HandProgrammeToPreview(const CompositionInput& input) {
    if (!HoldsFrame(m_surfProgramme, input.width, input.height)) {
        return;
    }
    const NDIlib_video_frame_v2_t* sent = m_sender.Frame(m_sender.m_nCurFrame);
    // Descriptors not filled yet carry no aspect; every frame of ours is 16:9.
    const float aspect =
        sent && sent->picture_aspect_ratio > 0.0f ? sent->picture_aspect_ratio : kAspect16By9;
    m_preview.SetFrame(reinterpret_cast<const uint8_t*>(m_surfProgramme.Pixels()), input.width,
                       input.height, input.width * 4, kFourCcRgba, aspect);
    m_preview.Refresh();
}

void COutputComposer::ResetBackground(int32_t width, int32_t height) {
    // Without its picture the background would stay empty and no text could
    // ever reach the output: give it the output size by hand.
    if (m_surfBackground.m_nWidth != width || m_surfBackground.m_nHeight != height ||
        m_surfBackground.m_nBitsPerPixel != 32) {
        m_surfBackground.Resize(width, height);
    }
    m_surfBackground.Fill(kTransparentBlack);
    m_surfProgramme.CopyFrom(m_surfBackground);
}

void COutputComposer::RebuildTextSurface(int32_t width, int32_t height) {
    const TextBoxGeometry box = TextBoxGeometry::For(width, height);
    if (!m_surfText.Resize(box.width, box.height)) {
        return;  // text compositions then show only the background
    }
    m_surfText.m_dwFillPixel = kOpaqueBlack;
    m_surfText.Fill(m_surfText.m_dwFillPixel);
}

void COutputComposer::LoadPictures(int32_t width, int32_t height) {
    m_surfSplash.LoadBitmapResource(m_pictures, kSplashPictureId);
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

void COutputComposer::ScaleBackground(int32_t width, int32_t height) {
    if (m_surfBackground.HasLoadedBitmap()) {
        m_surfBackground.ScaleBitmap(width, height);
    }
}

}  // namespace cuewire
