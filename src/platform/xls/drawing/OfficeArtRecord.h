#pragma once

#include "platform/xls/compound/ByteReader.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavorin::xls {

// The 8-byte header of an OfficeArt record ([MS-ODRAW] 2.2.1): version (4 bits), instance
// (12 bits), type, and the length of the data that follows. Version 0xF marks a container,
// whose data is a sequence of records.
struct OfficeArtRecord {
    static constexpr std::size_t headerSize = 8;
    static constexpr std::uint16_t containerVersion = 0xF;

    // Record types this program reads or writes.
    static constexpr std::uint16_t DggContainer = 0xF000;
    static constexpr std::uint16_t BStoreContainer = 0xF001;
    static constexpr std::uint16_t DgContainer = 0xF002;
    static constexpr std::uint16_t SpgrContainer = 0xF003;
    static constexpr std::uint16_t SpContainer = 0xF004;
    static constexpr std::uint16_t SolverContainer = 0xF005;
    static constexpr std::uint16_t Fdgg = 0xF006;
    static constexpr std::uint16_t Fbse = 0xF007;
    static constexpr std::uint16_t Fdg = 0xF008;
    static constexpr std::uint16_t Fspgr = 0xF009;
    static constexpr std::uint16_t Fsp = 0xF00A;
    static constexpr std::uint16_t Fopt = 0xF00B;
    static constexpr std::uint16_t ClientTextbox = 0xF00D;
    static constexpr std::uint16_t ClientAnchor = 0xF010;
    static constexpr std::uint16_t ClientData = 0xF011;
    static constexpr std::uint16_t ConnectorRule = 0xF012;
    static constexpr std::uint16_t ArcRule = 0xF014;
    static constexpr std::uint16_t CalloutRule = 0xF017;
    static constexpr std::uint16_t SplitMenuColors = 0xF11E;

    std::uint16_t version = 0;
    std::uint16_t instance = 0;
    std::uint16_t type = 0;
    std::uint32_t length = 0;
    std::size_t offset = 0; // of the header in the bytes it was read from

    // Some writers leave a container's version at 0: the container types are taken as containers
    // whatever their version says.
    bool container() const
    {
        return version == containerVersion || (version == 0 && type >= DggContainer && type <= SolverContainer);
    }
    std::size_t dataOffset() const { return offset + headerSize; }
    std::size_t end() const { return offset + headerSize + length; }

    // The record at offset, if its header and data lie inside bytes[offset, limit).
    static std::optional<OfficeArtRecord> at(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t limit)
    {
        if (limit > bytes.size() || offset > limit || limit - offset < headerSize)
            return std::nullopt;
        std::uint16_t versionInstance = ByteReader::u16At(bytes, offset);
        OfficeArtRecord record{static_cast<std::uint16_t>(versionInstance & 0xF),
                               static_cast<std::uint16_t>(versionInstance >> 4), ByteReader::u16At(bytes, offset + 2),
                               ByteReader::u32At(bytes, offset + 4), offset};
        if (record.length > limit - offset - headerSize)
            return std::nullopt;
        return record;
    }

    static void putHeader(std::vector<std::uint8_t>& out, std::uint16_t version, std::uint16_t instance,
                          std::uint16_t type, std::uint32_t length)
    {
        auto put16 = [&](unsigned value) {
            out.push_back(static_cast<std::uint8_t>(value));
            out.push_back(static_cast<std::uint8_t>(value >> 8));
        };
        put16(static_cast<unsigned>((instance << 4) | (version & 0xF)));
        put16(type);
        put16(length & 0xFFFF);
        put16(length >> 16);
    }
};

// Little-endian writes into bytes already laid out (patching lengths and counters).
inline void patchU16(std::span<std::uint8_t> bytes, std::size_t offset, unsigned value)
{
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}
inline void patchU32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
inline void appendU16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void appendU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace tavorin::xls
