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

namespace {

class QuietObserver final : public RunObserver {
public:
    void showMessage(const QString&, const QString&) override {}
    void blankFieldsFilled(const QString&, const QString&) override {}
    void runStarted() override {}
    void progressChanged(float) override {}
    void runFinished() override {}
    void listSheetsAgain() override {}
};

// A photo-like picture: smooth colour areas with grain, so that JPEG keeps it near 250 KB and
// every picture differs.
std::vector<QString> makePhotos(const QDir& folder, int count)
{
    std::vector<QString> paths;
    QRandomGenerator random(20261207);
    for (int i = 0; i < count; ++i) {
        QImage image(1024, 768, QImage::Format_RGB32);
        int baseRed = random.bounded(256), baseGreen = random.bounded(256), baseBlue = random.bounded(256);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                int grain = random.bounded(48);
                line[x] = qRgb((baseRed + x / 4 + grain) & 255, (baseGreen + y / 3 + grain) & 255,
                               (baseBlue + (x + y) / 8 + grain) & 255);
            }
        }
        QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
        QImageWriter writer(path, "jpeg");
        writer.setQuality(70);
        writer.write(image);
        paths.push_back(path);
    }
    return paths;
}

qint64 fileSize(const QString& path) { return QFileInfo(path).size(); }

// Reads every picture and writes their bytes into one file, synced: what saving them costs at least.
double copySeconds(const std::vector<QString>& pictures, const QString& target)
{
    QElapsedTimer timer;
    timer.start();
    int output = ::open(target.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char> buffer(1 << 20);
    for (const auto& picture : pictures) {
        int input = ::open(picture.toLocal8Bit().constData(), O_RDONLY);
        ssize_t count = 0;
        while ((count = ::read(input, buffer.data(), buffer.size())) > 0)
            if (::write(output, buffer.data(), static_cast<std::size_t>(count)) != count)
                break;
        ::close(input);
    }
    ::fsync(output);
    ::close(output);
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

RunOptions jobOptions(const QString& workbook, const std::vector<QString>& pictures, int perSheet)
{
    RunOptions options;
    options.workbookChosen = true;
    options.workbookPath = workbook.toStdString();
    options.sheetNames = {QStringLiteral("Sheet1")};
    options.selectedSheet = 0;
    options.startColumn = 2;
    options.endColumn = 5;
    options.startRow = 3;
    options.endRow = 18;
    options.startRowIndex = 2;
    options.endRowIndex = 17;
    options.rowSpacing = 2;
    options.picturesPerSheet = perSheet;
    options.sheetNameText = QStringLiteral("写真");
    options.dateCaption = {true, 2, 2};
    options.numberCaption = {true, 2, 3};
    options.firstNumberText = QStringLiteral("1");
    options.nameCaption = {true, 19, 2};
    for (const auto& picture : pictures)
        options.pictures.push_back(PictureRow{" " + QFileInfo(picture).fileName(), picture, QStringLiteral("○")});
    return options;
}

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
    timed.outcome = runInsertion(jobOptions(workbook, pictures, perSheet), environment);
    timed.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    return timed;
}

// Processor time (user + system) of this process so far: unlike the elapsed time it hardly
// depends on what else a shared machine is doing.
double processorSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double peakMegabytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
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
