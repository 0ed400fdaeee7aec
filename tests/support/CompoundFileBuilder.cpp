#include "support/CompoundFileBuilder.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace tavorin::test {
namespace {

constexpr std::uint32_t sectorSize = 512;
constexpr std::uint32_t endOfChain = 0xFFFFFFFE;
constexpr std::uint32_t fatSector = 0xFFFFFFFD;
constexpr std::uint32_t freeSector = 0xFFFFFFFF;
constexpr std::uint32_t noStream = 0xFFFFFFFF;

void putU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t sectorsFor(std::size_t size) { return static_cast<std::uint32_t>((size + sectorSize - 1) / sectorSize); }

// Directory order: shorter names first, then by upper-cased code units.
bool directoryLess(const std::u16string& a, const std::u16string& b)
{
    if (a.size() != b.size())
        return a.size() < b.size();
    auto upper = [](char16_t c) { return c < 128 ? static_cast<char16_t>(std::toupper(c)) : c; };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char16_t x, char16_t y) { return upper(x) < upper(y); });
}

void writeEntry(std::vector<std::uint8_t>& out, std::size_t at, const std::u16string& name, std::uint8_t type,
                std::uint32_t right, std::uint32_t child, std::uint32_t start, std::uint32_t size)
{
    for (std::size_t i = 0; i < name.size(); ++i)
        putU16(out, at + 2 * i, name[i]);
    putU16(out, at + 64, static_cast<std::uint16_t>((name.size() + 1) * 2));
    out[at + 66] = type;
    out[at + 67] = 1; // black
    putU32(out, at + 68, noStream);
    putU32(out, at + 72, right);
    putU32(out, at + 76, child);
    putU32(out, at + 116, start);
    putU32(out, at + 120, size);
}

} // namespace

void CompoundFileBuilder::addStream(std::u16string name, std::vector<std::uint8_t> bytes)
{
    if (bytes.size() < 4096 || name.size() > 31)
        throw std::invalid_argument("stream too short for regular sectors, or name too long");
    streams_.emplace_back(std::move(name), std::move(bytes));
}

void CompoundFileBuilder::padWorkbookStream(std::vector<std::uint8_t>& stream)
{
    if (stream.size() < 4096)
        stream.resize(4096, 0);
}

std::vector<std::uint8_t> CompoundFileBuilder::build() const
{
    auto streams = streams_;
    std::sort(streams.begin(), streams.end(), [](const auto& a, const auto& b) { return directoryLess(a.first, b.first); });

    std::uint32_t directorySectors = sectorsFor((streams.size() + 1) * 128);
    std::uint32_t dataSectors = 0;
    for (const auto& stream : streams)
        dataSectors += sectorsFor(stream.second.size());
    std::uint32_t fatSectors = 1;
    while (fatSectors * (sectorSize / 4) < fatSectors + directorySectors + dataSectors)
        ++fatSectors;
    if (fatSectors > 109)
        throw std::invalid_argument("too large for a header-only DIFAT");

    std::uint32_t total = fatSectors + directorySectors + dataSectors;
    std::vector<std::uint8_t> out((std::size_t{total} + 1) * sectorSize, 0);
    auto sectorAt = [](std::uint32_t sector) { return (std::size_t{sector} + 1) * sectorSize; };

    // Header.
    const std::uint8_t signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(std::begin(signature), std::end(signature), out.begin());
    putU16(out, 24, 0x003E);
    putU16(out, 26, 3);
    putU16(out, 28, 0xFFFE);
    putU16(out, 30, 9);
    putU16(out, 32, 6);
    putU32(out, 44, fatSectors);
    putU32(out, 48, fatSectors); // first directory sector
    putU32(out, 56, 4096);
    putU32(out, 60, endOfChain);
    putU32(out, 68, endOfChain);
    for (std::uint32_t i = 0; i < 109; ++i)
        putU32(out, 76 + 4 * i, i < fatSectors ? i : freeSector);

    // FAT.
    std::vector<std::uint32_t> fat(std::size_t{fatSectors} * (sectorSize / 4), freeSector);
    for (std::uint32_t i = 0; i < fatSectors; ++i)
        fat[i] = fatSector;
    auto chain = [&](std::uint32_t first, std::uint32_t count) {
        for (std::uint32_t i = 0; i < count; ++i)
            fat[first + i] = i + 1 < count ? first + i + 1 : endOfChain;
    };
    chain(fatSectors, directorySectors);
    std::uint32_t next = fatSectors + directorySectors;
    std::vector<std::uint32_t> starts;
    for (const auto& stream : streams) {
        std::uint32_t count = sectorsFor(stream.second.size());
        starts.push_back(next);
        chain(next, count);
        std::copy(stream.second.begin(), stream.second.end(), out.begin() + static_cast<std::ptrdiff_t>(sectorAt(next)));
        next += count;
    }
    for (std::size_t i = 0; i < fat.size(); ++i)
        putU32(out, sectorAt(static_cast<std::uint32_t>(i / 128)) + (i % 128) * 4, fat[i]);

    // Directory: the root, then the streams as a chain of right siblings in directory order.
    std::size_t directory = sectorAt(fatSectors);
    writeEntry(out, directory, u"Root Entry", 5, noStream, streams.empty() ? noStream : 1, endOfChain, 0);
    for (std::size_t i = 0; i < streams.size(); ++i) {
        std::uint32_t right = i + 1 < streams.size() ? static_cast<std::uint32_t>(i + 2) : noStream;
        writeEntry(out, directory + (i + 1) * 128, streams[i].first, 2, right, noStream, starts[i],
                   static_cast<std::uint32_t>(streams[i].second.size()));
    }
    for (std::size_t i = streams.size() + 1; i < std::size_t{directorySectors} * 4; ++i) {
        putU32(out, directory + i * 128 + 68, noStream);
        putU32(out, directory + i * 128 + 72, noStream);
        putU32(out, directory + i * 128 + 76, noStream);
    }
    return out;
}

} // namespace tavorin::test
