#include "platform/xls/model/SheetGeometryCache.h"

#include "platform/xls/model/SheetMeasure.h"

namespace tavorin::xls {

const SheetGeometry& SheetGeometryCache::geometryOf(const WorkbookModel& model, const SheetModel& sheet)
{
    Inputs now{&sheet,
               SheetMeasure::maximumDigitWidthOf(model),
               sheet.columns,
               sheet.defaultColumnWidth,
               sheet.standardWidth,
               sheet.defaultRowHeight,
               sheet.defaultRowFlags,
               sheet.cells.rowRecordRevision()};
    if (!geometry_ || inputs_ != now) {
        geometry_.emplace(SheetMeasure::geometryOf(model, sheet, fitFor_));
        inputs_ = std::move(now);
    }
    return *geometry_;
}

} // namespace tavorin::xls
