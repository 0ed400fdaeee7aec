#pragma once

#include "platform/xls/drawing/DrawingGroup.h"
#include "platform/xls/compound/OutputSink.h"
#include "platform/xls/Result.h"
#include "platform/xls/drawing/SheetDrawing.h"
#include "platform/xls/model/SheetModel.h"

namespace tavorin::xls {

class WorkbookModel;
struct SheetModel;

// Where the workbook model meets the drawing layer. Drawings stay raw records until something
// changes them; the first picture operation on a sheet (or a copy of it) reads the workbook's
// drawing group and that sheet's drawing into their models, which the stream writer then writes
// in place of the records: the sheet's drawing records give way to one placeholder item (a
// Drawing item of record type 0) at their place.
namespace WorkbookDrawings {

// The drawing group, read from the model's records, or made (with its place in the globals).
Result<DrawingGroup*> group(WorkbookModel& model);
// The sheet's drawing, read from its records, or a new empty one.
Result<SheetDrawing*> drawingOf(WorkbookModel& model, SheetModel& sheet);
// Gives a freshly copied sheet (made from source, its drawing records left out for a
// placeholder) a copy of the source's drawing. A source without a drawing, or with one that
// cannot be read, leaves the copy without one, and without the comments that would name its
// shapes.
Status copyDrawing(WorkbookModel& model, SheetModel& source, SheetModel& copy);

// Whether an item of a sheet stands for its drawing model; and such an item. A copied sheet
// holds one where the template's drawing records were, for copyDrawing to fill.
bool isPlaceholder(std::uint16_t recordType);
SheetModel::Item placeholderItem();

} // namespace WorkbookDrawings

} // namespace tavorin::xls
