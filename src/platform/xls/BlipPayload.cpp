#include "platform/xls/BlipPayload.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tavorin::xls {
namespace {

constexpr std::size_t chunkSize = 256 * 1024;

Error payloadError(const std::string& what, const std::filesystem::path& file)
{
    return Error{"picture " + file.string() + ": " + what, "picture", {}, {}};
}

} // namespace

Status BlipPayload::writeTo(OutputSink& out) const
{
    if (!prefix.empty())
        if (auto status = out.write(prefix); !status)
            return status;
    if (length == 0)
        return success();
    int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return payloadError(std::string("cannot be read any more: ") + std::strerror(errno), file);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(chunkSize, length)));
    std::uint64_t done = 0;
    Status status = success();
    while (done < length && status) {
        auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), length - done));
        ssize_t count = ::pread(descriptor, buffer.data(), want, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            status = payloadError(std::string("cannot be read: ") + std::strerror(errno), file);
            break;
        }
        if (count == 0) {
            status = payloadError("has become shorter since it was inserted", file);
            break;
        }
        status = out.write(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(count)));
        done += static_cast<std::uint64_t>(count);
    }
    ::close(descriptor);
    return status;
}

} // namespace tavorin::xls
