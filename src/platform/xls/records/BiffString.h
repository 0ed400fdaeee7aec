#pragma once

#include "platform/xls/compound/ByteReader.h"

#include <cstddef>
#include <optional>
#include <string>

namespace tavorin::xls {

// Strings as BIFF8 stores them ([MS-XLS] 2.5.240 and after): a character count, an option byte
// whose bit 0 (fHighByte) says whether the characters take two bytes (UTF-16) or one (the low
// byte only, so Latin-1 in BIFF8), then the characters. Nothing when the bytes run out.
namespace BiffString {

// The characters and option byte after a count that the caller has read.
std::optional<std::u16string> readCharacters(ByteReader& reader, std::size_t count);
// ShortXLUnicodeString: 1-byte count.
std::optional<std::u16string> readShort(ByteReader& reader);
// XLUnicodeString: 2-byte count.
std::optional<std::u16string> readLong(ByteReader& reader);

std::string toUtf8(const std::u16string& text);

} // namespace BiffString

} // namespace tavorin::xls
