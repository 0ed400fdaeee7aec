#include "platform/xlsx/model/SheetPictures.h"

#include "platform/xls/drawing/PictureFile.h"
#include "platform/xls/geometry/KeptOnSheet.h"
#include "platform/xlsx/model/XlsxDocument.h"

#include <algorithm>
#include <cmath>

namespace tavorin::xlsx {
namespace {

constexpr const char* imageType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";

Error pictureError(const std::string& what) { return Error{what, "drawing", std::nullopt, std::nullopt}; }

bool positive(double value) { return std::isfinite(value) && value > 0; }

std::int64_t emu(double points) { return static_cast<std::int64_t>(std::llround(points * XlsxSheetGeometry::emuPerPoint)); }

// The cells of the rectangle the anchor holds, kept on the sheet.
Result<DrawingPart::Anchor> cellsFor(const XlsxSheetGeometry& geometry, const SheetPictures::Frame& frame)
{
    if (!positive(frame.width) || !positive(frame.height) || !std::isfinite(frame.left) || !std::isfinite(frame.top))
        return pictureError("a picture's width and height must be positive");
    const double sheetWidth = 0.75 * double(geometry.columnLeftPixels(XlsxSheetGeometry::columnCount));
    const double sheetHeight = 0.75 * double(geometry.rowTopPixels(XlsxSheetGeometry::rowCount));
    const SheetPictures::Frame box = xls::keptOnSheet(SheetPictures::anchoredRectangle(frame), sheetWidth, sheetHeight);
    auto firstColumn = geometry.columnAnchorAt(box.left);
    auto firstRow = geometry.rowAnchorAt(box.top);
    auto lastColumn = geometry.columnAnchorAt(std::min(box.left + box.width, sheetWidth));
    auto lastRow = geometry.rowAnchorAt(std::min(box.top + box.height, sheetHeight));
    if (!firstColumn || !lastColumn)
        return pictureError("the picture would reach beyond the sheet's last column");
    if (!firstRow || !lastRow)
        return pictureError("the picture would reach beyond the sheet's last row");
    return DrawingPart::Anchor{*firstColumn, *firstRow, *lastColumn, *lastRow};
}

} // namespace

SheetPictures::Frame SheetPictures::anchoredRectangle(const Frame& frame)
{
    double turned = std::fmod(frame.rotation, 360.0);
    if (turned < 0)
        turned += 360.0;
    const bool sideways = (turned >= 45.0 && turned < 135.0) || (turned >= 225.0 && turned < 315.0);
    if (!sideways)
        return frame;
    const double centreX = frame.left + frame.width / 2, centreY = frame.top + frame.height / 2;
    return {centreX - frame.height / 2, centreY - frame.width / 2, frame.height, frame.width, frame.rotation};
}

Result<std::string> SheetPictures::insert(const std::filesystem::path& path, int row, int column,
                                          xls::PictureFile::Options options)
{
    auto picture = xls::PictureFile::open(path, options);
    if (!picture)
        return picture.error();
    const XlsxSheetGeometry& geometry = sheet_.placementGeometry();
    auto cell = geometry.rangeBox(row - 1, column - 1, row - 1, column - 1);
    const int turn = picture->turn();
    Frame frame{cell.left, cell.top, picture->widthPoints(), picture->heightPoints(), double(turn)};
    if (turn == 90 || turn == 270) {
        // The frame turns about its centre: shift it so that what shows starts at the cell.
        frame.left += (frame.height - frame.width) / 2;
        frame.top += (frame.width - frame.height) / 2;
    }
    // Checked before anything is stored, so that a picture that does not fit leaves no trace.
    auto cells = cellsFor(geometry, frame);
    if (!cells)
        return xls::Error(cells.error()).ofKind(xls::ErrorKind::PictureOffSheet);
    auto drawing = document_.drawing(sheet_, true);
    if (!drawing)
        return drawing.error();
    auto media = document_.media().partFor(document_.package(), *picture);
    if (!media)
        return media.error();
    std::string relationship;
    const std::string target = "/" + *media; // made once: a sheet of hundreds of pictures has as many links
    for (const auto& link : sheet_.drawingRelationships.links())
        if (link.target == target && Relationships::isKind(link, "image"))
            relationship = link.id;
    if (relationship.empty())
        relationship = sheet_.drawingRelationships.add(imageType, target);
    pugi::xml_node anchor = (*drawing)->addPicture(relationship, namePrefix, path.filename().string());
    if (auto placed = DrawingPart::place(anchor, *cells, {emu(frame.left), emu(frame.top), emu(frame.width), emu(frame.height)},
                                         frame.rotation);
        !placed)
        return placed.error();
    std::string name = DrawingPart::nameOf(anchor);
    sheet_.frames[name] = frame;
    sheet_.mediaParts[name] = *media;
    sheet_.drawingChanged = true;
    return name;
}

Result<pugi::xml_node> SheetPictures::anchorOf(const std::string& name)
{
    auto drawing = document_.drawing(sheet_, false);
    if (!drawing)
        return pictureError("the sheet has no picture named \"" + name + "\"");
    pugi::xml_node anchor = (*drawing)->find(name);
    if (!anchor)
        return pictureError("the sheet has no picture named \"" + name + "\"");
    return anchor;
}

Result<SheetPictures::Frame> SheetPictures::frame(const std::string& name)
{
    if (auto known = sheet_.frames.find(name); known != sheet_.frames.end())
        return known->second;
    auto anchor = anchorOf(name);
    if (!anchor)
        return anchor.error();
    auto cells = DrawingPart::cellsOf(*anchor);
    if (!cells)
        return pictureError("the shape \"" + name + "\" is not anchored to two cells");
    const XlsxSheetGeometry& geometry = sheet_.placementGeometry();
    const double left = geometry.xPointsOf(cells->fromColumn), top = geometry.yPointsOf(cells->fromRow);
    // The anchor holds the frame as it shows; turning that rectangle back gives the frame itself.
    Frame shown{left, top, geometry.xPointsOf(cells->toColumn) - left, geometry.yPointsOf(cells->toRow) - top,
                DrawingPart::rotationOf(*anchor)};
    return anchoredRectangle(shown);
}

Status SheetPictures::setFrame(const std::string& name, const Frame& frame)
{
    auto anchor = anchorOf(name);
    if (!anchor)
        return anchor.error();
    auto cells = cellsFor(sheet_.placementGeometry(), frame);
    if (!cells)
        return cells.error();
    auto placed = DrawingPart::place(*anchor, *cells, {emu(frame.left), emu(frame.top), emu(frame.width), emu(frame.height)},
                                     frame.rotation);
    if (!placed)
        return placed;
    sheet_.frames[name] = frame;
    sheet_.drawingChanged = true;
    return success();
}

} // namespace tavorin::xlsx
