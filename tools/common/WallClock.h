#pragma once
// The wall clock in milliseconds since 1970, as precise as the platform keeps
// it. Under Wine this is the host's clock, the one `date +%s%3N` reads, so a
// tool's times and a shell script's can be set side by side.
#include <windows.h>

namespace cuewire {

inline long long UnixMilliseconds() {
    constexpr long long kTicksFrom1601To1970 = 116444736000000000LL;  // in 100 ns
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const long long ticks = (static_cast<long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - kTicksFrom1601To1970) / 10000;
}

}  // namespace cuewire
