#include "run/PreviewFit.h"

#include <cmath>

namespace tavorin {

std::optional<PreviewGeometry> fitPreview(float naturalWidth, float naturalHeight)
{
    if (!(naturalWidth > 0.0f) || !(naturalHeight > 0.0f) || !std::isfinite(naturalWidth) ||
        !std::isfinite(naturalHeight))
        return std::nullopt;

    const float boxRatio = previewBoxHeight / previewBoxWidth;
    const float pictureRatio = naturalHeight / naturalWidth;
    // A picture relatively wider than the box fills its width, otherwise its height.
    const float scale =
        boxRatio >= pictureRatio ? previewBoxWidth / naturalWidth : previewBoxHeight / naturalHeight;

    PreviewGeometry geometry;
    geometry.width = naturalWidth * scale;
    geometry.left = (previewBoxWidth - naturalWidth * scale) / 2.0f + previewBoxLeft;
    geometry.height = naturalHeight * scale;
    geometry.top = (previewBoxHeight - naturalHeight * scale) / 2.0f + previewBoxTop;
    return geometry;
}

} // namespace tavorin
