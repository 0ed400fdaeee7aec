#pragma once

#include "support/SamplePictures.h"

namespace tavorin::test {

// The PNG given with its pHYs chunk (pixels per metre on each axis) written by hand after its
// IHDR chunk, in place of any it had: a picture whose two axes have different resolutions, as
// scanners write them.
PictureBytes pngWithResolution(const PictureBytes& png, double dpiX, double dpiY);

} // namespace tavorin::test
