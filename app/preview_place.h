// Where the preview shows a picture inside the frame's inner area: as large
// as fits whole, keeping the picture's shape, centred, as the player shows
// it. Portable: tested without a window.
#pragma once

// A rectangle inside the area: offset from its top-left corner, and size.
struct PreviewPlace {
    int left;
    int top;
    int width;
    int height;
};

// The place of a pictureWidth x pictureHeight picture in an area of
// areaWidth x areaHeight pixels: one side fills the area, the other is
// rounded to the nearest pixel (at least 1) and centred. All zero when a
// size is not positive.
PreviewPlace FitPictureInArea(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight);
