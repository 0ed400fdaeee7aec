#include "platform/xls/records/BiffString.h"

#include <QString>

namespace tavorin::xls::BiffString {

std::optional<std::u16string> readCharacters(ByteReader& reader, std::size_t count)
{
    if (!reader.has(1))
        return std::nullopt;
    bool highByte = (reader.u8() & 0x01) != 0;
    std::size_t width = highByte ? 2 : 1;
    if (count > reader.remaining() / width)
        return std::nullopt;
    std::u16string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        text.push_back(highByte ? char16_t{reader.u16()} : char16_t{reader.u8()});
    return text;
}

std::optional<std::u16string> readShort(ByteReader& reader)
{
    if (!reader.has(1))
        return std::nullopt;
    return readCharacters(reader, reader.u8());
}

std::optional<std::u16string> readLong(ByteReader& reader)
{
    if (!reader.has(2))
        return std::nullopt;
    return readCharacters(reader, reader.u16());
}

std::string toUtf8(const std::u16string& text)
{
    return QString::fromStdU16String(text).toStdString();
}

} // namespace tavorin::xls::BiffString
