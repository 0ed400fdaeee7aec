#include "platform/xlsx/model/XlsxDocument.h"

#include "platform/xls/geometry/DigitAdvance.h"
#include "platform/xls/geometry/MaximumDigitWidth.h"
#include "platform/xls/model/SheetNameRules.h"
#include "platform/xlsx/model/AppProperties.h"
#include "platform/xlsx/model/SheetCopier.h"
#include "platform/xlsx/package/PackageWriter.h"
#include "platform/xlsx/package/PartName.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace tavorin::xlsx {
namespace {

std::u16string utf16(const std::string& text) { return QString::fromStdString(text).toStdU16String(); }

constexpr const char* drawingType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/drawing";
constexpr const char* drawingContentType = "application/vnd.openxmlformats-officedocument.drawing+xml";

} // namespace

XlsxDocument::XlsxDocument(Package package, WorkbookPart workbook, const std::filesystem::path& path)
    : package_(std::move(package)), workbook_(std::move(workbook)), atomicSave_(path)
{
}

Result<std::unique_ptr<XlsxDocument>> XlsxDocument::open(const std::filesystem::path& path)
{
    xls::AtomicSave stampBeforeReading(path);
    auto package = Package::open(path);
    if (!package)
        return package.error();
    auto workbook = WorkbookPart::read(*package);
    if (!workbook)
        return workbook.error();
    std::unique_ptr<XlsxDocument> document(new XlsxDocument(std::move(*package), std::move(*workbook), path));
    document->sourcePath_ = std::filesystem::absolute(path);
    document->atomicSave_ = std::move(stampBeforeReading);
    for (const auto& item : document->workbook_.sheets()) {
        auto sheet = std::make_shared<XlsxSheet>();
        sheet->element = item.element;
        sheet->name = item.name;
        sheet->part = item.part;
        sheet->kind = item.kind;
        if (item.kind == WorkbookPart::SheetKind::Worksheet)
            document->originalWorksheetNames_.push_back(item.name);
        document->sheets_.push_back(std::move(sheet));
    }
    return document;
}

std::optional<std::size_t> XlsxDocument::positionOf(const XlsxSheet& sheet) const
{
    for (std::size_t i = 0; i < sheets_.size(); ++i)
        if (sheets_[i].get() == &sheet)
            return i;
    return std::nullopt;
}

std::size_t XlsxDocument::activeTab() const
{
    std::size_t tab = workbook_.activeTab();
    return tab < sheets_.size() ? tab : 0;
}

Result<StylesPart*> XlsxDocument::styles()
{
    if (styles_)
        return &*styles_;
    std::string part = workbook_.stylesPart();
    std::string bytes;
    if (!part.empty() && package_.exists(part)) {
        auto read = package_.read(part);
        if (!read)
            return read.error();
        bytes = std::move(*read);
    }
    auto parsed = StylesPart::parse(bytes, part);
    if (!parsed)
        return parsed.error();
    styles_ = std::move(*parsed);
    return &*styles_;
}

int XlsxDocument::maximumDigitWidth()
{
    if (!maximumDigitWidth_) {
        auto found = styles();
        StylesPart::Font font = found ? (*found)->normalFont() : StylesPart::Font{};
        maximumDigitWidth_ = xls::maximumDigitWidth(font.name, static_cast<int>(std::lround(font.points * 20))).pixels;
    }
    return *maximumDigitWidth_;
}

void XlsxDocument::measure(XlsxSheet& sheet)
{
    XlsxSheetGeometry::Layout layout = sheet.content->layout(maximumDigitWidth());
    sheet.geometry.emplace(layout);
    sheet.libreOfficeGeometry.reset();
    if (fitFor_ != FitFor::LibreOffice)
        return;
    // LibreOffice's digit: the advance of '0' in the face it finds for the Normal font here,
    // looked up once per workbook.
    if (!libreOfficeDigitTwips_) {
        auto found = styles();
        StylesPart::Font font = found ? (*found)->normalFont() : StylesPart::Font{};
        const double points = font.points > 0 && font.points <= 409 ? font.points : 11.0;
        const double advance = xls::digitAdvanceEm(font.name).value_or(xls::digitAdvanceOfFace(font.name));
        libreOfficeDigitTwips_ = advance * points * 20.0;
    }
    layout.libreOfficeDigitTwips = libreOfficeDigitTwips_;
    sheet.libreOfficeGeometry.emplace(layout);
}

Status XlsxDocument::load(XlsxSheet& sheet)
{
    if (sheet.content)
        return success();
    if (sheet.kind != WorkbookPart::SheetKind::Worksheet || sheet.part.empty())
        return operationError("the sheet \"" + sheet.name + "\" is not a worksheet");
    auto bytes = package_.read(sheet.part);
    if (!bytes)
        return bytes.error();
    auto content = SheetPart::parse(*bytes, sheet.part);
    if (!content)
        return content.error();
    auto relationships = package_.relationshipsOf(sheet.part);
    if (!relationships)
        return relationships.error();
    sheet.content = std::move(*content);
    sheet.relationships = std::move(*relationships);
    measure(sheet);
    return success();
}

Result<DrawingPart*> XlsxDocument::drawing(XlsxSheet& sheet, bool create)
{
    if (sheet.drawing)
        return sheet.drawing.get();
    if (auto loaded = load(sheet); !loaded)
        return loaded.error();
    std::string id = sheet.content->drawingRelationship();
    if (const auto* link = id.empty() ? nullptr : sheet.relationships.find(id); link && !link->external) {
        auto part = PartName::resolve(sheet.part, link->target);
        if (!part || !package_.exists(*part))
            return packageError("the sheet's drawing is missing", sheet.part);
        auto bytes = package_.read(*part);
        if (!bytes)
            return bytes.error();
        auto parsed = DrawingPart::parse(*bytes, *part);
        if (!parsed)
            return parsed.error();
        auto relationships = package_.relationshipsOf(*part);
        if (!relationships)
            return relationships.error();
        sheet.drawingPart = *part;
        sheet.drawing = std::move(*parsed);
        sheet.drawingRelationships = std::move(*relationships);
        return sheet.drawing.get();
    }
    if (!create)
        return packageError("the sheet has no drawing", sheet.part);
    sheet.drawingPart = package_.freeName("xl/drawings/", "drawing", "xml");
    package_.write(sheet.drawingPart, {}); // taken now; written when the workbook is saved
    sheet.drawing = DrawingPart::create();
    sheet.drawingChanged = true;
    package_.contentTypes().setOverride(sheet.drawingPart, drawingContentType);
    sheet.content->setDrawingRelationship(sheet.relationships.add(drawingType, "/" + sheet.drawingPart));
    sheet.contentChanged = sheet.relationshipsChanged = true;
    return sheet.drawing.get();
}

Status XlsxDocument::rename(XlsxSheet& sheet, const std::string& name)
{
    std::vector<std::u16string> others;
    for (const auto& other : sheets_)
        if (other.get() != &sheet)
            others.push_back(utf16(other->name));
    if (auto status = xls::SheetNameRules::check(utf16(name), others); !status)
        return status;
    if (name == sheet.name)
        return success();
    workbook_.renameInNames(sheet.name, name);
    sheet.element.attribute("name").set_value(name.c_str());
    sheet.name = name;
    workbookChanged_ = true;
    return success();
}

Result<std::size_t> XlsxDocument::copySheet(std::size_t source, std::size_t anchor)
{
    if (source >= sheets_.size() || anchor >= sheets_.size())
        return operationError("there is no such sheet to copy");
    if (auto loaded = load(*sheets_[source]); !loaded)
        return loaded.error();
    auto copied = SheetCopier(*this).copy(source, anchor);
    if (copied)
        workbookChanged_ = true;
    return copied;
}

void XlsxDocument::dropCalculationChain()
{
    const auto* link = workbook_.relationships().firstOfKind("calcChain");
    if (!link)
        return;
    if (auto part = PartName::resolve(workbook_.part(), link->target)) {
        package_.remove(*part);
        package_.contentTypes().removeOverride(*part);
    }
    workbook_.relationships().remove(std::string(link->id));
    workbookChanged_ = true;
}

void XlsxDocument::updateApplicationProperties()
{
    std::vector<std::string> worksheets;
    for (const auto& sheet : sheets_)
        if (sheet->kind == WorkbookPart::SheetKind::Worksheet)
            worksheets.push_back(sheet->name);
    if (worksheets == originalWorksheetNames_)
        return;
    auto root = package_.relationshipsOf("");
    if (!root)
        return;
    const auto* properties = root->firstOfKind("extended-properties");
    if (!properties)
        return;
    auto part = PartName::resolve("", properties->target);
    if (!part || !package_.exists(*part))
        return;
    auto bytes = package_.read(*part);
    if (!bytes)
        return;
    if (auto updated = AppProperties::withWorksheets(*bytes, originalWorksheetNames_, worksheets))
        package_.write(*part, std::move(*updated));
}

Status XlsxDocument::flush()
{
    for (const auto& sheet : sheets_) {
        if (sheet->contentChanged && sheet->content)
            package_.write(sheet->part, sheet->content->serialize());
        if (sheet->relationshipsChanged)
            package_.writeRelationships(sheet->part, sheet->relationships);
        if (sheet->drawingChanged && sheet->drawing) {
            package_.write(sheet->drawingPart, sheet->drawing->serialize());
            package_.writeRelationships(sheet->drawingPart, sheet->drawingRelationships);
        }
        sheet->contentChanged = sheet->relationshipsChanged = sheet->drawingChanged = false;
    }
    if (styles_ && styles_->changed()) {
        std::string part = workbook_.stylesPart();
        if (part.empty()) {
            part = "xl/styles.xml";
            workbook_.relationships().add("http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles",
                                          "/" + part);
            package_.contentTypes().setOverride(part, "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml");
            workbookChanged_ = true;
        }
        package_.write(part, styles_->serialize());
    }
    if (workbookChanged_) {
        package_.write(workbook_.part(), workbook_.serialize());
        package_.writeRelationships(workbook_.part(), workbook_.relationships());
        updateApplicationProperties();
    }
    if (!package_.changed().empty() || workbookChanged_)
        package_.write(ContentTypes::partName, package_.contentTypes().serialize());
    return success();
}

std::vector<std::filesystem::path> XlsxDocument::reducePictures(const pictures::ReductionOptions& options,
                                                                const pictures::PictureReducer::Progress& progress)
{
    if (!options.on())
        return {};
    std::map<std::string, std::pair<double, double>> largest;
    for (const auto& sheet : sheets_)
        for (const auto& [name, part] : sheet->mediaParts)
            if (auto frame = sheet->frames.find(name); frame != sheet->frames.end()) {
                auto& [width, height] = largest[part];
                width = std::max(width, frame->second.width);
                height = std::max(height, frame->second.height);
            }
    return media_.reduce(package_, largest, options, progress);
}

Status XlsxDocument::saveAs(const std::filesystem::path& path, const std::function<void(double)>& progress)
{
    if (auto flushed = flush(); !flushed)
        return flushed;
    // Nothing was changed (every operation failed on a damaged part, say): the file over which the
    // workbook would be saved is left byte for byte.
    if (package_.changed().empty() && std::filesystem::equivalent(path, sourcePath_, ignored_))
        return success();
    return atomicSave_.saveAs(path, [this, &progress](const std::filesystem::path& temporary) {
        return PackageWriter::write(package_, temporary, progress);
    });
}

} // namespace tavorin::xlsx
