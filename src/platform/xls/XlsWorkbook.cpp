#include "platform/xls/XlsWorkbook.h"

#include "platform/xls/model/ActiveSheet.h"
#include "platform/xls/model/SheetNameRules.h"
#include "platform/xls/XlsSession.h"
#include "platform/xls/XlsWorksheet.h"

#include <QString>

namespace tavorin::xls {

XlsWorkbook::XlsWorkbook(std::shared_ptr<XlsSession> session, std::unique_ptr<WorkbookDocument> document)
    : session_(std::move(session)), document_(std::move(document))
{
    // The sheet the workbook was saved with in front (WINDOW1.itabCur), else the first.
    const auto& model = document_->model();
    if (!model.sheets.empty())
        active_ = model.sheets[ActiveSheet::current(model)];
}

XlsWorkbook::~XlsWorkbook() = default;

void XlsWorkbook::close()
{
    handles_.clear();
    active_.reset();
    document_.reset();
}

Result<WorkbookDocument*> XlsWorkbook::document()
{
    if (session_->quit || !document_)
        return operationError("the workbook is closed");
    return document_.get();
}

Result<std::size_t> XlsWorkbook::positionOf(const SheetModel& sheet)
{
    auto doc = document();
    if (!doc)
        return doc.error();
    const auto& sheets = (*doc)->model().sheets;
    for (std::size_t i = 0; i < sheets.size(); ++i)
        if (sheets[i].get() == &sheet)
            return i;
    return operationError("the sheet is not in the workbook");
}

std::shared_ptr<SpreadsheetWorksheet> XlsWorkbook::handleFor(const std::shared_ptr<SheetModel>& sheet)
{
    auto& handle = handles_[sheet.get()];
    if (!handle)
        handle = std::make_shared<XlsWorksheet>(weak_from_this(), sheet, session_->fitFor);
    return handle;
}

SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> XlsWorkbook::worksheet(const std::string& name)
{
    auto doc = document();
    if (!doc)
        return doc.error();
    auto wanted = QString::fromStdString(name).toStdU16String();
    for (const auto& sheet : (*doc)->model().sheets)
        if (sheet->isWorksheet() && sheet->name == wanted)
            return handleFor(sheet);
    return operationError("the workbook has no worksheet named \"" + name + "\"");
}

SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> XlsWorkbook::sheetAt(int position)
{
    auto doc = document();
    if (!doc)
        return doc.error();
    const auto& sheets = (*doc)->model().sheets;
    if (position < 1 || static_cast<std::size_t>(position) > sheets.size())
        return operationError("there is no sheet at position " + std::to_string(position));
    return handleFor(sheets[static_cast<std::size_t>(position - 1)]);
}

SpreadsheetResult<int> XlsWorkbook::sheetCount()
{
    auto doc = document();
    if (!doc)
        return doc.error();
    return static_cast<int>((*doc)->model().sheets.size());
}

SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> XlsWorkbook::activeSheet()
{
    auto doc = document();
    if (!doc)
        return doc.error();
    if (!active_)
        return operationError("the workbook has no active sheet");
    return handleFor(active_);
}

SpreadsheetStatus XlsWorkbook::saveAs(const std::filesystem::path& path)
{
    auto doc = document();
    if (!doc)
        return doc.error();
    if (auto allowed = session_->mayReplace(path); !allowed)
        return allowed;
    // The workbook opens where the work was left, as Excel saves it.
    if (activated_ && active_)
        if (auto position = positionOf(*active_))
            ActiveSheet::make((*doc)->model(), *position);
    // Reducing pictures takes most of a save's time when it is on; writing the rest.
    const auto& told = session_->saveProgress;
    const bool reducing = session_->reduction.on();
    notReduced_ = (*doc)->reducePictures(session_->reduction, [&](std::size_t done, std::size_t total) {
        if (told)
            told(0.8 * static_cast<double>(done) / static_cast<double>(total));
    });
    return (*doc)->saveAs(path, sinkFactory_, [&](double written) {
        if (told)
            told(reducing ? 0.8 + 0.2 * written : written);
    });
}

} // namespace tavorin::xls
