#include "platform/xls/compound/AtomicSave.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace tavorin::xls {
namespace {

Error saveError(const std::string& message) { return Error{message, "save", std::nullopt, std::nullopt}; }

bool hasWriteBit(std::filesystem::perms permissions)
{
    using std::filesystem::perms;
    return (permissions & (perms::owner_write | perms::group_write | perms::others_write)) != perms::none;
}

std::filesystem::path temporaryPath(const std::filesystem::path& target, unsigned attempt)
{
    static std::mt19937 generator(std::random_device{}());
    auto name = ".~" + target.filename().string() + "." + std::to_string(generator() % 1000000u + attempt) + ".tmp";
    return target.parent_path() / name;
}

bool syncPath(const std::filesystem::path& path, int flags)
{
    int descriptor = ::open(path.c_str(), flags | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    bool synced = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return synced;
}

} // namespace

AtomicSave::AtomicSave(const std::filesystem::path& source)
    : sourcePath_(std::filesystem::absolute(source).lexically_normal()), sourceStamp_(stampOf(source))
{
}

std::optional<AtomicSave::Stamp> AtomicSave::stampOf(const std::filesystem::path& path)
{
    struct stat information {};
    if (::stat(path.c_str(), &information) != 0)
        return std::nullopt;
    return Stamp{information.st_dev, information.st_ino, information.st_size, information.st_mtim};
}

Status AtomicSave::checkSourceUnchanged(const std::filesystem::path& target) const
{
    if (!sourceStamp_)
        return success();
    auto now = stampOf(target);
    const bool sameInode = now && now->device == sourceStamp_->device && now->inode == sourceStamp_->inode;
    if (target.lexically_normal() != sourcePath_ && !sameInode)
        return success(); // another file: the source is not replaced
    if (sameInode && now->size == sourceStamp_->size && now->modified.tv_sec == sourceStamp_->modified.tv_sec &&
        now->modified.tv_nsec == sourceStamp_->modified.tv_nsec)
        return success();
    return Error{"cannot save over " + target.string() +
                     ": another program changed or replaced it after it was read; it is left as it is now",
                 changedOnDiskLayer, std::nullopt, std::nullopt};
}

Status AtomicSave::saveAs(const std::filesystem::path& path, const Writer& write) const
{
    const std::filesystem::path target = std::filesystem::absolute(path).lexically_normal();
    std::error_code code;
    auto status = std::filesystem::status(target, code);
    const bool exists = std::filesystem::exists(status);
    if (exists && !std::filesystem::is_regular_file(status))
        return saveError("cannot save over " + target.string() + ": it is not a regular file");
    // Read-only by its mode counts, also for a user (root) whom the system would let write.
    if (exists && (::access(target.c_str(), W_OK) != 0 || !hasWriteBit(status.permissions())))
        return saveError("cannot save over " + target.string() + ": the file is read-only");
    const auto folder = target.parent_path();
    auto folderStatus = std::filesystem::status(folder, code);
    if (!std::filesystem::is_directory(folderStatus))
        return saveError("cannot save " + target.string() + ": the folder does not exist");
    if (::access(folder.c_str(), W_OK) != 0 || !hasWriteBit(folderStatus.permissions()))
        return saveError("cannot save " + target.string() + ": the folder is read-only");
    if (auto unchanged = checkSourceUnchanged(target); !unchanged)
        return unchanged;

    std::filesystem::path temporary;
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        temporary = temporaryPath(target, attempt);
        if (!std::filesystem::exists(temporary, code))
            break;
        temporary.clear();
    }
    if (temporary.empty())
        return saveError("cannot save " + target.string() + ": no free temporary file name");
    auto discard = [&](const std::string& why) {
        std::filesystem::remove(temporary, code);
        return saveError("cannot save " + target.string() + ": " + why);
    };
    if (auto written = write(temporary); !written)
        return discard(written.error().message);
    if (!syncPath(temporary, O_RDONLY))
        return discard(std::string("the new file cannot be synced to disk: ") + std::strerror(errno));
    if (exists)
        std::filesystem::permissions(temporary, status.permissions(), code);
    // Another program may have saved the workbook while this one was written: its work stays.
    if (auto unchanged = checkSourceUnchanged(target); !unchanged) {
        std::filesystem::remove(temporary, code);
        return unchanged;
    }
    auto written = stampOf(temporary);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return discard(std::strerror(errno));
    syncPath(folder, O_RDONLY | O_DIRECTORY);
    if (target == sourcePath_)
        sourceStamp_ = written;
    return success();
}

} // namespace tavorin::xls
