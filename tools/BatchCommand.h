#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tavorin::batch {

// Exit statuses of tavorin-batch.
inline constexpr int exitSuccess = 0;
inline constexpr int exitFailure = 1; // the work could not be done (unreadable workbook, ...)
inline constexpr int exitUsage = 2;   // the command line was wrong
inline constexpr int exitIncomplete = 3; // the workbook was written without some of the pictures

// One command of tavorin-batch ("sheets", ...): its name, how it is called and what it does.
class BatchCommand {
public:
    virtual ~BatchCommand() = default;
    virtual std::string name() const = 0;
    virtual std::string synopsis() const = 0;    // the arguments, e.g. "WORKBOOK"
    virtual std::string description() const = 0; // lines for --help
    // Runs with the arguments after the command name. A usage error returns exitUsage after
    // saying what was wrong on err.
    virtual int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const = 0;
};

} // namespace tavorin::batch
