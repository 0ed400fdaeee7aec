#include "support/BiffStreamBuilder.h"

#include "support/CompoundFileBuilder.h"

namespace tavorin::test {

void BiffStreamBuilder::putU16(std::vector<std::uint8_t>& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void BiffStreamBuilder::putU32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    putU16(bytes, static_cast<std::uint16_t>(value));
    putU16(bytes, static_cast<std::uint16_t>(value >> 16));
}

BiffStreamBuilder& BiffStreamBuilder::record(std::uint16_t type, const std::vector<std::uint8_t>& data)
{
    putU16(bytes_, type);
    putU16(bytes_, static_cast<std::uint16_t>(data.size()));
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
}

BiffStreamBuilder& BiffStreamBuilder::bof(std::uint16_t version, std::uint16_t substream)
{
    std::vector<std::uint8_t> data;
    putU16(data, version);
    putU16(data, substream);
    putU16(data, 0x0DBB); // rupBuild
    putU16(data, 0x07CC); // rupYear
    putU32(data, 0);
    putU32(data, 0x0006);
    return record(0x0809, data);
}

BiffStreamBuilder& BiffStreamBuilder::eof()
{
    return record(0x000A, {});
}

BiffStreamBuilder& BiffStreamBuilder::boundSheet(const std::u16string& name, std::uint8_t kind,
                                                 std::uint8_t visibility, bool wide, std::uint32_t position)
{
    std::vector<std::uint8_t> data;
    putU32(data, position);
    data.push_back(visibility);
    data.push_back(kind);
    data.push_back(static_cast<std::uint8_t>(name.size()));
    data.push_back(wide ? 1 : 0);
    for (char16_t c : name) {
        if (wide)
            putU16(data, c);
        else
            data.push_back(static_cast<std::uint8_t>(c));
    }
    return record(0x0085, data);
}

std::vector<std::uint8_t> workbookFileWith(std::vector<std::uint8_t> workbookStream)
{
    CompoundFileBuilder builder;
    builder.addStream(u"Workbook", std::move(workbookStream));
    return builder.build();
}

} // namespace tavorin::test
