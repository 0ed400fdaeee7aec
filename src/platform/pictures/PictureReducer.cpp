#include "platform/pictures/PictureReducer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryFile>

#include <turbojpeg.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tavorin::pictures {
namespace {

ReducedPicture failure(std::string what)
{
    ReducedPicture result;
    result.error = std::move(what);
    return result;
}

std::optional<QByteArray> readRange(const ReductionJob& job)
{
    QFile file(QString::fromStdString(job.file.string()));
    if (job.length > (1ull << 31) || !file.open(QIODevice::ReadOnly) || !file.seek(static_cast<qint64>(job.offset)))
        return std::nullopt;
    QByteArray bytes = file.read(static_cast<qint64>(job.length));
    if (static_cast<std::uint64_t>(bytes.size()) != job.length)
        return std::nullopt;
    return bytes;
}

// Decodes a JPEG at the smallest scale libjpeg-turbo offers that still covers the target, as
// 32-bit pixels; a null image when libjpeg-turbo cannot (CMYK, damage), for Qt to try.
QImage decodeJpegScaled(const QByteArray& bytes, QSize target)
{
    tjhandle handle = tjInitDecompress();
    if (handle == nullptr)
        return {};
    struct Closer {
        tjhandle handle;
        ~Closer() { tjDestroy(handle); }
    } closer{handle};
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colourspace) != 0 ||
        colourspace == TJCS_CMYK || colourspace == TJCS_YCCK)
        return {};
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    int scaledWidth = width, scaledHeight = height;
    for (int i = 0; i < count; ++i) {
        const int w = TJSCALED(width, factors[i]), h = TJSCALED(height, factors[i]);
        if (w >= target.width() && h >= target.height() && w <= scaledWidth && h <= scaledHeight) {
            scaledWidth = w;
            scaledHeight = h;
        }
    }
    QImage image(scaledWidth, scaledHeight, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    // Qt's RGB32 is B, G, R, X in memory on a little-endian machine, X, R, G, B on a big-endian one.
    const int format = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TJPF_BGRX : TJPF_XRGB;
    if (tjDecompress2(handle, data, size, image.bits(), scaledWidth, static_cast<int>(image.bytesPerLine()),
                      scaledHeight, format, 0) != 0 &&
        tjGetErrorCode(handle) == TJERR_FATAL)
        return {};
    return image;
}

std::optional<QByteArray> encodeJpeg(const QImage& source, int quality)
{
    QImage image = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    tjhandle handle = tjInitCompress();
    if (handle == nullptr)
        return std::nullopt;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int format = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TJPF_BGRX : TJPF_XRGB;
    const int status = tjCompress2(handle, image.constBits(), image.width(), static_cast<int>(image.bytesPerLine()),
                                   image.height(), format, &out, &outSize, TJSAMP_420, quality, 0);
    std::optional<QByteArray> result;
    if (status == 0 && out != nullptr)
        result.emplace(reinterpret_cast<const char*>(out), static_cast<qsizetype>(outSize));
    tjFree(out);
    tjDestroy(handle);
    return result;
}

std::optional<QByteArray> encodePng(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return std::nullopt;
    return png;
}

} // namespace

std::optional<QSize> reducedPixelSize(QSize pixels, QSizeF shownPoints, int dpi)
{
    if (dpi <= 0 || pixels.isEmpty() || shownPoints.isEmpty())
        return std::nullopt;
    auto side = [&](int have, double points) {
        const double wanted = std::max(1.0, std::round(points / 72.0 * dpi));
        return wanted < have ? static_cast<int>(wanted) : have;
    };
    const QSize reduced(side(pixels.width(), shownPoints.width()), side(pixels.height(), shownPoints.height()));
    if (reduced == pixels)
        return std::nullopt;
    return reduced;
}

ReducedPicture PictureReducer::reduce(const ReductionJob& job, int jpegQuality)
{
    auto bytes = readRange(job);
    if (!bytes)
        return failure("cannot be read again to be reduced");
    QImage image = job.jpeg ? decodeJpegScaled(*bytes, job.target) : QImage();
    if (image.isNull()) {
        QBuffer buffer(&*bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, job.jpeg ? "jpeg" : "png");
        reader.setAutoTransform(false); // the pixels as stored, as the shape shows them
        image = reader.read();
        if (image.isNull())
            return failure("does not decode to be reduced: " + reader.errorString().toStdString());
    }
    bytes.reset();
    if (image.size() != job.target)
        image = image.scaled(job.target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    auto encoded = job.jpeg ? encodeJpeg(image, jpegQuality) : encodePng(image);
    if (!encoded)
        return failure("cannot be encoded again after reducing");
    auto file = std::make_shared<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/tavorin-reduced-XXXXXX"));
    if (!file->open() || file->write(*encoded) != encoded->size() || !file->flush())
        return failure("its reduced copy cannot be kept in the temporary folder: " + file->errorString().toStdString());
    file->close();
    ReducedPicture result;
    result.file = std::filesystem::path(file->fileName().toStdString());
    result.length = static_cast<std::uint64_t>(encoded->size());
    result.pixels = image.size();
    result.keepAlive = std::shared_ptr<const void>(file, file.get());
    return result;
}

std::vector<ReducedPicture> PictureReducer::reduceAll(const std::vector<ReductionJob>& jobs, int jpegQuality,
                                                      const Progress& done)
{
    std::vector<ReducedPicture> results(jobs.size());
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable finishedOne;
    std::size_t finished = 0;
    auto work = [&] {
        for (std::size_t i; (i = next++) < jobs.size();) {
            ReducedPicture result = reduce(jobs[i], jpegQuality);
            std::lock_guard lock(mutex);
            results[i] = std::move(result);
            ++finished;
            finishedOne.notify_one();
        }
    };
    const auto workers = std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), jobs.size());
    std::vector<std::jthread> threads;
    for (std::size_t i = 0; i < workers; ++i)
        threads.emplace_back(work);
    for (std::size_t reported = 0; reported < jobs.size();) {
        std::unique_lock lock(mutex);
        finishedOne.wait(lock, [&] { return finished > reported; });
        reported = finished;
        lock.unlock();
        if (done)
            done(reported, jobs.size());
    }
    return results;
}

} // namespace tavorin::pictures
