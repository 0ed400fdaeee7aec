#include "platform/xls/drawing/SheetPictures.h"

#include "platform/xls/drawing/PictureFile.h"
#include "platform/xls/drawing/ShapeAnchor.h"

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

Result<SheetPictures::Target> SheetPictures::find(const std::u16string& name) const
{
    Target target;
    if (PictureShape* picture = drawing_.findPicture(name)) {
        target.added = picture;
        target.frame = {picture->left, picture->top, picture->width, picture->height};
        target.rotation = picture->rotation;
        target.anchorFlags = picture->anchor.flags;
        return target;
    }
    auto read = drawing_.findReadShape(name);
    if (!read)
        return pictureError("the sheet has no picture named \"" + utf8(name) + "\"");
    auto anchor = drawing_.anchorOf(*read);
    if (!anchor)
        return pictureError("the picture \"" + utf8(name) + "\" has no anchor on the sheet");
    target.read = *read;
    target.anchorFlags = anchor->flags;
    if (const auto* placement = drawing_.placementOf(*read)) {
        target.frame = {placement->left, placement->top, placement->width, placement->height};
        target.rotation = placement->rotation;
    } else {
        // The anchor holds the frame as it shows on the sheet; turning that rectangle back
        // about its centre gives the frame itself.
        target.rotation = drawing_.rotationOf(*read);
        target.frame = ShapeAnchor::anchoredRectangle(ShapeAnchor::rectangleOf(geometry_, *anchor), target.rotation);
    }
    return target;
}

Status SheetPictures::place(const Target& target, const ShapeAnchor::Frame& frame, double rotation)
{
    if (!positive(frame.width) || !positive(frame.height))
        return pictureError("a picture's width and height must be positive");
    auto anchor = ShapeAnchor::fromFrame(geometry_, frame, rotation, target.anchorFlags);
    if (!anchor)
        return anchor.error();
    if (!target.added)
        return drawing_.place(target.read, *anchor, {frame.left, frame.top, frame.width, frame.height, rotation});
    PictureShape& picture = *target.added;
    picture.left = frame.left;
    picture.top = frame.top;
    picture.width = frame.width;
    picture.height = frame.height;
    picture.rotation = rotation;
    picture.anchor = *anchor;
    return success();
}

Result<std::u16string> SheetPictures::insert(const std::filesystem::path& path, int row, int column,
                                             PictureFile::Options options)
{
    auto file = PictureFile::open(path, options);
    if (!file)
        return file.error();
    if (row < 0 || row >= SheetGeometry::rowCount || column < 0 || column >= SheetGeometry::columnCount)
        return pictureError("the insertion cell lies outside the sheet").ofKind(ErrorKind::PictureOffSheet);
    auto cell = geometry_.rangeBox(row, column, row, column);
    const int turn = file->turn();
    ShapeAnchor::Frame frame{cell.left, cell.top, file->widthPoints(), file->heightPoints()};
    if (!positive(frame.width) || !positive(frame.height))
        return pictureError("the picture has no size").ofKind(ErrorKind::PictureWithoutSize);
    if (turn == 90 || turn == 270) {
        // The frame turns about its centre: shift it so that what shows starts at the cell.
        frame.left += (frame.height - frame.width) / 2;
        frame.top += (frame.width - frame.height) / 2;
    }
    // Checked before anything is stored, so that a picture that does not fit leaves no trace.
    auto anchor = ShapeAnchor::fromFrame(geometry_, frame, turn);
    if (!anchor)
        return Error(anchor.error()).ofKind(ErrorKind::PictureOffSheet);
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
    shape.rotation = turn;
    shape.anchor = *anchor;
    return shape.name;
}

Result<double> SheetPictures::rotation(const std::u16string& name) const
{
    auto target = find(name);
    if (!target)
        return target.error();
    return target->rotation;
}

Result<ShapeAnchor::Frame> SheetPictures::frame(const std::u16string& name) const
{
    auto target = find(name);
    if (!target)
        return target.error();
    return target->frame;
}

Status SheetPictures::setWidth(const std::u16string& name, double width)
{
    auto target = find(name);
    if (!target)
        return target.error();
    if (!positive(width))
        return pictureError("a picture's width must be positive");
    const auto& f = target->frame;
    return place(*target, {f.left, f.top, width, width * f.height / f.width}, target->rotation);
}

Status SheetPictures::setHeight(const std::u16string& name, double height)
{
    auto target = find(name);
    if (!target)
        return target.error();
    if (!positive(height))
        return pictureError("a picture's height must be positive");
    const auto& f = target->frame;
    return place(*target, {f.left, f.top, height * f.width / f.height, height}, target->rotation);
}

Status SheetPictures::setLeft(const std::u16string& name, double left)
{
    auto target = find(name);
    if (!target)
        return target.error();
    const auto& f = target->frame;
    return place(*target, {left, f.top, f.width, f.height}, target->rotation);
}

Status SheetPictures::setTop(const std::u16string& name, double top)
{
    auto target = find(name);
    if (!target)
        return target.error();
    const auto& f = target->frame;
    return place(*target, {f.left, top, f.width, f.height}, target->rotation);
}

Status SheetPictures::moveBy(const std::u16string& name, double right, double down)
{
    auto target = find(name);
    if (!target)
        return target.error();
    const auto& f = target->frame;
    return place(*target, {f.left + right, f.top + down, f.width, f.height}, target->rotation);
}

Status SheetPictures::setRotation(const std::u16string& name, double degrees)
{
    auto target = find(name);
    if (!target)
        return target.error();
    if (!std::isfinite(degrees))
        return pictureError("a rotation must be a number of degrees");
    return place(*target, target->frame, degrees);
}

} // namespace tavorin::xls
