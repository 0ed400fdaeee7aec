#pragma once

#include <QByteArray>

#include <cstdint>

namespace tavorin::test {

// A settings record written byte by byte, as another program would write it: bytes 0 … 8 the
// nine check values, 9 … 36 fourteen 16-bit selections, 37 … 42 the magnification characters,
// 43 the first number, 45 "No.1", 47 " 1"; little-endian, 49 bytes.
class SettingsBytes {
public:
    SettingsBytes& check(int number, std::uint8_t value)
    {
        bytes_[number - 1] = char(value);
        return *this;
    }
    SettingsBytes& combo(int number, std::int16_t index) { return word(9 + 2 * (number - 1), index); }
    SettingsBytes& magnification(const char (&six)[7])
    {
        bytes_.replace(37, 6, six, 6);
        return *this;
    }
    SettingsBytes& firstNumber(std::int16_t value) { return word(43, value); }
    SettingsBytes& option1(std::int16_t value) { return word(45, value); }
    SettingsBytes& option2(std::int16_t value) { return word(47, value); }
    QByteArray bytes() const { return bytes_; }

private:
    SettingsBytes& word(int offset, std::int16_t value)
    {
        bytes_[offset] = char(std::uint16_t(value) & 0xFF);
        bytes_[offset + 1] = char(std::uint16_t(value) >> 8);
        return *this;
    }

    QByteArray bytes_ = QByteArray(49, '\0');
};

} // namespace tavorin::test
