#pragma once

#include "platform/xlsx/XlsxError.h"

#include <map>
#include <string>

namespace tavorin::xlsx {

class XlsxDocument;

// Copies a worksheet as Excel's Move or Copy does: the sheet part and every part it uses (its
// drawing with the charts in it, comments, tables, printer settings) get copies of their own,
// pictures are shared; the copy follows the anchor sheet, is named "<name> (n)", is not selected,
// and gets its own copies of the sheet's local defined names (print area and print titles).
class SheetCopier {
public:
    explicit SheetCopier(XlsxDocument& document) : document_(document) {}

    Result<std::size_t> copy(std::size_t source, std::size_t anchor);

private:
    // A copy of a part and, through its relationships, of the parts it owns; returns its name.
    Result<std::string> copyPart(const std::string& part, int depth);
    Result<std::string> adjusted(const std::string& part, std::string bytes);
    Result<std::string> renumberedVml(std::string bytes);
    Result<std::string> renamedTable(const std::string& part, std::string bytes);

    XlsxDocument& document_;
    std::map<std::string, std::string> copies_; // part -> its copy, so that a part is copied once
};

} // namespace tavorin::xlsx
