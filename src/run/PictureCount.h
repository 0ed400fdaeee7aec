#pragma once

#include <QString>

#include <optional>

namespace tavorin {

// Caption of the count display for n rows: a blank and three digits (" 000", " 007", " 042",
// " 999"). From 1000 on there is no caption and the display keeps what it showed.
std::optional<QString> countDisplayText(qsizetype rows);

} // namespace tavorin
