#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tavorin::xls {

// Little-endian integers read byte by byte from a span. Every read is bounds-checked by the
// caller through has(); reading past the end is a programming error caught by the assert in
// debug builds and answered with zeros in release builds, never with a read outside the span.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t position = 0)
        : bytes_(bytes), position_(position) {}

    std::size_t position() const { return position_; }
    std::size_t size() const { return bytes_.size(); }
    std::size_t remaining() const { return position_ <= bytes_.size() ? bytes_.size() - position_ : 0; }
    bool has(std::size_t count) const { return count <= remaining(); }
    void seek(std::size_t position) { position_ = position; }
    void skip(std::size_t count) { position_ += count; }

    std::uint8_t u8() { return has(1) ? bytes_[position_++] : fail<std::uint8_t>(1); }
    std::uint16_t u16()
    {
        if (!has(2))
            return fail<std::uint16_t>(2);
        auto value = static_cast<std::uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
        position_ += 2;
        return value;
    }
    std::uint32_t u32()
    {
        if (!has(4))
            return fail<std::uint32_t>(4);
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | bytes_[position_ + static_cast<std::size_t>(i)];
        position_ += 4;
        return value;
    }
    std::uint64_t u64()
    {
        std::uint64_t low = u32();
        std::uint64_t high = u32();
        return low | (high << 32);
    }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::span<const std::uint8_t> bytes(std::size_t count)
    {
        if (!has(count)) {
            position_ = bytes_.size();
            return {};
        }
        auto part = bytes_.subspan(position_, count);
        position_ += count;
        return part;
    }

    // Static readers for a fixed offset, used when a structure is decoded field by field.
    static std::uint16_t u16At(std::span<const std::uint8_t> bytes, std::size_t offset)
    {
        return offset + 2 <= bytes.size()
                   ? static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8))
                   : 0;
    }
    static std::uint32_t u32At(std::span<const std::uint8_t> bytes, std::size_t offset)
    {
        if (offset + 4 > bytes.size())
            return 0;
        return static_cast<std::uint32_t>(bytes[offset]) | (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
               (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
    }

private:
    template <typename T>
    T fail(std::size_t)
    {
        position_ = bytes_.size();
        return T{};
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

} // namespace tavorin::xls
