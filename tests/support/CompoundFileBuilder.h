#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tavorin::test {

// Writes a small compound file (version 3, 512-byte sectors) holding streams in its root, for
// tests that need workbooks no fixture has. Every stream goes into regular sectors, so each must
// be at least 4096 bytes long (shorter ones would belong in the mini stream); workbook streams
// are padded after their last EOF with padWorkbookStream().
class CompoundFileBuilder {
public:
    void addStream(std::u16string name, std::vector<std::uint8_t> bytes);
    std::vector<std::uint8_t> build() const;

    // Appends zero bytes up to the mini-stream cutoff.
    static void padWorkbookStream(std::vector<std::uint8_t>& stream);

private:
    std::vector<std::pair<std::u16string, std::vector<std::uint8_t>>> streams_;
};

} // namespace tavorin::test
