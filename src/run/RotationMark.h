#pragma once

#include <QString>

#include <optional>

namespace tavorin {

// The rotation marks of the picture list and the turn each one stands for.
namespace rotationMark {
inline const QString none = QStringLiteral("○");       // 0°
inline const QString right = QStringLiteral("→");      // 90°
inline const QString upsideDown = QStringLiteral("↓"); // 180°
inline const QString left = QStringLiteral("←");       // -90°, applied as 270°
} // namespace rotationMark

// The mark a double-click turns this one into: ○ → ↓ ← and back to ○. Any other text stays.
QString nextRotationMark(const QString& mark);

// Clockwise turn in degrees (0, 90, 180, 270); nothing for a text that is no mark.
std::optional<int> rotationDegrees(const QString& mark);

// The mark of a clockwise turn of 90, 180 or 270 degrees; any other number gives the upright mark.
QString rotationMarkFor(int degrees);

} // namespace tavorin
