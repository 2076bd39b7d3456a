#pragma once
// How the colour controls lay out their face: which fill colour a state picks,
// and where the caption goes.

#include "geometry/Rect.h"

namespace cuewire {


struct CaptionOrigin {
    int x = 0;
    int y = 0;
};

// The fill entry for `state` among `fillCount` colours, or -1 for no fill:
// state 0 means no fill, and a state outside the table draws none either.
int FillIndex(int state, int fillCount);

// The caption is centred by integer halves that truncate toward zero, so a
// caption wider or taller than the face starts before it and is cut on both sides.
// The top-left of a `textWidth` x `textHeight` caption centred on `face`. A
// button held down shows its caption one pixel right and one down at 96 DPI,
// scaled by `dpi`.
CaptionOrigin CentredCaption(const Rect& face, int textWidth, int textHeight, bool pressed,
                             int dpi);

}  // namespace cuewire
