// Drawings per second of the text canvas at the output's two text boxes.
// Prints figures; asserts nothing.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "video/win/DWriteTextCanvas.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

}  // namespace

long long WorkingSetKiB() {
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<long long>(counters.WorkingSetSize) / 1024;
}

int main(int argc, char** argv) {
    const int drawings = argc > 1 ? std::atoi(argv[1]) : 500;
    struct Box {
        int width, height, cell;
    };
    const Box boxes[] = {{1097, 120, 84}, {1645, 180, 126}};
    // A Latin line that fits, one in CJK fonts found by fallback, one that
    // shrinks to fit, and one too long even at half the cell.
    const std::u16string texts[] = {u"Next: the weather with Anna Lindqvist",
                                    u"\u6771\u4EAC\u306E\u5929\u6C17 \uC11C\uC6B8 \u5317\u4EAC",
                                    u"WELCOME TO THE ANNUAL GENERAL MEETING",
                                    std::u16string(10000, u'x')};
    {
        cuewire::CDWriteTextCanvas canvas(GetModuleHandleW(nullptr));
        for (const Box& box : boxes) {
            std::vector<uint32_t> pixels(size_t(box.width) * box.height);
            for (const std::u16string& text : texts) {
                canvas.DrawLine(text, box.cell, box.width, box.height, pixels.data());  // warm up
                LARGE_INTEGER start, end;
                const long long memoryBefore = WorkingSetKiB();
                QueryPerformanceCounter(&start);
                for (int i = 0; i < drawings; ++i) {
                    canvas.DrawLine(text, box.cell, box.width, box.height, pixels.data());
                }
                QueryPerformanceCounter(&end);
                const double seconds = Seconds(start, end);
                std::printf(
                    "%dx%d cell %d, %zu code units: %.1f drawings/s (%.2f ms each), "
                    "working set %+lld KiB\n",
                    box.width, box.height, box.cell, text.size(), drawings / seconds,
                    1000.0 * seconds / drawings, WorkingSetKiB() - memoryBefore);
            }
        }
    }
    return 0;
}
