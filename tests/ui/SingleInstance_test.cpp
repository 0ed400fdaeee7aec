// The built program started twice: the second start ends at once, showing nothing, while the
// first keeps running; once the first has ended, the program starts again normally.
#include "support/TemporaryFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <filesystem>

using namespace tavorin::test;

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void secondStartEndsAtOnceWhileTheFirstRuns();

private:
    static void prepare(QProcess& process, const TemporaryFolder& folder);
    static bool keepsRunningFor(QProcess& process, int milliseconds);
};

void SingleInstanceTest::prepare(QProcess& process, const TemporaryFolder& folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString((folder / "runtime").string()));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString((folder / "config").string()));
    process.setProcessEnvironment(environment);
    process.setProgram(QStringLiteral(TAVORIN_PROGRAM_PATH));
    process.setProcessChannelMode(QProcess::MergedChannels);
}

bool SingleInstanceTest::keepsRunningFor(QProcess& process, int milliseconds)
{
    return !process.waitForFinished(milliseconds) && process.state() == QProcess::Running;
}

void SingleInstanceTest::secondStartEndsAtOnceWhileTheFirstRuns()
{
    TemporaryFolder folder;
    std::filesystem::create_directories(folder / "runtime");
    std::filesystem::permissions(folder / "runtime", std::filesystem::perms::owner_all);
    const auto settingsFile = folder / "config" / "Tavorin" / "settings.dat";

    QProcess first;
    prepare(first, folder);
    first.start();
    QVERIFY(first.waitForStarted(10000));
    // The first instance has come up once its start-up has created the settings file.
    QVERIFY(QTest::qWaitFor([&] { return std::filesystem::exists(settingsFile); }, 20000));
    QVERIFY(keepsRunningFor(first, 500));

    QProcess second;
    prepare(second, folder);
    QElapsedTimer clock;
    clock.start();
    second.start();
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(second.readAll().isEmpty());
    QCOMPARE(first.state(), QProcess::Running);

    first.terminate();
    QVERIFY(first.waitForFinished(10000));

    // With the first one gone, a new start runs normally.
    QProcess third;
    prepare(third, folder);
    third.start();
    QVERIFY(third.waitForStarted(10000));
    QVERIFY(keepsRunningFor(third, 1500));
    third.terminate();
    QVERIFY(third.waitForFinished(10000));
}

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstance_test.moc"
