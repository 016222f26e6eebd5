#include "picture/picture_size.h"

#include <algorithm>

namespace gs {

PictureSize choosePictureSize(int areaW, int areaH, int scale) {
    scale = std::clamp(scale, 1, CHOSEN_SCALE_MAX);
    return {std::clamp(std::max(areaW, 0) / scale, BATTLEFIELD_W, CHOSEN_SIDE_MAX),
            std::clamp(std::max(areaH, 0) / scale, BATTLE_H, CHOSEN_SIDE_MAX)};
}

int chooseScale(int areaW, int areaH) {
    const int factor = std::min(areaW / BATTLEFIELD_W, areaH / BATTLE_H);
    return std::clamp(factor, 1, CHOSEN_SCALE_MAX);
}

} // namespace gs
