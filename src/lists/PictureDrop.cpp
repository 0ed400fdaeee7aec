#include "lists/PictureDrop.h"

#include "app/MessageSink.h"
#include "lists/PictureList.h"
#include "run/DuplicateNames.h"
#include "run/PictureNames.h"

#include <QCheckBox>
#include <QMimeData>
#include <QUrl>

namespace tavorin {

namespace {

const QString limitMessage = QStringLiteral("処理可能ファイル数を超えます。");

QString duplicateMessage(const QString& path)
{
    return path + QStringLiteral(" は、 ") + QStringLiteral("\r\n\r\n") +
           QStringLiteral("同一ファイル名が存在する為に選択できません。");
}

// The dropped files, in drop order. Only local files form the file list; a folder comes without
// its trailing "/" so that its name is what follows the last separator, as for a file.
QStringList droppedFiles(const QMimeData* data)
{
    QStringList paths;
    if (data == nullptr || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        QString path = url.toLocalFile();
        while (path.size() > 1 && path.endsWith(u'/'))
            path.chop(1);
        if (!path.isEmpty())
            paths.append(path);
    }
    return paths;
}

bool isOn(const QCheckBox* box)
{
    return box != nullptr && box->checkState() == Qt::Checked;
}

} // namespace

PictureDrop::PictureDrop(const PictureTableWidgets& widgets, PictureList& list, MessageSink& messages)
    : widgets_(widgets), list_(list), messages_(messages)
{
}

bool PictureDrop::acceptsDrag(const QMimeData* data)
{
    return data != nullptr && data->hasUrls();
}

void PictureDrop::List2_OLEDragDrop(const QMimeData* data)
{
    const QStringList files = droppedFiles(data);
    if (!files.isEmpty()) {
        // Every dropped file counts against the limit, pictures or not.
        if (list_.rowCount() + files.size() > PictureList::pictureLimit) {
            messages_.showMessage(limitMessage, confirmTitle());
            return;
        }
        int accepted = 0;
        for (const QString& path : files) {
            if (!hasPictureExtension(path))
                continue;
            ++accepted;
            list_.dropNames[static_cast<std::size_t>(accepted)] = displayNameOf(path);
            list_.dropPaths[static_cast<std::size_t>(accepted)] = path;
        }
        addAcceptedFiles(accepted);
        if (isOn(widgets_.Check3))
            list_.sortByName();
    }
    list_.refreshCount();
}

void PictureDrop::addAcceptedFiles(int acceptedCount)
{
    // Check1 is read once per drop: the state at the moment of the drop decides.
    const bool refuseDuplicates = isOn(widgets_.Check1);
    DuplicateNames listed(refuseDuplicates ? list_.displayNames() : QStringList());
    for (int m = 1; m <= acceptedCount; ++m) {
        const QString& name = list_.dropNames[static_cast<std::size_t>(m)];
        const QString& path = list_.dropPaths[static_cast<std::size_t>(m)];
        if (refuseDuplicates && listed.collides(name)) {
            messages_.showMessage(duplicateMessage(path), confirmTitle());
            continue;
        }
        list_.appendRow(name, path);
        if (refuseDuplicates)
            listed.add(name);
    }
}

} // namespace tavorin
