#pragma once

#include "platform/xlsx/XlsxError.h"
#include "platform/xlsx/package/Package.h"
#include "platform/xlsx/package/Relationships.h"
#include "platform/xlsx/package/XmlPart.h"

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <vector>

namespace tavorin::xlsx {

// The workbook part (xl/workbook.xml) and its relationships: the sheets in tab order, the
// defined names, the workbook views and the date system. Only this part and its relationships
// are read to list the sheets.
class WorkbookPart {
public:
    enum class SheetKind { Worksheet, Chartsheet, Other };
    struct SheetItem {
        pugi::xml_node element; // the <sheet> element
        std::string name;
        std::string relationshipId;
        std::string part; // empty when the relationship leads nowhere in the package
        SheetKind kind = SheetKind::Other;
    };

    static constexpr std::size_t maximumSheets = 65535;

    // Finds the workbook through the package's officeDocument relationship.
    static Result<WorkbookPart> read(const Package& package);

    const std::string& part() const { return part_; }
    const std::vector<SheetItem>& sheets() const { return sheets_; }
    Relationships& relationships() { return relationships_; }
    bool date1904() const { return date1904_; }
    // The first workbook view's activeTab (0 when it gives none).
    std::size_t activeTab() const;
    // The styles part, empty when the workbook has none.
    std::string stylesPart() const;

    // A new <sheet> element right after `after`, with a fresh sheetId.
    pugi::xml_node insertSheetAfter(pugi::xml_node after, const std::string& name, const std::string& relationshipId);
    // Indexes (0-based tab positions) from `position` on move one up: a sheet was inserted there.
    void shiftSheetIndexes(int position);
    // The sheet-local defined names of sheet `from` (print area, print titles, ...) copied for
    // sheet `to`, their references to `fromName` turned to `toName`.
    void copyLocalNames(int from, int to, const std::string& fromName, const std::string& toName);
    // Every defined name that refers to sheet `from` by name refers to `to` instead.
    void renameInNames(const std::string& from, const std::string& to);

    std::string serialize() const { return XmlPart::serialize(*document_); }

private:
    pugi::xml_node definedNames() const;

    std::string part_;
    std::shared_ptr<pugi::xml_document> document_;
    Relationships relationships_;
    std::vector<SheetItem> sheets_;
    bool date1904_ = false;
};

} // namespace tavorin::xlsx
