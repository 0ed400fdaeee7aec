// The whole insertion run on the native engine, timed against copying the same picture bytes
// and against LibreOffice doing the same job through its automation interface.
//
//   insertion_run [--pictures N] [--runs R] [--peer-pictures N] [--no-peer]
//
// Makes N distinct JPEG photos of about 250 KB, then times: reading them and writing one file of
// the same size (the copy time), the run with all pictures on one sheet and with 10 per sheet
// (captions on), and bench/lo_peer.py for --peer-pictures of them on one sheet. Goal: each run
// within 1.5 times the copy time. The machine may be shared, so copy and runs take turns R
// times (3 unless told) and the medians are compared.

#include "platform/FileCreationTime.h"
#include "platform/xls/XlsApplication.h"
#include "run/InsertionRun.h"
#include "run/RunObserver.h"
#include "support/BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace tavorin;

using namespace tavorin::bench;

namespace {




qint64 fileSize(const QString& path) { return QFileInfo(path).size(); }



struct Timed {
    double seconds = 0;
    RunOutcome outcome;
};

Timed timeRun(const QString& workbook, const std::vector<QString>& pictures, int perSheet)
{
    QuietObserver observer;
    RunEnvironment environment;
    environment.workbookOpenElsewhere = [](const std::filesystem::path&) { return std::optional<WorkbookUser>(); };
    environment.createApplication = [](FitFor fitFor) { return std::make_unique<xls::XlsApplication>(fitFor); };
    environment.fileCreationTime = &fileCreationTime;
    environment.longDateToday = [] { return QStringLiteral("2026年12月7日"); };
    environment.observer = &observer;
    QElapsedTimer timer;
    timer.start();
    Timed timed;
    timed.outcome = runInsertion(ledgerOptions(workbook, {QStringLiteral("Sheet1")}, pictures, perSheet), environment);
    timed.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    return timed;
}




} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    int count = 999;
    int peerCount = 400;
    bool peer = true;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pictures") == 0 && i + 1 < argc)
            count = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--peer-pictures") == 0 && i + 1 < argc)
            peerCount = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--no-peer") == 0)
            peer = false;
    }
    QTemporaryDir folder;
    QDir dir(folder.path());
    std::printf("making %d photos...\n", count);
    std::fflush(stdout);
    auto pictures = makePhotos(dir, count);
    qint64 total = 0;
    for (const auto& picture : pictures)
        total += fileSize(picture);
    std::printf("%d photos, %.1f MB, %.0f KB each on average\n", count, static_cast<double>(total) / 1e6,
                static_cast<double>(total) / count / 1e3);

    const QString source = QStringLiteral(TAVORIN_FIXTURES_DIR "/workbooks/plain.xls");
    std::vector<double> copyProcessor, oneSheetProcessor, tenProcessor;
    auto runOnce = [&](int perSheet) {
        QString workbook = dir.filePath(QStringLiteral("book-%1.xls").arg(perSheet));
        QFile::remove(workbook);
        QFile::copy(source, workbook);
        double processorStart = processorSeconds();
        Timed timed = timeRun(workbook, pictures, perSheet);
        (perSheet == 0 ? oneSheetProcessor : tenProcessor).push_back(processorSeconds() - processorStart);
        bool complete = timed.outcome.saved && timed.outcome.placed == count;
        std::printf("    %-24s %8.3f s  placed %d on %d sheets, saved %s, %.1f MB written\n",
                    perSheet == 0 ? "all on one sheet" : "10 per sheet", timed.seconds, timed.outcome.placed,
                    timed.outcome.sheetsUsed, timed.outcome.saved ? "yes" : "no",
                    static_cast<double>(fileSize(workbook)) / 1e6);
        return complete ? timed.seconds : -1.0;
    };
    std::vector<double> copies, oneSheet, tenPerSheet;
    for (int round = 1; round <= runs; ++round) {
        QFile::remove(dir.filePath("copy.bin"));
        double processorStart = processorSeconds();
        copies.push_back(copySeconds(pictures, dir.filePath("copy.bin")));
        copyProcessor.push_back(processorSeconds() - processorStart);
        std::printf("round %d: copy of the picture bytes %.3f s\n", round, copies.back());
        oneSheet.push_back(runOnce(0));
        tenPerSheet.push_back(runOnce(10));
        std::fflush(stdout);
    }
    double copy = median(copies);
    std::printf("medians of %d rounds:\n", runs);
    std::printf("%-28s %8.3f s\n", "copy of the picture bytes", copy);
    std::printf("processor time (for a loaded machine): copy %.3f s, one sheet %.3f s (%.2f x), 10 per sheet %.3f s "
                "(%.2f x)\n",
                median(copyProcessor), median(oneSheetProcessor), median(oneSheetProcessor) / median(copyProcessor),
                median(tenProcessor), median(tenProcessor) / median(copyProcessor));
    for (auto [label, times] : {std::pair{"run, all on one sheet", &oneSheet}, {"run, 10 per sheet", &tenPerSheet}}) {
        bool failed = std::any_of(times->begin(), times->end(), [](double t) { return t < 0; });
        double seconds = median(*times);
        double ratio = seconds / copy;
        std::printf("%-28s %8.3f s  %.2f x copy (goal <= 1.5) %s\n", label, seconds, ratio,
                    failed ? "FAILED" : ratio <= 1.5 ? "met" : "NOT MET");
    }
    std::printf("peak memory %.0f MB\n", peakMegabytes());

    if (peer && peerCount > 0) {
        std::vector<QString> some(pictures.begin(), pictures.begin() + std::min<std::size_t>(peerCount, pictures.size()));
        QString peerBook = dir.filePath("peer.xls");
        QFile::copy(source, peerBook);
        QString ownBook = dir.filePath("own.xls");
        QFile::copy(source, ownBook);
        Timed own = timeRun(ownBook, some, 0);
        QStringList arguments{QStringLiteral(TAVORIN_BENCH_DIR "/lo_peer.py"), peerBook, dir.filePath("peer-out.xls"),
                              QStringLiteral("0")};
        for (const auto& picture : some)
            arguments << picture;
        QProcess process;
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral("/usr/bin/python3"), arguments);
        process.waitForFinished(-1);
        double peerSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        QString report = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        std::printf("%d pictures: run %.3f s, LibreOffice peer %.3f s (%s): %.0f x faster\n", static_cast<int>(some.size()),
                    own.seconds, peerSeconds, report.toUtf8().constData(), peerSeconds / own.seconds);
    }
    return 0;
}
