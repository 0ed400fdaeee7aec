#pragma once

// Files in tests: their bytes, writing them, the names in a folder, fixture copies.

#include <QString>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tavorin::test {

using Bytes = std::vector<std::uint8_t>;

Bytes fileBytes(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const Bytes& bytes);
// A path as Qt takes it.
inline QString pathText(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }
// MD5 in lower-case hex, as the readers report a picture's bytes.
QString md5Hex(const Bytes& bytes);
// The names of the entries of a folder, sorted: what a run left behind.
std::vector<std::string> namesIn(const std::filesystem::path& folder);
// A writable copy of a fixture workbook in folder, under its own name or `as`.
std::filesystem::path copyWorkbook(const std::filesystem::path& folder, const std::string& fixture,
                                   const std::string& as = {});

} // namespace tavorin::test
