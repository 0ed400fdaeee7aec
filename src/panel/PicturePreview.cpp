#include "panel/PicturePreview.h"

#include "app/Twips.h"
#include "platform/pictures/PictureSource.h"
#include "run/PreviewFit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace tavorin {

namespace {

int floatTwipsToPixels(float twips)
{
    return static_cast<int>(std::lround(twips / static_cast<float>(twipsPerPixel)));
}

QRect pixelRect(const PreviewGeometry& geometry)
{
    return {floatTwipsToPixels(geometry.left), floatTwipsToPixels(geometry.top),
            std::max(1, floatTwipsToPixels(geometry.width)),
            std::max(1, floatTwipsToPixels(geometry.height))};
}

QString itemText(const QListWidget* list, int row)
{
    const QListWidgetItem* item = row >= 0 ? list->item(row) : nullptr;
    return item != nullptr ? item->text() : QString();
}

} // namespace

PicturePreview::PicturePreview(const PictureTableWidgets& widgets, QObject* parent)
    : QObject(parent), widgets_(widgets)
{
}

void PicturePreview::showPreview()
{
    // Setting List4's row below runs its handler, which asks for a preview again; and the events
    // processed first may ask as well. The running preview reads the current row only after
    // those, so a nested request is served by it, or by one more round if the row moved.
    if (running_) {
        requestedAgain_ = true;
        return;
    }
    running_ = true;
    QPointer<PicturePreview> alive(this);
    int shownRow = -1;
    do {
        requestedAgain_ = false;
        QCoreApplication::processEvents();
        if (alive.isNull())
            return;
        shownRow = widgets_.List2->currentRow();
        showPictureOfRow(shownRow);
        if (alive.isNull())
            return;
    } while (requestedAgain_ && widgets_.List2->currentRow() != shownRow);
    running_ = false;
}

void PicturePreview::showPictureOfRow(int row)
{
    widgets_.List3->setCurrentRow(row);
    widgets_.List4->setCurrentRow(row);
    widgets_.List5->setCurrentRow(row);
    widgets_.Label7->hide();

    const QString path = itemText(widgets_.List3, row);
    widgets_.Image1->hide();
    widgets_.Image1->setScaledContents(false);
    if (!loadPicture(path)) {
        // Unreadable, gone or without area: the preview stays empty.
        widgets_.Image1->clear();
        return;
    }
    widgets_.Image1->setScaledContents(true);
    widgets_.Image1->show();
}

bool PicturePreview::loadPicture(const QString& path)
{
    if (path.isEmpty())
        return false;
    // The picture as the run places it: as photo viewers show it (its orientation applied) while
    // the orientation option is on, as stored otherwise; HEIC through libheif like the engines.
    const bool upright = widgets_.Check10 == nullptr || widgets_.Check10->isChecked();
    pictures::PictureSource source(path, upright);
    const QSize naturalPixels = source.shownSize();
    if (naturalPixels.isEmpty())
        return false;

    const auto fit = fitPreview(static_cast<float>(naturalPixels.width() * twipsPerPixel),
                                static_cast<float>(naturalPixels.height() * twipsPerPixel));
    if (!fit)
        return false;
    const QRect place = pixelRect(*fit);
    const qreal ratio = widgets_.Image1->devicePixelRatioF();
    const QSize target(std::max(1, qRound(place.width() * ratio)),
                       std::max(1, qRound(place.height() * ratio)));
    // Decoded straight to the size the box needs (a JPEG is reduced while it is decoded).
    const QImage decoded = source.decode(target);
    if (decoded.isNull())
        return false;

    QPixmap pixmap = QPixmap::fromImage(decoded);
    pixmap.setDevicePixelRatio(ratio);
    widgets_.Image1->setPixmap(pixmap);
    widgets_.Image1->setGeometry(place);
    ++loadCount_;
    return true;
}

} // namespace tavorin
