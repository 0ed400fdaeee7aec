#pragma once

#include "platform/FitFor.h"
#include "platform/xls/Result.h"
#include "platform/xls/geometry/SheetGeometry.h"
#include "platform/xls/model/WorkbookModel.h"

namespace tavorin::xls {

// Column widths and row heights of a worksheet as Excel lays them out: the geometry module fed
// with this sheet's records (DEFCOLWIDTH, STANDARDWIDTH, COLINFO, DEFAULTROWHEIGHT, ROW) and the
// maximum digit width of the workbook's Normal font (the first FONT record).
namespace SheetMeasure {

int maximumDigitWidthOf(const WorkbookModel& model);
// As Excel lays the sheet out, or with its columns as LibreOffice draws them.
SheetGeometry geometryOf(const WorkbookModel& model, const SheetModel& sheet, FitFor fitFor = FitFor::Excel);
// LibreOffice's measure of the Normal font: the digit advance of the face this machine shows for
// it, at its size (an estimate from the face's own name when no font database is at hand).
SheetGeometry::LibreOfficeColumns libreOfficeColumnsOf(const WorkbookModel& model);

// ColumnWidth := characters for one 0-based column: the COLINFO run holding it is split so that
// only this column changes. Width 0 hides the column, a positive width shows it. current is the
// sheet's geometry as it is now (kept by the caller).
Status setColumnWidth(const WorkbookModel& model, SheetModel& sheet, int column, double characters,
                      const SheetGeometry& current);

} // namespace SheetMeasure

} // namespace tavorin::xls
