#include "run/RunChecks.h"

namespace tavorin {

QString missingInputMessage(const RunOptions& options)
{
    QString message;
    auto add = [&message](const QString& line) {
        if (!message.isEmpty())
            message += QStringLiteral("\r\n");
        message += line;
    };
    if (!options.workbookChosen)
        add(QStringLiteral("Excelファイルを指定して下さい。"));
    if (options.pictures.empty())
        add(QStringLiteral("画像ファイルを指定して下さい。"));
    if (options.picturesPerSheet != 0 && !options.sheetNameFromDate && options.sheetNameText.isEmpty())
        add(QStringLiteral("挿入SHEET名を指定して下さい。"));
    return message;
}

} // namespace tavorin
