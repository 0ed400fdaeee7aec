#include "platform/xlsx/package/PackageWriter.h"

#include "platform/xlsx/package/PatchedFileSource.h"

#include <zip.h>

#include <system_error>

namespace tavorin::xlsx {
namespace {

class Output {
public:
    explicit Output(zip* archive) : archive_(archive) {}
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
        if (method >= 0 && zip_set_file_compression(archive_, static_cast<zip_uint64_t>(index), method, 0) != 0)
            return failure("the part's compression cannot be set", name);
        return success();
    }

    Status addContent(const std::string& name, const Package::Content& content)
    {
        if (const auto* text = std::get_if<std::string>(&content))
            return add(name, zip_source_buffer(archive_, text->data(), text->size(), 0), ZIP_CM_DEFLATE);
        const auto& range = std::get<FileRange>(content);
        std::error_code code;
        auto size = std::filesystem::file_size(range.file, code);
        if (code || size != range.fileSize)
            return packageError("the picture " + range.file.string() + " changed or went away since it was inserted", name);
        zip_source_t* source = range.patches.empty()
                                   ? zip_source_file(archive_, range.file.c_str(), range.offset,
                                                     static_cast<zip_int64_t>(range.length))
                                   : PatchedFileSource::make(archive_, range);
        return add(name, source, ZIP_CM_STORE);
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
};

} // namespace

Status PackageWriter::write(const Package& package, const std::filesystem::path& path)
{
    int code = 0;
    zip* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
    if (!archive)
        return packageError("the new package cannot be created at " + path.string());
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
    return out.close();
}

} // namespace tavorin::xlsx
