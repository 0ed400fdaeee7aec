#include "platform/xls/model/BoundSheet.h"

#include "platform/xls/records/BiffString.h"
#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/RecordType.h"

namespace tavorin::xls {

Result<BoundSheet> BoundSheet::parse(const Record& record)
{
    ByteReader reader(record.data);
    if (!reader.has(6))
        return Error{"a sheet record is too short (" + std::to_string(record.data.size()) + " bytes)",
                     "workbook globals", RecordType::BoundSheet8, record.offset};
    BoundSheet sheet;
    sheet.position = reader.u32();
    sheet.visibility = static_cast<Visibility>(reader.u8() & 0x03);
    sheet.kind = static_cast<Kind>(reader.u8());
    auto name = BiffString::readShort(reader);
    if (!name)
        return Error{"a sheet name runs past the end of its record", "workbook globals", RecordType::BoundSheet8,
                     record.offset};
    sheet.name = std::move(*name);
    return sheet;
}

} // namespace tavorin::xls
