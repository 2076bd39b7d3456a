#pragma once
// Small fakes of the output's ports: a text canvas that draws blocks, pictures
// made in memory, and recorders of waits, what the output tells its follower
// and preview updates.
#include <map>
#include <string>
#include <vector>

#include "video/BitmapResources.h"
#include "video/OutputFollower.h"
#include "video/PixelBlockAllocator.h"
#include "video/Preview.h"
#include "video/TextCanvas.h"
#include "video/Wait.h"

namespace cuewire::testing {

constexpr uint32_t kGlyphWhite = 0x00ffffffu;
constexpr uint32_t kGlyphEdgeGrey = 0x00808080u;

// Draws each code unit as a white block half a cell wide, with a grey left
// edge, centred in the box and cut at its edges, like a line of text.
class BlockTextCanvas final : public ITextCanvas {
  public:
    CanvasResult DrawLine(std::u16string_view text, int cellHeight, int width, int height,
                          uint32_t* pixels) override;

    CanvasResult result = CanvasResult::kDrawn;  // kNoCanvas leaves pixels alone
    std::vector<std::u16string> texts;
    std::vector<int> cellHeights;
};

class MemoryPictures final : public IBitmapResources {
  public:
    bool Load(int resourceId, LoadedBitmap& out) override;
    void Add(int resourceId, int width, int height, int bitsPerPixel, uint32_t pixel);

    std::map<int, LoadedBitmap> pictures;
};

class RecordingWait final : public IWait {
  public:
    void Wait(int milliseconds) override { waits.push_back(milliseconds); }
    std::vector<int> waits;
};

struct LinkEvent {
    bool clear = false;
    std::u16string text;
    int sendsBefore = 0;  // frames the runtime had received when the link was told
};

// What the output told its follower (the text link, in the program).
class RecordingFollower final : public IOutputFollower {
  public:
    explicit RecordingFollower(const int* sendCounter = nullptr) : m_sendCounter(sendCounter) {}
    void TextShown(std::u16string_view text) override {
        events.push_back({false, std::u16string(text), m_sendCounter ? *m_sendCounter : 0});
    }
    void TextCleared() override {
        events.push_back({true, {}, m_sendCounter ? *m_sendCounter : 0});
    }

    std::vector<LinkEvent> events;

  private:
    const int* m_sendCounter;
};

// The preview window as a recorder of the images it was handed.
class RecordingPreviewWindow final : public IPreviewWindow {
  public:
    void Show(const uint8_t* bits, const PreviewBitmapDescription& description) override {
        lastBits = bits;
        lastDescription = description;
        ++shows;
    }

    const uint8_t* lastBits = nullptr;
    PreviewBitmapDescription lastDescription;
    int shows = 0;
};

// Zero-page blocks from the C library (calloc), counted, that run out of memory on
// request `failAt` (1-based; 0 never) and every request after it, or up to
// request `failUntil` where that is set.
class CountingFrameBuffers final : public IPixelBlockAllocator {
  public:
    uint32_t* Allocate(size_t words) override;
    void Free(uint32_t* buffer) override;
    // Scribbles over every block handed out and not yet freed.
    void FillLive(uint32_t word);

    int failAt = 0;
    int failUntil = 0;
    int requests = 0;
    int live = 0;  // handed out and not yet freed

  private:
    std::map<uint32_t*, size_t> m_liveBlocks;  // words of each
};

}  // namespace cuewire::testing
