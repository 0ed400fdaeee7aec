#include "platform/xls/compound/CompoundFile.h"

#include "platform/xls/compound/ByteReader.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace tavorin::xls {
namespace {

constexpr std::uint32_t maxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t endOfChain = 0xFFFFFFFE;
constexpr std::uint32_t freeSector = 0xFFFFFFFF;
constexpr std::size_t headerDifatEntries = 109;
constexpr std::size_t directoryEntrySize = 128;
constexpr std::array<std::uint8_t, 8> signature{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

Error cfbError(std::string message, std::optional<std::uint64_t> offset = {})
{
    return Error{std::move(message), "compound file", {}, offset};
}

} // namespace

std::string DirectoryEntry::utf8Name() const
{
    return QString::fromStdU16String(name).toStdString();
}

struct CompoundFile::State {
    std::unique_ptr<ByteSource> source;
    std::uint16_t majorVersion = 3;
    std::uint32_t sectorSize = 512;
    std::uint32_t miniSectorSize = 64;
    std::uint32_t miniStreamCutoff = 4096;
    std::uint64_t sectorCount = 0; // sectors present in the file after the header
    std::array<std::uint8_t, 16> rootClsid{};
    std::vector<std::uint32_t> fat;
    std::vector<std::uint32_t> miniFat;
    std::vector<DirectoryEntry> entries;
    std::vector<std::vector<std::uint32_t>> children;
    mutable std::unique_ptr<CompoundStream> miniContainer;

    std::uint64_t sectorOffset(std::uint32_t sector) const
    {
        return (static_cast<std::uint64_t>(sector) + 1) * sectorSize;
    }

    // Reads bytes of a sector run; the last sector of a file may be cut short, and what is
    // missing of it reads as zeros.
    Status readSectors(std::uint32_t first, std::size_t inner, std::span<std::uint8_t> out) const
    {
        std::uint64_t offset = sectorOffset(first) + inner;
        std::uint64_t fileSize = source->size();
        if (offset >= fileSize)
            return cfbError("sector " + std::to_string(first) + " lies beyond the end of the file", offset);
        std::size_t present = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), fileSize - offset));
        if (!source->read(offset, out.first(present)))
            return cfbError("the file could not be read", offset);
        std::fill(out.begin() + static_cast<std::ptrdiff_t>(present), out.end(), std::uint8_t{0});
        return success();
    }

    // Follows a chain in a table held in memory (FAT for metadata chains), checking every link.
    Result<std::vector<std::uint32_t>> chain(std::uint32_t start, const char* what) const
    {
        std::vector<std::uint32_t> sectors;
        std::vector<bool> visited(fat.size(), false);
        std::uint32_t sector = start;
        while (sector != endOfChain) {
            if (sector > maxRegularSector || sector >= fat.size() || sector >= sectorCount)
                return cfbError(std::string("the ") + what + " chain points to sector " + std::to_string(sector) +
                                ", outside the file");
            if (visited[sector])
                return cfbError(std::string("the ") + what + " chain loops at sector " + std::to_string(sector));
            visited[sector] = true;
            sectors.push_back(sector);
            sector = fat[sector];
        }
        return sectors;
    }

    Result<std::vector<std::uint8_t>> readChain(std::uint32_t start, const char* what) const
    {
        auto sectors = chain(start, what);
        if (!sectors)
            return sectors.error();
        std::vector<std::uint8_t> bytes(sectors->size() * sectorSize);
        for (std::size_t i = 0; i < sectors->size(); ++i) {
            auto status = readSectors((*sectors)[i], 0, std::span(bytes).subspan(i * sectorSize, sectorSize));
            if (!status)
                return status.error();
        }
        return bytes;
    }

    Status readHeader(std::span<const std::uint8_t> header, std::uint32_t& fatSectorCount,
                      std::uint32_t& firstDirectorySector, std::uint32_t& firstMiniFatSector,
                      std::uint32_t& miniFatSectorCount, std::uint32_t& firstDifatSector,
                      std::uint32_t& difatSectorCount)
    {
        if (!std::equal(signature.begin(), signature.end(), header.begin()))
            return cfbError("not a compound file (no OLE2 signature); an Excel 97-2003 workbook is one", 0);
        majorVersion = ByteReader::u16At(header, 26);
        std::uint16_t byteOrder = ByteReader::u16At(header, 28);
        std::uint16_t sectorShift = ByteReader::u16At(header, 30);
        std::uint16_t miniSectorShift = ByteReader::u16At(header, 32);
        if (byteOrder != 0xFFFE)
            return cfbError("unexpected byte order mark in the header", 28);
        if (!((majorVersion == 3 && sectorShift == 9) || (majorVersion == 4 && sectorShift == 12)))
            return cfbError("unsupported version " + std::to_string(majorVersion) + " with sector shift " +
                                std::to_string(sectorShift),
                            26);
        if (miniSectorShift != 6)
            return cfbError("unsupported mini sector shift " + std::to_string(miniSectorShift), 32);
        sectorSize = 1u << sectorShift;
        miniSectorSize = 1u << miniSectorShift;
        fatSectorCount = ByteReader::u32At(header, 44);
        firstDirectorySector = ByteReader::u32At(header, 48);
        miniStreamCutoff = ByteReader::u32At(header, 56);
        firstMiniFatSector = ByteReader::u32At(header, 60);
        miniFatSectorCount = ByteReader::u32At(header, 64);
        firstDifatSector = ByteReader::u32At(header, 68);
        difatSectorCount = ByteReader::u32At(header, 72);
        if (miniStreamCutoff != 4096)
            return cfbError("unsupported mini stream cutoff " + std::to_string(miniStreamCutoff), 56);
        std::uint64_t fileSize = source->size();
        if (fileSize < sectorSize)
            return cfbError("the file is shorter than its header", fileSize);
        sectorCount = (fileSize + sectorSize - 1) / sectorSize - 1;
        if (fatSectorCount == 0 || fatSectorCount > sectorCount)
            return cfbError("the header claims " + std::to_string(fatSectorCount) +
                                " FAT sectors, which the file cannot hold",
                            44);
        (void)difatSectorCount;
        return success();
    }

    Result<std::vector<std::uint32_t>> readFatSectorList(std::span<const std::uint8_t> header,
                                                         std::uint32_t fatSectorCount,
                                                         std::uint32_t firstDifatSector) const
    {
        std::vector<std::uint32_t> fatSectors;
        fatSectors.reserve(fatSectorCount);
        for (std::size_t i = 0; i < headerDifatEntries && fatSectors.size() < fatSectorCount; ++i)
            fatSectors.push_back(ByteReader::u32At(header, 76 + 4 * i));
        std::uint32_t next = firstDifatSector;
        std::vector<std::uint8_t> buffer(sectorSize);
        std::vector<bool> visited;
        const std::size_t idsPerSector = sectorSize / 4 - 1;
        while (fatSectors.size() < fatSectorCount) {
            if (next >= sectorCount)
                return cfbError("the DIFAT chain ends before listing all " + std::to_string(fatSectorCount) +
                                " FAT sectors");
            if (visited.empty())
                visited.assign(sectorCount, false);
            if (visited[next])
                return cfbError("the DIFAT chain loops at sector " + std::to_string(next));
            visited[next] = true;
            auto status = readSectors(next, 0, buffer);
            if (!status)
                return status.error();
            for (std::size_t i = 0; i < idsPerSector && fatSectors.size() < fatSectorCount; ++i)
                fatSectors.push_back(ByteReader::u32At(buffer, 4 * i));
            next = ByteReader::u32At(buffer, 4 * idsPerSector);
        }
        for (std::uint32_t sector : fatSectors)
            if (sector >= sectorCount)
                return cfbError("a FAT sector number (" + std::to_string(sector) + ") lies outside the file");
        return fatSectors;
    }

    Status readFat(const std::vector<std::uint32_t>& fatSectors)
    {
        const std::size_t idsPerSector = sectorSize / 4;
        fat.assign(fatSectors.size() * idsPerSector, freeSector);
        // FAT sectors usually follow one another: each run of them is read in one go, so that
        // opening a large file costs a few reads rather than one per FAT sector.
        constexpr std::size_t maxRun = 256;
        std::vector<std::uint8_t> buffer;
        for (std::size_t i = 0; i < fatSectors.size();) {
            std::size_t run = 1;
            while (i + run < fatSectors.size() && run < maxRun && fatSectors[i + run] == fatSectors[i] + run &&
                   fatSectors[i + run] <= maxRegularSector &&
                   sectorOffset(fatSectors[i + run]) < source->size())
                ++run;
            buffer.resize(run * sectorSize);
            auto status = readSectors(fatSectors[i], 0, buffer);
            if (!status)
                return status;
            for (std::size_t j = 0; j < run * idsPerSector; ++j)
                fat[i * idsPerSector + j] = ByteReader::u32At(buffer, 4 * j);
            i += run;
        }
        return success();
    }

    Status readDirectory(std::uint32_t firstDirectorySector)
    {
        auto bytes = readChain(firstDirectorySector, "directory");
        if (!bytes)
            return bytes.error();
        std::size_t count = bytes->size() / directoryEntrySize;
        entries.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            entries[i] = parseEntry(std::span(*bytes).subspan(i * directoryEntrySize, directoryEntrySize));
        if (entries.empty() || entries[0].type != DirectoryEntry::Type::Root)
            return cfbError("the directory has no root entry");
        return success();
    }

    DirectoryEntry parseEntry(std::span<const std::uint8_t> raw) const
    {
        DirectoryEntry entry;
        std::uint16_t nameBytes = ByteReader::u16At(raw, 64);
        std::size_t nameLength = nameBytes >= 2 && nameBytes <= 64 ? nameBytes / 2 - 1 : 0;
        for (std::size_t i = 0; i < nameLength; ++i)
            entry.name.push_back(static_cast<char16_t>(ByteReader::u16At(raw, 2 * i)));
        std::uint8_t type = raw[66];
        entry.type = (type == 1 || type == 2 || type == 5) ? static_cast<DirectoryEntry::Type>(type)
                                                           : DirectoryEntry::Type::Empty;
        entry.left = ByteReader::u32At(raw, 68);
        entry.right = ByteReader::u32At(raw, 72);
        entry.child = ByteReader::u32At(raw, 76);
        std::copy_n(raw.begin() + 80, 16, entry.clsid.begin());
        entry.stateBits = ByteReader::u32At(raw, 96);
        entry.created = ByteReader::u32At(raw, 100) | (std::uint64_t{ByteReader::u32At(raw, 104)} << 32);
        entry.modified = ByteReader::u32At(raw, 108) | (std::uint64_t{ByteReader::u32At(raw, 112)} << 32);
        entry.startSector = ByteReader::u32At(raw, 116);
        entry.size = ByteReader::u32At(raw, 120);
        // Version 3 files keep only 32 bits of size; some writers leave garbage in the rest.
        if (majorVersion == 4)
            entry.size |= std::uint64_t{ByteReader::u32At(raw, 124)} << 32;
        return entry;
    }

    // Reads each storage's sibling tree in order; a link outside the directory or a second
    // visit of an entry is a damaged file.
    Status buildTree()
    {
        children.assign(entries.size(), {});
        std::vector<bool> visited(entries.size(), false);
        visited[0] = true;
        std::vector<std::uint32_t> storages{0};
        while (!storages.empty()) {
            std::uint32_t storage = storages.back();
            storages.pop_back();
            std::vector<std::uint32_t> stack;
            std::uint32_t current = entries[storage].child;
            while (current != noStream || !stack.empty()) {
                while (current != noStream) {
                    if (current >= entries.size())
                        return cfbError("a directory link points to entry " + std::to_string(current) +
                                        ", beyond the directory");
                    if (visited[current])
                        return cfbError("the directory tree reaches entry " + std::to_string(current) + " twice");
                    visited[current] = true;
                    stack.push_back(current);
                    current = entries[current].left;
                }
                std::uint32_t entry = stack.back();
                stack.pop_back();
                if (entries[entry].type != DirectoryEntry::Type::Empty) {
                    children[storage].push_back(entry);
                    if (entries[entry].type == DirectoryEntry::Type::Storage)
                        storages.push_back(entry);
                }
                current = entries[entry].right;
            }
        }
        return success();
    }


    Status readMiniFat(std::uint32_t firstMiniFatSector)
    {
        if (firstMiniFatSector == endOfChain || firstMiniFatSector == freeSector)
            return success();
        auto bytes = readChain(firstMiniFatSector, "MiniFAT");
        if (!bytes)
            return bytes.error();
        miniFat.resize(bytes->size() / 4);
        for (std::size_t i = 0; i < miniFat.size(); ++i)
            miniFat[i] = ByteReader::u32At(*bytes, 4 * i);
        return success();
    }
};

CompoundFile::CompoundFile(std::unique_ptr<State> state) : state_(std::move(state)) {}
CompoundFile::CompoundFile(CompoundFile&&) noexcept = default;
CompoundFile& CompoundFile::operator=(CompoundFile&&) noexcept = default;
CompoundFile::~CompoundFile() = default;

Result<CompoundFile> CompoundFile::open(const std::filesystem::path& path)
{
    auto source = ByteSource::openFile(path);
    if (!source)
        return source.error();
    return open(std::move(source.value()));
}

Result<CompoundFile> CompoundFile::open(std::unique_ptr<ByteSource> source)
{
    auto state = std::make_unique<State>();
    state->source = std::move(source);
    std::array<std::uint8_t, 512> header{};
    if (state->source->size() < header.size() || !state->source->read(0, header))
        return cfbError("the file is too short to be a compound file", 0);

    std::uint32_t fatSectorCount = 0, firstDirectorySector = 0, firstMiniFatSector = 0;
    std::uint32_t miniFatSectorCount = 0, firstDifatSector = 0, difatSectorCount = 0;
    if (auto status = state->readHeader(header, fatSectorCount, firstDirectorySector, firstMiniFatSector,
                                        miniFatSectorCount, firstDifatSector, difatSectorCount);
        !status)
        return status.error();
    auto fatSectors = state->readFatSectorList(header, fatSectorCount, firstDifatSector);
    if (!fatSectors)
        return fatSectors.error();
    if (auto status = state->readFat(*fatSectors); !status)
        return status.error();
    if (auto status = state->readDirectory(firstDirectorySector); !status)
        return status.error();
    if (auto status = state->readMiniFat(firstMiniFatSector); !status)
        return status.error();
    if (auto status = state->buildTree(); !status)
        return status.error();
    state->rootClsid = state->entries[0].clsid;
    return CompoundFile(std::move(state));
}

std::uint16_t CompoundFile::majorVersion() const { return state_->majorVersion; }
std::uint32_t CompoundFile::sectorSize() const { return state_->sectorSize; }
const std::array<std::uint8_t, 16>& CompoundFile::rootClsid() const { return state_->rootClsid; }
const std::vector<DirectoryEntry>& CompoundFile::entries() const { return state_->entries; }

const std::vector<std::uint32_t>& CompoundFile::children(std::uint32_t storage) const
{
    static const std::vector<std::uint32_t> none;
    return storage < state_->children.size() ? state_->children[storage] : none;
}

namespace {

bool sameNameIgnoringCase(const std::u16string& stored, std::string_view wanted)
{
    QString left = QString::fromStdU16String(stored);
    QString right = QString::fromUtf8(wanted.data(), static_cast<qsizetype>(wanted.size()));
    return left.compare(right, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<std::uint32_t> CompoundFile::find(std::string_view path) const
{
    std::uint32_t current = 0;
    while (!path.empty()) {
        std::size_t slash = path.find('/');
        std::string_view part = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
        bool found = false;
        for (std::uint32_t child : children(current)) {
            if (sameNameIgnoringCase(state_->entries[child].name, part)) {
                current = child;
                found = true;
                break;
            }
        }
        if (!found)
            return std::nullopt;
    }
    return current;
}

Result<CompoundStream> CompoundFile::stream(std::uint32_t entry) const
{
    if (entry >= state_->entries.size())
        return cfbError("no directory entry " + std::to_string(entry));
    const auto& item = state_->entries[entry];
    if (!item.isStream() && item.type != DirectoryEntry::Type::Root) {
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + temporary here.
        std::string message(1, '"');
        message += item.utf8Name();
        message += "\" is not a stream";
        return cfbError(std::move(message));
    }
    bool mini = item.isStream() && item.size < state_->miniStreamCutoff;
    return CompoundStream(state_.get(), item.startSector, item.size, mini);
}

Result<std::vector<std::uint8_t>> CompoundFile::readStream(std::uint32_t entry) const
{
    auto opened = stream(entry);
    if (!opened)
        return opened.error();
    // A declared size is only a claim: what is allocated is what the chain holds.
    if (auto settled = opened->settleSize(); !settled)
        return settled.error();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(opened->size()));
    if (auto status = opened->read(0, bytes); !status)
        return status.error();
    return bytes;
}

CompoundStream::CompoundStream(const CompoundFile::State* file, std::uint32_t start, std::uint64_t size,
                               bool mini)
    : file_(file), nextSector_(start), size_(size), mini_(mini),
      unitSize_(mini ? file->miniSectorSize : file->sectorSize)
{
}

Result<std::uint64_t> CompoundStream::settleSize()
{
    std::size_t needed = static_cast<std::size_t>((size_ + unitSize_ - 1) / unitSize_);
    if (auto status = extendChain(needed, true); !status)
        return status.error();
    size_ = std::min<std::uint64_t>(size_, std::uint64_t{sectors_.size()} * unitSize_);
    return size_;
}

Status CompoundStream::extendChain(std::size_t sectorsNeeded, bool endIsLength)
{
    const auto& table = mini_ ? file_->miniFat : file_->fat;
    std::uint64_t limit = mini_ ? table.size() : std::min<std::uint64_t>(table.size(), file_->sectorCount);
    if (visited_.empty())
        visited_.assign(static_cast<std::size_t>(limit), false);
    // The whole chain's length is known from the stream's size: one reservation, not one per
    // extension (that would copy the list again at every sector).
    if (sectors_.capacity() == 0)
        sectors_.reserve(static_cast<std::size_t>(std::min<std::uint64_t>((size_ + unitSize_ - 1) / unitSize_, limit)));
    while (sectors_.size() < sectorsNeeded) {
        std::uint32_t sector = nextSector_;
        if (sector == endOfChain && endIsLength)
            return success();
        if (sector == endOfChain)
            return cfbError("a stream's sector chain ends before its declared size");
        if (sector >= limit)
            return cfbError(std::string("a stream's ") + (mini_ ? "mini " : "") + "sector chain points to " +
                            std::to_string(sector) + ", outside the file");
        if (visited_[sector])
            return cfbError("a stream's sector chain loops at sector " + std::to_string(sector));
        visited_[sector] = true;
        sectors_.push_back(sector);
        nextSector_ = table[sector];
    }
    return success();
}

Status CompoundStream::read(std::uint64_t offset, std::span<std::uint8_t> out)
{
    if (offset > size_ || out.size() > size_ - offset)
        return cfbError("read past the end of a stream", offset);
    std::size_t done = 0;
    while (done < out.size()) {
        std::uint64_t position = offset + done;
        std::size_t unit = static_cast<std::size_t>(position / unitSize_);
        std::size_t inner = static_cast<std::size_t>(position % unitSize_);
        if (auto status = extendChain(unit + 1); !status)
            return status;
        if (mini_) {
            std::size_t count = std::min<std::size_t>(unitSize_ - inner, out.size() - done);
            if (!file_->miniContainer) {
                const auto& root = file_->entries[0];
                file_->miniContainer.reset(new CompoundStream(file_, root.startSector, root.size, false));
            }
            std::uint64_t at = std::uint64_t{sectors_[unit]} * unitSize_ + inner;
            if (auto status = file_->miniContainer->read(at, out.subspan(done, count)); !status)
                return status;
            done += count;
            continue;
        }
        // Contiguous sectors are read in one go.
        std::size_t run = 1;
        std::size_t wanted = out.size() - done;
        while ((run * unitSize_ - inner) < wanted) {
            if (auto status = extendChain(unit + run + 1); !status)
                return status;
            if (sectors_[unit + run] != sectors_[unit] + run)
                break;
            ++run;
        }
        std::size_t count = std::min<std::size_t>(run * unitSize_ - inner, wanted);
        if (auto status = file_->readSectors(sectors_[unit], inner, out.subspan(done, count)); !status)
            return status;
        done += count;
    }
    return success();
}

} // namespace tavorin::xls
