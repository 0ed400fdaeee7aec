#include "app/RunController.h"

#include "app/Form1Dependencies.h"
#include "app/MessageSink.h"
#include "app/RunObserverRelay.h"
#include "app/StartUp.h"
#include "lists/WorkbookSelection.h"
#include "platform/FileCreationTime.h"
#include "platform/RunningApplicationProbe.h"
#include "platform/SpreadsheetApplication.h"
#include "platform/pictures/PhotoTakenTime.h"
#include "run/InsertionRun.h"
#include "run/NumericText.h"
#include "run/SheetNaming.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <thread>

namespace tavorin {
namespace {

// A check box counts as on only when it is fully checked.
bool isOn(const QCheckBox* box) { return box->checkState() == Qt::Checked; }

std::filesystem::path pathOf(const QString& text) { return std::filesystem::path(text.toStdString()); }

QString itemText(const QListWidget* list, int row)
{
    const QListWidgetItem* item = list->item(row);
    return item != nullptr ? item->text() : QString();
}

} // namespace

RunController::RunController(QWidget& form, const Form1Controls& controls, const Form1Dependencies& dependencies,
                             WorkbookSelection& workbookSelection, QObject* parent)
    : QObject(parent), form_(form), controls_(controls), dependencies_(dependencies),
      workbookSelection_(workbookSelection)
{
    connect(controls.Command1, &QPushButton::clicked, this, &RunController::Command1_Click);
}

RunOptions RunController::readOptions(const Form1Controls& c)
{
    RunOptions options;
    options.workbookChosen = !c.Label1->text().isEmpty();
    options.workbookPath = pathOf(c.TextA->text());
    for (int row = 0; row < c.List1->count(); ++row)
        options.sheetNames << itemText(c.List1, row);
    options.selectedSheet = c.List1->currentRow();
    for (int row = 0; row < c.List2->count(); ++row)
        options.pictures.push_back(PictureRow{itemText(c.List2, row), itemText(c.List3, row), itemText(c.List4, row)});

    options.startColumn = c.Combo1->currentIndex() + 1;
    options.endColumn = c.Combo2->currentIndex() + 1;
    options.startRow = leadingNumericValue(c.Combo3->currentText());
    options.endRow = leadingNumericValue(c.Combo4->currentText());
    options.startRowIndex = c.Combo3->currentIndex();
    options.endRowIndex = c.Combo4->currentIndex();
    options.rowSpacing = c.Combo5->currentIndex();
    options.picturesPerSheet = c.Combo6->currentIndex();
    options.singleColumnForm = isOn(c.Check7);
    options.twoColumnForm = isOn(c.Check8);
    options.pairGap = c.Combo14->currentIndex();
    options.magnificationText = c.Text1->text();

    options.dateCaption = {isOn(c.Check2), leadingNumericValue(c.Combo7->currentText()), c.Combo8->currentIndex() + 1};
    options.dateFormat = c.Combo13->currentIndex();
    options.numberCaption = {isOn(c.Check5), leadingNumericValue(c.Combo9->currentText()),
                             c.Combo10->currentIndex() + 1};
    options.firstNumberText = c.Text3->text();
    options.numberWithPrefix = c.Option1->isChecked();
    options.nameCaption = {isOn(c.Check6), leadingNumericValue(c.Combo12->currentText()),
                           c.Combo11->currentIndex() + 1};
    options.nameWithoutExtension = isOn(c.Check9);

    options.fitFor = c.Combo15->currentIndex() == 1 ? FitFor::LibreOffice : FitFor::Excel;
    options.photoOrientation = c.Check10->isChecked();
    options.dateSource = c.Combo16->currentIndex() == 1 ? DateSource::PhotoTaken : DateSource::FileCreated;
    options.pictureDpi = pictureDpiChosen(c);
    options.sheetNameFromDate = isOn(c.Check4);
    options.sheetNameText = c.Text2->text();
    return options;
}

void RunController::Command1_Click()
{
    RunEnvironment environment;
    const RunningApplicationProbe& probe = dependencies_.runningApplications;
    environment.workbookOpenElsewhere = [&probe](const std::filesystem::path& workbook) {
        return probe.workbookOpenElsewhere(workbook);
    };
    environment.createApplication = [this](FitFor fitFor) -> std::unique_ptr<SpreadsheetApplication> {
        return dependencies_.createSpreadsheet ? dependencies_.createSpreadsheet(fitFor) : nullptr;
    };
    environment.fileCreationTime = &fileCreationTime;
    environment.photoTakenTime = &pictures::photoTakenTime;
    environment.longDateToday = [] { return sheetNameBaseFromDate(QDate::currentDate(), QLocale::system()); };
    // The run works on a thread of its own, so that the window stays drawn whatever one step
    // takes (a large photo, the disk's last sync); the window waits for it here, taking no input
    // and refusing to close until the run has let the workbook go.
    RunObserverRelay relay(*this, *this);
    environment.observer = &relay;
    const RunOptions options = readOptions(controls_);
    form_.installEventFilter(this);
    // The end is posted after the run's last report, so every report has been acted on when the
    // loop ends. Events are handled one batch at a time rather than in a nested event loop, which
    // would return at once if the program were told to quit and leave the run's reports unheard.
    bool finished = false;
    std::thread worker([&] {
        runInsertion(options, environment);
        QMetaObject::invokeMethod(this, [&finished] { finished = true; }, Qt::QueuedConnection);
    });
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    worker.join();
    form_.removeEventFilter(this);
}

void RunController::showMessage(const QString& text, const QString& title)
{
    dependencies_.messages.showMessage(text, title);
}

void RunController::blankFieldsFilled(const QString& magnification, const QString& firstNumber)
{
    controls_.Text1->setText(magnification);
    controls_.Text3->setText(firstNumber);
}

void RunController::runStarted()
{
    form_.setEnabled(false);
    controls_.ProgressBar1->setVisible(true);
    controls_.ProgressBar1->setValue(0);
    controls_.ProgressBar1->repaint();
}

void RunController::progressChanged(float value)
{
    controls_.ProgressBar1->setValue(static_cast<int>(value));
}

void RunController::runFinished()
{
    form_.setEnabled(true);
    controls_.ProgressBar1->setVisible(false);
}

bool RunController::eventFilter(QObject* watched, QEvent* event)
{
    // Closing the window in the middle of a run would end the program under it: the run finishes first.
    if (watched == &form_ && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void RunController::listSheetsAgain() { workbookSelection_.listSheets(); }

} // namespace tavorin
