#include "support/DamagedWorkbooks.h"

#include "support/BiffStreamBuilder.h"

#include <algorithm>
#include <iterator>

namespace tavorin::test {
namespace {

// The FAT sectors are listed from 76, the directory starts at the sector named at 48; a directory
// entry (128 bytes) has its siblings at 68 and 72, its child at 76 and its start sector at 116.
std::size_t sectorAt(std::uint32_t sector)
{
    return (std::size_t{sector} + 1) * 512;
}
std::size_t fatEntry(const Bytes& b, std::uint32_t sector)
{
    return sectorAt(le32(b, 76 + 4 * (sector / 128))) + 4 * (sector % 128);
}
std::size_t directoryEntry(const Bytes& b, std::uint32_t entry)
{
    std::uint32_t sector = le32(b, 48);
    for (std::uint32_t i = 0; i < entry / 4; ++i)
        sector = le32(b, fatEntry(b, sector));
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
    const std::uint32_t start = le32(b, workbookEntry(b) + 116), child = le32(b, directoryEntry(b, 0) + 76);
    switch (damage) {
    case CompoundDamage::ChainLoopsAtOnce:
        setLe32(b, fatEntry(b, start), start);
        break;
    case CompoundDamage::ChainLeavesTheFile:
        setLe32(b, fatEntry(b, start), 0x00FFFFF0);
        break;
    case CompoundDamage::ChainEndsEarly:
        setLe32(b, fatEntry(b, start), 0xFFFFFFFE);
        break;
    case CompoundDamage::SiblingIsItself:
        setLe32(b, directoryEntry(b, child) + 68, child);
        break;
    case CompoundDamage::SiblingBeyondTheDirectory:
        setLe32(b, directoryEntry(b, child) + 72, 5000);
        break;
    case CompoundDamage::TooManyFatSectors:
        setLe32(b, 44, 0x40000000);
        break;
    }
    return b;
}

Bytes workbookWithALoopNearItsEnd()
{
    Bytes stream = BiffStreamBuilder().bof().boundSheet(u"Sheet1").eof().bytes();
    stream.resize(100 * 1024, 0);
    Bytes bytes = workbookFileWith(stream);
    std::uint32_t sector = le32(bytes, workbookEntry(bytes) + 116);
    for (int step = 0; step < 200 - 12; ++step)
        sector = le32(bytes, fatEntry(bytes, sector));
    setLe32(bytes, fatEntry(bytes, sector), sector - 50); // the writer lays a stream's sectors out in a row
    return bytes;
}

} // namespace tavorin::test
