#pragma once

// Checks the stream positions that a Workbook stream holds against where its records lie:
// BoundSheet8 positions, each sheet's INDEX (DEFCOLWIDTH and DBCELL positions), each DBCELL's
// distance back to its first ROW, and EXTSST's positions of strings in the shared string table.
// Readers such as Excel use them to find records without reading everything before them.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavorin::test {

// What does not agree, one line each; empty when everything does.
std::vector<std::string> streamLayoutProblems(std::span<const std::uint8_t> stream);

// The bytes of the sheet at position (a BoundSheet8 index) from its BOF to past its EOF.
std::span<const std::uint8_t> sheetBytes(std::span<const std::uint8_t> stream, std::size_t position);

} // namespace tavorin::test
