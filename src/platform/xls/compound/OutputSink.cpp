#include "platform/xls/compound/OutputSink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tavorin::xls {
namespace {

constexpr std::size_t bufferSize = 1 << 20;
constexpr std::uint64_t writeBackStep = 8 << 20;

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
        if (auto status = writeFully(bytes, 0, false); !status)
            return status;
        startWriteBack();
        return success();
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    return success();
}

void FileOutputSink::startWriteBack()
{
    // The disk starts on what is written while the rest is produced, so that the sync at the end
    // waits for the last few megabytes instead of the whole file. Only a hint: its failure
    // changes nothing, the sync reports any error.
    const std::uint64_t inFile = written_ - buffer_.size();
    if (inFile - writeBackStart_ < writeBackStep)
        return;
    ::sync_file_range(descriptor_, static_cast<off_t>(writeBackStart_), static_cast<off_t>(inFile - writeBackStart_),
                      SYNC_FILE_RANGE_WRITE);
    writeBackStart_ = inFile;
}

Status FileOutputSink::overwrite(std::uint64_t position, std::span<const std::uint8_t> bytes)
{
    if (descriptor_ < 0 || position > written_ || bytes.size() > written_ - position)
        return Error{"overwrite beyond the bytes written", "file", {}, {}};
    const std::uint64_t buffered = written_ - buffer_.size();
    if (position < buffered) {
        const auto inFile = static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), buffered - position));
        if (auto status = writeFully(bytes.first(inFile), position, true); !status)
            return status;
        bytes = bytes.subspan(inFile);
        position += inFile;
    }
    std::copy(bytes.begin(), bytes.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(position - buffered));
    return success();
}

Status FileOutputSink::writeFully(std::span<const std::uint8_t> bytes, std::uint64_t position, bool positioned)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = positioned ? ::pwrite(descriptor_, bytes.data() + done, bytes.size() - done,
                                              static_cast<off_t>(position + done))
                                   : ::write(descriptor_, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return fileError("cannot write", path_, errno);
        done += static_cast<std::size_t>(count);
    }
    return success();
}

Status FileOutputSink::flushBuffer()
{
    if (auto status = writeFully(buffer_, 0, false); !status)
        return status;
    buffer_.clear();
    startWriteBack();
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
