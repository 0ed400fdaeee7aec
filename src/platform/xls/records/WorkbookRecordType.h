#pragma once

#include "platform/xls/records/RecordType.h"

#include <cstdint>

namespace tavorin::xls {

// BIFF8 record types ([MS-XLS] 2.3) that the workbook model parses, rewrites or regenerates.
namespace RecordType {
// globals
inline constexpr std::uint16_t Window1 = 0x003D;
inline constexpr std::uint16_t Date1904 = 0x0022;
inline constexpr std::uint16_t Font = 0x0031;
inline constexpr std::uint16_t Format = 0x041E;
inline constexpr std::uint16_t Xf = 0x00E0;
inline constexpr std::uint16_t Style = 0x0293;
inline constexpr std::uint16_t Name = 0x0018;
inline constexpr std::uint16_t ExternSheet = 0x0017;
inline constexpr std::uint16_t SupBook = 0x01AE;
inline constexpr std::uint16_t TabId = 0x013D;
inline constexpr std::uint16_t ExtSst = 0x00FF;
inline constexpr std::uint16_t CodeName = 0x01BA;
// sheets
inline constexpr std::uint16_t Index = 0x020B;
inline constexpr std::uint16_t Uncalced = 0x005E;
inline constexpr std::uint16_t Dimensions = 0x0200;
inline constexpr std::uint16_t Row = 0x0208;
inline constexpr std::uint16_t DbCell = 0x00D7;
inline constexpr std::uint16_t DefColWidth = 0x0055;
inline constexpr std::uint16_t StandardWidth = 0x0099;
inline constexpr std::uint16_t ColInfo = 0x007D;
inline constexpr std::uint16_t DefaultRowHeight = 0x0225;
inline constexpr std::uint16_t MergedCells = 0x00E5;
inline constexpr std::uint16_t Window2 = 0x023E;
inline constexpr std::uint16_t Obj = 0x005D;
inline constexpr std::uint16_t Txo = 0x01B6;
inline constexpr std::uint16_t Note = 0x001C;
inline constexpr std::uint16_t MsoDrawingSelection = 0x00ED;
inline constexpr std::uint16_t HfPicture = 0x0866;
inline constexpr std::uint16_t SxView = 0x00B0;
inline constexpr std::uint16_t DCon = 0x0050;
// cells
inline constexpr std::uint16_t Formula = 0x0006;
inline constexpr std::uint16_t Blank = 0x0201;
inline constexpr std::uint16_t MulBlank = 0x00BE;
inline constexpr std::uint16_t Rk = 0x027E;
inline constexpr std::uint16_t MulRk = 0x00BD;
inline constexpr std::uint16_t BoolErr = 0x0205;
inline constexpr std::uint16_t Number = 0x0203;
inline constexpr std::uint16_t LabelSst = 0x00FD;
inline constexpr std::uint16_t Label = 0x0204;
inline constexpr std::uint16_t RString = 0x00D6;
// records that belong to the FORMULA before them
inline constexpr std::uint16_t ShrFmla = 0x04BC;
inline constexpr std::uint16_t Array = 0x0221;
inline constexpr std::uint16_t Table = 0x0236;
inline constexpr std::uint16_t String = 0x0207;
} // namespace RecordType

} // namespace tavorin::xls
