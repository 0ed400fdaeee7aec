#pragma once

#include "platform/xlsx/drawing/DrawingPart.h"
#include "platform/xlsx/geometry/XlsxSheetGeometry.h"
#include "platform/xlsx/model/SheetPart.h"
#include "platform/xlsx/model/WorkbookPart.h"
#include "platform/xlsx/package/Relationships.h"

#include <pugixml.hpp>

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tavorin::xlsx {

// One sheet of an open .xlsx workbook: its entry in the workbook part and, once an operation
// works on it, its part, relationships, geometry and drawing. A sheet nobody worked on is
// written back as the bytes it was read from.
struct XlsxSheet {
    pugi::xml_node element; // <sheet> in the workbook part
    std::string name;
    std::string part;
    WorkbookPart::SheetKind kind = WorkbookPart::SheetKind::Other;

    std::unique_ptr<SheetPart> content;
    Relationships relationships;
    bool contentChanged = false;
    bool relationshipsChanged = false;
    std::optional<XlsxSheetGeometry> geometry;          // as Excel lays the sheet out
    std::optional<XlsxSheetGeometry> libreOfficeGeometry; // as LibreOffice does, when pictures are fitted for it

    // What ranges and pictures are measured in.
    const XlsxSheetGeometry& placementGeometry() const { return libreOfficeGeometry ? *libreOfficeGeometry : *geometry; }

    std::string drawingPart;
    std::unique_ptr<DrawingPart> drawing;
    Relationships drawingRelationships;
    bool drawingChanged = false;

    // The frames of the pictures placed through the operations (points, unrotated) and their
    // rotation, as last set: they are what the operations read back, exactly.
    struct Frame {
        double left = 0, top = 0, width = 0, height = 0, rotation = 0;
    };
    std::map<std::string, Frame> frames;
    // The media part each of those pictures shows, by the picture's name.
    std::map<std::string, std::string> mediaParts;
};

} // namespace tavorin::xlsx
