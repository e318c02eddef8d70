#include "preview_place.h"

#include <cstdint>

namespace {

// numerator / denominator rounded to the nearest whole number, at least 1.
int RoundedAtLeastOne(int64_t numerator, int64_t denominator)
{
    int64_t value = (numerator + denominator / 2) / denominator;
    return value < 1 ? 1 : static_cast<int>(value);
}

}  // namespace

PreviewPlace FitPictureInArea(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight)
{
    PreviewPlace place = {0, 0, 0, 0};
    if (areaWidth < 1 || areaHeight < 1 || pictureWidth < 1 || pictureHeight < 1)
        return place;
    // Compared as cross products, so that no rounding decides which side fills.
    const int64_t wide = static_cast<int64_t>(pictureWidth) * areaHeight;
    const int64_t tall = static_cast<int64_t>(pictureHeight) * areaWidth;
    if (wide >= tall) {
        place.width = areaWidth;
        place.height = RoundedAtLeastOne(static_cast<int64_t>(pictureHeight) * areaWidth, pictureWidth);
    } else {
        place.height = areaHeight;
        place.width = RoundedAtLeastOne(static_cast<int64_t>(pictureWidth) * areaHeight, pictureHeight);
    }
    place.left = (areaWidth - place.width) / 2;
    place.top = (areaHeight - place.height) / 2;
    return place;
}
