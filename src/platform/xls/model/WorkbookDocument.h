#pragma once

#include "platform/xls/compound/AtomicSave.h"
#include "platform/xls/compound/CompoundFileWriter.h"
#include "platform/xls/compound/OutputSink.h"
#include "platform/pictures/PictureReducer.h"
#include "platform/xls/Result.h"
#include "platform/xls/model/WorkbookFile.h"
#include "platform/xls/model/WorkbookModel.h"

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace tavorin::xls {

// An .xls file opened for editing: the compound file it came from (its other streams and
// storages are copied through on save) and the model of its Workbook stream.
class WorkbookDocument {
public:
    // Makes the sink a save writes into; the default creates the file (which must not exist).
    using SinkFactory = std::function<Result<std::unique_ptr<OutputSink>>(const std::filesystem::path&)>;

    static Result<std::unique_ptr<WorkbookDocument>> open(const std::filesystem::path& path);

    // Excel opens no compound file of 512-byte sectors larger than this, and no stream in one.
    static constexpr std::uint64_t largestFile = 0x80000000ull;

    WorkbookModel& model() { return model_; }
    const WorkbookModel& model() const { return model_; }

    // Stores each picture this program added with at most options.dpi pixels per inch of the
    // largest frame it is shown at on any sheet (see reducedPictures); the frames stay as they
    // are. Done before saving, so that the size a save measures is that of the reduced pictures.
    // Gives the pictures whose pixels did not decode: they are stored as they were.
    std::vector<std::filesystem::path> reducePictures(const pictures::ReductionOptions& options,
                                                      const pictures::PictureReducer::Progress& progress = {});

    // Writes the whole compound file into out (finish() is left to the caller).
    Status write(OutputSink& out) const;

    // Replaces the file at path atomically: the workbook is written to a temporary file in the
    // same folder, synced, and renamed over path. On any failure the temporary file is removed
    // and a file already at path is left as it was. Saving over the file the workbook was read
    // from fails (layer changedOnDiskLayer) when that file changed or was replaced since it was
    // read: it is checked before writing and again just before the rename. A workbook whose
    // file or Workbook stream would be larger than largestFile is refused (ErrorKind::
    // WorkbookTooLarge) before anything is created: its size is known from the records and the
    // pictures' sizes without writing.
    // progress is told the share written, 0 to 1, as the file is written.
    Status saveAs(const std::filesystem::path& path, const SinkFactory& createSink = {},
                  const std::function<void(double)>& progress = {}) const;

private:
    WorkbookDocument(WorkbookFile file, WorkbookModel model, AtomicSave save);
    CompoundFileWriter compose() const;
    static Result<std::uint64_t> sizeExcelOpens(const CompoundFileWriter& writer);

    WorkbookFile file_;
    WorkbookModel model_;
    // The file read, stamped before reading (a change while reading counts as a change).
    AtomicSave atomicSave_;
};

} // namespace tavorin::xls
