#include "platform/xls/compound/CompoundFileWriter.h"

#include <QChar>

#include <algorithm>
#include <cstring>

namespace tavorin::xls {
namespace {

constexpr std::uint32_t sectorSize = 512;
constexpr std::uint32_t miniSectorSize = 64;
constexpr std::uint64_t miniStreamCutoff = 4096;
constexpr std::uint32_t idsPerSector = sectorSize / 4;
constexpr std::uint32_t idsPerDifatSector = idsPerSector - 1;
constexpr std::uint32_t headerDifatEntries = 109;
constexpr std::uint32_t entriesPerSector = sectorSize / 128;
constexpr std::uint32_t freeSector = 0xFFFFFFFF;
constexpr std::uint32_t endOfChain = 0xFFFFFFFE;
constexpr std::uint32_t fatSectorMark = 0xFFFFFFFD;
constexpr std::uint32_t difatSectorMark = 0xFFFFFFFC;
constexpr std::uint32_t noStream = 0xFFFFFFFF;

std::uint64_t sectorsFor(std::uint64_t bytes, std::uint64_t unit) { return (bytes + unit - 1) / unit; }

void put16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
void put64(std::uint8_t* at, std::uint64_t value)
{
    put32(at, static_cast<std::uint32_t>(value));
    put32(at + 4, static_cast<std::uint32_t>(value >> 32));
}

Status writeU32s(OutputSink& out, const std::vector<std::uint32_t>& values)
{
    std::vector<std::uint8_t> bytes(values.size() * 4);
    for (std::size_t i = 0; i < values.size(); ++i)
        put32(bytes.data() + 4 * i, values[i]);
    return out.write(bytes);
}

Status pad(OutputSink& out, std::uint64_t written, std::uint64_t unit)
{
    std::uint64_t rest = written % unit;
    if (rest == 0)
        return success();
    std::vector<std::uint8_t> zeros(static_cast<std::size_t>(unit - rest), 0);
    return out.write(zeros);
}

// The directory orders siblings by name length first, then by upper-cased code units.
bool siblingLess(const std::u16string& left, const std::u16string& right)
{
    if (left.size() != right.size())
        return left.size() < right.size();
    for (std::size_t i = 0; i < left.size(); ++i) {
        char16_t a = QChar(left[i]).toUpper().unicode();
        char16_t b = QChar(right[i]).toUpper().unicode();
        if (a != b)
            return a < b;
    }
    return false;
}

// Counts the bytes a producer writes and stops it from writing more than it announced.
class CountingSink final : public OutputSink {
public:
    CountingSink(OutputSink& target, std::uint64_t limit) : target_(target), limit_(limit) {}
    Status write(std::span<const std::uint8_t> bytes) override
    {
        if (bytes.size() > limit_ - count_)
            return Error{"a stream wrote more bytes than it announced", "compound file", {}, {}};
        count_ += bytes.size();
        return target_.write(bytes);
    }
    Status finish() override { return success(); }
    std::uint64_t written() const override { return count_; }

private:
    OutputSink& target_;
    std::uint64_t limit_;
    std::uint64_t count_ = 0;
};

} // namespace

// One stream's bytes from its producer, held to the announced size, then padded to the unit.
Status CompoundFileWriter::writeStream(const Node& node, OutputSink& out, std::uint64_t unit)
{
    CountingSink counted(out, node.size);
    if (auto status = node.producer(counted); !status)
        return status;
    if (counted.written() != node.size)
        return Error{"a stream wrote fewer bytes than it announced", "compound file", {}, {}};
    return pad(out, node.size, unit);
}

struct CompoundFileWriter::Layout {
    std::vector<std::uint32_t> startSector;  // per node: first sector or mini sector
    std::vector<std::uint32_t> order;        // regular streams in the order they are written
    std::vector<std::uint32_t> miniOrder;    // mini streams in the order they are packed
    std::uint64_t dataSectors = 0;
    std::uint64_t miniSectors = 0;
    std::uint32_t miniContainerStart = endOfChain;
    std::uint64_t miniContainerSectors = 0;
    std::uint32_t directoryStart = 0;
    std::uint64_t directorySectors = 0;
    std::uint32_t miniFatStart = endOfChain;
    std::uint64_t miniFatSectors = 0;
    std::uint32_t fatStart = 0;
    std::uint64_t fatSectors = 0;
    std::uint32_t difatStart = endOfChain;
    std::uint64_t difatSectors = 0;
    std::uint64_t totalSectors = 0;          // every sector after the header
};

void CompoundFileWriter::setRootInfo(const EntryInfo& info) { nodes_[root].info = info; }

std::uint32_t CompoundFileWriter::addNode(Node node)
{
    auto id = static_cast<std::uint32_t>(nodes_.size());
    std::uint32_t parent = node.parent < nodes_.size() && nodes_[node.parent].storage ? node.parent : root;
    node.parent = parent;
    nodes_.push_back(std::move(node));
    nodes_[parent].children.push_back(id);
    return id;
}

std::uint32_t CompoundFileWriter::addStorage(std::uint32_t parent, std::u16string name, const EntryInfo& info)
{
    return addNode(Node{std::move(name), true, parent, info, 0, {}, {}});
}

void CompoundFileWriter::addStream(std::uint32_t parent, std::u16string name, std::vector<std::uint8_t> bytes,
                                   const EntryInfo& info)
{
    auto shared = std::make_shared<std::vector<std::uint8_t>>(std::move(bytes));
    std::uint64_t size = shared->size();
    addStream(parent, std::move(name), size, [shared](OutputSink& out) { return out.write(*shared); }, info);
}

void CompoundFileWriter::addStream(std::uint32_t parent, std::u16string name, std::uint64_t size,
                                   Producer producer, const EntryInfo& info)
{
    addNode(Node{std::move(name), false, parent, info, size, std::move(producer), {}});
}

Status CompoundFileWriter::checkNames() const
{
    for (const auto& node : nodes_) {
        for (std::size_t i = 0; i < node.children.size(); ++i) {
            const auto& name = nodes_[node.children[i]].name;
            if (name.empty() || name.size() > 31 ||
                name.find_first_of(u"/\\:!") != std::u16string::npos)
                return Error{"a stream or storage name is empty, longer than 31 characters or holds / \\ : !",
                             "compound file", {}, {}};
            for (std::size_t j = 0; j < i; ++j) {
                const auto& other = nodes_[node.children[j]].name;
                if (!siblingLess(name, other) && !siblingLess(other, name))
                    return Error{"two entries of one storage have the same name", "compound file", {}, {}};
            }
        }
        if (!node.storage && node.size > 0xFFFFFFFFull)
            return Error{"a stream is larger than 4 GB", "compound file", {}, {}};
    }
    return success();
}

Result<CompoundFileWriter::Layout> CompoundFileWriter::plan() const
{
    if (auto status = checkNames(); !status)
        return status.error();

    Layout layout;
    layout.startSector.assign(nodes_.size(), endOfChain);
    // Regular streams first, each in one contiguous run of sectors, then the mini stream.
    for (std::uint32_t id = 1; id < nodes_.size(); ++id) {
        const auto& node = nodes_[id];
        if (node.storage || node.size == 0)
            continue;
        if (node.size >= miniStreamCutoff) {
            layout.startSector[id] = static_cast<std::uint32_t>(layout.dataSectors);
            layout.dataSectors += sectorsFor(node.size, sectorSize);
            layout.order.push_back(id);
        } else {
            layout.startSector[id] = static_cast<std::uint32_t>(layout.miniSectors);
            layout.miniSectors += sectorsFor(node.size, miniSectorSize);
            layout.miniOrder.push_back(id);
        }
    }
    std::uint64_t next = layout.dataSectors;
    layout.miniContainerSectors = sectorsFor(layout.miniSectors * miniSectorSize, sectorSize);
    if (layout.miniContainerSectors > 0)
        layout.miniContainerStart = static_cast<std::uint32_t>(next);
    next += layout.miniContainerSectors;
    layout.directoryStart = static_cast<std::uint32_t>(next);
    layout.directorySectors = sectorsFor(nodes_.size(), entriesPerSector);
    next += layout.directorySectors;
    layout.miniFatSectors = sectorsFor(layout.miniSectors, idsPerSector);
    if (layout.miniFatSectors > 0)
        layout.miniFatStart = static_cast<std::uint32_t>(next);
    next += layout.miniFatSectors;
    // The FAT must also describe its own sectors and the DIFAT's: grow both until they fit.
    std::uint64_t fat = 1, difat = 0;
    while (true) {
        std::uint64_t total = next + fat + difat;
        std::uint64_t neededFat = sectorsFor(total, idsPerSector);
        std::uint64_t neededDifat = neededFat > headerDifatEntries
                                        ? sectorsFor(neededFat - headerDifatEntries, idsPerDifatSector)
                                        : 0;
        if (neededFat <= fat && neededDifat <= difat)
            break;
        fat = std::max(fat, neededFat);
        difat = std::max(difat, neededDifat);
    }
    layout.fatStart = static_cast<std::uint32_t>(next);
    layout.fatSectors = fat;
    next += fat;
    if (difat > 0)
        layout.difatStart = static_cast<std::uint32_t>(next);
    layout.difatSectors = difat;
    next += difat;
    if (next >= 0xFFFFFFF0ull)
        return Error{"the file would be too large for a compound file", "compound file", {}, {}};
    layout.totalSectors = next;
    return layout;
}

Result<std::uint64_t> CompoundFileWriter::fileSize() const
{
    auto layout = plan();
    if (!layout)
        return layout.error();
    return (1 + layout->totalSectors) * sectorSize;
}

std::uint64_t CompoundFileWriter::largestStream() const
{
    std::uint64_t largest = 0;
    for (const auto& node : nodes_)
        if (!node.storage)
            largest = std::max(largest, node.size);
    return largest;
}

Status CompoundFileWriter::write(OutputSink& out) const
{
    auto planned = plan();
    if (!planned)
        return planned.error();
    const Layout& layout = *planned;


    // Header.
    std::array<std::uint8_t, 512> header{};
    const std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(header.data(), signature, 8);
    put16(&header[24], 0x003E);
    put16(&header[26], 3);
    put16(&header[28], 0xFFFE);
    put16(&header[30], 9);
    put16(&header[32], 6);
    put32(&header[44], static_cast<std::uint32_t>(layout.fatSectors));
    put32(&header[48], layout.directoryStart);
    put32(&header[56], static_cast<std::uint32_t>(miniStreamCutoff));
    put32(&header[60], layout.miniFatStart);
    put32(&header[64], static_cast<std::uint32_t>(layout.miniFatSectors));
    put32(&header[68], layout.difatStart);
    put32(&header[72], static_cast<std::uint32_t>(layout.difatSectors));
    for (std::uint32_t i = 0; i < headerDifatEntries; ++i)
        put32(&header[76 + 4 * i], i < layout.fatSectors ? layout.fatStart + i : freeSector);
    if (auto status = out.write(header); !status)
        return status;

    // Regular streams, then the mini stream with the small ones packed in 64-byte units.
    for (std::uint32_t id : layout.order)
        if (auto status = writeStream(nodes_[id], out, sectorSize); !status)
            return status;
    std::uint64_t miniWritten = 0;
    for (std::uint32_t id : layout.miniOrder) {
        if (auto status = writeStream(nodes_[id], out, miniSectorSize); !status)
            return status;
        miniWritten += sectorsFor(nodes_[id].size, miniSectorSize) * miniSectorSize;
    }
    if (auto status = pad(out, miniWritten, sectorSize); !status)
        return status;

    // Directory: each storage's children as a balanced tree; nodes on an incomplete last level are
    // red, every other node black, which keeps the red-black rules.
    std::vector<std::uint8_t> directory(layout.directorySectors * sectorSize, 0);
    for (std::size_t i = 0; i < layout.directorySectors * entriesPerSector; ++i) {
        std::uint8_t* entry = directory.data() + 128 * i;
        put32(entry + 68, noStream);
        put32(entry + 72, noStream);
        put32(entry + 76, noStream);
    }
    std::vector<std::uint32_t> left(nodes_.size(), noStream), right(nodes_.size(), noStream),
        child(nodes_.size(), noStream);
    std::vector<bool> red(nodes_.size(), false);
    for (std::uint32_t id = 0; id < nodes_.size(); ++id) {
        auto sorted = nodes_[id].children;
        if (sorted.empty())
            continue;
        std::sort(sorted.begin(), sorted.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return siblingLess(nodes_[a].name, nodes_[b].name); });
        int fullLevels = 0;
        while ((std::size_t{1} << (fullLevels + 1)) - 1 <= sorted.size())
            ++fullLevels;
        std::function<std::uint32_t(std::size_t, std::size_t, int)> build = [&](std::size_t from, std::size_t to,
                                                                               int depth) -> std::uint32_t {
            if (from >= to)
                return noStream;
            std::size_t middle = from + (to - from) / 2;
            std::uint32_t node = sorted[middle];
            red[node] = depth >= fullLevels;
            left[node] = build(from, middle, depth + 1);
            right[node] = build(middle + 1, to, depth + 1);
            return node;
        };
        child[id] = build(0, sorted.size(), 0);
    }
    for (std::uint32_t id = 0; id < nodes_.size(); ++id) {
        const auto& node = nodes_[id];
        std::uint8_t* entry = directory.data() + 128 * id;
        for (std::size_t c = 0; c < node.name.size(); ++c)
            put16(entry + 2 * c, node.name[c]);
        put16(entry + 64, static_cast<std::uint16_t>((node.name.size() + 1) * 2));
        entry[66] = id == root ? 5 : (node.storage ? 1 : 2);
        entry[67] = red[id] ? 0 : 1;
        put32(entry + 68, left[id]);
        put32(entry + 72, right[id]);
        put32(entry + 76, child[id]);
        std::memcpy(entry + 80, node.info.clsid.data(), 16);
        put32(entry + 96, node.info.stateBits);
        put64(entry + 100, node.info.created);
        put64(entry + 108, node.info.modified);
        if (id == root) {
            put32(entry + 116, layout.miniContainerStart);
            put64(entry + 120, layout.miniSectors * miniSectorSize);
        } else if (!node.storage) {
            put32(entry + 116, node.size == 0 ? endOfChain : layout.startSector[id]);
            put64(entry + 120, node.size);
        }
    }
    if (auto status = out.write(directory); !status)
        return status;

    // MiniFAT.
    if (layout.miniFatSectors > 0) {
        std::vector<std::uint32_t> miniFat(layout.miniFatSectors * idsPerSector, freeSector);
        for (std::uint32_t id : layout.miniOrder) {
            std::uint64_t count = sectorsFor(nodes_[id].size, miniSectorSize);
            std::uint32_t start = layout.startSector[id];
            for (std::uint64_t k = 0; k < count; ++k)
                miniFat[start + k] = k + 1 < count ? static_cast<std::uint32_t>(start + k + 1) : endOfChain;
        }
        if (auto status = writeU32s(out, miniFat); !status)
            return status;
    }

    // FAT.
    std::vector<std::uint32_t> fatTable(layout.fatSectors * idsPerSector, freeSector);
    auto chain = [&](std::uint64_t start, std::uint64_t count) {
        for (std::uint64_t k = 0; k < count; ++k)
            fatTable[start + k] = k + 1 < count ? static_cast<std::uint32_t>(start + k + 1) : endOfChain;
    };
    for (std::uint32_t id : layout.order)
        chain(layout.startSector[id], sectorsFor(nodes_[id].size, sectorSize));
    if (layout.miniContainerSectors > 0)
        chain(layout.miniContainerStart, layout.miniContainerSectors);
    chain(layout.directoryStart, layout.directorySectors);
    if (layout.miniFatSectors > 0)
        chain(layout.miniFatStart, layout.miniFatSectors);
    for (std::uint64_t k = 0; k < layout.fatSectors; ++k)
        fatTable[layout.fatStart + k] = fatSectorMark;
    for (std::uint64_t k = 0; k < layout.difatSectors; ++k)
        fatTable[layout.difatStart + k] = difatSectorMark;
    if (auto status = writeU32s(out, fatTable); !status)
        return status;

    // DIFAT sectors for the FAT sectors beyond the header's 109.
    if (layout.difatSectors > 0) {
        std::vector<std::uint32_t> difatTable(layout.difatSectors * idsPerSector, freeSector);
        for (std::uint64_t k = headerDifatEntries; k < layout.fatSectors; ++k) {
            std::uint64_t index = k - headerDifatEntries;
            std::uint64_t sector = index / idsPerDifatSector;
            difatTable[sector * idsPerSector + index % idsPerDifatSector] =
                static_cast<std::uint32_t>(layout.fatStart + k);
        }
        for (std::uint64_t sector = 0; sector < layout.difatSectors; ++sector)
            difatTable[sector * idsPerSector + idsPerDifatSector] =
                sector + 1 < layout.difatSectors ? static_cast<std::uint32_t>(layout.difatStart + sector + 1)
                                                 : endOfChain;
        if (auto status = writeU32s(out, difatTable); !status)
            return status;
    }
    return success();
}

} // namespace tavorin::xls
