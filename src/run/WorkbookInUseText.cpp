#include "run/WorkbookInUseText.h"

#include <QDateTime>
#include <QStringList>

namespace tavorin {
namespace {

QString fileNameOf(const std::filesystem::path& path) { return QString::fromStdString(path.filename().string()); }

// The lock's "DD.MM.YYYY HH:MM" as a Japanese desktop writes a date and time.
QString lockTimeText(const QString& time)
{
    const QDateTime at = QDateTime::fromString(time, QStringLiteral("dd.MM.yyyy hh:mm"));
    return at.isValid() ? at.toString(QStringLiteral("yyyy/MM/dd hh:mm")) + QStringLiteral(" 開始") : time;
}

// The holder as its lock file names it: program, user, computer, since when.
QString holderText(const LockFileRecord& record)
{
    const bool run = record.writerProcess().has_value();
    QStringList parts{run ? LockFileRecord::programName() : QStringLiteral("LibreOffice")};
    QString user = record.userName;
    if (!run && !record.formattedName.isEmpty())
        user = record.formattedName + (user.isEmpty() ? QString() : QStringLiteral("（") + user + QStringLiteral("）"));
    if (!user.isEmpty())
        parts << QStringLiteral("ユーザー ") + user;
    if (!record.hostName.isEmpty())
        parts << QStringLiteral("コンピューター ") + record.hostName;
    if (!record.time.isEmpty())
        parts << lockTimeText(record.time);
    return parts.join(QStringLiteral("、"));
}

} // namespace

QString workbookInUseText(const std::filesystem::path& workbook, const WorkbookLock::Holder& holder)
{
    const QString book = QStringLiteral("ブック ") + fileNameOf(workbook);
    if (!holder.record)
        return book + QStringLiteral(" は別の処理で使用中です（ロックファイル ") + fileNameOf(holder.lockFile) +
               QStringLiteral(" があります）。\r\n使っているプログラムがなければ、このファイルを削除してからもう一度実行してください。");
    return book + QStringLiteral(" は別の処理（") + holderText(*holder.record) +
           QStringLiteral("）で使用中です。\r\n終わってからもう一度実行してください。");
}

RefusalMessage workbookOpenElsewhereText(const std::filesystem::path& workbook, const WorkbookUser& user)
{
    const QString confirm = QStringLiteral("確認");
    switch (user.kind) {
    case WorkbookUser::Kind::ExcelOwnerFile:
        return {QStringLiteral("Excel が起動中です。"), QStringLiteral("Tavorin")};
    case WorkbookUser::Kind::LockFile:
        if (user.lock)
            return {workbookInUseText(workbook, *user.lock), confirm};
        break;
    case WorkbookUser::Kind::Process:
        break;
    }
    const QString program = QString::fromStdString(user.program);
    return {QStringLiteral("ブック ") + fileNameOf(workbook) + QStringLiteral(" は ") + program +
                QStringLiteral(" で開かれています。\r\n") + program + QStringLiteral(" で閉じてからもう一度実行してください。"),
            confirm};
}

} // namespace tavorin
