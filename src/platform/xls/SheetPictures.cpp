#include "platform/xls/SheetPictures.h"

#include "platform/xls/PictureFile.h"
#include "platform/xls/ShapeAnchor.h"

#include <cmath>
#include <memory>

namespace tavorin::xls {
namespace {

Error pictureError(std::string what) { return Error{std::move(what), "drawing", {}, {}}; }

std::string utf8(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

bool positive(double value) { return std::isfinite(value) && value > 0; }

} // namespace

Result<PictureShape*> SheetPictures::find(const std::u16string& name) const
{
    PictureShape* picture = drawing_.findPicture(name);
    if (!picture)
        return pictureError("the sheet has no picture named \"" + utf8(name) + "\"");
    return picture;
}

Status SheetPictures::place(PictureShape& picture, const ShapeAnchor::Frame& frame, double rotation)
{
    if (!positive(frame.width) || !positive(frame.height))
        return pictureError("a picture's width and height must be positive");
    auto anchor = ShapeAnchor::fromFrame(geometry_, frame, rotation, picture.anchor.flags);
    if (!anchor)
        return anchor.error();
    picture.left = frame.left;
    picture.top = frame.top;
    picture.width = frame.width;
    picture.height = frame.height;
    picture.rotation = rotation;
    picture.anchor = *anchor;
    return success();
}

Result<std::u16string> SheetPictures::insert(const std::filesystem::path& path, int row, int column)
{
    auto file = PictureFile::open(path);
    if (!file)
        return file.error();
    if (row < 0 || row >= SheetGeometry::rowCount || column < 0 || column >= SheetGeometry::columnCount)
        return pictureError("the insertion cell lies outside the sheet");
    auto cell = geometry_.rangeBox(row, column, row, column);
    ShapeAnchor::Frame frame{cell.left, cell.top, file->widthPoints(), file->heightPoints()};
    // Checked before anything is stored, so that a picture that does not fit leaves no trace.
    auto anchor = ShapeAnchor::fromFrame(geometry_, frame, 0);
    if (!anchor)
        return anchor.error();
    if (!positive(frame.width) || !positive(frame.height))
        return pictureError("the picture has no size");
    auto pib = group_.addPicture(std::make_shared<const PictureFile>(std::move(*file)));
    if (!pib)
        return pib.error();
    auto picture = drawing_.addPicture(group_, *pib, namePrefix);
    if (!picture)
        return picture.error();
    PictureShape& shape = **picture;
    shape.left = frame.left;
    shape.top = frame.top;
    shape.width = frame.width;
    shape.height = frame.height;
    shape.anchor = *anchor;
    return shape.name;
}

Result<ShapeAnchor::Frame> SheetPictures::frame(const std::u16string& name) const
{
    auto picture = find(name);
    if (!picture)
        return picture.error();
    const PictureShape& shape = **picture;
    return ShapeAnchor::Frame{shape.left, shape.top, shape.width, shape.height};
}

Status SheetPictures::setWidth(const std::u16string& name, double width)
{
    auto picture = find(name);
    if (!picture)
        return picture.error();
    PictureShape& shape = **picture;
    if (!positive(width))
        return pictureError("a picture's width must be positive");
    return place(shape, {shape.left, shape.top, width, width * shape.height / shape.width}, shape.rotation);
}

Status SheetPictures::setHeight(const std::u16string& name, double height)
{
    auto picture = find(name);
    if (!picture)
        return picture.error();
    PictureShape& shape = **picture;
    if (!positive(height))
        return pictureError("a picture's height must be positive");
    return place(shape, {shape.left, shape.top, height * shape.width / shape.height, height}, shape.rotation);
}

Status SheetPictures::setLeft(const std::u16string& name, double left)
{
    auto picture = find(name);
    if (!picture)
        return picture.error();
    PictureShape& shape = **picture;
    return place(shape, {left, shape.top, shape.width, shape.height}, shape.rotation);
}

Status SheetPictures::setTop(const std::u16string& name, double top)
{
    auto picture = find(name);
    if (!picture)
        return picture.error();
    PictureShape& shape = **picture;
    return place(shape, {shape.left, top, shape.width, shape.height}, shape.rotation);
}

Status SheetPictures::moveBy(const std::u16string& name, double right, double down)
{
    auto picture = find(name);
    if (!picture)
        return picture.error();
    PictureShape& shape = **picture;
    return place(shape, {shape.left + right, shape.top + down, shape.width, shape.height}, shape.rotation);
}

Status SheetPictures::setRotation(const std::u16string& name, double degrees)
{
    auto picture = find(name);
    if (!picture)
        return picture.error();
    if (!std::isfinite(degrees))
        return pictureError("a rotation must be a number of degrees");
    PictureShape& shape = **picture;
    return place(shape, {shape.left, shape.top, shape.width, shape.height}, degrees);
}

} // namespace tavorin::xls
