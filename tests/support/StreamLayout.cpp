#include "support/StreamLayout.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/WorkbookRecordType.h"

#include <optional>

namespace tavorin::test {
namespace {

using xls::ByteReader;
namespace RecordType = xls::RecordType;

struct Header {
    std::uint16_t type = 0;
    std::uint16_t length = 0;
    std::uint64_t at = 0;
    std::span<const std::uint8_t> data;
};

std::optional<Header> headerAt(std::span<const std::uint8_t> stream, std::uint64_t at)
{
    if (at + 4 > stream.size())
        return std::nullopt;
    Header header{ByteReader::u16At(stream, at), ByteReader::u16At(stream, at + 2), at, {}};
    if (at + 4 + header.length > stream.size())
        return std::nullopt;
    header.data = stream.subspan(at + 4, header.length);
    return header;
}

std::vector<std::uint32_t> sheetPositions(std::span<const std::uint8_t> stream)
{
    std::vector<std::uint32_t> positions;
    std::uint64_t at = 0;
    while (auto header = headerAt(stream, at)) {
        if (header->type == RecordType::BoundSheet8 && header->length >= 4)
            positions.push_back(ByteReader::u32At(header->data, 0));
        if (header->type == RecordType::Eof)
            break;
        at += 4 + header->length;
    }
    return positions;
}

void checkSheet(std::span<const std::uint8_t> stream, std::uint32_t position, std::vector<std::string>& problems)
{
    std::string where = "sheet at " + std::to_string(position) + ": ";
    auto bof = headerAt(stream, position);
    if (!bof || bof->type != RecordType::Bof) {
        problems.push_back(where + "BoundSheet8 does not point at a BOF");
        return;
    }
    std::optional<Header> index;
    std::optional<std::uint64_t> defaultWidth;
    std::vector<std::uint64_t> dbCells;
    std::uint64_t firstRowOfBlock = 0; // 0: no ROW yet in this block (a sheet never starts at 0)
    int depth = 1;
    std::uint64_t at = position + 4 + bof->length;
    while (depth > 0) {
        auto header = headerAt(stream, at);
        if (!header) {
            problems.push_back(where + "runs past the end of the stream");
            return;
        }
        if (header->type == RecordType::Bof)
            ++depth;
        else if (header->type == RecordType::Eof)
            --depth;
        else if (depth == 1) {
            if (header->type == RecordType::Index && !index)
                index = header;
            if (header->type == RecordType::DefColWidth)
                defaultWidth = at;
            if (header->type == RecordType::Row && firstRowOfBlock == 0)
                firstRowOfBlock = at;
            if (header->type == RecordType::DbCell) {
                dbCells.push_back(at);
                std::uint32_t back = header->length >= 4 ? ByteReader::u32At(header->data, 0) : 0;
                if (firstRowOfBlock == 0 || at - back != firstRowOfBlock)
                    problems.push_back(where + "the DBCELL at " + std::to_string(at) +
                                       " does not point back at the first ROW of its block");
                firstRowOfBlock = 0;
            }
        }
        at += 4 + header->length;
    }
    if (!index) {
        if (!dbCells.empty())
            problems.push_back(where + "has DBCELL records but no INDEX");
        return;
    }
    if (index->length < 16) {
        problems.push_back(where + "INDEX is shorter than 16 bytes");
        return;
    }
    std::uint32_t widthAt = ByteReader::u32At(index->data, 12);
    if (widthAt != 0 && (!defaultWidth || widthAt != *defaultWidth))
        problems.push_back(where + "INDEX points at " + std::to_string(widthAt) + " for DEFCOLWIDTH");
    std::vector<std::uint64_t> listed;
    for (std::size_t field = 16; field + 4 <= index->length; field += 4)
        listed.push_back(ByteReader::u32At(index->data, field));
    if (listed != dbCells)
        problems.push_back(where + "INDEX lists " + std::to_string(listed.size()) +
                           " DBCELL positions that are not where the " + std::to_string(dbCells.size()) +
                           " DBCELL records lie");
}

void checkSharedStrings(std::span<const std::uint8_t> stream, std::vector<std::string>& problems)
{
    std::vector<Header> pieces;
    std::optional<Header> extSst;
    std::uint64_t at = 0;
    while (auto header = headerAt(stream, at)) {
        if (header->type == RecordType::Sst || (header->type == RecordType::Continue && !pieces.empty() && !extSst &&
                                                pieces.back().at + 4 + pieces.back().length == at))
            pieces.push_back(*header);
        if (header->type == RecordType::ExtSst)
            extSst = header;
        if (header->type == RecordType::Eof)
            break;
        at += 4 + header->length;
    }
    if (!extSst)
        return;
    for (std::size_t field = 2; field + 8 <= extSst->length; field += 8) {
        std::uint32_t string = ByteReader::u32At(extSst->data, field);
        std::uint16_t inRecord = ByteReader::u16At(extSst->data, field + 4);
        bool found = false;
        for (const Header& piece : pieces)
            found = found || (piece.at + inRecord == string && inRecord >= 4 && inRecord < 4u + piece.length);
        if (!found)
            problems.push_back("EXTSST points at " + std::to_string(string) + " (" + std::to_string(inRecord) +
                               " into its record), which is not inside the shared string table");
    }
}

} // namespace

std::vector<std::string> streamLayoutProblems(std::span<const std::uint8_t> stream)
{
    std::vector<std::string> problems;
    for (std::uint32_t position : sheetPositions(stream))
        checkSheet(stream, position, problems);
    checkSharedStrings(stream, problems);
    return problems;
}

std::span<const std::uint8_t> sheetBytes(std::span<const std::uint8_t> stream, std::size_t position)
{
    auto positions = sheetPositions(stream);
    if (position >= positions.size())
        return {};
    std::uint64_t at = positions[position];
    int depth = 0;
    while (auto header = headerAt(stream, at)) {
        at += 4 + header->length;
        if (header->type == RecordType::Bof)
            ++depth;
        if (header->type == RecordType::Eof && --depth == 0)
            return stream.subspan(positions[position], at - positions[position]);
    }
    return {};
}

} // namespace tavorin::test
