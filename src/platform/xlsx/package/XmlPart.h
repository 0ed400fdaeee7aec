#pragma once

#include "platform/xlsx/XlsxError.h"

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <string_view>

namespace tavorin::xlsx {

// Reading and writing the package's XML parts with pugixml. Its DOM keeps every element,
// attribute and namespace declaration of a part as read, so that a part written back differs
// only where it was edited; parsing never throws and reports an error with its place.
// Elements and attributes are matched by their local names (the part of the name after any
// namespace prefix), since writers differ in the prefixes they choose.
namespace XmlPart {

Result<std::unique_ptr<pugi::xml_document>> parse(std::string_view bytes, const std::string& part);
std::string serialize(const pugi::xml_document& document);

// The name without its prefix.
std::string_view localName(const char* name);
// The first child element, or the first attribute, of that local name.
pugi::xml_node child(pugi::xml_node node, std::string_view local);
pugi::xml_attribute attribute(pugi::xml_node node, std::string_view local);
// The namespace prefix ("" for the default namespace) that the element's scope binds to uri;
// nothing when none does.
std::optional<std::string> prefixFor(pugi::xml_node node, std::string_view uri);
// An attribute in the office document relationships namespace ("r:id", "r:embed"), in any
// prefix and in both the transitional and the strict namespace.
pugi::xml_attribute relationshipAttribute(pugi::xml_node node, std::string_view local);
// The qualified name for a local name in the same namespace as the element `like` ("x:c" when
// it is "x:row", "c" when it is "row").
std::string sameNamespace(pugi::xml_node like, std::string_view local);

inline constexpr std::string_view relationshipsNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr std::string_view strictRelationshipsNamespace =
    "http://purl.oclc.org/ooxml/officeDocument/relationships";

} // namespace XmlPart

} // namespace tavorin::xlsx
