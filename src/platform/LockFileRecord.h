#pragma once

#include "platform/ProcessIdentity.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace tavorin {

// The entry of LibreOffice's lock file ".~lock.NAME#", read and written as LibreOffice does:
// five UTF-8 fields, each ended by ',' and the last by ';', where a ',', ';' or '\' inside a
// field stands behind a '\'. LibreOffice writes
//   formatted user name (may be empty), login name, host name, "DD.MM.YYYY HH:MM" (local time),
//   the URL of its user profile
// and reads only the first entry of the file.
//
// A run of this program writes its own name as the formatted name. The format has no place for
// a process id, so the last field carries "tavorin:pid=N:start=T" (T: the process's start time
// from /proc, left out when unknown): LibreOffice only compares that field with its own profile's
// URL, and a later run can tell a lock left by a crash (the process is gone) from a live one.
struct LockFileRecord {
    QString formattedName;
    QString userName;
    QString hostName;
    QString time;
    QString profileUrl;

    // Nothing when the bytes are not one well-formed entry.
    static std::optional<LockFileRecord> parse(std::string_view bytes);
    std::string serialise() const;

    // The lock a run of this process writes, stamped with `now`.
    static LockFileRecord forThisProcess(const QDateTime& now);
    // The program's own name, written as the formatted name.
    static QString programName();
    // This user's login name and this computer's host name, as LibreOffice writes them.
    static QString currentUserName();
    static QString currentHostName();

    // The process of this program that wrote the lock; nothing for another program's lock.
    std::optional<ProcessIdentity> writerProcess() const;
};

} // namespace tavorin
