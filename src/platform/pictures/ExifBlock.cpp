#include "platform/pictures/ExifBlock.h"

#include <QDate>

namespace tavorin::pictures {
namespace {

constexpr std::uint16_t orientationTag = 0x0112;
constexpr std::uint16_t exifIfdTag = 0x8769;
constexpr std::uint16_t dateTimeOriginalTag = 0x9003;
constexpr std::uint16_t typeAscii = 2;
constexpr std::uint16_t typeShort = 3;
constexpr std::uint16_t typeLong = 4;
constexpr std::size_t entrySize = 12;
constexpr std::size_t dateTextLength = 19;

// Reads numbers in the block's byte order, refusing anything past its end.
class TiffBytes {
public:
    TiffBytes(std::span<const std::uint8_t> bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

    std::optional<std::uint32_t> number(std::size_t at, std::size_t width) const
    {
        if (at > bytes_.size() || width > bytes_.size() - at)
            return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            std::uint32_t byte = bytes_[at + (bigEndian_ ? i : width - 1 - i)];
            value = (value << 8) | byte;
        }
        return value;
    }
    std::optional<std::uint16_t> u16(std::size_t at) const
    {
        auto value = number(at, 2);
        return value ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*value)) : std::nullopt;
    }
    std::optional<std::uint32_t> u32(std::size_t at) const { return number(at, 4); }
    std::span<const std::uint8_t> slice(std::size_t at, std::size_t length) const
    {
        if (at > bytes_.size() || length > bytes_.size() - at)
            return {};
        return bytes_.subspan(at, length);
    }

private:
    std::span<const std::uint8_t> bytes_;
    bool bigEndian_;
};

struct Entry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::size_t valueAt = 0; // offset of the entry's value field
};

// The entries of the IFD at offset that lie wholly inside the block.
template <typename Visit>
void walkIfd(const TiffBytes& tiff, std::uint32_t offset, Visit visit)
{
    auto count = tiff.u16(offset);
    if (!count)
        return;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t at = offset + 2 + i * entrySize;
        auto tag = tiff.u16(at);
        auto type = tiff.u16(at + 2);
        auto values = tiff.u32(at + 4);
        if (!tag || !type || !values || !tiff.u32(at + 8))
            return;
        visit(Entry{*tag, *type, *values, at + 8});
    }
}

int digits(std::span<const std::uint8_t> text, std::size_t from, std::size_t count)
{
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

std::optional<CalendarDateTime> exifDateTime(std::span<const std::uint8_t> text)
{
    if (text.size() < dateTextLength)
        return std::nullopt;
    for (std::size_t separator : {4u, 7u})
        if (text[separator] != ':')
            return std::nullopt;
    if (text[10] != ' ' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    CalendarDateTime when{digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2),
                          digits(text, 11, 2), digits(text, 14, 2), digits(text, 17, 2), 0};
    if (!QDate::isValid(when.year, when.month, when.day) || when.year < 1900 || when.hour < 0 || when.hour > 23 ||
        when.minute < 0 || when.minute > 59 || when.second < 0 || when.second > 59)
        return std::nullopt;
    return when;
}

ExifBlock ExifBlock::read(std::span<const std::uint8_t> bytes)
{
    ExifBlock block;
    if (bytes.size() < 8)
        return block;
    if (bytes[0] == 'M' && bytes[1] == 'M')
        block.bigEndian = true;
    else if (bytes[0] != 'I' || bytes[1] != 'I')
        return block;
    const TiffBytes tiff(bytes, block.bigEndian);
    if (tiff.u16(2) != 42)
        return block;
    auto ifd0 = tiff.u32(4);
    if (!ifd0)
        return block;

    std::optional<std::uint32_t> exifIfd;
    walkIfd(tiff, *ifd0, [&](const Entry& entry) {
        if (entry.tag == orientationTag && entry.type == typeShort && entry.count == 1 && !block.orientation) {
            auto value = tiff.u16(entry.valueAt);
            if (value && *value >= 1 && *value <= 8) {
                block.orientation = *value;
                block.orientationOffset = entry.valueAt;
            }
        } else if (entry.tag == exifIfdTag && entry.type == typeLong && entry.count == 1 && !exifIfd) {
            exifIfd = tiff.u32(entry.valueAt);
        }
    });
    // The Exif IFD is the only other one walked; one pointing back at IFD0 is read once more at most.
    if (exifIfd) {
        walkIfd(tiff, *exifIfd, [&](const Entry& entry) {
            if (entry.tag != dateTimeOriginalTag || entry.type != typeAscii || entry.count < dateTextLength || block.taken)
                return;
            auto offset = tiff.u32(entry.valueAt);
            if (offset)
                block.taken = exifDateTime(tiff.slice(*offset, dateTextLength));
        });
    }
    return block;
}

} // namespace tavorin::pictures
