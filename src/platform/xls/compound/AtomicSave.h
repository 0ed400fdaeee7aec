#pragma once

#include "platform/xls/Result.h"

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>

namespace tavorin::xls {

// Replacing a workbook file atomically, for either engine: the new file is written to a
// temporary file in the same folder, synced, and renamed over the target; any failure removes
// the temporary file and leaves the target as it was. A save over the file the workbook was read
// from is refused (layer changedOnDiskLayer) when another program changed or replaced that file
// since it was read: checked before writing and again just before the rename.
class AtomicSave {
public:
    // Writes the new file at the path given (which does not exist yet).
    using Writer = std::function<Status(const std::filesystem::path&)>;

    // Remembers the file as it is now, before it is read.
    explicit AtomicSave(const std::filesystem::path& source);

    Status saveAs(const std::filesystem::path& target, const Writer& write) const;

private:
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
    };
    static std::optional<Stamp> stampOf(const std::filesystem::path& path);
    Status checkSourceUnchanged(const std::filesystem::path& target) const;

    std::filesystem::path sourcePath_;
    mutable std::optional<Stamp> sourceStamp_; // a save over the source moves it to the file written
};

} // namespace tavorin::xls
