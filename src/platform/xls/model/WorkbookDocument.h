#pragma once

#include "platform/xls/compound/AtomicSave.h"
#include "platform/xls/compound/OutputSink.h"
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

    WorkbookModel& model() { return model_; }
    const WorkbookModel& model() const { return model_; }

    // Writes the whole compound file into out (finish() is left to the caller).
    Status write(OutputSink& out) const;

    // Replaces the file at path atomically: the workbook is written to a temporary file in the
    // same folder, synced, and renamed over path. On any failure the temporary file is removed
    // and a file already at path is left as it was. Saving over the file the workbook was read
    // from fails (layer changedOnDiskLayer) when that file changed or was replaced since it was
    // read: it is checked before writing and again just before the rename.
    Status saveAs(const std::filesystem::path& path, const SinkFactory& createSink = {}) const;

private:
    WorkbookDocument(WorkbookFile file, WorkbookModel model, AtomicSave save);

    WorkbookFile file_;
    WorkbookModel model_;
    // The file read, stamped before reading (a change while reading counts as a change).
    AtomicSave atomicSave_;
};

} // namespace tavorin::xls
