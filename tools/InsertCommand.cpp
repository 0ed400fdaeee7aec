#include "InsertCommand.h"

#include "ConsoleRunObserver.h"
#include "InsertArguments.h"
#include "WorkbookInUseMessage.h"

#include "platform/FileCreationTime.h"
#include "platform/SystemRunningApplicationProbe.h"
#include "platform/AnyFormatApplication.h"
#include "platform/WorkbookSheetNames.h"
#include "platform/pictures/PhotoTakenTime.h"
#include "run/DuplicateNames.h"
#include "run/InsertionRun.h"
#include "run/PictureNames.h"
#include "run/PictureSort.h"
#include "run/RotationMark.h"
#include "run/SheetNaming.h"

#include <QDate>
#include <QLocale>

#include <unistd.h>

namespace tavorin::batch {
namespace {

// The window's picture list holds at most this many rows.
constexpr std::size_t pictureLimit = 999;

// The picture list as one drop of all the pictures would make it: non-pictures left out,
// duplicates refused with --unique, sorted with --sort; marks travel with their pictures.
std::vector<PictureRow> pictureRows(const InsertArguments& arguments, std::ostream& err)
{
    std::vector<PictureRow> rows;
    DuplicateNames names{QStringList{}};
    for (std::size_t i = 0; i < arguments.pictures.size(); ++i) {
        QString path = QString::fromStdString(std::filesystem::absolute(arguments.pictures[i]).string());
        if (!hasPictureExtension(path)) {
            err << "tavorin-batch: skipped " << arguments.pictures[i] << ": not a picture file name\n";
            continue;
        }
        QString display = displayNameOf(path);
        if (arguments.unique && names.collides(display)) {
            err << "tavorin-batch: skipped " << arguments.pictures[i] << ": a picture of the same name is listed\n";
            continue;
        }
        names.add(display);
        rows.push_back(PictureRow{display, path, rotationMarkFor(i < arguments.marks.size() ? arguments.marks[i] : 0)});
    }
    if (arguments.sort)
        sortByName(rows);
    return rows;
}

} // namespace

std::string InsertCommand::description() const { return insertOptionsHelp(); }

int InsertCommand::run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const
{
    InsertParse parsed = parseInsertArguments(arguments);
    if (!parsed.arguments) {
        err << "tavorin-batch: insert: " << parsed.error << '\n';
        return exitUsage;
    }
    InsertArguments& insert = *parsed.arguments;
    RunOptions& options = insert.options;
    if (insert.pictures.size() > pictureLimit) {
        err << "tavorin-batch: insert: at most " << pictureLimit << " pictures in one run\n";
        return exitUsage;
    }
    if (options.picturesPerSheet != 0 && !options.sheetNameFromDate && options.sheetNameText.isEmpty()) {
        err << "tavorin-batch: insert: --per-sheet " << options.picturesPerSheet
            << " needs --sheet-name TEXT or --date-name\n";
        return exitUsage;
    }

    const std::string workbook = options.workbookPath.string();
    // Not even the sheet names are read while another run holds the workbook.
    if (auto holder = WorkbookLock::holderOf(options.workbookPath)) {
        err << workbookInUseMessage(options.workbookPath, *holder) << '\n';
        return exitFailure;
    }
    auto sheets = workbookSheetNames(options.workbookPath);
    if (!sheets) {
        err << "tavorin-batch: " << workbook << ": " << sheets.error().describe() << '\n';
        return exitFailure;
    }
    for (const auto& sheet : *sheets)
        options.sheetNames << QString::fromStdString(sheet);
    options.selectedSheet = insert.sheet.empty() ? 0 : static_cast<int>(options.sheetNames.indexOf(QString::fromStdString(insert.sheet)));
    if (options.sheetNames.isEmpty() || options.selectedSheet < 0) {
        err << "tavorin-batch: " << workbook << ": no worksheet"
            << (insert.sheet.empty() ? std::string() : " named '" + insert.sheet + "'") << '\n';
        return exitFailure;
    }
    options.pictures = pictureRows(insert, err);
    if (options.pictures.empty()) {
        err << "tavorin-batch: insert: none of the files is a picture to place\n";
        return exitFailure;
    }
    if (!insert.output.empty())
        options.saveTo = insert.output;

    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    ConsoleRunObserver observer(err, terminal);
    SystemRunningApplicationProbe probe;
    RunEnvironment environment;
    environment.workbookOpenElsewhere = [&](const std::filesystem::path& path) {
        return insert.force ? SystemRunningApplicationProbe::fileBeside(path) : probe.workbookOpenElsewhere(path);
    };
    environment.createApplication = [](FitFor fitFor) { return std::make_unique<AnyFormatApplication>(fitFor); };
    environment.fileCreationTime = &fileCreationTime;
    environment.photoTakenTime = &pictures::photoTakenTime;
    environment.longDateToday = [] { return sheetNameBaseFromDate(QDate::currentDate(), QLocale::system()); };
    environment.observer = &observer;
    RunOutcome outcome = runInsertion(options, environment);

    if (outcome.stage == RunOutcome::Stage::SpreadsheetRunning) {
        err << workbookOpenElsewhereMessage(options.workbookPath, *outcome.openElsewhere) << '\n';
        return exitFailure;
    }
    if (outcome.stage == RunOutcome::Stage::WorkbookInUse) {
        err << workbookInUseMessage(options.workbookPath, *outcome.lockHolder) << '\n';
        return exitFailure;
    }
    const std::string written = (options.saveTo.empty() ? options.workbookPath : options.saveTo).string();
    if (outcome.saved)
        out << "placed " << outcome.placed << " of " << options.pictures.size() << " pictures on "
            << outcome.sheetsUsed << (outcome.sheetsUsed == 1 ? " sheet" : " sheets") << "; wrote " << written
            << '\n';
    else
        err << "tavorin-batch: " << written << " was not written: " << outcome.saveError.toStdString() << '\n';
    for (const auto& picture : outcome.unplaced)
        out << "not placed: " << picture.path.string() << ": " << picture.engineReason.toStdString() << '\n';
    for (const auto& picture : outcome.notReduced)
        out << "not reduced: " << picture.string() << ": its pixels do not decode; stored as it was\n";
    out.flush();
    if (!outcome.saved)
        return exitFailure;
    // A picture left out is not a success, even though the rest was written.
    return outcome.unplaced.empty() ? exitSuccess : exitIncomplete;
}

} // namespace tavorin::batch
