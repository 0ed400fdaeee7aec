#include "platform/WorkbookLock.h"

#include <cerrno>
#include <chrono>
#include <thread>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace tavorin {
namespace {

// A lock file is one short line; anything longer is not one that LibreOffice or a run wrote.
constexpr std::size_t lockFileLimit = 64 * 1024;
// Rounds of create / find stale / remove before giving up to runs that keep taking the lock.
constexpr int attempts = 4;

class Descriptor {
public:
    explicit Descriptor(int value = -1) : value_(value) {}
    ~Descriptor()
    {
        if (value_ >= 0)
            ::close(value_);
    }
    Descriptor(Descriptor&& other) noexcept : value_(std::exchange(other.value_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        std::swap(value_, other.value_);
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return value_; }

private:
    int value_;
};

// The whole file from its start; nothing when it cannot be read or is too long to be a lock.
std::optional<std::string> readWhole(int descriptor)
{
    std::string bytes(lockFileLimit + 1, '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = ::pread(descriptor, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        done += static_cast<std::size_t>(count);
    }
    if (done > lockFileLimit)
        return std::nullopt;
    bytes.resize(done);
    return bytes;
}

bool writeWhole(int descriptor, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

// A lock file found in place: still open (a takeover locks it), its bytes and its entry.
struct FoundLock {
    bool gone = false;
    Descriptor file;
    std::string bytes;
    std::optional<LockFileRecord> record;
};

FoundLock examine(const std::filesystem::path& lockFile)
{
    // Read-write where allowed: an exclusive lock over NFS needs a descriptor open for writing.
    int descriptor = ::open(lockFile.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0 && errno != ENOENT)
        descriptor = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    FoundLock found;
    if (descriptor < 0) {
        found.gone = errno == ENOENT;
        return found;
    }
    found.file = Descriptor(descriptor);
    // A run writes its entry right after creating the file: an empty file is given a moment to
    // fill before it counts as unreadable.
    for (int look = 0; look < 10; ++look) {
        if (look > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (auto bytes = readWhole(descriptor); bytes && !bytes->empty()) {
            found.bytes = std::move(*bytes);
            found.record = LockFileRecord::parse(found.bytes);
            break;
        }
    }
    return found;
}

// Left by a run of this program on this host whose process no longer runs. A lock from another
// host may belong to a live process there, so it always holds.
bool isStale(const FoundLock& found)
{
    if (!found.record)
        return false;
    auto writer = found.record->writerProcess();
    return writer && found.record->hostName == LockFileRecord::currentHostName() && !writer->isRunning();
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Removes a stale lock unless another run replaced it meanwhile. Two runs may find the same
// stale lock; each takes an exclusive flock on the file it read, and removes it only while it is
// still the file at the lock's path with the bytes it read. The other then finds the path free
// or holding the winner's new lock.
void removeStale(const std::filesystem::path& lockFile, const FoundLock& found)
{
    if (::flock(found.file.get(), LOCK_EX) != 0)
        return;
    struct stat held {}, atPath {};
    if (::fstat(found.file.get(), &held) != 0 || ::lstat(lockFile.c_str(), &atPath) != 0 || !sameFile(held, atPath))
        return;
    auto bytes = readWhole(found.file.get());
    if (bytes && *bytes == found.bytes)
        ::unlink(lockFile.c_str());
}

} // namespace

std::filesystem::path WorkbookLock::lockFileFor(const std::filesystem::path& workbook)
{
    return workbook.parent_path() / (".~lock." + workbook.filename().string() + "#");
}

WorkbookLock WorkbookLock::acquire(const std::filesystem::path& workbook)
{
    WorkbookLock lock;
    if (!workbook.has_filename())
        return lock;
    lock.file_ = lockFileFor(workbook);
    lock.written_ = LockFileRecord::forThisProcess(QDateTime::currentDateTime()).serialise();
    for (int attempt = 0; attempt < attempts; ++attempt) {
        Descriptor created(::open(lock.file_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (created.get() >= 0) {
            struct stat information {};
            if (!writeWhole(created.get(), lock.written_) || ::fstat(created.get(), &information) != 0) {
                ::unlink(lock.file_.c_str());
                return lock;
            }
            lock.device_ = information.st_dev;
            lock.inode_ = information.st_ino;
            lock.state_ = State::Held;
            return lock;
        }
        if (errno != EEXIST)
            return lock;
        FoundLock found = examine(lock.file_);
        if (found.gone)
            continue;
        if (!isStale(found)) {
            lock.state_ = State::Refused;
            lock.holder_ = Holder{lock.file_, found.record};
            return lock;
        }
        removeStale(lock.file_, found);
    }
    lock.state_ = State::Refused;
    lock.holder_ = Holder{lock.file_, examine(lock.file_).record};
    return lock;
}

std::optional<WorkbookLock::Holder> WorkbookLock::holderOf(const std::filesystem::path& workbook)
{
    if (!workbook.has_filename())
        return std::nullopt;
    auto file = lockFileFor(workbook);
    FoundLock found = examine(file);
    if (found.gone || isStale(found))
        return std::nullopt;
    return Holder{file, found.record};
}

WorkbookLock::Owner WorkbookLock::ownerOf(const std::filesystem::path& workbook)
{
    if (!workbook.has_filename())
        return Owner::None;
    FoundLock found = examine(lockFileFor(workbook));
    if (found.gone)
        return Owner::None;
    return found.record && found.record->writerProcess() ? Owner::ThisProgram : Owner::AnotherProgram;
}

WorkbookLock::WorkbookLock(WorkbookLock&& other) noexcept
    : state_(std::exchange(other.state_, State::NotPossible)), holder_(std::move(other.holder_)),
      file_(std::move(other.file_)), written_(std::move(other.written_)), device_(other.device_), inode_(other.inode_),
      released_(other.released_)
{
}

WorkbookLock& WorkbookLock::operator=(WorkbookLock&& other) noexcept
{
    if (this != &other) {
        release();
        state_ = std::exchange(other.state_, State::NotPossible);
        holder_ = std::move(other.holder_);
        file_ = std::move(other.file_);
        written_ = std::move(other.written_);
        device_ = other.device_;
        inode_ = other.inode_;
        released_ = other.released_;
    }
    return *this;
}

WorkbookLock::~WorkbookLock() { release(); }

void WorkbookLock::release()
{
    if (state_ != State::Held || released_)
        return;
    released_ = true;
    // LibreOffice, told to open the workbook anyway, writes its own entry over the lock: then it
    // is LibreOffice's and stays.
    Descriptor current(::open(file_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    struct stat information {};
    if (current.get() < 0 || ::fstat(current.get(), &information) != 0 || information.st_dev != device_ ||
        information.st_ino != inode_)
        return;
    if (readWhole(current.get()) == written_)
        ::unlink(file_.c_str());
}

} // namespace tavorin
