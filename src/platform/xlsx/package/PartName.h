#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavorin::xlsx {

// Part names as the zip holds them: no leading '/', folders separated by '/'.
namespace PartName {

// The relationships part of a part ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"); the
// package's own relationships for the empty name.
std::string relationshipsOf(std::string_view part);

// The part a relationship's target names, resolved against the part that holds the
// relationship; nothing when the target leaves the package or is not a part name.
std::optional<std::string> resolve(std::string_view source, std::string_view target);

// The folder of a part with its trailing '/', and the file name without folder.
std::string folderOf(std::string_view part);
std::string fileNameOf(std::string_view part);

// The extension after the last dot of the file name, lower case; empty without one.
std::string extensionOf(std::string_view part);

} // namespace PartName

} // namespace tavorin::xlsx
