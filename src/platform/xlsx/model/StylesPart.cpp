#include "platform/xlsx/model/StylesPart.h"

#include "platform/xlsx/package/XmlPart.h"

#include <algorithm>
#include <cstdlib>

namespace tavorin::xlsx {
namespace {

int integer(const char* text, int fallback)
{
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || value < 0 || value > 100000000)
        return fallback;
    return static_cast<int>(value);
}

pugi::xml_node nth(pugi::xml_node parent, int index)
{
    int at = 0;
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling())
        if (node.type() == pugi::node_element && at++ == index)
            return node;
    return {};
}

int countOf(pugi::xml_node parent)
{
    int count = 0;
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling())
        count += node.type() == pugi::node_element ? 1 : 0;
    return count;
}

void setCount(pugi::xml_node parent)
{
    if (auto count = parent.attribute("count"))
        count.set_value(countOf(parent));
}

// Where a new section goes among the stylesheet's children, which have a fixed order.
constexpr const char* sectionOrder[] = {"numFmts", "fonts", "fills", "borders", "cellStyleXfs", "cellXfs",
                                        "cellStyles", "dxfs", "tableStyles", "colors", "extLst"};

} // namespace

Result<StylesPart> StylesPart::parse(std::string_view bytes, const std::string& part)
{
    StylesPart styles;
    if (bytes.empty()) {
        styles.document_ = std::make_shared<pugi::xml_document>();
        styles.document_->append_child("styleSheet").append_attribute("xmlns") =
            "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
        return styles;
    }
    auto document = XmlPart::parse(bytes, part);
    if (!document)
        return document.error();
    if (XmlPart::localName((*document)->document_element().name()) != "styleSheet")
        return packageError("the part is no style sheet", part);
    styles.document_ = std::move(*document);
    return styles;
}

pugi::xml_node StylesPart::section(const char* local, bool create)
{
    pugi::xml_node root = document_->document_element();
    if (pugi::xml_node found = XmlPart::child(root, local); found || !create)
        return found;
    const auto* position = std::find_if(std::begin(sectionOrder), std::end(sectionOrder),
                                        [&](const char* name) { return std::string_view(name) == local; });
    for (const auto* later = position + 1; later != std::end(sectionOrder); ++later)
        if (pugi::xml_node next = XmlPart::child(root, *later))
            return root.insert_child_before(XmlPart::sameNamespace(root, local).c_str(), next);
    return root.append_child(XmlPart::sameNamespace(root, local).c_str());
}

pugi::xml_node StylesPart::cellFormat(int index) const
{
    return nth(XmlPart::child(document_->document_element(), "cellXfs"), index);
}

StylesPart::Font StylesPart::normalFont() const
{
    pugi::xml_node root = document_->document_element();
    pugi::xml_node styleFormat = nth(XmlPart::child(root, "cellStyleXfs"), 0);
    int fontId = styleFormat ? integer(styleFormat.attribute("fontId").value(), 0) : 0;
    pugi::xml_node font = nth(XmlPart::child(root, "fonts"), fontId);
    Font result;
    if (!font)
        return result;
    if (auto name = XmlPart::attribute(XmlPart::child(font, "name"), "val"); name && *name.value())
        result.name = name.value();
    if (auto size = XmlPart::attribute(XmlPart::child(font, "sz"), "val")) {
        double points = std::strtod(size.value(), nullptr);
        if (points >= 1 && points <= 409)
            result.points = points;
    }
    return result;
}

int StylesPart::numberFormatOf(int index) const
{
    pugi::xml_node format = cellFormat(index);
    return format ? integer(format.attribute("numFmtId").value(), 0) : 0;
}

Result<int> StylesPart::numberFormatId(const std::string& code)
{
    pugi::xml_node formats = section("numFmts", false);
    int next = firstUserFormat;
    for (pugi::xml_node format : formats.children()) {
        int id = integer(format.attribute("numFmtId").value(), 0);
        if (code == format.attribute("formatCode").value())
            return id;
        next = std::max(next, id + 1);
    }
    if (next > 100000)
        return packageError("the workbook holds too many number formats", "styles");
    formats = section("numFmts", true);
    pugi::xml_node format = formats.append_child(XmlPart::sameNamespace(formats, "numFmt").c_str());
    format.append_attribute("numFmtId") = next;
    format.append_attribute("formatCode") = code.c_str();
    if (!formats.attribute("count"))
        formats.prepend_attribute("count");
    setCount(formats);
    changed_ = true;
    return next;
}

Result<int> StylesPart::withNumberFormat(int index, int numberFormat)
{
    if (numberFormatOf(index) == numberFormat && cellFormat(index))
        return index;
    if (auto found = clones_.find({index, numberFormat}); found != clones_.end())
        return found->second;
    pugi::xml_node formats = section("cellXfs", true);
    const int count = countOf(formats);
    if (static_cast<std::size_t>(count) >= maximumCellFormats)
        return packageError("the workbook holds too many cell formats", "styles");
    pugi::xml_node source = cellFormat(index);
    pugi::xml_node clone = source ? formats.append_copy(source)
                                  : formats.append_child(XmlPart::sameNamespace(formats, "xf").c_str());
    for (const char* name : {"numFmtId", "applyNumberFormat"})
        if (!clone.attribute(name))
            clone.append_attribute(name);
    if (!clone.attribute("fontId"))
        clone.append_attribute("fontId") = 0;
    clone.attribute("numFmtId").set_value(numberFormat);
    clone.attribute("applyNumberFormat").set_value(1);
    if (!formats.attribute("count"))
        formats.prepend_attribute("count");
    setCount(formats);
    clones_[{index, numberFormat}] = count;
    changed_ = true;
    return count;
}

std::string StylesPart::serialize() const { return XmlPart::serialize(*document_); }

} // namespace tavorin::xlsx
