#include "platform/xls/geometry/MaximumDigitWidth.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <string>

namespace tavorin::xls {
namespace {

// How a face's digit width follows the em size when the size is not in the table.
enum class DigitRule {
    Advance,       // round(advance x em pixels): hinted TrueType digits
    HalfCellUp,    // ceil(em pixels / 2): half-width cell of the Japanese Gothic/Mincho families
};

struct FaceMetrics {
    std::array<std::string_view, 2> names; // local (Japanese) and English spellings
    double digitAdvance;                   // digit advance in em
    DigitRule rule;
};

// Digit advances from the faces' horizontal metrics (advance width of the digits / units per em).
constexpr std::array<FaceMetrics, 16> faces{{
    {{"Arial", "Arial"}, 1139.0 / 2048, DigitRule::Advance},
    {{"Calibri", "Calibri"}, 1038.0 / 2048, DigitRule::Advance},
    {{"Times New Roman", "Times New Roman"}, 1024.0 / 2048, DigitRule::Advance},
    {{"Courier New", "Courier New"}, 1229.0 / 2048, DigitRule::Advance},
    {{"Tahoma", "Tahoma"}, 1165.0 / 2048, DigitRule::Advance},
    {{"Verdana", "Verdana"}, 1302.0 / 2048, DigitRule::Advance},
    {{"Century", "Century"}, 0.556, DigitRule::Advance},
    {{"MS Sans Serif", "MS Sans Serif"}, 0.556, DigitRule::Advance},
    {{"ＭＳ Ｐゴシック", "MS PGothic"}, 0.5, DigitRule::HalfCellUp},
    {{"ＭＳ ゴシック", "MS Gothic"}, 0.5, DigitRule::HalfCellUp},
    {{"ＭＳ Ｐ明朝", "MS PMincho"}, 0.5, DigitRule::HalfCellUp},
    {{"ＭＳ 明朝", "MS Mincho"}, 0.5, DigitRule::HalfCellUp},
    {{"MS UI Gothic", "MS UI Gothic"}, 0.5, DigitRule::HalfCellUp},
    {{"メイリオ", "Meiryo"}, 0.557, DigitRule::Advance},
    {{"Meiryo UI", "Meiryo UI"}, 0.5, DigitRule::Advance},
    {{"游ゴシック", "Yu Gothic"}, 0.55, DigitRule::Advance},
}};

struct MeasuredWidth {
    std::string_view englishName;
    int heightTwips;
    int pixels;
};

// Sizes whose digit width is known from Excel's own default columns: 8.43 characters = 64 px
// (Arial 10, Calibri 11) and 8.38 characters = 72 px (the Japanese defaults at 11 pt).
constexpr std::array<MeasuredWidth, 6> measured{{
    {"Arial", 200, 7},
    {"Calibri", 220, 7},
    {"MS PGothic", 220, 8},
    {"MS Gothic", 220, 8},
    {"MS UI Gothic", 220, 8},
    {"Yu Gothic", 220, 8},
}};

constexpr double unknownFaceDigitAdvance = 0.55;

std::string trimmedLower(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\0'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.remove_suffix(1);
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

const FaceMetrics* findFace(std::string_view face)
{
    const std::string wanted = trimmedLower(face);
    for (const FaceMetrics& metrics : faces)
        for (std::string_view name : metrics.names)
            if (trimmedLower(name) == wanted)
                return &metrics;
    return nullptr;
}

// Pixels per em at 96 dpi, as a whole number the way a font is realised on screen.
double emPixels(int heightTwips)
{
    return std::floor(heightTwips * 96.0 / 1440.0 + 0.5);
}

} // namespace

MaximumDigitWidth maximumDigitWidth(std::string_view face, int heightTwips)
{
    if (heightTwips <= 0 || heightTwips > 409 * 20)
        heightTwips = 200; // outside Excel's 1-409 pt: read as the usual 10 pt
    const FaceMetrics* metrics = findFace(face);
    if (metrics) {
        for (const MeasuredWidth& entry : measured)
            if (entry.englishName == metrics->names[1] && entry.heightTwips == heightTwips)
                return {entry.pixels, true};
    }
    const double em = emPixels(heightTwips);
    int pixels = 0;
    if (metrics && metrics->rule == DigitRule::HalfCellUp)
        pixels = static_cast<int>(std::ceil(em / 2.0));
    else
        pixels = static_cast<int>(std::floor((metrics ? metrics->digitAdvance : unknownFaceDigitAdvance) * em + 0.5));
    return {std::max(pixels, 1), false};
}

double digitAdvanceOfFace(std::string_view face)
{
    const FaceMetrics* metrics = findFace(face);
    return metrics ? metrics->digitAdvance : unknownFaceDigitAdvance;
}

} // namespace tavorin::xls
