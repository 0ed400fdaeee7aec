#pragma once

#include "platform/xls/compound/OutputSink.h"
#include "platform/xls/Result.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tavorin::xls {

// What a directory entry carries besides its name and content.
struct CompoundEntryInfo {
    std::array<std::uint8_t, 16> clsid{};
    std::uint32_t stateBits = 0;
    std::uint64_t created = 0;
    std::uint64_t modified = 0;
};

// Writes a version 3 compound file (512-byte sectors) in one pass. Every stream's size is known
// before writing starts, so the whole layout (FAT, DIFAT, MiniFAT, directory) is computed first
// and the streams are then written in order: a large stream (the workbook with its pictures) is
// produced straight into the output and never held in memory.
class CompoundFileWriter {
public:
    using Clsid = std::array<std::uint8_t, 16>;
    // Writes exactly the announced number of bytes of one stream into the sink.
    using Producer = std::function<Status(OutputSink&)>;

    static constexpr std::uint32_t root = 0;

    using EntryInfo = CompoundEntryInfo;

    void setRootInfo(const EntryInfo& info);
    // Adds a storage inside a storage (root = 0) and returns its handle.
    std::uint32_t addStorage(std::uint32_t parent, std::u16string name, const EntryInfo& info = {});
    void addStream(std::uint32_t parent, std::u16string name, std::vector<std::uint8_t> bytes,
                   const EntryInfo& info = {});
    void addStream(std::uint32_t parent, std::u16string name, std::uint64_t size, Producer producer,
                   const EntryInfo& info = {});

    // Checks names and sizes, then writes the whole file into the sink (finish() is left to the
    // caller, who decides when the file is complete).
    Status write(OutputSink& out) const;
    // The size of the file write() would write, header and tables included; fails as write()
    // would on names or sizes a compound file cannot hold. Nothing is produced.
    Result<std::uint64_t> fileSize() const;
    // The size of the largest stream.
    std::uint64_t largestStream() const;

private:
    struct Node {
        std::u16string name;
        bool storage = false;
        std::uint32_t parent = 0;
        EntryInfo info;
        std::uint64_t size = 0;
        Producer producer;
        std::vector<std::uint32_t> children;
    };
    struct Layout;

    Result<Layout> plan() const;
    static Status writeStream(const Node& node, OutputSink& out, std::uint64_t unit);
    std::uint32_t addNode(Node node);
    Status checkNames() const;

    std::vector<Node> nodes_{Node{u"Root Entry", true, 0, {}, 0, {}, {}}};
};

} // namespace tavorin::xls
