#include "controls/FaceLayout.h"

#include "geometry/DisplayScale.h"

namespace cuewire {

int FillIndex(int state, int fillCount) {
    return state > 0 && state < fillCount ? state : -1;
}

namespace {
constexpr int kPressOffset = 1;  // at 96 DPI
}  // namespace

CaptionOrigin CentredCaption(const Rect& face, int textWidth, int textHeight, bool pressed,
                             int dpi) {
    CaptionOrigin origin{(face.left + face.right) / 2 - textWidth / 2,
                         (face.top + face.bottom) / 2 - textHeight / 2};
    if (pressed) {
        const int offset = ScaleForDpi(kPressOffset, dpi);
        origin.x += offset;
        origin.y += offset;
    }
    return origin;
}

}  // namespace cuewire
