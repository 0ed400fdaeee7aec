#pragma once

// Bitmaps that the tests make themselves, for the kinds and resolutions no fixture has.

#include "support/SamplePictures.h"

namespace tavorin::test {

// A 300 x 150 picture of many colours stating 300 dpi across and 150 dpi down, encoded by Qt in
// the given format ("bmp", "tiff", "jpg", "png").
PictureBytes denseBitmap(const char* format);
// The JPEG given (whose JFIF density has no unit) with an EXIF block after its JFIF segment
// stating 220 x 110 pixels per inch, big-endian.
PictureBytes jpegWithExifResolution(const PictureBytes& jpeg);
// A 4 x 2 bitmap, 8 bits per pixel, RLE8-compressed: bottom row red red green green, top blue.
PictureBytes rle8Bitmap();

} // namespace tavorin::test
