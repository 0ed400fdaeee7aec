#include "support/EngineRun.h"

#include "platform/AnyFormatApplication.h"
#include "run/InsertionRun.h"

namespace tavorin::test {

RunOptions EngineRun::optionsFor(const std::filesystem::path& workbook, const QStringList& sheets, int sheet)
{
    RunOptions options;
    options.workbookChosen = true;
    options.workbookPath = workbook;
    options.sheetNames = sheets;
    options.selectedSheet = sheet;
    return options;
}

PictureRow EngineRun::pictureRow(const std::filesystem::path& path, const QString& mark)
{
    const QString full = QString::fromStdString(path.string());
    return PictureRow{QStringLiteral(" ") + QString::fromStdString(path.filename().string()), full, mark};
}

RunOutcome EngineRun::run(const RunOptions& options)
{
    RunEnvironment environment;
    environment.workbookOpenElsewhere = [](const std::filesystem::path&) { return std::optional<WorkbookUser>(); };
    environment.createApplication = [](FitFor fitFor) { return std::make_unique<AnyFormatApplication>(fitFor); };
    environment.fileCreationTime = [](const std::filesystem::path&) {
        return std::optional<CalendarDateTime>(CalendarDateTime{2001, 3, 14, 13, 30, 0, 0});
    };
    environment.longDateToday = [] { return QStringLiteral("2026年12月7日"); };
    environment.observer = this;
    return runInsertion(options, environment);
}

} // namespace tavorin::test
