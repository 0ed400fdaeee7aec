#include "app/DecorationLine.h"

#include "app/Twips.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tavorin {

namespace {
constexpr int arrowLength = 7;
constexpr int margin = arrowLength;
} // namespace

DecorationLine::DecorationLine(QWidget* parent, QPoint fromTwips, QPoint toTwips, int penWidth, Head head)
    : QWidget(parent), penWidth_(penWidth), head_(head)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    const QPoint from(twipsToPixels(fromTwips.x()), twipsToPixels(fromTwips.y()));
    const QPoint to(twipsToPixels(toTwips.x()), twipsToPixels(toTwips.y()));
    const QRect bounds = QRect(from, to).normalized().adjusted(-margin, -margin, margin, margin);
    setGeometry(bounds);
    from_ = from - bounds.topLeft();
    to_ = to - bounds.topLeft();
}

void DecorationLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, penWidth_, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from_, to_);
    if (head_ != Head::Arrow)
        return;
    const double angle = std::atan2(double(to_.y() - from_.y()), double(to_.x() - from_.x()));
    const double spread = 0.45;
    QPainterPath arrow;
    arrow.moveTo(to_);
    arrow.lineTo(to_.x() - arrowLength * std::cos(angle - spread), to_.y() - arrowLength * std::sin(angle - spread));
    arrow.lineTo(to_.x() - arrowLength * std::cos(angle + spread), to_.y() - arrowLength * std::sin(angle + spread));
    arrow.closeSubpath();
    painter.fillPath(arrow, Qt::black);
}

} // namespace tavorin
