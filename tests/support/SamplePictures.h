#pragma once

// Small pictures that the tests make themselves: metafiles (no fixture file holds one) and their
// gzip-compressed forms (EMZ, WMZ).

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tavorin::test {

using PictureBytes = std::vector<std::uint8_t>;

// A one-inch-square WMF with a placeable header, drawing nothing.
PictureBytes squareWmf();
// The same WMF without its 22-byte placeable header, as a workbook stores it.
PictureBytes squareWmfWithoutPlaceableHeader();
// An EMF of 2 x 1 inches, drawing nothing.
PictureBytes wideEmf();
// bytes in a gzip member, as .emz and .wmz files hold a metafile.
PictureBytes gzipped(const PictureBytes& bytes);

void writePictureFile(const std::filesystem::path& path, const PictureBytes& bytes);

} // namespace tavorin::test
