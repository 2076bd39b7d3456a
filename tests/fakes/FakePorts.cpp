#include "tests/fakes/FakePorts.h"

#include <algorithm>
#include <cstdlib>

namespace cuewire::testing {

CanvasResult BlockTextCanvas::DrawLine(std::u16string_view text, int cellHeight, int width,
                                       int height, uint32_t* pixels) {
    texts.emplace_back(text);
    cellHeights.push_back(cellHeight);
    if (result == CanvasResult::kNoCanvas) {
        return result;
    }
    std::fill_n(pixels, static_cast<size_t>(width) * height, 0u);
    const long long glyphWidth = std::max(1, cellHeight / 2);
    const long long lineWidth = glyphWidth * static_cast<long long>(text.size());
    const long long left = (width - lineWidth) / 2;
    const int top = std::max(0, (height - cellHeight) / 2);
    const int bottom = std::min(height, top + cellHeight);
    // Glyphs run by run, cut at the box edges like a line too long for the box.
    for (long long glyphLeft = left; glyphLeft < left + lineWidth && glyphLeft < width;
         glyphLeft += glyphWidth) {
        const long long begin = std::max(0LL, glyphLeft);
        const long long end = std::min<long long>(width, glyphLeft + glyphWidth);
        if (end <= begin) {
            continue;
        }
        for (int y = top; y < bottom; ++y) {
            uint32_t* row = pixels + static_cast<size_t>(y) * width;
            std::fill(row + begin, row + end, kGlyphWhite);
            if (glyphLeft >= 0) {
                row[glyphLeft] = kGlyphEdgeGrey;
            }
        }
    }
    return result;
}

bool MemoryPictures::Load(int resourceId, LoadedBitmap& out) {
    const auto found = pictures.find(resourceId);
    if (found == pictures.end()) {
        return false;
    }
    out = found->second;
    return true;
}

void MemoryPictures::Add(int resourceId, int width, int height, int bitsPerPixel, uint32_t pixel) {
    LoadedBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bitsPerPixel = bitsPerPixel;
    bitmap.pixels.assign(static_cast<size_t>(width) * height, pixel);
    pictures[resourceId] = std::move(bitmap);
}

uint32_t* CountingFrameBuffers::Allocate(size_t words) {
    ++requests;
    if (failAt != 0 && requests >= failAt && (failUntil == 0 || requests <= failUntil)) {
        return nullptr;
    }
    auto* block = static_cast<uint32_t*>(std::calloc(words, sizeof(uint32_t)));
    if (block) {
        ++live;
        m_liveBlocks[block] = words;
    }
    return block;
}

void CountingFrameBuffers::Free(uint32_t* buffer) {
    if (buffer) {
        --live;
        m_liveBlocks.erase(buffer);
        std::free(buffer);
    }
}

void CountingFrameBuffers::FillLive(uint32_t word) {
    for (const auto& [block, words] : m_liveBlocks) {
        std::fill_n(block, words, word);
    }
}

}  // namespace cuewire::testing
