#pragma once

#include <QStringList>

namespace tavorin {

// The fixed item lists of the option choosers. The window and the command line both use them,
// so that an index means the same column, row or format everywhere.

inline constexpr int worksheetColumnCount = 256; // "A" … "IV"
inline constexpr int highestChoosableRow = 300;

// "A" … "IV" in worksheet column order; item i stands for column i + 1.
QStringList columnNames();
// Column names as the start/end column choosers show them: four blanks before a one-letter
// name, two before a two-letter name ("    A", "  AA").
QStringList longFormColumnNames();
// Column names as the caption column choosers show them: two blanks before a one-letter name,
// none before a two-letter name ("  A", "AA").
QStringList shortFormColumnNames();

// "1" … "300": the row choosers.
QStringList rowNumberItems();
// "0" … "300": the spacing choosers.
QStringList spacingItems();
// "ALL", then "1" … "300": pictures per sheet.
QStringList picturesPerSheetItems();
// The eight date caption formats, each showing 14 March 2001, 13:30.
QStringList dateFormatSamples();

} // namespace tavorin
