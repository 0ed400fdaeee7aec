#include "platform/InstanceLock.h"

#include <QDir>
#include <QStandardPaths>

namespace tavorin {

InstanceLock::InstanceLock()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QDir().mkpath(folder);
    lock_ = std::make_unique<QLockFile>(folder + QStringLiteral("/tavorin.lock"));
    // The lock is held as long as the program runs; only a dead owner makes it stale.
    lock_->setStaleLockTime(0);
}

bool InstanceLock::acquire() { return lock_->tryLock(0); }

} // namespace tavorin
