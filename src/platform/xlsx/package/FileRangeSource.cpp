#include "platform/xlsx/package/FileRangeSource.h"

#include "platform/pictures/BytePatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tavorin::xlsx {

zip_source_t* FileRangeSource::create(FileRange range, std::time_t modified, std::span<std::uint8_t> buffer,
                                      zip_error_t* error)
{
    auto* state = new FileRangeSource(std::move(range), modified, buffer);
    zip_source_t* source = zip_source_function_create(&callback, state, error);
    if (!source)
        delete state;
    return source;
}

FileRangeSource::FileRangeSource(FileRange range, std::time_t modified, std::span<std::uint8_t> buffer)
    : range_(std::move(range)), modified_(modified), buffer_(buffer)
{
    zip_error_init(&error_);
}

zip_int64_t FileRangeSource::callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* source = static_cast<FileRangeSource*>(self);
    if (command != ZIP_SOURCE_FREE)
        return source->handle(data, length, command);
    source->close();
    zip_error_fini(&source->error_);
    delete source;
    return 0;
}

zip_int64_t FileRangeSource::fail(int zipError, int systemError)
{
    zip_error_set(&error_, zipError, systemError);
    return -1;
}

zip_int64_t FileRangeSource::handle(void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    switch (command) {
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    case ZIP_SOURCE_OPEN:
        return open();
    case ZIP_SOURCE_READ:
        return read(data, length);
    case ZIP_SOURCE_CLOSE:
        close();
        return 0;
    case ZIP_SOURCE_STAT:
        return stat(data, length);
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, length);
    default:
        return fail(ZIP_ER_OPNOTSUPP, 0);
    }
}

zip_int64_t FileRangeSource::open()
{
    close();
    descriptor_ = ::open(range_.file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor_ < 0)
        return fail(ZIP_ER_OPEN, errno);
    delivered_ = 0;
    bufferStart_ = bufferEnd_ = 0;
    return 0;
}

zip_int64_t FileRangeSource::read(void* data, zip_uint64_t length)
{
    if (descriptor_ < 0)
        return fail(ZIP_ER_INTERNAL, 0);
    if (bufferStart_ == bufferEnd_) {
        const std::uint64_t left = range_.length - delivered_;
        if (left == 0)
            return 0;
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer_.size()));
        ssize_t count;
        do
            count = ::pread(descriptor_, buffer_.data(), wanted, static_cast<off_t>(range_.offset + delivered_));
        while (count < 0 && errno == EINTR);
        if (count < 0)
            return fail(ZIP_ER_READ, errno);
        if (count == 0)
            return fail(ZIP_ER_INCONS, 0); // the file became shorter since it was measured
        bufferStart_ = 0;
        bufferEnd_ = static_cast<std::size_t>(count);
        pictures::applyPatches(buffer_.first(bufferEnd_), range_.offset + delivered_, range_.patches);
    }
    const auto count = std::min<std::size_t>(bufferEnd_ - bufferStart_, static_cast<std::size_t>(length));
    std::memcpy(data, buffer_.data() + bufferStart_, count);
    bufferStart_ += count;
    delivered_ += count;
    return static_cast<zip_int64_t>(count);
}

zip_int64_t FileRangeSource::stat(void* data, zip_uint64_t length)
{
    auto* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error_);
    if (!stat)
        return -1;
    zip_stat_init(stat);
    stat->size = range_.length;
    stat->mtime = modified_;
    stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
    return sizeof(zip_stat_t);
}

void FileRangeSource::close()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
}

} // namespace tavorin::xlsx
