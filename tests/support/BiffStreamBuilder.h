#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavorin::test {

// Builds BIFF record streams byte by byte, as the format describes them, for tests that need
// records no fixture has (hidden or chart sheets, broken lengths, old versions).
class BiffStreamBuilder {
public:
    BiffStreamBuilder& record(std::uint16_t type, const std::vector<std::uint8_t>& data);
    // A BOF with the given BIFF version (0x0600 = BIFF8) and substream type (5 globals, 0x10 sheet).
    BiffStreamBuilder& bof(std::uint16_t version = 0x0600, std::uint16_t substream = 0x0005);
    BiffStreamBuilder& eof();
    // A BoundSheet8 with a name stored as UTF-16 (wide) or as one byte per character.
    BiffStreamBuilder& boundSheet(const std::u16string& name, std::uint8_t kind = 0, std::uint8_t visibility = 0,
                                  bool wide = true, std::uint32_t position = 0);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

    static void putU16(std::vector<std::uint8_t>& bytes, std::uint16_t value);
    static void putU32(std::vector<std::uint8_t>& bytes, std::uint32_t value);

private:
    std::vector<std::uint8_t> bytes_;
};

// A compound file whose Workbook stream is the given records.
std::vector<std::uint8_t> workbookFileWith(std::vector<std::uint8_t> workbookStream);

} // namespace tavorin::test
