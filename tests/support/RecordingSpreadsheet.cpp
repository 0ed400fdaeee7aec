#include "support/RecordingSpreadsheet.h"

#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/geometry/ColumnWidthUnits.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavorin::test {

namespace {

constexpr int lastRow = 65536;
constexpr int lastColumn = 256;
constexpr int digitWidth = 7; // the stand-in's Normal font: Arial 10

std::string number(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

std::string quotedText(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

std::string valueText(const CellValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return quotedText(*text);
    if (const auto* numeric = std::get_if<double>(&value))
        return number(*numeric);
    const auto& date = std::get<CalendarDateTime>(value);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "#%04d-%02d-%02d %02d:%02d:%02d#", date.year, date.month, date.day,
                  date.hour, date.minute, date.second);
    return buffer;
}

std::string cellText(CellAddress cell)
{
    return "Cells(" + std::to_string(cell.row) + "," + std::to_string(cell.column) + ")";
}

std::string rangeText(CellRange range)
{
    return "Range(" + std::to_string(range.first.row) + "," + std::to_string(range.first.column) + ","
           + std::to_string(range.last.row) + "," + std::to_string(range.last.column) + ")";
}

bool onSheet(CellAddress cell)
{
    return cell.row >= 1 && cell.row <= lastRow && cell.column >= 1 && cell.column <= lastColumn;
}

CellRange normalized(CellRange range)
{
    return {{std::min(range.first.row, range.last.row), std::min(range.first.column, range.last.column)},
            {std::max(range.first.row, range.last.row), std::max(range.first.column, range.last.column)}};
}

bool contains(CellRange area, CellAddress cell)
{
    return cell.row >= area.first.row && cell.row <= area.last.row && cell.column >= area.first.column
           && cell.column <= area.last.column;
}

bool sameSheetName(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

// Excel's rules for a sheet tab name.
bool validSheetName(const std::string& name)
{
    const QString text = QString::fromStdString(name);
    if (text.isEmpty() || text.size() > 31 || text.startsWith('\'') || text.endsWith('\''))
        return false;
    for (QChar c : text)
        if (QStringLiteral("[]:*?/\\").contains(c))
            return false;
    return true;
}

} // namespace

struct RecordingSheetState {
    std::string name;
    std::map<std::pair<int, int>, CellValue> values;
    std::map<std::pair<int, int>, std::string> formats;
    std::map<int, double> columnPoints;   // set through ColumnWidth
    std::vector<CellRange> merged;
    std::vector<RecordingSpreadsheet::Shape> shapes;
    int nextPictureNumber = 1;
    CellAddress insertionPoint{1, 1};
};

struct RecordingSpreadsheet::State {
    std::vector<std::string> initialSheets;
    std::map<std::string, std::vector<CellRange>> initialMerged;
    double columnPoints = 48.0;
    double rowPoints = 12.75;
    std::map<int, double> columnPointsByColumn;
    std::map<int, double> rowPointsByRow;
    std::map<std::filesystem::path, std::pair<double, double>> naturalSizes;
    std::pair<double, double> defaultNaturalSize{240.0, 180.0};
    std::string picturePrefix = "図 ";

    std::vector<std::string> failPrefixes;
    std::set<std::string> refusedNames;
    std::set<std::filesystem::path> failingPictures;
    bool openFails = false;

    std::vector<std::string> calls;
    std::vector<bool> failed;

    bool open = false;
    bool quit = false;
    std::optional<bool> screenUpdating;
    std::optional<bool> displayAlerts;
    std::vector<std::shared_ptr<RecordingSheetState>> sheets;
    std::shared_ptr<RecordingSheetState> active;
    std::vector<std::filesystem::path> saved;

    // Records the call; answers whether it may go ahead (not configured to fail, Excel not quit).
    bool record(const std::string& line)
    {
        calls.push_back(line);
        bool fails = quit && line != "Application.Quit";
        for (const auto& prefix : failPrefixes)
            if (line.compare(0, prefix.size(), prefix) == 0)
                fails = true;
        failed.push_back(fails);
        return !fails;
    }
    void markFailed() { failed.back() = true; }

    SpreadsheetError fail(const std::string& why)
    {
        markFailed();
        return operationError(why);
    }

    double columnWidth(const RecordingSheetState& sheet, int column) const
    {
        if (auto found = sheet.columnPoints.find(column); found != sheet.columnPoints.end())
            return found->second;
        if (auto found = columnPointsByColumn.find(column); found != columnPointsByColumn.end())
            return found->second;
        return columnPoints;
    }
    double rowHeight(int row) const
    {
        auto found = rowPointsByRow.find(row);
        return found != rowPointsByRow.end() ? found->second : rowPoints;
    }
    double columnLeft(const RecordingSheetState& sheet, int column) const
    {
        double left = 0;
        for (int c = 1; c < column; ++c)
            left += columnWidth(sheet, c);
        return left;
    }
    double rowTop(int row) const
    {
        // Uniform rows plus the difference of every row set apart above this one.
        double top = (row - 1) * rowPoints;
        for (const auto& [r, points] : rowPointsByRow) {
            if (r >= row)
                break;
            top += points - rowPoints;
        }
        return top;
    }

    std::shared_ptr<RecordingSheetState> findSheet(const std::string& name) const
    {
        for (const auto& sheet : sheets)
            if (sheet->name == name)
                return sheet;
        return nullptr;
    }
    bool nameTakenByOther(const std::string& name, const RecordingSheetState* self) const
    {
        for (const auto& sheet : sheets)
            if (sheet.get() != self && sameSheetName(sheet->name, name))
                return true;
        return false;
    }
    // Excel names a copy "Name (2)", or the next free number.
    std::string copyName(const std::string& base) const
    {
        for (int n = 2;; ++n) {
            const std::string candidate = base + " (" + std::to_string(n) + ")";
            if (!nameTakenByOther(candidate, nullptr))
                return candidate;
        }
    }
    RecordingSpreadsheet::Shape* findShape(RecordingSheetState& sheet, const std::string& name)
    {
        for (auto& shape : sheet.shapes)
            if (shape.name == name)
                return &shape;
        return nullptr;
    }
};

namespace {

using State = RecordingSpreadsheet::State;

class RecordingWorksheet final : public SpreadsheetWorksheet {
public:
    RecordingWorksheet(std::shared_ptr<State> state, std::shared_ptr<RecordingSheetState> sheet)
        : state_(std::move(state)), sheet_(std::move(sheet)) {}

    const std::shared_ptr<RecordingSheetState>& sheet() const { return sheet_; }

    SpreadsheetResult<std::string> name() override
    {
        if (!begin(".Name"))
            return operationError("call failed");
        return sheet_->name;
    }

    SpreadsheetStatus setName(const std::string& newName) override
    {
        if (!begin(".Name = " + quotedText(newName)))
            return operationError("call failed");
        if (!validSheetName(newName) || state_->refusedNames.count(newName)
            || state_->nameTakenByOther(newName, sheet_.get()))
            return state_->fail("sheet name refused: " + newName);
        sheet_->name = newName;
        return xls::success();
    }

    SpreadsheetStatus select() override
    {
        if (!begin(".Select"))
            return operationError("call failed");
        state_->active = sheet_;
        return xls::success();
    }

    SpreadsheetStatus copyAfter(SpreadsheetWorksheet& anchor) override
    {
        auto* other = dynamic_cast<RecordingWorksheet*>(&anchor);
        const std::string anchorText = other ? "Sheet(" + quotedText(other->sheet_->name) + ")" : "?";
        if (!begin(".Copy After:=" + anchorText))
            return operationError("call failed");
        if (!other || !attached(other->sheet_))
            return state_->fail("anchor sheet is not in this workbook");
        auto copy = std::make_shared<RecordingSheetState>(*sheet_);
        copy->name = state_->copyName(sheet_->name);
        auto position = std::find(state_->sheets.begin(), state_->sheets.end(), other->sheet_);
        state_->sheets.insert(position + 1, copy);
        state_->active = copy;
        return xls::success();
    }

    SpreadsheetResult<double> columnWidth(CellAddress cell) override
    {
        if (!begin("." + cellText(cell) + ".ColumnWidth"))
            return operationError("call failed");
        if (!onSheet(cell))
            return state_->fail("cell outside the sheet");
        const int pixels = static_cast<int>(std::lround(state_->columnWidth(*sheet_, cell.column) / 0.75));
        return xls::column_width::charactersFromPixels(pixels, digitWidth);
    }

    SpreadsheetStatus setColumnWidth(CellAddress cell, double width) override
    {
        if (!begin("." + cellText(cell) + ".ColumnWidth = " + number(width)))
            return operationError("call failed");
        if (!onSheet(cell) || !(width >= 0.0 && width <= 255.0))
            return state_->fail("column width refused");
        sheet_->columnPoints[cell.column] = xls::column_width::pixelsFromCharacters(width, digitWidth) * 0.75;
        return xls::success();
    }

    SpreadsheetStatus setMergeAreaValue(CellAddress cell, const CellValue& value) override
    {
        if (!begin("." + cellText(cell) + ".MergeArea.Value = " + valueText(value)))
            return operationError("call failed");
        if (!onSheet(cell))
            return state_->fail("cell outside the sheet");
        CellAddress target = cell;
        for (const CellRange& area : sheet_->merged)
            if (contains(area, cell))
                target = area.first;
        sheet_->values[{target.row, target.column}] = value;
        return xls::success();
    }

    SpreadsheetStatus setMergeAreaNumberFormatLocal(CellAddress cell, const std::string& format) override
    {
        if (!begin("." + cellText(cell) + ".NumberFormatLocal = " + quotedText(format)))
            return operationError("call failed");
        if (!onSheet(cell))
            return state_->fail("cell outside the sheet");
        sheet_->formats[{cell.row, cell.column}] = format;
        return xls::success();
    }

    SpreadsheetStatus selectRange(CellRange range) override
    {
        if (!begin("." + rangeText(range) + ".Select"))
            return operationError("call failed");
        if (!onSheet(range.first) || !onSheet(range.last))
            return state_->fail("range outside the sheet");
        sheet_->insertionPoint = normalized(range).first;
        return xls::success();
    }

    SpreadsheetResult<double> rangeWidth(CellRange range) override
    {
        return rangeValue(range, ".Width", [this](CellRange r) {
            return state_->columnLeft(*sheet_, r.last.column + 1) - state_->columnLeft(*sheet_, r.first.column);
        });
    }
    SpreadsheetResult<double> rangeHeight(CellRange range) override
    {
        return rangeValue(range, ".Height",
                          [this](CellRange r) { return state_->rowTop(r.last.row + 1) - state_->rowTop(r.first.row); });
    }
    SpreadsheetResult<double> rangeTop(CellRange range) override
    {
        return rangeValue(range, ".Top", [this](CellRange r) { return state_->rowTop(r.first.row); });
    }
    SpreadsheetResult<double> rangeLeft(CellRange range) override
    {
        return rangeValue(range, ".Left", [this](CellRange r) { return state_->columnLeft(*sheet_, r.first.column); });
    }

    SpreadsheetResult<std::string> insertPicture(const std::filesystem::path& path) override
    {
        if (!begin(".Pictures.Insert(" + quotedText(path.string()) + ")"))
            return operationError("call failed");
        if (state_->failingPictures.count(path))
            return state_->fail("picture could not be inserted: " + path.string());
        auto size = state_->defaultNaturalSize;
        if (auto found = state_->naturalSizes.find(path); found != state_->naturalSizes.end())
            size = found->second;
        RecordingSpreadsheet::Shape shape;
        shape.name = state_->picturePrefix + std::to_string(sheet_->nextPictureNumber++);
        shape.path = path;
        shape.left = state_->columnLeft(*sheet_, sheet_->insertionPoint.column);
        shape.top = state_->rowTop(sheet_->insertionPoint.row);
        shape.width = size.first;
        shape.height = size.second;
        sheet_->shapes.push_back(shape);
        return shape.name;
    }

    SpreadsheetResult<double> shapeWidth(const std::string& shape) override
    {
        return shapeValue(shape, ".Width", [](const RecordingSpreadsheet::Shape& s) { return s.width; });
    }
    SpreadsheetResult<double> shapeHeight(const std::string& shape) override
    {
        return shapeValue(shape, ".Height", [](const RecordingSpreadsheet::Shape& s) { return s.height; });
    }
    SpreadsheetResult<double> shapeTop(const std::string& shape) override
    {
        return shapeValue(shape, ".Top", [](const RecordingSpreadsheet::Shape& s) { return s.top; });
    }
    SpreadsheetResult<double> shapeLeft(const std::string& shape) override
    {
        return shapeValue(shape, ".Left", [](const RecordingSpreadsheet::Shape& s) { return s.left; });
    }

    SpreadsheetStatus setShapeWidth(const std::string& shape, double width) override
    {
        return changeShape(shape, ".Width = " + number(width), [&](RecordingSpreadsheet::Shape& s) {
            if (!(width > 0.0) || s.width <= 0.0)
                return false;
            s.height = s.height * width / s.width;
            s.width = width;
            return true;
        });
    }
    SpreadsheetStatus setShapeHeight(const std::string& shape, double height) override
    {
        return changeShape(shape, ".Height = " + number(height), [&](RecordingSpreadsheet::Shape& s) {
            if (!(height > 0.0) || s.height <= 0.0)
                return false;
            s.width = s.width * height / s.height;
            s.height = height;
            return true;
        });
    }
    SpreadsheetStatus setShapeTop(const std::string& shape, double top) override
    {
        return changeShape(shape, ".Top = " + number(top), [&](RecordingSpreadsheet::Shape& s) {
            s.top = top;
            return std::isfinite(top);
        });
    }
    SpreadsheetStatus setShapeLeft(const std::string& shape, double left) override
    {
        return changeShape(shape, ".Left = " + number(left), [&](RecordingSpreadsheet::Shape& s) {
            s.left = left;
            return std::isfinite(left);
        });
    }
    SpreadsheetStatus setShapeRotation(const std::string& shape, double degrees) override
    {
        return changeShape(shape, ".Rotation = " + number(degrees), [&](RecordingSpreadsheet::Shape& s) {
            if (!std::isfinite(degrees))
                return false;
            s.rotation = std::fmod(std::fmod(degrees, 360.0) + 360.0, 360.0);
            return true;
        });
    }
    SpreadsheetStatus incrementShapeLeft(const std::string& shape, double points) override
    {
        return changeShape(shape, ".IncrementLeft " + number(points), [&](RecordingSpreadsheet::Shape& s) {
            s.left += points;
            return std::isfinite(points);
        });
    }
    SpreadsheetStatus incrementShapeTop(const std::string& shape, double points) override
    {
        return changeShape(shape, ".IncrementTop " + number(points), [&](RecordingSpreadsheet::Shape& s) {
            s.top += points;
            return std::isfinite(points);
        });
    }

private:
    bool attached(const std::shared_ptr<RecordingSheetState>& sheet) const
    {
        return state_->open
               && std::find(state_->sheets.begin(), state_->sheets.end(), sheet) != state_->sheets.end();
    }

    // Records `Sheet("name")<suffix>`; false when the call is to fail.
    bool begin(const std::string& suffix)
    {
        if (!state_->record("Sheet(" + quotedText(sheet_->name) + ")" + suffix))
            return false;
        if (!attached(sheet_)) {
            state_->markFailed();
            return false;
        }
        return true;
    }

    template <typename Compute>
    SpreadsheetResult<double> rangeValue(CellRange range, const std::string& what, Compute compute)
    {
        if (!begin("." + rangeText(range) + what))
            return operationError("call failed");
        if (!onSheet(range.first) || !onSheet(range.last))
            return state_->fail("range outside the sheet");
        return compute(normalized(range));
    }

    template <typename Read>
    SpreadsheetResult<double> shapeValue(const std::string& name, const std::string& what, Read read)
    {
        if (!begin(".Shapes(" + quotedText(name) + ")" + what))
            return operationError("call failed");
        auto* shape = state_->findShape(*sheet_, name);
        if (!shape)
            return state_->fail("no shape named " + name);
        return read(*shape);
    }

    template <typename Change>
    SpreadsheetStatus changeShape(const std::string& name, const std::string& what, Change change)
    {
        if (!begin(".Shapes(" + quotedText(name) + ")" + what))
            return operationError("call failed");
        auto* shape = state_->findShape(*sheet_, name);
        if (!shape)
            return state_->fail("no shape named " + name);
        RecordingSpreadsheet::Shape before = *shape;
        if (!change(*shape)) {
            *shape = before;
            return state_->fail("shape value refused");
        }
        return xls::success();
    }

    std::shared_ptr<State> state_;
    std::shared_ptr<RecordingSheetState> sheet_;
};

class RecordingWorkbook final : public SpreadsheetWorkbook {
public:
    explicit RecordingWorkbook(std::shared_ptr<State> state) : state_(std::move(state)) {}

    SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> worksheet(const std::string& name) override
    {
        if (!begin("Workbook.Worksheets(" + quotedText(name) + ")"))
            return operationError("call failed");
        auto sheet = state_->findSheet(name);
        if (!sheet)
            return state_->fail("no sheet named " + name);
        return view(sheet);
    }

    SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> sheetAt(int position) override
    {
        if (!begin("Workbook.Sheets(" + std::to_string(position) + ")"))
            return operationError("call failed");
        if (position < 1 || position > static_cast<int>(state_->sheets.size()))
            return state_->fail("no sheet at position " + std::to_string(position));
        return view(state_->sheets[static_cast<std::size_t>(position - 1)]);
    }

    SpreadsheetResult<int> sheetCount() override
    {
        if (!begin("Workbook.Sheets.Count"))
            return operationError("call failed");
        return static_cast<int>(state_->sheets.size());
    }

    SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> activeSheet() override
    {
        if (!begin("Workbook.ActiveSheet"))
            return operationError("call failed");
        if (!state_->active)
            return state_->fail("no active sheet");
        return view(state_->active);
    }

    SpreadsheetStatus saveAs(const std::filesystem::path& path) override
    {
        if (!begin("Workbook.SaveAs(" + quotedText(path.string()) + ")"))
            return operationError("call failed");
        state_->saved.push_back(path);
        return xls::success();
    }

private:
    bool begin(const std::string& line)
    {
        if (!state_->record(line))
            return false;
        if (!state_->open) {
            state_->markFailed();
            return false;
        }
        return true;
    }
    std::shared_ptr<SpreadsheetWorksheet> view(const std::shared_ptr<RecordingSheetState>& sheet)
    {
        return std::make_shared<RecordingWorksheet>(state_, sheet);
    }

    std::shared_ptr<State> state_;
};

class RecordingApplication final : public SpreadsheetApplication {
public:
    explicit RecordingApplication(std::shared_ptr<State> state) : state_(std::move(state)) {}

    SpreadsheetResult<std::shared_ptr<SpreadsheetWorkbook>> openWorkbook(const std::filesystem::path& path) override
    {
        if (!state_->record("Application.Workbooks.Open(" + quotedText(path.string()) + ")"))
            return operationError("call failed");
        if (state_->openFails || state_->open)
            return state_->fail("workbook could not be opened: " + path.string());
        state_->sheets.clear();
        for (const auto& name : state_->initialSheets) {
            auto sheet = std::make_shared<RecordingSheetState>();
            sheet->name = name;
            if (auto found = state_->initialMerged.find(name); found != state_->initialMerged.end())
                sheet->merged = found->second;
            state_->sheets.push_back(sheet);
        }
        state_->active = state_->sheets.empty() ? nullptr : state_->sheets.front();
        state_->open = true;
        return std::shared_ptr<SpreadsheetWorkbook>(std::make_shared<RecordingWorkbook>(state_));
    }

    SpreadsheetStatus setScreenUpdating(bool value) override
    {
        if (!state_->record(std::string("Application.ScreenUpdating = ") + (value ? "True" : "False")))
            return operationError("call failed");
        state_->screenUpdating = value;
        return xls::success();
    }

    SpreadsheetStatus setDisplayAlerts(bool value) override
    {
        if (!state_->record(std::string("Application.DisplayAlerts = ") + (value ? "True" : "False")))
            return operationError("call failed");
        state_->displayAlerts = value;
        return xls::success();
    }

    SpreadsheetStatus quit() override
    {
        if (!state_->record("Application.Quit"))
            return operationError("call failed");
        state_->quit = true;
        state_->open = false; // the sheets stay inspectable; further calls fail
        return xls::success();
    }

private:
    std::shared_ptr<State> state_;
};

} // namespace

RecordingSpreadsheet::RecordingSpreadsheet(std::vector<std::string> sheetNames)
    : state_(std::make_shared<State>())
{
    state_->initialSheets = std::move(sheetNames);
}

RecordingSpreadsheet::~RecordingSpreadsheet() = default;

std::unique_ptr<SpreadsheetApplication> RecordingSpreadsheet::makeApplication()
{
    state_->quit = false;
    return std::make_unique<RecordingApplication>(state_);
}

SpreadsheetApplicationFactory RecordingSpreadsheet::factory()
{
    return [this](FitFor) { return makeApplication(); };
}

void RecordingSpreadsheet::setColumnWidthPoints(double points) { state_->columnPoints = points; }
void RecordingSpreadsheet::setColumnWidthPoints(int column, double points) { state_->columnPointsByColumn[column] = points; }
void RecordingSpreadsheet::setRowHeightPoints(double points) { state_->rowPoints = points; }
void RecordingSpreadsheet::setRowHeightPoints(int row, double points) { state_->rowPointsByRow[row] = points; }

void RecordingSpreadsheet::addMergedArea(const std::string& sheet, CellRange area)
{
    state_->initialMerged[sheet].push_back(normalized(area));
    if (auto open = state_->findSheet(sheet))
        open->merged.push_back(normalized(area));
}

void RecordingSpreadsheet::setNaturalSize(const std::filesystem::path& picture, double width, double height)
{
    state_->naturalSizes[picture] = {width, height};
}
void RecordingSpreadsheet::setDefaultNaturalSize(double width, double height)
{
    state_->defaultNaturalSize = {width, height};
}
void RecordingSpreadsheet::setPictureNamePrefix(std::string prefix) { state_->picturePrefix = std::move(prefix); }

void RecordingSpreadsheet::failCallsStartingWith(std::string prefix) { state_->failPrefixes.push_back(std::move(prefix)); }
void RecordingSpreadsheet::refuseSheetName(std::string name) { state_->refusedNames.insert(std::move(name)); }
void RecordingSpreadsheet::failPictureInsert(const std::filesystem::path& picture) { state_->failingPictures.insert(picture); }
void RecordingSpreadsheet::failOpen() { state_->openFails = true; }

const std::vector<std::string>& RecordingSpreadsheet::calls() const { return state_->calls; }

std::vector<std::string> RecordingSpreadsheet::failedCalls() const
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < state_->calls.size(); ++i)
        if (state_->failed[i])
            lines.push_back(state_->calls[i]);
    return lines;
}

void RecordingSpreadsheet::clearCalls()
{
    state_->calls.clear();
    state_->failed.clear();
}

bool RecordingSpreadsheet::workbookOpen() const { return state_->open; }

std::vector<std::string> RecordingSpreadsheet::sheetNames() const
{
    std::vector<std::string> names;
    if (state_->sheets.empty())
        return state_->initialSheets;
    for (const auto& sheet : state_->sheets)
        names.push_back(sheet->name);
    return names;
}

std::string RecordingSpreadsheet::activeSheetName() const { return state_->active ? state_->active->name : std::string(); }

std::optional<CellValue> RecordingSpreadsheet::cellValue(const std::string& sheet, CellAddress cell) const
{
    auto found = state_->findSheet(sheet);
    if (!found)
        return std::nullopt;
    auto value = found->values.find({cell.row, cell.column});
    return value != found->values.end() ? std::optional<CellValue>(value->second) : std::nullopt;
}

std::optional<std::string> RecordingSpreadsheet::numberFormat(const std::string& sheet, CellAddress cell) const
{
    auto found = state_->findSheet(sheet);
    if (!found)
        return std::nullopt;
    auto format = found->formats.find({cell.row, cell.column});
    return format != found->formats.end() ? std::optional<std::string>(format->second) : std::nullopt;
}

double RecordingSpreadsheet::columnWidthCharacters(const std::string& sheet, int column) const
{
    auto found = state_->findSheet(sheet);
    const double points = found ? state_->columnWidth(*found, column) : state_->columnPoints;
    return xls::column_width::charactersFromPixels(static_cast<int>(std::lround(points / 0.75)), digitWidth);
}

std::vector<RecordingSpreadsheet::Shape> RecordingSpreadsheet::shapes(const std::string& sheet) const
{
    auto found = state_->findSheet(sheet);
    return found ? found->shapes : std::vector<Shape>{};
}

std::optional<CellAddress> RecordingSpreadsheet::insertionPoint(const std::string& sheet) const
{
    auto found = state_->findSheet(sheet);
    return found ? std::optional<CellAddress>(found->insertionPoint) : std::nullopt;
}

std::vector<std::filesystem::path> RecordingSpreadsheet::savedPaths() const { return state_->saved; }
std::optional<bool> RecordingSpreadsheet::screenUpdating() const { return state_->screenUpdating; }
std::optional<bool> RecordingSpreadsheet::displayAlerts() const { return state_->displayAlerts; }
bool RecordingSpreadsheet::quitCalled() const { return state_->quit; }

} // namespace tavorin::test
