#include "InsertArguments.h"

#include <charconv>
#include <sstream>

namespace tavorin::batch {
namespace {

constexpr int largestChooserNumber = 300;

std::optional<int> wholeNumber(const std::string& text, int low, int high)
{
    int value = 0;
    auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

// Reads the options one by one; the first wrong one stops it with a message naming it.
class Parser {
public:
    explicit Parser(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    InsertParse parse()
    {
        InsertArguments result;
        std::vector<std::string> positional;
        for (index_ = 0; index_ < arguments_.size() && error_.empty(); ++index_) {
            const std::string& argument = arguments_[index_];
            if (argument == "--") {
                positional.insert(positional.end(), arguments_.begin() + static_cast<long>(index_) + 1,
                                  arguments_.end());
                break;
            }
            if (argument.rfind("--", 0) == 0)
                option(argument, result);
            else
                positional.push_back(argument);
        }
        if (error_.empty() && positional.empty())
            error_ = "insert needs a workbook and at least one picture";
        else if (error_.empty() && positional.size() < 2)
            error_ = "insert needs at least one picture after the workbook";
        if (!error_.empty())
            return {std::nullopt, error_};
        result.options.workbookPath = positional.front();
        result.options.workbookChosen = true;
        result.pictures.assign(positional.begin() + 1, positional.end());
        if (result.marks.size() > result.pictures.size())
            return {std::nullopt, "--marks: " + std::to_string(result.marks.size()) + " marks for " +
                                      std::to_string(result.pictures.size()) + " pictures"};
        return {std::move(result), {}};
    }

private:
    const std::string* value(const std::string& name)
    {
        if (index_ + 1 >= arguments_.size()) {
            error_ = name + ": a value is missing";
            return nullptr;
        }
        return &arguments_[++index_];
    }

    void fail(const std::string& name, const std::string& text, const std::string& expected)
    {
        error_ = name + ": '" + text + "' is not " + expected;
    }

    std::optional<int> number(const std::string& name, const std::string& text, int low, int high)
    {
        auto parsed = wholeNumber(text, low, high);
        if (!parsed)
            fail(name, text, "a whole number from " + std::to_string(low) + " to " + std::to_string(high));
        return parsed;
    }

    std::optional<int> column(const std::string& name, const std::string& text)
    {
        auto parsed = columnFromLetters(text);
        if (!parsed)
            fail(name, text, "a column from A to IV");
        return parsed;
    }

    // ROW:COL, the first block's caption cell.
    bool captionCell(const std::string& name, const std::vector<std::string>& parts, CaptionPlace& place)
    {
        if (parts.size() < 2) {
            fail(name, parts.empty() ? "" : parts[0], "ROW:COL");
            return false;
        }
        auto row = number(name, parts[0], 1, largestChooserNumber);
        if (!row)
            return false;
        auto col = column(name, parts[1]);
        if (!col)
            return false;
        place = CaptionPlace{true, static_cast<double>(*row), *col};
        return true;
    }

    void option(const std::string& name, InsertArguments& result)
    {
        RunOptions& options = result.options;
        if (name == "--unique") {
            result.unique = true;
        } else if (name == "--sort") {
            result.sort = true;
        } else if (name == "--force") {
            result.force = true;
        } else if (name == "--date-name") {
            options.sheetNameFromDate = true;
        } else if (name == "--sheet") {
            if (auto text = value(name))
                result.sheet = *text;
        } else if (name == "--sheet-name") {
            if (auto text = value(name))
                options.sheetNameText = QString::fromStdString(*text);
        } else if (name == "--output") {
            if (auto text = value(name))
                result.output = *text;
        } else if (name == "--columns") {
            columns(name, options);
        } else if (name == "--rows") {
            rows(name, options);
        } else if (name == "--spacing") {
            if (auto text = value(name))
                if (auto spacing = number(name, *text, 0, largestChooserNumber))
                    options.rowSpacing = *spacing;
        } else if (name == "--per-sheet") {
            if (auto text = value(name)) {
                if (*text == "ALL" || *text == "all")
                    options.picturesPerSheet = 0;
                else if (auto count = number(name, *text, 1, largestChooserNumber))
                    options.picturesPerSheet = *count;
            }
        } else if (name == "--magnification") {
            if (auto text = value(name))
                if (auto percent = number(name, *text, 1, 100))
                    options.magnificationText = QString::number(*percent);
        } else if (name == "--pair-gap") {
            if (auto text = value(name))
                if (auto gap = number(name, *text, 0, largestChooserNumber)) {
                    options.pairGap = *gap;
                    options.twoColumnForm = true;
                    options.singleColumnForm = false;
                }
        } else if (name == "--date-caption") {
            dateCaption(name, options);
        } else if (name == "--number-caption") {
            numberCaption(name, options);
        } else if (name == "--name-caption") {
            nameCaption(name, options);
        } else if (name == "--marks") {
            marks(name, result);
        } else if (name == "--fit-for") {
            if (auto text = value(name)) {
                if (*text == "excel")
                    options.fitFor = FitFor::Excel;
                else if (*text == "libreoffice")
                    options.fitFor = FitFor::LibreOffice;
                else
                    fail(name, *text, "excel or libreoffice");
            }
        } else if (name == "--picture-dpi") {
            if (auto text = value(name))
                if (auto dpi = number(name, *text, 50, 600))
                    options.pictureDpi = *dpi;
        } else if (name == "--jpeg-quality") {
            if (auto text = value(name))
                if (auto quality = number(name, *text, 1, 100))
                    options.jpegQuality = *quality;
        } else if (name == "--ignore-orientation") {
            options.photoOrientation = false;
        } else if (name == "--date-source") {
            if (auto text = value(name)) {
                if (*text == "created")
                    options.dateSource = DateSource::FileCreated;
                else if (*text == "taken")
                    options.dateSource = DateSource::PhotoTaken;
                else
                    fail(name, *text, "created or taken");
            }
        } else {
            error_ = "unknown option " + name;
        }
    }

    void columns(const std::string& name, RunOptions& options)
    {
        auto text = value(name);
        if (!text)
            return;
        auto parts = split(*text, ':');
        if (parts.size() != 2)
            return fail(name, *text, "C1:C2 (column letters)");
        auto first = column(name, parts[0]);
        auto last = first ? column(name, parts[1]) : std::nullopt;
        if (!first || !last)
            return;
        if (*first > *last)
            return fail(name, *text, "a start column left of or equal to the end column");
        options.startColumn = *first;
        options.endColumn = *last;
    }

    void rows(const std::string& name, RunOptions& options)
    {
        auto text = value(name);
        if (!text)
            return;
        auto parts = split(*text, ':');
        if (parts.size() != 2)
            return fail(name, *text, "R1:R2");
        auto first = number(name, parts[0], 1, largestChooserNumber);
        auto last = first ? number(name, parts[1], 1, largestChooserNumber) : std::nullopt;
        if (!first || !last)
            return;
        if (*first > *last)
            return fail(name, *text, "a start row above or equal to the end row");
        options.startRow = *first;
        options.endRow = *last;
        options.startRowIndex = *first - 1;
        options.endRowIndex = *last - 1;
    }

    void dateCaption(const std::string& name, RunOptions& options)
    {
        auto text = value(name);
        if (!text)
            return;
        auto parts = split(*text, ':');
        if (parts.size() > 3 || !captionCell(name, parts, options.dateCaption))
            return error_.empty() ? fail(name, *text, "ROW:COL[:FORMAT]") : void();
        if (parts.size() == 3)
            if (auto format = number(name, parts[2], 0, 7))
                options.dateFormat = *format;
    }

    void numberCaption(const std::string& name, RunOptions& options)
    {
        auto text = value(name);
        if (!text)
            return;
        auto parts = split(*text, ':');
        if (parts.size() > 4 || !captionCell(name, parts, options.numberCaption))
            return error_.empty() ? fail(name, *text, "ROW:COL[:FIRST[:plain]]") : void();
        if (parts.size() >= 3) {
            auto first = number(name, parts[2], -32768, 32767);
            if (!first)
                return;
            options.firstNumberText = QString::number(*first);
        }
        if (parts.size() == 4) {
            if (parts[3] != "plain")
                return fail(name, parts[3], "'plain'");
            options.numberWithPrefix = false;
        }
    }

    void nameCaption(const std::string& name, RunOptions& options)
    {
        auto text = value(name);
        if (!text)
            return;
        auto parts = split(*text, ':');
        if (parts.size() > 3 || !captionCell(name, parts, options.nameCaption))
            return error_.empty() ? fail(name, *text, "ROW:COL[:noext]") : void();
        if (parts.size() == 3) {
            if (parts[2] != "noext")
                return fail(name, parts[2], "'noext'");
            options.nameWithoutExtension = true;
        }
    }

    void marks(const std::string& name, InsertArguments& result)
    {
        auto text = value(name);
        if (!text)
            return;
        result.marks.clear();
        for (const auto& part : split(*text, ',')) {
            auto degrees = wholeNumber(part, 0, 270);
            if (!degrees || *degrees % 90 != 0)
                return fail(name, part, "0, 90, 180 or 270");
            result.marks.push_back(*degrees);
        }
    }

    const std::vector<std::string>& arguments_;
    std::size_t index_ = 0;
    std::string error_;
};

} // namespace

std::optional<int> columnFromLetters(const std::string& letters)
{
    if (letters.empty() || letters.size() > 2)
        return std::nullopt;
    int column = 0;
    for (char letter : letters) {
        char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
        if (upper < 'A' || upper > 'Z')
            return std::nullopt;
        column = column * 26 + (upper - 'A' + 1);
    }
    if (column > 256)
        return std::nullopt;
    return column;
}

InsertParse parseInsertArguments(const std::vector<std::string>& arguments)
{
    return Parser(arguments).parse();
}

std::string insertOptionsHelp()
{
    return "Places the pictures into the workbook as the window's START does, and saves it over its\n"
           "file (or into --output). Defaults are the window's first-start values.\n"
           "  --sheet NAME            the worksheet that receives the pictures or is copied (default: the first)\n"
           "  --columns C1:C2         first and last column of each picture's block, letters (default A:A)\n"
           "  --rows R1:R2            first and last row of the first block, 1-300 (default 1:1)\n"
           "  --spacing N             empty rows between blocks, 0-300 (default 0)\n"
           "  --per-sheet N|ALL       pictures per sheet copy, 1-300, or ALL on the sheet itself (default ALL)\n"
           "  --magnification P       percent of the fitting size, 1-100 (default 100)\n"
           "  --pair-gap N            two pictures side by side, N empty columns between them (0-300)\n"
           "  --sheet-name TEXT       copies are named TEXT(1), TEXT(2), ... (needed with --per-sheet N)\n"
           "  --date-name             copies are named after today's date instead\n"
           "  --date-caption ROW:COL[:FORMAT]      the picture's date (see --date-source); FORMAT 0-7 as in the window\n"
           "  --number-caption ROW:COL[:FIRST[:plain]]  running numbers from FIRST (default 0), \"No.\" unless plain\n"
           "  --name-caption ROW:COL[:noext]       the file name, without its extension with noext\n"
           "  --marks LIST            rotation per picture in order: 0, 90, 180 or 270, comma-separated\n"
           "  --unique                leave out pictures whose name is already listed (as the window's check box)\n"
           "  --sort                  sort the pictures by file name first\n"
           "  --output FILE           write the result to FILE and leave WORKBOOK untouched\n"
           "  --force                 run even while a spreadsheet application is open (never past a lock file)\n"
           "  --fit-for excel|libreoffice  fit pictures in the columns Excel draws (default) or in the wider\n"
           "                          ones LibreOffice draws, for workbooks looked at in LibreOffice\n"
           "  --ignore-orientation    place photos as stored, without turning them upright by their EXIF\n"
           "                          orientation (as Excel 97-2003 inserts them)\n"
           "  --date-source created|taken  the date caption shows the file's creation date (default) or\n"
           "                          the date the photo was taken (EXIF), or its creation date without one\n"
           "  --picture-dpi N         store each picture with at most N pixels per inch (50-600) of the size\n"
           "                          it is shown at; smaller ones and metafiles stay as they are\n"
           "  --jpeg-quality Q        the JPEG quality of reduced photos, 1-100 (default 85)\n"
           "Prints one line with what was placed and written, then one line per picture not placed.";
}

} // namespace tavorin::batch
