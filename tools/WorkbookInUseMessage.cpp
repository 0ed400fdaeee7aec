#include "WorkbookInUseMessage.h"

#include <vector>

namespace tavorin::batch {

std::string workbookInUseMessage(const std::filesystem::path& workbook, const WorkbookLock::Holder& holder)
{
    const std::string start = "tavorin-batch: " + workbook.string() + " is in use";
    if (!holder.record)
        return start + ": its lock file " + holder.lockFile.string() +
               " cannot be read; remove it if no program has the workbook open";
    const LockFileRecord& record = *holder.record;
    const bool run = record.writerProcess().has_value();
    std::vector<std::string> parts{run ? "another run of " + LockFileRecord::programName().toStdString()
                                       : std::string("LibreOffice")};
    QString user = record.userName;
    if (!run && !record.formattedName.isEmpty())
        user = record.formattedName + (user.isEmpty() ? QString() : " (" + user + ")");
    if (!user.isEmpty())
        parts.push_back("user " + user.toStdString());
    if (!record.hostName.isEmpty())
        parts.push_back("host " + record.hostName.toStdString());
    if (!record.time.isEmpty())
        parts.push_back("since " + record.time.toStdString());
    std::string text = start + " by ";
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : ", ") + parts[i];
    return text + "; try again when it has finished";
}

std::string workbookOpenElsewhereMessage(const std::filesystem::path& workbook, const WorkbookUser& user)
{
    const std::string book = "tavorin-batch: " + workbook.string();
    switch (user.kind) {
    case WorkbookUser::Kind::ExcelOwnerFile:
        return book + ": it is open in Excel (its owner file ~$" + workbook.filename().string() +
               " lies beside it); close it there first";
    case WorkbookUser::Kind::LockFile:
        if (user.lock)
            return workbookInUseMessage(workbook, *user.lock);
        break;
    case WorkbookUser::Kind::Process:
        break;
    }
    return book + ": it is open in " + user.program + "; close it there first (--force runs anyway)";
}

} // namespace tavorin::batch
