#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tavorin::pictures {

// A JPEG's pixels transposed (mirrored across the top-left to bottom-right diagonal) without
// decoding them: libjpeg-turbo moves the coded blocks, so nothing is lost, whatever the picture's
// size (the transpose needs no partial blocks trimmed). Its markers (EXIF, colour profile) are
// kept. Nothing, with error set, when the JPEG cannot be transformed.
std::optional<std::vector<std::uint8_t>> transposedJpeg(std::span<const std::uint8_t> jpeg, std::string& error);

} // namespace tavorin::pictures
