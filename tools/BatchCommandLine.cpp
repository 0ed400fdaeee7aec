#include "BatchCommandLine.h"

#include "InsertCommand.h"
#include "SheetsCommand.h"

#include "Version.h"

#include <sstream>

namespace tavorin::batch {

BatchCommandLine::BatchCommandLine()
{
    add(std::make_unique<SheetsCommand>());
    add(std::make_unique<InsertCommand>());
}

void BatchCommandLine::add(std::unique_ptr<BatchCommand> command)
{
    commands_.push_back(std::move(command));
}

const BatchCommand* BatchCommandLine::find(const std::string& name) const
{
    for (const auto& command : commands_)
        if (command->name() == name)
            return command.get();
    return nullptr;
}

void BatchCommandLine::printUsage(std::ostream& err) const
{
    err << "usage: tavorin-batch COMMAND ARGUMENTS... (commands:";
    for (const auto& command : commands_)
        err << ' ' << command->name();
    err << "; see tavorin-batch --help)\n";
}

void BatchCommandLine::printHelp(std::ostream& out) const
{
    // The GNU form of the usage lines and headings, which help2man turns into the manual page.
    out << "Usage: tavorin-batch COMMAND ARGUMENTS...\n"
        << "  or:  tavorin-batch --help\n"
        << "Tavorin without its window: lists a workbook's sheets and places pictures into it.\n\n"
        << "Commands:\n";
    for (const auto& command : commands_) {
        out << "  " << command->name() << ' ' << command->synopsis() << '\n';
        std::istringstream lines(command->description());
        for (std::string line; std::getline(lines, line);)
            out << "      " << line << '\n';
        out << '\n';
    }
    out << "exit status: 0 done, 1 the work could not be done (the reason is on standard error),\n"
        << "2 wrong command line, 3 the workbook was written but some pictures were not placed\n"
        << "(each listed with its reason).\n";
}

int BatchCommandLine::run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const
{
    if (arguments.empty()) {
        printUsage(err);
        return exitUsage;
    }
    const std::string& first = arguments.front();
    if (first == "--help" || first == "-h") {
        printHelp(out);
        return exitSuccess;
    }
    const BatchCommand* command = find(first);
    if (!command) {
        err << "tavorin-batch: unknown command '" << first << "'\n";
        printUsage(err);
        return exitUsage;
    }
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    int status = command->run(rest, out, err);
    if (status == exitUsage)
        err << "usage: tavorin-batch " << command->name() << ' ' << command->synopsis() << '\n';
    return status;
}

} // namespace tavorin::batch
