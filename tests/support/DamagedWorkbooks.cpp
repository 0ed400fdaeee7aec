#include "support/DamagedWorkbooks.h"

#include "support/BiffStreamBuilder.h"

#include <algorithm>
#include <iterator>

namespace tavorin::test {
namespace {

// The FAT sectors are listed from 76, the directory starts at the sector named at 48; a directory
// entry (128 bytes) has its siblings at 68 and 72, its child at 76 and its start sector at 116.
std::uint32_t u32(const Bytes& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24;
}
void putU32At(Bytes& b, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
std::size_t sectorAt(std::uint32_t sector)
{
    return (std::size_t{sector} + 1) * 512;
}
std::size_t fatEntry(const Bytes& b, std::uint32_t sector)
{
    return sectorAt(u32(b, 76 + 4 * (sector / 128))) + 4 * (sector % 128);
}
std::size_t directoryEntry(const Bytes& b, std::uint32_t entry)
{
    std::uint32_t sector = u32(b, 48);
    for (std::uint32_t i = 0; i < entry / 4; ++i)
        sector = u32(b, fatEntry(b, sector));
    return sectorAt(sector) + 128 * (entry % 4);
}
std::size_t workbookEntry(const Bytes& b)
{
    const std::uint8_t name[] = {'W', 0, 'o', 0, 'r', 0, 'k', 0, 'b', 0, 'o', 0, 'o', 0, 'k', 0, 0, 0};
    for (std::uint32_t entry = 1; directoryEntry(b, entry) + 128 <= b.size(); ++entry)
        if (std::equal(std::begin(name), std::end(name),
                       b.begin() + static_cast<std::ptrdiff_t>(directoryEntry(b, entry))))
            return directoryEntry(b, entry);
    return directoryEntry(b, 1);
}

} // namespace

Bytes damagedWorkbook(const std::filesystem::path& workbook, CompoundDamage damage)
{
    Bytes b = fileBytes(workbook);
    const std::uint32_t start = u32(b, workbookEntry(b) + 116), child = u32(b, directoryEntry(b, 0) + 76);
    switch (damage) {
    case CompoundDamage::ChainLoopsAtOnce:
        putU32At(b, fatEntry(b, start), start);
        break;
    case CompoundDamage::ChainLeavesTheFile:
        putU32At(b, fatEntry(b, start), 0x00FFFFF0);
        break;
    case CompoundDamage::ChainEndsEarly:
        putU32At(b, fatEntry(b, start), 0xFFFFFFFE);
        break;
    case CompoundDamage::SiblingIsItself:
        putU32At(b, directoryEntry(b, child) + 68, child);
        break;
    case CompoundDamage::SiblingBeyondTheDirectory:
        putU32At(b, directoryEntry(b, child) + 72, 5000);
        break;
    case CompoundDamage::TooManyFatSectors:
        putU32At(b, 44, 0x40000000);
        break;
    }
    return b;
}

Bytes workbookWithALoopNearItsEnd()
{
    Bytes stream = BiffStreamBuilder().bof().boundSheet(u"Sheet1").eof().bytes();
    stream.resize(100 * 1024, 0);
    Bytes bytes = workbookFileWith(stream);
    std::uint32_t sector = u32(bytes, workbookEntry(bytes) + 116);
    for (int step = 0; step < 200 - 12; ++step)
        sector = u32(bytes, fatEntry(bytes, sector));
    putU32At(bytes, fatEntry(bytes, sector), sector - 50); // the writer lays a stream's sectors out in a row
    return bytes;
}

} // namespace tavorin::test
