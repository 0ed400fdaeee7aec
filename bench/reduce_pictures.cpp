// Reducing phone photos while they go into a workbook: COUNT distinct 12-megapixel JPEGs (4000 x 3000,
// about 3.5 MB each, made here once) are each shown in a 9 x 7 cm block (9 cm wide, 4:3) and the workbook is
// saved with 画像を縮小 at 150 dpi: each becomes a 531 x 399 JPEG of quality 85.
//
// Against: djpeg -scale 1/4 over the same files (decoding alone, one process per core), and ImageMagick's
// convert IN -resize WxH -quality 85 OUT (one process per core; on a sample, scaled to COUNT, as it takes
// long). Goals: the whole run (insert, reduce, save) at most 1.5 x djpeg, at least 5 x faster than
// ImageMagick, peak memory below 300 MB. Quality: the PSNR of each reduced picture of the sample against
// ImageMagick's resize of its source to the same pixel size, goal at least 32 dB. The workbook's size with
// and without reduction (without, 999 photos pass the 2 GB an .xls may have: the size it would have).
// Usage: reduce_pictures [COUNT] [SAMPLE]   (defaults 999 and 24)

#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/pictures/PictureReducer.h"
#include "platform/xls/XlsApplication.h"
#include "support/BenchSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using tavorin::bench::cores;
using tavorin::bench::onEveryCore;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double frameWidth = 9 / 2.54 * 72, frameHeight = frameWidth * 3 / 4; // points: 9 cm wide, 4:3
constexpr int dpi = 150, quality = 85;

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

struct EngineResult {
    double seconds = 0;
    long peakKilobytes = 0;
    std::uint64_t size = 0;
    std::string said;
};

// The whole run in a child process, so that its peak memory is its own: every photo inserted and framed,
// the workbook saved (with its pictures reduced to dpiChosen, or as they are).
EngineResult engineRun(const std::vector<fs::path>& photos, const fs::path& workbook, int dpiChosen)
{
    int channel[2];
    if (pipe(channel) != 0)
        std::exit(2);
    if (fork() == 0) {
        close(channel[0]);
        const auto start = Clock::now();
        tavorin::xls::XlsApplication application;
        (void)application.setDisplayAlerts(false);
        (void)application.setPictureReduction({dpiChosen, quality});
        std::string said = "saved";
        auto book = application.openWorkbook(workbook);
        if (!book) {
            said = book.error().describe();
        } else {
            auto sheet = *(*book)->sheetAt(1);
            for (std::size_t i = 0; i < photos.size(); ++i) {
                const int row = 1 + static_cast<int>(i) * 17;
                (void)sheet->selectRange({{row, 2}, {row + 15, 7}});
                auto name = sheet->insertPicture(photos[i]);
                if (!name) {
                    said = name.error().describe();
                    continue;
                }
                (void)sheet->setShapeWidth(*name, frameWidth);
                (void)sheet->setShapeHeight(*name, frameHeight);
            }
            if (auto saved = (*book)->saveAs(workbook); !saved)
                said = saved.error().describe();
        }
        const std::string result = std::to_string(seconds(start)) + " " + said;
        (void)!write(channel[1], result.data(), result.size());
        _exit(0);
    }
    close(channel[1]);
    std::string result;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(n));
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait(&status);
    getrusage(RUSAGE_CHILDREN, &usage);
    EngineResult run;
    run.seconds = std::stod(result);
    run.said = result.substr(result.find(' ') + 1);
    run.peakKilobytes = usage.ru_maxrss;
    std::error_code code;
    run.size = fs::file_size(workbook, code);
    return run;
}

// Runs one program per file, as many at a time as there are cores; the elapsed seconds.
double processesPerCore(const std::vector<fs::path>& files, const std::function<QStringList(std::size_t)>& command)
{
    const auto start = Clock::now();
    onEveryCore(files.size(), [&](std::size_t i) {
        QStringList arguments = command(i);
        const QString program = arguments.takeFirst();
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(600000) || process.exitCode() != 0)
            std::fprintf(stderr, "%s failed on %s\n", qPrintable(program), files[i].c_str());
    });
    return seconds(start);
}

QString text(const fs::path& path) { return QString::fromStdString(path.string()); }

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 999;
    const int sampleCount = std::min(count, argc > 2 ? std::max(1, std::atoi(argv[2])) : 24);
    std::printf("making %d photos of 4000 x 3000 (once, kept in the temporary folder) ...\n", count);
    const auto photos = tavorin::bench::cameraPhotos(fs::path(QDir::tempPath().toStdString()) / "tavorin-bench-photos-4000x3000-v2", count);
    std::uintmax_t photoBytes = 0;
    for (const auto& photo : photos)
        photoBytes += fs::file_size(photo);
    const fs::path work = fs::temp_directory_path() / ("tavorin-bench-reduce-" + std::to_string(getpid()));
    fs::create_directories(work);
    const fs::path fixture = fs::path(TAVORIN_FIXTURES_DIR) / "workbooks/plain.xls";
    const int targetWidth = static_cast<int>(std::lround(frameWidth / 72 * dpi)),
              targetHeight = static_cast<int>(std::lround(frameHeight / 72 * dpi));

    fs::copy_file(fixture, work / "reduced.xls");
    const EngineResult reduced = engineRun(photos, work / "reduced.xls", dpi);
    fs::copy_file(fixture, work / "plain.xls");
    const EngineResult plain = engineRun(photos, work / "plain.xls", 0);

    const double djpeg = processesPerCore(photos, [&](std::size_t i) {
        return QStringList{"djpeg", "-scale", "1/4", "-outfile", "/dev/null", text(photos[i])};
    });
    const std::vector<fs::path> sample(photos.begin(), photos.begin() + sampleCount);
    const QString size = QStringLiteral("%1x%2").arg(targetWidth).arg(targetHeight);
    const double magickSample = processesPerCore(sample, [&](std::size_t i) {
        return QStringList{"/usr/bin/convert", text(sample[i]), "-resize", size, "-quality", QString::number(quality),
                           text(work / ("magick" + std::to_string(i) + ".jpg"))};
    });
    const double magick = magickSample * count / sampleCount;

    // Quality: this program's reduction of each sampled photo against ImageMagick's resize to the same size.
    double worst = 1000, sum = 0;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        const auto ours = tavorin::pictures::PictureReducer::reduce(
            {sample[i], 0, fs::file_size(sample[i]), true, QSize(targetWidth, targetHeight)}, quality);
        const fs::path reference = work / ("reference" + std::to_string(i) + ".png");
        QProcess::execute("/usr/bin/convert", {text(sample[i]), "-resize", size + "!", text(reference)});
        QProcess compare;
        compare.start("compare", {"-metric", "PSNR", text(ours.file), text(reference), "null:"});
        compare.waitForFinished(120000);
        const double psnr = QString::fromUtf8(compare.readAllStandardError()).split(' ').first().toDouble();
        worst = std::min(worst, psnr);
        sum += psnr;
    }

    const double peak = static_cast<double>(reduced.peakKilobytes) / 1024;
    auto megabytes = [](std::uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); };
    std::printf("\n%d photos of 4000 x 3000, %.1f MB; frames 9 x 6.75 cm at %d dpi: %d x %d pixels, quality %d; %u cores\n",
                count, megabytes(photoBytes), dpi, targetWidth, targetHeight, quality, cores());
    std::printf("| what | figure | goal |\n|---|---|---|\n");
    std::printf("| whole run (insert, reduce, save) | %.2f s (%s) | |\n", reduced.seconds, reduced.said.c_str());
    std::printf("| djpeg -scale 1/4, one process per core | %.2f s: run %.2f x | <= 1.5 x %s |\n", djpeg,
                reduced.seconds / djpeg, reduced.seconds <= 1.5 * djpeg ? "met" : "NOT MET");
    std::printf("| ImageMagick convert -resize, one process per core (%d of them, scaled) | %.1f s: run %.1f x faster | >= 5 x %s |\n",
                sampleCount, magick, magick / reduced.seconds, magick >= 5 * reduced.seconds ? "met" : "NOT MET");
    std::printf("| peak memory of the run | %.0f MB | < 300 MB %s |\n", peak, peak < 300 ? "met" : "NOT MET");
    std::printf("| PSNR against ImageMagick's resize (%d photos) | lowest %.1f dB, mean %.1f dB | >= 32 dB %s |\n",
                sampleCount, worst, sum / sampleCount, worst >= 32 ? "met" : "NOT MET");
    std::printf("| workbook with reduction | %.1f MB | |\n", megabytes(reduced.size));
    std::printf("| workbook without reduction | %s | |\n",
                plain.said == "saved" ? (std::to_string(megabytes(plain.size)) + " MB").c_str()
                                      : ("not written: " + plain.said).c_str());
    fs::remove_all(work);
    const bool met = reduced.said == "saved" && reduced.seconds <= 1.5 * djpeg && magick >= 5 * reduced.seconds &&
                     peak < 300 && worst >= 32;
    return met ? 0 : 1;
}
