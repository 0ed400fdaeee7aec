#pragma once

#include "platform/xls/drawing/DrawingGroup.h"
#include "platform/xls/drawing/PictureFile.h"
#include "platform/xls/Result.h"
#include "platform/xls/drawing/SheetDrawing.h"
#include "platform/xls/geometry/SheetGeometry.h"
#include "platform/xls/drawing/ShapeAnchor.h"

#include <filesystem>
#include <string>

namespace tavorin::xls {

// The picture operations of one worksheet (Pictures.Insert and Shapes(name) with its frame,
// rotation and moves) over the workbook's drawing group, the sheet's drawing and its geometry.
// A picture's frame in points is what the operations read and set; every change is turned into
// the anchor at once, and an operation that fails changes nothing. Shapes the workbook already
// held are addressed by their names too; their frame is read from their anchor.
class SheetPictures {
public:
    // Excel's name for a picture in a Japanese desktop, followed by a number.
    static constexpr const char16_t* namePrefix = u"図 ";

    SheetPictures(DrawingGroup& group, SheetDrawing& drawing, const SheetGeometry& geometry)
        : group_(group), drawing_(drawing), geometry_(geometry)
    {
    }

    // The picture at path at its natural size with its top-left corner at the top-left corner
    // of the cell (0-based row and column); returns its name. A photo shown turned (its EXIF
    // orientation) gets that turn as its rotation, and its turned picture's corner goes to the
    // cell's.
    Result<std::u16string> insert(const std::filesystem::path& path, int row, int column,
                                  PictureFile::Options options = {});

    Result<ShapeAnchor::Frame> frame(const std::u16string& name) const;
    // Degrees clockwise.
    Result<double> rotation(const std::u16string& name) const;
    // Width or height := points, the other following so that the aspect ratio stays; the top-left
    // corner stays where it is.
    Status setWidth(const std::u16string& name, double width);
    Status setHeight(const std::u16string& name, double height);
    Status setLeft(const std::u16string& name, double left);
    Status setTop(const std::u16string& name, double top);
    Status moveBy(const std::u16string& name, double right, double down);
    // Turns the picture about its centre; the frame stays as it is.
    Status setRotation(const std::u16string& name, double degrees);

private:
    // A shape the operations address: a picture added here, or a shape read from the workbook.
    struct Target {
        PictureShape* added = nullptr;
        std::size_t read = 0;
        ShapeAnchor::Frame frame;
        double rotation = 0;
        std::uint16_t anchorFlags = 0;
    };
    Result<Target> find(const std::u16string& name) const;
    Status place(const Target& target, const ShapeAnchor::Frame& frame, double rotation);

    DrawingGroup& group_;
    SheetDrawing& drawing_;
    const SheetGeometry& geometry_;
};

} // namespace tavorin::xls
