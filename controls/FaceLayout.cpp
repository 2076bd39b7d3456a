#include "controls/FaceLayout.h"

namespace cuewire {

int FillIndex(int state, int fillCount) {
    return state > 0 && state < fillCount ? state : -1;
}

CaptionOrigin CentredCaption(const FaceRect& face, int textWidth, int textHeight, bool pressed) {
    CaptionOrigin origin{(face.left + face.right) / 2 - textWidth / 2,
                         (face.top + face.bottom) / 2 - textHeight / 2};
    if (pressed) {
        ++origin.x;
        ++origin.y;
    }
    return origin;
}

}  // namespace cuewire
