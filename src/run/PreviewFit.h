#pragma once

#include <optional>

namespace tavorin {

// Where the preview picture goes inside the option frame, in twips.
struct PreviewGeometry {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// The preview box: left 1365, top 1140, width 2450, height 1840 twips.
inline constexpr float previewBoxLeft = 1365.0f;
inline constexpr float previewBoxTop = 1140.0f;
inline constexpr float previewBoxWidth = 2450.0f;
inline constexpr float previewBoxHeight = 1840.0f;

// Scales a picture of natural size width x height (twips) to the largest size that fits the box
// with its aspect ratio kept and centres it there; one side always touches the box. Worked in
// single precision, as the window has always done, so that the edge cases round the same way.
// Nothing for a picture without area (it cannot be scaled).
std::optional<PreviewGeometry> fitPreview(float naturalWidth, float naturalHeight);

} // namespace tavorin
