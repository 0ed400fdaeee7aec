#include "platform/pictures/PictureSource.h"

#include "platform/pictures/JpegExif.h"
#include "platform/pictures/JpegOrientation.h"

#include <QBuffer>
#include <QFile>

#include <span>

namespace tavorin::pictures {
namespace {

// EXIF must lie in the segments before the picture data, at most 64 KB each.
constexpr qint64 jpegHeadBytes = 256 * 1024;

std::span<const std::uint8_t> spanOf(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

bool startsWith(const QByteArray& head, const char* signature, qsizetype length)
{
    return head.size() >= length && std::equal(signature, signature + length, head.constData());
}

} // namespace

PictureSource::PictureSource(QByteArray bytes, bool applyOrientation, const QByteArray& formatHint)
    : bytes_(std::move(bytes)), applyOrientation_(applyOrientation)
{
    auto buffer = std::make_unique<QBuffer>(&bytes_);
    buffer->open(QIODevice::ReadOnly);
    device_ = std::move(buffer);
    prepare(formatHint);
}

PictureSource::PictureSource(const QString& path, bool applyOrientation) : applyOrientation_(applyOrientation)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        error_ = file->errorString().toStdString();
        return;
    }
    if (file->size() <= wholeReadLimit) {
        bytes_ = file->readAll();
        auto buffer = std::make_unique<QBuffer>(&bytes_);
        buffer->open(QIODevice::ReadOnly);
        device_ = std::move(buffer);
    } else {
        device_ = std::move(file);
    }
    prepare({});
}

PictureSource::~PictureSource() = default;

void PictureSource::prepare(const QByteArray& formatHint)
{
    const QByteArray head = device_->peek(jpegHeadBytes);
    if (HeifFile::looksLikeHeif(spanOf(head))) {
        if (bytes_.isNull())
            bytes_ = device_->readAll();
        heif_ = HeifFile::open(spanOf(bytes_), error_);
        if (!heif_ && error_.empty())
            error_ = "not a readable HEIF file";
        return;
    }
    reader_ = std::make_unique<QImageReader>(device_.get(), formatHint);
    const bool jpeg = startsWith(head, "\xFF\xD8\xFF", 3);
    ownOrientation_ = jpeg || startsWith(head, "\x89PNG", 4);
    if (jpeg && applyOrientation_)
        orientation_ = JpegOrientation::read(spanOf(head)).orientation;
    reader_->setAutoTransform(applyOrientation_ && !ownOrientation_);
}

bool PictureSource::qtTurnsSideways()
{
    return reader_->autoTransform() && reader_->transformation().testFlag(QImageIOHandler::TransformationRotate90);
}

QSize PictureSource::shownSize()
{
    if (heif_ && applyOrientation_)
        return heif_->shownSize();
    if (heif_) {
        decoded_ = decode();
        return decoded_.size();
    }
    if (!reader_)
        return {};
    QSize stored = reader_->size();
    if (!stored.isValid()) {
        // The format tells its size only by decoding; the picture is kept for decode().
        decoded_ = decode();
        return decoded_.size();
    }
    return orientation_.sideways() || qtTurnsSideways() ? stored.transposed() : stored;
}

QImage PictureSource::decode(QSize shown)
{
    QImage image;
    if (heif_) {
        image = decoded_.isNull() ? heif_->decode(applyOrientation_, error_) : decoded_;
        if (!image.isNull() && shown.isValid() && image.size() != shown)
            image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return image;
    }
    if (!reader_)
        return {};
    if (!decoded_.isNull())
        return shown.isValid() ? decoded_.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation) : decoded_;
    if (shown.isValid())
        reader_->setScaledSize(orientation_.sideways() || qtTurnsSideways() ? shown.transposed() : shown);
    image = reader_->read();
    if (image.isNull()) {
        error_ = reader_->errorString().toStdString();
        return image;
    }
    return orientation_.appliedTo(image);
}

} // namespace tavorin::pictures
