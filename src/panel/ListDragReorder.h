#pragma once

#include "lists/PictureTableWidgets.h"

#include <QPoint>
#include <QString>

#include <cstdint>

namespace tavorin {

class PictureList;
class PicturePreview;

// Reordering the pictures by dragging a row of List2 onto another row. Done by hand with the
// press, move and release of List2 rather than with Qt's item drag, which stays switched off so
// that only file drops from outside use the toolkit's drag and drop.
class ListDragReorder {
  public:
    enum DragState : std::int16_t { Idle = 0, Pressed = 1, Dragging = 2 };

    ListDragReorder(const PictureTableWidgets& widgets, PictureList& list, PicturePreview& preview,
                    std::int32_t& pointedIndex);

    // Button is the bit set of the buttons (1 left, 2 right, 4 middle); X and Y in twips; the
    // viewport position finds the row under the pointer.
    void List2_MouseDown(std::int16_t button, float x, float y, const QPoint& viewportPosition);
    void List2_MouseMove(std::int16_t button, float x, float y, const QPoint& viewportPosition);
    void List2_MouseUp(const QPoint& viewportPosition);

    std::int16_t dragState() const { return dragState_; }
    std::int32_t dropIndex() const { return dropIndex_; }

    // The drag cursor's picture; a file that cannot be loaded leaves the normal pointer.
    void setDragCursorFile(const QString& file) { dragCursorFile_ = file; }

  private:
    void showDragCursor();
    void resetCursor();
    void moveHeldRow();

    PictureTableWidgets widgets_;
    PictureList& list_;
    PicturePreview& preview_;
    std::int32_t& pointedIndex_;

    std::int16_t dragState_ = Idle;
    std::int32_t dropIndex_ = -1;
    std::int32_t pressX_ = 0;
    std::int32_t pressY_ = 0;
    QString heldName_;
    QString heldPath_;
    QString heldMark_;
    QString dragCursorFile_ = QStringLiteral(":/fhnwse.png");
};

} // namespace tavorin
