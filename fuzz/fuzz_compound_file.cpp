// Feeds arbitrary bytes to the compound-file reader: open, walk the directory, read every stream
// both whole and in pieces.
#include "platform/xls/compound/CompoundFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace tavorin::xls;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto file = CompoundFile::open(ByteSource::fromBytes(std::vector<std::uint8_t>(data, data + size)));
    if (!file)
        return 0;
    (void)file->find("Workbook");
    (void)file->find("_VBA_PROJECT_CUR/VBA");
    const auto& entries = file->entries();
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        if (entries[i].isStorage())
            (void)file->children(i);
        if (!entries[i].isStream() || entries[i].size > 64 * 1024 * 1024)
            continue;
        (void)file->readStream(i);
        auto stream = file->stream(i);
        if (!stream)
            continue;
        std::uint8_t piece[700];
        for (std::uint64_t offset = 0; offset < stream->size(); offset += 4093) {
            std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof piece, stream->size() - offset));
            if (!stream->read(offset, std::span(piece, count)))
                break;
        }
    }
    return 0;
}
