#include "run/InsertionRun.h"

#include "platform/SpreadsheetApplication.h"
#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/TerminationSignalHold.h"
#include "platform/WorkbookLock.h"
#include "run/BlockCursor.h"
#include "run/CaptionWriter.h"
#include "run/NotSavedReasonText.h"
#include "run/NumericText.h"
#include "run/PictureFitter.h"
#include "run/RunChecks.h"
#include "run/RunObserver.h"
#include "run/SheetNaming.h"
#include "run/UnplacedReasonText.h"
#include "run/UnreadableWorkbookText.h"
#include "run/WorkbookInUseText.h"

#include <memory>

namespace tavorin {
namespace {

const QString confirmTitle = QStringLiteral("確認");
const QString programTitle = QStringLiteral("Tavorin");
constexpr int listedInMessage = 20;

// A heading and its pictures, one a line, the first listedInMessage of them; nothing for none.
QString listedPictures(const QString& heading, const QStringList& lines)
{
    if (lines.isEmpty())
        return {};
    QString text = QStringLiteral("\r\n\r\n") + heading;
    for (const QString& line : lines.mid(0, listedInMessage))
        text += QStringLiteral("\r\n") + line;
    if (lines.size() > listedInMessage)
        text += QStringLiteral("\r\nほか %1 件").arg(lines.size() - listedInMessage);
    return text;
}

// The progress bar's share of placing the pictures; saving them (reducing them when asked, then
// writing the workbook) fills the rest.
constexpr double placingShare = 50;

// A reason in the window's language with the engine's description behind it as the technical detail.
QString withDetail(const QString& reason, const SpreadsheetError& error)
{
    return reason + QStringLiteral("（") + QString::fromStdString(error.describe()) + QStringLiteral("）");
}

BlockLayout layoutOf(const RunOptions& options)
{
    BlockLayout layout;
    layout.startColumn = options.startColumn;
    layout.endColumn = options.endColumn;
    layout.startRow = options.startRow;
    layout.endRow = options.endRow;
    layout.startRowIndex = options.startRowIndex;
    layout.endRowIndex = options.endRowIndex;
    layout.rowSpacing = options.rowSpacing;
    layout.picturesPerSheet = options.picturesPerSheet;
    layout.singleColumnForm = options.singleColumnForm;
    layout.twoColumnForm = options.twoColumnForm;
    layout.pairGap = options.pairGap;
    return layout;
}

// The run's hold on the workbook: everything that lives from opening to quitting.
class RunSession {
public:
    RunSession(RunOptions options, const RunEnvironment& environment, WorkbookLock& lock, TerminationSignalHold& termination)
        : options_(std::move(options)), environment_(environment), observer_(*environment.observer), lock_(lock),
          termination_(termination),
          captions_(options_, environment.fileCreationTime, environment.photoTakenTime)
    {
    }

    RunOutcome run();

private:
    void open();
    void placePicture(int index, const BlockPlace& place);
    void startSheetCopy();
    void complete();
    void letGo();
    RunOutcome interrupted();
    QString finalMessage() const;

    RunOptions options_;
    const RunEnvironment& environment_;
    RunObserver& observer_;
    WorkbookLock& lock_;
    TerminationSignalHold& termination_;
    CaptionWriter captions_;
    RunOutcome outcome_;

    std::unique_ptr<SpreadsheetApplication> application_;
    std::shared_ptr<SpreadsheetWorkbook> workbook_;
    std::optional<SpreadsheetError> openError_;
    bool missingSheet_ = false;
    std::string templateName_;
    QString sheetNameBase_;
    int sheetCount_ = 0;
    int copyCounter_ = 0;
    double magnification_ = 1;
};

RunOutcome RunSession::run()
{
    outcome_.stage = RunOutcome::Stage::Completed;
    application_ = environment_.createApplication(options_.fitFor);
    if (application_) {
        (void)application_->setPhotoOrientation(options_.photoOrientation);
        (void)application_->setPictureReduction({options_.pictureDpi, options_.jpegQuality});
        application_->setSaveProgress([this](double saved) {
            observer_.progressChanged(static_cast<float>(placingShare + (100 - placingShare) * saved));
        });
    }
    observer_.runStarted();
    if (termination_.stopRequested())
        return interrupted();
    open();
    if (missingSheet_) {
        workbook_.reset();
        complete();
        return outcome_;
    }

    sheetCount_ = static_cast<int>(options_.sheetNames.size());
    sheetNameBase_ = options_.sheetNameFromDate ? environment_.longDateToday() : options_.sheetNameText;
    copyCounter_ = initialCopyCounter(sheetNameBase_, options_.sheetNames);
    magnification_ = leadingNumericValue(options_.magnificationText) / 100.0;
    const double progressStep = placingShare / static_cast<double>(options_.pictures.size());

    BlockCursor cursor(layoutOf(options_));
    for (std::size_t k = 0; k < options_.pictures.size(); ++k) {
        if (termination_.stopRequested())
            return interrupted();
        BlockPlace place = cursor.next();
        if (place.startsNewSheet)
            startSheetCopy();
        placePicture(static_cast<int>(k), place);
        observer_.progressChanged(static_cast<float>(static_cast<double>(k) * progressStep));
    }
    if (termination_.stopRequested())
        return interrupted();
    complete();
    return outcome_;
}

// Closes the workbook unsaved (pictures' temporary files go with it) and removes the lock; a
// termination signal that came meanwhile is raised again now.
void RunSession::letGo()
{
    if (application_)
        (void)application_->quit();
    workbook_.reset();
    application_.reset();
    lock_.release();
    termination_.release();
}

// Told to end before saving: nothing is written and nothing is left behind. The process
// normally ends in letGo(); the rest is for a signal whose handler lets it go on.
RunOutcome RunSession::interrupted()
{
    outcome_.stage = RunOutcome::Stage::Interrupted;
    outcome_.saved = false;
    outcome_.saveError = QStringLiteral("the run was stopped by a signal before saving");
    letGo();
    observer_.runFinished();
    return outcome_;
}

void RunSession::open()
{
    if (!application_) {
        openError_ = operationError("no spreadsheet engine could be started");
        return;
    }
    auto opened = application_->openWorkbook(options_.workbookPath);
    if (!opened) {
        openError_ = opened.error();
        return;
    }
    workbook_ = *opened;
    if (options_.selectedSheet >= 0 && options_.selectedSheet < options_.sheetNames.size())
        templateName_ = options_.sheetNames[options_.selectedSheet].toStdString();
    (void)application_->setScreenUpdating(false);
    // The list the user chose from may not be this workbook's (it changed since it was listed):
    // a sheet it lacks is refused rather than the pictures put on whatever sheet is in front.
    if (auto sheet = workbook_->worksheet(templateName_))
        (void)(*sheet)->select();
    else
        missingSheet_ = true;
}

void RunSession::startSheetCopy()
{
    if (workbook_) {
        auto anchor = workbook_->sheetAt(sheetCount_);
        auto templateSheet = workbook_->worksheet(templateName_);
        if (anchor && templateSheet)
            (void)(*templateSheet)->copyAfter(**anchor);
    }
    copyCounter_ += 1;
    if (workbook_) {
        if (auto active = workbook_->activeSheet())
            (void)(*active)->setName(sheetCopyName(sheetNameBase_, copyCounter_).toStdString());
    }
    sheetCount_ += 1;
    ++outcome_.sheetsUsed;
}

void RunSession::placePicture(int index, const BlockPlace& place)
{
    const PictureRow& picture = options_.pictures[static_cast<std::size_t>(index)];
    auto notPlaced = [&](const QString& reason, const std::optional<SpreadsheetError>& error = std::nullopt) {
        outcome_.unplaced.push_back(UnplacedPicture{index, std::filesystem::path(picture.path.toStdString()), reason,
                                                    error ? QString::fromStdString(error->describe()) : reason});
    };
    if (!workbook_) {
        notPlaced(QStringLiteral("ブックを開けません"));
        return;
    }
    auto current = workbook_->activeSheet();
    if (!current) {
        notPlaced(withDetail(QStringLiteral("シートがありません"), current.error()), current.error());
        return;
    }
    SpreadsheetWorksheet& sheet = **current;
    captions_.write(sheet, index, place.top, place.columnShift, picture);

    CellRange block{{cellIndex(place.top), options_.startColumn + place.columnShift},
                    {cellIndex(place.bottom), options_.endColumn + place.columnShift}};
    if (auto selected = sheet.selectRange(block); !selected) {
        // Inserting now would put the picture at the previous block: leave it out instead.
        notPlaced(withDetail(QStringLiteral("ブロックがシートの範囲外です"), selected.error()), selected.error());
        return;
    }
    auto width = sheet.rangeWidth(block);
    auto height = sheet.rangeHeight(block);
    auto top = sheet.rangeTop(block);
    auto left = sheet.rangeLeft(block);
    if (!width || !height || !top || !left) {
        notPlaced(QStringLiteral("ブロックの大きさを読めません"));
        return;
    }
    BlockGeometry geometry{static_cast<float>(*width), static_cast<float>(*height), static_cast<float>(*top),
                           static_cast<float>(*left)};

    auto shape = sheet.insertPicture(std::filesystem::path(picture.path.toStdString()));
    if (!shape) {
        notPlaced(pictureNotInsertedText(shape.error()), shape.error());
        return;
    }
    fitPictureInBlock(sheet, *shape, picture.mark, magnification_, geometry);
    ++outcome_.placed;
    if (options_.picturesPerSheet == 0)
        outcome_.sheetsUsed = 1;
}

void RunSession::complete()
{
    if (application_)
        (void)application_->setDisplayAlerts(false);
    if (workbook_) {
        auto saved = workbook_->saveAs(options_.saveTo.empty() ? options_.workbookPath : options_.saveTo);
        outcome_.saved = saved.ok();
        if (saved)
            outcome_.notReduced = workbook_->picturesNotReduced();
        if (!saved) {
            outcome_.saveError = notSavedReasonText(saved.error());
            outcome_.changedOnDisk = isChangedOnDisk(saved.error());
        }
    } else if (openError_) {
        outcome_.saveError = QString::fromStdString(openError_->describe());
    } else if (missingSheet_) {
        outcome_.saveError = QStringLiteral("the workbook has no worksheet named \"%1\"").arg(QString::fromStdString(templateName_));
    }
    observer_.progressChanged(100);
    letGo();
    observer_.runFinished();
    outcome_.message = finalMessage();
    observer_.showMessage(outcome_.message, confirmTitle);
    observer_.listSheetsAgain();
}

QString RunSession::finalMessage() const
{
    QString message = completionText();
    QString name = QString::fromStdString(options_.workbookPath.filename().string());
    QString savedName = QString::fromStdString((options_.saveTo.empty() ? options_.workbookPath : options_.saveTo).filename().string());
    if (missingSheet_)
        return message + QStringLiteral("\r\n\r\nシート「") + QString::fromStdString(templateName_) +
               QStringLiteral("」がブック ") + name +
               QStringLiteral(" にありません。保存していません。\r\nブックを落とし直して、シートを選び直してください。");
    if (openError_) {
        message += QStringLiteral("\r\n\r\n") + name + QStringLiteral(" を読み込めませんでした。保存していません。\r\n");
        if (openError_->encrypted)
            message += encryptedWorkbookAdvice() + QStringLiteral("\r\n");
        message += QString::fromStdString(openError_->describe());
        return message;
    }
    if (outcome_.changedOnDisk)
        message += QStringLiteral("\r\n\r\n") + savedName +
                   QStringLiteral(" は実行中にほかのプログラムで変更されたため、保存していません。変更されたブックはそのままです。");
    else if (!outcome_.saved)
        message += QStringLiteral("\r\n\r\n") + savedName + QStringLiteral(" は保存されませんでした。\r\n") + outcome_.saveError;
    QStringList unplaced, notReduced;
    for (const auto& picture : outcome_.unplaced)
        unplaced << options_.pictures[static_cast<std::size_t>(picture.index)].name.trimmed() + QStringLiteral(" … ") +
                        picture.reason;
    for (const auto& picture : outcome_.notReduced)
        notReduced << QString::fromStdString(picture.filename().string());
    message += listedPictures(QStringLiteral("配置できなかった画像："), unplaced);
    message += listedPictures(QStringLiteral("縮小できなかった画像（読み取れない部分があるため、元のまま保存しました）："), notReduced);
    return message;
}

} // namespace

QString completionText() { return QStringLiteral("  処理終了！"); }

RunOutcome runInsertion(RunOptions options, const RunEnvironment& environment)
{
    RunObserver& observer = *environment.observer;
    RunOutcome outcome;
    QString missing = missingInputMessage(options);
    if (!missing.isEmpty()) {
        outcome.stage = RunOutcome::Stage::MissingInput;
        outcome.message = missing;
        observer.showMessage(missing, confirmTitle);
        return outcome;
    }
    if (options.magnificationText.trimmed().isEmpty())
        options.magnificationText = QStringLiteral("100");
    if (options.firstNumberText.trimmed().isEmpty())
        options.firstNumberText = QStringLiteral("1");
    observer.blankFieldsFilled(options.magnificationText, options.firstNumberText);

    if (auto user = environment.workbookOpenElsewhere(options.workbookPath)) {
        outcome.stage = RunOutcome::Stage::SpreadsheetRunning;
        const RefusalMessage refusal = workbookOpenElsewhereText(options.workbookPath, *user);
        outcome.message = refusal.text;
        outcome.openElsewhere = user;
        observer.showMessage(refusal.text, refusal.title);
        return outcome;
    }
    // Signals are held from before the lock exists until it is gone again.
    TerminationSignalHold termination;
    WorkbookLock lock = WorkbookLock::acquire(options.workbookPath);
    if (lock.state() == WorkbookLock::State::Refused) {
        termination.release();
        outcome.stage = RunOutcome::Stage::WorkbookInUse;
        outcome.lockHolder = lock.holder();
        outcome.message = workbookInUseText(options.workbookPath, *lock.holder());
        observer.showMessage(outcome.message, confirmTitle);
        return outcome;
    }
    RunSession session(std::move(options), environment, lock, termination);
    return session.run();
}

} // namespace tavorin
