#pragma once

#include "platform/xlsx/XlsxError.h"

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <string_view>

namespace tavorin::xlsx {

// [Content_Types].xml: the media type of every part, by extension (Default) or by name
// (Override). Edited in place, so that entries this program does not know stay as they were.
class ContentTypes {
public:
    static constexpr const char* partName = "[Content_Types].xml";

    static Result<ContentTypes> parse(std::string_view bytes);

    // The type of a part, empty when the part has none.
    std::string typeOf(std::string_view part) const;
    void setOverride(std::string_view part, std::string_view type);
    void removeOverride(std::string_view part);
    // Adds a Default for the extension unless one is there.
    void ensureDefault(std::string_view extension, std::string_view type);

    std::string serialize() const;

private:
    std::shared_ptr<pugi::xml_document> document_;
};

} // namespace tavorin::xlsx
