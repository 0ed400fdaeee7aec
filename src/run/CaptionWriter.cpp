#include "run/CaptionWriter.h"

#include "platform/CellAddress.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/model/DateNumberFormats.h"

#include <cmath>

namespace tavorin {

int cellIndex(double value)
{
    if (!std::isfinite(value) || value > 1e9 || value < -1e9)
        return 0;
    return static_cast<int>(std::nearbyint(value));
}

std::optional<double> captionFirstNumber(const QString& text)
{
    bool ok = false;
    double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString captionNumberText(double number)
{
    return QString::number(number, 'g', 15);
}

QString withoutExtension(const QString& displayName)
{
    qsizetype dot = displayName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? displayName : displayName.left(dot);
}

CaptionWriter::CaptionWriter(const RunOptions& options, CreationTime creationTime, CreationTime takenTime)
    : options_(options), creationTime_(std::move(creationTime)), takenTime_(std::move(takenTime)),
      firstNumber_(captionFirstNumber(options.firstNumberText))
{
}

void CaptionWriter::write(SpreadsheetWorksheet& sheet, int index, float blockTop, int columnShift,
                          const PictureRow& picture) const
{
    if (options_.dateCaption.on)
        writeDate(sheet, blockTop, columnShift, picture);
    if (options_.numberCaption.on)
        writeNumber(sheet, index, blockTop, columnShift);
    if (options_.nameCaption.on)
        writeName(sheet, blockTop, columnShift, picture);
}

namespace {

// The caption's cell: its row keeps its distance from the start row, its column moves with the block.
CellAddress captionCell(const CaptionPlace& place, double startRow, float blockTop, int columnShift)
{
    float offset = static_cast<float>(place.row - startRow);
    return CellAddress{cellIndex(blockTop + offset), place.column + columnShift};
}

} // namespace

void CaptionWriter::writeDate(SpreadsheetWorksheet& sheet, float blockTop, int columnShift,
                              const PictureRow& picture) const
{
    CellAddress cell = captionCell(options_.dateCaption, options_.startRow, blockTop, columnShift);
    // Entering a date widens a narrow column; the template's width is put back afterwards.
    auto width = sheet.columnWidth(cell);
    if (auto date = captionDate(std::filesystem::path(picture.path.toStdString())))
        (void)sheet.setMergeAreaValue(cell, CellValue{*date});
    if (auto format = xls::dateCaptionFormat(options_.dateFormat))
        (void)sheet.setMergeAreaNumberFormatLocal(cell, std::string(*format));
    if (width)
        (void)sheet.setColumnWidth(cell, *width);
}

std::optional<CalendarDateTime> CaptionWriter::captionDate(const std::filesystem::path& picture) const
{
    if (options_.dateSource == DateSource::PhotoTaken && takenTime_)
        if (auto taken = takenTime_(picture))
            return taken;
    return creationTime_(picture);
}

void CaptionWriter::writeNumber(SpreadsheetWorksheet& sheet, int index, float blockTop, int columnShift) const
{
    if (!firstNumber_)
        return;
    CellAddress cell = captionCell(options_.numberCaption, options_.startRow, blockTop, columnShift);
    double number = *firstNumber_ + index;
    if (options_.numberWithPrefix)
        (void)sheet.setMergeAreaValue(cell, CellValue{("No." + captionNumberText(number)).toStdString()});
    else
        (void)sheet.setMergeAreaValue(cell, CellValue{number});
}

void CaptionWriter::writeName(SpreadsheetWorksheet& sheet, float blockTop, int columnShift,
                              const PictureRow& picture) const
{
    CellAddress cell = captionCell(options_.nameCaption, options_.startRow, blockTop, columnShift);
    QString text = options_.nameWithoutExtension ? withoutExtension(picture.name) : picture.name;
    (void)sheet.setMergeAreaValue(cell, CellValue{text.toStdString()});
}

} // namespace tavorin
