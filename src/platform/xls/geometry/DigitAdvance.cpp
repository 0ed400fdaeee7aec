#include "platform/xls/geometry/DigitAdvance.h"

#include <QFont>
#include <QGuiApplication>
#include <QRawFont>
#include <QString>

namespace tavorin::xls {

std::optional<double> digitAdvanceEm(std::string_view face)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return std::nullopt;
    // A large pixel size keeps the advance free of hinting and rounding.
    constexpr int pixelSize = 2048;
    QFont font(QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size())));
    font.setPixelSize(pixelSize);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid())
        return std::nullopt;
    const auto glyphs = raw.glyphIndexesForString(QStringLiteral("0"));
    if (glyphs.size() != 1)
        return std::nullopt;
    const auto advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    if (advances.size() != 1 || !(advances.front().x() > 0))
        return std::nullopt;
    return advances.front().x() / pixelSize;
}

} // namespace tavorin::xls
