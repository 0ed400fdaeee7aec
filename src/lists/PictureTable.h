#pragma once

#include "lists/PictureTableWidgets.h"

#include <QObject>

namespace tavorin {

class MessageSink;

// The picture side of the window: the four parallel lists and everything that fills, orders
// and shows them. Form1 creates the controls and hands them over here.
class PictureTable : public QObject {
    Q_OBJECT
public:
    PictureTable(const PictureTableWidgets& widgets, MessageSink& messages, QObject* parent = nullptr);

private:
    PictureTableWidgets widgets_;
    MessageSink& messages_;
};

} // namespace tavorin
