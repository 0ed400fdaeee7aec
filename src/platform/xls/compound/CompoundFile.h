#pragma once

#include "platform/xls/compound/ByteSource.h"
#include "platform/xls/Result.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavorin::xls {

// One entry of a compound file's directory: a storage (folder), a stream, or the root.
struct DirectoryEntry {
    enum class Type : std::uint8_t { Empty = 0, Storage = 1, Stream = 2, Root = 5 };

    std::u16string name;
    Type type = Type::Empty;
    std::array<std::uint8_t, 16> clsid{};
    std::uint32_t stateBits = 0;
    std::uint64_t created = 0;
    std::uint64_t modified = 0;
    std::uint32_t startSector = 0;
    std::uint64_t size = 0;
    // Tree links as stored; kept so that a reader can report where a broken link was found.
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    std::uint32_t child = 0;

    bool isStream() const { return type == Type::Stream; }
    bool isStorage() const { return type == Type::Storage || type == Type::Root; }
    std::string utf8Name() const;
};

class CompoundStream;

// A compound file (OLE2 structured storage, [MS-CFB]) opened for reading. Header, FAT, DIFAT,
// MiniFAT and directory are read and checked when the file is opened; stream contents are read
// on demand, so that looking at the start of one stream of a large file costs little.
// Every sector chain is checked: sectors inside the file, no loops. A stream declared longer than
// its chain is as long as the chain (see CompoundStream::settleSize).
class CompoundFile {
public:
    static constexpr std::uint32_t noStream = 0xFFFFFFFF;

    static Result<CompoundFile> open(const std::filesystem::path& path);
    static Result<CompoundFile> open(std::unique_ptr<ByteSource> source);

    CompoundFile(CompoundFile&&) noexcept;
    CompoundFile& operator=(CompoundFile&&) noexcept;
    ~CompoundFile();

    std::uint16_t majorVersion() const;
    std::uint32_t sectorSize() const;
    const std::array<std::uint8_t, 16>& rootClsid() const;

    const std::vector<DirectoryEntry>& entries() const;
    // Entries directly inside a storage, in the directory's own order (the sibling tree read
    // in order). Entry 0 is the root.
    const std::vector<std::uint32_t>& children(std::uint32_t storage) const;
    // An entry by path, names separated by "/", compared without regard to case as the format
    // does (e.g. "Workbook", "_VBA_PROJECT_CUR/VBA").
    std::optional<std::uint32_t> find(std::string_view path) const;

    // A stream for reading on demand.
    Result<CompoundStream> stream(std::uint32_t entry) const;
    // The whole content of a stream.
    Result<std::vector<std::uint8_t>> readStream(std::uint32_t entry) const;

private:
    struct State;
    explicit CompoundFile(std::unique_ptr<State> state);
    friend class CompoundStream;
    std::unique_ptr<State> state_;
};

// Reads a stream of a CompoundFile by offset, following its sector chain as far as needed.
// The CompoundFile must outlive the stream.
class CompoundStream {
public:
    std::uint64_t size() const { return size_; }
    // Fills out with the bytes at offset; the range must lie inside the stream.
    Status read(std::uint64_t offset, std::span<std::uint8_t> out);
    // Follows the whole sector chain. Some writers declare a stream longer than the chain they
    // wrote: the stream is then taken to be as long as its chain, which is what it holds.
    // Returns the size; a loop or a sector outside the file is an error, as when reading.
    Result<std::uint64_t> settleSize();

private:
    friend class CompoundFile;
    CompoundStream(const CompoundFile::State* file, std::uint32_t start, std::uint64_t size, bool mini);
    Status extendChain(std::size_t sectorsNeeded, bool endIsLength = false);

    const CompoundFile::State* file_;
    std::uint32_t nextSector_;
    std::uint64_t size_;
    bool mini_;
    std::uint32_t unitSize_;
    std::vector<std::uint32_t> sectors_;
    std::vector<bool> visited_;
};

} // namespace tavorin::xls
