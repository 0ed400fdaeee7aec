#pragma once

#include "lists/PictureTableWidgets.h"

#include <QObject>

#include <cstdint>

namespace tavorin {

class PictureList;
class PicturePreview;

// Keeps the visible lists on one current row and one top row, and previews the current picture.
// A list set to the row it already has reports nothing, which is what ends the mutual updates.
class ListSynchronisation : public QObject {
    Q_OBJECT
  public:
    ListSynchronisation(const PictureTableWidgets& widgets, const PictureList& list, PicturePreview& preview,
                        QObject* parent = nullptr);

    // Press on List5 with any button, and pointer moves over it (Button as a bit set).
    void List5_MouseDown();
    void List5_MouseMove(std::int16_t button);

  private:
    void List2_Click();
    void List4_Click();
    void List2_Scroll();
    void List4_Scroll();
    void followList(const QListWidget* leader);

    PictureTableWidgets widgets_;
    const PictureList& list_;
    PicturePreview& preview_;
    bool copyingTopRow_ = false;
};

} // namespace tavorin
