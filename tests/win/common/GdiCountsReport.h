#pragma once
#include <cstdio>

#include "win32/GdiOwners.h"

namespace cuewire {

// One line per kind of GDI object: how many the owners created and released,
// each line opened by `prefix`.
inline void PrintGdiCounts(const char* prefix) {
    const char* names[] = {"window DC", "memory DC", "bitmap", "font", "private font"};
    static_assert(sizeof names / sizeof names[0] == static_cast<size_t>(GdiKind::kCount));
    for (int kind = 0; kind < static_cast<int>(GdiKind::kCount); ++kind) {
        const GdiKindCounts& counts = GdiCounts(static_cast<GdiKind>(kind));
        std::printf("%s%s: created %ld, released %ld, failed releases %ld\n", prefix, names[kind],
                    counts.created, counts.released, counts.failedReleases);
    }
}

}  // namespace cuewire
