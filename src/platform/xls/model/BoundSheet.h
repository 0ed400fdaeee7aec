#pragma once

#include "platform/xls/records/Record.h"
#include "platform/xls/Result.h"

#include <cstdint>
#include <string>

namespace tavorin::xls {

// A BoundSheet8 record of the workbook globals ([MS-XLS] 2.4.28): one sheet of the workbook,
// in tab order, with where its substream begins.
struct BoundSheet {
    // dt; other values are kept as read.
    enum class Kind : std::uint8_t { Worksheet = 0, MacroSheet = 1, Chart = 2, VisualBasicModule = 6 };
    // hsState
    enum class Visibility : std::uint8_t { Visible = 0, Hidden = 1, VeryHidden = 2 };

    std::uint32_t position = 0; // lbPlyPos: stream offset of the sheet's BOF
    Visibility visibility = Visibility::Visible;
    Kind kind = Kind::Worksheet;
    std::u16string name;

    bool isWorksheet() const { return kind == Kind::Worksheet; }

    static Result<BoundSheet> parse(const Record& record);
};

} // namespace tavorin::xls
