#pragma once

// Files in tests: their bytes, writing them, the names in a folder, fixture copies.

#include <QString>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavorin::test {

using Bytes = std::vector<std::uint8_t>;

Bytes fileBytes(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const Bytes& bytes);
// Text files (lock files, settings, process tables) as their bytes; the folders on the way are made.
inline std::string textOf(const std::filesystem::path& path)
{
    const Bytes bytes = fileBytes(path);
    return {bytes.begin(), bytes.end()};
}
inline void writeText(const std::filesystem::path& path, std::string_view text)
{
    std::filesystem::create_directories(path.parent_path());
    writeFile(path, Bytes(text.begin(), text.end()));
}
// A path as Qt takes it.
inline QString pathText(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }
// Little-endian numbers inside bytes, as the binary formats store them.
inline std::uint32_t le32(const Bytes& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24;
}
inline void setLe32(Bytes& b, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
// MD5 in lower-case hex, as the readers report a picture's bytes.
QString md5Hex(const Bytes& bytes);
// The names of the entries of a folder, sorted: what a run left behind.
std::vector<std::string> namesIn(const std::filesystem::path& folder);
// A writable copy of a fixture workbook in folder, under its own name or `as`.
std::filesystem::path copyWorkbook(const std::filesystem::path& folder, const std::string& fixture,
                                   const std::string& as = {});

} // namespace tavorin::test
