#pragma once

#include "BatchCommand.h"

namespace tavorin::batch {

// tavorin-batch insert WORKBOOK [options] PICTURE...: the window's insertion run from the command line.
class InsertCommand final : public BatchCommand {
public:
    std::string name() const override { return "insert"; }
    std::string synopsis() const override { return "WORKBOOK [options] PICTURE..."; }
    std::string description() const override;
    int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const override;
};

} // namespace tavorin::batch
