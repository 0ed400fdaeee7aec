// tavorin-batch runs that meet on one workbook. Each run lists a named pipe as its first picture: a run
// that holds the workbook waits there until the test lets it go on, so runs started together are sure
// to overlap; the pipe itself is then reported as not placed.

#include "support/Files.h"
#include "support/Oracles.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tavorin::test;

namespace {

// A run of tavorin-batch: a new named pipe first, then the picture again and again.
std::unique_ptr<QProcess> startRun(const std::filesystem::path& book, const std::filesystem::path& pipe,
                                   const char* picture, int count)
{
    EXPECT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    QStringList arguments{"insert", "--force", QString::fromStdString(book.string()), QString::fromStdString(pipe.string())};
    for (int i = 0; i < count; ++i)
        arguments << QString::fromStdString(pictureFixture(picture).string());
    auto process = std::make_unique<QProcess>();
    process->start(TAVORIN_BATCH_PATH, arguments);
    EXPECT_TRUE(process->waitForStarted(30000));
    return process;
}

// Lets a run waiting to open the pipe go on (it finds no picture there).
void letGo(const std::filesystem::path& pipe)
{
    if (const int descriptor = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK); descriptor >= 0)
        ::close(descriptor);
}

bool waitFor(const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return condition();
}

// Two runs started together: one writes the workbook, the other is refused with exit status 1 before
// reading it; the workbook holds the pictures of the one that wrote, and nothing is left beside it.
TEST(WorkbookLockCommand, OfTwoRunsStartedTogetherOneWritesAndTheOtherIsRefused)
{
    TemporaryFolder folder;
    std::filesystem::create_directory(folder / "book");
    const auto book = copyWorkbook(folder / "book", "ledger.xls", "台帳.xls");
    const std::filesystem::path pipes[] = {folder / "a.jpg", folder / "b.jpg"};
    const QString kinds[] = {"jpeg", "png"};
    std::unique_ptr<QProcess> runs[] = {startRun(book, pipes[0], "land.jpg", 59), startRun(book, pipes[1], "portrait.png", 59)};
    int refused = -1;
    ASSERT_TRUE(waitFor([&] {
        for (int i = 0; i < 2 && refused < 0; ++i)
            refused = runs[i]->state() == QProcess::NotRunning || runs[i]->waitForFinished(1) ? i : -1;
        return refused >= 0;
    }));
    const int writer = 1 - refused;
    EXPECT_EQ(runs[refused]->exitCode(), 1);
    const QString refusal = QString::fromUtf8(runs[refused]->readAllStandardError());
    EXPECT_TRUE(refusal.contains("is in use by another run of Tavorin")) << refusal.toStdString();
    EXPECT_EQ(runs[writer]->state(), QProcess::Running) << "the other run holds the workbook meanwhile";
    for (const auto& pipe : pipes)
        letGo(pipe);
    ASSERT_TRUE(runs[writer]->waitForFinished(120000));
    EXPECT_EQ(runs[writer]->exitCode(), 3) << "written, the pipe left out";
    EXPECT_TRUE(runs[writer]->readAllStandardOutput().startsWith("placed 59 of 60 pictures on 1 sheet; wrote "));
    EXPECT_EQ(namesIn(folder / "book"), std::vector<std::string>{"台帳.xls"}) << "no lock, no temporary file";
    auto report = poiReport(book);
    ASSERT_TRUE(report.has_value());
    const QJsonArray pictures = (*report)["sheets"][0]["pictures"].toArray();
    EXPECT_EQ(pictures.size(), 59);
    for (const auto& picture : pictures)
        EXPECT_EQ(picture.toObject()["type"].toString(), kinds[writer]);
}

class WorkbookLockSignal : public ::testing::TestWithParam<int> {};

// SIGTERM or SIGINT while a run works: the process ends by the signal, the workbook stays as it was,
// and neither the lock nor a temporary file is left.
TEST_P(WorkbookLockSignal, EndsTheRunLeavingNothingBehind)
{
    TemporaryFolder folder;
    std::filesystem::create_directory(folder / "book");
    const auto book = copyWorkbook(folder / "book", "ledger.xls");
    const Bytes before = fileBytes(book);
    auto run = startRun(book, folder / "wait.jpg", "land.jpg", 20);
    ASSERT_TRUE(waitFor([&] {
        std::string where; // the kernel's wait for the other end of a pipe being opened
        std::ifstream("/proc/" + std::to_string(run->processId()) + "/wchan") >> where;
        return where == "wait_for_partner" || run->state() == QProcess::NotRunning;
    }) && run->state() == QProcess::Running) << "the run never reached the pipe";
    EXPECT_TRUE(std::filesystem::exists(folder / "book" / ".~lock.ledger.xls#"));
    ::kill(static_cast<pid_t>(run->processId()), GetParam());
    if (!run->waitForFinished(30000)) {
        letGo(folder / "wait.jpg");
        run->waitForFinished(30000);
        FAIL() << "the signal did not end the run";
    }
    EXPECT_EQ(run->exitStatus(), QProcess::CrashExit) << "ended by the signal";
    EXPECT_EQ(namesIn(folder / "book"), std::vector<std::string>{"ledger.xls"});
    EXPECT_EQ(fileBytes(book), before);
}

std::string signalName(const ::testing::TestParamInfo<int>& info) { return info.param == SIGTERM ? "SIGTERM" : "SIGINT"; }

INSTANTIATE_TEST_SUITE_P(, WorkbookLockSignal, ::testing::Values(SIGTERM, SIGINT), signalName);

} // namespace
