// tavorin-batch runs that meet on one workbook. Each run lists a named pipe as its first picture:
// a run that holds the workbook waits there until the test lets it go on, so two runs started
// together are sure to overlap. The pipe itself is then reported as not placed.

#include "support/Oracles.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tavorin;

namespace {

constexpr int picturesAfterThePipe = 59;

std::string bytesOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> namesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

QString text(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

std::filesystem::path makePipe(const std::filesystem::path& path)
{
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    return path;
}

// Lets a run waiting to open the pipe go on (it finds no picture there).
void letGo(const std::filesystem::path& pipe)
{
    int descriptor = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
    if (descriptor >= 0)
        ::close(descriptor);
}

// A run of tavorin-batch on the workbook: the pipe first, then the same picture again and again.
std::unique_ptr<QProcess> startRun(const std::filesystem::path& workbook, const std::filesystem::path& pipe,
                                   const std::filesystem::path& picture, int count)
{
    QStringList arguments{QStringLiteral("insert"), QStringLiteral("--force"), text(workbook), text(pipe)};
    for (int i = 0; i < count; ++i)
        arguments << text(picture);
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral(TAVORIN_BATCH_PATH), arguments);
    EXPECT_TRUE(process->waitForStarted(30000));
    return process;
}

// True once the process sleeps opening a named pipe (the kernel's wait for the other end).
bool waitsOnThePipe(const QProcess& process)
{
    std::ifstream in("/proc/" + std::to_string(process.processId()) + "/wchan");
    std::string where;
    in >> where;
    return where == "wait_for_partner";
}

template <typename Condition>
bool waitFor(Condition condition, std::chrono::seconds limit = std::chrono::seconds(60))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

QJsonArray picturesOnFirstSheet(const std::filesystem::path& workbook)
{
    auto report = test::poiReport(workbook);
    EXPECT_TRUE(report);
    return report ? (*report)["sheets"].toArray().at(0).toObject()["pictures"].toArray() : QJsonArray{};
}

} // namespace

// Two runs started together: exactly one writes the workbook, the other is refused with exit
// status 1 before reading it, and the workbook holds the pictures of the one that wrote.
TEST(WorkbookLockCommand, OfTwoRunsStartedTogetherOneWritesAndTheOtherIsRefused)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        test::TemporaryFolder folder;
        std::filesystem::create_directory(folder / "book");
        std::filesystem::create_directory(folder / "pipes");
        const auto book = folder / "book" / "台帳.xls";
        std::filesystem::copy_file(test::workbookFixture("ledger.xls"), book);
        const std::array pipes{makePipe(folder / "pipes" / "a.jpg"), makePipe(folder / "pipes" / "b.jpg")};
        const std::array kinds{QStringLiteral("jpeg"), QStringLiteral("png")};
        std::array runs{startRun(book, pipes[0], test::pictureFixture("land.jpg"), picturesAfterThePipe),
                        startRun(book, pipes[1], test::pictureFixture("portrait.png"), picturesAfterThePipe)};

        int refused = -1;
        ASSERT_TRUE(waitFor([&] {
            for (int i = 0; i < 2; ++i)
                if (runs[i]->state() == QProcess::NotRunning || runs[i]->waitForFinished(1))
                    refused = refused < 0 ? i : refused;
            return refused >= 0;
        }));
        const int writer = 1 - refused;
        EXPECT_EQ(runs[refused]->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(runs[refused]->exitCode(), 1);
        const QString refusal = QString::fromUtf8(runs[refused]->readAllStandardError());
        EXPECT_TRUE(refusal.contains(QStringLiteral("is in use by another run of Tavorin"))) << refusal.toStdString();
        EXPECT_EQ(runs[writer]->state(), QProcess::Running) << "the other run holds the workbook meanwhile";

        for (const auto& pipe : pipes)
            letGo(pipe);
        ASSERT_TRUE(runs[writer]->waitForFinished(120000));
        // 3: written, the pipe (no picture) left out.
        EXPECT_EQ(runs[writer]->exitCode(), 3) << runs[writer]->readAllStandardError().toStdString();
        EXPECT_TRUE(runs[writer]->readAllStandardOutput().startsWith("placed 59 of 60 pictures on 1 sheet; wrote "));

        const QJsonArray pictures = picturesOnFirstSheet(book);
        EXPECT_EQ(pictures.size(), picturesAfterThePipe);
        for (const auto& picture : pictures)
            EXPECT_EQ(picture.toObject()["type"].toString(), kinds[writer]);
        EXPECT_EQ(namesIn(folder / "book"), std::vector<std::string>{"台帳.xls"}) << "no lock, no temporary file";
    }
}

// SIGTERM or SIGINT while a run works: the workbook stays as it was and neither the lock nor a
// temporary file is left; the process then ends by the signal.
class WorkbookLockSignal : public ::testing::TestWithParam<int> {};

TEST_P(WorkbookLockSignal, EndsTheRunLeavingNothingBehind)
{
    test::TemporaryFolder folder;
    std::filesystem::create_directory(folder / "book");
    const auto book = folder / "book" / "ledger.xls";
    std::filesystem::copy_file(test::workbookFixture("ledger.xls"), book);
    const std::string before = bytesOf(book);
    const auto pipe = makePipe(folder / "wait.jpg");
    auto run = startRun(book, pipe, test::pictureFixture("land.jpg"), 20);

    ASSERT_TRUE(waitFor([&] { return waitsOnThePipe(*run) || run->state() == QProcess::NotRunning; }))
        << "the run never reached the pipe";
    ASSERT_EQ(run->state(), QProcess::Running) << run->readAllStandardError().toStdString();
    EXPECT_TRUE(std::filesystem::exists(folder / "book" / ".~lock.ledger.xls#"));
    ::kill(static_cast<pid_t>(run->processId()), GetParam());
    if (!run->waitForFinished(30000)) {
        letGo(pipe);
        run->waitForFinished(30000);
        FAIL() << "the signal did not end the run";
    }
    EXPECT_EQ(run->exitStatus(), QProcess::CrashExit) << "ended by the signal";
    EXPECT_EQ(namesIn(folder / "book"), std::vector<std::string>{"ledger.xls"});
    EXPECT_EQ(bytesOf(book), before);
}

std::string signalName(const ::testing::TestParamInfo<int>& signal)
{
    return signal.param == SIGTERM ? "SIGTERM" : "SIGINT";
}

INSTANTIATE_TEST_SUITE_P(Signals, WorkbookLockSignal, ::testing::Values(SIGTERM, SIGINT), signalName);
