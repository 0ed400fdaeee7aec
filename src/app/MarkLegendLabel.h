#pragma once

#include <QLabel>

namespace tavorin {

// The legend of the rotation marks. Its caption is one run of text; it is drawn with each mark
// starting a line of its own, the way the narrow label wraps it.
class MarkLegendLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavorin
