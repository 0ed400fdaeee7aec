#include "platform/xlsx/package/ZipArchive.h"

#include <zip.h>

#include <algorithm>

namespace tavorin::xlsx {

std::string foldedPartName(std::string_view name)
{
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return folded;
}

Result<ZipArchive> ZipArchive::open(const std::filesystem::path& path)
{
    int code = 0;
    zip* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        std::string reason = zip_error_strerror(&error);
        zip_error_fini(&error);
        return packageError("the file is not a readable zip package (" + reason + ")");
    }
    ZipArchive result(archive);
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || static_cast<std::uint64_t>(count) > maximumEntries)
        return packageError("the package holds more entries than a workbook can (" + std::to_string(count) + ")");
    result.entries_.reserve(static_cast<std::size_t>(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
            return packageError("the zip directory is damaged at entry " + std::to_string(i));
        std::string name = stat.name;
        if (name.empty() || name.back() == '/')
            continue; // a folder entry holds no part
        Entry entry{name, static_cast<std::uint64_t>(i), stat.size, stat.comp_size};
        auto key = foldedPartName(name);
        if (result.byName_.contains(key))
            return packageError("the package holds two parts of the same name", name);
        result.byName_.emplace(std::move(key), result.entries_.size());
        result.entries_.push_back(std::move(entry));
    }
    return result;
}

ZipArchive::ZipArchive(ZipArchive&& other) noexcept
    : archive_(std::exchange(other.archive_, nullptr)), entries_(std::move(other.entries_)),
      byName_(std::move(other.byName_))
{
}

ZipArchive& ZipArchive::operator=(ZipArchive&& other) noexcept
{
    if (this != &other) {
        if (archive_)
            zip_discard(archive_);
        archive_ = std::exchange(other.archive_, nullptr);
        entries_ = std::move(other.entries_);
        byName_ = std::move(other.byName_);
    }
    return *this;
}

ZipArchive::~ZipArchive()
{
    if (archive_)
        zip_discard(archive_);
}

const ZipArchive::Entry* ZipArchive::find(std::string_view name) const
{
    auto found = byName_.find(foldedPartName(name));
    return found == byName_.end() ? nullptr : &entries_[found->second];
}

Result<std::string> ZipArchive::read(const Entry& entry) const
{
    if (entry.size > maximumPartSize)
        return packageError("the part is larger than " + std::to_string(maximumPartSize >> 20) + " MB", entry.name);
    if (entry.size > 1024 * 1024 && entry.size / std::max<std::uint64_t>(entry.compressedSize, 1) > maximumRatio)
        return packageError("the part would unpack to more than " + std::to_string(maximumRatio) +
                                " times its stored size; it is refused as a zip bomb",
                            entry.name);
    zip_file_t* file = zip_fopen_index(archive_, entry.index, 0);
    if (!file)
        return packageError(std::string("the part cannot be unpacked (") + zip_strerror(archive_) + ")", entry.name);
    std::string bytes(static_cast<std::size_t>(entry.size), '\0');
    std::uint64_t done = 0;
    bool failed = false;
    while (done < entry.size) {
        zip_int64_t count = zip_fread(file, bytes.data() + done, entry.size - done);
        if (count <= 0) {
            failed = true;
            break;
        }
        done += static_cast<std::uint64_t>(count);
    }
    // Nothing may follow the declared size, and the checksum is verified at the end.
    char extra = 0;
    if (!failed && zip_fread(file, &extra, 1) != 0)
        failed = true;
    std::string reason = failed ? zip_file_strerror(file) : std::string();
    zip_fclose(file);
    if (failed)
        return packageError("the part is damaged (" + reason + ")", entry.name);
    return bytes;
}

} // namespace tavorin::xlsx
