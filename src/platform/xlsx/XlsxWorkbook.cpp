#include "platform/xlsx/XlsxWorkbook.h"

#include "platform/xls/XlsSession.h"
#include "platform/xlsx/XlsxWorksheet.h"

namespace tavorin::xlsx {

XlsxWorkbook::XlsxWorkbook(std::shared_ptr<xls::XlsSession> session, std::unique_ptr<XlsxDocument> document)
    : session_(std::move(session)), document_(std::move(document))
{
    document_->setFitFor(session_->fitFor);
    // The sheet the workbook was saved with in front, else the first.
    const auto& sheets = document_->sheets();
    if (!sheets.empty())
        active_ = sheets[document_->activeTab()];
}

XlsxWorkbook::~XlsxWorkbook() = default;

void XlsxWorkbook::close()
{
    handles_.clear();
    active_.reset();
    document_.reset();
}

Result<XlsxDocument*> XlsxWorkbook::document()
{
    if (session_->quit || !document_)
        return operationError("the workbook is closed");
    return document_.get();
}

std::shared_ptr<SpreadsheetWorksheet> XlsxWorkbook::handleFor(const std::shared_ptr<XlsxSheet>& sheet)
{
    auto& handle = handles_[sheet.get()];
    if (!handle)
        handle = std::make_shared<XlsxWorksheet>(weak_from_this(), sheet);
    return handle;
}

SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> XlsxWorkbook::worksheet(const std::string& name)
{
    auto doc = document();
    if (!doc)
        return doc.error();
    for (const auto& sheet : (*doc)->sheets())
        if (sheet->kind == WorkbookPart::SheetKind::Worksheet && sheet->name == name)
            return handleFor(sheet);
    return operationError("the workbook has no worksheet named \"" + name + "\"");
}

SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> XlsxWorkbook::sheetAt(int position)
{
    auto doc = document();
    if (!doc)
        return doc.error();
    const auto& sheets = (*doc)->sheets();
    if (position < 1 || static_cast<std::size_t>(position) > sheets.size())
        return operationError("there is no sheet at position " + std::to_string(position));
    return handleFor(sheets[static_cast<std::size_t>(position - 1)]);
}

SpreadsheetResult<int> XlsxWorkbook::sheetCount()
{
    auto doc = document();
    if (!doc)
        return doc.error();
    return static_cast<int>((*doc)->sheets().size());
}

SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> XlsxWorkbook::activeSheet()
{
    auto doc = document();
    if (!doc)
        return doc.error();
    if (!active_)
        return operationError("the workbook has no active sheet");
    return handleFor(active_);
}

SpreadsheetStatus XlsxWorkbook::saveAs(const std::filesystem::path& path)
{
    auto doc = document();
    if (!doc)
        return doc.error();
    if (auto allowed = session_->mayReplace(path); !allowed)
        return allowed;
    // Reducing pictures takes most of a save's time when it is on; writing the package the rest.
    const auto& told = session_->saveProgress;
    const double reducing = session_->reduction.on() ? 0.9 : 0.0;
    notReduced_ = (*doc)->reducePictures(session_->reduction, [&](std::size_t done, std::size_t total) {
        if (told)
            told(reducing * static_cast<double>(done) / static_cast<double>(total));
    });
    auto saved = (*doc)->saveAs(path, [&](double written) {
        if (told)
            told(reducing + (1 - reducing) * written);
    });
    if (told)
        told(1);
    return saved;
}

} // namespace tavorin::xlsx
