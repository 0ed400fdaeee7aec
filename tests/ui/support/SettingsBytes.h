#pragma once

#include <QByteArray>

#include <cstdint>

namespace tavorin::test {

// A settings record written byte by byte, as another program would write it: bytes 0 … 8 the
// nine check values, 9 … 36 fourteen 16-bit selections, 37 … 42 the magnification characters,
// 43 the first number, 45 "No.1", 47 " 1"; little-endian, 49 bytes.
class SettingsBytes {
public:
    SettingsBytes& check(int number, std::uint8_t value) { return put(number - 1, QByteArray(1, char(value))); }
    SettingsBytes& combo(int number, std::int16_t index) { return word(9 + 2 * (number - 1), index); }
    SettingsBytes& magnification(const char (&six)[7]) { return put(37, QByteArray(six, 6)); }
    SettingsBytes& firstNumber(std::int16_t value) { return word(43, value); }
    SettingsBytes& option1(std::int16_t value) { return word(45, value); }
    SettingsBytes& option2(std::int16_t value) { return word(47, value); }
    QByteArray bytes() const { return bytes_; }

private:
    SettingsBytes& word(int offset, std::int16_t value)
    {
        const char littleEndian[] = {char(std::uint16_t(value) & 0xFF), char(std::uint16_t(value) >> 8)};
        return put(offset, QByteArray(littleEndian, 2));
    }
    SettingsBytes& put(int offset, const QByteArray& bytes)
    {
        bytes_.replace(offset, bytes.size(), bytes);
        return *this;
    }

    QByteArray bytes_ = QByteArray(49, '\0');
};

} // namespace tavorin::test
