#include "platform/xls/model/WorkbookFile.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/RecordReader.h"
#include "platform/xls/records/RecordType.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tavorin::xls {
namespace {

constexpr std::uint16_t biff8Version = 0x0600;
constexpr std::array<std::uint8_t, 8> compoundFileSignature{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

Error fileError(std::string message)
{
    return Error{std::move(message), "workbook file", {}, std::uint64_t{0}};
}

// Names what a file without the compound-file signature is, from its first bytes.
Error notCompoundFile(std::span<const std::uint8_t> head)
{
    if (head.size() >= 4) {
        std::uint16_t type = ByteReader::u16At(head, 0);
        std::uint16_t length = ByteReader::u16At(head, 2);
        bool oldBof = type == RecordType::Biff2Bof || type == RecordType::Biff3Bof || type == RecordType::Biff4Bof;
        if (oldBof && length >= 4 && length <= 16)
            return fileError("Excel 4.0 or older workbook (BIFF2-4), not supported");
    }
    auto first = std::find_if(head.begin(), head.end(), [](std::uint8_t byte) {
        return !std::isspace(byte) && byte != 0xEF && byte != 0xBB && byte != 0xBF; // blanks, UTF-8 BOM
    });
    if (first != head.end() && *first == '<')
        return fileError("an HTML or XML file, not an Excel 97-2003 workbook");
    if (head.size() >= 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4)
        return fileError("a ZIP file (perhaps an Excel 2007 or later workbook), not an Excel 97-2003 workbook");
    return fileError("not an Excel 97-2003 workbook (no compound file signature)");
}

// Whether a stream starts with the BOF of a BIFF8 workbook globals substream.
bool holdsBiff8(const CompoundFile& file, std::uint32_t entry)
{
    auto stream = file.stream(entry);
    std::array<std::uint8_t, 6> head{};
    if (!stream || stream->size() < head.size() || !stream->read(0, head))
        return false;
    return ByteReader::u16At(head, 0) == RecordType::Bof && ByteReader::u16At(head, 4) == biff8Version;
}

} // namespace

WorkbookFile::WorkbookFile(CompoundFile file, std::uint32_t workbookStream)
    : file_(std::move(file)), workbookStream_(workbookStream)
{
}

Result<WorkbookFile> WorkbookFile::open(const std::filesystem::path& path)
{
    auto source = ByteSource::openFile(path);
    if (!source)
        return source.error();
    return open(std::move(*source));
}

Result<WorkbookFile> WorkbookFile::open(std::unique_ptr<ByteSource> source)
{
    std::array<std::uint8_t, 64> head{};
    std::size_t headSize = static_cast<std::size_t>(std::min<std::uint64_t>(source->size(), head.size()));
    if (headSize == 0)
        return fileError("the file is empty");
    if (!source->read(0, std::span(head).first(headSize)))
        return fileError("the file could not be read");
    auto start = std::span<const std::uint8_t>(head).first(headSize);
    if (headSize < compoundFileSignature.size() ||
        !std::equal(compoundFileSignature.begin(), compoundFileSignature.end(), start.begin()))
        return notCompoundFile(start);

    auto file = CompoundFile::open(std::move(source));
    if (!file)
        return file.error();
    auto stream = file->find("Workbook");
    if (!stream || !file->entries()[*stream].isStream()) {
        // Excel 5.0/95 named its stream "Book"; some writers put BIFF8 records under that name.
        auto book = file->find("Book");
        if (book && file->entries()[*book].isStream() && holdsBiff8(*file, *book))
            return WorkbookFile(std::move(*file), *book);
        if (book)
            return fileError("Excel 5.0/95 workbook (BIFF5), not supported: save it as Excel 97-2003");
        return fileError("the compound file holds no Workbook stream: not an Excel workbook");
    }
    return WorkbookFile(std::move(*file), *stream);
}

Result<WorkbookGlobals> WorkbookFile::readGlobals() const
{
    auto stream = file_.stream(workbookStream_);
    if (!stream)
        return stream.error();
    // Walking the whole sector chain (the FAT is in memory) marks a broken or looping chain as
    // damage even when the globals at the front are intact, so that the listing does not offer
    // a workbook that cannot be loaded.
    if (auto size = stream->settleSize(); !size) {
        Error failure = size.error();
        failure.message = "the Workbook stream is damaged: " + failure.message;
        return failure;
    }
    RecordReader records(*stream);
    return WorkbookGlobals::read(records);
}

Result<std::vector<std::u16string>> WorkbookFile::worksheetNames(const std::filesystem::path& path)
{
    auto workbook = open(path);
    if (!workbook)
        return workbook.error();
    auto globals = workbook->readGlobals();
    if (!globals)
        return globals.error();
    return globals->worksheetNames();
}

} // namespace tavorin::xls
