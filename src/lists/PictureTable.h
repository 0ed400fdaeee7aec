#pragma once

#include "lists/PictureTableWidgets.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class QMimeData;
class QMouseEvent;

namespace tavorin {

class MessageSink;
class ListDragReorder;
class ListSynchronisation;
class PictureDrop;
class PictureList;
class PicturePreview;
class RotationMarks;

// The picture side of the window: the four parallel lists and everything that fills, orders
// and shows them. Form1 creates the controls and hands them over here; this object listens to
// their events (file drops and mouse on List2, mouse on List4 and List5, selection and
// scrolling, the Clear button) and runs the matching handlers.
class PictureTable : public QObject {
    Q_OBJECT
  public:
    PictureTable(const PictureTableWidgets& widgets, MessageSink& messages, QObject* parent = nullptr);
    ~PictureTable() override;

    const PictureList& pictureList() const { return *list_; }

    // Row last found under the pointer: pressed on List2, or pointed at in List4.
    std::int32_t pointedIndex() const { return pointedIndex_; }
    // 0 idle, 1 pressed on a row of List2, 2 dragging it.
    std::int16_t dragState() const;
    // The drag cursor's picture (the program's resource by default).
    void setDragCursorFile(const QString& file);

    // Files dropped on List2 (also the pictures the program was started with).
    void List2_OLEDragDrop(const QMimeData* data);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void configureLists();
    bool filterList2Drop(QEvent* event);
    bool filterList2Mouse(QEvent* event);
    bool filterList4Mouse(QEvent* event);
    bool filterList5Mouse(QEvent* event);
    void LISTClear_Click();

    PictureTableWidgets widgets_;
    QObject* list2Viewport_ = nullptr;
    QObject* list4Viewport_ = nullptr;
    QObject* list5Viewport_ = nullptr;
    std::int32_t pointedIndex_ = -1;
    std::unique_ptr<PictureList> list_;
    PicturePreview* preview_ = nullptr; // child QObject
    std::unique_ptr<PictureDrop> drop_;
    ListSynchronisation* synchronisation_ = nullptr; // child QObject
    std::unique_ptr<ListDragReorder> dragReorder_;
    std::unique_ptr<RotationMarks> rotationMarks_;
};

} // namespace tavorin
