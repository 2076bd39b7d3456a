#pragma once
#include <cstdint>

// Pixels are 32-bit words 0xAARRGGBB (bytes blue, green, red, alpha in memory),
// rows top-down and packed, colour not premultiplied.
namespace cuewire {

constexpr uint32_t kTransparentBlack = 0x00000000u;
constexpr uint32_t kOpaqueBlack = 0xff000000u;
// The box behind the text: black at about two thirds opacity, so that the
// programme under it stays visible.
constexpr uint8_t kTextBoxAlpha = 175;
constexpr uint32_t kTextBoxBlack = uint32_t{kTextBoxAlpha} << 24;
constexpr uint32_t kAlphaMask = 0xff000000u;

// Every surface can hold a full 1080-line frame from construction.
constexpr int kSurfaceMaxWidth = 1920;
constexpr int kSurfaceMaxHeight = 1080;
constexpr int kSurfaceInitialBytes = kSurfaceMaxWidth * kSurfaceMaxHeight * 4;

// Output frame buffers and the preview buffer are sized for a 4096 x 2160 frame.
constexpr int kFrameBufferBytes = 4096 * 2160 * 4;

// FourCC codes as little-endian words.
constexpr uint32_t kFourCcBgra = 0x41524742u;  // 'B','G','R','A'
constexpr uint32_t kFourCcBgrx = 0x58524742u;  // 'B','G','R','X'
constexpr uint32_t kFourCcRgba = 0x41424752u;  // 'R','G','B','A': surfaces handed to the preview

constexpr float kAspect16By9 = 16.0f / 9.0f;

}  // namespace cuewire
