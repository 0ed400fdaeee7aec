// The About window: opened by "Ｖｅｒ", one at a time, modeless, filled on creation, destroyed
// on close; and how it lives beside the main window when the program ends.
#include "app/Form1.h"
#include "app/ProgramEnd.h"
#include "app/frmAbout.h"
#include "support/Form1Fixture.h"
#include "support/UserActions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace tavorin;
using namespace tavorin::test;

namespace {

QList<frmAbout*> openAboutWindows()
{
    QList<frmAbout*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* about = qobject_cast<frmAbout*>(w); about != nullptr && about->isVisible())
            windows.append(about);
    return windows;
}

bool aboutIsGone(const Form1& form)
{
    return QTest::qWaitFor([&form] { return form.aboutWindow() == nullptr && openAboutWindows().isEmpty(); },
                           2000);
}

} // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT

private slots:
    void verOpensTheAboutWindowFilledWithTitleAndVersion();
    void verTwiceLeavesOneWindowNotFilledAgain();
    void mainWindowStaysUsableWhileAboutIsOpen();
    void okClosesAndDestroysItAndTheNextVerMakesANewOne();
    void programEndClosesEveryWindowIncludingAbout();
    void closingTheMainWindowLeavesTheProgramRunningUntilAboutCloses();
};

void AboutWindowTest::verOpensTheAboutWindowFilledWithTitleAndVersion()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    QVERIFY(form.aboutWindow() == nullptr);
    click(form.Command2);
    frmAbout* about = form.aboutWindow();
    QVERIFY(about != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QCOMPARE(about->windowTitle(), QStringLiteral("Tavorinのﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(about->lblTitle->text(), QStringLiteral("Tavorin"));
    QVERIFY(QRegularExpression(QStringLiteral("^Ver (0|[1-9][0-9]*)\\.(0|[1-9][0-9]*)\\.(0|[1-9][0-9]*)$"))
                .match(about->lblVersion->text())
                .hasMatch());
    QCOMPARE(about->lblVersion->text(), QStringLiteral("Ver 1.0.0"));
    QCOMPARE(about->cmdOK->text(), QStringLiteral("O  K"));
    QVERIFY(!about->picIcon->pixmap().isNull());
    QCOMPARE(about->picIcon->pixmap().size(), QSize(32, 32));
    QCOMPARE(about->width(), 385); // 5775 twips
    QVERIFY(about->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!about->isModal());
    QVERIFY(about->lblTitle->font().italic() && about->lblTitle->font().bold());
}

void AboutWindowTest::verTwiceLeavesOneWindowNotFilledAgain()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Command2);
    frmAbout* first = form.aboutWindow();
    QVERIFY(first != nullptr);
    first->lblTitle->setText(QStringLiteral("marked"));
    click(form.Command2);
    QCOMPARE(form.aboutWindow(), first);
    QCOMPARE(openAboutWindows().size(), 1);
    QCOMPARE(first->lblTitle->text(), QStringLiteral("marked"));
}

void AboutWindowTest::mainWindowStaysUsableWhileAboutIsOpen()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Command2);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(form.isEnabled());
    click(form.Check2);
    QCOMPARE(form.Check2->checkState(), Qt::Checked);
    QVERIFY(form.Combo7->isEnabled());
    QVERIFY(chooseItem(form.Combo1, 3));
    QCOMPARE(form.Combo2->currentIndex(), 3);
    QVERIFY(form.aboutWindow() != nullptr);
}

void AboutWindowTest::okClosesAndDestroysItAndTheNextVerMakesANewOne()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Command2);
    QPointer<frmAbout> first = form.aboutWindow();
    first->lblTitle->setText(QStringLiteral("marked"));
    click(first->cmdOK);
    QVERIFY(aboutIsGone(form));
    QVERIFY(first.isNull());
    click(form.Command2);
    QVERIFY(form.aboutWindow() != nullptr);
    QCOMPARE(form.aboutWindow()->lblTitle->text(), QStringLiteral("Tavorin"));
    // Its close box destroys it just the same.
    form.aboutWindow()->close();
    QVERIFY(aboutIsGone(form));
}

void AboutWindowTest::programEndClosesEveryWindowIncludingAbout()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Command2);
    QVERIFY(form.aboutWindow() != nullptr);
    endProgram();
    QVERIFY(aboutIsGone(form));
    QVERIFY(!form.isVisible());
}

void AboutWindowTest::closingTheMainWindowLeavesTheProgramRunningUntilAboutCloses()
{
    // Runs the real event loop: it must go on after the main window closes while the About
    // window is open, and end by itself once that is closed too.
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Command2);
    QVERIFY(QTest::qWaitForWindowExposed(form.aboutWindow()));
    bool aboutOpenAfterMainClosed = false;
    QTimer::singleShot(0, &form, [&form] { form.close(); });
    QTimer::singleShot(300, &form, [&] {
        aboutOpenAfterMainClosed = form.aboutWindow() != nullptr && form.aboutWindow()->isVisible();
        if (form.aboutWindow() != nullptr)
            click(form.aboutWindow()->cmdOK);
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(2); });
    giveUp.start(5000);
    const int exitCode = QApplication::exec();
    giveUp.stop();
    QVERIFY(aboutOpenAfterMainClosed);
    QCOMPARE(exitCode, 0);
    QVERIFY(form.aboutWindow() == nullptr || !form.aboutWindow()->isVisible());
}

QTEST_MAIN(AboutWindowTest)
#include "AboutWindow_test.moc"
