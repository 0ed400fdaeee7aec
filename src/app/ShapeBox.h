#pragma once

#include <QColor>
#include <QWidget>

namespace tavorin {

// A drawn rectangle: an optional fill and an optional one-pixel outline. It lies behind the
// controls it frames and lets mouse events and drops through to what is beneath it.
class ShapeBox : public QWidget {
public:
    ShapeBox(QWidget* parent, QColor fill, QColor border);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
    QColor border_;
};

} // namespace tavorin
