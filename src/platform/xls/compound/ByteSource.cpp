#include "platform/xls/compound/ByteSource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavorin::xls {
namespace {

class FileByteSource final : public ByteSource {
public:
    FileByteSource(int descriptor, std::uint64_t size) : descriptor_(descriptor), size_(size) {}
    ~FileByteSource() override { ::close(descriptor_); }
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    std::uint64_t size() const override { return size_; }

    bool read(std::uint64_t offset, std::span<std::uint8_t> out) const override
    {
        if (offset > size_ || out.size() > size_ - offset)
            return false;
        std::size_t done = 0;
        while (done < out.size()) {
            ssize_t got = ::pread(descriptor_, out.data() + done, out.size() - done,
                                  static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            done += static_cast<std::size_t>(got);
        }
        return true;
    }

private:
    int descriptor_;
    std::uint64_t size_;
};

class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    std::uint64_t size() const override { return bytes_.size(); }

    bool read(std::uint64_t offset, std::span<std::uint8_t> out) const override
    {
        if (offset > bytes_.size() || out.size() > bytes_.size() - offset)
            return false;
        if (!out.empty())
            std::memcpy(out.data(), bytes_.data() + offset, out.size());
        return true;
    }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace

Result<std::unique_ptr<ByteSource>> ByteSource::openFile(const std::filesystem::path& path)
{
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return Error{std::string("cannot open the file: ") + std::strerror(errno), "file", {}, {}};
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return Error{"not a regular file", "file", {}, {}};
    }
    return std::unique_ptr<ByteSource>(
        std::make_unique<FileByteSource>(descriptor, static_cast<std::uint64_t>(status.st_size)));
}

std::unique_ptr<ByteSource> ByteSource::fromBytes(std::vector<std::uint8_t> bytes)
{
    return std::make_unique<MemoryByteSource>(std::move(bytes));
}

} // namespace tavorin::xls
