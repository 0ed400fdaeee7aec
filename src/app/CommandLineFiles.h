#pragma once

#include <QDir>
#include <QList>
#include <QStringList>
#include <QUrl>

namespace tavorin {

class Form1;

// The files the program is started with, as a file manager passes them when the user opens a
// workbook and pictures with Tavorin. They reach the window as drops: spreadsheet files on the
// workbook side, everything else on the picture list, so that each side's own drop rules decide
// what is taken (one workbook, the picture endings, the row limit, duplicate names).
class CommandLineFiles {
  public:
    // Arguments that name no existing file or folder (options, addresses, typing errors) are left
    // out, since no drop could carry them; relative paths are taken from `workingFolder`.
    CommandLineFiles(const QStringList& arguments, const QDir& workingFolder);

    // Drops the spreadsheet files on the workbook side, then the others on the picture list.
    void dropOn(Form1& form) const;

  private:
    QList<QUrl> workbooks_;
    QList<QUrl> others_;
};

} // namespace tavorin
