#pragma once

// Photos as phones and cameras make them, made by the tests: an upright picture whose every turn
// and mirror can be seen, the pixels a camera stores for it under each EXIF orientation, JPEGs
// with an EXIF block written here byte by byte, HEIC written through libheif's encoder, and a
// reading of where a rendering shows the picture's marks.

#include "support/Files.h"

#include <QImage>
#include <QString>

#include <filesystem>
#include <optional>

namespace tavorin::test {

// What every photo viewer must show: white in a thin green frame, a red band along the top edge
// and a blue block at the band's left end. Any turn or mirror moves the band or the block; the
// frame shows where the photo is on a printed page.
QImage uprightPhoto(QSize size);
// A photo-like picture: smooth colours under fine noise, so that it does not shrink to nothing when
// encoded; a transparent top-left quarter if asked. Pictures of different seeds differ.
QImage noisyPicture(QSize size, bool transparentCorner = false, quint32 seed = 7);

// The pixels a camera stores for the upright photo when it records EXIF orientation 1 to 8,
// worked out pixel by pixel from where the standard says the stored 0th row and 0th column are
// shown (1: top, left; 2: top, right; 3: bottom, right; 4: bottom, left; 5: left, top;
// 6: right, top; 7: right, bottom; 8: left, bottom).
QImage storedPixels(const QImage& upright, int orientation);

struct ExifTags {
    std::optional<int> orientation;
    QString taken; // "YYYY:MM:DD HH:MM:SS", empty for none
    bool bigEndian = false;
};
// The TIFF structure of an EXIF block: IFD0 with the orientation, an Exif IFD with DateTimeOriginal.
Bytes exifTiff(const ExifTags& tags);
// The pixels in a format Qt writes ("jpeg" at quality 95, "webp", ...).
Bytes encodedImage(const QImage& pixels, const char* format);
// A JPEG (quality 95) of the pixels with that block in an APP1 segment right after SOI.
Bytes jpegWithExif(const QImage& pixels, const ExifTags& tags);

// A HEIC as a phone writes it, through libheif's encoder: the coded pixels, the irot/imir boxes
// of an orientation, and an Exif item (which may repeat the orientation, as phones do).
void writeHeic(const std::filesystem::path& path, const QImage& coded, int orientation, const Bytes& exif);

// Where a picture shows the photo's marks: the side of the red band and the end of that side
// holding the blue block, e.g. "top:left" for the upright photo, "right:top" turned 90° clockwise.
QString marksOf(const QImage& shown);
// The photo's part of a rendered page: the box around its green frame (empty when none shows).
QRect photoArea(const QImage& page);

} // namespace tavorin::test
