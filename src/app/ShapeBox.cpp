#include "app/ShapeBox.h"

#include <QPainter>

namespace tavorin {

ShapeBox::ShapeBox(QWidget* parent, QColor fill, QColor border) : QWidget(parent), fill_(fill), border_(border)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (fill_.isValid())
        painter.fillRect(rect(), fill_);
    if (border_.isValid()) {
        painter.setPen(border_);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace tavorin
