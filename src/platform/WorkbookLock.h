#pragma once

#include "platform/LockFileRecord.h"

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace tavorin {

// A run's hold on its workbook for the run's lifetime: LibreOffice's lock file ".~lock.NAME#"
// beside the workbook (see LockFileRecord), so that LibreOffice tells its users the workbook is
// in use and a second run of this program, from the window or the command line, is refused.
//
// The file is created with O_EXCL, so of two runs starting together exactly one gets it. A lock
// of this program's run on this host whose process has ended (a crash) is stale and taken over;
// any other lock file (LibreOffice's, one from another host, one that cannot be read) holds.
// Where no file can be created beside the workbook, no file can replace the workbook there
// either, so the run goes on without a lock. Released (removed) when the object goes, but only
// while it is still the file this run wrote.
class WorkbookLock {
public:
    enum class State {
        Held,        // the lock file is this run's
        NotPossible, // the folder takes no new file; the run goes on without a lock
        Refused,     // someone else holds the workbook
    };
    // Whoever holds a workbook: the lock file, and its entry when the file can be read.
    struct Holder {
        std::filesystem::path lockFile;
        std::optional<LockFileRecord> record;
    };
    // Whose lock file lies beside a workbook.
    enum class Owner { None, ThisProgram, AnotherProgram };

    static WorkbookLock acquire(const std::filesystem::path& workbook);
    // The holder that would refuse a run now, without taking the lock: nothing when the
    // workbook is free or its lock is stale.
    static std::optional<Holder> holderOf(const std::filesystem::path& workbook);
    static Owner ownerOf(const std::filesystem::path& workbook);
    static std::filesystem::path lockFileFor(const std::filesystem::path& workbook);

    WorkbookLock(WorkbookLock&& other) noexcept;
    WorkbookLock& operator=(WorkbookLock&& other) noexcept;
    WorkbookLock(const WorkbookLock&) = delete;
    WorkbookLock& operator=(const WorkbookLock&) = delete;
    ~WorkbookLock();

    State state() const { return state_; }
    // Who holds the workbook when the lock was refused.
    const std::optional<Holder>& holder() const { return holder_; }
    // Removes the lock file if it is still this run's; later calls do nothing.
    void release();

private:
    WorkbookLock() = default;

    State state_ = State::NotPossible;
    std::optional<Holder> holder_;
    std::filesystem::path file_;
    std::string written_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    bool released_ = false;
};

} // namespace tavorin
