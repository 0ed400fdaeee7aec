#include "platform/xlsx/package/PackageWriter.h"

#include "platform/xlsx/package/FileRangeSource.h"
#include "platform/xlsx/package/ZipFileTarget.h"

#include <sys/stat.h>
#include <zip.h>

#include <vector>

namespace tavorin::xlsx {
namespace {

// zlib's fastest level for the XML parts we write: a sheet or drawing that names 999 pictures
// deflates about three times as fast as at the default level and comes out a fifth larger, a
// few hundred kilobytes in a package of pictures.
zip_uint32_t level(zip_int32_t method)
{
    return method == ZIP_CM_DEFLATE ? 1 : 0;
}

class Output {
public:
    explicit Output(zip* archive) : archive_(archive), pictureBuffer_(std::size_t{1} << 20) {}
    ~Output()
    {
        if (archive_)
            zip_discard(archive_);
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Error failure(const std::string& what, const std::string& part) const
    {
        return packageError(what + " (" + zip_strerror(archive_) + ")", part);
    }

    Status add(const std::string& name, zip_source_t* source, zip_int32_t method)
    {
        if (!source)
            return failure("the part cannot be prepared for writing", name);
        zip_int64_t index = zip_file_add(archive_, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return failure("the part cannot be added", name);
        }
        if (method >= 0 && zip_set_file_compression(archive_, static_cast<zip_uint64_t>(index), method, level(method)) != 0)
            return failure("the part's compression cannot be set", name);
        return success();
    }

    Status addContent(const std::string& name, const Package::Content& content)
    {
        if (const auto* text = std::get_if<std::string>(&content))
            return add(name, zip_source_buffer(archive_, text->data(), text->size(), 0), ZIP_CM_DEFLATE);
        const auto& range = std::get<FileRange>(content);
        struct stat information {};
        if (::stat(range.file.c_str(), &information) != 0 ||
            static_cast<std::uint64_t>(information.st_size) != range.fileSize)
            return packageError("the picture " + range.file.string() + " changed or went away since it was inserted",
                                name);
        return add(name, FileRangeSource::create(range, information.st_mtime, pictureBuffer_, zip_get_error(archive_)),
                   ZIP_CM_STORE);
    }

    Status close()
    {
        if (zip_close(archive_) != 0)
            return failure("the package cannot be written", "");
        archive_ = nullptr;
        return success();
    }

    zip* archive() const { return archive_; }

private:
    zip* archive_;
    std::vector<std::uint8_t> pictureBuffer_; // shared by the pictures' sources, read one after the other
};

} // namespace

Status PackageWriter::write(const Package& package, const std::filesystem::path& path,
                            const std::function<void(double)>& progress)
{
    ZipFileTarget target(path); // outlives the archive written into it
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* file = target.source(&error);
    zip* archive = file ? zip_open_from_source(file, ZIP_CREATE | ZIP_EXCL, &error) : nullptr;
    if (!archive) {
        if (file)
            zip_source_free(file);
        std::string reason = zip_error_strerror(&error);
        zip_error_fini(&error);
        return packageError("the new package cannot be created at " + path.string() + " (" + reason + ")");
    }
    zip_error_fini(&error);
    Output out(archive);
    const ZipArchive& source = package.archive();
    const auto& changed = package.changed();
    for (const auto& entry : source.entries()) {
        if (package.removed(entry.name))
            continue;
        auto found = changed.find(entry.name);
        Status status = found != changed.end()
                            ? out.addContent(entry.name, found->second)
                            : out.add(entry.name, zip_source_zip(archive, source.handle(), entry.index, 0, 0, -1), -1);
        if (!status)
            return status;
    }
    for (const auto& name : package.added())
        if (package.removed(name))
            continue;
        else if (auto status = out.addContent(name, changed.at(name)); !status)
            return status;
    if (progress)
        zip_register_progress_callback_with_state(
            archive, 0.01,
            [](zip_t*, double done, void* heard) { (*static_cast<const std::function<void(double)>*>(heard))(done); },
            nullptr, const_cast<std::function<void(double)>*>(&progress));
    return out.close();
}

} // namespace tavorin::xlsx
