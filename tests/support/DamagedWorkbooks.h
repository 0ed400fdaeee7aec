#pragma once

#include "support/Files.h"

#include <filesystem>

namespace tavorin::test {

// Damage placed by hand in a copy of a version 3 compound file (512-byte sectors), found from its
// header as the format describes it, not with the program's reader: the Workbook stream's chain
// from its second sector on, the root's first child's directory siblings, the header's FAT count.
enum class CompoundDamage {
    ChainLoopsAtOnce,          // the first sector names itself as the next
    ChainLeavesTheFile,        // the next sector lies far past the end of the file
    ChainEndsEarly,            // the chain ends after one sector
    SiblingIsItself,           // a directory entry is its own left sibling
    SiblingBeyondTheDirectory, // a directory entry's right sibling is entry 5000
    TooManyFatSectors,         // the header counts 2^30 FAT sectors
};
Bytes damagedWorkbook(const std::filesystem::path& workbook, CompoundDamage damage);

// A workbook of one sheet whose 100 KB Workbook stream has a chain looping back near its end:
// its globals, at the front, read; the workbook cannot be loaded.
Bytes workbookWithALoopNearItsEnd();

} // namespace tavorin::test
