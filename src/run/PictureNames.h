#pragma once

#include <QString>

#include <array>
#include <string_view>

namespace tavorin {

// The 26 endings that make a dropped file a picture: the 23 of the first design and the photos of
// phones and the web (HEIC, HEIF, WebP). Each is compared with the last four characters of the
// path, lower-cased, so the four-letter ones carry no dot.
inline constexpr std::array<std::u16string_view, 26> pictureExtensionTable = {
    u".emf", u".wmf", u".jpg", u"jpeg", u"jfif", u".jpe", u".png", u".bmp", u".dib",
    u".rle", u".bmz", u".gif", u".gfa", u".emz", u".wmz", u".pcz", u".tif", u"tiff",
    u".cgm", u".eps", u".pct", u"pict", u".wpg", u"heic", u"heif", u"webp"};

// True when the last four characters of the path, lower-cased, are one of the table's entries.
bool hasPictureExtension(const QString& path);

// One blank followed by the part of the path after its last "/" (the whole path when it has none).
QString displayNameOf(const QString& path);

// Key of the duplicate test: the display text without its last four characters and without the
// leading blanks (U+0020 only). img01.jpg and img01.png share the key "img01"; img01.jpeg keeps
// the dot ("img01.") and so never collides with them.
QString nameKey(const QString& displayText);

// Key of the sort: the display text lower-cased, compared by UTF-16 code unit.
QString sortKey(const QString& displayText);

} // namespace tavorin
