#include "platform/xlsx/model/WorkbookPart.h"

#include "platform/xlsx/model/SheetReferences.h"
#include "platform/xlsx/package/PartName.h"

#include <algorithm>
#include <cstdlib>
#include <set>

namespace tavorin::xlsx {
namespace {

bool isTrue(const char* value)
{
    std::string_view text(value);
    return text == "1" || text == "true";
}

std::optional<int> integerOf(pugi::xml_attribute attribute)
{
    if (!attribute)
        return std::nullopt;
    char* end = nullptr;
    long value = std::strtol(attribute.value(), &end, 10);
    if (end == attribute.value() || *end != '\0' || value < 0 || value > 1000000)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

Result<WorkbookPart> WorkbookPart::read(const Package& package)
{
    auto root = package.relationshipsOf("");
    if (!root)
        return root.error();
    const auto* office = root->firstOfKind("officeDocument");
    if (!office)
        return packageError("the package names no main document (officeDocument relationship)");
    auto part = PartName::resolve("", office->target);
    if (!part || !package.exists(*part))
        return packageError("the package's main document is missing", office->target);
    WorkbookPart workbook;
    workbook.part_ = *part;
    auto bytes = package.read(*part);
    if (!bytes)
        return bytes.error();
    auto document = XmlPart::parse(*bytes, *part);
    if (!document)
        return document.error();
    workbook.document_ = std::move(*document);
    pugi::xml_node top = workbook.document_->document_element();
    if (XmlPart::localName(top.name()) != "workbook")
        return packageError("the main document is not a workbook", *part);
    auto relationships = package.relationshipsOf(*part);
    if (!relationships)
        return relationships.error();
    workbook.relationships_ = std::move(*relationships);
    workbook.date1904_ = isTrue(XmlPart::attribute(XmlPart::child(top, "workbookPr"), "date1904").value());

    std::set<std::string> names;
    for (pugi::xml_node sheet : XmlPart::child(top, "sheets").children()) {
        if (sheet.type() != pugi::node_element || XmlPart::localName(sheet.name()) != "sheet")
            continue;
        if (workbook.sheets_.size() >= maximumSheets)
            return packageError("the workbook lists more sheets than a workbook can hold", *part);
        SheetItem item;
        item.element = sheet;
        item.name = sheet.attribute("name").value();
        item.relationshipId = XmlPart::relationshipAttribute(sheet, "id").value();
        if (item.name.empty() || !names.insert(foldedPartName(item.name)).second)
            return packageError("a sheet has no name or the name of another sheet", *part);
        if (const auto* link = workbook.relationships_.find(item.relationshipId); link && !link->external) {
            if (auto target = PartName::resolve(*part, link->target); target && package.exists(*target))
                item.part = *target;
            if (Relationships::isKind(*link, "worksheet"))
                item.kind = SheetKind::Worksheet;
            else if (Relationships::isKind(*link, "chartsheet"))
                item.kind = SheetKind::Chartsheet;
        }
        workbook.sheets_.push_back(std::move(item));
    }
    return workbook;
}

std::string WorkbookPart::stylesPart() const
{
    const auto* link = relationships_.firstOfKind("styles");
    if (!link)
        return {};
    return PartName::resolve(part_, link->target).value_or(std::string());
}

std::size_t WorkbookPart::activeTab() const
{
    pugi::xml_node view = XmlPart::child(XmlPart::child(document_->document_element(), "bookViews"), "workbookView");
    return static_cast<std::size_t>(integerOf(view.attribute("activeTab")).value_or(0));
}

pugi::xml_node WorkbookPart::definedNames() const { return XmlPart::child(document_->document_element(), "definedNames"); }

pugi::xml_node WorkbookPart::insertSheetAfter(pugi::xml_node after, const std::string& name,
                                              const std::string& relationshipId)
{
    int nextId = 1;
    for (pugi::xml_node sheet : after.parent().children())
        nextId = std::max(nextId, integerOf(sheet.attribute("sheetId")).value_or(0) + 1);
    pugi::xml_node element = after.parent().insert_child_after(after.name(), after);
    element.append_attribute("name") = name.c_str();
    element.append_attribute("sheetId") = nextId;
    auto prefix = XmlPart::prefixFor(after, XmlPart::relationshipsNamespace);
    if (!prefix || prefix->empty())
        prefix = XmlPart::prefixFor(after, XmlPart::strictRelationshipsNamespace);
    if (!prefix || prefix->empty()) {
        document_->document_element().append_attribute("xmlns:r") = std::string(XmlPart::relationshipsNamespace).c_str();
        prefix = "r";
    }
    element.append_attribute((*prefix + ":id").c_str()) = relationshipId.c_str();
    return element;
}

void WorkbookPart::shiftSheetIndexes(int position)
{
    auto shift = [position](pugi::xml_attribute attribute) {
        if (auto value = integerOf(attribute); value && *value >= position)
            attribute.set_value(*value + 1);
    };
    for (pugi::xml_node name : definedNames().children())
        shift(name.attribute("localSheetId"));
    for (pugi::xml_node view : XmlPart::child(document_->document_element(), "bookViews").children()) {
        shift(view.attribute("activeTab"));
        shift(view.attribute("firstSheet"));
    }
}

void WorkbookPart::copyLocalNames(int from, int to, const std::string& fromName, const std::string& toName)
{
    pugi::xml_node names = definedNames();
    std::vector<pugi::xml_node> local;
    for (pugi::xml_node name : names.children())
        if (integerOf(name.attribute("localSheetId")) == from)
            local.push_back(name);
    for (pugi::xml_node name : local) {
        pugi::xml_node copy = names.insert_copy_after(name, name);
        copy.attribute("localSheetId").set_value(to);
        copy.text().set(SheetReferences::renamed(name.text().get(), fromName, toName).c_str());
    }
}

void WorkbookPart::renameInNames(const std::string& from, const std::string& to)
{
    for (pugi::xml_node name : definedNames().children()) {
        std::string before = name.text().get();
        std::string after = SheetReferences::renamed(before, from, to);
        if (after != before)
            name.text().set(after.c_str());
    }
}

} // namespace tavorin::xlsx
