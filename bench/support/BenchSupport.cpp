#include "support/BenchSupport.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QMimeData>
#include <QRandomGenerator>
#include <QUrl>

#include <turbojpeg.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

namespace tavorin::bench {

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

std::vector<QString> keptPhotos(const QDir& folder, int count)
{
    QDir().mkpath(folder.path());
    if (folder.entryList({QStringLiteral("photo*.jpg")}).size() < count)
        return makePhotos(folder, count);
    std::vector<QString> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back(folder.filePath(QStringLiteral("photo%1.jpg").arg(i, 4, 10, QLatin1Char('0'))));
    return paths;
}

unsigned cores() { return std::max(1u, std::thread::hardware_concurrency()); }

std::vector<std::filesystem::path> cameraPhotos(const std::filesystem::path& folder, int count)
{
    std::filesystem::create_directories(folder);
    QImage base(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator grain(20261207);
    for (int y = 0; y < base.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(base.scanLine(y));
        for (int x = 0; x < base.width(); ++x) {
            const int n = static_cast<int>(grain.bounded(16)) - 16 / 2;
            const int shape = static_cast<int>(60 * std::sin(x / 37.0) * std::cos(y / 53.0));
            line[x] = qRgb(std::clamp(x * 255 / 4000 + n, 0, 255), std::clamp(y * 255 / 3000 + n + shape, 0, 255),
                           std::clamp(128 + shape + n, 0, 255));
        }
    }
    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back(folder / ("IMG_" + std::to_string(1000 + i) + ".jpg"));
    onEveryCore(paths.size(), [&](std::size_t i) {
        if (std::filesystem::exists(paths[i]) && std::filesystem::file_size(paths[i]) > 1000000)
            return;
        QImage photo = base.copy();
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                photo.setPixel(100 + x, 100 + y, (i >> (x / 4)) & 1 ? 0xFFFFFFFF : 0xFF000000); // 16 bits
        tjhandle handle = tjInitCompress();
        unsigned char* out = nullptr;
        unsigned long size = 0;
        if (tjCompress2(handle, photo.constBits(), photo.width(), static_cast<int>(photo.bytesPerLine()), photo.height(),
                        TJPF_BGRX, &out, &size, TJSAMP_420, 92, 0) == 0) {
            std::ofstream(paths[i], std::ios::binary).write(reinterpret_cast<const char*>(out), static_cast<std::streamsize>(size));
        }
        tjFree(out);
        tjDestroy(handle);
    });
    return paths;
}

void dropFiles(QWidget* target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target))
        target = area->viewport();
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    for (QEvent* event : std::initializer_list<QEvent*>{&enter, &move, &dropped})
        QApplication::sendEvent(target, event);
}

RunOptions ledgerOptions(const QString& workbook, const QStringList& sheets, const std::vector<QString>& pictures,
                         int perSheet)
{
    RunOptions options;
    options.workbookChosen = true;
    options.workbookPath = workbook.toStdString();
    options.sheetNames = sheets;
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

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double processorSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double systemSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_stime.tv_sec) + static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
}

double peakMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

} // namespace tavorin::bench
