#pragma once

// A workbook the program saved, judged as a whole: xlrd loads every sheet of it, and every stream
// position its Workbook stream holds (BoundSheet8, INDEX, DBCELL, EXTSST) points where the
// records lie, so that a wrong sheet offset cannot pass unseen. The stream is taken out of the
// compound file with the engine's compound file reader, which its own tests judge against olefile.

#include <QJsonObject>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavorin::test {

// xlrd's report of the whole workbook, for the test's own checks; nothing when xlrd refused it.
// Every disagreement fails the test with a line of its own.
std::optional<QJsonObject> expectSavedWhole(const std::filesystem::path& workbook);

// The Workbook (or Book) stream of a compound file; empty, and the test failed, when it cannot be read.
std::vector<std::uint8_t> workbookStreamOf(const std::filesystem::path& workbook);

// The stream positions of a saved workbook that disagree with where its records lie, a line each.
std::string layoutProblemsOf(const std::filesystem::path& workbook);

} // namespace tavorin::test
