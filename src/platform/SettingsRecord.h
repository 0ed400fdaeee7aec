#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <span>

namespace tavorin {

// The stored option values: one fixed 49-byte record, little-endian, fields in this order:
// nine check values (1 byte each), fourteen selection indexes (16-bit signed each), the
// magnification text (6 single-byte characters, blank padded), the first number, and the two
// number styles (16-bit signed each, -1 = selected, 0 = not).
struct SettingsRecord {
    static constexpr std::size_t checkCount = 9;
    static constexpr std::size_t comboCount = 14;
    static constexpr std::size_t magnificationWidth = 6;
    static constexpr std::size_t size = checkCount + 2 * comboCount + magnificationWidth + 3 * 2;

    std::array<std::uint8_t, checkCount> checks{};      // Check1 … Check9
    std::array<std::int16_t, comboCount> selections{}; // Combo1 … Combo14
    std::array<std::uint8_t, magnificationWidth> magnification{}; // Text1, Latin-1
    std::int16_t firstNumber = 0;                        // Text3
    std::int16_t option1 = 0;                            // "No.1"
    std::int16_t option2 = 0;                            // " 1"

    // The stored magnification text: the six characters up to the first zero byte (a record
    // that was never written holds no characters).
    QString magnificationText() const;
    // Left-aligned, padded with blanks to six characters, cut after six; characters outside
    // Latin-1 become "?".
    void setMagnificationText(const QString& text);

    std::array<std::uint8_t, size> toBytes() const;
    // Bytes beyond the end of a short input read as zero; bytes after the record are ignored.
    static SettingsRecord fromBytes(std::span<const std::uint8_t> bytes);

    bool operator==(const SettingsRecord&) const = default;
};

} // namespace tavorin
