#include "platform/xlsx/drawing/MediaStore.h"

#include "platform/xls/drawing/ContentKey.h"
#include "platform/xlsx/package/Package.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>


#include <array>
#include <fstream>

namespace tavorin::xlsx {
namespace {

Error mediaError(const std::filesystem::path& path, const std::string& what)
{
    return Error{"picture " + path.string() + ": " + what, "picture", std::nullopt, std::nullopt};
}

Result<std::vector<std::uint8_t>> readWhole(const std::filesystem::path& path, std::uint64_t limit)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return mediaError(path, "cannot be read");
    std::vector<std::uint8_t> bytes;
    std::array<char, 64 * 1024> chunk{};
    while (in) {
        in.read(chunk.data(), chunk.size());
        bytes.insert(bytes.end(), chunk.data(), chunk.data() + in.gcount());
        if (bytes.size() > limit)
            return mediaError(path, "is too large");
    }
    return bytes;
}

Result<FileRange> temporaryCopy(const std::filesystem::path& source, const std::vector<std::uint8_t>& bytes)
{
    auto file = std::make_shared<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/tavorin-media-XXXXXX"));
    const auto size = static_cast<qint64>(bytes.size());
    if (!file->open() || file->write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file->flush())
        return mediaError(source, "its unpacked copy cannot be kept in the temporary folder");
    file->close();
    FileRange range{std::filesystem::path(file->fileName().toStdString()), 0, bytes.size(), bytes.size(), {}};
    range.keepAlive = std::shared_ptr<const void>(file, file.get());
    return range;
}

Result<xls::PictureFile::Uid> keyOfBytes(const FileRange& range, std::uint64_t length)
{
    std::ifstream in(range.file, std::ios::binary);
    if (!in)
        return mediaError(range.file, "cannot be read");
    in.seekg(static_cast<std::streamoff>(range.offset));
    xls::ContentKey key;
    std::vector<char> chunk(1 << 20);
    for (std::uint64_t left = length; left > 0;) {
        in.read(chunk.data(), static_cast<std::streamsize>(std::min<std::uint64_t>(left, chunk.size())));
        if (in.gcount() <= 0)
            return mediaError(range.file, "cannot be read to its end");
        std::span piece(reinterpret_cast<std::uint8_t*>(chunk.data()), static_cast<std::size_t>(in.gcount()));
        pictures::applyPatches(piece, range.offset + (length - left), range.patches);
        key.add(piece);
        left -= static_cast<std::uint64_t>(in.gcount());
    }
    return key.finish();
}

} // namespace

Result<FileRange> MediaStore::rangeOf(const xls::PictureFile& picture, std::string& extension)
{
    const auto& payload = picture.payload();
    switch (picture.format()) {
    case xls::PictureFormat::Emf:
    case xls::PictureFormat::Wmf: {
        // The .xls blip holds the metafile compressed; the package holds the metafile itself.
        extension = picture.format() == xls::PictureFormat::Emf ? "emf" : "wmf";
        auto bytes = readWhole(picture.path(), xls::PictureFile::maximumFileSize);
        if (!bytes)
            return bytes.error();
        if (bytes->size() >= 2 && (*bytes)[0] == 0x1F && (*bytes)[1] == 0x8B) {
            auto unpacked = xls::PictureFile::unpackGzip(picture.path(), *bytes);
            if (!unpacked)
                return unpacked.error();
            return temporaryCopy(picture.path(), *unpacked);
        }
        return FileRange{picture.path(), 0, bytes->size(), bytes->size(), {}};
    }
    default: // JPEG and PNG as they are; the others as what they were converted to
        extension = picture.blipType() == xls::PictureFile::BlipType::Jpeg ? "jpeg" : "png";
        break;
    }
    return FileRange{payload.file, payload.offset, payload.length, payload.fileSize, payload.keepAlive, payload.patches};
}

Result<xls::PictureFile::Uid> MediaStore::keyOf(const FileRange& range) { return keyOfBytes(range, range.length); }

Result<xls::PictureFile::Uid> MediaStore::leadingKeyOf(const FileRange& range)
{
    return keyOfBytes(range, std::min<std::uint64_t>(range.length, xls::PictureFile::leadingBytes));
}

Result<std::string> MediaStore::partFor(Package& package, const xls::PictureFile& picture)
{
    std::string extension;
    auto range = rangeOf(picture, extension);
    if (!range)
        return range.error();
    auto leading = picture.leadingKey() ? Result<xls::PictureFile::Uid>(*picture.leadingKey()) : leadingKeyOf(*range);
    if (!leading)
        return leading.error();
    auto& candidates = media_[{extension, range->length, *leading}];
    std::optional<xls::PictureFile::Uid> key;
    if (range->length <= xls::PictureFile::leadingBytes)
        key = *leading;
    for (Media& media : candidates) {
        if (!key) {
            auto whole = keyOf(*range);
            if (!whole)
                return whole.error();
            key = *whole;
        }
        if (!media.key) {
            auto whole = keyOf(media.range);
            if (!whole)
                return whole.error();
            media.key = *whole;
        }
        if (*media.key == *key)
            return media.part;
    }
    std::string part = package.freeName("xl/media/", "image", extension);
    package.writeFile(part, *range);
    static const std::map<std::string, std::string> types{
        {"jpeg", "image/jpeg"}, {"png", "image/png"}, {"emf", "image/x-emf"}, {"wmf", "image/x-wmf"}};
    package.contentTypes().ensureDefault(extension, types.at(extension));
    candidates.push_back(Media{part, std::move(*range), key, std::make_shared<const xls::PictureFile>(picture)});
    return part;
}

std::vector<std::filesystem::path> MediaStore::reduce(Package& package, const std::map<std::string, std::pair<double, double>>& largestFrames,
                        const pictures::ReductionOptions& options, const pictures::PictureReducer::Progress& progress)
{
    std::vector<xls::ShownPicture> shown;
    std::vector<Media*> shownMedia;
    for (auto& [description, candidates] : media_)
        for (Media& media : candidates)
            if (auto frame = largestFrames.find(media.part); frame != largestFrames.end()) {
                shown.push_back({media.picture, frame->second.first, frame->second.second});
                shownMedia.push_back(&media);
            }
    auto reduced = xls::reducedPictures(shown, options, progress);
    for (std::size_t i = 0; i < reduced.pictures.size(); ++i) {
        if (!reduced.pictures[i])
            continue;
        std::string extension;
        auto range = rangeOf(*reduced.pictures[i], extension);
        if (!range)
            continue;
        package.writeFile(shownMedia[i]->part, *range);
        shownMedia[i]->range = std::move(*range);
        shownMedia[i]->picture = std::move(reduced.pictures[i]);
        shownMedia[i]->key.reset();
    }
    return std::move(reduced.failed);
}

} // namespace tavorin::xlsx
