#pragma once

namespace tavorin {

// The program whose drawing of the sheet the pictures are fitted for. Excel and LibreOffice
// agree on rows but not on columns: LibreOffice draws them somewhat wider, so pictures fitted
// in Excel's columns look stretched sideways there, and the other way round.
enum class FitFor { Excel, LibreOffice };

} // namespace tavorin
