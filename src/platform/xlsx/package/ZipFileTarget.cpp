#include "platform/xlsx/package/ZipFileTarget.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace tavorin::xlsx {

ZipFileTarget::ZipFileTarget(std::filesystem::path path) : path_(std::move(path))
{
    zip_error_init(&error_);
}

ZipFileTarget::~ZipFileTarget()
{
    if (file_)
        rollbackWrite();
    zip_error_fini(&error_);
}

zip_source_t* ZipFileTarget::source(zip_error_t* error)
{
    return zip_source_function_create(&callback, this, error);
}

zip_int64_t ZipFileTarget::callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    return static_cast<ZipFileTarget*>(self)->handle(data, length, command);
}

zip_int64_t ZipFileTarget::fail(int zipError, int systemError)
{
    zip_error_set(&error_, zipError, systemError);
    return -1;
}

zip_int64_t ZipFileTarget::handle(void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    switch (command) {
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_WRITABLE;
    case ZIP_SOURCE_STAT:
        // Before the commit there is no file: the archive is new. Nothing reads it afterwards.
        return fail(ZIP_ER_READ, ENOENT);
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, length);
    case ZIP_SOURCE_FREE:
        return 0; // the target belongs to its writer, not to libzip
    case ZIP_SOURCE_BEGIN_WRITE:
        return beginWrite();
    case ZIP_SOURCE_WRITE:
        return write(data, length);
    case ZIP_SOURCE_SEEK_WRITE:
        return seekWrite(data, length);
    case ZIP_SOURCE_TELL_WRITE:
        return static_cast<zip_int64_t>(position_);
    case ZIP_SOURCE_COMMIT_WRITE:
        return commitWrite();
    case ZIP_SOURCE_ROLLBACK_WRITE:
        rollbackWrite();
        return 0;
    case ZIP_SOURCE_REMOVE:
        return 0; // an empty archive: nothing was created
    default:
        // Reading the new archive back (open, read, seek): it is never asked for.
        return fail(ZIP_ER_OPNOTSUPP, 0);
    }
}

zip_int64_t ZipFileTarget::beginWrite()
{
    if (file_ || committed_)
        return fail(ZIP_ER_INTERNAL, 0);
    auto created = xls::FileOutputSink::create(path_);
    if (!created)
        return fail(ZIP_ER_OPEN, errno);
    file_ = std::move(*created);
    position_ = 0;
    return 0;
}

zip_int64_t ZipFileTarget::write(const void* data, zip_uint64_t length)
{
    if (!file_)
        return fail(ZIP_ER_INTERNAL, 0);
    std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(length));
    // A header completed after its data lies within what was written; anything past the end goes on.
    const auto overlap = static_cast<std::size_t>(std::min<std::uint64_t>(length, file_->written() - position_));
    if (overlap > 0 && !file_->overwrite(position_, bytes.first(overlap)))
        return fail(ZIP_ER_WRITE, errno);
    if (overlap < bytes.size() && !file_->write(bytes.subspan(overlap)))
        return fail(ZIP_ER_WRITE, errno);
    position_ += length;
    return static_cast<zip_int64_t>(length);
}

zip_int64_t ZipFileTarget::seekWrite(void* data, zip_uint64_t length)
{
    if (!file_)
        return fail(ZIP_ER_INTERNAL, 0);
    const zip_int64_t position = zip_source_seek_compute_offset(position_, file_->written(), data, length, &error_);
    if (position < 0)
        return -1;
    position_ = static_cast<std::uint64_t>(position);
    return 0;
}

zip_int64_t ZipFileTarget::commitWrite()
{
    if (!file_)
        return fail(ZIP_ER_INTERNAL, 0);
    auto finished = file_->finish();
    if (!finished)
        return fail(ZIP_ER_WRITE, errno);
    file_.reset();
    committed_ = true;
    return 0;
}

void ZipFileTarget::rollbackWrite()
{
    if (!file_)
        return;
    file_.reset();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

} // namespace tavorin::xlsx
