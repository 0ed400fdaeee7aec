#include "app/CommandLineFiles.h"

#include "app/Form1.h"
#include "lists/PictureTable.h"
#include "lists/WorkbookSelection.h"

#include <QFileInfo>
#include <QMimeData>

namespace tavorin {

namespace {

// Whether the user would have dropped the file on the workbook side. Any case counts here:
// whether the workbook side lists it is that side's own rule.
bool isSpreadsheetFile(const QFileInfo& file)
{
    const QString suffix = file.suffix();
    return suffix.compare(QLatin1String("xls"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0;
}

} // namespace

CommandLineFiles::CommandLineFiles(const QStringList& arguments, const QDir& workingFolder)
{
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        const QFileInfo file(QDir::cleanPath(workingFolder.absoluteFilePath(argument)));
        if (!file.exists())
            continue;
        const QUrl url = QUrl::fromLocalFile(file.filePath());
        if (file.isFile() && isSpreadsheetFile(file))
            workbooks_.append(url);
        else
            others_.append(url);
    }
}

void CommandLineFiles::dropOn(Form1& form) const
{
    if (!workbooks_.isEmpty()) {
        QMimeData data;
        data.setUrls(workbooks_);
        form.workbookSelection()->workbookDropped(&data);
    }
    if (!others_.isEmpty()) {
        QMimeData data;
        data.setUrls(others_);
        form.pictureTable()->List2_OLEDragDrop(&data);
    }
}

} // namespace tavorin
