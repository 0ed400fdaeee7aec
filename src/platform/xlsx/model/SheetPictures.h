#pragma once

#include "platform/xls/drawing/PictureFile.h"
#include "platform/xlsx/XlsxError.h"
#include "platform/xlsx/model/XlsxSheet.h"

#include <filesystem>
#include <string>

namespace tavorin::xlsx {

class XlsxDocument;

// The picture operations of one worksheet (Pictures.Insert, Shapes(name) with its frame,
// rotation and moves), as the .xls engine has them: a picture's frame in points is what the
// operations read and set, and every change is turned into its anchor at once, through the
// sheet's geometry in Excel's pixel model. A picture turned sideways ([45°, 135°) and
// [225°, 315°)) is anchored by its frame turned by 90° about its centre, the rectangle it covers
// on screen, while a:xfrm keeps the frame itself; readers turn it back. A rectangle that does
// not lie on the sheet is moved onto it, as Excel does. An operation that fails changes nothing.
class SheetPictures {
public:
    using Frame = XlsxSheet::Frame;

    // Excel's name for a picture on a Japanese desktop, followed by a number.
    static constexpr const char* namePrefix = "図 ";

    SheetPictures(XlsxDocument& document, XlsxSheet& sheet) : document_(document), sheet_(sheet) {}

    // The picture at its natural size with its top-left corner at the cell's (1-based). A photo
    // shown turned (its EXIF orientation) gets that turn as its rotation, and its turned
    // picture's corner goes to the cell's.
    Result<std::string> insert(const std::filesystem::path& path, int row, int column,
                               xls::PictureFile::Options options = {});
    Result<Frame> frame(const std::string& name);
    Status setFrame(const std::string& name, const Frame& frame);

    // The rectangle the anchor holds for a frame and rotation.
    static Frame anchoredRectangle(const Frame& frame);

private:
    Result<pugi::xml_node> anchorOf(const std::string& name);

    XlsxDocument& document_;
    XlsxSheet& sheet_;
};

} // namespace tavorin::xlsx
