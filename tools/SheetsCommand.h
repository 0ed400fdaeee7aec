#pragma once

#include "BatchCommand.h"

namespace tavorin::batch {

// "sheets WORKBOOK": the worksheet names, one per line, in tab order, as the window lists them.
class SheetsCommand final : public BatchCommand {
public:
    std::string name() const override { return "sheets"; }
    std::string synopsis() const override { return "WORKBOOK"; }
    std::string description() const override;
    int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const override;
};

} // namespace tavorin::batch
