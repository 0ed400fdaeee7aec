#include "platform/xls/compound/CompoundFileCopy.h"

#include <algorithm>

namespace tavorin::xls {
namespace {

CompoundEntryInfo infoOf(const DirectoryEntry& entry)
{
    return CompoundEntryInfo{entry.clsid, entry.stateBits, entry.created, entry.modified};
}

void copyStorage(const CompoundFile& source, std::uint32_t from, CompoundFileWriter& writer, std::uint32_t to,
                 const std::string& prefix, const std::function<bool(const std::string&)>& replace)
{
    for (std::uint32_t child : source.children(from)) {
        const auto& entry = source.entries()[child];
        std::string path = prefix + entry.utf8Name();
        if (replace(path))
            continue;
        if (entry.isStorage()) {
            std::uint32_t storage = writer.addStorage(to, entry.name, infoOf(entry));
            copyStorage(source, child, writer, storage, path + "/", replace);
            continue;
        }
        // A stream is copied as long as its sector chain holds; a broken chain fails the write.
        std::uint64_t size = entry.size;
        if (auto stream = source.stream(child))
            if (auto settled = stream->settleSize())
                size = *settled;
        writer.addStream(
            to, entry.name, size,
            [&source, child](OutputSink& out) -> Status {
                auto stream = source.stream(child);
                if (!stream)
                    return stream.error();
                if (auto settled = stream->settleSize(); !settled)
                    return settled.error();
                std::vector<std::uint8_t> chunk(64 * 1024);
                for (std::uint64_t offset = 0; offset < stream->size();) {
                    std::size_t count =
                        static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), stream->size() - offset));
                    std::span<std::uint8_t> piece(chunk.data(), count);
                    if (auto status = stream->read(offset, piece); !status)
                        return status;
                    if (auto status = out.write(piece); !status)
                        return status;
                    offset += count;
                }
                return success();
            },
            infoOf(entry));
    }
}

} // namespace

void copyCompoundEntries(const CompoundFile& source, CompoundFileWriter& writer,
                         const std::function<bool(const std::string& path)>& replace)
{
    writer.setRootInfo(infoOf(source.entries()[0]));
    copyStorage(source, 0, writer, CompoundFileWriter::root, "", replace);
}

} // namespace tavorin::xls
