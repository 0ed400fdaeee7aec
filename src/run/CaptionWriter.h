#pragma once

#include "platform/CalendarDateTime.h"
#include "run/RunOptions.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

namespace tavorin {

class SpreadsheetWorksheet;

// Writes the captions of one picture beside its block: the file's creation date (or the date the
// photo was taken, when the options say so and the picture records it), a running number and the
// file name, each in its own cell. A caption's cell is given for the first
// block of a sheet and moves with the block (its row offset from the start row stays, its
// column shifts with the block). Each failing call is skipped.
class CaptionWriter {
public:
    using CreationTime = std::function<std::optional<CalendarDateTime>(const std::filesystem::path&)>;

    CaptionWriter(const RunOptions& options, CreationTime creationTime, CreationTime takenTime = {});

    // Captions of picture number index (0-based) in the block whose top row is blockTop and whose
    // columns are shifted by columnShift.
    void write(SpreadsheetWorksheet& sheet, int index, float blockTop, int columnShift, const PictureRow& picture) const;

private:
    void writeDate(SpreadsheetWorksheet& sheet, float blockTop, int columnShift, const PictureRow& picture) const;
    void writeNumber(SpreadsheetWorksheet& sheet, int index, float blockTop, int columnShift) const;
    void writeName(SpreadsheetWorksheet& sheet, float blockTop, int columnShift, const PictureRow& picture) const;

    const RunOptions& options_;
    std::optional<CalendarDateTime> captionDate(const std::filesystem::path& picture) const;

    CreationTime creationTime_;
    CreationTime takenTime_;
    std::optional<double> firstNumber_;
};

// The text of Text3 as a number, as the caption reads it: the whole text (blanks around it
// allowed) must be a number, otherwise there is none and the number caption is not written.
std::optional<double> captionFirstNumber(const QString& text);

// A number as a caption writes it after "No.": whole numbers without a decimal point.
QString captionNumberText(double number);

// The file name without its extension, as the caption shows it (the leading blank stays).
QString withoutExtension(const QString& displayName);

// A worksheet row or column from a computed value, rounded half to even as the spreadsheet
// rounds an index given as a fraction.
int cellIndex(double value);

} // namespace tavorin
