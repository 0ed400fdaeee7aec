#pragma once

#include "BatchCommand.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tavorin::batch {

// The command line of tavorin-batch: "COMMAND ARGUMENTS..." or --help. Commands are registered
// once; --help and the usage line are made from them.
class BatchCommandLine {
public:
    BatchCommandLine();
    void add(std::unique_ptr<BatchCommand> command);
    int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const;

private:
    void printHelp(std::ostream& out) const;
    void printUsage(std::ostream& err) const;
    const BatchCommand* find(const std::string& name) const;

    std::vector<std::unique_ptr<BatchCommand>> commands_;
};

} // namespace tavorin::batch
