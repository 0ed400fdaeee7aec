#include "run/PictureCount.h"

namespace tavorin {

std::optional<QString> countDisplayText(qsizetype rows)
{
    if (rows < 0 || rows >= 1000)
        return std::nullopt;
    return QStringLiteral(" %1").arg(rows, 3, 10, QLatin1Char('0'));
}

} // namespace tavorin
