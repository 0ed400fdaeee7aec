#pragma once

#include "platform/FitFor.h"
#include "platform/xlsx/XlsxError.h"
#include "platform/xlsx/drawing/MediaStore.h"
#include "platform/xlsx/model/StylesPart.h"
#include "platform/xlsx/model/WorkbookPart.h"
#include "platform/xlsx/model/XlsxSheet.h"
#include "platform/xls/compound/AtomicSave.h"
#include "platform/xlsx/package/Package.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavorin::xlsx {

// An .xlsx or .xlsm file opened for editing: the package, its workbook part and the sheets in
// tab order. Parts are read when an operation first needs them; everything else, macros
// (vbaProject.bin) included, goes into the saved package unchanged.
class XlsxDocument {
public:
    static Result<std::unique_ptr<XlsxDocument>> open(const std::filesystem::path& path);

    const std::vector<std::shared_ptr<XlsxSheet>>& sheets() const { return sheets_; }
    std::optional<std::size_t> positionOf(const XlsxSheet& sheet) const;
    bool date1904() const { return workbook_.date1904(); }
    // The sheet the workbook opens on (the first workbook view's activeTab).
    std::size_t activeTab() const;

    // Reads the sheet's part, relationships and geometry unless done before.
    Status load(XlsxSheet& sheet);
    Result<StylesPart*> styles();
    int maximumDigitWidth();
    // Ranges and pictures measured in Excel's columns, or in LibreOffice's.
    void setFitFor(FitFor fitFor) { fitFor_ = fitFor; }
    // The sheet's geometries anew from its part (after it was read or a column changed).
    void measure(XlsxSheet& sheet);
    // The sheet's drawing, made (with its relationship) when create is set and it has none.
    Result<DrawingPart*> drawing(XlsxSheet& sheet, bool create);
    MediaStore& media() { return media_; }
    Package& package() { return package_; }
    WorkbookPart& workbook() { return workbook_; }

    Status rename(XlsxSheet& sheet, const std::string& name);
    // A copy of the sheet at `source` right after the sheet at `anchor`; returns its position.
    Result<std::size_t> copySheet(std::size_t source, std::size_t anchor);
    // A formula cell was overwritten: the calculation chain would name a cell without a formula,
    // which Excel repairs with a warning; it is left out and Excel builds it anew.
    void dropCalculationChain();

    // Stores each picture added here with at most options.dpi pixels per inch of the largest
    // frame it shows in on any sheet; done before saving.
    // Gives the pictures whose pixels did not decode: they are stored as they were.
    std::vector<std::filesystem::path> reducePictures(const pictures::ReductionOptions& options,
                                                      const pictures::PictureReducer::Progress& progress = {});

    Status saveAs(const std::filesystem::path& path, const std::function<void(double)>& progress = {});

private:
    XlsxDocument(Package package, WorkbookPart workbook, const std::filesystem::path& path);
    Status flush();
    void updateApplicationProperties();

    Package package_;
    WorkbookPart workbook_;
    xls::AtomicSave atomicSave_;
    std::optional<StylesPart> styles_;
    std::optional<int> maximumDigitWidth_;
    FitFor fitFor_ = FitFor::Excel;
    std::optional<double> libreOfficeDigitTwips_;
    std::vector<std::shared_ptr<XlsxSheet>> sheets_;
    std::vector<std::string> originalWorksheetNames_;
    MediaStore media_;
    bool workbookChanged_ = false;
    std::filesystem::path sourcePath_;
    std::error_code ignored_;

    friend class SheetCopier;
};

} // namespace tavorin::xlsx
