#include "platform/xls/drawing/BlipPayload.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavorin::xls {
namespace {

constexpr std::size_t chunkSize = 256 * 1024;

Error payloadError(const std::string& what, const std::filesystem::path& file)
{
    return Error{"picture " + file.string() + ": " + what, "picture", {}, {}};
}

// An open picture file, closed on every way out.
class OpenPayloadFile {
public:
    OpenPayloadFile(const OpenPayloadFile&) = delete;
    OpenPayloadFile& operator=(const OpenPayloadFile&) = delete;
    ~OpenPayloadFile()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }

    // Opens the payload's file, checking that it still has the size it had when inserted.
    static Result<std::unique_ptr<OpenPayloadFile>> open(const BlipPayload& payload)
    {
        std::unique_ptr<OpenPayloadFile> opened(new OpenPayloadFile(payload.file));
        opened->descriptor_ = ::open(payload.file.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat status {};
        if (opened->descriptor_ < 0 || ::fstat(opened->descriptor_, &status) != 0)
            return payloadError(std::string("cannot be read any more: ") + std::strerror(errno), payload.file);
        auto size = static_cast<std::uint64_t>(status.st_size);
        if (size != payload.fileSize)
            return payloadError("has changed since it was inserted (" + std::to_string(payload.fileSize) +
                                    " bytes then, " + std::to_string(size) + " now)",
                                payload.file);
        return opened;
    }

    // Reads exactly into.size() bytes from offset at, with the payload's patches applied.
    Status read(std::span<std::uint8_t> into, std::uint64_t at, std::span<const pictures::BytePatch> patches) const
    {
        std::size_t done = 0;
        while (done < into.size()) {
            ssize_t count = ::pread(descriptor_, into.data() + done, into.size() - done, static_cast<off_t>(at + done));
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                return payloadError(std::string("cannot be read: ") + std::strerror(errno), path_);
            if (count == 0)
                return payloadError("has become shorter since it was inserted", path_);
            done += static_cast<std::size_t>(count);
        }
        pictures::applyPatches(into, at, patches);
        return success();
    }

private:
    explicit OpenPayloadFile(std::filesystem::path path) : path_(std::move(path)) {}

    std::filesystem::path path_;
    int descriptor_ = -1;
};

} // namespace

Status BlipPayload::readRange(const ChunkReceiver& receive) const
{
    if (length == 0)
        return success();
    auto opened = OpenPayloadFile::open(*this);
    if (!opened)
        return opened.error();
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(chunkSize, length)));
    for (std::uint64_t done = 0; done < length;) {
        auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), length - done));
        auto chunk = std::span(buffer).first(want);
        if (auto status = (*opened)->read(chunk, offset + done, patches); !status)
            return status;
        if (auto status = receive(chunk); !status)
            return status;
        done += want;
    }
    return success();
}

Status BlipPayload::loadRange(std::vector<std::uint8_t>& into) const
{
    into.clear();
    if (length == 0)
        return success();
    auto opened = OpenPayloadFile::open(*this);
    if (!opened)
        return opened.error();
    into.resize(static_cast<std::size_t>(length));
    return (*opened)->read(into, offset, patches);
}

Result<ContentKey::Key> BlipPayload::keyOfRange() const
{
    ContentKey key;
    auto status = readRange([&](std::span<const std::uint8_t> chunk) {
        key.add(chunk);
        return success();
    });
    if (!status)
        return status.error();
    return key.finish();
}

Status BlipPayload::writeTo(OutputSink& out) const
{
    if (!prefix.empty())
        if (auto status = out.write(prefix); !status)
            return status;
    return readRange([&](std::span<const std::uint8_t> chunk) { return out.write(chunk); });
}

} // namespace tavorin::xls
