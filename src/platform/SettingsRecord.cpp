#include "platform/SettingsRecord.h"

#include <QByteArray>

namespace tavorin {

namespace {

class RecordWriter {
public:
    explicit RecordWriter(std::array<std::uint8_t, SettingsRecord::size>& bytes) : bytes_(bytes) {}
    void byte(std::uint8_t value) { bytes_[at_++] = value; }
    void int16(std::int16_t value)
    {
        const auto bits = static_cast<std::uint16_t>(value);
        byte(static_cast<std::uint8_t>(bits & 0xFF));
        byte(static_cast<std::uint8_t>(bits >> 8));
    }

private:
    std::array<std::uint8_t, SettingsRecord::size>& bytes_;
    std::size_t at_ = 0;
};

// Reads the record field by field; a byte past the end of the input reads as zero.
class RecordReader {
public:
    explicit RecordReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint8_t byte() { return at_ < bytes_.size() ? bytes_[at_++] : (++at_, std::uint8_t{0}); }
    std::int16_t int16()
    {
        const std::uint8_t low = byte();
        const std::uint8_t high = byte();
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

} // namespace

QString SettingsRecord::magnificationText() const
{
    QByteArray text;
    for (std::uint8_t c : magnification) {
        if (c == 0)
            break;
        text.append(static_cast<char>(c));
    }
    return QString::fromLatin1(text);
}

void SettingsRecord::setMagnificationText(const QString& text)
{
    const QByteArray latin1 = text.left(magnificationWidth).toLatin1();
    for (std::size_t i = 0; i < magnificationWidth; ++i)
        magnification[i] = i < std::size_t(latin1.size()) ? static_cast<std::uint8_t>(latin1[qsizetype(i)]) : ' ';
}

std::array<std::uint8_t, SettingsRecord::size> SettingsRecord::toBytes() const
{
    std::array<std::uint8_t, size> bytes{};
    RecordWriter writer(bytes);
    for (std::uint8_t check : checks)
        writer.byte(check);
    for (std::int16_t selection : selections)
        writer.int16(selection);
    for (std::uint8_t c : magnification)
        writer.byte(c);
    writer.int16(firstNumber);
    writer.int16(option1);
    writer.int16(option2);
    return bytes;
}

SettingsRecord SettingsRecord::fromBytes(std::span<const std::uint8_t> bytes)
{
    SettingsRecord record;
    RecordReader reader(bytes);
    for (std::uint8_t& check : record.checks)
        check = reader.byte();
    for (std::int16_t& selection : record.selections)
        selection = reader.int16();
    for (std::uint8_t& c : record.magnification)
        c = reader.byte();
    record.firstNumber = reader.int16();
    record.option1 = reader.int16();
    record.option2 = reader.int16();
    return record;
}

} // namespace tavorin
