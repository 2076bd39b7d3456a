#include "video/AreaResample.h"

#include <memory>
#include <new>

namespace cuewire {

namespace {

// One destination sample along an axis: the run of source samples it covers
// and each one's coverage. Coordinates are scaled by the destination length so
// that every weight is an integer and the weights of a sample sum to the
// source length.
struct AxisTaps {
    std::unique_ptr<int[]> first;   // first source index per destination index
    std::unique_ptr<int[]> count;   // number of source indices
    std::unique_ptr<int[]> weight;  // weights, `maxTaps` per destination index
    int maxTaps = 0;

    bool Build(int sourceLength, int destLength) {
        maxTaps = sourceLength / destLength + 2;
        first.reset(new (std::nothrow) int[destLength]);
        count.reset(new (std::nothrow) int[destLength]);
        weight.reset(new (std::nothrow) int[static_cast<size_t>(destLength) * maxTaps]);
        if (!first || !count || !weight) {
            return false;
        }
        for (int d = 0; d < destLength; ++d) {
            const long long begin = static_cast<long long>(d) * sourceLength;
            const long long end = begin + sourceLength;
            const int s0 = static_cast<int>(begin / destLength);
            int n = 0;
            for (int s = s0; s < sourceLength && static_cast<long long>(s) * destLength < end;
                 ++s) {
                const long long cellBegin = static_cast<long long>(s) * destLength;
                const long long cellEnd = cellBegin + destLength;
                const long long overlap =
                    (cellEnd < end ? cellEnd : end) - (cellBegin > begin ? cellBegin : begin);
                weight[static_cast<size_t>(d) * maxTaps + n++] = static_cast<int>(overlap);
            }
            first[d] = s0;
            count[d] = n;
        }
        return true;
    }
};

inline unsigned Channel(uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xffu;
}

}  // namespace

bool AreaResample(const uint32_t* source, int sourceWidth, int sourceHeight, uint32_t* dest,
                  int destWidth, int destHeight) {
    if (!source || !dest || sourceWidth <= 0 || sourceHeight <= 0 || destWidth <= 0 ||
        destHeight <= 0) {
        return false;
    }
    AxisTaps columns;
    AxisTaps rows;
    if (!columns.Build(sourceWidth, destWidth) || !rows.Build(sourceHeight, destHeight)) {
        return false;
    }
    // Horizontal pass: per channel sums, still scaled by sourceWidth.
    const size_t rowSamples = static_cast<size_t>(destWidth) * 4;
    std::unique_ptr<uint32_t[]> horizontal(
        new (std::nothrow) uint32_t[rowSamples * static_cast<size_t>(sourceHeight)]);
    if (!horizontal) {
        return false;
    }
    for (int sy = 0; sy < sourceHeight; ++sy) {
        const uint32_t* in = source + static_cast<size_t>(sy) * sourceWidth;
        uint32_t* out = horizontal.get() + static_cast<size_t>(sy) * rowSamples;
        for (int dx = 0; dx < destWidth; ++dx) {
            uint32_t sum[4] = {0, 0, 0, 0};
            const int* w = &columns.weight[static_cast<size_t>(dx) * columns.maxTaps];
            const uint32_t* px = in + columns.first[dx];
            for (int t = 0; t < columns.count[dx]; ++t) {
                for (int c = 0; c < 4; ++c) {
                    sum[c] += Channel(px[t], c * 8) * static_cast<uint32_t>(w[t]);
                }
            }
            for (int c = 0; c < 4; ++c) {
                out[dx * 4 + c] = sum[c];
            }
        }
    }
    // Vertical pass, then divide by the whole area with rounding.
    const unsigned long long area = static_cast<unsigned long long>(sourceWidth) *
                                    static_cast<unsigned long long>(sourceHeight);
    for (int dy = 0; dy < destHeight; ++dy) {
        const int* w = &rows.weight[static_cast<size_t>(dy) * rows.maxTaps];
        uint32_t* out = dest + static_cast<size_t>(dy) * destWidth;
        for (int dx = 0; dx < destWidth; ++dx) {
            unsigned long long sum[4] = {0, 0, 0, 0};
            for (int t = 0; t < rows.count[dy]; ++t) {
                const uint32_t* in = horizontal.get() +
                                     static_cast<size_t>(rows.first[dy] + t) * rowSamples + dx * 4;
                for (int c = 0; c < 4; ++c) {
                    sum[c] += static_cast<unsigned long long>(in[c]) * static_cast<unsigned>(w[t]);
                }
            }
            uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c) {
                pixel |= static_cast<uint32_t>((sum[c] + area / 2) / area) << (c * 8);
            }
            out[dx] = pixel;
        }
    }
    return true;
}

}  // namespace cuewire
