#pragma once

#include <QLockFile>

#include <memory>

namespace tavorin {

// One running program per user: a lock file in the user's runtime folder, held for the life of
// this object. A lock left by a program that has died is taken over.
class InstanceLock {
public:
    InstanceLock();
    // False when another running instance holds the lock.
    bool acquire();

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace tavorin
