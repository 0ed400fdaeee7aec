#include "platform/xlsx/drawing/DrawingPart.h"

#include "platform/xlsx/package/XmlPart.h"

#include <algorithm>
#include <cmath>
#include <vector>
#include <cstdlib>

namespace tavorin::xlsx {
namespace {

constexpr const char* spreadsheetDrawing = "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing";
constexpr const char* drawingMain = "http://schemas.openxmlformats.org/drawingml/2006/main";

std::string withColon(const std::optional<std::string>& prefix)
{
    return prefix && !prefix->empty() ? *prefix + ":" : std::string();
}

std::int64_t integerText(pugi::xml_node node)
{
    const char* text = node.text().get();
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    return end == text ? 0 : static_cast<std::int64_t>(value);
}

void setText(pugi::xml_node parent, const std::string& name, std::int64_t value)
{
    pugi::xml_node node = parent.child(name.c_str());
    if (!node)
        node = parent.append_child(name.c_str());
    node.text().set(static_cast<long long>(value));
}

bool isAnchor(pugi::xml_node node)
{
    auto local = XmlPart::localName(node.name());
    return local == "twoCellAnchor" || local == "oneCellAnchor" || local == "absoluteAnchor";
}

// The cNvPr of the shape an anchor holds (picture, shape, group, frame, connector).
pugi::xml_node nonVisualProperties(pugi::xml_node anchor)
{
    for (pugi::xml_node shape : anchor.children()) {
        if (shape.type() != pugi::node_element)
            continue;
        for (pugi::xml_node properties : shape.children())
            if (XmlPart::localName(properties.name()).starts_with("nv"))
                if (pugi::xml_node name = XmlPart::child(properties, "cNvPr"))
                    return name;
    }
    return {};
}

pugi::xml_node framePropertiesOf(pugi::xml_node anchor)
{
    pugi::xml_node shape = XmlPart::child(anchor, "pic");
    if (!shape)
        shape = XmlPart::child(anchor, "sp");
    return XmlPart::child(XmlPart::child(shape, "spPr"), "xfrm");
}

} // namespace

Result<std::unique_ptr<DrawingPart>> DrawingPart::parse(std::string_view bytes, const std::string& part)
{
    auto document = XmlPart::parse(bytes, part);
    if (!document)
        return document.error();
    if (XmlPart::localName((*document)->document_element().name()) != "wsDr")
        return packageError("the part is no sheet drawing", part);
    auto drawing = std::make_unique<DrawingPart>();
    drawing->document_ = std::move(*document);
    pugi::xml_node root = drawing->document_->document_element();
    auto xdr = XmlPart::prefixFor(root, spreadsheetDrawing);
    if (!xdr)
        return packageError("the drawing is not in the spreadsheet drawing namespace", part);
    drawing->xdr_ = withColon(xdr);
    auto a = XmlPart::prefixFor(root, drawingMain);
    if (!a) {
        std::string name = root.attribute("xmlns:a") ? "a14d" : "a";
        root.append_attribute(("xmlns:" + name).c_str()) = drawingMain;
        a = name;
    }
    drawing->a_ = withColon(a);
    drawing->indexShapes();
    if (drawing->byName_.size() > maximumShapes)
        return packageError("the drawing holds too many shapes", part);
    return drawing;
}

std::unique_ptr<DrawingPart> DrawingPart::create()
{
    auto drawing = std::make_unique<DrawingPart>();
    drawing->document_ = std::make_shared<pugi::xml_document>();
    pugi::xml_node root = drawing->document_->append_child("xdr:wsDr");
    root.append_attribute("xmlns:xdr") = spreadsheetDrawing;
    root.append_attribute("xmlns:a") = drawingMain;
    drawing->xdr_ = "xdr:";
    drawing->a_ = "a:";
    return drawing;
}

void DrawingPart::indexShapes()
{
    pugi::xml_node root = document_->document_element();
    for (pugi::xml_node anchor : root.children()) {
        if (!isAnchor(anchor))
            continue;
        // Group members carry ids too; the next id is past every one.
        std::vector<pugi::xml_node> pending{anchor};
        while (!pending.empty()) {
            pugi::xml_node node = pending.back();
            pending.pop_back();
            if (XmlPart::localName(node.name()) == "cNvPr") {
                long id = std::strtol(node.attribute("id").value(), nullptr, 10);
                if (id > 0 && id < 1000000000)
                    nextId_ = std::max(nextId_, static_cast<int>(id) + 1);
            }
            for (pugi::xml_node child : node.children())
                if (child.type() == pugi::node_element)
                    pending.push_back(child);
        }
        if (pugi::xml_node name = nonVisualProperties(anchor))
            byName_.emplace(name.attribute("name").value(), anchor);
    }
}

pugi::xml_node DrawingPart::addPicture(const std::string& relationshipId, const std::string& namePrefix,
                                       const std::string& description)
{
    const int id = nextId_++;
    std::string name;
    for (int number = id - 1;; ++number) {
        name = namePrefix + std::to_string(number);
        if (!byName_.contains(name))
            break;
    }
    const std::string& x = xdr_;
    const std::string& a = a_;
    pugi::xml_node anchor = document_->document_element().append_child((x + "twoCellAnchor").c_str());
    anchor.append_attribute("editAs") = "oneCell";
    for (const char* end : {"from", "to"}) {
        pugi::xml_node point = anchor.append_child((x + end).c_str());
        for (const char* field : {"col", "colOff", "row", "rowOff"})
            point.append_child((x + field).c_str()).text().set(0);
    }
    pugi::xml_node picture = anchor.append_child((x + "pic").c_str());
    pugi::xml_node nonVisual = picture.append_child((x + "nvPicPr").c_str());
    pugi::xml_node properties = nonVisual.append_child((x + "cNvPr").c_str());
    properties.append_attribute("id") = id;
    properties.append_attribute("name") = name.c_str();
    properties.append_attribute("descr") = description.c_str();
    nonVisual.append_child((x + "cNvPicPr").c_str())
        .append_child((a + "picLocks").c_str())
        .append_attribute("noChangeAspect") = 1;
    pugi::xml_node fill = picture.append_child((x + "blipFill").c_str());
    pugi::xml_node blip = fill.append_child((a + "blip").c_str());
    blip.append_attribute("xmlns:r") = std::string(XmlPart::relationshipsNamespace).c_str();
    blip.append_attribute("r:embed") = relationshipId.c_str();
    fill.append_child((a + "stretch").c_str()).append_child((a + "fillRect").c_str());
    pugi::xml_node shape = picture.append_child((x + "spPr").c_str());
    pugi::xml_node frame = shape.append_child((a + "xfrm").c_str());
    frame.append_child((a + "off").c_str());
    frame.append_child((a + "ext").c_str());
    pugi::xml_node geometry = shape.append_child((a + "prstGeom").c_str());
    geometry.append_attribute("prst") = "rect";
    geometry.append_child((a + "avLst").c_str());
    anchor.append_child((x + "clientData").c_str());
    byName_[name] = anchor;
    return anchor;
}

pugi::xml_node DrawingPart::find(const std::string& name) const
{
    auto found = byName_.find(name);
    return found == byName_.end() ? pugi::xml_node() : found->second;
}

std::string DrawingPart::nameOf(pugi::xml_node anchor) { return nonVisualProperties(anchor).attribute("name").value(); }

Status DrawingPart::place(pugi::xml_node anchor, const Anchor& cells, const FrameEmu& frame, double rotation)
{
    if (XmlPart::localName(anchor.name()) != "twoCellAnchor")
        return operationError("only a shape anchored to two cells can be moved or sized");
    const std::string x = XmlPart::sameNamespace(anchor, "");
    auto write = [&](const char* end, const AnchorPoint& column, const AnchorPoint& row) {
        pugi::xml_node point = XmlPart::child(anchor, end);
        setText(point, x + "col", column.index);
        setText(point, x + "colOff", column.offset);
        setText(point, x + "row", row.index);
        setText(point, x + "rowOff", row.offset);
    };
    write("from", cells.fromColumn, cells.fromRow);
    write("to", cells.toColumn, cells.toRow);
    pugi::xml_node transform = framePropertiesOf(anchor);
    if (!transform)
        return success();
    const std::string a = XmlPart::sameNamespace(transform, "");
    pugi::xml_node offset = XmlPart::child(transform, "off");
    pugi::xml_node extent = XmlPart::child(transform, "ext");
    if (!offset)
        offset = transform.prepend_child((a + "off").c_str());
    if (!extent)
        extent = transform.insert_child_after((a + "ext").c_str(), offset);
    for (const char* name : {"x", "y"})
        if (!offset.attribute(name))
            offset.append_attribute(name);
    for (const char* name : {"cx", "cy"})
        if (!extent.attribute(name))
            extent.append_attribute(name);
    offset.attribute("x").set_value(static_cast<long long>(frame.x));
    offset.attribute("y").set_value(static_cast<long long>(frame.y));
    extent.attribute("cx").set_value(static_cast<long long>(frame.cx));
    extent.attribute("cy").set_value(static_cast<long long>(frame.cy));
    double turned = std::fmod(rotation, 360.0);
    if (turned < 0)
        turned += 360.0;
    const auto angle = static_cast<long long>(std::llround(turned * 60000.0)) % 21600000;
    if (angle == 0) {
        if (pugi::xml_attribute rot = transform.attribute("rot"))
            transform.remove_attribute(rot);
    } else {
        if (!transform.attribute("rot"))
            transform.prepend_attribute("rot");
        transform.attribute("rot").set_value(angle);
    }
    return success();
}

std::optional<DrawingPart::Anchor> DrawingPart::cellsOf(pugi::xml_node anchor)
{
    if (XmlPart::localName(anchor.name()) != "twoCellAnchor")
        return std::nullopt;
    auto read = [&](const char* end) {
        pugi::xml_node point = XmlPart::child(anchor, end);
        return std::pair{AnchorPoint{static_cast<int>(integerText(XmlPart::child(point, "col"))),
                                     integerText(XmlPart::child(point, "colOff"))},
                         AnchorPoint{static_cast<int>(integerText(XmlPart::child(point, "row"))),
                                     integerText(XmlPart::child(point, "rowOff"))}};
    };
    auto [fromColumn, fromRow] = read("from");
    auto [toColumn, toRow] = read("to");
    return Anchor{fromColumn, fromRow, toColumn, toRow};
}

double DrawingPart::rotationOf(pugi::xml_node anchor)
{
    return std::strtod(framePropertiesOf(anchor).attribute("rot").value(), nullptr) / 60000.0;
}

std::string DrawingPart::serialize() const { return XmlPart::serialize(*document_); }

} // namespace tavorin::xlsx
