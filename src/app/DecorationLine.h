#pragma once

#include <QPoint>
#include <QWidget>

namespace tavorin {

// A drawn line between two points of its parent (in twips), optionally with an arrow head at
// the end point. Pure decoration: it takes no mouse events and no focus.
class DecorationLine : public QWidget {
public:
    enum class Head { None, Arrow };

    DecorationLine(QWidget* parent, QPoint fromTwips, QPoint toTwips, int penWidth, Head head = Head::None);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint from_; // in this widget's pixels
    QPoint to_;
    int penWidth_;
    Head head_;
};

} // namespace tavorin
