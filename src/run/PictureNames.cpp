#include "run/PictureNames.h"

#include <algorithm>

namespace tavorin {

namespace {
constexpr qsizetype extensionLength = 4;
}

bool hasPictureExtension(const QString& path)
{
    const QString ending = path.right(extensionLength).toLower();
    const std::u16string_view endingView(reinterpret_cast<const char16_t*>(ending.utf16()),
                                         static_cast<std::size_t>(ending.size()));
    return std::ranges::find(pictureExtensionTable, endingView) != pictureExtensionTable.end();
}

QString displayNameOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return QStringLiteral(" ") + path.mid(slash + 1);
}

QString nameKey(const QString& displayText)
{
    QString key = displayText.left(std::max<qsizetype>(0, displayText.size() - extensionLength));
    qsizetype blanks = 0;
    while (blanks < key.size() && key.at(blanks) == u' ')
        ++blanks;
    return key.mid(blanks);
}

QString sortKey(const QString& displayText)
{
    return displayText.toLower();
}

} // namespace tavorin
