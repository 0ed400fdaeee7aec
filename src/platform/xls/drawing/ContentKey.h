#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace tavorin::xls {

// The 16-byte key of a picture's bytes that a new blip carries as its UID (FBSE rgbUid and the
// blip's own UID). Readers take the UID as an opaque identifier of the content (Excel writes an
// MD4, other writers an MD5); this program uses XXH3-128, which keys a photo at memory speed, so
// that keying the pictures while they are copied into the workbook costs next to nothing.
class ContentKey {
public:
    using Key = std::array<std::uint8_t, 16>;

    ContentKey();
    ~ContentKey();
    ContentKey(const ContentKey&) = delete;
    ContentKey& operator=(const ContentKey&) = delete;

    void add(std::span<const std::uint8_t> bytes);
    Key finish() const;

    static Key of(std::span<const std::uint8_t> bytes);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace tavorin::xls
