#include "platform/xls/geometry/ColumnWidthUnits.h"

#include <algorithm>
#include <cmath>

namespace tavorin::xls::column_width {
namespace {

int safeMdw(int mdw) { return std::max(mdw, 1); }

} // namespace

int paddingPixels(int mdw)
{
    mdw = safeMdw(mdw);
    const int side = std::max(2, (mdw + 3) / 4);
    return 2 * side + 1;
}

int pixelsFromColdx(int coldx, int mdw)
{
    mdw = safeMdw(mdw);
    coldx = std::clamp(coldx, 0, 0xFFFF);
    // Integer form of the formula: (coldx + trunc(128/MDW)) * MDW / 256, truncated.
    return (coldx + 128 / mdw) * mdw / 256;
}

int coldxFromPixels(int pixels, int mdw)
{
    mdw = safeMdw(mdw);
    pixels = std::max(pixels, 0);
    return std::min(pixels * 256 / mdw, 0xFFFF);
}

int pixelsFromDefaultCharacters(int characters, int mdw)
{
    mdw = safeMdw(mdw);
    characters = std::clamp(characters, 0, 255);
    const int pixels = characters * mdw + paddingPixels(mdw);
    return (pixels + 7) / 8 * 8;
}

double charactersFromPixels(int pixels, int mdw)
{
    mdw = safeMdw(mdw);
    if (pixels <= 0)
        return 0.0;
    const int padding = paddingPixels(mdw);
    const double characters = pixels >= mdw + padding ? double(pixels - padding) / mdw
                                                      : double(pixels) / (mdw + padding);
    return std::floor(characters * 100.0 + 0.5) / 100.0;
}

int pixelsFromCharacters(double characters, int mdw)
{
    mdw = safeMdw(mdw);
    if (!(characters > 0.0))
        return 0;
    characters = std::min(characters, 255.0);
    const int padding = paddingPixels(mdw);
    if (characters < 1.0)
        return static_cast<int>(std::floor(characters * (mdw + padding) + 0.5));
    return static_cast<int>(std::floor(characters * mdw + 0.5)) + padding;
}

} // namespace tavorin::xls::column_width
