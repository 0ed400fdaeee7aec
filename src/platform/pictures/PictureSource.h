#pragma once

#include "platform/pictures/HeifFile.h"
#include "platform/pictures/PictureOrientation.h"

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QIODevice>
#include <QSize>
#include <QString>

#include <memory>
#include <string>

namespace tavorin::pictures {

// A picture file decoded as photo viewers show it, for the preview and for the pictures the
// workbook engines store converted, so that both show the same:
//   JPEG  its EXIF orientation (JpegOrientation) applied to the decoded pixels; the engines
//         store the file itself and turn the shape instead;
//   PNG   as stored, as the engines store it;
//   HEIF  decoded by libheif with the file's own turns and mirrors;
//   other Qt's readers with the transformation their format records (a TIFF's orientation tag).
// With the orientation left out, every kind is decoded as stored.
class PictureSource {
public:
    // The whole file in memory; formatHint names a Qt reader for content that does not say
    // what it is (a DIB made into a BMP).
    PictureSource(QByteArray bytes, bool applyOrientation, const QByteArray& formatHint = {});
    // The file at path: held in memory up to wholeReadLimit (decoding from memory spares the
    // decoder thousands of small reads), read from the disk beyond it.
    PictureSource(const QString& path, bool applyOrientation);
    ~PictureSource();
    PictureSource(const PictureSource&) = delete;
    PictureSource& operator=(const PictureSource&) = delete;

    static constexpr qint64 wholeReadLimit = 64 * 1024 * 1024;

    bool isHeif() const { return heif_ != nullptr; }
    // The decoded size as shown (its sides exchanged for a picture turned by a quarter), from
    // the header where the format allows; empty when the picture cannot be read.
    QSize shownSize();
    // The picture as shown, at its own size or scaled to `shown` (a JPEG is reduced while it is
    // decoded); a null image, with error() saying why, when it cannot be decoded.
    QImage decode(QSize shown = {});
    const std::string& error() const { return error_; }

private:
    void prepare(const QByteArray& formatHint);
    // The turn Qt applies itself for formats that record one, to tell the shown size.
    bool qtTurnsSideways();

    std::unique_ptr<QIODevice> device_;
    QByteArray bytes_; // the file, when held in memory
    bool applyOrientation_ = true;
    bool ownOrientation_ = false; // JPEG and PNG: Qt's own transformation is switched off
    PictureOrientation orientation_;
    std::unique_ptr<QImageReader> reader_;
    std::unique_ptr<HeifFile> heif_;
    QImage decoded_; // kept when the size could only be learnt by decoding
    std::string error_;
};

} // namespace tavorin::pictures
