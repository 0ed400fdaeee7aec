// The insertion run on an .xlsx workbook, timed against copying the same picture bytes, and the
// sheet listing of the large package it writes.
//
//   xlsx_run [--pictures N] [--runs R] [--photos FOLDER]
//
// Makes N distinct JPEG photos of about 250 KB, then R times in turn: reading them and writing
// one file of the same size, synced (the copy time), and the run with all of them on one sheet
// of StockPortfolio.xlsx (Excel-written, Calibri 11) with three captions each. Goals: the run
// within 1.5 times the copy time (medians); listing the sheets of the written package (about
// 250 MB for 999 photos) under 20 ms; peak memory under the package's size plus 100 MB.

#include "platform/AnyFormatApplication.h"
#include "platform/FileCreationTime.h"
#include "platform/WorkbookSheetNames.h"
#include "run/InsertionRun.h"
#include "run/RunObserver.h"
#include "support/BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace tavorin;
using namespace tavorin::bench;

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    int count = 999, runs = 3;
    QString photos; // where the photos are kept between invocations (made when missing)
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pictures") == 0 && i + 1 < argc)
            count = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--photos") == 0 && i + 1 < argc)
            photos = QString::fromLocal8Bit(argv[++i]);
    }
    QTemporaryDir folder;
    QDir dir(folder.path());
    std::printf("making %d photos...\n", count);
    std::fflush(stdout);
    const std::vector<QString> pictures = keptPhotos(photos.isEmpty() ? dir : QDir(photos), count);
    qint64 total = 0;
    for (const auto& picture : pictures)
        total += QFileInfo(picture).size();
    std::printf("%d photos, %.1f MB, %.0f KB each on average\n", count, double(total) / 1e6, double(total) / count / 1e3);

    const QString workbook = dir.filePath(QStringLiteral("book.xlsx"));
    std::vector<double> copies, runsTimed, copyProcessor, runProcessor, runSystem;
    bool complete = true;
    for (int round = 1; round <= runs; ++round) {
        QFile::remove(dir.filePath("copy.bin"));
        double processorStart = processorSeconds();
        copies.push_back(copySeconds(pictures, dir.filePath("copy.bin")));
        copyProcessor.push_back(processorSeconds() - processorStart);
        QFile::remove(workbook);
        QFile::copy(QStringLiteral(TAVORIN_FIXTURES_DIR "/workbooks/StockPortfolio.xlsx"), workbook);
        QFile::setPermissions(workbook, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QuietObserver observer;
        RunEnvironment environment;
        environment.workbookOpenElsewhere = [](const std::filesystem::path&) { return std::optional<WorkbookUser>(); };
        environment.createApplication = [](FitFor fitFor) { return std::make_unique<AnyFormatApplication>(fitFor); };
        environment.fileCreationTime = &fileCreationTime;
        environment.longDateToday = [] { return QStringLiteral("2026年12月7日"); };
        environment.observer = &observer;
        QElapsedTimer timer;
        timer.start();
        processorStart = processorSeconds();
        const double systemStart = systemSeconds();
        RunOutcome outcome = runInsertion(ledgerOptions(workbook, {QStringLiteral("Sheet1"), QStringLiteral("Sheet2")}, pictures, 0), environment);
        runsTimed.push_back(double(timer.nsecsElapsed()) / 1e9);
        runProcessor.push_back(processorSeconds() - processorStart);
        runSystem.push_back(systemSeconds() - systemStart);
        complete = complete && outcome.saved && outcome.placed == count;
        std::printf("round %d: copy %.3f s (processor %.3f s), run %.3f s (processor %.3f s, %.3f s of it system; "
                    "placed %d, saved %s, %.1f MB written)\n",
                    round, copies.back(), copyProcessor.back(), runsTimed.back(), runProcessor.back(), runSystem.back(),
                    outcome.placed, outcome.saved ? "yes" : "no", double(QFileInfo(workbook).size()) / 1e6);
        std::fflush(stdout);
    }
    const double copy = median(copies), run = median(runsTimed), ratio = run / copy;
    std::printf("medians of %d rounds: copy %.3f s, run %.3f s: %.2f x copy (goal <= 1.5) %s\n", runs, copy, run, ratio,
                !complete ? "FAILED" : ratio <= 1.5 ? "met" : "NOT MET");
    std::printf("processor time (user + system), medians: copy %.3f s, run %.3f s (system %.3f s)\n",
                median(copyProcessor), median(runProcessor), median(runSystem));
    const double outputMegabytes = double(QFileInfo(workbook).size()) / (1024.0 * 1024.0);
    const double peak = peakMegabytes();
    std::printf("peak memory %.0f MB for a %.0f MB package (goal < package + 100 MB) %s\n", peak, outputMegabytes,
                peak < outputMegabytes + 100 ? "met" : "NOT MET");

    std::vector<double> listings;
    std::size_t sheets = 0;
    for (int i = 0; i < 51; ++i) {
        QElapsedTimer timer;
        timer.start();
        auto names = workbookSheetNames(workbook.toStdString());
        listings.push_back(double(timer.nsecsElapsed()) / 1e6);
        sheets = names ? names->size() : 0;
    }
    const double listing = median(listings);
    std::printf("sheet listing of the %.0f MB package: %zu sheets, %.2f ms median of 51 (goal < 20 ms) %s\n",
                outputMegabytes, sheets, listing, listing < 20 ? "met" : "NOT MET");
    return complete ? 0 : 1;
}
