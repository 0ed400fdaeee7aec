#pragma once

#include <QByteArray>

#include <cstdint>

namespace tavorin::test {

// Builds settings record bytes by hand, independently of the program's own record code:
// offset 0..8 the nine check values, 9..36 fourteen 16-bit selections, 37..42 the
// magnification characters, 43 the first number, 45 "No.1", 47 " 1"; little-endian.
class SettingsBytes {
public:
    SettingsBytes() : bytes_(49, '\0') {}

    SettingsBytes& check(int number, std::uint8_t value)
    {
        bytes_[number - 1] = char(value);
        return *this;
    }
    SettingsBytes& combo(int number, std::int16_t index) { return word(9 + 2 * (number - 1), index); }
    SettingsBytes& magnification(const char (&six)[7])
    {
        for (int i = 0; i < 6; ++i)
            bytes_[37 + i] = six[i];
        return *this;
    }
    SettingsBytes& firstNumber(std::int16_t value) { return word(43, value); }
    SettingsBytes& option1(std::int16_t value) { return word(45, value); }
    SettingsBytes& option2(std::int16_t value) { return word(47, value); }

    QByteArray bytes() const { return bytes_; }

private:
    SettingsBytes& word(int offset, std::int16_t value)
    {
        const auto bits = std::uint16_t(value);
        bytes_[offset] = char(bits & 0xFF);
        bytes_[offset + 1] = char(bits >> 8);
        return *this;
    }

    QByteArray bytes_;
};

} // namespace tavorin::test
