#include "platform/xls/drawing/PictureFile.h"

#include "platform/pictures/JpegExif.h"
#include "platform/pictures/JpegOrientation.h"
#include "platform/pictures/JpegTranspose.h"
#include "platform/pictures/PictureSource.h"
#include "platform/pictures/StoredTurn.h"
#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/drawing/ContentKey.h"

#include <QBuffer>
#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryFile>

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <string>

namespace tavorin::xls {

// Helpers of PictureFile::open, a friend so that it may fill the description.
class PictureFileReader {
public:
    static Result<PictureFile> open(const std::filesystem::path& path, PictureFile::Options options);

private:
    static Error error(const std::filesystem::path& path, const std::string& what)
    {
        return Error{"picture " + path.string() + ": " + what, "picture", {}, {}};
    }
    // The first bytes of a file (at most limit) and what the file was when they were read.
    struct FileStart {
        std::vector<std::uint8_t> bytes;
        PictureFile::FileIdentity identity;
        bool whole() const { return bytes.size() == identity.size; }
    };
    static Result<FileStart> readStart(const std::filesystem::path& path, std::uint64_t limit);
    static Error unknownFormat(const std::filesystem::path& path);
    static PictureFile::Uid md4(std::span<const std::uint8_t> bytes);
    static Result<QImage> decode(const PictureFile& picture, std::span<const std::uint8_t> bytes, bool applyOrientation);
    static Result<QByteArray> convertToPng(PictureFile& picture, std::span<const std::uint8_t> bytes, bool applyOrientation);
    static Status convertPhoto(PictureFile& picture, std::span<const std::uint8_t> bytes, bool applyOrientation);
    static Result<bool> turnAsViewersDo(PictureFile& picture, std::vector<std::uint8_t>& start);
    static Status storeTransposed(PictureFile& picture);
    static Status holdInTemporaryFile(PictureFile& picture, const QByteArray& bytes);
    static Status compressMetafile(PictureFile& picture, std::span<const std::uint8_t> metafile);
};

namespace {

constexpr std::uint8_t bitmapTag = 0xFF;

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A BMP file header for a DIB, so that a bitmap reader takes it: "BM", file size, 0, and the
// offset of the pixels.
std::vector<std::uint8_t> bmpFileHeaderFor(std::span<const std::uint8_t> dib, std::uint64_t pixelOffset)
{
    std::vector<std::uint8_t> header{'B', 'M'};
    putU32(header, static_cast<std::uint32_t>(14 + dib.size()));
    putU32(header, 0);
    putU32(header, static_cast<std::uint32_t>(14 + pixelOffset));
    return header;
}

std::string lowerExtension(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

Result<PictureFileReader::FileStart> PictureFileReader::readStart(const std::filesystem::path& path,
                                                                  std::uint64_t limit)
{
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return error(path, errno == ENOENT ? "is not a readable file" : std::string("cannot be read: ") + std::strerror(errno))
            .ofKind(ErrorKind::PictureUnreadable);
    struct Closer {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } closer{descriptor};
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return error(path, "is not a readable file").ofKind(ErrorKind::PictureUnreadable);
    FileStart start;
    start.identity = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
                      static_cast<std::uint64_t>(status.st_size),
                      static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
    if (start.identity.size > PictureFile::maximumFileSize)
        return error(path, "is larger than " + std::to_string(PictureFile::maximumFileSize >> 20) + " MB")
            .ofKind(ErrorKind::PictureTooLarge);
    start.bytes.resize(static_cast<std::size_t>(std::min(start.identity.size, limit)));
    for (std::size_t done = 0; done < start.bytes.size();) {
        ssize_t count = ::pread(descriptor, start.bytes.data() + done, start.bytes.size() - done, static_cast<off_t>(done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return error(path, "cannot be read").ofKind(ErrorKind::PictureUnreadable);
        done += static_cast<std::size_t>(count);
    }
    return start;
}

Result<std::vector<std::uint8_t>> PictureFile::unpackGzip(const std::filesystem::path& path,
                                                          std::span<const std::uint8_t> bytes)
{
    const auto error = [&path](const std::string& what) {
        return Error{"picture " + path.string() + ": " + what, "picture", {}, {}};
    };
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return error("cannot be unpacked");
    std::vector<std::uint8_t> out;
    std::array<std::uint8_t, 64 * 1024> chunk{};
    stream.next_in = const_cast<Bytef*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = chunk.data();
        stream.avail_out = static_cast<uInt>(chunk.size());
        result = inflate(&stream, Z_NO_FLUSH);
        out.insert(out.end(), chunk.data(), chunk.data() + (chunk.size() - stream.avail_out));
        if (out.size() > PictureFile::maximumFileSize) {
            inflateEnd(&stream);
            return error("unpacks to more than " + std::to_string(PictureFile::maximumFileSize >> 20) + " MB");
        }
        if (result == Z_BUF_ERROR && stream.avail_in == 0)
            break;
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END)
        return error("is compressed (gzip) but its data is damaged or cut short");
    return out;
}

Error PictureFileReader::unknownFormat(const std::filesystem::path& path)
{
    static const std::array<std::pair<const char*, const char*>, 8> unsupported{{
        {".bmz", "compressed BMP (.bmz)"},
        {".gfa", "Graphics Interchange Format animation (.gfa)"},
        {".pcz", "compressed PC Paintbrush (.pcz)"},
        {".cgm", "Computer Graphics Metafile (.cgm)"},
        {".eps", "Encapsulated PostScript (.eps)"},
        {".pct", "Macintosh PICT (.pct)"},
        {".pict", "Macintosh PICT (.pict)"},
        {".wpg", "WordPerfect Graphics (.wpg)"},
    }};
    std::string extension = lowerExtension(path);
    for (const auto& [ending, name] : unsupported)
        if (extension == ending)
            return error(path, std::string("is a ") + name + " picture, a format that cannot be placed in an Excel 97-2003 workbook")
                .ofKind(ErrorKind::PictureUnsupported, name);
    return error(path, "is not a picture in a known format (JPEG, PNG, BMP, GIF, TIFF, EMF, WMF, HEIC or WebP)")
        .ofKind(ErrorKind::PictureUnknown);
}

PictureFile::Uid PictureFileReader::md4(std::span<const std::uint8_t> bytes)
{
    QByteArrayView view(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QByteArray digest = QCryptographicHash::hash(view, QCryptographicHash::Md4);
    PictureFile::Uid uid{};
    std::copy_n(reinterpret_cast<const std::uint8_t*>(digest.constData()), uid.size(), uid.begin());
    return uid;
}

// Decodes a picture that is stored converted, the way the preview decodes it.
Result<QImage> PictureFileReader::decode(const PictureFile& picture, std::span<const std::uint8_t> bytes,
                                         bool applyOrientation)
{
    QByteArray data;
    QByteArray decoder;
    if (picture.format() == PictureFormat::Dib) {
        auto header = bmpFileHeaderFor(bytes, picture.header().dibPixelOffset);
        data.append(reinterpret_cast<const char*>(header.data()), static_cast<qsizetype>(header.size()));
        decoder = "BMP";
    }
    data.append(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    pictures::PictureSource source(std::move(data), applyOrientation, decoder);
    QImage image = source.decode();
    if (image.isNull())
        return error(picture.path(), "does not decode as a " + std::string(pictureFormatName(picture.format())) +
                                         " picture (damaged or a variant that cannot be read)")
            .ofKind(ErrorKind::PictureDamaged, source.error());
    return image;
}

Result<QByteArray> PictureFileReader::convertToPng(PictureFile& picture, std::span<const std::uint8_t> bytes,
                                                   bool applyOrientation)
{
    auto decoded = decode(picture, bytes, applyOrientation);
    if (!decoded)
        return decoded.error();
    QImage& image = *decoded;
    // A picture its format turned upright (a TIFF's orientation tag) has its sides exchanged.
    PictureHeader& header = picture.header_;
    if (image.width() != header.pixelWidth && image.width() == header.pixelHeight) {
        std::swap(header.pixelWidth, header.pixelHeight);
        std::swap(header.dpiX, header.dpiY);
        std::swap(header.widthPoints, header.heightPoints);
    }
    // The PNG states the resolution the picture was measured with (its own, or 96 dpi). Left
    // alone, QImage would write the screen's, so the same picture would be stored differently
    // by the window and by the command line, and again on another screen.
    constexpr double inchesPerMetre = 1 / 0.0254;
    image.setDotsPerMeterX(static_cast<int>(std::lround(header.dpiX * inchesPerMetre)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(header.dpiY * inchesPerMetre)));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return error(picture.path(), "cannot be converted to PNG: " + writer.errorString().toStdString())
            .ofKind(ErrorKind::PictureNotKept);
    return png;
}

// HEIF and WebP: decoded (a HEIF upright by its own turns) and stored as a JPEG of quality 90,
// or as a PNG when the picture has transparency, which a JPEG cannot keep. Measured at 96 dpi,
// as neither format records a resolution.
Status PictureFileReader::convertPhoto(PictureFile& picture, std::span<const std::uint8_t> bytes, bool applyOrientation)
{
    auto decoded = decode(picture, bytes, applyOrientation);
    if (!decoded)
        return decoded.error();
    const QImage& image = *decoded;
    PictureHeader& header = picture.header_;
    header.pixelWidth = image.width();
    header.pixelHeight = image.height();
    header.widthPoints = image.width() * 72.0 / PictureHeader::defaultDpi;
    header.heightPoints = image.height() * 72.0 / PictureHeader::defaultDpi;
    const bool transparent = image.hasAlphaChannel();
    QByteArray stored;
    QBuffer buffer(&stored);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, transparent ? "png" : "jpeg");
    if (!transparent)
        writer.setQuality(90);
    if (!writer.write(image))
        return error(picture.path(), "cannot be converted: " + writer.errorString().toStdString())
            .ofKind(ErrorKind::PictureNotKept);
    picture.blipType_ = transparent ? PictureFile::BlipType::Png : PictureFile::BlipType::Jpeg;
    picture.blipInstance_ = transparent ? 0x6E0 : 0x46A;
    picture.uid_ = md4(std::span(reinterpret_cast<const std::uint8_t*>(stored.constData()), static_cast<std::size_t>(stored.size())));
    picture.payload_.prefix = {bitmapTag};
    return holdInTemporaryFile(picture, stored);
}

// A JPEG is stored as its own bytes: its EXIF orientation is set to "as stored" in place and
// the shape gets the turn instead. The start of the file read so far gets the same change, so
// that its key is that of the stored bytes. A mirrored photo is stored transposed, from a
// temporary file (true).
Result<bool> PictureFileReader::turnAsViewersDo(PictureFile& picture, std::vector<std::uint8_t>& start)
{
    auto orientation = pictures::JpegOrientation::read(start);
    if (!orientation.asStored)
        return false;
    const auto stored = pictures::StoredTurn::of(orientation.orientation);
    picture.turn_ = stored.clockwise;
    if (stored.transpose) {
        if (auto status = storeTransposed(picture); !status)
            return status.error();
        return true;
    }
    pictures::applyPatches(start, 0, std::span(&*orientation.asStored, 1));
    picture.payload_.patches.push_back(std::move(*orientation.asStored));
    return false;
}

// The whole JPEG transposed without loss, its tag set to "as stored" there too, measured anew.
Status PictureFileReader::storeTransposed(PictureFile& picture)
{
    auto whole = readStart(picture.path(), PictureFile::maximumFileSize);
    if (!whole)
        return whole.error();
    std::string problem;
    auto transposed = pictures::transposedJpeg(whole->bytes, problem);
    if (!transposed)
        return error(picture.path(), "cannot be turned as its orientation says: " + problem)
            .ofKind(ErrorKind::PictureDamaged, problem);
    if (auto tag = pictures::JpegOrientation::read(*transposed).asStored)
        pictures::applyPatches(*transposed, 0, std::span(&*tag, 1));
    auto header = PictureHeader::read(PictureFormat::Jpeg, *transposed);
    if (!header)
        return error(picture.path(), header.error().message).ofKind(ErrorKind::PictureDamaged);
    std::swap(header->dpiX, header->dpiY);
    header->widthPoints = header->pixelWidth * 72.0 / header->dpiX;
    header->heightPoints = header->pixelHeight * 72.0 / header->dpiY;
    picture.header_ = *header;
    picture.source_.reset();
    picture.uid_ = md4(*transposed);
    const QByteArray bytes(reinterpret_cast<const char*>(transposed->data()), static_cast<qsizetype>(transposed->size()));
    return holdInTemporaryFile(picture, bytes);
}

Status PictureFileReader::holdInTemporaryFile(PictureFile& picture, const QByteArray& bytes)
{
    auto file = std::make_shared<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/tavorin-picture-XXXXXX"));
    if (!file->open() || file->write(bytes) != bytes.size() || !file->flush())
        return error(picture.path(), "its converted copy cannot be kept in the temporary folder: " +
                                         file->errorString().toStdString())
            .ofKind(ErrorKind::PictureNotKept, file->errorString().toStdString());
    file->close(); // the file stays until the object goes; no descriptor is held meanwhile
    picture.payload_.file = std::filesystem::path(file->fileName().toStdString());
    picture.payload_.offset = 0;
    picture.payload_.length = static_cast<std::uint64_t>(bytes.size());
    picture.payload_.fileSize = picture.payload_.length;
    picture.payload_.keepAlive = std::shared_ptr<const void>(file, file.get());
    return success();
}

Status PictureFileReader::compressMetafile(PictureFile& picture, std::span<const std::uint8_t> metafile)
{
    uLongf capacity = compressBound(static_cast<uLong>(metafile.size()));
    QByteArray compressed(static_cast<qsizetype>(capacity), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(compressed.data()), &capacity, metafile.data(),
                  static_cast<uLong>(metafile.size()), Z_BEST_COMPRESSION) != Z_OK)
        return error(picture.path(), "cannot be compressed").ofKind(ErrorKind::PictureNotKept);
    compressed.resize(static_cast<qsizetype>(capacity));
    // OfficeArtMetafileHeader: cbSize, rcBounds, ptSize (EMU), cbSave, compression 0 (deflate), filter 0xFE.
    auto& prefix = picture.payload_.prefix;
    const auto& header = picture.header_;
    putU32(prefix, static_cast<std::uint32_t>(metafile.size()));
    for (auto value : header.bounds)
        putU32(prefix, static_cast<std::uint32_t>(value));
    for (auto value : header.frameEmu)
        putU32(prefix, static_cast<std::uint32_t>(value));
    putU32(prefix, static_cast<std::uint32_t>(compressed.size()));
    prefix.push_back(0x00);
    prefix.push_back(0xFE);
    return holdInTemporaryFile(picture, compressed);
}

Result<PictureFile> PictureFileReader::open(const std::filesystem::path& path, PictureFile::Options options)
{
    // A JPEG's frame header stands near its start, behind its metadata (a camera's EXIF block
    // with its thumbnail, a colour profile): the start of the file is enough to place the
    // picture, read in growing steps. Every other format is read whole (PNG to find its end
    // chunk, the rest to be converted).
    constexpr std::array<std::uint64_t, 2> jpegHeadSteps{PictureFile::leadingBytes, 256 * 1024};
    auto start = readStart(path, jpegHeadSteps[0]);
    if (!start)
        return start.error();
    auto format = detectPictureFormat(std::span(start->bytes).first(std::min(start->bytes.size(), pictureSignatureSize)));
    if (!format)
        return unknownFormat(path);
    std::optional<Result<PictureHeader>> jpegHeader;
    for (std::size_t step = 0; *format == PictureFormat::Jpeg; ++step) {
        jpegHeader = PictureHeader::read(*format, start->bytes);
        if (jpegHeader->ok() || start->whole())
            break;
        auto more = readStart(path, step + 1 < jpegHeadSteps.size() ? jpegHeadSteps[step + 1] : PictureFile::maximumFileSize);
        if (!more)
            return more.error();
        start = std::move(more);
    }
    if (!start->whole() && *format != PictureFormat::Jpeg) {
        auto whole = readStart(path, PictureFile::maximumFileSize);
        if (!whole)
            return whole.error();
        start = std::move(whole);
    }
    std::vector<std::uint8_t> bytes = std::move(start->bytes);
    if (*format == PictureFormat::Gzip) {
        auto unpacked = PictureFile::unpackGzip(path, bytes);
        if (!unpacked)
            return Error(unpacked.error()).ofKind(ErrorKind::PictureDamaged);
        bytes = std::move(*unpacked);
        format = detectPictureFormat(std::span(bytes).first(std::min(bytes.size(), pictureSignatureSize)));
        if (format != PictureFormat::Emf && format != PictureFormat::Wmf)
            return error(path, "is compressed (gzip) but holds no EMF or WMF metafile; only .emz and .wmz "
                               "compressed pictures can be placed")
                .ofKind(ErrorKind::PictureUnsupported);
    }
    PictureFile picture;
    picture.path_ = path;
    picture.format_ = *format;
    if (*format == PictureFormat::Heif || *format == PictureFormat::Webp) {
        if (auto status = convertPhoto(picture, bytes, options.applyOrientation); !status)
            return status.error();
        return picture;
    }
    auto header = jpegHeader ? std::move(*jpegHeader) : PictureHeader::read(*format, bytes);
    if (!header)
        return error(path, header.error().message).ofKind(ErrorKind::PictureDamaged);
    picture.header_ = *header;

    switch (*format) {
    case PictureFormat::Jpeg:
    case PictureFormat::Png: {
        bool jpeg = *format == PictureFormat::Jpeg;
        picture.blipType_ = jpeg ? PictureFile::BlipType::Jpeg : PictureFile::BlipType::Png;
        // JPEG 0x46A (0x6E2 for CMYK), PNG 0x6E0: one-UID instances.
        picture.blipInstance_ = jpeg ? (header->jpegComponents == 4 ? 0x6E2 : 0x46A) : 0x6E0;
        picture.source_ = start->identity;
        picture.payload_.prefix = {bitmapTag};
        if (jpeg && options.applyOrientation) {
            auto transposed = turnAsViewersDo(picture, bytes);
            if (!transposed)
                return transposed.error();
            if (*transposed)
                return picture;
        }
        picture.leadingKey_ = ContentKey::of(std::span(bytes).first(std::min(bytes.size(), PictureFile::leadingBytes)));
        picture.payload_.file = path;
        picture.payload_.length = start->identity.size;
        picture.payload_.fileSize = start->identity.size;
        return picture;
    }
    case PictureFormat::Bmp:
    case PictureFormat::Dib:
    case PictureFormat::Gif:
    case PictureFormat::Tiff: {
        auto png = convertToPng(picture, bytes, options.applyOrientation);
        if (!png)
            return png.error();
        picture.blipType_ = PictureFile::BlipType::Png;
        picture.blipInstance_ = 0x6E0;
        picture.uid_ = md4(std::span(reinterpret_cast<const std::uint8_t*>(png->constData()),
                                     static_cast<std::size_t>(png->size())));
        picture.payload_.prefix = {bitmapTag};
        if (auto status = holdInTemporaryFile(picture, *png); !status)
            return status.error();
        return picture;
    }
    case PictureFormat::Emf:
    case PictureFormat::Wmf: {
        bool emf = *format == PictureFormat::Emf;
        picture.blipType_ = emf ? PictureFile::BlipType::Emf : PictureFile::BlipType::Wmf;
        picture.blipInstance_ = emf ? 0x3D4 : 0x216;
        auto metafile = std::span(bytes).subspan(header->metafileOffset);
        picture.uid_ = md4(metafile);
        if (auto status = compressMetafile(picture, metafile); !status)
            return status.error();
        return picture;
    }
    case PictureFormat::Gzip:
    case PictureFormat::Heif:
    case PictureFormat::Webp:
        break;
    }
    return unknownFormat(path);
}

PictureFile PictureFile::storedAs(const std::filesystem::path& file, std::uint64_t length,
                                  std::shared_ptr<const void> keepAlive, int pixelWidth, int pixelHeight) const
{
    PictureFile stored = *this;
    stored.header_.pixelWidth = pixelWidth;
    stored.header_.pixelHeight = pixelHeight;
    if (blipType_ == BlipType::Jpeg)
        stored.blipInstance_ = 0x46A; // encoded anew in YCbCr, also a CMYK source
    stored.uid_.reset();
    stored.source_.reset();
    stored.leadingKey_.reset();
    stored.payload_.file = file;
    stored.payload_.offset = 0;
    stored.payload_.length = length;
    stored.payload_.fileSize = length;
    stored.payload_.keepAlive = std::move(keepAlive);
    stored.payload_.patches.clear();
    return stored;
}

Result<PictureFile> PictureFile::open(const std::filesystem::path& path, Options options)
{
    return PictureFileReader::open(path, options);
}

} // namespace tavorin::xls
