#pragma once

#include "platform/FitFor.h"
#include "platform/xls/geometry/SheetGeometry.h"
#include "platform/xls/model/WorkbookModel.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tavorin::xls {

// The geometry of one worksheet kept between operations: placing hundreds of pictures asks for
// it several times per picture, and making it walks every row of the sheet. It is made again
// only when something it is made from has changed: the Normal font's digit width, a column
// width, the default sizes, or the ROW records.
class SheetGeometryCache {
public:
    explicit SheetGeometryCache(FitFor fitFor = FitFor::Excel) : fitFor_(fitFor) {}
    const SheetGeometry& geometryOf(const WorkbookModel& model, const SheetModel& sheet);

private:
    struct Inputs {
        const SheetModel* sheet = nullptr;
        int maximumDigitWidth = 0;
        std::vector<ColumnInfo> columns;
        std::optional<std::uint16_t> defaultColumnWidth;
        std::optional<std::uint16_t> standardWidth;
        std::optional<std::uint16_t> defaultRowHeight;
        std::optional<std::uint16_t> defaultRowFlags;
        std::uint64_t rowRecordRevision = 0;
        friend bool operator==(const Inputs&, const Inputs&) = default;
    };

    FitFor fitFor_;
    std::optional<Inputs> inputs_;
    std::optional<SheetGeometry> geometry_;
};

} // namespace tavorin::xls
