// Drawings per second of the GDI text canvas at the output's two text boxes.
// Prints figures; asserts nothing.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "video/win/GdiOwners.h"
#include "video/win/GdiTextCanvas.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    const int drawings = argc > 1 ? std::atoi(argv[1]) : 500;
    struct Box {
        int width, height, cell;
    };
    const Box boxes[] = {{1097, 120, 84}, {1645, 180, 126}};
    const std::u16string texts[] = {u"Next: the weather with Anna Lindqvist",
                                    std::u16string(10000, u'x')};
    {
        // Ends before the counts are printed, with its bundled face registration.
        cuewire::CGdiTextCanvas canvas(nullptr, GetModuleHandleW(nullptr));
        for (const Box& box : boxes) {
            std::vector<uint32_t> pixels(size_t(box.width) * box.height);
            for (const std::u16string& text : texts) {
                canvas.DrawLine(text, box.cell, box.width, box.height, pixels.data());  // warm up
                LARGE_INTEGER start, end;
                QueryPerformanceCounter(&start);
                for (int i = 0; i < drawings; ++i) {
                    canvas.DrawLine(text, box.cell, box.width, box.height, pixels.data());
                }
                QueryPerformanceCounter(&end);
                const double seconds = Seconds(start, end);
                std::printf("%dx%d cell %d, %zu code units: %.1f drawings/s (%.2f ms each)\n",
                            box.width, box.height, box.cell, text.size(), drawings / seconds,
                            1000.0 * seconds / drawings);
            }
        }
    }
    const char* names[] = {"window DC", "memory DC", "bitmap", "font", "private font"};
    for (int kind = 0; kind < static_cast<int>(cuewire::GdiKind::kCount); ++kind) {
        const auto& counts = cuewire::GdiCounts(static_cast<cuewire::GdiKind>(kind));
        std::printf("%s: created %ld, released %ld, failed releases %ld\n", names[kind],
                    counts.created, counts.released, counts.failedReleases);
    }
    return 0;
}
