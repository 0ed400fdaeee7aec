#include "run/NotSavedReasonText.h"

namespace tavorin {

QString notSavedReasonText(const SpreadsheetError& error)
{
    if (error.kind != xls::ErrorKind::WorkbookTooLarge)
        return QString::fromStdString(error.describe());
    QString text = QStringLiteral("画像が大きすぎて、Excel 97-2003 形式のブック（.xls、2 GB まで）に収まりません");
    if (!error.detail.empty())
        text += QStringLiteral("（保存すると ") + QString::fromStdString(error.detail) + QStringLiteral("）");
    return text + QStringLiteral("。詳細設定の「画像を縮小」で画像を縮小すると収まります"
                                 "（tavorin-batch では --picture-dpi）。ブックは元のままです。");
}

} // namespace tavorin
