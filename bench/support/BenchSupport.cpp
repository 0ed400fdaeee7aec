#include "support/BenchSupport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

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
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace tavorin::bench
