#include "lists/WorkbookSelection.h"

#include "app/MessageSink.h"
#include "platform/RunningApplicationProbe.h"
#include "platform/WorkbookSheetNames.h"
#include "run/UnreadableWorkbookText.h"
#include "run/WorkbookInUseText.h"

#include <QAbstractScrollArea>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>

#include <filesystem>

namespace tavorin {
namespace {

std::filesystem::path toPath(const QString& text) { return std::filesystem::path(text.toStdU16String()); }

// The file name with its extension: the last component of the path.
QString fileName(const QString& path)
{
    return QString::fromStdU16String(toPath(path).filename().u16string());
}

// The text after the last dot of the file name, case kept; empty without a dot.
QString extensionName(const QString& path)
{
    QString name = fileName(path);
    qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

// Excel 97-2003 workbooks as always ("xls" or "XLS"); Excel 2007+ workbooks and macro
// workbooks in any case. Which engine reads the file is decided by its content.
bool isWorkbookExtension(const QString& extension)
{
    return extension == QLatin1String("xls") || extension == QLatin1String("XLS") ||
           extension.compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0 ||
           extension.compare(QLatin1String("xlsm"), Qt::CaseInsensitive) == 0;
}

bool isBinaryWorkbookExtension(const QString& extension)
{
    return extension.compare(QLatin1String("xlsb"), Qt::CaseInsensitive) == 0;
}

const QString encryptedText = QStringLiteral(
    "暗号化された（パスワード付きの）ブックは開けません。\r\nExcel でパスワードを解除して保存し直してから使ってください。");
const QString binaryText = QStringLiteral(
    "バイナリ形式（.xlsb）のブックには対応していません。\r\nExcel で .xlsx 形式で保存し直してから使ってください。");

} // namespace

WorkbookSelection::WorkbookSelection(const WorkbookWidgets& widgets, MessageSink& messages,
                                     const RunningApplicationProbe& runningApplications, QObject* parent)
    : QObject(parent), widgets_(widgets), messages_(messages), runningApplications_(runningApplications)
{
    for (QWidget* target : widgets_.dropTargets)
        installDropTarget(target);
}

void WorkbookSelection::installDropTarget(QWidget* target)
{
    if (!target)
        return;
    target->setAcceptDrops(true);
    target->installEventFilter(this);
    targets_.insert(target);
    // A list's drops arrive at its viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target)) {
        area->viewport()->setAcceptDrops(true);
        area->viewport()->installEventFilter(this);
        targets_.insert(area->viewport());
        return;
    }
    // Inside a frame, controls that take drops of their own (text fields) would swallow a file
    // dropped on them; files go to the workbook as on the rest of the frame, text stays theirs.
    for (QWidget* inner : target->findChildren<QWidget*>())
        if (inner->acceptDrops())
            inner->installEventFilter(this);
}

bool WorkbookSelection::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    // QDragEnterEvent and QDragMoveEvent are QDropEvents.
    auto* drop = static_cast<QDropEvent*>(event);
    const bool carriesFile = !firstDroppedFile(drop->mimeData()).isEmpty();
    if (!carriesFile && !targets_.contains(watched))
        return false;
    if (!carriesFile) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        workbookDropped(drop->mimeData());
    return true;
}

QString WorkbookSelection::firstDroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            return url.toLocalFile();
    return {};
}

void WorkbookSelection::workbookDropped(const QMimeData* data)
{
    QString path = firstDroppedFile(data);
    if (!path.isEmpty())
        takeWorkbook(path);
}

void WorkbookSelection::takeWorkbook(const QString& path)
{
    if (auto user = runningApplications_.workbookOpenElsewhere(toPath(path))) {
        const RefusalMessage refusal = workbookOpenElsewhereText(toPath(path), *user);
        messages_.showMessage(refusal.text, refusal.title);
        return;
    }
    const QString extension = extensionName(path);
    if (isBinaryWorkbookExtension(extension)) {
        messages_.showMessage(binaryText, confirmTitle());
        return;
    }
    if (!isWorkbookExtension(extension))
        return;
    // A package this program cannot open at all is said so in its own words.
    const WorkbookFormat format = detectWorkbookFormat(toPath(path));
    if (format == WorkbookFormat::EncryptedPackage || format == WorkbookFormat::BinaryWorkbook) {
        messages_.showMessage(format == WorkbookFormat::EncryptedPackage ? encryptedText : binaryText, confirmTitle());
        return;
    }
    auto names = workbookSheetNames(toPath(path));
    if (!names) {
        messages_.showMessage(unreadableWorkbookText(fileName(path), names.error()), confirmTitle());
        return;
    }
    widgets_.TextA->setText(path);
    showSheets(fileName(path), *names);
}

void WorkbookSelection::listSheets()
{
    const QString path = widgets_.TextA->text();
    if (path.isEmpty())
        return;
    // After a run the workbook is the one the run wrote; one that can no longer be read shows
    // no sheets, so that nothing is started on a sheet it may not have.
    auto names = workbookSheetNames(toPath(path));
    showSheets(fileName(path), names ? *names : std::vector<std::string>{});
}

void WorkbookSelection::showSheets(const QString& name, const std::vector<std::string>& sheets)
{
    widgets_.Label1->setText(QLatin1Char(' ') + name);
    widgets_.List1->hide();
    widgets_.List1->clear();
    for (const auto& sheet : sheets)
        widgets_.List1->addItem(QString::fromStdString(sheet));
    widgets_.List1->show();
    if (widgets_.List1->count() > 0)
        widgets_.List1->setCurrentRow(0);
}

} // namespace tavorin
