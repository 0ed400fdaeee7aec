#include "platform/xls/model/WorkbookGlobals.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/RecordReader.h"
#include "platform/xls/records/RecordType.h"

#include <cstdio>

namespace tavorin::xls {
namespace {

Error globalsError(std::string message, std::optional<std::uint16_t> type, std::uint64_t offset)
{
    return Error{std::move(message), "workbook globals", type, offset};
}

std::string hex4(std::uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", unsigned{value});
    return text;
}

// The first record must be a BIFF8 BOF of the globals substream.
Status checkBof(const Record& bof)
{
    if (bof.type == RecordType::Biff2Bof || bof.type == RecordType::Biff3Bof || bof.type == RecordType::Biff4Bof)
        return globalsError("Excel 4.0 or older workbook (BIFF2-4), not supported", bof.type, bof.offset);
    if (bof.type != RecordType::Bof)
        return globalsError("the workbook stream does not begin with a BOF record", bof.type, bof.offset);
    if (bof.data.size() < 4)
        return globalsError("the BOF record is too short", bof.type, bof.offset);
    std::uint16_t version = ByteReader::u16At(bof.data, 0);
    std::uint16_t substream = ByteReader::u16At(bof.data, 2);
    if (version == 0x0500)
        return globalsError("Excel 5.0/95 workbook (BIFF5/7), not supported: save it as Excel 97-2003", bof.type,
                            bof.offset);
    if (version < WorkbookGlobals::biff8Version)
        return globalsError("Excel 4.0 or older workbook (BIFF version " + hex4(version) + "), not supported",
                            bof.type, bof.offset);
    if (version != WorkbookGlobals::biff8Version)
        return globalsError("unknown BIFF version " + hex4(version) + ", not an Excel 97-2003 workbook", bof.type,
                            bof.offset);
    if (substream != WorkbookGlobals::globalsSubstream)
        return globalsError("the workbook stream does not begin with the workbook globals (substream type " +
                                hex4(substream) + ")",
                            bof.type, bof.offset);
    return success();
}

} // namespace

std::vector<std::u16string> WorkbookGlobals::worksheetNames() const
{
    std::vector<std::u16string> names;
    for (const auto& sheet : sheets)
        if (sheet.isWorksheet() && !sheet.name.empty())
            names.push_back(sheet.name);
    return names;
}

Result<WorkbookGlobals> WorkbookGlobals::read(RecordReader& records)
{
    auto bof = records.next();
    if (!bof)
        return bof.error();
    if (auto status = checkBof(*bof); !status)
        return status.error();

    WorkbookGlobals globals;
    // Every record read moves the reader on by at least its header, so this ends with the stream.
    while (true) {
        if (records.atEnd())
            return globalsError("the workbook globals end without an EOF record", {}, records.position());
        auto record = records.next();
        if (!record)
            return record.error();
        switch (record->type) {
        case RecordType::Eof:
            globals.end = record->end();
            return globals;
        case RecordType::Bof:
            // A sheet begins where the globals should have ended: their EOF is missing. What was
            // read so far is complete, so the listing can go on.
            globals.end = record->offset;
            return globals;
        case RecordType::FilePass: {
            Error encrypted = globalsError("the workbook is protected with a password (encrypted) and cannot be "
                                           "read: open it in Excel or LibreOffice, remove the protection and "
                                           "save it as an Excel 97-2003 workbook again",
                                           record->type, record->offset);
            encrypted.encrypted = true;
            return encrypted;
        }
        case RecordType::CodePage:
            if (record->data.size() >= 2)
                globals.codePage = ByteReader::u16At(record->data, 0);
            break;
        case RecordType::BoundSheet8: {
            auto sheet = BoundSheet::parse(*record);
            if (!sheet)
                return sheet.error();
            globals.sheets.push_back(std::move(*sheet));
            break;
        }
        default:
            break;
        }
    }
}

} // namespace tavorin::xls
