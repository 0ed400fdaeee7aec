#pragma once

#include "platform/xlsx/XlsxError.h"

#include <pugixml.hpp>

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace tavorin::xlsx {

// The styles part: the Normal style's font (which sets the column width unit) and the cell
// formats (cellXfs) with their number formats. A number format is given to a cell by a clone of
// its cell format with the new numFmtId, as Excel does; a user format gets an id from 164 on.
class StylesPart {
public:
    struct Font {
        std::string name = "Calibri";
        double points = 11;
    };

    static constexpr int firstUserFormat = 164;
    static constexpr std::size_t maximumCellFormats = 65000;

    // A workbook without a styles part reads as Excel's defaults.
    static Result<StylesPart> parse(std::string_view bytes, const std::string& part);

    // The font of the first cell style format (the Normal style).
    Font normalFont() const;
    // The numFmtId of a cell format (0 for an index outside the list).
    int numberFormatOf(int cellFormat) const;
    // The id of a format code: an existing user format of that code, else a new one.
    Result<int> numberFormatId(const std::string& code);
    // A cell format like `cellFormat` but with `numberFormat`; reused when made before.
    Result<int> withNumberFormat(int cellFormat, int numberFormat);

    bool changed() const { return changed_; }
    std::string serialize() const;

private:
    pugi::xml_node section(const char* local, bool create);
    pugi::xml_node cellFormat(int index) const;

    std::shared_ptr<pugi::xml_document> document_;
    std::map<std::pair<int, int>, int> clones_;
    bool changed_ = false;
};

} // namespace tavorin::xlsx
