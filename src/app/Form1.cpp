#include "app/Form1.h"

#include "app/Form1Layout.h"
#include "app/MessageSink.h"
#include "app/RunController.h"
#include "app/StartUp.h"
#include "app/Twips.h"
#include "app/frmAbout.h"
#include "lists/PictureTable.h"
#include "lists/WorkbookSelection.h"
#include "panel/OptionRules.h"
#include "platform/ExtraOptions.h"
#include "platform/SettingsFile.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace tavorin {

namespace {
constexpr int clientWidth = 8895;
constexpr int clientHeight = 9150; // the first layout's 8130 and the strip of later options
} // namespace

Form1::Form1(const Form1Dependencies& dependencies, QWidget* parent)
    : QWidget(parent), dependencies_(dependencies)
{
    setObjectName(QStringLiteral("Form1"));
    setUpWindow();
    buildForm1Controls(*this, *this);

    PictureTableWidgets pictureWidgets;
    pictureWidgets.List2 = List2;
    pictureWidgets.List3 = List3;
    pictureWidgets.List4 = List4;
    pictureWidgets.List5 = List5;
    pictureWidgets.DATACount = DATACount;
    pictureWidgets.Check1 = Check1;
    pictureWidgets.Check3 = Check3;
    pictureWidgets.LISTClear = LISTClear;
    pictureWidgets.Image1 = Image1;
    pictureWidgets.Label7 = Label7;
    pictureWidgets.Check10 = Check10;
    pictureTable_ = new PictureTable(pictureWidgets, dependencies_.messages, this);

    WorkbookWidgets workbookWidgets;
    workbookWidgets.TextA = TextA;
    workbookWidgets.Label1 = Label1;
    workbookWidgets.List1 = List1;
    workbookWidgets.dropTargets = {Label20, Label1, Label2, List1, Command1, Frame2};
    workbookSelection_ = new WorkbookSelection(workbookWidgets, dependencies_.messages,
                                               dependencies_.runningApplications, this);

    runController_ = new RunController(*this, *this, dependencies_, *workbookSelection_, this);

    optionRules_ = new OptionRules(*this, this);
    runStartUp(*this, *optionRules_, dependencies_.settingsFile);
    connectButtons();
    List2->setFocus();
}

Form1::~Form1()
{
    // The About window is a window of its own (it may outlive a closed main window) but not
    // this object.
    delete about_.data();
}

void Form1::setUpWindow()
{
    setWindowTitle(QStringLiteral("   Tavorin"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/tavorin-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/tavorin-16.png"), QSize(16, 16));
    setWindowIcon(icon);
    setFixedSize(twipsToPixels(clientWidth), twipsToPixels(clientHeight));
}

void Form1::connectButtons()
{
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
}

void Form1::Command2_Click()
{
    if (about_ == nullptr) {
        about_ = new frmAbout();
        about_->show();
    }
    about_->raise();
    about_->activateWindow();
}

void Form1::Command3_Click()
{
    const SettingsRecord record = storedOptions(*this);
    const auto extraFile = ExtraOptions::fileBeside(dependencies_.settingsFile);
    if (!writeSettingsFile(dependencies_.settingsFile, record) || !storedExtraOptions(*this).write(extraFile))
        dependencies_.messages.showMessage(
            QStringLiteral("設定を保存できませんでした。\n%1")
                .arg(QString::fromStdString(dependencies_.settingsFile.string())),
            programTitle());
    if (dependencies_.endProgram)
        dependencies_.endProgram();
}

} // namespace tavorin
