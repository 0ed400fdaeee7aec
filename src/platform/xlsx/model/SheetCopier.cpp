#include "platform/xlsx/model/SheetCopier.h"

#include "platform/xls/model/SheetNameRules.h"
#include "platform/xlsx/model/XlsxDocument.h"
#include "platform/xlsx/package/PartName.h"
#include "platform/xlsx/package/XmlPart.h"

#include <QString>
#include <QStringList>

#include <regex>
#include <set>

namespace tavorin::xlsx {
namespace {

constexpr int maximumDepth = 8;
constexpr const char* worksheetType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
constexpr const char* worksheetContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

std::u16string utf16(const std::string& text) { return QString::fromStdString(text).toStdU16String(); }
std::string utf8(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

// "drawing12.xml" -> ("drawing", "xml")
std::pair<std::string, std::string> stemAndExtension(const std::string& part)
{
    std::string name = PartName::fileNameOf(part);
    auto dot = name.rfind('.');
    std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? std::string("xml") : name.substr(dot + 1);
    while (!stem.empty() && stem.back() >= '0' && stem.back() <= '9')
        stem.pop_back();
    return {stem.empty() ? std::string("part") : stem, extension};
}

} // namespace

Result<std::string> SheetCopier::renumberedVml(std::string bytes)
{
    // Legacy drawings (VML, of comments and form controls) number their shapes in blocks of 1024
    // named by o:idmap; a copy needs a block no other drawing uses.
    int highest = 0;
    const std::regex idmap(R"re(data="([0-9,]+)")re");
    for (const auto& entry : document_.package().archive().entries()) {
        if (PartName::extensionOf(entry.name) != "vml" || entry.size > (64u << 20))
            continue;
        auto other = document_.package().read(entry.name);
        if (!other)
            continue;
        for (std::sregex_iterator it(other->begin(), other->end(), idmap), end; it != end; ++it)
            for (const auto& number : QString::fromStdString((*it)[1].str()).split(','))
                highest = std::max(highest, number.toInt());
    }
    for (const auto& name : document_.package().added())
        if (PartName::extensionOf(name) == "vml")
            if (auto other = document_.package().read(name))
                for (std::sregex_iterator it(other->begin(), other->end(), idmap), end; it != end; ++it)
                    for (const auto& number : QString::fromStdString((*it)[1].str()).split(','))
                        highest = std::max(highest, number.toInt());
    std::smatch found;
    if (!std::regex_search(bytes, found, idmap))
        return bytes;
    const int old = QString::fromStdString(found[1].str()).split(',').front().toInt();
    const int block = highest + 1;
    std::string out = std::string(found.prefix()) + "data=\"" + std::to_string(block) + "\"" + std::string(found.suffix());
    const std::regex shapeId(R"(_x0000_s([0-9]+))");
    std::string renumbered;
    auto last = out.cbegin();
    for (std::sregex_iterator it(out.begin(), out.end(), shapeId), end; it != end; ++it) {
        renumbered.append(last, (*it)[0].first);
        long id = std::stol((*it)[1].str());
        renumbered += "_x0000_s" + std::to_string(id - old * 1024L + block * 1024L);
        last = (*it)[0].second;
    }
    renumbered.append(last, out.cend());
    return renumbered;
}

Result<std::string> SheetCopier::renamedTable(const std::string& part, std::string bytes)
{
    // A table's id and name are unique in the workbook: the copy gets the next id and the name
    // with "_n" appended, as Excel names the tables of a copied sheet.
    auto document = XmlPart::parse(bytes, part);
    if (!document)
        return document.error();
    long highest = 0;
    std::set<std::string> names;
    for (const auto& entry : document_.package().archive().entries()) {
        if (!entry.name.starts_with("xl/tables/") || entry.size > (16u << 20))
            continue;
        auto other = document_.package().read(entry.name);
        if (!other)
            continue;
        if (auto parsed = XmlPart::parse(*other, entry.name)) {
            pugi::xml_node table = (*parsed)->document_element();
            highest = std::max(highest, std::strtol(table.attribute("id").value(), nullptr, 10));
            names.insert(foldedPartName(table.attribute("name").value()));
        }
    }
    for (const auto& name : document_.package().added())
        if (name.starts_with("xl/tables/"))
            if (auto other = document_.package().read(name))
                if (auto parsed = XmlPart::parse(*other, name)) {
                    highest = std::max(highest, std::strtol((*parsed)->document_element().attribute("id").value(), nullptr, 10));
                    names.insert(foldedPartName((*parsed)->document_element().attribute("name").value()));
                }
    pugi::xml_node table = (*document)->document_element();
    table.attribute("id").set_value(static_cast<long long>(highest + 1));
    const std::string base = table.attribute("name").value();
    std::string name;
    for (int n = 2;; ++n) {
        name = base + "_" + std::to_string(n);
        if (!names.contains(foldedPartName(name)))
            break;
    }
    table.attribute("name").set_value(name.c_str());
    if (table.attribute("displayName"))
        table.attribute("displayName").set_value(name.c_str());
    return XmlPart::serialize(**document);
}

Result<std::string> SheetCopier::adjusted(const std::string& part, std::string bytes)
{
    const std::string extension = PartName::extensionOf(part);
    if (extension == "vml")
        return renumberedVml(std::move(bytes));
    if (part.starts_with("xl/tables/"))
        return renamedTable(part, std::move(bytes));
    return bytes;
}

Result<std::string> SheetCopier::copyPart(const std::string& part, int depth)
{
    if (auto done = copies_.find(part); done != copies_.end())
        return done->second;
    if (depth > maximumDepth)
        return packageError("the parts of the sheet refer to each other too deeply to be copied", part);
    Package& package = document_.package();
    auto bytes = package.read(part);
    if (!bytes)
        return bytes.error();
    auto content = adjusted(part, std::move(*bytes));
    if (!content)
        return content.error();
    auto [stem, extension] = stemAndExtension(part);
    std::string copy = package.freeName(PartName::folderOf(part), stem, extension);
    copies_[part] = copy;
    package.write(copy, std::move(*content));
    if (auto type = package.contentTypes().typeOf(part); !type.empty())
        package.contentTypes().setOverride(copy, type);
    auto relationships = package.relationshipsOf(part);
    if (!relationships)
        return relationships.error();
    if (auto status = [&]() -> Status {
            for (const auto& link : relationships->links()) {
                if (link.external || Relationships::isKind(link, "image"))
                    continue; // pictures are shared, addresses stay addresses
                auto target = PartName::resolve(part, link.target);
                if (!target || !package.exists(*target))
                    continue;
                auto copied = copyPart(*target, depth + 1);
                if (!copied)
                    return copied.error();
                relationships->retarget(link.id, "/" + *copied);
            }
            return success();
        }();
        !status)
        return status.error();
    if (!relationships->links().empty())
        package.writeRelationships(copy, *relationships);
    return copy;
}

Result<std::size_t> SheetCopier::copy(std::size_t source, std::size_t anchor)
{
    auto& sheets = document_.sheets_;
    XlsxSheet& original = *sheets[source];
    Package& package = document_.package();

    // The sheet as it is now (with what was written into it), under a new name.
    std::string sheetPart = package.freeName(PartName::folderOf(original.part), "sheet", "xml");
    package.write(sheetPart, {}); // taken now; the content is written when the workbook is saved
    copies_[original.part] = sheetPart;
    auto content = SheetPart::parse(original.content->serialize(), sheetPart);
    if (!content)
        return content.error();
    (*content)->unselect();
    Relationships relationships = original.relationships;
    for (const auto& link : original.relationships.links()) {
        if (link.external || Relationships::isKind(link, "image"))
            continue;
        auto target = PartName::resolve(original.part, link.target);
        if (!target || !package.exists(*target))
            continue;
        // The drawing as it is now, written first so that the copy takes it.
        if (original.drawing && *target == original.drawingPart && original.drawingChanged) {
            package.write(original.drawingPart, original.drawing->serialize());
            package.writeRelationships(original.drawingPart, original.drawingRelationships);
            original.drawingChanged = false;
        }
        auto copied = copyPart(*target, 1);
        if (!copied)
            return copied.error();
        relationships.retarget(link.id, "/" + *copied);
    }

    std::vector<std::u16string> names;
    for (const auto& sheet : sheets)
        names.push_back(utf16(sheet->name));
    const std::string name = utf8(xls::SheetNameRules::copyName(utf16(original.name), names));

    WorkbookPart& workbook = document_.workbook();
    const std::string id = workbook.relationships().add(worksheetType, "/" + sheetPart);
    auto copy = std::make_shared<XlsxSheet>();
    copy->element = workbook.insertSheetAfter(sheets[anchor]->element, name, id);
    copy->name = name;
    copy->part = sheetPart;
    copy->kind = WorkbookPart::SheetKind::Worksheet;
    copy->geometry = original.geometry;
    copy->libreOfficeGeometry = original.libreOfficeGeometry;
    copy->content = std::move(*content);
    copy->relationships = std::move(relationships);
    copy->contentChanged = copy->relationshipsChanged = true;
    package.contentTypes().setOverride(sheetPart, worksheetContentType);

    const std::size_t position = anchor + 1;
    workbook.shiftSheetIndexes(static_cast<int>(position));
    const std::size_t originalPosition = source >= position ? source + 1 : source;
    workbook.copyLocalNames(static_cast<int>(originalPosition), static_cast<int>(position), original.name, name);
    sheets.insert(sheets.begin() + static_cast<std::ptrdiff_t>(position), std::move(copy));
    return position;
}

} // namespace tavorin::xlsx
