#pragma once

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QStringList>
#include <QUrl>

#include <filesystem>

namespace tavorin::test {

// Drops data on a control as a file manager does: drag enter, drag move, drop, all real events
// at the control's middle (a list's drops arrive at its viewport). Returns whether the control
// accepted the drag.
inline bool dropData(QWidget* target, const QMimeData& data)
{
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target))
        target = area->viewport();
    const QPoint position = target->rect().center();
    QDragEnterEvent enter(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(position), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return enter.isAccepted();
}

inline bool dropFiles(QWidget* target, const std::vector<std::filesystem::path>& files)
{
    QList<QUrl> urls;
    for (const auto& file : files)
        urls.append(QUrl::fromLocalFile(QString::fromStdU16String(file.u16string())));
    QMimeData data;
    data.setUrls(urls);
    return dropData(target, data);
}

inline QString pathText(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

} // namespace tavorin::test
