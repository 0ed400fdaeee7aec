#pragma once

#include "lists/PictureTableWidgets.h"

class QMimeData;

namespace tavorin {

class MessageSink;
class PictureList;

// Picture files dropped from the file manager onto List2: the row limit, the picture endings,
// the duplicate-name test of Check1, the sort of Check3 and the count display.
class PictureDrop {
  public:
    PictureDrop(const PictureTableWidgets& widgets, PictureList& list, MessageSink& messages);

    // A drag is welcome over List2 only while it carries URLs.
    static bool acceptsDrag(const QMimeData* data);

    void List2_OLEDragDrop(const QMimeData* data);

  private:
    void addAcceptedFiles(int acceptedCount);

    PictureTableWidgets widgets_;
    PictureList& list_;
    MessageSink& messages_;
};

} // namespace tavorin
