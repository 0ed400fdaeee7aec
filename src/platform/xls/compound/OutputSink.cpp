#include "platform/xls/compound/OutputSink.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tavorin::xls {
namespace {

constexpr std::size_t bufferSize = 1 << 20;

Error fileError(const std::string& what, const std::filesystem::path& path, int code)
{
    return Error{what + " " + path.string() + ": " + std::strerror(code), "file", {}, {}};
}

} // namespace

Status MemoryOutputSink::write(std::span<const std::uint8_t> bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return success();
}

Result<std::unique_ptr<FileOutputSink>> FileOutputSink::create(const std::filesystem::path& path)
{
    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return fileError("cannot create", path, errno);
    return std::unique_ptr<FileOutputSink>(new FileOutputSink(descriptor, path));
}

FileOutputSink::FileOutputSink(int descriptor, std::filesystem::path path)
    : descriptor_(descriptor), path_(std::move(path))
{
    buffer_.reserve(bufferSize);
}

FileOutputSink::~FileOutputSink()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

Status FileOutputSink::write(std::span<const std::uint8_t> bytes)
{
    if (descriptor_ < 0)
        return Error{"write after the file was finished", "file", {}, {}};
    written_ += bytes.size();
    if (buffer_.size() + bytes.size() > bufferSize) {
        if (auto status = flushBuffer(); !status)
            return status;
    }
    if (bytes.size() >= bufferSize) {
        // Large pieces (picture files) go straight to the file.
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t count = ::write(descriptor_, bytes.data() + done, bytes.size() - done);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                return fileError("cannot write", path_, errno);
            done += static_cast<std::size_t>(count);
        }
        return success();
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    return success();
}

Status FileOutputSink::flushBuffer()
{
    std::size_t done = 0;
    while (done < buffer_.size()) {
        ssize_t count = ::write(descriptor_, buffer_.data() + done, buffer_.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return fileError("cannot write", path_, errno);
        done += static_cast<std::size_t>(count);
    }
    buffer_.clear();
    return success();
}

Status FileOutputSink::finish()
{
    if (descriptor_ < 0)
        return success();
    auto status = flushBuffer();
    if (status && ::fsync(descriptor_) != 0)
        status = fileError("cannot flush", path_, errno);
    if (::close(descriptor_) != 0 && status)
        status = fileError("cannot close", path_, errno);
    descriptor_ = -1;
    return status;
}

} // namespace tavorin::xls
