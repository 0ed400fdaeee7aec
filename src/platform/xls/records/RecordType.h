#pragma once

#include <cstdint>

namespace tavorin::xls {

// BIFF8 record types ([MS-XLS] 2.3) that the reader and the engine name in code.
namespace RecordType {
inline constexpr std::uint16_t Eof = 0x000A;
inline constexpr std::uint16_t FilePass = 0x002F;
inline constexpr std::uint16_t Continue = 0x003C;
inline constexpr std::uint16_t CodePage = 0x0042;
inline constexpr std::uint16_t BoundSheet8 = 0x0085;
inline constexpr std::uint16_t Sst = 0x00FC;
inline constexpr std::uint16_t MsoDrawingGroup = 0x00EB;
inline constexpr std::uint16_t MsoDrawing = 0x00EC;
inline constexpr std::uint16_t Bof = 0x0809;
// BOF records of the BIFF2, BIFF3 and BIFF4 formats, which predate compound files.
inline constexpr std::uint16_t Biff2Bof = 0x0009;
inline constexpr std::uint16_t Biff3Bof = 0x0209;
inline constexpr std::uint16_t Biff4Bof = 0x0409;
} // namespace RecordType

} // namespace tavorin::xls
