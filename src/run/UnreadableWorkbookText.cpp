#include "run/UnreadableWorkbookText.h"

namespace tavorin {

QString encryptedWorkbookAdvice()
{
    return QStringLiteral("パスワードで保護（暗号化）されたブックです。Excel または LibreOffice で開いて保護を解除し、"
                          "Excel 97-2003 形式で保存し直してから使ってください。");
}

QString unreadableWorkbookText(const QString& fileName, const SpreadsheetError& error)
{
    QString text = QStringLiteral("ブック ") + fileName + QStringLiteral(" を読み込めません。\r\n");
    if (error.encrypted)
        text += encryptedWorkbookAdvice() + QStringLiteral("\r\n");
    return text + QStringLiteral("（") + QString::fromStdString(error.describe()) + QStringLiteral("）");
}

} // namespace tavorin
